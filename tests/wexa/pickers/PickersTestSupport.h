#pragma once
// What the picker tests share: a recording owner and drawing a control once
// into a memory canvas (which writes the item rectangles hit tests use).
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <vector>

#include "ControlProbe.h"
#include "MControl.h"
#include "WindowTestHelpers.h"

namespace probe {
inline std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << "{" << e.id << "," << e.code << "," << e.wparam << "," << e.lparam << "}";
}
}  // namespace probe

namespace pickertest {

using Owner = probe::RecordingOwner;
using probe::Event;

// Renders the control's look again into a canvas as large as the window area
// it needs.
inline void DrawOnce(WEXA::MControl& control, testutil::MemoryCanvas& canvas)
{
    control.m_bUpdate = 0;
    HDC dc = canvas.dc();
    control.DrawControl(dc, control.GetRect());
}

inline void DrawOnce(WEXA::MControl& control)
{
    CRect r = control.GetRect();
    testutil::MemoryCanvas canvas(r.right + 20, r.bottom + 20);
    DrawOnce(control, canvas);
}

// A click as the engine routes it: move, press, release at one point.
inline void Click(WEXA::MControl& control, CPoint point)
{
    control.OnControlMouseMove(0, point);
    control.OnControlLButtonDown(MK_LBUTTON, point);
    control.OnControlLButtonUp(0, point);
}

}  // namespace pickertest
