#pragma once
// The LCD page's 395 x 150 progress window while pictures are sent: a title
// (text 861), a percentage line and a progress bar on a dark background.
// Window name "LEDWaitDlg"; it has no owner, so the main window stays enabled
// beside it, and it is centred in the work area of its monitor.
//
// Closing as for LEDWaitDlg: RequestClose from any thread (LatchedWaitDialog).
// The control pointers are null before the window exists and again once it is
// gone (the engine deletes the controls with the window), so nothing reaches a
// deleted control.
#include <windows.h>

#include "CRect.h"
#include "LatchedWaitDialog.h"

namespace WEXA {
class MText;
class MProgress;
}  // namespace WEXA

class LEDWaitDlg2 : public LatchedWaitDialog
{
public:
    LEDWaitDlg2();
    ~LEDWaitDlg2() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;

    // Creates the window (the argument is not used: no owner), centres it in the
    // work area and runs it modally; returns the modal result, 0xFFFFFFFF when
    // the window could not be created.
    UINT DoModal(HWND unused);

    // Any thread: shows "Loading: <percent>%" and the bar at percent (posted
    // to the window; nothing when it is gone).
    void PostProgress(int percent);
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;

    WEXA::MText* m_titleText;
    WEXA::MText* m_statusText;
    WEXA::MProgress* m_progress;

protected:
    void OnWindowGone() override;
};

// Window name of the LCD send window.
inline constexpr const wchar_t* kLEDWaitDlg2WindowName = L"LEDWaitDlg";
