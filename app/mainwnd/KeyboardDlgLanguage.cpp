// KeyboardDlg: language texts (ApplyLanguage) and the per-user settings the
// frame reads.
#include "MControlFont.h"
#include "MTabCtrl.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/LanguageText.h"
#include "services/RegistrySettings.h"

using namespace WEXA;

namespace {

// Control id -> text id of section "KB.DIALOG" (titles), page by page, in the
// order they are applied.
struct TextRow
{
    UINT control;
    int text;
};
const TextRow kFrameTitles[] = {{52, 65}, {50, 67}, {60, 201}, {61, 202}, {67, 11}, {80, 63}};
const TextRow kFrameTips[] = {{40, 3}, {42, 10}, {43, 5}, {45, 7}, {54, 66}, {55, 79}};
// 116 is the key combination's save button: its text is the one it is built with.
const TextRow kCustomKeyTitles[] = {{90, 241},  {91, 242},  {92, 243},  {93, 244}, {94, 245},
                                    {105, 215}, {106, 216}, {104, 218}, {116, 38}};
const TextRow kLightTitles[] = {{122, 175}, {124, 176}, {127, 177}, {158, 178}, {138, 189},
                                {139, 190}, {128, 191}, {130, 192}, {132, 193}, {157, 22}};
const TextRow kDeviceTitles[] = {{324, 530}, {326, 532}, {332, 550}, {333, 551}};
const TextRow kEffectTitles[] = {{244, 87},  {246, 80},  {247, 81},  {268, 610},
                                 {273, 615}, {275, 650}, {270, 670}, {272, 671}};
const TextRow kMusicTitles[] = {{193, 102}, {195, 103}, {199, 104}, {201, 105}, {197, 191}};
const TextRow kMatrixTitles[] = {{278, 920}};
const TextRow kMusicLayerTitles[] = {{161, 680}, {162, 681}, {163, 682}, {164, 683}, {165, 684},
                                     {166, 685}, {167, 686}, {168, 687}, {169, 688}, {170, 689},
                                     {171, 690}, {172, 691}, {174, 189}, {175, 190}};
const TextRow kMatrixTitles2[] = {{285, 175}, {287, 176}, {290, 177}, {301, 189}, {302, 190},
                                  {291, 191}, {293, 192}, {295, 193}, {320, 103}};
const TextRow kPerformanceTitles[] = {{335, 560}, {337, 561}, {340, 562}, {343, 563},
                                      {346, 564}, {349, 565}, {352, 569}};
const TextRow kSettingsTitles[] = {{417, 500}, {422, 505}, {428, 509}, {429, 510}, {430, 511},
                                   {432, 515}, {434, 516}, {436, 15},  {437, 16},  {438, 17}};
const TextRow kMacroTitles[] = {{205, 350}, {207, 352}, {210, 353}, {211, 30},  {213, 355},
                                {216, 388}, {217, 389}, {218, 390}, {219, 420}, {221, 368},
                                {222, 357}, {223, 404}, {226, 358}, {227, 360}, {228, 361},
                                {229, 362}, {230, 363}, {234, 391}, {238, 392}};

// Main tab: item id -> text id.
const TextRow kMainTabTexts[] = {{0, 50}, {1, 51}, {2, 52}, {4, 53}, {5, 54},
                                 {7, 57}, {8, 56}, {3, 58}, {6, 55}};

}  // namespace

CString KeyboardDlg::LangText(int id, const wchar_t* section) const
{
    return GetLanguageText(id, section);
}

int KeyboardDlg::RegInt(const wchar_t* name) const
{
    return ReadRegistryInt(name);
}

std::wstring KeyboardDlg::RegString(const wchar_t* name) const
{
    return (const wchar_t*)ReadRegistryString(name);
}

void KeyboardDlg::RegWriteString(const wchar_t* name, const std::wstring& text) const
{
    WriteRegistryString(name, text.c_str());
}

void KeyboardDlg::ApplyLanguage()
{
    BuildKeyFunctionList();
    auto titles = [this](const TextRow* rows, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (auto* control = dynamic_cast<MControlFont*>(Ctl(rows[i].control)))
                control->SetTitle(LangText(rows[i].text));
        }
    };
#define KESTROVA_TITLES(table) titles(table, sizeof(table) / sizeof(table[0]))
    // Frame.
    if (MControl* close = Ctl(39))
        close->SetTooltip(LangText(RegInt(L"exit_mode") == 2 ? 509 : 510));
    for (const TextRow& row : kFrameTips) {
        if (MControl* control = Ctl(row.control)) control->SetTooltip(LangText(row.text));
    }
    KESTROVA_TITLES(kFrameTitles);
    if (auto* vipText = dynamic_cast<MControlFont*>(m_pJoinVipText)) vipText->SetTitle(LangText(8));
    if (MTabCtrl* tab = MainTab()) {
        for (int i = 0; i < tab->GetItemCount(); ++i) {
            int itemId = tab->GetItemID(i);
            for (const TextRow& row : kMainTabTexts) {
                if (int(row.control) == itemId) tab->SetItemText(i, LangText(row.text));
            }
        }
    }
    // Pages (their item lists are re-texted by the pages' own loaders).
    KESTROVA_TITLES(kCustomKeyTitles);
    KESTROVA_TITLES(kLightTitles);
    LoadLightModes();
    // Only the keyboard with the matrix screen has its modes: reloading them
    // elsewhere would write that keyboard's default rows into this one's
    // database.
    if (m_deviceType == 102) LoadMatrixModes();
    KESTROVA_TITLES(kDeviceTitles);
    ShowUpdateCheckText();
    if (auto* version = dynamic_cast<MControlFont*>(Ctl(433))) {
        CString label;
        label.Format(L"%s: %s", (const wchar_t*)LangText(517), m_softwareVersion.c_str());
        version->SetTitle(label);
    }
    KESTROVA_TITLES(kEffectTitles);
    KESTROVA_TITLES(kMusicTitles);
    KESTROVA_TITLES(kMatrixTitles);
    KESTROVA_TITLES(kMusicLayerTitles);
    KESTROVA_TITLES(kMatrixTitles2);
    KESTROVA_TITLES(kPerformanceTitles);
    KESTROVA_TITLES(kSettingsTitles);
    if (auto* caption = dynamic_cast<MControlFont*>(Ctl(435)))
        caption->SetTitle(LangText(2, L"CAPTION"));
    if (m_currentPage == 4) OnKeyFunctionTypeTab();
    KESTROVA_TITLES(kMacroTitles);
#undef KESTROVA_TITLES
    ApplyLanguageToPageItems();
}
