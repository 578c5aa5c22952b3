#include "LCDPalette.h"

#include <algorithm>

#include "ColorModel.h"
#include "ControlRegistry.h"
#include "MRender.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "lighting/LcdImaging.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(LCDPalette, new LCDPalette(a.owner, a.id, a.rect, a.visible));
WEXA_REGISTER_CONTROL(LCDPalette2, new LCDPalette2(a.owner, a.id, a.rect, a.visible));
WEXA_REGISTER_CONTROL(LCDPalette3, new LCDPalette3(a.owner, a.id, a.rect, a.visible));

namespace {

COLORREF NotBlack(COLORREF c)
{
    return (c & 0xFFFFFF) == 0 ? 0x000001 : c;
}

void FillColumn(HDC dc, int x, int top, int bottom, COLORREF color)
{
    MRender::FillSolidRect(dc, x, top, 1, bottom - top, NotBlack(color));
}

// The skin picture through the engine's cache into the control's image slot.
int LoadMarker(MControlFont* c, const wchar_t* file, int frames)
{
    if (!c->m_pManager || !file) return 0;
    ImgResInfo* info = c->m_pManager->AddImgResInfo(file, frames);
    if (!info) return 0;
    c->m_pImage = info->pImage;
    c->m_nFrameWidth = info->nWidth;
    c->m_nImageHeight = info->nHeight;
    c->m_nFrameCount = info->nCount;
    return 1;
}

void DrawMarker(MControlFont* c, HDC dc, int x, int y)
{
    if (!c->m_pImage) return;
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.DrawImage(c->m_pImage, Gdiplus::Rect(x, y, c->m_nFrameWidth, c->m_nImageHeight), 0, 0,
                c->m_nFrameWidth, c->m_nImageHeight, Gdiplus::UnitPixel);
}

// The control's cached look: (re)made at its size with the window behind it.
bool BeginLook(MControl* c, HDC& dc)
{
    const int w = c->m_rcControl.Width(), h = c->m_rcControl.Height();
    if (w <= 0 || h <= 0) return false;
    c->UpdateMemDC(dc, w, h);
    if (!c->m_hMemDC) return false;
    ::BitBlt(c->m_hMemDC, 0, 0, w, h, dc, c->m_rcControl.left, c->m_rcControl.top, SRCCOPY);
    return true;
}

void ShowLook(MControl* c, HDC& dc)
{
    if (!c->m_hMemDC) return;
    ::BitBlt(dc, c->m_rcControl.left, c->m_rcControl.top, c->m_rcControl.Width(),
             c->m_rcControl.Height(), c->m_hMemDC, 0, 0, SRCCOPY);
}

const int kSwatchLightness[9] = {190, 175, 150, 125, 100, 75, 50, 25, 10};

}  // namespace

// ==== LCDPalette ====

LCDPalette::LCDPalette(MObject* owner, UINT id, CRect rect, int visible)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_selectColor(0),
      m_huePos(180),
      m_swatch(4),
      m_dragging(false)
{
    m_barRect = CRect(rect.left, rect.top, rect.right, rect.top + 20);
    m_swatchRect = CRect(rect.left, rect.top + 35, rect.right, rect.top + 51);
    UpdateSelectColor();
}

LCDPalette::~LCDPalette() {}

int LCDPalette::SwatchLightness(int k)
{
    return k >= 0 && k < 9 ? kSwatchLightness[k] : 0;
}

void LCDPalette::Repaint()
{
    paint::Repaint(this, 1);
}

void LCDPalette::UpdateSelectColor()
{
    m_selectColor = NotBlack(HslToRgb(static_cast<float>(m_huePos) / 360.0f, 1.0f,
                                      static_cast<float>(kSwatchLightness[m_swatch]) / 200.0f));
}

int LCDPalette::SetImage(const wchar_t* skinFileName, int frames)
{
    return LoadMarker(this, skinFileName, frames);
}

void LCDPalette::SetSelectColor(COLORREF color)
{
    m_selectColor = color;
    Repaint();
}

