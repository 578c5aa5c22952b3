// Input routing of the push, text and special buttons: which input gives
// which look and which event, in which order with the repaint request.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "CSwitchButton.h"
#include "CTextButton.h"
#include "CTimerButton.h"
#include "ControlsTestSupport.h"
#include "MAirBladder.h"
#include "MButton.h"
#include "WindowTestHelpers.h"

using namespace WEXA;
using ctltest::Event;
using ctltest::RecordingOwner;

namespace {

const CRect kRect(10, 10, 110, 40);
const CPoint kIn(20, 20);
const CPoint kOut(200, 200);

// A push-style button under test: how to make it and read its look.
struct PushClass
{
    const char* name;
    std::function<MControlFont*(MObject*, int enabled)> make;
    std::function<int(MControlFont*)> state;
    bool clickBeforeRepaint;  // code 2 reaches the owner before the repaint request
};

template <class T>
PushClass Push(const char* name, bool clickFirst)
{
    return {name,
            [](MObject* owner, int enabled) -> MControlFont* {
                return new T(owner, 7, kRect, L"Go", 1, enabled);
            },
            [](MControlFont* c) { return static_cast<T*>(c)->m_nState; }, clickFirst};
}

const PushClass kPushClasses[] = {
    Push<MButton>("MButton", false),
    Push<CImageButton>("CImageButton", false),
    Push<CTextButton>("CTextButton", true),
    Push<UpgradeButton>("UpgradeButton", false),
    Push<DownloadButton>("DownloadButton", false),
    Push<CTimerButton>("CTimerButton", false),
};

// One step of a routing table: an input, then the look and the codes it gives.
struct Step
{
    const char* input;
    std::function<int(MControl*)> act;
    int state;
    std::vector<UINT> codes;
    int check = 0;  // the check state, for the classes that have one
};

int Move(MControl* c, CPoint p)
{
    return c->OnControlMouseMove(0, p);
}
int Down(MControl* c, CPoint p)
{
    return c->OnControlLButtonDown(MK_LBUTTON, p);
}
int Up(MControl* c, CPoint p)
{
    return c->OnControlLButtonUp(0, p);
}

const std::vector<Step> kPushTable = {
    {"hover in", [](MControl* c) { return Move(c, kIn); }, 1, {}},
    {"hover out", [](MControl* c) { return Move(c, kOut); }, 0, {}},
    {"press inside", [](MControl* c) { return Down(c, kIn); }, 2, {1}},
    {"drag outside", [](MControl* c) { return Move(c, kOut); }, 2, {}},
    {"release outside", [](MControl* c) { return Up(c, kOut); }, 0, {}},
    {"press again", [](MControl* c) { return Down(c, kIn); }, 2, {1}},
    {"release inside", [](MControl* c) { return Up(c, kIn); }, 1, {2}},
    {"release without press", [](MControl* c) { return Up(c, kIn); }, 1, {}},
    // A double click arrives as another press (the buttons take no double clicks).
    {"double click", [](MControl* c) { return c->OnLButtonDblClk(0, kIn); }, 2, {1}},
    {"release", [](MControl* c) { return Up(c, kIn); }, 1, {2}},
    {"space", [](MControl* c) { return c->OnControlKeyDown(VK_SPACE, 1, 0); }, 1, {}},
    {"enter", [](MControl* c) { return c->OnControlKeyDown(VK_RETURN, 1, 0); }, 1, {}},
    {"disable", [](MControl* c) { return c->SetEnabled(0), 0; }, 3, {}},
    {"hover while disabled", [](MControl* c) { return Move(c, kIn); }, 3, {}},
    {"press while disabled", [](MControl* c) { return Down(c, kIn); }, 3, {}},
    {"release while disabled", [](MControl* c) { return Up(c, kIn); }, 3, {}},
    {"enable", [](MControl* c) { return c->SetEnabled(1), 0; }, 0, {}},
};

// MButton3: every release inside toggles the check and reports it, with or
// without a press on it.
const std::vector<Step> kToggleTable = {
    {"hover in", [](MControl* c) { return Move(c, kIn); }, 1, {}},
    {"hover out", [](MControl* c) { return Move(c, kOut); }, 0, {}},
    {"press inside", [](MControl* c) { return Down(c, kIn); }, 2, {1}},
    {"drag outside", [](MControl* c) { return Move(c, kOut); }, 2, {}},
    {"release outside", [](MControl* c) { return Up(c, kOut); }, 0, {}},
    {"release without press", [](MControl* c) { return Up(c, kIn); }, 1, {2}, 1},
    {"press again", [](MControl* c) { return Down(c, kIn); }, 2, {1}, 1},
    {"release inside", [](MControl* c) { return Up(c, kIn); }, 1, {2}, 0},
    {"release without press again", [](MControl* c) { return Up(c, kIn); }, 1, {2}, 1},
    {"double click", [](MControl* c) { return c->OnLButtonDblClk(0, kIn); }, 2, {1}, 1},
    {"release", [](MControl* c) { return Up(c, kIn); }, 1, {2}, 0},
    {"space", [](MControl* c) { return c->OnControlKeyDown(VK_SPACE, 1, 0); }, 1, {}},
    {"enter", [](MControl* c) { return c->OnControlKeyDown(VK_RETURN, 1, 0); }, 1, {}},
    {"disable", [](MControl* c) { return c->SetEnabled(0), 0; }, 3, {}},
    {"hover while disabled", [](MControl* c) { return Move(c, kIn); }, 3, {}},
    {"press while disabled", [](MControl* c) { return Down(c, kIn); }, 3, {}},
    {"release while disabled", [](MControl* c) { return Up(c, kIn); }, 3, {}},
    {"enable", [](MControl* c) { return c->SetEnabled(1), 0; }, 0, {}},
};

// The help icon has no look of its own to change and sends nothing.
const std::vector<Step> kSilentTable = {
    {"hover in", [](MControl* c) { return Move(c, kIn); }, 0, {}},
    {"press inside", [](MControl* c) { return Down(c, kIn); }, 0, {}},
    {"release inside", [](MControl* c) { return Up(c, kIn); }, 0, {}},
    {"press, release outside", [](MControl* c) { return Down(c, kIn), Up(c, kOut); }, 0, {}},
    {"double click", [](MControl* c) { return c->OnLButtonDblClk(0, kIn); }, 0, {}},
    {"release", [](MControl* c) { return Up(c, kIn); }, 0, {}},
    {"space", [](MControl* c) { return c->OnControlKeyDown(VK_SPACE, 1, 0); }, 0, {}},
    {"enter", [](MControl* c) { return c->OnControlKeyDown(VK_RETURN, 1, 0); }, 0, {}},
    {"hover out", [](MControl* c) { return Move(c, kOut); }, 0, {}},
    {"disable, click",
     [](MControl* c) { return c->SetEnabled(0), Down(c, kIn), Up(c, kIn); },
     0,
     {}},
};

struct RoutedClass
{
    PushClass cls;
    const std::vector<Step>& steps;
    std::function<int(MControlFont*)> check;
};

int NoCheck(MControlFont*)
{
    return 0;
}

std::vector<RoutedClass> RoutedClasses()
{
    std::vector<RoutedClass> routed;
    for (const PushClass& cls : kPushClasses) routed.push_back({cls, kPushTable, &NoCheck});
    routed.push_back({Push<MButton3>("MButton3", true), kToggleTable,
                      [](MControlFont* c) { return static_cast<MButton3*>(c)->GetCheck(); }});
    routed.push_back({{"CHelpButton",
                       [](MObject* owner, int enabled) -> MControlFont* {
                           return new CHelpButton(owner, 7, kRect, L"Help", 1, enabled);
                       },
                       &NoCheck, false},
                      kSilentTable,
                      &NoCheck});
    return routed;
}

}  // namespace

