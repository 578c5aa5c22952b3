// KeyboardDlg: construction, destruction, ShowMainWindow and Shutdown.
#include "mainwnd/KeyboardDlg.h"
#include "dialogs/UpdateProcessDlg.h"
#include "services/input/InputHookManager.h"

#include "Manager.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"
#include "services/input/RawInput.h"

std::wstring GetSkinPath()
{
    return GetExeFolder() + L"skins\\" + (const wchar_t*)WEXA::Manager::GetThemeSkins();
}

KeyboardDlg::KeyboardDlg()
{
    ZeroMemory(&m_trayIcon, sizeof(m_trayIcon));
    m_trayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    m_taskQueue.SetWake([](void* self) { static_cast<KeyboardDlg*>(self)->Wake(); }, this);
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
    StopKeyTestInput();
    SetUpdateDialog(nullptr);
}

void KeyboardDlg::StopKeyTestInput()
{
    // The registration is the process's and outlives the window it names.
    if (m_keyTestInput) UnregisterRawInput();
    m_keyTestInput.reset();
}

void KeyboardDlg::StopWorker()
{
    CThreadBasic::m_running = 0;
    if (IsWorkerThread()) return;  // a step cannot wait for itself; its loop ends
    HWND window = GetSafeHwnd();
    if (window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        // The worker may be sending to this thread (enabling the window after a
        // dropped reset, a tab change): its messages are let in while we wait,
        // or neither thread would ever go on.
        while (!Join(0)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        return;
    }
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
    // A minimised start (autorun) creates the window hidden, so it never shows
    // in full first: a window shown and minimised straight after may be
    // restored by a desktop that maps it late.
    DWORD style = 0x96020000;
    if (showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
        showCommand == SW_SHOWMINNOACTIVE)
        style &= ~WS_VISIBLE;
    if (!Create(nullptr, WEXA::Manager::GetDeviceName(), style, 0, CRect(0, 0, 1400, 788)))
        return UINT(-1);
    CenterWindow(nullptr);
    return ShowModal(showCommand);
}

int KeyboardDlg::Shutdown()
{
    StopWorker();
    StopCapture();
    RemoveTrayIcon();
    StopKeyTestInput();
    SetUpdateDialog(nullptr);
    m_deviceModes.clear();
    m_keyboards.clear();
    return DestroyWindow();
}
