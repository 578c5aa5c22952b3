#include "Monkey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "CDeviceList.h"
#include "MControl.h"
#include "MTabCtrl.h"
#include "mainwnd/TaskQueue.h"

namespace testutil {

namespace {

// The window's close button ends the process (the worker stops with it): the
// monkey leaves it alone.
const UINT kCloseButton = 39;
const UINT kMainTab = 68;
const UINT kHighestControlId = 800;
const size_t kInputsKept = 50;

void SendMouse(DWORD flags, POINT screen = POINT{0, 0}, DWORD data = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = LONG(screen.x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = LONG(screen.y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
    }
    SendInput(1, &input, sizeof(input));
}

void MoveTo(POINT screen)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
}

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

std::string KeyName(WORD vk)
{
    switch (vk) {
        case VK_ESCAPE: return "Esc";
        case VK_RETURN: return "Return";
        case VK_TAB: return "Tab";
        case VK_BACK: return "Backspace";
        case VK_DELETE: return "Delete";
        case VK_SPACE: return "Space";
        case VK_LEFT: return "Left";
        case VK_RIGHT: return "Right";
        case VK_UP: return "Up";
        case VK_DOWN: return "Down";
        default: return std::string(1, char(vk));
    }
}

std::string Point(POINT at)
{
    return "(" + std::to_string(at.x) + ", " + std::to_string(at.y) + ")";
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct ThreadWindows
{
    HWND main;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    auto* windows = reinterpret_cast<ThreadWindows*>(context);
    if (window != windows->main && IsWindowVisible(window)) windows->found.push_back(window);
    return TRUE;
}

}  // namespace

Monkey::Monkey(MainWindowHarness& h, sim::SimKeyboard& keyboard, int port,
               sim::SimReceiver* receiver, int receiverPort, MonkeyOptions options)
    : h_(h),
      keyboard_(keyboard),
      port_(port),
      receiver_(receiver),
      receiverPort_(receiverPort),
      options_(options),
      random_(options.seed)
{
    // Boxes are answered as a user might, differently from box to box but the
    // same for the same seed: yes or no to a question, OK or cancel.
    auto count = std::make_shared<std::atomic<unsigned>>(0);
    const unsigned seed = options.seed;
    h_.RecordMessageBoxes([count, seed](const MainWindowHarness::MessageBoxRecord& box) {
        const unsigned n = (count->fetch_add(1) + 1) * 2654435761u ^ seed;
        const bool first = (n >> 7) % 3 != 0;
        switch (box.mode & 0xF) {
            case MB_YESNO:
            case MB_YESNOCANCEL: return first ? IDYES : IDNO;
            case MB_OKCANCEL: return first ? IDOK : IDCANCEL;
            default: return IDOK;
        }
    });
    // Links and the update check reach nothing outside the test.
    KeyboardDlg& dlg = h_.Dlg();
    dlg.m_websiteUrl.clear();
    dlg.m_feedbackUrl.clear();
    dlg.m_faqsUrl.clear();
    dlg.m_storeUrl.clear();
    dlg.m_upgradeUrl = L"http://127.0.0.1:9/kestrova/";
    dlg.SetFileChooser([](void*, HWND, bool, std::wstring&) { return false; }, nullptr);
    dlg.SetOpenFileFunction([](void*, const wchar_t*) { return INT_PTR(42); }, nullptr);
}

Monkey::~Monkey() = default;

std::string Monkey::Header() const
{
    return "monkey: model " + options_.model + ", seed " + std::to_string(options_.seed);
}

int Monkey::Random(int from, int to)
{
    return std::uniform_int_distribution<int>(from, to)(random_);
}

void Monkey::Note(const std::string& what)
{
    std::lock_guard<std::mutex> hold(lock_);
    last_.push_back("#" + std::to_string(++serial_) + " " + what);
    while (last_.size() > kInputsKept) last_.pop_front();
    ++figures_.inputs;
}

std::vector<std::string> Monkey::LastInputs() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return std::vector<std::string>(last_.begin(), last_.end());
}

void Monkey::Fail(const std::string& why, DWORD stalledSince)
{
    std::fprintf(stderr, "\n*** %s: %s\n", Header().c_str(), why.c_str());
    std::fprintf(stderr, "the last inputs, oldest first:\n");
    for (const std::string& line : LastInputs()) std::fprintf(stderr, "  %s\n", line.c_str());
    std::fflush(stdout);
    std::fflush(stderr);
    // What the window's thread shows (read without a message to it).
    ThreadWindows windows{nullptr, {}};
    EnumThreadWindows(uiThread_, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows.found) {
        wchar_t title[64] = L"";
        InternalGetWindowText(window, title, 64);
        RECT rect;
        GetWindowRect(window, &rect);
        std::fprintf(stderr, "window %s \"%ls\" (%ld, %ld, %ld, %ld)%s%s%s\n",
                     ClassOf(window).c_str(), title, rect.left, rect.top, rect.right, rect.bottom,
                     window == window_ ? " main" : "",
                     (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) ? " layered" : "",
                     IsWindowEnabled(window) ? "" : " disabled");
    }
    std::fflush(stderr);
    // Where every thread stands, from the debugger when there is one (Wine's),
    // twice: a thread that moves on is busy, one that stays is stuck.
    for (int sample = 0; sample < 2; ++sample) {
        if (sample) Sleep(3000);
        wchar_t command[96];
        swprintf(command, 96, L"winedbg --command \"bt all\" %lu",
                 static_cast<unsigned long>(GetCurrentProcessId()));
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION debugger = {};
        if (CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &debugger)) {
            WaitForSingleObject(debugger.hProcess, 30000);
            CloseHandle(debugger.hThread);
            CloseHandle(debugger.hProcess);
        }
    }
    // A window that answers late is told from one that never does.
    if (stalledSince) {
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
        std::fprintf(stderr, "*** %s: the window's thread %s %lu ms after it was first asked\n",
                     Header().c_str(), answered ? "answered" : "still did not answer",
                     static_cast<unsigned long>(GetTickCount() - stalledSince));
        std::fflush(stderr);
    }
    TerminateProcess(GetCurrentProcess(), 3);
}

