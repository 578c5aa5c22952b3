// Prints the CPU the running program uses while nothing changes: the main
// window on the home page with no keyboard, then with the simulated keyboard
// connected, each measured over a few seconds of the window's message loop
// (process CPU time, user and kernel, against wall time, as % of one core).
// Never fails on a figure.
#include <windows.h>

#include <cstdio>

#include "MPicture.h"
#include "MainWindowHarness.h"
#include "Manager.h"
#include "SimKeyboardModels.h"
#include "WexaGdiplus.h"
#include "services/AppEnvironment.h"

namespace {

double CpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

double IdlePercent(testutil::MainWindowHarness& h, DWORD milliseconds)
{
    h.Pump(1500);  // start-up work and task 1 done
    double cpu0 = CpuMs();
    DWORD t0 = GetTickCount();
    h.Pump(milliseconds);
    double cpu = CpuMs() - cpu0;
    DWORD wall = GetTickCount() - t0;
    return wall ? cpu * 100.0 / wall : 0.0;
}

}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    OleInitialize(nullptr);
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    testutil::SimulatedHid().SetRealTime(true);  // read time-outs really wait, as a device's do

    std::printf("idle CPU of the main window on the home page (%% of one core)\n");
    {
        testutil::MainWindowHarness h;
        h.Start(SW_SHOW);
        std::printf("  no keyboard:             %6.2f %%\n", IdlePercent(h, 5000));
        // The same with the animated home background standing still.
        if (auto* gif = static_cast<WEXA::CGifPicture*>(h.Dlg().Ctl(31))) gif->SetRunState(0, 0);
        std::printf("  no keyboard, still background: %6.2f %%\n", IdlePercent(h, 3000));
    }
    {
        sim::SimKeyboard keyboard(sim::Model("Kestrova-K75-Air"));
        sim::SimReceiver receiver(keyboard);
        testutil::SimulatedHid().AddModel(keyboard);
        testutil::SimulatedHid().AddModelReceiver(receiver);
        testutil::MainWindowHarness h;
        h.Start(SW_SHOW);
        std::printf("  simulated keyboard:      %6.2f %%  (goal: under 1 %%)\n",
                    IdlePercent(h, 5000));
        if (auto* gif = static_cast<WEXA::CGifPicture*>(h.Dlg().Ctl(31))) gif->SetRunState(0, 0);
        std::printf("  simulated keyboard, still background: %6.2f %%\n", IdlePercent(h, 3000));
    }
    OleUninitialize();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
