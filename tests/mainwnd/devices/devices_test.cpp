// The keyboard models of config.xml in the real main window against the
// simulated keyboard: the product table and the device cards, the scan, the
// arrival and removal of interfaces, a receiver's on/off line notifications,
// battery and charging on the cards.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CDeviceList.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"
#include "services/AppEnvironment.h"
#include "services/LanguageText.h"
#include "services/hid/HidDeviceManager.h"

namespace {

using testutil::MainWindowHarness;

WEXA::DEVICEITEM_INFO Card(MainWindowHarness& h, int deviceType)
{
    WEXA::DEVICEITEM_INFO info;
    WEXA::CDeviceList* list = h.Dlg().DeviceList();
    for (int i = 0; list && i < list->GetItemCount(); ++i) {
        WEXA::DEVICEITEM_INFO card;
        if (list->GetDevice(i, card) && card.nDeviceId == deviceType) return card;
    }
    return info;
}

bool Visible(MainWindowHarness& h, UINT id)
{
    WEXA::MControl* control = h.Dlg().Ctl(id);
    return control && control->IsVisible();
}

TEST(DeviceConfig, ModelsModesLinksAndCardsComeFromConfigXml)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    // One entry and one card per keyboard element, in file order.
    const auto& models = sim::Models();
    ASSERT_EQ(dlg.m_keyboards.size(), models.size());
    WEXA::CDeviceList* list = dlg.DeviceList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), int(models.size()));
    for (size_t i = 0; i < models.size(); ++i) {
        const DeviceEntry& entry = dlg.m_keyboards[i];
        EXPECT_EQ(entry.name,
                  std::wstring(models[i].name, models[i].name + strlen(models[i].name)));
        EXPECT_EQ(entry.deviceType, models[i].deviceType);
        EXPECT_EQ(entry.layoutName,
                  std::wstring(models[i].layout, models[i].layout + strlen(models[i].layout)));
        EXPECT_EQ(entry.imageConnected.find(GetExeFolder() + L"device\\"), 0u);
        WEXA::DEVICEITEM_INFO card;
        ASSERT_TRUE(list->GetDevice(int(i), card));
        EXPECT_EQ(card.nDeviceId, models[i].deviceType);
        EXPECT_EQ(std::wstring(card.strName), entry.name);
    }
    // One mode entry and one product per mode: cable and receiver ids.
    ASSERT_EQ(dlg.m_deviceModes.size(), 7u);
    HidDeviceManager& manager = HidDeviceManager::Instance();
    for (const sim::SimModel& model : models) {
        EXPECT_EQ(manager.GetProductType(model.vendorId, model.productId, L""), model.deviceType);
        EXPECT_EQ(manager.GetProductMode(model.vendorId, model.productId, L""), 0);
        if (!model.HasReceiver()) continue;
        EXPECT_EQ(manager.GetProductType(model.receiverVendorId, model.receiverProductId, L""),
                  model.deviceType);
        EXPECT_EQ(manager.GetProductMode(model.receiverVendorId, model.receiverProductId, L""), 1);
    }
    const DeviceEntry& receiver = dlg.m_deviceModes[2];
    EXPECT_EQ(receiver.deviceType, 103);
    EXPECT_EQ(receiver.connectionMode, 1);
    EXPECT_EQ(receiver.vendorId, 0x3A7E);
    EXPECT_EQ(receiver.productId, 0x75A1);
    EXPECT_EQ(receiver.description, L"2.4G");
    EXPECT_EQ(receiver.hidInterface, L"VID_3A7E&PID_75A1&MI_02");
    // Version and links.
    EXPECT_EQ(dlg.m_softwareVersion, L"1.0.0.1");
    EXPECT_EQ(dlg.m_websiteUrl, L"https://www.example.com/kestrova/");
    EXPECT_EQ(dlg.m_feedbackUrl, L"https://www.example.com/kestrova/feedback/");
    EXPECT_EQ(dlg.m_faqsUrl, L"https://www.example.com/kestrova/faq/");
    EXPECT_EQ(dlg.m_storeUrl, L"https://store.example.com/kestrova/");
    auto* version = dlg.CtlAs<WEXA::MText>(433);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(std::wstring(version->GetTitle()), std::wstring(dlg.LangText(517)) + L": 1.0.0.1");
}

