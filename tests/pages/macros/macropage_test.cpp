// The macro page as a user drives it: the macro list and its names, recording
// with real injected keys and mouse buttons, the keyboard's macro memory, the
// event edits, deleting macros that keys use, and what the page looks like.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "CCheckButton.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MTabCtrl.h"
#include "MenuWnd.h"
#include "MacroPageFixture.h"
#include "ScreenshotCompare.h"
#include "services/LanguageText.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "mainwnd/device/MacroUpload.h"
#include "services/hid/HidDeviceManager.h"
#include "services/input/InputHookManager.h"

namespace macrotest {
namespace {

const std::wstring kDown = L"\x2193  ";
const std::wstring kUp = L"\x2191  ";

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char part[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(part, sizeof(part), i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text;
}

std::vector<MacroRecordData> KeyEvents(int count, int vk)
{
    std::vector<MacroRecordData> events;
    for (int i = 0; i < count; ++i) {
        MacroRecordData e;
        e.type = i % 2 ? 3 : 2;
        e.value = vk;
        e.delay_time = 10;
        e.desc = (i % 2 ? kUp : kDown).c_str();
        e.desc += L"A";
        events.push_back(e);
    }
    return events;
}

int Position(const std::vector<int>& codes, int code)
{
    auto at = std::find(codes.begin(), codes.end(), code);
    return at == codes.end() ? -1 : int(at - codes.begin());
}

TEST_F(MacroPageTest, AnEmptyTableGetsTenMacrosAndStoredNamesShowInTheLanguage)
{
    StartWindow();
    ASSERT_EQ(Macros()->GetItemCount(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Macros()->GetItemText(i),
                  CString(L"M") + CString(std::to_wstring(i + 1).c_str()));
    EXPECT_EQ(Macros()->GetCurSel(), 0);
    EXPECT_EQ(Events()->GetItemCount(), 0);
    auto* recorded = Dlg().CtlAs<WEXA::CRadioButton>(229);
    EXPECT_TRUE(recorded->GetCheck());

    // Stored names keep what the user typed; the page shows them in the language.
    struct NameCase
    {
        const wchar_t* stored;
        CString shown;
    };
    const NameCase cases[] = {
        {L"Custom 3", GetLanguageText(351) + L" 3"},
        {L"\x81EA\x5B9A\x4E49"
         L"2",
         GetLanguageText(351) + L"2"},
        {L"X Copy", CString(L"X  ") + GetLanguageText(31)},
        {L"Copy of mine", L"Copy of mine"},
    };
    for (int i = 0; i < 4; ++i) Db().RenameMacro(Macros()->GetItemData(i), cases[i].stored);
    const size_t before = h->Tasks().size();
    h->SendControlEvent(81, 2);  // the pages are loaded again
    ASSERT_TRUE(h->PumpUntil([&] { return h->Tasks().size() > before; }));
    ASSERT_TRUE(h->Settle());
    ASSERT_EQ(Macros()->GetItemCount(), 10);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Macros()->GetItemText(i), cases[i].shown) << i;
        MacroData stored;
        Db().GetMacro(Macros()->GetItemData(i), stored);
        EXPECT_EQ(stored.name, CString(cases[i].stored)) << i;
    }

    // Renaming in place: an emptied name gets the stored one back, a typed one
    // is stored.
    const int sixth = Macros()->GetItemData(5);
    Macros()->SetCurSel(5);
    Macros()->ModifyItemString(5, L"");
    EXPECT_EQ(h->SendControlEvent(209, 29), 0);
    EXPECT_EQ(Macros()->GetItemText(5), CString(L"M6"));
    Macros()->ModifyItemString(5, L"Work");
    EXPECT_EQ(h->SendControlEvent(209, 29), 1);
    MacroData renamed;
    Db().GetMacro(sixth, renamed);
    EXPECT_EQ(renamed.name, CString(L"Work"));
}

TEST_F(MacroPageTest, RecordingTakesInjectedKeysAndButtonsAndTheKeyboardGetsTheTable)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    SetCursorPos(QuietPoint().x, QuietPoint().y);
    ASSERT_EQ(h->SendControlEvent(226, 2), 1);
    ASSERT_TRUE(Dlg().MacroRecording());
    EXPECT_FALSE(Dlg().MainTab()->IsEnabled());
    EXPECT_FALSE(Macros()->IsEnabled());

