// The road of one input message: window procedure -> engine -> hover, pressed
// or focus control -> its current child -> the hook -> OnBaseMessage up to the
// owner. Messages are sent to a real window under the virtual display.
#include <algorithm>

#include "EngineFixture.h"

using enginetest::EngineTest;
using probe::Event;
using probe::Log;
using probe::Probe;

namespace {

bool Has(const Log& log, const std::string& line)
{
    return std::find(log.begin(), log.end(), line) != log.end();
}

}  // namespace

TEST_F(EngineTest, HoverIsTheLastResponsiveControlUnderThePointer)
{
    Probe* a = AddTop(10, CRect(10, 10, 110, 110));
    Probe* b = AddTop(20, CRect(50, 50, 150, 150));
    Probe* hidden = AddTop(30, CRect(0, 0, 400, 300));
    hidden->m_bVisible = 0;
    Probe* deaf = AddTop(40, CRect(0, 0, 400, 300));
    deaf->m_bResponse = 0;

    EXPECT_EQ(Mouse(WM_MOUSEMOVE, 60, 60), 1);
    EXPECT_EQ(engine->GetHoverControl(), b);
    EXPECT_TRUE(Has(log, "10.move(60,60)"));
    EXPECT_TRUE(Has(log, "20.move(60,60)"));
    EXPECT_TRUE(probe::Only(log, "30.").empty());
    EXPECT_TRUE(probe::Only(log, "40.").empty());

    // While the pointer stays on the hover control only it gets the moves.
    log.clear();
    Mouse(WM_MOUSEMOVE, 70, 70);
    EXPECT_EQ(log, (Log{"20.move(70,70)"}));
    (void)a;
}

TEST_F(EngineTest, PressReleaseAndCapture)
{
    Probe* b = AddTop(20, CRect(50, 50, 150, 150));
    Probe* inner = b->AddChild(21, CRect(60, 60, 90, 90));
    Mouse(WM_MOUSEMOVE, 70, 70);
    ASSERT_EQ(engine->GetHoverControl(), b);

    Mouse(WM_LBUTTONDOWN, 70, 70, MK_LBUTTON);
    EXPECT_TRUE(Has(log, "21.down(70,70)"));
    ASSERT_FALSE(host.events.empty());
    EXPECT_EQ(host.events.back(), (Event{21, 1, 70, 70}));  // the innermost id reaches the owner
    EXPECT_EQ(engine->m_bPressed, 1);
    EXPECT_EQ(engine->IsCaptured(), 1);
    EXPECT_EQ(GetCapture(), hwnd);
    EXPECT_EQ(engine->GetFocusControl(), inner);  // the child that took the press holds the focus

    // Held outside: the hover stays.
    Mouse(WM_MOUSEMOVE, 300, 250, MK_LBUTTON);
    EXPECT_EQ(engine->GetHoverControl(), b);

    // Released outside: the control sees the release and stops being the hover.
    Mouse(WM_LBUTTONUP, 300, 250);
    EXPECT_TRUE(Has(log, "21.up(300,250)"));
    EXPECT_EQ(host.events.back(), (Event{21, 2, 300, 250}));
    EXPECT_EQ(engine->GetHoverControl(), nullptr);
    EXPECT_EQ(engine->IsCaptured(), 0);
    EXPECT_EQ(engine->m_bPressed, 0);

    // Released inside: it stays.
    Mouse(WM_MOUSEMOVE, 70, 70);
    Mouse(WM_LBUTTONDOWN, 70, 70, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 71, 71);
    EXPECT_EQ(engine->GetHoverControl(), b);
}

TEST_F(EngineTest, PressOnEmptySpaceMovesTheWindowOnlyWithWindowDrag)
{
    Probe* p = AddTop(10, CRect(10, 10, 50, 50));
    Mouse(WM_MOUSEMOVE, 200, 200);
    Mouse(WM_LBUTTONDOWN, 200, 200, MK_LBUTTON);
    EXPECT_EQ(host.windowDrags, 1);
    Mouse(WM_LBUTTONUP, 200, 200);

    engine->EnableWndDrag(0);
    Mouse(WM_LBUTTONDOWN, 200, 200, MK_LBUTTON);
    EXPECT_EQ(host.windowDrags, 1);
    Mouse(WM_LBUTTONUP, 200, 200);

    // A press that a control takes never moves the window.
    engine->EnableWndDrag(1);
    Mouse(WM_MOUSEMOVE, 20, 20);
    Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(host.windowDrags, 1);
    Mouse(WM_LBUTTONUP, 20, 20);
    (void)p;
}

