#pragma once
// KeyFuncValue: a wrapping grid of function tiles (MTileGrid), 98 x 50
// pixels, 10 pixels apart. A tile shows a frame of the control's sprite
// (0 plain, 1 hovered, 2 selected), an optional icon and one line of text.
// The selected tile's caption is white (on the theme's accent plate); the
// hovered tile keeps the text colour, which stays readable on the light hover
// frame. The wheel scrolls only when the content is taller than the control.
//
// The grid is a drag source from the start: a press on a tile followed by a
// move with the button held becomes an OLE drag of the tile's picture, run by
// the window's engine; the release that ends it sends no event 2. The dragged
// tile is the selected one (GetCurValue).
#include <windows.h>

#include "CString.h"
#include "MTileGrid.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API KeyFuncValue : public MTileGrid
{
public:
    enum { TILE_WIDTH = 98, TILE_HEIGHT = 50, TILE_GAP = 10 };

    // The fifth argument is not used.
    KeyFuncValue(MObject* owner, UINT id, CRect rect, int visible, int unused);

    int IsDragDrop() override;
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    HBITMAP GetControlDropBitmap() override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // The selected tile's data and text; both left as they are without one.
    void GetCurValue(int& data, CString& text);
    void SetAllHeight(int height);
    int GetAllHeight() const { return m_nAllHeight; }
    int GetScrollOffset() const { return m_nOffset; }
};

}  // namespace WEXA
