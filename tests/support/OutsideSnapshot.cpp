#include "OutsideSnapshot.h"

#include <windows.h>
// (after windows.h)
#include <shlobj.h>

#include <algorithm>
#include <cwctype>

#include "services/AppEnvironment.h"

namespace testutil {

namespace {

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return wchar_t(towlower(c)); });
    return text;
}

std::wstring WithoutSlash(std::wstring path)
{
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring Parent(const std::wstring& path)
{
    const std::wstring bare = WithoutSlash(path);
    const size_t cut = bare.find_last_of(L'\\');
    return cut == std::wstring::npos ? bare : bare.substr(0, cut);
}

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void ListFolder(const std::wstring& folder, const std::wstring& skip,
                std::vector<std::wstring>& lines)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((WithoutSlash(folder) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = WithoutSlash(folder) + L"\\" + name;
        if (Lower(path) == skip) continue;
        wchar_t line[64] = L"\\";
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            swprintf(line, 64, L" %lu:%lu %08lx%08lx", found.nFileSizeHigh, found.nFileSizeLow,
                     found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        lines.push_back(L"file " + path + line);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

void ListKey(HKEY root, const wchar_t* rootName, const wchar_t* subkey, bool values,
             const std::wstring& skip, std::vector<std::wstring>& lines)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    const std::wstring prefix = std::wstring(L"key ") + rootName + (*subkey ? L"\\" : L"") + subkey;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (Lower(name) == skip) continue;
        lines.push_back(prefix + L"\\" + name + L"\\");
    }
    for (DWORD i = 0; values; ++i) {
        wchar_t name[16384];
        DWORD length = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(size + 2, 0);
        length = 16384;
        RegEnumValueW(key, i, name, &length, nullptr, &type, data.data(), &size);
        std::wstring line = prefix + L" value " + name + L" =";
        for (DWORD b = 0; b < size; ++b) {
            wchar_t hex[4];
            swprintf(hex, 4, L" %02x", data[b]);
            line += hex;
        }
        lines.push_back(line);
    }
    RegCloseKey(key);
}

}  // namespace

OutsideSnapshot::OutsideSnapshot()
{
    dataEntry_ = Lower(WithoutSlash(GetDataFolder()));
    const std::wstring key = SoftwareRegistryKey();
    keyEntry_ = Lower(key.substr(key.find(L'\\') + 1));
    lines_ = Take();
}

std::vector<std::wstring> OutsideSnapshot::Take() const
{
    std::vector<std::wstring> lines;
    const std::wstring local = KnownFolder(CSIDL_LOCAL_APPDATA);
    const std::wstring roaming = KnownFolder(CSIDL_APPDATA);
    const std::wstring profile = KnownFolder(CSIDL_PROFILE);
    std::vector<std::wstring> folders = {local, Parent(local), roaming, profile};
    if (local.size() >= 3) folders.push_back(local.substr(0, 3));  // the drive root
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::wstring& folder : folders) ListFolder(folder, dataEntry_, lines);
    ListKey(HKEY_CURRENT_USER, L"HKCU", L"", false, L"", lines);
    ListKey(HKEY_CURRENT_USER, L"HKCU", L"SOFTWARE", true, keyEntry_, lines);
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

std::vector<std::wstring> OutsideSnapshot::ChangesSince() const
{
    const std::vector<std::wstring> now = Take();
    std::vector<std::wstring> changes;
    for (const std::wstring& line : now)
        if (!std::binary_search(lines_.begin(), lines_.end(), line))
            changes.push_back(L"+ " + line);
    for (const std::wstring& line : lines_)
        if (!std::binary_search(now.begin(), now.end(), line)) changes.push_back(L"- " + line);
    return changes;
}

}  // namespace testutil