TEST(PushButtons, RoutingTable)
{
    for (const RoutedClass& routed : RoutedClasses()) {
        const PushClass& cls = routed.cls;
        RecordingOwner owner;
        std::unique_ptr<MControlFont> button(cls.make(&owner, 1));
        for (const Step& step : routed.steps) {
            SCOPED_TRACE(std::string(cls.name) + ": " + step.input);
            owner.Clear();
            step.act(button.get());
            EXPECT_EQ(cls.state(button.get()), step.state);
            EXPECT_EQ(routed.check(button.get()), step.check);
            EXPECT_EQ(owner.Codes(), step.codes);
            for (const Event& e : owner.events) {
                EXPECT_EQ(e.id, 7u);
                EXPECT_EQ(e.wparam, 0u);
                EXPECT_EQ(e.lparam, 0);
            }
        }
    }
}

TEST(PushButtons, ClickAndRepaintOrder)
{
    for (const PushClass& cls : kPushClasses) {
        SCOPED_TRACE(cls.name);
        RecordingOwner owner;
        std::unique_ptr<MControlFont> button(cls.make(&owner, 1));
        Down(button.get(), kIn);
        EXPECT_EQ(owner.journal, (std::vector<std::string>{"event 1", "repaint 0"}));
        owner.Clear();
        Up(button.get(), kIn);
        if (cls.clickBeforeRepaint)
            EXPECT_EQ(owner.journal, (std::vector<std::string>{"event 2", "repaint 0"}));
        else
            EXPECT_EQ(owner.journal, (std::vector<std::string>{"repaint 0", "event 2"}));
        // Hidden: the state still changes, nothing is repainted.
        button->m_bVisible = 0;
        owner.Clear();
        Move(button.get(), kOut);
        EXPECT_TRUE(owner.updates.empty());
    }
}

