// KeyboardDlg: the profiles of the selected keyboard model: the load (tasks 4
// and 5, and the factory reset), the page refresh, the profile apply (task 6),
// the frame's profile list with its add button and menu, and the profile
// manager.
#include <algorithm>
#include <vector>

#include "CSwitchButton.h"
#include "KeyLayerCtrl.h"
#include "KeyboardCtrl.h"
#include "MScroll.h"
#include "MenuWnd.h"
#include "ProfileList.h"
#include "TabCtrlEx.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/device/DeviceCommands.h"
#include "dialogs/CUIMessageBox.h"
#include "pages/ProfileDlg.h"
#include "pages/ProfileRows.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

namespace {

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

std::vector<CString> RowNames(WEXA::ProfileList* list)
{
    std::vector<CString> names;
    const int count = list ? list->GetItemCount() : 0;
    for (int i = 0; i < count; ++i) names.push_back(list->GetItemText(i));
    return names;
}

// Scrolls the list so that the selected row is in view (the frame's card
// shows a few rows at a time); the rows above stay in view while it fits.
// The bar's position is set as the list's own scroll to the top sets it, so
// the worker may call this as it refills the list.
void ScrollSelectedIntoView(WEXA::ProfileList* list)
{
    auto* bar = list ? dynamic_cast<WEXA::MScroll*>(list->GetScrollVertical()) : nullptr;
    const int row = list ? list->GetSelectItem() : -1;
    if (!bar || row < 0 || row >= list->GetItemCount()) return;
    const int height = list->GetItemHeight();
    const int view = list->GetRect().Height();
    const int content = list->GetItemCount() * height;
    const int max = bar->GetScrollMaxRange();
    if (content <= view || max <= 0 || (row + 1) * height <= view) return;
    // The list draws from content offset (content - view) x position / max.
    const long long offset = std::min(row * height, content - view);
    bar->m_nPosition = int((offset * max + (content - view) - 1) / (content - view));
    bar->SetRange();
    list->SetCurData(list->GetItemData(row));  // repaints
}

bool HasProfile(const std::vector<ProfileData*>& rows, int id)
{
    for (const ProfileData* row : rows)
        if (row->profile == id) return true;
    return false;
}

}  // namespace

WEXA::ProfileList* KeyboardDlg::ProfileListCtl()
{
    return CtlAs<WEXA::ProfileList>(53);
}

void KeyboardDlg::FillProfileList()
{
    WEXA::ProfileList* list = ProfileListCtl();
    if (!list) return;
    list->ClearList();
    std::vector<ProfileData*> rows;
    Db().GetProfiles(rows);
    const CString profileText = LangText(68);
    const CString ownText = LangText(65);
    for (const ProfileData* row : rows)
        list->AddItem(ShownProfileName(row->name, profileText, ownText), row->profile,
                      kProfileIcon);
    FreeRecordList(rows);
    list->SetScrollPos(0);
    list->SetCurData(m_currentProfile);
    ScrollSelectedIntoView(list);
}

void KeyboardDlg::LoadProfiles()
{
    DeviceDataDB& db = Db();
    std::vector<ProfileData*> rows;
    db.GetProfiles(rows);
    // A new database: three profiles, the first active. Their ids are the ones
    // the inserts gave (a table emptied elsewhere does not count from 1 again).
    std::vector<int> created;
    if (rows.empty()) {
        const CString base = LangText(65);
        for (int n = 1; n <= 3; ++n) {
            CString name;
            name.Format(L"%s %d", static_cast<const wchar_t*>(base), n);
            const int id = db.AddProfile(NewProfileRecord(name));
            if (!id) continue;
            if (created.empty()) CreateDefaultKeyRows(db, id, CtlAs<WEXA::KeyboardCtrl>(58));
            db.InsertDefaultConfig(id);
            created.push_back(id);
        }
        if (!created.empty()) db.SetActiveProfile(created.front());
    }
    FreeRecordList(rows);
    m_currentProfile = db.GetActiveProfile();
    FillProfileList();

    m_currentFnLayer = 0;
    LoadLightModes();
    if (m_deviceType == 102) LoadMatrixModes();

    HidDeviceManager& hid = HidDeviceManager::Instance();
    // After an apply the keyboard did not finish, its tables are part one
    // profile, part another: the stored profile is the truth and is applied
    // again, nothing is read back over it.
    const bool reapply = m_applyUnfinished;
    if (BeginDeviceSession(hid) && ReadDeviceInfo() && ReadDefaultKeyTables() && ReadLedMap() &&
        !reapply && ReadKeyFunctions())
        m_confirmedProfile = m_currentProfile.load();  // its keys are the keyboard's
    EndDeviceSession(hid);
    if (reapply) AppendTask(TASK_APPLY_PROFILE);

    // The other new profiles start from the first one's keys as the read left them.
    if (created.size() > 1) {
        std::vector<KeyMacroData*> source;
        db.GetProfileKeyMacros(created.front(), source);
        for (size_t i = 1; i < created.size() && !source.empty(); ++i) {
            if (db.CountKeyMacros(created[i]) > 0) continue;
            std::vector<KeyMacroData> copies;
            for (const KeyMacroData* row : source) {
                copies.push_back(*row);
                copies.back().profile = created[i];
            }
            db.InsertKeyMacros(copies);
        }
        FreeRecordList(source);
    }
    RefreshPages();
}

