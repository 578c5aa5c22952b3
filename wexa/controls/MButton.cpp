#include "MButton.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ButtonPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MButton, new MButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CImageButton,
                      new CImageButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(MButton3, new MButton3(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CHelpButton,
                      new CHelpButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

using buttonpaint::Repaint;

namespace {

const Gdiplus::Color kGreyText(0xFF808080);

int FaceFrame(const MControlFont* control, int frame)
{
    return frame < control->m_nFrameCount ? frame : 0;
}

// The balloon's anchor in screen coordinates of the engine's window.
POINT ToScreen(PaintManager* manager, POINT point)
{
    if (manager && manager->GetPaintWnd()) ::ClientToScreen(manager->GetPaintWnd(), &point);
    return point;
}

}  // namespace

// ---- MButton ----

MButton::MButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_nState(enabled ? 0 : 3),
      m_nFrameSize(8),
      m_pIconImage(nullptr),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_nIconFrames(4),
      m_rcText{0, 0, 0, 0}
{
    m_uAlignment = 1;
}

MButton::~MButton()
{
    delete m_pIconImage;
    m_pIconImage = nullptr;
}

int MButton::SetIconImage(const wchar_t* file, int frames)
{
    frames = std::max(frames, 1);
    delete m_pIconImage;
    m_pIconImage = buttonpaint::LoadSkinImage(file);
    if (!m_pIconImage) {
        m_nIconWidth = m_nIconHeight = 0;
        return 0;
    }
    m_nIconWidth = static_cast<int>(m_pIconImage->GetWidth()) / frames;
    m_nIconHeight = static_cast<int>(m_pIconImage->GetHeight());
    m_nIconFrames = frames;
    return 1;
}

void MButton::SetControlEnabled(int enabled)
{
    buttonpaint::SetEnabledLook(this, m_nState, enabled);
}

int MButton::OnControlMouseMove(UINT, CPoint point)
{
    if (!buttonpaint::TrackHover(this, m_nState, point)) return 0;
    Repaint(this, 0);
    return 1;
}

int MButton::OnControlLButtonDown(UINT, CPoint point)
{
    return buttonpaint::Press(this, m_nState, point, [] {});
}

int MButton::OnControlLButtonUp(UINT, CPoint point)
{
    return buttonpaint::Release(this, m_nState, point);
}

int MButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

void MButton::DrawIconInFrame(Gdiplus::Graphics& g, int frame)
{
    if (!m_pIconImage || m_nIconWidth <= 0) return;
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    const int iconFrame = frame < m_nIconFrames ? frame : 0;
    g.DrawImage(m_pIconImage,
                Gdiplus::Rect(frame * w + 10, (h - m_nIconHeight) / 2, m_nIconWidth, m_nIconHeight),
                iconFrame * m_nIconWidth, 0, m_nIconWidth, m_nIconHeight, Gdiplus::UnitPixel);
}

void MButton::DrawControl(HDC& dc, CRect)
{
    const bool drawn =
        buttonpaint::RenderStrip(this, dc, 4, [this](Gdiplus::Graphics& g, int w, int h) {
            const CRect text(m_rcText);
            for (int i = 0; i < 4; ++i) {
                buttonpaint::DrawFaceFrame(g, this, FaceFrame(this, i),
                                           CRect(i * w, 0, i * w + w, h), m_nFrameSize);
                DrawIconInFrame(g, i);
                if (m_strTitle.IsEmpty()) continue;
                const float d = i == 2 ? 1.0f : 0.0f;
                Gdiplus::RectF layout =
                    text.IsRectEmpty()
                        ? Gdiplus::RectF(i * w + d, d, static_cast<float>(w), static_cast<float>(h))
                        : Gdiplus::RectF(text.left + i * w + d, text.top + d,
                                         static_cast<float>(text.Width()),
                                         static_cast<float>(text.Height()));
                buttonpaint::DrawButtonText(g, this, m_strTitle, layout,
                                            i == 3 ? kGreyText : m_clrText,
                                            buttonpaint::TextAlign::Centre, true);
            }
        });
    if (drawn) buttonpaint::CopyFrame(this, dc, m_nState);
}

// ---- CImageButton ----

CImageButton::CImageButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MButton(owner, id, rect, title, visible, enabled),
      m_airMode(AIRBLADDER_MODE_NONE)
{}

CImageButton::~CImageButton() = default;

void CImageButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        const int fw = m_nFrameWidth;
        const int fh = m_nImageHeight;
        for (int i = 0; i < 4 && m_pImage && fw > 0; ++i) {
            if (m_nFrameCount == 1) {
                if (i == 1 || i == 2) {
                    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
                    MRender::DrawRoundRectange(g, static_cast<float>(i * w + 3), 3.0f,
                                               static_cast<float>(w - 6), static_cast<float>(h - 6),
                                               6.0f, Manager::m_down_color.GetValue(), 1.0f,
                                               Manager::m_normal_color.GetValue());
                }
                g.DrawImage(m_pImage, Gdiplus::Rect(i * w + (w - fw) / 2, (h - fh) / 2, fw, fh), 0,
                            0, fw, fh, Gdiplus::UnitPixel);
            } else {
                g.DrawImage(m_pImage, Gdiplus::Rect(i * w, 0, fw, fh), FaceFrame(this, i) * fw, 0,
                            fw, fh, Gdiplus::UnitPixel);
            }
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
}

int CImageButton::OnControlMouseMove(UINT flags, CPoint point)
{
    const int changed = MButton::OnControlMouseMove(flags, point);
    if (!changed || m_airMode == AIRBLADDER_MODE_NONE || m_strTitle.IsEmpty() || !m_pManager)
        return changed;
    if (m_nState != 1) {
        m_pManager->ShowAirBladder(0, 0);
        return changed;
    }
    POINT anchor;
    anchor.y = m_rcControl.top + (m_rcControl.bottom - m_rcControl.top) / 2;
    anchor.x = m_airMode == AIRBLADDER_MODE_RIGHT  ? m_rcControl.right
               : m_airMode == AIRBLADDER_MODE_LEFT ? m_rcControl.left
                                                   : 0;
    m_pManager->SetAirBladderMsg(m_strTitle, ToScreen(m_pManager, anchor), AIRBLADDER_TYPE_BUTTON,
                                 m_airMode);
    m_pManager->ShowAirBladder(1, 0);
    return changed;
}

// ---- MButton3 ----

MButton3::MButton3(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                   int enabled)
    : MButton(owner, id, rect, title, visible, enabled),
      m_nCheck(0)
{}

MButton3::~MButton3() = default;

int MButton3::SetCheck(int check)
{
    if (m_bEnabled && check != m_nCheck) {
        m_nCheck = check;
        Repaint(this, 0);
    }
    return m_nCheck;
}

int MButton3::OnControlLButtonUp(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled) {
        if (m_rcControl.PtInRect(point)) {
            m_nState = 1;
            m_nCheck = m_nCheck ? 0 : 1;
            SendMessageW(2, 0, 0);
        } else {
            m_nState = 0;
        }
    }
    if (m_nState == old) return 0;
    Repaint(this, 0);
    return 1;
}

void MButton3::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        for (int i = 0; i < 4; ++i) {
            buttonpaint::DrawFaceFrame(g, this, FaceFrame(this, i), CRect(i * w, 0, i * w + w, h),
                                       m_nFrameSize);
            DrawIconInFrame(g, i);
            if (m_strTitle.IsEmpty()) continue;
            const float d = i == 2 ? 1.0f : 0.0f;
            buttonpaint::DrawButtonText(
                g, this, m_strTitle,
                Gdiplus::RectF(i * w + d, d, static_cast<float>(w), static_cast<float>(h)),
                Gdiplus::Color(i == 2 ? 0xFFFFFFFF : 0xFF333333), buttonpaint::TextAlign::Centre,
                false);
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nCheck ? 2 : m_nState);
}

