#pragma once
// Writes small animated GIF files for tests: solid frames from a four-colour
// palette, each with its own delay (or without any delay block).
#include <windows.h>

#include <string>
#include <vector>

namespace stdtest {

struct GifFrame
{
    int colorIndex;       // 0 black, 1 red, 2 green, 3 blue
    int delayHundredths;  // -1: no graphic control block for this frame
};

// True when the file was written.
bool WriteGif(const std::wstring& path, int width, int height, const std::vector<GifFrame>& frames);

}  // namespace stdtest
