// PaintManager: the image cache (skin files, program resources, library
// resources) and the library's private fonts.
#include <algorithm>
#include <vector>

#include "GlyphFaces.h"
#include "Manager.h"
#include "MRender.h"
#include "PaintManager.h"

namespace WEXA {

namespace {

// The private fonts loaded at Init from the "fonts" folder beside the
// executable, each filed under its own face name.
const struct
{
    const wchar_t* file;
    const wchar_t* key;
} kPrivateFonts[] = {
    {L"Roboto-Medium.ttf", L"Roboto-Medium"},
    {L"Roboto-Regular.ttf", L"Roboto-Regular"},
    {L"Roboto-SemiBold.ttf", L"Roboto-SemiBold"},
    {L"Roboto-Bold.ttf", L"Roboto-Bold"},
};

bool ImageLoaded(Gdiplus::Image* image)
{
    return image && image->GetLastStatus() == Gdiplus::Ok && image->GetWidth() > 0 &&
           image->GetHeight() > 0;
}

ImgResInfo* MakeRecord(Gdiplus::Image* image, int frames, const wchar_t* name, UINT id)
{
    ImgResInfo* info = new ImgResInfo;
    info->pImage = image;
    info->nCount = frames;
    info->strName = name ? name : L"";
    info->nResID = id;
    info->nHeight = static_cast<int>(image->GetHeight());
    info->nWidth = static_cast<int>(image->GetWidth()) / frames;
    return info;
}

void DeleteRecord(ImgResInfo* info)
{
    if (!info) return;
    delete info->pImage;
    delete info;
}

// A family that can be used to draw (GDI+ reports problems through the status).
Gdiplus::FontFamily* Checked(Gdiplus::FontFamily* family)
{
    if (family && family->GetLastStatus() != Gdiplus::Ok) {
        delete family;
        return nullptr;
    }
    return family;
}

// Module data of a "ttf" resource of the library; null when it is missing.
const void* LibraryFontData(UINT resourceId, DWORD* size)
{
    HMODULE module = GetLibraryInstance();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"ttf");
    if (!found) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) return nullptr;
    *size = ::SizeofResource(module, found);
    const void* data = ::LockResource(loaded);
    return (data && *size > 0) ? data : nullptr;
}

// A private collection that keeps the bytes of the font it was given alive
// for as long as the collection (and the families taken from it) live.
class FileFontCollection : public Gdiplus::PrivateFontCollection
{
public:
    std::vector<BYTE> bytes;
};

// Reads a font file into memory. The file is opened with every kind of
// sharing allowed: GDI+'s own file loader holds a font file without sharing
// while it reads it, so several programs starting at once, each loading the
// same fonts beside the executable, would otherwise turn one another away.
// A file held that way by another program is waited for, up to about a second.
bool ReadFontFile(const wchar_t* path, std::vector<BYTE>& bytes)
{
    const int kAttempts = 100;
    const DWORD kPauseMs = 10;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        file = ::CreateFileW(path, GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) return false;
        ::Sleep(kPauseMs);
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok =
        ::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= 64 * 1024 * 1024;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD done = 0;
        ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
             done == bytes.size();
    }
    ::CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace

// ---- images ----

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* file, int frames)
{
    if (!file || !*file) return nullptr;
    frames = std::max(frames, 1);
    const CString fullPath = GetSkinsPath() + file;
    const auto key = std::make_pair(std::wstring(fullPath.GetString()), frames);

    CAutoLock lock(m_imagesLock);
    auto it = m_imgByPath.find(key);
    if (it != m_imgByPath.end()) return it->second;
    Gdiplus::Image* image = MRender::LoadImageFromFile(fullPath);
    if (!ImageLoaded(image)) {
        delete image;
        return nullptr;
    }
    ImgResInfo* info = MakeRecord(image, frames, file, 0);
    m_imgByPath.emplace(key, info);
    return info;
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, CString type, int frames, int programFlag)
{
    frames = std::max(frames, 1);
    HMODULE module = programFlag ? Manager::GetInstance() : GetLibraryInstance();
    std::map<UINT, ImgResInfo*>& cache = programFlag ? m_imgByProgramRes : m_imgByLibraryRes;

    CAutoLock lock(m_imagesLock);
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(id, type, module);
    if (!ImageLoaded(image)) {
        delete image;
        return nullptr;
    }
    ImgResInfo* info = MakeRecord(image, frames, nullptr, id);
    cache.emplace(id, info);
    return info;
}

