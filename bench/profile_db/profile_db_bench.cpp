// Times the database work of one profile as the program does it: writing its
// 4 x 126 key assignments and its lighting rows, and reading them back.
// Prints figures only; never fails on a time.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "services/db/DeviceDataDB.h"
#include "../BenchClock.h"

namespace {

const int kLayers = 4;
const int kKeys = 126;
const int kRounds = 15;
const int kLightTypes = 4;  // key lighting, side, top and right strips
const int kModesPerType = 20;

struct Figures
{
    std::vector<double> samples;
    void Add(double ms) { samples.push_back(ms); }
    void Print(const char* what)
    {
        std::sort(samples.begin(), samples.end());
        double sum = 0;
        for (double s : samples) sum += s;
        std::printf("%-52s median %8.2f ms  min %8.2f ms  mean %8.2f ms  (%zu runs)\n", what,
                    samples[samples.size() / 2], samples.front(), sum / samples.size(),
                    samples.size());
    }
};

CString MakeTempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString folder;
    folder.Format(L"%skestrova-bench-%lu\\", temp, GetCurrentProcessId());
    CreateDirectoryW(folder, nullptr);
    CreateDirectoryW(folder + L"db", nullptr);
    return folder;
}

std::vector<KeyMacroData> ProfileKeys(int profile)
{
    std::vector<KeyMacroData> keys;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int code = 1; code <= kKeys; ++code) {
            KeyMacroData k;
            k.profile = profile;
            k.fn_layer = layer;
            k.key_code = code;
            k.layout_value = code;
            k.layout_desc = L"Key";
            k.macro_type = 2;
            k.macro_value = code;
            k.macro_value2 = layer;
            k.macro_desc = L"\u952E function";
            keys.push_back(k);
        }
    }
    return keys;
}

}  // namespace

int main()
{
    CString folder = MakeTempFolder();
    DeviceDataDB db;
    if (!db.OpenDevice(folder, L"Bench")) {
        std::printf("cannot open the benchmark database\n");
        return 1;
    }

    Figures writeBatch, readBack, writeSingle, readLayers;
    Figures writeLights, readLights, writeColours, replaceColours, readColours;
    for (int round = 0; round < kRounds; ++round) {
        ProfileData p;
        p.name = L"Bench profile";
        int profile = db.AddProfile(p);
        std::vector<KeyMacroData> keys = ProfileKeys(profile);

        double t0 = bench::Milliseconds();
        db.InsertKeyMacros(keys);
        writeBatch.Add(bench::Milliseconds() - t0);

        std::vector<KeyMacroData*> list;
        t0 = bench::Milliseconds();
        int n = db.GetProfileKeyMacros(profile, list);
        readBack.Add(bench::Milliseconds() - t0);
        if (n != kLayers * kKeys) std::printf("unexpected key count %d\n", n);

        t0 = bench::Milliseconds();
        for (int layer = 0; layer < kLayers; ++layer) db.GetLayerKeyMacros(profile, layer, list);
        readLayers.Add(bench::Milliseconds() - t0);
        FreeRecordList(list);

        // Lighting: every mode of every light type, then the per-key colours.
        t0 = bench::Milliseconds();
        for (int type = 0; type < kLightTypes; ++type) {
            for (int mode = 0; mode < kModesPerType; ++mode) {
                LightData l;
                l.profile = profile;
                l.name = L"1203";
                l.type = type;
                l.mode = mode;
                l.brightness = 4;
                l.speed = 2;
                l.color_value = 0x00FF8000;
                db.AddLight(l);
            }
        }
        db.SetActiveLightMode(profile, 0, 3);
        writeLights.Add(bench::Milliseconds() - t0);

        std::vector<LightData*> lights;
        t0 = bench::Milliseconds();
        for (int type = 0; type < kLightTypes; ++type) db.GetLights(profile, type, lights);
        db.GetActiveLightMode(profile, 0);
        readLights.Add(bench::Milliseconds() - t0);
        FreeRecordList(lights);

        std::vector<UserLightRgbData> colours(kKeys);
        for (int i = 0; i < kKeys; ++i) {
            colours[i].profile = profile;
            colours[i].userlight_id = 1;
            colours[i].key_code = i + 1;
            colours[i].key_rgb = 0x00010203 * i;
        }
        t0 = bench::Milliseconds();
        db.DeleteUserLightRgb(profile, 1);
        db.InsertUserLightRgb(colours);
        writeColours.Add(bench::Milliseconds() - t0);
        t0 = bench::Milliseconds();
        db.ReplaceUserLightRgb(profile, 1, colours);
        replaceColours.Add(bench::Milliseconds() - t0);
        std::vector<UserLightRgbData*> rgb;
        t0 = bench::Milliseconds();
        db.GetUserLightRgb(profile, 1, rgb);
        readColours.Add(bench::Milliseconds() - t0);
        FreeRecordList(rgb);

        // The same keys one by one, as the custom-key page writes them.
        t0 = bench::Milliseconds();
        for (KeyMacroData& k : keys) {
            k.macro_value += 1;
            db.ReplaceKeyMacro(k);
        }
        writeSingle.Add(bench::Milliseconds() - t0);
    }

    std::printf("Profile database, one profile = %d layers x %d keys (%d rows)\n", kLayers, kKeys,
                kLayers * kKeys);
    writeBatch.Print("write key assignments (one transaction)");
    readBack.Print("read back key assignments (whole profile)");
    readLayers.Print("read back key assignments (4 layer reads)");
    writeSingle.Print("replace key assignments one by one");
    std::printf("Lighting rows: %d light types x %d modes, %d per-key colours\n", kLightTypes,
                kModesPerType, kKeys);
    writeLights.Print("write light modes (one insert each) + active mode");
    readLights.Print("read back light modes (per type)");
    writeColours.Print("write per-key colours (delete + batch insert)");
    replaceColours.Print("replace per-key colours (one transaction)");
    readColours.Print("read back per-key colours");

    db.CloseDevice();
    db.DeleteDeviceFile(folder, L"Bench");
    RemoveDirectoryW(folder + L"db");
    RemoveDirectoryW(folder);
    return 0;
}
