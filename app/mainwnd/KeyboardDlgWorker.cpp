// KeyboardDlg: the worker step (Run), the task table, the idle work and the
// runners of tasks 2 to 5.
#include <windows.h>
// (after windows.h)
#include <mmsystem.h>

#include "MTabCtrl.h"
#include "MatrixScreen.h"
#include "mainwnd/KeyboardDlg.h"

namespace {

bool IsAlwaysTask(int code)
{
    return code == TASK_INIT || code == TASK_DEVICE_ARRIVED || code == TASK_DEVICE_REMOVED ||
           code == TASK_DEVICE_SELECTED || code == TASK_CHECK_VERSION ||
           code == TASK_DOWNLOAD_UPDATE;
}

}  // namespace

void KeyboardDlg::Pause(DWORD milliseconds)
{
    if (m_pause)
        m_pause(m_pauseContext, milliseconds);
    else
        Sleep(milliseconds);
}

void KeyboardDlg::NotifyTask(int code, bool performed)
{
    if (m_taskObserver) m_taskObserver(m_taskObserverContext, code, performed);
}

KeyboardDlg::TaskAfter KeyboardDlg::AfterStepOf(int code)
{
    TaskAfter after;
    switch (code) {
        case TASK_APPLY_PROFILE:
        case TASK_LOAD_KEY_LAYER:
        case TASK_WRITE_KEY_FUNCTIONS:
        case TASK_UPLOAD_MACROS:
        case TASK_WRITE_USER_KEY_COLORS: after.closeWait = true; break;
        case TASK_FACTORY_RESET:
            after.closeWait = true;
            after.enableWindow = true;
            break;
        // The windows the LCD page waits in are closed once the task is
        // done or dropped, never left open. (The GIF import and export have
        // no runner yet.)
        case TASK_LCD_EXPORT_GIF:
        case TASK_LCD_IMPORT_GIF: after.closeLcdWait = true; break;
        case TASK_LCD_SEND: after.closeLcdSend = true; break;
        // Run, the download task closes its dialog itself; dropped, it has
        // this step only.
        case TASK_DOWNLOAD_UPDATE: after.updateDropped = true; break;
        default: break;
    }
    return after;
}

void KeyboardDlg::RunAfterSteps(const TaskAfter& after)
{
    // Never under the device-state lock: enabling the window sends to the UI thread.
    if (after.enableWindow) EnableWindow(1);
    if (after.closeWait) CloseWaitDialog();
    if (after.closeLcdWait) m_lcdWaitDlg.Close(IDOK);
    if (after.closeLcdSend) m_lcdSendDlg.Close(IDOK);
    if (after.updateDropped) {
        CloseUpdateDialog();
        ::PostMessageW(GetSafeHwnd(), KBM_VERSION_RESULT, 2, 0);
    }
}

KeyboardDlg::TaskAfter KeyboardDlg::TakeAllTasks()
{
    TaskAfter all;
    // The key writes of the dropped task 8s never reach the keyboard: the rows
    // their changes stored are put back.
    if (TakeBackKeyWrites(m_keyWrites.Clear())) ReportUnconfirmedWrite();
    for (int code : m_taskQueue.Clear()) {
        // So are the rows stored for the dropped writes.
        PendingWriter writer;
        if (PendingWriterOfTask(code, writer)) {
            std::vector<StoredBefore> dropped = m_pendingWrites.Take(writer);
            if (!dropped.empty()) TakeBackStoredWrites(writer, std::move(dropped));
        }
        TaskAfter after = AfterStepOf(code);
        all.closeWait |= after.closeWait;
        all.enableWindow |= after.enableWindow;
        all.closeLcdWait |= after.closeLcdWait;
        all.closeLcdSend |= after.closeLcdSend;
        all.updateDropped |= after.updateDropped;
        NotifyTask(code, false);
    }
    return all;
}

void KeyboardDlg::FlushTasks()
{
    RunAfterSteps(TakeAllTasks());
}

void KeyboardDlg::CloseWaitDialog()
{
    m_waitDlg.Close(IDOK);
}

void KeyboardDlg::Run()
{
    if (m_workerPaused.load()) return;
    int code = 0;
    if (m_taskQueue.TakeFront(code)) {
        RunTask(code);
        return;
    }
    IdleStep();
}

DWORD KeyboardDlg::IdleWaitMs()
{
    if (m_workerPaused.load() || m_devicePresent.load() || !m_taskQueue.IsEmpty()) return 0;
    return 1000;
}

