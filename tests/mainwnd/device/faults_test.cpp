// A keyboard that stops answering, refuses a chunk or is unplugged in the middle
// of a read: the read reports failure, the database keeps every row as it was and
// the key maps keep the last keyboard's tables.
#include "DeviceFixture.h"
#include "mainwnd/device/DeviceCommands.h"

namespace devtest {
namespace {

struct FaultCase
{
    const char* model;
    sim::Fault fault;
    int command;
    int offset;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    static const char* const kNames[] = {"no answer", "refused", "", "", "", "", "", "", "unplug"};
    *out << c.model << " " << kNames[int(c.fault)] << " at " << std::hex << c.command << std::dec
         << "+" << c.offset;
}

class FaultTest : public DeviceFixture, public ::testing::WithParamInterface<FaultCase>
{
protected:
    void SetUp() override
    {
        Connect(sim::Model(GetParam().model));
        AddDefaultKeyRows(1);
        LoadFromKeyboard();
        // The keyboard's memory that the failing read would bring in differs from
        // what the program holds, so a read that got through would change it.
        const int command = GetParam().command;
        if (command >= 0x1A && command <= 0x20) {
            for (uint8_t current : {0x1A, 0x1C, 0x1E, 0x20}) {
                Bytes& table = keyboard->Block(current);
                for (size_t i = 0; i < table.size(); i += 3)
                    if (table[i]) table[i] = 0x50, table[i + 1] = 9, table[i + 2] = 0;
            }
        } else if (command >= 0x16 && command <= 0x19) {
            for (uint8_t layer = 0x16; layer <= 0x19; ++layer) keyboard->Block(layer)[5] = 0x2C;
        } else if (command == 0x32 || command == 0x36 || command == 0x3A) {
            keyboard->Block(0x32)[0] = 0x7F;
        } else {
            Bytes& settings = keyboard->Block(0x14);
            settings[2] = 0xFD, settings[10] = 2;
            settings[model->generation < 2 ? 35 : 46] = 0x2C;
        }
        bus.ClearLog();
        keyboard->ClearLog();
    }

    // The database and the maps, as text.
    std::string State()
    {
        std::string text = DatabaseSnapshot(db);
        for (const auto* map :
             {&maps.keyCodeToIndex, &maps.keyIndexToCode, &maps.keyCodeToLed, &maps.ledToKeyCode}) {
            for (const auto& entry : *map)
                text += std::to_string(entry.first) + ">" + std::to_string(entry.second) + " ";
            text += "\n";
        }
        for (int layer = 0; layer < 4; ++layer) text += Hex(maps.defaultTables[layer], 600) + "\n";
        return text;
    }

    // The profile load's read sequence; false at the first step that fails.
    bool Load()
    {
        KeyTableRoutines tables(*manager, db, *codec, maps);
        BeginDeviceSession(*manager);
        const bool ok = ReadDeviceInfo(*manager, db, 1, info).Ok() &&
                        tables.ReadDefaultKeyTables() &&
                        tables.ReadLedMap(model->deviceType, info) && tables.ReadKeyFunctions(1);
        EndDeviceSession(*manager);
        return ok;
    }
};

TEST_P(FaultTest, NothingHalfReadIsStored)
{
    const FaultCase& c = GetParam();
    // Six tries per chunk: the fault holds for all of them.
    keyboard->AddFault(c.fault, c.command, c.offset, 6);
    const std::string before = State();
    const DeviceInfo infoBefore = info;
    EXPECT_FALSE(Load());
    EXPECT_TRUE(before == State()) << "the failed read changed the database or the maps";
    if (c.command == 0x12) {
        EXPECT_EQ(infoBefore.macroStorage, info.macroStorage);
    }
    // Without the fault the same read goes through and changes the database.
    if (c.fault != sim::Fault::Unplug) {
        keyboard->ClearLog();
        EXPECT_TRUE(Load());
        EXPECT_FALSE(before == State()) << "the read changed nothing";
    }
}

const FaultCase kCases[] = {
    {"Kestrova-K87", sim::Fault::NoAnswer, 0x12, 0},
    {"Kestrova-K87", sim::Fault::Refuse, 0x14, 56},
    {"Kestrova-K87", sim::Fault::Unplug, 0x14, 0},
    {"Kestrova-K87", sim::Fault::Refuse, 0x18, 112},
    {"Kestrova-K87", sim::Fault::NoAnswer, 0x32, 56},
    {"Kestrova-K87", sim::Fault::Refuse, 0x36, 0},
    {"Kestrova-K87", sim::Fault::NoAnswer, 0x1E, 168},
    {"Kestrova-K87", sim::Fault::Unplug, 0x20, 336},
    {"Kestrova-K75-Air", sim::Fault::Refuse, 0x12, 48},
    {"Kestrova-K75-Air", sim::Fault::NoAnswer, 0x17, 360},
    {"Kestrova-K75-Air", sim::Fault::Unplug, 0x1C, 24},
    {"Kestrova-K75-Air", sim::Fault::Refuse, 0x20, 360},
    {"Kestrova-K80-Matrix", sim::Fault::Refuse, 0x3A, 0},
    {"Kestrova-K80-Matrix", sim::Fault::Unplug, 0x1A, 56},
    {"Kestrova-K75-LCD", sim::Fault::NoAnswer, 0x1C, 0},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace devtest
