// A keyboard owner sets up a keyboard of each model, step by step as a person
// does it, from the program's first start on an empty data folder. After each
// step the keyboard's memory, the database file (read with the sqlite3 shell)
// and what the window shows agree.
#include <map>

#include "CColorButton.h"
#include "CRecordList.h"
#include "KeyFuncValue.h"
#include "KeyLayerCtrl.h"
#include "KeyboardCtrl.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MControlFont.h"
#include "MTabCtrl.h"
#include "MacroList.h"
#include "MenuWnd.h"
#include "ProfileList.h"
#include "ScenarioFixture.h"
#include "TabCtrlEx.h"
#include "mainwnd/device/DeviceCommands.h"
#include "pages/ProfileDlg.h"

namespace scenario {
namespace {

const int kLightingTab = 1, kMatrixTab = 2, kKeysTab = 4, kMacroTab = 5;
const int kKeyF1 = 0x3A, kKeyF2 = 0x3B, kKeyEsc = 0x29, kKeyB = 0x05, kKeyC = 0x06;
// Categories of the key-function area, and the mouse's "back" tile.
const int kKeysCategory = 2, kMouseCategory = 5, kMacroCategory = 3;
const int kMouseBack = 90;
const int kStaticMode = 1, kRainbowMode = 2, kPerKeyMode = 128;
const UINT kRedPreset = 148, kOrangePreset = 149;
const UINT kExportEntry = 602;  // of the profile row's menu
const UINT kImportButton = 55;

// The profile file the save and open dialogs name: the system's file dialog
// cannot be driven from the test, so the window asks this chooser instead.
struct FileChooser
{
    std::wstring path;
    static bool Choose(void* self, HWND, bool, std::wstring& path)
    {
        path = static_cast<FileChooser*>(self)->path;
        return true;
    }
};

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// A colour as the keyboard's records carry it: red, green, blue.
std::string Rgb(COLORREF colour)
{
    const uint8_t bytes[] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    return Hex(bytes, 3);
}

class Configure : public Scenario
{
protected:
    // The key's row of the active profile, as the shell prints it:
    // macro_type|macro_value|macro_desc.
    std::string KeyRow(int layer, int keyCode)
    {
        return SqlValue(
            "SELECT macro_type, macro_value, macro_desc FROM t_key_macro_data "
            "WHERE profile = " +
            std::to_string(Dlg().m_currentProfile.load()) + " AND fn_layer = " +
            std::to_string(layer) + " AND key_code = " + std::to_string(keyCode));
    }

    // ---- the steps ----
    void ChooseModel();
    void RemapKeysOnTwoLayers();
    void RecordUploadAndBindAMacro();
    void SetLightingModesAndKeyColours();
    void SwitchExportAndImportProfiles();
    void UnplugAndPlugBack();
    // Clicks the row of the window's own profile list and waits until its
    // profile is written to the keyboard.
    void ClickProfileRow(int row);

    // A profile's keys, row by row, as the database holds them.
    std::vector<std::string> KeyRows(int profile)
    {
        return Sql(
            "SELECT fn_layer, key_code, macro_type, macro_value, macro_value2, "
            "macro_value3, macro_desc FROM t_key_macro_data WHERE profile = " +
            std::to_string(profile) + " ORDER BY fn_layer, key_code");
    }

    // The zone-0 row of the light mode: status|colorful|color_value.
    std::string LightRow(int mode)
    {
        return SqlValue(
            "SELECT status, colorful, color_value FROM t_light_data WHERE type = 0 "
            "AND profile = " +
            std::to_string(Dlg().m_currentProfile.load()) + " AND mode = " + std::to_string(mode));
    }

