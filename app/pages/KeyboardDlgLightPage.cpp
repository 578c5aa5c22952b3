// KeyboardDlg: the lighting page (page panel 71): light zones, their modes with
// brightness, speed, direction and colour, the five user modes coloured key by
// key on the keyboard picture, and the live key colours.
#include <algorithm>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CSwitchButton.h"
#include "CirclePalette.h"
#include "KeyboardCtrl.h"
#include "MButton.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MPicture.h"
#include "MSlider.h"
#include "MText.h"
#include "TabCtrlEx.h"
#include "mainwnd/KeyboardDlg.h"
#include "pages/NumberField.h"
#include "pages/PagePanel.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

const UINT kLightPanel = 71;

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

template <class T>
T* As(MControl* control)
{
    return static_cast<T*>(control);
}

// Capability bits of a light mode (config_func).
enum : int {
    kCapBrightness = 0x01,
    kCapSpeed = 0x02,
    kCapLeftRight = 0x04,
    kCapUpDown = 0x08,
    kCapColour = 0x10,
    kCapSingleColour = 0x20,
    kCapUserMode = 0x100,
};

const int kFirstUserMode = 128;
const int kLastUserMode = 132;
// SQLite's result for a statement that ran.
const int kSqlOk = 0;

const COLORREF kPresetColours[] = {0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFF0000,
                                   0xFFFF00, 0xFF00FF, 0xFFFFFF, 0xFF00FF};

// One default light row: zone, mode, name text id, capability bits.
struct SeedRow
{
    int type, mode, name, caps;
};

std::vector<SeedRow> DefaultLightRows(int deviceType)
{
    std::vector<SeedRow> rows;
    for (int mode = 0; mode <= 20; ++mode) {
        int caps = 0x33;
        if (mode == 0)
            caps = 0x00;
        else if (mode == 2 || mode == 6 || mode == 12)
            caps = 0x03;
        else if (mode == 4)
            caps = 0x31;
        rows.push_back({0, mode, 120 + mode, caps});
    }
    for (int mode = 128; mode <= 132; ++mode) rows.push_back({0, mode, 141, 0x111});
    const int zone1[] = {0x33, 0x33, 0x03, 0x33, 0x31};
    for (int mode = 0; mode <= 4; ++mode) rows.push_back({1, mode, 150 + mode, zone1[mode]});
    const int zone2[] = {0x33, 0x33, 0x03, 0x33, deviceType == 103 ? 0x11 : 0x31};
    for (int mode = 0; mode <= 4; ++mode) rows.push_back({2, mode, 160 + mode, zone2[mode]});
    const int zone10[] = {0x33, 0x33, 0x03, 0x33, 0x31};
    for (int mode = 0; mode <= 4; ++mode) rows.push_back({10, mode, 160 + mode, zone10[mode]});
    return rows;
}

// Placement: id, left, top and bottom as H - value, right (W - value when
// negative is not needed here).
using pages::Decimal;
using pages::Place;

// The user mode (128-132) the user chose last in the profile: kept apart from
// the active mode, which a built-in mode takes over. 128 when none was chosen
// (databases of earlier versions have no such value).
const wchar_t kUserModeKey[] = L"user_light_mode";

int ChosenUserMode(int profile)
{
    CString value;
    Db().GetConfigValue(profile, kUserModeKey, value);
    const int mode = _wtoi(value);
    return mode >= kFirstUserMode && mode <= kLastUserMode ? mode : kFirstUserMode;
}

bool LightingOn(int profile)
{
    CString value;
    Db().GetConfigValue(profile, L"enable_light", value);
    return value == L"1";
}

}  // namespace

void KeyboardDef::EnableLightColorControls(BOOL enable)
{
    for (UINT id : {141u, 145u, 146u, 147u})
        if (MControl* control = Ctl(id)) control->SetEnabled(enable ? 1 : 0);
    for (UINT id = 148; id <= 156; ++id)
        if (MControl* control = Ctl(id)) control->SetEnabled(enable ? 1 : 0);
}

