#include "pages/ProfileFile.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <map>
#include <utility>

#include "mainwnd/device/KeyFuncCodec.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlTextFile.h"

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// A numeric attribute: missing (or empty) gives 0, as in an export of a row
// whose column is 0; anything that is not a decimal number is refused.
bool NumberOf(const std::wstring& text, int& value)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) {
        value = 0;
        return true;
    }
    return ParseProfileNumber(text, value);
}

// Whether a byte-oriented text is valid in its code page (UTF-8 strictly).
bool DecodesWithoutLoss(const std::string& bytes, size_t start, UINT codePage)
{
    if (bytes.size() <= start) return true;
    if (bytes.find('\0', start) != std::string::npos) return false;
    const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    return MultiByteToWideChar(codePage, flags, bytes.data() + start, int(bytes.size() - start),
                               nullptr, 0) > 0;
}

// How deep the elements nest, counted on the text before the parser sees it
// (a hostile file must not reach the parser with thousands of levels).
// Comments, CDATA, declarations and processing instructions are skipped;
// quoted attribute values may hold '>' and '/'.
int NestingDepth(const std::wstring& text, int limit)
{
    int depth = 0;
    int deepest = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        if (text[i] != L'<') continue;
        if (text.compare(i, 4, L"<!--") == 0) {
            size_t end = text.find(L"-->", i + 4);
            if (end == std::wstring::npos) return deepest;
            i = end + 2;
            continue;
        }
        if (text.compare(i, 9, L"<![CDATA[") == 0) {
            size_t end = text.find(L"]]>", i + 9);
            if (end == std::wstring::npos) return deepest;
            i = end + 2;
            continue;
        }
        if (i + 1 < n && (text[i + 1] == L'?' || text[i + 1] == L'!')) {
            size_t end = text.find(L'>', i + 1);
            if (end == std::wstring::npos) return deepest;
            i = end;
            continue;
        }
        const bool closing = i + 1 < n && text[i + 1] == L'/';
        // The end of the tag, outside quotes.
        wchar_t quote = 0;
        size_t j = i + 1;
        for (; j < n; ++j) {
            const wchar_t c = text[j];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == L'"' || c == L'\'') {
                quote = c;
            } else if (c == L'>') {
                break;
            }
        }
        if (j >= n) return deepest;
        const bool empty = !closing && text[j - 1] == L'/';
        if (closing) {
            if (depth > 0) --depth;
        } else if (!empty) {
            if (++depth > deepest) deepest = depth;
            if (deepest > limit) return deepest;
        } else if (depth + 1 > deepest) {
            deepest = depth + 1;
            if (deepest > limit) return deepest;
        }
        i = j;
    }
    return deepest;
}

}  // namespace

std::wstring BuildProfileDocument(const wchar_t* name, const std::vector<KeyMacroData*>& rows)
{
    XmlDocument doc;
    doc.SetDocumentText(kDeclaration);
    doc.AddElement(L"profile");
    doc.EnterElement();
    doc.AddElement(L"profileinfo");
    doc.SetAttribute(L"name", name ? name : L"");
    doc.AddElement(L"key_macro");
    doc.EnterElement();
    for (const KeyMacroData* row : rows) {
        if (!row) continue;
        doc.AddElement(L"item");
        doc.SetAttribute(L"fn_layer", row->fn_layer);
        doc.SetAttribute(L"key_code", row->key_code);
        doc.SetAttribute(L"layout_value", row->layout_value);
        doc.SetAttribute(L"layout_desc", row->layout_desc);
        doc.SetAttribute(L"macro_type", row->macro_type);
        doc.SetAttribute(L"macro_value", row->macro_value);
        doc.SetAttribute(L"macro_value2", row->macro_value2);
        doc.SetAttribute(L"macro_value3", row->macro_value3);
        doc.SetAttribute(L"macro_desc", row->macro_desc);
    }
    doc.LeaveElement();
    doc.LeaveElement();
    return doc.GetDocumentText();
}

bool WriteProfileFile(const wchar_t* path, const wchar_t* name,
                      const std::vector<KeyMacroData*>& rows)
{
    unsigned flags = 0;
    return XmlDocument::SaveTextFile(BuildProfileDocument(name, rows), nullptr, path, &flags);
}

bool ParseProfileNumber(const std::wstring& text, int& value)
{
    size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (i < end && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == end) return false;
    int64_t magnitude = 0;
    for (; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > int64_t(INT32_MAX) + 1) return false;
    }
    const int64_t signed_ = negative ? -magnitude : magnitude;
    if (signed_ > INT32_MAX || signed_ < INT32_MIN) return false;
    value = int(signed_);
    return true;
}

bool IsImportableKeyRow(const KeyMacroData& row, const ModelKeyCodes* keys)
{
    if (row.fn_layer < 0 || row.fn_layer > 3) return false;
    if (keys ? keys->count(row.key_code) == 0 : (row.key_code < 1 || row.key_code > 255))
        return false;
    // The layout value is the key's own code (0 in a row made for a key that
    // had none).
    if (row.layout_value != 0 && row.layout_value != row.key_code) return false;
    return IsEncodableKeyFunction(row);
}

