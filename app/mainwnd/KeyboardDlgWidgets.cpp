// KeyboardDlg: what the frame asks of its keyboard widgets (keyboard picture
// 58, key test 57) and the frame's modal dialogs.
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::ForwardDownloadProgress(int percent) {}

void KeyboardDlg::ClearKeyTest() {}

void KeyboardDlg::AddKeyTestKey(const wchar_t* name, int key) {}

void KeyboardDlg::RemoveKeyTestKey(int key) {}

void KeyboardDlg::EnableKeyboardTips(bool enable) {}

void KeyboardDlg::PrepareKeyboardForCustomKeys() {}

void KeyboardDlg::PrepareKeyboardForLighting() {}

void KeyboardDlg::RunProfileManager() {}

void KeyboardDlg::RunPictureDialog() {}
