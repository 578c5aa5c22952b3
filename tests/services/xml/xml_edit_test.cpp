// Editing: exact texts of the edits, escaping, cursor after an edit, and the
// property that an edited table always equals a fresh parse of the edited text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "XmlTestUtil.h"
#include "services/xml/XmlDocument.h"

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

void ExpectFreshEqual(const XmlDocument& doc)
{
    EXPECT_EQ(xmltest::CompareWithFreshParse(doc, false), "");
    EXPECT_EQ(xmltest::CheckInvariants(doc), "");
}

}  // namespace

TEST(XmlEdit, BuildsAProfileExchangeDocument)
{
    XmlDocument doc;
    doc.SetDocumentText(kDeclaration);
    ASSERT_TRUE(doc.AddElement(L"profile"));
    EXPECT_EQ(doc.GetDocumentText(), std::wstring(kDeclaration) + L"<profile/>\r\n");
    ExpectFreshEqual(doc);
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"profileinfo"));
    EXPECT_EQ(doc.GetDocumentText(),
              std::wstring(kDeclaration) + L"<profile>\r\n<profileinfo/>\r\n</profile>\r\n");
    ExpectFreshEqual(doc);
    ASSERT_TRUE(doc.SetAttribute(L"name", L"Game <1> & \"co\""));
    ASSERT_TRUE(doc.AddElement(L"key_macro"));  // next line, before the parent's end tag
    ASSERT_TRUE(doc.EnterElement());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(doc.AddElement(L"item"));
        ASSERT_TRUE(doc.SetAttribute(L"fn_layer", i));
        ASSERT_TRUE(doc.SetAttribute(L"key_code", 41 + i));
        ASSERT_TRUE(doc.SetAttribute(L"layout_desc", L"Esc'"));
    }
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetDocumentText(),
              std::wstring(kDeclaration) +
                  L"<profile>\r\n"
                  L"<profileinfo name=\"Game &lt;1&gt; &amp; &quot;co&quot;\"/>\r\n"
                  L"<key_macro>\r\n"
                  L"<item fn_layer=\"0\" key_code=\"41\" layout_desc=\"Esc&apos;\"/>\r\n"
                  L"<item fn_layer=\"1\" key_code=\"42\" layout_desc=\"Esc&apos;\"/>\r\n"
                  L"</key_macro>\r\n"
                  L"</profile>\r\n");
    ExpectFreshEqual(doc);

    // And it reads back.
    XmlDocument back;
    ASSERT_TRUE(back.SetDocumentText(doc.GetDocumentText()));
    ASSERT_TRUE(back.FindElement(L"profile"));
    back.EnterElement();
    ASSERT_TRUE(back.FindElement(L"profileinfo"));
    EXPECT_EQ(back.GetAttribute(L"name"), L"Game <1> & \"co\"");
}

TEST(XmlEdit, SetAttributeInsertsReplacesAndKeepsOthers)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* name;
        const wchar_t* value;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"<a/>", L"x", L"1", L"<a x=\"1\"/>"},
        {L"<a />", L"x", L"1", L"<a x=\"1\" />"},
        {L"<a y=\"2\"  >t</a>", L"x", L"<", L"<a y=\"2\" x=\"&lt;\"  >t</a>"},
        {L"<a x=\"old\" y='2'/>", L"x", L"new", L"<a x=\"new\" y='2'/>"},
        {L"<a x='old' y=\"2\"/>", L"x", L"", L"<a x=\"\" y=\"2\"/>"},
        {L"<a x=old y=2/>", L"x", L"v", L"<a x=\"v\" y=2/>"},
        {L"<a x y=\"2\"/>", L"x", L"v", L"<a x=\"v\" y=\"2\"/>"},
        {L"<a x= />", L"x", L"v", L"<a x= \"v\"/>"},  // the "/" closes the tag, it is no value
        {L"<r><a/><b x=\"1\"/></r>", L"z", L"\x00E9", L"<r><a z=\"\x00E9\"/><b x=\"1\"/></r>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(xmltest::Narrow(c.text));
        XmlDocument doc;
        doc.SetDocumentText(c.text);
        ASSERT_TRUE(doc.FindElement(L""));
        if (doc.GetElementName(doc.GetCurrentPos()) == L"r") {
            doc.EnterElement();
            doc.FindElement(L"a");
        }
        ASSERT_TRUE(doc.SetAttribute(c.name, c.value));
        EXPECT_EQ(doc.GetDocumentText(), c.expected);
        EXPECT_EQ(doc.GetAttribute(c.name), c.value);
        ExpectFreshEqual(doc);
    }
}

