// MScroll, CScrollVertical, CScrollHorizontal: the scroll model, the thumb
// along each axis, its drawing and the pointer handling.
#include "MScroll.h"

#include <algorithm>

#include "Manager.h"
#include "PaintManager.h"

namespace WEXA {

namespace {

COLORREF ToColorRef(const Gdiplus::Color& color)
{
    return RGB(color.GetR(), color.GetG(), color.GetB());
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

}  // namespace

// ---------------------------------------------------------------------------
// MScroll
// ---------------------------------------------------------------------------

MScroll::MScroll(MObject* owner, unsigned id, CRect rect, int visible)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_nThumbState(0),
      m_bOver(0),
      m_bScrollable(0),
      m_nEndSize(0),
      m_nRangeMax(1000),
      m_nPosition(0),
      m_nPage(0),
      m_nRowStep(10),
      m_bAutoPage(0),
      m_bChanging(0)
{}

MScroll::~MScroll() = default;

const wchar_t* MScroll::GetClassNameW() const
{
    return L"MScroll";
}

void MScroll::DrawControl(HDC&, CRect) {}

LONG MScroll::OnMessage(UINT id, UINT, UINT_PTR, LONG_PTR lparam)
{
    if (lparam != STEP_CLICK) return 0;
    if (id == STEP_BACK_ID || id == STEP_BACK_ALT_ID)
        MoveRange(-m_nRowStep);
    else if (id == STEP_FORWARD_ID || id == STEP_FORWARD_ALT_ID)
        MoveRange(m_nRowStep);
    return 0;
}

void MScroll::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    SetRange();

    CAutoLock lock(m_childLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i];
        if (!child) continue;
        if (child->m_bVisible != m_bScrollable) {
            child->SetControlVisible(m_bScrollable);
            if (m_pParent) m_pParent->OnControlUpdate(child->m_rcControl, 1, child);
        }
        CRect place;
        switch (child->m_nID) {
            case END_TOP_ID:
                place = CRect(rect.left, rect.top, rect.right, rect.top + m_nEndSize);
                break;
            case END_BOTTOM_ID:
                place = CRect(rect.left, rect.bottom - m_nEndSize, rect.right, rect.bottom);
                break;
            case END_LEFT_ID:
                place = CRect(rect.left, rect.top, rect.left + m_nEndSize, rect.bottom);
                break;
            case END_RIGHT_ID:
                place = CRect(rect.right - m_nEndSize, rect.top, rect.right, rect.bottom);
                break;
            default: continue;
        }
        CRect both;
        both.UnionRect(&child->m_rcControl, &place);
        child->SetControlRect(place);
        if (child->m_bVisible && m_pParent) m_pParent->OnControlUpdate(both, 1, child);
    }
}

int MScroll::MoveRange(int)
{
    return 0;
}
int MScroll::SetRange()
{
    return 0;
}
int MScroll::SetRangeEx()
{
    return 0;
}

int MScroll::SetScrollMaxRange(int max)
{
    m_nRangeMax = max;
    if (m_bAutoPage) m_nPage = 0;
    SetRange();
    return 1;
}

int MScroll::SetScrollCurrentPos(int pos)
{
    m_nPosition = pos;
    SetRange();
    return 1;
}

int MScroll::SetScrollCurrentPosEx(int pos)
{
    m_nPosition = pos;
    SetRangeEx();
    return 1;
}

int MScroll::SetScrollBeginPos()
{
    m_nPosition = 0;
    SetRange();
    return 1;
}

int MScroll::SetScrollFinalPos()
{
    ScrollAxis axis = MakeAxis(!IsClass(L"CScrollHorizontal"));
    axis.ComputePage();
    int pos = 0;
    if (!axis.FinalPosition(&pos)) return 0;
    m_nPosition = pos;
    return 1;
}

int MScroll::SetScrollSize(int page, int step)
{
    if (page != 0) {
        m_nPage = page;
        m_bAutoPage = 0;
    }
    if (step != 0) m_nRowStep = step;
    SetRange();
    return 1;
}

