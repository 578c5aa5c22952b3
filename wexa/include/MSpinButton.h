#pragma once
// MSpinButton: a windowless numeric field with two arrow buttons (image
// buttons, child ids 30 up and 31 down) stacked at its right edge.
//
// The arrows, the keys Up/Down and numpad plus/minus step the value and wrap
// at the ends of the range; digits typed while the field has the keyboard
// focus are appended (a value longer than the digit limit starts over with
// the digit), Backspace drops the last digit. Every change made by the user is
// reported with event 28 (0, 0); the owner reads GetCurValue. Events of the
// arrow buttons themselves are not passed on. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "MPanel.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MSpinButton : public MPanel
{
public:
    enum { UP_BUTTON_ID = 30, DOWN_BUTTON_ID = 31 };

    // The enabled argument has no effect (as built).
    MSpinButton(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~MSpinButton() override;

    const wchar_t* GetClassNameW() const override { return L"MSpinButton"; }

    void DrawControl(HDC& dc, CRect clip) override;
    // Attaches the panel and creates the two arrow buttons.
    void InitControl(PaintManager* manager) override;
    int SetControlFocus(int focus) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    // Stores the value (no range check, no event); repaints when it changed.
    void SetCurValue(int value);
    int GetCurValue() const { return m_nValue; }
    // Stores both; the value is not adjusted.
    void SetRange(int minimum, int maximum)
    {
        m_nMin = minimum;
        m_nMax = maximum;
    }
    int GetMinValue() const { return m_nMin; }
    int GetMaxValue() const { return m_nMax; }
    void SetLimitLength(int digits) { m_nLimitLength = digits; }
    int GetState() const { return m_nState; }
    MControl* GetUpButton() const { return m_pUpButton; }
    MControl* GetDownButton() const { return m_pDownButton; }

protected:
    // Appends a typed digit (0-9).
    void CalcValue(int digit);

private:
    int Step(int delta);
    void Repaint(int erase);
    void ChangedByUser(int before);

    int m_nState;
    int m_nValue;
    int m_nMin;
    int m_nMax;
    int m_nLimitLength;
    MControl* m_pUpButton;    // child, owned through the child list
    MControl* m_pDownButton;  // child, owned through the child list
};

}  // namespace WEXA
