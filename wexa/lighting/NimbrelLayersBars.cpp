// Bar layers of the music mode: LED spectrum (1), horizontal bars (5),
// classic spectrum (3), mirror rhythm (2), left to right (6), centre mirror (7).
#include <algorithm>
#include <cmath>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {
namespace nimbrel {

namespace {

const COLORREF kUnlit = RGB(20, 20, 20);

void AddRoundCell(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float d)
{
    if (!(d > 0)) {
        path.AddRectangle(Gdiplus::RectF(x, y, w, h));
        return;
    }
    path.StartFigure();
    path.AddArc(x, y, d, d, 180, 90);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.CloseFigure();
}

// Cells filled in drawing order. Neighbouring cells of one colour that follow
// each other (the unlit rest of a column) share one path and one fill; any
// other colour fills what was gathered first, so every glow lies over its own
// cell and under the cells drawn after it.
class CellRun
{
public:
    ~CellRun() { delete m_path; }
    void Add(Gdiplus::Graphics& g, Gdiplus::ARGB color, float x, float y, float w, float h, float d)
    {
        if (m_path && color != m_color) Fill(g);
        if (!m_path) {
            m_path = new Gdiplus::GraphicsPath(Gdiplus::FillModeWinding);
            m_color = color;
        }
        AddRoundCell(*m_path, x, y, w, h, d);
    }
    void Fill(Gdiplus::Graphics& g)
    {
        if (!m_path) return;
        Gdiplus::SolidBrush brush{Gdiplus::Color(m_color)};
        g.FillPath(&brush, m_path);
        delete m_path;
        m_path = nullptr;
    }

private:
    Gdiplus::ARGB m_color = 0;
    Gdiplus::GraphicsPath* m_path = nullptr;
};

// Spectrum value of a cell row or column, smoothed against its stored value
// (rises 70 % of the way, falls to no less than 0.616 of the stored value).
float SmoothLed(float v, float& stored)
{
    const float s = stored;
    const float next = v > s ? 0.3f * s + 0.7f * v : std::max(v, 0.7f * (0.88f * s) + 0.3f * v);
    stored = next;
    return Clamp01(next);
}

// Values of the 64 (or 32) LED columns of types 1 and 5.
void LedValues(const NimbrelAudio& a, float* stored, int n, float* out)
{
    const float L = Level(a);
    if (a.hasSpectrum && a.spectrum64[0] > 0) {
        for (int i = 0; i < n; ++i) {
            const float p = static_cast<float>(i) / static_cast<float>(n);
            const float g = p < 0.2f ? 1.6f : (p < 0.5f ? 1.3f : 1.0f);
            float v = std::pow(a.spectrum64[i], 0.65f) * 1.8f * g * L * a.scale;
            v = Clamp01(v * Tilt(p, 1.2f));
            if (a.beat && i <= 13) v = std::min(1.0f, v * (1 + 0.35f * a.strength));
            out[i] = SmoothLed(v, stored[i]);
        }
    } else {
        for (int i = 0; i < n; ++i) {
            stored[i] *= 0.88f;
            out[i] = Clamp01(stored[i]);
        }
    }
}

int LitCells(float v, float L)
{
    int n = static_cast<int>(v * 32);
    if (L > 0.01f) n = std::max(n, 2);
    return n;
}

// Values of the stateless bar layers (2, 6, 7).
void BarValues(const NimbrelAudio& a, const float* bands, int n, float* out)
{
    const float L = Level(a);
    if (a.hasSpectrum && bands[0] > 0) {
        for (int i = 0; i < n; ++i) {
            const float p = static_cast<float>(i) / static_cast<float>(n);
            const float g = p < 0.2f ? 1.8f : (p < 0.5f ? 1.4f : 1.1f);
            float v = std::pow(bands[i], 0.6f) * 2.5f * g * L * a.scale;
            v = Clamp01(v * Tilt(p, 1.2f));
            if (a.beat && i <= 7) v = std::min(1.0f, v * (1 + 0.45f * a.strength));
            out[i] = v;
        }
    } else {
        for (int i = 0; i < n; ++i) {
            const float p = static_cast<float>(i) / static_cast<float>(n);
            out[i] = Clamp01(3 * L * std::exp(-1.5f * p) * (0.5f + 0.5f * std::sin(0.2f * i)));
        }
    }
}

COLORREF BarColor(const NimbrelAudio& a, int i, int n, bool colorful, COLORREF color, float R3)
{
    COLORREF c = color;
    if (colorful)
        c = NimbrelEffect::HSVtoRGB(
            std::fmod(static_cast<float>(i) / static_cast<float>(n - 1) * 360 + 360 - R3, 360.0f),
            0.15f * Level(a) + 0.85f, 1);
    return Boost(a, c, 0.4f);
}

}  // namespace

void DrawLEDSpectrumBars(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                         const NimbrelAudio& a)
{
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cw = W / 64, bw = 0.85f * cw, ch = H / 32, hc = 0.85f * ch;
    const float d = 0.4f * std::min(bw, hc);
    const float L = Level(a);
    float v[64];
    LedValues(a, State().led, 64, v);
    const float R2 = Rainbow(2);
    const float bottom = static_cast<float>(rect.bottom);
    CellRun cells;
    for (int i = 0; i < 64; ++i) {
        const int n = LitCells(v[i], L);
        const float x = rect.left + i * cw;
        const COLORREF hue =
            colorful ? NimbrelEffect::HSVtoRGB(std::fmod(i / 63.0f * 360 + 360 - R2, 360.0f),
                                               0.15f * L + 0.85f, 1)
                     : 0;
        for (int j = 0; j < 32; ++j) {
            const float y = bottom - (j + 1) * ch;
            if (j >= n) {
                cells.Add(g, Argb(kUnlit).GetValue(), x, y, bw, hc, d);
                continue;
            }
            COLORREF c = colorful ? Boost(a, hue, 0.4f)
                                  : Boost(a, Scale(color, j / 31.0f * 0.3f + 0.7f), 0.3f);
            if (j == n - 1) c = Scale(c, 1.2);
            // Each lit cell is followed at once by its glow.
            cells.Add(g, Argb(c).GetValue(), x, y, bw, hc, d);
            cells.Add(g, Argb(c, 40).GetValue(), x - 2, y - 2, bw + 4, hc + 4, d + 4);
        }
    }
    cells.Fill(g);
    Gdiplus::Pen pen(Gdiplus::Color(0x28FFFFFF), 1);
    for (float f : {1.0f, 0.85f, 0.6f, 0.3f}) {
        const float y = bottom - f * H;
        g.DrawLine(&pen, static_cast<float>(rect.left), y, static_cast<float>(rect.right), y);
    }
}

void DrawHorizontalBars(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                        const NimbrelAudio& a)
{
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float rh = H / 32, cellH = 0.85f * rh, cw = W / 32, cellW = 0.85f * cw;
    const float d = 0.4f * std::min(cellW, cellH);
    const float L = Level(a);
    float v[32];
    LedValues(a, State().horizontal, 32, v);
    const float R2 = Rainbow(2);
    CellRun cells;
    for (int i = 0; i < 32; ++i) {
        const int n = LitCells(v[i], L);
        const float y = rect.top + i * rh;
        const COLORREF hue =
            colorful ? NimbrelEffect::HSVtoRGB(std::fmod(i / 31.0f * 360 + 360 - R2, 360.0f),
                                               0.15f * L + 0.85f, 1)
                     : 0;
        for (int j = 0; j < 32; ++j) {
            const float x = rect.left + j * cw;
            if (j >= n) {
                cells.Add(g, Argb(kUnlit).GetValue(), x, y, cellW, cellH, d);
                continue;
            }
            COLORREF c = colorful ? Boost(a, hue, 0.4f)
                                  : Boost(a, Scale(color, j / 31.0f * 0.3f + 0.7f), 0.3f);
            if (j == n - 1) c = Scale(c, 1.2);
            cells.Add(g, Argb(c).GetValue(), x, y, cellW, cellH, d);
            cells.Add(g, Argb(c, 40).GetValue(), x - 2, y - 2, cellW + 4, cellH + 4, d + 4);
        }
    }
    cells.Fill(g);
    Gdiplus::Pen pen(Gdiplus::Color(0x28FFFFFF), 1);
    for (float f : {0.25f, 0.5f, 0.75f, 1.0f}) {
        const float x = rect.left + f * W;
        g.DrawLine(&pen, x, static_cast<float>(rect.top), x, static_cast<float>(rect.bottom));
    }
}

void DrawClassicSpectrum(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                         const NimbrelAudio& a)
{
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float bw = W / 128;
    const float L = Level(a);
    float* stored = State().classic;
    float v[128];
    if (a.hasSpectrum && a.spectrum64[0] > 0) {
        float clamped[128];
        for (int i = 0; i < 128; ++i) {
            const float p = i / 128.0f;
            const float u = p * p * p * 63;
            const int k = static_cast<int>(u);
            const float s =
                a.spectrum64[k] + (a.spectrum64[std::min(k + 1, 63)] - a.spectrum64[k]) * (u - k);
            const float gain = p < 0.15f ? 2.2f : (p < 0.4f ? 1.6f : (p < 0.7f ? 1.2f : 0.9f));
            float value = s * a.scale * 3 * L * gain;
            if (value > 0.001f) value = 0.9f * value + 0.5f * std::log10(1.1f * value + 0.1f);
            value *= Tilt(p, 1.5f);
            if (a.beat && i <= 19) value *= 1 + 0.5f * a.strength;
            const float old = stored[i];
            const float next = value > old ? 0.3f * old + 0.7f * value
                                           : std::max(value, 0.7f * (0.8f * old) + 0.3f * value);
            stored[i] = next;
            clamped[i] = Clamp01(next);
        }
        for (int i = 0; i < 128; ++i) {
            const int from = std::max(0, i - 8), to = std::min(127, i + 8);
            float sum = 0;
            for (int k = from; k <= to; ++k) sum += clamped[k];
            v[i] = sum / static_cast<float>(to - from + 1);
        }
    } else {
        for (int i = 0; i < 128; ++i) {
            stored[i] *= 0.8f;
            v[i] = stored[i];
        }
    }
    const float R15 = Rainbow(1.5f);
    for (int i = 0; i < 128; ++i) {
        float h = v[i] * H;
        if (h < 1 && v[i] > 0.001f) h = 1;
        COLORREF c;
        if (colorful)
            c = Boost(a,
                      NimbrelEffect::HSVtoRGB(std::fmod(i / 127.0f * 360 + 360 - R15, 360.0f),
                                              0.1f * L + 0.9f, 1),
                      0.35f);
        else
            c = Boost(a, Scale(color, 0.5f * v[i] + 0.5f), 0.25f);
        Gdiplus::SolidBrush brush(Argb(c));
        g.FillRectangle(&brush, rect.left + i * bw, rect.bottom - h, bw, h);
    }
}

void DrawMirrorRhythm(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                      const NimbrelAudio& a)
{
    float v[64];
    BarValues(a, a.spectrum64, 64, v);
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cw = W / 128, bw = 0.8f * cw, hh = H / 2;
    const float cx = rect.left + W / 2, cy = rect.top + hh;
    const float R3 = Rainbow(3);
    for (int m = 0; m < 64; ++m) {
        const float h = v[m] * hh;
        Gdiplus::SolidBrush brush(Argb(BarColor(a, m, 64, colorful, color, R3)));
        g.FillRectangle(&brush, cx - (m + 1) * cw, cy - h, bw, h);
        g.FillRectangle(&brush, cx + m * cw, cy - h, bw, h);
        g.FillRectangle(&brush, cx - (m + 1) * cw, cy, bw, h);
        g.FillRectangle(&brush, cx + m * cw, cy, bw, h);
    }
}

void DrawLeftToRight(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                     const NimbrelAudio& a)
{
    float v[32];
    BarValues(a, a.spectrum32, 32, v);
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cw = W / 32;
    const float R3 = Rainbow(3);
    for (int i = 0; i < 32; ++i) {
        const float h = v[i] * H;
        Gdiplus::SolidBrush brush(Argb(BarColor(a, i, 32, colorful, color, R3)));
        g.FillRectangle(&brush, rect.left + i * cw, rect.bottom - h, 0.8f * cw, h);
    }
}

void DrawCenterMirror(Gdiplus::Graphics& g, const CRect& rect, bool colorful, COLORREF color,
                      const NimbrelAudio& a)
{
    float v[64];
    BarValues(a, a.spectrum64, 64, v);
    const float W = static_cast<float>(rect.Width()), H = static_cast<float>(rect.Height());
    const float cw = W / 64, hh = H / 2, cy = rect.top + hh;
    const float R3 = Rainbow(3);
    for (int i = 0; i < 64; ++i) {
        const float h = v[i] * hh;
        Gdiplus::SolidBrush brush(Argb(BarColor(a, i, 64, colorful, color, R3)));
        g.FillRectangle(&brush, rect.left + i * cw, cy - h, 0.8f * cw, h);
        g.FillRectangle(&brush, rect.left + i * cw, cy, 0.8f * cw, h);
    }
}

}  // namespace nimbrel
}  // namespace WEXA
