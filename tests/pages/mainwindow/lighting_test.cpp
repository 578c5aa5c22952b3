// The lighting page, driven through the real main window: the default modes,
// what each mode's capability bits show, colours and the user modes coloured
// key by key, checked against the database and the simulated keyboard.
#include <functional>
#include <thread>

#include "CColorButton.h"
#include "CSwitchButton.h"
#include "KeyboardCtrl.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MSlider.h"
#include "PageFixture.h"
#include "TabCtrlEx.h"

namespace pagetest {
namespace {

const int kLightingTab = 1;
const int kKeyF1 = 0x3A, kKeyEsc = 0x29;

class LightingPage : public PageFixture
{
protected:
    void SetUp() override
    {
        Start("Kestrova-K87");
        OpenTab(kLightingTab);
        Dlg().LoadLightModes();
    }

    int LightRowCount()
    {
        int rows = 0;
        std::vector<LightData*> list;
        for (int type : {0, 1, 2, 10}) rows += Db().GetLights(1, type, list);
        FreeRecordList(list);
        return rows;
    }

    void ChooseMode(int mode)
    {
        auto* modes = Control<WEXA::MComboBox>(126);
        ASSERT_GE(modes->SelectData(mode), 0) << "no mode " << mode;
        harness->SendControlEvent(126, 2);
    }

    bool Shown(UINT id) { return Dlg().Ctl(id) && Dlg().Ctl(id)->IsVisible(); }
    bool Enabled(UINT id) { return Dlg().Ctl(id) && Dlg().Ctl(id)->IsEnabled(); }

    LightData Row(int zone, int mode)
    {
        LightData row;
        EXPECT_TRUE(Db().GetLight(1, zone, mode, row));
        return row;
    }

    // The colour the keyboard picture shows on a key.
    COLORREF PictureColour(int keyCode)
    {
        for (const WEXA::KEY_INFO* key : Control<WEXA::KeyboardCtrl>(58)->GetKeyItems())
            if (key->nKeyCode == keyCode) return key->crKey;
        return 0xFFFFFFFF;
    }

    // The stored colour of a key in a user mode (-1: no row).
    int StoredColour(int userMode, int keyCode)
    {
        std::vector<UserLightRgbData*> colours;
        Db().GetUserLightRgb(1, userMode, colours);
        int found = -1;
        for (const UserLightRgbData* c : colours)
            if (c->key_code == keyCode) found = c->key_rgb;
        FreeRecordList(colours);
        return found;
    }

    // The keyboard's colour of a key in a user-mode slot (0-4), as "RR GG BB".
    std::string KeyboardColour(int slot, int keyCode)
    {
        const sim::Bytes& block = keyboard->Block(uint8_t(0x22 + 2 * slot));
        for (size_t i = 0; i < model->keyCount; ++i) {
            if (model->keys[i].usage != keyCode) continue;
            const size_t at = 3 * size_t(model->keys[i].led);
            return Hex(std::vector<uint8_t>(block.begin() + at, block.begin() + at + 3));
        }
        return "(no key)";
    }

    // A user mode chosen in the user-mode list, as its selection does.
    void ChooseUserMode(int mode)
    {
        auto* userModes = Control<WEXA::MComboBox>(159);
        ASSERT_GE(userModes->SelectData(mode), 0) << "no user mode " << mode;
        harness->SendControlEvent(159, 2);
    }

