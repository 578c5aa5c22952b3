// The grouped key picker's fixed key table: three groups, 122 tiles.
#include "keyboard/KeyFuncCtrlKeys.h"

namespace WEXA {
namespace keyfuncctrl {

namespace {

const KeyTileEntry kBasic[] = {
    {L"A", 4, L""},   {L"B", 5, L""},   {L"C", 6, L""},  {L"D", 7, L""},  {L"E", 8, L""},
    {L"F", 9, L""},   {L"G", 10, L""},  {L"H", 11, L""}, {L"I", 12, L""}, {L"J", 13, L""},
    {L"K", 14, L""},  {L"L", 15, L""},  {L"M", 16, L""}, {L"N", 17, L""}, {L"O", 18, L""},
    {L"P", 19, L""},  {L"Q", 20, L""},  {L"R", 21, L""}, {L"S", 22, L""}, {L"T", 23, L""},
    {L"U", 24, L""},  {L"V", 25, L""},  {L"W", 26, L""}, {L"X", 27, L""}, {L"Y", 28, L""},
    {L"Z", 29, L""},  {L"1", 30, L""},  {L"2", 31, L""}, {L"3", 32, L""}, {L"4", 33, L""},
    {L"5", 34, L""},  {L"6", 35, L""},  {L"7", 36, L""}, {L"8", 37, L""}, {L"9", 38, L""},
    {L"0", 39, L""},  {L"~", 53, L""},  {L"-", 45, L""}, {L"=", 46, L""}, {L"[", 47, L""},
    {L"]", 48, L""},  {L"\\", 49, L""}, {L";", 51, L""}, {L"'", 52, L""}, {L",<", 54, L""},
    {L".>", 55, L""}, {L"/?", 56, L""},
};

const KeyTileEntry kExtended[] = {
    {L"Esc", 41, L""},       {L"Tab", 43, L""},      {L"Caps", 57, L""},    {L"Backsapce", 42, L""},
    {L"Enter", 40, L""},     {L"Space", 44, L""},    {L"L-Ctrl", 224, L""}, {L"R-Ctrl", 228, L""},
    {L"L-Shift", 225, L""},  {L"R-Shift", 229, L""}, {L"L-Alt", 226, L""},  {L"R-Alt", 230, L""},
    {L"L-Win", 227, L""},    {L"R-Win", 231, L""},   {L"Menu", 101, L""},   {L"\u2191", 82, L""},
    {L"\u2190", 80, L""},    {L"\u2193", 81, L""},   {L"\u2192", 79, L""},  {L"PrtSc", 70, L""},
    {L"ScrL", 71, L""},      {L"Pause", 72, L""},    {L"Home", 74, L""},    {L"End", 77, L""},
    {L"Ins", 73, L""},       {L"Del", 76, L""},      {L"PgUp", 75, L""},    {L"PgDn", 78, L""},
    {L"F1", 58, L""},        {L"F2", 59, L""},       {L"F3", 60, L""},      {L"F4", 61, L""},
    {L"F5", 62, L""},        {L"F6", 63, L""},       {L"F7", 64, L""},      {L"F8", 65, L""},
    {L"F9", 66, L""},        {L"F10", 67, L""},      {L"F11", 68, L""},     {L"F12", 69, L""},
    {L"NumLock", 83, L""},   {L"Num 1", 89, L""},    {L"Num 2", 90, L""},   {L"Num 3", 91, L""},
    {L"Num 4", 92, L""},     {L"Num 5", 93, L""},    {L"Num 6", 94, L""},   {L"Num 7", 95, L""},
    {L"Num 8", 96, L""},     {L"Num 9", 97, L""},    {L"Num 0", 98, L""},   {L"Num .", 99, L""},
    {L"Num +", 87, L""},     {L"Num -", 86, L""},    {L"Num *", 85, L""},   {L"Num /", 84, L""},
    {L"Num Enter", 88, L""},
};

const KeyTileEntry kSpecial[] = {
    {L"My Computer", 500, L"icon//icon_pc.png"},
    {L"Calculator ", 501, L"icon//icon_cal.png"},
    {L"Email", 502, L"icon//icon_email.png"},
    {L"Multimedia", 503, L"icon//icon_multimedia.png"},
    {L"Play/Pause", 504, L"icon//icon_playpause.png"},
    {L"Stop", 505, L"icon//icon_stop.png"},
    {L"Previous", 506, L"icon//icon_pre.png"},
    {L"Next", 507, L"icon//icon_next.png"},
    {L"Volume +", 508, L"icon//icon_vol_up.png"},
    {L"Volume -", 509, L"icon//icon_vol_down.png"},
    {L"Volume Mute", 510, L"icon//icon_vol_mute.png"},
    {L"Web", 511, L"icon//icon_home.png"},
    {L"Web Refresh", 512, L"icon//icon_web_refresh.png"},
    {L"Web Stop", 513, L"icon//icon_web_stop.png"},
    {L"Web Backward", 514, L"icon//icon_web_backward.png"},
    {L"Web Foreward", 515, L"icon//icon_web_foreward.png"},
    {L"Web Favorites", 516, L"icon//icon_favorites.png"},
    {L"Web Search", 517, L"icon//icon_web_search.png"},
};

const KeyGroupEntry kGroups[] = {
    {L"#\u57FA\u672C\u5B57\u7B26", 1, 300, kBasic, sizeof(kBasic) / sizeof(kBasic[0])},
    {L"#\u6269\u5C55\u5B57\u7B26", 0, 360, kExtended, sizeof(kExtended) / sizeof(kExtended[0])},
    {L"#\u7279\u6B8A\u5B57\u7B26", 0, 120, kSpecial, sizeof(kSpecial) / sizeof(kSpecial[0])},
};

}  // namespace

const KeyGroupEntry* Groups(size_t& count)
{
    count = sizeof(kGroups) / sizeof(kGroups[0]);
    return kGroups;
}

}  // namespace keyfuncctrl
}  // namespace WEXA
