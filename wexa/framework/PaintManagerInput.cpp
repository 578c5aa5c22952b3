// PaintManager: the road of one window message into the controls.
//
// Pointer input goes to the hover control (the top-level control under the
// pointer, kept while the left button is held), keys to the hover control first
// and then to every top-level control, the wheel notch by notch to the hover
// control and then to every top-level control. Walks of the control list run
// by index under the controls lock, so a handler that removes a control makes
// the walk skip an entry, never read a freed one.
//
// Every press counts: it acts on what lies under the pointer when the button
// goes down, whatever the moves before it left behind (see HoverForPress).
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "MControl.h"
#include "PaintManager.h"
#include "framework/PaintManagerInternal.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

CPoint PointFromLParam(LPARAM lparam)
{
    return CPoint(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
}

bool IsTabStop(const MControl* control)
{
    return control && control->m_bVisible && control->m_bEnabled && control->m_bTabStop;
}

}  // namespace

UINT PaintManager::GetKeyModifiers()
{
    const bool alt = ::GetKeyState(VK_MENU) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    UINT code = alt ? 18 : (shift ? 16 : 0);
    if (ctrl) code |= 17;
    return code;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == RepaintPickupMessage()) {
        // Another thread queued repaint requests: they are picked up on a
        // timer, after whatever else is due (see RequestRepaintPickup).
        if (!IsLiveWindow(m_hWndPaint) ||
            !::SetTimer(m_hWndPaint, kRepaintTimer, USER_TIMER_MINIMUM, nullptr))
            OnRepaintTick();
        return 1;
    }
    {
        CAutoLock lock(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* control = m_controls[i];
            if (control && control->OnWindowMessage(msg, wparam, lparam)) return 0;
        }
    }

    switch (msg) {
        case WM_PAINT: return OnPaint();
        case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lparam)); return 1;
        case WM_CREATE:
        case WM_DESTROY:
        case WM_SIZE:
        case WM_CHAR:
        case WM_MOUSEHOVER: return 1;
        case WM_NCDESTROY: DestroyData(); return 1;
        case WM_NCACTIVATE: OnNcActivate(static_cast<int>(wparam)); return 1;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: OnKeyDown(static_cast<UINT>(wparam), lparam); return 1;
        case WM_KEYUP:
        case WM_SYSKEYUP: OnKeyUp(static_cast<UINT>(wparam), lparam); return 0;
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            HWND child = reinterpret_cast<HWND>(lparam);
            if (!IsLiveWindow(child)) return 0;
            return ::SendMessageW(child, msg + 0x2000, wparam, lparam);
        }
        case WM_TIMER: OnTimer(static_cast<UINT>(wparam)); return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK: {
            // Handled with (flags, client point); answered 1.
            static const struct
            {
                UINT msg;
                int (PaintManager::*handler)(UINT, CPoint);
            } kPointer[] = {
                {WM_MOUSEMOVE, &PaintManager::OnMouseMove},
                {WM_LBUTTONDOWN, &PaintManager::OnLButtonDown},
                {WM_LBUTTONUP, &PaintManager::OnLButtonUp},
                {WM_LBUTTONDBLCLK, &PaintManager::OnLButtonDblClk},
                {WM_RBUTTONDOWN, &PaintManager::OnRButtonDown},
                {WM_RBUTTONUP, &PaintManager::OnRButtonUp},
                {WM_RBUTTONDBLCLK, &PaintManager::OnRButtonDblClk},
            };
            for (const auto& route : kPointer)
                if (route.msg == msg)
                    (this->*route.handler)(static_cast<UINT>(wparam), PointFromLParam(lparam));
            return 1;
        }
        case WM_MOUSEWHEEL:
            return OnMouseWheel(LOWORD(wparam), static_cast<short>(HIWORD(wparam)),
                                PointFromLParam(lparam));
        case WM_MOUSELEAVE: OnMouseLeave(); return 1;
        default: return 0;
    }
}

// ---- no-op handlers and window geometry ----

