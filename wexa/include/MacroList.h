#pragma once
// MacroList: the owner-drawn list of macro names (LISTITEM_INFO rows with the
// owner's data value, the macro id).
//
// Each row shows its text on a frame of the list's row strip (SetImage): the
// selected and hovered rows frame 2 with white text, the row being edited
// frame 1. With in-place editing on (EnableShowEdit), a double click opens
// the native CEditWindow over the row's text; the edit is committed when the
// list loses the focus or another row is pressed. Only the rows in view are
// drawn; the list scrolls with its vertical bar and the wheel.
//
// Events to the owner:
//   2   left button up on a row, outside its edit-icon zone  (0, 0)
//   9   left button up in a row's edit-icon zone             (0, 0)
//   5   right button up inside                    (new selection or -1, 0)
//   29  an edit committed with a changed text     (0, edited row)
//   26  the editor's text changed                 (0, 0), from the edit window
//
// A deletion while the editor is open closes it and drops the typed text;
// insertions and swaps keep it on its row. UI thread only; the row lock (an
// item lock, a leaf of the engine's lock order) guards the rows against the
// drawing.
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

class WEXA_API MacroList : public MPanel
{
public:
    MacroList(MObject* owner, UINT id, CRect rect, int visible);
    ~MacroList() override;

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

    // Sizes the edit-icon zone (the next SetControlRect places it).
    int SetEditImage(const wchar_t* skinFileName, int frames);
    void EnableShowEdit(int enable) { m_bShowEdit = enable; }
    void SetScaleValue(float scale) { m_fScale = scale; }

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
    void GetTextRect(CRect& rect);
    int GetEditItem();
    CEditWindow* GetEditWindow() const { return m_pEdit; }
    CRect GetEditZone() const { return m_rcEditZone; }
    int GetFirstDrawn() const { return m_nFirst; }
    int GetLastDrawn() const { return m_nLast; }
    int GetRowOffset() const { return m_nRowOffset; }

    std::vector<LISTITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nItemHeight;
    float m_fScale;
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
    CRect m_rcEditZone;  // relative to a row's top-left corner
    int m_bShowEdit;
    int m_nDragExtra;
    MImageList* m_pImageList;  // not owned, not used
    CEditWindow* m_pEdit;
    LISTITEM_INFO* m_pEditRow;         // the row being edited
    Gdiplus::StringFormat* m_pFormat;  // owned

private:
    int Scaled() const { return static_cast<int>(m_nItemHeight * m_fScale); }
    int DrawWidth() const;
    CRect RowWindowRect(const LISTITEM_INFO* item) const;
    void UpdateScroll();
    void DropEdit();
    int IndexOf(const LISTITEM_INFO* item) const;
};

}  // namespace WEXA
