#pragma once
// MSlider: a windowless horizontal slider: a thin track, its filled part up to
// a circular thumb, and optionally the value as text to the right of the
// track (the right 60 pixels of the control).
//
// The user drags the thumb, presses on the track (the thumb jumps there) or
// turns the wheel. Events to the owner:
//   8 (wparam the new position)  each time the pointer changes the position;
//   2 (0, 0)                     every left-button release on an enabled
//                                slider, and a wheel notch that changed the value.
// A range without width or a track of no length has no thumb place: the
// thumb stays at the left end and the pointer does not move it.
// UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MSlider : public MControlFont
{
public:
    MSlider(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MSlider() override;

    const wchar_t* GetClassNameW() const override { return L"MSlider"; }

    void DrawControl(HDC& dc, CRect clip) override;
    // Ignored while the maximum is 0 or less; else stores and places the thumb.
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // Above the maximum counts as the maximum; negative values and the current
    // position change nothing. No event. Returns the position.
    int SetProgress(int value);
    int GetProgress() const { return m_nPos; }
    void SetMinProgress(int value) { m_nMin = value; }
    void SetMaxProgress(int value) { m_nMax = value; }
    int GetMinProgress() const { return m_nMin; }
    int GetMaxProgress() const { return m_nMax; }
    void SetShowText(int show) { m_bShowText = show; }
    int GetShowText() const { return m_bShowText; }
    void SetScale(int scale) { m_nScale = scale; }
    // Sets the position from a pointer x; event 8 on a change. Returns the position.
    int MoveThumbPos(CPoint point);

    int GetState() const { return m_nState; }
    CRect GetThumbRect() const { return m_rcThumb; }
    // Pixels the thumb can travel (0 or less: no thumb place).
    int GetTrackLength() const;
    // The value text as drawn (title followed by the value).
    CString GetValueText() const;

private:
    int ThumbOffset(int position) const;
    void PlaceThumb();
    void Repaint(int erase);

    int m_nState;
    int m_nPos;
    int m_nMin;
    int m_nMax;
    int m_nThumbWidth;
    int m_nThumbHeight;
    int m_nScale;
    int m_bShowText;
    CRect m_rcThumb;
};

}  // namespace WEXA
