// KeyboardDlg: the matrix-screen page (panel 76). The profile's matrix modes
// are its light rows of type 16; the page shows the active one's settings,
// drives the preview (277) and queues the tasks that write the mode (13), read
// (14) and write (15) the painted picture. In the preset mode 128 the worker
// streams the preview's frames.
#include <windows.h>

#include <cwchar>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CSwitchButton.h"
#include "CirclePalette.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MPicture.h"
#include "MSlider.h"
#include "MText.h"
#include "MatrixScreen.h"
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

const int kMatrixType = 16;
const ColourFields kMatrixFields = {308, 309, 310};

// Presets of mode 128 (from 22 on the music presets, which take an amplitude).
const TextItem kMatrixPresets[] = {{921, 4},  {922, 22}, {923, 23}, {924, 24}, {925, 25},
                                   {926, 26}, {927, 27}, {928, 2},  {929, 6},  {930, 7},
                                   {931, 8},  {932, 9},  {933, 10}, {934, 12}, {935, 13},
                                   {936, 14}, {937, 16}, {938, 21}};
const int kFirstMusicPreset = 22;

struct DefaultMode
{
    int mode;
    const wchar_t* name;
    int caps;
};
const DefaultMode kDefaultModes[] = {{0, L"900", 0x13},  {1, L"901", 0x33},   {2, L"902", 0x33},
                                     {3, L"903", 0x33},  {4, L"904", 0x33},   {5, L"905", 0x131},
                                     {6, L"906", 0x131}, {128, L"907", 0x433}};

const COLORREF kMatrixDefaultColours[] = {0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFF0000,
                                          0xFFFF00, 0xFF00FF, 0xFFFFFF, 0xFF00FF};

int ConfigNumber(int profile, const wchar_t* key)
{
    CString value;
    Db().GetConfigValue(profile, key, value);
    return int(wcstol(value, nullptr, 10));
}

void StoreConfigNumber(int profile, const wchar_t* key, int number)
{
    wchar_t text[16];
    swprintf(text, 16, L"%d", number);
    Db().SetConfigValue(profile, key, text);
}

// A slider's maximum from a limit the keyboard reports; a keyboard that
// reports none (0) leaves the slider as it was.
void SetSliderLimit(MSlider* slider, int limit)
{
    if (slider && limit > 0) slider->SetMaxProgress(limit);
}

// The preview of a mode the keyboard runs by itself (only the preset mode's
// frames are streamed): breathing, rainbow, ripple and music pulse run the
// preview's animation of that kind; the other modes light every cell in the
// mode's colour (across the columns' hues when the mode is colourful), so the
// preview is never a dark screen while the keyboard's is lit.
void PreviewOwnMode(MatrixScreen* screen, int profile, int mode)
{
    if (!screen) return;
    const int animation = mode == 1 ? 7 : mode == 2 ? 6 : mode == 3 ? 8 : mode == 6 ? 24 : 0;
    screen->SetPresetMode(animation);
    LightData row;
    if (animation != 0 || !Db().GetLight(profile, kMatrixType, mode, row)) return;
    // The rainbow counts only where the mode offers it.
    const bool rainbow = row.colorful == 1 && (row.config_func & 0x20) != 0;
    for (int x = 0; x < 7; ++x) {
        const COLORREF colour =
            rainbow ? screen->HSVtoRGB(x * 360 / 7, 255, 255) : COLORREF(row.color_value);
        for (int y = 0; y < 7; ++y) screen->SetPixelColor(x, y, colour);
    }
    screen->UpdateControl(1, 0);
}

}  // namespace

static void FollowOwnMode(KeyboardDlg& dlg);

