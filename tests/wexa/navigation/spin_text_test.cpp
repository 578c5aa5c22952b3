// The numeric spin field (stepping, wrap, typing, Backspace, focus) and the
// text label with its marked substring.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "MSpinButton.h"
#include "MText.h"
#include "NavHost.h"
#include "WindowTestHelpers.h"

namespace {

using WEXA::MSpinButton;
using WEXA::MText;

class SpinTest : public nav::HostTest
{
protected:
    MSpinButton* MakeSpin(int minimum, int maximum, int value)
    {
        MSpinButton* s = Make<MSpinButton>(L"MSpinButton", 654, CRect(20, 20, 80, 44));
        EXPECT_NE(s, nullptr);
        s->SetRange(minimum, maximum);
        s->SetCurValue(value);
        s->SetControlFocus(1);
        host.events.clear();
        return s;
    }
    int Key(MSpinButton* s, UINT key) { return s->OnControlKeyDown(key, 1, 0); }
};

TEST_F(SpinTest, ArrowsAndKeysWrapAtTheEndsOfTheRange)
{
    struct Case
    {
        int start;
        UINT key;  // 0: the up button's click, 1: the down button's click
        int value;
    } cases[] = {{255, VK_UP, 0}, {0, VK_DOWN, 255},   {255, 0, 0},       {0, 1, 255},
                 {7, VK_ADD, 8},  {7, VK_SUBTRACT, 6}, {254, VK_UP, 255}, {1, VK_DOWN, 0}};
    for (const Case& c : cases) {
        MSpinButton* s = MakeSpin(0, 255, c.start);
        if (c.key == 0)
            s->OnBaseMessage(MSpinButton::UP_BUTTON_ID, 2, 0, 0);
        else if (c.key == 1)
            s->OnBaseMessage(MSpinButton::DOWN_BUTTON_ID, 2, 0, 0);
        else
            EXPECT_EQ(Key(s, c.key), 1);
        EXPECT_EQ(s->GetCurValue(), c.value) << c.start << " key " << c.key;
        ASSERT_EQ(host.events.size(), 1u);
        EXPECT_EQ(host.events[0].id, 654u);
        EXPECT_EQ(host.events[0].code, 28u);
        engine->RemoveControl(s);
    }
}

TEST_F(SpinTest, TypedDigitsClampWrapAndRestartPastTheLimit)
{
    MSpinButton* s = MakeSpin(1, 100, 0);
    const UINT keys[] = {'1', '0', VK_NUMPAD5};
    const int expected[] = {1, 10, 1};  // 105 is above 100: the minimum
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Key(s, keys[i]), 1);
        EXPECT_EQ(s->GetCurValue(), expected[i]);
    }
    EXPECT_EQ(EventsWithCode(28).size(), 3u);

    s->SetCurValue(0);
    Key(s, '0');  // 0 is below 1: the maximum
    EXPECT_EQ(s->GetCurValue(), 100);

    s->SetRange(0, 9999);
    s->SetCurValue(123);
    Key(s, '4');  // a fourth digit with limit 3 starts over
    EXPECT_EQ(s->GetCurValue(), 4);

    // A digit that leaves the value as it was still reports.
    s->SetRange(0, 100);
    s->SetCurValue(100);
    host.events.clear();
    Key(s, '7');  // 1007 has four digits: 7
    EXPECT_EQ(s->GetCurValue(), 7);
    s->SetLimitLength(1);
    Key(s, '7');
    EXPECT_EQ(s->GetCurValue(), 7);
    EXPECT_EQ(EventsWithCode(28).size(), 2u);
}

