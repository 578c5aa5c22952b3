#pragma once
// Small window helpers shared by the library's sources.
#include <windows.h>

namespace WEXA {

// A handle that names a window that still exists.
inline bool IsLiveWindow(HWND wnd)
{
    return wnd && ::IsWindow(wnd);
}

}  // namespace WEXA
