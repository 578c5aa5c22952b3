// KeyboardDlg: the custom-key page (page panel 70): function categories and
// their tiles, the macro play mode, the key-combination editor, the Fn layer
// switch and the layer reset; and the routing of clicks on the keyboard picture.
#include <windows.h>
// (after windows.h)
#include <imm.h>

#include <algorithm>

#include "CArea.h"
#include "CCheckButton.h"
#include "CKeyTestCtrl.h"
#include "KeyFuncValue.h"
#include "KeyLayerCtrl.h"
#include "KeyboardCtrl.h"
#include "MButton.h"
#include "MEdit.h"
#include "MPicture.h"
#include "MText.h"
#include "TabCtrlEx.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/KeyLegend.h"
#include "pages/PagePanel.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "dialogs/CUIMessageBox.h"
#include "services/db/DeviceDataDB.h"
#include "services/input/RawInput.h"
#include "services/keys/KeyCodeTable.h"

using namespace WEXA;

namespace {

const UINT kCustomKeyPanel = 70;
const Gdiplus::ARGB kDarkText = 0xFF0A0A0A;

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

template <class T>
T* As(MControl* control)
{
    return static_cast<T*>(control);
}

// The function category tabs: (text id, category).
const int kCategoryTabs[][2] = {{205, 2}, {206, 6}, {207, 12}, {208, 13}, {210, 5}, {211, 3}};

// The modifier toggles 107-114: bit and the name the combination text uses.
struct ModifierToggle
{
    UINT id;
    const wchar_t* title;
    int bit;
    const wchar_t* name;
};
const ModifierToggle kModifiers[] = {
    {107, L"LCtrl", kModLeftCtrl, L"LCtrl"},  {108, L"LShift", kModLeftShift, L"LShift"},
    {109, L"LAlt", kModLeftAlt, L"LAlt"},     {110, L"LWin", kModLeftGui, L"LWin"},
    {111, L"RCtrl", kModRightCtrl, L"RCtrl"}, {112, L"RShift", kModRightShift, L"RShift"},
    {113, L"RAlt", kModRightAlt, L"Alt"},     {114, L"RWin", kModRightGui, L"RWin"},
};

// Placement of a page control: id and rectangle relative to W (right) and H
// (bottom) of the client rectangle.
using pages::Decimal;
using pages::Place;

}  // namespace

void KeyboardDef::ShowMacroModeControls(bool show)
{
    ShowRange(90, 95, show);
}

void KeyboardDef::ShowKeyComboControls(bool show)
{
    ShowRange(96, 116, show);
}

