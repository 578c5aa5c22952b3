#pragma once
// PaintManager: the engine of one window.
//
// Every dialog (and the library's menu and popup windows) holds one and passes
// it every message of its window. The engine owns the window's top-level
// controls and areas, creates controls by class name, routes pointer, wheel and
// key input to them, keeps the hover, focus and capture state, paints the
// window, runs window timers, the multimedia tick, caret, tooltip, balloon and
// message overlay, caches images and fonts, and is the window's drop target.
//
// Threads: everything runs on the window's UI thread except the multimedia
// tick (OnMTimer, on winmm's timer thread) and the list and cache operations
// other threads reach through controls, which take the engine's locks:
//   areas lock, controls lock   the two control lists
//   ticks lock                  the multimedia-tick receivers and the tick in progress
//   images lock, fonts lock     the caches
//   timers lock                 the window-timer records
//   repaints lock               repaint requests made on other threads
// All are re-entrant.
//
// Lock order:
//   1. areas lock, controls lock: never both at once (the areas lock is
//      released before the controls lock is taken). The UI thread holds them
//      while it walks the lists and runs the controls' handlers and Draw.
//   2. inside them, the controls' own area and child locks, parent before child.
//   3. ticks lock, repaints lock, images lock, fonts lock: leaves. Nothing of
//      ours is taken and no control is called while one of them is held.
//   4. a control's own item locks (the matrix screen's cell lock, then its
//      shared-state lock or its audio lock, never both; each keyboard widget's list
//      lock alone: tabs, function tiles and rows, key groups, layers, key test
//      entries, on-screen keys; the LCD widgets' locks, each alone: ImageView's
//      layer, preview and picture locks, the row locks of ImageViewList and
//      LCDViewList, LCDViewCtrl's item lock; the standard controls' row
//      locks, each alone: the combo box face's item lock, its drop-down
//      list's item lock, MListBoxEx's row lock, KeyMenuFuncType's row lock;
//      CGifPicture's frame lock, which the tick takes to step the frames):
//      leaves below everything above. The tick, the UI thread (drawing, mouse) and the program's
//      threads take them; nothing else is taken under them, and no repaint
//      request or notification is made while one is held.
//      The keyboard widgets' item locks (the keyboard picture's key lock, the
//      row locks of ProfileList, CRecordList, MacroList and MListBox, the
//      device list's card lock) are of this kind, with one allowance: their
//      drawing reads the engine's font and image caches (fonts lock, images
//      lock of 3) while holding them.
//      The effect panel (NimbrelEffect) orders its own: paint lock, then step
//      lock, then layer lock or key-item lock (never both), then audio lock.
//      Under its paint lock only the engine's fonts and images leaves are
//      taken (text drawing); callers may hold its key-item lock
//      (EnterCriSec) and take nothing of the panel's under it.
//   The timers lock is held while window-timer handlers run (UI thread only).
//   MTimer's registry, record and resolution locks (MTimer.cpp) are leaves
//   too, and none is held across a synchronous timer stop.
//   The glyph-face registry lock (GlyphFaces.cpp): the last leaf of all, taken
//   by text drawing under any of the locks above (the fonts lock too, when a
//   private font is registered); only GDI font calls run under it.
//   The program's wait-dialog slot lock, then that dialog's close-latch lock
//   (app/dialogs/WaitDialogSlot.h, DialogCloseLatch.h): leaves below all of the
//   above; only PostMessageW runs under them.
//   The program's pending-write journal lock (app/mainwnd/PendingWrites.h):
//   held by a page's store around its database call, so it comes before the
//   database's own lock; nothing else is taken under it, and no message is
//   sent or posted under it.
//
// The multimedia tick (one winmm thread for every engine and every other
// MTimer of the process) takes only leaves and the child locks of the
// controls it ticks (parent before child). It reads the receiver list under
// the ticks lock and runs each receiver's OnTimer outside it. It never waits
// long for a child lock (LockForTick): it gives the lock up at once while any
// thread of the process waits for the timer thread (a synchronous stop of any
// multimedia timer, a wait for a tick of any engine to end; MTimer counts
// them), and after a few milliseconds otherwise (a UI thread may hold the
// lock in a modal loop); the control's children then miss that one tick.
//
// Lists are walked only on the UI thread, or on the tick under the child
// locks as above. A repaint request (OnControlUpdate of the engine or of a
// panel) made on any thread other than the window's walks no list and calls
// no SetUpdate there: it queues itself under the repaints lock and
// invalidates its rectangle; the UI thread completes it (the requester and
// the controls drawn over it marked stale) before its next paint. SetUpdate
// called on such a thread stores the control's flag and queues its children
// the same way.
//
// Waiting for the tick: removing a control (the engine's and the controls'
// removal operations, a control's destructor), DeleteFSTimer and stopping the
// multimedia timer (KillMTimer, DestroyData, the destructor) wait for a tick
// that is running on that control (on any control, for the timer). Because
// the tick gives way to every such wait, these calls may be made from
// handlers that run under list or child locks, whichever engine's timer they
// stop. A tick handler itself never waits for its own tick.
// Tick handlers must not send messages to the window (PostMessageW posts from
// other threads), create, delete or remove controls, start or stop window
// timers, or wait for a lock of their own that the UI thread may hold while
// it removes a control, stops any multimedia timer or runs a modal loop (try
// it, and leave the work to the next tick when it is busy); the item locks of
// 4 are allowed: they are held only briefly, with nothing taken under them.
//
// Lifetime: Init binds the window; DestroyData (on WM_NCDESTROY, once) deletes
// every control and area and empties the caches; the destructor ends the rest.
// Images and font families handed out by the caches stay valid until
// DestroyData.
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CIDropTarget.h"
#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MShadow.h"
#include "MTimer.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class MWindow;
class MObject;
class MControl;
class MRichEdit;
class MAirBladder;
class MPanel;

