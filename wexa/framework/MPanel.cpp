// MPanel: container with its own control factory and two scroll bars.
#include "MPanel.h"

#include <algorithm>
#include <cstdint>

#include "MScroll.h"
#include "PaintManager.h"
#include "framework/ControlFactory.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

// The class names the panel's factory creates.
const FactoryEntry kPanelFactory[] = {
    // (title, visible, enabled)
    {L"MButton", FactoryArgs::TitleVisibleEnabled},
    {L"CImageButton", FactoryArgs::TitleVisibleEnabled},
    {L"CTextButton", FactoryArgs::TitleVisibleEnabled},
    {L"CCheckButton", FactoryArgs::TitleVisibleEnabled},
    {L"CRadioButton", FactoryArgs::TitleVisibleEnabled},
    {L"CSelectButton", FactoryArgs::TitleVisibleEnabled},
    {L"CIconButton", FactoryArgs::TitleVisibleEnabled},
    {L"CTimerButton", FactoryArgs::TitleVisibleEnabled},
    {L"CHelpButton", FactoryArgs::TitleVisibleEnabled},
    {L"MEdit", FactoryArgs::TitleVisibleEnabled},
    {L"MRichEdit", FactoryArgs::TitleVisibleEnabled},
    {L"MEditEx", FactoryArgs::TitleVisibleEnabled},
    // (title, visible, 1)
    {L"MenuItem", FactoryArgs::TitleVisibleOne},
    {L"UpgradeButton", FactoryArgs::TitleVisibleOne},
    {L"DownloadButton", FactoryArgs::TitleVisibleOne},
    {L"KeyLayerButton", FactoryArgs::TitleVisibleOne},
    {L"MButton3", FactoryArgs::TitleVisibleOne},
    // (title, visible)
    {L"MText", FactoryArgs::TitleVisible},
    // (visible, enabled)
    {L"MPicture", FactoryArgs::VisibleEnabled},
    {L"CPhotoFrame", FactoryArgs::VisibleEnabled},
    {L"CSliderPicture", FactoryArgs::VisibleEnabled},
    {L"CGifPicture", FactoryArgs::VisibleEnabled},
    {L"MProgress", FactoryArgs::VisibleEnabled},
    {L"MSlider", FactoryArgs::VisibleEnabled},
    {L"MLevelCtrl", FactoryArgs::VisibleEnabled},
    {L"CColorButton", FactoryArgs::VisibleEnabled},
    {L"MSpinButton", FactoryArgs::VisibleEnabled},
    {L"CSpinButton", FactoryArgs::VisibleEnabled},
    {L"CSwitchButton", FactoryArgs::VisibleEnabled},
    {L"MComboBox", FactoryArgs::VisibleEnabled},
    {L"MTabCtrl", FactoryArgs::VisibleEnabled},
    // (visible, 1)
    {L"CArea", FactoryArgs::VisibleOne},
    {L"CRoundArea", FactoryArgs::VisibleOne},
    {L"CirclePalette", FactoryArgs::VisibleOne},
    {L"CDeviceCtrl", FactoryArgs::VisibleOne},
    {L"CDeviceList", FactoryArgs::VisibleOne},
    {L"BatteryCtrl", FactoryArgs::VisibleOne},
    {L"ImageView", FactoryArgs::VisibleOne},
    {L"ColorView", FactoryArgs::VisibleOne},
    {L"KeyFuncValue", FactoryArgs::VisibleOne},
    {L"ProfileList", FactoryArgs::VisibleOne},
    {L"MListBoxEx", FactoryArgs::VisibleOne},
    {L"CKeyTestCtrl", FactoryArgs::VisibleOne},
    {L"KeyFuncType", FactoryArgs::VisibleOne},
    {L"KeyMenuFuncType", FactoryArgs::VisibleOne},
    {L"TabCtrlEx", FactoryArgs::VisibleOne},
    {L"KeyLayerCtrl", FactoryArgs::VisibleOne},
    // (visible)
    {L"MTabLayout", FactoryArgs::Visible},
    {L"MListBox", FactoryArgs::Visible},
    {L"MacroList", FactoryArgs::Visible},
    {L"MPalette", FactoryArgs::Visible},
    {L"CColorPalette", FactoryArgs::Visible},
    {L"CColorSelect", FactoryArgs::Visible},
    {L"KeyboardCtrl", FactoryArgs::Visible},
    {L"KeyFuncControl", FactoryArgs::Visible},
    {L"CRecordList", FactoryArgs::Visible},
    {L"NimbrelEffect", FactoryArgs::Visible},
    {L"LCDViewList", FactoryArgs::Visible},
    {L"LCDViewCtrl", FactoryArgs::Visible},
    {L"ImageViewList", FactoryArgs::Visible},
    {L"LCDPalette", FactoryArgs::Visible},
    {L"LCDPalette2", FactoryArgs::Visible},
    {L"LCDPalette3", FactoryArgs::Visible},
    {L"KeyFuncCtrl", FactoryArgs::Visible},
    {L"MatrixScreen", FactoryArgs::Visible},
};
static_assert(sizeof(kPanelFactory) / sizeof(kPanelFactory[0]) == 65,
              "the panel factory knows 65 class names");