void Monkey::RefreshTargets()
{
    RECT client;
    GetClientRect(window_, &client);
    std::vector<Target> found;
    RECT closeRect{};
    for (UINT id = 1; id < kHighestControlId; ++id) {
        WEXA::MControl* control = h_.Dlg().Ctl(id);
        if (!control || !control->IsVisible() || !control->IsParentVisible()) continue;
        RECT rect = control->GetRect(), inside;
        if (!IntersectRect(&inside, &rect, &client)) continue;
        if (id == kCloseButton)
            closeRect = inside;
        else
            found.push_back({inside, id});
    }
    WEXA::MTabCtrl* tab = h_.Dlg().MainTab();
    const int page = tab && tab->IsVisible() ? tab->GetSelectItem() : -1;
    std::lock_guard<std::mutex> hold(lock_);
    if (page != shownPage_) {
        shownPage_ = page;
        ++figures_.pagesSeen;
    }
    targets_.swap(found);
    closeRect_ = closeRect;
}

bool Monkey::PickTarget(Target& target)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (targets_.empty()) return false;
    target = targets_[std::uniform_int_distribution<size_t>(0, targets_.size() - 1)(random_)];
    return true;
}

POINT Monkey::ToScreen(POINT client) const
{
    ClientToScreen(window_, &client);
    // A window dragged part-way off the screen gets its input at the edge.
    client.x = std::max(0L, std::min(client.x, LONG(GetSystemMetrics(SM_CXSCREEN) - 1)));
    client.y = std::max(0L, std::min(client.y, LONG(GetSystemMetrics(SM_CYSCREEN) - 1)));
    return client;
}

POINT Monkey::Inside(const RECT& rect, bool centre)
{
    if (centre) return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return POINT{Random(rect.left, std::max(rect.left, LONG(rect.right - 1))),
                 Random(rect.top, std::max(rect.top, LONG(rect.bottom - 1)))};
}

HWND Monkey::OtherWindow() const
{
    ThreadWindows windows{window_, {}};
    EnumThreadWindows(uiThread_, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows.found) {
        RECT rect;
        GetWindowRect(window, &rect);
        // Tips and shadows take no input; a dialog or a menu does.
        if (!IsWindowEnabled(window) || rect.right - rect.left < 60 ||
            rect.bottom - rect.top < 40 ||
            (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT))
            continue;
        // (Read without a message to the window's thread.)
        wchar_t title[64] = L"";
        InternalGetWindowText(window, title, 64);
        if (wcsstr(title, L"Tip") || wcsstr(title, L"Shadow")) continue;
        return window;
    }
    return nullptr;
}

