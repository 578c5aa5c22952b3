#pragma once
// The keyboard's capability block (command 0x12) as the program uses it, and
// the read of capability, settings and battery blocks that starts every profile
// load.
//
// Capability block, 56 bytes: byte 8 protocol generation, byte 13 macro storage
// in units of 256 bytes, bytes 16/17 brightness and speed limit of zone 0 (the
// keys), byte 19 zone 2 present, byte 25 zone 1 present. Generation below 2:
// bytes 21/22 and 27/28 the limits of zones 2 and 1, no matrix screen.
// Generation 2 and later: bytes 22/23 and 28/29 those limits, byte 31 matrix
// screen present, bytes 35/36 its brightness and speed limits.
#include <cstdint>

class HidDeviceManager;
class DeviceDataDB;

struct DeviceInfo
{
    // Set by the first successful capability read; the protocol generation can
    // be 0 on a keyboard that did answer.
    bool capabilityRead = false;
    int generation = 0;
    int macroStorage = 0;  // bytes
    bool zone1Present = false;
    bool zone2Present = false;
    int brightnessLimit[3] = {0, 0, 0};  // zones 0, 1, 2
    int speedLimit[3] = {0, 0, 0};
    bool matrixPresent = false;
    int matrixBrightnessLimit = 0;
    int matrixSpeedLimit = 0;
};

// Fills `info` from a 56-byte capability block by the layout its generation
// selects. Below generation 2 the matrix screen is absent, its brightness limit 0
// and its speed limit keeps its value.
void ParseCapabilityBlock(const uint8_t* block, DeviceInfo& info);

// What ReadDeviceInfo got.
struct DeviceInfoReadResult
{
    bool capabilityRead = false;   // DeviceInfo was updated (the caller sets the tabs)
    bool settingsRead = false;     // configuration values and active light modes stored
    bool batteryAnswered = false;  // the battery block was read (level 0: no battery)
    bool batteryRead = false;      // battery read with a level other than 0
    int batteryLevel = 0;
    int batteryCharging = 0;
    // True when both the capability block and the settings block were read.
    bool Ok() const { return capabilityRead && settingsRead; }
};

// Inside a command sequence the caller opened: reads the capability block into
// `info`, then the settings block, storing its performance values and active
// light modes under `profile`, then the battery block. Nothing is changed by a
// block that was not read whole. Without `storeSettings` the settings block is
// read but nothing of it is stored (the keyboard may hold a half-written
// profile that the database must not take).
DeviceInfoReadResult ReadDeviceInfo(HidDeviceManager& hid, DeviceDataDB& db, int profile,
                                    DeviceInfo& info, bool storeSettings = true);
