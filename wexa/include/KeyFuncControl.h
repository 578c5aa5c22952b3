#pragma once
// KeyFuncControl: an on-screen keyboard of flat key tiles (111 keys after
// InitItemInfo). A press inside the enabled control reports event 1 with the
// index of the tile under the pointer (-1 for none) as wparam; the owner then
// reads the pressed key with GetCurItemData. One key can be shown checked,
// found by its data (SetItemCheckByItemData). The wheel is swallowed.
//
// Painting and the mouse run on the UI thread; the tiles are read and cleared
// under the control's lock. Indexes left pointing past the tiles (after
// ClearItems) mean "none".
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

struct KEYFUNCITEM_INFO
{
    CString label;
    int code = 0;
    int data1 = 0;
    int data2 = 0;
    Gdiplus::Image* icon = nullptr;  // owned
    RECT rect = {0, 0, 0, 0};        // control coordinates

    KEYFUNCITEM_INFO() = default;
    KEYFUNCITEM_INFO(const KEYFUNCITEM_INFO&) = delete;
    KEYFUNCITEM_INFO& operator=(const KEYFUNCITEM_INFO&) = delete;
    ~KEYFUNCITEM_INFO() { delete icon; }
};

class WEXA_API KeyFuncControl : public MPanel
{
public:
    static const Gdiplus::ARGB kKeyFill = 0xFF515151;
    static const Gdiplus::ARGB kKeyEdge = 0xFFB4B4B4;

    KeyFuncControl(MObject* owner, UINT id, CRect rect, int visible);
    ~KeyFuncControl() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;
    using MControlFont::SetImage;

    // The built-in layout of 111 keys; no repaint.
    void InitItemInfo();
    // Deletes the tiles; the hovered, pressed and checked indexes keep their values.
    void ClearItems();
    void SetItemDesc(int code, CString text);
    // Checks the first tile whose code and data equal the arguments (none for code 0).
    void SetItemCheckByItemData(int code, int data1, int data2);
    // The pressed tile's code, data and label; false when no tile is pressed.
    // The first argument is not written.
    bool GetCurItemData(int& first, int& code, int& data1, int& data2, CString& label);

    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }
    int GetPressedItem() const { return m_nPressed; }
    int GetCheckedItem() const { return m_nChecked; }
    // A copy of a tile's label, code and place; false outside the list.
    bool GetItemInfo(int index, CString& label, int& code, CRect& rect);

private:
    void AddKeyItem(CString label, int code, CRect rect, CString icon);
    bool IsTile(int index) const { return index >= 0 && index < static_cast<int>(m_items.size()); }

    std::vector<KEYFUNCITEM_INFO*> m_items;
    CCriticalLock m_itemsLock;
    int m_nHover;
    int m_nPressed;
    int m_nChecked;
};

}  // namespace WEXA
