// A process has one multimedia-timer thread for every engine and every other
// multimedia timer. While one engine's tick is stopped on a child lock that the
// UI thread holds, no other timer of the process ticks, and a synchronous stop
// of any of them waits for that tick. Each case holds the child lock of a
// container that engine A ticks (the UI thread sits in the container's key
// walk) while the tick comes to the container's children, and then touches
// another timer: stopping engine B's or a plain timer must not deadlock, and
// engine B must go on ticking.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>

#include "MTimer.h"
#include "TickGates.h"
#include "WindowTestHelpers.h"
#include "EngineFixture.h"

namespace {

using ticktest::Gate;
using ticktest::Watchdog;

class Box : public WEXA::MControl
{
public:
    Box(WEXA::MObject* owner, UINT id, CRect rect) : MControl(owner, id, rect, 1, 1, 1)
    {
        m_bRunTimer = 1;
    }
    Box* AddChild(UINT id, CRect rect)
    {
        auto* child = new Box(this, id, rect);
        child->SetManager(m_pManager);
        CAutoLock lock(m_childLock);
        m_controls.push_back(child);
        return child;
    }
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        ++ticks;
        if (armed.exchange(false) && onTick) onTick();
        return 1;
    }
    int OnControlKeyDown(UINT, UINT, UINT) override
    {
        if (!onKey) return 0;
        onKey();
        return 1;
    }

    std::function<void()> onTick;  // timer thread, once after armed is set
    std::function<void()> onKey;   // UI thread, inside the parent's key walk
    std::atomic<bool> armed{false};
    std::atomic<int> ticks{0};
};

// A multimedia timer that is not an engine.
class PlainTimer : public WEXA::MTimer
{
public:
    ~PlainTimer() override { KillTimer(); }
    void OnMTimer(UINT) override { ++ticks; }
    std::atomic<int> ticks{0};
};

enum class Other { StopEngine, StopPlainTimer, EngineKeepsTicking };

struct OtherCase
{
    const char* name;
    Other what;
};

class TickAcrossEngines : public ::testing::TestWithParam<OtherCase>
{
protected:
    void SetUp() override
    {
        ASSERT_NE(
            host.Create(nullptr, L"engine A", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 500, 400)),
            nullptr);
        engine = &host.engine;
        hwnd = host.GetSafeHwnd();
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        testutil::PumpPending();
    }
    void TearDown() override
    {
        engine->KillMTimer();
        other.KillMTimer();
        host.DestroyWindow();
    }

    enginetest::HostWindow host;
    WEXA::PaintManager* engine = nullptr;
    HWND hwnd = nullptr;
    // Engine B (a wait dialog over the main window, say); its ticks need no window.
    WEXA::PaintManager other;
};

TEST_P(TickAcrossEngines, ALockHeldByTheUIThreadStallsNoOtherTimer)
{
    const OtherCase& c = GetParam();
    // Engine A ticks a container; the UI thread reaches the container's
    // button through the container's key walk, under its child lock.
    auto* box = new Box(&host, 1, CRect(0, 0, 200, 200));
    box->SetManager(engine);
    {
        CAutoLock lock(engine->m_controlsLock);
        engine->m_controls.push_back(box);
    }
    Box* button = box->AddChild(2, CRect(10, 10, 60, 60));
    button->m_bRunTimer = 0;

    // Engine B ticks a control of its own; a plain timer runs beside them.
    Box elsewhere(nullptr, 9, CRect(0, 0, 10, 10));
    elsewhere.m_pManager = &other;
    other.AddMTimer(&elsewhere);
    other.SetMTimer(2);
    PlainTimer plain;
    ASSERT_NE(plain.SetTimer(2, CString(L"plain"), 0), 0);

    Gate tickIn, uiIn;
    box->onTick = [&] {
        tickIn.Open();
        uiIn.Wait();
        // Back in the tick: the container's children come next, under the
        // child lock the UI thread holds.
    };
    std::atomic<bool> done{false};
    int otherTicksWhileHeld = 0;
    button->onKey = [&] {
        ASSERT_TRUE(tickIn.Wait());
        uiIn.Open();
        switch (c.what) {
            case Other::StopEngine: other.KillMTimer(); break;
            case Other::StopPlainTimer: plain.KillTimer(); break;
            case Other::EngineKeepsTicking: {
                const int before = elsewhere.ticks.load();
                const DWORD start = ::GetTickCount();
                while (elsewhere.ticks.load() < before + 5 && ::GetTickCount() - start < 2000)
                    ::Sleep(2);
                otherTicksWhileHeld = elsewhere.ticks.load() - before;
                break;
            }
        }
        done = true;
    };

    engine->AddMTimer(box);
    box->armed = true;
    engine->SetMTimer(2);
    {
        Watchdog watchdog(c.name, 5000);
        ::SendMessageW(hwnd, WM_KEYDOWN, 'A', 1);
        engine->KillMTimer();
        other.KillMTimer();
        plain.KillTimer();
    }
    EXPECT_TRUE(done.load());
    if (c.what == Other::EngineKeepsTicking) {
        EXPECT_GE(otherTicksWhileHeld, 5);
    }
    other.DeleteFSTimer(&elsewhere);
}

const OtherCase kOtherCases[] = {
    {"StopAnotherEnginesTimer", Other::StopEngine},
    {"StopAPlainTimer", Other::StopPlainTimer},
    {"AnotherEngineKeepsTicking", Other::EngineKeepsTicking},
};

INSTANTIATE_TEST_SUITE_P(Cases, TickAcrossEngines, ::testing::ValuesIn(kOtherCases),
                         [](const ::testing::TestParamInfo<OtherCase>& info) {
                             return info.param.name;
                         });

}  // namespace
