// Raw-input translation on constructed records, and the subscription driven by
// injected input.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "InputTestSupport.h"
#include "WindowTestHelpers.h"
#include "services/input/RawInput.h"

using namespace inputtest;

namespace {

RAWINPUT KeyboardRecord(USHORT vk, UINT message)
{
    RAWINPUT r = {};
    r.header.dwType = RIM_TYPEKEYBOARD;
    r.header.dwSize = sizeof(RAWINPUT);
    r.data.keyboard.VKey = vk;
    r.data.keyboard.Message = message;
    r.data.keyboard.MakeCode = static_cast<USHORT>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    r.data.keyboard.Flags =
        (message == WM_KEYUP || message == WM_SYSKEYUP) ? RI_KEY_BREAK : RI_KEY_MAKE;
    return r;
}

RAWINPUT MouseRecord(USHORT buttonFlags, USHORT buttonData = 0)
{
    RAWINPUT r = {};
    r.header.dwType = RIM_TYPEMOUSE;
    r.header.dwSize = sizeof(RAWINPUT);
    r.data.mouse.usButtonFlags = buttonFlags;
    r.data.mouse.usButtonData = buttonData;
    return r;
}

RawInputEvent Translate(const RAWINPUT& r, UINT size = sizeof(RAWINPUT))
{
    RawInputEvent e;
    TranslateRawInputData(&r, size, e);
    return e;
}

// The layout's own name for a scan code (with the extended bit in 0x100).
std::wstring LayoutName(UINT scanCode)
{
    wchar_t buf[260] = {};
    GetKeyNameTextW(static_cast<LONG>(scanCode << 16), buf, 260);
    return buf;
}

UINT ScanCode(UINT vk)
{
    return MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, GetKeyboardLayout(0));
}

std::string Narrow(const wchar_t* w)
{
    std::string s;
    for (; *w; ++w) s += *w < 128 ? char(*w) : '?';
    return s;
}

}  // namespace

TEST(RawInputTranslate, KeysWithFixedNamesAndLeftSideCodes)
{
    struct Case
    {
        USHORT vk;
        const wchar_t* name;
        int code;
    };
    const Case cases[] = {
        {VK_SHIFT, L"Shift", VK_LSHIFT},  // also what a right-Shift press reports
        {VK_CONTROL, L"Ctrl", VK_LCONTROL},
        {VK_MENU, L"Alt", VK_LMENU},
        {VK_LSHIFT, L"Shift", VK_LSHIFT},
        {VK_RSHIFT, L"RShift", VK_RSHIFT},
        {VK_LCONTROL, L"Ctrl", VK_LCONTROL},
        {VK_RCONTROL, L"RCtrl", VK_RCONTROL},
        {VK_LMENU, L"Alt", VK_LMENU},
        {VK_RMENU, L"RAlt", VK_RMENU},
        {VK_LWIN, L"Windows", VK_LWIN},
        {VK_RWIN, L"RWindows", VK_RWIN},
        {VK_APPS, L"Application", VK_APPS},
        {VK_SNAPSHOT, L"Print Screen", VK_SNAPSHOT},
        {VK_PAUSE, L"Pause", VK_PAUSE},
        {VK_NUMLOCK, L"Num Lock", VK_NUMLOCK},
        {166, L"Backward", 166},
        {167, L"Forward", 167},
        {168, L"Refresh", 168},
        {169, L"Stop", 169},
        {178, L"Stop", 178},
        {170, L"Search", 170},
        {171, L"Favorites", 171},
        {172, L"Home", 172},
        {173, L"Vol Mute", 173},
        {174, L"Vol Down", 174},
        {175, L"Vol Up", 175},
        {176, L"Next", 176},
        {177, L"Prev", 177},
        {179, L"Play/Pause", 179},
        {180, L"EMail", 180},
        {181, L"Multimedia", 181},
        {182, L"Computer", 182},
        {183, L"Cal", 183},
    };
    for (const Case& c : cases) {
        const RawInputEvent e = Translate(KeyboardRecord(c.vk, WM_KEYDOWN));
        EXPECT_EQ(e.kind, RawInputEvent::KindKeyboard) << c.vk;
        EXPECT_EQ(e.keyUp, 0) << c.vk;
        EXPECT_EQ(e.code, c.code) << c.vk;
        EXPECT_STREQ(e.name.GetString(), c.name) << c.vk;
    }
}

