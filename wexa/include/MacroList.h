#pragma once
// MacroList: the owner-drawn list of macro names (LISTITEM_INFO rows with the
// owner's data value, the macro id).
//
// Each row shows its text on a frame of the list's row strip (SetImage): the
// selected and hovered rows frame 2 with white text, the row being edited
// frame 1. Rows, scrolling and in-place renaming are MRowList's; a new row
// scrolls the list to the end.
//
// Events to the owner:
//   2   left button up on a row, outside its edit-icon zone  (0, 0)
//   9   left button up in a row's edit-icon zone             (0, 0)
//   5   right button up inside                    (new selection or -1, 0)
//   29  an edit committed with a changed text     (0, edited row)
//   26  the editor's text changed                 (0, 0), from the edit window
//
// Insertions and swaps keep an open editor on its row.
#include <windows.h>

#include "MRowList.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MacroList : public MRowList
{
public:
    MacroList(MObject* owner, UINT id, CRect rect, int visible);

    void SetControlRect(CRect rect) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    void GetTextRect(CRect& rect) override;

    // The edit image (SetEditImage) sizes the edit-icon zone, placed by the
    // next SetControlRect.
    void SetScaleValue(float scale) { m_fScale = scale; }
    CRect GetEditZone() const { return m_rcEditZone; }

    float m_fScale;
    CRect m_rcEditZone;  // relative to a row's top-left corner
    int m_nDragExtra;

protected:
    void DrawRow(Gdiplus::Graphics& g, Gdiplus::Font* font, int index, const LISTITEM_INFO* item,
                 int y, int w, int edited) override;
    int DrawPitch() const override { return Scaled(); }
    int DragExtra() const override { return m_nDragExtra; }
    void OpenEditor(CRect box, const CString& text) override;

private:
    int Scaled() const { return static_cast<int>(m_nItemHeight * m_fScale); }
};

}  // namespace WEXA
