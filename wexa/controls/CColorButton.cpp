#include "CColorButton.h"

#include "ControlRegistry.h"
#include "controls/ButtonPaint.h"
#include "controls/GroupReset.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CColorButton, new CColorButton(a.owner, a.id, a.rect, a.visible, a.enabled));

using buttonpaint::Repaint;

CColorButton::CColorButton(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nState(0),
      m_crColor(0xFFFFFF),
      m_nCheck(0),
      m_bVisibleBorder(false)
{}

CColorButton::~CColorButton() = default;

const wchar_t* CColorButton::GetClassNameW() const
{
    return L"ColorButton";
}

void CColorButton::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    Repaint(this, 0);
}

int CColorButton::OnControlMouseMove(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled && m_nState != 2) {
        const bool inside = m_rcControl.PtInRect(point) != FALSE;
        m_nState = inside ? 1 : 0;
        buttonpaint::SetHandCursor(inside);
    }
    // The hover look shows from the swatch's next repaint on.
    return m_nState != old ? 1 : 0;
}

int CColorButton::OnControlLButtonDown(UINT, CPoint point)
{
    const int old = m_nState;
    if (m_bEnabled && m_rcControl.PtInRect(point)) {
        buttonpaint::SetHandCursor(true);
        m_nState = 2;
        m_nCheck = 1;
        ResetGroupCheck();
        SendMessageW(1, 0, 0);
    }
    if (m_nState == old) return 0;
    Repaint(this, 0);
    return 1;
}

int CColorButton::OnControlLButtonUp(UINT, CPoint point)
{
    const int old = m_nState;
    bool click = false;
    if (m_bEnabled) {
        if (m_rcControl.PtInRect(point)) {
            m_nState = 1;
            click = old == 2;
        } else {
            m_nState = 0;
        }
    }
    if (m_nState == old) return 0;
    Repaint(this, 0);
    if (click) SendMessageW(2, 0, 0);
    return 1;
}

int CColorButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

int CColorButton::SetCheck(int check)
{
    if (!m_bEnabled) return m_nCheck;
    const bool changed = check != m_nCheck;
    m_nCheck = check;
    m_nState = check ? 2 : 0;
    if (changed) {
        ResetGroupCheck();
        Repaint(this, 0);
    }
    return m_nCheck;
}

void CColorButton::SetControlCheck(int check)
{
    m_nCheck = check;
    m_nState = check ? 2 : 0;
    Repaint(this, 0);
}

int CColorButton::ResetGroupCheck()
{
    return groupreset::ResetGroup(this, true, [](CColorButton* other) {
        other->m_nCheck = 0;
        other->m_nState = 0;
        Repaint(other, 0);
    });
}

void CColorButton::SetColor(COLORREF color)
{
    if (color == m_crColor) return;
    m_crColor = color;
    Repaint(this, 1);
}

void CColorButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        Gdiplus::SolidBrush swatch(buttonpaint::FromColorRef(m_crColor));
        for (int i = 0; i < 4; ++i) {
            const int x = i * w;
            if (m_bVisibleBorder) {
                g.FillRectangle(&swatch, x + 3, 3, w - 6, h - 6);
                continue;
            }
            if (m_pImage)
                g.DrawImage(m_pImage, Gdiplus::Rect(x, 0, w, h), 0, 0,
                            static_cast<int>(m_pImage->GetWidth()),
                            static_cast<int>(m_pImage->GetHeight()), Gdiplus::UnitPixel);
            else
                g.FillRectangle(&swatch, x + 2, 2, w - 4, h - 4);
            if (i >= 1) {
                Gdiplus::Pen outline(Gdiplus::Color(i == 3 ? 0xFF808080 : 0xFFF5F5F5), 2.0f);
                g.DrawRectangle(&outline, x + 1, 1, w - 2, h - 2);
            }
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nCheck ? 2 : m_nState);
}

}  // namespace WEXA
