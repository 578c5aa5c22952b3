#pragma once
// MenuItem: one entry of the library's popup menu window.
//
// The menu window creates its entries by class name, gives them its font and
// lays them out; an entry draws its own highlight and label and reports a
// click: code 2 (0, 0) when the left button comes up inside after going down
// inside. Visual states (the frame shown): 0 normal, 1 hover, 2 pressed or
// checked, 3 disabled. UI thread only.
#include <windows.h>

#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class MenuWnd;

class WEXA_API MenuItem : public MControlFont
{
public:
    MenuItem(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MenuItem() override;

    const wchar_t* GetClassNameW() const override;  // "MenuItem"
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    int GetCheck() const { return m_bChecked; }
    // Refused (0, nothing changes) while the entry is not a check entry.
    int SetCheck(int check);
    // Checked state with frame 2 (or 0); repaints when visible.
    void SetControlCheck(int check);
    int ResetGroupCheck() { return 1; }
    CString GetGroupValue() { return CString(); }
    CString GetGroupName() const { return m_strGroupName; }
    void SetGroupName(CString name) { m_strGroupName = name; }
    CString GetValue() const { return m_strValue; }
    void SetSeparator(int separator) { m_bSeparator = separator; }
    int IsSeparator() const { return m_bSeparator; }
    int IsPopup() const { return m_bPopup; }
    int IsHover() const { return m_nState == 1 ? 1 : 0; }
    MenuWnd* GetPopupMenu() const { return m_pPopupMenu; }
    void SetPopupMenu(MenuWnd* menu) { m_pPopupMenu = menu; }
    void SetFrameWidth(int width) { m_nFrameWidthMenu = width; }
    MenuItem* GetParentMenu() { return nullptr; }
    void ShowPopupMenu() {}
    int GetState() const { return m_nState; }
    void SetTextIndent(int indent) { m_nTextIndent = indent; }
    int GetTextIndent() const { return m_nTextIndent; }

    int m_nState;
    int m_bChecked;
    int m_bItemPressed;
    int m_bCheckMode;
    int m_bSeparator;
    int m_bPopup;
    MenuWnd* m_pPopupMenu;
    int m_nTextIndent;
    int m_nFrameWidthMenu;
    CString m_strGroupName;
    CString m_strValue;
    Gdiplus::ARGB m_clrHover;
    Gdiplus::Image* m_pHoverImage;
    int m_nHoverImageWidth;
    int m_nHoverImageHeight;
    Gdiplus::Image* m_pSecondImage;
    int m_nSecondImageWidth;
    int m_nSecondImageHeight;

private:
    void Repaint(int erase);
};

}  // namespace WEXA
