// What a keyboard owner sets stays set: a user light mode with its key
// colours survives profile switches and a language change, edited macro
// pauses and deleted events reach the keyboard, a matrix colour picked while
// other work waits is sent, and a cable pulled in the middle of a profile
// switch leaves the database as it was and the keyboard whole once it is
// back. Driven by real clicks on a keyboard of each model.
#include <map>

#include "CColorButton.h"
#include "CRecordList.h"
#include "KeyboardCtrl.h"
#include "MComboBox.h"
#include "MacroList.h"
#include "ProfileList.h"
#include "ScenarioFixture.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/MacroUpload.h"
#include "services/AppEnvironment.h"
#include "services/LanguageText.h"
#include "services/db/DeviceDataDB.h"

namespace scenario {
namespace {

const int kLightingTab = 1, kMatrixTab = 2, kKeysTab = 4, kMacroTab = 5;
const int kKeyF1 = 0x3A, kKeyF2 = 0x3B, kKeyEsc = 0x29;
const int kMacroCategory = 3;
const int kPerKeyMode = 128, kUserModeThree = 130;
const UINT kRedPreset = 148, kOrangePreset = 149;
const UINT kSettingsButton = 42, kSettingsBack = 415;
const UINT kSimplifiedChinese = 418, kEnglish = 419;
const UINT kDeleteEvent = 222;

class Keep : public Scenario
{
protected:
    std::string Profile() { return std::to_string(Dlg().m_currentProfile.load()); }

    // The colour the lighting picture shows on a key.
    COLORREF PictureColour(int keyCode)
    {
        for (const WEXA::KEY_INFO* key : Control<WEXA::KeyboardCtrl>(58)->GetKeyItems())
            if (key->nKeyCode == keyCode) return key->crKey;
        return CLR_INVALID;
    }
    COLORREF Preset(UINT id) { return Control<WEXA::CColorButton>(id)->GetColor(); }
    // A key's colour in the keyboard's table of user mode `slot` (0-4).
    std::string KeyboardColour(int slot, int keyCode)
    {
        const sim::Bytes& colours = keyboard->Block(uint8_t(0x22 + 2 * slot));
        const size_t at = size_t(3 * KeyLed(keyCode));
        return at + 3 <= colours.size() ? Hex(&colours[at], 3) : "(none)";
    }
    static std::string Rgb(COLORREF colour)
    {
        const uint8_t bytes[] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
        return Hex(bytes, 3);
    }
    std::vector<std::string> KeyRows(int profile)
    {
        return Sql(
            "SELECT fn_layer, key_code, macro_type, macro_value, macro_desc FROM t_key_macro_data "
            "WHERE profile = " +
            std::to_string(profile) + " ORDER BY fn_layer, key_code");
    }
    std::vector<std::string> UserColourRows(int profile)
    {
        return Sql(
            "SELECT userlight_id, key_code, key_rgb FROM t_userlightrgb_data WHERE profile = " +
            std::to_string(profile) + " ORDER BY userlight_id, key_code");
    }
    // The keyboard's macro memory is what the database's macros make.
    void ExpectMacroMemoryAgrees()
    {
        const std::vector<uint8_t> expected = BuildMacroTable(*DeviceDataDB::Instance(), 4096);
        const sim::Bytes& memory = keyboard->Block(0x2D);
        ASSERT_GE(memory.size(), expected.size());
        EXPECT_EQ(Hex(memory.data(), expected.size()), Hex(expected.data(), expected.size()));
    }

