#include "pages/ProfileFile.h"

#include <windows.h>

#include <cwchar>
#include <map>
#include <utility>

#include "services/xml/XmlDocument.h"

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

int NumberOf(const std::wstring& text)
{
    return int(wcstol(text.c_str(), nullptr, 10));
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

ProfileFileError ParseProfileDocument(const std::wstring& text, ImportedProfile& profile)
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
    // One profile per file: a second profile, name or key list is not an export.
    int profiles = 0, infos = 0, lists = 0;
    while (doc.FindElement(L"")) {
        const std::wstring name = doc.GetElementName(doc.GetCurrentPos());
        profiles += name == L"profile";
        infos += name == L"profileinfo";
        lists += name == L"key_macro";
    }
    if (profiles > 0 || infos > 1 || lists > 1) return ProfileFileError::SeveralProfiles;
    // Back to the root's first child.
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
            return ProfileFileError::TooManyItems;
        }
        KeyMacroData row;
        row.fn_layer = NumberOf(doc.GetAttribute(L"fn_layer"));
        row.key_code = NumberOf(doc.GetAttribute(L"key_code"));
        row.layout_value = NumberOf(doc.GetAttribute(L"layout_value"));
        row.layout_desc = doc.GetAttribute(L"layout_desc").c_str();
        row.macro_type = NumberOf(doc.GetAttribute(L"macro_type"));
        row.macro_value = NumberOf(doc.GetAttribute(L"macro_value"));
        row.macro_value2 = NumberOf(doc.GetAttribute(L"macro_value2"));
        row.macro_value3 = NumberOf(doc.GetAttribute(L"macro_value3"));
        row.macro_desc = doc.GetAttribute(L"macro_desc").c_str();
        if (row.key_code == 0) continue;
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

ProfileFileError ReadProfileFile(const wchar_t* path, ImportedProfile& profile)
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
    size_t start = 0;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    if (bytes.find('\0', start) != std::string::npos) return ProfileFileError::BadEncoding;
    std::wstring text;
    if (bytes.size() > start) {
        const int length = int(bytes.size() - start);
        const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + start,
                                              length, nullptr, 0);
        if (units <= 0) return ProfileFileError::BadEncoding;
        text.resize(size_t(units));
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + start, length, &text[0],
                            units);
    }
    // A document that declares another encoding is not an export of ours.
    const std::wstring declared = XmlDocument::GetDeclaredEncoding(text.c_str(), int(text.size()));
    if (!declared.empty() && _wcsicmp(declared.c_str(), L"UTF-8") != 0 &&
        _wcsicmp(declared.c_str(), L"UTF8") != 0)
        return ProfileFileError::BadEncoding;
    return ParseProfileDocument(text, profile);
}
