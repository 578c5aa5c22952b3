// The grouped key picker, the on-screen keyboard picker and the layer
// selector: their key tables, layout, picking and stale indexes.
#include <gtest/gtest.h>

#include <set>

#include "KeyFuncControl.h"
#include "KeyFuncCtrl.h"
#include "KeyLayerCtrl.h"
#include "MScroll.h"
#include "Manager.h"
#include "PickersTestSupport.h"

using namespace WEXA;
using namespace pickertest;

namespace {

// ---- grouped key picker ----

struct TileRow
{
    int group, index;
    const wchar_t* label;
    int code;
};

// Spot checks across the table, in its order.
const TileRow kTileRows[] = {
    {0, 0, L"A", 4},
    {0, 25, L"Z", 29},
    {0, 35, L"0", 39},
    {0, 36, L"~", 53},
    {0, 41, L"\\", 49},
    {0, 46, L"/?", 56},
    {1, 3, L"Backsapce", 42},
    {1, 14, L"Menu", 101},
    {1, 15, L"\u2191", 82},
    {1, 18, L"\u2192", 79},
    {1, 28, L"F1", 58},
    {1, 39, L"F12", 69},
    {1, 41, L"Num 1", 89},
    {1, 49, L"Num 9", 97},
    {1, 56, L"Num Enter", 88},
    {2, 0, L"My Computer", 500},
    {2, 1, L"Calculator ", 501},
    {2, 15, L"Web Foreward", 515},
    {2, 17, L"Web Search", 517},
};

class GroupedPicker : public ::testing::Test
{
protected:
    Owner owner;
    KeyFuncCtrl picker{&owner, 7, CRect(0, 0, 605, 300), 1};
    void SetUp() override
    {
        Manager::SetThemeSkins(L"theme1\\");
        picker.InitItemInfo();
    }
    CRect Tile(int group, int index)
    {
        CString label;
        int code = 0;
        CRect rect;
        bool icon = false;
        EXPECT_TRUE(picker.GetTileInfo(group, index, label, code, rect, icon));
        return rect;
    }
};

TEST_F(GroupedPicker, TableHasThreeGroupsOf122Tiles)
{
    ASSERT_EQ(picker.GetGroupCount(), 3);
    EXPECT_EQ(picker.GetTileCount(0), 47);
    EXPECT_EQ(picker.GetTileCount(1), 57);
    EXPECT_EQ(picker.GetTileCount(2), 18);
    for (const TileRow& row : kTileRows) {
        CString label;
        int code = 0;
        CRect rect;
        bool icon = false;
        ASSERT_TRUE(picker.GetTileInfo(row.group, row.index, label, code, rect, icon));
        EXPECT_EQ(label, CString(row.label)) << row.group << "/" << row.index;
        EXPECT_EQ(code, row.code) << row.group << "/" << row.index;
    }
    // Initial places: 42 x 42, twelve to a row within each group.
    EXPECT_EQ(Tile(1, 13), CRect(55, 50, 97, 92));
    std::set<int> codes;
    for (int g = 0; g < 3; ++g)
        for (int i = 0; i < picker.GetTileCount(g); ++i) {
            CString label;
            int code = 0;
            CRect rect;
            bool icon = false;
            picker.GetTileInfo(g, i, label, code, rect, icon);
            codes.insert(code);
            // Only the third group's tiles have icons (500-517).
            EXPECT_EQ(icon, g == 2) << label.GetString();
            if (g == 2) EXPECT_EQ(code, 500 + i);
        }
    EXPECT_EQ(codes.size(), 122u);
    int expanded = -1, height = 0;
    CRect header;
    picker.GetGroupInfo(0, expanded, height, header);
    EXPECT_EQ(expanded, 1);
    EXPECT_EQ(height, 300);
    picker.GetGroupInfo(2, expanded, height, header);
    EXPECT_EQ(expanded, 0);
    EXPECT_EQ(height, 120);
}

TEST_F(GroupedPicker, OpenGroupLaysNineTilesToARowAndHeadersToggle)
{
    DrawOnce(picker);  // Wd = 600
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Tile(0, i), CRect(10 + 60 * i, 40, 60 + 60 * i, 90));
    EXPECT_EQ(Tile(0, 9), CRect(10, 100, 60, 150));
    EXPECT_EQ(Tile(0, 46).top, 40 + 5 * 60);
    int expanded = 0, height = 0;
    CRect header;
    picker.GetGroupInfo(0, expanded, height, header);
    EXPECT_EQ(height, 360);  // six rows
    EXPECT_EQ(header, CRect(0, 0, 600, 40));

