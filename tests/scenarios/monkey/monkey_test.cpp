// The monkey on every model for a bounded time (seven seconds each):
// random real input on the window while the keyboard comes and goes, sleeps
// and misbehaves. A hang ends the program with the model, the seed and the
// last inputs (see Monkey.h); a run is played again with the same seed:
//
//     KESTROVA_MONKEY_SEED=1234 KESTROVA_MONKEY_MS=60000 scenarios_monkey_test.exe
//         --gtest_filter=*K104*
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "HangWatchdog.h"
#include "MainWindowHarness.h"
#include "Monkey.h"
#include "SimKeyboard.h"
#include "SimKeyboardModels.h"
#include "mainwnd/TaskQueue.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace {

unsigned long FromEnvironment(const char* name, unsigned long otherwise)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : otherwise;
}

// Each model's databases start empty.
void FreshDatabases()
{
    DeviceDataDB::Instance()->CloseDevice();
    const std::wstring db = GetDataFolder() + L"db\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((db + L"*_data_2.db*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileW((db + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

class MonkeyOnTheWindow : public ::testing::TestWithParam<sim::SimModel>
{};

TEST_P(MonkeyOnTheWindow, RandomInputWhileTheKeyboardComesAndGoesLeavesTheWindowAnswering)
{
    const sim::SimModel& model = GetParam();
    // Whatever stops outside the monkey's own watch (start, the card, the
    // end) fails the program too.
    testutil::HangWatchdog watchdog(std::string("monkey test of ") + model.name, 180000);
    SetCurrentLanguageId(1033);
    // The keyboard and its receiver outlive the harness, which empties the bus.
    sim::SimKeyboard keyboard(model);
    std::unique_ptr<sim::SimReceiver> receiver;
    if (model.HasReceiver()) receiver.reset(new sim::SimReceiver(keyboard));
    FreshDatabases();
    testutil::MainWindowHarness h;
    const int port = h.Bus().AddModel(keyboard);
    const int receiverPort = receiver ? h.Bus().AddModelReceiver(*receiver) : -1;
    ASSERT_TRUE(h.Start(SW_SHOW));
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}, 20000));
    HWND window = h.Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetForegroundWindow(window);
    ASSERT_TRUE(h.Settle(300, 20000));

    testutil::MonkeyOptions options;
    // A seed of its own per model, the same in every run unless one is asked for.
    options.seed = unsigned(FromEnvironment("KESTROVA_MONKEY_SEED", 4100u + model.productId));
    options.model = model.name;
    const DWORD runMs = DWORD(FromEnvironment("KESTROVA_MONKEY_MS", 7000));
    testutil::Monkey monkey(h, keyboard, port, receiver.get(), receiverPort, options);
    std::printf("%s, %lu ms\n", monkey.Header().c_str(), static_cast<unsigned long>(runMs));
    std::fflush(stdout);
    EXPECT_TRUE(monkey.OpenDevicePages(model.deviceType)) << "the card opened no device page";
    const testutil::MonkeyFigures f = monkey.Run(runMs);
    std::printf(
        "%d inputs: %d clicks, %d right clicks, %d drags, %d wheels, %d keys, %d in dialogs or "
        "menus, %d system dialogs cancelled; %d unplugs, %d plugs, %d sleeps, %d wakes, %d "
        "faults; %d boxes answered, %d tasks taken, %d page changes\n",
        f.inputs, f.clicks, f.rightClicks, f.drags, f.wheels, f.keys, f.dialogClicks,
        f.cancelledDialogs, f.unplugs, f.plugs, f.sleeps, f.wakes, f.faults, f.boxes, f.tasks,
        f.pagesSeen);
    EXPECT_GT(f.clicks, 0);
    EXPECT_GT(f.tasks, 0);
    // The window still answers, still shows, and the keyboard saw only
    // well-formed requests.
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(keyboard.Violations(), std::vector<std::string>());
    if (receiver) {
        EXPECT_EQ(receiver->Violations(), std::vector<std::string>());
    }
    h.Stop();  // fails the test on a locked send or a page switched off the window's thread
    FreshDatabases();
}

INSTANTIATE_TEST_SUITE_P(EveryModel, MonkeyOnTheWindow, ::testing::ValuesIn(sim::Models()),
                         [](const ::testing::TestParamInfo<sim::SimModel>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
