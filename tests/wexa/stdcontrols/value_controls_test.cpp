// Level bar, progress bar, menu entry and swatch grid driven without a window.
#include <gtest/gtest.h>

#include "ColorView.h"
#include "MComboBox.h"
#include "MLevelCtrl.h"
#include "MenuItem.h"
#include "Recorder.h"
#include "WindowTestHelpers.h"

using stdtest::Recorder;

namespace {

void Paint(WEXA::MControl& c, int width = 400, int height = 300)
{
    testutil::MemoryCanvas canvas(width, height);
    HDC dc = canvas.dc();
    c.DrawControl(dc, CRect(0, 0, width, height));
}

TEST(LevelCtrl, SegmentsAndClampedLevels)
{
    Recorder owner;
    WEXA::MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 40), 1, 1);
    ASSERT_EQ(level.GetSegmentCount(), 16);
    EXPECT_EQ(level.GetSegmentRect(0), CRect(0, 0, 7, 12));
    EXPECT_EQ(level.GetSegmentRect(1), CRect(12, 0, 19, 12));
    level.SetLevelValue(20);
    EXPECT_EQ(level.GetLevelValue(), 15);
    level.SetLevelValue(-3);
    EXPECT_EQ(level.GetLevelValue(), 0);
    EXPECT_TRUE(owner.events.empty());
}

TEST(LevelCtrl, ClickPicksASegmentAndGapsPickNothing)
{
    Recorder owner;
    WEXA::MLevelCtrl level(&owner, 7, CRect(100, 50, 300, 90), 1, 1);
    EXPECT_EQ(level.OnControlLButtonUp(0, CPoint(100 + 24 + 2, 55)), 1);  // segment 2
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(owner.events[0].code, 2u);
    EXPECT_EQ(owner.events[0].wparam, 2u);
    level.OnControlLButtonUp(0, CPoint(100 + 24 + 2, 55));  // same level: nothing
    level.OnControlLButtonUp(0, CPoint(100 + 9, 55));       // in the gap after segment 0
    level.OnControlLButtonUp(0, CPoint(100 + 2, 80));       // below the segments
    EXPECT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(level.GetLevelValue(), 2);
    level.SetControlEnabled(0);
    EXPECT_EQ(level.OnControlLButtonUp(0, CPoint(102, 55)), 0);
}

TEST(LevelCtrl, EmptyRangeDividesByNothing)
{
    // Maximum one below the minimum: no segment at all.
    Recorder owner;
    WEXA::MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 40), 1, 1);
    level.SetRangeValue(5, 4);
    EXPECT_EQ(level.GetSegmentCount(), 0);
    EXPECT_EQ(level.OnControlLButtonUp(0, CPoint(10, 5)), 1);
    EXPECT_TRUE(owner.events.empty());
    level.SetLevelValue(9);
    EXPECT_EQ(level.GetLevelValue(), 5);
    Paint(level);
}

