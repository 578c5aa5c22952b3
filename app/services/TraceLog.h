#pragma once
// The back-end's trace hook. Trace lines are kept in the code for the developer
// but written nowhere.
void TraceLog(int level, const char* format, ...);
