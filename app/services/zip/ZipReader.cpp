#include "services/zip/ZipReader.h"

#include <unzip.h>
#include <iowin32.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

// Temporary files: "~zip" + 8 hex digits + ".tmp" in the entry's folder.
constexpr size_t kTempNameLength = 16;

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

unzFile Archive(void* handle)
{
    return static_cast<unzFile>(handle);
}

// ---- entry names ------------------------------------------------------------------

// Drops what would make a name point elsewhere than below the target folder: a drive
// prefix ("C:"), leading separators, and everything up to a "\..\" style parent step.
// What remains may still be unsafe ("../x" is left alone); IsSafeRelativeName decides.
std::wstring CleanEntryName(std::wstring name)
{
    static const wchar_t* const kParents[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    for (bool changed = true; changed && !name.empty();) {
        changed = false;
        if (name.size() >= 2 && name[1] == L':') {
            name.erase(0, 2);
            changed = true;
        } else if (IsSeparator(name[0])) {
            name.erase(0, 1);
            changed = true;
        } else {
            for (const wchar_t* parent : kParents) {
                size_t at = name.find(parent);
                if (at != std::wstring::npos) {
                    name.erase(0, at + 4);
                    changed = true;
                    break;
                }
            }
        }
    }
    return name;
}

bool IsReservedDeviceName(const std::wstring& component)
{
    // Windows maps these names (with any extension) to devices in every folder.
    std::wstring stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = wchar_t(towupper(c));
    static const wchar_t* const kNames[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                            L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* n : kNames)
        if (stem == n) return true;
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        wchar_t d = stem[3];
        return (d >= L'0' && d <= L'9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return false;
}

// A relative path whose every component is an ordinary file or folder name. A single
// trailing separator (a folder entry) is allowed.
bool IsSafeRelativeName(const std::wstring& name)
{
    if (name.empty() || name.size() >= MAX_PATH || IsSeparator(name[0])) return false;
    for (wchar_t c : name) {
        if (c < 32 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' ||
            c == L'|')
            return false;
    }
    size_t start = 0;
    while (start < name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        std::wstring component = name.substr(start, end - start);
        if (component.empty()) return false;  // "a//b"
        // ".", "..", "...", ".. " and the like: Windows strips trailing dots and blanks,
        // which turns them into the current or the parent folder.
        if (component.find_first_not_of(L". ") == std::wstring::npos) return false;
        if (IsReservedDeviceName(component)) return false;
        start = end + 1;  // past the separator; a trailing one ends the loop
    }
    return true;
}

std::wstring WithBackslashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH * 2) return std::wstring();
    return std::wstring(buffer, n);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.c_str(), int(prefix.size()), prefix.c_str(),
                                int(prefix.size()), TRUE) == CSTR_EQUAL;
}

// Where an entry goes: `base` (empty for an absolute name) and `relative` form `target`.
struct Target
{
    std::wstring base;
    std::wstring relative;
    std::wstring full;
};

// Checks a name handed to ExtractEntry and joins it to the base folder. Relative names
// must stay below the base; absolute names must be full "X:\..." paths.
bool ResolveTarget(const wchar_t* name, const std::wstring& baseFolder, bool directory, Target& out)
{
    if (!name || !*name) return false;
    std::wstring text(name);
    const bool absolute = IsSeparator(text[0]) || (text.size() >= 2 && text[1] == L':');
    if (absolute) {
        if (text.size() < 4 || !iswalpha(text[0]) || text[1] != L':' || !IsSeparator(text[2]) ||
            !IsSafeRelativeName(text.substr(3)))
            return false;
        out.base.clear();
        out.relative = WithBackslashes(text);
    } else {
        if (!IsSafeRelativeName(text) || baseFolder.empty()) return false;
        out.base = baseFolder;
        out.relative = WithBackslashes(text);
    }
    out.full = out.base + out.relative;
    if (out.full.size() >= MAX_PATH) return false;
    if (!directory && out.full.find_last_of(L'\\') + 1 + kTempNameLength >= MAX_PATH) return false;

    std::wstring resolved = FullPath(out.full);
    if (resolved.empty()) return false;
    std::wstring root = absolute ? out.relative.substr(0, 3) : FullPath(out.base);
    if (root.empty()) return false;
    if (!IsSeparator(root.back())) root += L'\\';
    return resolved.size() > root.size() && StartsWithNoCase(resolved, root);
}

// ---- times ------------------------------------------------------------------------

FILETIME UnixSecondsToFileTime(int32_t seconds)
{
    int64_t value = int64_t(seconds) * 10000000LL + 116444736000000000LL;
    FILETIME ft;
    ft.dwLowDateTime = DWORD(uint64_t(value) & 0xFFFFFFFFu);
    ft.dwHighDateTime = DWORD(uint64_t(value) >> 32);
    return ft;
}

