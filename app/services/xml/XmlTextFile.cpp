// XmlTextFile and TextConverter, and the file operations of XmlDocument.
#include "services/xml/XmlTextFile.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "services/xml/XmlNodeScanner.h"

using namespace xmlscan;

namespace {

const unsigned kResultEncodingLength = XmlDocument::ResultEncoding | XmlDocument::ResultLength;

struct ByteOrderMark
{
    unsigned char bytes[3];
    int size;
    const wchar_t* encoding;
    unsigned mark;
};

// Searched in this order when reading and when choosing the mark to write.
const ByteOrderMark kMarks[] = {
    {{0xEF, 0xBB, 0xBF}, 3, L"UTF-8", XmlFileUtf8Signature},
    {{0xFF, 0xFE, 0}, 2, L"UTF-16LE", XmlFileUtf16LE},
    {{0xFE, 0xFF, 0}, 2, L"UTF-16BE", XmlFileUtf16BE},
};

// Code pages for which the platform refuses to report lost characters.
bool RefusesLossFlag(int cp)
{
    switch (cp) {
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case 52936:
        case 54936:
        case 65000:
        case 65001: return true;
        default: return cp >= 57002 && cp <= 57011;
    }
}

bool HasLoneSurrogate(const wchar_t* data, int length)
{
    for (int i = 0; i < length; ++i) {
        const wchar_t c = data[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < length && data[i + 1] >= 0xDC00 && data[i + 1] <= 0xDFFF)
                ++i;
            else
                return true;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

void AppendUtf16(std::wstring& out, uint32_t cp)
{
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else if (cp < 0x10000 && (cp < 0xD800 || cp > 0xDFFF)) {
        out.push_back(static_cast<wchar_t>(cp));
    } else {
        out.push_back(L'?');
    }
}

bool EqualsNoCase(const wchar_t* a, size_t n, const wchar_t* b)
{
    size_t i = 0;
    for (; i < n && b[i]; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 32);
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 32);
        if (x != y) return false;
    }
    return i == n && !b[i];
}

// Reads an attribute of the tag whose name starts at `from` (the name is the
// first token), names compared without regard to ASCII case. found tells
// whether the attribute is there.
std::wstring TagAttribute(const wchar_t* t, int end, int from, const wchar_t* name, bool& found)
{
    found = false;
    int i = from;
    int tokens = 0;
    bool afterEquals = false, pending = false;
    for (;;) {
        while (i < end && IsSpace(t[i])) ++i;
        if (i >= end) break;
        const wchar_t ch = t[i];
        const int begin = i;
        bool quoted = false;
        if (ch == L'"' || ch == L'\'') {
            ++i;
            while (i < end && t[i] != ch) ++i;
            quoted = true;
            if (i < end) ++i;
        } else if (afterEquals) {
            while (i < end && !IsSpace(t[i]) && t[i] != L'>') ++i;
        } else {
            ++i;
            if (ch != L'=' && ch != L'>' && ch != L'/' && ch != L'?') {
                while (i < end && t[i] != L'=' && t[i] != L'>' && t[i] != L'/' && t[i] != L'?' &&
                       !IsSpace(t[i]))
                    ++i;
            }
        }
        if (afterEquals) {
            afterEquals = false;
            if (pending) {
                found = true;
                int a = begin, b = i;
                if (quoted) {
                    ++a;
                    if (b > a && t[b - 1] == ch) --b;
                }
                return XmlDocument::DecodeEntities(t + a, b - a);
            }
            continue;
        }
        if (!quoted && (ch == L'/' || ch == L'>' || ch == L'?')) break;
        if (!quoted && ch == L'=') {
            afterEquals = true;
            continue;
        }
        if (pending) break;
        if (++tokens > 1 && !quoted && EqualsNoCase(t + begin, i - begin, name)) pending = true;
    }
    found = pending;
    return std::wstring();
}

// The token after "charset" and "=" in a Content-Type value.
std::wstring CharsetOf(const std::wstring& content)
{
    auto separator = [](wchar_t c) { return IsSpace(c) || wcschr(L"<>\\/?!\"';", c) != nullptr; };
    std::vector<std::wstring> tokens;
    for (size_t i = 0; i < content.size();) {
        if (separator(content[i])) {
            ++i;
        } else if (content[i] == L'=') {
            tokens.push_back(L"=");
            ++i;
        } else {
            size_t j = i;
            while (j < content.size() && !separator(content[j]) && content[j] != L'=') ++j;
            tokens.push_back(content.substr(i, j - i));
            i = j;
        }
    }
    for (size_t k = 0; k + 2 < tokens.size(); ++k) {
        if (EqualsNoCase(tokens[k].c_str(), tokens[k].size(), L"charset") &&
            tokens[k + 1] == L"=" && tokens[k + 2] != L"=")
            return tokens[k + 2];
    }
    return std::wstring();
}

}  // namespace

