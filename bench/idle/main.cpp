// Prints the CPU the running program uses while nothing changes: the main
// window on the home page with no keyboard, then with the simulated keyboard
// connected, each measured over a few seconds of the window's message loop
// (process CPU time, user and kernel, against wall time, as % of one core).
// Never fails on a figure.
#include <windows.h>

#include <cstdio>

#include "BenchMeasures.h"
#include "SimKeyboardModels.h"

int main()
{
    bench::WindowProcess process;
    testutil::SimulatedHid().SetRealTime(true);  // read time-outs really wait, as a device's do

    std::printf("idle CPU of the main window on the home page (%% of one core)\n");
    {
        testutil::MainWindowHarness h;
        h.Start(SW_SHOW);
        std::printf("  no keyboard:             %6.2f %%\n", bench::IdlePercent(h, 5000));
        // The same with the animated home background standing still.
        bench::StillBackground(h);
        std::printf("  no keyboard, still background: %6.2f %%\n", bench::IdlePercent(h, 3000));
    }
    {
        sim::SimKeyboard keyboard(sim::Model("Kestrova-K75-Air"));
        sim::SimReceiver receiver(keyboard);
        testutil::SimulatedHid().AddModel(keyboard);
        testutil::SimulatedHid().AddModelReceiver(receiver);
        testutil::MainWindowHarness h;
        h.Start(SW_SHOW);
        std::printf("  simulated keyboard:      %6.2f %%  (goal: under 1 %%)\n",
                    bench::IdlePercent(h, 5000));
        bench::StillBackground(h);
        std::printf("  simulated keyboard, still background: %6.2f %%\n",
                    bench::IdlePercent(h, 3000));
    }
    return 0;
}
