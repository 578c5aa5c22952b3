// The variants: text-area layouts of each field, and the spin field's steps,
// wrap, clamp, digit limit and number reading.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "CTxtWinHost.h"
#include "RichEditFixture.h"
#include "WindowTestHelpers.h"

using richedit_test::HostedField;
using WEXA::CSpinButton;
using WEXA::MRichEdit;

namespace {

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

// Types text into a focused field as WM_CHAR messages from the window.
void Type(MRichEdit* field, const wchar_t* text)
{
    for (const wchar_t* p = text; *p; ++p) field->OnWindowMessage(WM_CHAR, *p, 1);
}

TEST(RichEditVariants, TextAreaOfEachField)
{
    struct Case
    {
        const wchar_t* className;
        CRect rect;
        RECT area;
    };
    const Case cases[] = {
        // padding 5 on every side
        {L"MRichEdit", CRect(10, 10, 210, 110), {15, 15, 205, 105}},
        // a 16-px line centred: top and bottom padding height / 2 - 8
        {L"MEditEx", CRect(10, 10, 210, 50), {15, 22, 205, 38}},
        {L"MEditEx", CRect(0, 0, 120, 30), {5, 7, 115, 23}},
        // 15 px left free for the buttons
        {L"CSpinButton", CRect(10, 10, 90, 42), {15, 18, 70, 34}},
    };
    for (const Case& c : cases) {
        HostedField hosted(c.className, c.rect);
        ASSERT_NE(hosted.field, nullptr) << Text(c.className);
        ASSERT_NE(hosted.field->GetHost(), nullptr);
        const RECT got = hosted.field->GetHost()->GetClientRect();
        EXPECT_TRUE(EqualRect(&got, &c.area)) << Text(c.className) << ": " << got.left << ","
                                              << got.top << "," << got.right << "," << got.bottom;
    }
}

TEST(RichEditVariants, IconFieldLayout)
{
    HostedField hosted;
    struct Case
    {
        CRect rect;
        RECT area;
    };
    // Icon column of 50 px at the left, label strip of 14 px at the top.
    const Case cases[] = {
        {CRect(0, 0, 300, 60), {50, 14, 295, 55}},
        {CRect(20, 100, 220, 150), {70, 114, 215, 145}},
    };
    for (const Case& c : cases) {
        WEXA::CLogonEdit field(&hosted.dialog, 43, c.rect, L"User name", 1, 1);
        field.SetManager(hosted.dialog.GetPaintManager());
        ASSERT_NE(field.GetHost(), nullptr);
        const RECT got = field.GetHost()->GetClientRect();
        EXPECT_TRUE(EqualRect(&got, &c.area))
            << got.left << "," << got.top << "," << got.right << "," << got.bottom;
        EXPECT_EQ(field.GetTextPadding().left, 50);
        EXPECT_EQ(field.m_nFontWidth, 16);
        // The pointer does not change its face.
        field.OnControlMouseMove(0, CPoint(c.rect.left + 5, c.rect.top + 5));
        EXPECT_EQ(field.GetVisualState(), 0);
    }
}

CSpinButton* MakeSpin(HostedField& hosted)
{
    return static_cast<CSpinButton*>(hosted.field);
}

TEST(SpinField, ButtonsStepAndWrapAtTheEnds)
{
    HostedField hosted(L"CSpinButton", CRect(10, 10, 90, 42));
    CSpinButton* spin = MakeSpin(hosted);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->GetMinValue(), 0);
    EXPECT_EQ(spin->GetMaxValue(), 100);
    struct Case
    {
        int min, max, start;
        UINT button;  // 30 up, 31 down
        int expected;
    };
    const Case cases[] = {
        {0, 100, 100, 30, 0}, {0, 100, 0, 31, 100}, {0, 100, 50, 30, 51}, {0, 100, 50, 31, 49},
        {-5, 5, -5, 31, 5},   {-5, 5, 5, 30, -5},   {0, 255, 255, 30, 0},
    };
    for (const Case& c : cases) {
        spin->SetRange(c.min, c.max);
        spin->SetCurValue(c.start);
        hosted.dialog.events.clear();
        EXPECT_EQ(spin->OnMessage(c.button, 2, 0, 0), 1);
        EXPECT_EQ(spin->GetCurValue(), c.expected) << c.start << " button " << c.button;
        EXPECT_EQ(Text(spin->GetControlTitle()), std::to_wstring(c.expected));
        EXPECT_EQ(hosted.dialog.Count(40, 28), 1);
    }
    // Other notifications of its children stop at the field.
    hosted.dialog.events.clear();
    EXPECT_EQ(spin->OnMessage(30, 1, 0, 0), 0);
    EXPECT_EQ(spin->OnMessage(1, 8, 0, 0), 0);
    EXPECT_TRUE(hosted.dialog.events.empty());
}