// ---- TextConverter -------------------------------------------------------------------

bool TextConverter::IsValidUtf8(const char* data, int length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    int i = 0;
    while (i < length) {
        const unsigned char b = p[i];
        if (b == 0) return true;
        if (b < 0x80) {
            ++i;
            continue;
        }
        int count;
        if (!(b & 0x20))
            count = 2;
        else if (!(b & 0x10))
            count = 3;
        else if (!(b & 0x08))
            count = 4;
        else
            return false;
        for (int k = 1; k < count; ++k) {
            if (i + k >= length || !(p[i + k] & 0x80)) return false;
        }
        i += count;
    }
    return true;
}

bool TextConverter::ToUtf16(const char* data, int length, std::wstring& out)
{
    out.clear();
    m_lossy = false;
    if (length <= 0) return true;
    const int cp = CodePageFromEncodingName(m_from);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(data);
    if (cp == kCodePageUtf16LE || cp == kCodePageUtf16BE) {
        const bool be = cp == kCodePageUtf16BE;
        out.resize(length / 2);
        for (int i = 0; i + 1 < length; i += 2)
            out[i / 2] = static_cast<wchar_t>(be ? (b[i] << 8 | b[i + 1]) : (b[i + 1] << 8 | b[i]));
        return true;
    }
    if (cp == kCodePageUtf32LE || cp == kCodePageUtf32BE) {
        const bool be = cp == kCodePageUtf32BE;
        out.reserve(length / 4 + 1);
        for (int i = 0; i + 3 < length; i += 4) {
            const uint32_t v =
                be ? (uint32_t(b[i]) << 24 | b[i + 1] << 16 | b[i + 2] << 8 | b[i + 3])
                   : (uint32_t(b[i + 3]) << 24 | b[i + 2] << 16 | b[i + 1] << 8 | b[i]);
            AppendUtf16(out, v);
        }
        return true;
    }
    UINT codePage = cp ? static_cast<UINT>(cp) : CP_ACP;
    int size = MultiByteToWideChar(codePage, 0, data, length, nullptr, 0);
    if (size <= 0 && codePage != CP_ACP) {
        // A code page this system cannot convert reads as the ANSI code page.
        codePage = CP_ACP;
        size = MultiByteToWideChar(codePage, 0, data, length, nullptr, 0);
    }
    if (size <= 0) return false;
    out.resize(size + size / 100 + 1);
    size = MultiByteToWideChar(codePage, 0, data, length, &out[0], static_cast<int>(out.size()));
    out.resize(size > 0 ? size : 0);
    return size > 0;
}

