#pragma once
// The one way Wexa and its users include GDI+.
//
// The build defines NOMINMAX for every file, but <gdiplus.h> uses unqualified
// min and max; this header makes the standard ones visible in namespace Gdiplus
// before including it. Include this header instead of <gdiplus.h>.
#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
