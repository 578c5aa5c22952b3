// What the navigation, a popup menu, a function menu and the loading window
// look like on the screen with the program's own skin theme, compared with
// stored reference pictures (see ScreenshotCompare.h; write new ones with
// KESTROVA_UPDATE_REFERENCE=1 and look at them before committing).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyMenuFuncType.h"
#include "LoadingWnd.h"
#include "MDialog.h"
#include "MSlider.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "Manager.h"
#include "MenuExWnd.h"
#include "MenuWnd.h"
#include "ScreenshotCompare.h"
#include "WindowTestHelpers.h"

namespace {

// The theme the build places beside the executables.
bool ThemeHas(const std::vector<const wchar_t*>& files)
{
    WEXA::Manager::SetThemeSkins(L"theme1\\");
    for (const wchar_t* f : files)
        if (GetFileAttributesW(WEXA::GetSkinsPath() + f) == INVALID_FILE_ATTRIBUTES) return false;
    return true;
}

void Settle()
{
    DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > 300; }, 1000);
}

CRect WindowRect(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return CRect(r);
}

// A navigation like the main window's: a vertical strip and one page per tab.
class NavigationDialog : public WEXA::MDialog
{
public:
    WEXA::MTabCtrl* tab = nullptr;
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(245, 247, 250), RGB(214, 219, 227));
        const wchar_t* captions[] = {L"Home", L"Lighting", L"Custom keys", L"Macros",
                                     L"Performance"};
        const wchar_t* icons[] = {L"icon\\tab_home.png", L"icon\\tab_light.png",
                                  L"icon\\tab_customkey.png", L"icon\\tab_macro.png",
                                  L"icon\\tab_perf.png"};
        std::vector<WEXA::MControl*> pages;
        for (UINT i = 0; i < 5; ++i) {
            auto* page = dynamic_cast<WEXA::MTabLayout*>(
                CreateControl(L"MTabLayout", 69 + i, CRect(260, 20, 660, 380), L"", 1, 1));
            auto* title = dynamic_cast<WEXA::MText*>(
                page->CreateControl(L"MText", 200 + i, CRect(280, 30, 640, 60), captions[i], 1, 1));
            title->SetFont(L"Roboto-Medium", 20, Gdiplus::FontStyleRegular);
            title->SetTextColor(Gdiplus::Color(0xFF191919));
            pages.push_back(page);
        }
        // The lighting page: brightness and speed.
        auto* lighting = dynamic_cast<WEXA::MTabLayout*>(pages[1]);
        auto* label = dynamic_cast<WEXA::MText*>(lighting->CreateControl(
            L"MText", 210, CRect(280, 80, 640, 104), L"Brightness of the key lights", 1, 1));
        label->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        label->SetMarkText(L"Brightness", 0xFF4977E5, 0);
        auto* brightness = dynamic_cast<WEXA::MSlider*>(
            lighting->CreateControl(L"MSlider", 129, CRect(280, 112, 560, 132), L"", 1, 1));
        brightness->SetTextColor(Gdiplus::Color(0xFF4977E4));
        brightness->SetMaxProgress(100);
        brightness->SetProgress(70);
        auto* speed = dynamic_cast<WEXA::MSlider*>(
            lighting->CreateControl(L"MSlider", 131, CRect(280, 150, 560, 170), L"", 1, 1));
        speed->SetTextColor(Gdiplus::Color(0xFF4977E4));
        speed->SetMinProgress(1);
        speed->SetMaxProgress(6);
        speed->SetProgress(4);

        tab = dynamic_cast<WEXA::MTabCtrl*>(
            CreateControl(L"MTabCtrl", 68, CRect(10, 20, 250, 380), L"", 1, 1));
        tab->SetImage(L"img_tab_item.png", 4);
        tab->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        tab->SetTextColor(Gdiplus::Color(0xFF2D3347));
        tab->SetTabCtrlWidth(239);
        tab->SetTabCtrlHeight(50);
        tab->SetLeftRightPading(0, 50);
        tab->SetTopBottomPading(0, 100);
        tab->SetTabType(WEXA::TAB_TYPE_VERTICAL);
        for (UINT i = 0; i < 5; ++i) tab->InsertItem(i, captions[i], icons[i], pages[i], 4, 0);
        tab->SetItemWidth(239, 239, 1);
        tab->SetItemHeight(50, 50, 1);
        tab->SetSelectItem(1);
    }
};

class Screens : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(parent.Create(nullptr, L"menu owner", WS_POPUP, 0, CRect(0, 0, 10, 10)), nullptr);
    }
    void TearDown() override
    {
        testutil::PumpPending();
        parent.DestroyWindow();
        WEXA::Manager::SetThemeSkins(L"theme1\\");
    }
    WEXA::MWindow parent;
};