    // Keys typed into whatever has the keyboard focus, as the keyboard sends them.
    void Type(const std::vector<WPARAM>& keys)
    {
        for (WPARAM key : keys) {
            HWND focus = GetFocus();
            if (!focus) continue;  // nothing takes the key: it is lost, as it would be
            if (key == VK_END || key == VK_HOME) {
                SendMessageW(focus, WM_KEYDOWN, key, 1);
                SendMessageW(focus, WM_KEYUP, key, 0xC0000001);
            } else {
                SendMessageW(focus, WM_CHAR, key, 1);
            }
            harness->Pump(10);
        }
    }
};

TEST_F(LightingPage, DefaultModesAreSeededOnceEvenFromTwoThreads)
{
    EXPECT_EQ(LightRowCount(), 41);
    for (int zone : {0, 1, 2}) EXPECT_EQ(Db().GetActiveLightMode(1, zone), 1);
    EXPECT_EQ(Db().GetActiveLightMode(1, 10), 0);
    Dlg().LoadLightModes();
    EXPECT_EQ(LightRowCount(), 41) << "a second load adds nothing";

    // A profile without rows, loaded on two threads at once.
    ProfileData second;
    second.name = L"Profile 2";
    ASSERT_EQ(Db().AddProfile(second), 2);
    Dlg().m_currentProfile = 2;
    for (int round = 0; round < 5; ++round) {
        Db().m_db.Exec("DELETE FROM t_light_data WHERE profile = 2");
        std::thread other([&] { Dlg().SeedDefaultLightModes(); });
        Dlg().SeedDefaultLightModes();
        other.join();
        std::vector<LightData*> list;
        int rows = 0;
        for (int type : {0, 1, 2, 10}) rows += Db().GetLights(2, type, list);
        FreeRecordList(list);
        EXPECT_EQ(rows, 41) << "round " << round;
    }
    Dlg().m_currentProfile = 1;
}

TEST_F(LightingPage, CapabilityBitsDecideWhatShows)
{
    auto* modes = Control<WEXA::MComboBox>(126);
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(modes->GetCount(), 22) << "modes 0-20 and the user mode 128";
    EXPECT_EQ(modes->GetItemData(21), 128);
    auto* zones = Control<WEXA::TabCtrlEx>(117);
    ASSERT_NE(zones, nullptr);
    WEXA::TABITEM_INFO item;
    for (int zone = 1; zone <= 2; ++zone) {
        ASSERT_TRUE(zones->GetItemInfo(zone, item));
        const bool present =
            zone == 1 ? Dlg().m_deviceInfo.zone1Present : Dlg().m_deviceInfo.zone2Present;
        EXPECT_EQ(item.visible != 0, present) << "zone " << zone;
    }
    struct Case
    {
        int mode;
        bool brightness, speed, direction, singleColour, colourEnabled, userMode;
    };
    const Case cases[] = {
        {1, true, true, false, true, true, false},    // 0x33
        {2, true, true, false, false, false, false},  // 0x03
        {4, true, false, false, true, true, false},   // 0x31
        {0, false, false, false, false, false, false},
        {128, true, false, false, false, true, true},  // 0x111
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ChooseMode(c.mode);
        EXPECT_EQ(Dlg().m_lightMode, c.mode);
        EXPECT_EQ(Db().GetActiveLightMode(1, 0), c.mode);
        EXPECT_EQ(Shown(129), c.brightness);
        EXPECT_EQ(Shown(128), c.brightness);
        EXPECT_EQ(Shown(131), c.speed);
        EXPECT_EQ(Shown(137), c.singleColour);
        EXPECT_EQ(Shown(159), c.userMode);
        for (UINT id : {141u, 145u, 148u}) EXPECT_EQ(Enabled(id), c.colourEnabled) << id;
        EXPECT_EQ(Control<WEXA::CSwitchButton>(123)->GetCheck(), 1);
        Dlg().FlushTasks();
    }
}

TEST_F(LightingPage, ColourFieldIsHeldAt255AndReachesTheKeyboard)
{
    ChooseMode(1);
    RunQueuedTasks();
    // Colourful is on: picking a colour turns it off.
    ASSERT_EQ(Row(0, 1).colorful, 1);
    auto* red = Control<WEXA::MEdit>(145);
    auto* green = Control<WEXA::MEdit>(146);
    auto* blue = Control<WEXA::MEdit>(147);
    EXPECT_EQ(std::wstring(red->GetTitleEx()), L"255");
    green->SetControlTitle(L"16");
    blue->SetControlTitle(L"300");
    harness->SendControlEvent(147, 26);
    EXPECT_EQ(std::wstring(blue->GetTitleEx()), L"255");
    const LightData row = Row(0, 1);
    EXPECT_EQ(row.color_value, 0xFF10FF);
    EXPECT_EQ(row.colorful, 0);
    RunQueuedTasks();
    const sim::Bytes& block = keyboard->Block(0x14);
    // Zone 0: bytes 1-10; R, G, B at 7-9, colourful at 5.
    EXPECT_EQ(Hex(std::vector<uint8_t>(block.begin() + 5, block.begin() + 10)), "00 00 FF 10 FF");
}

TEST_F(LightingPage, UserModeKeyClickRewritesTheColoursAndReachesTheKeyboard)
{
    Dlg().m_workerPaused = 1;
    ChooseMode(128);
    EXPECT_EQ(Dlg().m_taskQueue.Snapshot(),
              (std::vector<int>{TASK_WRITE_USER_LIGHT_MODE, TASK_READ_USER_KEY_COLORS}));
    Dlg().m_workerPaused = 0;
    RunQueuedTasks();
    // A preset colour becomes what key presses paint.
    ASSERT_TRUE(harness->Click(151));  // 0x00FF00
    RunQueuedTasks();
    ASSERT_TRUE(ClickKey(kKeyF1));
    EXPECT_EQ(Dlg().m_taskQueue.Snapshot(), std::vector<int>{TASK_WRITE_USER_KEY_COLORS});
    std::vector<UserLightRgbData*> colours;
    const int keys = Control<WEXA::KeyboardCtrl>(58)->GetKeyCount();
    EXPECT_EQ(Db().GetUserLightRgb(1, 128, colours), keys);
    for (const UserLightRgbData* c : colours)
        EXPECT_EQ(c->key_rgb, c->key_code == kKeyF1 ? 0x00FF00 : 0) << c->key_code;
    FreeRecordList(colours);
    ClearLog();
    RunQueuedTasks();
    std::vector<sim::Request> requests = DataRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Command(), 0x23);
    const sim::Bytes& block = keyboard->Block(0x22);
    int led = -1;
    for (size_t i = 0; i < model->keyCount; ++i)
        if (model->keys[i].usage == kKeyF1) led = model->keys[i].led;
    ASSERT_GE(led, 0);
    EXPECT_EQ(Hex(std::vector<uint8_t>(block.begin() + 3 * led, block.begin() + 3 * led + 3)),
              "00 FF 00");
    // A second key: the set is replaced, never added to.
    ASSERT_TRUE(ClickKey(kKeyEsc));
    EXPECT_EQ(Db().GetUserLightRgb(1, 128, colours), keys);
    FreeRecordList(colours);
    RunQueuedTasks();
}

TEST_F(LightingPage, UserModeColoursSurviveAReloadAndAProfileApply)
{
    ChooseMode(128);
    RunQueuedTasks();
    ASSERT_TRUE(harness->Click(151));  // 0x00FF00
    ASSERT_TRUE(ClickKey(kKeyF1));
    RunQueuedTasks();
    ASSERT_EQ(StoredColour(128, kKeyF1), 0x00FF00);
    ASSERT_EQ(KeyboardColour(0, kKeyF1), "00 FF 00");

    // A language change reloads the page; the profile applied again from the
    // manager does too. Neither may take the key colours from the picture.
    const struct
    {
        const char* what;
        std::function<void()> reload;
    } reloads[] = {
        {"language change", [&] { Dlg().ApplyLanguage(); }},
        {"profile apply",
         [&] {
             Dlg().AppendTask(TASK_APPLY_PROFILE);
             RunQueuedTasks();
         }},
    };
    for (const auto& r : reloads) {
        SCOPED_TRACE(r.what);
        r.reload();
        harness->Pump(20);
        EXPECT_EQ(PictureColour(kKeyF1), COLORREF(0x00FF00))
            << "the picture shows the stored colour";
        // The next key press stores what the picture shows: F1 keeps its colour.
        ASSERT_TRUE(ClickKey(kKeyEsc));
        RunQueuedTasks();
        EXPECT_EQ(StoredColour(128, kKeyF1), 0x00FF00);
        EXPECT_EQ(StoredColour(128, kKeyEsc), 0x00FF00);
        EXPECT_EQ(KeyboardColour(0, kKeyF1), "00 FF 00");
        ASSERT_TRUE(ClickKey(kKeyEsc));  // unpainted again for the next round
        RunQueuedTasks();
    }
}

TEST_F(LightingPage, TheChosenUserModeIsKeptPerProfile)
{
    ChooseMode(128);
    ChooseUserMode(130);
    RunQueuedTasks();
    EXPECT_EQ(Dlg().m_lightMode, 130);
    EXPECT_EQ(Db().GetActiveLightMode(1, 0), 130) << "the choice is stored";
    EXPECT_EQ(keyboard->Block(0x14)[10], 2) << "user mode 3 is the keyboard's slot 2";

    // Leaving the page and coming back, a reload and a profile apply keep it.
    const struct
    {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"page entry",
         [&] {
             OpenTab(0);
             OpenTab(kLightingTab);
         }},
        {"reload", [&] { Dlg().LoadLightModes(); }},
        {"profile apply", [&] { Dlg().AppendTask(TASK_APPLY_PROFILE); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        RunQueuedTasks();
        EXPECT_EQ(Dlg().m_lightMode, 130);
        EXPECT_EQ(Control<WEXA::MComboBox>(159)->GetCurData(), 130);
        EXPECT_EQ(Control<WEXA::MComboBox>(126)->GetCurData(), 128);
        EXPECT_EQ(Db().GetActiveLightMode(1, 0), 130);
        EXPECT_EQ(keyboard->Block(0x14)[10], 2);
    }

    // A built-in mode in between: the user-mode item still stands for mode 3.
    ChooseMode(1);
    ChooseMode(128);
    RunQueuedTasks();
    EXPECT_EQ(Dlg().m_lightMode, 130);
    EXPECT_EQ(keyboard->Block(0x14)[10], 2);

    // A second profile keeps its own choice.
    ProfileData second;
    second.name = L"Profile 2";
    ASSERT_EQ(Db().AddProfile(second), 2);
    Dlg().m_currentProfile = 2;
    Dlg().LoadLightModes();
    ChooseMode(128);
    ChooseUserMode(132);
    RunQueuedTasks();
    EXPECT_EQ(Db().GetActiveLightMode(2, 0), 132);
    EXPECT_EQ(Db().GetActiveLightMode(1, 0), 130);
    Dlg().m_currentProfile = 1;
    Dlg().LoadLightModes();
    EXPECT_EQ(Dlg().m_lightMode, 130);
    EXPECT_EQ(Control<WEXA::MComboBox>(159)->GetCurData(), 130);
}

TEST_F(LightingPage, TypingInAColourFieldKeepsItOpenAndTakesEveryCharacter)
{
    ChooseMode(1);
    RunQueuedTasks();
    for (UINT id : {145u, 146u, 147u}) {
        SCOPED_TRACE(id);
        auto* field = Control<WEXA::MEdit>(id);
        ASSERT_TRUE(harness->Click(id));
        harness->Pump(20);
        HWND edit = field->GetEditHwnd();
        ASSERT_NE(edit, nullptr) << "the click opens the field";
        ASSERT_EQ(GetFocus(), edit);
        // Whatever the field held: to its end, three deletes, then 1, 2, 8.
        Type({VK_END, VK_BACK, VK_BACK, VK_BACK});
        EXPECT_EQ(field->GetEditHwnd(), edit) << "the field stays open while typed in";
        Type({'1', '2', '8'});
        EXPECT_EQ(field->GetEditHwnd(), edit);
        EXPECT_EQ(std::wstring(field->GetEditText()), L"128");
        // Leaving the field.
        SetFocus(harness->Window());
        harness->Pump(20);
    }
    EXPECT_EQ(Row(0, 1).color_value, 0x808080);
    EXPECT_EQ(Row(0, 1).colorful, 0);
    RunQueuedTasks();
    const sim::Bytes& block = keyboard->Block(0x14);
    EXPECT_EQ(Hex(std::vector<uint8_t>(block.begin() + 5, block.begin() + 10)), "00 00 80 80 80");
}

TEST_F(LightingPage, SlidersAndAKeyPressInABuiltInMode)
{
    ChooseMode(1);
    Dlg().FlushTasks();
    auto* brightness = Control<WEXA::MSlider>(129);
    EXPECT_EQ(brightness->GetMaxProgress(), sim::kBrightnessLimit);
    brightness->SetProgress(40);
    harness->SendControlEvent(129, 2);
    EXPECT_EQ(Row(0, 1).brightness, 40);
    EXPECT_EQ(Dlg().m_taskQueue.Snapshot(), std::vector<int>{TASK_WRITE_LIGHT_MODE});
    Dlg().FlushTasks();
    ASSERT_TRUE(ClickKey(kKeyF1));
    EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty()) << "a key press in a built-in mode changes nothing";
    ChooseMode(128);
    Dlg().FlushTasks();
    harness->SendControlEvent(129, 2);
    EXPECT_EQ(Dlg().m_taskQueue.Snapshot(), std::vector<int>{TASK_WRITE_USER_LIGHT_MODE});
    Dlg().FlushTasks();
}

TEST_F(LightingPage, OpeningThePageWithoutAListedModeSendsNothing)
{
    Dlg().FlushTasks();
    Control<WEXA::MComboBox>(126)->DelAllItems();
    harness->SendControlEvent(126, 2);
    EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty()) << "no mode 0 is sent to the keyboard";
    EXPECT_EQ(Db().GetActiveLightMode(1, 0), 1);
}

