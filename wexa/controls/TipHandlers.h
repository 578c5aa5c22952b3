#pragma once
// Handlers of a tip window, used inside namespace WEXA in the tip windows'
// sources.
//
// WEXA_TIP_DEFINE_EMPTY(Class): the handlers that do nothing (the balloon's
// defaults: 0, and 1 for OnNcActivate and OnWindowPosChanged).
//
// WEXA_TIP_DEFINE_WINDOW(Class): everything a key or frame tip does alike:
// the message dispatch, the embedded font loaded at creation, closing, the
// tool-window style, the rounded region on sizing, hiding when the focus it
// had is lost (not in mode 5) or when HIDE_TIMER_ID fires, the background
// image and mode, and WEXA_TIP_DEFINE_EMPTY. The class has the members
// m_pFontFamily, m_pFontCollection, m_pBkImage, m_nBkWidth, m_nBkHeight,
// m_backMode, m_nBackParam, m_bHasFocus and m_nMode, and HIDE_TIMER_ID; it
// also frees the Gdiplus objects (ReleaseGdiplusObjects, with
// m_pStringFormat).
// Only a focus the tip really had can be lost: some systems tell windows that
// never had it when the program loses the focus.
// A tip never takes the activation or a click: it stands over the keys next
// to the one it describes, and the pointer goes through it to the window
// below (the owner's window, on the same thread), so a click on a key under
// the tip reaches that key.
#include <optional>

#include "MRender.h"
#include "TipWindow.h"
#include "framework/GdiOwners.h"
#include "framework/WindowMessages.h"

#define WEXA_TIP_DEFINE_EMPTY(Class)           \
    WEXA_DEFINE_IDLE_INPUT_HANDLERS(Class)     \
    int Class::OnNcActivate(int)               \
    {                                          \
        return 1;                              \
    }                                          \
    int Class::OnWindowPosChanging(WINDOWPOS*) \
    {                                          \
        return 0;                              \
    }                                          \
    int Class::OnWindowPosChanged(WINDOWPOS*)  \
    {                                          \
        return 1;                              \
    }                                          \
    int Class::OnNcPaint()                     \
    {                                          \
        return 0;                              \
    }

