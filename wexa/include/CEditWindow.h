#pragma once
// CEditWindow: the native edit window ("FSEditWindow", a superclass of the
// system edit) that list controls lay over a row for in-place editing.
//
// The owner creates it with new on its first edit, fills in the colours,
// flags and limit, calls ShowEditWindow and stores the address of its own
// pointer member in m_ppOwnerSlot. Later edits reuse the window (the owner
// moves, fills and shows it); the owner ends an edit by reading the text and
// hiding the window. Every change typed is copied into the control's title at
// once and reported to the control's owner as event 26 (wparam and lparam 0).
// Return ends the edit as a click elsewhere does (the control loses the focus:
// the list commits and hides the box); Ctrl+A selects the whole text.
//
// When the window is destroyed (with its parent, or explicitly) the object
// repaints the control, clears the owner's member through the slot and
// deletes itself. An owner that is deleted while the window exists must
// destroy the window first (DestroyWindow), so that no message of the window
// reaches the deleted control. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MControlFont.h"
#include "MWindow.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API CEditWindow : public MWindow
{
public:
    CEditWindow();
    // Releases the background brush and the font.
    ~CEditWindow() override;

    const wchar_t* GetWindowClassName() const override;  // "FSEditWindow"
    const wchar_t* GetSuperClassName() const override;   // "Edit"
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    void OnDestroyMessage(HWND hwnd) override;

    // Stores the background (0xFFFFFFFF: the system's colours) and text colours; 1.
    int SetEditColors(COLORREF background, COLORREF text);
    // Creates the window over the control (rect in client coordinates of the
    // control's window; empty: one text line inside the control), fills it with
    // the control's title, selects all and gives it the keyboard. Nothing for
    // a control without a window.
    void ShowEditWindow(MControlFont* control, CRect rect);

    MControlFont* m_pControl;  // not owned
    HBRUSH m_hBkBrush;
    int m_bShown;
    int m_bBlink;
    int m_bPassword;
    int m_bReadOnly;
    int m_bNumberOnly;
    int m_nLimit;
    wchar_t m_chPassword;
    COLORREF m_crBackground;
    COLORREF m_crText;
    HFONT m_hFont;
    CEditWindow** m_ppOwnerSlot;

private:
    // Return: the control loses the focus (commits and hides the box).
    void FinishEdit();
};

}  // namespace WEXA
