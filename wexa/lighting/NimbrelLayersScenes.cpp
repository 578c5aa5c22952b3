// Scene layers of the music mode: afternoon sun (15), three bodies (16),
// gravity field (17), flame columns (18).
#include <algorithm>
#include <cmath>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {
namespace nimbrel {

namespace {

float Quarter(float u, const float levels[4])
{
    return u < 0.25f ? levels[0] : (u < 0.5f ? levels[1] : (u < 0.75f ? levels[2] : levels[3]));
}

void GradientRect(Gdiplus::Graphics& g, const Gdiplus::RectF& r, const Gdiplus::Color& centre,
                  const Gdiplus::Color& surround)
{
    if (!(r.Width > 0) || !(r.Height > 0)) return;
    Gdiplus::GraphicsPath path;
    path.AddRectangle(r);
    Gdiplus::PathGradientBrush brush(&path);
    brush.SetCenterColor(centre);
    Gdiplus::Color colors[4] = {surround, surround, surround, surround};
    int count = 4;
    brush.SetSurroundColors(colors, &count);
    g.FillRectangle(&brush, r);
}

void DrawGlowBody(Gdiplus::Graphics& g, float x, float y, float r, COLORREF color)
{
    for (int d = 3; d >= 1; --d) SoftDisc(g, x, y, r + 12.0f * d, color, 30 / d);
    if (r > 0) {
        Gdiplus::GraphicsPath path;
        path.AddEllipse(x - r, y - r, 2 * r, 2 * r);
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterColor(Argb(Add(color, 80)));
        Gdiplus::Color surround = Argb(color);
        int count = 1;
        brush.SetSurroundColors(&surround, &count);
        g.FillEllipse(&brush, x - r, y - r, 2 * r, 2 * r);
    }
    SoftDisc(g, x - 0.3f * r, y - 0.3f * r, 0.4f * r, RGB(255, 255, 255), 150);
}

void DrawGlowPillar(Gdiplus::Graphics& g, COLORREF color, const Gdiplus::RectF& r)
{
    for (int d = 3; d >= 1; --d) {
        Gdiplus::RectF glow(r.X - 15.0f * d, r.Y - 15.0f * d, r.Width + 30.0f * d,
                            r.Height + 30.0f * d);
        GradientRect(g, glow, Argb(color, 40 / d), Argb(color, 0));
    }
    GradientRect(g, r, Argb(Add(color, 60)), Argb(color));
    Gdiplus::Pen pen(Gdiplus::Color(0x64FFFFFF), 2);
    g.DrawRectangle(&pen, r);
}

}  // namespace

void DrawAfternoonSun(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                      const NimbrelAudio& a)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float f = Clamp01(Level(a));
    const float levels[4] = {
        std::pow(BandMean(a, 0, 15, 4), 0.7f), std::pow(BandMean(a, 16, 31, 5), 0.7f),
        std::pow(BandMean(a, 32, 47, 6), 0.7f), std::pow(BandMean(a, 48, 63, 10), 0.7f)};
    const float offsets[4] = {0, 30, 60, 120};
    const float ph = std::fmod(0.001f * TickF(), 1.0f);
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float R1 = Rainbow(1);
    if (rect.Width() > 0 && rect.Height() > 0) {
        Gdiplus::GraphicsPath path;
        path.AddRectangle(Gdiplus::Rect(rect.left, rect.top, rect.Width(), rect.Height()));
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterPoint(Gdiplus::PointF(rect.left + W / 2, rect.top + H / 2));
        const COLORREF centre = colorful
                                    ? NimbrelEffect::HSVtoRGB(std::fmod(R1 + 45 + 30 * f, 90.0f),
                                                              0.3f * f + 0.6f, 0.15f * f + 0.85f)
                                    : Scale(color, 0.3f * f + 0.7f);
        brush.SetCenterColor(Argb(centre));
        Gdiplus::Color surround[4];
        for (int i = 0; i < 4; ++i) {
            const float u = i / 3.0f;
            const float m = Quarter(u, levels), off = Quarter(u, offsets);
            const COLORREF c =
                colorful
                    ? Boost(a,
                            NimbrelEffect::HSVtoRGB(std::fmod(R1 + off, 360.0f), 0.3f * m + 0.7f,
                                                    0.25f * m + 0.75f + 0.1f * f),
                            0.4f)
                    : Scale(color, 0.2f * f + 0.5f);
            surround[i] = Argb(c);
        }
        int count = 4;
        brush.SetSurroundColors(surround, &count);
        Gdiplus::REAL factors[5] = {0, 0.3f, 0.6f, 0.8f, 1.0f};
        Gdiplus::REAL positions[5] = {0, 0.25f, 0.5f, 0.75f, 1.0f};
        brush.SetBlend(factors, positions, 5);
        g.FillRectangle(&brush, Gdiplus::Rect(rect.left, rect.top, rect.Width(), rect.Height()));
    }
    const float R2 = Rainbow(2);
    for (int k = 0; k < 24; ++k) {
        const float x = rect.left + std::fmod(k / 24.0f + ph, 1.0f) * W;
        const float y = rect.top + (k % 6) / 5.0f * H;
        const float u = W > 0 ? (x - rect.left) / W : 0.0f;
        const float m = Quarter(u, levels);
        float s = (1.5f * m + 0.5f) * (5 * f + 3);
        if (StrongBeat(a, 0.25f)) s *= 1 + 0.8f * a.strength;
        const COLORREF c =
            Boost(a,
                  colorful ? NimbrelEffect::HSVtoRGB(std::fmod(R2 + 120 * u, 120.0f), 0.6f, 1)
                           : RGB(255, 255, 255),
                  0.5f);
        SoftDisc(g, x, y, s / 2, c, 200);
    }
}

