#pragma once
// The library's scroll bars: windowless controls.
//
// MScroll holds the scroll model (range maximum, position, page, row step)
// and the thumb rectangle; CScrollVertical and CScrollHorizontal lay the thumb
// out along their axis, draw it and let the user drag it or click the track
// beside it. Every move of the thumb by the user reports
// OnBaseMessage(bar id, 8, new position, 0) to the bar's owner.
//
// A bar whose range maximum is 0 or less, or whose page is at least the range
// maximum, is inert: it has an empty thumb, position 0, ignores the mouse and
// draws only what lies beneath it (see ScrollAxis.h for the arithmetic).
//
// UI thread only, like every control.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "ScrollAxis.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MScroll : public MControlFont
{
public:
    MScroll(MObject* owner, unsigned id, CRect rect, int visible);
    ~MScroll() override;

    const wchar_t* GetClassNameW() const override;  // "MScroll"

    // Ids of a container's two bars, and of a bar's children: step buttons
    // (reporting STEP_CLICK as lParam) and end buttons, which SetControlRect
    // places at their end of the bar. Left and back share id 4.
    enum ChildId : UINT {
        VERTICAL_BAR_ID = 1,
        HORIZONTAL_BAR_ID = 2,
        STEP_BACK_ID = 1,
        STEP_FORWARD_ID = 2,
        STEP_BACK_ALT_ID = 3,
        STEP_FORWARD_ALT_ID = 4,
        END_LEFT_ID = 4,
        END_RIGHT_ID = 5,
        END_TOP_ID = 6,
        END_BOTTOM_ID = 7,
    };
    enum { STEP_CLICK = 2 };

    // ---- MControl ----
    void DrawControl(HDC& dc, CRect clip) override;  // nothing
    // Children with id 1 or 3 step back one row, 2 or 4 forward (lParam 2).
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    // Stores the rectangle, lays the thumb out and places end-button children.
    void SetControlRect(CRect rect) override;

    // ---- virtual operations added after MControlFont's, in slot order ----
    // Moves the thumb by delta pixels; the applied delta. MScroll's own: 0.
    virtual int MoveRange(int delta);
    // Lays the thumb out for the model; the position. MScroll's own: 0.
    virtual int SetRange();
    // As SetRange with the position counted in content pixels. MScroll's own: 0.
    virtual int SetRangeEx();

    // ---- the model ----
    int GetScrollMaxRange() const { return m_nRangeMax; }
    int GetScrollCurrentPos() const { return m_nPosition; }
    // 1 only while a move is being reported to the owner.
    int IsChangeing() const { return m_bChanging; }
    // A computed page is computed again for the new maximum. 1.
    int SetScrollMaxRange(int max);
    int SetScrollCurrentPos(int pos);
    int SetScrollCurrentPosEx(int pos);
    int SetScrollBeginPos();
    // Position of the end of the track (the thumb is not moved); 0 when there
    // is nothing to move.
    int SetScrollFinalPos();
    // A page other than 0 is kept (no longer computed); a step other than 0
    // becomes the row step. 1.
    int SetScrollSize(int page, int step);
    int SetScrollInfo(int max, int pos, int page, int step);
    // Position + rows x row step, held in 0 .. range maximum; 1 when the
    // position changed.
    int ScrollRow(int rows);

    int GetScrollPage() const { return m_nPage; }
    int GetRowStep() const { return m_nRowStep; }
    int IsScrollable() const { return m_bScrollable; }
    int GetThumbState() const { return m_nThumbState; }
    CRect GetThumbRect() const { return m_rcThumb; }
    int GetEndSize() const { return m_nEndSize; }

    // ---- data ----
    int m_nThumbState;  // 0 pointer elsewhere, 1 over the thumb, 2 dragging
    int m_bOver;        // pointer inside the bar
    int m_bScrollable;  // page < range maximum
    int m_nEndSize;     // end buttons' length at both ends of the track
    int m_nRangeMax;
    int m_nPosition;
    int m_nPage;  // 0: computed by SetRange
    int m_nRowStep;
    CRect m_rcThumb;  // window client coordinates
    int m_bAutoPage;  // the page was computed, not set
    int m_bChanging;

protected:
    // The model and geometry along one axis.
    ScrollAxis MakeAxis(bool vertical) const;
    // Lays the thumb out and stores the results; the position.
    int LayoutThumb(bool vertical, bool pullBack, bool contentPixels);
    // Moves the thumb and reports the new position; the applied delta.
    int MoveThumb(bool vertical, int delta);
    // The pointer hooks of both bars.
    int TrackMouseMove(bool vertical, int& anchor, CPoint point);
    int TrackButtonDown(bool vertical, int& anchor, CPoint point);
    int TrackButtonUp(int& anchor, CPoint point);
    // Background copy, flat bar and thumb.
    void DrawBar(HDC& dc);
    // The image strip in three slices along the axis: 6 px at each end as
    // they are, the middle stretched.
    void DrawImageSlices(HDC& dc, CRect rect, bool vertical, int srcOffset, int sliceWidth,
                         int sliceHeight);
};

class WEXA_API CScrollVertical : public MScroll
{
public:
    CScrollVertical(MObject* owner, unsigned id, CRect rect, int visible);
    ~CScrollVertical() override;

    const wchar_t* GetClassNameW() const override;  // "CScrollVertical"

    // Default image: the engine's vertical scroll resource, else the skin file.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    // Frame width = image width / 3, frame height = image height.
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;
    int MoveRange(int delta) override;
    int SetRange() override;
    int SetRangeEx() override;

    void DrawRange(HDC& dc, CRect rect, int srcX);

    int m_nDragAnchor;  // pointer y at the last drag step; -1 when not dragging
};

class WEXA_API CScrollHorizontal : public MScroll
{
public:
    CScrollHorizontal(MObject* owner, unsigned id, CRect rect, int visible);
    ~CScrollHorizontal() override;

    const wchar_t* GetClassNameW() const override;  // "CScrollHorizontal"

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    // Resource: frame width = image width, frame height = image height / 4;
    // skin file: frame width = image width / 3, frame height = height / 4.
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;
    int MoveRange(int delta) override;
    int SetRange() override;

    // The image sliced across x; srcX selects the source row.
    void DrawRange(HDC& dc, CRect rect, int srcX);

    int m_nDragAnchor;  // pointer x at the last drag step; -1 when not dragging
};

}  // namespace WEXA
