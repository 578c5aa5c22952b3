#pragma once
// CKeyTestCtrl: the key test strip: one 80 x 30 tile per key press, newest at
// the left, drawn on the first frame of the control's sprite. A held key
// stays; a released one counts down on the multimedia tick (every sixth tick
// is a step; 251 - 5 per step, removed below 50, at most one removal per step)
// and the whole strip empties after 10 seconds without a key press.
//
// Threads: AddKey, RemoveKey and ClearList run on the UI thread, the countdown
// on the multimedia-timer thread; the entries are guarded by the control's
// lock, the last-press time and the tick counter are atomics. The countdown
// asks for its repaints through the owner after releasing the lock; the
// window's engine completes a request made off the UI thread on the UI
// thread. The clock is injectable for tests (SetTickClock).
#include <windows.h>

#include <atomic>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

struct KEYTESTITEM_INFO
{
    CString name;
    int code;
    int level;  // 255 held, 251 on release, -5 per step
    CRect rect;
};

class WEXA_API CKeyTestCtrl : public MControlFont
{
public:
    enum { TILE_WIDTH = 80, HELD = 255, RELEASED = 251, FADE_STEP = 5, FADE_END = 50 };
    enum { DIVIDER = 5, IDLE_CLEAR_MS = 10001 };

    CKeyTestCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CKeyTestCtrl() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlTimer() override;

    void AddKey(CString name, int code);
    // Marks the oldest held entry of that code released.
    void RemoveKey(int code);
    void ClearList();

    void SetTickClock(DWORD (*clock)()) { m_pClock = clock; }
    int GetKeyCount();
    // A copy of the entry (oldest first); false outside the list.
    bool GetKeyInfo(int index, KEYTESTITEM_INFO& out);

private:
    DWORD Now() const { return m_pClock ? m_pClock() : ::GetTickCount(); }

    std::vector<KEYTESTITEM_INFO*> m_items;
    CCriticalLock m_itemsLock;
    std::atomic<int> m_nTicks;
    std::atomic<DWORD> m_dwLastPress;
    DWORD (*m_pClock)();
};

}  // namespace WEXA