void KeyboardDlg::InitMatrixScreenPage()
{
    const pages::PagePanel area(*this, 76);
    if (!area) return;
    MControl* page = area.panel();
    const Gdiplus::Color theme(m_textColor);
    const Gdiplus::Color titleColor = pages::TitleColour();
    auto text = [&](UINT id, const wchar_t* title) {
        if (auto* label = As<MText>(area(L"MText", id, title))) label->SetTextColor(theme);
        return Ctl(id);
    };
    auto heading = [&](UINT id, int textId, const wchar_t* face, int size,
                       Gdiplus::FontStyle style) {
        if (auto* label = As<MText>(area(L"MText", id, LangText(textId)))) {
            label->SetTextColor(titleColor);
            label->SetFont(face, size, style);
        }
        return Ctl(id);
    };
    auto slider = [&](UINT id, Gdiplus::Color colour, int low, int high, int position) {
        auto* bar = As<MSlider>(MakeIn(page, L"MSlider", id));
        if (bar) {
            bar->SetTextColor(colour);
            bar->SetMinProgress(low);
            bar->SetMaxProgress(high);
            bar->SetProgress(position);
        }
        return bar;
    };
    auto onOff = [&](UINT id) {
        if (auto* button = As<CSwitchButton>(MakeIn(page, L"CSwitchButton", id)))
            button->SetImage(L"img_switch_on.png", L"img_switch_off.png", 4);
    };

    if (auto* background = As<MPicture>(area(L"MPicture", 281))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* screen = As<MatrixScreen>(MakeIn(page, L"MatrixScreen", 277))) {
        screen->Initialize();
        screen->AddMTimer();
    }
    if (MControl* label = heading(278, 920, L"Roboto-Medium", 16, Gdiplus::FontStyleRegular))
        label->SetVisible(0);
    if (auto* presets = As<MComboBox>(MakeIn(page, L"MComboBox", 279))) {
        presets->SetImage(L"img_combobox.png", 4);
        presets->SetTextColor(theme);
        for (const TextItem& item : kMatrixPresets)
            presets->AddItem(LangText(item.textId), item.data);
        presets->SetCurSel(0);
        presets->SetVisible(0);
    }
    if (auto* tabs = As<TabCtrlEx>(MakeIn(page, L"TabCtrlEx", 280))) {
        tabs->SetImage(L"img_item.png", 4);
        tabs->SetTextColor(titleColor);
        tabs->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        for (int i = 0; i < 3; ++i) tabs->AddItem(LangText(170 + i), i);
    }
    if (auto* line = As<CArea>(area(L"CArea", 282))) line->SetTransparent(0, 0, 0xE6E6E6);
    for (UINT id : {283u, 284u})
        if (auto* round = As<CRoundArea>(area(L"CRoundArea", id)))
            round->SetColor(Gdiplus::Color(0xFA515151));
    heading(285, 175, L"Roboto-Medium", 16, Gdiplus::FontStyleBold);
    onOff(286);
    if (auto* modes = As<MComboBox>(MakeIn(page, L"MComboBox", 289))) {
        modes->SetImage(L"img_combobox.png", 4);
        modes->SetTextColor(theme);
    }
    text(287, LangText(176));
    onOff(288);
    heading(290, 177, L"Roboto-Bold", 14, Gdiplus::FontStyleBold);
    if (auto* swatch = As<CColorButton>(MakeIn(page, L"CColorButton", 300))) {
        swatch->SetColor(0x0000FF);
        swatch->SetVisibleBorder(true);
        swatch->SetGroupName(L"IDC_CUSTOMLIGHT_STC_LIGHTCOLOR");
    }
    if (auto* colourful = As<CCheckButton>(MakeIn(page, L"CCheckButton", 301, LangText(189)))) {
        colourful->SetTextColor(theme);
        colourful->SetImage(L"btn_checkbox.png", 8);
    }
    text(302, LangText(190));
    if (auto* background = As<MPicture>(area(L"MPicture", 303))) {
        background->SetImage(L"img_area.png", 1);
        background->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    auto* palette = As<CirclePalette>(MakeIn(page, L"CirclePalette", 304));
    if (palette) palette->SetImage(L"img_palette.png", 1);
    const wchar_t* channels[] = {L"R", L"G", L"B"};
    for (UINT i = 0; i < 3; ++i) text(305 + i, channels[i]);
    for (UINT i = 0; i < 3; ++i) {
        if (auto* field = As<MEdit>(MakeIn(page, L"MEdit", 308 + i))) {
            field->SetImage(L"img_edit.png", 4);
            field->SetTextColor(theme);
            field->SetEditBKColor(0xFFFFFF);
            field->SetAlignment(DT_CENTER);
        }
    }
    for (UINT i = 0; i < 9; ++i) {
        if (auto* swatch = As<CColorButton>(MakeIn(page, L"CColorButton", 311 + i))) {
            swatch->SetGroupName(L"IDC_MATRIXSCREEN_STC_DEFAULTCOLOR");
            swatch->SetColor(kMatrixDefaultColours[i]);
        }
    }
    heading(291, 191, L"Roboto-Medium", 16, Gdiplus::FontStyleBold);
    slider(292, Gdiplus::Color(0xFF4977E4), 1, 100, 50);
    heading(293, 192, L"Roboto-Medium", 16, Gdiplus::FontStyleBold);
    slider(294, Gdiplus::Color(0xFF4977E4), 1, 6, 5);
    text(295, LangText(193));
    const wchar_t* arrows[] = {L"img_direction_left.png", L"img_direction_right.png",
                               L"img_direction_top.png", L"img_direction_bottom.png"};
    for (UINT i = 0; i < 4; ++i) {
        if (auto* radio = As<CRadioButton>(MakeIn(page, L"CRadioButton", 296 + i))) {
            radio->SetImage(arrows[i], 8);
            radio->SetGroupName(L"GROUP_LIGHT_DIRECTION");
        }
    }
    if (MControl* label = text(320, LangText(103))) label->SetVisible(0);
    if (MSlider* amplitude = slider(321, theme, 0, 100, 60)) amplitude->SetVisible(0);

    const COLORREF start = palette ? palette->GetSelectColor() : 0;
    ShowColour(*this, kMatrixFields, start);
    if (palette) palette->SetSelectColor(start);
}

void KeyboardDlg::LayoutMatrixScreenPage(CRect client)
{
    const int W = client.right;
    const int H = client.bottom;
    auto place = [&](UINT id, int left, int top, int right, int bottom) {
        if (MControl* control = Ctl(id)) control->SetRect(CRect(left, top, right, bottom));
    };
    place(277, 580, 100, 900, 420);
    place(278, 940, 100, 1060, 130);
    place(279, 940, 130, 1240, 160);
    place(281, 280, H - 350, W - 2, H - 2);
    place(285, 420, H - 300, 720, H - 264);
    place(289, 420, H - 264, 720, H - 228);
    place(291, 420, H - 200, 650, H - 170);
    place(292, 422, H - 170, 720, H - 130);
    place(293, 420, H - 120, 650, H - 90);
    place(320, 420, H - 120, 650, H - 90);
    place(294, 422, H - 90, 720, H - 50);
    place(321, 422, H - 90, 720, H - 50);
    place(290, 860, H - 300, 1160, H - 264);
    place(301, 860, H - 250, 980, H - 220);
    place(300, 980, H - 250, 1030, H - 220);
    // The card holds the wheel, the three fields and the seven swatches, with
    // the wheel's margin at both ends.
    place(303, 860, H - 220, 1340, H - 50);
    place(304, 880, H - 200, 988, H - 92);
    for (int i = 0; i < 3; ++i) {
        place(305 + i, 1000 + 110 * i, H - 190, 1030 + 110 * i, H - 160);
        place(308 + i, 1030 + 110 * i, H - 190, 1090 + 110 * i, H - 160);
    }
    for (int i = 0; i < 7; ++i) place(311 + i, 1000 + 47 * i, H - 140, 1036 + 47 * i, H - 104);
}

void KeyboardDlg::SeedDefaultMatrixModes()
{
    const int profile = m_currentProfile;
    for (const DefaultMode& mode : kDefaultModes) {
        LightData row;
        row.profile = profile;
        row.name = mode.name;
        row.type = kMatrixType;
        row.mode = mode.mode;
        row.brightness = 80;
        row.speed = 3;
        row.direction = 0;
        row.colorful = 1;
        row.colorindex = 0;
        row.color_value = 0x0000FF;
        row.config_func = mode.caps;
        row.reserved = 0;
        row.status = 0;
        Db().AddLight(row);
    }
    Db().SetActiveLightMode(profile, kMatrixType, 1);
}

void KeyboardDlg::LoadMatrixModes()
{
    const int profile = m_currentProfile;
    SetSliderLimit(CtlAs<MSlider>(292), m_deviceInfo.matrixBrightnessLimit);
    SetSliderLimit(CtlAs<MSlider>(294), m_deviceInfo.matrixSpeedLimit);
    auto* modes = CtlAs<MComboBox>(289);
    if (modes) modes->DelAllItems();
    std::vector<LightData*> rows;
    Db().GetLights(profile, kMatrixType, rows);
    if (rows.empty()) {
        SeedDefaultMatrixModes();
        Db().GetLights(profile, kMatrixType, rows);
    }
    for (const LightData* row : rows)
        if (modes) modes->AddItem(LangText(int(wcstol(row->name, nullptr, 10))), row->mode);
    for (LightData* row : rows) delete row;

    m_matrixMode = Db().GetActiveLightMode(profile, kMatrixType);
    if (modes) modes->SelectData(m_matrixMode);
    ShowMatrixModeControls();
    auto* screen = CtlAs<MatrixScreen>(277);
    if (m_matrixMode == 128) {
        auto* presets = CtlAs<MComboBox>(279);
        int preset = ConfigNumber(profile, L"matrixlight_preset_mode");
        // A stored preset the list does not offer (the new profile's "1")
        // stands for the list's first item, never for the paint mode.
        if (presets) {
            if (presets->FindData(preset) < 0) {
                presets->SetCurSel(0);
                preset = int(presets->GetCurData());
            } else {
                presets->SelectData(preset);
            }
        }
        if (screen) screen->SetPresetMode(preset);
        ShowIds({278, 279}, true);
        ShowMatrixPresetControls();
        m_matrixStreaming = 1;
    } else if (m_matrixMode == 5) {
        if (screen) screen->SetPresetMode(1);
        AppendTask(TASK_WRITE_MATRIX_MODE);
        AppendTask(TASK_READ_MATRIX_COLORS);
        m_matrixStreaming = 0;
    } else {
        PreviewOwnMode(screen, profile, m_matrixMode);
        m_matrixStreaming = 0;
    }
}

void KeyboardDlg::EnableMatrixColorControls(bool on)
{
    for (UINT id = 304; id <= 310; ++id)
        if (id >= 308 || id == 304)
            if (MControl* control = Ctl(id)) control->SetEnabled(on ? 1 : 0);
    for (UINT id = 311; id <= 319; ++id)
        if (MControl* control = Ctl(id)) control->SetEnabled(on ? 1 : 0);
}

void KeyboardDlg::ShowMatrixModeControls()
{
    if (m_currentPage != 3) return;
    LightData row;
    if (!Db().GetLight(m_currentProfile, kMatrixType, m_matrixMode, row)) return;
    const int caps = row.config_func;
    auto* screen = CtlAs<MatrixScreen>(277);
    auto* brightness = CtlAs<MSlider>(292);
    auto* speed = CtlAs<MSlider>(294);

    ShowIds({291, 292}, (caps & 0x01) != 0);
    if (caps & 0x01) {
        if (brightness) brightness->SetProgress(row.brightness);
        const int limit = m_deviceInfo.matrixBrightnessLimit > 0
                              ? m_deviceInfo.matrixBrightnessLimit
                              : (brightness ? brightness->GetMaxProgress() : 100);
        if (screen) screen->SetBrightness(MatrixBrightness(row.brightness, limit));
    } else if (brightness) {
        brightness->SetProgress(0);
    }
    ShowIds({293, 294}, (caps & 0x02) != 0);
    if (caps & 0x02) {
        if (speed) speed->SetProgress(row.speed);
        if (screen) screen->SetAnimationSpeed(float(row.speed));
    } else if (speed) {
        speed->SetProgress(0);
    }
    ShowIds({300, 301}, (caps & 0x20) != 0);
    if (caps & 0x20) {
        if (auto* swatch = CtlAs<CColorButton>(300)) swatch->SetColor(COLORREF(row.color_value));
        if (auto* colourful = CtlAs<CCheckButton>(301)) colourful->SetCheck(row.colorful == 1);
        if (screen) {
            screen->SetMatrixScreenColorful(row.colorful == 1);
            screen->SetMatrixScreenColor(COLORREF(row.color_value));
        }
    }
    EnableMatrixColorControls((caps & (0x10 | 0x100 | 0x400)) != 0);
    if (caps & 0x10) {
        const COLORREF shown = row.colorful == 1 ? 0x0000FF : COLORREF(row.color_value);
        ShowColour(*this, kMatrixFields, shown);
        if (auto* palette = CtlAs<CirclePalette>(304)) palette->SetSelectColor(shown);
    }
    ShowIds({278, 279}, (caps & 0x400) != 0);
    if (caps & 0x400) {
        const int preset = ConfigNumber(m_currentProfile, L"matrixlight_preset_mode");
        if (auto* presets = CtlAs<MComboBox>(279))
            if (presets->FindData(preset) >= 0) presets->SelectData(preset);
    }
}

void KeyboardDlg::ShowMatrixPresetControls()
{
    if (m_matrixMode < 128) {
        ShowIds({320, 321}, false);
        return;
    }
    auto* presets = CtlAs<MComboBox>(279);
    const int preset = presets ? int(presets->GetCurData()) : 0;
    if (preset < kFirstMusicPreset) {
        ShowIds({320, 321}, false);
        ShowIds({293, 294}, true);
        return;
    }
    ShowIds({320, 321}, true);
    ShowIds({293, 294}, false);
    if (auto* amplitude = CtlAs<MSlider>(321))
        amplitude->SetProgress(ConfigNumber(m_currentProfile, L"matrixlight_amplitude"));
}

void KeyboardDlg::ApplyMatrixColor(COLORREF colour)
{
    if (auto* swatch = CtlAs<CColorButton>(300)) swatch->SetColor(colour);
    if (m_matrixMode == 5 || m_matrixMode >= 128)
        if (auto* screen = CtlAs<MatrixScreen>(277)) screen->SetMatrixScreenColor(colour);
    LightData row;
    if (Db().GetLight(m_currentProfile, kMatrixType, m_matrixMode, row)) {
        row.color_value = int(colour);
        StoreLight(kMatrixType, m_matrixMode, row);
    }
    // Behind other tasks too (a pick made then would be stored and never sent);
    // quick repeats share the write that is still waiting.
    if (m_matrixMode != 5 && m_matrixMode < 128) {
        m_taskQueue.AppendUnlessQueued(TASK_WRITE_MATRIX_MODE);
        FollowOwnMode(*this);
    }
}

void KeyboardDlg::ApplyMatrixEditColor()
{
    const COLORREF colour = FieldsColour(*this, kMatrixFields);
    if (auto* palette = CtlAs<CirclePalette>(304)) palette->SetSelectColor(colour);
    ApplyMatrixColor(colour);
}

LONG KeyboardDlg::OnMatrixScreenEdit()
{
    if (m_matrixMode == 5) AppendTask(TASK_WRITE_MATRIX_COLORS);
    return 1;
}

LONG KeyboardDlg::OnMatrixPresetSelect()
{
    auto* presets = CtlAs<MComboBox>(279);
    if (!presets) return 1;
    const int preset = int(presets->GetCurData());
    if (auto* screen = CtlAs<MatrixScreen>(277)) screen->SetPresetMode(preset);
    StoreConfigNumber(m_currentProfile, L"matrixlight_preset_mode", preset);
    ShowMatrixPresetControls();
    return 1;
}

LONG KeyboardDlg::OnMatrixEnableSwitch()
{
    auto* on = CtlAs<CSwitchButton>(286);
    if (on && on->GetCheck()) {
        m_matrixMode = Db().GetActiveLightMode(m_currentProfile, kMatrixType);
        StoreConfigValue(PendingWriter::Matrix, L"enable_matrixscreen", L"1");
    } else {
        StoreConfigValue(PendingWriter::Matrix, L"enable_matrixscreen", L"0");
        m_matrixMode = 0;
    }
    ShowMatrixModeControls();
    AppendTask(TASK_WRITE_MATRIX_MODE);
    return 1;
}

LONG KeyboardDlg::OnMatrixModeSelect(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 1;
    auto* modes = CtlAs<MComboBox>(289);
    if (!modes) return 1;
    m_matrixStreaming = 0;
    m_matrixMode = int(modes->GetCurData());
    StoreActiveLightMode(kMatrixType, m_matrixMode);
    ShowMatrixModeControls();
    auto* screen = CtlAs<MatrixScreen>(277);
    auto* presets = CtlAs<MComboBox>(279);
    if (m_matrixMode == 128) {
        m_matrixStreaming = 1;
        if (screen && presets) screen->SetPresetMode(int(presets->GetCurData()));
    } else if (m_matrixMode == 5) {
        if (screen) screen->SetPresetMode(1);
        AppendTask(TASK_WRITE_MATRIX_MODE);
        AppendTask(TASK_READ_MATRIX_COLORS);
    } else {
        PreviewOwnMode(screen, m_currentProfile, m_matrixMode);
        AppendTask(TASK_WRITE_MATRIX_MODE);
    }
    StoreConfigValue(PendingWriter::Matrix, L"enable_matrixscreen", L"1");
    if (auto* on = CtlAs<CSwitchButton>(286)) on->SetCheck(1);
    ShowMatrixPresetControls();
    return 1;
}

// The preview of a mode the keyboard runs by itself follows the row's colour,
// rainbow and brightness as they change.
static void FollowOwnMode(KeyboardDlg& dlg)
{
    const int mode = dlg.m_matrixMode;
    auto* screen = dlg.CtlAs<MatrixScreen>(277);
    LightData row;
    if (!screen || mode == 5 || mode >= 128 ||
        !Db().GetLight(dlg.m_currentProfile, kMatrixType, mode, row))
        return;
    auto* slider = dlg.CtlAs<MSlider>(292);
    const int limit = dlg.m_deviceInfo.matrixBrightnessLimit > 0
                          ? dlg.m_deviceInfo.matrixBrightnessLimit
                          : (slider ? slider->GetMaxProgress() : 100);
    if (row.config_func & 0x01) screen->SetBrightness(MatrixBrightness(row.brightness, limit));
    screen->SetMatrixScreenColorful(row.colorful == 1 && (row.config_func & 0x20) != 0);
    screen->SetMatrixScreenColor(COLORREF(row.color_value));
    if (screen->GetPresetMode() == 0) PreviewOwnMode(screen, dlg.m_currentProfile, mode);
}

LONG KeyboardDlg::OnMatrixColorfulCheck()
{
    LightData row;
    if (!Db().GetLight(m_currentProfile, kMatrixType, m_matrixMode, row)) return 1;
    auto* colourful = CtlAs<CCheckButton>(301);
    const int on = colourful && colourful->GetCheck() ? 1 : 0;
    row.colorful = on;
    if (!on) {
        const COLORREF colour = COLORREF(row.color_value);
        ShowColour(*this, kMatrixFields, colour);
        if (auto* palette = CtlAs<CirclePalette>(304)) palette->SetSelectColor(colour);
        ApplyMatrixColor(colour);
    }
    StoreLight(kMatrixType, m_matrixMode, row);
    if (m_matrixMode < 128) {
        AppendTask(TASK_WRITE_MATRIX_MODE);
        FollowOwnMode(*this);
    } else if (auto* screen = CtlAs<MatrixScreen>(277)) {
        screen->SetMatrixScreenColorful(on == 1);
    }
    return 1;
}

// A single colour was picked: the rainbow check goes off.
static void EndMatrixColourful(KeyboardDlg& dlg)
{
    auto* colourful = dlg.CtlAs<CCheckButton>(301);
    if (!colourful || !colourful->GetCheck()) return;
    colourful->SetCheck(0);
    dlg.OnMatrixColorfulCheck();
}

// The wheel's marker follows a colour that the wheel did not pick itself.
static void PickMatrixColour(KeyboardDlg& dlg, COLORREF colour, bool fromWheel)
{
    ShowColour(dlg, kMatrixFields, colour);
    if (!fromWheel)
        if (auto* palette = dlg.CtlAs<CirclePalette>(304)) palette->SetSelectColor(colour);
    dlg.ApplyMatrixColor(colour);
    EndMatrixColourful(dlg);
}

LONG KeyboardDlg::OnMatrixPaletteColor(UINT, UINT_PTR, LONG_PTR)
{
    if (auto* palette = CtlAs<CirclePalette>(304))
        PickMatrixColour(*this, palette->GetSelectColor(), true);
    return 1;
}

LONG KeyboardDlg::OnMatrixDefaultColor(UINT id)
{
    if (auto* swatch = CtlAs<CColorButton>(id)) PickMatrixColour(*this, swatch->GetColor(), false);
    return 1;
}

static LONG MatrixChannelEdit(KeyboardDlg& dlg, UINT id, UINT code)
{
    return ChannelEdited(dlg, id, code, [&dlg] {
        dlg.ApplyMatrixEditColor();
        EndMatrixColourful(dlg);
    });
}

LONG KeyboardDlg::OnMatrixRedEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return MatrixChannelEdit(*this, 308, code);
}

