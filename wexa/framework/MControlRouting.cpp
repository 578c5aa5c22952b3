// MControl: how pointer, wheel, key and timer input travels down a control tree.
//
// The engine calls these for its top-level controls; each control passes the
// event to its current child (the child under the pointer, or the pressed child
// while a button is down) and ends in its own OnControl... hooks. Children are
// walked by index under the child lock, so a handler that removes a child while
// the walk runs makes it skip an entry, never read a freed one.
#include <algorithm>

#include "MControl.h"
#include "MScroll.h"
#include "PaintManager.h"

namespace WEXA {

CPoint MControl::ChildPoint(const MControl* child, CPoint received, CPoint translated)
{
    const bool bar =
        child->m_nID == MScroll::VERTICAL_BAR_ID || child->m_nID == MScroll::HORIZONTAL_BAR_ID;
    return bar ? received : translated;
}

int MControl::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bVisible || !m_bResponse) return 0;
    const CPoint received = point;
    OnMousePointChange(point);

    if (MControl* cur = m_pCurControl) {
        const CPoint cp = ChildPoint(cur, received, point);
        if (cur->PtInRect(cp) && cur->OnCheckMouseResponse(flags, cp))
            return cur->OnMouseMove(flags, cp) ? 1 : 0;
        if (m_bPressed) return cur->OnMouseMove(flags, cp) ? 1 : 0;
    }
    MControl* previous = m_pCurControl;
    m_pCurControl = nullptr;

    if (m_pManager && !m_strTooltip.IsEmpty() && PtInRect(point) &&
        OnCheckMouseResponse(flags, point) && m_pManager->GetTooltipOwner() != this)
        SetTooltip(m_strTooltip, m_rcControl);

    OnControlSetCursor(flags, point);
    int result = OnControlMouseMove(flags, point);
    if (m_bPressed) return result;

    {
        CAutoLock lock(m_childLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* child = m_controls[i];
            if (!child) continue;
            const CPoint cp = ChildPoint(child, received, point);
            if (child->OnMouseMove(flags, cp)) {
                result = 1;
                // The handler may have removed the child: look again.
                if (i < m_controls.size() && m_controls[i] == child && child->PtInRect(cp))
                    m_pCurControl = child;
            }
        }
    }
    return (m_pCurControl || previous) ? 1 : result;
}

namespace {

// Picks the child that takes a button press: the last one in list order that
// contains the point and is visible, enabled and mouse-responsive.
template <class ChildPointFn>
MControl* PressTarget(std::vector<MControl*>& children, ChildPointFn childPoint)
{
    MControl* target = nullptr;
    for (size_t i = 0; i < children.size(); ++i) {
        MControl* child = children[i];
        if (!child) continue;
        if (child->PtInRect(childPoint(child)) && child->m_bVisible && child->m_bEnabled &&
            child->m_bResponse)
            target = child;
    }
    return target;
}

// Whether the child is still in the parent's list (a handler may remove it).
bool HasChild(MControl* parent, const MControl* child)
{
    CAutoLock lock(parent->m_childLock);
    return std::find(parent->m_controls.begin(), parent->m_controls.end(), child) !=
           parent->m_controls.end();
}

}  // namespace

