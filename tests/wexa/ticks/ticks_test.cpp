// The multimedia tick against the UI thread. Each scenario puts the two
// threads at the worst moment: the timer thread inside a tick (a handler that
// asks for a repaint, or a container walking its children) while the UI thread
// sits inside an engine walk, a container walk or a paint and removes,
// unregisters or registers a ticked control, or stops the timer. Every
// scenario runs under a watchdog: a deadlock ends the test program with a
// message instead of hanging the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <random>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "TickGates.h"
#include "WindowTestHelpers.h"
#include "EngineFixture.h"

namespace {

// A message the engine offers its top-level controls (OnWindowMessage pass).
const UINT kPoke = WM_APP + 7;

using ticktest::Gate;
using ticktest::Watchdog;

std::mutex g_liveMutex;
std::set<const void*> g_live;
std::atomic<int> g_lateTicks{0};

// A control whose hooks run what the scenario gives them. It counts a tick
// that reaches it after its destruction began, or a destruction during its tick.
class Hooked : public WEXA::MControl
{
public:
    Hooked(WEXA::MObject* owner, UINT id, CRect rect) : MControl(owner, id, rect, 1, 1, 1)
    {
        m_bRunTimer = 1;
        std::lock_guard<std::mutex> lock(g_liveMutex);
        g_live.insert(this);
    }
    ~Hooked() override
    {
        if (inTick.load()) ++g_lateTicks;
        std::lock_guard<std::mutex> lock(g_liveMutex);
        g_live.erase(this);
    }

    // A child filed in this control; its owner (notifications, repaint
    // requests) is this control unless another one is given.
    Hooked* AddChild(UINT id, CRect rect, WEXA::MObject* owner = nullptr)
    {
        auto* child = new Hooked(owner ? owner : this, id, rect);
        child->m_pManager = m_pManager;
        CAutoLock lock(m_childLock);
        m_controls.push_back(child);
        return child;
    }

    std::function<void()> onTick;  // timer thread, once after Arm()
    std::function<void()> onKey;   // UI thread, inside its parent's key walk
    std::function<void()> onPoke;  // UI thread, inside the engine's message pass
    std::function<void()> onDraw;  // UI thread, once, while the engine paints
    void Arm() { armed = true; }
    // Asks for a repaint of itself on every tick.
    bool repaintEachTick = false;

    std::atomic<bool> armed{false};
    std::atomic<int> inTick{0};
    std::atomic<int> ticks{0};
    int renders = 0;
    CRect lastClip;