LONG KeyboardDlg::OnMatrixGreenEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return MatrixChannelEdit(*this, 309, code);
}

LONG KeyboardDlg::OnMatrixBlueEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return MatrixChannelEdit(*this, 310, code);
}

LONG KeyboardDlg::OnMatrixBrightnessSlider()
{
    auto* slider = CtlAs<MSlider>(292);
    LightData row;
    if (!slider || !Db().GetLight(m_currentProfile, kMatrixType, m_matrixMode, row)) return 1;
    row.brightness = slider->GetProgress();
    StoreLight(kMatrixType, m_matrixMode, row);
    if (m_matrixMode < 128) {
        AppendTask(TASK_WRITE_MATRIX_MODE);
        FollowOwnMode(*this);
    } else if (auto* screen = CtlAs<MatrixScreen>(277)) {
        const int limit = m_deviceInfo.matrixBrightnessLimit > 0
                              ? m_deviceInfo.matrixBrightnessLimit
                              : slider->GetMaxProgress();
        screen->SetBrightness(MatrixBrightness(row.brightness, limit));
    }
    return 1;
}

LONG KeyboardDlg::OnMatrixSpeedSlider()
{
    auto* slider = CtlAs<MSlider>(294);
    LightData row;
    if (!slider || !Db().GetLight(m_currentProfile, kMatrixType, m_matrixMode, row)) return 1;
    row.speed = slider->GetProgress();
    StoreLight(kMatrixType, m_matrixMode, row);
    if (m_matrixMode < 128)
        AppendTask(TASK_WRITE_MATRIX_MODE);
    else if (auto* screen = CtlAs<MatrixScreen>(277))
        screen->SetAnimationSpeed(float(row.speed));
    return 1;
}

LONG KeyboardDlg::OnMatrixDirectionRadio(UINT id)
{
    LightData row;
    if (!Db().GetLight(m_currentProfile, kMatrixType, m_matrixMode, row)) return 1;
    const int directions[] = {1, 0, 2, 3};
    row.direction = directions[id - 296];
    StoreLight(kMatrixType, m_matrixMode, row);
    AppendTask(TASK_WRITE_MATRIX_MODE);
    return 1;
}

LONG KeyboardDlg::OnMatrixAmplitudeSlider()
{
    auto* slider = CtlAs<MSlider>(321);
    if (!slider) return 1;
    if (auto* screen = CtlAs<MatrixScreen>(277))
        screen->SetAudioAmplitude(float(slider->GetProgress()));
    StoreConfigNumber(m_currentProfile, L"matrixlight_amplitude", slider->GetProgress());
    return 1;
}
