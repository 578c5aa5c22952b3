#pragma once
// ScrollAxis: the arithmetic of one scroll bar along its axis, kept apart from
// the controls so that it can be reasoned about (and tested) on its own.
//
// Terms: the bar spans [start, end) along its axis (top and bottom for a
// vertical bar, left and right for a horizontal one); L = end - start is the
// bar length; the end buttons take endSize pixels at both ends, leaving the
// track T = L - 2 * endSize. The model is a range maximum, a position in
// 0 .. range maximum and a page (the visible amount; 0 = computed from the bar
// length). The thumb is G pixels long and slides along the track.
//
// A bar whose range maximum is 0 or less, or whose page is at least the range
// maximum, is inert: nothing to scroll, an empty thumb at the track start and
// position 0. Every division in the thumb arithmetic is guarded, and the thumb
// never gets longer than the track or a negative length.
#include "WexaExport.h"

namespace WEXA {

struct WEXA_API ScrollAxis
{
    // ---- model and geometry (inputs; Layout may rewrite page, autoPage and position) ----
    int start = 0;
    int end = 0;
    int endSize = 0;
    int rangeMax = 1000;
    int position = 0;
    int page = 0;
    int autoPage = 0;  // the page was computed, not set

    // ---- results of Layout ----
    int thumbStart = 0;   // first pixel of the thumb along the axis
    int thumbLength = 0;  // 0 while inert
    int scrollable = 0;   // page < range maximum (and range maximum > 0)

    int Length() const { return end - start; }
    // The track between the end buttons; never negative.
    int Track() const;
    // True when nothing can scroll (range maximum <= 0 or page >= range maximum).
    bool IsInert() const;

    // With page 0: the page becomes the bar length, or a tenth of the range
    // maximum when the bar is shorter than that; the page is then automatic.
    void ComputePage();
    // Thumb length for the current page and range: page / range x track, at
    // least endSize / 2; below 100 it becomes 100, or track - 50 when that is
    // not above 100; finally clamped to 0 .. track. 0 while inert.
    int ThumbLength() const;

    // Lays the thumb out for the current position (the bars' SetRange).
    //   pullBack:       a thumb that would end past the bar's end is moved back
    //                   and the position recomputed from it (vertical bars).
    //   contentPixels:  the position counts pixels of content of height range
    //                   maximum seen through a view of the bar's length
    //                   (the vertical bar's SetRangeEx).
    // Returns the position.
    int Layout(bool pullBack, bool contentPixels);

    // Moves the laid-out thumb by delta pixels, stopping at the track's ends,
    // and recomputes the position from the thumb. Returns the delta applied
    // (0 when inert or when the thumb cannot move that way).
    int MoveThumb(int delta);

    // Position of the thumb at the end of the track, into *position; false when
    // there is nothing to move (inert, or the thumb fills the track).
    bool FinalPosition(int* finalPosition) const;

    // Pixels a click on the track outside the thumb moves it: track x page /
    // range maximum (0 while inert).
    int PageJump() const;

    // Position for a thumb whose first pixel is at thumbTop:
    // (thumbTop - start - endSize) x range maximum / (track - thumb length),
    // 0 when the thumb cannot move.
    int PositionForThumb(int thumbTop, int length) const;
};

}  // namespace WEXA
