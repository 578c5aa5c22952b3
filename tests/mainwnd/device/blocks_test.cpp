// Command sequences, the capability block and the settings-block writers, byte for
// byte against keyboards of every model (32- and 64-byte interfaces, protocol
// generations 1 and 2).
#include "DeviceFixture.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/SettingsBlock.h"

namespace devtest {
namespace {

class ModelTest : public DeviceFixture, public ::testing::WithParamInterface<sim::SimModel>
{
protected:
    void SetUp() override { Connect(GetParam()); }

    // Reads the capability block into `info` (inside its own sequence).
    void ReadInfo()
    {
        BeginDeviceSession(*manager);
        ASSERT_TRUE(ReadDeviceInfo(*manager, db, 1, info).Ok());
        EndDeviceSession(*manager);
        bus.ClearLog();
        keyboard->ClearLog();
    }

    void AddLight(int type, int mode, int brightness, int speed, COLORREF colour)
    {
        LightData row;
        row.profile = 1;
        row.type = type;
        row.mode = mode;
        row.brightness = brightness;
        row.speed = speed;
        row.colorful = 1;
        row.colorindex = 3;
        row.color_value = int(colour);
        ASSERT_NE(0, db.AddLight(row));
    }

    Bytes Settings() { return keyboard->Block(0x14); }
};

INSTANTIATE_TEST_SUITE_P(Models, ModelTest, ::testing::ValuesIn(sim::Models()));

TEST_P(ModelTest, CapabilityBlockFillsDeviceInfo)
{
    const sim::SimModel& m = GetParam();
    AddLight(0, 1, 0, 0, 0);
    BeginDeviceSession(*manager);
    const DeviceInfoReadResult result = ReadDeviceInfo(*manager, db, 1, info);
    EndDeviceSession(*manager);
    ASSERT_TRUE(result.Ok());
    EXPECT_TRUE(info.capabilityRead);
    EXPECT_EQ(m.generation, info.generation);
    EXPECT_EQ(m.macroUnits * 256, info.macroStorage);
    EXPECT_EQ(m.lightBars > 0, info.zone2Present);
    EXPECT_EQ(m.deviceType == 101, info.zone1Present);
    EXPECT_EQ(sim::kBrightnessLimit, info.brightnessLimit[0]);
    EXPECT_EQ(sim::kSpeedLimit, info.speedLimit[0]);
    EXPECT_EQ(info.zone2Present ? sim::kSpeedLimit : 0, info.speedLimit[2]);
    EXPECT_EQ(info.zone1Present ? sim::kBrightnessLimit : 0, info.brightnessLimit[1]);
    EXPECT_EQ(m.matrix, info.matrixPresent);
    EXPECT_EQ(m.matrix ? sim::kSpeedLimit : 0, info.matrixSpeedLimit);
    // The performance values and active modes of the settings block.
    CString value;
    db.GetConfigValue(1, L"sleep_time", value);
    EXPECT_STREQ(L"10", value.GetString());
    db.GetConfigValue(1, L"key_keyresponse", value);
    EXPECT_STREQ(L"1", value.GetString());
    EXPECT_EQ(1, db.GetActiveLightMode(1, 0));
    EXPECT_EQ(m.battery, result.batteryRead);
    EXPECT_EQ(m.battery ? 87 : 0, result.batteryLevel);
    // One sequence, the three blocks in order, each a block transfer of the
    // interface's chunk size.
    const int chunk = m.reportBytes == 32 ? 24 : 56;
    std::vector<std::string> seen;
    for (const sim::Request& r : keyboard->Received()) {
        seen.push_back(Hex({r.Command()}) + "@" + std::to_string(r.Offset()) + "+" +
                       std::to_string(r.Length()));
        EXPECT_EQ(size_t(m.reportBytes + 1), r.report.size());
    }
    std::vector<std::string> expected = {"10@0+0"};
    for (int offset = 0; offset < 56; offset += chunk)
        expected.push_back("12@" + std::to_string(offset) + "+" +
                           std::to_string(std::min(chunk, 56 - offset)));
    for (int offset = 0; offset < 64; offset += chunk)
        expected.push_back("14@" + std::to_string(offset) + "+" +
                           std::to_string(std::min(chunk, 64 - offset)));
    expected.push_back("30@0+24");
    expected.push_back("11@0+0");
    EXPECT_EQ(expected, seen);
}

TEST_P(ModelTest, LightModeWriterKeepsEveryOtherByte)
{
    ReadInfo();
    AddLight(0, 7, 60, 2, RGB(0x11, 0x22, 0x33));
    AddLight(2, 4, 40, 9, RGB(0x44, 0x55, 0x66));  // speed above the limit: written 0
    SettingsBlockWriter writer(*manager, db, info);
    Bytes expected = Settings();
    ASSERT_TRUE(writer.SendLightMode(1, 0, 7));
    const Bytes zone0 = {0, 7, 60, uint8_t(sim::kSpeedLimit - 2), 1, 3, 0x11, 0x22, 0x33};
    std::copy(zone0.begin(), zone0.end(), expected.begin() + 1);
    EXPECT_EQ(Hex(expected), Hex(Settings()));

    ASSERT_TRUE(writer.SendLightMode(1, 2, 4));
    if (info.zone2Present) {
        const Bytes zone2 = {0, 4, 40, 0, 1, 3, 0x44, 0x55, 0x66};
        std::copy(zone2.begin(), zone2.end(), expected.begin() + 11);
    } else {
        // No speed limit reported: the inverted speed is 0 whatever the speed.
        const Bytes zone2 = {0, 4, 40, 0, 1, 3, 0x44, 0x55, 0x66};
        std::copy(zone2.begin(), zone2.end(), expected.begin() + 11);
    }
    EXPECT_EQ(Hex(expected), Hex(Settings()));
    // A zone that does not exist: the block goes back unchanged.
    ASSERT_TRUE(writer.SendLightMode(1, 3, 4));
    EXPECT_EQ(Hex(expected), Hex(Settings()));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x14, 0x15, 0x11, 0x10, 0x14, 0x15, 0x11, 0x10, 0x14,
                                    0x15, 0x11}),
              Commands());
}

