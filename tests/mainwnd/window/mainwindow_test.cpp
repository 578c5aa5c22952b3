// The real main window against the simulated keyboard: start-up, the worker's
// task rules, device picks and hot-plug, the frame and its tabs, the key test,
// the exits and what they leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <typeinfo>

#include "BatteryCtrl.h"
#include "CDeviceList.h"
#include "CKeyTestCtrl.h"
#include "ControlRegistry.h"
#include "MPicture.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "MainWindowHarness.h"
#include "PluggedKeyboard.h"
#include "SimKeyboardModels.h"
#include "services/AppEnvironment.h"
#include "services/input/RawInput.h"

namespace {

using testutil::MainWindowHarness;

std::vector<int> Codes(const std::vector<MainWindowHarness::TaskRecord>& tasks, bool performed)
{
    std::vector<int> codes;
    for (const auto& t : tasks)
        if (t.performed == performed) codes.push_back(t.code);
    return codes;
}

using windowtest::Keyboard;

TEST(MainWindowStart, QueuesInitAndVersionCheckAndConnectsTheKeyboard)
{
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    auto tasks = h.Tasks();
    ASSERT_GE(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].code, TASK_INIT);
    EXPECT_EQ(tasks[1].code, TASK_CHECK_VERSION);
    EXPECT_TRUE(h.Dlg().m_runtimeStarted);
    EXPECT_TRUE(h.Dlg().m_devicePresent);
    EXPECT_TRUE(h.Dlg().m_deviceConnected);
    EXPECT_EQ(h.Dlg().m_deviceType, 101);
    EXPECT_EQ(h.Dlg().m_upgradeUrl, L"https://update.example.com/kestrova/software-upgrade/");
    EXPECT_EQ(h.Dlg().m_keyboards.size(), 5u);
    EXPECT_TRUE(h.Dlg().TrayIconAdded());

    // Task 1 does its work once: a second one opens nothing again.
    int opens = h.Bus().OpenCount(k87.index);
    h.Dlg().AppendTask(TASK_INIT);
    ASSERT_TRUE(h.PumpUntil([&] { return h.Tasks().size() >= 3; }));
    EXPECT_EQ(h.Bus().OpenCount(k87.index), opens);
    EXPECT_TRUE(k87.device.Violations().empty());
}

TEST(MainWindowWorker, OneTaskPerStep)
{
    // Each worker step takes one code (the interval between steps is the
    // thread's, see WorkerThread.SleepsTheRestOfEachInterval).
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    h.Dlg().StopWorker();
    for (int i = 0; i < 3; ++i) h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
    size_t before = h.Tasks().size();
    for (size_t left : {2u, 1u, 0u}) {
        h.Dlg().Run();
        EXPECT_EQ(h.Dlg().m_taskQueue.Size(), left);
    }
    auto tasks = h.Tasks();
    ASSERT_EQ(tasks.size(), before + 3);
    for (size_t i = before; i < tasks.size(); ++i) EXPECT_TRUE(tasks[i].performed);
    EXPECT_EQ(h.Dlg().m_reopenSession, 1);
}

TEST(MainWindowWorker, WithoutAKeyboardDeviceTasksAreDroppedAndTheirWaitsClose)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    EXPECT_FALSE(h.Dlg().m_devicePresent);
    // The wait dialog is installed before its task is queued and has no window
    // yet: the close request is kept until it has one.
    WaitDlg* profileWait = h.Dlg().m_waitDlg.Reset(new WaitDlg);
    h.Dlg().AppendTask(TASK_APPLY_PROFILE);
    ASSERT_TRUE(h.WaitForTasks({TASK_APPLY_PROFILE}));
    EXPECT_TRUE(profileWait->CloseRequested());

    WaitDlg* resetWait = h.Dlg().m_waitDlg.Reset(new WaitDlg);
    h.Dlg().EnableWindow(0);
    h.Dlg().AppendTask(TASK_FACTORY_RESET);
    h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
    ASSERT_TRUE(h.WaitForTasks({TASK_FACTORY_RESET, TASK_WRITE_PERFORMANCE}));
    EXPECT_TRUE(resetWait->CloseRequested());
    EXPECT_TRUE(h.Dlg().IsWindowEnabled());  // 21 gives the window back
    EXPECT_EQ(Codes(h.Tasks(), false),
              (std::vector<int>{TASK_APPLY_PROFILE, TASK_FACTORY_RESET, TASK_WRITE_PERFORMANCE}));
    h.Dlg().m_waitDlg.Reset(nullptr);
}

