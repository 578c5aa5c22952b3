#include "CTextArea.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CTextArea,
                      new CTextArea(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

CTextArea::CTextArea(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                     int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_crBox(RGB(255, 255, 255)),
      m_nTransparent{80, 80},
      m_bTransparentOn(1),
      m_bFrame(0),
      m_clrFrame(0xFF050505)
{}

CTextArea::~CTextArea() = default;

void CTextArea::SetTransparent(int first, int second, unsigned long color)
{
    m_nTransparent[0] = first;
    m_nTransparent[1] = second;
    m_crBox = static_cast<COLORREF>(color);
    picker::Repaint(this);
}

void CTextArea::SetFrame(int on, Gdiplus::Color color, int)
{
    m_bFrame = on;
    m_clrFrame = color;
    picker::Repaint(this);
}

void CTextArea::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        Gdiplus::SolidBrush box(
            Gdiplus::Color(255, GetRValue(m_crBox), GetGValue(m_crBox), GetBValue(m_crBox)));
        if (m_bFrame) {
            Gdiplus::SolidBrush frame(m_clrFrame);
            g.FillRectangle(&frame, 0, 0, W, H);
            g.FillRectangle(&box, 1, 1, W - 2, H - 2);
        } else {
            g.FillRectangle(&box, 0, 0, W, H);
        }
        if (!m_strTitle.IsEmpty()) {
            g.SetTextRenderingHint(m_textRenderingHint);
            if (Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace)) {
                Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_nFontWidth), m_fontStyle,
                                   Gdiplus::UnitPixel);
                Gdiplus::StringFormat format;
                format.SetAlignment(Gdiplus::StringAlignmentCenter);
                format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
                format.SetFormatFlags(0x1800);
                Gdiplus::SolidBrush brush(m_clrText);
                GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), &font,
                                       Gdiplus::RectF(0.0f, 0.0f, static_cast<Gdiplus::REAL>(W),
                                                      static_cast<Gdiplus::REAL>(H)),
                                       &format, &brush);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
