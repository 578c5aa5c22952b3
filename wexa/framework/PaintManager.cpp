// PaintManager: lifetime, accessors, the control factory and the control lists.
#include "PaintManager.h"

#include <algorithm>
#include <set>

#include "MControl.h"
#include "MPanel.h"
#include "MWindow.h"
#include "framework/ControlFactory.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

// Every engine that exists, so that a control outliving its engine (one the
// caller created with a kind that files it nowhere) does not call into it.
struct LiveEngines
{
    CCriticalLock lock;
    std::set<const PaintManager*> engines;
};

LiveEngines& Engines()
{
    static LiveEngines live;
    return live;
}

// The class names the engine's factory creates, in the order they are compared.
const FactoryEntry kEngineFactory[] = {
    {L"CArea", FactoryArgs::VisibleOne},
    {L"MText", FactoryArgs::TitleVisible},
    {L"MPicture", FactoryArgs::VisibleEnabled},
    {L"CPhotoFrame", FactoryArgs::VisibleEnabled},
    {L"CSliderPicture", FactoryArgs::VisibleEnabled},
    {L"CGifPicture", FactoryArgs::VisibleEnabled},
    {L"MProgress", FactoryArgs::VisibleEnabled},
    {L"MSlider", FactoryArgs::VisibleEnabled},
    {L"MLevelCtrl", FactoryArgs::VisibleEnabled},
    {L"MButton", FactoryArgs::TitleVisibleEnabled},
    {L"CImageButton", FactoryArgs::TitleVisibleEnabled},
    {L"CTextButton", FactoryArgs::TitleVisibleEnabled},
    {L"CCheckButton", FactoryArgs::TitleVisibleEnabled},
    {L"CRadioButton", FactoryArgs::TitleVisibleEnabled},
    {L"CSelectButton", FactoryArgs::TitleVisibleEnabled},
    {L"CColorButton", FactoryArgs::VisibleEnabled},
    {L"MSpinButton", FactoryArgs::VisibleEnabled},
    {L"CSpinButton", FactoryArgs::VisibleEnabled},
    {L"CSwitchButton", FactoryArgs::VisibleEnabled},
    {L"CIconButton", FactoryArgs::TitleVisibleEnabled},
    {L"CTimerButton", FactoryArgs::TitleVisibleEnabled},
    {L"CHelpButton", FactoryArgs::TitleVisibleEnabled},
    {L"MEdit", FactoryArgs::TitleVisibleEnabled},
    {L"MRichEdit", FactoryArgs::TitleVisibleEnabled},
    {L"MEditEx", FactoryArgs::TitleVisibleEnabled},
    {L"MComboBox", FactoryArgs::VisibleEnabled},
    {L"MTabCtrl", FactoryArgs::VisibleEnabled},
    {L"MTabLayout", FactoryArgs::Visible},
    {L"MListBox", FactoryArgs::Visible},
    {L"MacroList", FactoryArgs::Visible},
    {L"MPalette", FactoryArgs::Visible},
    {L"CColorPalette", FactoryArgs::Visible},
    {L"CColorSelect", FactoryArgs::Visible},
    {L"CirclePalette", FactoryArgs::VisibleOne},
    {L"CComboBoxList", FactoryArgs::VisibleOne},
    {L"MenuItem", FactoryArgs::TitleVisibleOne},
    {L"KeyboardCtrl", FactoryArgs::Visible},
    {L"NimbrelEffect", FactoryArgs::Visible},
    {L"CDeviceCtrl", FactoryArgs::VisibleOne},
    {L"TextCheckButton", FactoryArgs::TitleVisibleOne},
    {L"CTextArea", FactoryArgs::TitleVisibleOne},
    {L"BatteryCtrl", FactoryArgs::VisibleOne},
    {L"KeyFuncType", FactoryArgs::VisibleOne},
    {L"KeyMenuFuncType", FactoryArgs::VisibleOne},
    {L"KeyFuncCtrl", FactoryArgs::Visible},
    {L"KeyFuncValue", FactoryArgs::VisibleOne},
    {L"CRoundArea", FactoryArgs::VisibleOne},
    {L"ProfileList", FactoryArgs::VisibleOne},
    {L"KeyLayerCtrl", FactoryArgs::VisibleOne},
    {L"CKeyTestCtrl", FactoryArgs::VisibleOne},
    {L"MatrixScreen", FactoryArgs::Visible},
};

void CollectTree(MControl* control, std::vector<MControl*>& out)
{
    out.push_back(control);
    std::vector<MControl*> areas;
    std::vector<MControl*> children;
    {
        CAutoLock lock(control->m_areaLock);
        areas = control->m_areas;
    }
    {
        CAutoLock lock(control->m_childLock);
        children = control->m_controls;
    }
    for (MControl* area : areas)
        if (area) CollectTree(area, out);
    for (MControl* child : children)
        if (child) CollectTree(child, out);
}

}  // namespace