TEST(DeviceConfig, AStoredTypeBelowOneHundredSelectsTheFirstModel)
{
    struct Row
    {
        int stored, selected;
    };
    for (const Row& row : {Row{0, 101}, Row{55, 101}, Row{102, 102}, Row{150, 150}}) {
        MainWindowHarness h;
        WriteDeviceTypeSetting(row.stored);
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
        EXPECT_EQ(h.Dlg().m_deviceType, row.selected) << row.stored;
    }
}

TEST(DeviceScan, FillsTheCardsWithLinkAndBatteryAndStoresTheSelection)
{
    MainWindowHarness h;
    sim::SimKeyboard matrix(sim::Model("Kestrova-K80-Matrix"));
    sim::SimKeyboard air(sim::Model("Kestrova-K75-Air"));
    air.SetBattery(64, 1);
    h.Bus().AddModel(matrix);
    h.Bus().AddModel(air);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    EXPECT_TRUE(dlg.m_devicePresent);
    EXPECT_TRUE(dlg.m_deviceConnected);
    // Nothing stored: the first online card in config.xml order.
    EXPECT_EQ(dlg.m_deviceType, 103);
    EXPECT_EQ(ReadDeviceTypeSetting(), 103);
    EXPECT_EQ(dlg.m_connectionMode, 0);
    EXPECT_EQ(Card(h, 103).nOnline, 1);
    EXPECT_EQ(Card(h, 103).nBattery, 64);
    EXPECT_EQ(Card(h, 103).nCharging, 1);
    EXPECT_EQ(Card(h, 102).nOnline, 1);
    EXPECT_EQ(Card(h, 101).nOnline, 0);
    EXPECT_EQ(Card(h, 150).nOnline, 0);
    // The connected flags of the modes: the two cable modes.
    for (const DeviceEntry& mode : dlg.m_deviceModes)
        EXPECT_EQ(mode.connected,
                  mode.connectionMode == 0 && (mode.deviceType == 102 || mode.deviceType == 103))
            << mode.deviceType << "/" << mode.connectionMode;
    EXPECT_TRUE(Visible(h, 81));
    EXPECT_FALSE(Visible(h, 80));
    EXPECT_TRUE(matrix.Violations().empty());
    EXPECT_TRUE(air.Violations().empty());
}

TEST(DeviceHotPlug, OnlyTheVendorInterfaceOfAConfiguredModeQueuesARescan)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    EXPECT_TRUE(Visible(h, 80));  // no keyboard
    sim::SimKeyboard k87(sim::Model("Kestrova-K87"));
    h.Dlg().m_workerPaused = 1;
    // Another interface of the keyboard (its boot keyboard) and a path no
    // mode names queue nothing; so does the vendor path while nothing is plugged.
    const std::wstring vendor = testutil::DevicePathOf(0x3A7E, 0x8701, 1);
    for (const std::wstring& path : {testutil::DevicePathOf(0x3A7E, 0x8701, 0),
                                     testutil::DevicePathOf(0x3A7E, 0x9999, 1), vendor}) {
        h.SendDeviceChange(true, path);
        EXPECT_TRUE(h.Dlg().m_taskQueue.IsEmpty());
    }
    int index = h.Bus().AddModel(k87);
    // Windows broadcasts the path in lower case as often as not.
    std::wstring lower = vendor;
    for (wchar_t& c : lower) c = wchar_t(towlower(c));
    h.SendDeviceChange(true, lower);
    EXPECT_EQ(h.Dlg().m_taskQueue.Snapshot(), (std::vector<int>{TASK_DEVICE_ARRIVED}));
    EXPECT_EQ(h.Dlg().m_changedDeviceType, 101);
    h.Dlg().m_workerPaused = 0;
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_ARRIVED}));
    h.Pump(50);
    EXPECT_TRUE(h.Dlg().m_deviceConnected);
    EXPECT_EQ(Card(h, 101).nOnline, 1);
    EXPECT_TRUE(Visible(h, 81));
    EXPECT_FALSE(Visible(h, 80));
    EXPECT_EQ(h.Bus().OpenCount(index), 1);
}

