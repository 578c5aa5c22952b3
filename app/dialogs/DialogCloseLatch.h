#pragma once
// Close requests for a dialog that another thread ends (the wait dialogs the
// worker closes when its task is done).
//
// The worker may finish before the dialog's window exists: the task is queued
// first and the window is created afterwards, and a close request posted to no
// window would be lost, leaving the user in the modal loop for ever. The latch
// keeps such a request and posts it as soon as the window exists (Attach, at
// the end of OnInitDialog); once the window is gone (Detach) requests have no
// effect, so a late close never reaches a later window.
//
// Request runs on any thread; Attach and Detach on the dialog's UI thread.
// The latch's lock is a leaf: only PostMessageW runs under it.
#include <windows.h>

#include <mutex>

class DialogCloseLatch
{
public:
    // Asks the dialog to close with result (the modal run returns it): posts the
    // close request now while the window exists, keeps it until the window
    // exists when it does not yet, and does nothing once the window is gone.
    void Request(UINT result);
    // The window exists: a kept request is posted to it now.
    void Attach(HWND window);
    // The window is gone.
    void Detach();

    // A request was made (kept or posted) since construction.
    bool Requested() const;
    // The window exists and requests go to it.
    bool Attached() const;

private:
    enum class State { NotShown, Shown, Gone };

    mutable std::mutex m_lock;
    State m_state = State::NotShown;
    HWND m_window = nullptr;
    bool m_pending = false;
    bool m_requested = false;
    UINT m_result = IDOK;
};
