#pragma once
// MTileGrid: what the two function-tile grids (KeyFuncValue, KeyFuncType)
// share: FUNCITEM_INFO tiles with the owner's data value and an optional
// skin icon, filled row by row by DrawControl of the grid that derives; a
// hovered and a selected tile (the pointer is a hand over a tile); pressing a
// tile selects it and releasing the button inside the control over a tile
// reports event 2 with the selected index as lparam; vertical scrolling
// (wheel, bar) over the content height the owner sets.
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

class WEXA_API MTileGrid : public MPanel
{
public:
    enum { BAR_WIDTH = 5 };

    ~MTileGrid() override;

    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
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
    int SetItemText(int index, CString text);
    CString GetItemText(int index);

    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }
    // The tile's rectangle from the last drawing; empty outside the list.
    CRect GetItemRect(int index);

protected:
    MTileGrid(MObject* owner, UINT id, CRect rect, int visible, int itemWidth, int itemHeight,
              int allHeight);

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