    // A click in the 10 pixels below the open bar toggles it.
    picker.OnControlMouseMove(0, CPoint(300, 35));
    EXPECT_EQ(picker.OnControlLButtonUp(0, CPoint(300, 35)), 0);
    picker.GetGroupInfo(0, expanded, height, header);
    EXPECT_EQ(expanded, 0);
    EXPECT_EQ(picker.GetAllHeight(), 120);
    EXPECT_TRUE(owner.events.empty());
    // Open again: 40 + 360 + 40 + 40.
    picker.OnControlLButtonUp(0, CPoint(300, 10));
    EXPECT_EQ(picker.GetAllHeight(), 480);
    EXPECT_EQ(picker.m_pScrollVertical->m_bVisible, 1);
    EXPECT_EQ(picker.m_pScrollVertical->GetScrollMaxRange(), 480);

    picker.ResetKeyState();
    EXPECT_EQ(picker.GetAllHeight(), 120);
    picker.GetGroupInfo(0, expanded, height, header);
    EXPECT_EQ(expanded, 0);
}

TEST_F(GroupedPicker, ClickingATilePicksItsCode)
{
    DrawOnce(picker);
    const CPoint a = Tile(0, 0).CenterPoint();
    picker.OnControlMouseMove(0, a);
    int code = -1;
    CString text;
    picker.GetCurValue(code, text);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(text, CString(L"A"));
    picker.OnControlLButtonDown(MK_LBUTTON, a);
    picker.OnControlLButtonUp(0, a);
    EXPECT_EQ(owner.events, (std::vector<Event>{{7, 2, 0, 4}}));
    EXPECT_EQ(picker.GetPickedCode(), 4);
    // Between tiles: nothing hovered, 0 and "".
    picker.OnControlMouseMove(0, CPoint(65, 65));
    picker.GetCurValue(code, text);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(text, CString());
    // The picked code survives a rebuild.
    picker.InitItemInfo();
    EXPECT_EQ(picker.GetPickedCode(), 4);
    EXPECT_EQ(picker.SetItemText(3, L"x"), 0);
    EXPECT_EQ(picker.SetItemText(1, L"Extended"), 1);
}

TEST_F(GroupedPicker, ScrollPositionNeverDividesByAnEmptyDifference)
{
    // A control exactly as tall as the content (480) after the group is
    // opened and drawn, then toggled with a scrolled view remembered.
    picker.SetControlRect(CRect(0, 0, 605, 480));
    DrawOnce(picker);
    picker.OnControlLButtonUp(0, CPoint(300, 10));  // closes the first group
    picker.m_pScrollVertical->m_nPosition = 100;
    DrawOnce(picker);
    picker.OnControlLButtonUp(0, CPoint(300, 10));  // opens it: 480 = the control's height
    EXPECT_EQ(picker.GetAllHeight(), 480);
    EXPECT_EQ(picker.m_pScrollVertical->GetScrollCurrentPos(), 0);
    picker.SetControlRect(CRect(0, 0, 605, 480));
    EXPECT_EQ(picker.m_pScrollVertical->GetScrollCurrentPos(), 0);
    DrawOnce(picker);
    EXPECT_EQ(picker.GetScrollOffset(), 0);
    EXPECT_EQ(picker.OnControlScroll(1, 1, CPoint(5, 5)), 0);
}

TEST_F(GroupedPicker, FrameCountsBelowOneCountAsOne)
{
    EXPECT_EQ(picker.SetImage(L"no_such_picture.png", 3), 0);
    EXPECT_EQ(picker.SetImage(L"img_key_bkg.png", 0), 1);
    EXPECT_EQ(picker.SetImage(L"img_key_bkg.png", -4), 1);
    DrawOnce(picker);  // draws the whole picture as the one frame
}

// ---- on-screen keyboard picker ----

