// PaintManager: window timers of controls and the multimedia tick. The caret,
// tooltip, balloon and overlay live in PaintManagerOverlay.cpp.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "MControl.h"
#include "PaintManager.h"
#include "framework/PaintManagerInternal.h"
#include "framework/WindowUtil.h"

namespace WEXA {

// ---- window timers ----

int PaintManager::SetTimer(MControl* control, UINT key, UINT ms)
{
    CAutoLock lock(m_timersLock);
    for (ControlTimerRecord* record : m_timers) {
        if (record->pControl != control || record->hWnd != m_hWndPaint || record->nKey != key)
            continue;
        if (!record->bStopped) return 0;
        if (!::SetTimer(m_hWndPaint, record->nID, ms, nullptr)) return 0;
        record->bStopped = 0;
        return 1;
    }
    // Ids count up from 17 and wrap at 240. An id the engine keeps for itself,
    // or one a record of this window still holds (running or stopped for
    // re-arming), is passed over, so two timers never share an id.
    UINT id = 0;
    bool found = false;
    for (int tries = 0; tries < 240 && !found; ++tries) {
        id = (m_uTimerCounter + 1) % 240;
        m_uTimerCounter = id;
        if (id == kCaretTimer || id == kOverlayHoldTimer || id == kOverlayFadeTimer ||
            id == kProgressTimer || id == kRepaintTimer)
            continue;
        found = true;
        for (ControlTimerRecord* record : m_timers)
            if (record->hWnd == m_hWndPaint && record->nID == id) found = false;
    }
    if (!found) return 0;
    if (!::SetTimer(m_hWndPaint, id, ms, nullptr)) return 0;
    m_timers.push_back(new ControlTimerRecord{m_hWndPaint, key, id, 0, control});
    return 1;
}

int PaintManager::KillTimer(MControl* control, UINT key)
{
    CAutoLock lock(m_timersLock);
    for (ControlTimerRecord* record : m_timers) {
        if (record->pControl != control || record->hWnd != m_hWndPaint || record->nKey != key ||
            record->bStopped)
            continue;
        if (IsLiveWindow(m_hWndPaint)) ::KillTimer(m_hWndPaint, record->nID);
        record->bStopped = 1;
        return 1;
    }
    return 0;
}

void PaintManager::KillTimer(MControl* control)
{
    CAutoLock lock(m_timersLock);
    for (size_t i = 0; i < m_timers.size();) {
        ControlTimerRecord* record = m_timers[i];
        if (record->pControl != control) {
            ++i;
            continue;
        }
        if (!record->bStopped && IsLiveWindow(record->hWnd)) ::KillTimer(record->hWnd, record->nID);
        delete record;
        m_timers.erase(m_timers.begin() + i);
    }
}

void PaintManager::ClearTimers()
{
    CAutoLock lock(m_timersLock);
    for (ControlTimerRecord* record : m_timers) {
        if (record->hWnd == m_hWndPaint && !record->bStopped && IsLiveWindow(record->hWnd))
            ::KillTimer(record->hWnd, record->nID);
        delete record;
    }
    m_timers.clear();
}

void PaintManager::OnTimer(UINT id)
{
    if (id == kCaretTimer) {
        if (m_bLayered)
            Invalidate();
        else
            InvalidateRect(m_rcCaret, 0);
        m_bCaretDrawn = !m_bCaretDrawn;
        return;
    }
    if (id == kOverlayHoldTimer || id == kOverlayFadeTimer || id == kProgressTimer) {
        OnOverlayTimer(id);
        return;
    }
    if (id == kRepaintTimer) {
        OnRepaintTick();
        return;
    }
    CAutoLock lock(m_timersLock);
    // By index: a handler may add or remove timer records.
    for (size_t i = 0; i < m_timers.size(); ++i) {
        ControlTimerRecord* record = m_timers[i];
        if (record->hWnd == m_hWndPaint && record->nID == id && !record->bStopped &&
            record->pControl)
            record->pControl->OnTimer();
    }
}

// ---- multimedia tick ----
//
// The tick reads the receiver list under the ticks lock and calls each
// receiver's OnTimer outside it, so that a handler may ask for repaints and
// the UI thread may change the list while a tick runs. The receiver being
// ticked is recorded under the ticks lock: whoever takes a control off the
// list (removal, DeleteFSTimer) waits on m_tickDone until its tick is over.
//
// The process has one multimedia-timer thread for every engine and every
// other MTimer, so a tick never waits long for a child lock (LockForTick):
// the holder may be waiting for that thread, to stop any timer of the process
// or for a tick of any engine to end (those waits are counted process-wide by
// MTimer), or may hold the lock in a modal loop, which would stop every
// multimedia timer of the process for as long as the loop runs.

namespace {

// How long (in 1 ms steps) a tick waits for a busy child lock when nobody
// waits for the timer thread: enough for a paint of the control to finish.
const int kTickLockTries = 5;

}  // namespace

void PaintManager::SetMTimer(UINT periodMs)
{
    const int id = MTimer::SetTimer(periodMs, CString(L""), 0);
    m_uMTimerID = static_cast<UINT>(id);
}

void PaintManager::KillMTimer(UINT id)
{
    // Ticks that start from now on are ignored.
    if (id == m_uMTimerID) m_uMTimerID = 0;
    MTimer::KillTimer(id);
}

void PaintManager::KillMTimer()
{
    m_uMTimerID = 0;
    MTimer::KillTimer();
}

int PaintManager::AddMTimer(MControl* control)
{
    if (!control) return 1;
    CAutoLock lock(m_ticksLock);
    m_tickReceivers.push_back(control);
    ++control->m_nTickRefs;
    return 1;
}

int PaintManager::DeleteFSTimer(MControl* control)
{
    CAutoLock lock(m_ticksLock);
    auto it = std::find(m_tickReceivers.begin(), m_tickReceivers.end(), control);
    if (it == m_tickReceivers.end()) return 0;
    m_tickReceivers.erase(it);
    if (control && control->m_nTickRefs.load() > 0) --control->m_nTickRefs;
    AwaitTickOutside(std::vector<MControl*>{control});
    return 1;
}

void PaintManager::AwaitTickOutside(const std::vector<MControl*>& controls)
{
    // A tick handler that takes controls off the list runs inside the tick.
    if (m_dwTickThread.load() == ::GetCurrentThreadId()) return;
    auto running = [&] {
        return m_pTickCurrent &&
               std::find(controls.begin(), controls.end(), m_pTickCurrent) != controls.end();
    };
    while (running()) {
        MTimer::EnterTickWait();
        ::SleepConditionVariableCS(&m_tickDone, m_ticksLock.GetSection(), INFINITE);
        MTimer::LeaveTickWait();
    }
}

bool PaintManager::LockForTick(CCriticalLock& lock)
{
    if (!MTimer::IsInTick()) {
        lock.Lock();
        return true;
    }
    for (int tries = 0;; ++tries) {
        if (lock.TryLock()) return true;
        // The holder may be waiting for this thread: give way at once. Else
        // wait a little; a holder that keeps the lock costs the control its
        // children's tick this time, not the timer thread.
        if (MTimer::IsTickAwaited() || tries >= kTickLockTries) return false;
        ::Sleep(1);
    }
}

void PaintManager::OnMTimer(UINT id)
{
    // Only winmm's timer thread writes the last tick time.
    const DWORD now = m_pTickClock ? m_pTickClock() : ::GetTickCount();
    if (now - m_dwLastTick < 3) return;
    m_dwLastTick = now;
    if (id != m_uMTimerID.load()) return;

    // One tick at a time: a tick that would overlap a running one is dropped.
    DWORD idle = 0;
    if (!m_dwTickThread.compare_exchange_strong(idle, ::GetCurrentThreadId())) return;
    std::vector<MControl*> receivers;
    {
        CAutoLock lock(m_ticksLock);
        receivers = m_tickReceivers;
    }
    for (MControl* control : receivers) {
        {
            CAutoLock lock(m_ticksLock);
            // Taken off the list since the tick began: not ticked any more.
            if (!control || std::find(m_tickReceivers.begin(), m_tickReceivers.end(), control) ==
                                m_tickReceivers.end())
                continue;
            m_pTickCurrent = control;
        }
        // A control that cannot be seen (itself or a control it lies in
        // hidden: a page that is not shown) is not ticked: nothing of it
        // would be drawn, and its ticks would only ask for paints.
        if (control->m_bRunTimer && control->IsShown()) control->OnTimer();
        {
            CAutoLock lock(m_ticksLock);
            m_pTickCurrent = nullptr;
        }
        ::WakeAllConditionVariable(&m_tickDone);
    }
    m_dwTickThread = 0;
}

}  // namespace WEXA