    clock = 5000;
    PressKey(VK_LSHIFT);
    PressKey(VK_LSHIFT);  // the keyboard repeats a held key
    clock = 5100;
    ReleaseKey(VK_LSHIFT);
    clock = 45100;            // 40 s later
    PressKey(VK_HOME, 0x47);  // keypad 7 with Num Lock off
    clock = 45150;
    ReleaseKey(VK_HOME, 0x47);
    const std::pair<DWORD, DWORD> buttons[] = {
        {MOUSEEVENTF_RIGHTDOWN, 0},  {MOUSEEVENTF_RIGHTUP, 0},      {MOUSEEVENTF_XDOWN, XBUTTON1},
        {MOUSEEVENTF_XUP, XBUTTON1}, {MOUSEEVENTF_XDOWN, XBUTTON2}, {MOUSEEVENTF_XUP, XBUTTON2},
        {MOUSEEVENTF_MIDDLEDOWN, 0}, {MOUSEEVENTF_MIDDLEUP, 0},
    };
    for (const auto& button : buttons) {
        clock += 50;
        SendMouse(button.first, button.second);
        Settle();
    }
    clock += 50;
    SendMouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    Settle();
    // The click on the record button ends the recording and is not recorded.
    const size_t mark = MarkTasks();
    clock += 50;
    POINT record = CentreOf(226);
    SetCursorPos(record.x, record.y);
    Settle();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
    ASSERT_FALSE(Dlg().MacroRecording());
    EXPECT_EQ(InputHookManager::GetActive(), nullptr);
    EXPECT_TRUE(Dlg().MainTab()->IsEnabled());
    EXPECT_TRUE(Macros()->IsEnabled());

    std::vector<Record> listed = ListedRecords();
    ASSERT_EQ(listed.size(), 12u);
    EXPECT_EQ(listed[0], (Record{2, 0xA0, 100, kDown + L"Shift"}));
    EXPECT_EQ(listed[1], (Record{3, 0xA0, 31000, kUp + L"Shift"}));
    EXPECT_EQ(listed[2].type, 2);
    EXPECT_EQ(listed[2].value, 0x67);
    EXPECT_EQ(listed[3].value, 0x67);
    const Record rest[] = {
        {4, 2, 50, kDown + L"MouseR"},   {5, 2, 50, kUp + L"MouseR"},
        {4, 8, 50, kDown + L"Backward"}, {5, 8, 50, kUp + L"Backward"},
        {4, 16, 50, kDown + L"Forward"}, {5, 16, 50, kUp + L"Forward"},
        {4, 4, 50, kDown + L"MouseM"},   {5, 4, 10, kUp + L"MouseM"},
    };
    for (int i = 0; i < 8; ++i) EXPECT_EQ(listed[4 + i], rest[i]) << i;

    std::vector<int> indexes;
    EXPECT_EQ(StoredRecords(macroId, &indexes), listed);
    for (int i = 0; i < int(indexes.size()); ++i) EXPECT_EQ(indexes[i], i);