int PaintManager::OnCreate()
{
    return 1;
}
int PaintManager::OnSize(UINT, int, int)
{
    return 1;
}
int PaintManager::OnMouseHover(UINT, CPoint)
{
    return 1;
}
int PaintManager::OnNcHitTest(CPoint)
{
    return 1;
}
int PaintManager::OnNcCalcSize(int, NCCALCSIZE_PARAMS*)
{
    return 1;
}
int PaintManager::OnWindowPosChanging(WINDOWPOS*)
{
    return 1;
}
int PaintManager::OnNcPaint()
{
    return 1;
}
int PaintManager::OnDestroy()
{
    return 1;
}

int PaintManager::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info) return 1;
    if (m_nMinWidth > 0) info->ptMinTrackSize.x = m_nMinWidth;
    if (m_nMinHeight > 0) info->ptMinTrackSize.y = m_nMinHeight;
    if (m_nMaxWidth > 0) {
        info->ptMaxTrackSize.x = m_nMaxWidth;
        info->ptMaxSize.x = m_nMaxWidth;
    }
    if (m_nMaxHeight > 0) {
        info->ptMaxTrackSize.y = m_nMaxHeight;
        info->ptMaxSize.y = m_nMaxHeight;
    }
    return 1;
}

int PaintManager::OnWindowPosChanged(WINDOWPOS* pos)
{
    if (!pos || !IsLiveWindow(m_hWndPaint)) return 1;
    ::SetWindowPos(
        m_hWndPaint, nullptr, 0, 0, 0, 0,
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOSENDCHANGING);
    ::SendMessageW(m_hWndPaint, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
    ::SendMessageW(m_hWndPaint, WM_SIZE, 0, MAKELPARAM(pos->cx, pos->cy));
    return 1;
}

// ---- pointer ----

void PaintManager::FindHover(UINT flags, CPoint point)
{
    CAutoLock lock(m_controlsLock);
    m_pHoverControl = nullptr;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* control = m_controls[i];
        if (!control) continue;
        control->OnMouseMove(flags, point);
        if (i < m_controls.size() && m_controls[i] == control && control->PtInRect(point) &&
            control->m_bResponse)
            m_pHoverControl = control;
    }
}

// The moves do not always tell where a press lands: a page slides in under a
// pointer that stands still, the system merges quick moves, the pointer
// arrives while another window is active (a deactivation drops the hover),
// and the first move a window gets may find tracking off. A press taken from
// the hover those moves left went to the wrong control, to the wrong item of
// the right one, or to nothing, and then moved the window, whose move loop
// swallowed the release. So the press first gets the move it missed: the
// control under the point becomes the hover control and sees the pointer
// there, as if the user had rested on it.
void PaintManager::HoverForPress(UINT flags, CPoint point)
{
    const UINT moveFlags = flags & ~static_cast<UINT>(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
    const bool moved = point.x != m_nLastMoveX || point.y != m_nLastMoveY;
    m_nLastMoveX = point.x;
    m_nLastMoveY = point.y;
    MControl* hover = m_pHoverControl;
    if (hover && hover->m_bVisible && hover->PtInRect(point) &&
        hover->OnCheckMouseResponse(moveFlags, point)) {
        if (moved) hover->OnMouseMove(moveFlags, point);
        return;
    }
    ClearTooltip();
    FindHover(moveFlags, point);
}

int PaintManager::OnMouseMove(UINT flags, CPoint point)
{
    m_nLastMoveX = point.x;
    m_nLastMoveY = point.y;
    // Pressed with the button up: the release went to another window (a
    // dialog or menu the press opened). The press is over.
    if (m_bPressed && !(flags & MK_LBUTTON)) {
        m_bPressed = 0;
        m_bDragPending = 0;
        ReleaseCapture();
    }
    if (!m_bTracking && IsLiveWindow(m_hWndPaint)) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWndPaint;
        tme.dwHoverTime = 400;
        m_bTracking = ::TrackMouseEvent(&tme) ? 1 : 0;
    }

    if (m_bDragPending && (flags & MK_LBUTTON)) {
        // A move of 3 px or more along both axes keeps waiting; anything less starts.
        const bool farOnBoth =
            std::abs(point.x - m_nLastDragX) >= 3 && std::abs(point.y - m_nLastDragY) >= 3;
        m_nLastDragX = point.x;
        m_nLastDragY = point.y;
        if (!farOnBoth) {
            StartControlDrag();
            m_bDragPending = 0;
            m_bPressed = 0;
            return 1;
        }
    }

    MControl* hover = m_pHoverControl;
    if (hover && hover->PtInRect(point) && hover->OnCheckMouseResponse(flags, point) &&
        m_bTracking) {
        hover->OnMouseMove(flags, point);
        return 1;
    }
    ClearTooltip();

    if (m_bPressed) return 1;
    if (!m_bTracking) {
        m_pHoverControl = nullptr;
        return 1;
    }
    FindHover(flags, point);
    return 1;
}

