#include "InputTestSupport.h"

#include <algorithm>

#include "WindowTestHelpers.h"

namespace inputtest {

namespace {

const wchar_t kClassName[] = L"KeysInputTestWindow";

void RegisterClassOnce()
{
    static bool done = false;
    if (done) return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    done = true;
}

ProbeHooks* g_probe = nullptr;

}  // namespace

RecordingWindow::RecordingWindow(LRESULT answerValue, bool visible) : answer(answerValue)
{
    RegisterClassOnce();
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"input test",
                            WS_POPUP | (visible ? WS_VISIBLE : 0), 100, 100, 200, 150, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingWindow::Proc));
}

RecordingWindow::~RecordingWindow()
{
    Destroy();
}

void RecordingWindow::Destroy()
{
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

size_t RecordingWindow::CountInput(WPARAM input) const
{
    return static_cast<size_t>(std::count_if(
        events.begin(), events.end(), [&](const ReceivedEvent& e) { return e.input == input; }));
}

LRESULT CALLBACK RecordingWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg >= WM_USER) {
        ReceivedEvent e{msg, wp, 0, lp};
        bool marked = true;
        if (msg == kMsgHookKey && lp) {
            auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
            e.vk = k->vkCode;
            marked = k->dwExtraInfo == kInjectMark;
        } else if (msg == kMsgHookMouse && lp) {
            marked = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->dwExtraInfo == kInjectMark;
        }
        if (!marked) return 0;
        self->events.push_back(e);
        const LRESULT result = self->answer;
        if (self->onEvent) self->onEvent(e);  // may delete managers, even windows
        return result;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

ProbeHooks::ProbeHooks()
{
    g_probe = this;
    key_ = SetWindowsHookExW(WH_KEYBOARD_LL, KeyProc, GetModuleHandleW(nullptr), 0);
    mouse_ = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, GetModuleHandleW(nullptr), 0);
}

ProbeHooks::~ProbeHooks()
{
    if (key_) UnhookWindowsHookEx(key_);
    if (mouse_) UnhookWindowsHookEx(mouse_);
    if (g_probe == this) g_probe = nullptr;
}

size_t ProbeHooks::CountKey(WPARAM m) const
{
    return static_cast<size_t>(std::count(keys.begin(), keys.end(), m));
}

size_t ProbeHooks::CountMouse(WPARAM m) const
{
    return static_cast<size_t>(std::count(mouse.begin(), mouse.end(), m));
}

LRESULT CALLBACK ProbeHooks::KeyProc(int code, WPARAM wp, LPARAM lp)
{
    if (code == HC_ACTION && g_probe &&
        reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp)->dwExtraInfo == kInjectMark)
        g_probe->keys.push_back(wp);
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK ProbeHooks::MouseProc(int code, WPARAM wp, LPARAM lp)
{
    if (code == HC_ACTION && g_probe &&
        reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->dwExtraInfo == kInjectMark)
        g_probe->mouse.push_back(wp);
    return CallNextHookEx(nullptr, code, wp, lp);
}

void SendKey(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.ki.dwExtraInfo = kInjectMark;
    SendInput(1, &in, sizeof(INPUT));
}

void SendMouse(DWORD flags, DWORD mouseData, LONG dx, LONG dy)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = mouseData;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwExtraInfo = kInjectMark;
    SendInput(1, &in, sizeof(INPUT));
}

void Settle(DWORD ms)
{
    const DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

}  // namespace inputtest
