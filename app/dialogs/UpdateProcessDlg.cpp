#include "UpdateProcessDlg.h"

#include "MButton.h"
#include "MLevelCtrl.h"
#include "MText.h"
#include "services/LanguageText.h"

UpdateProcessDlg::UpdateProcessDlg() = default;

UpdateProcessDlg::~UpdateProcessDlg()
{
    m_captionText = nullptr;
    m_progress = nullptr;
}

UINT UpdateProcessDlg::DoModal(HWND owner)
{
    if (!Create(owner, kUpdateDlgWindowName, 0x96020000, 0x80, CRect(0, 0, 360, 140)))
        return 0xFFFFFFFF;
    CenterWindow(nullptr);
    return ShowModal(SW_SHOW);
}

int UpdateProcessDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    m_closeLatch.Attach(GetSafeHwnd());
    return 1;
}

void UpdateProcessDlg::InitUI(CRect client)
{
    SetLayeredWindow(1);
    SetBackMode(WEXA::BACK_MODE_FRAME, 16);
    LoadBKImage(L"bk_msgbox.png");
    const int right = client.right - 20;
    m_captionText =
        dynamic_cast<WEXA::MText*>(CreateArea(L"MText", 31, CRect(10, 30, right, 50), L"", 1, 1));
    if (m_captionText) {
        m_captionText->SetTextColor(Gdiplus::Color(0xFF191919));
        m_captionText->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
    }
    m_progress = dynamic_cast<WEXA::MProgress*>(
        CreateControl(L"MProgress", 32, CRect(10, 60, right, 80), L"", 1, 1));
    if (m_progress) {
        m_progress->SetMaxProgress(100);
        // The theme's accent on a visible track (the default red fill reads
        // as an error).
        m_progress->m_clrLine = 0xFFD5DBE5;
        m_progress->m_clrFill = 0xFF4977E5;
    }
    // The way out: the download stops and the window closes.
    const int middle = client.Width() / 2;
    if (auto* cancel = dynamic_cast<WEXA::MButton*>(
            CreateControl(L"MButton", kCancelId, CRect(middle - 50, 94, middle + 50, 130),
                          GetLanguageText(25), 1, 1))) {
        cancel->SetImage(L"img_button.png", 4);
        cancel->SetFrameSize(8);
    }
    // Says what the window is for before the first percentage arrives.
    if (m_captionText) m_captionText->SetTitle(Caption(m_shownPercent < 0 ? 0 : m_shownPercent));
}

void UpdateProcessDlg::UISize(CRect) {}

LONG UpdateProcessDlg::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    if (id == kCancelId) DoCancel();
    return 1;
}

void UpdateProcessDlg::OnDestroyMessage(HWND hwnd)
{
    // The engine deletes the controls with the window.
    m_captionText = nullptr;
    m_progress = nullptr;
    m_closeLatch.Detach();
    MDialog::OnDestroyMessage(hwnd);
}

BOOL UpdateProcessDlg::DestroyDialog()
{
    m_progress = nullptr;
    return DestroyWindow();
}

void UpdateProcessDlg::SetProgress(int percent)
{
    m_shownPercent = percent;
    if (m_progress) m_progress->SetProgress(percent);
    if (m_captionText) m_captionText->SetTitle(Caption(percent));
}

CString UpdateProcessDlg::Caption(int percent)
{
    CString caption;
    caption.Format(L"%s: %d%%", static_cast<const wchar_t*>(GetLanguageText(539, L"LAN")), percent);
    return caption;
}
