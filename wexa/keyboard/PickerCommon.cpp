#include "keyboard/PickerCommon.h"

#include "MRender.h"
#include "MScroll.h"
#include "Manager.h"

namespace WEXA {
namespace picker {

Gdiplus::Image* LoadSkinImage(const CString& name, bool mustExist, int& width, int& height)
{
    width = height = 0;
    if (name.IsEmpty()) return nullptr;
    const CString path = GetSkinsPath() + name;
    if (mustExist && ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return nullptr;
    Gdiplus::Image* image = MRender::LoadImageFromFile(path);
    if (!image) return nullptr;
    if (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0 ||
        image->GetHeight() == 0) {
        delete image;
        return nullptr;
    }
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    return image;
}

void Repaint(MControl* control)
{
    if (control && control->m_bVisible && control->m_pParent)
        control->m_pParent->OnControlUpdate(control->m_rcControl, 1, control);
}

void DrawFrame(Gdiplus::Graphics& g, Gdiplus::Image* strip, int frameWidth, int frameHeight,
               int frame, const Gdiplus::Rect& target)
{
    if (!strip || frameWidth <= 0 || frameHeight <= 0) return;
    g.DrawImage(strip, target, frame * frameWidth, 0, frameWidth, frameHeight, Gdiplus::UnitPixel);
}

void PlaceBars(MPanel* panel, CRect rect, int thickness, bool horizontalToo)
{
    CAutoLock lock(panel->m_childLock);
    for (size_t i = 0; i < panel->m_controls.size(); ++i) {
        MControl* child = panel->m_controls[i];
        if (!child) continue;
        CRect place;
        if (child == panel->m_pScrollVertical)
            place = CRect(rect.right - thickness, rect.top, rect.right, rect.bottom);
        else if (horizontalToo && child == panel->m_pScrollHorizontal)
            place = CRect(rect.left, rect.bottom - thickness, rect.right, rect.bottom);
        else
            continue;
        CRect both;
        both.UnionRect(&child->m_rcControl, &place);
        child->SetControlRect(place);
        if (child->m_bVisible) panel->OnControlUpdate(both, 1, child);
    }
}

void UpdateVerticalBar(MPanel* panel, int contentHeight)
{
    CScrollVertical* bar = panel->m_pScrollVertical;
    if (!bar) return;
    const int show = panel->m_rcControl.Height() < contentHeight ? 1 : 0;
    if (bar->m_bVisible != show) {
        bar->SetControlVisible(show);
        panel->OnControlUpdate(bar->m_rcControl, 1, bar);
    }
    bar->SetScrollMaxRange(contentHeight);
}

int ScrollOffset(MPanel* panel, int contentHeight)
{
    CScrollVertical* bar = panel->m_pScrollVertical;
    if (!bar) return 0;
    const int range = bar->GetScrollMaxRange();
    const int hidden = contentHeight - panel->m_rcControl.Height();
    if (range <= 0 || hidden <= 0) return 0;
    return static_cast<int>(static_cast<long long>(bar->GetScrollCurrentPos()) * hidden / range);
}

bool WheelBar(MPanel* panel, bool forward)
{
    CScrollVertical* bar = panel->m_pScrollVertical;
    if (!bar) return false;
    return bar->ScrollRow(forward ? 10 : -10) != 0;
}

void CopyBackground(HDC memDC, HDC target, const CRect& control, int width, int height)
{
    if (width <= 0 || height <= 0) return;
    MRender::FillSolidRect(memDC, 0, 0, width, height, RGB(255, 255, 255));
    HDC dst = memDC;
    HDC src = target;
    MRender::DrawVerticalTransition(
        dst, src, CRect(0, 0, width, height),
        CRect(control.left, control.top, control.left + width, control.top + height), 0, 0);
}

}  // namespace picker
}  // namespace WEXA
