// The slider: the pointer mapping, drags and releases, the wheel, the value
// text and the ranges without a thumb place.
#include <gtest/gtest.h>

#include "MSlider.h"
#include "NavHost.h"

namespace {

using WEXA::MSlider;

class SliderTest : public nav::HostTest
{
protected:
    // Range 0..10 over a 200-pixel track (276 - 16 - 60) at (100, 50).
    MSlider* MakeSlider()
    {
        MSlider* s = Make<MSlider>(L"MSlider", 129, CRect(100, 50, 376, 70));
        EXPECT_NE(s, nullptr);
        if (s) EXPECT_EQ(s->GetTrackLength(), 200);
        return s;
    }
};

TEST_F(SliderTest, PressOnTheTrackMapsThePointerIntoEqualBuckets)
{
    struct Case
    {
        int dx, value;
    } cases[] = {{18, 0}, {19, 1}, {100, 5}, {199, 10}, {200, 10}, {-30, 0}, {400, 10}};
    for (const Case& c : cases) {
        MSlider* s = MakeSlider();
        s->SetProgress(3);
        host.events.clear();
        s->OnControlLButtonDown(MK_LBUTTON, CPoint(100 + c.dx, 60));
        EXPECT_EQ(s->GetProgress(), c.value) << "x + " << c.dx;
        const auto moved = EventsWithCode(8);
        if (c.value == 3) {
            EXPECT_TRUE(moved.empty());
        } else {
            ASSERT_EQ(moved.size(), 1u) << "x + " << c.dx;
            EXPECT_EQ(moved[0].wparam, static_cast<UINT_PTR>(c.value));
        }
        engine->RemoveControl(s);
    }
}

TEST_F(SliderTest, DragSendsEightPerChangeAndReleaseSendsTwo)
{
    MSlider* s = MakeSlider();
    // The thumb sits at the left end: a press on it starts the drag.
    s->OnControlLButtonDown(MK_LBUTTON, CPoint(105, 55));
    EXPECT_EQ(s->GetState(), 2);
    host.events.clear();
    const int xs[] = {120, 121, 140, 160, 160, 300};
    for (int x : xs) EXPECT_EQ(s->OnControlMouseMove(MK_LBUTTON, CPoint(x, 90)), 1);
    const auto moved = EventsWithCode(8);
    std::vector<UINT_PTR> values;
    for (const auto& e : moved) values.push_back(e.wparam);
    EXPECT_EQ(values, (std::vector<UINT_PTR>{1, 2, 3, 10}));
    s->OnControlLButtonUp(0, CPoint(300, 90));
    ASSERT_EQ(EventsWithCode(2).size(), 1u);
    EXPECT_EQ(EventsWithCode(2)[0].wparam, 0u);
    EXPECT_EQ(s->GetState(), 0);

    // A release on the thumb without a change still reports.
    host.events.clear();
    CRect thumb = s->GetThumbRect();
    s->OnControlLButtonUp(0, thumb.CenterPoint());
    EXPECT_EQ(EventsWithCode(2).size(), 1u);
    EXPECT_EQ(EventsWithCode(8).size(), 0u);
}

TEST_F(SliderTest, WheelStepsAndStopsAtTheEnds)
{
    MSlider* s = MakeSlider();
    s->SetProgress(9);
    host.events.clear();
    EXPECT_EQ(s->OnControlScroll(1, 0, CPoint(150, 60)), 1);
    EXPECT_EQ(s->GetProgress(), 10);
    EXPECT_EQ(EventsWithCode(2).size(), 1u);
    host.events.clear();
    EXPECT_EQ(s->OnControlScroll(1, 0, CPoint(150, 60)), 1);  // at the maximum
    EXPECT_TRUE(host.events.empty());
    s->OnControlScroll(1, 1, CPoint(150, 60));
    EXPECT_EQ(s->GetProgress(), 9);
}

TEST_F(SliderTest, DisabledSliderIgnoresThePointer)
{
    MSlider* s = MakeSlider();
    s->SetControlEnabled(0);
    host.events.clear();
    s->OnControlLButtonDown(MK_LBUTTON, CPoint(250, 60));
    s->OnControlLButtonUp(0, CPoint(250, 60));
    EXPECT_EQ(s->GetProgress(), 0);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(SliderTest, SetProgressClampsAboveAndIgnoresNegatives)
{
    MSlider* s = MakeSlider();
    s->SetMaxProgress(100);
    EXPECT_EQ(s->SetProgress(200), 100);
    EXPECT_EQ(s->SetProgress(-1), 100);
    EXPECT_EQ(s->GetThumbRect().left, 100 + 200);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(SliderTest, ValueTextFollowsTheMaximum)
{
    struct Case
    {
        int maximum, position;
        const wchar_t* text;
    } cases[] = {{100, 50, L"50%"}, {6, 5, L"5"}, {255, 128, L"50%"}, {255, 255, L"100%"}};
    for (const Case& c : cases) {
        MSlider s(&host, 1, CRect(0, 0, 276, 20), 1, 1);
        s.SetMaxProgress(c.maximum);
        s.SetProgress(c.position);
        EXPECT_EQ(s.GetValueText(), CString(c.text)) << c.maximum << "/" << c.position;
    }
    MSlider titled(&host, 1, CRect(0, 0, 276, 20), 1, 1);
    titled.SetTitle(L"Speed ");
    titled.SetProgress(4);
    EXPECT_EQ(titled.GetValueText(), CString(L"Speed 4"));
}

TEST_F(SliderTest, EmptyRangeOrTrackNeverDividesByZero)
{
    // Minimum equal to the maximum: the thumb stays at the left end.
    MSlider* s = MakeSlider();
    s->SetMinProgress(10);
    s->SetControlRect(CRect(100, 50, 376, 70));
    EXPECT_EQ(s->GetThumbRect().left, 100);
    s->OnControlLButtonDown(MK_LBUTTON, CPoint(250, 60));
    EXPECT_EQ(s->GetProgress(), 10);

    // A control no wider than the thumb and the text: no track at all.
    MSlider* narrow = Make<MSlider>(L"MSlider", 130, CRect(100, 100, 170, 120));
    ASSERT_NE(narrow, nullptr);
    EXPECT_LE(narrow->GetTrackLength(), 0);
    host.events.clear();
    narrow->OnControlLButtonDown(MK_LBUTTON, CPoint(150, 110));
    narrow->OnControlMouseMove(MK_LBUTTON, CPoint(160, 110));
    EXPECT_EQ(narrow->GetProgress(), 0);
    EXPECT_TRUE(EventsWithCode(8).empty());
    narrow->SetProgress(5);
    EXPECT_EQ(narrow->GetThumbRect().left, 100);
    // Both are painted without trouble.
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

}  // namespace