void KeyboardDlg::RefreshPages()
{
    if (m_featureFlags & 0x01) LoadKeyAssignments(m_currentProfile);
    if (m_featureFlags & 0x04) LoadLightModes();
    if (m_featureFlags & 0x02) LoadMacroPage();
    if (m_deviceInfo.matrixPresent) LoadMatrixModes();
    if (m_featureFlags & 0x10) {
        ComputeSpectrumSamples();
        LoadMusicLayer(m_currentProfile);
    }
    if ((m_connectionMode == 0 && (m_featureFlags & 0x40)) ||
        (m_connectionMode == 1 && m_wirelessFeatureFlags != 0))
        LoadLcdPage();
    LoadPerformanceSettings();
}

void KeyboardDlg::ApplyProfileToDevice()
{
    const int profile = m_currentProfile;
    // Profile 0 (none active) has nothing to write: an empty profile would
    // leave the keyboard with its default tables and no colours.
    if (profile <= 0) return;
    auto* picture = CtlAs<WEXA::KeyboardCtrl>(58);
    m_applyUnfinished = true;
    if (m_featureFlags & 0x01) {
        m_currentFnLayer = 0;
        if (auto* layers = CtlAs<WEXA::KeyLayerCtrl>(56)) layers->SetCurrentLayer(0);
        m_selectedKey = -2;
        LoadKeyAssignments(profile);
        // All four layers, whatever single-key writes are still queued.
        if (!KeyTables().WriteKeyFunctions(profile, 0, -2)) {
            FallBackToConfirmedProfile(profile);
            return;
        }
    }
    m_confirmedProfile = profile;
    LoadPerformanceSettings();
    LoadLightModes();
    if (picture) picture->ResetAllItemCheck(0);
    if (auto* customLight = CtlAs<WEXA::CSwitchButton>(125)) customLight->SetCheck(0);
    bool lit;
    if (m_lightMode >= 128) {
        if (picture && m_currentPage == 1) picture->SetKeyboardCtrlMode(103);
        lit = SendUserLightMode();
        lit = WriteUserKeyColors() && lit;
    } else {
        if (picture && m_currentPage == 1) picture->SetKeyboardCtrlMode(100);
        lit = SendLightMode();
    }
    if (!lit) ReportUnconfirmedWrite();
    CString effect;
    Db().GetConfigValue(profile, L"nimbrel_mode", effect);
    if (auto* tabs = CtlAs<WEXA::TabCtrlEx>(242)) {
        tabs->SetCurData(int(wcstol(effect, nullptr, 10)));
        if (m_currentPage == 2) OnEffectModeChanged();
    }
    if (m_deviceType == 102) LoadMatrixModes();
    // The key tables are the keyboard's. Its lighting is too unless that write
    // failed: then its settings block still holds the profile before, which a
    // connect must not read back over this one; the next connect applies
    // the profile again instead.
    m_applyUnfinished = !lit;
}

void KeyboardDlg::FallBackToConfirmedProfile(int failed)
{
    ReportUnconfirmedWrite();
    const int confirmed = m_confirmedProfile;
    // The profile the keyboard last took in full becomes the current one again
    // and is applied anew over what of the failed one got through; when that
    // is the one that failed, or one deleted since, it stays (no endless retry).
    CString name;
    if (confirmed <= 0 || confirmed == failed || !Db().GetProfileName(confirmed, name)) return;
    m_currentProfile = confirmed;
    Db().SetActiveProfile(confirmed);
    FillProfileList();
    AppendTask(TASK_APPLY_PROFILE);
}

void KeyboardDlg::ShowProfileLimit(HWND parent)
{
    ShowMessageBox(parent,
                   L"\x6700\x591A\x53EA\x80FD\x521B\x5EFA"
                   L"10"
                   L"\x4E2A\x914D\x7F6E\x6587\x4EF6!",
                   L"\x6DFB\x52A0\x914D\x7F6E\x6587\x4EF6", 0);
}

LONG KeyboardDlg::OnProfileAdd()
{
    WEXA::ProfileList* list = ProfileListCtl();
    if (!list) return 0;
    DeviceDataDB& db = Db();
    if (list->GetItemCount() >= kMaxProfiles) {
        ShowProfileLimit(GetSafeHwnd());
        return 0;
    }
    const CString name = MakeUniqueName(LangText(65), RowNames(list));
    const int id = db.AddProfile(NewProfileRecord(name));
    if (!id) return 1;
    CreateDefaultKeyRows(db, id, CtlAs<WEXA::KeyboardCtrl>(58));
    db.InsertDefaultConfig(id);
    db.SetActiveProfile(id);
    list->SetSelectItem(list->AddItem(name, id, kProfileIcon));
    m_currentProfile = id;
    AppendTask(TASK_APPLY_PROFILE);
    return 1;
}

