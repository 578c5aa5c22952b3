#pragma once
// Drawing steps the standard controls share: the cached look with its state
// frames side by side, the window content behind a control, and GDI+ text in
// a control's font.
#include <windows.h>

#include <memory>

#include "CRect.h"
#include "GlyphFaces.h"
#include "MControlFont.h"
#include "WexaGdiplus.h"

namespace WEXA {
namespace paint {

// Makes the control's off-screen image frames x (width by height) and copies
// the window content behind the control into every frame. False when the
// control has no area or the image could not be made.
inline bool BeginFrames(MControl* c, HDC& dc, int frames)
{
    const int w = c->m_rcControl.Width(), h = c->m_rcControl.Height();
    if (w <= 0 || h <= 0 || frames < 1) return false;
    c->UpdateMemDC(dc, w * frames, h);
    if (!c->m_hMemDC) return false;
    for (int i = 0; i < frames; ++i)
        ::BitBlt(c->m_hMemDC, i * w, 0, w, h, dc, c->m_rcControl.left, c->m_rcControl.top, SRCCOPY);
    return true;
}

// Copies frame `frame` of the off-screen image to the control's place.
inline void ShowFrame(MControl* c, HDC& dc, int frame)
{
    const int w = c->m_rcControl.Width(), h = c->m_rcControl.Height();
    if (w <= 0 || h <= 0 || !c->m_hMemDC) return;
    ::BitBlt(dc, c->m_rcControl.left, c->m_rcControl.top, w, h, c->m_hMemDC, frame * w, 0, SRCCOPY);
}

// The control's font (face, pixel size, style); the engine's private family
// when it has one, else the system family of that name.
class ControlFont
{
public:
    explicit ControlFont(MControlFont* c)
    {
        Gdiplus::FontFamily* family = c->GetFontFamily(c->m_strFontFace);
        if (family) {
            m_font.reset(new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(c->m_nFontWidth),
                                           c->m_fontStyle, Gdiplus::UnitPixel));
        } else {
            const wchar_t* face =
                c->m_strFontFace.IsEmpty() ? L"Arial" : c->m_strFontFace.GetString();
            m_font.reset(new Gdiplus::Font(face, static_cast<Gdiplus::REAL>(c->m_nFontWidth),
                                           c->m_fontStyle, Gdiplus::UnitPixel));
            if (m_font->GetLastStatus() != Gdiplus::Ok)
                m_font.reset(new Gdiplus::Font(L"Arial",
                                               static_cast<Gdiplus::REAL>(c->m_nFontWidth),
                                               c->m_fontStyle, Gdiplus::UnitPixel));
        }
    }
    Gdiplus::Font* get() const { return m_font.get(); }

private:
    std::unique_ptr<Gdiplus::Font> m_font;
};

// Text in a box with the given alignments and NoWrap | MeasureTrailingSpaces.
inline void DrawText(Gdiplus::Graphics& g, const Gdiplus::Font* font, const wchar_t* text,
                     const Gdiplus::RectF& box, Gdiplus::ARGB color, Gdiplus::StringAlignment align,
                     Gdiplus::StringAlignment lineAlign)
{
    if (!text || !*text || !font) return;
    Gdiplus::StringFormat format;
    format.SetAlignment(align);
    format.SetLineAlignment(lineAlign);
    format.SetFormatFlags(0x1800);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    GlyphFaces::DrawString(g, text, -1, font, box, &format, &brush);
}

inline Gdiplus::StringAlignment LineAlignmentOf(UINT vertical)
{
    if (vertical == DT_VCENTER) return Gdiplus::StringAlignmentCenter;
    if (vertical == DT_BOTTOM) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

// The control's owner repaints its rectangle when the control is visible.
inline void Repaint(MControl* c, int erase)
{
    if (c->m_bVisible && c->m_pParent) c->m_pParent->OnControlUpdate(c->m_rcControl, erase, c);
}

}  // namespace paint
}  // namespace WEXA
