#pragma once
// One keyboard model or one of its connection modes, as config.xml lists them.
#include <string>

struct DeviceEntry
{
    std::wstring name;               // model name; for a mode: its product name
    int deviceType = 0;              // decimal
    std::wstring layoutName;         // layout file name (device_info)
    std::wstring imageConnected;     // executable folder + "device\" + file
    std::wstring imageDisconnected;  // executable folder + "device\" + file
    int connectionMode = 0;          // 0 cable, 1 receiver, 2 third mode
    std::wstring description;
    int vendorId = 0;  // hexadecimal in the file
    int productId = 0;
    std::wstring hidInterface;  // text a device path of this mode contains
    bool connected = false;     // an interface of this mode is open
};
