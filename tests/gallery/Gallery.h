#pragma once
// The page gallery: pictures of the main window's pages and of the windows it
// opens, for one model and one language at a time. Each picture is written
// to "gallery\" in the build folder and compared with its reference in
// references\ beside the sources (the tolerance rule of ScreenshotCompare;
// KESTROVA_UPDATE_REFERENCE=1 writes the references). index.html in the
// gallery folder shows every picture taken, model by model, in a grid of
// states by language.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>
#include "EveryTick.h"

namespace WEXA {
class PaintManager;
}  // namespace WEXA

namespace gallery {

struct Shot
{
    std::string model;    // "Kestrova-K87"
    int language;         // 2052, 1033, 1028
    std::string state;    // file part: "lighting_user"
    std::string caption;  // what the picture shows
    std::string file;     // name in the gallery folder
    bool matched;         // the comparison with the reference passed
};

// The pictures taken so far in this program.
std::vector<Shot>& Shots();
// Rewrites gallery\index.html from Shots().
void WriteIndex();

// The model's short name in file names: "Kestrova-K75-LCD" -> "k75_lcd".
std::string ShortName(const std::string& model);

// Captures `area` (screen pixels) as state `state` of the model and language,
// writes it to the gallery, compares it with its reference (every control of
// the engine its own region) and records it for the index.
void Take(const std::string& model, int language, const std::string& state,
          const std::string& caption, const RECT& area, WEXA::PaintManager* engine, HWND window);

// The client area of a window on the screen.
RECT ClientArea(HWND window);
// The whole window on the screen.
RECT WindowArea(HWND window);

// The topmost visible library window of the thread with that name; null
// when none is shown (a closed one may linger hidden).
HWND FindShownWindow(const wchar_t* name, DWORD thread);
// The engine of a library window (dialog or menu); null for another window.
WEXA::PaintManager* EngineOf(HWND window);

// Runs step every 15 ms on this thread, in whatever message loop runs (also a
// modal dialog's), until it returns true or the object goes.
using EveryTick = testutil::EveryTick;

}  // namespace gallery
