#pragma once
// CIconButton ("IconButton"): a face with an icon at its left and a title. A
// press marks it down (code 1); a release inside selects it, clears the other
// icon buttons of its group and sends code 2. Looks: 0 normal, 1 hover, 2
// pressed, 3 disabled; a checked button shows frame 3, a down one frame 1.
// It can own a key tip window (SetShowTips, SetTips). UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class CKeyboardTips;

class WEXA_API CIconButton : public MControlFont
{
public:
    CIconButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                int enabled);
    // Destroys the tip window (when it is a window) and deletes it.
    ~CIconButton() override;

    const wchar_t* GetClassNameW() const override;  // "IconButton"
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    int GetCheck() const { return m_nCheck; }
    // Stores the check state, clears the down state, look 0, repaint; 1.
    int SetCheck(int check);
    // Sets the down state with no test and no group reset.
    void SetControlCheck(int down);
    // Clears the down state whatever the argument, look 0, repaint; 1.
    int SetDownState(int down);
    // Clears the down state of the other visible, enabled icon buttons of the
    // group; 1, or 0 without owner.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_strGroupName = name ? name : L""; }
    CString GetGroupName() const { return m_strGroupName; }
    // Skin folder + file as the icon strip (frames below 1 count as 1); 1, or 0
    // when it does not load.
    int SetIconImage(const wchar_t* file, int frames);
    // Stored only: the face is drawn with a corner of 20.
    void SetFrameSize(int corner) { m_nFrameSize = corner; }
    // Title rectangle relative to the control (empty: centred on the control).
    void SetTextRect(CRect rect) { m_rcText = rect; }
    // Allows SetTips to create the key tip window.
    void SetShowTips(bool show) { m_bShowTips = show; }
    void SetTips(CString text1, CString text2, CString text3);
    // Creates the key tip window once when tips are allowed (the argument does
    // not change what happens).
    void SetTips(bool show);

    int m_nState;
    int m_nFrameSize;
    Gdiplus::Image* m_pIconImage;  // owned
    int m_nIconWidth;
    int m_nIconHeight;
    int m_nIconFrames;
    RECT m_rcText;
    int m_nCheck;
    int m_nDown;
    CString m_strGroupName;
    bool m_bShowTips;
    CString m_strTips[3];
    CKeyboardTips* m_pTips;  // owned

private:
    void DestroyTips();
};

}  // namespace WEXA
