#pragma once
// Removes a folder with everything in it, silently (no confirmation, no
// progress, no error box), through the shell's file operation.
#include <string>

// True when the shell reports success. Trailing backslashes are dropped first
// (the shell takes the bare folder name). An empty path, a drive root and a
// path of 260 characters or more are refused with false.
bool DeleteFolder(const std::wstring& path);
// DeleteFolder for the program's own folders: a path that does not lie below
// the per-user data folder (IsInsideDataFolder: after "." and ".." are
// resolved, no wildcard, stream or device) is refused with false and nothing
// is deleted. Every folder the program deletes goes through here.
bool DeleteDataFolder(const std::wstring& path);
