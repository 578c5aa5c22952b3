// The settings page of the real main window: language radios that re-text the
// window at once, start with Windows (the Run-key entry) and minimised, what
// the close button does, the version button and the return button; and what
// the page looks like in each language (settings_<language>.png beside this
// file; KESTROVA_UPDATE_REFERENCE=1 writes them).
#include <gtest/gtest.h>

#include "CCheckButton.h"
#include "CSwitchButton.h"
#include "MPicture.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "MainWindowHarness.h"
#include "Manager.h"
#include "ScreenshotCompare.h"
#include "services/LanguageText.h"
#include "services/AppEnvironment.h"

namespace {

using testutil::MainWindowHarness;

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run-key entry of the test's software name; empty when there is none.
std::wstring RunEntry(bool* present = nullptr)
{
    wchar_t data[600] = {};
    DWORD size = sizeof(data);
    const bool found = RegGetValueW(HKEY_CURRENT_USER, kRunKey, WEXA::Manager::GetDeviceName(),
                                    RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS;
    if (present) *present = found;
    return found ? data : L"";
}

void DeleteRunEntry()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, WEXA::Manager::GetDeviceName());
    RegCloseKey(key);
}

bool Visible(MainWindowHarness& h, UINT id)
{
    WEXA::MControl* control = h.Dlg().Ctl(id);
    return control && control->IsVisible();
}

int SwitchOn(MainWindowHarness& h, UINT id)
{
    auto* button = h.Dlg().CtlAs<WEXA::CSwitchButton>(id);
    return button ? button->GetCheck() : -1;
}

int RadioOn(MainWindowHarness& h, UINT id)
{
    auto* button = h.Dlg().CtlAs<WEXA::CRadioButton>(id);
    return button ? button->GetCheck() : -1;
}

std::wstring Title(MainWindowHarness& h, UINT id)
{
    auto* control = dynamic_cast<WEXA::MControlFont*>(h.Dlg().Ctl(id));
    return control ? std::wstring(control->GetTitle()) : L"";
}

class SettingsPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetSupportedLanguageIds({2052, 1033, 1028});
        SetCurrentLanguageId(1033);
        DeleteRunEntry();
    }
    void TearDown() override
    {
        DeleteRunEntry();
        SetCurrentLanguageId(1033);
    }

    void Open(MainWindowHarness& h)
    {
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
        ASSERT_TRUE(h.Click(42));  // the frame's settings button
        h.Pump(30);
        ASSERT_TRUE(Visible(h, 79));
    }
};

TEST_F(SettingsPage, AutorunWritesAndDeletesTheRunEntryAndTheMinimisedStart)
{
    {
        MainWindowHarness h;
        Open(h);
        EXPECT_EQ(SwitchOn(h, 425), 0);
        EXPECT_FALSE(Visible(h, 426));
        EXPECT_FALSE(h.Dlg().m_minimizeLabel->IsVisible());

        ASSERT_TRUE(h.Click(425));
        bool present = false;
        EXPECT_EQ(RunEntry(&present), L"\"" + GetExeFolder() + L"Kestrova.exe\" -autorun");
        EXPECT_TRUE(present);
        EXPECT_TRUE(Visible(h, 426));
        EXPECT_TRUE(h.Dlg().m_minimizeLabel->IsVisible());
        EXPECT_EQ(SwitchOn(h, 426), 0);

        ASSERT_TRUE(h.Click(426));
        EXPECT_EQ(h.Dlg().RegString(L"autorun_minimize"), L"1");
        ASSERT_TRUE(h.Click(426));
        EXPECT_EQ(h.Dlg().RegString(L"autorun_minimize"), L"0");
        ASSERT_TRUE(h.Click(426));

        // Off: the entry goes, the minimised start is switched off and hidden.
        ASSERT_TRUE(h.Click(425));
        RunEntry(&present);
        EXPECT_FALSE(present);
        EXPECT_EQ(SwitchOn(h, 426), 0);
        EXPECT_FALSE(Visible(h, 426));
        EXPECT_EQ(h.Dlg().RegString(L"autorun_minimize"), L"0");
        // On again: the minimised start shows off.
        ASSERT_TRUE(h.Click(425));
        EXPECT_TRUE(Visible(h, 426));
        EXPECT_EQ(SwitchOn(h, 426), 0);
        ASSERT_TRUE(h.Click(426));
    }
    // The next start finds both on.
    MainWindowHarness h;
    h.Dlg().RegWriteString(L"autorun_minimize", L"1");
    Open(h);
    EXPECT_EQ(SwitchOn(h, 425), 1);
    EXPECT_EQ(SwitchOn(h, 426), 1);
    EXPECT_TRUE(Visible(h, 426));
    EXPECT_TRUE(h.Dlg().m_minimizeLabel->IsVisible());
}

