#include "MenuExWnd.h"

#include "KeyMenuFuncType.h"
#include "MControl.h"

namespace WEXA {

namespace {

const UINT kCloseRequest = WM_USER + 66;  // 1090
const UINT kFrameFlags = 0x433;  // no size, no move, no activation, frame changed, no changing

}  // namespace

MenuExWnd::MenuExWnd(MObject* owner)
    : m_pFuncList(nullptr),
      m_pOwner(owner),
      m_uMessage(0),
      m_hParentWnd(nullptr)
{
    MenuLifetime::CountMenu(1);
}

MenuExWnd::~MenuExWnd()
{
    MenuLifetime::CountMenu(-1);
}

int MenuExWnd::Create(HWND parent, CRect rect, UINT message, CString backImage)
{
    m_uMessage = message;
    m_hParentWnd = parent;
    m_pm.LoadBKImage(backImage);
    m_pm.SetBackMode(BACK_MODE_FRAME, 10);
    m_pm.SetLayeredWindow(1);
    if (!MWindow::Create(parent, L"Menu Window", 0x80B, 0, rect)) return 0;
    MControl* list = m_pm.CreateControl(
        1, this, L"KeyMenuFuncType", LIST_ID,
        CRect(MARGIN, MARGIN, rect.Width() - MARGIN, rect.Height() - MARGIN), L"", 1, 1);
    m_pFuncList = dynamic_cast<KeyMenuFuncType*>(list);
    return 1;
}

void MenuExWnd::AddItem(CString text, CString secondText, int data, CString icon)
{
    if (m_pFuncList) m_pFuncList->AddItem(text, secondText, data, icon);
}

MControl* MenuExWnd::CreateControl(const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int visible, int enabled)
{
    return m_pm.CreateControl(this, className, id, rect, title, visible, enabled);
}

void MenuExWnd::SetupRegion(int corner)
{
    if (!IsValid()) return;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    HRGN region =
        ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner, corner);
    if (region && !::SetWindowRgn(m_hWnd, region, TRUE)) ::DeleteObject(region);
}

MObject* MenuExWnd::GetParent()
{
    return m_pOwner;
}
void MenuExWnd::InitUI(CRect) {}
void MenuExWnd::UISize(CRect) {}

LONG MenuExWnd::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LONG MenuExWnd::OnControlUpdate(CRect rect, int erase, MControl* control)
{
    return m_pm.OnControlUpdate(rect, erase, control);
}

LONG MenuExWnd::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR)
{
    if (m_hParentWnd) ::PostMessageW(m_hParentWnd, m_uMessage, wparam, static_cast<LPARAM>(id));
    if (code == 2) CloseWindow();
    return 1;
}

LONG MenuExWnd::SendMessageToParent(UINT, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (m_hParentWnd) ::PostMessageW(m_hParentWnd, m_uMessage, wparam, lparam);
    if (code == 2) CloseWindow();
    return 1;
}

void MenuExWnd::CloseWindow()
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

LONG MenuExWnd::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);
    return 1;
}

int MenuExWnd::OnNcActivate(int active)
{
    if (!active && IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return 1;
}

LONG MenuExWnd::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    LRESULT result = 0;
    {
        MenuLifetime::Scope scope(m_life);
        const HWND hwnd = m_hWnd;
        CPoint point(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        bool done = false;
        switch (msg) {
            case WM_ERASEBKGND:
                result = 1;
                done = true;
                break;
            case kCloseRequest:
                result = OnUserCloseWindow(wparam, lparam);
                done = true;
                break;
            case WM_CREATE: OnCreate(reinterpret_cast<CREATESTRUCTW*>(lparam)); break;
            case WM_DESTROY: OnDestroy(); break;
            case WM_SIZE:
                OnSize(static_cast<UINT>(wparam), static_cast<short>(LOWORD(lparam)),
                       static_cast<short>(HIWORD(lparam)));
                break;
            case WM_PAINT: OnPaint(); break;
            case WM_CLOSE: OnClose(); break;
            case WM_WINDOWPOSCHANGING:
                OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lparam));
                break;
            case WM_WINDOWPOSCHANGED:
                OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lparam));
                break;
            case WM_NCACTIVATE: OnNcActivate(static_cast<int>(wparam)); break;
            case WM_TIMER: OnTimer(static_cast<UINT>(wparam)); break;
            case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wparam), point); break;
            case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wparam), point); break;
            case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wparam), point); break;
            case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wparam), point); break;
            case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wparam), point); break;
            case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(wparam), point); break;
            case WM_RBUTTONDBLCLK: OnRButtonDblClk(static_cast<UINT>(wparam), point); break;
            case WM_MOUSEHOVER: OnMouseHover(wparam, lparam); break;
            case WM_MOUSELEAVE: OnMouseLeave(wparam, lparam); break;
            default: break;
        }
        if (!done) {
            result = m_pm.OnWindowMessage(msg, wparam, lparam);
            if (!result) result = ::CallWindowProcW(m_OldWndProc, hwnd, msg, wparam, lparam);
        }
    }
    if (m_life.TakePendingDelete()) delete this;
    return static_cast<LONG>(result);
}

