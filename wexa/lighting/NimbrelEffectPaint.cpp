// NimbrelEffect: painting on screen and off screen, sampling the key colours
// of modes 2 and 5, and the mouse editing of light layers.
#include <algorithm>
#include <cmath>
#include <vector>

#include "GlyphFaces.h"
#include "Manager.h"
#include "NimbrelEffect.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {

namespace {

// A pixel of a bottom-up 32-bit picture as COLORREF; a point outside the
// picture counts as black (never CLR_INVALID).
COLORREF ReadPixel(const unsigned char* bits, int width, int height, int x, int y)
{
    if (!bits || x < 0 || y < 0 || x >= width || y >= height) return 0;
    const unsigned char* p = bits + (static_cast<size_t>(height - 1 - y) * width + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

Gdiplus::Color KeyArgb(COLORREF c)
{
    return Gdiplus::Color(0xFF, GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

void NimbrelEffect::DrawRoundRectange(Gdiplus::Graphics& graphics, float x, float y, float w,
                                      float h, float r, Gdiplus::Color fill, float penWidth,
                                      Gdiplus::Color pen)
{
    const float d = 2 * r;
    Gdiplus::GraphicsPath path;
    path.AddLine(x + r, y, x + w - r, y);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddLine(x + w, y + r, x + w, y + h - r);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddLine(x + w - r, y + h, x + r, y + h);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.AddLine(x, y + h - r, x, y + r);
    path.AddArc(x, y, d, d, 180, 90);
    path.CloseFigure();
    Gdiplus::SolidBrush brush(fill);
    graphics.FillPath(&brush, &path);
    if (penWidth != 0) {
        Gdiplus::Pen outline(pen, penWidth);
        graphics.DrawPath(&outline, &path);
    }
}

void NimbrelEffect::DrawSelectionFrame(Gdiplus::Graphics& graphics)
{
    CRect r;
    {
        CAutoLock lock(m_layerLock);
        const int selected = m_selectedLayer;
        if (selected < 0 || selected >= static_cast<int>(m_layers.size())) return;
        r = ScaledLayerRect(m_layers[selected]->rect, m_layers[selected]->scale);
    }
    Gdiplus::Pen dash(Gdiplus::Color(0xFF00FFFF), 2);
    dash.SetDashStyle(Gdiplus::DashStyleDash);
    graphics.DrawRectangle(&dash, r.left, r.top, r.Width(), r.Height());
    Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
    Gdiplus::Pen outline(Gdiplus::Color(0xFF00FFFF), 1);
    const int mx = (r.left + r.right) / 2, my = (r.top + r.bottom) / 2;
    const POINT handles[8] = {{r.left, r.top},     {r.right, r.top}, {r.left, r.bottom},
                              {r.right, r.bottom}, {mx, r.top},      {mx, r.bottom},
                              {r.left, my},        {r.right, my}};
    for (const POINT& p : handles) {
        graphics.FillRectangle(&white, p.x - 4, p.y - 4, 8, 8);
        graphics.DrawRectangle(&outline, p.x - 4, p.y - 4, 8, 8);
    }
}

void NimbrelEffect::PaintInto(unsigned char* bits, int w, int h, bool onScreen)
{
    const int mode = m_mode;
    // GDI+ draws into the picture's memory itself: far cheaper than through a
    // device context.
    Gdiplus::Bitmap surface(w, h, -w * 4, PixelFormat32bppRGB,
                            bits + static_cast<size_t>(h - 1) * w * 4);
    Gdiplus::Graphics graphics(&surface);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    UINT32* const pixels = reinterpret_cast<UINT32*>(bits);
    const size_t pixelCount = static_cast<size_t>(w) * h;
    // What lay under the panel, put back before the keyboard is shown over an
    // effect that was drawn on black.
    std::vector<UINT32> backdrop;
    const bool onBlack = mode == 2 || (mode == 5 && m_gif && onScreen);
    if (onBlack && onScreen && m_keyboardImage) backdrop.assign(pixels, pixels + pixelCount);
    if (m_keyboardImage) graphics.DrawImage(m_keyboardImage, 0, 0, w, h);
    if (onBlack) std::fill(pixels, pixels + pixelCount, 0xFF000000u);
    if (mode == 2) {
        DrawMusicEffect(graphics);
    } else if (mode == 5 && m_gif) {
        if (m_gifFrameCount > 1) {
            GUID dimension = Gdiplus::FrameDimensionTime;
            m_gif->SelectActiveFrame(&dimension, static_cast<UINT>(m_gifFrame.load()));
        }
        int dw = m_gifDisplayWidth, dh = m_gifDisplayHeight;
        if (dw < 1) dw = m_gifWidth;
        if (dh < 1) dh = m_gifHeight;
        graphics.DrawImage(m_gif, static_cast<int>(m_gifX), static_cast<int>(m_gifY), dw, dh);
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    const bool sample = mode == 2 || mode == 5;

    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    // The engine's family of the control's face; without an engine the
    // system's family of that name, else a plain sans-serif one.
    Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
    Gdiplus::FontFamily system(m_strFontFace.IsEmpty() ? L"Roboto" : m_strFontFace.GetString());
    Gdiplus::FontFamily plain(L"Roboto");
    const Gdiplus::FontFamily* face =
        family ? family
        : system.IsAvailable()
            ? &system
            : (plain.IsAvailable() ? &plain : Gdiplus::FontFamily::GenericSansSerif());
    Gdiplus::Font font(face, 12.0f, m_fontStyle, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush text(m_clrText);
    const int offsetX = m_offsetX, offsetY = m_offsetY;
    const int pointed = m_pointedKey, right = m_rightKey;

    // What is drawn of each key is copied under the key-item lock, and the
    // drawing (a few milliseconds) runs without it: the worker reads the key
    // colours under that lock every tick and must not wait for a repaint.
    struct DrawnKey
    {
        CRect rect;
        CString name;
        COLORREF color;
        bool highlighted;
    };
    std::vector<DrawnKey> drawn;
    {
        CAutoLock lock(m_keyLock);
        // Sample first (the keys do not overlap), then draw.
        if (sample) {
            for (KEYITEM_INFO* item : m_keyItems) {
                if (onScreen && item->keyCode == 255) continue;
                if (item->rect.IsRectEmpty()) continue;
                CRect r = item->rect;
                r.OffsetRect(offsetX, offsetY);
                item->color = r.Width() >= 10 ? ReadPixel(bits, w, h, r.left + 20, r.top + 10)
                                              : ReadPixel(bits, w, h, r.left + 3, r.top + 3);
            }
        }
        // Off screen nobody sees the keys: only their colours are wanted.
        if (!onScreen) return;
        drawn.reserve(m_keyItems.size());
        const int count = static_cast<int>(m_keyItems.size());
        for (int index = 0; index < count; ++index) {
            const KEYITEM_INFO* item = m_keyItems[index];
            if (item->keyCode == 255 || item->rect.IsRectEmpty()) continue;
            CRect r = item->rect;
            r.OffsetRect(offsetX, offsetY);
            drawn.push_back(
                {r, item->name, item->color, index == right || index == pointed || item->selected});
        }
    }
    // The keyboard picture carries each key cap with its legend and the light
    // strips: a key's light tints its cap and a lit strip light glows on the
    // strip, while a dark key or light leaves the picture as it is. The music
    // layers and a GIF are drawn on black to be sampled; what the user sees is
    // the keyboard lit with the sampled colours, and the selected layer's frame.
    const bool pictureShown = m_keyboardImage != nullptr;
    if (pictureShown && !backdrop.empty()) {
        graphics.Flush(Gdiplus::FlushIntentionSync);
        std::copy(backdrop.begin(), backdrop.end(), pixels);
        graphics.DrawImage(m_keyboardImage, 0, 0, w, h);
    }
    for (const DrawnKey& key : drawn) {
        const CRect& r = key.rect;
        const int width = r.Width(), height = r.Height();
        const bool dark = (key.color & 0xFFFFFF) == 0;
        if (width >= 10) {
            const float x = static_cast<float>(r.left), y = static_cast<float>(r.top);
            const float fw = static_cast<float>(width), fh = static_cast<float>(height);
            if (pictureShown) {
                if (dark && !key.highlighted) continue;
                const Gdiplus::Color light = KeyArgb(key.color);
                const Gdiplus::Color tint =
                    dark ? Gdiplus::Color(0, 0, 0, 0)
                         : Gdiplus::Color(0x5A, light.GetR(), light.GetG(), light.GetB());
                DrawRoundRectange(graphics, x + 1, y + 1, fw - 2, fh - 3, 5, tint, 2,
                                  key.highlighted ? Manager::m_select_color : light);
                continue;
            }
            const Gdiplus::Color border = key.highlighted ? Manager::m_select_color
                                          : dark          ? Gdiplus::Color(0x50FFFFFF)
                                                          : KeyArgb(key.color);
            DrawRoundRectange(graphics, x, y, fw, fh, 6, Gdiplus::Color(0x64FFFFFF), 2, border);
            if (!key.name.IsEmpty()) {
                Gdiplus::RectF layout(x + 1, y + 1, fw + 1, fh + 1);
                GlyphFaces::DrawString(graphics, key.name, key.name.GetLength(), &font, layout,
                                       m_format, &text);
            }
        } else if (!dark || key.highlighted) {
            Gdiplus::SolidBrush fill(key.highlighted ? Manager::m_select_color
                                                     : KeyArgb(key.color));
            graphics.FillEllipse(&fill, r.left, r.top, width, height);
        }
    }
    if (mode == 2) DrawSelectionFrame(graphics);
}

void NimbrelEffect::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    CAutoLock paint(m_paintLock);
    if (!(m_bUpdate && m_hMemDC)) {
        UpdateMemDC(dc, w, h);
        if (!m_hMemDC) return;
        // Painted in a picture of the panel's own, then cached.
        gdi::MemoryDC memDc(dc);
        unsigned char* bits = nullptr;
        gdi::Bitmap bitmap(memDc ? CreateARGB32Bitmap(dc, w, h, &bits) : nullptr);
        if (bitmap) {
            gdi::Selection select(memDc, bitmap);
            BitBlt(memDc, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
            GdiFlush();
            PaintInto(bits, w, h, true);
            BitBlt(m_hMemDC, 0, 0, w, h, memDc, 0, 0, SRCCOPY);
        }
    }
    BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
    if (m_bandActive) {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::Pen pen(Manager::m_select_color, 2);
        pen.SetDashStyle(Gdiplus::DashStyleDot);
        const int l = std::min(m_bandStart.x, m_bandEnd.x),
                  t = std::min(m_bandStart.y, m_bandEnd.y);
        graphics.DrawRectangle(&pen, l, t, std::abs(m_bandEnd.x - m_bandStart.x),
                               std::abs(m_bandEnd.y - m_bandStart.y));
    }
}

void NimbrelEffect::DrawHideControl()
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    gdi::WindowDC windowDc(wnd);
    if (!windowDc) return;
    gdi::MemoryDC memDc(windowDc);
    if (!memDc) return;
    unsigned char* bits = nullptr;
    gdi::Bitmap bitmap(CreateARGB32Bitmap(windowDc, w, h, &bits));
    if (!bitmap) return;
    CAutoLock paint(m_paintLock);
    PaintInto(bits, w, h, false);
}

// ---- layer editing ----

int NimbrelEffect::GetDragType(CPoint p, CRect r)
{
    auto corner = [&p](int x, int y) {
        return p.x >= x - 8 && p.x < x + 8 && p.y >= y - 8 && p.y < y + 8;
    };
    if (corner(r.left, r.top)) return 6;
    if (corner(r.right, r.top)) return 7;
    if (corner(r.left, r.bottom)) return 8;
    if (corner(r.right, r.bottom)) return 9;
    if (std::abs(p.x - r.left) < 8 && p.y >= r.top && p.y <= r.bottom) return 2;
    if (std::abs(p.x - r.right) < 8 && p.y >= r.top && p.y <= r.bottom) return 4;
    if (std::abs(p.y - r.top) < 8 && p.x >= r.left && p.x <= r.right) return 3;
    if (std::abs(p.y - r.bottom) < 8 && p.x >= r.left && p.x <= r.right) return 5;
    if (r.PtInRect(p)) return 1;
    return 0;
}

HICON NimbrelEffect::GetDragCursor(int type)
{
    const wchar_t* name = IDC_ARROW;
    switch (type) {
        case 1: name = IDC_SIZEALL; break;
        case 2:
        case 4: name = IDC_SIZEWE; break;
        case 3:
        case 5: name = IDC_SIZENS; break;
        case 6:
        case 9: name = IDC_SIZENWSE; break;
        case 7:
        case 8: name = IDC_SIZENESW; break;
        default: break;
    }
    return LoadCursorW(nullptr, name);
}

namespace {
// A layer's displayed rectangle in window client coordinates.
CRect OnWindow(const LIGHTLAYER_INFO* layer, const CRect& control)
{
    CRect r = NimbrelEffect::ScaledLayerRect(layer->rect, layer->scale);
    r.OffsetRect(control.left, control.top);
    return r;
}
}  // namespace

int NimbrelEffect::OnControlMouseMove(UINT flags, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (flags & MK_LBUTTON) {
        if (!m_rcControl.PtInRect(point) || m_dragType == 0) return 1;
        const int dx = point.x - m_dragStart.x, dy = point.y - m_dragStart.y;
        if (m_mode == 2) {
            bool layerSelected = false, changed = false;
            {
                CAutoLock lock(m_layerLock);
                const int selected = m_selectedLayer;
                if (selected >= 0 && selected < static_cast<int>(m_layers.size())) {
                    layerSelected = true;
                    // Measured from the press: the start point stays.
                    CRect r = m_dragStartRect;
                    switch (m_dragType) {
                        case 1: r.OffsetRect(dx, dy); break;
                        case 2: r.left += dx; break;
                        case 3: r.top += dy; break;
                        case 4: r.right += dx; break;
                        case 5: r.bottom += dy; break;
                        case 6: r.left += dx, r.top += dy; break;
                        case 7: r.right += dx, r.top += dy; break;
                        case 8: r.left += dx, r.bottom += dy; break;
                        case 9: r.right += dx, r.bottom += dy; break;
                        default: break;
                    }
                    if (r.Width() >= 50 && r.Height() >= 50) {
                        m_layers[selected]->rect = r;
                        changed = true;
                    }
                }
            }
            if (layerSelected) {
                if (changed) RequestRepaint();
                return 1;
            }
        }
        if (m_dragType == 1 && (std::abs(dx) > 2 || std::abs(dy) > 2)) {
            if (m_mode == 5) {
                m_gifX += dx;
                m_gifY += dy;
            } else {
                m_offsetX += dx;
                m_offsetY += dy;
            }
            m_dragStart = point;
            RequestRepaint();
        }
        return 1;
    }

    int hovered = -1;
    if (m_mode == 2) {
        CAutoLock lock(m_layerLock);
        const int selected = m_selectedLayer;
        if (selected >= 0 && selected < static_cast<int>(m_layers.size())) {
            const int type = GetDragType(point, OnWindow(m_layers[selected], m_rcControl));
            SetCursor(GetDragCursor(type));
            if (type != 0) return 0;
        }
        for (int i = static_cast<int>(m_layers.size()) - 1; i >= 0; --i) {
            if (OnWindow(m_layers[i], m_rcControl).PtInRect(point)) {
                hovered = i;
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                break;
            }
        }
    } else if (m_rcControl.PtInRect(point)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
    }
    if (hovered != m_hoverLayer) {
        m_hoverLayer = hovered;
        RequestRepaint();
    }
    return 0;
}

int NimbrelEffect::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_dragStart = point;
        if (m_mode == 2) {
            CAutoLock lock(m_layerLock);
            m_dragType = 0;
            const int count = static_cast<int>(m_layers.size());
            const int selected = m_selectedLayer;
            if (selected >= 0 && selected < count) {
                m_dragType = GetDragType(point, OnWindow(m_layers[selected], m_rcControl));
                if (m_dragType != 0) m_dragStartRect = m_layers[selected]->rect;
            }
            if (m_dragType == 0) {
                const int hovered = m_hoverLayer;
                if (hovered >= 0 && hovered < count) {
                    m_selectedLayer = hovered;
                    m_dragType = GetDragType(point, OnWindow(m_layers[hovered], m_rcControl));
                    if (m_dragType != 0) m_dragStartRect = m_layers[hovered]->rect;
                } else {
                    m_selectedLayer = -1;
                    m_dragType = 1;
                }
            }
        } else {
            m_dragType = 1;
        }
        RequestRepaint();
    }
    if (m_bandActive) {
        m_bandActive = 0;
        RequestRepaint();
    }
    return 1;
}

int NimbrelEffect::OnControlLButtonUp(UINT, CPoint point)
{
    m_dragType = 0;
    m_dragStartRect = CRect();
    if (m_bandActive) {
        m_bandActive = 0;
        RequestRepaint();
    }
    if (m_bEnabled && m_rcControl.PtInRect(point) && m_pParent)
        m_pParent->OnBaseMessage(m_nID, 2, 0, 0);
    return 1;
}

int NimbrelEffect::OnControlRButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_bandStart = point;
        m_selectedLayer = m_hoverLayer.load();
    } else {
        m_bandActive = 0;
        m_bandStart = m_bandEnd = CPoint();
    }
    return 1;
}

int NimbrelEffect::OnControlRButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bandActive) {
        m_bandActive = 0;
        if (m_pParent) m_pParent->OnBaseMessage(m_nID, 24, 0, 0);
        RequestRepaint();
        return 1;
    }
    if (m_rcControl.PtInRect(point)) {
        const int previous = m_rightKey;
        const int index = m_pointedKey;
        m_rightKey = index;
        UINT32 code = 0;
        {
            CAutoLock lock(m_keyLock);
            if (index >= 0 && index < static_cast<int>(m_keyItems.size()))
                code = m_keyItems[index]->keyCode;
        }
        if (m_pParent) m_pParent->OnBaseMessage(m_nID, 5, static_cast<UINT_PTR>(index), code);
        if (previous != index) RequestRepaint();
    }
    return 1;
}

