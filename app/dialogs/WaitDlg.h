#pragma once
// The spinner of the profile apply and the factory reset: LEDWaitDlg with its
// background drawn nine-slice (12-pixel corners). Run with LEDWaitDlg::DoModal;
// the main window keeps it in a WaitDialogSlot<WaitDlg> that the worker closes.
#include "LEDWaitDlg.h"

class WaitDlg : public LEDWaitDlg
{
public:
    WaitDlg();
    ~WaitDlg() override;

    void InitUI(CRect client) override;
};
