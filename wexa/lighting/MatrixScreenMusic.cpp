// MatrixScreen: the music animations (spectrum bars from the wave block, wave
// dots, pulse rings, rain bars, circle, heartbeat) driven by the audio the
// program pushes in.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "MatrixScreen.h"
#include "lighting/MatrixScreenShared.h"

namespace WEXA {

using matrix_detail::Clamp;
using matrix_detail::Distance;
using matrix_detail::ScaleColor;

namespace {
double MeanOf(const float levels[7])
{
    double sum = 0;
    for (int i = 0; i < 7; ++i) sum += levels[i];
    return sum / 7;
}
}  // namespace

void MatrixScreen::ApplyMusicSpectrumEffect()
{
    float w[512];
    float bands[7];
    ReadAudio(bands, w);
    const double amplitude = m_audioAmplitude;
    const bool colorful = m_colorful;
    const COLORREF single = m_singleColor;

    matrix_detail::SharedState& s = matrix_detail::Shared();
    CAutoLock lock(m_itemLock);
    CAutoLock shared(s.lock);
    ++s.spectrumCalls;
    for (float& v : s.spectrum) v *= 0.6f;

    double sum = 0;
    for (float v : w) sum += std::fabs(v);
    const float level = static_cast<float>(sum / 512);
    if (level > 0.1f) {
        s.gain = std::min(5.0f, std::max(0.1f, 0.1f * (50.0f / level) + 0.9f * s.gain));
        for (float& v : w) v *= s.gain;
    }
    if (s.spectrumCalls % 20 == 0) {
        char line[96];
        snprintf(line, sizeof line, "[MatrixScreen] Input level: %.2f, Auto gain: %.3f\n", level,
                 s.gain);
        OutputDebugStringA(line);
    }
    w[0] = w[2];
    for (int k = 0; k < 64; ++k) {
        const double m =
            std::sqrt(double(w[2 * k]) * w[2 * k] + double(w[2 * k + 1]) * w[2 * k + 1]) / 50;
        double v = m > 0.001 ? std::log10(m + 1) * 0.3 + m * 0.7 : 0;
        v = std::min(3.0, v);
        float& entry = s.spectrum[4 * k];
        entry = std::max(0.0f, std::max(entry, static_cast<float>(v)));
        s.spectrum[4 * k + 1] = s.spectrum[4 * k + 2] = s.spectrum[4 * k + 3] = entry;
    }
    for (int i = 8; i <= 247; ++i) {
        float total = 0;
        for (int j = i - 8; j <= i + 8; ++j) total += s.spectrum[j];
        s.spectrum[i] = total / 17;
    }
    static const int kColumnEntry[7] = {2, 4, 8, 16, 32, 69, 128};
    for (int j = 0; j < 7; ++j)
        s.bars[j] = s.spectrum[kColumnEntry[j]] * static_cast<float>(amplitude / 100);

    int lit = 0;
    for (int j = 0; j < 7; ++j) {
        for (int k = 0; k < 7; ++k) {
            COLORREF c = 0;
            if (s.bars[j] > (7 - k) / 7.0f) {
                ++lit;
                if (colorful) {
                    const double offset = matrix_detail::NextHueOffset(s);
                    c = HSVtoRGB(static_cast<int>(j * 0.14 * 360 + offset) % 360, 255, 255);
                } else {
                    c = single;
                }
            }
            SetPixelColor(j, k, c);
        }
    }
    if (s.spectrumCalls % 60 == 0) {
        char line[96];
        snprintf(line, sizeof line, "[MatrixScreen] Pixels lit: %d/49, color_ful: %d\n", lit,
                 colorful ? 1 : 0);
        OutputDebugStringA(line);
    }
}

void MatrixScreen::ApplyMusicWaveEffect()
{
    float bands[7];
    ReadAudio(bands, nullptr);
    const double factor = m_audioAmplitude / 50.0;
    CAutoLock lock(m_itemLock);
    ClearCells();
    const double t = m_elapsed * 0.5;
    for (int c = 0; c < 7; ++c) {
        const double a = factor * bands[c];
        const int r = Clamp(static_cast<int>(a * 2 * std::sin(c * 0.5 + t * 12) +
                                             std::sin(c * 0.8 + t * 8) * 1.5 + 3 + 0.5),
                            0, 6);
        const int hue = static_cast<int>(std::fmod(c * 45 + t * 240, 360.0));
        SetPixelColor(c, r, m_colorful ? HSVtoRGB(hue, 255, 255) : SingleAtLevel(a * 0.5 + 0.5));
        if (a > 0.3) {
            const COLORREF glow =
                m_colorful ? HSVtoRGB(hue, 255, 180) : SingleAtLevel((bands[c] * 0.3 + 0.5) * 0.7);
            if (r > 0) SetPixelColor(c, r - 1, glow);
            if (r < 6) SetPixelColor(c, r + 1, glow);
        }
    }
}

void MatrixScreen::ApplyMusicPulseEffect()
{
    float bands[7];
    ReadAudio(bands, nullptr);
    const double b = std::min(1.0, std::max(0.0, MeanOf(bands) * m_audioAmplitude / 50.0));
    double e = b * 11;
    if (e < 1 && b > 0.01) e = 1;
    matrix_detail::SharedState& s = matrix_detail::Shared();
    CAutoLock lock(m_itemLock);
    ClearCells();
    if (b == 0) return;
    double ring, hue;
    {
        CAutoLock shared(s.lock);
        s.ringPhase += 0.1;
        if (s.ringPhase >= 1) s.ringPhase = 0;
        s.pulseHue += 0.025;
        if (s.pulseHue >= 1) s.pulseHue = 0;
        ring = s.ringPhase;
        hue = s.pulseHue;
    }
    SetPixelColor(3, 3,
                  m_colorful ? HSVtoRGB(static_cast<int>(hue * 360) % 360, 255, 255)
                             : COLORREF(m_singleColor));
    const double r4 = ring * 4;
    const double r2 = std::fmod(ring + 0.5, 1.0) * 4;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            if (x == 3 && y == 3) continue;
            const double d = Distance(x, y, 3, 3);
            double l = 0;
            if (d <= r4) {
                const double o = std::fabs(d - r4) < 2 ? (2 - std::fabs(d - r4)) * 0.5 : 0;
                l = std::max(o, (1 - d * 0.25) * 0.5);
            }
            if (d <= r2 && std::fabs(d - r2) < 1.5)
                l = std::max(l, (1.5 - std::fabs(d - r2)) / 1.5 * 0.7);
            l *= std::max(e, 2.0) / 11;
            const double m = std::min(1.0, l);
            COLORREF c = 0;
            if (m > 0.03) {
                c = m_colorful ? HSVtoRGB(static_cast<int>((d * 0.25 + hue) * 360) % 360, 255, 255)
                               : ScaleColor(m_singleColor, m);
            }
            SetPixelColor(x, y, c);
        }
    }
}