void KeyboardDlg::InitLightPage()
{
    MControl* panel = Ctl(kLightPanel);
    if (!panel) return;
    auto* page = static_cast<MPanel*>(panel);
    auto area = [&](const wchar_t* cls, UINT id, const wchar_t* title = L"") {
        return Keep(page->CreateArea(cls, id, CRect(), title, 1, 1));
    };
    const Gdiplus::Color theme(m_textColor);
    const Gdiplus::Color dark(0xFF0A0A0A);
    auto text = [&](UINT id, const wchar_t* title, Gdiplus::Color colour, const wchar_t* face,
                    int size, Gdiplus::FontStyle style) {
        auto* label = As<MText>(area(L"MText", id, title));
        if (!label) return label;
        label->SetTextColor(colour);
        if (face) label->SetFont(face, size, style);
        return label;
    };

    if (auto* bkg = As<MPicture>(area(L"MPicture", 118))) {
        bkg->SetImage(L"img_area.png", 1);
        bkg->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* zones = As<TabCtrlEx>(MakeIn(panel, L"TabCtrlEx", 117))) {
        zones->SetImage(L"img_item.png", 4);
        zones->SetTextColor(dark);
        zones->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        for (int zone = 0; zone < 3; ++zone) zones->AddItem(LangText(170 + zone), zone);
        zones->SetSelectKeyType(0);
    }
    if (auto* line = As<CArea>(area(L"CArea", 119))) line->SetTransparent(1, 1, 0xE6E6E6);
    for (UINT id : {120u, 121u})
        if (auto* round = As<CRoundArea>(area(L"CRoundArea", id)))
            round->SetColor(Gdiplus::Color(0xFA515151));
    text(122, LangText(175), dark, L"Roboto-Medium", 16, Gdiplus::FontStyleBold);
    auto makeSwitch = [&](UINT id) {
        if (auto* button = As<CSwitchButton>(MakeIn(panel, L"CSwitchButton", id)))
            button->SetImage(L"img_switch_on.png", L"img_switch_off.png", 4);
    };
    makeSwitch(123);
    if (auto* modes = As<MComboBox>(MakeIn(panel, L"MComboBox", 126))) {
        modes->SetImage(L"img_combobox.png", 4);
        modes->SetTextColor(theme);
    }
    text(124, LangText(176), theme, nullptr, 0, Gdiplus::FontStyleRegular);
    makeSwitch(125);
    text(127, LangText(177), dark, L"Roboto-Bold", 14, Gdiplus::FontStyleBold);
    if (auto* label = text(158, LangText(178), dark, L"Roboto-Medium", 16, Gdiplus::FontStyleBold))
        label->SetVisible(0);
    if (auto* userModes = As<MComboBox>(MakeIn(panel, L"MComboBox", 159))) {
        userModes->SetImage(L"img_combobox.png", 4);
        userModes->SetTextColor(theme);
        for (int n = 0; n < 5; ++n) userModes->AddItem(LangText(180 + n), kFirstUserMode + n);
        userModes->SetCurSel(0);
        userModes->SetVisible(0);
    }
    if (auto* shown = As<CColorButton>(MakeIn(panel, L"CColorButton", 137))) {
        shown->SetColor(0x0000FF);
        shown->SetGroupName(L"IDC_CUSTOMLIGHT_STC_LIGHTCOLOR");
    }
    if (auto* colourful = As<CCheckButton>(MakeIn(panel, L"CCheckButton", 138, LangText(189)))) {
        colourful->SetTextColor(theme);
        colourful->SetImage(L"btn_checkbox.png", 8);
    }
    text(139, LangText(190), theme, nullptr, 0, Gdiplus::FontStyleRegular);
    if (auto* bkg = As<MPicture>(area(L"MPicture", 140))) {
        bkg->SetImage(L"img_area.png", 1);
        bkg->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    if (auto* wheel = As<CirclePalette>(MakeIn(panel, L"CirclePalette", 141)))
        wheel->SetImage(L"img_palette.png", 1);
    const wchar_t* channels[] = {L"R", L"G", L"B"};
    for (int c = 0; c < 3; ++c)
        text(142 + UINT(c), channels[c], theme, nullptr, 0, Gdiplus::FontStyleRegular);
    for (UINT id = 145; id <= 147; ++id) {
        if (auto* field = As<MEdit>(MakeIn(panel, L"MEdit", id, L""))) {
            field->SetImage(L"img_edit.png", 4);
            field->SetTextColor(theme);
            field->SetEditBKColor(0xFFFFFF);
            field->SetAlignment(1);
        }
    }
    for (UINT id = 148; id <= 156; ++id) {
        if (auto* preset = As<CColorButton>(MakeIn(panel, L"CColorButton", id))) {
            preset->SetGroupName(L"IDC_LIGHT_STC_DEFAULTCOLOR");
            preset->SetColor(kPresetColours[id - 148]);
        }
    }
    text(128, LangText(191), dark, L"Roboto-Medium", 16, Gdiplus::FontStyleBold);
    for (UINT id : {129u, 131u}) {
        if (auto* slider = As<MSlider>(MakeIn(panel, L"MSlider", id))) {
            slider->SetTextColor(Gdiplus::Color(0xFF4977E4));
            slider->SetProgress(id == 129 ? 50 : 5);
        }
        if (id == 129) text(130, LangText(192), dark, L"Roboto-Medium", 16, Gdiplus::FontStyleBold);
    }
    text(132, LangText(193), theme, nullptr, 0, Gdiplus::FontStyleRegular);
    const wchar_t* arrows[] = {L"img_direction_left.png", L"img_direction_right.png",
                               L"img_direction_top.png", L"img_direction_bottom.png"};
    for (UINT id = 133; id <= 136; ++id) {
        if (auto* radio = As<CRadioButton>(MakeIn(panel, L"CRadioButton", id))) {
            radio->SetImage(arrows[id - 133], 8);
            radio->SetGroupName(L"GROUP_LIGHT_DIRECTION");
        }
    }
    if (auto* apply = As<MButton>(MakeIn(panel, L"MButton", 157, LangText(22)))) {
        apply->SetImage(L"img_button.png", 4);
        apply->SetTextColor(theme);
    }
    COLORREF start = 0x0000FF;
    if (auto* wheel = CtlAs<CirclePalette>(141)) start = wheel->GetSelectColor();
    ShowLightColorFields(start);
}

void KeyboardDlg::LayoutLightPage(CRect client)
{
    const int W = client.right, H = client.bottom;
    // Card 140 holds the wheel, the three fields and the seven swatches, with
    // the wheel's margin at both ends.
    const Place places[] = {
        {118, 280, 350, W - 2, 2}, {117, 306, 306, 466, 177},  {124, 320, 80, 400, 60},
        {125, 400, 80, 460, 60},   {119, 466, 305, 467, 30},   {122, 500, 300, 800, 264},
        {126, 500, 264, 800, 228}, {128, 500, 200, 730, 170},  {129, 502, 170, 800, 130},
        {130, 500, 120, 730, 90},  {131, 502, 90, 800, 50},    {127, 860, 300, 1160, 264},
        {138, 860, 250, 980, 220}, {137, 980, 250, 1030, 220}, {140, 860, 220, 1340, 50},
        {141, 880, 200, 988, 92},  {158, 500, 130, 730, 94},   {159, 502, 100, 800, 64},
    };
    pages::PlaceFromBottom(*this, places, H);
    for (int c = 0; c < 3; ++c) {
        if (MControl* label = Ctl(142 + UINT(c)))
            label->SetRect(CRect(1000 + 110 * c, H - 190, 1030 + 110 * c, H - 160));
        if (MEdit* field = CtlAs<MEdit>(145 + UINT(c)))
            field->SetRect(CRect(1030 + 110 * c, H - 190, 1090 + 110 * c, H - 160));
    }
    for (int n = 0; n < 7; ++n)
        if (MControl* preset = Ctl(148 + UINT(n)))
            preset->SetRect(CRect(1000 + 47 * n, H - 140, 1036 + 47 * n, H - 104));
}

void KeyboardDlg::SeedDefaultLightModes()
{
    DeviceDataDB& db = Db();
    const int profile = m_currentProfile;
    // Count and inserts under the database's lock and in one transaction: two
    // threads loading the page at once seed the rows once, and a failure part
    // way leaves none.
    CAutoLock hold(db.m_lock);
    if (db.CountLights(profile) >= 1) return;
    if (db.m_db.Exec("SAVEPOINT seed_lights") != kSqlOk) return;
    bool seeded = true;
    for (const SeedRow& seed : DefaultLightRows(m_deviceType)) {
        LightData row;
        row.profile = profile;
        row.name = Decimal(seed.name);
        row.type = seed.type;
        row.mode = seed.mode;
        row.brightness = 200;
        row.speed = 3;
        row.direction = 0;
        row.colorful = 1;
        row.colorindex = 0;
        row.color_value = 0x0000FF;
        row.config_func = seed.caps;
        row.reserved = 0;
        row.status = 0;
        if (!db.AddLight(row)) {
            seeded = false;
            break;
        }
    }
    for (int zone = 0; seeded && zone < 3; ++zone) seeded = db.SetActiveLightMode(profile, zone, 1);
    if (!seeded || db.m_db.Exec("RELEASE seed_lights") != kSqlOk) {
        db.m_db.Exec("ROLLBACK TO seed_lights");
        db.m_db.Exec("RELEASE seed_lights");
    }
}

void KeyboardDlg::LoadLightModes()
{
    SeedDefaultLightModes();
    auto* brightness = CtlAs<MSlider>(129);
    auto* speed = CtlAs<MSlider>(131);
    int limitZone = -1;
    if (m_lightZone == 0 && m_deviceInfo.brightnessLimit[0] > 0)
        limitZone = 0;
    else if (m_lightZone == 1 && m_deviceInfo.brightnessLimit[1] > 0)
        limitZone = 1;
    else if (m_deviceInfo.brightnessLimit[2] > 0)
        limitZone = 2;
    if (limitZone >= 0) {
        if (brightness) brightness->SetMaxProgress(m_deviceInfo.brightnessLimit[limitZone]);
        if (speed) speed->SetMaxProgress(m_deviceInfo.speedLimit[limitZone]);
    }
    if (auto* zones = CtlAs<TabCtrlEx>(117)) {
        zones->SetItemText(2, LangText(m_deviceType == 102 ? 173 : 172));
        // The zones the keyboard announces.
        zones->SetItemShow(1, m_deviceInfo.zone1Present ? 1 : 0);
        zones->SetItemShow(2, m_deviceInfo.zone2Present ? 1 : 0);
    }
    const int profile = m_currentProfile;
    auto* modes = CtlAs<MComboBox>(126);
    if (modes) {
        modes->DelAllItems();
        std::vector<LightData*> rows;
        Db().GetLights(profile, m_lightZone, rows);
        for (const LightData* row : rows)
            if (row->mode <= kFirstUserMode) modes->AddItem(LangText(_wtoi(row->name)), row->mode);
        FreeRecordList(rows);
    }
    // The active mode of zone 0 may be any of the five user modes (the one the
    // user chose last); the mode list names them all as its user-mode item.
    m_lightMode = Db().GetActiveLightMode(profile, m_lightZone);
    if (modes) modes->SelectData(std::min(m_lightMode.load(), kFirstUserMode));
    if (auto* userModes = CtlAs<MComboBox>(159)) {
        const bool user = m_lightMode >= kFirstUserMode && m_lightMode <= kLastUserMode;
        userModes->SelectData(user ? m_lightMode.load() : ChosenUserMode(profile));
    }
    if (auto* on = CtlAs<CSwitchButton>(123)) {
        const bool lit = LightingOn(profile);
        on->SetCheck(lit ? 1 : 0);
        if (!lit) m_lightMode = 0;
    }
    ShowLightModeControls();
}

void KeyboardDlg::ShowLightModeControls()
{
    if (m_currentPage != 1) return;
    LightData row;
    if (!Db().GetLight(m_currentProfile, m_lightZone, m_lightMode, row)) return;
    const int caps = row.config_func;
    m_lightModeCaps = caps;
    const bool hasBrightness = caps & kCapBrightness, hasSpeed = caps & kCapSpeed;
    ShowIds({128, 129}, hasBrightness);
    if (auto* slider = CtlAs<MSlider>(129)) slider->SetProgress(hasBrightness ? row.brightness : 0);
    ShowIds({130, 131}, hasSpeed);
    if (auto* slider = CtlAs<MSlider>(131)) slider->SetProgress(hasSpeed ? row.speed : 0);
    if (caps & kCapLeftRight) {
        ShowIds({132, 133, 134}, true);
        ShowIds({135, 136}, false);
        if (auto* radio = CtlAs<CRadioButton>(row.direction == 1 ? 133 : 134)) radio->SetCheck(1);
    } else if (caps & kCapUpDown) {
        ShowIds({132, 135, 136}, true);
        ShowIds({133, 134}, false);
        if (auto* radio = CtlAs<CRadioButton>(row.direction == 2 ? 135 : 136)) radio->SetCheck(1);
    } else {
        ShowRange(132, 136, false);
    }
    if (caps & kCapSingleColour) {
        ShowIds({157, 137, 138, 158, 159}, true);
        if (auto* shown = CtlAs<CColorButton>(137)) shown->SetColor(COLORREF(row.color_value));
        if (auto* colourful = CtlAs<CCheckButton>(138))
            colourful->SetCheck(row.colorful == 1 ? 1 : 0);
    } else {
        ShowIds({157, 137, 138, 158, 159}, false);
    }
    if (caps & kCapColour) {
        EnableLightColorControls(TRUE);
        ShowLightColorFields(row.colorful == 1 ? COLORREF(0x0000FF) : COLORREF(row.color_value));
    } else {
        EnableLightColorControls(FALSE);
    }
    auto* picture = CtlAs<KeyboardCtrl>(58);
    if (caps & kCapUserMode) {
        ShowIds({158, 159, 157}, true);
        if (picture) {
            picture->EnableFrameSelect(1);
            picture->ResetAllItemCheck(0);
            // The picture shows the mode's stored colours: the next key press
            // or colour pick saves what it shows as the whole set.
            ShowStoredUserKeyColors();
        }
        EnableLightColorControls(TRUE);
    } else {
        ShowIds({158, 159}, false);
        if (caps & kCapColour) EnableLightColorControls(TRUE);
        if (picture) picture->EnableFrameSelect(0);
    }
}

void KeyboardDlg::ShowStoredUserKeyColors()
{
    auto* picture = CtlAs<KeyboardCtrl>(58);
    if (!picture) return;
    picture->ResetAllItemsColor(0);
    std::vector<UserLightRgbData*> colours;
    Db().GetUserLightRgb(m_currentProfile, m_lightMode, colours);
    for (const UserLightRgbData* colour : colours)
        picture->SetKeyColor(colour->key_code, COLORREF(colour->key_rgb));
    FreeRecordList(colours);
    picture->UpdateControl(1, 0);
}

void KeyboardDlg::ShowLightColorFields(COLORREF color)
{
    const int bytes[] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int c = 0; c < 3; ++c) {
        MEdit* field = CtlAs<MEdit>(145 + UINT(c));
        // The field being typed in keeps what the user typed.
        if (field && !field->IsEditFocused()) field->SetControlTitle(Decimal(bytes[c]));
    }
}

