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

LEDFrameTips::LEDFrameTips()
    : m_ptAnchor{0, 0},
      m_nType(1),
      m_nMode(3),
      m_pFontFamily(nullptr),
      m_pFontCollection(nullptr),
      m_pStringFormat(nullptr),
      m_pBkImage(nullptr),
      m_nBkWidth(0),
      m_nBkHeight(0),
      m_backMode(BACK_MODE_FRAME),
      m_nBackParam(18),
      m_hFont(nullptr),
      m_bHasFocus(0)
{}

LEDFrameTips::~LEDFrameTips()
{
    ReleaseGdiplusObjects();
    if (m_hFont) ::DeleteObject(m_hFont);
}

void LEDFrameTips::ReleaseGdiplusObjects()
{
    delete m_pFontFamily;
    m_pFontFamily = nullptr;
    delete m_pFontCollection;
    m_pFontCollection = nullptr;
    delete m_pStringFormat;
    m_pStringFormat = nullptr;
    delete m_pBkImage;
    m_pBkImage = nullptr;
    m_nBkWidth = m_nBkHeight = 0;
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
    if (::IsIconic(m_hWnd)) {
        ::ValidateRect(m_hWnd, nullptr);
        return 0;
    }
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right, h = client.bottom;
    ::ValidateRect(m_hWnd, nullptr);
    if (w <= 0 || h <= 0) return 0;

    gdi::MemoryDC mem;
    gdi::Bitmap bitmap;
    void* bits = nullptr;
    {
        gdi::WindowDC screen(m_hWnd);
        mem.Create(screen);
        bitmap.reset(MRender::CreateARGB32Bitmap(screen, w, h, &bits));
    }
    if (!bitmap) return 0;
    gdi::Selection select(mem, bitmap);
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
    ::GdiFlush();
    tipwindow::CopyToWindow(m_hWnd, mem, w, h);
    return 1;
}

}  // namespace WEXA
