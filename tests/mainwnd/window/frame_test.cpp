// The frame as the user meets it: how control events are routed by id and
// event code, the picture button, the language switch over every frame text,
// the key test's raw-input registration and an "autorun" start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "MControlFont.h"
#include "MTabCtrl.h"
#include "MainWindowHarness.h"
#include "PluggedKeyboard.h"
#include "SimKeyboardModels.h"
#include "dialogs/AboutVIPDlg.h"
#include "dialogs/DialogTestSupport.h"
#include "services/AppEnvironment.h"

namespace {

using dialogtest::Centre;
using dialogtest::Click;
using dialogtest::EveryTick;
using testutil::MainWindowHarness;

using windowtest::Keyboard;

const LONG kAnyResult = -12345;

TEST(MainWindowDispatch, EventsAreRoutedByIdAndEventCode)
{
    // In order: each row's event, the result it gives and what it changed.
    struct Row
    {
        UINT id, code;
        UINT_PTR wparam;
        LONG result;
        const char* what;
        std::function<bool(MainWindowHarness&)> check;
    };
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    h.Dlg().m_workerPaused = 1;
    h.Dlg().RegWriteString(L"exit_mode", L"");
    auto shown = [](UINT id) {
        return [id](MainWindowHarness& h) { return h.Dlg().Ctl(id)->IsVisible() != 0; };
    };
    auto hidden = [](UINT id) {
        return [id](MainWindowHarness& h) { return h.Dlg().Ctl(id)->IsVisible() == 0; };
    };
    auto queued = [](bool expected) {
        return [expected](MainWindowHarness& h) {
            auto codes = h.Dlg().m_taskQueue.Snapshot();
            bool found = std::find(codes.begin(), codes.end(), TASK_DEVICE_SELECTED) != codes.end();
            return found == expected;
        };
    };
    const Row rows[] = {
        // The macro play-mode group takes every code and always answers 1.
        {95, 2, 0, 1, "95 click", nullptr},
        {95, 29, 0, 1, "95 play mode", nullptr},
        {95, 0, 0, 1, "95 other", nullptr},
        // Clicks only: other codes are not handled (0).
        {41, 2, 0, 1, "41 click", nullptr},
        {41, 1, 0, 0, "41 other", nullptr},
        {276, 2, 0, 1, "276 click", nullptr},
        {276, 27, 0, 0, "276 other", nullptr},
        {288, 2, 0, 1, "288 click", nullptr},
        {288, 29, 0, 0, "288 other", nullptr},
        {389, 27, 0, 0, "389 other", [](MainWindowHarness& h) { return h.Dlg().m_lcdDirty == 0; }},
        {389, 2, 0, 0, "389 click", [](MainWindowHarness& h) { return h.Dlg().m_lcdDirty == 1; }},
        {9999, 2, 0, 0, "unknown id", nullptr},
        {42, 27, 0, 0, "settings other", hidden(79)},
        {42, 2, 0, 1, "settings click", shown(79)},
        {81, 27, 0, 0, "device list other", queued(false)},
        {81, 2, 0, 1, "device pick", queued(true)},
        // The main tab takes every code: the position is in wparam.
        {68, 7, 4, kAnyResult, "main tab",
         [](MainWindowHarness& h) { return h.Dlg().m_currentPage == 4; }},
        {40, 27, 0, 0, "minimise other",
         [](MainWindowHarness& h) { return !IsIconic(h.Window()); }},
        {40, 2, 0, 1, "minimise click",
         [](MainWindowHarness& h) { return IsIconic(h.Window()) != 0; }},
        {39, 27, 0, 0, "close other", [](MainWindowHarness& h) { return h.Exits() == 0; }},
        {39, 2, 0, 1, "close click", [](MainWindowHarness& h) { return h.Exits() == 1; }},
    };
    for (const Row& r : rows) {
        LONG result = h.SendControlEvent(r.id, r.code, r.wparam, 0);
        if (r.result != kAnyResult) {
            EXPECT_EQ(result, r.result) << r.what;
        }
        if (r.check) {
            EXPECT_TRUE(r.check(h)) << r.what;
        }
    }
}

TEST(MainWindowFrame, ThePictureButtonShowsThePictureOverTheOverlay)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    // Other event codes of the button open nothing.
    EXPECT_EQ(h.SendControlEvent(64, 27), 0);
    EXPECT_EQ(FindWindowW(nullptr, kAboutVIPDlgWindowName), nullptr);

    bool seen = false, overlayShown = false, ownedByMain = false;
    HWND picture = nullptr;
    EveryTick tick([&] {
        picture = FindWindowW(nullptr, kAboutVIPDlgWindowName);
        if (!picture || !IsWindowVisible(picture)) return false;
        seen = true;
        overlayShown = h.Dlg().Ctl(65)->IsVisible() != 0;
        ownedByMain = GetWindow(picture, GW_OWNER) == h.Window();
        Click(picture, Centre(CRect(1340, 30, 1368, 58)));  // its close button
        return true;
    });
    EXPECT_EQ(h.SendControlEvent(64, 2), 1);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(overlayShown);
    EXPECT_TRUE(ownedByMain);
    EXPECT_FALSE(IsWindow(picture));
    EXPECT_FALSE(h.Dlg().Ctl(65)->IsVisible());
}