TEST(PushButtons, CreatedDisabledShowsTheDisabledLook)
{
    for (const PushClass& cls : kPushClasses) {
        SCOPED_TRACE(cls.name);
        RecordingOwner owner;
        std::unique_ptr<MControlFont> button(cls.make(&owner, 0));
        EXPECT_EQ(cls.state(button.get()), 3);
        button->SetEnabled(1);
        EXPECT_EQ(cls.state(button.get()), 0);
    }
}

TEST(MButton3, EveryReleaseInsideTogglesAndTheCheckKeepsThePressedLook)
{
    RecordingOwner owner;
    MButton3 button(&owner, 3, kRect, L"Rec", 1, 1);
    // A release inside without a press on it still toggles and reports; the
    // look did not change, so nothing is repainted.
    Move(&button, kIn);
    owner.Clear();
    EXPECT_EQ(Up(&button, kIn), 0);
    EXPECT_EQ(button.GetCheck(), 1);
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{2});
    EXPECT_TRUE(owner.updates.empty());
    // A full click: 1 at the press, 2 (before the repaint) at the release.
    owner.Clear();
    Down(&button, kIn);
    Up(&button, kIn);
    EXPECT_EQ(button.GetCheck(), 0);
    EXPECT_EQ(owner.journal,
              (std::vector<std::string>{"event 1", "repaint 0", "event 2", "repaint 0"}));
    // SetCheck: no event; ignored while disabled.
    owner.Clear();
    EXPECT_EQ(button.SetCheck(1), 1);
    EXPECT_TRUE(owner.events.empty());
    button.SetEnabled(0);
    EXPECT_EQ(button.SetCheck(0), 1);
    EXPECT_EQ(button.GetCheck(), 1);
}

