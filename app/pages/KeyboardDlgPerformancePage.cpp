// KeyboardDlg: the performance page (page panel 78): four switches and two
// lists, each one configuration value of the current profile that task 16
// writes into the keyboard's settings block.
#include "CArea.h"
#include "CSwitchButton.h"
#include "MComboBox.h"
#include "MPicture.h"
#include "MText.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

const UINT kPerformancePanel = 78;

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

template <class T>
T* As(MControl* control)
{
    return static_cast<T*>(control);
}

// The switches: control id and configuration key.
struct SwitchRow
{
    UINT id;
    const wchar_t* key;
};
const SwitchRow kSwitches[] = {
    {338, L"mac_mode"}, {341, L"game_mode"}, {344, L"lock_win"}, {347, L"wasd_mode"}};

// List entries (text, value). Each label names the value its entry stores.
struct ListEntry
{
    const wchar_t* text;
    int value;
};
// Sleep times in minutes; their labels carry the unit in the window's language.
const int kSleepMinutes[] = {1, 2, 3, 5, 10, 15, 20, 25, 30, 60};
const ListEntry kKeyResponses[] = {{L"1", 1}, {L"2", 2},   {L"4", 4},
                                   {L"8", 8}, {L"16", 16}, {L"20", 20}};

int ConfigInt(int profile, const wchar_t* key)
{
    CString value;
    Db().GetConfigValue(profile, key, value);
    return _wtoi(value);
}

// Kept until the keyboard confirms the performance write (task 16).
void StoreConfigInt(KeyboardDlg& dlg, const wchar_t* key, int value)
{
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    dlg.StoreConfigValue(PendingWriter::Performance, key, text);
}

}  // namespace

CString KeyboardDlg::SleepTimeLabel(int minutes)
{
    CString label;
    label.Format(L"%d %s", minutes, static_cast<const wchar_t*>(LangText(566)));
    return label;
}

void KeyboardDlg::RelabelSleepTimes()
{
    auto* list = dynamic_cast<MComboBox*>(Ctl(350));
    if (!list) return;
    for (int index = 0; index < list->GetCount(); ++index)
        list->SetItemText(index, SleepTimeLabel(int(list->GetItemData(index))));
}

void KeyboardDlg::InitPerformancePage()
{
    MControl* panel = Ctl(kPerformancePanel);
    if (!panel) return;
    auto* page = static_cast<MPanel*>(panel);
    auto area = [&](const wchar_t* cls, UINT id, const wchar_t* title = L"") {
        return Keep(page->CreateArea(cls, id, CRect(), title, 1, 1));
    };
    const Gdiplus::Color dark(0xFF0A0A0A);
    if (auto* bkg = As<MPicture>(area(L"MPicture", 334))) {
        bkg->SetImage(L"img_area2.png", 1);
        bkg->SetShowMode(SHOW_MODE_FRAME, 36);
    }
    if (auto* title = As<MText>(area(L"MText", 335, LangText(560)))) {
        title->SetTextColor(dark);
        title->SetFont(L"Roboto-Medium", 18, Gdiplus::FontStyleRegular);
        title->SetAlignment(1);
    }
    const int names[] = {561, 562, 563, 564, 565, 569};
    for (int row = 0; row < 6; ++row) {
        const UINT first = 336 + UINT(3 * row);
        if (auto* round = As<CRoundArea>(area(L"CRoundArea", first)))
            round->SetColor(Gdiplus::Color(0xFFF6F6F6));
        if (auto* name = As<MText>(area(L"MText", first + 1, LangText(names[row])))) {
            name->SetTextColor(dark);
            name->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        }
        if (row < 4) {
            if (auto* button = As<CSwitchButton>(MakeIn(panel, L"CSwitchButton", first + 2)))
                button->SetImage(L"img_switch_on.png", L"img_switch_off.png", 4);
            continue;
        }
        auto* list = As<MComboBox>(MakeIn(panel, L"MComboBox", first + 2));
        if (!list) continue;
        list->SetImage(L"img_combobox.png", 4);
        list->SetTextColor(Gdiplus::Color(m_textColor));
        if (row == 4) {
            for (int minutes : kSleepMinutes) list->AddItem(SleepTimeLabel(minutes), minutes);
            list->SelectData(2);
        } else {
            for (const ListEntry& entry : kKeyResponses) list->AddItem(entry.text, entry.value);
            list->SelectData(8);
        }
    }
}

