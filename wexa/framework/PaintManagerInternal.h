#pragma once
// Helpers shared by the engine's source files.
#include <windows.h>

namespace WEXA {

class PaintManager;

// Paints the message or progress overlay into the off-screen DC when it shows.
void DrawOverlay(PaintManager& engine, HDC dc);

// Starts one of the engine's own window timers (and tells the observer).
void StartEngineTimer(PaintManager& engine, UINT id, UINT periodMs);

}  // namespace WEXA
