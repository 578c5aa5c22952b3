// Prints how long the program takes from process start until its window
// shows a frame that is not black, measured from outside: Kestrova.exe and a
// bare Win32 window of the same size painting a solid colour (this program
// started with --bare) are started in turn, several times each, and their
// windows looked at on the screen every few milliseconds. Also says whether
// a window was ever seen mapped and black. Then the old in-process figures
// (construction to first WM_PAINT). Never fails on a time.
//   bench_startup [--program FOLDER] [--runs N] [--skip-inside]
#include <windows.h>
// (after windows.h)
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "BenchMeasures.h"
#include "Manager.h"
#include "OutsideMeasures.h"

int main()
{
    using namespace bench::outside;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (HasArgument(argc, argv, L"--bare")) return RunBareWindow();
    const int runs = static_cast<int>(NumberArgument(argc, argv, L"--runs", 10));
    const std::wstring program = ProgramPath(argc, argv);
    const std::wstring self = OwnFolder() + L"bench_startup.exe";

    std::printf("start-up, measured from outside: process start to the first non-black frame\n");
    std::printf("  program: %ls\n", program.c_str());
    MeasureStart(self, L"--bare", 10000);  // warm both (DLLs, fonts, pictures)
    MeasureStart(program, L"", 20000);
    std::vector<double> bare, main, mapped;
    int blackStarts = 0, missed = 0;
    for (int i = 0; i < runs; ++i) {
        const StartFigures b = MeasureStart(self, L"--bare", 10000);
        const StartFigures m = MeasureStart(program, L"", 20000);
        if (b.paintedMs >= 0) bare.push_back(b.paintedMs);
        if (m.paintedMs >= 0) {
            main.push_back(m.paintedMs);
            mapped.push_back(m.mappedMs);
        } else {
            ++missed;
        }
        if (m.blackSeen) ++blackStarts;
    }
    const double b = bench::Median(bare), m = bench::Median(main);
    std::printf("  %d starts each, alternated; medians:\n", runs);
    std::printf("  bare Win32 window:        %8.1f ms\n", b);
    std::printf("  Kestrova main window:     %8.1f ms  (window first mapped at %.1f ms)\n", m,
                bench::Median(mapped));
    std::printf("  ratio: %.2f  (goal: at most 2)\n", b > 0 ? m / b : 0.0);
    std::printf("  starts with the window seen mapped and black: %d of %d  (goal: none)\n",
                blackStarts, runs);
    if (missed) std::printf("  starts that showed no frame within 20 s: %d\n", missed);

    if (HasArgument(argc, argv, L"--skip-inside")) return 0;
    // Inside this process: construction to the first WM_PAINT handled.
    bench::WindowProcess process;
    testutil::SimulatedHid();  // no keyboard: the program's own HID stack is not asked
    WEXA::Manager::SetDeviceName(L"Kestrova Bench");
    WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
    std::vector<double> inBare, inMain, create;
    bench::BareWindowFirstPaintMs();
    bench::MainWindowFirstPaintMs();
    for (int i = 0; i < 5; ++i) {
        double created = 0;
        inBare.push_back(bench::BareWindowFirstPaintMs());
        inMain.push_back(bench::MainWindowFirstPaintMs(&created));
        create.push_back(created);
    }
    std::printf("inside this process, construction to first paint, median of 5:\n");
    std::printf("  bare %.1f ms, main window %.1f ms (of which creation %.1f ms)\n",
                bench::Median(inBare), bench::Median(inMain), bench::Median(create));
    return 0;
}
