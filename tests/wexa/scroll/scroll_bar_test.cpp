// The scroll-bar controls: model operations, page clicks and thumb drags
// reported as code 8, inert bars, drawing.
#include <gtest/gtest.h>

#include <vector>

#include "MObject.h"
#include "MScroll.h"
#include "Manager.h"
#include "WindowTestHelpers.h"

using namespace WEXA;

namespace {

struct Note
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
    int changing;
};

// Owner of the bars under test: records notifications and repaint requests.
class Owner : public MObject
{
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        notes.push_back({id, code, wparam, lparam, bar ? bar->IsChangeing() : -1});
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int erase, MControl*) override
    {
        repaints.push_back(rect);
        return 0;
    }
    MScroll* bar = nullptr;
    std::vector<Note> notes;
    std::vector<CRect> repaints;
};

class VerticalBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar_ = new CScrollVertical(&owner_, 1, CRect(0, 0, 5, 300), 1);
        owner_.bar = bar_;
    }
    void TearDown() override { delete bar_; }
    Owner owner_;
    CScrollVertical* bar_ = nullptr;
};

TEST_F(VerticalBar, StartsWithAComputedPageAndAThumbAtTheTop)
{
    EXPECT_EQ(bar_->GetScrollMaxRange(), 1000);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 0);
    EXPECT_EQ(bar_->GetScrollPage(), 300);
    EXPECT_EQ(bar_->GetRowStep(), 10);
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 0, 5, 100));
    EXPECT_TRUE(bar_->IsScrollable());
    EXPECT_STREQ(bar_->GetClassNameW(), L"CScrollVertical");
}

TEST_F(VerticalBar, ClickBelowTheThumbMovesOnePageAndReportsItOnce)
{
    EXPECT_EQ(bar_->OnControlLButtonDown(MK_LBUTTON, CPoint(2, 250)), 90);
    ASSERT_EQ(owner_.notes.size(), 1u);
    EXPECT_EQ(owner_.notes[0].id, 1u);
    EXPECT_EQ(owner_.notes[0].code, 8u);
    EXPECT_EQ(owner_.notes[0].wparam, 450u);  // 90 * 1000 / (300 - 100)
    EXPECT_EQ(owner_.notes[0].lparam, 0);
    EXPECT_EQ(owner_.notes[0].changing, 1);  // set while the owner hears of it
    EXPECT_EQ(bar_->IsChangeing(), 0);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 450);
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 90, 5, 190));

    // Above the thumb: a page back.
    EXPECT_EQ(bar_->OnControlLButtonUp(0, CPoint(2, 250)), 0);
    EXPECT_EQ(bar_->OnControlLButtonDown(MK_LBUTTON, CPoint(2, 10)), -90);
    ASSERT_EQ(owner_.notes.size(), 2u);
    EXPECT_EQ(owner_.notes[1].wparam, 0u);
}

TEST_F(VerticalBar, DraggingTheThumbReportsEachNewPosition)
{
    // A press on the thumb starts a drag without moving it.
    EXPECT_EQ(bar_->OnControlLButtonDown(MK_LBUTTON, CPoint(2, 50)), 1);
    EXPECT_EQ(bar_->GetThumbState(), 2);
    EXPECT_TRUE(owner_.notes.empty());

    EXPECT_EQ(bar_->OnControlMouseMove(MK_LBUTTON, CPoint(2, 90)), 1);
    ASSERT_EQ(owner_.notes.size(), 1u);
    EXPECT_EQ(owner_.notes[0].code, 8u);
    EXPECT_EQ(owner_.notes[0].wparam, 200u);  // 40 px of 200
    // Far past the end: the thumb stops at the bar's bottom.
    bar_->OnControlMouseMove(MK_LBUTTON, CPoint(2, 1000));
    ASSERT_EQ(owner_.notes.size(), 2u);
    EXPECT_EQ(owner_.notes[1].wparam, 1000u);
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 200, 5, 300));
    // The anchor followed the thumb (160 px), not the pointer: further moves
    // down do nothing, and 20 px up from the anchor moves the thumb 20 px.
    bar_->OnControlMouseMove(MK_LBUTTON, CPoint(2, 270));
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 200, 5, 300));
    EXPECT_EQ(owner_.notes.size(), 2u);
    bar_->OnControlMouseMove(MK_LBUTTON, CPoint(2, 230));
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 180, 5, 280));
    EXPECT_EQ(owner_.notes.back().wparam, 900u);

    EXPECT_EQ(bar_->OnControlLButtonUp(0, CPoint(2, 230)), 1);
    EXPECT_EQ(bar_->GetThumbState(), 1);
    const size_t count = owner_.notes.size();
    bar_->OnControlMouseMove(0, CPoint(2, 20));
    EXPECT_EQ(owner_.notes.size(), count);  // no drag any more
}

