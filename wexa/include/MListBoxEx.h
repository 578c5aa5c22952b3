#pragma once
// MListBoxEx: a scrolling grid of equal text cells.
//
// Each cell shows the control's image (frame 0 normal, 1 hover, 2 selected)
// stretched over it and its row text centred. Rows carry an int the owner
// selects and reads them by. The content height is set by the owner
// (SetAllItemHeight) and drives the panel's vertical scroll bar.
//
// Event to the owner: 2 (0, selected index) when the left button comes up
// over a row. The rows are guarded by the row lock; AddItem appends without
// it (UI thread only).
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "MPanel.h"
#include "ProfileItem.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MListBoxEx : public MPanel
{
public:
    MListBoxEx(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MListBoxEx() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    void AddItem(CString text, int data, CString iconFile);
    void ClearList();
    void SetCurData(int data);
    int GetCurData();
    int GetItemData(int index);
    // An index outside the rows means no selection (-1).
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_nSelect; }
    int SetItemText(int index, CString text);
    CString GetItemText(int index);
    int GetLightCount();
    void SetWitdhAndHeight(int width, int height);
    void SetItemSplit(int x, int y);
    void SetAllItemHeight(int height);
    int GetHoverItem() const { return m_nHover; }
    // The row's cell rectangle of the last paint; empty out of range.
    CRect GetItemRect(int index);
    int GetScrollOffset() const { return m_nScrollOffset; }

    std::vector<PROFILEITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nHover;
    int m_nSelect;
    int m_nItemWidth;
    int m_nItemHeight;
    int m_nSplitX;
    int m_nSplitY;
    int m_nAllHeight;
    int m_nScrollOffset;

private:
    void Repaint(int erase);
    int DrawWidth() const;
};

}  // namespace WEXA
