#pragma once
// The push-button state rules shared by the text, upgrade, download and
// countdown buttons: hover on moves, pressed on a press inside (code 1), a
// click on a release inside after a press (code 2). Each returns 1 and
// requests a repaint (erase 0) only when the visual state changed; none
// touches the cursor.
#include "MControl.h"
#include "controls/ButtonPaint.h"

namespace WEXA {
namespace pushrules {

template <class T>
int Move(T* b, CPoint point)
{
    const int old = b->m_nState;
    if (b->m_bEnabled && b->m_nState != 2) b->m_nState = b->m_rcControl.PtInRect(point) ? 1 : 0;
    if (b->m_nState == old) return 0;
    buttonpaint::Repaint(b, 0);
    return 1;
}

template <class T>
int Press(T* b, CPoint point)
{
    const int old = b->m_nState;
    if (b->m_bEnabled && b->m_rcControl.PtInRect(point)) {
        b->m_nState = 2;
        b->SendMessageW(1, 0, 0);
    }
    if (b->m_nState == old) return 0;
    buttonpaint::Repaint(b, 0);
    return 1;
}

// click() runs for a completed click, before the repaint request when
// clickFirst, else after it.
template <class T, class Click>
int Release(T* b, CPoint point, bool clickFirst, Click click)
{
    const int old = b->m_nState;
    bool clicked = false;
    if (b->m_bEnabled) {
        if (b->m_rcControl.PtInRect(point)) {
            b->m_nState = 1;
            clicked = old == 2;
        } else {
            b->m_nState = 0;
        }
    }
    if (b->m_nState == old) return 0;
    if (clicked && clickFirst) click();
    buttonpaint::Repaint(b, 0);
    if (clicked && !clickFirst) click();
    return 1;
}

template <class T>
void Enable(T* b, int enabled)
{
    if (enabled == b->m_bEnabled) return;
    b->m_bEnabled = enabled;
    b->m_nState = enabled ? 0 : 3;
    buttonpaint::Repaint(b, 0);
}

}  // namespace pushrules
}  // namespace WEXA
