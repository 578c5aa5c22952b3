#pragma once
// Names of the LCD page's folders and files: layer folders and imported or
// copied frames are named by local-time stamps, and a layer's folder name
// comes from the database, so it is checked before any path is made from it.
#include <windows.h>

#include <string>

// The type a default layer (made from a stock animation) is stored with.
const int kLcdDefaultLayerType = 1;

// "%04d%02d%02d%02d%02d%02d%03d" of the time: 17 digits.
std::wstring LcdStamp(const SYSTEMTIME& time);

// A stamp of the local time such that folder + stamp + suffix names nothing
// that exists: a taken stamp (the clock may tick only every 15.6 ms) is
// counted up by one until it is free.
std::wstring FreeLcdStamp(const std::wstring& folder, const wchar_t* suffix);
// The same with the stamp to start from given.
std::wstring FreeLcdStampFrom(const std::wstring& stamp, const std::wstring& folder,
                              const wchar_t* suffix);

// A plain name of one folder or file (IsPlainFileName) with no ".." anywhere
// in it. Anything else must never become part of a path that is written to or
// deleted.
bool IsPlainLcdName(const wchar_t* name);