    // The lighting mode the page shows is the profile's active one, and the
    // keyboard runs it.
    void ExpectLightingAgrees()
    {
        if (Model().deviceType >= 150) return;
        const std::string active =
            SqlValue("SELECT mode FROM t_light_data WHERE type = 0 AND status = 1 AND profile = " +
                     std::to_string(Dlg().m_currentProfile.load()));
        auto* modes = Control<WEXA::MComboBox>(126);
        EXPECT_EQ(std::to_string(modes->GetItemData(modes->GetCurSel())), active);
        // The keyboard names a per-key mode 0xFD, with its slot in byte 10.
        const int mode = std::stoi(active);
        const sim::Bytes& settings = keyboard->Block(0x14);
        EXPECT_EQ(settings[2], mode >= kPerKeyMode ? 0xFD : mode);
        if (mode >= kPerKeyMode) {
            EXPECT_EQ(settings[10], mode - kPerKeyMode);
        }
    }

    DWORD clock = 5000;  // the macro recording's
};

void Configure::ChooseModel()
{
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    ASSERT_TRUE(harness->WaitForTasks({TASK_DEVICE_SELECTED}));
    Settle();
    ASSERT_TRUE(Dlg().m_deviceConnected);
    EXPECT_EQ(Narrow(static_cast<const wchar_t*>(Control<WEXA::MControlFont>(38)->GetTitle())),
              Model().name);

    // Three new profiles, the first active, as the window's profile list
    // holds them.
    auto* list = Control<WEXA::ProfileList>(53);
    const std::vector<std::string> profiles =
        Sql("SELECT profile, name, status FROM t_profile_data ORDER BY profile");
    ASSERT_EQ(int(profiles.size()), list->GetItemCount());
    ASSERT_EQ(profiles.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(profiles[size_t(i)],
                  std::to_string(list->GetItemData(i)) + "|" +
                      Narrow(static_cast<const wchar_t*>(list->GetItemText(i))) +
                      (i == 0 ? "|1" : "|0"));
    EXPECT_EQ(list->GetCurData(), Dlg().m_currentProfile.load());
    EXPECT_EQ(SqlValue("SELECT profile FROM t_profile_data WHERE status = 1"),
              std::to_string(Dlg().m_currentProfile.load()));

    // Every key of the picture has its four layers, layer 0 the key itself,
    // as the keyboard's own table holds it.
    auto* picture = Control<WEXA::KeyboardCtrl>(58);
    EXPECT_EQ(size_t(picture->GetKeyCount()), Model().keyCount);
    const std::string profile = std::to_string(Dlg().m_currentProfile.load());
    EXPECT_EQ(SqlValue("SELECT COUNT(DISTINCT key_code), COUNT(*) FROM t_key_macro_data "
                       "WHERE profile = " +
                       profile),
              std::to_string(Model().keyCount) + "|" + std::to_string(4 * Model().keyCount));
    EXPECT_EQ(KeyRow(0, kKeyF1), "2|58|F1");
    EXPECT_EQ(keyboard->Block(0x1A), sim::DefaultKeyTable(Model()));

    // The pages the model has.
    WEXA::MTabCtrl* tab = Dlg().MainTab();
    EXPECT_EQ(tab->GetItemVisible(kLightingTab) != 0, Model().deviceType < 150);
    EXPECT_EQ(tab->GetItemVisible(kMatrixTab) != 0, Model().matrix);
    EXPECT_TRUE(tab->GetItemVisible(kKeysTab));
    EXPECT_TRUE(tab->GetItemVisible(kMacroTab));
}

void Configure::RemapKeysOnTwoLayers()
{
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    // Layer A: F1 becomes B.
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF1));
    EXPECT_EQ(Dlg().m_selectedKey, kKeyF1);
    ASSERT_NO_FATAL_FAILURE(ChooseCategory(kKeysCategory));
    ASSERT_NO_FATAL_FAILURE(PickTile(kKeyB));
    EXPECT_EQ(KeyRow(0, kKeyF1), "2|5|B");
    EXPECT_EQ(KeyLabel(kKeyF1), L"B");
    EXPECT_EQ(KeyRecord(0x1A, kKeyF1), "10 00 05");

