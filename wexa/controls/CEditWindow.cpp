#include "CEditWindow.h"

#include <algorithm>
#include <string>

#include "PaintManager.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

const UINT kReflect = 0x2000;
const UINT kBlinkTimer = 6553;
const COLORREF kSystemColours = 0xFFFFFFFF;

CString WindowText(HWND wnd)
{
    const int length = ::GetWindowTextLengthW(wnd);
    if (length <= 0) return CString();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(wnd, &buffer[0], length + 1);
    return CString(buffer.c_str(), std::max(read, 0));
}

void RepaintControl(MControlFont* control)
{
    if (control && control->m_bVisible && control->m_pParent)
        control->m_pParent->OnControlUpdate(control->m_rcControl, 1, control);
}

}  // namespace

CEditWindow::CEditWindow()
    : m_pControl(nullptr),
      m_hBkBrush(nullptr),
      m_bShown(0),
      m_bBlink(0),
      m_bPassword(0),
      m_bReadOnly(0),
      m_bNumberOnly(0),
      m_nLimit(120),
      m_chPassword(0xA1F1),
      m_crBackground(0x363B3E),
      m_crText(0xFFFFFF),
      m_hFont(nullptr),
      m_ppOwnerSlot(nullptr)
{}

CEditWindow::~CEditWindow()
{
    if (m_hBkBrush) ::DeleteObject(m_hBkBrush);
    m_hBkBrush = nullptr;
    if (m_hFont) ::DeleteObject(m_hFont);
    m_hFont = nullptr;
}

const wchar_t* CEditWindow::GetWindowClassName() const
{
    return L"FSEditWindow";
}

const wchar_t* CEditWindow::GetSuperClassName() const
{
    return L"Edit";
}

int CEditWindow::SetEditColors(COLORREF background, COLORREF text)
{
    m_crBackground = background;
    m_crText = text;
    return 1;
}

