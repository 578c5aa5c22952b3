// PaintManager: window timers of controls and the multimedia tick. The caret,
// tooltip, balloon and overlay live in PaintManagerOverlay.cpp.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "MControl.h"
#include "PaintManager.h"

namespace WEXA {

namespace {

bool IsLiveWindow(HWND wnd) { return wnd && ::IsWindow(wnd); }

// Window timer ids the engine keeps for itself.
const UINT kCaretTimer = 6553;
const UINT kOverlayHoldTimer = 66;
const UINT kOverlayFadeTimer = 88;
const UINT kProgressTimer = 99;

}  // namespace

// ---- window timers ----

int PaintManager::SetTimer(MControl* control, UINT key, UINT ms)
{
    CAutoLock lock(m_timersLock);
    for (ControlTimerRecord* record : m_timers) {
        if (record->pControl != control || record->hWnd != m_hWndPaint || record->nKey != key) continue;
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
        if (id == kCaretTimer || id == kOverlayHoldTimer || id == kOverlayFadeTimer || id == kProgressTimer)
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
        if (record->pControl != control || record->hWnd != m_hWndPaint || record->nKey != key || record->bStopped)
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
    CAutoLock lock(m_timersLock);
    // By index: a handler may add or remove timer records.
    for (size_t i = 0; i < m_timers.size(); ++i) {
        ControlTimerRecord* record = m_timers[i];
        if (record->hWnd == m_hWndPaint && record->nID == id && !record->bStopped && record->pControl)
            record->pControl->OnTimer();
    }
}

// ---- multimedia tick ----

void PaintManager::SetMTimer(UINT periodMs)
{
    const int id = MTimer::SetTimer(periodMs, CString(L""), 0);
    m_uMTimerID = static_cast<UINT>(id);
}

void PaintManager::KillMTimer(UINT id)
{
    MTimer::KillTimer(id);
    if (id == m_uMTimerID) m_uMTimerID = 0;
}

void PaintManager::KillMTimer()
{
    MTimer::KillTimer();
    m_uMTimerID = 0;
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
    return 1;
}

void PaintManager::OnMTimer(UINT id)
{
    // Only winmm's timer thread writes the last tick time.
    const DWORD now = m_pTickClock ? m_pTickClock() : ::GetTickCount();
    if (now - m_dwLastTick < 3) return;
    m_dwLastTick = now;
    if (id != m_uMTimerID.load()) return;
    CAutoLock lock(m_ticksLock);
    // By index: a tick handler may unregister itself.
    for (size_t i = 0; i < m_tickReceivers.size(); ++i) {
        MControl* control = m_tickReceivers[i];
        if (control && control->m_bRunTimer) control->OnTimer();
    }
}

}  // namespace WEXA
