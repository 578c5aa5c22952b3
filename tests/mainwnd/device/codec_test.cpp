// The key-function codec and catalogue: the edge cases of both directions as one
// table, and every catalogue entry through encode, decode and encode again.
#include <cstring>
#include <iterator>

#include "DeviceFixture.h"
#include "mainwnd/device/KeyFuncCatalogue.h"
#include "mainwnd/device/KeyFuncCodec.h"

namespace devtest {
namespace {

class CodecTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Three macros; the second is deleted, so the third moves to position 1.
        macro1 = db.AddMacro(L"New Macro 1");
        const int deleted = db.AddMacro(L"Gone");
        macro3 = db.AddMacro(L"Mine");
        db.DeleteMacro(deleted);
        macro4 = db.AddMacro(L"\u65B0\u5EFA\u5B8F 4");
    }
    DeviceDataDB& db = EmptyDatabase();
    KeyFuncCodec codec{db, EnglishText};
    int macro1 = 0, macro3 = 0, macro4 = 0;
};

struct Row
{
    int type, value, value2, value3;
};

std::string Describe(const Row& r)
{
    return "(" + std::to_string(r.type) + ", " + std::to_string(r.value) + ", " +
           std::to_string(r.value2) + ", " + std::to_string(r.value3) + ")";
}

KeyMacroData MakeRow(const Row& r)
{
    KeyMacroData row;
    row.macro_type = r.type;
    row.macro_value = r.value;
    row.macro_value2 = r.value2;
    row.macro_value3 = r.value3;
    return row;
}

// Placeholders in the macro rows of the table: the ids SetUp made.
const int kMacro1 = -1001, kMacro3 = -1003, kMacro4 = -1004;