void Monkey::CancelSystemDialogs()
{
    ThreadWindows windows{window_, {}};
    EnumThreadWindows(uiThread_, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows.found) {
        if (ClassOf(window) != "#32770") continue;
        Note("cancel the system dialog");
        ++figures_.cancelledDialogs;
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
}

void Monkey::PlugOrUnplug()
{
    const bool useReceiver = receiver_ && Random(0, 1) == 1;
    const int port = useReceiver ? receiverPort_ : port_;
    bool& plugged = useReceiver ? receiverPlugged_ : cablePlugged_;
    const sim::SimInterface& face = h_.Bus().Interface(port);
    const std::wstring path = DevicePathOf(face.vendorId, face.productId, 1);
    if (plugged) {
        h_.Bus().Unplug(port);
        ++figures_.unplugs;
    } else {
        h_.Bus().Plug(port);
        ++figures_.plugs;
    }
    plugged = !plugged;
    Note(std::string(plugged ? "plug " : "unplug ") + (useReceiver ? "the receiver" : "the cable"));
    h_.SendDeviceChange(plugged, path);
}

void Monkey::SleepOrWake()
{
    awake_ = !awake_;
    const bool online = awake_;
    h_.Bus().Change([this, online] { receiver_->SetKeyboardOnline(online); });
    Note(online ? "the receiver reports the keyboard awake"
                : "the receiver reports the keyboard asleep");
    ++(online ? figures_.wakes : figures_.sleeps);
}

void Monkey::AddFault()
{
    static const struct
    {
        sim::Fault kind;
        const char* name;
    } kFaults[] = {
        {sim::Fault::Refuse, "refuses"},      {sim::Fault::NoAnswer, "loses"},
        {sim::Fault::FailWrite, "fails"},     {sim::Fault::NoStatus, "answers without status"},
        {sim::Fault::WrongEcho, "misechoes"},
    };
    const auto& fault = kFaults[Random(0, int(sizeof kFaults / sizeof kFaults[0]) - 1)];
    const int times = Random(1, 3);
    h_.Bus().Change([this, &fault, times] { keyboard_.AddFault(fault.kind, -1, -1, times); });
    Note(std::string("the keyboard ") + fault.name + " the next " + std::to_string(times) +
         " requests");
    ++figures_.faults;
}

void Monkey::Act()
{
    const int roll = Random(0, 99);
    // A dialog or menu of the window is up: mostly it gets the input.
    if (HWND other = OtherWindow()) {
        if (roll < 60) {
            RECT rect;
            GetWindowRect(other, &rect);
            const POINT at = Inside(rect, false);
            Note("click " + Point(at) + " in a " + ClassOf(other) + " window");
            MoveTo(at);
            Sleep(30);
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            Sleep(30);
            SendMouse(MOUSEEVENTF_LEFTUP);
            ++figures_.dialogClicks;
            return;
        }
        if (roll < 75) {
            Note("key Esc on a " + ClassOf(other) + " window");
            SendKey(VK_ESCAPE, false);
            SendKey(VK_ESCAPE, true);
            ++figures_.keys;
            return;
        }
    }
    // The keyboard: gone a while, asleep a while, misbehaving now and then.
    const bool somethingOut = !cablePlugged_ || (receiver_ && !receiverPlugged_);
    if (somethingOut ? roll < 15 : roll < 2) return PlugOrUnplug();
    if (receiver_ && (awake_ ? roll >= 97 : roll < 30)) return SleepOrWake();
    if (roll >= 94) return AddFault();

    Target target;
    // The page tabs get a share of their own, so that every page gets its turn.
    bool onTabs = false;
    if (Random(0, 6) == 0) {
        std::lock_guard<std::mutex> hold(lock_);
        for (const Target& t : targets_)
            if (t.id == kMainTab) {
                target = t;
                onTabs = true;
            }
    }
    if (onTabs) {
        const POINT client = Inside(target.rect, false);
        Note("click " + Point(client) + " on the page tabs");
        MoveTo(ToScreen(client));
        Sleep(30);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(20);
        SendMouse(MOUSEEVENTF_LEFTUP);
        ++figures_.clicks;
        return;
    }
    if (!PickTarget(target)) {
        Sleep(20);
        return;
    }
    const int kind = Random(0, 99);
    if (kind < 50) {  // a click on a control (now and then a double click)
        const POINT client = Inside(target.rect, Random(0, 1) == 0);
        const bool twice = Random(0, 19) == 0;
        Note(std::string(twice ? "double click " : "click ") + Point(client) + " on " +
             std::to_string(target.id));
        MoveTo(ToScreen(client));
        Sleep(Random(10, 80));
        for (int n = twice ? 2 : 1; n > 0; --n) {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            Sleep(20);
            SendMouse(MOUSEEVENTF_LEFTUP);
            if (n > 1) Sleep(40);
        }
        ++figures_.clicks;
    } else if (kind < 60) {  // between the controls
        RECT client;
        GetClientRect(window_, &client);
        POINT at = Inside(client, false);
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (PtInRect(&closeRect_, at)) at.x = client.right / 2;
        }
        Note("click " + Point(at) + " anywhere");
        MoveTo(ToScreen(at));
        Sleep(Random(10, 80));
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(20);
        SendMouse(MOUSEEVENTF_LEFTUP);
        ++figures_.clicks;
    } else if (kind < 66) {  // a right click: menus
        const POINT client = Inside(target.rect, false);
        Note("right click " + Point(client) + " on " + std::to_string(target.id));
        MoveTo(ToScreen(client));
        Sleep(30);
        SendMouse(MOUSEEVENTF_RIGHTDOWN);
        Sleep(20);
        SendMouse(MOUSEEVENTF_RIGHTUP);
        ++figures_.rightClicks;
    } else if (kind < 72) {  // a drag: sliders, strips, the picture
        const POINT from = Inside(target.rect, false);
        const POINT to = {from.x + Random(-120, 120), from.y + Random(-40, 40)};
        Note("drag " + Point(from) + " to " + Point(to) + " on " + std::to_string(target.id));
        MoveTo(ToScreen(from));
        Sleep(30);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        for (int step = 1; step <= 4; ++step) {
            Sleep(25);
            MoveTo(ToScreen(
                POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4}));
        }
        Sleep(25);
        SendMouse(MOUSEEVENTF_LEFTUP);
        ++figures_.drags;
    } else if (kind < 82) {  // the wheel
        const POINT client = Inside(target.rect, false);
        const int notches = Random(-3, 3);
        Note("wheel " + std::to_string(notches) + " at " + Point(client) + " on " +
             std::to_string(target.id));
        MoveTo(ToScreen(client));
        Sleep(20);
        SendMouse(MOUSEEVENTF_WHEEL, POINT{0, 0}, DWORD(notches * WHEEL_DELTA));
        ++figures_.wheels;
    } else {  // keys and short texts
        static const WORD kKeys[] = {VK_ESCAPE, VK_RETURN, VK_TAB,   VK_BACK, VK_DELETE,
                                     VK_SPACE,  VK_LEFT,   VK_RIGHT, VK_UP,   VK_DOWN};
        std::string typed;
        const int count = Random(0, 2) == 0 ? Random(2, 6) : 1;
        for (int i = 0; i < count; ++i) {
            const int pick = Random(0, 45);
            const WORD vk = pick < 10   ? kKeys[pick]
                            : pick < 20 ? WORD('0' + pick - 10)
                                        : WORD('A' + pick - 20);
            typed += (typed.empty() ? "" : " ") + KeyName(vk);
            SendKey(vk, false);
            SendKey(vk, true);
            Sleep(15);
        }
        Note("keys " + typed);
        ++figures_.keys;
    }
}

