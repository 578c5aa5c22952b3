#include "ColorModel.h"

#include <cwchar>

namespace WEXA {

float HueToChannel(float m1, float m2, float h)
{
    if (h < 0.0f) h += 1.0f;
    if (h > 1.0f) h -= 1.0f;
    if (6.0f * h < 1.0f) return m1 + ((m2 - m1) * 6.0f) * h;
    if (2.0f * h < 1.0f) return m2;
    if (3.0f * h < 2.0f) return m1 + ((m2 - m1) * (0.6666667f - h)) * 6.0f;
    return m1;
}

COLORREF HslToRgb(float h, float s, float l)
{
    if (s == 0.0f) {
        const DWORD v = static_cast<DWORD>(static_cast<int>(l * 255.0f)) & 0xFF;
        return v | (v << 8) | (v << 16);
    }
    const float m2 = l < 0.5f ? (1.0f + s) * l : (l + s) - s * l;
    const float m1 = 2.0f * l - m2;
    const DWORD r =
        static_cast<DWORD>(static_cast<int>(HueToChannel(m1, m2, h + 0.33333334f) * 255.0f)) & 0xFF;
    const DWORD g = static_cast<DWORD>(static_cast<int>(HueToChannel(m1, m2, h) * 255.0f)) & 0xFF;
    const DWORD b =
        static_cast<DWORD>(static_cast<int>(HueToChannel(m1, m2, h - 0.33333334f) * 255.0f)) & 0xFF;
    return r | (g << 8) | (b << 16);
}

void RgbToHsl(COLORREF color, float& h, float& s, float& l)
{
    const float r = static_cast<float>(GetRValue(color)) / 255.0f;
    const float g = static_cast<float>(GetGValue(color)) / 255.0f;
    const float b = static_cast<float>(GetBValue(color)) / 255.0f;
    float mn = r < g ? r : g;
    if (b < mn) mn = b;
    float mx = r > g ? r : g;
    if (b > mx) mx = b;
    const float delta = mx - mn;
    l = (mx + mn) * 0.5f;
    if (delta == 0.0f) {
        h = 0.0f;
        s = 0.0f;
        return;
    }
    s = l < 0.5f ? delta / (mx + mn) : delta / (2.0f - mx - mn);
    const float dr = ((mx - r) / 6.0f + delta * 0.5f) / delta;
    const float dg = ((mx - g) / 6.0f + delta * 0.5f) / delta;
    const float db = ((mx - b) / 6.0f + delta * 0.5f) / delta;
    if (r == mx)
        h = db - dg;
    else if (g == mx)
        h = (dr + 0.33333334f) - db;
    else
        h = (dg + 0.6666667f) - dr;
    if (h < 0.0f) h += 1.0f;
    if (h > 1.0f) h -= 1.0f;
}

bool ParseHexColor(const wchar_t* text, COLORREF& color)
{
    if (!text || wcslen(text) != 6) return false;
    int channel[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        wchar_t pair[3] = {text[2 * i], text[2 * i + 1], 0};
        unsigned int value = 0;
        if (swscanf(pair, L"%x", &value) == 1) channel[i] = static_cast<int>(value & 0xFF);
    }
    color = RGB(channel[0], channel[1], channel[2]);
    return true;
}

}  // namespace WEXA
