// Two threads working on one database at once, as the UI thread and the
// worker do: no operation fails, no row is lost or mixed up.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "DbFixture.h"

using dbtest::Free;

TEST_F(DbFixture, TwoThreadsHammeringProfilesAndKeys)
{
    const DWORD kRunMs = 1500;
    std::atomic<int> failures{0};
    std::atomic<bool> stop{false};
    std::atomic<int> profileRounds{0}, keyRounds{0};
    int profilesAdded = 0;
    int keysWritten = 0;
    int batchesWritten = 0;

    // Thread 1: profiles. Every id handed back must name the profile this
    // thread just added (a row id read after another thread's insert would not).
    std::thread profiles([&] {
        int n = 0;
        while (!stop) {
            ProfileData p;
            p.name.Format(L"\u914D\u7F6E %d", n);
            int id = db.AddProfile(p);
            CString name;
            if (id <= 0 || !db.GetProfileName(id, name) || name != p.name) ++failures;
            CString renamed;
            renamed.Format(L"renamed %d \U0001F600", n);
            if (!db.RenameProfile(id, renamed) || !db.SetActiveProfile(id)) ++failures;
            if (db.GetActiveProfile() != id) ++failures;
            MusicLayerData layer;
            if (!db.GetMusicLayer(id, layer) || layer.profile != id) ++failures;
            std::vector<ProfileData*> list;
            if (db.GetProfiles(list) != n + 1) ++failures;
            Free(list);
            profileRounds = ++n;
        }
        profilesAdded = n;
    });

    // Thread 2: key assignments, single replaces and batches of a whole layer.
    std::thread keys([&] {
        int n = 0, batches = 0;
        while (!stop) {
            KeyMacroData k;
            k.profile = 1000;
            k.fn_layer = n % 4;
            k.key_code = 1 + n;
            k.macro_value = n + 1;
            k.macro_desc.Format(L"\u952E %d", n);
            int id = db.ReplaceKeyMacro(k);
            KeyMacroData read;
            if (id <= 0 || !db.GetKeyMacro(1000, k.fn_layer, k.key_code, read) ||
                read.key_id != id || read.macro_desc != k.macro_desc)
                ++failures;
            if (n % 20 == 0) {
                std::vector<KeyMacroData> batch(126);
                for (int i = 0; i < 126; ++i) {
                    batch[i].profile = 2000 + batches;
                    batch[i].key_code = i + 1;
                    batch[i].macro_value = i;
                }
                db.InsertKeyMacros(batch);
                // The whole batch is there at once, never half of it.
                if (db.CountKeyMacros(2000 + batches) != 126) ++failures;
                ++batches;
            }
            keyRounds = ++n;
        }
        keysWritten = n;
        batchesWritten = batches;
    });

    // At least the run time, and then until each thread has done enough rounds
    // (a loaded machine does fewer in the same time).
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000 &&
           (GetTickCount() - start < kRunMs || profileRounds <= 10 || keyRounds <= 10))
        Sleep(10);
    stop = true;
    profiles.join();
    keys.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(profilesAdded, 10);
    EXPECT_GT(keysWritten, 10);
    EXPECT_EQ(Shell("SELECT count(*) FROM t_profile_data;"), std::to_string(profilesAdded) + "\n");
    EXPECT_EQ(Shell("SELECT count(*) FROM t_musiclayer_data;"),
              std::to_string(profilesAdded) + "\n");
    EXPECT_EQ(Shell("SELECT count(*) FROM t_key_macro_data WHERE profile = 1000;"),
              std::to_string(keysWritten) + "\n");
    EXPECT_EQ(Shell("SELECT count(*) FROM t_key_macro_data WHERE profile >= 2000;"),
              std::to_string(batchesWritten * 126) + "\n");
    EXPECT_EQ(Shell("SELECT count(*) FROM t_profile_data WHERE status = 1;"), "1\n");
}
