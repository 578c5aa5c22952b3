// The custom-key page, driven through the real main window against the
// simulated keyboard: what the user picks is stored in the key's row and
// reaches the keyboard as the key's 3-byte record.
#include <windows.h>
// (after windows.h)
#include <imm.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "CCheckButton.h"
#include "KeyFuncValue.h"
#include "KeyLayerCtrl.h"
#include "KeyboardCtrl.h"
#include "MButton.h"
#include "MEdit.h"
#include "PageFixture.h"
#include "TabCtrlEx.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/hid/HidDeviceManager.h"

namespace pagetest {
namespace {

using WEXA::MEdit;

const int kCustomKeyTab = 4;
const int kKeyF1 = 0x3A, kKeyA = 0x04, kKeyEsc = 0x29;

class CustomKeyPage : public PageFixture
{
protected:
    void SetUp() override
    {
        Start("Kestrova-K87", SW_SHOW);
        SetForegroundWindow(harness->Window());
        OpenTab(kCustomKeyTab);
    }

    // A click on the category tab that carries `category`.
    void ChooseCategory(int category)
    {
        auto* tabs = Control<WEXA::TabCtrlEx>(88);
        ASSERT_NE(tabs, nullptr);
        int index = -1;
        for (int i = 0; i < tabs->GetItemCount(); ++i)
            if (tabs->GetItemData(i) == category) index = i;
        ASSERT_GE(index, 0);
        const CRect r = tabs->GetRect();
        const LPARAM at = MAKELPARAM(r.left + 20, r.top + 43 * index + 21);
        SendMessageW(harness->Window(), WM_MOUSEMOVE, 0, at);
        SendMessageW(harness->Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(harness->Window(), WM_LBUTTONUP, 0, at);
        harness->Pump(20);
        ASSERT_EQ(tabs->GetCurData(), category);
    }

    // A click on the tile carrying `value` (the grid shows it first).
    void PickTile(int value)
    {
        auto* grid = Control<WEXA::KeyFuncValue>(89);
        ASSERT_NE(grid, nullptr);
        int index = -1;
        for (int i = 0; i < grid->GetItemCount(); ++i)
            if (grid->GetItemData(i) == value && index < 0) index = i;
        ASSERT_GE(index, 0) << "no tile " << value;
        grid->SetSelectItem(index);
        harness->SendControlEvent(89, 2, 0, index);
    }

    KeyMacroData Row(int key, int layer = 0)
    {
        KeyMacroData row;
        EXPECT_TRUE(Db().GetKeyMacro(1, layer, key, row)) << "key " << key;
        return row;
    }

    int IndexOf(int key)
    {
        for (size_t i = 0; i < model->keyCount; ++i)
            if (model->keys[i].usage == key) return model->keys[i].keyIndex;
        return -1;
    }

    // The one key-record write the keyboard got: command, offset, bytes.
    void ExpectKeyWrite(int command, int key, const std::string& bytes)
    {
        std::vector<sim::Request> requests = DataRequests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].Command(), command);
        EXPECT_EQ(requests[0].Offset(), 3 * IndexOf(key));
        EXPECT_EQ(requests[0].Length(), 3);
        EXPECT_EQ(Hex(requests[0].Data()), bytes);
    }

    // What the keyboard picture shows on the key.
    std::wstring KeyName(int code)
    {
        for (const WEXA::KEY_INFO* key : Control<WEXA::KeyboardCtrl>(58)->GetKeyItems())
            if (key->nKeyCode == code) return static_cast<const wchar_t*>(key->strName);
        return L"(none)";
    }

    // Opens the combination field as a click into it does.
    MEdit* OpenComboField()
    {
        auto* field = Control<WEXA::MEdit>(115);
        EXPECT_NE(field, nullptr);
        if (!field) return nullptr;
        EXPECT_TRUE(harness->Click(115));
        harness->Pump(20);
        return field;
    }

