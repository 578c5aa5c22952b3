// The balloon tip window: creation, fitting and placement per mode, the hide
// timer, and the failure paths.
#include <gtest/gtest.h>

#include "MAirBladder.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

using WEXA::AIRBLADDER_MODE;
using WEXA::AIRBLADDER_TYPE;
using WEXA::MAirBladder;

namespace {

AIRBLADDER_TYPE Type(int t)
{
    return static_cast<AIRBLADDER_TYPE>(t);
}
AIRBLADDER_MODE Mode(int m)
{
    return static_cast<AIRBLADDER_MODE>(m);
}

class Balloon : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        // The same creation as the window engine's.
        ASSERT_NE(tip_.Create(owner_, L"AirBladder Window", 0x96020080, 0, CRect(), nullptr),
                  nullptr);
    }
    void TearDown() override
    {
        tip_.DestroyWindow();
        DestroyWindow(owner_);
        testutil::PumpPending();
    }
    RECT TipRect()
    {
        RECT r = {};
        GetWindowRect(tip_.GetSafeHwnd(), &r);
        return r;
    }

    HWND owner_ = nullptr;
    MAirBladder tip_;
};

TEST_F(Balloon, CreationStylesAndFont)
{
    HWND hwnd = tip_.GetSafeHwnd();
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE),
              ((0x96020080u & 0xFF3BFFFFu) | 0x06000008u) & ~WS_VISIBLE);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)),
              static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner_);
    // The face the library carries as a resource.
    EXPECT_TRUE(tip_.HasFont());
    EXPECT_EQ(tip_.GetType(), 1);
    EXPECT_EQ(tip_.GetMode(), 3);
    // Nothing is seen before the first message: the window is empty.
    RECT r = TipRect();
    EXPECT_EQ(r.right - r.left, 0);
}

