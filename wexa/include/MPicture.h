#pragma once
// Pictures: windowless controls that show an image.
//
//   MPicture        one image in one of six show modes;
//   CPhotoFrame     a photo in the same modes with a frame image laid over it,
//                   hover and pressed states and click events (1 press, 2 click);
//   CSliderPicture  slides its picture in, one step per control tick, and hides
//                   itself when the slide has ended;
//   CGifPicture     plays the frames of an animated image on the control tick,
//                   each frame for the delay stored with it (100 ms when the
//                   delay is 0 or missing), timed by an injectable clock.
//
// MPicture, CPhotoFrame and CSliderPicture load their images themselves and own
// them; CGifPicture owns what SetImageFile loads, while an image taken from the
// engine's cache (SetImage) stays the cache's. UI thread only.
#include <windows.h>

#include <vector>

#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class GifFrameCache;

enum enumShowMode {
    SHOW_MODE_NORMAL = 0,   // natural size, placed by the alignment
    SHOW_MODE_TILE = 1,     // tiled from the top-left corner
    SHOW_MODE_STRETCH = 2,  // stretched over the control
    SHOW_MODE_FRAME = 3,    // nine-slice with the mode parameter as corner size
    SHOW_MODE_MID = 4,      // nine-slice with four margins
    SHOW_MODE_CUSTOM = 5,   // a source rectangle stretched over the control
};

enum SLIDER_MODE {
    SLIDER_MODE_LEFT = 1,   // in from the left edge
    SLIDER_MODE_TOP = 2,    // down from the top edge
    SLIDER_MODE_RIGHT = 3,  // from the right edge towards the left
};

// One piece of a show mode: the source part of the frame and where it goes,
// relative to the control's top-left corner.
struct PICTURE_BLIT
{
    CRect src;
    CRect dst;
};

// The pieces modes 0, 1, 2 and 5 draw (frame width fw, image height ih, into
// a control w by h). Modes 3 and 4 draw nine-slice into the whole control and
// any other mode draws nothing: both give no pieces.
WEXA_API std::vector<PICTURE_BLIT> LayoutShowMode(int mode, int fw, int ih, int w, int h,
                                                  UINT hAlign, UINT vAlign, CRect custom);

class WEXA_API MPicture : public MControlFont
{
public:
    MPicture(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MPicture() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int SetImageFile(const wchar_t* path);
    int SetImageFile(const wchar_t* path, int width, int height);
    int SetShowMode(enumShowMode mode, int param);
    int SetShowModeMID(int left, int top, int right, int bottom);
    void SetCustomRect(CRect rect) { m_rcCustom = rect; }
    enumShowMode GetShowMode() const { return m_showMode; }
    int GetShowParam() const { return m_nShowParam; }

    enumShowMode m_showMode;
    int m_nShowParam;
    int m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom;
    CRect m_rcCustom;

private:
    void ReplaceImage(Gdiplus::Image* image, int frames);
};

class WEXA_API CPhotoFrame : public MControlFont
{
public:
    CPhotoFrame(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CPhotoFrame() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    // The frame image.
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    // The photo.
    int SetPhotoFrame(const wchar_t* skinFileName, int frames);
    int SetPhotoFrame(UINT resourceId, CString resourceType, int frames);
    int SetShowMode(enumShowMode mode, int param);
    int SetShowModeMID(int left, int top, int right, int bottom);
    int GetState() const { return m_nState; }

    Gdiplus::Image* m_pPhoto;  // owned
    int m_nPhotoWidth;
    int m_nPhotoHeight;
    int m_nState;
    enumShowMode m_showMode;
    int m_nShowParam;
    int m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom;
};

class WEXA_API CSliderPicture : public MControlFont
{
public:
    CSliderPicture(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CSliderPicture() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlTimer() override;
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int SetShowMode(enumShowMode mode, int param);
    int SetShowModeMID(int left, int top, int right, int bottom);
    // Returns the running flag after the call.
    int SetRun(int run, SLIDER_MODE mode);
    int IsRun() const { return m_bRun; }
    int GetPosition() const { return m_nPos; }
    int GetEndPosition() const { return m_nEnd; }

    int m_bRun;
    enumShowMode m_showMode;
    int m_nShowParam;
    int m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom;
    SLIDER_MODE m_slideMode;
    int m_nTick;
    int m_nTicksPerStep;
    int m_nPos;
    int m_nEnd;
};

class WEXA_API CGifPicture : public MControlFont
{
public:
    CGifPicture(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CGifPicture() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    // From the engine's image cache; always 0.
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int SetImageFile(const wchar_t* path);
    int SetRunState(int run, int frame);
    void SetMouseMoveActive(bool active) { m_bHoverPlay = active; }
    int GetFrameCount() const { return m_nFrameCount2; }
    int GetShownFrame() const { return m_nShown; }
    int IsRun() const { return m_bRun; }
    // Delay of a frame in milliseconds (100 when stored as 0 or missing).
    DWORD GetFrameDelay(int frame) const;
    // Fills delays (one per frame, preset to the default) from a frame-delay
    // property item held in buffer (size bytes): only the values that lie
    // within both the item's stated length and the buffer are read.
    static void ReadFrameDelays(const BYTE* buffer, size_t size, std::vector<DWORD>& delays);
    // Test seam: the clock the frames are timed by (null: GetTickCount).
    void SetTickClock(DWORD (*clock)()) { m_pClock = clock; }
    // How many times a frame was decoded and drawn through GDI+ (the rest
    // were copies of a frame drawn before), and the bytes the drawn frames
    // kept for that take.
    int GetFrameRenders() const { return m_nRenders; }
    size_t GetFrameCacheBytes() const;

    int m_bRun;
    int m_nFrameCount2;
    int m_nCurFrame;
    GUID m_dimension;
    int m_nShown;
    bool m_bHoverPlay;
    int m_nTick;

protected:
    void OnSetImage(Gdiplus::Image* image);
    void ActiveNextFrame();
    void SelectActiveFrame(int frame);
    int IsAnimate() const { return m_nFrameCount2 > 1; }

private:
    void ReleaseImage();
    DWORD Now() const { return m_pClock ? m_pClock() : GetTickCount(); }
    // The window shows nothing of the control: minimised or hidden.
    bool WindowHidden() const;
    void ResetFrameCache();
    // Draws frame m_nShown through GDI+ into the off-screen image and offers
    // it to the frame cache.
    void RenderFrame(HDC& dc, bool offer);
    void ReleaseMemDC();

    bool m_bOwnImage;
    // The frame count, the delays and the frame shown: the multimedia tick
    // steps the frames while the UI thread may replace the image. A leaf: no
    // other lock is taken and no repaint is asked for while it is held.
    mutable CCriticalLock m_frameLock;
    std::vector<DWORD> m_delays;  // milliseconds per frame
    // Per frame: where it differs from the frame before it, relative to the
    // control, once the frame cache knows (the tick repaints only that).
    std::vector<CRect> m_changed;
    std::vector<char> m_changeKnown;
    DWORD m_dwFrameStart;
    DWORD (*m_pClock)();
    // The frames as drawn (UI thread).
    GifFrameCache* m_pFrames;
    int m_nRenders;
};

}  // namespace WEXA
