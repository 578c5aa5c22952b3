#include "MAirBladder.h"
#include "GlyphFaces.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"
#include "framework/GdiOwners.h"
#include "framework/WindowMessages.h"

namespace WEXA {

namespace {

const UINT kFontResource = 106;
const float kFontSize = 14.0f;

int CountLines(const CString& text)
{
    int lines = 1;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text.GetAt(i) == L'\n') ++lines;
    return lines;
}

void DeleteImage(Gdiplus::Image*& image)
{
    delete image;
    image = nullptr;
}

}  // namespace

MAirBladder::MAirBladder()
    : m_ptAnchor{0, 0},
      m_type(static_cast<AIRBLADDER_TYPE>(1)),
      m_mode(static_cast<AIRBLADDER_MODE>(3)),
      m_pFontFamily(nullptr),
      m_pFontCollection(nullptr),
      m_pStringFormat(nullptr),
      m_pBkImage(nullptr),
      m_nBkWidth(0),
      m_nBkHeight(0),
      m_pArrowL(nullptr),
      m_nArrowLWidth(0),
      m_nArrowLHeight(0),
      m_pArrowR(nullptr),
      m_nArrowRWidth(0),
      m_nArrowRHeight(0),
      m_pArrowT(nullptr),
      m_nArrowTWidth(0),
      m_nArrowTHeight(0),
      m_backMode(static_cast<enumBackMode>(1)),
      m_nBackParam(18),
      m_nLineCount(1),
      m_nPaintLines(1),
      m_nTimerArms(0),
      m_bHasFocus(0)
{}

MAirBladder::~MAirBladder()
{
    ReleaseGdiplusObjects();
}

void MAirBladder::ReleaseGdiplusObjects()
{
    delete m_pFontFamily;
    m_pFontFamily = nullptr;
    delete m_pFontCollection;
    m_pFontCollection = nullptr;
    delete m_pStringFormat;
    m_pStringFormat = nullptr;
    DeleteImage(m_pBkImage);
    DeleteImage(m_pArrowL);
    DeleteImage(m_pArrowR);
    DeleteImage(m_pArrowT);
    m_nBkWidth = m_nBkHeight = 0;
    m_nArrowLWidth = m_nArrowLHeight = 0;
    m_nArrowRWidth = m_nArrowRHeight = 0;
    m_nArrowTWidth = m_nArrowTHeight = 0;
}

// ---- window messages ----

LONG MAirBladder::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    bool answered = false;
    const LONG answer =
        DispatchWindowMessage<kFocusAndNcDestroyMessages>(*this, msg, wparam, lparam, answered);
    if (answered) return answer;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int MAirBladder::PreTranslateMessage(MSG*)
{
    return 0;
}

int MAirBladder::OnInitDialog()
{
    LoadTempFont();
    return 1;
}

void MAirBladder::OnDestroyMessage(HWND)
{
    // The window is gone: its GDI+ objects go with it, while GDI+ still runs.
    ReleaseGdiplusObjects();
}

LONG MAirBladder::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);
    return 1;
}

void MAirBladder::CloseWindow()
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

int MAirBladder::OnCreate(CREATESTRUCTW*)
{
    if (!m_hWnd) return 0;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                        static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    return 0;
}

int MAirBladder::OnSize(UINT type, int, int)
{
    if (!IsValid()) return 0;
    if (type != SIZE_MINIMIZED) SetupRegion(type == SIZE_MAXIMIZED ? 0 : 3);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

WEXA_DEFINE_IDLE_INPUT_HANDLERS(MAirBladder)
int MAirBladder::OnNcActivate(int)
{
    return 1;
}
int MAirBladder::OnSetFocus(HWND)
{
    m_bHasFocus = 1;
    return 1;
}

int MAirBladder::OnKillFocus(HWND)
{
    // Only a focus the balloon really had can be lost (some systems also tell
    // windows that never had it when the program loses the focus).
    if (!m_bHasFocus) return 0;
    m_bHasFocus = 0;
    if (m_mode != 5 && IsValid() && ::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_HIDE);
    if (IsValid()) ::KillTimer(m_hWnd, HIDE_TIMER_ID);
    return 0;
}

int MAirBladder::OnWindowPosChanging(WINDOWPOS*)
{
    return 0;
}
int MAirBladder::OnWindowPosChanged(WINDOWPOS*)
{
    return 1;
}
int MAirBladder::OnNcPaint()
{
    return 0;
}
int MAirBladder::OnClose()
{
    return 1;
}
int MAirBladder::PostNcDestroy()
{
    return 0;
}
int MAirBladder::OnDestroy()
{
    return 0;
}

void MAirBladder::OnTimer(UINT id)
{
    if (id != HIDE_TIMER_ID || !IsValid()) return;
    ::KillTimer(m_hWnd, HIDE_TIMER_ID);
    if (::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_HIDE);
}

void MAirBladder::SetupRegion(int corner)
{
    if (!IsValid()) return;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    gdi::Region region(
        ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner, corner));
    // The window owns the region once it took it.
    if (region && ::SetWindowRgn(m_hWnd, region, TRUE)) region.release();
}

