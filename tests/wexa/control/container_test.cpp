// The control base as a container: the point its children get when it
// translates pointer input into content coordinates (its own scroll bars, ids 1
// and 2, keep the window point), the drawing order of areas, the control and
// its children, and the small state hooks (animation request, focus, drop
// bitmap).
#include <gtest/gtest.h>
#include <windows.h>

#include "ControlProbe.h"
#include "MControl.h"
#include "WindowTestHelpers.h"

using probe::Log;
using probe::Probe;
using probe::RecordingOwner;

namespace {

// A container whose content is scrolled down by 100 pixels.
class Scrolled : public Probe
{
public:
    using Probe::Probe;
    int OnMousePointChange(CPoint& point) override
    {
        point.y += 100;
        return 1;
    }
};

// Logs its draw calls in order.
class Painter : public Probe
{
public:
    Painter(WEXA::MObject* owner, UINT id, CRect rect, Log* order)
        : Probe(owner, id, rect),
          order_(order)
    {}
    void DrawControl(HDC&, CRect) override { order_->push_back("draw " + std::to_string(m_nID)); }

private:
    Log* order_;
};

class Dropper : public Probe
{
public:
    Dropper(WEXA::MObject* owner, UINT id, CRect rect, HBITMAP bitmap)
        : Probe(owner, id, rect),
          bitmap_(bitmap)
    {}
    HBITMAP GetControlDropBitmap() override { return bitmap_; }

private:
    HBITMAP bitmap_;
};

}  // namespace

TEST(ContainerRouting, ScrollBarsGetTheWindowPointOtherChildrenTheContentPoint)
{
    Log log;
    Scrolled panel(nullptr, 9, CRect(0, 0, 200, 200), &log);
    Probe* bar = panel.AddChild(1, CRect(190, 0, 200, 100));   // window coordinates
    Probe* item = panel.AddChild(5, CRect(0, 100, 180, 150));  // content coordinates
    Probe* horizontal = panel.AddChild(2, CRect(0, 190, 190, 200));

    // Over the item: it is hit-tested and handed the translated point; the
    // bars see the window point.
    EXPECT_EQ(panel.OnMouseMove(0, CPoint(10, 20)), 1);
    EXPECT_EQ(panel.m_pCurControl, item);
    EXPECT_EQ(probe::Only(log, "5."), (Log{"5.move(10,120)"}));
    EXPECT_EQ(probe::Only(log, "1."), (Log{"1.move(10,20)"}));
    EXPECT_EQ(probe::Only(log, "2."), (Log{"2.move(10,20)"}));

    log.clear();
    panel.OnLButtonDown(MK_LBUTTON, CPoint(12, 22));
    EXPECT_EQ(log, (Log{"5.down(12,122)"}));

    // Over the bars: the window point finds them (their content points would miss).
    log.clear();
    panel.OnLButtonUp(0, CPoint(12, 22));
    panel.OnMouseMove(0, CPoint(195, 20));
    EXPECT_EQ(panel.m_pCurControl, bar);
    log.clear();
    panel.OnLButtonDown(MK_LBUTTON, CPoint(195, 20));
    EXPECT_EQ(log, (Log{"1.down(195,20)"}));
    panel.OnLButtonUp(0, CPoint(195, 20));

    log.clear();
    panel.OnMouseMove(0, CPoint(50, 195));
    EXPECT_EQ(panel.m_pCurControl, horizontal);
    log.clear();
    panel.OnLButtonDblClk(0, CPoint(50, 195));
    EXPECT_EQ(log, (Log{"2.down(50,195)"}));
}

TEST(ContainerDrawing, AreasThenTheControlThenVisibleChildren)
{
    Log order;
    Painter root(nullptr, 1, CRect(0, 0, 100, 100), &order);
    Painter* touching = new Painter(&root, 2, CRect(50, 50, 150, 150), &order);
    Painter* apart = new Painter(&root, 3, CRect(200, 200, 250, 250), &order);
    root.m_areas = {touching, apart};
    Painter* first = new Painter(&root, 4, CRect(0, 0, 10, 10), &order);
    Painter* hidden = new Painter(&root, 5, CRect(0, 0, 10, 10), &order);
    hidden->m_bVisible = 0;
    Painter* last = new Painter(&root, 6, CRect(0, 0, 10, 10), &order);
    root.m_controls = {first, hidden, last};

    testutil::MemoryCanvas canvas(300, 300);
    HDC dc = canvas.dc();
    root.Draw(dc, CRect(0, 0, 300, 300));
    // The area that does not touch the control is not drawn.
    EXPECT_EQ(order, (Log{"draw 2", "draw 1", "draw 4", "draw 6"}));

    // A clip that misses the control draws nothing; a hidden control neither.
    order.clear();
    root.Draw(dc, CRect(120, 120, 300, 300));
    EXPECT_TRUE(order.empty());
    root.m_bVisible = 0;
    root.Draw(dc, CRect(0, 0, 300, 300));
    EXPECT_TRUE(order.empty());
}

