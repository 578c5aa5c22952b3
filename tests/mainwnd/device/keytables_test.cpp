// Key tables on the keyboard: the maps read from the default and LED tables, the
// key-function write of task 8 (one key, one layer, all layers), the restore, and
// every catalogue function written to the keyboard and read back.
#include <cstring>

#include "DeviceFixture.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/KeyFuncCatalogue.h"
#include "mainwnd/device/KeyWriteQueue.h"

namespace devtest {
namespace {

class KeyTableTest : public DeviceFixture, public ::testing::WithParamInterface<sim::SimModel>
{
protected:
    void SetUp() override
    {
        Connect(GetParam());
        AddDefaultKeyRows(1);
        LoadFromKeyboard();
    }

    KeyTableRoutines Routines() { return KeyTableRoutines(*manager, db, *codec, maps); }

    void SetFunction(int layer, int keyCode, int type, int value, int value2 = 0)
    {
        KeyMacroData row;
        row.profile = 1;
        row.fn_layer = layer;
        row.key_code = keyCode;
        row.macro_type = type;
        row.macro_value = value;
        row.macro_value2 = value2;
        db.UpdateKeyMacro(row);
    }

    KeyMacroData Stored(int profile, int layer, int keyCode)
    {
        KeyMacroData row;
        EXPECT_TRUE(db.GetKeyMacro(profile, layer, keyCode, row));
        return row;
    }

    // Record of a key in the keyboard's current table of a layer.
    std::string Current(int layer, int keyCode)
    {
        const int index = maps.keyCodeToIndex.at(keyCode);
        return Hex(&keyboard->Block(uint8_t(0x1A + 2 * layer))[size_t(3 * index)], 3);
    }
    std::string Default(int keyCode)
    {
        const int index = maps.keyCodeToIndex.at(keyCode);
        return Hex(&sim::DefaultKeyTable(GetParam())[size_t(3 * index)], 3);
    }
};

INSTANTIATE_TEST_SUITE_P(Models, KeyTableTest, ::testing::ValuesIn(sim::Models()));

TEST_P(KeyTableTest, MapsComeFromTheKeyboard)
{
    const sim::SimModel& m = GetParam();
    for (size_t i = 0; i < m.keyCount; ++i) {
        const sim::SimModelKey& key = m.keys[i];
        EXPECT_EQ(key.keyIndex, maps.keyCodeToIndex.at(key.usage)) << key.usage;
        EXPECT_EQ(key.usage, maps.keyIndexToCode.at(key.keyIndex));
        EXPECT_EQ(key.led, maps.keyCodeToLed.at(key.usage));
        EXPECT_EQ(key.usage, maps.ledToKeyCode.at(key.led));
    }
    EXPECT_EQ(m.keyCount, maps.keyCodeToIndex.size());
    EXPECT_EQ(m.keyCount, maps.ledToKeyCode.size());
    // Light bars: type 101 codes 300-308, 310-331 and the right strip 332-340; type
    // 102 codes 300-326.
    const size_t bars = m.deviceType == 101 ? 9 + 22 + 9 : m.deviceType == 102 ? 27 : 0;
    EXPECT_EQ(m.keyCount + bars, maps.keyCodeToLed.size());
    if (m.deviceType == 102) {
        EXPECT_EQ(106, maps.keyCodeToLed.at(326));
    }
    if (m.deviceType == 101) {
        EXPECT_EQ(128, maps.keyCodeToLed.at(340));
    }
    for (int layer = 0; layer < 4; ++layer)
        EXPECT_EQ(Hex(sim::DefaultKeyTable(m)), Hex(maps.defaultTables[layer], 384));
}

TEST_P(KeyTableTest, OneKeyIsAShortCommandAtThreeTimesItsIndex)
{
    const int index = maps.keyCodeToIndex.at(4);  // A
    SetFunction(1, 4, 6, 104);                    // volume up on Fn layer 1
    Routines().WriteKeyFunctions(1, 1, 4);
    const std::vector<sim::Request> sent = keyboard->Received();
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ(0x10, sent[0].Command());
    EXPECT_EQ(0x11, sent[2].Command());
    // The report: id 0, then the command cut to the interface's report size.
    Bytes expected(size_t(GetParam().reportBytes + 1), 0);
    expected[1] = 0xAA, expected[2] = 0x1D, expected[3] = uint8_t(3 * index), expected[5] = 3;
    expected[9] = 0x30, expected[10] = 0xE9;
    EXPECT_EQ(Hex(expected), Hex(sent[1].report));
    EXPECT_EQ("30 E9 00", Current(1, 4));
}

TEST_P(KeyTableTest, AKeyWithoutAFunctionKeepsItsDefault)
{
    // Profile 2 has no rows at all: writing its key sends the default record.
    SetFunction(0, 5, 12, 3);
    Routines().WriteKeyFunctions(1, 0, 5);
    EXPECT_EQ("50 03 00", Current(0, 5));
    Routines().WriteKeyFunctions(2, 0, 5);
    EXPECT_EQ(Default(5), Current(0, 5));
    // Restoring one key of a profile without rows stores nothing, and the write
    // queued after it puts the default back (not 00 00 00, which disables the key).
    Routines().WriteKeyFunctions(1, 0, 5);
    EXPECT_EQ("50 03 00", Current(0, 5));
    const RestoreResult restored = Routines().RestoreDefaultKeys(2, 0, 5);
    ASSERT_TRUE(restored.restored);
    ASSERT_EQ(1u, restored.rows.size());
    EXPECT_EQ(2, restored.rows[0].macro_type);
    EXPECT_EQ(5, restored.rows[0].macro_value);
    Routines().WriteKeyFunctions(2, 0, 5);
    EXPECT_EQ(Default(5), Current(0, 5));
}

TEST_P(KeyTableTest, RestoreOneKeyAndALayer)
{
    SetFunction(0, 5, 12, 3);
    SetFunction(0, 6, 12, 4);
    const RestoreResult one = Routines().RestoreDefaultKeys(1, 0, 5);
    ASSERT_TRUE(one.restored);
    EXPECT_EQ(5, Stored(1, 0, 5).macro_value);
    EXPECT_EQ(2, Stored(1, 0, 5).macro_type);
    EXPECT_EQ(12, Stored(1, 0, 6).macro_type);
    const RestoreResult layer = Routines().RestoreDefaultKeys(1, 0, -1);
    ASSERT_TRUE(layer.restored);
    EXPECT_EQ(GetParam().keyCount, layer.rows.size());
    EXPECT_EQ(2, Stored(1, 0, 6).macro_type);
    EXPECT_EQ(6, Stored(1, 0, 6).macro_value);
    // Nothing reaches the keyboard until the key write runs.
    EXPECT_TRUE(keyboard->Received().empty());
    // The whole layer goes out as the default table.
    Routines().WriteKeyFunctions(1, 2, -1);
    EXPECT_EQ(Hex(sim::DefaultKeyTable(GetParam())), Hex(keyboard->Block(0x1E)));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x1F, 0x11}), Commands());
}