void LCDPalette::DrawRoundRectange(Gdiplus::Graphics& g, CRect r, COLORREF color)
{
    const float L = static_cast<float>(r.left), T = static_cast<float>(r.top),
                R = static_cast<float>(r.right), B = static_cast<float>(r.bottom);
    Gdiplus::GraphicsPath path;
    path.AddLine(L + 2, T, R - 2, T);
    path.AddArc(R - 4, T, 4.0f, 4.0f, 270.0f, 90.0f);
    path.AddLine(R, T + 2, R, B - 2);
    path.AddArc(R - 4, B - 4, 4.0f, 4.0f, 0.0f, 90.0f);
    path.AddLine(R - 2, B, L + 2, B);
    path.AddArc(L, B - 4, 4.0f, 4.0f, 90.0f, 90.0f);
    path.AddLine(L, B - 2, L, T + 2);
    path.AddArc(L, T, 4.0f, 4.0f, 180.0f, 90.0f);
    path.CloseFigure();
    const Gdiplus::Color c(255, GetRValue(color), GetGValue(color), GetBValue(color));
    Gdiplus::SolidBrush brush(c);
    g.FillPath(&brush, &path);
    Gdiplus::Pen pen(c, 1.0f);
    g.DrawPath(&pen, &path);
}

void LCDPalette::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!BeginLook(this, dc)) return;
        HDC mem = m_hMemDC;
        const int W = m_rcControl.Width();
        for (int i = 0; i <= W - 21; ++i)
            FillColumn(mem, 10 + i, 0, 20, HslToRgb(static_cast<float>(i) / 360.0f, 1.0f, 0.5f));
        const float hue = static_cast<float>(m_huePos) / 360.0f;
        for (int k = 0; k < 9; ++k)
            MRender::FillSolidRect(
                mem, 10 + 40 * k, 35, 40, 17,
                NotBlack(HslToRgb(hue, 1.0f, static_cast<float>(kSwatchLightness[k]) / 200.0f)));
        Gdiplus::Graphics g(mem);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        g.FillEllipse(&white, m_huePos, 0, 20, 19);
        UpdateSelectColor();
        DrawRoundRectange(g, CRect(10 + 40 * m_swatch, 31, 49 + 40 * m_swatch, 55), m_selectColor);
    }
    ShowLook(this, dc);
}

LONG LCDPalette::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

void LCDPalette::SetControlRect(CRect rect)
{
    if (rect == m_rcControl) return;
    m_rcControl = rect;
    m_barRect = CRect(rect.left, rect.top, rect.right, rect.top + 20);
    m_swatchRect = CRect(rect.left, rect.top + 35, rect.right, rect.top + 51);
    Repaint();
}

void LCDPalette::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    Repaint();
}

void LCDPalette::SetHueFromPointer(int x)
{
    m_huePos = std::min(360, std::max(0, x - static_cast<int>(m_rcControl.left + 10)));
    m_swatch = 4;
    UpdateSelectColor();
    Repaint();
}

int LCDPalette::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point)) return 1;
    const int x = point.x - m_rcControl.left, y = point.y - m_rcControl.top;
    if (m_barRect.PtInRect(point)) {
        if (x >= m_huePos && x <= m_huePos + 20 && y >= 0 && y <= 19) m_dragging = true;
        SetHueFromPointer(point.x);
    } else if (m_swatchRect.PtInRect(point)) {
        for (int k = 0; k < 9; ++k) {
            if (x >= 10 + 40 * k && x <= 49 + 40 * k && y >= 35 && y <= 51) {
                if (k != m_swatch) {
                    m_swatch = k;
                    UpdateSelectColor();
                    Repaint();
                }
                break;
            }
        }
    }
    return 1;
}

int LCDPalette::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_dragging && m_rcControl.PtInRect(point)) SetHueFromPointer(point.x);
    return 1;
}

int LCDPalette::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    m_dragging = false;
    if (m_rcControl.PtInRect(point) && (m_barRect.PtInRect(point) || m_swatchRect.PtInRect(point)))
        SendMessageW(2, 0, 0);
    return 1;
}

int LCDPalette::OnControlScroll(int, UINT down, CPoint point)
{
    if (!m_rcControl.PtInRect(point)) return 0;
    const int pos = std::min(360, std::max(0, m_huePos + (down == 1 ? -2 : 2)));
    if (pos != m_huePos) {
        m_huePos = pos;
        m_swatch = 4;
        UpdateSelectColor();
        Repaint();
    }
    return 1;
}

// ==== LCDPalette2 ====

LCDPalette2::LCDPalette2(MObject* owner, UINT id, CRect rect, int visible)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_selectColor(0),
      m_huePos(180),
      m_barRect(rect),
      m_dragging(false)
{
    UpdateSelectColor();
}

LCDPalette2::~LCDPalette2() {}

void LCDPalette2::Repaint()
{
    paint::Repaint(this, 1);
}

void LCDPalette2::UpdateSelectColor()
{
    const int W = m_rcControl.Width();
    const int degrees = W > 0 ? (m_huePos * 360) / W : 0;
    m_selectColor = 0xFF000000u | HslToRgb(static_cast<float>(degrees) / 360.0f, 1.0f, 0.5f);
}

