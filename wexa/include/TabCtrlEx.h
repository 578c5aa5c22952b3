#pragma once
// TabCtrlEx: a vertical strip of text tabs, 43 pixels tall and as wide as the
// control, stacked from the top in the order they were added; a hidden tab
// takes no room. Each tab carries the owner's data value. The strip draws no
// image or frame of its own: a highlight (light fill, accent bar at the right
// edge, accent text) behind the selected tab and the tab under the pointer,
// and the tab texts over whatever lies behind the control.
//
// Releasing the left button inside the control over a tab selects it and
// reports event 2 with the tab's index as wparam (also when it was selected).
//
// Threads: the program's worker changes texts, visibility and the selection
// while the UI thread draws; the tab list is guarded by the control's lock.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

struct TABITEM_INFO
{
    CString text;
    int data;
    int visible;
    RECT rect;  // control coordinates, written by the drawing; empty while hidden
};

class WEXA_API TabCtrlEx : public MControlFont
{
public:
    enum { TAB_HEIGHT = 43 };
    static const Gdiplus::ARGB kHighlightFill = 0xFFDEF1FC;
    static const Gdiplus::ARGB kAccent = 0xFF4977E4;

    TabCtrlEx(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~TabCtrlEx() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    // Appends a visible tab; its index. No repaint.
    int AddItem(CString text, int data);
    // An index outside the list is ignored (no change, no repaint).
    void SetItemText(int index, CString text);
    void SetItemShow(int index, int show);
    // Selects the first tab carrying data; the selection stays when none does.
    // Repaints either way.
    void SetCurData(int data);
    // The selected tab's data; 0 when the selected index lies outside the list.
    int GetCurData();
    int GetItemData(int index);
    int GetSelectItem() const { return m_nSelected; }
    // Stores the index as the selection (a stale one selects nothing); repaints.
    void SetSelectKeyType(int index);
    void ClearAllItems();

    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }
    // A copy of the tab at the index; false outside the list.
    bool GetItemInfo(int index, TABITEM_INFO& out);

private:
    std::vector<TABITEM_INFO*> m_items;
    CCriticalLock m_itemsLock;
    int m_nHover;
    int m_nSelected;
};

}  // namespace WEXA