TEST_P(KeyTableTest, IndexesPastTheTablesAreRefused)
{
    // A layout file may name key indexes the keyboard's tables do not have.
    maps.keyCodeToIndex[500] = 200;
    maps.keyCodeToIndex[501] = -3;
    maps.keyIndexToCode[200] = 500;
    for (int code : {500, 501}) {
        KeyMacroData row;
        row.profile = 1;
        row.key_code = code;
        row.macro_type = 12;
        row.macro_value = 9;
        db.InsertKeyMacros({row});
    }
    Routines().WriteKeyFunctions(1, 0, 500);
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x11}), Commands());
    EXPECT_FALSE(Routines().RestoreDefaultKeys(1, 0, 500).restored);
    keyboard->ClearLog();
    Routines().WriteKeyFunctions(1, 0, -2);
    EXPECT_EQ(Hex(sim::DefaultKeyTable(GetParam())), Hex(keyboard->Block(0x1A)));
    EXPECT_TRUE(Routines().RestoreDefaultKeys(1, 0, -1).restored);
}

TEST_P(KeyTableTest, EveryCatalogueFunctionReadsBackFromTheKeyboard)
{
    const sim::SimModel& m = GetParam();
    std::vector<KeyFunctionItem> catalogue;
    BuildKeyFunctionList(catalogue, EnglishText);
    // Entry i goes to key i % keys on Fn layer i / keys.
    struct Slot
    {
        int layer, keyCode;
        KeyFunctionItem item;
    };
    std::vector<Slot> slots;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const int layer = int(i / m.keyCount);
        ASSERT_LT(layer, 4);
        const int code = m.keys[i % m.keyCount].usage;
        slots.push_back({layer, code, catalogue[i]});
        SetFunction(layer, code, catalogue[i].category, catalogue[i].code);
    }
    Routines().WriteKeyFunctions(1, 0, -2);
    for (const Slot& s : slots) {
        uint8_t record[3] = {};
        codec->Encode(Stored(1, s.layer, s.keyCode), record);
        EXPECT_EQ(Hex(record, 3), Current(s.layer, s.keyCode));
    }
    // Forget every function, then read the keyboard.
    for (const Slot& s : slots) SetFunction(s.layer, s.keyCode, 2, 0x2C);
    BeginDeviceSession(*manager);
    ASSERT_TRUE(Routines().ReadKeyFunctions(1));
    EndDeviceSession(*manager);
    for (const Slot& s : slots) {
        SCOPED_TRACE(std::to_string(s.item.category) + "/" + std::to_string(s.item.code));
        const KeyMacroData row = Stored(1, s.layer, s.keyCode);
        if (s.item.category == 7) {
            // A shortcut is its key combination.
            uint8_t record[3] = {};
            codec->Encode(row, record);
            EXPECT_EQ(Current(s.layer, s.keyCode), Hex(record, 3));
            EXPECT_EQ(2, row.macro_type);
        } else {
            EXPECT_EQ(s.item.category, row.macro_type);
            EXPECT_EQ(s.item.code, row.macro_value);
        }
        EXPECT_FALSE(row.macro_desc.IsEmpty());
    }
    // Written again, every record is the same.
    const Bytes before[4] = {keyboard->Block(0x1A), keyboard->Block(0x1C), keyboard->Block(0x1E),
                             keyboard->Block(0x20)};
    Routines().WriteKeyFunctions(1, 0, -2);
    for (int layer = 0; layer < 4; ++layer)
        EXPECT_EQ(Hex(before[layer]), Hex(keyboard->Block(uint8_t(0x1A + 2 * layer))));
}

