#pragma once
// Picture plumbing shared by the LCD widgets: the per-user work folders,
// fitting a picture into a box, 32-bit canvases, and writing files safely.
//
// Every file the widgets write (PNG files, edit copies, the picture saved from
// its edit copy, exported GIFs) is written under a temporary name beside the
// target through a wide path, read back, and only then moved over the target,
// so a failed write never leaves the target destroyed or half written, and
// folder names outside the ANSI code page work.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "CRect.h"
#include "CString.h"
#include "WexaGdiplus.h"
#include "framework/GdiOwners.h"

namespace WEXA {
namespace lcd {

// "<local application data>\<device name> Files\" (with the trailing backslash).
CString WorkFolder();
// The edit folder: WorkFolder() + "\edit\" (the separator doubled as formed).
CString EditFolder();
// Creates the folder and every missing parent; true when it exists afterwards.
bool EnsureFolder(const CString& folder);
// The text after the last backslash, else after the last slash, else the whole path.
CString FileNameOf(const CString& path);
// The folder part of a path with separators unified and doubles collapsed,
// lower case, without the trailing separator: to compare folders.
CString NormalisedFolderOf(const CString& path);
CString NormalisedFolder(const CString& folder);

// Fits a w x h picture into box, shrinking only. Both sides larger: the width
// is fitted when w / h exceeds ratio, else the height; one side larger: that
// side is fitted; otherwise the size stays. Centred, integer arithmetic.
CRect FitRect(int w, int h, const CRect& box, double ratio);

// A memory DC holding a 32-bit top-down DIB section filled with black.
class Canvas
{
public:
    // compatible: the DC to be compatible with (null: the screen).
    Canvas(HDC compatible, int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return m_bits != nullptr; }
    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const uint32_t* bits() const { return m_bits; }
    // The pixels as R, G, B, 255 bytes, rows from the top.
    std::vector<unsigned char> ToOpaqueRgba() const;

private:
    gdi::MemoryDC m_dc;
    gdi::Bitmap m_bitmap;
    // Declared last of the three: undone before the bitmap and the DC go.
    std::optional<gdi::Selection> m_select;
    uint32_t* m_bits;
    int m_width;
    int m_height;
};

// A 32-bit top-down DIB section of width x height (BITMAPINFOHEADER, negative
// height, uncompressed); the pixels through bits. Null on failure.
HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, void** bits);

// The temporary name a new file is written under before it replaces path:
// "<path>.tmp~", in the same folder.
CString TempPathFor(const wchar_t* path);
// The whole file; false when it cannot be opened or read.
bool ReadFileBytes(const wchar_t* path, std::vector<unsigned char>& out);
// Writes size bytes under the temporary name, reads them back, and only when
// they came back whole moves the file over path. On any failure the file at
// path is left as it was and the temporary file is removed. True only when the
// new file is in place.
bool WriteFileSafely(const wchar_t* path, const unsigned char* data, size_t size);
// Copies the file at from over the file at to through WriteFileSafely; false
// (and to untouched) when from cannot be read or is empty.
bool CopyFileSafely(const wchar_t* from, const wchar_t* to);

// Encodes width x height RGBA bytes as PNG and replaces the file at path
// (see above). True only when the new file is in place.
bool WritePngFile(const wchar_t* path, const std::vector<unsigned char>& rgba, unsigned width,
                  unsigned height);

// An in-memory copy of a picture file at its own size (the file is released);
// null when it does not load.
Gdiplus::Image* LoadPictureCopy(const wchar_t* path);

}  // namespace lcd
}  // namespace WEXA
