// A keyboard owner records a macro, then edits it event by event on the macro
// page with the mouse: a pause and a key stroke go in above recorded events,
// the new key is pressed into the value field, the pause gets another time,
// two events go, and the macro is bound to a key. The keyboard's macro table
// then holds exactly the edited events.
#include "CRecordList.h"
#include "KeyFuncValue.h"
#include "MEdit.h"
#include "MacroList.h"
#include "MenuWnd.h"
#include "ScenarioFixture.h"
#include "TabCtrlEx.h"
#include "mainwnd/device/DeviceCommands.h"

namespace scenario {
namespace {

const int kKeysTab = 4, kMacroTab = 5;
const int kKeyF2 = 0x3B;
const int kMacroCategory = 3;
// Entries of the event menu and of the insert menu.
const UINT kInsertAbove = 101, kDeleteEvent = 103;
const UINT kInsertKeyStroke = 107, kInsertPause = 103;
// The messages the two menus report with.
const UINT kInsertMenu = 1710, kRecordMenu = 1711;

DWORD Tick(void* context)
{
    return *static_cast<DWORD*>(context);
}

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

class MacroEditor : public Scenario
{
protected:
    WEXA::CRecordList* Events() { return Control<WEXA::CRecordList>(220); }

    // type|value|delay|text of each listed event.
    std::vector<std::string> Listed()
    {
        std::vector<std::string> rows;
        for (const WEXA::RecordItem* item : Events()->GetRecordItems())
            rows.push_back(std::to_string(item->nEventType) + "|" + std::to_string(item->nKeyCode) +
                           "|" + std::to_string(item->nTimeStamp) + "|" +
                           Narrow(static_cast<const wchar_t*>(item->strText)));
        return rows;
    }
    std::vector<std::string> Stored(int macroId)
    {
        return Sql("SELECT type, value, delay_time, desc FROM t_macrorecord WHERE macro_id = " +
                   std::to_string(macroId) + " ORDER BY record_index");
    }

    // A point on an event's row: its middle, or its "more" button.
    POINT RowPoint(int row, bool more)
    {
        harness->Pump(60);  // rows are placed when they are drawn
        const std::vector<WEXA::RecordItem*> items = Events()->GetRecordItems();
        EXPECT_LT(size_t(row), items.size());
        CRect r(items[size_t(row)]->rcItem);
        r.OffsetRect(Events()->GetRect().left, Events()->GetRect().top);
        if (!more) return POINT{r.left + 120, r.CenterPoint().y};
        CRect button = Events()->GetMoreRect();
        button.OffsetRect(r.left, r.top);
        return button.CenterPoint();
    }
    void ClickRow(int row) { ClickAt(RowPoint(row, false), Events()); }

    // Runs `open` and clicks the entry of the menu that reports to the window
    // with `message` once it shows.
    void ChooseFromMenu(UINT message, UINT entry, const std::function<void()>& open)
    {
        bool chosen = false;
        {
            EveryTick pick([&] {
                HWND window = FindWindowW(nullptr, L"Menu Window");
                auto* menu = dynamic_cast<WEXA::MenuWnd*>(
                    reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
                if (!menu || !IsWindowVisible(window) || menu->GetNotifyMessage() != message)
                    return false;
                chosen = ClickControlIn(window, menu->GetPaintManager(),
                                        menu->GetPaintManager()->GetControl(entry));
                if (!chosen) PostMessageW(window, WM_CLOSE, 0, 0);
                return true;
            });
            open();
            ASSERT_TRUE(harness->PumpUntil([&] { return chosen; })) << "menu " << message;
        }
        harness->Pump(60);
    }
    // An entry of the event's menu, opened from its "more" button.
    void FromRecordMenu(int row, UINT entry)
    {
        ChooseFromMenu(kRecordMenu, entry, [&] { ClickAt(RowPoint(row, true), Events()); });
    }
    // "Insert above" of the event's menu, then the entry of the insert menu
    // that takes its place.
    void InsertAbove(int row, UINT insertEntry)
    {
        ASSERT_NO_FATAL_FAILURE(FromRecordMenu(row, kInsertAbove));
        ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(kInsertMenu, insertEntry, [] {}));
        Settle();
    }
    // A click on the chosen event again: the value field is left (and the
    // editor shows the event as it is now). A press on the page's background
    // would go to the window itself and start moving it.
    void LeaveValueField()
    {
        ASSERT_GE(Events()->GetCurSel(), 0);
        ClickRow(Events()->GetCurSel());
        Settle();
    }

    void ChooseMacroCategory()
    {
        auto* tabs = Control<WEXA::TabCtrlEx>(88);
        ASSERT_NE(tabs, nullptr);
        int index = -1;
        for (int i = 0; i < tabs->GetItemCount(); ++i)
            if (tabs->GetItemData(i) == kMacroCategory) index = i;
        ASSERT_GE(index, 0);
        const CRect r = tabs->GetRect();
        ClickAt(POINT{r.left + 20, r.top + 43 * index + 21}, tabs);
        ASSERT_EQ(tabs->GetCurData(), kMacroCategory);
    }
    void PickTile(int value)
    {
        auto* grid = Control<WEXA::KeyFuncValue>(89);
        ASSERT_NE(grid, nullptr);
        int index = -1;
        for (int i = 0; i < grid->GetItemCount() && index < 0; ++i)
            if (grid->GetItemData(i) == value) index = i;
        ASSERT_GE(index, 0) << "no tile " << value;
        CRect tile = grid->GetItemRect(index);
        tile.OffsetRect(grid->GetRect().left, grid->GetRect().top);
        ClickAt(tile.CenterPoint(), grid);
        Settle();
    }

