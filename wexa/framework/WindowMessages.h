#pragma once
// The window-message switch of the library's windows (dialogs, the balloon,
// and the menus, popups and tips built on them): turns a message into a call
// of the window class's handler of that name (OnCreate, OnSize, OnPaint,
// OnMouseMove(flags, point), ...). A class passes every message of its
// OnWindowMessage through it and goes on with its own processing unless the
// message was answered here.
//
//     bool answered = false;
//     LONG answer = DispatchWindowMessage(*this, msg, wparam, lparam, answered);
//     if (answered) return answer;
//
// Answered here: WM_ERASEBKGND (1: the engine paints everything) and the
// close request WM_USER + 66 (OnUserCloseWindow's answer). Extras adds the
// focus messages (OnSetFocus, OnKillFocus) and WM_NCDESTROY (PostNcDestroy)
// for the classes that have those handlers. OnCreate may take the creation
// structure or nothing (the popup's handler).
//
// WEXA_DEFINE_IDLE_INPUT_HANDLERS(Class) defines the pointer, key and frame
// handlers such a class leaves without work (all answer 0): OnMouseMove,
// OnMouseLeave, OnMouseHover, OnMouseWheel, the six button handlers, OnKeyDown,
// OnNcHitTest, OnGetMinMaxInfo and OnNcCalcSize. Use it inside namespace WEXA.
#include <windows.h>

#include "CRect.h"

namespace WEXA {

enum WindowMessageExtras { kNoExtraMessages = 0, kFocusAndNcDestroyMessages = 1 };

namespace windowmessages {

template <class Window>
auto CallOnCreate(Window& window, CREATESTRUCTW* create, int)
    -> decltype(window.OnCreate(create), void())
{
    window.OnCreate(create);
}
template <class Window>
void CallOnCreate(Window& window, CREATESTRUCTW*, long)
{
    window.OnCreate();
}

}  // namespace windowmessages

template <int Extras = kNoExtraMessages, class Window>
LONG DispatchWindowMessage(Window& window, UINT msg, UINT_PTR wparam, LONG_PTR lparam,
                           bool& answered)
{
    const CPoint point(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
    answered = false;
    switch (msg) {
        case WM_ERASEBKGND: answered = true; return 1;
        case WM_USER + 66: answered = true; return window.OnUserCloseWindow(wparam, lparam);
        case WM_CREATE:
            windowmessages::CallOnCreate(window, reinterpret_cast<CREATESTRUCTW*>(lparam), 0);
            break;
        case WM_DESTROY: window.OnDestroy(); break;
        case WM_SIZE:
            window.OnSize(static_cast<UINT>(wparam), static_cast<short>(LOWORD(lparam)),
                          static_cast<short>(HIWORD(lparam)));
            break;
        case WM_PAINT: window.OnPaint(); break;
        case WM_CLOSE: window.OnClose(); break;
        case WM_WINDOWPOSCHANGING:
            window.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lparam));
            break;
        case WM_WINDOWPOSCHANGED:
            window.OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lparam));
            break;
        case WM_NCACTIVATE: window.OnNcActivate(static_cast<int>(wparam)); break;
        case WM_TIMER: window.OnTimer(static_cast<UINT>(wparam)); break;
        case WM_MOUSEMOVE: window.OnMouseMove(static_cast<UINT>(wparam), point); break;
        case WM_LBUTTONDOWN: window.OnLButtonDown(static_cast<UINT>(wparam), point); break;
        case WM_LBUTTONUP: window.OnLButtonUp(static_cast<UINT>(wparam), point); break;
        case WM_LBUTTONDBLCLK: window.OnLButtonDblClk(static_cast<UINT>(wparam), point); break;
        case WM_RBUTTONDOWN: window.OnRButtonDown(static_cast<UINT>(wparam), point); break;
        case WM_RBUTTONUP: window.OnRButtonUp(static_cast<UINT>(wparam), point); break;
        case WM_RBUTTONDBLCLK: window.OnRButtonDblClk(static_cast<UINT>(wparam), point); break;
        case WM_MOUSEHOVER: window.OnMouseHover(wparam, lparam); break;
        case WM_MOUSELEAVE: window.OnMouseLeave(wparam, lparam); break;
        default:
            if constexpr ((Extras & kFocusAndNcDestroyMessages) != 0) {
                if (msg == WM_SETFOCUS)
                    window.OnSetFocus(reinterpret_cast<HWND>(wparam));
                else if (msg == WM_KILLFOCUS)
                    window.OnKillFocus(reinterpret_cast<HWND>(wparam));
                else if (msg == WM_NCDESTROY)
                    window.PostNcDestroy();
            }
            break;
    }
    return 0;
}

}  // namespace WEXA

#define WEXA_DEFINE_IDLE_INPUT_HANDLERS(Class)       \
    int Class::OnMouseMove(UINT, CPoint)             \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnMouseLeave(UINT_PTR, LONG_PTR)      \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnMouseHover(UINT_PTR, LONG_PTR)      \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnMouseWheel(UINT, short, CPoint)     \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnLButtonDown(UINT, CPoint)           \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnLButtonUp(UINT, CPoint)             \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnLButtonDblClk(UINT, CPoint)         \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnRButtonDown(UINT, CPoint)           \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnRButtonUp(UINT, CPoint)             \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnRButtonDblClk(UINT, CPoint)         \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnKeyDown(UINT, UINT, UINT)           \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnNcHitTest(CPoint)                   \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnGetMinMaxInfo(MINMAXINFO*)          \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnNcCalcSize(int, NCCALCSIZE_PARAMS*) \
    {                                                \
        return 0;                                    \
    }