    ASSERT_TRUE(h->PumpUntil([&] { return Position(TasksSince(mark), TASK_UPLOAD_MACROS) >= 0; }));
    h->Pump(50);
    const std::string table =
        "AA 55 50 00 0A 00 00 00 1C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
        "0C 00 00 00 64 00 02 82 18 79 02 02 32 00 5F 81 32 00 5F 01 32 00 02 83 32 00 02 03 "
        "32 00 08 83 32 00 08 03 32 00 10 83 32 00 10 03 32 00 04 83 0A 00 04 03";
    EXPECT_EQ(Hex(KeyboardMacroTable()), table);
    EXPECT_TRUE(keyboard->Violations().empty());
}

TEST_F(MacroPageTest, AFixedPauseGoesToEveryEventButTheLast)
{
    StartWindow();
    ASSERT_TRUE(h->Click(230));
    auto* field = Dlg().CtlAs<WEXA::MEdit>(232);
    ASSERT_TRUE(field->IsEnabled());
    field->SetEditText(L"250");
    h->SendControlEvent(232, 29);
    MacroData stored;
    Db().GetMacro(SelectedMacroId(), stored);
    EXPECT_EQ(stored.delay_type, 2);
    EXPECT_EQ(stored.delay_time, 250);

    // The macro has a tap already: the recording appends to it.
    ASSERT_TRUE(Db().ReplaceMacroRecords(SelectedMacroId(), KeyEvents(2, 'Z')));
    SelectMacro(0);
    ASSERT_EQ(Events()->GetItemCount(), 2);
    SetCursorPos(QuietPoint().x, QuietPoint().y);
    ASSERT_EQ(h->SendControlEvent(226, 2), 1);
    PressKey('A');
    ReleaseKey('A');
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
    h->SendControlEvent(226, 2);
    ASSERT_FALSE(Dlg().MacroRecording());
    std::vector<Record> listed = ListedRecords();
    ASSERT_EQ(listed.size(), 6u);
    EXPECT_EQ(listed[0], (Record{2, 'Z', 10, kDown + L"A"}));
    EXPECT_EQ(listed[1].value, 'Z');
    EXPECT_EQ(listed[2].value, 'A');
    EXPECT_EQ(listed[4], (Record{4, 1, 250, kDown + L"MouseL"}));
    for (int i = 1; i < 5; ++i) EXPECT_EQ(listed[i].delay, 250) << i;
    EXPECT_EQ(listed[5].delay, 10);
    EXPECT_EQ(StoredRecords(SelectedMacroId()), listed);
}

TEST_F(MacroPageTest, TheFixedPauseFieldHoldsItsRange)
{
    StartWindow();
    ASSERT_TRUE(h->Click(230));
    auto* field = Dlg().CtlAs<WEXA::MEdit>(232);
    const std::pair<const wchar_t*, int> cases[] = {
        {L"0", 1}, {L"99999", 10000}, {L"", 1}, {L"75", 75}};
    for (const auto& c : cases) {
        field->SetEditText(c.first);
        h->SendControlEvent(232, 29);
        EXPECT_EQ(field->GetEditText(), CString(std::to_wstring(c.second).c_str())) << c.second;
        MacroData stored;
        Db().GetMacro(SelectedMacroId(), stored);
        EXPECT_EQ(stored.delay_time, c.second);
    }
    // Back to recorded pauses: the field goes off and no pause is stored.
    ASSERT_TRUE(h->Click(229));
    MacroData stored;
    Db().GetMacro(SelectedMacroId(), stored);
    EXPECT_EQ(stored.delay_type, 1);
    EXPECT_EQ(stored.delay_time, 0);
    EXPECT_FALSE(field->IsEnabled());
}

TEST_F(MacroPageTest, ARecordingEndsByItselfWhenTheKeyboardsMemoryIsFull)
{
    StartWindow();
    // Nine other macros with 111 events each leave the first macro room for
    // eight events in 4096 bytes, once every macro's block head is counted.
    for (int row = 1; row < 10; ++row)
        ASSERT_TRUE(Db().ReplaceMacroRecords(Macros()->GetItemData(row), KeyEvents(111, 'A')));
    SelectMacro(0);
    SetCursorPos(QuietPoint().x, QuietPoint().y);
    ASSERT_EQ(h->SendControlEvent(226, 2), 1);
    EXPECT_EQ(Dlg().MacroRecordRoom(), 8);
    const size_t mark = MarkTasks();
    for (int i = 0; i < 5 && Dlg().MacroRecording(); ++i) {
        clock += 100;
        PressKey('Q');
        clock += 100;
        ReleaseKey('Q');
    }
    // It ended from inside the hook's message: the hooks are gone.
    EXPECT_FALSE(Dlg().MacroRecording());
    EXPECT_EQ(InputHookManager::GetActive(), nullptr);
    EXPECT_EQ(Events()->GetItemCount(), 8);
    EXPECT_EQ(StoredRecords(SelectedMacroId()).size(), 8u);
    PressKey('Q');  // no longer recorded
    ReleaseKey('Q');
    EXPECT_EQ(Events()->GetItemCount(), 8);

    ASSERT_TRUE(h->PumpUntil([&] { return Position(TasksSince(mark), TASK_UPLOAD_MACROS) >= 0; }));
    h->Pump(50);
    const std::vector<uint8_t> table = KeyboardMacroTable();
    ASSERT_EQ(table.size(), 4096u);
    EXPECT_EQ(Hex(table), Hex(BuildMacroTable(Db(), 4096)));
    // Every macro's events are on the keyboard: none was left out for want of room.
    for (int i = 0; i < 10; ++i) EXPECT_NE(table[8 + 2 * i] | table[9 + 2 * i], 0) << i;
}

TEST_F(MacroPageTest, DeletingAMacroThatKeysUseGivesEachLayerItsDefaultAndQueuesTableThenKeys)
{
    StartWindow();
    // On this keyboard Fn layer 1 turns F1 into F2.
    sim::Bytes& layer1 = keyboard->Block(0x17);
    ASSERT_GT(layer1.size(), 5u);
    layer1[3] = 0x10;
    layer1[4] = 0x00;
    layer1[5] = 0x3B;
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        DeviceSession session(HidDeviceManager::Instance());
        ASSERT_TRUE(Dlg().ReadDefaultKeyTables());
    }
    const KeyMaps& maps = Dlg().m_keyMaps;
    // A key whose default differs between Fn layers 0 and 1.
    int index = -1;
    for (int i = 0; i < 128 && index < 0; ++i) {
        if (maps.keyIndexToCode.count(i) &&
            memcmp(maps.defaultTables[0] + 3 * i, maps.defaultTables[1] + 3 * i, 3) != 0 &&
            maps.defaultTables[1][3 * i] != 0)
            index = i;
    }
    ASSERT_GE(index, 0);
    const int keyCode = maps.keyIndexToCode.at(index);
    const int doomed = Macros()->GetItemData(0), kept = Macros()->GetItemData(1);
    ASSERT_TRUE(Db().ReplaceMacroRecords(doomed, KeyEvents(2, 'A')));
    ASSERT_TRUE(Db().ReplaceMacroRecords(kept, KeyEvents(2, 'B')));
    struct Bound
    {
        int profile, layer, macro;
    };
    const Bound bound[] = {{1, 0, doomed}, {1, 1, doomed}, {2, 1, doomed}, {2, 0, kept}};
    for (const Bound& b : bound) {
        KeyMacroData row;
        row.profile = b.profile;
        row.fn_layer = b.layer;
        row.key_code = keyCode;
        row.macro_type = 3;
        row.macro_value = b.macro;
        row.macro_desc = L"macro";
        ASSERT_GT(Db().ReplaceKeyMacro(row), 0);
    }
    SelectMacro(0);
    const size_t mark = MarkTasks();
    EXPECT_EQ(h->SendControlEvent(211, 2), 0);  // the first row went: none is selected
    EXPECT_EQ(Macros()->GetItemCount(), 9);
    EXPECT_EQ(Macros()->GetCurSel(), -1);
    EXPECT_EQ(Events()->GetItemCount(), 0);