    void DrawControl(HDC& dc, CRect clip) override
    {
        lastClip = clip;
        if (!m_bUpdate) {
            UpdateMemDC(dc, m_rcControl.Width(), m_rcControl.Height());
            ++renders;
        }
        if (onDraw) {
            auto hook = std::move(onDraw);
            onDraw = nullptr;
            hook();
        }
    }
    int OnControlTimer() override
    {
        {
            std::lock_guard<std::mutex> lock(g_liveMutex);
            if (!g_live.count(this)) ++g_lateTicks;
        }
        inTick = 1;
        ++ticks;
        if (armed.exchange(false) && onTick) onTick();
        if (repaintEachTick) UpdateControl(0, 0);
        inTick = 0;
        return 1;
    }
    int OnControlKeyDown(UINT, UINT, UINT) override
    {
        if (!onKey) return 0;
        onKey();
        return 1;
    }
    LONG OnWindowMessage(UINT msg, UINT_PTR, LONG_PTR) override
    {
        if (msg != kPoke || !onPoke) return 0;
        onPoke();
        return 1;
    }
};

class TickLockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_lateTicks = 0;
        ASSERT_NE(
            host.Create(nullptr, L"tick test", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 500, 400)),
            nullptr);
        engine = &host.engine;
        hwnd = host.GetSafeHwnd();
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        SettleWindow();
    }
    // The display server maps and exposes a new window in its own
    // time (later under load), and each of those may invalidate it. A test
    // that counts renders or reads the paint's clip starts once none has come
    // for a while, with the window valid.
    void SettleWindow()
    {
        const DWORD start = GetTickCount();
        DWORD quietSince = start;
        while (GetTickCount() - quietSince < 150 && GetTickCount() - start < 3000) {
            testutil::PumpPending();
            RECT dirty;
            if (GetUpdateRect(hwnd, &dirty, FALSE)) {
                UpdateWindow(hwnd);
                quietSince = GetTickCount();
            }
            Sleep(5);
        }
        ValidateRect(hwnd, nullptr);
    }
    void TearDown() override
    {
        engine->KillMTimer();
        host.DestroyWindow();
        EXPECT_EQ(g_lateTicks.load(), 0);
    }

    Hooked* AddTop(UINT id, CRect rect)
    {
        auto* c = new Hooked(&host, id, rect);
        c->SetManager(engine);
        CAutoLock lock(engine->m_controlsLock);
        engine->m_controls.push_back(c);
        return c;
    }
    // Whether the window has an update region that covers rect.
    bool Invalid(const CRect& rect)
    {
        RECT r;
        if (!GetUpdateRect(hwnd, &r, FALSE)) return false;
        CRect box(r), both;
        both.UnionRect(&box, &rect);
        return both == box;
    }
    // Runs the posted messages and timers, no paint, until the engine has
    // picked up the repaint requests other threads queued.
    bool PickUpRepaints(DWORD timeoutMs = 2000)
    {
        const unsigned before = engine->GetRepaintPickups();
        const DWORD start = GetTickCount();
        while (engine->GetRepaintPickups() == before) {
            if (GetTickCount() - start > timeoutMs) return false;
            MSG msg;
            while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE))
                DispatchMessageW(&msg);
            Sleep(1);
        }
        return true;
    }
    void Paint()
    {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
    void PressKey() { SendMessageW(hwnd, WM_KEYDOWN, 'A', 1); }

    enginetest::HostWindow host;
    WEXA::PaintManager* engine = nullptr;
    HWND hwnd = nullptr;
};

// ---- a tick asks for a repaint while the UI thread changes the tick list ----

enum class Walk { EngineMessagePass, ContainerKeyWalk };
enum class Change { RemoveTopLevel, RemoveChild, Unregister, RegisterAnother };

struct ListCase
{
    const char* name;
    Walk walk;
    Change change;
};

class TickRepaintAgainstListChange : public TickLockTest,
                                     public ::testing::WithParamInterface<ListCase>
{};

TEST_P(TickRepaintAgainstListChange, NeitherThreadWaitsForTheOther)
{
    const ListCase& c = GetParam();
    // The ticked control: top level, or the registered child of a top-level box.
    Hooked* box = nullptr;
    Hooked* ticked = nullptr;
    if (c.change == Change::RemoveChild) {
        box = AddTop(1, CRect(0, 0, 200, 200));
        box->m_bRunTimer = 0;
        // Owned by the window: its repaint requests go straight to the engine.
        ticked = box->AddChild(2, CRect(10, 10, 60, 60), &host);
    } else {
        ticked = AddTop(2, CRect(10, 10, 60, 60));
    }
    // The UI side: a top-level control answering the engine's message pass, or
    // a button inside a top-level panel reached by the key walk.
    Hooked* trigger = nullptr;
    if (c.walk == Walk::EngineMessagePass) {
        trigger = AddTop(3, CRect(300, 0, 350, 50));
    } else {
        Hooked* panel = AddTop(4, CRect(300, 0, 390, 90));
        trigger = panel->AddChild(5, CRect(300, 0, 340, 40));
    }
    trigger->m_bRunTimer = 0;

    Gate tickIn, uiIn;
    ticked->onTick = [&] {
        tickIn.Open();
        uiIn.Wait();
        ticked->UpdateControl(0, 0);
        Sleep(20);  // still ticking when the UI thread changes the list
    };
    std::atomic<bool> changed{false};
    Hooked* another = nullptr;
    auto change = [&] {
        ASSERT_TRUE(tickIn.Wait());
        uiIn.Open();
        switch (c.change) {
            case Change::RemoveTopLevel: engine->RemoveControl(ticked); break;
            case Change::RemoveChild: box->RemoveControl(ticked); break;
            case Change::Unregister:
                EXPECT_EQ(engine->DeleteFSTimer(ticked), 1);
                // No tick of it runs once it is off the list.
                EXPECT_EQ(ticked->inTick.load(), 0);
                break;
            case Change::RegisterAnother:
                another = new Hooked(&host, 9, CRect(0, 0, 5, 5));
                another->SetManager(engine);
                EXPECT_EQ(engine->AddMTimer(another), 1);
                break;
        }
        changed = true;
    };
    if (c.walk == Walk::EngineMessagePass)
        trigger->onPoke = change;
    else
        trigger->onKey = change;

    ticked->AddMTimer();
    ticked->Arm();
    engine->SetMTimer(2);
    {
        Watchdog watchdog(c.name, 5000);
        if (c.walk == Walk::EngineMessagePass)
            SendMessageW(hwnd, kPoke, 0, 0);
        else
            PressKey();
        engine->KillMTimer();
    }
    EXPECT_TRUE(changed.load());
    // The tick's repaint request reached the window.
    ASSERT_TRUE(PickUpRepaints());
    EXPECT_TRUE(Invalid(CRect(10, 10, 60, 60)));
    if (another) {
        engine->DeleteFSTimer(another);
        delete another;
    }
}

