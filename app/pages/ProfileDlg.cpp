#include "pages/ProfileDlg.h"

#include <vector>

#include "CArea.h"
#include "CIconButton.h"
#include "KeyboardCtrl.h"
#include "MButton.h"
#include "MText.h"
#include "ProfileList.h"
#include "services/LanguageText.h"
#include "dialogs/CUIMessageBox.h"
#include "pages/ProfileRows.h"
#include "services/db/DeviceDataDB.h"

namespace {

const Gdiplus::ARGB kButtonTextColor = 0xFF3A4E60;

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

CString ShownName(const CString& stored)
{
    const CString profile = GetLanguageText(68);
    return ShownProfileName(stored, profile, profile);
}

std::vector<CString> ShownNames(WEXA::ProfileList* list)
{
    std::vector<CString> names;
    const int count = list ? list->GetItemCount() : 0;
    for (int i = 0; i < count; ++i) names.push_back(list->GetItemText(i));
    return names;
}

}  // namespace

ProfileDlg::ProfileDlg(WEXA::KeyboardCtrl* picture)
    : m_chosenProfile(1),
      m_titleBand(nullptr),
      m_title(nullptr),
      m_closeButton(nullptr),
      m_addButton(nullptr),
      m_list(nullptr),
      m_cancelButton(nullptr),
      m_confirmButton(nullptr),
      m_picture(picture)
{}

ProfileDlg::~ProfileDlg() = default;

int ProfileDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    LoadProfiles();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    return 1;
}

void ProfileDlg::InitUI(CRect client)
{
    const int w = client.right;
    const int h = client.bottom;
    const int cx = (client.right - client.left) / 2;
    const Gdiplus::Color buttonText(kButtonTextColor);

    m_titleBand = dynamic_cast<WEXA::CArea*>(
        CreateArea(L"CArea", kTitleBandId, CRect(1, 1, w - 1, 60), L"", 1, 1));
    if (m_titleBand) m_titleBand->SetTransparent(0, 0, 0xF4ECE9);
    m_title = dynamic_cast<WEXA::MText*>(
        CreateArea(L"MText", kTitleId, CRect(15, 15, 135, 45), GetLanguageText(67), 1, 1));
    if (m_title) {
        m_title->SetTextColor(Gdiplus::Color(0xFF3A4E60));
        m_title->SetFont(L"Roboto-Bold", 20, Gdiplus::FontStyleBold);
    }
    m_closeButton = dynamic_cast<WEXA::CImageButton*>(
        CreateControl(L"CImageButton", kCloseId, CRect(w - 40, 12, w - 12, 40), L"", 1, 1));
    if (m_closeButton) {
        // The title bar's close glyph is light; this one stands on white.
        m_closeButton->SetImage(L"img_sys_close.png", 4);
        m_closeButton->SetTooltip(GetLanguageText(1));
    }
    m_addButton = dynamic_cast<WEXA::CIconButton*>(
        CreateControl(L"CIconButton", kAddId, CRect(20, 80, 180, 116), GetLanguageText(66), 1, 1));
    if (m_addButton) {
        m_addButton->SetImage(L"img_button2.png", 4);
        m_addButton->SetTextColor(buttonText);
        m_addButton->SetIconImage(L"icon\\icon_add.png", 1);
    }
    m_list = dynamic_cast<WEXA::ProfileList*>(
        CreateControl(L"ProfileList", kListId, CRect(20, 130, w - 20, h - 80), L"", 1, 1));
    if (m_list) {
        m_list->SetImage(L"imglist_del.png", 2);
        m_list->SetItemBkg(L"img_tab_item.png");
    }
    m_cancelButton = dynamic_cast<WEXA::MButton*>(
        CreateControl(L"MButton", kCancelId, CRect(cx - 150, h - 60, cx - 30, h - 30),
                      GetLanguageText(21), 1, 1));
    if (m_cancelButton) {
        m_cancelButton->SetImage(L"img_button2.png", 4);
        m_cancelButton->SetTextColor(buttonText);
    }
    m_confirmButton = dynamic_cast<WEXA::MButton*>(
        CreateControl(L"MButton", kConfirmId, CRect(cx + 30, h - 60, cx + 150, h - 30),
                      GetLanguageText(40), 1, 1));
    if (m_confirmButton) {
        m_confirmButton->SetImage(L"img_button2.png", 4);
        m_confirmButton->SetTextColor(buttonText);
    }
}

