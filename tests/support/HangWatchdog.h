#pragma once
// Ends the test program with a message when a scope is not left in time: a
// hang (two threads waiting for each other) then fails the run instead of
// stopping CI.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

namespace testutil {

class HangWatchdog
{
public:
    HangWatchdog(std::string what, DWORD ms)
        : what_(std::move(what)),
          done_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread_ = std::thread([this, ms] {
            if (WaitForSingleObject(done_, ms) != WAIT_TIMEOUT) return;
            std::fprintf(stderr, "\n*** %s: no answer after %lu ms: the window hangs\n",
                         what_.c_str(), static_cast<unsigned long>(ms));
            std::fflush(stdout);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        });
    }
    ~HangWatchdog()
    {
        SetEvent(done_);
        thread_.join();
        CloseHandle(done_);
    }
    HangWatchdog(const HangWatchdog&) = delete;
    HangWatchdog& operator=(const HangWatchdog&) = delete;

private:
    std::string what_;
    HANDLE done_;
    std::thread thread_;
};

}  // namespace testutil
