// Prints how the effect stream holds the worker's 16 ms tick end to end: the
// audio capture (a tone played into the default playback device when a sound
// server is there), the visualiser, the effect panel, the worker's sampling
// and the frames sent to a simulated keyboard that takes 1 ms per report.
// Figures: frames per second, ticks skipped (a gap between two frames above
// 1.5 ticks counts the ticks it spans), the longest gap, and the worker
// thread's CPU time as a share of one core. Goals: 60 frames per second or
// more with no tick skipped, under 5 % of a core. Never fails on a figure.
//
//     bench_effect_stream [seconds [mode]]   (60 s, mode 1: the visualiser)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchMeasures.h"
#include "SimKeyboardModels.h"

namespace {

// The worker's clock and sleeps, watched: how long each step ran and how long
// each sleep asked for and took.
struct StepWatch
{
    double Now() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
    }
    std::vector<double> asked, took;
};
StepWatch g_watch;

uint64_t WatchClock(void*)
{
    return uint64_t(g_watch.Now());
}

void WatchSleep(void*, DWORD milliseconds)
{
    const double t0 = g_watch.Now();
    ::Sleep(milliseconds);
    if (g_watch.asked.size() < 100000) {
        g_watch.asked.push_back(milliseconds);
        g_watch.took.push_back(g_watch.Now() - t0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int mode = argc > 2 ? std::atoi(argv[2]) : 1;
    bench::WindowProcess process;
    sim::SimHidBus& bus = testutil::SimulatedHid();
    bus.SetRealTime(true);
    bus.SetReportPace(1);
    sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
    const int port = bus.AddModel(keyboard);
    {
        testutil::MainWindowHarness h;
        if (!h.Start(SW_SHOW) || !h.WaitForTasks({TASK_INIT}, 20000)) {
            std::printf("the main window did not start\n");
            return 0;
        }
        KeyboardDlg& dlg = h.Dlg();
        bench::OpenDevicePages(h);
        dlg.AppendTask(TASK_RELOAD_PROFILES);
        h.WaitForTasks({TASK_RELOAD_PROFILES}, 20000);
        bench::Tone tone;
        const bool playing = bench::StreamEffects(h, mode, tone, seconds + 5.0);

        dlg.SetClock(WatchClock, WatchSleep, nullptr);
        const bench::StreamFigures f = bench::MeasureEffectStream(h, bus, port, seconds);
        std::printf("effect stream, effect mode %d, %d s, keyboard at 1 ms per report%s\n", mode,
                    seconds, playing ? ", 440 Hz tone playing" : ", no sound server (silence)");
        std::printf("  frames per second:  %7.2f  (goal: 60 or more)\n", f.framesPerSecond);
        std::printf("  ticks skipped:      %7d  (goal: 0); longest gap %.1f ms\n", f.ticksSkipped,
                    f.longestGapMs);
        std::printf("  gaps (4 ms bins):  ");
        for (int b = 0; b < 10; ++b)
            std::printf(" %s%d:%d", b == 9 ? ">=" : "", b * 4, f.gapBins[b]);
        std::printf("\n");
        double asked = 0, took = 0;
        for (size_t i = 0; i < g_watch.asked.size(); ++i) {
            asked += g_watch.asked[i];
            took += g_watch.took[i];
        }
        if (!g_watch.asked.empty())
            std::printf("  worker sleeps:      %7zu, asked %.1f ms on average, took %.1f ms\n",
                        g_watch.asked.size(), asked / g_watch.asked.size(),
                        took / g_watch.asked.size());
        std::printf("  worker CPU:         %7.2f %% of one core  (goal: under 5 %%)\n",
                    f.workerCpuPercent);
        h.Stop();
    }
    return 0;
}