TEST_F(SpinTest, BackspaceLeftRightAndFocus)
{
    MSpinButton* s = MakeSpin(1, 255, 7);
    EXPECT_EQ(Key(s, VK_BACK), 1);
    EXPECT_EQ(s->GetCurValue(), 0);
    EXPECT_EQ(host.events.size(), 1u);
    host.events.clear();
    EXPECT_EQ(Key(s, VK_BACK), 1);  // 0 stays 0: nothing to report
    EXPECT_TRUE(host.events.empty());
    s->SetCurValue(254);
    Key(s, VK_BACK);
    EXPECT_EQ(s->GetCurValue(), 25);
    host.events.clear();
    EXPECT_EQ(Key(s, VK_LEFT), 1);
    EXPECT_EQ(Key(s, VK_RIGHT), 1);
    EXPECT_EQ(Key(s, 'A'), 0);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(s->GetCurValue(), 25);

    // Without the focus no key is taken; a disabled field refuses the focus.
    s->SetControlFocus(0);
    EXPECT_EQ(Key(s, VK_UP), 0);
    s->SetControlEnabled(0);
    EXPECT_EQ(s->GetState(), 3);
    EXPECT_EQ(s->SetControlFocus(1), 0);
    EXPECT_EQ(s->IsFocused(), 0);
}

TEST_F(SpinTest, ClickOnTheFieldChangesOnlyItsLook)
{
    MSpinButton* s = MakeSpin(0, 10, 5);
    EXPECT_EQ(s->OnControlMouseMove(0, CPoint(30, 30)), 1);
    EXPECT_EQ(s->GetState(), 1);
    EXPECT_EQ(s->OnControlLButtonDown(MK_LBUTTON, CPoint(30, 30)), 1);
    EXPECT_EQ(s->GetState(), 2);
    EXPECT_EQ(s->OnControlLButtonUp(0, CPoint(30, 30)), 1);
    EXPECT_EQ(s->GetState(), 1);
    EXPECT_EQ(s->GetCurValue(), 5);
    EXPECT_TRUE(host.events.empty());
    // Other events of the arrows are not passed on.
    s->OnBaseMessage(MSpinButton::UP_BUTTON_ID, 1, 0, 0);
    EXPECT_TRUE(host.events.empty());
}

class TextTest : public nav::HostTest
{};

TEST_F(TextTest, MarkSplitsTheTitleAfterItsFirstOccurrenceFromTheStart)
{
    MText* label = Make<MText>(L"MText", 40, CRect(10, 10, 400, 40), L"Profile 1 of 5");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->IsEnabled(), 0);
    label->SetMarkText(L"o", 0xFFED801B, 0);
    EXPECT_EQ(label->FindMark(), 2);
    label->SetMarkText(L"f", 0xFFED801B, 0);
    EXPECT_EQ(label->FindMark(), 3);

    // The only "1" is at index 8.
    label->SetMarkText(L"1", 0xFFFF0000, 0);
    ASSERT_EQ(label->FindMark(), 8);
    int markX = 0, afterX = 0;
    label->GetMarkPositions(markX, afterX);
    EXPECT_GT(markX, 40);
    EXPECT_GT(afterX, markX + 2);
    // Start past the occurrence, past the end or negative: one piece.
    label->SetMarkText(L"1", 0xFFFF0000, 9);
    EXPECT_EQ(label->FindMark(), -1);
    label->SetMarkText(L"1", 0xFFFF0000, 99);
    EXPECT_EQ(label->FindMark(), -1);
    label->SetMarkText(L"1", 0xFFFF0000, -1);
    EXPECT_EQ(label->FindMark(), -1);
    // A mark at index 0: drawn 2 pixels in.
    label->SetMarkText(L"Profile", 0xFFFF0000, 0);
    label->GetMarkPositions(markX, afterX);
    EXPECT_EQ(markX, 2);
    // An empty mark never splits.
    label->SetMarkText(L"");
    EXPECT_EQ(label->FindMark(), -1);
}

