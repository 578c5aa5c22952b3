#pragma once
// KBToolTips: a tip window for three texts at a screen point that keeps
// nothing it is given and paints nothing: only its window plumbing, its
// background loading and its argument checks do something. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MWindow.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class WEXA_API KBToolTips : public MWindow
{
public:
    KBToolTips();
    virtual ~KBToolTips();

    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnInitDialog() override;
    virtual LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam);
    virtual void CloseWindow();
    virtual int OnCreate(CREATESTRUCTW* create);
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnPaint();

    int LoadBKImage(CString file);
    void SetBackMode(enumBackMode mode, int parameter);
    // 1 and nothing changes; 0 for a null text 1, and for a null text 2 while
    // text 1 equals the (always empty) stored text 1.
    int SetAirBladderMsg(const wchar_t* text1, const wchar_t* text2, const wchar_t* text3,
                         POINT anchor);
    int HasBKImage() const { return m_pBkImage != nullptr; }

private:
    CString m_strText1;
    CString m_strText2;
    CString m_strText3;
    POINT m_ptAnchor;
    int m_nType;
    int m_nMode;
    Gdiplus::FontFamily* m_pFontFamily;
    Gdiplus::StringFormat* m_pStringFormat;
    Gdiplus::Image* m_pBkImage;
    int m_nBkWidth;
    int m_nBkHeight;
    enumBackMode m_backMode;
    int m_nBackParam;
};

}  // namespace WEXA
