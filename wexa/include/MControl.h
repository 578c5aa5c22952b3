#pragma once
// MControl: the windowless control.
//
// A control is a rectangle in the client coordinates of the window that hosts
// it, drawn by that window's engine (PaintManager) into the window's memory DC
// and fed with pointer, key and timer events by the same engine. It owns child
// controls (drawn after it, offered input) and areas (background controls, drawn
// before it, never offered input), so controls form a tree under each window.
//
// Input goes down: the engine calls the routing members (OnMouseMove,
// OnLButtonDown, ... without "Control" in their names) of a top-level control,
// which pass it to their current child and end in the overridable hooks
// (OnControlMouseMove, OnControlLButtonDown, ...). Events go up: SendMessageW
// calls the owner's OnBaseMessage with the control's id; repaint requests go up
// as the owner's OnControlUpdate.
//
// Each control caches its look in an off-screen image: m_bUpdate is 1 while the
// image is current (UpdateMemDC sets it), 0 when it must be rendered again
// (SetUpdate(0, ...)). A DrawControl renders only while m_bUpdate is 0 and
// otherwise copies the image.
//
// Threads: controls belong to the UI thread of their window, but the engine's
// multimedia-timer thread calls OnTimer of registered controls and the program's
// threads call setters of some widgets. The two lists are therefore guarded by
// the area lock and the child lock (both re-entrant; a thread that holds two
// takes the parent's before the child's). GetControl, SetUpdate and
// SetUpdateEx read the lists without a lock: UI thread only (a repaint request
// made on another thread is completed by the UI thread, and SetUpdate called
// there leaves its children to the UI thread). The engine's
// lock order and what tick handlers may do are described in PaintManager.h.
//
// Lifetime: a control owns its children and areas. Delete controls through
// their owner (RemoveControl, RemoveAllControl, the engine's RemoveControl and
// Clear... operations): those first take the whole subtree off the engine's
// multimedia-tick list, so no tick can reach a control that is being destroyed.
// A destroyed control also leaves no pointer to itself in its engine (hover,
// focus, tooltip owner, caret owner, window timers, tick list).
#include <windows.h>

#include <atomic>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MObject.h"
#include "WexaExport.h"

namespace WEXA {

class PaintManager;

class WEXA_API MControl : public MObject
{
public:
    MControl(MObject* owner, UINT id, CRect rect, int visible, int enabled, int mouseResponse);
    virtual ~MControl();

    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    // ---- MObject ----
    const wchar_t* GetClassNameW() const override;  // "MControl"

