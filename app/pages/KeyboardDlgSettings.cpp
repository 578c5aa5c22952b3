// KeyboardDlg: the settings page (panel 79): language, start with Windows,
// what the close button does, the version check and the web links.
#include "CArea.h"
#include "CCheckButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "MButton.h"
#include "MPanel.h"
#include "MPicture.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "Manager.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/LanguageText.h"
#include "services/AppEnvironment.h"

using namespace WEXA;

namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const Gdiplus::ARGB kLabelColour = 0xFF0A0A0A;
// The caption and links below the card stand on the dark window background.
const Gdiplus::ARGB kLinkColour = 0xFFC9D0DC;

std::wstring SoftwareName()
{
    return static_cast<const wchar_t*>(WEXA::Manager::GetDeviceName());
}

}  // namespace

std::wstring AutorunCommand()
{
    // Quoted: the program's folder may hold blanks.
    return L"\"" + GetExeFolder() + L"Kestrova.exe\" -autorun";
}

bool IsAutorunEntryPresent()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    BYTE data[512];
    DWORD size = sizeof(data);
    const bool present = RegQueryValueExW(key, SoftwareName().c_str(), nullptr, nullptr, data,
                                          &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

void WriteAutorunEntry(bool on)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (on) {
        const std::wstring command = AutorunCommand();
        RegSetValueExW(key, SoftwareName().c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(command.c_str()),
                       DWORD((command.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(key, SoftwareName().c_str());
    }
    RegCloseKey(key);
}

void KeyboardDlg::InitSettingsPage()
{
    MControl* panel = Ctl(79);
    if (!panel) return;
    auto* owner = static_cast<MPanel*>(panel);
    const Gdiplus::Color theme(m_textColor);
    auto area = [&](const wchar_t* cls, UINT id, const wchar_t* title = L"") {
        return Keep(owner->CreateArea(cls, id, CRect(), title, 1, 1));
    };
    auto label = [&](UINT id, int text, const wchar_t* font, Gdiplus::FontStyle style,
                     Gdiplus::ARGB colour) {
        auto* control =
            static_cast<MText*>(owner->CreateArea(L"MText", id, CRect(), LangText(text), 1, 1));
        if (!control) return control;
        control->SetTextColor(Gdiplus::Color(colour));
        if (font) control->SetFont(font, 16, style);
        return control;
    };
    auto round = [&](UINT id) {
        if (auto* box = static_cast<CRoundArea*>(area(L"CRoundArea", id)))
            box->SetColor(Gdiplus::Color(0xFFF6F6F6));
    };
    auto radio = [&](UINT id, const wchar_t* title, const wchar_t* group) {
        auto* button = static_cast<CRadioButton*>(MakeIn(panel, L"CRadioButton", id, title));
        if (!button) return;
        button->SetImage(L"btn_radiobox.png", 8);
        button->SetTextColor(theme);
        button->SetGroupName(group);
    };
    auto toggle = [&](UINT id) {
        if (auto* button = static_cast<CSwitchButton*>(MakeIn(panel, L"CSwitchButton", id)))
            button->SetImage(L"img_switch_on.png", L"img_switch_off.png", 4);
    };

    if (auto* back = static_cast<MPicture*>(area(L"MPicture", 414))) {
        back->SetImage(L"img_area2.png", 1);
        back->SetShowMode(SHOW_MODE_FRAME, 36);
    }
    if (auto* ret = static_cast<MControlFont*>(MakeIn(panel, L"CImageButton", 415)))
        ret->SetImage(L"img_return.png", 4);
    round(416);
    Keep(label(417, 500, L"Roboto-Medium", Gdiplus::FontStyleRegular, kLabelColour));
    radio(418, L"简体中文", L"IDC_SET_STC_LANGUAGE");
    radio(419, L"English", L"IDC_SET_STC_LANGUAGE");
    radio(420, L"繁體中文", L"IDC_SET_STC_LANGUAGE");
    round(421);
    Keep(label(422, 505, L"Roboto-Medium", Gdiplus::FontStyleRegular, kLabelColour));
    // Two labels share id 424: the autorun label and the minimised-start label.
    m_autorunLabel = label(424, 506, L"Roboto-Medium", Gdiplus::FontStyleRegular, kLabelColour);
    m_minimizeLabel = label(424, 507, nullptr, Gdiplus::FontStyleRegular, m_textColor);
    Keep(m_autorunLabel);
    toggle(425);
    toggle(426);
    round(427);
    Keep(label(428, 509, L"Roboto-Medium", Gdiplus::FontStyleRegular, kLabelColour));
    radio(429, LangText(510), L"IDC_SET_STC_EXITMODE");
    radio(430, LangText(511), L"IDC_SET_STC_EXITMODE");
    round(431);
    Keep(label(432, 515, L"Roboto-Medium", Gdiplus::FontStyleRegular, kLabelColour));
    Keep(label(433, 517, nullptr, Gdiplus::FontStyleRegular, m_textColor));
    if (auto* check = static_cast<MButton*>(MakeIn(panel, L"MButton", 434, LangText(516)))) {
        check->SetImage(L"img_button2.png", 4);
        check->SetTextColor(Gdiplus::Color(kLabelColour));
    }
    if (auto* caption = label(435, 0, nullptr, Gdiplus::FontStyleRegular, kLinkColour)) {
        caption->SetTitle(LangText(2, L"CAPTION"));
        caption->SetAlignment(1);
        Keep(caption);
    }
    const UINT links[] = {436, 437, 438};
    for (int i = 0; i < 3; ++i) {
        auto* link =
            static_cast<CTextButton*>(MakeIn(panel, L"CTextButton", links[i], LangText(15 + i)));
        if (!link) continue;
        link->SetAlignment(1);
        link->SetTextColor(Gdiplus::Color(kLinkColour));
        link->SetFontStyle(Gdiplus::FontStyleUnderline);
    }

    CheckLanguageRadio();
    if (m_minimizeLabel) m_minimizeLabel->SetVisible(0);
    Show(426, false);
    if (IsAutorunEntryPresent()) {
        if (auto* autorun = CtlAs<CSwitchButton>(425)) autorun->SetCheck(1);
        if (m_minimizeLabel) m_minimizeLabel->SetVisible(1);
        Show(426, true);
        if (auto* minimized = CtlAs<CSwitchButton>(426))
            minimized->SetCheck(RegInt(L"autorun_minimize") == 1 ? 1 : 0);
    }
    const bool hide = RegInt(L"exit_mode") == 1;
    if (auto* exitRadio = CtlAs<CRadioButton>(hide ? 429 : 430)) exitRadio->SetCheck(1);
    if (MControl* close = Ctl(39)) close->SetTooltip(LangText(hide ? 509 : 510));
}

void KeyboardDlg::CheckLanguageRadio()
{
    const int language = GetCurrentLanguageId();
    const UINT id = language == 2052 ? 418 : language == 1028 ? 420 : 419;
    if (auto* radio = CtlAs<CRadioButton>(id)) radio->SetCheck(1);
}

void KeyboardDlg::LayoutSettingsPage(CRect client)
{
    const int X = (client.right - client.left) / 2;
    const int H = client.bottom;
    struct Place
    {
        UINT id;
        CRect rect;
    };
    const Place places[] = {
        {414, CRect(X - 400, 100, X + 400, H - 150)},
        {415, CRect(280, 130, 320, 170)},
        {421, CRect(X - 310, 180, X + 310, 280)},
        {425, CRect(X + 210, 210, X + 250, 230)},
        {426, CRect(X + 210, 240, X + 250, 260)},
        {427, CRect(X - 310, 290, X + 310, 370)},
        {428, CRect(X - 290, 312, X - 170, 348)},
        {429, CRect(X - 110, 312, X + 190, 348)},
        {430, CRect(X + 190, 312, X + 310, 348)},
        {416, CRect(X - 310, 380, X + 310, 460)},
        {417, CRect(X - 290, 402, X - 170, 438)},
        // The language options start where the closing options do; every
        // language the program has is offered, so the one it runs in shows
        // as chosen.
        {418, CRect(X - 110, 402, X + 30, 438)},
        {420, CRect(X + 40, 402, X + 180, 438)},
        {419, CRect(X + 190, 402, X + 310, 438)},
        {431, CRect(X - 310, 470, X + 310, 570)},
        {432, CRect(X - 290, 485, X - 130, 521)},
        {433, CRect(X - 290, 521, X - 90, 557)},
        {434, CRect(X + 110, 502, X + 290, 532)},
        {435, CRect(X - 260, H - 150, X + 240, H - 120)},
        {436, CRect(X - 260, H - 110, X - 140, H - 80)},
        {437, CRect(X - 100, H - 110, X + 20, H - 80)},
        {438, CRect(X + 60, H - 110, X + 180, H - 80)},
    };
    for (const Place& place : places)
        if (MControl* control = Ctl(place.id)) control->SetRect(place.rect);
    // As wide as the row up to the switch: the label is the longest one there.
    if (m_autorunLabel) m_autorunLabel->SetRect(CRect(X - 290, 210, X + 190, 230));
    if (m_minimizeLabel) m_minimizeLabel->SetRect(CRect(X - 290, 240, X + 10, 260));
}

LONG KeyboardDlg::OnLanguageRadio()
{
    auto checked = [this](UINT id) {
        auto* radio = CtlAs<CRadioButton>(id);
        return radio && radio->GetCheck();
    };
    const int language = checked(418) ? 2052 : checked(420) ? 1028 : 1033;
    SetCurrentLanguageId(language);
    SaveLanguageId(language);
    UseFontForLanguage(language);
    ApplyLanguage();
    // The two labels of id 424 are not reached by id.
    if (m_autorunLabel) m_autorunLabel->SetTitle(LangText(506));
    if (m_minimizeLabel) m_minimizeLabel->SetTitle(LangText(507));
    return 1;
}

LONG KeyboardDlg::OnAutorunSwitch()
{
    auto* autorun = CtlAs<CSwitchButton>(425);
    auto* minimized = CtlAs<CSwitchButton>(426);
    if (autorun && autorun->GetCheck()) {
        if (m_minimizeLabel) m_minimizeLabel->SetVisible(1);
        Show(426, true);
        WriteAutorunEntry(true);
        return 1;
    }
    if (minimized) minimized->SetCheck(0);
    if (m_minimizeLabel) m_minimizeLabel->SetVisible(0);
    Show(426, false);
    RegWriteString(L"autorun_minimize", L"0");
    WriteAutorunEntry(false);
    return 1;
}

LONG KeyboardDlg::OnAutorunMinimizeSwitch()
{
    auto* minimized = CtlAs<CSwitchButton>(426);
    RegWriteString(L"autorun_minimize", minimized && minimized->GetCheck() ? L"1" : L"0");
    return 1;
}

LONG KeyboardDlg::OnExitModeRadio()
{
    auto* hide = CtlAs<CRadioButton>(429);
    RegWriteString(L"exit_mode", hide && hide->GetCheck() ? L"1" : L"0");
    return 1;
}

LONG KeyboardDlg::OnCheckVersionButton()
{
    // The answer to this check is said in a box; the check at start-up only
    // updates the texts.
    m_updateCheckAsked = true;
    AppendTask(TASK_CHECK_VERSION);
    return 1;
}

LONG KeyboardDlg::OnSettingsReturn()
{
    Show(79, false);
    ShowIds({39, 40, 42, 43, 45, 46, 47}, true);
    Show(43, !m_websiteUrl.empty());
    const int page = m_currentPage;
    if (m_devicePresent && page != 0) {
        Show(68, true);
        if (MainTab()) MainTab()->SetSelectItem(m_currentTab);
        ShowPageFrame(true);
        switch (page) {
            case 2:
                Show(58, false);
                Show(59, true);
                break;
            case 3:
            case 5:
            case 6:
            case 7: Show(58, false); break;
            case 4: ShowCustomKeyFrame(true); break;
            default: break;
        }
    } else {
        ShowIds({46, 47}, false);
        if (MainTab()) MainTab()->SetSelectItem(0);
        ShowIds({69, 31}, true);
    }
    if (!m_devicePresent) ShowIds({46, 47}, false);
    return 1;
}