TEST(CSwitchButton, ClickFlipsAndReportsThePosition)
{
    RecordingOwner owner;
    CSwitchButton sw(&owner, 4, kRect, 1, 1);
    struct
    {
        const char* input;
        std::function<void()> act;
        int state, on;
        std::vector<Event> events;
    } table[] = {
        {"hover", [&] { Move(&sw, kIn); }, 1, 0, {}},
        {"hover out", [&] { Move(&sw, kOut); }, 0, 0, {}},
        {"hover in again", [&] { Move(&sw, kIn); }, 1, 0, {}},
        {"release without press", [&] { Up(&sw, kIn); }, 1, 0, {}},
        {"press", [&] { Down(&sw, kIn); }, 1, 0, {}},
        {"release inside", [&] { Up(&sw, kIn); }, 1, 1, {{4, 2, 0, 1}}},
        {"press and release again", [&] { Down(&sw, kIn), Up(&sw, kIn); }, 1, 0, {{4, 2, 0, 0}}},
        {"press, release outside", [&] { Down(&sw, kIn), Up(&sw, kOut); }, 0, 0, {}},
        {"space", [&] { sw.OnControlKeyDown(VK_SPACE, 1, 0); }, 0, 0, {}},
        // A double click is another press.
        {"double click", [&] { sw.OnLButtonDblClk(0, kIn); }, 1, 0, {}},
        {"release after it", [&] { Up(&sw, kIn); }, 1, 1, {{4, 2, 0, 1}}},
        {"double click and release",
         [&] { sw.OnLButtonDblClk(0, kIn), Up(&sw, kIn); },
         1,
         0,
         {{4, 2, 0, 0}}},
        {"enter", [&] { sw.OnControlKeyDown(VK_RETURN, 1, 0); }, 1, 0, {}},
        {"hover out before disabling", [&] { Move(&sw, kOut); }, 0, 0, {}},
        {"disable", [&] { sw.SetEnabled(0); }, 3, 0, {}},
        {"click while disabled", [&] { Down(&sw, kIn), Up(&sw, kIn); }, 3, 0, {}},
        {"SetCheck while disabled", [&] { sw.SetCheck(1); }, 0, 1, {}},
    };
    for (auto& row : table) {
        SCOPED_TRACE(row.input);
        owner.Clear();
        row.act();
        EXPECT_EQ(sw.m_nState, row.state);
        EXPECT_EQ(sw.GetCheck(), row.on);
        EXPECT_EQ(owner.events, row.events);
    }
}

TEST(CImageButton, BalloonOnlyWithAModeAndATitle)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"balloon", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 200, 100)),
              nullptr);
    PaintManager* engine = dialog.GetPaintManager();
    auto* quiet = static_cast<CImageButton*>(
        dialog.CreateControl(L"CImageButton", 1, CRect(10, 10, 40, 40), L"Tip", 1, 1));
    ASSERT_NE(quiet, nullptr);
    Move(quiet, CPoint(20, 20));
    EXPECT_EQ(engine->m_pAirBladder, nullptr);  // mode 0 never touches the balloon

    auto* tipped = static_cast<CImageButton*>(
        dialog.CreateControl(L"CImageButton", 2, CRect(50, 10, 80, 40), L"Tip", 1, 1));
    tipped->SetAlrBladderMode(AIRBLADDER_MODE_RIGHT);
    Move(tipped, CPoint(60, 20));
    ASSERT_NE(engine->m_pAirBladder, nullptr);
    EXPECT_TRUE(IsWindowVisible(engine->m_pAirBladder->GetSafeHwnd()));
    Move(tipped, CPoint(150, 80));
    EXPECT_FALSE(IsWindowVisible(engine->m_pAirBladder->GetSafeHwnd()));
    dialog.DestroyWindow();
}

