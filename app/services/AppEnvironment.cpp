#include "services/AppEnvironment.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <mutex>

#include "Manager.h"
#include "services/LanguageText.h"
#include "services/SafePaths.h"
#include "services/TraceLog.h"
#include "services/xml/XmlDocument.h"

namespace {

std::mutex g_languagesLock;
std::vector<int> g_supportedLanguages;

// Decimal value as the C runtime reads it: leading blanks, a sign, digits.
int DecimalOf(const std::wstring& text)
{
    return _wtoi(text.c_str());
}

}  // namespace

int GetCurrentLanguageId()
{
    return CurrentLanguageId.load();
}

void SetCurrentLanguageId(int id)
{
    CurrentLanguageId.store(id);
}

std::vector<int> GetSupportedLanguageIds()
{
    std::lock_guard<std::mutex> hold(g_languagesLock);
    return g_supportedLanguages;
}

void SetSupportedLanguageIds(const std::vector<int>& ids)
{
    std::lock_guard<std::mutex> hold(g_languagesLock);
    g_supportedLanguages = ids;
}

bool IsSupportedLanguage(int id)
{
    std::lock_guard<std::mutex> hold(g_languagesLock);
    return std::find(g_supportedLanguages.begin(), g_supportedLanguages.end(), id) !=
           g_supportedLanguages.end();
}

// ---- config.xml ------------------------------------------------------------------

void LoadAppConfig(const wchar_t* path)
{
    SetSupportedLanguageIds({});
    std::wstring file = path ? std::wstring(path) : GetModuleFolderAnsi() + L"\\config.xml";
    XmlDocument doc;
    if (!doc.Load(file.c_str())) return;
    if (!doc.FindElement(L"config") || !doc.EnterElement()) return;
    // "software" is looked for among the elements after "language.info" (all of
    // them when there is none), so the search goes on from where it stands.
    if (doc.FindElement(L"language.info")) {
        SetCurrentLanguageId(DecimalOf(doc.GetAttribute(L"default_lan")));
        std::vector<int> ids;
        if (doc.EnterElement()) {
            while (doc.FindElement(L"lan")) ids.push_back(DecimalOf(doc.GetAttribute(L"value")));
            doc.LeaveElement();
        }
        SetSupportedLanguageIds(ids);
    }
    if (doc.FindElement(L"software")) {
        // The name becomes a registry key and a folder name: one that is no
        // plain file name is not used, and the name stays as it was (the
        // library's own), as without a name.
        std::wstring name = doc.GetAttribute(L"name");
        if (IsPlainFileName(name))
            WEXA::Manager::SetDeviceName(name.c_str());
        else
            TraceLog(1, "config.xml: software name \"%ls\" is no plain file name; not used",
                     name.c_str());
    }
}

// ---- language choice ----------------------------------------------------------------

std::wstring SoftwareRegistryKey()
{
    return std::wstring(L"SOFTWARE\\") + (const wchar_t*)WEXA::Manager::GetDeviceName();
}

int LoadLanguageId()
{
    std::wstring keyName = SoftwareRegistryKey();
    HKEY key = nullptr;
    LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return 2052;
        RegCloseKey(key);
        return 0;
    }
    if (opened != ERROR_SUCCESS) return 2052;
    wchar_t buffer[256] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    RegQueryValueExW(key, L"LCID", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    buffer[255] = 0;
    return _wtoi(buffer);
}

