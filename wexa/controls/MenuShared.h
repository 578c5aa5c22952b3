#pragma once
// What the popup menu windows (MenuWnd, MenuExWnd) do alike, as templates
// over the menu class: the message dispatch (DispatchWindowMessage, then the
// engine, then the previous window procedure) and the frame re-application
// after a position change. Internal to the library.
#include <windows.h>

#include "MenuWindow.h"
#include "PaintManager.h"
#include "framework/WindowMessages.h"

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
    if (!pos || !hwnd || !::IsWindow(hwnd) || !life.EnterWindowPosChanged()) return 1;
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
