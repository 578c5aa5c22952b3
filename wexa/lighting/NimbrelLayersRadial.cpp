// Radial layers of the music mode: radial pulse (4), gradient disc (8),
// heart beat (9), rotating rays (11), breathing discs (12).
#include <algorithm>
#include <cmath>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {
namespace nimbrel {

namespace {

const float kPi = 3.14159265f;

float Gate(const NimbrelAudio& a)
{
    return std::min(1.0f, Level(a));
}

void SetBlend(Gdiplus::PathGradientBrush& brush)
{
    Gdiplus::REAL factors[5] = {0, 0.4f, 0.7f, 0.9f, 1.0f};
    Gdiplus::REAL positions[5] = {0, 0.2f, 0.5f, 0.8f, 1.0f};
    brush.SetBlend(factors, positions, 5);
}

void Surround(Gdiplus::PathGradientBrush& brush, const Gdiplus::Color& color)
{
    int count = 1;
    Gdiplus::Color c = color;
    brush.SetSurroundColors(&c, &count);
}

void Heart(Gdiplus::GraphicsPath& path, float cx, float cy, float s)
{
    Gdiplus::PointF points[200];
    for (int i = 0; i < 200; ++i) {
        const float t = i / 200.0f * 2 * kPi;
        const float st = std::sin(t);
        points[i].X = cx + 16 * st * st * st * s / 16;
        points[i].Y =
            cy - (13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t)) *
                     s / 16;
    }
    path.AddLines(points, 200);
    path.CloseFigure();
}

}  // namespace

void DrawRadialPulse(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                     const NimbrelAudio& a)
{
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cx = rect.left + W / 2, cy = rect.top + H / 2;
    const float R = std::min(W, H) / 2, r0 = 0.25f * R;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (!a.hasSpectrum) {
        Gdiplus::Pen pen(Gdiplus::Color(0x32646464), 2);
        g.DrawEllipse(&pen, cx - r0, cy - r0, 2 * r0, 2 * r0);
        return;
    }
    float* stored = State().radial;
    const float b = a.beat ? 1 + 0.5f * a.strength : 1.0f;
    const float T = Rainbow(1);
    for (int i = 0; i < 64; ++i) {
        const float p = i / 64.0f;
        const float gain = p < 0.2f ? 2.0f : (p < 0.5f ? 1.5f : 1.0f);
        const float u = gain * std::sqrt(std::max(0.0f, a.spectrum64[i]));
        float s = stored[i] > u ? 0.85f * stored[i] : u;
        s = std::min(1.5f, std::max(0.0f, s));
        stored[i] = s;
        const float w = std::min(s * b, 1.5f);
        const float angle = (p * 360 - 90) * kPi / 180;
        const float ca = std::cos(angle), sa = std::sin(angle);
        const float length = (R - r0) * w * 0.8f + r0;
        COLORREF c;
        if (colorful) {
            float hue = std::fmod(p * 360 + 360 - 2 * T, 360.0f);
            if (p < 0.25f)
                hue += 40 * a.bass;
            else if (p < 0.6f)
                hue += 30 * a.mid;
            else
                hue -= 35 * a.high;
            hue = std::fmod(hue + 360, 360.0f);
            c = NimbrelEffect::HSVtoRGB(hue, 1, std::min(1.0f, 0.5f * w + 0.5f));
        } else {
            c = Scale(color, std::min(1.0f, 0.6f * w + 0.4f));
        }
        Gdiplus::Pen pen(Argb(Boost(a, c, 0.4f)), 6);
        pen.SetLineCap(Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
        g.DrawLine(&pen, cx + r0 * ca, cy + r0 * sa, cx + length * ca, cy + length * sa);
    }
    const COLORREF core = Boost(
        a, colorful ? NimbrelEffect::HSVtoRGB(std::fmod(360 - 3 * T, 360.0f), 1, 1) : color, 0.5f);
    float low = 0;
    for (int i = 0; i < 8; ++i) low += a.spectrum64[i];
    const float rc = r0 * (0.4f + 0.4f * std::sqrt(std::max(0.0f, low / 8)));
    const float radii[3] = {1.4f * rc, 1.2f * rc, rc};
    const int alphas[3] = {20, 40, 255};
    for (int k = 0; k < 3; ++k) {
        Gdiplus::SolidBrush brush(Argb(core, alphas[k]));
        g.FillEllipse(&brush, cx - radii[k], cy - radii[k], 2 * radii[k], 2 * radii[k]);
    }
}

void DrawRadialGradient(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                        const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cx = rect.left + W / 2, cy = rect.top + H / 2;
    const float R = std::min(W, H) / 2;
    const float m = BandMean(a, 0, 11, 5);
    float r = (0.5f * f + 0.2f + 0.3f * m) * R;
    if (StrongBeat(a, 0.3f)) r = std::min(r * (1 + 0.5f * a.strength), 1.3f * R);
    if (!(r > 0)) return;
    COLORREF c1, c2;
    if (colorful) {
        const float T = Rainbow(3);
        c1 = Boost(a,
                   NimbrelEffect::HSVtoRGB(std::fmod(60 * m + 180 + 0.5f * T, 360.0f),
                                           0.3f * f + 0.7f, 0.9f),
                   0.5f);
        c2 = Boost(a,
                   NimbrelEffect::HSVtoRGB(std::fmod(50 * m + 45 + T, 360.0f), 0.2f * f + 0.8f, 1),
                   0.5f);
    } else {
        c1 = Boost(a, Scale(color, 1.3), 0.5f);
        c2 = color;
    }
    {
        Gdiplus::GraphicsPath path;
        path.AddEllipse(cx - r, cy - r, 2 * r, 2 * r);
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterPoint(Gdiplus::PointF(cx, cy));
        brush.SetCenterColor(Argb(c1));
        Surround(brush, Argb(c2));
        SetBlend(brush);
        g.FillEllipse(&brush, cx - r, cy - r, 2 * r, 2 * r);
    }
    if (f > 0.2f || m > 0.3f) {
        const float hr = 1.15f * r;
        const COLORREF hc =
            colorful ? NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(3) + 60 + 30 * m, 360.0f), 0.9f, 1)
                     : color;
        const int alpha = std::min(175, static_cast<int>(std::max(f - 0.2f, 0.5f * m) * 250));
        Gdiplus::GraphicsPath path;
        path.AddEllipse(cx - hr, cy - hr, 2 * hr, 2 * hr);
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterPoint(Gdiplus::PointF(cx, cy));
        brush.SetCenterColor(Argb(hc, alpha));
        Surround(brush, Gdiplus::Color(0, 0, 0, 0));
        g.FillEllipse(&brush, cx - hr, cy - hr, 2 * hr, 2 * hr);
    }
}

