#pragma once
// The keyboard's 64-byte settings block (read with 0x14, written with 0x15) and
// the routines that carry stored settings into it. Each writer reads the block,
// changes only its own bytes and writes all 64 back, so settings other routines
// own survive.
//
// Layout (both generations): zone 0 (keys) bytes 1-10, zone 2 bytes 11-19, zone 1
// bytes 20-28, each: lead byte (written 0), mode, brightness, speed (stored as the
// zone's speed limit minus the speed), colourful flag, colour index, R, G, B;
// byte 10 is zone 0's user-mode slot (user modes 128-132 are mode byte 0xFD with
// slot 0-4). Generation below 2: bytes 29-33 game mode, Mac mode, Windows-key
// lock, WASD swap, key response, 35-37 sleep time in seconds (24-bit
// little-endian). Generation 2 and later: bytes 29-37 the matrix screen (as a
// zone), 38-42 the performance values, 46-48 the sleep time.
#include <cstdint>

#include "mainwnd/device/DeviceInfo.h"
#include "services/db/DeviceDataRecords.h"

class HidDeviceManager;
class DeviceDataDB;

// Zone-0 mode byte of a user mode.
const uint8_t kUserModeByte = 0xFD;
// Light-zone type of the matrix screen's rows in t_light_data.
const int kMatrixLightType = 16;

struct PerformanceValues
{
    int gameMode = 0;
    int macMode = 0;
    int lockWin = 0;
    int wasdMode = 0;
    int keyResponse = 0;
    int sleepSeconds = 0;
};

// The stored speed as the block keeps it: limit - speed, with the speed first
// brought into 0..limit (never wrapped).
uint8_t InvertedSpeed(int speedLimit, int speed);
// The user-mode slot of a light mode: mode - 128 brought into 0-4.
uint8_t UserModeSlot(int lightMode);

// Puts a light row into a zone's bytes (zone 0, 1, 2, or 3 for the matrix
// screen); `modeByte` is what goes into the mode byte. Other zones change
// nothing.
void PutZoneFields(uint8_t* block, int zone, const LightData& row, int speedLimit, int modeByte);
// The mode a zone's bytes name, as the lighting page stores it: for zone 0 a byte
// below 30 is the mode, 0xFD the user mode 128 + the slot byte (10), any other
// byte user mode 128; zones 1 and 2 read 0xFD the same way and any other byte as
// it stands.
int ActiveLightModeOfZone(const uint8_t* block, int zone);

void PutPerformanceValues(uint8_t* block, int generation, const PerformanceValues& values);
PerformanceValues ReadPerformanceValues(const uint8_t* block, int generation);

// The four writers. Each sends AA 10, reads the block, writes it back changed and
// sends AA 11 (also when the read failed; a failed read writes nothing). Each
// returns true only when the keyboard acknowledged every chunk of the write:
// a failed read, a refused or unanswered write and a keyboard that is gone are
// all false.
class SettingsBlockWriter
{
public:
    SettingsBlockWriter(HidDeviceManager& hid, DeviceDataDB& db, const DeviceInfo& info)
        : m_hid(hid),
          m_db(db),
          m_info(info)
    {}

    // Zone 0 shows user mode `lightMode` (128-132) with the row of (profile,
    // zone, lightMode).
    bool SendUserLightMode(int profile, int zone, int lightMode);
    // Zone `zone` shows `lightMode` with its row. Nothing at all (false) before a
    // capability block was read.
    bool SendLightMode(int profile, int zone, int lightMode);
    // AA 3D first; on generation 2 and later the matrix bytes get the row of
    // (profile, 16, matrixMode); the block is written back in either case.
    bool SendMatrixMode(int profile, int matrixMode);
    // The performance configuration values of the profile.
    bool SendPerformanceSettings(int profile);

private:
    LightData Row(int profile, int type, int mode);

    HidDeviceManager& m_hid;
    DeviceDataDB& m_db;
    const DeviceInfo& m_info;
};
