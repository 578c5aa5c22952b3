#include "LEDFrameTips.h"

#include "MRender.h"
#include "controls/TipHandlers.h"
#include "framework/GdiOwners.h"

namespace WEXA {

namespace {

const COLORREF kEdgeColor = 0x646464;
const COLORREF kFillColor = 0x141414;
const UINT kTextFlags = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;

}  // namespace

LEDFrameTips::LEDFrameTips() : WEXA_TIP_INITIAL_STATE, m_hFont(nullptr), m_bHasFocus(0) {}

LEDFrameTips::~LEDFrameTips()
{
    ReleaseGdiplusObjects();
    if (m_hFont) ::DeleteObject(m_hFont);
}

WEXA_TIP_DEFINE_WINDOW(LEDFrameTips)

HFONT LEDFrameTips::GetGDIFont1()
{
    if (!m_hFont) m_hFont = tipwindow::CreateLibraryGdiFont(-16);
    return m_hFont;
}

int LEDFrameTips::SetAirBladderMsg(const wchar_t* text1, const wchar_t* text2, POINT anchor)
{
    if (!text1) return 0;
    const bool sameAnchor = m_ptAnchor.x == anchor.x && m_ptAnchor.y == anchor.y;
    if (m_strText1 == text1) {
        if (!text2) return 0;
        if (m_strText2 == text2 && sameAnchor) return 1;
    }
    m_strText1 = text1;
    m_strText2 = text2 ? text2 : L"";
    m_ptAnchor = anchor;
    m_nType = 5;
    m_nMode = 4;
    AutoFit();
    return 1;
}

void LEDFrameTips::AutoFit()
{
    if (m_strText1.IsEmpty() || !IsValid()) return;
    const int width = m_strText1.Find(L"Frames") >= 0 ? WIDE_WIDTH : NARROW_WIDTH;
    ::MoveWindow(m_hWnd, m_ptAnchor.x, m_ptAnchor.y - BOX_HEIGHT, width, BOX_HEIGHT, TRUE);
    OnPaint();
}

int LEDFrameTips::OnPaint()
{
    if (!IsValid()) return 0;
    tipwindow::PaintCanvas canvas(m_hWnd);
    if (!canvas.ok()) return 0;
    const int w = canvas.width(), h = canvas.height();
    HDC mem = canvas.dc();
    {
        gdi::Brush edge(::CreateSolidBrush(kEdgeColor));
        gdi::Brush fill(::CreateSolidBrush(kFillColor));
        RECT all = {0, 0, w, h};
        ::FillRect(mem, &all, edge);
        RECT inner = {1, 1, w - 2, h - 2};
        ::FillRect(mem, &inner, fill);
    }
    if (!m_strText1.IsEmpty()) {
        gdi::Selection font(mem, GetGDIFont1());
        ::SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, RGB(255, 255, 255));
        RECT line1 = {10, 8, w - 20, 28};
        ::DrawTextW(mem, m_strText1, m_strText1.GetLength(), &line1, kTextFlags);
        RECT line2 = {10, 43, w - 20, 63};
        ::DrawTextW(mem, m_strText2, m_strText2.GetLength(), &line2, kTextFlags);
    }
    canvas.Present();
    return 1;
}

}  // namespace WEXA
