#pragma once
// CThreadBasic: a thread that calls one virtual operation, once or periodically.
//
// Start() runs Run() on a new thread every `interval` milliseconds until Stop()
// clears the running flag; a step that takes the interval or longer is followed
// by the next one at once. Stop() waits for the thread to end (it is joined, not
// left behind), so the object may be destroyed afterwards.
//
// A thread with nothing to do (IdleWaitMs above 0) waits for Wake() instead,
// at most that long, rather than waking every interval.
//
// Tests inject the clock and the sleep (SetClock) to count steps without waiting.
#include <windows.h>

#include <atomic>
#include <cstdint>

class CThreadBasic
{
public:
    typedef uint64_t (*ClockFn)(void* context);
    typedef void (*SleepFn)(void* context, DWORD milliseconds);

    CThreadBasic();
    ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // One step of the thread.
    virtual void Run() = 0;

    // Starts the thread (repeat 0: Run once). False when it runs already or
    // could not be started.
    bool Start(int intervalMs, int repeat);
    // Clears the running flag and waits up to `waitMs` for the thread to end;
    // true when it has ended (or never ran).
    bool Stop(DWORD waitMs = INFINITE);
    // Waits up to `waitMs` for the thread to end by itself (running flag
    // untouched); true when it has ended.
    bool Join(DWORD waitMs);
    bool IsRunning() const { return m_running.load() != 0; }
    DWORD GetThreadId() const { return m_threadId.load(); }
    bool IsWorkerThread() const { return GetCurrentThreadId() == m_threadId.load(); }

    // The thread procedure (argument: the CThreadBasic object).
    static unsigned __stdcall ThreadProc(void* self);

    void SetClock(ClockFn clock, SleepFn sleep, void* context);

    // Ends the wait of a thread with nothing to do; any thread.
    void Wake();
    // How long the thread may wait for Wake() after a step: 0 (the default)
    // while there is work, or something to watch, every interval. Asked on
    // the thread after each step; ignored while the sleep is injected.
    virtual DWORD IdleWaitMs() { return 0; }

protected:
    HANDLE m_hExitEvent = nullptr;  // set by the thread when it ends
    std::atomic<int> m_running{0};
    int m_repeat = 0;
    int m_interval = 1;
    unsigned int m_startTick = 0;

private:
    void Loop();
    uint64_t Now();
    void SleepFor(DWORD milliseconds);

    HANDLE m_hThread = nullptr;
    HANDLE m_hWakeEvent = nullptr;  // auto-reset; lives as long as the object
    std::atomic<DWORD> m_threadId{0};
    ClockFn m_clock = nullptr;
    SleepFn m_sleep = nullptr;
    void* m_clockContext = nullptr;
};
