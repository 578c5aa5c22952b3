// The simulated keyboard must catch a wrong conversation, or the transport tests
// built on it prove nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimKeyboard.h"

using sim::Bytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class SimKeyboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        port = bus.AddKeyboard(keyboard, 64, L"", false);
        handle = bus.OpenPath(bus.PathOf(port).c_str());
        ASSERT_NE(nullptr, handle);
    }

    int Send(const Bytes& payload)
    {
        Bytes report(1, 0);
        report.insert(report.end(), payload.begin(), payload.end());
        return bus.Write(handle, report.data(), report.size());
    }

    Bytes Answer()
    {
        Bytes answer(64, 0);
        int n = bus.ReadTimeout(handle, answer.data(), answer.size(), 200);
        answer.resize(n > 0 ? size_t(n) : 0);
        return answer;
    }

    sim::SimHidBus bus;
    sim::SimKeyboard keyboard{0x4D2E, 0x1001};
    int port = -1;
    hid_device* handle = nullptr;
};

TEST_F(SimKeyboardTest, ReportsUnknownMalformedAndOversizedRequests)
{
    keyboard.DefineBlock(0x21, 100, true);
    Send(sim::Payload(0x99));  // unknown command
    Bytes bad = sim::Payload(0x10);
    bad[0] = 0xAB;  // no start byte
    Send(bad);
    Send(sim::Payload(0x21, 0, 57));   // above the chunk size
    Send(sim::Payload(0x21, 56, 56));  // past the block
    EXPECT_THAT(Answer(), IsEmpty());  // none of them is answered
    ASSERT_EQ(4u, keyboard.Violations().size());
    EXPECT_THAT(keyboard.Violations()[0], HasSubstr("unknown command"));
    EXPECT_THAT(keyboard.Violations()[1], HasSubstr("0xAA"));
    EXPECT_THAT(keyboard.Violations()[2], HasSubstr("chunk size"));
    EXPECT_THAT(keyboard.Violations()[3], HasSubstr("past the end"));
}

TEST_F(SimKeyboardTest, ExpectationsCatchExtraWrongAndMissingRequests)
{
    keyboard.Expect(0x10);
    keyboard.Expect(0x30);
    keyboard.Expect(0x11);
    Send(sim::Payload(0x10));
    Send(sim::Payload(0x11));  // 0x30 expected
    std::vector<std::string> problems = keyboard.Verify();
    ASSERT_EQ(2u, problems.size());
    EXPECT_THAT(problems[0], HasSubstr("wrong request"));
    EXPECT_THAT(problems[1], HasSubstr("missing request 11"));
    Send(sim::Payload(0x11));
    Send(sim::Payload(0x10));  // nothing more expected
    EXPECT_THAT(keyboard.Verify().back(), HasSubstr("unexpected"));
}

TEST_F(SimKeyboardTest, AnswersEchoTheHeaderAndServeTheMemory)
{
    keyboard.SetBlock(0x12, Bytes{1, 2, 3, 4, 5, 6});
    Send(sim::Payload(0x12, 2, 3));
    Bytes answer = Answer();
    ASSERT_EQ(64u, answer.size());
    EXPECT_THAT(Bytes(answer.begin(), answer.begin() + 11),
                ElementsAre(0xAA, 0x12, 2, 0, 3, 0, 0, 0x55, 3, 4, 5));
    EXPECT_EQ(Bytes(1, 0), Bytes(answer.begin() + 11, answer.begin() + 12));
    EXPECT_THAT(keyboard.Verify(), IsEmpty());
}

TEST_F(SimKeyboardTest, ReceiverAnswersForItsKeyboardOnlyWhileOnline)
{
    sim::SimReceiver receiver(keyboard);
    int rport = bus.AddReceiver(receiver, 0x4D2E, 0x2001, 32);
    hid_device* r = bus.OpenPath(bus.PathOf(rport).c_str());
    keyboard.SetBattery(12, 1);
    unsigned char report[33] = {0, 0xAA, 0x30, 0, 0, 24};
    ASSERT_EQ(33, bus.Write(r, report, sizeof report));
    unsigned char answer[64] = {};
    ASSERT_EQ(32, bus.ReadTimeout(r, answer, sizeof answer, 200));
    EXPECT_EQ(12, answer[8]);
    receiver.SetKeyboardOnline(false);  // queues a notification
    ASSERT_EQ(32, bus.ReadTimeout(r, answer, sizeof answer, 200));
    EXPECT_EQ(0xD0, answer[1]);
    EXPECT_EQ(2, answer[13]);
    ASSERT_EQ(33, bus.Write(r, report, sizeof report));
    EXPECT_EQ(0, bus.ReadTimeout(r, answer, sizeof answer, 200));
    // A 65-byte report does not fit a 32-byte interface.
    unsigned char big[65] = {0, 0xAA, 0x30};
    EXPECT_EQ(-1, bus.Write(r, big, sizeof big));
    EXPECT_EQ(200, bus.SimulatedMs());  // only the silent read waited, and only on paper
}

}  // namespace