TEST(ControlState, AnimationRequestFocusAndDropBitmap)
{
    RecordingOwner owner;
    Probe p(&owner, 3, CRect(1, 2, 30, 40));
    p.UpdateAControl(1, 0);
    EXPECT_EQ(p.m_bAnimate, 0);
    ASSERT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].rect, CRect(1, 2, 30, 40));
    EXPECT_EQ(owner.updates[0].erase, 0);
    p.m_bVisible = 0;
    p.UpdateAControl(0, 0);
    EXPECT_EQ(p.m_bAnimate, 1);
    EXPECT_EQ(owner.updates.size(), 1u);
    p.UpdateAControl(0, 1);
    EXPECT_EQ(owner.updates.size(), 2u);

    p.OnFocus(1);
    EXPECT_EQ(p.lastFocus, 1);
    EXPECT_EQ(p.IsFocusControl(), 0);  // no engine

    HBITMAP own = CreateBitmap(1, 1, 1, 32, nullptr);
    HBITMAP childs = CreateBitmap(1, 1, 1, 32, nullptr);
    Dropper parent(nullptr, 1, CRect(0, 0, 100, 100), own);
    auto* child = new Dropper(&parent, 2, CRect(0, 0, 10, 10), childs);
    parent.m_controls.push_back(child);
    EXPECT_EQ(parent.GetDropBitmap(), own);
    parent.OnMouseMove(0, CPoint(5, 5));
    ASSERT_EQ(parent.m_pCurControl, child);
    EXPECT_EQ(parent.GetDropBitmap(), childs);
    DeleteObject(own);
    DeleteObject(childs);
}

namespace {

// A list item whose press makes its owner rebuild the list (as a page does when
// a selection changes). Its storage is kept after deletion with the object
// poisoned, so any later use of the deleted item crashes at once instead of
// reading stale memory by luck.
class RebuildingItem : public Probe
{
public:
    RebuildingItem(Probe* list, UINT id, CRect rect) : Probe(list, id, rect), list_(list) {}
    int OnControlLButtonDown(UINT, CPoint) override
    {
        list_->RemoveAllControl();
        return 0;
    }
    int OnControlRButtonDown(UINT, CPoint) override
    {
        list_->RemoveAllControl();
        return 0;
    }
    static void operator delete(void* p)
    {
        *static_cast<void**>(p) = nullptr;  // no virtual call can succeed any more
        Graveyard().push_back(p);
    }
    static std::vector<void*>& Graveyard()
    {
        static std::vector<void*> graves;
        return graves;
    }
    static void Bury()
    {
        for (void* p : Graveyard()) ::operator delete(p);
        Graveyard().clear();
    }

private:
    Probe* list_;
};

}  // namespace

TEST(ContainerRouting, DoubleClickOnAnItemThatRebuildsItsListTouchesNoDeletedItem)
{
    for (const bool right : {false, true}) {
        Log log;
        Probe list(nullptr, 1, CRect(0, 0, 100, 100), &log);
        auto* item = new RebuildingItem(&list, 2, CRect(0, 0, 50, 50));
        list.m_controls.push_back(item);
        list.OnMouseMove(0, CPoint(10, 10));
        ASSERT_EQ(list.m_pCurControl, item);

        // The item counts the second click as a press; its owner deletes it.
        const int taken = right ? list.OnRButtonDblClk(0, CPoint(10, 10))
                                : list.OnLButtonDblClk(0, CPoint(10, 10));
        EXPECT_EQ(taken, 0);
        EXPECT_TRUE(list.m_controls.empty());
        EXPECT_EQ(list.m_pCurControl, nullptr);
        EXPECT_EQ(RebuildingItem::Graveyard().size(), 1u);
        RebuildingItem::Bury();
    }
}
