// KeyboardDlg: the profile exchange file: export of the selected profile's key
// assignments (profile menu) and import as a new profile (import button).
#include <windows.h>
// (after windows.h)
#include <commdlg.h>
#include <shlwapi.h>

#include <vector>

#include "KeyboardCtrl.h"
#include "ProfileList.h"
#include "mainwnd/KeyboardDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "pages/ProfileFile.h"
#include "pages/ProfileRows.h"
#include "services/db/DeviceDataDB.h"

namespace {

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

// The platform's file dialogs: one "*.xml" filter, the asking before an
// existing file is overwritten, a name typed without extension gets ".xml".
bool RunFileDialog(HWND owner, bool save, std::wstring& path)
{
    wchar_t file[260] = {};
    wchar_t title[256] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = save ? L"Macro (*.xml)\0*.xml\0" : L"Custom Key (*.xml)\0*.xml\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = 260;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = 256;
    ofn.lpstrDefExt = L"xml";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return false;
    path = file;
    return true;
}

}  // namespace

bool KeyboardDlg::ChooseProfileFile(bool save, std::wstring& path)
{
    if (m_fileChooser) return m_fileChooser(m_fileChooserContext, GetSafeHwnd(), save, path);
    return RunFileDialog(GetSafeHwnd(), save, path);
}

void KeyboardDlg::ExportProfileXml()
{
    WEXA::ProfileList* list = ProfileListCtl();
    if (!list) return;
    const int row = list->GetSelectItem();
    if (row < 0 || row >= list->GetItemCount()) return;
    std::wstring path;
    if (!ChooseProfileFile(true, path)) return;
    const CString name = list->GetItemText(row);
    std::vector<KeyMacroData*> rows;
    Db().GetProfileKeyMacros(list->GetItemData(row), rows);
    WriteProfileFile(path.c_str(), name, rows);
    FreeRecordList(rows);
}

LONG KeyboardDlg::ImportProfileXml()
{
    WEXA::ProfileList* list = ProfileListCtl();
    if (!list) return 0;
    DeviceDataDB& db = Db();
    // The database counts too: the list may not show every row.
    std::vector<ProfileData*> profiles;
    const int stored = db.GetProfiles(profiles);
    FreeRecordList(profiles);
    if (list->GetItemCount() >= kMaxProfiles || stored >= kMaxProfiles) {
        ShowProfileLimit(GetSafeHwnd());
        return 0;
    }
    std::wstring path;
    if (!ChooseProfileFile(false, path)) return 0;
    if (!PathFileExistsW(path.c_str())) return 0;

    // Rows are checked against the keys of the model the file goes to.
    auto* picture = CtlAs<WEXA::KeyboardCtrl>(58);
    ModelKeyCodes keys;
    if (picture) {
        // The worker may refill the picture's keys meanwhile: read them under its lock.
        picture->EnterCriSec();
        for (const WEXA::KEY_INFO* key : picture->GetKeyItems())
            if (key) keys.insert(key->nKeyCode);
        picture->LeaveCriSec();
    }
    ImportedProfile imported;
    const ProfileFileError error = ReadProfileFile(path.c_str(), imported, &keys);
    if (error != ProfileFileError::None) {
        // Nothing is stored from a file that is not a whole, plain export.
        Show(65, true);
        ShowMessageBox(GetSafeHwnd(), LangText(70), LangText(804), 0);
        Show(65, false);
        return 1;
    }
    const int id = db.AddProfile(NewProfileRecord(imported.name));
    if (!id) return 1;
    db.InsertDefaultConfig(id);
    // Every row of the file is kept as it stands (also a function whose values
    // are 0), and keys of the picture the file does not name get the rows a
    // new profile has: every key keeps a row that later edits update.
    std::vector<KeyMacroData> rows = imported.rows;
    std::vector<KeyMacroData> defaults;
    if (picture) defaults = PictureDefaultKeyRows(id, picture);
    for (KeyMacroData& row : rows) row.profile = id;
    for (const KeyMacroData& fallback : defaults) {
        bool named = false;
        for (const KeyMacroData& row : imported.rows) {
            if (row.fn_layer == fallback.fn_layer && row.key_code == fallback.key_code) {
                named = true;
                break;
            }
        }
        if (!named) rows.push_back(fallback);
    }
    if (!rows.empty()) db.InsertKeyMacros(rows);

    list->SetSelectItem(list->AddItem(imported.name, id, kProfileIcon));
    m_currentProfile = id;
    db.SetActiveProfile(id);
    AppendTask(TASK_APPLY_PROFILE);
    if (imported.skipped > 0) {
        // Entries this keyboard cannot hold (or no program of ours wrote) were
        // left out; the user learns how many.
        CString message;
        message.Format(LangText(77), imported.skipped);
        AskUser(message, LangText(66), 0);
    }
    return 1;
}
