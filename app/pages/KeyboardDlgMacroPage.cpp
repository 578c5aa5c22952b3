// KeyboardDlg: the macro page. The macro list (209) on the left, the event list
// of the selected macro (220) in the middle, the record button and the delay
// setting on the right. Every change of the event list is stored at once and the
// macro table queued for the keyboard (task 10); the recording itself is in
// KeyboardDlgMacroRecording.cpp.
//
// Macros are the keyboard model's, not a profile's: keys name a macro by its
// position in the table, so removing a macro rewrites both the table and the
// keys (tasks 10, then 8 for all four Fn layers).
#include <algorithm>

#include "CArea.h"
#include "CCheckButton.h"
#include "CRecordList.h"
#include "KeyboardCtrl.h"
#include "MButton.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MPanel.h"
#include "MPicture.h"
#include "MText.h"
#include "MacroList.h"
#include "MenuWnd.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "dialogs/CUIMessageBox.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

const UINT kMacroPanel = 72;
const int kMaxMacros = 10;
// The record editor: hidden until a record is clicked.
const UINT kRecordEditor[] = {225, 234, 235, 238, 236, 237, 239, 240};
// The "PNG" resource of the event menu's background.
const int kRecordMenuBackground = 120;

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

// The name a stored macro name is shown with: a leading "Custom" / "自定义"
// becomes the "New Macro" text, a trailing "Copy" / "复制" the language's
// "Copy" (the part in front of the word keeps its own space).
CString ShownMacroName(const CString& stored, const CString& newMacro, const CString& copy)
{
    CString name = stored;
    if (name.Left(6) == L"Custom")
        name = newMacro + name.Mid(6);
    else if (name.Left(3) == L"自定义")
        name = newMacro + name.Mid(3);
    for (const wchar_t* word : {L"Copy", L"复制"}) {
        const int length = int(wcslen(word));
        if (name.GetLength() >= length && name.Right(length) == word) {
            CString shown;
            shown.Format(L"%s %s", (const wchar_t*)name.Left(name.Find(word)),
                         (const wchar_t*)copy);
            return shown;
        }
    }
    return name;
}

// The first "<base> <n>" (n from 1) that no row of the list shows.
CString UniqueMacroName(MacroList* list, const CString& base)
{
    CString candidate;
    for (int n = 1; n <= 1000; ++n) {
        candidate.Format(L"%s %d", (const wchar_t*)base, n);
        bool taken = false;
        for (int i = 0; list && i < list->GetItemCount() && !taken; ++i)
            taken = list->GetItemText(i) == candidate;
        if (!taken) break;
    }
    return candidate;
}

int ParseNumber(const CString& text)
{
    return _wtoi((const wchar_t*)text);
}

// The items of the record editor's mouse button combo: item data, the button's
// bit and the name recording gives it.
struct MouseButtonItem
{
    long data;
    int value;
    const wchar_t* name;
};
const MouseButtonItem kMouseButtonItems[] = {
    {90, 1, L"MouseL"},   {91, 2, L"MouseR"},   {92, 4, L"MouseM"},
    {94, 8, L"Backward"}, {95, 16, L"Forward"},
};

// The event that pairs with the one at `index` (types 2/3 keys, 4/5 mouse
// buttons): the next release of the same key or button after a press, the last
// press of it before a release; -1 when there is none.
int PairedRecord(CRecordList* records, int index)
{
    CString text;
    int type = 0, value = 0, pause = 0;
    records->GetRecordInfo(index, text, type, value, pause);
    const bool press = type == 2 || type == 4;
    const int pressType = type == 2 || type == 3 ? 2 : 4;
    const int releaseType = pressType + 1;
    if (type < 2 || type > 5) return -1;
    const int step = press ? 1 : -1;
    for (int i = index + step; i >= 0 && i < records->GetItemCount(); i += step) {
        CString t;
        int ty = 0, v = 0, p = 0;
        records->GetRecordInfo(i, t, ty, v, p);
        if (v != value) continue;
        if (ty == (press ? releaseType : pressType)) return i;
        if (ty == (press ? pressType : releaseType)) return -1;
    }
    return -1;
}

