#pragma once
// Thin object wrapper around one native window.
//
// The object registers its window class (or a superclass of a system class),
// creates the window with itself as creation parameter and receives every message
// of the window through the virtual OnWindowMessage. The object exists before and
// after its window: GetSafeHwnd() is null until WM_NCCREATE and again after
// WM_NCDESTROY, when OnDestroyMessage tells the object its window is gone.
// Destroying the object does not destroy the window.
//
// A handle is "present" when it is neither null nor -1, "valid" when it is
// non-null and IsWindow accepts it. Wrappers do nothing and return 0 (null, or
// -1 where noted) without a present or valid window.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MWindow
{
public:
    MWindow();
    virtual ~MWindow();

    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    // "PavexWindow".
    virtual const wchar_t* GetWindowClassName() const;
    // Null: a class of our own. A system class name makes Create superclass it.
    virtual const wchar_t* GetSuperClassName() const;
    virtual int ShowWindow(int cmdShow);
    // Default: the previous window procedure.
    virtual LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam);
    // Offered every message of the modal loops; nonzero consumes it. Default 0.
    virtual int PreTranslateMessage(MSG* msg);
    // Called by Create after the window was created. Default 1.
    virtual int OnInitDialog();
    // Called when the window received WM_NCDESTROY. Default: nothing.
    virtual void OnDestroyMessage(HWND hwnd);

    // Creates the window once per object: returns the existing window when there
    // is one. Null when the class cannot be registered or the window not created
    // (OnInitDialog is then not called).
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect,
                HMENU menu);
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect);
    // Title "PavexWindow", style 0x80B, no extended style, no menu.
    HWND Create(HWND parent, CRect rect);
    // As above with the rectangle (0, 0, 800, 600).
    HWND Create(HWND parent);

    // 1 when the class is registered or was registered already.
    int RegisterWindowClass();
    int RegisterSuperClass();

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

    // Shows the window, disables its owner and pumps the thread's messages while
    // the window exists. Returns the wparam of the WM_CLOSE posted to the window
    // (0 when none came), 0xFFFFFFFF without a valid window. A WM_QUIT ends the
    // loop and is posted again for the caller's loop.
    UINT ShowModal(int cmdShow);
    // The same loop for popups: the owner is not disabled.
    UINT ShowModal2(int cmdShow);

    // Centres over other's window, else over the parent (child windows) or the
    // owner (when visible and not minimised), else in the monitor's work area.
    void CenterWindow(MWindow* other = nullptr);
    void BringToTop();
    void SetIcon(UINT resourceId);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentHwnd() const { return m_hParent; }

    DWORD GetStyle();
    DWORD GetExStyle();
    int ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    int ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);

    LONG SendMessageW(UINT msg, UINT_PTR wparam = 0, LONG_PTR lparam = 0);
    LONG PostMessageW(UINT msg, UINT_PTR wparam = 0, LONG_PTR lparam = 0);

    BOOL GetClientRect(RECT* rect);
    BOOL GetWindowRect(RECT* rect);
    void SetWindowTextW(const wchar_t* text);
    void GetWindowTextW(CString& text);
    int GetWindowTextLengthW();
    BOOL EnableWindow(int enable);
    BOOL IsWindowEnabled();
    BOOL IsWindowVisible();
    BOOL IsIconic();
    void InvalidateRect(CRect rect, int erase);
    HWND SetCapture();
    BOOL ReleaseCapture();
    HWND SetFocus();
    UINT SetTimer(UINT id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT id);
    BOOL ClientToScreen(POINT* point);
    BOOL ScreenToClient(POINT* point);
    BOOL ClientToScreen(RECT* rect);
    BOOL ScreenToClient(RECT* rect);
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int width, int height, int repaint = TRUE);
    BOOL MoveWindow(const RECT* rect, int repaint = TRUE);
    BOOL DestroyWindow();

protected:
    bool IsPresent() const;
    bool IsValid() const;

    HWND m_hParent;
    HWND m_hWnd;
    WNDPROC m_OldWndProc;

private:
    UINT RunModal(int cmdShow, bool disableOwner);
    static LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool byProperty);
};

}  // namespace WEXA
