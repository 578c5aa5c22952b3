// Colour transfers: user-mode key colours at 3 x LED, the matrix picture, the
// live colours, and the RGB565 effect and matrix frames, byte for byte.
#include "DeviceFixture.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceCommands.h"

namespace devtest {
namespace {

class ColourTest : public DeviceFixture, public ::testing::WithParamInterface<sim::SimModel>
{
protected:
    void SetUp() override
    {
        Connect(GetParam());
        LoadFromKeyboard();
    }

    ColourTransfer Colours() { return ColourTransfer(*manager, db, maps); }
    int Led(int keyCode) { return maps.keyCodeToLed.at(keyCode); }
};

INSTANTIATE_TEST_SUITE_P(Models, ColourTest, ::testing::ValuesIn(sim::Models()));

TEST_P(ColourTest, UserModeColoursAtThreeTimesTheLed)
{
    std::vector<UserLightRgbData> rows;
    for (int code : {4, 5, 300, 999}) {
        UserLightRgbData row;
        row.profile = 1;
        row.userlight_id = 129;
        row.key_code = code;
        row.key_rgb = int(RGB(code & 0xFF, 0x80, 0x01));
        rows.push_back(row);
    }
    db.InsertUserLightRgb(rows);
    Colours().WriteUserKeyColors(1, 129);
    Bytes expected(384, 0);
    for (int code : {4, 5, 300}) {
        if (!maps.keyCodeToLed.count(code)) continue;  // no light bar on this model
        const size_t at = size_t(3 * Led(code));
        expected[at] = uint8_t(code & 0xFF), expected[at + 1] = 0x80, expected[at + 2] = 0x01;
    }
    EXPECT_EQ(Hex(expected), Hex(keyboard->Block(0x24)));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x25, 0x11}), Commands());

    // Read back through mode 129's read command, by key code.
    std::map<int, COLORREF> colours;
    ASSERT_TRUE(Colours().ReadUserKeyColors(129, colours));
    EXPECT_EQ(RGB(4, 0x80, 1), colours.at(4));
    EXPECT_EQ(RGB(5, 0x80, 1), colours.at(5));
    EXPECT_EQ(RGB(0, 0, 0), colours.at(6));
    EXPECT_EQ(0u, colours.count(300));  // light bars are not keys of the picture

    // A mode that is no user mode moves nothing, inside its own sequence.
    keyboard->ClearLog();
    Colours().WriteUserKeyColors(1, 5);
    EXPECT_FALSE(Colours().ReadUserKeyColors(5, colours));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x11, 0x10, 0x11}), Commands());
}

TEST_P(ColourTest, LiveColoursAreBrightened)
{
    const uint8_t command = GetParam().generation >= 2 ? 0x34 : 0x36;
    Bytes& live = keyboard->Block(command);
    live[size_t(3 * Led(4))] = 200, live[size_t(3 * Led(4)) + 1] = 100;
    live[size_t(3 * Led(4)) + 2] = 100;
    ColourTransfer colours = Colours();
    colours.m_reopenSession = true;
    std::map<int, COLORREF> seen;
    ASSERT_TRUE(colours.ReadLiveKeyColors(3, GetParam().generation, seen));
    EXPECT_EQ(RGB(255, 130, 120), seen.at(4));
    EXPECT_EQ(RGB(0, 0, 0), seen.at(5));
    EXPECT_FALSE(colours.m_reopenSession);
    // AA 10 once, the echo read, no AA 11.
    EXPECT_EQ((std::vector<uint8_t>{0x10, command}), Commands());
    keyboard->ClearLog();
    ASSERT_TRUE(colours.ReadLiveKeyColors(3, GetParam().generation, seen));
    EXPECT_EQ((std::vector<uint8_t>{command}), Commands());
    // A user mode reads nothing.
    keyboard->ClearLog();
    EXPECT_FALSE(colours.ReadLiveKeyColors(128, GetParam().generation, seen));
    EXPECT_TRUE(keyboard->Received().empty());
}