PaintManager::PaintManager()
    : CIDropTarget(nullptr),
      m_pDialog(nullptr),
      m_bInit(0),
      m_hWndPaint(nullptr),
      m_hDcPaint(nullptr),
      m_crInner(0xFCFCFC),
      m_crFrame(0xFCFCFC),
      m_nMaxWidth(0),
      m_nMaxHeight(0),
      m_nMinWidth(0),
      m_nMinHeight(0),
      m_nLastDragX(0),
      m_nLastDragY(0),
      m_bDragPending(0),
      m_hDragBitmap(nullptr),
      m_bLayered(0),
      m_pBkImage(nullptr),
      m_nBkImageWidth(0),
      m_nBkImageHeight(0),
      m_overlayLevel(MSG_LEVEL_INFO),
      m_nOverlayAlpha(0),
      m_nShownProgress(0),
      m_nTargetProgress(0),
      m_strOverlayFont(L"Roboto-Medium"),
      m_uMTimerID(0),
      m_uTimerCounter(4096),
      m_dwLastTick(0),
      m_bTracking(0),
      m_bPressed(0),
      m_bCaptured(0),
      m_bWndDrag(1),
      m_nLastMoveX(-1),
      m_nLastMoveY(-1),
      m_uScrollVID(0),
      m_uScrollHID(0),
      m_crDefaultEnabled(0x808080),
      m_pHoverControl(nullptr),
      m_pFocusControl(nullptr),
      m_nTooltipCtrlID(0),
      m_pTooltipOwner(nullptr),
      m_hWndTooltip(nullptr),
      m_pAirBladder(nullptr),
      m_nAirBladderKey(0),
      m_backMode(BACK_MODE_NORMAL),
      m_nBackCorner(4),
      m_bCaretDrawn(0),
      m_bCaretShown(0),
      m_pCaretOwner(nullptr),
      m_pTickClock(nullptr),
      m_pTickCurrent(nullptr),
      m_dwTickThread(0),
      m_dwUIThread(0),
      m_hSurfaceDC(nullptr),
      m_hSurface(nullptr),
      m_hSurfaceOld(nullptr),
      m_pSurfaceBits(nullptr),
      m_nSurfaceWidth(0),
      m_nSurfaceHeight(0),
      m_hBackground(nullptr),
      m_pBackgroundBits(nullptr),
      m_backgroundInputs(),
      m_bBackgroundValid(false),
      m_uBackImageLoads(0)
{
    ::InitializeConditionVariable(&m_tickDone);
    LiveEngines& live = Engines();
    CAutoLock lock(live.lock);
    live.engines.insert(this);
}

PaintManager::~PaintManager()
{
    // No tick may run once the derived part is gone.
    KillMTimer();
    DestroyTooltipAndBalloon();
    if (m_hDragBitmap) {
        DeleteObject(m_hDragBitmap);
        m_hDragBitmap = nullptr;
    }
    DestroyData();
    FreeSurface();
    // Controls created before Init (the engine never bound a window) are still ours.
    ClearTimers();
    ClearAllControls();
    ClearImgResInfo();
    ClearTempFont();
    delete m_pBkImage;
    m_pBkImage = nullptr;
    LiveEngines& live = Engines();
    CAutoLock lock(live.lock);
    live.engines.erase(this);
}

bool PaintManager::IsUIThread() const
{
    const DWORD uiThread = m_dwUIThread.load();
    return uiThread == 0 || uiThread == ::GetCurrentThreadId();
}

bool PaintManager::IsLiveManager(const PaintManager* manager)
{
    if (!manager) return false;
    LiveEngines& live = Engines();
    CAutoLock lock(live.lock);
    return live.engines.count(manager) != 0;
}

// ---- lifetime ----

void PaintManager::Init(HWND window, MWindow* dialog)
{
    if (!IsLiveWindow(window)) return;
    if (window != m_hWndPaint) {
        if (m_hDcPaint && IsLiveWindow(m_hWndPaint)) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
        m_hWndPaint = window;
        m_hDcPaint = ::GetDC(window);
    }
    m_dwUIThread = ::GetWindowThreadProcessId(window, nullptr);
    m_pDialog = dialog;
    InitDragDrop();
    SetTargetWnd(window);
    LoadPrivateFonts();
    m_bInit = 1;
    m_uScrollVID = 102;
    m_uScrollHID = 101;
}

