// The macro table, byte for byte, and its upload in chunks of the interface's size.
#include "DeviceFixture.h"
#include "mainwnd/device/MacroUpload.h"

namespace devtest {
namespace {

class MacroTest : public DeviceFixture, public ::testing::WithParamInterface<sim::SimModel>
{
protected:
    void SetUp() override { Connect(GetParam()); }

    // A macro with `events` key events (type, virtual key or button, pause, text).
    int AddMacro(const std::vector<MacroRecordData>& events)
    {
        const int id = db.AddMacro(L"Macro");
        std::vector<MacroRecordData> records = events;
        for (size_t i = 0; i < records.size(); ++i) {
            records[i].macro_id = id;
            records[i].record_index = int(i);
        }
        db.InsertMacroRecords(records);
        return id;
    }
    static MacroRecordData Event(int type, int value, int delay, const wchar_t* desc = L"")
    {
        MacroRecordData e;
        e.type = type;
        e.value = value;
        e.delay_time = delay;
        e.desc = desc;
        return e;
    }
    int Chunk() const { return GetParam().reportBytes == 32 ? 24 : 56; }

    // The 0x2D requests as "offset+length".
    std::vector<std::string> Chunks() const
    {
        std::vector<std::string> list;
        for (const sim::Request& r : keyboard->Received())
            if (r.Command() == 0x2D)
                list.push_back(std::to_string(r.Offset()) + "+" + std::to_string(r.Length()));
        return list;
    }
};

INSTANTIATE_TEST_SUITE_P(Models, MacroTest, ::testing::ValuesIn(sim::Models()));

TEST_P(MacroTest, OneMacroWithTwoKeyEvents)
{
    AddMacro({Event(2, 0x41, 100), Event(3, 0x41, 0)});
    const std::string table = "AA 55 16 00 01 00 00 00 0A 00 02 00 00 00 64 00 04 81 00 00 04 01";
    EXPECT_EQ(table, Hex(BuildMacroTable(db, 4096)));
    UploadMacros(*manager, db, GetParam().macroUnits * 256);
    EXPECT_EQ(table, Hex(keyboard->Block(0x2D).data(), 22));
    EXPECT_EQ((std::vector<std::string>{"0+22"}), Chunks());
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x2D, 0x11}), Commands());
}

TEST_P(MacroTest, ChunksFollowTheInterface)
{
    // The first macro has no events; the table is exactly 56 bytes long.
    AddMacro({});
    std::vector<MacroRecordData> events;
    for (int i = 0; i < 10; ++i) events.push_back(Event(i % 2 ? 3 : 2, 'A' + i, i));
    AddMacro(events);
    const std::vector<uint8_t> table = BuildMacroTable(db, 4096);
    ASSERT_EQ(56u, table.size());
    EXPECT_EQ("AA 55 38 00 02 00 00 00 00 00 0C 00 0A 00 00 00", Hex(table.data(), 16));
    UploadMacros(*manager, db, GetParam().macroUnits * 256);
    EXPECT_EQ(Hex(table), Hex(keyboard->Block(0x2D).data(), 56));
    if (Chunk() == 56) {
        EXPECT_EQ((std::vector<std::string>{"0+56", "56+0"}), Chunks());
    } else {
        EXPECT_EQ((std::vector<std::string>{"0+24", "24+24", "48+8"}), Chunks());
    }
}

TEST_P(MacroTest, NoMacroSendsOneEmptyChunk)
{
    EXPECT_TRUE(BuildMacroTable(db, 4096).empty());
    UploadMacros(*manager, db, GetParam().macroUnits * 256);
    EXPECT_EQ((std::vector<std::string>{"0+0"}), Chunks());
    // No macro storage: the same, whatever the macros.
    AddMacro({Event(2, 0x41, 1)});
    keyboard->ClearLog();
    UploadMacros(*manager, db, 0);
    EXPECT_EQ((std::vector<std::string>{"0+0"}), Chunks());
}

