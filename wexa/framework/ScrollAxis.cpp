#include "ScrollAxis.h"

#include <algorithm>
#include <cstdint>

namespace WEXA {

int ScrollAxis::Track() const
{
    int track = Length() - 2 * endSize;
    return track > 0 ? track : 0;
}

bool ScrollAxis::IsInert() const
{
    return rangeMax <= 0 || page >= rangeMax;
}

void ScrollAxis::ComputePage()
{
    if (page != 0) return;
    int length = Length();
    // A bar shorter than a tenth of the range shows a tenth of it per page.
    page = (static_cast<int64_t>(length) * 10 < rangeMax) ? rangeMax / 10 : length;
    autoPage = 1;
}

int ScrollAxis::ThumbLength() const
{
    if (IsInert()) return 0;
    const int track = Track();
    double length = static_cast<double>(page) / rangeMax * track;
    const double least = static_cast<double>(endSize / 2);
    if (length < least) length = least;
    int g = static_cast<int>(length);
    if (g < 100) g = (track - 50 <= 100) ? track - 50 : 100;
    // Short bars (track under 50 pixels) would get a negative length.
    return std::clamp(g, 0, track);
}

int ScrollAxis::PositionForThumb(int thumbTop, int length) const
{
    const int free = Track() - length;
    if (free <= 0 || rangeMax <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(thumbTop - start - endSize) * rangeMax / free);
}

int ScrollAxis::Layout(bool pullBack, bool contentPixels)
{
    ComputePage();
    if (IsInert()) {
        position = 0;
        thumbStart = start + endSize;
        thumbLength = 0;
        scrollable = 0;
        return position;
    }

    const int track = Track();
    const int g = ThumbLength();
    double fraction;
    if (contentPixels) {
        const int hidden = rangeMax - Length();
        fraction = hidden > 0 ? static_cast<double>(position) / hidden : 0.0;
    } else {
        fraction = static_cast<double>(position) / rangeMax;
    }
    double top = start + endSize + fraction * (track - g);
    const double lowest = start + endSize;
    const double highest = end - endSize / 2 - endSize;
    if (top > highest) top = highest;
    if (top < lowest) top = lowest;
    thumbStart = static_cast<int>(top);
    thumbLength = g;

    if (pullBack && thumbStart + g > end) {
        thumbStart = end - g;
        position = PositionForThumb(thumbStart, g);
    }
    scrollable = 1;
    return position;
}

int ScrollAxis::MoveThumb(int delta)
{
    if (delta == 0 || IsInert()) return 0;
    const int lowest = start + endSize;
    const int highest = end - endSize;  // the thumb's end may not pass it
    if (delta < 0) {
        if (thumbStart + delta < lowest) delta = lowest - thumbStart;
        if (delta > 0) delta = 0;
    } else {
        if (thumbStart + thumbLength + delta > highest)
            delta = highest - (thumbStart + thumbLength);
        if (delta < 0) delta = 0;
    }
    if (delta == 0) return 0;
    thumbStart += delta;
    position = PositionForThumb(thumbStart, thumbLength);
    return delta;
}

bool ScrollAxis::FinalPosition(int* finalPosition) const
{
    if (IsInert()) return false;
    const int track = Track();
    const int g = ThumbLength();
    if (track - g <= 0) return false;
    if (finalPosition)
        *finalPosition =
            static_cast<int>(static_cast<int64_t>(Length() - g) * rangeMax / (track - g));
    return true;
}

int ScrollAxis::PageJump() const
{
    if (IsInert()) return 0;
    return static_cast<int>(static_cast<int64_t>(Track()) * page / rangeMax);
}

}  // namespace WEXA
