#pragma once

// Conversions between the program's wide (UTF-16) strings and the UTF-8 text
// that the profile database and the network code store and exchange.

#include <string>

#include "CString.h"

// UTF-16 -> UTF-8, up to the first zero. Null gives an empty string. Unpaired
// surrogates become U+FFFD.
std::string Utf16ToUtf8(const wchar_t* text);

// Zero-terminated UTF-8 -> UTF-16, up to the first zero. Null or empty input
// gives an empty string; malformed sequences become U+FFFD.
CString Utf8ToUtf16(const char* text);
