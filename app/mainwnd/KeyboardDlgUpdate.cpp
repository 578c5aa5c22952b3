// KeyboardDlg: the software update (version check, download, unpacking and
// start of the installer) and the update progress dialog.
#include <cwctype>

#include "MControlFont.h"
#include "mainwnd/KeyboardDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/UpdateProcessDlg.h"
#include "services/AppEnvironment.h"
#include "services/SafePaths.h"
#include "services/update/HttpDownloader.h"
#include "services/zip/ZipReader.h"

namespace {

const wchar_t kNoAnswerVersion[] = L"1.0.2.0";

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Trimmed(const wchar_t* text)
{
    std::wstring value = text ? text : L"";
    size_t first = 0, last = value.size();
    while (first < last && iswspace(value[first])) ++first;
    while (last > first && iswspace(value[last - 1])) --last;
    return value.substr(first, last - first);
}

INT_PTR OpenWithShell(void*, const wchar_t* path)
{
    return reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOW));
}

int ShowBox(void*, HWND parent, const wchar_t* message, const wchar_t* title, int mode)
{
    return ShowMessageBox(parent, message, title, mode);
}

}  // namespace

bool IsVersionText(const std::wstring& text)
{
    // Dotted decimal numbers only: the text becomes part of a file name and an address.
    if (text.empty() || text.size() > 10) return false;
    bool digitBefore = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            digitBefore = true;
        } else if (c == L'.' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

int KeyboardDlg::AskUser(const wchar_t* message, const wchar_t* title, int mode)
{
    if (m_messageBox) return m_messageBox(m_messageBoxContext, GetSafeHwnd(), message, title, mode);
    return ShowBox(nullptr, GetSafeHwnd(), message, title, mode);
}

INT_PTR KeyboardDlg::OpenFile(const std::wstring& path)
{
    if (m_openFile) return m_openFile(m_openFileContext, path.c_str());
    return OpenWithShell(nullptr, path.c_str());
}

void KeyboardDlg::CheckSoftwareVersion()
{
    // Every check ends in a result the window shows (the device page's text,
    // and a message where the user asked): a newer version, up to date, or a
    // server that could not be reached.
    m_serverVersion.clear();
    std::wstring version;
    if (!m_upgradeUrl.empty()) {
        HttpDownloader downloader;
        CString body;
        downloader.GetText((m_upgradeUrl + L"version").c_str(), body);
        version = Trimmed(body);
    }
    // Anything but a short dotted version is no answer.
    if (!IsVersionText(version) || version == kNoAnswerVersion) {
        m_updateCheckResult = 3;
        ::PostMessageW(GetSafeHwnd(), KBM_VERSION_RESULT, 1, 3);
        return;
    }
    m_serverVersion = version;
    const int result = CompareVersions(m_softwareVersion.c_str(), version.c_str()) >= 1 ? 1 : 2;
    m_updateCheckResult = result;
    ::PostMessageW(GetSafeHwnd(), KBM_VERSION_RESULT, 1, result);
}

CString KeyboardDlg::UpdateCheckText()
{
    CString text;
    switch (m_updateCheckResult.load()) {
        case 1:
            text.Format(L"%s: v%s", static_cast<const wchar_t*>(LangText(520)),
                        m_serverVersion.c_str());
            break;
        case 2: text = LangText(531); break;
        case 3: text = LangText(523); break;
        default:
            // No check has ended yet: the installed version, nothing more.
            text.Format(L"%s: %s", static_cast<const wchar_t*>(LangText(517)),
                        m_softwareVersion.c_str());
            break;
    }
    return text;
}

void KeyboardDlg::ShowUpdateCheckText()
{
    if (auto* text = CtlAs<WEXA::MControlFont>(325)) text->SetTitle(UpdateCheckText());
}

void KeyboardDlg::DownloadSoftwareUpdate()
{
    // The version text names files and an address: only a checked one is used.
    if (!IsVersionText(m_serverVersion) || m_updateCancelled) return;
    const std::wstring name = L"Kestrova-" + m_serverVersion + L".zip";
    const std::wstring installer = L"Kestrova-" + m_serverVersion + L".exe";
    InstallPackage(m_upgradeUrl + L"//" + name, name, installer, &m_updateCancelled);
}

void KeyboardDlg::DownloadFirmwareTool()
{
    if (m_firmwareToolUrl.empty()) return;
    InstallPackage(m_firmwareToolUrl + L"Tarnwell.zip", L"Tarnwell.zip", L"Tarnwell.exe");
}

void KeyboardDlg::InstallPackage(const std::wstring& url, const std::wstring& packageName,
                                 const std::wstring& installerName,
                                 const std::atomic<bool>* cancelled)
{
    const std::wstring temp = GetDataFolder() + L"temp\\";
    CreateDirectoryTree(temp);
    const std::wstring package = temp + packageName;
    const std::wstring installer = temp + installerName;
    DeleteDataFile(package);
    const int result = m_downloader.DownloadFile(url.c_str(), package.c_str(), GetSafeHwnd());
    if (result != HttpDownloader::kDone || (cancelled && *cancelled)) {
        DeleteDataFile(package);
        return;
    }
    if (!FileExists(package)) return;
    // An installer from an archive that did not unpack completely is not
    // started: it may be cut short or not the one the package meant.
    DeleteDataFile(installer);
    const bool unpacked = UnzipAll(package.c_str(), temp.c_str());
    DeleteDataFile(package);
    if (!unpacked) {
        DeleteDataFile(installer);
        ::PostMessageW(GetSafeHwnd(), KBM_VERSION_RESULT, 2, 0);
        return;
    }
    if (!FileExists(installer)) return;
    // The program ends only when the installer really started.
    if (OpenFile(installer) > 32) {
        EndProcess();
        return;
    }
    ::PostMessageW(GetSafeHwnd(), KBM_VERSION_RESULT, 2, 0);
}

LONG KeyboardDlg::OnUpdateCheckResult(LONG_PTR result)
{
    ShowUpdateCheckText();
    if (result == 1) {
        // A second result while the question or the download is still open
        // (two checks close together) is not asked again: the open dialog's
        // object must not be replaced under its own modal loop.
        if (m_updateOffered) return 1;
        m_updateOffered = true;
        CString message;
        // The question stands on a line of its own, as a sentence of its own.
        message.Format(L"%s: v%s\n%s", static_cast<const wchar_t*>(LangText(520)),
                       m_serverVersion.c_str(), static_cast<const wchar_t*>(LangText(521)));
        if (AskUser(message, LangText(516), 4) == 1) {
            // The dialog is in place before the task is queued, so that the
            // task's end (or its drop by a flush) always finds the one to close.
            auto* dialog = new UpdateProcessDlg;
            SetUpdateDialog(dialog);
            m_updateCancelled = false;
            AppendTask(TASK_DOWNLOAD_UPDATE);
            if (dialog->DoModal(GetSafeHwnd()) == IDCANCEL) {
                // Closed by the user: the download stops where it is.
                m_updateCancelled = true;
                m_downloader.Stop();
            }
        }
        m_updateOffered = false;
    } else if (result == 2 || result == 3) {
        // Said only where the user asked: the settings page's button, with the
        // page still shown.
        WEXA::MControl* settings = Ctl(79);
        if (m_updateCheckAsked && settings && settings->IsVisible())
            AskUser(LangText(result == 2 ? 531 : 523), LangText(516), 0);
    }
    m_updateCheckAsked = false;
    return 1;
}

LONG KeyboardDlg::OnUpdateFailed()
{
    AskUser(LangText(522), LangText(516), 0);
    return 1;
}

void KeyboardDlg::ForwardDownloadProgress(int percent)
{
    // UI thread, under the dialog lock (the message handler holds it).
    if (m_updateDlg) m_updateDlg->SetProgress(percent);
}

void KeyboardDlg::SetUpdateDialog(UpdateProcessDlg* dialog)
{
    UpdateProcessDlg* old = nullptr;
    {
        CAutoLock hold(m_dialogLock);
        old = m_updateDlg;
        m_updateDlg = dialog;
    }
    delete old;
}

void KeyboardDlg::CloseUpdateDialog()
{
    CAutoLock hold(m_dialogLock);
    if (m_updateDlg) m_updateDlg->RequestClose(IDOK);
}
