#pragma once
// Per-user window preferences in the registry: text values (REG_SZ, integers as
// decimal text) under HKEY_CURRENT_USER "SOFTWARE\<software name>", the name
// being the library's device name (Manager::GetDeviceName).
//
//   "exit_mode"         "1" hide the window on close, "0" end the program
//   "theme_bkg"         full path of the device pages' background picture
//   "theme_bkg_gif"     full path of the home page's animated background
//   "autorun_minimize"  "1" or "0"
//   "theme_type"        theme number of the small dialogs
//
// No function reports an error. A read creates the key when it does not exist,
// so that a later write succeeds; a write never creates it. Values are read
// whole, whatever their length. Safe on any thread.
#include "CString.h"

// "SOFTWARE\<software name>".
CString RegistrySettingsKey();

// The leading decimal number of the value's text; 0 when the value is missing,
// does not start with a number or the key cannot be opened.
int ReadRegistryInt(const wchar_t* name);

// The value's text up to its first terminating zero; empty when the value is
// missing or the key cannot be opened.
CString ReadRegistryString(const wchar_t* name);

// Stores text (null: empty) as REG_SZ with its terminating zero; nothing when
// the key cannot be opened.
void WriteRegistryString(const wchar_t* name, const wchar_t* text);