bool TextConverter::FromUtf16(const wchar_t* data, int length, std::string& out)
{
    out.clear();
    m_lossy = false;
    if (length <= 0) return true;
    const int cp = CodePageFromEncodingName(m_to);
    if (cp == kCodePageUtf16LE || cp == kCodePageUtf16BE) {
        const bool be = cp == kCodePageUtf16BE;
        out.resize(static_cast<size_t>(length) * 2);
        for (int i = 0; i < length; ++i) {
            const unsigned v = data[i];
            out[2 * i] = static_cast<char>(be ? v >> 8 : v & 0xFF);
            out[2 * i + 1] = static_cast<char>(be ? v & 0xFF : v >> 8);
        }
        return true;
    }
    if (cp == kCodePageUtf32LE || cp == kCodePageUtf32BE) {
        const bool be = cp == kCodePageUtf32BE;
        for (int i = 0; i < length; ++i) {
            uint32_t v = data[i];
            if (v >= 0xD800 && v <= 0xDBFF && i + 1 < length && data[i + 1] >= 0xDC00 &&
                data[i + 1] <= 0xDFFF) {
                v = 0x10000 + ((v - 0xD800) << 10) + (data[i + 1] - 0xDC00);
                ++i;
            } else if (v >= 0xD800 && v <= 0xDFFF) {
                v = L'?';
                m_lossy = true;
            }
            for (int k = 0; k < 4; ++k)
                out.push_back(static_cast<char>(be ? v >> (24 - 8 * k) : v >> (8 * k)));
        }
        return true;
    }
    UINT codePage = cp ? static_cast<UINT>(cp) : CP_ACP;
    BOOL usedDefault = FALSE;
    BOOL* lossFlag = RefusesLossFlag(static_cast<int>(codePage)) ? nullptr : &usedDefault;
    int size = WideCharToMultiByte(codePage, 0, data, length, nullptr, 0, nullptr, lossFlag);
    if (size <= 0 && codePage != CP_ACP) {
        codePage = CP_ACP;
        lossFlag = &usedDefault;
        size = WideCharToMultiByte(codePage, 0, data, length, nullptr, 0, nullptr, lossFlag);
    }
    if (size <= 0) return false;
    out.resize(size);
    usedDefault = FALSE;
    size = WideCharToMultiByte(codePage, 0, data, length, &out[0], size, nullptr, lossFlag);
    out.resize(size > 0 ? size : 0);
    m_lossy = usedDefault != FALSE || (!lossFlag && HasLoneSurrogate(data, length));
    return size > 0;
}

// ---- XmlTextFile ---------------------------------------------------------------------------

XmlTextFile::~XmlTextFile()
{
    if (m_file) fclose(m_file);
}

void XmlTextFile::AddFileError(unsigned long code)
{
    if (!code) code = GetLastError();
    if (!code) code = _doserrno;
    wchar_t buffer[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer, static_cast<DWORD>(sizeof(buffer) / sizeof(buffer[0])), nullptr);
    std::wstring text(buffer);
    text = text.substr(0, std::min(text.find_first_of(L"\r\n"), static_cast<size_t>(100)));
    XmlDocument::AddResult(m_result, XmlDocument::ResultMsg | XmlDocument::ResultN, L"file_error",
                           text.c_str(), static_cast<int>(code), -1);
}

