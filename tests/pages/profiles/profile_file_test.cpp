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
                           Row(3, 41, 7, 0, 0, L"none"), Row(2, 224, 6, 104, 0, L"<bar>")};
    rows[1].macro_value3 = 5;
    rows[2].macro_value3 = rows[3].macro_value3 = 0;
    rows[0].macro_value3 = 0;
    rows[3].macro_value3 = 104;
    std::vector<KeyMacroData*> list;
    for (KeyMacroData& row : rows) list.push_back(&row);
    const std::wstring path = TempPath(L"kestrova_roundtrip_test.xml");
    ASSERT_TRUE(WriteProfileFile(path.c_str(), L"\x914D\x7F6E\x6587\x4EF6 \"1\"", list));
    ImportedProfile imported;
    const ModelKeyCodes keys = {4, 5, 41, 224};
    ASSERT_EQ(ReadProfileFile(path.c_str(), imported, &keys), ProfileFileError::None);
    EXPECT_STREQ(imported.name, L"\x914D\x7F6E\x6587\x4EF6 \"1\"");
    EXPECT_EQ(imported.skipped, 0);
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

TEST(ProfileFileImport, ReadsTheFirstNameAndKeyListAndTheLastOfEachKey)
{
    struct Case
    {
        const char* what;
        std::wstring text;
        const wchar_t* name;
        std::vector<std::pair<int, int>> rows;  // (key code, macro_value)
        int skipped;
    };
    const std::wstring head = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const Case cases[] = {
        {"later duplicate wins in place",
         head + L"<profile><profileinfo name=\"n\"/><key_macro>"
                L"<item fn_layer=\"0\" key_code=\"4\" macro_type=\"2\" macro_value=\"1\"/>"
                L"<item fn_layer=\"0\" key_code=\"5\" macro_type=\"2\" macro_value=\"2\"/>"
                L"<item fn_layer=\"0\" key_code=\"4\" macro_type=\"2\" macro_value=\"3\"/>"
                L"</key_macro></profile>",
         L"n",
         {{4, 3}, {5, 2}},
         0},
        {"a skipped duplicate leaves the earlier row",
         head + L"<profile><profileinfo name=\"n\"/><key_macro>"
                L"<item fn_layer=\"0\" key_code=\"4\" macro_type=\"2\" macro_value=\"1\"/>"
                L"<item fn_layer=\"0\" key_code=\"4\" macro_type=\"12\" macro_value=\"300\"/>"
                L"</key_macro></profile>",
         L"n",
         {{4, 1}},
         1},
        {"two names: the first",
         head + L"<profile><profileinfo name=\"a\"/><profileinfo name=\"b\"/><key_macro>"
                L"<item fn_layer=\"1\" key_code=\"5\" macro_type=\"2\" macro_value=\"6\"/>"
                L"</key_macro></profile>",
         L"a",
         {{5, 6}},
         0},
        {"two key lists: the first",
         head + L"<profile><profileinfo name=\"n\"/>"
                L"<key_macro><item key_code=\"4\" macro_type=\"2\" macro_value=\"7\"/></key_macro>"
                L"<key_macro><item key_code=\"5\" macro_type=\"2\" macro_value=\"8\"/></key_macro>"
                L"</profile>",
         L"n",
         {{4, 7}},
         0},
        {"name after the key list: no keys",
         head + L"<profile><key_macro><item fn_layer=\"0\" key_code=\"4\" macro_value=\"1\"/>"
                L"</key_macro><profileinfo name=\"late\"/></profile>",
         L"late",
         {},
         0},
        {"no profileinfo: keys from the first child on",
         head + L"<profile><key_macro><item key_code=\"5\" macro_type=\"2\" macro_value=\"9\"/>"
                L"</key_macro></profile>",
         L"",
         {{5, 9}},
         0},
        {"no key list", head + L"<profile><profileinfo name=\"only\"/></profile>", L"only", {}, 0},
    };
    const ModelKeyCodes keys = {4, 5};
    for (const Case& c : cases) {
        ImportedProfile imported;
        ASSERT_EQ(ParseProfileDocument(c.text, imported, &keys), ProfileFileError::None) << c.what;
        EXPECT_STREQ(imported.name, c.name) << c.what;
        EXPECT_EQ(imported.skipped, c.skipped) << c.what;
        ASSERT_EQ(imported.rows.size(), c.rows.size()) << c.what;
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(imported.rows[i].key_code, c.rows[i].first) << c.what;
            EXPECT_EQ(imported.rows[i].macro_value, c.rows[i].second) << c.what;
        }
    }
}