void KeyboardDlg::LayoutPerformancePage(CRect client)
{
    const int CX = (client.right - client.left) / 2;
    const int H = client.bottom;
    if (MControl* bkg = Ctl(334)) bkg->SetRect(CRect(CX - 280, 100, CX + 520, H - 30));
    if (MControl* title = Ctl(335)) title->SetRect(CRect(CX + 60, 140, CX + 180, 190));
    for (int row = 0; row < 6; ++row) {
        const UINT first = 336 + UINT(3 * row);
        const int top = 200 + 85 * row;
        const bool list = row >= 4;
        if (MControl* panel = Ctl(first)) panel->SetRect(CRect(CX - 190, top, CX + 430, top + 70));
        const CRect name = list ? CRect(CX - 170, top + 20, CX - 10, top + 50)
                                : CRect(CX - 170, top + 25, CX - 10, top + 45);
        if (MControl* label = Ctl(first + 1)) label->SetRect(name);
        const CRect control = list ? CRect(CX + 190, top + 20, CX + 390, top + 50)
                                   : CRect(CX + 360, top + 25, CX + 400, top + 45);
        if (MControl* c = Ctl(first + 2)) c->SetRect(control);
    }
}

void KeyboardDlg::LoadPerformanceSettings()
{
    const int profile = m_currentProfile;
    for (const SwitchRow& row : kSwitches)
        if (auto* button = CtlAs<CSwitchButton>(row.id))
            button->SetCheck(ConfigInt(profile, row.key) != 0 ? 1 : 0);
    if (auto* list = CtlAs<MComboBox>(350)) list->SelectData(ConfigInt(profile, L"sleep_time"));
    if (auto* list = CtlAs<MComboBox>(353))
        list->SelectData(ConfigInt(profile, L"key_keyresponse"));
}

namespace {

LONG StoreSwitch(KeyboardDlg& dlg, UINT id, const wchar_t* key)
{
    auto* button = dlg.CtlAs<CSwitchButton>(id);
    StoreConfigInt(dlg, key, button && button->GetCheck() ? 1 : 0);
    dlg.AppendTask(TASK_WRITE_PERFORMANCE);
    return 1;
}

LONG StoreList(KeyboardDlg& dlg, UINT id, const wchar_t* key)
{
    auto* list = dlg.CtlAs<MComboBox>(id);
    StoreConfigInt(dlg, key, list && list->GetCurSel() >= 0 ? int(list->GetCurData()) : 0);
    dlg.AppendTask(TASK_WRITE_PERFORMANCE);
    return 1;
}

}  // namespace

LONG KeyboardDlg::OnMacModeSwitch()
{
    return StoreSwitch(*this, 338, L"mac_mode");
}

LONG KeyboardDlg::OnGameModeSwitch()
{
    return StoreSwitch(*this, 341, L"game_mode");
}

LONG KeyboardDlg::OnLockWinSwitch()
{
    return StoreSwitch(*this, 344, L"lock_win");
}

LONG KeyboardDlg::OnWasdModeSwitch()
{
    return StoreSwitch(*this, 347, L"wasd_mode");
}

LONG KeyboardDlg::OnSleepTimeSelect()
{
    return StoreList(*this, 350, L"sleep_time");
}

LONG KeyboardDlg::OnKeyResponseSelect()
{
    return StoreList(*this, 353, L"key_keyresponse");
}
