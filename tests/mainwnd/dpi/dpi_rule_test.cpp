// The start-up DPI rule run in fresh processes under each LogPixels value of
// the display (the system dpi is read when a process starts). The screen is
// the test display's, 1920 x 1080: one display serves the whole test run.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "DpiProbe.h"
#include "services/AppEnvironment.h"

namespace {

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// Sets LogPixels for the processes started meanwhile; the old value comes back after.
class LogPixels
{
public:
    LogPixels()
    {
        DWORD size = sizeof(saved_);
        had_ = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                            &saved_, &size) == ERROR_SUCCESS;
    }
    ~LogPixels()
    {
        if (had_)
            Set(saved_);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
    }
    static bool Set(DWORD dpi)
    {
        return RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi,
                               sizeof(dpi)) == ERROR_SUCCESS;
    }

private:
    DWORD saved_ = 0;
    bool had_ = false;
};

// Starts this program as the probe; false when it could not run.
bool RunProbe(ProbeResult& result, DWORD& code)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(exe) + L"\" --dpi-probe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ended || int(code) < 0) return false;
    result = DecodeProbe(int(code));
    return true;
}

TEST(DpiRuleOnTheDisplay, EachLogPixelsValueGivesItsScaleAndAwareness)
{
    struct Row
    {
        DWORD logPixels;
        int scale;
        bool aware;
    };
    // 1920 x 1080 is aware only above 125 %.
    const Row rows[] = {{96, 100, false}, {120, 125, false}, {144, 144, true},
                        {168, 168, true}, {192, 192, true},  {110, 100, false}};
    LogPixels restore;
    for (const Row& r : rows) {
        ASSERT_TRUE(LogPixels::Set(r.logPixels));
        ProbeResult seen;
        DWORD code = 0;
        ASSERT_TRUE(RunProbe(seen, code)) << r.logPixels << " exit " << code;
        printf("[ probe    ] LogPixels %lu: screen %dx%d scale %d aware %d\n", r.logPixels,
               seen.width, seen.height, seen.scale, seen.aware);
        EXPECT_EQ(seen.width, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(seen.height, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(seen.scale, r.scale) << "LogPixels " << r.logPixels;
        EXPECT_EQ(seen.aware, r.aware) << "LogPixels " << r.logPixels;
    }
}

}  // namespace