void KeyboardDlg::SaveUserKeyColors()
{
    auto* picture = CtlAs<KeyboardCtrl>(58);
    if (!picture) return;
    std::vector<UserLightRgbData> colours;
    picture->EnterCriSec();
    for (const KEY_INFO* key : picture->GetKeyItems()) {
        UserLightRgbData entry;
        entry.profile = m_currentProfile;
        entry.userlight_id = m_lightMode;
        entry.key_code = key->nKeyCode;
        entry.key_rgb = int(key->crKey);
        colours.push_back(entry);
    }
    picture->LeaveCriSec();
    StoreUserKeyColors(m_lightMode, colours);
}

void KeyboardDlg::ApplyLightColor(COLORREF color)
{
    if (auto* shown = CtlAs<CColorButton>(137)) shown->SetColor(color);
    if (m_lightModeCaps & kCapUserMode) {
        if (auto* picture = CtlAs<KeyboardCtrl>(58)) picture->SetAllSelectColor(color);
        SaveUserKeyColors();
        m_taskQueue.AppendUnlessQueued(TASK_WRITE_USER_KEY_COLORS);
        return;
    }
    LightData row;
    if (!Db().GetLight(m_currentProfile, m_lightZone, m_lightMode, row)) return;
    row.color_value = int(color);
    StoreLight(m_lightZone, m_lightMode, row);
    m_taskQueue.AppendUnlessQueued(TASK_WRITE_LIGHT_MODE);
}