bool IsScrollBar(const MControl* child)
{
    return child->m_nID == MScroll::VERTICAL_BAR_ID || child->m_nID == MScroll::HORIZONTAL_BAR_ID;
}

bool Overlaps(const RECT& a, const RECT& b)
{
    CRect tmp;
    return tmp.IntersectRect(&a, &b);
}

// (hidden content) x position / range maximum, 0 without a range.
int Offset(int hidden, const MScroll* bar)
{
    if (!bar) return 0;
    const int range = bar->GetScrollMaxRange();
    if (range <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(hidden) * bar->GetScrollCurrentPos() / range);
}

}  // namespace

MPanel::MPanel(MObject* owner, UINT id, CRect rect, int visible)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_bAttached(0),
      m_nVirtualHeight(0),
      m_nVirtualWidth(0),
      m_pScrollVertical(nullptr),
      m_pScrollHorizontal(nullptr),
      m_nScrollThickness(5),
      m_bEnableScroll(1)
{
    m_bDblClk = 1;
    m_pScrollVertical = new CScrollVertical(this, MScroll::VERTICAL_BAR_ID, CRect(), 1);
    m_pScrollHorizontal = new CScrollHorizontal(this, MScroll::HORIZONTAL_BAR_ID, CRect(), 1);
    {
        CAutoLock lock(m_childLock);
        m_controls.push_back(m_pScrollVertical);
        m_controls.push_back(m_pScrollHorizontal);
    }
    MPanel::SetControlRect(rect);
}

MPanel::~MPanel()
{
    // The bars go with the rest of the children (MControl's destructor).
    m_pScrollVertical = nullptr;
    m_pScrollHorizontal = nullptr;
}

// ---- notifications and repaints ----

LONG MPanel::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LONG MPanel::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (!m_pParent) return 0;
    return m_pParent->OnBaseMessage(id, code, wparam, lparam);
}

LONG MPanel::OnControlUpdate(CRect rect, int erase, MControl* control)
{
    if (!control) return 0;
    PaintManager* manager = m_pManager;
    if (manager && !manager->IsUIThread()) {
        // A ticked child (the multimedia-timer thread) or a setter called by
        // a worker: the children must not be walked here, the UI thread may
        // be removing or adding one. The UI thread marks the requester and
        // the children over it and invalidates them when it picks the
        // request up (CompleteControlUpdate).
        if (manager->QueueRepaint(this, rect, erase, control)) manager->RequestRepaintPickup();
        return 0;
    }
    MarkRequest(rect, erase, control);
    InvalidateRequest(rect, erase, IsScrollBar(control));
    return 0;
}

void MPanel::CompleteControlUpdate(CRect rect, int erase, MControl* control)
{
    // The requester may have been removed since it asked (its requests then
    // went with it), or may not be one of the panel's: it is used only while
    // it is found in the lists.
    bool ours = false;
    {
        CAutoLock lock(m_childLock);
        ours = std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
    }
    if (!ours) {
        CAutoLock lock(m_areaLock);
        ours = std::find(m_areas.begin(), m_areas.end(), control) != m_areas.end();
    }
    if (!ours) return;
    MarkRequest(rect, erase, control);
    InvalidateRequest(rect, erase, IsScrollBar(control));
}

