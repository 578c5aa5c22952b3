// Bounded mutation fuzzing (fixed seed, fixed number of rounds) over documents
// shaped like config.xml, a keyboard layout file and a profile exchange file:
// no crash, no hang, tables that stay sound, and the same result every time.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

#include "XmlTestUtil.h"
#include "services/xml/XmlDocument.h"

namespace {

std::wstring ConfigLike()
{
    return L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config>\r\n  <device.info>\r\n"
           L"    <keyboard name=\"K75 Pro\" device_type=\"150\" device_info=\"k75\" "
           L"img_connected=\"k75_on.png\">\r\n"
           L"      <mode value=\"0\" desc=\"USB\" vid=\"0x3151\" pid=\"0x4011\" product_name=\"\" "
           L"hid_interface=\"MI_02\"/>\r\n"
           L"      <mode value=\"1\" desc=\"2.4G\" vid=\"0x3151\" pid=\"0x4012\" "
           L"hid_interface=\"MI_03&amp;COL05\"/>\r\n"
           L"    </keyboard>\r\n  </device.info>\r\n"
           L"  <language.info default_lan=\"1033\"><lan value=\"1033\"/><lan "
           L"value=\"2052\"/></language.info>\r\n"
           L"  <!-- links --><software name=\"Kestrova\" version=\"1.0.3\">\r\n"
           L"    <website url=\"https://example.invalid/?a=1&amp;b=2\"/><feedback url=''/>\r\n"
           L"  </software>\r\n</config>\r\n";
}

std::wstring LayoutLike()
{
    std::wstring s =
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<device.info>\r\n"
        L"<Keyboard bk_color=\"0x202020\" xpos=\"12\" ypos=\"40\" width=\"980\" height=\"360\" "
        L"image=\"k75.png\" row_count=\"6\" col_count=\"16\">\r\n<KeyItems>\r\n";
    const wchar_t* names[] = {L"Esc", L"F1", L"&lt;", L"\x00C4", L"Space"};
    for (int i = 0; i < 24; ++i) {
        s += L"<key code=\"0x" + std::to_wstring(29 + i) + L"\" name=\"" + names[i % 5] +
             L"\" desc=\"k" + std::to_wstring(i) + L"\" key_index=\"" + std::to_wstring(i) +
             L"\" light_index=\"" + std::to_wstring(i * 2) + L"\" rect_left=\"" +
             std::to_wstring(10 + 40 * i) +
             L"\" rect_top=\"8\" rect_width=\"38\" rect_height=\"38\" row_col=\"" +
             std::to_wstring(i / 16) + L"," + std::to_wstring(i % 16) + L"\"/>\r\n";
    }
    s += L"</KeyItems>\r\n</Keyboard>\r\n</device.info>\r\n";
    return s;
}

std::wstring ProfileLike()
{
    return L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n<profileinfo name=\"Game "
           L"&quot;1&quot;\"/>\r\n"
           L"<key_macro>\r\n<item fn_layer=\"0\" key_code=\"41\" layout_value=\"1\" "
           L"layout_desc=\"Esc\" "
           L"macro_type=\"2\" macro_value=\"4\" macro_value2=\"0\" macro_value3=\"0\" "
           L"macro_desc=\"A\"/>\r\n"
           L"<item fn_layer=\"1\" key_code=\"58\" layout_value=\"2\" layout_desc=\"F1\" "
           L"macro_type=\"9\" "
           L"macro_value=\"0\" macro_value2=\"0\" macro_value3=\"0\" macro_desc=\"&#x1F600;\"/>\r\n"
           L"</key_macro>\r\n</profile>\r\n<!DOCTYPE x [<!ENTITY a \"b>\">]><![CDATA[ ]]>";
}

const wchar_t* const kSnippets[] = {L"<",          L">",        L"</",
                                    L"/>",         L"<!--",     L"-->",
                                    L"<![CDATA[",  L"]]>",      L"<!DOCTYPE d [",
                                    L"<!ELEMENT",  L"<?",       L"?>",
                                    L"\"",         L"'",        L"=",
                                    L"&#x110000;", L"&#xD800;", L"&amp",
                                    L"<key ",      L"</key>",   L"<a b=c/>",
                                    L"\x00E9",     L"\xD83D",   L"\0",
                                    L"<!x",        L"<!-x",     L"<![X"};

std::wstring Mutate(const std::wstring& seed, std::mt19937& rng)
{
    std::wstring s = seed;
    const int count = 1 + static_cast<int>(rng() % 8);
    for (int m = 0; m < count && !s.empty(); ++m) {
        const size_t at = rng() % s.size();
        switch (rng() % 6) {
            case 0:  // replace one unit
                s[at] = L"<>/\"'=!-[]?&; a\x00E9"[rng() % 16];
                break;
            case 1:  // insert a snippet
                s.insert(at, kSnippets[rng() % (sizeof(kSnippets) / sizeof(kSnippets[0]))]);
                break;
            case 2:  // delete a run
                s.erase(at, 1 + rng() % 40);
                break;
            case 3: {  // duplicate a run
                const std::wstring run = s.substr(at, 1 + rng() % 200);
                s.insert(rng() % s.size(), run);
                break;
            }
            case 4:  // truncate
                s.resize(at);
                break;
            default:  // swap two units
                std::swap(s[at], s[rng() % s.size()]);
                break;
        }
    }
    return s;
}

// Visits every element through the cursor, reading names and attributes.
int WalkAll(XmlDocument& doc)
{
    int seen = 0;
    int depth = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        if (doc.FindElement(L"")) {
            ++seen;
            doc.GetElementName(doc.GetCurrentPos());
            doc.GetAttribute(L"name");
            doc.GetAttribute(L"value");
            if (doc.EnterElement()) ++depth;
        } else if (depth > 0 && doc.LeaveElement()) {
            --depth;
        } else {
            break;
        }
    }
    return seen;
}

}  // namespace