// Gives the event at `index` and its pair the key or button `value` named `name`.
void RenamePair(CRecordList* records, int index, int value, const CString& name)
{
    for (int at : {index, PairedRecord(records, index)}) {
        if (at < 0) continue;
        CString t;
        int type = 0, v = 0, p = 0;
        records->GetRecordInfo(at, t, type, v, p);
        const CString arrow = type == 2 || type == 4 ? L"\x2193  " : L"\x2191  ";
        records->SetRecordInfo(at, arrow + name, type, value, p);
    }
}

}  // namespace

void KeyboardDlg::InitMacroPage()
{
    auto* panel = static_cast<MPanel*>(Ctl(kMacroPanel));
    if (!panel) return;
    const Gdiplus::Color theme(m_textColor);
    auto area = [&](const wchar_t* className, UINT id, const wchar_t* title = L"") {
        return Keep(panel->CreateArea(className, id, CRect(), title, 1, 1));
    };
    auto control = [&](const wchar_t* className, UINT id, const wchar_t* title = L"") {
        return MakeIn(panel, className, id, title);
    };
    // The panel art is 96 pixels square: a corner of more than a third of it
    // leaves too little edge and middle to stretch cleanly (over half of it,
    // nothing but the corners would be drawn).
    auto background = [&](UINT id, int corner) {
        if (auto* picture = static_cast<MPicture*>(area(L"MPicture", id))) {
            picture->SetImage(L"img_area.png", 1);
            const CSize art = picture->GetImageSize();
            const int most = std::min(art.cx, art.cy) / 3;
            picture->SetShowMode(SHOW_MODE_FRAME, most > 0 && corner > most ? most : corner);
        }
    };
    auto text = [&](UINT id, const CString& title, bool themed, int size) {
        if (auto* label = static_cast<MText*>(area(L"MText", id, title))) {
            if (themed) label->SetTextColor(theme);
            label->SetFont(L"Roboto-Regular", size, Gdiplus::FontStyleRegular);
        }
    };
    auto button = [&](UINT id, int textId, const wchar_t* image = L"img_button.png") {
        if (auto* b = static_cast<MButton*>(control(L"MButton", id, LangText(textId))))
            b->SetImage(image, 4);
    };

    background(203, 50);
    background(204, 50);
    if (auto* title = static_cast<MText*>(area(L"MText", 205, LangText(350)))) {
        title->SetTextColor(theme);
        title->SetFont(L"Roboto-Bold", 18, Gdiplus::FontStyleBold);
    }
    background(206, 50);
    text(207, LangText(352), false, 16);
    background(208, 50);
    if (auto* list = static_cast<MacroList*>(control(L"MacroList", 209))) {
        list->SetTextColor(theme);
        list->SetImage(L"img_list_bkg.png", 4);
        list->SetEditImage(L"btn_more.png", 4);
        list->EnableShowEdit(1);
    }
    button(210, 353);
    button(211, 30);
    background(212, 50);
    text(213, LangText(355), false, 16);
    background(214, 36);
    background(215, 36);
    const int headers[] = {388, 389, 390, 420};
    for (int i = 0; i < 4; ++i) text(216 + i, LangText(headers[i]), true, 16);
    if (auto* records = static_cast<CRecordList*>(control(L"CRecordList", 220))) {
        records->SetImage(L"icon\\icon_list.png", 8);
        records->SetItemImage(L"img_list_bkg.png", 4);
        records->SetMoreImage(L"btn_more.png", 4);
    }
    button(221, 368);
    button(222, 357);
    button(223, 404);
    background(224, 50);
    if (auto* record = static_cast<MButton*>(control(L"MButton", 226, LangText(358)))) {
        record->SetImage(L"img_button.png", 4);
        record->SetIconImage(L"icon\\icon_rec.png", 1);
    }
    text(227, LangText(360), false, 16);
    for (UINT id = 228; id <= 230; ++id) {
        auto* radio =
            static_cast<CRadioButton*>(control(L"CRadioButton", id, LangText(361 + int(id - 228))));
        if (!radio) continue;
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetGroupName(L"IDC_MACRO_STC_DELAYSET");
        if (id == 229) radio->SetControlCheck(1);
    }
    if (auto* frame = static_cast<CArea*>(area(L"CArea", 231)))
        frame->SetTransparent(1, 1, 0xFFFFFF);
    if (auto* field = static_cast<MEdit*>(control(L"MEdit", 232, L"10"))) {
        field->SetTextColor(theme);
        field->SetNumberOnly(1);
        field->SetLimitText(5);
        field->SetEditBKColor(0xFFFFFF);
        field->SetAlignment(1);
        field->SetEnabled(0);
    }
    text(233, L"ms", true, 12);
    background(225, 36);
    text(234, LangText(391), true, 14);
    if (auto* type = static_cast<MComboBox*>(control(L"MComboBox", 235))) {
        type->SetBackImage(L"img_combobox.png");
        type->SetTextColor(theme);
        type->SetAlignment(1);
    }
    text(238, LangText(392), true, 14);
    if (auto* buttons = static_cast<MComboBox*>(control(L"MComboBox", 237))) {
        buttons->SetBackImage(L"img_combobox.png");
        // The theme's text colour: white would vanish on the light combo art.
        buttons->SetTextColor(theme);
        buttons->SetAlignment(1);
        const int items[][2] = {{220, 90}, {223, 92}, {222, 91}, {227, 94}, {228, 95}};
        for (const auto& item : items) buttons->AddItem(LangText(item[0]), item[1]);
        buttons->SetCurSel(0);
    }
    if (auto* value = static_cast<MEdit*>(control(L"MEdit", 236))) {
        value->SetImage(L"img_edit.png", 4);
        // Dark text on white, as the fixed pause field: the light field art
        // would hide white text on a dark edit background.
        value->SetTextColor(theme);
        value->SetNumberOnly(1);
        value->SetLimitText(5);
        value->SetEditBKColor(0xFFFFFF);
        value->SetAlignment(1);
    }
    button(239, 0, L"img_recorditem_up.png");
    button(240, 0, L"img_recorditem_down.png");
    if (auto* up = static_cast<MButton*>(Ctl(239))) up->SetTitle(L"");
    if (auto* down = static_cast<MButton*>(Ctl(240))) down->SetTitle(L"");
    ShowRecordEditor(FALSE);
}