class Keyboard : public ::testing::Test
{
protected:
    Owner owner;
    KeyFuncControl keys{&owner, 9, CRect(20, 10, 920, 270), 1};
    void SetUp() override { keys.InitItemInfo(); }
    CPoint Centre(int index)
    {
        CString label;
        int code = 0;
        CRect rect;
        EXPECT_TRUE(keys.GetItemInfo(index, label, code, rect));
        rect.OffsetRect(20, 10);
        return rect.CenterPoint();
    }
    void Press(CPoint p)
    {
        keys.OnControlMouseMove(0, p);
        keys.OnControlLButtonDown(MK_LBUTTON, p);
    }
};

TEST_F(Keyboard, LayoutHas111KeysEachCodeOnce)
{
    ASSERT_EQ(keys.GetItemCount(), 111);
    std::set<int> codes;
    CRect span;
    int fn = -1;
    for (int i = 0; i < 111; ++i) {
        CString label;
        int code = 0;
        CRect rect;
        keys.GetItemInfo(i, label, code, rect);
        codes.insert(code);
        span.UnionRect(&span, &rect);
        if (label == CString(L"Fn")) fn = code;
    }
    EXPECT_EQ(codes.size(), 111u);
    EXPECT_EQ(span, CRect(0, 0, 880, 246));
    EXPECT_EQ(fn, 175);
    struct Row
    {
        int index;
        const wchar_t* label;
        int code;
        CRect rect;
    } rows[] = {
        {0, L"Esc", 41, CRect(0, 0, 36, 36)},
        {37, L"-", 86, CRect(844, 46, 880, 82)},
        {35, L"//", 84, CRect(766, 46, 802, 82)},
        {51, L"||", 49, CRect(523, 87, 575, 123)},
        {58, L"+", 87, CRect(832, 87, 868, 164)},
        {60, L"A", 4, CRect(63, 128, 99, 164)},
        {71, L"k42", 50, CRect(492, 128, 528, 164)},
        {94, L"Enter", 88, CRect(832, 169, 868, 246)},
        {99, L"Space", 44, CRect(152, 210, 299, 246)},
        {110, L".", 99, CRect(690, 210, 757, 246)},
        {29, L"K14", 137, CRect(507, 46, 543, 82)},
        {77, L"K45", 100, CRect(42, 169, 78, 205)},
        {88, L"K56", 135, CRect(471, 169, 507, 205)},
        {98, L"K150", 145, CRect(114, 210, 149, 246)},
        {100, L"K151", 144, CRect(302, 210, 337, 246)},
        {103, L"Fn", 175, CRect(416, 210, 451, 246)},
        {105, L"Ctrl", 228, CRect(492, 210, 527, 246)},
    };
    for (const Row& row : rows) {
        CString label;
        int code = 0;
        CRect rect;
        ASSERT_TRUE(keys.GetItemInfo(row.index, label, code, rect));
        EXPECT_EQ(label, CString(row.label)) << row.index;
        EXPECT_EQ(code, row.code) << row.index;
        EXPECT_EQ(rect, row.rect) << row.index;
    }
}

TEST_F(Keyboard, PressReportsTheTileIndexAndItsData)
{
    Press(CPoint(20 + 50, 10 + 18));  // between "Esc" and "F1"
    EXPECT_EQ(owner.events.back(), (Event{9, 1, static_cast<UINT_PTR>(-1), 0}));
    int first = 123, code = 0, d1 = 5, d2 = 5;
    CString label;
    EXPECT_FALSE(keys.GetCurItemData(first, code, d1, d2, label));

    Press(Centre(60));
    EXPECT_EQ(owner.events.back(), (Event{9, 1, 60, 0}));
    ASSERT_TRUE(keys.GetCurItemData(first, code, d1, d2, label));
    EXPECT_EQ(first, 123);  // not written
    EXPECT_EQ(code, 4);
    EXPECT_EQ(d1, 0);
    EXPECT_EQ(d2, 0);
    EXPECT_EQ(label, CString(L"A"));
    EXPECT_EQ(keys.OnControlLButtonUp(0, Centre(60)), 0);
    EXPECT_EQ(keys.GetPressedItem(), 60);

    keys.SetItemCheckByItemData(4, 0, 0);
    EXPECT_EQ(keys.GetCheckedItem(), 60);
    keys.SetItemCheckByItemData(0, 0, 0);
    EXPECT_EQ(keys.GetCheckedItem(), -1);
    keys.SetItemDesc(44, L"Space bar");
    CString space;
    CRect r;
    keys.GetItemInfo(99, space, code, r);
    EXPECT_EQ(space, CString(L"Space bar"));
    EXPECT_EQ(keys.OnControlScroll(1, 1, Centre(0)), 1);
}

