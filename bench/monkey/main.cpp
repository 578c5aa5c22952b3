// The monkey of the window tests (tests/support/Monkey.h) for as long as asked:
// seeded random real input on the main window of one model, or of every model
// in turn, while the simulated keyboard (real waits, one report per
// millisecond) is unplugged and plugged, reported asleep and awake, and
// refuses or loses some requests. A hang ends the program with the seed and the
// last 50 inputs. Every 30 s it prints the process's GDI and USER objects,
// live GDI+ objects and private bytes, and at the end whether each stayed flat
// (the first sample after a minute against the last). Never fails on a figure.
//
//     bench_monkey [seconds per model] [seed] [model name]   (600, 1, every model)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchMeasures.h"
#include "Monkey.h"
#include "SimKeyboardModels.h"
#include "mainwnd/TaskQueue.h"

namespace {

const DWORD kSampleEveryMs = 30000;
const double kWarmSeconds = 60;

struct Sample
{
    double seconds;
    bench::ResourceFigures figures;
};

void PrintSample(const Sample& s)
{
    const bench::ResourceFigures& f = s.figures;
    std::printf("%6.0f s  GDI %5ld  USER %4ld  private %8.2f MB  GDI+ %5ld\n", s.seconds,
                f.gdiObjects, f.userObjects, f.privateBytes / (1024.0 * 1024.0), f.gdiplus.Total());
    std::fflush(stdout);
}

void PrintFlatness(const std::vector<Sample>& samples)
{
    if (samples.size() < 2) return;
    size_t warm = 0;
    while (warm + 1 < samples.size() && samples[warm].seconds < kWarmSeconds) ++warm;
    const Sample &first = samples[warm], &last = samples.back();
    struct Row
    {
        const char* name;
        double (*of)(const Sample&);
        double room;  // at least this much (or 2 %) more is not flat
    };
    const Row rows[] = {
        {"GDI objects", [](const Sample& s) { return double(s.figures.gdiObjects); }, 5},
        {"USER objects", [](const Sample& s) { return double(s.figures.userObjects); }, 5},
        {"private MB", [](const Sample& s) { return s.figures.privateBytes / 1048576.0; }, 2},
        {"GDI+ objects", [](const Sample& s) { return double(s.figures.gdiplus.Total()); }, 5},
    };
    std::printf("%-14s %10s %10s %10s %10s  %s\n", "figure", "at start",
                warm ? "after warm" : "first", "last", "highest", "flat");
    for (const Row& row : rows) {
        double highest = 0;
        for (size_t i = warm; i < samples.size(); ++i)
            highest = std::max(highest, row.of(samples[i]));
        const double a = row.of(first), b = row.of(last);
        std::printf("%-14s %10.2f %10.2f %10.2f %10.2f  %s\n", row.name, row.of(samples.front()), a,
                    b, highest, b - a <= std::max(row.room, a * 0.02) ? "yes" : "NO");
    }
}

// One model for `seconds`; false when its window did not start.
bool RunModel(const sim::SimModel& model, int seconds, unsigned seed)
{
    sim::SimHidBus& bus = testutil::SimulatedHid();
    bus.SetRealTime(true);
    bus.SetReportPace(1);
    sim::SimKeyboard keyboard(model);
    std::unique_ptr<sim::SimReceiver> receiver;
    if (model.HasReceiver()) receiver.reset(new sim::SimReceiver(keyboard));
    testutil::MainWindowHarness h;
    bench::FreshDataFolder();
    const int port = bus.AddModel(keyboard);
    const int receiverPort = receiver ? bus.AddModelReceiver(*receiver) : -1;
    if (!h.Start(SW_SHOW) || !h.WaitForTasks({TASK_INIT}, 20000)) {
        std::printf("%s: the main window did not start\n", model.name);
        return false;
    }
    SetWindowPos(h.Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetForegroundWindow(h.Window());
    h.Settle(300, 20000);

    testutil::MonkeyOptions options;
    options.seed = seed;
    options.model = model.name;
    testutil::Monkey monkey(h, keyboard, port, receiver.get(), receiverPort, options);
    std::printf("\n%s, %d s (%s)\n", monkey.Header().c_str(), seconds,
                bench::ResourceSources().c_str());
    monkey.OpenDevicePages(model.deviceType);
    std::vector<Sample> samples;
    const DWORD start = GetTickCount();
    testutil::MonkeyFigures f;
    samples.push_back({0, bench::TakeResourceFigures()});
    PrintSample(samples.back());
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= DWORD(seconds) * 1000) break;
        f = monkey.Run(std::min(kSampleEveryMs, DWORD(seconds) * 1000 - elapsed));
        samples.push_back({(GetTickCount() - start) / 1000.0, bench::TakeResourceFigures()});
        PrintSample(samples.back());
        if (f.ended) {
            std::printf("the window asked to end the process: the run stops here\n");
            break;
        }
    }
    std::printf(
        "%d inputs: %d clicks, %d right clicks, %d drags, %d wheels, %d keys, %d in dialogs or "
        "menus, %d system dialogs cancelled; %d unplugs, %d plugs, %d sleeps, %d wakes, %d "
        "faults; %d boxes answered, %d tasks taken, %d page changes\n",
        f.inputs, f.clicks, f.rightClicks, f.drags, f.wheels, f.keys, f.dialogClicks,
        f.cancelledDialogs, f.unplugs, f.plugs, f.sleeps, f.wakes, f.faults, f.boxes, f.tasks,
        f.pagesSeen);
    PrintFlatness(samples);
    std::printf("locked sends: %zu\n", h.LockedSends().size());
    h.Stop();
    bench::FreshDataFolder();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
    const unsigned seed = argc > 2 ? unsigned(std::strtoul(argv[2], nullptr, 10)) : 1u;
    bench::WindowProcess process;
    for (const sim::SimModel& model : sim::Models()) {
        if (argc > 3 && std::strcmp(argv[3], model.name) != 0) continue;
        RunModel(model, seconds, seed);
    }
    return 0;
}