void KeyboardDlg::LayoutMacroPage(CRect client)
{
    const int W = client.right, H = client.bottom;
    struct Place
    {
        UINT id;
        CRect rect;
        int size;  // font size, 0: none
    };
    const Place places[] = {
        {203, CRect(280, 80, W - 1, H - 1), 0},
        {205, CRect(320, 120, 520, 150), 0},
        {206, CRect(320, 160, 650, H - 20), 0},
        {207, CRect(350, 160, 500, 190), 0},
        {209, CRect(352, 212, 608, 680), 14},
        {212, CRect(650, 160, 1080, H - 20), 0},
        {213, CRect(660, 160, 800, 196), 16},
        {215, CRect(680, 210, 1040, 240), 0},
        {216, CRect(690, 210, 760, 240), 14},
        {217, CRect(750, 210, 810, 240), 14},
        {218, CRect(810, 210, 900, 240), 14},
        {219, CRect(900, 210, 1000, 240), 14},
        {220, CRect(682, 241, 1038, 680), 14},
        {222, CRect(960, 700, 1040, 728), 14},
        {223, CRect(870, 700, 950, 728), 14},
        {224, CRect(1080, 160, 1398, H - 20), 0},
        {226, CRect(1130, 210, 1290, 238), 14},
        {227, CRect(1130, 260, 1230, 290), 16},
        {229, CRect(1130, 290, 1290, 320), 14},
        {230, CRect(1130, 320, 1255, 350), 14},
        {231, CRect(1255, 322, 1360, 348), 0},
        {232, CRect(1265, 322, 1335, 348), 14},
        {233, CRect(1335, 322, 1360, 348), 14},
        // The frames of the two lists, the macro list's buttons and the insert
        // button beside the event list's.
        {208, CRect(340, 200, 620, 690), 0},
        {214, CRect(670, 200, 1050, 690), 0},
        {210, CRect(438, 700, 518, 728), 14},
        {211, CRect(528, 700, 608, 728), 14},
        {221, CRect(780, 700, 860, 728), 14},
        // The third delay setting below the other two.
        {228, CRect(1130, 350, 1290, 380), 14},
        // The record editor below the delay setting: type, value (a key, a
        // pause or the mouse button combo in its place) and the order buttons.
        {225, CRect(1100, 400, 1378, 560), 0},
        {234, CRect(1120, 416, 1190, 446), 14},
        {235, CRect(1195, 416, 1358, 446), 14},
        {238, CRect(1120, 462, 1190, 492), 14},
        {236, CRect(1195, 462, 1358, 492), 14},
        {237, CRect(1195, 462, 1358, 492), 14},
        {239, CRect(1195, 508, 1227, 540), 0},
        {240, CRect(1237, 508, 1269, 540), 0},
    };
    for (const Place& place : places) {
        MControl* control = Ctl(place.id);
        if (!control) continue;
        control->SetRect(place.rect);
        if (place.size <= 0) continue;
        if (auto* font = dynamic_cast<MControlFont*>(control))
            font->SetFont(font->GetTextFont().IsEmpty() ? L"Roboto-Regular"
                                                        : (const wchar_t*)font->GetTextFont(),
                          place.size, font->GetFontStyle());
    }
}

