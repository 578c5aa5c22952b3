#pragma once
#include <windows.h>

namespace WEXA {
// The module handle of Wexa.dll itself, for the library's own resources.
HINSTANCE WexaModuleInstance();
}  // namespace WEXA