TEST_F(SettingsPage, ExitModeIsStoredAndReadBack)
{
    {
        MainWindowHarness h;
        Open(h);
        EXPECT_EQ(RadioOn(h, 430), 1);  // nothing stored: the program ends on close
        EXPECT_EQ(std::wstring(h.Dlg().Ctl(39)->GetTooltip()), std::wstring(GetLanguageText(510)));
        ASSERT_TRUE(h.Click(429));
        EXPECT_EQ(h.Dlg().RegString(L"exit_mode"), L"1");
        ASSERT_TRUE(h.Click(430));
        EXPECT_EQ(h.Dlg().RegString(L"exit_mode"), L"0");
        ASSERT_TRUE(h.Click(429));
    }
    MainWindowHarness h;
    h.Dlg().RegWriteString(L"exit_mode", L"1");
    Open(h);
    EXPECT_EQ(RadioOn(h, 429), 1);
    EXPECT_EQ(RadioOn(h, 430), 0);
    EXPECT_EQ(std::wstring(h.Dlg().Ctl(39)->GetTooltip()), std::wstring(GetLanguageText(509)));
}

TEST_F(SettingsPage, LanguageRadiosSwitchEveryTextAtOnce)
{
    MainWindowHarness h;
    Open(h);
    EXPECT_EQ(RadioOn(h, 419), 1);
    struct Row
    {
        UINT radio;
        int language;
    };
    for (const Row& row : {Row{418, 2052}, Row{419, 1033}}) {
        ASSERT_TRUE(h.Click(row.radio));
        EXPECT_EQ(GetCurrentLanguageId(), row.language);
        EXPECT_EQ(LoadLanguageId(), row.language);
        // Page, frame and the two labels that share an id.
        EXPECT_EQ(Title(h, 417), std::wstring(GetLanguageText(500)));
        EXPECT_EQ(Title(h, 434), std::wstring(GetLanguageText(516)));
        EXPECT_EQ(Title(h, 429), std::wstring(GetLanguageText(510)));
        EXPECT_EQ(std::wstring(h.Dlg().m_autorunLabel->GetTitle()),
                  std::wstring(GetLanguageText(506)));
        EXPECT_EQ(std::wstring(h.Dlg().m_minimizeLabel->GetTitle()),
                  std::wstring(GetLanguageText(507)));
        EXPECT_EQ(Title(h, 433), std::wstring(GetLanguageText(517)) + L": 1.0.0.1");
        EXPECT_EQ(Title(h, 435), std::wstring(GetLanguageText(2, L"CAPTION")));
        EXPECT_EQ(std::wstring(h.Dlg().Ctl(42)->GetTooltip()), std::wstring(GetLanguageText(10)));
    }
    EXPECT_NE(std::wstring(GetLanguageText(500)), L"");
}

TEST_F(SettingsPage, EveryVersionPressQueuesACheckAndReturnGoesBack)
{
    MainWindowHarness h;
    Open(h);
    h.Dlg().m_workerPaused = 1;
    ASSERT_TRUE(h.Click(434));
    ASSERT_TRUE(h.Click(434));
    EXPECT_EQ(h.Dlg().m_taskQueue.Snapshot(),
              (std::vector<int>{TASK_CHECK_VERSION, TASK_CHECK_VERSION}));
    h.Dlg().m_taskQueue.Clear();
    h.Dlg().m_workerPaused = 0;
    // Without a keyboard the return button brings the home page back.
    ASSERT_TRUE(h.Click(415));
    EXPECT_FALSE(Visible(h, 79));
    EXPECT_TRUE(Visible(h, 39));
    EXPECT_TRUE(Visible(h, 42));
    EXPECT_FALSE(Visible(h, 46));
    EXPECT_FALSE(Visible(h, 47));
    EXPECT_TRUE(Visible(h, 69));
}

TEST_F(SettingsPage, LooksRightInEachLanguage)
{
    for (int language : {2052, 1033, 1028}) {
        SCOPED_TRACE(language);
        SetCurrentLanguageId(language);
        MainWindowHarness h;
        ASSERT_TRUE(h.Start(SW_SHOW));
        ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
        HWND window = h.Window();
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        RECT placed;
        GetWindowRect(window, &placed);
        SetCursorPos(placed.right + 50, placed.bottom + 50);
        if (auto* gif = static_cast<WEXA::CGifPicture*>(h.Dlg().Ctl(31))) gif->SetRunState(0, 0);
        h.Dlg().OnSettingsButton();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        h.Pump(150);
        RECT area;
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
        testutil::PixelBuffer actual = testutil::CaptureScreen(area);
        testutil::ScreenshotCompare compare;
        compare.AddControls(h.Dlg().GetPaintManager(), window, area);
        std::string name = "settings_" + std::to_string(language) + ".png";
        EXPECT_TRUE(compare.MatchesReference(
            actual, testutil::TestSourceFile(TEST_SOURCE_DIR, name.c_str())));
    }
}

}  // namespace
