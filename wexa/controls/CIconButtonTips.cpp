// The key tip window of CIconButton.
#include "CIconButton.h"

#include "CKeyboardTips.h"
#include "MWindow.h"
#include "PaintManager.h"
#include "TipWindow.h"
#include "framework/WindowUtil.h"

namespace WEXA {

void CIconButton::SetTips(bool)
{
    if (!m_bShowTips || m_pTips || !m_pManager) return;
    m_pTips = new CKeyboardTips();
    m_pTips->Create(m_pManager->GetPaintWnd(), L"KeyboardTip Window", tipwindow::kTipWindowStyle, 0,
                    CRect(), nullptr);
    m_pTips->LoadBKImage(CString(L"img_tip_bk.png"));
}

void CIconButton::DestroyTips()
{
    if (!m_pTips) return;
    HWND tips = m_pTips->GetSafeHwnd();
    if (IsLiveWindow(tips)) ::DestroyWindow(tips);
    delete m_pTips;
    m_pTips = nullptr;
}

}  // namespace WEXA