TEST(XmlEdit, RefusesWhatCannotBeWritten)
{
    XmlDocument doc;
    doc.SetDocumentText(L"<a/>");
    EXPECT_FALSE(doc.SetAttribute(L"x", L"1"));  // no current element
    EXPECT_FALSE(doc.AddElement(L"b", nullptr, XmlDocument::AddAsChild));
    doc.FindElement(L"a");
    for (const wchar_t* bad : {L"", L"a b", L"a>", L"a/", L"x=y", L"q\"", L"p?"})
        EXPECT_FALSE(doc.SetAttribute(bad, L"1")) << xmltest::Narrow(bad);
    for (const wchar_t* bad : {L"", L"1a", L"a b", L"a/b", L"-x", L"a>"})
        EXPECT_FALSE(doc.AddElement(bad)) << xmltest::Narrow(bad);
    EXPECT_FALSE(doc.AddElement(L"b", L"value", XmlDocument::AddNoEndTag));
    EXPECT_EQ(doc.GetDocumentText(), L"<a/>");
    // An attribute that would overflow the start-tag field is refused, nothing changes.
    const std::wstring huge(XmlElementRecord::kStartTagMax, L'v');
    EXPECT_FALSE(doc.SetAttribute(L"x", huge.c_str()));
    EXPECT_EQ(doc.GetDocumentText(), L"<a/>");
}

TEST(XmlEdit, AddElementOptionsAndCursor)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* path;  // names to find and enter before the edit, "" = stay at the top
        const wchar_t* name;
        const wchar_t* value;
        unsigned options;
        const wchar_t* expected;
    };
    using D = XmlDocument;
    const Case cases[] = {
        {L"", L"", L"a", nullptr, 0, L"<a/>\r\n"},
        {L"<r></r>", L">r", L"a", nullptr, 0, L"<r>\r\n<a/>\r\n</r>"},
        {L"<r>\r\n<x/>\r\n</r>", L">r", L"a", L"1<2", 0, L"<r>\r\n<x/>\r\n<a>1&lt;2</a>\r\n</r>"},
        {L"<r>\r\n<x/>\r\n</r>", L">r", L"a", nullptr, D::AddBefore,
         L"<r>\r\n<a/>\r\n<x/>\r\n</r>"},
        {L"<r>\r\n<x/>\r\n</r>", L">r.x", L"a", nullptr, D::AddBefore,
         L"<r>\r\n<a/>\r\n<x/>\r\n</r>"},
        {L"<r><x/><y/></r>", L">r.x", L"a", nullptr, D::AddInline, L"<r><x/><a/><y/></r>"},
        {L"<r/>", L"r", L"a", nullptr, D::AddAsChild | D::AddInline, L"<r><a/></r>"},
        {L"<r/>", L"r", L"a", nullptr, D::AddAsChild | D::AddSpaceSlash, L"<r>\r\n<a />\r\n</r>"},
        {L"<r/>", L"r", L"a", L"x]]>y", D::AddAsChild | D::AddCData | D::AddInline,
         L"<r><a><![CDATA[x]]]]><![CDATA[>y]]></a></r>"},
        {L"<r/>", L"r", L"a", L"&amp; & \"q\"", D::AddAsChild | D::AddKeepReferences | D::AddInline,
         L"<r><a>&amp; &amp; \"q\"</a></r>"},
        {L"<r/>", L"r", L"a", L"\"q\"'", D::AddAsChild | D::AddEscapeQuotes | D::AddInline,
         L"<r><a>&quot;q&quot;&apos;</a></r>"},
        {L"<r/>", L"r", L"a", nullptr, D::AddAsChild | D::AddNoEndTag | D::AddInline,
         L"<r><a></r>"},
        {L"<r  x=\"1\" />", L"r", L"a", nullptr, D::AddAsChild, L"<r  x=\"1\" >\r\n<a/>\r\n</r>"},
        {L"<r x=\"1\"//>", L"r", L"a", nullptr, D::AddAsChild | D::AddInline,
         L"<r x=\"1\"><a/></r>"},
        // Whitespace is passed over only when "<" or the end follows it.
        {L"<r><x/>  text</r>", L">r.x", L"a", nullptr, 0, L"<r><x/><a/>\r\n  text</r>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(xmltest::Narrow(c.text) + " / " + xmltest::Narrow(c.path));
        XmlDocument doc;
        doc.SetDocumentText(c.text);
        std::wstring path(c.path);
        // ">r.x": find r and enter it, then find x. "r": find r only.
        size_t i = 0;
        while (i < path.size()) {
            const bool enter = path[i] == L'>';
            if (enter || path[i] == L'.') ++i;
            size_t j = path.find_first_of(L">.", i);
            if (j == std::wstring::npos) j = path.size();
            ASSERT_TRUE(doc.FindElement(path.substr(i, j - i).c_str()));
            if (enter) {
                ASSERT_TRUE(doc.EnterElement());
            }
            i = j;
        }
        const XmlPos before = doc.GetCurrentPos();
        ASSERT_TRUE(doc.AddElement(c.name, c.value, c.options));
        EXPECT_EQ(doc.GetDocumentText(), c.expected);
        if (c.options & D::AddAsChild) {
            EXPECT_EQ(doc.GetCurrentPos(), before);
            EXPECT_EQ(doc.GetElementName(doc.GetChildPos()), c.name);
        } else {
            EXPECT_EQ(doc.GetElementName(doc.GetCurrentPos()), c.name);
            EXPECT_EQ(doc.GetChildPos(), 0u);
        }
        EXPECT_TRUE(doc.IsCurrentElement());
        EXPECT_EQ(xmltest::CompareWithFreshParse(doc, (c.options & D::AddNoEndTag) != 0), "");
        EXPECT_EQ(xmltest::CheckInvariants(doc), "");
    }
}

