#include "mainwnd/device/KeyTables.h"

#include <cstring>

#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

int KeyMaps::IndexOf(int keyCode) const
{
    auto it = keyCodeToIndex.find(keyCode);
    if (it == keyCodeToIndex.end() || it->second < 0 || it->second >= kKeyCount) return -1;
    return it->second;
}

int KeyCodeOfDefaultRecord(const uint8_t* record)
{
    if (record[0] == 0x10) {
        for (int n = 0; n < 8; ++n)
            if (record[1] == (1 << n)) return 224 + n;
        return record[2];
    }
    if (record[0] == 0x50 && record[1] == 2) return kFnKeyCode;
    return 0;
}

std::map<int, int> LightBarLeds(int deviceType)
{
    std::map<int, int> leds;
    if (deviceType == 101) {
        for (int i = 0; i < 9; ++i) leds[300 + i] = 87 + i;
        for (int i = 0; i < 24; ++i) leds[310 + i] = 96 + i;
        // The right strip's codes follow the top strip's last two (332, 333); the
        // right strip is written last and wins.
        for (int i = 0; i < 9; ++i) leds[332 + i] = 120 + i;
    } else if (deviceType == 102) {
        for (int i = 0; i < 27; ++i) leds[300 + i] = 80 + i;
    }
    return leds;
}

bool KeyTableRoutines::ReadDefaultKeyTables()
{
    uint8_t tables[kFnLayers][kDefaultTableSize] = {};
    for (int layer = 0; layer < kFnLayers; ++layer) {
        if (!m_hid.TransferData(uint8_t(DeviceCommand::kReadDefaultKeys + layer), tables[layer],
                                kKeyTableLength))
            return false;
    }
    memcpy(m_maps.defaultTables, tables, sizeof tables);
    m_maps.keyCodeToIndex.clear();
    for (int i = 0; i < kKeyCount; ++i) {
        const int code = KeyCodeOfDefaultRecord(&tables[0][3 * i]);
        if (code == 0) continue;
        m_maps.keyIndexToCode[i] = code;
        m_maps.keyCodeToIndex[code] = i;
    }
    return true;
}

bool KeyTableRoutines::ReadLedMap(int deviceType, const DeviceInfo& info)
{
    uint8_t table[kLedMapLength] = {};
    if (!m_hid.TransferData(DeviceCommand::kLedMap, table, kLedMapLength)) return false;
    std::map<int, int> codeToLed, ledToCode;
    for (int i = 0; i < kKeyCount; ++i) {
        auto code = m_maps.keyIndexToCode.find(i);
        if (table[i] == 0xFF || code == m_maps.keyIndexToCode.end()) continue;
        codeToLed[code->second] = table[i];
        ledToCode[table[i]] = code->second;
    }
    for (const auto& bar : LightBarLeds(deviceType)) codeToLed[bar.first] = bar.second;

    uint8_t probe[kBatteryLength] = {};
    if (info.zone2Present && !m_hid.TransferData(DeviceCommand::kLiveColoursGen1, probe, 24))
        return false;
    if (info.matrixPresent && !m_hid.TransferData(DeviceCommand::kReadMatrix, probe, 24))
        return false;
    m_maps.keyCodeToLed = codeToLed;
    m_maps.ledToKeyCode = ledToCode;
    return true;
}

bool KeyTableRoutines::ReadKeyFunctions(int profile)
{
    // Everything is read before anything is stored: a keyboard that stops
    // answering half-way leaves the database as it was.
    uint8_t tables[kFnLayers][kDefaultTableSize] = {};
    for (int layer = 0; layer < kFnLayers; ++layer) {
        if (!m_hid.TransferData(uint8_t(DeviceCommand::kReadKeys + 2 * layer), tables[layer],
                                kKeyTableLength))
            return false;
    }
    std::vector<KeyMacroData> rows;
    for (int layer = 0; layer < kFnLayers; ++layer) {
        KeyMacroData row;
        row.profile = profile;
        row.fn_layer = layer;
        for (const auto& entry : m_maps.keyIndexToCode) {
            const int index = entry.first;
            if (index < 0 || index >= kKeyCount) continue;
            const uint8_t* record = &tables[layer][3 * index];
            row.key_code = entry.second;
            if (row.key_code <= 0 || record[0] == 0) continue;
            m_db.GetKeyMacro(profile, layer, row.key_code, row);
            m_codec.Decode(record, row);
            if (row.macro_type > 0) rows.push_back(row);
        }
    }
    m_db.UpdateKeyMacros(rows);

    for (int other : {2, 3}) {
        if (m_db.CountKeyMacros(other) > 0) continue;
        std::vector<KeyMacroData*> source;
        m_db.GetProfileKeyMacros(1, source);
        if (!source.empty()) {
            std::vector<KeyMacroData> copies;
            for (const KeyMacroData* r : source) {
                copies.push_back(*r);
                copies.back().profile = other;
            }
            m_db.InsertKeyMacros(copies);
        }
        FreeRecordList(source);
    }
    return true;
}