namespace {

// The left and the right button are routed alike; a ButtonRoute names one
// button's routing entries and the control's own handlers of it.
using PointHandler = int (MControl::*)(UINT, CPoint);
struct ButtonRoute
{
    PointHandler down, up, dblClk;           // routing entries (OnLButtonDown, ...)
    PointHandler ownDown, ownUp, ownDblClk;  // own handlers (OnControlLButtonDown, ...)
};
const ButtonRoute kLeftButton = {&MControl::OnLButtonDown,      &MControl::OnLButtonUp,
                                 &MControl::OnLButtonDblClk,    &MControl::OnControlLButtonDown,
                                 &MControl::OnControlLButtonUp, &MControl::OnControlLButtonDblClk};
const ButtonRoute kRightButton = {&MControl::OnRButtonDown,      &MControl::OnRButtonUp,
                                  &MControl::OnRButtonDblClk,    &MControl::OnControlRButtonDown,
                                  &MControl::OnControlRButtonUp, &MControl::OnControlRButtonDblClk};
using ChildPointFn = CPoint (*)(const MControl*, CPoint, CPoint);

// A press: the pressed child becomes the current one and gets it; without
// one the control takes the focus and handles it itself.
int RoutePress(MControl& c, const ButtonRoute& b, UINT flags, CPoint point, ChildPointFn childPoint)
{
    if (!c.m_bVisible || !c.m_bResponse) return 0;
    const CPoint received = point;
    c.OnMousePointChange(point);
    c.m_bPressed = c.m_rcControl.PtInRect(point) ? 1 : 0;
    {
        CAutoLock lock(c.m_childLock);
        if (MControl* target = PressTarget(
                c.m_controls, [&](MControl* child) { return childPoint(child, received, point); }))
            c.m_pCurControl = target;
    }
    if (MControl* cur = c.m_pCurControl)
        return (cur->*b.down)(flags, childPoint(cur, received, point)) ? 1 : 0;

    if (c.m_pManager && c.m_pManager->GetFocusControl() != &c) c.m_pManager->SetFocusControl(&c);
    return (c.*b.ownDown)(flags, point);
}

// A release goes to the current child, else to the control's own handler.
int RouteRelease(MControl& c, const ButtonRoute& b, UINT flags, CPoint point,
                 ChildPointFn childPoint)
{
    if (!c.m_bVisible || !c.m_bResponse) return 0;
    const CPoint received = point;
    c.OnMousePointChange(point);
    c.m_bPressed = 0;
    if (MControl* cur = c.m_pCurControl)
        return (cur->*b.up)(flags, childPoint(cur, received, point)) ? 1 : 0;
    return (c.*b.ownUp)(flags, point);
}

// A double click goes to the current child; one that does not take double
// clicks gets it as a press. Without a current child the control handles it
// (as a press when it does not take double clicks).
int RouteDoubleClick(MControl& c, const ButtonRoute& b, UINT flags, CPoint point,
                     ChildPointFn childPoint)
{
    if (!c.m_bVisible || !c.m_bResponse) return 0;
    const CPoint received = point;
    c.OnMousePointChange(point);
    c.m_bPressed = 0;
    MControl* cur = c.m_pCurControl;
    if (!cur) return c.m_bDblClk ? (c.*b.ownDblClk)(flags, point) : (c.*b.ownDown)(flags, point);
    const CPoint cp = childPoint(cur, received, point);
    if ((cur->*b.dblClk)(flags, cp)) return 1;
    // The handler may have removed the child (an owner rebuilding the list).
    if (!HasChild(&c, cur)) return 0;
    if (!cur->m_bDblClk) return (cur->*b.down)(flags, cp) ? 1 : 0;
    return 0;
}

}  // namespace

int MControl::OnLButtonDown(UINT flags, CPoint point)
{
    return RoutePress(*this, kLeftButton, flags, point, &ChildPoint);
}

int MControl::OnRButtonDown(UINT flags, CPoint point)
{
    return RoutePress(*this, kRightButton, flags, point, &ChildPoint);
}

int MControl::OnLButtonUp(UINT flags, CPoint point)
{
    return RouteRelease(*this, kLeftButton, flags, point, &ChildPoint);
}

int MControl::OnRButtonUp(UINT flags, CPoint point)
{
    return RouteRelease(*this, kRightButton, flags, point, &ChildPoint);
}

int MControl::OnLButtonDblClk(UINT flags, CPoint point)
{
    return RouteDoubleClick(*this, kLeftButton, flags, point, &ChildPoint);
}

int MControl::OnRButtonDblClk(UINT flags, CPoint point)
{
    return RouteDoubleClick(*this, kRightButton, flags, point, &ChildPoint);
}

int MControl::OnScroll(int step, UINT down, CPoint point)
{
    if (!m_bVisible || !m_bResponse || !m_bEnabled) return 0;
    if (MControl* cur = m_pCurControl) {
        if (cur->PtInRect(point) && cur->OnCheckMouseResponse(down, point))
            return cur->OnScroll(step, down, point) ? 1 : 0;
    }
    if (!PtInRect(point)) return 0;
    if (OnControlScroll(step, down, point)) return 1;
    CAutoLock lock(m_childLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && child->PtInRect(point) && child->OnScroll(step, down, point)) return 1;
    }
    return 0;
}

int MControl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!m_bVisible || !m_bResponse) return 0;
    MControl* focused = nullptr;
    {
        CAutoLock lock(m_childLock);
        for (size_t i = 0; i < m_controls.size() && !focused; ++i)
            if (m_controls[i] && m_controls[i]->m_bFocused) focused = m_controls[i];
        // A focused child takes the key alone.
        if (focused) return focused->OnKeyDown(key, repeat, flags) ? 1 : 0;
    }
    if (m_pCurControl && m_pCurControl->OnKeyDown(key, repeat, flags)) return 1;
    if (OnControlKeyDown(key, repeat, flags)) return 1;
    CAutoLock lock(m_childLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && child->OnKeyDown(key, repeat, flags)) return 1;
    }
    return 0;
}

int MControl::OnKeyUp(UINT, UINT, UINT)
{
    return 0;
}

int MControl::OnTimer()
{
    int result = OnControlTimer() ? 1 : 0;
    // On the multimedia-timer thread the children are skipped this time when
    // the child lock stays busy (PaintManager::LockForTick): its holder may be
    // waiting for that thread.
    if (!PaintManager::LockForTick(m_childLock)) return result;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && child->m_bRunTimer && child->m_bVisible && child->OnTimer()) result = 1;
    }
    m_childLock.Unlock();
    return result;
}

void MControl::OnFocus(int focus)
{
    SetControlFocus(focus);
}

}  // namespace WEXA
