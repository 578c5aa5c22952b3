// The profile exchange file: the exact document an export writes, what an
// import reads back, and the files it refuses as a whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "mainwnd/DeleteFolder.h"
#include "pages/ProfileFile.h"

namespace {

KeyMacroData Row(int layer, int key, int type, int value, int value2, const wchar_t* desc,
                 const wchar_t* layoutDesc = L"K")
{
    KeyMacroData row;
    row.fn_layer = layer;
    row.key_code = key;
    row.layout_value = key;
    row.layout_desc = layoutDesc;
    row.macro_type = type;
    row.macro_value = value;
    row.macro_value2 = value2;
    row.macro_value3 = -3;
    row.macro_desc = desc;
    return row;
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

TEST(ProfileFileExport, WritesTheExactDocument)
{
    KeyMacroData a = Row(0, 4, 2, 4, 0, L"A");
    KeyMacroData quote = Row(1, 41, 7, 12, -1, L"<\"Ctrl\" & 'C'>", L"Esc");
    const std::vector<KeyMacroData*> rows = {&a, &quote};
    const std::wstring path = TempPath(L"kestrova_export_test.xml");
    ASSERT_TRUE(WriteProfileFile(path.c_str(), L"Work & Play", rows));
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<profile>\r\n"
        "<profileinfo name=\"Work &amp; Play\"/>\r\n"
        "<key_macro>\r\n"
        "<item fn_layer=\"0\" key_code=\"4\" layout_value=\"4\" layout_desc=\"K\" macro_type=\"2\" "
        "macro_value=\"4\" macro_value2=\"0\" macro_value3=\"-3\" macro_desc=\"A\"/>\r\n"
        "<item fn_layer=\"1\" key_code=\"41\" layout_value=\"41\" layout_desc=\"Esc\" "
        "macro_type=\"7\" macro_value=\"12\" macro_value2=\"-1\" macro_value3=\"-3\" "
        "macro_desc=\"&lt;&quot;Ctrl&quot; &amp; &apos;C&apos;&gt;\"/>\r\n"
        "</key_macro>\r\n"
        "</profile>\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
    DeleteFileW(path.c_str());
}

TEST(ProfileFileImport, RoundTripsAnExport)
{
    KeyMacroData rows[] = {Row(0, 4, 2, 4, 0, L"A"), Row(0, 5, 3, 2, 1, L"Macro \x00E9"),
                           Row(3, 41, 7, 0, 0, L"none"), Row(2, 300, 6, 9, 0, L"<bar>")};
    std::vector<KeyMacroData*> list;
    for (KeyMacroData& row : rows) list.push_back(&row);
    const std::wstring path = TempPath(L"kestrova_roundtrip_test.xml");
    ASSERT_TRUE(WriteProfileFile(path.c_str(), L"\x914D\x7F6E\x6587\x4EF6 \"1\"", list));
    ImportedProfile imported;
    ASSERT_EQ(ReadProfileFile(path.c_str(), imported), ProfileFileError::None);
    EXPECT_STREQ(imported.name, L"\x914D\x7F6E\x6587\x4EF6 \"1\"");
    ASSERT_EQ(imported.rows.size(), 4u);  // the row whose values are 0 is kept too
    for (size_t i = 0; i < 4; ++i) {
        const KeyMacroData& got = imported.rows[i];
        const KeyMacroData& want = rows[i];
        EXPECT_EQ(got.fn_layer, want.fn_layer);
        EXPECT_EQ(got.key_code, want.key_code);
        EXPECT_EQ(got.layout_value, want.layout_value);
        EXPECT_STREQ(got.layout_desc, want.layout_desc);
        EXPECT_EQ(got.macro_type, want.macro_type);
        EXPECT_EQ(got.macro_value, want.macro_value);
        EXPECT_EQ(got.macro_value2, want.macro_value2);
        EXPECT_EQ(got.macro_value3, want.macro_value3);
        EXPECT_STREQ(got.macro_desc, want.macro_desc);
    }
    DeleteFileW(path.c_str());
}

TEST(ProfileFileImport, ReadsWhatTheDocumentSays)
{
    struct Case
    {
        const char* what;
        std::wstring text;
        const wchar_t* name;
        std::vector<std::pair<int, int>> rows;  // (layer, key code) -> macro_value second
    };
    const std::wstring head = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const Case cases[] = {
        {"later duplicate wins in place",
         head + L"<profile><profileinfo name=\"n\"/><key_macro>"
                L"<item fn_layer=\"0\" key_code=\"4\" macro_value=\"1\"/>"
                L"<item fn_layer=\"0\" key_code=\"5\" macro_value=\"2\"/>"
                L"<item fn_layer=\"0\" key_code=\"4\" macro_value=\"3\"/>"
                L"</key_macro></profile>",
         L"n",
         {{4, 3}, {5, 2}}},
        {"key code 0 or missing is skipped",
         head + L"<profile><profileinfo name=\"n\"/><key_macro>"
                L"<item fn_layer=\"0\" key_code=\"0\" macro_value=\"1\"/>"
                L"<item fn_layer=\"0\" macro_value=\"1\"/>"
                L"<item fn_layer=\"1\" key_code=\" +7x\" macro_value=\"zz\"/>"
                L"</key_macro></profile>",
         L"n",
         {{7, 0}}},
        {"name after the key list: no keys",
         head + L"<profile><key_macro><item fn_layer=\"0\" key_code=\"4\" macro_value=\"1\"/>"
                L"</key_macro><profileinfo name=\"late\"/></profile>",
         L"late",
         {}},
        {"no profileinfo: keys from the first child on",
         head +
             L"<profile><key_macro><item key_code=\"9\" macro_value=\"1\"/></key_macro></profile>",
         L"",
         {{9, 1}}},
        {"no key list", head + L"<profile><profileinfo name=\"only\"/></profile>", L"only", {}},
    };
    for (const Case& c : cases) {
        ImportedProfile imported;
        ASSERT_EQ(ParseProfileDocument(c.text, imported), ProfileFileError::None) << c.what;
        EXPECT_STREQ(imported.name, c.name) << c.what;
        ASSERT_EQ(imported.rows.size(), c.rows.size()) << c.what;
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(imported.rows[i].key_code, c.rows[i].first) << c.what;
            EXPECT_EQ(imported.rows[i].macro_value, c.rows[i].second) << c.what;
        }
    }
}

TEST(ProfileFileImport, RefusesHostileFilesAsAWhole)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const std::string item = "<item fn_layer=\"0\" key_code=\"4\" macro_value=\"4\"/>";
    std::string huge = head + "<profile><profileinfo name=\"big\"/><key_macro>";
    while (huge.size() <= kMaxProfileFileBytes) huge += item;
    huge += "</key_macro></profile>";
    std::string deep = head;
    for (int i = 0; i < 20000; ++i) deep += "<profile>";
    for (int i = 0; i < 20000; ++i) deep += "</profile>";
    std::string many = head;
    for (int i = 0; i < 1000; ++i) many += "<profile><profileinfo name=\"p\"/></profile>";
    std::string nested = head + "<profile><profileinfo name=\"outer\"/>";
    for (int i = 0; i < 1000; ++i) nested += "<profile><profileinfo name=\"p\"/></profile>";
    nested += "</profile>";
    std::string items = head + "<profile><profileinfo name=\"n\"/><key_macro>";
    for (int i = 0; i <= kMaxProfileFileItems; ++i) items += item;
    items += "</key_macro></profile>";
    struct Case
    {
        const char* what;
        std::string bytes;
        ProfileFileError error;
    };
    const Case cases[] = {
        {"huge", huge, ProfileFileError::TooLarge},
        {"deeply nested", deep, ProfileFileError::TooDeep},
        {"1,000 profiles side by side", many, ProfileFileError::NotWellFormed},
        {"1,000 profiles inside one", nested, ProfileFileError::SeveralProfiles},
        {"two names",
         head + "<profile><profileinfo name=\"a\"/><profileinfo name=\"b\"/></profile>",
         ProfileFileError::SeveralProfiles},
        {"too many keys", items, ProfileFileError::TooManyItems},
        {"wrong root", head + "<config><profile><profileinfo name=\"x\"/></profile></config>",
         ProfileFileError::NoProfileRoot},
        {"invalid UTF-8", head + "<profile><profileinfo name=\"\xC3\x28\xFF\"/></profile>",
         ProfileFileError::BadEncoding},
        {"UTF-16", std::string("\xFF\xFE<\0p\0", 6), ProfileFileError::BadEncoding},
        {"other declared encoding",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><profile><profileinfo "
         "name=\"x\"/></profile>",
         ProfileFileError::BadEncoding},
        {"not XML", "hello", ProfileFileError::NotWellFormed},
        {"empty", "", ProfileFileError::NotWellFormed},
    };
    const std::wstring path = TempPath(L"kestrova_hostile_test.xml");
    for (const Case& c : cases) {
        WriteBytes(path, c.bytes);
        ImportedProfile imported;
        EXPECT_EQ(ReadProfileFile(path.c_str(), imported), c.error) << c.what;
        EXPECT_TRUE(imported.rows.empty()) << c.what;
    }
    DeleteFileW(path.c_str());
    ImportedProfile imported;
    EXPECT_EQ(ReadProfileFile(TempPath(L"kestrova_no_such_file.xml").c_str(), imported),
              ProfileFileError::Unreadable);
}

TEST(DeleteFolder, RemovesAFolderWithEverythingInIt)
{
    const std::wstring root = TempPath(L"kestrova_delete_test");
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    WriteBytes(root + L"\\a.png", "x");
    WriteBytes(root + L"\\sub\\b.png", "y");
    // The path as the callers make it, with its trailing backslash.
    EXPECT_TRUE(DeleteFolder(root + L"\\"));
    EXPECT_EQ(GetFileAttributesW(root.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFolder(root));  // gone: nothing to delete
}

TEST(DeleteFolder, RefusesPathsThatNameNoFolderOfOurs)
{
    const std::wstring keep = TempPath(L"kestrova_keep_test");
    CreateDirectoryW(keep.c_str(), nullptr);
    const std::wstring cases[] = {L"", L"\\", L"\\\\", L"C:", L"C:\\", std::wstring(260, L'a')};
    for (const std::wstring& path : cases) EXPECT_FALSE(DeleteFolder(path)) << path.size();
    EXPECT_NE(GetFileAttributesW(keep.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(keep.c_str());
}

}  // namespace
