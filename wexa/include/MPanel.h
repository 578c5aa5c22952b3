#pragma once
// MPanel: the container control.
//
// A panel's children are further controls, created by class name through its
// own factory (CreateControl, CreateArea) and owned by it. It passes its
// children's notifications on to its owner unchanged, so the dialog sees the
// id of the control that sent the event.
//
// Content larger than the panel scrolls: the panel's first two children are
// its vertical (id 1) and horizontal (id 2) scroll bars, laid out along the
// right and bottom edges by SetControlRect, which also measures the content
// (the virtual width and height, from the children's rectangles). While the
// content does not fit and scrolling is enabled:
//   - pointer points reach the children in content coordinates (the scroll
//     offsets added), except the two bars, which get window coordinates;
//   - a child's repaint rectangle is moved back into window coordinates (and
//     clipped to the panel) before the window is invalidated;
//   - the base panel draws no children: a derived panel draws its scrolled
//     content itself.
// The offsets come from the bars' positions:
//   vertical offset   = (virtual height - height) x V position / V range maximum
//   horizontal offset = (virtual width  - width)  x H position / H range maximum
// each 0 when the bar's range maximum is not above 0.
//
// Threads: the factory and the layout take the child / area locks; GetControl
// and the marking of a repaint request walk the children without them (UI
// thread only). A repaint request made on another thread (a ticked child, a
// setter called by a worker) only invalidates the window area there and is
// queued at the engine; the UI thread completes it (CompleteControlUpdate)
// before its next paint.
#include <windows.h>

#include "CRect.h"
#include "MControlFont.h"
#include "MScroll.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MPanel : public MControlFont
{
public:
    MPanel(MObject* owner, UINT id, CRect rect, int visible);
    ~MPanel() override;

    // ---- MObject ----
    // A child's notification: the panel's OnMessage with the same arguments.
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    // A child's repaint request. The window is invalidated only while the
    // panel is shown (MControl::IsShown); a hidden panel's children are only
    // marked stale, and showing the panel repaints it whole.
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override;

    // ---- MControl ----
    // Marks the panel attached and attaches both scroll bars to the engine.
    void InitControl(PaintManager* manager) override;
    // The current child's answer; 0 without a current child.
    int IsDragDrop() override;
    void DrawControl(HDC& dc, CRect clip) override;  // nothing of its own
    // The children are drawn only while the content fits (or scrolling is off).
    int DrawSubControls(HDC& dc, CRect clip) override;
    // Adds the scroll offsets while the content does not fit; 1 then.
    int OnMousePointChange(CPoint& point) override;
    int OnCheckMouseResponse(UINT flags, CPoint point) override;
    // Offered to each child in list order; 1 at the first that takes it.
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    // The owner's OnBaseMessage with the same arguments.
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    // Lays out the bars and measures the content.
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlWndVisible(int visible) override;
    // Passed on to every child whose flag differs (repainting visible ones).
    void SetControlEnabled(int enabled) override;
    int OnControlTimer() override;
    // The wheel scrolls the vertical bar one row.
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // ---- virtual operations of its own, in slot order ----
    virtual MControl* CreateArea(const wchar_t* className, UINT id, CRect rect,
                                 const wchar_t* title, int visible, int enabled);
    // The factory: kind 0 files the control in the areas, kind 1 in the
    // children, any other kind nowhere (the caller owns it). Null for an
    // empty or unknown class name (compared exactly, case-sensitively) or a
    // class that cannot be created yet.
    virtual MControl* CreateControl(UINT kind, MObject* owner, const wchar_t* className, UINT id,
                                    CRect rect, const wchar_t* title, int visible, int enabled);
    virtual MControl* CreateControl(const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title, int visible, int enabled);
    virtual int OnControlKeyUp(UINT key, UINT repeat, UINT flags);

    // The UI thread's part of a repaint request that a child made on another
    // thread: the requester (when still a child or area of this panel) and
    // the children drawn over it are marked stale and the area invalidated.
    void CompleteControlUpdate(CRect rect, int erase, MControl* control);

    // ---- scrolling ----
    MControl* GetScrollVertical() { return m_pScrollVertical; }
    MControl* GetScrollHorizontal() { return m_pScrollHorizontal; }
    // Stored as they are; the next SetControlRect measures again.
    void SetVirtualHeight(int height) { m_nVirtualHeight = height; }
    void SetVirtualWidth(int width) { m_nVirtualWidth = width; }
    int GetVirtualHeight() const { return m_nVirtualHeight; }
    int GetVirtualWidth() const { return m_nVirtualWidth; }
    void SetEnableScroll(int enable) { m_bEnableScroll = enable; }
    int GetEnableScroll() const { return m_bEnableScroll; }
    int IsAttached() const { return m_bAttached; }
    // Pixels the content is moved up / left by the bars' positions.
    int GetVerticalOffset() const;
    int GetHorizontalOffset() const;
    // True while scrolling is on and the content does not fit.
    bool IsContentScrolled() const;
    // Moves a bar of this panel to place, repainting its old and new place
    // when it is visible.
    void PlaceScrollBar(MScroll* bar, CRect place);
    // The vertical bar along rect's right edge and, with horizontalToo, the
    // horizontal bar along its bottom edge, thickness pixels. Takes the child lock.
    void PlaceScrollBars(CRect rect, int thickness, bool horizontalToo = true);
    // Shows the bar exactly while content is larger than view (repainting its
    // place when that changes) and gives it content as its range.
    void FitScrollBar(MScroll* bar, int content, int view);
    // A rectangle in the panel's content coordinates as it lies in the
    // window: moved by the scroll offsets while scrolled, clipped to the panel,
    // and so on through every panel this one sits in.
    CRect ContentToWindow(CRect rect) const;

    // ---- data ----
    int m_bAttached;
    int m_nVirtualHeight;
    int m_nVirtualWidth;
    CScrollVertical* m_pScrollVertical;      // child id 1, owned through the child list
    CScrollHorizontal* m_pScrollHorizontal;  // child id 2, owned through the child list
    int m_nScrollThickness;
    int m_bEnableScroll;

private:
    // A repaint request: the requester (with erase) and the later children
    // overlapping rect marked stale (UI thread); the area invalidated.
    void MarkRequest(const CRect& rect, int erase, MControl* control);
    void InvalidateRequest(const CRect& rect, int erase, bool fromScrollBar);
};

}  // namespace WEXA
