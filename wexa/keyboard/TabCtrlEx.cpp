#include "TabCtrlEx.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(TabCtrlEx, new TabCtrlEx(a.owner, a.id, a.rect, a.visible, a.enabled));

TabCtrlEx::TabCtrlEx(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nHover(-1),
      m_nSelected(0)
{}

TabCtrlEx::~TabCtrlEx()
{
    CAutoLock lock(m_itemsLock);
    for (TABITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

int TabCtrlEx::AddItem(CString text, int data)
{
    auto* item = new TABITEM_INFO{text, data, 1, {0, 0, 0, 0}};
    CAutoLock lock(m_itemsLock);
    m_items.push_back(item);
    return static_cast<int>(m_items.size()) - 1;
}

void TabCtrlEx::SetItemText(int index, CString text)
{
    {
        CAutoLock lock(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        m_items[static_cast<size_t>(index)]->text = text;
    }
    picker::Repaint(this);
}

void TabCtrlEx::SetItemShow(int index, int show)
{
    {
        CAutoLock lock(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        m_items[static_cast<size_t>(index)]->visible = show;
    }
    picker::Repaint(this);
}

void TabCtrlEx::SetCurData(int data)
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

int TabCtrlEx::GetCurData()
{
    return GetItemData(m_nSelected);
}

int TabCtrlEx::GetItemData(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[static_cast<size_t>(index)]->data;
}

void TabCtrlEx::SetSelectKeyType(int index)
{
    m_nSelected = index;
    picker::Repaint(this);
}

void TabCtrlEx::ClearAllItems()
{
    {
        CAutoLock lock(m_itemsLock);
        for (TABITEM_INFO* item : m_items) delete item;
        m_items.clear();
        m_nHover = -1;
        m_nSelected = 0;
    }
    picker::Repaint(this);
}

int TabCtrlEx::GetItemCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

bool TabCtrlEx::GetItemInfo(int index, TABITEM_INFO& out)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
    out = *m_items[static_cast<size_t>(index)];
    return true;
}

int TabCtrlEx::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    {
        CAutoLock lock(m_itemsLock);
        if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size())) {
            RECT r = m_items[static_cast<size_t>(m_nHover)]->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) return 1;
        }
        m_nHover = -1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (!m_items[i]->visible) continue;
            RECT r = m_items[i]->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) {
                m_nHover = static_cast<int>(i);
                break;
            }
        }
    }
    if (m_nHover == before) return 0;
    picker::Repaint(this);
    return 1;
}

int TabCtrlEx::OnControlLButtonDown(UINT, CPoint)
{
    return 1;
}

int TabCtrlEx::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nSelected;
    const int hover = m_nHover;
    if (m_rcControl.PtInRect(point) && hover >= 0 && hover < GetItemCount()) {
        m_nSelected = hover;
        SendMessageW(2, static_cast<UINT_PTR>(hover), 0);
    }
    if (m_nSelected == before) return 0;
    picker::Repaint(this);
    return 1;
}

void TabCtrlEx::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_nFontWidth),
                                       m_fontStyle, Gdiplus::UnitPixel)
                   : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush plain(m_clrText);
        Gdiplus::SolidBrush accent{Gdiplus::Color(kAccent)};
        Gdiplus::SolidBrush fill{Gdiplus::Color(kHighlightFill)};
        CAutoLock lock(m_itemsLock);
        int y = 0;
        for (size_t i = 0; i < m_items.size(); ++i) {
            TABITEM_INFO* item = m_items[i];
            if (!item->visible) {
                item->rect = {0, 0, 0, 0};
                continue;
            }
            item->rect = {0, y, W, y + TAB_HEIGHT};
            const int index = static_cast<int>(i);
            const bool lit = index == m_nSelected || index == m_nHover;
            if (lit) {
                g.FillRectangle(&fill, 0, y, W, TAB_HEIGHT);
                g.FillRectangle(&accent, W - 2, y, 2, TAB_HEIGHT);
            }
            if (font)
                GlyphFaces::DrawString(g, item->text, item->text.GetLength(), font,
                                       Gdiplus::RectF(0.0f, static_cast<Gdiplus::REAL>(y),
                                                      static_cast<Gdiplus::REAL>(W),
                                                      static_cast<Gdiplus::REAL>(TAB_HEIGHT)),
                                       &format, lit ? &accent : &plain);
            y += TAB_HEIGHT;
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
