#pragma once
// Small controls for tests of the window engine and dialogs.
#include <windows.h>

#include <atomic>
#include <vector>

#include "MControl.h"

namespace testutil {

// A rectangle of one colour, drawn with GDI only into the control's cached
// image; counts how often the look was rendered and how often it ticked.
class SolidControl : public WEXA::MControl
{
public:
    SolidControl(WEXA::MObject* owner, UINT id, CRect rect, int visible, COLORREF color);
    const wchar_t* GetClassNameW() const override { return L"SolidControl"; }
    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlTimer() override;

    COLORREF color;
    int renders = 0;
    std::atomic<int> ticks{0};
    // Milliseconds each tick takes (to widen races in tests).
    DWORD tickWork = 0;
};

// A container that passes its children's events to its owner unchanged, as a
// panel does, and draws nothing itself.
class PassingPanel : public WEXA::MControl
{
public:
    PassingPanel(WEXA::MObject* owner, UINT id, CRect rect);
    const wchar_t* GetClassNameW() const override { return L"PassingPanel"; }
    void DrawControl(HDC&, CRect) override {}
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    // Adds a child (owned by the panel).
    void AddChild(WEXA::MControl* child);
};

const COLORREF kTestRed = RGB(220, 30, 30);
const COLORREF kTestGreen = RGB(30, 180, 60);
const COLORREF kTestBlue = RGB(40, 80, 220);
const COLORREF kTestGrey = RGB(128, 128, 128);

// Makes the engine's factory build SolidControl for "CArea", coloured by the
// control id: id % 4 = 1 red, 2 green, 3 blue, 0 grey.
void RegisterTestControls();

}  // namespace testutil
