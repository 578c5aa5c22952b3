// MControl: state, tree, drawing, repaint requests and small services.
// The input routing lives in MControlRouting.cpp.
#include "MControl.h"

#include <algorithm>
#include <cwchar>

#include "PaintManager.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

bool Overlaps(const RECT& a, const RECT& b)
{
    CRect tmp;
    return tmp.IntersectRect(&a, &b);
}

// The engine a control may still call into; null when it is gone.
PaintManager* LiveManager(PaintManager* manager)
{
    return (manager && PaintManager::IsLiveManager(manager)) ? manager : nullptr;
}

void DetachFromTicks(MControl* control)
{
    if (PaintManager* manager = LiveManager(control->m_pManager))
        manager->DetachControlTree(control);
}

}  // namespace

MControl::MControl(MObject* owner, UINT id, CRect rect, int visible, int enabled, int mouseResponse)
    : m_pParent(owner),
      m_pManager(nullptr),
      m_nID(id),
      m_rcControl(rect),
      m_bVisible(visible),
      m_bEnabled(enabled),
      m_bDragDrop(0),
      m_bResponse(mouseResponse),
      m_bTabStop(0),
      m_bDblClk(0),
      m_bPressed(0),
      m_bFocused(0),
      m_bUpdate(0),
      m_bAnimate(0),
      m_bRunTimer(0),
      m_bRunning(0),
      m_pCurControl(nullptr),
      m_nMemWidth(0),
      m_nMemHeight(0),
      m_hMemBitmap(nullptr),
      m_hMemDC(nullptr),
      m_hOldMemBitmap(nullptr),
      m_nAnimateWidth(0),
      m_nAnimateHeight(0),
      m_hAnimateBitmap(nullptr),
      m_hAnimateDC(nullptr),
      m_hOldAnimateBitmap(nullptr),
      m_hCursor(nullptr),
      m_nAccelKey(0),
      m_nAccelModifiers(0),
      m_nTickRefs(0)
{}

MControl::~MControl()
{
    RemoveAllControl();
    FreeImages();
    if (PaintManager* manager = LiveManager(m_pManager)) manager->ForgetControl(this);
}

void MControl::FreeImages()
{
    if (m_hMemDC) {
        if (m_hOldMemBitmap) SelectObject(m_hMemDC, m_hOldMemBitmap);
        DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
    }
    if (m_hMemBitmap) {
        DeleteObject(m_hMemBitmap);
        m_hMemBitmap = nullptr;
    }
    m_hOldMemBitmap = nullptr;
    if (m_hAnimateDC) {
        if (m_hOldAnimateBitmap) SelectObject(m_hAnimateDC, m_hOldAnimateBitmap);
        DeleteDC(m_hAnimateDC);
        m_hAnimateDC = nullptr;
    }
    if (m_hAnimateBitmap) {
        DeleteObject(m_hAnimateBitmap);
        m_hAnimateBitmap = nullptr;
    }
    m_hOldAnimateBitmap = nullptr;
}

const wchar_t* MControl::GetClassNameW() const
{
    return L"MControl";
}

// ---- default virtual operations ----

void MControl::InitControl(PaintManager*) {}
int MControl::IsDragDrop()
{
    return m_bDragDrop;
}

int MControl::PtInRect(CPoint point)
{
    if (!m_bVisible) return 0;
    return m_rcControl.PtInRect(point) ? 1 : 0;
}

int MControl::DrawSubControls(HDC& dc, CRect clip)
{
    CAutoLock lock(m_childLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && child->m_bVisible) child->Draw(dc, clip);
    }
    return 1;
}

int MControl::IsDraw(CPoint)
{
    return 0;
}

void MControl::SetUpdate(int update, DWORD value)
{
    m_bUpdate = update;
    PaintManager* manager = m_pManager;
    if (manager && !manager->IsUIThread()) {
        // A control marking itself from its tick or from a worker: the UI
        // thread may be changing the children, so it marks them itself
        // before its next paint (a request without a rectangle).
        if (update == 0) manager->QueueRepaint(nullptr, CRect(), 1, this);
        return;
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && Overlaps(child->m_rcControl, m_rcControl)) child->SetUpdate(update, value);
    }
}

