#include "keyboard/PickerCommon.h"
#include "GlyphFaces.h"

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

namespace {

// An arrow pointing left (0), up (1), right (2) or down (3), centred in the box.
void DrawArrow(Gdiplus::Graphics& g, const Gdiplus::RectF& box, float size, int direction,
               Gdiplus::Color color)
{
    const float half = size * 0.45f;
    const float cx = box.X + box.Width / 2.0f, cy = box.Y + box.Height / 2.0f;
    // The arrow pointing right, then turned.
    Gdiplus::PointF shaft[2] = {{-half, 0.0f}, {half, 0.0f}};
    Gdiplus::PointF head[3] = {
        {half * 0.1f, -half * 0.75f}, {half, 0.0f}, {half * 0.1f, half * 0.75f}};
    Gdiplus::Matrix turn;
    turn.Translate(cx, cy);
    turn.Rotate(90.0f * static_cast<float>(direction) + 180.0f);
    turn.TransformPoints(shaft, 2);
    turn.TransformPoints(head, 3);
    Gdiplus::Pen pen(color, size >= 12.0f ? 1.6f : 1.3f);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    g.DrawLine(&pen, shaft[0], shaft[1]);
    g.DrawLines(&pen, head, 3);
}

bool WordsFit(Gdiplus::Graphics& g, const Gdiplus::Font& font, const CString& text, float width)
{
    const wchar_t* s = text;
    const int n = text.GetLength();
    int start = 0;
    Gdiplus::StringFormat one(Gdiplus::StringFormat::GenericTypographic());
    one.SetFormatFlags(0x1800 | Gdiplus::StringFormatFlagsNoClip);
    for (int i = 0; i <= n; ++i) {
        if (i < n && s[i] != L' ') continue;
        if (i > start) {
            Gdiplus::RectF out;
            g.MeasureString(s + start, i - start, &font, Gdiplus::PointF(0, 0), &one, &out);
            if (out.Width > width) return false;
        }
        start = i + 1;
    }
    return true;
}

}  // namespace

void DrawKeyLabel(Gdiplus::Graphics& g, Gdiplus::FontFamily* family, float size, INT style,
                  const CString& text, const Gdiplus::RectF& box, Gdiplus::Color color)
{
    if (text.GetLength() == 1 && text[0] >= 0x2190 && text[0] <= 0x2193) {
        DrawArrow(g, box, size, text[0] - 0x2190, color);
        return;
    }
    if (!family || text.IsEmpty()) return;
    Gdiplus::SolidBrush brush(color);
    // Measured and drawn without the padding the default layout adds around
    // a text, which would cost a narrow key a few pixels of its caption.
    Gdiplus::StringFormat line(Gdiplus::StringFormat::GenericTypographic());
    line.SetFormatFlags(0x1800);
    line.SetAlignment(Gdiplus::StringAlignmentCenter);
    line.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::StringFormat lines(Gdiplus::StringFormat::GenericTypographic());
    lines.SetFormatFlags(0x800);
    lines.SetAlignment(Gdiplus::StringAlignmentCenter);
    lines.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const float room = box.Width - 2.0f;
    const float smallest = size < 8.0f ? size : 8.0f;
    for (float s = size; s >= smallest; s -= 1.0f) {
        Gdiplus::Font font(family, s, style, Gdiplus::UnitPixel);
        Gdiplus::RectF out;
        g.MeasureString(text, text.GetLength(), &font, Gdiplus::PointF(0, 0), &line, &out);
        if (out.Width <= room) {
            GlyphFaces::DrawString(g, text, text.GetLength(), &font, box, &line, &brush);
            return;
        }
        if (WordsFit(g, font, text, room)) {
            Gdiplus::RectF wrapped;
            g.MeasureString(text, text.GetLength(), &font, Gdiplus::RectF(0, 0, room, 1000.0f),
                            &lines, &wrapped);
            if (wrapped.Height <= box.Height) {
                GlyphFaces::DrawString(g, text, text.GetLength(), &font, box, &lines, &brush);
                return;
            }
        }
    }
    Gdiplus::Font font(family, smallest, style, Gdiplus::UnitPixel);
    GlyphFaces::DrawString(g, text, text.GetLength(), &font, box, &line, &brush);
}

}  // namespace picker
}  // namespace WEXA
