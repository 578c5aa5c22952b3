#pragma once
// Observation points of the window engines, for diagnostics and tests.
//
// Both observers are process-wide and called on the thread that does the work
// (the UI thread of the engine's window). Set them before the windows exist
// and clear them (null) when done; they are not guarded against a concurrent
// change.
#include <windows.h>

#include "WexaExport.h"

namespace WEXA {

class PaintManager;

// Called at the end of every paint, before the picture is presented, with the
// engine's off-screen surface: a bottom-up 32-bit DIB (row y from the top is
// row height - 1 - y in memory), premultiplied alpha in the top byte.
typedef void (*PaintSurfaceObserver)(PaintManager* engine, const UINT32* bits, int width,
                                     int height);
WEXA_API void SetPaintSurfaceObserver(PaintSurfaceObserver observer);

// Called whenever an engine starts one of its own window timers (caret blink
// 6553, overlay hold 66, fade 88, progress step 99) with the id and period.
typedef void (*EngineTimerObserver)(PaintManager* engine, UINT id, UINT periodMs);
WEXA_API void SetEngineTimerObserver(EngineTimerObserver observer);

}  // namespace WEXA