// ---- images and font ----

int MAirBladder::LoadSkinImage(CString file, Gdiplus::Image*& image, int& width, int& height)
{
    DeleteImage(image);
    width = height = 0;
    image = MRender::LoadImageFromFile(GetSkinsPath() + file);
    if (!image) return 0;
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    return 1;
}

int MAirBladder::LoadResImage(UINT resId, CString type, Gdiplus::Image*& image, int& width,
                              int& height)
{
    DeleteImage(image);
    width = height = 0;
    image = MRender::LoadImageFromIDResource(resId, type, Manager::GetInstance());
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0))
        DeleteImage(image);
    if (!image) return 0;
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    return 1;
}

int MAirBladder::LoadBKImage(CString file)
{
    return LoadSkinImage(file, m_pBkImage, m_nBkWidth, m_nBkHeight);
}
int MAirBladder::LoadBKImage(UINT resId, CString type)
{
    return LoadResImage(resId, type, m_pBkImage, m_nBkWidth, m_nBkHeight);
}
int MAirBladder::LoadArrowLImage(CString file)
{
    return LoadSkinImage(file, m_pArrowL, m_nArrowLWidth, m_nArrowLHeight);
}
int MAirBladder::LoadArrowLImage(UINT resId, CString type)
{
    return LoadResImage(resId, type, m_pArrowL, m_nArrowLWidth, m_nArrowLHeight);
}
int MAirBladder::LoadArrowRImage(CString file)
{
    return LoadSkinImage(file, m_pArrowR, m_nArrowRWidth, m_nArrowRHeight);
}
int MAirBladder::LoadArrowRImage(UINT resId, CString type)
{
    return LoadResImage(resId, type, m_pArrowR, m_nArrowRWidth, m_nArrowRHeight);
}
int MAirBladder::LoadArrowTImage(CString file)
{
    return LoadSkinImage(file, m_pArrowT, m_nArrowTWidth, m_nArrowTHeight);
}
int MAirBladder::LoadArrowTImage(UINT resId, CString type)
{
    return LoadResImage(resId, type, m_pArrowT, m_nArrowTWidth, m_nArrowTHeight);
}

void MAirBladder::SetBackMode(enumBackMode mode, int parameter)
{
    m_backMode = mode;
    m_nBackParam = parameter;
}

void MAirBladder::LoadTempFont()
{
    delete m_pFontFamily;
    m_pFontFamily = nullptr;
    delete m_pFontCollection;
    m_pFontCollection = nullptr;

    HMODULE module = GetLibraryInstance();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(kFontResource), L"ttf");
    if (!info) return;
    HGLOBAL data = ::LoadResource(module, info);
    const void* bytes = data ? ::LockResource(data) : nullptr;
    DWORD size = ::SizeofResource(module, info);
    if (!bytes || size == 0) return;

    gdi::Owned<Gdiplus::PrivateFontCollection> collection(new Gdiplus::PrivateFontCollection());
    if (collection->AddMemoryFont(bytes, static_cast<INT>(size)) != Gdiplus::Ok ||
        collection->GetFamilyCount() <= 0)
        return;
    gdi::Owned<Gdiplus::FontFamily> family(new Gdiplus::FontFamily());
    INT found = 0;
    if (collection->GetFamilies(1, family.get(), &found) != Gdiplus::Ok || found < 1) return;
    // The collection lives as long as the family taken from it.
    m_pFontFamily = family.release();
    m_pFontCollection = collection.release();
}

// ---- the message ----

