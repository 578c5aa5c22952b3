#pragma once
// The program's own modal message box: a 500 x 260 skinned window with a title
// line, a centred message of several lines and one button (mode 0, text 20,
// result 1) or two (mode 4, texts 23 and 25, results 1 and 2). Any other mode
// shows the single button of mode 0, so the box can always be answered.
//
// ShowMessageBox builds one, runs it modally over a window and returns how it
// ended: 1 first button, 2 second button (or the close request with 2 that
// the exit sequence posts to windows named "MessageBox"), -1 when the window
// could not be created. Only 1 counts as consent: test `== 1`, never
// "non-zero".
#include <windows.h>

#include "CString.h"
#include "MDialog.h"

class CUIMessageBox : public WEXA::MDialog
{
public:
    CUIMessageBox();
    ~CUIMessageBox() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnDestroy() override;

    // The button layout of a mode: 4 two buttons, every other value one.
    static bool HasTwoButtons(int buttonMode) { return buttonMode == 4; }

    CString m_title;
    CString m_message;
    int m_buttonMode;  // 0 one button, 4 two buttons
};

// Window name of the message box (the exit sequence closes it by this name).
inline constexpr const wchar_t* kMessageBoxWindowName = L"MessageBox";

// Runs a message box over parent (null text: empty) and returns 1 or 2 as
// above, -1 when its window could not be created. UI thread.
int ShowMessageBox(HWND parent, const wchar_t* message, const wchar_t* title, int buttonMode);

// True only for the result of the first button.
inline bool IsConfirmed(int messageBoxResult)
{
    return messageBoxResult == 1;
}
