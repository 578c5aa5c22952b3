// The profile names a list shows, the first free default name, and the default
// key rows of a new profile.
#include <gtest/gtest.h>

#include <vector>

#include "KeyboardRecords.h"
#include "pages/ProfileRows.h"

namespace {

const wchar_t kProfile[] = L"<68>";
const wchar_t kOwn[] = L"<65>";

struct ShownCase
{
    const wchar_t* stored;
    const wchar_t* shown;
};

TEST(ShownProfileName, PrefixesAreReplacedExactly)
{
    const ShownCase cases[] = {
        {L"Profile 5", L"<68> 5"},
        {L"Profile", L"<68>"},
        {L"\x914D\x7F6E\x6587\x4EF6"
         L"2",
         L"<68>2"},
        {L"\x6211\x7684\x5C08\x5C6C\x914D\x5BD8"
         L"A",
         L"<65>A"},
        {L"profile 5", L"profile 5"},  // case-sensitive
        {L"Prof 5", L"Prof 5"},        // the first letters only
        {L"My Profile", L"My Profile"},
        {L"", L""},
    };
    for (const ShownCase& c : cases)
        EXPECT_STREQ(ShownProfileName(c.stored, kProfile, kOwn), c.shown) << c.stored;
    // The dialog passes one text for all three.
    EXPECT_STREQ(ShownProfileName(L"\x6211\x7684\x5C08\x5C6C\x914D\x5BD8"
                                  L"A",
                                  kProfile, kProfile),
                 L"<68>A");
}

TEST(MakeUniqueName, FillsTheFirstGap)
{
    struct Case
    {
        std::vector<CString> shown;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {{}, L"Profile 1"},
        {{L"Profile 1", L"Profile 3"}, L"Profile 2"},
        {{L"Profile 3", L"Profile 2", L"Profile 1"}, L"Profile 4"},
        {{L"profile 1", L"Profile 1 "}, L"Profile 1"},  // exact comparison
        {{L"Other"}, L"Profile 1"},
    };
    for (const Case& c : cases) EXPECT_STREQ(MakeUniqueName(L"Profile", c.shown), c.expected);

    std::vector<CString> all;
    for (int n = 1; n <= 1200; ++n) {
        CString name;
        name.Format(L"P %d", n);
        all.push_back(name);
    }
    EXPECT_STREQ(MakeUniqueName(L"P", all), L"P 1000");  // the search ends there
}

TEST(DefaultKeyRows, FourRowsPerKeyInPictureOrder)
{
    WEXA::KEY_INFO esc, a;
    esc.nKeyCode = 41;
    esc.strDesc = L"Esc";
    a.nKeyCode = 4;
    a.strDesc = L"A";
    const std::vector<KeyMacroData> rows = DefaultKeyRows(7, {&esc, &a});
    ASSERT_EQ(rows.size(), 8u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const KeyMacroData& row = rows[i];
        const WEXA::KEY_INFO& key = i < 4 ? esc : a;
        const int layer = int(i % 4);
        EXPECT_EQ(row.profile, 7);
        EXPECT_EQ(row.fn_layer, layer);
        EXPECT_EQ(row.key_code, key.nKeyCode);
        EXPECT_EQ(row.layout_value, key.nKeyCode);
        EXPECT_STREQ(row.layout_desc, key.strDesc);
        EXPECT_EQ(row.macro_type, 2);
        EXPECT_EQ(row.macro_value, layer == 0 ? key.nKeyCode : 0);
        EXPECT_EQ(row.macro_value2, 0);
        EXPECT_EQ(row.macro_value3, 0);
        EXPECT_STREQ(row.macro_desc, layer == 0 ? static_cast<const wchar_t*>(key.strDesc) : L"");
    }
}

}  // namespace