// An image of an engine's cache. The cache owns the record and its image; both
// stay valid until the engine's data is destroyed.
struct ImgResInfo
{
    Gdiplus::Image* pImage;
    int nWidth;       // frame width: image width / frame count
    int nHeight;      // image height
    int nCount;       // frame count (at least 1)
    CString strName;  // skin file name as requested (empty for resources)
    UINT nResID;      // resource id (0 for skin files)
};

// One window timer of a control (see SetTimer).
struct ControlTimerRecord
{
    HWND hWnd;
    UINT nKey;     // the control's own timer number
    UINT nID;      // system timer id handed out by the engine
    int bStopped;  // 1 after KillTimer(control, key); kept for re-arming
    MControl* pControl;
};

class WEXA_API PaintManager : public MTimer, public CIDropTarget
{
public:
    PaintManager();
    virtual ~PaintManager();

    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    // ---- MTimer ----
    using MTimer::OnMTimer;
    // The multimedia tick (winmm's timer thread): ticks closer than 3 ms to the
    // last handled one are dropped; then every registered control whose run
    // timer flag is set and that is shown (MControl::IsShown: neither it nor
    // a control it lies in hidden) gets OnTimer, in registration order. The list is read
    // under the ticks lock; OnTimer runs outside it, and a control taken off
    // the list meanwhile is not ticked.
    void OnMTimer(UINT id) override;

    // ---- CIDropTarget ----
    // The engine is a member of its window object and dies with it: dropping
    // the last reference never deletes it.
    ULONG STDMETHODCALLTYPE Release() override;
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;
    void OnDragOver(POINTL screenPoint) override;

    // ---- lifetime ----
    // Binds the engine to a live window: its DC, drop target, private fonts,
    // default scroll-bar image ids (102 vertical, 101 horizontal).
    void Init(HWND window, MWindow* dialog);
    // Tears everything down once (no-op unless initialised).
    void DestroyData();
    void OnDestroyMessage(HWND window);
    void PostNcDestroy();
    // A control is being destroyed: forget every pointer to it (hover, focus,
    // tooltip owner, caret owner, window timers, tick receivers).
    void ForgetControl(MControl* control);
    // Takes the control and its whole subtree off the tick list and waits for
    // a tick running on any of them to finish. Call before deleting a control;
    // list and child locks may be held.
    void DetachControlTree(MControl* control);
    // Takes a control's lock for a tick's walk of its children. On a thread
    // running a multimedia tick (of any engine or timer) it gives up (false,
    // nothing taken) when the lock is busy and any thread of the process
    // waits for the timer thread, or when it stays busy for a few
    // milliseconds; elsewhere it locks (true).
    static bool LockForTick(CCriticalLock& lock);
    // True while the engine exists (constructed and not yet destroyed).
    static bool IsLiveManager(const PaintManager* manager);
    // True on the managed window's thread, and on any thread before Init.
    bool IsUIThread() const;