void KeyboardDlg::InitCustomKeyPage()
{
    MControl* panel = Ctl(kCustomKeyPanel);
    if (!panel) return;
    auto* page = static_cast<MPanel*>(panel);
    auto area = [&](const wchar_t* cls, UINT id, const wchar_t* title = L"") {
        return Keep(page->CreateArea(cls, id, CRect(), title, 1, 1));
    };
    const Gdiplus::Color theme(m_textColor);
    const Gdiplus::Color dark(kDarkText);

    if (auto* bkg = As<MPicture>(area(L"MPicture", 82))) {
        bkg->SetImage(L"img_area.png", 1);
        bkg->SetShowMode(SHOW_MODE_FRAME, 36);
    }
    if (auto* line = As<CArea>(area(L"CArea", 83))) line->SetTransparent(0, 0, 0xE6E6E6);
    for (UINT id : {84u, 85u})
        if (auto* round = As<CRoundArea>(area(L"CRoundArea", id)))
            round->SetColor(Gdiplus::Color(0xFA3D5161));
    if (auto* tabs = As<TabCtrlEx>(MakeIn(panel, L"TabCtrlEx", 88))) {
        tabs->SetTextColor(dark);
        tabs->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        for (const auto& tab : kCategoryTabs) tabs->AddItem(LangText(tab[0]), tab[1]);
        tabs->SetSelectKeyType(0);
    }
    if (auto* grid = As<KeyFuncValue>(MakeIn(panel, L"KeyFuncValue", 89))) {
        grid->SetImage(L"img_key_bkg.png", 4);
        grid->SetTextColor(dark);
        grid->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
    }
    if (auto* label = As<MText>(area(L"MText", 90, LangText(241)))) {
        label->SetTextColor(dark);
        label->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
    }
    for (UINT id = 91; id <= 94; ++id) {
        if (auto* radio = As<CRadioButton>(
                MakeIn(panel, L"CRadioButton", id, LangText(242 + int(id - 91))))) {
            radio->SetTextColor(theme);
            radio->SetImage(L"btn_radiobox.png", 8);
            radio->SetGroupName(L"IDC_MACRO_RADIO_LOOP1");
            if (id >= 93) radio->SetCheck(1);
        }
    }
    if (auto* count = As<MEdit>(MakeIn(panel, L"MEdit", 95, L""))) {
        count->SetImage(L"img_edit.png", 4);
        count->SetTextColor(theme);
        count->SetControlTitle(L"1");
        count->SetNumberOnly(1);
        count->SetLimitText(3);
        count->SetEditBKColor(0xFFFFFF);
        count->SetAlignment(1);
    }
    for (UINT id : {96u, 97u, 98u}) {
        if (auto* column = As<CArea>(area(L"CArea", id))) {
            column->SetTransparent(0, 0, 0xFFFFFF);
            column->SetFrame(1, Gdiplus::Color(0xC8C8C8C8), 0);
        }
    }
    for (UINT id : {102u, 103u})
        if (auto* plus = As<MPicture>(area(L"MPicture", id)))
            plus->SetImage(L"icon\\icon_add.png", 1);
    for (UINT id : {99u, 100u, 101u})
        if (auto* line = As<CArea>(area(L"CArea", id))) line->SetTransparent(0, 0, 0xC8C8C8);
    for (UINT id : {105u, 106u, 104u}) {
        // The two modifier columns say which side's modifiers they hold.
        const int text = id == 104 ? 218 : id == 105 ? 215 : 216;
        if (auto* title = As<MText>(area(L"MText", id, LangText(text)))) {
            title->SetTextColor(dark);
            title->SetAlignment(1);
            title->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        }
    }
    for (const ModifierToggle& toggle : kModifiers) {
        if (auto* button = As<MButton3>(MakeIn(panel, L"MButton3", toggle.id, toggle.title))) {
            button->SetTextColor(dark);
            button->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
            button->SetImage(L"img_button.png", 4);
        }
    }
    if (auto* key = As<MEdit>(MakeIn(panel, L"MEdit", 115, L""))) {
        key->SetImage(L"img_edit.png", 4);
        key->SetTextColor(theme);
        key->SetLimitText(3);
        key->SetEditBKColor(0xF6F6F6);
        key->SetAlignment(1);
    }
    if (auto* save = As<MButton>(MakeIn(panel, L"MButton", 116, LangText(38)))) {
        save->SetImage(L"img_button.png", 4);
        save->SetTextColor(theme);
    }
    m_keyFuncCategory = 2;
    ShowMacroModeControls(false);
    ShowKeyComboControls(false);
}

void KeyboardDlg::LayoutCustomKeyPage(CRect client)
{
    const int W = client.right, H = client.bottom;
    m_keyGridRect = CRect(495, H - 300, W - 20, H - 36);
    m_keyGridMacroRect = CRect(495, H - 300, 855, H - 36);
    // The card starts below the key test strip (H - 360 to H - 324), which
    // would otherwise lie across its top edge.
    const Place places[] = {
        {82, 280, 325, W - 2, 2},   {88, 306, 306, 466, 48},    {83, 466, 305, 467, 30},
        {90, 900, 251, 1160, 215},  {91, 900, 215, 1160, 179},  {92, 900, 179, 1160, 143},
        {93, 900, 143, 1230, 107},  {94, 900, 107, 1230, 71},   {95, 1165, 215, 1220, 179},
        {102, 676, 180, 700, 156},  {103, 896, 180, 920, 156},  {96, 506, 290, 646, 50},
        {99, 506, 241, 646, 240},   {105, 526, 280, 626, 244},  {107, 526, 230, 626, 194},
        {108, 526, 187, 626, 151},  {109, 526, 144, 626, 108},  {110, 526, 101, 626, 65},
        {97, 726, 290, 866, 50},    {100, 726, 241, 866, 240},  {106, 746, 280, 846, 244},
        {111, 746, 230, 846, 194},  {112, 746, 187, 846, 151},  {113, 746, 144, 846, 108},
        {114, 746, 101, 846, 65},   {98, 946, 290, 1086, 50},   {101, 946, 241, 1086, 240},
        {104, 966, 280, 1066, 250}, {115, 966, 194, 1066, 164}, {116, 1116, 194, 1236, 158},
    };
    pages::PlaceFromBottom(*this, places, H);
    if (MControl* grid = Ctl(89)) {
        auto* tabs = CtlAs<TabCtrlEx>(88);
        grid->SetRect(tabs && tabs->GetCurData() == 3 ? m_keyGridMacroRect : m_keyGridRect);
    }
}

