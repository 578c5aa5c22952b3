#include "controls/ButtonPaint.h"
#include "GlyphFaces.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

namespace WEXA {
namespace buttonpaint {

bool NeedsRender(const MControl* control, int frames)
{
    const int w = control->m_rcControl.Width();
    const int h = control->m_rcControl.Height();
    return !control->m_bUpdate || !control->m_hMemDC || control->m_nMemWidth != w * frames ||
           control->m_nMemHeight != h;
}

bool BeginStrip(MControl* control, HDC& dc, int frames)
{
    const CRect rc = control->m_rcControl;
    const int w = rc.Width();
    const int h = rc.Height();
    if (w <= 0 || h <= 0 || frames <= 0) return false;
    control->UpdateMemDC(dc, w * frames, h);
    if (!control->m_hMemDC) return false;
    for (int i = 0; i < frames; ++i)
        ::BitBlt(control->m_hMemDC, i * w, 0, w, h, dc, rc.left, rc.top, SRCCOPY);
    return true;
}

void CopyFrame(MControl* control, HDC& dc, int frame)
{
    const CRect rc = control->m_rcControl;
    const int w = rc.Width();
    const int h = rc.Height();
    if (w <= 0 || h <= 0 || !control->m_hMemDC) return;
    if (frame < 0 || (frame + 1) * w > control->m_nMemWidth) frame = 0;
    ::BitBlt(dc, rc.left, rc.top, w, h, control->m_hMemDC, frame * w, 0, SRCCOPY);
}

void DrawButtonText(Gdiplus::Graphics& g, MControlFont* control, const wchar_t* text,
                    const Gdiplus::RectF& rect, Gdiplus::Color color, TextAlign align,
                    bool smoothing)
{
    DrawButtonText(g, control, text, rect, color, align, smoothing, control->m_textRenderingHint,
                   static_cast<float>(control->m_nFontWidth));
}

void DrawButtonText(Gdiplus::Graphics& g, MControlFont* control, const wchar_t* text,
                    const Gdiplus::RectF& rect, Gdiplus::Color color, TextAlign align,
                    bool smoothing, Gdiplus::TextRenderingHint hint, float size)
{
    if (!text || !*text || size <= 0) return;
    Gdiplus::FontFamily* family = control->GetFontFamily(control->m_strFontFace);
    Gdiplus::FontFamily fallback(L"Arial");
    if (!family) family = fallback.IsAvailable() ? &fallback : nullptr;
    Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(), size,
                       static_cast<int>(control->m_fontStyle), Gdiplus::UnitPixel);
    if (font.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::StringFormat format;
    format.SetAlignment(align == TextAlign::Centre ? Gdiplus::StringAlignmentCenter
                                                   : Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                          Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    g.SetTextRenderingHint(hint);
    if (smoothing) g.SetSmoothingMode(control->m_smoothingMode);
    Gdiplus::SolidBrush brush(color);
    GlyphFaces::DrawString(g, text, -1, &font, rect, &format, &brush);
}

namespace {

void Part(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::ImageAttributes* attributes,
          int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    g.DrawImage(image, Gdiplus::Rect(dx, dy, dw, dh), sx, sy, sw, sh, Gdiplus::UnitPixel,
                attributes);
}

}  // namespace

void DrawFaceFrame(Gdiplus::Graphics& g, MControlFont* control, int frame, const CRect& target,
                   int corner)
{
    Gdiplus::Image* image = control->m_pImage;
    const int w = control->m_nFrameWidth;
    const int h = control->m_nImageHeight;
    if (!image || w <= 0 || h <= 0 || target.IsRectEmpty()) return;
    const int x = frame * w;
    const int c =
        std::max(0, std::min({corner, w / 2, h / 2, target.Width() / 2, target.Height() / 2}));
    const int tw = target.Width(), th = target.Height();
    // The nine parts are put together in a face of their own, each part
    // replacing what lies under it, and the face is then blended over the
    // target once: where parts meet, a translucent edge or shadow pixel is
    // not blended twice.
    Gdiplus::Bitmap face(tw, th, PixelFormat32bppPARGB);
    if (face.GetLastStatus() != Gdiplus::Ok) return;
    {
        Gdiplus::Graphics fg(&face);
        fg.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        // Sampled pixel for pixel, and clamped at the cell's edges: a smoothing
        // filter would read the neighbouring frame into this frame's border.
        fg.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        fg.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        Gdiplus::ImageAttributes clamp;
        clamp.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        // The stretched parts reach one pixel under their neighbours, which are
        // drawn after them: no seam opens between the parts.
        const int L = 0, T = 0, R = tw, B = th;
        const int cw = R - L - 2 * c, ch = B - T - 2 * c, sw = w - 2 * c, sh = h - 2 * c;
        const int grow = c > 0 ? 1 : 0;
        Part(fg, image, &clamp, L + c - grow, T + c - grow, cw + 2 * grow, ch + 2 * grow, x + c, c,
             sw, sh);
        Part(fg, image, &clamp, L + c - grow, T, cw + 2 * grow, c, x + c, 0, sw, c);
        Part(fg, image, &clamp, L + c - grow, B - c, cw + 2 * grow, c, x + c, h - c, sw, c);
        Part(fg, image, &clamp, L, T + c - grow, c, ch + 2 * grow, x, c, c, sh);
        Part(fg, image, &clamp, R - c, T + c - grow, c, ch + 2 * grow, x + w - c, c, c, sh);
        Part(fg, image, &clamp, L, T, c, c, x, 0, c, c);
        Part(fg, image, &clamp, R - c, T, c, c, x + w - c, 0, c, c);
        Part(fg, image, &clamp, L, B - c, c, c, x, h - c, c, c);
        Part(fg, image, &clamp, R - c, B - c, c, c, x + w - c, h - c, c, c);
    }
    const Gdiplus::InterpolationMode interpolation = g.GetInterpolationMode();
    const Gdiplus::PixelOffsetMode offset = g.GetPixelOffsetMode();
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(&face, Gdiplus::Rect(target.left, target.top, tw, th), 0, 0, tw, th,
                Gdiplus::UnitPixel);
    g.SetInterpolationMode(interpolation);
    g.SetPixelOffsetMode(offset);
}

void SetHandCursor(bool hand)
{
    ::SetCursor(::LoadCursorW(nullptr, hand ? IDC_HAND : IDC_ARROW));
}

Gdiplus::Image* LoadSkinImage(const wchar_t* file)
{
    if (!file || !*file) return nullptr;
    const CString path = GetSkinsPath() + file;
    Gdiplus::Image* image = MRender::LoadImageFromFile(path);
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    return image;
}

void Repaint(MControl* control, int erase)
{
    if (control->m_bVisible && control->m_pParent)
        control->m_pParent->OnControlUpdate(control->m_rcControl, erase, control);
}

}  // namespace buttonpaint
}  // namespace WEXA
