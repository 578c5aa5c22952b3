#include "MTimer.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace WEXA {

int MTimer::m_bIsTmierOK = 0;
UINT MTimer::m_uAccuracy = 1;

namespace {

// Lock order: the registry lock may be held while an object's record lock is
// taken (GetMTimer), never the other way round. The resolution lock is taken
// alone. No lock of ours is held across timeKillEvent, which waits for a running
// tick to finish.

// Every live MTimer in construction order. Created on first use, so it exists
// before the first object and outlives every static one.
struct Registry
{
    std::mutex lock;
    std::vector<MTimer*> objects;
};

Registry& TimerRegistry()
{
    static Registry registry;
    return registry;
}

const bool g_registryReady = (TimerRegistry(), true);

// Threads of the process waiting for the multimedia-timer thread.
std::atomic<int> g_tickWaiters{0};
// Ticks running on this thread (TimerCallProc).
thread_local int t_tickDepth = 0;

// The process-wide raise of the timer resolution, counted per running timer.
struct Resolution
{
    std::mutex lock;
    int holders = 0;
    MTimer::DevCapsFn getDevCaps = &timeGetDevCaps;
    MTimer::PeriodFn beginPeriod = &timeBeginPeriod;
    MTimer::PeriodFn endPeriod = &timeEndPeriod;
};

Resolution& TimerResolution()
{
    static Resolution resolution;
    return resolution;
}

// Takes one hold on the raised resolution, raising it for the first holder.
// False when the device capabilities cannot be read (nothing is held then).
bool AcquireResolution()
{
    Resolution& r = TimerResolution();
    std::lock_guard<std::mutex> guard(r.lock);
    if (r.holders == 0) {
        TIMECAPS caps = {};
        if (r.getDevCaps(&caps, sizeof(caps)) != TIMERR_NOERROR) return false;
        UINT accuracy = std::max<UINT>(caps.wPeriodMin, 1);
        accuracy = std::min<UINT>(accuracy, std::max<UINT>(caps.wPeriodMax, 1));
        MTimer::m_uAccuracy = accuracy;
        r.beginPeriod(accuracy);
        MTimer::m_bIsTmierOK = 1;
    }
    ++r.holders;
    return true;
}

void ReleaseResolution()
{
    Resolution& r = TimerResolution();
    std::lock_guard<std::mutex> guard(r.lock);
    if (r.holders <= 0) return;
    if (--r.holders == 0 && MTimer::m_bIsTmierOK) {
        r.endPeriod(MTimer::m_uAccuracy);
        MTimer::m_bIsTmierOK = 0;
    }
}

}  // namespace

void MTimer::SetResolutionHooks(DevCapsFn getDevCaps, PeriodFn beginPeriod, PeriodFn endPeriod)
{
    Resolution& r = TimerResolution();
    std::lock_guard<std::mutex> guard(r.lock);
    r.getDevCaps = getDevCaps ? getDevCaps : &timeGetDevCaps;
    r.beginPeriod = beginPeriod ? beginPeriod : &timeBeginPeriod;
    r.endPeriod = endPeriod ? endPeriod : &timeEndPeriod;
}

MTimer::MTimer()
{
    Registry& reg = TimerRegistry();
    std::lock_guard<std::mutex> guard(reg.lock);
    reg.objects.push_back(this);
}

MTimer::~MTimer()
{
    KillTimer();
    {
        Registry& reg = TimerRegistry();
        std::lock_guard<std::mutex> guard(reg.lock);
        reg.objects.erase(std::remove(reg.objects.begin(), reg.objects.end(), this),
                          reg.objects.end());
    }
}

void MTimer::OnMTimer(UINT, CString) {}