    // ---- virtual operations, in slot order ----
    // Called once the control is attached to an engine. Default: nothing.
    virtual void InitControl(PaintManager* manager);
    virtual int IsDragDrop();
    // 0 when hidden, else whether the point lies in the rectangle.
    virtual int PtInRect(CPoint point);
    // Renders the control; every concrete class implements it.
    virtual void DrawControl(HDC& dc, CRect clip) = 0;
    // Draws every visible child under the child lock; 1.
    virtual int DrawSubControls(HDC& dc, CRect clip);
    virtual int IsDraw(CPoint point);
    // Stores update, then passes (update, value) to every child that overlaps
    // the control. Areas are not visited. Called on another thread than the
    // window's, it stores the flag and leaves marking the children stale to
    // the UI thread (before its next paint).
    virtual void SetUpdate(int update, DWORD value);
    // Stores update, then SetUpdate(update, 0) on every overlapping area and child.
    virtual void SetUpdateEx(int update);
    // focus 0: SetControlFocus(0) on every child. Returns 0.
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect rect);
    // A container translates the point into content coordinates here; 0 when
    // the point was left as it was.
    virtual int OnMousePointChange(CPoint& point);
    virtual int OnCheckMouseResponse(UINT flags, CPoint point);
    // Every window message is offered to the engine's top-level controls here;
    // nonzero ends the engine's handling. Default 0.
    virtual LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam);
    virtual LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam);
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible);
    virtual void SetControlWndVisible(int visible);
    virtual void SetControlEnabled(int enabled);
    virtual int OnControlTimer();
    virtual HBITMAP GetControlDropBitmap();
    virtual int OnControlMouseMove(UINT flags, CPoint point);
    // Shows the control's cursor while the point lies in the control.
    virtual int OnControlSetCursor(UINT flags, CPoint point);
    virtual int OnControlLButtonDown(UINT flags, CPoint point);
    virtual int OnControlLButtonUp(UINT flags, CPoint point);
    virtual int OnControlLButtonDblClk(UINT flags, CPoint point);
    virtual int OnControlScroll(int step, UINT down, CPoint point);
    virtual int OnControlRButtonDown(UINT flags, CPoint point);
    virtual int OnControlRButtonUp(UINT flags, CPoint point);
    virtual int OnControlRButtonDblClk(UINT flags, CPoint point);
    // 1 when the accelerator key is set and equals key and the accelerator's
    // modifier value equals flags; else 0.
    virtual int OnControlKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnPositionChange();
    // Invalidates the control's rectangle in the engine's window (the whole
    // window when it is layered). The rectangle argument is not consulted.
    virtual void InvalidateRect(const RECT* rect, int erase);

    // ---- notifications and repaint requests ----
    // The owner's OnBaseMessage(id, code, wparam, lparam); 0 without an owner.
    LONG SendMessageW(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    // The owner's OnControlUpdate for the control's rectangle, when visible or forced.
    void UpdateControl(int erase, int force);
    // The same for the given rectangle (note the argument order).
    void UpdateControl(CRect rect, int force, int erase);
    // Sets the animate member to !flag and asks for the rectangle with erase 0.
    void UpdateAControl(int flag, int force);

    // ---- input routing (called by the engine and by parent controls) ----
    int OnMouseMove(UINT flags, CPoint point);
    int OnLButtonDown(UINT flags, CPoint point);
    int OnLButtonUp(UINT flags, CPoint point);
    int OnLButtonDblClk(UINT flags, CPoint point);
    int OnRButtonDown(UINT flags, CPoint point);
    int OnRButtonUp(UINT flags, CPoint point);
    int OnRButtonDblClk(UINT flags, CPoint point);
    // step 1 per wheel notch; down 1 when the wheel turned towards the user.
    int OnScroll(int step, UINT down, CPoint point);
    int OnKeyDown(UINT key, UINT repeat, UINT flags);
    int OnKeyUp(UINT key, UINT repeat, UINT flags);  // routes nothing, 0
    // OnControlTimer, then OnTimer of every visible child whose run-timer flag
    // is set, under the child lock. On the multimedia-timer thread the
    // children are skipped this once when the lock stays busy
    // (PaintManager::LockForTick).
    int OnTimer();
    void OnFocus(int focus);

    // ---- drawing and the off-screen images ----
    void Draw(HDC& dc, CRect clip);
    // Marks the look current; (re)creates the image when the size changed.
    void UpdateMemDC(HDC& dc, int cx, int cy);
    // Always creates a new animation image of that size.
    void UpdateAnimateDC(HDC& dc, int cx, int cy);
    int GetUpdate() const { return m_bUpdate; }

    // ---- tree ----
    std::vector<MControl*>& GetControls() { return m_controls; }
    // Depth first over the children, then the areas; the control itself is not
    // compared. UI thread only.
    MControl* GetControl(UINT id);
    // Deletes a child (and clears the engine's focus when the child holds it).
    // Always 0.
    int RemoveControl(MControl* child);
    void RemoveAllControl();
    int IsParentVisible();
    // True when the control and every control it lies in are visible (the
    // chain ends at an owner that is not a control: a window, or none).
    bool IsShown() const;

    // ---- state ----
    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height);
    CRect GetRect() const { return m_rcControl; }
    void SetVisible(int visible);
    void SetVisible(int visible, int repaint);
    int IsVisible() const { return m_bVisible; }
    void SetEnabled(int enabled);
    int IsEnabled() const { return m_bEnabled; }

    void SetParent(MObject* owner) { m_pParent = owner; }
    MObject* GetParantObject() const { return m_pParent; }
    // Sets the manager and calls InitControl with it.
    void SetManager(PaintManager* manager);
    PaintManager* GetManager() const { return m_pManager; }
    UINT GetControlID() const { return m_nID; }

    void SetDragDrop(int dragDrop) { m_bDragDrop = dragDrop; }
    void SetRresponse(int response) { m_bResponse = response; }
    int GetRresponse() const { return m_bResponse; }
    void SetTabStop(int tabStop) { m_bTabStop = tabStop; }
    int IsTabStop() const { return m_bTabStop; }
    int GetDblClk() const { return m_bDblClk; }
    int IsFocused() const { return m_bFocused; }
    void SetRunTimer(int run) { m_bRunTimer = run; }
    int IsRunTimer() const { return m_bRunTimer; }

    // Accelerator: a key (virtual-key code, 0 = none) and the modifier value the
    // engine passes with keys (0 none, 16 Shift, 17 Ctrl, 18 Alt, 19 Alt+Ctrl).
    void SetAcceleratorKey(UINT key, UINT modifiers);
    UINT GetAcceleratorKey() const { return m_nAccelKey; }
    UINT GetAcceleratorModifiers() const { return m_nAccelModifiers; }

    // ---- focus (the engine keeps it) ----
    int IsFocusControl();
    MControl* GetFocusControl(MControl* control);
    MControl* GetNextFocusableControl(MControl* control);
    MControl* GetPrevFocusableControl(MControl* control);

    // ---- tooltip ----
    // Stores the text shown while the pointer rests on the control (null: "").
    void SetTooltip(const wchar_t* text);
    // Shows the engine's tooltip now and records this control as its owner.
    void SetTooltip(CString text, CRect rect);
    void ClearTooltip();
    CString GetTooltip() const { return m_strTooltip; }
    void SetTooltipCtrlID(int id) {}
    int GetTooltipCtrlID() { return 0; }

    // ---- cursor ----
    // "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help"; any other
    // name (or null) leaves the cursor unchanged. Always 0.
    LONG SetCursorEx(const wchar_t* name);

    // ---- multimedia tick ----
    // Appends the control to the engine's tick receivers (no duplicate check).
    void AddMTimer();

    // ---- drag and drop ----
    // The current child's drop bitmap when there is one, else the control's own.
    HBITMAP GetDropBitmap();

    // ---- layout ----
    static int PositionItem2Value(const FS_POSITION_ITEM& item, int low, int high);

    // ---- data (public: derived controls and the program read them) ----
    MObject* m_pParent;        // owner: receives notifications and repaint requests
    PaintManager* m_pManager;  // engine of the hosting window, null until attached
    UINT m_nID;
    CRect m_rcControl;  // window client coordinates
    int m_bVisible;
    int m_bEnabled;
    int m_bDragDrop;
    int m_bResponse;  // 0: the control and its subtree ignore the mouse
    int m_bTabStop;
    int m_bDblClk;   // 0: a double click counts as another press
    int m_bPressed;  // a button went down inside and has not come up
    int m_bFocused;  // the control holds the keyboard
    int m_bUpdate;   // 1 while the off-screen image is current
    int m_bAnimate;
    int m_bRunTimer;                    // takes timer ticks from its parent / the engine
    int m_bRunning;                     // run state of a derived control's animation
    std::vector<MControl*> m_areas;     // owned
    std::vector<MControl*> m_controls;  // owned, drawn in order (later on top)
    CCriticalLock m_areaLock;
    CCriticalLock m_childLock;
    MControl* m_pCurControl;  // child that gets pointer input; not owned
    int m_nMemWidth;
    int m_nMemHeight;
    HBITMAP m_hMemBitmap;
    HDC m_hMemDC;
    HBITMAP m_hOldMemBitmap;
    int m_nAnimateWidth;
    int m_nAnimateHeight;
    HBITMAP m_hAnimateBitmap;
    HDC m_hAnimateDC;
    HBITMAP m_hOldAnimateBitmap;
    CString m_strTooltip;
    HCURSOR m_hCursor;
    UINT m_nAccelKey;
    UINT m_nAccelModifiers;

    // Number of entries this control has in its engine's tick list; lets removal
    // skip the tick lock when the control was never registered.
    std::atomic<int> m_nTickRefs;

private:
    // The point a child gets: the scroll bars of a container
    // (MScroll::VERTICAL_BAR_ID and HORIZONTAL_BAR_ID) get the point as
    // received, every other child the translated one.
    static CPoint ChildPoint(const MControl* child, CPoint received, CPoint translated);
    void FreeImages();
};

}  // namespace WEXA
