#include "MText.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "MRender.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MText, new MText(a.owner, a.id, a.rect, a.title, a.visible));

namespace {

const wchar_t* OrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// Where the mark and the text after it start when the title is drawn in
// pieces: 2 pixels after the text before the mark, and 2 after the mark.
struct MarkPlaces
{
    int markX, afterX;
};

MarkPlaces PlaceMark(const Gdiplus::Font* font, const Gdiplus::StringFormat& format,
                     const CString& before, const CString& mark)
{
    const int wb = before.IsEmpty() ? 0 : MRender::GetTextBounds(font, &format, before).Width;
    const int wm = MRender::GetTextBounds(font, &format, mark).Width;
    return {wb + 2, wb + wm + 4};
}

void ApplyAlignment(Gdiplus::StringFormat& format, UINT horizontal, UINT vertical)
{
    switch (horizontal) {
        case 0: format.SetAlignment(Gdiplus::StringAlignmentNear); break;
        case 1: format.SetAlignment(Gdiplus::StringAlignmentCenter); break;
        case 2: format.SetAlignment(Gdiplus::StringAlignmentFar); break;
        default: break;
    }
    switch (vertical) {
        case 0: format.SetLineAlignment(Gdiplus::StringAlignmentNear); break;
        case 4: format.SetLineAlignment(Gdiplus::StringAlignmentCenter); break;
        case 8: format.SetLineAlignment(Gdiplus::StringAlignmentFar); break;
        default: break;
    }
}

}  // namespace

MText::MText(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible)
    : MControlFont(owner, id, rect, title, visible, 0, 1),
      m_bShadow(0),
      m_bBack(0),
      m_clrBack(0xFF008000),
      m_clrShadow(0xFF505050),
      m_clrMark(0xFFED801B),
      m_nMarkStart(0),
      m_bMultiLine(0),
      m_bVCenter(0)
{}

MText::~MText() {}

void MText::Repaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

LONG MText::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    OnMessage(id, code, wparam, lparam);
    return 0;
}

LONG MText::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (id == 1 && code == 8) Repaint();
    return 0;
}

void MText::SetControlRect(CRect rect)
{
    m_rcControl = rect;
}

int MText::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

void MText::SetMarkText(const wchar_t* mark)
{
    if (m_strMark == OrEmpty(mark)) return;
    m_strMark = OrEmpty(mark);
    Repaint();
}

void MText::SetMarkText(const wchar_t* mark, Gdiplus::ARGB color, int start)
{
    if (m_strMark == OrEmpty(mark) && m_clrMark == color && m_nMarkStart == start) return;
    m_strMark = OrEmpty(mark);
    m_clrMark = color;
    m_nMarkStart = start;
    Repaint();
}

void MText::SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::ARGB color, int start)
{
    if (m_strTitle == OrEmpty(title) && m_strMark == OrEmpty(mark) && m_clrMark == color &&
        m_nMarkStart == start)
        return;
    SetControlTitle(OrEmpty(title));
    m_strMark = OrEmpty(mark);
    m_clrMark = color;
    m_nMarkStart = start;
    Repaint();
}

void MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int)
{
    if (m_strTitle == OrEmpty(title) && m_strMark == OrEmpty(mark)) return;
    SetControlTitle(OrEmpty(title));
    m_strMark = OrEmpty(mark);
    Repaint();
}

void MText::EnableTextBack(int enable, Gdiplus::ARGB color)
{
    if (enable != m_bBack) {
        m_bBack = enable;
        m_clrBack = color;
    }
    Repaint();
}

int MText::FindMark() const
{
    if (m_strMark.IsEmpty()) return -1;
    if (m_nMarkStart < 0 || m_nMarkStart > m_strTitle.GetLength()) return -1;
    return m_strTitle.Find(m_strMark, m_nMarkStart);
}

Gdiplus::Font* MText::MakeFont()
{
    Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
    if (!family) return nullptr;
    return new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_nFontWidth), m_fontStyle,
                             Gdiplus::UnitPixel);
}

void MText::GetMarkPositions(int& markX, int& afterX)
{
    markX = afterX = 0;
    const int p = FindMark();
    if (p < 0) return;
    Gdiplus::Font* font = MakeFont();
    if (!font) return;
    Gdiplus::StringFormat format;
    ApplyAlignment(format, m_uAlignment, m_uVAlignment);
    format.SetFormatFlags(m_bMultiLine ? 0x4800 : 0x1800);
    const MarkPlaces places = PlaceMark(font, format, m_strTitle.Left(p), m_strMark);
    delete font;
    markX = places.markX;
    afterX = places.afterX;
}

void MText::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        Gdiplus::Graphics g(m_hMemDC);
        if (m_bBack) {
            Gdiplus::SolidBrush back{Gdiplus::Color(m_clrBack)};
            // The cache is opaque: fill it as the window will show it.
            g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            g.FillRectangle(&back, 0, 0, W, H);
            g.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        } else {
            ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        }
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(m_smoothingMode);
        Gdiplus::Font* font = MakeFont();
        if (font && !m_strTitle.IsEmpty()) {
            Gdiplus::StringFormat format;
            ApplyAlignment(format, m_uAlignment, m_uVAlignment);
            if (m_bMultiLine) {
                format.SetFormatFlags(0x4800);
                if (m_bVCenter) format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            } else {
                format.SetFormatFlags(0x1800);
            }
            Gdiplus::SolidBrush text(m_clrText);
            Gdiplus::SolidBrush shadow{Gdiplus::Color(m_clrShadow)};
            const int p = FindMark();
            if (p < 0) {
                if (m_bShadow) {
                    Gdiplus::RectF box(1.0f, 1.0f, static_cast<Gdiplus::REAL>(W),
                                       static_cast<Gdiplus::REAL>(H));
                    GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), font, box,
                                           &format, &shadow);
                }
                Gdiplus::RectF box(0.0f, 0.0f, static_cast<Gdiplus::REAL>(W),
                                   static_cast<Gdiplus::REAL>(H));
                GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), font, box, &format,
                                       &text);
            } else {
                CString before = m_strTitle.Left(p);
                CString after = m_strTitle.Mid(p + m_strMark.GetLength());
                const MarkPlaces places = PlaceMark(font, format, before, m_strMark);
                Gdiplus::SolidBrush mark{Gdiplus::Color(m_clrMark)};
                // Each piece starts at its x; the label's vertical alignment
                // still places it in the control's height.
                Gdiplus::StringFormat pieceFormat(&format);
                pieceFormat.SetAlignment(Gdiplus::StringAlignmentNear);
                auto at = [&](const CString& piece, int x, int y, Gdiplus::Brush* brush) {
                    if (piece.IsEmpty() || x >= W) return;
                    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                                       static_cast<Gdiplus::REAL>(W - x),
                                       static_cast<Gdiplus::REAL>(H));
                    GlyphFaces::DrawString(g, piece, piece.GetLength(), font, box, &pieceFormat,
                                           brush);
                };
                if (m_bShadow) {
                    at(before, 1, 1, &shadow);
                    at(m_strMark, places.markX + 1, 1, &shadow);
                }
                at(before, 0, 0, &text);
                at(m_strMark, places.markX, 0, &mark);
                if (m_bShadow) at(after, places.afterX + 1, 1, &shadow);
                at(after, places.afterX, 0, &text);
            }
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
