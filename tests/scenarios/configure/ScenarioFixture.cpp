#include "ScenarioFixture.h"

#include <shellapi.h>

#include <cstdio>
#include <map>

#include "CDeviceList.h"
#include "KeyFuncValue.h"
#include "TabCtrlEx.h"
#include "pages/ProfileDlg.h"
#include "KeyboardCtrl.h"
#include "MComboBox.h"
#include "MControl.h"
#include "MTabCtrl.h"
#include "ProfileList.h"
#include "SqliteShell.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace scenario {

namespace {

std::wstring Widen(const char* text)
{
    std::wstring wide;
    while (*text) wide += wchar_t(*text++);
    return wide;
}

// Deletes a folder with everything in it; nothing happens when it is missing.
void RemoveTree(const std::wstring& folder)
{
    std::wstring from = folder;
    while (!from.empty() && from.back() == L'\\') from.pop_back();
    if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    from.push_back(L'\0');  // the list ends with two nulls
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

void SendMouse(HWND window, UINT message, WPARAM buttons, POINT at)
{
    SendMessageW(window, message, buttons, MAKELPARAM(at.x, at.y));
}

// Whether `outer` is the control or one of the panels holding it (the window
// sees the outermost panel under the pointer).
bool Holds(WEXA::MControl* outer, WEXA::MControl* control)
{
    for (WEXA::MControl* c = control; c; c = dynamic_cast<WEXA::MControl*>(c->GetParantObject()))
        if (c == outer) return true;
    return false;
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

bool ClickIn(HWND window, WEXA::PaintManager* manager, POINT at, WEXA::MControl* expected)
{
    // A pointer arrives with more than one move. Under Wine the first move a
    // shown window gets often leaves nothing hovered, so a second one follows
    // when needed.
    SendMouse(window, WM_MOUSEMOVE, 0, at);
    WEXA::MControl* hover = manager->GetHoverControl();
    if (!hover || !Holds(hover, expected)) {
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        SendMouse(window, WM_MOUSEMOVE, 0, at);
        hover = manager->GetHoverControl();
    }
    if (!hover || !Holds(hover, expected)) {
        ADD_FAILURE() << "the pointer at (" << at.x << ", " << at.y << ") is over control "
                      << (hover ? int(hover->GetControlID()) : -1) << ", not "
                      << int(expected->GetControlID()) << ": no press";
        return false;
    }
    SendMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMouse(window, WM_LBUTTONUP, 0, at);
    return true;
}

bool ClickControlIn(HWND window, WEXA::PaintManager* manager, WEXA::MControl* control)
{
    if (!control || !control->IsVisible()) {
        ADD_FAILURE() << "the control is not shown";
        return false;
    }
    return ClickIn(window, manager, Centre(control->GetRect()), control);
}

POINT ProfileRowPoint(WEXA::ProfileList* list, int index, bool onButton)
{
    EXPECT_TRUE(index >= list->GetFirstDrawn() && index <= list->GetLastDrawn())
        << "row " << index << " is not drawn";
    if (index < 0 || index >= list->GetItemCount()) return POINT{-1, -1};
    CRect row(list->m_items[size_t(index)]->rcItem);
    row.OffsetRect(list->GetRect().left, list->GetRect().top - list->GetRowOffset());
    CRect button = list->m_rcButton;
    button.OffsetRect(row.left, row.top);
    return onButton ? button.CenterPoint() : POINT{row.left + 10, row.CenterPoint().y};
}

std::string Hex(const uint8_t* bytes, size_t count)
{
    std::string text;
    char part[4];
    for (size_t i = 0; i < count; ++i) {
        snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text;
}

void TypeKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

DWORD Tick(void* context)
{
    return *static_cast<DWORD*>(context);
}

std::string ModelTestName(const ::testing::TestParamInfo<sim::SimModel>& info)
{
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        if (*c != '-') name += *c;
    return name;
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? char(c) : '?';
    return narrow;
}

void Scenario::SetUp()
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    // A first start: no data folder, no settings (the harness empties them).
    DeviceDataDB::Instance()->CloseDevice();
    RemoveTree(GetDataFolder());
    ASSERT_EQ(GetFileAttributesW(GetDataFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    harness.reset(new testutil::MainWindowHarness);
    keyboard.reset(new sim::SimKeyboard(Model()));
    port = harness->Bus().AddModel(*keyboard);
    ASSERT_TRUE(harness->Start(SW_SHOW));
    ASSERT_TRUE(harness->WaitForTasks({TASK_INIT}));
    HWND window = harness->Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetForegroundWindow(window);
    // The real pointer rests beside the window, so that nothing shows a hover
    // the test did not make.
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    ASSERT_TRUE(harness->Settle());
}

void Scenario::TearDown()
{
    if (keyboard) {
        EXPECT_EQ(keyboard->Verify(), std::vector<std::string>());
    }
    harness.reset();
    keyboard.reset();
    DeviceDataDB::Instance()->CloseDevice();
    RemoveTree(GetDataFolder());
}

bool Scenario::Shown(UINT id)
{
    WEXA::MControl* control = Dlg().Ctl(id);
    return control && control->IsVisible() && control->IsParentVisible();
}

void Scenario::ClickAt(POINT at, WEXA::MControl* expected)
{
    ClickIn(harness->Window(), Dlg().GetPaintManager(), at, expected);
    harness->Pump(10);
}

void Scenario::ClickControl(UINT id)
{
    WEXA::MControl* control = Dlg().Ctl(id);
    ASSERT_TRUE(control && control->IsVisible()) << "control " << id << " is not shown";
    ClickAt(Centre(control->GetRect()), control);
}

void Scenario::ClickModelCard()
{
    auto* cards = Control<WEXA::CDeviceList>(81);
    ASSERT_NE(cards, nullptr);
    InvalidateRect(harness->Window(), nullptr, FALSE);
    UpdateWindow(harness->Window());
    int index = -1;
    WEXA::DEVICEITEM_INFO card;
    for (int i = 0; i < cards->GetItemCount(); ++i)
        if (cards->GetDevice(i, card) && card.nDeviceId == Model().deviceType) index = i;
    ASSERT_GE(index, 0) << "no card for the model";
    ASSERT_TRUE(cards->GetDevice(index, card));
    ASSERT_GT(card.nOnline, 0) << "the plugged keyboard's card shows it online";
    RECT at = card.rcItem;
    OffsetRect(&at, cards->GetRect().left, cards->GetRect().top);
    ClickAt(Centre(at), cards);
}

void Scenario::OpenTab(int position)
{
    WEXA::MTabCtrl* tab = Dlg().MainTab();
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(tab->GetItemVisible(position)) << "tab " << position << " is hidden";
    InvalidateRect(harness->Window(), nullptr, FALSE);
    UpdateWindow(harness->Window());
    ClickAt(Centre(tab->GetItemInfo(position)->rect), tab);
    harness->Pump(60);  // the page slides in
    ASSERT_EQ(tab->GetSelectItem(), position);
    Settle();
}

void Scenario::ClickKey(int code)
{
    auto* picture = Control<WEXA::KeyboardCtrl>(58);
    ASSERT_NE(picture, nullptr);
    for (const WEXA::KEY_INFO* key : picture->GetKeyItems()) {
        if (key->nKeyCode != code) continue;
        CRect rect = picture->GetRealRect(CRect(key->rcKey));
        rect.OffsetRect(picture->GetRect().left, picture->GetRect().top);
        ASSERT_EQ(picture->GetKeyCodeByPoint(rect.CenterPoint()), code);
        ClickAt(rect.CenterPoint(), picture);
        return;
    }
    FAIL() << "no key " << code << " on the picture";
}

void Scenario::ChooseFromCombo(UINT id, long data)
{
    auto* combo = Control<WEXA::MComboBox>(id);
    ASSERT_NE(combo, nullptr);
    int index = -1;
    for (int i = 0; i < combo->GetCount(); ++i)
        if (combo->GetItemData(i) == data) index = i;
    ASSERT_GE(index, 0) << "combo " << id << " lists no " << data;
    ASSERT_NO_FATAL_FAILURE(ClickControl(id));
    WEXA::CComboBoxWnd* popup = combo->GetDropDown();
    ASSERT_TRUE(popup && IsWindowVisible(popup->GetSafeHwnd())) << "the list did not drop down";
    HWND list = popup->GetSafeHwnd();
    WEXA::CComboBoxList* rows = popup->GetList();
    UpdateWindow(list);
    for (int turn = 0; turn < 20 && index > rows->GetLastVisible(); ++turn) {
        POINT over = Centre(rows->GetRect());
        ClientToScreen(list, &over);
        SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)),
                     MAKELPARAM(over.x, over.y));
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
    }
    ASSERT_TRUE(index >= rows->GetFirstVisible() && index <= rows->GetLastVisible())
        << "entry " << index << " never showed";
    const POINT at = Centre(rows->GetItemRect(index));
    SendMouse(list, WM_MOUSEMOVE, 0, at);
    SendMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMouse(list, WM_LBUTTONUP, 0, at);
    harness->Pump(30);
    EXPECT_EQ(combo->GetItemData(combo->GetCurSel()), data);
}

void Scenario::ChooseCategory(int category)
{
    auto* tabs = Control<WEXA::TabCtrlEx>(88);
    ASSERT_NE(tabs, nullptr);
    int index = -1;
    for (int i = 0; i < tabs->GetItemCount(); ++i)
        if (tabs->GetItemData(i) == category) index = i;
    ASSERT_GE(index, 0);
    const CRect r = tabs->GetRect();
    ClickAt(POINT{r.left + 20, r.top + 43 * index + 21}, tabs);
    ASSERT_EQ(tabs->GetCurData(), category);
    UpdateWindow(harness->Window());
}

void Scenario::PickTile(int value)
{
    auto* grid = Control<WEXA::KeyFuncValue>(89);
    ASSERT_NE(grid, nullptr);
    int index = -1;
    for (int i = 0; i < grid->GetItemCount() && index < 0; ++i)
        if (grid->GetItemData(i) == value) index = i;
    ASSERT_GE(index, 0) << "no tile " << value;
    CRect tile = grid->GetItemRect(index);
    ASSERT_FALSE(tile.IsRectEmpty()) << "tile " << value << " is not drawn";
    tile.OffsetRect(grid->GetRect().left, grid->GetRect().top);
    ClickAt(tile.CenterPoint(), grid);
    Settle();
}

void Scenario::SwitchTo(int row, bool expectSwitched)
{
    int chosen = 0;
    bool confirmed = false;
    {
        // The dialog runs its own loop inside the click on the profile button.
        EveryTick drive([&] {
            HWND window = FindWindowW(nullptr, kProfileDlgWindowName);
            auto* dialog = dynamic_cast<ProfileDlg*>(
                reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
            if (!dialog || !IsWindowVisible(window)) return false;
            WEXA::ProfileList* list = dialog->List();
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            chosen = list->GetItemData(row);
            WEXA::PaintManager* manager = dialog->GetPaintManager();
            if (ClickIn(window, manager, ProfileRowPoint(list, row, false), list))
                confirmed =
                    ClickControlIn(window, manager, dialog->GetControl(ProfileDlg::kConfirmId));
            if (!confirmed) dialog->DoCancel();
            return true;
        });
        ASSERT_NO_FATAL_FAILURE(ClickControl(50));
    }
    ASSERT_TRUE(confirmed);
    Settle();
    if (!expectSwitched) return;
    EXPECT_EQ(Dlg().m_currentProfile, chosen);
    EXPECT_EQ(Control<WEXA::ProfileList>(53)->GetCurData(), chosen);
    EXPECT_EQ(SqlValue("SELECT profile FROM t_profile_data WHERE status = 1"),
              std::to_string(chosen));
}

void Scenario::Settle()
{
    ASSERT_TRUE(harness->Settle(150));
}

size_t Scenario::TaskCount(int code) const
{
    size_t count = 0;
    for (const auto& task : harness->Tasks())
        if (task.code == code) ++count;
    return count;
}

void Scenario::Unplug()
{
    const size_t removals = TaskCount(TASK_DEVICE_REMOVED);
    harness->Bus().Unplug(port);
    harness->SendDeviceChange(false, VendorPath());
    ASSERT_TRUE(harness->PumpUntil([&] { return TaskCount(TASK_DEVICE_REMOVED) > removals; }));
    Settle();
}

void Scenario::PlugBack()
{
    const size_t arrivals = TaskCount(TASK_DEVICE_ARRIVED);
    harness->Bus().Plug(port);
    harness->SendDeviceChange(true, VendorPath());
    ASSERT_TRUE(harness->PumpUntil([&] { return TaskCount(TASK_DEVICE_ARRIVED) > arrivals; }));
    Settle();
}

std::wstring Scenario::VendorPath()
{
    // The interface number of the model's cable mode, as config.xml names it
    // ("VID_3A7E&PID_8701&MI_01").
    for (const DeviceEntry& mode : Dlg().m_deviceModes) {
        const size_t at = mode.hidInterface.find(L"&MI_");
        if (mode.vendorId == Model().vendorId && mode.productId == Model().productId &&
            at != std::wstring::npos)
            return testutil::DevicePathOf(
                Model().vendorId, Model().productId,
                int(wcstol(mode.hidInterface.c_str() + at + 4, nullptr, 16)));
    }
    ADD_FAILURE() << "config.xml names no cable interface of the model";
    return L"";
}

std::wstring Scenario::DbFile() const
{
    return GetDataFolder() + L"db\\" + Widen(Model().name) + L"_data_2.db";
}

std::vector<std::string> Scenario::Sql(const std::string& query)
{
    int exitCode = -1;
    const std::string out = testutil::RunSqliteShell(DbFile().c_str(), query + ";\n", &exitCode);
    EXPECT_EQ(exitCode, 0) << query;
    return testutil::Lines(out);
}

std::string Scenario::SqlValue(const std::string& query)
{
    const std::vector<std::string> rows = Sql(query);
    return rows.size() == 1 ? rows[0] : "(" + std::to_string(rows.size()) + " rows)";
}

int Scenario::KeyIndex(int keyCode) const
{
    for (size_t i = 0; i < Model().keyCount; ++i)
        if (Model().keys[i].usage == keyCode) return Model().keys[i].keyIndex;
    return -1;
}

int Scenario::KeyLed(int keyCode) const
{
    for (size_t i = 0; i < Model().keyCount; ++i)
        if (Model().keys[i].usage == keyCode) return Model().keys[i].led;
    return -1;
}

std::string Scenario::KeyRecord(uint8_t block, int keyCode)
{
    const int index = KeyIndex(keyCode);
    const sim::Bytes& bytes = keyboard->Block(block);
    if (index < 0 || bytes.size() < size_t(3 * index + 3)) return "(none)";
    return Hex(&bytes[size_t(3 * index)], 3);
}

std::wstring Scenario::KeyLabel(int keyCode)
{
    for (const WEXA::KEY_INFO* key : Control<WEXA::KeyboardCtrl>(58)->GetKeyItems())
        if (key->nKeyCode == keyCode) return static_cast<const wchar_t*>(key->strName);
    return L"(none)";
}

}  // namespace scenario
