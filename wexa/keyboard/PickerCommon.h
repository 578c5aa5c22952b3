#pragma once
// Shared pieces of the key pickers and the small keyboard widgets: skin icon
// loading, the repaint request, the vertical scroll bar of the scrolling grids
// and their background copy.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControl.h"
#include "MPanel.h"
#include "WexaGdiplus.h"

namespace WEXA {
namespace picker {

// An image from the skin folder. With mustExist the file is first looked up
// and a missing one gives null without a load attempt. A file that does not
// load gives null; width and height are set to the image's size (0 without).
Gdiplus::Image* LoadSkinImage(const CString& name, bool mustExist, int& width, int& height);

// Asks the owner to redraw the control's rectangle while the control is visible.
void Repaint(MControl* control);

// Frame k of a strip of frames side by side, stretched into the target.
void DrawFrame(Gdiplus::Graphics& g, Gdiplus::Image* strip, int frameWidth, int frameHeight,
               int frame, const Gdiplus::Rect& target);

// Pixels the content is moved up: position x (content - height) / range in
// integer arithmetic; 0 without a bar, with no range or when the content fits.
int ScrollOffset(MPanel* panel, int contentHeight);

// Moves the bar by ten of its steps, forward when forward is set, within
// 0 .. range; true when the position changed.
bool WheelBar(MPanel* panel, bool forward);

// The off-screen picture of a scrolling grid (width x height, the part of
// the content the control shows): white, with the window pixels behind the
// control copied over it line by line at full opacity. The content is drawn
// over it moved up by the scroll offset, so the background stays in place.
void CopyBackground(HDC memDC, HDC target, const CRect& control, int width, int height);

// A key caption centred in its box. The arrow keys' captions (one of U+2190
// to U+2193) are drawn as arrows, which the library's fonts have no glyphs
// for. A caption wider than its box is laid out on two lines between words
// when that fits, else drawn a pixel smaller at a time (down to 8 pixels),
// so that narrow key tiles show their whole caption.
void DrawKeyLabel(Gdiplus::Graphics& g, Gdiplus::FontFamily* family, float size, INT style,
                  const CString& text, const Gdiplus::RectF& box, Gdiplus::Color color);

}  // namespace picker
}  // namespace WEXA
