#pragma once
// What the library's tip windows share (the key tip, the LCD frame tip, the
// three-text tip and the loading window): the handler slots of a borderless
// tool window, in the order the balloon tip has them, and the helpers every
// one of them needs (embedded font, skin and resource images, rounded region).
//
// WEXA_TIP_WINDOW_HANDLERS declares the handlers inside a class derived from
// MWindow; the sources route a message to them as the balloon does (the
// library's DispatchWindowMessage with the focus and WM_NCDESTROY handlers):
// each handled message goes to its handler, whose result is ignored, and then
// to the previous window procedure; WM_ERASEBKGND answers 1 and the close
// request 1090 the result of OnUserCloseWindow.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

#define WEXA_TIP_WINDOW_HANDLERS                                        \
    virtual LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam);   \
    virtual void CloseWindow();                                         \
    virtual int OnCreate(CREATESTRUCTW* create);                        \
    virtual int OnSize(UINT type, int cx, int cy);                      \
    virtual int OnMouseMove(UINT flags, CPoint point);                  \
    virtual int OnMouseLeave(UINT_PTR wparam, LONG_PTR lparam);         \
    virtual int OnMouseHover(UINT_PTR wparam, LONG_PTR lparam);         \
    virtual int OnMouseWheel(UINT flags, short delta, CPoint point);    \
    virtual int OnLButtonDown(UINT flags, CPoint point);                \
    virtual int OnLButtonUp(UINT flags, CPoint point);                  \
    virtual int OnLButtonDblClk(UINT flags, CPoint point);              \
    virtual int OnRButtonDown(UINT flags, CPoint point);                \
    virtual int OnRButtonUp(UINT flags, CPoint point);                  \
    virtual int OnRButtonDblClk(UINT flags, CPoint point);              \
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);           \
    virtual int OnNcHitTest(CPoint point);                              \
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);                      \
    virtual int OnNcCalcSize(int calcValid, NCCALCSIZE_PARAMS* params); \
    virtual int OnNcActivate(int active);                               \
    virtual int OnSetFocus(HWND previous);                              \
    virtual int OnKillFocus(HWND next);                                 \
    virtual int OnWindowPosChanging(WINDOWPOS* pos);                    \
    virtual int OnWindowPosChanged(WINDOWPOS* pos);                     \
    virtual int OnPaint();                                              \
    virtual void OnTimer(UINT id);                                      \
    virtual int OnNcPaint();                                            \
    virtual int OnClose();                                              \
    virtual int PostNcDestroy();                                        \
    virtual int OnDestroy();

// The key and frame tips (CKeyboardTips, LEDFrameTips) alike: the calls
// after their constructor and destructor, and the state between their texts
// and their GDI fonts.
#define WEXA_KEY_TIP_CALLS                                                     \
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override; \
    int PreTranslateMessage(MSG* msg) override;                                \
    int OnInitDialog() override;                                               \
    WEXA_TIP_WINDOW_HANDLERS                                                   \
    int LoadBKImage(CString file);                                             \
    int LoadBKImage(UINT resId, CString type);                                 \
    void SetBackMode(enumBackMode mode, int parameter);

#define WEXA_KEY_TIP_STATE                             \
    POINT m_ptAnchor;                                  \
    int m_nType;                                       \
    int m_nMode;                                       \
    Gdiplus::FontFamily* m_pFontFamily;                \
    Gdiplus::PrivateFontCollection* m_pFontCollection; \
    Gdiplus::StringFormat* m_pStringFormat;            \
    Gdiplus::Image* m_pBkImage;                        \
    int m_nBkWidth;                                    \
    int m_nBkHeight;                                   \
    enumBackMode m_backMode;                           \
    int m_nBackParam;

namespace WEXA {

namespace tipwindow {

// The first family of the library's embedded font ("ttf" resource 106), with
// the collection that must live as long as it. Both null without the resource.
WEXA_API void LoadEmbeddedFont(Gdiplus::FontFamily*& family,
                               Gdiplus::PrivateFontCollection*& collection);
// Replaces image by the skin file (or the resource of the program's module);
// 1 when it loaded, else 0 and no image.
WEXA_API int LoadSkinImage(CString file, Gdiplus::Image*& image, int& width, int& height);
WEXA_API int LoadResImage(UINT resId, CString type, Gdiplus::Image*& image, int& width,
                          int& height);
// Clips the window to a rounded rectangle of its own size.
WEXA_API void SetupRoundRegion(HWND hwnd, int corner);
// Style (style AND 0xFF3BFFFF) OR 0x06000008, extended style WS_EX_TOOLWINDOW.
WEXA_API void ApplyToolWindowStyles(HWND hwnd);
// The style a control creates its tip window with: a popup that stays hidden
// until the control shows it.
const DWORD kTipWindowStyle = 0x96020080 & ~WS_VISIBLE;
// Shows a tip window without taking the activation from the window the user
// works in (nothing when it is shown already).
WEXA_API void ShowWithoutActivation(HWND hwnd);
// A GDI font of the library face with the default GUI font's other attributes.
WEXA_API HFONT CreateLibraryGdiFont(int height);
// Copies a 32-bit bitmap opaquely onto the window's client area.
WEXA_API void CopyToWindow(HWND hwnd, HDC source, int width, int height);

}  // namespace tipwindow
}  // namespace WEXA
