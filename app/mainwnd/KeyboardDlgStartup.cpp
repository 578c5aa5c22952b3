// KeyboardDlg: the window's start-up (OnInitDialog, InitMainWindow) and task 1.
#include <windows.h>
// (after windows.h)
#include <imm.h>

#include "MRender.h"
#include "Manager.h"
#include "NimbrelEffect.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/LanguageText.h"
#include "services/hid/HidDeviceManager.h"

namespace {

const wchar_t kUpdateServer[] = L"https://update.example.com/kestrova/software-upgrade/";

}  // namespace

int KeyboardDlg::OnInitDialog()
{
    // Before any control exists: the texts of Chinese need a face with their characters.
    UseFontForLanguage(CurrentLanguageId.load());
    WEXA::MDialog::OnInitDialog();
    InitMainWindow();
    SetMTimer(16);
    if (!IsRunning()) Start(16, 1);
    m_upgradeUrl = kUpdateServer;
    AppendTask(TASK_INIT);
    AppendTask(TASK_CHECK_VERSION);
    return 1;
}

void KeyboardDlg::InitMainWindow()
{
    HWND window = GetSafeHwnd();
    CString name = WEXA::Manager::GetDeviceName();
    SetPropW(window, name, reinterpret_cast<HANDLE>(1));

    // The tray icon counts as added when the shell took it, with or without a
    // picture: a missing icon file must not leave an icon that nothing deletes.
    std::wstring iconPath = GetSkinPath() + L"DeviceDriver.ico";
    m_trayIconHandle = WEXA::MRender::LoadIconFromFile(iconPath.c_str());
    m_trayIcon.hWnd = window;
    m_trayIcon.uID = 109;
    m_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_trayIcon.uCallbackMessage = KBM_TRAY;
    m_trayIcon.hIcon = m_trayIconHandle;
    lstrcpynW(m_trayIcon.szTip, name, int(sizeof(m_trayIcon.szTip) / sizeof(wchar_t)));
    m_trayAdded = Shell_NotifyIconW(NIM_ADD, &m_trayIcon) != FALSE;

    SetIcon(107);

    if (HIMC context = ImmGetContext(window)) {
        ImmSetOpenStatus(context, FALSE);
        ImmReleaseContext(window, context);
    }
    ImmAssociateContext(window, nullptr);

    BuildKeyFunctionList();
    LoadDeviceConfig();
    HidDeviceManager::Instance().m_hNotifyWnd = window;
}

void KeyboardDlg::InitRuntime()
{
    if (m_runtimeStarted.exchange(true)) return;
    ScanDevices();
    ConnectSelectedDevice();
    WEXA::NimbrelEffect* panel = CtlAs<WEXA::NimbrelEffect>(59);
    if (panel) panel->Initialize();
    m_visualizer.Reset();
    m_visualizer.Start();
    m_visualizer.SetActive(false);
    StartCapture();
    // The music light layers hear the capture from its next step on.
    m_effectAudio.Attach(panel);
    SetEffect(panel ? &m_effectAudio : nullptr);
    SetVisualizer(&m_visualizer);
}
