#include "controls/GifFrameCache.h"

#include <algorithm>
#include <cstring>

namespace WEXA {

namespace {

HBITMAP MakeSection(HDC reference, int width, int height, int depth,
                    const std::vector<UINT32>* colours, void** bits)
{
    std::vector<BYTE> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(buffer.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(depth);
    info->bmiHeader.biCompression = BI_RGB;
    if (colours) {
        info->bmiHeader.biClrUsed = static_cast<DWORD>(colours->size());
        memcpy(info->bmiColors, colours->data(), colours->size() * sizeof(UINT32));
    }
    *bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(reference, info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap && !*bits) {
        ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

size_t NarrowStride(int width)
{
    return (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
}

}  // namespace

GifFrameCache::~GifFrameCache()
{
    Clear();
}

void GifFrameCache::Clear()
{
    if (m_hDC) {
        if (m_hOld) ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
        m_hDC = nullptr;
        m_hOld = nullptr;
    }
    for (Frame& f : m_frames)
        if (f.bitmap) ::DeleteObject(f.bitmap);
    m_frames.clear();
    m_bytes = m_wideBytes = 0;
}

void GifFrameCache::Reset(int frames, int width, int height)
{
    Clear();
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_frames.resize(static_cast<size_t>(std::max(frames, 0)));
}

bool GifFrameCache::Tried(int frame) const
{
    return frame >= 0 && frame < Frames() && m_frames[frame].tried;
}

bool GifFrameCache::Has(int frame) const
{
    return frame >= 0 && frame < Frames() && m_frames[frame].bitmap;
}

bool GifFrameCache::Complete() const
{
    for (const Frame& f : m_frames)
        if (!f.tried) return false;
    return !m_frames.empty();
}

void GifFrameCache::Refuse(int frame)
{
    if (frame >= 0 && frame < Frames()) m_frames[frame].tried = true;
}

bool GifFrameCache::ComesBackSame(HBITMAP bitmap, const UINT32* pixels, HDC reference)
{
    // The copy a paint makes, made once into a 32-bit picture like the
    // window's, must give every byte of the frame as drawn.
    void* bits = nullptr;
    HBITMAP check = MakeSection(reference, m_width, m_height, 32, nullptr, &bits);
    if (!check) return false;
    HDC from = ::CreateCompatibleDC(reference);
    HDC to = ::CreateCompatibleDC(reference);
    HGDIOBJ oldFrom = ::SelectObject(from, bitmap);
    HGDIOBJ oldTo = ::SelectObject(to, check);
    ::BitBlt(to, 0, 0, m_width, m_height, from, 0, 0, SRCCOPY);
    ::GdiFlush();
    const bool same =
        memcmp(bits, pixels, static_cast<size_t>(m_width) * m_height * sizeof(UINT32)) == 0;
    ::SelectObject(from, oldFrom);
    ::SelectObject(to, oldTo);
    ::DeleteDC(from);
    ::DeleteDC(to);
    ::DeleteObject(check);
    return same;
}

HBITMAP GifFrameCache::MakeNarrow(const UINT32* pixels, HDC reference, Frame& f)
{
    // The frame's colours, at most 256, in a small open table.
    const size_t count = static_cast<size_t>(m_width) * m_height;
    const size_t slots = 1024;
    std::vector<UINT32> keys(slots);
    std::vector<short> index(slots, -1);
    std::vector<UINT32> colours;
    std::vector<BYTE> narrow(NarrowStride(m_width) * m_height);
    UINT32 last = 0;
    int lastIndex = -1;
    for (size_t i = 0; i < count; ++i) {
        const UINT32 p = pixels[i];
        if (lastIndex < 0 || p != last) {
            size_t slot = (p * 2654435761u) & (slots - 1);
            while (index[slot] >= 0 && keys[slot] != p) slot = (slot + 1) & (slots - 1);
            if (index[slot] < 0) {
                if (colours.size() == 256) return nullptr;
                keys[slot] = p;
                index[slot] = static_cast<short>(colours.size());
                colours.push_back(p);
            }
            last = p;
            lastIndex = index[slot];
        }
        const size_t y = i / m_width, x = i % m_width;
        narrow[y * NarrowStride(m_width) + x] = static_cast<BYTE>(lastIndex);
    }
    void* bits = nullptr;
    HBITMAP bitmap = MakeSection(reference, m_width, m_height, 8, &colours, &bits);
    if (!bitmap) return nullptr;
    memcpy(bits, narrow.data(), narrow.size());
    ::GdiFlush();
    if (!ComesBackSame(bitmap, pixels, reference)) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    f.bits = static_cast<const BYTE*>(bits);
    f.depth = 8;
    f.colours.swap(colours);
    m_bytes += narrow.size();
    return bitmap;
}

HBITMAP GifFrameCache::MakeWide(const UINT32* pixels, HDC reference, Frame& f)
{
    const size_t size = static_cast<size_t>(m_width) * m_height * sizeof(UINT32);
    if (m_wideBytes + size > kWideBudget) return nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = MakeSection(reference, m_width, m_height, 32, nullptr, &bits);
    if (!bitmap) return nullptr;
    memcpy(bits, pixels, size);
    ::GdiFlush();
    if (!ComesBackSame(bitmap, pixels, reference)) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    f.bits = static_cast<const BYTE*>(bits);
    f.depth = 32;
    m_bytes += size;
    m_wideBytes += size;
    return bitmap;
}

bool GifFrameCache::Store(int frame, const UINT32* pixels, HDC reference)
{
    if (frame < 0 || frame >= Frames() || !pixels || m_width <= 0 || m_height <= 0) return false;
    Frame& f = m_frames[frame];
    f.tried = true;
    if (f.bitmap) return true;
    f.bitmap = MakeNarrow(pixels, reference, f);
    if (!f.bitmap) f.bitmap = MakeWide(pixels, reference, f);
    if (!f.bitmap) return false;
    CompareWithPrevious(frame);
    CompareWithPrevious((frame + 1) % Frames());
    return true;
}

UINT32 GifFrameCache::PixelAt(const Frame& f, int x, int y) const
{
    if (f.depth == 8) return f.colours[f.bits[static_cast<size_t>(y) * NarrowStride(m_width) + x]];
    return reinterpret_cast<const UINT32*>(f.bits)[static_cast<size_t>(y) * m_width + x];
}

void GifFrameCache::CompareWithPrevious(int frame)
{
    const int n = Frames();
    if (n < 2 || frame < 0 || frame >= n) return;
    Frame& f = m_frames[frame];
    const Frame& before = m_frames[(frame + n - 1) % n];
    if (!f.bitmap || !before.bitmap) return;
    int left = m_width, top = m_height, right = 0, bottom = 0;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (PixelAt(f, x, y) == PixelAt(before, x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    f.changed = right > left ? CRect(left, top, right, bottom) : CRect();
    f.changeKnown = true;
}

bool GifFrameCache::Changed(int frame, CRect& rect) const
{
    if (frame < 0 || frame >= Frames() || !m_frames[frame].changeKnown) return false;
    rect = m_frames[frame].changed;
    return true;
}

bool GifFrameCache::Draw(int frame, HDC dc, POINT at, const CRect& clip)
{
    if (!Has(frame)) return false;
    CRect area(at.x, at.y, at.x + m_width, at.y + m_height);
    CRect part;
    if (!part.IntersectRect(&area, &clip)) return true;
    if (!m_hDC) {
        m_hDC = ::CreateCompatibleDC(dc);
        if (!m_hDC) return false;
        m_hOld = ::SelectObject(m_hDC, m_frames[frame].bitmap);
    } else {
        ::SelectObject(m_hDC, m_frames[frame].bitmap);
    }
    ::BitBlt(dc, part.left, part.top, part.Width(), part.Height(), m_hDC, part.left - at.x,
             part.top - at.y, SRCCOPY);
    return true;
}

}  // namespace WEXA
