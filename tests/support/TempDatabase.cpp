#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <vector>

namespace testutil {

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int serial = 0;
    wchar_t name[64];
    swprintf(name, 64, L"kestrova-dev-%lu-%d\\", GetCurrentProcessId(), ++serial);
    m_path = std::wstring(base) + name;
    CreateDirectoryW(m_path.c_str(), nullptr);
    CreateDirectoryW((m_path + L"db").c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    // The folder holds the database file and the "db" folder.
    WIN32_FIND_DATAW found;
    const std::wstring db = m_path + L"db\\";
    HANDLE search = FindFirstFileW((db + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((db + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(db.c_str());
    RemoveDirectoryW(m_path.c_str());
}

DeviceDataDB& EmptyDatabase()
{
    static TempFolder folder;
    static DeviceDataDB db;
    if (!db.IsOpened()) {
        EXPECT_TRUE(db.OpenDevice(folder.Path(), L"K"));
        // The file is thrown away: commits need not wait for the disk.
        db.m_db.Exec("PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY;");
    }
    std::vector<std::string> tables;
    db.m_db.Exec(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 't_%'",
        [](void* list, int, char** values, char**) {
            static_cast<std::vector<std::string>*>(list)->push_back(values[0]);
            return 0;
        },
        &tables);
    std::string sql = "BEGIN;";
    for (const std::string& table : tables) sql += "DELETE FROM " + table + ";";
    sql += "DELETE FROM sqlite_sequence; COMMIT;";
    EXPECT_EQ(0, db.m_db.Exec(sql.c_str()));
    return db;
}

}  // namespace testutil
