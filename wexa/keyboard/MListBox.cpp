#include "MListBox.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "keyboard/ListEditor.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MListBox, new MListBox(a.owner, a.id, a.rect, a.visible));

MListBox::MListBox(MObject* owner, UINT id, CRect rect, int visible)
    : MRowList(owner, id, rect, visible, 36, Gdiplus::Color(0xFFE6E6E6), false),
      m_nIconColumn(2)
{}

void MListBox::DrawRow(Gdiplus::Graphics& g, Gdiplus::Font* font, int index,
                       const LISTITEM_INFO* item, int y, int w, int edited)
{
    const int h = m_nItemHeight;
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    auto box = [&](Gdiplus::ARGB fill, Gdiplus::ARGB edge) {
        MRender::DrawRoundRectange(g, 3.0f, static_cast<float>(y + 3), static_cast<float>(w - 6),
                                   static_cast<float>(h - 6), 6.0f, edge, 1.0f, TRUE, fill);
    };
    auto icon = [&](int frame) {
        if (!m_pStrip || m_nStripWidth <= 0) return;
        const int x = (m_nIconColumn - m_nStripWidth) / 2;
        g.DrawImage(m_pStrip,
                    Gdiplus::Rect(x, y + (h - m_nStripHeight) / 2, m_nStripWidth, m_nStripHeight),
                    frame * m_nStripWidth, 0, m_nStripWidth, m_nStripHeight, Gdiplus::UnitPixel);
    };
    const Gdiplus::ARGB normal = Manager::m_normal_color.GetValue();
    const Gdiplus::ARGB down = Manager::m_down_color.GetValue();
    if (index == edited) {
        box(normal, down);
        icon(1);
        return;
    }
    if (index == m_nHover) {
        const Gdiplus::ARGB hover = Manager::m_hover_color.GetValue();
        box(hover, hover);
    } else if (index == m_nSelect) {
        box(normal, down);
    }
    icon(index == m_nSelect ? 1 : 0);
    if (item->strText.IsEmpty() || !font) return;
    Gdiplus::SolidBrush text(m_clrText);
    GlyphFaces::DrawString(
        g, item->strText, item->strText.GetLength(), font,
        Gdiplus::RectF(static_cast<Gdiplus::REAL>(m_nIconColumn), static_cast<Gdiplus::REAL>(y),
                       static_cast<Gdiplus::REAL>(w - m_nIconColumn),
                       static_cast<Gdiplus::REAL>(h)),
        m_pFormat, &text);
}

int MListBox::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 1;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetItemCount()) {
        m_nSelect = m_nHover;
        SendMessageW(1, static_cast<UINT_PTR>(m_nSelect), 0);
        HideEdit(0);
    }
    listedit::Repaint(this);
    return 1;
}

int MListBox::OnControlLButtonUp(UINT, CPoint point)
{
    if (m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetItemCount()) {
        m_nSelect = m_nHover;
        SendMessageW(2, static_cast<UINT_PTR>(m_nSelect), 0);
    }
    return 1;
}

void MListBox::OnRowDoubleClick(int row)
{
    SendMessageW(3, static_cast<UINT_PTR>(row), 0);
}

void MListBox::GetTextRect(CRect& rect)
{
    rect = CRect();
    CAutoLock lock(m_itemLock);
    const int edited = IndexOf(m_pEditRow);
    if (edited < 0) return;
    const CRect row = RowWindowRect(m_items[edited]);
    const int t = m_nFontWidth, rh = m_nItemHeight;
    int top, height;
    switch (t) {
        case 8:
            top = row.top + (rh - 8 - 4) / 2;
            height = 12;
            break;
        case 14:
            top = row.top + (rh - 14 - 6) / 2 - 1;
            height = 20;
            break;
        case 16:
            top = row.top + (rh - 16 - 8) / 2 - 1;
            height = 24;
            break;
        default:
            top = row.top + (rh - t - 6) / 2;
            height = t + 6;
            break;
    }
    rect = CRect(row.left + 1, top, row.right - 10, top + height);
    if (m_pImageList) rect.left += m_nIconColumn;
}

void MListBox::OpenEditor(CRect box, const CString& text)
{
    box.OffsetRect(5, 2);
    const COLORREF textColour = RGB(m_clrText.GetR(), m_clrText.GetG(), m_clrText.GetB());
    const COLORREF back = Manager::m_theme_type == 1 ? 0x53473D : 0xFFFFFF;
    listedit::Open(this, m_pEdit, box, back, textColour, 120, text);
}

void MListBox::DestroyEdit()
{
    m_pEditRow = nullptr;
    m_bFocused = 0;
    listedit::Destroy(m_pEdit);
}

}  // namespace WEXA