// ---- CHelpButton ----

CHelpButton::CHelpButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                         int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_airMode(AIRBLADDER_MODE_LEFT)
{
    m_nFrameCount = 1;
}

CHelpButton::~CHelpButton() = default;

void CHelpButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 1)) {
        if (!buttonpaint::BeginStrip(this, dc, 1)) return;
        if (m_pImage && m_nFrameWidth > 0) {
            // The icon (the first frame of a strip) scaled to the button.
            Gdiplus::Graphics g(m_hMemDC);
            g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            g.DrawImage(m_pImage, Gdiplus::Rect(0, 0, w, h), 0, 0, m_nFrameWidth, m_nImageHeight,
                        Gdiplus::UnitPixel);
        }
    }
    buttonpaint::CopyFrame(this, dc, 0);
}

int CHelpButton::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || m_strTitle.IsEmpty()) return 0;
    if (!m_rcControl.PtInRect(point)) {
        // Hides only its own balloon (or any, with id 0).
        if (m_pManager) m_pManager->ShowAirBladder(0, static_cast<int>(m_nID));
        return 0;
    }
    if (!m_pManager) return 1;
    POINT anchor = m_airMode == AIRBLADDER_MODE_LEFT
                       ? POINT{m_rcControl.left - 2, m_rcControl.top}
                       : POINT{m_rcControl.left + 20, m_rcControl.top};
    m_pManager->SetAirBladderMsg(m_strTitle, ToScreen(m_pManager, anchor), AIRBLADDER_TYPE_BUTTON,
                                 m_airMode);
    m_pManager->ShowAirBladder(1, static_cast<int>(m_nID));
    return 1;
}

}  // namespace WEXA
