// The report transport: framing, chunking, retries, time-outs and notifications on
// the command path, against the simulated keyboard.
#include "HidFixture.h"

#include <numeric>

using sim::Bytes;
using sim::Fault;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace hidtest {
namespace {

Bytes Pattern(size_t length, uint8_t seed)
{
    Bytes data(length);
    for (size_t i = 0; i < length; ++i) data[i] = uint8_t(seed + i * 7);
    return data;
}

class TransportTest : public KeyboardFixture
{};

// ---- chunking --------------------------------------------------------------------------

struct ChunkCase
{
    int reportBytes;
    int length;
    std::vector<int> offsets;
    std::vector<int> lengths;
};

class ChunkingTest : public KeyboardFixture, public ::testing::WithParamInterface<ChunkCase>
{};

TEST_P(ChunkingTest, WritesEachChunkWithItsHeaderAndStoresIt)
{
    const ChunkCase& c = GetParam();
    Connect(c.reportBytes);
    keyboard.DefineBlock(0x21, size_t(c.length), true);
    Bytes data = Pattern(size_t(c.length), 3);
    Bytes sent = data;

    ASSERT_TRUE(manager->TransferData(0x21, data.data(), c.length));

    std::vector<sim::Request> writes = bus.WritesTo(port);
    ASSERT_EQ(c.offsets.size(), writes.size());
    for (size_t i = 0; i < writes.size(); ++i) {
        const sim::Request& w = writes[i];
        SCOPED_TRACE(i);
        ASSERT_EQ(size_t(c.reportBytes + 1), w.report.size());
        EXPECT_EQ(0, w.report[0]);
        EXPECT_EQ(0xAA, w.Payload(0));
        EXPECT_EQ(0x21, w.Command());
        EXPECT_EQ(c.offsets[i], w.Offset());
        EXPECT_EQ(c.lengths[i], w.Length());
        EXPECT_EQ(Bytes(sent.begin() + c.offsets[i], sent.begin() + c.offsets[i] + c.lengths[i]),
                  w.Data());
        // Nothing but zeros after the data.
        for (size_t b = size_t(9 + w.Length()); b < w.report.size(); ++b)
            ASSERT_EQ(0, w.report[b]) << "byte " << b;
    }
    EXPECT_EQ(sent, keyboard.Block(0x21));
    EXPECT_EQ(sent, data);  // the keyboard echoed what it stored
}

std::vector<int> Repeat(int value, int count)
{
    return std::vector<int>(size_t(count), value);
}

std::vector<int> Offsets(int step, int count)
{
    std::vector<int> v;
    for (int i = 0; i < count; ++i) v.push_back(i * step);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ChunkingTest,
    ::testing::Values(
        ChunkCase{64, 384, {0, 56, 112, 168, 224, 280, 336}, {56, 56, 56, 56, 56, 56, 48}},
        ChunkCase{32, 384, Offsets(24, 16), Repeat(24, 16)},
        ChunkCase{64, 112, {0, 56}, {56, 56}},  // a multiple of the chunk: no empty trailer
        ChunkCase{32, 48, {0, 24}, {24, 24}}, ChunkCase{64, 1, {0}, {1}},
        ChunkCase{32, 25, {0, 24}, {24, 1}}));

TEST_F(TransportTest, ReadReplacesTheBufferWithTheKeyboardsData)
{
    Connect(32);
    Bytes table = Pattern(128, 9);
    keyboard.SetBlock(0x12, table);
    Bytes buffer(128, 0);
    ASSERT_TRUE(manager->TransferData(0x12, buffer.data(), 128));
    EXPECT_EQ(table, buffer);
}

TEST_F(TransportTest, EmptyOrUnaddressableTransfersFailAndSendNothing)
{
    Connect(64);
    unsigned char byte = 5;
    EXPECT_FALSE(manager->TransferData(0x21, &byte, 0));
    EXPECT_FALSE(manager->TransferDataChecked(0x21, &byte, 0));
    EXPECT_FALSE(manager->TransferData(0x21, nullptr, 10));
    // The last chunk's offset would not fit the 16-bit offset field.
    Bytes huge(65536 + 57, 1);
    EXPECT_FALSE(manager->TransferData(0x21, huge.data(), int(huge.size())));
    EXPECT_THAT(bus.Writes(), IsEmpty());
    EXPECT_EQ(5, byte);
}

TEST_F(TransportTest, WithoutCurrentDeviceNothingIsSent)
{
    Connect(64);
    manager->m_selectedDeviceType = kType + 1;  // no keyboard of that type is open
    Bytes buffer(64, 0);
    Bytes command = sim::Payload(0x10);
    EXPECT_FALSE(manager->SendCommand(command.data()));
    EXPECT_EQ(1, manager->m_busy);  // left for the next rescan to clear
    EXPECT_FALSE(manager->SendCommandFast(command.data()));
    EXPECT_FALSE(manager->TransferData(0x21, buffer.data(), 64));
    EXPECT_FALSE(manager->TransferDataChecked(0x21, buffer.data(), 64));
    EXPECT_THAT(bus.Writes(), IsEmpty());
    EXPECT_THAT(bus.Sleeps(), IsEmpty());
}

// ---- waits -----------------------------------------------------------------------------

TEST_F(TransportTest, WaitsAreThoseOfEachOperation)
{
    Connect(64);
    keyboard.DefineBlock(0x21, 112, true);
    Bytes buffer(112, 0);

    ASSERT_TRUE(manager->TransferData(0x21, buffer.data(), 112));
    EXPECT_THAT(bus.Sleeps(), ElementsAre(2));               // pre-command delay, direct
    EXPECT_THAT(ReadWaits(port), ElementsAre(1, 200, 200));  // drain, two answers
    bus.ClearLog();

    ASSERT_TRUE(manager->TransferDataChecked(0x21, buffer.data(), 112));
    EXPECT_THAT(bus.Sleeps(), IsEmpty());
    EXPECT_THAT(ReadWaits(port), ElementsAre(1, 36, 36));
    bus.ClearLog();

    Bytes command = sim::Payload(0x10);
    ASSERT_TRUE(manager->SendCommand(command.data()));
    EXPECT_THAT(bus.Sleeps(), ElementsAre(2));
    EXPECT_THAT(ReadWaits(port), ElementsAre(1, 200));
    EXPECT_EQ(0, manager->m_busy);
    bus.ClearLog();

    command = sim::Payload(0x11);
    ASSERT_TRUE(manager->SendCommandFast(command.data()));
    EXPECT_THAT(bus.Sleeps(), IsEmpty());
    EXPECT_THAT(ReadWaits(port), ElementsAre(1, 2));
}

// ---- short commands ----------------------------------------------------------------------

class ClampTest : public KeyboardFixture, public ::testing::WithParamInterface<int>
{};

TEST_P(ClampTest, SendCommandLowersTheLengthToTheChunkSize)
{
    const int reportBytes = GetParam();
    const int chunk = reportBytes == 64 ? 56 : 24;
    Connect(reportBytes);
    keyboard.DefineBlock(0x40, 64, true);
    Bytes command = sim::Payload(0x40, 0, 64, Pattern(56, 1));
    command[4] = 64;

    ASSERT_TRUE(manager->SendCommand(command.data()));

    ASSERT_EQ(1u, bus.Writes().size());
    const sim::Request& w = bus.Writes()[0];
    EXPECT_EQ(size_t(reportBytes + 1), w.report.size());
    EXPECT_EQ(chunk, w.Length());
    // The caller's buffer holds the answer, which echoes the clamped length.
    EXPECT_EQ(chunk, command[4]);
    EXPECT_EQ(0x55, command[7]);
}

INSTANTIATE_TEST_SUITE_P(Interfaces, ClampTest, ::testing::Values(64, 32));

TEST_F(TransportTest, ShortAnswerOnA32ByteInterfaceLeavesZerosBehindIt)
{
    Connect(32);
    keyboard.SetBattery(61, 1);
    Bytes command(64, 0x77);  // junk the caller left past the command
    command[0] = 0xAA;
    command[1] = 0x30;
    command[2] = command[3] = 0;
    command[4] = 0;
    command[5] = command[6] = command[7] = 0;
    ASSERT_TRUE(manager->SendCommand(command.data()));
    EXPECT_EQ(0x55, command[7]);
    EXPECT_EQ(61, command[8]);
    EXPECT_EQ(1, command[9]);
    // The answer is 32 bytes long; nothing past it may come from anywhere.
    for (int i = 32; i < 64; ++i) ASSERT_EQ(0, command[i]) << "byte " << i;
}

TEST_F(TransportTest, WithoutAnswerTheBufferHoldsTheReportAsSent)
{
    Connect(32);
    keyboard.AddFault(Fault::NoAnswer, 0x10);
    Bytes command(64, 0);
    for (int i = 8; i < 64; ++i) command[size_t(i)] = uint8_t(i);
    command[0] = 0xAA;
    command[1] = 0x10;
    Bytes original = command;
    ASSERT_TRUE(manager->SendCommand(command.data()));

    // Report id 0, then the 32 payload bytes that fit a 32-byte report, then zeros.
    Bytes expected(64, 0);
    std::copy(original.begin(), original.begin() + 32, expected.begin() + 1);
    EXPECT_EQ(expected, command);
    EXPECT_EQ(0, manager->m_busy);
}

TEST_F(TransportTest, FailedWriteKeepsTheCommandAndStillReportsTrue)
{
    Connect(64);
    keyboard.AddFault(Fault::FailWrite, 0x10);
    Bytes command = sim::Payload(0x10, 0, 60);
    ASSERT_TRUE(manager->SendCommand(command.data()));
    Bytes expected = sim::Payload(0x10, 0, 56);
    EXPECT_EQ(expected, command);
    EXPECT_THAT(ReadWaits(port), ElementsAre(1));  // only the drain: no answer awaited
}

class FastTest : public KeyboardFixture, public ::testing::WithParamInterface<int>
{};

TEST_P(FastTest, WritesTheInterfacesReportLength)
{
    const int reportBytes = GetParam();
    Connect(reportBytes);
    keyboard.DefineBlock(0x2D, 256, true);
    Bytes data = Pattern(24, 40);
    Bytes command = sim::Payload(0x2D, 48, 24, data);

    ASSERT_TRUE(manager->SendCommandFast(command.data()));

    ASSERT_EQ(1u, bus.Writes().size());
    EXPECT_EQ(size_t(reportBytes + 1), bus.Writes()[0].report.size());
    EXPECT_EQ(0, bus.FailedWrites());
    EXPECT_EQ(data, Bytes(keyboard.Block(0x2D).begin() + 48, keyboard.Block(0x2D).begin() + 72));
    EXPECT_EQ(0x55, command[7]);
}

INSTANTIATE_TEST_SUITE_P(Interfaces, FastTest, ::testing::Values(64, 32));

TEST_F(TransportTest, StaleReportIsDrainedBeforeTheCommand)
{
    Connect(64);
    Bytes stale(64, 0x5A);
    keyboard.PushInput(stale);
    keyboard.SetBattery(42, 0);
    Bytes command = sim::Payload(0x30);
    ASSERT_TRUE(manager->SendCommand(command.data()));
    ASSERT_EQ(1u, bus.Writes().size());
    EXPECT_EQ(0, bus.Writes()[0].report[0]);
    EXPECT_EQ(0x30, command[1]);
    EXPECT_EQ(42, command[8]);
}

// ---- retries and failures ----------------------------------------------------------------

TEST_F(TransportTest, RefusedTryIsRetriedAndTheChunkCanStillSucceed)
{
    Connect(64);
    keyboard.DefineBlock(0x21, 384, true);
    keyboard.AddFault(Fault::Refuse, 0x21, 56, 1);
    Bytes data = Pattern(384, 1);
    Bytes sent = data;
    ASSERT_TRUE(manager->TransferData(0x21, data.data(), 384));
    std::vector<int> offsets;
    for (const sim::Request& w : bus.Writes()) offsets.push_back(w.Offset());
    EXPECT_THAT(offsets, ElementsAre(0, 56, 56, 112, 168, 224, 280, 336));
    EXPECT_EQ(sent, keyboard.Block(0x21));
}

struct FailureCase
{
    const char* name;
    Fault fault;
    bool checked;
    int offset;  // chunk that misbehaves on all six tries
};

class ChunkFailureTest : public KeyboardFixture, public ::testing::WithParamInterface<FailureCase>
{};

TEST_P(ChunkFailureTest, FailsTheWholeTransferAndLeavesTheBuffer)
{
    const FailureCase& c = GetParam();
    Connect(64);
    keyboard.SetBlock(0x12, Pattern(384, 100));
    keyboard.AddFault(c.fault, 0x12, c.offset, 6);
    Bytes buffer = Pattern(384, 7);
    const Bytes before = buffer;

    const bool ok = c.checked ? manager->TransferDataChecked(0x12, buffer.data(), 384)
                              : manager->TransferData(0x12, buffer.data(), 384);

    EXPECT_FALSE(ok);
    EXPECT_EQ(before, buffer);
    // Each chunk before the bad one once, the bad one six times, nothing after it.
    std::vector<int> offsets;
    for (const sim::Request& w : bus.Writes()) offsets.push_back(w.Offset());
    const int good = c.offset / 56;
    std::vector<int> expected = Offsets(56, good);
    if (c.fault != Fault::FailWrite) {
        expected.insert(expected.end(), 6, c.offset);
        EXPECT_EQ(expected, offsets);
    } else {
        EXPECT_EQ(expected, offsets);
        EXPECT_EQ(6, bus.FailedWrites());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChunkFailureTest,
    ::testing::Values(FailureCase{"SilentThirdChunk", Fault::NoAnswer, false, 168},
                      FailureCase{"NoStatus", Fault::NoStatus, false, 112},
                      FailureCase{"WritesFail", Fault::FailWrite, false, 224},
                      FailureCase{"Refused", Fault::Refuse, false, 56},
                      FailureCase{"SilentFirstChunk", Fault::NoAnswer, false, 0},
                      FailureCase{"CheckedSilent", Fault::NoAnswer, true, 168},
                      FailureCase{"CheckedWrongEcho", Fault::WrongEcho, true, 112},
                      FailureCase{"CheckedWrongOffsetHighByte", Fault::WrongOffsetHighEcho, true,
                                  280},
                      FailureCase{"CheckedWrongCommandEcho", Fault::WrongCommandEcho, true, 56}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(TransportTest, UncheckedTransferTakesAnAnswerWithoutEchoCheck)
{
    Connect(64);
    Bytes table = Pattern(168, 50);
    keyboard.SetBlock(0x12, table);
    keyboard.AddFault(Fault::WrongCommandEcho, 0x12, 0, 1);
    keyboard.AddFault(Fault::WrongEcho, 0x12, 56, 1);
    keyboard.AddFault(Fault::WrongOffsetHighEcho, 0x12, 112, 1);
    Bytes buffer(168, 0);
    ASSERT_TRUE(manager->TransferData(0x12, buffer.data(), 168));
    EXPECT_EQ(table, buffer);
    EXPECT_EQ(3u, bus.Writes().size());
}

TEST_F(TransportTest, UnplugDuringATransferFailsItAndLeavesTheBuffer)
{
    Connect(32);
    keyboard.SetBlock(0x12, Pattern(384, 100));
    keyboard.AddFault(Fault::Unplug, 0x12, 72);
    Bytes buffer(384, 0xEE);
    EXPECT_FALSE(manager->TransferData(0x12, buffer.data(), 384));
    EXPECT_EQ(Bytes(384, 0xEE), buffer);
    EXPECT_EQ(3u, bus.Writes().size());  // offsets 0, 24, 48
    EXPECT_EQ(6, bus.FailedWrites());
    // Later commands find the device gone: still no crash, nothing written.
    Bytes command = sim::Payload(0x11);
    EXPECT_TRUE(manager->SendCommand(command.data()));
    EXPECT_EQ(3u, bus.Writes().size());
}

// ---- notifications on the command path ---------------------------------------------------

TEST_F(TransportTest, NotificationReadByTheDrainIsPostedAndNotTakenAsAnswer)
{
    Connect(64);
    keyboard.PushNotification(false);
    keyboard.SetBattery(33, 0);
    Bytes command = sim::Payload(0x30);
    ASSERT_TRUE(manager->SendCommand(command.data()));
    EXPECT_THAT(TakeNotifications(), ElementsAre(0));
    EXPECT_EQ(0x30, command[1]);
    EXPECT_EQ(33, command[8]);
}

TEST_F(TransportTest, NotificationAsShortCommandAnswerIsPostedAndHandedBack)
{
    Connect(64);
    keyboard.AddFault(Fault::NotifyFirst, 0x10);
    Bytes command = sim::Payload(0x10);
    ASSERT_TRUE(manager->SendCommand(command.data()));
    EXPECT_THAT(TakeNotifications(), ElementsAre(1));
    EXPECT_EQ(0xD0, command[1]);  // the caller sees what came, as it came
}

class NotifyDuringTransferTest : public KeyboardFixture, public ::testing::WithParamInterface<bool>
{};

TEST_P(NotifyDuringTransferTest, IsPostedAndNeverTakenAsTheChunksAnswer)
{
    const bool checked = GetParam();
    Connect(64);
    Bytes table = Pattern(384, 11);
    keyboard.SetBlock(0x12, table);
    keyboard.AddFault(Fault::NotifyFirst, 0x12, 56);
    keyboard.AddFault(Fault::NotifyFirst, 0x12, 224);
    Bytes buffer(384, 0);
    ASSERT_TRUE(checked ? manager->TransferDataChecked(0x12, buffer.data(), 384)
                        : manager->TransferData(0x12, buffer.data(), 384));
    EXPECT_EQ(table, buffer);  // every chunk's data at its own place
    EXPECT_EQ(7u, bus.Writes().size());
    EXPECT_THAT(TakeNotifications(), ElementsAre(1, 1));
}

INSTANTIATE_TEST_SUITE_P(Transfers, NotifyDuringTransferTest, ::testing::Values(false, true));

TEST_F(TransportTest, ReadTimeoutPostsOnlineStateOfEveryNotification)
{
    Connect(64);
    keyboard.PushNotification(true);
    keyboard.PushNotification(false);
    keyboard.PushInput(Bytes{0xAA, 0x10});
    hid_device* handle = manager->GetCurrentDevice();
    unsigned char buffer[65] = {};
    EXPECT_EQ(64, manager->HIDReadTimeout(handle, buffer, 65, 10));
    EXPECT_EQ(0xD0, buffer[1]);  // handed back unchanged
    EXPECT_EQ(4, buffer[13]);
    EXPECT_EQ(64, manager->HIDReadTimeout(handle, buffer, 65, 10));
    EXPECT_EQ(64, manager->HIDReadTimeout(handle, buffer, 65, 10));
    EXPECT_EQ(0, manager->HIDReadTimeout(handle, buffer, 65, 10));
    EXPECT_THAT(TakeNotifications(), ElementsAre(1, 0));
}

}  // namespace
}  // namespace hidtest