TEST(CHelpButton, ShowsItsTitleAndHidesOnlyItsOwnBalloon)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"help", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 200, 100)),
              nullptr);
    PaintManager* engine = dialog.GetPaintManager();
    auto* help = static_cast<CHelpButton*>(
        dialog.CreateControl(L"CHelpButton", 5, CRect(10, 10, 30, 30), L"Help text", 1, 1));
    auto* other = static_cast<CHelpButton*>(
        dialog.CreateControl(L"CHelpButton", 6, CRect(50, 10, 70, 30), L"Other", 1, 1));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->m_nFrameCount, 1);
    EXPECT_EQ(Move(help, CPoint(15, 15)), 1);
    ASSERT_NE(engine->m_pAirBladder, nullptr);
    HWND balloon = engine->m_pAirBladder->GetSafeHwnd();
    EXPECT_TRUE(IsWindowVisible(balloon));
    // Another help button's move outside does not hide this one's balloon.
    EXPECT_EQ(Move(other, CPoint(150, 80)), 0);
    EXPECT_TRUE(IsWindowVisible(balloon));
    EXPECT_EQ(Move(help, CPoint(150, 80)), 0);
    EXPECT_FALSE(IsWindowVisible(balloon));
    // No events from presses; disabled or untitled: nothing.
    Down(help, CPoint(15, 15));
    Up(help, CPoint(15, 15));
    EXPECT_TRUE(dialog.events.empty());
    help->SetEnabled(0);
    EXPECT_EQ(Move(help, CPoint(15, 15)), 0);
    EXPECT_FALSE(IsWindowVisible(balloon));
    dialog.DestroyWindow();
}

// ---- the countdown button ----

namespace {

std::atomic<DWORD> g_now{0};
DWORD FakeClock()
{
    return g_now.load();
}

class ThreadDialog : public ctltest::RecordingDialog
{
public:
    std::vector<DWORD> threads;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        threads.push_back(GetCurrentThreadId());
        return RecordingDialog::OnMessage(id, code, wparam, lparam);
    }
};

}  // namespace

TEST(CTimerButton, CountsDownTenSecondsAndRepaintsAtMostEvery800Ms)
{
    RecordingOwner owner;
    CTimerButton button(&owner, 9, kRect, L"Reset", 1, 1);
    button.SetTickClock(&FakeClock);
    EXPECT_EQ(button.IsRunTimer(), 1);
    g_now = 1000;
    EXPECT_EQ(button.SetRun(1), 1);
    owner.Clear();
    int repaints = 0;
    for (DWORD t = 1000; t <= 11000; t += 16) {
        g_now = t;
        button.OnControlTimer();
        repaints = static_cast<int>(owner.updates.size());
        ASSERT_TRUE(owner.events.empty()) << "at " << t;
    }
    // At most one repaint per 800 ms over ten seconds.
    EXPECT_LE(repaints, 13);
    EXPECT_GE(repaints, 10);
    g_now = 11801;
    button.OnControlTimer();
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{2});
    EXPECT_EQ(button.IsRun(), 0);
    // SetRun on a disabled button changes nothing.
    button.SetEnabled(0);
    EXPECT_EQ(button.SetRun(1), 0);
    // A click stops a running countdown.
    button.SetEnabled(1);
    button.SetRun(1);
    owner.Clear();
    Down(&button, kIn);
    Up(&button, kIn);
    EXPECT_EQ(owner.Codes(), (std::vector<UINT>{1, 2}));
    EXPECT_EQ(button.IsRun(), 0);
}

TEST(CTimerButton, TheEndOfTheCountdownIsRaisedOnTheWindowThread)
{
    ThreadDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"countdown", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    auto* button = static_cast<CTimerButton*>(
        dialog.CreateControl(L"CTimerButton", 12, CRect(10, 10, 110, 40), L"Wait", 1, 1));
    ASSERT_NE(button, nullptr);
    button->SetTickClock(&FakeClock);
    g_now = 50000;
    button->SetRun(1);
    // The multimedia tick's thread sees the time run out.
    g_now = 60900;
    std::thread tick([&] { button->OnControlTimer(); });
    tick.join();
    EXPECT_TRUE(dialog.events.empty());
    EXPECT_EQ(button->IsRun(), 0);
    // The button's window timer raises it on the window's thread.
    ASSERT_TRUE(testutil::PumpUntil([&] { return !dialog.events.empty(); }, 2000));
    ASSERT_EQ(dialog.Codes(), std::vector<UINT>{2});
    EXPECT_EQ(dialog.threads[0], GetCurrentThreadId());
    testutil::PumpPending();
    EXPECT_EQ(dialog.events.size(), 1u);
    dialog.DestroyWindow();
}
