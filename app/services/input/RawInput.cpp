#include "services/input/RawInput.h"

#include <cstddef>
#include <vector>

namespace {

bool RegisterDevices(HWND window, DWORD flags)
{
    RAWINPUTDEVICE devices[2] = {};
    devices[0].usUsagePage = 1;
    devices[0].usUsage = 2;  // mouse
    devices[0].dwFlags = flags;
    devices[0].hwndTarget = window;
    devices[1].usUsagePage = 1;
    devices[1].usUsage = 6;  // keyboard
    devices[1].dwFlags = flags;
    devices[1].hwndTarget = window;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE))) return true;
    }
    return false;
}

struct FixedKeyName
{
    int vk;
    const wchar_t* name;
    int code;  // 0: the code stays
};

// Keys named by this table rather than by the keyboard layout; the side-neutral
// modifiers are reported as their left-side keys.
const FixedKeyName kFixedNames[] = {
    {VK_SHIFT, L"Shift", VK_LSHIFT},
    {VK_CONTROL, L"Ctrl", VK_LCONTROL},
    {VK_MENU, L"Alt", VK_LMENU},
    {VK_LSHIFT, L"Shift", 0},
    {VK_RSHIFT, L"RShift", 0},
    {VK_LCONTROL, L"Ctrl", 0},
    {VK_RCONTROL, L"RCtrl", 0},
    {VK_LMENU, L"Alt", 0},
    {VK_RMENU, L"RAlt", 0},
    {VK_LWIN, L"Windows", 0},
    {VK_RWIN, L"RWindows", 0},
    {VK_APPS, L"Application", 0},
    {VK_SNAPSHOT, L"Print Screen", 0},
    {VK_PAUSE, L"Pause", 0},
    {VK_NUMLOCK, L"Num Lock", 0},
    {VK_BROWSER_BACK, L"Backward", 0},
    {VK_BROWSER_FORWARD, L"Forward", 0},
    {VK_BROWSER_REFRESH, L"Refresh", 0},
    {VK_BROWSER_STOP, L"Stop", 0},
    {VK_MEDIA_STOP, L"Stop", 0},
    {VK_BROWSER_SEARCH, L"Search", 0},
    {VK_BROWSER_FAVORITES, L"Favorites", 0},
    {VK_BROWSER_HOME, L"Home", 0},
    {VK_VOLUME_MUTE, L"Vol Mute", 0},
    {VK_VOLUME_DOWN, L"Vol Down", 0},
    {VK_VOLUME_UP, L"Vol Up", 0},
    {VK_MEDIA_NEXT_TRACK, L"Next", 0},
    {VK_MEDIA_PREV_TRACK, L"Prev", 0},
    {VK_MEDIA_PLAY_PAUSE, L"Play/Pause", 0},
    {VK_LAUNCH_MAIL, L"EMail", 0},
    {VK_LAUNCH_MEDIA_SELECT, L"Multimedia", 0},
    {VK_LAUNCH_APP1, L"Computer", 0},
    {VK_LAUNCH_APP2, L"Cal", 0},
};

void TranslateMouse(const RAWMOUSE& mouse, RawInputEvent& event)
{
    struct ButtonFlag
    {
        USHORT flag;
        int code;
        const wchar_t* name;
        int keyUp;
    };
    // In order of precedence when one record carries several transitions.
    static const ButtonFlag kButtons[] = {
        {RI_MOUSE_LEFT_BUTTON_DOWN, RawInputEvent::ButtonLeft, L"MouseL", 0},
        {RI_MOUSE_MIDDLE_BUTTON_DOWN, RawInputEvent::ButtonMiddle, L"MouseM", 0},
        {RI_MOUSE_RIGHT_BUTTON_DOWN, RawInputEvent::ButtonRight, L"MouseR", 0},
        {RI_MOUSE_LEFT_BUTTON_UP, RawInputEvent::ButtonLeft, L"MouseL", 1},
        {RI_MOUSE_MIDDLE_BUTTON_UP, RawInputEvent::ButtonMiddle, L"MouseM", 1},
        {RI_MOUSE_RIGHT_BUTTON_UP, RawInputEvent::ButtonRight, L"MouseR", 1},
        {RI_MOUSE_BUTTON_4_DOWN, RawInputEvent::ButtonBack, L"Backward", 0},
        {RI_MOUSE_BUTTON_4_UP, RawInputEvent::ButtonBack, L"Backward", 1},
        {RI_MOUSE_BUTTON_5_DOWN, RawInputEvent::ButtonForward, L"Forward", 0},
        {RI_MOUSE_BUTTON_5_UP, RawInputEvent::ButtonForward, L"Forward", 1},
    };
    event.kind = RawInputEvent::KindMouse;
    for (const ButtonFlag& b : kButtons) {
        if (mouse.usButtonFlags & b.flag) {
            event.code = b.code;
            event.name = b.name;
            event.keyUp = b.keyUp;
            return;
        }
    }
    // Moves and wheel turns: no button, no code.
    event.keyUp = 0;
    event.name.Empty();
}

void TranslateKeyboard(const RAWKEYBOARD& keyboard, RawInputEvent& event)
{
    event.kind = RawInputEvent::KindKeyboard;
    event.keyUp = (keyboard.Message == WM_KEYUP || keyboard.Message == WM_SYSKEYUP) ? 1 : 0;
    const int vk = keyboard.VKey;
    event.code = vk;

    UINT scanCode = MapVirtualKeyExW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC, GetKeyboardLayout(0));
    // The navigation block shares its scan codes with the keypad; the extended bit
    // makes the layout name the navigation key.
    if ((vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE) scanCode |= 0x100;
    wchar_t buffer[260] = {};
    if (GetKeyNameTextW(static_cast<LONG>(scanCode << 16), buffer, 260) <= 0) buffer[0] = L'\0';
    event.name = buffer;

    for (const FixedKeyName& fixed : kFixedNames) {
        if (fixed.vk == vk) {
            event.name = fixed.name;
            if (fixed.code) event.code = fixed.code;
            break;
        }
    }
}

}  // namespace

bool RegisterRawInput(HWND window)
{
    return RegisterDevices(window, RIDEV_INPUTSINK);
}

bool UnregisterRawInput()
{
    return RegisterDevices(nullptr, RIDEV_REMOVE);
}

void TranslateRawInputData(const RAWINPUT* data, UINT size, RawInputEvent& event)
{
    if (!data || size < sizeof(RAWINPUTHEADER)) return;
    const size_t body = offsetof(RAWINPUT, data);
    switch (data->header.dwType) {
        case RIM_TYPEMOUSE:
            if (size < body + sizeof(RAWMOUSE)) return;
            TranslateMouse(data->data.mouse, event);
            break;
        case RIM_TYPEKEYBOARD:
            if (size < body + sizeof(RAWKEYBOARD)) return;
            TranslateKeyboard(data->data.keyboard, event);
            break;
        default: event.kind = RawInputEvent::KindOtherHid; break;
    }
}

void TranslateRawInput(HRAWINPUT input, RawInputEvent& event)
{
    UINT size = 0;
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0)
        return;
    // RAWINPUT holds a union; keep the buffer aligned for it.
    std::vector<RAWINPUT> buffer((size + sizeof(RAWINPUT) - 1) / sizeof(RAWINPUT));
    UINT read = size;
    const UINT copied =
        GetRawInputData(input, RID_INPUT, buffer.data(), &read, sizeof(RAWINPUTHEADER));
    if (copied == static_cast<UINT>(-1) || copied == 0) return;
    TranslateRawInputData(buffer.data(), copied, event);
}
