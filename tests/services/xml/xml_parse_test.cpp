// Parsing: result messages (exact text and order), the element records and the
// limits of the bit-packed fields.
#include <gtest/gtest.h>

#include <string>

#include "XmlTestUtil.h"
#include "services/xml/XmlDocument.h"

using xmltest::Describe;

namespace {

struct ParseCase
{
    const wchar_t* text;
    bool wellFormed;
    const wchar_t* result;
    const char* records;  // Describe() of the table
};

const ParseCase kParseCases[] = {
    // a holds an empty b: b is a's first and last child; a's length covers its end tag.
    {L"<a><b/></a>", true, L"",
     "1: 0 11 3/4 d0 F- p0 c2 n0 b1\n"
     "2: 3 4 4/0 d1 F- p1 c0 n0 b2\n"},
    {L"<a/><b/>", false, L"<root_has_sibling/>",
     "1: 0 4 4/0 d0 F- p0 c0 n2 b2\n"
     "2: 4 4 4/0 d0 -- p0 c0 n0 b1\n"},
    {L"just text", false, L"<no_root_element/>", ""},
    {L"", false, L"", ""},
    // b has no end tag: closed by a's end tag, offset2 = the "/" of "</a>".
    {L"<a><b></a>", false, L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"7\"/>",
     "1: 0 10 3/4 d0 F- p0 c2 n0 b1\n"
     "2: 3 3 3/0 d1 FU p1 c0 n0 b2\n"},
    // The children of an unended element become its following siblings.
    {L"<a><b><c/><d/></a>", false,
     L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"15\"/>",
     "1: 0 18 3/4 d0 F- p0 c2 n0 b1\n"
     "2: 3 3 3/0 d1 FU p1 c0 n3 b4\n"
     "3: 6 4 4/0 d1 -- p1 c0 n4 b2\n"
     "4: 10 4 4/0 d1 -- p1 c0 n0 b3\n"},
    // ... and their own children follow them one level up.
    {L"<a><b><c><d/></c></a>", false,
     L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"18\"/>",
     "1: 0 21 3/4 d0 F- p0 c2 n0 b1\n"
     "2: 3 3 3/0 d1 FU p1 c0 n3 b3\n"
     "3: 6 11 3/4 d1 -- p1 c4 n0 b2\n"
     "4: 9 4 4/0 d2 F- p3 c0 n0 b4\n"},
    {L"</x>", false, L"<lone_end_tag tagname=\"x\" offset=\"0\"/><no_root_element/>", ""},
    {L"<a><!x></a>", false, L"<exclamation_tag_syntax offset=\"3\"/>",
     "1: 0 11 3/4 d0 F- p0 c0 n0 b1\n"},
    {L"<a x=\"1\"", false,
     L"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>", ""},
    // Several problems are reported in document order.
    {L"<r></x><!y>", false,
     L"<lone_end_tag tagname=\"x\" offset=\"3\"/><exclamation_tag_syntax offset=\"7\"/>"
     L"<unended_start_tag tagname=\"r\" offset=\"0\" offset2=\"11\"/>",
     "1: 0 3 3/0 d0 FU p0 c0 n0 b1\n"},
    // A quoted ">" does not end the tag; "/" after a quoted value closes it.
    {L"<a x=\"1>2\"/>", true, L"", "1: 0 12 12/0 d0 F- p0 c0 n0 b1\n"},
    // "/" right after an unquoted value belongs to the value: the element stays open.
    {L"<a x=1/>", false, L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"8\"/>",
     "1: 0 8 8/0 d0 FU p0 c0 n0 b1\n"},
    // "/" after whitespace closes the element, also where a value was due after "=".
    {L"<a x= />", true, L"", "1: 0 8 8/0 d0 F- p0 c0 n0 b1\n"},
    {L"<a x=\r\n/>", true, L"", "1: 0 9 9/0 d0 F- p0 c0 n0 b1\n"},
    // End tags match exactly, letter case included.
    {L"<a></A></a>", false, L"<lone_end_tag tagname=\"A\" offset=\"3\"/>",
     "1: 0 11 3/4 d0 F- p0 c0 n0 b1\n"},
    // Declarations, comments, CDATA, instructions and doctypes make no records.
    {L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ENTITY e \">\"><!-- > -->]>\r\n"
     L"<a><!-- <b> --><![CDATA[<c>]]><?pi <d>?>text</a>",
     true, L"", "1: 65 48 3/4 d0 F- p0 c0 n0 b1\n"},
    {L"<a>< b</a>", false, L"<first_tag_syntax offset=\"3\"/>", "1: 0 10 3/4 d0 F- p0 c0 n0 b1\n"},
    {L"<a><!-x--></a>", false, L"<comment_tag_syntax offset=\"3\"/>",
     "1: 0 14 3/4 d0 F- p0 c0 n0 b1\n"},
    {L"<a><![X[y]]></a>", false, L"<cdata_section_syntax offset=\"3\"/>",
     "1: 0 16 3/4 d0 F- p0 c0 n0 b1\n"},
    {L"<!DOCTYPE a [<!x>]><a/>", false, L"<doctype_tag_syntax offset=\"0\"/>",
     "1: 19 4 4/0 d0 F- p0 c0 n0 b1\n"},
    {L"<a/><!-- open", false, L"<unterminated_tag_syntax type=\"comment\" offset=\"4\"/>",
     "1: 0 4 4/0 d0 F- p0 c0 n0 b1\n"},
    {L"<a/><", false, L"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>",
     "1: 0 4 4/0 d0 F- p0 c0 n0 b1\n"},
    {L"<a></a", false,
     L"<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>"
     L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>",
     "1: 0 3 3/0 d0 FU p0 c0 n0 b1\n"},
    // A node already in error that reaches the end: both messages, each once.
    {L"<a/><1 x", false,
     L"<first_tag_syntax offset=\"4\"/><unterminated_tag_syntax type=\"tag\" offset=\"4\"/>",
     "1: 0 4 4/0 d0 F- p0 c0 n0 b1\n"},
};

}  // namespace

TEST(XmlParse, CasesGiveExactMessagesAndRecords)
{
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(xmltest::Narrow(c.text));
        XmlDocument doc;
        EXPECT_EQ(doc.SetDocumentText(c.text), c.wellFormed);
        EXPECT_EQ(doc.m_result, c.result);
        EXPECT_EQ(Describe(doc), c.records);
        EXPECT_EQ(xmltest::CheckInvariants(doc), "");
        const bool ill = (doc.GetRecord(0).levelMarks & XmlElementRecord::kIllFormedMark) != 0;
        const bool noRoot = doc.GetRecordCount() == 1;
        const bool siblings =
            !noRoot && doc.GetRecord(doc.GetRecord(0).firstChild).nextSibling != 0;
        EXPECT_EQ(c.wellFormed, !ill && !noRoot && !siblings);
    }
}

TEST(XmlParse, ParseResetsCursorBeforeTheRoot)
{
    XmlDocument doc;
    doc.SetDocumentText(L"<a><b/></a>");
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"b"));
    EXPECT_TRUE(doc.Parse());
    EXPECT_EQ(doc.GetParentPos(), 0u);
    EXPECT_EQ(doc.GetCurrentPos(), 0u);
    EXPECT_EQ(doc.GetChildPos(), 0u);
    EXPECT_FALSE(doc.IsCurrentElement());
}

TEST(XmlParse, TableGrowsAcrossSegments)
{
    // 200,000 elements on one line: more than three segments, grown from a small start.
    std::wstring text = L"<r>";
    for (int i = 0; i < 200000; ++i) text += L"<k/>";
    text += L"</r>";
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(text));
    ASSERT_EQ(doc.GetRecordCount(), 200002);
    const XmlElementRecord& last = doc.GetRecord(200001);
    EXPECT_EQ(last.start, 3u + 4u * 199999u);
    EXPECT_EQ(doc.GetRecord(doc.GetRecord(1).firstChild).prevSibling, 200001u);
    EXPECT_EQ(doc.GetRecord(65536).start, 3u + 4u * 65534u);
    EXPECT_EQ(doc.GetRecord(65536).prevSibling, 65535u);
    EXPECT_EQ(doc.GetRecord(65536).nextSibling, 65537u);
}

TEST(XmlParse, TableStartsWithOneRecordPer64UnitsPlus8)
{
    XmlDocument doc;
    EXPECT_GE(doc.GetTableCapacity(), 8);
    // 10,000,000 units want 156,258 records: three segments, reserved before the first element.
    std::wstring text = L"<a>";
    text.append(10000000 - 7, L'x');
    text += L"</a>";
    ASSERT_EQ(text.size(), 10000000u);
    EXPECT_TRUE(doc.SetDocumentText(text));
    EXPECT_GE(doc.GetTableCapacity(), 10000000 / 64 + 8);
}

