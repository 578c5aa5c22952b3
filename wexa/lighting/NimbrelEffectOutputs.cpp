// NimbrelEffect: music-driven colours of the side and top light strips and
// of the LED matrix. They read one copy of the audio values and keep no state.
#include <algorithm>
#include <cmath>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {

namespace {

struct Common
{
    float e;    // music level 0..1
    bool beat;  // beat flag with strength above 0.3
    float strength;
    bool flash;  // beat flag with a boost above 0
    float boost;
    float t;    // tick as float
    bool dark;  // RMS at most 2
};

Common Read(const NimbrelAudio& a)
{
    Common c;
    const float rms = std::max(0.0f, a.rms);
    float level = 0;
    if (rms > 2) level = std::max(0.05f, std::min(1.0f, rms / 150.0f));
    c.e = std::max(0.0f, std::min(1.0f, a.scale * level));
    c.beat = a.beat && a.strength > 0.3f;
    c.strength = a.strength;
    c.flash = a.beat && a.boost > 0;
    c.boost = a.boost;
    c.t = nimbrel::TickF();
    c.dark = rms <= 2;
    return c;
}

// v, raised on a beat by (1 + k x strength) and capped.
float Beat(const Common& c, float v, float k, float cap)
{
    return c.beat ? std::min(cap, v * (1 + k * c.strength)) : v;
}

float Rot(const Common& c, float k)
{
    return static_cast<float>(std::fmod(c.t * k * 0.0625f, 360.0f));
}

COLORREF Flash(const Common& c, COLORREF color)
{
    if (!c.flash) return color;
    const float f = 1 + 0.6f * c.boost;
    return RGB(std::min(255, static_cast<int>(GetRValue(color) * f)),
               std::min(255, static_cast<int>(GetGValue(color) * f)),
               std::min(255, static_cast<int>(GetBValue(color) * f)));
}

}  // namespace

void NimbrelEffect::GetSideLightsColors(DWORD* colors, int count, bool colorful, DWORD color)
{
    if (!colors || count <= 0) return;
    const int n = std::min(count, 10);
    const Common c = Read(GetAudio());
    if (c.dark) {
        std::fill(colors, colors + n, 0);
        return;
    }
    const float g = Beat(c, c.e * 0.75f + 0.15f, 0.3f, 0.95f);
    const int m = std::max(1, static_cast<int>(n * g + 0.5f));
    for (int i = 0; i < n; ++i) {
        if (i >= m) {
            colors[i] = 0;
            continue;
        }
        COLORREF out;
        if (colorful) {
            const float hue = std::fmod(
                static_cast<float>(i) / std::max(1, n - 1) * 360 + 360 - Rot(c, 3), 360.0f);
            out = HSVtoRGB(hue, c.e * 0.08f + 0.92f, Beat(c, c.e * 0.2f + 0.8f, 0.3f, 1.0f));
        } else {
            out = nimbrel::Scale(color, Beat(c, c.e * 0.5f + 0.5f, 0.4f, 1.0f));
        }
        colors[i] = Flash(c, out);
    }
}

void NimbrelEffect::GetTopLightsColors(DWORD* colors, int count, bool colorful, DWORD color)
{
    if (!colors || count <= 0) return;
    const int n = std::min(count, 27);
    const Common c = Read(GetAudio());
    if (c.dark) {
        std::fill(colors, colors + n, 0);
        return;
    }
    const float g = Beat(c, c.e * 0.92f + 0.08f, 0.5f, 1.0f);
    const int h = n / 2;
    const int w = std::max(1, static_cast<int>(h * g + 0.5f));
    for (int i = 0; i < n; ++i) {
        const int d = std::abs(i - h);
        if (d >= w) {
            colors[i] = 0;
            continue;
        }
        const float o = static_cast<float>(d) / std::max(1, h);
        COLORREF out;
        if (colorful) {
            const float hue = std::fmod(o * 360 + 360 - Rot(c, 5), 360.0f);
            out = HSVtoRGB(hue, c.e * 0.08f + 0.92f,
                           (1 - 0.2f * o) * Beat(c, c.e * 0.2f + 0.8f, 0.3f, 1.0f));
        } else {
            out = nimbrel::Scale(color, (1 - 0.25f * o) * Beat(c, c.e * 0.5f + 0.5f, 0.4f, 1.0f));
        }
        colors[i] = Flash(c, out);
    }
}

void NimbrelEffect::GetMatrixLightsColors(DWORD* colors, int rows, int columns, bool colorful,
                                          DWORD color)
{
    if (!colors || rows <= 0 || columns <= 0) return;
    auto limit = [](int v) {
        v = std::min(v, 32);
        if (v % 2 == 0) --v;
        return std::max(1, v);
    };
    const int NR = limit(rows), NC = limit(columns);
    const Common c = Read(GetAudio());
    if (c.dark) {
        std::fill(colors, colors + NR * NC, 0);
        return;
    }
    const int r0 = NR / 2, c0 = NC / 2;
    const float H = static_cast<float>(std::fmod((2 * c.e + 0.5f) * c.t * 0.1f / 1000.0f, 1.0f));
    const float T = static_cast<float>(std::fmod(c.t * 0.04f / 1000.0f, 1.0f));
    const float w = Beat(c, c.e * 1.4f + 0.3f, 0.3f, 1.8f);
    const float W = w * 1.5f * static_cast<float>(std::min(r0, c0));
    const float K = static_cast<float>(std::fmod(H + 0.5f, 1.0f)) * W;
    for (int row = 0; row < NR; ++row) {
        for (int column = 0; column < NC; ++column) {
            const float dx = static_cast<float>(column - c0), dy = static_cast<float>(row - r0);
            const float D = std::sqrt(dx * dx + dy * dy);
            COLORREF out = 0;
            if (row == r0 && column == c0) {
                if (colorful)
                    out = HSVtoRGB(std::fmod(360 - T * 360, 360.0f), c.e * 0.08f + 0.92f,
                                   Beat(c, c.e * 0.15f + 0.85f, 0.2f, 1.0f));
                else
                    out = nimbrel::Scale(color, Beat(c, c.e * 0.4f + 0.6f, 0.3f, 1.0f));
            } else if (D <= W * H || (K >= D && std::fabs(D - K) < 2)) {
                const float ratio = W > 0 ? D / W : 0.0f;
                if (colorful)
                    out = HSVtoRGB(std::fmod(ratio * 300 + 360 - T * 360 - H * 80, 360.0f),
                                   c.e * 0.08f + 0.92f, Beat(c, c.e * 0.2f + 0.8f, 0.25f, 1.0f));
                else
                    out = nimbrel::Scale(
                        color, (1 - 0.25f * ratio) * Beat(c, c.e * 0.5f + 0.5f, 0.3f, 1.0f));
            }
            colors[row * NC + column] = out;
        }
    }
}

}  // namespace WEXA
