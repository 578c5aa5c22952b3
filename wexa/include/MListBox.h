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
// A deletion while the editor is open closes it and drops the typed text.
// UI thread only; the row lock is an item lock, a leaf of the engine's lock
// order.
#include <windows.h>

#include <vector>

#include "CEditWindow.h"
#include "CLock.h"
#include "KeyboardRecords.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class MImageList;

class WEXA_API MListBox : public MPanel
{
public:
    MListBox(MObject* owner, UINT id, CRect rect, int visible);
    ~MListBox() override;

    int PtInRect(CPoint point) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    HBITMAP GetControlDropBitmap() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlLButtonDblClk(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;
    // The row strip: skin folder + file, frames below 1 count as 1; 0 when it
    // does not load.
    int SetImage(const wchar_t* skinFileName, int frames) override;
    using MControlFont::SetImage;

    // Loaded and kept; nothing reads it.
    int SetEditImage(const wchar_t* skinFileName, int frames);
    void EnableShowEdit(int enable) { m_bShowEdit = enable; }

    int AddString(const wchar_t* text, int image);
    int AddString(const wchar_t* text, long data, int image);
    // -1 for an index below -1 or past the last row; else the last index.
    // Does not scroll.
    int InsertString(int index, const wchar_t* text, int image, long data);
    int SetItemData(int index, long data);
    long GetItemData(int index);
    int ModifyItemString(int index, const wchar_t* text);
    // The same, repainting when repaint is not 0.
    int ModifyItemString(int index, const wchar_t* text, int repaint);
    int FindString(const wchar_t* text);
    int FindItemData(long data);
    int GetItemCount();
    int SetCurData(long data);
    int GetCurData();
    int SetCurSel(int index);
    int GetCurSel() const { return m_nSelect; }
    int GetHoverItem() const { return m_nHover; }
    void SetItemHeight(int height) { m_nItemHeight = height; }
    int DeleteItem(int index);
    int DeleteAllItems();
    CRect GetItemRect(int index);  // always empty
    CString GetItemText(int index);
    int SetImageList(MImageList* list)
    {
        m_pImageList = list;
        return 1;
    }
    void ShowEdit();
    // Destroys the editor (an open edit is dropped); the next ShowEdit makes a new one.
    void DestroyEdit();
    void SwapItem(int first, int second);
    void HideEdit(int force);
    void GetTextRect(CRect& rect);
    int GetEditItem();
    CEditWindow* GetEditWindow() const { return m_pEdit; }
    int GetFirstDrawn() const { return m_nFirst; }
    int GetLastDrawn() const { return m_nLast; }
    int GetRowOffset() const { return m_nRowOffset; }

    std::vector<LISTITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nItemHeight;
    int m_nHover;
    int m_nSelect;
    int m_nFirst;
    int m_nLast;
    int m_nRowOffset;
    Gdiplus::Image* m_pStrip;  // owned row strip
    int m_nStripWidth;
    int m_nStripHeight;
    Gdiplus::Image* m_pEditImage;  // owned
    int m_nEditWidth;
    int m_nEditHeight;
    int m_bShowEdit;
    int m_nIconColumn;         // icon column width, also the drag image's extra width
    MImageList* m_pImageList;  // not owned, not used
    CEditWindow* m_pEdit;
    LISTITEM_INFO* m_pEditRow;         // the row being edited
    Gdiplus::StringFormat* m_pFormat;  // owned

private:
    int DrawWidth() const;
    CRect RowWindowRect(const LISTITEM_INFO* item) const;
    void UpdateScroll();
    void DropEdit();
    int IndexOf(const LISTITEM_INFO* item) const;
};

}  // namespace WEXA