// One item per case, against a model with the keys 4, 5, 41, 224 (left Ctrl)
// and 240 (Fn): whether the program could have written it.
TEST(ProfileFileImport, SkipsAndCountsRowsTheProgramCouldNeverHaveWritten)
{
    struct Case
    {
        const wchar_t* column;
        const wchar_t* value;
        const wchar_t* type;  // macro_type for the case, with value 2 and 3 below
        const wchar_t* value2;
        const wchar_t* value3;
        bool kept;
    };
    // A valid row is fn_layer 0, key 4, layout value 4, type 2 with value 4.
    const Case cases[] = {
        {L"fn_layer", L"3", L"2", L"0", L"0", true},
        {L"fn_layer", L"4", L"2", L"0", L"0", false},
        {L"fn_layer", L"99", L"2", L"0", L"0", false},
        {L"fn_layer", L"-1", L"2", L"0", L"0", false},
        {L"fn_layer", L"65536", L"2", L"0", L"0", false},
        {L"fn_layer", L"4294967296", L"2", L"0", L"0", false},  // 0 when cut to 32 bits
        {L"key_code", L"240", L"2", L"0", L"0", true},
        {L"key_code", L"6", L"2", L"0", L"0", false},  // no key of this model
        {L"key_code", L"-5", L"2", L"0", L"0", false},
        {L"key_code", L"0", L"2", L"0", L"0", false},
        {L"key_code", L"65536", L"2", L"0", L"0", false},
        {L"key_code", L"2147483647", L"2", L"0", L"0", false},
        {L"key_code", L"4294967300", L"2", L"0", L"0", false},  // 4 when cut to 32 bits
        {L"key_code", L"99999999999999999999", L"2", L"0", L"0", false},
        {L"key_code", L"0x04", L"2", L"0", L"0", false},
        {L"key_code", L" +7x", L"2", L"0", L"0", false},
        {L"key_code", L" 4 ", L"2", L"0", L"0", true},
        {L"key_code", L"+4", L"2", L"0", L"0", true},
        {L"layout_value", L"0", L"2", L"0", L"0", true},
        {L"layout_value", L"5", L"2", L"0", L"0", false},
        {L"layout_value", L"-2147483648", L"2", L"0", L"0", false},
        {L"layout_value", L"-2147483649", L"2", L"0", L"0", false},
        {L"macro_type", L"99", L"", L"0", L"0", false},
        {L"macro_type", L"-3", L"", L"0", L"0", false},
        {L"macro_type", L"13", L"", L"0", L"0", false},
        {L"macro_type", L"4", L"", L"0", L"0", false},
        {L"macro_type", L"zz", L"", L"0", L"0", false},
        // Key functions: usage and modifier bits are bytes.
        {L"macro_value", L"255", L"2", L"0", L"0", true},
        {L"macro_value", L"256", L"2", L"0", L"0", false},
        {L"macro_value", L"-1", L"2", L"0", L"0", false},
        {L"macro_value", L"2147483648", L"2", L"0", L"0", false},
        {L"macro_value", L"4", L"2", L"255", L"0", true},
        {L"macro_value", L"4", L"2", L"256", L"0", false},
        {L"macro_value", L"4", L"2", L"0", L"7", true},  // left by an earlier function
        {L"macro_value", L"4", L"2", L"0", L"256", false},
        {L"macro_value", L"4", L"2", L"-1", L"0", false},
        // Macros: an id, play mode 0-3, repeat count up to 255.
        {L"macro_value", L"2", L"3", L"3", L"0", true},
        {L"macro_value", L"2", L"3", L"0", L"255", true},
        {L"macro_value", L"2", L"3", L"0", L"1000", false},
        {L"macro_value", L"2", L"3", L"4", L"0", false},
        {L"macro_value", L"0", L"3", L"0", L"0", false},
        {L"macro_value", L"-7", L"3", L"0", L"0", false},
        // Mouse, media, shortcut and system-control codes of the codec's tables.
        {L"macro_value", L"90", L"5", L"0", L"0", true},
        {L"macro_value", L"98", L"5", L"0", L"0", false},
        {L"macro_value", L"104", L"6", L"0", L"104", true},
        {L"macro_value", L"107", L"6", L"0", L"0", false},
        {L"macro_value", L"300", L"6", L"0", L"0", false},
        {L"macro_value", L"104", L"6", L"1", L"104", true},
        {L"macro_value", L"104", L"6", L"0", L"1000", false},
        {L"macro_value", L"155", L"7", L"0", L"0", true},
        {L"macro_value", L"149", L"7", L"0", L"0", false},
        {L"macro_value", L"164", L"7", L"0", L"0", false},
        {L"macro_value", L"255", L"8", L"0", L"0", true},
        {L"macro_value", L"256", L"11", L"0", L"0", false},
        {L"macro_value", L"0", L"1", L"0", L"0", true},
        {L"macro_value", L"256", L"1", L"0", L"0", false},
        // Special functions 1-74: 300 would reach the keyboard as 44.
        {L"macro_value", L"44", L"12", L"0", L"0", true},
        {L"macro_value", L"74", L"12", L"0", L"0", true},
        {L"macro_value", L"300", L"12", L"0", L"0", false},
        {L"macro_value", L"75", L"12", L"0", L"0", false},
        {L"macro_value", L"0", L"12", L"0", L"0", false},
        {L"macro_value", L"44", L"12", L"0", L"2147483647", false},
        {L"macro_value", L"0", L"0", L"0", L"0", true},
        {L"macro_value", L"300", L"0", L"0", L"0", false},
    };
    const ModelKeyCodes keys = {4, 5, 41, 224, 240};
    for (const Case& c : cases) {
        std::wstring attributes[7][2] = {
            {L"fn_layer", L"0"},         {L"key_code", L"4"},    {L"layout_value", L"4"},
            {L"macro_type", c.type},     {L"macro_value", L"4"}, {L"macro_value2", c.value2},
            {L"macro_value3", c.value3},
        };
        for (auto& attribute : attributes)
            if (attribute[0] == c.column) attribute[1] = c.value;
        if (std::wstring(c.column) == L"key_code") attributes[2][1] = L"0";
        std::wstring item = L"<item";
        for (const auto& attribute : attributes)
            if (!attribute[1].empty() || attribute[0] == c.column)
                item += L" " + attribute[0] + L"=\"" + attribute[1] + L"\"";
        item += L" layout_desc=\"K\" macro_desc=\"D\"/>";
        const std::wstring text =
            L"<profile><profileinfo name=\"n\"/><key_macro>" + item + L"</key_macro></profile>";
        const std::string what(item.begin(), item.end());
        ImportedProfile imported;
        ASSERT_EQ(ParseProfileDocument(text, imported, &keys), ProfileFileError::None) << what;
        EXPECT_EQ(imported.rows.size(), c.kept ? 1u : 0u) << what;
        EXPECT_EQ(imported.skipped, c.kept ? 0 : 1) << what;
    }
    // Without a model every key code a key can have is taken.
    ImportedProfile imported;
    ParseProfileDocument(
        L"<profile><key_macro><item key_code=\"200\" macro_type=\"2\"/>"
        L"<item key_code=\"256\" macro_type=\"2\"/></key_macro></profile>",
        imported);
    EXPECT_EQ(imported.rows.size(), 1u);
    EXPECT_EQ(imported.skipped, 1);
}

