#pragma once
// MEdit: the library's text field, and CEditWnd, its native edit overlay.
//
// While the user is not typing, MEdit is a windowless control: it paints its
// face (four looks: 0 normal, 1 hover, 2 editing, 3 disabled), its text (or a
// grey placeholder, or password characters) and an optional icon. A click into
// it, or the keyboard focus, lays a CEditWnd ("FSEditWindow", a superclass of
// the system edit) exactly over its text rectangle and gives it the keyboard;
// every change typed there is copied back at once; when editing ends the
// overlay is hidden and the field paints the text again.
//
// Events to the owner (wparam and lparam 0):
//   1  press in the field (not on the icon), or Space while focused
//   2  release in the field after a press on it, or Space (after 1)
//   9  press on the icon           31  release on the icon
//   26 the typed text changed      29  editing ended
//   30 the overlay was opened (sent during the press, before 1)
//
// Deleting an MEdit destroys its overlay first; the overlay then no longer
// refers to the field, so no message of the native window reaches a deleted
// control. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "MWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class MEdit;

class WEXA_API CEditWnd : public MWindow
{
public:
    CEditWnd();
    ~CEditWnd() override;

    const wchar_t* GetWindowClassName() const override;  // "FSEditWindow"
    const wchar_t* GetSuperClassName() const override;   // "Edit"
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    // The window is gone: repaints the field, frees the brush, clears the
    // field's overlay pointer and deletes this object.
    void OnDestroyMessage(HWND hwnd) override;

    MEdit* m_pOwner;  // not owned; null once the field let go of it
    HBRUSH m_hBkBrush;
    int m_bReady;
};

class WEXA_API MEdit : public MControlFont
{
public:
    MEdit(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
          int enabled);
    ~MEdit() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    // Stores the text (null counts as empty) and shows it in the overlay.
    void SetControlTitle(const wchar_t* title) override;
    // Ends editing, then returns the stored text.
    CString GetControlTitle() override;

    // Stores the text when it differs; no repaint, the overlay is not changed.
    // A null text changes nothing.
    void SetEditText(const wchar_t* text);
    // The overlay's live text while it is shown, else the stored text.
    CString GetEditText();
    CString GetTitleEx() const { return m_strTitle; }
    // The grey hint drawn while the text is empty (null: none); no repaint.
    void SetTipInfo(const wchar_t* text);

    void SetPassWordChar(wchar_t ch) { m_chPassword = ch; }
    wchar_t GetPassWordChar() const { return m_chPassword; }
    void EnablePassWord(int on) { m_bPassword = on; }
    int IsPassWordMode() const { return m_bPassword; }
    void EnableMultLine(int on) { m_bMultiLine = on; }
    int IsMultLineMode() const { return m_bMultiLine; }
    void SetReadOnly(int on) { m_bReadOnly = on; }
    int IsReadOnly() const { return m_bReadOnly; }
    void SetNumberOnly(int on) { m_bNumberOnly = on; }
    int IsNumberOnly() const { return m_bNumberOnly; }
    void EnableCharMessage(int on) { m_bCharMessage = on; }
    int GetCharMessage() const { return m_bCharMessage; }
    void SetLimitText(int limit) { m_nLimitText = limit; }
    int GetLimitText() const { return m_nLimitText; }

    // Background of the overlay (0xFFFFFFFF: the system's). A new colour
    // destroys the overlay, so the next edit builds it with the new brush.
    void SetEditBKColor(COLORREF color);
    COLORREF GetEditBKColor() const { return m_crEditBk; }
    // The text colour as COLORREF.
    COLORREF GetEditTextColor() const;

    // Replaces the GDI font of the text and of overlays built later. The face
    // is cut to 31 characters; bold adds 700 to the weight (at most 1000).
    void SetEditFont(const wchar_t* face, int size, int bold, int underline, int italic);
    // The same from the control's font face, size and style bits.
    void SetEditFont();
    HFONT GetDefaultFont();

    void SetTextRect(CRect rect);
    CRect GetTextRect();
    CRect CalcTextRect(int recompute);
    // Skin folder + file as the icon strip (frames below 1 count as 1); 1, or 0
    // when it does not load (the field then has no icon).
    int SetIconImage(const wchar_t* file, int frames);

    int IsEditFocused();
    HWND GetEditHwnd();
    // Replaces the overlay pointer and nothing else.
    void SetEditWindow(CEditWnd* overlay) { m_pEditWnd = overlay; }

    // ---- data ----
    CString m_strTipInfo;
    int m_bPassword;
    int m_bMultiLine;
    int m_bReadOnly;
    int m_bNumberOnly;
    int m_bCharMessage;
    int m_nLimitText;
    wchar_t m_chPassword;
    COLORREF m_crEditBk;
    HFONT m_hEditFont;  // owned
    // The font the live overlay was given; kept (owned) while it may still
    // draw with it after SetEditFont made a new one.
    HFONT m_hOverlayFont = nullptr;
    int m_nState;
    int m_nFrameSize;
    Gdiplus::Image* m_pIconImage;  // owned
    int m_nIconWidth;
    int m_nIconHeight;
    int m_nIconFrames;
    RECT m_rcIcon;
    RECT m_rcText;
    int m_bTextRectFixed;
    int m_nIconState;
    CEditWnd* m_pEditWnd;  // owned through its window: deletes itself when destroyed

protected:
    void ShowEdit();
    void HideEdit();

private:
    friend class CEditWnd;
    void CalcIconRect();
    // The overlay's window when it is a live window, else null.
    HWND OverlayWindow() const;
    // The typed text changed (the overlay's EN_CHANGE).
    void OnOverlayChange();
    // The overlay lost the keyboard.
    void OnOverlayKillFocus();
    void DestroyOverlay();
};

}  // namespace WEXA
