// The combo box and its drop-down in real windows, driven with the messages
// Windows sends (the virtual display has no window manager).
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CirclePalette.h"
#include "MComboBox.h"
#include "MDialog.h"
#include "WindowTestHelpers.h"

namespace {

struct Event
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
};

// Screen position of the host window; far from the other test programs' windows.
const int kX = 300, kY = 420;

class Host : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        combo = dynamic_cast<WEXA::MComboBox*>(
            CreateControl(L"MComboBox", 12, CRect(50, 100, 250, 130), L"", 1, 1));
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        return 0;
    }
    void Open()
    {
        Create(nullptr, L"combo host", WS_POPUP | WS_VISIBLE, 0, CRect(kX, kY, kX + 320, kY + 200));
    }
    WEXA::MComboBox* combo = nullptr;
    std::vector<Event> events;
};

void Fill(WEXA::MComboBox* combo, int n)
{
    for (int i = 0; i < n; ++i) {
        CString text;
        text.Format(L"Item %d", i);
        combo->AddItem(text, 100 + i);
    }
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

void Click(HWND hwnd, int x, int y)
{
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(x, y));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, At(x, y));
}

TEST(ComboBox, DropDownSizeFollowsTheItemCount)
{
    struct Case
    {
        int items, height;
    };
    for (const Case& c : {Case{0, 12}, Case{1, 48}, Case{3, 120}, Case{5, 192}, Case{9, 192}}) {
        Host host;
        host.Open();
        ASSERT_NE(host.combo, nullptr);
        Fill(host.combo, c.items);
        Click(host.GetSafeHwnd(), 60, 110);  // a click on the face opens it
        WEXA::CComboBoxWnd* popup = host.combo->GetDropDown();
        ASSERT_NE(popup, nullptr);
        HWND hwnd = popup->GetSafeHwnd();
        ASSERT_TRUE(IsWindow(hwnd));
        EXPECT_TRUE(host.combo->IsOpen());
        RECT r;
        GetWindowRect(hwnd, &r);
        EXPECT_EQ(r.left, kX + 47) << c.items;
        EXPECT_EQ(r.top, kY + 132) << c.items;
        EXPECT_EQ(r.right - r.left, 206) << c.items;
        EXPECT_EQ(r.bottom - r.top, c.height) << c.items;
        wchar_t cls[64] = {}, title[64] = {};
        GetClassNameW(hwnd, cls, 64);
        GetWindowTextW(hwnd, title, 64);
        EXPECT_STREQ(cls, L"PavexWindow");
        EXPECT_STREQ(title, L"ComboWnd");
        ASSERT_NE(popup->GetList(), nullptr);
        EXPECT_EQ(popup->GetList()->GetItemCount(), c.items);
        EXPECT_EQ(popup->GetList()->GetRect(), CRect(3, 3, 203, c.height - 3));
        host.DestroyWindow();
    }
}

TEST(ComboBox, InsertPositionsAndIndexChecks)
{
    WEXA::MComboBox combo(nullptr, 1, CRect(0, 0, 200, 30), 1, 1);
    Fill(&combo, 3);
    EXPECT_EQ(combo.InsertItem(0, L"first", 7), 3);
    EXPECT_EQ(combo.GetItemText(0), CString(L"first"));
    EXPECT_EQ(combo.InsertItem(2, L"middle", 8), 4);
    EXPECT_EQ(combo.GetItemText(2), CString(L"middle"));
    EXPECT_EQ(combo.GetItemText(3), CString(L"Item 1"));
    EXPECT_EQ(combo.InsertItem(5, L"past", 9), -1);
    EXPECT_EQ(combo.InsertItem(-2, L"bad", 9), -1);
    EXPECT_EQ(combo.AddItem(nullptr, 10), 5);
    EXPECT_EQ(combo.GetItemText(5), CString(L""));
    EXPECT_EQ(combo.GetCount(), 6);

    EXPECT_EQ(combo.SetItemData(-1, 3), 0);
    EXPECT_EQ(combo.GetItemData(-1), 0);
    EXPECT_EQ(combo.SetItemText(-1, L"x"), 0);
    EXPECT_EQ(combo.SetCurSel(6), 0);
    EXPECT_EQ(combo.SetCurSel(2), 1);
    EXPECT_EQ(combo.GetTitle(), CString(L"middle"));
    EXPECT_EQ(combo.SelectData(101), 1);
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(combo.SelectData(555), 0);
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(combo.DeleteItem(3), 1);  // the selection and title stay
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(combo.GetTitle(), CString(L"Item 1"));
    EXPECT_EQ(combo.DeleteItem(0), 1);
    EXPECT_EQ(combo.DeleteItem(0), 1);
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetCurData(), 0);  // index now past the end
    EXPECT_EQ(combo.SetCurSel(-1), 1);
    EXPECT_TRUE(combo.GetTitle().IsEmpty());
}