void KeyboardDlg::ApplyLightEditColor()
{
    int bytes[3] = {};
    for (int c = 0; c < 3; ++c)
        if (MEdit* field = CtlAs<MEdit>(145 + UINT(c))) bytes[c] = FieldNumber(field) & 0xFF;
    ApplyLightColor(COLORREF(bytes[0] + bytes[1] * 0x100 + bytes[2] * 0x10000));
}

void KeyboardDlg::LightColourPicked()
{
    // Only a mode that shows the colourful check has one to turn off: in a
    // user mode the hidden check of the mode shown before would otherwise put
    // that mode's colour in place of the one just picked.
    if (!(m_lightModeCaps & kCapSingleColour)) return;
    auto* colourful = CtlAs<CCheckButton>(138);
    if (colourful && colourful->GetCheck()) {
        colourful->SetCheck(0);
        OnLightColorfulCheck();
    }
}

LONG KeyboardDlg::OnLightPaletteColor(UINT, UINT_PTR, LONG_PTR)
{
    auto* wheel = CtlAs<CirclePalette>(141);
    if (!wheel) return 1;
    const COLORREF color = wheel->GetSelectColor();
    ShowLightColorFields(color);
    ApplyLightColor(color);
    LightColourPicked();
    return 1;
}

LONG KeyboardDlg::OnLightDefaultColor(UINT id)
{
    auto* preset = static_cast<CColorButton*>(GetControl(id));
    if (!preset) return 0;
    const COLORREF color = preset->GetColor();
    ShowLightColorFields(color);
    ApplyLightColor(color);
    LightColourPicked();
    return 1;
}

