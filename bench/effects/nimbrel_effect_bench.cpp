// The effect panel's steps against the 16 ms tick: each mode's timer step,
// each light-layer type drawn alone on the panel's off-screen picture, and
// the off-screen pass with its key sampling. Goal: under 1 ms per step.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "EffectsBench.h"
#include "NimbrelEffect.h"

namespace {

void AddKeys(WEXA::NimbrelEffect& panel)
{
    // A full-size layout: 6 rows, 19 columns of 40 x 40 keys, named.
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 19; ++c) {
            wchar_t name[8];
            swprintf(name, 8, L"K%d", r * 19 + c);
            panel.AddKeyItem(name, static_cast<DWORD>(4 + (r * 19 + c) % 60),
                             CRect(c * 45, r * 45, c * 45 + 40, r * 45 + 40), c, r);
        }
}

void Feed(WEXA::NimbrelEffect& panel, int frame)
{
    float s32[32], s64[64];
    for (int i = 0; i < 32; ++i) s32[i] = 0.3f + 0.2f * std::sin(frame * 0.2f + i);
    for (int i = 0; i < 64; ++i) s64[i] = 0.3f + 0.25f * std::sin(frame * 0.15f + i * 0.5f);
    panel.SetExternalAudioData(0.6f, 0.7f, 0.5f, 60, 90.0f);
    panel.SetFFTSpectrum(s32, s64);
    panel.SetBeatData(frame % 20 == 0, 0.8f, 120, 0.6f, 0.4f, 0.3f);
}

// A clock that moves 50 ms on every reading, so each screen-sync step is
// past the 40 ms capture interval and really grabs the screen.
DWORD SteppingTick()
{
    static DWORD tick = 0;
    return tick += 50;
}

// A plain window of 480 x 270 painted in two colours for window capture.
LRESULT CALLBACK CaptureProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        RECT left = r;
        left.right /= 2;
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        FillRect(dc, &left, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, w, l);
}

HWND CaptureWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CaptureProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchCaptureWindow";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"BenchCaptureWindow", L"", WS_POPUP, 100, 100,
                                480, 270, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return hwnd;
}

// Modes 3 (screen sync: every step a capture, by effect type) and 4 (window
// capture of a 480 x 270 window).
void BenchCaptureModes(WEXA::NimbrelEffect& panel, int& frame)
{
    char what[64];
    static const WEXA::NimbrelEffectSources stepping = {SteppingTick, nullptr, nullptr, nullptr};
    WEXA::NimbrelEffect::SetSources(&stepping);
    panel.SetNimbrelMode(3);
    const struct
    {
        WEXA::SCREEN_EFFECT_TYPE type;
        const char* name;
    } effects[] = {{WEXA::SCREEN_EFFECT_AVERAGE, "average"},
                   {WEXA::SCREEN_EFFECT_PER_CELL, "per cell"}};
    for (const auto& e : effects) {
        WEXA::ScreenCaptureConfig config;
        config.effectType = e.type;
        panel.SetScreenConfig(config);
        const double us = bench::MicrosecondsPer(100, [&] {
            Feed(panel, ++frame);
            panel.OnControlTimer();
        });
        std::snprintf(what, sizeof what, "  mode 3 step, capture (%s)", e.name);
        bench::Report(what, us, 16.0);
    }
    WEXA::NimbrelEffect::SetSources(nullptr);

    HWND window = CaptureWindow();
    panel.SetNimbrelMode(4);
    panel.SetCaptureWindow(window);
    const double us = bench::MicrosecondsPer(100, [&] {
        Feed(panel, ++frame);
        panel.OnControlTimer();
    });
    bench::Report("  mode 4 step, window capture", us, 16.0);
    HWND none = nullptr;
    panel.SetCaptureWindow(none);
    DestroyWindow(window);
}

}  // namespace

void BenchNimbrelEffect()
{
    WEXA::NimbrelEffect panel(nullptr, 59, CRect(0, 0, 1000, 400), 0);
    AddKeys(panel);
    int frame = 0;
    double worst = 0;
    const char* worstName = "";
    char what[64];

    std::printf("Effect panel: timer step per mode (114 keys)\n");
    const int modes[] = {1, 2, 5, 6};
    for (int mode : modes) {
        panel.SetNimbrelMode(mode);
        const double us = bench::MicrosecondsPer(300, [&] {
            Feed(panel, ++frame);
            panel.OnControlTimer();  // no window: also renders off screen
        });
        std::snprintf(what, sizeof what, "  mode %d step + off-screen pass", mode);
        bench::Report(what, us, 16.0);
    }
    BenchCaptureModes(panel, frame);
    panel.SetNimbrelMode(7);
    for (int preset = 0; preset <= 14; ++preset) {
        panel.SetPresetMode(preset);
        const double us = bench::MicrosecondsPer(2000, [&] { panel.UpdateCustomEffect(); });
        std::snprintf(what, sizeof what, "  mode 7 preset %2d", preset);
        bench::Report(what, us, 16.0);
        if (us > worst) worst = us, worstName = "preset";
    }

    std::printf("Effect panel: one light layer drawn on the 1000 x 400 picture\n");
    panel.SetNimbrelMode(2);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    unsigned char* bits = nullptr;
    HBITMAP bitmap = WEXA::NimbrelEffect::CreateARGB32Bitmap(screen, 1000, 400, &bits);
    HGDIOBJ old = SelectObject(dc, bitmap);
    double worstLayer = 0;
    int worstType = 0;
    for (int type = 1; type <= 20; ++type) {
        const double us = bench::MicrosecondsPer(20, [&] {
            Feed(panel, ++frame);
            Gdiplus::Bitmap surface(1000, 400, -4000, PixelFormat32bppRGB, bits + 4000 * 399);
            Gdiplus::Graphics g(&surface);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            g.Clear(Gdiplus::Color(0xFF000000));
            panel.DrawLayer(g, type, CRect(0, 0, 1000, 400), type % 2 == 1, 0xE57749,
                            panel.GetAudio());
        });
        std::snprintf(what, sizeof what, "  layer type %2d", type);
        bench::Report(what, us, 16.0);
        if (us > worstLayer) worstLayer = us, worstType = type;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    std::printf("Effect panel: off-screen pass with key sampling (mode 2, layer type 6)\n");
    panel.AddLightLayer(6, CRect());
    const double pass = bench::MicrosecondsPer(50, [&] {
        Feed(panel, ++frame);
        panel.DrawHideControl();
    });
    bench::Report("  DrawHideControl (114 keys sampled)", pass, 16.0);
    std::printf(
        "  slowest layer: type %d at %.1f us; slowest preset %.1f us (goal under 1000 us)\n\n",
        worstType, worstLayer, worst);
    (void)worstName;
}
