// Prints how long Kestrova's main window takes from construction to its first
// painted frame, against a bare Win32 window of the same size under the same
// Wine (created, shown, first WM_PAINT handled). The main window runs against
// an empty simulated HID bus, with its settings under "Kestrova Bench". Median
// of several runs; never fails on a time.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "BenchMeasures.h"
#include "Manager.h"

int main()
{
    bench::WindowProcess process;
    testutil::SimulatedHid();  // no keyboard: the program's own HID stack is not asked
    WEXA::Manager::SetDeviceName(L"Kestrova Bench");
    WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));

    const int runs = 7;
    std::vector<double> bare, main, create;
    bench::BareWindowFirstPaintMs();  // warm both paths (DLLs, fonts, picture files)
    bench::MainWindowFirstPaintMs();
    for (int i = 0; i < runs; ++i) {
        double created = 0;
        bare.push_back(bench::BareWindowFirstPaintMs());
        main.push_back(bench::MainWindowFirstPaintMs(&created));
        create.push_back(created);
    }
    const double b = bench::Median(bare), m = bench::Median(main);
    std::printf("start-up to first paint, 1400 x 788, median of %d runs\n", runs);
    std::printf("  bare Win32 window:  %8.2f ms\n", b);
    std::printf("  Kestrova main window: %6.2f ms\n", m);
    std::printf("    of which window creation (frame built, tray icon, worker started): %.2f ms\n",
                bench::Median(create));
    std::printf("  ratio: %.2f (goal: under 2)\n", b > 0 ? m / b : 0.0);
    return 0;
}
