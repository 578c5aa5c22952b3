// Repaint requests made on the multimedia-timer thread by a ticked control
// must not walk child lists there: the UI thread may delete a child (or grow
// the list) at any moment, and removing a control only waits for a tick that
// runs on that control itself. Each case stops the tick exactly where the old
// code walked a list (inside the SetUpdate of a neighbour) and lets the UI
// thread remove that neighbour; a walk that is not deferred to the UI thread
// shows up as a SetUpdate on the timer thread and as a control deleted while
// it was being marked.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>

#include "MPanel.h"
#include "TickGates.h"
#include "WindowTestHelpers.h"
#include "EngineFixture.h"

namespace {

using ticktest::Gate;
using ticktest::Watchdog;

std::atomic<DWORD> g_uiThread{0};
std::mutex g_liveMutex;
std::set<const void*> g_live;
// The control whose SetUpdate on the timer thread parks until g_removed opens.
std::atomic<const void*> g_parkOn{nullptr};
std::atomic<const void*> g_markingOn{nullptr};
std::atomic<int> g_marksOffUi{0};
std::atomic<int> g_deletedWhileMarked{0};
Gate* g_inMark = nullptr;
Gate* g_removed = nullptr;

bool IsLive(const void* control)
{
    std::lock_guard<std::mutex> lock(g_liveMutex);
    return g_live.count(control) != 0;
}

// A control that counts its renders and reports every SetUpdate that runs off
// the UI thread.
class Leaf : public WEXA::MControl
{
public:
    Leaf(WEXA::MObject* owner, UINT id, CRect rect) : MControl(owner, id, rect, 1, 1, 1)
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        g_live.insert(this);
    }
    ~Leaf() override
    {
        if (g_markingOn.load() == this) ++g_deletedWhileMarked;
        std::lock_guard<std::mutex> lock(g_liveMutex);
        g_live.erase(this);
    }

    // A child of this control, attached to the same engine.
    Leaf* AddChild(UINT id, CRect rect)
    {
        auto* child = new Leaf(this, id, rect);
        child->SetManager(m_pManager);
        CAutoLock lock(m_childLock);
        m_controls.push_back(child);
        return child;
    }

    void DrawControl(HDC& dc, CRect) override
    {
        if (m_bUpdate) return;
        UpdateMemDC(dc, m_rcControl.Width(), m_rcControl.Height());
        ++renders;
    }
    void SetUpdate(int update, DWORD value) override
    {
        if (watched && ::GetCurrentThreadId() != g_uiThread.load()) {
            ++g_marksOffUi;
            if (g_parkOn.load() == this) {
                g_markingOn = this;
                g_inMark->Open();
                g_removed->Wait();
                // Deleted meanwhile: touch nothing of it.
                if (!IsLive(this)) return;
                g_markingOn = nullptr;
            }
        }
        MControl::SetUpdate(update, value);
    }
    int OnControlTimer() override
    {
        if (armed.exchange(false) && onTick) onTick();
        return 1;
    }

    std::function<void()> onTick;  // timer thread, once after armed is set
    std::atomic<bool> armed{false};
    bool watched = true;  // SetUpdate off the UI thread is a walk of a list
    int renders = 0;
};

// Where the ticked control sits and which neighbour the UI thread removes.
enum class Shape {
    SiblingInPanel,     // the panel marks later siblings: one of them goes
    ChildOfPanelChild,  // the panel marks the requester's children: one goes
    ChildOfTopLevel,    // the engine marks the requester's children: one goes
};

struct WalkCase
{
    const char* name;
    Shape shape;
    int erase;
    // The tick marks the control itself stale (SetUpdate) before it asks for
    // the repaint.
    bool marksItself;
};

class TickRepaintWalk : public ::testing::TestWithParam<WalkCase>
{
protected:
    void SetUp() override
    {
        g_uiThread = ::GetCurrentThreadId();
        g_parkOn = nullptr;
        g_markingOn = nullptr;
        g_marksOffUi = 0;
        g_deletedWhileMarked = 0;
        g_inMark = &inMark;
        g_removed = &removed;
        ASSERT_NE(host.Create(nullptr, L"panel walk", WS_POPUP | WS_VISIBLE, 0,
                              CRect(100, 100, 500, 400)),
                  nullptr);
        engine = &host.engine;
        hwnd = host.GetSafeHwnd();
        testutil::PumpPending();
    }
    void TearDown() override
    {
        engine->KillMTimer();
        host.DestroyWindow();
        g_inMark = nullptr;
        g_removed = nullptr;
    }

