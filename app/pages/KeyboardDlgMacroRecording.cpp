// KeyboardDlg: macro recording. The record button (226) installs the process's
// low-level keyboard and mouse hooks; each hooked key or button comes back as
// message 1692 / 1693 (sent synchronously on the UI thread), is named and
// appended to the event list of the selected macro with the pause before the
// next one. A recording ends by the button, or by itself when the keyboard's
// macro memory is full; the events are then stored and queued (task 10).
//
// While the hooks run, keys reach no other window (the keyboard hook answers
// 1) and the page is disabled, so the selected macro cannot change.
#include "CCheckButton.h"
#include "CRecordList.h"
#include "MButton.h"
#include "MEdit.h"
#include "MTabCtrl.h"
#include "MacroList.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/device/MacroUpload.h"
#include "dialogs/CUIMessageBox.h"
#include "services/db/DeviceDataDB.h"
#include "services/input/InputHookManager.h"
#include "services/input/RawInput.h"

using namespace WEXA;

namespace {

const DWORD kLongestPause = 31000;

struct FixedName
{
    int key;
    int recorded;  // the code stored for it
    const wchar_t* name;
};
const FixedName kFixedNames[] = {
    {0x10, 0xA0, L"Shift"},        {0xA0, 0xA0, L"Shift"},         {0xA1, 0xA1, L"RShift"},
    {0x11, 0xA2, L"Ctrl"},         {0xA2, 0xA2, L"Ctrl"},          {0xA3, 0xA3, L"RCtrl"},
    {0x12, 0xA4, L"Alt"},          {0xA4, 0xA4, L"Alt"},           {0xA5, 0xA5, L"RAlt"},
    {0x5B, 0x5B, L"Windows"},      {0x5C, 0x5C, L"RWindows"},      {0x5D, 0x5D, L"Application"},
    {0x2C, 0x2C, L"Print Screen"}, {0x13, 0x13, L"Pause"},         {0x90, 0x90, L"Num Lock"},
    {0xAD, 0xAD, L"Vol Mute"},     {0xAE, 0xAE, L"Vol Down"},      {0xAF, 0xAF, L"Vol Up"},
    {0xB0, 0xB0, L"Next Track"},   {0xB1, 0xB1, L"Prev Track"},    {0xB2, 0xB2, L"Stop"},
    {0xB3, 0xB3, L"Play/Pause"},   {0xB4, 0xB4, L"EMail"},         {0xB5, 0xB5, L"Multimedia"},
    {0xB6, 0xB6, L"My Computer"},  {0xB7, 0xB7, L"Calculator"},    {0xA6, 0xA6, L"Web-Backward"},
    {0xA7, 0xA7, L"Web-Forward"},  {0xA8, 0xA8, L"Web-Refresh"},   {0xA9, 0xA9, L"Web-Stop"},
    {0xAA, 0xAA, L"Web-Search"},   {0xAB, 0xAB, L"Web-Favorites"}, {0xAC, 0xAC, L"Web-Home"},
};

// The keypad keys by scan code: their digits whatever the Num Lock state.
int KeypadKey(DWORD scanCode)
{
    switch (scanCode) {
        case 0x47: return 0x67;
        case 0x48: return 0x68;
        case 0x49: return 0x69;
        case 0x4B: return 0x64;
        case 0x4C: return 0x65;
        case 0x4D: return 0x66;
        case 0x4F: return 0x61;
        case 0x50: return 0x62;
        case 0x51: return 0x63;
        case 0x52: return 0x60;
        case 0x53: return 0x6E;
        default: return 0;
    }
}

// The recorded virtual key of a hooked key event. Injected input carries
// LLKHF_INJECTED (and maybe LLKHF_LOWER_IL_INJECTED); they say nothing about
// which key it is, so they do not count in the flags compared.
int RecordedKey(const KBDLLHOOKSTRUCT& event)
{
    const DWORD flags = event.flags & ~DWORD(LLKHF_INJECTED | 0x02);
    int key = int(event.vkCode);
    if (flags == 0 || flags == 0x80) {
        if (int keypad = KeypadKey(event.scanCode)) key = keypad;
    } else if ((flags == 1 || flags == 0x81) && event.scanCode == 0x1C) {
        key = 0x6C;
    }
    return key;
}

// The name of a key; fixed names also give the code stored for it.
CString KeyName(int& key)
{
    for (const FixedName& fixed : kFixedNames) {
        if (fixed.key == key) {
            key = fixed.recorded;
            return fixed.name;
        }
    }
    UINT scan = MapVirtualKeyExW(UINT(key), MAPVK_VK_TO_VSC, GetKeyboardLayout(0));
    if ((key >= 0x21 && key <= 0x28) || key == 0x2D || key == 0x2E) scan |= 0x100;
    wchar_t name[261] = {};
    GetKeyNameTextW(LONG(scan << 16), name, 260);
    return name;
}

struct MouseButton
{
    WPARAM pressed, released;
    int xButton;  // high word of the mouse data, 0 for the other buttons
    int value;
    const wchar_t* name;
};
const MouseButton kMouseButtons[] = {
    {WM_LBUTTONDOWN, WM_LBUTTONUP, 0, 1, L"MouseL"},
    {WM_RBUTTONDOWN, WM_RBUTTONUP, 0, 2, L"MouseR"},
    {WM_MBUTTONDOWN, WM_MBUTTONUP, 0, 4, L"MouseM"},
    {WM_XBUTTONDOWN, WM_XBUTTONUP, 1, 8, L"Backward"},
    {WM_XBUTTONDOWN, WM_XBUTTONUP, 2, 16, L"Forward"},
};

}  // namespace