void KeyboardDlg::LoadMacroPage()
{
    ReloadMacroList(0);
}

void KeyboardDlg::ReloadMacroList(int selectMacroId)
{
    auto* list = CtlAs<MacroList>(209);
    auto* records = CtlAs<CRecordList>(220);
    if (!list || !records) return;
    list->DeleteAllItems();
    records->DeleteAllItems();
    std::vector<MacroData*> macros;
    Db().GetMacros(macros);
    if (macros.empty()) {
        for (int n = 1; n <= kMaxMacros; ++n) {
            CString name;
            name.Format(L"M%d", n);
            Db().AddMacro(name);
        }
        Db().GetMacros(macros);
    }
    if (macros.empty()) return;
    const CString newMacro = LangText(351), copy = LangText(31);
    int row = 0;
    for (const MacroData* macro : macros) {
        if (macro->macro_id == selectMacroId) row = list->GetItemCount();
        list->AddString(ShownMacroName(macro->name, newMacro, copy), long(macro->macro_id), -1);
    }
    const int shown = macros[size_t(row)]->macro_id;
    FreeRecordList(macros);
    list->SetCurSel(row);
    ShowMacro(shown);
}

void KeyboardDlg::ShowMacro(int macroId)
{
    ShowRecordEditor(FALSE);
    auto* field = CtlAs<MEdit>(232);
    if (field) field->SetEnabled(0);
    MacroData macro;
    if (Db().GetMacro(macroId, macro)) {
        const int type = macro.delay_type;
        for (UINT id = 228; id <= 230; ++id) {
            if (auto* radio = CtlAs<CRadioButton>(id))
                radio->SetControlCheck(int(id - 228) == type);
        }
        if (type == 2 && field) {
            CString text;
            text.Format(L"%d", macro.delay_time);
            field->SetEditText(text);
            field->SetEnabled(1);
        }
    }
    auto* records = CtlAs<CRecordList>(220);
    if (!records) return;
    records->DeleteAllItems();
    std::vector<MacroRecordData*> rows;
    Db().GetMacroRecords(macroId, rows);
    for (const MacroRecordData* row : rows)
        records->AddString(row->desc, row->type, row->value, row->delay_time);
    FreeRecordList(rows);
    records->UpdateControl(1, 0);
}

