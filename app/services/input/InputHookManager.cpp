#include "services/input/InputHookManager.h"

// Process-wide hook state, touched only by the thread that installs the hooks.
namespace {
HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;
InputHookManager* g_active = nullptr;
}  // namespace

// One running hook procedure's walk over a manager's targets. Frames form a stack
// (a handler that pumps messages can start a nested walk); the destructor marks
// the frames of its instance so no walk touches the freed object again.
struct InputHookManager::DispatchFrame
{
    InputHookManager* manager;
    bool managerGone;
    DispatchFrame* outer;
};

InputHookManager::DispatchFrame* InputHookManager::s_frames = nullptr;

InputHookManager::InputHookManager() = default;

InputHookManager::~InputHookManager()
{
    RemoveHooks();
    if (g_active == this) g_active = nullptr;
    for (DispatchFrame* f = s_frames; f; f = f->outer) {
        if (f->manager == this) f->managerGone = true;
    }
    m_targets.clear();
}

void InputHookManager::UnhookProcessHooks()
{
    if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
    if (g_mouseHook) UnhookWindowsHookEx(g_mouseHook);
    g_keyboardHook = nullptr;
    g_mouseHook = nullptr;
}

int InputHookManager::InstallHooks()
{
    if (m_hooksInstalled) return 1;
    // Another instance may hold the hooks: take them over instead of stacking a
    // second pair, which would deliver every event twice and leak the old pair.
    if (g_active && g_active != this) g_active->m_hooksInstalled = 0;
    UnhookProcessHooks();
    g_active = this;

    HINSTANCE module = GetModuleHandleW(nullptr);
    g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, module, 0);
    g_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, MouseHookProc, module, 0);
    if (!g_keyboardHook || !g_mouseHook) {
        UnhookProcessHooks();
        return 0;
    }
    m_hooksInstalled = 1;
    return 1;
}

int InputHookManager::RemoveHooks()
{
    if (m_hooksInstalled) {
        m_hooksInstalled = 0;
        UnhookProcessHooks();
    }
    if (g_active == this) g_active = nullptr;
    return 1;
}

int InputHookManager::AddTarget(HWND window, int kind, int messageId)
{
    // Reinstalling puts the hooks at the head of the system's chains again.
    RemoveHooks();
    const int installed = InstallHooks();
    bool known = false;
    for (const HookTarget& t : m_targets) {
        if (t.window == window && t.kind == kind && t.messageId == messageId) {
            known = true;
            break;
        }
    }
    if (!known) {
        HookTarget target;
        target.window = window;
        target.kind = kind;
        target.messageId = messageId;
        m_targets.push_back(target);
    }
    return installed;
}

void InputHookManager::ClearTargets()
{
    m_targets.clear();
}

void InputHookManager::Destroy(InputHookManager* manager)
{
    if (!manager) return;
    if (manager->m_dispatchDepth > 0) {
        // Called from a target's handler: stop the capture now, free the object
        // when the hook procedure that is walking its targets returns.
        manager->RemoveHooks();
        manager->m_destroyPending = true;
        return;
    }
    delete manager;
}

InputHookManager* InputHookManager::GetActive()
{
    return g_active;
}

bool InputHookManager::Dispatch(int kind, WPARAM wParam, LPARAM lParam)
{
    InputHookManager* manager = g_active;
    if (!manager) return false;

    DispatchFrame frame{manager, false, s_frames};
    s_frames = &frame;
    ++manager->m_dispatchDepth;

    bool answered = false;
    // The list may change (or the manager end) while a target handles the event:
    // re-check everything after each send and copy the target before using it.
    for (size_t i = 0;; ++i) {
        if (frame.managerGone || manager->m_destroyPending || g_active != manager) break;
        if (i >= manager->m_targets.size()) break;
        const HookTarget target = manager->m_targets[i];
        if (target.kind != kind || !IsWindow(target.window)) continue;
        if (SendMessageW(target.window, static_cast<UINT>(target.messageId), wParam, lParam) != 0) {
            answered = true;
            break;
        }
    }

    s_frames = frame.outer;
    if (!frame.managerGone) {
        --manager->m_dispatchDepth;
        if (manager->m_dispatchDepth == 0 && manager->m_destroyPending) delete manager;
    }
    return answered;
}

LRESULT CALLBACK InputHookManager::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Dispatch(KindKeyboard, wParam, lParam)) return 1;  // swallowed
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputHookManager::MouseHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam != WM_MOUSEMOVE) Dispatch(KindMouse, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
