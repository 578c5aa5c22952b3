// The device manager: product table, enumeration, receiver and battery queries,
// the choice of the current device and the notification poll.
#include "HidFixture.h"

using sim::Bytes;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace hidtest {
namespace {

class ManagerTest : public HidFixture
{};

// ---- product table ------------------------------------------------------------------------

TEST_F(ManagerTest, ProductLookupsTakeTheFirstMatchingRecord)
{
    manager->AddProduct(0x1111, 0x0001, L"Alpha", 3, 1);
    manager->AddProduct(0x1111, 0x0001, L"", 4, 2);
    manager->AddProduct(0x1111, 0x0001, L"", 5, 0);
    manager->AddProduct(0x2222, 0x0002, L"Beta", 6, 1);

    struct Case
    {
        int vid, pid;
        const wchar_t* text;
        bool is;
        int mode, type;
    } cases[] = {
        {0x1111, 0x0001, L"Alpha", true, 1, 3},
        {0x1111, 0x0001, L"alpha", true, 2, 4},  // case-sensitive: falls to the open record
        {0x1111, 0x0001, L"", true, 2, 4},
        {0x1111, 0x0001, nullptr, true, 2, 4},
        {0x2222, 0x0002, L"Beta", true, 1, 6},
        {0x2222, 0x0002, L"BETA", false, 0, 0},
        {0x2222, 0x0002, L"", false, 0, 0},
        {0x1111, 0x0002, L"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << c.vid << ":" << c.pid << " " << (c.text ? "text" : "null"));
        EXPECT_EQ(c.is, manager->IsProduct(c.vid, c.pid, c.text));
        EXPECT_EQ(c.mode, manager->GetProductMode(c.vid, c.pid, c.text));
        EXPECT_EQ(c.type, manager->GetProductType(c.vid, c.pid, c.text));
    }
}

// ---- enumeration ---------------------------------------------------------------------------

TEST_F(ManagerTest, KeyboardWithThreeInterfacesYieldsOneEntryWithItsBattery)
{
    sim::SimKeyboard keyboard(kVendor, kKeyboardPid);
    keyboard.SetBattery(55, 1);
    const int vendorPort = bus.AddKeyboard(keyboard, 64);
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    keyboard.Expect(0x10, 0, 56);
    keyboard.Expect(0x30, 0, 56);
    keyboard.Expect(0x11, 0, 56);

    manager->EnumerateDevice();

    std::vector<ConnectedDevice*> list = Devices();
    ASSERT_EQ(1u, list.size());
    const ConnectedDevice& d = *list[0];
    EXPECT_EQ(kVendor, d.vendorId);
    EXPECT_EQ(kKeyboardPid, d.productId);
    EXPECT_EQ(kType, d.deviceType);
    EXPECT_EQ(0, d.connectionMode);
    EXPECT_EQ(1, d.online);
    EXPECT_EQ(55, d.battery);  // byte 8 of the 0x30 answer
    EXPECT_EQ(1, d.charge);
    EXPECT_EQ(65, d.outputReportLength);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(i == vendorPort ? 1 : 0, bus.OpenCount(i)) << "interface " << i;
    EXPECT_THAT(bus.Sleeps(), ElementsAre(200));
    EXPECT_THAT(keyboard.Verify(), IsEmpty());
    // The battery queries read the stack directly: nothing posted.
    EXPECT_THAT(TakeNotifications(), IsEmpty());
}

TEST_F(ManagerTest, OnlyTheVendorCollectionOfAListedProductIsOpened)
{
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    // Near misses on the same device: another collection on the vendor page, the
    // vendor usage on another page, the boot keyboard; and the right collection on a
    // product nobody listed.
    struct Near
    {
        uint16_t productId, usagePage, usage;
    } nearMisses[] = {{kKeyboardPid, 0xFF60, 0x62},
                      {kKeyboardPid, 0xFF00, 0x61},
                      {kKeyboardPid, 0x0001, 0x06},
                      {0x7777, 0xFF60, 0x61}};
    for (const Near& n : nearMisses) {
        sim::SimInterface config;
        config.vendorId = kVendor;
        config.productId = n.productId;
        config.usagePage = n.usagePage;
        config.usage = n.usage;
        bus.AddInterface(config);
    }
    sim::SimKeyboard keyboard(kVendor, kKeyboardPid);
    const int vendorPort = bus.AddKeyboard(keyboard, 64, L"", false);

    manager->EnumerateDevice();

    EXPECT_EQ(1u, Devices().size());
    for (int i = 0; i <= vendorPort; ++i)
        EXPECT_EQ(i == vendorPort ? 1 : 0, bus.OpenCount(i)) << "interface " << i;
    EXPECT_THAT(bus.Sleeps(), ElementsAre(200));
}

TEST_F(ManagerTest, ProductStringRecordAdmitsOnlyThatStringButLendsNoTypeOrMode)
{
    sim::SimKeyboard alpha(kVendor, kKeyboardPid), other(kVendor, kKeyboardPid);
    bus.AddKeyboard(other, 64, L"Other", false);
    const int alphaPort = bus.AddKeyboard(alpha, 32, L"Alpha", false);
    manager->AddProduct(kVendor, kKeyboardPid, L"Alpha", 9, 1);

    Rescan();

    std::vector<ConnectedDevice*> list = Devices();
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(L"Alpha", list[0]->productString);
    EXPECT_EQ(0, list[0]->deviceType);      // no record without a product string
    EXPECT_EQ(0, list[0]->connectionMode);  // so a direct keyboard of type 0
    EXPECT_EQ(33, list[0]->outputReportLength);
    EXPECT_EQ(1, bus.OpenCount(alphaPort));

    // A record without a string for the same ids supplies type and mode.
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    Rescan();
    list = Devices();
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ(kType, list[0]->deviceType);
    EXPECT_EQ(kType, list[1]->deviceType);
}

TEST_F(ManagerTest, InterfaceThatFailsToOpenIsSkipped)
{
    sim::SimKeyboard keyboard(kVendor, kKeyboardPid);
    const int port = bus.AddKeyboard(keyboard, 64, L"", false);
    bus.Interface(port).openFails = true;
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    manager->EnumerateDevice();
    EXPECT_THAT(Devices(), IsEmpty());
    EXPECT_THAT(bus.Writes(), IsEmpty());
}

struct ReceiverCase
{
    const char* name;
    bool keyboardOnline;
    bool statusNamesKeyboard;
    bool answersProbe;
    std::vector<int> requests;  // commands the receiver sees, in order
    int type, online, battery;
    std::vector<int> sleeps;  // every pause of the enumeration
    std::vector<int> waits;   // time-outs of the reads on the receiver, in order
    uint16_t keyboardVendor = kVendor;
};

class ReceiverEnumerationTest : public HidFixture,
                                public ::testing::WithParamInterface<ReceiverCase>
{};

TEST_P(ReceiverEnumerationTest, AsksTheReceiverWhichKeyboardItServes)
{
    const ReceiverCase& c = GetParam();
    sim::SimKeyboard keyboard(c.keyboardVendor, kKeyboardPid);
    keyboard.SetBattery(70, 2);
    sim::SimReceiver receiver(keyboard);
    receiver.SetKeyboardOnline(c.keyboardOnline, false);
    receiver.SetNamesKeyboard(c.statusNamesKeyboard);
    receiver.SetAnswersProbe(c.answersProbe);
    const int port = bus.AddReceiver(receiver, kVendor, kReceiverPid, 32);
    manager->AddProduct(kVendor, kReceiverPid, L"", 0, 1);
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);

    manager->EnumerateDevice();

    std::vector<ConnectedDevice*> list = Devices();
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(1, list[0]->connectionMode);
    EXPECT_EQ(c.type, list[0]->deviceType);
    EXPECT_EQ(c.online, list[0]->online);
    EXPECT_EQ(c.battery, list[0]->battery);
    std::vector<int> commands;
    for (const sim::Request& r : receiver.Received()) {
        commands.push_back(r.Command());
        EXPECT_EQ(24, r.Length());  // the chunk size of a 32-byte interface
    }
    EXPECT_EQ(c.requests, commands);
    // 200 ms before the open, 10 ms before each receiver query; 1 ms for the drain
    // before a status request, 200 ms for every answer.
    EXPECT_EQ(c.sleeps, bus.Sleeps());
    EXPECT_EQ(c.waits, ReadWaits(port));
    EXPECT_THAT(receiver.Verify(), IsEmpty());
    EXPECT_THAT(TakeNotifications(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Receivers, ReceiverEnumerationTest,
    ::testing::Values(
        // The status names the keyboard: no probe needed.
        ReceiverCase{"StatusNamesKeyboard",
                     true,
                     true,
                     true,
                     {0xD0, 0x10, 0x30, 0x11},
                     kType,
                     1,
                     70,
                     {200, 10},
                     {1, 200, 200, 200, 200}},
        // Product id 0 while online: the probe reports vendor 0x4D2E and the product.
        ReceiverCase{"ProbeNamesKeyboard",
                     true,
                     false,
                     true,
                     {0xD0, 0x10, 0x10, 0x30, 0x11},
                     kType,
                     1,
                     70,
                     {200, 10, 10},
                     {1, 200, 200, 200, 200, 200}},
        // Neither names it: the second status request is asked too; type 0.
        ReceiverCase{"NobodyNamesKeyboard",
                     true,
                     false,
                     false,
                     {0xD0, 0x10, 0xD0, 0x10, 0x30, 0x11},
                     0,
                     1,
                     70,
                     {200, 10, 10},
                     {1, 200, 200, 1, 200, 200, 200, 200}},
        // The probe's answer counts only with vendor id 0x4D2E at bytes 9-10; one
        // that shares only its low byte is passed over for the status request.
        ReceiverCase{"ProbeOfAnotherVendorIsNotTrusted",
                     true,
                     false,
                     true,
                     {0xD0, 0x10, 0xD0, 0x10, 0x30, 0x11},
                     0,
                     1,
                     70,
                     {200, 10, 10},
                     {1, 200, 200, 1, 200, 200, 200, 200},
                     0x112E},
        // Keyboard offline: no probe, no battery.
        ReceiverCase{
            "KeyboardOffline", false, true, true, {0xD0}, kType, 0, 100, {200, 10}, {1, 200}}),
    [](const ::testing::TestParamInfo<ReceiverCase>& info) { return info.param.name; });

TEST_F(ManagerTest, QueriesOnANullHandleFail)
{
    int vid = 9, pid = 9, online = 1, battery = 5, charge = 6;
    EXPECT_FALSE(manager->QueryReceiver(nullptr, &vid, &pid, &online, 1));
    EXPECT_EQ(0, vid);
    EXPECT_EQ(0, pid);
    EXPECT_FALSE(manager->QueryBattery(nullptr, &battery, &charge));
    EXPECT_EQ(5, battery);
    EXPECT_EQ(6, charge);
}

TEST_F(ManagerTest, ReceiverWhoseStatusRequestCannotBeWrittenReportsFalse)
{
    sim::SimKeyboard keyboard(kVendor, kKeyboardPid);
    sim::SimReceiver receiver(keyboard);
    const int port = bus.AddReceiver(receiver, kVendor, kReceiverPid, 64);
    manager->AddProduct(kVendor, kReceiverPid, L"", 0, 1);
    hid_device* handle = bus.OpenPath(bus.PathOf(port).c_str());
    receiver.AddFault(sim::Fault::FailWrite, 0xD0);
    int vid = 0, pid = 0, online = 1;
    EXPECT_FALSE(manager->QueryReceiver(handle, &vid, &pid, &online, 0));
    EXPECT_TRUE(manager->QueryReceiver(handle, &vid, &pid, &online, 0));
    EXPECT_EQ(kVendor, vid);
    EXPECT_EQ(kKeyboardPid, pid);
    bus.Close(handle);
}

// ---- lookups and the current device -----------------------------------------------------

// Three model entries: a receiver (mode 1), a third-mode interface (mode 2) and the
// keyboard's own interface (mode 0), all of one device type, added in a chosen order.
class ChoiceTest : public ManagerTest
{
protected:
    // With `twinString`, a second keyboard of the direct one's ids (and so of its
    // mode) follows it, naming itself so.
    void Build(std::vector<int> modes, bool receiverOnline = true,
               const wchar_t* twinString = nullptr)
    {
        receiver.SetKeyboardOnline(receiverOnline, false);
        for (int mode : modes) {
            if (mode == 0) ports[0] = bus.AddKeyboard(direct, 64, L"", false);
            if (mode == 0 && twinString) bus.AddKeyboard(twin, 64, twinString, false);
            if (mode == 1) ports[1] = bus.AddReceiver(receiver, kVendor, kReceiverPid, 64);
            if (mode == 2) ports[2] = bus.AddKeyboard(third, 64, L"", false);
        }
        manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
        manager->AddProduct(kVendor, kReceiverPid, L"", kType, 1);
        manager->AddProduct(kVendor, 0x3001, L"", kType, 2);
        Rescan();
        manager->m_selectedDeviceType = kType;
    }

    // The interface a short command went to, and the pre-command delay it waited.
    std::pair<int, int> CommandGoesTo()
    {
        bus.ClearLog();
        Bytes command = sim::Payload(0x11);
        if (!manager->SendCommand(command.data())) return {-1, -1};
        EXPECT_EQ(1u, bus.Writes().size());
        EXPECT_EQ(1u, bus.Sleeps().size());
        return {bus.Writes()[0].interfaceIndex, bus.Sleeps()[0]};
    }

    sim::SimKeyboard direct{kVendor, kKeyboardPid};
    sim::SimKeyboard twin{kVendor, kKeyboardPid};
    sim::SimKeyboard behind{kVendor, kKeyboardPid};
    sim::SimKeyboard third{kVendor, 0x3001};
    sim::SimReceiver receiver{behind};
    int ports[3] = {-1, -1, -1};
};

TEST_F(ChoiceTest, DirectBeatsThirdModeBeatsReceiver)
{
    Build({1, 2, 0});
    EXPECT_EQ(0, manager->GetConnectionMode());
    EXPECT_EQ(std::make_pair(ports[0], 2), CommandGoesTo());
}

TEST_F(ChoiceTest, ThirdModeBeatsAReceiverForCommandsButRanksAfterItForTheMode)
{
    Build({1, 2});
    EXPECT_EQ(1, manager->GetConnectionMode());
    EXPECT_EQ(std::make_pair(ports[2], 2), CommandGoesTo());
}

TEST_F(ChoiceTest, OnlineReceiverWaitsSixMilliseconds)
{
    Build({1});
    EXPECT_EQ(std::make_pair(ports[1], 6), CommandGoesTo());
}

TEST_F(ChoiceTest, OfflineReceiverIsNeverChosen)
{
    Build({1}, false);
    EXPECT_EQ(1, manager->GetConnectionMode());
    EXPECT_EQ(std::make_pair(-1, -1), CommandGoesTo());
    EXPECT_THAT(bus.Writes(), IsEmpty());
}

TEST_F(ChoiceTest, CachedReceiverKeepsCommandsUntilTheCacheIsReset)
{
    Build({1});
    EXPECT_EQ(ports[1], CommandGoesTo().first);
    // The keyboard goes offline; the poll notices it.
    receiver.SetKeyboardOnline(false);
    unsigned char buffer[65] = {};
    int type = -1;
    ASSERT_TRUE(manager->GetDeviceNotify(buffer, &type));
    EXPECT_EQ(0, manager->GetOnlineState(kType, 1));
    EXPECT_EQ(ports[1], CommandGoesTo().first);
    manager->m_currentDevice = nullptr;
    EXPECT_EQ(-1, CommandGoesTo().first);
}

TEST_F(ChoiceTest, OtherTypesAreNotChosen)
{
    Build({0});
    manager->m_selectedDeviceType = kType + 1;
    EXPECT_EQ(-1, manager->GetConnectionMode());
    EXPECT_EQ(-1, CommandGoesTo().first);
    manager->m_selectedDeviceType = 0;  // all types
    EXPECT_EQ(ports[0], CommandGoesTo().first);
}

TEST_F(ChoiceTest, StateLookups)
{
    direct.SetBattery(64, 1);
    Build({0, 1}, false, L"Twin");
    EXPECT_EQ(1, manager->GetOnlineState(kType, 0));
    EXPECT_EQ(0, manager->GetOnlineState(kType, 1));
    EXPECT_EQ(-1, manager->GetOnlineState(kType, 2));
    EXPECT_EQ(-1, manager->GetOnlineState(kType + 1, 0));

    EXPECT_EQ(1, manager->GetOnlineStateById(kVendor, kKeyboardPid, L"", 0));
    EXPECT_EQ(0, manager->GetOnlineStateById(kVendor, kReceiverPid, nullptr, 1));
    EXPECT_EQ(-1, manager->GetOnlineStateById(kVendor, kKeyboardPid, L"Named", 0));
    EXPECT_EQ(-1, manager->GetOnlineStateById(kVendor, kKeyboardPid, L"", 1));
    // Two entries with the same ids and mode: the first one decides, even when
    // only the second one has the product string asked for.
    EXPECT_EQ(-1, manager->GetOnlineStateById(kVendor, kKeyboardPid, L"Twin", 0));

    int battery = -1, charge = -1;
    EXPECT_TRUE(manager->GetBattery(kType, 0, &battery, &charge));
    EXPECT_EQ(64, battery);
    EXPECT_EQ(1, charge);
    EXPECT_FALSE(manager->GetBattery(kType + 1, 0, &battery, &charge));
}

TEST_F(ManagerTest, GetDevicesCopiesAllOrAppendsTheSelectedType)
{
    std::vector<ConnectedDevice*> list(1, nullptr);
    EXPECT_FALSE(manager->GetDevices(list));
    EXPECT_EQ(1u, list.size());  // untouched
    EXPECT_EQ(-1, manager->GetConnectionMode());

    sim::SimKeyboard a(kVendor, kKeyboardPid), b(kVendor, 0x1002);
    bus.AddKeyboard(a, 64, L"", false);
    bus.AddKeyboard(b, 64, L"", false);
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    manager->AddProduct(kVendor, 0x1002, L"", kType + 1, 0);
    Rescan();

    ASSERT_TRUE(manager->GetDevices(list));
    ASSERT_EQ(2u, list.size());  // replaced by a copy of all entries
    EXPECT_EQ(kType, list[0]->deviceType);

    manager->m_selectedDeviceType = kType + 1;
    ASSERT_TRUE(manager->GetDevices(list));
    ASSERT_EQ(3u, list.size());  // the selected type appended
    EXPECT_EQ(kType + 1, list[2]->deviceType);
}

TEST_F(ManagerTest, CloseAllClosesOnceAndOnlyAfterARescan)
{
    sim::SimKeyboard a(kVendor, kKeyboardPid), b(kVendor, kKeyboardPid);
    bus.AddKeyboard(a, 64);
    bus.AddKeyboard(b, 32);
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);

    manager->EnumerateDevice();  // opened flag still 0
    manager->CloseAll();
    EXPECT_EQ(0, bus.CloseCount());
    EXPECT_EQ(2u, Devices().size());

    manager->m_opened = 1;
    ASSERT_NE(nullptr, manager->GetCurrentDevice());
    manager->CloseAll();
    EXPECT_EQ(2, bus.CloseCount());
    EXPECT_EQ(0, manager->m_opened);
    EXPECT_THAT(Devices(), IsEmpty());
    EXPECT_EQ(nullptr, manager->m_currentDevice.load());  // no dangling handle
    manager->CloseAll();
    EXPECT_EQ(2, bus.CloseCount());

    Bytes command = sim::Payload(0x10);
    EXPECT_FALSE(manager->SendCommand(command.data()));
}

TEST_F(ManagerTest, DestructionClosesEverythingAndShutsTheStackDown)
{
    sim::SimKeyboard a(kVendor, kKeyboardPid);
    bus.AddKeyboard(a, 64);
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    manager->EnumerateDevice();
    EXPECT_EQ(1, bus.InitCount());
    EXPECT_EQ(1, bus.OpenHandles());
    manager.reset();
    EXPECT_EQ(0, bus.OpenHandles());
    EXPECT_EQ(1, bus.ExitCount());
}

// ---- notification poll -----------------------------------------------------------------------

class NotifyPollTest : public HidFixture
{
protected:
    void Build(bool namesKeyboard)
    {
        keyboard.SetBattery(91, 1);
        receiver.SetNamesKeyboard(namesKeyboard);
        bus.AddKeyboard(cable, 64, L"", false);
        port = bus.AddReceiver(receiver, kVendor, kReceiverPid, 64);
        manager->AddProduct(kVendor, kReceiverPid, L"", 0, 1);
        manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
        Rescan();
        receiver.ClearLog();
    }

    ConnectedDevice* ReceiverEntry()
    {
        for (ConnectedDevice* d : Devices())
            if (d->connectionMode == 1) return d;
        return nullptr;
    }

    sim::SimKeyboard cable{kVendor, 0x0FFF};  // another model's keyboard, not a receiver
    sim::SimKeyboard keyboard{kVendor, kKeyboardPid};
    sim::SimReceiver receiver{keyboard};
    int port = -1;
};

TEST_F(NotifyPollTest, NoReceiverMeansNoRead)
{
    sim::SimKeyboard a(kVendor, kKeyboardPid);
    bus.AddKeyboard(a, 64);
    manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
    Rescan();
    unsigned char buffer[65] = {};
    int type = -1;
    EXPECT_FALSE(manager->GetDeviceNotify(buffer, &type));
    EXPECT_THAT(bus.Reads(), IsEmpty());
    EXPECT_EQ(-1, type);
}

TEST_F(NotifyPollTest, OfflineNotificationUpdatesTheReceiverWithoutPosting)
{
    Build(true);
    receiver.SetKeyboardOnline(false);
    unsigned char buffer[65] = {};
    int type = -1;
    ASSERT_TRUE(manager->GetDeviceNotify(buffer, &type));
    EXPECT_EQ(kType, type);
    EXPECT_EQ(0xD0, buffer[1]);
    ConnectedDevice* entry = ReceiverEntry();
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(0, entry->online);
    EXPECT_EQ(kType, entry->deviceType);
    EXPECT_THAT(ReadWaits(port), ElementsAre(5));
    EXPECT_THAT(receiver.Received(), IsEmpty());  // nothing asked
    EXPECT_THAT(TakeNotifications(), IsEmpty());
    // Nothing more pending.
    EXPECT_FALSE(manager->GetDeviceNotify(buffer, &type));
}

TEST_F(NotifyPollTest, OnlineNotificationWithoutProductAsksTheReceiver)
{
    Build(false);
    receiver.SetKeyboardOnline(false, false);
    ConnectedDevice* entry = ReceiverEntry();
    ASSERT_NE(nullptr, entry);
    entry->online = 0;
    entry->deviceType = 0;
    receiver.SetKeyboardOnline(true);  // "online", product id 0
    unsigned char buffer[65] = {};
    int type = -1;
    ASSERT_TRUE(manager->GetDeviceNotify(buffer, &type));
    EXPECT_EQ(kType, type);
    EXPECT_EQ(1, entry->online);
    EXPECT_EQ(kType, entry->deviceType);
    EXPECT_EQ(91, entry->battery);
    EXPECT_EQ(1, entry->charge);
    std::vector<int> commands;
    for (const sim::Request& r : receiver.Received()) commands.push_back(r.Command());
    EXPECT_THAT(commands, ElementsAre(0x10, 0x10, 0x30, 0x11));
    EXPECT_THAT(receiver.Verify(), IsEmpty());
}

TEST_F(NotifyPollTest, OtherReportIsLeftForTheCaller)
{
    Build(true);
    receiver.PushInput(Bytes{0x01, 0x02, 0x03});
    unsigned char buffer[65];
    memset(buffer, 0xCC, sizeof buffer);
    int type = -1;
    ASSERT_TRUE(manager->GetDeviceNotify(buffer, &type));
    EXPECT_EQ(-1, type);
    EXPECT_EQ(0x01, buffer[0]);
    EXPECT_EQ(0x03, buffer[2]);
    EXPECT_EQ(0, buffer[40]);
    EXPECT_EQ(1, ReceiverEntry()->online);
}

}  // namespace
}  // namespace hidtest
