#pragma once
// The native edit window that the keyboard widgets' lists lay over a row for
// in-place editing (CEditWindow), and the arithmetic of their scrolled rows.
// Internal to the library. UI thread only.
#include <windows.h>

#include "CEditWindow.h"
#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "MScroll.h"

namespace WEXA {
namespace listedit {

// Opens the list's editor over box (window client coordinates): creates it
// on first use (colours, limit; it clears *slot when its window is
// destroyed), else moves it there (by the window's screen origin when the
// window is layered); puts text in, shows it, puts the caret after the last
// character and gives it the keyboard. The list marks itself focused.
void Open(MControlFont* list, CEditWindow*& slot, CRect box, COLORREF background, COLORREF text,
          int limit, const CString& content);
// Sets the colours of an existing editor (the next paint of the box uses them).
void SetColours(CEditWindow* editor, COLORREF background, COLORREF text);
// The editor's text; empty without a live window.
CString Text(CEditWindow* editor);
// Hides the editor's window.
void Hide(CEditWindow* editor);
// Destroys the editor's window; the editor deletes itself and clears the slot.
void Destroy(CEditWindow*& slot);
// True while the editor's window exists and is shown.
bool IsShown(CEditWindow* editor);

// Which rows of a vertically scrolled list a drawing shows.
struct RowWindow
{
    int offset = 0;       // content pixels scrolled away above the top edge
    int first = -1;       // first drawn row (-1: no rows)
    int last = -1;        // last drawn row
    int rowOffset = 0;    // pixels of the first drawn row above the top edge
    int imageHeight = 0;  // height of the image the rows are drawn into
};

// rows of rowHeight pixels shown through a view viewHeight high, the bar at
// position of maximum: offset = (content - view) x position / maximum (0 when
// the maximum is not above 0), first = offset / rowHeight, last = (view +
// offset) / rowHeight held to the rows.
RowWindow Rows(int rows, int rowHeight, int viewHeight, const MScroll* bar);

// The wheel: 10 row steps down (towards the user) or up, held to the range;
// repaints the list when the position changed. 1 when scrolled content
// exists, else 0.
int Wheel(MControl* list, MScroll* bar, UINT down, int content, int view);

// Loads skin folder + file as an owned strip of frames side by side (frame
// counts below 1 count as 1), replacing image with its frame size; 0 and
// nothing changed when the file does not load.
int LoadStrip(const wchar_t* skinFileName, int frames, Gdiplus::Image*& image, int& frameWidth,
              int& frameHeight);

// The list's owner repaints it when visible.
void Repaint(MControl* list);

}  // namespace listedit
}  // namespace WEXA