void MControl::SetUpdateEx(int update)
{
    m_bUpdate = update;
    for (size_t i = 0; i < m_areas.size(); ++i) {
        MControl* area = m_areas[i];
        if (area && Overlaps(area->m_rcControl, m_rcControl)) area->SetUpdate(update, 0);
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (child && Overlaps(child->m_rcControl, m_rcControl)) child->SetUpdate(update, 0);
    }
}

int MControl::SetControlFocus(int focus)
{
    if (focus == 0) {
        CAutoLock lock(m_childLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            if (m_controls[i]) m_controls[i]->SetControlFocus(0);
    }
    return 0;
}

void MControl::InitUI(CRect) {}
int MControl::OnMousePointChange(CPoint&)
{
    return 0;
}
int MControl::OnCheckMouseResponse(UINT, CPoint)
{
    return 1;
}
LONG MControl::OnWindowMessage(UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}
LONG MControl::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}
void MControl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
}
void MControl::SetControlVisible(int visible)
{
    m_bVisible = visible;
}
void MControl::SetControlWndVisible(int) {}
void MControl::SetControlEnabled(int enabled)
{
    m_bEnabled = enabled;
}
int MControl::OnControlTimer()
{
    return 0;
}
HBITMAP MControl::GetControlDropBitmap()
{
    return nullptr;
}
int MControl::OnControlMouseMove(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlSetCursor(UINT, CPoint point)
{
    if (m_hCursor && m_rcControl.PtInRect(point)) {
        ::SetCursor(m_hCursor);
        return 1;
    }
    return 0;
}

int MControl::OnControlLButtonDown(UINT, CPoint)
{
    return 0;
}
int MControl::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}
int MControl::OnControlLButtonDblClk(UINT, CPoint)
{
    return 0;
}
int MControl::OnControlScroll(int, UINT, CPoint)
{
    return 0;
}
int MControl::OnControlRButtonDown(UINT, CPoint)
{
    return 0;
}
int MControl::OnControlRButtonUp(UINT, CPoint)
{
    return 0;
}
int MControl::OnControlRButtonDblClk(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlKeyDown(UINT key, UINT, UINT flags)
{
    return (m_nAccelKey != 0 && m_nAccelKey == key && m_nAccelModifiers == flags) ? 1 : 0;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, int erase)
{
    PaintManager* manager = m_pManager;
    if (!manager) return;
    HWND wnd = manager->GetPaintWnd();
    if (!IsLiveWindow(wnd)) return;
    if (manager->IsLayered())
        ::InvalidateRect(wnd, nullptr, TRUE);
    else
        ::InvalidateRect(wnd, &m_rcControl, erase ? TRUE : FALSE);
}

// ---- notifications and repaint requests ----

LONG MControl::SendMessageW(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (!m_pParent) return 0;
    return m_pParent->OnBaseMessage(m_nID, code, wparam, lparam);
}

void MControl::UpdateControl(int erase, int force)
{
    if ((m_bVisible || force) && m_pParent) m_pParent->OnControlUpdate(m_rcControl, erase, this);
}

void MControl::UpdateControl(CRect rect, int force, int erase)
{
    if ((m_bVisible || force) && m_pParent) m_pParent->OnControlUpdate(rect, erase, this);
}

void MControl::UpdateAControl(int flag, int force)
{
    m_bAnimate = !flag;
    if ((m_bVisible || force) && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 0, this);
}

// ---- drawing ----

void MControl::Draw(HDC& dc, CRect clip)
{
    if (!m_bVisible || !Overlaps(m_rcControl, clip)) return;
    {
        CAutoLock lock(m_areaLock);
        for (size_t i = 0; i < m_areas.size(); ++i) {
            MControl* area = m_areas[i];
            if (area && Overlaps(area->m_rcControl, m_rcControl)) area->Draw(dc, clip);
        }
    }
    DrawControl(dc, clip);
    DrawSubControls(dc, clip);
}

void MControl::UpdateMemDC(HDC& dc, int cx, int cy)
{
    m_bUpdate = 1;
    if (m_hMemDC && cx == m_nMemWidth && cy == m_nMemHeight) return;
    m_nMemWidth = cx;
    m_nMemHeight = cy;
    if (m_hMemDC) {
        if (m_hOldMemBitmap) SelectObject(m_hMemDC, m_hOldMemBitmap);
        DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
    }
    if (m_hMemBitmap) {
        DeleteObject(m_hMemBitmap);
        m_hMemBitmap = nullptr;
    }
    m_hMemDC = CreateCompatibleDC(dc);
    m_hMemBitmap = CreateCompatibleBitmap(dc, cx, cy);
    m_hOldMemBitmap =
        (m_hMemDC && m_hMemBitmap) ? (HBITMAP)SelectObject(m_hMemDC, m_hMemBitmap) : nullptr;
}

void MControl::UpdateAnimateDC(HDC& dc, int cx, int cy)
{
    m_bAnimate = 1;
    m_nAnimateWidth = cx;
    m_nAnimateHeight = cy;
    if (m_hAnimateDC) {
        if (m_hOldAnimateBitmap) SelectObject(m_hAnimateDC, m_hOldAnimateBitmap);
        DeleteDC(m_hAnimateDC);
        m_hAnimateDC = nullptr;
    }
    if (m_hAnimateBitmap) {
        DeleteObject(m_hAnimateBitmap);
        m_hAnimateBitmap = nullptr;
    }
    m_hAnimateDC = CreateCompatibleDC(dc);
    m_hAnimateBitmap = CreateCompatibleBitmap(dc, cx, cy);
    m_hOldAnimateBitmap = (m_hAnimateDC && m_hAnimateBitmap)
                              ? (HBITMAP)SelectObject(m_hAnimateDC, m_hAnimateBitmap)
                              : nullptr;
}

// ---- tree ----

MControl* MControl::GetControl(UINT id)
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (!child) continue;
        if (child->m_nID == id) return child;
        if (MControl* found = child->GetControl(id)) return found;
    }
    for (size_t i = 0; i < m_areas.size(); ++i) {
        MControl* area = m_areas[i];
        if (!area) continue;
        if (area->m_nID == id) return area;
        if (MControl* found = area->GetControl(id)) return found;
    }
    return nullptr;
}