void Monkey::InputThread()
{
    DWORD lastCancel = GetTickCount();
    while (!stop_) {
        Act();
        // A system file dialog gets a moment, then is cancelled.
        if (GetTickCount() - lastCancel > 1500) {
            CancelSystemDialogs();
            lastCancel = GetTickCount();
        }
        Sleep(DWORD(Random(int(options_.minRestMs), int(options_.maxRestMs))));
    }
    inputDone_ = true;
    // A last press on the caption may only now start the system's move loop
    // on the window's thread, which ends at a release: one comes until that
    // thread is back.
    while (!uiBack_) {
        SendMouse(MOUSEEVENTF_LEFTUP);
        Sleep(100);
    }
}

void Monkey::WatchdogThread()
{
    size_t ended = h_.Tasks().size();
    DWORD movedAt = GetTickCount();
    while (!watchDone_) {
        Sleep(200);
        DWORD_PTR result = 0;
        const DWORD asked = GetTickCount();
        if (!SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, options_.answerMs, &result) &&
            IsWindow(window_))
            Fail("the window's thread did not answer WM_NULL within " +
                     std::to_string(options_.answerMs) + " ms",
                 asked);
        const size_t now = h_.Tasks().size();
        if (now != ended || h_.Dlg().m_taskQueue.IsEmpty()) {
            ended = now;
            movedAt = GetTickCount();
        } else if (GetTickCount() - movedAt > options_.queueStallMs) {
            std::string queued;
            for (int code : h_.Dlg().m_taskQueue.Snapshot()) queued += " " + std::to_string(code);
            Fail("the worker's queue did not move for " + std::to_string(options_.queueStallMs) +
                 " ms; waiting:" + queued);
        }
    }
    watchEnded_ = true;
}

