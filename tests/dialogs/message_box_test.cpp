// The message box: its controls and buttons per mode, and what ShowMessageBox
// returns for each way the box ends (first button, second button, the exit
// sequence's close request, a window that cannot be created).
#include <gtest/gtest.h>
#include <windows.h>

#include "DialogTestSupport.h"
#include "MButton.h"
#include "MText.h"
#include "WindowTestHelpers.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/LEDWaitDlg.h"

namespace {

using dialogtest::Centre;
using dialogtest::Click;
using dialogtest::EveryTick;
using dialogtest::FindDialog;
using dialogtest::InLanguage;

struct ButtonCase
{
    int mode;
    bool twoButtons;
    CRect first;
    const wchar_t* firstText;
    CRect second;
    const wchar_t* secondText;
};

// Modes 0 and 4 as designed; any other mode gets the single button of mode 0,
// so that the box can always be answered.
const ButtonCase kButtonCases[] = {
    {0, false, CRect(100, 210, 400, 246), L"OK", CRect(), nullptr},
    {4, true, CRect(130, 210, 230, 246), L"OK", CRect(270, 210, 370, 246), L"Cancel"},
    {1, false, CRect(100, 210, 400, 246), L"OK", CRect(), nullptr},
    {7, false, CRect(100, 210, 400, 246), L"OK", CRect(), nullptr},
    {-1, false, CRect(100, 210, 400, 246), L"OK", CRect(), nullptr},
};

TEST(MessageBoxDialog, ControlsOfEachMode)
{
    InLanguage english(1033);
    for (const ButtonCase& c : kButtonCases) {
        CUIMessageBox box;
        box.m_title = L"Title";
        box.m_message = L"Message";
        box.m_buttonMode = c.mode;
        ASSERT_NE(box.Create(nullptr, kMessageBoxWindowName, 0x96020000 & ~WS_VISIBLE,
                             WS_EX_TOOLWINDOW, CRect(0, 0, 500, 260)),
                  nullptr);
        auto* title = dynamic_cast<WEXA::MText*>(box.GetControl(31));
        auto* message = dynamic_cast<WEXA::MText*>(box.GetControl(32));
        ASSERT_TRUE(title && message);
        EXPECT_EQ(title->GetRect(), CRect(20, 15, 480, 40));
        EXPECT_STREQ(title->GetTitle(), L"Title");
        EXPECT_EQ(title->GetFontWidth(), 20);
        EXPECT_EQ(message->GetRect(), CRect(20, 100, 480, 160));
        EXPECT_STREQ(message->GetTitle(), L"Message");
        EXPECT_EQ(message->GetFontWidth(), 18);

        auto* first = dynamic_cast<WEXA::MButton*>(box.GetControl(33));
        ASSERT_NE(first, nullptr) << "mode " << c.mode;
        EXPECT_EQ(first->GetRect(), c.first) << "mode " << c.mode;
        EXPECT_STREQ(first->GetTitle(), c.firstText);
        EXPECT_EQ(first->m_nFrameSize, 8);
        EXPECT_EQ(first->GetImageSize(), CSize(120, 36));  // img_button.png, 4 frames
        auto* second = dynamic_cast<WEXA::MButton*>(box.GetControl(34));
        EXPECT_EQ(second != nullptr, c.twoButtons) << "mode " << c.mode;
        if (second) {
            EXPECT_EQ(second->GetRect(), c.second);
            EXPECT_STREQ(second->GetTitle(), c.secondText);
        }
        box.DestroyWindow();
    }
}

// Runs ShowMessageBox over a window of ours; act(box window) runs once the box
// is up, from inside its modal loop.
int RunBox(int mode, const std::function<void(HWND)>& act)
{
    WEXA::MDialog owner;
    owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 700, 500));
    HWND seen = nullptr;
    bool ownerDisabled = false;
    EveryTick tick([&] {
        HWND box = FindDialog(kMessageBoxWindowName);
        if (!box || !IsWindowVisible(box)) return false;
        seen = box;
        ownerDisabled = !IsWindowEnabled(owner.GetSafeHwnd());
        act(box);
        return true;
    });
    const int result =
        ShowMessageBox(owner.GetSafeHwnd(), L"Delete the profile?", L"Profile", mode);
    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(ownerDisabled) << "the owner is disabled while the box runs";
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    owner.DestroyWindow();
    return result;
}

