// The matrix screen's animation step per mode, against the 16 ms tick (a step
// runs at most every second tick). Goal: under 0.5 ms per step.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "EffectsBench.h"
#include "MatrixScreen.h"

void BenchMatrixScreen()
{
    WEXA::MatrixScreen screen(nullptr, 277, CRect(0, 0, 360, 360), 0);
    screen.Initialize();
    float bands[7];
    float wave[512];
    for (int i = 0; i < 7; ++i) bands[i] = 0.2f + 0.1f * i;
    for (int i = 0; i < 512; ++i) wave[i] = float(30.0 * std::sin(i * 0.3));
    std::printf("Matrix screen step (49 cells), per mode\n");
    double worst = 0;
    int worstMode = 0;
    for (int mode = 2; mode <= 27; ++mode) {
        screen.SetPresetMode(mode);
        const double us = bench::MicrosecondsPer(2000, [&] {
            screen.SetAudioData(bands, 7);
            screen.SetInputWave(wave, 512);
            screen.UpdatePresetAnimation();
        });
        char what[64];
        std::snprintf(what, sizeof what, "  mode %2d", mode);
        bench::Report(what, us, 16.0);
        if (us > worst) worst = us, worstMode = mode;
    }
    std::printf("  slowest: mode %d at %.1f us (goal under 500 us)\n\n", worstMode, worst);
}
