#pragma once
// The library's HSL colour model, shared by every colour picker.
//
// Colours cross the interface as COLORREF (0x00BBGGRR). The conversions work
// in single precision on values in 0 .. 1 with fixed constants, so that a
// colour converts to the same bytes on every machine.
#include <windows.h>

#include "WexaExport.h"

namespace WEXA {

// One channel from the two HSL helper values and a hue offset.
WEXA_API float HueToChannel(float m1, float m2, float h);
// h, s, l in 0 .. 1 to a COLORREF.
WEXA_API COLORREF HslToRgb(float h, float s, float l);
// A COLORREF (its low 24 bits) to h, s, l in 0 .. 1.
WEXA_API void RgbToHsl(COLORREF color, float& h, float& s, float& l);

// Six hexadecimal digits "RRGGBB" (either case) to a COLORREF: each pair is
// read as hexadecimal, a pair that does not read gives 0. False, and the
// colour unchanged, unless the text is exactly six characters long.
WEXA_API bool ParseHexColor(const wchar_t* text, COLORREF& color);

}  // namespace WEXA
