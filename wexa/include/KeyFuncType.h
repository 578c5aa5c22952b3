#pragma once
// KeyFuncType: a wrapping grid of picture items (rounded rectangles, 80 x 70
// pixels and 10 pixels apart unless the owner changes them) with an icon near
// the top and a caption near the bottom. It tracks a hovered and a selected
// item, scrolls vertically over the content height the owner sets (nothing
// shows until it is set) and reports a click with event 2 (lparam: the
// selected index). It is no drag source.
//
// UI thread only; the item list is walked under the control's lock.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "FuncItem.h"
#include "MPanel.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API KeyFuncType : public MPanel
{
public:
    enum { BAR_WIDTH = 5 };

    // The fifth argument is not used.
    KeyFuncType(MObject* owner, UINT id, CRect rect, int visible, int unused);
    ~KeyFuncType() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    void AddItem(CString text, int data, CString icon);
    void ClearList();
    void SetCurData(int data);
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_nSelected; }
    int GetCurData();
    int GetItemData(int index);
    int SetItemText(int index, CString text);
    CString GetItemText(int index);
    // A new icon for the item when the skin file exists; repaints then.
    void SetItemImage(int index, CString icon);
    // Item size and gaps, shown from the next repaint.
    void SetWitdhAndHeight(int width, int height);
    void SetItemSplit(int horizontal, int vertical);
    // The content height; repaints. The bar follows at the next SetControlRect.
    void SetAllItemHeight(int height);

    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }
    CRect GetItemRect(int index);

private:
    std::vector<FUNCITEM_INFO*> m_items;
    CCriticalLock m_itemsLock;
    int m_nHover;
    int m_nSelected;
    int m_nItemWidth;
    int m_nItemHeight;
    int m_nSplitX;
    int m_nSplitY;
    int m_nAllHeight;
    int m_nOffset;
};

}  // namespace WEXA
