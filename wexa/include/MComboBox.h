#pragma once
// The combo box family.
//
// MComboBox is the drop-down list: a windowless face (an image strip of four
// state frames and the selected item's text) that opens a CComboBoxWnd popup
// right below itself on a click. The popup hosts one CComboBoxList, a panel of
// 36-pixel rows with a vertical scroll bar when they do not fit; a click on a
// row closes the popup, selects the item and sends event 2 (index, 0) to the
// face's owner. The face keeps its items under its own (recursive) lock and
// copies them into a fresh popup at every opening.
//
// CColorCombo is a face-only colour swatch with the four mouse states that
// reports press (1) and release inside (2) to its owner.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "MControlFont.h"
#include "MPanel.h"
#include "MPopupWnd.h"
#include "WexaExport.h"

namespace WEXA {

struct COMBOITEM_INFO
{
    CString strText;
    CString strImage;                  // kept and copied; nothing draws it
    Gdiplus::ARGB color = 0xFF000000;  // kept and copied; nothing draws it
    long nData = 0;
    RECT rcItem = {0, 0, 0, 0};  // in the list: the row's last drawn place (client coordinates)
};

class CComboBoxList;

// The drop-down popup of MComboBox: the window "ComboWnd" of the library's
// default class, hosting the list (control id 88) inset 3 pixels.
class WEXA_API CComboBoxWnd : public MPopupWnd
{
public:
    CComboBoxWnd();
    ~CComboBoxWnd() override;

    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    // (88, 2, row, 19): the parent's OnMessage(0, 2, row, 19), then close.
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    // The parent's OnMessage(0, 22, 0, 0).
    int OnDestroy() override;

    int SetListBackImage(const wchar_t* skinFileName);
    int SetListBackImage(UINT resourceId, CString resourceType);
    // The list's AddItem; -1 without a list.
    int AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color color);
    void UpdateList();
    void SetTextColor(Gdiplus::Color color);
    CComboBoxList* GetList() const { return m_pList; }

    CComboBoxList* m_pList;  // owned by the engine
};

class WEXA_API MComboBox : public MControlFont
{
public:
    MComboBox(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MComboBox() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT sender, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    int AddItem(const wchar_t* text, long data, const wchar_t* image = nullptr,
                Gdiplus::Color color = Gdiplus::Color(0xFF000000));
    int InsertItem(int index, const wchar_t* text, long data, const wchar_t* image = nullptr,
                   Gdiplus::Color color = Gdiplus::Color(0xFF000000));
    int SetItemData(int index, long data);
    long GetItemData(int index);
    int SetItemText(int index, CString text);
    CString GetItemText(int index);
    int SetCurSel(int index);
    int GetCurSel() const { return m_nSelect; }
    int DeleteItem(int index);
    int DelAllItems();
    long GetCurData();
    int FindData(long data);
    int SelectData(long data);
    int GetCount();
    int SetBackImage(const wchar_t* name);
    int SetBackImage(UINT id, CString type);
    void SetScrollResID(UINT vertical, UINT horizontal);
    int SetShowModeMID(int left, int top, int right, int bottom);
    void SetTextRect(CRect rect) { m_rcText = rect; }
    CRect GetTextRect() const { return m_rcText; }
    int GetState() const { return m_nState; }
    bool IsOpen() const { return m_bOpen; }
    CComboBoxWnd* GetDropDown() const { return m_pDropDown; }
    // The popup's screen rectangle for the current items.
    CRect GetDropDownRect();

    std::vector<COMBOITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nSelect;
    CComboBoxWnd* m_pDropDown;  // owned
    int m_nState;
    CRect m_rcText;
    int m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom;
    CString m_strBackImage;
    UINT m_nBackImageID;
    CString m_strBackImageType;
    UINT m_nScrollVID;
    UINT m_nScrollHID;
    bool m_bOpen;

protected:
    void ResetTextRect();

private:
    void OpenDropDown();
    void ReleaseDropDown();
    void Repaint(int erase);
};

class WEXA_API CComboBoxList : public MPanel
{
public:
    CComboBoxList(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CComboBoxList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    void SetTextColor(Gdiplus::Color color) override;

    int AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color color);
    int GetItemCount();
    int GetListHeight();
    int DelAllItems();
    int GetHoverItem() const { return m_nHover; }
    int GetSelectItem() const { return m_nSelect; }
    CRect GetItemRect(int index);
    int GetFirstVisible() const { return m_nFirst; }
    int GetLastVisible() const { return m_nLast; }

    std::vector<COMBOITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nHover;
    int m_nSelect;
    int m_nRowHeight;
    int m_nFirst;
    int m_nLast;
    int m_nFirstOffset;
    Gdiplus::StringFormat* m_pFormat;
    Gdiplus::ARGB m_clrItemText;
    Gdiplus::SolidBrush* m_pItemTextBrush;
    Gdiplus::ARGB m_clrHighlight;
    Gdiplus::SolidBrush* m_pHighlightBrush;

private:
    void UpdateBar();
    void Repaint();
};

class WEXA_API CColorCombo : public MControlFont
{
public:
    CColorCombo(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CColorCombo() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    void SetAreaColor(Gdiplus::Color color);
    void SetIsOpen(bool open) { m_bOpen = open; }
    int GetState() const { return m_nState; }

    Gdiplus::ARGB m_clrArea;
    int m_nState;
    bool m_bOpen;
};

}  // namespace WEXA