bool XmlTextFile::Open(const wchar_t* path)
{
    m_result.clear();
    const bool append = (m_flags & XmlFileAppend) != 0;
    const bool write = append || (m_flags & XmlFileWrite);
    SetLastError(0);
    m_file = path ? _wfopen(path, append ? L"ab" : write ? L"wb" : L"rb") : nullptr;
    if (!m_file) {
        AddFileError(path ? 0 : ERROR_INVALID_PARAMETER);
        return false;
    }
    long long length = 0;
    if (!write || append) {
        length = _filelengthi64(_fileno(m_file));
        if (length < 0) {
            AddFileError();
            return false;
        }
        if (length > 0x7FFFFFF0LL) {
            AddFileError(ERROR_FILE_TOO_LARGE);
            return false;
        }
        m_fileLength = static_cast<int>(length);
    }
    int markSize = 0;
    if (!write) {
        unsigned char head[1024];
        const int n = static_cast<int>(std::min<long long>(length, sizeof(head)));
        if (n && fread(head, 1, n, m_file) != static_cast<size_t>(n)) {
            AddFileError();
            return false;
        }
        // Every encoding mark comes from this file alone.
        m_flags &= ~XmlFileEncodingMarks;
        for (const ByteOrderMark& m : kMarks) {
            if (n >= m.size && std::memcmp(head, m.bytes, m.size) == 0) {
                m_flags |= m.mark;
                m_encoding = m.encoding;
                m_unitSize = m.mark == XmlFileUtf8Signature ? 1 : 2;
                markSize = m.size;
                break;
            }
        }
        if (!markSize) {
            if (n >= 2 && head[0] == '<' && head[1] == 0) {
                m_encoding = L"UTF-16LE";  // UTF-16 without a signature
                m_unitSize = 2;
            } else if (n >= 2 && head[0] == 0 && head[1] == '<') {
                m_encoding = L"UTF-16BE";
                m_unitSize = 2;
            } else {
                std::wstring start;
                TextConverter(L"UTF-16", L"UTF-8")
                    .ToUtf16(reinterpret_cast<const char*>(head), n, start);
                m_encoding =
                    XmlDocument::GetDeclaredEncoding(start.c_str(), static_cast<int>(start.size()));
                if (m_encoding.empty() && n && head[0] == '<') m_encoding = L"UTF-8";
            }
        }
        if (fseek(m_file, markSize, SEEK_SET) != 0) {
            AddFileError();
            return false;
        }
    } else {
        for (const ByteOrderMark& m : kMarks) {
            if (m_flags & m.mark) {
                m_encoding = m.encoding;
                m_unitSize = m.mark == XmlFileUtf8Signature ? 1 : 2;
                if (!(append && length > 0)) {
                    if (fwrite(m.bytes, 1, m.size, m_file) != static_cast<size_t>(m.size)) {
                        AddFileError();
                        return false;
                    }
                    markSize = m.size;
                }
                break;
            }
        }
    }
    m_position = append ? m_fileLength : markSize;
    if (markSize) XmlDocument::AddResult(m_result, 0, L"bom", nullptr, -1, -1);
    return true;
}

bool XmlTextFile::ReadText(std::wstring& text)
{
    m_result.clear();
    text.clear();
    const int remaining = m_fileLength - m_position;
    if (remaining <= 0) {
        m_units = 0;
        XmlDocument::AddResult(m_result, kResultEncodingLength, L"read", m_encoding.c_str(), 0, -1);
        return true;
    }
    m_bytesToTransfer = remaining;
    if (m_unitSize == 2) {
        std::wstring units;
        units.reserve(remaining / 2 + remaining / 200 + 1);
        units.resize((remaining + 1) / 2);
        if (fread(&units[0], 1, remaining, m_file) != static_cast<size_t>(remaining)) {
            AddFileError();
            return false;
        }
        units.resize(remaining / 2);
        m_units = static_cast<int>(units.size());
        m_position += remaining;
        XmlDocument::AddResult(m_result, kResultEncodingLength, L"read", m_encoding.c_str(),
                               m_units, -1);
        const size_t before = units.size();
        units.erase(std::remove(units.begin(), units.end(), L'\0'), units.end());
        if (units.size() != before)
            XmlDocument::AddResult(m_result, XmlDocument::ResultCount, L"nulls_removed", nullptr,
                                   static_cast<int>(before - units.size()), -1);
        if (m_encoding == L"UTF-16BE") {
            for (wchar_t& u : units) u = static_cast<wchar_t>((u >> 8) | (u << 8));
            XmlDocument::AddResult(m_result, 0, L"endian_swap", nullptr, -1, -1);
        }
        text.swap(units);
        return true;
    }
    std::string bytes(remaining, '\0');
    if (fread(&bytes[0], 1, remaining, m_file) != static_cast<size_t>(remaining)) {
        AddFileError();
        return false;
    }
    m_units = remaining;
    m_position += remaining;
    XmlDocument::AddResult(m_result, kResultEncodingLength, L"read", m_encoding.c_str(), remaining,
                           -1);
    const size_t before = bytes.size();
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
    if (bytes.size() != before)
        XmlDocument::AddResult(m_result, XmlDocument::ResultCount, L"nulls_removed", nullptr,
                               static_cast<int>(before - bytes.size()), -1);
    if (m_encoding.empty()) {
        if (TextConverter::IsValidUtf8(bytes.data(), static_cast<int>(bytes.size()))) {
            m_encoding = L"UTF-8";
            XmlDocument::AddResult(m_result, kResultEncodingLength | XmlDocument::ResultUpdate,
                                   L"read", m_encoding.c_str(), remaining, -1);
        }
        XmlDocument::AddResult(m_result, 0, L"utf8_detection", nullptr, -1, -1);
    }
    TextConverter converter(L"UTF-16", m_encoding);
    if (!converter.ToUtf16(bytes.data(), static_cast<int>(bytes.size()), text)) {
        AddFileError(GetLastError() ? GetLastError() : ERROR_NO_UNICODE_TRANSLATION);
        text.clear();
        return false;
    }
    XmlDocument::AddResult(m_result, kResultEncodingLength, L"converted_to", L"UTF-16",
                           static_cast<int>(text.size()), -1);
    return true;
}

