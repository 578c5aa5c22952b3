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

}  // namespace buttonpaint
}  // namespace WEXA
