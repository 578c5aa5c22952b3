#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <algorithm>
#include <cwctype>
#include <thread>

#include "DataFolderAside.h"
#include "MControl.h"
#include "Manager.h"
#include "WindowTestHelpers.h"
#include "services/hid/HidDeviceManager.h"

namespace testutil {

namespace {

const wchar_t kTestSoftwareName[] = L"Kestrova Test";
// Every test program that drives the main window starts without the data an
// earlier one left in the window's data folder, and leaves the folder as it
// found it (put aside when its first window harness is made).
DataFolderAside* const g_dataFolderAside = static_cast<DataFolderAside*>(
    ::testing::AddGlobalTestEnvironment(new DataFolderAside(kTestSoftwareName)));
// A control event posted to the window: wparam the event record.
const UINT kPostedControlEvent = WM_APP + 0x3A7;

struct PostedEvent
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
};

// The main window with the one thing a test adds: posted control events.
class HarnessWindow : public KeyboardDlg
{
public:
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == kPostedControlEvent) {
            std::unique_ptr<PostedEvent> event(reinterpret_cast<PostedEvent*>(wparam));
            return OnMessage(event->id, event->code, event->wparam, event->lparam);
        }
        return KeyboardDlg::OnWindowMessage(msg, wparam, lparam);
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        // The main tab's change event switches the page: UI thread only.
        HWND window = GetSafeHwnd();
        if (id == 68 && window && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
            ++offThreadPageSwitches;
        return KeyboardDlg::OnMessage(id, code, wparam, lparam);
    }
    std::atomic<int> offThreadPageSwitches{0};
};

std::wstring Upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return wchar_t(towupper(c)); });
    return text;
}

}  // namespace

bool ProcessSimBus::IsConfigInterface(const wchar_t* devicePath)
{
    if (!devicePath) return false;
    std::wstring path = Upper(devicePath);
    for (const HidInterfaceInfo& info : Enumerate(0, 0)) {
        if (info.usagePage != 0xFF60 || info.usage != 0x61) continue;
        wchar_t ids[32];
        swprintf(ids, 32, L"VID_%04X&PID_%04X", info.vendorId, info.productId);
        if (path.find(ids) != std::wstring::npos) return true;
    }
    return false;
}

ProcessSimBus& SimulatedHid()
{
    static ProcessSimBus* bus = [] {
        auto* created = new ProcessSimBus;  // lives as long as the process's manager
        HidDeviceManager::UseProcessPlatform(created);
        return created;
    }();
    return *bus;
}

void ResetBus()
{
    ProcessSimBus& bus = SimulatedHid();
    HidDeviceManager::Instance().CloseAll();
    for (const HidInterfaceInfo& info : bus.Enumerate(0, 0)) {
        bus.Unplug(info.interfaceNumber);
        bus.Interface(info.interfaceNumber).device = nullptr;
    }
    bus.ClearLog();
}

std::wstring DevicePathOf(int vendorId, int productId, int interfaceNumber)
{
    wchar_t path[128];
    swprintf(path, 128,
             L"\\\\?\\HID#VID_%04X&PID_%04X&MI_%02X#7&1a2b3c4d&0&0000#"
             L"{4d1e55b2-f16f-11cf-88cb-001111000030}",
             vendorId, productId, interfaceNumber);
    return path;
}

MainWindowHarness::MainWindowHarness()
{
    SimulatedHid();
    WEXA::Manager::SetDeviceName(kTestSoftwareName);
    g_dataFolderAside->PutAside();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Kestrova Test");
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Kestrova Test", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    dlg_.reset(new HarnessWindow);
    dlg_->SetTaskObserver(&MainWindowHarness::OnTask, this);
    dlg_->SetEndProcess(&MainWindowHarness::OnExit, this);
    dlg_->SetPauseFunction(&MainWindowHarness::OnPause, this);
}

MainWindowHarness::~MainWindowHarness()
{
    Stop();
    ResetBus();
}

bool MainWindowHarness::Start(int showCommand)
{
    if (!lockedSends_) lockedSends_.reset(new LockedSendWatch(dlg_->DeviceStateLock()));
    HWND window = dlg_->CreateMainWindow(showCommand);
    if (!window) return false;
    Pump(20);
    return true;
}

