#include "MenuWnd.h"

#include <cwchar>

#include "MControl.h"
#include "MControlFont.h"
#include "MRender.h"
#include "Manager.h"
#include "MenuItem.h"
#include "TipWindow.h"
#include "controls/MenuShared.h"

namespace WEXA {

namespace {

MenuItem* AsEntry(MControl* control)
{
    return (control && control->IsClass(L"MenuItem")) ? static_cast<MenuItem*>(control) : nullptr;
}

void SetEntryLook(MenuItem* entry, int indent, Gdiplus::ARGB hover)
{
    entry->SetTextIndent(indent);
    entry->m_clrHover = hover;
}

}  // namespace

MenuWnd::MenuWnd(MObject* owner)
    : m_pOwner(owner),
      m_crKey(0xFFFFFF),
      m_nAlpha(255),
      m_uMessage(0),
      m_strFont(L"Roboto-Medium"),
      m_nFontSize(14),
      m_nFontStyle(0),
      m_nTextIndent(5),
      m_nItemHeight(35),
      m_nWidth(300),
      m_nItemFrameWidth(0),
      m_nTopMargin(12),
      m_nBottomMargin(6),
      m_hParentWnd(nullptr),
      m_clrHover(Manager::GetHoverColor().GetValue())
{
    MenuLifetime::CountMenu(1);
}

MenuWnd::~MenuWnd()
{
    m_changes.clear();
    MenuLifetime::CountMenu(-1);
}

// ---- window ----

int MenuWnd::CreateMenuWindow(HWND parent, CPoint point, UINT message)
{
    m_uMessage = message;
    m_hParentWnd = parent;
    HWND hwnd = MWindow::Create(parent, L"Menu Window", 0x80B, 0,
                                CRect(point.x, point.y, point.x + m_nWidth, point.y + m_nWidth));
    return hwnd ? 1 : 0;
}

int MenuWnd::Create(HWND parent, CPoint point, UINT message, CString backImage, int backParam,
                    int width, enumBackMode backMode)
{
    m_nWidth = width;
    if (!backImage.IsEmpty()) m_pm.LoadBKImage(backImage);
    m_pm.SetBackMode(backMode, backParam);
    m_pm.SetLayeredWindow(1);
    return CreateMenuWindow(parent, point, message);
}

int MenuWnd::Create(HWND parent, CPoint point, UINT message, UINT backResId, int backParam,
                    int width, enumBackMode backMode)
{
    m_nWidth = width;
    m_pm.LoadBKImage(backResId, L"PNG");
    m_pm.SetBackMode(backMode, backParam);
    m_pm.SetLayeredWindow(1);
    return CreateMenuWindow(parent, point, message);
}

int MenuWnd::Create(HWND parent, CPoint point, UINT message)
{
    return CreateMenuWindow(parent, point, message);
}

int MenuWnd::LoadBKImage(CString file)
{
    return m_pm.LoadBKImage(file);
}
int MenuWnd::LoadBKImage(UINT resId, CString type)
{
    return m_pm.LoadBKImage(resId, type);
}
void MenuWnd::SetBackMode(enumBackMode mode, int parameter)
{
    m_pm.SetBackMode(mode, parameter);
}
void MenuWnd::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_pm.SetScrollResID(vertical, horizontal);
}
void MenuWnd::SetLayeredWindow(int layered)
{
    m_pm.SetLayeredWindow(layered);
}
MControl* MenuWnd::GetControl(UINT id)
{
    return m_pm.GetControl(id);
}
MControl* MenuWnd::CreateControl(const wchar_t* className, UINT id, CRect rect,
                                 const wchar_t* title, int visible, int enabled)
{
    return m_pm.CreateControl(this, className, id, rect, title, visible, enabled);
}
MControl* MenuWnd::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                              int visible, int enabled)
{
    return m_pm.CreateArea(this, className, id, rect, title, visible, enabled);
}

void MenuWnd::SetupBackTranslucent()
{
    if (!IsValid()) return;
    if (m_nAlpha != 255) {
        ModifyExStyle(0, WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);
    } else if (m_crKey != 0xFFFFFF) {
        ModifyExStyle(0, WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(m_hWnd, m_crKey, 0, LWA_COLORKEY);
    }
}

WEXA_MENU_DEFINE_WINDOW(MenuWnd)

// ---- entries ----

void MenuWnd::AddEntry(const CString& title, UINT id, const wchar_t* iconFile, int iconResId)
{
    // Measured with the engine's own fonts: the library face is a private
    // font, which the installed-font lookup does not know.
    Gdiplus::FontFamily* family = m_pm.FindTempFont(m_strFont);
    if (family && !title.IsEmpty()) {
        Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_nFontSize), m_nFontStyle,
                           Gdiplus::UnitPixel);
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetFormatFlags(0x1800);
        const int measured = MRender::GetTextBounds(&font, &format, title).Width;
        if (measured > m_nWidth - m_nTextIndent - 4) m_nWidth = measured + m_nTextIndent + 4;
    }
    MControl* control =
        m_pm.CreateControl(1, this, L"MenuItem", id, CRect(0, 0, 0, 0), title, 1, 1);
    if (auto* entry = dynamic_cast<MControlFont*>(control)) {
        entry->SetFont(m_strFont, m_nFontSize, static_cast<Gdiplus::FontStyle>(m_nFontStyle));
        if (iconFile && *iconFile)
            entry->SetImage(iconFile, 4);
        else if (iconResId != -1 && !iconFile)
            entry->SetImage(static_cast<UINT>(iconResId), L"PNG", 4);
    }
    SetMenuPoint();
}