    for (const Bound& b : bound) {
        KeyMacroData row;
        ASSERT_TRUE(Db().GetKeyMacro(b.profile, b.layer, keyCode, row));
        if (b.macro == kept) {
            EXPECT_EQ(row.macro_type, 3);
            EXPECT_EQ(row.macro_value, kept);
            continue;
        }
        KeyMacroData expected;
        DecodeKeyFunction(maps.defaultTables[b.layer] + 3 * index, expected);
        EXPECT_EQ(row.macro_type, expected.macro_type) << b.profile << "/" << b.layer;
        EXPECT_EQ(row.macro_value, expected.macro_value) << b.profile << "/" << b.layer;
        EXPECT_EQ(row.macro_value2, expected.macro_value2) << b.profile << "/" << b.layer;
    }
    ASSERT_TRUE(h->WaitForTasks({TASK_UPLOAD_MACROS, TASK_WRITE_KEY_FUNCTIONS}));
    h->Pump(50);
    const std::vector<int> codes = TasksSince(mark);
    EXPECT_LT(Position(codes, TASK_UPLOAD_MACROS), Position(codes, TASK_WRITE_KEY_FUNCTIONS));
    // The keyboard: nine macros, the kept one first; the key's default on both layers.
    const std::vector<uint8_t> table = KeyboardMacroTable();
    ASSERT_GE(table.size(), 8u);
    EXPECT_EQ(table[4], 9);
    EXPECT_EQ(Hex(table), Hex(BuildMacroTable(Db(), 4096)));
    for (int layer = 0; layer < 2; ++layer) {
        const sim::Bytes& current = keyboard->Block(uint8_t(0x1A + 2 * layer));
        const sim::Bytes& defaults = keyboard->Block(uint8_t(0x16 + layer));
        EXPECT_EQ(Hex({current.begin() + 3 * index, current.begin() + 3 * index + 3}),
                  Hex({defaults.begin() + 3 * index, defaults.begin() + 3 * index + 3}))
            << layer;
    }
    EXPECT_TRUE(keyboard->Violations().empty());
}

TEST_F(MacroPageTest, DeletingAMacroNoKeyUsesStillRenumbersTheKeyboardsMacros)
{
    StartWindow();
    SelectMacro(2);
    const size_t mark = MarkTasks();
    EXPECT_EQ(h->SendControlEvent(211, 2), 1);
    EXPECT_EQ(Macros()->GetCurSel(), 1);
    ASSERT_TRUE(h->WaitForTasks({TASK_UPLOAD_MACROS, TASK_WRITE_KEY_FUNCTIONS}));
    const std::vector<int> codes = TasksSince(mark);
    EXPECT_LT(Position(codes, TASK_UPLOAD_MACROS), Position(codes, TASK_WRITE_KEY_FUNCTIONS));

    // Clearing a macro that no key uses deletes its events and queues nothing.
    ASSERT_TRUE(Db().ReplaceMacroRecords(SelectedMacroId(), KeyEvents(4, 'A')));
    SelectMacro(1);
    ASSERT_EQ(Events()->GetItemCount(), 4);
    h->Pump(100);
    const size_t cleared = MarkTasks();
    EXPECT_EQ(h->SendControlEvent(223, 2), 1);
    h->Pump(150);
    EXPECT_TRUE(StoredRecords(SelectedMacroId()).empty());
    EXPECT_TRUE(TasksSince(cleared).empty());
}

