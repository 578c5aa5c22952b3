#include "pages/LcdNames.h"

#include <cwchar>

#include "services/SafePaths.h"

std::wstring LcdStamp(const SYSTEMTIME& time)
{
    wchar_t text[32];
    swprintf(text, 32, L"%04d%02d%02d%02d%02d%02d%03d", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    return text;
}

std::wstring FreeLcdStampFrom(const std::wstring& stamp, const std::wstring& folder,
                              const wchar_t* suffix)
{
    std::wstring name = stamp;
    unsigned long long number = wcstoull(stamp.c_str(), nullptr, 10);
    while (GetFileAttributesW((folder + name + suffix).c_str()) != INVALID_FILE_ATTRIBUTES) {
        wchar_t text[32];
        swprintf(text, 32, L"%017llu", ++number);
        name = text;
    }
    return name;
}

std::wstring FreeLcdStamp(const std::wstring& folder, const wchar_t* suffix)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FreeLcdStampFrom(LcdStamp(now), folder, suffix);
}

bool IsPlainLcdName(const wchar_t* name)
{
    // A plain file name, and no ".." anywhere in it.
    return IsPlainFileName(name) && !wcsstr(name, L"..");
}
