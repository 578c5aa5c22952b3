// What the dialogs look like on the screen, in each language where their texts
// differ, compared with the committed references beside this file (see
// ScreenshotCompare.h: KESTROVA_UPDATE_REFERENCE=1 writes them). Each dialog is
// shown the way the program shows it (ShowMessageBox, DoModal) and captured
// from inside its modal loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "DialogTestSupport.h"
#include "MPicture.h"
#include "ScreenshotCompare.h"
#include "dialogs/AboutVIPDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/LEDWaitDlg.h"
#include "dialogs/LEDWaitDlg2.h"
#include "dialogs/WaitDlg.h"

namespace {

using dialogtest::EveryTick;
using dialogtest::FindDialog;
using dialogtest::InLanguage;

WEXA::MDialog* DialogOf(HWND window)
{
    return dynamic_cast<WEXA::MDialog*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
}

// Waits in the modal loop until the window of that name has been shown for a
// while, lets prepare freeze what moves, captures the window and compares it,
// then closes it with result 1.
class ModalCapture
{
public:
    ModalCapture(const wchar_t* windowName, std::string reference,
                 std::function<void(WEXA::MDialog&)> prepare = {})
        : name_(windowName),
          reference_(std::move(reference)),
          prepare_(std::move(prepare)),
          tick_([this] { return Step(); })
    {}
    bool captured() const { return captured_; }

private:
    bool Step()
    {
        HWND window = FindDialog(name_);
        if (!window || !IsWindowVisible(window)) return false;
        WEXA::MDialog* dialog = DialogOf(window);
        if (!dialog) return false;
        if (!shownAt_) {
            shownAt_ = GetTickCount();
            if (prepare_) prepare_(*dialog);
            return false;
        }
        // Once more after a while: a timer tick running at the first call may
        // have moved the animation on behind it.
        if (!settled_ && GetTickCount() - shownAt_ >= 120) {
            settled_ = true;
            if (prepare_) prepare_(*dialog);
        }
        if (GetTickCount() - shownAt_ < 280) return false;
        RECT area;
        GetWindowRect(window, &area);
        testutil::PixelBuffer actual = testutil::CaptureScreen(area);
        testutil::ScreenshotCompare compare;
        compare.AddControls(dialog->GetPaintManager(), window, area);
        EXPECT_TRUE(compare.MatchesReference(
            actual, testutil::TestSourceFile(TEST_SOURCE_DIR, reference_.c_str())))
            << reference_;
        captured_ = true;
        PostMessageW(window, WEXA::WM_USER_CLOSE_WINDOW, 1, 0);
        return true;
    }

    const wchar_t* name_;
    std::string reference_;
    std::function<void(WEXA::MDialog&)> prepare_;
    DWORD shownAt_ = 0;
    bool settled_ = false;
    bool captured_ = false;
    EveryTick tick_;
};

const int kLanguages[] = {1033, 2052, 1028};

TEST(DialogScreens, MessageBoxWithTwoButtons)
{
    for (int language : kLanguages) {
        InLanguage texts(language);
        const std::string reference = "message_box_two_" + std::to_string(language) + ".png";
        ModalCapture capture(kMessageBoxWindowName, reference);
        ShowMessageBox(nullptr, GetLanguageText(552), GetLanguageText(550), 4);
        EXPECT_TRUE(capture.captured()) << reference;
    }
}

TEST(DialogScreens, MessageBoxWithOneButton)
{
    for (int language : kLanguages) {
        InLanguage texts(language);
        const std::string reference = "message_box_one_" + std::to_string(language) + ".png";
        ModalCapture capture(kMessageBoxWindowName, reference);
        ShowMessageBox(nullptr, GetLanguageText(69), GetLanguageText(66), 0);
        EXPECT_TRUE(capture.captured()) << reference;
    }
}

// The spinners, each on one frame of the animation.
TEST(DialogScreens, Spinners)
{
    auto stillFrame = [](WEXA::MDialog& dialog) {
        if (auto* gif = dynamic_cast<WEXA::CGifPicture*>(dialog.GetControl(30)))
            gif->SetRunState(0, 3);
    };
    WEXA::MDialog main;
    main.Create(nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 1500, 888));
    {
        ModalCapture capture(kWaitDlgWindowName, "wait_dialog.png", stillFrame);
        WaitDlg dlg;
        dlg.DoModal(main.GetSafeHwnd());
        EXPECT_TRUE(capture.captured());
    }
    {
        ModalCapture capture(kWaitDlgWindowName, "led_wait_dialog.png", stillFrame);
        LEDWaitDlg dlg;
        dlg.DoModal(main.GetSafeHwnd());
        EXPECT_TRUE(capture.captured());
    }
    main.DestroyWindow();
}

TEST(DialogScreens, LcdSendWindow)
{
    for (int language : kLanguages) {
        InLanguage texts(language);
        const std::string reference = "lcd_send_" + std::to_string(language) + ".png";
        ModalCapture capture(kLEDWaitDlg2WindowName, reference);
        LEDWaitDlg2 dlg;
        dlg.DoModal(nullptr);
        EXPECT_TRUE(capture.captured()) << reference;
    }
}

TEST(DialogScreens, PictureWindow)
{
    InLanguage texts(1033);
    WEXA::MDialog main;
    main.Create(nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1400, 788));
    ModalCapture capture(kAboutVIPDlgWindowName, "picture_window.png");
    AboutVIPDlg dlg;
    ASSERT_NE(dlg.Create(main.GetSafeHwnd(), kAboutVIPDlgWindowName, 0x96020000, 0,
                         CRect(0, 0, 1400, 788)),
              nullptr);
    dlg.CenterWindow();
    dlg.ShowModal(SW_SHOW);
    EXPECT_TRUE(capture.captured());
    main.DestroyWindow();
}

}  // namespace
