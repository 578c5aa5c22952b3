#pragma once
// Runs the real main window (KeyboardDlg) in a test, against the simulated
// keyboard installed as the process's HID platform.
//
//     testutil::MainWindowHarness h;            // fresh settings, simulated bus
//     sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
//     h.Bus().AddModel(keyboard);              // before Start: present at start-up
//     ASSERT_TRUE(h.Start());                  // window created, worker running
//     h.WaitForTasks({1, 29});                 // task 1 and the version check ran
//     h.SendControlEvent(68, 2, 4, 0);         // main tab, position 4
//     h.Click(39);                             // a real click on the close button
//     h.SendDeviceChange(true, L"\\\\?\\HID#VID_3A7E&PID_8701&MI_01#...");
//
// The harness replaces what a test cannot let happen: ending the process (an
// exit is counted instead, see Exits()), and the worker's pauses (no waiting;
// PauseCount() tells they were asked for). The software name is "Kestrova Test",
// so the settings live under HKEY_CURRENT_USER\SOFTWARE\Kestrova Test, emptied
// when a harness starts. A blocking window call that the worker makes while it
// holds the device-state lock fails the test (LockedSends()).
//
// The simulated bus lives for the whole test program (HidDeviceManager is one
// per process): Bus() is emptied of devices between harnesses by ResetBus().
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "LockedSendWatch.h"
#include "SimKeyboard.h"
#include "mainwnd/KeyboardDlg.h"

namespace testutil {

// The process's simulated HID bus; installs it as HidDeviceManager's platform
// on first use (before anything asks for the manager).
class ProcessSimBus : public sim::SimHidBus
{
public:
    // A broadcast path names a configuration interface when a plugged vendor
    // interface with the same VID_xxxx&PID_xxxx is on the bus.
    bool IsConfigInterface(const wchar_t* devicePath) override;
};
ProcessSimBus& SimulatedHid();

// The device-change path Windows would broadcast for a model's cable or
// receiver interface ("\\?\HID#VID_3A7E&PID_8701&MI_01#...").
std::wstring DevicePathOf(int vendorId, int productId, int interfaceNumber);

class MainWindowHarness
{
public:
    struct TaskRecord
    {
        int code;
        bool performed;
        DWORD tick;
    };

    MainWindowHarness();
    ~MainWindowHarness();

    sim::SimHidBus& Bus() { return SimulatedHid(); }

    // Creates the window (shown with the command) and so runs OnInitDialog:
    // frame, tray icon, worker. False when the window cannot be created.
    bool Start(int showCommand = SW_SHOWNOACTIVATE);
    KeyboardDlg& Dlg() { return *dlg_; }
    HWND Window() const;

    // ---- driving ----
    // The event as the control would raise it (through the control when it
    // exists, else straight to the window's dispatch).
    LONG SendControlEvent(UINT id, UINT code, UINT_PTR wparam = 0, LONG_PTR lparam = 0);
    // The same, posted: handled by the window's message loop later.
    void PostControlEvent(UINT id, UINT code, UINT_PTR wparam = 0, LONG_PTR lparam = 0);
    // A left click (mouse move, press, release) in the middle of the control;
    // false, with nothing pressed, when the control has no place or the
    // pointer there hovers nothing.
    bool Click(UINT id);
    // ---- real input: the system's pointer and keyboard, through SendInput ----
    // The window's own message loop handles every message meanwhile (Pump),
    // so hover, capture, activation and tip windows play their part as they
    // do for a user. Points are in the window's client area.
    // The pointer glides there in steps over glideMs (the window first comes
    // to the front).
    void MoveMouseTo(POINT client, DWORD glideMs = 60, int steps = 4);
    // A quick click: the pointer flicks there (one move, as the system merges
    // a fast movement), rests moveToClickMs, and the button goes down and up
    // again 30 ms later.
    void ClickAt(POINT client, DWORD moveToClickMs = 100);
    // A key pressed and released (with Ctrl held when asked), then pumped.
    void TypeKey(WORD vk, bool withCtrl = false);
    // Each character of the text as its key (digits and letters).
    void TypeText(const wchar_t* text);
    // WM_DEVICECHANGE with a device-interface record for the path.
    LONG SendDeviceChange(bool arrival, const std::wstring& path);
    // Runs the window's messages for the time given.
    void Pump(DWORD milliseconds);
    template <class Pred>
    bool PumpUntil(Pred done, DWORD timeoutMs = 5000);

    // ---- what happened ----
    std::vector<TaskRecord> Tasks() const;
    std::vector<int> PerformedTasks() const;
    // Waits (pumping messages) until every code was taken by the worker.
    bool WaitForTasks(const std::vector<int>& codes, DWORD timeoutMs = 5000);
    // Waits (pumping messages) until the task queue is empty and no task has
    // ended for quietMs: what the worker had to do for the window is done and
    // its results are on the screen. False on timeout.
    bool Settle(DWORD quietMs = 300, DWORD timeoutMs = 10000);
    int Exits() const { return exits_; }
    // Blocking window calls the UI thread served for another thread while that
    // thread held the device-state lock (see LockedSendWatch). Stop fails the
    // running test when there is any.
    std::vector<std::string> LockedSends() const;
    // Main-tab changes (page switches) handled on a thread other than the
    // window's; Stop fails the running test when there is any.
    int OffThreadPageSwitches() const;
    int PauseCount() const { return pauses_; }
    // A message box the window asked for: its text, title and mode (the
    // buttons, as AskUser takes them).
    struct MessageBoxRecord
    {
        std::wstring message;
        std::wstring title;
        int mode;
    };
    // Gives the answer to a box; runs on the thread that asked for it.
    using MessageBoxAnswer = std::function<int(const MessageBoxRecord&)>;
    // From now on the window's message boxes are not shown: each is kept
    // (MessageBoxes, MessageBoxRecords) and answered with `answer`, or with
    // what `answerer` says. Boxes may come from any thread.
    void RecordMessageBoxes(int answer = IDOK);
    void RecordMessageBoxes(MessageBoxAnswer answerer);
    std::vector<std::wstring> MessageBoxes() const;
    std::vector<MessageBoxRecord> MessageBoxRecords() const;
    void ClearMessageBoxes();

    // Stops the window as an exit would leave it in a test: Shutdown (worker
    // joined, tray icon deleted, window destroyed), then the object deleted.
    void Stop();

private:
    static void OnTask(void* self, int code, bool performed);
    static void OnExit(void* self);
    static void OnPause(void* self, DWORD milliseconds);
    static int OnMessageBox(void* self, HWND, const wchar_t* message, const wchar_t*, int);

    std::unique_ptr<KeyboardDlg> dlg_;
    std::unique_ptr<LockedSendWatch> lockedSends_;
    std::vector<MessageBoxRecord> boxes_;  // guarded by lock_
    MessageBoxAnswer boxAnswer_;
    mutable std::mutex lock_;
    std::vector<TaskRecord> tasks_;
    int exits_ = 0;
    std::atomic<int> pauses_{0};
};

template <class Pred>
bool MainWindowHarness::PumpUntil(Pred done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Pump(5);
    }
    return true;
}

// Removes every device from the process's bus (between tests).
void ResetBus();

}  // namespace testutil
