#pragma once
// The frame delay dialog of the LCD page: a 300 x 200 modal window in which
// the user sets the display time of the selected frame (radio 33, field 36) or
// of every frame of the strip (radio 34, field 38). The caller sets the title
// and the frame's current delay before the window is created and reads the
// choice and both typed values after OK (modal result 1); the close button
// gives 2 and leaves them as they were. The dialog neither limits nor applies
// the values: the fields take up to three digits, also none.
#include <windows.h>

#include "CString.h"
#include "MDialog.h"

namespace WEXA {
class MText;
class CImageButton;
class CRadioButton;
class MEdit;
class MButton;
}  // namespace WEXA

class LCDDelayEditDlg : public WEXA::MDialog
{
public:
    LCDDelayEditDlg();
    ~LCDDelayEditDlg() override;

    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;

    // Copies both fields and the choice into the results and closes with OK.
    void AcceptValues();

    // Creates the window over parent (title "LCDDelayEditDlg"), centres it and
    // runs it modally; the modal result (1 OK, 2 cancel), -1 without a window.
    int Run(HWND parent);

    CString m_title;
    CString m_thisFrameValue;
    CString m_allFramesValue;
    bool m_allFrames;

    WEXA::MText* m_titleText;
    WEXA::CImageButton* m_closeButton;
    WEXA::CRadioButton* m_thisFrameRadio;
    WEXA::CRadioButton* m_allFramesRadio;
    WEXA::MEdit* m_thisFrameField;
    WEXA::MEdit* m_allFramesField;
    WEXA::MButton* m_okButton;
};

// The window name of the dialog.
inline constexpr const wchar_t* kDelayDialogWindowName = L"LCDDelayEditDlg";
