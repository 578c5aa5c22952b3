#pragma once
// MDialog: the base of every dialog window, the main window included.
//
// A dialog is at once a native window (MWindow), the owner object of its
// top-level controls (MObject) and the host of one window engine
// (PaintManager) that paints the window and routes input to the controls.
// Derived dialogs create the window with Create, run it with ShowModal and
// override InitUI (build controls), UISize (lay them out) and OnMessage (react
// to control events by control id).
//
// Closing with a result: DoOK (1), DoCancel and DoClose (2), DoYes (6) and
// DoNo (7) post the close request 1090 to the window; it becomes a WM_CLOSE
// carrying the code, which ShowModal returns. They may be called from any
// thread; everything else runs on the dialog's UI thread.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"
#include "WexaExport.h"
#include "WexaTypes.h"

namespace WEXA {

class MControl;

// The library's close request; wparam carries the dialog result.
const UINT WM_USER_CLOSE_WINDOW = WM_USER + 66;

class WEXA_API MDialog : public MWindow, public MObject
{
public:
    MDialog();
    // Destroys the engine, then the bases; the native window is not destroyed.
    virtual ~MDialog();

    // ---- MObject part ----
    const wchar_t* GetClassNameW() const override;  // "MDialog"
    // Hands a control event to OnMessage.
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    // Hands a repaint request to the engine.
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override;

    // ---- MWindow part ----
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    // Binds the engine to the window and calls InitUI; 1.
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // ---- dialog hooks, in slot order ----
    // Screen point below a control for a balloon tip: x at its left (type 0 and
    // others), centre (1) or right (2); (0, 0) without a control.
    virtual POINT GetAirBladderPoint(MControl* control, UINT type);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect client);
    virtual void UISize(CRect client);
    virtual LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam);
    // Posts WM_CLOSE with the same parameters; 1. Override to refuse or change
    // the result.
    virtual LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam);
    virtual int OnCreate(CREATESTRUCTW* create);
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
    virtual int OnWindowPosChanged(WINDOWPOS* pos);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int OnDestroy();
    virtual int PostNcDestroy();

    // ---- closing with a result ----
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();

    // ---- controls ----
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int p7, int p8);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int p7, int p8);
    MControl* GetControl(UINT id);
    std::vector<MControl*>& GetControls();
    void SetFocusControl(MControl* control);

    // ---- background and window appearance ----
    int LoadBKImage(CString skinFileName);
    int LoadBKImage(UINT resourceId, CString resourceType);
    void SetBackMode(enumBackMode mode, int parameter);
    void SetLayeredWindow(int layered);
    void EnableWndDrag(int enable);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetupBackTranslucent();
    void SetupRegion(int value);

    // ---- drop shadow ----
    int SetSize(int size);
    int SetSharpness(UINT sharpness);
    int SetDarkness(UINT darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(COLORREF color);
    void SetShadowImage(const wchar_t* skinFileName, CRect margins);
    void SetShadowImage(UINT resourceId, CRect margins);
    void SetShadowShow(int show);
    void CreateShadow(int show, bool flag);

    // ---- overlays, tooltip and balloon ----
    void SetMessage(CString text, CRect rect, MsgLevel level);
    void SetProgress(int value, CString text, CRect rect);
    void SetTooltip(CString text, CRect rect);
    void ClearTooltip();
    // 0 when a coordinate of at is 0 or text is null; else shows the engine's
    // balloon with the text at that screen point (mode 3) and returns 1.
    int SetAirBladderMsg(const wchar_t* text, POINT at, AIRBLADDER_TYPE type);

    // ---- multimedia timer ----
    void SetMTimer(UINT periodMs);
    void KillMTimer(UINT timerId);

    void SetTooltipCtrlID(int id) { m_nTooltipCtrlID = id; }
    int GetTooltipCtrlID() const { return m_nTooltipCtrlID; }

    PaintManager* GetPaintManager() { return &m_pm; }
    CRect GetClientRectCache() const { return m_rcClient; }

protected:
    void PostCloseRequest(UINT code);

    PaintManager m_pm;
    COLORREF m_crKey;  // not 0xFFFFFF: layered with this colour transparent
    int m_nAlpha;      // not 255: layered with this constant alpha
    int m_nMsgOffset;  // added to the top of the default message rectangle
    int m_nTooltipCtrlID;
    CRect m_rcClient;  // as of the last OnInitDialog or OnSize
};

}  // namespace WEXA
