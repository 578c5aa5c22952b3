#include "MacroPageFixture.h"

#include <shlobj.h>

#include <algorithm>
#include <ostream>

#include "MTabCtrl.h"
#include "dialogs/CUIMessageBox.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/AppEnvironment.h"
#include "services/hid/HidDeviceManager.h"

namespace macrotest {

void SendKey(WORD vk, bool up, WORD scan, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags | (up ? KEYEVENTF_KEYUP : 0);
    input.ki.dwExtraInfo = kInjectMark;
    SendInput(1, &input, sizeof(input));
}

void SendMouse(DWORD flags, DWORD mouseData)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = mouseData;
    input.mi.dwExtraInfo = kInjectMark;
    SendInput(1, &input, sizeof(input));
}

std::ostream& operator<<(std::ostream& out, const Record& r)
{
    std::string text;
    for (wchar_t c : r.text) text += c < 128 ? char(c) : '?';
    return out << "{" << r.type << ", 0x" << std::hex << r.value << std::dec << ", " << r.delay
               << ", \"" << text << "\"}";
}

namespace {

DWORD Tick(void* context)
{
    return *static_cast<DWORD*>(context);
}

MacroPageTest* g_running = nullptr;

}  // namespace

void MacroPageTest::SetUp()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name(info->name(), info->name() + strlen(info->name()));
    std::replace(name.begin(), name.end(), L'/', L'-');  // parameterised names
    folder = std::wstring(temp) + L"kestrova-macros-" + std::to_wstring(GetCurrentProcessId()) +
             L"-" + name + L"\\";
    SHCreateDirectoryExW(nullptr, (folder + L"db").c_str(), nullptr);
    DeleteFileW((folder + L"db\\k87_data_2.db").c_str());
    ASSERT_TRUE(Db().OpenDevice(folder.c_str(), L"k87"));
}

const wchar_t kModelName[] = L"Kestrova-K87";

void CALLBACK MacroPageTest::AnswerBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    static HWND answered = nullptr;  // closing already
    HWND box = FindWindowW(nullptr, kMessageBoxWindowName);
    if (!box) answered = nullptr;
    if (!box || box == answered || !IsWindowVisible(box) || !g_running) return;
    auto* dialog = dynamic_cast<CUIMessageBox*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(box, GWLP_USERDATA)));
    if (!dialog) return;
    g_running->boxes.push_back(
        {(const wchar_t*)dialog->m_title, (const wchar_t*)dialog->m_message});
    answered = box;
    PostMessageW(box, WEXA::WM_USER_CLOSE_WINDOW, 2, 0);
}

void MacroPageTest::TearDown()
{
    if (boxTimer) KillTimer(nullptr, boxTimer);
    g_running = nullptr;
    h.reset();
    keyboard.reset();
    Db().CloseDevice();
    Db().DeleteDeviceFile(GetDataFolder().c_str(), kModelName);
    DeleteFileW((folder + L"db\\k87_data_2.db").c_str());
}

void MacroPageTest::StartWindow(int languageId)
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(languageId);
    // A pick of the card opens the model's own database in the data folder:
    // each test starts it empty, whatever an earlier program left there.
    ASSERT_TRUE(Db().DeleteDeviceFile(GetDataFolder().c_str(), kModelName));
    h.reset(new testutil::MainWindowHarness);
    keyboard.reset(new sim::SimKeyboard(sim::Model("Kestrova-K87")));
    h->Bus().AddModel(*keyboard);
    ASSERT_TRUE(h->Start(SW_SHOW));
    ASSERT_TRUE(h->WaitForTasks({TASK_INIT}));
    HWND window = h->Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    // The pick of the keyboard's card reloads the pages.
    h->SendControlEvent(81, 2);
    ASSERT_TRUE(h->WaitForTasks({TASK_DEVICE_SELECTED}));
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        DeviceSession session(HidDeviceManager::Instance());
        ASSERT_TRUE(Dlg().ReadDeviceInfo());
        ASSERT_TRUE(Dlg().ReadDefaultKeyTables());
    }
    Dlg().SetMacroClock(&Tick, &clock);
    g_running = this;
    boxTimer = SetTimer(nullptr, 0, 40, &MacroPageTest::AnswerBoxes);
    Dlg().MainTab()->SetSelectItem(5);
    InvalidateRect(window, nullptr, FALSE);
    h->Pump(100);
    ASSERT_EQ(Dlg().m_currentPage.load(), 5);
}

void MacroPageTest::SelectMacro(int row)
{
    Macros()->SetCurSel(row);
    h->SendControlEvent(209, 2);
}

std::vector<Record> MacroPageTest::ListedRecords()
{
    std::vector<Record> list;
    for (const WEXA::RecordItem* item : Events()->GetRecordItems())
        list.push_back(
            {item->nEventType, item->nKeyCode, item->nTimeStamp, (const wchar_t*)item->strText});
    return list;
}

std::vector<Record> MacroPageTest::StoredRecords(int macroId, std::vector<int>* indexes)
{
    std::vector<MacroRecordData*> rows;
    Db().GetMacroRecords(macroId, rows);
    std::vector<Record> list;
    for (const MacroRecordData* row : rows) {
        list.push_back({row->type, row->value, row->delay_time, (const wchar_t*)row->desc});
        if (indexes) indexes->push_back(row->record_index);
    }
    FreeRecordList(rows);
    return list;
}

POINT MacroPageTest::CentreOf(UINT id)
{
    RECT rect = Dlg().Ctl(id)->GetRect();
    POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(h->Window(), &at);
    return at;
}

POINT MacroPageTest::QuietPoint()
{
    // Beside the window: a left press on the window's own background would
    // start moving the window.
    RECT placed;
    GetWindowRect(h->Window(), &placed);
    return POINT{placed.right + 40, placed.top + 200};
}

void MacroPageTest::PressKey(WORD vk, WORD scan, DWORD flags)
{
    SendKey(vk, false, scan, flags);
    Settle();
}

void MacroPageTest::ReleaseKey(WORD vk, WORD scan, DWORD flags)
{
    SendKey(vk, true, scan, flags);
    Settle();
}

std::vector<int> MacroPageTest::TasksSince(size_t mark)
{
    std::vector<int> codes;
    auto tasks = h->Tasks();
    for (size_t i = mark; i < tasks.size(); ++i) codes.push_back(tasks[i].code);
    return codes;
}

std::vector<uint8_t> MacroPageTest::KeyboardMacroTable()
{
    const sim::Bytes& memory = keyboard->Block(0x2D);
    if (memory.size() < 4) return {};
    const size_t length = memory[2] | (memory[3] << 8);
    return std::vector<uint8_t>(memory.begin(), memory.begin() + std::min(length, memory.size()));
}

}  // namespace macrotest
