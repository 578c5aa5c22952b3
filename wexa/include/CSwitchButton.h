#pragma once
// CSwitchButton: an on/off switch drawn from two image strips, one per
// position. A completed click flips it and sends code 2 with the new position
// in lparam. Looks: 0 normal, 1 hover (also while pressed), 3 disabled.
// UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API CSwitchButton : public MControlFont
{
public:
    CSwitchButton(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CSwitchButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    using MControlFont::SetImage;
    // Loads skin folder + on and off as the two strips of frames looks each
    // (below 1 counts as 1). Returns 1 even when an image does not load (that
    // position is then drawn empty).
    int SetImage(const wchar_t* on, const wchar_t* off, int frames);
    int GetCheck() const { return m_nOn; }
    // At any time: stores the position, look 0; repaint when it changed.
    // Returns the position; no event.
    int SetCheck(int on);

    int m_nState;
    Gdiplus::Image* m_pOnImage;   // owned
    Gdiplus::Image* m_pOffImage;  // owned
    int m_nOnWidth;
    int m_nOnHeight;
    int m_nOffWidth;
    int m_nOffHeight;
    int m_nOn;
    int m_bPressing;
};

}  // namespace WEXA
