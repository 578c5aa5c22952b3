// What the custom-key, performance and lighting pages show in each of their
// main states, in English and Simplified Chinese, compared with references
// (<state>_<language>.png beside this file; KESTROVA_UPDATE_REFERENCE=1 writes
// them).
#include <string>

#include "CCheckButton.h"
#include "KeyFuncValue.h"
#include "MButton.h"
#include "MComboBox.h"
#include "MPicture.h"
#include "PageFixture.h"
#include "ScreenshotCompare.h"
#include "TabCtrlEx.h"
#include "services/AppEnvironment.h"

namespace pagetest {
namespace {

class PageScreens : public PageFixture, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        SetSupportedLanguageIds({2052, 1033, 1028});
        SetCurrentLanguageId(GetParam());
        Start("Kestrova-K87", SW_SHOW);
        HWND window = harness->Window();
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        RECT placed;
        GetWindowRect(window, &placed);
        SetCursorPos(placed.right + 50, placed.bottom + 50);
        if (auto* gif = Control<WEXA::CGifPicture>(31)) gif->SetRunState(0, 0);
        const int macro = Db().AddMacro(L"New Macro 1");
        Db().AddMacro(L"Copy paste");
        MacroRecordData event;
        event.macro_id = macro;
        event.type = 2;
        event.value = 4;
        Db().InsertMacroRecords({event});
    }
    void TearDown() override
    {
        PageFixture::TearDown();
        SetCurrentLanguageId(1033);
    }

    void Expect(const std::string& state)
    {
        HWND window = harness->Window();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        harness->Pump(150);
        RECT area;
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
        testutil::PixelBuffer actual = testutil::CaptureScreen(area);
        testutil::ScreenshotCompare compare;
        compare.AddControls(Dlg().GetPaintManager(), window, area);
        const std::string name = state + "_" + std::to_string(GetParam()) + ".png";
        EXPECT_TRUE(compare.MatchesReference(
            actual, testutil::TestSourceFile(TEST_SOURCE_DIR, name.c_str())))
            << state;
    }

    void Category(int category)
    {
        auto* tabs = Control<WEXA::TabCtrlEx>(88);
        for (int i = 0; i < tabs->GetItemCount(); ++i)
            if (tabs->GetItemData(i) == category) tabs->SetSelectKeyType(i);
        harness->SendControlEvent(88, 2);
    }

    void Mode(int mode)
    {
        Control<WEXA::MComboBox>(126)->SelectData(mode);
        harness->SendControlEvent(126, 2);
        RunQueuedTasks();
    }
};

TEST_P(PageScreens, CustomKeyPage)
{
    OpenTab(4);
    ASSERT_TRUE(ClickKey(0x3A));
    Expect("customkeys_keys");
    Category(13);
    harness->Click(107);
    harness->Click(112);
    Expect("customkeys_combo");
    Category(3);
    Expect("customkeys_macro");
}

TEST_P(PageScreens, PerformancePage)
{
    OpenTab(6);
    Dlg().LoadPerformanceSettings();
    harness->Click(341);
    RunQueuedTasks();
    Expect("performance");
}

TEST_P(PageScreens, LightingPage)
{
    OpenTab(1);
    Dlg().LoadLightModes();
    Mode(1);
    Expect("lighting_static");
    Mode(128);
    harness->Click(151);
    ClickKey(0x3A);
    ClickKey(0x29);
    RunQueuedTasks();
    Expect("lighting_user");
}

INSTANTIATE_TEST_SUITE_P(Languages, PageScreens, ::testing::Values(1033, 2052));

}  // namespace
}  // namespace pagetest
