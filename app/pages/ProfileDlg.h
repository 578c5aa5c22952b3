#pragma once
// The profile manager: the window in which the user sees the keyboard model's
// profiles, adds, deletes and renames them and picks the one to use. Every
// action changes the database at once; the dialog sends nothing to the
// keyboard. Confirming hands back the selected row's profile (ChosenProfile);
// the main window makes it current and writes it to the keyboard.
//
// The main window runs it modally over itself (window name "UpdateTipDlg",
// 800 x 600); the keyboard picture it is given supplies the keys of the
// default key rows of a new profile.
#include <windows.h>

#include "CRect.h"
#include "MDialog.h"

namespace WEXA {
class KeyboardCtrl;
class ProfileList;
class CArea;
class MText;
class CImageButton;
class CIconButton;
class MButton;
}  // namespace WEXA

class ProfileDlg : public WEXA::MDialog
{
public:
    // Control ids.
    enum : UINT {
        kTitleBandId = 31,
        kTitleId = 32,
        kCloseId = 33,
        kAddId = 34,
        kListId = 35,
        kCancelId = 36,
        kConfirmId = 37,
    };

    explicit ProfileDlg(WEXA::KeyboardCtrl* picture);
    ~ProfileDlg() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;

    // Fills the list from the database (three default profiles in an empty one)
    // and chooses the active profile.
    void LoadProfiles();
    // Adds a profile and makes it the chosen and active one; 0 when refused.
    LONG OnProfileAdd();
    // 2 choose, 9 delete, 29 end of a rename; 0 when nothing was done.
    LONG OnProfileListEvent(UINT code);

    int ChosenProfile() const { return m_chosenProfile; }
    WEXA::ProfileList* List() const { return m_list; }

    int m_chosenProfile;
    WEXA::CArea* m_titleBand;
    WEXA::MText* m_title;
    WEXA::CImageButton* m_closeButton;
    WEXA::CIconButton* m_addButton;
    WEXA::ProfileList* m_list;
    WEXA::MButton* m_cancelButton;
    WEXA::MButton* m_confirmButton;
    WEXA::KeyboardCtrl* m_picture;
};

inline constexpr const wchar_t* kProfileDlgWindowName = L"UpdateTipDlg";
