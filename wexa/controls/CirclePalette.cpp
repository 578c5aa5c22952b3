#include "CirclePalette.h"

#include <cmath>

#include "ControlRegistry.h"
#include "MRender.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CirclePalette,
                      new CirclePalette(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {
BOOL(WINAPI* g_cursorSource)(POINT*) = nullptr;
}

void CirclePalette::SetCursorSource(BOOL(WINAPI* source)(POINT*))
{
    g_cursorSource = source;
}

CirclePalette::CirclePalette(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nState(0),
      m_rcThumb(rect.left + 60, rect.top + 10, rect.left + 70, rect.top + 20),
      m_crSelect(0x0000FF),
      m_nThumbX(0),
      m_nThumbY(0),
      m_colorTable()
{}

CirclePalette::~CirclePalette() {}

int CirclePalette::SetImage(UINT resourceId, CString resourceType, int frames)
{
    if (!m_pManager) return 0;
    ImgResInfo* info = m_pManager->AddImgResInfo(resourceId, resourceType, frames, 1);
    if (!info) return 0;
    m_pImage = info->pImage;
    m_nFrameWidth = info->nWidth;
    m_nImageHeight = info->nHeight;
    m_nFrameCount = info->nCount;
    return 1;
}

int CirclePalette::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!m_pManager || !skinFileName) return 0;
    ImgResInfo* info = m_pManager->AddImgResInfo(skinFileName, frames);
    if (!info) return 0;
    m_pImage = info->pImage;
    m_nFrameWidth = info->nWidth;
    m_nImageHeight = info->nHeight;
    m_nFrameCount = info->nCount;
    return 1;
}

void CirclePalette::SetControlRect(CRect rect)
{
    if (rect == m_rcControl) return;
    m_rcControl = rect;
    m_rcThumb = CRect(rect.left + 60, rect.top + 10, rect.left + 70, rect.top + 20);
    if (m_bMarkerFollowsColour) PlaceMarkerForColour();
    paint::Repaint(this, 1);
}

void CirclePalette::SetSelectColor(COLORREF colour)
{
    m_crSelect = colour;
    m_bMarkerFollowsColour = true;
    PlaceMarkerForColour();
    paint::Repaint(this, 1);
}

void CirclePalette::PlaceMarkerForColour()
{
    if (!TableFilled()) return;  // the first drawing places it
    const int w = m_rcControl.Width() < kTableSize ? m_rcControl.Width() : kTableSize;
    const int h = m_rcControl.Height() < kTableSize ? m_rcControl.Height() : kTableSize;
    const int r = GetRValue(m_crSelect), g = GetGValue(m_crSelect), b = GetBValue(m_crSelect);
    long best = -1;
    int bestX = 0, bestY = 0;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            // Only where a click could put the marker: on the wheel.
            if (GetDistanse(CPoint(m_rcControl.left + x, m_rcControl.top + y)) > 50) continue;
            const COLORREF c = m_colorTable[x][y];
            const long dr = GetRValue(c) - r, dg = GetGValue(c) - g, db = GetBValue(c) - b;
            const long d = dr * dr + dg * dg + db * db;
            if (best < 0 || d < best) {
                best = d;
                bestX = x;
                bestY = y;
            }
        }
    if (best < 0) return;
    m_nThumbX = m_rcControl.left + bestX;
    m_nThumbY = m_rcControl.top + bestY;
    m_rcThumb = CRect(m_nThumbX - 5, m_nThumbY - 5, m_nThumbX + 5, m_nThumbY + 5);
}

int CirclePalette::GetDistanse(CPoint point)
{
    const int dx = (m_rcControl.Width() / 2 + m_rcControl.left) - point.x;
    const int dy = (m_rcControl.Height() / 2 + m_rcControl.top) - point.y;
    const float fx = static_cast<float>(dx), fy = static_cast<float>(dy);
    return static_cast<int>(std::sqrt(fx * fx + fy * fy));
}

COLORREF CirclePalette::GetTableColor(int x, int y) const
{
    if (x < 0 || y < 0 || x >= kTableSize || y >= kTableSize) return 0;
    if (x >= m_rcControl.Width() || y >= m_rcControl.Height()) return 0;
    return m_colorTable[x][y];
}

int CirclePalette::MoveThumbPos(CPoint point)
{
    if (GetDistanse(point) > 50) return 0;
    m_bMarkerFollowsColour = false;
    m_nThumbX = point.x;
    m_nThumbY = point.y;
    const CRect thumb(point.x - 5, point.y - 5, point.x + 5, point.y + 5);
    if (thumb == m_rcThumb) return 0;
    m_rcThumb = thumb;
    POINT cursor = {0, 0};
    const bool have = g_cursorSource ? g_cursorSource(&cursor) : GetCursorPos(&cursor);
    if (have && m_pManager && m_pManager->GetPaintWnd()) {
        ScreenToClient(m_pManager->GetPaintWnd(), &cursor);
        const int x = cursor.x - m_rcControl.left, y = cursor.y - m_rcControl.top;
        // The pointer may be anywhere: only a pixel of the control picks a colour.
        if (x >= 0 && y >= 0 && x < m_rcControl.Width() && y < m_rcControl.Height() &&
            x < kTableSize && y < kTableSize)
            m_crSelect = m_colorTable[x][y];
    }
    paint::Repaint(this, 1);
    SendMessageW(27, 0, static_cast<LONG_PTR>(m_crSelect));
    return 0;
}

int CirclePalette::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcThumb.PtInRect(point)) m_nState = 2;
    MoveThumbPos(point);
    return 0;
}

int CirclePalette::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_nState == 2) {
        if (std::abs(point.x - m_nThumbX) <= 5 && std::abs(point.y - m_nThumbY) <= 5) return 1;
        MoveThumbPos(point);
        return 1;
    }
    m_nState = m_rcThumb.PtInRect(point) ? 1 : 0;
    return 0;
}

int CirclePalette::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    m_nState = m_rcThumb.PtInRect(point) ? 1 : 0;
    SendMessageW(2, 0, static_cast<LONG_PTR>(m_crSelect));
    return 0;
}

void CirclePalette::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        {
            Gdiplus::Graphics g(m_hMemDC);
            if (m_pImage && m_nFrameWidth > 0)
                g.DrawImage(m_pImage, Gdiplus::Rect(0, 0, w, h), 0, 0, m_nFrameWidth,
                            m_nImageHeight, Gdiplus::UnitPixel);
        }
        if (m_colorTable[0][0] == 0 && m_colorTable[10][10] == 0) {
            // Only the pixels the control has: the table is never filled past them.
            const int cw = w < kTableSize ? w : kTableSize;
            const int ch = h < kTableSize ? h : kTableSize;
            for (int x = 0; x < cw; ++x)
                for (int y = 0; y < ch; ++y) m_colorTable[x][y] = GetPixel(m_hMemDC, x, y);
            if (m_bMarkerFollowsColour) PlaceMarkerForColour();
        }
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const float tx = static_cast<float>(m_rcThumb.left - m_rcControl.left);
        const float ty = static_cast<float>(m_rcThumb.top - m_rcControl.top);
        Gdiplus::Pen white(Gdiplus::Color(0xFEFFFFFF));
        Gdiplus::Pen grey(Gdiplus::Color(0xFE808080));
        g.DrawEllipse(&white, tx, ty, 8.0f, 8.0f);
        g.DrawEllipse(&grey, tx + 1.0f, ty + 1.0f, 8.0f, 8.0f);
    }
    paint::ShowFrame(this, dc, 0);
}

}  // namespace WEXA