CString KeyboardDlg::MacroKeyName(int& key)
{
    return KeyName(key);
}

LONG KeyboardDlg::OnMacroRecordToggle()
{
    auto* list = CtlAs<MacroList>(209);
    auto* records = CtlAs<CRecordList>(220);
    if (!list || !records) return 0;
    if (m_macroRecording) {
        EndMacroRecording();
        return 1;
    }
    if (list->GetCurSel() < 0) {
        ShowMessageBox(GetSafeHwnd(), LangText(387), LangText(358), 0);
        return 0;
    }
    // The room is what the keyboard's macro memory holds of this macro with
    // every other macro as stored: the table is never sent cut.
    m_macroRecordRoom =
        ::MacroRecordRoom(*DeviceDataDB::Instance(), m_deviceInfo.macroStorage, list->GetCurData());
    if (records->GetItemCount() >= m_macroRecordRoom) {
        if (auto* button = CtlAs<MButton>(226)) {
            button->SetTitle(LangText(358));
            button->SetIconImage(L"icon\\icon_rec.png", 1);
        }
        ShowMessageBox(GetSafeHwnd(), LangText(386), LangText(358), 0);
        return 0;
    }
    EndMacroKeyCapture();
    if (m_keyTestInput) {
        UnregisterRawInput();
        m_keyTestInput.reset();
    }
    m_macroDelayMode = 0;
    m_macroPauseMemory = 0;
    auto checked = [this](UINT id) {
        auto* radio = dynamic_cast<CRadioButton*>(Ctl(id));
        return radio && radio->GetCheck();
    };
    if (checked(228)) {
        m_macroDelayMode = 0;
    } else if (checked(229)) {
        m_macroDelayMode = 1;
    } else if (checked(230)) {
        m_macroDelayMode = 2;
        if (auto* field = CtlAs<MEdit>(232)) {
            if (field->GetEditText().IsEmpty()) field->SetEditText(L"10");
            m_macroPauseMemory = DWORD(_wtoi(field->GetEditText()));
        }
    }
    m_macroHeldKeys.clear();
    m_hookPurpose = 1;
    InputHookManager::Destroy(m_macroHooks);
    m_macroHooks = new InputHookManager();
    m_macroHooks->AddTarget(GetSafeHwnd(), InputHookManager::KindKeyboard, KBM_HOOK_KEY);
    m_macroHooks->AddTarget(GetSafeHwnd(), InputHookManager::KindMouse, KBM_HOOK_MOUSE);
    m_macroHooks->InstallHooks();
    if (auto* button = CtlAs<MButton>(226)) button->SetTitle(LangText(359));
    EnableMacroControls(FALSE);
    m_macroRecording = true;
    return 1;
}

void KeyboardDlg::EndMacroRecording()
{
    // From inside a hook's message too: the hooks go at once, the manager
    // when the running hook procedure returns.
    InputHookManager::Destroy(m_macroHooks);
    m_macroHooks = nullptr;
    m_hookPurpose = 0;
    m_macroRecording = false;
    m_macroHeldKeys.clear();
    SaveMacroRecords();
    if (auto* button = CtlAs<MButton>(226)) button->SetTitle(LangText(358));
    EnableMacroControls(TRUE);
}

void KeyboardDlg::EnableMacroControls(BOOL enable)
{
    if (MTabCtrl* tab = MainTab()) tab->SetEnabled(enable);
    const UINT ids[] = {209, 210, 211, 220, 221, 222, 223, 224, 225, 228,
                        229, 230, 232, 235, 238, 236, 237, 239, 240};
    for (UINT id : ids) {
        if (MControl* control = Ctl(id)) control->SetEnabled(enable);
    }
}

