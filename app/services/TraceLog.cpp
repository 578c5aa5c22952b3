#include "services/TraceLog.h"

void TraceLog(int, const char*, ...) {}
