// The control base without a window: routing down a control tree, the
// notifications and repaint requests going up, the cached look, the tree
// operations and the small services (cursor, accelerator, layout positions).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "ControlProbe.h"
#include "MControl.h"

using probe::Event;
using probe::Log;
using probe::Probe;
using probe::RecordingOwner;

namespace {

bool Has(const Log& log, const std::string& line)
{
    return std::find(log.begin(), log.end(), line) != log.end();
}

// A parent with two children side by side.
struct Tree
{
    RecordingOwner owner;
    Log log;
    Probe parent{&owner, 1, CRect(0, 0, 200, 200), &log};
    Probe* a = parent.AddChild(2, CRect(10, 10, 50, 50));
    Probe* b = parent.AddChild(3, CRect(60, 10, 100, 50));
};

class Doomed : public Probe
{
public:
    Doomed(WEXA::MObject* owner, UINT id, CRect rect, bool* gone)
        : Probe(owner, id, rect),
          gone_(gone)
    {}
    ~Doomed() override { *gone_ = true; }

private:
    bool* gone_;
};

}  // namespace

TEST(MObject, IsClassComparesTheWholeNameExactly)
{
    Probe p(nullptr, 1, CRect());
    EXPECT_STREQ(p.GetClassNameW(), L"MControl");
    EXPECT_EQ(p.IsClass(L"MControl"), 1);
    EXPECT_EQ(p.IsClass(L"mcontrol"), 0);
    EXPECT_EQ(p.IsClass(L"MControlX"), 0);
    EXPECT_EQ(p.IsClass(nullptr), 0);
    RecordingOwner unnamed;
    unnamed.className = nullptr;
    EXPECT_EQ(unnamed.IsClass(L"MControl"), 0);
}

TEST(ControlRouting, PressedChildKeepsThePointerUntilRelease)
{
    Tree t;
    EXPECT_EQ(t.parent.OnMouseMove(0, CPoint(20, 20)), 1);
    EXPECT_EQ(t.parent.m_pCurControl, t.a);
    EXPECT_TRUE(Has(t.log, "2.move(20,20)"));

    EXPECT_EQ(t.parent.OnLButtonDown(MK_LBUTTON, CPoint(20, 20)), 1);
    EXPECT_TRUE(Has(t.log, "2.down(20,20)"));
    // The innermost control's id reaches the top owner through the parent.
    ASSERT_EQ(t.owner.events.size(), 1u);
    EXPECT_EQ(t.owner.events[0], (Event{2, 1, 20, 20}));

    t.log.clear();
    t.parent.OnMouseMove(MK_LBUTTON, CPoint(70, 20));  // over b, button held
    EXPECT_EQ(t.log, (Log{"2.move(70,20)"}));
    t.parent.OnLButtonUp(0, CPoint(70, 20));
    EXPECT_TRUE(Has(t.log, "2.up(70,20)"));
    EXPECT_EQ(t.owner.events.back(), (Event{2, 2, 70, 20}));

    // After the release the next move finds the child under the pointer anew;
    // the old one still sees the move (it notices the pointer left).
    t.log.clear();
    t.parent.OnMouseMove(0, CPoint(70, 20));
    EXPECT_EQ(t.parent.m_pCurControl, t.b);
    EXPECT_TRUE(Has(t.log, "2.move(70,20)"));
    EXPECT_TRUE(Has(t.log, "3.move(70,20)"));
}

TEST(ControlRouting, HiddenOrUnresponsiveControlsTakeNoPointerInput)
{
    Tree t;
    t.a->m_bVisible = 0;
    t.parent.OnMouseMove(0, CPoint(20, 20));
    t.parent.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    EXPECT_TRUE(probe::Only(t.log, "2.").empty());
    EXPECT_EQ(t.parent.m_pCurControl, nullptr);
    EXPECT_TRUE(Has(t.log, "1.down(20,20)"));  // the parent took the press itself

    Tree u;
    u.parent.m_bResponse = 0;
    EXPECT_EQ(u.parent.OnMouseMove(0, CPoint(20, 20)), 0);
    EXPECT_EQ(u.parent.OnLButtonDown(0, CPoint(20, 20)), 0);
    EXPECT_EQ(u.parent.OnLButtonDblClk(0, CPoint(20, 20)), 0);
    EXPECT_EQ(u.parent.OnKeyDown('A', 1, 0), 0);
    EXPECT_TRUE(u.log.empty());
}