    template <class T>
    T* File(T* control)
    {
        control->SetManager(engine);
        CAutoLock lock(engine->m_controlsLock);
        engine->m_controls.push_back(control);
        return control;
    }
    // Paints everything and leaves the window valid.
    void PaintAll()
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        ::ValidateRect(hwnd, nullptr);
    }

    enginetest::HostWindow host;
    WEXA::PaintManager* engine = nullptr;
    HWND hwnd = nullptr;
    Gate inMark, removed;
};

TEST_P(TickRepaintWalk, NoListIsWalkedOnTheTimerThread)
{
    const WalkCase& c = GetParam();
    Leaf* ticked = nullptr;
    Leaf* victim = nullptr;
    Leaf* covering = nullptr;  // drawn over the requester: must be rendered again
    WEXA::MPanel* panel = nullptr;
    std::function<void()> removeVictim;
    if (c.shape == Shape::ChildOfTopLevel) {
        ticked = File(new Leaf(&host, 10, CRect(10, 10, 110, 110)));
        victim = ticked->AddChild(11, CRect(20, 20, 60, 60));
        removeVictim = [&] { ticked->RemoveControl(victim); };
    } else {
        panel = File(new WEXA::MPanel(&host, 1, CRect(0, 0, 200, 200), 1));
        auto addToPanel = [&](UINT id, CRect rect) {
            auto* leaf = new Leaf(panel, id, rect);
            leaf->SetManager(engine);
            CAutoLock lock(panel->m_childLock);
            panel->m_controls.push_back(leaf);
            return leaf;
        };
        ticked = addToPanel(10, CRect(10, 10, 110, 110));
        if (c.shape == Shape::SiblingInPanel) {
            victim = addToPanel(11, CRect(20, 20, 60, 60));
            removeVictim = [&] { panel->RemoveControl(victim); };
        } else {
            victim = ticked->AddChild(11, CRect(20, 20, 60, 60));
            removeVictim = [&] { ticked->RemoveControl(victim); };
        }
        covering = addToPanel(12, CRect(50, 50, 150, 150));
    }
    PaintAll();
    const unsigned pickups = engine->GetRepaintPickups();
    const int tickedRenders = ticked->renders;
    const int coveringRenders = covering ? covering->renders : 0;

    Gate tickIn, uiGo, tickDone;
    ticked->onTick = [&] {
        tickIn.Open();
        uiGo.Wait();
        if (c.marksItself) ticked->SetUpdate(0, 0);
        ticked->UpdateControl(c.erase, 0);
        tickDone.Open();
    };
    ticked->m_bRunTimer = 1;
    ticked->watched = false;
    ticked->armed = true;
    engine->AddMTimer(ticked);
    engine->SetMTimer(2);
    {
        Watchdog watchdog(c.name, 5000);
        ASSERT_TRUE(tickIn.Wait());
        g_parkOn = victim;
        uiGo.Open();
        // Either the tick walks into the victim (and waits there) or its
        // request is done without a walk.
        HANDLE either[] = {inMark.Handle(), tickDone.Handle()};
        ASSERT_NE(::WaitForMultipleObjects(2, either, FALSE, 2000), WAIT_TIMEOUT);
        removeVictim();
        removed.Open();
        ASSERT_TRUE(tickDone.Wait());
        engine->KillMTimer();
    }
    EXPECT_EQ(g_marksOffUi.load(), 0);
    EXPECT_EQ(g_deletedWhileMarked.load(), 0);

    // The request is completed by the UI thread when it picks it up (posted
    // messages and timers, no paint), and then painted.
    const DWORD start = ::GetTickCount();
    while (engine->GetRepaintPickups() == pickups && ::GetTickCount() - start < 2000) {
        MSG msg;
        while (::PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE))
            ::DispatchMessageW(&msg);
        ::Sleep(1);
    }
    ASSERT_GT(engine->GetRepaintPickups(), pickups);
    ::UpdateWindow(hwnd);
    if (c.erase || c.marksItself) EXPECT_EQ(ticked->renders, tickedRenders + 1);
    if (covering) EXPECT_EQ(covering->renders, coveringRenders + 1);
    EXPECT_EQ(g_marksOffUi.load(), 0);
}

const WalkCase kWalkCases[] = {
    {"PanelMarksSiblingsOverTheRequester", Shape::SiblingInPanel, 0, false},
    {"PanelMarksTheRequestersChildren", Shape::ChildOfPanelChild, 1, false},
    {"EngineMarksTheRequestersChildren", Shape::ChildOfTopLevel, 1, false},
    {"ControlMarksItsOwnChildren", Shape::ChildOfTopLevel, 0, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, TickRepaintWalk, ::testing::ValuesIn(kWalkCases),
                         [](const ::testing::TestParamInfo<WalkCase>& info) {
                             return info.param.name;
                         });

}  // namespace