TEST(MacroTable, Actions)
{
    DeviceDataDB& db = EmptyDatabase();
    const int id = db.AddMacro(L"M");
    auto event = [&](int type, int value, int delay, const wchar_t* desc) {
        MacroRecordData e;
        e.macro_id = id;
        e.type = type;
        e.value = value;
        e.delay_time = delay;
        e.desc = desc;
        return e;
    };
    std::vector<MacroRecordData> events = {
        event(2, 0xA0, 5, L"LShift"),
        event(3, 0xA0, 6, L"LShift"),
        event(2, 0x5C, 0, L"RWin"),
        event(3, 0x5C, 0, L"RWin"),
        event(4, 0x01, 0, L"MouseL"),
        event(5, 0x01, 0, L"MouseL"),
        event(4, 0x10, 0, L"Scroll Up"),
        event(5, 0x10, 0, L"Scroll Up"),
        event(4, 0x10, 0, L"Scroll Down"),
        event(5, 0x10, 0, L"Scroll Down"),
        event(1, 0, 500, L""),
        event(2, 0x0D, 70000, L"Enter"),
    };
    for (size_t i = 0; i < events.size(); ++i) events[i].record_index = int(i);
    db.InsertMacroRecords(events);
    const std::vector<uint8_t> table = BuildMacroTable(db, 4096);
    ASSERT_EQ(8u + 2 + 4 + 4 * events.size(), table.size());
    const std::string actions =
        "05 00 02 82 06 00 02 02 00 00 80 82 00 00 80 02 00 00 01 83 00 00 01 03 "
        "00 00 44 07 00 00 44 01 00 00 44 07 00 00 44 FF 00 00 00 00 70 11 28 81";
    EXPECT_EQ(actions, Hex(table.data() + 14, table.size() - 14));
}

TEST(MacroTable, AMacroThatDoesNotFitIsNotSent)
{
    DeviceDataDB& db = EmptyDatabase();
    auto add = [&](int events) {
        const int id = db.AddMacro(L"M");
        std::vector<MacroRecordData> records(static_cast<size_t>(events));
        for (int i = 0; i < events; ++i) {
            records[size_t(i)].macro_id = id;
            records[size_t(i)].type = 2;
            records[size_t(i)].value = 'A';
            records[size_t(i)].record_index = i;
        }
        db.InsertMacroRecords(records);
    };
    add(3);   // 16 bytes at 14
    add(10);  // 44 bytes: 30 + 44 > 64
    add(1);   // 8 bytes at 30
    const std::vector<uint8_t> table = BuildMacroTable(db, 64);
    ASSERT_EQ(38u, table.size());
    EXPECT_EQ("AA 55 26 00 03 00 00 00 0E 00 00 00 1E 00", Hex(table.data(), 14));
    EXPECT_EQ("01 00 00 00 00 00 04 81", Hex(table.data() + 30, 8));
}

TEST(MacroTable, TheRecordRoomIsWhatTheTableStillHoldsWhole)
{
    // Macros with these event counts and the room of the first one in the
    // storage: with exactly that many events every macro is in the table, with
    // one more some macro is left out.
    struct Case
    {
        std::vector<int> events;  // events[0]: the macro asked about
        int storage;
        int room;
    };
    const Case cases[] = {
        {{0}, 64, 12},            // 8 + 2 header, 4 block head: (64 - 14) / 4
        {{0, 3, 0}, 64, 7},       // the other macro's block: 4 + 12 bytes
        {{5, 3, 2}, 64, 4},       // the macro's own events do not count against it
        {{0, 111, 111}, 930, 4},  // every other block head counts
        {{0, 20}, 64, 0},         // the others already fill the storage
        {{0}, 12, 0},             // room for nothing
    };
    for (const Case& c : cases) {
        DeviceDataDB& db = EmptyDatabase();
        std::vector<int> ids;
        for (int count : c.events) {
            const int id = db.AddMacro(L"M");
            ids.push_back(id);
            std::vector<MacroRecordData> records(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) {
                records[size_t(i)].macro_id = id;
                records[size_t(i)].type = 2;
                records[size_t(i)].value = 'A';
                records[size_t(i)].record_index = i;
            }
            db.InsertMacroRecords(records);
        }
        const int room = MacroRecordRoom(db, c.storage, ids[0]);
        EXPECT_EQ(c.room, room) << c.storage << " " << c.events.size();
        auto fill = [&](int count) {
            std::vector<MacroRecordData> records(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) {
                records[size_t(i)].type = 3;
                records[size_t(i)].value = 'B';
                records[size_t(i)].record_index = i;
            }
            ASSERT_TRUE(db.ReplaceMacroRecords(ids[0], records));
        };
        if (room <= 0) continue;
        auto allSent = [&]() {
            const std::vector<uint8_t> table = BuildMacroTable(db, c.storage);
            for (size_t m = 0; m < ids.size(); ++m) {
                const bool empty = m > 0 && c.events[m] == 0;
                if (!empty && (table[8 + 2 * m] | table[9 + 2 * m]) == 0) return false;
            }
            return true;
        };
        fill(room);
        EXPECT_TRUE(allSent()) << "room " << room;
        fill(room + 1);
        EXPECT_FALSE(allSent()) << "room + 1: " << room;
    }
}

