#include "CTxtWinHost.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "MRichEdit.h"
#include "MScroll.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"
#include "framework/WindowUtil.h"

namespace WEXA {

const IID IID_ITextServicesWexa = {
    0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
const IID IID_ITextHostWexa = {
    0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

namespace {

const DWORD kScrollBarStyles =
    WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

COLORREF NotBlack(COLORREF color)
{
    return color == 0 ? RGB(1, 0, 0) : color;
}

int DeviceLogPixels(HWND wnd, int index)
{
    gdi::WindowDC dc(IsLiveWindow(wnd) ? wnd : nullptr);
    int value = dc ? ::GetDeviceCaps(dc, index) : 96;
    return value > 0 ? value : 96;
}

// Fills the face, height and effects of a character format from a LOGFONT.
void FormatFromLogFont(CHARFORMAT2W& cf, const LOGFONTW& lf, int logPixelsY)
{
    cf.yHeight = static_cast<LONG>(static_cast<long long>(lf.lfHeight) * -1440 / logPixelsY);
    if (lf.lfWeight >= FW_BOLD) cf.dwEffects |= CFE_BOLD;
    if (lf.lfItalic) cf.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline) cf.dwEffects |= CFE_UNDERLINE;
    cf.bCharSet = lf.lfCharSet;
    cf.bPitchAndFamily = lf.lfPitchAndFamily;
    // The face field holds 32 characters: at most 31 and the terminator.
    lstrcpynW(cf.szFaceName, lf.lfFaceName, LF_FACESIZE);
}

}  // namespace

CTxtWinHost::CreateTextServicesFn CTxtWinHost::GetCreateTextServices()
{
    static CreateTextServicesFn create = [] {
        // Msftedit.dll where it exists (Windows); Wine ships the services in
        // riched20.dll.
        HMODULE module = ::LoadLibraryW(L"Msftedit.dll");
        FARPROC proc = module ? ::GetProcAddress(module, "CreateTextServices") : nullptr;
        if (!proc) {
            module = ::LoadLibraryW(L"riched20.dll");
            proc = module ? ::GetProcAddress(module, "CreateTextServices") : nullptr;
        }
        return reinterpret_cast<CreateTextServicesFn>(reinterpret_cast<void*>(proc));
    }();
    return create;
}

CTxtWinHost::CTxtWinHost()
    : m_pControl(nullptr),
      m_cRefs(0),
      m_pServices(nullptr),
      m_dwStyle(0),
      m_dwFlags(0),
      m_nCaretWidth(0),
      m_nCaretHeight(0),
      m_nCaretWidthAlt(0),
      m_nCaretHeightAlt(0),
      m_nSelBarWidth(0),
      m_nMaxLength(0x7FFF),
      m_dwEventMask(0),
      m_nCharFormatIndex(0),
      m_nParaFormatIndex(0),
      m_rcClient{0, 0, 0, 0},
      m_sizelExtent{0, 0},
      m_cf{},
      m_pf{},
      m_nAccelPos(-1),
      m_chPassword(0)
{}

CTxtWinHost::~CTxtWinHost()
{
    Shutdown();
}

CTxtWinHost* CTxtWinHost::Create(MRichEdit* control, const CREATESTRUCTW* create)
{
    CTxtWinHost* host = new CTxtWinHost();
    if (!host->Init(control, create)) {
        host->Shutdown();
        // The services may still hold references to the host they were given;
        // it goes when the last of them is released.
        host->Release();
        return nullptr;
    }
    return host;
}

bool CTxtWinHost::Init(MRichEdit* control, const CREATESTRUCTW* create)
{
    m_pControl = control;
    m_cRefs = 1;

    // Default character format from the control's font.
    m_cf.cbSize = sizeof(CHARFORMAT2W);
    m_cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE |
                  CFM_OFFSET | CFM_CHARSET;
    if (gdi::Font font{control->GetDefaultFont()}) {
        LOGFONTW lf = {};
        ::GetObjectW(font, sizeof(lf), &lf);
        FormatFromLogFont(m_cf, lf, GetLogPixelsY());
    }
    m_cf.yOffset = 0;
    COLORREF color = control->GetTextColor();
    m_cf.crTextColor = IsLayered() ? NotBlack(color) : color;

    // Default paragraph format.
    m_pf.cbSize = sizeof(PARAFORMAT2);
    m_pf.dwMask = PFM_ALL;
    m_pf.wAlignment = PFA_LEFT;
    m_pf.cTabCount = 1;
    m_pf.rgxTabs[0] = 720;

    m_dwStyle = ES_MULTILINE;
    if (control->IsRich()) m_dwFlags |= kRich;
    m_nMaxLength = control->GetLimitText() > 0 ? control->GetLimitText() : 0x7FFF;
    if (create) {
        m_dwStyle = static_cast<DWORD>(create->style);
        if (!(m_dwStyle & (ES_AUTOHSCROLL | WS_HSCROLL))) m_dwFlags |= kWordWrap;
    }
    if (m_dwStyle & ES_CENTER)
        m_pf.wAlignment = PFA_CENTER;
    else if (m_dwStyle & ES_RIGHT)
        m_pf.wAlignment = PFA_RIGHT;
    m_dwFlags |= kInPlaceActive;
    // The field always draws its face beneath the text, so the services must
    // never paint a background. Wine's services read the back style once,
    // when they are created: answer transparent from the start (the field's
    // transparent update right after creation says the same again).
    m_dwFlags |= kTransparent;

    CreateTextServicesFn createServices = GetCreateTextServices();
    if (!createServices) return false;
    IUnknown* unknown = nullptr;
    if (FAILED(createServices(nullptr, this, &unknown)) || !unknown) return false;
    HRESULT hr =
        unknown->QueryInterface(IID_ITextServicesWexa, reinterpret_cast<void**>(&m_pServices));
    unknown->Release();
    if (FAILED(hr) || !m_pServices) {
        m_pServices = nullptr;
        return false;
    }
    if (create && create->lpszName && *create->lpszName) {
        if (FAILED(m_pServices->TxSetText(create->lpszName))) return false;
    }
    return true;
}

void CTxtWinHost::Shutdown()
{
    ITextServices* services = m_pServices;
    if (!services) {
        m_pControl = nullptr;
        return;
    }
    // Deactivation may still call back (caret, timers): the control is there.
    services->OnTxInPlaceDeactivate();
    m_dwFlags &= ~kInPlaceActive;
    m_pControl = nullptr;
    m_pServices = nullptr;
    services->Release();
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITextHostWexa)) {
        AddRef();
        *object = static_cast<ITextHost*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef()
{
    return ++m_cRefs;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::Release()
{
    const ULONG left = --m_cRefs;
    if (left == 0) delete this;
    return left;
}

// ---- helpers ----

HWND CTxtWinHost::HostWindow() const
{
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    return manager ? manager->GetPaintWnd() : nullptr;
}

bool CTxtWinHost::IsLayered() const
{
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    return manager && manager->IsLayered();
}

int CTxtWinHost::GetLogPixelsX()
{
    return DeviceLogPixels(HostWindow(), LOGPIXELSX);
}

int CTxtWinHost::GetLogPixelsY()
{
    return DeviceLogPixels(HostWindow(), LOGPIXELSY);
}

void CTxtWinHost::Notify(DWORD bit, DWORD value)
{
    if (m_pServices) m_pServices->OnTxPropertyBitsChange(bit, value);
}

// ---- ITextHost ----

HDC CTxtWinHost::TxGetDC()
{
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    return manager ? manager->GetPaintDC() : nullptr;
}

INT CTxtWinHost::TxReleaseDC(HDC)
{
    return 1;
}

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show)
{
    if (!m_pControl) return 1;
    const int visible = show ? 1 : 0;
    auto apply = [&](MScroll* scroll) {
        if (!scroll || scroll->m_bVisible == visible) return false;
        scroll->SetControlVisible(visible);
        m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
        return true;
    };
    if (bar == SB_VERT || bar == SB_BOTH) {
        apply(m_pControl->m_pScrollVertical);
        if (bar == SB_VERT) m_pControl->SetControlRect(m_pControl->GetRect());
    }
    if (bar == SB_HORZ || bar == SB_BOTH) apply(m_pControl->m_pScrollHorizontal);
    return 1;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bar, INT arrows)
{
    if (!m_pControl) return 1;
    const int visible = arrows == ESB_DISABLE_BOTH ? 0 : 1;
    auto apply = [&](MScroll* scroll) {
        if (!scroll || scroll->m_bVisible == visible) return;
        scroll->SetControlVisible(visible);
        m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
    };
    if (bar == SB_VERT) apply(m_pControl->m_pScrollVertical);
    if (bar == SB_HORZ) apply(m_pControl->m_pScrollHorizontal);
    if (bar == SB_BOTH && m_pControl->m_pScrollVertical && m_pControl->m_pScrollHorizontal) {
        apply(m_pControl->m_pScrollVertical);
        apply(m_pControl->m_pScrollHorizontal);
    }
    return 1;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL)
{
    if (!m_pControl) return 1;
    const long long span = static_cast<long long>(maxPos) - minPos;
    if (bar == SB_VERT) {
        MScroll* scroll = m_pControl->m_pScrollVertical;
        if (!scroll) return 1;
        const long long height = m_rcClient.bottom - m_rcClient.top;
        if (span - height > 0) {
            scroll->SetScrollMaxRange(static_cast<int>(span));
            if (!scroll->m_bVisible) scroll->SetControlVisible(1);
            m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
        } else if (scroll->m_bVisible) {
            scroll->SetControlVisible(0);
            m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
        }
    } else if (bar == SB_HORZ) {
        MScroll* scroll = m_pControl->m_pScrollHorizontal;
        if (!scroll) return 1;
        const long long width = m_rcClient.right - m_rcClient.left;
        if (span - width > 0) {
            if (!scroll->m_bVisible) scroll->SetControlVisible(1);
            scroll->SetScrollMaxRange(static_cast<int>(span));
            m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
        } else if (scroll->m_bVisible) {
            scroll->SetControlVisible(0);
            m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
        }
    }
    return 1;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL)
{
    if (!m_pControl) return 1;
    if (bar == SB_VERT) {
        MScroll* scroll = m_pControl->m_pScrollVertical;
        if (!scroll || scroll->IsChangeing()) return 1;
        scroll->SetScrollCurrentPosEx(pos);
        m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
        if (!scroll->m_bVisible) scroll->SetControlVisible(1);
    } else if (bar == SB_HORZ) {
        MScroll* scroll = m_pControl->m_pScrollHorizontal;
        if (!scroll || scroll->IsChangeing()) return 1;
        scroll->SetScrollCurrentPos(pos);
        if (scroll->m_bVisible) m_pControl->OnControlUpdate(scroll->m_rcControl, 1, scroll);
    }
    return 1;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL)
{
    HWND wnd = HostWindow();
    if (!IsLiveWindow(wnd)) return;
    if (IsLayered()) {
        ::InvalidateRect(wnd, nullptr, TRUE);
        return;
    }
    ::InvalidateRect(wnd, rect ? rect : &m_rcClient, FALSE);
}

void CTxtWinHost::TxViewChange(WINBOOL update)
{
    if (!m_pControl) return;
    m_pControl->OnTxViewChanged(update);
    TxInvalidateRect(nullptr, FALSE);
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    m_nCaretWidth = width;
    m_nCaretHeight = height;
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    if (!manager) return FALSE;
    if (manager->IsLayered()) return manager->CreateCaret(bitmap, width, height);
    HWND wnd = manager->GetPaintWnd();
    return IsLiveWindow(wnd) ? ::CreateCaret(wnd, bitmap, width, height) : FALSE;
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show)
{
    if (show)
        m_dwFlags |= kCaretShown;
    else
        m_dwFlags &= ~kCaretShown;
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    if (!manager) return FALSE;
    if (!manager->IsLayered()) {
        HWND wnd = manager->GetPaintWnd();
        if (!IsLiveWindow(wnd)) return FALSE;
        return show ? ::ShowCaret(wnd) : ::HideCaret(wnd);
    }
    if (manager->GetCurrentCaretObject() == m_pControl &&
        (m_pControl->IsReadOnly() || !m_pControl->IsVisible() || !m_pControl->IsEnabled()))
        return manager->ShowCaret(0);
    return manager->ShowCaret(show == 1 ? 1 : 0);
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    if (!manager) return FALSE;
    if (manager->IsLayered()) return manager->SetCaretPos(m_pControl, x, y);
    return ::SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    if (!manager) return FALSE;
    m_dwFlags |= kTimer;
    return manager->SetTimer(m_pControl, id, timeout) == 1 ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    PaintManager* manager = m_pControl ? m_pControl->GetManager() : nullptr;
    if (manager) manager->KillTimer(m_pControl, id);
    m_dwFlags &= ~kTimer;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture)
{
    HWND wnd = HostWindow();
    if (IsLiveWindow(wnd)) {
        if (capture)
            ::SetCapture(wnd);
        else
            ::ReleaseCapture();
    }
    if (capture)
        m_dwFlags |= kCaptured;
    else
        m_dwFlags &= ~kCaptured;
}

void CTxtWinHost::TxSetFocus()
{
    if (m_pControl) m_pControl->SetControlFocus(1);
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL)
{
    ::SetCursor(cursor);
}

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point)
{
    HWND wnd = HostWindow();
    return IsLiveWindow(wnd) ? ::ScreenToClient(wnd, point) : FALSE;
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point)
{
    HWND wnd = HostWindow();
    return IsLiveWindow(wnd) ? ::ClientToScreen(wnd, point) : FALSE;
}

HRESULT CTxtWinHost::TxActivate(LONG*)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect)
{
    if (rect) *rect = m_rcClient;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect)
{
    if (rect) *rect = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format)
{
    if (format) *format = reinterpret_cast<const CHARFORMATW*>(&m_cf);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format)
{
    if (format) *format = reinterpret_cast<const PARAFORMAT*>(&m_pf);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index)
{
    return NotBlack(::GetSysColor(index));
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style)
{
    if (style) *style = (m_dwFlags & kTransparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length)
{
    if (length) *length = static_cast<DWORD>(m_nMaxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* bars)
{
    if (bars) *bars = m_dwStyle & kScrollBarStyles;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch)
{
    if (ch) *ch = m_chPassword;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos)
{
    if (pos) *pos = m_nAccelPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    if (extent) *extent = m_sizelExtent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*)
{
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits)
{
    DWORD result = 0;
    if (m_dwFlags & kRich) result |= TXTBIT_RICHTEXT;
    if (m_dwStyle & ES_MULTILINE) result |= TXTBIT_MULTILINE;
    if (m_dwStyle & ES_READONLY) result |= TXTBIT_READONLY;
    if (m_dwStyle & ES_PASSWORD) result |= TXTBIT_USEPASSWORD;
    if (!(m_dwStyle & ES_NOHIDESEL)) result |= TXTBIT_HIDESELECTION;
    if (m_dwFlags & kAutoWordSel) result |= TXTBIT_AUTOWORDSEL;
    if (m_dwFlags & kWordWrap) result |= TXTBIT_WORDWRAP;
    if (m_dwFlags & kAllowBeep) result |= TXTBIT_ALLOWBEEP;
    if (m_dwFlags & kSaveSelection) result |= TXTBIT_SAVESELECTION;
    if (bits) *bits = result & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data)
{
    if (code == EN_REQUESTRESIZE && data) {
        const REQRESIZE* request = static_cast<const REQRESIZE*>(data);
        RECT rect = m_rcClient;
        rect.right = rect.left + request->rc.right;
        rect.bottom = rect.top + request->rc.bottom;
        SetClientRect(rect);
    }
    if (m_pControl) m_pControl->OnTxNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext()
{
    return nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width)
{
    if (width) *width = m_nSelBarWidth;
    return S_OK;
}

// ---- host operations ----

void CTxtWinHost::SetClientRect(const RECT& rect)
{
    m_rcClient = rect;
    m_sizelExtent.cx = ::MulDiv(rect.right - rect.left, 2540, GetLogPixelsX());
    m_sizelExtent.cy = ::MulDiv(rect.bottom - rect.top, 2540, GetLogPixelsY());
    // Windows' services lay out again on the view-inset bit; Wine's riched20
    // reads the client rectangle again only on the client-rectangle bit.
    const DWORD bits = TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE;
    Notify(bits, bits);
}

void CTxtWinHost::SetFont(HFONT font)
{
    if (!font) return;
    LOGFONTW lf = {};
    if (!::GetObjectW(font, sizeof(lf), &lf)) return;
    const int logPixelsY = GetLogPixelsY();
    m_cf.yHeight = static_cast<LONG>(static_cast<long long>(lf.lfHeight) * -1440 / logPixelsY);
    if (lf.lfWeight > 699) m_cf.dwEffects |= CFE_BOLD;
    if (lf.lfItalic) m_cf.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline) m_cf.dwEffects |= CFE_UNDERLINE;
    m_cf.bCharSet = lf.lfCharSet;
    m_cf.bPitchAndFamily = lf.lfPitchAndFamily;
    lstrcpynW(m_cf.szFaceName, lf.lfFaceName, LF_FACESIZE);
    Notify(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(COLORREF color)
{
    m_cf.crTextColor = NotBlack(color);
    Notify(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetMaxLength(int length)
{
    m_nMaxLength = length > 0 ? length : 0x7FFF;
    Notify(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
}

void CTxtWinHost::SetReadOnly(bool readOnly)
{
    if (readOnly)
        m_dwStyle |= ES_READONLY;
    else
        m_dwStyle &= ~static_cast<DWORD>(ES_READONLY);
    Notify(TXTBIT_READONLY, readOnly ? TXTBIT_READONLY : 0);
}

void CTxtWinHost::SetPassword(bool password)
{
    if (password)
        m_dwStyle |= ES_PASSWORD;
    else
        m_dwStyle &= ~static_cast<DWORD>(ES_PASSWORD);
    Notify(TXTBIT_USEPASSWORD, password ? TXTBIT_USEPASSWORD : 0);
}

void CTxtWinHost::SetRichText(bool rich)
{
    if (rich)
        m_dwFlags |= kRich;
    else
        m_dwFlags &= ~kRich;
    Notify(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetWordWrap(bool wrap)
{
    Notify(TXTBIT_WORDWRAP, wrap ? TXTBIT_WORDWRAP : 0);
}

void CTxtWinHost::SetTransparent()
{
    m_dwFlags |= kTransparent;
    Notify(TXTBIT_BACKSTYLECHANGE, 0);
}

bool CTxtWinHost::DoInPlaceActivate()
{
    m_dwFlags |= kInPlaceActive;
    if (!m_pServices || FAILED(m_pServices->OnTxInPlaceActivate(nullptr))) {
        m_dwFlags &= ~kInPlaceActive;
        return false;
    }
    return true;
}

void CTxtWinHost::SetCharFormat(const CHARFORMAT2W& format)
{
    m_cf = format;
}

void CTxtWinHost::SetParaFormat(const PARAFORMAT2& format)
{
    m_pf = format;
}

DWORD CALLBACK CTxtWinHost::ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    FILE* file = reinterpret_cast<FILE*>(cookie);
    const size_t read =
        (file && count > 0) ? fread(buffer, 1, static_cast<size_t>(count), file) : 0;
    if (done) *done = static_cast<LONG>(read);
    return 0;
}

DWORD CALLBACK CTxtWinHost::WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    FILE* file = reinterpret_cast<FILE*>(cookie);
    const size_t written =
        (file && count > 0) ? fwrite(buffer, 1, static_cast<size_t>(count), file) : 0;
    if (done) *done = static_cast<LONG>(written);
    return 0;
}

}  // namespace WEXA
