#pragma once
// ColorView: a grid of fixed colour swatches on a dark background.
//
// Empty until InitColorView adds the built-in palette of 48 colours. The
// pointer highlights the swatch under it; a click selects it, remembers its
// colour (GetSelectColor, COLORREF) and sends event 2 (0, 0) to the owner.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

struct COLORVIEW_ITEM
{
    Gdiplus::ARGB color = 0xFF000000;
    RECT rect = {0, 0, 0, 0};  // relative to the control's top-left corner
};

class WEXA_API ColorView : public MControlFont
{
public:
    ColorView(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~ColorView() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    // Appends the 48 built-in swatches (again on a second call); no repaint.
    void InitColorView();
    void ClearAllItem();
    int GetSelectColor() const { return static_cast<int>(m_crSelect); }
    int GetItemCount();
    int GetHoverItem() const { return m_nHover; }
    int GetSelectItem() const { return m_nSelect; }

    std::vector<COLORVIEW_ITEM*> m_items;
    CCriticalLock m_itemLock;
    int m_nHover;
    int m_nSelect;
    COLORREF m_crSelect;
};

}  // namespace WEXA
