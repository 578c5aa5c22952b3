#include "LockedSendWatch.h"

#include <cstdio>

namespace testutil {

namespace {

// The watch of each thread (hooks are per thread; the newest one is asked).
thread_local LockedSendWatch* t_current = nullptr;

// How long a holder that is not waiting for this thread may keep the lock (a
// worker task) before the message counts as its own: one at work lets go
// within a device transfer's time-outs, even on a loaded machine; one that
// waits for this message never does.
const DWORD kHolderWaitMs = 5000;

}  // namespace

LockedSendWatch::LockedSendWatch(CCriticalLock& lock)
    : lock_(lock),
      thread_(GetCurrentThreadId()),
      previous_(t_current)
{
    t_current = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &LockedSendWatch::Proc, nullptr, thread_);
}

LockedSendWatch::~LockedSendWatch()
{
    if (hook_) UnhookWindowsHookEx(hook_);
    if (t_current == this) t_current = previous_;
}

std::vector<std::string> LockedSendWatch::Violations() const
{
    std::lock_guard<std::mutex> hold(guard_);
    return violations_;
}

void LockedSendWatch::Clear()
{
    std::lock_guard<std::mutex> hold(guard_);
    violations_.clear();
}

LRESULT CALLBACK LockedSendWatch::Proc(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION && t_current)
        t_current->Check(*reinterpret_cast<const CWPSTRUCT*>(lparam), wparam != 0);
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void LockedSendWatch::Check(const CWPSTRUCT& message, bool sentByThisThread)
{
    // A message another thread sent, or one this thread sends while it
    // serves such a call (ShowWindow of another thread's window arrives as
    // the system's own request, and its WM_SHOWWINDOW follows from here).
    if (sentByThisThread && !InSendMessage()) return;
    // Messages only the system and test threads send, never the program: the
    // liveness probe of a watchdog (WM_NULL, as the system's own hung-window
    // check sends it) and the device broadcasts. A watch that held them up
    // for a busy lock holder would itself keep the window from answering.
    if (message.message == WM_NULL || message.message == WM_DEVICECHANGE) return;
    // Free, or held by this thread: no other thread waits with it.
    if (lock_.TryLock()) {
        lock_.Unlock();
        return;
    }
    // Held by another thread. The sender cannot be named here: when the
    // holder is the sender, it waits for this message and keeps the lock for
    // as long as the message is not served; any other holder is at work and
    // lets the lock go (a test helper thread that redraws or reads a title
    // while a worker task runs).
    const HANDLE holder = lock_.GetSection()->OwningThread;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kHolderWaitMs) {
        Sleep(1);
        if (lock_.GetSection()->OwningThread != holder) return;
        if (lock_.TryLock()) {
            lock_.Unlock();
            return;
        }
    }
    char className[64] = {}, title[64] = {};
    GetClassNameA(message.hwnd, className, sizeof className);
    InternalGetWindowText(message.hwnd, reinterpret_cast<LPWSTR>(title), sizeof title / 2);
    char titleNarrow[32] = {};
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(title);
    for (int i = 0; i < 31 && wide[i]; ++i) titleNarrow[i] = wide[i] < 128 ? char(wide[i]) : '?';
    char line[200];
    snprintf(line, sizeof line, "message 0x%04X to %s \"%s\" while another thread holds the lock",
             message.message, className, titleNarrow);
    std::lock_guard<std::mutex> hold(guard_);
    violations_.push_back(line);
}

}  // namespace testutil
