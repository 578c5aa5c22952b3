#pragma once
// CColorButton ("ColorButton"): a colour swatch. Pressing it selects it (code
// 1) and clears the other swatches of its group; a completed click sends code
// 2. Looks: 0 normal, 1 hover, 2 pressed, 3 disabled; a selected swatch shows
// the pressed look. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API CColorButton : public MControlFont
{
public:
    CColorButton(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CColorButton() override;

    const wchar_t* GetClassNameW() const override;  // "ColorButton"
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    int GetCheck() const { return m_nCheck; }
    // Only while enabled: stores it, look 2 or 0; a changed value clears the
    // group and repaints. Returns the check state.
    int SetCheck(int check);
    // Sets the state with no enabled test and no group reset.
    void SetControlCheck(int check);
    // Clears the other visible, enabled swatches of the group; 1, or 0 without owner.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_strGroupName = name ? name : L""; }
    CString GetGroupName() const { return m_strGroupName; }
    COLORREF GetColor() const { return m_crColor; }
    // Nothing when unchanged; else stores it and repaints.
    void SetColor(COLORREF color);
    // On: the swatch is drawn inset 3 pixels without an outline. No repaint.
    void SetVisibleBorder(bool visible) { m_bVisibleBorder = visible; }

    int m_nState;
    COLORREF m_crColor;
    int m_nCheck;
    bool m_bVisibleBorder;
    CString m_strGroupName;
};

}  // namespace WEXA
