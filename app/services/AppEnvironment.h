#pragma once
// The program's environment: start-up decisions (DPI awareness, language,
// single instance, show command) and the small folder, registry and INI helpers
// the main window and its pages use.
//
// The software name is the UI library's device name (WEXA::Manager); it names
// the single-instance mutex, the main window's property, the registry key
// HKEY_CURRENT_USER\SOFTWARE\<name> and the data folder "<local app data>\<name> Files\".
#include <windows.h>

#include <string>
#include <vector>

// ---- language of the user interface ----
// The current language id (LCID, CurrentLanguageId of LanguageText.h); read on
// every language lookup.
int GetCurrentLanguageId();
void SetCurrentLanguageId(int id);
// The ids config.xml lists, in its order (filled at start-up).
std::vector<int> GetSupportedLanguageIds();
void SetSupportedLanguageIds(const std::vector<int>& ids);
bool IsSupportedLanguage(int id);

// Reads config.xml (default language, supported languages, software name).
// Without a path: "<exe folder>\config.xml" through the ANSI module name. A
// missing or damaged file changes nothing but the (emptied) language list.
void LoadAppConfig(const wchar_t* path = nullptr);
// Picks the language: registry "LCID", else the user's UI language, 1033 when
// the pick is not supported; stores what it decided (see the .cpp).
void ChooseLanguage();
// As ChooseLanguage, with the user's UI language given.
void ChooseLanguageWith(int systemLanguage);
// The registry value "LCID": 0 when missing, not a number or when the key had to
// be created; 2052 when the key can be neither opened nor created.
int LoadLanguageId();
// Writes "LCID" in decimal; nothing when the key cannot be opened.
void SaveLanguageId(int id);

// ---- DPI ----
// 100, 125, 144, 168 or 192 for a horizontal DPI (anything else: 100).
int ScaleForDpi(int dpi);
// The scale of the monitor nearest (1, 1); 96 after a failed query.
int GetMonitorScale();
// True when a process on this screen is to be system-DPI-aware: a screen
// smaller than 1400 x 788, or exactly 1920 x 1080 with a scale above 125.
bool NeedsSystemDpiAwareness(int screenWidth, int screenHeight, int scale);
// Applies the rule to the primary screen; returns whether it made the process aware.
bool ApplyDpiRule();

// ---- single instance ----
// Creates the named mutex (owned). False when another instance holds it; then
// the running main window (the top-level window carrying the property named
// after the software) is brought to the front when there is one.
bool ClaimSingleInstance(HANDLE* mutex);
// The top-level window carrying a non-null property of that name, or null.
HWND FindWindowWithProperty(const wchar_t* name);
void BringWindowForward(HWND window);

// SW_MINIMIZE when the command line contains "autorun" (case-sensitive), else SW_SHOW.
int ShowCommandFor(const wchar_t* commandLine);

bool EnableDebugPrivilege();

// ---- folders and files ----
// "<local app data>\<software name> Files\" with a trailing backslash.
std::wstring GetDataFolder();
// Creates every missing folder of the path; true when it exists afterwards.
bool CreateDirectoryTree(const std::wstring& path);
// The executable's folder with a trailing backslash.
std::wstring GetExeFolder();
// The executable's folder without a trailing backslash, from the ANSI module name.
std::wstring GetModuleFolderAnsi();
// A value of an INI file (at most 259 characters); empty when absent.
std::wstring ReadIniString(const wchar_t* section, const wchar_t* key, const wchar_t* file);

// "SOFTWARE\<software name>" under HKEY_CURRENT_USER.
std::wstring SoftwareRegistryKey();
