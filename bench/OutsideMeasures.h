#pragma once
// Measures taken from outside a window's process, as a user's tools see it:
// the program is started as a process of its own, and its CPU, the X server's
// and the wineserver's are read from the host's /proc (through Wine's view of
// the host's root), so nothing in the measured process polls for the
// benchmark. The reference is a bare Win32 window of the same size painting a
// solid colour: the benchmark program itself, started with --bare.
#include <windows.h>

#include <string>
#include <vector>

namespace bench {
namespace outside {

// CPU seconds (user and system, every thread) of a host process; negative
// when it cannot be read.
double CpuSeconds(int pid);
// Resident memory of a host process in MB; negative when it cannot be read.
double ResidentMb(int pid);

// The host processes the window's drawing passes through: the X server and
// the wineserver of this run (0 when not found).
struct Servers
{
    int x = 0;
    int wineserver = 0;
};
Servers FindServers();

// A program started for measuring; ended (terminated) when it goes.
class Launched
{
public:
    // exe with its arguments; `tag` is appended to the command line and finds
    // the host process again.
    Launched(const std::wstring& exe, const std::wstring& arguments);
    ~Launched();
    Launched(const Launched&) = delete;
    Launched& operator=(const Launched&) = delete;

    bool Running() const;
    DWORD ProcessId() const { return info_.dwProcessId; }
    // The host pid (0 until found, FindHostPid looks for it).
    int HostPid();
    // The process's visible top-level window at least `minWidth` wide.
    HWND MainWindow(int minWidth = 600) const;
    double StartedAtMs() const { return started_; }

private:
    PROCESS_INFORMATION info_ = {};
    std::wstring tag_;
    int hostPid_ = 0;
    double started_ = 0;
};

void Wait(DWORD milliseconds);

// CPU of the program, the X server and the wineserver over `seconds`, as % of
// one core each.
struct IdleFigures
{
    double program = -1, x = -1, wineserver = -1, residentMb = -1;
    double All() const;
};
IdleFigures MeasureIdle(Launched& program, const Servers& servers, double seconds);

// From process start to the window's first frame that is not black, for one
// start: the window is looked at every few milliseconds on the screen.
struct StartFigures
{
    double mappedMs = -1;    // the window first visible
    double paintedMs = -1;   // first non-black frame seen
    bool blackSeen = false;  // visible and black at some look
};
StartFigures MeasureStart(const std::wstring& exe, const std::wstring& arguments, double timeoutMs);

// The bare reference window: runs its message loop until it is ended. Used by
// the benchmark programs when started with --bare.
int RunBareWindow();

// The folder of this program, with a trailing backslash.
std::wstring OwnFolder();
// "--program FOLDER" on the command line picks the Kestrova.exe to measure
// (default: the one beside the benchmark).
std::wstring ProgramPath(int argc, wchar_t** argv);
bool HasArgument(int argc, wchar_t** argv, const wchar_t* name);
double NumberArgument(int argc, wchar_t** argv, const wchar_t* name, double fallback);

}  // namespace outside
}  // namespace bench
