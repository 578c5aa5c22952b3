#pragma once
// MLevelCtrl: a row of equal segments from a minimum to a maximum level,
// filled up to the current level, with an optional label below; a click on a
// segment picks its level (event 2, wparam = the level).
//
// MProgress: a progress bar from a background and a foreground image, from
// the control's own two-frame image, or, with no image, a thin line with a
// 3-pixel fill; it can also loop as an animation on the control tick.
#include <windows.h>

#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MLevelCtrl : public MControlFont
{
public:
    MLevelCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MLevelCtrl() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    // Clamped to minimum .. maximum; repaints on a change; no event.
    void SetLevelValue(int value);
    int GetLevelValue() const { return m_nLevel; }
    // Stores both; the level stays as it is.
    void SetRangeValue(int minimum, int maximum);
    int GetMinValue() const { return m_nMin; }
    int GetMaxValue() const { return m_nMax; }
    void SetSegmentHeight(int height) { m_nSegmentHeight = height; }
    void EnableShowLabel(int show) { m_bShowLabel = show; }

    // Segment k (level minimum + k) relative to the control; empty when the
    // range has no segment.
    CRect GetSegmentRect(int k) const;
    int GetSegmentCount() const;

    int m_nLevel;
    int m_nMin;
    int m_nMax;
    int m_nSegmentHeight;
    int m_bShowLabel;
};

class WEXA_API MProgress : public MControlFont
{
public:
    MProgress(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MProgress() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlTimer() override;

    // While enabled: above the maximum counts as the maximum, negative is
    // ignored; repaints on a change. Returns the position.
    int SetProgress(int value);
    int GetProgress() const { return m_nPos; }
    void SetMaxProgress(int maximum) { m_nMax = maximum; }
    int GetMaxProgress() const { return m_nMax; }
    void EnableShowText(int show) { m_bShowText = show; }
    // While enabled: the running flag and, when in 0 .. maximum, the position.
    int SetRun(int run, int pos);
    bool SetBackGroundImage(CString file);
    bool SetForeGroundImage(CString file);
    bool SetBackGroundImage(UINT id);
    bool SetForeGroundImage(UINT id);

    // Fill width for a width; 0 while the maximum is not positive.
    int FillWidth(int width) const;

    int m_nPos;
    int m_nMax;
    int m_nTick;
    int m_nTicksPerStep;
    int m_nImageMargin;
    int m_bShowText;
    int m_nBarHeight;
    Gdiplus::ARGB m_clrLine;
    Gdiplus::ARGB m_clrFill;
    Gdiplus::Image* m_pBackImage;  // engine's image cache
    Gdiplus::Image* m_pForeImage;  // engine's image cache
    int m_nBackWidth;
    int m_nBackHeight;
    int m_nForeWidth;
    int m_nForeHeight;

private:
    void Repaint();
};

}  // namespace WEXA