void ProfileDlg::UISize(CRect) {}

LONG ProfileDlg::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (id == kListId) return OnProfileListEvent(code);
    if (code != 2) return 0;
    switch (id) {
        case kCloseId:
        case kCancelId: DoCancel(); return 1;
        case kAddId: return OnProfileAdd();
        case kConfirmId:
            m_chosenProfile = m_list ? m_list->GetItemData(m_list->GetSelectItem()) : 0;
            DoOK();
            return 1;
        default: return 1;
    }
}

void ProfileDlg::LoadProfiles()
{
    if (!m_list) return;
    DeviceDataDB& db = Db();
    m_list->ClearList();
    std::vector<ProfileData*> rows;
    db.GetProfiles(rows);
    if (rows.empty()) {
        const CString base = GetLanguageText(68);
        int first = 0;
        for (int n = 1; n <= 3; ++n) {
            CString name;
            name.Format(L"%s %d", static_cast<const wchar_t*>(base), n);
            const int id = db.AddProfile(NewProfileRecord(name));
            if (!id) continue;
            if (!first) first = id;
            CreateDefaultKeyRows(db, id, m_picture);
            db.InsertDefaultConfig(id);
        }
        if (first) db.SetActiveProfile(first);
        db.GetProfiles(rows);
    }
    for (const ProfileData* row : rows)
        m_list->AddItem(ShownName(row->name), row->profile, kProfileIcon);
    FreeRecordList(rows);
    m_chosenProfile = db.GetActiveProfile();
    m_list->SetCurData(m_chosenProfile);
}

LONG ProfileDlg::OnProfileAdd()
{
    if (!m_list) return 0;
    DeviceDataDB& db = Db();
    if (m_list->GetItemCount() >= kMaxProfiles) {
        ShowMessageBox(GetSafeHwnd(), GetLanguageText(69), GetLanguageText(66), 0);
        return 0;
    }
    const CString name = MakeUniqueName(GetLanguageText(68), ShownNames(m_list));
    const int id = db.AddProfile(NewProfileRecord(name));
    if (!id) return 1;
    CreateDefaultKeyRows(db, id, m_picture);
    db.InsertDefaultConfig(id);
    db.SetActiveProfile(id);
    m_list->SetSelectItem(m_list->AddItem(name, id, kProfileIcon));
    m_chosenProfile = id;
    m_list->UpdateControl(1, 0);
    return 1;
}

LONG ProfileDlg::OnProfileListEvent(UINT code)
{
    if (!m_list) return 0;
    DeviceDataDB& db = Db();
    switch (code) {
        case 2: {
            const int id = m_list->GetCurData();
            m_chosenProfile = id;
            // A press beside every row selects nothing: no profile 0 becomes active.
            if (id > 0) db.SetActiveProfile(id);
            return 1;
        }
        case 9: {
            if (m_list->GetItemCount() < 2) return 0;
            const int row = m_list->GetSelectItem();
            if (row < 0 || row >= m_list->GetItemCount()) return 0;
            if (!db.DeleteProfile(m_list->GetItemData(row))) return 1;
            m_list->DeleteItem(row);
            m_list->SetSelectItem(row > 0 ? row - 1 : 0);
            m_chosenProfile = m_list->GetCurData();
            if (m_chosenProfile > 0) db.SetActiveProfile(m_chosenProfile);
            m_list->UpdateControl(1, 0);
            return 1;
        }
        case 29: {
            const int row = m_list->GetSelectItem();
            if (row < 0 || row >= m_list->GetItemCount()) return 0;
            const int id = m_list->GetItemData(row);
            const CString text = m_list->GetItemText(row);
            if (text.IsEmpty()) {
                CString stored;
                db.GetProfileName(id, stored);
                m_list->SetItemText(row, stored);
                return 0;
            }
            return db.RenameProfile(id, text) ? 1 : 0;
        }
        default: return 1;
    }
}
