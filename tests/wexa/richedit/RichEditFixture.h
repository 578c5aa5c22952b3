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

// A field that records every message it sends to its text services.
class RecordingField : public WEXA::MRichEdit
{
public:
    RecordingField(WEXA::MObject* owner, CRect rect) : MRichEdit(owner, 45, rect, L"", 1, 1) {}
    HRESULT TxSendMessage(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override
    {
        sent.push_back(msg);
        return MRichEdit::TxSendMessage(msg, w, l, result);
    }
    bool Sent(UINT msg) const
    {
        for (UINT m : sent)
            if (m == msg) return true;
        return false;
    }
    std::vector<UINT> sent;
};

// One field of the given class in a dialog on the screen; the dialog goes
// with it.
struct HostedField
{
    HostDialog dialog;
    WEXA::MRichEdit* field = nullptr;

    explicit HostedField(const wchar_t* className = L"MRichEdit",
                         CRect rect = CRect(10, 10, 210, 110), int x = 300, int y = 200)
    {
        dialog.build = [&, className, rect](HostDialog& d) {
            field = static_cast<WEXA::MRichEdit*>(d.CreateControl(className, 40, rect, L"", 1, 1));
        };
        dialog.Open(x, y, 260, 160);
    }
    ~HostedField()
    {
        if (dialog.GetSafeHwnd()) dialog.DestroyWindow();
    }
};

}  // namespace richedit_test
