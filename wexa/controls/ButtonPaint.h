#pragma once
// Drawing and state helpers shared by the library's buttons, areas and edit
// field: the state strip in the control's off-screen image (one frame per look,
// side by side, each as large as the control), the copy of what the window has
// already drawn under the control, and button text with GDI+.
#include <windows.h>

#include "MControlFont.h"
#include "WexaGdiplus.h"

namespace WEXA {
namespace buttonpaint {

// Renders the control's strip of `frames` looks again when it must be:
// drawFrames(g, w, h) draws into it with the control's width and height.
// False when the control has no area or no strip could be made (nothing to
// copy then).
template <class DrawFrames>
bool RenderStrip(MControl* control, HDC& dc, int frames, DrawFrames drawFrames);

// Prepares the off-screen image for frames looks of the control's size and
// copies the window's pixels under the control into every frame. False when
// the control has no area or no image could be made.
bool BeginStrip(MControl* control, HDC& dc, int frames);

// Copies look frame of the strip to the window at the control's rectangle.
void CopyFrame(MControl* control, HDC& dc, int frame);

// Whether the look must be rendered again (stale, never made, or resized).
bool NeedsRender(const MControl* control, int frames);

// Text layout of a button: centred (or near-aligned) in both directions,
// NoWrap | MeasureTrailingSpaces.
enum class TextAlign { Centre, Near };

// Draws text into rect in the control's font (family from the engine's private
// fonts, else a sans-serif face), with the control's text rendering hint and,
// when smoothing is set, its smoothing mode.
void DrawButtonText(Gdiplus::Graphics& g, MControlFont* control, const wchar_t* text,
                    const Gdiplus::RectF& rect, Gdiplus::Color color, TextAlign align,
                    bool smoothing);
void DrawButtonText(Gdiplus::Graphics& g, MControlFont* control, const wchar_t* text,
                    const Gdiplus::RectF& rect, Gdiplus::Color color, TextAlign align,
                    bool smoothing, Gdiplus::TextRenderingHint hint, float size);

// Draws frame of a face strip (frames side by side, frame width x frame
// height) nine-sliced over target with the corner size.
void DrawFaceFrame(Gdiplus::Graphics& g, MControlFont* control, int frame, const CRect& target,
                   int corner);

// Sets the arrow or hand cursor.
void SetHandCursor(bool hand);

// Skin folder + file, loaded into an image the caller owns; null when it does
// not load.
Gdiplus::Image* LoadSkinImage(const wchar_t* file);

// COLORREF <-> opaque ARGB.
inline Gdiplus::Color FromColorRef(COLORREF c)
{
    return Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF ToColorRef(const Gdiplus::Color& c)
{
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

// A repaint request to the owner when the control is visible.
void Repaint(MControl* control, int erase);

template <class DrawFrames>
bool RenderStrip(MControl* control, HDC& dc, int frames, DrawFrames drawFrames)
{
    const int w = control->m_rcControl.Width();
    const int h = control->m_rcControl.Height();
    if (w <= 0 || h <= 0) return false;
    if (NeedsRender(control, frames)) {
        if (!BeginStrip(control, dc, frames)) return false;
        Gdiplus::Graphics g(control->m_hMemDC);
        drawFrames(g, w, h);
    }
    return true;
}

// ---- push-button routing (looks: 0 normal, 1 hover, 2 pressed, 3 disabled) ----

// Enabled: the normal look, else the disabled one; repainted when it changed.
inline void SetEnabledLook(MControl* button, int& look, int enabled)
{
    if (enabled == button->m_bEnabled) return;
    button->m_bEnabled = enabled;
    look = enabled ? 0 : 3;
    Repaint(button, 0);
}

// The pointer moves over an enabled button that is not held down: the hover
// look and the hand cursor inside, the normal look outside. True when the look
// changed.
inline bool TrackHover(MControl* button, int& look, CPoint point)
{
    const int old = look;
    if (button->m_bEnabled && look != 2) {
        const bool inside = button->m_rcControl.PtInRect(point) != FALSE;
        look = inside ? 1 : 0;
        SetHandCursor(inside);
    }
    return look != old;
}

// The left button goes down inside an enabled button: the pressed look, the
// hand cursor, then onPress() and the press reported (1). Repainted and 1
// when the look changed.
template <class OnPress>
int Press(MControl* button, int& look, CPoint point, OnPress onPress)
{
    const int old = look;
    if (button->m_bEnabled && button->m_rcControl.PtInRect(point)) {
        SetHandCursor(true);
        look = 2;
        onPress();
        button->SendMessageW(1, 0, 0);
    }
    if (look == old) return 0;
    Repaint(button, 0);
    return 1;
}

// The left button comes up: the hover look inside an enabled button, the
// normal look outside. Repainted when the look changed, and then a release
// inside after a press is reported as the click (2). 1 when the look changed.
inline int Release(MControl* button, int& look, CPoint point)
{
    const int old = look;
    bool click = false;
    if (button->m_bEnabled) {
        if (button->m_rcControl.PtInRect(point)) {
            look = 1;
            click = old == 2;
        } else {
            look = 0;
        }
    }
    if (look == old) return 0;
    Repaint(button, 0);
    if (click) button->SendMessageW(2, 0, 0);
    return 1;
}

}  // namespace buttonpaint
}  // namespace WEXA