TEST_F(EngineTest, DoubleClickIsAnotherPressUnlessTheControlHandlesIt)
{
    Probe* p = AddTop(10, CRect(10, 10, 110, 110));
    Mouse(WM_MOUSEMOVE, 20, 20);
    log.clear();
    Mouse(WM_LBUTTONDBLCLK, 20, 20, MK_LBUTTON);
    EXPECT_EQ(log, (Log{"10.down(20,20)"}));
    p->m_bDblClk = 1;
    log.clear();
    Mouse(WM_LBUTTONDBLCLK, 20, 20, MK_LBUTTON);
    EXPECT_EQ(log, (Log{"10.dbl(20,20)"}));
    EXPECT_EQ(engine->GetHoverControl(), p);
    Mouse(WM_LBUTTONDBLCLK, 200, 200, MK_LBUTTON);  // outside its rectangle: hover dropped
    EXPECT_EQ(engine->GetHoverControl(), nullptr);
}

TEST_F(EngineTest, RightButtonTakesCaptureAndFocusWithoutPressedState)
{
    Probe* p = AddTop(10, CRect(10, 10, 110, 110));
    Mouse(WM_MOUSEMOVE, 20, 20);
    Mouse(WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
    EXPECT_EQ(engine->m_bPressed, 0);
    EXPECT_EQ(engine->IsCaptured(), 1);
    EXPECT_EQ(engine->GetFocusControl(), p);
    Mouse(WM_RBUTTONUP, 25, 26);
    EXPECT_EQ(host.events.back(), (Event{10, 5, 25, 26}));
    EXPECT_EQ(engine->IsCaptured(), 0);
}

TEST_F(EngineTest, KeysCarryTheModifierValue)
{
    Probe* p = AddTop(10, CRect(10, 10, 110, 110));
    Mouse(WM_MOUSEMOVE, 20, 20);
    struct Case
    {
        bool shift, ctrl, alt;
        UINT code;
    } cases[] = {
        {false, false, false, 0}, {true, false, false, 16}, {false, true, false, 17},
        {true, true, false, 17},  {false, false, true, 18}, {true, false, true, 18},
        {false, true, true, 19},  {true, true, true, 19},
    };
    for (const Case& c : cases) {
        HoldKeys(c.shift, c.ctrl, c.alt);
        log.clear();
        EXPECT_EQ(Send(WM_KEYDOWN, 'K', 0), 1);
        EXPECT_EQ(log, (Log{"10.key(75," + std::to_string(c.code) + ")"}))
            << "shift " << c.shift << " ctrl " << c.ctrl << " alt " << c.alt;
    }
    HoldKeys(false, false, false);
    log.clear();
    Send(WM_SYSKEYDOWN, 'K', 0);
    EXPECT_EQ(log, (Log{"10.key(75,0)"}));
    (void)p;
}

TEST_F(EngineTest, KeysGoToTheHoverFirstThenToEveryControl)
{
    Probe* a = AddTop(10, CRect(10, 10, 50, 50));
    Probe* b = AddTop(20, CRect(60, 10, 100, 50));
    Probe* c = AddTop(30, CRect(110, 10, 150, 50));
    Mouse(WM_MOUSEMOVE, 70, 20);
    ASSERT_EQ(engine->GetHoverControl(), b);
    log.clear();
    Send(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(log, (Log{"20.key(65,0)"}));

    b->takeKey = 0;
    a->takeKey = 0;
    log.clear();
    Send(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(log, (Log{"20.key(65,0)", "10.key(65,0)", "20.key(65,0)", "30.key(65,0)"}));

    // A focused child inside a control takes the key alone.
    Probe* field = a->AddChild(11, CRect(12, 12, 20, 20));
    field->m_bFocused = 1;
    field->takeKey = 0;
    c->takeKey = 0;
    log.clear();
    Send(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(log, (Log{"20.key(65,0)", "11.key(65,0)", "20.key(65,0)", "30.key(65,0)"}));
    EXPECT_EQ(Send(WM_KEYUP, 'A', 0), 0);
}

TEST_F(EngineTest, WheelNotches)
{
    Probe* a = AddTop(10, CRect(10, 10, 110, 110));
    Probe* b = AddTop(20, CRect(200, 10, 300, 110));
    Mouse(WM_MOUSEMOVE, 20, 20);
    ASSERT_EQ(engine->GetHoverControl(), a);
    log.clear();

    EXPECT_EQ(Wheel(60, 20, 20), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(Wheel(-240, 20, 20), 1);
    EXPECT_EQ(log, (Log{"10.scroll(1)", "10.scroll(1)"}));
    log.clear();
    Wheel(240, 20, 20);
    EXPECT_EQ(log, (Log{"10.scroll(0)", "10.scroll(0)"}));

    // The hover does not take it: each top-level control in turn (only those
    // under the pointer take a wheel).
    log.clear();
    Wheel(-120, 250, 50);
    EXPECT_EQ(log, (Log{"20.scroll(1)"}));
    b->takeScroll = 0;
    log.clear();
    EXPECT_EQ(Wheel(-120, 250, 50), 0);
}

TEST_F(EngineTest, TabMovesFocusAndHover)
{
    Probe* a = AddTop(10, CRect(10, 10, 50, 50));
    Probe* b = AddTop(20, CRect(60, 10, 100, 50));
    Probe* off = AddTop(30, CRect(110, 10, 150, 50));
    a->m_bTabStop = b->m_bTabStop = 1;
    off->m_bTabStop = 1;
    off->m_bEnabled = 0;
    MSG tab = {hwnd, WM_KEYDOWN, VK_TAB, 0};

    // No focus yet: the first tab stop; the hover becomes the first entry.
    ASSERT_EQ(engine->GetHoverControl(), nullptr);
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 1);
    EXPECT_EQ(engine->GetFocusControl(), a);
    EXPECT_EQ(a->lastFocus, 1);
    EXPECT_EQ(engine->GetHoverControl(), a);
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 1);
    EXPECT_EQ(engine->GetFocusControl(), b);
    EXPECT_EQ(a->lastFocus, 0);
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 1);  // wraps around
    EXPECT_EQ(engine->GetFocusControl(), a);

    HoldKeys(true, false, false);
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 1);
    EXPECT_EQ(engine->GetFocusControl(), b);
    HoldKeys(false, true, false);
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 0);
    HoldKeys(false, false, true);
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 0);
    EXPECT_EQ(engine->GetFocusControl(), b);

    // The only tab stop already has the focus: not consumed.
    HoldKeys(false, false, false);
    a->m_bTabStop = 0;
    EXPECT_EQ(engine->PreTranslateMessage(&tab), 0);
    MSG other = {hwnd, WM_KEYDOWN, 'A', 0};
    EXPECT_EQ(engine->PreTranslateMessage(&other), 0);
}

