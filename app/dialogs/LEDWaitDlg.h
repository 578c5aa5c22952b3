#pragma once
// The 102 x 102 animated spinner that keeps the user waiting while the worker
// performs a queued device task (the LCD page's GIF import and export use this
// class, WaitDlg is the same spinner for the profile apply and the factory
// reset). Window name "WaitDlg", owned by the main window, which stays disabled
// until the spinner closes.
//
// Closing: RequestClose (or DoOK) from any thread at any time
// (LatchedWaitDialog).
#include <windows.h>

#include "CRect.h"
#include "LatchedWaitDialog.h"

class LEDWaitDlg : public LatchedWaitDialog
{
public:
    LEDWaitDlg();
    ~LEDWaitDlg() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;

    // Creates the window centred over parent's window rectangle (in the monitor's
    // work area when parent is no window) and runs it modally; returns the modal
    // result (1 after RequestClose(IDOK)), 0xFFFFFFFF when the window could not
    // be created.
    UINT DoModal(HWND parent);

    // The spinner's rectangle (screen) centred over a parent window rectangle.
    static CRect PlaceOver(const RECT& parent);

protected:
    // Background colours from the per-user "theme_type", then the wait
    // window's start (StartWaitWindow): the spinner's and WaitDlg's.
    void InitSpinnerWindow();
    // The animated "loading.gif" as control 30.
    void CreateSpinner();
};

// Window name of the spinners (the exit sequence closes them by this name).
inline constexpr const wchar_t* kWaitDlgWindowName = L"WaitDlg";
