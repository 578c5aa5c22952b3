#pragma once
// Areas: filled rectangles behind other controls (backgrounds, panels,
// separators, frames). They take no input and send no events.
//
// CArea      one opaque colour, either inside a 1-pixel frame or, without the
//            frame, with corners rounded by 10 pixels once it is 10 pixels high.
// CRoundArea one colour that may be translucent, corners rounded by 10 pixels
//            unless switched off (SetRound(0)); narrower or lower than 10
//            pixels it is square.
// UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MControl.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API CArea : public MControl
{
public:
    CArea(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CArea() override;

    void DrawControl(HDC& dc, CRect clip) override;

    // Stores the two values (kept, not used by the drawing) and the fill colour
    // (COLORREF, drawn opaque); repaint request when visible.
    void SetTransparent(int first, int second, COLORREF color);
    // Frame on or off and its colour; the third value is ignored. Repaint
    // request when visible.
    void SetFrame(int on, Gdiplus::Color color, int unused);

    int m_nTransparent1;
    int m_nTransparent2;
    COLORREF m_crFill;
    int m_bFrame;
    Gdiplus::Color m_clrFrame;
};

class WEXA_API CRoundArea : public MControl
{
public:
    CRoundArea(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CRoundArea() override;

    void DrawControl(HDC& dc, CRect clip) override;

    // The fill colour (its alpha blends it over what lies beneath); repaint
    // request when visible.
    void SetColor(Gdiplus::Color color);
    // Rounded corners on for any non-zero value (the radius stays 10), off for
    // 0. No repaint request: shows at the next repaint.
    void SetRound(int round);

    Gdiplus::Color m_clrFill;
    int m_bRound;
};

}  // namespace WEXA
