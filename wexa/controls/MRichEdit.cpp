// MRichEdit: construction, layout, drawing, focus, input and the window
// messages it forwards to the text services. The thin message wrappers live
// in MRichEditOps.cpp, the variants in MRichEditVariants.cpp.
#include "MRichEdit.h"
#include "GlyphFaces.h"

#include <algorithm>
#include <vector>

#include "CTxtWinHost.h"
#include "ControlRegistry.h"
#include "MRender.h"
#include "MScroll.h"
#include "PaintManager.h"

namespace WEXA {

namespace {

const DWORD kDefaultStyle = WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE;  // 0x00200044
const DWORD kEventMask = ENM_CHANGE | ENM_DROPFILES | ENM_LINK;          // 0x04100001

// Context menu commands.
enum : UINT {
    kCmdUndo = 101,
    kCmdCut = 102,
    kCmdCopy = 103,
    kCmdPaste = 104,
    kCmdClear = 105,
    kCmdSelectAll = 106,
    kCmdRedo = 107,
};

bool IsMouseMessage(UINT msg)
{
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSEHWHEEL - 1;  // 0x0200..0x020D
}

}  // namespace

WEXA_REGISTER_CONTROL(MRichEdit,
                      new MRichEdit(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

MRichEdit::MRichEdit(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
                     int enabled)
    : MPanel(owner, id, rect, visible),
      m_nVisualState(enabled ? 0 : 3),
      m_pTwh(nullptr),
      m_bWantTab(1),
      m_bWantReturn(1),
      m_bWantCtrlReturn(1),
      m_bRich(1),
      m_bReadOnly(0),
      m_bPassword(0),
      m_bWordWrap(0),
      m_crTextColor(RGB(0x14, 0x14, 0x14)),
      m_nLimitText(256),
      m_dwWinStyle(kDefaultStyle),
      m_bInited(0),
      m_bAccumulateDBCMode(0),
      m_strTipInfo(placeholder ? placeholder : L""),
      m_rcTextPadding{5, 5, 5, 5},
      m_chPasswordChar(0xA1F1),
      m_pIconImage(nullptr),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_nIconFrames(1),
      m_pDropTarget(nullptr)
{
    m_bEnabled = enabled;
    m_strTitle = L"";
    m_bTabStop = 1;
}

MRichEdit::~MRichEdit()
{
    ReleaseServices();
}

void MRichEdit::ReleaseServices()
{
    if (m_pDropTarget) {
        m_pDropTarget->Release();
        m_pDropTarget = nullptr;
    }
    if (CTxtWinHost* host = m_pTwh) {
        m_pTwh = nullptr;
        host->Shutdown();
        host->Release();
    }
}

const wchar_t* MRichEdit::GetClassNameW() const
{
    return L"MRichEdit";
}

COLORREF MRichEdit::ServiceColor(COLORREF color)
{
    return color == 0 ? RGB(1, 0, 0) : color;
}

// ---- set-up ----

void MRichEdit::InitControl(PaintManager* manager)
{
    if (m_bInited) return;
    m_bInited = 1;
    MPanel::InitControl(manager);
    CREATESTRUCTW create = {};
    create.style = static_cast<LONG>(m_dwWinStyle);
    const CString title = m_strTitle;
    create.lpszName = title;
    m_pTwh = CTxtWinHost::Create(this, &create);
    if (!m_pTwh) return;
    m_pTwh->SetTransparent();
    LRESULT ignored = 0;
    TxSendMessage(EM_SETLANGOPTIONS, 0, 0, &ignored);
    TxSendMessage(EM_SETEVENTMASK, 0, kEventMask, &ignored);
    m_pTwh->DoInPlaceActivate();
    SetControlRect(m_rcControl);
}

HRESULT MRichEdit::TxSendMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    if (!m_pTwh || !m_pTwh->GetTextServices()) return 1;
    LRESULT local = 0;
    return m_pTwh->GetTextServices()->TxSendMessage(msg, wparam, lparam, result ? result : &local);
}

BOOL MRichEdit::OnTxViewChanged(BOOL)
{
    return 1;
}

void MRichEdit::OnTxNotify(DWORD code, void*)
{
    if (code != EN_CHANGE) return;
    const CString live = GetControlTitle();
    if (m_strTipInfo.IsEmpty()) return;
    if (live.IsEmpty() != m_strTitle.IsEmpty()) Repaint(1);
}

void MRichEdit::Repaint(int erase)
{
    if (m_bVisible) UpdateControl(erase, 0);
}

// ---- layout ----

void MRichEdit::ApplyTextArea(CRect area)
{
    if (m_pTwh) m_pTwh->SetClientRect(area);
}

void MRichEdit::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (!m_pTwh) return;
    CRect area(rect.left + m_rcTextPadding.left, rect.top + m_rcTextPadding.top,
               rect.right - m_rcTextPadding.right, rect.bottom - m_rcTextPadding.bottom);
    const int thickness = m_nScrollThickness;
    if (IsMultiLine() && m_pScrollVertical && m_pScrollVertical->m_bVisible) {
        m_pScrollVertical->SetControlRect(
            CRect(area.right - thickness, area.top, area.right, area.bottom));
        area.right -= thickness + 10;
    }
    if ((m_dwWinStyle & (WS_HSCROLL | ES_AUTOHSCROLL)) && m_pScrollHorizontal)
        m_pScrollHorizontal->SetControlRect(
            CRect(area.left, area.bottom - thickness, area.right, area.bottom));
    ApplyTextArea(area);
}

// ---- drawing ----

void MRichEdit::DrawPlaceholder(HDC memDC, CRect box, bool centreLine)
{
    if (box.IsRectEmpty()) return;
    Gdiplus::Graphics g(memDC);
    g.SetTextRenderingHint(m_textRenderingHint);
    Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
    Gdiplus::FontFamily fallback(L"Arial");
    Gdiplus::Font font(family ? family : &fallback, static_cast<Gdiplus::REAL>(m_nFontWidth),
                       m_fontStyle, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                          Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    if (centreLine) {
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        box.OffsetRect(0, 2);
    }
    Gdiplus::SolidBrush grey(Gdiplus::Color(0xFF808080));
    Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top),
                          static_cast<Gdiplus::REAL>(box.Width()),
                          static_cast<Gdiplus::REAL>(box.Height()));
    GlyphFaces::DrawString(g, m_strTipInfo, -1, &font, layout, &format, &grey);
}

