// The picture window: picture and close button where they belong, events of
// anything but the close button do nothing, the close button ends it with 2, and its control
// pointers do not outlive its window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "DialogTestSupport.h"
#include "MButton.h"
#include "MPicture.h"
#include "Manager.h"
#include "ScreenshotCompare.h"
#include "dialogs/AboutVIPDlg.h"

namespace {

using dialogtest::Centre;
using dialogtest::Click;
using dialogtest::EveryTick;
using dialogtest::FindDialog;
using dialogtest::InLanguage;

// What the window shows: the picture at its own size from x 42 to 1357 with
// the window's grey beside it, and the close button's first state at
// (1340, 30). Compared with the skin files themselves.
TEST(AboutVIPDlg, ShowsThePictureCentredAndTheCloseButtonInTheCorner)
{
    InLanguage english(1033);
    testutil::PixelBuffer picture, close;
    ASSERT_TRUE(testutil::LoadPng(std::wstring(WEXA::GetSkinsPath()) + L"img_vip2.png", picture));
    ASSERT_TRUE(
        testutil::LoadPng(std::wstring(WEXA::GetSkinsPath()) + L"main_sysbtn_close.png", close));
    ASSERT_EQ(picture.width, 1316);
    ASSERT_EQ(picture.height, 788);
    AboutVIPDlg dlg;
    ASSERT_NE(dlg.Create(nullptr, kAboutVIPDlgWindowName, 0x96020000, 0, CRect(0, 0, 1400, 788)),
              nullptr);
    dlg.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    UpdateWindow(dlg.GetSafeHwnd());
    testutil::PumpPending();
    const testutil::PixelBuffer shown = testutil::CaptureScreen(RECT{0, 0, 1400, 788});
    dlg.DestroyWindow();

    // The screen may round a channel by a step or two.
    auto similar = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 2 &&
               std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 2;
    };

    int off = 0;
    for (int y : {100, 394, 700}) {
        EXPECT_TRUE(similar(shown.ColorAt(41, y), RGB(0xF9, 0xF9, 0xF9))) << y;
        EXPECT_TRUE(similar(shown.ColorAt(1358, y), RGB(0xF9, 0xF9, 0xF9))) << y;
        for (int x = 0; x < 1316; ++x)
            if (!similar(shown.ColorAt(42 + x, y), picture.ColorAt(x, y))) ++off;
    }
    EXPECT_EQ(off, 0);
    // The close button: four states side by side, the first one shown; its
    // opaque middle row lies over the picture.
    const int frame = close.width / 4;
    ASSERT_EQ(frame, 28);
    EXPECT_TRUE(similar(shown.ColorAt(1340 + 14, 30 + 14), close.ColorAt(14, 14)));
}

TEST(AboutVIPDlg, OnlyTheCloseButtonEndsIt)
{
    InLanguage english(1033);
    WEXA::MDialog main;
    main.Create(nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1400, 788));
    AboutVIPDlg dlg;
    ASSERT_NE(dlg.Create(main.GetSafeHwnd(), kAboutVIPDlgWindowName, 0x96020000, 0,
                         CRect(0, 0, 1400, 788)),
              nullptr);
    dlg.CenterWindow();
    ASSERT_TRUE(dlg.m_picture && dlg.m_closeButton);
    EXPECT_EQ(dlg.m_picture, dlg.GetControl(30));
    EXPECT_EQ(dlg.m_closeButton, dlg.GetControl(31));
    EXPECT_EQ(dlg.m_picture->GetRect(), CRect(42, 0, 1358, 788));
    EXPECT_EQ(dlg.m_picture->GetImageSize(), CSize(1316, 788));
    EXPECT_EQ(dlg.m_closeButton->GetRect(), CRect(1340, 30, 1368, 58));
    EXPECT_EQ(dlg.m_closeButton->GetImageSize(), CSize(28, 28));
    EXPECT_STREQ(dlg.m_closeButton->m_strTooltip, L"Close");

    int step = 0;
    HWND window = dlg.GetSafeHwnd();
    EveryTick tick([&] {
        ++step;
        if (step == 1) {
            // The picture and the frame take no clicks of their own (a press
            // there drags the window); their events change nothing.
            EXPECT_EQ(dlg.OnMessage(30, 2, 0, 0), 1);
            EXPECT_EQ(dlg.OnMessage(30, 1, 0, 0), 0);
            EXPECT_EQ(dlg.OnMessage(32, 2, 0, 0), 1);
            EXPECT_EQ(dlg.OnMessage(33, 2, 0, 0), 1);
            return false;
        }
        if (step < 5) return false;  // still open after the clicks were handled
        EXPECT_TRUE(IsWindow(window));
        Click(window, Centre(CRect(1340, 30, 1368, 58)));
        return true;
    });
    EXPECT_EQ(dlg.ShowModal(SW_SHOW), 2u);
    EXPECT_GE(step, 5);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dlg.m_picture, nullptr);
    EXPECT_EQ(dlg.m_closeButton, nullptr);
    // Events after the window is gone touch nothing.
    EXPECT_EQ(dlg.OnMessage(31, 2, 0, 0), 1);
    EXPECT_EQ(dlg.OnMessage(30, 1, 0, 0), 0);
    main.DestroyWindow();
}

}  // namespace