namespace {

LONG LightFieldEdited(KeyboardDlg& dlg, UINT id, UINT code)
{
    if (code != 26) return 1;
    auto* field = dlg.CtlAs<MEdit>(id);
    if (!field) return 1;
    // Read as typed, without closing the field's edit box.
    ClampChannelField(field);
    dlg.ApplyLightEditColor();
    dlg.LightColourPicked();
    return 1;
}

}  // namespace

LONG KeyboardDlg::OnLightRedEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return LightFieldEdited(*this, 145, code);
}

LONG KeyboardDlg::OnLightGreenEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return LightFieldEdited(*this, 146, code);
}

LONG KeyboardDlg::OnLightBlueEdit(UINT code, UINT_PTR, LONG_PTR)
{
    return LightFieldEdited(*this, 147, code);
}

LONG KeyboardDlg::OnLightColorfulCheck()
{
    LightData row;
    if (!Db().GetLight(m_currentProfile, m_lightZone, m_lightMode, row)) return 1;
    auto* colourful = CtlAs<CCheckButton>(138);
    row.colorful = colourful && colourful->GetCheck() ? 1 : 0;
    if (!row.colorful) {
        ShowLightColorFields(COLORREF(row.color_value));
        ApplyLightColor(COLORREF(row.color_value));
    }
    StoreLight(m_lightZone, m_lightMode, row);
    AppendTask(TASK_WRITE_LIGHT_MODE);
    return 1;
}

