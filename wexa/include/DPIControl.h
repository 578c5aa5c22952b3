#pragma once
// DPIControl: the tile of one DPI stage of a pointing device: a caption at
// the top, the DPI value in a framed box (frame 0 of the control's sprite
// unchecked, frame 1 checked), a check button (child 30) at the left edge and
// a colour swatch button (child 31) at the right edge. Tiles with the same
// group name under one owner behave like radio buttons: pressing a tile checks
// it and unchecks the others. The buttons' notifications reach the owner twice:
// tagged with the tile's id (lparam 1 check button, 2 colour button), then
// unchanged. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"

namespace WEXA {

class CCheckButton;
class CColorButton;

class WEXA_API DPIControl : public MPanel
{
public:
    enum { CHECK_ID = 30, COLOR_ID = 31 };
    static const Gdiplus::ARGB kCheckedValueColor = 0xFECA5180;

    DPIControl(MObject* owner, UINT id, CRect rect, int visible);
    ~DPIControl() override;

    const wchar_t* GetClassNameW() const override { return L"DPIControl"; }
    // Creates the two buttons and lays them out.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    int GetDPIValue() const { return m_nDPIValue; }
    void SetDPIValue(int value);
    unsigned long GetColor() const { return m_crColor; }
    void SetColor(unsigned long color);
    int GetCheck() const { return m_nCheck; }
    int SetCheck(int check);
    CString GetGroupName() const { return m_strGroupName; }
    void SetGroupName(const wchar_t* name) { m_strGroupName = name ? name : L""; }
    // Unchecks the other tiles of the group; 0 without an owner, else 1.
    int ResetGroupCheck();

    CCheckButton* GetCheckButton() const { return m_pCheck; }
    CColorButton* GetColorButton() const { return m_pColor; }

    CString m_strGroupName;

private:
    void RepaintKeepingLook();

    CCheckButton* m_pCheck;  // children of the panel
    CColorButton* m_pColor;
    int m_nCheck;
    int m_nDPIValue;
    COLORREF m_crColor;
};

}  // namespace WEXA
