#pragma once
// ProfileList: a vertically scrolling list of named rows (PROFILEITEM_INFO),
// each with the owner's data value and a small row button on its right.
//
// Rows are 50 pixels high; the hovered row gets frame 1 and the selected row
// frame 2 of the row background (SetItemBkg, four frames); the row button is
// the control's own two-frame image (frame 1 while the pointer is on it). A
// press on a row selects it and opens the rename box over its name (the
// native CEditWindow); the rename ends when the list loses the focus or a
// press hits no row.
//
// Events to the owner:
//   2   left button released on a row            (0, row)
//   9   left button released on a row's button   (0, row)
//   29  a rename ended with a different text     (0, renamed row)
//   26  the rename box's text changed            (0, 0), from the edit window
// Scroll-bar notifications (child 1 or 2, code 8) are passed on after a repaint.
//
// Threads: the program's worker reloads the rows (ClearList, AddItem,
// SetScrollPos, SetCurData) while the UI thread paints. The row lock guards
// the row list and the rows' fields; notifications, repaints, scroll-bar
// updates and the rename window are called without it. The row lock is an
// item lock of the engine's lock order (PaintManager.h): a leaf.
#include <windows.h>

#include <vector>

#include "CEditWindow.h"
#include "CLock.h"
#include "KeyboardRecords.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API ProfileList : public MPanel
{
public:
    ProfileList(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~ProfileList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // Skin folder + name as the four-frame row background, when the file exists.
    void SetItemBkg(const wchar_t* skinFileName);
    // Appends a row, scrolls to the end; the new index.
    int AddItem(const wchar_t* name, int data, const wchar_t* iconFile);
    void ClearList();
    // Removes the row (nothing outside the list); clears hover and selection.
    void DeleteItem(int index);
    int GetItemCount();
    int GetItemData(int index);                       // 0 outside the list
    CString GetItemText(int index);                   // empty outside the list
    int SetItemText(int index, const wchar_t* text);  // 0 outside the list
    int GetCurData();                                 // 0 without a valid selection
    void GetCurValue(int& data, CString& text);
    // Selects the first row with the data (the selection stays when none has it).
    void SetCurData(int data);
    // Stores the index as the selection (no range test) when it changed.
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_nSelect; }
    int GetHoverItem() const { return m_nHover; }
    // Scrolls to the top whatever the argument.
    void SetScrollPos(int position);

    // The rename box over the selected row.
    void ShowEdit();
    void HideEdit(int force);
    void GetTextRect(CRect& rect);
    int GetEditItem() const { return m_nEditItem; }
    CEditWindow* GetEditWindow() const { return m_pEdit; }

    // Rows the last drawing showed, and the pixels of the first one above the top.
    int GetFirstDrawn() const { return m_nFirst; }
    int GetLastDrawn() const { return m_nLast; }
    int GetRowOffset() const { return m_nRowOffset; }
    int GetItemHeight() const { return m_nItemHeight; }

    std::vector<PROFILEITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nHover;
    int m_nSelect;
    int m_nButtonHover;          // 0 while the pointer is on the hovered row's button, else -1
    Gdiplus::Image* m_pItemBkg;  // owned
    int m_nBkgWidth;
    int m_nBkgHeight;
    int m_nItemHeight;
    int m_nFirst;
    int m_nLast;
    int m_nRowOffset;
    CRect m_rcButton;  // relative to a row's top-left corner
    CEditWindow* m_pEdit;
    int m_nEditItem;

private:
    int DrawWidth() const { return m_rcControl.Width() - 5; }
    CRect RowWindowRect(const PROFILEITEM_INFO* item) const;
    void UpdateScroll(bool toEnd);
};

}  // namespace WEXA
