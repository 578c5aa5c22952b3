// KeyboardDlg: the device routines the worker's tasks run and the idle streams.
// Each talks to the keyboard through HidDeviceManager; until a routine is
// built it sends nothing.
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::LoadProfiles()
{
    LoadMacroPage();
}

void KeyboardDlg::ApplyProfileToDevice() {}

void KeyboardDlg::FactoryReset() {}

void KeyboardDlg::CheckSoftwareVersion() {}

void KeyboardDlg::DownloadSoftwareUpdate() {}

void KeyboardDlg::DownloadFirmwareTool() {}

void KeyboardDlg::StreamEffectColors() {}
