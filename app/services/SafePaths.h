#pragma once
// Names from outside the program (config.xml, the database) that become part
// of a path, and every path the program deletes, are checked here: nothing the
// program creates, changes or removes may lie outside its own folders, whatever
// a name says.
#include <string>

// True when the name can stand as one plain file or folder name: not empty, at
// most 255 characters, no control character and none of < > : " / \ | ? *, not
// "." or "..", no trailing dot or space (Windows would drop them and name
// another file), and no device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9,
// CONIN$, CONOUT$; any case, with or without an extension).
bool IsPlainFileName(const wchar_t* name);
bool IsPlainFileName(const std::wstring& name);

// True when the path, made absolute and normalised ("." and ".." resolved,
// "/" read as "\"), lies strictly below the folder (normalised the same way),
// compared without regard to case, and every part of it below the folder is
// a plain file name (no wildcard, stream or device). The folder itself is not
// below itself.
bool IsPathInsideFolder(const std::wstring& path, const std::wstring& folder);
// The same with the per-user data folder (GetDataFolder).
bool IsInsideDataFolder(const std::wstring& path);
// Deletes a file of the per-user data folder. Any other path is refused: false,
// nothing deleted. True when the file was deleted.
bool DeleteDataFile(const std::wstring& path);
