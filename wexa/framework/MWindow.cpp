#include "MWindow.h"

#include "Manager.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

const wchar_t kDefaultClassName[] = L"PavexWindow";
const wchar_t kControlProp[] = L"Control";

bool HandlePresent(HWND hwnd)
{
    return hwnd != nullptr && hwnd != reinterpret_cast<HWND>(-1);
}
bool HandleValid(HWND hwnd)
{
    return IsLiveWindow(hwnd);
}

}  // namespace

MWindow::MWindow() : m_hParent(nullptr), m_hWnd(nullptr), m_OldWndProc(::DefWindowProcW) {}

MWindow::~MWindow() {}

bool MWindow::IsPresent() const
{
    return HandlePresent(m_hWnd);
}
bool MWindow::IsValid() const
{
    return HandleValid(m_hWnd);
}

const wchar_t* MWindow::GetWindowClassName() const
{
    return kDefaultClassName;
}
const wchar_t* MWindow::GetSuperClassName() const
{
    return nullptr;
}

int MWindow::ShowWindow(int cmdShow)
{
    if (!IsPresent()) return 0;
    return ::ShowWindow(m_hWnd, cmdShow);
}

LONG MWindow::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    return static_cast<LONG>(::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wparam, lparam));
}

int MWindow::PreTranslateMessage(MSG*)
{
    return 0;
}
int MWindow::OnInitDialog()
{
    return 1;
}
void MWindow::OnDestroyMessage(HWND) {}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect,
                     HMENU menu)
{
    if (IsPresent() && IsValid()) return m_hWnd;
    m_hParent = parent;
    int registered = GetSuperClassName() != nullptr ? RegisterSuperClass() : RegisterWindowClass();
    if (!registered) return nullptr;
    HWND hwnd = ::CreateWindowExW(exStyle, GetWindowClassName(), title, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                  Manager::GetInstance(), this);
    if (!hwnd) {
        // A failed creation may have reached WM_NCCREATE; forget the dead handle.
        m_hWnd = nullptr;
        return nullptr;
    }
    m_hWnd = hwnd;
    OnInitDialog();
    return hwnd;
}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect)
{
    return Create(parent, title, style, exStyle, rect, nullptr);
}

HWND MWindow::Create(HWND parent, CRect rect)
{
    return Create(parent, kDefaultClassName, 0x80B, 0, rect, nullptr);
}

HWND MWindow::Create(HWND parent)
{
    return Create(parent, CRect(0, 0, 800, 600));
}

int MWindow::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &MWindow::WndProc;
    wc.hInstance = Manager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassW(&wc)) return 1;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? 1 : 0;
}

int MWindow::RegisterSuperClass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    const wchar_t* base = GetSuperClassName();
    if (!::GetClassInfoExW(nullptr, base, &wc) &&
        !::GetClassInfoExW(Manager::GetInstance(), base, &wc))
        return 0;
    m_OldWndProc = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.hInstance = Manager::GetInstance();
    wc.lpfnWndProc = &MWindow::ControlProc;
    wc.lpszClassName = GetWindowClassName();
    wc.lpszMenuName = nullptr;
    if (::RegisterClassExW(&wc)) return 1;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? 1 : 0;
}

// The object is found through the window's user data (WndProc) or, for
// superclassed system controls whose user data belongs to the control, through
// a window property (ControlProc); the dispatch is the same.
LRESULT MWindow::Dispatch(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool byProperty)
{
    MWindow* object = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lparam);
        object = static_cast<MWindow*>(cs->lpCreateParams);
        if (object) {
            object->m_hWnd = hwnd;
            if (byProperty)
                ::SetPropW(hwnd, kControlProp, static_cast<HANDLE>(object));
            else
                ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    } else {
        object = byProperty ? static_cast<MWindow*>(::GetPropW(hwnd, kControlProp))
                            : reinterpret_cast<MWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_NCDESTROY && object) {
            LRESULT result = ::CallWindowProcW(object->m_OldWndProc, hwnd, msg, wparam, lparam);
            if (byProperty)
                ::RemovePropW(hwnd, kControlProp);
            else
                ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            object->m_hWnd = nullptr;
            object->OnDestroyMessage(hwnd);
            return result;
        }
    }
    if (object) return object->OnWindowMessage(msg, wparam, lparam);
    return ::DefWindowProcW(hwnd, msg, wparam, lparam);
}