bool Monkey::OpenDevicePages(int deviceType)
{
    auto* cards = h_.Dlg().CtlAs<WEXA::CDeviceList>(81);
    if (!cards || !cards->IsVisible()) return false;
    WEXA::DEVICEITEM_INFO card;
    for (int i = 0; i < cards->GetItemCount(); ++i) {
        if (!cards->GetDevice(i, card) || card.nDeviceId != deviceType) continue;
        RECT at = card.rcItem;
        OffsetRect(&at, cards->GetRect().left, cards->GetRect().top);
        size_t picks = 0;
        for (const auto& task : h_.Tasks()) picks += task.code == TASK_DEVICE_SELECTED;
        h_.ClickAt(POINT{(at.left + at.right) / 2, (at.top + at.bottom) / 2});
        const bool picked = h_.PumpUntil(
            [&] {
                size_t now = 0;
                for (const auto& task : h_.Tasks()) now += task.code == TASK_DEVICE_SELECTED;
                return now > picks;
            },
            20000);
        h_.Settle(300, 20000);
        WEXA::MTabCtrl* tab = h_.Dlg().MainTab();
        return picked && tab && tab->IsVisible();
    }
    return false;
}

MonkeyFigures Monkey::Run(DWORD milliseconds)
{
    window_ = h_.Window();
    uiThread_ = GetWindowThreadProcessId(window_, nullptr);
    EXPECT_EQ(uiThread_, GetCurrentThreadId()) << "Run belongs on the window's thread";
    stop_ = false;
    inputDone_ = false;
    uiBack_ = false;
    watchDone_ = false;
    watchEnded_ = false;
    const int exitsBefore = h_.Exits();
    // The window starts wholly on the screen, whatever place an earlier run
    // left in the settings.
    RECT home;
    GetWindowRect(window_, &home);
    if (home.left < 0 || home.top < 0 || home.right > GetSystemMetrics(SM_CXSCREEN) ||
        home.bottom > GetSystemMetrics(SM_CYSCREEN)) {
        SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(window_, &home);
    }
    RefreshTargets();
    std::thread watchdog(&Monkey::WatchdogThread, this);
    std::thread input(&Monkey::InputThread, this);
    const DWORD start = GetTickCount();
    DWORD refreshed = start;
    while (GetTickCount() - start < milliseconds) {
        h_.Pump(20);
        // A minimise is a user's input too; the window comes back for the next.
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        // So does a move: the window goes back where the inputs are aimed.
        RECT now;
        if (GetWindowRect(window_, &now) && !IsIconic(window_) &&
            (now.left != home.left || now.top != home.top))
            SetWindowPos(window_, nullptr, home.left, home.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (GetTickCount() - refreshed >= 200) {
            RefreshTargets();
            refreshed = GetTickCount();
        }
        if (h_.Exits() != exitsBefore) {
            ADD_FAILURE() << Header() << ": the window asked to end the process";
            figures_.ended = true;
            break;
        }
    }
    stop_ = true;
    if (!h_.PumpUntil([this] { return inputDone_.load(); }, 30000))
        Fail("the input thread did not end");
    uiBack_ = true;
    input.join();
    // Everything back as it was: the keyboard plugged and awake, dialogs and
    // menus closed, the worker done with what the run left it.
    if (receiver_ && !awake_) SleepOrWake();
    while (!cablePlugged_ || (receiver_ && !receiverPlugged_)) {
        const bool receiverOut = receiver_ && !receiverPlugged_;
        const int port = receiverOut ? receiverPort_ : port_;
        const sim::SimInterface& face = h_.Bus().Interface(port);
        h_.Bus().Plug(port);
        (receiverOut ? receiverPlugged_ : cablePlugged_) = true;
        Note(receiverOut ? "plug the receiver" : "plug the cable");
        ++figures_.plugs;
        h_.SendDeviceChange(true, DevicePathOf(face.vendorId, face.productId, 1));
    }
    for (int round = 0; round < 5 && OtherWindow(); ++round) {
        SendKey(VK_ESCAPE, false);
        SendKey(VK_ESCAPE, true);
        h_.Pump(200);
    }
    CancelSystemDialogs();
    // An ended window's worker is gone: nothing is left to settle.
    if (!figures_.ended) {
        EXPECT_TRUE(h_.Settle(300, 30000)) << Header() << ": the worker did not settle";
    }
    // The watchdog may be waiting for this thread's answer: it is answered
    // until it has ended.
    watchDone_ = true;
    h_.PumpUntil([this] { return watchEnded_.load(); }, 10000);
    watchdog.join();
    MonkeyFigures figures = figures_;
    figures.boxes = int(h_.MessageBoxRecords().size());
    figures.tasks = int(h_.Tasks().size());
    return figures;
}

}  // namespace testutil