LONG KeyboardDlg::SaveMacroRecords()
{
    auto* list = CtlAs<MacroList>(209);
    auto* records = CtlAs<CRecordList>(220);
    if (!list || !records || list->GetCurSel() < 0) return 0;
    const int macroId = list->GetCurData();
    std::vector<MacroRecordData> rows;
    std::vector<RecordItem*> items = records->GetRecordItems();
    for (size_t i = 0; i < items.size(); ++i) {
        MacroRecordData row;
        row.macro_id = macroId;
        row.type = items[i]->nEventType;
        row.record_index = int(i);
        row.desc = items[i]->strText;
        row.value = items[i]->nKeyCode;
        row.delay_time = items[i]->nTimeStamp;
        rows.push_back(row);
    }
    // Old and new events change places in one transaction: a failure keeps
    // the events the keyboard was last sent.
    const bool stored = StoreMacroEvents(macroId, rows);
    if (!stored) return 0;
    if (!rows.empty())
        AppendTask(TASK_UPLOAD_MACROS);
    else
        // A macro without events plays nothing: the keys bound to it get their
        // defaults back, and the keyboard's table loses its events.
        ResetKeysBoundToMacro(macroId);
    return 1;
}

LONG KeyboardDlg::ResetKeysBoundToMacro(int macroId)
{
    bool matched = false;
    {
        CAutoLock hold(m_deviceStateLock);
        std::vector<KeyMacroData*> rows;
        Db().GetAllKeyMacros(rows);
        for (const KeyMacroData* row : rows) {
            if (row->macro_type != 3 || row->macro_value != macroId) continue;
            matched = true;
            // Each row gets the default of its own Fn layer.
            uint8_t record[3] = {0, 0, 0};
            auto index = m_keyMaps.keyCodeToIndex.find(row->key_code);
            if (index == m_keyMaps.keyCodeToIndex.end()) continue;
            const int at = index->second * 3;
            if (row->fn_layer >= 0 && row->fn_layer < kFnLayers && at >= 0 &&
                at + 3 <= kDefaultTableSize) {
                for (int b = 0; b < 3; ++b)
                    record[b] = m_keyMaps.defaultTables[row->fn_layer][at + b];
            }
            KeyMacroData stored;
            if (!Db().GetKeyMacro(row->profile, row->fn_layer, row->key_code, stored)) continue;
            DecodeKeyFunction(record, stored);
            Db().UpdateKeyMacro(stored);
        }
        FreeRecordList(rows);
        if (matched) LoadKeyAssignments(m_currentProfile);
    }
    if (!matched) return 0;
    m_selectedKey = -2;
    AppendTask(TASK_UPLOAD_MACROS);
    QueueKeyWrite(m_currentFnLayer, -2);
    return 1;
}

LONG KeyboardDlg::SaveMacroDelaySettings()
{
    auto* list = CtlAs<MacroList>(209);
    if (!list || list->GetCurSel() < 0) return 0;
    MacroData macro;
    const int macroId = list->GetCurData();
    if (!Db().GetMacro(macroId, macro)) return 0;
    auto checked = [this](UINT id) {
        auto* radio = CtlAs<CRadioButton>(id);
        return radio && radio->GetCheck();
    };
    macro.delay_type = checked(228) ? 0 : checked(229) ? 1 : checked(230) ? 2 : macro.delay_type;
    macro.delay_time = 0;
    if (macro.delay_type == 2) {
        if (auto* field = CtlAs<MEdit>(232)) {
            if (field->GetEditText().IsEmpty()) field->SetEditText(L"10");
            macro.delay_time = ParseNumber(field->GetEditText());
        }
    }
    Db().UpdateMacro(macroId, macro);
    return 1;
}

