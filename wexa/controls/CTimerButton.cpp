#include "CTimerButton.h"

#include "ControlRegistry.h"
#include "PaintManager.h"
#include "controls/ButtonPaint.h"
#include "controls/PushRules.h"
#include "framework/WindowUtil.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CTimerButton,
                      new CTimerButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

using buttonpaint::Repaint;

namespace {

const DWORD kCountdownMs = 10000;
const DWORD kRepaintMs = 800;
// The button's own window timer while the countdown runs: it ends the
// countdown on the window's thread.
const UINT kWindowTimerKey = 1;
const UINT kWindowTimerMs = 100;

}  // namespace

CTimerButton::CTimerButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_nState(enabled ? 0 : 3),
      m_nFrameSize(4),
      m_dwStartTick(0),
      m_dwLastRepaint(0),
      m_nRunning(0),
      m_pClock(nullptr),
      m_nExpired(0)
{
    m_uAlignment = 1;
    m_bRunTimer = 1;
}

CTimerButton::~CTimerButton() = default;

void CTimerButton::InitControl(PaintManager*)
{
    AddMTimer();
}

bool CTimerButton::OnWindowThread() const
{
    HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    if (!IsLiveWindow(wnd)) return true;
    return ::GetWindowThreadProcessId(wnd, nullptr) == ::GetCurrentThreadId();
}

void CTimerButton::DeliverExpiry()
{
    if (!m_nExpired.load() || !OnWindowThread()) return;
    if (!m_nExpired.exchange(0)) return;
    if (m_pManager) m_pManager->KillTimer(this, kWindowTimerKey);
    SendMessageW(2, 0, 0);
}

int CTimerButton::SetRun(int run)
{
    if (!m_bEnabled) return m_nRunning.load();
    m_nRunning = run;
    m_dwLastRepaint = 0;
    m_dwStartTick = Now();
    m_nExpired = 0;
    Repaint(this, 1);
    if (m_pManager) {
        if (run)
            m_pManager->SetTimer(this, kWindowTimerKey, kWindowTimerMs);
        else
            m_pManager->KillTimer(this, kWindowTimerKey);
    }
    return run;
}

int CTimerButton::OnControlTimer()
{
    DeliverExpiry();
    if (!m_nRunning.load() || !m_bVisible) return 0;
    const DWORD now = Now();
    if (now - m_dwLastRepaint.load() <= kRepaintMs) return 1;
    m_dwLastRepaint = now;
    Repaint(this, 1);
    if (now - m_dwStartTick.load() > kCountdownMs) {
        m_nRunning = 0;
        m_nExpired = 1;
        DeliverExpiry();
    }
    return 1;
}

int CTimerButton::SetControlFocus(int focus)
{
    if (!m_bEnabled) return 0;
    if (focus == m_bFocused) return 1;
    m_bFocused = focus;
    Repaint(this, 1);
    return 1;
}

void CTimerButton::SetControlEnabled(int enabled)
{
    pushrules::Enable(this, enabled);
}

int CTimerButton::OnControlMouseMove(UINT, CPoint point)
{
    return pushrules::Move(this, point);
}

int CTimerButton::OnControlLButtonDown(UINT, CPoint point)
{
    return pushrules::Press(this, point);
}

int CTimerButton::OnControlLButtonUp(UINT, CPoint point)
{
    return pushrules::Release(this, point, false, [this] {
        m_nRunning = 0;
        m_nExpired = 0;
        if (m_pManager) m_pManager->KillTimer(this, kWindowTimerKey);
        SendMessageW(2, 0, 0);
    });
}

int CTimerButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

void CTimerButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        CString text = m_strTitle;
        if (m_nRunning.load() && !m_strTitle.IsEmpty()) {
            const DWORD elapsed = Now() - m_dwStartTick.load();
            text.Format(L"%s(%ds)", static_cast<const wchar_t*>(m_strTitle),
                        10 - static_cast<int>(elapsed / 1000));
        }
        for (int i = 0; i < 4; ++i) {
            buttonpaint::DrawFaceFrame(g, this, i < m_nFrameCount ? i : 0,
                                       CRect(i * w, 0, i * w + w, h), m_nFrameSize);
            if (m_bFocused) {
                Gdiplus::Pen dots(Gdiplus::Color(0xFE4CFF29), 1.0f);
                dots.SetDashStyle(Gdiplus::DashStyleDot);
                g.DrawRectangle(&dots, i * w + 6, 2, w - 12, h - 4);
            }
            const float d = i == 2 ? 1.0f : 0.0f;
            buttonpaint::DrawButtonText(
                g, this, text,
                Gdiplus::RectF(i * w + d, d, static_cast<float>(w), static_cast<float>(h)),
                i == 3 ? Gdiplus::Color(0xFF808080) : m_clrText, buttonpaint::TextAlign::Centre,
                false);
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
}

}  // namespace WEXA