bool XmlTextFile::WriteText(const std::wstring& text)
{
    m_result.clear();
    if (text.empty()) {
        m_units = 0;
        XmlDocument::AddResult(m_result, kResultEncodingLength, L"write", m_encoding.c_str(), 0,
                               -1);
        return true;
    }
    size_t written;
    if (m_unitSize == 2) {
        std::wstring swapped;
        const wchar_t* units = text.data();
        if (m_flags & XmlFileUtf16BE && !(m_flags & XmlFileUtf16LE)) {
            swapped = text;
            for (wchar_t& u : swapped) u = static_cast<wchar_t>((u >> 8) | (u << 8));
            units = swapped.data();
            XmlDocument::AddResult(m_result, 0, L"endian_swap", nullptr, -1, -1);
        }
        m_bytesToTransfer = static_cast<int>(text.size() * 2);
        written = fwrite(units, 2, text.size(), m_file);
        if (written != text.size()) {
            AddFileError();
            return false;
        }
    } else {
        TextConverter converter(m_encoding, L"UTF-16");
        std::string bytes;
        if (!converter.FromUtf16(text.data(), static_cast<int>(text.size()), bytes)) {
            AddFileError(GetLastError() ? GetLastError() : ERROR_NO_UNICODE_TRANSLATION);
            return false;
        }
        XmlDocument::AddResult(m_result, kResultEncodingLength, L"converted_from", L"UTF-16",
                               static_cast<int>(text.size()), -1);
        if (converter.IsLossy())
            XmlDocument::AddResult(m_result, 0, L"conversion_loss", nullptr, -1, -1);
        m_bytesToTransfer = static_cast<int>(bytes.size());
        written = fwrite(bytes.data(), 1, bytes.size(), m_file);
        if (written != bytes.size()) {
            AddFileError();
            return false;
        }
    }
    m_units = static_cast<int>(written);
    m_position += m_bytesToTransfer;
    XmlDocument::AddResult(m_result, kResultEncodingLength, L"write", m_encoding.c_str(), m_units,
                           -1);
    return true;
}

bool XmlTextFile::Close()
{
    if (!m_file) return true;
    const int rc = fclose(m_file);
    m_file = nullptr;
    if (rc != 0) {
        AddFileError();
        return false;
    }
    return true;
}

// ---- declared encoding ------------------------------------------------------------------------

