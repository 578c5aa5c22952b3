// The wait dialogs: where they stand, and that they always close: a close
// request made before the window exists is kept and honoured, one made from the
// worker while the UI thread replaces the dialog reaches a live object or none,
// one made after the window is gone has no effect. The LCD send window's
// control pointers do not outlive its window.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "DialogTestSupport.h"
#include "MLevelCtrl.h"
#include "MPicture.h"
#include "MText.h"
#include "dialogs/LEDWaitDlg.h"
#include "dialogs/LEDWaitDlg2.h"
#include "dialogs/WaitDialogSlot.h"
#include "dialogs/WaitDlg.h"

namespace {

using dialogtest::EveryTick;
using dialogtest::FindDialog;
using dialogtest::InLanguage;

// A main window stand-in at (100, 100) - (1500, 888).
class MainWindow
{
public:
    MainWindow()
    {
        dlg_.Create(nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 1500, 888));
    }
    ~MainWindow() { dlg_.DestroyWindow(); }
    HWND hwnd() const { return dlg_.GetSafeHwnd(); }

private:
    WEXA::MDialog dlg_;
};

TEST(WaitDlg, StandsCentredOverTheMainWindow)
{
    EXPECT_EQ(LEDWaitDlg::PlaceOver(RECT{100, 100, 1500, 888}), CRect(749, 443, 851, 545));
    EXPECT_EQ(LEDWaitDlg::PlaceOver(RECT{0, 0, 1400, 788}), CRect(649, 343, 751, 445));

    MainWindow main;
    WaitDlg dlg;
    RECT seen = {};
    bool ownerDisabled = false, topmost = false;
    EveryTick tick([&] {
        HWND spinner = FindDialog(kWaitDlgWindowName);
        if (!spinner) return false;
        GetWindowRect(spinner, &seen);
        ownerDisabled = !IsWindowEnabled(main.hwnd());
        topmost = (GetWindowLongPtrW(spinner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        dlg.DoOK();
        return true;
    });
    EXPECT_EQ(dlg.DoModal(main.hwnd()), 1u);
    EXPECT_EQ(CRect(seen), CRect(749, 443, 851, 545));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(topmost);
    EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
}

TEST(WaitDlg, SpinnerAnimatesOnTheDialogsTimer)
{
    MainWindow main;
    WaitDlg dlg;
    int firstFrame = -1, laterFrame = -1, frames = 0;
    DWORD start = 0;
    EveryTick tick([&] {
        auto* gif = dynamic_cast<WEXA::CGifPicture*>(dlg.GetControl(30));
        if (!gif) return false;
        if (firstFrame < 0) {
            firstFrame = gif->GetShownFrame();
            frames = gif->GetFrameCount();
            start = GetTickCount();
            return false;
        }
        if (GetTickCount() - start < 300) return false;
        laterFrame = gif->GetShownFrame();
        dlg.DoOK();
        return true;
    });
    dlg.DoModal(main.hwnd());
    EXPECT_EQ(frames, 12);
    EXPECT_NE(laterFrame, firstFrame) << "the spinner stood still";
}

// A close request made before the window exists (the worker finished first).
TEST(WaitDlg, CloseBeforeTheWindowExistsIsKept)
{
    MainWindow main;
    // A request the dialog lost: end it after 2 s with 99, so that the test fails
    // instead of waiting for ever.
    DWORD openedAt = 0;
    EveryTick watchdog([&] {
        HWND open = FindDialog(kWaitDlgWindowName);
        if (!open) open = FindDialog(kLEDWaitDlg2WindowName);
        if (!open) {
            openedAt = 0;
            return false;
        }
        if (!openedAt) openedAt = GetTickCount();
        if (GetTickCount() - openedAt > 2000) PostMessageW(open, WEXA::WM_USER_CLOSE_WINDOW, 99, 0);
        return false;
    });
    for (int kind = 0; kind < 3; ++kind) {
        UINT result = 0;
        const DWORD start = GetTickCount();
        if (kind == 0) {
            WaitDlg dlg;
            dlg.DoOK();
            result = dlg.DoModal(main.hwnd());
        } else if (kind == 1) {
            LEDWaitDlg dlg;
            dlg.RequestClose(IDOK);
            result = dlg.DoModal(main.hwnd());
        } else {
            LEDWaitDlg2 dlg;
            dlg.DoOK();
            result = dlg.DoModal(nullptr);
        }
        EXPECT_EQ(result, 1u) << "kind " << kind;
        EXPECT_LT(GetTickCount() - start, 2000u) << "kind " << kind;
    }
}

// The worker closes through the main window's slot at any moment: before the
// dialog is created, while it is created, while it runs. Every run ends.
TEST(WaitDialogSlot, EveryRunEndsWhenTheWorkerClosesAtAnyMoment)
{
    MainWindow main;
    WaitDialogSlot<WaitDlg> slot;
    for (int run = 0; run < 24; ++run) {
        WaitDlg* dlg = slot.Reset(new WaitDlg);  // installed before the task is queued
        std::atomic<bool> done{false};
        std::thread worker([&, run] {
            // The task takes from nothing to a few milliseconds.
            if (run % 3) Sleep(DWORD(run % 7));
            slot.Close();
            done = true;
        });
        DWORD doneAt = 0;
        EveryTick watchdog([&] {
            // A run the close request missed: end it so the test fails instead of hanging.
            if (!done) return false;
            if (!doneAt) doneAt = GetTickCount();
            if (GetTickCount() - doneAt < 3000) return false;
            if (HWND w = FindDialog(kWaitDlgWindowName))
                PostMessageW(w, WEXA::WM_USER_CLOSE_WINDOW, 99, 0);
            return true;
        });
        EXPECT_EQ(dlg->DoModal(main.hwnd()), 1u) << "run " << run;
        worker.join();
    }
    slot.Reset(nullptr);
}

// The UI thread deletes and replaces dialogs while the worker keeps closing:
// the worker reaches a live object or none, never a deleted one.
TEST(WaitDialogSlot, ReplacingWhileTheWorkerClosesIsSafe)
{
    static std::atomic<int> alive{0};
    struct Counted : WaitDlg
    {
        Counted() { ++alive; }
        ~Counted() override { --alive; }
    };
    {
        WaitDialogSlot<Counted> slot;
        std::atomic<bool> stop{false};
        std::atomic<int> closes{0};
        std::thread worker([&] {
            while (!stop) {
                slot.Close();
                ++closes;
            }
        });
        for (int i = 0; i < 500; ++i) {
            Counted* dlg = slot.Reset(new Counted);
            EXPECT_EQ(slot.Get(), dlg);
            EXPECT_EQ(alive.load(), 1);  // the previous one is gone
        }
        stop = true;
        worker.join();
        EXPECT_GT(closes.load(), 0);
        slot.Close();
        EXPECT_TRUE(slot.Get()->CloseRequested());
    }
    EXPECT_EQ(alive.load(), 0) << "the slot deletes the last dialog";

    WaitDialogSlot<WaitDlg> empty;
    empty.Close();  // nothing held: nothing happens
    EXPECT_EQ(empty.Get(), nullptr);
}

// A new wait begun from inside a running one (a handler the modal loop
// dispatches) closes the running one and deletes it only once its window is
// gone, never under its own modal loop.
TEST(WaitDialogSlot, ReplacingARunningDialogClosesItAndDeletesItLater)
{
    static std::atomic<int> alive{0};
    struct Counted : WaitDlg
    {
        Counted() { ++alive; }
        ~Counted() override { --alive; }
    };
    MainWindow main;
    WaitDialogSlot<Counted> slot;
    Counted* outer = slot.Reset(new Counted);
    UINT innerResult = 0;
    EveryTick tick([&] {
        if (!outer->GetSafeHwnd()) return false;
        Counted* inner = slot.Reset(new Counted);
        EXPECT_EQ(alive.load(), 2) << "the running dialog was deleted under its modal loop";
        EXPECT_EQ(slot.RetiredCount(), 1u);
        slot.Close();
        innerResult = inner->DoModal(main.hwnd());
        return true;
    });
    // The outer run ends (its close is taken by the inner loop, so its result
    // is the library's "no close seen", 0).
    outer->DoModal(main.hwnd());
    EXPECT_EQ(outer->GetSafeHwnd(), nullptr);
    EXPECT_EQ(innerResult, 1u);
    EXPECT_EQ(alive.load(), 2);
    slot.Reset(nullptr);  // the retired one's window is gone now: both are deleted
    EXPECT_EQ(alive.load(), 0);
    EXPECT_EQ(slot.RetiredCount(), 0u);
}

// A close made after the window is gone has no effect; the exit sequence ends
// a spinner by its window name with 0.
TEST(WaitDlg, LateCloseHasNoEffectAndTheExitClosesByName)
{
    MainWindow main;
    WaitDlg dlg;
    EveryTick tick([&] {
        HWND spinner = FindDialog(kWaitDlgWindowName);
        if (!spinner) return false;
        PostMessageW(spinner, WEXA::WM_USER_CLOSE_WINDOW, 0, 0);
        return true;
    });
    EXPECT_EQ(dlg.DoModal(main.hwnd()), 0u);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    dlg.DoOK();
    dlg.RequestClose(2);
    EXPECT_TRUE(dlg.CloseRequested());
    // A window made now (the next dialog) gets none of those requests.
    WaitDlg next;
    EveryTick tick2([&] {
        HWND spinner = FindDialog(kWaitDlgWindowName);
        if (!spinner) return false;
        next.RequestClose(5);
        return true;
    });
    EXPECT_EQ(next.DoModal(main.hwnd()), 5u);
}

TEST(LEDWaitDlg2, ControlsAndNoOwner)
{
    InLanguage english(1033);
    MainWindow main;
    LEDWaitDlg2 dlg;
    EXPECT_EQ(dlg.m_titleText, nullptr);
    bool checked = false;
    EveryTick tick([&] {
        HWND window = FindDialog(kLEDWaitDlg2WindowName);
        if (!window) return false;
        EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(main.hwnd())) << "the main window stays enabled beside it";
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(r.right - r.left, 395);
        EXPECT_EQ(r.bottom - r.top, 150);
        EXPECT_EQ(dlg.m_titleText, dlg.GetControl(30));
        EXPECT_EQ(dlg.m_statusText, dlg.GetControl(31));
        EXPECT_EQ(dlg.m_progress, dlg.GetControl(32));
        if (dlg.m_titleText && dlg.m_statusText && dlg.m_progress) {
            EXPECT_STREQ(dlg.m_titleText->GetTitle(), L"Sending...");
            EXPECT_EQ(dlg.m_titleText->GetRect(), CRect(17, 15, 167, 35));
            // Light texts on the dark card.
            EXPECT_EQ(dlg.m_titleText->m_clrText.GetValue(), 0xFFE8ECF3u);
            EXPECT_STREQ(dlg.m_statusText->GetTitle(), L"Loading: 1%");
            EXPECT_EQ(dlg.m_statusText->m_clrText.GetValue(), 0xFFC9D0DCu);
            EXPECT_EQ(dlg.m_progress->GetRect(), CRect(30, 80, 365, 90));
            EXPECT_EQ(dlg.m_progress->GetProgress(), 1) << "the bar shows what the line says";
            EXPECT_EQ(dlg.m_progress->GetMaxProgress(), 100);
        }
        checked = true;
        dlg.DoOK();
        return true;
    });
    EXPECT_EQ(dlg.DoModal(main.hwnd()), 1u);
    EXPECT_TRUE(checked);
    // The engine deleted the controls with the window: no pointer is left to them.
    EXPECT_EQ(dlg.m_titleText, nullptr);
    EXPECT_EQ(dlg.m_statusText, nullptr);
    EXPECT_EQ(dlg.m_progress, nullptr);
}

// The send reports its progress from the worker: the window shows it, and a
// report after the window is gone (or through an empty slot) does nothing.
TEST(LEDWaitDlg2, ProgressFromAnotherThreadShowsInTheWindow)
{
    InLanguage english(1033);
    WaitDialogSlot<LEDWaitDlg2> slot;
    slot.With([](LEDWaitDlg2*) { ADD_FAILURE() << "an empty slot has no dialog"; });
    LEDWaitDlg2* dlg = slot.Reset(new LEDWaitDlg2);
    std::thread worker;
    bool shown = false;
    EveryTick tick([&] {
        if (!FindDialog(kLEDWaitDlg2WindowName)) return false;
        if (!worker.joinable()) {
            worker = std::thread([&] {
                for (int percent : {25, 50, 150})
                    slot.With([&](LEDWaitDlg2* d) { d->PostProgress(percent); });
            });
            return false;
        }
        if (!dlg->m_progress || dlg->m_progress->GetProgress() != 100) return false;
        EXPECT_STREQ(dlg->m_statusText->GetTitle(), L"Loading: 100%");
        shown = true;
        slot.Close(IDOK);
        return true;
    });
    EXPECT_EQ(dlg->DoModal(nullptr), 1u);
    worker.join();
    EXPECT_TRUE(shown);
    dlg->PostProgress(40);  // the window is gone
    EXPECT_EQ(dlg->m_progress, nullptr);
}

}  // namespace