    // The user mode, its key colours and the key remaps of the profile as the
    // page, the database and the keyboard show them.
    void ExpectUserModeThree(COLORREF f1, COLORREF esc)
    {
        if (Model().deviceType >= 150) return;
        ASSERT_NO_FATAL_FAILURE(OpenTab(kLightingTab));
        auto* modes = Control<WEXA::MComboBox>(126);
        auto* userModes = Control<WEXA::MComboBox>(159);
        EXPECT_EQ(modes->GetItemData(modes->GetCurSel()), kPerKeyMode);
        EXPECT_EQ(userModes->GetItemData(userModes->GetCurSel()), kUserModeThree);
        EXPECT_EQ(PictureColour(kKeyF1), f1);
        EXPECT_EQ(PictureColour(kKeyEsc), esc);
        EXPECT_EQ(SqlValue("SELECT mode FROM t_light_data WHERE type = 0 AND status = 1 AND "
                           "profile = " +
                           Profile()),
                  std::to_string(kUserModeThree));
        const sim::Bytes& settings = keyboard->Block(0x14);
        EXPECT_EQ(settings[2], 0xFD) << "a per-key mode";
        EXPECT_EQ(settings[10], kUserModeThree - kPerKeyMode) << "the third user slot";
        EXPECT_EQ(KeyboardColour(2, kKeyF1), Rgb(f1));
        EXPECT_EQ(KeyboardColour(2, kKeyEsc), Rgb(esc));
    }

    void ChooseModel();
    void UserModeThreeWithKeyColours();
    void SwitchProfilesAndLanguageAndBack();
    void EditMacroPausesAndDeleteEvents();
    void MatrixColourBehindOtherWork();
    void UnplugInTheMiddleOfASwitch();

    COLORREF f1Colour = 0, escColour = 0;
    DWORD clock = 5000;
};

void Keep::ChooseModel()
{
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    ASSERT_TRUE(harness->WaitForTasks({TASK_DEVICE_SELECTED}));
    Settle();
    ASSERT_TRUE(Dlg().m_deviceConnected);
}

void Keep::UserModeThreeWithKeyColours()
{
    if (Model().deviceType >= 150) return;
    ASSERT_NO_FATAL_FAILURE(OpenTab(kLightingTab));
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(126, kPerKeyMode));
    Settle();
    ASSERT_TRUE(Shown(159)) << "the user modes are offered";
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(159, kUserModeThree));
    Settle();
    ASSERT_NO_FATAL_FAILURE(ClickControl(kOrangePreset));
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF1));
    ASSERT_NO_FATAL_FAILURE(ClickControl(kRedPreset));
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyEsc));
    Settle();
    f1Colour = Preset(kOrangePreset);
    escColour = Preset(kRedPreset);
    ASSERT_NO_FATAL_FAILURE(ExpectUserModeThree(f1Colour, escColour));
}

void Keep::SwitchProfilesAndLanguageAndBack()
{
    const int first = Dlg().m_currentProfile;
    const std::vector<std::string> keys = KeyRows(first), colours = UserColourRows(first);

    // To the second profile and back through the profile manager.
    ASSERT_NO_FATAL_FAILURE(SwitchTo(1));
    ASSERT_NE(Dlg().m_currentProfile, first);
    ASSERT_NO_FATAL_FAILURE(SwitchTo(0));
    ASSERT_EQ(Dlg().m_currentProfile, first);
    ASSERT_NO_FATAL_FAILURE(ExpectUserModeThree(f1Colour, escColour));

    // Chinese and back to English from the settings page, with the lighting
    // page underneath.
    ASSERT_NO_FATAL_FAILURE(ClickControl(kSettingsButton));
    ASSERT_NO_FATAL_FAILURE(ClickControl(kSimplifiedChinese));
    EXPECT_EQ(GetCurrentLanguageId(), 2052);
    Settle();
    ASSERT_NO_FATAL_FAILURE(ClickControl(kEnglish));
    EXPECT_EQ(GetCurrentLanguageId(), 1033);
    Settle();
    ASSERT_NO_FATAL_FAILURE(ClickControl(kSettingsBack));
    Settle();
    ASSERT_NO_FATAL_FAILURE(ExpectUserModeThree(f1Colour, escColour));

    // One more key coloured after all that keeps the colours set before.
    if (Model().deviceType < 150) {
        ASSERT_NO_FATAL_FAILURE(ClickControl(kRedPreset));
        ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF2));
        Settle();
        ASSERT_NO_FATAL_FAILURE(ExpectUserModeThree(f1Colour, escColour));
        EXPECT_EQ(KeyboardColour(2, kKeyF2), Rgb(escColour));
    }
    EXPECT_EQ(KeyRows(first), keys) << "no key changed";
    if (Model().deviceType >= 150) {
        EXPECT_EQ(UserColourRows(first), colours);
    }
}