LONG KeyboardDlg::OnLightZoneTab()
{
    auto* zones = CtlAs<TabCtrlEx>(117);
    m_lightZone = zones ? zones->GetCurData() : 0;
    ShowIds({124, 125}, m_lightZone == 0);
    auto* picture = CtlAs<KeyboardCtrl>(58);
    if (picture) picture->UpdateControl(1, 0);
    LoadLightModes();
    if (m_lightZone == 0 && m_lightMode >= kFirstUserMode) {
        if (picture) picture->SetKeyboardCtrlMode(103);
        AppendTask(TASK_WRITE_USER_LIGHT_MODE);
        AppendTask(TASK_READ_USER_KEY_COLORS);
        if (auto* live = CtlAs<CSwitchButton>(125)) live->SetCheck(0);
        m_liveKeyColors = 0;
    } else if (picture) {
        picture->SetKeyboardCtrlMode(m_lightZone == 0 && m_liveKeyColors ? 103 : 100);
    }
    return 1;
}

LONG KeyboardDlg::OnLightEnableSwitch()
{
    auto* on = CtlAs<CSwitchButton>(123);
    if (on && on->GetCheck()) {
        m_lightMode = Db().GetActiveLightMode(m_currentProfile, m_lightZone);
        StoreConfigValue(PendingWriter::Light, L"enable_light", L"1");
    } else {
        StoreConfigValue(PendingWriter::Light, L"enable_light", L"0");
        m_lightMode = 0;
    }
    ShowLightModeControls();
    AppendTask(TASK_WRITE_LIGHT_MODE);
    return 1;
}

