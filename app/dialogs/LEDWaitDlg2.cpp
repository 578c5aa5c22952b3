#include "LEDWaitDlg2.h"

#include "MLevelCtrl.h"
#include "MText.h"
#include "services/LanguageText.h"

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
    if (m_titleText) m_titleText->SetTextColor(Gdiplus::Color(0xFFEE6E01));
    m_statusText = dynamic_cast<WEXA::MText*>(
        CreateArea(L"MText", 31, CRect(30, 60, 190, 80), L"Loading: 1%", 1, 1));
    if (m_statusText) m_statusText->SetTextColor(Gdiplus::Color(0xFF969696));
    m_progress = dynamic_cast<WEXA::MProgress*>(
        CreateControl(L"MProgress", 32, CRect(30, 80, client.right - 30, 90), L"", 1, 1));
    if (m_progress) {
        m_progress->SetMaxProgress(100);
        m_progress->SetProgress(0);
    }
}

void LEDWaitDlg2::OnWindowGone()
{
    // The engine deletes the controls with the window.
    m_titleText = nullptr;
    m_statusText = nullptr;
    m_progress = nullptr;
}
