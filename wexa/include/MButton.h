#pragma once
// Push buttons and the button model every button of the library follows.
//
// A button's face is one skin image holding its looks side by side (normal,
// hover, pressed, disabled). The button renders all looks once into a state
// strip (its off-screen image, one frame per look, each as large as the
// control) while its cached look is stale, and every paint copies the frame of
// the current visual state: 0 normal, 1 hover, 2 pressed, 3 disabled.
//
// MButton       face stretched (nine-sliced) over the button, title centred;
//               code 1 on press, 2 on a completed click.
// CImageButton  face at natural size, or a single-frame icon centred on a
//               rounded highlight; optional balloon tip with the title.
// MButton3      a click toggles a check state; checked shows the pressed look.
// CHelpButton   an icon that shows its title in the balloon tip; no events.
//
// Events carry wparam 0 and lparam 0. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"
#include "WexaTypes.h"

namespace WEXA {

class WEXA_API MButton : public MControlFont
{
public:
    MButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    // Loads skin folder + file as the icon strip (frames below 1 count as 1);
    // 1, or 0 when it does not load (the button then has no icon). The icon's
    // first frame is drawn left of the title, vertically centred.
    int SetIconImage(const wchar_t* file, int frames);
    // Corner size of the nine-slice drawing of the face; no repaint.
    void SetFrameSize(int corner) { m_nFrameSize = corner; }
    // Title rectangle relative to the control (empty: the whole control); no repaint.
    void SetTextRect(CRect rect) { m_rcText = rect; }

    int m_nState;
    int m_nFrameSize;
    Gdiplus::Image* m_pIconImage;  // owned
    int m_nIconWidth;
    int m_nIconHeight;
    int m_nIconFrames;
    RECT m_rcText;

protected:
    // Renders the four looks with the face nine-sliced and the title (shared
    // by MButton and MButton3, which differ in the text colours and place).
    void DrawIconInFrame(Gdiplus::Graphics& g, int frame);
};

class WEXA_API CImageButton : public MButton
{
public:
    CImageButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled);
    ~CImageButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;

    void SetAlrBladderMode(AIRBLADDER_MODE mode) { m_airMode = mode; }

    AIRBLADDER_MODE m_airMode;
};

class WEXA_API MButton3 : public MButton
{
public:
    MButton3(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MButton3() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    int GetCheck() const { return m_nCheck; }
    // While enabled and when the value differs: store it and repaint. Returns
    // the check state; sends no event.
    int SetCheck(int check);

    int m_nCheck;
};

class WEXA_API CHelpButton : public MControlFont
{
public:
    CHelpButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                int enabled);
    ~CHelpButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;

    void SetAirbladderMode(AIRBLADDER_MODE mode) { m_airMode = mode; }

    AIRBLADDER_MODE m_airMode;
};

}  // namespace WEXA
