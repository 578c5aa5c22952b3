// PaintManager: repaint requests, drawing of the control lists and background
// settings. The paint handler, off-screen renders and shadow settings live in
// PaintManagerRender.cpp.
#include "MControl.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

namespace WEXA {

namespace {

bool IsLiveWindow(HWND wnd) { return wnd && ::IsWindow(wnd); }

bool Overlaps(const RECT& a, const RECT& b)
{
    CRect tmp;
    return tmp.IntersectRect(&a, &b);
}

}  // namespace

LONG PaintManager::OnControlUpdate(CRect rect, int erase, MControl* control)
{
    if (!control) return 0;
    CRect dirty = rect;
    if (erase) control->SetUpdate(0, m_crInner);

    if (m_bInit) {
        // Everything filed after the requester and overlapping the request is
        // drawn on top of it and must be rendered again. One "passed" state
        // runs through the areas and then the controls.
        bool passed = false;
        auto scan = [&](std::vector<MControl*>& list) {
            for (size_t i = 0; i < list.size(); ++i) {
                MControl* entry = list[i];
                if (!entry) continue;
                if (!passed) {
                    if (entry == control) passed = true;
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
    }

    if (IsLiveWindow(m_hWndPaint)) {
        if (m_bLayered)
            ::InvalidateRect(m_hWndPaint, nullptr, TRUE);
        else
            ::InvalidateRect(m_hWndPaint, &dirty, FALSE);
    }
    return 0;
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
    delete m_pBkImage;
    m_pBkImage = nullptr;
    m_nBkImageWidth = m_nBkImageHeight = 0;
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(resourceId, resourceType, Manager::GetInstance());
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
