// The list box grid and the colour wheel driven without a window.
#include <gtest/gtest.h>

#include "CirclePalette.h"
#include "MListBoxEx.h"
#include "Recorder.h"
#include "WindowTestHelpers.h"

using stdtest::Recorder;

namespace {

void Paint(WEXA::MControl& c, int width = 400, int height = 300)
{
    testutil::MemoryCanvas canvas(width, height);
    HDC dc = canvas.dc();
    c.SetUpdate(0, 0);
    c.DrawControl(dc, CRect(0, 0, width, height));
}

struct ListFixture
{
    explicit ListFixture(int width) : list(&owner, 30, CRect(0, 0, width, 200), 1, 1)
    {
        list.InitControl(nullptr);
        for (int i = 0; i < 4; ++i) list.AddItem(CString(L"Row"), 100 + i, CString());
        list.SetAllItemHeight(200);
        Paint(list);
    }
    Recorder owner;
    WEXA::MListBoxEx list;
};

TEST(ListBoxEx, CellsWrapBeforeTheEdge)
{
    ListFixture wide(270);
    EXPECT_EQ(wide.list.GetItemRect(0), CRect(0, 0, 130, 50));
    EXPECT_EQ(wide.list.GetItemRect(1), CRect(135, 0, 265, 50));
    EXPECT_EQ(wide.list.GetItemRect(2), CRect(0, 55, 130, 105));
    ListFixture narrow(265);
    EXPECT_EQ(narrow.list.GetItemRect(1), CRect(0, 55, 130, 105));
}

TEST(ListBoxEx, SelectionByIndexAndData)
{
    ListFixture f(270);
    WEXA::MListBoxEx& list = f.list;
    EXPECT_EQ(list.GetLightCount(), 4);
    list.SetSelectItem(2);
    EXPECT_EQ(list.GetSelectItem(), 2);
    EXPECT_EQ(list.GetCurData(), 102);
    // Out of range: no selection, and nothing reads past the rows.
    for (int bad : {4, 100, -7}) {
        list.SetSelectItem(2);
        list.SetSelectItem(bad);
        EXPECT_EQ(list.GetSelectItem(), -1) << bad;
        EXPECT_EQ(list.GetCurData(), 0) << bad;
        Paint(list);
    }
    list.SetCurData(101);
    EXPECT_EQ(list.GetSelectItem(), 1);
    const int before = f.owner.repaints;
    list.SetCurData(999);  // no such row: the selection stays, the list repaints
    EXPECT_EQ(list.GetSelectItem(), 1);
    EXPECT_GT(f.owner.repaints, before);
    EXPECT_EQ(list.GetItemData(9), 0);
    EXPECT_EQ(list.SetItemText(9, L"x"), 0);
    EXPECT_TRUE(list.GetItemText(-1).IsEmpty());
    EXPECT_EQ(list.SetItemText(3, L"Fourth"), 1);
    EXPECT_EQ(list.GetItemText(3), CString(L"Fourth"));
}

TEST(ListBoxEx, ClickOnARowSendsItsIndex)
{
    ListFixture f(270);
    WEXA::MListBoxEx& list = f.list;
    // A press and release outside every cell changes nothing.
    list.OnControlMouseMove(0, CPoint(132, 20));
    list.OnControlLButtonDown(MK_LBUTTON, CPoint(132, 20));
    list.OnControlLButtonUp(0, CPoint(132, 20));
    EXPECT_TRUE(f.owner.events.empty());
    EXPECT_EQ(list.GetSelectItem(), -1);

    list.OnControlMouseMove(0, CPoint(150, 20));
    EXPECT_EQ(list.GetHoverItem(), 1);
    list.OnControlLButtonDown(MK_LBUTTON, CPoint(150, 20));
    list.OnControlLButtonUp(0, CPoint(150, 20));
    ASSERT_EQ(f.owner.events.size(), 1u);
    EXPECT_EQ(f.owner.events[0].code, 2u);
    EXPECT_EQ(f.owner.events[0].lparam, 1);
}

TEST(ListBoxEx, ContentHeightDrivesTheBarAndTheWheel)
{
    Recorder owner;
    WEXA::MListBoxEx list(&owner, 30, CRect(0, 0, 270, 100), 1, 1);
    list.InitControl(nullptr);
    list.AddItem(CString(L"a"), 1, CString());
    list.SetControlRect(CRect(0, 0, 270, 100));
    ASSERT_NE(list.GetScrollVertical(), nullptr);
    EXPECT_EQ(list.GetScrollVertical()->m_bVisible, 0);  // content height 0
    Paint(list);
    list.SetAllItemHeight(400);
    EXPECT_EQ(list.GetScrollVertical()->m_bVisible, 1);
    WEXA::CScrollVertical* bar = list.m_pScrollVertical;
    EXPECT_EQ(bar->GetRowStep(), 10);
    list.OnControlScroll(1, 1, CPoint(10, 10));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 100);
    list.OnControlScroll(1, 0, CPoint(10, 10));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 0);
}