void KeyboardDlg::BeginMacroKeyCapture()
{
    if (m_macroRecording) return;
    m_macroCapturedKey = 0;
    m_macroCapturedName.Empty();
    m_macroHeldKeys.clear();
    InputHookManager::Destroy(m_macroHooks);
    m_macroHooks = new InputHookManager();
    m_macroHooks->AddTarget(GetSafeHwnd(), InputHookManager::KindKeyboard, KBM_HOOK_KEY);
    m_macroHooks->InstallHooks();
    m_hookPurpose = 3;
}

void KeyboardDlg::EndMacroKeyCapture()
{
    if (m_hookPurpose != 3) return;
    InputHookManager::Destroy(m_macroHooks);
    m_macroHooks = nullptr;
    m_hookPurpose = 0;
}

LONG KeyboardDlg::OnMacroHookKey(UINT_PTR wparam, LONG_PTR lparam)
{
    // The custom-key page's key-combination field captures through the same hooks.
    if (m_hookPurpose == 2) return OnKeyComboHookKey(wparam, lparam);
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    if (!event) return 0;
    int action;
    if (wparam == WM_KEYDOWN || wparam == WM_SYSKEYDOWN)
        action = 0;
    else if (wparam == WM_KEYUP || wparam == WM_SYSKEYUP)
        action = 1;
    else
        return 1;
    int key = RecordedKey(*event);
    if (key == 0) return 1;
    MacroHookEvent hooked;
    hooked.name = KeyName(key);
    hooked.value = key;
    hooked.action = action;
    hooked.source = 2;
    if (action == 0) {
        // A held key repeats its press: one press is recorded.
        if (!m_macroHeldKeys.insert(key).second) hooked.source = 0;
    } else {
        m_macroHeldKeys.erase(key);
    }
    if (m_hookPurpose == 1) {
        RecordMacroEvent(hooked);
    } else if (m_hookPurpose == 3 && hooked.source == 2 && action == 0) {
        m_macroCapturedKey = key;
        m_macroCapturedName = hooked.name;
        // Shown in the open field too, which otherwise keeps what it showed.
        if (auto* field = CtlAs<MEdit>(236)) field->SetControlTitle(hooked.name);
    }
    return 1;
}

LONG KeyboardDlg::OnMacroHookMouse(UINT_PTR wparam, LONG_PTR lparam)
{
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam);
    if (!event || m_hookPurpose != 1) return 1;
    const int xButton = HIWORD(event->mouseData);
    for (const MouseButton& button : kMouseButtons) {
        if (wparam != button.pressed && wparam != button.released) continue;
        if (button.xButton != 0 && button.xButton != xButton) continue;
        MacroHookEvent hooked;
        hooked.source = 1;
        hooked.action = wparam == button.pressed ? 0 : 1;
        hooked.value = button.value;
        hooked.name = button.name;
        RecordMacroEvent(hooked);
        break;
    }
    return 1;
}

void KeyboardDlg::RecordMacroEvent(const MacroHookEvent& event)
{
    auto* records = CtlAs<CRecordList>(220);
    if (event.source == 0 || !records || !m_macroRecording) return;
    DWORD pause = m_macroPauseMemory;
    if (m_macroDelayMode == 1) {
        const DWORD now = m_macroTick ? m_macroTick(m_macroTickContext) : GetTickCount();
        pause = m_macroPauseMemory == 0 ? 0 : now - m_macroPauseMemory;
        if (pause > kLongestPause) pause = kLongestPause;
        m_macroPauseMemory = now;
    }
    if (event.source == 1) {
        // The click on the record button that ends the recording.
        if (MControl* button = Ctl(226)) {
            RECT rect = button->GetRect();
            ClientToScreen(&rect);
            POINT cursor;
            if (GetCursorPos(&cursor) && PtInRect(&rect, cursor)) return;
        }
    }
    const int type = event.source == 1 ? (event.action == 0 ? 4 : 5) : (event.action == 0 ? 2 : 3);
    if (pause != 0) records->UpdateDelayTime(int(pause));
    const int held = records->GetItemCount();
    if (m_macroDelayMode != 0 && pause != 0 && held >= 1 && held >= m_macroRecordRoom) {
        EndMacroRecording();
        return;
    }
    CString text =
        (type == 2 || type == 4 ? CString(L"\x2193  ") : CString(L"\x2191  ")) + event.name;
    records->AddString(text, type, event.value, 10);
    records->UpdateControl(1, 0);
    if (records->GetItemCount() >= m_macroRecordRoom) EndMacroRecording();
}