void KeyboardDlg::RunTask(int code)
{
    if (code == TASK_DEVICE_ARRIVED || code == TASK_DEVICE_REMOVED) {
        // These pause and take the device-state lock themselves.
        Trd_DeviceChanged(code == TASK_DEVICE_ARRIVED ? "Trd_DeviceInstall \n"
                                                      : "Trd_DeviceUnInstall \n");
        if (m_devicePresent && m_deviceConnected) m_reopenSession = 1;
        NotifyTask(code, true);
        return;
    }
    if (code == TASK_CHECK_VERSION || code == TASK_DOWNLOAD_UPDATE) {
        // Network and file work: it uses no device state and may take long,
        // so it runs without the device-state lock.
        if (code == TASK_CHECK_VERSION) {
            CheckSoftwareVersion();
        } else {
            DownloadSoftwareUpdate();
            Pause(100);
            CloseUpdateDialog();
            Pause(100);
        }
        if (m_devicePresent && m_deviceConnected) m_reopenSession = 1;
        NotifyTask(code, true);
        return;
    }
    TaskAfter after = AfterStepOf(code);
    bool performed = false;
    {
        CAutoLock hold(m_deviceStateLock);
        // The rows the pages stored for this write so far: dropped once the
        // keyboard confirms it, put back when it does not.
        PendingWriter writer = PendingWriter::Light;
        const bool writes = PendingWriterOfTask(code, writer);
        std::vector<StoredBefore> stored;
        if (writes) stored = m_pendingWrites.Take(writer);
        bool confirmed = true;
        if (IsAlwaysTask(code)) {
            performed = true;
            switch (code) {
                case TASK_INIT: InitRuntime(); break;
                case TASK_DEVICE_SELECTED: ReloadDevice(); break;
                default: break;
            }
        } else if (m_devicePresent && m_deviceConnected) {
            performed = true;
            switch (code) {
                case TASK_RELOAD_PROFILES: ReloadProfiles(); break;
                case TASK_APPLY_PROFILE: ApplyProfileToDevice(); break;
                case TASK_LOAD_KEY_LAYER: LoadKeyAssignments(m_currentProfile); break;
                case TASK_WRITE_KEY_FUNCTIONS: SetKeyMacroData(); break;
                case TASK_UPLOAD_MACROS: confirmed = UploadMacros(); break;
                case TASK_WRITE_USER_LIGHT_MODE: confirmed = SendUserLightMode(); break;
                case TASK_WRITE_LIGHT_MODE:
                case 19: confirmed = SendLightMode(); break;
                case TASK_WRITE_MATRIX_MODE: confirmed = SendMatrixMode(); break;
                case TASK_READ_MATRIX_COLORS: ReadMatrixColors(); break;
                case TASK_WRITE_MATRIX_COLORS: WriteMatrixColors(); break;
                case TASK_WRITE_PERFORMANCE: confirmed = SendPerformanceSettings(); break;
                case TASK_READ_USER_KEY_COLORS: ReadUserKeyColors(); break;
                case TASK_WRITE_USER_KEY_COLORS: confirmed = WriteUserKeyColors(); break;
                case TASK_FACTORY_RESET: FactoryReset(); break;
                case TASK_START_EFFECT_STREAM: StartEffectStream(); break;
                case TASK_DOWNLOAD_FIRMWARE_TOOL: DownloadFirmwareTool(); break;
                case TASK_LCD_SEND:
                    if (!SendLcdToKeyboard()) ReportUnconfirmedWrite();
                    break;
                default: break;  // codes without a runner are taken and ignored
            }
        }
        // A write the keyboard did not confirm is reported even when it carried
        // nothing newly stored; a dropped one only when it puts something back.
        if (writes && performed && !confirmed)
            TakeBackStoredWrites(writer, std::move(stored));
        else if (writes && !performed && !stored.empty())
            TakeBackStoredWrites(writer, std::move(stored));
        if (!performed && code == TASK_WRITE_KEY_FUNCTIONS) {
            // No keyboard took the key's change: it is taken back.
            KeyWriteRequest request;
            if (m_keyWrites.Pop(request) && TakeBackKeyWrites({request})) ReportUnconfirmedWrite();
        }
        if (m_devicePresent && m_deviceConnected) m_reopenSession = 1;
    }
    // A dropped task closes its wait and gives the window back too, or the
    // dialog would wait for ever.
    RunAfterSteps(after);
    if (performed && after.closeWait) Pause(100);
    NotifyTask(code, performed);
}

void KeyboardDlg::IdleStep()
{
    if (!m_devicePresent) return;
    CAutoLock hold(m_deviceStateLock);
    timeBeginPeriod(1);
    WEXA::MControl* home = Ctl(69);
    bool homeShown = home && home->IsVisible();
    bool stream = true;
    if (m_currentPage == 1) {
        if (IsWindowVisible() && m_liveKeyColors) ReadLiveKeyColors();
    } else if (!m_deviceConnected) {
        stream = false;
    } else if (m_effectStreaming && !homeShown) {
        StreamEffectColors();
    }
    if (stream && m_deviceConnected && m_matrixStreaming && !homeShown) {
        // The window's tick steps the matrix preview only while its page is
        // shown; off that page the worker steps it, so that the keyboard's
        // screen goes on as it did.
        WEXA::MatrixScreen* screen = CtlAs<WEXA::MatrixScreen>(277);
        if (screen && !screen->IsShown()) screen->OnTimer();
        SendMatrixFrame();
    }
    timeEndPeriod(1);
    PollDeviceNotify();
}

// A keyboard came or went: the queued tasks are dropped, the device list is
// scanned again and the selected keyboard connected. `trace` names the change
// in the debug output.
void KeyboardDlg::Trd_DeviceChanged(const char* trace)
{
    Pause(200);
    TaskAfter after;
    {
        CAutoLock hold(m_deviceStateLock);
        after = TakeAllTasks();
        if (m_changedDeviceType == m_deviceType) SelectMainTab(0);
        OutputDebugStringA(trace);
        m_effectStreamStarted = false;  // a keyboard that came or went starts its stream anew
        ScanDevices();
        ConnectSelectedDevice();
    }
    RunAfterSteps(after);
}

void KeyboardDlg::ReloadDevice()
{
    CAutoLock hold(m_deviceStateLock);
    m_effectStreamStarted = false;
    ScanDevices();
    ConnectSelectedDevice();
    ReloadProfiles();
}

void KeyboardDlg::ReloadProfiles()
{
    CAutoLock hold(m_deviceStateLock);
    LoadProfiles();
    if (m_currentPage == 1 && m_lightMode >= 128) OnLightModeSelect(2);
}
