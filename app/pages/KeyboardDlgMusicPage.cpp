// KeyboardDlg: the music controls of the effect page (panel 75): the light-layer
// checks and their colour (mode 2) and the visualiser's schemes, amplitude and
// brightnesses (mode 1), stored in the profile's music row.
//
// The visualiser's settings are atomics that its render thread reads at the
// start of each frame, so the handlers change them directly: the window never
// waits for the render thread.
#include <windows.h>

#include <cwchar>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CirclePalette.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MPicture.h"
#include "MSlider.h"
#include "MText.h"
#include "NimbrelEffect.h"
#include "TabCtrlEx.h"
#include "pages/EffectSampling.h"
#include "mainwnd/KeyboardDlg.h"
#include "pages/PagePanel.h"
#include "pages/NumberField.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

using pages::As;
using pages::Db;
using pages::TextItem;

const TextItem kForeSchemes[] = {{119, 22}, {106, 1}, {107, 2}, {108, 3}, {109, 4},  {110, 5},
                                 {111, 6},  {112, 7}, {113, 8}, {114, 9}, {115, 10}, {118, 11}};
const TextItem kBackSchemes[] = {{117, 0},  {111, 6}, {112, 7}, {113, 8}, {114, 9}, {118, 11},
                                 {115, 10}, {106, 1}, {107, 2}, {108, 3}, {109, 4}, {110, 5}};
const ColourFields kMusicFields = {181, 182, 183};
const COLORREF kMusicDefaultColours[] = {0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFF0000,
                                         0xFFFF00, 0xFF00FF, 0xFFFFFF, 0xFF00FF};

}  // namespace

void KeyboardDlg::InitMusicPage()
{
    const pages::PagePanel area(*this, 75);
    if (!area) return;
    MControl* page = area.panel();
    const Gdiplus::Color theme(m_textColor);
    const Gdiplus::Color titleColor = pages::TitleColour();
    auto text = [&](UINT id, const wchar_t* title) {
        if (auto* label = As<MText>(area(L"MText", id, title))) label->SetTextColor(theme);
    };
    auto heading = [&](UINT id, int textId) {
        if (auto* label = As<MText>(area(L"MText", id, LangText(textId)))) {
            label->SetTextColor(titleColor);
            label->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        }
    };
    auto combo = [&](UINT id, const TextItem* items, size_t count) {
        if (auto* box = As<MComboBox>(MakeIn(page, L"MComboBox", id))) {
            box->SetImage(L"img_combobox.png", 4);
            box->SetTextColor(theme);
            for (size_t i = 0; i < count; ++i)
                box->AddItem(LangText(items[i].textId), items[i].data);
            box->SetCurSel(0);
        }
    };
    auto slider = [&](UINT id, int position) {
        if (auto* bar = As<MSlider>(MakeIn(page, L"MSlider", id))) {
            bar->SetTextColor(theme);
            bar->SetMinProgress(0);
            bar->SetMaxProgress(100);
            bar->SetProgress(position);
        }
    };

    if (auto* back = As<CRoundArea>(area(L"CRoundArea", 160)))
        back->SetColor(Gdiplus::Color(0xC80F171D));
    for (UINT id = 161; id <= 172; ++id) {
        if (auto* check = As<CCheckButton>(
                MakeIn(page, L"CCheckButton", id, LangText(680 + int(id - 161))))) {
            check->SetTextColor(theme);
            check->SetImage(L"btn_checkbox.png", 8);
        }
    }
    if (auto* swatch = As<CColorButton>(MakeIn(page, L"CColorButton", 173))) {
        swatch->SetColor(0x0000FF);
        swatch->SetGroupName(L"IDC_CUSTOMLIGHT_STC_LIGHTCOLOR");
    }
    if (auto* colourful = As<CCheckButton>(MakeIn(page, L"CCheckButton", 174, LangText(189)))) {
        colourful->SetTextColor(theme);
        colourful->SetImage(L"btn_checkbox.png", 8);
    }
    text(175, LangText(190));
    if (auto* background = As<MPicture>(area(L"MPicture", 176))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* palette = As<CirclePalette>(MakeIn(page, L"CirclePalette", 177)))
        palette->SetImage(L"img_palette.png", 1);
    const wchar_t* channels[] = {L"R", L"G", L"B"};
    for (UINT i = 0; i < 3; ++i) text(178 + i, channels[i]);
    for (UINT i = 0; i < 3; ++i) {
        if (auto* field = As<MEdit>(MakeIn(page, L"MEdit", 181 + i))) {
            field->SetImage(L"img_edit.png", 4);
            field->SetTextColor(theme);
            field->SetEditBKColor(0xFFFFFF);
            field->SetAlignment(DT_CENTER);
        }
    }
    for (UINT i = 0; i < 9; ++i) {
        if (auto* swatch = As<CColorButton>(MakeIn(page, L"CColorButton", 184 + i))) {
            swatch->SetGroupName(L"IDC_LIGHT_STC_DEFAULTCOLOR");
            swatch->SetColor(kMusicDefaultColours[i]);
        }
    }
    heading(193, 102);
    combo(194, kForeSchemes, sizeof(kForeSchemes) / sizeof(kForeSchemes[0]));
    text(195, LangText(103));
    slider(196, 60);
    heading(199, 104);
    combo(200, kBackSchemes, sizeof(kBackSchemes) / sizeof(kBackSchemes[0]));
    text(201, LangText(105));
    slider(202, 100);
    text(197, LangText(191));
    slider(198, 100);

    // The single colour starts as the swatch shows it: the fields, the wheel's
    // marker and the layers' colour (used once the rainbow is turned off) agree.
    const COLORREF start = 0x0000FF;
    ShowColour(*this, kMusicFields, start);
    if (auto* palette = CtlAs<CirclePalette>(177)) palette->SetSelectColor(start);
    if (auto* preview = CtlAs<NimbrelEffect>(59)) preview->SetMusicColor(start);

    ShowMusicLayerChecks(true);
    HideEffectColorControls();
}

