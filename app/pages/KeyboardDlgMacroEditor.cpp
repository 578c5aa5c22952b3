// KeyboardDlg: the macro page's event menus. The insert button (221) and an
// event's "more" menu (Insert above / below) open the insert menu, whose entries
// put new events into the event list: a key pressed, released or both, a mouse
// click, or a pause. An event's menu also edits or deletes its event. Every
// change is stored and sent like any other edit of the list (task 10).
#include "CRecordList.h"
#include "MButton.h"
#include "MacroList.h"
#include "MenuWnd.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/device/MacroUpload.h"
#include "dialogs/CUIMessageBox.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

// The insert menu's entries.
enum InsertEntry {
    kInsertMouseClick = 101,
    kInsertPause = 103,
    kInsertKeyDown = 105,
    kInsertKeyUp = 106,
    kInsertKeyStroke = 107,
};
// An event menu's entries.
enum RecordEntry { kRecordEdit = 100, kRecordInsertAbove, kRecordInsertBelow, kRecordDelete };

// A new event's pause, and the pause a new pause event stands for.
const int kNewPause = 10;
// New key events name the A key until the user presses another one.
const int kNewKey = 0x41;

struct NewEvent
{
    int type;
    int value;
    CString text;
};

}  // namespace

int KeyboardDlg::SelectedMacroRoom()
{
    auto* list = CtlAs<MacroList>(209);
    if (!list || list->GetCurSel() < 0) return 0;
    return ::MacroRecordRoom(*DeviceDataDB::Instance(), m_deviceInfo.macroStorage,
                             int(list->GetCurData()));
}

LONG KeyboardDlg::OnMacroInsertMenu()
{
    auto* records = CtlAs<CRecordList>(220);
    if (!records) return 0;
    // The room is what the keyboard holds for this macro now, recorded or not.
    m_macroRecordRoom = SelectedMacroRoom();
    if (records->GetItemCount() >= m_macroRecordRoom) {
        ShowMessageBox(GetSafeHwnd(), LangText(386), LangText(368), 0);
        return 0;
    }
    MControl* button = Ctl(221);
    RECT rect = button ? button->GetRect() : RECT{0, 0, 0, 0};
    ClientToScreen(&rect);
    // Below the selected event, or at the end.
    const int selected = records->GetCurSel();
    return OpenMacroInsertMenu(POINT{rect.left, rect.top - 140},
                               selected >= 0 ? selected + 1 : records->GetItemCount());
}

LONG KeyboardDlg::OpenMacroInsertMenu(POINT screen, int at)
{
    m_macroInsertAt = at;
    auto* menu = new MenuWnd(this);
    // The menu art's corners are small: a larger frame corner would cross
    // them over the entries.
    if (!menu->Create(GetSafeHwnd(), CPoint(screen.x, screen.y), KBM_MACRO_INSERT_MENU,
                      L"img_menu.png", 4, 150, BACK_MODE_FRAME)) {
        delete menu;
        return 1;
    }
    const int entries[][2] = {{415, kInsertKeyDown},
                              {416, kInsertKeyUp},
                              {417, kInsertKeyStroke},
                              {397, kInsertMouseClick},
                              {398, kInsertPause}};
    for (const auto& entry : entries) menu->AddMenu(LangText(entry[0]), entry[1], L"", 0, 0);
    menu->ShowWindow(SW_SHOW);
    return 1;
}

LONG KeyboardDlg::OnMacroInsertCommand(LONG_PTR entry)
{
    auto* records = CtlAs<CRecordList>(220);
    auto* list = CtlAs<MacroList>(209);
    if (!records || !list || list->GetCurSel() < 0 || m_macroRecording) return 0;
    int key = kNewKey;
    const CString keyName = MacroKeyName(key);
    const CString down = L"\x2193  ", up = L"\x2191  ";
    std::vector<NewEvent> events;
    switch (entry) {
        case kInsertKeyDown: events = {{2, key, down + keyName}}; break;
        case kInsertKeyUp: events = {{3, key, up + keyName}}; break;
        case kInsertKeyStroke: events = {{2, key, down + keyName}, {3, key, up + keyName}}; break;
        case kInsertMouseClick: events = {{4, 1, down + L"MouseL"}, {5, 1, up + L"MouseL"}}; break;
        case kInsertPause: {
            CString text;
            text.Format(L"%d ms", kNewPause);
            events = {{1, kNewPause, text}};
            break;
        }
        default: return 0;
    }
    // The room may have gone since the menu opened (a click inserts two).
    if (records->GetItemCount() + int(events.size()) > SelectedMacroRoom()) {
        ShowMessageBox(GetSafeHwnd(), LangText(386), LangText(368), 0);
        return 0;
    }
    int at = m_macroInsertAt;
    if (at < 0 || at > records->GetItemCount()) at = records->GetItemCount();
    for (size_t i = 0; i < events.size(); ++i)
        records->InsertString(at + int(i), events[i].text, events[i].type, events[i].value,
                              kNewPause);
    m_macroInsertAt = -1;
    if (!SaveMacroRecords()) {
        // Not stored: the list shows what is.
        ShowMacro(int(list->GetCurData()));
        return 0;
    }
    // The first new event is selected in the editor, ready for its key, pause
    // or button.
    records->SetCurSel(at);
    records->UpdateControl(1, 0);
    OnMacroRecordListEvent(2, 0, 0);
    return 1;
}

LONG KeyboardDlg::OnMacroRecordMenuCommand(LONG_PTR entry)
{
    auto* records = CtlAs<CRecordList>(220);
    if (!records || m_macroRecording) return 0;
    const int record = m_macroMenuRecord;
    m_macroMenuRecord = -1;
    if (record < 0 || record >= records->GetItemCount()) return 0;
    records->SetCurSel(record);
    records->UpdateControl(1, 0);
    switch (entry) {
        case kRecordEdit: return OnMacroRecordListEvent(2, 0, 0);
        case kRecordInsertAbove:
        case kRecordInsertBelow: {
            m_macroRecordRoom = SelectedMacroRoom();
            if (records->GetItemCount() >= m_macroRecordRoom) {
                ShowMessageBox(GetSafeHwnd(), LangText(386), LangText(368), 0);
                return 0;
            }
            // Where the event menu was: the insert menu takes its place.
            POINT at;
            GetCursorPos(&at);
            return OpenMacroInsertMenu(POINT{at.x - 125, at.y + 2},
                                       entry == kRecordInsertAbove ? record : record + 1);
        }
        case kRecordDelete: return OnMacroRecordDelete();
        default: return 0;
    }
}
