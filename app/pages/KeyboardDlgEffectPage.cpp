// KeyboardDlg: the effect page (panel 75): the mode tab, the colour controls no
// mode shows, the capture window list, the preset and game lists and the
// picture file of the animated-picture mode. The music controls on the same
// panel are in KeyboardDlgMusicPage.cpp.
#include <windows.h>
// (after windows.h)
#include <commdlg.h>
#include <shlwapi.h>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CirclePalette.h"
#include "MButton.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MPicture.h"
#include "MSlider.h"
#include "MText.h"
#include "NimbrelEffect.h"
#include "TabCtrlEx.h"
#include "mainwnd/KeyboardDlg.h"
#include "pages/PagePanel.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

using pages::As;
using pages::Db;
using pages::TextItem;

// The modes the tab offers (4 window capture, 6 game keys and 7 presets have
// controls but no tab item).
const TextItem kEffectModes[] = {{600, 1}, {601, 2}, {602, 3}, {604, 5}};
const TextItem kEffectPresets[] = {{620, 2}, {621, 3}, {622, 4},  {623, 5},  {624, 6},
                                   {625, 8}, {626, 9}, {627, 10}, {628, 11}, {629, 13}};

const COLORREF kEffectDefaultColours[] = {0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFF0000,
                                          0xFFFF00, 0x000000, 0xFFFFFF, 0x000000};

BOOL CALLBACK OfferCaptureWindow(HWND window, LPARAM self)
{
    reinterpret_cast<KeyboardDlg*>(self)->AddCaptureWindowItem(window);
    return TRUE;
}

}  // namespace