int MControl::RemoveControl(MControl* child)
{
    if (!child) return 0;
    if (m_pManager && m_pManager->GetFocusControl() == child) {
        child->SetControlFocus(0);
        m_pManager->m_pFocusControl = nullptr;
    }
    {
        CAutoLock lock(m_childLock);
        if (std::find(m_controls.begin(), m_controls.end(), child) == m_controls.end()) return 0;
    }
    // Off the tick list first, without holding the child lock (a tick may be
    // waiting for it while it holds the tick lock).
    DetachFromTicks(child);
    CAutoLock lock(m_childLock);
    auto it = std::find(m_controls.begin(), m_controls.end(), child);
    if (it == m_controls.end()) return 0;
    m_controls.erase(it);
    if (m_pCurControl == child) m_pCurControl = nullptr;
    delete child;
    return 0;
}

void MControl::RemoveAllControl()
{
    std::vector<MControl*> areas;
    std::vector<MControl*> children;
    {
        CAutoLock lock(m_areaLock);
        areas = m_areas;
    }
    {
        CAutoLock lock(m_childLock);
        children = m_controls;
    }
    for (MControl* area : areas)
        if (area) DetachFromTicks(area);
    for (MControl* child : children)
        if (child) DetachFromTicks(child);

    {
        CAutoLock lock(m_areaLock);
        std::vector<MControl*> doomed;
        doomed.swap(m_areas);
        for (MControl* area : doomed) delete area;
    }
    {
        CAutoLock lock(m_childLock);
        std::vector<MControl*> doomed;
        doomed.swap(m_controls);
        m_pCurControl = nullptr;
        for (MControl* child : doomed) delete child;
    }
}