void CEditWindow::ShowEditWindow(MControlFont* control, CRect rect)
{
    m_pControl = control;
    if (!control || !control->m_pManager) return;
    PaintManager* manager = control->m_pManager;
    HWND parent = manager->GetPaintWnd();
    if (!IsLiveWindow(parent)) return;

    const CRect rc = control->m_rcControl;
    if (rect.IsRectEmpty()) {
        const int size = control->m_nFontWidth;
        rect.left = rc.left + 6;
        rect.right = rc.right - 6;
        rect.top = rc.top + (rc.Height() - size - 2) / 2;
        rect.bottom = rect.top + size + 2;
    }
    DWORD style;
    if (manager->IsLayered()) {
        POINT origin = {0, 0};
        ::ClientToScreen(parent, &origin);
        rect.OffsetRect(origin.x, origin.y);
        style = WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL;
    } else {
        style = WS_CHILD | ES_AUTOHSCROLL;
    }
    if (control->m_uAlignment & 1)
        style |= ES_CENTER;
    else if (control->m_uAlignment & 2)
        style |= ES_RIGHT;
    if (m_bPassword) style |= ES_PASSWORD;

    HWND wnd = m_hWnd;
    if (IsLiveWindow(wnd))
        ::MoveWindow(wnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    else
        wnd = Create(parent, L"", style, 0, rect, nullptr);
    if (!IsLiveWindow(wnd)) return;

    if (!m_hFont) {
        LOGFONTW lf = {};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        // LOGFONT holds 31 characters of the face and the terminator.
        ::lstrcpynW(lf.lfFaceName, control->m_strFontFace, LF_FACESIZE);
        lf.lfHeight = control->m_nFontWidth + 6;
        const int fontStyle = static_cast<int>(control->m_fontStyle);
        if (fontStyle & Gdiplus::FontStyleBold)
            lf.lfWeight = std::min<LONG>(lf.lfWeight + FW_BOLD, 1000);
        lf.lfItalic = (fontStyle & Gdiplus::FontStyleItalic) ? TRUE : FALSE;
        lf.lfUnderline = (fontStyle & Gdiplus::FontStyleUnderline) ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        m_hFont = ::CreateFontIndirectW(&lf);
    }
    ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);
    ::SendMessageW(wnd, EM_LIMITTEXT, static_cast<WPARAM>(std::max(m_nLimit, 0)), 0);
    if (m_bPassword) ::SendMessageW(wnd, EM_SETPASSWORDCHAR, m_chPassword, 0);
    ::SetWindowTextW(wnd, control->m_strTitle);
    ::SendMessageW(wnd, EM_SETMODIFY, 0, 0);
    ::SendMessageW(wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::EnableWindow(wnd, control->m_bEnabled ? TRUE : FALSE);
    ::SendMessageW(wnd, EM_SETREADONLY, m_bReadOnly ? TRUE : FALSE, 0);
    if (m_bNumberOnly)
        ::SetWindowLongPtrW(wnd, GWL_STYLE, ::GetWindowLongPtrW(wnd, GWL_STYLE) | ES_NUMBER);
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    ::SetFocus(wnd);
    ::SendMessageW(wnd, EM_SETSEL, 0, -1);
    m_bShown = 1;
}

// Return ends the edit as a click elsewhere does: the list loses the focus,
// which commits the text (or leaves the row as it was) and hides the box, and
// the keyboard goes back to the list's window.
void CEditWindow::FinishEdit()
{
    MControlFont* control = m_pControl;
    if (!control || !m_bShown) return;
    HWND host = control->m_pManager ? control->m_pManager->GetPaintWnd() : nullptr;
    control->SetControlFocus(0);
    if (IsLiveWindow(host) && ::GetFocus() == m_hWnd) ::SetFocus(host);
}

LONG CEditWindow::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    switch (msg) {
        case WM_KILLFOCUS: ::DefWindowProcW(m_hWnd, msg, wparam, lparam); break;
        case WM_KEYDOWN:
            if (wparam == VK_RETURN) {
                FinishEdit();
                return 0;
            }
            // Ctrl+A selects the whole text (the system's single-line edit
            // leaves that to its owner).
            if (wparam == 'A' && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0) {
                ::SendMessageW(m_hWnd, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            // The characters of Return and Ctrl+A: handled above, never typed.
            if (wparam == L'\r' || wparam == 0x01) return 0;
            break;
        case WM_TIMER:
            if (wparam != kBlinkTimer) break;
            m_bBlink = !m_bBlink;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        case WM_PRINT:
            if (m_pControl && m_pControl->m_pManager && m_pControl->m_pManager->IsLayered())
                return 0;
            break;
        case WM_COMMAND + kReflect:
            if (HIWORD(wparam) == EN_CHANGE) {
                MControlFont* control = m_pControl;
                if (m_bShown && control) {
                    const CString text = WindowText(m_hWnd);
                    if (text != control->m_strTitle) {
                        control->SetTitle(text);
                        if (control->m_pParent)
                            control->m_pParent->OnBaseMessage(control->m_nID, 26, 0, 0);
                        RepaintControl(control);
                    }
                }
            } else if (HIWORD(wparam) == EN_UPDATE) {
                ::InvalidateRect(m_hWnd, nullptr, FALSE);
            }
            break;
        case WM_CTLCOLOREDIT + kReflect:
        case WM_CTLCOLORSTATIC + kReflect: {
            if (m_crBackground == kSystemColours) return 0;
            HDC dc = reinterpret_cast<HDC>(wparam);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, m_crText & 0xFFFFFF);
            if (!m_hBkBrush) m_hBkBrush = ::CreateSolidBrush(m_crBackground);
            return static_cast<LONG>(reinterpret_cast<LONG_PTR>(m_hBkBrush));
        }
        default: break;
    }
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

void CEditWindow::OnDestroyMessage(HWND)
{
    RepaintControl(m_pControl);
    if (m_hBkBrush) ::DeleteObject(m_hBkBrush);
    m_hBkBrush = nullptr;
    if (m_ppOwnerSlot && *m_ppOwnerSlot == this) *m_ppOwnerSlot = nullptr;
    m_ppOwnerSlot = nullptr;
    delete this;
}

}  // namespace WEXA