TEST(MainWindowFrame, LanguageSwitchRetextsEveryFrameControl)
{
    enum Kind { Title, Tip, TabItem };
    struct Row
    {
        Kind kind;
        UINT id;  // control id, or the main tab's item id
        int text;
    };
    const Row rows[] = {
        {Tip, 39, 510},   {Tip, 40, 3},     {Tip, 42, 10},    {Tip, 43, 5},     {Tip, 45, 7},
        {Title, 52, 65},  {Tip, 54, 66},    {Tip, 55, 79},    {Title, 50, 67},  {Title, 60, 201},
        {Title, 61, 202}, {Title, 64, 8},   {Title, 67, 11},  {Title, 80, 63},  {TabItem, 0, 50},
        {TabItem, 1, 51}, {TabItem, 2, 52}, {TabItem, 4, 53}, {TabItem, 5, 54}, {TabItem, 7, 57},
        {TabItem, 8, 56}, {TabItem, 3, 58},
    };
    MainWindowHarness h;
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    ASSERT_TRUE(h.Start());
    KeyboardDlg& dlg = h.Dlg();
    auto textOf = [&](const Row& r) -> CString {
        switch (r.kind) {
            case Title: {
                // 64 is the picture button and its text button; the text is the latter's.
                WEXA::MControl* control = r.id == 64 ? dlg.m_pJoinVipText : dlg.Ctl(r.id);
                auto* font = dynamic_cast<WEXA::MControlFont*>(control);
                return font ? font->GetTitle() : CString(L"<no control>");
            }
            case Tip: return dlg.Ctl(r.id) ? dlg.Ctl(r.id)->GetTooltip() : CString(L"<no control>");
            case TabItem: {
                WEXA::MTabCtrl* tab = dlg.MainTab();
                for (int i = 0; i < tab->GetItemCount(); ++i)
                    if (tab->GetItemID(i) == int(r.id)) return tab->GetItemInfo(i)->text;
                return L"<no item>";
            }
        }
        return L"";
    };
    std::vector<CString> english;
    for (const Row& r : rows) english.push_back(textOf(r));
    SetCurrentLanguageId(2052);
    SendMessageW(h.Window(), 2024, 0, 0);
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        const Row& r = rows[i];
        CString expected = dlg.LangText(r.text);
        ASSERT_FALSE(expected.IsEmpty()) << "text " << r.text;
        EXPECT_STREQ(textOf(r), expected) << "control " << r.id << " kind " << r.kind;
        EXPECT_STRNE(textOf(r), english[i]) << "control " << r.id << " kind " << r.kind;
    }
    SetCurrentLanguageId(1033);
}

// The raw-input registrations of this process for the generic desktop page.
std::vector<RAWINPUTDEVICE> RegisteredRawInput()
{
    UINT count = 0;
    GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
    std::vector<RAWINPUTDEVICE> devices(count);
    if (count) {
        UINT got = GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE));
        devices.resize(got == UINT(-1) ? 0 : got);
    }
    return devices;
}

TEST(MainWindowFrame, RawInputIsRegisteredOnlyWhileTheKeyTestPageIsShown)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    EXPECT_TRUE(RegisteredRawInput().empty());
    WEXA::MTabCtrl* tab = h.Dlg().MainTab();
    tab->SetVisible(1);
    // Tab positions, in order; position 4 is the custom-key page with the key test.
    for (int position : {1, 4, 2, 4, 3, 5, 4, 6, 7, 4, 0}) {
        tab->SetSelectItem(position);
        h.Pump(10);
        std::vector<RAWINPUTDEVICE> devices = RegisteredRawInput();
        if (h.Dlg().m_currentPage != 4) {
            EXPECT_TRUE(devices.empty()) << "position " << position;
            continue;
        }
        ASSERT_EQ(devices.size(), 2u) << "position " << position;
        std::set<USHORT> usages;
        for (const RAWINPUTDEVICE& d : devices) {
            EXPECT_EQ(d.usUsagePage, 1);
            EXPECT_EQ(d.hwndTarget, h.Window());
            EXPECT_TRUE(d.dwFlags & RIDEV_INPUTSINK);
            usages.insert(d.usUsage);
        }
        EXPECT_EQ(usages, (std::set<USHORT>{2, 6}));  // mouse and keyboard
    }
    // Stopping on the key-test page leaves no registration behind either.
    tab->SetSelectItem(4);
    ASSERT_EQ(RegisteredRawInput().size(), 2u);
    h.Stop();
    EXPECT_TRUE(RegisteredRawInput().empty());
}

TEST(MainWindowStart, AutorunStartsTheRealWindowMinimised)
{
    MainWindowHarness h;
    Keyboard k87("Kestrova-K87");
    ASSERT_TRUE(h.Start(ShowCommandFor(L"Kestrova.exe autorun")));
    EXPECT_TRUE(IsWindowVisible(h.Window()));
    EXPECT_TRUE(IsIconic(h.Window()));
    // Minimised, it still starts its work: the worker, the keyboard, the tray icon.
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    EXPECT_TRUE(h.Dlg().m_deviceConnected);
    EXPECT_TRUE(h.Dlg().TrayIconAdded());
    // A left click on the tray icon brings it back.
    SendMessageW(h.Window(), 1690, 109, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsIconic(h.Window()));
}

}  // namespace