int PaintManager::OnMouseLeave()
{
    ClearTooltip();
    m_bTracking = 0;
    if (m_bPressed) return 1;
    if (MControl* hover = m_pHoverControl) hover->OnMouseMove(0, CPoint(-1, -1));
    m_pHoverControl = nullptr;
    m_bPressed = 0;
    return 1;
}

namespace {

using ButtonHandler = int (MControl::*)(UINT, CPoint);

// A press: a focused control other than the hovered one loses the focus; a
// hovered control that is shown, responsive, under the point and willing
// gets the focus, `before` and the press. True when the press is done with:
// the engine captured the pointer for it, or the control took it.
template <class Before>
bool PressHovered(PaintManager& pm, UINT flags, CPoint point, ButtonHandler down, Before before)
{
    if (pm.m_pFocusControl && pm.m_pFocusControl != pm.m_pHoverControl) {
        MControl* old = pm.m_pFocusControl;
        pm.m_pFocusControl = nullptr;
        old->SetControlFocus(0);
    }
    MControl* hover = pm.m_pHoverControl;
    if (!hover || !hover->m_bVisible || !hover->m_bResponse || !hover->PtInRect(point) ||
        !hover->OnCheckMouseResponse(flags, point))
        return false;
    before(hover);
    pm.m_pFocusControl = hover;
    const int taken = (hover->*down)(flags, point);
    // The handler may have removed the control: read the hover again.
    if (!pm.m_bCaptured &&
        (!pm.m_pHoverControl || pm.m_pHoverControl->OnCheckMouseResponse(flags, point))) {
        pm.SetCapture();
        return true;
    }
    return taken != 0;
}

// A release or double click goes to the hovered control when it is shown and
// responsive; the hover is forgotten when the point is outside the control
// (as it was before the handler) or the control does not take the pointer.
void ToHovered(PaintManager& pm, UINT flags, CPoint point, ButtonHandler handler)
{
    MControl* hover = pm.m_pHoverControl;
    if (!hover) return;
    if (hover->m_bVisible && hover->m_bResponse) {
        const CRect before = hover->m_rcControl;
        (hover->*handler)(flags, point);
        if (!before.PtInRect(point)) pm.m_pHoverControl = nullptr;
    } else {
        pm.m_pHoverControl = nullptr;
    }
}

}  // namespace

