// What a keyboard change does to the work the worker had queued: arrivals,
// removals and picks empty the queue, close the waits of what they dropped and
// forget the key writes that went with it; the effect stream starts anew for the
// changed keyboard. And late messages for an update dialog whose window is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "MainWindowHarness.h"
#include "PluggedKeyboard.h"
#include "dialogs/UpdateProcessDlg.h"
#include "SimKeyboardModels.h"
#include "mainwnd/device/DeviceCommands.h"

namespace {

using testutil::MainWindowHarness;

using windowtest::Keyboard;

// The task records of one code after position `from`.
std::vector<MainWindowHarness::TaskRecord> RecordsOf(const MainWindowHarness& h, int code,
                                                     size_t from)
{
    std::vector<MainWindowHarness::TaskRecord> found;
    auto tasks = h.Tasks();
    for (size_t i = from; i < tasks.size(); ++i)
        if (tasks[i].code == code) found.push_back(tasks[i]);
    return found;
}

// Writes to the keyboard with this command byte since position `from`.
int CommandWrites(const MainWindowHarness& h, int command, size_t from = 0)
{
    auto writes = testutil::SimulatedHid().Writes();
    int count = 0;
    for (size_t i = from; i < writes.size(); ++i)
        if (writes[i].Command() == command) ++count;
    return count;
}

struct Started
{
    MainWindowHarness h;
    Keyboard k87{"Kestrova-K87"};
    Started()
    {
        EXPECT_TRUE(h.Start());
        EXPECT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
        EXPECT_TRUE(h.Dlg().m_deviceConnected);
    }
};

TEST(MainWindowFlush, ArrivalAndRemovalEmptyTheQueueAndCloseTheWait)
{
    struct Row
    {
        const char* name;
        int code;
        bool unplug;
    };
    const Row rows[] = {{"arrival", TASK_DEVICE_ARRIVED, false},
                        {"removal", TASK_DEVICE_REMOVED, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Started s;
        MainWindowHarness& h = s.h;
        h.Dlg().m_workerPaused = 1;
        // A profile apply waits behind the keyboard change, with its dialog
        // installed (no window yet), then a performance write and a key write.
        WaitDlg* wait = h.Dlg().m_waitDlg.Reset(new WaitDlg);
        h.Dlg().EnableWindow(0);
        h.Dlg().AppendTask(r.code);
        h.Dlg().AppendTask(TASK_APPLY_PROFILE);
        h.Dlg().AppendTask(TASK_FACTORY_RESET);
        h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
        h.Dlg().QueueKeyWrite(0, -1);
        if (r.unplug) h.Bus().Unplug(s.k87.index);
        size_t from = h.Tasks().size();
        size_t writesFrom = h.Bus().Writes().size();
        h.Dlg().m_workerPaused = 0;
        ASSERT_TRUE(h.WaitForTasks({r.code}));
        h.Dlg().StopWorker();

        EXPECT_TRUE(h.Dlg().m_taskQueue.IsEmpty());
        EXPECT_TRUE(wait->CloseRequested());
        EXPECT_TRUE(h.Dlg().IsWindowEnabled());  // the dropped reset gives the window back
        for (int dropped : {TASK_APPLY_PROFILE, TASK_FACTORY_RESET, TASK_WRITE_PERFORMANCE,
                            TASK_WRITE_KEY_FUNCTIONS}) {
            auto records = RecordsOf(h, dropped, from);
            ASSERT_EQ(records.size(), 1u) << dropped;
            EXPECT_FALSE(records[0].performed) << dropped;
        }
        KeyWriteRequest left;
        EXPECT_FALSE(h.Dlg().m_keyWrites.Pop(left));
        // None of the dropped work reached the keyboard.
        EXPECT_EQ(CommandWrites(h, int(DeviceCommand::kWriteKeys), writesFrom), 0);
        EXPECT_EQ(RecordsOf(h, r.code, from).back().performed, true);
        EXPECT_EQ(h.Dlg().m_devicePresent, !r.unplug);
        EXPECT_TRUE(s.k87.device.Violations().empty());
        h.Dlg().m_waitDlg.Reset(nullptr);
    }
}

TEST(MainWindowFlush, AKeyWriteDroppedWithItsTaskNeverReachesALaterWrite)
{
    // Layer 0's table write is queued and flushed; the next key write is layer
    // 2's, and only layer 2's table goes to the keyboard.
    struct Row
    {
        const char* name;
        std::function<void(MainWindowHarness&)> queueAndFlush;
    };
    const Row rows[] = {
        {"keyboard arrival",
         [](MainWindowHarness& h) {
             h.Dlg().m_changedDeviceType = 0;
             h.Dlg().AppendTask(TASK_DEVICE_ARRIVED);
             h.Dlg().QueueKeyWrite(0, -1);  // behind the arrival: dropped by it
         }},
        {"device pick",
         [](MainWindowHarness& h) {
             h.Dlg().QueueKeyWrite(0, -1);
             EXPECT_EQ(h.SendControlEvent(81, 2), 1);
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Started s;
        MainWindowHarness& h = s.h;
        h.Dlg().m_workerPaused = 1;
        size_t from = h.Tasks().size();
        size_t writesFrom = h.Bus().Writes().size();
        r.queueAndFlush(h);
        h.Dlg().m_workerPaused = 0;
        ASSERT_TRUE(h.PumpUntil([&] { return h.Dlg().m_taskQueue.IsEmpty(); }));
        ASSERT_TRUE(h.PumpUntil([&] { return h.Dlg().m_deviceConnected.load(); }));
        auto dropped = RecordsOf(h, TASK_WRITE_KEY_FUNCTIONS, from);
        ASSERT_EQ(dropped.size(), 1u);
        EXPECT_FALSE(dropped[0].performed);

        h.Dlg().QueueKeyWrite(2, -1);
        ASSERT_TRUE(
            h.PumpUntil([&] { return RecordsOf(h, TASK_WRITE_KEY_FUNCTIONS, from).size() == 2; }));
        h.Dlg().StopWorker();
        EXPECT_TRUE(RecordsOf(h, TASK_WRITE_KEY_FUNCTIONS, from)[1].performed);
        EXPECT_EQ(CommandWrites(h, int(DeviceCommand::kWriteKeys), writesFrom), 0);
        EXPECT_GT(CommandWrites(h, int(DeviceCommand::kWriteKeys) + 4, writesFrom), 0);
        EXPECT_TRUE(s.k87.device.Violations().empty());
    }
}

TEST(MainWindowFlush, AKeyboardChangeStartsTheEffectStreamAgain)
{
    struct Row
    {
        const char* name;
        int code;
    };
    const Row rows[] = {{"arrival", TASK_DEVICE_ARRIVED}, {"pick", TASK_DEVICE_SELECTED}};
    const int start = int(DeviceCommand::kEffectStart);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Started s;
        MainWindowHarness& h = s.h;
        size_t from = h.Bus().Writes().size();
        auto runTask = [&](int code) {
            size_t before = h.Tasks().size();
            h.Dlg().AppendTask(code);
            ASSERT_TRUE(h.PumpUntil([&] { return h.Tasks().size() > before; }));
        };
        runTask(TASK_START_EFFECT_STREAM);
        runTask(TASK_START_EFFECT_STREAM);
        EXPECT_EQ(CommandWrites(h, start, from), 1);  // started once for this keyboard
        h.Dlg().m_changedDeviceType = 0;
        runTask(r.code);
        ASSERT_TRUE(h.Dlg().m_deviceConnected);
        runTask(TASK_START_EFFECT_STREAM);
        EXPECT_EQ(CommandWrites(h, start, from), 2);  // and once more after the change
        EXPECT_TRUE(s.k87.device.Violations().empty());
    }
}

// An update dialog stand-in that counts the close requests reaching its window.
class UpdateDialogProbe : public UpdateProcessDlg
{
public:
    LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam) override
    {
        ++closes;
        return 1;
    }
    int closes = 0;
};

TEST(MainWindowLateMessages, NothingReachesAnUpdateDialogWhoseWindowIsGone)
{
    Started s;
    MainWindowHarness& h = s.h;
    // The main window owns its update dialog and deletes it when it is replaced.
    auto* probe = new UpdateDialogProbe;
    UpdateDialogProbe& dialog = *probe;
    ASSERT_TRUE(dialog.Create(h.Window(), L"UpdateProcessDlg", WS_POPUP, 0, CRect(0, 0, 200, 100)));
    h.Dlg().SetUpdateDialog(probe);
    // While the window lives, progress and the download's close reach it.
    EXPECT_EQ(SendMessageW(h.Window(), 1684, 0, 40), 1);
    size_t before = h.Tasks().size();
    h.Dlg().AppendTask(TASK_DOWNLOAD_UPDATE);
    ASSERT_TRUE(h.PumpUntil([&] { return h.Tasks().size() > before; }));
    h.Pump(50);
    EXPECT_EQ(dialog.closes, 1);

    // Its window goes; late progress and a late close find nothing.
    dialog.DestroyWindow();
    EXPECT_EQ(SendMessageW(h.Window(), 1684, 0, 100), 1);
    before = h.Tasks().size();
    h.Dlg().AppendTask(TASK_DOWNLOAD_UPDATE);
    ASSERT_TRUE(h.PumpUntil([&] { return h.Tasks().size() > before; }));
    // A dialog opened later (the same object, a new window) is not closed by it.
    ASSERT_TRUE(dialog.Create(h.Window(), L"UpdateProcessDlg", WS_POPUP, 0, CRect(0, 0, 200, 100)));
    h.Pump(50);
    EXPECT_EQ(dialog.closes, 1);
    dialog.DestroyWindow();
    h.Dlg().SetUpdateDialog(nullptr);
}

}  // namespace
