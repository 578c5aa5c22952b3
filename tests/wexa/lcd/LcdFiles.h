#pragma once
// Files for the LCD widget tests: a scratch folder with a Cyrillic and CJK
// name, solid pictures written with GDI+, and PNG files read back with LodePNG.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "WexaGdiplus.h"

namespace lcdtest {

// "<temp>\Кадры 帧 <name>\" made empty.
std::wstring ScratchFolder(const wchar_t* name);
// Deletes a folder with everything in it.
void RemoveFolder(const std::wstring& folder);
// A width x height PNG filled with one ARGB colour.
bool WriteSolidPng(const std::wstring& path, int width, int height, Gdiplus::ARGB color);
std::vector<unsigned char> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool FileExists(const std::wstring& path);

// A PNG file decoded with LodePNG (RGBA bytes).
struct Png
{
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
    uint32_t Rgb(unsigned x, unsigned y) const  // 0x00RRGGBB
    {
        const unsigned char* p = &rgba[(size_t(y) * width + x) * 4];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    unsigned char Alpha(unsigned x, unsigned y) const
    {
        return rgba[(size_t(y) * width + x) * 4 + 3];
    }
};
bool ReadPng(const std::wstring& path, Png& out);

}  // namespace lcdtest
