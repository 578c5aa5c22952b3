// NimbrelEffect: key colours of modes 3 (screen colour sync), 4 (window
// capture), 5 (the GIF frame without painting) and 6 (game keys).
#include <mbstring.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "NimbrelEffect.h"
#include "framework/GdiOwners.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {

namespace {

struct Hsv
{
    double h, s, v;
};

Hsv ToHsv(COLORREF c)
{
    const double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    const double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    const double d = mx - mn;
    Hsv out{0, mx > 0 ? d / mx : 0, mx};
    if (d > 0) {
        if (mx == r)
            out.h = 60.0 * std::fmod((g - b) / d, 6.0);
        else if (mx == g)
            out.h = 60.0 * ((b - r) / d + 2.0);
        else
            out.h = 60.0 * ((r - g) / d + 4.0);
    }
    if (out.h < 0) out.h += 360.0;
    return out;
}

COLORREF FromHsv(const Hsv& in)
{
    const double chroma = in.v * in.s;
    const double x = chroma * (1.0 - std::fabs(std::fmod(in.h / 60.0, 2.0) - 1.0));
    const double m = in.v - chroma;
    double r, g, b;
    if (in.h < 60)
        r = chroma, g = x, b = 0;
    else if (in.h < 120)
        r = x, g = chroma, b = 0;
    else if (in.h < 180)
        r = 0, g = chroma, b = x;
    else if (in.h < 240)
        r = 0, g = x, b = chroma;
    else if (in.h < 300)
        r = x, g = 0, b = chroma;
    else
        r = chroma, g = 0, b = x;
    return RGB(nimbrel::Clamp255((r + m) * 255.0), nimbrel::Clamp255((g + m) * 255.0),
               nimbrel::Clamp255((b + m) * 255.0));
}

COLORREF ArgbToColorref(Gdiplus::ARGB argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

struct GameKey
{
    const char* name;
    COLORREF color;
};

const GameKey kGameKeys[] = {
    {"W", 0xFF6400},      {"A", 0xFF9600},      {"S", 0xC86400},    {"D", 0xFF9600},
    {"1", 0x3232FF},      {"2", 0x3264FF},      {"3", 0x0096FF},    {"4", 0x00C8FF},
    {"5", 0x00FFFF},      {"R", 0x64FF00},      {"F", 0x32FF32},    {"G", 0x00FF64},
    {"B", 0x64C800},      {"SHIFT", 0xFF0096},  {"CTRL", 0xFF32C8}, {"SPACE", 0xC800FF},
    {"TAB", 0xC80064},    {"T", 0xFFFF00},      {"Y", 0xFFC832},    {"U", 0xC89600},
    {"MOUSE1", 0xFFFFFF}, {"MOUSE2", 0xC8C8C8},
};

void PrimaryRect(RECT* rect)
{
    *rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data)
{
    reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
    return TRUE;
}

void DebugText(const wchar_t* format, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0)
{
    wchar_t text[256];
    _snwprintf(text, 255, format, a, b, c, d, e);
    text[255] = 0;
    OutputDebugStringW(text);
}

}  // namespace

COLORREF NimbrelEffect::ApplyImageAdjustments(COLORREF color) const
{
    Hsv hsv = ToHsv(color);
    if (m_screen.hueShiftOn) {
        hsv.h = std::fmod(hsv.h + m_screen.hueShift, 360.0);
        if (hsv.h < 0) hsv.h += 360.0;
    }
    if (m_screen.saturationOn) hsv.s = std::min(1.0, hsv.s * m_screen.saturationFactor);
    if (m_screen.brightnessOn) hsv.v = std::min(1.0, hsv.v * m_screen.brightnessFactor);
    return FromHsv(hsv);
}

COLORREF NimbrelEffect::CalculateAverageColor(Gdiplus::Bitmap* bitmap)
{
    if (!bitmap) return 0;
    const int w = static_cast<int>(bitmap->GetWidth()), h = static_cast<int>(bitmap->GetHeight());
    if (w <= 0 || h <= 0) return 0;
    unsigned long long r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < h; y += 4) {
        for (int x = 0; x < w; x += 4) {
            Gdiplus::Color c;
            if (bitmap->GetPixel(x, y, &c) == Gdiplus::Ok) {
                r += c.GetR();
                g += c.GetG();
                b += c.GetB();
            }
            ++n;
        }
    }
    return RGB(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

bool NimbrelEffect::ScreenCaptureRect(RECT* rect)
{
    switch (m_screen.captureType) {
        case SCREEN_CAPTURE_MONITOR: {
            const int monitor = m_screen.monitor;
            if (monitor <= 0) {
                DEVMODEW mode = {};
                mode.dmSize = sizeof(mode);
                if (EnumDisplaySettingsExW(nullptr, ENUM_CURRENT_SETTINGS, &mode, 0))
                    *rect = RECT{0, 0, static_cast<LONG>(mode.dmPelsWidth),
                                 static_cast<LONG>(mode.dmPelsHeight)};
                else
                    PrimaryRect(rect);
                return true;
            }
            std::vector<RECT> monitors;
            EnumDisplayMonitors(nullptr, nullptr, CollectMonitor,
                                reinterpret_cast<LPARAM>(&monitors));
            if (monitor < static_cast<int>(monitors.size())) {
                *rect = monitors[monitor];
                DebugText(L"[屏幕联动] 使用显示器 %d: (%d,%d) - (%d,%d)\n", monitor, rect->left,
                          rect->top, rect->right, rect->bottom);
            } else {
                DebugText(L"[屏幕联动] 警告：显示器索引 %d 无效，使用主显示器\n", monitor);
                PrimaryRect(rect);
            }
            return true;
        }
        case SCREEN_CAPTURE_COORDINATES: {
            const RECT c = m_screen.coordinates;
            if (c.left < c.right && c.top < c.bottom) {
                *rect = c;
            } else {
                DebugText(L"[屏幕联动] 警告：坐标区域无效，使用主显示器\n");
                PrimaryRect(rect);
            }
            return true;
        }
        case SCREEN_CAPTURE_FOREGROUND:
        case SCREEN_CAPTURE_PROCESS: {
            const bool process = m_screen.captureType == SCREEN_CAPTURE_PROCESS;
            if (process) DebugText(L"[屏幕联动] 提示：特定进程捕获暂未完全实现，使用前台窗口\n");
            HWND window = GetForegroundWindow();
            if (!window || !GetWindowRect(window, rect)) {
                DebugText(process ? L"[屏幕联动] 警告：无法获取特定进程窗口，使用主显示器\n"
                                  : L"[屏幕联动] 警告：无法获取前台窗口，使用主显示器\n");
                PrimaryRect(rect);
            }
            return true;
        }
        default: *rect = RECT{0, 0, 0, 0}; return true;
    }
}

void NimbrelEffect::UpdateScreenEffect()
{
    CAutoLock step(m_stepLock);
    const DWORD now = Now();
    if (now - m_lastCapture < m_captureInterval) return;
    m_lastCapture = now;
    RECT source = {};
    ScreenCaptureRect(&source);

    HWND desktop = GetDesktopWindow();
    if (!desktop) {
        DebugText(L"[屏幕联动] 错误：GetDesktopWindow() 失败\n");
        return;
    }
    {
        gdi::WindowDC screenDc(desktop);
        if (!screenDc) {
            DebugText(L"[屏幕联动] 错误：GetDC() 失败\n");
            return;
        }
        gdi::MemoryDC memDc(screenDc);
        gdi::Bitmap bitmap(memDc ? CreateARGB32Bitmap(screenDc, 320, 180, nullptr) : nullptr);
        if (!bitmap) {
            DebugText(L"[屏幕联动] 错误：CreateARGB32Bitmap() 失败\n");
            return;
        }
        {
            gdi::Selection select(memDc, bitmap);
            SetStretchBltMode(memDc, HALFTONE);
            SetBrushOrgEx(memDc, 0, 0, nullptr);
            StretchBlt(memDc, 0, 0, 320, 180, screenDc, source.left, source.top,
                       source.right - source.left, source.bottom - source.top, SRCCOPY);
        }

        const int columns = std::max(1, static_cast<int>(m_gridColumns));
        const int rows = std::max(1, static_cast<int>(m_gridRows));
        Gdiplus::Bitmap grab(bitmap, nullptr);
        if (m_screen.effectType == SCREEN_EFFECT_AVERAGE) {
            const COLORREF c = ApplyImageAdjustments(CalculateAverageColor(&grab));
            for (int x = 0; x < columns; ++x)
                for (int y = 0; y < rows; ++y) {
                    const long long index = static_cast<long long>(x) * 8 + y;
                    if (index < 256) m_colorMap[index].store(c, std::memory_order_relaxed);
                }
        } else {
            Gdiplus::Bitmap grid(columns, rows, PixelFormat32bppARGB);
            {
                Gdiplus::Graphics g(&grid);
                g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
                g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
                g.DrawImage(&grab, Gdiplus::Rect(0, 0, columns, rows), 0, 0, 320, 180,
                            Gdiplus::UnitPixel);
            }
            // Upside down, key row y takes grid row rows - 1 - y. (Drawing into a
            // rectangle of negative height instead lands one row low with some
            // GDI+ builds: the top key row stays black.)
            const bool flip = m_screen.flipVertical;
            Gdiplus::Color last(255, 0, 0, 0);
            for (int x = 0; x < columns; ++x) {
                for (int y = 0; y < rows; ++y) {
                    Gdiplus::Color c;
                    if (grid.GetPixel(x, flip ? rows - 1 - y : y, &c) == Gdiplus::Ok) last = c;
                    const COLORREF p = ApplyImageAdjustments(ArgbToColorref(last.GetValue()));
                    const int R = GetRValue(p), G = GetGValue(p), B = GetBValue(p);
                    const int mx = std::max(R, std::max(G, B)), mn = std::min(R, std::min(G, B));
                    const double saturation = mx > 0 ? double(mx - mn) / mx : 0.0;
                    double r2, g2, b2;
                    if (saturation > 0.2) {
                        const double k =
                            (1.0 - (0.299 * R + 0.587 * G + 0.114 * B) / 255.0) * 0.5 + 1.5;
                        r2 = R * k, g2 = G * k * 0.92, b2 = B * k * 1.05;
                    } else {
                        r2 = R * 1.3, g2 = G * 1.3, b2 = B * 1.3;
                    }
                    const long long index = static_cast<long long>(x) * 8 + y;
                    if (index < 256)
                        m_colorMap[index].store(RGB(nimbrel::Clamp255(r2), nimbrel::Clamp255(g2),
                                                    nimbrel::Clamp255(b2)),
                                                std::memory_order_relaxed);
                }
            }
        }
    }
    SetKeysFromColorMap();
}

void NimbrelEffect::UpdateWindowEffect()
{
    CAutoLock step(m_stepLock);
    HWND window = m_captureWindow;
    if (!window || !IsWindow(window)) return;
    {
        gdi::WindowDC windowDc(window);
        if (!windowDc) return;
        RECT client = {};
        GetClientRect(window, &client);
        gdi::MemoryDC memDc(windowDc);
        gdi::Bitmap bitmap(memDc ? CreateARGB32Bitmap(windowDc, 480, 270, nullptr) : nullptr);
        if (!bitmap) return;
        {
            gdi::Selection select(memDc, bitmap);
            StretchBlt(memDc, 0, 0, 480, 270, windowDc, 0, 0, client.right, client.bottom, SRCCOPY);
        }
        {
            Gdiplus::Bitmap grab(bitmap, nullptr);
            Gdiplus::Bitmap grid(19, 8, PixelFormat32bppARGB);
            {
                Gdiplus::Graphics g(&grid);
                g.DrawImage(&grab, Gdiplus::Rect(0, 0, 30, 8), 0, 0, 480, 270, Gdiplus::UnitPixel);
            }
            const int columns = m_gridColumns, rows = m_gridRows;
            Gdiplus::Color last(255, 0, 0, 0);
            for (int x = 0; x < columns; ++x) {
                for (int y = 0; y < rows; ++y) {
                    Gdiplus::Color c;
                    if (grid.GetPixel(x, y, &c) == Gdiplus::Ok) last = c;
                    const long long index = static_cast<long long>(x) * 8 + y;
                    if (index < 256)
                        m_colorMap[index].store(ArgbToColorref(last.GetValue()),
                                                std::memory_order_relaxed);
                }
            }
        }
    }
    SetKeysFromColorMap();
}

Gdiplus::Bitmap* NimbrelEffect::ConvertSaturation(Gdiplus::Bitmap* bitmap, float s)
{
    if (!bitmap) return bitmap;
    const float a = (1 - s) * 0.3086f, b = (1 - s) * 0.6094f, c = (1 - s) * 0.082f;
    Gdiplus::ColorMatrix matrix = {{
        {a + s, a, a, 0, 0},
        {b, b + s, b, 0, 0},
        {c, c, c + s, 0, 0},
        {0, 0, 0, 1, 0},
        {0, 0, 0, 0, 1},
    }};
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    const int w = static_cast<int>(bitmap->GetWidth()), h = static_cast<int>(bitmap->GetHeight());
    Gdiplus::Bitmap* copy = bitmap->Clone(0, 0, w, h, PixelFormat32bppARGB);
    if (!copy) return bitmap;
    {
        Gdiplus::Graphics g(bitmap);
        g.DrawImage(copy, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel, &attributes);
    }
    delete copy;
    return bitmap;
}

void NimbrelEffect::UpdateGameEffect()
{
    CAutoLock step(m_stepLock);
    m_gamePhase += 0.1f;
    if (m_gamePhase >= 6.28f) m_gamePhase = 0;
    const float f = std::sin(m_gamePhase) * 0.35f + 0.65f;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        char narrow[64] = {};
        WideCharToMultiByte(CP_ACP, 0, item->name, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
        COLORREF color = RGB(30, 30, 30);
        for (const GameKey& key : kGameKeys) {
            if (_mbsicmp(reinterpret_cast<const unsigned char*>(narrow),
                         reinterpret_cast<const unsigned char*>(key.name)) == 0) {
                // Single precision, as the factor is: 100 x 0.65 gives 65.
                auto scale = [f](int channel) {
                    return std::min(255,
                                    std::max(0, static_cast<int>(static_cast<float>(channel) * f)));
                };
                color = RGB(scale(GetRValue(key.color)), scale(GetGValue(key.color)),
                            scale(GetBValue(key.color)));
                break;
            }
        }
        item->color = color;
    }
}

void NimbrelEffect::UpdateGIFEffect()
{
    CAutoLock paint(m_paintLock);
    if (!m_gif || m_gifFrameCount == 0) {
        SetAllKeys(0);
        return;
    }
    int width = m_gifDisplayWidth, height = m_gifDisplayHeight;
    if (width < 1) width = m_gifWidth;
    if (height < 1) height = m_gifHeight;
    if (width < 1 || height < 1) return;
    if (m_gifFrameCount > 1) {
        GUID dimension = Gdiplus::FrameDimensionTime;
        m_gif->SelectActiveFrame(&dimension, static_cast<UINT>(m_gifFrame.load()));
    }
    Gdiplus::Bitmap frame(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&frame);
        g.Clear(Gdiplus::Color(0, 0, 0, 0));
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        g.DrawImage(m_gif, 0, 0, width, height);
    }
    CAutoLock lock(m_keyLock);
    if (m_keyItems.empty()) return;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (KEYITEM_INFO* item : m_keyItems) {
        const float cx = (item->rect.left + item->rect.right) / 2.0f;
        const float cy = (item->rect.top + item->rect.bottom) / 2.0f;
        minX = std::min(minX, cx), maxX = std::max(maxX, cx);
        minY = std::min(minY, cy), maxY = std::max(maxY, cy);
    }
    float spanX = maxX - minX, spanY = maxY - minY;
    if (!(spanX > 0)) spanX = 1;
    if (!(spanY > 0)) spanY = 1;
    for (KEYITEM_INFO* item : m_keyItems) {
        const float cx = (item->rect.left + item->rect.right) / 2.0f;
        const float cy = (item->rect.top + item->rect.bottom) / 2.0f;
        int x = static_cast<int>((cx - minX) / spanX * (width - 1));
        int y = static_cast<int>((cy - minY) / spanY * (height - 1));
        x = std::max(0, std::min(width - 1, x));
        y = std::max(0, std::min(height - 1, y));
        Gdiplus::Color c;
        frame.GetPixel(x, y, &c);
        const int alpha = c.GetA();
        if (alpha < 50) {
            item->color = 0;
        } else if (alpha == 255) {
            item->color = RGB(c.GetR(), c.GetG(), c.GetB());
        } else {
            const double k = alpha / 255.0;
            item->color = RGB(static_cast<int>(c.GetR() * k), static_cast<int>(c.GetG() * k),
                              static_cast<int>(c.GetB() * k));
        }
    }
}

}  // namespace WEXA
