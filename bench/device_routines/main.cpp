// Times a full profile apply (the four Fn-layer tables, the light mode and the user
// key colours, the performance settings and the macro table) against the simulated
// keyboard, which takes one millisecond per report, with real waits. The yardstick
// is what the protocol mandates: the transport's pre-command delays and drain
// reads, the macro upload's pause after each chunk, plus one millisecond per
// report. A ratio near 1 means the routines add nothing of their own.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchMeasures.h"
#include "SimKeyboard.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/DeviceInfo.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "mainwnd/device/KeyTables.h"
#include "mainwnd/device/MacroUpload.h"
#include "mainwnd/device/SettingsBlock.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

namespace {

const int kRounds = 5;

std::wstring MakeFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"kestrova-bench-device\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"db").c_str(), nullptr);
    DeleteFileW((folder + L"db\\Bench_data_2.db").c_str());
    return folder;
}

// A profile as a user might have it: every key assigned on every layer, a user
// light mode with a colour per key, six macros of 20 events.
void FillProfile(DeviceDataDB& db, const sim::SimModel& model)
{
    ProfileData profile;
    profile.name = L"Profile 1";
    db.AddProfile(profile);
    db.InsertDefaultConfig(1);
    db.SetConfigValue(1, L"sleep_time", L"10");
    std::vector<KeyMacroData> keys;
    std::vector<UserLightRgbData> colours;
    for (size_t i = 0; i < model.keyCount; ++i) {
        for (int layer = 0; layer < 4; ++layer) {
            KeyMacroData row;
            row.profile = 1;
            row.fn_layer = layer;
            row.key_code = model.keys[i].usage;
            row.macro_type = layer == 0 ? 2 : 12;
            row.macro_value = layer == 0 ? model.keys[i].usage : 1 + int(i % 74);
            keys.push_back(row);
        }
        UserLightRgbData colour;
        colour.profile = 1;
        colour.userlight_id = 129;
        colour.key_code = model.keys[i].usage;
        colour.key_rgb = int(RGB(i * 3, 255 - i, 128));
        colours.push_back(colour);
    }
    db.InsertKeyMacros(keys);
    db.InsertUserLightRgb(colours);
    LightData light;
    light.profile = 1;
    light.mode = 129;
    light.brightness = 80;
    light.speed = 2;
    db.AddLight(light);
    for (int m = 0; m < 6; ++m) {
        const int id = db.AddMacro(L"Macro");
        std::vector<MacroRecordData> events(20);
        for (int e = 0; e < 20; ++e) {
            events[size_t(e)].macro_id = id;
            events[size_t(e)].type = 2 + e % 2;
            events[size_t(e)].value = 'A' + e / 2;
            events[size_t(e)].delay_time = 30;
            events[size_t(e)].record_index = e;
        }
        db.InsertMacroRecords(events);
    }
}

