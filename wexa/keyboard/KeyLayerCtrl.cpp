#include "KeyLayerCtrl.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyLayerCtrl, new KeyLayerCtrl(a.owner, a.id, a.rect, a.visible, a.enabled));

KeyLayerCtrl::KeyLayerCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nHover(-1),
      m_nSelected(0)
{}

KeyLayerCtrl::~KeyLayerCtrl()
{
    CAutoLock lock(m_itemsLock);
    for (LAYERITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void KeyLayerCtrl::AddLayer(CString name, int layer)
{
    {
        CAutoLock lock(m_itemsLock);
        m_items.push_back(new LAYERITEM_INFO{name, layer, CRect()});
    }
    picker::Repaint(this);
}

void KeyLayerCtrl::ClearList()
{
    {
        CAutoLock lock(m_itemsLock);
        for (LAYERITEM_INFO* item : m_items) delete item;
        m_items.clear();
    }
    picker::Repaint(this);
}

int KeyLayerCtrl::GetCurKeyLayer()
{
    CAutoLock lock(m_itemsLock);
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_items.size())) return 0;
    return m_items[static_cast<size_t>(m_nSelected)]->layer;
}

void KeyLayerCtrl::SetCurrentLayer(int layer)
{
    {
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i]->layer == layer) {
                m_nSelected = static_cast<int>(i);
                break;
            }
    }
    picker::Repaint(this);
}

int KeyLayerCtrl::GetLayerCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

CRect KeyLayerCtrl::GetLayerRect(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect();
    return m_items[static_cast<size_t>(index)]->rect;
}

int KeyLayerCtrl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
    } else {
        CAutoLock lock(m_itemsLock);
        if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size())) {
            CRect r = m_items[static_cast<size_t>(m_nHover)]->rect;
            r.OffsetRect(m_rcControl.left, m_rcControl.top);
            if (r.PtInRect(point)) return 1;
        }
        m_nHover = -1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            CRect r = m_items[i]->rect;
            if (r.IsRectEmpty()) continue;
            r.OffsetRect(m_rcControl.left, m_rcControl.top);
            if (r.PtInRect(point)) {
                m_nHover = static_cast<int>(i);
                break;
            }
        }
    }
    if (m_nHover == before) return 0;
    picker::Repaint(this);
    return 1;
}

int KeyLayerCtrl::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nSelected;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetLayerCount())
        m_nSelected = m_nHover;
    if (m_nSelected != before) picker::Repaint(this);
    return 1;
}

int KeyLayerCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (m_bEnabled && m_rcControl.PtInRect(point)) SendMessageW(2, 0, 0);
    return 1;
}

void KeyLayerCtrl::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_nFontWidth),
                                       Gdiplus::FontStyleRegular, Gdiplus::UnitPixel)
                   : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::SolidBrush plain(m_clrText);
        Gdiplus::SolidBrush white{Gdiplus::Color(0xFFFFFFFF)};
        Gdiplus::SolidBrush caption(m_clrTitle.GetAlpha() ? m_clrTitle : m_clrText);
        if (font)
            GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), font,
                                   Gdiplus::RectF(5.0f, 1.0f, 55.0f, 31.0f), &format, &caption);
        const Gdiplus::ARGB select = Manager::GetSelectColor().GetValue();
        CAutoLock lock(m_itemsLock);
        // One plate under the whole stack: entries rounded one by one would
        // let the background show at every corner where two of them meet.
        if (!m_items.empty())
            MRender::DrawRoundRectange(
                g, 2.0f, static_cast<float>(FIRST_TOP), 58.0f,
                static_cast<float>(ENTRY_HEIGHT * static_cast<int>(m_items.size())), 6.0f,
                0xFFF6F6F6, 1.0f, TRUE, 0xFFF6F6F6);
        int y = FIRST_TOP;
        for (size_t i = 0; i < m_items.size(); ++i) {
            LAYERITEM_INFO* item = m_items[i];
            item->rect = CRect(2, y, 60, y + ENTRY_HEIGHT);
            const int index = static_cast<int>(i);
            const bool lit = index == m_nHover || index == m_nSelected;
            if (lit)
                MRender::DrawRoundRectange(g, 2.0f, static_cast<float>(y), 58.0f,
                                           static_cast<float>(ENTRY_HEIGHT), 6.0f, select, 1.0f,
                                           TRUE, select);
            if (font)
                GlyphFaces::DrawString(g, item->name, item->name.GetLength(), font,
                                       Gdiplus::RectF(2.0f, static_cast<Gdiplus::REAL>(y), 58.0f,
                                                      static_cast<Gdiplus::REAL>(ENTRY_HEIGHT)),
                                       &format, lit ? &white : &plain);
            y += ENTRY_HEIGHT;
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