int MenuWnd::AddMenu(CString title, UINT id, CString icon, int, int)
{
    AddEntry(title, id, icon.IsEmpty() ? L"" : static_cast<const wchar_t*>(icon), -1);
    return -1;
}

int MenuWnd::AddMenu(CString title, UINT id, int iconResId, int, int)
{
    AddEntry(title, id, nullptr, iconResId);
    return -1;
}

int MenuWnd::AddSeparator(UINT id, CString icon)
{
    MControl* control = m_pm.CreateControl(1, this, L"MenuItem", id, CRect(0, 0, 0, 0), L"", 1, 1);
    if (MenuItem* entry = AsEntry(control)) {
        entry->SetSeparator(1);
        if (!icon.IsEmpty()) entry->SetImage(icon, 1);
    }
    SetMenuPoint();
    return -1;
}

void MenuWnd::SetMenuPoint()
{
    std::vector<MControl*> controls;
    {
        CAutoLock lock(m_pm.m_controlsLock);
        controls = m_pm.GetControls();
    }
    if (controls.empty()) return;
    int y = m_nTopMargin;
    for (MControl* control : controls) {
        if (!control) continue;
        CRect rect;
        if (MenuItem* entry = AsEntry(control)) {
            entry->SetFrameWidth(m_nItemFrameWidth);
            if (!entry->IsVisible()) {
                rect = CRect(0, 0, 0, 0);
            } else if (entry->IsSeparator()) {
                rect = CRect(m_nTextIndent + 1, y + 1, m_nWidth - 10, y + 2);
                y += 4;
            } else {
                rect = CRect(5, y, m_nWidth - 10, y + m_nItemHeight);
                y += m_nItemHeight;
                SetEntryLook(entry, m_nTextIndent, m_clrHover);
            }
        } else if (control->GetControlID() == static_cast<UINT>(-1)) {
            rect = CRect(m_nTextIndent + 4, y + 1, m_nWidth - 10, y + 2);
            y += 4;
        } else {
            continue;
        }
        control->SetRect(rect);
    }
    if (IsValid()) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_nWidth, y + m_nBottomMargin,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

// ---- change records ----

void MenuWnd::QueueChange(MenuChangeRecord record)
{
    m_changes.push_back(record);
    // Changes made while the window exists show at once.
    if (IsValid()) ApplyChanges();
}

void MenuWnd::SetItemTitle(CString key, CString title)
{
    QueueChange({0, key, title, 1, 1, -1, 0});
}
void MenuWnd::SetItemVisible(CString key, int visible)
{
    QueueChange({0, key, L"", visible, 1, -1, 1});
}
void MenuWnd::SetItemEnable(CString key, int enable)
{
    QueueChange({0, key, L"", 1, enable, -1, 2});
}
void MenuWnd::SetItemCheck(CString key, int check)
{
    QueueChange({0, key, L"", 1, 0, check, 3});
}

MControl* MenuWnd::FindEntry(const MenuChangeRecord& record)
{
    if (record.id != 0) return m_pm.GetControl(record.id);
    std::vector<MControl*> controls;
    {
        CAutoLock lock(m_pm.m_controlsLock);
        controls = m_pm.GetControls();
    }
    for (MControl* control : controls) {
        MenuItem* entry = AsEntry(control);
        if (!entry) continue;
        if (entry->GetTitle() == record.key) return entry;
        CString id;
        id.Format(L"%u", entry->GetControlID());
        if (id == record.key) return entry;
    }
    return nullptr;
}

void MenuWnd::ApplyChanges()
{
    std::vector<MenuChangeRecord> changes;
    changes.swap(m_changes);
    for (const MenuChangeRecord& record : changes) {
        MenuItem* entry = AsEntry(FindEntry(record));
        if (!entry) continue;
        switch (record.kind) {
            case 0:
                if (!record.title.IsEmpty()) entry->SetTitle(record.title);
                break;
            case 1:
                if (record.visible == 0 && entry->IsVisible())
                    entry->SetVisible(0);
                else if (record.visible != 0 && !entry->IsVisible())
                    entry->SetVisible(1);
                break;
            case 2: entry->SetEnabled(record.enable ? 1 : 0); break;
            case 3:
                if (record.check != -1) entry->SetCheck(record.check);
                break;
            default: break;
        }
    }
    SetMenuPoint();
}

void MenuWnd::InitUI(CRect)
{
    ApplyChanges();
}

void MenuWnd::UISize(CRect) {}

// ---- notifications ----

// ---- closing ----

// ---- window messages ----

}  // namespace WEXA
