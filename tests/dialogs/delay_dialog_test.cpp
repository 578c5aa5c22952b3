// The frame delay dialog as the LCD page runs it: what it shows for a frame,
// the two choices and what OK and the close button hand back, its colours by
// theme, and how it looks (frame_delay_dialog.png beside this file).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "CCheckButton.h"
#include "DialogTestSupport.h"
#include "MButton.h"
#include "MEdit.h"
#include "ScreenshotCompare.h"
#include "services/RegistrySettings.h"
#include "services/LanguageText.h"
#include "dialogs/LCDDelayEditDlg.h"

namespace {

using dialogtest::Centre;
using dialogtest::Click;
using dialogtest::EveryTick;

// Runs the dialog for a frame of `value` ms; `act` runs once it is shown.
int RunDialog(LCDDelayEditDlg& dialog, const wchar_t* value,
              std::function<void(LCDDelayEditDlg&, HWND)> act)
{
    dialog.m_title = GetLanguageText(837);
    dialog.m_thisFrameValue = value;
    DWORD shownAt = 0;
    EveryTick tick([&] {
        HWND window = FindWindowW(nullptr, kDelayDialogWindowName);
        if (!window || !IsWindowVisible(window)) return false;
        if (!shownAt) shownAt = GetTickCount();
        if (GetTickCount() - shownAt < 150) return false;
        act(dialog, window);
        return true;
    });
    return dialog.Run(nullptr);
}

TEST(FrameDelayDialog, OpensOnTheFramesDelayWithAllFramesOff)
{
    LCDDelayEditDlg dialog;
    bool checked = false;
    const int result = RunDialog(dialog, L"120", [&](LCDDelayEditDlg& d, HWND) {
        EXPECT_EQ(std::wstring(d.m_thisFrameField->GetEditText()), L"120");
        EXPECT_TRUE(d.m_thisFrameField->IsEnabled());
        EXPECT_EQ(std::wstring(d.m_allFramesField->GetEditText()), L"50");
        EXPECT_FALSE(d.m_allFramesField->IsEnabled());
        EXPECT_EQ(d.m_thisFrameRadio->GetCheck(), 1);
        EXPECT_EQ(d.m_allFramesRadio->GetCheck(), 0);
        checked = true;
        d.OnMessage(39, 2, 0, 0);
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(dialog.m_allFrames);
    EXPECT_EQ(dialog.m_thisFrameValue, CString(L"120"));
    EXPECT_EQ(dialog.m_allFramesValue, CString(L"50"));
}

TEST(FrameDelayDialog, ChoicesAndResults)
{
    const struct
    {
        const char* name;
        bool chooseAll;        // click radio 34
        const wchar_t* typed;  // into the enabled field (null: nothing typed)
        bool cancel;           // the close button instead of OK
        int result;
        bool allFrames;
        const wchar_t* thisValue;
        const wchar_t* allValue;
    } cases[] = {
        {"all frames untouched", true, nullptr, false, 1, true, L"80", L"50"},
        {"all frames typed", true, L"120", false, 1, true, L"80", L"120"},
        {"this frame emptied", false, L"", false, 1, false, L"", L"50"},
        {"closed", true, L"300", true, 2, false, L"80", L""},
    };
    for (const auto& c : cases) {
        LCDDelayEditDlg dialog;
        const int result = RunDialog(dialog, L"80", [&](LCDDelayEditDlg& d, HWND window) {
            if (c.chooseAll) {
                Click(window, Centre(d.m_allFramesRadio->GetRect()));
                EXPECT_FALSE(d.m_thisFrameField->IsEnabled()) << c.name;
                EXPECT_TRUE(d.m_allFramesField->IsEnabled()) << c.name;
            }
            if (c.typed)
                (c.chooseAll ? d.m_allFramesField : d.m_thisFrameField)->SetEditText(c.typed);
            Click(window, Centre((c.cancel ? static_cast<WEXA::MControl*>(d.m_closeButton)
                                           : static_cast<WEXA::MControl*>(d.m_okButton))
                                     ->GetRect()));
        });
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(dialog.m_allFrames, c.allFrames) << c.name;
        EXPECT_EQ(std::wstring(dialog.m_thisFrameValue), c.thisValue) << c.name;
        EXPECT_EQ(std::wstring(dialog.m_allFramesValue), c.allValue) << c.name;
    }
}

TEST(FrameDelayDialog, ColoursFollowTheTheme)
{
    const struct
    {
        const wchar_t* theme;
        COLORREF background;
    } cases[] = {{L"1", 0x110B06}, {L"0", 0xFBFBFB}};
    for (const auto& c : cases) {
        WriteRegistryString(L"theme_type", c.theme);
        LCDDelayEditDlg dialog;
        COLORREF seen = 0xFFFFFFFF;
        RunDialog(dialog, L"100", [&](LCDDelayEditDlg& d, HWND window) {
            RECT area;
            GetWindowRect(window, &area);
            testutil::PixelBuffer picture = testutil::CaptureScreen(area);
            seen = picture.ColorAt(5, picture.height - 5);
            d.DoCancel();
        });
        // Within the rounding of the captured screen.
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((seen >> shift) & 0xFF), int((c.background >> shift) & 0xFF), 2)
                << c.theme;
    }
    WriteRegistryString(L"theme_type", L"");
}

TEST(DialogScreens, FrameDelayDialog)
{
    LCDDelayEditDlg dialog;
    bool captured = false;
    RunDialog(dialog, L"120", [&](LCDDelayEditDlg& d, HWND window) {
        SetCursorPos(0, 0);
        d.GetPaintManager()->RefreshControls();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        RECT area;
        GetWindowRect(window, &area);
        testutil::PixelBuffer actual = testutil::CaptureScreen(area);
        testutil::ScreenshotCompare compare;
        compare.AddControls(d.GetPaintManager(), window, area);
        EXPECT_TRUE(compare.MatchesReference(
            actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "frame_delay_dialog.png")));
        captured = true;
        d.DoCancel();
    });
    EXPECT_TRUE(captured);
}

}  // namespace
