#include "MEdit.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "PaintManager.h"
#include "controls/ButtonPaint.h"
#include "framework/WindowUtil.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MEdit, new MEdit(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

using buttonpaint::Repaint;

namespace {

const COLORREF kGreyText = 0x808080;
const COLORREF kNoBrush = 0xFFFFFFFF;
// The host window's engine sends a child's WM_COMMAND and colour requests
// back to the child as the message + 0x2000.
const UINT kReflect = 0x2000;
// Posted to the overlay when its owner's text changed on a thread other than
// the overlay's: the overlay's thread copies it into the native field (a
// direct SetWindowTextW would wait for that thread).
const UINT kSyncTitle = WM_APP + 0x2E1;

CString WindowText(HWND wnd)
{
    const int length = ::GetWindowTextLengthW(wnd);
    if (length <= 0) return CString();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(wnd, &buffer[0], length + 1);
    return CString(buffer.c_str(), std::max(read, 0));
}

// A GDI font from the default GUI font's description. The face is cut to what
// LOGFONT holds (31 characters and the terminator); the weight stays within
// the 1000 GDI accepts.
HFONT MakeGdiFont(const wchar_t* face, int size, int bold, int underline, int italic)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    ::lstrcpynW(lf.lfFaceName, face ? face : L"", LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight = std::min<LONG>(lf.lfWeight + FW_BOLD, 1000);
    if (underline) lf.lfUnderline = TRUE;
    if (italic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

}  // namespace

// ---- CEditWnd ----

CEditWnd::CEditWnd() : m_pOwner(nullptr), m_hBkBrush(nullptr), m_bReady(0) {}

CEditWnd::~CEditWnd()
{
    if (m_hBkBrush) ::DeleteObject(m_hBkBrush);
    m_hBkBrush = nullptr;
}

const wchar_t* CEditWnd::GetWindowClassName() const
{
    return L"FSEditWindow";
}

const wchar_t* CEditWnd::GetSuperClassName() const
{
    return L"Edit";
}

LONG CEditWnd::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    MEdit* edit = m_pOwner;
    // The owner's handlers may destroy this overlay (and with its window this
    // object): after them only the saved handle is used, and nothing more
    // when the window is gone.
    const HWND wnd = m_hWnd;
    switch (msg) {
        case WM_KILLFOCUS:
            if (edit) edit->OnOverlayKillFocus();
            if (!::IsWindow(wnd)) return 0;
            ::DefWindowProcW(wnd, msg, wparam, lparam);
            break;
        case kSyncTitle:
            // The owner's text was set on another thread.
            if (edit) ::SetWindowTextW(wnd, edit->m_strTitle);
            return 0;
        case WM_COMMAND + kReflect:
            if (HIWORD(wparam) == EN_CHANGE) {
                if (edit) edit->OnOverlayChange();
                if (!::IsWindow(wnd)) return 0;
            } else if (HIWORD(wparam) == EN_UPDATE) {
                ::InvalidateRect(m_hWnd, nullptr, FALSE);
            }
            break;
        case WM_CTLCOLOREDIT + kReflect:
        case WM_CTLCOLORSTATIC + kReflect: {
            if (!edit || edit->m_crEditBk == kNoBrush) return 0;
            HDC dc = reinterpret_cast<HDC>(wparam);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, edit->GetEditTextColor());
            if (!m_hBkBrush) m_hBkBrush = ::CreateSolidBrush(edit->m_crEditBk);
            return static_cast<LONG>(reinterpret_cast<LONG_PTR>(m_hBkBrush));
        }
        case WM_CHAR:
            if (edit && !edit->m_bCharMessage) return 1;
            break;
        case WM_PRINT:
            if (edit && edit->m_pManager && edit->m_pManager->IsLayered()) return 0;
            break;
        default: break;
    }
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

void CEditWnd::OnDestroyMessage(HWND)
{
    if (MEdit* edit = m_pOwner) {
        Repaint(edit, 1);
        if (edit->m_pEditWnd == this) edit->m_pEditWnd = nullptr;
    }
    m_pOwner = nullptr;
    if (m_hBkBrush) ::DeleteObject(m_hBkBrush);
    m_hBkBrush = nullptr;
    delete this;
}

// ---- MEdit ----

MEdit::MEdit(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
             int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_strTipInfo(placeholder),
      m_bPassword(0),
      m_bMultiLine(0),
      m_bReadOnly(0),
      m_bNumberOnly(0),
      m_bCharMessage(1),
      m_nLimitText(120),
      m_chPassword(0xA1F1),
      m_crEditBk(0x222527),
      m_hEditFont(nullptr),
      m_nState(enabled ? 0 : 3),
      m_nFrameSize(4),
      m_pIconImage(nullptr),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_nIconFrames(4),
      m_rcIcon{0, 0, 0, 0},
      m_rcText{0, 0, 0, 0},
      m_bTextRectFixed(0),
      m_nIconState(0),
      m_pEditWnd(nullptr)
{
    SetTextColor(Gdiplus::Color(0xFE050505));
    m_bTabStop = 1;
}

MEdit::~MEdit()
{
    delete m_pIconImage;
    m_pIconImage = nullptr;
    // The overlay goes first, and forgets this field before its window dies:
    // neither its focus loss nor its destruction may reach a deleted control.
    if (CEditWnd* overlay = m_pEditWnd) {
        overlay->m_pOwner = nullptr;
        m_pEditWnd = nullptr;
        HWND wnd = overlay->GetSafeHwnd();
        if (IsLiveWindow(wnd))
            ::DestroyWindow(wnd);  // deletes the overlay object
        else
            delete overlay;
    }
    if (m_hOverlayFont && m_hOverlayFont != m_hEditFont) ::DeleteObject(m_hOverlayFont);
    m_hOverlayFont = nullptr;
    if (m_hEditFont) ::DeleteObject(m_hEditFont);
    m_hEditFont = nullptr;
}

HWND MEdit::OverlayWindow() const
{
    if (!m_pEditWnd) return nullptr;
    HWND wnd = m_pEditWnd->GetSafeHwnd();
    return IsLiveWindow(wnd) ? wnd : nullptr;
}

void MEdit::DestroyOverlay()
{
    CEditWnd* overlay = m_pEditWnd;
    if (!overlay) return;
    HWND wnd = overlay->GetSafeHwnd();
    if (IsLiveWindow(wnd)) {
        ::DestroyWindow(wnd);  // the overlay deletes itself and clears m_pEditWnd
        if (m_pEditWnd == overlay) m_pEditWnd = nullptr;
    } else {
        m_pEditWnd = nullptr;
        delete overlay;
    }
}

// ---- text ----

void MEdit::SetEditText(const wchar_t* text)
{
    if (!text) return;
    if (m_strTitle != text) m_strTitle = text;
}

CString MEdit::GetEditText()
{
    HWND wnd = OverlayWindow();
    if (wnd && ::IsWindowVisible(wnd)) return WindowText(wnd);
    return m_strTitle;
}

void MEdit::SetTipInfo(const wchar_t* text)
{
    m_strTipInfo = text ? text : L"";
}

void MEdit::SetControlTitle(const wchar_t* title)
{
    const wchar_t* text = title ? title : L"";
    if (m_strTitle == text) return;
    m_strTitle = text;
    if (HWND wnd = OverlayWindow()) {
        if (::GetWindowThreadProcessId(wnd, nullptr) == ::GetCurrentThreadId())
            ::SetWindowTextW(wnd, m_strTitle);
        else
            ::PostMessageW(wnd, kSyncTitle, 0, 0);
    }
    Repaint(this, 1);
}

CString MEdit::GetControlTitle()
{
    HideEdit();
    return m_strTitle;
}

// ---- colours and fonts ----

void MEdit::SetEditBKColor(COLORREF color)
{
    if (color == m_crEditBk) return;
    DestroyOverlay();
    m_crEditBk = color;
    Repaint(this, 1);
}

COLORREF MEdit::GetEditTextColor() const
{
    return buttonpaint::ToColorRef(m_clrText);
}

void MEdit::SetEditFont(const wchar_t* face, int size, int bold, int underline, int italic)
{
    HFONT old = m_hEditFont;
    m_hEditFont = MakeGdiFont(face, size, bold, underline, italic);
    // A live overlay may still draw with the old font: it stays until the
    // overlay is given another one or the control goes.
    if (old && old != m_hOverlayFont) ::DeleteObject(old);
}

void MEdit::SetEditFont()
{
    const int style = static_cast<int>(m_fontStyle);
    SetEditFont(m_strFontFace, m_nFontWidth, style & Gdiplus::FontStyleBold,
                style & Gdiplus::FontStyleUnderline, style & Gdiplus::FontStyleItalic);
}

HFONT MEdit::GetDefaultFont()
{
    if (!m_hEditFont) SetEditFont();
    return m_hEditFont;
}

// ---- geometry ----

void MEdit::SetTextRect(CRect rect)
{
    m_rcText = rect;
    m_bTextRectFixed = 1;
}

CRect MEdit::GetTextRect()
{
    return m_bTextRectFixed ? CRect(m_rcText) : CalcTextRect(1);
}

CRect MEdit::CalcTextRect(int recompute)
{
    if (recompute || ::IsRectEmpty(&m_rcText)) {
        const CRect rc = m_rcControl;
        CRect text;
        text.left = rc.left + 6;
        text.right = rc.right - 6;
        if (m_bMultiLine) {
            text.top = rc.top + 5;
            text.bottom = rc.bottom - 5;
        } else if (m_nFontWidth == 10) {
            text.top = rc.top + (rc.bottom - rc.top - 14) / 2;
            text.bottom = text.top + 14;
        } else if (m_nFontWidth == 14) {
            text.top = rc.top + (rc.bottom - rc.top - 16) / 2;
            text.bottom = text.top + 16;
        } else {
            text.top = rc.top + (rc.bottom - m_nFontWidth - rc.top - 6) / 2;
            text.bottom = text.top + m_nFontWidth + 6;
        }
        if (m_pIconImage) text.right = rc.right - 12 - m_nIconWidth;
        m_rcText = text;
    }
    return CRect(m_rcText);
}

void MEdit::CalcIconRect()
{
    const CRect rc = m_rcControl;
    m_rcIcon.left = rc.right - m_nIconWidth - 9;
    m_rcIcon.right = rc.right - 9;
    m_rcIcon.top = rc.top + (rc.bottom - rc.top - m_nIconHeight) / 2;
    m_rcIcon.bottom = m_rcIcon.top + m_nIconHeight;
}

int MEdit::SetIconImage(const wchar_t* file, int frames)
{
    frames = std::max(frames, 1);
    delete m_pIconImage;
    m_pIconImage = buttonpaint::LoadSkinImage(file);
    if (!m_bTextRectFixed) ::SetRectEmpty(&m_rcText);  // the icon narrows the text
    if (!m_pIconImage) {
        m_nIconWidth = m_nIconHeight = 0;
        ::SetRectEmpty(&m_rcIcon);
        return 0;
    }
    m_nIconWidth = static_cast<int>(m_pIconImage->GetWidth()) / frames;
    m_nIconHeight = static_cast<int>(m_pIconImage->GetHeight());
    m_nIconFrames = frames;
    if (!m_rcControl.IsRectEmpty()) CalcIconRect();
    return 1;
}

void MEdit::SetControlRect(CRect rect)
{
    if (rect == m_rcControl) return;
    m_rcControl = rect;
    // A computed text rectangle follows the field; a fixed one stays.
    if (!m_bTextRectFixed) ::SetRectEmpty(&m_rcText);
    if (m_pIconImage) CalcIconRect();
}

// ---- overlay ----

int MEdit::IsEditFocused()
{
    HWND wnd = OverlayWindow();
    return (wnd && ::IsWindowVisible(wnd) && ::GetFocus() == wnd) ? 1 : 0;
}

HWND MEdit::GetEditHwnd()
{
    HWND wnd = OverlayWindow();
    return (wnd && ::IsWindowVisible(wnd)) ? wnd : nullptr;
}

void MEdit::ShowEdit()
{
    if (m_bReadOnly || !m_bEnabled) return;
    HWND host = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    if (!IsLiveWindow(host)) return;
    const bool layered = m_pManager->IsLayered() != 0;
    POINT origin = {0, 0};
    if (layered) ::ClientToScreen(host, &origin);

    CRect rc = m_bTextRectFixed ? CRect(m_rcText) : CalcTextRect(1);
    HWND wnd = OverlayWindow();
    if (wnd) {
        CRect place = rc;
        place.OffsetRect(origin.x, origin.y);
        ::MoveWindow(wnd, place.left, place.top, place.Width(), place.Height(), TRUE);
    } else {
        if (m_pEditWnd) DestroyOverlay();
        if (rc.IsRectEmpty()) {
            rc = m_rcControl;
            rc.left += 6;
            rc.right -= 6;
            if (m_bMultiLine) {
                rc.top += 6;
                rc.bottom -= 6;
            } else {
                rc.top = m_rcControl.top + 1 + (m_rcControl.Height() - m_nFontWidth - 2) / 2;
                rc.bottom = rc.top + m_nFontWidth + 2;
            }
        }
        DWORD style = layered ? (WS_POPUP | WS_VISIBLE) : WS_CHILD;
        style |= m_bMultiLine ? (ES_MULTILINE | ES_AUTOVSCROLL) : ES_AUTOHSCROLL;
        if (m_uAlignment & 1)
            style |= ES_CENTER;
        else if (m_uAlignment & 2)
            style |= ES_RIGHT;
        if (m_bPassword) style |= ES_PASSWORD;
        rc.OffsetRect(origin.x, origin.y);

        CEditWnd* overlay = new CEditWnd();
        overlay->m_pOwner = this;
        m_pEditWnd = overlay;
        wnd = overlay->Create(host, L"", style, 0, rc, nullptr);
        if (!IsLiveWindow(wnd)) {
            if (m_pEditWnd == overlay) {
                m_pEditWnd = nullptr;
                overlay->m_pOwner = nullptr;
                if (!IsLiveWindow(overlay->GetSafeHwnd())) delete overlay;
            }
            return;
        }
        HFONT font = GetDefaultFont();
        ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (m_hOverlayFont && m_hOverlayFont != font) ::DeleteObject(m_hOverlayFont);
        m_hOverlayFont = font;
        ::SendMessageW(wnd, EM_LIMITTEXT, static_cast<WPARAM>(std::max(m_nLimitText, 0)), 0);
        if (m_bPassword) ::SendMessageW(wnd, EM_SETPASSWORDCHAR, m_chPassword, 0);
        ::SetWindowTextW(wnd, m_strTitle);
        ::SendMessageW(wnd, EM_SETMODIFY, 0, 0);
        ::SendMessageW(wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        ::EnableWindow(wnd, m_bEnabled ? TRUE : FALSE);
        ::SendMessageW(wnd, EM_SETREADONLY, m_bReadOnly ? TRUE : FALSE, 0);
        if (m_bNumberOnly)
            ::SetWindowLongPtrW(wnd, GWL_STYLE, ::GetWindowLongPtrW(wnd, GWL_STYLE) | ES_NUMBER);
        ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
        ::SetFocus(wnd);
        ::SendMessageW(wnd, EM_SETSEL, 0, -1);
        overlay->m_bReady = 1;
    }
    ::SetWindowTextW(wnd, m_strTitle);
    ::ShowWindow(wnd, SW_SHOW);
    ::SendMessageW(wnd, EM_SETSEL, static_cast<WPARAM>(m_strTitle.GetLength()), -1);
    ::SetFocus(wnd);
    m_bFocused = 1;
    SendMessageW(30, 0, 0);
}

void MEdit::HideEdit()
{
    m_bFocused = 0;
    HWND wnd = OverlayWindow();
    if (!wnd || !::IsWindowVisible(wnd)) return;
    const CString text = WindowText(wnd);
    if (text != m_strTitle) {
        m_strTitle = text;
        Repaint(this, 1);
    }
    ::ShowWindow(wnd, SW_HIDE);
    SendMessageW(29, 0, 0);
}

void MEdit::OnOverlayChange()
{
    if (!m_pEditWnd || !m_pEditWnd->m_bReady) return;
    HWND wnd = OverlayWindow();
    if (!wnd) return;
    const CString text = WindowText(wnd);
    if (text == m_strTitle) return;
    SetEditText(text);
    SendMessageW(26, 0, 0);
    Repaint(this, 1);
}

void MEdit::OnOverlayKillFocus()
{
    SendMessageW(29, 0, 0);
}

// ---- drawing ----

void MEdit::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        {
            Gdiplus::Graphics g(m_hMemDC);
            for (int i = 0; i < 4; ++i)
                buttonpaint::DrawFaceFrame(g, this, i < m_nFrameCount ? i : 0,
                                           CRect(i * w, 0, i * w + w, h), m_nFrameSize);
        }
        const bool placeholder = m_strTitle.IsEmpty();
        CString text = placeholder ? m_strTipInfo : m_strTitle;
        if (!placeholder && m_bPassword) text = CString(m_chPassword, m_strTitle.GetLength());
        if (!text.IsEmpty()) {
            UINT format;
            if (m_uAlignment == 1)
                format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
            else if (m_bMultiLine)
                format = DT_EDITCONTROL | DT_WORDBREAK | DT_VCENTER;
            else
                format = DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS |
                         ((m_uAlignment & 2) ? DT_RIGHT : 0);
            CRect area = CalcTextRect(0);
            area.OffsetRect(-m_rcControl.left, -m_rcControl.top);
            HFONT font = GetDefaultFont();
            for (int i = 0; i < 4; ++i) {
                CRect r = area;
                r.OffsetRect(i * w, 0);
                const COLORREF color = (placeholder || i == 3) ? kGreyText : GetEditTextColor();
                MRender::DrawTextW(m_hMemDC, r, text, color, font, format);
            }
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
    if (m_pIconImage && m_nIconWidth > 0) {
        Gdiplus::Graphics g(dc);
        const int frame = m_nIconState < m_nIconFrames ? m_nIconState : 0;
        g.DrawImage(m_pIconImage,
                    Gdiplus::Rect(m_rcIcon.left, m_rcIcon.top, m_nIconWidth, m_nIconHeight),
                    frame * m_nIconWidth, 0, m_nIconWidth, m_nIconHeight, Gdiplus::UnitPixel);
    }
}

// ---- input ----

int MEdit::OnControlMouseMove(UINT, CPoint point)
{
    const int oldState = m_nState;
    const int oldIcon = m_nIconState;
    if (m_bEnabled && m_nState != 2) {
        if (m_rcControl.PtInRect(point)) {
            m_nState = 1;
            m_nIconState = (m_pIconImage && ::PtInRect(&m_rcIcon, point)) ? 1 : 0;
        } else {
            m_nState = 0;
            m_nIconState = 0;
        }
    }
    if (m_nState == oldState && m_nIconState == oldIcon) return 0;
    Repaint(this, 0);
    return 1;
}

int MEdit::OnControlLButtonDown(UINT, CPoint point)
{
    const int oldState = m_nState;
    const int oldIcon = m_nIconState;
    if (m_bEnabled && m_rcControl.PtInRect(point)) {
        if (m_pIconImage && ::PtInRect(&m_rcIcon, point)) {
            m_nIconState = 2;
            HideEdit();
            SendMessageW(9, 0, 0);
        } else {
            m_nState = 2;
            ShowEdit();
            SendMessageW(1, 0, 0);
        }
    }
    if (m_nState == oldState && m_nIconState == oldIcon) return 0;
    Repaint(this, 0);
    return 1;
}

int MEdit::OnControlLButtonUp(UINT, CPoint point)
{
    const int oldState = m_nState;
    const int oldIcon = m_nIconState;
    bool wasPressed = false;
    if (m_bEnabled) {
        if (m_rcControl.PtInRect(point)) {
            if (m_pIconImage && ::PtInRect(&m_rcIcon, point)) {
                m_nIconState = 1;
                HideEdit();
                SendMessageW(31, 0, 0);
            } else {
                m_nIconState = 0;
            }
            wasPressed = m_nState == 2;
            m_nState = 1;
        } else {
            m_nState = 0;
            m_nIconState = 0;
        }
    }
    if (m_nState == oldState && m_nIconState == oldIcon) return 0;
    Repaint(this, 0);
    if (wasPressed) SendMessageW(2, 0, 0);
    return 1;
}

int MEdit::OnControlKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (m_bFocused && key == VK_SPACE && flags == 0) {
        SendMessageW(1, 0, 0);
        SendMessageW(2, 0, 0);
        return 1;
    }
    return MControlFont::OnControlKeyDown(key, repeat, flags);
}

int MEdit::SetControlFocus(int focus)
{
    if (!m_bEnabled) return 0;
    const int old = m_nState;
    if (focus) {
        m_nState = 2;
        ShowEdit();
    } else {
        m_nState = 0;
        HideEdit();
    }
    if (m_nState == old) return 0;
    Repaint(this, 1);
    return 1;
}

void MEdit::SetControlEnabled(int enabled)
{
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    Repaint(this, 0);
}

}  // namespace WEXA
