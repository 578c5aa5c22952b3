#include "MDialog.h"

#include "MAirBladder.h"
#include "MControl.h"
#include "Manager.h"
#include "framework/EngineWindow.h"
#include "framework/WindowMessages.h"

namespace WEXA {

MDialog::MDialog()
    : m_crKey(0xFFFFFF),
      m_nAlpha(255),
      m_nMsgOffset(0),
      m_nTooltipCtrlID(0),
      m_rcClient(0, 0, 0, 0)
{}

MDialog::~MDialog() {}

// ---- MObject part ----

const wchar_t* MDialog::GetClassNameW() const
{
    return L"MDialog";
}

// ---- message dispatch ----

int MDialog::PreTranslateMessage(MSG* msg)
{
    return m_pm.PreTranslateMessage(msg) ? 1 : 0;
}

int MDialog::OnInitDialog()
{
    m_pm.Init(m_hWnd, this);
    if (IsValid()) m_rcClient = ClientRectOf(*this);
    InitUI(m_rcClient);
    return 1;
}

// ---- hooks ----

POINT MDialog::GetAirBladderPoint(MControl* control, UINT type)
{
    POINT pt = {0, 0};
    if (!control) return pt;
    CRect r = control->GetRect();
    pt.y = r.bottom;
    if (type == 1)
        pt.x = r.left + (r.right - r.left) / 2;
    else if (type == 2)
        pt.x = r.right;
    else
        pt.x = r.left;
    ClientToScreen(&pt);
    return pt;
}

void MDialog::OnMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize()
{
    if (IsValid() && ::IsZoomed(m_hWnd))
        ShowWindow(SW_RESTORE);
    else
        ShowWindow(SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}
LONG MDialog::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 0;
}

int MDialog::OnCreate(CREATESTRUCTW*)
{
    if (!m_hWnd) return 1;
    // No system frame: the dialog draws everything itself.
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                        static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
    return 1;
}

int MDialog::OnSize(UINT, int, int)
{
    if (!IsValid() || !::IsIconic(m_hWnd)) SetupBackTranslucent();
    if (IsValid()) m_rcClient = ClientRectOf(*this);
    if (m_rcClient.Width() > 1 && m_rcClient.Height() > 1) UISize(m_rcClient);
    if (IsValid()) ::InvalidateRect(m_hWnd, &m_rcClient, FALSE);
    return 0;
}

WEXA_DEFINE_IDLE_INPUT_HANDLERS(MDialog)
WEXA_DEFINE_ENGINE_WINDOW(MDialog)

int MDialog::OnNcActivate(int)
{
    return 0;
}
int MDialog::OnWindowPosChanging(WINDOWPOS*)
{
    return 1;
}
int MDialog::OnWindowPosChanged(WINDOWPOS*)
{
    return 1;
}
// ---- closing ----

void MDialog::PostCloseRequest(UINT code)
{
    if (IsPresent()) ::PostMessageW(m_hWnd, WM_USER_CLOSE_WINDOW, code, 0);
}

void MDialog::DoOK()
{
    PostCloseRequest(IDOK);
}
void MDialog::DoCancel()
{
    PostCloseRequest(IDCANCEL);
}
void MDialog::DoClose()
{
    PostCloseRequest(IDCANCEL);
}
void MDialog::DoYes()
{
    PostCloseRequest(IDYES);
}
void MDialog::DoNo()
{
    PostCloseRequest(IDNO);
}

// ---- controls ----

std::vector<MControl*>& MDialog::GetControls()
{
    return m_pm.GetControls();
}

void MDialog::SetFocusControl(MControl* control)
{
    MControl* current = m_pm.GetFocusControl();
    if (control == current) return;
    if (current) current->SetControlFocus(0);
    if (control) control->SetControlFocus(1);
    m_pm.m_pFocusControl = control;
}

// ---- appearance ----

void MDialog::EnableWndDrag(int enable)
{
    m_pm.EnableWndDrag(enable);
}
void MDialog::SetupRegion(int) {}

// ---- drop shadow ----

int MDialog::SetSize(int size)
{
    return m_pm.SetSize(size);
}
int MDialog::SetSharpness(UINT sharpness)
{
    return m_pm.SetSharpness(sharpness);
}
int MDialog::SetDarkness(UINT darkness)
{
    return m_pm.SetDarkness(darkness);
}
int MDialog::SetPosition(int x, int y)
{
    return m_pm.SetPosition(x, y);
}
int MDialog::SetShadowColor(COLORREF color)
{
    return m_pm.SetShadowColor(color);
}
void MDialog::SetShadowImage(const wchar_t* skinFileName, CRect margins)
{
    m_pm.SetShadowImage(skinFileName, margins);
}
void MDialog::SetShadowImage(UINT resourceId, CRect margins)
{
    m_pm.SetShadowImage(resourceId, margins);
}
void MDialog::SetShadowShow(int show)
{
    m_pm.SetShadowShow(show);
}
void MDialog::CreateShadow(int show, bool flag)
{
    m_pm.CreateShadow(show, flag);
}

// ---- overlays, tooltip and balloon ----

void MDialog::SetMessage(CString text, CRect rect, MsgLevel level)
{
    if (rect.IsRectEmpty() || rect.IsRectNull()) {
        CRect client = rect;
        if (IsValid()) {
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            client = rc;
        }
        rect.left = (client.right - client.left) / 2 - 100;
        rect.right = rect.left + 200;
        rect.top = client.bottom - 60;
        rect.bottom = client.bottom - 2;
        rect.top += m_nMsgOffset;
        rect.bottom += m_nMsgOffset;
    }
    m_pm.SetMessage(text, rect, level);
}

void MDialog::SetProgress(int value, CString text, CRect rect)
{
    m_pm.SetProgress(value, text, rect);
}
void MDialog::SetTooltip(CString text, CRect rect)
{
    m_pm.SetTooltip(text, rect);
}
void MDialog::ClearTooltip()
{
    m_pm.ClearTooltip();
}

int MDialog::SetAirBladderMsg(const wchar_t* text, POINT at, AIRBLADDER_TYPE type)
{
    if (at.x == 0 || at.y == 0) return 0;
    // A balloon that refused the text (none given) is not shown with whatever
    // it held before.
    if (!m_pm.SetAirBladderMsg(text, at, type, static_cast<AIRBLADDER_MODE>(3))) return 0;
    if (m_pm.m_pAirBladder) m_pm.m_pAirBladder->ShowWindow(SW_SHOW);
    return 1;
}

// ---- multimedia timer ----

void MDialog::SetMTimer(UINT periodMs)
{
    m_pm.SetMTimer(periodMs);
}
void MDialog::KillMTimer(UINT timerId)
{
    m_pm.KillMTimer(timerId);
}

}  // namespace WEXA