int MAirBladder::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type,
                                  AIRBLADDER_MODE mode)
{
    if (!text) return 0;
    if (m_strText == text && m_ptAnchor.x == anchor.x && m_ptAnchor.y == anchor.y &&
        m_type == type && m_mode == mode)
        return 1;

    if (!m_pStringFormat) {
        m_pStringFormat = new Gdiplus::StringFormat();
        m_pStringFormat->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                                        Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    }
    m_pStringFormat->SetAlignment(Gdiplus::StringAlignmentNear);
    m_pStringFormat->SetLineAlignment(Gdiplus::StringAlignmentNear);

    m_strText = text;
    m_ptAnchor = anchor;
    m_type = type;
    m_mode = mode;
    m_nLineCount = CountLines(m_strText);
    m_nPaintLines = m_nLineCount;

    AutoFit();
    if (type != 4 && IsValid()) {
        ::SetTimer(m_hWnd, HIDE_TIMER_ID, HIDE_TIMER_MS, nullptr);
        ++m_nTimerArms;
    }
    return 1;
}

Gdiplus::Size MAirBladder::MeasureText() const
{
    if (!m_pFontFamily || m_strText.IsEmpty()) return Gdiplus::Size(0, 0);
    Gdiplus::Font font(m_pFontFamily, kFontSize, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    return MRender::GetTextBounds(&font, m_pStringFormat, m_strText);
}

void MAirBladder::AutoFit()
{
    if (m_strText.IsEmpty()) return;
    Gdiplus::Size measure = MeasureText();
    const int W = measure.Width;
    const int H = measure.Height;
    const int lines = m_nLineCount;

    if ((lines == 1 || m_mode == 4) && m_pStringFormat) {
        m_pStringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
        m_pStringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    }

    const int c = lines * H;
    const int x = m_ptAnchor.x, y = m_ptAnchor.y;
    CRect rect;
    switch (static_cast<int>(m_mode)) {
        case 1: rect = CRect(x, y, x + W + 40, y + c + 20); break;
        case 2: rect = CRect(x - W - 40, y - 27, x, y - 27 + c + 20); break;
        case 3: rect = CRect(x - 25, y, x - 25 + W + 40, y + c + 30); break;
        case 4: {
            int left = x - (W + 30) / 2;
            rect = CRect(left, y - c - 20, left + W + 30, y);
            break;
        }
        case 5:
            // Two lines fewer, 35 pixels lower than the lines need; never negative.
            rect = CRect(x, y - 10, x + W + 40, y - 10 + std::max(c - 35, 0));
            m_nPaintLines = std::max(lines - 2, 1);
            break;
        default: rect = CRect(0, 0, 0, 0); break;
    }
    if (!IsValid()) return;
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    OnPaint();
}

int MAirBladder::OnPaint()
{
    if (!IsValid() || ::IsIconic(m_hWnd)) return 0;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return 0;

    gdi::WindowDC screen(m_hWnd);
    gdi::MemoryDC mem(screen);
    void* bits = nullptr;
    gdi::Bitmap bitmap(MRender::CreateARGB32Bitmap(screen, w, h, &bits));
    if (!bitmap || !mem) return 0;
    gdi::Selection select(mem, bitmap);
    {
        Gdiplus::Graphics g(mem.get());
        if (m_pBkImage && m_pBkImage->GetLastStatus() == Gdiplus::Ok)
            MRender::DrawImageFrame(g, m_pBkImage, CRect(0, 0, w - 1, h - 1), 0, 0, m_nBkWidth,
                                    m_nBkHeight, 6);
        if (!m_strText.IsEmpty() && m_pFontFamily) {
            Gdiplus::Font font(m_pFontFamily, kFontSize, Gdiplus::FontStyleRegular,
                               Gdiplus::UnitPixel);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            Gdiplus::Size measure = MRender::GetTextBounds(&font, m_pStringFormat, m_strText);
            const int n = m_nPaintLines;
            const int H = measure.Height;
            Gdiplus::RectF layout(8.0f, static_cast<float>((h - n * H) / 2 + n - 1),
                                  static_cast<float>(w - 16), static_cast<float>(n * H + 2));
            Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
            GlyphFaces::DrawString(g, m_strText, m_strText.GetLength(), &font, layout,
                                   m_pStringFormat, &white);
        }
    }
    ::GdiFlush();

    LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SIZE size = {w, h};
    POINT src = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, screen, nullptr, &size, mem, &src, 0, &blend, ULW_ALPHA);
    return 1;
}

}  // namespace WEXA