const ListCase kListCases[] = {
    {"RemoveTopLevelFromMessagePass", Walk::EngineMessagePass, Change::RemoveTopLevel},
    {"RemoveChildFromMessagePass", Walk::EngineMessagePass, Change::RemoveChild},
    {"UnregisterFromMessagePass", Walk::EngineMessagePass, Change::Unregister},
    {"RegisterFromMessagePass", Walk::EngineMessagePass, Change::RegisterAnother},
    {"RemoveTopLevelFromKeyWalk", Walk::ContainerKeyWalk, Change::RemoveTopLevel},
    {"UnregisterFromKeyWalk", Walk::ContainerKeyWalk, Change::Unregister},
};

INSTANTIATE_TEST_SUITE_P(Cases, TickRepaintAgainstListChange, ::testing::ValuesIn(kListCases),
                         [](const ::testing::TestParamInfo<ListCase>& info) {
                             return info.param.name;
                         });

// ---- a ticked container walks its children while the UI thread holds its lock ----

enum class Action { UnregisterContainer, StopTimer };

struct WalkCase
{
    const char* name;
    Action action;
};

class ContainerTickAgainstItsOwnWalk : public TickLockTest,
                                       public ::testing::WithParamInterface<WalkCase>
{};

TEST_P(ContainerTickAgainstItsOwnWalk, TheWaitingSideIsNotBlocked)
{
    const WalkCase& c = GetParam();
    // A registered container; its button's key handler runs inside the
    // container's key walk, under the container's child lock.
    Hooked* box = AddTop(1, CRect(0, 0, 200, 200));
    Hooked* button = box->AddChild(2, CRect(10, 10, 60, 60));
    button->m_bRunTimer = 0;

    Gate tickIn, uiIn;
    box->onTick = [&] {
        tickIn.Open();
        uiIn.Wait();
        // Back in the tick walk: the container's children come next.
    };
    std::atomic<bool> done{false};
    button->onKey = [&] {
        ASSERT_TRUE(tickIn.Wait());
        uiIn.Open();
        Sleep(20);  // the tick now wants the child lock this thread holds
        if (c.action == Action::UnregisterContainer)
            EXPECT_EQ(engine->DeleteFSTimer(box), 1);
        else
            engine->KillMTimer();
        EXPECT_EQ(box->inTick.load(), 0);
        done = true;
    };

    box->AddMTimer();
    box->Arm();
    engine->SetMTimer(2);
    {
        Watchdog watchdog(c.name, 5000);
        PressKey();
        engine->KillMTimer();
    }
    EXPECT_TRUE(done.load());
    engine->DeleteFSTimer(box);
}

