#pragma once
// CRecordList: the recorded events of one macro (RecordItem rows).
//
// Each row shows its position number, an icon for its kind of event (frames
// of the control's icon strip, SetImage), the event's text, its delay in
// milliseconds (the time stamp) and a "more" button (SetMoreImage). A double
// click on a row opens a number box over the delay column (the native
// CEditWindow) that accepts 10 .. 65535.
//
// Events to the owner:
//   1   left button down inside            (selected row or -1, 0)
//   2   left button up on a row            (0, 0)
//   9   left button up on a "more" button  (0, 0)
//   5   right button up on a row           (selected row, 0)
//   30  the delay box opened               (0, 0)
//   29  the delay box closed with a new value; the row carries it  (0, row)
//   26  the delay box's text changed       (0, 0), from the edit window
//
// A deletion while the delay box is open closes it and drops the typed value;
// an insertion or move keeps the box with its row. UI thread only; the row
// lock (an item lock, a leaf of the engine's lock order) guards the rows
// against the drawing.
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

class WEXA_API CRecordList : public MPanel
{
public:
    CRecordList(MObject* owner, UINT id, CRect rect, int visible);
    ~CRecordList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlLButtonDblClk(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;
    // The event-type icon strip (frames below 1 count as 1); 0 when it does
    // not load.
    int SetImage(const wchar_t* skinFileName, int frames) override;
    using MControlFont::SetImage;

    int SetItemImage(const wchar_t* skinFileName, int frames);  // row background
    int SetMoreImage(const wchar_t* skinFileName, int frames);  // "more" button
    void SetItemHeight(int height) { m_nItemHeight = height; }
    void SetScaleValue(float scale) { m_fScale = scale; }
    int SetImageList(MImageList* list)
    {
        m_pImageList = list;
        return 1;
    }

    int AddString(const wchar_t* text, int eventType, int keyCode, int timeStamp);
    // Before the row at index (appends for -1 or an empty list); the last index.
    int InsertString(int index, const wchar_t* text, int eventType, int keyCode, int timeStamp);
    bool UpdateDelayTime(int timeStamp);
    void UpdateTimeStamp(int eventType, int keyCode, int timeStamp);
    int GetItemCount();
    int GetEventCount();
    int SetCurSel(int index);
    int GetCurSel() const { return m_nSelect; }
    int GetHoverItem() const { return m_nHover; }
    int DeleteItem(int index);
    int DeleteAllItems();
    void MoveTop(int index);
    void MoveBottom(int index);
    void SwapItem(int first, int second);
    int GetRecrodTimeStamp(int index);
    void SetTimeStampSelect(int timeStamp);
    int GetTimeStampSelect() const { return m_nTimeStampSelect; }
    void SetRecordInfo(int timeStamp, int eventType, const wchar_t* text, int keyCode);
    void SetRecordInfo(int index, const wchar_t* text, int eventType, int keyCode, int timeStamp);
    void GetRecordInfo(int index, CString& text, int& eventType, int& keyCode, int& timeStamp);
    void DeleteTimeStamp(int timeStamp);
    std::vector<RecordItem*> GetRecordItems();

    // The delay box.
    void ShowEdit();
    void HideEdit(int force);
    void SetEditText(const wchar_t* text);
    CString GetEditText();
    void GetTextRect(CRect& rect);
    int GetEditItem();
    CEditWindow* GetEditWindow() const { return m_pEdit; }

    // The delay a typed text stands for: a decimal number (leading blanks and
    // a sign allowed, anything after the digits ignored; no number counts as
    // 0), held to 10 .. 65535 without overflowing on long texts.
    static int ParseDelay(const wchar_t* text);

    int GetFirstDrawn() const { return m_nFirst; }
    int GetLastDrawn() const { return m_nLast; }
    int GetRowOffset() const { return m_nRowOffset; }
    CRect GetMoreRect() const { return m_rcMore; }
    CRect GetIconRect() const { return m_rcIcon; }

    std::vector<RecordItem*> m_items;
    CCriticalLock m_itemLock;
    int m_nItemHeight;
    float m_fScale;
    int m_nHover;
    int m_nSelect;
    int m_nTimeStampSelect;
    int m_nFirst;
    int m_nLast;
    int m_nRowOffset;
    Gdiplus::Image* m_pItemImage;  // owned
    int m_nItemFrameWidth;
    int m_nItemFrameHeight;
    Gdiplus::Image* m_pMoreImage;  // owned
    int m_nMoreFrameWidth;
    int m_nMoreFrameHeight;
    Gdiplus::Image* m_pIconImage;  // owned
    int m_nIconFrameWidth;
    int m_nIconFrameHeight;
    CRect m_rcMore;  // relative to a row's top-left corner
    CRect m_rcIcon;
    MImageList* m_pImageList;  // not owned, not used
    CEditWindow* m_pEdit;
    RecordItem* m_pEditRecord;         // the row whose delay is being edited
    Gdiplus::StringFormat* m_pFormat;  // owned

private:
    int Scaled() const { return static_cast<int>(m_nItemHeight * m_fScale); }
    int DrawWidth() const;
    CRect RowWindowRect(const RecordItem* item) const;
    void UpdateScroll(bool toEnd);
    // A deletion: the delay box closes and its text is dropped.
    void DropEdit();
    int IndexOf(const RecordItem* item) const;
};

}  // namespace WEXA
