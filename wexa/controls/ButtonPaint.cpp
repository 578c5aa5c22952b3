#include "controls/ButtonPaint.h"

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
    g.DrawString(text, -1, &font, rect, &format, &brush);
}

void DrawFaceFrame(Gdiplus::Graphics& g, MControlFont* control, int frame, const CRect& target,
                   int corner)
{
    if (!control->m_pImage || control->m_nFrameWidth <= 0 || control->m_nImageHeight <= 0) return;
    MRender::DrawImageFrame(g, control->m_pImage, target, frame * control->m_nFrameWidth, 0,
                            control->m_nFrameWidth, control->m_nImageHeight, corner);
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
