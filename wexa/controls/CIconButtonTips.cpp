// The key tip window of CIconButton.
#include "CIconButton.h"

#include "MWindow.h"
#include "PaintManager.h"

#if __has_include("CKeyboardTips.h")
#include "CKeyboardTips.h"
#define WEXA_ICON_BUTTON_TIPS 1
#endif

namespace WEXA {

void CIconButton::SetTips(bool)
{
#ifdef WEXA_ICON_BUTTON_TIPS
    if (!m_bShowTips || m_pTips || !m_pManager) return;
    m_pTips = new CKeyboardTips();
    m_pTips->Create(m_pManager->GetPaintWnd(), L"KeyboardTip Window", 0x96020080, 0, CRect(),
                    nullptr);
    m_pTips->LoadBKImage(CString(L"img_tip_bk.png"));
#endif
}

void CIconButton::DestroyTips()
{
#ifdef WEXA_ICON_BUTTON_TIPS
    if (!m_pTips) return;
    HWND tips = m_pTips->GetSafeHwnd();
    if (tips && ::IsWindow(tips)) ::DestroyWindow(tips);
    delete m_pTips;
    m_pTips = nullptr;
#endif
}

}  // namespace WEXA
