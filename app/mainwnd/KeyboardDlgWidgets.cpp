// KeyboardDlg: what the frame asks of its keyboard widgets (keyboard picture
// 58, key test 57) and the frame's modal dialogs.
#include "CKeyTestCtrl.h"
#include "KeyboardCtrl.h"
#include "mainwnd/KeyboardDlg.h"
#include "dialogs/AboutVIPDlg.h"

void KeyboardDlg::ClearKeyTest()
{
    if (auto* keyTest = static_cast<WEXA::CKeyTestCtrl*>(Ctl(57))) keyTest->ClearList();
}

void KeyboardDlg::AddKeyTestKey(const wchar_t* name, int key)
{
    if (auto* keyTest = static_cast<WEXA::CKeyTestCtrl*>(Ctl(57))) keyTest->AddKey(name, key);
}

void KeyboardDlg::RemoveKeyTestKey(int key)
{
    if (auto* keyTest = static_cast<WEXA::CKeyTestCtrl*>(Ctl(57))) keyTest->RemoveKey(key);
}

void KeyboardDlg::EnableKeyboardTips(bool enable)
{
    if (auto* keyboard = static_cast<WEXA::KeyboardCtrl*>(Ctl(58))) keyboard->EnableKBTips(enable);
}

void KeyboardDlg::PrepareKeyboardForCustomKeys()
{
    auto* keyboard = static_cast<WEXA::KeyboardCtrl*>(Ctl(58));
    if (!keyboard) return;
    keyboard->SetKeyboardCtrlMode(101);
    keyboard->SetLightModeColor(0, m_keyColor);
    keyboard->EnableFrameSelect(0);
    keyboard->ResetAllItemCheck(0);
}

void KeyboardDlg::PrepareKeyboardForLighting()
{
    auto* keyboard = static_cast<WEXA::KeyboardCtrl*>(Ctl(58));
    if (!keyboard) return;
    keyboard->SetLightModeColor(0, m_keyColor);
    keyboard->SetKeyboardCtrlMode(m_lightMode < 128 ? 100 : 103);
    keyboard->ResetAllItemCheck(0);
}

void KeyboardDlg::RunPictureDialog()
{
    AboutVIPDlg dialog;
    if (!dialog.Create(GetSafeHwnd(), L"UpdateTipDlg", 0x96020000, 0, CRect(0, 0, 1400, 788)))
        return;
    dialog.CenterWindow(nullptr);
    dialog.ShowModal(SW_SHOW);
    if (IsWindow(dialog.GetSafeHwnd())) dialog.DestroyWindow();
}
