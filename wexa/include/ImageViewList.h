#pragma once
// ImageViewList: the frame strip of the LCD page: one card per frame of the
// current animation layer, left to right in a horizontally scrolled strip,
// 205 pixels apart. A card shows a thumbnail of the frame and, at its lower
// right corner, a badge with the frame's delay in milliseconds.
//
// Each row keeps the frame's picture path and its edit picture path (the
// frame editor's edit copy, at first the picture itself); the page reads both
// with the delays and frame ids to save or preview the animation.
//
// Events to the owner: 2 (selected row, 0) when the left button comes up
// inside the control with a selection, outside the selected card's badge;
// 9 (selected row, 0) on that badge; 3 (row, 0) on a double click on a card;
// 5 (row or -1, 0) when the right button comes up inside the control. The
// notifications of the strip's scroll bars are passed on unchanged.
//
// Threads: the UI thread paints and handles the mouse; the program's worker
// refills the list while it reloads the LCD page. The rows change only under
// the row lock (a leaf of the engine's lock order; no notification or repaint
// request is made while it is held), and painting reads them under it.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

// One frame row; the page reads the fields directly (GetImageViewItems).
struct IMGITEM_INFO
{
    CString strReserved;         // "" when made; nothing reads it
    CString strImagePath;        // the frame's picture file
    CString strEditImagePath;    // the edit copy; starts as the picture path
    Gdiplus::Image* pThumbnail;  // in-memory copy, owned; null when the file did not load
    int nThumbWidth;
    int nThumbHeight;
    int nDelay;  // ms
    int nFrameId;
    CString strName;
    RECT rcCard;  // strip coordinates, set by every paint
};

// The view of the rows the handlers of both LCD lists share (internal).
namespace lcd {
template <class Row>
class RowStrip;
}  // namespace lcd

class WEXA_API ImageViewList : public MPanel
{
public:
    enum { CARD_PITCH = 205, CARD_WIDTH = 182 };

    ImageViewList(MObject* owner, UINT id, CRect rect, int visible);
    ~ImageViewList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlLButtonDblClk(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int AddString(CString path, int delay, int id, CString name);
    // Inserts after row index (-1: at the front). An index outside -1 .. count - 1
    // appends.
    int AddString(int index, CString path, int delay, int id, CString name);
    int DeleteItem(int index);
    int DeleteAllItems();
    int GetItemCount();
    int SetCurSel(int index);
    int GetCurSel() const { return m_nSelect; }
    int GetHoverItem() const { return m_nHover; }
    CString GetItemImageFile(int index);
    CString GetItemEditImageFile(int index);
    int GetFrameID(int index);
    CString GetFrameItemName(int index);
    int GetItemDelayTime(int index);
    bool SetItemDelayTime(int index, int ms);
    bool SetDelayTime(int ms);
    void UpdateItemImageFile(int index, CString path);
    // A copy of the row pointers, taken without the lock: use them on the UI
    // thread while the list does not change.
    std::vector<IMGITEM_INFO*> GetImageViewItems() { return m_items; }
    int SetItemImage(const wchar_t* first, const wchar_t* second);
    // Writes the rows' pictures, in order, with their delays as one animated
    // GIF of width x height (width below 1: 320). Always 1.
    int SaveGIFImageFile(CString path, int width, int height);

    // The visible rows of the last paint (-1 before one) and the strip offset.
    int GetFirstVisible() const { return m_nFirstVisible; }
    int GetLastVisible() const { return m_nLastVisible; }
    int GetStripOffset() const { return m_nStripOffset; }
    // A row's card in window coordinates (as last painted); empty outside.
    CRect GetCardRect(int index);

private:
    CRect GetImageRect(int width, int height, CRect box);
    int InsertRow(int at, CString path, int delay, int id, CString name);
    void UpdateScrollBar();
    int TotalWidth();
    CRect CardToWindow(const RECT& card) const;
    // The rows as the handlers both LCD lists share see them.
    lcd::RowStrip<IMGITEM_INFO> Cards();
    void Repaint();

    std::vector<IMGITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nPitch;
    int m_nHover;
    int m_nSelect;
    int m_nFirstVisible;
    int m_nLastVisible;
    int m_nStripOffset;
    CRect m_rcThumb;
    Gdiplus::Image* m_pCardImage1;
    Gdiplus::Image* m_pCardImage2;
    int m_nCard1Width, m_nCard1Height, m_nCard2Width, m_nCard2Height;
};

}  // namespace WEXA
