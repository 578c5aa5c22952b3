// The popup menu: entry layout and heights, the message it posts, closing by
// a chosen entry or by losing the activation (driven with the messages the
// system sends, as there is no window manager), freeing itself afterwards,
// and its modal loop.
#include <gtest/gtest.h>

#include <vector>

#include "MControl.h"
#include "MenuWnd.h"
#include "WindowTestHelpers.h"

namespace {

using WEXA::MenuLifetime;
using WEXA::MenuWnd;

const UINT kSkinMenu = 1695;

// The program's dialog: receives the menu's notifications.
class Parent : public WEXA::MWindow
{
public:
    struct Posted
    {
        UINT msg;
        WPARAM wparam;
        LPARAM lparam;
    };
    std::vector<Posted> posted;
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg >= WM_APP - 0x7C00 && msg < WM_APP) posted.push_back({msg, wparam, lparam});
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
};

class MenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(
            parent.Create(nullptr, L"parent", WS_POPUP | WS_VISIBLE, 0, CRect(10, 10, 110, 110)),
            nullptr);
        baseline = MenuLifetime::LiveMenus();
    }
    void TearDown() override
    {
        testutil::PumpPending();
        parent.DestroyWindow();
    }

    // A menu of the program's kind: width 150 at (300, 200), two entries.
    MenuWnd* MakeMenu(int entries = 2)
    {
        auto* menu = new MenuWnd(nullptr);
        EXPECT_EQ(menu->Create(parent.GetSafeHwnd(), CPoint(300, 200), kSkinMenu, CString(L""), 4,
                               150, WEXA::BACK_MODE_FRAME),
                  1);
        for (int i = 0; i < entries; ++i)
            menu->AddMenu(i == 0 ? L"Light" : L"Dark", 100 + i, CString(L""), 0, 0);
        return menu;
    }
    static CRect WindowRect(MenuWnd* menu)
    {
        RECT r;
        GetWindowRect(menu->GetSafeHwnd(), &r);
        return CRect(r);
    }
    static void Click(HWND hwnd, CPoint from, CPoint to)
    {
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
        SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
    bool HasEntries(MenuWnd* menu) { return menu->GetControl(100) != nullptr; }
    bool WaitGone(HWND hwnd)
    {
        return testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000);
    }

    Parent parent;
    long baseline = 0;
};

