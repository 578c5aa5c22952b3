// KeyboardDlg: what the pages share: the item texts of their tabs and combo
// boxes, and the LCD page's titles, given again after a language change. Each
// page's builder, layout and handlers are in its own KeyboardDlg<Name>Page.cpp
// beside this file.
#include <initializer_list>

#include "MComboBox.h"
#include "MControlFont.h"
#include "TabCtrlEx.h"
#include "mainwnd/KeyboardDlg.h"

using namespace WEXA;

namespace {

// A tab strip or combo box whose items, in their order, show these texts.
struct ItemTexts
{
    UINT control;
    std::initializer_list<int> texts;
};

const ItemTexts kPageItems[] = {
    {88, {205, 206, 207, 208, 210, 211}},                       // custom keys: function categories
    {117, {170, 171, 172}},                                     // lighting: zones
    {159, {180, 181, 182, 183, 184}},                           // lighting: user modes
    {242, {600, 601, 602, 604}},                                // effect: modes
    {274, {620, 621, 622, 623, 624, 625, 626, 627, 628, 629}},  // effect: presets
    {200, {117, 111, 112, 113, 114, 118, 115, 106, 107, 108, 109, 110}},  // music: background
    {194, {119, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 118}},  // music: foreground
    {279,
     {921, 922, 923, 924, 925, 926, 927, 928, 929, 930, 931, 932, 933, 934, 935, 936, 937,
      938}},                           // matrix screen: presets
    {280, {170, 171, 172}},            // matrix screen: zones, as on the lighting page
    {237, {220, 223, 222, 227, 228}},  // macros: mouse buttons
};

// The LCD page's titles: control id -> text id.
const int kLcdTitles[][2] = {{364, 801}, {367, 870}, {368, 863}, {369, 803}, {370, 804}, {371, 805},
                             {374, 806}, {376, 862}, {378, 808}, {380, 809}, {382, 810}, {386, 860},
                             {395, 812}, {410, 827}, {411, 819}, {412, 820}, {413, 821}};

// A tab's text, set (and repainted) only when it changes: the window may
// still be starting, minimised, when the language is applied.
void SetTabText(TabCtrlEx* tabs, int index, const CString& text)
{
    TABITEM_INFO item;
    if (tabs->GetItemInfo(index, item) && item.text != text) tabs->SetItemText(index, text);
}

}  // namespace

void KeyboardDlg::ApplyLanguageToPageItems()
{
    // The LCD page would otherwise stay in the language the window was built in.
    if (m_hasLcdPage)
        for (const auto& row : kLcdTitles)
            if (auto* control = dynamic_cast<MControlFont*>(Ctl(UINT(row[0]))))
                control->SetTitle(LangText(row[1]));
    for (const ItemTexts& row : kPageItems) {
        MControl* control = Ctl(row.control);
        int index = 0;
        for (int text : row.texts) {
            if (auto* tabs = dynamic_cast<TabCtrlEx*>(control))
                SetTabText(tabs, index, LangText(text));
            else if (auto* combo = dynamic_cast<MComboBox*>(control))
                combo->SetItemText(index, LangText(text));
            ++index;
        }
    }
    RelabelSleepTimes();
    // The third zone of the light-bar keyboard is its light bar.
    if (auto* zones = dynamic_cast<TabCtrlEx*>(Ctl(117)))
        SetTabText(zones, 2, LangText(m_deviceType == 102 ? 173 : 172));
}
