#pragma once
// KeyFuncType: a wrapping grid (MTileGrid) of picture items (rounded
// rectangles, 80 x 70 pixels and 10 pixels apart unless the owner changes
// them) with an icon near the top and a caption near the bottom. Nothing
// shows until the owner sets the content height. It is no drag source.
#include <windows.h>

#include "CString.h"
#include "MTileGrid.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API KeyFuncType : public MTileGrid
{
public:
    // The fifth argument is not used.
    KeyFuncType(MObject* owner, UINT id, CRect rect, int visible, int unused);

    void DrawControl(HDC& dc, CRect clip) override;

    // A new icon for the item when the skin file exists; repaints then.
    void SetItemImage(int index, CString icon);
    // Item size and gaps, shown from the next repaint.
    void SetWitdhAndHeight(int width, int height);
    void SetItemSplit(int horizontal, int vertical);
    // The content height; repaints. The bar follows at the next SetControlRect.
    void SetAllItemHeight(int height);

private:
    int m_nSplitX;
    int m_nSplitY;
};

}  // namespace WEXA
