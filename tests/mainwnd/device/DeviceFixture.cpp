#include "DeviceFixture.h"

#include <cstdio>

#include "mainwnd/device/DeviceCommands.h"

namespace devtest {

CString EnglishText(int id)
{
    static std::wstring file;
    if (file.empty()) {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring exe = path;
        file = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"language\\1033.lan";
    }
    wchar_t key[16], text[512];
    swprintf(key, 16, L"%d", id);
    GetPrivateProfileStringW(L"KB.DIALOG", key, L"", text, 512, file.c_str());
    return CString(text);
}

std::string Hex(const uint8_t* bytes, size_t count)
{
    std::string text;
    char part[4];
    for (size_t i = 0; i < count; ++i) {
        snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text;
}

std::string DatabaseSnapshot(DeviceDataDB& db)
{
    std::string text;
    char line[256];
    std::vector<KeyMacroData*> keys;
    db.GetAllKeyMacros(keys);
    for (const KeyMacroData* k : keys) {
        snprintf(line, sizeof line, "key %d %d %d: %d %d %d %d %ls\n", k->profile, k->fn_layer,
                 k->key_code, k->macro_type, k->macro_value, k->macro_value2, k->macro_value3,
                 k->macro_desc.GetString());
        text += line;
    }
    FreeRecordList(keys);
    for (int profile = 1; profile <= 3; ++profile) {
        for (const wchar_t* key : {L"mac_mode", L"game_mode", L"lock_win", L"wasd_mode",
                                   L"sleep_time", L"key_keyresponse"}) {
            CString value;
            db.GetConfigValue(profile, key, value);
            snprintf(line, sizeof line, "config %d %ls=%ls\n", profile, key, value.GetString());
            text += line;
        }
        for (int type : {0, 1, 2}) {
            snprintf(line, sizeof line, "active %d %d: %d\n", profile, type,
                     db.GetActiveLightMode(profile, type));
            text += line;
        }
    }
    return text;
}

void DeviceFixture::TearDown()
{
    if (keyboard) {
        EXPECT_THAT(keyboard->Verify(), ::testing::IsEmpty());
    }
    manager.reset();
}

void DeviceFixture::Connect(const sim::SimModel& m)
{
    model = &m;
    keyboard.reset(new sim::SimKeyboard(m));
    port = bus.AddModel(*keyboard);
    manager.reset(new HidDeviceManager(bus));
    manager->AddProduct(m.vendorId, m.productId, L"", m.deviceType, 0);
    manager->EnumerateDevice();
    manager->m_opened = 1;
    manager->m_selectedDeviceType = m.deviceType;
    manager->m_currentDevice = nullptr;
    ASSERT_TRUE(manager->GetCurrentDevice() != nullptr);
    db.m_db.Exec("BEGIN");
    for (int i = 1; i <= 3; ++i) {
        ProfileData profile;
        profile.name.Format(L"Profile %d", i);
        ASSERT_EQ(i, db.AddProfile(profile));
        db.InsertDefaultConfig(i);
    }
    db.m_db.Exec("COMMIT");
    codec.reset(new KeyFuncCodec(db, EnglishText));
    bus.ClearLog();
    keyboard->ClearLog();
}

void DeviceFixture::LoadFromKeyboard()
{
    KeyTableRoutines tables(*manager, db, *codec, maps);
    BeginDeviceSession(*manager);
    ASSERT_TRUE(ReadDeviceInfo(*manager, db, 1, info).Ok());
    ASSERT_TRUE(tables.ReadDefaultKeyTables());
    ASSERT_TRUE(tables.ReadLedMap(model->deviceType, info));
    ASSERT_TRUE(tables.ReadKeyFunctions(1));
    EndDeviceSession(*manager);
    bus.ClearLog();
    keyboard->ClearLog();
}

void DeviceFixture::AddDefaultKeyRows(int profile)
{
    std::vector<KeyMacroData> rows;
    for (size_t i = 0; i < model->keyCount; ++i) {
        for (int layer = 0; layer < 4; ++layer) {
            KeyMacroData row;
            row.profile = profile;
            row.fn_layer = layer;
            row.key_code = row.layout_value = model->keys[i].usage;
            row.macro_type = 2;
            row.macro_value = layer == 0 ? model->keys[i].usage : 0;
            rows.push_back(row);
        }
    }
    db.InsertKeyMacros(rows);
}

std::vector<sim::Request> DeviceFixture::DataRequests() const
{
    std::vector<sim::Request> result;
    for (const sim::Request& r : keyboard->Received())
        if (r.Command() != 0x10 && r.Command() != 0x11) result.push_back(r);
    return result;
}

std::vector<uint8_t> DeviceFixture::Commands() const
{
    std::vector<uint8_t> result;
    uint8_t last = 0;
    bool first = true;
    for (const sim::Request& r : keyboard->Received()) {
        // One entry per command, however many chunks it took.
        if (!first && r.Command() == last && r.Offset() != 0) continue;
        result.push_back(r.Command());
        last = r.Command();
        first = false;
    }
    return result;
}

}  // namespace devtest