bool KeyTableRoutines::WriteKeyFunctions(int profile, int fnLayer, int key)
{
    DeviceSession session(m_hid);
    const bool layerValid = fnLayer >= 0 && fnLayer < kFnLayers;
    if (key > 0) {
        const int index = m_maps.IndexOf(key);
        if (index < 0 || !layerValid) return true;
        uint8_t record[3] = {};
        KeyMacroData row;
        // A key without a stored function keeps the keyboard's default (three
        // zero bytes would disable it).
        if (m_db.GetKeyMacro(profile, fnLayer, key, row) && row.macro_type != 0)
            m_codec.Encode(row, record);
        else
            memcpy(record, &m_maps.defaultTables[fnLayer][3 * index], 3);
        const uint8_t write = uint8_t(DeviceCommand::kWriteKeys + 2 * fnLayer);
        uint8_t command[64];
        BuildCommand(command, write, 3 * index, 3, record, 3);
        if (!m_hid.SendCommand(command)) return false;
        // The buffer holds the answer, or the request as sent when none came: only
        // an answer to this command with the acknowledge status confirms it.
        return command[0] == 0xAA && command[1] == write && command[7] == 0x55;
    }
    if (key == -1) {
        if (!layerValid) return true;
        uint8_t table[kDefaultTableSize];
        memcpy(table, m_maps.defaultTables[fnLayer], sizeof table);
        return m_hid.TransferData(uint8_t(DeviceCommand::kWriteKeys + 2 * fnLayer), table,
                                  kKeyTableLength);
    }
    if (key != -2) return true;
    for (int layer = 0; layer < kFnLayers; ++layer) {
        uint8_t table[kDefaultTableSize];
        memcpy(table, m_maps.defaultTables[layer], sizeof table);
        std::vector<KeyMacroData*> rows;
        m_db.GetLayerKeyMacros(profile, layer, rows);
        for (const KeyMacroData* row : rows) {
            const int index = m_maps.IndexOf(row->key_code);
            if (row->macro_type == 0 || index < 0) continue;
            m_codec.Encode(*row, &table[3 * index]);
        }
        FreeRecordList(rows);
        // Nothing more goes to a keyboard that did not take a layer.
        if (!m_hid.TransferData(uint8_t(DeviceCommand::kWriteKeys + 2 * layer), table,
                                kKeyTableLength))
            return false;
    }
    return true;
}

RestoreResult KeyTableRoutines::RestoreDefaultKeys(int profile, int fnLayer, int key)
{
    RestoreResult result;
    uint8_t table[kDefaultTableSize] = {};
    if (fnLayer >= 0 && fnLayer < kFnLayers)
        memcpy(table, m_maps.defaultTables[fnLayer], sizeof table);
    if (key <= 0) {
        for (const auto& entry : m_maps.keyIndexToCode) {
            const int index = entry.first;
            if (index < 0 || index >= kKeyCount || entry.second <= 0) continue;
            const uint8_t* record = &table[3 * index];
            if (record[0] == 0) continue;
            KeyMacroData row;
            row.profile = profile;
            row.fn_layer = fnLayer;
            row.key_code = entry.second;
            m_db.GetKeyMacro(profile, fnLayer, row.key_code, row);
            m_codec.Decode(record, row);
            if (row.macro_type > 0) result.rows.push_back(row);
        }
        m_db.UpdateKeyMacros(result.rows);
        result.restored = true;
        return result;
    }
    const int index = m_maps.IndexOf(key);
    if (index < 0) return result;
    KeyMacroData row;
    row.profile = profile;
    row.fn_layer = fnLayer;
    row.key_code = key;
    m_db.GetKeyMacro(profile, fnLayer, key, row);
    m_codec.Decode(&table[3 * index], row);
    m_db.UpdateKeyMacro(row);
    result.rows.push_back(row);
    result.restored = true;
    return result;
}
