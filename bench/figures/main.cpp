// The program's performance figures in one run, each measured side by side
// with what it is held against:
// - start-up to the first painted frame of the main window against a bare
//   Win32 window of the same size (median of five of each, taken in turn);
// - idle CPU as % of one core, the home page and a device page (the lighting
//   page), without and with the simulated keyboard, next to a bare window's;
// - the effect stream (the visualiser): frames per second against the steps
//   the worker ran in the same seconds (one frame per 16 ms step is the most),
//   and the worker thread's CPU;
// - a full profile apply (the key layers, the user light mode and its key
//   colours, the performance settings) of each model: the worker's step against
//   what the protocol mandates: the pauses the apply asks for (the window's
//   pause and the transport's), the answer waits that ran out, plus one
//   millisecond for each report the simulated keyboard recorded; and against
//   the same waits slept one after the other with nothing else (what this
//   machine's Sleep makes of the mandated time).
// The keyboard takes one millisecond per report and every wait is real. Never
// fails on a figure.
//
//     bench_figures [stream seconds]   (10 by default)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchClock.h"
#include "BenchMeasures.h"
#include "MTabCtrl.h"
#include "Manager.h"
#include "SimKeyboardModels.h"
#include "services/db/DeviceDataDB.h"

namespace {

// The worker's steps, timed through its clock: each step reads the clock once
// before and once after it runs, and sleeps only between steps. While armed,
// the first step that ends with the apply task done is the one measured, and
// the bus's waits are read as it ends, before any later step adds to them.
struct WorkerWatch
{
    testutil::MainWindowHarness* harness = nullptr;
    sim::SimHidBus* bus = nullptr;
    std::atomic<bool> armed{false};
    size_t appliesBefore = 0;
    std::atomic<bool> done{false};
    double stepMs = 0;
    std::vector<int> pausesAsked;  // through the window's pause, while armed
    bench::BusWaits waits;
    std::atomic<long> steps{0};