TEST_F(CodecTest, EdgeCases)
{
    auto id = [&](int v) {
        return v == kMacro1 ? macro1 : v == kMacro3 ? macro3 : v == kMacro4 ? macro4 : v;
    };
    // A row, the record it is written as, and what that record reads back as with
    // its description ("<old>": the description the row held before).
    struct Case
    {
        const char* what;
        Row written;
        Bytes record;
        Row read;
        const wchar_t* desc;
    };
    const Case cases[] = {
        {"key", {2, 0x04, 0, 0}, {0x10, 0x00, 0x04}, {2, 0x04, 0, 0}, L"A"},
        {"left Shift alone", {2, 0xE1, 0, 0}, {0x10, 0x02, 0x00}, {2, 0xE1, 0, 0}, L"Shift"},
        {"combination", {2, 0x06, 0x01, 0}, {0x10, 0x01, 0x06}, {2, 0x06, 0x01, 0}, L"C"},
        {"shortcut 155 is that combination",
         {7, 155, 0, 0},
         {0x10, 0x01, 0x06},
         {2, 6, 1, 0},
         L"C"},
        {"modifiers only", {2, 0, 0x05, 0}, {0x10, 0x05, 0x00}, {2, 0, 0x05, 0}, L"LCtrl+ LAlt"},
        {"modifier key with a further modifier",
         {2, 0xE1, 0x01, 0},
         {0x10, 0x03, 0x00},
         {2, 0, 0x03, 0},
         L"LCtrl+ LShift"},
        {"keypad 0 has the catalogue's name", {2, 98, 0, 0}, {0x10, 0x00, 98}, {2, 98, 0, 0}, L"0"},
        {"keypad point", {2, 99, 0, 0}, {0x10, 0x00, 99}, {2, 99, 0, 0}, L"."},
        {"right Windows key", {2, 0xE7, 0, 0}, {0x10, 0x80, 0x00}, {2, 0xE7, 0, 0}, L"R-Win"},
        {"macro, repeat count",
         {3, kMacro4, 0, 5},
         {0x61, 0x02, 0x05},
         {3, kMacro4, 0, 5},
         L"New Macro 4"},
        {"macro, count 1",
         {3, kMacro4, 0, 1},
         {0x60, 0x02, 0x00},
         {3, kMacro4, 0, 0},
         L"New Macro 4"},
        {"macro, play mode 2",
         {3, kMacro4, 2, 7},
         {0x60, 0x02, 0x02},
         {3, kMacro4, 2, 0},
         L"New Macro 4"},
        {"macro moved up after a delete",
         {3, kMacro3, 0, 0},
         {0x60, 0x01, 0x00},
         {3, kMacro3, 0, 0},
         L"Mine"},
        {"macro with a default name",
         {3, kMacro1, 1, 0},
         {0x60, 0x00, 0x01},
         {3, kMacro1, 1, 0},
         L"New Macro 1"},
        {"macro id not in the table", {3, 999, 0, 0}, {0x00, 0x00, 0x00}, {0, 0, 0, 0}, L"<old>"},
        {"consumer 104", {6, 104, 0, 0}, {0x30, 0xE9, 0x00}, {6, 104, 0, 104}, L"Volume up"},
        {"consumer 113", {6, 113, 0, 0}, {0x30, 0x94, 0x01}, {6, 113, 1, 113}, L"This PC"},
        {"consumer 111", {6, 111, 0, 0}, {0x30, 0x6F, 0x00}, {6, 111, 0, 111}, L"Brightness up"},
        {"consumer 112", {6, 112, 0, 0}, {0x30, 0x70, 0x00}, {6, 112, 0, 112}, L"Brightness down"},
        {"consumer code without usage", {6, 107, 0, 0}, {0x30, 0x00, 0x00}, {6, 0, 0, 0}, L"<old>"},
        {"special 58", {12, 58, 0, 0}, {0x50, 0x3A, 0x00}, {12, 58, 0, 0}, L"6N"},
        {"special 18 reads as Color", {12, 18, 0, 0}, {0x50, 0x12, 0x00}, {12, 18, 0, 0}, L"Color"},
        {"system control 161", {7, 161, 0, 0}, {0x02, 0x02, 0x00}, {7, 161, 0, 0}, L"Sleep"},
        {"system control 162", {7, 162, 0, 0}, {0x02, 0x01, 0x00}, {7, 162, 0, 0}, L"Power off"},
        {"system control 163 has no written form",
         {7, 163, 0, 0},
         {0x10, 0x00, 0x00},
         {2, 0, 0, 0},
         L""},
        {"type 1", {1, 0, 0, 0}, {0x05, 0x03, 0x00}, {0, 0, 0, 0}, L"<old>"},
        {"type 9", {9, 0x1234, 0, 0}, {0x05, 0x02, 0x34}, {0, 0, 0, 0}, L"<old>"},
        {"type 4", {4, 1, 1, 1}, {0x00, 0x00, 0x00}, {0, 0, 0, 0}, L"<old>"},
        {"type 13", {13, 1, 1, 1}, {0x00, 0x00, 0x00}, {0, 0, 0, 0}, L"<old>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Row written = c.written;
        written.value = id(written.value);
        Row read = c.read;
        read.value = id(read.value);
        uint8_t record[3] = {0xEE, 0xEE, 0xEE};
        codec.Encode(MakeRow(written), record);
        EXPECT_EQ(Hex(c.record), Hex(record, 3)) << Describe(written);

        KeyMacroData row;
        row.macro_desc = L"<old>";
        row.key_code = 77;
        codec.Decode(c.record.data(), row);
        EXPECT_EQ(Describe(read),
                  Describe({row.macro_type, row.macro_value, row.macro_value2, row.macro_value3}));
        if (c.desc) {
            EXPECT_STREQ(c.desc, row.macro_desc.GetString());
        }
        EXPECT_EQ(77, row.key_code);
    }
}

TEST_F(CodecTest, RecordsOnlyRead)
{
    struct Case
    {
        Bytes record;
        Row read;
        int textId;  // 0: the old description stays
    };
    // Mouse records in the layout keyboards report, system control of kind 0x20,
    // and records nobody recognises.
    const Case cases[] = {
        {{0x40, 0x01, 0x01}, {5, 93, 0, 0}, 224},    {{0x40, 0x01, 0x00}, {5, 90, 0, 0}, 220},
        {{0x40, 0x02, 0x00}, {5, 92, 0, 0}, 223},    {{0x40, 0x04, 0x00}, {5, 91, 0, 0}, 222},
        {{0x40, 0x10, 0x00}, {5, 94, 0, 0}, 227},    {{0x40, 0x08, 0x00}, {5, 95, 0, 0}, 228},
        {{0x40, 0x00, 0x00}, {5, 0, 0, 0}, 0},       {{0x40, 0x05, 0x02}, {5, 0, 0, 0}, 0},
        {{0x20, 0x00, 0x82}, {7, 161, 0, 0}, 257},   {{0x20, 0x07, 0x81}, {7, 162, 0, 0}, 258},
        {{0x20, 0x00, 0x83}, {7, 163, 0, 0}, 259},   {{0x20, 0x00, 0x84}, {7, 0, 0, 0}, 0},
        {{0x02, 0x03, 0x00}, {0, 0, 0, 0}, 0},       {{0x00, 0x00, 0x00}, {0, 0, 0, 0}, 0},
        {{0x50, 0x3A, 0x01}, {12, 58, 0, 0}, 0},     {{0x50, 0x4B, 0x00}, {12, 75, 0, 0}, 0},
        {{0x60, 0x09, 0x03}, {3, 10, 3, 0}, 0},      {{0x61, 0x09, 0x03}, {3, 10, 0, 3}, 0},
        {{0x30, 0x12, 0x34}, {6, 0x12, 0x34, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.record));
        KeyMacroData row;
        row.macro_value = 5;
        row.macro_desc = L"<old>";
        codec.Decode(c.record.data(), row);
        EXPECT_EQ(Describe(c.read),
                  Describe({row.macro_type, row.macro_value, row.macro_value2, row.macro_value3}));
        EXPECT_EQ(c.textId ? EnglishText(c.textId) : CString(L"<old>"), row.macro_desc);
    }
}

TEST_F(CodecTest, TypeZeroLeavesTheRecord)
{
    uint8_t record[3] = {0x10, 0x00, 0x2C};
    codec.Encode(KeyMacroData(), record);
    EXPECT_EQ("10 00 2C", Hex(record, 3));
}

TEST_F(CodecTest, Catalogue)
{
    std::vector<KeyFunctionItem> list;
    BuildKeyFunctionList(list, EnglishText);
    BuildKeyFunctionList(list, EnglishText);  // a language change builds it again
    ASSERT_EQ(213u, list.size());
    int counts[13] = {};
    for (const KeyFunctionItem& item : list) {
        ASSERT_TRUE(item.category >= 0 && item.category <= 12);
        ++counts[item.category];
        EXPECT_TRUE(item.description.IsEmpty());
    }
    EXPECT_EQ(103, counts[2]);
    EXPECT_EQ(7, counts[5]);
    EXPECT_EQ(18, counts[6]);
    EXPECT_EQ(11, counts[7]);
    EXPECT_EQ(74, counts[12]);
    EXPECT_EQ(0, counts[3]);

    struct Expect
    {
        size_t index;
        int category, code;
        const wchar_t* name;
    };
    const Expect expected[] = {
        {0, 2, 4, L"A"},           {26, 2, 39, L"0"},         {27, 2, 30, L"1"},
        {48, 2, 82, L"\u2191"},    {57, 2, 42, L"Backsapce"}, {83, 2, 98, L"0"},
        {91, 2, 231, L"R-Win"},    {97, 2, 49, L"||"},        {102, 2, 56, L"/?"},
        {103, 5, 90, nullptr},     {109, 5, 95, nullptr},     {110, 6, 113, nullptr},
        {127, 6, 122, nullptr},    {128, 7, 155, nullptr},    {138, 7, 154, nullptr},
        {139, 12, 1, L"Fn0"},      {140, 12, 2, L"Fn"},       {156, 12, 18, L"COLOUR"},
        {212, 12, 74, L"KeyTest"},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(e.category, list[e.index].category);
        EXPECT_EQ(e.code, list[e.index].code);
        if (e.name) {
            EXPECT_STREQ(e.name, list[e.index].name.GetString());
        }
    }
    // Names of categories 5-7 are the language's texts.
    EXPECT_EQ(EnglishText(220), list[103].name);
    EXPECT_EQ(EnglishText(260), list[110].name);
    EXPECT_EQ(EnglishText(31), list[128].name);
    EXPECT_FALSE(list[103].name.IsEmpty());
    // A language without the texts still has every entry.
    BuildKeyFunctionList(list, [](int) { return CString(); });
    ASSERT_EQ(213u, list.size());
    EXPECT_TRUE(list[103].name.IsEmpty());
    EXPECT_EQ(90, list[103].code);
}

// The shortcuts as the keyboard stores them: a key record (0x10) with the
// modifier byte and the key's usage, read back as that key combination.
struct ShortcutRecord
{
    int code;
    uint8_t record[3];
};
const ShortcutRecord kShortcutRecords[] = {
    {150, {0x10, 0x08, 0x07}},  // Win+D
    {151, {0x10, 0x08, 0x08}},  // Win+E
    {152, {0x10, 0x08, 0x0F}},  // Win+L
    {153, {0x10, 0x01, 0x1A}},  // Ctrl+W
    {154, {0x10, 0x04, 0x2B}},  // Alt+Tab
    {155, {0x10, 0x01, 0x06}},  // Ctrl+C
    {156, {0x10, 0x01, 0x19}},  // Ctrl+V
    {157, {0x10, 0x01, 0x1B}},  // Ctrl+X
    {158, {0x10, 0x01, 0x16}},  // Ctrl+S
    {159, {0x10, 0x01, 0x12}},  // Ctrl+O
    {160, {0x10, 0x01, 0x11}},  // Ctrl+N
};

const ShortcutRecord* FindShortcut(int code)
{
    for (const ShortcutRecord& s : kShortcutRecords)
        if (s.code == code) return &s;
    return nullptr;
}

TEST_F(CodecTest, EveryCatalogueEntrySurvivesAReadBack)
{
    std::vector<KeyFunctionItem> list;
    BuildKeyFunctionList(list, EnglishText);
    size_t shortcuts = 0;
    for (const KeyFunctionItem& item : list) {
        SCOPED_TRACE(std::to_string(item.category) + "/" + std::to_string(item.code));
        uint8_t first[3] = {}, second[3] = {};
        codec.Encode(MakeRow({item.category, item.code, 0, 0}), first);
        EXPECT_NE(0, first[0]);
        KeyMacroData row;
        codec.Decode(first, row);
        // A catalogue entry reads back as itself; a shortcut as its key combination.
        Row expected = {item.category, item.code, -1, -1};
        if (item.category == 7) {
            const ShortcutRecord* shortcut = FindShortcut(item.code);
            ASSERT_NE(shortcut, nullptr);
            EXPECT_EQ(Hex(shortcut->record, 3), Hex(first, 3));
            expected = {2, shortcut->record[2], shortcut->record[1], 0};
            ++shortcuts;
        }
        EXPECT_EQ(expected.type, row.macro_type);
        EXPECT_EQ(expected.value, row.macro_value);
        if (expected.value2 >= 0) {
            EXPECT_EQ(expected.value2, row.macro_value2);
        }
        EXPECT_FALSE(row.macro_desc.IsEmpty());
        codec.Encode(row, second);
        EXPECT_EQ(Hex(first, 3), Hex(second, 3));
    }
    EXPECT_EQ(shortcuts, std::size(kShortcutRecords));
}

}  // namespace
}  // namespace devtest
