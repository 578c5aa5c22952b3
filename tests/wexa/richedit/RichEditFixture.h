#pragma once
// A dialog on the screen that hosts rich edit fields, for the tests of this
// folder.
#include <windows.h>

#include <functional>
#include <vector>

#include "MDialog.h"
#include "MRichEdit.h"

namespace richedit_test {

struct Event
{
    UINT id, code;
};

class HostDialog : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(255, 255, 255), RGB(255, 255, 255));
        if (build) build(*this);
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR) override
    {
        events.push_back(Event{id, code});
        return 0;
    }
    // A visible popup at (x, y) of the given size.
    bool Open(int x, int y, int width, int height)
    {
        return Create(nullptr, L"richedit test", WS_POPUP | WS_VISIBLE, 0,
                      CRect(x, y, x + width, y + height), nullptr) != nullptr;
    }
    int Count(UINT id, UINT code) const
    {
        int n = 0;
        for (const Event& e : events)
            if (e.id == id && e.code == code) ++n;
        return n;
    }

    std::function<void(HostDialog&)> build;
    std::vector<Event> events;
};

}  // namespace richedit_test