TEST(SpinField, TypedNumbersClampToTheRangeWithoutAnEvent)
{
    HostedField hosted(L"CSpinButton", CRect(10, 10, 90, 42));
    CSpinButton* spin = MakeSpin(hosted);
    ASSERT_NE(spin->GetHost(), nullptr);
    spin->SetControlFocus(1);
    struct Case
    {
        int min, max;
        const wchar_t* typed;
        int value;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {0, 100, L"150", 100, L"100"}, {0, 100, L"42", 42, L"42"}, {0, 100, L"0042", 42, L"42"},
        {10, 20, L"5", 10, L"10"},     {0, 100, L"7", 7, L"7"},    {0, 255, L"255", 255, L"255"},
        {0, 255, L"256", 255, L"255"},
    };
    for (const Case& c : cases) {
        spin->SetRange(c.min, c.max);
        spin->SetCurValue(c.min + 1);
        spin->SetSelAll();
        hosted.dialog.events.clear();
        Type(spin, c.typed);
        EXPECT_EQ(spin->GetCurValue(), c.value) << "typed " << Text(c.typed);
        EXPECT_EQ(Text(spin->GetControlTitle()), c.shown) << "typed " << Text(c.typed);
        EXPECT_EQ(hosted.dialog.Count(40, 28), 0);
    }
}

TEST(SpinField, DigitLimitFollowsTheRange)
{
    HostedField hosted(L"CSpinButton", CRect(10, 10, 90, 42));
    CSpinButton* spin = MakeSpin(hosted);
    ASSERT_NE(spin->GetHost(), nullptr);
    spin->SetControlFocus(1);
    struct Case
    {
        int min, max, limit;
        const wchar_t* typed;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {0, 100, 3, L"12345", L"100"},
        {0, 9, 1, L"85", L"8"},
        {0, 65535, 5, L"99999999999999999999", L"65535"},
        {-1000, 5, 5, L"4", L"4"},
    };
    for (const Case& c : cases) {
        spin->SetRange(c.min, c.max);
        EXPECT_EQ(spin->GetLimitText(), c.limit) << c.min << ".." << c.max;
        EXPECT_EQ(spin->GetHost()->GetMaxLength(), c.limit);
        spin->SetCurValue(1);
        spin->SetSelAll();
        Type(spin, c.typed);
        EXPECT_EQ(Text(spin->GetControlTitle()), c.shown) << "typed " << Text(c.typed);
    }
}

TEST(SpinField, NumberReadingCannotOverflow)
{
    struct Case
    {
        const wchar_t* text;
        int min, max, expected;
    };
    const Case cases[] = {
        {L"150", 0, 100, 100},
        {L"99999999999999999999999999", 0, 100, 100},
        {L"99999999999999999999999999", INT_MIN, INT_MAX, INT_MAX},
        {L"2147483647", INT_MIN, INT_MAX, INT_MAX},
        {L"2147483648", INT_MIN, INT_MAX, INT_MAX},
        {L"4294967296", INT_MIN, INT_MAX, INT_MAX},
        {L"12abc", 0, 100, 12},
        {L"abc", 0, 100, 0},
        {L"", 10, 20, 10},
        {L"-5", -10, 10, 0},
        {L"00000000000000000000000000007", 0, 100, 7},
        {nullptr, 0, 100, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSpinButton::ParseClamped(c.text, c.min, c.max), c.expected)
            << (c.text ? Text(c.text) : std::wstring(L"(null)"));
}

TEST(SpinField, SetCurValueStoresWithoutRangeCheckAndRangeKeepsTheValue)
{
    HostedField hosted(L"CSpinButton", CRect(10, 10, 90, 42));
    CSpinButton* spin = MakeSpin(hosted);
    EXPECT_EQ(Text(spin->GetControlTitle()), L"0");
    spin->SetCurValue(500);
    EXPECT_EQ(spin->GetCurValue(), 500);
    EXPECT_EQ(Text(spin->GetControlTitle()), L"500");
    spin->SetRange(0, 10);
    EXPECT_EQ(spin->GetCurValue(), 500);
    EXPECT_TRUE(hosted.dialog.events.empty());
}

}  // namespace
