#pragma once
// An owner for controls tested without a window: records the events and the
// repaint requests its controls send.
#include <windows.h>

#include <vector>

#include "MControl.h"
#include "MObject.h"

namespace stdtest {

struct Event
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
};

class Recorder : public WEXA::MObject
{
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int, WEXA::MControl* control) override
    {
        ++repaints;
        rects.push_back(rect);
        // As the engine does: the requester's cached look is stale.
        if (control) control->SetUpdate(0, 0);
        return 0;
    }
    std::vector<Event> events;
    int repaints = 0;
    std::vector<CRect> rects;  // of each repaint request
};

}  // namespace stdtest