    // A key event as the global keyboard hook delivers it.
    LRESULT HookKey(UINT message, int vk)
    {
        KBDLLHOOKSTRUCT event = {};
        event.vkCode = DWORD(vk);
        event.scanCode = MapVirtualKeyW(UINT(vk), MAPVK_VK_TO_VSC);
        return SendMessageW(harness->Window(), KBM_HOOK_KEY, message,
                            reinterpret_cast<LPARAM>(&event));
    }
};

TEST_F(CustomKeyPage, CategoryTabsAndTheirTiles)
{
    auto* tabs = Control<WEXA::TabCtrlEx>(88);
    ASSERT_NE(tabs, nullptr);
    const int data[] = {2, 6, 12, 13, 5, 3};
    const int texts[] = {205, 206, 207, 208, 210, 211};
    ASSERT_EQ(tabs->GetItemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        WEXA::TABITEM_INFO item;
        ASSERT_TRUE(tabs->GetItemInfo(i, item));
        EXPECT_EQ(item.data, data[i]);
        EXPECT_EQ(std::wstring(item.text), LanguageText(1033, texts[i]));
    }
    auto* grid = Control<WEXA::KeyFuncValue>(89);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetItemCount(), 103) << "the keys category is shown first";
    // Two macros, one with events.
    MacroData macro;
    Db().AddMacro(L"New Macro 3");
    Db().AddMacro(L"Copy");
    struct Case
    {
        int category, tiles, contentHeight;
        bool gridShown, comboShown, playModeShown;
    };
    const Case cases[] = {
        {6, 18, 200, true, false, false}, {12, 74, 470, true, false, false},
        {13, 0, 200, false, true, false}, {5, 7, 200, true, false, false},
        {3, 2, 60, true, false, true},    {2, 103, 720, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        ChooseCategory(c.category);
        EXPECT_EQ(grid->IsVisible() != 0, c.gridShown);
        if (c.gridShown) {
            EXPECT_EQ(grid->GetItemCount(), c.tiles);
            // The content is never lower than the grid itself.
            EXPECT_EQ(grid->GetAllHeight(), std::max(c.contentHeight, grid->GetRect().Height()));
        }
        EXPECT_EQ(Dlg().Ctl(116)->IsVisible() != 0, c.comboShown);
        EXPECT_EQ(Dlg().Ctl(107)->IsVisible() != 0, c.comboShown);
        EXPECT_EQ(Dlg().Ctl(91)->IsVisible() != 0, c.playModeShown);
        EXPECT_EQ(grid->GetRect().right, c.category == 3 ? 855 : 1380);
    }
    ChooseCategory(3);
    EXPECT_EQ(std::wstring(grid->GetItemText(0)), LanguageText(1033, 351) + L" 3");
    EXPECT_EQ(std::wstring(grid->GetItemText(1)), L"Copy");
}

TEST_F(CustomKeyPage, KeyCombinationReachesTheKeyboard)
{
    ASSERT_TRUE(ClickKey(kKeyF1));
    EXPECT_EQ(Dlg().m_selectedKey, kKeyF1);
    ChooseCategory(13);
    ASSERT_TRUE(harness->Click(107));  // LCtrl
    ASSERT_TRUE(harness->Click(112));  // RShift
    MEdit* field = OpenComboField();
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(Dlg().KeyComboCaptureActive());
    EXPECT_EQ(HookKey(WM_KEYDOWN, 'A'), 1) << "the captured key is swallowed";
    EXPECT_EQ(std::wstring(field->GetTitleEx()), L"A");
    ASSERT_TRUE(harness->Click(116));
    const KeyMacroData row = Row(kKeyF1);
    EXPECT_EQ(row.macro_type, 2);
    EXPECT_EQ(row.macro_value, 0x04);
    EXPECT_EQ(row.macro_value2, 0x21);
    EXPECT_EQ(std::wstring(row.macro_desc), L"LCtrl+ RShift + A");
    EXPECT_FALSE(Dlg().KeyComboCaptureActive()) << "the save button took the focus";
    RunQueuedTasks();
    ExpectKeyWrite(0x1B, kKeyF1, "10 21 04");
    EXPECT_EQ(KeyName(kKeyF1), L"LCtrl+ RShift + A");
}

TEST_F(CustomKeyPage, EmptyCombinationIsRefused)
{
    ASSERT_TRUE(ClickKey(kKeyF1));
    ChooseCategory(13);
    const KeyMacroData before = Row(kKeyF1);
    const std::wstring shown = AnswerMessageBox(1, [&] { harness->Click(116); });
    EXPECT_EQ(shown, LanguageText(1033, 230));
    const KeyMacroData after = Row(kKeyF1);
    EXPECT_EQ(after.macro_type, before.macro_type);
    EXPECT_EQ(after.macro_value, before.macro_value);
    EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty()) << "nothing is written to the key";
}