    // The second layer of the selector; Esc there becomes the mouse's back
    // button.
    auto* layers = Control<WEXA::KeyLayerCtrl>(56);
    ASSERT_NE(layers, nullptr);
    ASSERT_GE(layers->GetLayerCount(), 2);
    CRect entry = layers->GetLayerRect(1);
    entry.OffsetRect(layers->GetRect().left, layers->GetRect().top);
    ClickAt(entry.CenterPoint(), layers);
    const int layer = layers->GetCurKeyLayer();
    ASSERT_GT(layer, 0);
    EXPECT_EQ(Dlg().m_currentFnLayer, layer);
    Settle();
    EXPECT_NE(KeyLabel(kKeyF1), L"B") << "the picture shows the second layer";
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyEsc));
    ASSERT_NO_FATAL_FAILURE(ChooseCategory(kMouseCategory));
    ASSERT_NO_FATAL_FAILURE(PickTile(kMouseBack));
    const std::string row = KeyRow(layer, kKeyEsc);
    EXPECT_EQ(row.substr(0, 5), "5|90|");
    EXPECT_EQ(Narrow(KeyLabel(kKeyEsc)), row.substr(5));
    EXPECT_EQ(KeyRecord(uint8_t(0x1A + 2 * layer), kKeyEsc).substr(0, 2), "40");
    EXPECT_EQ(KeyRecord(0x1A, kKeyEsc),
              Hex(&sim::DefaultKeyTable(Model())[3 * KeyIndex(kKeyEsc)], 3))
        << "layer A keeps Esc";
    EXPECT_EQ(KeyRecord(0x1A, kKeyF1), "10 00 05");
}

void Configure::RecordUploadAndBindAMacro()
{
    ASSERT_NO_FATAL_FAILURE(OpenTab(kMacroTab));
    auto* macros = Control<WEXA::MacroList>(209);
    auto* events = Control<WEXA::CRecordList>(220);
    ASSERT_GE(macros->GetCurSel(), 0) << "a new macro table has its first macro chosen";
    const int macroId = macros->GetCurData();
    EXPECT_EQ(SqlValue("SELECT COUNT(*) FROM t_macro_data"),
              std::to_string(macros->GetItemCount()));

    // Record B pressed and let go, 120 ms apart, then stop.
    Dlg().SetMacroClock(&Tick, &clock);
    ASSERT_NO_FATAL_FAILURE(ClickControl(226));
    ASSERT_TRUE(Dlg().MacroRecording());
    TypeKey('B', false);
    harness->Pump(60);
    clock += 120;
    TypeKey('B', true);
    harness->Pump(60);
    ASSERT_NO_FATAL_FAILURE(ClickControl(226));
    ASSERT_FALSE(Dlg().MacroRecording());
    Settle();

    // The list, the stored events and the keyboard's macro memory agree.
    std::vector<std::string> listed;
    for (const WEXA::RecordItem* item : events->GetRecordItems())
        listed.push_back(std::to_string(item->nEventType) + "|" + std::to_string(item->nKeyCode) +
                         "|" + std::to_string(item->nTimeStamp));
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], "2|66|120");
    EXPECT_EQ(Sql("SELECT type, value, delay_time FROM t_macrorecord WHERE macro_id = " +
                  std::to_string(macroId) + " ORDER BY record_index"),
              listed);
    const sim::Bytes& memory = keyboard->Block(0x2D);
    EXPECT_EQ(memory[4], macros->GetItemCount()) << "the table names every macro";
    const size_t first = memory[8] | (memory[9] << 8);
    ASSERT_LT(first, memory.size());
    EXPECT_EQ(memory[first], listed.size()) << "the first macro holds the two events";

    // Bound to F2 on the layer the key page shows.
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    const int layer = Dlg().m_currentFnLayer;
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF2));
    ASSERT_NO_FATAL_FAILURE(ChooseCategory(kMacroCategory));
    ASSERT_NO_FATAL_FAILURE(PickTile(macroId));
    const std::string name = Narrow(static_cast<const wchar_t*>(macros->GetItemText(0)));
    EXPECT_EQ(KeyRow(layer, kKeyF2), "3|" + std::to_string(macroId) + "|" + name);
    EXPECT_EQ(Narrow(KeyLabel(kKeyF2)), name);
    EXPECT_EQ(KeyRecord(uint8_t(0x1A + 2 * layer), kKeyF2).substr(0, 5), "60 00")
        << "the first macro of the keyboard's table";
}