    // Worker thread only.
    bool inStep = false;
    double stepStart = 0;
};
WorkerWatch g_watch;

size_t Applies(const testutil::MainWindowHarness& h)
{
    size_t n = 0;
    for (const auto& task : h.Tasks())
        if (task.code == TASK_APPLY_PROFILE && task.performed) ++n;
    return n;
}

uint64_t WatchClock(void*)
{
    const double now = bench::Milliseconds();
    WorkerWatch& w = g_watch;
    if (!w.inStep) {
        w.inStep = true;
        w.stepStart = now;
    } else {
        w.inStep = false;
        ++w.steps;
        if (w.armed && !w.done && Applies(*w.harness) > w.appliesBefore) {
            w.stepMs = now - w.stepStart;
            w.waits = bench::WaitsOf(*w.bus, 1);
            w.done = true;
            w.armed = false;
        }
    }
    return uint64_t(now);
}

void WatchSleep(void*, DWORD milliseconds)
{
    g_watch.inStep = false;  // the next reading starts a step
    ::Sleep(milliseconds);
}

void WatchPause(void*, DWORD milliseconds)
{
    if (g_watch.armed) g_watch.pausesAsked.push_back(int(milliseconds));
    ::Sleep(milliseconds);
}

void Watch(testutil::MainWindowHarness& h)
{
    g_watch.harness = &h;
    g_watch.bus = &h.Bus();
    g_watch.armed = false;
    h.Dlg().SetClock(WatchClock, WatchSleep, nullptr);
    h.Dlg().SetPauseFunction(WatchPause, nullptr);
    h.Pump(100);  // a few steps: the watch is in step with the worker
}

bool ShowPage(testutil::MainWindowHarness& h, int position)
{
    WEXA::MTabCtrl* tab = h.Dlg().MainTab();
    if (!tab || !tab->IsVisible()) return false;
    tab->SetSelectItem(position);
    h.Settle(300, 10000);
    return true;
}

// ---- start-up ----

void StartUp()
{
    testutil::SimulatedHid();  // no keyboard: the program's own HID stack is not asked
    WEXA::Manager::SetDeviceName(L"Kestrova Bench");
    WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
    const int runs = 5;
    std::vector<double> bare, main;
    bench::BareWindowFirstPaintMs();  // warm both paths (DLLs, fonts, picture files)
    bench::MainWindowFirstPaintMs();
    for (int i = 0; i < runs; ++i) {
        bare.push_back(bench::BareWindowFirstPaintMs());
        main.push_back(bench::MainWindowFirstPaintMs());
    }
    const double b = bench::Median(bare), m = bench::Median(main);
    std::printf("start-up to first paint (1400 x 788, median of %d)\n", runs);
    std::printf("  bare Win32 window %8.2f ms   Kestrova %8.2f ms   ratio %6.2f\n", b, m,
                b > 0 ? m / b : 0.0);
    std::fflush(stdout);
}

// ---- idle ----

void IdleLine(const char* what, double percent, double bare)
{
    std::printf("  %-36s %6.2f %% of one core   bare window %5.2f %%   difference %+6.2f\n", what,
                percent, bare, percent - bare);
    std::fflush(stdout);
}

void Idle()
{
    const DWORD ms = 4000;
    std::printf("idle CPU (process CPU over %lu s of the message loop)\n", ms / 1000);
    const double bare = bench::BareWindowIdlePercent(ms);
    {
        testutil::MainWindowHarness h;
        bench::FreshDataFolder();
        h.Start(SW_SHOW);
        IdleLine("home page, no keyboard", bench::IdlePercent(h, ms), bare);
        if (bench::OpenDevicePages(h) && ShowPage(h, 1))
            IdleLine("lighting page, no keyboard", bench::IdlePercent(h, ms), bare);
        else
            std::printf(
                "  lighting page, no keyboard: none to measure; with no keyboard connected "
                "a pick of the model card ends on the home page\n");
    }
    sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
    testutil::SimulatedHid().AddModel(keyboard);
    {
        testutil::MainWindowHarness h;
        bench::FreshDataFolder();
        h.Start(SW_SHOW);
        IdleLine("home page, simulated keyboard", bench::IdlePercent(h, ms), bare);
        if (bench::OpenDevicePages(h) && ShowPage(h, 1))
            IdleLine("lighting page, simulated keyboard", bench::IdlePercent(h, ms), bare);
        else
            std::printf("  lighting page, simulated keyboard: the device pages did not open\n");
    }
}

// ---- the effect stream ----

void EffectStream(int seconds)
{
    sim::SimHidBus& bus = testutil::SimulatedHid();
    sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
    const int port = bus.AddModel(keyboard);
    testutil::MainWindowHarness h;
    bench::FreshDataFolder();
    if (!h.Start(SW_SHOW) || !h.WaitForTasks({TASK_INIT}, 20000) || !bench::OpenDevicePages(h)) {
        std::printf("effect stream: the device pages did not open\n");
        return;
    }
    bench::Tone tone;
    const bool playing = bench::StreamEffects(h, 1, tone, seconds + 5.0);
    Watch(h);
    const long steps0 = g_watch.steps;
    const double t0 = bench::Milliseconds();
    const bench::StreamFigures f = bench::MeasureEffectStream(h, bus, port, seconds);
    const double stepsPerSecond = (g_watch.steps - steps0) * 1000.0 / (bench::Milliseconds() - t0);
    std::printf("effect stream (the visualiser, %d s, %s)\n", seconds,
                playing ? "a 440 Hz tone playing" : "no sound server: silence");
    std::printf(
        "  %7.2f frames/s   worker %7.2f steps/s   ratio %5.3f   (16 ms tick: 62.5/s, "
        "ratio %5.3f)\n",
        f.framesPerSecond, stepsPerSecond,
        stepsPerSecond > 0 ? f.framesPerSecond / stepsPerSecond : 0.0, f.framesPerSecond / 62.5);
    std::printf("  ticks skipped %d, longest gap %.1f ms; worker CPU %.2f %% of one core\n",
                f.ticksSkipped, f.longestGapMs, f.workerCpuPercent);
    std::fflush(stdout);
    h.Stop();
}

// ---- the profile apply ----

// The current profile as a user who set everything has it: the user light mode
// with a colour on every key (the key layers are there already, all four).
bool FillProfile(KeyboardDlg& dlg, const sim::SimModel& model)
{
    CAutoLock hold(dlg.DeviceStateLock());
    const int profile = dlg.m_currentProfile;
    DeviceDataDB& db = *DeviceDataDB::Instance();
    if (profile <= 0) return false;
    std::vector<UserLightRgbData> colours;
    for (size_t i = 0; i < model.keyCount; ++i) {
        UserLightRgbData colour;
        colour.profile = profile;
        colour.userlight_id = 129;
        colour.key_code = model.keys[i].usage;
        colour.key_rgb = int(RGB(i * 3, 255 - i, 128));
        colours.push_back(colour);
    }
    if (!db.ReplaceUserLightRgb(profile, 129, colours)) return false;
    if (!db.SetActiveLightMode(profile, 0, 129)) return false;
    dlg.m_lightMode = 129;
    return true;
}

void Apply(const sim::SimModel& model)
{
    sim::SimHidBus& bus = testutil::SimulatedHid();
    sim::SimKeyboard keyboard(model);
    bus.AddModel(keyboard);
    testutil::MainWindowHarness h;
    bench::FreshDataFolder();
    const char* failed = nullptr;
    if (!h.Start(SW_SHOW) || !h.WaitForTasks({TASK_INIT}, 20000) || !bench::OpenDevicePages(h)) {
        failed = "the device pages did not open";
    } else {
        h.Dlg().AppendTask(TASK_RELOAD_PROFILES);
        if (!h.Settle(300, 20000))
            failed = "the profiles did not load";
        else if (!ShowPage(h, 1))
            failed = "the lighting page did not open";
        else if (!FillProfile(h.Dlg(), model))
            failed = "the profile could not be filled";
    }
    if (failed) {
        std::printf("  %-20s %s\n", model.name, failed);
        return;
    }
    KeyboardDlg& dlg = h.Dlg();
    Watch(h);
    const int rounds = 3;
    std::vector<double> wall, mandated, replayed;
    bench::BusWaits waits;
    double pauses = 0;
    for (int round = 0; round < rounds; ++round) {
        // The worker held between steps while the log is emptied and the task
        // queued: the next step it runs is the apply.
        dlg.m_workerPaused = 1;
        h.Pump(60);
        bus.ClearAllLogs();
        g_watch.pausesAsked.clear();
        g_watch.done = false;
        g_watch.appliesBefore = Applies(h);
        g_watch.armed = true;
        dlg.AppendTask(TASK_APPLY_PROFILE);
        dlg.m_workerPaused = 0;
        if (!h.PumpUntil([] { return g_watch.done.load(); }, 60000)) {
            g_watch.armed = false;
            std::printf("  %-20s the apply did not end\n", model.name);
            return;
        }
        waits = g_watch.waits;
        pauses = 0;
        for (int ms : g_watch.pausesAsked) pauses += ms;
        wall.push_back(g_watch.stepMs);
        mandated.push_back(waits.TotalMs() + pauses);
        std::vector<int> all = waits.each;
        all.insert(all.end(), g_watch.pausesAsked.begin(), g_watch.pausesAsked.end());
        replayed.push_back(bench::SleepThrough(all));
        h.Settle(200, 10000);
    }
    const double w = bench::Median(wall), m = bench::Median(mandated);
    const double r = bench::Median(replayed);
    std::printf(
        "  %-20s %4.0f reports  apply %7.1f ms   mandated %7.1f ms (pauses %4.0f + "
        "transport %4.0f + answer waits %3.0f + %4.0f reports x 1 ms)   ratio %5.3f;  "
        "the same waits slept one by one take %.1f ms here, ratio to them %5.3f\n",
        model.name, waits.reports, w, m, pauses, waits.pausesMs, waits.readWaitsMs, waits.reportMs,
        m > 0 ? w / m : 0.0, r, r > 0 ? w / r : 0.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const int streamSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    bench::WindowProcess process;
    StartUp();
    sim::SimHidBus& bus = testutil::SimulatedHid();
    bus.SetRealTime(true);
    bus.SetReportPace(1);
    Idle();
    testutil::ResetBus();
    EffectStream(streamSeconds);
    testutil::ResetBus();
    timeBeginPeriod(1);
    std::printf(
        "full profile apply (median of 3; the worker's step from taking the task to "
        "ending it)\n");
    for (const sim::SimModel& model : sim::Models()) {
        Apply(model);
        testutil::ResetBus();
    }
    timeEndPeriod(1);
    bench::FreshDataFolder();
    return 0;
}
