#pragma once
// CKeyboardTips: the tip window over a key of the keyboard picture (and of the
// icon buttons): a 190 x 80 box that stands centred above its anchor and shows
// a small caption line and a larger main line on the background
// "img_tip_bk.png", in the library's embedded font.
//
// Of the four texts the callers pass, text 1 becomes the caption and text 2
// the main line; without a text 2 of its own (empty or the same as text 1)
// text 1 alone is the main line. The caller shows and hides the window; it
// also hides itself when it loses the focus. The object does not delete
// itself with its window. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MWindow.h"
#include "TipWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class WEXA_API CKeyboardTips : public MWindow
{
public:
    enum { BOX_WIDTH = 190, BOX_HEIGHT = 80, HIDE_TIMER_ID = 10 };

    CKeyboardTips();
    virtual ~CKeyboardTips();

    WEXA_KEY_TIP_CALLS
    // Stores the texts (null texts 2 to 4 as empty) and the anchor (screen
    // point: the middle of the box's bottom edge), fits and paints the box;
    // does not show it. The same text 1 at the same anchor changes nothing.
    // 1; 0 for a null text 1 (nothing changes).
    int SetAirBladderMsg(const wchar_t* text1, const wchar_t* text2, const wchar_t* text3,
                         const wchar_t* text4, POINT anchor);

    const CString& GetCaption() const { return m_strCaption; }
    const CString& GetMainLine() const { return m_strMain; }
    const CString& GetText(int index) const;
    POINT GetAnchor() const { return m_ptAnchor; }
    int GetMode() const { return m_nMode; }
    int HasFont() const { return m_pFontFamily != nullptr; }

protected:
    HFONT GetGDIFont11();
    HFONT GetGDIFont2();
    void SetupRegion(int corner);
    void LoadTempFont();
    void AutoFit();

private:
    void ReleaseGdiplusObjects();

    CString m_strCaption;
    CString m_strText[4];
    CString m_strMain;  // the line drawn large
    WEXA_KEY_TIP_STATE
    HFONT m_hFontSmall;
    HFONT m_hFontLarge;
    int m_bHasFocus;
};

}  // namespace WEXA