LONG KeyboardDlg::OnCustomLightSwitch()
{
    auto* live = CtlAs<CSwitchButton>(125);
    m_liveKeyColors = live && live->GetCheck() ? 1 : 0;
    if (auto* picture = CtlAs<KeyboardCtrl>(58))
        picture->SetKeyboardCtrlMode(m_lightMode >= kFirstUserMode || m_liveKeyColors ? 103 : 100);
    return 1;
}

LONG KeyboardDlg::OnLightModeSelect(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    auto* modes = CtlAs<MComboBox>(126);
    // No mode listed or chosen (no profile loaded yet): nothing to store or send;
    // taken as mode 0 it would switch the keyboard's lighting off.
    if (!modes || modes->GetCurSel() < 0) return 1;
    m_lightMode = int(modes->GetCurData());
    if (m_lightMode >= kFirstUserMode) {
        // The user-mode item stands for the user mode chosen last: the active
        // one, or the one kept while a built-in mode was active.
        const int active = Db().GetActiveLightMode(m_currentProfile, m_lightZone);
        m_lightMode = active >= kFirstUserMode && active <= kLastUserMode
                          ? active
                          : ChosenUserMode(m_currentProfile);
    }
    StoreActiveLightMode(m_lightZone, m_lightMode);
    ShowLightModeControls();
    auto* picture = CtlAs<KeyboardCtrl>(58);
    if (m_lightMode < kFirstUserMode) {
        if (picture) picture->SetKeyboardCtrlMode(m_liveKeyColors ? 103 : 100);
        AppendTask(TASK_WRITE_LIGHT_MODE);
    } else {
        if (auto* userModes = CtlAs<MComboBox>(159)) userModes->SelectData(m_lightMode);
        AppendTask(TASK_WRITE_USER_LIGHT_MODE);
        AppendTask(TASK_READ_USER_KEY_COLORS);
        if (picture) picture->SetKeyboardCtrlMode(103);
        if (auto* live = CtlAs<CSwitchButton>(125)) live->SetCheck(0);
        m_liveKeyColors = 0;
    }
    StoreConfigValue(PendingWriter::Light, L"enable_light", L"1");
    if (auto* on = CtlAs<CSwitchButton>(123)) on->SetCheck(1);
    return 1;
}

