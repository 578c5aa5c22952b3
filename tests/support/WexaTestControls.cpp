#include "WexaTestControls.h"

#include "ControlRegistry.h"
#include "PaintManager.h"

namespace testutil {

SolidControl::SolidControl(WEXA::MObject* owner, UINT id, CRect rect, int visible, COLORREF c)
    : WEXA::MControl(owner, id, rect, visible, 1, 1),
      color(c)
{}

void SolidControl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, w, h);
        RECT r = {0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(m_hMemDC, &r, brush);
        DeleteObject(brush);
        ++renders;
    }
    BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
}

int SolidControl::OnControlTimer()
{
    if (tickWork) Sleep(tickWork);
    ++ticks;
    return 1;
}

PassingPanel::PassingPanel(WEXA::MObject* owner, UINT id, CRect rect)
    : WEXA::MControl(owner, id, rect, 1, 1, 1)
{}

LONG PassingPanel::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

void PassingPanel::AddChild(WEXA::MControl* child)
{
    CAutoLock lock(m_childLock);
    m_controls.push_back(child);
    if (m_pManager) child->SetManager(m_pManager);
}

namespace {

COLORREF ColorFromId(UINT id)
{
    switch (id % 4) {
        case 1: return kTestRed;
        case 2: return kTestGreen;
        case 3: return kTestBlue;
        default: return kTestGrey;
    }
}

WEXA::MControl* MakeSolid(const WEXA::ControlArgs& a)
{
    return new SolidControl(a.owner, a.id, a.rect, a.visible, ColorFromId(a.id));
}

}  // namespace

void RegisterTestControls()
{
    WEXA::RegisterControlClass(L"CArea", &MakeSolid);
}

}  // namespace testutil
