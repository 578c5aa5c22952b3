#include "LEDWaitDlg.h"

#include "MPicture.h"
#include "services/RegistrySettings.h"

namespace {
const int kSpinnerSize = 102;
}

LEDWaitDlg::LEDWaitDlg() = default;

LEDWaitDlg::~LEDWaitDlg() = default;

CRect LEDWaitDlg::PlaceOver(const RECT& parent)
{
    const int x = parent.left + (parent.right - parent.left - kSpinnerSize) / 2;
    const int y = parent.top + (parent.bottom - parent.top - kSpinnerSize) / 2;
    return CRect(x, y, x + kSpinnerSize, y + kSpinnerSize);
}

UINT LEDWaitDlg::DoModal(HWND parent)
{
    RECT over = {0, 0, 0, 0};
    const bool hasParent = parent && ::IsWindow(parent) && ::GetWindowRect(parent, &over);
    if (!Create(parent, kWaitDlgWindowName, 0x96020000, WS_EX_TOOLWINDOW,
                hasParent ? PlaceOver(over) : CRect(0, 0, kSpinnerSize, kSpinnerSize)))
        return 0xFFFFFFFF;
    if (!hasParent) CenterWindow();
    return ShowModal(SW_SHOW);
}

void LEDWaitDlg::InitSpinnerWindow()
{
    if (ReadRegistryInt(L"theme_type") == 1)
        m_pm.SetBackColor(0x110B06, 0xCCB9AF);
    else
        m_pm.SetBackColor(0xFBFBFB, 0x6C4CF7);
    StartWaitWindow();
}

int LEDWaitDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    InitSpinnerWindow();
    return 1;
}

void LEDWaitDlg::CreateSpinner()
{
    auto* gif = dynamic_cast<WEXA::CGifPicture*>(
        CreateControl(L"CGifPicture", 30, CRect(1, 1, 101, 101), L"", 1, 1));
    if (!gif) return;
    gif->SetImage(L"loading.gif", 1);
    gif->SetRunState(1, 0);
    gif->AddMTimer();
}

void LEDWaitDlg::InitUI(CRect)
{
    SetLayeredWindow(1);
    LoadBKImage(L"loading.png");
    CreateSpinner();
}