TEST_F(VerticalBar, HoverStateChangesAskForARepaint)
{
    owner_.repaints.clear();
    EXPECT_EQ(bar_->OnControlMouseMove(0, CPoint(2, 50)), 1);
    EXPECT_EQ(bar_->GetThumbState(), 1);
    ASSERT_EQ(owner_.repaints.size(), 1u);
    EXPECT_EQ(owner_.repaints[0], CRect(0, 0, 5, 300));
    EXPECT_EQ(bar_->OnControlMouseMove(0, CPoint(2, 200)), 1);
    EXPECT_EQ(bar_->GetThumbState(), 0);
}

TEST_F(VerticalBar, ModelOperations)
{
    bar_->SetScrollCurrentPos(10);
    EXPECT_EQ(bar_->ScrollRow(-3), 1);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 0);
    EXPECT_EQ(bar_->ScrollRow(-3), 0);
    EXPECT_EQ(bar_->ScrollRow(200), 1);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 1000);
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 200, 5, 300));
    EXPECT_TRUE(owner_.notes.empty());  // only the user's moves are reported

    EXPECT_EQ(bar_->SetScrollBeginPos(), 1);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 0);
    // The end of the track; the thumb stays until the next layout.
    EXPECT_EQ(bar_->SetScrollFinalPos(), 1);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 1000);
    EXPECT_EQ(bar_->GetThumbRect(), CRect(0, 0, 5, 100));

    // A page set by the caller survives a new maximum; a computed one does not.
    bar_->SetScrollMaxRange(5000);
    EXPECT_EQ(bar_->GetScrollPage(), 500);
    bar_->SetScrollSize(250, 7);
    EXPECT_EQ(bar_->GetRowStep(), 7);
    bar_->SetScrollMaxRange(600);
    EXPECT_EQ(bar_->GetScrollPage(), 250);
    bar_->SetScrollInfo(2000, 1000, 0, 0);
    EXPECT_EQ(bar_->GetScrollPage(), 250);
    EXPECT_EQ(bar_->GetRowStep(), 7);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 1000);

    // Positions in content pixels: 350 of the 700 hidden pixels.
    bar_->SetScrollSize(300, 0);
    bar_->SetScrollMaxRange(1000);
    bar_->SetScrollCurrentPosEx(350);
    EXPECT_EQ(bar_->GetThumbRect().top, 100);
}

TEST_F(VerticalBar, RangeZeroMakesTheBarInert)
{
    bar_->SetScrollCurrentPos(500);
    EXPECT_EQ(bar_->SetScrollMaxRange(0), 1);
    EXPECT_FALSE(bar_->IsScrollable());
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 0);
    EXPECT_TRUE(bar_->GetThumbRect().IsRectEmpty());
    EXPECT_EQ(bar_->OnControlLButtonDown(MK_LBUTTON, CPoint(2, 250)), 0);
    EXPECT_EQ(bar_->OnControlMouseMove(MK_LBUTTON, CPoint(2, 100)), 0);
    EXPECT_EQ(bar_->OnControlLButtonUp(0, CPoint(2, 100)), 0);
    EXPECT_EQ(bar_->MoveRange(50), 0);
    EXPECT_EQ(bar_->ScrollRow(5), 0);
    EXPECT_EQ(bar_->SetScrollFinalPos(), 0);
    EXPECT_TRUE(owner_.notes.empty());

    // Range 1 and a page larger than the range are inert as well.
    bar_->SetScrollMaxRange(1);
    EXPECT_FALSE(bar_->IsScrollable());
    bar_->SetScrollSize(400, 0);
    bar_->SetScrollMaxRange(300);
    EXPECT_FALSE(bar_->IsScrollable());
    bar_->SetScrollMaxRange(401);
    EXPECT_TRUE(bar_->IsScrollable());
}

