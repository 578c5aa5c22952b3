// Wave and ripple layers of the music mode: linear wave (10), triangles (13),
// tidal resonance (14), sound wave sources (19), energy ripples (20).
#include <algorithm>
#include <cmath>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {
namespace nimbrel {

namespace {

float Gate(const NimbrelAudio& a)
{
    return std::min(1.0f, Level(a));
}

void RoundPen(Gdiplus::Pen& pen)
{
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetLineCap(Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
}

void Circle(Gdiplus::Graphics& g, Gdiplus::Pen& pen, float cx, float cy, float r)
{
    g.DrawEllipse(&pen, cx - r, cy - r, 2 * r, 2 * r);
}

}  // namespace

void DrawLinearWave(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                    const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float A = 0.8f * H, bottom = static_cast<float>(rect.bottom);
    const float t = TickF();
    Gdiplus::PointF points[200];
    for (int i = 0; i < 200; ++i) {
        const float p = i / 199.0f;
        const int k = std::min(63, std::max(0, static_cast<int>(63 * p)));
        float v;
        if (a.hasSpectrum) {
            const float gain = p < 0.3f ? 3.0f : (p < 0.6f ? 2.0f : 1.5f);
            v = Clamp01(gain * 3 * f * std::pow(a.spectrum64[k], 0.6f) * Tilt(p, 1.2f));
        } else {
            v = (0.5f + 0.5f * std::sin(0.005f * t + 8 * p)) * f;
        }
        if (StrongBeat(a, 0.3f)) v = std::min(1.0f, v * (1 + 0.5f * a.strength));
        points[i] = Gdiplus::PointF(rect.left + W * p, bottom - v * A);
    }
    const float m = BandMean(a, 0, 11, 5);
    COLORREF c = colorful ? NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(3) + 50 * m, 360.0f),
                                                    0.15f * f + 0.85f, 0.1f * m + 0.9f)
                          : color;
    c = Boost(a, c, 0.6f);
    if (f > 0.3f || m > 0.4f) {
        Gdiplus::Pen glow(Argb(Scale(c, 1.3),
                               std::min(120, static_cast<int>(std::max(f - 0.3f, 0.5f * m) * 180))),
                          30);
        RoundPen(glow);
        g.DrawLines(&glow, points, 200);
    }
    Gdiplus::Pen wave(Argb(c), 12);
    RoundPen(wave);
    g.DrawLines(&wave, points, 200);
    if (f < 0.2f) {
        Gdiplus::Pen base(Gdiplus::Color(0x1EFFFFFF), 1);
        base.SetDashStyle(Gdiplus::DashStyleDot);
        g.DrawLine(&base, static_cast<float>(rect.left), bottom, static_cast<float>(rect.right),
                   bottom);
    }
}

void DrawTriangleWave(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                      const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    float levels[3] = {BandMean(a, 0, 19, 4), BandMean(a, 21, 42, 5), BandMean(a, 43, 63, 8)};
    for (float& x : levels) {
        x = std::pow(x, 0.7f);
        if (StrongBeat(a, 0.25f)) x = std::min(1.0f, x * (1 + 0.5f * a.strength));
    }
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float w3 = W / 3, hmax = 0.9f * H, bottom = static_cast<float>(rect.bottom);
    const float T = Rainbow(3);
    const float hues[3] = {std::fmod(T, 60.0f), std::fmod(T + 180, 60.0f) + 180,
                           std::fmod(T + 45, 60.0f) + 30};
    for (int n = 0; n < 3; ++n) {
        const float x = levels[n];
        Gdiplus::PointF points[3] = {
            Gdiplus::PointF(rect.left + n * w3, bottom),
            Gdiplus::PointF(rect.left + (n + 1) * w3, bottom),
            Gdiplus::PointF(rect.left + (n + 0.5f) * w3, bottom - (0.8f * x + 0.2f) * hmax)};
        COLORREF c = colorful ? NimbrelEffect::HSVtoRGB(hues[n], 0.15f * f + 0.85f, 0.2f * x + 0.8f)
                              : Scale(color, 0.3f * x + 0.7f);
        c = Boost(a, c, 0.6f);
        Gdiplus::SolidBrush brush(Argb(c));
        g.FillPolygon(&brush, points, 3, Gdiplus::FillModeAlternate);
        Gdiplus::Pen pen(Argb(Add(c, 30)), 2);
        g.DrawPolygon(&pen, points, 3);
    }
}