TEST_P(ModelTest, UserLightModeSetsModeByteAndSlot)
{
    ReadInfo();
    AddLight(0, 130, 90, 0, RGB(1, 2, 3));  // speed 0: written as the limit
    AddLight(0, 132, 90, 0, RGB(1, 2, 3));
    SettingsBlockWriter writer(*manager, db, info);
    Bytes expected = Settings();
    ASSERT_TRUE(writer.SendUserLightMode(1, 0, 130));
    const Bytes zone0 = {0, 0xFD, 90, sim::kSpeedLimit, 1, 3, 1, 2, 3, 2};
    std::copy(zone0.begin(), zone0.end(), expected.begin() + 1);
    EXPECT_EQ(Hex(expected), Hex(Settings()));
    // A mode past the five slots is held at the last slot, not wrapped.
    ASSERT_TRUE(writer.SendUserLightMode(1, 0, 140));
    EXPECT_EQ(4, Settings()[10]);
    // Read back, zone 0's 0xFD names that user mode.
    BeginDeviceSession(*manager);
    ASSERT_TRUE(ReadDeviceInfo(*manager, db, 1, info).Ok());
    EndDeviceSession(*manager);
    EXPECT_EQ(132, db.GetActiveLightMode(1, 0));
}

TEST_P(ModelTest, PerformanceSettings)
{
    ReadInfo();
    const int generation = GetParam().generation;
    db.SetConfigValue(1, L"game_mode", L"1");
    db.SetConfigValue(1, L"mac_mode", L"2");
    db.SetConfigValue(1, L"lock_win", L"3");
    db.SetConfigValue(1, L"wasd_mode", L"4");
    db.SetConfigValue(1, L"key_keyresponse", L"5");
    db.SetConfigValue(1, L"sleep_time", L"10");
    Bytes expected = Settings();
    SettingsBlockWriter(*manager, db, info).SendPerformanceSettings(1);
    const size_t values = generation < 2 ? 29 : 38, sleep = generation < 2 ? 35 : 46;
    for (int i = 0; i < 5; ++i) expected[values + size_t(i)] = uint8_t(i + 1);
    expected[sleep] = 0x58, expected[sleep + 1] = 0x02, expected[sleep + 2] = 0x00;
    EXPECT_EQ(Hex(expected), Hex(Settings()));
}

TEST_P(ModelTest, MatrixModeWriter)
{
    ReadInfo();
    AddLight(16, 3, 70, 1, RGB(9, 8, 7));
    Bytes expected = Settings();
    keyboard->Expect(0x10);
    keyboard->Expect(0x3D, 0, GetParam().reportBytes == 32 ? 24 : 56);
    for (int offset = 0; offset < 64; offset += GetParam().reportBytes == 32 ? 24 : 56)
        keyboard->Expect(0x14, offset);
    for (int offset = 0; offset < 64; offset += GetParam().reportBytes == 32 ? 24 : 56)
        keyboard->Expect(0x15, offset);
    keyboard->Expect(0x11);
    SettingsBlockWriter(*manager, db, info).SendMatrixMode(1, 3);
    if (GetParam().generation >= 2) {
        const uint8_t speed = info.matrixPresent ? uint8_t(sim::kSpeedLimit - 1) : 0;
        const Bytes matrix = {0, 3, 70, speed, 1, 3, 9, 8, 7};
        std::copy(matrix.begin(), matrix.end(), expected.begin() + 29);
    }
    EXPECT_EQ(Hex(expected), Hex(Settings()));
}

