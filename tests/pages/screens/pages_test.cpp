// What the main window shows on each main tab, compared with references
// (pages_<position>.png beside this file; KESTROVA_UPDATE_REFERENCE=1 writes
// them). The animated home background stands still on its first frame.
#include <gtest/gtest.h>

#include <string>

#include "MPicture.h"
#include "MTabCtrl.h"
#include "MainWindowHarness.h"
#include "ScreenshotCompare.h"
#include "SimKeyboardModels.h"
#include "services/AppEnvironment.h"

namespace {

TEST(MainWindowScreens, EachMainTabShowsItsPage)
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    testutil::MainWindowHarness h;
    sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
    h.Bus().AddModel(keyboard);
    ASSERT_TRUE(h.Start(SW_SHOW));
    // The device page shows what the start-up version check found: it has ended.
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}, 15000));
    HWND window = h.Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    // The real cursor rests off the window, wherever an earlier program left
    // it, so that no tab shows a hover.
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    if (auto* gif = static_cast<WEXA::CGifPicture*>(h.Dlg().Ctl(31))) gif->SetRunState(0, 0);
    // A pick of a model card shows the frame of the device pages.
    h.SendControlEvent(81, 2);
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h.Settle());
    WEXA::MTabCtrl* tab = h.Dlg().MainTab();
    // Every device page in tab order, then the home page.
    for (int position : {1, 2, 3, 4, 5, 6, 7, 0}) {
        tab->SetSelectItem(position);
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        h.Pump(150);
        RECT area;
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
        testutil::PixelBuffer actual = testutil::CaptureScreen(area);
        testutil::ScreenshotCompare compare;
        compare.AddControls(h.Dlg().GetPaintManager(), window, area);
        std::string name = "pages_" + std::to_string(position) + ".png";
        EXPECT_TRUE(compare.MatchesReference(
            actual, testutil::TestSourceFile(TEST_SOURCE_DIR, name.c_str())))
            << "tab position " << position;
    }
}

}  // namespace
