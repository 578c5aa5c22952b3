// The hook manager driven by injected input: routing to targets, swallowing of keys,
// the mouse rules, re-installation at the head of the chains, and ending a capture
// while its own hook procedure runs.
#include <gtest/gtest.h>
#include <windows.h>

#include "InputTestSupport.h"
#include "WindowTestHelpers.h"
#include "services/input/InputHookManager.h"

using namespace inputtest;
using testutil::PumpUntil;

namespace {

constexpr WORD kKey = VK_F20;  // no side effects anywhere

void TapKey()
{
    SendKey(kKey, false);
    SendKey(kKey, true);
}

// Counts its own destruction, to see when a deferred destroy really frees.
class CountedManager : public InputHookManager
{
public:
    explicit CountedManager(int* destroyed) : destroyed_(destroyed) {}
    ~CountedManager() override { ++*destroyed_; }

private:
    int* destroyed_;
};

class InputHookTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(InputHookManager::GetActive(), nullptr) << "a test left a manager active";
    }
    ProbeHooks probe;  // installed before any manager: below it in the chains
};

}  // namespace

TEST_F(InputHookTest, KeysReachTheTargetWithTheirRecordAndPassOnWhenAnsweredZero)
{
    RecordingWindow target(0);
    RecordingWindow mouseOnly(1);
    InputHookManager manager;
    EXPECT_EQ(manager.AddTarget(target.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey), 1);
    EXPECT_EQ(manager.AddTarget(mouseOnly.hwnd(), InputHookManager::KindMouse, kMsgHookMouse), 1);
    EXPECT_EQ(manager.InstallHooks(), 1);  // already installed by AddTarget
    EXPECT_EQ(InputHookManager::GetActive(), &manager);

    TapKey();
    ASSERT_TRUE(PumpUntil([&] { return probe.keys.size() >= 2; }, 3000));
    ASSERT_EQ(target.events.size(), 2u);
    EXPECT_EQ(target.events[0].message, kMsgHookKey);
    EXPECT_EQ(target.events[0].input, WPARAM(WM_KEYDOWN));
    EXPECT_EQ(target.events[0].vk, DWORD(kKey));
    EXPECT_EQ(target.events[1].input, WPARAM(WM_KEYUP));
    EXPECT_EQ(probe.CountKey(WM_KEYDOWN), 1u);
    EXPECT_EQ(probe.CountKey(WM_KEYUP), 1u);
    EXPECT_TRUE(mouseOnly.events.empty()) << "a mouse target must not see keys";
    manager.RemoveHooks();
}

