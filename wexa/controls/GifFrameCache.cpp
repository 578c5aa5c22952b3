#include "controls/GifFrameCache.h"

#include <algorithm>
#include <cstring>

namespace WEXA {

namespace {}  // namespace

GifFrameCache::~GifFrameCache()
{
    Clear();
}

void GifFrameCache::Clear()
{
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
    return frame >= 0 && frame < Frames() && m_frames[frame].depth != 0;
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

bool GifFrameCache::MakeNarrow(const UINT32* pixels, Frame& f)
{
    // The frame's colours, at most 256, in a small open table.
    const size_t count = static_cast<size_t>(m_width) * m_height;
    const size_t slots = 1024;
    std::vector<UINT32> keys(slots);
    std::vector<short> index(slots, -1);
    std::vector<UINT32> colours;
    std::vector<BYTE> narrow(count);
    UINT32 last = 0;
    int lastIndex = -1;
    for (size_t i = 0; i < count; ++i) {
        const UINT32 p = pixels[i];
        if (lastIndex < 0 || p != last) {
            size_t slot = (p * 2654435761u) & (slots - 1);
            while (index[slot] >= 0 && keys[slot] != p) slot = (slot + 1) & (slots - 1);
            if (index[slot] < 0) {
                if (colours.size() == 256) return false;
                keys[slot] = p;
                index[slot] = static_cast<short>(colours.size());
                colours.push_back(p);
            }
            last = p;
            lastIndex = index[slot];
        }
        narrow[i] = static_cast<BYTE>(lastIndex);
    }
    f.narrow.swap(narrow);
    f.colours.swap(colours);
    f.depth = 8;
    m_bytes += f.narrow.size();
    return true;
}

bool GifFrameCache::MakeWide(const UINT32* pixels, Frame& f)
{
    const size_t count = static_cast<size_t>(m_width) * m_height;
    if (m_wideBytes + count * sizeof(UINT32) > kWideBudget) return false;
    f.wide.assign(pixels, pixels + count);
    f.depth = 32;
    m_bytes += count * sizeof(UINT32);
    m_wideBytes += count * sizeof(UINT32);
    return true;
}

bool GifFrameCache::Store(int frame, const UINT32* pixels)
{
    if (frame < 0 || frame >= Frames() || !pixels || m_width <= 0 || m_height <= 0) return false;
    Frame& f = m_frames[frame];
    f.tried = true;
    if (f.depth) return true;
    if (!MakeNarrow(pixels, f) && !MakeWide(pixels, f)) return false;
    CompareWithPrevious(frame);
    CompareWithPrevious((frame + 1) % Frames());
    return true;
}

UINT32 GifFrameCache::PixelAt(const Frame& f, int x, int y) const
{
    const size_t i = static_cast<size_t>(y) * m_width + x;
    return f.depth == 8 ? f.colours[f.narrow[i]] : f.wide[i];
}

void GifFrameCache::CompareWithPrevious(int frame)
{
    const int n = Frames();
    if (n < 2 || frame < 0 || frame >= n) return;
    Frame& f = m_frames[frame];
    const Frame& before = m_frames[(frame + n - 1) % n];
    if (!f.depth || !before.depth) return;
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
    // The pixels are written straight into the 32-bit picture the DC draws
    // on, every byte as it was drawn: a DC with anything that would move or
    // clip the drawing, or of another kind, is left to the caller.
    HBITMAP target = static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP));
    DIBSECTION section = {};
    if (!target || ::GetObjectW(target, sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits)
        return false;
    POINT viewport = {}, window = {};
    ::GetViewportOrgEx(dc, &viewport);
    ::GetWindowOrgEx(dc, &window);
    if (viewport.x || viewport.y || window.x || window.y || ::GetGraphicsMode(dc) != GM_COMPATIBLE)
        return false;
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const int clipped = region ? ::GetClipRgn(dc, region) : -1;
    if (region) ::DeleteObject(region);
    if (clipped != 0) return false;

    const int width = section.dsBm.bmWidth, height = std::abs(section.dsBm.bmHeight);
    BYTE* bits = static_cast<BYTE*>(section.dsBm.bmBits);
    const size_t stride = static_cast<size_t>(section.dsBm.bmWidthBytes);
    if (width <= 0 || height <= 0) return true;
    if (target != m_probed || bits != m_probedBits) {
        // Which way the rows run is not told reliably (Wine gives the
        // height without its sign): the first row in memory is the top one
        // when a pixel set at the top lands there. Both candidates get their
        // values back.
        UINT32* first = reinterpret_cast<UINT32*>(bits);
        UINT32* last = reinterpret_cast<UINT32*>(bits + stride * (height - 1));
        const UINT32 keepFirst = *first, keepLast = *last;
        ::GdiFlush();
        const COLORREF top = ::GetPixel(dc, 0, 0);
        ::SetPixelV(dc, 0, 0, (top ^ 0x00FFFFFF) & 0x00FFFFFF);
        ::GdiFlush();
        m_probedTopDown = *first != keepFirst;
        *first = keepFirst;
        *last = keepLast;
        m_probed = target;
        m_probedBits = bits;
    }
    const bool topDown = m_probedTopDown;
    CRect area(at.x, at.y, at.x + m_width, at.y + m_height), picture(0, 0, width, height);
    CRect shown, part;
    if (!shown.IntersectRect(&area, &clip) || !part.IntersectRect(&shown, &picture)) return true;
    ::GdiFlush();
    const Frame& f = m_frames[frame];
    for (int y = part.top; y < part.bottom; ++y) {
        UINT32* row = reinterpret_cast<UINT32*>(bits + stride * (topDown ? y : height - 1 - y));
        const size_t from = static_cast<size_t>(y - at.y) * m_width + (part.left - at.x);
        UINT32* out = row + part.left;
        const int n = part.Width();
        if (f.depth == 8) {
            const BYTE* in = f.narrow.data() + from;
            const UINT32* colours = f.colours.data();
            for (int x = 0; x < n; ++x) out[x] = colours[in[x]];
        } else {
            memcpy(out, f.wide.data() + from, n * sizeof(UINT32));
        }
    }
    return true;
}

}  // namespace WEXA