uint16_t ReadLe16(const unsigned char* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
int32_t ReadLe32(const unsigned char* p)
{
    return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                   (uint32_t(p[3]) << 24));
}

// Applies the first extended-timestamp ("UT") block of a local extra field. Every read
// stays inside the field and inside the block being parsed.
void ApplyExtendedTimestamps(const std::vector<unsigned char>& field, ZipEntryInfo& info)
{
    const size_t size = field.size();
    if (size < 5) return;
    size_t pos = 0;
    while (pos + 4 <= size) {
        const unsigned id = ReadLe16(&field[pos]);
        const size_t length = ReadLe16(&field[pos + 2]);
        const size_t data = pos + 4;
        const size_t end = data + length;
        if (end > size) return;  // a block that claims more than the field holds
        if (id == 0x5455) {
            if (length < 1) return;
            const unsigned flags = field[data];
            size_t p = data + 1;
            FILETIME* const targets[] = {&info.modificationTime, &info.accessTime,
                                         &info.creationTime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit))) continue;
                if (p + 4 > end) return;
                *targets[bit] = UnixSecondsToFileTime(ReadLe32(&field[p]));
                p += 4;
            }
            return;
        }
        pos = end;
    }
}

DWORD ClampSize(uint64_t size)
{
    return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : DWORD(size);
}

void ClearBlockingAttributes(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A new file in `folder` (which ends with a separator) under a name of its
// own, for writing. It is created exclusively, so it is never a file that was
// there before; it is gone again (moved into place or deleted) before the next
// entry is written, so no entry's name can meet it either.
HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring& path)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 64; ++attempt) {
        const unsigned value =
            (GetCurrentProcessId() << 16) ^ GetTickCount() ^ (counter.fetch_add(1) * 2654435761u);
        wchar_t name[kTempNameLength + 1];
        swprintf(name, kTempNameLength + 1, L"~zip%08X.tmp", value);
        path = folder + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return INVALID_HANDLE_VALUE;
}

}  // namespace

// ---- folders ------------------------------------------------------------------------