int MTimer::SetTimer(UINT periodMs, CString name, int appTimer)
{
    TimerRecord* record = new TimerRecord{0, name, appTimer, false};
    record->holdsResolution = AcquireResolution();
    // The record is filed before the timer starts and gets its id under the lock,
    // so the first tick already finds it.
    m_lock.Lock();
    m_timers.push_back(record);
    UINT id = timeSetEvent(periodMs, m_uAccuracy, &MTimer::TimerCallProc,
                           reinterpret_cast<DWORD_PTR>(this),
                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    record->id = id;
    m_lock.Unlock();
    if (id == 0 && record->holdsResolution) {
        ReleaseResolution();
        record->holdsResolution = false;
    }
    return static_cast<int>(id);
}

void MTimer::StopRecord(TimerRecord* record)
{
    // Synchronous kill: when timeKillEvent returns, no tick of this timer runs.
    // It waits for the tick running on the timer thread, whichever object's
    // it is. The record lock is not held here, so a running tick can finish;
    // counting as a waiter makes a tick that finds a lock busy give it up.
    if (record->id != 0) {
        EnterTickWait();
        timeKillEvent(record->id);
        LeaveTickWait();
    }
    if (record->holdsResolution) ReleaseResolution();
    delete record;
}

int MTimer::KillTimer(UINT id)
{
    TimerRecord* found = nullptr;
    m_lock.Lock();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if ((*it)->id == id) {
            found = *it;
            m_timers.erase(it);
            break;
        }
    }
    int left = static_cast<int>(m_timers.size());
    m_lock.Unlock();
    if (found) StopRecord(found);
    return left;
}

int MTimer::KillTimer(CString name)
{
    TimerRecord* found = nullptr;
    m_lock.Lock();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if ((*it)->name == name) {
            found = *it;
            m_timers.erase(it);
            break;
        }
    }
    int left = static_cast<int>(m_timers.size());
    m_lock.Unlock();
    if (found) StopRecord(found);
    return left;
}

void MTimer::KillTimer()
{
    std::vector<TimerRecord*> all;
    m_lock.Lock();
    all.swap(m_timers);
    m_lock.Unlock();
    for (TimerRecord* record : all) StopRecord(record);
}

int MTimer::GetTimerIsRun(UINT id)
{
    m_lock.Lock();
    int result = 0;
    for (TimerRecord* record : m_timers)
        if (record->id == id) {
            result = 1;
            break;
        }
    m_lock.Unlock();
    return result;
}

int MTimer::GetTimerIsRun(CString name)
{
    m_lock.Lock();
    int result = 0;
    for (TimerRecord* record : m_timers)
        if (record->name == name) {
            result = 1;
            break;
        }
    m_lock.Unlock();
    return result;
}

CString MTimer::GetTimerName(UINT id)
{
    m_lock.Lock();
    CString name;
    for (TimerRecord* record : m_timers)
        if (record->id == id) {
            name = record->name;
            break;
        }
    m_lock.Unlock();
    return name;
}

int MTimer::IsAppTimer(UINT id)
{
    m_lock.Lock();
    int result = 0;
    for (TimerRecord* record : m_timers)
        if (record->id == id) {
            result = record->appTimer;
            break;
        }
    m_lock.Unlock();
    return result;
}

MTimer* MTimer::GetMTimer(UINT id)
{
    Registry& reg = TimerRegistry();
    std::lock_guard<std::mutex> guard(reg.lock);
    for (MTimer* object : reg.objects)
        if (object->GetTimerIsRun(id)) return object;
    return nullptr;
}

void MTimer::EnterTickWait()
{
    ++g_tickWaiters;
}

void MTimer::LeaveTickWait()
{
    --g_tickWaiters;
}

bool MTimer::IsTickAwaited()
{
    return g_tickWaiters.load() > 0;
}

bool MTimer::IsInTick()
{
    return t_tickDepth > 0;
}

void CALLBACK MTimer::TimerCallProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    MTimer* object = reinterpret_cast<MTimer*>(user);
    if (!object) return;
    struct InTick
    {
        InTick() { ++t_tickDepth; }
        ~InTick() { --t_tickDepth; }
    } inTick;
    object->OnMTimer(id);
    // One lookup under the lock gives both the flag and the name.
    int appTimer = 0;
    CString name;
    object->m_lock.Lock();
    for (TimerRecord* record : object->m_timers) {
        if (record->id == id) {
            appTimer = record->appTimer;
            name = record->name;
            break;
        }
    }
    object->m_lock.Unlock();
    if (appTimer) object->OnMTimer(id, name);
}

}  // namespace WEXA
