#pragma once

// Import/export decoration for the classes and functions that Wexa publishes.
//   WEXA_BUILD  - defined while the Wexa DLL itself is compiled: export.
//   WEXA_STATIC - defined when the library sources are linked straight into
//                 an executable (tests): no decoration at all.
//   otherwise   - a client of the DLL: import.
#if defined(WEXA_STATIC)
#define WEXA_API
#elif defined(WEXA_BUILD)
#define WEXA_API __declspec(dllexport)
#else
#define WEXA_API __declspec(dllimport)
#endif
