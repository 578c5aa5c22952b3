#include "DropImage.h"

#include <shlobj.h>

#include <cstdint>
#include <cstring>

#include "framework/GdiOwners.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

// Locks a global block for reading and unlocks it again.
class GlobalView
{
public:
    explicit GlobalView(HGLOBAL block) : m_block(block)
    {
        if (!block) return;
        m_size = GlobalSize(block);
        if (m_size) m_data = GlobalLock(block);
    }
    ~GlobalView()
    {
        if (m_data) GlobalUnlock(m_block);
    }
    GlobalView(const GlobalView&) = delete;
    GlobalView& operator=(const GlobalView&) = delete;

    const void* Data() const { return m_data; }
    SIZE_T Size() const { return m_data ? m_size : 0; }

private:
    HGLOBAL m_block;
    void* m_data = nullptr;
    SIZE_T m_size = 0;
};

bool IsKnownInfoHeaderSize(DWORD size)
{
    // BITMAPINFOHEADER, its V2 and V3 extensions, BITMAPV4HEADER, BITMAPV5HEADER.
    return size == 40 || size == 52 || size == 56 || size == sizeof(BITMAPV4HEADER) ||
           size == sizeof(BITMAPV5HEADER);
}

}  // namespace

bool CheckPackedDib(const void* data, SIZE_T size, SIZE_T* bitsOffset)
{
    if (!data || size < sizeof(DWORD)) return false;
    DWORD headerSize = 0;
    std::memcpy(&headerSize, data, sizeof(headerSize));
    if (headerSize > size) return false;

    int64_t width = 0;
    int64_t height = 0;
    unsigned planes = 0;
    unsigned bitCount = 0;
    uint64_t colors = 0;
    uint64_t colorEntrySize = 0;
    uint64_t masks = 0;

    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, data, sizeof(core));
        width = core.bcWidth;
        height = core.bcHeight;
        planes = core.bcPlanes;
        bitCount = core.bcBitCount;
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
        colors = bitCount <= 8 ? (1u << bitCount) : 0;
        colorEntrySize = sizeof(RGBTRIPLE);
    } else if (IsKnownInfoHeaderSize(headerSize)) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, data, sizeof(info));
        width = info.biWidth;
        height = info.biHeight;
        if (height < 0) height = -height;  // top-down rows
        planes = info.biPlanes;
        bitCount = info.biBitCount;
        switch (bitCount) {
            case 1:
            case 4:
            case 8:
            case 16:
            case 24:
            case 32: break;
            default: return false;
        }
        if (info.biCompression == BI_BITFIELDS) {
            if (bitCount != 16 && bitCount != 32) return false;
            // Only the plain header is followed by the three masks; the
            // larger headers carry them inside.
            if (headerSize == sizeof(BITMAPINFOHEADER)) masks = 3 * sizeof(DWORD);
        } else if (info.biCompression != BI_RGB) {
            return false;
        }
        if (info.biClrUsed) {
            if (bitCount <= 8 && info.biClrUsed > (1u << bitCount)) return false;
            colors = info.biClrUsed;
        } else {
            colors = bitCount <= 8 ? (1u << bitCount) : 0;
        }
        colorEntrySize = sizeof(RGBQUAD);
    } else {
        return false;
    }

    if (planes != 1) return false;
    if (width <= 0 || height <= 0) return false;
    if (width > kDropImageMaxSide || height > kDropImageMaxSide) return false;
    if (width * height > kDropImageMaxPixels) return false;

    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    const uint64_t offset = headerSize + masks + colors * colorEntrySize;
    const uint64_t needed = offset + stride * static_cast<uint64_t>(height);
    if (offset > size || needed > size) return false;
    if (bitsOffset) *bitsOffset = static_cast<SIZE_T>(offset);
    return true;
}

HBITMAP BitmapFromPackedDib(HGLOBAL dib)
{
    GlobalView view(dib);
    return BitmapFromPackedDib(view.Data(), view.Size());
}