void DrawHeartBeat(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                   const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cx = rect.left + W / 2, cy = rect.top + H / 2;
    const float S0 = 0.35f * std::min(W, H);
    const float m = BandMean(a, 0, 11, 5);
    float o = 0.4f * f + 0.4f + 0.4f * m;
    if (StrongBeat(a, 0.3f)) o = std::min(o * (1 + 0.6f * a.strength), 1.8f);
    COLORREF c = colorful ? NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(3) + 50 * m, 60.0f),
                                                    0.2f * f + 0.8f, 0.1f * m + 0.9f)
                          : color;
    c = Boost(a, c, 0.6f);
    const COLORREF bright = Scale(c, 1.4);
    {
        Gdiplus::GraphicsPath path;
        Heart(path, cx, cy, o * S0);
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterColor(Argb(bright));
        Surround(brush, Argb(c));
        SetBlend(brush);
        g.FillPath(&brush, &path);
        Gdiplus::Pen pen(Argb(bright), 3);
        pen.SetLineJoin(Gdiplus::LineJoinRound);
        g.DrawPath(&pen, &path);
    }
    if (f > 0.2f || m > 0.3f) {
        Gdiplus::GraphicsPath path;
        Heart(path, cx, cy, o * 1.1f * S0);
        Gdiplus::PathGradientBrush brush(&path);
        const int alpha = std::min(180, static_cast<int>(std::max(f - 0.2f, 0.5f * m) * 250));
        brush.SetCenterColor(Argb(Scale(c, 1 + 0.2f * m), alpha));
        Surround(brush, Gdiplus::Color(0, 0, 0, 0));
        g.FillPath(&brush, &path);
    }
}

