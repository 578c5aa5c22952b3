// KeyboardDlg: window messages, the tray icon, the skin menu and the exits.
#include <windows.h>
// (windows.h first: the device-change header needs its types)
#include <commdlg.h>
#include <dbt.h>

#include <memory>

#include "MPicture.h"
#include "MRender.h"
#include "mainwnd/KeyboardDlg.h"
#include "dialogs/UpdateProcessDlg.h"
#include "services/AppEnvironment.h"

using namespace WEXA;

namespace {

bool FileExists(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool IsReadablePicture(const wchar_t* path)
{
    if (!path || !FileExists(path)) return false;
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(path));
    return image && image->GetLastStatus() == Gdiplus::Ok && image->GetWidth() > 0 &&
           image->GetHeight() > 0;
}

bool KeyboardDlg::ChooseBackgroundFile(bool home, std::wstring& path)
{
    if (m_fileChooser) return m_fileChooser(m_fileChooserContext, GetSafeHwnd(), false, path);
    wchar_t file[260] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetSafeHwnd();
    dialog.lpstrFile = file;
    dialog.nMaxFile = 260;
    dialog.nFilterIndex = 1;
    dialog.lpstrFilter =
        home ? L"Image Files (*.jpg;*.jpeg;*.png;*.gif)\0**.jpg;*.jpeg;*.png;*.gif\0"
             : L"Image Files (*.jpg;*.jpeg;*.png)\0**.jpg;*.jpeg;*.png\0";
    if (!GetOpenFileNameW(&dialog) || !file[0]) return false;
    path = file;
    return true;
}

LONG KeyboardDlg::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    switch (msg) {
        case WM_DEVICECHANGE: {
            auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
            if ((wparam == DBT_DEVICEARRIVAL || wparam == DBT_DEVICEREMOVECOMPLETE) && header &&
                header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
                UpdateUSBDevice(reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lparam),
                                wparam);
            return 0;
        }
        case WM_POWERBROADCAST: return OnPowerBroadcast(wparam);
        case WM_INPUT:
            OnKeyTestInput(reinterpret_cast<HRAWINPUT>(lparam));
            return MDialog::OnWindowMessage(msg, wparam, lparam);
        case WM_COMMAND:
            // Only the tray menu's item: a menu command (high word 0) from no control.
            if (wparam == 100 && lparam == 0) {
                CloseSecondaryWindows();
                RemoveTrayIcon();
                EndProcess();
                return 0;
            }
            break;
        case WM_ENDSESSION:
            // The session ends and the process with it: the worker stops
            // talking to the keyboard and the tray icon goes first.
            if (wparam) {
                StopWorker();
                RemoveTrayIcon();
            }
            break;
        case KBM_DOWNLOAD_PROGRESS: {
            CAutoLock hold(m_dialogLock);
            // A late report must not reach a dialog whose window is gone.
            if (m_updateDlg && IsWindow(m_updateDlg->GetSafeHwnd()))
                ForwardDownloadProgress(int(lparam));
            return 1;
        }
        case KBM_TRAY: return OnTrayNotify(UINT(lparam));
        case KBM_EXIT_REQUEST: return OnExitRequest(lparam);
        case KBM_HOOK_KEY: return OnMacroHookKey(wparam, lparam);
        case KBM_HOOK_MOUSE: return OnMacroHookMouse(wparam, lparam);
        case KBM_VERSION_RESULT:
            // wParam 1: the check's result; 2: an update that could not be installed.
            if (wparam == 1) return OnUpdateCheckResult(lparam);
            if (wparam == 2) return OnUpdateFailed();
            return 1;
        case KBM_SKIN_MENU: return OnSkinMenuCommand(lparam);
        case KBM_MACRO_INSERT_MENU: return OnMacroInsertCommand(lparam);
        case KBM_MACRO_RECORD_MENU: return OnMacroRecordMenuCommand(lparam);
        case KBM_DEVICE_NOTIFY: return OnDeviceNotify(lparam);
        case KBM_SELECT_MAIN_TAB: return OnMainTabRequest(int(wparam), lparam);
        case KBM_PROFILE_MENU: return OnProfileMenuCommand(lparam);
        case KBM_CANVAS_MENU: OnKeyFunctionMenuCommand(wparam); return 1;
        case KBM_LANGUAGE_CHANGED: ApplyLanguage(); break;
        case KBM_DRAG_OVER: return OnDragOverNotify(lparam);
        case KBM_DROP: return 1;
        case KBM_WRITE_NOT_CONFIRMED: return OnUnconfirmedWrite();
        case KBM_DATABASE_UNREADABLE: AskUser(LangText(72), LangText(533), 0); return 1;
        default: break;
    }
    return MDialog::OnWindowMessage(msg, wparam, lparam);
}