TEST(TinyBar, ThumbNeverGetsANegativeLength)
{
    Owner owner;
    for (int length : {0, 1, 10, 30, 49, 50, 51, 60}) {
        CScrollVertical bar(&owner, 1, CRect(0, 0, 5, length), 1);
        CRect thumb = bar.GetThumbRect();
        EXPECT_GE(thumb.Height(), 0) << length;
        EXPECT_LE(thumb.bottom, length) << length;
        // Clicks and drags stay inside the bar.
        bar.OnControlLButtonDown(MK_LBUTTON, CPoint(2, length - 1));
        bar.OnControlMouseMove(MK_LBUTTON, CPoint(2, length + 500));
        EXPECT_LE(bar.GetThumbRect().bottom, length) << length;
        EXPECT_GE(bar.GetScrollCurrentPos(), 0) << length;
        EXPECT_LE(bar.GetScrollCurrentPos(), 1000) << length;
    }
}

TEST(HorizontalBar, WorksAlongXAndReportsItsOwnId)
{
    Owner owner;
    CScrollHorizontal bar(&owner, 2, CRect(0, 0, 300, 5), 1);
    owner.bar = &bar;
    EXPECT_EQ(bar.GetThumbRect(), CRect(0, 0, 100, 5));
    EXPECT_EQ(bar.OnControlLButtonDown(MK_LBUTTON, CPoint(250, 2)), 90);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].id, 2u);
    EXPECT_EQ(owner.notes[0].code, 8u);
    EXPECT_EQ(owner.notes[0].wparam, 450u);
    bar.OnControlLButtonUp(0, CPoint(250, 2));
    EXPECT_EQ(bar.OnControlLButtonDown(MK_LBUTTON, CPoint(100, 2)), 1);  // on the thumb
    bar.OnControlMouseMove(MK_LBUTTON, CPoint(120, 2));
    EXPECT_EQ(owner.notes.back().wparam, 550u);
    EXPECT_EQ(bar.SetScrollFinalPos(), 1);
    EXPECT_EQ(bar.GetScrollCurrentPos(), 1000);
}

TEST(BarDrawing, FlatColoursOverTheBackgroundOnlyWhileScrollable)
{
    Owner owner;
    testutil::MemoryCanvas canvas(20, 320);
    canvas.Fill(0xFF102030);
    HDC dc = canvas.dc();
    CScrollVertical bar(&owner, 1, CRect(10, 10, 15, 310), 1);
    bar.DrawControl(dc, CRect(0, 0, 20, 320));
    testutil::PixelBuffer px = canvas.Read();
    const COLORREF normal = RGB(0x3A, 0x4E, 0x60);
    const COLORREF down = RGB(0x49, 0x77, 0xE5);
    EXPECT_EQ(px.ColorAt(12, 50), down);     // thumb 10..110
    EXPECT_EQ(px.ColorAt(12, 200), normal);  // track
    EXPECT_EQ(px.ColorAt(5, 200), RGB(0x10, 0x20, 0x30));

    // Inert: what lies beneath stays visible.
    canvas.Fill(0xFF405060);
    bar.SetScrollMaxRange(0);
    bar.DrawControl(dc, CRect(0, 0, 20, 320));
    px = canvas.Read();
    EXPECT_EQ(px.ColorAt(12, 50), RGB(0x40, 0x50, 0x60));
    EXPECT_EQ(px.ColorAt(12, 200), RGB(0x40, 0x50, 0x60));
}

}  // namespace
