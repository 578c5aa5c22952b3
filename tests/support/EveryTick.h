#pragma once
// Runs a step every 15 ms on this thread (in whatever message loop runs, a
// modal dialog's too) until it returns true or the object goes. Several may
// run at once; a step may run a nested loop that comes back to the timer.
//
//     testutil::EveryTick answer([&] { return CloseBoxIfShown(); });
#include <windows.h>

#include <functional>

namespace testutil {

class EveryTick
{
public:
    explicit EveryTick(std::function<bool()> step);
    ~EveryTick();
    EveryTick(const EveryTick&) = delete;
    EveryTick& operator=(const EveryTick&) = delete;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR timer_;
};

}  // namespace testutil
