#pragma once
// Composite colour pickers.
//
// CColorPalette: a row of eight preset swatches, the hue / lightness field
// with its saturation bar (MPalette), a large swatch of the chosen colour,
// three numeric fields for red, green and blue and a hexadecimal text field.
// A change in any of them brings the others up to date and is reported to
// the owner as event 27 (0, colour); every other event of a child is passed
// on unchanged with the child's id.
//
// CColorSelect: a column of seven fixed colour swatches; pressing one reports
// event 27 (index, colour) before the swatch's own event.

#include <windows.h>

#include "MPanel.h"
#include "WexaExport.h"

namespace WEXA {

class CColorButton;
class MPalette;
class MSpinButton;
class MEdit;
class MText;

class WEXA_API CColorPalette : public MPanel
{
public:
    CColorPalette(MObject* owner, UINT id, CRect rect, int visible);
    ~CColorPalette() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT sender, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    void SetTextColor(Gdiplus::Color color) override;
    int SetImage(const wchar_t* name, int frames) override;

    COLORREF GetSelectColor();
    // The field only: the other children keep their values; no event.
    void SetSelectColor(COLORREF color);
    int SetThumbImage(const wchar_t* name);
    void UpdateControlEx(int erase);

    MPalette* m_pPalette;
    CColorButton* m_pSelected;
    CColorButton* m_pPresets[8];
    MSpinButton* m_pSpins[3];
    MEdit* m_pHex;
    MText* m_pLabels[4];

private:
    // Child rectangles for the panel's rectangle, in creation order.
    void Place(CRect rect, bool create);
    void SetSpins(COLORREF color);
    void SetHexText(COLORREF color);
    // The chosen colour reaches the large swatch and the owner (event 27).
    LONG ApplyColor(COLORREF color);
};

class WEXA_API CColorSelect : public MPanel
{
public:
    CColorSelect(MObject* owner, UINT id, CRect rect, int visible);
    ~CColorSelect() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT sender, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // 0 to 6 checks that swatch, -1 unchecks all seven; anything else does nothing.
    void SetColorIndex(int index);
    COLORREF GetSelectColor() { return 0; }
    void SetSelectColor(COLORREF) {}

    CColorButton* m_pSwatches[7];
};

}  // namespace WEXA
