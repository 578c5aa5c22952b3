// PaintManager: the self-drawn caret, the window's tooltip, the balloon tip and
// the message/progress overlay. UI thread only.
#include <windows.h>
#include <commctrl.h>

#include "MAirBladder.h"
#include "GlyphFaces.h"
#include "MControl.h"
#include "MControlFont.h"
#include "PaintManager.h"
#include "PaintObservers.h"
#include "framework/PaintManagerInternal.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

const UINT kTooltipToolId = 1313;

EngineTimerObserver g_timerObserver = nullptr;

void StopEngineTimer(PaintManager& engine, UINT id)
{
    if (IsLiveWindow(engine.m_hWndPaint)) ::KillTimer(engine.m_hWndPaint, id);
}

// The caret owner is a rich-edit control, an MControl at the start of its object.
MControl* CaretControl(MRichEdit* owner)
{
    return reinterpret_cast<MControl*>(owner);
}

}  // namespace

void SetEngineTimerObserver(EngineTimerObserver observer)
{
    g_timerObserver = observer;
}

void StartEngineTimer(PaintManager& engine, UINT id, UINT periodMs)
{
    if (IsLiveWindow(engine.m_hWndPaint)) ::SetTimer(engine.m_hWndPaint, id, periodMs, nullptr);
    if (g_timerObserver) g_timerObserver(&engine, id, periodMs);
}

// ---- caret ----

int PaintManager::CreateCaret(HBITMAP bitmap, int width, int height)
{
    // The system caret only carries the position; it is never shown.
    if (IsLiveWindow(m_hWndPaint)) ::CreateCaret(m_hWndPaint, bitmap, width, height);
    m_rcCaret.right = m_rcCaret.left + width;
    m_rcCaret.bottom = m_rcCaret.top + height;
    return 1;
}

int PaintManager::SetCaretPos(MRichEdit* owner, int x, int y)
{
    if (!::SetCaretPos(x, y)) return 0;
    m_pCaretOwner = owner;
    CRect old = m_rcCaret;
    m_rcCaret.SetRect(x, y, x + old.Width(), y + old.Height());
    if (m_bLayered) {
        Invalidate();
    } else {
        InvalidateRect(old, 0);
        InvalidateRect(m_rcCaret, 0);
    }
    return 1;
}

int PaintManager::ShowCaret(int show)
{
    show = show ? 1 : 0;
    if (show == m_bCaretShown) return 1;
    m_bCaretShown = show;
    if (show) {
        StartEngineTimer(*this, kCaretTimer, ::GetCaretBlinkTime());
        if (!m_bCaretDrawn) {
            InvalidateRect(m_rcCaret, 0);
            m_bCaretDrawn = 1;
        }
    } else {
        StopEngineTimer(*this, kCaretTimer);
        if (m_bCaretDrawn) InvalidateRect(m_rcCaret, 0);
        m_bCaretDrawn = 0;
    }
    return 1;
}

void PaintManager::DrawCaret(HDC dc, const CRect& clip)
{
    if (m_pCaretOwner) {
        MControl* owner = CaretControl(m_pCaretOwner);
        bool focused = owner->IsFocused() || owner->IsFocusControl();
        if (!focused || ::GetFocus() != m_hWndPaint) {
            StopEngineTimer(*this, kCaretTimer);
            if (m_bCaretDrawn) InvalidateRect(m_rcCaret, 0);
            m_bCaretDrawn = 0;
            return;
        }
    }
    if (!m_bCaretDrawn || !m_bCaretShown || !m_pCaretOwner) return;
    CRect part;
    if (!part.IntersectRect(&m_rcCaret, &clip)) return;
    Gdiplus::ARGB colour = 0xFE000000;
    if (auto* font = dynamic_cast<MControlFont*>(CaretControl(m_pCaretOwner)))
        colour |= font->m_clrText.GetValue() & 0x00FFFFFF;
    Gdiplus::Graphics g(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    g.FillRectangle(&brush, static_cast<INT>(part.left), static_cast<INT>(part.top),
                    static_cast<INT>(part.Width()), static_cast<INT>(part.Height()));
}

// ---- tooltip ----

namespace {

void SetToolText(HWND tooltip, HWND owner, const wchar_t* text)
{
    TOOLINFOW ti = {};
    ti.cbSize =
        TTTOOLINFOW_V2_SIZE;  // the tool record without its trailing reserved field (44 bytes in 32-bit)
    ti.hwnd = owner;
    ti.uId = kTooltipToolId;
    ti.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace

void PaintManager::SetTooltip(const wchar_t* text, CRect)
{
    if (!text || !*text) {
        if (IsLiveWindow(m_hWndTooltip)) {
            SetToolText(m_hWndTooltip, m_hWndPaint, L"");
            ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, FALSE, 0);
        }
        return;
    }
    if (IsLiveWindow(m_hWndTooltip)) {
        SetToolText(m_hWndTooltip, m_hWndPaint, text);
        ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, TRUE, 0);
        return;
    }
    if (!IsLiveWindow(m_hWndPaint)) return;

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_hWndTooltip =
        ::CreateWindowExW(WS_EX_TOPMOST, L"tooltips_class32", L"tooltips_class32",
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint, nullptr, nullptr, nullptr);
    if (!m_hWndTooltip) return;
    ::SendMessageW(m_hWndTooltip, TTM_SETMAXTIPWIDTH, 0, 256);
    ::SendMessageW(m_hWndTooltip, TTM_SETTIPBKCOLOR, 0xF5F5F5, 0);
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_PARSELINKS;
    ti.hwnd = m_hWndPaint;
    ti.uId = kTooltipToolId;
    ::GetClientRect(m_hWndPaint, &ti.rect);
    ti.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_hWndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SetToolText(m_hWndTooltip, m_hWndPaint, text);
    if (::GetACP() == 936) {
        RECT margin = {2, 3, 0, 0};
        ::SendMessageW(m_hWndTooltip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }
    ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, TRUE, 0);
}

void PaintManager::ClearTooltip()
{
    if (IsLiveWindow(m_hWndTooltip)) {
        SetToolText(m_hWndTooltip, m_hWndPaint, L"");
        ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, FALSE, 0);
    }
    m_nTooltipCtrlID = 0;
    m_pTooltipOwner = nullptr;
}