const WalkCase kWalkCases[] = {
    {"UnregisterContainer", Action::UnregisterContainer},
    {"StopTimer", Action::StopTimer},
};

INSTANTIATE_TEST_SUITE_P(Cases, ContainerTickAgainstItsOwnWalk, ::testing::ValuesIn(kWalkCases),
                         [](const ::testing::TestParamInfo<WalkCase>& info) {
                             return info.param.name;
                         });

TEST_F(TickLockTest, StoppingTheTimerInTheMessagePassWhileATickRepaints)
{
    Hooked* ticked = AddTop(1, CRect(10, 10, 60, 60));
    Hooked* trigger = AddTop(2, CRect(300, 0, 350, 50));
    trigger->m_bRunTimer = 0;
    Gate tickIn, uiIn;
    ticked->onTick = [&] {
        tickIn.Open();
        uiIn.Wait();
        ticked->UpdateControl(0, 0);
    };
    std::atomic<bool> stopped{false};
    trigger->onPoke = [&] {
        ASSERT_TRUE(tickIn.Wait());
        uiIn.Open();
        engine->KillMTimer();  // waits for the running tick
        stopped = true;
    };
    ticked->AddMTimer();
    ticked->Arm();
    engine->SetMTimer(2);
    {
        Watchdog watchdog("StopTimerFromMessagePass", 5000);
        SendMessageW(hwnd, kPoke, 0, 0);
    }
    EXPECT_TRUE(stopped.load());
    EXPECT_EQ(engine->m_uMTimerID.load(), 0u);
    const int ticks = ticked->ticks.load();
    Sleep(20);
    EXPECT_EQ(ticked->ticks.load(), ticks);  // stopped means stopped
    ASSERT_TRUE(PickUpRepaints());
    EXPECT_TRUE(Invalid(CRect(10, 10, 60, 60)));
}

// ---- painting a ticked container whose child asks for a repaint ----

TEST_F(TickLockTest, PaintingATickedContainerWhoseChildRepaints)
{
    Hooked* box = AddTop(1, CRect(0, 0, 200, 200));
    // Owned by the window: its repaint requests go straight to the engine.
    Hooked* kid = box->AddChild(2, CRect(10, 10, 60, 60), &host);
    Gate tickIn, uiIn;
    kid->onTick = [&] {
        tickIn.Open();
        uiIn.Wait();
        kid->UpdateControl(0, 0);  // under the container's child lock
    };
    box->onDraw = [&] {
        // The paint holds the controls lock; the container's children are next.
        ASSERT_TRUE(tickIn.Wait());
        uiIn.Open();
        Sleep(20);
    };
    box->AddMTimer();
    kid->Arm();
    engine->SetMTimer(2);
    {
        Watchdog watchdog("PaintTickedContainer", 5000);
        Paint();
        engine->KillMTimer();
    }
    EXPECT_GE(kid->ticks.load(), 1);
    // The request came during the paint: it is still due.
    ASSERT_TRUE(PickUpRepaints());
    EXPECT_TRUE(Invalid(CRect(10, 10, 60, 60)));
}

// ---- repaint requests from another thread ----

