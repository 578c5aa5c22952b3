#pragma once
// MTabCtrl: the windowless tab strip, and MTabLayout: the page panel that goes
// with it.
//
// Each tab is a TabItemInfo record (owner-chosen id, caption, optional icon
// strip, optional page control). Choosing a tab (a click or SetSelectItem)
// tells the owner with event 2 (wparam the new index) and then shows the
// tab's page and hides the pages of all other tabs. The strip is laid out
// horizontally (icons only; the caption is the hover tooltip) or vertically
// (a skinned cell per tab with a 26 x 26 icon and the caption). With the slide
// enabled a selection change moves the old page out and the new one in on the
// window timer (key 100, every 30 ms).
//
// The pages are not owned by the strip (except panels made by CreatePanel,
// which are its children). The tab vector has no lock: UI thread only.
#include <windows.h>

#include <vector>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

enum TAB_TYPE {
    TAB_TYPE_HORIZONTAL = 0,
    TAB_TYPE_VERTICAL = 1,
};

// One tab. The program reads id and writes text through GetItemInfo, so the
// field order and widths are fixed.
struct TabItemInfo
{
    int visible;            // 1 shown, 0 hidden (no room in the layout)
    Gdiplus::Image* image;  // icon strip, owned by the strip; may be null
    int imageWidth;         // one icon frame: image width / imageCount
    int imageHeight;
    int imageCount;     // frames side by side
    RECT rect;          // window client coordinates; empty while hidden
    CString text;       // caption
    UINT id;            // the owner's id of the tab
    RECT buttonRect;    // per-tab button, relative to the strip; stays empty
    int buttonState;    // 0 normal, 1 hover, 2 pressed; stays 0
    int tipFlag;        // nonzero: the hover tip also goes through SetTabTooltip
    MControl* control;  // the page shown while selected; not owned; may be null
};

class WEXA_API MTabCtrl : public MControlFont
{
public:
    enum { SLIDE_TIMER_KEY = 100, SLIDE_TIMER_MS = 30 };

    MTabCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MTabCtrl() override;

    const wchar_t* GetClassNameW() const override { return L"MTabCtrl"; }

    // ---- overridden operations ----
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int DrawSubControls(HDC& dc, CRect clip) override;
    int OnCheckMouseResponse(UINT flags, CPoint point) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlWndVisible(int visible) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    // ---- own virtual operation ----
    virtual int OnControlKeyUp(UINT key, UINT repeat, UINT flags);

    // ---- tabs ----
    // Appends a tab (caption may be null; icon file relative to the skin
    // folder; frames -1 means 3; width 0 takes the icon frame width), lays the
    // strip out and repaints. Returns 1.
    int InsertItem(UINT id, const wchar_t* text, const wchar_t* iconFile, MControl* page,
                   int frames, int width);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // Valid until the next insertion or deletion; null outside the vector.
    TabItemInfo* GetItemInfo(int index);
    // Returns the previous selection (the current one when nothing changes).
    int SetSelectItem(int index);
    int GetSelectItem() const { return m_nSelected; }
    void SetTabType(TAB_TYPE type) { m_type = type; }
    TAB_TYPE GetTabType() const { return m_type; }
    void SetTabCtrlWidth(int width) { m_nCtrlWidth = width; }
    void SetTabCtrlHeight(int height) { m_nCtrlHeight = height; }
    int GetCtrlWidth() const { return m_nCtrlWidth; }
    int GetCtrlHeight() const { return m_nCtrlHeight; }
    void SetItemWidth(int maximum, int minimum, int layoutNow);
    void SetItemHeight(int maximum, int minimum, int layoutNow);
    int GetItemWidth() const { return m_nItemWidth; }
    int GetItemHeight() const { return m_nItemHeight; }
    void SetLeftRightPading(int left, int right)
    {
        m_nLeftPadding = left;
        m_nRightPadding = right;
    }
    void SetTopBottomPading(int top, int bottom)
    {
        m_nTopPadding = top;
        m_nBottomPadding = bottom;
    }
    void RefreshItems();
    void DeleteItem(int index);
    int SetItemText(int index, const wchar_t* text);
    void SetItemVisible(int index, int visible);
    int GetItemVisible(int index) const;
    int GetItemID(int index) const;
    void SetItemImage(int index, const wchar_t* iconFile);
    void EnableAnimateChangeTab(int enable) { m_bSlideEnabled = enable; }
    void SetUpdataRect(CRect rect) { m_rcUpdate = rect; }
    // A new MTabLayout child for the exact name "MTabLayout"; null otherwise.
    MControl* CreatePanel(const wchar_t* className, UINT id, CRect rect);
    void SetTabTooltip(int index, const wchar_t* text);
    void ClearTabTooltip() {}
    int PtInTabButton(CPoint point, const TabItemInfo& item) const;

    // ---- read access ----
    int GetHoverItem() const { return m_nHover; }
    int GetPrevItem() const { return m_nPrevious; }
    int IsSliding() const { return m_bRunning; }
    CPoint GetSlideOffset() const { return CPoint(m_nSlideX, m_nSlideY); }
    void SetSlideSteps(int steps) { m_nSlideSteps = steps > 0 ? steps : 1; }

private:
    int InsertItem(int position, const TabItemInfo& item);
    void SetAirBladderInfo(CRect, const wchar_t*) {}
    void PlaceItems(bool skipHidden, int verticalGap);
    void ShowPages(int repaintStrip);
    static void ShowPage(MControl* page, int visible);
    void Repaint(int erase);
    void DrawControlHorizontal(HDC& dc);
    void DrawControlVertical(HDC& dc);
    bool ValidIndex(int index) const { return index >= 0 && index < GetItemCount(); }

    TAB_TYPE m_type;
    std::vector<TabItemInfo> m_items;
    int m_nCtrlHeight;
    int m_nCtrlWidth;
    int m_nItemWidth;
    int m_nItemMaxWidth;
    int m_nItemMinWidth;
    int m_nItemHeight;
    int m_nItemMaxHeight;
    int m_nItemMinHeight;
    int m_nLeftPadding;
    int m_nRightPadding;
    int m_nTopPadding;
    int m_nBottomPadding;
    int m_nHover;
    int m_nSelected;
    int m_nPrevious;
    int m_bSlideEnabled;
    int m_nSlideSteps;
    int m_nSlideX;
    int m_nSlideY;
    CRect m_rcUpdate;
    int m_bTabTips;
    int m_nLastTip;
};

class WEXA_API MTabLayout : public MPanel
{
public:
    MTabLayout(MObject* owner, UINT id, CRect rect, int visible);
    ~MTabLayout() override;

    const wchar_t* GetClassNameW() const override { return L"MTabLayout"; }

    void DrawControl(HDC& dc, CRect clip) override;
    int DrawSubControls(HDC& dc, CRect clip) override;
    // Takes the mouse only where a visible child lies.
    int OnCheckMouseResponse(UINT flags, CPoint point) override;
};

}  // namespace WEXA