TEST_F(Screens, TabStripWithPages)
{
    ASSERT_TRUE(ThemeHas({L"img_tab_item.png", L"icon\\tab_home.png"}))
        << "the skin theme is not built";
    const int left = 200, top = 120;
    NavigationDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"navigation", WS_POPUP | WS_VISIBLE, 0,
                         CRect(left, top, left + 680, top + 400), nullptr),
              nullptr);
    // The pointer rests on the fourth tab: the real cursor too, or a move that
    // the display reports from wherever it last was takes the hover away.
    SetCursorPos(left + 100, top + 20 + 3 * 51 + 20);
    SendMessageW(dlg.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 20 + 3 * 51 + 20));
    UpdateWindow(dlg.GetSafeHwnd());
    Settle();
    RECT area = {left, top, left + 680, top + 400};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(dlg.GetPaintManager(), dlg.GetSafeHwnd(), area);
    for (int i = 0; i < dlg.tab->GetItemCount(); ++i) {
        RECT r = dlg.tab->GetItemInfo(i)->rect;
        compare.AddRegion("caption of tab " + std::to_string(i),
                          RECT{r.left + 70, r.top + 10, r.right - 20, r.bottom - 10});
    }
    dlg.DestroyWindow();
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "tabs_reference.png")));
}

TEST_F(Screens, OpenMenu)
{
    ASSERT_TRUE(ThemeHas({L"img_menu.png"})) << "the skin theme is not built";
    auto* menu = new WEXA::MenuWnd(nullptr);
    ASSERT_EQ(menu->Create(parent.GetSafeHwnd(), CPoint(1000, 150), 1695, CString(L"img_menu.png"),
                           4, 150, WEXA::BACK_MODE_FRAME),
              1);
    menu->AddMenu(L"Light theme", 100, CString(L""), 0, 0);
    menu->AddMenu(L"Dark theme", 101, CString(L""), 0, 0);
    menu->AddSeparator(102, L"");
    menu->AddMenu(L"Import profile", 103, CString(L""), 0, 0);
    HWND hwnd = menu->GetSafeHwnd();
    if (!menu->GetControl(100)) {
        menu->DestroyWindow();
        FAIL() << "the menu made no entries";
    }
    menu->ShowWindow(SW_SHOWNOACTIVATE);
    // The pointer rests on the second entry.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 60));
    UpdateWindow(hwnd);
    Settle();
    RECT area = WindowRect(hwnd);
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(menu->GetPaintManager(), hwnd, area);
    menu->CloseWindow();
    EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000));
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "menu_reference.png")));
}

TEST_F(Screens, FunctionMenu)
{
    ASSERT_TRUE(ThemeHas({L"img_menu.png", L"icon\\icon_playpause.png"}))
        << "the skin theme is not built";
    auto* menu = new WEXA::MenuExWnd(nullptr);
    ASSERT_EQ(
        menu->Create(parent.GetSafeHwnd(), CRect(1000, 400, 1300, 650), 1710, L"img_menu.png"), 1);
    menu->AddItem(L"Play / Pause", L"Starts or pauses the player", 0xCD,
                  L"icon\\icon_playpause.png");
    menu->AddItem(L"Next track", L"Skips to the next title", 0xB5, L"icon\\icon_next.png");
    menu->AddItem(L"Mute", L"Turns the sound off and on", 0xE2, L"icon\\icon_vol_mute.png");
    HWND hwnd = menu->GetSafeHwnd();
    menu->ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 110));
    UpdateWindow(hwnd);
    Settle();
    RECT area = WindowRect(hwnd);
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    for (int i = 0; i < 3; ++i)
        compare.AddRegion("row " + std::to_string(i),
                          RECT{10, 10 + 70 * i, 290, 10 + 70 * (i + 1)});
    menu->CloseWindow();
    EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000));
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "function_menu_reference.png")));
}

TEST_F(Screens, LoadingWindow)
{
    ASSERT_TRUE(
        ThemeHas({L"loading\\loading.gif", L"logo\\logo_loading.png", L"img_sys_close.png"}))
        << "the skin theme is not built";
    // Without a background image of its own: the plain white back.
    WEXA::LoadingWnd loading;
    HWND hwnd = loading.CreateDlg(parent.GetSafeHwnd(), CRect(400, 600, 800, 860));
    ASSERT_NE(hwnd, nullptr);
    // Hold the animation on its first frame.
    KillTimer(hwnd, WEXA::LoadingWnd::ANIMATION_TIMER_ID);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    Settle();
    RECT area = WindowRect(hwnd);
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddRegion("close button", loading.GetCloseRect());
    compare.AddRegion("animation",
                      RECT{(400 - 232) / 2, (260 - 58) / 2, (400 + 232) / 2, (260 + 58) / 2});
    loading.DestroyWindow();
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "loading_reference.png")));
}

}  // namespace
