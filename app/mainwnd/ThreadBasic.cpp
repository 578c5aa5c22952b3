#include "mainwnd/ThreadBasic.h"

#include <process.h>

#include <chrono>

CThreadBasic::CThreadBasic() : m_hWakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CThreadBasic::~CThreadBasic()
{
    // The derived object is gone by now; the owner stops the thread first
    // (Stop). A thread still running here would call a pure virtual function.
    Stop();
    if (m_hWakeEvent) CloseHandle(m_hWakeEvent);
}

void CThreadBasic::Wake()
{
    if (m_hWakeEvent) SetEvent(m_hWakeEvent);
}

void CThreadBasic::SetClock(ClockFn clock, SleepFn sleep, void* context)
{
    m_clock = clock;
    m_sleep = sleep;
    m_clockContext = context;
}

bool CThreadBasic::Start(int intervalMs, int repeat)
{
    if (m_hThread) return false;
    m_interval = intervalMs;
    m_repeat = repeat;
    m_startTick = GetTickCount();
    m_hExitEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_running = 1;
    unsigned id = 0;
    uintptr_t thread = _beginthreadex(nullptr, 0, &CThreadBasic::ThreadProc, this, 0, &id);
    if (!thread) {
        m_running = 0;
        CloseHandle(m_hExitEvent);
        m_hExitEvent = nullptr;
        return false;
    }
    m_hThread = reinterpret_cast<HANDLE>(thread);
    m_threadId = id;
    return true;
}

bool CThreadBasic::Stop(DWORD waitMs)
{
    m_running = 0;
    Wake();
    if (!m_hThread) return true;
    // Never wait for ourselves: a step that stops its own thread only ends the loop.
    if (IsWorkerThread()) return false;
    if (WaitForSingleObject(m_hThread, waitMs) != WAIT_OBJECT_0) return false;
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_threadId = 0;
    if (m_hExitEvent) CloseHandle(m_hExitEvent);
    m_hExitEvent = nullptr;
    return true;
}

bool CThreadBasic::Join(DWORD waitMs)
{
    if (!m_hThread) return true;
    if (IsWorkerThread()) return false;
    if (WaitForSingleObject(m_hThread, waitMs) != WAIT_OBJECT_0) return false;
    return Stop(0);
}

uint64_t CThreadBasic::Now()
{
    if (m_clock) return m_clock(m_clockContext);
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CThreadBasic::SleepFor(DWORD milliseconds)
{
    if (m_sleep)
        m_sleep(m_clockContext, milliseconds);
    else
        ::Sleep(milliseconds);
}

void CThreadBasic::Loop()
{
    if (!m_repeat) {
        Run();
        return;
    }
    while (m_running.load()) {
        uint64_t t0 = Now();
        Run();
        uint64_t t1 = Now();
        uint64_t spent = t1 - t0;
        const DWORD idle = m_sleep ? 0 : IdleWaitMs();
        if (idle > 0 && m_hWakeEvent && m_running.load())
            WaitForSingleObject(m_hWakeEvent, idle);
        else if (spent < uint64_t(m_interval) && m_running.load())
            SleepFor(DWORD(uint64_t(m_interval) - spent));
    }
}

unsigned __stdcall CThreadBasic::ThreadProc(void* self)
{
    CThreadBasic* thread = static_cast<CThreadBasic*>(self);
    thread->Loop();
    unsigned tick = thread->m_startTick;
    SetEvent(thread->m_hExitEvent);
    return tick;
}