TEST_P(ModelTest, LightModeNeedsACapabilityRead)
{
    // Before any capability block was read nothing at all is sent.
    EXPECT_FALSE(SettingsBlockWriter(*manager, db, info).SendLightMode(1, 0, 1));
    EXPECT_TRUE(keyboard->Received().empty());
    // A keyboard that reports generation 0 did answer: it gets its light modes.
    keyboard->Block(0x12)[8] = 0;
    ReadInfo();
    EXPECT_EQ(0, info.generation);
    EXPECT_TRUE(SettingsBlockWriter(*manager, db, info).SendLightMode(1, 0, 1));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x14, 0x15, 0x11}), Commands());
}

TEST(SettingsLayout, ActiveModesAndClamps)
{
    struct Case
    {
        int zone, modeByte, slot, mode;
    };
    const Case cases[] = {
        {0, 5, 0, 5},      {0, 29, 3, 29},  {0, 0xFD, 0, 128}, {0, 0xFD, 3, 131},
        {0, 0xFD, 9, 132}, {0, 30, 2, 128}, {0, 0x80, 2, 128}, {1, 0xFD, 2, 130},
        {2, 0xFD, 1, 129}, {2, 40, 1, 40},  {1, 0x82, 0, 130},
    };
    for (const Case& c : cases) {
        uint8_t block[64] = {};
        block[c.zone == 0 ? 2 : c.zone == 1 ? 21 : 12] = uint8_t(c.modeByte);
        block[10] = uint8_t(c.slot);
        EXPECT_EQ(c.mode, ActiveLightModeOfZone(block, c.zone))
            << "zone " << c.zone << " byte " << c.modeByte << " slot " << c.slot;
    }
    EXPECT_EQ(0, InvertedSpeed(5, 5));
    EXPECT_EQ(5, InvertedSpeed(5, 0));
    EXPECT_EQ(0, InvertedSpeed(5, 9));
    EXPECT_EQ(5, InvertedSpeed(5, -3));
    EXPECT_EQ(0, UserModeSlot(127));
    EXPECT_EQ(4, UserModeSlot(200));
    // Sleep time: 24-bit seconds, read back in whole minutes.
    uint8_t block[64] = {};
    PerformanceValues values;
    values.sleepSeconds = 90;
    PutPerformanceValues(block, 1, values);
    EXPECT_EQ(90, ReadPerformanceValues(block, 1).sleepSeconds);
    EXPECT_EQ("5A 00 00", Hex(block + 35, 3));
}

}  // namespace
}  // namespace devtest

namespace devtest {
namespace {

TEST(CapabilityLayout, GenerationSelectsTheLayout)
{
    for (int generation : {0, 1, 2, 3, 200}) {
        SCOPED_TRACE(generation);
        uint8_t block[56] = {};
        block[8] = uint8_t(generation);
        block[13] = 16;
        block[16] = 100, block[17] = 4;
        for (int i = 21; i <= 29; ++i) block[i] = uint8_t(i);
        block[19] = 1, block[25] = 1;
        block[31] = 1, block[35] = 90, block[36] = 6;
        DeviceInfo info;
        info.matrixSpeedLimit = 77;
        ParseCapabilityBlock(block, info);
        EXPECT_TRUE(info.capabilityRead);
        EXPECT_EQ(4096, info.macroStorage);
        EXPECT_TRUE(info.zone1Present && info.zone2Present);
        EXPECT_EQ(100, info.brightnessLimit[0]);
        EXPECT_EQ(4, info.speedLimit[0]);
        if (generation < 2) {
            EXPECT_EQ(21, info.brightnessLimit[2]);
            EXPECT_EQ(22, info.speedLimit[2]);
            EXPECT_EQ(27, info.brightnessLimit[1]);
            EXPECT_EQ(28, info.speedLimit[1]);
            EXPECT_FALSE(info.matrixPresent);  // whatever byte 31 says
            EXPECT_EQ(0, info.matrixBrightnessLimit);
            EXPECT_EQ(77, info.matrixSpeedLimit);  // kept
        } else {
            EXPECT_EQ(22, info.brightnessLimit[2]);
            EXPECT_EQ(23, info.speedLimit[2]);
            EXPECT_EQ(28, info.brightnessLimit[1]);
            EXPECT_EQ(29, info.speedLimit[1]);
            EXPECT_TRUE(info.matrixPresent);
            EXPECT_EQ(90, info.matrixBrightnessLimit);
            EXPECT_EQ(6, info.matrixSpeedLimit);
        }
    }
}

}  // namespace
}  // namespace devtest