TEST(MainWindowWorker, SuspendPausesAndResumeContinues)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    SendMessageW(h.Window(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(h.Dlg().m_workerPaused, 1);
    size_t before = h.Tasks().size();
    h.Dlg().AppendTask(TASK_CHECK_VERSION);
    h.Pump(120);
    EXPECT_EQ(h.Tasks().size(), before);  // the queue keeps its code
    SendMessageW(h.Window(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(h.PumpUntil([&] { return h.Tasks().size() == before + 1; }));
}

TEST(MainWindowDevices, APickFlushesTheQueueQueuesFourAndStoresTheType)
{
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    WaitDlg* wait = h.Dlg().m_waitDlg.Reset(new WaitDlg);
    h.Dlg().m_workerPaused = 1;
    h.Dlg().EnableWindow(0);
    h.Dlg().AppendTask(TASK_APPLY_PROFILE);
    h.Dlg().AppendTask(TASK_FACTORY_RESET);
    WriteDeviceTypeSetting(0);
    EXPECT_EQ(h.SendControlEvent(81, 2), 1);
    EXPECT_EQ(h.Dlg().m_taskQueue.Snapshot(), (std::vector<int>{TASK_DEVICE_SELECTED}));
    EXPECT_EQ(ReadDeviceTypeSetting(), 101);
    EXPECT_TRUE(h.Dlg().IsWindowEnabled());
    EXPECT_TRUE(wait->CloseRequested());  // the flushed tasks' waits close
    h.Dlg().m_workerPaused = 0;
    EXPECT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    h.Dlg().m_waitDlg.Reset(nullptr);
}

TEST(MainWindowDevices, HotPlugQueuesArrivalAndRemoval)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    EXPECT_FALSE(h.Dlg().m_devicePresent);
    Keyboard k87("Kestrova-K87");
    h.Dlg().m_workerPaused = 1;
    // An interface that is not the keyboard's configuration interface queues nothing.
    EXPECT_EQ(h.SendDeviceChange(true, testutil::DevicePathOf(0x1234, 0x5678, 1)), 0);
    EXPECT_TRUE(h.Dlg().m_taskQueue.IsEmpty());
    EXPECT_EQ(h.SendDeviceChange(true, testutil::DevicePathOf(0x3A7E, 0x8701, 1)), 0);
    EXPECT_EQ(h.Dlg().m_taskQueue.Snapshot(), (std::vector<int>{TASK_DEVICE_ARRIVED}));
    EXPECT_EQ(h.Dlg().m_changedDeviceType, 101);
    h.Dlg().AppendTask(TASK_WRITE_PERFORMANCE);  // queued behind 2: dropped by it
    h.Dlg().m_workerPaused = 0;
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_ARRIVED}));
    EXPECT_TRUE(h.Dlg().m_devicePresent);
    EXPECT_TRUE(h.Dlg().m_deviceConnected);
    EXPECT_GE(h.PauseCount(), 1);  // the 200 ms settle pause was asked for

    h.Dlg().m_workerPaused = 1;
    h.Bus().Unplug(k87.index);
    h.SendDeviceChange(false, testutil::DevicePathOf(0x3A7E, 0x8701, 1));
    EXPECT_EQ(h.Dlg().m_taskQueue.Snapshot(), (std::vector<int>{TASK_DEVICE_REMOVED}));
    h.Dlg().m_workerPaused = 0;
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_REMOVED}));
    EXPECT_FALSE(h.Dlg().m_devicePresent);
}

