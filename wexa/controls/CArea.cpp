#include "CArea.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "controls/ButtonPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CArea, new CArea(a.owner, a.id, a.rect, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CRoundArea, new CRoundArea(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

const float kCornerRadius = 10.0f;

}  // namespace

// ---- CArea ----

CArea::CArea(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControl(owner, id, rect, visible, enabled, 1),
      m_nTransparent1(80),
      m_nTransparent2(80),
      m_crFill(0xFFFFFF),
      m_bFrame(0),
      m_clrFrame(0xFE050505)
{}

CArea::~CArea() = default;

void CArea::SetTransparent(int first, int second, COLORREF color)
{
    m_nTransparent1 = first;
    m_nTransparent2 = second;
    m_crFill = color & 0xFFFFFF;
    buttonpaint::Repaint(this, 1);
}

void CArea::SetFrame(int on, Gdiplus::Color color, int)
{
    m_bFrame = on;
    m_clrFrame = color;
    buttonpaint::Repaint(this, 1);
}

void CArea::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 1)) {
        if (!buttonpaint::BeginStrip(this, dc, 1)) return;
        Gdiplus::Graphics g(m_hMemDC);
        const Gdiplus::Color fill = buttonpaint::FromColorRef(m_crFill);
        if (m_bFrame) {
            Gdiplus::SolidBrush frame(m_clrFrame);
            g.FillRectangle(&frame, 0, 0, w, h);
            // The inside replaces the frame colour: opaque even under a translucent frame.
            g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            Gdiplus::SolidBrush inside(fill);
            g.FillRectangle(&inside, 1, 1, w - 2, h - 2);
        } else if (h >= 10) {
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            MRender::DrawRoundRectange(g, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                                       kCornerRadius, fill.GetValue());
        } else {
            Gdiplus::SolidBrush inside(fill);
            g.FillRectangle(&inside, 0, 0, w, h);
        }
    }
    buttonpaint::CopyFrame(this, dc, 0);
}

// ---- CRoundArea ----

CRoundArea::CRoundArea(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControl(owner, id, rect, visible, enabled, 1),
      m_clrFill(0xC82B2B2B),
      m_bRound(1)
{}

CRoundArea::~CRoundArea() = default;

void CRoundArea::SetColor(Gdiplus::Color color)
{
    m_clrFill = color;
    buttonpaint::Repaint(this, 1);
}

void CRoundArea::SetRound(int round)
{
    m_bRound = round ? 1 : 0;
}

void CRoundArea::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 1)) {
        if (!buttonpaint::BeginStrip(this, dc, 1)) return;
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        if (m_bRound && w >= 10 && h >= 10) {
            MRender::DrawRoundRectange(g, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                                       kCornerRadius, m_clrFill.GetValue());
        } else {
            Gdiplus::SolidBrush brush(m_clrFill);
            g.FillRectangle(&brush, 0, 0, w, h);
        }
    }
    buttonpaint::CopyFrame(this, dc, 0);
}

}  // namespace WEXA
