#pragma once
// What the effect panel's source files share: the time and random sources,
// colour arithmetic and the twenty layer drawers.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "NimbrelEffect.h"

namespace WEXA {
namespace nimbrel {

DWORD Tick();     // system milliseconds (GetTickCount unless replaced)
double Millis();  // the GIF clock
unsigned Seed();  // one seed for a frame's generator
int Rand();       // 0..RAND_MAX

inline float TickF()
{
    return static_cast<float>(Tick());
}
// R(k) = fmod(t x k x 0.0625, 360).
inline float Rainbow(float k)
{
    return static_cast<float>(std::fmod(TickF() * k * 0.0625f, 360.0f));
}
inline int Clamp255(double v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : static_cast<int>(v));
}
inline float Clamp01(float v)
{
    return v < 0 ? 0.0f : (v > 1 ? 1.0f : v);
}
// Each channel x q, truncated (kept within 0..255).
inline COLORREF Scale(COLORREF c, double q)
{
    return RGB(Clamp255(GetRValue(c) * q), Clamp255(GetGValue(c) * q), Clamp255(GetBValue(c) * q));
}
// Each channel + d, capped at 255.
inline COLORREF Add(COLORREF c, int d)
{
    return RGB(std::min(255, GetRValue(c) + d), std::min(255, GetGValue(c) + d),
               std::min(255, GetBValue(c) + d));
}
inline Gdiplus::Color Argb(COLORREF c, int alpha = 255)
{
    return Gdiplus::Color(static_cast<BYTE>(std::max(0, std::min(255, alpha))), GetRValue(c),
                          GetGValue(c), GetBValue(c));
}
inline COLORREF Boost(const NimbrelAudio& a, COLORREF c, float k)
{
    if (!a.beat || !(a.boost > 0)) return c;
    const float f = 1.0f + a.boost * k;
    return RGB(std::min(255, static_cast<int>(GetRValue(c) * f)),
               std::min(255, static_cast<int>(GetGValue(c) * f)),
               std::min(255, static_cast<int>(GetBValue(c) * f)));
}
// Mean of 64-band values a..b, x g, clamped to 0..1; 0 without spectrum.
inline float BandMean(const NimbrelAudio& a, int from, int to, float g)
{
    if (!a.hasSpectrum) return 0.0f;
    float sum = 0;
    for (int i = from; i <= to; ++i) sum += a.spectrum64[i];
    return Clamp01(sum / static_cast<float>(to - from + 1) * g);
}
inline float Tilt(float p, float k)
{
    if (p <= 0.3f) return 1.0f;
    return 1.0f + k * std::pow((p - 0.3f) / 0.7f, 1.5f);
}
inline float Level(const NimbrelAudio& a)
{
    return a.volume * a.scale;
}
inline bool StrongBeat(const NimbrelAudio& a, float over)
{
    return a.beat && a.strength > over;
}

// A disc fading from its centre colour to transparent.
void SoftDisc(Gdiplus::Graphics& g, float cx, float cy, float r, COLORREF color, int alpha);

typedef void (*LayerDrawer)(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
LayerDrawer Drawer(int type);

// Persistent drawer state shared by every panel.
struct DrawerState
{
    float led[64];
    float horizontal[32];
    float classic[128];
    float radial[64];
    float waveCurrent[16];
    float wavePrevious[16];
    DWORD waveChange;
    bool waveStarted;
    float shootingTimer;
};
DrawerState& State();

// Layer drawers by type.
void DrawLEDSpectrumBars(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawMirrorRhythm(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawClassicSpectrum(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawRadialPulse(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawHorizontalBars(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawLeftToRight(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawCenterMirror(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawRadialGradient(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawHeartBeat(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawLinearWave(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawRotatingRays(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawBreathing(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawTriangleWave(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawTidalResonance(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawAfternoonSun(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawThreeBody(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawGravityField(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawFlameGradient(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawSoundWave(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);
void DrawEnergyRipples(Gdiplus::Graphics&, const CRect&, bool, COLORREF, const NimbrelAudio&);

}  // namespace nimbrel
}  // namespace WEXA