TEST(LevelCtrl, LabelShowsTheLevelOnce)
{
    // Range 10..20 at level 12: the label reads 12, not 22.
    Recorder owner;
    WEXA::MLevelCtrl level(&owner, 7, CRect(0, 0, 220, 40), 1, 1);
    level.SetRangeValue(10, 20);
    level.SetLevelValue(12);
    level.SetTextColor(Gdiplus::Color(0xFF000000));
    level.SetFont(L"Arial", 20, Gdiplus::FontStyleRegular);

    auto render = [&](const wchar_t* title) {
        testutil::MemoryCanvas canvas(220, 40);
        canvas.Fill(0xFFFFFFFF);
        if (title) {
            Gdiplus::Graphics g(canvas.dc());
            Gdiplus::Font font(L"Arial", 20, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
            Gdiplus::StringFormat f;
            f.SetAlignment(Gdiplus::StringAlignmentCenter);
            f.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            f.SetFormatFlags(0x1800);
            Gdiplus::SolidBrush b(Gdiplus::Color(0xFF000000));
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            g.DrawString(title, -1, &font, Gdiplus::RectF(0, 12, 220, 28), &f, &b);
        } else {
            HDC dc = canvas.dc();
            level.SetUpdate(0, 0);
            level.DrawControl(dc, CRect(0, 0, 220, 40));
        }
        testutil::PixelBuffer px = canvas.Read();
        std::vector<uint32_t> rows;
        for (int y = 14; y < 40; ++y)
            for (int x = 0; x < 220; ++x) rows.push_back(px.At(x, y) & 0xFFFFFF);
        return rows;
    };
    EXPECT_EQ(render(nullptr), render(L"12"));
}

TEST(Progress, SetProgressClampsAndIgnoresNegatives)
{
    Recorder owner;
    WEXA::MProgress bar(&owner, 3, CRect(0, 0, 200, 20), 1, 1);
    EXPECT_EQ(bar.SetProgress(150), 100);
    EXPECT_EQ(bar.SetProgress(-1), 100);
    bar.SetMaxProgress(50);
    EXPECT_EQ(bar.GetProgress(), 100);  // kept until the next SetProgress
    EXPECT_EQ(bar.SetProgress(80), 50);
    bar.SetControlEnabled(0);
    EXPECT_EQ(bar.SetProgress(10), 50);
}

TEST(Progress, RunningBarStepsEveryThirdTickAndWraps)
{
    Recorder owner;
    WEXA::MProgress bar(&owner, 3, CRect(0, 0, 200, 20), 1, 1);
    EXPECT_EQ(bar.SetRun(1, 98), 1);
    int steps = 0;
    for (int i = 0; i < 6; ++i) steps += bar.OnControlTimer();
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(bar.GetProgress(), 0);  // 98 -> 99 -> 0
    bar.SetRun(0, -1);
    EXPECT_EQ(bar.OnControlTimer(), 0);
}

TEST(Progress, ZeroMaximumFillsNothing)
{
    Recorder owner;
    WEXA::MProgress bar(&owner, 3, CRect(0, 0, 200, 20), 1, 1);
    bar.SetProgress(40);
    EXPECT_EQ(bar.FillWidth(200), 80);
    bar.SetMaxProgress(0);
    EXPECT_EQ(bar.FillWidth(200), 0);
    bar.EnableShowText(1);
    Paint(bar);
    bar.SetRun(1, -1);
    for (int i = 0; i < 4; ++i) bar.OnControlTimer();  // wraps at once, no division
}

TEST(Progress, LineBarFillsToThePosition)
{
    Recorder owner;
    WEXA::MProgress bar(&owner, 3, CRect(0, 0, 200, 20), 1, 1);
    bar.SetProgress(50);
    testutil::MemoryCanvas canvas(200, 20);
    canvas.Fill(0xFFFFFFFF);
    HDC dc = canvas.dc();
    bar.DrawControl(dc, CRect(0, 0, 200, 20));
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(10, 18), RGB(0xFF, 0x3A, 0x32));
    EXPECT_EQ(px.ColorAt(99, 18), RGB(0xFF, 0x3A, 0x32));
    EXPECT_NE(px.ColorAt(150, 18), RGB(0xFF, 0x3A, 0x32));
    EXPECT_EQ(px.ColorAt(100, 5), RGB(255, 255, 255));
}

TEST(MenuEntry, ClickSendsOneEventAndStatesFollowThePointer)
{
    Recorder owner;
    WEXA::MenuItem item(&owner, 501, CRect(0, 0, 160, 30), L"Open", 1, 1);
    EXPECT_STREQ(item.GetClassNameW(), L"MenuItem");
    EXPECT_EQ(item.GetGroupName(), CString(L"Menu Group"));
    EXPECT_EQ(item.GetTextIndent(), 30);
    item.OnControlMouseMove(0, CPoint(10, 10));
    EXPECT_EQ(item.IsHover(), 1);
    item.OnControlLButtonDown(MK_LBUTTON, CPoint(10, 10));
    EXPECT_EQ(item.IsHover(), 0);  // pressed
    EXPECT_EQ(item.OnControlLButtonUp(0, CPoint(10, 10)), 1);
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(owner.events[0].id, 501u);
    EXPECT_EQ(owner.events[0].code, 2u);

    // Press inside, move out, release outside: nothing, state 0.
    item.OnControlLButtonDown(MK_LBUTTON, CPoint(10, 10));
    item.OnControlMouseMove(MK_LBUTTON, CPoint(300, 10));
    item.OnControlLButtonUp(0, CPoint(300, 10));
    EXPECT_EQ(item.GetState(), 0);
    // Press outside, release inside over the hovered entry: nothing.
    item.OnControlMouseMove(0, CPoint(10, 10));
    item.OnControlLButtonDown(MK_LBUTTON, CPoint(300, 10));
    EXPECT_EQ(item.OnControlLButtonUp(0, CPoint(10, 10)), 0);
    EXPECT_EQ(owner.events.size(), 1u);
}