int MScroll::SetScrollInfo(int max, int pos, int page, int step)
{
    m_nRangeMax = max;
    m_nPosition = pos;
    return SetScrollSize(page, step);
}

int MScroll::ScrollRow(int rows)
{
    const int old = m_nPosition;
    long long pos = static_cast<long long>(m_nPosition) + static_cast<long long>(rows) * m_nRowStep;
    if (pos > m_nRangeMax) pos = m_nRangeMax;
    if (pos < 0) pos = 0;
    m_nPosition = static_cast<int>(pos);
    SetRange();
    return m_nPosition != old ? 1 : 0;
}

ScrollAxis MScroll::MakeAxis(bool vertical) const
{
    ScrollAxis axis;
    axis.start = vertical ? m_rcControl.top : m_rcControl.left;
    axis.end = vertical ? m_rcControl.bottom : m_rcControl.right;
    axis.endSize = m_nEndSize;
    axis.rangeMax = m_nRangeMax;
    axis.position = m_nPosition;
    axis.page = m_nPage;
    axis.autoPage = m_bAutoPage;
    axis.thumbStart = vertical ? m_rcThumb.top : m_rcThumb.left;
    axis.thumbLength = vertical ? m_rcThumb.Height() : m_rcThumb.Width();
    axis.scrollable = m_bScrollable;
    return axis;
}

int MScroll::LayoutThumb(bool vertical, bool pullBack, bool contentPixels)
{
    ScrollAxis axis = MakeAxis(vertical);
    axis.Layout(pullBack, contentPixels);
    m_nPage = axis.page;
    m_bAutoPage = axis.autoPage;
    m_nPosition = axis.position;
    CRect thumb = vertical ? CRect(m_rcControl.left, axis.thumbStart, m_rcControl.right,
                                   axis.thumbStart + axis.thumbLength)
                           : CRect(axis.thumbStart, m_rcControl.top,
                                   axis.thumbStart + axis.thumbLength, m_rcControl.bottom);
    // A new look once the thumb moved or the bar became (in)active.
    if (thumb != m_rcThumb || axis.scrollable != m_bScrollable) m_bUpdate = 0;
    m_rcThumb = thumb;
    m_bScrollable = axis.scrollable;
    return m_nPosition;
}

int MScroll::MoveThumb(bool vertical, int delta)
{
    if (delta == 0 || !m_bScrollable) return 0;
    ScrollAxis axis = MakeAxis(vertical);
    axis.ComputePage();
    const int applied = axis.MoveThumb(delta);
    if (applied == 0) return 0;
    if (vertical)
        m_rcThumb.OffsetRect(0, applied);
    else
        m_rcThumb.OffsetRect(applied, 0);
    m_nPosition = axis.position;
    m_bUpdate = 0;

    m_bChanging = 1;
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
    if (m_pParent) m_pParent->OnBaseMessage(m_nID, 8, static_cast<UINT>(m_nPosition), 0);
    m_bChanging = 0;
    return applied;
}

int MScroll::TrackMouseMove(bool vertical, int& anchor, CPoint point)
{
    if (!m_bScrollable || !m_bEnabled) return 0;
    const int along = vertical ? point.y : point.x;
    if (m_nThumbState == 2) {
        anchor += MoveRange(along - anchor);
        return 1;
    }
    if (m_bPressed) return 0;
    const int over = m_rcControl.PtInRect(point) ? 1 : 0;
    const int state = m_rcThumb.PtInRect(point) ? 1 : 0;
    if (over == m_bOver && state == m_nThumbState && m_bUpdate) return 0;
    m_bOver = over;
    m_nThumbState = state;
    SetUpdate(0, 0);
    UpdateControl(0, 0);
    return 1;
}

int MScroll::TrackButtonDown(bool vertical, int& anchor, CPoint point)
{
    if (!m_bScrollable || !m_bEnabled) return 0;
    const int along = vertical ? point.y : point.x;
    if (!m_rcThumb.PtInRect(point)) {
        // A click on the track beside the thumb moves it by one page.
        ScrollAxis axis = MakeAxis(vertical);
        axis.ComputePage();
        int jump = axis.PageJump();
        if (along < axis.thumbStart) jump = -jump;
        return MoveRange(jump);
    }
    const int old = m_nThumbState;
    m_nThumbState = 2;
    anchor = along;
    if (old == m_nThumbState) return 0;
    UpdateControl(0, 0);
    return 1;
}