void KeyboardDlg::InitEffectPage()
{
    const pages::PagePanel area(*this, 75);
    if (!area) return;
    MControl* page = area.panel();
    const Gdiplus::Color theme(m_textColor);
    const Gdiplus::Color titleColor = pages::TitleColour();
    auto title = [&](UINT id, int text, bool hidden) {
        if (auto* label = As<MText>(area(L"MText", id, LangText(text)))) {
            label->SetTextColor(titleColor);
            label->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
            if (hidden) label->SetVisible(0);
        }
    };
    auto combo = [&](UINT id) {
        auto* box = As<MComboBox>(MakeIn(page, L"MComboBox", id));
        if (box) {
            box->SetImage(L"img_combobox.png", 4);
            box->SetTextColor(theme);
        }
        return box;
    };
    auto edit = [&](UINT id) {
        auto* field = As<MEdit>(MakeIn(page, L"MEdit", id));
        if (field) {
            field->SetImage(L"img_edit.png", 4);
            field->SetTextColor(theme);
            field->SetEditBKColor(0x555555);
            field->SetAlignment(DT_CENTER);
        }
        return field;
    };

    if (auto* background = As<MPicture>(area(L"MPicture", 241))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* line = As<CArea>(area(L"CArea", 243))) line->SetTransparent(0, 0, 0xE6E6E6);
    if (auto* tabs = As<TabCtrlEx>(MakeIn(page, L"TabCtrlEx", 242))) {
        tabs->SetImage(L"img_item.png", 4);
        tabs->SetTextColor(titleColor);
        tabs->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        for (const TextItem& item : kEffectModes) tabs->AddItem(LangText(item.textId), item.data);
    }
    if (auto* label = As<MText>(area(L"MText", 244, LangText(87)))) label->SetTextColor(theme);
    if (auto* swatch = As<CColorButton>(MakeIn(page, L"CColorButton", 245))) {
        swatch->SetColor(0x0000FF);
        swatch->SetGroupName(L"IDC_CUSTOMLIGHT_STC_LIGHTCOLOR");
    }
    if (auto* rainbow = As<CCheckButton>(MakeIn(page, L"CCheckButton", 246, LangText(80)))) {
        rainbow->SetTextColor(theme);
        rainbow->SetImage(L"btn_checkbox.png", 8);
    }
    if (auto* label = As<MText>(area(L"MText", 247, LangText(81)))) label->SetTextColor(theme);
    if (auto* background = As<MPicture>(area(L"MPicture", 248))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    auto* palette = As<CirclePalette>(MakeIn(page, L"CirclePalette", 249));
    if (palette) palette->SetImage(L"img_palette.png", 1);
    const wchar_t* channels[] = {L"R", L"G", L"B"};
    for (UINT i = 0; i < 3; ++i) area(L"MText", 250 + i, channels[i]);
    const COLORREF start = palette ? palette->GetSelectColor() : 0;
    if (palette) palette->SetSelectColor(start);  // the marker on the colour the fields show
    const int bytes[] = {GetRValue(start), GetGValue(start), GetBValue(start)};
    for (UINT i = 0; i < 3; ++i) {
        if (auto* slider = As<MSlider>(MakeIn(page, L"MSlider", 253 + i))) {
            slider->SetMinProgress(0);
            slider->SetMaxProgress(255);
            slider->SetProgress(bytes[i]);
        }
    }
    for (UINT i = 0; i < 3; ++i) {
        if (auto* field = edit(256 + i)) {
            wchar_t text[16];
            swprintf(text, 16, L"%d", bytes[i]);
            field->SetEditText(text);
        }
    }
    for (UINT i = 0; i < 9; ++i) {
        if (auto* swatch = As<CColorButton>(MakeIn(page, L"CColorButton", 259 + i))) {
            swatch->SetGroupName(L"IDC_NIMBREL_STC_DEFAULTCOLOR");
            swatch->SetColor(kEffectDefaultColours[i]);
        }
    }
    if (auto* label = As<MText>(area(L"MText", 268, LangText(610)))) {
        label->SetTextColor(theme);
        label->SetVisible(0);
    }
    if (auto* windows = combo(269)) windows->SetVisible(0);
    title(273, 615, false);
    if (auto* presets = combo(274)) {
        for (const TextItem& item : kEffectPresets)
            presets->AddItem(LangText(item.textId), item.data);
        presets->SetCurSel(0);
    }
    title(275, 650, false);
    if (auto* games = combo(276)) {
        games->AddItem(L"CSGO", 1);
        games->SetCurSel(0);
    }
    title(270, 670, true);
    if (auto* file = edit(271)) file->SetVisible(0);
    if (auto* browse = As<MButton>(MakeIn(page, L"MButton", 272, LangText(671)))) {
        browse->SetImage(L"img_button.png", 4);
        browse->SetVisible(0);
    }
}

void KeyboardDlg::LayoutEffectPage(CRect client)
{
    const int W = client.right;
    const int H = client.bottom;
    const struct
    {
        UINT id;
        CRect rect;
    } places[] = {
        {241, CRect(280, H - 350, W - 2, H - 2)}, {242, CRect(306, H - 306, 466, H - 106)},
        {243, CRect(466, H - 305, 467, H - 30)},  {270, CRect(660, H - 260, 780, H - 230)},
        {271, CRect(660, H - 230, 960, H - 200)}, {272, CRect(970, H - 230, 1090, H - 200)},
    };
    for (const auto& place : places)
        if (MControl* control = Ctl(place.id)) control->SetRect(place.rect);
}

LONG KeyboardDlg::OnEffectModeChanged()
{
    auto* tabs = CtlAs<TabCtrlEx>(242);
    auto* preview = CtlAs<NimbrelEffect>(59);
    if (m_effectMode == 1) m_visualizer.SetActive(false);
    m_effectMode = tabs ? tabs->GetCurData() : 0;
    if (preview) preview->SetNimbrelMode(m_effectMode);
    wchar_t text[16];
    swprintf(text, 16, L"%d", m_effectMode);
    Db().SetConfigValue(m_currentProfile, L"nimbrel_mode", text);

    ShowVisualizerControls(false);
    ShowMusicLayerChecks(false);
    ShowMusicLayerColors(false);
    HideEffectColorControls();
    ShowIds({268, 269}, false);
    ShowEffectFileControls(false);
    ShowGameKeyControls(false);
    ShowPresetControls(false);
    switch (m_effectMode) {
        case 1:
            ShowVisualizerControls(true);
            m_visualizer.SetActive(true);
            break;
        case 2:
            ShowMusicLayerChecks(true);
            ShowMusicLayerColors(true);
            break;
        case 4:
            ShowIds({268, 269}, true);
            if (auto* windows = CtlAs<MComboBox>(269)) {
                windows->DelAllItems();
                EnumWindows(OfferCaptureWindow, reinterpret_cast<LPARAM>(this));
                windows->SetCurSel(0);
            }
            break;
        case 5: ShowEffectFileControls(true); break;
        case 6: ShowGameKeyControls(true); break;
        case 7: ShowPresetControls(true); break;
        default: break;
    }
    return 1;
}

void KeyboardDlg::AddCaptureWindowItem(HWND window)
{
    auto* windows = CtlAs<MComboBox>(269);
    if (!windows || !::IsWindowVisible(window)) return;
    RECT client = {};
    if (!::GetClientRect(window, &client)) return;
    if (client.right - client.left < 100 || client.bottom - client.top < 100) return;
    wchar_t title[512] = {};
    if (::GetWindowTextW(window, title, 512) <= 0 || !title[0]) return;
    windows->AddItem(title, long(reinterpret_cast<LONG_PTR>(window)));
}

LONG KeyboardDlg::OnCaptureWindowSelect()
{
    auto* windows = CtlAs<MComboBox>(269);
    auto* preview = CtlAs<NimbrelEffect>(59);
    if (!windows || !preview) return 1;
    HWND window = reinterpret_cast<HWND>(LONG_PTR(windows->GetCurData()));
    if (window && ::IsWindow(window)) preview->SetCaptureWindow(window);
    return 1;
}

bool KeyboardDlg::ChoosePicture(std::wstring& path)
{
    if (m_pictureChooser) return m_pictureChooser(m_pictureChooserContext, path);
    wchar_t file[512] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter =
        L"Image Files (*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.mp4)\0"
        L"*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.mp4\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = 512;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&dialog)) return false;
    path = file;
    return true;
}

LONG KeyboardDlg::OnEffectFileButton()
{
    std::wstring path;
    if (!ChoosePicture(path)) return 0;
    if (path.empty() || !PathFileExistsW(path.c_str())) return 0;
    if (auto* preview = CtlAs<NimbrelEffect>(59)) preview->SetGIFImage(path.c_str());
    if (auto* field = CtlAs<MEdit>(271)) field->SetEditText(path.c_str());
    return 1;
}

LONG KeyboardDlg::OnEffectPresetSelect()
{
    auto* presets = CtlAs<MComboBox>(274);
    auto* preview = CtlAs<NimbrelEffect>(59);
    if (presets && preview) preview->SetPresetMode(int(presets->GetCurData()));
    return 1;
}
