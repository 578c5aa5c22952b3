#pragma once
// CirclePalette: a colour wheel. The user drags a small marker over the wheel
// image; the control reports the colour of the pixel under the pointer.
//
// The colours come from a 200 x 200 table filled at the first drawing from
// what the control then shows; only the part of the table inside the control
// is filled and read, and a pointer position outside the control picks
// nothing.
//
// Events to the owner: 27 (0, colour) when the marker moved; 2 (0, selected
// colour) when the left button comes up while enabled.
#include <windows.h>

#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API CirclePalette : public MControlFont
{
public:
    enum { kTableSize = 200 };

    CirclePalette(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CirclePalette() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    // The wheel from the engine's image cache; no repaint.
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    // Always 0.
    int MoveThumbPos(CPoint point);
    int GetDistanse(CPoint point);
    COLORREF GetSelectColor() const { return m_crSelect; }
    CRect GetThumbRect() const { return m_rcThumb; }
    int GetState() const { return m_nState; }
    // The table entry of a pixel relative to the control; 0 outside the table.
    COLORREF GetTableColor(int x, int y) const;
    // A colour chosen elsewhere (a swatch, the R/G/B fields): it becomes the
    // selected colour and the marker moves to the wheel's pixel nearest to it
    // (at the first drawing when the wheel has not been drawn yet, and again
    // after the control moves). Repaints; no event.
    void SetSelectColor(COLORREF colour);

    // Test seam: where the pointer is on the screen (null: GetCursorPos).
    static void SetCursorSource(BOOL(WINAPI* source)(POINT*));

    int m_nState;
    CRect m_rcThumb;
    COLORREF m_crSelect;
    int m_nThumbX;
    int m_nThumbY;
    COLORREF m_colorTable[kTableSize][kTableSize];  // [x][y]
    // The marker stands for m_crSelect set from outside: placed from the
    // table whenever the table or the control's place changes.
    bool m_bMarkerFollowsColour = false;

private:
    bool TableFilled() const { return m_colorTable[0][0] != 0 || m_colorTable[10][10] != 0; }
    void PlaceMarkerForColour();
};

}  // namespace WEXA