LONG KeyboardDlg::OnKeyFunctionTypeTab()
{
    auto* tabs = CtlAs<TabCtrlEx>(88);
    auto* grid = CtlAs<KeyFuncValue>(89);
    if (!grid) return 1;
    const int category = tabs ? tabs->GetCurData() : 0;
    if (m_keyFuncCategory == 13) ShowKeyComboControls(false);
    if (m_keyFuncCategory == 3) ShowMacroModeControls(false);
    grid->SetAllHeight(200);
    grid->SetRect(m_keyGridRect);
    switch (category) {
        case 2:
            grid->SetVisible(1);
            grid->SetAllHeight(720);
            break;
        case 5:
        case 6: grid->SetVisible(1); break;
        case 12:
            grid->SetAllHeight(470);
            grid->SetVisible(1);
            break;
        case 3:
            grid->SetVisible(1);
            grid->SetRect(m_keyGridMacroRect);
            if (auto* once = CtlAs<CRadioButton>(91)) once->SetCheck(1);
            if (MEdit* count = CtlAs<MEdit>(95)) {
                count->SetControlTitle(L"1");
                count->SetEnabled(1);
            }
            ShowMacroModeControls(true);
            break;
        case 13:
            grid->SetVisible(0);
            ShowKeyComboControls(true);
            break;
        default: break;
    }
    m_keyFuncCategory = category;
    grid->ClearList();
    if (category == 2 || category == 5 || category == 6 || category == 12) {
        for (const KeyFunctionItem& item : m_keyFunctions)
            if (item.category == category) grid->AddItem(item.name, item.code, item.description);
    } else if (category == 3) {
        grid->SetAllHeight(200);
        std::vector<MacroData*> macros;
        const int count = Db().GetMacros(macros);
        for (const MacroData* macro : macros)
            grid->AddItem(KeyFuncCodec::Default().ShownMacroName(macro->name), macro->macro_id,
                          L"");
        FreeRecordList(macros);
        if (count > 0) grid->SetAllHeight(60 * ((count + 2) / 3));
    }
    grid->UpdateControl(1, 0);
    return 1;
}

bool KeyboardDlg::ReadSelectedKeyRow(KeyMacroData& row)
{
    if (m_selectedKey <= 0) return false;
    if (Db().GetKeyMacro(m_currentProfile, m_currentFnLayer, m_selectedKey, row)) return true;
    // No row yet (a key the keyboard had nothing for): start one.
    row = KeyMacroData();
    row.profile = m_currentProfile;
    row.fn_layer = m_currentFnLayer;
    row.key_code = m_selectedKey;
    return true;
}