void KeyboardDlg::DeleteSelectedProfile()
{
    WEXA::ProfileList* list = ProfileListCtl();
    if (!list || list->GetItemCount() < 2) return;
    const int row = list->GetSelectItem();
    if (row < 0 || row >= list->GetItemCount()) return;
    DeviceDataDB& db = Db();
    if (!db.DeleteProfile(list->GetItemData(row))) return;
    list->DeleteItem(row);
    list->SetSelectItem(row > 0 ? row - 1 : 0);
    const int id = list->GetCurData();
    if (id <= 0) return;
    m_currentProfile = id;
    db.SetActiveProfile(id);
    AppendTask(TASK_APPLY_PROFILE);
}

LONG KeyboardDlg::OnProfileListEvent(UINT code, UINT_PTR, LONG_PTR)
{
    WEXA::ProfileList* list = ProfileListCtl();
    if (!list) return 0;
    switch (code) {
        case 2: {
            const int id = list->GetCurData();
            // A press that selected no row makes no profile current.
            if (id <= 0) return 0;
            // The press opened the row's rename box; a click on a row chooses
            // the profile (the menu's entry renames), so the box goes.
            list->HideEdit(1);
            m_currentProfile = id;
            Db().SetActiveProfile(id);
            WaitDlg* wait = m_waitDlg.Reset(new WaitDlg);
            AppendTask(TASK_APPLY_PROFILE);
            wait->DoModal(GetSafeHwnd());
            return 1;
        }
        case 9: {
            // Not renaming: the menu's entry opens the box when asked.
            list->HideEdit(1);
            POINT at = {};
            GetCursorPos(&at);
            // The menu deletes itself once its window is gone.
            auto* menu = new WEXA::MenuWnd(this);
            if (!menu->Create(GetSafeHwnd(), CPoint(at.x, at.y), KBM_PROFILE_MENU, L"img_menu.png",
                              30, 200, WEXA::BACK_MODE_FRAME)) {
                delete menu;
                return 1;
            }
            // The entries in the user's language.
            menu->AddMenu(LangText(74), 601, L"", 0, 0);
            menu->AddMenu(LangText(75), 602, L"", 0, 0);
            menu->AddMenu(LangText(76), 605, L"", 0, 0);
            menu->ShowModal2(1);
            return 1;
        }
        case 29: {
            const int row = list->GetSelectItem();
            if (row < 0 || row >= list->GetItemCount()) return 0;
            const int id = list->GetItemData(row);
            const CString text = list->GetItemText(row);
            if (text.IsEmpty()) {
                CString stored;
                Db().GetProfileName(id, stored);
                list->SetItemText(row, stored);
                return 0;
            }
            return Db().RenameProfile(id, text) ? 1 : 0;
        }
        default: return 1;
    }
}

LONG KeyboardDlg::OnProfileMenuCommand(LONG_PTR command)
{
    switch (command) {
        case 601: DeleteSelectedProfile(); break;
        case 602: ExportProfileXml(); break;
        case 605:
            if (WEXA::ProfileList* list = ProfileListCtl()) list->ShowEdit();
            break;
        default: break;
    }
    return 1;
}

void KeyboardDlg::RunProfileManager()
{
    ProfileDlg dialog(CtlAs<WEXA::KeyboardCtrl>(58));
    if (!dialog.Create(GetSafeHwnd(), kProfileDlgWindowName, 0x96020000, 0, CRect(0, 0, 800, 600)))
        return;
    dialog.CenterWindow(nullptr);
    const UINT result = dialog.ShowModal(SW_SHOW);
    const int chosen = dialog.ChosenProfile();
    // Confirming without a selected row hands back 0: nothing changes.
    if (result == IDOK && chosen > 0 && chosen != m_currentProfile) {
        m_currentProfile = chosen;
        if (WEXA::ProfileList* list = ProfileListCtl()) list->SetCurData(chosen);
        Db().SetActiveProfile(chosen);
        AppendTask(TASK_APPLY_PROFILE);
    }
    if (IsWindow(dialog.GetSafeHwnd())) dialog.DestroyWindow();
    RevalidateCurrentProfile();
}

void KeyboardDlg::RevalidateCurrentProfile()
{
    DeviceDataDB& db = Db();
    std::vector<ProfileData*> rows;
    db.GetProfiles(rows);
    const bool exists = HasProfile(rows, m_currentProfile);
    FreeRecordList(rows);
    if (!exists) {
        // The dialog deleted the profile the pages show: take the active one.
        const int active = db.GetActiveProfile();
        if (active > 0 && active != m_currentProfile) {
            m_currentProfile = active;
            AppendTask(TASK_APPLY_PROFILE);
        }
    }
    FillProfileList();
}
