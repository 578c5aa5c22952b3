#include "MListBoxEx.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "MScroll.h"
#include "Manager.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MListBoxEx, new MListBoxEx(a.owner, a.id, a.rect, a.visible, a.enabled));

MListBoxEx::MListBoxEx(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelect(-1),
      m_nItemWidth(130),
      m_nItemHeight(50),
      m_nSplitX(5),
      m_nSplitY(5),
      m_nAllHeight(0),
      m_nScrollOffset(0)
{
    m_bEnabled = enabled;
}

MListBoxEx::~MListBoxEx()
{
    ClearList();
}

void MListBoxEx::Repaint(int erase)
{
    paint::Repaint(this, erase);
}

void MListBoxEx::AddItem(CString text, int data, CString iconFile)
{
    PROFILEITEM_INFO* item = new PROFILEITEM_INFO;
    item->strText = text;
    item->nData = data;
    if (!iconFile.IsEmpty()) {
        CString path = GetSkinsPath() + iconFile;
        if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
            item->pIcon = MRender::LoadImageFromFile(path);
            if (item->pIcon) {
                item->nIconWidth = static_cast<int>(item->pIcon->GetWidth()) / 2;
                item->nIconHeight = static_cast<int>(item->pIcon->GetHeight());
            }
        }
    }
    m_items.push_back(item);
}

void MListBoxEx::ClearList()
{
    {
        CAutoLock lock(m_itemLock);
        for (PROFILEITEM_INFO* item : m_items) {
            delete item->pIcon;
            delete item;
        }
        m_items.clear();
        m_nHover = -1;
        m_nSelect = -1;
    }
    Repaint(1);
}

void MListBoxEx::SetCurData(int data)
{
    {
        CAutoLock lock(m_itemLock);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i]->nData == data) {
                m_nSelect = static_cast<int>(i);
                break;
            }
    }
    Repaint(1);
}

int MListBoxEx::GetCurData()
{
    CAutoLock lock(m_itemLock);
    if (m_nSelect < 0 || m_nSelect >= static_cast<int>(m_items.size())) return 0;
    return m_items[m_nSelect]->nData;
}

int MListBoxEx::GetItemData(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[index]->nData;
}

void MListBoxEx::SetSelectItem(int index)
{
    {
        CAutoLock lock(m_itemLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) index = -1;
    }
    if (index == m_nSelect) return;
    m_nSelect = index;
    Repaint(1);
}

int MListBoxEx::SetItemText(int index, CString text)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[index]->strText = text;
    return 1;
}

CString MListBoxEx::GetItemText(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[index]->strText;
}

CRect MListBoxEx::GetItemRect(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect(0, 0, 0, 0);
    return CRect(m_items[index]->rcItem);
}

int MListBoxEx::GetLightCount()
{
    CAutoLock lock(m_itemLock);
    return static_cast<int>(m_items.size());
}

void MListBoxEx::SetWitdhAndHeight(int width, int height)
{
    m_nItemWidth = width;
    m_nItemHeight = height;
}

void MListBoxEx::SetItemSplit(int x, int y)
{
    m_nSplitX = x;
    m_nSplitY = y;
}

void MListBoxEx::SetAllItemHeight(int height)
{
    m_nAllHeight = height;
    SetControlRect(m_rcControl);
    Repaint(1);
}

void MListBoxEx::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    CAutoLock lock(m_childLock);
    PlaceScrollBars(rect, m_nScrollThickness, false);
    FitScrollBar(m_pScrollVertical, m_nAllHeight, rect.Height());
}

int MListBoxEx::DrawWidth() const
{
    int w = m_rcControl.Width();
    if (m_pScrollVertical && m_pScrollVertical->m_bVisible) w -= m_nScrollThickness;
    return w;
}

