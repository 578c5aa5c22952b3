#pragma once
// MText: a windowless text label. It draws its title in the control's font,
// colour and alignment, optionally over a solid back colour, with a drop
// shadow, on one line or wrapped. One substring, the mark (the first
// occurrence of the mark text at or after the mark start), can be drawn in a
// colour of its own: the text is then drawn in three pieces, the mark 2 pixels
// after the measured end of the text before it and the rest 2 pixels after
// the measured end of the mark. A label sends no events and is created
// disabled. Null texts given to the setters count as empty. UI thread only.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MText : public MControlFont
{
public:
    MText(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible);
    ~MText() override;

    const wchar_t* GetClassNameW() const override { return L"MText"; }

    // Hands the event to OnMessage; nothing reaches the owner.
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void DrawControl(HDC& dc, CRect clip) override;
    // Code 8 from child 1 repaints the label; 0.
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    // Takes the wheel and ignores it: 1.
    int OnControlScroll(int step, UINT down, CPoint point) override;

    void SetMarkText(const wchar_t* mark);
    void SetMarkText(const wchar_t* mark, Gdiplus::ARGB color, int start);
    void SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::ARGB color, int start);
    void SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int unused);
    // A changed flag stores the flag and the colour; repaints in either case.
    void EnableTextBack(int enable, Gdiplus::ARGB color);
    void EnableMultiLine(int enable) { m_bMultiLine = enable; }
    void EnableShadow(int enable) { m_bShadow = enable; }
    void EnableVCenter(int enable) { m_bVCenter = enable; }
    int GetVirtualHeight() const { return 0; }

    CString GetMarkText() const { return m_strMark; }
    Gdiplus::ARGB GetMarkColor() const { return m_clrMark; }
    int GetMarkStart() const { return m_nMarkStart; }
    Gdiplus::ARGB GetBackColor() const { return m_clrBack; }
    int IsTextBack() const { return m_bBack; }
    // Index of the mark in the title, -1 when the title is drawn in one piece.
    int FindMark() const;
    // Where the pieces go: x of the mark and of the text after it (0 without a mark).
    void GetMarkPositions(int& markX, int& afterX);

private:
    void Repaint();
    Gdiplus::Font* MakeFont();

    int m_bShadow;
    int m_bBack;
    Gdiplus::ARGB m_clrBack;
    Gdiplus::ARGB m_clrShadow;
    Gdiplus::ARGB m_clrMark;
    CString m_strMark;
    int m_nMarkStart;
    int m_bMultiLine;
    int m_bVCenter;
};

}  // namespace WEXA
