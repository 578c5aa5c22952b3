#include "mainwnd/device/LcdTransfer.h"

#include <algorithm>

#include "mainwnd/device/DeviceCommands.h"
#include "services/hid/HidDeviceManager.h"

namespace {

void Put16(uint8_t* at, int value)
{
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t((value >> 8) & 0xFF);
}

}  // namespace

bool SendLcdAnimation(HidDeviceManager& hid, int slot, int width, int height,
                      const std::vector<LcdSendFrame>& frames,
                      const std::function<void(int)>& progress)
{
    const size_t frameBytes = size_t(width) * size_t(height) * 2;
    if (width <= 0 || height <= 0 || slot < 0 || slot > 0xFF || frames.size() > 0xFFFF)
        return false;
    for (const LcdSendFrame& frame : frames)
        if (frame.pixels.size() != frameBytes) return false;
    DeviceSession session(hid);
    uint8_t header[kLcdHeaderLength] = {};
    header[0] = uint8_t(slot);
    Put16(header + 1, int(frames.size()));
    Put16(header + 3, width);
    Put16(header + 5, height);
    if (!hid.TransferData(DeviceCommand::kLcdBegin, header, kLcdHeaderLength)) return false;
    std::vector<uint8_t> pixels;
    for (size_t i = 0; i < frames.size(); ++i) {
        uint8_t frameHeader[kLcdHeaderLength] = {};
        Put16(frameHeader, int(i));
        Put16(frameHeader + 2, frames[i].delayMs < 0 ? 0 : std::min(frames[i].delayMs, 0xFFFF));
        if (!hid.TransferData(DeviceCommand::kLcdFrame, frameHeader, kLcdHeaderLength))
            return false;
        // The transfer puts the keyboard's answer into the buffer: a copy goes.
        pixels = frames[i].pixels;
        if (!hid.TransferData(DeviceCommand::kLcdPixels, pixels.data(), int(pixels.size())))
            return false;
        if (progress) progress(int(i) + 1);
    }
    return true;
}