void DrawTidalResonance(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                        const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float x0 = static_cast<float>(rect.left), y0 = static_cast<float>(rect.top);
    const float Rmax = 1.2f * std::min(W, H);
    const float k = BandMean(a, 0, 15, 5);
    const float ph = std::fmod(0.002f * TickF() + 3 * k, 1.0f);
    const float SW = 30 * k + 90;
    const float a0 = 0.5f * f + 0.5f;
    const float pi = 3.14159265f;
    for (int i = 0; i < 8; ++i) {
        const float u = std::fmod(0.125f * i + ph, 1.0f);
        float th = 3.0f * i + 15;
        if (StrongBeat(a, 0.25f)) th *= 1 + 0.5f * a.strength;
        const float ro = (0.7f * u + 0.3f) * Rmax;
        const float w = std::min(1.0f, 1 - 0.7f * u);
        const float q = a0 * std::max(w, 0.3f);
        COLORREF c = colorful ? NimbrelEffect::HSVtoRGB(
                                    std::fmod(Rainbow(2) + 200 - 200 * u + 60 * k, 360.0f),
                                    0.2f * f + 0.8f, 0.3f * u + 0.7f + 0.2f * k)
                              : Scale(color, 0.3f * u + 0.5f + 0.2f * f);
        c = Boost(a, c, 0.5f);
        const int alpha = std::min(255, std::max(0, static_cast<int>(q * 255)));
        if (!(ro > 0)) continue;
        Gdiplus::GraphicsPath path;
        path.AddArc(x0 - ro, y0 - ro, 2 * ro, 2 * ro, 0, SW);
        const float ri = ro - th;
        if (ri > 0) {
            const float end = SW * pi / 180;
            path.AddLine(x0 + ro * std::cos(end), y0 + ro * std::sin(end), x0 + ri * std::cos(end),
                         y0 + ri * std::sin(end));
            path.AddArc(x0 - ri, y0 - ri, 2 * ri, 2 * ri, SW, -SW);
            path.CloseFigure();
        }
        Gdiplus::SolidBrush brush(Argb(c, alpha));
        g.FillPath(&brush, &path);
        Gdiplus::Pen pen(Argb(Add(c, 40), static_cast<int>(0.8f * alpha)), 2);
        pen.SetLineJoin(Gdiplus::LineJoinRound);
        g.DrawPath(&pen, &path);
    }
    float rc = 12 * k + 8;
    if (a.beat) rc += 10 * a.strength;
    const COLORREF core =
        Boost(a,
              colorful ? NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(3) + 200, 360.0f), 0.9f, 1)
                       : Scale(color, 1.3),
              0.7f);
    SoftDisc(g, x0, y0, rc, core, 255);
}

void DrawSoundWave(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                   const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    float levels[8];
    for (int s = 0; s < 8; ++s) {
        const float gain = s < 3 ? 6.0f : (s < 5 ? 7.0f : 8.0f);
        levels[s] = a.hasSpectrum ? std::pow(BandMean(a, 8 * s, 8 * s + 7, gain), 0.6f) : 0.0f;
    }
    const DWORD tick = Tick();
    const float ph = std::fmod(0.003f * static_cast<float>(tick), 1.0f);
    const float T2 = Rainbow(2);
    DrawerState& st = State();
    if (!st.waveStarted || tick - st.waveChange > 5000) {
        std::copy(st.waveCurrent, st.waveCurrent + 16, st.wavePrevious);
        st.waveChange = tick;
        st.waveStarted = true;
        for (float& o : st.waveCurrent)
            o = (static_cast<float>(Rand() % 100) / 100.0f - 0.5f) * 0.3f;
    }
    const float e = std::min(1.0f, static_cast<float>(tick - st.waveChange) / 5000.0f);
    const float eased = e < 0.5f ? 2 * e * e : 1 - 0.5f * (2 - 2 * e) * (2 - 2 * e);
    static const float base[8][3] = {{0.2f, 0.2f, 0},   {0.5f, 0.2f, 45},  {0.8f, 0.2f, 90},
                                     {0.2f, 0.5f, 135}, {0.8f, 0.5f, 180}, {0.2f, 0.8f, 225},
                                     {0.5f, 0.8f, 270}, {0.8f, 0.8f, 315}};
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    for (int s = 0; s < 8; ++s) {
        const float ox =
            st.wavePrevious[2 * s] + (st.waveCurrent[2 * s] - st.wavePrevious[2 * s]) * eased;
        const float oy = st.wavePrevious[2 * s + 1] +
                         (st.waveCurrent[2 * s + 1] - st.wavePrevious[2 * s + 1]) * eased;
        const float x = rect.left + std::min(0.9f, std::max(0.1f, base[s][0] + ox)) * W;
        const float y = rect.top + std::min(0.9f, std::max(0.1f, base[s][1] + oy)) * H;
        const float v = levels[s];
        if (v < 0.1f) continue;
        const int n = 3 + static_cast<int>(2 * v);
        const float rmax = 0.3f * std::min(W, H) * v;
        for (int j = 0; j < n; ++j) {
            const float r = std::fmod(static_cast<float>(j) / n + ph + 0.1f * s, 1.0f);
            const float rho = rmax * r * (1 + 0.5f * v);
            if (rho < 5) continue;
            const float pw = 5 * v + 3;
            const float q = std::min(0.8f, std::max(0.1f, (1 - r) * v * 0.8f));
            COLORREF c = colorful
                             ? NimbrelEffect::HSVtoRGB(std::fmod(base[s][2] + T2 + 60 * r, 360.0f),
                                                       0.2f * v + 0.8f, 0.3f * v + 0.7f)
                             : Scale(color, 0.5f * v + 0.5f);
            c = Boost(a, c, 0.5f);
            Gdiplus::Pen pen(Argb(c, static_cast<int>(255 * q)), pw);
            pen.SetAlignment(Gdiplus::PenAlignmentCenter);
            Circle(g, pen, x, y, rho);
            if (q > 0.4f && rho - pw > 0) {
                Gdiplus::Pen inner(Argb(c, static_cast<int>(60 * q)), 1.5f * pw);
                inner.SetAlignment(Gdiplus::PenAlignmentInset);
                Circle(g, inner, x, y, rho - pw);
            }
        }
        if (v > 0.3f) {
            float rc = 10 * v + 6;
            if (StrongBeat(a, 0.3f)) rc *= 1 + 0.5f * a.strength;
            const COLORREF core =
                Boost(a,
                      colorful ? NimbrelEffect::HSVtoRGB(std::fmod(base[s][2] + T2, 360.0f), 1, 1)
                               : color,
                      0.7f);
            SoftDisc(g, x, y, rc, core, 255);
        }
    }
}