TEST_F(EngineTest, MouseLeaveAndDeactivationDropTheHover)
{
    Probe* p = AddTop(10, CRect(10, 10, 110, 110));
    Mouse(WM_MOUSEMOVE, 20, 20);
    log.clear();
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(engine->GetHoverControl(), nullptr);
    EXPECT_EQ(log, (Log{"10.move(-1,-1)"}));

    // Leave while pressed keeps the hover; deactivation then releases it.
    Mouse(WM_MOUSEMOVE, 20, 20);
    Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(engine->GetHoverControl(), p);
    log.clear();
    engine->OnNcActivate(0);
    EXPECT_EQ(log, (Log{"10.up(-1,-1)"}));
    EXPECT_EQ(engine->GetHoverControl(), nullptr);
    EXPECT_EQ(engine->m_bPressed, 0);
    EXPECT_EQ(engine->IsCaptured(), 0);
    ::ReleaseCapture();
}

TEST_F(EngineTest, ControlsSeeWindowMessagesFirst)
{
    class Eater : public Probe
    {
    public:
        using Probe::Probe;
        UINT eat = 0;
        LONG OnWindowMessage(UINT msg, UINT_PTR, LONG_PTR) override { return msg == eat ? 1 : 0; }
    };
    auto* eater = new Eater(&host, 50, CRect(10, 10, 110, 110), &log);
    eater->SetManager(engine);
    engine->m_controls.push_back(eater);
    eater->eat = WM_KEYDOWN;
    EXPECT_EQ(engine->OnWindowMessage(WM_KEYDOWN, 'A', 0), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(engine->OnWindowMessage(WM_CHAR, 'A', 0), 1);
    EXPECT_EQ(engine->OnWindowMessage(WM_USER + 99, 0, 0), 0);
}
