#pragma once
// MenuExWnd: a popup menu window of the same kind as MenuWnd that hosts one
// control instead of entries: a KeyMenuFuncType list of function rows (id 100)
// filling the window less a 10-pixel margin. A click on a row posts
// (notification message, the row's data, 100) to the parent window and closes
// the menu; losing the activation closes it too. Like MenuWnd it lives on the
// heap and deletes itself once its window is destroyed. KeyMenuWnd is the
// same window under another name. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MObject.h"
#include "MWindow.h"
#include "MenuWindow.h"
#include "PaintManager.h"
#include "WexaExport.h"

namespace WEXA {

class MControl;
class KeyMenuFuncType;

class WEXA_API MenuExWnd : public MWindow, public MObject
{
public:
    enum { LIST_ID = 100, MARGIN = 10 };

    explicit MenuExWnd(MObject* owner);
    virtual ~MenuExWnd();

    // ---- MWindow part, in slot order (see MenuWindow.h) ----
    WEXA_MENU_WINDOW_SLOTS

    // ---- MObject part ----
    const wchar_t* GetClassNameW() const override { return L"MenuExWnd"; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override;

    // Creates the window titled "Menu Window" at rect (screen) with the
    // background (nine-slice, corner 10, layered) and the function list. 1
    // when the window exists.
    int Create(HWND parent, CRect rect, UINT message, CString backImage);
    // Appends a row to the function list; the window keeps its size.
    void AddItem(CString text, CString secondText, int data, CString icon);
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int visible, int enabled);
    LONG SendMessageToParent(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam);
    void SetParent(MObject* owner) { m_pOwner = owner; }
    KeyMenuFuncType* GetFuncList() const { return m_pFuncList; }
    PaintManager* GetPaintManager() { return &m_pm; }

protected:
    void SetupRegion(int corner);

private:
    KeyMenuFuncType* m_pFuncList;
    MObject* m_pOwner;
    PaintManager m_pm;
    UINT m_uMessage;
    HWND m_hParentWnd;
    MenuLifetime m_life;
};

class WEXA_API KeyMenuWnd : public MenuExWnd
{
public:
    explicit KeyMenuWnd(MObject* owner);
    ~KeyMenuWnd() override;

    const wchar_t* GetClassNameW() const override { return L"KeyMenuWnd"; }
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
};

}  // namespace WEXA