TEST_F(MacroPageTest, EditsKeepTheStoredOrderAndIndexes)
{
    StartWindow();
    std::vector<MacroRecordData> events = KeyEvents(4, 'A');
    for (int i = 0; i < 4; ++i) events[i].delay_time = 100 + i;
    ASSERT_TRUE(Db().ReplaceMacroRecords(SelectedMacroId(), events));
    SelectMacro(0);
    ASSERT_EQ(Events()->GetItemCount(), 4);

    const size_t mark = MarkTasks();
    Events()->SetCurSel(1);
    EXPECT_EQ(h->SendControlEvent(222, 2), 1);  // delete the record with pause 101
    Events()->SetCurSel(0);
    h->SendControlEvent(240, 2);  // move it down
    h->SendControlEvent(239, 2);  // and up again
    h->SendControlEvent(239, 2);  // the first one up: nothing moves, saved all the same
    std::vector<int> indexes;
    const std::vector<Record> stored = StoredRecords(SelectedMacroId(), &indexes);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored, ListedRecords());
    EXPECT_EQ(stored[0].delay, 100);
    EXPECT_EQ(stored[1].delay, 102);
    EXPECT_EQ(stored[2].delay, 103);
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));
    ASSERT_TRUE(h->PumpUntil([&] { return !TasksSince(mark).empty(); }));
    h->Pump(100);
    for (int code : TasksSince(mark)) EXPECT_EQ(code, TASK_UPLOAD_MACROS);
}

TEST_F(MacroPageTest, APauseEditedInTheListIsStoredAndReachesTheKeyboard)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    std::vector<MacroRecordData> events = KeyEvents(4, 'A');
    for (int i = 0; i < 4; ++i) events[i].delay_time = 100 + i;
    ASSERT_TRUE(Db().ReplaceMacroRecords(macroId, events));
    SelectMacro(0);
    Dlg().AppendTask(TASK_UPLOAD_MACROS);
    ASSERT_TRUE(h->PumpUntil([&] { return Dlg().m_taskQueue.IsEmpty(); }));
    h->Pump(100);
    ASSERT_EQ(Hex(KeyboardMacroTable()), Hex(BuildMacroTable(Db(), 4096)));

    // A double click on the second event's pause opens its editor.
    h->Pump(100);  // the rows are placed by their paint
    HWND window = h->Window();
    auto rowPoint = [&](int row) {
        const std::vector<WEXA::RecordItem*> items = Events()->GetRecordItems();
        CRect r(items[size_t(row)]->rcItem);
        r.OffsetRect(Events()->GetRect().left, Events()->GetRect().top);
        return MAKELPARAM(r.left + 260, r.CenterPoint().y);
    };
    const LPARAM at = rowPoint(1);
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    Settle();
    ASSERT_EQ(Events()->GetEditItem(), 1);
    HWND edit = Events()->GetEditWindow()->GetSafeHwnd();
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"750")) SendMessageW(edit, WM_CHAR, c, 1);
    // A click on another event ends the edit.
    const size_t mark = MarkTasks();
    const LPARAM other = rowPoint(3);
    SendMessageW(window, WM_MOUSEMOVE, 0, other);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, other);
    SendMessageW(window, WM_LBUTTONUP, 0, other);
    Settle();
    ASSERT_EQ(ListedRecords()[1].delay, 750);
    EXPECT_EQ(StoredRecords(macroId), ListedRecords()) << "the pause is stored";
    ASSERT_TRUE(h->PumpUntil([&] { return Position(TasksSince(mark), TASK_UPLOAD_MACROS) >= 0; }));
    h->Pump(100);
    EXPECT_EQ(Hex(KeyboardMacroTable()), Hex(BuildMacroTable(Db(), 4096)));
    // Another macro and back: the edited pause is what comes back.
    SelectMacro(1);
    SelectMacro(0);
    EXPECT_EQ(ListedRecords()[1].delay, 750);
}

