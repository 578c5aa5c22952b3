#pragma once
// MPopupWnd: base of the library's small top-level popup windows that host
// windowless controls.
//
// It is a window and an object at once and carries its own engine, which
// paints the window, routes input to the hosted controls and owns them. A
// popup closes itself as soon as it loses activation (WM_NCACTIVATE with
// FALSE), so a click anywhere else dismisses it. Destroying the window does
// not delete the object: its creator does.
//
// The object that receives the popup's notifications is its parent
// (SetParent), reached with SendMessageToParent as parent->OnMessage(0, code,
// wparam, lparam).
#include <windows.h>

#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"
#include "WexaExport.h"
#include "WexaTypes.h"

namespace WEXA {

class MControl;

class WEXA_API MPopupWnd : public MWindow, public MObject
{
public:
    MPopupWnd();
    ~MPopupWnd() override;

    // ---- MWindow ----
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    // The engine's data goes with the window.
    void OnDestroyMessage(HWND hwnd) override;

    // ---- MObject ----
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override;

    // ---- virtual operations of its own, in slot order ----
    virtual MObject* GetParent() { return m_pParentObject; }
    virtual void InitUI(CRect client);
    virtual void UISize(CRect client);
    virtual LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam);
    virtual LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam);
    virtual void CloseWindow();
    virtual int OnCreate();
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnMouseMove(UINT flags, CPoint point);
    virtual int OnMouseLeave(UINT_PTR wparam, LONG_PTR lparam);
    virtual int OnMouseHover(UINT_PTR wparam, LONG_PTR lparam);
    virtual int OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual int OnLButtonDown(UINT flags, CPoint point);
    virtual int OnLButtonUp(UINT flags, CPoint point);
    virtual int OnLButtonDblClk(UINT flags, CPoint point);
    virtual int OnRButtonDown(UINT flags, CPoint point);
    virtual int OnRButtonUp(UINT flags, CPoint point);
    virtual int OnRButtonDblClk(UINT flags, CPoint point);
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual int OnNcHitTest(CPoint point);
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);
    virtual int OnNcCalcSize(int calcValid, NCCALCSIZE_PARAMS* params);
    virtual int OnNcActivate(int active);
    virtual int OnWindowPosChanging(WINDOWPOS* pos);
    // Refreshes the frame (SetWindowPos with 0x433) and re-sends the move and
    // size; the refresh's own WM_WINDOWPOSCHANGED is not handled again.
    virtual int OnWindowPosChanged(WINDOWPOS* pos);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int PostNcDestroy();
    virtual int OnDestroy();

    // ---- operations ----
    int LoadBKImage(CString skinFileName);
    int LoadBKImage(UINT resourceId, CString resourceType);
    void SetBackMode(enumBackMode mode, int parameter);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(int layered);
    void SetupBackTranslucent();
    void SetupRegion(int diameter);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int visible, int enabled);
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int visible, int enabled);
    MControl* GetControl(UINT id);
    void SetParent(MObject* parent) { m_pParentObject = parent; }
    int SendMessageToParent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    PaintManager* GetPaintManager() { return &m_pm; }

    MObject* m_pParentObject;
    PaintManager m_pm;
    COLORREF m_crKey;
    int m_nAlpha;

private:
    int m_nPosChangedDepth;  // re-entry guard of OnWindowPosChanged
};

}  // namespace WEXA
