#include "LcdFiles.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "lodepng.h"

namespace lcdtest {

void RemoveFolder(const std::wstring& folder)
{
    std::wstring from = folder;
    while (!from.empty() && from.back() == L'\\') from.pop_back();
    from.push_back(L'\0');  // double terminated
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

std::wstring ScratchFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"\u041a\u0430\u0434\u0440\u044b \u5e27 " + name;
    RemoveFolder(folder);
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder + L"\\";
}

bool WriteSolidPng(const std::wstring& path, int width, int height, Gdiplus::ARGB color)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(color));
    }
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok && FileExists(path);
}

std::vector<unsigned char> ReadBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    unsigned char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (fclose(f) == 0) && written;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadPng(const std::wstring& path, Png& out)
{
    const std::vector<unsigned char> bytes = ReadBytes(path);
    if (bytes.empty()) return false;
    unsigned char* pixels = nullptr;
    const unsigned error =
        lodepng_decode32(&pixels, &out.width, &out.height, bytes.data(), bytes.size());
    if (error) return false;
    out.rgba.assign(pixels, pixels + size_t(out.width) * out.height * 4);
    free(pixels);
    return true;
}

}  // namespace lcdtest