void MainWindowHarness::RecordMessageBoxes(int answer)
{
    RecordMessageBoxes([answer](const MessageBoxRecord&) { return answer; });
}

void MainWindowHarness::RecordMessageBoxes(MessageBoxAnswer answerer)
{
    boxAnswer_ = std::move(answerer);
    dlg_->SetMessageBoxFunction(&MainWindowHarness::OnMessageBox, this);
}

std::vector<std::wstring> MainWindowHarness::MessageBoxes() const
{
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::wstring> texts;
    for (const MessageBoxRecord& box : boxes_) texts.push_back(box.message);
    return texts;
}

std::vector<MainWindowHarness::MessageBoxRecord> MainWindowHarness::MessageBoxRecords() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return boxes_;
}

void MainWindowHarness::ClearMessageBoxes()
{
    std::lock_guard<std::mutex> hold(lock_);
    boxes_.clear();
}

int MainWindowHarness::OnMessageBox(void* self, HWND, const wchar_t* message, const wchar_t* title,
                                    int mode)
{
    auto* harness = static_cast<MainWindowHarness*>(self);
    const MessageBoxRecord box{message ? message : L"", title ? title : L"", mode};
    {
        std::lock_guard<std::mutex> hold(harness->lock_);
        harness->boxes_.push_back(box);
    }
    return harness->boxAnswer_ ? harness->boxAnswer_(box) : IDOK;
}

HWND MainWindowHarness::Window() const
{
    return dlg_ ? dlg_->GetSafeHwnd() : nullptr;
}

int MainWindowHarness::OffThreadPageSwitches() const
{
    return dlg_ ? static_cast<HarnessWindow*>(dlg_.get())->offThreadPageSwitches.load() : 0;
}

std::vector<std::string> MainWindowHarness::LockedSends() const
{
    return lockedSends_ ? lockedSends_->Violations() : std::vector<std::string>();
}

void MainWindowHarness::Stop()
{
    if (!dlg_) return;
    dlg_->StopWorker();
    EXPECT_EQ(OffThreadPageSwitches(), 0)
        << "a page was switched on a thread other than the window's";
    for (const std::string& line : LockedSends())
        ADD_FAILURE() << "the worker made the UI thread wait with the device-state lock held: "
                      << line;
    lockedSends_.reset();
    if (IsWindow(dlg_->GetSafeHwnd())) dlg_->Shutdown();
    PumpPending();
    dlg_.reset();
    HidDeviceManager::Instance().CloseAll();
}

LONG MainWindowHarness::SendControlEvent(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return dlg_->OnMessage(id, code, wparam, lparam);
}

void MainWindowHarness::PostControlEvent(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    auto* event = new PostedEvent{id, code, wparam, lparam};
    if (!PostMessageW(Window(), kPostedControlEvent, reinterpret_cast<WPARAM>(event), 0))
        delete event;
}

bool MainWindowHarness::Click(UINT id)
{
    WEXA::MControl* control = dlg_->Ctl(id);
    if (!control || !control->IsVisible()) return false;
    RECT rect = control->GetRect();
    // A control without a place cannot be clicked: a press over nothing goes
    // to the window itself, which starts moving the window, and Wine's move
    // loop then waits for a real button release that never comes.
    if (IsRectEmpty(&rect)) return false;
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    HWND window = Window();
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    if (!dlg_->GetPaintManager()->GetHoverControl()) {
        // Under Wine the first move a shown window gets may hover nothing.
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        SendMessageW(window, WM_MOUSEMOVE, 0, at);
        if (!dlg_->GetPaintManager()->GetHoverControl()) return false;
    }
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    return true;
}

