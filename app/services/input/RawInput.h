#pragma once
// Raw input of every mouse and keyboard for one window (delivered also while the
// window is in the background), and the translation of one WM_INPUT into a key or
// button event with a display name. Used by the key test.

#include <windows.h>

#include "CString.h"

struct RawInputEvent
{
    enum : int { KindNone = 0, KindMouse = 1, KindKeyboard = 2, KindOtherHid = 3 };
    // Mouse button codes.
    enum : int {
        ButtonLeft = 1,
        ButtonMiddle = 2,
        ButtonRight = 3,
        ButtonBack = 7,
        ButtonForward = 8
    };

    int kind = KindNone;
    int keyUp = 0;  // 1 for a key or button release, 0 for a press
    // Keyboard: virtual-key code (VK_SHIFT, VK_CONTROL and VK_MENU become their
    // left-side codes); mouse: button code.
    int code = 0;
    CString name;  // display name; empty when the event has none
};

// Subscribes the window to the raw input of mice (usage page 1, usage 2) and
// keyboards (page 1, usage 6) with RIDEV_INPUTSINK. A failed registration is tried
// once more. Returns whether it succeeded.
bool RegisterRawInput(HWND window);

// Ends both subscriptions of the process (RIDEV_REMOVE). A failed removal is tried
// once more. Returns whether it succeeded.
bool UnregisterRawInput();

// Fills the event from the data of one WM_INPUT. When the data cannot be read,
// the event is left as it was (a freshly constructed event keeps kind 0).
void TranslateRawInput(HRAWINPUT input, RawInputEvent& event);

// The same from raw-input data already read (size in bytes, as GetRawInputData
// gives it). Data too short for its type leaves the event as it was.
void TranslateRawInputData(const RAWINPUT* data, UINT size, RawInputEvent& event);