void Configure::SetLightingModesAndKeyColours()
{
    if (Model().deviceType >= 150) {
        // A model without lighting: the page cannot be reached.
        EXPECT_FALSE(Dlg().MainTab()->GetItemVisible(kLightingTab));
        EXPECT_FALSE(Shown(126));
        return;
    }
    ASSERT_NO_FATAL_FAILURE(OpenTab(kLightingTab));
    auto* modes = Control<WEXA::MComboBox>(126);
    const sim::Bytes& settings = keyboard->Block(0x14);

    // Rainbow, then static in red.
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(126, kRainbowMode));
    Settle();
    EXPECT_EQ(LightRow(kRainbowMode).substr(0, 2), "1|");
    ExpectLightingAgrees();
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(126, kStaticMode));
    ASSERT_NO_FATAL_FAILURE(ClickControl(kRedPreset));
    Settle();
    const COLORREF red = Control<WEXA::CColorButton>(kRedPreset)->GetColor();
    EXPECT_EQ(Control<WEXA::CColorButton>(137)->GetColor(), red);
    EXPECT_EQ(Narrow(static_cast<const wchar_t*>(Control<WEXA::MEdit>(145)->GetTitleEx())),
              std::to_string(GetRValue(red)));
    EXPECT_EQ(LightRow(kStaticMode), "1|0|" + std::to_string(red));
    EXPECT_EQ(SqlValue("SELECT COUNT(*) FROM t_light_data WHERE type = 0 AND status = 1 AND "
                       "profile = " +
                       std::to_string(Dlg().m_currentProfile.load())),
              "1")
        << "one active mode";
    EXPECT_EQ(settings[2], kStaticMode);
    EXPECT_EQ(settings[5], 0) << "not colourful";
    EXPECT_EQ(Hex(&settings[7], 3), Rgb(red));

    // Colours key by key: F1 in orange.
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(126, kPerKeyMode));
    Settle();
    EXPECT_EQ(modes->GetItemData(modes->GetCurSel()), kPerKeyMode);
    ASSERT_NO_FATAL_FAILURE(ClickControl(kOrangePreset));
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF1));
    Settle();
    const COLORREF orange = Control<WEXA::CColorButton>(kOrangePreset)->GetColor();
    COLORREF shown = 0;
    for (const WEXA::KEY_INFO* key : Control<WEXA::KeyboardCtrl>(58)->GetKeyItems())
        if (key->nKeyCode == kKeyF1) shown = key->crKey;
    EXPECT_EQ(shown, orange) << "the picture paints the key";
    EXPECT_EQ(SqlValue("SELECT key_rgb FROM t_userlightrgb_data WHERE key_code = " +
                       std::to_string(kKeyF1) +
                       " AND profile = " + std::to_string(Dlg().m_currentProfile.load())),
              std::to_string(orange));
    const sim::Bytes& colours = keyboard->Block(0x22);
    EXPECT_EQ(Hex(&colours[size_t(3 * KeyLed(kKeyF1))], 3), Rgb(orange));
    EXPECT_EQ(Hex(&colours[size_t(3 * KeyLed(kKeyEsc))], 3), "00 00 00") << "Esc is unlit";
    ExpectLightingAgrees();
}

