#include "mainwnd/device/DeviceInfo.h"

#include <cstring>

#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/SettingsBlock.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

void ParseCapabilityBlock(const uint8_t* block, DeviceInfo& info)
{
    info.capabilityRead = true;
    info.generation = block[8];
    info.macroStorage = block[13] * 256;
    info.brightnessLimit[0] = block[16];
    info.speedLimit[0] = block[17];
    info.zone2Present = block[19] == 1;
    info.zone1Present = block[25] == 1;
    if (info.generation < 2) {
        info.brightnessLimit[2] = block[21];
        info.speedLimit[2] = block[22];
        info.brightnessLimit[1] = block[27];
        info.speedLimit[1] = block[28];
        info.matrixPresent = false;
        info.matrixBrightnessLimit = 0;
    } else {
        info.brightnessLimit[2] = block[22];
        info.speedLimit[2] = block[23];
        info.brightnessLimit[1] = block[28];
        info.speedLimit[1] = block[29];
        info.matrixPresent = block[31] != 0;
        info.matrixBrightnessLimit = block[35];
        info.matrixSpeedLimit = block[36];
    }
}

DeviceInfoReadResult ReadDeviceInfo(HidDeviceManager& hid, DeviceDataDB& db, int profile,
                                    DeviceInfo& info, bool storeSettings)
{
    DeviceInfoReadResult result;
    uint8_t capability[128] = {};
    if (!hid.TransferData(DeviceCommand::kCapability, capability, kCapabilityLength)) return result;
    ParseCapabilityBlock(capability, info);
    result.capabilityRead = true;

    uint8_t settings[kSettingsLength] = {};
    if (!hid.TransferData(DeviceCommand::kReadSettings, settings, kSettingsLength)) return result;
    if (storeSettings) {
        const PerformanceValues values = ReadPerformanceValues(settings, info.generation);
        auto store = [&](const wchar_t* key, int value) {
            wchar_t text[16];
            swprintf(text, 16, L"%d", value);
            db.SetConfigValue(profile, key, text);
        };
        store(L"mac_mode", values.macMode);
        store(L"game_mode", values.gameMode);
        store(L"lock_win", values.lockWin);
        store(L"wasd_mode", values.wasdMode);
        store(L"sleep_time", values.sleepSeconds / 60);
        store(L"key_keyresponse", values.keyResponse);
        db.SetActiveLightMode(profile, 0, ActiveLightModeOfZone(settings, 0));
        db.SetActiveLightMode(profile, 2, ActiveLightModeOfZone(settings, 2));
        db.SetActiveLightMode(profile, 1, ActiveLightModeOfZone(settings, 1));
    }
    result.settingsRead = true;

    uint8_t battery[kBatteryLength] = {};
    if (hid.TransferData(DeviceCommand::kBattery, battery, kBatteryLength)) {
        result.batteryAnswered = true;
        result.batteryRead = battery[0] != 0;
        if (!result.batteryRead) return result;
        result.batteryLevel = battery[0];
        result.batteryCharging = battery[1];
    }
    return result;
}
