#include "MPopupWnd.h"

#include "MControl.h"
#include "MDialog.h"
#include "TipWindow.h"
#include "framework/WindowMessages.h"

namespace WEXA {

MPopupWnd::MPopupWnd()
    : m_pParentObject(nullptr),
      m_crKey(0xF1F1F1),
      m_nAlpha(255),
      m_nPosChangedDepth(0)
{}

MPopupWnd::~MPopupWnd()
{
    if (IsValid()) ::DestroyWindow(m_hWnd);
}

LONG MPopupWnd::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LONG MPopupWnd::OnControlUpdate(CRect rect, int erase, MControl* control)
{
    return m_pm.OnControlUpdate(rect, erase, control);
}

LONG MPopupWnd::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    bool answered = false;
    const LONG answer = DispatchWindowMessage(*this, msg, wparam, lparam, answered);
    if (answered) return answer;
    LRESULT handled = m_pm.OnWindowMessage(msg, wparam, lparam);
    if (handled) return static_cast<LONG>(handled);
    return static_cast<LONG>(::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wparam, lparam));
}

int MPopupWnd::PreTranslateMessage(MSG*)
{
    return 0;
}

int MPopupWnd::OnInitDialog()
{
    m_pm.Init(m_hWnd, this);
    m_pm.EnableWndDrag(0);
    CRect client(0, 0, 0, 0);
    if (IsValid()) {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        client = rc;
    }
    InitUI(client);
    return 1;
}

void MPopupWnd::OnDestroyMessage(HWND hwnd)
{
    if (hwnd && hwnd == m_pm.GetPaintWnd()) m_pm.DestroyData();
    PostNcDestroy();
}

void MPopupWnd::InitUI(CRect) {}
void MPopupWnd::UISize(CRect) {}

LONG MPopupWnd::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

LONG MPopupWnd::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);
    return 1;
}

void MPopupWnd::CloseWindow()
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

int MPopupWnd::OnCreate()
{
    tipwindow::ApplyToolWindowStyles(m_hWnd);
    return 1;
}

int MPopupWnd::OnSize(UINT, int, int)
{
    if (!IsValid()) return 0;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    UISize(CRect(rc));
    ::InvalidateRect(m_hWnd, &rc, FALSE);
    return 0;
}

WEXA_DEFINE_IDLE_INPUT_HANDLERS(MPopupWnd)

int MPopupWnd::OnNcActivate(int active)
{
    if (!active && IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return 1;
}

int MPopupWnd::OnWindowPosChanging(WINDOWPOS*)
{
    return 0;
}

int MPopupWnd::OnWindowPosChanged(WINDOWPOS* pos)
{
    // The frame refresh below reports its own position change: handle one
    // level only, so a move costs a bounded number of messages.
    if (!pos || !IsValid() || m_nPosChangedDepth > 0) return 1;
    ++m_nPosChangedDepth;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, 0x433);
    ::SendMessageW(m_hWnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
    ::SendMessageW(m_hWnd, WM_SIZE, 0, MAKELPARAM(pos->cx, pos->cy));
    OnSize(0, pos->cx, pos->cy);
    --m_nPosChangedDepth;
    return 1;
}

int MPopupWnd::OnPaint()
{
    return 0;
}
void MPopupWnd::OnTimer(UINT) {}
int MPopupWnd::OnNcPaint()
{
    return 0;
}
int MPopupWnd::OnClose()
{
    return 1;
}
int MPopupWnd::PostNcDestroy()
{
    return 0;
}
int MPopupWnd::OnDestroy()
{
    return 0;
}

int MPopupWnd::LoadBKImage(CString skinFileName)
{
    return m_pm.LoadBKImage(skinFileName);
}
int MPopupWnd::LoadBKImage(UINT resourceId, CString resourceType)
{
    return m_pm.LoadBKImage(resourceId, resourceType);
}
void MPopupWnd::SetBackMode(enumBackMode mode, int parameter)
{
    m_pm.SetBackMode(mode, parameter);
}
void MPopupWnd::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_pm.SetScrollResID(vertical, horizontal);
}
void MPopupWnd::SetLayeredWindow(int layered)
{
    m_pm.SetLayeredWindow(layered);
}

void MPopupWnd::SetupBackTranslucent()
{
    if (!IsValid()) return;
    if (m_nAlpha != 255) {
        ModifyExStyle(0, WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);
    } else if (m_crKey != 0xFFFFFF) {
        ModifyExStyle(0, WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(m_hWnd, m_crKey, 255, LWA_COLORKEY);
    }
}

void MPopupWnd::SetupRegion(int diameter)
{
    tipwindow::SetupRoundRegion(m_hWnd, diameter);
}

MControl* MPopupWnd::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                                int visible, int enabled)
{
    return m_pm.CreateControl(0, static_cast<MObject*>(this), className, id, rect, title, visible,
                              enabled);
}

MControl* MPopupWnd::CreateControl(const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int visible, int enabled)
{
    return m_pm.CreateControl(1, static_cast<MObject*>(this), className, id, rect, title, visible,
                              enabled);
}

MControl* MPopupWnd::GetControl(UINT id)
{
    return m_pm.GetControl(id);
}

int MPopupWnd::SendMessageToParent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    MObject* parent = m_pParentObject;
    if (!parent) return 0;
    // The parent is a control or a window object: its OnMessage entry is
    // reached through OnBaseMessage's routing only for panels, so call the
    // control's own entry when it is one.
    if (MControl* control = dynamic_cast<MControl*>(parent))
        return control->OnMessage(0, code, wparam, lparam);
    return parent->OnBaseMessage(0, code, wparam, lparam);
}

}  // namespace WEXA
