#pragma once

// XmlTextFile: one text file being read or written by XmlDocument. It finds the
// byte-order mark or the encoding the text declares, converts between that
// encoding and UTF-16, and reports each step as result messages.
// TextConverter: one conversion between UTF-16 and a named encoding.

#include <cstdio>
#include <string>

#include "services/xml/XmlDocument.h"

// Code page numbers the converter handles itself.
enum : int {
    kCodePageUtf16LE = 1200,
    kCodePageUtf16BE = 1201,
    kCodePageUtf32LE = 12000,
    kCodePageUtf32BE = 12001,
    kCodePageUtf8 = 65001,
};

// The code page an encoding name stands for; 0 (the system's ANSI code page)
// for an empty or unknown name.
int CodePageFromEncodingName(const std::wstring& name);
// Number of (name, code page) rows in the encoding name table.
int EncodingNameTableSize();

class TextConverter
{
public:
    TextConverter(const std::wstring& toEncoding, const std::wstring& fromEncoding)
        : m_to(toEncoding),
          m_from(fromEncoding)
    {}

    // Bytes in the source encoding to UTF-16.
    bool ToUtf16(const char* data, int length, std::wstring& out);
    // UTF-16 to bytes in the target encoding; IsLossy() tells whether some
    // character had no equivalent.
    bool FromUtf16(const wchar_t* data, int length, std::string& out);

    bool IsLossy() const { return m_lossy; }

    // Strict enough for detection: every sequence up to the end or the first 0 byte decodes.
    static bool IsValidUtf8(const char* data, int length);

private:
    std::wstring m_to;
    std::wstring m_from;
    bool m_lossy = false;
};

class XmlTextFile
{
public:
    explicit XmlTextFile(unsigned flags) : m_flags(flags) {}
    ~XmlTextFile();
    XmlTextFile(const XmlTextFile&) = delete;
    XmlTextFile& operator=(const XmlTextFile&) = delete;

    bool Open(const wchar_t* path);
    bool ReadText(std::wstring& text);
    bool WriteText(const std::wstring& text);
    bool Close();

    FILE* m_file = nullptr;
    unsigned m_flags;
    int m_bytesToTransfer = 0;
    int m_fileLength = 0;
    int m_position = 0;
    int m_unitSize = 1;
    int m_units = 0;
    std::wstring m_result;
    std::wstring m_encoding;

private:
    void AddFileError(unsigned long code = 0);
};