void DrawEnergyRipples(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                       const NimbrelAudio& a)
{
    const float f = Gate(a);
    if (f < 0.05f) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const int W = rect.Width(), H = rect.Height();
    const float cx = static_cast<float>(rect.left + W / 2),
                cy = static_cast<float>(rect.top + H / 2);
    const float Rm = 0.6f * static_cast<float>(std::min(W, H));
    const float b = std::pow(BandMean(a, 0, 15, 6), 0.65f),
                d = std::pow(BandMean(a, 16, 31, 5), 0.65f);
    const float ph = std::fmod(0.002f * TickF(), 1.0f);
    const int n = 3 + static_cast<int>(5 * d);
    const float T2 = Rainbow(2);
    for (int w = 0; w < n; ++w) {
        const float r = std::fmod(static_cast<float>(w) / n + ph, 1.0f);
        float rho = (1 + 0.5f * b) * r * Rm;
        if (StrongBeat(a, 0.3f)) rho *= 1 + 0.3f * a.strength;
        if (rho < 5 || rho > 1.5f * Rm) continue;
        const float th = (25 * r + 15) * (1 + 0.8f * b);
        const float q = std::min(1.0f, std::max(0.2f, (1 - 0.6f * r) * (0.5f * f + 0.5f)));
        COLORREF c =
            colorful ? NimbrelEffect::HSVtoRGB(
                           std::fmod(std::fmod(45.0f * w + T2 + 120 * r, 360.0f) + 60 * b, 360.0f),
                           0.15f * f + 0.85f, 0.3f * b + 0.7f)
                     : Scale(color, 0.4f * b + 0.6f);
        c = Boost(a, c, 0.6f);
        const float ro = rho + th / 2, ri = std::max(0.0f, rho - th / 2);
        Gdiplus::GraphicsPath path(Gdiplus::FillModeWinding);
        path.AddEllipse(cx - ro, cy - ro, 2 * ro, 2 * ro);
        if (ri > 0) path.AddEllipse(cx - ri, cy - ri, 2 * ri, 2 * ri);
        path.SetFillMode(Gdiplus::FillModeWinding);
        Gdiplus::SolidBrush brush(Argb(c, static_cast<int>(255 * q)));
        g.FillPath(&brush, &path);
        Gdiplus::Pen pen(Argb(Add(c, 50), static_cast<int>(150 * q)), 2);
        pen.SetAlignment(Gdiplus::PenAlignmentInset);
        Circle(g, pen, cx, cy, ro);
        if (ri > 5) Circle(g, pen, cx, cy, ri);
        if (colorful && q > 0.5f) {
            for (int k = 2; k >= 1; --k)
                SoftDisc(g, cx, cy, ro + 15.0f * k, c, static_cast<int>(40 * q / k));
        }
    }
    if (f > 0.2f) {
        float rc = 25 * b + 12;
        if (StrongBeat(a, 0.3f)) rc *= 1 + 0.6f * a.strength;
        if (colorful) {
            SoftDisc(
                g, cx, cy, rc,
                Boost(a, NimbrelEffect::HSVtoRGB(std::fmod(Rainbow(3) + 120 * b, 360.0f), 1, 1),
                      0.8f),
                255);
        } else {
            Gdiplus::GraphicsPath path;
            path.AddEllipse(cx - rc, cy - rc, 2 * rc, 2 * rc);
            Gdiplus::PathGradientBrush brush(&path);
            brush.SetCenterColor(Argb(Scale(color, 1.5)));
            Gdiplus::Color surround = Argb(color, 0);
            int count = 1;
            brush.SetSurroundColors(&surround, &count);
            g.FillEllipse(&brush, cx - rc, cy - rc, 2 * rc, 2 * rc);
        }
    }
}

}  // namespace nimbrel
}  // namespace WEXA