TEST(ComboBox, ChoosingARowSendsOneEventThenCloses)
{
    Host host;
    host.Open();
    Fill(host.combo, 4);
    host.combo->SetItemText(1, L"Second");
    Click(host.GetSafeHwnd(), 60, 110);
    WEXA::CComboBoxWnd* popup = host.combo->GetDropDown();
    ASSERT_NE(popup, nullptr);
    HWND hwnd = popup->GetSafeHwnd();
    UpdateWindow(hwnd);            // rows get their places when drawn
    Click(hwnd, 40, 3 + 36 + 18);  // row 1
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].id, 12u);
    EXPECT_EQ(host.events[0].code, 2u);
    EXPECT_EQ(host.events[0].wparam, 1u);
    EXPECT_EQ(host.events[0].lparam, 0);
    EXPECT_EQ(host.combo->GetCurSel(), 1);
    EXPECT_EQ(host.combo->GetTitle(), CString(L"Second"));
    EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000));
    EXPECT_FALSE(host.combo->IsOpen());
    EXPECT_EQ(host.events.size(), 1u);  // closing reports nothing to the owner
    host.DestroyWindow();
}

TEST(ComboBox, DropDownClosesOnDeactivationWithoutAChoice)
{
    // Losing the activation, as the system reports it, and a click on the
    // host (which takes the activation).
    for (int way = 0; way < 2; ++way) {
        Host host;
        host.Open();
        Fill(host.combo, 3);
        host.combo->SetCurSel(0);
        Click(host.GetSafeHwnd(), 60, 110);
        HWND hwnd = host.combo->GetDropDown()->GetSafeHwnd();
        ASSERT_TRUE(IsWindow(hwnd));
        if (way == 0)
            SendMessageW(hwnd, WM_NCACTIVATE, FALSE, 0);
        else
            SetActiveWindow(host.GetSafeHwnd());
        EXPECT_TRUE(testutil::PumpUntil([&] { return !IsWindow(hwnd); }, 2000)) << way;
        EXPECT_FALSE(host.combo->IsOpen()) << way;
        EXPECT_TRUE(host.events.empty()) << way;
        EXPECT_EQ(host.combo->GetCurSel(), 0) << way;
        host.DestroyWindow();
    }
}

TEST(ComboBox, WheelStepsDependOnTheRowCount)
{
    for (int rows : {12, 13}) {
        Host host;
        host.Open();
        Fill(host.combo, rows);
        Click(host.GetSafeHwnd(), 60, 110);
        WEXA::CComboBoxList* list = host.combo->GetDropDown()->GetList();
        ASSERT_NE(list, nullptr);
        WEXA::MScroll* bar = list->GetScrollVertical() ? list->m_pScrollVertical : nullptr;
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->m_bVisible, 1);
        EXPECT_EQ(bar->GetScrollMaxRange(), rows * 36);
        const int step = bar->GetRowStep();
        EXPECT_EQ(list->OnControlScroll(1, 1, CPoint(20, 20)), 1);
        EXPECT_EQ(bar->GetScrollCurrentPos(), (rows >= 13 ? 6 : 2) * step) << rows;
        list->OnControlScroll(1, 0, CPoint(20, 20));
        EXPECT_EQ(bar->GetScrollCurrentPos(), 0) << rows;
        host.DestroyWindow();
    }
    // Rows that fit do not scroll.
    Host host;
    host.Open();
    Fill(host.combo, 3);
    Click(host.GetSafeHwnd(), 60, 110);
    EXPECT_EQ(host.combo->GetDropDown()->GetList()->OnControlScroll(1, 1, CPoint(20, 20)), 0);
    host.DestroyWindow();
}

// A few wheel notches bring a long list to its end, its last row whole at its
// bottom (the matrix page's eight modes, "Animations" last).
TEST(ComboBox, ScrolledToTheEndTheLastRowIsWhole)
{
    for (int rows : {6, 8, 12, 20}) {
        SCOPED_TRACE(rows);
        Host host;
        host.Open();
        Fill(host.combo, rows);
        Click(host.GetSafeHwnd(), 60, 110);
        WEXA::CComboBoxWnd* popup = host.combo->GetDropDown();
        ASSERT_NE(popup, nullptr);
        WEXA::CComboBoxList* list = popup->GetList();
        ASSERT_NE(list, nullptr);
        for (int notch = 0; notch < 4; ++notch) list->OnControlScroll(1, 1, CPoint(20, 20));
        InvalidateRect(popup->GetSafeHwnd(), nullptr, TRUE);
        UpdateWindow(popup->GetSafeHwnd());
        const CRect area = list->GetRect();
        const CRect last = list->GetItemRect(rows - 1);
        EXPECT_EQ(last.bottom, area.bottom) << "last row " << last.top << "-" << last.bottom
                                            << " in " << area.top << "-" << area.bottom;
        EXPECT_EQ(last.Height(), 36);
        host.DestroyWindow();
    }
}