void KeyboardDlg::StoreSelectedKeyRow(const KeyMacroData& row)
{
    KeyMacroData stored;
    bool saved;
    if (Db().GetKeyMacro(row.profile, row.fn_layer, row.key_code, stored)) {
        saved = Db().UpdateKeyMacro(row);
    } else {
        saved = Db().ReplaceKeyMacro(row) > 0;
        // Taken back, the key has a row with no function.
        stored = row;
        stored.macro_type = stored.macro_value = stored.macro_value2 = stored.macro_value3 = 0;
        stored.macro_desc.Empty();
    }
    if (!saved) {
        // What cannot be kept is not sent either: the key shows and keeps what
        // it had.
        AskUser(LangText(73), LangText(819), 0);
        return;
    }
    if (auto* picture = CtlAs<KeyboardCtrl>(58)) {
        picture->SetKeyItemInfo(row.key_code, KeyFunctionLabel(picture, row), row.macro_type,
                                row.macro_desc);
        picture->UpdateControl(1, 0);
    }
    QueueKeyWrite(m_currentFnLayer, m_selectedKey, &stored);
}

LONG KeyboardDlg::OnKeyFunctionValue()
{
    auto* grid = CtlAs<KeyFuncValue>(89);
    if (!grid) return 1;
    int value = 0;
    CString text;
    grid->GetCurValue(value, text);
    if (text.IsEmpty()) return 1;
    // No key selected (a release on a blank spot of the picture): nothing to
    // store or send; a write for "no key" would reset the whole layer.
    if (m_selectedKey <= 0) return AskForKey();
    if (m_keyFuncCategory == 3) {
        if (Db().CountMacroRecords(value) <= 0) {
            Show(65, true);
            ShowMessageBox(GetSafeHwnd(), LangText(232), LangText(233), 0);
            Show(65, false);
            return 0;
        }
        MEdit* count = CtlAs<MEdit>(95);
        if (count) {
            count->SetEnabled(0);
            count->SetControlTitle(L"1");
        }
        MacroData macro;
        if (Db().GetMacro(value, macro)) {
            const UINT radio =
                macro.play_type >= 1 && macro.play_type <= 3 ? 91 + macro.play_type : 91;
            if (auto* button = CtlAs<CRadioButton>(radio)) button->SetCheck(1);
            if (macro.play_type == 0 && count) {
                count->SetEnabled(1);
                count->SetControlTitle(Decimal(macro.play_times));
            }
        }
    }
    KeyMacroData row;
    if (!ReadSelectedKeyRow(row)) return AskForKey();
    row.macro_type = m_keyFuncCategory;
    row.macro_value = value;
    row.macro_value2 = 0;
    row.macro_value3 = 0;
    row.macro_desc = text;
    StoreSelectedKeyRow(row);
    return 1;
}

LONG KeyboardDlg::AskForKey()
{
    Show(65, true);
    ShowMessageBox(GetSafeHwnd(), LangText(230), LangText(231), 0);
    Show(65, false);
    return 0;
}

LONG KeyboardDlg::ShowSelectedKeyFunction(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2 || m_selectedKey == 255) return 1;
    KeyMacroData row;
    if (m_selectedKey <= 0 ||
        !Db().GetKeyMacro(m_currentProfile, m_currentFnLayer, m_selectedKey, row))
        return 1;
    switch (row.macro_type) {
        case 2:
        case 3:
        case 5:
        case 6:
        case 7:
        case 12: {
            auto* grid = CtlAs<KeyFuncValue>(89);
            if (!grid) break;
            for (int i = 0; i < grid->GetItemCount(); ++i) {
                if (grid->GetItemData(i) != row.macro_value) continue;
                grid->SetSelectItem(i);
                grid->UpdateControl(1, 0);
                break;
            }
            break;
        }
        default: break;
    }
    return 1;
}

LONG KeyboardDlg::OnMacroPlayModeRadio(UINT id)
{
    if (MEdit* count = CtlAs<MEdit>(95)) {
        count->SetControlTitle(L"1");
        count->SetEnabled(id == 91 ? 1 : 0);
    }
    StoreMacroPlayMode(2, 0, 0);
    return 1;
}

