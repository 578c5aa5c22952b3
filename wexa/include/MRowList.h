#pragma once
// MRowList: what the two owner-drawn name lists (MacroList, MListBox) share:
// LISTITEM_INFO rows with the owner's data value, scrolling through a vertical
// bar and the wheel, hovering and hit testing, the drag picture of a row, and
// in-place renaming in the native CEditWindow laid over a row's text (opened
// on a double click when EnableShowEdit is on; committed when the list loses
// the focus or another row is pressed, with event 29 (0, edited row) to the
// owner when the text changed).
//
// Only the rows in view are drawn, each by DrawRow of the list that derives;
// a deletion while the editor is open closes it and drops the typed text.
// UI thread only; the row lock (an item lock, a leaf of the engine's lock
// order) guards the rows against the drawing.
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

class WEXA_API MRowList : public MPanel
{
public:
    ~MRowList() override;

    int PtInRect(CPoint point) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    HBITMAP GetControlDropBitmap() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDblClk(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;
    // The row strip: skin folder + file, frames below 1 count as 1; 0 when it
    // does not load.
    int SetImage(const wchar_t* skinFileName, int frames) override;
    using MControlFont::SetImage;

    int SetEditImage(const wchar_t* skinFileName, int frames);
    void EnableShowEdit(int enable) { m_bShowEdit = enable; }

    int AddString(const wchar_t* text, int image);
    int AddString(const wchar_t* text, long data, int image);
    // -1 for an index below -1 or past the last row; else the last index.
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
    void SwapItem(int first, int second);
    void HideEdit(int force);
    // Where the editor of the row being edited lies (window client
    // coordinates); empty when no row is edited.
    virtual void GetTextRect(CRect& rect) = 0;
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
    MImageList* m_pImageList;  // not owned, not used
    CEditWindow* m_pEdit;
    LISTITEM_INFO* m_pEditRow;         // the row being edited
    Gdiplus::StringFormat* m_pFormat;  // owned

protected:
    // Rows itemHeight pixels high (scrolling steps), text in textColour; a
    // new row scrolls the list to the end when scrollToNew is set.
    MRowList(MObject* owner, UINT id, CRect rect, int visible, int itemHeight,
             Gdiplus::Color textColour, bool scrollToNew);

    // Draws row index (item) into the list's picture at top y, width w and
    // the drawing pitch high; edited is the row being edited or -1. Called
    // under the row lock, font null when the list's face is missing.
    virtual void DrawRow(Gdiplus::Graphics& g, Gdiplus::Font* font, int index,
                         const LISTITEM_INFO* item, int y, int w, int edited) = 0;
    // Height of a drawn row (the item height unless the list scales it).
    virtual int DrawPitch() const { return m_nItemHeight; }
    // Width added to a row's text in its drag picture.
    virtual int DragExtra() const = 0;
    // Opens the editor over box (from GetTextRect) with the row's text.
    virtual void OpenEditor(CRect box, const CString& text) = 0;
    // A double click on a row, before the editor opens.
    virtual void OnRowDoubleClick(int) {}

    int DrawWidth() const;
    CRect RowWindowRect(const LISTITEM_INFO* item) const;
    void UpdateScroll();
    void DropEdit();
    int IndexOf(const LISTITEM_INFO* item) const;

private:
    bool m_bScrollToNew;
};

}  // namespace WEXA
