#include "AboutVIPDlg.h"

#include "MButton.h"
#include "MPicture.h"
#include "services/LanguageText.h"

namespace {
const UINT kPictureId = 30;
const UINT kCloseId = 31;
const int kPictureWidth = 1316;
}  // namespace

AboutVIPDlg::AboutVIPDlg() : m_picture(nullptr), m_closeButton(nullptr) {}

AboutVIPDlg::~AboutVIPDlg() = default;

CRect AboutVIPDlg::PictureRect(const CRect& client)
{
    const int left = (client.Width() - kPictureWidth) / 2;
    return CRect(left, client.top, left + kPictureWidth, client.bottom);
}

CRect AboutVIPDlg::CloseButtonRect(const CRect& client)
{
    return CRect(client.right - 60, 30, client.right - 32, 58);
}

int AboutVIPDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    m_pm.SetBackColor(0xF9F9F9, 0xF9F9F9);
    return 1;
}

void AboutVIPDlg::InitUI(CRect client)
{
    m_picture = dynamic_cast<WEXA::MPicture*>(
        CreateArea(L"MPicture", kPictureId, PictureRect(client), L"", 1, 0));
    if (m_picture) {
        m_picture->SetImage(L"img_vip2.png", 1);
        m_picture->SetShowMode(WEXA::SHOW_MODE_STRETCH, 4);
    }
    m_closeButton = dynamic_cast<WEXA::CImageButton*>(
        CreateControl(L"CImageButton", kCloseId, CloseButtonRect(client), L"", 1, 1));
    if (m_closeButton) {
        m_closeButton->SetImage(L"main_sysbtn_close.png", 4);
        m_closeButton->SetTooltip(GetLanguageText(1));
    }
}

void AboutVIPDlg::UISize(CRect) {}

LONG AboutVIPDlg::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    if (id == kCloseId) DoCancel();
    return 1;
}

void AboutVIPDlg::OnDestroyMessage(HWND hwnd)
{
    m_picture = nullptr;
    m_closeButton = nullptr;
    MDialog::OnDestroyMessage(hwnd);
}