TEST_F(InputHookTest, FirstNonZeroAnswerSwallowsTheKeyAndEndsTheWalk)
{
    struct Case
    {
        const char* what;
        LRESULT firstAnswer;
        bool firstWindowGone;
        bool secondAsked;
        bool passedOn;
    };
    const Case cases[] = {
        {"first answers 0", 0, false, true, true},
        {"first answers 1", 1, false, false, false},
        {"first answers other non-zero", -5, false, false, false},
        {"first window gone", 1, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        probe.keys.clear();
        RecordingWindow first(c.firstAnswer);
        RecordingWindow second(0);
        InputHookManager manager;
        manager.AddTarget(first.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
        manager.AddTarget(second.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey + 7);
        if (c.firstWindowGone) first.Destroy();

        TapKey();
        ASSERT_TRUE(PumpUntil(
            [&] {
                return probe.keys.size() >= 2 || first.events.size() >= 2 ||
                       second.events.size() >= 2;
            },
            3000));
        EXPECT_EQ(first.events.size(), c.firstWindowGone ? 0u : 2u);
        EXPECT_EQ(second.events.size(), c.secondAsked ? 2u : 0u);
        if (c.secondAsked) {
            EXPECT_EQ(second.events[0].message, kMsgHookKey + 7);
        }
        EXPECT_EQ(probe.keys.size(), c.passedOn ? 2u : 0u);
        EXPECT_EQ(manager.GetTargets().size(), 2u) << "a dead target is skipped, not removed";
    }
}

TEST_F(InputHookTest, ClicksReachTargetsAndAlwaysPassOnMovesNeverReachThem)
{
    RecordingWindow surface(0, true);  // the click lands on a window of our own
    SetCursorPos(150, 150);
    RecordingWindow first(1);  // answers non-zero: must still not swallow
    RecordingWindow second(0);
    RecordingWindow keyboardOnly(0);
    InputHookManager manager;
    manager.AddTarget(first.hwnd(), InputHookManager::KindMouse, kMsgHookMouse);
    manager.AddTarget(second.hwnd(), InputHookManager::KindMouse, kMsgHookMouse);
    manager.AddTarget(keyboardOnly.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    testutil::PumpPending();

    struct Click
    {
        DWORD down, up, data;
        WPARAM downMsg, upMsg;
    };
    const Click clicks[] = {
        {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0, WM_LBUTTONDOWN, WM_LBUTTONUP},
        {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 0, WM_RBUTTONDOWN, WM_RBUTTONUP},
        {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 0, WM_MBUTTONDOWN, WM_MBUTTONUP},
        {MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON1, WM_XBUTTONDOWN, WM_XBUTTONUP},
    };
    for (const Click& c : clicks) {
        SendMouse(c.down, c.data);
        SendMouse(c.up, c.data);
        SendMouse(MOUSEEVENTF_MOVE, 0, 1, 0);
        ASSERT_TRUE(PumpUntil([&] { return probe.CountMouse(WM_MOUSEMOVE) >= 1; }, 3000));
        EXPECT_EQ(first.CountInput(c.downMsg), 1u) << c.downMsg;
        EXPECT_EQ(first.CountInput(c.upMsg), 1u) << c.upMsg;
        EXPECT_EQ(probe.CountMouse(c.downMsg), 1u) << "the click must go on to the application";
        EXPECT_EQ(probe.CountMouse(c.upMsg), 1u);
        probe.mouse.clear();
    }
    EXPECT_EQ(first.CountInput(WM_MOUSEMOVE), 0u);
    EXPECT_EQ(first.events.size(), 8u);
    EXPECT_TRUE(second.events.empty()) << "the first non-zero answer ends the walk";
    EXPECT_TRUE(keyboardOnly.events.empty());
}

TEST_F(InputHookTest, AddingATargetAgainKeepsOneButPutsTheHooksBackAtTheHead)
{
    RecordingWindow target(1);
    InputHookManager manager;
    manager.AddTarget(target.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    {
        ProbeHooks above;  // installed after the manager: called before it
        TapKey();
        ASSERT_TRUE(PumpUntil([&] { return target.events.size() >= 2; }, 3000));
        EXPECT_EQ(above.keys.size(), 2u);

        manager.AddTarget(target.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
        EXPECT_EQ(manager.GetTargets().size(), 1u);
        TapKey();
        ASSERT_TRUE(PumpUntil([&] { return target.events.size() >= 4; }, 3000));
        testutil::PumpPending();
        EXPECT_EQ(above.keys.size(), 2u) << "reinstalled hooks must swallow before later hooks";
        EXPECT_EQ(target.events.size(), 4u) << "one target, one message per event";
    }
    EXPECT_TRUE(probe.keys.empty());
    manager.RemoveHooks();
}

TEST_F(InputHookTest, AnotherManagerTakesTheHooksOverWithoutDoubledEvents)
{
    RecordingWindow a(0), b(0);
    auto* first = new InputHookManager;
    first->AddTarget(a.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    InputHookManager second;
    second.AddTarget(b.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    EXPECT_EQ(InputHookManager::GetActive(), &second);
    EXPECT_EQ(first->IsInstalled(), 0);
    EXPECT_EQ(second.IsInstalled(), 1);

    TapKey();
    ASSERT_TRUE(PumpUntil([&] { return probe.keys.size() >= 2; }, 3000));
    testutil::PumpPending();
    EXPECT_EQ(b.events.size(), 2u) << "each event exactly once";
    EXPECT_TRUE(a.events.empty());

    delete first;  // must not take the second manager's hooks with it
    probe.keys.clear();
    TapKey();
    ASSERT_TRUE(PumpUntil([&] { return probe.keys.size() >= 2; }, 3000));
    EXPECT_EQ(b.events.size(), 4u);
}

TEST_F(InputHookTest, DestroyedManagerIsForgotten)
{
    RecordingWindow target(1);
    auto* manager = new InputHookManager;
    manager->AddTarget(target.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    delete manager;
    EXPECT_EQ(InputHookManager::GetActive(), nullptr);

    // A hook procedure still running for it (or called late) must find nothing.
    KBDLLHOOKSTRUCT record = {};
    record.vkCode = kKey;
    record.dwExtraInfo = kInjectMark;
    InputHookManager::KeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&record));
    TapKey();
    ASSERT_TRUE(PumpUntil([&] { return probe.keys.size() >= 2; }, 3000));
    EXPECT_TRUE(target.events.empty());
}

TEST_F(InputHookTest, HookProceduresOnConstructedRecords)
{
    RecordingWindow keys(1), mouse(1);
    InputHookManager manager;
    manager.AddTarget(keys.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    manager.AddTarget(mouse.hwnd(), InputHookManager::KindMouse, kMsgHookMouse);

    KBDLLHOOKSTRUCT key = {};
    key.vkCode = 'Q';
    key.dwExtraInfo = kInjectMark;
    const LPARAM keyRecord = reinterpret_cast<LPARAM>(&key);
    EXPECT_EQ(InputHookManager::KeyboardHookProc(HC_ACTION, WM_SYSKEYDOWN, keyRecord), 1);
    ASSERT_EQ(keys.events.size(), 1u);
    EXPECT_EQ(keys.events[0].input, WPARAM(WM_SYSKEYDOWN));
    EXPECT_EQ(keys.events[0].record, keyRecord) << "the hook's own record is passed";
    InputHookManager::KeyboardHookProc(3 /* HC_NOREMOVE */, WM_KEYDOWN, keyRecord);
    EXPECT_EQ(keys.events.size(), 1u) << "only HC_ACTION is routed";

    MSLLHOOKSTRUCT click = {};
    click.dwExtraInfo = kInjectMark;
    const LPARAM clickRecord = reinterpret_cast<LPARAM>(&click);
    EXPECT_EQ(InputHookManager::MouseHookProc(HC_ACTION, WM_MOUSEMOVE, clickRecord), 0);
    EXPECT_EQ(InputHookManager::MouseHookProc(HC_ACTION, WM_MOUSEWHEEL, clickRecord), 0);
    EXPECT_EQ(InputHookManager::MouseHookProc(HC_ACTION, WM_RBUTTONUP, clickRecord), 0);
    ASSERT_EQ(mouse.events.size(), 2u);
    EXPECT_EQ(mouse.events[0].input, WPARAM(WM_MOUSEWHEEL));
    EXPECT_EQ(mouse.events[1].input, WPARAM(WM_RBUTTONUP));
    EXPECT_EQ(mouse.events[1].record, clickRecord);
    EXPECT_TRUE(keys.events.size() == 1u);

    manager.ClearTargets();
    EXPECT_EQ(InputHookManager::KeyboardHookProc(HC_ACTION, WM_KEYDOWN, keyRecord), 0);
    EXPECT_EQ(keys.events.size(), 1u);
    manager.RemoveHooks();
    EXPECT_EQ(manager.IsInstalled(), 0);
    EXPECT_EQ(InputHookManager::GetActive(), nullptr);
}

TEST_F(InputHookTest, EndingTheCaptureFromItsOwnCallbackIsSafe)
{
    struct Case
    {
        const char* what;
        bool useDestroy;  // Destroy() rather than delete
        LRESULT answer;
    };
    const Case cases[] = {
        {"Destroy, answer 0", true, 0},
        {"Destroy, answer 1", true, 1},
        {"delete, answer 0", false, 0},
        {"delete, answer 1", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        probe.keys.clear();
        int destroyed = 0;
        int destroyedInsideCallback = -1;
        InputHookManager* manager = new CountedManager(&destroyed);
        RecordingWindow first(c.answer);
        RecordingWindow second(0);
        first.onEvent = [&](const ReceivedEvent&) {
            if (!manager) return;
            if (c.useDestroy)
                InputHookManager::Destroy(manager);
            else
                delete manager;
            manager = nullptr;
            destroyedInsideCallback = destroyed;
            EXPECT_EQ(InputHookManager::GetActive(), nullptr) << "unhooked at once";
        };
        manager->AddTarget(first.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
        manager->AddTarget(second.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);

        TapKey();
        ASSERT_TRUE(PumpUntil([&] { return probe.keys.size() >= (c.answer ? 1u : 2u); }, 3000));
        testutil::PumpPending();
        EXPECT_EQ(first.events.size(), 1u) << "the key-up comes after the capture ended";
        EXPECT_TRUE(second.events.empty()) << "no target is asked after the capture ended";
        EXPECT_EQ(probe.CountKey(WM_KEYDOWN), c.answer ? 0u : 1u);
        EXPECT_EQ(probe.CountKey(WM_KEYUP), 1u);
        EXPECT_EQ(destroyed, 1);
        if (c.useDestroy) {
            EXPECT_EQ(destroyedInsideCallback, 0) << "freed after the walk";
        }
    }
}

TEST_F(InputHookTest, DestroyOutsideACallbackFreesAtOnce)
{
    int destroyed = 0;
    RecordingWindow target(0);
    InputHookManager* manager = new CountedManager(&destroyed);
    manager->AddTarget(target.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    InputHookManager::Destroy(manager);
    EXPECT_EQ(destroyed, 1);
    InputHookManager::Destroy(nullptr);
}

TEST_F(InputHookTest, DestroyInANestedWalkFreesAfterTheOuterOne)
{
    // A handler that pumps messages (a message box, say) lets the next event run
    // through the hooks while the first walk is still on the stack.
    int destroyed = 0;
    int destroyedAfterNestedPump = -1;
    InputHookManager* manager = new CountedManager(&destroyed);
    RecordingWindow first(0);
    RecordingWindow second(0);
    first.onEvent = [&](const ReceivedEvent& e) {
        if (e.input == WM_KEYDOWN) {
            SendKey(kKey, true);
            PumpUntil([&] { return first.events.size() >= 2; }, 3000);
            destroyedAfterNestedPump = destroyed;
        } else if (e.input == WM_KEYUP) {
            InputHookManager::Destroy(manager);
        }
    };
    manager->AddTarget(first.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    manager->AddTarget(second.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);

    SendKey(kKey, false);
    ASSERT_TRUE(PumpUntil([&] { return probe.keys.size() >= 2; }, 3000));
    ASSERT_EQ(first.events.size(), 2u);
    EXPECT_EQ(destroyedAfterNestedPump, 0) << "still walked by the outer hook procedure";
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(second.events.empty());
}

TEST_F(InputHookTest, OneWindowTakesKeysAndClicksUnderItsTwoMessages)
{
    // The capture's usual set-up: one window registered for keys under one message
    // and for mouse buttons under another. A target is a duplicate only when window,
    // kind and message id all match.
    RecordingWindow surface(0, true);  // the click lands on a window of our own
    SetCursorPos(150, 150);
    RecordingWindow window(0);
    InputHookManager manager;
    manager.AddTarget(window.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    manager.AddTarget(window.hwnd(), InputHookManager::KindMouse, kMsgHookMouse);
    manager.AddTarget(window.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey + 9);
    manager.AddTarget(window.hwnd(), InputHookManager::KindKeyboard, kMsgHookKey);
    manager.AddTarget(window.hwnd(), InputHookManager::KindMouse, kMsgHookMouse);
    ASSERT_EQ(manager.GetTargets().size(), 3u);
    testutil::PumpPending();

    TapKey();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return probe.CountMouse(WM_LBUTTONUP) >= 1; }, 3000));
    testutil::PumpPending();
    ASSERT_EQ(window.events.size(), 6u);
    const struct
    {
        UINT message;
        WPARAM input;
    } want[] = {
        {kMsgHookKey, WM_KEYDOWN},   {kMsgHookKey + 9, WM_KEYDOWN},   {kMsgHookKey, WM_KEYUP},
        {kMsgHookKey + 9, WM_KEYUP}, {kMsgHookMouse, WM_LBUTTONDOWN}, {kMsgHookMouse, WM_LBUTTONUP},
    };
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(window.events[i].message, want[i].message) << i;
        EXPECT_EQ(window.events[i].input, want[i].input) << i;
    }
    manager.RemoveHooks();
}

TEST_F(InputHookTest, MouseWalkGoesOnPastAZeroAnswerOrADeadWindow)
{
    struct Case
    {
        const char* what;
        LRESULT firstAnswer;
        bool firstWindowGone;
        bool secondAsked;
    };
    const Case cases[] = {
        {"first answers 0", 0, false, true},
        {"first answers non-zero", 3, false, false},
        {"first window gone", 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingWindow first(c.firstAnswer);
        RecordingWindow second(1);
        InputHookManager manager;
        manager.AddTarget(first.hwnd(), InputHookManager::KindMouse, kMsgHookMouse);
        manager.AddTarget(second.hwnd(), InputHookManager::KindMouse, kMsgHookMouse + 3);
        if (c.firstWindowGone) first.Destroy();

        MSLLHOOKSTRUCT click = {};
        click.dwExtraInfo = kInjectMark;
        EXPECT_EQ(InputHookManager::MouseHookProc(HC_ACTION, WM_LBUTTONDOWN,
                                                  reinterpret_cast<LPARAM>(&click)),
                  0);
        EXPECT_EQ(first.events.size(), c.firstWindowGone ? 0u : 1u);
        ASSERT_EQ(second.events.size(), c.secondAsked ? 1u : 0u);
        if (c.secondAsked) {
            EXPECT_EQ(second.events[0].message, kMsgHookMouse + 3);
            EXPECT_EQ(second.events[0].input, WPARAM(WM_LBUTTONDOWN));
        }
        manager.RemoveHooks();
    }
}
