#pragma once
// The LCD page's 395 x 150 progress window while pictures are sent: a title
// (text 861), a percentage line and a progress bar on a dark background.
// Window name "LEDWaitDlg"; it has no owner, so the main window stays enabled
// beside it, and it is centred in the work area of its monitor.
//
// Closing as for LEDWaitDlg: RequestClose from any thread, kept until the
// window exists, no effect once it is gone. The control pointers are null
// before the window exists and again once it is gone (the engine deletes the
// controls with the window), so nothing reaches a deleted control.
#include <windows.h>

#include "CRect.h"
#include "DialogCloseLatch.h"
#include "MDialog.h"

namespace WEXA {
class MText;
class MProgress;
}  // namespace WEXA

class LEDWaitDlg2 : public WEXA::MDialog
{
public:
    LEDWaitDlg2();
    ~LEDWaitDlg2() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnDestroy() override;
    void OnDestroyMessage(HWND hwnd) override;

    // Creates the window (the argument is not used: no owner), centres it in the
    // work area and runs it modally; returns the modal result, 0xFFFFFFFF when
    // the window could not be created.
    UINT DoModal(HWND unused);

    void RequestClose(UINT result) { m_closeLatch.Request(result); }
    void DoOK() { RequestClose(IDOK); }
    bool CloseRequested() const { return m_closeLatch.Requested(); }

    WEXA::MText* m_titleText;
    WEXA::MText* m_statusText;
    WEXA::MProgress* m_progress;

private:
    DialogCloseLatch m_closeLatch;
};

// Window name of the LCD send window.
inline constexpr const wchar_t* kLEDWaitDlg2WindowName = L"LEDWaitDlg";