namespace {

void SendMouseInput(DWORD flags, POINT screen = POINT{0, 0})
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = LONG(screen.x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = LONG(screen.y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
    }
    SendInput(1, &input, sizeof(input));
}

void SendKeyInput(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void MainWindowHarness::MoveMouseTo(POINT client, DWORD glideMs, int steps)
{
    HWND window = Window();
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    POINT to = client;
    ClientToScreen(window, &to);
    POINT from;
    GetCursorPos(&from);
    if (steps < 1) steps = 1;
    for (int i = 1; i <= steps; ++i) {
        const POINT at = {from.x + (to.x - from.x) * i / steps,
                          from.y + (to.y - from.y) * i / steps};
        SendMouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
        Pump(glideMs / DWORD(steps));
    }
}

void MainWindowHarness::ClickAt(POINT client, DWORD moveToClickMs)
{
    MoveMouseTo(client, 0, 1);
    Pump(moveToClickMs);
    // The finger lifts 30 ms later whatever the window does with the press
    // meanwhile (a press that starts moving the window keeps this thread in
    // the system's move loop until the button comes up).
    SendMouseInput(MOUSEEVENTF_LEFTDOWN);
    std::thread release([] {
        Sleep(30);
        SendMouseInput(MOUSEEVENTF_LEFTUP);
    });
    Pump(30);
    release.join();
    Pump(30);
}

void MainWindowHarness::TypeKey(WORD vk, bool withCtrl)
{
    HWND window = Window();
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    if (withCtrl) SendKeyInput(VK_CONTROL, false);
    SendKeyInput(vk, false);
    SendKeyInput(vk, true);
    if (withCtrl) SendKeyInput(VK_CONTROL, true);
    Pump(30);
}

void MainWindowHarness::TypeText(const wchar_t* text)
{
    for (; text && *text; ++text) TypeKey(WORD(towupper(*text)));
}

LONG MainWindowHarness::SendDeviceChange(bool arrival, const std::wstring& path)
{
    size_t bytes = sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + path.size() * sizeof(wchar_t);
    std::vector<BYTE> buffer(bytes, 0);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    record->dbcc_size = DWORD(bytes);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    wcscpy(record->dbcc_name, path.c_str());
    return LONG(SendMessageW(Window(), WM_DEVICECHANGE,
                             arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                             reinterpret_cast<LPARAM>(record)));
}

void MainWindowHarness::Pump(DWORD milliseconds)
{
    // The animated background keeps the queue busy: the time is checked
    // between messages, not only when the queue is empty.
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (GetTickCount() - start >= milliseconds) return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

std::vector<MainWindowHarness::TaskRecord> MainWindowHarness::Tasks() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return tasks_;
}

std::vector<int> MainWindowHarness::PerformedTasks() const
{
    std::vector<int> codes;
    for (const TaskRecord& record : Tasks())
        if (record.performed) codes.push_back(record.code);
    return codes;
}

bool MainWindowHarness::WaitForTasks(const std::vector<int>& codes, DWORD timeoutMs)
{
    return PumpUntil(
        [&] {
            std::vector<TaskRecord> seen = Tasks();
            for (int code : codes) {
                bool found = std::any_of(seen.begin(), seen.end(),
                                         [code](const TaskRecord& r) { return r.code == code; });
                if (!found) return false;
            }
            return true;
        },
        timeoutMs);
}

bool MainWindowHarness::Settle(DWORD quietMs, DWORD timeoutMs)
{
    size_t lastCount = Tasks().size();
    DWORD quietSince = GetTickCount();
    return PumpUntil(
        [&] {
            size_t count = Tasks().size();
            if (count != lastCount || !dlg_->m_taskQueue.Snapshot().empty()) {
                lastCount = count;
                quietSince = GetTickCount();
                return false;
            }
            return GetTickCount() - quietSince >= quietMs;
        },
        timeoutMs);
}

void MainWindowHarness::OnTask(void* self, int code, bool performed)
{
    auto* harness = static_cast<MainWindowHarness*>(self);
    std::lock_guard<std::mutex> hold(harness->lock_);
    harness->tasks_.push_back({code, performed, GetTickCount()});
}

void MainWindowHarness::OnExit(void* self)
{
    ++static_cast<MainWindowHarness*>(self)->exits_;
}

void MainWindowHarness::OnPause(void* self, DWORD)
{
    ++static_cast<MainWindowHarness*>(self)->pauses_;
}

}  // namespace testutil
