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

WEXA_MENU_DEFINE_WINDOW(MenuExWnd)

void MenuExWnd::InitUI(CRect) {}
void MenuExWnd::UISize(CRect) {}

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
