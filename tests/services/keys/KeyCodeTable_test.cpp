// The key-code tables checked over their whole domain: every virtual key that has
// a usage, every usage that has a name, and that nothing else maps or is named.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "services/keys/KeyCodeTable.h"

namespace {

std::map<int, unsigned int> ExpectedUsages()
{
    std::map<int, unsigned int> m;
    for (int vk = 'A'; vk <= 'Z'; ++vk) m[vk] = static_cast<unsigned int>(vk - 61);
    for (int vk = '1'; vk <= '9'; ++vk) m[vk] = static_cast<unsigned int>(vk - 19);
    m['0'] = 39;
    m[VK_RETURN] = 40;
    m[VK_ESCAPE] = 41;
    m[VK_BACK] = 42;
    m[VK_TAB] = 43;
    m[VK_SPACE] = 44;
    m[189] = 45;
    m[187] = 46;
    m[219] = 47;
    m[221] = 48;
    m[220] = 49;
    m[666] = 50;
    m[186] = 51;
    m[222] = 52;
    m[192] = 53;
    m[188] = 54;
    m[190] = 55;
    m[191] = 56;
    m[20] = 57;
    for (int i = 0; i < 12; ++i) m[112 + i] = 58 + i;   // F1-F12
    for (int i = 0; i < 12; ++i) m[124 + i] = 104 + i;  // F13-F24
    m[44] = 70;
    m[145] = 71;
    m[19] = 72;
    m[45] = 73;
    m[36] = 74;
    m[33] = 75;
    m[46] = 76;
    m[35] = 77;
    m[34] = 78;
    m[39] = 79;
    m[37] = 80;
    m[40] = 81;
    m[38] = 82;
    m[144] = 83;
    m[111] = 84;
    m[106] = 85;
    m[109] = 86;
    m[107] = 87;
    m[108] = 88;
    for (int i = 0; i < 9; ++i) m[97 + i] = 89 + i;  // keypad 1-9
    m[96] = 98;
    m[110] = 99;
    m[162] = 224;
    m[160] = 225;
    m[164] = 226;
    m[91] = 227;
    m[163] = 228;
    m[161] = 229;
    m[165] = 230;
    m[92] = 231;
    m[93] = 101;
    m[254] = 175;
    m[226] = 100;
    for (int vk = 136; vk <= 139; ++vk) m[vk] = static_cast<unsigned int>(vk);
    m[301] = 236;
    m[302] = 235;
    return m;
}

std::map<unsigned int, std::wstring> ExpectedNames()
{
    std::map<unsigned int, std::wstring> m;
    for (unsigned int u = 4; u <= 29; ++u) m[u] = std::wstring(1, wchar_t(L'A' + (u - 4)));
    for (unsigned int u = 30; u <= 38; ++u) m[u] = std::wstring(1, wchar_t(L'1' + (u - 30)));
    m[39] = L"0";
    const wchar_t* row[] = {L"Enter", L"Esc", L"Backspace", L"Tab", L"Space",
                            L"-",     L"=",   L"[",         L"]",   L"\\"};
    for (unsigned int i = 0; i < 10; ++i) m[40 + i] = row[i];
    m[51] = L";";
    m[52] = L"'";
    m[53] = L"~";
    m[54] = L",";
    m[55] = L".";
    m[56] = L"/";
    m[57] = L"CapsLock";
    for (unsigned int i = 0; i < 12; ++i) m[58 + i] = L"F" + std::to_wstring(i + 1);
    for (unsigned int i = 0; i < 12; ++i) m[104 + i] = L"F" + std::to_wstring(i + 13);
    m[70] = L"Print";
    m[71] = L"Scroll";
    m[72] = L"Pause";
    m[73] = L"Insert";
    m[74] = L"Home";
    m[75] = L"PgUp";
    m[76] = L"Delete";
    m[77] = L"End";
    m[78] = L"PgDn";
    m[79] = L"\u2192";
    m[80] = L"\u2190";
    m[81] = L"\u2193";
    m[82] = L"\u2191";
    m[83] = L"Num Lock";
    m[84] = L"Num /";
    m[85] = L"Num *";
    m[86] = L"Num -";
    m[87] = L"Num +";
    m[88] = L"Num Enter";
    for (unsigned int i = 0; i < 9; ++i) m[89 + i] = L"Num " + std::to_wstring(i + 1);
    m[101] = L"App";
    m[175] = L"Fn";
    m[224] = L"Ctrl";
    m[225] = L"Shift";
    m[226] = L"Alt";
    m[227] = L"Win";
    m[228] = L"Ctrl";
    m[229] = L"Shift";
    m[230] = L"Alt";
    return m;
}

std::string Narrow(const std::wstring& w)
{
    std::string s;
    for (wchar_t c : w) s += c < 128 ? char(c) : '?';
    return s;
}

}  // namespace

