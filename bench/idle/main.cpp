// Prints what the program costs while nobody looks at it, measured from
// outside its process: Kestrova.exe is started on its own (no keyboard on
// this host), left to settle, then its CPU, the X server's and the
// wineserver's are read from the host over a stretch of wall time, as % of
// one core, beside a bare Win32 window of the same size measured in the same
// run. Then the home page with the simulated keyboard, which only a test
// process has, measured inside this process (its message pump included).
// Never fails on a figure.
//   bench_idle [--program FOLDER] [--settle S] [--seconds S] [--skip-keyboard]
#include <windows.h>
// (after windows.h)
#include <shellapi.h>

#include <cstdio>

#include "BenchMeasures.h"
#include "OutsideMeasures.h"
#include "SimKeyboardModels.h"

namespace {

using bench::outside::IdleFigures;

void Row(const char* name, const IdleFigures& f, const IdleFigures* bare, const char* goal)
{
    std::printf("  %-44s program %6.2f %%  X %5.2f %%  wineserver %5.2f %%  all %6.2f %%", name,
                f.program, f.x, f.wineserver, f.All());
    if (bare) std::printf("  over bare %+6.2f %%", f.All() - bare->All());
    if (f.residentMb >= 0) std::printf("  resident %6.1f MB", f.residentMb);
    std::printf("\n      goal: %s\n", goal);
}

void Click(HWND window, int x, int y)
{
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

}  // namespace

int main()
{
    using namespace bench::outside;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (HasArgument(argc, argv, L"--bare")) return RunBareWindow();
    const double settle = NumberArgument(argc, argv, L"--settle", 10);
    const double seconds = NumberArgument(argc, argv, L"--seconds", 30);
    const std::wstring program = ProgramPath(argc, argv);
    const std::wstring self = OwnFolder() + L"bench_idle.exe";
    const Servers servers = FindServers();

    std::printf("idle, measured from outside: %.0f s after %.0f s to settle (%% of one core)\n",
                seconds, settle);
    std::printf("  program: %ls\n", program.c_str());
    if (!servers.x || !servers.wineserver)
        std::printf("  (X server %s, wineserver %s on the host)\n",
                    servers.x ? "found" : "not found", servers.wineserver ? "found" : "not found");

    IdleFigures bare;
    {
        Launched window(self, L"--bare");
        Wait(static_cast<DWORD>(settle * 1000));
        bare = MeasureIdle(window, servers, seconds);
        Row("bare Win32 window", bare, nullptr, "the reference");
    }
    {
        Launched main(program, L"");
        Wait(static_cast<DWORD>(settle * 1000));
        HWND window = main.MainWindow();
        if (!window) {
            std::printf("  the program showed no window\n");
        } else {
            Row("home page, no keyboard (animated background)", MeasureIdle(main, servers, seconds),
                &bare, "at most 3 % in all");
            // The settings page: nothing on it changes.
            RECT client;
            GetClientRect(window, &client);
            Click(window, client.right - 126, 24);
            Wait(static_cast<DWORD>(settle * 1000));
            Row("settings page, nothing changing", MeasureIdle(main, servers, seconds), &bare,
                "at most 1 % over bare");
            Click(window, client.right - 126, 24);  // back home
            ShowWindow(window, SW_MINIMIZE);
            Wait(static_cast<DWORD>(settle * 1000));
            Row("minimised", MeasureIdle(main, servers, seconds), &bare, "at most 0.5 %");
            ShowWindow(window, SW_RESTORE);
            ShowWindow(window, SW_HIDE);
            Wait(static_cast<DWORD>(settle * 1000));
            Row("hidden (as in the tray)", MeasureIdle(main, servers, seconds), &bare,
                "at most 0.5 %");
        }
    }
    std::printf("      resident memory goal: no growth for any of the above\n");

    if (HasArgument(argc, argv, L"--skip-keyboard")) return 0;
    // The keyboard card needs the simulated keyboard, which lives in this
    // process only: measured here, the harness's own message pump included.
    bench::WindowProcess process;
    testutil::SimulatedHid().SetRealTime(true);  // read time-outs really wait, as a device's do
    std::printf("inside this process (its message pump included):\n");
    std::printf("  bare Win32 window:                  %6.2f %%\n",
                bench::BareWindowIdlePercent(static_cast<DWORD>(seconds * 1000 / 3)));
    {
        sim::SimKeyboard keyboard(sim::Model("Kestrova-K75-Air"));
        sim::SimReceiver receiver(keyboard);
        testutil::SimulatedHid().AddModel(keyboard);
        testutil::SimulatedHid().AddModelReceiver(receiver);
        testutil::MainWindowHarness h;
        h.Start(SW_SHOW);
        std::printf("  home page with a keyboard card:     %6.2f %%  (goal: at most 3 %%)\n",
                    bench::IdlePercent(h, static_cast<DWORD>(seconds * 1000 / 3)));
    }
    return 0;
}