int MScroll::TrackButtonUp(int& anchor, CPoint point)
{
    if (!m_bScrollable || !m_bEnabled) return 0;
    anchor = -1;
    const int old = m_nThumbState;
    m_nThumbState = m_rcThumb.PtInRect(point) ? 1 : 0;
    if (old == m_nThumbState) return 0;
    UpdateControl(0, 0);
    return 1;
}

void MScroll::DrawBar(HDC& dc)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, w, h);
        if (!m_hMemDC) return;
        // Drawn over whatever lies beneath the bar.
        ::BitBlt(m_hMemDC, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        if (m_bScrollable) {
            RECT bar = {0, 0, w, h};
            FillSolid(m_hMemDC, bar, ToColorRef(Manager::GetNormalColor()));
            CRect thumb = m_rcThumb;
            thumb.OffsetRect(-m_rcControl.left, -m_rcControl.top);
            FillSolid(m_hMemDC, thumb, ToColorRef(Manager::GetDownColor()));
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
}

void MScroll::DrawImageSlices(HDC& dc, CRect rect, bool vertical, int srcOffset, int sliceWidth,
                              int sliceHeight)
{
    if (!m_pImage || rect.IsRectEmpty() || sliceWidth <= 0 || sliceHeight <= 0) return;
    Gdiplus::Graphics g(dc);
    const int edge = 6;
    if (vertical) {
        const int sx = srcOffset;
        const int middleSrc = std::max(sliceHeight - 2 * edge, 0);
        const int middleDst = std::max(rect.Height() - 2 * edge, 0);
        g.DrawImage(m_pImage, Gdiplus::Rect(rect.left, rect.top, rect.Width(), edge), sx, 0,
                    sliceWidth, edge, Gdiplus::UnitPixel);
        g.DrawImage(m_pImage, Gdiplus::Rect(rect.left, rect.top + edge, rect.Width(), middleDst),
                    sx, edge, sliceWidth, middleSrc, Gdiplus::UnitPixel);
        g.DrawImage(m_pImage, Gdiplus::Rect(rect.left, rect.bottom - edge, rect.Width(), edge), sx,
                    sliceHeight - edge, sliceWidth, edge, Gdiplus::UnitPixel);
    } else {
        const int sy = srcOffset;
        const int middleSrc = std::max(sliceWidth - 2 * edge, 0);
        const int middleDst = std::max(rect.Width() - 2 * edge, 0);
        g.DrawImage(m_pImage, Gdiplus::Rect(rect.left, rect.top, edge, rect.Height()), 0, sy, edge,
                    sliceHeight, Gdiplus::UnitPixel);
        g.DrawImage(m_pImage, Gdiplus::Rect(rect.left + edge, rect.top, middleDst, rect.Height()),
                    edge, sy, middleSrc, sliceHeight, Gdiplus::UnitPixel);
        g.DrawImage(m_pImage, Gdiplus::Rect(rect.right - edge, rect.top, edge, rect.Height()),
                    sliceWidth - edge, sy, edge, sliceHeight, Gdiplus::UnitPixel);
    }
}

// ---------------------------------------------------------------------------
// CScrollVertical, CScrollHorizontal: one bar along each axis
// ---------------------------------------------------------------------------

namespace {

// The bar's strip from the engine's image cache: the frame width is the
// picture's width / columns, the height its height / rows. 0 without a picture.
int TakeStrip(MScroll& bar, const ImgResInfo* info, int frames, int columns, int rows)
{
    if (!info || !info->pImage) return 0;
    bar.m_pImage = info->pImage;
    bar.m_nFrameCount = std::max(frames, 1);
    bar.m_nFrameWidth = static_cast<int>(bar.m_pImage->GetWidth()) / columns;
    bar.m_nImageHeight = static_cast<int>(bar.m_pImage->GetHeight()) / rows;
    return 1;
}

}  // namespace

// What the two bars do alike, along their axis (Vertical true or false): the
// engine's scroll picture (resource ScrollId) or else the skin file, the
// thumb's pointer handling and its drawing.
#define WEXA_DEFINE_SCROLL_BAR(Class, Vertical, ScrollId, SkinFile)               \
    Class::Class(MObject* owner, unsigned id, CRect rect, int visible)            \
        : MScroll(owner, id, rect, visible),                                      \
          m_nDragAnchor(-1)                                                       \
    {                                                                             \
        m_nThumbState = 0;                                                        \
        SetRange();                                                               \
    }                                                                             \
    Class::~Class() = default;                                                    \
    const wchar_t* Class::GetClassNameW() const                                   \
    {                                                                             \
        return L"" #Class;                                                        \
    }                                                                             \
    void Class::InitControl(PaintManager* manager)                                \
    {                                                                             \
        const UINT id = manager ? manager->ScrollId() : 0;                        \
        if (id != 0)                                                              \
            SetImage(id, CString(L"PNG"), 4);                                     \
        else                                                                      \
            SetImage(SkinFile, 1);                                                \
    }                                                                             \
    void Class::DrawControl(HDC& dc, CRect)                                       \
    {                                                                             \
        DrawBar(dc);                                                              \
    }                                                                             \
    int Class::OnControlMouseMove(UINT, CPoint point)                             \
    {                                                                             \
        return TrackMouseMove(Vertical, m_nDragAnchor, point);                    \
    }                                                                             \
    int Class::OnControlLButtonDown(UINT, CPoint point)                           \
    {                                                                             \
        return TrackButtonDown(Vertical, m_nDragAnchor, point);                   \
    }                                                                             \
    int Class::OnControlLButtonUp(UINT, CPoint point)                             \
    {                                                                             \
        return TrackButtonUp(m_nDragAnchor, point);                               \
    }                                                                             \
    int Class::MoveRange(int delta)                                               \
    {                                                                             \
        return MoveThumb(Vertical, delta);                                        \
    }                                                                             \
    void Class::DrawRange(HDC& dc, CRect rect, int srcX)                          \
    {                                                                             \
        DrawImageSlices(dc, rect, Vertical, srcX, m_nFrameWidth, m_nImageHeight); \
    }

WEXA_DEFINE_SCROLL_BAR(CScrollVertical, true, GetScrollVID, L"img_scroll_v.png")
WEXA_DEFINE_SCROLL_BAR(CScrollHorizontal, false, GetScrollHID, L"img_scroll_h.png")

// The vertical strip: three frames side by side (track, thumb, arrows).
int CScrollVertical::SetImage(UINT resourceId, CString resourceType, int frames)
{
    if (!m_pManager || resourceId == 0) return 0;
    return TakeStrip(*this, m_pManager->AddImgResInfo(resourceId, resourceType, frames, 0), frames,
                     3, 1);
}

int CScrollVertical::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!m_pManager || !skinFileName) return 0;
    return TakeStrip(*this, m_pManager->AddImgResInfo(skinFileName, frames), frames, 3, 1);
}

int CScrollVertical::SetRange()
{
    return LayoutThumb(true, true, false);
}
int CScrollVertical::SetRangeEx()
{
    return LayoutThumb(true, true, true);
}

// The horizontal strip: four rows; a skin file also has three columns.
int CScrollHorizontal::SetImage(UINT resourceId, CString resourceType, int frames)
{
    if (!m_pManager || resourceId == 0) return 0;
    return TakeStrip(*this, m_pManager->AddImgResInfo(resourceId, resourceType, frames, 0), frames,
                     1, 4);
}

int CScrollHorizontal::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!m_pManager || !skinFileName) return 0;
    return TakeStrip(*this, m_pManager->AddImgResInfo(skinFileName, frames), frames, 3, 4);
}

int CScrollHorizontal::SetRange()
{
    return LayoutThumb(false, false, false);
}

}  // namespace WEXA
