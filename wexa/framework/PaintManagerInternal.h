#pragma once
// Helpers shared by the engine's source files.
#include <windows.h>

namespace WEXA {

class PaintManager;

// Window timer ids the engine keeps for itself (control timers skip them).
const UINT kCaretTimer = 6553;
const UINT kOverlayHoldTimer = 66;
const UINT kOverlayFadeTimer = 88;
const UINT kProgressTimer = 99;
// Picks up the repaint requests of other threads (RequestRepaintPickup).
const UINT kRepaintTimer = 67;

// Paints the message or progress overlay into the off-screen DC when it shows.
void DrawOverlay(PaintManager& engine, HDC dc);

// Starts one of the engine's own window timers (and tells the observer).
void StartEngineTimer(PaintManager& engine, UINT id, UINT periodMs);

}  // namespace WEXA
