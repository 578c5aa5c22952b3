// The device state shared by the UI thread and the worker: a task in hand keeps
// it until it is done (a device pick waits for it, and a task waits for a UI
// operation holding it), and the worker never holds it while it sends a message
// to the UI thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "MainWindowHarness.h"
#include "PluggedKeyboard.h"
#include "SimKeyboardModels.h"

namespace {

using testutil::MainWindowHarness;

using windowtest::Keyboard;

size_t WritesTo(int index)
{
    return testutil::SimulatedHid().WritesTo(index).size();
}

TEST(MainWindowDeviceState, APickWaitsForTheTaskInHand)
{
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    // Every report takes 20 ms to go out: the performance write lasts a while.
    h.Bus().SetRealTime(true);
    h.Bus().SetReportPace(20);
    size_t before = WritesTo(k87.index);
    h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
    ASSERT_TRUE(h.PumpUntil([&] { return WritesTo(k87.index) > before; }, 5000));
    // The task is under way: no further task after it, then the pick.
    h.Dlg().m_workerPaused = 1;
    EXPECT_EQ(h.SendControlEvent(81, 2), 1);
    size_t atPick = WritesTo(k87.index);
    h.Pump(300);
    // The task had finished its writes before the pick replaced the device state.
    EXPECT_EQ(WritesTo(k87.index), atPick);
    auto performed = h.PerformedTasks();
    EXPECT_NE(std::find(performed.begin(), performed.end(), int(TASK_WRITE_PERFORMANCE)),
              performed.end());
    h.Bus().SetReportPace(0);
    h.Bus().SetRealTime(false);
    EXPECT_TRUE(k87.device.Violations().empty());
}

TEST(MainWindowDeviceState, ATaskWaitsWhileTheUiThreadHoldsTheState)
{
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    size_t before = WritesTo(k87.index);
    size_t tasks = h.Tasks().size();
    {
        CAutoLock hold(h.Dlg().DeviceStateLock());
        h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
        Sleep(150);  // many worker ticks
        EXPECT_EQ(WritesTo(k87.index), before);
        EXPECT_EQ(h.Tasks().size(), tasks);
    }
    ASSERT_TRUE(h.WaitForTasks({TASK_WRITE_PERFORMANCE}));
    EXPECT_GT(WritesTo(k87.index), before);
}

// Sees, on the UI thread, each WM_ENABLE the main window is sent and whether
// the device-state lock was free then.
struct EnableWatch
{
    static EnableWatch*& Current()
    {
        static EnableWatch* current = nullptr;
        return current;
    }
    EnableWatch(KeyboardDlg& dlg) : dlg(dlg)
    {
        Current() = this;
        hook = SetWindowsHookExW(WH_CALLWNDPROC, &EnableWatch::Proc, nullptr, GetCurrentThreadId());
    }
    ~EnableWatch()
    {
        UnhookWindowsHookEx(hook);
        Current() = nullptr;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wparam, LPARAM lparam)
    {
        EnableWatch* watch = Current();
        auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (code == HC_ACTION && watch && message->message == WM_ENABLE &&
            message->hwnd == watch->dlg.GetSafeHwnd() && !wparam /* sent by another thread */) {
            ++watch->sent;
            if (watch->dlg.DeviceStateLock().TryLock()) {
                ++watch->free;
                watch->dlg.DeviceStateLock().Unlock();
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    KeyboardDlg& dlg;
    HHOOK hook = nullptr;
    int sent = 0, free = 0;
};

TEST(MainWindowDeviceState, TheWorkerSendsToTheWindowOnlyWithTheStateFree)
{
    // A factory reset disabled the window; the worker enables it again when the
    // reset is dropped (no keyboard) or flushed (a keyboard arrives).
    struct Row
    {
        const char* name;
        bool keyboard;
        int flusher;  // 0: none, the reset is dropped
    };
    const Row rows[] = {{"dropped without a keyboard", false, 0},
                        {"flushed by an arrival", true, TASK_DEVICE_ARRIVED}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        MainWindowHarness h;
        std::unique_ptr<Keyboard> k87;
        if (r.keyboard) k87.reset(new Keyboard("Kestrova-K87"));
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
        EnableWatch watch(h.Dlg());
        h.Dlg().m_workerPaused = 1;
        h.Dlg().EnableWindow(0);
        if (r.flusher) h.Dlg().AppendTask(r.flusher);
        h.Dlg().AppendTask(TASK_FACTORY_RESET);
        h.Dlg().m_workerPaused = 0;
        ASSERT_TRUE(h.PumpUntil([&] { return h.Dlg().IsWindowEnabled() != 0; }));
        h.Pump(20);
        EXPECT_EQ(watch.sent, 1);
        EXPECT_EQ(watch.free, watch.sent);
    }
}

}  // namespace