int MControl::IsParentVisible()
{
    if (!m_pParent) return 0;
    const wchar_t* ownerClass = m_pParent->GetClassNameW();
    if (ownerClass && wcscmp(ownerClass, L"MDialog") == 0) return 1;
    // An owner that is not a control is a window of its own (a popup, a menu):
    // the chain of controls ends there.
    MControl* ownerControl = dynamic_cast<MControl*>(m_pParent);
    if (!ownerControl) return 1;
    return (ownerControl->m_bVisible && ownerControl->IsParentVisible()) ? 1 : 0;
}

bool MControl::IsShown() const
{
    for (const MControl* c = this; c; c = dynamic_cast<const MControl*>(c->m_pParent))
        if (!c->m_bVisible) return false;
    return true;
}

// ---- state ----

void MControl::SetRect(CRect rect)
{
    CRect both;
    both.UnionRect(&m_rcControl, &rect);
    SetControlRect(rect);
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(both, 1, this);
}

void MControl::SetRect(int x, int y, int width, int height)
{
    SetRect(CRect(x, y, x + width, y + height));
}

void MControl::SetVisible(int visible)
{
    SetVisible(visible, 1);
}

void MControl::SetVisible(int visible, int repaint)
{
    if (visible == m_bVisible) return;
    SetControlVisible(visible);
    if (repaint && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

void MControl::SetEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    SetControlEnabled(enabled);
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

void MControl::SetManager(PaintManager* manager)
{
    m_pManager = manager;
    InitControl(manager);
}

void MControl::SetAcceleratorKey(UINT key, UINT modifiers)
{
    m_nAccelKey = key;
    m_nAccelModifiers = modifiers;
}

// ---- focus ----

int MControl::IsFocusControl()
{
    return (m_pManager && m_pManager->GetFocusControl() == this) ? 1 : 0;
}
MControl* MControl::GetFocusControl(MControl*)
{
    return nullptr;
}
MControl* MControl::GetNextFocusableControl(MControl*)
{
    return nullptr;
}
MControl* MControl::GetPrevFocusableControl(MControl*)
{
    return nullptr;
}

// ---- tooltip and cursor ----

void MControl::SetTooltip(const wchar_t* text)
{
    m_strTooltip = text ? text : L"";
}

void MControl::SetTooltip(CString text, CRect rect)
{
    if (!m_pManager) return;
    m_pManager->SetTooltip(text, rect);
    m_pManager->SetTooltipCtrlID(static_cast<int>(m_nID));
    m_pManager->SetTooltipOwner(this);
}

void MControl::ClearTooltip()
{
    if (!m_pManager) return;
    m_pManager->ClearTooltip();
}

LONG MControl::SetCursorEx(const wchar_t* name)
{
    static const struct
    {
        const wchar_t* name;
        LPCWSTR id;
    } kCursors[] = {
        {L"arrow", IDC_ARROW},   {L"wait", IDC_WAIT},     {L"cross", IDC_CROSS},
        {L"sizewe", IDC_SIZEWE}, {L"sizens", IDC_SIZENS}, {L"hand", IDC_HAND},
        {L"help", IDC_HELP},
    };
    if (!name) return 0;
    for (const auto& entry : kCursors) {
        if (wcscmp(entry.name, name) == 0) {
            m_hCursor = ::LoadCursorW(nullptr, entry.id);
            break;
        }
    }
    return 0;
}

void MControl::AddMTimer()
{
    if (m_pManager) m_pManager->AddMTimer(this);
}

HBITMAP MControl::GetDropBitmap()
{
    if (m_pCurControl) return m_pCurControl->GetControlDropBitmap();
    return GetControlDropBitmap();
}

int MControl::PositionItem2Value(const FS_POSITION_ITEM& item, int low, int high)
{
    const int d = static_cast<int>(item.value);
    switch (item.type) {
        case 0: return item.fromEnd ? high - d : low + d;
        case 1: return low + (high - low) / 2 + (item.fromEnd ? -d : d);
        case 2: {
            const int value = low + static_cast<int>((high - low) * item.value / 100.0f);
            return value > high ? high : value;
        }
        default: return 0;
    }
}

}  // namespace WEXA