TEST(DeviceHotPlug, ARemovalMidTransferFailsItAndTheCardShowsDisconnected)
{
    MainWindowHarness h;
    sim::SimKeyboard k87(sim::Model("Kestrova-K87"));
    h.Bus().AddModel(k87);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    ASSERT_TRUE(h.Dlg().m_deviceConnected);
    ASSERT_EQ(Card(h, 101).nOnline, 1);
    h.RecordMessageBoxes();
    // The cable comes out while the settings block goes to the keyboard.
    k87.AddFault(sim::Fault::Unplug, 0x15);
    const int failed = h.Bus().FailedWrites();
    h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
    ASSERT_TRUE(h.WaitForTasks({TASK_WRITE_PERFORMANCE}));
    EXPECT_GT(h.Bus().FailedWrites(), failed);
    for (const sim::Request& request : k87.Received()) EXPECT_NE(request.Command(), 0x15);
    h.SendDeviceChange(false, testutil::DevicePathOf(0x3A7E, 0x8701, 1));
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_REMOVED}));
    h.Pump(50);
    EXPECT_FALSE(h.Dlg().m_devicePresent);
    EXPECT_FALSE(h.Dlg().m_deviceConnected);
    EXPECT_EQ(Card(h, 101).nOnline, 0);
    EXPECT_TRUE(Visible(h, 80));
    EXPECT_FALSE(Visible(h, 81));
    EXPECT_FALSE(Visible(h, 68));
    // The user is told the change was not kept, once.
    ASSERT_EQ(h.MessageBoxes().size(), 1u);
    EXPECT_EQ(h.MessageBoxes()[0], std::wstring(GetLanguageText(71)));
    // A second removal of the same interface finds no connected mode.
    h.Dlg().m_workerPaused = 1;
    h.SendDeviceChange(false, testutil::DevicePathOf(0x3A7E, 0x8701, 1));
    EXPECT_TRUE(h.Dlg().m_taskQueue.IsEmpty());
    h.Dlg().m_workerPaused = 0;
}

TEST(DeviceReceiver, OnAndOffLineNotificationsFollowTheKeyboard)
{
    MainWindowHarness h;
    sim::SimKeyboard air(sim::Model("Kestrova-K75-Air"));
    sim::SimReceiver receiver(air);
    h.Bus().AddModelReceiver(receiver);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    ASSERT_EQ(dlg.m_deviceType, 103);
    ASSERT_EQ(dlg.m_connectionMode, 1);
    ASSERT_TRUE(dlg.m_deviceConnected);
    // The keyboard goes off line: the receiver alone is left.
    receiver.SetKeyboardOnline(false, true);
    ASSERT_TRUE(h.PumpUntil([&] { return !dlg.m_deviceConnected && Visible(h, 80); }));
    h.Pump(100);
    EXPECT_FALSE(dlg.m_deviceConnected);
    EXPECT_EQ(Card(h, 103).nOnline, 0);
    EXPECT_FALSE(Visible(h, 81));
    EXPECT_FALSE(Visible(h, 68));
    // And comes back, seen from the home page: rescanned and connected.
    receiver.SetKeyboardOnline(true, true);
    ASSERT_TRUE(h.PumpUntil([&] { return dlg.m_deviceConnected && Visible(h, 81); }));
    EXPECT_FALSE(Visible(h, 80));
    EXPECT_EQ(dlg.m_deviceType, 103);
    EXPECT_EQ(Card(h, 103).nOnline, 1);
    EXPECT_EQ(Card(h, 103).nLink, 1);
    EXPECT_TRUE(air.Violations().empty());
    EXPECT_TRUE(receiver.Violations().empty());
}

void ClickAt(MainWindowHarness& h, int x, int y)
{
    InvalidateRect(h.Window(), nullptr, FALSE);
    UpdateWindow(h.Window());
    const LPARAM at = MAKELPARAM(x, y);
    // A pointer arrives with more than one move.
    SendMessageW(h.Window(), WM_MOUSEMOVE, 0, at);
    h.Pump(20);
    SendMessageW(h.Window(), WM_MOUSEMOVE, 0, at);
    SendMessageW(h.Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h.Window(), WM_LBUTTONUP, 0, at);
    SendMessageW(h.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 780));
}

