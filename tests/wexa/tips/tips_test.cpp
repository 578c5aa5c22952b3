// The key tip, the LCD frame tip, the three-text tip and the loading window.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CKeyboardTips.h"
#include "KBToolTips.h"
#include "LEDFrameTips.h"
#include "LoadingWnd.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

namespace {

// A GIF of 1 x 1 pixels with frames alternating black and white.
void WriteBlinkingGif(const std::wstring& path, int frames)
{
    std::vector<unsigned char> gif = {'G',  'I', 'F', '8', '9', 'a', 1,    0,    1,   0,
                                      0x80, 0,   0,   0,   0,   0,   0xFF, 0xFF, 0xFF};
    for (int i = 0; i < frames; ++i) {
        const unsigned char frame[] = {0x21, 0xF9, 4, 0, 10, 0, 0,
                                       0,    0x2C, 0, 0, 0,  0, 1,
                                       0,    1,    0, 0, 2,  2, (i % 2) ? 0x4C : 0x44,
                                       1,    0};
        gif.insert(gif.end(), frame, frame + sizeof(frame));
    }
    gif.push_back(0x3B);
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(gif.data(), 1, gif.size(), f);
    fclose(f);
}

class TipTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::wstring folder = testutil::UseTestSkinFolder(L"tips_test");
        testutil::WriteSkinPng(folder, L"img_tip_bk.png", 24, 24, [](Gdiplus::Graphics& g) {
            Gdiplus::SolidBrush fill(Gdiplus::Color(255, 236, 240, 246));
            g.FillRectangle(&fill, 0, 0, 24, 24);
        });
        // Four 20 x 20 frames: grey, red, dark red, light grey.
        testutil::WriteSkinPng(folder, L"img_sys_close.png", 80, 20, [](Gdiplus::Graphics& g) {
            const Gdiplus::ARGB colours[] = {0xFF808080, 0xFFE04040, 0xFF902020, 0xFFC0C0C0};
            for (int i = 0; i < 4; ++i) {
                Gdiplus::SolidBrush b{Gdiplus::Color(colours[i])};
                g.FillRectangle(&b, i * 20, 0, 20, 20);
            }
        });
        SHCreateDirectoryExW(nullptr, (folder + L"loading").c_str(), nullptr);
        SHCreateDirectoryExW(nullptr, (folder + L"logo").c_str(), nullptr);
        WriteBlinkingGif(folder + L"loading\\loading.gif", 3);
        testutil::WriteSkinPng(folder, L"logo\\logo_loading.png", 60, 20, [](Gdiplus::Graphics& g) {
            Gdiplus::SolidBrush b(Gdiplus::Color(255, 73, 119, 229));
            g.FillRectangle(&b, 0, 0, 60, 20);
        });
    }
};

CRect WindowRect(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return CRect(r);
}

