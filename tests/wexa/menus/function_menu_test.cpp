// The function menu window and its list of function rows.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KeyMenuFuncType.h"
#include "MenuExWnd.h"
#include "WindowTestHelpers.h"

namespace {

using WEXA::MenuExWnd;
using WEXA::MenuLifetime;

const UINT kFunctionMenu = 1710;

class Parent : public WEXA::MWindow
{
public:
    std::vector<MSG> posted;
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == kFunctionMenu) posted.push_back(MSG{GetSafeHwnd(), msg, wparam, lparam});
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
};

class FunctionMenuTest : public ::testing::TestWithParam<bool>
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
    Parent parent;
    long baseline = 0;
};

TEST_P(FunctionMenuTest, ClickOnARowPostsItsDataAndCloses)
{
    MenuExWnd* menu = GetParam() ? new WEXA::KeyMenuWnd(nullptr) : new MenuExWnd(nullptr);
    ASSERT_EQ(menu->Create(parent.GetSafeHwnd(), CRect(300, 200, 600, 380), kFunctionMenu,
                           L"img_menu.png"),
              1);
    WEXA::KeyMenuFuncType* list = menu->GetFuncList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetRect(), CRect(10, 10, 290, 170));
    menu->AddItem(L"Play / Pause", L"Media key", 0x0CD, L"");
    menu->AddItem(L"Next track", L"Media key", 0x0B5, L"");
    menu->AddItem(L"Mute", L"Media key", 0x0E2, L"");
    EXPECT_EQ(list->GetItemCount(), 3);
    RECT r;
    GetWindowRect(menu->GetSafeHwnd(), &r);
    EXPECT_EQ(CRect(r), CRect(300, 200, 600, 380));  // rows do not resize the window
    menu->ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(menu->GetSafeHwnd());  // lays the rows out
    testutil::PumpPending();
    HWND hwnd = menu->GetSafeHwnd();

    // Pressed on the first row, released on the second: the second is reported.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 40));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
    SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 110));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(100, 110));
    EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000));
    ASSERT_EQ(parent.posted.size(), 1u);
    EXPECT_EQ(parent.posted[0].wParam, 0x0B5u);
    EXPECT_EQ(parent.posted[0].lParam, 100);
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

TEST_P(FunctionMenuTest, LosingTheActivationClosesIt)
{
    MenuExWnd* menu = GetParam() ? new WEXA::KeyMenuWnd(nullptr) : new MenuExWnd(nullptr);
    ASSERT_EQ(menu->Create(parent.GetSafeHwnd(), CRect(300, 200, 600, 380), kFunctionMenu, L""), 1);
    HWND hwnd = menu->GetSafeHwnd();
    menu->ShowWindow(SW_SHOWNOACTIVATE);
    SendMessageW(hwnd, WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000));
    EXPECT_TRUE(parent.posted.empty());
    EXPECT_EQ(MenuLifetime::LiveMenus(), baseline);
}

INSTANTIATE_TEST_SUITE_P(BothWindows, FunctionMenuTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "KeyMenuWnd" : "MenuExWnd";
                         });

TEST(KeyMenuFuncType, IndicesOutsideTheListAndSelectionByData)
{
    WEXA::KeyMenuFuncType list(nullptr, 100, CRect(0, 0, 200, 300), 1, 0);
    list.AddItem(L"A", L"a", 7, L"");
    list.AddItem(L"B", L"b", 9, L"missing.png");
    EXPECT_EQ(list.GetItemData(1), 9);
    EXPECT_EQ(list.GetItemData(2), 0);
    EXPECT_EQ(list.GetItemText(-1), CString());
    EXPECT_EQ(list.SetItemText(5, L"x"), 0);
    EXPECT_EQ(list.SetItemText(0, L"C"), 1);
    EXPECT_EQ(list.GetItemText(0), CString(L"C"));
    EXPECT_EQ(list.GetCurData(), 0);
    list.SetCurData(9);
    EXPECT_EQ(list.GetSelectItem(), 1);
    list.SetCurData(42);  // no match keeps the selection
    EXPECT_EQ(list.GetSelectItem(), 1);
    list.ClearList();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetSelectItem(), -1);
}

}  // namespace