LONG KeyboardDlg::OnTrayNotify(UINT mouseMessage)
{
    HWND window = GetSafeHwnd();
    if (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_LBUTTONDBLCLK) {
        SetForegroundWindow(window);
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow(window);
        BringWindowToTop(window);
    } else if (mouseMessage == WM_RBUTTONUP) {
        HMENU menu = CreatePopupMenu();
        if (!menu) return 0;
        CString text = LangText(11);
        AppendMenuW(menu, MF_STRING, 100, text);
        POINT at = {};
        GetCursorPos(&at);
        SetForegroundWindow(window);
        TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
        DestroyMenu(menu);
    }
    return 0;
}

LONG KeyboardDlg::OnCloseButton()
{
    if (RegInt(L"exit_mode") == 1) {
        ShowWindow(SW_HIDE);
        return 1;
    }
    RemoveTrayIcon();
    EndProcess();
    return 1;
}

LONG KeyboardDlg::OnExitRequest(LONG_PTR code)
{
    if (code != 610) return 0;
    RemoveTrayIcon();
    EndProcess();
    return 1;
}

LONG KeyboardDlg::OnPowerBroadcast(UINT_PTR event)
{
    if (event == PBT_APMSUSPEND)
        m_workerPaused = 1;
    else if (event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMEAUTOMATIC)
        m_workerPaused = 0;
    return 1;
}

LONG KeyboardDlg::OnDeviceNotify(LONG_PTR online)
{
    AppendTask(online == 1 ? TASK_DEVICE_ARRIVED : TASK_DEVICE_REMOVED);
    return 1;
}

LONG KeyboardDlg::OnSkinMenuCommand(LONG_PTR command)
{
    std::wstring skins = GetExeFolder() + L"skins\\theme1\\";
    if (command == 100) {
        bool home = m_currentPage == 0;
        std::wstring chosen;
        if (!ChooseBackgroundFile(home, chosen) || chosen.empty() || !FileExists(chosen.c_str()))
            return 0;
        const wchar_t* file = chosen.c_str();
        // A picture that does not load (a damaged file, or no picture at all)
        // would leave a plain white window: the background stays as it was and
        // the user is told which file could not be read.
        if (!IsReadablePicture(file)) {
            AskUser(LangText(78) + L"\n" + chosen.c_str(), LangText(7), 0);
            return 0;
        }
        if (home) {
            RegWriteString(L"theme_bkg_gif", file);
            if (auto* gif = static_cast<CGifPicture*>(Ctl(31))) gif->SetImageFile(file);
        } else {
            RegWriteString(L"theme_bkg", file);
            m_pageBackgroundRead = true;
            if (auto* picture = static_cast<MPicture*>(Ctl(30))) picture->SetImageFile(file);
        }
    } else if (command == 101) {
        RegWriteString(L"theme_bkg", L"");
        RegWriteString(L"theme_bkg_gif", L"");
        m_pageBackgroundRead = true;
        if (auto* picture = static_cast<MPicture*>(Ctl(30)))
            picture->SetImageFile((skins + L"main_bkg.png").c_str());
        if (auto* gif = static_cast<CGifPicture*>(Ctl(31)))
            gif->SetImageFile((skins + L"home_bg.gif").c_str());
    } else {
        return 1;
    }
    m_pm.RefreshControls();
    InvalidateRect(GetClientRectCache(), 0);
    m_pm.RefreshControls();
    return 1;
}

void KeyboardDlg::CloseSecondaryWindows()
{
    struct Rule
    {
        const char* title;
        int action;  // 0 post WM_CLOSE, 1 post WM_CLOSE with result 2, 2 hide
    };
    static const Rule rules[] = {
        {"CloseWindowTipDlg", 0},  {"CustomKeyDKSDlg", 0},    {"CustomKeyDKSTipsDlg", 0},
        {"CustomKeyStrokeDlg", 0}, {"StrokeCheckDlg", 0},     {"StrokeTestDlg", 0},
        {"CustomKeyDlg", 0},       {"MessageBox", 1},         {"WaitDlg", 0},
        {"Menu Window", 0},        {"KeyboardTip Window", 2}, {"ComboWnd", 2},
        {"SystemSettingDlg", 0},   {"UpdateTipDlg", 0},
    };
    for (const Rule& rule : rules) {
        HWND window = FindWindowA("PavexWindow", rule.title);
        if (!window) continue;
        // Posted, never sent: the worker closes them while it holds the
        // device-state lock, and the windows' thread may be waiting for it.
        if (rule.action == 2)
            ::ShowWindowAsync(window, SW_HIDE);
        else
            ::PostMessageW(window, WM_CLOSE, rule.action == 1 ? 2 : 0, 0);
    }
}

BOOL KeyboardDlg::RemoveTrayIcon()
{
    if (!m_trayAdded) return 1;
    m_trayAdded = false;
    m_trayIcon.hIcon = nullptr;
    return Shell_NotifyIconW(NIM_DELETE, &m_trayIcon);
}

void KeyboardDlg::EndProcess()
{
    // The worker is joined first: the process must not end while it is half-way
    // through a command to the keyboard or holds the device-state lock.
    StopWorker();
    if (m_endProcess) {
        m_endProcess(m_endProcessContext);
        return;
    }
    ExitProcess(0);
}