TEST_F(CustomKeyPage, CaptureEndsWhenTheFieldLosesFocusAndGivesTheInputMethodBack)
{
    ChooseCategory(13);
    MEdit* field = OpenComboField();
    ASSERT_NE(field, nullptr);
    HWND edit = field->GetEditHwnd();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(Dlg().KeyComboCaptureActive());
    EXPECT_FALSE(Dlg().KeyTestActive()) << "the key test's raw input is off meanwhile";
    // Another control takes the focus (as a click elsewhere or Alt+Tab does).
    SetFocus(harness->Window());
    harness->Pump(20);
    EXPECT_FALSE(Dlg().KeyComboCaptureActive());
    EXPECT_EQ(InputHookManager::GetActive(), nullptr) << "no hook is left swallowing keys";
    EXPECT_TRUE(Dlg().KeyTestActive());
    EXPECT_FALSE(Dlg().m_keyComboImeTaken) << "the input method context was given back";

    // A hook event that arrives after the field lost the keyboard some other
    // way ends the capture and lets the key through.
    field = OpenComboField();
    ASSERT_TRUE(Dlg().KeyComboCaptureActive());
    SetFocus(harness->Window());
    Dlg().m_hookPurpose = 2;  // as if the field's end never arrived
    EXPECT_EQ(HookKey(WM_KEYDOWN, 'B'), 0);
    EXPECT_FALSE(Dlg().KeyComboCaptureActive());
}

TEST_F(CustomKeyPage, KeyWithoutARowGetsOne)
{
    Db().m_db.Exec("DELETE FROM t_key_macro_data WHERE fn_layer = 0 AND key_code = 41");
    KeyMacroData none;
    ASSERT_FALSE(Db().GetKeyMacro(1, 0, kKeyEsc, none));
    ASSERT_TRUE(ClickKey(kKeyEsc));
    ChooseCategory(5);
    PickTile(90);
    const KeyMacroData row = Row(kKeyEsc);
    EXPECT_EQ(row.macro_type, 5);
    EXPECT_EQ(row.macro_value, 90);
    RunQueuedTasks();
    std::vector<sim::Request> requests = DataRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Offset(), 3 * IndexOf(kKeyEsc));
    EXPECT_EQ(requests[0].Data()[0], 0x40) << "a mouse record, not the default key";
}

TEST_F(CustomKeyPage, MouseAndMacroSurviveAReloadFromTheKeyboard)
{
    const int macro = Db().AddMacro(L"Fire");
    MacroRecordData event;
    event.macro_id = macro;
    event.type = 2;
    event.value = 4;
    Db().InsertMacroRecords({event});
    MacroData stored;
    ASSERT_TRUE(Db().GetMacro(macro, stored));
    stored.play_type = 0;
    stored.play_times = 4;
    Db().UpdateMacro(stored);

    ASSERT_TRUE(ClickKey(kKeyF1));
    ChooseCategory(5);
    PickTile(91);
    ASSERT_TRUE(ClickKey(kKeyEsc));
    ChooseCategory(3);
    PickTile(macro);
    EXPECT_EQ(std::wstring(Control<MEdit>(95)->GetTitleEx()), L"4") << "the macro's repeat count";
    EXPECT_TRUE(Control<WEXA::CRadioButton>(91)->GetCheck());
    // Repeat count typed: 300 is held at 255.
    Control<MEdit>(95)->SetControlTitle(L"300");
    harness->SendControlEvent(95, 29);
    RunQueuedTasks();
    const KeyMacroData mouse = Row(kKeyF1), assigned = Row(kKeyEsc);
    EXPECT_EQ(assigned.macro_type, 3);
    EXPECT_EQ(assigned.macro_value3, 255);

    // The profile is read back from the keyboard over rows that forgot it.
    KeyMacroData blank = mouse;
    blank.macro_type = 2;
    blank.macro_value = kKeyF1;
    Db().UpdateKeyMacro(blank);
    blank = assigned;
    blank.macro_type = 2;
    blank.macro_value = kKeyEsc;
    Db().UpdateKeyMacro(blank);
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        HidDeviceManager& hid = HidDeviceManager::Instance();
        BeginDeviceSession(hid);
        ASSERT_TRUE(Dlg().ReadKeyFunctions());
        EndDeviceSession(hid);
    }
    const KeyMacroData mouseBack = Row(kKeyF1), macroBack = Row(kKeyEsc);
    EXPECT_EQ(mouseBack.macro_type, 5);
    EXPECT_EQ(mouseBack.macro_value, 91);
    EXPECT_EQ(macroBack.macro_type, 3);
    EXPECT_EQ(macroBack.macro_value, macro);
    EXPECT_EQ(macroBack.macro_value2, 0);
    EXPECT_EQ(macroBack.macro_value3, 255);
}

