#pragma once
// Global keyboard and mouse capture through the process's low-level hooks.
//
// An InputHookManager keeps a list of target windows, each registered for keyboard
// (kind 1) or mouse (kind 2) events under a message id of its choice, and installs
// the process-wide WH_KEYBOARD_LL and WH_MOUSE_LL hooks. Every hooked event is sent
// synchronously (SendMessageW) to the live targets of its kind, in registration
// order, with the hook's wParam (the input message) and lParam (pointer to the
// KBDLLHOOKSTRUCT or MSLLHOOKSTRUCT). The first target answering non-zero ends the
// walk; such a keyboard event is swallowed, a mouse event always goes on. Mouse
// moves are never sent.
//
// The hooks are process-wide: the instance that installed them last is the active
// one and the only one whose targets are asked. Installing from another instance
// takes the hooks over (the old ones are removed first, so events are never
// delivered twice); destroying an instance removes its hooks and forgets it.
//
// Threading: everything here runs on the thread that installs the hooks (the hook
// procedures are called on that thread while it pumps messages). The target list,
// the hook handles and the active-instance pointer are touched by that thread
// only and are not locked.
//
// Ending a capture from inside a target's handler is safe: call Destroy(manager)
// (or delete it). The hooks are removed at once, no further target is asked for
// the running event, and with Destroy the object is freed when the running hook
// procedure returns.

#include <windows.h>

#include <vector>

struct HookTarget
{
    HWND window = nullptr;
    int kind = 0;       // 1 keyboard events, 2 mouse events
    int messageId = 0;  // message sent to the window
};

class InputHookManager
{
public:
    enum : int { KindKeyboard = 1, KindMouse = 2 };

    InputHookManager();
    virtual ~InputHookManager();
    InputHookManager(const InputHookManager&) = delete;
    InputHookManager& operator=(const InputHookManager&) = delete;

    // (Re)installs the hooks, so this instance becomes the active one with its hooks
    // at the head of the system's chains, then registers the target unless the same
    // window, kind and message id are registered already. Returns 1 when the hooks
    // are in place, 0 when the system refused them (the target is kept anyway).
    int AddTarget(HWND window, int kind, int messageId);

    // Installs both hooks unless this instance has them already and makes it the
    // active one. Returns 1 when the hooks are in place, 0 when the system refused
    // them (nothing stays half-installed then).
    int InstallHooks();

    // Removes this instance's hooks if it has them; it stops being the active one.
    // Always returns 1.
    int RemoveHooks();

    // Forgets every target.
    void ClearTargets();

    int IsInstalled() const { return m_hooksInstalled; }
    const std::vector<HookTarget>& GetTargets() const { return m_targets; }

    // Ends a capture: removes the hooks at once and deletes the manager, or, when
    // called while one of the manager's hook procedures is running (from a
    // target's handler), deletes it as soon as that procedure returns. Null is
    // ignored.
    static void Destroy(InputHookManager* manager);

    // The instance whose targets the hooks serve, or null.
    static InputHookManager* GetActive();

    // The hook procedures (public so the routing can be driven with constructed
    // records).
    static LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

private:
    struct DispatchFrame;
    static DispatchFrame* s_frames;  // innermost running walk first

    // Sends one hooked event to the active instance's targets of the kind; returns
    // whether a target answered non-zero.
    static bool Dispatch(int kind, WPARAM wParam, LPARAM lParam);
    static void UnhookProcessHooks();

    std::vector<HookTarget> m_targets;
    int m_hooksInstalled = 0;
    int m_dispatchDepth = 0;        // hook procedures currently walking our targets
    bool m_destroyPending = false;  // Destroy() called during a walk
};
