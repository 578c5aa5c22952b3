#include "WaitDlg.h"

WaitDlg::WaitDlg() = default;

WaitDlg::~WaitDlg() = default;

void WaitDlg::InitUI(CRect)
{
    SetLayeredWindow(1);
    LoadBKImage(L"loading.png");
    SetBackMode(WEXA::BACK_MODE_FRAME, 12);
    CreateSpinner();
}
