#include "ColorView.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(ColorView, new ColorView(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {
// Six rows of eight, RRGGBB.
const DWORD kPalette[48] = {
    0xB71C1C, 0x4A148D, 0x1B237E, 0x00579B, 0x014C40, 0x0E5204, 0xF67E17, 0xE65100,
    0xD43030, 0x7B1FA2, 0x283492, 0x0178BB, 0x02685E, 0x056F01, 0xF9A824, 0xF06C00,
    0xE63936, 0x8C25A7, 0x3949AC, 0x049AE6, 0x01796C, 0x229B25, 0xFBC12E, 0xF77C01,
    0xEF5351, 0x9D27B0, 0x3F51B8, 0x42A5F5, 0x009688, 0x29B029, 0xFFEC3C, 0xFF9800,
    0xE57373, 0xBA68C8, 0x7A87CB, 0x4FC4F7, 0x4DB5AB, 0x71D56E, 0xFFF177, 0xFFCC80,
    0xEE9A9B, 0xCE92DB, 0xA0A8DA, 0x82D4FB, 0x7FCBC4, 0xA5E7A7, 0xFFF49D, 0xFFF4B2,
};
}  // namespace

ColorView::ColorView(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nHover(-1),
      m_nSelect(-1),
      m_crSelect(0x1C1CB7)
{}

ColorView::~ColorView()
{
    CAutoLock lock(m_itemLock);
    for (COLORVIEW_ITEM* item : m_items) delete item;
    m_items.clear();
}

void ColorView::InitColorView()
{
    CAutoLock lock(m_itemLock);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 8; ++c) {
            COLORVIEW_ITEM* item = new COLORVIEW_ITEM;
            item->color = 0xFF000000 | kPalette[r * 8 + c];
            item->rect = {11 + 28 * c, 10 + 28 * r, 33 + 28 * c, 32 + 28 * r};
            m_items.push_back(item);
        }
}

void ColorView::ClearAllItem()
{
    {
        CAutoLock lock(m_itemLock);
        for (COLORVIEW_ITEM* item : m_items) delete item;
        m_items.clear();
        m_nHover = m_nSelect = -1;
    }
    paint::Repaint(this, 1);
}

int ColorView::GetItemCount()
{
    CAutoLock lock(m_itemLock);
    return static_cast<int>(m_items.size());
}

int ColorView::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int old = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
    } else {
        CAutoLock lock(m_itemLock);
        const CPoint local(point.x - m_rcControl.left, point.y - m_rcControl.top);
        if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size()) &&
            CRect(m_items[m_nHover]->rect).PtInRect(local))
            return 1;
        m_nHover = -1;
        for (size_t i = 0; i < m_items.size(); ++i)
            if (CRect(m_items[i]->rect).PtInRect(local)) {
                m_nHover = static_cast<int>(i);
                break;
            }
    }
    if (m_nHover != old) paint::Repaint(this, 1);
    return 1;
}

int ColorView::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled;
}

int ColorView::OnControlLButtonUp(UINT, CPoint)
{
    if (!m_bEnabled) return 0;
    Gdiplus::ARGB color = 0;
    {
        CAutoLock lock(m_itemLock);
        if (m_nHover < 0 || m_nHover >= static_cast<int>(m_items.size())) return 1;
        color = m_items[m_nHover]->color;
    }
    m_nSelect = m_nHover;
    m_crSelect = RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    SendMessageW(2, 0, 0);
    return 1;
}

void ColorView::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        Gdiplus::Graphics g(m_hMemDC);
        Gdiplus::SolidBrush back(Gdiplus::Color(0xFF1A1A1A));
        g.FillRectangle(&back, 0, 0, w, h);
        Gdiplus::Pen frame(Gdiplus::Color(0xFF646464));
        g.DrawRectangle(&frame, 0, 0, w - 1, h - 1);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        CAutoLock lock(m_itemLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            const COLORVIEW_ITEM* item = m_items[i];
            const bool marked = static_cast<int>(i) == m_nHover || static_cast<int>(i) == m_nSelect;
            const CRect r(item->rect);
            MRender::DrawRoundRectange(g, static_cast<float>(r.left), static_cast<float>(r.top),
                                       static_cast<float>(r.Width()),
                                       static_cast<float>(r.Height()), 8.0f,
                                       marked ? 0xFFFBC93E : item->color, 2.0f, TRUE, item->color);
        }
    }
    paint::ShowFrame(this, dc, 0);
}

}  // namespace WEXA
