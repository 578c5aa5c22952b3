#pragma once
// LEDFrameTips: the two-line tip of the LCD frame gallery: a dark box 70
// pixels high (240 wide when text 1 contains "Frames", else 160) whose
// bottom-left corner is the anchor, with two lines of white text drawn with
// GDI. Window plumbing as the key tip (CKeyboardTips). UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MWindow.h"
#include "TipWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class WEXA_API LEDFrameTips : public MWindow
{
public:
    enum { BOX_HEIGHT = 70, WIDE_WIDTH = 240, NARROW_WIDTH = 160, HIDE_TIMER_ID = 10 };

    LEDFrameTips();
    virtual ~LEDFrameTips();

    WEXA_KEY_TIP_CALLS
    // Stores both texts (a null text 2 as empty) and the anchor, fits and
    // paints; does not show the window. Both texts and the anchor unchanged:
    // nothing. 1; 0 for a null text 1 (nothing changes).
    int SetAirBladderMsg(const wchar_t* text1, const wchar_t* text2, POINT anchor);

    const CString& GetText1() const { return m_strText1; }
    const CString& GetText2() const { return m_strText2; }
    POINT GetAnchor() const { return m_ptAnchor; }

protected:
    HFONT GetGDIFont1();
    void SetupRegion(int corner);
    void LoadTempFont();
    void AutoFit();

private:
    void ReleaseGdiplusObjects();

    CString m_strText1;
    CString m_strText2;
    WEXA_KEY_TIP_STATE
    HFONT m_hFont;
    int m_bHasFocus;
};

}  // namespace WEXA