void Configure::SwitchExportAndImportProfiles()
{
    auto* list = Control<WEXA::ProfileList>(53);
    const int first = list->GetItemData(0);
    const std::string remapped = KeyRecord(0x1A, kKeyF1);
    const sim::Bytes layers = keyboard->Block(0x1C);

    // The second profile has the keys a new profile has; the first comes back
    // as it was set.
    ASSERT_NO_FATAL_FAILURE(SwitchTo(1));
    EXPECT_EQ(keyboard->Block(0x1A), sim::DefaultKeyTable(Model()));
    EXPECT_EQ(KeyLabel(kKeyF1), L"F1");
    ExpectLightingAgrees();
    ASSERT_NO_FATAL_FAILURE(SwitchTo(0));
    ExpectLightingAgrees();
    EXPECT_EQ(KeyRecord(0x1A, kKeyF1), remapped);
    EXPECT_EQ(keyboard->Block(0x1C), layers);
    EXPECT_EQ(KeyLabel(kKeyF1), L"B");

    // The profile card below the main tab: one click on a row makes its
    // profile current and writes it to the keyboard.
    ASSERT_FALSE(list->GetRect().IsRectEmpty());
    ASSERT_TRUE(Shown(53) && Shown(54) && Shown(kImportButton));
    ASSERT_NO_FATAL_FAILURE(ClickProfileRow(1));
    EXPECT_EQ(keyboard->Block(0x1A), sim::DefaultKeyTable(Model()));
    ASSERT_NO_FATAL_FAILURE(ClickProfileRow(0));
    EXPECT_EQ(Dlg().m_currentProfile, first);
    EXPECT_EQ(KeyRecord(0x1A, kKeyF1), remapped);
    const sim::Bytes exportedKeys = keyboard->Block(0x1A);

    // Export: the row's menu button, then the menu's entry, each clicked.
    // The system's file dialog cannot be driven from the test: the window
    // asks this chooser for the file instead.
    FileChooser chooser{TempFile(L"kestrova_scenario_profile.xml")};
    DeleteFileW(chooser.path.c_str());
    Dlg().SetFileChooser(&FileChooser::Choose, &chooser);
    bool chosen = false;
    std::wstring entryText;
    {
        EveryTick pick([&] {
            HWND window = FindWindowW(nullptr, L"Menu Window");
            auto* menu = dynamic_cast<WEXA::MenuWnd*>(
                reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
            if (!menu || !IsWindowVisible(window)) return false;
            WEXA::MControl* entry = menu->GetPaintManager()->GetControl(kExportEntry);
            if (auto* text = dynamic_cast<WEXA::MControlFont*>(entry))
                entryText = static_cast<const wchar_t*>(text->GetTitle());
            chosen = ClickControlIn(window, menu->GetPaintManager(), entry);
            if (!chosen) PostMessageW(window, WM_CLOSE, 0, 0);
            return true;
        });
        ClickAt(ProfileRowPoint(list, 0, true), list);
        EXPECT_EQ(list->GetEditItem(), -1) << "the menu button opens no rename box";
        ASSERT_TRUE(harness->PumpUntil([&] {
            return chosen && GetFileAttributesW(chooser.path.c_str()) != INVALID_FILE_ATTRIBUTES;
        }));
    }
    EXPECT_EQ(entryText, L"Export") << "the menu speaks the window's language";

    // A key changes after the export: F1 becomes C.
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF1));
    ASSERT_NO_FATAL_FAILURE(ChooseCategory(kKeysCategory));
    ASSERT_NO_FATAL_FAILURE(PickTile(kKeyC));
    EXPECT_EQ(KeyRecord(0x1A, kKeyF1), "10 00 06");

    // Import: the card's import button; the file becomes a new profile, the
    // current one, on the keyboard.
    const size_t applies = TaskCount(TASK_APPLY_PROFILE);
    ASSERT_NO_FATAL_FAILURE(ClickControl(kImportButton));
    ASSERT_TRUE(harness->PumpUntil([&] { return TaskCount(TASK_APPLY_PROFILE) > applies; }));
    Settle();
    ASSERT_EQ(list->GetItemCount(), 4);
    const int imported = list->GetItemData(3);
    EXPECT_EQ(
        Sql("SELECT profile, name, status FROM t_profile_data WHERE profile = " +
            std::to_string(imported)),
        std::vector<std::string>{std::to_string(imported) + "|" +
                                 Narrow(static_cast<const wchar_t*>(list->GetItemText(3))) + "|1"});
    EXPECT_EQ(Dlg().m_currentProfile, imported);
    EXPECT_EQ(keyboard->Block(0x1A), exportedKeys) << "the imported profile is on the keyboard";
    EXPECT_EQ(keyboard->Block(0x1C), layers);

    // Away to a profile with the default keys and back to the imported one,
    // each in one click on its row: the keyboard holds the exported keys.
    ASSERT_NO_FATAL_FAILURE(ClickProfileRow(2));
    EXPECT_EQ(keyboard->Block(0x1A), sim::DefaultKeyTable(Model()));
    ASSERT_NO_FATAL_FAILURE(ClickProfileRow(3));
    EXPECT_EQ(Dlg().m_currentProfile, imported);
    EXPECT_EQ(SqlValue("SELECT profile FROM t_profile_data WHERE status = 1"),
              std::to_string(imported));
    EXPECT_EQ(keyboard->Block(0x1A), exportedKeys);
    EXPECT_EQ(KeyRecord(0x1A, kKeyF1), remapped);
    EXPECT_EQ(keyboard->Block(0x1C), layers);
    EXPECT_EQ(KeyLabel(kKeyF1), L"B");
    DeleteFileW(chooser.path.c_str());
}