std::string Utf16(const std::wstring& text, bool bigEndian, bool mark)
{
    std::string bytes;
    if (mark) bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char high = char(c >> 8), low = char(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Files in the encodings the program's XML reader reads are imported, with the
// name and the key row as they are meant.
TEST(ProfileFileImport, ReadsEveryEncodingTheXmlReaderReads)
{
    const std::wstring body =
        L"<profile><profileinfo name=\"Caf\x00E9 \x914D\"/><key_macro>"
        L"<item fn_layer=\"1\" key_code=\"5\" macro_type=\"2\" "
        L"macro_value=\"6\"/></key_macro></profile>";
    const std::wstring latinBody =
        L"<profile><profileinfo name=\"Caf\x00E9\"/><key_macro>"
        L"<item fn_layer=\"1\" key_code=\"5\" macro_type=\"2\" "
        L"macro_value=\"6\"/></key_macro></profile>";
    auto declared = [](const char* encoding) {
        return std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\r\n";
    };
    const std::string latin =
        "<profile><profileinfo name=\"Caf\xE9\"/><key_macro><item fn_layer=\"1\" key_code=\"5\" "
        "macro_type=\"2\" macro_value=\"6\"/></key_macro></profile>";
    struct Case
    {
        const char* what;
        std::string bytes;
        const wchar_t* name;
    };
    const std::wstring decl16 = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";
    const Case cases[] = {
        {"UTF-16 LE with a mark", Utf16(decl16 + body, false, true), L"Caf\x00E9 \x914D"},
        {"UTF-16 BE with a mark", Utf16(decl16 + body, true, true), L"Caf\x00E9 \x914D"},
        {"UTF-16 LE without a mark", Utf16(body, false, false), L"Caf\x00E9 \x914D"},
        {"UTF-8 with a mark",
         "\xEF\xBB\xBF" + declared("UTF-8") +
             "<profile><profileinfo name=\"Caf\xC3\xA9 \xE9\x85\x8D\"/><key_macro><item "
             "fn_layer=\"1\" key_code=\"5\" macro_type=\"2\" macro_value=\"6\"/></key_macro>"
             "</profile>",
         L"Caf\x00E9 \x914D"},
        {"ISO-8859-1 declared", declared("ISO-8859-1") + latin, L"Caf\x00E9"},
        {"windows-1252 declared", declared("windows-1252") + latin, L"Caf\x00E9"},
    };
    (void)latinBody;
    const std::wstring path = TempPath(L"kestrova_encoding_test.xml");
    const ModelKeyCodes keys = {5};
    for (const Case& c : cases) {
        WriteBytes(path, c.bytes);
        ImportedProfile imported;
        ASSERT_EQ(ReadProfileFile(path.c_str(), imported, &keys), ProfileFileError::None) << c.what;
        EXPECT_STREQ(imported.name, c.name) << c.what;
        ASSERT_EQ(imported.rows.size(), 1u) << c.what;
        EXPECT_EQ(imported.rows[0].fn_layer, 1) << c.what;
        EXPECT_EQ(imported.rows[0].key_code, 5) << c.what;
        EXPECT_EQ(imported.rows[0].macro_value, 6) << c.what;
    }
    DeleteFileW(path.c_str());
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
        {"too many keys", items, ProfileFileError::TooManyItems},
        {"wrong root", head + "<config><profile><profileinfo name=\"x\"/></profile></config>",
         ProfileFileError::NoProfileRoot},
        {"invalid UTF-8", head + "<profile><profileinfo name=\"\xC3\x28\xFF\"/></profile>",
         ProfileFileError::BadEncoding},
        {"invalid UTF-8 after a mark",
         "\xEF\xBB\xBF" + head + "<profile><profileinfo name=\"\xC3\x28\"/></profile>",
         ProfileFileError::BadEncoding},
        {"undeclared invalid UTF-8", "<profile><profileinfo name=\"\xE9\"/></profile>",
         ProfileFileError::BadEncoding},
        {"a null byte", std::string("<profile><profileinfo name=\"a\0b\"/></profile>", 44),
         ProfileFileError::BadEncoding},
        {"an encoding the reader does not know",
         "<?xml version=\"1.0\" encoding=\"x-no-such-code\"?><profile/>",
         ProfileFileError::BadEncoding},
        {"UTF-16 that is not XML", std::string("\xFF\xFE<\0p\0", 6),
         ProfileFileError::NotWellFormed},
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