void DrawThreeBody(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                   const NimbrelAudio& a)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float f = Clamp01(Level(a));
    float q[3] = {std::pow(BandMean(a, 0, 21, 5), 0.6f), std::pow(BandMean(a, 22, 42, 6), 0.6f),
                  std::pow(BandMean(a, 43, 63, 9), 0.6f)};
    if (StrongBeat(a, 0.25f))
        for (float& v : q) v = std::min(1.0f, v * (1 + 1.2f * a.strength));
    const int W = rect.Width(), H = rect.Height();
    const float cx = static_cast<float>(rect.left + W / 2),
                cy = static_cast<float>(rect.top + H / 2);
    const float side = static_cast<float>(std::min(W, H));
    const float rb = 0.15f * side;
    float Ro = 0.25f * side * (0.4f * f + 0.8f);
    if (StrongBeat(a, 0.2f)) Ro *= 1 + 0.3f * a.strength;
    const float t = TickF();
    const float angles[3] = {std::fmod(0.003f * t, 6.2832f),
                             std::fmod(0.0035f * t + 2.0944f, 6.2832f),
                             std::fmod(0.004f * t + 4.1888f, 6.2832f)};
    struct Body
    {
        float x, y, r;
        COLORREF c;
        int id;
    } bodies[3];
    for (int k = 0; k < 3; ++k) {
        bodies[k].x = cx + Ro * std::cos(angles[k]);
        bodies[k].y = cy + Ro * std::sin(angles[k]);
        bodies[k].r = (0.6f * q[k] + 0.4f) * rb;
        if (StrongBeat(a, 0.2f)) bodies[k].r *= 1 + a.strength;
        bodies[k].id = k;
    }
    auto cap = [](float v) { return std::min(255, static_cast<int>(v)); };
    if (colorful) {
        bodies[0].c = RGB(cap(100 * q[0]), cap(100 * q[0] + 100), 255);
        bodies[1].c = RGB(cap(100 * q[1]), 255, cap(100 * q[1] + 50));
        bodies[2].c = RGB(255, cap(100 * q[2] + 50), cap(100 * q[2]));
    } else {
        bodies[0].c = Scale(color, 0.5f * q[0] + 0.5f);
        bodies[1].c = Scale(color, 0.4f * q[1] + 0.6f);
        bodies[2].c = Scale(color, 0.3f * q[2] + 0.7f);
    }
    for (Body& b : bodies) b.c = Boost(a, b.c, 0.6f);
    const Body byNumber[3] = {bodies[0], bodies[1], bodies[2]};
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < 2; ++i)
            if (bodies[i + 1].y > bodies[i].y) std::swap(bodies[i], bodies[i + 1]);
    for (const Body& b : bodies) DrawGlowBody(g, b.x, b.y, b.r, b.c);
    if (colorful) {
        const Gdiplus::ARGB lines[3] = {0x3C64C896, 0x3C969632, 0x3C9632C8};
        for (int k = 0; k < 3; ++k) {
            Gdiplus::Pen pen(Gdiplus::Color(lines[k]), 2);
            pen.SetStartCap(Gdiplus::LineCapRound);
            pen.SetEndCap(Gdiplus::LineCapRound);
            const Body& from = byNumber[k];
            const Body& to = byNumber[(k + 1) % 3];
            g.DrawLine(&pen, from.x, from.y, to.x, to.y);
        }
    }
}

