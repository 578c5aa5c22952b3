// The picture window: picture and close button where they belong, events of
// anything but the close button do nothing, the close button ends it with 2, and its control
// pointers do not outlive its window.
#include <gtest/gtest.h>
#include <windows.h>

#include "DialogTestSupport.h"
#include "MButton.h"
#include "MPicture.h"
#include "dialogs/AboutVIPDlg.h"

namespace {

using dialogtest::Centre;
using dialogtest::Click;
using dialogtest::EveryTick;
using dialogtest::FindDialog;
using dialogtest::InLanguage;

TEST(AboutVIPDlg, Rectangles)
{
    EXPECT_EQ(AboutVIPDlg::PictureRect(CRect(0, 0, 1400, 788)), CRect(42, 0, 1358, 788));
    EXPECT_EQ(AboutVIPDlg::CloseButtonRect(CRect(0, 0, 1400, 788)), CRect(1340, 30, 1368, 58));
    // Narrower than the picture: the division truncates toward zero.
    EXPECT_EQ(AboutVIPDlg::PictureRect(CRect(0, 0, 1313, 700)), CRect(-1, 0, 1315, 700));
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
