#pragma once
// The balloon tip of a window: a small layered tool window titled
// "AirBladder Window" that shows one text (lines separated by "\n") in white
// letters on a stretched background image, sizes and places itself beside an
// anchor point on the screen and hides itself again after 5 seconds.
//
// Each window engine owns at most one; it creates the window, loads the images
// and shows and hides it with ShowWindow. The text is drawn with the font the
// library carries as its "ttf" resource 106. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class WEXA_API MAirBladder : public MWindow
{
public:
    // The hide timer: id and period.
    enum { HIDE_TIMER_ID = 10, HIDE_TIMER_MS = 5000 };

    MAirBladder();
    virtual ~MAirBladder();

    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    virtual LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam);
    virtual void CloseWindow();
    virtual int OnCreate(CREATESTRUCTW* create);
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnMouseMove(UINT flags, CPoint point);
    virtual int OnMouseLeave(UINT_PTR wparam, LONG_PTR lparam);
    virtual int OnMouseHover(UINT_PTR wparam, LONG_PTR lparam);
    virtual int OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual int OnLButtonDown(UINT flags, CPoint point);
    virtual int OnLButtonUp(UINT flags, CPoint point);
    virtual int OnLButtonDblClk(UINT flags, CPoint point);
    virtual int OnRButtonDown(UINT flags, CPoint point);
    virtual int OnRButtonUp(UINT flags, CPoint point);
    virtual int OnRButtonDblClk(UINT flags, CPoint point);
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual int OnNcHitTest(CPoint point);
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);
    virtual int OnNcCalcSize(int calcValid, NCCALCSIZE_PARAMS* params);
    virtual int OnNcActivate(int active);
    virtual int OnSetFocus(HWND previous);
    virtual int OnKillFocus(HWND next);
    virtual int OnWindowPosChanging(WINDOWPOS* pos);
    virtual int OnWindowPosChanged(WINDOWPOS* pos);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int PostNcDestroy();
    virtual int OnDestroy();

    // Background and arrow images from the skin folder (1 when loaded), or
    // from a resource of that type in the program's module.
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resId, CString type);
    int LoadArrowLImage(CString file);
    int LoadArrowLImage(UINT resId, CString type);
    int LoadArrowRImage(CString file);
    int LoadArrowRImage(UINT resId, CString type);
    int LoadArrowTImage(CString file);
    int LoadArrowTImage(UINT resId, CString type);
    void SetBackMode(enumBackMode mode, int parameter);

    // Stores text, anchor (screen pixels), type and mode, fits and paints the
    // window and, unless the type is 4, (re)starts the 5-second hide timer.
    // A repeat of all four changes nothing. Does not show the window.
    // Returns 1; 0 for a null text (nothing changes).
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type,
                         AIRBLADDER_MODE mode);

    // Read access.
    const CString& GetText() const { return m_strText; }
    POINT GetAnchor() const { return m_ptAnchor; }
    AIRBLADDER_TYPE GetType() const { return m_type; }
    AIRBLADDER_MODE GetMode() const { return m_mode; }
    int GetLineCount() const { return m_nLineCount; }
    int HasFont() const { return m_pFontFamily != nullptr; }
    int HasBKImage() const { return m_pBkImage != nullptr; }
    // How often the hide timer was started (test and diagnostics aid).
    int GetHideTimerArms() const { return m_nTimerArms; }
    // The text's measure (W, H of one line) as the fitting uses it.
    Gdiplus::Size MeasureText() const;

protected:
    void SetupRegion(int corner);
    void AutoFit();
    void LoadTempFont();

private:
    void ReleaseGdiplusObjects();
    static int LoadSkinImage(CString file, Gdiplus::Image*& image, int& width, int& height);
    static int LoadResImage(UINT resId, CString type, Gdiplus::Image*& image, int& width,
                            int& height);

    CString m_strText;
    POINT m_ptAnchor;
    AIRBLADDER_TYPE m_type;
    AIRBLADDER_MODE m_mode;
    Gdiplus::FontFamily* m_pFontFamily;
    Gdiplus::PrivateFontCollection* m_pFontCollection;
    Gdiplus::StringFormat* m_pStringFormat;
    Gdiplus::Image* m_pBkImage;
    int m_nBkWidth;
    int m_nBkHeight;
    Gdiplus::Image* m_pArrowL;
    int m_nArrowLWidth;
    int m_nArrowLHeight;
    Gdiplus::Image* m_pArrowR;
    int m_nArrowRWidth;
    int m_nArrowRHeight;
    Gdiplus::Image* m_pArrowT;
    int m_nArrowTWidth;
    int m_nArrowTHeight;
    enumBackMode m_backMode;
    int m_nBackParam;
    int m_nLineCount;
    int m_nPaintLines;
    int m_nTimerArms;
    int m_bHasFocus;
};

}  // namespace WEXA
