// MatrixScreen: the pattern animations (countdown, clock, heartbeat, text
// flow, rainbow wave, breathing, ripple, spiral, cross-fade, plasma,
// Mandelbrot, waveform, tunnel, kaleidoscope).
//
// Each runs inside a step, which holds the cell lock; each takes it again for
// its own writes, so it may also be called on its own.
#include <algorithm>
#include <cmath>

#include "MatrixScreen.h"
#include "lighting/MatrixScreenShared.h"

namespace WEXA {

using matrix_detail::Clamp;
using matrix_detail::Distance;
using matrix_detail::ScaleColor;

namespace matrix_detail {
const bool kHeartMask[49] = {
    0, 1, 1, 0, 1, 1, 0,  //
    1, 1, 1, 1, 1, 1, 1,  //
    1, 1, 1, 1, 1, 1, 1,  //
    1, 1, 1, 1, 1, 1, 1,  //
    0, 1, 1, 1, 1, 1, 0,  //
    0, 0, 1, 1, 1, 0, 0,  //
    0, 0, 0, 1, 0, 0, 0,  //
};
}  // namespace matrix_detail

namespace {

const bool kClockMask[49] = {
    0, 0, 1, 1, 1, 0, 0,  //
    0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 0, 1, 0, 0, 1,  //
    1, 1, 1, 1, 1, 1, 1,  //
    1, 0, 0, 1, 0, 0, 1,  //
    0, 1, 0, 1, 0, 1, 0,  //
    0, 0, 1, 1, 1, 0, 0,  //
};

struct SpiralEntry
{
    int x, y;
    double d;
};
const SpiralEntry kSpiral[49] = {
    {3, 3, 0},    {4, 3, 1.0},  {4, 2, 1.5},  {3, 2, 2.0},  {2, 2, 2.5},  {2, 3, 3.0},
    {2, 4, 3.5},  {3, 4, 4.0},  {4, 4, 4.5},  {5, 3, 5.0},  {5, 2, 5.3},  {5, 1, 5.6},
    {4, 1, 6.0},  {3, 1, 6.3},  {2, 1, 6.6},  {1, 1, 7.0},  {1, 2, 7.3},  {1, 3, 7.6},
    {1, 4, 8.0},  {1, 5, 8.3},  {2, 5, 8.6},  {3, 5, 9.0},  {4, 5, 9.3},  {5, 5, 9.6},
    {5, 4, 10.0}, {6, 3, 10.5}, {6, 2, 10.8}, {6, 1, 11.1}, {6, 0, 11.4}, {5, 0, 11.7},
    {4, 0, 12.0}, {3, 0, 12.3}, {2, 0, 12.6}, {1, 0, 12.9}, {0, 0, 13.2}, {0, 1, 13.5},
    {0, 2, 13.8}, {0, 3, 14.1}, {0, 4, 14.4}, {0, 5, 14.7}, {0, 6, 15.0}, {1, 6, 15.3},
    {2, 6, 15.6}, {3, 6, 15.9}, {4, 6, 16.2}, {5, 6, 16.5}, {6, 6, 16.8}, {6, 5, 17.1},
    {6, 4, 17.4},
};

}  // namespace

void MatrixScreen::ApplyCountdownEffect()
{
    matrix_detail::SharedState& s = matrix_detail::Shared();
    CAutoLock lock(m_itemLock);
    ClearCells();
    const DWORD now = Now();
    COLORREF color;
    {
        CAutoLock shared(s.lock);
        if (now - s.lastCountdown > 1000) {
            if (--m_countdownValue < 0) m_countdownValue = 10;
            s.lastCountdown = now;
        }
        if (m_colorful) {
            const double offset = matrix_detail::NextHueOffset(s);
            color =
                HSVtoRGB(static_cast<int>(m_countdownValue * 0.8 * 360 + offset) % 360, 255, 255);
        } else {
            color = m_singleColor;
        }
    }
    DisplayNumber(m_countdownValue, color);
}

void MatrixScreen::ApplyClockEffect()
{
    SYSTEMTIME t = {};
    LocalTime(&t);
    m_clockHour = t.wHour % 12;
    m_clockMinute = t.wMinute;
    matrix_detail::SharedState& s = matrix_detail::Shared();
    double phase;
    {
        CAutoLock shared(s.lock);
        s.clockPhase += 0.05;
        if (s.clockPhase >= 1.0) s.clockPhase = 0;
        phase = s.clockPhase;
    }
    const double pulse = std::sin(phase * 6.28) * 0.6 + 0.4;
    const bool colorful = m_colorful;
    const COLORREF single = m_singleColor;
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            if (!kClockMask[y * 7 + x]) continue;
            const double d = Distance(x, y, 3, 3);
            double level = std::max(0.3, std::min(1.0, 1.0 - d * 0.25)) * pulse;
            COLORREF c;
            if (colorful) {
                const int hue = static_cast<int>(
                    std::fmod(m_clockHour * 30 + m_clockMinute * 0.5 + phase * 60, 360.0));
                c = HSVtoRGB(hue, 255, Clamp(static_cast<int>(level * 255), 0, 255));
            } else {
                c = ScaleColor(single, level);
            }
            SetPixelColor(x, y, c);
        }
    }
    if (t.wSecond % 2 == 0) SetPixelColor(3, 3, colorful ? RGB(255, 255, 255) : single);
}

