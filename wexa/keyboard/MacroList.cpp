#include "MacroList.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "keyboard/ListEditor.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MacroList, new MacroList(a.owner, a.id, a.rect, a.visible));

MacroList::MacroList(MObject* owner, UINT id, CRect rect, int visible)
    : MRowList(owner, id, rect, visible, 40, Gdiplus::Color(0xFFB8D3EF), true),
      m_fScale(1.0f),
      m_nDragExtra(60)
{}

void MacroList::SetControlRect(CRect rect)
{
    MRowList::SetControlRect(rect);
    m_rcEditZone = CRect(CPoint(rect.Width() - m_nEditWidth - 15, (Scaled() - m_nEditHeight) / 2),
                         CSize(m_nEditWidth, m_nEditHeight));
}

void MacroList::DrawRow(Gdiplus::Graphics& g, Gdiplus::Font* font, int index,
                        const LISTITEM_INFO* item, int y, int w, int edited)
{
    const int S = Scaled();
    int frame = -1;
    if (index == edited)
        frame = 1;
    else if (index == m_nSelect || index == m_nHover)
        frame = 2;
    if (frame >= 0 && m_pStrip && m_nStripWidth > 0)
        g.DrawImage(m_pStrip, Gdiplus::Rect(0, y, w, S - 1), frame * m_nStripWidth, 0,
                    m_nStripWidth, m_nStripHeight, Gdiplus::UnitPixel);
    if (index == edited || item->strText.IsEmpty() || !font) return;
    Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
    Gdiplus::SolidBrush text(m_clrText);
    GlyphFaces::DrawString(
        g, item->strText, item->strText.GetLength(), font,
        Gdiplus::RectF(15.0f, static_cast<Gdiplus::REAL>(y), static_cast<Gdiplus::REAL>(w - 50),
                       static_cast<Gdiplus::REAL>(S)),
        m_pFormat, frame == 2 ? &white : &text);
}

int MacroList::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetItemCount()) {
        m_nSelect = m_nHover;
        HideEdit(0);
    }
    listedit::Repaint(this);
    return 1;
}

int MacroList::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0) {
        CRect row;
        {
            CAutoLock lock(m_itemLock);
            if (m_nHover < static_cast<int>(m_items.size())) {
                m_nSelect = m_nHover;
                row = RowWindowRect(m_items[m_nSelect]);
            }
        }
        if (m_nSelect == m_nHover) {
            CRect zone = m_rcEditZone;
            zone.OffsetRect(row.left, row.top);
            SendMessageW(zone.PtInRect(point) ? 9 : 2, 0, 0);
        }
    }
    listedit::Repaint(this);
    return 1;
}

void MacroList::GetTextRect(CRect& rect)
{
    rect = CRect();
    CAutoLock lock(m_itemLock);
    const int edited = IndexOf(m_pEditRow);
    if (edited < 0) return;
    const CRect row = RowWindowRect(m_items[edited]);
    const int t = m_nFontWidth;
    const int top = row.top + (row.Height() - t - 6) / 2;
    rect = CRect(row.left + 15, top, row.right - 50, top + t + 6);
}

void MacroList::OpenEditor(CRect box, const CString& text)
{
    listedit::Open(this, m_pEdit, box, 0xFFFFFF, 0x050505, 30, text);
}

}  // namespace WEXA