TEST(DeviceReceiver, RepeatedOnLineReportsKeepTheUsersPage)
{
    // A keyboard waking and sleeping makes its receiver report "online" every
    // few seconds: the page the user works on stays.
    MainWindowHarness h;
    sim::SimKeyboard air(sim::Model("Kestrova-K75-Air"));
    sim::SimReceiver receiver(air);
    const int port = h.Bus().AddModelReceiver(receiver);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    ASSERT_TRUE(h.Settle());
    KeyboardDlg& dlg = h.Dlg();
    ASSERT_TRUE(dlg.m_deviceConnected);
    // The user picks the keyboard's card, then the lighting page.
    WEXA::CDeviceList* list = dlg.DeviceList();
    ASSERT_NE(list, nullptr);
    InvalidateRect(h.Window(), nullptr, FALSE);
    UpdateWindow(h.Window());
    WEXA::DEVICEITEM_INFO card;
    for (int i = 0; i < list->GetItemCount(); ++i)
        if (list->GetDevice(i, card) && card.nDeviceId == 103) break;
    ASSERT_EQ(card.nDeviceId, 103);
    ASSERT_FALSE(IsRectEmpty(&card.rcItem));
    const RECT cards = list->GetRect();
    ClickAt(h, cards.left + (card.rcItem.left + card.rcItem.right) / 2,
            cards.top + (card.rcItem.top + card.rcItem.bottom) / 2);
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h.Settle());
    WEXA::MTabCtrl* tab = dlg.MainTab();
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(tab->GetItemVisible(1));
    // The lighting page, as its tab item selects it.
    tab->SetSelectItem(1);
    ASSERT_TRUE(h.PumpUntil([&] { return tab->GetSelectItem() == 1; }));
    const int page = tab->GetSelectItem();
    ASSERT_TRUE(h.Settle());
    for (int i = 0; i < 3; ++i) {
        receiver.PushNotification();
        ASSERT_TRUE(h.PumpUntil([&] { return h.Bus().PendingInput(port) == 0; }));
        h.Pump(100);
        EXPECT_EQ(tab->GetSelectItem(), page) << i;
        EXPECT_FALSE(Visible(h, 69)) << i;
    }
    EXPECT_TRUE(dlg.m_deviceConnected);
    // Off line and back: the home page with the device list.
    receiver.SetKeyboardOnline(false, true);
    ASSERT_TRUE(h.PumpUntil([&] { return !dlg.m_deviceConnected; }));
    receiver.SetKeyboardOnline(true, true);
    ASSERT_TRUE(h.PumpUntil([&] { return dlg.m_deviceConnected && Visible(h, 81); }));
    EXPECT_EQ(tab->GetSelectItem(), 0);
    EXPECT_TRUE(air.Violations().empty());
    EXPECT_TRUE(receiver.Violations().empty());
}

TEST(DeviceReceiver, AnotherModelComingOnLineIsTakenUpFromTheHomePage)
{
    MainWindowHarness h;
    sim::SimKeyboard k87(sim::Model("Kestrova-K87"));
    sim::SimKeyboard air(sim::Model("Kestrova-K75-Air"));
    sim::SimReceiver receiver(air);
    receiver.SetKeyboardOnline(false, false);
    h.Bus().AddModel(k87);
    h.Bus().AddModelReceiver(receiver);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    ASSERT_EQ(dlg.m_deviceType, 101);
    EXPECT_EQ(Card(h, 103).nOnline, 0);
    receiver.SetKeyboardOnline(true, true);
    ASSERT_TRUE(h.PumpUntil([&] { return Card(h, 103).nOnline == 1; }));
    h.Pump(100);
    EXPECT_EQ(dlg.m_changedDeviceType, 103);
    // The selection stays with the stored model.
    EXPECT_EQ(dlg.m_deviceType, 101);
    EXPECT_TRUE(dlg.m_deviceConnected);
}

}  // namespace