TEST(XmlFuzz, MutatedDocumentsStaySoundAndDeterministic)
{
    const std::wstring seeds[] = {ConfigLike(), LayoutLike(), ProfileLike()};
    std::mt19937 rng(4242);
    const DWORD started = GetTickCount();
    for (int round = 0; round < 15000; ++round) {
        const std::wstring text = Mutate(seeds[round % 3], rng);
        XmlDocument a, b;
        const bool okA = a.SetDocumentText(text);
        const bool okB = b.SetDocumentText(text);
        ASSERT_EQ(okA, okB);
        ASSERT_EQ(a.m_result, b.m_result) << "round " << round;
        const std::string table = xmltest::Describe(a);
        ASSERT_EQ(table, xmltest::Describe(b)) << "round " << round;
        ASSERT_EQ(xmltest::CheckInvariants(a), "") << "round " << round << "\n"
                                                   << xmltest::Narrow(text);
        // Parsing the same document again rebuilds the same table.
        a.Parse();
        ASSERT_EQ(xmltest::Describe(a), table);

        EXPECT_EQ(WalkAll(a), WalkAll(b));
        XmlDocument::GetDeclaredEncoding(text.c_str(), static_cast<int>(text.size()));

        // Edits on whatever the parse left keep the table sound, and on a
        // well-formed document equal to a fresh parse.
        a.Parse();
        a.FindElement(L"");
        a.EnterElement();
        a.FindElement(L"");
        a.SetAttribute(L"name", L"x\"<y>");
        a.AddElement(L"added", L"v&w", rng() % 2 ? 0u : unsigned(XmlDocument::AddAsChild));
        ASSERT_EQ(xmltest::CheckInvariants(a), "") << "round " << round << "\n"
                                                   << xmltest::Narrow(text);
        if (okA) {
            ASSERT_EQ(xmltest::CompareWithFreshParse(a, false), "") << "round " << round;
        }
    }
    // A guard against a pathological slowdown, far above the usual well under a second.
    EXPECT_LT(GetTickCount() - started, 20000u);
}

TEST(XmlFuzz, MutatedFilesLoadWithoutHarm)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"kestrova_xml_fuzz_" +
                              std::to_wstring(GetCurrentProcessId()) + L".xml";
    const std::string seeds[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><software "
        "name=\"K\xC3\xA9\"/></config>",
        "\xEF\xBB\xBF<a b=\"1\"/>",
        std::string("\xFF\xFE<\0a\0/\0>\0", 10),
        std::string("\xFE\xFF\0<\0a\0/\0>", 10),
        "<?xml encoding=\"windows-1252\"?><a t=\"\xE9\"/>",
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=koi8-r\"></head></html>",
    };
    std::mt19937 rng(777);
    for (int round = 0; round < 240; ++round) {
        std::string bytes = seeds[round % 6];
        for (int m = 0; m < 4 && !bytes.empty(); ++m) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 3) {
                case 0: bytes[at] = static_cast<char>(rng() & 0xFF); break;
                case 1: bytes.erase(at, 1 + rng() % 4); break;
                default: bytes.insert(at, 1, static_cast<char>(rng() % 3 ? 0 : 0xFF)); break;
            }
        }
        FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        XmlDocument a, b;
        a.Load(path.c_str());
        b.Load(path.c_str());
        ASSERT_EQ(a.GetDocumentText(), b.GetDocumentText());
        ASSERT_EQ(a.m_result, b.m_result);
        ASSERT_EQ(xmltest::CheckInvariants(a), "") << "round " << round;
        WalkAll(a);
    }
    DeleteFileW(path.c_str());
}