// Frame controls by id with their class; ids of classes another part of the
// library brings are listed in kPendingClasses while that part is missing.
const std::set<std::wstring> kPendingClasses = {L"KeyboardCtrl", L"NimbrelEffect", L"BatteryCtrl",
                                                L"ProfileList",  L"KeyLayerCtrl",  L"CKeyTestCtrl",
                                                L"CDeviceList"};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The dynamic class of a control ("MPicture"), from its type information.
std::string ClassOf(WEXA::MControl* control)
{
    std::string mangled = typeid(*control).name();  // "N4WEXA8MPictureE"
    size_t at = mangled.find("WEXA");
    if (at == std::string::npos) return mangled;
    size_t digits = at + 4, end = digits;
    while (end < mangled.size() && isdigit(static_cast<unsigned char>(mangled[end]))) ++end;
    int length = std::atoi(mangled.substr(digits, end - digits).c_str());
    return mangled.substr(end, size_t(length));
}

TEST(MainWindowFrame, EveryFrameControlExistsWithItsClass)
{
    struct Row
    {
        UINT id;
        const wchar_t* cls;
    };
    const Row rows[] = {
        {30, L"MPicture"},     {31, L"CGifPicture"},  {35, L"MPicture"},     {36, L"MPicture"},
        {37, L"MText"},        {38, L"MText"},        {39, L"CImageButton"}, {40, L"CImageButton"},
        {42, L"CImageButton"}, {43, L"CImageButton"}, {45, L"CImageButton"}, {33, L"CArea"},
        {32, L"CArea"},        {46, L"BatteryCtrl"},  {47, L"MPicture"},     {51, L"MPicture"},
        {52, L"MText"},        {54, L"CImageButton"}, {55, L"CImageButton"}, {53, L"ProfileList"},
        {48, L"CRoundArea"},   {49, L"MPicture"},     {50, L"CTextButton"},  {56, L"KeyLayerCtrl"},
        {60, L"MButton"},      {61, L"MButton"},      {58, L"KeyboardCtrl"}, {59, L"NimbrelEffect"},
        {64, L"CImageButton"}, {69, L"MTabLayout"},   {70, L"MTabLayout"},   {71, L"MTabLayout"},
        {72, L"MTabLayout"},   {73, L"MTabLayout"},   {74, L"MTabLayout"},   {75, L"MTabLayout"},
        {76, L"MTabLayout"},   {77, L"MTabLayout"},   {78, L"MTabLayout"},   {79, L"MTabLayout"},
        {57, L"CKeyTestCtrl"}, {66, L"MPicture"},     {67, L"MText"},        {68, L"MTabCtrl"},
        {81, L"CDeviceList"},  {80, L"MText"},        {65, L"CRoundArea"},
    };
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    std::set<std::wstring> missing;
    for (const Row& r : rows) {
        WEXA::MControl* control = h.Dlg().Ctl(r.id);
        if (!control) {
            missing.insert(r.cls);
            continue;
        }
        EXPECT_EQ(ClassOf(control), Narrow(r.cls)) << "control " << r.id;
    }
    ASSERT_NE(h.Dlg().m_pJoinVipText, nullptr);
    EXPECT_EQ(ClassOf(h.Dlg().m_pJoinVipText), "CTextButton");
    for (const std::wstring& cls : missing) {
        EXPECT_TRUE(kPendingClasses.count(cls))
            << "no control of class " << std::string(cls.begin(), cls.end());
        // A pending class is missing only while its constructor is not registered.
        EXPECT_EQ(WEXA::FindControlClass(cls.c_str()), nullptr);
    }
    if (!missing.empty()) {
        std::string names;
        for (const std::wstring& cls : missing) names += std::string(cls.begin(), cls.end()) + " ";
        std::printf("[ pending  ] classes not in the library yet: %s\n", names.c_str());
    }
    // After start-up the home panel is the only panel shown and the main tab is hidden.
    EXPECT_TRUE(h.Dlg().Ctl(69)->IsVisible());
    for (UINT id = 70; id <= 79; ++id) EXPECT_FALSE(h.Dlg().Ctl(id)->IsVisible()) << id;
    EXPECT_FALSE(h.Dlg().MainTab()->IsVisible());
}

