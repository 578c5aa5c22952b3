#pragma once
// Turning a dropped picture into a bitmap.
//
// Dropped data comes from any process and is read as untrusted: a packed DIB
// is checked against the size of the memory block that holds it before GDI
// sees it, a metafile's bounds are clamped before a bitmap is made for them,
// and a file list must end inside its block. What does not pass is refused
// (null), never read.
#include <windows.h>
#include <shellapi.h>

#include "WexaExport.h"

namespace WEXA {

// Largest width or height of a bitmap made from dropped data, in pixels.
constexpr int kDropImageMaxSide = 16384;
// Largest number of pixels of such a bitmap.
constexpr long long kDropImageMaxPixels = 64LL * 1024 * 1024;
// Largest width or height of the bitmap a dropped metafile is played into.
constexpr int kDropMetafileMaxSide = 4096;

// Checks a packed DIB (header, colour table or masks, bits) of `size` bytes:
// a known header size (12-byte core header, or 40, 52, 56, 108, 124 bytes),
// one plane, a bit depth the header allows, uncompressed or bit-field pixels,
// positive dimensions within the limits above, a colour table that fits its
// depth, and header, colour table, masks (only after a 40-byte header) and
// every row of bits inside the block. On success *bitsOffset (when given)
// is the offset of the bits from the start of the block.
WEXA_API bool CheckPackedDib(const void* data, SIZE_T size, SIZE_T* bitsOffset);

// A device-dependent bitmap for the screen made from a CF_DIB block; null
// when the block is not a sound packed DIB or GDI cannot make the bitmap.
WEXA_API HBITMAP BitmapFromPackedDib(HGLOBAL dib);
// The same for a packed DIB of `size` bytes in memory; nothing outside those
// bytes is read.
WEXA_API HBITMAP BitmapFromPackedDib(const void* data, SIZE_T size);

// The metafile played into a bitmap compatible with the window's DC (the
// screen's without a window), as wide and high as the right and bottom of the
// metafile's bounds, each clamped to 1 .. kDropMetafileMaxSide. Null when the
// metafile has no header.
WEXA_API HBITMAP BitmapFromEnhMetaFile(HENHMETAFILE metafile, HWND window);

// The first file name of a CF_HDROP block (at most `capacity` - 1
// characters); false when the block is malformed (list outside the block or
// not terminated in it) or holds no file.
WEXA_API bool FirstDroppedFile(HGLOBAL drop, wchar_t* name, UINT capacity);

}  // namespace WEXA
