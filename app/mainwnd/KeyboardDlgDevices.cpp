// KeyboardDlg: the keyboard models of config.xml, the scan and connect steps,
// hot-plug and the keyboards' notifications.
#include <windows.h>
// (windows.h first: the device-change header needs its types)
#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "CDeviceList.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/AppEnvironment.h"
#include "services/SafePaths.h"
#include "services/TraceLog.h"
#include "services/hid/HidDeviceManager.h"
#include "services/xml/XmlDocument.h"

namespace {

// The device-interface class of HID devices.
const GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

int HexOf(const std::wstring& text)
{
    return int(wcstol(text.c_str(), nullptr, 16));
}

int RegistryDeviceType(bool write, int value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SoftwareRegistryKey().c_str(), 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return 0;
    int result = 0;
    if (write) {
        wchar_t text[16];
        swprintf(text, 16, L"%d", value);
        RegSetValueExW(key, L"DeviceType", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       DWORD((wcslen(text) + 1) * sizeof(wchar_t)));
    } else {
        wchar_t buffer[256] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        RegQueryValueExW(key, L"DeviceType", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size);
        buffer[255] = 0;
        result = _wtoi(buffer);
    }
    RegCloseKey(key);
    return result;
}

}  // namespace

int ReadDeviceTypeSetting()
{
    return RegistryDeviceType(false, 0);
}

void WriteDeviceTypeSetting(int value)
{
    RegistryDeviceType(true, value);
}

void KeyboardDlg::LoadDeviceConfig()
{
    int stored = ReadDeviceTypeSetting();
    if (stored < 100) stored = 101;
    m_keyboards.clear();
    m_deviceModes.clear();
    WEXA::CDeviceList* list = DeviceList();
    if (list) list->ClearList();
    std::wstring exe = GetExeFolder();
    const std::wstring file = m_configFile.empty() ? exe + L"config.xml" : m_configFile;
    XmlDocument doc;
    if (doc.Load(file.c_str()) && doc.FindElement(L"config") && doc.EnterElement()) {
        HidDeviceManager& manager = HidDeviceManager::Instance();
        if (doc.FindElement(L"device.info") && doc.EnterElement()) {
            while (doc.FindElement(L"keyboard")) {
                DeviceEntry entry;
                entry.name = doc.GetAttribute(L"name");
                entry.deviceType = _wtoi(doc.GetAttribute(L"device_type").c_str());
                entry.layoutName = doc.GetAttribute(L"device_info");
                entry.imageConnected = exe + L"device\\" + doc.GetAttribute(L"img_connected");
                entry.imageDisconnected = exe + L"device\\" + doc.GetAttribute(L"img_disconnected");
                // The model name names the database file and the LCD folder, the
                // layout name the layout file: a model whose names cannot be
                // plain file names is left out with its modes.
                if (!IsPlainFileName(entry.name) || !IsPlainFileName(entry.layoutName)) {
                    TraceLog(1,
                             "config.xml: keyboard \"%ls\" (layout \"%ls\") left out: "
                             "no plain file name",
                             entry.name.c_str(), entry.layoutName.c_str());
                    continue;
                }
                m_keyboards.push_back(entry);
                if (list)
                    list->AddDevice(entry.name.c_str(), entry.deviceType,
                                    entry.imageDisconnected.c_str(), entry.imageConnected.c_str());
                if (!doc.EnterElement()) continue;
                while (doc.FindElement(L"mode")) {
                    entry.connectionMode = _wtoi(doc.GetAttribute(L"value").c_str());
                    entry.description = doc.GetAttribute(L"desc");
                    entry.vendorId = HexOf(doc.GetAttribute(L"vid"));
                    entry.productId = HexOf(doc.GetAttribute(L"pid"));
                    entry.name = doc.GetAttribute(L"product_name");
                    entry.hidInterface = doc.GetAttribute(L"hid_interface");
                    m_deviceModes.push_back(entry);
                    manager.AddProduct(entry.vendorId, entry.productId, entry.name.c_str(),
                                       entry.deviceType, entry.connectionMode);
                }
                doc.LeaveElement();
            }
            doc.LeaveElement();
        }
        doc.FindElement(L"language.info");
        if (doc.FindElement(L"software")) {
            m_softwareVersion = doc.GetAttribute(L"version");
            if (auto* label = CtlAs<WEXA::MControlFont>(433)) {
                CString text;
                text.Format(L"%s: %s", static_cast<const wchar_t*>(LangText(517)),
                            m_softwareVersion.c_str());
                label->SetTitle(text);
            }
            if (doc.EnterElement()) {
                struct Link
                {
                    const wchar_t* element;
                    std::wstring* url;
                };
                const Link links[] = {{L"website", &m_websiteUrl},
                                      {L"feedback", &m_feedbackUrl},
                                      {L"faqs", &m_faqsUrl},
                                      {L"store", &m_storeUrl},
                                      {L"upgrade", &m_upgradeUrl}};
                for (const Link& link : links) {
                    // Each link is looked for among all children of "software".
                    doc.LeaveElement();
                    doc.EnterElement();
                    if (doc.FindElement(link.element)) *link.url = doc.GetAttribute(L"url");
                }
                doc.LeaveElement();
            }
        }
    }
    Show(43, !m_websiteUrl.empty());
    Show(436, !m_websiteUrl.empty());
    Show(437, !m_feedbackUrl.empty());
    Show(438, !m_faqsUrl.empty());
    m_listSelectedType = stored;
    if (list) {
        list->SetSelectDevice(stored);
        m_selectedCardIndex = list->GetSelectItem();
    }
    SelectDevice(stored);
    RegisterHidNotification();
}