TEST(MainWindowFrame, EachTabShowsItsPageAndTheKeyTestListensOnlyOnItsPage)
{
    struct Row
    {
        int position, page;
        UINT panel;
    };
    const Row rows[] = {{1, 1, 71}, {2, 3, 76}, {3, 2, 75}, {4, 4, 70},
                        {5, 5, 72}, {6, 7, 78}, {7, 8, 73}, {0, 0, 69}};
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    WEXA::MTabCtrl* tab = h.Dlg().MainTab();
    tab->SetVisible(1);
    for (const Row& r : rows) {
        tab->SetSelectItem(r.position);
        h.Pump(10);
        EXPECT_EQ(h.Dlg().m_currentPage, r.page) << "position " << r.position;
        EXPECT_TRUE(h.Dlg().Ctl(r.panel)->IsVisible()) << "position " << r.position;
        for (UINT panel = 69; panel <= 78; ++panel) {
            if (panel != r.panel && panel != 74 && panel != 77) {
                EXPECT_FALSE(h.Dlg().Ctl(panel)->IsVisible()) << panel;
            }
        }
        EXPECT_EQ(h.Dlg().KeyTestActive(), r.page == 4) << "position " << r.position;
    }
    // Home keeps the position the device pages come back to.
    EXPECT_EQ(h.Dlg().m_currentTab, 7);
    // Entering the effect page always queues task 22.
    EXPECT_TRUE(h.WaitForTasks({TASK_START_EFFECT_STREAM}));
}

TEST(MainWindowFrame, AHeldKeyShowsOnceAndLeavingThePageEmptiesTheKeyTest)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    h.Dlg().MainTab()->SetSelectItem(4);
    ASSERT_TRUE(h.Dlg().KeyTestActive());
    RawInputEvent press;
    press.kind = RawInputEvent::KindKeyboard;
    press.code = 'A';
    for (int i = 0; i < 5; ++i) h.Dlg().HandleKeyTestEvent(press);  // key repeat
    EXPECT_EQ(h.Dlg().KeyTestPressed(), (std::set<int>{4}));        // usage of A
    RawInputEvent release = press;
    release.keyUp = 1;
    h.Dlg().HandleKeyTestEvent(release);
    EXPECT_TRUE(h.Dlg().KeyTestPressed().empty());
    h.Dlg().HandleKeyTestEvent(press);
    h.Dlg().MainTab()->SetSelectItem(1);
    EXPECT_FALSE(h.Dlg().KeyTestActive());
    EXPECT_TRUE(h.Dlg().KeyTestPressed().empty());
}

TEST(MainWindowFrame, MouseClicksInTheKeyTestFadeEvenWithoutTheirRelease)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    h.Dlg().MainTab()->SetSelectItem(4);
    ASSERT_TRUE(h.Dlg().KeyTestActive());
    auto* strip = static_cast<WEXA::CKeyTestCtrl*>(h.Dlg().Ctl(57));
    ASSERT_NE(strip, nullptr);
    // A left press whose release came merged into another button's record
    // (only the other transition is reported), then a right click as usual.
    RawInputEvent left;
    left.kind = RawInputEvent::KindMouse;
    left.code = RawInputEvent::ButtonLeft;
    left.name = L"MouseL";
    RawInputEvent right = left;
    right.code = RawInputEvent::ButtonRight;
    right.name = L"MouseR";
    h.Dlg().HandleKeyTestEvent(left);
    h.Dlg().HandleKeyTestEvent(right);
    right.keyUp = 1;
    h.Dlg().HandleKeyTestEvent(right);
    EXPECT_TRUE(h.Dlg().KeyTestPressed().empty());
    ASSERT_EQ(strip->GetKeyCount(), 2);
    for (int i = 0; i < 2; ++i) {
        WEXA::KEYTESTITEM_INFO item;
        ASSERT_TRUE(strip->GetKeyInfo(i, item));
        EXPECT_NE(item.level, int(WEXA::CKeyTestCtrl::HELD)) << "entry " << i << " never fades";
    }
}

