#pragma once
// The 102 x 102 animated spinner that keeps the user waiting while the worker
// performs a queued device task (the LCD page's GIF import and export use this
// class, WaitDlg is the same spinner for the profile apply and the factory
// reset). Window name "WaitDlg", owned by the main window, which stays disabled
// until the spinner closes.
//
// Closing: RequestClose (and DoOK, which hides MDialog::DoOK for this class)
// may be called from any thread at any time; a request made before the window
// exists is kept and honoured when it appears, one made after the window is
// gone has no effect (DialogCloseLatch).
#include <windows.h>

#include "CRect.h"
#include "DialogCloseLatch.h"
#include "MDialog.h"

class LEDWaitDlg : public WEXA::MDialog
{
public:
    LEDWaitDlg();
    ~LEDWaitDlg() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnDestroy() override;
    void OnDestroyMessage(HWND hwnd) override;

    // Creates the window centred over parent's window rectangle (in the monitor's
    // work area when parent is no window) and runs it modally; returns the modal
    // result (1 after RequestClose(IDOK)), 0xFFFFFFFF when the window could not
    // be created.
    UINT DoModal(HWND parent);

    // Any thread. See above.
    void RequestClose(UINT result) { m_closeLatch.Request(result); }
    void DoOK() { RequestClose(IDOK); }
    bool CloseRequested() const { return m_closeLatch.Requested(); }

    // The spinner's rectangle (screen) centred over a parent window rectangle.
    static CRect PlaceOver(const RECT& parent);

protected:
    // Background colours from the per-user "theme_type", topmost, the 10 ms
    // timer and dragging by the body: the spinner's and WaitDlg's start.
    void InitSpinnerWindow();
    // The animated "loading.gif" as control 30.
    void CreateSpinner();

    DialogCloseLatch m_closeLatch;
};

// Window name of the spinners (the exit sequence closes them by this name).
inline constexpr const wchar_t* kWaitDlgWindowName = L"WaitDlg";