TEST(RawInputTranslate, ReleaseFlagFollowsTheKeyboardMessage)
{
    const struct
    {
        UINT message;
        int keyUp;
    } cases[] = {{WM_KEYDOWN, 0}, {WM_SYSKEYDOWN, 0}, {WM_KEYUP, 1}, {WM_SYSKEYUP, 1}};
    for (const auto& c : cases) {
        const RawInputEvent e = Translate(KeyboardRecord('A', c.message));
        EXPECT_EQ(e.kind, RawInputEvent::KindKeyboard);
        EXPECT_EQ(e.keyUp, c.keyUp) << c.message;
        EXPECT_EQ(e.code, 'A');
    }
}

TEST(RawInputTranslate, OtherKeysAreNamedByTheLayoutNavigationKeysAsExtended)
{
    struct Case
    {
        USHORT vk;
        bool extended;
    };
    const Case cases[] = {
        {'A', false},       {'7', false},        {VK_F5, false},      {VK_ESCAPE, false},
        {VK_SPACE, false},  {VK_NUMPAD0, false}, {VK_NUMPAD8, false}, {VK_DECIMAL, false},
        {VK_DIVIDE, false}, {VK_INSERT, true},   {VK_DELETE, true},   {VK_HOME, true},
        {VK_END, true},     {VK_PRIOR, true},    {VK_NEXT, true},     {VK_LEFT, true},
        {VK_UP, true},      {VK_RIGHT, true},    {VK_DOWN, true},
    };
    for (const Case& c : cases) {
        const UINT scan = ScanCode(c.vk) | (c.extended ? 0x100 : 0);
        const std::wstring want = LayoutName(scan);
        const RawInputEvent e = Translate(KeyboardRecord(c.vk, WM_KEYDOWN));
        EXPECT_EQ(e.code, c.vk);
        // (Wine's layouts give the keypad's virtual keys no scan code, hence no name.)
        if (ScanCode(c.vk) != 0) {
            EXPECT_FALSE(e.name.IsEmpty()) << c.vk;
        }
        EXPECT_EQ(std::wstring(e.name.GetString()), want) << c.vk << " " << Narrow(e.name);
    }
    // Insert shares its scan code with keypad 0: without the extended bit the
    // layout would name the keypad key.
    const RawInputEvent insert = Translate(KeyboardRecord(VK_INSERT, WM_KEYDOWN));
    const std::wstring keypadName = LayoutName(ScanCode(VK_INSERT));
    EXPECT_FALSE(insert.name.IsEmpty());
    EXPECT_NE(std::wstring(insert.name.GetString()), keypadName)
        << Narrow(insert.name) << " / " << Narrow(keypadName.c_str());
}

