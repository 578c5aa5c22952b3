#include "CSwitchButton.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "controls/ButtonPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CSwitchButton,
                      new CSwitchButton(a.owner, a.id, a.rect, a.visible, a.enabled));

using buttonpaint::Repaint;

CSwitchButton::CSwitchButton(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nState(enabled ? 0 : 3),
      m_pOnImage(nullptr),
      m_pOffImage(nullptr),
      m_nOnWidth(0),
      m_nOnHeight(0),
      m_nOffWidth(0),
      m_nOffHeight(0),
      m_nOn(0),
      m_bPressing(0)
{
    m_bTabStop = 1;
    m_uVAlignment = DT_VCENTER;
}

CSwitchButton::~CSwitchButton()
{
    delete m_pOnImage;
    m_pOnImage = nullptr;
    delete m_pOffImage;
    m_pOffImage = nullptr;
}

int CSwitchButton::SetImage(const wchar_t* on, const wchar_t* off, int frames)
{
    frames = std::max(frames, 1);
    delete m_pOnImage;
    m_pOnImage = buttonpaint::LoadSkinImage(on);
    if (m_pOnImage) {
        m_nOnWidth = static_cast<int>(m_pOnImage->GetWidth()) / frames;
        m_nOnHeight = static_cast<int>(m_pOnImage->GetHeight());
        m_nFrameCount = frames;
    }
    delete m_pOffImage;
    m_pOffImage = buttonpaint::LoadSkinImage(off);
    if (m_pOffImage) {
        m_nOffWidth = static_cast<int>(m_pOffImage->GetWidth()) / frames;
        m_nOffHeight = static_cast<int>(m_pOffImage->GetHeight());
        m_nFrameCount = frames;
    }
    m_bUpdate = 0;
    return 1;
}

int CSwitchButton::SetCheck(int on)
{
    const bool changed = on != m_nOn;
    m_nOn = on;
    m_nState = 0;
    if (changed) Repaint(this, 1);
    return m_nOn;
}

void CSwitchButton::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    Repaint(this, 0);
}

int CSwitchButton::OnControlMouseMove(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled && !m_bPressing) m_nState = m_rcControl.PtInRect(point) ? 1 : 0;
    if (m_nState == old) return 0;
    Repaint(this, 0);
    return 1;
}

int CSwitchButton::OnControlLButtonDown(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled && m_rcControl.PtInRect(point)) {
        m_bPressing = 1;
        m_nState = 1;
    }
    if (m_nState == old) return 0;
    Repaint(this, 1);
    return 1;
}

int CSwitchButton::OnControlLButtonUp(UINT, CPoint point)
{
    const int oldState = m_nState;
    const int oldOn = m_nOn;
    if (m_bEnabled) {
        if (!m_rcControl.PtInRect(point)) {
            m_nState = 0;
        } else if (m_bPressing) {
            m_nOn = m_nOn ? 0 : 1;
            SendMessageW(2, 0, m_nOn);
        }
    }
    m_bPressing = 0;
    if (m_nOn != oldOn) {
        Repaint(this, 1);
        return 1;
    }
    if (m_nState != oldState) {
        Repaint(this, 0);
        return 1;
    }
    return 0;
}

int CSwitchButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

void CSwitchButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        Gdiplus::Image* image = m_nOn ? m_pOnImage : m_pOffImage;
        const int fw = m_nOn ? m_nOnWidth : m_nOffWidth;
        const int fh = m_nOn ? m_nOnHeight : m_nOffHeight;
        for (int i = 0; i < 4 && image && fw > 0; ++i) {
            const int frame = i < m_nFrameCount ? i : 0;
            g.DrawImage(image, Gdiplus::Rect(i * w, (h - fh) / 2, fw, fh), frame * fw, 0, fw, fh,
                        Gdiplus::UnitPixel);
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
}

}  // namespace WEXA
