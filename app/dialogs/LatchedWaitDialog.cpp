#include "LatchedWaitDialog.h"

void LatchedWaitDialog::UISize(CRect) {}

LONG LatchedWaitDialog::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

int LatchedWaitDialog::OnDestroy()
{
    return 0;
}

void LatchedWaitDialog::StartWaitWindow()
{
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetMTimer(10);
    EnableWndDrag(1);
    m_closeLatch.Attach(GetSafeHwnd());
}

void LatchedWaitDialog::OnDestroyMessage(HWND hwnd)
{
    m_closeLatch.Detach();
    OnWindowGone();
    MDialog::OnDestroyMessage(hwnd);
}
