// What the keyboard picture and the lists look like on the screen, compared
// with stored references (beside this file): the k87 layout in the none,
// custom, light and user-light modes with hovered, pressed and checked keys;
// the profile list, the macro event list and the macro list with an open
// editor; two device cards.
//
// The program runs alone (test.cmake). Write new references with
// KESTROVA_UPDATE_REFERENCE=1, look at them, and commit them. Every key is
// compared as a region of its own, so one key drawn wrongly fails.
#include <gtest/gtest.h>

#include "CDeviceList.h"
#include "CRecordList.h"
#include "MacroList.h"
#include "ProfileList.h"
#include "ScreenshotCompare.h"
#include "wexa/keyboard/KeyboardLayout.h"
#include "wexa/keyboard/WidgetHost.h"

namespace kbtest {
namespace {

using namespace WEXA;

void Settle(DWORD ms)
{
    const DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > ms; }, ms + 500);
}

// A window at a fixed place on the screen hosting the widgets.
class PictureTest : public ::testing::Test
{
protected:
    static const int kLeft = 200, kTop = 120;

    void Open(int width, int height, COLORREF back)
    {
        area = {kLeft, kTop, kLeft + width, kTop + height};
        ASSERT_NE(host.Create(nullptr, L"pictures", WS_POPUP | WS_VISIBLE, 0, CRect(area)),
                  nullptr);
        host.engine.SetBackColor(back, back);
        hwnd = host.GetSafeHwnd();
        ::SetCursorPos(1900, 1060);
    }
    void TearDown() override
    {
        if (hwnd) host.DestroyWindow();
    }
    // Moves the real cursor too: the engine drops a hover the cursor is not at.
    void Hover(CPoint client)
    {
        POINT screen = client;
        ::ClientToScreen(hwnd, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    void Click(CPoint client)
    {
        Hover(client);
        ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }
    testutil::PixelBuffer Shot()
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        Settle(250);
        return testutil::CaptureScreen(area);
    }

    WidgetHost host;
    HWND hwnd = nullptr;
    RECT area = {};
};

class KeyboardPictureTest : public PictureTest
{
protected:
    void SetUp() override
    {
        Open(922, 350, RGB(24, 27, 33));
        keyboard = host.Make<KeyboardCtrl>(L"KeyboardCtrl", 58, CRect(0, 0, 0, 0));
        ASSERT_NE(keyboard, nullptr);
        ASSERT_EQ(keyboard->SetImage(L"img_key_bkg.png", 4), 1);
        keyboard->SetTextColor(Gdiplus::Color(0xFF333333));
        layout = ReadLayout(L"kestrova_k87");
        FillFromLayout(keyboard, layout, CRect(20, 20, 20 + layout.width, 20 + layout.height));
    }
    CPoint Centre(int code) const
    {
        for (const LayoutKey& k : layout.keys)
            if (k.code == code) {
                CRect r = k.rect;
                r.OffsetRect(20 + 20, 20 + 25);
                return r.CenterPoint();
            }
        return CPoint();
    }
    void Compare(const char* reference)
    {
        testutil::PixelBuffer actual = Shot();
        testutil::ScreenshotCompare compare;
        compare.AddRegion("keyboard", {20, 20, 20 + layout.width, 20 + layout.height});
        for (const LayoutKey& k : layout.keys) {
            CRect r = k.rect;
            r.OffsetRect(20 + 20, 20 + 25);
            compare.AddRegion(std::string(k.name.begin(), k.name.end()), r);
        }
        EXPECT_TRUE(
            compare.MatchesReference(actual, testutil::TestSourceFile(TEST_SOURCE_DIR, reference)));
    }

