// Model names and layout names of config.xml that cannot be plain file names:
// such a model is left out with its modes, the others load, and nothing
// outside the program's data folder and registry key is created, changed or
// deleted, whether the model is loaded, selected or its keyboard connected.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "CDeviceList.h"
#include "MainWindowHarness.h"
#include "OutsideSnapshot.h"
#include "SimKeyboardModels.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace {

using testutil::MainWindowHarness;
using testutil::OutsideSnapshot;

struct NameCase
{
    const wchar_t* value;
    bool plain;
};

// Every form of name that must not become part of a path, and names that must.
const NameCase kNames[] = {
    {L"..\\..\\..\\Escape", false},
    {L"../../../Escape", false},
    {L"..", false},
    {L"..\\..\\..\\..\\config", false},
    {L"C:\\Escape", false},
    {L"C:Escape", false},
    {L"\\Escape", false},
    {L"CON", false},
    {L"nul.txt", false},
    {L"COM1", false},
    {L"LPT1.db", false},
    {L"a\\b", false},
    {L"a/b", false},
    {L"a:b", false},
    {L"tab\there", false},
    {L"", false},
    {L"Escape.", false},
    {L"Escape ", false},
    {L"*", false},
    {L"Kestrova-K87", true},
    {L"kestrova_k87", true},
    {L"K87 (2.4G) v1.0", true},
};

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += (c >= 32 && c < 127) ? char(c) : '?';
    return out;
}

// The value as an XML attribute (ASCII names only).
std::string XmlAttribute(const std::wstring& value)
{
    std::string out;
    for (wchar_t c : value) {
        if (c == L'&')
            out += "&amp;";
        else if (c == L'<')
            out += "&lt;";
        else if (c == L'>')
            out += "&gt;";
        else if (c == L'"')
            out += "&quot;";
        else if (c < 32)
            out += "&#" + std::to_string(int(c)) + ";";
        else
            out += char(c);
    }
    return out;
}

std::string ReadFile(const std::wstring& path)
{
    std::string bytes;
    FILE* in = _wfopen(path.c_str(), L"rb");
    if (!in) return bytes;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), in)) > 0;) bytes.append(buffer, n);
    fclose(in);
    return bytes;
}

// The shipped config.xml with one attribute of the Kestrova-K87 model changed.
std::wstring ConfigWith(const std::string& attribute, const std::wstring& value)
{
    std::string config = ReadFile(GetExeFolder() + L"config.xml");
    const std::string original =
        attribute == "name" ? "name=\"Kestrova-K87\"" : "device_info=\"kestrova_k87\"";
    const size_t at = config.find(original);
    if (at == std::string::npos) return L"";
    config.replace(at, original.size(), attribute + "=\"" + XmlAttribute(value) + "\"");
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"kestrova_names_config.xml";
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return L"";
    fwrite(config.data(), 1, config.size(), out);
    fclose(out);
    return path;
}

// Loads the changed config.xml with a K87 keyboard connected, selects the
// model as a card pick would, and checks what was loaded and that nothing
// outside the program's own places changed.
void RunWith(const std::string& attribute, const NameCase& c)
{
    SCOPED_TRACE(attribute + " \"" + Narrow(c.value) + "\"");
    const std::wstring config = ConfigWith(attribute, c.value);
    ASSERT_FALSE(config.empty());
    {
        MainWindowHarness h;
        sim::SimKeyboard k87(sim::Model("Kestrova-K87"));
        h.Bus().AddModel(k87);
        const OutsideSnapshot before;
        h.Dlg().m_configFile = config;
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
        h.Settle();
        KeyboardDlg& dlg = h.Dlg();

        // The other models load as shipped; the changed one only when its
        // name can be a plain file name.
        const auto& models = sim::Models();
        size_t k87Entries = 0, k87Modes = 0;
        for (const DeviceEntry& entry : dlg.m_keyboards) k87Entries += entry.deviceType == 101;
        for (const DeviceEntry& mode : dlg.m_deviceModes) k87Modes += mode.deviceType == 101;
        EXPECT_EQ(k87Entries, c.plain ? 1u : 0u);
        EXPECT_EQ(k87Modes, c.plain ? 1u : 0u);
        EXPECT_EQ(dlg.m_keyboards.size(), models.size() - (c.plain ? 0 : 1));
        EXPECT_EQ(dlg.m_deviceModes.size(), c.plain ? 7u : 6u);
        ASSERT_NE(dlg.DeviceList(), nullptr);
        EXPECT_EQ(dlg.DeviceList()->GetItemCount(), int(dlg.m_keyboards.size()));
        for (const DeviceEntry& entry : dlg.m_keyboards) {
            if (entry.deviceType != 101) continue;
            EXPECT_EQ(attribute == "name" ? entry.name : entry.layoutName, c.value);
        }
        if (c.plain && attribute == "name") {
            EXPECT_EQ(dlg.m_modelName, c.value);
            EXPECT_EQ(
                GetFileAttributesW((GetDataFolder() + L"db\\" + c.value + L"_data_2.db").c_str()) ==
                    INVALID_FILE_ATTRIBUTES,
                false);
        }

        // Picking the model again, as the device list does.
        dlg.SelectDevice(101);
        h.Pump(50);
        h.Stop();
        DeviceDataDB::Instance()->CloseDevice();
        EXPECT_EQ(before.ChangesSince(), std::vector<std::wstring>{});
    }
    DeleteFileW(config.c_str());
}

TEST(DeviceConfigNames, AModelNameThatIsNoPlainFileNameLeavesTheModelOut)
{
    for (const NameCase& c : kNames) RunWith("name", c);
}

TEST(DeviceConfigNames, ALayoutNameThatIsNoPlainFileNameLeavesTheModelOut)
{
    for (const NameCase& c : kNames) RunWith("device_info", c);
}

}  // namespace
