#pragma once
// Windows that record the hook messages they receive, a probe pair of low-level
// hooks further down the system's chains, and input injection. Every injected
// event carries kInjectMark in its extra info so stray input is ignored.
#include <windows.h>

#include <functional>
#include <vector>

namespace inputtest {

constexpr ULONG_PTR kInjectMark = 0x4B657973;  // "Keys"
constexpr UINT kMsgHookKey = 1692;
constexpr UINT kMsgHookMouse = 1693;

struct ReceivedEvent
{
    UINT message;   // message id the window received
    WPARAM input;   // the input message (WM_KEYDOWN, WM_LBUTTONDOWN...)
    DWORD vk;       // keyboard: virtual key; mouse: 0
    LPARAM record;  // the pointer as received
};

// A hidden top-level window whose procedure records messages kHookKey/kHookMouse
// (and any message id >= WM_USER) and answers with `answer`.
class RecordingWindow
{
public:
    explicit RecordingWindow(LRESULT answer = 0, bool visible = false);
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void Destroy();
    LRESULT answer = 0;
    std::vector<ReceivedEvent> events;  // marked events only (or any for constructed records)
    std::function<void(const ReceivedEvent&)> onEvent;  // runs before answering
    size_t CountInput(WPARAM input) const;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// Low-level hooks installed when constructed: being installed before the code under
// test, they are called after it and see only what it passes on.
class ProbeHooks
{
public:
    ProbeHooks();
    ~ProbeHooks();
    std::vector<WPARAM> keys;   // keyboard messages of marked events
    std::vector<WPARAM> mouse;  // mouse messages of marked events
    size_t CountKey(WPARAM m) const;
    size_t CountMouse(WPARAM m) const;

private:
    static LRESULT CALLBACK KeyProc(int, WPARAM, LPARAM);
    static LRESULT CALLBACK MouseProc(int, WPARAM, LPARAM);
    HHOOK key_ = nullptr;
    HHOOK mouse_ = nullptr;
};

// Injects one marked key press or release.
void SendKey(WORD vk, bool up);
// Injects one marked mouse event (MOUSEEVENTF_* flags; mouseData for X buttons).
void SendMouse(DWORD flags, DWORD mouseData = 0, LONG dx = 0, LONG dy = 0);
// Pumps this thread's messages for a short while, so that every injected event has
// gone through the hooks.
void Settle(DWORD ms = 60);

}  // namespace inputtest