TEST_P(ColourTest, EffectFrameCoversEveryKey)
{
    const sim::SimModel& m = GetParam();
    // One item per key with its own colour, and a light-bar item where the model has
    // bars.
    std::vector<KeyColour> items;
    for (size_t i = 0; i < m.keyCount; ++i)
        items.push_back({m.keys[i].usage, RGB(m.keys[i].led, 0x40, 0xF8)});
    if (m.deviceType == 101 || m.deviceType == 102) items.push_back({300, RGB(0xFF, 0xFF, 0xFF)});
    items.push_back({999, RGB(1, 2, 3)});  // no LED: contributes nothing
    ASSERT_TRUE(Colours().SendEffectFrame(m.deviceType, items));
    const int length = m.deviceType == 102 ? 214 : int(2 * items.size());
    Bytes expected(800, 0);
    for (const KeyColour& item : items) {
        auto led = maps.keyCodeToLed.find(item.keyCode);
        if (led == maps.keyCodeToLed.end()) continue;
        const uint16_t value = Rgb565(item.colour);
        expected[size_t(2 * led->second)] = uint8_t(value & 0xFF);
        expected[size_t(2 * led->second) + 1] = uint8_t(value >> 8);
    }
    EXPECT_EQ(Hex(expected), Hex(keyboard->Block(0x2E)));
    int sent = 0;
    for (const sim::Request& r : keyboard->Received()) sent += r.Length();
    EXPECT_EQ(length, sent);
}

TEST_P(ColourTest, MatrixPictureAndFrame)
{
    const sim::SimModel& m = GetParam();
    std::vector<CellColour> cells;
    for (int id = 0; id < 50; ++id) cells.push_back({id, RGB(id, 2 * id, 3 * id)});
    ColourTransfer colours = Colours();
    EXPECT_EQ(m.deviceType == 102, colours.SendMatrixFrame(m.deviceType, cells));
    if (!m.matrix) {
        EXPECT_TRUE(keyboard->Received().empty());
        return;
    }
    Bytes frame(98, 0), picture(147, 0);
    for (int id = 0; id < 49; ++id) {
        const uint16_t value = Rgb565(RGB(id, 2 * id, 3 * id));
        frame[size_t(2 * id)] = uint8_t(value & 0xFF),
                         frame[size_t(2 * id) + 1] = uint8_t(value >> 8);
        picture[size_t(3 * id)] = uint8_t(id), picture[size_t(3 * id) + 1] = uint8_t(2 * id);
        picture[size_t(3 * id) + 2] = uint8_t(3 * id);
    }
    EXPECT_EQ(Hex(frame), Hex(keyboard->Block(0x3C)));
    colours.WriteMatrixColors(cells);
    EXPECT_EQ(Hex(picture), Hex(keyboard->Block(0x3A)));
    std::vector<COLORREF> read;
    ASSERT_TRUE(colours.ReadMatrixColors(read));
    ASSERT_EQ(49u, read.size());
    EXPECT_EQ(RGB(48, 96, 144), read[48]);
    EXPECT_EQ((std::vector<uint8_t>{0x3C, 0x10, 0x3B, 0x11, 0x10, 0x3A, 0x11}), Commands());
}

TEST_P(ColourTest, EffectStreamStartsOnce)
{
    ColourTransfer colours = Colours();
    colours.StartEffectStream();
    colours.StartEffectStream();
    const std::vector<sim::Request> sent = keyboard->Received();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(0x10, sent[0].Command());
    EXPECT_EQ(0x2F, sent[1].Command());
    EXPECT_EQ(GetParam().reportBytes == 32 ? 24 : 56, sent[1].Length());
    colours.ResetEffectStream();
    colours.StartEffectStream();
    EXPECT_EQ(4u, keyboard->Received().size());
}

TEST_P(ColourTest, FailedFrameReopensTheSequence)
{
    ColourTransfer colours = Colours();
    keyboard->AddFault(sim::Fault::Refuse, 0x2E, 0, 6);
    const std::vector<KeyColour> items = {{4, RGB(1, 2, 3)}};
    EXPECT_FALSE(colours.SendEffectFrame(GetParam().deviceType, items));
    EXPECT_TRUE(colours.m_reopenSession);
    keyboard->ClearLog();
    EXPECT_TRUE(colours.SendEffectFrame(GetParam().deviceType, items));
    EXPECT_EQ(0x10, Commands().front());
    EXPECT_FALSE(colours.m_reopenSession);
}