void CreateEntryFolders(const wchar_t* base, const wchar_t* path)
{
    if (base && *base && GetFileAttributesW(base) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(base, nullptr);
    if (!path || !*path) return;
    std::wstring p(path);
    size_t last = p.find_last_of(L"\\/");
    if (last != std::wstring::npos && last > 0) CreateEntryFolders(base, p.substr(0, last).c_str());
    std::wstring full = (base ? std::wstring(base) : std::wstring()) + p;
    if (GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(full.c_str(), nullptr);
}

// ---- ZipReader ------------------------------------------------------------------------

ZipReader::ZipReader() = default;

ZipReader::~ZipReader()
{
    Close();
}

DWORD ZipReader::OpenFile(const wchar_t* path)
{
    if (archive_ || currentEntry_ != -1) return kZipBusy;
    wchar_t current[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryW(MAX_PATH, current);
    SetBaseFolder(n > 0 && n < MAX_PATH ? current : L"");
    if (!path || !*path) return kZipCannotOpen;

    zlib_filefunc64_def io;
    fill_win32_filefunc64W(&io);
    unzFile archive = unzOpen2_64(path, &io);
    if (!archive) return kZipCannotOpen;
    unz_global_info64 global;
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK) {
        unzClose(archive);
        return kZipCannotOpen;
    }
    archive_ = archive;
    entryCount_ = int(std::min<ZPOS64_T>(global.number_entry, INT_MAX));
    position_ = -1;
    cachedIndex_ = -1;
    return kZipOk;
}

DWORD ZipReader::SetBaseFolder(const wchar_t* folder)
{
    baseFolder_ = folder ? folder : L"";
    if (!baseFolder_.empty() && !IsSeparator(baseFolder_.back())) baseFolder_ += L'\\';
    return kZipOk;
}

void ZipReader::CloseEntry()
{
    if (currentEntry_ != -1 && archive_) unzCloseCurrentFile(Archive(archive_));
    currentEntry_ = -1;
}

DWORD ZipReader::MoveTo(int index)
{
    unzFile archive = Archive(archive_);
    if (position_ < 0 || index < position_) {
        if (unzGoToFirstFile(archive) != UNZ_OK) {
            position_ = -1;
            return kZipBadHeaderData;
        }
        position_ = 0;
    }
    while (position_ < index) {
        if (unzGoToNextFile(archive) != UNZ_OK) {
            position_ = -1;
            return kZipBadHeaderData;
        }
        ++position_;
    }
    return kZipOk;
}

DWORD ZipReader::Describe(int index, Details& d)
{
    std::memset(&d, 0, sizeof(d));
    d.info.index = index;
    DWORD result = MoveTo(index);
    if (result != kZipOk) return result;

    unzFile archive = Archive(archive_);
    unz_file_info64 fi;
    char rawName[MAX_PATH + 1] = {};
    if (unzGetCurrentFileInfo64(archive, &fi, rawName, sizeof(rawName), nullptr, 0, nullptr, 0) !=
        UNZ_OK)
        return kZipBadHeaderData;

    // The local header must agree with the directory; its extra field holds the times.
    if (unzOpenCurrentFile(archive) != UNZ_OK) return kZipBadLocalHeader;
    std::vector<unsigned char> extra;
    int extraSize = unzGetLocalExtrafield(archive, nullptr, 0);
    if (extraSize > 0) {
        extra.resize(size_t(extraSize));
        if (unzGetLocalExtrafield(archive, extra.data(), unsigned(extraSize)) != extraSize) {
            unzCloseCurrentFile(archive);
            return kZipBadHeaderData;
        }
    }
    unzCloseCurrentFile(archive);

    // Name: the archive's bytes in the ANSI code page, or UTF-8 when the entry says so.
    // Names that do not fit, hold a zero byte, or stay unsafe after cleaning get none.
    d.nameResult = kZipCannotOpen;
    if (fi.size_filename < MAX_PATH && !std::memchr(rawName, 0, fi.size_filename)) {
        wchar_t wide[MAX_PATH] = {};
        const UINT codePage = (fi.flag & 0x800) ? CP_UTF8 : CP_ACP;
        int n = fi.size_filename == 0
                    ? 0
                    : MultiByteToWideChar(codePage, 0, rawName, int(fi.size_filename), wide,
                                          MAX_PATH - 1);
        if (n > 0) {
            std::wstring cleaned = CleanEntryName(std::wstring(wide, size_t(n)));
            if (IsSafeRelativeName(cleaned)) {
                wcscpy(d.info.name, cleaned.c_str());
                d.nameResult = kZipOk;
            }
        }
    }
    const size_t nameLength = wcslen(d.info.name);
    const bool nameIsFolder = nameLength > 0 && IsSeparator(d.info.name[nameLength - 1]);

    // Attributes from the host system that made the entry.
    const unsigned host = unsigned(fi.version >> 8) & 0xFF;
    const uLong external = fi.external_fa;
    bool directory, readOnly, hidden = false, system = false, archiveBit;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        readOnly = external & 0x01;
        hidden = external & 0x02;
        system = external & 0x04;
        directory = external & 0x10;
        archiveBit = external & 0x20;
    } else {
        directory = external & (1u << 30);
        readOnly = !(external & (1u << 23));
        archiveBit = true;
    }
    if (nameIsFolder) directory = true;  // "folder/" entries made without attributes
    DWORD attributes = 0;
    if (directory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (archiveBit) attributes |= FILE_ATTRIBUTE_ARCHIVE;
    if (hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (readOnly) attributes |= FILE_ATTRIBUTE_READONLY;
    if (system) attributes |= FILE_ATTRIBUTE_SYSTEM;
    d.info.attributes = attributes;

    // Times: the DOS stamp (local time) for all three, then the "UT" block if any.
    FILETIME local = {}, utc = {};
    if (DosDateTimeToFileTime(HIWORD(fi.dosDate), LOWORD(fi.dosDate), &local))
        LocalFileTimeToFileTime(&local, &utc);
    d.info.accessTime = d.info.creationTime = d.info.modificationTime = utc;
    ApplyExtendedTimestamps(extra, d.info);

    d.info.compressedSize = ClampSize(fi.compressed_size);
    d.info.uncompressedSize = ClampSize(fi.uncompressed_size);
    d.encrypted = (fi.flag & 1) != 0;
    d.method = unsigned(fi.compression_method);
    d.uncompressed = fi.uncompressed_size;
    return kZipOk;
}

DWORD ZipReader::GetEntry(int index, ZipEntryInfo* out)
{
    if (index < -1 || index >= entryCount_) return kZipBadIndex;
    CloseEntry();
    if (index == -1) {
        if (out) {
            std::memset(out, 0, sizeof(*out));
            out->index = entryCount_;
        }
        return kZipOk;
    }
    if (DWORD result = DescribeCached(index); result != kZipOk) return result;
    if (out) *out = cached_.info;
    return cached_.nameResult;
}

DWORD ZipReader::DescribeCached(int index)
{
    if (index == cachedIndex_) return kZipOk;
    Details d;
    DWORD result = Describe(index, d);
    if (result != kZipOk) return result;
    cached_ = d;
    cachedIndex_ = index;
    return kZipOk;
}

bool ZipReader::WriteData(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

DWORD ZipReader::ExtractEntry(int index, const wchar_t* name)
{
    CloseEntry();
    if (index < 0 || index >= entryCount_) return kZipBadIndex;
    if (DWORD result = DescribeCached(index); result != kZipOk) return result;
    const Details d = cached_;
    DWORD result = MoveTo(index);
    if (result != kZipOk) return result;

    const bool directory = (d.info.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    Target target;
    if (!ResolveTarget(name, baseFolder_, directory, target)) return kZipCannotOpen;
    const wchar_t* base = target.base.empty() ? nullptr : target.base.c_str();

    if (directory) {
        CreateEntryFolders(base, target.relative.c_str());
        DWORD attributes = GetFileAttributesW(target.full.c_str());
        return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                   ? kZipOk
                   : kZipCannotOpen;
    }

    if (d.encrypted) return kZipPassword;
    if (d.method != 0 && d.method != Z_DEFLATED) return kZipInflateFailed;

    const size_t slash = target.relative.find_last_of(L'\\');
    const std::wstring folderPart =
        slash == std::wstring::npos ? std::wstring() : target.relative.substr(0, slash + 1);
    CreateEntryFolders(base, folderPart.c_str());

    // Refuse an entry that declares more data than the disk can take.
    const std::wstring folder = target.full.substr(0, target.full.find_last_of(L'\\') + 1);
    ULARGE_INTEGER available;
    if (GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr) &&
        d.uncompressed > available.QuadPart)
        return kZipWriteFailed;

    // Written under a temporary name, moved into place only when complete.
    std::wstring temp;
    HANDLE file = CreateTemporaryFile(folder, temp);
    if (file == INVALID_HANDLE_VALUE) return kZipCannotOpen;

    unzFile archive = Archive(archive_);
    if (unzOpenCurrentFile(archive) != UNZ_OK) {
        result = kZipBadLocalHeader;
    } else {
        currentEntry_ = index;
        if (buffer_.empty()) buffer_.resize(kBufferSize);
        for (;;) {
            int n = unzReadCurrentFile(archive, buffer_.data(), kBufferSize);
            if (n < 0) {
                result = kZipInflateFailed;
                break;
            }
            if (n > 0 && !WriteData(file, buffer_.data(), DWORD(n))) {
                result = kZipWriteFailed;
                break;
            }
            if (unzeof(archive)) {
                SetFileTime(file, &d.info.creationTime, &d.info.accessTime,
                            &d.info.modificationTime);
                break;
            }
            if (n == 0) {  // the data ended before the declared size
                result = kZipInflateFailed;
                break;
            }
        }
        const int closed = unzCloseCurrentFile(archive);
        currentEntry_ = -1;
        if (result == kZipOk && closed != UNZ_OK) result = kZipInflateFailed;  // CRC mismatch
    }
    CloseHandle(file);

    if (result == kZipOk) {
        DWORD existing = GetFileAttributesW(target.full.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) {
            result = kZipCannotOpen;
        } else {
            ClearBlockingAttributes(target.full);
            if (!MoveFileExW(temp.c_str(), target.full.c_str(), MOVEFILE_REPLACE_EXISTING))
                result = kZipCannotOpen;
        }
    }
    if (result != kZipOk) {
        DeleteFileW(temp.c_str());
        return result;
    }
    DWORD attributes = d.info.attributes & ~DWORD(FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesW(target.full.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    return kZipOk;
}

DWORD ZipReader::Close()
{
    CloseEntry();
    if (archive_) unzClose(Archive(archive_));
    archive_ = nullptr;
    entryCount_ = 0;
    position_ = -1;
    cachedIndex_ = -1;
    return kZipOk;
}

// ---- whole archives -------------------------------------------------------------------

ZipReader* OpenZipArchive(const wchar_t* path)
{
    ZipReader* reader = new ZipReader();
    if (reader->OpenFile(path) != kZipOk) {
        delete reader;
        return nullptr;
    }
    return reader;
}

bool UnzipAll(const wchar_t* archive, const wchar_t* folder)
{
    ZipReader* reader = OpenZipArchive(archive);
    if (!reader) return false;
    reader->SetBaseFolder(folder);
    ZipEntryInfo info;
    reader->GetEntry(-1, &info);
    const int count = info.index;
    bool allDone = true;
    for (int i = 0; i < count; ++i) {
        DWORD result = reader->GetEntry(i, &info);
        if (result == kZipOk) result = reader->ExtractEntry(i, info.name);
        if (result != kZipOk) allDone = false;
    }
    reader->Close();
    delete reader;
    return allDone;
}