TEST(MacroTable, GrowsPastTheOldFixedBuffer)
{
    DeviceDataDB& db = EmptyDatabase();
    for (int m = 0; m < 3; ++m) {
        const int id = db.AddMacro(L"Long");
        std::vector<MacroRecordData> records(400);
        for (int i = 0; i < 400; ++i) {
            records[size_t(i)].macro_id = id;
            records[size_t(i)].type = 2 + i % 2;
            records[size_t(i)].value = 'A' + m;
            records[size_t(i)].delay_time = i;
            records[size_t(i)].record_index = i;
        }
        db.InsertMacroRecords(records);
    }
    // 8 + 6 + 3 x (4 + 1600) = 4826 bytes, more than the 4224 a fixed buffer held.
    const std::vector<uint8_t> table = BuildMacroTable(db, 16384);
    ASSERT_EQ(4826u, table.size());
    EXPECT_EQ("AA 55 DA 12 03 00 00 00 0E 00 52 06 96 0C", Hex(table.data(), 14));
    EXPECT_EQ("8F 01 06 01", Hex(table.data() + 4822, 4));

    // Sent whole to a keyboard with that much storage.
    sim::SimHidBus bus;
    sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
    keyboard.DefineBlock(0x2D, 16384, true);
    bus.AddModel(keyboard);
    HidDeviceManager manager(bus);
    manager.AddProduct(0x3A7E, 0x8701, L"", 101, 0);
    manager.EnumerateDevice();
    UploadMacros(manager, db, 16384);
    EXPECT_EQ(Hex(table), Hex(keyboard.Block(0x2D).data(), table.size()));
    EXPECT_THAT(keyboard.Verify(), ::testing::IsEmpty());
}

TEST(MacroUploadReceiver, ChunksOfTheReceiversInterface)
{
    // The 32-byte keyboard reached through its receiver.
    DeviceDataDB& db = EmptyDatabase();
    const int id = db.AddMacro(L"M");
    std::vector<MacroRecordData> records(12);
    for (int i = 0; i < 12; ++i) {
        records[size_t(i)].macro_id = id;
        records[size_t(i)].type = 2;
        records[size_t(i)].value = 'B';
        records[size_t(i)].record_index = i;
    }
    db.InsertMacroRecords(records);
    const sim::SimModel& model = sim::Model("Kestrova-K75-Air");
    sim::SimHidBus bus;
    sim::SimKeyboard keyboard(model);
    sim::SimReceiver receiver(keyboard);
    bus.AddModelReceiver(receiver);
    HidDeviceManager manager(bus);
    manager.AddProduct(model.receiverVendorId, model.receiverProductId, L"", model.deviceType, 1);
    manager.EnumerateDevice();
    keyboard.ClearLog();
    UploadMacros(manager, db, 2048);
    std::vector<std::string> chunks;
    for (const sim::Request& r : keyboard.Received())
        if (r.Command() == 0x2D)
            chunks.push_back(std::to_string(r.Offset()) + "+" + std::to_string(r.Length()));
    EXPECT_EQ((std::vector<std::string>{"0+24", "24+24", "48+14"}), chunks);
    EXPECT_EQ(Hex(BuildMacroTable(db, 2048)), Hex(keyboard.Block(0x2D).data(), 62));
    EXPECT_THAT(keyboard.Verify(), ::testing::IsEmpty());
    EXPECT_THAT(receiver.Verify(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace devtest
