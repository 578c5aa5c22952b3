#pragma once
// CTxtWinHost: the text host of the windowless rich edit field.
//
// MRichEdit has no window of its own. Its text is kept, edited and drawn by the
// platform's windowless text services (ITextServices from "Msftedit.dll",
// riched20 under Wine), which ask their host everything about the place they
// live in: DC, client rectangle, default formats, limits, caret, scroll bars,
// timers and capture. This host answers from its control, forwarding window
// work to the control's PaintManager (caret, timers, invalidation) and to the
// control's own scroll-bar children.
//
// Calling conventions: the ITextHost methods after IUnknown are plain C++
// virtual methods in the platform header, so on i686 the compiler gives them
// thiscall, which is what the text services use; QueryInterface, AddRef and
// Release are stdcall. On x86_64 there is one convention. Keep the overrides
// exactly as declared by the platform header (no STDMETHODCALLTYPE on them).
//
// Lifetime: Create returns a host holding one reference, owned by the control.
// The control calls Shutdown before it goes: the host deactivates the
// services, forgets the control (so a late call from the services reaches no
// deleted control) and releases the services; the control's Release then
// deletes the host once nobody holds it any more.
//
// UI thread only: the services call back synchronously from inside the
// control's message forwarding and drawing.
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include "WexaExport.h"

namespace WEXA {

class MRichEdit;

// The interface ids the platform headers declare but do not define.
extern WEXA_API const IID IID_ITextServicesWexa;
extern WEXA_API const IID IID_ITextHostWexa;

class WEXA_API CTxtWinHost : public ITextHost
{
public:
    // Flag bits.
    enum : DWORD {
        kAutoWordSel = 1u << 0,
        kWordWrap = 1u << 1,
        kAllowBeep = 1u << 2,
        kRich = 1u << 3,
        kSaveSelection = 1u << 4,
        kInPlaceActive = 1u << 5,
        kTransparent = 1u << 6,
        kTimer = 1u << 7,
        kCaptured = 1u << 8,
        kCaretShown = 1u << 9,
    };

    // Makes the host of a control: default formats from the control, then the
    // text services. Only the style and the window name of the creation record
    // are read. Null (nothing left behind) when the services cannot be made or
    // refuse the initial text.
    static CTxtWinHost* Create(MRichEdit* control, const CREATESTRUCTW* create);

    // Loads the text services' library once per process and returns its
    // creation function, null when there is none.
    typedef HRESULT(WINAPI* CreateTextServicesFn)(IUnknown*, ITextHost*, IUnknown**);
    static CreateTextServicesFn GetCreateTextServices();

    // Deactivates and releases the services and forgets the control. Safe to
    // call twice.
    void Shutdown();

    ITextServices* GetTextServices() const { return m_pServices; }
    MRichEdit* GetControl() const { return m_pControl; }
    ULONG GetRefCount() const { return m_cRefs; }

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ---- ITextHost, in slot order ----
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT bar, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                          LPRECT updateRect, UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT point) override;
    WINBOOL TxClientToScreen(LPPOINT point) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT rect) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* bars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC imc) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

    // ---- host operations the control uses ----
    // Client rectangle (window client coordinates) and its extent in HIMETRIC.
    void SetClientRect(const RECT& rect);
    const RECT& GetClientRect() const { return m_rcClient; }
    SIZEL GetExtent() const { return m_sizelExtent; }
    // Default character format from a GDI font (heights in twips).
    void SetFont(HFONT font);
    void SetColor(COLORREF color);
    void SetMaxLength(int length);
    int GetMaxLength() const { return m_nMaxLength; }
    void SetReadOnly(bool readOnly);
    void SetPassword(bool password);
    void SetRichText(bool rich);
    void SetWordWrap(bool wrap);
    void SetTransparent();
    // In-place activation of the services; false when they refuse.
    bool DoInPlaceActivate();
    bool IsCaptured() const { return (m_dwFlags & kCaptured) != 0; }
    DWORD GetFlags() const { return m_dwFlags; }
    DWORD GetStyle() const { return m_dwStyle; }
    void SetCharFormat(const CHARFORMAT2W& format);
    void SetParaFormat(const PARAFORMAT2& format);
    const CHARFORMAT2W& GetCharFormat() const { return m_cf; }
    const PARAFORMAT2& GetParaFormat() const { return m_pf; }

    // Stream callbacks for EM_STREAMIN / EM_STREAMOUT with a FILE* cookie.
    static DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done);
    static DWORD CALLBACK WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done);

    // The window DC's logical pixels per inch (96 without a window).
    int GetLogPixelsX();
    int GetLogPixelsY();

private:
    CTxtWinHost();
    virtual ~CTxtWinHost();
    bool Init(MRichEdit* control, const CREATESTRUCTW* create);
    void Notify(DWORD bit, DWORD value);
    HWND HostWindow() const;
    bool IsLayered() const;

    MRichEdit* m_pControl;
    ULONG m_cRefs;
    ITextServices* m_pServices;
    DWORD m_dwStyle;
    DWORD m_dwFlags;
    int m_nCaretWidth;
    int m_nCaretHeight;
    int m_nCaretWidthAlt;
    int m_nCaretHeightAlt;
    LONG m_nSelBarWidth;
    int m_nMaxLength;
    DWORD m_dwEventMask;
    int m_nCharFormatIndex;
    int m_nParaFormatIndex;
    RECT m_rcClient;
    SIZEL m_sizelExtent;
    CHARFORMAT2W m_cf;
    PARAFORMAT2 m_pf;
    LONG m_nAccelPos;
    wchar_t m_chPassword;
};

}  // namespace WEXA
