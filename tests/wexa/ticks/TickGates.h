#pragma once
// Helpers for tests that put the multimedia-timer thread and the UI thread at
// a chosen moment: one-way gates between the threads, and a watchdog that ends
// the program when a scenario deadlocks (the threads that wait on each other
// cannot be freed, so the test could never fail otherwise).
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <utility>

namespace ticktest {

class Watchdog
{
public:
    Watchdog(std::string what, DWORD ms)
        : what_(std::move(what)),
          done_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread_ = std::thread([this, ms] {
            if (WaitForSingleObject(done_, ms) != WAIT_TIMEOUT) return;
            std::fprintf(stderr, "\n*** %s: still blocked after %lu ms: deadlock\n", what_.c_str(),
                         static_cast<unsigned long>(ms));
            std::fflush(stdout);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        });
    }
    ~Watchdog()
    {
        SetEvent(done_);
        thread_.join();
        CloseHandle(done_);
    }

    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string what_;
    HANDLE done_;
    std::thread thread_;
};

// A one-way signal between two threads; stays open once opened.
class Gate
{
public:
    Gate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { CloseHandle(event_); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    void Open() { SetEvent(event_); }
    bool Wait(DWORD ms = 2000) { return WaitForSingleObject(event_, ms) == WAIT_OBJECT_0; }
    bool IsOpen() const { return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }
    HANDLE Handle() const { return event_; }

private:
    HANDLE event_;
};

}  // namespace ticktest
