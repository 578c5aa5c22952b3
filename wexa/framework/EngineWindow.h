#pragma once
// What the library's windows that host an engine of their own (MDialog and
// MPopupWnd) do alike. Use inside namespace WEXA in their sources.
//
// WEXA_DEFINE_ENGINE_WINDOW(Class) defines, for a class derived from MWindow
// and MObject with the engine m_pm and the translucency settings m_nAlpha and
// m_crKey:
// - OnBaseMessage: the class's OnMessage; OnControlUpdate: the engine's;
// - OnWindowMessage: the library's message switch, then the engine, then the
//   window's previous procedure;
// - OnDestroyMessage: the engine lets go of its window's data, then
//   PostNcDestroy;
// - OnUserCloseWindow: WM_CLOSE posted with the same arguments (1);
// - LoadBKImage (file or resource), SetBackMode, SetScrollResID,
//   SetLayeredWindow, CreateControl (kind 1), CreateArea (kind 0) and
//   GetControl: the engine's, with the window as the controls' owner;
// - SetupBackTranslucent: a layered window at m_nAlpha when it is not 255,
//   else keyed on m_crKey when that is not white; nothing else;
// - OnPaint, OnTimer, OnNcPaint, OnClose (1), PostNcDestroy and OnDestroy:
//   nothing to do.
// ClientRectOf(window): the client rectangle, empty while there is no window.
#include <windows.h>

#include "CRect.h"
#include "MWindow.h"
#include "framework/WindowMessages.h"
#include "framework/WindowUtil.h"

namespace WEXA {

inline CRect ClientRectOf(const MWindow& window)
{
    CRect client(0, 0, 0, 0);
    HWND hwnd = window.GetSafeHwnd();
    if (IsLiveWindow(hwnd)) {
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        client = rc;
    }
    return client;
}

}  // namespace WEXA

#define WEXA_DEFINE_ENGINE_WINDOW(Class)                                                        \
    LONG Class::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)             \
    {                                                                                           \
        return OnMessage(id, code, wparam, lparam);                                             \
    }                                                                                           \
    LONG Class::OnControlUpdate(CRect rect, int erase, MControl* control)                       \
    {                                                                                           \
        return m_pm.OnControlUpdate(rect, erase, control);                                      \
    }                                                                                           \
    LONG Class::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)                     \
    {                                                                                           \
        bool answered = false;                                                                  \
        const LONG answer = DispatchWindowMessage(*this, msg, wparam, lparam, answered);        \
        if (answered) return answer;                                                            \
        LRESULT handled = m_pm.OnWindowMessage(msg, wparam, lparam);                            \
        if (handled) return static_cast<LONG>(handled);                                         \
        return static_cast<LONG>(::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wparam, lparam)); \
    }                                                                                           \
    void Class::OnDestroyMessage(HWND hwnd)                                                     \
    {                                                                                           \
        if (hwnd && hwnd == m_pm.GetPaintWnd()) m_pm.DestroyData();                             \
        PostNcDestroy();                                                                        \
    }                                                                                           \
    LONG Class::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)                             \
    {                                                                                           \
        if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);                      \
        return 1;                                                                               \
    }                                                                                           \
    int Class::LoadBKImage(CString skinFileName)                                                \
    {                                                                                           \
        return m_pm.LoadBKImage(skinFileName);                                                  \
    }                                                                                           \
    int Class::LoadBKImage(UINT resourceId, CString resourceType)                               \
    {                                                                                           \
        return m_pm.LoadBKImage(resourceId, resourceType);                                      \
    }                                                                                           \
    void Class::SetBackMode(enumBackMode mode, int parameter)                                   \
    {                                                                                           \
        m_pm.SetBackMode(mode, parameter);                                                      \
    }                                                                                           \
    void Class::SetScrollResID(UINT vertical, UINT horizontal)                                  \
    {                                                                                           \
        m_pm.SetScrollResID(vertical, horizontal);                                              \
    }                                                                                           \
    void Class::SetLayeredWindow(int layered)                                                   \
    {                                                                                           \
        m_pm.SetLayeredWindow(layered);                                                         \
    }                                                                                           \
    MControl* Class::CreateControl(const wchar_t* className, UINT id, CRect rect,               \
                                   const wchar_t* title, int visible, int enabled)              \
    {                                                                                           \
        return m_pm.CreateControl(1, static_cast<MObject*>(this), className, id, rect, title,   \
                                  visible, enabled);                                            \
    }                                                                                           \
    MControl* Class::CreateArea(const wchar_t* className, UINT id, CRect rect,                  \
                                const wchar_t* title, int visible, int enabled)                 \
    {                                                                                           \
        return m_pm.CreateControl(0, static_cast<MObject*>(this), className, id, rect, title,   \
                                  visible, enabled);                                            \
    }                                                                                           \
    MControl* Class::GetControl(UINT id)                                                        \
    {                                                                                           \
        return m_pm.GetControl(id);                                                             \
    }                                                                                           \
    void Class::SetupBackTranslucent()                                                          \
    {                                                                                           \
        if (!IsValid()) return;                                                                 \
        if (m_nAlpha != 255) {                                                                  \
            ModifyExStyle(0, WS_EX_LAYERED);                                                    \
            ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);    \
        } else if (m_crKey != 0xFFFFFF) {                                                       \
            ModifyExStyle(0, WS_EX_LAYERED);                                                    \
            ::SetLayeredWindowAttributes(m_hWnd, m_crKey, 255, LWA_COLORKEY);                   \
        }                                                                                       \
    }                                                                                           \
    int Class::OnPaint()                                                                        \
    {                                                                                           \
        return 0;                                                                               \
    }                                                                                           \
    void Class::OnTimer(UINT) {}                                                                \
    int Class::OnNcPaint()                                                                      \
    {                                                                                           \
        return 0;                                                                               \
    }                                                                                           \
    int Class::OnClose()                                                                        \
    {                                                                                           \
        return 1;                                                                               \
    }                                                                                           \
    int Class::PostNcDestroy()                                                                  \
    {                                                                                           \
        return 0;                                                                               \
    }                                                                                           \
    int Class::OnDestroy()                                                                      \
    {                                                                                           \
        return 0;                                                                               \
    }
