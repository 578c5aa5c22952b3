// Native window wrapper under the virtual display: creation, dispatch, modal loops,
// superclassing, centring and the wrappers' behaviour without a window.
#include <gtest/gtest.h>
#include <windows.h>

#include "Manager.h"
#include "MWindow.h"
#include "WindowTestHelpers.h"

using WEXA::MWindow;

namespace {

const UINT kProbeMessage = WM_APP + 7;

class TestWindow : public MWindow
{
public:
    int initCalls = 0;
    int destroyCalls = 0;
    int messages = 0;
    bool refuseCreation = false;
    HWND destroyedHandle = nullptr;
    BOOL ownerEnabledAtProbe = -1;
    UINT closeCode = 0;
    int positionChanges = 0;
    UINT positionFlags = 0;

    int OnInitDialog() override
    {
        ++initCalls;
        return 1;
    }
    void OnDestroyMessage(HWND hwnd) override
    {
        ++destroyCalls;
        destroyedHandle = hwnd;
    }
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        ++messages;
        if (msg == WM_NCCREATE && refuseCreation) return FALSE;
        if (msg == WM_WINDOWPOSCHANGING) {
            ++positionChanges;
            positionFlags = reinterpret_cast<WINDOWPOS*>(static_cast<LPARAM>(lparam))->flags;
        }
        if (msg == kProbeMessage) {
            HWND owner = ::GetWindow(GetSafeHwnd(), GW_OWNER);
            ownerEnabledAtProbe = owner ? ::IsWindowEnabled(owner) : -1;
            PostMessageW(WM_CLOSE, closeCode, 0);
            return 0;
        }
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
};

class TestButton : public MWindow
{
public:
    int messages = 0;
    const wchar_t* GetWindowClassName() const override { return L"WexaTestButton"; }
    const wchar_t* GetSuperClassName() const override { return L"BUTTON"; }
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        ++messages;
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
};

HWND CreatePopup(TestWindow& w, HWND owner, CRect rect, DWORD extraStyle = WS_VISIBLE)
{
    return w.Create(owner, L"test", WS_POPUP | extraStyle, 0, rect);
}

}  // namespace

TEST(MWindow, ShowModalWithoutWindowReturnsMinusOne)
{
    TestWindow w;
    EXPECT_EQ(w.ShowModal(SW_SHOW), 0xFFFFFFFFu);
    EXPECT_EQ(w.ShowModal2(SW_SHOW), 0xFFFFFFFFu);
}

TEST(MWindow, CreateSetsHandleDispatchesAndRunsInitOnce)
{
    TestWindow w;
    HWND hwnd = CreatePopup(w, nullptr, CRect(10, 10, 110, 60));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(w.GetSafeHwnd(), hwnd);
    EXPECT_EQ(w.initCalls, 1);
    EXPECT_GT(w.messages, 0);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    EXPECT_STREQ(cls, L"PavexWindow");

    // A second Create returns the same window and creates nothing.
    int before = w.messages;
    EXPECT_EQ(CreatePopup(w, nullptr, CRect(0, 0, 10, 10)), hwnd);
    EXPECT_EQ(w.initCalls, 1);
    EXPECT_EQ(w.messages, before);

    EXPECT_TRUE(w.DestroyWindow());
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
    EXPECT_EQ(w.destroyCalls, 1);
    EXPECT_EQ(w.destroyedHandle, hwnd);
}

TEST(MWindow, OwnClassIsRegisteredBareWithTheApplicationInstance)
{
    TestWindow w;
    HWND hwnd = CreatePopup(w, nullptr, CRect(0, 0, 20, 20));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCL_STYLE),
              ULONG_PTR(0x0B));  // vertical and horizontal redraw, double clicks
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetClassLongPtrW(hwnd, GCLP_HMODULE)),
              WEXA::Manager::GetInstance());
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HICON), ULONG_PTR(0));
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HCURSOR), ULONG_PTR(0));
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND), ULONG_PTR(0));
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCL_CBCLSEXTRA), ULONG_PTR(0));
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCL_CBWNDEXTRA), ULONG_PTR(0));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)), &MWindow::WndProc);
    // Registering again reports the class as there already.
    EXPECT_EQ(w.RegisterWindowClass(), 1);
    w.DestroyWindow();
}

TEST(MWindow, FailedCreationDoesNotCallOnInitDialog)
{
    TestWindow w;
    w.refuseCreation = true;
    EXPECT_EQ(CreatePopup(w, nullptr, CRect(0, 0, 50, 50)), nullptr);
    EXPECT_EQ(w.initCalls, 0);
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
}

TEST(MWindow, ShortCreateFormsUseDefaults)
{
    TestWindow a;
    HWND hwnd = a.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 800);
    EXPECT_EQ(rc.bottom - rc.top, 600);
    CString title;
    a.GetWindowTextW(title);
    EXPECT_EQ(title, CString(L"PavexWindow"));
    a.DestroyWindow();
}

