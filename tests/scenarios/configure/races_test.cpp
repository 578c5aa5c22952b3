// The UI thread and the worker at once, as a user meets them: a pick in the
// device list while the worker scans, the keyboard leaving while the
// custom-key page is open. A hang fails the program through a watchdog.
#include <atomic>

#include "CDeviceList.h"
#include "HangWatchdog.h"
#include "KeyboardCtrl.h"
#include "MTabCtrl.h"
#include "ScenarioFixture.h"
#include "dialogs/UpdateProcessDlg.h"

namespace scenario {
namespace {

const int kHomeTab = 0, kKeysTab = 4;

class Races : public Scenario
{
protected:
    // Moves the pointer over the first key of the picture: its tip window is
    // made, and stays (hidden) from then on.
    void HoverAKey()
    {
        auto* picture = Control<WEXA::KeyboardCtrl>(58);
        ASSERT_NE(picture, nullptr);
        std::vector<WEXA::KEY_INFO*> keys = picture->GetKeyItems();
        ASSERT_FALSE(keys.empty());
        CRect rect = picture->GetRealRect(CRect(keys.front()->rcKey));
        rect.OffsetRect(picture->GetRect().left, picture->GetRect().top);
        POINT at = rect.CenterPoint();
        // A pointer arrives with more than one move: the first finds the key,
        // the next ones over it show its tip.
        for (int move = 0; move < 3; ++move) {
            SendMessageW(harness->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
            harness->Pump(10);
        }
        ASSERT_TRUE(harness->PumpUntil(
            [] { return FindWindowA("PavexWindow", "KeyboardTip Window") != nullptr; }, 3000))
            << "no tip window after the hover";
    }
    bool Answers()
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(harness->Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000,
                                   &result) != 0;
    }
};

TEST_P(Races, APickWhileTheWorkerScansLeavesTheWindowAnswering)
{
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    Settle();
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    ASSERT_NO_FATAL_FAILURE(HoverAKey());
    ASSERT_NO_FATAL_FAILURE(OpenTab(kHomeTab));
    ASSERT_NE(FindWindowA("PavexWindow", "KeyboardTip Window"), nullptr)
        << "the tip window went with the page";
    // The next scan finds the keyboard slowly, and the card is picked again
    // meanwhile: the second pick is made while the worker holds the device
    // state, the moment the user hit. (It is posted as the list raises it:
    // only a message that is waiting can land in that moment.)
    std::atomic<int> armed{1};
    HWND window = harness->Window();
    const DWORD uiThread = GetCurrentThreadId();
    CRITICAL_SECTION* state = Dlg().DeviceStateLock().GetSection();
    harness->Bus().SetEnumerateHook([&, uiThread, state] {
        // Only the worker's scan under the device state (the one a pick
        // runs, which goes on to connect the keyboard) is the moment.
        const DWORD self = GetCurrentThreadId();
        // (The pick's task holds the lock twice there; the idle poll once.)
        if (self == uiThread || DWORD(ULONG_PTR(state->OwningThread)) != self ||
            state->RecursionCount < 2)
            return;
        if (armed.exchange(0) != 1) return;
        harness->PostControlEvent(81, 2);
        Sleep(300);
    });
    const size_t picks = TaskCount(TASK_DEVICE_SELECTED);
    {
        testutil::HangWatchdog watchdog("a second pick while the worker scans", 30000);
        ASSERT_NO_FATAL_FAILURE(ClickModelCard());
        ASSERT_TRUE(harness->PumpUntil(
            [&] { return armed == 0 && TaskCount(TASK_DEVICE_SELECTED) >= picks + 2; }, 20000))
            << "armed " << armed.load() << ", picks run "
            << TaskCount(TASK_DEVICE_SELECTED) - picks;
        Settle();
        EXPECT_TRUE(Answers());
    }
    harness->Bus().SetEnumerateHook(nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(harness->LockedSends(), std::vector<std::string>());
}

TEST_P(Races, TheKeyboardLeavingTheCustomKeyPageSwitchesPagesOnTheWindowsThread)
{
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    Settle();
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    ASSERT_NO_FATAL_FAILURE(HoverAKey());
    ASSERT_TRUE(Dlg().KeyTestActive());
    // An update is being downloaded: its dialog belongs to the window's thread.
    auto* update = new UpdateProcessDlg;
    Dlg().SetUpdateDialog(update);
    ASSERT_NO_FATAL_FAILURE(Unplug());
    ASSERT_TRUE(harness->PumpUntil([&] { return Dlg().MainTab()->GetSelectItem() == kHomeTab; }))
        << "the home page did not come";
    EXPECT_EQ(harness->OffThreadPageSwitches(), 0);
    EXPECT_FALSE(Dlg().KeyTestActive());
    EXPECT_EQ(Dlg().UpdateDialog(), update) << "leaving the page freed the update dialog";
    EXPECT_EQ(harness->LockedSends(), std::vector<std::string>());
    Dlg().SetUpdateDialog(nullptr);
}

TEST_P(Races, APageTheWorkerAsksForWhileTheSettingsPageOpensStaysBehindIt)
{
    const UINT kSettingsButton = 42, kSettingsPage = 79;
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    Settle();
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    ASSERT_NO_FATAL_FAILURE(OpenTab(kHomeTab));
    // The card is picked again and the pick's load is slow: the user presses
    // Settings meanwhile. The pick's load then shows the model's tabs, and
    // the worker asks for the home page (as it does when a keyboard comes on
    // line); the request reaches the window after the press.
    std::atomic<int> stage{0};
    HANDLE settingsOpen = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(settingsOpen, nullptr);
    const DWORD uiThread = GetCurrentThreadId();
    CRITICAL_SECTION* state = Dlg().DeviceStateLock().GetSection();
    KeyboardDlg* dlg = &Dlg();
    harness->Bus().SetEnumerateHook([&, uiThread, state, dlg] {
        // The pick's scan (the state lock held twice), not the idle poll.
        const DWORD self = GetCurrentThreadId();
        if (self == uiThread || DWORD(ULONG_PTR(state->OwningThread)) != self ||
            state->RecursionCount < 2)
            return;
        int expected = 0;
        if (!stage.compare_exchange_strong(expected, 1)) return;
        WaitForSingleObject(settingsOpen, 10000);
        dlg->SelectMainTab(kHomeTab);
        stage = 2;
    });
    {
        testutil::HangWatchdog watchdog("the settings page pressed while the pick loads", 60000);
        ASSERT_NO_FATAL_FAILURE(ClickModelCard());
        ASSERT_TRUE(harness->PumpUntil([&] { return stage == 1; }, 20000))
            << "the pick's scan did not come";
        ASSERT_NO_FATAL_FAILURE(ClickControl(kSettingsButton));
        ASSERT_TRUE(harness->PumpUntil([&] { return Shown(kSettingsPage); }, 5000))
            << "the settings page did not open";
        SetEvent(settingsOpen);
        ASSERT_TRUE(harness->PumpUntil([&] { return stage == 2; }, 20000));
        Settle();
    }
    harness->Bus().SetEnumerateHook(nullptr);
    CloseHandle(settingsOpen);
    // The settings page alone: no page, no keyboard picture and no key-page
    // control drawn with it or taking the pointer under it.
    EXPECT_TRUE(Shown(kSettingsPage));
    for (UINT id : {68u, 58u, 69u, 31u, 70u, 88u, 89u, 56u, 57u, 60u, 61u})
        EXPECT_FALSE(Shown(id)) << "control " << id << " shown with the settings page";
    // Back from the settings the key page is there again, whole.
    ASSERT_NO_FATAL_FAILURE(ClickControl(415));
    ASSERT_TRUE(harness->PumpUntil([&] { return !Shown(kSettingsPage); }, 5000));
    EXPECT_EQ(Dlg().MainTab()->GetSelectItem(), kKeysTab);
    for (UINT id : {68u, 58u, 70u, 56u, 60u})
        EXPECT_TRUE(Shown(id)) << "control " << id << " missing after the settings page";
    EXPECT_EQ(harness->LockedSends(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(K87, Races, ::testing::Values(sim::Model("Kestrova-K87")),
                         [](const ::testing::TestParamInfo<sim::SimModel>&) {
                             return std::string("K87");
                         });

}  // namespace
}  // namespace scenario
