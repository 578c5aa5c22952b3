// Every writer of stored settings reports whether the keyboard confirmed the
// write: a keyboard that refuses it, stops answering or is unplugged at the
// write gives false, and its memory keeps every byte it had; the same write
// to a keyboard that answers gives true.
#include "DeviceFixture.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/MacroUpload.h"
#include "mainwnd/device/SettingsBlock.h"

namespace devtest {
namespace {

enum class Writer {
    LightMode,
    UserLightMode,
    MatrixMode,
    Performance,
    UserColours,
    MatrixColours,
    Macros
};

struct WriteCase
{
    const char* name;
    const char* model;
    Writer writer;
    sim::Fault fault;
    int command;  // the request the fault hits
    int times;    // tries it holds for
};

void PrintTo(const WriteCase& c, std::ostream* out)
{
    *out << c.name;
}

class WriteConfirmTest : public DeviceFixture, public ::testing::WithParamInterface<WriteCase>
{
protected:
    void SetUp() override
    {
        Connect(sim::Model(GetParam().model));
        LoadFromKeyboard();
        // Rows whose write changes the keyboard's memory.
        LightData light;
        light.profile = 1;
        light.brightness = 3;
        light.speed = 1;
        light.color_value = int(RGB(1, 2, 3));
        for (int type : {0, 16}) {
            for (int mode : {5, 129}) {
                light.type = type;
                light.mode = mode;
                db.AddLight(light);
            }
        }
        db.SetConfigValue(1, L"game_mode", L"1");
        db.SetConfigValue(1, L"sleep_time", L"7");
        std::vector<UserLightRgbData> colours(1);
        colours[0].profile = 1;
        colours[0].userlight_id = 129;
        colours[0].key_code = 4;
        colours[0].key_rgb = int(RGB(9, 8, 7));
        db.InsertUserLightRgb(colours);
        const int macro = db.AddMacro(L"M");
        MacroRecordData event;
        event.macro_id = macro;
        event.type = 2;
        event.value = 0x41;
        event.delay_time = 20;
        db.ReplaceMacroRecords(macro, {event});
        keyboard->ClearLog();
    }

    bool Write()
    {
        SettingsBlockWriter settings(*manager, db, info);
        ColourTransfer colours(*manager, db, maps);
        switch (GetParam().writer) {
            case Writer::LightMode: return settings.SendLightMode(1, 0, 5);
            case Writer::UserLightMode: return settings.SendUserLightMode(1, 0, 129);
            case Writer::MatrixMode: return settings.SendMatrixMode(1, 5);
            case Writer::Performance: return settings.SendPerformanceSettings(1);
            case Writer::UserColours: return colours.WriteUserKeyColors(1, 129);
            case Writer::MatrixColours:
                return colours.WriteMatrixColors({{0, RGB(1, 2, 3)}, {48, RGB(4, 5, 6)}});
            case Writer::Macros: return UploadMacros(*manager, db, info.macroStorage);
        }
        return false;
    }

