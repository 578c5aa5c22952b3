#pragma once
// Conversions between Windows virtual-key codes, USB HID keyboard usages
// (Keyboard/Keypad usage page), the bits of the boot-keyboard modifier byte and
// the short key names shown to the user. The tables are constant; the class
// holds no state, so every conversion may be called from any thread.

#include "CString.h"

class KeyCodeTable
{
public:
    // Codes of this program above the Windows virtual-key range.
    enum : int {
        kVkNonUsHash = 666,         // non-US "#" and "~" key (usage 50)
        kVkInternational301 = 301,  // usage 236
        kVkInternational302 = 302,  // usage 235
    };

    // The one table object, created on first use.
    static KeyCodeTable& Instance();

    // HID usage of a virtual-key code; 0 when the code has none (the side-neutral
    // VK_SHIFT, VK_CONTROL and VK_MENU among them).
    static unsigned int VirtualKeyToHidUsage(const int& virtualKey);

    // Modifier-byte bit of the usages 224-231 (left Ctrl 1 ... right GUI 128);
    // any other value comes back unchanged.
    static unsigned int ModifierUsageToBit(unsigned int usage);

    // Short name of a key by its HID usage; empty when the usage has none.
    static CString HidUsageToKeyName(unsigned int usage);
};
