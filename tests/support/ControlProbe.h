#pragma once
// Test controls that record what reaches them, and a recording owner.
#include <windows.h>

#include <string>
#include <vector>

#include "MControl.h"
#include "MObject.h"

namespace probe {

// One line per hook call, e.g. "7.down(12,30)", "7.key(65,16)", "7.scroll(1)".
using Log = std::vector<std::string>;

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

struct Update
{
    CRect rect;
    int erase;
    WEXA::MControl* control;
};

// Owner that records notifications and repaint requests.
class RecordingOwner : public WEXA::MObject
{
public:
    std::vector<Event> events;
    std::vector<Update> updates;
    const wchar_t* className = L"MDialog";

    const wchar_t* GetClassNameW() const override { return className; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int erase, WEXA::MControl* control) override
    {
        updates.push_back({rect, erase, control});
        return 0;
    }
};

// A control whose hooks log their calls and answer as configured. Its press
// and release hooks report codes 1 and 2 to the owner with the point as
// (wparam, lparam), as the library's buttons do. As a container it passes its
// children's notifications on to its own owner unchanged.
class Probe : public WEXA::MControl
{
public:
    Probe(WEXA::MObject* owner, UINT id, CRect rect, Log* log = nullptr, int visible = 1,
          int enabled = 1, int response = 1)
        : MControl(owner, id, rect, visible, enabled, response),
          log_(log)
    {}

    // What the hooks answer.
    int takeMove = 1, takeDown = 1, takeUp = 1, takeDbl = 1, takeScroll = 1, takeKey = 1,
        takeTimer = 0;
    int renders = 0;  // looks rendered again (cache stale)
    int draws = 0;    // DrawControl calls
    int focusCalls = 0;
    int lastFocus = -1;
    int inits = 0;
    int ticks = 0;

    Probe* AddChild(UINT id, CRect rect)
    {
        Probe* child = new Probe(this, id, rect, log_);
        child->m_pManager = m_pManager;
        CAutoLock lock(m_childLock);
        m_controls.push_back(child);
        return child;
    }

    void InitControl(WEXA::PaintManager*) override { ++inits; }
    void DrawControl(HDC& dc, CRect) override
    {
        ++draws;
        if (!m_bUpdate) {
            UpdateMemDC(dc, m_rcControl.Width(), m_rcControl.Height());
            ++renders;
        }
    }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
    }
    int SetControlFocus(int focus) override
    {
        ++focusCalls;
        lastFocus = focus;
        return MControl::SetControlFocus(focus);
    }
    int OnControlMouseMove(UINT, CPoint p) override { return Record("move", p, takeMove); }
    int OnControlLButtonDown(UINT, CPoint p) override
    {
        SendMessageW(1, p.x, p.y);
        return Record("down", p, takeDown);
    }
    int OnControlLButtonUp(UINT, CPoint p) override
    {
        SendMessageW(2, p.x, p.y);
        return Record("up", p, takeUp);
    }
    int OnControlLButtonDblClk(UINT, CPoint p) override { return Record("dbl", p, takeDbl); }
    int OnControlRButtonDown(UINT, CPoint p) override { return Record("rdown", p, takeDown); }
    int OnControlRButtonUp(UINT, CPoint p) override
    {
        SendMessageW(5, p.x, p.y);
        return Record("rup", p, takeUp);
    }
    int OnControlRButtonDblClk(UINT, CPoint p) override { return Record("rdbl", p, takeDbl); }
    int OnControlScroll(int step, UINT down, CPoint) override
    {
        Add("scroll(" + std::to_string(down) + ")");
        (void)step;
        return takeScroll;
    }
    int OnControlKeyDown(UINT key, UINT, UINT flags) override
    {
        Add("key(" + std::to_string(key) + "," + std::to_string(flags) + ")");
        return takeKey || MControl::OnControlKeyDown(key, 0, flags);
    }
    int OnControlTimer() override
    {
        ++ticks;
        return takeTimer;
    }

private:
    int Record(const char* what, CPoint p, int answer)
    {
        Add(std::string(what) + "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")");
        return answer;
    }
    void Add(const std::string& what)
    {
        if (log_) log_->push_back(std::to_string(m_nID) + "." + what);
    }
    Log* log_;
};

// The entries of a log that start with the given id prefix ("7.").
inline Log Only(const Log& log, const std::string& prefix)
{
    Log out;
    for (const auto& line : log)
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
}

}  // namespace probe
