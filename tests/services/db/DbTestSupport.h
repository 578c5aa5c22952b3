#pragma once

// Helpers for the profile database tests: a private data folder below the
// temporary folder (never the user's profile) and the real sqlite3 shell,
// which reads a database file independently of our own code.

#include <string>
#include <vector>

#include "CString.h"
#include "SqliteShell.h"
#include "services/db/DeviceDataDB.h"

namespace dbtest {

// A fresh folder "<temp>\kestrova-db-<pid>-<n>\" with a "db\" subfolder,
// removed with everything in it on destruction.
class TempDataFolder
{
public:
    TempDataFolder();
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    // The data folder, with a trailing backslash.
    const CString& Folder() const { return m_folder; }
    // "<folder>db\<model>_data_2.db"
    CString DbFile(const wchar_t* model) const;

private:
    CString m_folder;
};

using testutil::Lines;
using testutil::RunSqliteShell;

// Writes bytes to a file (replacing it); true on success.
bool WriteFileBytes(const CString& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const CString& path);
long long FileSizeOf(const CString& path);

// UTF-8 bytes of a wide text, as upper-case hex (what SQLite's hex() prints).
std::string Utf8Hex(const wchar_t* text);

// Deletes the records of a list.
template <class T>
void Free(std::vector<T*>& list)
{
    for (T* p : list) delete p;
    list.clear();
}

// Narrow text of a wide one, for messages.
std::string Narrow(const CString& text);

// Texts with characters outside ASCII: Chinese, emoji (surrogate pairs), quotes
// and SQL metacharacters.
extern const wchar_t* const kChineseName;
extern const wchar_t* const kEmojiName;
extern const wchar_t* const kSqlName;

}  // namespace dbtest