std::wstring XmlDocument::GetDeclaredEncoding(const wchar_t* text, int length)
{
    if (!text || length <= 0) return std::wstring();
    NodeScanner scanner(text, length);
    Node node;
    bool inHtml = false;
    bool found;
    while (scanner.Next(node)) {
        switch (node.kind) {
            case NodeInstruction:
                if (node.start == 0) {
                    int i = 2;
                    int end = node.length;
                    while (i < end && !IsSpace(text[i]) && text[i] != L'?') ++i;
                    if (EqualsNoCase(text + 2, i - 2, L"xml"))
                        return TagAttribute(text, node.length, 2, L"encoding", found);
                }
                break;
            case NodeStartTag:
            case NodeEmptyTag: {
                const wchar_t* name = text + node.nameStart;
                const int end = node.start + node.length;
                if (!inHtml) {
                    if (!EqualsNoCase(name, node.nameLength, L"html")) return std::wstring();
                    inHtml = true;
                } else if (EqualsNoCase(name, node.nameLength, L"meta")) {
                    const std::wstring equiv =
                        TagAttribute(text, end, node.nameStart, L"http-equiv", found);
                    if (found && EqualsNoCase(equiv.c_str(), equiv.size(), L"Content-Type")) {
                        const std::wstring content =
                            TagAttribute(text, end, node.nameStart, L"content", found);
                        if (found) return CharsetOf(content);
                    }
                }
                break;
            }
            case NodeEndTag:
                if (EqualsNoCase(text + node.nameStart, node.nameLength, L"head"))
                    return std::wstring();
                break;
            case NodeError: return std::wstring();
            default: break;
        }
    }
    return std::wstring();
}

// ---- XmlDocument file operations ----------------------------------------------------------------

bool XmlDocument::LoadTextFile(std::wstring& text, std::wstring* result, const wchar_t* path,
                               unsigned* flags)
{
    XmlTextFile file(((flags ? *flags : 0) & ~XmlFileModeMarks) | XmlFileRead);
    const bool opened = file.Open(path);
    if (result) *result = file.m_result;
    text.clear();
    if (!opened) return false;
    const bool ok = file.ReadText(text);
    file.Close();  // a failure adds its file_error to the read messages
    if (result) *result += file.m_result;
    if (flags) *flags = file.m_flags & ~XmlFileModeMarks;
    return ok;
}

bool XmlDocument::SaveTextFile(const std::wstring& text, std::wstring* result, const wchar_t* path,
                               unsigned* flags)
{
    unsigned mode = (flags ? *flags : 0) & ~XmlFileRead;
    if (!(mode & (XmlFileWrite | XmlFileAppend))) mode |= XmlFileWrite;
    XmlTextFile file(mode);
    const bool opened = file.Open(path);
    if (result) *result = file.m_result;
    if (!opened) return false;
    if (file.m_encoding.empty() && !text.empty()) {
        file.m_encoding = GetDeclaredEncoding(text.c_str(), static_cast<int>(text.size()));
        if (file.m_encoding.empty()) file.m_encoding = L"UTF-8";
    }
    const bool ok = file.WriteText(text);
    const std::wstring writeMessages = file.m_result;
    file.m_result.clear();
    const bool closed = file.Close();
    if (result) {
        *result += writeMessages;
        if (!closed) *result += file.m_result;
    }
    if (flags) *flags = file.m_flags & ~XmlFileModeMarks;
    return ok;
}

bool XmlDocument::Load(const wchar_t* path)
{
    if (!LoadTextFile(m_text, &m_result, path, &m_flags)) {
        // The text is empty now; the table and the cursor must not point into the old one.
        const std::wstring messages = m_result;
        Parse();
        m_result = messages;
        return false;
    }
    return Parse();
}

bool XmlDocument::Save(const wchar_t* path)
{
    return SaveTextFile(m_text, &m_result, path, &m_flags);
}
