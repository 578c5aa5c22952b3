#include "MPalette.h"

#include <algorithm>
#include <optional>

#include "ColorModel.h"
#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "framework/GdiOwners.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MPalette, new MPalette(a.owner, a.id, a.rect, a.visible));

namespace {
const int kBitmapWidth = 400;
const int kBitmapHeight = 360;
const int kBarColumn = 370;
}  // namespace

MPalette::MPalette(MObject* owner, UINT id, CRect rect, int visible)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_hPaletteDC(nullptr),
      m_hPaletteBitmap(nullptr),
      m_hOldPaletteBitmap(nullptr),
      m_bitmapInfo(),
      m_pThumbImage(nullptr),
      m_nThumbWidth(0),
      m_nThumbHeight(0),
      m_crSelect(HslToRgb(180.0f / 360.0f, 200.0f / 200.0f, 120.0f / 200.0f)),
      m_nH(180),
      m_nS(200),
      m_nL(120),
      m_nPaletteHeight(150),
      m_nBarWidth(16),
      m_nMarkerX(0),
      m_nMarkerY(0),
      m_bBarTracking(0),
      m_bPaletteTracking(0)
{
    ComputeRects();
}

MPalette::~MPalette()
{
    delete m_pThumbImage;
    if (m_hPaletteDC) {
        if (m_hOldPaletteBitmap) SelectObject(m_hPaletteDC, m_hOldPaletteBitmap);
        DeleteDC(m_hPaletteDC);
    }
    if (m_hPaletteBitmap) DeleteObject(m_hPaletteBitmap);
}

void MPalette::ComputeRects()
{
    const CRect& r = m_rcControl;
    m_rcPalette = CRect(r.left, r.top, r.right - m_nBarWidth - 22, r.top + m_nPaletteHeight);
    m_rcBar = CRect(r.right - m_nBarWidth - 16, r.top, r.right, r.top + m_nPaletteHeight);
}

void MPalette::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    if (m_hPaletteDC) return;
    {
        HDC reference = manager ? manager->GetPaintDC() : nullptr;
        std::optional<gdi::WindowDC> screen;
        if (!reference) reference = screen.emplace(nullptr);
        m_hPaletteDC = CreateCompatibleDC(reference);
        m_hPaletteBitmap = CreateCompatibleBitmap(reference, kBitmapWidth, kBitmapHeight);
    }
    if (!m_hPaletteDC || !m_hPaletteBitmap) return;
    m_hOldPaletteBitmap = static_cast<HBITMAP>(SelectObject(m_hPaletteDC, m_hPaletteBitmap));
    GetObjectW(m_hPaletteBitmap, sizeof(m_bitmapInfo), &m_bitmapInfo);
    m_pixels.assign(static_cast<size_t>(m_bitmapInfo.bmWidthBytes) * m_bitmapInfo.bmHeight, 0);
    GetBitmapBits(m_hPaletteBitmap, static_cast<LONG>(m_pixels.size()), m_pixels.data());
    RenderField();
    RenderBar();
    PlaceMarker();
}

void MPalette::WritePixel(int x, int y, COLORREF color)
{
    if (m_pixels.empty() || x < 0 || y < 0 || x >= m_bitmapInfo.bmWidth ||
        y >= m_bitmapInfo.bmHeight)
        return;
    if ((color & 0xFFFFFF) == 0) color = RGB(1, 0, 0);
    const int bytes = m_bitmapInfo.bmBitsPixel / 8;
    if (bytes < 3) return;
    BYTE* p = m_pixels.data() + static_cast<size_t>(y) * m_bitmapInfo.bmWidthBytes +
              static_cast<size_t>(x) * bytes;
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
}

void MPalette::FlushPixels()
{
    if (m_hPaletteBitmap && !m_pixels.empty())
        SetBitmapBits(m_hPaletteBitmap, static_cast<DWORD>(m_pixels.size()), m_pixels.data());
}

void MPalette::RenderField()
{
    for (int x = 0; x < 360; ++x)
        for (int y = 0; y < 200; ++y)
            WritePixel(
                x, y,
                HslToRgb(static_cast<float>(x) / 360.0f, 1.0f, static_cast<float>(y) / 200.0f));
    FlushPixels();
}

void MPalette::RenderBar()
{
    const float h = static_cast<float>(m_nH) / 360.0f;
    const float l = static_cast<float>(m_nL) / 200.0f;
    for (int y = 0; y < 200; ++y) {
        const COLORREF c = HslToRgb(h, static_cast<float>(y) / 200.0f, l);
        for (int i = 0; i < m_nBarWidth; ++i) WritePixel(kBarColumn + i, y, c);
    }
    FlushPixels();
}

void MPalette::PlaceMarker()
{
    m_nMarkerX = m_rcPalette.left + (m_rcPalette.Width() * m_nH / 360);
    m_nMarkerY = std::max(static_cast<int>(m_rcPalette.top),
                          static_cast<int>(m_rcPalette.top + (m_nL - 20) * m_nPaletteHeight / 180));
}

void MPalette::Repaint()
{
    paint::Repaint(this, 1);
}

COLORREF MPalette::GetSelectColor()
{
    return HslToRgb(static_cast<float>(m_nH) / 360.0f, static_cast<float>(m_nS) / 200.0f,
                    static_cast<float>(m_nL) / 200.0f) &
           0x00FFFFFF;
}

void MPalette::SetSelectColor(COLORREF color)
{
    m_crSelect = color;
    float h = 0, s = 0, l = 0;
    RgbToHsl(color & 0x00FFFFFF, h, s, l);
    m_nH = static_cast<int>(h * 360.0f);
    m_nS = static_cast<int>(s * 200.0f);
    m_nL = static_cast<int>(l * 200.0f);
    PlaceMarker();
    RenderBar();
    Repaint();
}

