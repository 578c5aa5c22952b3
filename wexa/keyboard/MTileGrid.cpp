#include "MTileGrid.h"

#include "keyboard/PickerCommon.h"

namespace WEXA {

MTileGrid::MTileGrid(MObject* owner, UINT id, CRect rect, int visible, int itemWidth,
                     int itemHeight, int allHeight)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelected(-1),
      m_nItemWidth(itemWidth),
      m_nItemHeight(itemHeight),
      m_nAllHeight(allHeight),
      m_nOffset(0)
{}

MTileGrid::~MTileGrid()
{
    CAutoLock lock(m_itemsLock);
    for (FUNCITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void MTileGrid::AddItem(CString text, int data, CString icon)
{
    auto* item = new FUNCITEM_INFO;
    item->text = text;
    item->data = data;
    item->icon = picker::LoadSkinImage(icon, true, item->iconWidth, item->iconHeight);
    CAutoLock lock(m_itemsLock);
    m_items.push_back(item);
}

void MTileGrid::ClearList()
{
    {
        CAutoLock lock(m_itemsLock);
        for (FUNCITEM_INFO* item : m_items) delete item;
        m_items.clear();
        m_nHover = m_nSelected = -1;
    }
    picker::Repaint(this);
}

void MTileGrid::SetCurData(int data)
{
    {
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i]->data == data) {
                m_nSelected = static_cast<int>(i);
                break;
            }
    }
    picker::Repaint(this);
}

void MTileGrid::SetSelectItem(int index)
{
    if (index == m_nSelected) return;
    m_nSelected = index;
    picker::Repaint(this);
}

int MTileGrid::GetCurData()
{
    return GetItemData(m_nSelected);
}

int MTileGrid::GetItemData(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[static_cast<size_t>(index)]->data;
}

int MTileGrid::SetItemText(int index, CString text)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[static_cast<size_t>(index)]->text = text;
    return 1;
}

CString MTileGrid::GetItemText(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[static_cast<size_t>(index)]->text;
}

int MTileGrid::GetItemCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

CRect MTileGrid::GetItemRect(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect();
    return CRect(m_items[static_cast<size_t>(index)]->rect);
}

LONG MTileGrid::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) picker::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int MTileGrid::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (m_rcControl.PtInRect(point)) {
        CAutoLock lock(m_itemsLock);
        if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size())) {
            RECT r = m_items[static_cast<size_t>(m_nHover)]->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) {
                SetCursorEx(L"hand");
                return 0;
            }
        }
        m_nHover = -1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            RECT r = m_items[i]->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) {
                m_nHover = static_cast<int>(i);
                break;
            }
        }
    } else {
        m_nHover = -1;
        SetCursorEx(L"arrow");
    }
    if (m_nHover != before) picker::Repaint(this);
    return 1;
}

int MTileGrid::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point) || m_nHover < 0) return 1;
    m_nSelected = m_nHover;
    picker::Repaint(this);
    return 1;
}

int MTileGrid::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0)
        SendMessageW(2, 0, static_cast<LONG_PTR>(m_nSelected));
    return 1;
}

void MTileGrid::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    PlaceScrollBars(rect, BAR_WIDTH, false);
    FitScrollBar(m_pScrollVertical, m_nAllHeight, m_rcControl.Height());
}

int MTileGrid::OnControlScroll(int, UINT down, CPoint)
{
    if (picker::WheelBar(this, down == 1)) picker::Repaint(this);
    return 1;
}

}  // namespace WEXA