void MRichEdit::DrawFace(HDC& dc, int frameWidth, bool placeholder, bool centreLine)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (!m_pImage || frameWidth <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, 4 * frameWidth, h);
        if (!m_hMemDC) return;
        Gdiplus::Graphics g(m_hMemDC);
        for (int i = 0; i < 4; ++i) {
            ::BitBlt(m_hMemDC, i * frameWidth, 0, frameWidth, h, dc, m_rcControl.left,
                     m_rcControl.top, SRCCOPY);
            const int frame = std::min(i, std::max(m_nFrameCount, 1) - 1);
            MRender::DrawImageFrame(g, m_pImage, CRect(i * frameWidth, 0, (i + 1) * frameWidth, h),
                                    frame * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight, 4);
        }
        if (placeholder && m_strTitle.IsEmpty() && !m_strTipInfo.IsEmpty()) {
            for (int i = 0; i < 4; ++i) {
                CRect box(i * frameWidth + m_rcTextPadding.left, m_rcTextPadding.top,
                          i * frameWidth + w - m_rcTextPadding.right, h - m_rcTextPadding.bottom);
                DrawPlaceholder(m_hMemDC, box, centreLine);
            }
        }
    }
    const int state = std::min(std::max(m_nVisualState, 0), 3);
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, std::min(frameWidth, w), h, m_hMemDC,
             state * frameWidth, 0, SRCCOPY);
}

void MRichEdit::DrawServices(HDC& dc, CRect clip)
{
    if (!m_pTwh || !m_pTwh->GetTextServices()) return;
    RECT client = m_pTwh->GetClientRect();
    // A single-line field's area is one 16-px line: a taller line of its
    // font is drawn whole, within the control. Lines of a multi-line field
    // stay inside the text area.
    RECT visible = client;
    if (!IsMultiLine()) {
        visible.top = std::min<LONG>(visible.top, m_rcControl.top + 1);
        visible.bottom = std::max<LONG>(visible.bottom, m_rcControl.bottom - 1);
    }
    RECT update;
    if (!::IntersectRect(&update, &visible, &clip)) return;
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, update.left, update.top, update.right, update.bottom);
    RECTL bounds = {client.left, client.top, client.right, client.bottom};
    m_pTwh->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds,
                                      nullptr, &update, nullptr, 0, TXTVIEW_ACTIVE);
    ::RestoreDC(dc, saved);
}

void MRichEdit::DrawControl(HDC& dc, CRect clip)
{
    DrawFace(dc, m_rcControl.Width(), true, false);
    DrawServices(dc, clip);
}

// ---- text and colour ----

void MRichEdit::SetControlTitle(const wchar_t* title)
{
    const wchar_t* text = title ? title : L"";
    if (!m_strTipInfo.IsEmpty() && (*text == 0) != m_strTitle.IsEmpty()) Repaint(1);
    m_strTitle = text;
    if (m_pTwh) {
        CHARRANGE all = {0, -1};
        LRESULT ignored = 0;
        TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all), &ignored);
        TxSendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text), &ignored);
    }
}

