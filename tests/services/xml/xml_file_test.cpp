// Loading and saving: exact bytes per encoding, the messages of each step,
// encoding detection, file errors and paths outside the ANSI code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "XmlTestUtil.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlTextFile.h"

namespace {

class XmlFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_dir =
            std::wstring(temp) + L"kestrova_xml_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(m_dir.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const std::wstring& f : m_files) DeleteFileW(f.c_str());
        RemoveDirectoryW(m_dir.c_str());
    }
    std::wstring Path(const wchar_t* name)
    {
        m_files.push_back(m_dir + name);
        return m_files.back();
    }
    static std::string ReadBytes(const std::wstring& path)
    {
        std::string bytes;
        FILE* f = _wfopen(path.c_str(), L"rb");
        if (!f) return "<missing>";
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
        fclose(f);
        return bytes;
    }
    static void WriteBytes(const std::wstring& path, const std::string& bytes)
    {
        FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }

    std::wstring m_dir;
    std::vector<std::wstring> m_files;
};

// e-acute, euro sign, and a character outside the BMP.
const wchar_t kBody[] = L"<a t=\"\x00E9\x20AC\xD83D\xDE00\"/>\r\n";

std::string Utf16Bytes(const std::wstring& text, bool bigEndian)
{
    std::string out;
    for (wchar_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

}  // namespace

TEST_F(XmlFileTest, SavedBytesAreExactAndLoadBackPerEncoding)
{
    const std::wstring decl8 = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const std::wstring text8 = decl8 + kBody;
    const std::string utf8Body = "<a t=\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"/>\r\n";
    const std::string bytes8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + utf8Body;
    const std::wstring n8 = std::to_wstring(text8.size()), b8 = std::to_wstring(bytes8.size());
    const std::wstring n16 = std::to_wstring(text8.size());

    const std::wstring text1252 =
        L"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a t=\"\x00E9\x20AC\"/>";
    const std::string bytes1252 =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a t=\"\xE9\x80\"/>";
    const std::wstring n1252 = std::to_wstring(text1252.size()),
                       b1252 = std::to_wstring(bytes1252.size());

    struct Case
    {
        const wchar_t* file;
        std::wstring text;
        unsigned flags;
        std::string bytes;
        std::wstring saveResult;
        std::wstring loadResult;
    };
    const Case cases[] = {
        {L"utf8.xml", text8, 0, bytes8,
         L"<converted_from encoding=\"UTF-16\" length=\"" + n8 +
             L"\"/><write encoding=\"UTF-8\" length=\"" + b8 + L"\"/>",
         L"<read encoding=\"UTF-8\" length=\"" + b8 +
             L"\"/><converted_to encoding=\"UTF-16\" length=\"" + n8 + L"\"/>"},
        {L"utf8bom.xml", text8, XmlFileUtf8Signature, "\xEF\xBB\xBF" + bytes8,
         L"<bom/><converted_from encoding=\"UTF-16\" length=\"" + n8 +
             L"\"/><write encoding=\"UTF-8\" length=\"" + b8 + L"\"/>",
         L"<bom/><read encoding=\"UTF-8\" length=\"" + b8 +
             L"\"/><converted_to encoding=\"UTF-16\" length=\"" + n8 + L"\"/>"},
        {L"utf16le.xml", text8, XmlFileUtf16LE, "\xFF\xFE" + Utf16Bytes(text8, false),
         L"<bom/><write encoding=\"UTF-16LE\" length=\"" + n16 + L"\"/>",
         L"<bom/><read encoding=\"UTF-16LE\" length=\"" + n16 + L"\"/>"},
        {L"utf16be.xml", text8, XmlFileUtf16BE, "\xFE\xFF" + Utf16Bytes(text8, true),
         L"<bom/><endian_swap/><write encoding=\"UTF-16BE\" length=\"" + n16 + L"\"/>",
         L"<bom/><read encoding=\"UTF-16BE\" length=\"" + n16 + L"\"/><endian_swap/>"},
        {L"cp1252.xml", text1252, 0, bytes1252,
         L"<converted_from encoding=\"UTF-16\" length=\"" + n1252 +
             L"\"/><write encoding=\"windows-1252\" length=\"" + b1252 + L"\"/>",
         L"<read encoding=\"windows-1252\" length=\"" + b1252 +
             L"\"/><converted_to encoding=\"UTF-16\" length=\"" + n1252 + L"\"/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(xmltest::Narrow(c.file));
        const std::wstring path = Path(c.file);
        XmlDocument doc;
        doc.SetDocumentText(c.text);
        doc.SetFlags(c.flags);
        ASSERT_TRUE(doc.Save(path.c_str()));
        EXPECT_EQ(doc.m_result, c.saveResult);
        EXPECT_EQ(ReadBytes(path), c.bytes);

        XmlDocument back;
        EXPECT_TRUE(back.Load(path.c_str()));
        EXPECT_EQ(back.GetDocumentText(), c.text);
        EXPECT_EQ(back.m_result, c.loadResult);
        EXPECT_EQ(back.GetFlags(), c.flags);
        // Saving the loaded document again writes the same bytes (the marks are kept).
        ASSERT_TRUE(back.Save(path.c_str()));
        EXPECT_EQ(ReadBytes(path), c.bytes);
    }
}

TEST_F(XmlFileTest, DetectionConversionLossAndNulls)
{
    // No mark, no declaration, not starting with "<": valid UTF-8 is detected.
    const std::wstring p1 = Path(L"detect.xml");
    WriteBytes(p1, " <a t=\"\xC3\xA9\"/>");
    XmlDocument doc;
    EXPECT_TRUE(doc.Load(p1.c_str()));
    EXPECT_EQ(doc.GetDocumentText(), L" <a t=\"\x00E9\"/>");
    EXPECT_EQ(doc.m_result,
              L"<read encoding=\"UTF-8\" length=\"12\"/><utf8_detection/><converted_to "
              L"encoding=\"UTF-16\" length=\"11\"/>");

    // Not valid UTF-8: the system's ANSI code page.
    WriteBytes(p1, " <a t=\"\xE9\"/>");
    EXPECT_TRUE(doc.Load(p1.c_str()));
    std::wstring ansi(1, L'?');
    MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, &ansi[0], 1);
    EXPECT_EQ(doc.GetDocumentText(), L" <a t=\"" + ansi + L"\"/>");
    EXPECT_EQ(doc.m_result,
              L"<read encoding=\"\" length=\"11\"/><utf8_detection/><converted_to "
              L"encoding=\"UTF-16\" length=\"11\"/>");

    // 0 bytes are dropped and counted.
    WriteBytes(p1, std::string("<a>x\0\0y</a>", 11));
    EXPECT_TRUE(doc.Load(p1.c_str()));
    EXPECT_EQ(doc.GetDocumentText(), L"<a>xy</a>");
    EXPECT_EQ(doc.m_result,
              L"<read encoding=\"UTF-8\" length=\"11\"/><nulls_removed count=\"2\"/>"
              L"<converted_to encoding=\"UTF-16\" length=\"9\"/>");

    // A character the declared code page lacks is written as the default character.
    XmlDocument lossy;
    lossy.SetDocumentText(L"<?xml encoding=\"windows-1252\"?><a t=\"\x65E5\"/>");
    const std::wstring p2 = Path(L"lossy.xml");
    ASSERT_TRUE(lossy.Save(p2.c_str()));
    EXPECT_NE(lossy.m_result.find(L"<conversion_loss/>"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(p2), "<?xml encoding=\"windows-1252\"?><a t=\"?\"/>");

    // UTF-16 without a signature is recognised by its first "<".
    for (bool be : {false, true}) {
        const std::wstring text = L"<a t=\"\x00E9\x65E5\"/>";
        WriteBytes(p1, Utf16Bytes(text, be));
        EXPECT_TRUE(doc.Load(p1.c_str()));
        EXPECT_EQ(doc.GetDocumentText(), text);
        EXPECT_EQ(doc.GetFlags(), 0u);
    }

    // An empty file loads as an empty text; the parse adds no message.
    WriteBytes(p1, "");
    EXPECT_FALSE(doc.Load(p1.c_str()));
    EXPECT_EQ(doc.GetDocumentText(), L"");
    EXPECT_EQ(doc.m_result, L"<read encoding=\"\" length=\"0\"/>");
}

TEST_F(XmlFileTest, MarksComeFromTheFileAlone)
{
    const std::wstring be = Path(L"be.xml"), plain = Path(L"plain.xml");
    WriteBytes(be, "\xFE\xFF" + Utf16Bytes(L"<a/>", true));
    WriteBytes(plain, "<b/>");
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(be.c_str()));
    EXPECT_EQ(doc.GetFlags(), static_cast<unsigned>(XmlFileUtf16BE));
    // A plain file loaded into the same document is read as UTF-8, not as UTF-16.
    ASSERT_TRUE(doc.Load(plain.c_str()));
    EXPECT_EQ(doc.GetDocumentText(), L"<b/>");
    EXPECT_EQ(doc.GetFlags(), 0u);
}

TEST_F(XmlFileTest, AppendingWritesTheMarkOnlyToAnEmptyFile)
{
    const std::wstring path = Path(L"append.txt");
    unsigned flags = XmlFileAppend | XmlFileUtf16LE;
    std::wstring result;
    ASSERT_TRUE(XmlDocument::SaveTextFile(L"ab", &result, path.c_str(), &flags));
    EXPECT_EQ(result, L"<bom/><write encoding=\"UTF-16LE\" length=\"2\"/>");
    EXPECT_EQ(flags, static_cast<unsigned>(XmlFileUtf16LE));
    flags |= XmlFileAppend;
    ASSERT_TRUE(XmlDocument::SaveTextFile(L"c", &result, path.c_str(), &flags));
    EXPECT_EQ(result, L"<write encoding=\"UTF-16LE\" length=\"1\"/>");
    EXPECT_EQ(ReadBytes(path), std::string("\xFF\xFE"
                                           "a\0b\0c\0",
                                           8));
}

TEST_F(XmlFileTest, FileErrorsCarryTheSystemTextAndCode)
{
    const std::wstring missing = m_dir + L"no such file.xml";
    XmlDocument doc;
    doc.SetDocumentText(L"<a x=\"1\"><b/></a>");
    doc.FindElement(L"a");
    EXPECT_FALSE(doc.Load(missing.c_str()));
    wchar_t buffer[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, 0, buffer, 512, nullptr);
    std::wstring text(buffer);
    text = text.substr(0, std::min<size_t>(text.find_first_of(L"\r\n"), 100));
    EXPECT_EQ(doc.m_result, L"<file_error msg=\"" + XmlDocument::Escape(text.c_str(), -1, 0, true) +
                                L"\" n=\"2\"/>");
    // The failed load left an empty document behind, not records into the old text.
    EXPECT_EQ(doc.GetDocumentText(), L"");
    EXPECT_EQ(doc.GetRecordCount(), 1);
    EXPECT_EQ(doc.GetCurrentPos(), 0u);
    EXPECT_EQ(doc.GetAttributeAt(1, L"x"), L"");

    std::wstring result;
    EXPECT_FALSE(
        XmlDocument::SaveTextFile(L"<a/>", &result, (m_dir + L"no\\dir\\x.xml").c_str(), nullptr));
    EXPECT_EQ(result.find(L"<file_error msg=\""), 0u);
    EXPECT_NE(result.find(L" n=\"3\"/>"), std::wstring::npos);  // path not found
}

TEST_F(XmlFileTest, PathsOutsideTheAnsiCodePage)
{
    const std::wstring path = Path(L"\x041F\x0440\x043E\x0444\x0438\x043B\x044C_\x65E5\x672C.xml");
    XmlDocument doc;
    doc.SetDocumentText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(L"profile");
    doc.SetAttribute(L"name", L"\x041F");
    ASSERT_TRUE(doc.Save(path.c_str()));
    XmlDocument back;
    ASSERT_TRUE(back.Load(path.c_str()));
    ASSERT_TRUE(back.FindElement(L"profile"));
    EXPECT_EQ(back.GetAttribute(L"name"), L"\x041F");

    std::wstring text, result;
    unsigned flags = 0;
    EXPECT_TRUE(XmlDocument::LoadTextFile(text, &result, path.c_str(), &flags));
    EXPECT_EQ(text, doc.GetDocumentText());
}

TEST(XmlEncodings, NamesAndDeclarations)
{
    const struct
    {
        const wchar_t* name;
        int codePage;
    } names[] = {
        {L"UTF-8", 65001},       {L"utf8", 65001},
        {L"Windows-1252", 1252}, {L"ms-ansi", 1252},
        {L"ISO-8859-1", 28591},  {L"l1", 28591},
        {L"Shift_JIS", 932},     {L"gb2312", 936},
        {L"GB18030", 54936},     {L"ks_c_5601-1987", 949},
        {L"EUC-KR", 51949},      {L"big5", 950},
        {L"koi8-r", 20866},      {L"utf-7", 65000},
        {L"us-ascii", 20127},    {L"UCS-2", 1200},
        {L"unicodeFFFE", 1201},  {L"UTF-32", 12000},
        {L"utf-32", 12000},      {L"", 0},
        {L"klingon", 0},         {L"csIBM866", 866},
        {L"ISO8859-15", 28605},  {L"csISO88598I", 38598},
        {L"ebcdic-cp-us", 37},   {L"IBM273", 20273},
    };
    EXPECT_EQ(EncodingNameTableSize(), 365);
    for (const auto& n : names)
        EXPECT_EQ(CodePageFromEncodingName(n.name), n.codePage) << xmltest::Narrow(n.name);
    EXPECT_EQ(CodePageFromEncodingName(std::wstring(100, L'a')), 0);

    const struct
    {
        const wchar_t* text;
        const wchar_t* encoding;
    } decls[] = {
        {L"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a/>", L"windows-1252"},
        {L"<?XML ENCODING='koi8-r'?>", L"koi8-r"},
        {L"<?xml version=\"1.0\"?><a/>", L""},
        {L" <?xml encoding=\"x\"?>", L""},  // not at the first character
        {L"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
         L"charset=big5\"></head></html>",
         L"big5"},
        {L"<html><head></head><meta http-equiv=\"Content-Type\" content=\"text/html; "
         L"charset=big5\">",
         L""},
        {L"<body><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", L""},
    };
    for (const auto& d : decls) {
        const std::wstring text(d.text);
        EXPECT_EQ(XmlDocument::GetDeclaredEncoding(text.c_str(), static_cast<int>(text.size())),
                  d.encoding)
            << xmltest::Narrow(text);
    }
    EXPECT_TRUE(TextConverter::IsValidUtf8("a\xC3\xA9", 3));
    EXPECT_FALSE(TextConverter::IsValidUtf8("a\xC3", 2));
    EXPECT_FALSE(TextConverter::IsValidUtf8("\xF8\x80\x80\x80\x80", 5));
    EXPECT_TRUE(TextConverter::IsValidUtf8("ok\0\xFF", 4));  // only up to the first 0 byte
}