int NimbrelEffect::OnControlScroll(int, UINT direction, CPoint)
{
    const float step = direction == 1 ? -0.15f : 0.15f;
    if (m_mode == 5) {
        m_gifScale = std::min(5.0f, std::max(0.01f, m_gifScale + step));
        CAutoLock paint(m_paintLock);
        SetDisplaySize();
    } else if (m_mode == 2) {
        CAutoLock lock(m_layerLock);
        const int selected = m_selectedLayer;
        if (selected >= 0 && selected < static_cast<int>(m_layers.size())) {
            LIGHTLAYER_INFO* layer = m_layers[selected];
            layer->scale = std::min(5.0f, std::max(0.01f, layer->scale + step));
        }
    }
    RequestRepaint();
    return 1;
}

void NimbrelEffect::CalFrameSelect()
{
    const CRect band(std::min(m_bandStart.x, m_bandEnd.x), std::min(m_bandStart.y, m_bandEnd.y),
                     std::max(m_bandStart.x, m_bandEnd.x), std::max(m_bandStart.y, m_bandEnd.y));
    const bool tooSmall = band.Width() < 6 || band.Height() < 6;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        CRect r = item->rect;
        r.OffsetRect(m_offsetX + m_rcControl.left, m_offsetY + m_rcControl.top);
        CRect both;
        item->selected = !tooSmall && both.IntersectRect(&r, &band) ? 1 : 0;
    }
}

}  // namespace WEXA
