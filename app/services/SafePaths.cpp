#include "services/SafePaths.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

#include "services/AppEnvironment.h"

namespace {

// Longest name of one path component.
const size_t kMaxComponent = 255;

bool SameNoCase(const std::wstring& a, const wchar_t* b)
{
    return _wcsicmp(a.c_str(), b) == 0;
}

// The device names Windows opens whatever folder and extension go with them.
bool IsDeviceName(const std::wstring& name)
{
    // The part before the first dot, without the blanks before that dot.
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (SameNoCase(base, device)) return true;
    if (base.size() == 4 && base[3] >= L'1' && base[3] <= L'9') {
        const std::wstring stem = base.substr(0, 3);
        if (SameNoCase(stem, L"COM") || SameNoCase(stem, L"LPT")) return true;
    }
    return false;
}

// The path made absolute with "." and ".." resolved; empty when it cannot be.
std::wstring Normalised(const std::wstring& path)
{
    if (path.empty() || path.find(L'\0') != std::wstring::npos) return L"";
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (!needed) return L"";
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (!length || length >= needed) return L"";
    full.resize(length);
    return full;
}

}  // namespace

bool IsPlainFileName(const wchar_t* name)
{
    if (!name || !*name) return false;
    const std::wstring text(name);
    if (text.size() > kMaxComponent) return false;
    for (wchar_t c : text) {
        if (c < 32 || c == 127) return false;
        if (wcschr(L"<>:\"/\\|?*", c)) return false;
    }
    if (text.back() == L'.' || text.back() == L' ') return false;  // also "." and ".."
    return !IsDeviceName(text);
}

bool IsPlainFileName(const std::wstring& name)
{
    // A name that stops at a zero character is not the whole name.
    if (name.find(L'\0') != std::wstring::npos) return false;
    return IsPlainFileName(name.c_str());
}

bool IsPathInsideFolder(const std::wstring& path, const std::wstring& folder)
{
    std::wstring base = Normalised(folder);
    const std::wstring full = Normalised(path);
    if (base.empty() || full.empty()) return false;
    // Only ordinary drive paths ("X:\..."): no raw, device or network paths.
    if (base.size() < 3 || base[1] != L':' || base[2] != L'\\') return false;
    if (base.back() != L'\\') base += L'\\';
    if (base.size() <= 3) return false;  // never a whole drive
    if (full.size() <= base.size() || _wcsnicmp(full.c_str(), base.c_str(), base.size()) != 0)
        return false;
    // Every part below the folder is a plain name.
    std::wstring rest = full.substr(base.size());
    if (!rest.empty() && rest.back() == L'\\') rest.pop_back();
    size_t start = 0;
    while (start <= rest.size()) {
        const size_t end = rest.find(L'\\', start);
        const std::wstring part =
            rest.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!IsPlainFileName(part)) return false;
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return true;
}

bool IsInsideDataFolder(const std::wstring& path)
{
    return IsPathInsideFolder(path, GetDataFolder());
}

bool DeleteDataFile(const std::wstring& path)
{
    if (!IsInsideDataFolder(path)) return false;
    return DeleteFileW(path.c_str()) != 0;
}
