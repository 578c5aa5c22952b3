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
// (after windows.h)
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "MPicture.h"
#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"
#include "TabCtrlEx.h"
#include "WexaGdiplus.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/AppEnvironment.h"

namespace {

double ThreadCpuMs(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// A sine on the default playback device.
class Tone
{
public:
    ~Tone()
    {
        if (!out_) return;
        waveOutReset(out_);
        waveOutUnprepareHeader(out_, &header_, sizeof(header_));
        waveOutClose(out_);
    }
    bool Play(double frequency, double seconds)
    {
        const DWORD rate = 48000;
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = rate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = rate * 2;
        if (waveOutOpen(&out_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            out_ = nullptr;
            return false;
        }
        samples_.resize(size_t(rate * seconds));
        for (size_t i = 0; i < samples_.size(); ++i)
            samples_[i] =
                INT16(std::lround(0.5 * 32767.0 * std::sin(2.0 * M_PI * frequency * i / rate)));
        header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
        header_.dwBufferLength = DWORD(samples_.size() * sizeof(INT16));
        if (waveOutPrepareHeader(out_, &header_, sizeof(header_)) != MMSYSERR_NOERROR) return false;
        return waveOutWrite(out_, &header_, sizeof(header_)) == MMSYSERR_NOERROR;
    }

private:
    HWAVEOUT out_ = nullptr;
    WAVEHDR header_ = {};
    std::vector<INT16> samples_;
};

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
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    OleInitialize(nullptr);
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
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
        if (auto* gif = static_cast<WEXA::CGifPicture*>(dlg.Ctl(31))) gif->SetRunState(0, 0);
        h.SendControlEvent(81, 2);
        dlg.AppendTask(TASK_RELOAD_PROFILES);
        h.WaitForTasks({TASK_RELOAD_PROFILES}, 20000);
        // This host has no loopback: the capture records the sound server's
        // recording device, the monitor of the sink the tone is played into.
        dlg.SetCaptureSource(KeyboardAudio::CaptureSource::DefaultRecording);
        dlg.StartCapture();
        Tone tone;
        const bool playing = GetEnvironmentVariableW(L"PULSE_SERVER", nullptr, 0) > 0 &&
                             tone.Play(440.0, seconds + 5.0);
        dlg.MainTab()->SetSelectItem(3);  // the effect page
        if (auto* modes = dlg.CtlAs<WEXA::TabCtrlEx>(242)) modes->SetCurData(mode);
        h.SendControlEvent(242, 2);  // the visualiser mode
        h.Pump(1500);

        dlg.SetClock(WatchClock, WatchSleep, nullptr);
        HANDLE worker = OpenThread(THREAD_QUERY_INFORMATION, FALSE, dlg.GetThreadId());
        bus.ClearLog();
        std::vector<double> frames;
        const double cpu0 = ThreadCpuMs(worker);
        const DWORD t0 = GetTickCount();
        for (int s = 0; s < seconds; ++s) {
            h.Pump(1000);
            for (const sim::Request& request : bus.WritesTo(port))
                if (request.Command() == DeviceCommand::kEffectFrame && request.Offset() == 0)
                    frames.push_back(request.atMs);
            bus.ClearLog();
        }
        const double wall = double(GetTickCount() - t0);
        const double cpu = ThreadCpuMs(worker) - cpu0;
        CloseHandle(worker);

        int skipped = 0;
        double longest = 0;
        for (size_t i = 1; i < frames.size(); ++i) {
            const double gap = frames[i] - frames[i - 1];
            longest = std::max(longest, gap);
            if (gap > 24.0) skipped += int(gap / 16.0 + 0.5) - 1;
        }
        std::printf("effect stream, effect mode %d, %d s, keyboard at 1 ms per report%s\n", mode,
                    seconds, playing ? ", 440 Hz tone playing" : ", no sound server (silence)");
        std::printf("  frames per second:  %7.2f  (goal: 60 or more)\n",
                    wall > 0 ? frames.size() * 1000.0 / wall : 0.0);
        std::printf("  ticks skipped:      %7d  (goal: 0); longest gap %.1f ms\n", skipped,
                    longest);
        // Gaps between frames in 4 ms bins.
        int bins[10] = {};
        for (size_t i = 1; i < frames.size(); ++i)
            ++bins[std::min(9, int((frames[i] - frames[i - 1]) / 4.0))];
        std::printf("  gaps (4 ms bins):  ");
        for (int b = 0; b < 10; ++b) std::printf(" %s%d:%d", b == 9 ? ">=" : "", b * 4, bins[b]);
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
                    wall > 0 ? cpu * 100.0 / wall : 0.0);
        h.Stop();
    }
    OleUninitialize();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