void MatrixScreen::ApplyMusicRainEffect()
{
    float bands[7];
    ReadAudio(bands, nullptr);
    const double factor = m_audioAmplitude / 50.0;
    const DWORD now = Now();
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (int i = 0; i < 7; ++i) {
        int& height = m_musicRainHeights[i];
        const double b = std::min(1.0, std::max(0.0, factor * bands[i]));
        if (b > 0.2 && height < static_cast<int>(b * 7)) height = static_cast<int>(b * 7);
        if (height > 0) --height;
        for (int k = 6; k >= std::max(0, 7 - height) && height > 0; --k) {
            const double f = std::min(1.0, std::max(0.0, double(height + k - 6) / height));
            SetPixelColor(i, k, m_colorful ? HSVtoRGB(180 + 20 * i, 255, 255) : SingleAtLevel(f));
        }
        if (b > 0.6 && now % 200 < 100)
            SetPixelColor(i, std::max(0, 6 - height),
                          m_colorful ? RGB(255, 255, 255) : COLORREF(m_singleColor));
    }
}

void MatrixScreen::ApplyMusicCircleEffect()
{
    float bands[7];
    ReadAudio(bands, nullptr);
    const double b = std::min(1.0, std::max(0.0, MeanOf(bands) * m_audioAmplitude / 50.0));
    CAutoLock lock(m_itemLock);
    m_musicCircleRadius += b * 0.5;
    if (m_musicCircleRadius > 8) m_musicCircleRadius = 0;
    const double radius = m_musicCircleRadius;
    ClearCells();
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const double diff = std::fabs(Distance(x, y, 3, 3) - radius);
            if (diff >= 1.5) continue;
            SetPixelColor(
                x, y,
                m_colorful
                    ? HSVtoRGB(static_cast<int>(std::fmod(m_elapsed * 30 + radius * 45, 360.0)),
                               255, 255)
                    : SingleAtLevel((1.5 - diff) / 1.5 * b));
        }
    }
}

void MatrixScreen::ApplyMusicHeartbeatEffect()
{
    float bands[7];
    ReadAudio(bands, nullptr);
    double v = std::min(1.0, MeanOf(bands) * m_audioAmplitude / 50.0);
    if (v < 0) v = 0;
    matrix_detail::SharedState& s = matrix_detail::Shared();
    CAutoLock lock(m_itemLock);
    ClearCells();
    double beat, heartHue;
    {
        CAutoLock shared(s.lock);
        if (v <= 0.01) {
            beat = 0.4;
        } else {
            s.beatPhase += v * 0.15 + 0.05;
            if (s.beatPhase >= 1) s.beatPhase = 0;
            beat = std::min(1.5, std::max(0.5, std::sin(s.beatPhase * 6.28) * 0.3 + 0.7 + v * 0.8));
            s.heartHue += 0.02;
            if (s.heartHue >= 1) s.heartHue = 0;
        }
        heartHue = s.heartHue;
    }
    const COLORREF single = m_singleColor;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            if (!matrix_detail::kHeartMask[y * 7 + x]) continue;
            const double d = Distance(x, y, 3, 3);
            const double f =
                std::min(2.0, std::max(0.3, std::min(1.5, std::max(0.6, 1.2 - d / 6)) * beat));
            COLORREF c;
            if (m_colorful) {
                const int hue = static_cast<int>(heartHue * 360) % 360;
                if (f <= 1)
                    c = HSVtoRGB(hue, 255, Clamp(static_cast<int>(f * 255), 50, 255));
                else
                    c = HSVtoRGB(hue, std::max(150, static_cast<int>(255 - (f - 1) * 200)), 255);
            } else if (f <= 1) {
                c = ScaleColor(single, f);
            } else {
                auto wash = [f](int ch) {
                    return std::min(255, static_cast<int>((255 - ch) * (f - 1) + ch));
                };
                c = RGB(wash(GetRValue(single)), wash(GetGValue(single)), wash(GetBValue(single)));
            }
            SetPixelColor(x, y, c);
        }
    }
}

}  // namespace WEXA