// Random edit sequences over varied starting documents: after every edit the
// element table equals that of a fresh parse of the edited text. (An element
// without end tag is left out: "<k><k></k>" reads back as another tree, which
// is what that option means; the option's own cases are in the table above.)
TEST(XmlEdit, PropertyEditedTableEqualsFreshParse)
{
    const wchar_t* const bases[] = {
        L"",
        kDeclaration,
        L"<r/>",
        L"<?xml version=\"1.0\"?>\r\n<!-- c -->\r\n<config>\r\n  <a "
        L"x=\"1\">text<![CDATA[<no>]]></a>\r\n"
        L"  <b/>\r\n  <c y='2'><d/><d/></c>\r\n</config>\r\n",
        L"<r>\r\n\t<k a=\"1\"/>\r\n\t<k a=\"2\"></k>\r\n\t<?pi x?>\r\n</r>",
        L"<r><k a= /><d b=c/></d></r>",
    };
    const wchar_t* const names[] = {L"a", L"b", L"k", L"item", L"d"};
    const wchar_t* const values[] = {L"",     L"1", L"x<y&z>\"'", L"]]>", L"\x00E9\xD83D\xDE00",
                                     L"&amp;"};
    const unsigned optionSets[] = {0,
                                   0,
                                   0,
                                   XmlDocument::AddInline,
                                   XmlDocument::AddBefore,
                                   XmlDocument::AddAsChild,
                                   XmlDocument::AddAsChild | XmlDocument::AddBefore,
                                   XmlDocument::AddSpaceSlash,
                                   XmlDocument::AddCData,
                                   XmlDocument::AddKeepReferences,
                                   XmlDocument::AddEscapeQuotes,
                                   XmlDocument::AddInline | XmlDocument::AddAsChild};
    std::mt19937 rng(20240611);
    auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
    int edits = 0;
    for (int run = 0; run < 1000; ++run) {
        XmlDocument doc;
        doc.SetDocumentText(bases[run % (sizeof(bases) / sizeof(bases[0]))]);
        for (int step = 0; step < 40; ++step) {
            const size_t action = pick(10);
            bool edited = false;
            if (action < 2) {
                doc.FindElement(pick(3) ? names[pick(5)] : L"");
            } else if (action == 2) {
                doc.EnterElement();
            } else if (action == 3) {
                doc.LeaveElement();
            } else if (action < 7) {
                const unsigned options =
                    optionSets[pick(sizeof(optionSets) / sizeof(optionSets[0]))];
                edited = doc.AddElement(names[pick(5)], values[pick(6)], options);
            } else {
                edited = doc.SetAttribute(names[pick(5)], values[pick(6)]);
            }
            if (edited) {
                ++edits;
                const std::string diff = xmltest::CompareWithFreshParse(doc, false);
                ASSERT_EQ(diff, "") << "run " << run << " step " << step;
                ASSERT_EQ(xmltest::CheckInvariants(doc), "") << "run " << run << " step " << step;
            }
        }
    }
    EXPECT_GT(edits, 10000);
}
