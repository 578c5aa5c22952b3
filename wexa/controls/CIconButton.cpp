#include "CIconButton.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "controls/ButtonPaint.h"
#include "controls/GroupReset.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CIconButton,
                      new CIconButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

using buttonpaint::Repaint;

CIconButton::CIconButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                         int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_nState(enabled ? 0 : 3),
      m_nFrameSize(4),
      m_pIconImage(nullptr),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_nIconFrames(4),
      m_rcText{0, 0, 0, 0},
      m_nCheck(0),
      m_nDown(0),
      m_bShowTips(false),
      m_pTips(nullptr)
{
    m_uAlignment = 1;
}

CIconButton::~CIconButton()
{
    DestroyTips();
    delete m_pIconImage;
    m_pIconImage = nullptr;
}

const wchar_t* CIconButton::GetClassNameW() const
{
    return L"IconButton";
}

int CIconButton::SetIconImage(const wchar_t* file, int frames)
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

void CIconButton::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    Repaint(this, 0);
}

int CIconButton::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int old = m_nState;
    const bool inside = m_rcControl.PtInRect(point) != FALSE;
    buttonpaint::SetHandCursor(inside);
    m_nState = inside ? 1 : 0;
    SetTips(inside);
    if (m_nState == old) return 0;
    Repaint(this, 0);
    return 1;
}

int CIconButton::OnControlLButtonDown(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled && m_rcControl.PtInRect(point)) {
        m_nState = 2;
        m_nDown = 1;
        SendMessageW(1, 0, 0);
    }
    if (m_nState == old) return 0;
    Repaint(this, 0);
    return 1;
}

int CIconButton::OnControlLButtonUp(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled) {
        if (m_rcControl.PtInRect(point)) {
            m_nDown = 1;
            ResetGroupCheck();
            SendMessageW(2, 0, 0);
            m_nState = 2;
        } else {
            m_nState = 0;
        }
    }
    if (m_nState == old) return 0;
    Repaint(this, 0);
    return 1;
}

int CIconButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

int CIconButton::SetCheck(int check)
{
    m_nCheck = check;
    m_nDown = 0;
    m_nState = 0;
    Repaint(this, 1);
    return 1;
}

void CIconButton::SetControlCheck(int down)
{
    m_nDown = down;
    m_nState = down ? 2 : 0;
    Repaint(this, 0);
}

int CIconButton::SetDownState(int)
{
    m_nDown = 0;
    m_nState = 0;
    Repaint(this, 1);
    return 1;
}

int CIconButton::ResetGroupCheck()
{
    return groupreset::ResetGroup(this, true, [](CIconButton* other) {
        other->m_nDown = 0;
        other->m_nState = 0;
        Repaint(other, 0);
    });
}

void CIconButton::SetTips(CString text1, CString text2, CString text3)
{
    m_strTips[0] = text1;
    m_strTips[1] = text2;
    m_strTips[2] = text3;
}

void CIconButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        const CRect text(m_rcText);
        for (int i = 0; i < 4; ++i) {
            buttonpaint::DrawFaceFrame(g, this, i < m_nFrameCount ? i : 0,
                                       CRect(i * w, 0, i * w + w, h), 20);
            if (m_pIconImage && m_nIconWidth > 0)
                g.DrawImage(
                    m_pIconImage,
                    Gdiplus::Rect(i * w + 10, (h - m_nIconHeight) / 2, m_nIconWidth, m_nIconHeight),
                    0, 0, m_nIconWidth, m_nIconHeight, Gdiplus::UnitPixel);
            if (m_strTitle.IsEmpty()) continue;
            if (text.IsRectEmpty()) {
                buttonpaint::DrawButtonText(
                    g, this, m_strTitle,
                    Gdiplus::RectF(static_cast<float>(i * w), 0.0f, static_cast<float>(w),
                                   static_cast<float>(h)),
                    m_clrText, buttonpaint::TextAlign::Centre, false);
            } else {
                const float d = i == 2 ? 1.0f : 0.0f;
                buttonpaint::DrawButtonText(g, this, m_strTitle,
                                            Gdiplus::RectF(text.left + i * w + d, text.top + d,
                                                           static_cast<float>(text.Width()),
                                                           static_cast<float>(text.Height())),
                                            i == 1 ? m_clrText : Gdiplus::Color(0xFEC8C8C8),
                                            buttonpaint::TextAlign::Centre, false);
            }
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nCheck ? 3 : (m_nDown ? 1 : m_nState));
}

}  // namespace WEXA
