// Sending an animation to the LCD screen: the slot header, each frame's header
// and its RGB565 pixels, byte for byte, inside one command sequence; a
// transfer the keyboard refuses ends the send.
#include "DeviceFixture.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/LcdTransfer.h"

namespace devtest {
namespace {

class LcdSendTest : public DeviceFixture
{
protected:
    void SetUp() override
    {
        Connect(sim::Model("Kestrova-K75-LCD"));
        keyboard->ClearLog();
    }
    // Frames whose pixels differ from frame to frame and along each frame.
    static std::vector<LcdSendFrame> Frames(std::initializer_list<int> delays)
    {
        std::vector<LcdSendFrame> frames;
        for (int delay : delays) {
            LcdSendFrame frame;
            frame.delayMs = delay;
            frame.pixels.resize(size_t(kLcdScreenWidth) * kLcdScreenHeight * 2);
            for (size_t i = 0; i < frame.pixels.size(); ++i)
                frame.pixels[i] = uint8_t(i * 7 + frames.size() * 31);
            frames.push_back(frame);
        }
        return frames;
    }
};

TEST_F(LcdSendTest, TheSlotGetsEveryFrameWithItsDelayAndPixels)
{
    const std::vector<LcdSendFrame> frames = Frames({50, 300, 30});
    std::vector<int> progress;
    ASSERT_TRUE(SendLcdAnimation(*manager, 0, kLcdScreenWidth, kLcdScreenHeight, frames,
                                 [&](int sent) { progress.push_back(sent); }));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x3E, 0x3F, 0x40, 0x3F, 0x40, 0x3F, 0x40, 0x11}),
              Commands());
    const std::vector<sim::Request> requests = DataRequests();
    ASSERT_FALSE(requests.empty());
    // Slot 0, three frames of 240 x 135 (0xF0, 0x87).
    EXPECT_EQ("00 03 00 F0 00 87 00 00", Hex(requests[0].Data()));
    std::vector<std::string> frameHeaders;
    for (const sim::Request& r : requests)
        if (r.Command() == 0x3F) frameHeaders.push_back(Hex(r.Data()));
    EXPECT_EQ((std::vector<std::string>{"00 00 32 00 00 00 00 00", "01 00 2C 01 00 00 00 00",
                                        "02 00 1E 00 00 00 00 00"}),
              frameHeaders);
    // 64,800 bytes a frame in chunks of 56.
    size_t pixelChunks = 0;
    for (const sim::Request& r : requests) pixelChunks += r.Command() == 0x40;
    EXPECT_EQ(pixelChunks, 3u * ((64800 + 55) / 56));

    const sim::SimKeyboard::LcdAnimation shown = keyboard->LcdSlot(0);
    ASSERT_TRUE(shown.Complete());
    ASSERT_EQ(shown.frames.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(shown.frames[i].delayMs, frames[i].delayMs) << i;
        EXPECT_TRUE(shown.frames[i].pixels == frames[i].pixels) << i;
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3}), progress);
    EXPECT_TRUE(keyboard->Verify().empty());
}

TEST_F(LcdSendTest, ARefusedChunkEndsTheSendAndTheSequence)
{
    // Every try of the first frame's eleventh chunk is refused.
    keyboard->AddFault(sim::Fault::Refuse, 0x40, 56 * 10, 6);
    const std::vector<LcdSendFrame> frames = Frames({50, 50, 50});
    EXPECT_FALSE(SendLcdAnimation(*manager, 1, kLcdScreenWidth, kLcdScreenHeight, frames));
    EXPECT_EQ((std::vector<uint8_t>{0x10, 0x3E, 0x3F, 0x40, 0x11}), Commands());
    // Nothing after the refused chunk but the sequence's close.
    const std::vector<sim::Request>& received = keyboard->Received();
    ASSERT_GE(received.size(), 2u);
    const sim::Request& last = received[received.size() - 2];
    EXPECT_EQ(last.Command(), 0x40);
    EXPECT_EQ(last.Offset(), 56 * 10);
    EXPECT_FALSE(keyboard->LcdSlot(1).Complete());
}

TEST_F(LcdSendTest, FramesOfTheWrongSizeSendNothing)
{
    std::vector<LcdSendFrame> frames = Frames({50, 50});
    frames[1].pixels.pop_back();
    EXPECT_FALSE(SendLcdAnimation(*manager, 0, kLcdScreenWidth, kLcdScreenHeight, frames));
    EXPECT_FALSE(SendLcdAnimation(*manager, 0, 0, kLcdScreenHeight, {}));
    EXPECT_TRUE(keyboard->Received().empty());
}

}  // namespace
}  // namespace devtest