TEST(MainWindowFrame, LanguageSwitchRetextsTheControls)
{
    MainWindowHarness h;
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    ASSERT_TRUE(h.Start());
    auto* title = static_cast<WEXA::MControlFont*>(h.Dlg().Ctl(52));
    CString english = h.Dlg().LangText(65);
    ASSERT_FALSE(english.IsEmpty());
    EXPECT_STREQ(title->GetTitle(), english);
    CString englishTab = h.Dlg().MainTab()->GetItemInfo(1)->text;
    SetCurrentLanguageId(2052);
    SendMessageW(h.Window(), 2024, 0, 0);
    CString chinese = h.Dlg().LangText(65);
    EXPECT_STRNE(chinese, english);
    EXPECT_STREQ(title->GetTitle(), chinese);
    EXPECT_STREQ(static_cast<WEXA::MControlFont*>(h.Dlg().Ctl(50))->GetTitle(),
                 h.Dlg().LangText(67));
    EXPECT_STREQ(h.Dlg().MainTab()->GetItemInfo(1)->text, h.Dlg().LangText(51));
    EXPECT_STRNE(h.Dlg().MainTab()->GetItemInfo(1)->text, englishTab);
    SetCurrentLanguageId(1033);
}

TEST(MainWindowExit, CommandHundredExitsOnlyAsTheTrayMenuSendsIt)
{
    struct Row
    {
        WPARAM wparam;
        LPARAM lparam;
        int exits;
    };
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    const Row rows[] = {{MAKEWPARAM(100, 1), 0, 0},  // accelerator
                        {MAKEWPARAM(100, BN_CLICKED), LPARAM(h.Window()), 0},
                        {100, LPARAM(h.Window()), 0},  // a control with id 100
                        {101, 0, 0},
                        {100, 0, 1}};
    int expected = 0;
    for (const Row& r : rows) {
        SendMessageW(h.Window(), WM_COMMAND, r.wparam, r.lparam);
        expected += r.exits;
        EXPECT_EQ(h.Exits(), expected) << std::hex << r.wparam << " " << r.lparam;
    }
    EXPECT_FALSE(h.Dlg().TrayIconAdded());
}

TEST(MainWindowExit, CloseButtonExitModesAndTheExitRequest)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start(SW_SHOWNOACTIVATE));
    h.Dlg().RegWriteString(L"exit_mode", L"1");
    EXPECT_TRUE(h.Click(39));
    EXPECT_EQ(h.Exits(), 0);
    EXPECT_FALSE(IsWindowVisible(h.Window()));
    EXPECT_TRUE(h.Dlg().TrayIconAdded());
    // A left click on the tray icon brings the window back.
    SendMessageW(h.Window(), 1690, 109, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(h.Window()));

    SendMessageW(h.Window(), 1691, 0, 611);
    EXPECT_EQ(h.Exits(), 0);
    SendMessageW(h.Window(), 1691, 0, 610);
    EXPECT_EQ(h.Exits(), 1);
    EXPECT_FALSE(h.Dlg().TrayIconAdded());

    h.Dlg().RegWriteString(L"exit_mode", L"");
    EXPECT_TRUE(h.Click(39));
    EXPECT_EQ(h.Exits(), 2);
}

