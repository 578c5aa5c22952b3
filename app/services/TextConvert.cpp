#include "services/TextConvert.h"

#include <windows.h>

#include <vector>

std::string Utf16ToUtf8(const wchar_t* text)
{
    if (!text || !*text) return std::string();
    // Measure including the terminating zero, convert into a zero-filled buffer.
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer.data(), size, nullptr, nullptr);
    return std::string(buffer.data());
}

CString Utf8ToUtf16(const char* text)
{
    if (!text || !*text) return CString();
    int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (size <= 0) return CString();
    std::vector<wchar_t> buffer(static_cast<size_t>(size) + 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer.data(), size);
    return CString(buffer.data());
}