HBITMAP BitmapFromPackedDib(const void* data, SIZE_T size)
{
    SIZE_T offset = 0;
    if (!CheckPackedDib(data, size, &offset)) return nullptr;
    const auto* base = static_cast<const BYTE*>(data);
    gdi::WindowDC screen(nullptr);
    if (!screen) return nullptr;
    return CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER*>(base), CBM_INIT,
                          base + offset, reinterpret_cast<const BITMAPINFO*>(base), DIB_RGB_COLORS);
}

HBITMAP BitmapFromEnhMetaFile(HENHMETAFILE metafile, HWND window)
{
    if (!metafile) return nullptr;
    ENHMETAHEADER header = {};
    if (!GetEnhMetaFileHeader(metafile, sizeof(header), &header)) return nullptr;

    gdi::WindowDC dc(IsLiveWindow(window) ? window : nullptr);
    if (!dc) return nullptr;

    // The picture frame is in 0.01-mm units; the device's size in millimetres
    // turns it into pixels. A device that reports no size plays into the bounds.
    const int horzRes = GetDeviceCaps(dc, HORZRES);
    const int vertRes = GetDeviceCaps(dc, VERTRES);
    const int horzSize = GetDeviceCaps(dc, HORZSIZE);
    const int vertSize = GetDeviceCaps(dc, VERTSIZE);

    auto clampSide = [](LONG value) -> int {
        if (value < 1) return 1;
        if (value > kDropMetafileMaxSide) return kDropMetafileMaxSide;
        return static_cast<int>(value);
    };
    const int width = clampSide(header.rclBounds.right);
    const int height = clampSide(header.rclBounds.bottom);

    RECT frame = {0, 0, width, height};
    if (horzSize > 0 && vertSize > 0) {
        auto toPixels = [](LONG v, int res, int size) -> LONG {
            double px = static_cast<double>(v) * res / (static_cast<double>(size) * 100.0);
            if (px > 1e9) px = 1e9;
            if (px < -1e9) px = -1e9;
            return static_cast<LONG>(px);
        };
        frame.left = toPixels(header.rclFrame.left, horzRes, horzSize);
        frame.top = toPixels(header.rclFrame.top, vertRes, vertSize);
        frame.right = toPixels(header.rclFrame.right, horzRes, horzSize);
        frame.bottom = toPixels(header.rclFrame.bottom, vertRes, vertSize);
    }

    gdi::Bitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    gdi::MemoryDC mem(dc);
    if (!bitmap || !mem) return nullptr;
    {
        gdi::Selection select(mem, bitmap);
        PlayEnhMetaFile(mem, metafile, &frame);
    }
    return bitmap.release();
}

bool FirstDroppedFile(HGLOBAL drop, wchar_t* name, UINT capacity)
{
    if (!name || capacity == 0) return false;
    name[0] = L'\0';
    {
        GlobalView view(drop);
        const SIZE_T size = view.Size();
        if (size < sizeof(DROPFILES)) return false;
        DROPFILES header;
        std::memcpy(&header, view.Data(), sizeof(header));
        if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= size) return false;
        // The list must end (an empty name) inside the block.
        const auto* base = static_cast<const BYTE*>(view.Data());
        const SIZE_T unit = header.fWide ? sizeof(wchar_t) : sizeof(char);
        bool terminated = false;
        bool previousEmpty = false;
        bool first = true;
        SIZE_T pos = header.pFiles;
        while (pos + unit <= size) {
            bool zero = unit == 1 ? base[pos] == 0 : (base[pos] == 0 && base[pos + 1] == 0);
            if (zero) {
                if (previousEmpty || first) {
                    terminated = true;
                    break;
                }
                previousEmpty = true;
            } else {
                previousEmpty = false;
            }
            first = false;
            pos += unit;
        }
        if (!terminated) return false;
    }
    if (DragQueryFileW(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0) == 0) return false;
    return DragQueryFileW(static_cast<HDROP>(drop), 0, name, capacity) > 0;
}

}  // namespace WEXA