TEST(KeyCodeTable, VirtualKeysMapToTheirUsagesAndNothingElseMaps)
{
    const auto expected = ExpectedUsages();
    ASSERT_EQ(expected.size(), 26u + 10 + 5 + 5 + 1 + 6 + 1 + 24 + 3 + 6 + 4 + 5 + 1 + 9 + 2 + 8 +
                                   1 + 1 + 1 + 4 + 2);
    for (int vk = -2; vk < 1024; ++vk) {
        auto it = expected.find(vk);
        const unsigned int want = it == expected.end() ? 0 : it->second;
        EXPECT_EQ(KeyCodeTable::VirtualKeyToHidUsage(vk), want) << "virtual key " << vk;
    }
}

TEST(KeyCodeTable, SideNeutralModifiersHaveNoUsageButSidedOnesDo)
{
    struct Case
    {
        int vk;
        unsigned int usage;
        unsigned int bit;
        const wchar_t* name;
    };
    const Case cases[] = {
        {VK_SHIFT, 0, 0, L""},
        {VK_CONTROL, 0, 0, L""},
        {VK_MENU, 0, 0, L""},
        {VK_LSHIFT, 225, 2, L"Shift"},
        {VK_RSHIFT, 229, 32, L"Shift"},
        {VK_LCONTROL, 224, 1, L"Ctrl"},
        {VK_RCONTROL, 228, 16, L"Ctrl"},
        {VK_LMENU, 226, 4, L"Alt"},
        {VK_RMENU, 230, 64, L"Alt"},
        {VK_LWIN, 227, 8, L"Win"},
        {VK_RWIN, 231, 128, L""},  // right GUI has no name
        {VK_NUMPAD0, 98, 98, L""},
        {VK_NUMPAD1, 89, 89, L"Num 1"},
        {VK_DECIMAL, 99, 99, L""},
        {VK_SEPARATOR, 88, 88, L"Num Enter"},
        {VK_INSERT, 73, 73, L"Insert"},
        {VK_OEM_CLEAR, 175, 175, L"Fn"},
        {666, 50, 50, L""},
        {VK_OEM_102, 100, 100, L""},
        {301, 236, 236, L""},
        {302, 235, 235, L""},
    };
    auto& table = KeyCodeTable::Instance();
    for (const Case& c : cases) {
        const unsigned int usage = table.VirtualKeyToHidUsage(c.vk);
        EXPECT_EQ(usage, c.usage) << "virtual key " << c.vk;
        EXPECT_EQ(table.ModifierUsageToBit(usage), c.bit) << "virtual key " << c.vk;
        EXPECT_STREQ(table.HidUsageToKeyName(usage).GetString(), c.name) << "virtual key " << c.vk;
    }
}

TEST(KeyCodeTable, ModifierBitsOnlyForModifierUsages)
{
    for (unsigned int u = 0; u < 1024; ++u) {
        const unsigned int want = (u >= 224 && u <= 231) ? 1u << (u - 224) : u;
        EXPECT_EQ(KeyCodeTable::ModifierUsageToBit(u), want) << "usage " << u;
    }
    EXPECT_EQ(KeyCodeTable::ModifierUsageToBit(0xFFFFFFFFu), 0xFFFFFFFFu);
}

TEST(KeyCodeTable, EveryNamedUsageAndNoOther)
{
    const auto expected = ExpectedNames();
    for (unsigned int u = 0; u < 1024; ++u) {
        auto it = expected.find(u);
        const std::wstring want = it == expected.end() ? std::wstring() : it->second;
        const CString got = KeyCodeTable::HidUsageToKeyName(u);
        EXPECT_EQ(std::wstring(got.GetString()), want) << "usage " << u << " want " << Narrow(want);
    }
    EXPECT_TRUE(KeyCodeTable::HidUsageToKeyName(0xFFFFFFFFu).IsEmpty());
}

TEST(KeyCodeTable, InstanceIsOneObject)
{
    EXPECT_EQ(&KeyCodeTable::Instance(), &KeyCodeTable::Instance());
}
