#include "RegistrySettings.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "Manager.h"

CString RegistrySettingsKey()
{
    CString key;
    key.Format(L"SOFTWARE\\%s", WEXA::Manager::GetDeviceName().GetString());
    return key;
}

namespace {

// Opens the settings key with full access; creates it when it does not exist
// (create = true). Null when it is neither opened nor created.
HKEY OpenSettingsKey(bool create, bool& created)
{
    created = false;
    const CString path = RegistrySettingsKey();
    HKEY key = nullptr;
    const LONG opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key);
    if (opened == ERROR_SUCCESS) return key;
    if (opened == ERROR_FILE_NOT_FOUND && create) {
        HKEY made = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &made, nullptr) == ERROR_SUCCESS) {
            ::RegCloseKey(made);
            created = true;
        }
    }
    return nullptr;
}

// The value's data as text, whatever its type: a buffer sized from the value
// (asked again when the value grew meanwhile), cut at the first zero.
CString ReadValueText(const wchar_t* name)
{
    bool created = false;
    HKEY key = OpenSettingsKey(true, created);
    if (!key) return CString();
    CString text;
    DWORD size = 0;
    LONG result = ::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
    for (int attempt = 0; attempt < 4 && result == ERROR_SUCCESS; ++attempt) {
        // One terminator more than the data holds: REG_SZ values need not end in one.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD got = size;
        result = ::RegQueryValueExW(key, name, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (result == ERROR_SUCCESS) {
            text = buffer.data();
            break;
        }
        if (result == ERROR_MORE_DATA) {
            size = got;
            result = ERROR_SUCCESS;
        }
    }
    ::RegCloseKey(key);
    return text;
}

}  // namespace

int ReadRegistryInt(const wchar_t* name)
{
    return _wtoi(ReadValueText(name));
}

CString ReadRegistryString(const wchar_t* name)
{
    return ReadValueText(name);
}

void WriteRegistryString(const wchar_t* name, const wchar_t* text)
{
    bool created = false;
    HKEY key = OpenSettingsKey(false, created);
    if (!key) return;
    const CString value(text);
    const DWORD bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), bytes);
    ::RegCloseKey(key);
}
