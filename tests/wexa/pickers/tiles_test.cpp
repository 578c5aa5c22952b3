// The category tabs, the function tiles, the function type grid and the menu
// rows: layout as the drawing writes it, pointer and button routing, scrolling,
// and indexes that point nowhere.
#include <gtest/gtest.h>

#include <algorithm>

#include "KeyFuncType.h"
#include "KeyFuncValue.h"
#include "KeyMenuFuncType.h"
#include "MScroll.h"
#include "Manager.h"
#include "PaintManager.h"
#include "PickersTestSupport.h"
#include "TabCtrlEx.h"

using namespace WEXA;
using namespace pickertest;

namespace {

// ---- category tabs ----

class Tabs : public ::testing::Test
{
protected:
    Owner owner;
    TabCtrlEx tabs{&owner, 88, CRect(10, 20, 130, 320), 1, 1};
    CPoint At(int tab) const { return CPoint(60, 20 + tab * 43 + 20); }
    CRect Rect(int index)
    {
        TABITEM_INFO info;
        EXPECT_TRUE(tabs.GetItemInfo(index, info));
        return CRect(info.rect);
    }
};

TEST_F(Tabs, HiddenTabsTakeNoRoomAndCannotBeHit)
{
    EXPECT_EQ(tabs.AddItem(L"Keys", 2), 0);
    EXPECT_EQ(tabs.AddItem(L"Mouse", 6), 1);
    EXPECT_EQ(tabs.AddItem(L"Media", 12), 2);
    EXPECT_TRUE(owner.updates.empty());  // adding does not repaint

    tabs.SetItemShow(2, 0);
    tabs.SetItemShow(1, 0);
    DrawOnce(tabs);
    EXPECT_EQ(Rect(0), CRect(0, 0, 120, 43));
    EXPECT_TRUE(Rect(1).IsRectEmpty());
    EXPECT_TRUE(Rect(2).IsRectEmpty());
    // Where the second tab was, nothing can be hovered or clicked.
    tabs.OnControlMouseMove(0, At(1));
    EXPECT_EQ(tabs.GetHoverItem(), -1);
    tabs.OnControlLButtonUp(0, At(1));
    EXPECT_TRUE(owner.events.empty());

    tabs.SetItemShow(2, 1);
    DrawOnce(tabs);
    EXPECT_EQ(Rect(2), CRect(0, 43, 120, 86));
}

TEST_F(Tabs, ReleaseOverATabSelectsItAndReportsItsIndex)
{
    for (int data : {2, 6, 12, 13, 5, 3}) tabs.AddItem(L"tab", data);
    DrawOnce(tabs);

    tabs.OnControlMouseMove(0, At(2));
    EXPECT_EQ(tabs.OnControlLButtonUp(0, At(2)), 1);
    EXPECT_EQ(tabs.GetSelectItem(), 2);
    EXPECT_EQ(tabs.GetCurData(), 12);
    // The selected tab again: reported again, no repaint (0).
    const size_t repaints = owner.updates.size();
    EXPECT_EQ(tabs.OnControlLButtonUp(0, At(2)), 0);
    EXPECT_EQ(owner.updates.size(), repaints);
    EXPECT_EQ(owner.events, (std::vector<Event>{{88, 2, 2, 0}, {88, 2, 2, 0}}));

    // Below the last tab: nothing is hovered, nothing sent.
    tabs.OnControlMouseMove(0, At(6));
    EXPECT_EQ(tabs.GetHoverItem(), -1);
    tabs.OnControlLButtonUp(0, At(6));
    EXPECT_EQ(owner.events.size(), 2u);
    // Off the control the hover goes.
    tabs.OnControlMouseMove(0, At(1));
    tabs.OnControlMouseMove(0, CPoint(500, 500));
    EXPECT_EQ(tabs.GetHoverItem(), -1);

    // A value no tab carries keeps the selection but repaints.
    const size_t before = owner.updates.size();
    tabs.SetCurData(99);
    EXPECT_EQ(tabs.GetSelectItem(), 2);
    EXPECT_EQ(owner.updates.size(), before + 1);
    tabs.SetCurData(3);
    EXPECT_EQ(tabs.GetSelectItem(), 5);
}

TEST_F(Tabs, IndexesOutsideTheListAreIgnored)
{
    EXPECT_EQ(tabs.GetCurData(), 0);  // empty strip
    EXPECT_EQ(tabs.GetItemData(0), 0);
    tabs.AddItem(L"only", 7);
    const size_t repaints = owner.updates.size();
    for (int index : {-1, 1, 40}) {
        tabs.SetItemText(index, L"x");
        tabs.SetItemShow(index, 0);
        EXPECT_EQ(tabs.GetItemData(index), 0);
    }
    EXPECT_EQ(owner.updates.size(), repaints);
    TABITEM_INFO info;
    ASSERT_TRUE(tabs.GetItemInfo(0, info));
    EXPECT_EQ(info.text, CString(L"only"));
    EXPECT_EQ(info.visible, 1);

    // A stored selection past the end selects nothing and draws no highlight.
    tabs.SetSelectKeyType(9);
    EXPECT_EQ(tabs.GetCurData(), 0);
    DrawOnce(tabs);
    tabs.ClearAllItems();
    EXPECT_EQ(tabs.GetSelectItem(), 0);
    EXPECT_EQ(tabs.GetHoverItem(), -1);
    tabs.OnControlLButtonUp(0, At(0));
    EXPECT_TRUE(owner.events.empty());
}

// ---- function tiles ----

class Tiles : public ::testing::Test
{
protected:
    Owner owner;
    // Drawing width 320 (the bar's 5 pixels off the control's width).
    KeyFuncValue grid{&owner, 89, CRect(0, 0, 325, 150), 1, 0};
    void SetUp() override
    {
        for (int i = 0; i < 10; ++i) grid.AddItem(L"tile", 100 + i, L"");
        grid.SetControlRect(CRect(0, 0, 325, 150));
    }
    CPoint Centre(int index)
    {
        CRect r = grid.GetItemRect(index);
        return r.CenterPoint();
    }
};

TEST_F(Tiles, WrapThreeToARowAtTheirPitch)
{
    DrawOnce(grid);
    const int xs[] = {0, 108, 216};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(grid.GetItemRect(i),
                  CRect(xs[i % 3], 60 * (i / 3), xs[i % 3] + 98, 60 * (i / 3) + 50))
            << "tile " << i;
}

TEST_F(Tiles, WheelAndBarScrollTheContent)
{
    CScrollVertical* bar = grid.m_pScrollVertical;
    // Content 200 against a control of 150: the bar shows.
    EXPECT_EQ(bar->m_bVisible, 1);
    grid.SetAllHeight(240);
    EXPECT_EQ(bar->GetScrollMaxRange(), 240);
    bar->SetScrollCurrentPos(0);
    EXPECT_EQ(grid.OnControlScroll(1, 1, CPoint(10, 10)), 1);
    EXPECT_GT(bar->GetScrollCurrentPos(), 0);
    EXPECT_LE(bar->GetScrollCurrentPos(), 100);

    bar->m_nPosition = 100;
    DrawOnce(grid);
    EXPECT_EQ(grid.GetScrollOffset(), 37);  // 100 x (240 - 150) / 240
    EXPECT_EQ(grid.GetItemRect(0).top, -37);

    // Content not taller than the control: the wheel is not taken.
    grid.SetAllHeight(100);
    bar->m_nPosition = 0;
    EXPECT_EQ(grid.OnControlScroll(1, 1, CPoint(10, 10)), 0);
    DrawOnce(grid);  // raises the content height to the control's
    EXPECT_EQ(grid.GetAllHeight(), 150);
    EXPECT_EQ(grid.GetScrollOffset(), 0);
}

TEST_F(Tiles, ReleaseReportsTheTilePressedWhenDraggingIsOff)
{
    grid.SetDragDrop(0);
    EXPECT_EQ(grid.IsDragDrop(), 0);
    DrawOnce(grid);
    grid.OnControlMouseMove(0, Centre(4));
    grid.OnControlLButtonDown(MK_LBUTTON, Centre(4));
    grid.OnControlMouseMove(MK_LBUTTON, Centre(5));
    grid.OnControlLButtonUp(0, Centre(5));
    EXPECT_EQ(owner.events, (std::vector<Event>{{89, 2, 0, 4}}));
    int data = -7;
    CString text = L"left";
    grid.GetCurValue(data, text);
    EXPECT_EQ(data, 104);
    EXPECT_EQ(text, CString(L"tile"));
}

TEST_F(Tiles, PressBetweenTilesKeepsThePreviousSelection)
{
    DrawOnce(grid);
    const CPoint gap(103, 25);  // between tile 0 and tile 1
    grid.OnControlMouseMove(0, gap);
    grid.OnControlLButtonDown(MK_LBUTTON, gap);
    grid.OnControlMouseMove(MK_LBUTTON, Centre(1));
    grid.OnControlLButtonUp(0, Centre(1));
    EXPECT_EQ(owner.events, (std::vector<Event>{{89, 2, 0, -1}}));
    // Nothing selected: GetCurValue leaves its arguments alone.
    int data = -7;
    CString text = L"left";
    grid.GetCurValue(data, text);
    EXPECT_EQ(data, -7);
    EXPECT_EQ(text, CString(L"left"));
}

TEST_F(Tiles, ADragStartsOnlyFromAHoveredTileAndSelectsIt)
{
    EXPECT_EQ(grid.IsDragDrop(), 1);  // a drag source from the start
    DrawOnce(grid);
    grid.OnControlMouseMove(0, Centre(2));
    EXPECT_EQ(grid.GetControlDropBitmap(), nullptr);  // no engine: no picture

    PaintManager engine;
    grid.SetManager(&engine);
    // Between two tiles: nothing is picked up and the selection stays.
    grid.OnControlMouseMove(0, CPoint(103, 25));
    EXPECT_EQ(grid.GetControlDropBitmap(), nullptr);
    EXPECT_EQ(grid.GetSelectItem(), -1);
    // Over tile 4 (108, 60, 206, 110): its picture with two pixels round it,
    // and the tile is selected.
    grid.OnControlMouseMove(0, CPoint(150, 80));
    HBITMAP image = grid.GetControlDropBitmap();
    ASSERT_NE(image, nullptr);
    BITMAP info = {};
    GetObjectW(image, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 102);
    EXPECT_EQ(info.bmHeight, 54);
    DeleteObject(image);
    EXPECT_EQ(grid.GetSelectItem(), 4);
    EXPECT_EQ(grid.GetCurData(), 104);
    // A disabled grid gives nothing to drag.
    grid.OnControlMouseMove(0, Centre(7));
    grid.SetEnabled(0);
    EXPECT_EQ(grid.GetControlDropBitmap(), nullptr);
    EXPECT_EQ(grid.GetSelectItem(), 4);
    grid.SetManager(nullptr);
}

// Plain tiles carry their caption in the text colour; the hovered and the
// selected tile carry it in white.
TEST_F(Tiles, HoveredAndSelectedCaptionsAreWhite)
{
    PaintManager engine;
    // The library font, as a window's engine loads it from beside the program.
    ASSERT_NE(nullptr,
              engine.AddTempFont(Manager::GetFontName(),
                                 GetAppPath() + L"fonts\\" + Manager::GetFontName() + L".ttf"));
    grid.SetManager(&engine);
    grid.SetTextColor(Gdiplus::Color(0xFF0A0A0A));
    grid.SetFontStyle(Gdiplus::FontStyleBold);  // strokes wide enough to show their colour
    for (int i = 0; i < 10; ++i) grid.SetItemText(i, L"WWWWWW");
    DrawOnce(grid);
    grid.SetSelectItem(1);
    grid.OnControlMouseMove(0, Centre(4));
    ASSERT_EQ(grid.GetSelectItem(), 1);

    testutil::MemoryCanvas canvas(345, 170);
    canvas.Fill(0xFF808080);  // no tile frames: the captions lie on grey
    DrawOnce(grid, canvas);
    const testutil::PixelBuffer pixels = canvas.Read();
    struct Ink
    {
        int white = 0, dark = 0, brightest = 0;
    };
    auto inkOf = [&](int index) {
        Ink ink;
        const CRect r = grid.GetItemRect(index);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = pixels.ColorAt(x, y);
                const int low = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
                const int high = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
                if (low >= 0xE0) ++ink.white;
                ink.brightest = std::max(ink.brightest, low);
                if (high < 0x40) ++ink.dark;
            }
        return ink;
    };
    const struct
    {
        int index;
        const char* what;
        bool white;
    } cases[] = {{0, "plain", false}, {1, "selected", true}, {4, "hovered", true}};
    for (const auto& c : cases) {
        const Ink ink = inkOf(c.index);
        if (c.white) {
            EXPECT_GT(ink.white, 20)
                << c.what << " tile: no white caption (brightest " << ink.brightest << ")";
            EXPECT_EQ(ink.dark, 0) << c.what << " tile: caption in the text colour";
        } else {
            EXPECT_GT(ink.dark, 20) << c.what << " tile: no caption in the text colour";
            EXPECT_EQ(ink.white, 0) << c.what << " tile: white caption";
        }
    }
    grid.SetManager(nullptr);
}