    KeyboardCtrl* keyboard = nullptr;
    Layout layout;
};

const int kEsc = 0x29, kA = 0x04, kSpace = 0x2C, kEnter = 0x28, kW = 0x1A, kS = 0x16, kD = 0x07;

TEST_F(KeyboardPictureTest, NoneMode)
{
    keyboard->SetKeyboardCtrlMode(100);
    Compare("keyboard_none_reference.png");
}

TEST_F(KeyboardPictureTest, CustomModeWithPressedHoveredAndCheckedKeys)
{
    keyboard->SetKeyboardCtrlMode(101);
    keyboard->SetKeyItemInfo(kA, L"Macro 1", 5, L"Macro 1");
    keyboard->SetKeyItemInfo(kSpace, L"Play/Pause", 2, L"Play/Pause");
    keyboard->SetKeyItemInfo(kEnter, L"Calculator ", 2, L"Calculator ");
    keyboard->SetKeyCheck(kW, 1);
    Click(Centre(kEsc));
    Hover(Centre(kA));
    Compare("keyboard_custom_reference.png");
}

TEST_F(KeyboardPictureTest, LightModeWithFrameSelection)
{
    keyboard->SetKeyboardCtrlMode(103);
    int i = 0;
    for (KEY_INFO* key : keyboard->GetKeyItems()) {
        const int hue = (i++ * 7) % 120;
        keyboard->SetKeyColor(
            key->nKeyCode,
            RGB(hue < 40 ? 230 : 40, hue >= 40 && hue < 80 ? 200 : 60, hue >= 80 ? 230 : 90));
    }
    keyboard->EnableFrameSelect(1);
    keyboard->SetAllSelectColor(RGB(255, 150, 30));
    Click(Centre(kW));
    ::SetKeyboardState([] {
        static BYTE keys[256] = {};
        keys[VK_CONTROL] = 0x80;
        return keys;
    }());
    Click(Centre(kS));
    Click(Centre(kD));
    BYTE none[256] = {};
    ::SetKeyboardState(none);
    ::SetCursorPos(1900, 1060);
    EXPECT_EQ(keyboard->GetCheckItemCount(), 3);
    Compare("keyboard_light_reference.png");
}

TEST_F(KeyboardPictureTest, UserLightMode)
{
    keyboard->SetKeyboardCtrlMode(104);
    keyboard->ResetAllItemsColor(RGB(73, 119, 229));
    keyboard->SetKeyColor(kEsc, RGB(230, 60, 60));
    keyboard->SetKeyColor(kSpace, RGB(60, 200, 90));
    Compare("keyboard_user_light_reference.png");
}

TEST_F(PictureTest, ListsAndDeviceCards)
{
    Open(1400, 900, RGB(246, 247, 250));
    auto* profiles = host.Make<ProfileList>(L"ProfileList", 53, CRect(20, 20, 280, 320));
    ASSERT_NE(profiles, nullptr);
    profiles->SetImage(L"img_profile_more.png", 2);
    profiles->SetItemBkg(L"img_tab_item.png");
    const wchar_t* names[] = {L"Default", L"Gaming", L"Office",   L"Music",
                              L"Travel",  L"Night",  L"Streaming"};
    for (int i = 0; i < 7; ++i) profiles->AddItem(names[i], i + 1, L"icon\\icon_profile.png");
    profiles->SetScrollPos(0);
    profiles->SetCurData(2);

    MPanel* page = new MPanel(&host, 200, CRect(300, 20, 1380, 330), 1);
    page->SetManager(&host.engine);
    host.engine.m_controls.push_back(page);
    auto* events = dynamic_cast<CRecordList*>(
        page->CreateControl(L"CRecordList", 220, CRect(300, 20, 720, 320), L"", 1, 1));
    ASSERT_NE(events, nullptr);
    events->SetTextColor(Gdiplus::Color(0xFF333333));
    events->SetImage(L"icon\\icon_list.png", 8);
    events->SetItemImage(L"img_list_bkg.png", 4);
    events->SetMoreImage(L"btn_more.png", 4);
    events->SetControlRect(events->GetRect());
    const struct
    {
        const wchar_t* text;
        int type, delay;
    } rows[] = {{L"Ctrl", 2, 10},  {L"C", 2, 45},           {L"C", 3, 12},
                {L"Ctrl", 3, 120}, {L"Left button", 4, 60}, {L"Left button", 5, 200},
                {L"Wheel", 8, 30}};
    for (const auto& r : rows) events->AddString(r.text, r.type, 4, r.delay);
    events->SetCurSel(1);

    auto* macros = dynamic_cast<MacroList*>(
        page->CreateControl(L"MacroList", 209, CRect(740, 20, 1040, 320), L"", 1, 1));
    ASSERT_NE(macros, nullptr);
    macros->SetTextColor(Gdiplus::Color(0xFF333333));
    macros->EnableShowEdit(1);
    macros->SetImage(L"img_list_bkg.png", 4);
    macros->SetEditImage(L"btn_more.png", 4);
    macros->SetControlRect(macros->GetRect());
    const wchar_t* macroNames[] = {L"Copy paste", L"Combo A", L"Reload", L"Build", L"Sprint"};
    for (int i = 0; i < 5; ++i) macros->AddString(macroNames[i], 10L + i, -1);
    macros->SetCurSel(0);

    auto* devices = dynamic_cast<CDeviceList*>(
        page->CreateControl(L"CDeviceList", 81, CRect(20, 340, 1380, 890), L"", 1, 1));
    ASSERT_NE(devices, nullptr);
    devices->SetImage(L"icon\\icon_devicestatus.png", 6);
    const std::wstring device = ExeFolder() + L"device\\";
    devices->AddDevice(L"Kestrova-K87", 101, (device + L"kb_tkl_off.png").c_str(),
                       (device + L"kb_tkl_on.png").c_str());
    devices->AddDevice(L"Kestrova-K75-Air", 103, (device + L"kb_75_wireless_off.png").c_str(),
                       (device + L"kb_75_wireless_on.png").c_str());
    devices->SetDeviceState(101, 0, 1);
    devices->SetDeviceState(103, 1, 1);
    devices->SetDeviceBattery(103, 1, 72, 0);
    ::UpdateWindow(hwnd);
    Settle(100);

    // Open the macro list's editor on its third row, and hover a profile.
    const CPoint macroRow(800, 20 + 2 * 40 + 20);
    Hover(macroRow);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(macroRow.x, macroRow.y));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(macroRow.x, macroRow.y));
    ::SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(macroRow.x, macroRow.y));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(macroRow.x, macroRow.y));
    ASSERT_NE(macros->GetEditWindow(), nullptr);
    ASSERT_EQ(macros->GetEditItem(), 2);
    Hover(CPoint(100, 20 + 3 * 50 + 20));

    testutil::PixelBuffer actual = Shot();
    testutil::ScreenshotCompare compare;
    compare.AddControls(&host.engine, hwnd, area);
    compare.AddWindow("macro editor", macros->GetEditWindow()->GetSafeHwnd(), area);
    for (int i = 0; i < 7; ++i)
        compare.AddRegion("event row", {300, 20 + 36 * i, 720, 20 + 36 * (i + 1)});
    for (int i = 0; i < 7; ++i)
        compare.AddRegion("profile row", {20, 20 + 50 * i, 280, 20 + 50 * (i + 1)});
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "lists_reference.png")));
}

}  // namespace
}  // namespace kbtest