void KeyboardDlg::LayoutMusicPage(CRect client)
{
    const int H = client.bottom;
    auto place = [&](UINT id, int left, int top, int right, int bottom) {
        if (MControl* control = Ctl(id)) control->SetRect(CRect(left, top, right, bottom));
    };
    for (int i = 0; i < 6; ++i) {
        place(161 + i, 500, H - 280 + 36 * i, 660, H - 250 + 36 * i);
        place(167 + i, 660, H - 280 + 36 * i, 820, H - 250 + 36 * i);
    }
    place(174, 850, H - 280, 970, H - 250);
    place(173, 970, H - 280, 1020, H - 250);
    // The card holds the wheel, the three fields and the seven swatches, with
    // the wheel's margin at both ends.
    place(176, 850, H - 250, 1330, H - 80);
    place(177, 870, H - 230, 978, H - 122);
    for (int i = 0; i < 3; ++i) {
        place(178 + i, 990 + 110 * i, H - 220, 1020 + 110 * i, H - 190);
        place(181 + i, 1020 + 110 * i, H - 220, 1080 + 110 * i, H - 190);
    }
    for (int i = 0; i < 7; ++i) place(184 + i, 990 + 47 * i, H - 170, 1026 + 47 * i, H - 134);
    place(193, 600, H - 260, 760, H - 230);
    place(194, 600, H - 230, 860, H - 200);
    place(195, 600, H - 180, 800, H - 150);
    place(196, 600, H - 150, 860, H - 110);
    place(197, 600, H - 100, 800, H - 70);
    place(198, 600, H - 70, 860, H - 30);
    place(199, 900, H - 260, 1060, H - 230);
    place(200, 900, H - 230, 1160, H - 200);
    place(201, 900, H - 180, 1100, H - 150);
    place(202, 900, H - 150, 1160, H - 110);
}

void KeyboardDlg::ComputeSpectrumSamples()
{
    ::ComputeSpectrumSamples(m_keyGridRows, m_keyGridColumns, m_spectrumRowY, m_spectrumColumnX);
}