TEST_F(Keyboard, IndexesLeftByClearingPointNowhere)
{
    Press(Centre(110));
    keys.SetItemCheckByItemData(99, 0, 0);
    ASSERT_EQ(keys.GetCheckedItem(), 110);
    keys.ClearItems();
    EXPECT_EQ(keys.GetPressedItem(), 110);  // kept, as the indexes are
    int first = 0, code = 0, d1 = 0, d2 = 0;
    CString label;
    EXPECT_FALSE(keys.GetCurItemData(first, code, d1, d2, label));
    // The drawing reads no tile through the stale indexes: nothing but the
    // background it was given shows, no highlight of the pressed or checked key.
    testutil::MemoryCanvas canvas(940, 290);
    canvas.Fill(0xFF204060);
    DrawOnce(keys, canvas);
    const testutil::PixelBuffer shown = canvas.Read();
    int drawn = 0;
    for (int y = 10; y < 270; ++y)
        for (int x = 20; x < 920; ++x) drawn += shown.ColorAt(x, y) != RGB(0x20, 0x40, 0x60);
    EXPECT_EQ(drawn, 0);
    keys.OnControlMouseMove(0, CPoint(30, 20));
    keys.OnControlLButtonDown(MK_LBUTTON, CPoint(30, 20));
    EXPECT_EQ(owner.events.back(), (Event{9, 1, static_cast<UINT_PTR>(-1), 0}));
}

// ---- layer selector ----

class Layers : public ::testing::Test
{
protected:
    Owner owner;
    KeyLayerCtrl layers{&owner, 56, CRect(100, 50, 162, 250), 1, 1};
    void SetUp() override
    {
        layers.SetTitle(L"Fn");
        for (int i = 0; i < 4; ++i) layers.AddLayer(CString(std::to_wstring(i + 1).c_str()), i);
    }
};

TEST_F(Layers, EntriesStackFrom35AndEveryReleaseIsReported)
{
    // Before the first drawing nothing can be hovered, so a press selects nothing.
    Click(layers, CPoint(130, 50 + 70));
    EXPECT_EQ(layers.GetSelectItem(), 0);
    DrawOnce(layers);
    const CRect expected[] = {CRect(2, 35, 60, 63), CRect(2, 63, 60, 91), CRect(2, 91, 60, 119),
                              CRect(2, 119, 60, 147)};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(layers.GetLayerRect(i), expected[i]);

    Click(layers, CPoint(130, 50 + 100));
    EXPECT_EQ(layers.GetCurKeyLayer(), 2);
    Click(layers, CPoint(130, 50 + 10));  // the caption: reported, nothing changes
    EXPECT_EQ(layers.GetCurKeyLayer(), 2);
    EXPECT_EQ(owner.events.size(), 3u);
    for (const Event& e : owner.events) EXPECT_EQ(e, (Event{56, 2, 0, 0}));

    layers.SetCurrentLayer(9);  // no entry: kept
    EXPECT_EQ(layers.GetCurKeyLayer(), 2);
    layers.SetCurrentLayer(0);
    EXPECT_EQ(layers.GetSelectItem(), 0);
}

TEST_F(Layers, SelectionLeftPastTheEntriesReadsNothing)
{
    DrawOnce(layers);
    Click(layers, CPoint(130, 50 + 130));
    ASSERT_EQ(layers.GetSelectItem(), 3);
    layers.ClearList();
    EXPECT_EQ(layers.GetCurKeyLayer(), 0);
    layers.AddLayer(L"1", 5);
    EXPECT_EQ(layers.GetCurKeyLayer(), 0);  // index 3 names no entry
    layers.OnControlLButtonDown(MK_LBUTTON, CPoint(130, 50 + 130));
    EXPECT_EQ(layers.GetSelectItem(), 3);
    DrawOnce(layers);
}

}  // namespace