TEST_F(Tiles, ListsClearKeepTheContentHeightAndIgnoreBadIndexes)
{
    grid.SetAllHeight(400);
    grid.SetCurData(105);
    EXPECT_EQ(grid.GetSelectItem(), 5);
    grid.SetCurData(77);
    EXPECT_EQ(grid.GetSelectItem(), 5);
    EXPECT_EQ(grid.GetCurData(), 105);
    EXPECT_EQ(grid.SetItemText(10, L"x"), 0);
    EXPECT_EQ(grid.SetItemText(0, L"first"), 1);
    EXPECT_EQ(grid.GetItemText(0), CString(L"first"));
    EXPECT_EQ(grid.GetItemText(-1), CString());
    EXPECT_EQ(grid.GetItemData(99), 0);
    grid.SetSelectItem(30);  // stored as it is; reads nothing
    EXPECT_EQ(grid.GetCurData(), 0);
    DrawOnce(grid);
    grid.ClearList();
    EXPECT_EQ(grid.GetItemCount(), 0);
    EXPECT_EQ(grid.GetSelectItem(), -1);
    EXPECT_EQ(grid.GetAllHeight(), 400);
}

// ---- function type grid ----

TEST(TypeGrid, ItemsWrapAtTheirSizeAndGapsFromTheNextDrawing)
{
    Owner owner;
    KeyFuncType grid(&owner, 5, CRect(0, 0, 305, 200), 1, 1);
    for (int i = 0; i < 5; ++i) grid.AddItem(L"type", i, L"icon//icon_pc.png");
    grid.SetControlRect(CRect(0, 0, 305, 200));
    // No content height yet: nothing is drawn, no item is placed.
    DrawOnce(grid);
    EXPECT_TRUE(grid.GetItemRect(0).IsRectEmpty());

    grid.SetAllItemHeight(400);
    grid.SetControlRect(CRect(0, 0, 305, 200));
    ASSERT_EQ(grid.m_pScrollVertical->m_bVisible, 1);
    DrawOnce(grid);  // Wd = 300
    EXPECT_EQ(grid.GetItemRect(0), CRect(0, 0, 80, 70));
    EXPECT_EQ(grid.GetItemRect(1).left, 90);
    EXPECT_EQ(grid.GetItemRect(2).left, 180);
    EXPECT_EQ(grid.GetItemRect(3), CRect(0, 80, 80, 150));

    grid.SetWitdhAndHeight(60, 40);
    grid.SetItemSplit(5, 2);
    EXPECT_EQ(grid.GetItemRect(1).left, 90);  // not before the next drawing
    DrawOnce(grid);
    EXPECT_EQ(grid.GetItemRect(1), CRect(65, 0, 125, 40));
    EXPECT_EQ(grid.GetItemRect(4), CRect(0, 42, 60, 82));

    DrawOnce(grid);
    pickertest::Click(grid, grid.GetItemRect(4).CenterPoint());
    EXPECT_EQ(owner.events.back(), (Event{5, 2, 0, 4}));
    EXPECT_EQ(grid.GetCurData(), 4);
    // The wheel moves the bar even when everything fits.
    EXPECT_EQ(grid.OnControlScroll(1, 1, CPoint(1, 1)), 1);
    grid.SetItemImage(9, L"icon//icon_pc.png");  // outside: nothing
    EXPECT_EQ(grid.GetItemText(9), CString());
}

