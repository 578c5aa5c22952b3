#include "DbTestSupport.h"

#include <windows.h>

#include <cstdio>

#include "services/TextConvert.h"

namespace dbtest {

const wchar_t* const kChineseName = L"\u914D\u7F6E\u6587\u4EF6 \u6211\u7684\u5C08\u5C6C";
const wchar_t* const kEmojiName = L"Game \U0001F3AE\U0001F525 mode";
const wchar_t* const kSqlName = L"x'); DROP TABLE t_profile_data; -- \"quoted\" 50% _ ? :a @b";

namespace {

void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAW fd;
    CString pattern = folder + L"*";
    HANDLE h = FindFirstFileW(pattern, &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            CString name(fd.cFileName);
            if (name == L"." || name == L"..") continue;
            CString full = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + L"\\");
            } else {
                SetFileAttributesW(full, FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full);
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    CString trimmed = folder;
    trimmed.TrimRight(L'\\');
    RemoveDirectoryW(trimmed);
}

}  // namespace

TempDataFolder::TempDataFolder()
{
    static LONG counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_folder.Format(L"%skestrova-db-%lu-%ld\\", temp, GetCurrentProcessId(),
                    InterlockedIncrement(&counter));
    RemoveTree(m_folder);
    CreateDirectoryW(m_folder, nullptr);
    CreateDirectoryW(m_folder + L"db", nullptr);
}

TempDataFolder::~TempDataFolder()
{
    RemoveTree(m_folder);
}

CString TempDataFolder::DbFile(const wchar_t* model) const
{
    return DeviceDataDB::MakeFilePath(m_folder, model);
}

bool WriteFileBytes(const CString& path, const std::string& bytes)
{
    HANDLE h =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() ||
              WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const CString& path)
{
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

long long FileSizeOf(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Utf8Hex(const wchar_t* text)
{
    std::string utf8 = Utf16ToUtf8(text);
    std::string hex;
    char two[3];
    for (unsigned char c : utf8) {
        std::snprintf(two, sizeof(two), "%02X", c);
        hex += two;
    }
    return hex;
}

std::string Narrow(const CString& text)
{
    return Utf16ToUtf8(text);
}

}  // namespace dbtest
