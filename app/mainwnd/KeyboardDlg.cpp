// KeyboardDlg: construction, destruction, ShowMainWindow and Shutdown.
#include "mainwnd/KeyboardDlg.h"
#include "services/input/InputHookManager.h"

#include "Manager.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

std::wstring GetSkinPath()
{
    return GetExeFolder() + L"skins\\" + (const wchar_t*)WEXA::Manager::GetThemeSkins();
}

KeyboardDlg::KeyboardDlg()
{
    ZeroMemory(&m_trayIcon, sizeof(m_trayIcon));
    m_trayIcon.cbSize = sizeof(NOTIFYICONDATAW);
}

KeyboardDlg::~KeyboardDlg()
{
    // The worker calls into this object: it ends before any member goes.
    StopWorker();
    InputHookManager::Destroy(m_macroHooks);  // a recording still running
    if (DeviceDataDB* db = DeviceDataDB::Instance()) {
        CAutoLock hold(m_deviceStateLock);
        if (db->IsOpened()) db->CloseDevice();
    }
    RemoveTrayIcon();
    if (m_trayIconHandle) DestroyIcon(m_trayIconHandle);
    m_trayIconHandle = nullptr;
    StopCapture();
    m_visualizer.Stop();
    m_keyTestInput.reset();
}

void KeyboardDlg::StopWorker()
{
    Stop(INFINITE);
}

HWND KeyboardDlg::CreateMainWindow(int showCommand)
{
    HWND window =
        Create(nullptr, WEXA::Manager::GetDeviceName(), 0x96020000, 0, CRect(0, 0, 1400, 788));
    if (!window) return nullptr;
    CenterWindow(nullptr);
    ShowWindow(showCommand);
    return window;
}

UINT KeyboardDlg::ShowMainWindow(int showCommand)
{
    if (!Create(nullptr, WEXA::Manager::GetDeviceName(), 0x96020000, 0, CRect(0, 0, 1400, 788)))
        return UINT(-1);
    CenterWindow(nullptr);
    return ShowModal(showCommand);
}

int KeyboardDlg::Shutdown()
{
    StopWorker();
    StopCapture();
    RemoveTrayIcon();
    m_deviceModes.clear();
    m_keyboards.clear();
    return DestroyWindow();
}
