#pragma once
// What the popup menu windows (MenuWnd, MenuExWnd) do alike, as templates
// over the menu class: the message dispatch (DispatchWindowMessage, then the
// engine, then the previous window procedure) and the frame re-application
// after a position change. Internal to the library.
//
// WEXA_MENU_DEFINE_WINDOW(Class), used inside namespace WEXA, defines the
// window part both menus share: notifications posted to the parent window
// (closing the menu on code 2), closing on WM_CLOSE requests and on losing
// the activation, the dispatch inside a MenuLifetime scope (the object
// deletes itself after the outermost message once its window is gone), the
// engine set up at creation, the tool-window style, the rounded region, the
// frame re-application and the handlers that do nothing (with
// WEXA_DEFINE_IDLE_INPUT_HANDLERS). The class has the
// members m_pOwner, m_pm, m_uMessage, m_hParentWnd and m_life, and InitUI and
// UISize.
#include <windows.h>

#include "MenuWindow.h"
#include "PaintManager.h"
#include "framework/WindowMessages.h"
#include "framework/WindowUtil.h"

namespace WEXA {
namespace menuwindow {

// One message of the menu's window. hwnd is the window as it was when the
// message arrived (a handler may destroy it and clear the object's handle).
// The caller holds a MenuLifetime::Scope around the call.
template <class Menu>
LRESULT Dispatch(Menu& menu, PaintManager& pm, HWND hwnd, WNDPROC previous, UINT msg,
                 UINT_PTR wparam, LONG_PTR lparam)
{
    bool answered = false;
    const LONG answer = DispatchWindowMessage(menu, msg, wparam, lparam, answered);
    if (answered) return answer;
    LRESULT result = pm.OnWindowMessage(msg, wparam, lparam);
    if (!result) result = ::CallWindowProcW(previous, hwnd, msg, wparam, lparam);
    return result;
}

// Re-applies the frame after a position change and tells the menu its new
// place and size. Re-applying the frame sends WM_WINDOWPOSCHANGED again: once
// is enough, so the nested call does nothing. Answers 1.
template <class Menu>
int ReapplyFrame(Menu& menu, MenuLifetime& life, WINDOWPOS* pos)
{
    const HWND hwnd = menu.GetSafeHwnd();
    if (!pos || !IsLiveWindow(hwnd) || !life.EnterWindowPosChanged()) return 1;
    // No size, no move, no activation, frame changed, no changing.
    ::SetWindowPos(menu.GetSafeHwnd(), nullptr, 0, 0, 0, 0, 0x433);
    ::SendMessageW(menu.GetSafeHwnd(), WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
    ::SendMessageW(menu.GetSafeHwnd(), WM_SIZE, 0, MAKELPARAM(pos->cx, pos->cy));
    menu.OnSize(0, pos->cx, pos->cy);
    life.LeaveWindowPosChanged();
    return 1;
}

}  // namespace menuwindow
}  // namespace WEXA

#define WEXA_MENU_DEFINE_WINDOW(Class)                                                             \
    WEXA_DEFINE_IDLE_INPUT_HANDLERS(Class)                                                         \
    void Class::SetupRegion(int corner)                                                            \
    {                                                                                              \
        tipwindow::SetupRoundRegion(m_hWnd, corner);                                               \
    }                                                                                              \
    MObject* Class::GetParent()                                                                    \
    {                                                                                              \
        return m_pOwner;                                                                           \
    }                                                                                              \
    LONG Class::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)                \
    {                                                                                              \
        return OnMessage(id, code, wparam, lparam);                                                \
    }                                                                                              \
    LONG Class::OnControlUpdate(CRect rect, int erase, MControl* control)                          \
    {                                                                                              \
        return m_pm.OnControlUpdate(rect, erase, control);                                         \
    }                                                                                              \
    LONG Class::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR)                           \
    {                                                                                              \
        if (m_hParentWnd)                                                                          \
            ::PostMessageW(m_hParentWnd, m_uMessage, wparam, static_cast<LPARAM>(id));             \
        if (code == 2) CloseWindow();                                                              \
        return 1;                                                                                  \
    }                                                                                              \
    LONG Class::SendMessageToParent(UINT, UINT code, UINT_PTR wparam, LONG_PTR lparam)             \
    {                                                                                              \
        if (m_hParentWnd) ::PostMessageW(m_hParentWnd, m_uMessage, wparam, lparam);                \
        if (code == 2) CloseWindow();                                                              \
        return 1;                                                                                  \
    }                                                                                              \
    void Class::CloseWindow()                                                                      \
    {                                                                                              \
        if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);                                   \
    }                                                                                              \
    LONG Class::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)                                \
    {                                                                                              \
        if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);                         \
        return 1;                                                                                  \
    }                                                                                              \
    int Class::OnNcActivate(int active)                                                            \
    {                                                                                              \
        if (!active && IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);                        \
        return 1;                                                                                  \
    }                                                                                              \
    LONG Class::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)                        \
    {                                                                                              \
        LRESULT result = 0;                                                                        \
        {                                                                                          \
            MenuLifetime::Scope scope(m_life);                                                     \
            result = menuwindow::Dispatch(*this, m_pm, m_hWnd, m_OldWndProc, msg, wparam, lparam); \
        }                                                                                          \
        if (m_life.TakePendingDelete()) delete this;                                               \
        return static_cast<LONG>(result);                                                          \
    }                                                                                              \
    int Class::PreTranslateMessage(MSG*)                                                           \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnInitDialog()                                                                      \
    {                                                                                              \
        m_pm.Init(m_hWnd, this);                                                                   \
        m_pm.EnableWndDrag(0);                                                                     \
        CRect client(0, 0, 0, 0);                                                                  \
        if (IsValid()) {                                                                           \
            RECT rc;                                                                               \
            ::GetClientRect(m_hWnd, &rc);                                                          \
            client = rc;                                                                           \
        }                                                                                          \
        InitUI(client);                                                                            \
        return 1;                                                                                  \
    }                                                                                              \
    void Class::OnDestroyMessage(HWND hwnd)                                                        \
    {                                                                                              \
        m_pm.OnDestroyMessage(hwnd);                                                               \
        PostNcDestroy();                                                                           \
    }                                                                                              \
    int Class::PostNcDestroy()                                                                     \
    {                                                                                              \
        if (m_life.RequestDelete()) delete this;                                                   \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnCreate(CREATESTRUCTW*)                                                            \
    {                                                                                              \
        tipwindow::ApplyToolWindowStyles(m_hWnd);                                                  \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnSize(UINT, int, int)                                                              \
    {                                                                                              \
        UISize(CRect(0, 0, 0, 0));                                                                 \
        if (IsValid()) ::InvalidateRect(m_hWnd, nullptr, FALSE);                                   \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnWindowPosChanged(WINDOWPOS* pos)                                                  \
    {                                                                                              \
        return menuwindow::ReapplyFrame(*this, m_life, pos);                                       \
    }                                                                                              \
    int Class::OnWindowPosChanging(WINDOWPOS*)                                                     \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnPaint()                                                                           \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnNcPaint()                                                                         \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnClose()                                                                           \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    int Class::OnDestroy()                                                                         \
    {                                                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    void Class::OnTimer(UINT) {}
