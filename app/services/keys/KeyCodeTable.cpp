#include "services/keys/KeyCodeTable.h"

#include <windows.h>

namespace {

struct VkUsage
{
    int vk;
    unsigned int usage;
};

// Virtual keys whose usages do not follow from a contiguous range.
const VkUsage kSingleKeys[] = {
    {'0', 39},
    {VK_RETURN, 40},
    {VK_ESCAPE, 41},
    {VK_BACK, 42},
    {VK_TAB, 43},
    {VK_SPACE, 44},
    {VK_OEM_MINUS, 45},
    {VK_OEM_PLUS, 46},
    {VK_OEM_4, 47},
    {VK_OEM_6, 48},
    {VK_OEM_5, 49},
    {KeyCodeTable::kVkNonUsHash, 50},
    {VK_OEM_1, 51},
    {VK_OEM_7, 52},
    {VK_OEM_3, 53},
    {VK_OEM_COMMA, 54},
    {VK_OEM_PERIOD, 55},
    {VK_OEM_2, 56},
    {VK_CAPITAL, 57},
    {VK_SNAPSHOT, 70},
    {VK_SCROLL, 71},
    {VK_PAUSE, 72},
    {VK_INSERT, 73},
    {VK_HOME, 74},
    {VK_PRIOR, 75},
    {VK_DELETE, 76},
    {VK_END, 77},
    {VK_NEXT, 78},
    {VK_RIGHT, 79},
    {VK_LEFT, 80},
    {VK_DOWN, 81},
    {VK_UP, 82},
    {VK_NUMLOCK, 83},
    {VK_DIVIDE, 84},
    {VK_MULTIPLY, 85},
    {VK_SUBTRACT, 86},
    {VK_ADD, 87},
    {VK_SEPARATOR, 88},
    {VK_NUMPAD0, 98},
    {VK_DECIMAL, 99},
    {VK_LCONTROL, 224},
    {VK_LSHIFT, 225},
    {VK_LMENU, 226},
    {VK_LWIN, 227},
    {VK_RCONTROL, 228},
    {VK_RSHIFT, 229},
    {VK_RMENU, 230},
    {VK_RWIN, 231},
    {VK_APPS, 101},
    {VK_OEM_CLEAR, 175},  // the Fn key
    {VK_OEM_102, 100},
    {136, 136},
    {137, 137},
    {138, 138},
    {139, 139},  // International 2-5
    {KeyCodeTable::kVkInternational301, 236},
    {KeyCodeTable::kVkInternational302, 235},
};

}  // namespace

KeyCodeTable& KeyCodeTable::Instance()
{
    static KeyCodeTable table;
    return table;
}

unsigned int KeyCodeTable::VirtualKeyToHidUsage(const int& virtualKey)
{
    const int vk = virtualKey;
    if (vk >= 'A' && vk <= 'Z') return static_cast<unsigned int>(vk - 61);
    if (vk >= '1' && vk <= '9') return static_cast<unsigned int>(vk - 19);
    if (vk >= VK_F1 && vk <= VK_F12) return static_cast<unsigned int>(vk - VK_F1 + 58);
    if (vk >= VK_F13 && vk <= VK_F24) return static_cast<unsigned int>(vk - VK_F13 + 104);
    if (vk >= VK_NUMPAD1 && vk <= VK_NUMPAD9)
        return static_cast<unsigned int>(vk - VK_NUMPAD1 + 89);
    for (const VkUsage& entry : kSingleKeys) {
        if (entry.vk == vk) return entry.usage;
    }
    return 0;
}

unsigned int KeyCodeTable::ModifierUsageToBit(unsigned int usage)
{
    if (usage >= 224 && usage <= 231) return 1u << (usage - 224);
    return usage;
}

CString KeyCodeTable::HidUsageToKeyName(unsigned int usage)
{
    static const wchar_t* const kLetters[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I",
                                              L"J", L"K", L"L", L"M", L"N", L"O", L"P", L"Q", L"R",
                                              L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"};
    static const wchar_t* const kDigits[] = {L"1", L"2", L"3", L"4", L"5",
                                             L"6", L"7", L"8", L"9", L"0"};
    // Usages 40-97 in order; null where the usage has no name (50 is the non-US
    // "#" key, which the keyboard pictures label themselves).
    static const wchar_t* const kMain[] = {
        L"Enter",  L"Esc",      L"Backspace", L"Tab",      L"Space",  L"-",      L"=",
        L"[",      L"]",        L"\\",        nullptr,     L";",      L"'",      L"~",
        L",",      L".",        L"/",         L"CapsLock", L"F1",     L"F2",     L"F3",
        L"F4",     L"F5",       L"F6",        L"F7",       L"F8",     L"F9",     L"F10",
        L"F11",    L"F12",      L"Print",     L"Scroll",   L"Pause",  L"Insert", L"Home",
        L"PgUp",   L"Delete",   L"End",       L"PgDn",     L"\u2192", L"\u2190", L"\u2193",
        L"\u2191", L"Num Lock", L"Num /",     L"Num *",    L"Num -",  L"Num +",  L"Num Enter",
        L"Num 1",  L"Num 2",    L"Num 3",     L"Num 4",    L"Num 5",  L"Num 6",  L"Num 7",
        L"Num 8",  L"Num 9"};
    static_assert(sizeof(kMain) / sizeof(kMain[0]) == 97 - 40 + 1, "usages 40-97");
    static const wchar_t* const kHighF[] = {L"F13", L"F14", L"F15", L"F16", L"F17", L"F18",
                                            L"F19", L"F20", L"F21", L"F22", L"F23", L"F24"};
    // Usages 224-230; the right GUI key (231) has no name.
    static const wchar_t* const kModifiers[] = {L"Ctrl", L"Shift", L"Alt", L"Win",
                                                L"Ctrl", L"Shift", L"Alt"};

    const wchar_t* name = nullptr;
    if (usage >= 4 && usage <= 29)
        name = kLetters[usage - 4];
    else if (usage >= 30 && usage <= 39)
        name = kDigits[usage - 30];
    else if (usage >= 40 && usage <= 97)
        name = kMain[usage - 40];
    else if (usage >= 104 && usage <= 115)
        name = kHighF[usage - 104];
    else if (usage == 101)
        name = L"App";
    else if (usage == 175)
        name = L"Fn";
    else if (usage >= 224 && usage <= 230)
        name = kModifiers[usage - 224];
    return CString(name);
}