void KeyboardDlg::LoadMusicLayer(int layerId)
{
    auto* fore = CtlAs<MComboBox>(194);
    auto* back = CtlAs<MComboBox>(200);
    auto* amplitude = CtlAs<MSlider>(196);
    auto* backBrightness = CtlAs<MSlider>(202);
    auto* lightBrightness = CtlAs<MSlider>(198);
    if (fore) fore->SetCurSel(0);
    if (back) back->SetCurSel(0);
    if (amplitude) amplitude->SetProgress(60);
    if (backBrightness) backBrightness->SetProgress(100);

    m_visualizer.SetActive(false);
    if (auto* preview = CtlAs<NimbrelEffect>(59)) preview->AddLightLayer(1, CRect());
    if (auto* first = CtlAs<CCheckButton>(161)) first->SetCheck(1);

    MusicLayerData row;
    if (Db().GetMusicLayer(layerId, row)) {
        if (fore) fore->SelectData(row.foremode);
        if (amplitude) amplitude->SetProgress(row.fore_amplitude / 10);
        if (back) back->SelectData(row.backmode);
        if (backBrightness) backBrightness->SetProgress(row.backb_right);
        if (lightBrightness) lightBrightness->SetProgress(row.light_right);
        m_visualizer.SetSourceIndex(0);
        m_visualizer.PushSamples(nullptr, 0);
        m_visualizer.SetAmplitude(row.fore_amplitude);
        m_visualizer.SetBackgroundScheme(row.backmode);
        m_visualizer.SetBackgroundBrightness(row.backb_right);
        m_visualizer.SetForegroundScheme(row.foremode);
        m_visualizer.SetForegroundBrightness(row.light_right);
        SetWaveGain(row.fore_amplitude);
        m_musicForeMode = row.foremode;
    }
    auto* tabs = CtlAs<TabCtrlEx>(242);
    const int mode = tabs ? tabs->GetCurData() : 0;
    if (mode == 1 || mode == 2) m_visualizer.SetActive(true);
}

LONG KeyboardDlg::OnMusicLayerCheck(UINT id)
{
    auto* check = CtlAs<CCheckButton>(id);
    auto* preview = CtlAs<NimbrelEffect>(59);
    if (!check || !preview) return 1;
    if (check->GetCheck())
        preview->AddLightLayer(int(id) - 160, CRect());
    else
        preview->DeleteLightLayer(int(id) - 160);
    return 1;
}

LONG KeyboardDlg::OnMusicColorfulCheck()
{
    auto* colourful = CtlAs<CCheckButton>(174);
    if (auto* preview = CtlAs<NimbrelEffect>(59))
        preview->SetMusicColorful(colourful && colourful->GetCheck());
    return 1;
}

// A single colour was chosen: the rainbow check goes off.
static void EndColourful(KeyboardDlg& dlg)
{
    auto* colourful = dlg.CtlAs<CCheckButton>(174);
    if (!colourful || !colourful->GetCheck()) return;
    colourful->SetCheck(0);
    if (auto* preview = dlg.CtlAs<NimbrelEffect>(59)) preview->SetMusicColorful(false);
}

// The colour shown as the current one: the swatch, and the wheel's marker
// unless the wheel itself picked it.
static void ShowMusicColour(KeyboardDlg& dlg, COLORREF colour, bool fromWheel)
{
    if (auto* swatch = dlg.CtlAs<CColorButton>(173)) swatch->SetColor(colour);
    if (fromWheel) return;
    if (auto* palette = dlg.CtlAs<CirclePalette>(177)) palette->SetSelectColor(colour);
}

// A colour picked on the palette or a default swatch: the fields show it, the
// preview takes it and the rainbow goes off.
static void PickMusicColour(KeyboardDlg& dlg, COLORREF colour, bool fromWheel)
{
    ShowColour(dlg, kMusicFields, colour);
    ShowMusicColour(dlg, colour, fromWheel);
    if (auto* preview = dlg.CtlAs<NimbrelEffect>(59)) preview->SetMusicColor(colour);
    EndColourful(dlg);
}

