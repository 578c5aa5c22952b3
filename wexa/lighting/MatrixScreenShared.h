#pragma once
// State that every MatrixScreen shares (internal to the library): the hue
// offset of the cyclic colours, the countdown's and the clock's timers, the
// music spectrum with its gain, the music phases and the snake's growth.
// Guarded by its own lock, taken inside a control's cell lock and never
// around anything else.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "CLock.h"

namespace WEXA {
namespace matrix_detail {

struct SharedState
{
    CCriticalLock lock;
    double hueOffset = 0;      // cyclic colours, countdown, music spectrum
    DWORD lastCountdown = 0;   // time of the countdown's last decrement
    double clockPhase = 0;     // clock pulse, 0..1
    float spectrum[256] = {};  // music spectrum: decaying peaks
    float bars[7] = {};        // music spectrum: column levels
    float gain = 1.0f;         // music spectrum: automatic gain, 0.1..5
    int spectrumCalls = 0;     // music spectrum: runs, for the diagnostic lines
    double ringPhase = 0;      // music pulse
    double pulseHue = 0;       // music pulse
    double beatPhase = 0;      // music heartbeat
    double heartHue = 0;       // music heartbeat
    int snakeTarget = 3;       // snake: target length, 3..8
    DWORD snakeGrowth = 0;     // snake: time of the last growth
    bool snakeGrowthSet = false;
};

SharedState& Shared();

// The hue offset grown by 2 (back to 0 at 360); the new value. Caller holds
// the shared lock.
double NextHueOffset(SharedState& s);

// Each channel of a colour times a factor, truncated and clamped to 0..255.
inline COLORREF ScaleColor(COLORREF c, double factor)
{
    auto one = [factor](int channel) {
        const double v = channel * factor;
        if (!(v > 0)) return 0;
        return std::min(255, static_cast<int>(v));
    };
    return RGB(one(GetRValue(c)), one(GetGValue(c)), one(GetBValue(c)));
}

inline int Clamp(int v, int lo, int hi)
{
    return std::min(hi, std::max(lo, v));
}

inline double Distance(double x, double y, double cx, double cy)
{
    return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
}

// Cell masks, rows top to bottom, 7 x 7 row-major.
extern const bool kHeartMask[49];

}  // namespace matrix_detail
}  // namespace WEXA