    // ---- accessors and window wrappers ----
    HDC GetPaintDC() const { return m_hDcPaint; }
    HWND GetPaintWnd() const { return m_hWndPaint; }
    HWND GetToolTipWnd() const { return m_hWndPaint; }
    MWindow* GetMDialog() const { return m_pDialog; }
    std::vector<MControl*>& GetControls() { return m_controls; }
    std::vector<MControl*>& GetAreaControls() { return m_areas; }
    int IsInit() const { return m_bInit; }
    BOOL GetClientRect(CRect& rect);
    BOOL GetWindowRect(CRect& rect);
    BOOL GetClientSize(int& cx, int& cy);
    void SetCaptionRect(CRect rect) { m_rcCaption = rect; }
    void GetCaptionRect(CRect& rect) const { rect = m_rcCaption; }
    void SetWindowMaxSize(int cx, int cy);
    void SetWindowMixSize(int cx, int cy);
    void GetWindowMinSize(int& cx, int& cy) const;
    void GetWindowManSize(int& cx, int& cy) const;
    void SetCapture();
    void ReleaseCapture();
    int IsCaptured() const { return m_bCaptured; }
    void EnableWndDrag(int enable) { m_bWndDrag = enable; }
    // Both deliver synchronously and return the window procedure's answer.
    LRESULT SendMessageW(UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT PostMessageW(UINT msg, WPARAM wparam, LPARAM lparam);
    MControl* GetHoverControl() const { return m_pHoverControl; }
    MControl* GetFocusControl() const { return m_pFocusControl; }
    // SetControlFocus(0) on the old focus control, (1) on the new one.
    void SetFocusControl(MControl* control);
    COLORREF GetDefaultEnabledColor() const { return m_crDefaultEnabled; }
    void SetDefaultEnabledColor(COLORREF color) { m_crDefaultEnabled = color; }
    void Invalidate();
    // The rectangle with the erase flag, or the whole window with erase when layered.
    void InvalidateRect(CRect rect, int erase);
    void SetScrollResID(UINT vertical, UINT horizontal);
    UINT GetScrollVID() const { return m_uScrollVID; }
    UINT GetScrollHID() const { return m_uScrollHID; }

    // ---- control factory and lists ----
    // kind 0: filed in the areas; 1: in the controls; other: filed nowhere (the
    // caller owns it). Null for an empty, unknown or not yet creatable class.
    MControl* CreateControl(UINT kind, MObject* owner, const wchar_t* className, UINT id,
                            CRect rect, const wchar_t* title, int visible, int enabled);
    MControl* CreateArea(MObject* owner, const wchar_t* className, UINT id, CRect rect,
                         const wchar_t* title, int visible, int enabled);
    MControl* CreateControl(MObject* owner, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* title, int visible, int enabled);
    // Depth first: the controls, then the areas. No lock: UI thread only.
    MControl* GetControl(UINT id);
    // Deletes a top-level control (not an area); nothing when it is not there.
    void RemoveControl(MControl* control);
    void ClearAreaControls();
    void ClearControls();
    void ClearAllControls();
    // Marks every cached look stale.
    void RefreshControls();

    // ---- input ----
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    // 1 when it consumed the message (Tab navigation).
    int PreTranslateMessage(MSG* msg);
    int OnCreate();
    int OnSize(UINT type, int cx, int cy);
    int OnMouseHover(UINT flags, CPoint point);
    int OnNcHitTest(CPoint point);
    int OnNcCalcSize(int calcValid, NCCALCSIZE_PARAMS* params);
    int OnWindowPosChanging(WINDOWPOS* pos);
    int OnNcPaint();
    int OnDestroy();
    int OnGetMinMaxInfo(MINMAXINFO* info);
    int OnWindowPosChanged(WINDOWPOS* pos);
    int OnMouseMove(UINT flags, CPoint point);
    int OnMouseLeave();
    int OnLButtonDown(UINT flags, CPoint point);
    int OnLButtonUp(UINT flags, CPoint point);
    int OnLButtonDblClk(UINT flags, CPoint point);
    int OnRButtonDown(UINT flags, CPoint point);
    int OnRButtonUp(UINT flags, CPoint point);
    int OnRButtonDblClk(UINT flags, CPoint point);
    int OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
    int OnKeyDown(UINT key, LPARAM lparam);
    int OnKeyUp(UINT key, LPARAM lparam);
    int OnNcActivate(int active);
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();
    // The modifier value passed with keys: 18 Alt, else 16 Shift, else 0,
    // or-ed with 17 for Ctrl (0, 16, 17, 18, 19).
    static UINT GetKeyModifiers();

    // ---- painting and layered windows ----
    void SetLayeredWindow(int layered) { m_bLayered = layered; }
    int IsLayered() const { return m_bLayered; }
    void SetBackColor(COLORREF inner, COLORREF frame);
    void SetBackMode(enumBackMode mode, int corner);
    int LoadBKImage(CString skinFileName);
    int LoadBKImage(UINT resourceId, CString resourceType);
    // A control's repaint request: marks the requester (with erase) and every
    // later visible control overlapping rect stale and invalidates the union.
    // From another thread than the window's, the request is queued and picked
    // up by the UI thread (RequestRepaintPickup).
    LONG OnControlUpdate(CRect rect, int erase, MControl* control);
    // A repaint request that reached a panel on another thread than the
    // window's: queued; the UI thread completes it with the panel's
    // CompleteControlUpdate when it picks the queue up (the caller asks for
    // that with RequestRepaintPickup) or before its next paint. False,
    // nothing queued, while the engine has no window.
    bool QueueRepaint(MPanel* panel, CRect rect, int erase, MControl* control);
    // Any thread: has the UI thread pick the queued requests up on its
    // repaint tick, a window timer armed by one posted message. Nothing is
    // invalidated from another thread: a window invalidated by a tick or a
    // worker faster than it paints would always have a paint pending, and a
    // pending paint keeps every timer of the thread (a modal loop's too) from
    // coming. Picked up on a timer, the requests of other threads wait while
    // the thread's other timers are due, whatever a paint costs.
    void RequestRepaintPickup();
    // The message that arms the repaint tick (registered once per process).
    static UINT RepaintPickupMessage();
    // UI thread: the repaint tick, which flushes the queued requests.
    void OnRepaintTick();
    // Repaint ticks run so far (picked-up queues), for tests.
    unsigned GetRepaintPickups() const { return m_uRepaintPickups.load(); }
    // Paints the update rectangle into the engine's surface (kept between
    // paints, made again when the client size changes) and shows it.
    int OnPaint();
    // The surface's bitmap; null before the first paint and after DestroyData.
    HBITMAP GetPaintSurface() const { return m_hSurface; }
    void DrawBackImage(Gdiplus::Graphics& graphics, CRect client);
    // Draw of every area, then every control, in list order.
    void DrawControl(HDC& dc, CRect clip);
    HBITMAP GenerateBitmap(MControl* control, const CRect& rect, COLORREF tint);
    HBITMAP GetDropBitmap(MControl* control, const CRect& rect, COLORREF color);
    void CreateShadow(int show, bool flag);
    int SetSize(int size);
    int SetSharpness(unsigned sharpness);
    int SetDarkness(unsigned darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(COLORREF color);
    void SetShadowImage(const wchar_t* skinFileName, CRect insets);
    void SetShadowImage(UINT resourceId, CRect insets);
    void SetShadowShow(int show);
    void DisableShadow(int disable);

    // ---- window timers ----
    // 1 when the system timer runs; 0 when it failed or already runs.
    int SetTimer(MControl* control, UINT key, UINT ms);
    int KillTimer(MControl* control, UINT key);
    void KillTimer(MControl* control);
    void ClearTimers();
    void OnTimer(UINT id);

    // ---- multimedia tick ----
    void SetMTimer(UINT periodMs);
    void KillMTimer(UINT id);
    void KillMTimer();
    // Appends the control to the tick receivers (no duplicate test); 1.
    int AddMTimer(MControl* control);
    // Removes the first occurrence; 1 when found. When it returns, no tick of
    // the control runs (unless called from that tick).
    int DeleteFSTimer(MControl* control);
    // Test seam: the tick clock used by OnMTimer (null: GetTickCount).
    void SetTickClock(DWORD (*clock)()) { m_pTickClock = clock; }

    // ---- caret ----
    int CreateCaret(HBITMAP bitmap, int width, int height);
    int SetCaretPos(MRichEdit* owner, int x, int y);
    int ShowCaret(int show);
    MRichEdit* GetCurrentCaretObject() const { return m_pCaretOwner; }
    void DrawCaret(HDC dc, const CRect& clip);

    // ---- tooltip ----
    void SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();
    int GetTooltipCtrlID() const { return m_nTooltipCtrlID; }
    void SetTooltipCtrlID(int id) { m_nTooltipCtrlID = id; }
    // The control whose tooltip shows (ids need not be unique): removing it
    // clears the tooltip. ClearTooltip forgets it.
    MControl* GetTooltipOwner() const { return m_pTooltipOwner; }
    void SetTooltipOwner(MControl* control) { m_pTooltipOwner = control; }

    // ---- balloon ----
    int SetAirBladderMsg(const wchar_t* text, POINT screenPoint, AIRBLADDER_TYPE type,
                         AIRBLADDER_MODE mode);
    int ShowAirBladder(int show, int key);

    // ---- overlay ----
    void SetMessage(CString text, CRect rect, MsgLevel level);
    void SetProgress(int percent, CString text, CRect rect);

    // ---- image and font caches ----
    // Record of a skin file (skin folder + file name), one load per full path
    // and frame count; frames below 1 count as 1. Null when it does not load.
    ImgResInfo* AddImgResInfo(const wchar_t* file, int frames);
    // Record of a resource: programFlag != 0 the program's module (Manager's
    // instance), 0 the library's own. One record per id and module.
    ImgResInfo* AddImgResInfo(UINT id, CString type, int frames, int programFlag);
    void ClearImgResInfo();
    Gdiplus::FontFamily* AddTempFont(const wchar_t* key, const wchar_t* fontFile);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* key, UINT resourceId);
    void AddGDITempFont(UINT resourceId);
    // The family of the library font (Manager::GetFontName(): the private font
    // of that name, else the installed one); the face is not consulted. Null
    // when the font exists neither way.
    Gdiplus::FontFamily* FindTempFont(const wchar_t* face);
    void ClearTempFont();

    // ---- drag and drop ----
    int InitDragDrop();

    // ---- data, in declaration order ----
    MWindow* m_pDialog;
    int m_bInit;
    HWND m_hWndPaint;
    HDC m_hDcPaint;
    COLORREF m_crInner;
    COLORREF m_crFrame;
    CRect m_rcCaption;
    int m_nMaxWidth;
    int m_nMaxHeight;
    int m_nMinWidth;
    int m_nMinHeight;
    int m_nLastDragX;
    int m_nLastDragY;
    int m_bDragPending;
    HBITMAP m_hDragBitmap;
    int m_bLayered;
    Gdiplus::Image* m_pBkImage;
    int m_nBkImageWidth;
    int m_nBkImageHeight;
    MShadow m_shadow;
    CString m_strOverlayText;
    MsgLevel m_overlayLevel;
    int m_nOverlayAlpha;
    int m_nShownProgress;
    int m_nTargetProgress;
    CString m_strOverlayFont;
    CRect m_rcOverlay;
    std::atomic<UINT> m_uMTimerID;
    UINT m_uTimerCounter;
    DWORD m_dwLastTick;
    int m_bTracking;
    int m_bPressed;
    int m_bCaptured;
    int m_bWndDrag;
    // Where the last routed move was: a press elsewhere first gets its move.
    int m_nLastMoveX;
    int m_nLastMoveY;
    UINT m_uScrollVID;
    UINT m_uScrollHID;
    COLORREF m_crDefaultEnabled;
    MControl* m_pHoverControl;
    MControl* m_pFocusControl;
    int m_nTooltipCtrlID;
    MControl* m_pTooltipOwner;
    HWND m_hWndTooltip;
    MAirBladder* m_pAirBladder;
    int m_nAirBladderKey;
    std::vector<MControl*> m_areas;
    std::vector<MControl*> m_controls;
    std::vector<MControl*> m_tickReceivers;
    CCriticalLock m_areasLock;
    CCriticalLock m_controlsLock;
    CCriticalLock m_ticksLock;
    enumBackMode m_backMode;
    int m_nBackCorner;
    CRect m_rcCaret;
    int m_bCaretDrawn;
    int m_bCaretShown;
    MRichEdit* m_pCaretOwner;
    std::map<std::pair<std::wstring, int>, ImgResInfo*> m_imgByPath;
    std::map<UINT, ImgResInfo*> m_imgByProgramRes;
    std::map<UINT, ImgResInfo*> m_imgByLibraryRes;
    CCriticalLock m_imagesLock;
    std::vector<ControlTimerRecord*> m_timers;
    CCriticalLock m_timersLock;
    std::map<std::wstring, Gdiplus::FontFamily*> m_fonts;
    std::vector<HANDLE> m_gdiFonts;
    CCriticalLock m_fontsLock;

private:
    void FileControl(UINT kind, MControl* control);
    void DeleteControlList(std::vector<MControl*>& list, CCriticalLock& lock);
    void DropPointerState(MControl* control);
    // Makes the control under a press the hover control, with the move the
    // press may have missed (see PaintManagerInput.cpp).
    void HoverForPress(UINT flags, CPoint point);
    // Every top-level control gets the move; the last responsive one under the
    // point becomes the hover control (none: no hover).
    void FindHover(UINT flags, CPoint point);
    void OnOverlayTimer(UINT id);
    void DestroyTooltipAndBalloon();
    // Runs the OLE drag of the pressed control with the drag bitmap.
    void StartControlDrag();
    void LoadPrivateFonts();
    // With the ticks lock held once: waits until no tick runs on a control of
    // the list (returns at once on the tick's own thread).
    void AwaitTickOutside(const std::vector<MControl*>& controls);
    // Marks every visible area and control filed after the requester and
    // overlapping rect stale; returns rect grown by their rectangles.
    CRect MarkCoveringControls(const CRect& rect, MControl* requester);
    // Completes the repaint requests other threads queued (UI thread).
    void FlushRepaintRequests();
    // The paint surface of a w x h client area, made (again) when the size
    // changed; false when it cannot be made.
    bool PrepareSurface(HDC reference, int w, int h);
    // Writes the background (what the paint puts under the controls on a
    // clear surface) over the whole surface, drawing it only when its
    // inputs changed since the last paint.
    void PaintSurfaceBackground();
    void FreeSurface();

    // Private font collections kept alive while their families are in use.
    std::vector<Gdiplus::PrivateFontCollection*> m_fontCollections;
    DWORD (*m_pTickClock)();

    // The tick in progress: the receiver whose OnTimer runs (ticks lock) and
    // the thread running the tick (0 when none); signalled whenever a
    // receiver's OnTimer returns. Threads waiting for it count themselves
    // with MTimer::EnterTickWait.
    MControl* m_pTickCurrent;
    std::atomic<DWORD> m_dwTickThread;
    CONDITION_VARIABLE m_tickDone;

    // Repaint requests from other threads, one per panel and requester
    // (rectangles united, erase flags or-ed), waiting for the UI thread. A
    // request without a panel came to the engine itself. ForgetControl keeps
    // only the area of the requests of a control (as requester or as panel)
    // being destroyed: control and panel null.
    struct RepaintRequest
    {
        CRect rect;
        MControl* control;
        MPanel* panel;
        int erase;
    };
    std::vector<RepaintRequest> m_repaints;
    CCriticalLock m_repaintsLock;
    // A pickup message is posted and its repaint tick has not run yet.
    std::atomic<bool> m_bRepaintPickup{false};
    std::atomic<unsigned> m_uRepaintPickups{0};
    // The thread of the managed window (set by Init).
    std::atomic<DWORD> m_dwUIThread;

    // The paint surface, kept from one paint to the next (UI thread only;
    // freed by DestroyData): a 32-bit DIB of the client size selected into
    // its own memory DC, and the background drawn once on a DIB of the same
    // size, with what it was drawn from.
    struct BackgroundInputs
    {
        int width, height;
        COLORREF inner, frame;
        const Gdiplus::Image* image;
        UINT imageLoads;
        int imageWidth, imageHeight;
        enumBackMode mode;
        int corner;
        bool operator==(const BackgroundInputs& o) const;
    };
    HDC m_hSurfaceDC;
    HBITMAP m_hSurface;
    HGDIOBJ m_hSurfaceOld;
    UINT32* m_pSurfaceBits;
    int m_nSurfaceWidth;
    int m_nSurfaceHeight;
    HBITMAP m_hBackground;  // a DIB of the surface's size
    UINT32* m_pBackgroundBits;
    BackgroundInputs m_backgroundInputs;
    bool m_bBackgroundValid;
    UINT m_uBackImageLoads;  // counts LoadBKImage calls
};

}  // namespace WEXA
