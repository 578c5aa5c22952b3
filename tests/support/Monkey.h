#pragma once
// A monkey for the whole main window: seeded random real input (SendInput) on
// whatever the window shows (clicks at its controls and between them, right
// clicks, drags, the wheel, keys and short texts, so page tabs, dialogs and
// menus open and close as they will), while the simulated keyboard is
// unplugged and plugged, its receiver reports it asleep and awake, and it
// refuses, loses or fails some requests. Message boxes are recorded and
// answered (MainWindowHarness::RecordMessageBoxes); a system file dialog left
// open is cancelled.
//
// A watchdog ends the program (exit code 3) when the window's thread does not
// answer WM_NULL within two seconds, or when the worker's queue holds tasks
// and none has ended for a while; it prints the model, the seed and the last
// 50 inputs first, so that the same model and seed play the run again.
//
//     testutil::Monkey monkey(h, keyboard, port, nullptr, -1, {seed});
//     testutil::MonkeyFigures figures = monkey.Run(10000);   // on the window's thread
//
// Run may be called again: the inputs go on from where they stopped. The input
// thread sends its input to the screen, so the window must be shown and on
// top of a display of its own.
#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboard.h"

namespace testutil {

struct MonkeyOptions
{
    unsigned seed = 1;
    std::string model;  // for the failure report
    // The window's thread answers WM_NULL within this.
    DWORD answerMs = 2000;
    // Tasks waiting and none ended for this long: the worker is stuck.
    DWORD queueStallMs = 20000;
    // Rest between two inputs, at random between these.
    DWORD minRestMs = 20, maxRestMs = 150;
};

// What the monkey did, summed over its runs.
struct MonkeyFigures
{
    int inputs = 0;  // every action below
    int clicks = 0, rightClicks = 0, drags = 0, wheels = 0, keys = 0;
    int dialogClicks = 0;      // clicks into a dialog or menu of the window
    int cancelledDialogs = 0;  // system file dialogs closed
    int plugs = 0, unplugs = 0;
    int sleeps = 0, wakes = 0;  // receiver reports
    int faults = 0;             // refused, lost or failed requests set up
    int boxes = 0;              // message boxes answered
    int tasks = 0;              // tasks the worker took
    int pagesSeen = 0;          // changes of the shown page (main tab or home) seen
    bool ended = false;         // the window asked to end the process: the run stopped
};

class Monkey
{
public:
    // The keyboard is on the bus at `port`; its receiver (null: none) at
    // `receiverPort`. Message boxes are recorded from now on.
    Monkey(MainWindowHarness& h, sim::SimKeyboard& keyboard, int port, sim::SimReceiver* receiver,
           int receiverPort, MonkeyOptions options);
    ~Monkey();

    // On the window's thread: a real click on the home page's card of the
    // device type, then the worker's loading of it. False when no device
    // page came.
    bool OpenDevicePages(int deviceType);
    // Plays for `milliseconds` on the calling thread (the window's), then
    // plugs everything back, wakes the keyboard and waits for the worker.
    MonkeyFigures Run(DWORD milliseconds);
    // The last inputs, oldest first: "#123 click (412, 96) on 68".
    std::vector<std::string> LastInputs() const;
    std::string Header() const;  // model and seed

private:
    struct Target
    {
        RECT rect;  // client coordinates
        UINT id;
    };

    void InputThread();
    void WatchdogThread();
    void Act();
    void Note(const std::string& what);
    // Ends the program with the report; with `stalledSince`, the tick the
    // window's thread was first asked, also how long it took to answer.
    void Fail(const std::string& why, DWORD stalledSince = 0);
    // On the window's thread: the visible controls to aim at.
    void RefreshTargets();
    bool PickTarget(Target& target);
    POINT ToScreen(POINT client) const;
    POINT Inside(const RECT& rect, bool centre);
    // A visible, enabled top-level window of the window's thread other than
    // the main window (a dialog, a menu), or null.
    HWND OtherWindow() const;
    void CancelSystemDialogs();
    void PlugOrUnplug();
    void SleepOrWake();
    void AddFault();
    int Random(int from, int to);  // from .. to inclusive

    MainWindowHarness& h_;
    sim::SimKeyboard& keyboard_;
    int port_;
    sim::SimReceiver* receiver_;
    int receiverPort_;
    MonkeyOptions options_;
    HWND window_ = nullptr;
    DWORD uiThread_ = 0;

    std::mt19937 random_;
    bool cablePlugged_ = true, receiverPlugged_ = true, awake_ = true;
    MonkeyFigures figures_;
    int serial_ = 0;
    int shownPage_ = -2;  // the main tab's page, -1 with the tab hidden

    mutable std::mutex lock_;  // guards the members below
    std::vector<Target> targets_;
    RECT closeRect_{};  // the close button, never pressed
    std::deque<std::string> last_;

    std::atomic<bool> stop_{false};
    std::atomic<bool> inputDone_{false};
    std::atomic<bool> uiBack_{false};  // the window's thread saw the inputs end
    std::atomic<bool> watchDone_{false};
    std::atomic<bool> watchEnded_{false};
};

}  // namespace testutil