TEST(MenuEntry, CheckDisableAndDrawing)
{
    Recorder owner;
    WEXA::MenuItem item(&owner, 501, CRect(0, 0, 160, 30), L"", 1, 1);
    EXPECT_EQ(item.SetCheck(1), 0);
    EXPECT_EQ(item.GetCheck(), 0);
    item.SetControlCheck(1);
    EXPECT_EQ(item.GetCheck(), 1);
    EXPECT_EQ(item.GetState(), 2);
    EXPECT_EQ(item.IsHover(), 0);
    item.SetControlEnabled(0);
    EXPECT_EQ(item.GetState(), 3);
    EXPECT_EQ(item.OnControlMouseMove(0, CPoint(5, 5)), 0);
    item.SetControlEnabled(1);
    EXPECT_EQ(item.GetState(), 2);

    // An entry without a title draws only its highlight.
    item.SetControlCheck(0);
    item.OnControlMouseMove(0, CPoint(80, 15));
    testutil::MemoryCanvas canvas(160, 30);
    canvas.Fill(0xFFFFFFFF);
    HDC dc = canvas.dc();
    item.DrawControl(dc, CRect(0, 0, 160, 30));
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(80, 15), RGB(0x49, 0x77, 0xE5));
    EXPECT_EQ(px.ColorAt(1, 1), RGB(255, 255, 255));
}

TEST(ColourCombo, PressReportsOneAndReleaseInsideReportsTwo)
{
    // Each step: the input, the event code it adds (0 for none) and the face
    // state after it (0 normal, 1 hover, 2 pressed, 3 disabled).
    enum Input { Move, Down, Up, Disable, Enable };
    struct Step
    {
        const char* name;
        Input input;
        CPoint at;
        UINT code;
        int state;
    };
    const CPoint in(30, 20), out(100, 100);
    const Step steps[] = {
        {"hover", Move, in, 0, 1},
        {"press inside", Down, in, 1, 2},
        {"pressed face holds while the pointer leaves", Move, out, 0, 2},
        {"release inside", Up, in, 2, 1},
        {"press again", Down, in, 1, 2},
        {"release outside", Up, out, 0, 0},
        {"press outside", Down, out, 0, 0},
        {"release outside again", Up, out, 0, 0},
        {"disabled", Disable, in, 0, 3},
        {"disabled press", Down, in, 0, 3},
        {"disabled release", Up, in, 0, 3},
        {"enabled again", Enable, in, 0, 0},
        {"press after enabling", Down, in, 1, 2},
    };
    Recorder owner;
    WEXA::CColorCombo combo(&owner, 42, CRect(10, 10, 60, 40), 1, 1);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const size_t before = owner.events.size();
        switch (s.input) {
            case Move: combo.OnControlMouseMove(0, s.at); break;
            case Down: combo.OnControlLButtonDown(MK_LBUTTON, s.at); break;
            case Up: combo.OnControlLButtonUp(0, s.at); break;
            case Disable: combo.SetControlEnabled(0); break;
            case Enable: combo.SetControlEnabled(1); break;
        }
        if (s.code == 0) {
            EXPECT_EQ(owner.events.size(), before);
        } else {
            ASSERT_EQ(owner.events.size(), before + 1);
            EXPECT_EQ(owner.events.back().id, 42u);
            EXPECT_EQ(owner.events.back().code, s.code);
            EXPECT_EQ(owner.events.back().wparam, 0u);
            EXPECT_EQ(owner.events.back().lparam, 0);
        }
        EXPECT_EQ(combo.GetState(), s.state);
        Paint(combo);
    }
}

TEST(SwatchGrid, BuiltInPaletteAndClicks)
{
    Recorder owner;
    WEXA::ColorView view(&owner, 40, CRect(100, 100, 340, 282), 1, 1);
    // Empty: a click sends nothing.
    view.OnControlMouseMove(0, CPoint(120, 120));
    view.OnControlLButtonUp(0, CPoint(120, 120));
    EXPECT_TRUE(owner.events.empty());

    view.InitColorView();
    EXPECT_EQ(view.GetItemCount(), 48);
    EXPECT_EQ(view.GetSelectColor(), 0x1C1CB7);
    struct Case
    {
        int x, y;
        bool picks;
        int color;
    };
    const Case cases[] = {
        {20, 20, true, 0x1C1CB7},
        {220, 160, true, 0xB2F4FF},
        {35, 20, false, 0xB2F4FF},  // between two swatches: keeps the last pick
        {39 + 5, 38 + 5, true, 0xA21F7B},
    };
    size_t expected = 0;
    for (const Case& c : cases) {
        view.OnControlMouseMove(0, CPoint(100 + c.x, 100 + c.y));
        view.OnControlLButtonDown(MK_LBUTTON, CPoint(100 + c.x, 100 + c.y));
        view.OnControlLButtonUp(0, CPoint(100 + c.x, 100 + c.y));
        if (c.picks) ++expected;
        EXPECT_EQ(owner.events.size(), expected) << c.x << "," << c.y;
        EXPECT_EQ(view.GetSelectColor(), c.color) << c.x << "," << c.y;
    }
    view.ClearAllItem();
    view.OnControlMouseMove(0, CPoint(120, 120));
    view.OnControlLButtonUp(0, CPoint(120, 120));
    EXPECT_EQ(owner.events.size(), expected);
}

}  // namespace
