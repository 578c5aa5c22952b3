// Kestrova.exe itself: started plainly or with "autorun" (then minimised), its
// main window is closed from outside; the modal loop returns, the window object
// goes with its worker joined, and the program ends with its normal result, not
// a crash or a hang. (Wine's GDI+ takes objects freed after its shutdown without
// complaint, so the order of those two steps cannot be seen from here.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

struct Found
{
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM context)
{
    auto* found = reinterpret_cast<Found*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != found->process || !IsWindowVisible(window)) return TRUE;
    // The main window, not a tooltip or the tray's helper window: it has the
    // program's name as its caption. (Its placement cannot tell: a window
    // minimised before it was ever shown in full has the minimised size there
    // under Wine.)
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (std::wstring(caption) == L"Kestrova") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// The program keeps its settings under the user's "Software\Kestrova": each
// start here begins without them, and what the program wrote is removed after,
// so that no other test program reads it (the theme type, the language).
struct ProgramSettingsRemoved
{
    ProgramSettingsRemoved() { Remove(); }
    ~ProgramSettingsRemoved() { Remove(); }
    static void Remove() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrova"); }
};

TEST(KestrovaProgram, ClosedFromOutsideItEndsWithItsResult)
{
    ProgramSettingsRemoved settings;
    struct Row
    {
        const wchar_t* arguments;
        bool minimised;
    };
    const Row rows[] = {{L"", false}, {L" autorun", true}};
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    std::wstring exe = folder + L"Kestrova.exe";
    ASSERT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.minimised ? "autorun" : "plain start");
        ProgramSettingsRemoved::Remove();
        std::wstring line = L"\"" + exe + L"\"" + r.arguments;
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process));
        Found found = {process.dwProcessId, nullptr};
        for (int i = 0; i < 200 && !found.window; ++i) {
            Sleep(50);
            EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&found));
        }
        EXPECT_NE(found.window, nullptr);
        if (found.window) {
            Sleep(500);  // past start-up: the worker runs, the first tasks are done
            EXPECT_EQ(IsIconic(found.window) != 0, r.minimised);
            PostMessageW(found.window, WM_CLOSE, 0, 0);
        }
        bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
        EXPECT_TRUE(ended);
        if (!ended) TerminateProcess(process.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 1u) << std::hex << code;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace
