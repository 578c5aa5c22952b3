// Navigation (cursor after find / enter / leave) and reading attributes.
#include <gtest/gtest.h>

#include <string>

#include "XmlTestUtil.h"
#include "services/xml/XmlDocument.h"

namespace {

const wchar_t kConfig[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    L"<config>\r\n"
    L"  <device.info>\r\n"
    L"    <keyboard name=\"K1\" device_type=\"101\"><mode value=\"0\" "
    L"vid=\"0x3151\"/></keyboard>\r\n"
    L"    <keyboard name=\"K2\" device_type=\"102\"/>\r\n"
    L"  </device.info>\r\n"
    L"  <language.info default_lan=\"1033\">\r\n"
    L"    <lan value=\"1033\"/>\r\n"
    L"    <other/>\r\n"
    L"    <lan value=\"2052\"/>\r\n"
    L"    <lan value=\"1041\"/>\r\n"
    L"  </language.info>\r\n"
    L"  <software name=\"Kestrova\" version=\"1.0.3\"/>\r\n"
    L"</config>\r\n";

}  // namespace

TEST(XmlNavigation, WalksConfigLevelByLevel)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(kConfig));
    EXPECT_FALSE(doc.EnterElement());  // no current element yet
    EXPECT_FALSE(doc.LeaveElement());  // already at the top
    ASSERT_TRUE(doc.FindElement(L"config"));
    const XmlPos config = doc.GetCurrentPos();
    EXPECT_EQ(doc.GetElementName(config), L"config");
    EXPECT_EQ(doc.GetParentPos(), 0u);
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetParentPos(), config);
    EXPECT_EQ(doc.GetCurrentPos(), 0u);
    EXPECT_FALSE(doc.IsCurrentElement());

    // Elements are found after one another: language.info, then its lan children in order.
    ASSERT_TRUE(doc.FindElement(L"language.info"));
    EXPECT_EQ(doc.GetAttribute(L"default_lan"), L"1033");
    const XmlPos language = doc.GetCurrentPos();
    ASSERT_TRUE(doc.EnterElement());
    std::wstring seen;
    while (doc.FindElement(L"lan")) seen += doc.GetAttribute(L"value") + L";";
    EXPECT_EQ(seen, L"1033;2052;1041;");
    // The failed find left the cursor on the last one found.
    EXPECT_EQ(doc.GetAttribute(L"value"), L"1041");
    const XmlPos lastLan = doc.GetCurrentPos();
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetCurrentPos(), language);
    EXPECT_EQ(doc.GetChildPos(), lastLan);
    EXPECT_EQ(doc.GetParentPos(), config);
    ASSERT_TRUE(doc.FindElement(L"software"));
    EXPECT_EQ(doc.GetAttribute(L"name"), L"Kestrova");
    EXPECT_FALSE(doc.FindElement(L"device.info"));  // it lies before the cursor
    EXPECT_EQ(doc.GetElementName(doc.GetCurrentPos()), L"software");

    // Entering an element that was left before returns to the child it was left at.
    XmlDocument again;
    again.SetDocumentText(kConfig);
    again.FindElement(L"config");
    again.EnterElement();
    again.FindElement(L"device.info");
    again.EnterElement();
    again.FindElement(L"keyboard");
    const XmlPos first = again.GetCurrentPos();
    again.LeaveElement();
    ASSERT_TRUE(again.EnterElement());
    EXPECT_EQ(again.GetCurrentPos(), first);
    ASSERT_TRUE(again.FindElement(L"keyboard"));
    EXPECT_EQ(again.GetAttribute(L"name"), L"K2");
    EXPECT_EQ(again.GetElementName(0), L"");
}