CString MRichEdit::GetControlTitle()
{
    if (!m_pTwh) return m_strTitle;
    GETTEXTLENGTHEX query = {GTL_DEFAULT, 1200};
    LRESULT length = 0;
    TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0, &length);
    if (length <= 0) return CString(L"");
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, 0);
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    LRESULT copied = 0;
    TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                  reinterpret_cast<LPARAM>(buffer.data()), &copied);
    buffer.back() = 0;
    return CString(buffer.data());
}

void MRichEdit::SetTextColor(Gdiplus::Color color)
{
    MControlFont::SetTextColor(color);
    m_crTextColor = color.ToCOLORREF();
    if (m_pTwh) m_pTwh->SetColor(ServiceColor(m_crTextColor));
}

void MRichEdit::SetControlEnabled(int enabled)
{
    if (m_bEnabled == enabled) return;
    m_bEnabled = enabled;
    m_nVisualState = enabled ? 0 : 3;
    if (m_pTwh) {
        COLORREF color = m_crTextColor;
        if (!enabled)
            color = m_pManager ? m_pManager->GetDefaultEnabledColor() : RGB(128, 128, 128);
        m_pTwh->SetColor(ServiceColor(color));
    }
    Repaint(0);
}

void MRichEdit::SetTextFont(CString face)
{
    MControlFont::SetTextFont(face);
    SetFont();
}

// ---- focus and mouse ----

void MRichEdit::ActivateAndFocus(bool focus)
{
    m_bFocused = focus ? 1 : 0;
    if (!m_pTwh) return;
    m_pTwh->DoInPlaceActivate();
    LRESULT ignored = 0;
    TxSendMessage(focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, &ignored);
}

int MRichEdit::SetControlFocus(int focus)
{
    const int before = m_nVisualState;
    if (focus)
        m_nVisualState = 2;
    else
        m_nVisualState = m_bEnabled ? 0 : 3;
    ActivateAndFocus(focus != 0);
    const int changed = before != m_nVisualState;
    if (changed) Repaint(1);
    return changed;
}

int MRichEdit::OnControlMouseMove(UINT, CPoint point)
{
    if (m_bReadOnly) return 0;
    if (!m_bEnabled || m_bFocused) return 0;
    const int state = m_rcControl.PtInRect(point) ? 1 : 0;
    if (state != m_nVisualState) {
        m_nVisualState = state;
        Repaint(0);
    }
    return 0;
}

int MRichEdit::OnControlLButtonDown(UINT, CPoint point)
{
    if (m_bReadOnly) return 0;
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    const int before = m_nVisualState;
    m_nVisualState = 2;
    if (before != 2) Repaint(0);
    SendMessageW(1, 0, 0);
    ActivateAndFocus(true);
    return 0;
}

int MRichEdit::OnControlLButtonUp(UINT, CPoint point)
{
    if (m_bReadOnly) return 0;
    if (!m_bEnabled) return 0;
    const int before = m_nVisualState;
    if (m_rcControl.PtInRect(point)) {
        // A focused field keeps its focused face.
        if (!m_bFocused) m_nVisualState = 1;
        if (before != m_nVisualState) Repaint(0);
        if (before == 2) SendMessageW(2, 0, 0);
    } else {
        if (!m_bFocused) m_nVisualState = 0;
        if (before != m_nVisualState) Repaint(0);
    }
    return 0;
}

int MRichEdit::OnControlScroll(int, UINT down, CPoint)
{
    LRESULT ignored = 0;
    if (m_pScrollVertical && m_pScrollVertical->m_bVisible) {
        TxSendMessage(WM_VSCROLL, down == 1 ? SB_LINEDOWN : SB_LINEUP, 0, &ignored);
        return 1;
    }
    return (m_pScrollHorizontal && m_pScrollHorizontal->m_bVisible) ? 1 : 0;
}

int MRichEdit::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

LONG MRichEdit::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (id == MScroll::VERTICAL_BAR_ID && code == 8 && m_pScrollVertical) {
        LRESULT ignored = 0;
        const int pos = m_pScrollVertical->GetScrollCurrentPos();
        TxSendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos & 0xFFFF), 0, &ignored);
    }
    return MPanel::OnMessage(id, code, wparam, lparam);
}

// ---- window messages ----

LONG MRichEdit::ForwardToServices(UINT msg, WPARAM wparam, LPARAM lparam)
{
    LRESULT result = 0;
    TxSendMessage(msg, wparam, lparam, &result);
    return static_cast<LONG>(result);
}

