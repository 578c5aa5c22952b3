// Times the database work of one profile as the program does it: writing its
// 4 x 126 key assignments and its lighting rows, and reading them back.
// Prints figures only; never fails on a time.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "services/DeviceDataDB.h"

namespace {

const int kLayers = 4;
const int kKeys = 126;
const int kRounds = 15;

double NowMs()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

struct Figures
{
    std::vector<double> samples;
    void Add(double ms) { samples.push_back(ms); }
    void Print(const char* what)
    {
        std::sort(samples.begin(), samples.end());
        double sum = 0;
        for (double s : samples)
            sum += s;
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
    for (int round = 0; round < kRounds; ++round) {
        ProfileData p;
        p.name = L"Bench profile";
        int profile = db.AddProfile(p);
        std::vector<KeyMacroData> keys = ProfileKeys(profile);

        double t0 = NowMs();
        db.InsertKeyMacros(keys);
        writeBatch.Add(NowMs() - t0);

        std::vector<KeyMacroData*> list;
        t0 = NowMs();
        int n = db.GetProfileKeyMacros(profile, list);
        readBack.Add(NowMs() - t0);
        if (n != kLayers * kKeys)
            std::printf("unexpected key count %d\n", n);

        t0 = NowMs();
        for (int layer = 0; layer < kLayers; ++layer)
            db.GetLayerKeyMacros(profile, layer, list);
        readLayers.Add(NowMs() - t0);
        FreeRecordList(list);

        // The same keys one by one, as the custom-key page writes them.
        t0 = NowMs();
        for (KeyMacroData& k : keys) {
            k.macro_value += 1;
            db.ReplaceKeyMacro(k);
        }
        writeSingle.Add(NowMs() - t0);
    }

    std::printf("Profile database, one profile = %d layers x %d keys (%d rows)\n", kLayers, kKeys,
                kLayers * kKeys);
    writeBatch.Print("write key assignments (one transaction)");
    readBack.Print("read back key assignments (whole profile)");
    readLayers.Print("read back key assignments (4 layer reads)");
    writeSingle.Print("replace key assignments one by one");

    db.CloseDevice();
    db.DeleteDeviceFile(folder, L"Bench");
    RemoveDirectoryW(folder + L"db");
    RemoveDirectoryW(folder);
    return 0;
}
