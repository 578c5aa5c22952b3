// KeyboardDlg: the device page (panel 73): two rounded panels near the bottom,
// the first with a text and a button that shows it again in a message box, the
// second with the factory reset's button.
#include "CArea.h"
#include "MButton.h"
#include "MPicture.h"
#include "MText.h"
#include "mainwnd/KeyboardDlg.h"
#include "pages/PagePanel.h"
#include "dialogs/CUIMessageBox.h"

using namespace WEXA;

namespace {

using pages::As;

}  // namespace

void KeyboardDlg::InitDevicePage()
{
    const pages::PagePanel area(*this, 73);
    if (!area) return;
    MControl* page = area.panel();
    const Gdiplus::Color theme(m_textColor);
    const Gdiplus::Color titleColor = pages::TitleColour();
    const Gdiplus::Color buttonText(0xFF3A4E60);

    if (auto* background = As<MPicture>(area(L"MPicture", 322))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* first = As<CRoundArea>(area(L"CRoundArea", 323)))
        first->SetColor(Gdiplus::Color(0xFFF6F6F6));
    if (auto* title = As<MText>(area(L"MText", 324, LangText(530)))) {
        title->SetTextColor(titleColor);
        title->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
    }
    if (auto* text = As<MText>(area(L"MText", 325, UpdateCheckText()))) {
        // The check's answer may take two lines ("could not be reached ...").
        text->SetTextColor(theme);
        text->EnableMultiLine(1);
    }
    if (auto* details = As<MButton>(MakeIn(page, L"MButton", 326, LangText(532)))) {
        details->SetImage(L"img_button2.png", 4);
        details->SetTextColor(buttonText);
    }
    if (auto* background = As<MPicture>(area(L"MPicture", 327))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* title = As<MText>(area(L"MText", 328))) {
        title->SetTextColor(theme);
        title->SetFontWidth(20);
    }
    if (auto* text = As<MText>(area(L"MText", 329))) text->SetTextColor(theme);
    if (auto* button = As<MButton>(MakeIn(page, L"MButton", 330)))
        button->SetImage(L"img_button.png", 4);
    if (auto* second = As<CRoundArea>(area(L"CRoundArea", 331)))
        second->SetColor(Gdiplus::Color(0xFFF6F6F6));
    if (auto* title = As<MText>(area(L"MText", 332, LangText(550)))) {
        title->SetTextColor(titleColor);
        title->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
    }
    if (auto* reset = As<MButton>(MakeIn(page, L"MButton", 333, LangText(551)))) {
        reset->SetImage(L"img_button2.png", 4);
        reset->SetTextColor(buttonText);
    }
}

void KeyboardDlg::LayoutDevicePage(CRect client)
{
    const int R = client.right;
    const int B = client.bottom;
    const struct
    {
        UINT id;
        CRect rect;
    } places[] = {
        {322, CRect(280, B - 260, R - 50, B - 2)}, {323, CRect(330, B - 180, 790, B - 80)},
        {324, CRect(350, B - 160, 570, B - 130)},  {325, CRect(350, B - 128, 604, B - 84)},
        {326, CRect(620, B - 140, 740, B - 110)},  {331, CRect(830, B - 180, 1290, B - 80)},
        {332, CRect(850, B - 145, 1120, B - 115)}, {333, CRect(1120, B - 145, 1240, B - 115)},
    };
    for (const auto& place : places)
        if (MControl* control = Ctl(place.id)) control->SetRect(place.rect);
}

LONG KeyboardDlg::OnDeviceMessageButton()
{
    Show(65, true);
    ShowMessageBox(GetSafeHwnd(), UpdateCheckText(), LangText(533), 0);
    Show(65, false);
    return 1;
}
