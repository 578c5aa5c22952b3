#pragma once
// KeyMenuFuncType: a windowless list of function rows, 70 pixels tall across
// the control's width: a background frame from the control's sprite (0
// normal, 1 hovered, 2 selected), an icon, a title and a smaller second line.
// Releasing the left button over a row reports event 2 with the row's data
// value (the row under the pointer at the release). The list does not scroll.
// The rows are guarded by the control's own lock; UI thread otherwise.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "FuncItem.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API KeyMenuFuncType : public MControlFont
{
public:
    enum { ROW_HEIGHT = 70 };

    // The fifth argument is not used.
    KeyMenuFuncType(MObject* owner, UINT id, CRect rect, int visible, int unused);
    ~KeyMenuFuncType() override;

    const wchar_t* GetClassNameW() const override { return L"KeyMenuFuncType"; }

    void DrawControl(HDC& dc, CRect clip) override;
    // Stores the rectangle; no repaint.
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    // Appends a row; the icon (skin-relative, may be empty) when the file exists.
    void AddItem(CString text, CString secondText, int data, CString icon);
    void ClearList();
    void SetCurData(int data);
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_nSelected; }
    int GetCurData();
    int GetItemData(int index);
    int SetItemText(int index, CString text);
    CString GetItemText(int index);
    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }

private:
    int HitRow(CPoint point);
    void Repaint();

    std::vector<FUNCITEM_INFO*> m_rows;
    CCriticalLock m_rowsLock;
    int m_nHover;
    int m_nSelected;
    int m_nRowHeight;
};

}  // namespace WEXA