ProfileFileError ParseProfileDocument(const std::wstring& text, ImportedProfile& profile,
                                      const ModelKeyCodes* keys)
{
    profile = ImportedProfile();
    if (NestingDepth(text, kMaxProfileFileDepth) > kMaxProfileFileDepth)
        return ProfileFileError::TooDeep;
    XmlDocument doc;
    if (!doc.SetDocumentText(text)) return ProfileFileError::NotWellFormed;
    // The root, and only the root, must be the profile.
    if (!doc.FindElement(L"") || doc.GetElementName(doc.GetCurrentPos()) != L"profile")
        return ProfileFileError::NoProfileRoot;
    doc.EnterElement();
    // One profile per file: a profile inside the profile is not an export.
    while (doc.FindElement(L"")) {
        if (doc.GetElementName(doc.GetCurrentPos()) == L"profile")
            return ProfileFileError::SeveralProfiles;
    }
    // Back to the root's first child. The first name and the first key list
    // after it count; later ones are ignored like any other element.
    doc.SetDocumentText(text);
    doc.FindElement(L"");
    doc.EnterElement();
    if (doc.FindElement(L"profileinfo")) profile.name = doc.GetAttribute(L"name").c_str();
    if (!doc.FindElement(L"key_macro")) return ProfileFileError::None;
    doc.EnterElement();
    std::map<std::pair<int, int>, size_t> seen;  // (layer, key) -> index in rows
    int items = 0;
    while (doc.FindElement(L"item")) {
        if (++items > kMaxProfileFileItems) {
            profile.rows.clear();
            profile.skipped = 0;
            return ProfileFileError::TooManyItems;
        }
        KeyMacroData row;
        const bool numbers = NumberOf(doc.GetAttribute(L"fn_layer"), row.fn_layer) &&
                             NumberOf(doc.GetAttribute(L"key_code"), row.key_code) &&
                             NumberOf(doc.GetAttribute(L"layout_value"), row.layout_value) &&
                             NumberOf(doc.GetAttribute(L"macro_type"), row.macro_type) &&
                             NumberOf(doc.GetAttribute(L"macro_value"), row.macro_value) &&
                             NumberOf(doc.GetAttribute(L"macro_value2"), row.macro_value2) &&
                             NumberOf(doc.GetAttribute(L"macro_value3"), row.macro_value3);
        row.layout_desc = doc.GetAttribute(L"layout_desc").c_str();
        row.macro_desc = doc.GetAttribute(L"macro_desc").c_str();
        if (!numbers || !IsImportableKeyRow(row, keys)) {
            ++profile.skipped;
            continue;
        }
        const auto key = std::make_pair(row.fn_layer, row.key_code);
        auto found = seen.find(key);
        if (found != seen.end()) {
            profile.rows[found->second] = row;
        } else {
            seen[key] = profile.rows.size();
            profile.rows.push_back(row);
        }
    }
    return ProfileFileError::None;
}

ProfileFileError ReadProfileFile(const wchar_t* path, ImportedProfile& profile,
                                 const ModelKeyCodes* keys)
{
    profile = ImportedProfile();
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ProfileFileError::Unreadable;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return ProfileFileError::Unreadable;
    }
    if (size.QuadPart > LONGLONG(kMaxProfileFileBytes)) {
        CloseHandle(file);
        return ProfileFileError::TooLarge;
    }
    std::string bytes(size_t(size.QuadPart), '\0');
    DWORD read = 0;
    const bool ok =
        bytes.empty() ||
        (ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr) && read == bytes.size());
    CloseHandle(file);
    if (!ok) return ProfileFileError::Unreadable;

    // The text as the program's XML reader reads it: byte-order mark, UTF-16
    // without one, the declared encoding, else UTF-8.
    std::wstring text;
    unsigned flags = 0;
    if (!bytes.empty() && !XmlDocument::LoadTextFile(text, nullptr, path, &flags))
        return ProfileFileError::Unreadable;
    if (flags & (XmlFileUtf16LE | XmlFileUtf16BE)) return ParseProfileDocument(text, profile, keys);
    if (flags & XmlFileUtf8Signature) {
        if (!DecodesWithoutLoss(bytes, 3, CP_UTF8)) return ProfileFileError::BadEncoding;
        return ParseProfileDocument(text, profile, keys);
    }
    if (bytes.size() >= 2 &&
        ((bytes[0] == '<' && bytes[1] == 0) || (bytes[0] == 0 && bytes[1] == '<')))
        return ParseProfileDocument(text, profile, keys);
    // Byte-oriented: what the document declares, UTF-8 when it declares nothing.
    // A name the reader does not know, or a code page this system cannot
    // convert, would be read in the ANSI code page: that is a guess, not the file.
    const std::wstring declared = XmlDocument::GetDeclaredEncoding(text.c_str(), int(text.size()));
    int codePage = declared.empty() ? kCodePageUtf8 : CodePageFromEncodingName(declared);
    if (codePage == 0 || codePage == kCodePageUtf16LE || codePage == kCodePageUtf16BE ||
        codePage == kCodePageUtf32LE || codePage == kCodePageUtf32BE ||
        !IsValidCodePage(UINT(codePage)))
        return ProfileFileError::BadEncoding;
    if (!DecodesWithoutLoss(bytes, 0, UINT(codePage))) return ProfileFileError::BadEncoding;
    return ParseProfileDocument(text, profile, keys);
}
