#pragma once
// The frames of an animated picture as they were drawn once, kept so that a
// frame shown again is only copied: decoding a large GIF frame and drawing it
// through GDI+ costs tens of milliseconds, a copy a fraction of that.
//
// A frame is kept exactly as the control drew it (every byte of each pixel,
// the fourth too), in 8 bits with its own table of 32-bit values when it has
// at most 256 of them, else in 32 bits while the cache stays under its
// budget, and written back into the DC's 32-bit picture as it was. Each kept
// frame also knows the rectangle in which it differs from the frame before
// it, once both are kept. UI thread only.
#include <windows.h>

#include <vector>

#include "CRect.h"

namespace WEXA {

class GifFrameCache
{
public:
    // 32-bit frames beyond this many bytes in all are not kept.
    static const size_t kWideBudget = 24u << 20;

    GifFrameCache() = default;
    ~GifFrameCache();
    GifFrameCache(const GifFrameCache&) = delete;
    GifFrameCache& operator=(const GifFrameCache&) = delete;

    // Forgets every frame; frames of width x height from now on.
    void Reset(int frames, int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Frames() const { return static_cast<int>(m_frames.size()); }

    // The frame was offered (kept or not): it is not offered again.
    bool Tried(int frame) const;
    bool Has(int frame) const;
    // Every frame was offered.
    bool Complete() const;

    // Offers frame `frame` as drawn: width x height pixels, top-down rows.
    // True when it is kept.
    bool Store(int frame, const UINT32* pixels);
    // Marks the frame offered without keeping it.
    void Refuse(int frame);

    // Copies the part of the kept frame inside clip (window coordinates) to
    // the control's place `at` on dc. False when the frame is not kept, or dc
    // does not draw straight on a 32-bit picture (no clip region, origin or
    // transform).
    bool Draw(int frame, HDC dc, POINT at, const CRect& clip);

    // Where frame `frame` differs from the frame before it, relative to the
    // control; false when that is not known (one of them is not kept).
    bool Changed(int frame, CRect& rect) const;

    // Bytes of pixels held.
    size_t Bytes() const { return m_bytes; }

private:
    struct Frame
    {
        bool tried = false;
        int depth = 0;                // 8 or 32 once kept
        std::vector<BYTE> narrow;     // an 8-bit frame: indexes into colours
        std::vector<UINT32> colours;  // its values
        std::vector<UINT32> wide;     // a 32-bit frame
        bool changeKnown = false;
        CRect changed;
    };
    UINT32 PixelAt(const Frame& f, int x, int y) const;
    void CompareWithPrevious(int frame);
    bool MakeNarrow(const UINT32* pixels, Frame& f);
    bool MakeWide(const UINT32* pixels, Frame& f);
    void Clear();

    std::vector<Frame> m_frames;
    int m_width = 0, m_height = 0;
    size_t m_bytes = 0, m_wideBytes = 0;
    // The last picture drawn on and which way its rows run.
    HBITMAP m_probed = nullptr;
    const BYTE* m_probedBits = nullptr;
    bool m_probedTopDown = true;
};

}  // namespace WEXA
