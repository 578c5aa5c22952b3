#pragma once
// What the LCD page's two wait windows (the spinner LEDWaitDlg and the send
// window LEDWaitDlg2) share: a topmost window with the 10 ms timer that is
// dragged by its body and closed through a DialogCloseLatch, so RequestClose
// may be called from any thread at any time (a request made before the window
// exists is kept and honoured when it appears; one made after it is gone has
// no effect). Neither has anything to lay out again, answer or do when it is
// destroyed beyond letting the latch go.
#include <windows.h>

#include "CRect.h"
#include "DialogCloseLatch.h"
#include "MDialog.h"

class LatchedWaitDialog : public WEXA::MDialog
{
public:
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnDestroy() override;
    void OnDestroyMessage(HWND hwnd) override;

    // Any thread. See above. DoOK hides MDialog::DoOK for these windows.
    void RequestClose(UINT result) { m_closeLatch.Request(result); }
    void DoOK() { RequestClose(IDOK); }
    bool CloseRequested() const { return m_closeLatch.Requested(); }

protected:
    // Topmost, the 10 ms timer, dragged by its body, and the latch attached
    // to the window: call from OnInitDialog once the window exists.
    void StartWaitWindow();
    // Before the engine deletes the controls with the window.
    virtual void OnWindowGone() {}

    DialogCloseLatch m_closeLatch;
};
