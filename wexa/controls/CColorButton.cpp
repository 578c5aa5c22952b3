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
    buttonpaint::SetEnabledLook(this, m_nState, enabled);
}

int CColorButton::OnControlMouseMove(UINT, CPoint point)
{
    // The hover look shows from the swatch's next repaint on.
    return buttonpaint::TrackHover(this, m_nState, point) ? 1 : 0;
}

int CColorButton::OnControlLButtonDown(UINT, CPoint point)
{
    return buttonpaint::Press(this, m_nState, point, [this] {
        m_nCheck = 1;
        ResetGroupCheck();
    });
}

int CColorButton::OnControlLButtonUp(UINT, CPoint point)
{
    return buttonpaint::Release(this, m_nState, point);
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
    const bool drawn =
        buttonpaint::RenderStrip(this, dc, 4, [this](Gdiplus::Graphics& g, int w, int h) {
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
        });
    if (drawn) buttonpaint::CopyFrame(this, dc, m_nCheck ? 2 : m_nState);
}

}  // namespace WEXA
