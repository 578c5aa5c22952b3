#pragma once
// Sending an animation to the keyboard's LCD screen.
//
// The screen keeps one animation per slot. A send is one command sequence:
//   0x3E  block write, 8 bytes: slot, frame count (16-bit), width (16-bit),
//         height (16-bit), 0; the slot's old animation is dropped
//   then per frame, in order:
//   0x3F  block write, 8 bytes: frame index (16-bit), delay in ms (16-bit),
//         four zeros
//   0x40  block write, width x height x 2 bytes: the frame's pixels, RGB565
//         little-endian, rows from the top
// (all 16-bit values little-endian). A frame of the K75's 240 x 135 screen is
// 64,800 bytes, which the 16-bit chunk offsets still address.
#include <cstdint>
#include <functional>
#include <vector>

class HidDeviceManager;

namespace DeviceCommand {
enum : uint8_t {
    kLcdBegin = 0x3E,   // block write, 8 bytes
    kLcdFrame = 0x3F,   // block write, 8 bytes
    kLcdPixels = 0x40,  // block write, width x height x 2 bytes
};
}  // namespace DeviceCommand

const int kLcdHeaderLength = 8;
// The LCD screen of the keyboards that have one, in pixels.
const int kLcdScreenWidth = 240;
const int kLcdScreenHeight = 135;

struct LcdSendFrame
{
    int delayMs = 0;
    std::vector<uint8_t> pixels;  // width x height x 2 bytes, RGB565
};

// Sends the frames to slot `slot` inside its own command sequence (AA 10 ...
// AA 11). `progress` (may be empty) hears the number of frames sent so far.
// False when a transfer was not acknowledged or a frame's size is wrong;
// nothing is sent after a failure.
bool SendLcdAnimation(HidDeviceManager& hid, int slot, int width, int height,
                      const std::vector<LcdSendFrame>& frames,
                      const std::function<void(int sent)>& progress = {});
