#include "MenuItem.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "controls/ControlPaint.h"

#include "MenuWnd.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MenuItem, new MenuItem(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

MenuItem::MenuItem(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                   int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_nState(0),
      m_bChecked(0),
      m_bItemPressed(0),
      m_bCheckMode(0),
      m_bSeparator(0),
      m_bPopup(0),
      m_pPopupMenu(nullptr),
      m_nTextIndent(30),
      m_nFrameWidthMenu(0),
      m_strGroupName(L"Menu Group"),
      m_clrHover(Manager::GetHoverColor().GetValue()),
      m_pHoverImage(nullptr),
      m_nHoverImageWidth(0),
      m_nHoverImageHeight(0),
      m_pSecondImage(nullptr),
      m_nSecondImageWidth(0),
      m_nSecondImageHeight(0)
{
    m_nFrameCount = 3;
    m_uVAlignment = DT_VCENTER;
}

MenuItem::~MenuItem()
{
    if (m_pPopupMenu && IsWindow(m_pPopupMenu->GetSafeHwnd())) m_pPopupMenu->CloseWindow();
}

const wchar_t* MenuItem::GetClassNameW() const
{
    return L"MenuItem";
}

void MenuItem::Repaint(int erase)
{
    paint::Repaint(this, erase);
}

int MenuItem::SetCheck(int)
{
    return 0;
}

void MenuItem::SetControlCheck(int check)
{
    m_bChecked = check;
    m_nState = check ? 2 : 0;
    Repaint(0);
}

void MenuItem::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        for (int frame = 1; frame <= 2; ++frame)
            MRender::DrawRoundRectange(g, static_cast<float>(frame * W + 3), 3.0f,
                                       static_cast<float>(W - 6), static_cast<float>(H - 6), 6.0f,
                                       0xFF4977E5);
        if (!m_strTitle.IsEmpty()) {
            SetTextColor(Gdiplus::Color(0xFD050505));
            paint::ControlFont font(this);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            const Gdiplus::StringAlignment line = paint::LineAlignmentOf(m_uVAlignment);
            for (int frame = 0; frame < 4; ++frame) {
                const float left = static_cast<float>(frame * W + m_nTextIndent);
                paint::DrawText(
                    g, font.get(), m_strTitle,
                    Gdiplus::RectF(left, 0.0f, static_cast<float>((frame + 1) * W) - left,
                                   static_cast<float>(H)),
                    frame == 3 ? 0xFF808080 : 0xFD050505, Gdiplus::StringAlignmentNear, line);
            }
        }
    }
    paint::ShowFrame(this, dc, m_nState);
}

void MenuItem::SetControlEnabled(int enabled)
{
    if (m_bEnabled == enabled) return;
    m_bEnabled = enabled;
    m_nState = !enabled ? 3 : (m_bChecked ? 2 : 0);
    Repaint(1);
}

int MenuItem::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || m_bItemPressed) return 0;
    const int state = m_rcControl.PtInRect(point) ? 1 : 0;
    if (state == m_nState) return 0;
    m_nState = state;
    Repaint(0);
    return 1;
}

int MenuItem::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    m_bItemPressed = 1;
    const int changed = m_nState != 2;
    m_nState = 2;
    if (changed) Repaint(0);
    return changed;
}

int MenuItem::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const bool inside = m_rcControl.PtInRect(point);
    const int state = inside ? 1 : (m_bChecked ? 2 : 0);
    m_bItemPressed = 0;
    if (state == m_nState) return 0;
    m_nState = state;
    Repaint(0);
    if (inside) SendMessageW(2, 0, 0);
    return 1;
}

}  // namespace WEXA