void Run(const char* modelName)
{
    const sim::SimModel& model = sim::Model(modelName);
    sim::SimHidBus bus;
    sim::SimKeyboard keyboard(model);
    bus.AddModel(keyboard);
    HidDeviceManager manager(bus);
    manager.AddProduct(model.vendorId, model.productId, L"", model.deviceType, 0);
    manager.EnumerateDevice();
    manager.m_opened = 1;
    manager.m_selectedDeviceType = model.deviceType;

    const std::wstring folder = MakeFolder();
    DeviceDataDB db;
    if (!db.OpenDevice(folder.c_str(), L"Bench")) {
        printf("cannot open the database\n");
        return;
    }
    FillProfile(db, model);
    KeyFuncCodec codec(db, nullptr);
    KeyMaps maps;
    DeviceInfo info;
    KeyTableRoutines tables(manager, db, codec, maps);
    BeginDeviceSession(manager);
    const bool loaded = ReadDeviceInfo(manager, db, 1, info).Ok() &&
                        tables.ReadDefaultKeyTables() &&
                        tables.ReadLedMap(model.deviceType, info) && tables.ReadKeyFunctions(1);
    EndDeviceSession(manager);
    if (!loaded) {
        printf("%s: the profile load failed\n", modelName);
        return;
    }

    SettingsBlockWriter settings(manager, db, info);
    ColourTransfer colours(manager, db, maps);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    // The routines' own work: the same apply with every wait taken away (the macro
    // upload's 1 ms pauses stay).
    auto apply = [&]() {
        tables.WriteKeyFunctions(1, 0, -2);
        settings.SendUserLightMode(1, 0, 129);
        colours.WriteUserKeyColors(1, 129);
        settings.SendPerformanceSettings(1);
        UploadMacros(manager, db, info.macroStorage);
    };
    bus.ClearLog();
    QueryPerformanceCounter(&start);
    for (int round = 0; round < kRounds; ++round) apply();
    QueryPerformanceCounter(&end);
    if (getenv("BENCH_DETAIL")) {
        auto time = [&](const char* what, const std::function<void()>& step) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            for (int round = 0; round < kRounds; ++round) step();
            QueryPerformanceCounter(&b);
            printf("  %s %.2f ms\n", what,
                   1000.0 * double(b.QuadPart - a.QuadPart) / double(frequency.QuadPart) / kRounds);
        };
        time("layers", [&] { tables.WriteKeyFunctions(1, 0, -2); });
        time("user mode", [&] { settings.SendUserLightMode(1, 0, 129); });
        time("colours", [&] { colours.WriteUserKeyColors(1, 129); });
        time("performance", [&] { settings.SendPerformanceSettings(1); });
        time("macro table", [&] { BuildMacroTable(db, info.macroStorage); });
        time("macros", [&] { UploadMacros(manager, db, info.macroStorage); });
    }
    const double ownMs =
        1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / kRounds;

    bus.ClearLog();
    bus.SetRealTime(true);
    bus.SetReportPace(1);
    int macroChunks = 0;
    QueryPerformanceCounter(&start);
    for (int round = 0; round < kRounds; ++round) {
        tables.WriteKeyFunctions(1, 0, -2);
        settings.SendUserLightMode(1, 0, 129);
        colours.WriteUserKeyColors(1, 129);
        settings.SendPerformanceSettings(1);
        const size_t before = bus.Writes().size();
        UploadMacros(manager, db, info.macroStorage);
        macroChunks += int(bus.Writes().size() - before) - 2;  // without AA 10 and AA 11
    }
    QueryPerformanceCounter(&end);

    const double wallMs =
        1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / kRounds;
    // The bus counts every mandated wait: pre-command delays, drain and answer
    // time-outs, and the millisecond each report takes; the macro upload's own
    // pauses come on top.
    const bench::BusWaits asked = bench::WaitsOf(bus, 1);
    const double reports = asked.reports / kRounds;
    const double waitsMs = (asked.pausesMs + asked.readWaitsMs) / kRounds;
    const double pausesMs = double(macroChunks) / kRounds;
    const double floorMs = waitsMs + pausesMs + reports;
    // The same waits replayed with nothing else: what this machine's Sleep makes of
    // the mandated time.
    std::vector<int> waits = asked.each;
    waits.insert(waits.end(), size_t(macroChunks), 1);
    const double replayMs = bench::SleepThrough(waits) / kRounds;
    printf(
        "%-20s %d-byte interface: %.0f reports, wall %.1f ms, mandated %.1f ms (delays %.0f + "
        "macro pauses %.0f + %.0f reports x 1 ms), ratio %.3f; the same waits alone take "
        "%.1f ms here, ratio to them %.3f; without waits the apply takes %.1f ms\n",
        model.name, model.reportBytes, reports, wallMs, floorMs, waitsMs, pausesMs, reports,
        wallMs / floorMs, replayMs, wallMs / replayMs, ownMs);
    db.CloseDevice();
}

}  // namespace

int main()
{
    timeBeginPeriod(1);
    printf("Full profile apply against the simulated keyboard (one report per ms), mean of %d\n",
           kRounds);
    for (const sim::SimModel& model : sim::Models()) Run(model.name);
    timeEndPeriod(1);
    return 0;
}