TEST_F(MenuTest, WithoutEntriesTheWindowKeepsItsSquareSize)
{
    MenuWnd* menu = MakeMenu(0);
    EXPECT_EQ(WindowRect(menu), CRect(300, 200, 450, 350));
    EXPECT_FALSE(menu->IsWindowVisible());
    EXPECT_EQ(menu->GetExStyle() & ~WS_EX_LAYERED, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(menu->GetStyle() & WS_CAPTION, 0u);
    HWND hwnd = menu->GetSafeHwnd();
    menu->CloseWindow();
    EXPECT_TRUE(WaitGone(hwnd));
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

TEST_F(MenuTest, EntriesAreThirtyFivePixelsHighBetweenTheMargins)
{
    MenuWnd* menu = MakeMenu();
    ASSERT_TRUE(HasEntries(menu)) << "the menu made no entries";
    EXPECT_EQ(WindowRect(menu), CRect(300, 200, 450, 288));
    EXPECT_EQ(menu->GetControl(100)->GetRect(), CRect(5, 12, 140, 47));
    EXPECT_EQ(menu->GetControl(101)->GetRect(), CRect(5, 47, 140, 82));

    // A separator moves the entries below it down by 4.
    MenuWnd* separated = new MenuWnd(nullptr);
    separated->Create(parent.GetSafeHwnd(), CPoint(300, 400), kSkinMenu, CString(L""), 4, 150,
                      WEXA::BACK_MODE_FRAME);
    separated->AddMenu(L"Light", 100, CString(L""), 0, 0);
    separated->AddSeparator(102, L"");
    separated->AddMenu(L"Dark", 101, CString(L""), 0, 0);
    EXPECT_EQ(separated->GetControl(102)->GetRect(), CRect(6, 48, 140, 49));
    EXPECT_EQ(separated->GetControl(101)->GetRect(), CRect(5, 51, 140, 86));
    EXPECT_EQ(WindowRect(separated).Height(), 92);

    // A hidden entry takes no room.
    separated->SetItemVisible(L"100", 0);
    EXPECT_EQ(separated->GetControl(100)->GetRect(), CRect(0, 0, 0, 0));
    EXPECT_EQ(separated->GetControl(101)->GetRect(), CRect(5, 16, 140, 51));
    menu->DestroyWindow();
    separated->DestroyWindow();
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

TEST_F(MenuTest, LongTitlesWidenTheMenuMeasuredWithTheLibraryFont)
{
    MenuWnd* menu = MakeMenu();
    ASSERT_TRUE(HasEntries(menu)) << "the menu made no entries";
    EXPECT_EQ(menu->GetMenuWidth(), 150);
    menu->AddMenu(L"Import the profile from a file on this computer", 103, CString(L""), 0, 0);
    EXPECT_GT(menu->GetMenuWidth(), 250);
    EXPECT_EQ(WindowRect(menu).Width(), menu->GetMenuWidth());
    EXPECT_EQ(menu->GetControl(103)->GetRect().right, menu->GetMenuWidth() - 10);
    menu->DestroyWindow();
}

TEST_F(MenuTest, ChosenEntryIsPostedToTheParentAndTheMenuClosesAndFreesItself)
{
    MenuWnd* menu = MakeMenu();
    ASSERT_TRUE(HasEntries(menu)) << "the menu made no entries";
    menu->ShowWindow(SW_SHOWNOACTIVATE);
    HWND hwnd = menu->GetSafeHwnd();

    // Released outside the entry that was pressed: nothing, the menu stays.
    Click(hwnd, CPoint(50, 30), CPoint(50, 60));
    testutil::PumpPending();
    EXPECT_TRUE(parent.posted.empty());
    EXPECT_TRUE(IsWindow(hwnd));
    // Keys do nothing: there is no keyboard choice, and Escape does not close.
    SendMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    testutil::PumpPending();
    EXPECT_TRUE(parent.posted.empty());
    EXPECT_TRUE(IsWindow(hwnd));

    // Pressed and released on the second entry.
    Click(hwnd, CPoint(60, 60), CPoint(61, 62));
    EXPECT_TRUE(WaitGone(hwnd));
    ASSERT_EQ(parent.posted.size(), 1u);
    EXPECT_EQ(parent.posted[0].msg, kSkinMenu);
    EXPECT_EQ(parent.posted[0].wparam, 0u);
    EXPECT_EQ(parent.posted[0].lparam, 101);
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

TEST_F(MenuTest, LosingTheActivationClosesTheMenu)
{
    MenuWnd* menu = MakeMenu();
    HWND hwnd = menu->GetSafeHwnd();
    menu->ShowWindow(SW_SHOWNOACTIVATE);
    // What the system sends when another window is activated.
    SendMessageW(hwnd, WM_NCACTIVATE, TRUE, 0);
    testutil::PumpPending();
    EXPECT_TRUE(IsWindow(hwnd));
    SendMessageW(hwnd, WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(WaitGone(hwnd));
    EXPECT_TRUE(parent.posted.empty());
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

TEST_F(MenuTest, TwoHundredMenusLeaveNoMenuAndNoHandlesBehind)
{
    // Warm up the caches (fonts, classes) before counting handles.
    MenuWnd* first = MakeMenu(3);
    first->DestroyWindow();
    testutil::PumpPending();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 200; ++i) {
        MenuWnd* menu = MakeMenu(3);
        HWND hwnd = menu->GetSafeHwnd();
        menu->ShowWindow(SW_SHOWNOACTIVATE);
        switch (i % 4) {
            case 0: menu->CloseWindow(); break;
            case 1: SendMessageW(hwnd, WM_NCACTIVATE, FALSE, 0); break;
            case 2: PostMessageW(hwnd, WM_USER + 66, 0, 0); break;
            case 3: menu->DestroyWindow(); break;
        }
        ASSERT_TRUE(WaitGone(hwnd)) << i;
    }
    testutil::PumpPending();
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userAfter = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EXPECT_LE(gdiAfter, gdiBefore + 20);
    EXPECT_LE(userAfter, userBefore + 20);
}

// Closes the menu of a modal loop that missed its click, so that the test
// fails (nothing posted to the parent) instead of hanging.
HWND g_modalMenu = nullptr;
void CALLBACK CloseMissedMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (IsWindow(g_modalMenu)) PostMessageW(g_modalMenu, WM_CLOSE, 0, 0);
}

TEST_F(MenuTest, ShowModalEndsWhenAnEntryIsChosenAndTheMenuFreesItself)
{
    MenuWnd* menu = MakeMenu();
    ASSERT_TRUE(HasEntries(menu)) << "the menu made no entries";
    HWND hwnd = menu->GetSafeHwnd();
    g_modalMenu = hwnd;
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, &CloseMissedMenu);
    // The user's click, waiting in the queue for the modal loop.
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 20));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 20));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 20));
    const UINT result = menu->ShowModal(SW_SHOWNOACTIVATE);
    KillTimer(nullptr, watchdog);
    EXPECT_EQ(result, 0u);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
    EXPECT_TRUE(IsWindowEnabled(parent.GetSafeHwnd()));
    testutil::PumpPending();
    ASSERT_EQ(parent.posted.size(), 1u);
    EXPECT_EQ(parent.posted[0].lparam, 100);
}

// Counts how often the frame handler runs.
class CountingMenu : public MenuWnd
{
public:
    CountingMenu() : MenuWnd(nullptr) {}
    int OnWindowPosChanged(WINDOWPOS* pos) override
    {
        ++calls;
        return MenuWnd::OnWindowPosChanged(pos);
    }
    int calls = 0;
};

TEST_F(MenuTest, MovingTheMenuDoesNotRecurseThroughTheFrameReapplication)
{
    auto* menu = new CountingMenu();
    ASSERT_EQ(menu->Create(parent.GetSafeHwnd(), CPoint(300, 200), kSkinMenu, CString(L""), 4, 150,
                           WEXA::BACK_MODE_FRAME),
              1);
    menu->calls = 0;
    menu->SetWindowPos(nullptr, 320, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowRect(menu).TopLeft(), CPoint(320, 240));
    EXPECT_GE(menu->calls, 1);
    EXPECT_LE(menu->calls, 3);
    menu->DestroyWindow();
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

}  // namespace