TEST_F(TipTest, KeyTipStandsCentredAboveItsAnchor)
{
    WEXA::CKeyboardTips tip;
    ASSERT_NE(tip.Create(nullptr, L"KeyboardTip Window", 0x96020080, 0, CRect(0, 0, 0, 0)),
              nullptr);
    EXPECT_EQ(tip.GetExStyle() & ~WS_EX_LAYERED, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(tip.GetStyle() & WS_CAPTION, 0u);
    EXPECT_EQ(tip.LoadBKImage(L"img_tip_bk.png"), 1);
    EXPECT_EQ(tip.SetAirBladderMsg(L"Fn layer 1", L"Volume up", L"", L"", POINT{500, 300}), 1);
    EXPECT_EQ(WindowRect(tip.GetSafeHwnd()), CRect(405, 220, 595, 300));
    EXPECT_EQ(tip.GetCaption(), CString(L"Fn layer 1"));
    EXPECT_EQ(tip.GetMainLine(), CString(L"Volume up"));

    // The same text 1 at the same anchor changes nothing, other texts or not.
    EXPECT_EQ(tip.SetAirBladderMsg(L"Fn layer 1", L"Mute", L"x", L"y", POINT{500, 300}), 1);
    EXPECT_EQ(tip.GetText(2), CString(L"Volume up"));
    // A key with only its description: it is the main line, no caption.
    EXPECT_EQ(tip.SetAirBladderMsg(L"Esc", L"Esc", L"Esc", L"Esc", POINT{100, 120}), 1);
    EXPECT_EQ(tip.GetCaption(), CString(L""));
    EXPECT_EQ(tip.GetMainLine(), CString(L"Esc"));
    EXPECT_EQ(WindowRect(tip.GetSafeHwnd()), CRect(5, 40, 195, 120));
    // Long texts keep the box at 190 x 80.
    tip.SetAirBladderMsg(L"A very long caption that does not fit", nullptr, nullptr, nullptr,
                         POINT{300, 300});
    EXPECT_EQ(WindowRect(tip.GetSafeHwnd()).Size(), CSize(190, 80));
    // A null text 1 is refused without change.
    EXPECT_EQ(tip.SetAirBladderMsg(nullptr, L"a", L"b", L"c", POINT{1, 1}), 0);
    EXPECT_EQ(tip.GetAnchor().x, 300);
    tip.DestroyWindow();
}

TEST_F(TipTest, KeyTipHidesWhenItLosesTheFocus)
{
    WEXA::CKeyboardTips tip;
    ASSERT_NE(tip.Create(nullptr, L"KeyboardTip Window", 0x96020080, 0, CRect(0, 0, 0, 0)),
              nullptr);
    tip.SetAirBladderMsg(L"Key", L"A", L"", L"", POINT{400, 400});
    tip.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(tip.IsWindowVisible());
    tip.SendMessageW(WM_SETFOCUS, 0, 0);
    tip.SendMessageW(WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(tip.IsWindowVisible());
    // A kill-focus without the focus (sent to every window by some systems)
    // leaves it up.
    tip.ShowWindow(SW_SHOWNOACTIVATE);
    tip.SendMessageW(WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(tip.IsWindowVisible());
    tip.DestroyWindow();
}

TEST_F(TipTest, FrameTipWidthPlaceAndItsTwoLines)
{
    WEXA::LEDFrameTips tip;
    ASSERT_NE(tip.Create(nullptr, L"LED Frame Window", 0x96020080, 0, CRect(0, 0, 0, 0)), nullptr);
    tip.LoadBKImage(L"img_tip_bk.png");
    struct Case
    {
        const wchar_t* text1;
        int width;
    } cases[] = {{L"12 Frames", 240}, {L"Delay 100 ms", 160}, {L"12 frames", 160}};
    int y = 500;
    for (const Case& c : cases) {
        EXPECT_EQ(tip.SetAirBladderMsg(c.text1, L"Second line", POINT{300, y}), 1);
        EXPECT_EQ(WindowRect(tip.GetSafeHwnd()), CRect(300, y - 70, 300 + c.width, y));
        y += 10;
    }
    tip.SetAirBladderMsg(L"Frame 3", L"Delay 100 ms", POINT{300, 500});
    tip.ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(tip.GetSafeHwnd());
    testutil::PumpPending();
    testutil::PixelBuffer px = testutil::CaptureClient(tip.GetSafeHwnd());
    ASSERT_EQ(px.width, 160);
    EXPECT_EQ(px.ColorAt(0, 30), RGB(0x64, 0x64, 0x64));
    EXPECT_EQ(px.ColorAt(158, 30), RGB(0x64, 0x64, 0x64));
    EXPECT_EQ(px.ColorAt(150, 30), RGB(0x14, 0x14, 0x14));
    auto whiteIn = [&](int top, int bottom) {
        int n = 0;
        for (int yy = top; yy < bottom; ++yy)
            for (int x = 10; x < 140; ++x)
                if (GetRValue(px.ColorAt(x, yy)) > 200) ++n;
        return n;
    };
    EXPECT_GT(whiteIn(8, 28), 10);
    EXPECT_GT(whiteIn(43, 63), 10);
    EXPECT_EQ(whiteIn(30, 41), 0);

    // Repeats change nothing; a new text 2 alone is taken; a null text 2 with
    // the same text 1 and a null text 1 are refused.
    EXPECT_EQ(tip.SetAirBladderMsg(L"Frame 3", L"Delay 100 ms", POINT{300, 500}), 1);
    EXPECT_EQ(tip.SetAirBladderMsg(L"Frame 3", L"Delay 200 ms", POINT{300, 500}), 1);
    EXPECT_EQ(tip.GetText2(), CString(L"Delay 200 ms"));
    EXPECT_EQ(tip.SetAirBladderMsg(L"Frame 3", nullptr, POINT{300, 500}), 0);
    EXPECT_EQ(tip.SetAirBladderMsg(nullptr, L"x", POINT{300, 500}), 0);
    EXPECT_EQ(tip.GetText2(), CString(L"Delay 200 ms"));
    // A text 2 without text 1 is stored but does not fit the box.
    EXPECT_EQ(tip.SetAirBladderMsg(L"", L"only two", POINT{10, 100}), 1);
    EXPECT_EQ(WindowRect(tip.GetSafeHwnd()), CRect(300, 430, 460, 500));
    tip.DestroyWindow();
}

TEST_F(TipTest, ThreeTextTipChecksItsArgumentsAndKeepsNothing)
{
    WEXA::KBToolTips tip;
    ASSERT_NE(tip.Create(nullptr, L"KB Tool Tips", 0x96020080, 0, CRect(0, 0, 0, 0)), nullptr);
    EXPECT_EQ(tip.GetExStyle(), static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(tip.LoadBKImage(L"img_tip_bk.png"), 1);
    EXPECT_EQ(tip.LoadBKImage(L"missing.png"), 0);
    EXPECT_EQ(tip.SetAirBladderMsg(L"a", L"b", L"c", POINT{5, 5}), 1);
    EXPECT_EQ(tip.SetAirBladderMsg(nullptr, L"b", L"c", POINT{5, 5}), 0);
    EXPECT_EQ(tip.SetAirBladderMsg(L"", nullptr, L"c", POINT{5, 5}), 0);
    EXPECT_EQ(tip.SetAirBladderMsg(L"a", nullptr, nullptr, POINT{5, 5}), 1);
    tip.DestroyWindow();
}

// Stands for the window that shows the loading window: closes it on 1524.
class LoadingParent : public WEXA::MWindow
{
public:
    WEXA::LoadingWnd* loading = nullptr;
    int closeRequests = 0;
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == WEXA::LoadingWnd::CLOSE_MESSAGE) {
            ++closeRequests;
            if (loading) loading->DestroyWindow();
            return 0;
        }
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
};

TEST_F(TipTest, LoadingWindowAnimatesItsFramesAndClosesOnItsCloseButton)
{
    LoadingParent parent;
    ASSERT_NE(parent.Create(nullptr, L"parent", WS_POPUP, 0, CRect(0, 0, 10, 10)), nullptr);
    WEXA::LoadingWnd loading;
    parent.loading = &loading;
    HWND hwnd = loading.CreateDlg(parent.GetSafeHwnd(), CRect(600, 300, 1000, 560));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(loading.GetGifFrameCount(), 3);
    EXPECT_EQ(loading.GetCycleLength(), 3);
    EXPECT_TRUE(loading.IsRunning());
    EXPECT_EQ(loading.GetCloseRect(), CRect(400 - 39, 10, 400 - 39 + 20, 30));

    // The window timer runs the animation.
    const int first = loading.GetCurrentFrame();
    EXPECT_TRUE(testutil::PumpUntil([&] { return loading.GetCurrentFrame() != first; }, 3000));
    // Every second tick of timer 100 is one frame: 0, 1, 2, 0, ...
    KillTimer(hwnd, WEXA::LoadingWnd::ANIMATION_TIMER_ID);
    std::vector<int> frames{loading.GetCurrentFrame()};
    for (int i = 0; i < 8; ++i) {
        loading.SendMessageW(WM_TIMER, WEXA::LoadingWnd::ANIMATION_TIMER_ID, 0);
        loading.SendMessageW(WM_TIMER, 7, 0);  // another timer: ignored
        frames.push_back(loading.GetCurrentFrame());
    }
    int changes = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        if (frames[i] == frames[i - 1]) continue;
        ++changes;
        EXPECT_EQ(frames[i], (frames[i - 1] + 1) % 3);
    }
    EXPECT_EQ(changes, 4);  // 8 ticks, 2 per frame

    // Its picture: the plain back, the logo above the GIF, the close button.
    testutil::MemoryCanvas canvas(400, 260);
    canvas.Fill(0);
    loading.DrawInto(canvas.dc(), 400, 260);
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.At(5, 250), 0xF0F0F0F0u);  // white at alpha 240, premultiplied
    EXPECT_EQ(px.ColorAt(200, (260 - 58) / 2 - 20 - 10), RGB(73, 119, 229));
    EXPECT_EQ(px.ColorAt(370, 20), RGB(0x80, 0x80, 0x80));

    // Press on the close button, release outside: nothing.
    const CPoint close = loading.GetCloseRect().CenterPoint();
    loading.SendMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(close.x, close.y));
    EXPECT_EQ(loading.GetCloseState(), 1);
    loading.SendMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.x, close.y));
    EXPECT_EQ(loading.GetCloseState(), 2);
    loading.SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(20, 200));
    testutil::PumpPending();
    EXPECT_EQ(parent.closeRequests, 0);
    EXPECT_TRUE(IsWindow(hwnd));
    // A click on it: the parent gets 1524 and closes the window.
    loading.SendMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.x, close.y));
    loading.SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(close.x, close.y));
    EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000));
    EXPECT_EQ(parent.closeRequests, 1);
    EXPECT_FALSE(loading.IsRunning());
    parent.DestroyWindow();
}

TEST_F(TipTest, LoadingWindowWithoutGifStillCyclesEighteenFrames)
{
    WEXA::LoadingWnd loading;
    loading.LoadGifImage(L"missing.gif");
    EXPECT_EQ(loading.GetGifFrameCount(), 0);
    EXPECT_EQ(loading.GetCycleLength(), 18);
    EXPECT_EQ(loading.LoadAnimateImage(L"img_tip_bk.png", 18), 1);
    EXPECT_EQ(loading.LoadAnimateImage(L"img_tip_bk.png", 19), 0);
    EXPECT_EQ(loading.LoadAnimateImage(L"img_tip_bk.png", -1), 0);
}

}  // namespace