int PaintManager::OnLButtonDown(UINT flags, CPoint point)
{
    // A left press while the engine still holds one: the release was lost.
    m_bPressed = 0;
    HoverForPress(flags, point);
    const bool done =
        PressHovered(*this, flags, point, &MControl::OnLButtonDown, [this](MControl* hover) {
            if (hover->IsDragDrop() && hover->m_bEnabled) {
                m_bDragPending = 1;
                if (m_hDragBitmap) DeleteObject(m_hDragBitmap);
                m_hDragBitmap = hover->GetDropBitmap();
                if (!m_hDragBitmap) m_bDragPending = 0;
            }
            m_bPressed = 1;
        });
    if (done || !m_bWndDrag) return 1;
    ReleaseCapture();
    if (IsLiveWindow(m_hWndPaint))
        ::SendMessageW(m_hWndPaint, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return 1;
}

int PaintManager::OnLButtonUp(UINT flags, CPoint point)
{
    ReleaseCapture();
    m_bPressed = 0;
    ToHovered(*this, flags, point, &MControl::OnLButtonUp);
    m_bDragPending = 0;
    return 1;
}

int PaintManager::OnLButtonDblClk(UINT flags, CPoint point)
{
    ToHovered(*this, flags, point, &MControl::OnLButtonDblClk);
    return 1;
}

int PaintManager::OnRButtonDown(UINT flags, CPoint point)
{
    if (!m_bPressed) HoverForPress(flags, point);
    PressHovered(*this, flags, point, &MControl::OnRButtonDown, [](MControl*) {});
    return 1;
}

int PaintManager::OnRButtonUp(UINT flags, CPoint point)
{
    ReleaseCapture();
    ToHovered(*this, flags, point, &MControl::OnRButtonUp);
    return 1;
}

int PaintManager::OnRButtonDblClk(UINT flags, CPoint point)
{
    ToHovered(*this, flags, point, &MControl::OnRButtonDblClk);
    return 1;
}

int PaintManager::OnMouseWheel(UINT, short delta, CPoint screenPoint)
{
    POINT client = screenPoint;
    if (IsLiveWindow(m_hWndPaint)) ::ScreenToClient(m_hWndPaint, &client);
    const CPoint point(client);
    const int notches = delta / 120;
    const UINT direction = notches <= 0 ? 1 : 0;
    int handled = 0;
    for (int n = 0; n < std::abs(notches); ++n) {
        if (m_pHoverControl && m_pHoverControl->OnScroll(1, direction, point)) {
            handled = 1;
            continue;
        }
        CAutoLock lock(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* control = m_controls[i];
            if (control && control->OnScroll(1, direction, point)) {
                handled = 1;
                break;
            }
        }
    }
    return handled;
}

// ---- keys ----

int PaintManager::OnKeyDown(UINT key, LPARAM)
{
    const UINT code = GetKeyModifiers();
    if (m_pHoverControl && m_pHoverControl->OnKeyDown(key, 1, code)) return 1;
    CAutoLock lock(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* control = m_controls[i];
        if (control && control->OnKeyDown(key, 1, code)) return 1;
    }
    return 1;
}

int PaintManager::OnKeyUp(UINT, LPARAM)
{
    return 0;
}

int PaintManager::OnNcActivate(int active)
{
    if (!active) {
        m_bTracking = 0;
        m_bCaptured = 0;
        if (m_bPressed) {
            m_bPressed = 0;
            if (m_pHoverControl) m_pHoverControl->OnLButtonUp(0, CPoint(-1, -1));
        } else if (m_pHoverControl) {
            m_pHoverControl->OnMouseMove(0, CPoint(-1, -1));
        }
        m_pHoverControl = nullptr;
    }
    if (IsLiveWindow(m_hWndPaint))
        ::InvalidateRect(m_hWndPaint, nullptr, m_bLayered ? TRUE : FALSE);
    return 1;
}

// ---- Tab order ----

int PaintManager::PreTranslateMessage(MSG* msg)
{
    if (!msg) return 0;
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            if (msg->wParam != VK_TAB) return 0;
            const UINT code = GetKeyModifiers();
            MControl* found = nullptr;
            if (code == 0)
                found = GetNextFocusableControl();
            else if (code == 16)
                found = GetPrevFocusableControl();
            else
                return 0;
            if (found && found != m_pFocusControl) {
                SetFocusControl(found);
                return 1;
            }
            return 0;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MOUSEWHEEL:
            if (IsLiveWindow(m_hWndTooltip))
                ::SendMessageW(m_hWndTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
            return 0;
        default: return 0;
    }
}

MControl* PaintManager::GetNextFocusableControl()
{
    CAutoLock lock(m_controlsLock);
    bool passed = false;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* control = m_controls[i];
        if (passed && IsTabStop(control)) return control;
        if (control && control == m_pFocusControl) passed = true;
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* control = m_controls[i];
        if (!m_pHoverControl) m_pHoverControl = control;
        if (IsTabStop(control) && (passed || !m_pFocusControl)) return control;
    }
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl()
{
    CAutoLock lock(m_controlsLock);
    bool passed = false;
    for (size_t i = m_controls.size(); i-- > 0;) {
        MControl* control = m_controls[i];
        if (passed && IsTabStop(control)) return control;
        if (control && control == m_pFocusControl) passed = true;
    }
    for (size_t i = m_controls.size(); i-- > 0;) {
        MControl* control = m_controls[i];
        if (!m_pHoverControl) m_pHoverControl = control;
        if (IsTabStop(control) && (passed || !m_pFocusControl)) return control;
    }
    return nullptr;
}

}  // namespace WEXA
