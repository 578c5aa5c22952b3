#include "MPopupWnd.h"

#include "MControl.h"
#include "MDialog.h"
#include "TipWindow.h"
#include "framework/EngineWindow.h"
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

int MPopupWnd::PreTranslateMessage(MSG*)
{
    return 0;
}

int MPopupWnd::OnInitDialog()
{
    m_pm.Init(m_hWnd, this);
    m_pm.EnableWndDrag(0);
    InitUI(ClientRectOf(*this));
    return 1;
}

void MPopupWnd::InitUI(CRect) {}
void MPopupWnd::UISize(CRect) {}

LONG MPopupWnd::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
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
WEXA_DEFINE_ENGINE_WINDOW(MPopupWnd)

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

void MPopupWnd::SetupRegion(int diameter)
{
    tipwindow::SetupRoundRegion(m_hWnd, diameter);
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