TEST_F(CustomKeyPage, MacroWithoutEventsIsRefused)
{
    const int macro = Db().AddMacro(L"Empty");
    ASSERT_TRUE(ClickKey(kKeyF1));
    ChooseCategory(3);
    const KeyMacroData before = Row(kKeyF1);
    const std::wstring shown = AnswerMessageBox(1, [&] { PickTile(macro); });
    EXPECT_EQ(shown, LanguageText(1033, 232));
    EXPECT_EQ(Row(kKeyF1).macro_type, before.macro_type);
    EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty());
}

TEST_F(CustomKeyPage, LayerSwitchReloadsThePicture)
{
    KeyMacroData row = Row(kKeyF1, 1);
    row.macro_type = 6;
    row.macro_value = 100;
    row.macro_desc = L"Play";
    Db().UpdateKeyMacro(row);
    auto* layers = Control<WEXA::KeyLayerCtrl>(56);
    ASSERT_NE(layers, nullptr);
    // The second entry chosen; the selector reports the release as event 2.
    layers->SetCurrentLayer(1);
    harness->SendControlEvent(56, 2);
    ASSERT_EQ(Dlg().m_currentFnLayer, 1);
    RunQueuedTasks();
    EXPECT_EQ(KeyName(kKeyF1), L"Play");
}

// One legend set: a key whose function is a key of this keyboard pressed alone
// shows that key's legend, as the picture shows it on every page ("~", not
// "Grave accent"), also after its rows are read again; the tooltip keeps the
// function's full name.
TEST_F(CustomKeyPage, KeysKeepTheirLegendsWhenTheirRowsAreRead)
{
    const int kGrave = 53, kCaps = 57, kLeftShift = 225;
    KeyMacroData grave = Row(kGrave);
    grave.macro_desc = L"Grave accent";
    Db().UpdateKeyMacro(grave);
    KeyMacroData f1 = Row(kKeyF1);  // F1 sends Caps Lock
    f1.macro_type = 2;
    f1.macro_value = kCaps;
    f1.macro_value2 = 0;
    f1.macro_desc = L"Caps Lock";
    Db().UpdateKeyMacro(f1);
    KeyMacroData a = Row(kKeyA);  // A sends Shift + B: shown by its name
    a.macro_type = 2;
    a.macro_value = 5;
    a.macro_value2 = 2;
    a.macro_desc = L"LShift + B";
    Db().UpdateKeyMacro(a);
    Dlg().LoadKeyAssignments(1);
    EXPECT_EQ(KeyName(kGrave), L"~");
    EXPECT_EQ(KeyName(kKeyF1), L"Caps");
    EXPECT_EQ(KeyName(kLeftShift), L"Shift");
    EXPECT_EQ(KeyName(kKeyA), L"LShift + B");
    for (const WEXA::KEY_INFO* key : Control<WEXA::KeyboardCtrl>(58)->GetKeyItems()) {
        if (key->nKeyCode != kGrave) continue;
        EXPECT_EQ(std::wstring(key->strTip1), L"Grave accent");
        EXPECT_EQ(std::wstring(key->strLegend), L"~");
    }
}

TEST_F(CustomKeyPage, LayerChangeQueuesTheReloadUnlessOneIsWaiting)
{
    Dlg().m_workerPaused = 1;
    Dlg().AppendTask(TASK_WRITE_KEY_FUNCTIONS);
    auto* layers = Control<WEXA::KeyLayerCtrl>(56);
    for (int layer : {2, 3, 1}) {
        layers->SetCurrentLayer(layer);
        harness->SendControlEvent(56, 2);
        EXPECT_EQ(Dlg().m_currentFnLayer, layer);
    }
    EXPECT_EQ(Dlg().m_taskQueue.Snapshot(), (std::vector<int>{8, 7}))
        << "a change behind another task is not lost, and repeats do not pile up";
    Dlg().FlushTasks();
    Dlg().m_workerPaused = 0;
}

