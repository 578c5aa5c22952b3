// The simulated keyboard of every model, reached through the device manager with
// the product table that config.xml gives: each keyboard and receiver is found with
// its device type and connection mode, and its blocks read and write on its own
// report size.
#include <memory>

#include "DataFiles.h"
#include "SimKeyboard.h"
#include "services/hid/HidDeviceManager.h"

namespace datatest {
namespace {

// The product table as the device list fills it from config.xml.
void AddProductsFromConfig(HidDeviceManager& manager)
{
    XmlDocument doc;
    ASSERT_TRUE(LoadXml(ExeFolder() + L"config.xml", doc));
    doc.FindElement(L"config");
    doc.EnterElement();
    doc.FindElement(L"device.info");
    doc.EnterElement();
    while (doc.FindElement(L"keyboard")) {
        const int type = Decimal(doc.GetAttribute(L"device_type"));
        doc.EnterElement();
        while (doc.FindElement(L"mode")) {
            manager.AddProduct(Hex(doc.GetAttribute(L"vid")), Hex(doc.GetAttribute(L"pid")),
                               doc.GetAttribute(L"product_name").c_str(), type,
                               Decimal(doc.GetAttribute(L"value")));
        }
        doc.LeaveElement();
    }
}

TEST(SimulatedModels, EveryKeyboardAndReceiverIsFoundAsConfigured)
{
    sim::SimHidBus bus;
    std::vector<std::unique_ptr<sim::SimKeyboard>> keyboards;
    std::vector<std::unique_ptr<sim::SimReceiver>> receivers;
    for (const sim::SimModel& model : sim::Models()) {
        keyboards.emplace_back(new sim::SimKeyboard(model));
        bus.AddModel(*keyboards.back());
        if (model.HasReceiver()) {
            receivers.emplace_back(new sim::SimReceiver(*keyboards.back()));
            bus.AddModelReceiver(*receivers.back());
        }
    }
    HidDeviceManager manager(bus);
    AddProductsFromConfig(manager);
    manager.EnumerateDevice();
    std::vector<ConnectedDevice*> devices;
    ASSERT_TRUE(manager.GetDevices(devices));
    for (const sim::SimModel& model : sim::Models()) {
        SCOPED_TRACE(model.name);
        EXPECT_EQ(1, manager.GetOnlineState(model.deviceType, 0));
        EXPECT_EQ(model.HasReceiver() ? 1 : -1, manager.GetOnlineState(model.deviceType, 1));
        int battery = 0, charge = 0;
        EXPECT_TRUE(manager.GetBattery(model.deviceType, 0, &battery, &charge));
        EXPECT_EQ(model.battery ? 87 : 0, battery);
    }
    for (auto& k : keyboards) EXPECT_TRUE(k->Verify().empty()) << k->Verify()[0];
}

class ModelBlocks : public ::testing::TestWithParam<sim::SimModel>
{};

TEST_P(ModelBlocks, CapabilitySettingsAndKeyTablesTravelOnTheModelsReportSize)
{
    const sim::SimModel& model = GetParam();
    sim::SimHidBus bus;
    sim::SimKeyboard keyboard(model);
    const int port = bus.AddModel(keyboard);
    EXPECT_EQ(model.reportBytes + 1, bus.Interface(port).outputLength);
    HidDeviceManager manager(bus);
    manager.AddProduct(model.vendorId, model.productId, L"", model.deviceType, 0);
    manager.EnumerateDevice();
    manager.m_selectedDeviceType = model.deviceType;

    uint8_t capability[128] = {};
    ASSERT_TRUE(manager.TransferData(0x12, capability, 56));
    EXPECT_EQ(model.generation, capability[8]);
    EXPECT_EQ(model.matrix && model.generation >= 2, capability[31] != 0);
    EXPECT_EQ(model.lightBars > 0, capability[19] == 1);

    // A settings write (0x15) is what the next read (0x14) answers with.
    uint8_t settings[64] = {};
    ASSERT_TRUE(manager.TransferData(0x14, settings, 64));
    EXPECT_EQ(sim::SettingsBlock(model), sim::Bytes(settings, settings + 64));
    settings[39] = 1;  // Mac mode (generation 2) or a byte the first generation leaves alone
    ASSERT_TRUE(manager.TransferData(0x15, settings, 64));
    uint8_t again[64] = {};
    ASSERT_TRUE(manager.TransferData(0x14, again, 64));
    EXPECT_EQ(1, again[39]);

    // The current key table starts as the default one and takes a single key's write.
    uint8_t table[600] = {};
    ASSERT_TRUE(manager.TransferData(0x1A, table, 384));
    EXPECT_EQ(sim::DefaultKeyTable(model), sim::Bytes(table, table + 384));
    const int index = model.keys[0].keyIndex;
    uint8_t command[64] = {0xAA, 0x1B, uint8_t(3 * index), uint8_t((3 * index) >> 8), 3};
    command[8] = 0x30, command[9] = 0xE9;  // volume up
    ASSERT_TRUE(manager.SendCommand(command));
    EXPECT_EQ(0x30, keyboard.Block(0x1A)[size_t(3 * index)]);
    EXPECT_EQ(0x10, keyboard.Block(0x16)[size_t(3 * index)]) << "the default table is kept";
    EXPECT_TRUE(keyboard.Verify().empty()) << keyboard.Verify()[0];
}

INSTANTIATE_TEST_SUITE_P(Models, ModelBlocks, ::testing::ValuesIn(sim::Models()),
                         [](const ::testing::TestParamInfo<sim::SimModel>& info) {
                             return std::string(info.param.layout);
                         });

}  // namespace
}  // namespace datatest