void MListBoxEx::DrawControl(HDC& dc, CRect)
{
    const int W = DrawWidth();
    const int H = m_rcControl.Height();
    int offset = 0;
    if (m_nAllHeight > H && m_pScrollVertical) {
        const int max = m_pScrollVertical->GetScrollMaxRange();
        if (max > 0)
            offset =
                static_cast<int>(static_cast<long long>(m_pScrollVertical->GetScrollCurrentPos()) *
                                 (m_nAllHeight - H) / max);
    }
    if (offset != m_nScrollOffset) m_bUpdate = 0;
    m_nScrollOffset = offset;
    if (W <= 0 || H <= 0 || m_nAllHeight <= 0) return;

    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, m_nAllHeight);
        if (!m_hMemDC) return;
        RECT all = {0, 0, W, m_nAllHeight};
        FillRect(m_hMemDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ::BitBlt(m_hMemDC, 0, 0, W, std::min(H, m_nAllHeight), dc, m_rcControl.left,
                 m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        paint::ControlFont font(this);
        CAutoLock lock(m_itemLock);
        int x = 0, y = -offset;
        for (size_t i = 0; i < m_items.size(); ++i) {
            PROFILEITEM_INFO* item = m_items[i];
            item->rcItem = {x, y, x + m_nItemWidth, y + m_nItemHeight};
            const int frame = static_cast<int>(i) == m_nSelect  ? 2
                              : static_cast<int>(i) == m_nHover ? 1
                                                                : 0;
            // Cells are drawn into the buffer at their content position.
            const int by = y + offset;
            if (m_pImage && m_nFrameWidth > 0)
                g.DrawImage(m_pImage, Gdiplus::Rect(x, by, m_nItemWidth, m_nItemHeight),
                            frame * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight,
                            Gdiplus::UnitPixel);
            paint::DrawText(
                g, font.get(), item->strText,
                Gdiplus::RectF(static_cast<float>(x), static_cast<float>(by),
                               static_cast<float>(m_nItemWidth), static_cast<float>(m_nItemHeight)),
                m_clrText.GetValue(), Gdiplus::StringAlignmentCenter,
                Gdiplus::StringAlignmentCenter);
            x += m_nItemWidth + m_nSplitX;
            if (x >= W - m_nItemWidth) {
                x = 0;
                y += m_nItemHeight + m_nSplitY;
            }
        }
    }
    const int shown = std::min(H, m_nAllHeight - offset);
    if (shown > 0)
        ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, shown, m_hMemDC, 0, offset, SRCCOPY);
}

int MListBoxEx::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int old = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    } else {
        CAutoLock lock(m_itemLock);
        if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size())) {
            CRect r(m_items[m_nHover]->rcItem);
            r.OffsetRect(m_rcControl.left, m_rcControl.top);
            if (r.PtInRect(point)) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return 0;
            }
        }
        m_nHover = -1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            CRect r(m_items[i]->rcItem);
            r.OffsetRect(m_rcControl.left, m_rcControl.top);
            if (r.PtInRect(point)) {
                m_nHover = static_cast<int>(i);
                break;
            }
        }
    }
    if (m_nHover != old) Repaint(1);
    return 1;
}

int MListBoxEx::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetLightCount()) {
        m_nSelect = m_nHover;
        Repaint(1);
    }
    return 1;
}

int MListBoxEx::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetLightCount())
        SendMessageW(2, 0, m_nSelect);
    return 1;
}

int MListBoxEx::OnControlScroll(int, UINT down, CPoint)
{
    CScrollVertical* bar = m_pScrollVertical;
    if (!bar) return 1;
    if (bar->ScrollRow(down == 1 ? 10 : -10)) Repaint(1);
    return 1;
}

LONG MListBoxEx::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == MScroll::VERTICAL_BAR_ID || id == MScroll::HORIZONTAL_BAR_ID) && code == 8 &&
        m_bVisible)
        Repaint(1);
    return MPanel::OnMessage(id, code, wparam, lparam);
}

}  // namespace WEXA