TEST(MainWindowExit, EndSessionStopsTheWorkerAndTheTrayIcon)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    // A late download report with no update dialog open reaches nothing.
    EXPECT_EQ(SendMessageW(h.Window(), 1684, 0, 50), 1);
    ASSERT_TRUE(h.Dlg().IsRunning());
    SendMessageW(h.Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(h.Dlg().IsRunning());
    EXPECT_FALSE(h.Dlg().TrayIconAdded());
}

TEST(MainWindowExit, AStartAndStopLeavesNoGdiOrUserObjects)
{
    // A first run fills the library's caches (fonts, images).
    {
        MainWindowHarness warm;
        ASSERT_TRUE(warm.Start());
        warm.Pump(50);
    }
    HANDLE process = GetCurrentProcess();
    DWORD gdiBefore = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
    for (int run = 0; run < 3; ++run) {
        MainWindowHarness h;
        ASSERT_TRUE(h.Start());
        h.Dlg().MainTab()->SetSelectItem(3);
        h.Pump(50);
        h.Stop();
    }
    EXPECT_LE(GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
    EXPECT_LE(GetGuiResources(process, GR_USEROBJECTS), userBefore);
}

}  // namespace

namespace {

TEST(MainWindowDevices, ADeviceReadShowsTheBatteryOnTheBadgeAndTheCard)
{
    MainWindowHarness h;
    Keyboard air("Kestrova-K75-Air");
    air.device.SetBattery(87, 1);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    auto* badge = dynamic_cast<WEXA::BatteryCtrl*>(h.Dlg().Ctl(46));
    ASSERT_NE(badge, nullptr);
    auto cardBattery = [&](int& level, int& charging) {
        WEXA::CDeviceList* list = h.Dlg().DeviceList();
        for (int i = 0; list && i < list->GetItemCount(); ++i) {
            WEXA::DEVICEITEM_INFO card;
            if (list->GetDevice(i, card) && card.nDeviceId == 103) {
                level = card.nBattery, charging = card.nCharging;
                return true;
            }
        }
        return false;
    };

    ASSERT_TRUE(h.Dlg().ReadDeviceInfo());
    EXPECT_EQ(badge->GetBatteryLevel(), 87);
    EXPECT_EQ(badge->GetCharging(), 1);
    int level = -1, charging = -1;
    ASSERT_TRUE(cardBattery(level, charging)) << "no card for the keyboard";
    EXPECT_EQ(level, 87);
    EXPECT_EQ(charging, 1);

    // A keyboard that reports level 0 has no battery: both show none.
    air.device.SetBattery(0, 0);
    ASSERT_TRUE(h.Dlg().ReadDeviceInfo());
    EXPECT_EQ(badge->GetBatteryLevel(), 0);
    EXPECT_EQ(badge->GetShownFrame(), -1);
    ASSERT_TRUE(cardBattery(level, charging));
    EXPECT_EQ(level, 0);
    EXPECT_TRUE(air.device.Violations().empty());
}

// A click as a user makes it: the pointer moves there (twice: under Wine the
// first move a window gets may leave nothing hovered), presses and releases.
void ClickPoint(MainWindowHarness& h, POINT at)
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(h.Window(), WM_MOUSEMOVE, 0, where);
    h.Pump(20);
    SendMessageW(h.Window(), WM_MOUSEMOVE, 0, where);
    SendMessageW(h.Window(), WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(h.Window(), WM_LBUTTONUP, 0, where);
}

// Back to the home page (main tab item 0) when needed, then a click on the
// model's card.
void ClickModelCard(MainWindowHarness& h, int deviceType)
{
    KeyboardDlg& dlg = h.Dlg();
    WEXA::CDeviceList* list = dlg.DeviceList();
    ASSERT_NE(list, nullptr);
    if (!list->IsVisible() || !list->IsParentVisible()) {
        WEXA::MTabCtrl* tab = dlg.MainTab();
        ASSERT_NE(tab, nullptr);
        InvalidateRect(h.Window(), nullptr, FALSE);
        UpdateWindow(h.Window());
        const RECT item = tab->GetItemInfo(0)->rect;
        ClickPoint(h, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        ASSERT_TRUE(h.PumpUntil([&] { return list->IsVisible() && list->IsParentVisible(); }));
    }
    InvalidateRect(h.Window(), nullptr, FALSE);
    UpdateWindow(h.Window());
    h.Pump(50);
    WEXA::DEVICEITEM_INFO card;
    for (int i = 0; i < list->GetItemCount(); ++i) {
        if (!list->GetDevice(i, card) || card.nDeviceId != deviceType) continue;
        ASSERT_FALSE(IsRectEmpty(&card.rcItem)) << deviceType;
        const RECT area = list->GetRect();
        ClickPoint(h, {area.left + (card.rcItem.left + card.rcItem.right) / 2,
                       area.top + (card.rcItem.top + card.rcItem.bottom) / 2});
        return;
    }
    FAIL() << "no card for " << deviceType;
}

int CardBattery(MainWindowHarness& h, int deviceType)
{
    WEXA::CDeviceList* list = h.Dlg().DeviceList();
    WEXA::DEVICEITEM_INFO card;
    for (int i = 0; list && i < list->GetItemCount(); ++i)
        if (list->GetDevice(i, card) && card.nDeviceId == deviceType) return card.nBattery;
    return -1;
}

TEST(MainWindowDevices, AModelWithoutABatteryShowsNoneAfterOneWithABattery)
{
    // A wired K87 and a K75-Air with its battery at 90 %: the user picks the
    // Air, then the K87.
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    Keyboard air("Kestrova-K75-Air");
    air.device.SetBattery(90, 0);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    ASSERT_TRUE(h.Settle());
    KeyboardDlg& dlg = h.Dlg();
    auto* badge = dynamic_cast<WEXA::BatteryCtrl*>(dlg.Ctl(46));
    ASSERT_NE(badge, nullptr);
    // Nothing read yet: no badge, and the K87's card shows no battery.
    EXPECT_EQ(badge->GetShownFrame(), -1);
    EXPECT_EQ(CardBattery(h, 101), 0);

    ASSERT_NO_FATAL_FAILURE(ClickModelCard(h, 103));
    ASSERT_TRUE(h.PumpUntil([&] { return dlg.m_deviceType == 103; }));
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h.Settle());
    EXPECT_EQ(badge->GetBatteryLevel(), 90);

    ASSERT_NO_FATAL_FAILURE(ClickModelCard(h, 101));
    ASSERT_TRUE(h.PumpUntil([&] { return dlg.m_deviceType == 101; }));
    ASSERT_TRUE(h.Settle());
    EXPECT_EQ(badge->GetBatteryLevel(), 0);
    EXPECT_EQ(badge->GetShownFrame(), -1);
    EXPECT_EQ(CardBattery(h, 101), 0);
    EXPECT_EQ(CardBattery(h, 103), 90);
    EXPECT_TRUE(k87.device.Violations().empty());
    EXPECT_TRUE(air.device.Violations().empty());
    WriteDeviceTypeSetting(0);
}

TEST(MainWindowDevices, APickBackToTheLightingPageSendsNothingBeforeTheKeyboardIsLoaded)
{
    // The lighting page was open when the user went home and picked the card
    // again: the page comes back before the keyboard is connected and loaded.
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    h.RecordMessageBoxes();
    ASSERT_NO_FATAL_FAILURE(ClickModelCard(h, 101));
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h.Settle());
    const RECT lighting = h.Dlg().MainTab()->GetItemInfo(1)->rect;
    ClickPoint(h, {(lighting.left + lighting.right) / 2, (lighting.top + lighting.bottom) / 2});
    ASSERT_TRUE(h.Settle());
    ASSERT_EQ(h.Dlg().m_currentPage, 1);
    const size_t before = h.Tasks().size();