int MenuExWnd::PreTranslateMessage(MSG*)
{
    return 0;
}

int MenuExWnd::OnInitDialog()
{
    m_pm.Init(m_hWnd, this);
    m_pm.EnableWndDrag(0);
    CRect client(0, 0, 0, 0);
    if (IsValid()) {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        client = rc;
    }
    InitUI(client);
    return 1;
}

void MenuExWnd::OnDestroyMessage(HWND hwnd)
{
    m_pm.OnDestroyMessage(hwnd);
    PostNcDestroy();
}

int MenuExWnd::PostNcDestroy()
{
    if (m_life.RequestDelete()) delete this;
    return 0;
}

int MenuExWnd::OnCreate(CREATESTRUCTW*)
{
    if (!m_hWnd) return 0;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                        static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    return 0;
}

int MenuExWnd::OnSize(UINT, int, int)
{
    UISize(CRect(0, 0, 0, 0));
    if (IsValid()) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

int MenuExWnd::OnWindowPosChanged(WINDOWPOS* pos)
{
    // Re-applying the frame sends WM_WINDOWPOSCHANGED again: once is enough.
    if (!pos || !IsValid() || !m_life.EnterWindowPosChanged()) return 1;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kFrameFlags);
    ::SendMessageW(m_hWnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
    ::SendMessageW(m_hWnd, WM_SIZE, 0, MAKELPARAM(pos->cx, pos->cy));
    OnSize(0, pos->cx, pos->cy);
    m_life.LeaveWindowPosChanged();
    return 1;
}

int MenuExWnd::OnMouseMove(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnMouseLeave(UINT_PTR, LONG_PTR)
{
    return 0;
}
int MenuExWnd::OnMouseHover(UINT_PTR, LONG_PTR)
{
    return 0;
}
int MenuExWnd::OnMouseWheel(UINT, short, CPoint)
{
    return 0;
}
int MenuExWnd::OnLButtonDown(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnLButtonUp(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnLButtonDblClk(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnRButtonDown(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnRButtonUp(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnRButtonDblClk(UINT, CPoint)
{
    return 0;
}
int MenuExWnd::OnKeyDown(UINT, UINT, UINT)
{
    return 0;
}
int MenuExWnd::OnNcHitTest(CPoint)
{
    return 0;
}
int MenuExWnd::OnGetMinMaxInfo(MINMAXINFO*)
{
    return 0;
}
int MenuExWnd::OnNcCalcSize(int, NCCALCSIZE_PARAMS*)
{
    return 0;
}
int MenuExWnd::OnWindowPosChanging(WINDOWPOS*)
{
    return 0;
}
int MenuExWnd::OnPaint()
{
    return 0;
}
void MenuExWnd::OnTimer(UINT) {}
int MenuExWnd::OnNcPaint()
{
    return 0;
}
int MenuExWnd::OnClose()
{
    return 0;
}
int MenuExWnd::OnDestroy()
{
    return 0;
}

// ---- KeyMenuWnd ----

KeyMenuWnd::KeyMenuWnd(MObject* owner) : MenuExWnd(owner) {}
KeyMenuWnd::~KeyMenuWnd() {}
void KeyMenuWnd::InitUI(CRect) {}
void KeyMenuWnd::UISize(CRect) {}
LONG KeyMenuWnd::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return MenuExWnd::OnMessage(id, code, wparam, lparam);
}

}  // namespace WEXA
