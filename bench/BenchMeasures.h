#pragma once
// What the window benchmarks measure, shared by them: CPU time, start-up to
// the first painted frame, idle CPU, the effect stream's frames, the waits the
// simulated keyboard was asked for, and the process's GDI, USER and GDI+
// objects and private memory.
#include <windows.h>
// (after windows.h)
#include <mmsystem.h>

#include <string>
#include <vector>

#include "GdiplusObjects.h"
#include "MainWindowHarness.h"
#include "SimKeyboard.h"
#include "TonePlayer.h"

namespace bench {

// GDI+ and OLE started, the three languages known and English current; both
// ended when it goes.
class WindowProcess
{
public:
    WindowProcess();
    ~WindowProcess();

private:
    ULONG_PTR token_ = 0;
};

double ProcessCpuMs();
double ThreadCpuMs(HANDLE thread);
double Median(std::vector<double> values);

// ---- start-up to the first paint (both windows 1400 x 788) ----
// A bare Win32 window: created, shown, its first WM_PAINT handled.
double BareWindowFirstPaintMs();
// Kestrova's main window: constructed, created, its first WM_PAINT handled; the
// creation alone (frame built, tray icon, worker started) in createMs.
double MainWindowFirstPaintMs(double* createMs = nullptr);

// ---- idle ----
// The process's CPU over `milliseconds` of the window's message loop, after 1.5 s
// for the start-up work, as % of one core.
double IdlePercent(testutil::MainWindowHarness& h, DWORD milliseconds);
// The same for a bare Win32 window, shown and left alone.
double BareWindowIdlePercent(DWORD milliseconds);
// The animated home background stands still.
void StillBackground(testutil::MainWindowHarness& h);

// The data folder of the harness's software name with an empty "db" folder, as
// the program makes it before its window: the models' databases start anew.
// Call after the harness is made, before it starts, and once the last one has
// stopped to leave no database behind.
void FreshDataFolder();

// Picks the first model card of the home page, as a click on it does, and
// waits until the worker has loaded the device. False when no device page came.
bool OpenDevicePages(testutil::MainWindowHarness& h);

// ---- the effect stream ----
// A sine on the default playback device.
using Tone = testutil::TonePlayer;

// The device pages' effect page in the effect mode (1: the visualiser), the
// audio capture recording the default device (this host has no loopback: the
// sound server's monitor of the sink a Tone plays into), the home background
// still. True when a tone plays into it for `toneSeconds` (a sound server is
// there), false when the capture hears silence.
bool StreamEffects(testutil::MainWindowHarness& h, int mode, Tone& tone, double toneSeconds);

struct StreamFigures
{
    double seconds = 0;
    int frames = 0;
    double framesPerSecond = 0;
    int ticksSkipped = 0;  // a gap above 1.5 ticks of 16 ms counts the ticks it spans
    double longestGapMs = 0;
    int gapBins[10] = {};  // gaps between frames in 4 ms bins, the last one open
    double workerCpuPercent = 0;
};
// Pumps the window for `seconds`, collecting the effect frames written to the
// port once a second (the bus log is emptied each time) and the worker's CPU.
StreamFigures MeasureEffectStream(testutil::MainWindowHarness& h, sim::SimHidBus& bus, int port,
                                  int seconds);

// ---- waits the simulated keyboard was asked for ----
struct BusWaits
{
    double reports = 0;      // writes, failed ones too
    double pausesMs = 0;     // the transport's pauses (HidPlatform::Sleep)
    double readWaitsMs = 0;  // reads that waited their whole time-out
    double reportMs = 0;     // reports x the bus's pace
    std::vector<int> each;   // every one of them, in milliseconds
    double TotalMs() const { return pausesMs + readWaitsMs + reportMs; }
};
// Since the bus log was last emptied.
BusWaits WaitsOf(const sim::SimHidBus& bus, int reportPaceMs);
// Sleeps through the waits one after the other: what this machine's Sleep
// makes of them, in milliseconds.
double SleepThrough(const std::vector<int>& waits);

// ---- resources ----
struct ResourceFigures
{
    long gdiObjects = 0;
    long userObjects = 0;
    double privateBytes = 0;
    GdiplusCounts gdiplus;
};
ResourceFigures TakeResourceFigures();
// Where the figures come from on this system (GetGuiResources, or what stands
// in for it where it is not implemented).
std::string ResourceSources();

}  // namespace bench