TEST(XmlNavigation, LeavingTheRootContinuesAtTheTopLevel)
{
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<config><x/></config><config id=\"2\"/><b/>"));
    ASSERT_TRUE(doc.FindElement(L"config"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindElement(L"config"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"2");
    EXPECT_TRUE(doc.FindElement(L"b"));  // found though the root has a sibling
}

TEST(XmlNavigation, FindNameForms)
{
    XmlDocument doc;
    doc.SetDocumentText(L"<r><a/><b/><a x=\"2\"/></r>");
    doc.FindElement(L"r");
    doc.EnterElement();
    EXPECT_FALSE(doc.FindElement(L"/a"));
    EXPECT_FALSE(doc.FindElement(L"a[1"));
    EXPECT_FALSE(doc.FindElement(L"A"));  // letter case matters
    // The tag name ends at its first delimiter: "a x" or "a>" is no element's name.
    EXPECT_FALSE(doc.FindElement(L"a x"));
    EXPECT_FALSE(doc.FindElement(L"a>"));
    EXPECT_FALSE(doc.FindElement(L"a\t"));
    EXPECT_EQ(doc.GetCurrentPos(), 0u);
    ASSERT_TRUE(doc.FindElement(L""));  // any name: the first candidate
    EXPECT_EQ(doc.GetElementName(doc.GetCurrentPos()), L"a");
    ASSERT_TRUE(doc.FindElement(L"a[2]"));  // only the step's name is compared
    EXPECT_EQ(doc.GetAttribute(L"x"), L"2");
}

TEST(XmlAttributes, ValuesQuotesWhitespaceAndEntities)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* value;
    };
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(
        L"<item a=\"x\" b='y' c=z d e = \"sp ace\"\r\n\tf=\"&amp;&quot;&apos;&lt;&gt;\" "
        L"g=\"&lt;&#65;&#x42;&bogus;\" h=\"&#1114112;&#xD800;&#x1F600;&#0;&#;&\" "
        L"i=\"&Aacute;&aacute;&AACUTE;&EURO;&toolongname;\" j=\"a>b\" item=\"self\" k= l=\"\"/>"));
    ASSERT_TRUE(doc.FindElement(L"item"));
    const Case cases[] = {
        {L"a", L"x"},
        {L"b", L"y"},
        {L"c", L"z"},
        {L"d", L"d"},  // written without "=": its own name
        {L"e", L"sp ace"},
        {L"f", L"&\"'<>"},
        {L"g", L"<AB&bogus;"},
        // Beyond U+10FFFF, surrogates and 0 stay as written; U+1F600 becomes a pair.
        {L"h", L"&#1114112;&#xD800;\xD83D\xDE00&#0;&#;&"},
        {L"i", L"\x00C1\x00E1\x00E1\x20AC&toolongname;"},
        {L"j", L"a>b"},
        {L"item", L"self"},  // the tag name itself is never matched, the attribute is
        {L"k", L"l=\"\"/"},  // after "=", an unquoted value runs to whitespace or ">"
        {L"missing", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(xmltest::Narrow(c.name));
        EXPECT_EQ(doc.GetAttribute(c.name), c.value);
    }
    // No current element: nothing to read.
    XmlDocument other;
    other.SetDocumentText(L"<a x=\"1\"/>");
    EXPECT_EQ(other.GetAttribute(L"x"), L"");
    EXPECT_EQ(other.GetAttributeAt(1, L"x"), L"");  // current-is-element is still 0
    other.FindElement(L"a");
    EXPECT_EQ(other.GetAttributeAt(1, L"x"), L"1");
    EXPECT_EQ(other.GetAttributeAt(0, L"x"), L"");
}

TEST(XmlAttributes, DecodeEntitiesDirectly)
{
    const struct
    {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"&lt;&gt;&amp;", L"<>&"},
        {L"&#x10FFFF;", L"\xDBFF\xDFFF"},
        {L"&#x110000;", L"&#x110000;"},
        {L"&#xDFFF;", L"&#xDFFF;"},
        {L"&#65abc;", L"A"},  // the number ends at its first non-digit
        {L"&#X41;", L"A"},
        {L"&nbsp;&copy;&hearts;", L"\x00A0\x00A9\x2665"},
        {L"&\x00E9;", L"&\x00E9;"},  // names are below U+0080
        {L"&amp", L"&amp"},
        {L"&123456789;", L"&123456789;"},
    };
    for (const auto& c : cases) {
        const std::wstring in(c.in);
        EXPECT_EQ(XmlDocument::DecodeEntities(in.c_str(), static_cast<int>(in.size())), c.out)
            << xmltest::Narrow(in);
    }
}
