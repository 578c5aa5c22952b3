// What the LCD page looks like with a user's animation open: the screen slot,
// the animation list, the canvas with the first frame, the frame strip, the
// tools and the colours (lcd_page.png beside this file), opened from its tab.
#include "ImageViewList.h"
#include "LCDViewList.h"
#include "LcdFixture.h"
#include "MTabCtrl.h"
#include "ScreenshotCompare.h"
#include "services/AppEnvironment.h"

namespace lcdtest {
namespace {

class LcdScreens : public LcdPageTest
{};

TEST_P(LcdScreens, PageWithAnAnimationOpen)
{
    LoadProfiles();
    const std::vector<LedLayerData> layers = Layers();
    ASSERT_EQ(layers.size(), 2u);  // the default layer and the screen's animation
    // The user's animation: frames of the stock animation and a drawing of their own.
    const std::wstring stock = ModelFolder() + (const wchar_t*)layers[0].file_dir + L"\\";
    for (const auto& file : FilesBelow(stock))
        if (chosenPictures.size() < 3) chosenPictures.push_back(stock + file.first);
    chosenPictures.push_back(SourcePicture(L"own.png", 0x3080F0, 240, 135));
    ASSERT_EQ(h.SendControlEvent(369, 2), 1);
    auto* list = Dlg().CtlAs<WEXA::LCDViewList>(368);
    list->SetCurSel(1);
    h.SendControlEvent(368, 2, 1);
    ASSERT_EQ(h.SendControlEvent(411, 2), 1);
    h.SendControlEvent(369, 2);  // a second, empty animation below it
    LoadProfiles();

    HWND window = h.Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    if (auto* gif = static_cast<WEXA::CGifPicture*>(Dlg().Ctl(31))) gif->SetRunState(0, 0);
    h.SendControlEvent(81, 2);
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h.Settle());
    // The user's animation, below the screen's.
    list->SetCurSel(1);
    h.SendControlEvent(368, 2, 1);
    ASSERT_EQ(Dlg().CtlAs<WEXA::ImageViewList>(381)->GetItemCount(), 4);
    Dlg().MainTab()->SetSelectItem(KeyboardDlg::kLcdTabPosition);
    ASSERT_TRUE(Dlg().Ctl(77)->IsShown());
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    h.Pump(300);

    RECT area;
    GetClientRect(window, &area);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(Dlg().GetPaintManager(), window, area);
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "lcd_page.png")));
}

INSTANTIATE_TEST_SUITE_P(DataFolder, LcdScreens, ::testing::Values(L"Kestrova Test"));

}  // namespace
}  // namespace lcdtest