LRESULT CALLBACK MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return Dispatch(hwnd, msg, wparam, lparam, false);
}

LRESULT CALLBACK MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return Dispatch(hwnd, msg, wparam, lparam, true);
}

UINT MWindow::RunModal(int cmdShow, bool disableOwner)
{
    if (!IsValid()) return 0xFFFFFFFF;
    HWND hwnd = m_hWnd;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    ShowWindow(cmdShow);
    if (disableOwner && owner) ::EnableWindow(owner, FALSE);

    UINT result = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (::IsWindow(hwnd)) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1) break;
        if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
            result = static_cast<UINT>(msg.wParam);
            if (owner) {
                ::EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner) {
        if (disableOwner) ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

UINT MWindow::ShowModal(int cmdShow)
{
    return RunModal(cmdShow, true);
}
UINT MWindow::ShowModal2(int cmdShow)
{
    return RunModal(cmdShow, false);
}

void MWindow::CenterWindow(MWindow* other)
{
    if (!IsValid()) return;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    bool child = (style & WS_CHILD) != 0;
    HWND reference = nullptr;
    if (other && other->m_hWnd)
        reference = other->m_hWnd;
    else if (child)
        reference = ::GetParent(m_hWnd);
    else
        reference = ::GetWindow(m_hWnd, GW_OWNER);

    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    int w = self.right - self.left;
    int h = self.bottom - self.top;

    RECT area, ref;
    if (child) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        if (IsLiveWindow(reference)) {
            ::GetClientRect(reference, &ref);
            ::MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&ref), 2);
        } else {
            ref = area;
        }
    } else {
        if (reference && (!::IsWindowVisible(reference) || ::IsIconic(reference)))
            reference = nullptr;
        HMONITOR monitor =
            ::MonitorFromWindow(reference ? reference : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO mi = {};
        mi.cbSize = sizeof(mi);
        ::GetMonitorInfoW(monitor, &mi);
        area = mi.rcWork;
        if (reference)
            ::GetWindowRect(reference, &ref);
        else
            ref = area;
    }

    int x = (ref.left + ref.right) / 2 - w / 2;
    int y = (ref.top + ref.bottom) / 2 - h / 2;
    if (x + w > area.right) x = area.right - w;
    if (x < area.left) x = area.left;
    if (y + h > area.bottom) y = area.bottom - h;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop()
{
    if (!IsValid()) return;
    HWND foreground = ::GetForegroundWindow();
    DWORD foreThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    DWORD ownThread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
    if (foreThread == ownThread) {
        ::SetForegroundWindow(m_hWnd);
    } else {
        ::AttachThreadInput(ownThread, foreThread, TRUE);
        ::AllowSetForegroundWindow(ASFW_ANY);
        ::SetForegroundWindow(m_hWnd);
        ::AttachThreadInput(ownThread, foreThread, FALSE);
    }
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    ::ShowWindow(m_hWnd, (style & WS_MINIMIZE) ? SW_RESTORE : SW_SHOW);
}

void MWindow::SetIcon(UINT resourceId)
{
    if (!IsValid()) return;
    HINSTANCE instance = Manager::GetInstance();
    HICON big = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXICON),
                                                ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    HICON small = static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

DWORD MWindow::GetStyle()
{
    if (!IsPresent()) return 0;
    return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}

DWORD MWindow::GetExStyle()
{
    if (!IsPresent()) return 0;
    return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}

namespace {

int ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags)
{
    if (!HandlePresent(hwnd)) return 0;
    DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, index));
    DWORD changed = (old & ~remove) | add;
    if (changed == old) return 0;
    ::SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

}  // namespace

int MWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

int MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

LONG MWindow::SendMessageW(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    if (!IsPresent()) return 0;
    return static_cast<LONG>(::SendMessageW(m_hWnd, msg, wparam, lparam));
}

LONG MWindow::PostMessageW(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    if (!IsPresent()) return 0;
    return ::PostMessageW(m_hWnd, msg, wparam, lparam);
}

BOOL MWindow::GetClientRect(RECT* rect)
{
    return IsValid() ? ::GetClientRect(m_hWnd, rect) : 0;
}
BOOL MWindow::GetWindowRect(RECT* rect)
{
    return IsValid() ? ::GetWindowRect(m_hWnd, rect) : 0;
}

void MWindow::SetWindowTextW(const wchar_t* text)
{
    if (IsValid()) ::SetWindowTextW(m_hWnd, text);
}

void MWindow::GetWindowTextW(CString& text)
{
    if (!IsValid()) return;
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        text.Empty();
        return;
    }
    wchar_t* buffer = text.GetBuffer(length + 1);
    int got = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(got > 0 ? got : 0);
}

int MWindow::GetWindowTextLengthW()
{
    return IsValid() ? ::GetWindowTextLengthW(m_hWnd) : -1;
}
BOOL MWindow::EnableWindow(int enable)
{
    return IsValid() ? ::EnableWindow(m_hWnd, enable) : 0;
}
BOOL MWindow::IsWindowEnabled()
{
    return IsValid() ? ::IsWindowEnabled(m_hWnd) : 0;
}
BOOL MWindow::IsWindowVisible()
{
    return IsValid() ? ::IsWindowVisible(m_hWnd) : 0;
}
BOOL MWindow::IsIconic()
{
    return IsValid() ? ::IsIconic(m_hWnd) : 0;
}

void MWindow::InvalidateRect(CRect rect, int erase)
{
    if (IsValid()) ::InvalidateRect(m_hWnd, &rect, erase);
}

HWND MWindow::SetCapture()
{
    return IsValid() ? ::SetCapture(m_hWnd) : nullptr;
}
BOOL MWindow::ReleaseCapture()
{
    return IsValid() ? ::ReleaseCapture() : 0;
}
HWND MWindow::SetFocus()
{
    return IsValid() ? ::SetFocus(m_hWnd) : nullptr;
}

UINT MWindow::SetTimer(UINT id, UINT elapse, TIMERPROC proc)
{
    return IsValid() ? static_cast<UINT>(::SetTimer(m_hWnd, id, elapse, proc)) : 0;
}

BOOL MWindow::KillTimer(UINT id)
{
    return IsValid() ? ::KillTimer(m_hWnd, id) : 0;
}
BOOL MWindow::ClientToScreen(POINT* point)
{
    return IsValid() ? ::ClientToScreen(m_hWnd, point) : 0;
}
BOOL MWindow::ScreenToClient(POINT* point)
{
    return IsValid() ? ::ScreenToClient(m_hWnd, point) : 0;
}

BOOL MWindow::ClientToScreen(RECT* rect)
{
    if (!IsValid() || !rect) return 0;
    if (!::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rect->left))) return 0;
    return ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rect->right));
}

BOOL MWindow::ScreenToClient(RECT* rect)
{
    if (!IsValid() || !rect) return 0;
    if (!::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rect->left))) return 0;
    return ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rect->right));
}

BOOL MWindow::SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
{
    return IsValid() ? ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) : 0;
}

BOOL MWindow::MoveWindow(int x, int y, int width, int height, int repaint)
{
    return IsValid() ? ::MoveWindow(m_hWnd, x, y, width, height, repaint) : 0;
}

BOOL MWindow::MoveWindow(const RECT* rect, int repaint)
{
    if (!IsValid() || !rect) return 0;
    return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left,
                        rect->bottom - rect->top, repaint);
}

BOOL MWindow::DestroyWindow()
{
    return IsValid() ? ::DestroyWindow(m_hWnd) : 0;
}

}  // namespace WEXA
