#include "EveryTick.h"

#include <map>
#include <utility>

namespace testutil {

namespace {

std::map<UINT_PTR, std::function<bool()>>& Steps()
{
    static std::map<UINT_PTR, std::function<bool()>> steps;
    return steps;
}

}  // namespace

EveryTick::EveryTick(std::function<bool()> step)
{
    timer_ = SetTimer(nullptr, 0, 15, &EveryTick::OnTimer);
    Steps()[timer_] = std::move(step);
}

EveryTick::~EveryTick()
{
    KillTimer(nullptr, timer_);
    Steps().erase(timer_);
}

void CALLBACK EveryTick::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    auto it = Steps().find(id);
    if (it == Steps().end() || !it->second) return;
    // The step is taken out while it runs: a nested loop may come back here.
    std::function<bool()> step = std::move(it->second);
    const bool done = step();
    it = Steps().find(id);
    if (it == Steps().end()) return;
    if (done)
        KillTimer(nullptr, id);
    else
        it->second = std::move(step);
}

}  // namespace testutil
