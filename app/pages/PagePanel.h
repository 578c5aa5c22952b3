#pragma once
// What the page builders share: the page panel the window keeps under its id
// and the areas made on it (each with an empty rectangle, which the page's
// layout sets later, shown, enabled and kept by its id), the cast of a kept
// control, the (text id, data) items of tab strips and combo boxes, the
// profile database, the colour of the pages' titles, a number as text, and
// controls placed from a table measured from the page's bottom edge.
#include <windows.h>

#include <cwchar>

#include "CRect.h"
#include "CString.h"
#include "MControl.h"
#include "MPanel.h"
#include "WexaGdiplus.h"
#include "mainwnd/KeyboardDef.h"
#include "services/db/DeviceDataDB.h"

namespace pages {

template <class T>
T* As(WEXA::MControl* control)
{
    return static_cast<T*>(control);
}

// An item of a tab strip or combo box: its language text and its data.
struct TextItem
{
    int textId;
    int data;
};

inline DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

// The titles above a page's groups.
inline Gdiplus::Color TitleColour()
{
    return Gdiplus::Color(0xFF0A0A0A);
}

inline CString Decimal(int value)
{
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    return text;
}

// A control's place: left and right as given, top and bottom as the page's
// height minus the value.
struct Place
{
    UINT id;
    int left, top, right, bottom;
};

// Places the kept controls of the table (missing ones are skipped) in a page
// of height H.
template <size_t N>
void PlaceFromBottom(const KeyboardDef& window, const Place (&places)[N], int H)
{
    for (const Place& p : places)
        if (WEXA::MControl* control = window.Ctl(p.id))
            control->SetRect(CRect(p.left, H - p.top, p.right, H - p.bottom));
}

// The page panel kept under its id; false while the panel is not built.
// Called with a class name, id and title it makes an area on the panel.
class PagePanel
{
public:
    PagePanel(KeyboardDef& window, UINT pageId)
        : m_window(window),
          m_panel(static_cast<WEXA::MPanel*>(window.Ctl(pageId)))
    {}
    explicit operator bool() const { return m_panel != nullptr; }
    WEXA::MPanel* panel() const { return m_panel; }
    WEXA::MControl* operator()(const wchar_t* className, UINT id, const wchar_t* title = L"") const
    {
        return m_window.Keep(m_panel->CreateArea(className, id, CRect(), title, 1, 1));
    }

private:
    KeyboardDef& m_window;
    WEXA::MPanel* m_panel;
};

}  // namespace pages