void Keep::EditMacroPausesAndDeleteEvents()
{
    ASSERT_NO_FATAL_FAILURE(OpenTab(kMacroTab));
    auto* macros = Control<WEXA::MacroList>(209);
    auto* events = Control<WEXA::CRecordList>(220);
    ASSERT_GE(macros->GetCurSel(), 0);
    const int macroId = macros->GetCurData();
    const std::string id = std::to_string(macroId);
    auto stored = [&] {
        return Sql("SELECT type, value, delay_time FROM t_macrorecord WHERE macro_id = " + id +
                   " ORDER BY record_index");
    };

    // B and C typed: four events.
    Dlg().SetMacroClock(&Tick, &clock);
    ASSERT_NO_FATAL_FAILURE(ClickControl(226));
    ASSERT_TRUE(Dlg().MacroRecording());
    for (WORD vk : {WORD('B'), WORD('C')}) {
        TypeKey(vk, false);
        harness->Pump(60);
        clock += 120;
        TypeKey(vk, true);
        harness->Pump(60);
        clock += 80;
    }
    ASSERT_NO_FATAL_FAILURE(ClickControl(226));
    Settle();
    ASSERT_EQ(events->GetRecordItems().size(), 4u);

    // Bound to F2, so that the keyboard plays it.
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    const int layer = Dlg().m_currentFnLayer;
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF2));
    ASSERT_NO_FATAL_FAILURE(ChooseCategory(kMacroCategory));
    ASSERT_NO_FATAL_FAILURE(PickTile(macroId));
    ASSERT_EQ(KeyRecord(uint8_t(0x1A + 2 * layer), kKeyF2).substr(0, 2), "60");
    ASSERT_NO_FATAL_FAILURE(OpenTab(kMacroTab));

    // The second event's pause edited in the list: a double click opens the
    // field, a click on another event ends it.
    harness->Pump(100);  // the rows are placed by their paint
    auto rowPoint = [&](int row) {
        CRect r(events->GetRecordItems()[size_t(row)]->rcItem);
        r.OffsetRect(events->GetRect().left, events->GetRect().top);
        return POINT{r.left + 260, r.CenterPoint().y};
    };
    HWND window = harness->Window();
    const POINT pause = rowPoint(1);
    ClickAt(pause, events);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pause.x, pause.y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(pause.x, pause.y));
    Settle();
    ASSERT_EQ(events->GetEditItem(), 1);
    HWND edit = events->GetEditWindow()->GetSafeHwnd();
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"750")) SendMessageW(edit, WM_CHAR, c, 1);
    ClickAt(rowPoint(3), events);
    Settle();
    std::vector<std::string> rows = stored();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].substr(rows[1].rfind('|')), "|750") << "the edited pause is stored";
    ExpectMacroMemoryAgrees();

    // Every event deleted, one by one from the top.
    while (!events->GetRecordItems().empty()) {
        ClickAt(rowPoint(0), events);
        ASSERT_NO_FATAL_FAILURE(ClickControl(kDeleteEvent));
        Settle();
    }
    EXPECT_TRUE(stored().empty());
    ExpectMacroMemoryAgrees();
    EXPECT_NE(SqlValue("SELECT macro_type FROM t_key_macro_data WHERE profile = " + Profile() +
                       " AND fn_layer = " + std::to_string(layer) +
                       " AND key_code = " + std::to_string(kKeyF2)),
              "3")
        << "no key plays a macro without events";
    EXPECT_NE(KeyRecord(uint8_t(0x1A + 2 * layer), kKeyF2).substr(0, 2), "60");
}

