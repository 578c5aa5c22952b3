// The music visualiser's colour schemes: one layer fill of 256 x 64 against
// the visualiser's 15 ms frame. Goal for the angle and ring schemes (4, 19,
// 21): under 1 ms.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "EffectsBench.h"
#include "services/audio/Visualizer.h"

void BenchVisualizer()
{
    Visualizer visualizer;
    visualizer.Reset();
    std::vector<float> wave(512);
    for (int i = 0; i < 512; ++i)
        wave[i] = 400.0f * (0.5f * std::sin(i * 0.05f) + 0.3f * std::sin(i * 0.4f) +
                            0.2f * std::sin(i * 1.3f));
    for (int i = 0; i < 10; ++i) {
        visualizer.PushSamples(wave.data(), 512);
        visualizer.RenderFrame();
    }
    float display[Visualizer::kWidth];
    visualizer.CopyDisplay(display);
    float level = 0;
    for (float v : display) level += v / Visualizer::kWidth;
    std::printf("Visualiser: mean bar height %.3f\n", level);
    std::vector<COLORREF> layer(Visualizer::kPixels);
    std::printf("Visualiser: one scheme fill of 256 x 64, against its 15 ms frame\n");
    double worst = 0;
    int worstScheme = 0;
    for (int scheme = 0; scheme <= 21; ++scheme) {
        const double us =
            bench::MicrosecondsPer(50, [&] { visualizer.FillLayer(layer.data(), scheme, 100); });
        char what[64];
        std::snprintf(what, sizeof what, "  scheme %2d", scheme);
        bench::Report(what, us, 15.0);
        if (us > worst) worst = us, worstScheme = scheme;
    }
    const double frame = bench::MicrosecondsPer(50, [&] {
        visualizer.PushSamples(wave.data(), 512);
        visualizer.RenderFrame();
    });
    bench::Report("  whole frame (schemes 17 over 0)", frame, 15.0);
    std::printf("  slowest: scheme %d at %.1f us (goal under 1000 us)\n\n", worstScheme, worst);
}