TEST(RawInputTranslate, MouseButtonsInOrderOfPrecedence)
{
    struct Case
    {
        USHORT flags;
        int code;
        const wchar_t* name;
        int keyUp;
    };
    const Case cases[] = {
        {RI_MOUSE_LEFT_BUTTON_DOWN, 1, L"MouseL", 0},
        {RI_MOUSE_MIDDLE_BUTTON_DOWN, 2, L"MouseM", 0},
        {RI_MOUSE_RIGHT_BUTTON_DOWN, 3, L"MouseR", 0},
        {RI_MOUSE_LEFT_BUTTON_UP, 1, L"MouseL", 1},
        {RI_MOUSE_MIDDLE_BUTTON_UP, 2, L"MouseM", 1},
        {RI_MOUSE_RIGHT_BUTTON_UP, 3, L"MouseR", 1},
        {RI_MOUSE_BUTTON_4_DOWN, 7, L"Backward", 0},
        {RI_MOUSE_BUTTON_4_UP, 7, L"Backward", 1},
        {RI_MOUSE_BUTTON_5_DOWN, 8, L"Forward", 0},
        {RI_MOUSE_BUTTON_5_UP, 8, L"Forward", 1},
        // several transitions in one record: the first of the list above wins
        {RI_MOUSE_LEFT_BUTTON_UP | RI_MOUSE_RIGHT_BUTTON_DOWN, 3, L"MouseR", 0},
        {RI_MOUSE_RIGHT_BUTTON_UP | RI_MOUSE_MIDDLE_BUTTON_UP, 2, L"MouseM", 1},
        {RI_MOUSE_BUTTON_5_DOWN | RI_MOUSE_BUTTON_4_UP, 7, L"Backward", 1},
        {RI_MOUSE_WHEEL | RI_MOUSE_LEFT_BUTTON_DOWN, 1, L"MouseL", 0},
    };
    for (const Case& c : cases) {
        const RawInputEvent e = Translate(MouseRecord(c.flags));
        EXPECT_EQ(e.kind, RawInputEvent::KindMouse) << std::hex << c.flags;
        EXPECT_EQ(e.code, c.code) << std::hex << c.flags;
        EXPECT_STREQ(e.name.GetString(), c.name) << std::hex << c.flags;
        EXPECT_EQ(e.keyUp, c.keyUp) << std::hex << c.flags;
    }
}

TEST(RawInputTranslate, MovesWheelAndOtherDevicesCarryNoButton)
{
    for (USHORT flags : {USHORT(0), USHORT(RI_MOUSE_WHEEL)}) {
        RawInputEvent e;
        e.code = 42;
        e.keyUp = 1;
        e.name = L"old";
        const RAWINPUT r = MouseRecord(flags, 120);
        TranslateRawInputData(&r, sizeof r, e);
        EXPECT_EQ(e.kind, RawInputEvent::KindMouse);
        EXPECT_EQ(e.keyUp, 0);
        EXPECT_TRUE(e.name.IsEmpty());
        EXPECT_EQ(e.code, 42) << "no code is set for a move or a wheel turn";
    }

    RAWINPUT hid = {};
    hid.header.dwType = RIM_TYPEHID;
    hid.header.dwSize = sizeof hid;
    RawInputEvent e;
    e.code = 5;
    TranslateRawInputData(&hid, sizeof hid, e);
    EXPECT_EQ(e.kind, RawInputEvent::KindOtherHid);
    EXPECT_EQ(e.code, 5);
    EXPECT_TRUE(e.name.IsEmpty());
}

TEST(RawInputTranslate, UnreadableInputLeavesTheEventAlone)
{
    RawInputEvent fresh;
    TranslateRawInput(reinterpret_cast<HRAWINPUT>(static_cast<ULONG_PTR>(0x1234)), fresh);
    EXPECT_EQ(fresh.kind, RawInputEvent::KindNone);
    EXPECT_TRUE(fresh.name.IsEmpty());

    // Records cut short of their body are not read.
    const RAWINPUT key = KeyboardRecord('A', WM_KEYDOWN);
    const RAWINPUT click = MouseRecord(RI_MOUSE_LEFT_BUTTON_DOWN);
    for (UINT size : {0u, UINT(sizeof(RAWINPUTHEADER)), UINT(sizeof(RAWINPUTHEADER) + 4)}) {
        EXPECT_EQ(Translate(key, size).kind, RawInputEvent::KindNone) << size;
        EXPECT_EQ(Translate(click, size).kind, RawInputEvent::KindNone) << size;
    }
    RawInputEvent e;
    TranslateRawInputData(nullptr, sizeof(RAWINPUT), e);
    EXPECT_EQ(e.kind, RawInputEvent::KindNone);
}

