#include "LoadingWnd.h"

#include <vector>

#include "MRender.h"
#include "framework/GdiOwners.h"
#include "framework/WindowMessages.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

const Gdiplus::ARGB kPlainBack = 0xF0FFFFFF;

}  // namespace

LoadingWnd::LoadingWnd()
    : m_strFont(L"Arial"),
      m_pStringFormat(nullptr),
      m_bk{nullptr, 0, 0},
      m_logo{nullptr, 0, 0},
      m_backMode(BACK_MODE_FRAME),
      m_nBackParam(18),
      m_pGif(nullptr),
      m_nGifFrames(0),
      m_frameDimension(Gdiplus::FrameDimensionTime),
      m_bRunning(0),
      m_bTracking(0),
      m_rcClose{0, 0, 0, 0},
      m_nCloseState(0),
      m_close{nullptr, 0, 0},
      m_nCurFrame(0),
      m_nCycle(18),
      m_nTick(0),
      m_nTicksPerFrame(2)
{
    for (Picture& p : m_animate) p = {nullptr, 0, 0};
    m_pStringFormat = new Gdiplus::StringFormat();
    m_pStringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_pStringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_pStringFormat->SetFormatFlags(0x1800);
}

LoadingWnd::~LoadingWnd()
{
    m_bRunning = 0;
    if (IsValid()) ::KillTimer(m_hWnd, ANIMATION_TIMER_ID);
    Free(m_bk);
    Free(m_logo);
    Free(m_close);
    for (Picture& p : m_animate) Free(p);
    delete m_pGif;
    delete m_pStringFormat;
}

void LoadingWnd::Free(Picture& picture)
{
    delete picture.image;
    picture = {nullptr, 0, 0};
}

LONG LoadingWnd::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    bool answered = false;
    const LONG answer =
        DispatchWindowMessage<kFocusAndNcDestroyMessages>(*this, msg, wparam, lparam, answered);
    if (answered) return answer;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int LoadingWnd::PreTranslateMessage(MSG*)
{
    return 0;
}

HWND LoadingWnd::CreateDlg(HWND parent, CRect rect)
{
    LoadGifImage(L"loading\\loading.gif");
    tipwindow::LoadSkinImage(L"logo\\logo_loading.png", m_logo.image, m_logo.width, m_logo.height);
    return Create(parent, L"Loading Window", 0x96020000, 0, rect);
}

int LoadingWnd::OnInitDialog()
{
    if (!IsValid()) return 0;
    ::SetTimer(m_hWnd, ANIMATION_TIMER_ID, ANIMATION_TIMER_MS, nullptr);
    m_bRunning = 1;
    if (tipwindow::LoadSkinImage(L"img_sys_close.png", m_close.image, m_close.width,
                                 m_close.height)) {
        m_close.width /= 4;
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        m_rcClose = {client.right - 39, 10, client.right - 39 + m_close.width, 10 + m_close.height};
    }
    return 1;
}

int LoadingWnd::LoadBKImage(CString file)
{
    return tipwindow::LoadSkinImage(file, m_bk.image, m_bk.width, m_bk.height);
}

int LoadingWnd::LoadBKImage(UINT resId, CString type)
{
    return tipwindow::LoadResImage(resId, type, m_bk.image, m_bk.width, m_bk.height);
}

void LoadingWnd::SetBackMode(enumBackMode mode, int parameter)
{
    m_backMode = mode;
    m_nBackParam = parameter;
}

int LoadingWnd::LoadGifImage(CString file)
{
    delete m_pGif;
    m_pGif = nullptr;
    m_nGifFrames = 0;
    int w = 0, h = 0;
    if (!tipwindow::LoadSkinImage(file, m_pGif, w, h)) return 0;
    const UINT dimensions = m_pGif->GetFrameDimensionsCount();
    if (dimensions == 0) {
        delete m_pGif;
        m_pGif = nullptr;
        return 0;
    }
    std::vector<GUID> ids(dimensions);
    m_pGif->GetFrameDimensionsList(ids.data(), dimensions);
    m_nGifFrames = static_cast<int>(m_pGif->GetFrameCount(&ids[0]));
    m_nCycle = m_nGifFrames;
    return 0;
}

int LoadingWnd::LoadAnimateImage(CString file, int index)
{
    if (index < 0 || index >= ANIMATION_SLOTS) return 0;
    Picture& p = m_animate[index];
    return tipwindow::LoadSkinImage(file, p.image, p.width, p.height);
}

LONG LoadingWnd::OnUserCloseWindow(UINT_PTR, LONG_PTR)
{
    return 1;
}

void LoadingWnd::CloseWindow() {}

int LoadingWnd::OnCreate(CREATESTRUCTW*)
{
    tipwindow::ApplyToolWindowStyles(m_hWnd);
    return 0;
}

int LoadingWnd::OnSize(UINT type, int, int)
{
    if (!IsValid() || type == SIZE_MINIMIZED) return 0;
    SetupRegion(type == SIZE_MAXIMIZED ? 0 : 3);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

void LoadingWnd::SetupRegion(int corner)
{
    tipwindow::SetupRoundRegion(m_hWnd, corner);
}

int LoadingWnd::OnMouseMove(UINT, CPoint point)
{
    if (!m_bTracking && IsValid()) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 400};
        ::TrackMouseEvent(&track);
        m_bTracking = 1;
    }
    m_nCloseState = CRect(m_rcClose).PtInRect(point) ? 1 : 0;
    return 0;
}

