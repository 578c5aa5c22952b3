#pragma once
// What the main window and the profile manager dialog share about profiles:
// the name a list row shows for a stored name, the first free default name, and
// the four default key rows per key that a new profile gets.
#include <vector>

#include "CString.h"
#include "services/db/DeviceDataRecords.h"

class DeviceDataDB;
namespace WEXA {
class KeyboardCtrl;
struct KEY_INFO;
}  // namespace WEXA

// Icon of every profile row.
inline constexpr const wchar_t* kProfileIcon = L"icon\\icon_profile.png";
// Rows a profile list may hold.
const int kMaxProfiles = 10;

// The name a row shows for a stored name: "Profile" and "配置文件" at its start
// become profileText, "我的專屬配寘" becomes ownText; the rest follows
// unchanged. Exact, case-sensitive prefixes; other names are shown as stored.
CString ShownProfileName(const wchar_t* stored, const wchar_t* profileText, const wchar_t* ownText);

// The first "<base> <n>" (n from 1) that no shown name equals; the candidate
// of n = 1000 when every one before it is taken.
CString MakeUniqueName(const wchar_t* base, const std::vector<CString>& shownNames);

// Four rows per key (Fn layer 0 maps the key to itself; layers 1-3 hold an
// empty key function), in the keys' order.
std::vector<KeyMacroData> DefaultKeyRows(int profile, const std::vector<WEXA::KEY_INFO*>& keys);
// The same for the keys a picture shows now, read under the picture's key
// lock (the worker refills the records when a keyboard is picked or comes).
std::vector<KeyMacroData> PictureDefaultKeyRows(int profile, WEXA::KeyboardCtrl* picture);

// Gives a profile without key rows the default rows of the picture's keys (one
// transaction); a profile that has rows, or a picture without keys, is left
// alone.
void CreateDefaultKeyRows(DeviceDataDB& db, int profile, WEXA::KeyboardCtrl* picture);

// A new profile row as the profile controls store it.
ProfileData NewProfileRecord(const wchar_t* name);