void KeyboardDlg::ShowRecordEditor(BOOL show)
{
    for (UINT id : kRecordEditor) Show(id, show != FALSE);
}

LONG KeyboardDlg::OnMacroListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    auto* list = CtlAs<MacroList>(209);
    if (!list) return 0;
    if (code == 2) {
        if (list->GetCurSel() < 0) return 0;
        ShowMacro(list->GetCurData());
        return 1;
    }
    if (code == 29) {
        const int row = list->GetCurSel();
        if (row < 0) return 0;
        const int macroId = list->GetCurData();
        const CString typed = list->GetItemText(row);
        if (typed.IsEmpty()) {
            MacroData macro;
            if (Db().GetMacro(macroId, macro)) list->ModifyItemString(row, macro.name, 0);
            return 0;
        }
        return Db().RenameMacro(macroId, typed) ? 1 : 0;
    }
    return 1;
}

LONG KeyboardDlg::OnMacroNew()
{
    auto* list = CtlAs<MacroList>(209);
    if (!list) return 0;
    if (list->GetItemCount() >= kMaxMacros) {
        ShowMessageBox(GetSafeHwnd(), LangText(430), LangText(351), 0);
        return 0;
    }
    const CString name = UniqueMacroName(list, LangText(351));
    const int macroId = StoreNewMacro(name);
    if (macroId <= 0) return 1;
    // The keyboard gets the table with the new macro at once; a table it does
    // not take removes the macro again.
    AppendTask(TASK_UPLOAD_MACROS);
    list->AddString(name, long(macroId), -1);
    list->SetCurSel(list->GetItemCount() - 1);
    ShowMacro(macroId);
    return 1;
}

LONG KeyboardDlg::OnMacroDelete()
{
    auto* list = CtlAs<MacroList>(209);
    auto* records = CtlAs<CRecordList>(220);
    if (!list || !records) return 0;
    const int row = list->GetCurSel();
    if (row < 0) return 0;
    const int macroId = list->GetCurData();
    if (macroId <= 0) return 1;
    // Kept with its events until the keyboard takes the table without it.
    if (!StoreDeletedMacro(macroId)) return 1;
    // Keys name macros by position: every macro behind the deleted one moves
    // up, so the table and all four Fn layers of keys are sent again even when
    // no key used the deleted macro.
    if (!ResetKeysBoundToMacro(macroId)) {
        m_selectedKey = -2;
        AppendTask(TASK_UPLOAD_MACROS);
        QueueKeyWrite(m_currentFnLayer, -2);
    }
    list->DeleteItem(row);
    list->SetCurSel(row - 1);
    records->DeleteAllItems();
    ShowRecordEditor(FALSE);
    if (list->GetCurSel() < 0) return 0;
    ShowMacro(list->GetCurData());
    return 1;
}