void PaintManager::DestroyData()
{
    if (!m_bInit) return;
    // OLE gives back its references to the drop target.
    if (m_hWndPaint) ::RevokeDragDrop(m_hWndPaint);
    delete m_pBkImage;
    m_pBkImage = nullptr;
    m_nBkImageWidth = m_nBkImageHeight = 0;
    if (m_hDcPaint) {
        ::ReleaseDC(m_hWndPaint, m_hDcPaint);
        m_hDcPaint = nullptr;
    }
    FreeSurface();
    KillMTimer();
    ClearTimers();
    ClearAreaControls();
    ClearControls();
    ClearImgResInfo();
    ClearTempFont();
    // The locks are members: they live until the engine is destroyed, so that
    // a late caller on another thread never takes a deleted lock.
    m_bInit = 0;
    {
        CAutoLock lock(m_repaintsLock);
        m_repaints.clear();
    }
    m_bRepaintPickup = false;
}

void PaintManager::OnDestroyMessage(HWND window)
{
    if (window && window == m_hWndPaint) DestroyData();
}

void PaintManager::PostNcDestroy()
{
    DestroyData();
}

void PaintManager::DropPointerState(MControl* control)
{
    if (m_pHoverControl == control) {
        m_pHoverControl = nullptr;
        m_bPressed = 0;
        m_bDragPending = 0;
    }
    if (m_pFocusControl == control) m_pFocusControl = nullptr;
    if (m_pTooltipOwner == control) ClearTooltip();
    if (m_pCaretOwner &&
        static_cast<const void*>(m_pCaretOwner) == static_cast<const void*>(control)) {
        ShowCaret(0);
        m_pCaretOwner = nullptr;
    }
}

void PaintManager::ForgetControl(MControl* control)
{
    if (!control) return;
    DropPointerState(control);
    KillTimer(control);
    {
        // Its requests keep only their window area: what it asked to have
        // drawn again is still repainted, without the control.
        CAutoLock lock(m_repaintsLock);
        for (RepaintRequest& r : m_repaints) {
            if (r.control != control && static_cast<MControl*>(r.panel) != control) continue;
            r.control = nullptr;
            r.panel = nullptr;
            r.erase = 0;
        }
    }
    CAutoLock lock(m_ticksLock);
    if (control->m_nTickRefs.load() > 0) {
        m_tickReceivers.erase(std::remove(m_tickReceivers.begin(), m_tickReceivers.end(), control),
                              m_tickReceivers.end());
        control->m_nTickRefs = 0;
    }
    // Owners detach their controls before deleting them; this covers a
    // control its creator deletes directly.
    AwaitTickOutside(std::vector<MControl*>{control});
}

void PaintManager::DetachControlTree(MControl* control)
{
    if (!control) return;
    std::vector<MControl*> tree;
    CollectTree(control, tree);
    CAutoLock lock(m_ticksLock);
    for (MControl* c : tree) {
        if (c->m_nTickRefs.load() == 0) continue;
        m_tickReceivers.erase(std::remove(m_tickReceivers.begin(), m_tickReceivers.end(), c),
                              m_tickReceivers.end());
        c->m_nTickRefs = 0;
    }
    // A tick that began before may be running on one of them (also on one
    // that left the list through DeleteFSTimer inside its own tick).
    AwaitTickOutside(tree);
}

// ---- accessors and window wrappers ----

BOOL PaintManager::GetClientRect(CRect& rect)
{
    if (!IsLiveWindow(m_hWndPaint)) return FALSE;
    return ::GetClientRect(m_hWndPaint, &rect);
}

BOOL PaintManager::GetWindowRect(CRect& rect)
{
    if (!IsLiveWindow(m_hWndPaint)) return FALSE;
    return ::GetWindowRect(m_hWndPaint, &rect);
}

BOOL PaintManager::GetClientSize(int& cx, int& cy)
{
    CRect rect;
    if (!GetClientRect(rect)) return FALSE;
    cx = rect.Width();
    cy = rect.Height();
    return TRUE;
}

void PaintManager::SetWindowMaxSize(int cx, int cy)
{
    m_nMaxWidth = cx;
    m_nMaxHeight = cy;
}

void PaintManager::SetWindowMixSize(int cx, int cy)
{
    m_nMinWidth = cx;
    m_nMinHeight = cy;
}

void PaintManager::GetWindowMinSize(int& cx, int& cy) const
{
    cx = m_nMinWidth;
    cy = m_nMinHeight;
}

void PaintManager::GetWindowManSize(int& cx, int& cy) const
{
    cx = m_nMinWidth;
    cy = m_nMinHeight;
}

void PaintManager::SetCapture()
{
    if (!IsLiveWindow(m_hWndPaint)) return;
    ::SetCapture(m_hWndPaint);
    m_bCaptured = 1;
}

void PaintManager::ReleaseCapture()
{
    if (m_bCaptured) ::ReleaseCapture();
    m_bCaptured = 0;
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (!IsLiveWindow(m_hWndPaint)) return 0;
    return ::SendMessageW(m_hWndPaint, msg, wparam, lparam);
}

