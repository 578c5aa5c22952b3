#pragma once
// LoadingWnd: the layered "Loading Window": a background, a logo, an animated
// GIF below it and a close button in the top-right corner. Window timer 100
// (every 18 ms) advances the GIF one frame every second tick, whatever delays
// the GIF stores. A click on the close button posts 1524 (0, 0) to the parent
// window given to CreateDlg; the parent closes the window. The object does
// not delete itself with its window. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MWindow.h"
#include "TipWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class WEXA_API LoadingWnd : public MWindow
{
public:
    enum {
        ANIMATION_TIMER_ID = 100,
        ANIMATION_TIMER_MS = 18,
        CLOSE_MESSAGE = 1524,
        ANIMATION_SLOTS = 19,
        GIF_WIDTH = 232,
        GIF_HEIGHT = 58,
    };

    LoadingWnd();
    virtual ~LoadingWnd();

    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    WEXA_TIP_WINDOW_HANDLERS

    // Loads "loading\loading.gif" and "logo\logo_loading.png" and creates the
    // visible popup at rect (screen coordinates), owned by parent. Null when
    // the window cannot be created.
    HWND CreateDlg(HWND parent, CRect rect);
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resId, CString type);
    void SetBackMode(enumBackMode mode, int parameter);
    // Loads the GIF from the skin folder; its frame count becomes the cycle
    // length. Returns 0.
    int LoadGifImage(CString file);
    // Slots 0 to 18; 1 when the image loaded.
    int LoadAnimateImage(CString file, int index);

    int GetCurrentFrame() const { return m_nCurFrame; }
    int GetGifFrameCount() const { return m_nGifFrames; }
    int GetCycleLength() const { return m_nCycle; }
    int IsRunning() const { return m_bRunning; }
    int GetCloseState() const { return m_nCloseState; }
    CRect GetCloseRect() const { return CRect(m_rcClose); }
    // Draws the window's picture into a 32-bit DC of the client size.
    void DrawInto(HDC dc, int width, int height);

protected:
    void SetupRegion(int corner);
    void DrawWindow();

private:
    struct Picture
    {
        Gdiplus::Image* image;
        int width;
        int height;
    };
    static void Free(Picture& picture);

    CString m_strFont;
    Gdiplus::StringFormat* m_pStringFormat;
    Picture m_bk;
    Picture m_logo;
    enumBackMode m_backMode;
    int m_nBackParam;
    Gdiplus::Image* m_pGif;
    int m_nGifFrames;
    GUID m_frameDimension;
    int m_bRunning;
    Picture m_animate[ANIMATION_SLOTS];
    int m_bTracking;
    RECT m_rcClose;
    int m_nCloseState;
    Picture m_close;  // width: one frame of four
    int m_nCurFrame;
    int m_nCycle;
    int m_nTick;
    int m_nTicksPerFrame;
};

}  // namespace WEXA