    DWORD clock = 5000;
};

TEST_P(MacroEditor, AMacroEditedEventByEventIsWhatTheKeyboardPlays)
{
    ASSERT_NO_FATAL_FAILURE(ClickModelCard());
    ASSERT_TRUE(harness->WaitForTasks({TASK_DEVICE_SELECTED}));
    Settle();
    ASSERT_NO_FATAL_FAILURE(OpenTab(kMacroTab));
    auto* macros = Control<WEXA::MacroList>(209);
    ASSERT_GE(macros->GetCurSel(), 0);
    const int macroId = macros->GetCurData();

    // Recorded: A tapped, then B tapped.
    ASSERT_EQ(Events()->GetItemCount(), 0) << "a first start has empty macros";
    Dlg().SetMacroClock(&Tick, &clock);
    ASSERT_NO_FATAL_FAILURE(ClickControl(226));
    ASSERT_TRUE(Dlg().MacroRecording());
    const DWORD times[] = {0, 100, 150, 50};
    const WORD keys[] = {'A', 'A', 'B', 'B'};
    for (int i = 0; i < 4; ++i) {
        clock += times[i];
        SendKey(keys[i], i % 2 == 1);
        harness->Pump(60);
    }
    ASSERT_NO_FATAL_FAILURE(ClickControl(226));
    ASSERT_FALSE(Dlg().MacroRecording());
    Settle();
    ASSERT_EQ(Listed(), (std::vector<std::string>{"2|65|100|?  A", "3|65|150|?  A", "2|66|50|?  B",
                                                  "3|66|10|?  B"}))
        << "as recorded";

    // A pause above B's press; its time becomes 250 ms in the record editor.
    ASSERT_NO_FATAL_FAILURE(InsertAbove(2, kInsertPause));
    ASSERT_EQ(Events()->GetItemCount(), 5);
    EXPECT_EQ(Listed()[2], "1|10|10|10 ms");
    EXPECT_EQ(Events()->GetCurSel(), 2) << "the new event is chosen for editing";
    ASSERT_TRUE(Shown(236)) << "the record editor shows the pause";
    ASSERT_NO_FATAL_FAILURE(ClickControl(236));
    harness->TypeKey(VK_BACK);
    harness->TypeKey(VK_BACK);
    harness->TypeText(L"250");
    ASSERT_NO_FATAL_FAILURE(LeaveValueField());
    EXPECT_EQ(Listed()[2], "1|250|10|250 ms");

    // A key stroke above the first event; the key pressed into the value
    // field replaces its press and its release.
    ASSERT_NO_FATAL_FAILURE(InsertAbove(0, kInsertKeyStroke));
    ASSERT_EQ(Events()->GetItemCount(), 7);
    EXPECT_EQ(Listed()[0], "2|65|10|?  A");
    EXPECT_EQ(Listed()[1], "3|65|10|?  A");
    ASSERT_NO_FATAL_FAILURE(ClickControl(236));
    SendKey('C', false);
    harness->Pump(60);
    SendKey('C', true);
    harness->Pump(60);
    EXPECT_EQ(Narrow(static_cast<const wchar_t*>(Control<WEXA::MEdit>(236)->GetEditText())), "C");
    ASSERT_NO_FATAL_FAILURE(LeaveValueField());

    // B's release goes from its menu, B's press with the delete button.
    ASSERT_NO_FATAL_FAILURE(FromRecordMenu(6, kDeleteEvent));
    Settle();
    ASSERT_NO_FATAL_FAILURE(ClickRow(5));
    ASSERT_NO_FATAL_FAILURE(ClickControl(222));
    Settle();

    const std::vector<std::string> edited = {"2|67|10|?  C", "3|67|10|?  C", "2|65|100|?  A",
                                             "3|65|150|?  A", "1|250|10|250 ms"};
    EXPECT_EQ(Listed(), edited);
    std::vector<std::string> stored;
    for (const std::string& row : Stored(macroId)) stored.push_back(row);
    ASSERT_EQ(stored.size(), edited.size());
    for (size_t i = 0; i < edited.size(); ++i)
        EXPECT_EQ(stored[i].substr(0, stored[i].rfind('|')),
                  edited[i].substr(0, edited[i].rfind('|')))
            << "stored event " << i;

    // Bound to F2 on the layer the key page shows.
    ASSERT_NO_FATAL_FAILURE(OpenTab(kKeysTab));
    const int layer = Dlg().m_currentFnLayer;
    ASSERT_NO_FATAL_FAILURE(ClickKey(kKeyF2));
    ASSERT_NO_FATAL_FAILURE(ChooseMacroCategory());
    ASSERT_NO_FATAL_FAILURE(PickTile(macroId));
    EXPECT_EQ(KeyRecord(uint8_t(0x1A + 2 * layer), kKeyF2).substr(0, 5), "60 00")
        << "F2 plays the first macro of the keyboard's table";

    // The keyboard's table: every macro named, the first one's block exactly
    // the edited events (pause after each, usage, press 81 / release 01; a
    // pause event is four zero bytes).
    const sim::Bytes& memory = keyboard->Block(0x2D);
    ASSERT_GE(memory.size(), 10u);
    EXPECT_EQ(Hex(memory.data(), 2), "AA 55");
    EXPECT_EQ(memory[4], macros->GetItemCount());
    const size_t first = memory[8] | (memory[9] << 8);
    ASSERT_LE(first + 24, memory.size());
    EXPECT_EQ(Hex(&memory[first], 24),
              "05 00 00 00 0A 00 06 81 0A 00 06 01 64 00 04 81 96 00 04 01 00 00 00 00");
    EXPECT_TRUE(keyboard->Violations().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryModel, MacroEditor, ::testing::ValuesIn(sim::Models()),
                         ModelTestName);

}  // namespace
}  // namespace scenario