void PaintManager::ClearImgResInfo()
{
    CAutoLock lock(m_imagesLock);
    for (auto& entry : m_imgByPath) DeleteRecord(entry.second);
    for (auto& entry : m_imgByProgramRes) DeleteRecord(entry.second);
    for (auto& entry : m_imgByLibraryRes) DeleteRecord(entry.second);
    m_imgByPath.clear();
    m_imgByProgramRes.clear();
    m_imgByLibraryRes.clear();
}

// ---- fonts ----

void PaintManager::LoadPrivateFonts()
{
    const CString folder = GetAppPath() + L"fonts\\";
    for (const auto& font : kPrivateFonts) {
        const CString path = folder + font.file;
        if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) continue;  // missing: skipped
        AddTempFont(font.key, path);
    }
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* key, const wchar_t* fontFile)
{
    if (!key || !fontFile || !*fontFile) return nullptr;
    FileFontCollection* collection = new FileFontCollection;
    if (!ReadFontFile(fontFile, collection->bytes) ||
        collection->AddMemoryFont(collection->bytes.data(),
                                  static_cast<INT>(collection->bytes.size())) != Gdiplus::Ok ||
        collection->GetFamilyCount() <= 0) {
        delete collection;
        return nullptr;
    }
    Gdiplus::FontFamily* family = new Gdiplus::FontFamily;
    int found = 0;
    if (collection->GetFamilies(1, family, &found) != Gdiplus::Ok || found == 0) {
        delete family;
        delete collection;
        return nullptr;
    }
    // Text the face lacks characters for is drawn in a face that has them.
    GlyphFaces::RegisterFace(family, collection->bytes.data(), collection->bytes.size());
    CAutoLock lock(m_fontsLock);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) {
        delete it->second;
        it->second = family;
    } else {
        m_fonts.emplace(key, family);
    }
    // The collection stays alive as long as the family drawn from it.
    m_fontCollections.push_back(collection);
    return family;
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* key, UINT resourceId)
{
    if (!key) return nullptr;
    DWORD size = 0;
    const void* data = LibraryFontData(resourceId, &size);
    if (!data) return nullptr;
    Gdiplus::PrivateFontCollection* collection = new Gdiplus::PrivateFontCollection;
    if (collection->AddMemoryFont(data, static_cast<INT>(size)) != Gdiplus::Ok ||
        collection->GetFamilyCount() <= 0) {
        delete collection;
        return nullptr;
    }
    Gdiplus::FontFamily* family = new Gdiplus::FontFamily;
    int found = 0;
    if (collection->GetFamilies(1, family, &found) != Gdiplus::Ok || found == 0) {
        delete family;
        delete collection;
        return nullptr;
    }
    GlyphFaces::RegisterFace(family, static_cast<const BYTE*>(data), size);
    CAutoLock lock(m_fontsLock);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) {
        delete it->second;
        it->second = family;
    } else {
        m_fonts.emplace(key, family);
    }
    m_fontCollections.push_back(collection);
    return family;
}

void PaintManager::AddGDITempFont(UINT resourceId)
{
    DWORD size = 0;
    const void* data = LibraryFontData(resourceId, &size);
    if (!data) return;
    DWORD count = 0;
    HANDLE handle = ::AddFontMemResourceEx(const_cast<void*>(data), size, nullptr, &count);
    if (!handle) return;
    CAutoLock lock(m_fontsLock);
    m_gdiFonts.push_back(handle);
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t*)
{
    CAutoLock lock(m_fontsLock);
    // Every control draws in the library font, whatever face it names.
    const CString libraryFont = Manager::GetFontName();
    const std::wstring key(libraryFont.GetString());
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) return it->second;
    if (key.empty()) return nullptr;
    Gdiplus::FontFamily* family = Checked(new Gdiplus::FontFamily(key.c_str(), nullptr));
    if (!family) return nullptr;
    m_fonts.emplace(key, family);
    return family;
}

void PaintManager::ClearTempFont()
{
    CAutoLock lock(m_fontsLock);
    for (auto& entry : m_fonts) delete entry.second;
    m_fonts.clear();
    for (Gdiplus::PrivateFontCollection* collection : m_fontCollections) delete collection;
    m_fontCollections.clear();
    for (HANDLE handle : m_gdiFonts) ::RemoveFontMemResourceEx(handle);
    m_gdiFonts.clear();
}

}  // namespace WEXA