void MatrixScreen::ApplyHeartbeatEffect()
{
    m_heartbeatPhase += 0.1;
    const double phase = m_heartbeatPhase;
    const double b = (std::sin(phase * 3) + 1) * 0.5;
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            COLORREF c = 0;
            if (matrix_detail::kHeartMask[y * 7 + x]) {
                c = m_colorful
                        ? HSVtoRGB(static_cast<int>(std::fmod(phase * 60 + (x + y) * 30, 360.0)),
                                   255, static_cast<int>(b * 255))
                        : SingleAtLevel(b);
            }
            SetPixelColor(x, y, c);
        }
    }
}

void MatrixScreen::ApplyTextFlowEffect()
{
    if (++m_textPosition > 14) m_textPosition = -7;
    CAutoLock lock(m_itemLock);
    ClearCells();
    if (m_textPosition >= 0 && m_textPosition <= 6)
        SetPixelColor(m_textPosition, 3, m_colorful ? RGB(0, 255, 255) : COLORREF(m_singleColor));
}

void MatrixScreen::ApplyRainbowWaveEffect()
{
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double s = std::sin((m_elapsed * 5 + x + y) * 0.5);
            SetPixelColor(x, y,
                          m_colorful ? HSVtoRGB(static_cast<int>((s + 1) * 180), 255, 255)
                                     : SingleAtLevel((s + 1) * 0.5));
        }
    }
}

void MatrixScreen::ApplyBreathingEffect()
{
    const double level = (std::sin(m_elapsed * 2) + 1) * 0.5;
    m_breathLevel = level;
    const int v = static_cast<int>(level * 255);
    const COLORREF c = m_colorful ? RGB(v, v, 255) : SingleAtLevel(level);
    CAutoLock lock(m_itemLock);
    // Set as it is: the brightness setting does not act on this mode.
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) SetCellRaw(x, y, c);
}

void MatrixScreen::ApplyRippleEffect()
{
    m_rippleRadius += 0.2;
    if (m_rippleRadius > 10) m_rippleRadius = 0;
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double d =
                std::fabs(Distance(x, y, m_rippleCenterX, m_rippleCenterY) - m_rippleRadius);
            COLORREF c = 0;
            if (d < 1) {
                const int e = static_cast<int>((1 - d) * 255);
                c = m_colorful ? RGB(0, e, e) : ScaleColor(m_singleColor, e / 255.0);
            }
            SetPixelColor(x, y, c);
        }
    }
}

void MatrixScreen::ApplySpiralEffect()
{
    m_spiralPhase += 0.2;
    if (m_spiralPhase >= 6.28) m_spiralPhase = 0;
    const double phase = m_spiralPhase;
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (const SpiralEntry& e : kSpiral) {
        double s = (std::sin(std::fmod(e.d * 0.3 + phase * 1.5, 6.28)) + 1) * 0.5;
        if (e.d > 10) s = std::max(s, std::sin(phase * 3 + e.d * 0.1) * 0.3 + 0.7);
        const double h = std::max(0.2, std::min(1.0, s));
        COLORREF c;
        if (m_colorful) {
            int hue = static_cast<int>(std::fmod(phase * 60 + e.d * 30, 360.0));
            if (hue < 0) hue += 360;
            hue = std::min(359, std::max(0, hue));
            const int v = std::min(255, std::max(20, static_cast<int>(h * 255)));
            c = HSVtoRGB(hue, 255, v);
        } else {
            c = ScaleColor(m_singleColor, h);
        }
        SetPixelColor(e.x, e.y, c);
    }
}

