// The small dialogs' background colours (where the background picture does not
// cover) follow the per-user "theme_type": 1 dark, anything else light; the
// LCD send window and the picture window have colours of their own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "DialogTestSupport.h"
#include "dialogs/AboutVIPDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/LEDWaitDlg.h"
#include "dialogs/LEDWaitDlg2.h"
#include "dialogs/WaitDlg.h"
#include "services/RegistrySettings.h"

namespace {

class DialogTheme : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedName_ = WEXA::Manager::GetDeviceName();
        WEXA::Manager::SetDeviceName(
            CString((L"KestrovaTest-theme-" + std::to_wstring(GetCurrentProcessId())).c_str()));
        RegDeleteTreeW(HKEY_CURRENT_USER, RegistrySettingsKey());
        ReadRegistryInt(L"theme_type");  // creates the key
    }
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, RegistrySettingsKey());
        WEXA::Manager::SetDeviceName(savedName_);
    }

    // The engine's two background colours once the dialog's window exists.
    template <class Dialog>
    static std::pair<COLORREF, COLORREF> ColoursOf(Dialog& dlg, const wchar_t* name, DWORD exStyle)
    {
        dlg.Create(nullptr, name, 0x96020000 & ~WS_VISIBLE, exStyle, CRect(0, 0, 200, 120));
        const WEXA::PaintManager& engine = *dlg.GetPaintManager();
        std::pair<COLORREF, COLORREF> colours(engine.m_crInner, engine.m_crFrame);
        dlg.DestroyWindow();
        return colours;
    }

    CString savedName_;
};

TEST_F(DialogTheme, ColoursFollowTheThemeType)
{
    const std::pair<COLORREF, COLORREF> light(0xFBFBFB, 0x6C4CF7), dark(0x110B06, 0xCCB9AF);
    struct Case
    {
        const wchar_t* themeType;  // null: the value is missing
        std::pair<COLORREF, COLORREF> expected;
    };
    const Case cases[] = {
        {nullptr, light}, {L"0", light}, {L"1", dark}, {L"1 dark", dark}, {L"2", light},
    };
    for (const Case& c : cases) {
        if (c.themeType) WriteRegistryString(L"theme_type", c.themeType);
        CUIMessageBox box;
        EXPECT_EQ(ColoursOf(box, kMessageBoxWindowName, WS_EX_TOOLWINDOW), c.expected)
            << (c.themeType ? "theme " : "no theme");
        WaitDlg wait;
        EXPECT_EQ(ColoursOf(wait, kWaitDlgWindowName, WS_EX_TOOLWINDOW), c.expected);
        LEDWaitDlg ledWait;
        EXPECT_EQ(ColoursOf(ledWait, kWaitDlgWindowName, WS_EX_TOOLWINDOW), c.expected);
        // Colours of their own, whatever the theme.
        LEDWaitDlg2 send;
        EXPECT_EQ(ColoursOf(send, kLEDWaitDlg2WindowName, WS_EX_TOOLWINDOW),
                  std::make_pair(COLORREF(0x351806), COLORREF(0x351806)));
        AboutVIPDlg picture;
        EXPECT_EQ(ColoursOf(picture, kAboutVIPDlgWindowName, 0),
                  std::make_pair(COLORREF(0xF9F9F9), COLORREF(0xF9F9F9)));
    }
}

}  // namespace