void SaveLanguageId(int id)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SoftwareRegistryKey().c_str(), 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    wchar_t text[16];
    swprintf(text, 16, L"%d", id);
    RegSetValueExW(key, L"LCID", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   DWORD((wcslen(text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void ChooseLanguageWith(int systemLanguage)
{
    int id = LoadLanguageId();
    if (id == 0) {
        id = systemLanguage;
        if (IsSupportedLanguage(id)) SaveLanguageId(id);
    }
    if (!IsSupportedLanguage(id)) {
        id = 1033;
        SaveLanguageId(id);
    }
    SetCurrentLanguageId(id);
}

void ChooseLanguage()
{
    ChooseLanguageWith(GetUserDefaultUILanguage());
}

// ---- DPI ----------------------------------------------------------------------------

int ScaleForDpi(int dpi)
{
    if (dpi <= 96) return 100;
    if (dpi == 120) return 125;
    if (dpi == 144 || dpi == 168 || dpi == 192) return dpi;
    return 100;
}

int GetMonitorScale()
{
    HMONITOR monitor = MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTONEAREST);
    if (!monitor) return 100;
    UINT dpiX = 96, dpiY = 96;
    typedef HRESULT(WINAPI * GetDpiForMonitorFn)(HMONITOR, int, UINT*, UINT*);
    HMODULE shcore = LoadLibraryW(L"Shcore.dll");
    if (shcore) {
        auto query = reinterpret_cast<GetDpiForMonitorFn>(
            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
        if (query && FAILED(query(monitor, 0 /* effective DPI */, &dpiX, &dpiY))) {
            FreeLibrary(shcore);
            MessageBoxW(nullptr, L"GetDpiForMonitor failed", L"Notification", MB_OK);
            return 96;
        }
        FreeLibrary(shcore);
    }
    return ScaleForDpi(int(dpiX));
}

bool NeedsSystemDpiAwareness(int screenWidth, int screenHeight, int scale)
{
    if (screenWidth < 1400 || screenHeight < 788) return true;
    return screenWidth == 1920 && screenHeight == 1080 && scale > 125;
}

bool ApplyDpiRule()
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    bool small = width < 1400 || height < 788;
    // The monitor is asked only where its scale decides.
    int scale = (!small && width == 1920 && height == 1080) ? GetMonitorScale() : 100;
    if (!NeedsSystemDpiAwareness(width, height, scale)) return false;
    SetProcessDPIAware();
    return true;
}

// ---- single instance ------------------------------------------------------------------

HWND FindWindowWithProperty(const wchar_t* name)
{
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetPropW(w, name)) return w;
    }
    return nullptr;
}

void BringWindowForward(HWND window)
{
    SetForegroundWindow(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    BringWindowToTop(window);
}

bool ClaimSingleInstance(HANDLE* mutex)
{
    CString name = WEXA::Manager::GetDeviceName();
    HANDLE handle = CreateMutexW(nullptr, TRUE, name);
    if (handle && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        if (HWND running = FindWindowWithProperty(name)) BringWindowForward(running);
        if (mutex) *mutex = nullptr;
        return false;
    }
    if (mutex) *mutex = handle;
    return true;
}

int ShowCommandFor(const wchar_t* commandLine)
{
    return (commandLine && wcsstr(commandLine, L"autorun")) ? SW_MINIMIZE : SW_SHOW;
}

bool EnableDebugPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = false;
    if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
        ok = GetLastError() == 0;
    }
    CloseHandle(token);
    return ok;
}

// ---- folders and files ----------------------------------------------------------------

std::wstring GetDataFolder()
{
    wchar_t base[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
    return std::wstring(base) + L"\\" + (const wchar_t*)WEXA::Manager::GetDeviceName() +
           L" Files\\";
}

bool CreateDirectoryTree(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    size_t first = path.find(L'\\');
    if (first != std::wstring::npos) {
        for (size_t at = path.find(L'\\', first + 1); at != std::wstring::npos;
             at = path.find(L'\\', at + 1))
            CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    SetLastError(0);
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring GetExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t cut = folder.find_last_of(L'\\');
    folder = cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut);
    return folder + L"\\";
}

std::wstring GetModuleFolderAnsi()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::wstring wide(length > 0 ? size_t(length) : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    size_t cut = wide.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut != 0) wide.resize(cut);
    return wide;
}

std::wstring ReadIniString(const wchar_t* section, const wchar_t* key, const wchar_t* file)
{
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(section, key, L"", buffer, 260, file);
    return buffer;
}