TEST_F(TickLockTest, RepaintRequestFromAnotherThreadIsCompletedByThePaint)
{
    Hooked* before = AddTop(1, CRect(0, 0, 30, 30));
    Hooked* a = AddTop(2, CRect(0, 0, 100, 100));
    Hooked* over = AddTop(3, CRect(50, 50, 150, 150));
    Hooked* apart = AddTop(4, CRect(200, 0, 250, 50));
    Paint();
    ValidateRect(hwnd, nullptr);
    const int beforeRenders = before->renders, aRenders = a->renders, overRenders = over->renders,
              apartRenders = apart->renders;

    std::thread([&] { a->UpdateControl(0, 0); }).join();
    // Nothing is invalidated from the other thread: the UI thread does it
    // when it picks the request up, on a timer.
    EXPECT_FALSE(Invalid(a->m_rcControl));
    ASSERT_TRUE(PickUpRepaints());
    EXPECT_TRUE(Invalid(a->m_rcControl));
    // Only the requester and what covers it are due (anything more came from
    // outside the engine, such as a late exposure by the display server).
    RECT due = {};
    GetUpdateRect(hwnd, &due, FALSE);
    EXPECT_EQ(CRect(due), CRect(0, 0, 150, 150));
    UpdateWindow(hwnd);
    // As on the UI thread: a later overlapping control is rendered again and
    // the whole of it repainted; the others keep their looks.
    EXPECT_EQ(over->renders, overRenders + 1);
    EXPECT_EQ(over->lastClip, CRect(0, 0, 150, 150));
    EXPECT_EQ(a->renders, aRenders);
    EXPECT_EQ(before->renders, beforeRenders);
    EXPECT_EQ(apart->renders, apartRenders);

    // A request whose control is gone by the time the window paints is dropped.
    std::thread([&] { over->UpdateControl(0, 0); }).join();
    engine->RemoveControl(over);
    UpdateWindow(hwnd);
    EXPECT_EQ(apart->renders, apartRenders);
}

// ---- everything at once ----

TEST_F(TickLockTest, StressTicksAgainstChangesFromEveryWalkAndPaint)
{
    // Ticked boxes (some children registered too, some owned by the window)
    // repaint on every 1 ms tick, while the UI thread, from the engine's
    // message pass, from a container's key walk and between paints, adds,
    // removes, unregisters and re-registers them and restarts the timer.
    std::mt19937 random(11);
    std::vector<Hooked*> boxes;
    UINT nextId = 100;
    int changes = 0;
    auto addBox = [&] {
        const int x = static_cast<int>(random() % 200), y = static_cast<int>(random() % 150);
        Hooked* box = AddTop(nextId++, CRect(x, y, x + 100, y + 100));
        box->repaintEachTick = true;
        for (int i = 0; i < 2; ++i) {
            Hooked* child = box->AddChild(nextId++, CRect(x + i * 40, y, x + i * 40 + 30, y + 30),
                                          random() % 2 ? &host : nullptr);
            child->repaintEachTick = true;
            if (random() % 2) child->AddMTimer();
        }
        box->AddMTimer();
        boxes.push_back(box);
    };
    auto change = [&] {
        ++changes;
        if (boxes.size() < 4) {
            addBox();
            return;
        }
        const size_t pick = random() % boxes.size();
        Hooked* box = boxes[pick];
        switch (random() % 6) {
            case 0: addBox(); break;
            case 1:
                engine->RemoveControl(box);
                boxes.erase(boxes.begin() + pick);
                break;
            case 2:
                if (box->m_controls.size() > 0) box->RemoveControl(box->m_controls.front());
                break;
            case 3:
                engine->DeleteFSTimer(box);
                box->AddMTimer();
                break;
            case 4:
                engine->KillMTimer();
                engine->SetMTimer(1);
                break;
            default: box->RemoveAllControl(); break;
        }
    };
    Hooked* driver = AddTop(1, CRect(390, 0, 400, 10));
    driver->m_bRunTimer = 0;
    driver->onPoke = change;
    Hooked* panel = AddTop(2, CRect(380, 280, 400, 300));
    panel->m_bRunTimer = 0;
    Hooked* button = panel->AddChild(3, CRect(380, 280, 390, 290));
    button->m_bRunTimer = 0;
    button->onKey = change;

    engine->SetMTimer(1);
    {
        Watchdog watchdog("Stress", 15000);
        // A number of changes, not a time: a loaded machine runs fewer per second.
        const DWORD start = GetTickCount();
        while (changes < 150 && GetTickCount() - start < 10000) {
            switch (random() % 3) {
                case 0: SendMessageW(hwnd, kPoke, 0, 0); break;
                case 1: PressKey(); break;
                default: Paint(); break;
            }
            if (random() % 4 == 0) Sleep(1);
        }
        engine->KillMTimer();
    }
    EXPECT_GE(changes, 150);
    int ticks = 0;
    for (Hooked* box : boxes) ticks += box->ticks.load();
    EXPECT_GT(ticks, 0);
}

}  // namespace