void LCDPalette2::SetHuePos(int pos)
{
    m_huePos = std::min(std::max(0, m_rcControl.Width()), std::max(0, pos));
    UpdateSelectColor();
    Repaint();
}

int LCDPalette2::SetImage(const wchar_t* skinFileName, int frames)
{
    return LoadMarker(this, skinFileName, frames);
}

void LCDPalette2::SetSelectColor(COLORREF color)
{
    m_selectColor = 0xFF000000u | (color & 0xFFFFFF);
    Repaint();
}

void LCDPalette2::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!BeginLook(this, dc)) return;
        HDC mem = m_hMemDC;
        const int W = m_rcControl.Width(), H = m_rcControl.Height();
        const int span = W - 10;
        for (int k = 0; span > 0 && k <= W - 11; ++k) {
            const int hue = (k * 360) / span;
            FillColumn(mem, 10 + k, H - 20, H,
                       HslToRgb(static_cast<float>(hue) / 360.0f, 1.0f, 0.5f));
        }
        DrawMarker(this, mem, m_huePos, H - m_nImageHeight - 20);
        UpdateSelectColor();
    }
    ShowLook(this, dc);
}

LONG LCDPalette2::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

void LCDPalette2::SetControlRect(CRect rect)
{
    if (rect == m_rcControl) return;
    m_rcControl = rect;
    m_barRect = rect;
    UpdateSelectColor();
    Repaint();
}

void LCDPalette2::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    Repaint();
}

void LCDPalette2::SetHueFromPointer(int x)
{
    SetHuePos(x - static_cast<int>(m_rcControl.left + 5));
}

int LCDPalette2::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_barRect.PtInRect(point)) {
        const int x = point.x - m_rcControl.left;
        if (x >= m_huePos && x <= m_huePos + 20) m_dragging = true;
        SetHueFromPointer(point.x);
    }
    return 1;
}

int LCDPalette2::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_dragging && m_rcControl.PtInRect(point)) SetHueFromPointer(point.x);
    return 1;
}

int LCDPalette2::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    m_dragging = false;
    if (m_rcControl.PtInRect(point) && m_barRect.PtInRect(point)) SendMessageW(2, 0, 0);
    return 1;
}

int LCDPalette2::OnControlScroll(int, UINT down, CPoint point)
{
    if (!m_rcControl.PtInRect(point)) return 0;
    const int old = m_huePos;
    const int pos =
        std::min(std::max(0, m_rcControl.Width()), std::max(0, m_huePos + (down == 1 ? -2 : 2)));
    if (pos != old) SetHuePos(pos);
    return 1;
}

// ==== LCDPalette3 ====

LCDPalette3::LCDPalette3(MObject* owner, UINT id, CRect rect, int visible)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_gradientDC(nullptr),
      m_gradientBitmap(nullptr),
      m_oldGradientBitmap(nullptr),
      m_bitmapInfo(),
      m_gradientBits(nullptr),
      m_selectColor(0x0000FF),
      m_hue(180),
      m_saturation(200),
      m_palletHeight(0),
      m_markerPoint(0, 0)
{}

LCDPalette3::~LCDPalette3()
{
    FreeGradient();
}

void LCDPalette3::Repaint()
{
    paint::Repaint(this, 1);
}

void LCDPalette3::FreeGradient()
{
    if (m_gradientDC && m_oldGradientBitmap) SelectObject(m_gradientDC, m_oldGradientBitmap);
    if (m_gradientBitmap) DeleteObject(m_gradientBitmap);
    if (m_gradientDC) DeleteDC(m_gradientDC);
    m_gradientDC = nullptr;
    m_gradientBitmap = nullptr;
    m_oldGradientBitmap = nullptr;
    m_gradientBits = nullptr;
    m_bitmapInfo = BITMAP();
}

bool LCDPalette3::EnsureGradient(HDC compatible)
{
    if (m_gradientBits) return true;
    FreeGradient();
    m_gradientDC = CreateCompatibleDC(compatible);
    if (!m_gradientDC) return false;
    void* bits = nullptr;
    m_gradientBitmap =
        lcd::CreateTopDownBitmap(m_gradientDC, GRADIENT_WIDTH, GRADIENT_HEIGHT, &bits);
    if (!m_gradientBitmap) {
        FreeGradient();
        return false;
    }
    m_oldGradientBitmap = SelectObject(m_gradientDC, m_gradientBitmap);
    GetObjectW(m_gradientBitmap, sizeof(m_bitmapInfo), &m_bitmapInfo);
    m_gradientBits = static_cast<unsigned char*>(bits);
    return true;
}

