#pragma once
// KeyLayerCtrl: the narrow Fn-layer selector: a caption (the control title)
// at the top and below it a stack of small rounded entries, one per layer,
// 28 pixels tall from y = 35. The hovered and the selected entry are
// highlighted; a press on an entry selects it, and every release of the left
// button inside the enabled control reports event 2 (wparam and lparam 0).
//
// Threads: the program's worker calls SetCurrentLayer while the UI thread
// draws; the entries are guarded by the control's lock.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

struct LAYERITEM_INFO
{
    CString name;
    int layer;
    CRect rect;  // control coordinates, set by every drawing
};

class WEXA_API KeyLayerCtrl : public MControlFont
{
public:
    enum { FIRST_TOP = 35, ENTRY_HEIGHT = 28 };

    KeyLayerCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~KeyLayerCtrl() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    void AddLayer(CString name, int layer);
    // Deletes the entries; the hover and selection indexes stay (a stale one
    // selects nothing).
    void ClearList();
    // The selected entry's layer id; 0 when the selection lies outside the list.
    int GetCurKeyLayer();
    // Selects the first entry with that id; unchanged when none has it.
    void SetCurrentLayer(int layer);

    // The caption's colour: it stands on the window's background, the entries'
    // texts on their own light plates (text colour). Fully transparent (the
    // default) draws the caption in the text colour too.
    void SetTitleColor(Gdiplus::Color color) { m_clrTitle = color; }

    int GetLayerCount();
    int GetHoverItem() const { return m_nHover; }
    int GetSelectItem() const { return m_nSelected; }
    CRect GetLayerRect(int index);

private:
    std::vector<LAYERITEM_INFO*> m_items;
    CCriticalLock m_itemsLock;
    int m_nHover;
    int m_nSelected;
    Gdiplus::Color m_clrTitle{0};
};

}  // namespace WEXA
