#pragma once
// What the library's popup menu windows (MenuWnd, MenuExWnd) share: the
// bookkeeping that lets a menu free itself once its window is gone, and the
// guard that keeps the frame re-application of WM_WINDOWPOSCHANGED from
// recursing.
//
// A menu is created on the heap and forgotten by its caller; it deletes
// itself when its window has been destroyed. The window is usually destroyed
// while one of the menu's own handlers is still running (the default
// processing of WM_CLOSE inside its window procedure, an entry's handler in
// the engine), so the delete waits until the outermost message of the menu
// has returned; nothing of the object is used after that.
#include <windows.h>

#include "WexaExport.h"

// The window slots both menu windows declare after their destructor, in slot
// order: their exported layouts are the same there, so the list is written
// once. PostNcDestroy: the window is gone, the object deletes itself once
// nothing of it runs.
#define WEXA_MENU_WINDOW_SLOTS                                                    \
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;    \
    int PreTranslateMessage(MSG* msg) override;                                   \
    int OnInitDialog() override;                                                  \
    void OnDestroyMessage(HWND hwnd) override;                                    \
    virtual MObject* GetParent();                                                 \
    virtual void InitUI(CRect client);                                            \
    virtual void UISize(CRect client);                                            \
    virtual LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam); \
    virtual LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam);             \
    virtual void CloseWindow();                                                   \
    virtual int OnCreate(CREATESTRUCTW* create);                                  \
    virtual int OnSize(UINT type, int cx, int cy);                                \
    virtual int OnMouseMove(UINT flags, CPoint point);                            \
    virtual int OnMouseLeave(UINT_PTR wparam, LONG_PTR lparam);                   \
    virtual int OnMouseHover(UINT_PTR wparam, LONG_PTR lparam);                   \
    virtual int OnMouseWheel(UINT flags, short delta, CPoint point);              \
    virtual int OnLButtonDown(UINT flags, CPoint point);                          \
    virtual int OnLButtonUp(UINT flags, CPoint point);                            \
    virtual int OnLButtonDblClk(UINT flags, CPoint point);                        \
    virtual int OnRButtonDown(UINT flags, CPoint point);                          \
    virtual int OnRButtonUp(UINT flags, CPoint point);                            \
    virtual int OnRButtonDblClk(UINT flags, CPoint point);                        \
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);                     \
    virtual int OnNcHitTest(CPoint point);                                        \
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);                                \
    virtual int OnNcCalcSize(int calcValid, NCCALCSIZE_PARAMS* params);           \
    virtual int OnNcActivate(int active);                                         \
    virtual int OnWindowPosChanging(WINDOWPOS* pos);                              \
    virtual int OnWindowPosChanged(WINDOWPOS* pos);                               \
    virtual int OnPaint();                                                        \
    virtual void OnTimer(UINT id);                                                \
    virtual int OnNcPaint();                                                      \
    virtual int OnClose();                                                        \
    virtual int PostNcDestroy();                                                  \
    virtual int OnDestroy();

namespace WEXA {

class WEXA_API MenuLifetime
{
public:
    MenuLifetime() : m_nDepth(0), m_bDeletePending(0), m_bInWindowPosChanged(0) {}

    // Counts one message of the menu's window on the stack.
    class Scope
    {
    public:
        explicit Scope(MenuLifetime& life) : m_life(life) { ++m_life.m_nDepth; }
        ~Scope() { --m_life.m_nDepth; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        MenuLifetime& m_life;
    };

    // The window is gone: true when the object may be deleted now, else the
    // delete is left to the outermost message (TakePendingDelete).
    bool RequestDelete()
    {
        if (m_nDepth > 0) {
            m_bDeletePending = 1;
            return false;
        }
        return true;
    }
    // After the outermost message returned: true once when a delete waits.
    bool TakePendingDelete()
    {
        if (m_nDepth > 0 || !m_bDeletePending) return false;
        m_bDeletePending = 0;
        return true;
    }
    int Depth() const { return m_nDepth; }

    // Re-entry guard of the window-position handler.
    bool EnterWindowPosChanged()
    {
        if (m_bInWindowPosChanged) return false;
        m_bInWindowPosChanged = 1;
        return true;
    }
    void LeaveWindowPosChanged() { m_bInWindowPosChanged = 0; }

    // How many menu windows exist (objects not yet deleted); a diagnostics aid.
    static long LiveMenus();
    static void CountMenu(int delta);

private:
    int m_nDepth;
    int m_bDeletePending;
    int m_bInWindowPosChanged;
};

}  // namespace WEXA