void KeyboardDlg::RegisterHidNotification()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    RegisterDeviceNotificationW(GetSafeHwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

WEXA::CDeviceList* KeyboardDlg::DeviceList()
{
    return static_cast<WEXA::CDeviceList*>(Ctl(81));
}

int KeyboardDlg::SelectedCardDeviceType()
{
    if (WEXA::CDeviceList* list = DeviceList()) return list->GetSelectDevice();
    return m_listSelectedType;
}

int KeyboardDlg::SelectedCardIndex()
{
    if (WEXA::CDeviceList* list = DeviceList()) return list->GetSelectItem();
    for (size_t i = 0; i < m_keyboards.size(); ++i)
        if (m_keyboards[i].deviceType == m_listSelectedType) return int(i);
    return -1;
}

void KeyboardDlg::ScanDevices(int, int)
{
    WEXA::MControl* settings = Ctl(79);
    if (settings && settings->IsVisible()) {
        Show(79, false);
        ShowIds({39, 40, 42, 45, 46, 47}, true);
    }
    m_deviceConnected = false;
    HidDeviceManager& manager = HidDeviceManager::Instance();
    manager.m_currentDevice = nullptr;
    manager.CloseAll();
    manager.EnumerateDevice();
    manager.m_opened = 1;
    manager.m_busy = 0;
    int stored = ReadDeviceTypeSetting();
    manager.m_selectedDeviceType = 0;
    manager.m_currentDevice = nullptr;
    std::vector<ConnectedDevice*> open;
    manager.GetDevices(open);
    // The selection: the online model of the stored type, else the first online one.
    bool storedOnline = false;
    int firstOnline = 0;
    for (const ConnectedDevice* device : open) {
        if (!device->online) continue;
        if (device->deviceType == stored) storedOnline = true;
        if (!firstOnline) firstOnline = device->deviceType;
    }
    if (storedOnline)
        m_listSelectedType = stored;
    else if (firstOnline)
        m_listSelectedType = firstOnline;
    if (WEXA::CDeviceList* list = DeviceList()) {
        list->SetAllDeviceState(0);
        for (const ConnectedDevice* device : open) {
            list->SetDeviceState(device->deviceType, device->connectionMode, device->online);
            list->SetDeviceBattery(device->deviceType, device->connectionMode, device->battery,
                                   device->charge);
        }
        list->SetSelectDevice(stored);
        m_listSelectedType = list->GetSelectDevice();
    }
    for (DeviceEntry& mode : m_deviceModes) {
        int state = manager.GetOnlineStateById(mode.vendorId, mode.productId, mode.name.c_str(),
                                               mode.connectionMode);
        mode.connected = state >= 0;
        if (state == 1) m_deviceConnected = true;
    }
    if (m_listSelectedType) WriteDeviceTypeSetting(m_listSelectedType);
    m_devicePresent = !open.empty();
}

void KeyboardDlg::ConnectSelectedDevice()
{
    CloseSecondaryWindows();
    if (!m_devicePresent) {
        m_connectionMode = -1;
        ShowKeyboardView(false);
        return;
    }
    HidDeviceManager& manager = HidDeviceManager::Instance();
    int type = SelectedCardDeviceType();
    manager.m_selectedDeviceType = type;
    manager.m_currentDevice = nullptr;
    WriteDeviceTypeSetting(type);
    SelectDevice(type);
    m_selectedCardIndex = SelectedCardIndex();
    int mode = manager.GetConnectionMode();
    m_connectionMode = mode;
    if (mode == 1 || mode == 2)
        m_deviceConnected = manager.GetOnlineState(type, mode) != 0;
    else
        m_deviceConnected = mode != -1;
    ShowKeyboardView(m_deviceConnected);
    if (!m_deviceConnected) return;
    m_connecting = true;
    WEXA::MTabCtrl* tab = MainTab();
    int position = m_currentTab;
    if (type >= 150 && type <= 180 && position >= 1 && position <= 3) position = 4;
    if (type == 101) {
        const bool wireless = mode == 1 || mode == 2;
        if (tab) tab->SetItemVisible(3, wireless ? 0 : 1);
        if (wireless && position == 3) position = 1;
    }
    if (tab && !tab->GetItemVisible(position)) position = 1;
    m_currentTab = position;
    m_connecting = false;
}

void KeyboardDlg::ShowKeyboardView(bool connected)
{
    if (connected) {
        Show(80, false);
        Show(81, true);
        return;
    }
    // No keyboard: the home page with its caption and animation alone.
    ShowIds({68, 35, 46, 81, 47}, false);
    Show(80, true);
    SelectMainTab(0);
    Show(31, true);
}

void KeyboardDlg::UpdateUSBDevice(const DEV_BROADCAST_DEVICEINTERFACE_W* record, UINT_PTR event)
{
    if (!record) return;
    OutputDebugStringA("UpdateUSBDevice \n");
    std::wstring path = record->dbcc_name;
    std::wstring upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](wchar_t c) { return wchar_t(towupper(c)); });
    if (event == DBT_DEVICEARRIVAL) {
        for (const DeviceEntry& mode : m_deviceModes) {
            if (mode.hidInterface.empty() || upper.find(mode.hidInterface) == std::wstring::npos)
                continue;
            m_changedDeviceType = mode.deviceType;
            if (HidDeviceManager::Instance().IsConfigInterface(path.c_str()))
                AppendTask(TASK_DEVICE_ARRIVED);
            break;
        }
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        for (DeviceEntry& mode : m_deviceModes) {
            if (!mode.connected || mode.hidInterface.empty() ||
                upper.find(mode.hidInterface) == std::wstring::npos)
                continue;
            mode.connected = false;
            m_changedDeviceType = mode.deviceType;
            AppendTask(TASK_DEVICE_REMOVED);
            break;
        }
    }
}