LRESULT PaintManager::PostMessageW(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (!IsLiveWindow(m_hWndPaint)) return 0;
    // On the window's own thread the message is handled at once and its answer
    // returned. From any other thread (the worker, the multimedia timer) it is
    // queued: a synchronous send would wait for the UI thread, which may itself
    // be waiting for that thread (a synchronous timer kill, a thread join).
    if (::GetWindowThreadProcessId(m_hWndPaint, nullptr) != ::GetCurrentThreadId())
        return ::PostMessageW(m_hWndPaint, msg, wparam, lparam);
    return ::SendMessageW(m_hWndPaint, msg, wparam, lparam);
}

void PaintManager::SetFocusControl(MControl* control)
{
    if (control == m_pFocusControl) return;
    if (m_pFocusControl) m_pFocusControl->SetControlFocus(0);
    if (control) control->SetControlFocus(1);
    m_pFocusControl = control;
}

void PaintManager::Invalidate()
{
    if (IsLiveWindow(m_hWndPaint)) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rect, int erase)
{
    if (!IsLiveWindow(m_hWndPaint)) return;
    if (m_bLayered)
        ::InvalidateRect(m_hWndPaint, nullptr, TRUE);
    else
        ::InvalidateRect(m_hWndPaint, &rect, erase ? TRUE : FALSE);
}

void PaintManager::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_uScrollVID = vertical;
    m_uScrollHID = horizontal;
}

// ---- control factory and lists ----

MControl* PaintManager::CreateControl(UINT kind, MObject* owner, const wchar_t* className, UINT id,
                                      CRect rect, const wchar_t* title, int visible, int enabled)
{
    MControl* control =
        ConstructFromTable(kEngineFactory, owner, className, id, rect, title, visible, enabled);
    if (!control) return nullptr;
    // Attached before it is filed, outside the list locks: InitControl may
    // create children, load images and register for ticks.
    control->SetManager(this);
    FileControl(kind, control);
    return control;
}

void PaintManager::FileControl(UINT kind, MControl* control)
{
    if (kind == 0) {
        CAutoLock lock(m_areasLock);
        m_areas.push_back(control);
    } else if (kind == 1) {
        CAutoLock lock(m_controlsLock);
        m_controls.push_back(control);
    }
}

MControl* PaintManager::CreateArea(MObject* owner, const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int visible, int enabled)
{
    return CreateControl(0, owner, className, id, rect, title, visible, enabled);
}

MControl* PaintManager::CreateControl(MObject* owner, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int visible, int enabled)
{
    return CreateControl(1, owner, className, id, rect, title, visible, enabled);
}

MControl* PaintManager::GetControl(UINT id)
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* control = m_controls[i];
        if (!control) continue;
        if (control->m_nID == id) return control;
        if (MControl* found = control->GetControl(id)) return found;
    }
    for (size_t i = 0; i < m_areas.size(); ++i) {
        MControl* area = m_areas[i];
        if (!area) continue;
        if (area->m_nID == id) return area;
        if (MControl* found = area->GetControl(id)) return found;
    }
    return nullptr;
}

void PaintManager::RemoveControl(MControl* control)
{
    if (!control) return;
    {
        CAutoLock lock(m_controlsLock);
        if (std::find(m_controls.begin(), m_controls.end(), control) == m_controls.end()) return;
    }
    DetachControlTree(control);
    CAutoLock lock(m_controlsLock);
    auto it = std::find(m_controls.begin(), m_controls.end(), control);
    if (it == m_controls.end()) return;
    m_controls.erase(it);
    delete control;
}

void PaintManager::DeleteControlList(std::vector<MControl*>& list, CCriticalLock& lock)
{
    std::vector<MControl*> snapshot;
    {
        CAutoLock hold(lock);
        snapshot = list;
    }
    for (MControl* control : snapshot)
        if (control) DetachControlTree(control);
    CAutoLock hold(lock);
    std::vector<MControl*> doomed;
    doomed.swap(list);
    for (MControl* control : doomed) delete control;
}

void PaintManager::ClearAreaControls()
{
    DeleteControlList(m_areas, m_areasLock);
}

void PaintManager::ClearControls()
{
    DeleteControlList(m_controls, m_controlsLock);
}

void PaintManager::ClearAllControls()
{
    ClearAreaControls();
    ClearControls();
}

void PaintManager::RefreshControls()
{
    {
        CAutoLock lock(m_areasLock);
        for (size_t i = 0; i < m_areas.size(); ++i)
            if (m_areas[i]) m_areas[i]->SetUpdate(0, 0);
    }
    CAutoLock lock(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]) m_controls[i]->SetUpdateEx(0);
}

}  // namespace WEXA
