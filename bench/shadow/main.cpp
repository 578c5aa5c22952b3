// Prints how long the drop shadow's picture takes to rebuild for a window of
// 1400 x 788 pixels, without a window region (every row empty: the pixel test
// walks all 1.1 million pixels) and with rounded corners: rows of the window's
// region found by testing every pixel (the former way) and read from the
// region's rectangles. Never fails on a time.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "MShadow.h"
#include "../BenchClock.h"

namespace {

// Milliseconds per rebuild, the best of a few rounds.
double Time(WEXA::MShadow& shadow, HWND parent, RECT rect, std::vector<UINT32>& pixels, int runs)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double start = bench::Seconds();
        for (int i = 0; i < runs; ++i) shadow.MakeShadow(pixels.data(), parent, &rect);
        const double ms = (bench::Seconds() - start) * 1000.0 / runs;
        if (ms < best) best = ms;
    }
    return best;
}

}  // namespace

int main()
{
    const int W = 1400, H = 788, S = 8;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, W, H, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    WEXA::MShadow shadow;
    shadow.SetSize(S);
    RECT rect = {0, 0, W, H};
    std::vector<UINT32> pixels(static_cast<size_t>(W + 2 * S) * (H + 2 * S));

    std::printf("shadow rebuild, %d x %d window, size %d\n", W, H, S);
    for (int rounded = 0; rounded < 2; ++rounded) {
        if (rounded) SetWindowRgn(parent, CreateRoundRectRgn(0, 0, W + 1, H + 1, 12, 12), FALSE);
        WEXA::MShadow::SetHitTestRows(true);
        const double perPixel = Time(shadow, parent, rect, pixels, 3);
        const std::vector<UINT32> reference = pixels;
        WEXA::MShadow::SetHitTestRows(false);
        const double spans = Time(shadow, parent, rect, pixels, 20);
        std::printf("%s\n", rounded ? "rounded corners:" : "no window region:");
        std::printf("  rows by testing every pixel:    %8.2f ms\n", perPixel);
        std::printf("  rows from the region's spans:   %8.2f ms\n", spans);
        std::printf("  speed-up %.1fx; pictures %s\n", perPixel / spans,
                    reference == pixels ? "identical" : "DIFFER");
    }
    DestroyWindow(parent);
    return 0;
}
