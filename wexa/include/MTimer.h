#pragma once
// Periodic multimedia timers (winmm) owned by an object.
//
// Each object owns a list of timers started with SetTimer; the ticks arrive on
// winmm's timer thread through the two virtual OnMTimer operations (the id
// handler first, then, for app timers, the named handler). Timers are killed
// synchronously: once KillTimer (or the destructor) returns, no tick of that
// timer runs any more. The process has one timer thread, so a kill waits for
// whatever tick runs there, of any object: never kill a timer while holding a
// lock that any tick handler waits for, or the kill waits forever for that
// handler (the engine's walks of child locks give way to a kill, see
// EnterTickWait); for the same reason a tick handler must not SendMessage to a
// window of a thread that may be killing a timer (post instead).
//
// A derived class must stop its timers (KillTimer()) in its own destructor: by
// the time ~MTimer runs, the derived part, and with it OnMTimer(UINT), is gone.
//
// The system timer resolution is raised to m_uAccuracy while any timer of the
// process runs: the first running timer raises it (timeBeginPeriod), the last one
// to stop ends it (timeEndPeriod), so every raise is ended exactly once and one
// object's timers never end the resolution that another object still needs.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "CLock.h"
#include "CString.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MTimer
{
public:
    MTimer();
    virtual ~MTimer();

    MTimer(const MTimer&) = delete;
    MTimer& operator=(const MTimer&) = delete;

    // Called on each tick of an app timer, after OnMTimer(id). Default: nothing.
    virtual void OnMTimer(UINT id, CString name);
    // Called on every tick of every timer of the object (winmm's timer thread).
    virtual void OnMTimer(UINT id) = 0;

    // Starts a periodic timer; returns its id, 0 when winmm refused it (a record
    // with id 0 is kept anyway, KillTimer(0) removes it).
    int SetTimer(UINT periodMs, CString name, int appTimer);
    // Stops and removes the first timer with that id / name; returns the number
    // of records left (also when nothing matched).
    int KillTimer(UINT id);
    int KillTimer(CString name);
    // Stops every timer of the object.
    void KillTimer();

    int GetTimerIsRun(UINT id);
    int GetTimerIsRun(CString name);
    CString GetTimerName(UINT id);
    int IsAppTimer(UINT id);

    // The first live object that has a timer with that id, or null.
    static MTimer* GetMTimer(UINT id);
    // The winmm callback.
    static void CALLBACK TimerCallProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    // The process has one multimedia-timer thread: a synchronous stop of any
    // timer waits for whatever tick runs there, of any object. A thread that
    // waits for that thread (KillTimer, an engine waiting for a tick to end)
    // is counted from EnterTickWait to LeaveTickWait; while anyone is
    // counted, a tick that finds a lock busy gives it up at once instead of
    // waiting for it (PaintManager::LockForTick).
    static void EnterTickWait();
    static void LeaveTickWait();
    static bool IsTickAwaited();
    // True on the calling thread while it runs a tick (inside TimerCallProc).
    static bool IsInTick();

    // Set while the process holds a raised system timer resolution.
    static int m_bIsTmierOK;
    // The resolution in milliseconds used for every timer and for the raise.
    static UINT m_uAccuracy;

    // Test seam: replaces the system calls that query, raise and end the timer
    // resolution (null restores the system's). Returns nothing; not thread-safe
    // against running SetTimer/KillTimer calls.
    typedef MMRESULT(WINAPI* DevCapsFn)(LPTIMECAPS, UINT);
    typedef MMRESULT(WINAPI* PeriodFn)(UINT);
    static void SetResolutionHooks(DevCapsFn getDevCaps, PeriodFn beginPeriod, PeriodFn endPeriod);

private:
    struct TimerRecord
    {
        UINT id;
        CString name;
        int appTimer;
        bool holdsResolution;
    };

    void StopRecord(TimerRecord* record);

    std::vector<TimerRecord*> m_timers;
    CCriticalLock m_lock;  // guards m_timers; never held across timeKillEvent
};

}  // namespace WEXA