TEST_P(ColourTest, FlagsOfTheMainWindow)
{
    // The main window's own flags, kept across the objects it makes per step.
    std::atomic<int> reopen{1};
    std::atomic<bool> started{false};
    ColourTransfer(*manager, db, maps, &reopen, &started).StartEffectStream();
    ColourTransfer(*manager, db, maps, &reopen, &started).StartEffectStream();
    EXPECT_TRUE(started.load());
    ColourTransfer(*manager, db, maps, &reopen, &started)
        .SendEffectFrame(GetParam().deviceType, {{4, RGB(1, 2, 3)}});
    EXPECT_EQ(0, reopen.load());
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x2F, 0x10, 0x2E}), Commands());
}

TEST(Rgb565, Values)
{
    EXPECT_EQ(0xFFFF, Rgb565(RGB(0xFF, 0xFF, 0xFF)));
    EXPECT_EQ(0x0000, Rgb565(RGB(0, 0, 0)));
    EXPECT_EQ(0x0821, Rgb565(RGB(0x08, 0x04, 0x08)));
}

TEST(EffectFrameBounds, LedsPastTheKeysAndHostileLayouts)
{
    uint8_t frame[kEffectFrameBuffer + 16];
    memset(frame, 0xEE, sizeof frame);
    // Three items, one of them at LED 120: the frame is long enough to carry it.
    std::map<int, int> leds = {{4, 0}, {5, 1}, {6, 120}};
    std::vector<KeyColour> items = {
        {4, RGB(0xFF, 0, 0)}, {5, RGB(0, 0xFF, 0)}, {6, RGB(0, 0, 0xFF)}};
    EXPECT_EQ(242, BuildEffectFrame(items, leds, 101, frame));
    EXPECT_EQ("1F 00", Hex(frame + 240, 2));
    EXPECT_EQ(242, BuildEffectFrame(items, leds, 102, frame));
    leds[6] = 100;
    EXPECT_EQ(214, BuildEffectFrame(items, leds, 102, frame));
    leds[6] = 110;
    EXPECT_EQ(222, BuildEffectFrame(items, leds, 102, frame));
    // LEDs up to 65535 (and negative ones) write nothing outside the frame.
    leds = {{4, 65535}, {5, 400}, {6, -1}, {7, 399}};
    items.push_back({7, RGB(0xFF, 0xFF, 0xFF)});
    EXPECT_EQ(800, BuildEffectFrame(items, leds, 101, frame));
    EXPECT_EQ("FF FF", Hex(frame + 798, 2));
    for (size_t i = kEffectFrameBuffer; i < sizeof frame; ++i) EXPECT_EQ(0xEE, frame[i]);
    for (size_t i = 0; i < 798; ++i) EXPECT_EQ(0, frame[i]);
}

TEST(EffectFrameBounds, StreamsAHighLedToTheKeyboard)
{
    // A layout whose highest LED lies past the number of keys: every key's colour
    // reaches the keyboard.
    sim::SimHidBus bus;
    sim::SimKeyboard keyboard(sim::Model("Kestrova-K87"));
    bus.AddModel(keyboard);
    HidDeviceManager manager(bus);
    manager.AddProduct(0x3A7E, 0x8701, L"", 101, 0);
    manager.EnumerateDevice();
    KeyMaps maps;
    maps.keyCodeToLed = {{4, 0}, {5, 1}, {6, 300}};
    ColourTransfer colours(manager, EmptyDatabase(), maps);
    ASSERT_TRUE(colours.SendEffectFrame(
        101, {{4, RGB(0xFF, 0, 0)}, {5, RGB(0, 0xFF, 0)}, {6, RGB(0, 0, 0xFF)}}));
    EXPECT_EQ("00 F8 E0 07", Hex(keyboard.Block(0x2E).data(), 4));
    EXPECT_EQ("1F 00", Hex(keyboard.Block(0x2E).data() + 600, 2));
    EXPECT_THAT(keyboard.Verify(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace devtest
