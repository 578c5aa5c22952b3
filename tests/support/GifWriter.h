#pragma once
// Writes small animated GIF files for tests: solid frames from a four-colour
// palette, each with its own delay (or without any delay block).
#include <windows.h>

#include <string>
#include <vector>

namespace testutil {

struct GifFrame
{
    int colorIndex;                          // of every pixel, unless pixels are given
    int delayHundredths;                     // -1: no graphic control block for this frame
    std::vector<unsigned char> pixels = {};  // width x height indexes, row by row
};

// Four colours, RGB: the default is black, red, green, blue.
struct GifPalette
{
    unsigned char rgb[12] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
};

// True when the file was written.
bool WriteGif(const std::wstring& path, int width, int height, const std::vector<GifFrame>& frames,
              const GifPalette& palette = GifPalette());

}  // namespace testutil