LONG KeyboardDlg::OnMusicPaletteColor(UINT, UINT_PTR, LONG_PTR)
{
    if (auto* palette = CtlAs<CirclePalette>(177))
        PickMusicColour(*this, palette->GetSelectColor(), true);
    return 1;
}

LONG KeyboardDlg::OnMusicDefaultColor(UINT id)
{
    auto* swatch = CtlAs<CColorButton>(id);
    if (!swatch) return 0;
    PickMusicColour(*this, swatch->GetColor(), false);
    return 1;
}

void KeyboardDlg::ApplyMusicEditColor()
{
    const COLORREF colour = FieldsColour(*this, kMusicFields);
    ShowMusicColour(*this, colour, false);
    if (auto* preview = CtlAs<NimbrelEffect>(59)) preview->SetMusicColor(colour);
}

static LONG MusicChannelEdit(KeyboardDlg& dlg, UINT id, UINT code)
{
    return ChannelEdited(dlg, id, code, [&dlg] {
        dlg.ApplyMusicEditColor();
        EndColourful(dlg);
    });
}

LONG KeyboardDlg::OnMusicRedEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return MusicChannelEdit(*this, 181, code);
}

LONG KeyboardDlg::OnMusicGreenEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return MusicChannelEdit(*this, 182, code);
}

LONG KeyboardDlg::OnMusicBlueEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return MusicChannelEdit(*this, 183, code);
}

// One field of the profile's music row changed (no row: nothing is stored).
static void StoreMusicField(int profile, int MusicLayerData::*field, int value)
{
    MusicLayerData row;
    if (!Db().GetMusicLayer(profile, row)) return;
    row.*field = value;
    Db().UpdateMusicLayer(profile, row);
}

LONG KeyboardDlg::OnMusicForeModeSelect()
{
    auto* fore = CtlAs<MComboBox>(194);
    if (!fore) return 1;
    const int scheme = int(fore->GetCurData());
    m_visualizer.SetForegroundScheme(scheme);
    m_visualizer.SetActive(true);
    m_musicForeMode = scheme;
    StoreMusicField(m_currentProfile, &MusicLayerData::foremode, scheme);
    return 1;
}

LONG KeyboardDlg::OnMusicForeAmplitudeSlider()
{
    auto* slider = CtlAs<MSlider>(196);
    if (!slider) return 1;
    const int amplitude = slider->GetProgress() * 10;
    m_visualizer.SetAmplitude(amplitude);
    m_visualizer.SetActive(true);
    SetWaveGain(amplitude);
    StoreMusicField(m_currentProfile, &MusicLayerData::fore_amplitude, amplitude);
    return 1;
}

LONG KeyboardDlg::OnMusicBackModeSelect()
{
    auto* back = CtlAs<MComboBox>(200);
    if (!back) return 1;
    const int scheme = int(back->GetCurData());
    m_visualizer.SetBackgroundScheme(scheme);
    m_visualizer.SetActive(true);
    StoreMusicField(m_currentProfile, &MusicLayerData::backmode, scheme);
    return 1;
}

LONG KeyboardDlg::OnMusicBackBrightnessSlider()
{
    auto* slider = CtlAs<MSlider>(202);
    if (!slider) return 1;
    const int percent = slider->GetProgress();
    m_visualizer.SetBackgroundBrightness(percent);
    m_visualizer.SetActive(true);
    StoreMusicField(m_currentProfile, &MusicLayerData::backb_right, percent);
    return 1;
}

LONG KeyboardDlg::OnMusicLightBrightnessSlider()
{
    auto* slider = CtlAs<MSlider>(198);
    if (!slider) return 1;
    const int percent = slider->GetProgress();
    m_visualizer.SetForegroundBrightness(percent);
    m_visualizer.SetActive(true);
    StoreMusicField(m_currentProfile, &MusicLayerData::light_right, percent);
    return 1;
}