void DrawGravityField(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                      const NimbrelAudio& a)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float f = Clamp01(Level(a));
    float low = std::pow(BandMean(a, 0, 31, 6), 0.65f),
          high = std::pow(BandMean(a, 32, 63, 9), 0.65f);
    if (StrongBeat(a, 0.25f)) {
        low = std::min(1.0f, low * (1 + a.strength));
        high = std::min(1.0f, high * (1 + a.strength));
    }
    const int Wi = rect.Width(), Hi = rect.Height();
    const float W = static_cast<float>(Wi), H = static_cast<float>(Hi);
    const float cx = static_cast<float>(rect.left + Wi / 2),
                cy = static_cast<float>(rect.top + Hi / 2);
    float dl = 0.35f * W - 0.3f * W * low, dr = 0.35f * W - 0.3f * W * high;
    if (StrongBeat(a, 0.3f)) {
        dl -= 0.3f * W * a.strength * 0.3f;
        dr -= 0.3f * W * a.strength * 0.3f;
    }
    const float wl = (0.5f * low + 0.3f) * H, wr = (0.5f * high + 0.3f) * H;
    const float top = static_cast<float>(rect.top);
    const float T = Rainbow(2);
    COLORREF left, right;
    if (colorful) {
        left = NimbrelEffect::HSVtoRGB(std::fmod(T + 240, 360.0f), 0.2f * low + 0.8f,
                                       0.3f * low + 0.7f);
        right = NimbrelEffect::HSVtoRGB(T, 0.2f * high + 0.8f, 0.3f * high + 0.7f);
    } else {
        left = Scale(color, 0.4f * low + 0.6f);
        right = Scale(color, 0.4f * high + 0.6f);
    }
    left = Boost(a, left, 0.5f);
    right = Boost(a, right, 0.5f);
    DrawGlowPillar(g, left, Gdiplus::RectF(cx - dl - wl / 2, top, wl, H));
    DrawGlowPillar(g, right, Gdiplus::RectF(cx + dr - wr / 2, top, wr, H));
    if (!colorful) return;
    for (int i = 0; i < 5; ++i) {
        const float y = top + 0.25f * i * H;
        const Gdiplus::PointF from(cx - dl + wl / 2, y), to(cx + dr - wr / 2, y);
        if (from.X == to.X) continue;
        Gdiplus::LinearGradientBrush brush(from, to, Argb(left, 80), Argb(right, 80));
        brush.SetWrapMode(Gdiplus::WrapModeTile);
        Gdiplus::Pen pen(&brush, 3);
        pen.SetStartCap(Gdiplus::LineCapRound);
        pen.SetEndCap(Gdiplus::LineCapRound);
        g.DrawLine(&pen, from, to);
    }
    float rc = 12 * f + 8;
    if (StrongBeat(a, 0.3f)) rc *= 1 + 0.5f * a.strength;
    SoftDisc(g, cx, cy, rc,
             Boost(a, NimbrelEffect::HSVtoRGB(std::fmod(T + 120, 360.0f), 1, 1), 0.6f), 255);
}

