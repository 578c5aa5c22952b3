#pragma once
// Extraction of zip archives (update packages) over minizip.
//
// Entry names are cleaned (drive prefixes, leading separators and "folder/../"
// prefixes are dropped) and then checked: a name that still holds a parent or dot-only
// component, a colon, a device name, a control or wildcard character, or that is too
// long, is never written. Every target path is also checked with GetFullPathNameW to
// lie below the base folder. A file is written under a temporary name (created
// exclusively in the target folder, so it is never an existing file or another
// entry) and moved into place only when its data was inflated completely and its CRC
// matched, so an entry that fails leaves no partial file (and an existing file of that
// name is kept).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Result codes of ZipReader.
enum ZipResult : DWORD {
    kZipOk = 0,
    kZipCannotOpen = 0x200,         // file cannot be opened/created, unsafe name, bad directory
    kZipWriteFailed = 0x400,        // writing an extracted file failed (or no room for it)
    kZipBadLocalHeader = 0x700,     // the entry's local header is corrupt
    kZipBadHeaderData = 0x800,      // the entry's header data cannot be read
    kZipPassword = 0x1000,          // the entry is encrypted
    kZipBadIndex = 0x10000,         // index out of range
    kZipBusy = 0x1000000,           // the reader already has an archive or an open entry
    kZipInflateFailed = 0x5000000,  // data cannot be inflated, is short, or fails its CRC
};

// Description of one entry (for index -1: index holds the number of entries).
struct ZipEntryInfo
{
    int index;
    wchar_t name[MAX_PATH];  // cleaned-up name; empty when the entry's name is unsafe
    DWORD attributes;        // Windows file attributes
    FILETIME accessTime;     // UTC
    FILETIME creationTime;
    FILETIME modificationTime;
    DWORD compressedSize;
    DWORD uncompressedSize;
};

class ZipReader
{
public:
    static constexpr DWORD kBufferSize = 16384;

    ZipReader();
    virtual ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Opens an archive; the base folder becomes the current directory.
    DWORD OpenFile(const wchar_t* path);
    // Folder below which entries are written (a separator is appended when missing).
    DWORD SetBaseFolder(const wchar_t* folder);
    // Describes entry `index`, or with index -1 gives the number of entries. Returns
    // kZipCannotOpen (with an empty name, other fields filled) for an entry whose name
    // cannot be made safe.
    DWORD GetEntry(int index, ZipEntryInfo* out);
    // Extracts entry `index` to `name`: relative names go below the base folder (they
    // must stay inside it), absolute names must be full "X:\..." paths.
    DWORD ExtractEntry(int index, const wchar_t* name);
    // Closes the open entry and the archive.
    DWORD Close();

protected:
    // Writes one block of extracted data; returns false when not everything was written.
    virtual bool WriteData(HANDLE file, const void* data, DWORD size);

private:
    struct Details
    {
        ZipEntryInfo info;
        DWORD nameResult;  // kZipOk, or kZipCannotOpen for an unsafe name
        bool encrypted;
        unsigned method;
        uint64_t uncompressed;  // full 64-bit size
    };

    DWORD MoveTo(int index);
    DWORD Describe(int index, Details& out);
    // Describe into cached_, unless entry `index` is there already.
    DWORD DescribeCached(int index);
    void CloseEntry();

    void* archive_ = nullptr;  // unzFile
    int entryCount_ = 0;
    int position_ = -1;      // index the archive is positioned on, -1 unknown
    int currentEntry_ = -1;  // entry whose data is open
    Details cached_ = {};
    int cachedIndex_ = -1;
    std::vector<char> buffer_;
    std::wstring baseFolder_;
};

// Opens an archive in a new reader (base folder: the current directory); null on failure.
ZipReader* OpenZipArchive(const wchar_t* path);

// Unpacks every entry of archive into folder. Returns false when the archive cannot be
// opened or when any entry failed; the other entries are still extracted.
bool UnzipAll(const wchar_t* archive, const wchar_t* folder);

// Creates base (one level, when given and missing) and every folder of the relative
// path below it. Errors are not reported here.
void CreateEntryFolders(const wchar_t* base, const wchar_t* path);