void LCDPalette3::InitControl(PaintManager* manager)
{
    FreeGradient();
    EnsureGradient(manager ? manager->GetPaintDC() : nullptr);
    m_markerPoint = CPoint(0, 0);
    UpdateBarData();
}

void LCDPalette3::UpdateBarData()
{
    m_palletHeight = m_rcControl.Height();
    if (!EnsureGradient(m_pManager ? m_pManager->GetPaintDC() : nullptr)) return;
    GdiFlush();
    const int stride = m_bitmapInfo.bmWidthBytes;
    const int bytesPerPixel = m_bitmapInfo.bmBitsPixel / 8;
    if (bytesPerPixel < 3 || stride <= 0) return;
    unsigned char row[200 * 4];
    for (int a = 0; a < 200; ++a) {
        const COLORREF c =
            HslToRgb(static_cast<float>(m_hue) / 360.0f, static_cast<float>(m_saturation) / 200.0f,
                     static_cast<float>(200 - a) / 200.0f);
        row[a * 4 + 0] = GetBValue(c);
        row[a * 4 + 1] = GetGValue(c);
        row[a * 4 + 2] = GetRValue(c);
        row[a * 4 + 3] = 0;
    }
    for (int y = 0; y < m_bitmapInfo.bmHeight; ++y) {
        unsigned char* line = m_gradientBits + static_cast<size_t>(y) * stride;
        for (int a = 0; a < 200; ++a) {
            unsigned char* px = line + a * bytesPerPixel;
            px[0] = row[a * 4 + 0];
            px[1] = row[a * 4 + 1];
            px[2] = row[a * 4 + 2];
            if (bytesPerPixel == 4) px[3] = 0;
        }
    }
}

COLORREF LCDPalette3::ColorAt(int x, int) const
{
    const int W = m_rcControl.Width();
    if (W <= 0) return m_selectColor;
    int a = static_cast<int>(static_cast<long long>(x) * SHOWN_COLUMNS / W);
    a = std::min(SHOWN_COLUMNS - 1, std::max(0, a));
    return NotBlack(HslToRgb(static_cast<float>(m_hue) / 360.0f,
                             static_cast<float>(m_saturation) / 200.0f,
                             static_cast<float>(200 - a) / 200.0f));
}

int LCDPalette3::SetImage(const wchar_t* skinFileName, int frames)
{
    return LoadMarker(this, skinFileName, frames);
}

void LCDPalette3::SetSelectColor(COLORREF color)
{
    float h = 0, s = 0, l = 0;
    RgbToHsl(color & 0xFFFFFF, h, s, l);
    m_hue = static_cast<int>(h * 360.0f);
    m_saturation = static_cast<int>(s * 200.0f);
    m_selectColor = color;
    m_markerPoint = CPoint(0, 0);
    UpdateBarData();
    Repaint();
}

void LCDPalette3::SetPalletHeight(int height)
{
    m_palletHeight = height;
    Repaint();
}

void LCDPalette3::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!BeginLook(this, dc)) return;
        if (m_gradientDC) {
            const int oldMode = SetStretchBltMode(m_hMemDC, HALFTONE);
            SetBrushOrgEx(m_hMemDC, 0, 0, nullptr);
            StretchBlt(m_hMemDC, 0, 0, m_rcControl.Width(), m_rcControl.Height(), m_gradientDC, 0,
                       0, SHOWN_COLUMNS, GRADIENT_HEIGHT, SRCCOPY);
            SetStretchBltMode(m_hMemDC, oldMode);
        }
        DrawMarker(this, m_hMemDC, m_markerPoint.x - 4, m_markerPoint.y - 4);
    }
    ShowLook(this, dc);
}

LONG LCDPalette3::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

void LCDPalette3::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    UpdateBarData();
    m_markerPoint = CPoint(0, 0);
    Repaint();
}

void LCDPalette3::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    Repaint();
}

int LCDPalette3::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled;
}

int LCDPalette3::OnControlMouseMove(UINT flags, CPoint point)
{
    if (!m_bEnabled) return 0;
    if ((flags & MK_LBUTTON) && m_rcControl.PtInRect(point)) {
        m_markerPoint = CPoint(point.x - m_rcControl.left, point.y - m_rcControl.top);
        SendMessageW(27, 0, 0);
        Repaint();
    }
    return 1;
}

int LCDPalette3::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_markerPoint = CPoint(point.x - m_rcControl.left, point.y - m_rcControl.top);
        m_selectColor = ColorAt(m_markerPoint.x, m_markerPoint.y);
        SendMessageW(2, 0, 0);
        Repaint();
    }
    return 1;
}

int LCDPalette3::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

}  // namespace WEXA
