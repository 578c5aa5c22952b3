// Thumb arithmetic of the scroll bars, independent of any window.
#include <gtest/gtest.h>

#include "ScrollAxis.h"

using WEXA::ScrollAxis;

namespace {

ScrollAxis Axis(int length, int range, int page = 0, int position = 0, int endSize = 0)
{
    ScrollAxis a;
    a.start = 0;
    a.end = length;
    a.endSize = endSize;
    a.rangeMax = range;
    a.page = page;
    a.position = position;
    return a;
}

struct LayoutCase
{
    const char* name;
    int length, range, page, position;
    bool pullBack, contentPixels;
    // expected
    int page_, thumbStart, thumbLength, scrollable, position_;
};

class ScrollLayout : public ::testing::TestWithParam<LayoutCase>
{};

TEST_P(ScrollLayout, ThumbAndModel)
{
    const LayoutCase& c = GetParam();
    ScrollAxis a = Axis(c.length, c.range, c.page, c.position);
    int returned = a.Layout(c.pullBack, c.contentPixels);
    EXPECT_EQ(a.page, c.page_);
    EXPECT_EQ(a.thumbStart, c.thumbStart);
    EXPECT_EQ(a.thumbLength, c.thumbLength);
    EXPECT_EQ(a.scrollable, c.scrollable);
    EXPECT_EQ(a.position, c.position_);
    EXPECT_EQ(returned, c.position_);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollLayout,
    ::testing::Values(
        // 300 px, range 1000: page 300, 300/1000*300 = 90 raised to 100.
        LayoutCase{"Bar300", 300, 1000, 0, 0, true, false, 300, 0, 100, 1, 0},
        LayoutCase{"Bar300AtEnd", 300, 1000, 0, 1000, true, false, 300, 200, 100, 1, 1000},
        LayoutCase{"Bar300Middle", 300, 1000, 0, 500, true, false, 300, 100, 100, 1, 500},
        // 120 px: the computed 14 is below 100 and track - 50 = 70 is not above 100.
        LayoutCase{"Bar120", 120, 1000, 0, 0, true, false, 120, 0, 70, 1, 0},
        // Range 5000 in 300 px: the bar is shorter than a tenth of the range.
        LayoutCase{"Range5000", 300, 5000, 0, 0, true, false, 500, 0, 100, 1, 0},
        // Range 0 (an empty panel): inert, no division.
        LayoutCase{"RangeZero", 300, 0, 0, 40, true, false, 300, 0, 0, 0, 0},
        LayoutCase{"RangeNegative", 300, -5, 7, 40, false, false, 7, 0, 0, 0, 0},
        // Range 1 in a 300 px bar: the page covers it.
        LayoutCase{"RangeOne", 300, 1, 0, 1, true, false, 300, 0, 0, 0, 0},
        // Range 1 in an empty bar: page 1/10 = 0, track 0.
        LayoutCase{"RangeOneEmptyBar", 0, 1, 0, 1, true, false, 0, 0, 0, 1, 1},
        // Page at least the range.
        LayoutCase{"PageEqualsRange", 300, 400, 400, 100, true, false, 400, 0, 0, 0, 0},
        LayoutCase{"PageAboveRange", 300, 400, 500, 100, true, false, 500, 0, 0, 0, 0},
        // Tiny bars: the length is clamped to the track, never negative.
        LayoutCase{"Bar30", 30, 1000, 0, 500, true, false, 100, 15, 0, 1, 500},
        LayoutCase{"Bar60", 60, 1000, 0, 500, true, false, 100, 25, 10, 1, 500},
        LayoutCase{"Bar1", 1, 1000, 0, 1000, true, false, 100, 1, 0, 1, 1000},
        // A position past the range is pulled back with the thumb (vertical).
        LayoutCase{"PullBack", 300, 1000, 0, 2000, true, false, 300, 200, 100, 1, 1000},
        LayoutCase{"NoPullBack", 300, 1000, 0, 2000, false, false, 300, 300, 100, 1, 2000},
        // Content pixels: 350 of 700 hidden pixels is half way.
        LayoutCase{"ContentPixels", 300, 1000, 0, 350, true, true, 300, 100, 100, 1, 350},
        // Content that fits the view: no hidden pixels, thumb at the top.
        LayoutCase{"ContentPixelsNoHidden", 300, 300, 100, 50, true, true, 100, 0, 100, 1, 50}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(ScrollAxisMove, StopsAtTheTrackEndsAndRecomputesThePosition)
{
    ScrollAxis a = Axis(300, 1000);
    a.Layout(true, false);
    EXPECT_EQ(a.MoveThumb(50), 50);
    EXPECT_EQ(a.thumbStart, 50);
    EXPECT_EQ(a.position, 250);         // 50 * 1000 / (300 - 100)
    EXPECT_EQ(a.MoveThumb(-100), -50);  // stops at the top
    EXPECT_EQ(a.position, 0);
    EXPECT_EQ(a.MoveThumb(-10), 0);
    EXPECT_EQ(a.MoveThumb(0), 0);
    EXPECT_EQ(a.MoveThumb(1000), 200);  // stops with the thumb's end at the bar's end
    EXPECT_EQ(a.position, 1000);
    EXPECT_EQ(a.MoveThumb(1), 0);
}

TEST(ScrollAxisMove, InertOrImmovableThumbsDoNotMove)
{
    ScrollAxis inert = Axis(300, 0);
    inert.Layout(true, false);
    EXPECT_EQ(inert.MoveThumb(20), 0);
    EXPECT_EQ(inert.position, 0);

    ScrollAxis empty = Axis(0, 1000);  // no track at all
    empty.Layout(true, false);
    EXPECT_EQ(empty.MoveThumb(20), 0);
    EXPECT_EQ(empty.MoveThumb(-20), 0);
}

TEST(ScrollAxisFinal, EndOfTrackPosition)
{
    int pos = -1;
    ScrollAxis a = Axis(300, 1000);
    a.Layout(true, false);
    EXPECT_TRUE(a.FinalPosition(&pos));
    EXPECT_EQ(pos, 1000);  // (300 - 100) * 1000 / (300 - 100)

    ScrollAxis withEnds = Axis(300, 1000, 0, 0, 10);
    withEnds.Layout(true, false);
    EXPECT_TRUE(withEnds.FinalPosition(&pos));
    EXPECT_EQ(pos, 1000 * 200 / 180);  // (L - G) x range / (T - G)

    pos = -1;
    ScrollAxis inert = Axis(300, 0);
    inert.Layout(true, false);
    EXPECT_FALSE(inert.FinalPosition(&pos));
    ScrollAxis empty = Axis(0, 1000);
    empty.Layout(true, false);
    EXPECT_FALSE(empty.FinalPosition(&pos));
    EXPECT_EQ(pos, -1);
}

TEST(ScrollAxisPage, JumpIsTrackTimesPageOverRange)
{
    ScrollAxis a = Axis(300, 1000);
    a.Layout(true, false);
    EXPECT_EQ(a.PageJump(), 90);
    ScrollAxis inert = Axis(300, 0);
    inert.Layout(true, false);
    EXPECT_EQ(inert.PageJump(), 0);
}

TEST(ScrollAxisPage, EndButtonsShortenTheTrack)
{
    ScrollAxis a = Axis(300, 1000, 0, 1000, 10);
    a.Layout(true, false);
    EXPECT_EQ(a.Track(), 280);
    EXPECT_EQ(a.thumbLength, 100);
    EXPECT_EQ(a.thumbStart, 10 + 180);
    // Larger end buttons than the bar: no track, no negative sizes.
    ScrollAxis b = Axis(30, 1000, 0, 0, 20);
    b.Layout(true, false);
    EXPECT_EQ(b.Track(), 0);
    EXPECT_EQ(b.thumbLength, 0);
}

}  // namespace
