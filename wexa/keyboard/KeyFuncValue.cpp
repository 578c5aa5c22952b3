#include "KeyFuncValue.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "PaintManager.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyFuncValue, new KeyFuncValue(a.owner, a.id, a.rect, a.visible, a.enabled));

KeyFuncValue::KeyFuncValue(MObject* owner, UINT id, CRect rect, int visible, int)
    : MTileGrid(owner, id, rect, visible, TILE_WIDTH, TILE_HEIGHT, 200)
{
    m_bDragDrop = 1;
}

void KeyFuncValue::GetCurValue(int& data, CString& text)
{
    CAutoLock lock(m_itemsLock);
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_items.size())) return;
    data = m_items[static_cast<size_t>(m_nSelected)]->data;
    text = m_items[static_cast<size_t>(m_nSelected)]->text;
}

void KeyFuncValue::SetAllHeight(int height)
{
    m_nAllHeight = height;
    FitScrollBar(m_pScrollVertical, m_nAllHeight, m_rcControl.Height());
}

void KeyFuncValue::SetControlRect(CRect rect)
{
    MTileGrid::SetControlRect(rect);
    picker::Repaint(this);
}

int KeyFuncValue::IsDragDrop()
{
    return m_bDragDrop;
}

int KeyFuncValue::OnControlScroll(int step, UINT down, CPoint point)
{
    if (m_nAllHeight <= m_rcControl.Height()) return 0;
    return MTileGrid::OnControlScroll(step, down, point);
}

HBITMAP KeyFuncValue::GetControlDropBitmap()
{
    if (!m_bEnabled || !m_pManager) return nullptr;
    CRect tile;
    {
        CAutoLock lock(m_itemsLock);
        if (m_nHover < 0 || m_nHover >= static_cast<int>(m_items.size())) return nullptr;
        m_nSelected = m_nHover;
        tile = CRect(m_items[static_cast<size_t>(m_nHover)]->rect);
    }
    tile.InflateRect(2, 2);
    return m_pManager->GetDropBitmap(this, tile, 0);
}

void KeyFuncValue::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width() - BAR_WIDTH, H = m_rcControl.Height();
    if (m_nAllHeight < H) m_nAllHeight = H;
    m_nOffset = picker::ScrollOffset(this, m_nAllHeight);
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        picker::CopyBackground(m_hMemDC, dc, m_rcControl, W, H);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, 12.0f, m_fontStyle, Gdiplus::UnitPixel) : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush plain(m_clrText);
        Gdiplus::SolidBrush white{Gdiplus::Color(0xFFFFFFFF)};
        CAutoLock lock(m_itemsLock);
        int x = 0, y = -m_nOffset;
        for (size_t i = 0; i < m_items.size(); ++i) {
            FUNCITEM_INFO* item = m_items[i];
            item->rect = {x, y, x + m_nItemWidth, y + m_nItemHeight};
            const int index = static_cast<int>(i);
            const int frame = index == m_nSelected ? 2 : index == m_nHover ? 1 : 0;
            picker::DrawFrame(g, m_pImage, m_nFrameWidth, m_nImageHeight, frame,
                              Gdiplus::Rect(x, y, m_nItemWidth, m_nItemHeight));
            if (item->icon)
                g.DrawImage(item->icon, x + (m_nItemWidth - item->iconWidth) / 2, y + 5,
                            item->iconWidth, item->iconHeight);
            if (font)
                GlyphFaces::DrawString(
                    g, item->text, item->text.GetLength(), font,
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                                   static_cast<Gdiplus::REAL>(m_nItemWidth),
                                   static_cast<Gdiplus::REAL>(m_nItemHeight)),
                    &format, frame != 0 ? &white : &plain);
            x += m_nItemWidth + TILE_GAP;
            if (x >= W - m_nItemWidth) {
                x = 0;
                y += m_nItemHeight + TILE_GAP;
            }
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