TEST(ComboBox, FaceShowsPressedWhileOpenAndGoesAwayCleanly)
{
    auto* host = new Host;
    host->Open();
    Fill(host->combo, 2);
    Click(host->GetSafeHwnd(), 60, 110);
    HWND popup = host->combo->GetDropDown()->GetSafeHwnd();
    SendMessageW(host->GetSafeHwnd(), WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_TRUE(host->combo->IsOpen());
    // The host goes while its drop-down is open: the popup goes with it.
    host->DestroyWindow();
    EXPECT_FALSE(IsWindow(popup));
    delete host;
}

class CountingPopup : public WEXA::CComboBoxWnd
{
public:
    int OnWindowPosChanged(WINDOWPOS* pos) override
    {
        ++changed;
        return CComboBoxWnd::OnWindowPosChanged(pos);
    }
    int changed = 0;
};

TEST(PopupWindow, OneMoveCostsABoundedNumberOfMessages)
{
    CountingPopup popup;
    ASSERT_NE(
        popup.Create(nullptr, L"ComboWnd", 0x96020000, 0x80, CRect(700, 500, 900, 600), nullptr),
        nullptr);
    popup.changed = 0;
    SetWindowPos(popup.GetSafeHwnd(), nullptr, 710, 520, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_GE(popup.changed, 1);
    EXPECT_LE(popup.changed, 3);
    RECT r;
    GetWindowRect(popup.GetSafeHwnd(), &r);
    EXPECT_EQ(r.left, 710);
    EXPECT_EQ(r.top, 520);

    // The default translucency makes the colour key 0xF1F1F1 transparent.
    popup.SetupBackTranslucent();
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup.GetSafeHwnd(), &key, &alpha, &flags));
    EXPECT_EQ(key, 0xF1F1F1u);
    EXPECT_TRUE(flags & LWA_COLORKEY);
    popup.DestroyWindow();
}

POINT g_cursor = {0, 0};
BOOL WINAPI FakeCursor(POINT* p)
{
    *p = g_cursor;
    return TRUE;
}

class WheelHost : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        wheel = dynamic_cast<WEXA::CirclePalette*>(
            CreateControl(L"CirclePalette", 40, CRect(20, 30, 120, 130), L"", 1, 1));
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        return 0;
    }
    WEXA::CirclePalette* wheel = nullptr;
    std::vector<Event> events;
};

TEST(ColourWheel, CursorOutsideTheControlPicksNothing)
{
    WheelHost host;
    host.Create(nullptr, L"wheel", WS_POPUP | WS_VISIBLE, 0, CRect(kX, kY, kX + 200, kY + 200));
    ASSERT_NE(host.wheel, nullptr);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 100; ++y) host.wheel->m_colorTable[x][y] = RGB(x, y, 9);
    WEXA::CirclePalette::SetCursorSource(FakeCursor);
    struct Case
    {
        POINT cursor;  // client coordinates of the host
        CPoint press;
        COLORREF expected;
    };
    const Case cases[] = {
        {{25, 35}, CPoint(72, 80), RGB(5, 5, 9)},
        {{5, 5}, CPoint(73, 81), RGB(5, 5, 9)},         // left of and above the control
        {{190, 190}, CPoint(74, 82), RGB(5, 5, 9)},     // past its right and bottom
        {{-4000, 9000}, CPoint(75, 83), RGB(5, 5, 9)},  // far away
        {{119, 129}, CPoint(76, 84), RGB(99, 99, 9)},   // its last pixel
    };
    for (const Case& c : cases) {
        g_cursor = {kX + c.cursor.x, kY + c.cursor.y};
        host.wheel->OnControlLButtonDown(MK_LBUTTON, c.press);
        EXPECT_EQ(host.wheel->GetSelectColor(), c.expected) << c.cursor.x << "," << c.cursor.y;
        host.wheel->OnControlLButtonUp(0, c.press);
    }
    WEXA::CirclePalette::SetCursorSource(nullptr);
    host.DestroyWindow();
}

}  // namespace