TEST(ControlRouting, PressSkipsDisabledChildren)
{
    Tree t;
    t.a->m_bEnabled = 0;
    t.parent.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    EXPECT_TRUE(probe::Only(t.log, "2.").empty());
    EXPECT_TRUE(Has(t.log, "1.down(20,20)"));
}

TEST(ControlRouting, DoubleClickCountsAsPressUnlessTheControlHandlesIt)
{
    Tree t;
    t.parent.OnMouseMove(0, CPoint(20, 20));
    t.log.clear();
    EXPECT_EQ(t.parent.OnLButtonDblClk(0, CPoint(20, 20)), 1);
    EXPECT_EQ(t.log, (Log{"2.down(20,20)"}));

    t.a->m_bDblClk = 1;
    t.log.clear();
    t.parent.OnLButtonDblClk(0, CPoint(20, 20));
    EXPECT_EQ(t.log, (Log{"2.dbl(20,20)"}));

    // Without a current child the control's own hooks decide.
    Log log;
    Probe lone(nullptr, 9, CRect(0, 0, 10, 10), &log);
    lone.OnLButtonDblClk(0, CPoint(5, 5));
    lone.m_bDblClk = 1;
    lone.OnLButtonDblClk(0, CPoint(5, 5));
    EXPECT_EQ(log, (Log{"9.down(5,5)", "9.dbl(5,5)"}));
}

TEST(ControlRouting, RightButtonReportsReleaseCode)
{
    Tree t;
    t.parent.OnMouseMove(0, CPoint(20, 20));
    t.parent.OnRButtonDown(MK_RBUTTON, CPoint(20, 20));
    t.parent.OnRButtonUp(0, CPoint(21, 22));
    EXPECT_TRUE(Has(t.log, "2.rdown(20,20)"));
    EXPECT_EQ(t.owner.events.back(), (Event{2, 5, 21, 22}));
}

TEST(ControlRouting, FocusedChildTakesKeysAlone)
{
    Tree t;
    t.a->m_bFocused = 1;
    t.a->takeKey = 0;
    EXPECT_EQ(t.parent.OnKeyDown('A', 1, 16), 0);
    EXPECT_EQ(t.log, (Log{"2.key(65,16)"}));

    // Without a focused child: current child, then the control, then each child.
    t.a->m_bFocused = 0;
    t.parent.takeKey = 0;
    t.b->takeKey = 1;
    t.parent.OnMouseMove(0, CPoint(20, 20));
    t.log.clear();
    EXPECT_EQ(t.parent.OnKeyDown('B', 1, 0), 1);
    EXPECT_EQ(t.log, (Log{"2.key(66,0)", "1.key(66,0)", "2.key(66,0)", "3.key(66,0)"}));
}

TEST(ControlRouting, WheelNeedsAnEnabledControlUnderThePointer)
{
    Tree t;
    t.parent.takeScroll = 0;
    EXPECT_EQ(t.parent.OnScroll(1, 1, CPoint(300, 300)), 0);
    EXPECT_EQ(t.parent.OnScroll(1, 1, CPoint(70, 20)), 1);
    EXPECT_EQ(t.log, (Log{"1.scroll(1)", "3.scroll(1)"}));
    t.parent.m_bEnabled = 0;
    t.log.clear();
    EXPECT_EQ(t.parent.OnScroll(1, 0, CPoint(70, 20)), 0);
    EXPECT_TRUE(t.log.empty());
}

TEST(ControlRouting, TimerReachesVisibleRunTimerChildrenOnly)
{
    Tree t;
    t.a->m_bRunTimer = 1;
    t.a->takeTimer = 1;
    t.b->m_bRunTimer = 1;
    t.b->m_bVisible = 0;
    EXPECT_EQ(t.parent.OnTimer(), 1);
    EXPECT_EQ(t.parent.ticks, 1);
    EXPECT_EQ(t.a->ticks, 1);
    EXPECT_EQ(t.b->ticks, 0);
    t.a->takeTimer = 0;
    EXPECT_EQ(t.parent.OnTimer(), 0);
}