LONG KeyboardDlg::OnMacroRecordListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    auto* records = CtlAs<CRecordList>(220);
    if (!records) return 0;
    if (code == 9) {
        // The event whose "more" button was clicked (the click selected it).
        m_macroMenuRecord = records->GetCurSel();
        auto* menu = new MenuWnd(this);
        POINT at;
        GetCursorPos(&at);
        // The menu deletes itself once its window is gone. Its background is
        // the program's own picture.
        if (!menu->Create(GetSafeHwnd(), CPoint(at.x - 125, at.y + 2), KBM_MACRO_RECORD_MENU,
                          UINT(kRecordMenuBackground), 4, 150, BACK_MODE_FRAME)) {
            delete menu;
            return 1;
        }
        for (int entry = 0; entry < 4; ++entry)
            menu->AddMenu(LangText(400 + entry), 100 + entry, L"", 0, 0);
        menu->ShowWindow(SW_SHOW);
        return 1;
    }
    // A pause edited in the list: stored and sent like every other edit.
    if (code == 29) return SaveMacroRecords();
    if (code != 2) return 1;
    const int selected = records->GetCurSel();
    if (selected < 0) return 0;
    CString text;
    int type = 0, value = 0, pause = 0;
    records->GetRecordInfo(selected, text, type, value, pause);
    ShowRecordEditor(TRUE);
    Show(237, false);
    auto* typeCombo = CtlAs<MComboBox>(235);
    auto* field = CtlAs<MEdit>(236);
    if (field) {
        field->EnableCharMessage(1);
        field->SetEditText(L"");
    }
    auto single = [typeCombo](int textId, long data, const CString& itemText) {
        if (!typeCombo) return;
        typeCombo->DelAllItems();
        typeCombo->AddItem(itemText, data);
        typeCombo->SetCurSel(0);
    };
    switch (type) {
        case 2:
        case 3:
            single(394, 2, LangText(394));
            if (field) {
                // The key's name without the arrow and the spaces after it.
                CString name = text.Mid(1);
                field->SetEditText(name.Trim(L' '));
                field->EnableCharMessage(0);
                field->SetNumberOnly(0);
                field->SetTipInfo(LangText(385));
            }
            break;
        case 4:
        case 5:
            single(393, 1, LangText(393));
            Show(236, false);
            Show(237, true);
            // The combo names the event's own button.
            if (auto* buttons = CtlAs<MComboBox>(237)) {
                for (const MouseButtonItem& item : kMouseButtonItems)
                    if (item.value == value) buttons->SelectData(item.data);
            }
            break;
        case 1: {
            single(395, 3, LangText(395));
            if (field) {
                CString number;
                number.Format(L"%d", value);
                field->SetEditText(number);
                field->SetNumberOnly(1);
            }
            break;
        }
        default: break;
    }
    return 1;
}

LONG KeyboardDlg::OnMacroRecordDelete()
{
    auto* records = CtlAs<CRecordList>(220);
    if (!records) return 0;
    const int selected = records->GetCurSel();
    if (selected < 0) return 0;
    records->DeleteItem(selected);
    records->SetCurSel(selected - 1);
    SaveMacroRecords();
    return 1;
}

LONG KeyboardDlg::OnMacroRecordClear()
{
    auto* list = CtlAs<MacroList>(209);
    auto* records = CtlAs<CRecordList>(220);
    if (!list || !records) return 0;
    records->DeleteAllItems();
    if (list->GetCurSel() < 0) return 0;
    // Stored empty, the keys bound to the macro are reset with it.
    SaveMacroRecords();
    return 1;
}

LONG KeyboardDlg::OnMacroDelayModeRadio(UINT id)
{
    if (auto* field = CtlAs<MEdit>(232)) {
        if (id == 230) {
            field->SetEditText(L"10");
            field->SetEnabled(1);
        } else {
            field->SetEnabled(0);
        }
    }
    SaveMacroDelaySettings();
    return 1;
}

LONG KeyboardDlg::OnMacroDelayTimeEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (code != 29) return 1;
    auto* field = CtlAs<MEdit>(232);
    if (!field) return 1;
    const int typed = ParseNumber(field->GetEditText());
    const int value = typed < 1 ? 1 : typed > 10000 ? 10000 : typed;
    if (value != typed || field->GetEditText().IsEmpty()) {
        CString text;
        text.Format(L"%d", value);
        field->SetEditText(text);
        field->SetTooltip(text);
    }
    SaveMacroDelaySettings();
    return 1;
}

