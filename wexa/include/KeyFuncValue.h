#pragma once
// KeyFuncValue: a wrapping grid of function tiles, 98 x 50 pixels, 10 pixels
// apart, filled row by row. A tile shows a frame of the control's sprite
// (0 plain, 1 hovered, 2 selected), an optional icon and one line of text,
// and carries the owner's data value. The selected tile's caption is white
// (on the theme's accent plate); the hovered tile keeps the text colour, which
// stays readable on the light hover frame. Pressing a tile selects it; releasing
// the button inside the control over a tile reports event 2 with the selected
// index as lparam. The grid scrolls vertically (wheel, vertical bar) over the
// content height the owner sets.
//
// The grid is a drag source from the start: a press on a tile followed by a
// move with the button held becomes an OLE drag of the tile's picture, run by
// the window's engine; the release that ends it sends no event 2. The dragged
// tile is the selected one (GetCurValue).
//
// UI thread only; the tile list is walked under the control's lock.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "FuncItem.h"
#include "MPanel.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API KeyFuncValue : public MPanel
{
public:
    enum { TILE_WIDTH = 98, TILE_HEIGHT = 50, TILE_GAP = 10, BAR_WIDTH = 5 };

    // The fifth argument is not used.
    KeyFuncValue(MObject* owner, UINT id, CRect rect, int visible, int unused);
    ~KeyFuncValue() override;

    int IsDragDrop() override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    HBITMAP GetControlDropBitmap() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // Appends a tile; the icon (skin-relative) is loaded when the file exists.
    void AddItem(CString text, int data, CString icon);
    // Deletes every tile; no hover, no selection; keeps the content height.
    void ClearList();
    void SetCurData(int data);
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_nSelected; }
    int GetCurData();
    int GetItemData(int index);
    // The selected tile's data and text; both left as they are without one.
    void GetCurValue(int& data, CString& text);
    int SetItemText(int index, CString text);
    CString GetItemText(int index);
    void SetAllHeight(int height);

    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }
    int GetAllHeight() const { return m_nAllHeight; }
    int GetScrollOffset() const { return m_nOffset; }
    // The tile's rectangle from the last drawing; empty outside the list.
    CRect GetItemRect(int index);

private:
    std::vector<FUNCITEM_INFO*> m_items;
    CCriticalLock m_itemsLock;
    int m_nHover;
    int m_nSelected;
    int m_nItemWidth;
    int m_nItemHeight;
    int m_nAllHeight;
    int m_nOffset;
};

}  // namespace WEXA