void MPanel::MarkRequest(const CRect& rect, int erase, MControl* control)
{
    if (erase) control->SetUpdate(0, 0);
    if (!m_bAttached) return;
    // Later children are drawn on top of the requester: their images must be
    // made again where they overlap the rectangle.
    bool after = false;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (!child) continue;
        if (child == control) {
            after = true;
            continue;
        }
        if (after && child->m_bVisible && Overlaps(child->m_rcControl, rect))
            child->SetUpdate(0, 0);
    }
}

void MPanel::InvalidateRequest(const CRect& rect, int erase, bool fromScrollBar)
{
    PaintManager* manager = m_pManager;
    if (!manager) return;
    // Nothing of a hidden panel is on the screen.
    if (!IsShown()) return;
    HWND wnd = manager->GetPaintWnd();
    if (!IsLiveWindow(wnd)) return;
    // The bars live in window coordinates; everything else in content
    // coordinates, which the scroll offsets move.
    CRect area;
    if (fromScrollBar) {
        if (!area.IntersectRect(&rect, &m_rcControl)) area = CRect();
        if (const MPanel* outer = dynamic_cast<const MPanel*>(m_pParent))
            area = outer->ContentToWindow(area);
    } else {
        area = ContentToWindow(rect);
    }
    // A layered window is always repainted whole.
    if (!area.IsRectEmpty() || manager->IsLayered()) manager->InvalidateRect(area, erase);
}

// ---- attachment, look ----

void MPanel::InitControl(PaintManager* manager)
{
    m_bAttached = 1;
    if (m_pScrollVertical) m_pScrollVertical->SetManager(manager);
    if (m_pScrollHorizontal) m_pScrollHorizontal->SetManager(manager);
}

int MPanel::IsDragDrop()
{
    MControl* current = m_pCurControl;
    return current ? current->IsDragDrop() : 0;
}

void MPanel::DrawControl(HDC&, CRect) {}

int MPanel::DrawSubControls(HDC& dc, CRect clip)
{
    if (IsContentScrolled()) return 1;
    return MControl::DrawSubControls(dc, clip);
}

int MPanel::OnCheckMouseResponse(UINT, CPoint)
{
    return 1;
}

LONG MPanel::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    CAutoLock lock(m_childLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && child->OnWindowMessage(msg, wparam, lparam)) return 1;
    }
    return 0;
}

void MPanel::SetControlVisible(int visible)
{
    m_bVisible = visible;
    SetControlWndVisible(visible);
}

void MPanel::SetControlWndVisible(int) {}

void MPanel::SetControlEnabled(int enabled)
{
    m_bEnabled = enabled;
    CAutoLock lock(m_childLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (!child || child->m_bEnabled == enabled) continue;
        child->SetControlEnabled(enabled);
        if (child->m_bVisible && child->m_pParent)
            child->m_pParent->OnControlUpdate(child->m_rcControl, 1, child);
    }
}

int MPanel::OnControlTimer()
{
    return 0;
}

int MPanel::OnControlKeyUp(UINT, UINT, UINT)
{
    return 0;
}

// ---- scrolling ----

int MPanel::GetVerticalOffset() const
{
    return Offset(m_nVirtualHeight - m_rcControl.Height(), m_pScrollVertical);
}

int MPanel::GetHorizontalOffset() const
{
    return Offset(m_nVirtualWidth - m_rcControl.Width(), m_pScrollHorizontal);
}

bool MPanel::IsContentScrolled() const
{
    if (!m_bEnableScroll) return false;
    return m_rcControl.Height() < m_nVirtualHeight || m_rcControl.Width() < m_nVirtualWidth;
}

CRect MPanel::ContentToWindow(CRect rect) const
{
    if (IsContentScrolled()) rect.OffsetRect(-GetHorizontalOffset(), -GetVerticalOffset());
    CRect clipped;
    if (!clipped.IntersectRect(&rect, &m_rcControl)) return CRect();
    if (const MPanel* outer = dynamic_cast<const MPanel*>(m_pParent))
        return outer->ContentToWindow(clipped);
    return clipped;
}