LONG KeyboardDlg::OnMacroRecordTypeSelect()
{
    auto* typeCombo = CtlAs<MComboBox>(235);
    auto* field = CtlAs<MEdit>(236);
    Show(237, false);
    Show(236, true);
    if (field) {
        field->EnableCharMessage(1);
        field->SetEditText(L"");
    }
    const long kind = typeCombo ? typeCombo->GetCurData() : 0;
    if (kind == 3 && field) {
        field->SetLimitText(5);
        field->SetEditText(L"10");
        field->SetNumberOnly(1);
    } else if (kind == 2 && field) {
        field->SetLimitText(10);
        field->EnableCharMessage(0);
        field->SetTipInfo(LangText(385));
        field->SetNumberOnly(0);
    } else if (kind == 1) {
        Show(236, false);
        Show(237, true);
    }
    return 1;
}

// Moves the selected event one row up (-1) or down (+1). At the end of the
// list nothing moves; a move down there is stored all the same.
LONG KeyboardDlg::OnMacroRecordMove(int step)
{
    auto* records = CtlAs<CRecordList>(220);
    if (!records) return 1;
    const int selected = records->GetCurSel();
    const int target = selected + step;
    if (selected >= 0 && target >= 0) {
        if (target < records->GetItemCount()) records->SwapItem(selected, target);
        records->SetCurSel(target);
        records->UpdateControl(1, 0);
        SaveMacroRecords();
    }
    return 1;
}

LONG KeyboardDlg::OnMacroMouseButtonSelect()
{
    auto* buttons = CtlAs<MComboBox>(237);
    auto* records = CtlAs<CRecordList>(220);
    if (buttons && records && records->GetCurSel() >= 0) {
        // The chosen button replaces the selected mouse event's and its pair's.
        const int selected = records->GetCurSel();
        CString text;
        int type = 0, value = 0, pause = 0;
        records->GetRecordInfo(selected, text, type, value, pause);
        for (const MouseButtonItem& item : kMouseButtonItems) {
            if (item.data != buttons->GetCurData() || (type != 4 && type != 5)) continue;
            RenamePair(records, selected, item.value, item.name);
            records->UpdateControl(1, 0);
        }
    }
    SaveMacroRecords();
    return 1;
}

LONG KeyboardDlg::OnMacroRecordValueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    auto* typeCombo = CtlAs<MComboBox>(235);
    auto* field = CtlAs<MEdit>(236);
    auto* records = CtlAs<CRecordList>(220);
    if (!typeCombo || !field || !records) return 1;
    const long kind = typeCombo->GetCurData();
    if (code == 30) {
        if (kind == 2) BeginMacroKeyCapture();
        return 1;
    }
    if (code != 29) return 1;
    if (kind == 2) {
        EndMacroKeyCapture();
        if (m_macroCapturedKey <= 0 || m_macroCapturedName.IsEmpty()) return 1;
        const int selected = records->GetCurSel();
        if (selected < 0) return 0;
        CString text;
        int type = 0, value = 0, pause = 0;
        records->GetRecordInfo(selected, text, type, value, pause);
        if (type != 2 && type != 3) return 1;
        // The selected record and the one it pairs with.
        RenamePair(records, selected, m_macroCapturedKey, m_macroCapturedName);
        records->UpdateControl(1, 0);
        SaveMacroRecords();
        return 1;
    }
    int value = ParseNumber(field->GetEditText());
    if (kind == 3) {
        const int clamped = value < 1 ? 1 : value > 10000 ? 10000 : value;
        if (clamped != value) {
            CString text;
            text.Format(L"%d", clamped);
            field->SetEditText(text);
        }
        value = clamped;
        const int selected = records->GetCurSel();
        if (selected < 0) return 0;
        CString text;
        int type = 0, oldValue = 0, pause = 0;
        records->GetRecordInfo(selected, text, type, oldValue, pause);
        CString shown;
        shown.Format(L"%d ms", value);
        records->SetRecordInfo(selected, shown, type, value, pause);
        SaveMacroRecords();
    }
    return 1;
}