    // The memory the writer changes.
    Bytes Memory()
    {
        switch (GetParam().writer) {
            case Writer::UserColours: return keyboard->Block(0x24);
            case Writer::MatrixColours: return keyboard->Block(0x3A);
            case Writer::Macros: return keyboard->Block(0x2D);
            default: return keyboard->Block(0x14);
        }
    }
};

TEST_P(WriteConfirmTest, OnlyAConfirmedWriteCounts)
{
    const WriteCase& c = GetParam();
    const Bytes before = Memory();
    keyboard->AddFault(c.fault, c.command, -1, c.times);
    EXPECT_FALSE(Write());
    EXPECT_EQ(Hex(before), Hex(Memory())) << "the keyboard took part of the write";
    if (c.fault != sim::Fault::Unplug) {
        // The sequence is closed all the same, and the same write then goes through.
        ASSERT_FALSE(keyboard->Received().empty());
        EXPECT_EQ(0x11, keyboard->Received().back().Command());
        keyboard->ClearLog();
        EXPECT_TRUE(Write());
        EXPECT_NE(Hex(before), Hex(Memory()));
    }
}

const WriteCase kCases[] = {
    {"K87_light_mode_write_refused", "Kestrova-K87", Writer::LightMode, sim::Fault::Refuse, 0x15,
     6},
    {"K87_light_mode_read_refused", "Kestrova-K87", Writer::LightMode, sim::Fault::Refuse, 0x14, 6},
    {"K75Air_light_mode_no_answer", "Kestrova-K75-Air", Writer::LightMode, sim::Fault::NoAnswer,
     0x15, 6},
    {"K104_light_mode_unplugged", "Kestrova-K104", Writer::LightMode, sim::Fault::Unplug, 0x15, 1},
    {"K87_user_mode_refused", "Kestrova-K87", Writer::UserLightMode, sim::Fault::Refuse, 0x15, 6},
    {"K87_user_mode_unplugged", "Kestrova-K87", Writer::UserLightMode, sim::Fault::Unplug, 0x14, 1},
    {"K80Matrix_matrix_mode_refused", "Kestrova-K80-Matrix", Writer::MatrixMode, sim::Fault::Refuse,
     0x15, 6},
    {"K80Matrix_matrix_mode_read_lost", "Kestrova-K80-Matrix", Writer::MatrixMode,
     sim::Fault::NoAnswer, 0x14, 6},
    {"K80Matrix_matrix_mode_unplugged", "Kestrova-K80-Matrix", Writer::MatrixMode,
     sim::Fault::Unplug, 0x15, 1},
    {"K87_performance_refused", "Kestrova-K87", Writer::Performance, sim::Fault::Refuse, 0x15, 6},
    {"K75Air_performance_no_answer", "Kestrova-K75-Air", Writer::Performance, sim::Fault::NoAnswer,
     0x15, 6},
    {"K104_performance_unplugged", "Kestrova-K104", Writer::Performance, sim::Fault::Unplug, 0x15,
     1},
    {"K87_user_colours_refused", "Kestrova-K87", Writer::UserColours, sim::Fault::Refuse, 0x25, 6},
    {"K75Air_user_colours_no_answer", "Kestrova-K75-Air", Writer::UserColours, sim::Fault::NoAnswer,
     0x25, 6},
    {"K87_user_colours_unplugged", "Kestrova-K87", Writer::UserColours, sim::Fault::Unplug, 0x25,
     1},
    {"K80Matrix_matrix_colours_refused", "Kestrova-K80-Matrix", Writer::MatrixColours,
     sim::Fault::Refuse, 0x3B, 6},
    {"K80Matrix_matrix_colours_no_answer", "Kestrova-K80-Matrix", Writer::MatrixColours,
     sim::Fault::NoAnswer, 0x3B, 6},
    {"K80Matrix_matrix_colours_unplugged", "Kestrova-K80-Matrix", Writer::MatrixColours,
     sim::Fault::Unplug, 0x3B, 1},
    // A fast chunk is tried once more as an ordinary command: both refused.
    {"K87_macros_refused", "Kestrova-K87", Writer::Macros, sim::Fault::Refuse, 0x2D, 2},
    {"K75Air_macros_no_answer", "Kestrova-K75-Air", Writer::Macros, sim::Fault::NoAnswer, 0x2D, 2},
    {"K104_macros_unplugged", "Kestrova-K104", Writer::Macros, sim::Fault::Unplug, 0x2D, 1},
};

INSTANTIATE_TEST_SUITE_P(Writers, WriteConfirmTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WriteCase>& info) {
                             return std::string(info.param.name);
                         });

// A fast macro chunk whose answer is lost once is sent again and counts.
TEST_F(DeviceFixture, AMacroChunkAnsweredLateIsSentAgainAndCounts)
{
    Connect(sim::Model("Kestrova-K87"));
    LoadFromKeyboard();
    const int macro = db.AddMacro(L"M");
    MacroRecordData event;
    event.macro_id = macro;
    event.type = 2;
    event.value = 0x41;
    event.delay_time = 100;
    db.ReplaceMacroRecords(macro, {event});
    keyboard->ClearLog();
    keyboard->AddFault(sim::Fault::NoAnswer, 0x2D, 0, 1);
    EXPECT_TRUE(UploadMacros(*manager, db, info.macroStorage));
    std::vector<int> offsets;
    for (const sim::Request& r : DataRequests()) offsets.push_back(r.Offset());
    EXPECT_EQ((std::vector<int>{0, 0}), offsets);
    EXPECT_EQ("AA 55 12 00 01 00 00 00 0A 00 01 00 00 00 64 00 04 81",
              Hex(keyboard->Block(0x2D).data(), 18));
}

}  // namespace
}  // namespace devtest
