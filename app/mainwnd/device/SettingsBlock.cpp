#include "mainwnd/device/SettingsBlock.h"

#include <cstdlib>
#include <cstring>

#include "mainwnd/device/DeviceCommands.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

namespace {

// First byte (the lead byte) of each zone's fields: zones 0, 1, 2, matrix.
const int kZoneStart[4] = {1, 20, 11, 29};

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

void Put24(uint8_t* at, int value)
{
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t((value >> 8) & 0xFF);
    at[2] = uint8_t((value >> 16) & 0xFF);
}

int ConfigInt(DeviceDataDB& db, int profile, const wchar_t* key)
{
    CString text;
    if (!db.GetConfigValue(profile, key, text)) return 0;
    return static_cast<int>(wcstol(text, nullptr, 10));
}

}  // namespace

uint8_t InvertedSpeed(int speedLimit, int speed)
{
    const int limit = Clamp(speedLimit, 0, 255);
    return uint8_t(limit - Clamp(speed, 0, limit));
}

uint8_t UserModeSlot(int lightMode)
{
    return uint8_t(Clamp(lightMode - 128, 0, 4));
}

void PutZoneFields(uint8_t* block, int zone, const LightData& row, int speedLimit, int modeByte)
{
    if (zone < 0 || zone > 3) return;
    uint8_t* p = block + kZoneStart[zone];
    p[0] = 0;
    p[1] = uint8_t(modeByte & 0xFF);
    p[2] = uint8_t(row.brightness & 0xFF);
    p[3] = InvertedSpeed(speedLimit, row.speed);
    p[4] = uint8_t(row.colorful & 0xFF);
    p[5] = uint8_t(row.colorindex & 0xFF);
    p[6] = uint8_t(row.color_value & 0xFF);
    p[7] = uint8_t((row.color_value >> 8) & 0xFF);
    p[8] = uint8_t((row.color_value >> 16) & 0xFF);
}

int ActiveLightModeOfZone(const uint8_t* block, int zone)
{
    if (zone < 0 || zone > 2) return 0;
    const int mode = block[kZoneStart[zone] + 1];
    if (mode == kUserModeByte) return 128 + Clamp(block[10], 0, 4);
    if (zone == 0 && mode >= 30) return 128;
    return mode;
}

void PutPerformanceValues(uint8_t* block, int generation, const PerformanceValues& values)
{
    const int at = generation < 2 ? 29 : 38;
    block[at] = uint8_t(values.gameMode & 0xFF);
    block[at + 1] = uint8_t(values.macMode & 0xFF);
    block[at + 2] = uint8_t(values.lockWin & 0xFF);
    block[at + 3] = uint8_t(values.wasdMode & 0xFF);
    block[at + 4] = uint8_t(values.keyResponse & 0xFF);
    Put24(block + (generation < 2 ? 35 : 46), Clamp(values.sleepSeconds, 0, 0xFFFFFF));
}

PerformanceValues ReadPerformanceValues(const uint8_t* block, int generation)
{
    PerformanceValues values;
    const int at = generation < 2 ? 29 : 38;
    values.gameMode = block[at];
    values.macMode = block[at + 1];
    values.lockWin = block[at + 2];
    values.wasdMode = block[at + 3];
    values.keyResponse = block[at + 4];
    const uint8_t* s = block + (generation < 2 ? 35 : 46);
    values.sleepSeconds = s[0] | (s[1] << 8) | (s[2] << 16);
    return values;
}

LightData SettingsBlockWriter::Row(int profile, int type, int mode)
{
    LightData row;
    m_db.GetLight(profile, type, mode, row);
    return row;
}

bool SettingsBlockWriter::SendUserLightMode(int profile, int zone, int lightMode)
{
    DeviceSession session(m_hid);
    uint8_t block[kSettingsLength] = {};
    if (!m_hid.TransferData(DeviceCommand::kReadSettings, block, kSettingsLength)) return false;
    const LightData row = Row(profile, zone, lightMode);
    PutZoneFields(block, 0, row, m_info.speedLimit[0], kUserModeByte);
    block[10] = UserModeSlot(lightMode);
    return m_hid.TransferData(DeviceCommand::kWriteSettings, block, kSettingsLength);
}

bool SettingsBlockWriter::SendLightMode(int profile, int zone, int lightMode)
{
    if (!m_info.capabilityRead) return false;
    DeviceSession session(m_hid);
    uint8_t block[kSettingsLength] = {};
    if (!m_hid.TransferData(DeviceCommand::kReadSettings, block, kSettingsLength)) return false;
    const LightData row = Row(profile, zone, lightMode);
    if (zone >= 0 && zone <= 2) {
        const int modeByte = zone == 0 && lightMode >= 128 ? kUserModeByte : row.mode;
        PutZoneFields(block, zone, row, m_info.speedLimit[zone], modeByte);
    }
    return m_hid.TransferData(DeviceCommand::kWriteSettings, block, kSettingsLength);
}

bool SettingsBlockWriter::SendMatrixMode(int profile, int matrixMode)
{
    DeviceSession session(m_hid);
    // The keyboard's answer to AA 3D stays in the buffer and goes out as the
    // settings read's data.
    uint8_t block[64];
    BuildCommand(block, DeviceCommand::kMatrixModeLead, 0, 56);
    m_hid.SendCommand(block);
    if (!m_hid.TransferData(DeviceCommand::kReadSettings, block, kSettingsLength)) return false;
    const LightData row = Row(profile, kMatrixLightType, matrixMode);
    if (m_info.generation >= 2) PutZoneFields(block, 3, row, m_info.matrixSpeedLimit, row.mode);
    return m_hid.TransferData(DeviceCommand::kWriteSettings, block, kSettingsLength);
}

bool SettingsBlockWriter::SendPerformanceSettings(int profile)
{
    DeviceSession session(m_hid);
    uint8_t block[kSettingsLength] = {};
    if (!m_hid.TransferData(DeviceCommand::kReadSettings, block, kSettingsLength)) return false;
    PerformanceValues values;
    values.gameMode = ConfigInt(m_db, profile, L"game_mode");
    values.macMode = ConfigInt(m_db, profile, L"mac_mode");
    values.lockWin = ConfigInt(m_db, profile, L"lock_win");
    values.wasdMode = ConfigInt(m_db, profile, L"wasd_mode");
    values.keyResponse = ConfigInt(m_db, profile, L"key_keyresponse");
    const long long seconds = static_cast<long long>(ConfigInt(m_db, profile, L"sleep_time")) * 60;
    values.sleepSeconds = static_cast<int>(seconds < 0          ? 0
                                           : seconds > 0xFFFFFF ? 0xFFFFFF
                                                                : seconds);
    PutPerformanceValues(block, m_info.generation, values);
    return m_hid.TransferData(DeviceCommand::kWriteSettings, block, kSettingsLength);
}
