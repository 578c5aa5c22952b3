#include "lighting/LcdImaging.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwctype>

#include "MRender.h"
#include "Manager.h"
#include "lodepng.h"

namespace WEXA {
namespace lcd {

CString WorkFolder()
{
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData))) appData[0] = 0;
    CString folder;
    folder.Format(L"%s\\%s Files\\", appData, Manager::GetDeviceName().GetString());
    return folder;
}

CString EditFolder()
{
    return WorkFolder() + L"\\edit\\";
}

bool EnsureFolder(const CString& folder)
{
    if (folder.IsEmpty()) return false;
    // SHCreateDirectoryExW wants single separators and no trailing one.
    CString clean;
    const wchar_t* p = folder.GetString();
    for (size_t i = 0; p[i]; ++i) {
        const wchar_t c = p[i] == L'/' ? L'\\' : p[i];
        if (c == L'\\' && i > 1 && clean.GetLength() > 0 &&
            clean.GetString()[clean.GetLength() - 1] == L'\\')
            continue;
        clean += c;
    }
    while (clean.GetLength() > 3 && clean.GetString()[clean.GetLength() - 1] == L'\\')
        clean = clean.Left(clean.GetLength() - 1);
    const int rc = SHCreateDirectoryExW(nullptr, clean, nullptr);
    if (rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS || rc == ERROR_FILE_EXISTS) {
        const DWORD attributes = GetFileAttributesW(clean);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    return false;
}

CString FileNameOf(const CString& path)
{
    int cut = path.ReverseFind(L'\\');
    if (cut < 0) cut = path.ReverseFind(L'/');
    return cut < 0 ? path : path.Mid(cut + 1);
}

CString NormalisedFolder(const CString& folder)
{
    CString out;
    const wchar_t* p = folder.GetString();
    for (size_t i = 0; p[i]; ++i) {
        wchar_t c = p[i] == L'/' ? L'\\' : static_cast<wchar_t>(towlower(p[i]));
        // A doubled separator counts as one (a leading "\\" of a share stays).
        if (c == L'\\' && i > 1 && out.GetLength() > 0 &&
            out.GetString()[out.GetLength() - 1] == L'\\')
            continue;
        out += c;
    }
    while (out.GetLength() > 0 && out.GetString()[out.GetLength() - 1] == L'\\')
        out = out.Left(out.GetLength() - 1);
    return out;
}

CString NormalisedFolderOf(const CString& path)
{
    int cut = path.ReverseFind(L'\\');
    const int slash = path.ReverseFind(L'/');
    if (slash > cut) cut = slash;
    if (cut < 0) return CString();
    return NormalisedFolder(path.Left(cut));
}

CRect FitRect(int w, int h, const CRect& box, double ratio)
{
    const int bw = box.Width(), bh = box.Height();
    int fw = w, fh = h;
    if (w > 0 && h > 0) {
        if (w > bw && h > bh) {
            if (static_cast<double>(w) / static_cast<double>(h) > ratio) {
                fw = bw;
                fh = static_cast<int>(static_cast<long long>(bw) * h / w);
            } else {
                fh = bh;
                fw = static_cast<int>(static_cast<long long>(bh) * w / h);
            }
        } else if (w > bw) {
            fw = bw;
            fh = static_cast<int>(static_cast<long long>(bw) * h / w);
        } else if (h > bh) {
            fh = bh;
            fw = static_cast<int>(static_cast<long long>(bh) * w / h);
        }
    }
    const int left = box.left + (bw - fw) / 2;
    const int top = box.top + (bh - fh) / 2;
    return CRect(left, top, left + fw, top + fh);
}

HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, void** bits)
{
    if (bits) *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) return nullptr;
    if (bits) *bits = pixels;
    return bitmap;
}

Canvas::Canvas(HDC compatible, int width, int height)
    : m_bits(nullptr),
      m_width(width),
      m_height(height)
{
    if (width <= 0 || height <= 0) return;
    if (!m_dc.Create(compatible)) return;
    void* bits = nullptr;
    m_bitmap.reset(CreateTopDownBitmap(m_dc, width, height, &bits));
    if (!m_bitmap) return;
    m_select.emplace(m_dc, m_bitmap);
    m_bits = static_cast<uint32_t*>(bits);
    GdiFlush();
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) m_bits[i] = 0;
}

std::vector<unsigned char> Canvas::ToOpaqueRgba() const
{
    std::vector<unsigned char> out;
    if (!m_bits) return out;
    GdiFlush();
    const size_t n = static_cast<size_t>(m_width) * m_height;
    out.resize(n * 4);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = m_bits[i];  // B, G, R, A in memory
        out[i * 4 + 0] = static_cast<unsigned char>((p >> 16) & 0xFF);
        out[i * 4 + 1] = static_cast<unsigned char>((p >> 8) & 0xFF);
        out[i * 4 + 2] = static_cast<unsigned char>(p & 0xFF);
        out[i * 4 + 3] = 0xFF;
    }
    return out;
}

CString TempPathFor(const wchar_t* path)
{
    return CString(path) + L".tmp~";
}

bool ReadFileBytes(const wchar_t* path, std::vector<unsigned char>& out)
{
    out.clear();
    if (!path || !*path) return false;
    FILE* file = _wfopen(path, L"rb");
    if (!file) return false;
    unsigned char buffer[16384];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    const bool ok = ferror(file) == 0;
    fclose(file);
    if (!ok) out.clear();
    return ok;
}

bool WriteFileSafely(const wchar_t* path, const unsigned char* data, size_t size)
{
    if (!path || !*path || (size > 0 && !data)) return false;
    const CString temp = TempPathFor(path);
    bool written = false;
    if (FILE* file = _wfopen(temp, L"wb")) {
        written = fwrite(data, 1, size, file) == size;
        written = (fflush(file) == 0) && written;
        written = (fclose(file) == 0) && written;
    }
    // The target is replaced only by a file that reads back as written.
    if (written) {
        std::vector<unsigned char> back;
        written = ReadFileBytes(temp, back) && back.size() == size &&
                  (size == 0 || memcmp(back.data(), data, size) == 0);
    }
    if (written && MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp);
    return false;
}

bool CopyFileSafely(const wchar_t* from, const wchar_t* to)
{
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(from, bytes) || bytes.empty()) return false;
    return WriteFileSafely(to, bytes.data(), bytes.size());
}

bool WritePngFile(const wchar_t* path, const std::vector<unsigned char>& rgba, unsigned width,
                  unsigned height)
{
    if (!path || !*path || width == 0 || height == 0 ||
        rgba.size() < static_cast<size_t>(width) * height * 4)
        return false;
    unsigned char* png = nullptr;
    size_t size = 0;
    const unsigned error = lodepng_encode32(&png, &size, rgba.data(), width, height);
    if (error || !png) {
        free(png);
        return false;
    }
    const bool written = WriteFileSafely(path, png, size);
    free(png);
    return written;
}

Gdiplus::Image* LoadPictureCopy(const wchar_t* path)
{
    if (!path || !*path) return nullptr;
    return MRender::LoadImageFromFileEx(path, 0, 0);
}

}  // namespace lcd
}  // namespace WEXA
