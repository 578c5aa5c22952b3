#pragma once
// A private folder below the temporary folder, and one profile database in it
// shared by a whole test program, emptied for each use.
#include <windows.h>

#include <string>

#include "services/db/DeviceDataDB.h"

namespace testutil {

// A fresh folder below the temporary folder (with a "db" folder inside),
// deleted with the object.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const wchar_t* Path() const { return m_path.c_str(); }  // ends in a backslash

private:
    std::wstring m_path;
};

// One profile database for the whole test program (opening a new file takes
// long under Wine), emptied: no rows, ids counting from 1 again.
DeviceDataDB& EmptyDatabase();

}  // namespace testutil
