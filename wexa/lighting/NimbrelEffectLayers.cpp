// NimbrelEffect: the walk over the music light layers and the colour helpers
// the layer drawers share.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {

namespace nimbrel {

DrawerState& State()
{
    static DrawerState state = {};
    return state;
}

void SoftDisc(Gdiplus::Graphics& g, float cx, float cy, float r, COLORREF color, int alpha)
{
    if (!(r > 0)) return;
    Gdiplus::GraphicsPath path;
    path.AddEllipse(cx - r, cy - r, 2 * r, 2 * r);
    Gdiplus::PathGradientBrush brush(&path);
    brush.SetCenterColor(Argb(color, alpha));
    Gdiplus::Color surround = Argb(color, 0);
    int count = 1;
    brush.SetSurroundColors(&surround, &count);
    g.FillEllipse(&brush, cx - r, cy - r, 2 * r, 2 * r);
}

LayerDrawer Drawer(int type)
{
    static const LayerDrawer drawers[20] = {
        DrawLEDSpectrumBars, DrawMirrorRhythm,   DrawClassicSpectrum, DrawRadialPulse,
        DrawHorizontalBars,  DrawLeftToRight,    DrawCenterMirror,    DrawRadialGradient,
        DrawHeartBeat,       DrawLinearWave,     DrawRotatingRays,    DrawBreathing,
        DrawTriangleWave,    DrawTidalResonance, DrawAfternoonSun,    DrawThreeBody,
        DrawGravityField,    DrawFlameGradient,  DrawSoundWave,       DrawEnergyRipples,
    };
    return type >= 1 && type <= 20 ? drawers[type - 1] : nullptr;
}

}  // namespace nimbrel

void NimbrelEffect::ResetSharedState()
{
    nimbrel::DrawerState& s = nimbrel::State();
    std::memset(&s, 0, sizeof s);
}

const float* NimbrelEffect::GetLayerState(int type)
{
    nimbrel::DrawerState& s = nimbrel::State();
    switch (type) {
        case 1: return s.led;
        case 3: return s.classic;
        case 4: return s.radial;
        case 5: return s.horizontal;
        default: return nullptr;
    }
}

COLORREF NimbrelEffect::HSVtoRGB(float hue, float saturation, float value)
{
    float h = static_cast<float>(std::fmod(static_cast<double>(hue), 360.0));
    if (h < 0) h += 360.0f;
    const float s = nimbrel::Clamp01(saturation), v = nimbrel::Clamp01(value);
    if (s == 0.0f) {
        const int g = static_cast<int>(v * 255.0f);
        return RGB(g, g, g);
    }
    const float H = h / 60.0f;
    const float chroma = s * v;
    const float x = chroma * (1.0f - std::fabs(std::fmod(H, 2.0f) - 1.0f));
    const float m = v - chroma;
    float r, g, b;
    if (H < 1)
        r = chroma, g = x, b = 0;
    else if (H < 2)
        r = x, g = chroma, b = 0;
    else if (H < 3)
        r = 0, g = chroma, b = x;
    else if (H < 4)
        r = 0, g = x, b = chroma;
    else if (H < 5)
        r = x, g = 0, b = chroma;
    else
        r = chroma, g = 0, b = x;
    auto channel = [m](float c) {
        const int v8 = static_cast<int>((c + m) * 255.0f + 0.5f);
        return std::min(255, std::max(0, v8));
    };
    return RGB(channel(r), channel(g), channel(b));
}

COLORREF NimbrelEffect::GetRainbowColorFromHue(float hue)
{
    return HSVtoRGB(hue, 1, 1);
}

COLORREF NimbrelEffect::GetFlowingRainbowColor(float position, float, float spread)
{
    return HSVtoRGB(static_cast<float>(std::fmod(position * spread, 360.0f)), 1, 1);
}

COLORREF NimbrelEffect::GetMusicResponsiveColor(float bass, float mid, float high)
{
    const float sum = bass + mid + high;
    if (sum < 0.01f) return 0;
    return HSVtoRGB((120 * mid + 240 * high) / sum, std::min(1.0f, 0.3f * sum + 0.7f), 1);
}

COLORREF NimbrelEffect::ApplyBeatBoost(COLORREF color, float factor) const
{
    return nimbrel::Boost(GetAudio(), color, factor);
}

float NimbrelEffect::GetRainbowTime(float speed) const
{
    return nimbrel::Rainbow(speed);
}

void NimbrelEffect::DrawLayer(Gdiplus::Graphics& graphics, int type, CRect rect, bool colorful,
                              COLORREF color, const NimbrelAudio& audio)
{
    if (nimbrel::LayerDrawer drawer = nimbrel::Drawer(type))
        drawer(graphics, rect, colorful, color, audio);
}

void NimbrelEffect::DrawMusicEffect(Gdiplus::Graphics& graphics)
{
    // One copy of the audio values for the whole frame.
    const NimbrelAudio audio = GetAudio();
    CAutoLock lock(m_layerLock);
    const size_t n = m_layers.size();
    for (size_t i = 0; i < n; ++i) {
        const LIGHTLAYER_INFO* layer = m_layers[i];
        if (!layer) continue;
        const int w = layer->rect.right - layer->rect.left,
                  h = layer->rect.bottom - layer->rect.top;
        if (w <= 0 || h <= 0) continue;
        nimbrel::LayerDrawer drawer = nimbrel::Drawer(layer->type);
        if (!drawer) continue;
        drawer(graphics, ScaledLayerRect(layer->rect, layer->scale), layer->colorful == 1,
               layer->color, audio);
    }
}

}  // namespace WEXA
