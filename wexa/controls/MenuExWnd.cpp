#include "MenuExWnd.h"

#include "KeyMenuFuncType.h"
#include "MControl.h"
#include "TipWindow.h"
#include "controls/MenuShared.h"

namespace WEXA {

MenuExWnd::MenuExWnd(MObject* owner)
    : m_pFuncList(nullptr),
      m_pOwner(owner),
      m_uMessage(0),
      m_hParentWnd(nullptr)
{
    MenuLifetime::CountMenu(1);
}

MenuExWnd::~MenuExWnd()
{
    MenuLifetime::CountMenu(-1);
}

int MenuExWnd::Create(HWND parent, CRect rect, UINT message, CString backImage)
{
    m_uMessage = message;
    m_hParentWnd = parent;
    m_pm.LoadBKImage(backImage);
    m_pm.SetBackMode(BACK_MODE_FRAME, 10);
    m_pm.SetLayeredWindow(1);
    if (!MWindow::Create(parent, L"Menu Window", 0x80B, 0, rect)) return 0;
    MControl* list = m_pm.CreateControl(
        1, this, L"KeyMenuFuncType", LIST_ID,
        CRect(MARGIN, MARGIN, rect.Width() - MARGIN, rect.Height() - MARGIN), L"", 1, 1);
    m_pFuncList = dynamic_cast<KeyMenuFuncType*>(list);
    return 1;
}

void MenuExWnd::AddItem(CString text, CString secondText, int data, CString icon)
{
    if (m_pFuncList) m_pFuncList->AddItem(text, secondText, data, icon);
}

MControl* MenuExWnd::CreateControl(const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int visible, int enabled)
{
    return m_pm.CreateControl(this, className, id, rect, title, visible, enabled);
}

void MenuExWnd::SetupRegion(int corner)
{
    tipwindow::SetupRoundRegion(m_hWnd, corner);
}

MObject* MenuExWnd::GetParent()
{
    return m_pOwner;
}
void MenuExWnd::InitUI(CRect) {}
void MenuExWnd::UISize(CRect) {}

LONG MenuExWnd::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LONG MenuExWnd::OnControlUpdate(CRect rect, int erase, MControl* control)
{
    return m_pm.OnControlUpdate(rect, erase, control);
}

LONG MenuExWnd::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR)
{
    if (m_hParentWnd) ::PostMessageW(m_hParentWnd, m_uMessage, wparam, static_cast<LPARAM>(id));
    if (code == 2) CloseWindow();
    return 1;
}

LONG MenuExWnd::SendMessageToParent(UINT, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (m_hParentWnd) ::PostMessageW(m_hParentWnd, m_uMessage, wparam, lparam);
    if (code == 2) CloseWindow();
    return 1;
}

void MenuExWnd::CloseWindow()
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

LONG MenuExWnd::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);
    return 1;
}

int MenuExWnd::OnNcActivate(int active)
{
    if (!active && IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return 1;
}

LONG MenuExWnd::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    LRESULT result = 0;
    {
        MenuLifetime::Scope scope(m_life);
        result = menuwindow::Dispatch(*this, m_pm, m_hWnd, m_OldWndProc, msg, wparam, lparam);
    }
    if (m_life.TakePendingDelete()) delete this;
    return static_cast<LONG>(result);
}

int MenuExWnd::PreTranslateMessage(MSG*)
{
    return 0;
}

int MenuExWnd::OnInitDialog()
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

void MenuExWnd::OnDestroyMessage(HWND hwnd)
{
    m_pm.OnDestroyMessage(hwnd);
    PostNcDestroy();
}

int MenuExWnd::PostNcDestroy()
{
    if (m_life.RequestDelete()) delete this;
    return 0;
}

int MenuExWnd::OnCreate(CREATESTRUCTW*)
{
    tipwindow::ApplyToolWindowStyles(m_hWnd);
    return 0;
}

int MenuExWnd::OnSize(UINT, int, int)
{
    UISize(CRect(0, 0, 0, 0));
    if (IsValid()) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

int MenuExWnd::OnWindowPosChanged(WINDOWPOS* pos)
{
    return menuwindow::ReapplyFrame(*this, m_life, pos);
}

WEXA_DEFINE_IDLE_INPUT_HANDLERS(MenuExWnd)
int MenuExWnd::OnWindowPosChanging(WINDOWPOS*)
{
    return 0;
}
int MenuExWnd::OnPaint()
{
    return 0;
}
void MenuExWnd::OnTimer(UINT) {}
int MenuExWnd::OnNcPaint()
{
    return 0;
}
int MenuExWnd::OnClose()
{
    return 0;
}
int MenuExWnd::OnDestroy()
{
    return 0;
}

// ---- KeyMenuWnd ----

KeyMenuWnd::KeyMenuWnd(MObject* owner) : MenuExWnd(owner) {}
KeyMenuWnd::~KeyMenuWnd() {}
void KeyMenuWnd::InitUI(CRect) {}
void KeyMenuWnd::UISize(CRect) {}
LONG KeyMenuWnd::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return MenuExWnd::OnMessage(id, code, wparam, lparam);
}

}  // namespace WEXA
