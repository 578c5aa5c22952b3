#include "pages/ProfileRows.h"

#include <cwchar>

#include "KeyboardCtrl.h"
#include "services/db/DeviceDataDB.h"

namespace {

bool StartsWith(const wchar_t* text, const wchar_t* prefix, size_t& length)
{
    length = wcslen(prefix);
    return wcsncmp(text, prefix, length) == 0;
}

}  // namespace

CString ShownProfileName(const wchar_t* stored, const wchar_t* profileText, const wchar_t* ownText)
{
    if (!stored) return CString();
    size_t length = 0;
    if (StartsWith(stored, L"Profile", length) ||
        StartsWith(stored, L"\x914D\x7F6E\x6587\x4EF6", length))
        return CString(profileText) + (stored + length);
    if (StartsWith(stored, L"\x6211\x7684\x5C08\x5C6C\x914D\x5BD8", length))
        return CString(ownText) + (stored + length);
    return CString(stored);
}

CString MakeUniqueName(const wchar_t* base, const std::vector<CString>& shownNames)
{
    CString candidate;
    for (int n = 1;; ++n) {
        candidate.Format(L"%s %d", base ? base : L"", n);
        if (n >= 1000) return candidate;
        bool taken = false;
        for (const CString& name : shownNames) {
            if (name == candidate) {
                taken = true;
                break;
            }
        }
        if (!taken) return candidate;
    }
}

std::vector<KeyMacroData> DefaultKeyRows(int profile, const std::vector<WEXA::KEY_INFO*>& keys)
{
    std::vector<KeyMacroData> rows;
    for (const WEXA::KEY_INFO* key : keys) {
        if (!key) continue;
        for (int layer = 0; layer < 4; ++layer) {
            KeyMacroData row;
            row.profile = profile;
            row.fn_layer = layer;
            row.key_code = key->nKeyCode;
            row.layout_value = key->nKeyCode;
            row.layout_desc = key->strDesc;
            row.macro_type = 2;
            row.macro_value = layer == 0 ? key->nKeyCode : 0;
            row.macro_desc = layer == 0 ? key->strDesc : CString();
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<KeyMacroData> PictureDefaultKeyRows(int profile, WEXA::KeyboardCtrl* picture)
{
    if (!picture) return {};
    picture->EnterCriSec();
    std::vector<KeyMacroData> rows = DefaultKeyRows(profile, picture->GetKeyItems());
    picture->LeaveCriSec();
    return rows;
}

void CreateDefaultKeyRows(DeviceDataDB& db, int profile, WEXA::KeyboardCtrl* picture)
{
    if (!picture || db.CountKeyMacros(profile) > 0) return;
    std::vector<KeyMacroData> rows = PictureDefaultKeyRows(profile, picture);
    if (!rows.empty()) db.InsertKeyMacros(rows);
}

ProfileData NewProfileRecord(const wchar_t* name)
{
    ProfileData record;
    record.name = name ? name : L"";
    record.icon_image = kProfileIcon;
    return record;
}
