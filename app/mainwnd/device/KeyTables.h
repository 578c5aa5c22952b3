#pragma once
// The keyboard's key tables: for each Fn layer a default and a current table of
// 128 key-function records (3 bytes at 3 x key index), and the LED index of each
// key index. The program names keys by key code (HID usage; 224-231 the
// modifiers, 240 the Fn key, light-bar LEDs 300 and up) and keeps every key's
// function as a KeyMacroData row; the maps below translate.
#include <cstdint>
#include <map>
#include <vector>

#include "mainwnd/device/DeviceInfo.h"
#include "services/db/DeviceDataRecords.h"

class HidDeviceManager;
class DeviceDataDB;
class KeyFuncCodec;

const int kFnLayers = 4;
const int kDefaultTableSize = 600;  // bytes 0-383 the table, the rest zero
const int kFnKeyCode = 240;

// The keyboard model's tables and maps; filled by the reads below (and by the
// layout file), read by the key and colour routines.
struct KeyMaps
{
    uint8_t defaultTables[kFnLayers][kDefaultTableSize] = {};
    std::map<int, int> keyCodeToIndex;
    std::map<int, int> keyIndexToCode;
    std::map<int, int> keyCodeToLed;
    std::map<int, int> ledToKeyCode;

    // The key index of a key code when it lies in 0-127 (the keyboard's tables);
    // -1 otherwise.
    int IndexOf(int keyCode) const;
};

// The key code a default record names: 10 <one bit> xx the modifier of that bit,
// 10 <other> <usage> the usage (none for 0), 50 02 xx the Fn key; 0 for none.
int KeyCodeOfDefaultRecord(const uint8_t* record);

// Light-bar LEDs of a device type, as key code -> LED index.
std::map<int, int> LightBarLeds(int deviceType);

// What RestoreDefaultKeys did.
struct RestoreResult
{
    bool restored = false;           // rows stored; show them and queue the key write
    std::vector<KeyMacroData> rows;  // the rows restored
};

class KeyTableRoutines
{
public:
    KeyTableRoutines(HidDeviceManager& hid, DeviceDataDB& db, const KeyFuncCodec& codec,
                     KeyMaps& maps)
        : m_hid(hid),
          m_db(db),
          m_codec(codec),
          m_maps(maps)
    {}

    // Reads the four default tables (0x16-0x19) and rebuilds the key-code maps
    // from them. All four or nothing: on a failure the tables and maps keep what
    // they held.
    bool ReadDefaultKeyTables();
    // Reads the key-index-to-LED table (0x32) into the LED maps, adds the light
    // bars of `deviceType`, and reads the probes the model needs (24 bytes of 0x36
    // when zone 2 is present, of 0x3A with a matrix screen). On a failure the maps
    // keep what they held.
    bool ReadLedMap(int deviceType, const DeviceInfo& info);
    // Reads the four current tables (0x1A ... 0x20) and stores the recognised
    // functions in the rows of `profile` that exist, in one transaction, only when
    // all four were read; then gives profiles 2 and 3 without key rows a copy of
    // profile 1's rows.
    bool ReadKeyFunctions(int profile);

    // Task 8 for the key and layer it was queued with: `key` above 0 writes that
    // key's record (3 bytes at 3 x index; a key without a stored function gets its
    // default record), -1 the layer's default table, -2 all four layers: the
    // default tables overlaid with the profile's rows. Inside AA 10 ... AA 11.
    // False when the keyboard did not confirm what was sent (no answer, a
    // refusal, a failed write); true also when there was nothing to send. The
    // layers after one the keyboard did not take are not sent.
    bool WriteKeyFunctions(int profile, int fnLayer, int key);

    // Restores `key` (above 0) or, for 0 and below, the whole Fn layer to the
    // keyboard's default table and stores the rows; the caller shows them and
    // queues the key write for the same key and layer.
    RestoreResult RestoreDefaultKeys(int profile, int fnLayer, int key);

private:
    HidDeviceManager& m_hid;
    DeviceDataDB& m_db;
    const KeyFuncCodec& m_codec;
    KeyMaps& m_maps;
};