void MatrixScreen::ApplyCrossFadeEffect()
{
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double c = std::sin(m_elapsed + x * 0.5) * 0.5 + 0.5;
            const double b = std::cos(y * 0.5 + m_elapsed) * 0.5 + 0.5;
            SetPixelColor(x, y,
                          m_colorful ? RGB(static_cast<int>(c * 255), 0, static_cast<int>(b * 255))
                                     : SingleAtLevel((b + c) / 2));
        }
    }
}

void MatrixScreen::ApplyPlasmaEffect()
{
    m_plasmaPhase += 0.1;
    const double p = m_plasmaPhase;
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double v =
                (std::sin(std::sqrt(double(x * x + y * y)) * 0.5 + p) + std::sin(y * 0.5 + p) +
                 std::sin(x * 0.5 + p) + std::sin((x + y) * 0.25 + p) + 4) *
                0.125;
            SetPixelColor(
                x, y,
                m_colorful ? HSVtoRGB(static_cast<int>(v * 360), 255, 255) : SingleAtLevel(v));
        }
    }
}

void MatrixScreen::ApplyMandelbrotEffect()
{
    m_mandelbrotZoom *= 1.02f;
    if (m_mandelbrotZoom > 100.0f) m_mandelbrotZoom = 1.0f;
    const float zoom = m_mandelbrotZoom;
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const float cr = (static_cast<float>(x) - 3.5f) / (zoom * 3.5f) + m_mandelbrotCenterX;
            const float ci = (static_cast<float>(y) - 3.5f) / (zoom * 3.5f) + m_mandelbrotCenterY;
            float zr = 0, zi = 0;
            int n = 20;
            for (int k = 1; k <= 19; ++k) {
                const float nr = zr * zr - zi * zi + cr;
                const float ni = 2 * zr * zi + ci;
                zr = nr;
                zi = ni;
                if (zr * zr + zi * zi >= 4.0f) {
                    n = k;
                    break;
                }
            }
            COLORREF c = 0;
            if (n < 20) {
                const double level = n / 20.0;
                c = m_colorful ? HSVtoRGB(static_cast<int>(level * 360), 255, 255)
                               : SingleAtLevel(level);
            }
            SetPixelColor(x, y, c);
        }
    }
}

void MatrixScreen::ApplyWaveformEffect()
{
    m_wavePhase += 0.1;
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (int x = 0; x < 7; ++x) {
        const int row = static_cast<int>(std::sin(x * 0.5 + m_wavePhase) * m_waveAmplitude + 3);
        if (row < 0 || row > 6) continue;
        SetPixelColor(x, row, m_colorful ? HSVtoRGB(x * 51, 255, 255) : COLORREF(m_singleColor));
    }
}

void MatrixScreen::ApplyTunnelEffect()
{
    m_tunnelDepth += 0.2;
    m_tunnelTwist += 0.1;
    const double depth = m_tunnelDepth, twist = m_tunnelTwist;
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double dx = x - 3, dy = y - 3;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double a = std::atan2(dy, dx);
            const double level =
                (std::sin((a + twist) * 4) * 0.5 + 0.5) * (std::sin(r * 2 + depth) * 0.5 + 0.5);
            SetPixelColor(x, y,
                          m_colorful
                              ? HSVtoRGB(static_cast<int>(std::fmod(depth * 20 + r * 60, 360.0)),
                                         255, static_cast<int>(level * 255))
                              : SingleAtLevel(level));
        }
    }
}

void MatrixScreen::ApplyKaleidoscopeEffect()
{
    m_kaleidoscopeRotation += 0.05;
    const double rot = m_kaleidoscopeRotation;
    const int segments = m_kaleidoscopeSegments > 0 ? m_kaleidoscopeSegments : 1;
    const double segmentAngle = 6.28318 / segments;
    CAutoLock lock(m_itemLock);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double dx = x - 3, dy = y - 3;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double a = std::atan2(dy, dx);
            double e = std::fmod(a + rot, segmentAngle);
            if (e < 0) e += segmentAngle;
            const double level =
                (std::sin(r * 2 + segments * e) * std::cos(rot * 2 + r * 3) + 1) * 0.5;
            SetPixelColor(
                x, y,
                m_colorful
                    ? HSVtoRGB(static_cast<int>(std::fmod(e * 180 / 3.14159 + r * 60, 360.0)), 255,
                               static_cast<int>(level * 255))
                    : SingleAtLevel(level));
        }
    }
}

}  // namespace WEXA
