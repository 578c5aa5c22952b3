#include "mainwnd/device/DeviceCommands.h"

#include <cstring>
#include <vector>

#include "services/hid/HidDeviceManager.h"

void BuildCommand(uint8_t* buffer, uint8_t command, int offset, int length, const uint8_t* data,
                  int dataLength)
{
    memset(buffer, 0, 64);
    buffer[0] = 0xAA;
    buffer[1] = command;
    buffer[2] = uint8_t(offset & 0xFF);
    buffer[3] = uint8_t((offset >> 8) & 0xFF);
    buffer[4] = uint8_t(length & 0xFF);
    if (data && dataLength > 0) memcpy(buffer + 8, data, size_t(dataLength < 56 ? dataLength : 56));
}

bool SendShortCommand(HidDeviceManager& hid, uint8_t command, int length)
{
    uint8_t buffer[64];
    BuildCommand(buffer, command, 0, length);
    return hid.SendCommand(buffer);
}

bool BeginDeviceSession(HidDeviceManager& hid)
{
    return SendShortCommand(hid, DeviceCommand::kOpen);
}

bool EndDeviceSession(HidDeviceManager& hid)
{
    SendShortCommand(hid, DeviceCommand::kClose);
    return true;
}

bool EndDeviceSession()
{
    return EndDeviceSession(HidDeviceManager::Instance());
}

int CurrentChunkSize(HidDeviceManager& hid)
{
    hid_device* handle = hid.GetCurrentDevice();
    if (!handle) return 0;
    std::vector<ConnectedDevice*> devices;
    hid.GetDevices(devices);
    for (const ConnectedDevice* d : devices)
        if (d->handle == handle) return d->outputReportLength - 1 < 64 ? 24 : 56;
    return 56;
}
