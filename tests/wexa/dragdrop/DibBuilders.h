#pragma once
// Packed DIBs built byte by byte for the drop tests, sound or spoiled on purpose.
#include <windows.h>

#include <cstring>
#include <vector>

namespace dibtest {

inline std::vector<BYTE> InfoDib(int width, int height, int bitCount, DWORD compression = BI_RGB,
                                 DWORD clrUsed = 0, DWORD headerSize = sizeof(BITMAPINFOHEADER))
{
    BITMAPV5HEADER h = {};
    h.bV5Size = headerSize;
    h.bV5Width = width;
    h.bV5Height = height;
    h.bV5Planes = 1;
    h.bV5BitCount = static_cast<WORD>(bitCount);
    h.bV5Compression = compression;
    h.bV5ClrUsed = clrUsed;
    h.bV5RedMask = 0xFF0000;
    h.bV5GreenMask = 0xFF00;
    h.bV5BlueMask = 0xFF;
    size_t colors = clrUsed ? clrUsed : (bitCount <= 8 ? (1u << bitCount) : 0);
    size_t masks = (compression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER)) ? 12 : 0;
    size_t stride = (size_t(width) * bitCount + 31) / 32 * 4;
    std::vector<BYTE> dib(headerSize + masks + colors * 4 +
                          stride * size_t(height < 0 ? -height : height));
    memcpy(dib.data(), &h, headerSize);
    if (masks) {
        DWORD m[3] = {0xFF0000, 0xFF00, 0xFF};
        memcpy(dib.data() + headerSize, m, 12);
    }
    // Colour table: entry 1 is pure red; pixels: all bytes 0x01.
    if (colors >= 2) {
        RGBQUAD red = {0, 0, 255, 0};
        memcpy(dib.data() + headerSize + masks + 4, &red, 4);
    }
    memset(dib.data() + headerSize + masks + colors * 4, bitCount == 8 ? 0x01 : 0x7F,
           dib.size() - (headerSize + masks + colors * 4));
    return dib;
}

inline std::vector<BYTE> CoreDib(int width, int height, int bitCount)
{
    BITMAPCOREHEADER h = {};
    h.bcSize = sizeof(h);
    h.bcWidth = static_cast<WORD>(width);
    h.bcHeight = static_cast<WORD>(height);
    h.bcPlanes = 1;
    h.bcBitCount = static_cast<WORD>(bitCount);
    size_t colors = bitCount <= 8 ? (1u << bitCount) : 0;
    size_t stride = (size_t(width) * bitCount + 31) / 32 * 4;
    std::vector<BYTE> dib(sizeof(h) + colors * 3 + stride * height, 0);
    memcpy(dib.data(), &h, sizeof(h));
    return dib;
}

inline HGLOBAL ToGlobal(const std::vector<BYTE>& bytes)
{
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty()) {
        memcpy(GlobalLock(g), bytes.data(), bytes.size());
        GlobalUnlock(g);
    }
    return g;
}

inline void Patch(std::vector<BYTE>& dib, size_t offset, LONG value)
{
    memcpy(dib.data() + offset, &value, 4);
}
inline void PatchWord(std::vector<BYTE>& dib, size_t offset, WORD value)
{
    memcpy(dib.data() + offset, &value, 2);
}

}  // namespace dibtest