TEST_F(MacroPageTest, DeletingTheLastEventResetsTheKeysThatPlayTheMacro)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    ASSERT_TRUE(Db().ReplaceMacroRecords(macroId, KeyEvents(2, 'A')));
    const int keyCode = 0x3A;  // F1
    KeyMacroData row;
    row.profile = Dlg().m_currentProfile;
    row.fn_layer = 0;
    row.key_code = keyCode;
    row.macro_type = 3;
    row.macro_value = macroId;
    row.macro_desc = L"macro";
    ASSERT_GT(Db().ReplaceKeyMacro(row), 0);
    SelectMacro(0);
    Dlg().AppendTask(TASK_UPLOAD_MACROS);
    ASSERT_TRUE(h->PumpUntil([&] { return Dlg().m_taskQueue.IsEmpty(); }));
    h->Pump(100);
    const std::vector<uint8_t> before = KeyboardMacroTable();

    const size_t mark = MarkTasks();
    for (int left = 2; left > 0; --left) {
        Events()->SetCurSel(0);
        ASSERT_TRUE(h->Click(222));
        Settle();
    }
    EXPECT_TRUE(StoredRecords(macroId).empty());
    ASSERT_TRUE(h->WaitForTasks({TASK_UPLOAD_MACROS, TASK_WRITE_KEY_FUNCTIONS}));
    h->Pump(100);
    const std::vector<int> codes = TasksSince(mark);
    EXPECT_GE(Position(codes, TASK_UPLOAD_MACROS), 0);
    EXPECT_NE(Hex(KeyboardMacroTable()), Hex(before));
    EXPECT_EQ(Hex(KeyboardMacroTable()), Hex(BuildMacroTable(Db(), 4096)));
    KeyMacroData reset;
    ASSERT_TRUE(Db().GetKeyMacro(row.profile, 0, keyCode, reset));
    EXPECT_NE(reset.macro_type, 3) << "no key plays a macro without events";
    EXPECT_TRUE(keyboard->Violations().empty());
}

TEST_F(MacroPageTest, AFailedSaveKeepsTheStoredEvents)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    ASSERT_TRUE(Db().ReplaceMacroRecords(macroId, KeyEvents(4, 'A')));
    SelectMacro(0);
    char sql[200];
    snprintf(sql, sizeof(sql),
             "CREATE TEMP TRIGGER refuse BEFORE INSERT ON t_macrorecord WHEN NEW.macro_id = %d "
             "BEGIN SELECT RAISE(ABORT, 'no'); END;",
             macroId);
    {
        CAutoLock hold(Db().m_lock);
        ASSERT_EQ(Db().m_db.Exec(sql), 0);
    }
    h->Pump(100);
    const size_t mark = MarkTasks();
    Events()->SetCurSel(0);
    EXPECT_EQ(h->SendControlEvent(222, 2), 1);
    h->Pump(150);
    EXPECT_EQ(StoredRecords(macroId).size(), 4u);
    EXPECT_TRUE(TasksSince(mark).empty());
}

TEST_F(MacroPageTest, TheKeyFieldRenamesOnlyTheSelectedPressAndItsRelease)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    ASSERT_TRUE(Db().ReplaceMacroRecords(macroId, KeyEvents(6, 'A')));  // three taps, all 10 ms
    SelectMacro(0);
    Events()->SetCurSel(2);
    EXPECT_EQ(h->SendControlEvent(220, 2), 1);
    ASSERT_TRUE(Dlg().Ctl(236)->IsVisible());
    h->SendControlEvent(236, 30);  // the field opens: the next key is taken
    PressKey('B');
    ReleaseKey('B');
    const CString name = Dlg().CtlAs<WEXA::MEdit>(236)->GetEditText();
    ASSERT_FALSE(name.IsEmpty());
    h->SendControlEvent(236, 29);
    EXPECT_EQ(InputHookManager::GetActive(), nullptr);
    const std::vector<Record> listed = ListedRecords();
    ASSERT_EQ(listed.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const bool renamed = i == 2 || i == 3;
        EXPECT_EQ(listed[i].value, renamed ? 'B' : 'A') << i;
        const std::wstring text = (i % 2 ? kUp : kDown) + (renamed ? (const wchar_t*)name : L"A");
        EXPECT_EQ(listed[i].text, text) << i;
    }
    EXPECT_EQ(StoredRecords(macroId), listed);
}

TEST_F(MacroPageTest, RefusalsTellTheUserWhy)
{
    StartWindow();
    auto text = [](int id) { return std::wstring((const wchar_t*)GetLanguageText(id)); };
    struct Refusal
    {
        const char* what;
        std::function<LONG()> act;
        int title, message;
    };
    const Refusal refusals[] = {
        {"an eleventh macro", [&] { return h->SendControlEvent(210, 2); }, 351, 430},
        {"recording without a selected macro",
         [&] {
             Macros()->SetCurSel(-1);
             const LONG result = h->SendControlEvent(226, 2);
             SelectMacro(0);
             return result;
         },
         358, 387},
        {"recording into a full memory",
         [&] {
             // The other nine macros fill the keyboard's 4096 bytes.
             for (int row = 1; row < 10; ++row)
                 Db().ReplaceMacroRecords(Macros()->GetItemData(row), KeyEvents(111, 'A'));
             Db().ReplaceMacroRecords(Macros()->GetItemData(9), KeyEvents(111 + 112, 'A'));
             return h->SendControlEvent(226, 2);
         },
         358, 386},
        {"inserting without room", [&] { return h->SendControlEvent(221, 2); }, 368, 386},
    };
    for (const Refusal& r : refusals) {
        boxes.clear();
        EXPECT_EQ(r.act(), 0) << r.what;
        h->Pump(150);
        ASSERT_EQ(boxes.size(), 1u) << r.what;
        EXPECT_EQ(boxes[0].title, text(r.title)) << r.what;
        EXPECT_EQ(boxes[0].message, text(r.message)) << r.what;
        EXPECT_FALSE(Dlg().MacroRecording()) << r.what;
        EXPECT_EQ(InputHookManager::GetActive(), nullptr) << r.what;
    }
    EXPECT_EQ(Macros()->GetItemCount(), 10);

    // With one macro fewer a new one takes the first free number.
    SelectMacro(9);
    h->SendControlEvent(211, 2);
    ASSERT_EQ(Macros()->GetItemCount(), 9);
    EXPECT_EQ(h->SendControlEvent(210, 2), 1);
    ASSERT_EQ(Macros()->GetItemCount(), 10);
    EXPECT_EQ(Macros()->GetCurSel(), 9);
    EXPECT_EQ(Macros()->GetItemText(9), GetLanguageText(351) + L" 1");
    EXPECT_EQ(Events()->GetItemCount(), 0);
}

