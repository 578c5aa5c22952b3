#include "KeyFuncType.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyFuncType, new KeyFuncType(a.owner, a.id, a.rect, a.visible, a.enabled));

KeyFuncType::KeyFuncType(MObject* owner, UINT id, CRect rect, int visible, int)
    : MTileGrid(owner, id, rect, visible, 80, 70, 0),
      m_nSplitX(10),
      m_nSplitY(10)
{}

void KeyFuncType::SetItemImage(int index, CString icon)
{
    {
        CAutoLock lock(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        if (::GetFileAttributesW(GetSkinsPath() + icon) == INVALID_FILE_ATTRIBUTES) return;
        FUNCITEM_INFO* item = m_items[static_cast<size_t>(index)];
        delete item->icon;
        item->icon = picker::LoadSkinImage(icon, false, item->iconWidth, item->iconHeight);
    }
    picker::Repaint(this);
}

void KeyFuncType::SetWitdhAndHeight(int width, int height)
{
    m_nItemWidth = width;
    m_nItemHeight = height;
}

void KeyFuncType::SetItemSplit(int horizontal, int vertical)
{
    m_nSplitX = horizontal;
    m_nSplitY = vertical;
}

void KeyFuncType::SetAllItemHeight(int height)
{
    m_nAllHeight = height;
    picker::Repaint(this);
}

void KeyFuncType::DrawControl(HDC& dc, CRect)
{
    const bool barShown = m_pScrollVertical && m_pScrollVertical->m_bVisible;
    const int W = m_rcControl.Width() - (barShown ? BAR_WIDTH : 0), H = m_rcControl.Height();
    m_nOffset = picker::ScrollOffset(this, m_nAllHeight);
    // The picture has the content's rows only: nothing shows before the owner
    // sets a content height.
    const int rows = m_nAllHeight < H ? m_nAllHeight : H;
    if (W <= 0 || rows <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, rows);
        if (!m_hMemDC) return;
        picker::CopyBackground(m_hMemDC, dc, m_rcControl, W, rows);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, 12.0f, m_fontStyle, Gdiplus::UnitPixel) : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush brush(m_clrText);
        const Gdiplus::ARGB normal = Manager::GetNormalColor().GetValue();
        const Gdiplus::ARGB down = Manager::GetDownColor().GetValue();
        CAutoLock lock(m_itemsLock);
        int x = 0, y = -m_nOffset;
        for (size_t i = 0; i < m_items.size(); ++i) {
            FUNCITEM_INFO* item = m_items[i];
            item->rect = {x, y, x + m_nItemWidth, y + m_nItemHeight};
            const int index = static_cast<int>(i);
            const bool lit = index == m_nSelected || index == m_nHover;
            MRender::DrawRoundRectange(
                g, static_cast<float>(x), static_cast<float>(y), static_cast<float>(m_nItemWidth),
                static_cast<float>(m_nItemHeight), 6.0f, lit ? down : normal, 1.0f, normal);
            if (item->icon)
                g.DrawImage(item->icon, x + (m_nItemWidth - item->iconWidth) / 2, y + 5,
                            item->iconWidth, item->iconHeight);
            if (font)
                GlyphFaces::DrawString(
                    g, item->text, item->text.GetLength(), font,
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(x),
                                   static_cast<Gdiplus::REAL>(y + m_nItemHeight - 25),
                                   static_cast<Gdiplus::REAL>(m_nItemWidth), 20.0f),
                    &format, &brush);
            x += m_nSplitX + m_nItemWidth;
            if (x >= W - m_nItemWidth) {
                x = 0;
                y += m_nSplitY + m_nItemHeight;
            }
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, rows, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
