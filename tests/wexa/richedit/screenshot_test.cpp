// What the rich edit fields look like on the screen with the theme's
// pictures: a single-line framed field, a multi-line field with its scroll
// bar, the icon field with its floating label, and the spin field with its
// buttons, compared with a stored reference picture.
//
// The reference, richedit_reference.png beside this file, changes only on
// purpose: run with KESTROVA_UPDATE_REFERENCE=1, look at it, commit it.
#include <gtest/gtest.h>

#include "CLock.h"
#include "Manager.h"
#include "RichEditFixture.h"
#include "ScreenshotCompare.h"
#include "WindowTestHelpers.h"

using WEXA::CLogonEdit;
using WEXA::CSpinButton;
using WEXA::MRichEdit;

namespace {

const int kLeft = 1300, kTop = 560, kWidth = 360, kHeight = 250;

class FieldsDialog : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(246, 247, 250), RGB(180, 186, 196));

        single = static_cast<MRichEdit*>(
            CreateControl(L"MEditEx", 40, CRect(20, 16, 340, 48), L"Profile name", 1, 1));
        single->SetImage(L"img_edit.png", 4);
        single->SetControlTitle(L"Gaming profile 1");

        multi = static_cast<MRichEdit*>(
            CreateControl(L"MRichEdit", 41, CRect(20, 58, 340, 144), L"", 1, 1));
        multi->SetImage(L"img_edit.png", 4);
        multi->SetControlTitle(
            L"Macro notes:\r1. Hold Fn and press the key.\r2. Record the sequence.\r"
            L"3. Save it to the profile.\r4. Assign it to a key.\r5. Test it.");
        multi->HomeUp();

        // The icon field has no by-name creator: filed with the engine here.
        logon = new CLogonEdit(this, 42, CRect(20, 154, 340, 196), L"User name", 1, 1);
        {
            CAutoLock lock(m_pm.m_controlsLock);
            m_pm.m_controls.push_back(logon);
        }
        logon->SetManager(&m_pm);
        logon->SetIconImage(L"icon\\icon_profile.png", 1);
        logon->SetControlTitle(L"jane.doe");

        spin = static_cast<CSpinButton*>(
            CreateControl(L"CSpinButton", 43, CRect(20, 206, 120, 238), L"", 1, 1));
        spin->SetImage(L"img_edit.png", 4);
        spin->SetRange(0, 255);
        spin->SetCurValue(128);
    }

    MRichEdit* single = nullptr;
    MRichEdit* multi = nullptr;
    CLogonEdit* logon = nullptr;
    CSpinButton* spin = nullptr;
};

TEST(RichEditScreenshot, VariantsOnTheThemePictures)
{
    WEXA::Manager::SetThemeSkins(CString(L"theme1\\"));
    FieldsDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"richedit screenshot", WS_POPUP | WS_VISIBLE, 0,
                         CRect(kLeft, kTop, kLeft + kWidth, kTop + kHeight), nullptr),
              nullptr);
    ASSERT_NE(dlg.single->GetHost(), nullptr);
    EXPECT_EQ(dlg.multi->m_pScrollVertical->m_bVisible, 1) << "the long text shows the bar";
    UpdateWindow(dlg.GetSafeHwnd());
    const DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > 300; }, 1000);

    const RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(dlg.GetPaintManager(), dlg.GetSafeHwnd(), area);
    compare.AddRegion("single-line text", RECT{25, 22, 200, 44});
    compare.AddRegion("multi-line text", RECT{25, 63, 300, 139});
    compare.AddRegion("icon and label", RECT{20, 154, 120, 196});
    compare.AddRegion("spin value", RECT{25, 212, 60, 234});
    dlg.DestroyWindow();
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "richedit_reference.png")));
}

}  // namespace