TEST(ControlRepaint, StateChangesAskTheOwnerOnlyWhenSomethingChanged)
{
    RecordingOwner owner;
    Probe p(&owner, 4, CRect(10, 10, 20, 20));
    p.SetVisible(1);
    EXPECT_TRUE(owner.updates.empty());
    p.SetVisible(0);  // the old place must be repainted
    ASSERT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].rect, CRect(10, 10, 20, 20));
    EXPECT_EQ(owner.updates[0].erase, 1);
    EXPECT_EQ(owner.updates[0].control, &p);
    p.SetVisible(1, 0);
    EXPECT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(p.m_bVisible, 1);

    p.SetRect(30, 0, 5, 5);
    ASSERT_EQ(owner.updates.size(), 2u);
    EXPECT_EQ(owner.updates[1].rect, CRect(10, 0, 35, 20));  // union of old and new
    p.SetEnabled(1);
    EXPECT_EQ(owner.updates.size(), 2u);
    p.SetEnabled(0);
    EXPECT_EQ(owner.updates.size(), 3u);

    p.m_bVisible = 0;
    p.UpdateControl(0, 0);
    EXPECT_EQ(owner.updates.size(), 3u);
    p.UpdateControl(CRect(1, 2, 3, 4), 1, 0);
    EXPECT_EQ(owner.updates.back().rect, CRect(1, 2, 3, 4));
    EXPECT_EQ(owner.updates.back().erase, 0);
}

TEST(ControlRepaint, CachedLookIsRecreatedOnlyOnResize)
{
    Probe p(nullptr, 1, CRect(0, 0, 40, 20));
    Probe* inside = p.AddChild(2, CRect(5, 5, 10, 10));
    Probe* outside = p.AddChild(3, CRect(100, 100, 110, 110));
    HDC screen = GetDC(nullptr);
    p.UpdateMemDC(screen, 40, 20);
    HDC first = p.m_hMemDC;
    EXPECT_EQ(p.GetUpdate(), 1);
    p.m_bUpdate = 0;
    p.UpdateMemDC(screen, 40, 20);
    EXPECT_EQ(p.m_hMemDC, first);
    EXPECT_EQ(p.GetUpdate(), 1);
    p.UpdateMemDC(screen, 41, 20);
    EXPECT_NE(p.m_hMemDC, nullptr);
    EXPECT_EQ(p.m_nMemWidth, 41);
    ReleaseDC(nullptr, screen);

    inside->m_bUpdate = outside->m_bUpdate = 1;
    p.SetUpdate(0, 0);
    EXPECT_EQ(p.m_bUpdate, 0);
    EXPECT_EQ(inside->m_bUpdate, 0);
    EXPECT_EQ(outside->m_bUpdate, 1);  // does not overlap the parent
}

TEST(ControlTree, GetControlSearchesDepthFirstThroughChildrenThenAreas)
{
    Probe root(nullptr, 1, CRect(0, 0, 100, 100));
    Probe* child = root.AddChild(2, CRect(0, 0, 10, 10));
    Probe* grandchild = child->AddChild(7, CRect(0, 0, 5, 5));
    Probe* area = new Probe(&root, 7, CRect());
    root.m_areas.push_back(area);
    Probe* areaOnly = new Probe(&root, 8, CRect());
    root.m_areas.push_back(areaOnly);
    EXPECT_EQ(root.GetControl(7), grandchild);  // children before areas
    EXPECT_EQ(root.GetControl(8), areaOnly);
    EXPECT_EQ(root.GetControl(1), nullptr);  // the control itself is not compared
    EXPECT_EQ(root.GetControl(99), nullptr);
}

TEST(ControlTree, RemoveControlDeletesOnlyItsOwnChildAndForgetsIt)
{
    Probe root(nullptr, 1, CRect(0, 0, 100, 100));
    bool gone = false;
    Doomed* child = new Doomed(&root, 2, CRect(0, 0, 50, 50), &gone);
    root.m_controls.push_back(child);
    root.OnMouseMove(0, CPoint(10, 10));
    ASSERT_EQ(root.m_pCurControl, child);

    bool strangerGone = false;
    Doomed stranger(nullptr, 3, CRect(), &strangerGone);
    EXPECT_EQ(root.RemoveControl(&stranger), 0);
    EXPECT_FALSE(strangerGone);

    EXPECT_EQ(root.RemoveControl(child), 0);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(root.m_controls.empty());
    EXPECT_EQ(root.m_pCurControl, nullptr);
    EXPECT_EQ(root.OnMouseMove(0, CPoint(10, 10)), 1);  // routing goes on safely
}

