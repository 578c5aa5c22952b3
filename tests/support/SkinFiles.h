#pragma once
// Skin images made by the tests themselves: a private theme folder below the
// executable's "skins" folder, and PNG files drawn with GDI+ into it.
// GDI+ must be running.
#include <windows.h>

#include <functional>
#include <string>

#include "WexaGdiplus.h"

namespace testutil {

// Creates "<exe folder>\skins\<theme>\" and makes it the library's skin folder
// (Manager::SetThemeSkins). Returns the folder with its trailing backslash.
std::wstring UseTestSkinFolder(const wchar_t* theme);

// Draws a width x height ARGB picture with draw and saves it as PNG under
// folder + name. True when the file was written.
bool WriteSkinPng(const std::wstring& folder, const wchar_t* name, int width, int height,
                  const std::function<void(Gdiplus::Graphics&)>& draw);

}  // namespace testutil
