#pragma once
// Shared helpers of the data tests: the folder the program reads its data from
// (the build folder, beside the executables) and the XML files in it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "services/xml/XmlDocument.h"

namespace datatest {

// The executables' folder with a trailing backslash.
inline std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

inline bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Width and height of a PNG file from its header; false when it is not a PNG.
inline bool PngSize(const std::wstring& path, int& width, int& height)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    unsigned char header[24] = {};
    DWORD read = 0;
    const bool ok = ReadFile(file, header, sizeof header, &read, nullptr) && read == sizeof header;
    CloseHandle(file);
    if (!ok || header[0] != 0x89 || header[1] != 'P' || header[2] != 'N' || header[3] != 'G')
        return false;
    auto be32 = [&](int at) {
        return int(header[at]) << 24 | int(header[at + 1]) << 16 | int(header[at + 2]) << 8 |
               int(header[at + 3]);
    };
    width = be32(16);
    height = be32(20);
    return true;
}

inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Loads and parses a file as the program does; adds a failure when the file cannot be
// read or the parser reports anything.
inline bool LoadXml(const std::wstring& path, XmlDocument& document)
{
    std::wstring text, readMessages;
    unsigned flags = 0;
    if (!XmlDocument::LoadTextFile(text, &readMessages, path.c_str(), &flags)) {
        ADD_FAILURE() << "cannot read " << Narrow(path) << ": " << Narrow(readMessages);
        return false;
    }
    const bool wellFormed = document.SetDocumentText(text);
    EXPECT_TRUE(wellFormed) << Narrow(path);
    EXPECT_EQ("", Narrow(document.m_result)) << Narrow(path);
    return wellFormed && document.m_result.empty();
}

inline int Decimal(const std::wstring& text)
{
    return _wtoi(text.c_str());
}

inline int Hex(const std::wstring& text)
{
    return int(wcstol(text.c_str(), nullptr, 16));
}

}  // namespace datatest