LONG KeyboardDlg::StoreMacroPlayMode(UINT, UINT_PTR, LONG_PTR)
{
    KeyMacroData row;
    const bool haveRow = ReadSelectedKeyRow(row);
    auto* grid = CtlAs<KeyFuncValue>(89);
    int value = 0;
    CString text;
    if (grid) grid->GetCurValue(value, text);
    if (text.IsEmpty()) return 0;
    if (!haveRow) return AskForKey();
    int mode = 0;
    for (int radio = 92; radio <= 94; ++radio) {
        auto* button = CtlAs<CRadioButton>(UINT(radio));
        if (button && button->GetCheck()) mode = radio - 91;
    }
    row.macro_type = 3;
    row.macro_value = value;
    row.macro_value2 = mode;
    row.macro_desc = text;
    if (mode == 0) {
        CString field = CtlAs<MEdit>(95) ? CtlAs<MEdit>(95)->GetControlTitle() : CString();
        int times = field.IsEmpty() ? 1 : _wtoi(field);
        row.macro_value3 = std::min(255, std::max(1, times));
    }
    StoreSelectedKeyRow(row);
    MacroData macro;
    if (Db().GetMacro(value, macro)) {
        macro.play_type = mode;
        macro.play_times = row.macro_value3;
        Db().UpdateMacro(macro);
    }
    return 1;
}

LONG KeyboardDlg::OnKeyComboFieldEvent(UINT code, UINT_PTR, LONG_PTR)
{
    if (code == 30) {
        m_capturedVirtualKey = 0;
        m_capturedKeyName.Empty();
        m_hookPurpose = 2;
        auto* field = CtlAs<MEdit>(115);
        if (field) field->SetEditText(L"");
        HWND edit = field ? field->GetEditHwnd() : nullptr;
        if (edit && !m_keyComboImeTaken) {
            if (HIMC context = ImmGetContext(edit)) {
                ImmSetOpenStatus(context, FALSE);
                ImmReleaseContext(edit, context);
            }
            // Kept to be given back when the capture ends.
            m_keyComboImeContext = ImmAssociateContext(edit, nullptr);
            m_keyComboImeWindow = edit;
            m_keyComboImeTaken = true;
        }
        if (m_keyTestInput) {
            UnregisterRawInput();
            m_keyTestInput.reset();
        }
        ClearKeyTest();
        if (m_hookManager) InputHookManager::Destroy(m_hookManager.release());
        m_hookManager.reset(new InputHookManager);
        m_hookManager->AddTarget(GetSafeHwnd(), 1, KBM_HOOK_KEY);
        m_hookManager->InstallHooks();
    } else if (code == 29) {
        EndKeyComboCapture();
    }
    return 1;
}

void KeyboardDlg::EndKeyComboCapture()
{
    if (m_hookPurpose == 2) m_hookPurpose = 0;
    if (m_hookManager) {
        m_hookManager->RemoveHooks();
        InputHookManager::Destroy(m_hookManager.release());
    }
    if (m_keyComboImeTaken) {
        if (IsWindow(m_keyComboImeWindow))
            ImmAssociateContext(m_keyComboImeWindow, m_keyComboImeContext);
        m_keyComboImeTaken = false;
        m_keyComboImeWindow = nullptr;
        m_keyComboImeContext = nullptr;
    }
    m_keyTestInput.reset(new char(1));
    RegisterRawInput(GetSafeHwnd());
    ClearKeyTest();
}

