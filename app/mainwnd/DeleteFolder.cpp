#include "mainwnd/DeleteFolder.h"

#include <windows.h>
// (after windows.h)
#include <shellapi.h>

#include <cstring>

#include "services/SafePaths.h"

bool DeleteFolder(const std::wstring& path)
{
    std::wstring folder = path;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    // Nothing, or a whole drive ("C:"), is never a folder of ours to delete.
    if (folder.empty() || folder.back() == L':') return false;
    // The name must be followed by two zero characters in the 261-character list.
    wchar_t list[261];
    if (folder.size() >= 260) return false;
    memset(list, 0, sizeof(list));
    memcpy(list, folder.c_str(), folder.size() * sizeof(wchar_t));
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list;
    operation.pTo = nullptr;
    operation.fFlags = 0x0615;  // multi-destination, silent, no confirmations, no error UI
    return SHFileOperationW(&operation) == 0;
}

bool DeleteDataFolder(const std::wstring& path)
{
    if (!IsInsideDataFolder(path)) return false;
    return DeleteFolder(path);
}