TEST_F(Balloon, FitsAndPlacesTheTextPerMode)
{
    const POINT anchor = {600, 400};
    ASSERT_EQ(tip_.SetAirBladderMsg(L"Lighting saved", anchor, Type(5), Mode(1)), 1);
    Gdiplus::Size m = tip_.MeasureText();
    const int W = m.Width, H = m.Height;
    // Fourteen-pixel text: a line height a little above 14, and a real width.
    EXPECT_GE(H, 15);
    EXPECT_LE(H, 24);
    EXPECT_GT(W, 60);
    EXPECT_LT(W, 140);

    struct Case
    {
        int mode;
        RECT expected;
    };
    const int x = anchor.x, y = anchor.y, c = H;
    const Case cases[] = {
        {1, {x, y, x + W + 40, y + c + 20}},
        {2, {x - W - 40, y - 27, x, y - 27 + c + 20}},
        {3, {x - 25, y, x - 25 + W + 40, y + c + 30}},
        {4, {x - (W + 30) / 2, y - c - 20, x - (W + 30) / 2 + W + 30, y}},
        {0, {0, 0, 0, 0}},
    };
    for (const Case& cs : cases) {
        ASSERT_EQ(tip_.SetAirBladderMsg(L"Lighting saved", anchor, Type(5), Mode(cs.mode)), 1);
        RECT r = TipRect();
        if (cs.mode == 0) {
            EXPECT_EQ(r.right - r.left, 0) << "mode 0";
            EXPECT_EQ(r.bottom - r.top, 0) << "mode 0";
            continue;
        }
        EXPECT_EQ(r.left, cs.expected.left) << "mode " << cs.mode;
        EXPECT_EQ(r.top, cs.expected.top) << "mode " << cs.mode;
        EXPECT_EQ(r.right, cs.expected.right) << "mode " << cs.mode;
        EXPECT_EQ(r.bottom, cs.expected.bottom) << "mode " << cs.mode;
    }

    // Two lines double the text height; the line count follows the text.
    ASSERT_EQ(tip_.SetAirBladderMsg(L"Lighting\nsaved", anchor, Type(5), Mode(1)), 1);
    EXPECT_EQ(tip_.GetLineCount(), 2);
    RECT r = TipRect();
    EXPECT_EQ(r.bottom - r.top, 2 * tip_.MeasureText().Height + 20);
    // The layered picture was handed to the window.
    EXPECT_TRUE(GetWindowLongW(tip_.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(Balloon, RepeatDoesNotRearmTheHideTimer)
{
    const POINT a = {300, 300}, b = {301, 300};
    ASSERT_EQ(tip_.SetAirBladderMsg(L"Hint", a, Type(5), Mode(1)), 1);
    EXPECT_EQ(tip_.GetHideTimerArms(), 1);
    EXPECT_EQ(tip_.SetAirBladderMsg(L"Hint", a, Type(5), Mode(1)), 1);
    EXPECT_EQ(tip_.GetHideTimerArms(), 1);
    // Changing only the anchor refits and restarts it.
    EXPECT_EQ(tip_.SetAirBladderMsg(L"Hint", b, Type(5), Mode(1)), 1);
    EXPECT_EQ(tip_.GetHideTimerArms(), 2);
    EXPECT_EQ(TipRect().left, 301);
    // Type 4 never arms it.
    EXPECT_EQ(tip_.SetAirBladderMsg(L"Sticky", b, Type(4), Mode(1)), 1);
    EXPECT_EQ(tip_.GetHideTimerArms(), 2);
}

TEST_F(Balloon, NullTextFailsAndChangesNothing)
{
    const POINT a = {300, 300};
    ASSERT_EQ(tip_.SetAirBladderMsg(L"Hint", a, Type(5), Mode(1)), 1);
    RECT before = TipRect();
    EXPECT_EQ(tip_.SetAirBladderMsg(nullptr, POINT{10, 10}, Type(5), Mode(2)), 0);
    EXPECT_EQ(tip_.GetText(), L"Hint");
    EXPECT_EQ(tip_.GetMode(), 1);
    RECT after = TipRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);
}

TEST_F(Balloon, EmptyTextNeitherRefitsNorRepaints)
{
    ASSERT_EQ(tip_.SetAirBladderMsg(L"Hint", POINT{300, 300}, Type(5), Mode(1)), 1);
    RECT before = TipRect();
    EXPECT_EQ(tip_.SetAirBladderMsg(L"", POINT{100, 100}, Type(5), Mode(1)), 1);
    RECT after = TipRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Balloon, HideTimerAndFocusLossHideIt)
{
    HWND hwnd = tip_.GetSafeHwnd();
    tip_.SetAirBladderMsg(L"Hint", POINT{300, 300}, Type(5), Mode(1));
    tip_.ShowWindow(SW_SHOWNA);
    ASSERT_TRUE(IsWindowVisible(hwnd));
    // The 5-second timer's tick, delivered at once.
    SendMessageW(hwnd, WM_TIMER, MAirBladder::HIDE_TIMER_ID, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    // Another timer id is ignored.
    tip_.ShowWindow(SW_SHOWNA);
    SendMessageW(hwnd, WM_TIMER, 11, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // A focus it never had is not lost.
    SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // Losing the focus hides it, except in mode 5.
    SendMessageW(hwnd, WM_SETFOCUS, 0, 0);
    SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    tip_.SetAirBladderMsg(L"Line one\nline two\nline three", POINT{300, 300}, Type(5), Mode(5));
    tip_.ShowWindow(SW_SHOWNA);
    SendMessageW(hwnd, WM_SETFOCUS, 0, 0);
    SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(Balloon, ImagesLoadFromTheSkinFolder)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"balloon_test");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"img_tip_bk.png", 24, 24, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush brush(Gdiplus::Color(230, 40, 40, 48));
        g.FillRectangle(&brush, 0, 0, 24, 24);
    }));
    EXPECT_EQ(tip_.LoadBKImage(CString(L"img_tip_bk.png")), 1);
    EXPECT_TRUE(tip_.HasBKImage());
    EXPECT_EQ(tip_.LoadArrowLImage(CString(L"missing_arrow.png")), 0);
    EXPECT_EQ(tip_.LoadBKImage(CString(L"missing.png")), 0);
    EXPECT_FALSE(tip_.HasBKImage());
}

TEST(BalloonLifetime, GdiplusObjectsGoWithTheWindow)
{
    MAirBladder tip;
    ASSERT_NE(tip.Create(nullptr, L"AirBladder Window", 0x96020080, 0, CRect(), nullptr), nullptr);
    std::wstring folder = testutil::UseTestSkinFolder(L"balloon_test");
    testutil::WriteSkinPng(folder, L"img_tip_bk.png", 8, 8,
                           [](Gdiplus::Graphics& g) { g.Clear(Gdiplus::Color(255, 1, 2, 3)); });
    ASSERT_EQ(tip.LoadBKImage(CString(L"img_tip_bk.png")), 1);
    ASSERT_TRUE(tip.HasFont());
    tip.DestroyWindow();
    // Released with the window, before anyone shuts GDI+ down.
    EXPECT_FALSE(tip.HasFont());
    EXPECT_FALSE(tip.HasBKImage());
}

}  // namespace