// Live mirroring of the keyboard's colours lasts while the user keeps it on
// the page: coming back to the page finds it off, switch and picture alike.
TEST_F(LightingPage, ComingBackToThePageFindsLiveMirroringOff)
{
    ChooseMode(1);
    auto* live = Control<WEXA::CSwitchButton>(125);
    ASSERT_TRUE(harness->Click(125));
    harness->Pump(30);
    ASSERT_EQ(1, live->GetCheck());
    ASSERT_EQ(1, Dlg().m_liveKeyColors);
    EXPECT_EQ(103, Control<WEXA::KeyboardCtrl>(58)->GetKeyboardCtrlMode());

    OpenTab(6);  // performance
    OpenTab(kLightingTab);
    EXPECT_EQ(0, live->GetCheck()) << "the switch still shows mirroring that has stopped";
    EXPECT_EQ(0, Dlg().m_liveKeyColors);
    EXPECT_EQ(100, Control<WEXA::KeyboardCtrl>(58)->GetKeyboardCtrlMode());
}

}  // namespace
}  // namespace pagetest

namespace pagetest {
namespace {

// The colour card of each page that has one holds the wheel, the three
// fields and the seven swatches: none of them crosses its edge.
TEST_F(LightingPage, ColourCardsHoldTheirFieldsAndSwatches)
{
    struct Card
    {
        UINT card, wheel, firstField, firstSwatch;
    };
    const Card cards[] = {
        {140, 141, 145, 148},  // lighting
        {176, 177, 181, 184},  // music layers
        {303, 304, 308, 311},  // matrix screen
    };
    for (const Card& c : cards) {
        const CRect card = Dlg().Ctl(c.card)->GetRect();
        std::vector<UINT> inside = {c.wheel};
        for (UINT i = 0; i < 3; ++i) inside.push_back(c.firstField + i);
        for (UINT i = 0; i < 7; ++i) inside.push_back(c.firstSwatch + i);
        for (UINT id : inside) {
            const CRect part = Dlg().Ctl(id)->GetRect();
            CRect both;
            both.UnionRect(&card, &part);
            EXPECT_EQ(both, card) << "control " << id << " crosses card " << c.card;
        }
    }
}

}  // namespace
}  // namespace pagetest