void PaintManager::DestroyTooltipAndBalloon()
{
    if (IsLiveWindow(m_hWndTooltip)) ::DestroyWindow(m_hWndTooltip);
    m_hWndTooltip = nullptr;
    if (m_pAirBladder) {
        m_pAirBladder->DestroyWindow();
        delete m_pAirBladder;
        m_pAirBladder = nullptr;
    }
}

// ---- balloon ----

int PaintManager::SetAirBladderMsg(const wchar_t* text, POINT screenPoint, AIRBLADDER_TYPE type,
                                   AIRBLADDER_MODE mode)
{
    if (!m_pAirBladder) {
        m_pAirBladder = new MAirBladder();
        // Created hidden: a visible popup would take the activation and the
        // keyboard from this window the first time a tip is shown. The
        // callers show it (without activating it) once it has its text.
        m_pAirBladder->Create(m_hWndPaint, L"AirBladder Window", 0x96020080 & ~WS_VISIBLE, 0,
                              CRect(0, 0, 0, 0), nullptr);
        m_pAirBladder->LoadBKImage(CString(L"img_tip_bk.png"));
        m_pAirBladder->LoadArrowLImage(CString(L"img_tip_arrow_left.png"));
        m_pAirBladder->LoadArrowRImage(CString(L"img_tip_arrow_right.png"));
        m_pAirBladder->LoadArrowTImage(CString(L"img_tip_arrow_top.png"));
    }
    return m_pAirBladder->SetAirBladderMsg(text, screenPoint, type, mode);
}

int PaintManager::ShowAirBladder(int show, int key)
{
    if (!m_pAirBladder) return 0;
    if (key != 0) {
        if (show)
            m_nAirBladderKey = key;
        else if (key != m_nAirBladderKey)
            return 0;  // one control does not hide another control's balloon
    }
    // A hover tip never takes the activation from the window under the pointer.
    return m_pAirBladder->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
}

// ---- overlay ----

namespace {

void InvalidateOverlay(PaintManager& engine)
{
    if (engine.m_bLayered)
        engine.Invalidate();
    else
        engine.InvalidateRect(engine.m_rcOverlay, 0);
}

}  // namespace

void PaintManager::SetMessage(CString text, CRect rect, MsgLevel level)
{
    StopEngineTimer(*this, kOverlayHoldTimer);
    StopEngineTimer(*this, kOverlayFadeTimer);
    // A message takes the place of a progress bar that is still stepping.
    StopEngineTimer(*this, kProgressTimer);
    m_nOverlayAlpha = 255;
    m_strOverlayText = text;
    m_overlayLevel = level;
    m_nShownProgress = 0;
    m_rcOverlay = rect;
    InvalidateOverlay(*this);
    StartEngineTimer(*this, kOverlayHoldTimer, 3000);
}

