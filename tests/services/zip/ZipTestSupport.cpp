#include "ZipTestSupport.h"

#include <zip.h>
#include <iowin32.h>

#include <algorithm>
#include <cstring>

namespace ziptest {

bool BuildZip(const std::wstring& path, const std::vector<EntrySpec>& entries)
{
    zlib_filefunc64_def io;
    fill_win32_filefunc64W(&io);
    zipFile zf = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
    if (!zf) return false;
    bool ok = true;
    for (const EntrySpec& e : entries) {
        zip_fileinfo info = {};
        info.dosDate = e.dosDate;
        info.external_fa = e.externalAttributes;
        uLong crc = 0;
        if (e.password)
            crc = crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size()));
        int r = zipOpenNewFileInZip4_64(
            zf, e.name.c_str(), &info, e.localExtra.empty() ? nullptr : e.localExtra.data(),
            uInt(e.localExtra.size()), nullptr, 0, nullptr, e.method,
            e.method ? Z_DEFAULT_COMPRESSION : 0, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
            e.password, crc, e.versionMadeBy, e.flagBase, 0);
        if (r != ZIP_OK) {
            ok = false;
            break;
        }
        if (!e.data.empty() &&
            zipWriteInFileInZip(zf, e.data.data(), unsigned(e.data.size())) != ZIP_OK)
            ok = false;
        if (zipCloseFileInZip(zf) != ZIP_OK) ok = false;
    }
    if (zipClose(zf, nullptr) != ZIP_OK) ok = false;
    return ok;
}

std::vector<unsigned char> ReadBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(h, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    if (size) ReadFile(h, bytes.data(), size, &read, nullptr);
    bytes.resize(read);
    CloseHandle(h);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadText(const std::wstring& path)
{
    std::vector<unsigned char> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

std::vector<size_t> FindSignatures(const std::vector<unsigned char>& bytes, uint32_t signature)
{
    std::vector<size_t> at;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
        uint32_t v = uint32_t(bytes[i]) | (uint32_t(bytes[i + 1]) << 8) |
                     (uint32_t(bytes[i + 2]) << 16) | (uint32_t(bytes[i + 3]) << 24);
        if (v == signature) at.push_back(i);
    }
    return at;
}

void Put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = (unsigned char)(value >> (8 * i));
}

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    wchar_t name[64];
    swprintf(name, 64, L"kzip-%lu-%ld\\", GetCurrentProcessId(), InterlockedIncrement(&counter));
    path_ = std::wstring(temp) + name;
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& folder)
{
    std::wstring root = folder;
    if (!root.empty() && root.back() != L'\\') root += L'\\';
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((root + L"*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = root + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(root.c_str());
}

static void ListInto(const std::wstring& root, const std::wstring& relative,
                     std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(relative + name + L"\\");
            ListInto(root, relative + name + L"\\", out);
        } else {
            out.push_back(relative + name);
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

std::vector<std::wstring> ListTree(const std::wstring& root)
{
    std::vector<std::wstring> out;
    std::wstring r = root;
    if (!r.empty() && r.back() != L'\\') r += L'\\';
    ListInto(r, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

bool IsFile(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExtendedTimestamp(unsigned flags, uint32_t modified, uint32_t accessed,
                              uint32_t created)
{
    std::string data(1, char(flags));
    auto put = [&data](uint32_t v) {
        for (int i = 0; i < 4; ++i) data += char((v >> (8 * i)) & 0xFF);
    };
    if (flags & 1) put(modified);
    if (flags & 2) put(accessed);
    if (flags & 4) put(created);
    std::string block = "UT";
    block += char(data.size() & 0xFF);
    block += char(data.size() >> 8);
    return block + data;
}

uint64_t ToU64(const FILETIME& ft)
{
    return (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

uint64_t UnixToFileTime(int64_t seconds)
{
    return uint64_t(seconds * 10000000LL + 116444736000000000LL);
}

uint64_t DosToUtc(unsigned long dosDate)
{
    SYSTEMTIME st = {};
    st.wYear = WORD(((dosDate >> 25) & 0x7F) + 1980);
    st.wMonth = WORD((dosDate >> 21) & 0x0F);
    st.wDay = WORD((dosDate >> 16) & 0x1F);
    st.wHour = WORD((dosDate >> 11) & 0x1F);
    st.wMinute = WORD((dosDate >> 5) & 0x3F);
    st.wSecond = WORD((dosDate & 0x1F) * 2);
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return ToU64(utc);
}

}  // namespace ziptest