int MPalette::SetThumbImage(const wchar_t* name)
{
    if (!name) return 0;
    gdi::Owned<Gdiplus::Image> image(MRender::LoadImageFromFile(GetSkinsPath() + name));
    if (image && image->GetLastStatus() == Gdiplus::Ok && image->GetWidth() > 0) {
        m_nThumbWidth = static_cast<int>(image->GetWidth()) / 4;
        m_nThumbHeight = static_cast<int>(image->GetHeight());
        delete m_pThumbImage;
        m_pThumbImage = image.release();
    }
    return 0;
}

void MPalette::SetPalletHeight(int height)
{
    m_nPaletteHeight = height;
    Repaint();
}

LONG MPalette::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

void MPalette::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    ComputeRects();
    RenderField();
    RenderBar();
    PlaceMarker();
    Repaint();
}

void MPalette::SetControlEnabled(int enabled)
{
    if (m_bEnabled == enabled) return;
    m_bEnabled = enabled;
    Repaint();
}

void MPalette::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        // A field or bar without an area has nothing to show.
        if (m_hPaletteDC && m_rcPalette.Width() > 0 && m_nPaletteHeight > 0) {
            const int oldMode = SetStretchBltMode(m_hMemDC, HALFTONE);
            SetBrushOrgEx(m_hMemDC, 0, 0, nullptr);
            StretchBlt(m_hMemDC, 0, 0, m_rcPalette.Width(), m_nPaletteHeight, m_hPaletteDC, 0, 20,
                       360, 180, SRCCOPY);
            StretchBlt(m_hMemDC, m_rcBar.left - m_rcControl.left, 0, m_nBarWidth, m_nPaletteHeight,
                       m_hPaletteDC, kBarColumn, 0, m_nBarWidth, 200, SRCCOPY);
            SetStretchBltMode(m_hMemDC, oldMode);
        }
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const float mx = static_cast<float>(m_nMarkerX - m_rcControl.left - 4);
        const float my = static_cast<float>(m_nMarkerY - m_rcControl.top - 4);
        Gdiplus::Pen white(Gdiplus::Color(0xFEFFFFFF));
        Gdiplus::Pen grey(Gdiplus::Color(0xFE808080));
        g.DrawEllipse(&white, mx, my, 8.0f, 8.0f);
        g.DrawEllipse(&grey, mx + 1.0f, my + 1.0f, 8.0f, 8.0f);
        if (!m_bEnabled) {
            Gdiplus::SolidBrush veil(Gdiplus::Color(0x0A808080));
            g.FillRectangle(&veil, 0, 0, w, h);
        }
    }
    paint::ShowFrame(this, dc, 0);
    if (m_pThumbImage && m_nThumbWidth > 0) {
        const int x = m_rcBar.left + m_nBarWidth;
        const int cy = m_rcControl.top + m_nPaletteHeight * m_nS / 200;
        m_rcThumb = CRect(x, cy - m_nThumbHeight / 2, x + m_nThumbWidth,
                          cy - m_nThumbHeight / 2 + m_nThumbHeight);
        Gdiplus::Graphics g(dc);
        g.DrawImage(m_pThumbImage,
                    Gdiplus::Rect(m_rcThumb.left, m_rcThumb.top, m_nThumbWidth, m_nThumbHeight), 0,
                    0, m_nThumbWidth, m_nThumbHeight, Gdiplus::UnitPixel);
    }
}

bool MPalette::InField(CPoint point) const
{
    const CRect& f = m_rcPalette;
    return point.x >= f.left && point.x < f.right && point.y >= f.top && point.y <= f.bottom;
}

bool MPalette::TrackField(CPoint point)
{
    const int pw = m_rcPalette.Width();
    if (pw <= 0 || m_nPaletteHeight <= 0) return false;
    m_nMarkerX = point.x;
    m_nMarkerY = point.y;
    m_nH = std::clamp(static_cast<int>((point.x - m_rcPalette.left) * 360 / pw), 0, 360);
    m_nL = std::clamp(static_cast<int>((point.y - m_rcPalette.top) * 180 / m_nPaletteHeight + 20),
                      20, 200);
    RenderBar();
    return true;
}

bool MPalette::TrackBar(CPoint point)
{
    if (m_nPaletteHeight <= 0) return false;
    m_nS = std::clamp(static_cast<int>((point.y - m_rcBar.top) * 200 / m_nPaletteHeight), 0, 200);
    return true;
}

int MPalette::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    m_bBarTracking = m_bPaletteTracking = 0;
    if (!m_rcControl.PtInRect(point)) return 1;
    if (InField(point)) {
        if (TrackField(point)) m_bPaletteTracking = 1;
    } else if (m_rcBar.PtInRect(point)) {
        if (TrackBar(point)) {
            Repaint();
            m_bBarTracking = 1;
        }
    }
    const COLORREF color = GetSelectColor();
    if (color != m_crSelect) {
        m_crSelect = color;
        SendMessageW(27, color, 0);
    }
    Repaint();
    return 1;
}

int MPalette::OnControlMouseMove(UINT flags, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!(flags & MK_LBUTTON)) return 1;
    if (m_bPaletteTracking) {
        if (!InField(point)) return 1;
        if (!TrackField(point)) return 1;
        SendMessageW(27, 0, 0);
        Repaint();
    } else if (m_bBarTracking) {
        if (!TrackBar(point)) return 1;
        SendMessageW(27, 0, 0);
        Repaint();
    }
    return 1;
}

int MPalette::OnControlLButtonUp(UINT, CPoint)
{
    if (!m_bEnabled) return 0;
    m_bBarTracking = m_bPaletteTracking = 0;
    Repaint();
    return 1;
}

int MPalette::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

}  // namespace WEXA
