// Every way the main window ends: the worker is joined before the process would
// end, the tray icon is gone, and a run through each exit leaves no GDI or USER
// object behind; the destructor joins a worker nobody stopped; a missing tray
// icon file leaves no icon in the notification area.
#include <gtest/gtest.h>

#include <functional>

#include "MainWindowHarness.h"
#include "PluggedKeyboard.h"
#include "Manager.h"
#include "SimKeyboardModels.h"

namespace {

using testutil::MainWindowHarness;

using windowtest::Keyboard;

// The worker thread as a handle of our own, to see it end.
HANDLE OpenWorker(KeyboardDlg& dlg)
{
    return OpenThread(SYNCHRONIZE, FALSE, dlg.GetThreadId());
}

bool Ended(HANDLE thread)
{
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

// Whether the shell holds the main window's tray icon: a modify succeeds only
// for an icon that is there.
bool ShellHasTrayIcon(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 109;
    data.uFlags = NIF_TIP;
    lstrcpynW(data.szTip, L"probe", 64);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

struct ExitPath
{
    const char* name;
    const wchar_t* exitMode;
    std::function<void(MainWindowHarness&)> act;
    int exits;         // process ends asked for
    bool workerEnds;   // the worker is joined by the exit itself
    bool trayRemains;  // the icon stays (the window is only hidden)
};

const ExitPath kExitPaths[] = {
    {"close button, exit mode 0", L"", [](MainWindowHarness& h) { ASSERT_TRUE(h.Click(39)); }, 1,
     true, false},
    {"close button, exit mode 1", L"1", [](MainWindowHarness& h) { ASSERT_TRUE(h.Click(39)); }, 0,
     false, true},
    {"tray menu item", L"",
     [](MainWindowHarness& h) { SendMessageW(h.Window(), WM_COMMAND, 100, 0); }, 1, true, false},
    {"exit request 1691 with 610", L"",
     [](MainWindowHarness& h) { SendMessageW(h.Window(), 1691, 0, 610); }, 1, true, false},
    {"end of the session", L"",
     [](MainWindowHarness& h) { SendMessageW(h.Window(), WM_ENDSESSION, TRUE, 0); }, 0, true,
     false},
};

TEST(MainWindowExitPaths, EachExitJoinsTheWorkerAndLeavesNothingBehind)
{
    // A first run fills the library's caches (fonts, images).
    {
        MainWindowHarness warm;
        Keyboard k87("Kestrova-K87");
        ASSERT_TRUE(warm.Start());
        ASSERT_TRUE(warm.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    }
    HANDLE process = GetCurrentProcess();
    for (const ExitPath& path : kExitPaths) {
        SCOPED_TRACE(path.name);
        DWORD gdiBefore = GetGuiResources(process, GR_GDIOBJECTS);
        DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
        {
            MainWindowHarness h;
            Keyboard k87("Kestrova-K87");
            ASSERT_TRUE(h.Start());
            ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
            h.Dlg().RegWriteString(L"exit_mode", path.exitMode);
            ASSERT_TRUE(h.Dlg().TrayIconAdded());
            EXPECT_TRUE(ShellHasTrayIcon(h.Window()));
            HANDLE worker = OpenWorker(h.Dlg());
            ASSERT_NE(worker, nullptr);
            HWND window = h.Window();
            // The worker has work in hand when the exit comes.
            for (int i = 0; i < 5; ++i) h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);

            path.act(h);
            EXPECT_EQ(h.Exits(), path.exits);
            EXPECT_EQ(Ended(worker), path.workerEnds);
            EXPECT_EQ(h.Dlg().IsRunning(), !path.workerEnds);
            EXPECT_EQ(h.Dlg().TrayIconAdded(), path.trayRemains);
            EXPECT_EQ(ShellHasTrayIcon(h.Window()), path.trayRemains);
            if (path.workerEnds) {
                // Nothing reaches the keyboard any more.
                size_t writes = h.Bus().Writes().size();
                h.Pump(100);
                EXPECT_EQ(h.Bus().Writes().size(), writes);
            }
            EXPECT_TRUE(k87.device.Violations().empty());
            h.Stop();
            EXPECT_TRUE(Ended(worker));
            EXPECT_FALSE(ShellHasTrayIcon(window));
            CloseHandle(worker);
        }
        EXPECT_LE(GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
        EXPECT_LE(GetGuiResources(process, GR_USEROBJECTS), userBefore);
    }
}

// Ends the test program when an exit never returns: a deadlock would otherwise
// only show as the run's time-out.
class Watchdog
{
public:
    explicit Watchdog(const char* what) : what_(what)
    {
        done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &Watchdog::Watch, this, 0, nullptr);
    }
    ~Watchdog()
    {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }

private:
    static DWORD WINAPI Watch(void* self)
    {
        auto* dog = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(dog->done_, 10000) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "%s did not return: deadlock\n", dog->what_);
            std::fflush(stderr);
            ExitProcess(3);
        }
        return 0;
    }
    const char* what_;
    HANDLE done_ = nullptr;
    HANDLE thread_ = nullptr;
};

// Holds the worker in its next pause until released.
struct PauseGate
{
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~PauseGate()
    {
        CloseHandle(entered);
        CloseHandle(release);
    }
    static void Pause(void* self, DWORD)
    {
        auto* gate = static_cast<PauseGate*>(self);
        SetEvent(gate->entered);
        WaitForSingleObject(gate->release, INFINITE);
    }
    // Opens the gate from another thread after a while (the UI thread is busy
    // waiting by then).
    HANDLE ReleaseLater()
    {
        return CreateThread(nullptr, 0, &PauseGate::Release, this, 0, nullptr);
    }
    static DWORD WINAPI Release(void* self)
    {
        Sleep(300);
        SetEvent(static_cast<PauseGate*>(self)->release);
        return 0;
    }
};

TEST(MainWindowExitPaths, AnExitWhileTheWorkerSendsToTheWindowStillEnds)
{
    // A keyboard arrives while a factory reset (which disabled the window) is
    // queued behind it: the arrival flushes the reset and enables the window
    // again, a message the worker sends to the UI thread. The exit comes just
    // then and waits for the worker.
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    PauseGate gate;
    h.Dlg().SetPauseFunction(&PauseGate::Pause, &gate);
    h.Dlg().EnableWindow(0);
    h.Dlg().m_workerPaused = 1;
    h.Dlg().AppendTask(TASK_DEVICE_ARRIVED);
    h.Dlg().AppendTask(TASK_FACTORY_RESET);
    h.Dlg().m_workerPaused = 0;
    ASSERT_EQ(WaitForSingleObject(gate.entered, 5000), WAIT_OBJECT_0);
    // The exit stops the worker while it is still held; it goes on and sends
    // while the UI thread waits for it.
    HANDLE releaser = gate.ReleaseLater();
    {
        Watchdog dog("the exit request");
        SendMessageW(h.Window(), 1691, 0, 610);
    }
    WaitForSingleObject(releaser, INFINITE);
    CloseHandle(releaser);
    EXPECT_EQ(h.Exits(), 1);
    EXPECT_FALSE(h.Dlg().IsRunning());
    EXPECT_TRUE(h.Dlg().IsWindowEnabled());  // the worker's message was taken in
    EXPECT_EQ(h.PerformedTasks().back(), TASK_DEVICE_ARRIVED);
}

TEST(MainWindowLifetime, TheDestructorJoinsAWorkerNobodyStopped)
{
    // The window ends by other means than an exit (its modal loop returns), and
    // the object is destroyed with the worker still running.
    MainWindowHarness settings;  // fresh settings and the simulated bus
    Keyboard k87("Kestrova-K87");
    auto dlg = std::make_unique<KeyboardDlg>();
    dlg->SetPauseFunction([](void*, DWORD) {}, nullptr);
    dlg->SetEndProcess([](void*) {}, nullptr);
    ASSERT_NE(dlg->CreateMainWindow(SW_SHOWNOACTIVATE), nullptr);
    settings.Pump(100);
    ASSERT_TRUE(dlg->IsRunning());
    HANDLE worker = OpenWorker(*dlg);
    ASSERT_NE(worker, nullptr);
    for (int i = 0; i < 20; ++i) dlg->AppendTask(TASK_WRITE_PERFORMANCE);
    HWND window = dlg->GetSafeHwnd();
    dlg->DestroyWindow();
    ASSERT_FALSE(IsWindow(window));
    dlg.reset();
    EXPECT_TRUE(Ended(worker));
    EXPECT_FALSE(ShellHasTrayIcon(window));
    CloseHandle(worker);
    EXPECT_TRUE(k87.device.Violations().empty());
}

TEST(MainWindowTray, AMissingIconFileLeavesNoIconBehind)
{
    // The theme folder names a folder without DeviceDriver.ico.
    CString theme = WEXA::Manager::GetThemeSkins();
    WEXA::Manager::SetThemeSkins(L"no-such-theme\\");
    {
        MainWindowHarness h;
        ASSERT_TRUE(h.Start());
        // "Added" is what the shell says: whatever it is, the two agree ...
        EXPECT_EQ(h.Dlg().TrayIconAdded(), ShellHasTrayIcon(h.Window()));
        HWND window = h.Window();
        SendMessageW(window, 1691, 0, 610);
        // ... and after the exit no icon is left.
        EXPECT_FALSE(h.Dlg().TrayIconAdded());
        EXPECT_FALSE(ShellHasTrayIcon(window));
        h.Stop();
        EXPECT_FALSE(ShellHasTrayIcon(window));
    }
    WEXA::Manager::SetThemeSkins(theme);
}

}  // namespace