void Keep::MatrixColourBehindOtherWork()
{
    if (!Model().matrix) return;
    ASSERT_NO_FATAL_FAILURE(OpenTab(kMatrixTab));
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(289, 3));
    Settle();
    // The worker is busy with a performance write while the colour is picked.
    Dlg().m_workerPaused = 1;
    harness->Pump(40);
    Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
    ASSERT_NO_FATAL_FAILURE(ClickControl(312));
    Dlg().m_workerPaused = 0;
    Settle();
    const COLORREF picked = Control<WEXA::CColorButton>(312)->GetColor();
    EXPECT_EQ(SqlValue("SELECT color_value FROM t_light_data WHERE type = 16 AND mode = 3 AND "
                       "profile = " +
                       Profile()),
              std::to_string(picked));
    if (Dlg().m_deviceInfo.generation >= 2) {
        const sim::Bytes& settings = keyboard->Block(0x14);
        EXPECT_EQ(Hex(&settings[35], 3), Rgb(picked)) << "the keyboard got the colour";
    }
}

void Keep::UnplugInTheMiddleOfASwitch()
{
    const int first = Dlg().m_currentProfile;
    auto* list = Control<WEXA::ProfileList>(53);
    const int second = list->GetItemData(1);
    const std::vector<std::string> firstKeys = KeyRows(first), secondKeys = KeyRows(second);
    const std::vector<std::string> firstColours = UserColourRows(first);
    std::map<uint8_t, sim::Bytes> firstMemory;
    for (uint8_t block = 0x1A; block <= 0x20; block += 2)
        firstMemory[block] = keyboard->Block(block);

    // The cable comes out while the second profile's third layer is written.
    keyboard->AddFault(sim::Fault::Unplug, 0x1F);
    harness->RecordMessageBoxes(IDOK);
    const size_t applies = TaskCount(TASK_APPLY_PROFILE);
    ASSERT_NO_FATAL_FAILURE(SwitchTo(1, false));
    ASSERT_GT(TaskCount(TASK_APPLY_PROFILE), applies);
    // The owner is told (once more if the fall-back to the profile before
    // fails too while the first message is already answered).
    ASSERT_FALSE(harness->MessageBoxes().empty()) << "the owner is told the switch did not finish";
    for (const std::wstring& box : harness->MessageBoxes())
        EXPECT_EQ(box, std::wstring(GetLanguageText(71)));
    ASSERT_NO_FATAL_FAILURE(Unplug());
    ASSERT_NO_FATAL_FAILURE(PlugBack());
    const size_t again = TaskCount(TASK_APPLY_PROFILE);
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    ASSERT_TRUE(harness->PumpUntil([&] { return TaskCount(TASK_APPLY_PROFILE) > again; }, 10000))
        << "the unfinished switch is done again";
    Settle();
    ASSERT_TRUE(Dlg().m_deviceConnected);

    // Nothing of the half-written keyboard reached the database.
    EXPECT_EQ(KeyRows(first), firstKeys);
    EXPECT_EQ(KeyRows(second), secondKeys);
    EXPECT_EQ(UserColourRows(first), firstColours);
    // The keyboard holds the current profile on every layer.
    const int current = Dlg().m_currentProfile;
    for (const auto& block : firstMemory) {
        const sim::Bytes& now = keyboard->Block(block.first);
        if (current == first) {
            EXPECT_EQ(now, block.second) << "block " << int(block.first);
        } else if (block.first == 0x1A) {
            EXPECT_EQ(now, sim::DefaultKeyTable(Model())) << "a new profile's keys";
        }
    }
}

TEST_P(Keep, WhatTheOwnerSetSurvivesSwitchesLanguagesAndACutCable)
{
    ASSERT_NO_FATAL_FAILURE(ChooseModel());
    ASSERT_NO_FATAL_FAILURE(UserModeThreeWithKeyColours());
    ASSERT_NO_FATAL_FAILURE(SwitchProfilesAndLanguageAndBack());
    ASSERT_NO_FATAL_FAILURE(EditMacroPausesAndDeleteEvents());
    ASSERT_NO_FATAL_FAILURE(MatrixColourBehindOtherWork());
    ASSERT_NO_FATAL_FAILURE(UnplugInTheMiddleOfASwitch());
}

INSTANTIATE_TEST_SUITE_P(EveryModel, Keep, ::testing::ValuesIn(sim::Models()), ModelTestName);

}  // namespace
}  // namespace scenario