TEST_F(CustomKeyPage, WithNoKeySelectedAPickWritesNothingAndSaysSo)
{
    // F1 remapped to a mouse button, on the keyboard too.
    ASSERT_TRUE(ClickKey(kKeyF1));
    ChooseCategory(5);
    PickTile(90);
    RunQueuedTasks();
    const sim::Bytes keys = keyboard->Block(0x1A);
    // A release on a blank spot of the picture: no key is selected.
    auto* picture = Control<WEXA::KeyboardCtrl>(58);
    const CRect area = picture->GetRect();
    CPoint blank(-1, -1);
    for (int y = area.top + 1; y < area.bottom && blank.x < 0; y += 3)
        for (int x = area.left + 1; x < area.right && blank.x < 0; x += 3)
            if (picture->GetKeyCodeByPoint(CPoint(x - area.left, y - area.top)) <= 0 &&
                picture->GetKeyCodeByPoint(CPoint(x, y)) <= 0)
                blank = CPoint(x, y);
    ASSERT_GE(blank.x, 0);
    const LPARAM at = MAKELPARAM(blank.x, blank.y);
    SendMessageW(harness->Window(), WM_MOUSEMOVE, 0, at);
    SendMessageW(harness->Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(harness->Window(), WM_LBUTTONUP, 0, at);
    harness->Pump(20);
    ASSERT_LE(Dlg().m_selectedKey, 0);
    ClearLog();

    const int macro = Db().AddMacro(L"Fire");
    MacroRecordData event;
    event.macro_id = macro;
    event.type = 2;
    event.value = 4;
    Db().InsertMacroRecords({event});
    const struct
    {
        const char* what;
        std::function<void()> act;
    } picks[] = {
        {"mouse tile", [&] { PickTile(91); }},
        {"macro tile",
         [&] {
             ChooseCategory(3);
             PickTile(macro);
         }},
        {"play-mode radio", [&] { harness->Click(93); }},
        {"repeat field", [&] { harness->SendControlEvent(95, 29); }},
    };
    ChooseCategory(5);
    for (const auto& pick : picks) {
        SCOPED_TRACE(pick.what);
        const std::wstring shown = AnswerMessageBox(1, pick.act);
        EXPECT_EQ(shown, LanguageText(1033, 230)) << "the user is told to pick a key";
        EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty()) << "nothing is written to the keyboard";
    }
    RunQueuedTasks();
    EXPECT_TRUE(DataRequests().empty());
    EXPECT_EQ(keyboard->Block(0x1A), keys) << "the layer keeps the user's remaps";
    EXPECT_EQ(Row(kKeyF1).macro_type, 5);
    EXPECT_EQ(Row(kKeyF1).macro_value, 90);
}

TEST_F(CustomKeyPage, RestoreLayerWritesTheDefaultTable)
{
    ASSERT_TRUE(ClickKey(kKeyF1));
    ChooseCategory(5);
    PickTile(90);
    RunQueuedTasks();
    ClearLog();
    // Cancelled: nothing changes.
    AnswerMessageBox(2, [&] { EXPECT_EQ(harness->SendControlEvent(61, 2), 0); });
    EXPECT_EQ(Row(kKeyF1).macro_type, 5);
    EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty());
    const std::wstring shown =
        AnswerMessageBox(1, [&] { EXPECT_EQ(harness->SendControlEvent(61, 2), 1); });
    EXPECT_EQ(shown, LanguageText(1033, 203));
    EXPECT_EQ(Dlg().m_selectedKey, -1);
    EXPECT_EQ(Row(kKeyF1).macro_type, 2);
    RunQueuedTasks();
    std::vector<sim::Request> requests = DataRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Command(), 0x1B);
    EXPECT_EQ(keyboard->Block(0x1A), sim::DefaultKeyTable(*model)) << "the keyboard's own table";
}

}  // namespace
}  // namespace pagetest
