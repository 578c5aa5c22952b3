// config.xml: read in the order the program reads it, and consistent with the
// keyboard models of the simulated keyboard and with the layout files.
#include <set>
#include <utility>

#include "DataFiles.h"
#include "SimKeyboardModels.h"

namespace datatest {
namespace {

struct ModeEntry
{
    int value, vid, pid;
    std::wstring desc, productName, hidInterface;
};

struct KeyboardEntry
{
    std::wstring name, layout, connected, disconnected;
    int deviceType;
    std::vector<ModeEntry> modes;
};

struct Config
{
    std::vector<KeyboardEntry> keyboards;
    int defaultLanguage = 0;
    std::vector<int> languages;
    std::wstring softwareName, version;
    std::vector<std::pair<std::wstring, std::wstring>> links;  // element, url
};

// Walks the file the way start-up and the device list read it: each element is
// looked up after the one before it.
Config ReadConfig()
{
    Config config;
    XmlDocument doc;
    if (!LoadXml(ExeFolder() + L"config.xml", doc)) return config;
    EXPECT_TRUE(doc.FindElement(L"config"));
    EXPECT_TRUE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement(L"device.info"));
    doc.EnterElement();
    while (doc.FindElement(L"keyboard")) {
        KeyboardEntry k;
        k.name = doc.GetAttribute(L"name");
        k.deviceType = Decimal(doc.GetAttribute(L"device_type"));
        k.layout = doc.GetAttribute(L"device_info");
        k.connected = doc.GetAttribute(L"img_connected");
        k.disconnected = doc.GetAttribute(L"img_disconnected");
        doc.EnterElement();
        while (doc.FindElement(L"mode")) {
            k.modes.push_back({Decimal(doc.GetAttribute(L"value")), Hex(doc.GetAttribute(L"vid")),
                               Hex(doc.GetAttribute(L"pid")), doc.GetAttribute(L"desc"),
                               doc.GetAttribute(L"product_name"),
                               doc.GetAttribute(L"hid_interface")});
        }
        doc.LeaveElement();
        config.keyboards.push_back(k);
    }
    doc.LeaveElement();
    EXPECT_TRUE(doc.FindElement(L"language.info"));
    config.defaultLanguage = Decimal(doc.GetAttribute(L"default_lan"));
    doc.EnterElement();
    while (doc.FindElement(L"lan")) config.languages.push_back(Decimal(doc.GetAttribute(L"value")));
    doc.LeaveElement();
    EXPECT_TRUE(doc.FindElement(L"software"));
    config.softwareName = doc.GetAttribute(L"name");
    config.version = doc.GetAttribute(L"version");
    doc.EnterElement();
    for (const wchar_t* link : {L"website", L"feedback", L"faqs", L"store", L"upgrade"}) {
        EXPECT_TRUE(doc.FindElement(link)) << Narrow(link) << " missing or out of order";
        config.links.push_back({link, doc.GetAttribute(L"url")});
    }
    return config;
}

TEST(ConfigXml, SoftwareLanguagesAndLinksInTheOrderTheyAreRead)
{
    const Config config = ReadConfig();
    EXPECT_EQ(L"Kestrova", config.softwareName);
    EXPECT_FALSE(config.version.empty());
    EXPECT_EQ((std::vector<int>{2052, 1033, 1028}), config.languages);
    EXPECT_EQ(1033, config.defaultLanguage);
    ASSERT_EQ(5u, config.links.size());
    for (const auto& link : config.links) {
        SCOPED_TRACE(Narrow(link.first));
        EXPECT_EQ(0u, link.second.find(L"https://")) << Narrow(link.second);
        // Only reserved example names: nothing here may reach a real server.
        const std::wstring host = link.second.substr(8, link.second.find(L'/', 8) - 8);
        EXPECT_TRUE(host == L"example.com" ||
                    (host.size() > 12 && host.substr(host.size() - 12) == L".example.com"))
            << Narrow(host);
    }
    const std::wstring upgrade = config.links[4].second;
    const std::wstring tail = L"software-upgrade/";
    ASSERT_GE(upgrade.size(), tail.size());
    EXPECT_EQ(tail, upgrade.substr(upgrade.size() - tail.size()));
}

TEST(ConfigXml, ModelsMatchTheSimulatedKeyboards)
{
    const Config config = ReadConfig();
    const std::vector<sim::SimModel>& models = sim::Models();
    ASSERT_EQ(models.size(), config.keyboards.size());
    std::set<int> types;
    std::set<std::pair<int, int>> ids;
    for (size_t i = 0; i < models.size(); ++i) {
        const sim::SimModel& m = models[i];
        const KeyboardEntry& k = config.keyboards[i];
        SCOPED_TRACE(m.name);
        EXPECT_EQ(m.name, Narrow(k.name));
        EXPECT_EQ(m.deviceType, k.deviceType);
        EXPECT_EQ(m.layout, Narrow(k.layout));
        EXPECT_TRUE(types.insert(k.deviceType).second) << "device type used twice";
        EXPECT_FALSE(k.connected.empty());
        EXPECT_FALSE(k.disconnected.empty());
        ASSERT_EQ(m.HasReceiver() ? 2u : 1u, k.modes.size());
        for (const ModeEntry& mode : k.modes) {
            const bool receiver = mode.value == 1;
            EXPECT_EQ(receiver ? m.receiverVendorId : m.vendorId, mode.vid);
            EXPECT_EQ(receiver ? m.receiverProductId : m.productId, mode.pid);
            // An interface found through a record with a product string takes its device
            // type and mode from a record of the same ids without one, and there is none:
            // such a keyboard would be typed 0 and never found. So no mode names a string.
            EXPECT_EQ(L"", mode.productName);
            // Wine's own virtual HID devices use vendor 0x845E.
            EXPECT_NE(0x845E, mode.vid);
            EXPECT_TRUE(ids.insert({mode.vid, mode.pid}).second) << "ids used twice";
            // The device-interface path is compared upper-cased.
            wchar_t expected[40];
            swprintf(expected, 40, L"VID_%04X&PID_%04X&MI_", mode.vid, mode.pid);
            EXPECT_EQ(0u, mode.hidInterface.find(expected)) << Narrow(mode.hidInterface);
        }
        EXPECT_EQ(0, k.modes[0].value);
        if (m.HasReceiver()) {
            EXPECT_EQ(1, k.modes[1].value);
        }
    }
}

TEST(ConfigXml, TheModelsCoverEveryFeature)
{
    bool cableOnly = false, receiverWithBattery = false, lcd = false, matrix = false,
         lightBars102 = false, strips101 = false, noLighting = false, report32 = false,
         report64 = false;
    for (const sim::SimModel& m : sim::Models()) {
        cableOnly |= !m.HasReceiver();
        receiverWithBattery |= m.HasReceiver() && m.battery;
        lcd |= m.lcd;
        matrix |= m.matrix && m.deviceType == 102 && m.generation >= 2;
        lightBars102 |= m.deviceType == 102 && m.lightBars == 27;
        strips101 |= m.deviceType == 101 && m.lightBars == 42;
        noLighting |= m.deviceType >= 150 && m.deviceType <= 180;
        report32 |= m.reportBytes == 32;
        report64 |= m.reportBytes == 64;
    }
    EXPECT_TRUE(cableOnly && receiverWithBattery && lcd && matrix && lightBars102 && strips101 &&
                noLighting && report32 && report64);
}

TEST(ConfigXml, EveryFileItNamesIsBesideTheProgram)
{
    const Config config = ReadConfig();
    int width = 0, height = 0;
    for (const KeyboardEntry& k : config.keyboards) {
        EXPECT_TRUE(FileExists(ExeFolder() + L"layouts\\" + k.layout + L".xml"))
            << Narrow(k.layout);
        // Device card pictures, in the "device" folder.
        for (const std::wstring& picture : {k.connected, k.disconnected})
            EXPECT_TRUE(PngSize(ExeFolder() + L"device\\" + picture, width, height))
                << Narrow(picture);
    }
    // The stock animation of the LCD model's screen slot.
    for (const sim::SimModel& m : sim::Models()) {
        if (!m.lcd) continue;
        const std::string name = m.name;
        EXPECT_TRUE(FileExists(ExeFolder() + L"gif\\" + std::wstring(name.begin(), name.end()) +
                               L"\\0.gif"))
            << name;
    }
    for (int language : config.languages) {
        EXPECT_TRUE(FileExists(ExeFolder() + L"language\\" + std::to_wstring(language) + L".lan"))
            << language;
    }
}

}  // namespace
}  // namespace datatest