LONG KeyboardDlg::OnKeyComboHookKey(UINT_PTR wparam, LONG_PTR lparam)
{
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    if (!event) return 0;
    if (wparam != WM_KEYDOWN && wparam != WM_SYSKEYDOWN && wparam != WM_KEYUP &&
        wparam != WM_SYSKEYUP)
        return 1;
    if (m_hookPurpose != 2) return 1;
    // The capture belongs to the focused field: once the field or the window
    // lost the keyboard by any way, it ends here and the key goes on.
    auto* field = CtlAs<MEdit>(115);
    HWND edit = field ? field->GetEditHwnd() : nullptr;
    if (!edit || GetFocus() != edit || GetForegroundWindow() != GetSafeHwnd()) {
        EndKeyComboCapture();
        return 0;
    }
    int vk = int(event->vkCode);
    switch (vk) {
        case VK_SHIFT: vk = VK_LSHIFT; break;
        case VK_CONTROL: vk = VK_LCONTROL; break;
        case VK_MENU: vk = VK_LMENU; break;
        default: break;
    }
    if (vk == 0) return 1;
    CString name = KeyCodeTable::HidUsageToKeyName(KeyCodeTable::VirtualKeyToHidUsage(vk));
    if (name.IsEmpty()) {
        UINT scan = MapVirtualKeyExW(UINT(vk), MAPVK_VK_TO_VSC, GetKeyboardLayout(0));
        if ((vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E) scan |= 0x100;
        wchar_t text[260] = {};
        GetKeyNameTextW(LONG(scan << 16), text, 260);
        name = text;
    }
    m_capturedVirtualKey = vk;
    m_capturedKeyName = name;
    if (field) {
        field->SetControlTitle(name);
        field->UpdateControl(1, 0);
    }
    return 1;
}

LONG KeyboardDlg::OnKeyComboSave()
{
    if (m_selectedKey < 1) return AskForKey();
    KeyMacroData row;
    ReadSelectedKeyRow(row);
    CString keyName = CtlAs<MEdit>(115) ? CtlAs<MEdit>(115)->GetControlTitle() : CString();
    const int usage =
        m_capturedVirtualKey ? int(KeyCodeTable::VirtualKeyToHidUsage(m_capturedVirtualKey)) : 0;
    int bits = 0;
    CString modifiers;
    for (const ModifierToggle& toggle : kModifiers) {
        auto* button = CtlAs<MButton3>(toggle.id);
        if (!button || !button->GetCheck()) continue;
        bits |= toggle.bit;
        if (!modifiers.IsEmpty()) modifiers += L"+ ";
        modifiers += toggle.name;
    }
    // An empty combination would store (2, 0, 0), a record that switches the
    // key off: refused.
    if (usage == 0 && bits == 0) {
        Show(65, true);
        ShowMessageBox(GetSafeHwnd(), LangText(230), LangText(231), 0);
        Show(65, false);
        return 0;
    }
    CString text;
    if (!modifiers.IsEmpty() && !keyName.IsEmpty())
        text.Format(L"%s + %s", static_cast<const wchar_t*>(modifiers),
                    static_cast<const wchar_t*>(keyName));
    else
        text = modifiers.IsEmpty() ? keyName : modifiers;
    row.macro_type = 2;
    row.macro_value = usage;
    row.macro_value2 = bits;
    row.macro_desc = text;
    StoreSelectedKeyRow(row);
    return 1;
}

LONG KeyboardDlg::OnKeyLayerChanged()
{
    int layer = 0;
    if (auto* layers = CtlAs<KeyLayerCtrl>(56)) layer = layers->GetCurKeyLayer();
    m_currentFnLayer = std::min(3, std::max(0, layer));
    m_taskQueue.AppendUnlessQueued(TASK_LOAD_KEY_LAYER);
    return 1;
}

LONG KeyboardDlg::OnRestoreLayerButton()
{
    Show(65, true);
    const int answer = ShowMessageBox(GetSafeHwnd(), LangText(203), LangText(204), 4);
    Show(65, false);
    if (!IsConfirmed(answer)) return 0;
    m_selectedKey = -1;
    RestoreDefaultKeys();
    return 1;
}

LONG KeyboardDlg::OnKeyFunctionMenuCommand(UINT_PTR)
{
    return 1;
}

LONG KeyboardDlg::OnDragOverNotify(LONG_PTR)
{
    POINT point;
    if (!GetCursorPos(&point)) return 1;
    ::ScreenToClient(GetSafeHwnd(), &point);
    if (auto* picture = CtlAs<KeyboardCtrl>(58)) picture->DragMove(CPoint(point.x, point.y));
    return 1;
}

LONG KeyboardDlg::OnKeyboardCtrlClick(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (auto* picture = CtlAs<KeyboardCtrl>(58)) m_selectedKey = picture->GetCurrentKeyValue();
    if (code != 2 && code != 5) return 1;
    if (m_selectedKey > 0 && m_currentPage == 4)
        return ShowSelectedKeyFunction(code, wparam, lparam);
    if (m_currentPage == 1) return OnLightKeyClick(code);
    return 1;
}