int MPanel::OnMousePointChange(CPoint& point)
{
    if (!IsContentScrolled()) return 0;
    point.x += GetHorizontalOffset();
    point.y += GetVerticalOffset();
    return 1;
}

int MPanel::OnControlScroll(int, UINT down, CPoint)
{
    if (!m_bEnableScroll || m_nVirtualHeight < m_rcControl.Height()) return 0;
    CScrollVertical* bar = m_pScrollVertical;
    if (!bar) return 0;
    if (!bar->ScrollRow(down == 1 ? 1 : -1)) return 1;
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
    if (bar->m_bVisible) OnControlUpdate(bar->m_rcControl, 1, bar);
    return 1;
}

void MPanel::SetControlRect(CRect rect)
{
    m_nVirtualHeight = 0;
    m_nVirtualWidth = 0;
    m_rcControl = rect;
    {
        CAutoLock lock(m_childLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* child = m_controls[i];
            if (!child) continue;
            if (IsScrollBar(child)) {
                PlaceScrollBar(
                    static_cast<MScroll*>(child),
                    child->m_nID == MScroll::VERTICAL_BAR_ID
                        ? CRect(rect.right - m_nScrollThickness, rect.top, rect.right, rect.bottom)
                        : CRect(rect.left, rect.bottom - m_nScrollThickness, rect.right,
                                rect.bottom));
                continue;
            }
            const int reachDown = child->m_rcControl.bottom - rect.top;
            const int reachRight = child->m_rcControl.right - rect.left;
            if (reachDown > m_nVirtualHeight) m_nVirtualHeight = reachDown;
            if (reachRight > m_nVirtualWidth) m_nVirtualWidth = reachRight;
        }
    }

    FitScrollBar(m_pScrollVertical, m_nVirtualHeight, rect.Height());
    FitScrollBar(m_pScrollHorizontal, m_nVirtualWidth, rect.Width());
}

void MPanel::PlaceScrollBar(MScroll* bar, CRect place)
{
    if (!bar) return;
    CRect both;
    both.UnionRect(&bar->m_rcControl, &place);
    bar->SetControlRect(place);
    if (bar->m_bVisible) OnControlUpdate(both, 1, bar);
}

void MPanel::PlaceScrollBars(CRect rect, int thickness, bool horizontalToo)
{
    CAutoLock lock(m_childLock);
    PlaceScrollBar(m_pScrollVertical,
                   CRect(rect.right - thickness, rect.top, rect.right, rect.bottom));
    if (horizontalToo)
        PlaceScrollBar(m_pScrollHorizontal,
                       CRect(rect.left, rect.bottom - thickness, rect.right, rect.bottom));
}

void MPanel::FitScrollBar(MScroll* bar, int content, int view)
{
    if (!bar) return;
    const int show = content > view ? 1 : 0;
    if (bar->m_bVisible != show) {
        bar->SetControlVisible(show);
        OnControlUpdate(bar->m_rcControl, 1, bar);
    }
    bar->SetScrollMaxRange(content);
}

// ---- the factory ----

MControl* MPanel::CreateControl(UINT kind, MObject* owner, const wchar_t* className, UINT id,
                                CRect rect, const wchar_t* title, int visible, int enabled)
{
    if (!className || !*className) return nullptr;
    MControl* control =
        ConstructFromTable(kPanelFactory, owner, className, id, rect, title, visible, enabled);
    if (!control) return nullptr;
    if (m_pManager) control->SetManager(m_pManager);
    if (kind == 0) {
        CAutoLock lock(m_areaLock);
        m_areas.push_back(control);
    } else if (kind == 1) {
        CAutoLock lock(m_childLock);
        m_controls.push_back(control);
    }
    return control;
}

MControl* MPanel::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                             int visible, int enabled)
{
    return CreateControl(0, this, className, id, rect, title, visible, enabled);
}

MControl* MPanel::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                                int visible, int enabled)
{
    return CreateControl(1, this, className, id, rect, title, visible, enabled);
}

}  // namespace WEXA
