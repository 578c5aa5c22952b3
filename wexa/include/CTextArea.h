#pragma once
// CTextArea: the title centred on an opaque box of one colour, optionally
// inside a one-pixel frame. No mouse handling, no notifications.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API CTextArea : public MControlFont
{
public:
    CTextArea(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~CTextArea() override;

    void DrawControl(HDC& dc, CRect clip) override;

    // Stores the two settings (not drawn) and the box colour (COLORREF); repaints.
    void SetTransparent(int first, int second, unsigned long color);
    // Frame on or off and its colour; the third argument is ignored. Repaints.
    void SetFrame(int on, Gdiplus::Color color, int unused);

    COLORREF GetBoxColor() const { return m_crBox; }
    int GetFrame() const { return m_bFrame; }

private:
    COLORREF m_crBox;
    int m_nTransparent[2];
    int m_bTransparentOn;
    int m_bFrame;
    Gdiplus::Color m_clrFrame;
};

}  // namespace WEXA