TEST(ControlTree, IsParentVisibleFollowsTheOwnerChain)
{
    RecordingOwner dialog;
    Probe top(&dialog, 1, CRect());
    Probe* child = top.AddChild(2, CRect());
    EXPECT_EQ(top.IsParentVisible(), 1);
    EXPECT_EQ(child->IsParentVisible(), 1);
    top.m_bVisible = 0;
    EXPECT_EQ(child->IsParentVisible(), 0);

    // A window owner that is not a dialog (a popup or menu) ends the chain.
    RecordingOwner menu;
    menu.className = L"MenuWnd";
    Probe item(&menu, 3, CRect());
    EXPECT_EQ(item.IsParentVisible(), 1);
    Probe orphan(nullptr, 4, CRect());
    EXPECT_EQ(orphan.IsParentVisible(), 0);
}

TEST(ControlServices, CursorByName)
{
    Probe p(nullptr, 1, CRect(0, 0, 10, 10));
    EXPECT_EQ(p.OnControlSetCursor(0, CPoint(5, 5)), 0);
    EXPECT_EQ(p.SetCursorEx(L"hand"), 0);
    EXPECT_EQ(p.m_hCursor, LoadCursorW(nullptr, IDC_HAND));
    p.SetCursorEx(L"Hand");
    p.SetCursorEx(nullptr);
    p.SetCursorEx(L"pointer");
    EXPECT_EQ(p.m_hCursor, LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(p.OnControlSetCursor(0, CPoint(5, 5)), 1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(p.OnControlSetCursor(0, CPoint(50, 5)), 0);
}

TEST(ControlServices, AcceleratorKeyMatchesKeyAndModifiers)
{
    Probe p(nullptr, 1, CRect(0, 0, 10, 10));
    EXPECT_EQ(p.MControl::OnControlKeyDown(0, 1, 0), 0);  // no accelerator: even key 0 is not taken
    p.SetAcceleratorKey('S', 17);
    EXPECT_EQ(p.MControl::OnControlKeyDown('S', 1, 17), 1);
    EXPECT_EQ(p.MControl::OnControlKeyDown('S', 1, 16), 0);
    EXPECT_EQ(p.MControl::OnControlKeyDown('T', 1, 17), 0);
    // Through the routing.
    p.takeKey = 0;
    EXPECT_EQ(p.OnKeyDown('S', 1, 17), 1);
    EXPECT_EQ(p.OnKeyDown('S', 1, 0), 0);
}

TEST(ControlServices, TooltipTextNullIsEmpty)
{
    Probe p(nullptr, 1, CRect());
    p.SetTooltip(L"hello");
    EXPECT_STREQ(p.GetTooltip(), L"hello");
    p.SetTooltip(nullptr);
    EXPECT_STREQ(p.GetTooltip(), L"");
    p.SetTooltip(CString(L"x"), CRect());  // without an engine: nothing happens
    p.ClearTooltip();
}

TEST(ControlServices, PositionItemValues)
{
    struct Case
    {
        int type, fromEnd;
        float value;
        int low, high, expected;
    } cases[] = {
        {0, 0, 10.7f, 5, 100, 15}, {0, 1, 10.0f, 5, 100, 90}, {1, 0, 10.0f, 0, 101, 60},
        {1, 1, 10.0f, 0, 101, 40}, {1, 0, 0.0f, 0, -3, -1},   {2, 0, 150.0f, 0, 100, 100},
        {2, 0, 25.0f, 10, 50, 20}, {2, 0, 33.0f, 0, 10, 3},   {7, 0, 1.0f, 0, 10, 0},
    };
    for (const Case& c : cases) {
        WEXA::FS_POSITION_ITEM item{c.type, c.fromEnd, c.value};
        EXPECT_EQ(WEXA::MControl::PositionItem2Value(item, c.low, c.high), c.expected)
            << "type " << c.type << " value " << c.value;
    }
}
