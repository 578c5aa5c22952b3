#include "KBToolTips.h"

#include "TipWindow.h"

namespace WEXA {

KBToolTips::KBToolTips()
    : m_ptAnchor{0, 0},
      m_nType(1),
      m_nMode(3),
      m_pFontFamily(nullptr),
      m_pStringFormat(nullptr),
      m_pBkImage(nullptr),
      m_nBkWidth(0),
      m_nBkHeight(0),
      m_backMode(BACK_MODE_FRAME),
      m_nBackParam(18)
{}

KBToolTips::~KBToolTips()
{
    delete m_pBkImage;
    delete m_pFontFamily;
    delete m_pStringFormat;
}

LONG KBToolTips::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_USER + 66: return OnUserCloseWindow(wparam, lparam);
        case WM_CREATE: OnCreate(reinterpret_cast<CREATESTRUCTW*>(lparam)); break;
        case WM_SIZE:
            OnSize(static_cast<UINT>(wparam), static_cast<short>(LOWORD(lparam)),
                   static_cast<short>(HIWORD(lparam)));
            break;
        case WM_PAINT: OnPaint(); break;
        default: break;
    }
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int KBToolTips::OnInitDialog()
{
    return 1;
}

LONG KBToolTips::OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam)
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, wparam, lparam);
    return 1;
}

void KBToolTips::CloseWindow()
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

int KBToolTips::OnCreate(CREATESTRUCTW*)
{
    tipwindow::ApplyToolWindowStyles(m_hWnd);
    return 0;
}

int KBToolTips::OnSize(UINT, int, int)
{
    if (IsValid()) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

int KBToolTips::OnPaint()
{
    return 1;
}

int KBToolTips::LoadBKImage(CString file)
{
    return tipwindow::LoadSkinImage(file, m_pBkImage, m_nBkWidth, m_nBkHeight);
}

void KBToolTips::SetBackMode(enumBackMode mode, int parameter)
{
    m_backMode = mode;
    m_nBackParam = parameter;
}

int KBToolTips::SetAirBladderMsg(const wchar_t* text1, const wchar_t* text2, const wchar_t*, POINT)
{
    if (!text1) return 0;
    if (!text2 && m_strText1 == text1) return 0;
    return 1;
}

}  // namespace WEXA
