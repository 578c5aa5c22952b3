// PaintManager: repaint requests, drawing of the control lists and background
// settings. The paint handler, off-screen renders and shadow settings live in
// PaintManagerRender.cpp.
#include "MControl.h"
#include "MPanel.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "framework/PaintManagerInternal.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

bool Overlaps(const RECT& a, const RECT& b)
{
    CRect tmp;
    return tmp.IntersectRect(&a, &b);
}

}  // namespace

CRect PaintManager::MarkCoveringControls(const CRect& rect, MControl* requester)
{
    // Everything filed after the requester and overlapping the request is
    // drawn on top of it and must be rendered again. One "passed" state runs
    // through the areas and then the controls. The requester is only compared,
    // never used, so a request for a control deleted meanwhile is harmless.
    CRect dirty = rect;
    bool passed = false;
    auto scan = [&](std::vector<MControl*>& list) {
        for (size_t i = 0; i < list.size(); ++i) {
            MControl* entry = list[i];
            if (!entry) continue;
            if (!passed) {
                if (entry == requester) passed = true;
                continue;
            }
            if (entry->m_bVisible && Overlaps(entry->m_rcControl, rect)) {
                dirty.UnionRect(&dirty, &entry->m_rcControl);
                entry->SetUpdate(0, m_crInner);
            }
        }
    };
    {
        CAutoLock lock(m_areasLock);
        scan(m_areas);
    }
    {
        CAutoLock lock(m_controlsLock);
        scan(m_controls);
    }
    return dirty;
}

LONG PaintManager::OnControlUpdate(CRect rect, int erase, MControl* control)
{
    if (!control) return 0;

    if (!IsUIThread()) {
        // Another thread (the multimedia tick, the worker) must not walk the
        // lists, nor the requester's children (SetUpdate): the UI thread may
        // be changing them, and it may hold locks while it waits for that
        // thread. The request is queued; the UI thread marks the requester
        // and the controls it covers and invalidates them when it picks the
        // queue up.
        if (QueueRepaint(nullptr, rect, erase, control)) RequestRepaintPickup();
        return 0;
    }

    if (erase) control->SetUpdate(0, m_crInner);
    CRect dirty = rect;
    if (m_bInit) dirty = MarkCoveringControls(rect, control);

    if (IsLiveWindow(m_hWndPaint)) {
        if (m_bLayered)
            ::InvalidateRect(m_hWndPaint, nullptr, TRUE);
        else
            ::InvalidateRect(m_hWndPaint, &dirty, FALSE);
    }
    return 0;
}

bool PaintManager::QueueRepaint(MPanel* panel, CRect rect, int erase, MControl* control)
{
    // Without a window there is nothing to paint, and nobody to complete it.
    if (!m_bInit || !control) return false;
    // The UI thread uses the requester only while it can tell that it still
    // exists: as a control of this engine (a destroyed one takes its requests
    // with it, ForgetControl) or, for a panel, as one of the panel's own. A
    // requester of another kind gets its flag cleared here, without the walk.
    if (erase && !panel && control->m_pManager != this) {
        control->m_bUpdate = 0;
        erase = 0;
    }
    CAutoLock lock(m_repaintsLock);
    for (RepaintRequest& queued : m_repaints) {
        if (queued.control != control || queued.panel != panel) continue;
        queued.rect.UnionRect(&queued.rect, &rect);
        queued.erase = queued.erase || erase;
        return true;
    }
    m_repaints.push_back(RepaintRequest{rect, control, panel, erase ? 1 : 0});
    return true;
}

void PaintManager::FlushRepaintRequests()
{
    std::vector<RepaintRequest> requests;
    {
        CAutoLock lock(m_repaintsLock);
        requests.swap(m_repaints);
    }
    if (!m_bInit) return;
    for (const RepaintRequest& request : requests) {
        if (!request.control) {
            // Its requester is gone (ForgetControl): the area alone.
            if (!request.rect.IsRectEmpty() && IsLiveWindow(m_hWndPaint))
                ::InvalidateRect(m_hWndPaint, m_bLayered ? nullptr : &request.rect, m_bLayered);
            continue;
        }
        if (request.panel) {
            request.panel->CompleteControlUpdate(request.rect, request.erase, request.control);
            continue;
        }
        if (request.erase) request.control->SetUpdate(0, m_crInner);
        const CRect dirty = MarkCoveringControls(request.rect, request.control);
        if (dirty.IsRectEmpty() || !IsLiveWindow(m_hWndPaint)) continue;
        if (m_bLayered)
            ::InvalidateRect(m_hWndPaint, nullptr, TRUE);
        else
            ::InvalidateRect(m_hWndPaint, &dirty, FALSE);
    }
}

UINT PaintManager::RepaintPickupMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"WexaRepaintPickup");
    return message;
}

void PaintManager::RequestRepaintPickup()
{
    if (m_bRepaintPickup.exchange(true)) return;  // one is on its way
    if (!IsLiveWindow(m_hWndPaint) || !::PostMessageW(m_hWndPaint, RepaintPickupMessage(), 0, 0))
        m_bRepaintPickup = false;
}

void PaintManager::OnRepaintTick()
{
    if (IsLiveWindow(m_hWndPaint)) ::KillTimer(m_hWndPaint, kRepaintTimer);
    // Cleared first: a request made from here on posts again.
    m_bRepaintPickup = false;
    ++m_uRepaintPickups;
    FlushRepaintRequests();
}

void PaintManager::DrawControl(HDC& dc, CRect clip)
{
    {
        CAutoLock lock(m_areasLock);
        for (size_t i = 0; i < m_areas.size(); ++i)
            if (m_areas[i]) m_areas[i]->Draw(dc, clip);
    }
    CAutoLock lock(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]) m_controls[i]->Draw(dc, clip);
}

void PaintManager::SetBackColor(COLORREF inner, COLORREF frame)
{
    m_crInner = inner;
    m_crFrame = frame;
}

void PaintManager::SetBackMode(enumBackMode mode, int corner)
{
    m_backMode = mode;
    m_nBackCorner = corner;
}

int PaintManager::LoadBKImage(CString skinFileName)
{
    ++m_uBackImageLoads;
    delete m_pBkImage;
    m_pBkImage = nullptr;
    m_nBkImageWidth = m_nBkImageHeight = 0;
    Gdiplus::Image* image = MRender::LoadImageFromFile(GetSkinsPath() + skinFileName);
    if (!image || image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return 0;
    }
    m_pBkImage = image;
    m_nBkImageWidth = static_cast<int>(image->GetWidth());
    m_nBkImageHeight = static_cast<int>(image->GetHeight());
    return 1;
}

int PaintManager::LoadBKImage(UINT resourceId, CString resourceType)
{
    ++m_uBackImageLoads;
    delete m_pBkImage;
    m_pBkImage = nullptr;
    m_nBkImageWidth = m_nBkImageHeight = 0;
    Gdiplus::Image* image =
        MRender::LoadImageFromIDResource(resourceId, resourceType, Manager::GetInstance());
    if (!image || image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return 0;
    }
    m_pBkImage = image;
    m_nBkImageWidth = static_cast<int>(image->GetWidth());
    m_nBkImageHeight = static_cast<int>(image->GetHeight());
    return 1;
}

}  // namespace WEXA
