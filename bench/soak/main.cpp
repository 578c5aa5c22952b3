// Runs the main window for a long while as a keyboard owner might leave it:
// a simulated keyboard (one report per millisecond, real waits) streaming the
// effect page's frames, unplugged and plugged again every 20 s (the device-
// change messages Windows sends), and the pages switched every 5 s, the home
// page among them. Every 30 s and at the end it prints the process's GDI and
// USER objects, its live GDI+ objects and its private bytes, then whether each
// stayed flat: the first figures after every page has been shown once against
// the last, and the highest. Never fails on a figure.
//
//     bench_soak [seconds]   (600 by default)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchMeasures.h"
#include "MTabCtrl.h"
#include "SimKeyboardModels.h"
#include "mainwnd/device/DeviceCommands.h"

namespace {

const char kModel[] = "Kestrova-K80-Matrix";
const DWORD kPageEveryMs = 5000;
const DWORD kPlugEveryMs = 20000;
const DWORD kPluggedOutMs = 3000;
const DWORD kReportEveryMs = 30000;
// The device pages in turn, the effect page between the others so that the
// stream runs half of the time, then the home page (0); a pick of the model
// card brings the device pages back.
const int kPages[] = {3, 1, 3, 2, 3, 4, 3, 5, 3, 6, 3, 7, 0};
const int kPageCount = int(sizeof(kPages) / sizeof(kPages[0]));

struct Sample
{
    double seconds;
    bench::ResourceFigures figures;
    double framesPerSecond;
};

// A figure of every sample, by index: 0 GDI, 1 USER, 2 private MB, 3 all GDI+,
// then each GDI+ kind.
double Figure(const Sample& s, int which)
{
    switch (which) {
        case 0: return double(s.figures.gdiObjects);
        case 1: return double(s.figures.userObjects);
        case 2: return s.figures.privateBytes / (1024.0 * 1024.0);
        case 3: return double(s.figures.gdiplus.Total());
        default: return double(s.figures.gdiplus.live[which - 4]);
    }
}

const char* FigureName(int which)
{
    switch (which) {
        case 0: return "GDI objects";
        case 1: return "USER objects";
        case 2: return "private MB";
        case 3: return "GDI+ objects";
        default: return bench::GdiplusKindName(which - 4);
    }
}

void PrintSample(const Sample& s)
{
    const bench::ResourceFigures& f = s.figures;
    std::printf("%6.0f s  GDI %5ld  USER %4ld  private %8.2f MB  GDI+ %5ld (", s.seconds,
                f.gdiObjects, f.userObjects, f.privateBytes / (1024.0 * 1024.0), f.gdiplus.Total());
    for (int k = 0; k < bench::kGdipKinds; ++k)
        std::printf("%s%s %ld", k ? ", " : "", bench::GdiplusKindName(k), f.gdiplus.live[k]);
    std::printf("; %ld made in all)  effect frames %.1f/s\n", f.gdiplus.made, s.framesPerSecond);
    std::fflush(stdout);
}

// Least-squares slope of the figure over the samples from `from` on, per minute.
double SlopePerMinute(const std::vector<Sample>& samples, size_t from, int which)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = from; i < samples.size(); ++i) {
        const double x = samples[i].seconds / 60.0, y = Figure(samples[i], which);
        n += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double d = n * sxx - sx * sx;
    return n >= 3 && d != 0 ? (n * sxy - sx * sy) / d : 0.0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
    bench::WindowProcess process;
    sim::SimHidBus& bus = testutil::SimulatedHid();
    bus.SetRealTime(true);
    bus.SetReportPace(1);
    sim::SimKeyboard keyboard(sim::Model(kModel));
    const int port = bus.AddModel(keyboard);
    const std::wstring path = testutil::DevicePathOf(keyboard.VendorId(), keyboard.ProductId(), 1);

    testutil::MainWindowHarness h;
    bench::FreshDataFolder();
    if (!h.Start(SW_SHOW) || !h.WaitForTasks({TASK_INIT}, 20000) || !bench::OpenDevicePages(h)) {
        std::printf("the main window did not start with the keyboard's pages\n");
        return 0;
    }
    KeyboardDlg& dlg = h.Dlg();
    bench::Tone silence;  // the capture hears the recording device: silence here
    bench::StreamEffects(h, 1, silence, 0);

    std::printf(
        "soak: %s, %d s; effect page every other switch, pages every %lu s, unplugged "
        "every %lu s for %lu s\n",
        kModel, seconds, kPageEveryMs / 1000, kPlugEveryMs / 1000, kPluggedOutMs / 1000);
    std::printf("(%s)\n", bench::ResourceSources().c_str());

    std::vector<Sample> samples;
    int page = 0, plugs = 0, switches = 0, frames = 0;
    bool plugged = true;
    const DWORD start = GetTickCount();
    DWORD nextPage = kPageEveryMs, nextPlug = kPlugEveryMs, plugBack = 0, nextReport = 0;
    DWORD lastReport = 0;
    // The first sample after every page has been shown once is the baseline.
    const double warmSeconds = kPageCount * kPageEveryMs / 1000.0 + 5;
    for (;;) {
        const DWORD now = GetTickCount() - start;
        if (now >= nextReport) {
            Sample s{now / 1000.0, bench::TakeResourceFigures(),
                     now > lastReport ? frames * 1000.0 / (now - lastReport) : 0.0};
            samples.push_back(s);
            PrintSample(s);
            frames = 0;
            lastReport = now;
            nextReport += kReportEveryMs;
        }
        if (now >= DWORD(seconds) * 1000) {
            if (now > lastReport) {
                samples.push_back({now / 1000.0, bench::TakeResourceFigures(),
                                   frames * 1000.0 / (now - lastReport)});
                PrintSample(samples.back());
            }
            break;
        }
        if (plugged && now >= nextPlug) {
            bus.Unplug(port);
            h.SendDeviceChange(false, path);
            plugged = false;
            plugBack = now + kPluggedOutMs;
            nextPlug += kPlugEveryMs;
        } else if (!plugged && now >= plugBack) {
            bus.Plug(port);
            h.SendDeviceChange(true, path);
            plugged = true;
            ++plugs;
        }
        if (now >= nextPage) {
            nextPage += kPageEveryMs;
            WEXA::MTabCtrl* tab = dlg.MainTab();
            // Home shown (by the last switch or by a keyboard that came back): the
            // model card opens the device pages again.
            if (plugged && tab && !tab->IsVisible()) bench::OpenDevicePages(h);
            if (tab && tab->IsVisible()) {
                tab->SetSelectItem(kPages[page]);
                page = (page + 1) % kPageCount;
                ++switches;
            }
        }
        h.Pump(250);
        for (const sim::Request& request : bus.WritesTo(port))
            if (request.Command() == DeviceCommand::kEffectFrame && request.Offset() == 0) ++frames;
        bus.ClearAllLogs();  // the logs would grow for ever
    }

    size_t warm = 0;
    while (warm + 1 < samples.size() && samples[warm].seconds < warmSeconds) ++warm;
    const Sample& first = samples[warm];
    const Sample& last = samples.back();
    std::printf("\n%d page switches, %d hot-plugs in %.0f s\n", switches, plugs, last.seconds);
    std::printf("%-14s %10s %10s %10s %10s %12s  %s\n", "figure", "at start",
                warm ? "after warm" : "first", "last", "highest", "per minute", "flat");
    for (int which = 0; which < 4 + bench::kGdipKinds; ++which) {
        double highest = 0;
        for (size_t i = warm; i < samples.size(); ++i)
            highest = std::max(highest, Figure(samples[i], which));
        const double a = Figure(first, which), b = Figure(last, which);
        const double slope = SlopePerMinute(samples, warm, which);
        // Flat: the last is within 2 % (at least 5 objects or 2 MB) of the
        // baseline, and the trend over the run would not add that much again.
        const double room = std::max(which == 2 ? 2.0 : 5.0, a * 0.02);
        const double minutes = (last.seconds - first.seconds) / 60.0;
        const bool flat = b - a <= room && slope * minutes <= room;
        std::printf("%-14s %10.2f %10.2f %10.2f %10.2f %12.3f  %s\n", FigureName(which),
                    Figure(samples.front(), which), a, b, highest, slope, flat ? "yes" : "NO");
    }
    h.Stop();
    bench::FreshDataFolder();
    return 0;
}