// ---- menu rows ----

TEST(MenuRows, ReleaseReportsTheRowUnderThePointer)
{
    Owner owner;
    KeyMenuFuncType rows(&owner, 100, CRect(10, 10, 310, 310), 1, 0);
    rows.AddItem(L"Copy", L"Ctrl+C", 150, L"");
    rows.AddItem(L"Paste", L"Ctrl+V", 151, L"");
    DrawOnce(rows);
    rows.OnControlMouseMove(0, CPoint(50, 40));
    rows.OnControlLButtonDown(MK_LBUTTON, CPoint(50, 40));
    rows.OnControlMouseMove(MK_LBUTTON, CPoint(50, 110));
    rows.OnControlLButtonUp(0, CPoint(50, 110));
    EXPECT_EQ(owner.events, (std::vector<Event>{{100, 2, 151, 0}}));
    EXPECT_EQ(rows.GetSelectItem(), 0);

    rows.SetEnabled(0);
    EXPECT_EQ(rows.OnControlMouseMove(0, CPoint(50, 40)), 0);
    EXPECT_EQ(rows.OnControlLButtonDown(MK_LBUTTON, CPoint(50, 110)), 0);
    EXPECT_EQ(rows.GetSelectItem(), 0);
}

// What the row list answers the engine: a move is left to other controls only
// while the pointer stays on the row already hovered; a press is taken
// wherever it lands, on a row or not.
TEST(MenuRows, MovesAndPressesAnswerAsTheTilesDo)
{
    Owner owner;
    KeyMenuFuncType rows(&owner, 100, CRect(10, 10, 310, 310), 1, 0);
    rows.AddItem(L"Copy", L"Ctrl+C", 150, L"");
    rows.AddItem(L"Paste", L"Ctrl+V", 151, L"");
    DrawOnce(rows);
    const CPoint outside(400, 400), row0(50, 40), row0Again(60, 50), row1(50, 110),
        belowRows(50, 250);
    const struct
    {
        const char* what;
        bool press;  // button down instead of a move
        CPoint at;
        int result;
        int hover;
    } steps[] = {
        {"move outside, nothing hovered", false, outside, 1, -1},
        {"move outside again", false, outside, 1, -1},
        {"press outside", true, outside, 1, -1},
        {"move onto row 0", false, row0, 1, 0},
        {"move within row 0", false, row0Again, 0, 0},
        {"move onto row 1", false, row1, 1, 1},
        {"move below the rows", false, belowRows, 1, -1},
        {"move below the rows again", false, belowRows, 1, -1},
        {"press below the rows", true, belowRows, 1, -1},
        {"move onto row 0 again", false, row0, 1, 0},
        {"press on row 0", true, row0, 1, 0},
    };
    for (const auto& step : steps) {
        const int got = step.press ? rows.OnControlLButtonDown(MK_LBUTTON, step.at)
                                   : rows.OnControlMouseMove(0, step.at);
        EXPECT_EQ(step.result, got) << step.what;
        EXPECT_EQ(step.hover, rows.GetHoverItem()) << step.what;
    }
    // Only the press on a hovered row selected one.
    EXPECT_EQ(0, rows.GetSelectItem());
}

}  // namespace