void DrawRotatingRays(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                      const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cx = rect.left + W / 2, cy = rect.top + H / 2;
    const float Rmax = 0.9f * std::min(W, H) / 2, Rmin = 0.1f * Rmax;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float m = BandMean(a, 0, 11, 5);
    const float rot = TickF() * 0.08f + 100 * m;
    for (int j = 0; j < 8; ++j) {
        const int k = 8 * j;
        const float p = k / 63.0f;
        const float angle = (45.0f * j + rot) * kPi / 180;
        float v;
        if (a.hasSpectrum) {
            const float gain = p < 0.3f ? 4.0f : (p < 0.6f ? 3.5f : 3.0f);
            v = Clamp01(gain * 2.5f * f * std::pow(a.spectrum64[k], 0.7f) * Tilt(p, 1.2f));
        } else {
            v = 0.5f * f;
        }
        if (StrongBeat(a, 0.3f)) v = std::min(1.0f, v * (1 + 0.8f * a.strength));
        const float length = v * Rmax * 0.9f + Rmin;
        const float ex = cx + length * std::cos(angle), ey = cy + length * std::sin(angle);
        COLORREF c = colorful
                         ? NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(4) + 45 * j + 80 * m, 360.0f),
                                                   0.15f * f + 0.85f, 0.2f * v + 0.8f)
                         : Scale(color, 0.4f * v + 0.6f);
        c = Boost(a, c, 0.6f);
        if (v > 0.3f) {
            Gdiplus::Pen glow(
                Argb(Scale(c, 1.3), std::min(120, static_cast<int>((v - 0.3f) * 1.5f * 150))), 20);
            glow.SetLineJoin(Gdiplus::LineJoinRound);
            glow.SetLineCap(Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
            g.DrawLine(&glow, cx, cy, ex, ey);
        }
        Gdiplus::Pen pen(Argb(c), 10);
        pen.SetLineJoin(Gdiplus::LineJoinRound);
        pen.SetLineCap(Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
        g.DrawLine(&pen, cx, cy, ex, ey);
    }
    const float rc = 15 * m + 10;
    const COLORREF core =
        Boost(a, colorful ? NimbrelEffect::HSVtoRGB(Rainbow(5), 0.9f, 1) : color, 0.8f);
    Gdiplus::SolidBrush brush(Argb(core));
    g.FillEllipse(&brush, cx - rc, cy - rc, 2 * rc, 2 * rc);
    Gdiplus::Pen ring(Argb(core, 200), 2);
    g.DrawEllipse(&ring, cx - rc - 2, cy - rc - 2, 2 * rc + 4, 2 * rc + 4);
}

void DrawBreathing(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                   const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cx = rect.left + W / 2, cy = rect.top + H / 2;
    const float m = BandMean(a, 0, 11, 5);
    const float b = (std::sin(12 * m + 0.015f * TickF()) + 1) / 2;
    float I = 0.5f * f + 0.2f + 0.5f * b;
    if (StrongBeat(a, 0.25f)) I = std::min(1.5f, I + 0.5f * a.strength);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float Rb = 0.95f * std::min(W, H) / 2;
    const float o = a.beat ? 0.2f * a.strength : 0.0f;
    const float s = std::min(1.3f, std::max(0.5f, 0.3f * f + 0.5f + 0.3f * b + o));
    const float t0 = s * Rb;
    for (int A = 0; A < 12; ++A) {
        const float B = 1 - A / 12.0f;
        const float r = B * t0;
        const float q = (0.6f * B + 0.4f) * I;
        COLORREF c = colorful
                         ? NimbrelEffect::HSVtoRGB(std::fmod(100 * m + 30 * A + Rainbow(4), 360.0f),
                                                   0.2f * f + 0.8f, q)
                         : Scale(color, q);
        c = Boost(a, c, 0.7f);
        const int alpha = static_cast<int>(155 * B + 100);
        if (!(r > 0)) continue;
        Gdiplus::GraphicsPath path;
        path.AddEllipse(cx - r, cy - r, 2 * r, 2 * r);
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterColor(Argb(Scale(c, 1.2), alpha));
        Surround(brush, Argb(c, alpha / 2));
        Gdiplus::REAL factors[3] = {0, 0.6f, 1.0f};
        Gdiplus::REAL positions[3] = {0, 0.7f, 1.0f};
        brush.SetBlend(factors, positions, 3);
        g.FillEllipse(&brush, cx - r, cy - r, 2 * r, 2 * r);
    }
    float rc = 30 * m + 10 + 20 * b;
    if (a.beat) rc += 25 * a.strength;
    const COLORREF core =
        Boost(a,
              colorful ? NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(5) + 120 * m, 360.0f), 0.9f, I)
                       : Scale(color, I * 1.2f),
              0.8f);
    SoftDisc(g, cx, cy, rc, core, 255);
}

}  // namespace nimbrel
}  // namespace WEXA