int LoadingWnd::OnMouseLeave(UINT_PTR, LONG_PTR)
{
    m_nCloseState = 0;
    return 0;
}

int LoadingWnd::OnLButtonDown(UINT, CPoint point)
{
    m_nCloseState = CRect(m_rcClose).PtInRect(point) ? 2 : 0;
    return 0;
}

int LoadingWnd::OnLButtonUp(UINT, CPoint point)
{
    if (CRect(m_rcClose).PtInRect(point)) {
        m_nCloseState = 1;
        if (IsLiveWindow(m_hParent)) ::PostMessageW(m_hParent, CLOSE_MESSAGE, 0, 0);
    } else {
        m_nCloseState = 0;
    }
    return 0;
}

int LoadingWnd::OnMouseHover(UINT_PTR, LONG_PTR)
{
    return 0;
}
int LoadingWnd::OnMouseWheel(UINT, short, CPoint)
{
    return 0;
}
int LoadingWnd::OnLButtonDblClk(UINT, CPoint)
{
    return 0;
}
int LoadingWnd::OnRButtonDown(UINT, CPoint)
{
    return 0;
}
int LoadingWnd::OnRButtonUp(UINT, CPoint)
{
    return 0;
}
int LoadingWnd::OnRButtonDblClk(UINT, CPoint)
{
    return 0;
}
int LoadingWnd::OnKeyDown(UINT, UINT, UINT)
{
    return 0;
}
int LoadingWnd::OnNcHitTest(CPoint)
{
    return 0;
}
int LoadingWnd::OnGetMinMaxInfo(MINMAXINFO*)
{
    return 0;
}
int LoadingWnd::OnNcCalcSize(int, NCCALCSIZE_PARAMS*)
{
    return 0;
}
int LoadingWnd::OnNcActivate(int)
{
    return 1;
}
int LoadingWnd::OnSetFocus(HWND)
{
    return 1;
}
int LoadingWnd::OnKillFocus(HWND)
{
    return 0;
}
int LoadingWnd::OnWindowPosChanging(WINDOWPOS*)
{
    return 0;
}
int LoadingWnd::OnWindowPosChanged(WINDOWPOS*)
{
    return 1;
}
int LoadingWnd::OnNcPaint()
{
    return 0;
}

int LoadingWnd::OnClose()
{
    m_bRunning = 0;
    return 1;
}
int LoadingWnd::PostNcDestroy()
{
    m_bRunning = 0;
    return 0;
}
int LoadingWnd::OnDestroy()
{
    m_bRunning = 0;
    if (IsValid()) ::KillTimer(m_hWnd, ANIMATION_TIMER_ID);
    return 0;
}

void LoadingWnd::OnTimer(UINT id)
{
    if (id != ANIMATION_TIMER_ID || !m_bRunning) return;
    if (++m_nTick < m_nTicksPerFrame) return;
    m_nTick = 0;
    ++m_nCurFrame;
    if (m_nCurFrame >= m_nCycle) m_nCurFrame = 0;
    DrawWindow();
}

int LoadingWnd::OnPaint()
{
    if (!IsValid()) return 0;
    ::ValidateRect(m_hWnd, nullptr);
    if (!::IsIconic(m_hWnd)) DrawWindow();
    return 1;
}

void LoadingWnd::DrawInto(HDC dc, int w, int h)
{
    Gdiplus::Graphics g(dc);
    if (m_bk.image && m_bk.image->GetLastStatus() == Gdiplus::Ok) {
        MRender::DrawImageFrame(g, m_bk.image, CRect(0, 0, w, h), 0, 0, m_bk.width, m_bk.height,
                                10);
    } else {
        Gdiplus::SolidBrush plain{Gdiplus::Color(kPlainBack)};
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.FillRectangle(&plain, 0, 0, w, h);
        g.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    }
    if (m_logo.image)
        g.DrawImage(m_logo.image, (w - m_logo.width) / 2, (h - GIF_HEIGHT) / 2 - m_logo.height - 20,
                    m_logo.width, m_logo.height);
    if (m_pGif && m_nGifFrames > 1) {
        if (m_nCurFrame < m_nGifFrames)
            m_pGif->SelectActiveFrame(&m_frameDimension, static_cast<UINT>(m_nCurFrame));
        g.DrawImage(m_pGif, (w - GIF_WIDTH) / 2, (h - GIF_HEIGHT) / 2, GIF_WIDTH, GIF_HEIGHT);
    }
    if (m_close.image) {
        const int state = m_nCloseState >= 0 && m_nCloseState < 4 ? m_nCloseState : 0;
        g.DrawImage(m_close.image,
                    Gdiplus::Rect(m_rcClose.left, m_rcClose.top, m_close.width, m_close.height),
                    state * m_close.width, 0, m_close.width, m_close.height, Gdiplus::UnitPixel);
    }
}

void LoadingWnd::DrawWindow()
{
    if (!IsValid()) return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    gdi::WindowDC screen(m_hWnd);
    gdi::MemoryDC mem(screen);
    void* bits = nullptr;
    gdi::Bitmap bitmap(MRender::CreateARGB32Bitmap(screen, w, h, &bits));
    if (!bitmap) return;
    gdi::Selection select(mem, bitmap);
    DrawInto(mem, w, h);
    ::GdiFlush();
    LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SIZE size = {w, h};
    POINT src = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, screen, nullptr, &size, mem, &src, 0, &blend, ULW_ALPHA);
}

}  // namespace WEXA