namespace {

// A window subscribed to raw input that translates every WM_INPUT it gets.
struct RawInputWindow
{
    static std::vector<RawInputEvent>* sink;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_INPUT && sink) {
            RawInputEvent e;
            TranslateRawInput(reinterpret_cast<HRAWINPUT>(l), e);
            sink->push_back(e);
        }
        return DefWindowProcW(h, m, w, l);
    }
};
std::vector<RawInputEvent>* RawInputWindow::sink = nullptr;

int CountEvents(const std::vector<RawInputEvent>& events, int kind, int code, int keyUp)
{
    int n = 0;
    for (const auto& e : events)
        n += (e.kind == kind && e.code == code && e.keyUp == keyUp) ? 1 : 0;
    return n;
}

UINT RegisteredDeviceCount()
{
    UINT count = 0;
    GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
    return count;
}

}  // namespace

TEST(RawInputSubscription, InjectedKeysAndClicksArriveTranslatedUntilUnregistered)
{
    std::vector<RawInputEvent> events;
    RawInputWindow::sink = &events;
    RecordingWindow surface(0, true);
    SetCursorPos(150, 150);
    HWND window = surface.hwnd();
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RawInputWindow::Proc));

    ASSERT_TRUE(RegisterRawInput(window));
    std::vector<RAWINPUTDEVICE> devices(RegisteredDeviceCount());
    UINT count = static_cast<UINT>(devices.size());
    ASSERT_EQ(count, 2u);
    GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE));
    for (const auto& d : devices) {
        EXPECT_EQ(d.usUsagePage, 1);
        EXPECT_TRUE(d.usUsage == 2 || d.usUsage == 6) << d.usUsage;
        EXPECT_EQ(d.hwndTarget, window);
        EXPECT_TRUE(d.dwFlags & RIDEV_INPUTSINK);
    }

    SendKey(VK_F9, false);
    SendKey(VK_F9, true);
    SendMouse(MOUSEEVENTF_MIDDLEDOWN);
    SendMouse(MOUSEEVENTF_MIDDLEUP);
    SendMouse(MOUSEEVENTF_XDOWN, XBUTTON1);
    SendMouse(MOUSEEVENTF_XUP, XBUTTON1);
    SendMouse(MOUSEEVENTF_XDOWN, XBUTTON2);
    SendMouse(MOUSEEVENTF_XUP, XBUTTON2);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(testutil::PumpUntil(
        [&] {
            return CountEvents(events, RawInputEvent::KindMouse, RawInputEvent::ButtonRight, 1) > 0;
        },
        3000));
    for (int button :
         {RawInputEvent::ButtonMiddle, RawInputEvent::ButtonBack, RawInputEvent::ButtonForward}) {
        EXPECT_EQ(CountEvents(events, RawInputEvent::KindMouse, button, 0), 1) << button;
        EXPECT_EQ(CountEvents(events, RawInputEvent::KindMouse, button, 1), 1) << button;
    }
    EXPECT_EQ(CountEvents(events, RawInputEvent::KindKeyboard, VK_F9, 0), 1);
    EXPECT_EQ(CountEvents(events, RawInputEvent::KindKeyboard, VK_F9, 1), 1);
    EXPECT_EQ(CountEvents(events, RawInputEvent::KindMouse, RawInputEvent::ButtonRight, 0), 1);
    for (const auto& e : events) {
        if (e.kind == RawInputEvent::KindKeyboard) {
            EXPECT_FALSE(e.name.IsEmpty());
        }
        if (e.kind == RawInputEvent::KindMouse && e.code == RawInputEvent::ButtonRight) {
            EXPECT_STREQ(e.name.GetString(), L"MouseR");
        }
    }

    ASSERT_TRUE(UnregisterRawInput());
    EXPECT_EQ(RegisteredDeviceCount(), 0u);
    events.clear();
    SendKey(VK_F9, false);
    SendKey(VK_F9, true);
    Settle();
    EXPECT_TRUE(events.empty());
    RawInputWindow::sink = nullptr;
}
