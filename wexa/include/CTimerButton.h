#pragma once
// CTimerButton: a button that, once started (SetRun(1)), shows a ten-second
// countdown after its title, "Title(10s)", and clicks itself (code 2) when the
// time is up; a click by the user also stops it.
//
// The countdown reads its clock (GetTickCount unless a test injects another)
// on every control tick and repaints at most once every 800 ms. Ticks may come
// from the multimedia timer's thread; the button's own window timer, armed
// while the countdown runs, raises the end of the countdown on the window's
// thread, so the owner's handler never runs on the timer thread.
#include <windows.h>

#include <atomic>

#include "CRect.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API CTimerButton : public MControlFont
{
public:
    CTimerButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled);
    ~CTimerButton() override;

    // Registers for the window's multimedia ticks.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlEnabled(int enabled) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    // Starts (non-zero) or stops the countdown; a disabled button changes
    // nothing. Returns the running flag.
    int SetRun(int run);
    int IsRun() const { return m_nRunning.load(); }
    void SetFrameSize(int corner) { m_nFrameSize = corner; }
    // Test seam: the millisecond clock of the countdown (null: GetTickCount).
    void SetTickClock(DWORD (*clock)()) { m_pClock = clock; }

    int m_nState;
    int m_nFrameSize;
    std::atomic<DWORD> m_dwStartTick;
    std::atomic<DWORD> m_dwLastRepaint;
    std::atomic<int> m_nRunning;

private:
    DWORD Now() const { return m_pClock ? m_pClock() : ::GetTickCount(); }
    bool OnWindowThread() const;
    // Raises the end of the countdown when one is pending and this is the
    // window's thread.
    void DeliverExpiry();

    DWORD (*m_pClock)();
    std::atomic<int> m_nExpired;  // the countdown ended; code 2 not yet sent
};

}  // namespace WEXA