TEST(XmlParse, ResultTextStopsGrowingPast999Characters)
{
    std::wstring text = L"<r>";
    for (int i = 0; i < 200; ++i) text += L"</x>";
    text += L"</r>";
    XmlDocument doc;
    doc.SetDocumentText(text);
    EXPECT_GT(doc.m_result.size(), 999u);
    EXPECT_LT(doc.m_result.size(), 1100u);
    const std::wstring before = doc.m_result;
    XmlDocument::AddResult(doc.m_result, 0, L"more", nullptr, -1, -1);
    EXPECT_EQ(doc.m_result, before);
}

TEST(XmlParse, AddResultWritesAttributesInOrderAndUpdates)
{
    std::wstring result;
    XmlDocument::AddResult(result, XmlDocument::ResultEncoding | XmlDocument::ResultLength, L"read",
                           L"", 12, -1);
    XmlDocument::AddResult(result, XmlDocument::ResultMsg | XmlDocument::ResultN, L"file_error",
                           L"a \"quoted\" <text>", 5, -1);
    XmlDocument::AddResult(
        result, XmlDocument::ResultEncoding | XmlDocument::ResultLength | XmlDocument::ResultUpdate,
        L"read", L"UTF-8", 12, -1);
    XmlDocument::AddResult(result, XmlDocument::ResultCount, L"nulls_removed", nullptr, 0, -1);
    EXPECT_EQ(result,
              L"<read encoding=\"UTF-8\" length=\"12\"/>"
              L"<file_error msg=\"a &quot;quoted&quot; &lt;text&gt;\" n=\"5\"/>"
              L"<nulls_removed count=\"0\"/>");
}

// ---- limits of the packed fields: the document is ill-formed and reading stops ----

TEST(XmlParse, StartTagLongerThanItsFieldStopsTheParse)
{
    std::wstring text = L"<r><ok/><a";
    text.append(XmlElementRecord::kStartTagMax - 3, L' ');  // "<a", spaces, "/>": one unit too long
    text += L"/><later/></r>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(text));
    EXPECT_EQ(doc.m_result.find(L"<limit_exceeded type=\"start_tag\" offset=\"8\"/>"), 0u);
    EXPECT_EQ(doc.GetRecordCount(), 3);  // r and ok; nothing after the long tag
    EXPECT_EQ(xmltest::CheckInvariants(doc), "");

    // One unit shorter fits.
    text.erase(10, 1);
    EXPECT_TRUE(doc.SetDocumentText(text));
    EXPECT_EQ(doc.GetRecord(3).StartTagLength(), XmlElementRecord::kStartTagMax);
    EXPECT_EQ(doc.GetRecordCount(), 5);
}

TEST(XmlParse, EndTagLongerThanItsFieldStopsTheParse)
{
    std::wstring text = L"<r><a></a";
    text.append(XmlElementRecord::kEndTagMax - 3, L' ');  // "</a" + spaces + ">" = 1024 units
    text += L"><b/></r>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(text));
    EXPECT_EQ(doc.m_result.find(L"<limit_exceeded type=\"end_tag\" offset=\"6\"/>"), 0u);
    EXPECT_EQ(doc.GetRecordCount(), 3);
    EXPECT_EQ(xmltest::CheckInvariants(doc), "");

    text.erase(10, 1);
    EXPECT_TRUE(doc.SetDocumentText(text));
    EXPECT_EQ(doc.GetRecord(2).EndTagLength(), XmlElementRecord::kEndTagMax);
}

TEST(XmlParse, NestingBeyondTheDepthFieldStopsTheParse)
{
    const int levels = XmlElementRecord::kDepthMax + 2;  // depths 0..65536
    std::wstring text;
    for (int i = 0; i < levels; ++i) text += L"<a>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(text));
    const std::wstring expected =
        L"<limit_exceeded type=\"depth\" offset=\"" + std::to_wstring(3 * (levels - 1)) + L"\"/>";
    EXPECT_EQ(doc.m_result.find(expected), 0u);
    ASSERT_EQ(doc.GetRecordCount(), levels);  // record 0 plus depths 0..65535
    EXPECT_EQ(xmltest::CheckInvariants(doc), "");
    // All were left open: each became unended and all now stand at the top level.
    EXPECT_TRUE(doc.GetRecord(levels - 1).IsUnended());
    EXPECT_EQ(doc.GetRecord(levels - 1).Depth(), 0u);
}