void DrawFlameGradient(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                       const NimbrelAudio& a)
{
    const float f = std::min(1.0f, Level(a));
    if (f < 0.05f) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float t = TickF();
    float v[32];
    for (int i = 0; i < 32; ++i) {
        float x = a.hasSpectrum ? (a.spectrum64[2 * i] + a.spectrum64[2 * i + 1]) / 2 : 0.0f;
        const float gain = i <= 7 ? 7.0f : (i <= 15 ? 6.0f : (i <= 23 ? 5.5f : 5.0f));
        x = Clamp01(x * gain * Tilt(i / 32.0f, 1.2f));
        const float flicker = 1 + 0.2f * std::sin(0.3f * i + 0.015f * t);
        v[i] = std::min(1.0f, std::pow(x, 0.6f) * flicker);
        if (StrongBeat(a, 0.25f)) v[i] = std::min(1.0f, v[i] * (1 + 1.2f * a.strength));
    }
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cw = W / 32, bottom = static_cast<float>(rect.bottom);
    for (int i = 0; i < 32; ++i) {
        const float h = v[i] * H * 0.95f;
        if (h < 3) continue;
        const float x = rect.left + i * cw;
        const float h2 = (1 + 0.3f * (1 - std::fabs(i - 16.0f) / 16)) * h;
        const float y0 = bottom - h2;
        const float top = y0 + 0.15f * h2 * std::sin(0.4f * i + 0.02f * t);
        const Gdiplus::PointF from(x + cw / 2, bottom), to(x + cw / 2, y0);
        if (colorful) {
            Gdiplus::LinearGradientBrush brush(from, to, Gdiplus::Color(0xFFB40000),
                                               Gdiplus::Color(0xFFFFFFC8));
            const Gdiplus::Color colors[5] = {
                Gdiplus::Color(0xFFB40000), Gdiplus::Color(0xFFFF5000), Gdiplus::Color(0xFFFFB400),
                Gdiplus::Color(0xFFFFF064), Gdiplus::Color(0xFFFFFFC8)};
            Gdiplus::REAL positions[5] = {0, 0.25f, 0.5f, 0.75f, 1.0f};
            brush.SetInterpolationColors(colors, positions, 5);
            g.FillRectangle(&brush, x, top, cw, h2);
            if (StrongBeat(a, 0.3f)) {
                Gdiplus::SolidBrush white(
                    Gdiplus::Color(static_cast<BYTE>(180 * a.strength), 255, 255, 255));
                g.FillRectangle(&white, x, y0, cw, 0.2f * h2);
            }
            if (v[i] > 0.3f) {
                for (int n = 2; n >= 1; --n) {
                    const Gdiplus::RectF glow(x - 8.0f * n, y0 - 8.0f * n, cw + 16.0f * n,
                                              h2 + 16.0f * n);
                    GradientRect(g, glow,
                                 Gdiplus::Color(static_cast<BYTE>(50 * v[i] / n), 255, 200, 50),
                                 Gdiplus::Color(0, 255, 200, 50));
                }
            }
        } else {
            Gdiplus::LinearGradientBrush brush(from, to, Argb(Scale(color, 0.7)),
                                               Argb(Scale(color, 1.3)));
            g.FillRectangle(&brush, x, top, cw, h2);
        }
    }
}

}  // namespace nimbrel
}  // namespace WEXA
