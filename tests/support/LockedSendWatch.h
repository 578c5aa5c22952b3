#pragma once
// Catches, on a window's UI thread, every message another thread makes it
// handle while that other thread holds a given lock: a blocking window call
// (SendMessage, SetWindowText, ShowWindow of a window of the UI thread, ...)
// made with the lock held. Such a call deadlocks as soon as the UI thread
// waits for the same lock, so it is a fault even when a run survives it.
//
//     testutil::LockedSendWatch watch(dlg.DeviceStateLock());  // on the UI thread
//     ...
//     EXPECT_EQ(watch.Violations(), std::vector<std::string>());
//
// The main-window harness keeps one on the device-state lock for its whole
// life and fails the test that made such a call.
//
// The sender of a message cannot be named from the receiving thread: a
// message that arrives while another thread holds the lock is caught when
// that holder keeps the lock until the message is served (it waits for it),
// up to five seconds. A test helper thread that sends while a long worker task
// holds the lock may thus be taken for the worker: helpers make no blocking
// call to the window's thread where they can avoid it (read titles with
// InternalGetWindowText). WM_NULL (a watchdog's probe) and WM_DEVICECHANGE
// (the system's broadcast) are never checked: the program sends neither.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "CLock.h"

namespace testutil {

class LockedSendWatch
{
public:
    // Watches the calling thread's windows.
    explicit LockedSendWatch(CCriticalLock& lock);
    ~LockedSendWatch();
    LockedSendWatch(const LockedSendWatch&) = delete;
    LockedSendWatch& operator=(const LockedSendWatch&) = delete;

    // One line per message: its number and the window's class and title.
    std::vector<std::string> Violations() const;
    void Clear();

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wparam, LPARAM lparam);
    void Check(const CWPSTRUCT& message, bool sentByThisThread);

    CCriticalLock& lock_;
    HHOOK hook_ = nullptr;
    DWORD thread_ = 0;
    LockedSendWatch* previous_ = nullptr;
    mutable std::mutex guard_;
    std::vector<std::string> violations_;
};

}  // namespace testutil
