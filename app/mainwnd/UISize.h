#pragma once
// Layout of the main window's frame: every frame control and page panel is
// created with an empty rectangle and placed here, in absolute pixels computed
// from the client rectangle (1400 x 788; the window has no sizing border).
//
// KeyboardDlg::UISize, once the frame is built, places the frame from
// FrameLayout below and runs the page layouts (custom keys, macros, lighting,
// matrix screen, effect, music, performance, device, the LCD page where the
// model has one, settings) with the same rectangle. The profile card (background 51, list 53, add 54, import 55)
// sits in the left column below the main tab. Controls the frame table
// leaves out (the left-area picture 35, the connection picture 47, the
// profile caption 52, area 66, label 67, the text button 64) keep their empty
// rectangles; the keyboard picture 58 and the effect preview 59 take theirs
// from the model's layout file.
#include <windows.h>

#include <vector>

#include "CRect.h"

namespace WEXA {
class MDialog;
}

struct ControlPlacement
{
    UINT id;
    CRect rect;
};

// The frame's rectangles, in the order they are set, for a client rectangle and
// the logo picture's width and height (the caption 37 stands beside the logo).
std::vector<ControlPlacement> FrameLayout(const CRect& client, const CSize& logo);

// Sets the frame's rectangles on the dialog's controls (logo size from the
// picture of control 36). False, and nothing changed, while the frame is not
// built (the dialog has no control 39).
bool UISize(WEXA::MDialog& dialog, CRect client);