void KeyboardDlg::PollDeviceNotify(int)
{
    unsigned char report[65] = {};
    int type = 0;
    HidDeviceManager& manager = HidDeviceManager::Instance();
    if (!manager.GetDeviceNotify(report, &type)) return;
    if (report[0]) {
        char line[80];
        snprintf(line, sizeof line, "device notify data: %02X %02X %02X %02X %02X %02X", report[0],
                 report[1], report[8], report[9], report[10], report[13]);
        OutputDebugStringA(line);
    }
    if (report[0] != 0xAA || report[1] != 0xD0) return;
    bool online = report[13] == 4;
    if (WEXA::CDeviceList* list = DeviceList()) {
        list->SetDeviceState(type, 1, online);
        if (!online) list->SetDeviceState(type, 0, manager.GetOnlineState(type, 0) == 1);
    }
    if (type != m_deviceType) {
        WEXA::MControl* home = Ctl(69);
        if (home && home->IsVisible()) {
            m_changedDeviceType = type;
            ScanDevices();
            ConnectSelectedDevice();
        }
        return;
    }
    if (online) {
        // A receiver repeats "online" while its keyboard wakes and sleeps: only
        // a keyboard that was not connected brings the home page back; the
        // user's page stays otherwise.
        const bool cameOnline = !m_deviceConnected;
        m_deviceConnected = true;
        if (cameOnline) SelectMainTab(0);
        ShowKeyboardView(true);
        int battery = 0, charge = 0;
        if (manager.GetBattery(type, 0, &battery, &charge) && battery > 0)
            if (WEXA::CDeviceList* list = DeviceList())
                list->SetDeviceBattery(type, 0, battery, charge);
        if (type == 101)
            if (WEXA::MTabCtrl* tab = MainTab()) tab->SetItemVisible(3, 0);
        return;
    }
    m_connectionMode = manager.GetConnectionMode();
    if (m_connectionMode == 1) {
        m_deviceConnected = false;
        ShowKeyboardView(false);
    }
    m_changedDeviceType = type;
    ScanDevices();
    ConnectSelectedDevice();
}
