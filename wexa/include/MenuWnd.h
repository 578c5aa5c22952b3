#pragma once
// MenuWnd: the library's popup menu: a borderless layered tool window titled
// "Menu Window" holding a vertical list of MenuItem entries in its own window
// engine. It sizes itself to its entries and tells its parent window which
// entry was chosen by posting (notification message, 0, entry id), then
// closes. It also closes when it loses the activation.
//
// Create the object with new, call Create, add entries, show it (ShowWindow or
// ShowModal) and forget it: it deletes itself once its window is destroyed.
// When Create fails the object stays alive and belongs to the caller.
// UI thread only.
#include <windows.h>

#include <vector>

#include "CRect.h"
#include "CString.h"
#include "MObject.h"
#include "MWindow.h"
#include "MenuWindow.h"
#include "PaintManager.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class MControl;

// A queued change of an entry (SetItemTitle, SetItemVisible, SetItemEnable,
// SetItemCheck). The key names the entry by its title or its control id in
// decimal.
struct MenuChangeRecord
{
    UINT id;
    CString key;
    CString title;  // empty: keep
    int visible;    // 0: hide
    int enable;     // enable records only: the new enabled state
    int check;      // -1: keep
    int kind;       // 0 title, 1 visible, 2 enable, 3 check
};

class WEXA_API MenuWnd : public MWindow, public MObject
{
public:
    explicit MenuWnd(MObject* owner);
    virtual ~MenuWnd();

    // ---- MWindow part, in slot order (see MenuWindow.h) ----
    WEXA_MENU_WINDOW_SLOTS

    // ---- MObject part ----
    const wchar_t* GetClassNameW() const override { return L"MenuWnd"; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override;

    // ---- window ----
    // (parent, top-left point on the screen, notification message, background
    // file, back-mode parameter, width, back mode): 1 when the window exists.
    int Create(HWND parent, CPoint point, UINT message, CString backImage, int backParam, int width,
               enumBackMode backMode);
    // The same with the background from the program's "PNG" resource.
    int Create(HWND parent, CPoint point, UINT message, UINT backResId, int backParam, int width,
               enumBackMode backMode);
    // Keeps background, back mode and layering; the current width.
    int Create(HWND parent, CPoint point, UINT message);
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resId, CString type);
    void SetBackMode(enumBackMode mode, int parameter);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(int layered);
    MControl* GetControl(UINT id);
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int visible, int enabled);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int visible, int enabled);
    void SetupBackTranslucent();
    void SetParent(MObject* owner) { m_pOwner = owner; }

    // ---- entries ----
    // (title, control id, icon skin file, unused, unused): -1.
    int AddMenu(CString title, UINT id, CString icon, int unused1, int unused2);
    // (title, control id, icon "PNG" resource id or -1, unused, unused): -1.
    int AddMenu(CString title, UINT id, int iconResId, int unused1, int unused2);
    int AddSeparator(UINT id, CString icon);
    void SetItemTitle(CString key, CString title);
    void SetItemVisible(CString key, int visible);
    void SetItemEnable(CString key, int enable);
    void SetItemCheck(CString key, int check);
    void SetMenuPoint();
    // Posts (message, wparam, lparam) to the parent window.
    LONG SendMessageToParent(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam);

    // ---- read access ----
    int GetMenuWidth() const { return m_nWidth; }
    int GetItemHeight() const { return m_nItemHeight; }
    UINT GetNotifyMessage() const { return m_uMessage; }
    PaintManager* GetPaintManager() { return &m_pm; }

protected:
    void SetupRegion(int corner);

private:
    int CreateMenuWindow(HWND parent, CPoint point, UINT message);
    void AddEntry(const CString& title, UINT id, const wchar_t* iconFile, int iconResId);
    void QueueChange(MenuChangeRecord record);
    void ApplyChanges();
    MControl* FindEntry(const MenuChangeRecord& record);

    MObject* m_pOwner;
    PaintManager m_pm;
    COLORREF m_crKey;
    int m_nAlpha;
    UINT m_uMessage;
    CString m_strFont;
    int m_nFontSize;
    int m_nFontStyle;
    int m_nTextIndent;
    int m_nItemHeight;
    int m_nWidth;
    int m_nItemFrameWidth;
    int m_nTopMargin;
    int m_nBottomMargin;
    HWND m_hParentWnd;
    Gdiplus::ARGB m_clrHover;
    std::vector<MenuChangeRecord> m_changes;
    MenuLifetime m_life;
};

}  // namespace WEXA