LONG KeyboardDlg::OnLightBrightnessSlider()
{
    LightData row;
    if (!Db().GetLight(m_currentProfile, m_lightZone, m_lightMode, row)) return 1;
    if (auto* slider = CtlAs<MSlider>(129)) row.brightness = slider->GetProgress();
    StoreLight(m_lightZone, m_lightMode, row);
    AppendTask(m_lightMode < kFirstUserMode ? TASK_WRITE_LIGHT_MODE : TASK_WRITE_USER_LIGHT_MODE);
    return 1;
}

LONG KeyboardDlg::OnLightSpeedSlider()
{
    LightData row;
    if (!Db().GetLight(m_currentProfile, m_lightZone, m_lightMode, row)) return 1;
    if (auto* slider = CtlAs<MSlider>(131)) row.speed = slider->GetProgress();
    StoreLight(m_lightZone, m_lightMode, row);
    AppendTask(TASK_WRITE_LIGHT_MODE);
    return 1;
}

LONG KeyboardDlg::OnLightDirectionRadio(UINT id)
{
    LightData row;
    if (!Db().GetLight(m_currentProfile, m_lightZone, m_lightMode, row)) return 1;
    switch (id) {
        case 133: row.direction = 1; break;
        case 134: row.direction = 0; break;
        case 135: row.direction = 2; break;
        default: row.direction = 3; break;
    }
    StoreLight(m_lightZone, m_lightMode, row);
    AppendTask(TASK_WRITE_LIGHT_MODE);
    return 1;
}

LONG KeyboardDlg::OnUserLightModeSelect()
{
    if (auto* picture = CtlAs<KeyboardCtrl>(58)) picture->ResetAllItemCheck(0);
    auto* userModes = CtlAs<MComboBox>(159);
    if (!userModes || userModes->GetCurSel() < 0) return 1;
    m_lightMode = int(userModes->GetCurData());
    // Kept as the zone's active mode and as the profile's chosen user mode: the
    // page and the keyboard come back to it.
    Db().SetActiveLightMode(m_currentProfile, m_lightZone, m_lightMode);
    Db().StoreConfigValue(m_currentProfile, kUserModeKey, Decimal(m_lightMode));
    ShowLightModeControls();
    AppendTask(TASK_WRITE_USER_LIGHT_MODE);
    AppendTask(TASK_READ_USER_KEY_COLORS);
    return 1;
}

LONG KeyboardDlg::OnLightApplyButton()
{
    AppendTask(m_lightMode < kFirstUserMode ? TASK_WRITE_LIGHT_MODE : TASK_WRITE_USER_KEY_COLORS);
    return 1;
}

LONG KeyboardDlg::OnLightKeyClick(UINT code)
{
    if ((code != 2 && code != 5) || m_lightMode < kFirstUserMode) return 1;
    auto* picture = CtlAs<KeyboardCtrl>(58);
    if (m_selectedKey > 0) {
        SaveUserKeyColors();
        AppendTask(TASK_WRITE_USER_KEY_COLORS);
    }
    EnableLightColorControls(picture && picture->GetCheckItemCount() > 0 ? TRUE : FALSE);
    return 1;
}