    ASSERT_NO_FATAL_FAILURE(ClickModelCard(h, 101));
    ASSERT_TRUE(h.PumpUntil([&] {
        for (size_t i = before; i < h.Tasks().size(); ++i)
            if (h.Tasks()[i].code == TASK_DEVICE_SELECTED) return true;
        return false;
    }));
    ASSERT_TRUE(h.Settle());
    // Nothing went out for the page before the pick's load: a write then
    // would find no keyboard connected, and the user would be told a change
    // they never made was not kept.
    const std::vector<MainWindowHarness::TaskRecord> tasks = h.Tasks();
    for (size_t i = before; i < tasks.size() && tasks[i].code != TASK_DEVICE_SELECTED; ++i)
        EXPECT_TRUE(tasks[i].performed) << "task " << tasks[i].code << " found no keyboard";
    EXPECT_EQ(h.Dlg().m_currentPage, 1);
    EXPECT_TRUE(h.MessageBoxes().empty());
    EXPECT_TRUE(k87.device.Violations().empty());
    WriteDeviceTypeSetting(0);
}

}  // namespace

namespace {

struct PictureChoice
{
    std::wstring path;
    std::vector<std::wstring> messages;
    static bool Choose(void* self, HWND, bool, std::wstring& path)
    {
        path = static_cast<PictureChoice*>(self)->path;
        return true;
    }
    static int Show(void* self, HWND, const wchar_t* message, const wchar_t*, int)
    {
        static_cast<PictureChoice*>(self)->messages.push_back(message ? message : L"");
        return 1;
    }
};

TEST(MainWindowSkin, AnUnreadableBackgroundPictureKeepsThePreviousOneAndSaysWhy)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    // The menu's "Default background" first: the program's own pictures.
    SendMessageW(h.Window(), KBM_SKIN_MENU, 0, 101);
    auto* page = dlg.CtlAs<WEXA::MPicture>(30);
    auto* home = dlg.CtlAs<WEXA::CGifPicture>(31);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(home, nullptr);
    const CSize pageSize = page->GetImageSize();
    const CSize homeSize = home->GetImageSize();
    ASSERT_GT(pageSize.cx, 0);
    ASSERT_GT(homeSize.cx, 0);

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    PictureChoice choice;
    choice.path = std::wstring(folder) + L"kestrova_damaged.png";
    {
        // A PNG signature and then nothing a decoder can use.
        const char bytes[] = "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDRgarbage-garbage-garbage";
        HANDLE file = CreateFileW(choice.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes, sizeof bytes - 1, &written, nullptr);
        CloseHandle(file);
    }
    dlg.SetFileChooser(&PictureChoice::Choose, &choice);
    dlg.SetMessageBoxFunction(&PictureChoice::Show, &choice);
    // On the home page the animated background, on a device page the picture.
    for (int pageShown : {0, 1}) {
        dlg.m_currentPage = pageShown;
        choice.messages.clear();
        EXPECT_EQ(SendMessageW(h.Window(), KBM_SKIN_MENU, 0, 100), 0) << pageShown;
        h.Pump(50);
        EXPECT_EQ(dlg.RegString(L"theme_bkg"), L"") << pageShown;
        EXPECT_EQ(dlg.RegString(L"theme_bkg_gif"), L"") << pageShown;
        EXPECT_EQ(page->GetImageSize(), pageSize) << pageShown;
        EXPECT_EQ(home->GetImageSize(), homeSize) << pageShown;
        ASSERT_EQ(choice.messages.size(), 1u) << pageShown;
        EXPECT_EQ(
            choice.messages[0],
            L"This picture cannot be read, so the background stays as it was:\n" + choice.path);
    }
    dlg.SetFileChooser(nullptr, nullptr);
    dlg.SetMessageBoxFunction(nullptr, nullptr);
    DeleteFileW(choice.path.c_str());
}

}  // namespace
