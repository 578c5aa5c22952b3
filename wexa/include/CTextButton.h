#pragma once
// Buttons that differ from the image button in what they show:
//
// CTextButton     text only, its colour by state (normal, hover, pressed,
//                 disabled); code 2 reaches the owner before the repaint.
// UpgradeButton   image button with a title and an optional red badge with "1".
// DownloadButton  image button that becomes a progress bar with a percentage
//                 while a download runs (progress above 0).
//
// Looks: 0 normal, 1 hover, 2 pressed, 3 disabled; code 1 on a press inside,
// code 2 on a completed click, wparam and lparam 0. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API CTextButton : public MControlFont
{
public:
    CTextButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                int enabled);
    ~CTextButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    // The four text colours (normal into the control's text colour); repaint.
    void SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover, Gdiplus::Color down,
                            Gdiplus::Color disabled);

    Gdiplus::Color m_clrHover;
    Gdiplus::Color m_clrDown;
    Gdiplus::Color m_clrDisabled;
    int m_nState;
};

class WEXA_API UpgradeButton : public MControlFont
{
public:
    UpgradeButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                  int enabled);
    ~UpgradeButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    // Non-zero shows the badge; repaint when it changed.
    void SetUpgradeStatus(int status);
    int GetUpgradeStatus() const { return m_nUpgradeStatus; }

    int m_nState;
    int m_nFrameSize;
    int m_nUpgradeStatus;
};

class WEXA_API DownloadButton : public MControlFont
{
public:
    DownloadButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                   int enabled);
    ~DownloadButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    // Percentage; above 0 the button shows the progress look. Repaint when it changed.
    void SetDownloadProcess(int percent);
    // Skin folder + file as the icon strip (frames below 1 count as 1); 1, or 0
    // when it does not load. Kept; the drawing does not show it.
    int SetIconImage(const wchar_t* file, int frames);
    void SetFrameSize(int corner) { m_nFrameSize = corner; }
    // Kept; the drawing centres the title on the whole button.
    void SetTextRect(CRect rect) { m_rcText = rect; }

    int m_nState;
    int m_nFrameSize;
    Gdiplus::Image* m_pIconImage;  // owned
    int m_nIconWidth;
    int m_nIconHeight;
    int m_nIconFrames;
    RECT m_rcText;
    int m_nProgress;
};

}  // namespace WEXA
