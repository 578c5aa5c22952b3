// KeyboardDlg: the device routines the worker's tasks run and the idle streams.
// Each talks to the keyboard through HidDeviceManager; until a routine is
// built it sends nothing.
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::BuildKeyFunctionList() {}

void KeyboardDlg::LoadProfiles() {}

void KeyboardDlg::ApplyProfileToDevice() {}

void KeyboardDlg::LoadKeyAssignments(int profile) {}

void KeyboardDlg::SetKeyMacroData() {}

void KeyboardDlg::UploadMacros() {}

void KeyboardDlg::SendUserLightMode() {}

void KeyboardDlg::SendLightMode() {}

void KeyboardDlg::SendMatrixMode() {}

void KeyboardDlg::ReadMatrixColors() {}

void KeyboardDlg::WriteMatrixColors() {}

void KeyboardDlg::SendPerformanceSettings() {}

void KeyboardDlg::ReadUserKeyColors() {}

void KeyboardDlg::WriteUserKeyColors() {}

void KeyboardDlg::FactoryReset() {}

void KeyboardDlg::StartEffectStream() {}

void KeyboardDlg::CheckSoftwareVersion() {}

void KeyboardDlg::DownloadSoftwareUpdate() {}

void KeyboardDlg::DownloadFirmwareTool() {}

void KeyboardDlg::ReadLiveKeyColors() {}

void KeyboardDlg::StreamEffectColors() {}

void KeyboardDlg::SendMatrixFrame() {}