TEST(MWindow, ClosingModalWindowReturnsCodeAndReenablesOwner)
{
    TestWindow owner;
    ASSERT_NE(CreatePopup(owner, nullptr, CRect(100, 100, 400, 300)), nullptr);
    TestWindow dialog;
    dialog.closeCode = 6;
    ASSERT_NE(CreatePopup(dialog, owner.GetSafeHwnd(), CRect(150, 150, 250, 250), 0), nullptr);

    // The probe runs inside the loop: it sees the owner disabled, then posts WM_CLOSE(6).
    dialog.PostMessageW(kProbeMessage, 0, 0);
    EXPECT_EQ(dialog.ShowModal(SW_SHOW), 6u);
    EXPECT_EQ(dialog.ownerEnabledAtProbe, FALSE);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.destroyCalls, 1);
    owner.DestroyWindow();
}

TEST(MWindow, ShowModal2LeavesOwnerEnabled)
{
    TestWindow owner;
    ASSERT_NE(CreatePopup(owner, nullptr, CRect(100, 100, 400, 300)), nullptr);
    TestWindow popup;
    popup.closeCode = 3;
    ASSERT_NE(CreatePopup(popup, owner.GetSafeHwnd(), CRect(150, 150, 250, 250), 0), nullptr);
    popup.PostMessageW(kProbeMessage, 0, 0);
    EXPECT_EQ(popup.ShowModal2(SW_SHOW), 3u);
    EXPECT_EQ(popup.ownerEnabledAtProbe, TRUE);
    owner.DestroyWindow();
}

TEST(MWindow, WindowDestroyedDirectlyEndsModalLoopWithZero)
{
    TestWindow w;
    ASSERT_NE(CreatePopup(w, nullptr, CRect(0, 0, 50, 50), 0), nullptr);
    struct Killer
    {
        static void CALLBACK Proc(HWND hwnd, UINT, UINT_PTR id, DWORD)
        {
            KillTimer(hwnd, id);
            DestroyWindow(hwnd);
        }
    };
    ASSERT_NE(w.SetTimer(1, 10, &Killer::Proc), 0u);
    EXPECT_EQ(w.ShowModal(SW_SHOW), 0u);
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
}

TEST(MWindow, QuitDuringModalLoopEndsItAndIsPostedAgain)
{
    TestWindow owner;
    ASSERT_NE(CreatePopup(owner, nullptr, CRect(100, 100, 400, 300)), nullptr);
    TestWindow w;
    ASSERT_NE(CreatePopup(w, owner.GetSafeHwnd(), CRect(0, 0, 50, 50), 0), nullptr);
    PostQuitMessage(42);
    EXPECT_EQ(w.ShowModal(SW_SHOW), 0u);
    EXPECT_NE(w.GetSafeHwnd(), nullptr);  // the window is left alone
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 42u);
    w.DestroyWindow();
    owner.DestroyWindow();
}

