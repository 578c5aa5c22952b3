#pragma once
// LCDViewCtrl: the grid of numbered thumbnails for the LCD screen's slots.
// Each item shows its picture in a 96 x 96 cell with its number in a round
// badge; the item under the pointer shows a two-line tip window
// (LEDFrameTips). Items lie two per row in the first two rows, and every item
// from the fifth on in the third row, left to right, 106 pixels apart.
//
// Events to the owner: 2 (item, 0) when the left button comes up inside the
// control over an item, which becomes selected first.
//
// Threads: the UI thread draws and handles the mouse; the program's worker
// fills and clears the grid while the LCD page loads. The item lock (a leaf of
// the engine's lock order) guards the item list; no notification or repaint
// request is made while it is held.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class LEDFrameTips;

struct LEDFRAME_INFO
{
    Gdiplus::Image* pThumbnail;  // in-memory copy, owned; null when missing
    int nWidth;
    int nHeight;
    CString strText;  // first line of the tip
    CString strTip;   // second line of the tip
    RECT rcItem;      // relative to the control's top-left corner, set by drawing
};

class WEXA_API LCDViewCtrl : public MPanel
{
public:
    enum { CELL = 96, GAP = 10 };

    LCDViewCtrl(MObject* owner, UINT id, CRect rect, int visible);
    ~LCDViewCtrl() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    void AddItem(CString path, CString text, CString tip);
    void SetItemInfo(int index, CString path, CString text, CString tip);
    int GetItemCount();
    int SetCurSel(int index);
    int GetCurSel() const { return m_curSel; }
    int GetHoverItem() const { return m_hoverItem; }
    int DeleteAllItems();
    void SetTips(CString text, CString tip, CRect rect);
    void ResetTips();
    LEDFrameTips* GetTipsWindow() const { return m_tips; }
    // Where item index lies (relative to the control), whether drawn yet or not.
    static CRect CellRect(int index);

private:
    CRect GetImageRect(int width, int height, CRect box);
    void Repaint();

    std::vector<LEDFRAME_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_hoverItem;
    int m_curSel;
    LEDFrameTips* m_tips;
    CRect m_thumbRect;
};

}  // namespace WEXA
