#pragma once

// Import/export decoration for the classes and functions that Wexa publishes.
//   WEXA_BUILD - defined while the Wexa DLL itself is compiled: export.
//   otherwise  - a client of the DLL: import.
#if defined(WEXA_BUILD)
#define WEXA_API __declspec(dllexport)
#else
#define WEXA_API __declspec(dllimport)
#endif