TEST(MWindow, SuperclassingASystemClassTwiceSucceeds)
{
    TestButton first, second;
    HWND a = first.Create(nullptr, L"one", WS_POPUP | BS_AUTOCHECKBOX, 0, CRect(0, 0, 80, 20));
    HWND b = second.Create(nullptr, L"two", WS_POPUP | BS_AUTOCHECKBOX, 0, CRect(0, 30, 80, 50));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(second.RegisterSuperClass(), 1);  // already registered: still success

    // The object sees the messages and the button's own procedure handles them.
    EXPECT_EQ(GetPropW(a, L"Control"), static_cast<HANDLE>(&first));
    EXPECT_GT(first.messages, 0);
    SendMessageW(b, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    CString text;
    second.GetWindowTextW(text);
    EXPECT_EQ(text, CString(L"two"));

    first.DestroyWindow();
    second.DestroyWindow();
    EXPECT_EQ(first.GetSafeHwnd(), nullptr);
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
}

TEST(MWindow, UnknownSuperclassFailsCreation)
{
    struct Bad : TestWindow
    {
        const wchar_t* GetWindowClassName() const override { return L"WexaNoSuchSuper"; }
        const wchar_t* GetSuperClassName() const override { return L"NoSuchSystemClass"; }
    } w;
    EXPECT_EQ(w.Create(nullptr, L"x", WS_POPUP, 0, CRect(0, 0, 10, 10)), nullptr);
    EXPECT_EQ(w.initCalls, 0);
}

TEST(MWindow, CenterWindowCases)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT work = mi.rcWork;

    TestWindow owner;
    ASSERT_NE(CreatePopup(owner, nullptr, CRect(200, 100, 600, 400)), nullptr);
    TestWindow w;
    ASSERT_NE(CreatePopup(w, owner.GetSafeHwnd(), CRect(0, 0, 100, 50)), nullptr);
    RECT rc;

    // Over a visible owner.
    w.CenterWindow();
    GetWindowRect(w.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc.left, 400 - 50);
    EXPECT_EQ(rc.top, 250 - 25);

    // Over another window given explicitly.
    TestWindow other;
    ASSERT_NE(CreatePopup(other, nullptr, CRect(700, 500, 900, 700)), nullptr);
    w.CenterWindow(&other);
    GetWindowRect(w.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc.left, 800 - 50);
    EXPECT_EQ(rc.top, 600 - 25);

    // Owner near the screen corner: pulled back into the work area.
    owner.MoveWindow(work.left - 150, work.top - 150, 200, 200);
    w.CenterWindow();
    GetWindowRect(w.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc.left, work.left);
    EXPECT_EQ(rc.top, work.top);

    // Owner minimised: centred in the work area of the monitor.
    owner.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(owner.IsIconic());
    w.CenterWindow(nullptr);
    GetWindowRect(w.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc.left, (work.left + work.right) / 2 - 50);
    EXPECT_EQ(rc.top, (work.top + work.bottom) / 2 - 25);

    // A child window is centred in its parent's client area.
    TestWindow parent;
    ASSERT_NE(CreatePopup(parent, nullptr, CRect(50, 50, 350, 250)), nullptr);
    TestWindow child;
    ASSERT_NE(
        child.Create(parent.GetSafeHwnd(), L"child", WS_CHILD | WS_VISIBLE, 0, CRect(0, 0, 40, 20)),
        nullptr);
    child.CenterWindow();
    GetWindowRect(child.GetSafeHwnd(), &rc);
    POINT topLeft = {rc.left, rc.top};
    ScreenToClient(parent.GetSafeHwnd(), &topLeft);
    EXPECT_EQ(topLeft.x, 150 - 20);
    EXPECT_EQ(topLeft.y, 100 - 10);

    w.DestroyWindow();
    other.DestroyWindow();
    owner.DestroyWindow();
    parent.DestroyWindow();
}

TEST(MWindow, WrappersWithoutWindowDoNothing)
{
    TestWindow w;
    RECT rc = {1, 2, 3, 4};
    POINT pt = {5, 6};
    CString text(L"kept");
    EXPECT_EQ(w.ShowWindow(SW_SHOW), 0);
    EXPECT_EQ(w.GetStyle(), 0u);
    EXPECT_EQ(w.ModifyStyle(0, WS_VISIBLE), 0);
    EXPECT_EQ(w.SendMessageW(WM_NULL), 0);
    EXPECT_EQ(w.PostMessageW(WM_NULL), 0);
    EXPECT_FALSE(w.GetClientRect(&rc));
    EXPECT_EQ(rc.left, 1);
    EXPECT_FALSE(w.ClientToScreen(&pt));
    EXPECT_FALSE(w.ClientToScreen(&rc));
    w.GetWindowTextW(text);
    EXPECT_EQ(text, CString(L"kept"));
    EXPECT_EQ(w.GetWindowTextLengthW(), -1);
    EXPECT_EQ(w.SetTimer(1, 10), 0u);
    EXPECT_EQ(w.SetFocus(), nullptr);
    EXPECT_FALSE(w.DestroyWindow());
}

TEST(MWindow, StyleChangesAndRectangleConversion)
{
    TestWindow w;
    ASSERT_NE(CreatePopup(w, nullptr, CRect(30, 40, 130, 90)), nullptr);
    w.positionChanges = 0;
    EXPECT_EQ(w.ModifyStyle(0, WS_POPUP, SWP_FRAMECHANGED), 0);  // already set: no change
    EXPECT_EQ(w.positionChanges, 0);
    // A change with flags applies them with no size, move, z-order or activation change.
    EXPECT_EQ(w.ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED), 1);
    EXPECT_TRUE(w.GetStyle() & WS_BORDER);
    ASSERT_EQ(w.positionChanges, 1);
    const UINT kept = SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    EXPECT_EQ(w.positionFlags & kept, kept);
    // Without flags the style is only stored.
    EXPECT_EQ(w.ModifyExStyle(0, WS_EX_TOOLWINDOW), 1);
    EXPECT_TRUE(w.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(w.positionChanges, 1);
    EXPECT_EQ(w.ModifyStyle(WS_BORDER, 0), 1);
    EXPECT_FALSE(w.GetStyle() & WS_BORDER);
    EXPECT_EQ(w.positionChanges, 1);

    RECT rc = {0, 0, 10, 10};
    ASSERT_TRUE(w.ClientToScreen(&rc));
    POINT origin = {0, 0};
    ClientToScreen(w.GetSafeHwnd(), &origin);
    EXPECT_EQ(rc.left, origin.x);
    EXPECT_EQ(rc.bottom, origin.y + 10);
    ASSERT_TRUE(w.ScreenToClient(&rc));
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.bottom, 10);
    w.DestroyWindow();
}