#define WEXA_TIP_DEFINE_WINDOW(Class)                                                              \
    LONG Class::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)                        \
    {                                                                                              \
        if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;                                         \
        if (msg == WM_NCHITTEST) return HTTRANSPARENT;                                             \
        bool answered = false;                                                                     \
        const LONG answer = DispatchWindowMessage<kFocusAndNcDestroyMessages>(*this, msg, wparam,  \
                                                                              lparam, answered);   \
        if (answered) return answer;                                                               \
        return MWindow::OnWindowMessage(msg, wparam, lparam);                                      \
    }                                                                                              \
    int Class::PreTranslateMessage(MSG*)                                                           \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnInitDialog()                                                                      \
    {                                                                                              \
        LoadTempFont();                                                                            \
        return 1;                                                                                  \
    }                                                                                              \
    void Class::LoadTempFont()                                                                     \
    {                                                                                              \
        tipwindow::LoadEmbeddedFont(m_pFontFamily, m_pFontCollection);                             \
    }                                                                                              \
    LONG Class::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)                                \
    {                                                                                              \
        if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);                         \
        return 1;                                                                                  \
    }                                                                                              \
    void Class::CloseWindow()                                                                      \
    {                                                                                              \
        if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);                                   \
    }                                                                                              \
    int Class::OnCreate(CREATESTRUCTW*)                                                            \
    {                                                                                              \
        tipwindow::ApplyToolWindowStyles(m_hWnd);                                                  \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnSize(UINT type, int, int)                                                         \
    {                                                                                              \
        if (!IsValid() || type == SIZE_MINIMIZED) return 0;                                        \
        SetupRegion(type == SIZE_MAXIMIZED ? 0 : 3);                                               \
        ::InvalidateRect(m_hWnd, nullptr, FALSE);                                                  \
        return 0;                                                                                  \
    }                                                                                              \
    void Class::SetupRegion(int corner)                                                            \
    {                                                                                              \
        tipwindow::SetupRoundRegion(m_hWnd, corner);                                               \
    }                                                                                              \
    int Class::OnSetFocus(HWND)                                                                    \
    {                                                                                              \
        m_bHasFocus = 1;                                                                           \
        return 1;                                                                                  \
    }                                                                                              \
    int Class::OnKillFocus(HWND)                                                                   \
    {                                                                                              \
        if (!m_bHasFocus) return 0;                                                                \
        m_bHasFocus = 0;                                                                           \
        if (m_nMode != 5 && IsValid() && ::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_HIDE); \
        if (IsValid()) ::KillTimer(m_hWnd, HIDE_TIMER_ID);                                         \
        return 0;                                                                                  \
    }                                                                                              \
    void Class::OnTimer(UINT id)                                                                   \
    {                                                                                              \
        if (id != HIDE_TIMER_ID || !IsValid()) return;                                             \
        ::KillTimer(m_hWnd, HIDE_TIMER_ID);                                                        \
        if (::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_HIDE);                              \
    }                                                                                              \
    int Class::OnClose()                                                                           \
    {                                                                                              \
        return 1;                                                                                  \
    }                                                                                              \
    int Class::PostNcDestroy()                                                                     \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnDestroy()                                                                         \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    WEXA_TIP_DEFINE_EMPTY(Class)                                                                   \
    int Class::LoadBKImage(CString file)                                                           \
    {                                                                                              \
        return tipwindow::LoadSkinImage(file, m_pBkImage, m_nBkWidth, m_nBkHeight);                \
    }                                                                                              \
    int Class::LoadBKImage(UINT resId, CString type)                                               \
    {                                                                                              \
        return tipwindow::LoadResImage(resId, type, m_pBkImage, m_nBkWidth, m_nBkHeight);          \
    }                                                                                              \
    void Class::SetBackMode(enumBackMode mode, int parameter)                                      \
    {                                                                                              \
        m_backMode = mode;                                                                         \
        m_nBackParam = parameter;                                                                  \
    }                                                                                              \
    void Class::ReleaseGdiplusObjects()                                                            \
    {                                                                                              \
        delete m_pFontFamily;                                                                      \
        m_pFontFamily = nullptr;                                                                   \
        delete m_pFontCollection;                                                                  \
        m_pFontCollection = nullptr;                                                               \
        delete m_pStringFormat;                                                                    \
        m_pStringFormat = nullptr;                                                                 \
        delete m_pBkImage;                                                                         \
        m_pBkImage = nullptr;                                                                      \
        m_nBkWidth = m_nBkHeight = 0;                                                              \
    }

// The state a key or frame tip starts in, for its constructor's initialiser
// list: no anchor, type 1, mode 3, no Gdiplus objects, the frame background
// with parameter 18.
#define WEXA_TIP_INITIAL_STATE                                                                    \
    m_ptAnchor{0, 0}, m_nType(1), m_nMode(3), m_pFontFamily(nullptr), m_pFontCollection(nullptr), \
        m_pStringFormat(nullptr), m_pBkImage(nullptr), m_nBkWidth(0), m_nBkHeight(0),             \
        m_backMode(BACK_MODE_FRAME), m_nBackParam(18)

namespace WEXA {
namespace tipwindow {

// The picture a tip paints: a 32-bit bitmap of the window's client size in a
// memory DC. Making it validates the window's pending paint; ok() is false
// (and nothing is to be painted) when the window is minimised or empty or no
// bitmap could be made.
class PaintCanvas
{
public:
    explicit PaintCanvas(HWND hwnd) : m_hwnd(hwnd)
    {
        if (::IsIconic(hwnd)) {
            ::ValidateRect(hwnd, nullptr);
            return;
        }
        RECT client;
        ::GetClientRect(hwnd, &client);
        m_width = client.right;
        m_height = client.bottom;
        ::ValidateRect(hwnd, nullptr);
        if (m_width <= 0 || m_height <= 0) return;
        void* bits = nullptr;
        {
            gdi::WindowDC screen(hwnd);
            m_mem.Create(screen);
            m_bitmap.reset(MRender::CreateARGB32Bitmap(screen, m_width, m_height, &bits));
        }
        if (m_bitmap) m_select.emplace(m_mem, m_bitmap);
    }
    PaintCanvas(const PaintCanvas&) = delete;
    PaintCanvas& operator=(const PaintCanvas&) = delete;

    bool ok() const { return m_select.has_value(); }
    HDC dc() const { return m_mem; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Copies the picture onto the window.
    void Present()
    {
        ::GdiFlush();
        CopyToWindow(m_hwnd, m_mem, m_width, m_height);
    }

private:
    HWND m_hwnd;
    int m_width = 0, m_height = 0;
    gdi::MemoryDC m_mem;
    gdi::Bitmap m_bitmap;
    std::optional<gdi::Selection> m_select;  // undone before the bitmap and the DC go
};

}  // namespace tipwindow
}  // namespace WEXA
