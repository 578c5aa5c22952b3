#pragma once
// What the standard-control tests share: an owner that records events and
// repaint requests, a dialog that records its events, and a test skin.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "MControl.h"
#include "MDialog.h"
#include "MObject.h"

namespace ctltest {

struct Event
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
    bool operator==(const Event& o) const
    {
        return id == o.id && code == o.code && wparam == o.wparam && lparam == o.lparam;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << "{" << e.id << "," << e.code << "," << e.wparam << "," << e.lparam << "}";
}

struct Update
{
    CRect rect;
    int erase;
    WEXA::MControl* control;
};

// Owner of windowless controls: records every event and repaint request, and
// writes one line per event and repaint into a shared journal (so tests can
// check their order).
class RecordingOwner : public WEXA::MObject
{
public:
    std::vector<Event> events;
    std::vector<Update> updates;
    std::vector<std::string> journal;
    const wchar_t* className = L"RecordingOwner";

    const wchar_t* GetClassNameW() const override { return className; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        journal.push_back("event " + std::to_string(code));
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int erase, WEXA::MControl* control) override
    {
        updates.push_back({rect, erase, control});
        journal.push_back("repaint " + std::to_string(erase));
        return 0;
    }
    void Clear()
    {
        events.clear();
        updates.clear();
        journal.clear();
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const Event& e : events) codes.push_back(e.code);
        return codes;
    }
};

// A dialog whose control events are recorded.
class RecordingDialog : public WEXA::MDialog
{
public:
    std::vector<Event> events;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        return 0;
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const Event& e : events) codes.push_back(e.code);
        return codes;
    }
};

// The test skin folder (made once by the environment): "face4.png" a
// 4-frame 40 x 20 face strip, "box8.png" an 8-frame 16 x 16 strip,
// "icon1.png" a 16 x 16 single icon, "icon3.png" a 3-frame 72 x 24 strip,
// "glass4.png" a 4-frame 160 x 20 strip of half-transparent black.
const std::wstring& TestSkinFolder();

}  // namespace ctltest