TEST_P(KeyTableTest, ProfilesWithoutRowsGetACopyOfProfileOne)
{
    // The load gave profiles 2 and 3 every row of profile 1.
    EXPECT_EQ(db.CountKeyMacros(1), db.CountKeyMacros(2));
    EXPECT_EQ(db.CountKeyMacros(1), db.CountKeyMacros(3));
    // A profile that has rows is left alone.
    SetFunction(0, 4, 12, 7);
    KeyMacroData row;
    row.profile = 3;
    row.key_code = 4;
    db.UpdateKeyMacro(row);
    BeginDeviceSession(*manager);
    ASSERT_TRUE(Routines().ReadKeyFunctions(1));
    EndDeviceSession(*manager);
    EXPECT_EQ(db.CountKeyMacros(1), db.CountKeyMacros(3));
}

}  // namespace
}  // namespace devtest

namespace devtest {
namespace {

TEST_F(DeviceFixture, QuickSecondClickKeepsTheFirstKey)
{
    Connect(sim::Model("Kestrova-K87"));
    AddDefaultKeyRows(1);
    LoadFromKeyboard();
    // Two keys picked and given functions before the worker runs: two task 8s, each
    // with its own key and layer.
    KeyWriteQueue queue;
    KeyMacroData row;
    row.profile = 1;
    row.fn_layer = 0;
    row.key_code = 4;
    row.macro_type = 12;
    row.macro_value = 5;
    db.UpdateKeyMacro(row);
    queue.Push(0, 4);
    row.fn_layer = 2;
    row.key_code = 5;
    row.macro_value = 6;
    db.UpdateKeyMacro(row);
    queue.Push(2, 5);
    KeyTableRoutines routines(*manager, db, *codec, maps);
    for (int task = 0; task < 2; ++task) {
        KeyWriteRequest request{0, 5};  // what the page shows now
        ASSERT_TRUE(queue.Pop(request));
        routines.WriteKeyFunctions(1, request.fnLayer, request.key);
    }
    KeyWriteRequest none{1, 7};
    EXPECT_FALSE(queue.Pop(none));
    EXPECT_EQ(7, none.key);
    const int a = maps.keyCodeToIndex.at(4), b = maps.keyCodeToIndex.at(5);
    EXPECT_EQ("50 05 00", Hex(&keyboard->Block(0x1A)[size_t(3 * a)], 3));
    EXPECT_EQ("50 06 00", Hex(&keyboard->Block(0x1E)[size_t(3 * b)], 3));
    queue.Push(0, 4);
    queue.Clear();
    EXPECT_FALSE(queue.Pop(none));
}

}  // namespace
}  // namespace devtest
