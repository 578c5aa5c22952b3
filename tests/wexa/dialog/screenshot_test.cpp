// What a dialog with a few areas and a balloon tip looks like on the screen,
// compared with a stored reference picture.
//
// The test program runs alone (test.cmake): windows of other programs taking
// the activation would restack or cover the windows on the screen.
//
// The reference, dialog_reference.png beside this file, changes only on
// purpose (see ScreenshotCompare.h: KESTROVA_UPDATE_REFERENCE=1).
#include <gtest/gtest.h>

#include "MAirBladder.h"
#include "MDialog.h"
#include "ScreenshotCompare.h"
#include "SkinFiles.h"
#include "WexaTestControls.h"
#include "WindowTestHelpers.h"

namespace {

// Far from where the other tests put their windows (the screen is 1920 x 1080).
const int kLeft = 1560, kTop = 860, kWidth = 240, kHeight = 140;

class SampleDialog : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(246, 247, 250), RGB(180, 186, 196));
        CreateArea(L"CArea", 4, CRect(10, 10, 230, 40), L"", 1, 1);       // grey header
        CreateControl(L"CArea", 1, CRect(20, 60, 60, 100), L"", 1, 1);    // red swatch
        CreateControl(L"CArea", 2, CRect(70, 60, 110, 100), L"", 1, 1);   // green swatch
        CreateControl(L"CArea", 3, CRect(120, 60, 160, 100), L"", 1, 1);  // blue swatch
    }
};

TEST(Screenshot, DialogWithAreasAndBalloon)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"screenshot_test");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"img_tip_bk.png", 24, 24, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush fill(Gdiplus::Color(255, 52, 58, 70));
        g.FillRectangle(&fill, 0, 0, 24, 24);
        Gdiplus::SolidBrush edge(Gdiplus::Color(255, 90, 140, 230));
        g.FillRectangle(&edge, 0, 22, 24, 2);
    }));

    SampleDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"screenshot", WS_POPUP | WS_VISIBLE, 0,
                         CRect(kLeft, kTop, kLeft + kWidth, kTop + kHeight), nullptr),
              nullptr);
    WEXA::PaintManager& engine = *dlg.GetPaintManager();
    ASSERT_EQ(engine.SetAirBladderMsg(L"Profile saved", POINT{kLeft + 96, kTop + 92},
                                      WEXA::AIRBLADDER_TYPE_STICKY, WEXA::AIRBLADDER_MODE_RIGHT),
              1);
    engine.ShowAirBladder(1, 0);
    UpdateWindow(dlg.GetSafeHwnd());
    // Let the display catch up with both windows.
    DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > 300; }, 1000);

    RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);

    // Every swatch and the balloon's text have a budget of their own: a lost
    // text or a swatch in the wrong colour covers fewer pixels than the
    // picture's global budget.
    testutil::ScreenshotCompare compare;
    compare.AddControls(&engine, dlg.GetSafeHwnd(), area);
    ASSERT_NE(engine.m_pAirBladder, nullptr);
    compare.AddWindow("balloon text", engine.m_pAirBladder->GetSafeHwnd(), area, 6);
    dlg.DestroyWindow();

    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "dialog_reference.png")));
}

}  // namespace
