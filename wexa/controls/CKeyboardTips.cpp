#include "CKeyboardTips.h"
#include "GlyphFaces.h"

#include "MRender.h"
#include "Manager.h"
#include "controls/TipHandlers.h"
#include "framework/GdiOwners.h"

namespace WEXA {

namespace {

const Gdiplus::ARGB kCaptionColor = 0xFF333333;
const Gdiplus::ARGB kMainColor = 0xFF141414;

}  // namespace

CKeyboardTips::CKeyboardTips()
    : WEXA_TIP_INITIAL_STATE,
      m_hFontSmall(nullptr),
      m_hFontLarge(nullptr),
      m_bHasFocus(0)
{}

CKeyboardTips::~CKeyboardTips()
{
    ReleaseGdiplusObjects();
    if (m_hFontSmall) ::DeleteObject(m_hFontSmall);
    if (m_hFontLarge) ::DeleteObject(m_hFontLarge);
}

const CString& CKeyboardTips::GetText(int index) const
{
    static const CString empty;
    return index >= 1 && index <= 4 ? m_strText[index - 1] : empty;
}

WEXA_TIP_DEFINE_WINDOW(CKeyboardTips)

HFONT CKeyboardTips::GetGDIFont11()
{
    if (!m_hFontSmall) m_hFontSmall = tipwindow::CreateLibraryGdiFont(-14);
    return m_hFontSmall;
}

HFONT CKeyboardTips::GetGDIFont2()
{
    if (!m_hFontLarge) m_hFontLarge = tipwindow::CreateLibraryGdiFont(-18);
    return m_hFontLarge;
}

int CKeyboardTips::SetAirBladderMsg(const wchar_t* text1, const wchar_t* text2,
                                    const wchar_t* text3, const wchar_t* text4, POINT anchor)
{
    if (!text1) return 0;
    if (m_strText[0] == text1 && m_ptAnchor.x == anchor.x && m_ptAnchor.y == anchor.y) return 1;
    m_strText[0] = text1;
    m_strText[1] = text2 ? text2 : L"";
    m_strText[2] = text3 ? text3 : L"";
    m_strText[3] = text4 ? text4 : L"";
    m_ptAnchor = anchor;
    m_nType = 5;
    m_nMode = 4;
    // Text 1 over text 2; a text 1 alone (or repeated as text 2) is the main line.
    if (!m_strText[1].IsEmpty() && m_strText[1] != m_strText[0]) {
        m_strCaption = m_strText[0];
        m_strMain = m_strText[1];
    } else {
        m_strCaption.Empty();
        m_strMain = m_strText[0];
    }
    AutoFit();
    return 1;
}

void CKeyboardTips::AutoFit()
{
    if (m_strCaption.IsEmpty() && m_strMain.IsEmpty()) return;
    if (!IsValid()) return;
    ::MoveWindow(m_hWnd, m_ptAnchor.x - BOX_WIDTH / 2, m_ptAnchor.y - BOX_HEIGHT, BOX_WIDTH,
                 BOX_HEIGHT, TRUE);
    OnPaint();
}

int CKeyboardTips::OnPaint()
{
    if (!IsValid()) return 0;
    tipwindow::PaintCanvas canvas(m_hWnd);
    if (!canvas.ok()) return 0;
    const int w = canvas.width(), h = canvas.height();
    HDC mem = canvas.dc();
    {
        Gdiplus::Graphics g(mem);
        if (m_pBkImage && m_pBkImage->GetLastStatus() == Gdiplus::Ok)
            MRender::DrawImageFrame(g, m_pBkImage, CRect(0, 0, w - 1, h - 1), 0, 0, m_nBkWidth,
                                    m_nBkHeight, 6);
        if (m_pFontFamily && (!m_strCaption.IsEmpty() || !m_strMain.IsEmpty())) {
            if (!m_pStringFormat) {
                m_pStringFormat = new Gdiplus::StringFormat();
                m_pStringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
                m_pStringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
                m_pStringFormat->SetFormatFlags(0x1800);
            }
            Gdiplus::Font small(m_pFontFamily, 14.0f, Gdiplus::FontStyleRegular,
                                Gdiplus::UnitPixel);
            Gdiplus::Font large(m_pFontFamily, 18.0f, Gdiplus::FontStyleRegular,
                                Gdiplus::UnitPixel);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            Gdiplus::SolidBrush captionBrush{Gdiplus::Color(kCaptionColor)};
            Gdiplus::SolidBrush mainBrush{Gdiplus::Color(kMainColor)};
            const Gdiplus::REAL width = static_cast<Gdiplus::REAL>(w - 20);
            GlyphFaces::DrawString(g, m_strCaption, m_strCaption.GetLength(), &small,
                                   Gdiplus::RectF(10.0f, 8.0f, width, 20.0f), m_pStringFormat,
                                   &captionBrush);
            GlyphFaces::DrawString(g, m_strMain, m_strMain.GetLength(), &large,
                                   Gdiplus::RectF(10.0f, 35.0f, width, 20.0f), m_pStringFormat,
                                   &mainBrush);
        }
    }
    canvas.Present();
    return 1;
}

}  // namespace WEXA