TEST(MessageBoxDialog, ResultOfEachWayItEnds)
{
    InLanguage english(1033);
    struct Case
    {
        const char* what;
        int mode;
        std::function<void(HWND)> act;
        int expected;
    };
    const Case cases[] = {
        {"the one button", 0, [](HWND box) { Click(box, Centre(CRect(100, 210, 400, 246))); }, 1},
        {"the first of two", 4, [](HWND box) { Click(box, Centre(CRect(130, 210, 230, 246))); }, 1},
        {"the second of two", 4, [](HWND box) { Click(box, Centre(CRect(270, 210, 370, 246))); },
         2},
        {"the one button of an unknown mode", 9,
         [](HWND box) { Click(box, Centre(CRect(100, 210, 400, 246))); }, 1},
        {"the exit sequence's close request", 4,
         [](HWND box) { PostMessageW(box, WEXA::WM_USER_CLOSE_WINDOW, 2, 0); }, 2},
        {"other events, then the exit sequence", 4,
         [](HWND box) {
             auto* dialog = dynamic_cast<CUIMessageBox*>(
                 reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(box, GWLP_USERDATA)));
             ASSERT_NE(dialog, nullptr);
             // A press without release, a text's event, an unknown control: no effect.
             EXPECT_EQ(dialog->OnMessage(33, 1, 0, 0), 0);
             EXPECT_EQ(dialog->OnMessage(32, 2, 0, 0), 0);
             EXPECT_EQ(dialog->OnMessage(35, 2, 0, 0), 0);
             PostMessageW(box, WEXA::WM_USER_CLOSE_WINDOW, 2, 0);
         },
         2},
    };
    for (const Case& c : cases) {
        const int result = RunBox(c.mode, c.act);
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(IsConfirmed(result), c.expected == 1) << c.what;
    }
}

TEST(MessageBoxDialog, AWindowThatCannotBeCreatedIsNoConsent)
{
    // An owner handle that names no window: the box's window cannot be created.
    HWND gone =
        CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    const int result = ShowMessageBox(gone, L"Reset the keyboard?", L"Reset", 4);
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(IsConfirmed(result));
    EXPECT_EQ(FindDialog(kMessageBoxWindowName), nullptr);
}

TEST(MessageBoxDialog, NullTextsCountAsEmpty)
{
    InLanguage english(1033);
    CString title = L"?", message = L"?";
    EveryTick tick([&] {
        HWND box = FindDialog(kMessageBoxWindowName);
        if (!box) return false;
        auto* dialog = dynamic_cast<CUIMessageBox*>(
            reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(box, GWLP_USERDATA)));
        if (dialog) {
            title = dialog->m_title;
            message = dialog->m_message;
        }
        PostMessageW(box, WEXA::WM_USER_CLOSE_WINDOW, 1, 0);
        return true;
    });
    EXPECT_EQ(ShowMessageBox(nullptr, nullptr, nullptr, 0), 1);
    EXPECT_STREQ(title, L"");
    EXPECT_STREQ(message, L"");
}

}  // namespace

namespace {

// Many boxes and spinners leave no window and no GDI or USER handles behind.
TEST(MessageBoxDialog, RunsLeaveNoHandlesBehind)
{
    InLanguage english(1033);
    auto runBox = [] {
        EveryTick tick([] {
            HWND box = FindDialog(kMessageBoxWindowName);
            if (!box) return false;
            Click(box, Centre(CRect(270, 210, 370, 246)));
            return true;
        });
        return ShowMessageBox(nullptr, L"Delete the selected frame?", L"LCD", 4);
    };
    EXPECT_EQ(runBox(), 2);  // warms the caches up (fonts, classes)
    testutil::PumpPending();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(runBox(), 2) << i;
        LEDWaitDlg spinner;
        spinner.DoOK();
        EXPECT_EQ(spinner.DoModal(nullptr), 1u) << i;
    }
    testutil::PumpPending();
    EXPECT_EQ(FindDialog(kMessageBoxWindowName), nullptr);
    EXPECT_EQ(FindDialog(kWaitDlgWindowName), nullptr);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 10);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore + 10);
}

}  // namespace