void PaintManager::SetProgress(int percent, CString text, CRect rect)
{
    if (percent == m_nTargetProgress) return;
    if (percent < 5) StopEngineTimer(*this, kOverlayFadeTimer);
    m_nOverlayAlpha = 255;
    m_strOverlayText = text;
    m_nTargetProgress = percent;
    if (rect.IsRectEmpty()) {
        CRect client;
        if (IsLiveWindow(m_hWndPaint)) GetClientRect(client);
        m_rcOverlay.SetRect(client.left, client.bottom - 60, client.right, client.bottom - 2);
    } else {
        m_rcOverlay = rect;
    }
    if (m_nTargetProgress - m_nShownProgress <= 5) {
        m_nShownProgress = m_nTargetProgress;
        InvalidateOverlay(*this);
        if (m_nShownProgress >= 100) StartEngineTimer(*this, kOverlayFadeTimer, 50);
    } else {
        StartEngineTimer(*this, kProgressTimer, 10);
    }
}

void PaintManager::OnOverlayTimer(UINT id)
{
    if (id == kOverlayHoldTimer) {
        StopEngineTimer(*this, kOverlayHoldTimer);
        StartEngineTimer(*this, kOverlayFadeTimer, 50);
    } else if (id == kOverlayFadeTimer) {
        m_nOverlayAlpha -= 10;
        if (m_nOverlayAlpha < 20) {
            m_nOverlayAlpha = 0;
            m_nShownProgress = 0;
            StopEngineTimer(*this, kOverlayFadeTimer);
            if (m_bLayered) Invalidate();
        }
        InvalidateRect(m_rcOverlay, 0);
    } else if (id == kProgressTimer) {
        // Steps of 2 that stop at the target and show exactly the target, also
        // when the distance is odd.
        m_nShownProgress += 2;
        if (m_nShownProgress >= m_nTargetProgress) {
            m_nShownProgress = m_nTargetProgress;
            StopEngineTimer(*this, kProgressTimer);
        }
        InvalidateOverlay(*this);
        if (m_nShownProgress >= 100) StartEngineTimer(*this, kOverlayFadeTimer, 50);
    }
}

void DrawOverlay(PaintManager& e, HDC dc)
{
    if (e.m_nOverlayAlpha <= 10 || e.m_strOverlayText.IsEmpty()) return;
    const BYTE a = static_cast<BYTE>(e.m_nOverlayAlpha > 255 ? 255 : e.m_nOverlayAlpha);
    const CRect r = e.m_rcOverlay;
    Gdiplus::Graphics g(dc);

    Gdiplus::SolidBrush outer(Gdiplus::Color(a, 0xE6, 0xE6, 0xE6));
    g.FillRectangle(&outer, static_cast<INT>(r.left), static_cast<INT>(r.top),
                    static_cast<INT>(r.Width()), static_cast<INT>(r.Height()));
    Gdiplus::SolidBrush inner(Gdiplus::Color(a, 0xFE, 0xFE, 0xFE));
    g.FillRectangle(&inner, static_cast<INT>(r.left + 2), static_cast<INT>(r.top + 2),
                    static_cast<INT>(r.Width() - 4), static_cast<INT>(r.Height() - 4));

    Gdiplus::FontFamily* family = e.FindTempFont(e.m_strOverlayFont);
    Gdiplus::SolidBrush text(Gdiplus::Color(a, 0x05, 0x05, 0x05));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);

    if (e.m_nShownProgress <= 0) {
        if (family) {
            Gdiplus::Font font(family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
            Gdiplus::RectF box(static_cast<float>(r.left + 5), static_cast<float>(r.top + 5),
                               190.0f, 50.0f);
            GlyphFaces::DrawString(g, e.m_strOverlayText, e.m_strOverlayText.GetLength(), &font,
                                   box, &format, &text);
        }
        return;
    }
    if (family) {
        Gdiplus::Font font(family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::RectF box(static_cast<float>(r.left + 5), static_cast<float>(r.top + 5),
                           static_cast<float>(r.Width() - 10), 30.0f);
        GlyphFaces::DrawString(g, e.m_strOverlayText, e.m_strOverlayText.GetLength(), &font, box,
                               &format, &text);
    }
    Gdiplus::Pen line(Gdiplus::Color(0xC8C8C8C8), 1.0f);
    g.DrawLine(&line, static_cast<INT>(r.left + 10), static_cast<INT>(r.bottom - 15),
               static_cast<INT>(r.right - 20), static_cast<INT>(r.bottom - 15));
    int shown = e.m_nShownProgress > 100 ? 100 : e.m_nShownProgress;
    Gdiplus::SolidBrush bar(Gdiplus::Color(0xFEFFE100));
    g.FillRectangle(&bar, static_cast<INT>(r.left + 10), static_cast<INT>(r.bottom - 16),
                    static_cast<INT>(shown * (r.Width() - 20) / 100), 3);
}

}  // namespace WEXA
