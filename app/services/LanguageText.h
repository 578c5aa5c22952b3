#pragma once
// The texts the user reads, looked up by text id in the current language's
// file "<program folder>\language\<language id>.lan" (an INI file in UTF-16 LE
// with a byte-order mark; LanguageTextIds.h lists every id the windows use).
//
// Sections: "KB.DIALOG" (nearly every text), "OEM" (text 1, the frame
// caption), "CAPTION" (text 2, the settings page caption) and "LAN" (the
// update progress dialog).
//
// Threads: GetLanguageText reads the file and the language id on every call,
// nothing is cached; the UI thread and the worker both call it.
#include <atomic>

#include "CString.h"

// The language id of the user interface (2052, 1033 or 1028 once start-up has
// chosen it). Start-up sets it from config.xml and the registry; the settings
// page replaces it when the user picks another language.
extern std::atomic<int> CurrentLanguageId;

// "<program folder>\language\<language id>.lan".
CString LanguageFilePath(int languageId);

// The text of id in section of the current language's file; empty when the file,
// the section or the key does not exist. At most 259 characters come back (a
// longer value is cut).
CString GetLanguageText(int id, const wchar_t* section = L"KB.DIALOG");

// Makes the library font one that has the language's characters: the library's
// own face (Roboto) has no Chinese, so for 2052 and 1028 the first installed
// face of a list of Chinese faces is used (the system's on Windows); every other
// language, or no Chinese face at all, gives the library's own face back.
// Returns the face now in use. UI thread; needs GDI+ started.
CString UseFontForLanguage(int languageId);