// The macros' ids in table order, as stored.
std::vector<int> StoredMacroIds()
{
    std::vector<MacroData*> macros;
    DeviceDataDB::Instance()->GetMacros(macros);
    std::vector<int> ids;
    for (const MacroData* macro : macros) ids.push_back(macro->macro_id);
    FreeRecordList(macros);
    return ids;
}

std::vector<int> ListedMacroIds(WEXA::MacroList* list)
{
    std::vector<int> ids;
    for (int i = 0; i < list->GetItemCount(); ++i) ids.push_back(int(list->GetItemData(i)));
    return ids;
}

TEST_F(MacroPageTest, ANewOrDeletedMacroTheKeyboardDoesNotTakeIsPutBack)
{
    struct Case
    {
        const char* what;
        int row;      // the macro chosen first
        UINT button;  // 210 new, 211 delete
    };
    const Case cases[] = {{"a new macro", 3, 210}, {"a deleted macro with events", 2, 211}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartWindow();
        // Nine macros, so that a new one is allowed; the chosen one has events.
        ASSERT_TRUE(Db().DeleteMacro(Macros()->GetItemData(9)));
        Dlg().ReloadMacroList(0);
        const int chosen = Macros()->GetItemData(c.row);
        ASSERT_TRUE(Db().ReplaceMacroRecords(chosen, KeyEvents(4, 'A')));
        Dlg().AppendTask(TASK_UPLOAD_MACROS);
        ASSERT_TRUE(h->PumpUntil([&] { return Dlg().m_taskQueue.IsEmpty(); }));
        h->Pump(100);
        const std::vector<uint8_t> table = KeyboardMacroTable();
        ASSERT_EQ(Hex(table), Hex(BuildMacroTable(Db(), 4096)));
        const std::vector<int> ids = StoredMacroIds();
        ASSERT_EQ(ids.size(), 9u);
        const std::vector<Record> events = StoredRecords(chosen);

        ASSERT_NO_FATAL_FAILURE(SelectMacro(c.row));
        keyboard->AddFault(sim::Fault::Refuse, 0x2D, -1, 100);
        const size_t mark = MarkTasks();
        ASSERT_TRUE(h->Click(c.button));
        EXPECT_EQ(Macros()->GetItemCount(), c.button == 210 ? 10 : 8) << "as the user asked";
        ASSERT_TRUE(h->PumpUntil([&] {
            return Position(TasksSince(mark), TASK_UPLOAD_MACROS) >= 0;
        })) << "the table is sent";
        ASSERT_TRUE(h->Settle());
        h->Pump(200);
        EXPECT_EQ(StoredMacroIds(), ids) << "the macros the keyboard holds, in its order";
        EXPECT_EQ(StoredRecords(chosen), events);
        EXPECT_EQ(ListedMacroIds(Macros()), ids) << "the list shows them";
        EXPECT_EQ(Hex(KeyboardMacroTable()), Hex(table));
        EXPECT_EQ(Hex(BuildMacroTable(Db(), 4096)), Hex(table)) << "database and keyboard agree";
        TearDown();
        SetUp();
    }
}