// The wheel: a 100 x 100 control at (20, 30) of its window.
struct WheelFixture
{
    WheelFixture() : wheel(&owner, 77, CRect(20, 30, 120, 130), 1, 1)
    {
        // A table made by hand: every pixel's colour is its own coordinates.
        for (int x = 0; x < 100; ++x)
            for (int y = 0; y < 100; ++y) wheel.m_colorTable[x][y] = RGB(x, y, 7);
    }
    Recorder owner;
    WEXA::CirclePalette wheel;
};

POINT g_cursor = {0, 0};
BOOL WINAPI FakeCursor(POINT* p)
{
    *p = g_cursor;
    return TRUE;
}

TEST(ColourWheel, MarkerMovesInsideTheRadiusOnly)
{
    WheelFixture f;
    WEXA::CirclePalette::SetCursorSource(FakeCursor);
    EXPECT_EQ(f.wheel.GetDistanse(CPoint(70, 80)), 0);
    // 60 pixels from the centre: nothing moves, but the release reports the colour.
    f.wheel.OnControlLButtonDown(MK_LBUTTON, CPoint(130, 80));
    EXPECT_TRUE(f.owner.events.empty());
    f.wheel.OnControlLButtonUp(0, CPoint(130, 80));
    ASSERT_EQ(f.owner.events.size(), 1u);
    EXPECT_EQ(f.owner.events[0].code, 2u);
    EXPECT_EQ(f.owner.events[0].lparam, 0x0000FF);
    // Two moves to the same point: one event.
    f.wheel.MoveThumbPos(CPoint(70, 60));
    f.wheel.MoveThumbPos(CPoint(70, 60));
    EXPECT_EQ(f.owner.events.size(), 2u);
    EXPECT_EQ(f.owner.events[1].code, 27u);
    WEXA::CirclePalette::SetCursorSource(nullptr);
}

TEST(ColourWheel, ColourTableIsReadOnlyInsideTheControl)
{
    // Without a window the cursor cannot be placed: the colour stays.
    WheelFixture f;
    WEXA::CirclePalette::SetCursorSource(FakeCursor);
    g_cursor = {-5000, 40000};
    f.wheel.MoveThumbPos(CPoint(75, 75));
    EXPECT_EQ(f.wheel.GetSelectColor(), 0x0000FFu);
    EXPECT_EQ(f.wheel.GetTableColor(150, 10), 0u);  // outside the control
    EXPECT_EQ(f.wheel.GetTableColor(-1, 10), 0u);
    EXPECT_EQ(f.wheel.GetTableColor(250, 250), 0u);
    WEXA::CirclePalette::SetCursorSource(nullptr);
}

TEST(ColourWheel, LargeControlFillsOnlyItsTable)
{
    // Wider and higher than the table: the fill stops at the table's edge.
    Recorder owner;
    WEXA::CirclePalette big(&owner, 77, CRect(0, 0, 320, 260), 1, 1);
    testutil::MemoryCanvas canvas(320, 260);
    canvas.Fill(0xFF102030);
    HDC dc = canvas.dc();
    big.DrawControl(dc, CRect(0, 0, 320, 260));
    EXPECT_EQ(big.GetTableColor(199, 199), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(big.GetTableColor(200, 10), 0u);
}

}  // namespace