void MRichEdit::ShowContextMenu(CPoint screen)
{
    HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    CHARRANGE sel = {0, 0};
    GetSel(sel);
    const bool selected = sel.cpMax != sel.cpMin;
    const UINT grey = MF_GRAYED;
    ::AppendMenuW(menu, MF_STRING | (CanUndo() ? 0 : grey), kCmdUndo, L"Undo(&U)");
    ::AppendMenuW(menu, MF_STRING | (CanRedo() ? 0 : grey), kCmdRedo, L"Redo(&R)");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | ((m_bReadOnly || !selected) ? grey : 0), kCmdCut, L"Cut(&X)");
    ::AppendMenuW(menu, MF_STRING | (selected ? 0 : grey), kCmdCopy, L"Copy(&C)");
    ::AppendMenuW(menu, MF_STRING | (m_bReadOnly ? grey : 0), kCmdPaste, L"Paste(&V)");
    ::AppendMenuW(menu, MF_STRING | ((m_bReadOnly || !selected) ? grey : 0), kCmdClear,
                  L"Clear(&L)");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kCmdSelectAll, L"SelectAll(&A)");
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, wnd, nullptr);
    ::DestroyMenu(menu);
}

LONG MRichEdit::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    if (!m_bVisible || !m_bEnabled) return 0;
    const bool mouse = IsMouseMessage(msg);
    if (mouse && !m_bResponse) return 0;
    if (msg == WM_MOUSEWHEEL && !(GET_KEYSTATE_WPARAM(wparam) & MK_CONTROL)) return 0;

    if (msg == WM_IME_COMPOSITION) {
        HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
        if (HIMC imc = wnd ? ::ImmGetContext(wnd) : nullptr) {
            POINT caret = {0, 0};
            ::GetCaretPos(&caret);
            COMPOSITIONFORM form = {};
            form.dwStyle = CFS_POINT;
            form.ptCurrentPos = caret;
            ::ImmSetCompositionWindow(imc, &form);
            ::ImmReleaseContext(wnd, imc);
        }
        return 0;
    }

    if (mouse || msg == WM_SETCURSOR) {
        const bool servicesCapture = m_pTwh && m_pTwh->IsCaptured();
        if (!servicesCapture) {
            CPoint point(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
            HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
            if (msg == WM_MOUSEWHEEL && wnd) ::ScreenToClient(wnd, &point);
            if (msg == WM_SETCURSOR) {
                // lParam holds a hit-test code here: take the pointer itself.
                POINT cursor = {0, 0};
                ::GetCursorPos(&cursor);
                if (wnd) ::ScreenToClient(wnd, &cursor);
                point = cursor;
            }
            const bool inside = m_rcControl.PtInRect(point) != 0;
            if (msg >= WM_LBUTTONDOWN && msg <= WM_RBUTTONDOWN && !inside) return 0;
            if (msg == WM_RBUTTONUP) {
                if (!inside) return 0;
                // Claimed, so that the window's default handling turns it
                // into WM_CONTEXTMENU; the engine's capture from the press
                // ends here, as its own release handler does not run.
                if (m_pManager) m_pManager->ReleaseCapture();
                return 1;
            }
            if (!m_pTwh) return 0;
            const RECT& client = m_pTwh->GetClientRect();
            if (!::PtInRect(&client, point)) return 0;
            if (m_pManager && m_pManager->IsCaptured()) return 0;
        }
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN)
            SetControlFocus(1);
        return ForwardToServices(msg, wparam, lparam);
    }

    if (msg >= 0x0100 && msg <= 0x0109) {
        if (!m_bFocused) return 0;
        return ForwardToServices(msg, wparam, lparam);
    }

    if (msg == WM_CONTEXTMENU) {
        CPoint screen(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        CPoint client = screen;
        HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
        if (wnd) ::ScreenToClient(wnd, &client);
        if (!m_rcControl.PtInRect(client)) return 0;
        ShowContextMenu(screen);
        return ForwardToServices(msg, wparam, lparam);
    }

    if (msg == WM_COMMAND) {
        if (!m_bFocused) return 0;
        switch (LOWORD(wparam)) {
            case kCmdUndo: Undo(); break;
            case kCmdCut: Cut(); break;
            case kCmdCopy: Copy(); break;
            case kCmdPaste: Paste(); break;
            case kCmdClear: Clear(); break;
            case kCmdSelectAll: SetSelAll(); break;
            case kCmdRedo: Redo(); break;
            default: break;
        }
        return ForwardToServices(msg, wparam, lparam);
    }

    if (msg == WM_HELP) return ForwardToServices(msg, wparam, lparam);
    return 0;
}

}  // namespace WEXA
