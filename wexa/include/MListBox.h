#pragma once
// MListBox: the general-purpose twin of MacroList (same rows, scrolling, hit
// testing and in-place rename), drawing its rows as rounded highlight boxes
// with an optional icon (the list's image strip: frame 0, frame 1 on the
// selected row) and reporting presses with the row index.
//
// Events to the owner:
//   1   left button pressed on a row (before an open edit is committed)  (row, 0)
//   2   left button released on a row                                   (row, 0)
//   3   double click on a row (before the editor opens)                 (row, 0)
//   5   right button released inside           (new selection or -1, 0)
//   29  an edit committed with a changed text  (0, edited row)
//
// Rows, scrolling and in-place renaming are MRowList's; a new row does not
// scroll the list.
#include <windows.h>

#include "MRowList.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MListBox : public MRowList
{
public:
    MListBox(MObject* owner, UINT id, CRect rect, int visible);

    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    void GetTextRect(CRect& rect) override;
    // Destroys the editor (an open edit is dropped); the next ShowEdit makes a new one.
    void DestroyEdit();

    int m_nIconColumn;  // icon column width, also the drag image's extra width

protected:
    void DrawRow(Gdiplus::Graphics& g, Gdiplus::Font* font, int index, const LISTITEM_INFO* item,
                 int y, int w, int edited) override;
    int DragExtra() const override { return m_nIconColumn; }
    void OpenEditor(CRect box, const CString& text) override;
    void OnRowDoubleClick(int row) override;
};

}  // namespace WEXA