TEST_F(MacroPageTest, TheInsertMenuWorksBeforeAnyRecordingAndItsEventsReachTheKeyboard)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    ASSERT_TRUE(Db().ReplaceMacroRecords(macroId, KeyEvents(2, 'A')));
    SelectMacro(0);
    ASSERT_EQ(Dlg().MacroRecordRoom(), 0) << "nothing recorded yet";
    Events()->SetCurSel(0);
    // Insert button: the menu opens (no "full" message) below the chosen event.
    ASSERT_TRUE(h->Click(221));
    HWND menu = nullptr;
    ASSERT_TRUE(h->PumpUntil([&] {
        menu = FindWindowW(nullptr, L"Menu Window");
        return menu && IsWindowVisible(menu);
    }));
    EXPECT_TRUE(boxes.empty());
    auto* insert = dynamic_cast<WEXA::MenuWnd*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(menu, GWLP_USERDATA)));
    ASSERT_NE(insert, nullptr);
    // A click on the pause entry of the menu's own window.
    WEXA::MControl* entry = insert->GetPaintManager()->GetControl(103);
    ASSERT_NE(entry, nullptr);
    const CRect r = entry->GetRect();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const size_t mark = MarkTasks();
    SendMessageW(menu, WM_MOUSEMOVE, 0, at);
    SendMessageW(menu, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(menu, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(h->PumpUntil([&] { return Position(TasksSince(mark), TASK_UPLOAD_MACROS) >= 0; }));
    ASSERT_TRUE(h->Settle());
    const std::vector<Record> expected = {
        {2, 'A', 10, kDown + L"A"}, {1, 10, 10, L"10 ms"}, {3, 'A', 10, kUp + L"A"}};
    EXPECT_EQ(ListedRecords(), expected);
    EXPECT_EQ(StoredRecords(macroId), expected);
    EXPECT_EQ(Hex(KeyboardMacroTable()), Hex(BuildMacroTable(Db(), 4096)));
    EXPECT_EQ(Events()->GetCurSel(), 1) << "the new pause is chosen in the record editor";
    EXPECT_TRUE(Dlg().Ctl(236)->IsVisible());
}

TEST_F(MacroPageTest, TheMouseButtonComboShowsAndSetsTheEventsButton)
{
    StartWindow();
    const int macroId = SelectedMacroId();
    std::vector<MacroRecordData> click(2);
    click[0].type = 4;
    click[0].value = 1;
    click[0].delay_time = 90;
    click[0].desc = (kDown + L"MouseL").c_str();
    click[1].type = 5;
    click[1].value = 1;
    click[1].delay_time = 10;
    click[1].desc = (kUp + L"MouseL").c_str();
    ASSERT_TRUE(Db().ReplaceMacroRecords(macroId, click));
    SelectMacro(0);
    Events()->SetCurSel(1);
    ASSERT_EQ(h->SendControlEvent(220, 2), 1);
    auto* buttons = Dlg().CtlAs<WEXA::MComboBox>(237);
    ASSERT_TRUE(buttons->IsVisible());
    EXPECT_EQ(buttons->GetCurData(), 90) << "the left button's item";
    // The right button (item data 91) for the release and its press.
    buttons->SelectData(91);
    const size_t mark = MarkTasks();
    EXPECT_EQ(h->SendControlEvent(237, 2), 1);
    const std::vector<Record> expected = {{4, 2, 90, kDown + L"MouseR"},
                                          {5, 2, 10, kUp + L"MouseR"}};
    EXPECT_EQ(ListedRecords(), expected);
    EXPECT_EQ(StoredRecords(macroId), expected);
    ASSERT_TRUE(h->PumpUntil([&] { return Position(TasksSince(mark), TASK_UPLOAD_MACROS) >= 0; }));
    ASSERT_TRUE(h->Settle());
    EXPECT_EQ(Hex(KeyboardMacroTable()), Hex(BuildMacroTable(Db(), 4096)));
}

class MacroPageScreens : public MacroPageTest, public ::testing::WithParamInterface<int>
{};

TEST_P(MacroPageScreens, ThePageWithARecordedMacro)
{
    StartWindow(GetParam());
    SetCursorPos(QuietPoint().x, QuietPoint().y);
    ASSERT_EQ(h->SendControlEvent(226, 2), 1);
    const WORD keys[] = {VK_LCONTROL, 'C', VK_LCONTROL, 'V'};
    for (WORD key : keys) {
        clock += 120;
        PressKey(key);
        clock += 80;
        ReleaseKey(key);
    }
    clock += 300;
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
    clock += 90;
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
    h->SendControlEvent(226, 2);
    ASSERT_FALSE(Dlg().MacroRecording());
    ASSERT_EQ(Events()->GetItemCount(), 10);

    HWND window = h->Window();
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    h->Pump(200);
    RECT area;
    GetClientRect(window, &area);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(Dlg().GetPaintManager(), window, area);
    const std::string name = "macro_page_" + std::to_string(GetParam()) + ".png";
    EXPECT_TRUE(
        compare.MatchesReference(actual, testutil::TestSourceFile(TEST_SOURCE_DIR, name.c_str())));
}

INSTANTIATE_TEST_SUITE_P(Languages, MacroPageScreens, ::testing::Values(1033, 1028));

}  // namespace
}  // namespace macrotest