void Configure::ClickProfileRow(int row)
{
    auto* list = Control<WEXA::ProfileList>(53);
    const size_t applies = TaskCount(TASK_APPLY_PROFILE);
    // The row's click shows the wait dialog, which the worker closes when
    // the profile is written.
    ClickAt(ProfileRowPoint(list, row, false), list);
    ASSERT_TRUE(harness->PumpUntil([&] { return TaskCount(TASK_APPLY_PROFILE) > applies; }));
    Settle();
    EXPECT_EQ(Dlg().m_currentProfile, list->GetItemData(row));
    EXPECT_EQ(list->GetCurData(), list->GetItemData(row));
    EXPECT_EQ(list->GetEditItem(), -1) << "a click that switches leaves no rename box open";
}

void Configure::UnplugAndPlugBack()
{
    const int profile = Dlg().m_currentProfile;
    const std::vector<std::string> rows = KeyRows(profile);
    std::map<uint8_t, sim::Bytes> memory;
    for (uint8_t block : {0x14, 0x1A, 0x1C, 0x22, 0x2D}) memory[block] = keyboard->Block(block);

    ASSERT_NO_FATAL_FAILURE(Unplug());
    EXPECT_FALSE(Dlg().m_deviceConnected);
    EXPECT_TRUE(Shown(80)) << "the home page says no keyboard is there";
    ASSERT_NO_FATAL_FAILURE(PlugBack());
    ASSERT_TRUE(Dlg().m_devicePresent);
    // The card is picked again: the profile is read back from the keyboard.
    const size_t picks = TaskCount(TASK_DEVICE_SELECTED);
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    ASSERT_TRUE(harness->PumpUntil([&] { return TaskCount(TASK_DEVICE_SELECTED) > picks; }));
    Settle();
    ASSERT_TRUE(Dlg().m_deviceConnected);
    EXPECT_EQ(Dlg().m_currentProfile, profile);
    EXPECT_EQ(Control<WEXA::ProfileList>(53)->GetCurData(), profile);
    EXPECT_EQ(KeyRows(profile), rows) << "reading the keyboard back loses nothing";
    for (const auto& block : memory)
        EXPECT_EQ(keyboard->Block(block.first), block.second) << "block " << int(block.first);
    EXPECT_EQ(KeyLabel(kKeyF1), L"B");
}

TEST_P(Configure, AsAKeyboardOwnerDoes)
{
    ASSERT_NO_FATAL_FAILURE(ChooseModel());
    ASSERT_NO_FATAL_FAILURE(RemapKeysOnTwoLayers());
    ASSERT_NO_FATAL_FAILURE(RecordUploadAndBindAMacro());
    ASSERT_NO_FATAL_FAILURE(SetLightingModesAndKeyColours());
    ASSERT_NO_FATAL_FAILURE(SwitchExportAndImportProfiles());
    ASSERT_NO_FATAL_FAILURE(UnplugAndPlugBack());
}

INSTANTIATE_TEST_SUITE_P(EveryModel, Configure, ::testing::ValuesIn(sim::Models()), ModelTestName);

}  // namespace
}  // namespace scenario
