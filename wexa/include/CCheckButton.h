#pragma once
// Buttons with a check or selection state.
//
// Eight-look classes (CCheckButton, CRadioButton, KeyLayerButton,
// TextCheckButton): visual states 0 normal, 1 hover, 2 pressed, 3 disabled and
// 4 to 7 the same with the check mark. CSelectButton has four looks; its
// selected look is the pressed frame.
//
// CCheckButton     a click toggles it (code 2); Space toggles it while it holds
//                  the key flag (code 7, lparam the new state).
// CRadioButton     ("RadioButton") a click selects it and clears the others of
//                  its group.
// KeyLayerButton   radio-style, text only, coloured by state; group
//                  "KeyLayerButton" from the start.
// CSelectButton    radio-style with four looks.
// TextCheckButton  a check box whose title takes one of four colours by state.
//
// A group is every button of the same class name with the same group name
// under the same owner (a dialog's top-level controls, or a control's
// children). UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API CCheckButton : public MControlFont
{
public:
    CCheckButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled);
    ~CCheckButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    // As MControlFont's, without a repaint request.
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int GetCheck() const { return m_nCheck; }
    // Only while enabled: stores the value (kept as given), look 4 or 0,
    // repaint when it changed. Returns the check state; no event.
    int SetCheck(int check);

    int m_nState;
    int m_nCheck;
    int m_bPressing;
    int m_bKeyFlag;
};

class WEXA_API CRadioButton : public MControlFont
{
public:
    CRadioButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled);
    ~CRadioButton() override;

    const wchar_t* GetClassNameW() const override;  // "RadioButton"
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int GetCheck() const { return m_nCheck; }
    // Only while enabled; a changed value clears the rest of the group.
    int SetCheck(int check);
    // Sets the state with no enabled test and no group reset.
    void SetControlCheck(int check);
    // Clears the other members of the group; 1, or 0 without owner.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_strGroupName = name ? name : L""; }
    CString GetGroupName() const { return m_strGroupName; }

    int m_nState;
    int m_nCheck;
    int m_bPressing;
    int m_bKeyFlag;
    CString m_strGroupName;
};

class WEXA_API KeyLayerButton : public MControlFont
{
public:
    KeyLayerButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                   int enabled);
    ~KeyLayerButton() override;

    const wchar_t* GetClassNameW() const override;  // "KeyLayerButton"
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int GetCheck() const { return m_nCheck; }
    int SetCheck(int check);
    void SetControlCheck(int check);
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_strGroupName = name ? name : L""; }
    CString GetGroupName() const { return m_strGroupName; }

    int m_nState;
    int m_nCheck;
    int m_bPressing;
    int m_bKeyFlag;
    CString m_strGroupName;
};

class WEXA_API CSelectButton : public MControlFont
{
public:
    CSelectButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                  int enabled);
    ~CSelectButton() override;

    const wchar_t* GetClassNameW() const override;  // "CSelectButton"
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    int SetImage(UINT resourceId, CString resourceType, int frames) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int GetCheck() const { return m_nCheck; }
    int SetCheck(int check);
    void SetControlCheck(int check);
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_strGroupName = name ? name : L""; }
    CString GetGroupName() const { return m_strGroupName; }

    int m_nState;
    int m_nCheck;
    int m_bPressing;
    int m_bKeyFlag;
    CString m_strGroupName;
};

class WEXA_API TextCheckButton : public MControlFont
{
public:
    TextCheckButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                    int enabled);
    ~TextCheckButton() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    int GetCheck() const { return m_nCheck; }
    int SetCheck(int check);
    // Stores the four title colours (normal into the text colour); no repaint.
    void SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover, Gdiplus::Color down,
                            Gdiplus::Color disabled);

    int m_nState;
    int m_nCheck;
    int m_bPressing;
    int m_bKeyFlag;
    Gdiplus::Color m_clrHover;
    Gdiplus::Color m_clrDown;
    Gdiplus::Color m_clrDisabled;
};

}  // namespace WEXA
