#include "LEDWaitDlg2.h"

#include <cwchar>

#include "MLevelCtrl.h"
#include "MText.h"
#include "services/LanguageText.h"

namespace {
// The percentage shown when sending starts.
const int kFirstPercent = 1;
}  // namespace

LEDWaitDlg2::LEDWaitDlg2() : m_titleText(nullptr), m_statusText(nullptr), m_progress(nullptr) {}

LEDWaitDlg2::~LEDWaitDlg2() = default;

UINT LEDWaitDlg2::DoModal(HWND)
{
    if (!Create(nullptr, kLEDWaitDlg2WindowName, 0x96020000, WS_EX_TOOLWINDOW,
                CRect(0, 0, 395, 150)))
        return 0xFFFFFFFF;
    CenterWindow();
    LoadBKImage(L"img_loading_bkg.png");
    return ShowModal(SW_SHOW);
}

namespace {

// The send's progress in wParam (0-100).
const UINT kProgressMessage = WM_APP + 25;

}  // namespace

void LEDWaitDlg2::PostProgress(int percent)
{
    if (HWND window = GetSafeHwnd()) ::PostMessageW(window, kProgressMessage, WPARAM(percent), 0);
}

LONG LEDWaitDlg2::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    if (msg != kProgressMessage) return LatchedWaitDialog::OnWindowMessage(msg, wparam, lparam);
    const int percent = wparam > 100 ? 100 : int(wparam);
    if (m_statusText) {
        wchar_t text[32];
        swprintf(text, 32, L"Loading: %d%%", percent);
        m_statusText->SetTitle(text);
        m_statusText->InvalidateRect(nullptr, 0);
    }
    if (m_progress) m_progress->SetProgress(percent);
    return 0;
}

int LEDWaitDlg2::OnInitDialog()
{
    MDialog::OnInitDialog();
    m_pm.SetBackColor(0x351806, 0x351806);
    StartWaitWindow();
    return 1;
}

void LEDWaitDlg2::InitUI(CRect client)
{
    m_titleText = dynamic_cast<WEXA::MText*>(
        CreateArea(L"MText", 30, CRect(17, 15, 167, 35), GetLanguageText(861), 1, 1));
    // Light texts on the dark card, as the window's other captions.
    if (m_titleText) {
        m_titleText->SetTextColor(Gdiplus::Color(0xFFE8ECF3));
        m_titleText->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
    }
    CString status;
    status.Format(L"%s: %d%%", static_cast<const wchar_t*>(GetLanguageText(864)), kFirstPercent);
    m_statusText =
        dynamic_cast<WEXA::MText*>(CreateArea(L"MText", 31, CRect(30, 60, 190, 80), status, 1, 1));
    if (m_statusText) m_statusText->SetTextColor(Gdiplus::Color(0xFFC9D0DC));
    m_progress = dynamic_cast<WEXA::MProgress*>(
        CreateControl(L"MProgress", 32, CRect(30, 80, client.right - 30, 90), L"", 1, 1));
    if (m_progress) {
        m_progress->SetMaxProgress(100);
        // The bar shows the percentage the line says, on a track that can be
        // seen on the dark card.
        m_progress->m_clrLine = 0x50FFFFFF;
        m_progress->m_clrFill = 0xFF6A90EE;
        m_progress->SetProgress(kFirstPercent);
    }
}

void LEDWaitDlg2::OnWindowGone()
{
    // The engine deletes the controls with the window.
    m_titleText = nullptr;
    m_statusText = nullptr;
    m_progress = nullptr;
}
