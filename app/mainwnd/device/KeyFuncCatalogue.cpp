#include "mainwnd/device/KeyFuncCatalogue.h"

namespace {

struct NamedCode
{
    const wchar_t* name;
    int code;
};

// Category 2, in tile order. The names are shown as they stand.
const NamedCode kKeys[] = {
    {L"A", 4},        {L"B", 5},       {L"C", 6},          {L"D", 7},        {L"E", 8},
    {L"F", 9},        {L"G", 10},      {L"H", 11},         {L"I", 12},       {L"J", 13},
    {L"K", 14},       {L"L", 15},      {L"M", 16},         {L"N", 17},       {L"O", 18},
    {L"P", 19},       {L"Q", 20},      {L"R", 21},         {L"S", 22},       {L"T", 23},
    {L"U", 24},       {L"V", 25},      {L"W", 26},         {L"X", 27},       {L"Y", 28},
    {L"Z", 29},       {L"0", 39},      {L"1", 30},         {L"2", 31},       {L"3", 32},
    {L"4", 33},       {L"5", 34},      {L"6", 35},         {L"7", 36},       {L"8", 37},
    {L"9", 38},       {L"F1", 58},     {L"F2", 59},        {L"F3", 60},      {L"F4", 61},
    {L"F5", 62},      {L"F6", 63},     {L"F7", 64},        {L"F8", 65},      {L"F9", 66},
    {L"F10", 67},     {L"F11", 68},    {L"F12", 69},       {L"\u2191", 82},  {L"\u2190", 80},
    {L"\u2193", 81},  {L"\u2192", 79}, {L"Esc", 41},       {L"Print", 70},   {L"Scroll Lock", 71},
    {L"Pause", 72},   {L"~", 53},      {L"Backsapce", 42}, {L"Ins", 73},     {L"Home", 74},
    {L"PgUp", 75},    {L"Tab", 43},    {L"Del", 76},       {L"End", 77},     {L"PgDn", 78},
    {L"Caps", 57},    {L"Enter", 40},  {L"Space", 44},     {L"NumLock", 83}, {L"/", 84},
    {L"*", 85},       {L"-", 86},      {L"7", 95},         {L"8", 96},       {L"9", 97},
    {L"+", 87},       {L"4", 92},      {L"5", 93},         {L"6", 94},       {L"1", 89},
    {L"2", 90},       {L"3", 91},      {L"Enter", 88},     {L"0", 98},       {L".", 99},
    {L"Shift", 225},  {L"Ctrl", 224},  {L"Win", 227},      {L"Alt", 226},    {L"R-Shift", 229},
    {L"R-Ctrl", 228}, {L"R-Win", 231}, {L"R-Alt", 230},    {L"-", 45},       {L"=", 46},
    {L"[", 47},       {L"]", 48},      {L"||", 49},        {L";", 51},       {L"'", 52},
    {L",<", 54},      {L".>", 55},     {L"/?", 56},
};
static_assert(sizeof(kKeys) / sizeof(kKeys[0]) == 103, "103 keys");

struct TextCode
{
    int textId;
    int code;
};

const TextCode kMouse[] = {{220, 90}, {222, 91}, {223, 92}, {225, 96},
                           {226, 97}, {227, 94}, {228, 95}};
const TextCode kMedia[] = {{260, 113}, {261, 114}, {262, 115}, {263, 110}, {264, 100}, {265, 101},
                           {266, 102}, {267, 103}, {268, 104}, {269, 105}, {270, 106}, {271, 116},
                           {272, 117}, {273, 118}, {274, 119}, {275, 120}, {276, 121}, {277, 122}};
const TextCode kShortcuts[] = {{31, 155},  {32, 156},  {36, 157},  {38, 158},  {39, 159}, {35, 160},
                               {251, 150}, {252, 151}, {253, 152}, {254, 153}, {255, 154}};

const wchar_t* const kSpecial[74] = {
    L"Fn0",        L"Fn",        L"Fn2",        L"Fn3",        L"To0",       L"To1",
    L"To2",        L"To3",       L"BL-TOG",     L"BL-MOD",     L"BL-RMOD",   L"BL-HUT",
    L"BL-HUD",     L"BL-VAI",    L"BL-VAD",     L"BL-SPI",     L"BL-SPD",    L"Color",
    L"BL-LIGHT1",  L"BL-LIGHT2", L"BL-LIGHT3",  L"BL-LIGHT4",  L"BL-LIGHT5", L"LG-TOG",
    L"LG-MOD",     L"LG-RMOD",   L"LG-HUT",     L"LG-HUD",     L"LG-VAI",    L"LG-VAD",
    L"LG-SPI",     L"LG-SPD",    L"SD-TOG",     L"SD-MOD",     L"SD-RMOD",   L"SD-HUT",
    L"SD-HUD",     L"SD-VAI",    L"SD-VAD",     L"SD-SPI",     L"SD-SPD",    L"LT-TOG",
    L"LT-MOD",     L"LT-RMOD",   L"LT-HUT",     L"LT-HUD",     L"LT-VAI",    L"LT-VAD",
    L"LT-SPI",     L"LT-SPD",    L"Reset",      L"BLE1",       L"BLE2",      L"BLE3",
    L"2.4G",       L"USB",       L"Battery",    L"6N",         L"Mac/Win",   L"WinLock",
    L"WASD",       L"KeyDelay",  L"F-Change",   L"Wheel",      L"LEDTest",   L"AllPower",
    L"LCDPower",   L"LCDMode",   L"LCDGIFMode", L"LCDUSBMode", L"WheelLeft", L"WheelRight",
    L"WheelClick", L"KeyTest",
};

}  // namespace

void AddKeyFunctionItem(std::vector<KeyFunctionItem>& list, int category, int code, CString name,
                        CString description)
{
    KeyFunctionItem item;
    item.category = category;
    item.code = code;
    item.name = name;
    item.description = description;
    list.push_back(item);
}

void BuildKeyFunctionList(std::vector<KeyFunctionItem>& list, const KeyFuncTextFn& text)
{
    list.clear();
    list.reserve(kKeyFunctionCount);
    auto lookup = [&](int id) { return text ? text(id) : CString(); };
    for (const NamedCode& key : kKeys) AddKeyFunctionItem(list, 2, key.code, key.name, L"");
    for (const TextCode& e : kMouse) AddKeyFunctionItem(list, 5, e.code, lookup(e.textId), L"");
    for (const TextCode& e : kMedia) AddKeyFunctionItem(list, 6, e.code, lookup(e.textId), L"");
    for (const TextCode& e : kShortcuts) AddKeyFunctionItem(list, 7, e.code, lookup(e.textId), L"");
    for (int number = 1; number <= 74; ++number)
        AddKeyFunctionItem(list, 12, number, number == 18 ? L"COLOUR" : kSpecial[number - 1], L"");
}

const wchar_t* CatalogueKeyName(int usage)
{
    for (const NamedCode& key : kKeys)
        if (key.code == usage) return key.name;
    return nullptr;
}

const wchar_t* SpecialFunctionName(int number)
{
    return number >= 1 && number <= 74 ? kSpecial[number - 1] : nullptr;
}
