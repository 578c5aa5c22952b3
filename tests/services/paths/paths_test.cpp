// Names that become part of a path (the software name, model and layout names,
// LCD folder names) and the check every delete of the program goes through.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Manager.h"
#include "services/AppEnvironment.h"
#include "services/SafePaths.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += (c >= 32 && c < 127) ? char(c) : '?';
    return out;
}

TEST(PlainFileName, HostileAndShippedNames)
{
    const struct
    {
        const wchar_t* name;
        bool plain;
    } cases[] = {
        // The names the shipped config.xml uses, and the tests' software names.
        {L"Kestrova", true},
        {L"Kestrova Test", true},
        {L"Kestrova-K87", true},
        {L"Kestrova-K75-Air", true},
        {L"Kestrova-K75-LCD", true},
        {L"Kestrova-K80-Matrix", true},
        {L"Kestrova-K104", true},
        {L"kestrova_k87", true},
        {L"kestrova_k75_air", true},
        {L"kestrova_k80_matrix", true},
        {L"Model X (2.4G) v1.0", true},
        {L"\u4e2d\u6587\u952e\u76d8", true},
        {L"x..y", true},  // no separator: nothing to climb
        {L".hidden", true},
        {L"CONSOLE", true},
        {L"COM10", true},
        {L"LPT0", true},
        {L"NULL", true},
        // Empty, and names that climb.
        {nullptr, false},
        {L"", false},
        {L".", false},
        {L"..", false},
        {L"..\\..\\..\\Escape", false},
        {L"../../Escape", false},
        {L"..\\..\\..\\..\\config", false},
        // Drives, separators, colons, streams.
        {L"C:", false},
        {L"C:\\Escape", false},
        {L"C:Escape", false},
        {L"\\\\server\\share", false},
        {L"\\Escape", false},
        {L"a\\b", false},
        {L"a/b", false},
        {L"name:stream", false},
        // Wildcards and the other characters no file name may hold.
        {L"*", false},
        {L"a?b", false},
        {L"a<b", false},
        {L"a>b", false},
        {L"a|b", false},
        {L"a\"b", false},
        // Control characters.
        {L"tab\there", false},
        {L"line\nbreak", false},
        {L"\x1f", false},
        {L"del\x7f", false},
        // Trailing dot or space (Windows drops them: another name).
        {L"Escape.", false},
        {L"Escape ", false},
        {L" ", false},
        {L"...", false},
        // Devices, with or without an extension, any case.
        {L"CON", false},
        {L"con", false},
        {L"NUL", false},
        {L"nul.txt", false},
        {L"PRN", false},
        {L"AUX.db", false},
        {L"COM1", false},
        {L"com9.tar.gz", false},
        {L"LPT1", false},
        {L"Lpt9", false},
        {L"CON .txt", false},
        {L"CONIN$", false},
        {L"CONOUT$", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPlainFileName(c.name), c.plain) << (c.name ? Narrow(c.name) : "(null)");

    // A name too long for one path component.
    EXPECT_TRUE(IsPlainFileName(std::wstring(200, L'k')));
    EXPECT_FALSE(IsPlainFileName(std::wstring(256, L'k')));
    // A name that stops at a zero character is not the whole text.
    EXPECT_FALSE(IsPlainFileName(std::wstring(L"Kestrova\0..\\x", 13)));
}

TEST(PathInsideFolder, OnlyPathsStrictlyBelowTheFolderAfterNormalising)
{
    const std::wstring folder = L"C:\\users\\me\\AppData\\Local\\Kestrova Files\\";
    const struct
    {
        std::wstring path;
        bool inside;
    } cases[] = {
        {folder + L"db\\Kestrova-K87_data_2.db", true},
        {folder + L"led\\Kestrova-K75-LCD\\", true},
        {folder + L"led\\Kestrova-K75-LCD", true},
        {folder + L"led\\a\\..\\b", true},
        {L"c:\\USERS\\me\\appdata\\local\\kestrova files\\db", true},
        {L"C:/users/me/AppData/Local/Kestrova Files/temp/x.zip", true},
        // The folder itself, and what lies beside or above it.
        {folder, false},
        {L"C:\\users\\me\\AppData\\Local\\Kestrova Files", false},
        {folder + L".", false},
        {folder + L"led\\..", false},
        {folder + L"db\\..\\..\\..\\Escape_data_2.db", false},
        {folder + L"led\\..\\..\\..\\Escape\\", false},
        {L"C:\\users\\me\\AppData\\Local\\Kestrova Files2\\db", false},
        {L"C:\\users\\me\\AppData\\Local\\Kestrova Files (old)\\db", false},
        {L"C:\\Windows", false},
        {L"", false},
        // Wildcards, streams, devices and the raw-path prefix are never ours.
        {folder + L"led\\*", false},
        {folder + L"led\\?", false},
        {folder + L"db\\file:stream", false},
        {folder + L"led\\CON", false},
        {L"\\\\?\\" + folder + L"db", false},
        {L"\\\\.\\" + folder + L"db", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPathInsideFolder(c.path, folder), c.inside) << Narrow(c.path);
    // Without a proper folder nothing is inside.
    EXPECT_FALSE(IsPathInsideFolder(folder + L"db", L""));
    EXPECT_FALSE(IsPathInsideFolder(L"C:\\x", L"C:\\"));
}

TEST(DataFolderDeletes, AFileOutsideTheDataFolderIsNeverDeleted)
{
    WEXA::Manager::SetDeviceName(L"Kestrova Paths Test");
    const std::wstring data = GetDataFolder();
    ASSERT_TRUE(CreateDirectoryTree(data + L"temp"));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring outside = std::wstring(temp) + L"kestrova_paths_outside.txt";
    // A file just beside the data folder, reached by climbing out of it.
    const std::wstring beside = data.substr(0, data.size() - 1) + L" beside.txt";
    const std::wstring inside = data + L"temp\\package.zip";
    for (const std::wstring& path : {outside, beside, inside}) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
        CloseHandle(file);
    }
    EXPECT_FALSE(DeleteDataFile(outside));
    EXPECT_FALSE(DeleteDataFile(data + L"temp\\..\\..\\Kestrova Paths Test Files beside.txt"));
    EXPECT_NE(GetFileAttributesW(outside.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(beside.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsInsideDataFolder(inside));
    EXPECT_TRUE(DeleteDataFile(inside));
    EXPECT_EQ(GetFileAttributesW(inside.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(outside.c_str());
    DeleteFileW(beside.c_str());
    RemoveDirectoryW((data + L"temp").c_str());
    RemoveDirectoryW(data.c_str());
}

}  // namespace
