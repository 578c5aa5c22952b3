#pragma once
// Builds zip archives at test time with minizip's writer, patches their bytes, and
// manages scratch folders.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ziptest {

struct EntrySpec
{
    std::string name;  // bytes as stored in the archive
    std::string data;
    int method = 8;               // 0 stored, 8 deflated
    unsigned versionMadeBy = 20;  // high byte: host system (0 DOS, 3 Unix)
    unsigned long externalAttributes = 0x20;
    unsigned long dosDate = 0x5A8B6C2A;  // 2025-04-11 13:33:20
    std::string localExtra;              // local extra field bytes
    unsigned long flagBase = 0;          // e.g. 0x800 for UTF-8 names
    const char* password = nullptr;
};

// Writes the archive; false when minizip's writer failed.
bool BuildZip(const std::wstring& path, const std::vector<EntrySpec>& entries);

std::vector<unsigned char> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
std::string ReadText(const std::wstring& path);

// Offsets of every local header ("PK\3\4") and central header ("PK\1\2") signature.
std::vector<size_t> FindSignatures(const std::vector<unsigned char>& bytes, uint32_t signature);
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kEndOfDirectory = 0x06054b50;
void Put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value);

// A unique empty folder below the Windows temp folder (with a trailing backslash),
// removed with everything in it when the object goes.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& folder);
// Every file and folder below root, relative, folders with a trailing backslash, sorted.
std::vector<std::wstring> ListTree(const std::wstring& root);

bool IsFile(const std::wstring& path);
bool IsFolder(const std::wstring& path);

// "UT" extra block with the given times (seconds since 1970) for the flags set.
std::string ExtendedTimestamp(unsigned flags, uint32_t modified, uint32_t accessed = 0,
                              uint32_t created = 0);
uint64_t ToU64(const FILETIME& ft);
uint64_t UnixToFileTime(int64_t seconds);
// The UTC FILETIME of a DOS stamp taken as local time.
uint64_t DosToUtc(unsigned long dosDate);

}  // namespace ziptest
