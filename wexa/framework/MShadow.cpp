// MShadow: settings storage.
//
// Not built yet (placeholders): the shadow window, following the parent, and
// computing or drawing the shadow picture. Every setter refuses (0) until then.
#include "MShadow.h"

namespace WEXA {

MShadow::MShadow()
    : m_pManager(nullptr),
      m_hWnd(nullptr),
      m_OriParentProc(nullptr),
      m_Status(0),
      m_bIsImageMode(0),
      m_bShow(0),
      m_bDisabled(0),
      m_pImage(nullptr),
      m_nImageWidth(0),
      m_nImageHeight(0),
      m_nDarkness(150),
      m_nSharpness(5),
      m_nSize(0),
      m_nxOffset(5),
      m_nyOffset(5),
      m_WndSize(0),
      m_bUpdate(0),
      m_Color(0),
      m_uShadowImageRes(0)
{
}

MShadow::~MShadow()
{
    delete m_pImage;
    m_pImage = nullptr;
}

int MShadow::Initialize(HINSTANCE, bool) { return 0; }
void MShadow::Create(PaintManager*) {}
void MShadow::DisableShadow(int disable) { m_bDisabled = disable; }
int MShadow::SetSize(int) { return 0; }
int MShadow::SetSharpness(unsigned) { return 0; }
int MShadow::SetDarkness(unsigned) { return 0; }
int MShadow::SetPosition(int, int) { return 0; }
int MShadow::SetColor(COLORREF) { return 0; }
int MShadow::SetShadowCorner(CRect) { return 0; }
int MShadow::SetImage(CString) { return 0; }
int MShadow::SetImage(UINT) { return 0; }
int MShadow::CopyShadow(MShadow*) { return 0; }
COLORREF MShadow::PreMultiply(COLORREF, UINT) { return 0; }
void MShadow::Update(HWND) {}
void MShadow::MakeShadow(UINT32*, HWND, RECT*) {}

LRESULT CALLBACK MShadow::ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return ::DefWindowProcW(hwnd, msg, wparam, lparam);
}

std::map<HWND, MShadow*>& MShadow::GetShadowMap()
{
    static std::map<HWND, MShadow*> shadows;
    return shadows;
}

}  // namespace WEXA