// The title drawn in three pieces: the text before the mark in the text
// colour, the mark in its own, the rest in the text colour again, each after
// the one before; GetMarkPositions tells where the pieces were drawn.
TEST_F(TextTest, MarkIsPaintedInItsOwnColourAfterTheTextBefore)
{
    MText* label = Make<MText>(L"MText", 40, CRect(10, 10, 400, 40), L"WWWW IIII MMMM");
    ASSERT_NE(label, nullptr);
    label->SetFont(L"Roboto-Medium", 20, Gdiplus::FontStyleRegular);
    label->SetTextColor(Gdiplus::Color(0xFF000000));
    label->EnableTextBack(1, 0xFFFFFFFF);
    label->SetMarkText(L"IIII", 0xFFFF0000, 0);

    testutil::MemoryCanvas canvas(700, 560);
    canvas.Fill(0xFFFFFFFF);
    HDC dc = canvas.dc();
    label->SetUpdate(0, 0);
    label->Draw(dc, CRect(0, 0, 700, 560));
    testutil::PixelBuffer px = canvas.Read();
    // Columns (label coordinates) with red or dark pixels.
    int firstRed = 1000, lastRed = -1, redBelowMiddle = 0;
    std::vector<int> darkColumns;
    for (int x = 10; x < 400; ++x) {
        bool dark = false;
        for (int y = 10; y < 40; ++y) {
            const COLORREF c = px.ColorAt(x, y);
            if (GetRValue(c) > 200 && GetGValue(c) < 80) {
                firstRed = std::min(firstRed, x - 10);
                lastRed = std::max(lastRed, x - 10);
                if (y > 25) ++redBelowMiddle;
            }
            dark = dark || (GetRValue(c) < 60 && GetGValue(c) < 60);
        }
        if (dark) darkColumns.push_back(x - 10);
    }
    ASSERT_GE(lastRed, firstRed);
    ASSERT_FALSE(darkColumns.empty());
    int lastDarkBefore = -1, firstDarkAfter = 1000;
    for (int x : darkColumns) {
        if (x < firstRed) lastDarkBefore = std::max(lastDarkBefore, x);
        if (x > lastRed) firstDarkAfter = std::min(firstDarkAfter, x);
        EXPECT_TRUE(x < firstRed || x > lastRed) << x;  // no dark pixel inside the mark
    }
    // "WWWW " is some 60 pixels wide; the mark and the rest follow it.
    EXPECT_GT(lastDarkBefore, 40);
    EXPECT_GT(firstRed, lastDarkBefore + 2);
    EXPECT_GT(firstDarkAfter, lastRed + 2);
    EXPECT_LT(firstDarkAfter, 390);
    int markX = 0, afterX = 0;
    label->GetMarkPositions(markX, afterX);
    // A piece's first glyph starts a few pixels after its x (the layout's
    // padding and the glyph's side bearing); the rest starts with a space.
    EXPECT_GE(firstRed, markX);
    EXPECT_LE(firstRed, markX + 7);
    EXPECT_GE(firstDarkAfter, afterX);
    EXPECT_LE(firstDarkAfter, afterX + 12);
    // The pieces are centred in the label's height like an unmarked title,
    // not around its top edge (which would cut their upper half off).
    EXPECT_GT(redBelowMiddle, 5);
}

TEST_F(TextTest, NullTextsCountAsEmptyAndBackColourKeepsWhileOn)
{
    MText* label = Make<MText>(L"MText", 40, CRect(10, 10, 200, 40), nullptr);
    ASSERT_NE(label, nullptr);
    label->SetMarkText(nullptr);
    label->SetMarkText(nullptr, 0xFF00FF00, 0);
    label->SetMarkText(nullptr, nullptr, 0xFF00FF00, 1);
    label->SetTitleMarkText(nullptr, nullptr, 0);
    EXPECT_TRUE(label->GetMarkText().IsEmpty());
    EXPECT_TRUE(label->GetTitle().IsEmpty());
    label->SetTitleMarkText(L"Layer 2", L"2", 0);
    EXPECT_EQ(label->FindMark(), 6);

    label->EnableTextBack(1, 0xFF112233);
    label->EnableTextBack(1, 0xFF445566);
    EXPECT_EQ(label->GetBackColor(), 0xFF112233u);
    EXPECT_EQ(label->GetVirtualHeight(), 0);
    EXPECT_EQ(label->OnControlScroll(1, 1, CPoint(20, 20)), 1);
    // A label passes no child event on.
    host.events.clear();
    EXPECT_EQ(label->OnBaseMessage(1, 8, 0, 0), 0);
    EXPECT_TRUE(host.events.empty());
    UpdateWindow(hwnd);
}

}  // namespace
