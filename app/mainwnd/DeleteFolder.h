#pragma once
// Removes a folder with everything in it, silently (no confirmation, no
// progress, no error box), through the shell's file operation.
#include <string>

// True when the shell reports success. Trailing backslashes are dropped first
// (the shell takes the bare folder name). An empty path, a drive root and a
// path of 260 characters or more are refused with false.
bool DeleteFolder(const std::wstring& path);
