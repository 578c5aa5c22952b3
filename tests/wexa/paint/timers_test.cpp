// The window engine's timers, caret, tooltip, balloon and message overlay.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <utility>
#include <vector>

#include "MAirBladder.h"
#include "PaintObservers.h"
#include "SkinFiles.h"
#include "WexaTestControls.h"
#include "paint_host.h"

using testutil::PixelBuffer;
using testutil::SolidControl;

namespace {

// ---- window timers ----

std::vector<UINT> RecordIds(WEXA::PaintManager& e)
{
    std::vector<UINT> ids;
    for (auto* r : e.m_timers) ids.push_back(r->nID);
    return ids;
}

TEST_F(PaintTest, WindowTimerIdsStartAt17AndSkipReservedAndBusyIds)
{
    Open(50, 50);
    SolidControl c(host_, 1, CRect(0, 0, 10, 10), 1, 0);
    ASSERT_EQ(engine().SetTimer(&c, 1, 1000), 1);
    ASSERT_EQ(engine().SetTimer(&c, 2, 1000), 1);
    EXPECT_EQ(RecordIds(engine()), (std::vector<UINT>{17, 18}));

    // Fill every free id: 240 ids less the three of the overlay and the
    // repaint tick's.
    int made = 2;
    while (made < 400 && engine().SetTimer(&c, 100 + made, 1000) == 1) ++made;
    EXPECT_EQ(made, 240 - 4);
    std::set<UINT> ids;
    for (UINT id : RecordIds(engine())) {
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";
        EXPECT_NE(id, 66u);
        EXPECT_NE(id, 67u);
        EXPECT_NE(id, 88u);
        EXPECT_NE(id, 99u);
    }
    // A freed id is handed out again; ids in use are passed over.
    SolidControl other(host_, 2, CRect(0, 0, 10, 10), 1, 0);
    engine().KillTimer(&c);
    ASSERT_EQ(engine().SetTimer(&other, 1, 1000), 1);
    ASSERT_EQ(engine().SetTimer(&c, 1, 1000), 1);
    std::vector<UINT> after = RecordIds(engine());
    ASSERT_EQ(after.size(), 2u);
    EXPECT_NE(after[0], after[1]);
    engine().ClearTimers();
}

TEST_F(PaintTest, WindowTimerRearmAndDispatch)
{
    Open(50, 50);
    SolidControl c(host_, 1, CRect(0, 0, 10, 10), 1, 0);
    ASSERT_EQ(engine().SetTimer(&c, 7, 1000), 1);
    EXPECT_EQ(engine().SetTimer(&c, 7, 50), 0);  // already running
    UINT id = RecordIds(engine()).at(0);
    engine().OnTimer(id);
    EXPECT_EQ(c.ticks, 1);
    EXPECT_EQ(engine().KillTimer(&c, 7), 1);
    EXPECT_EQ(engine().KillTimer(&c, 7), 0);
    engine().OnTimer(id);  // a stopped record is not ticked
    EXPECT_EQ(c.ticks, 1);
    EXPECT_EQ(engine().SetTimer(&c, 7, 1000), 1);  // re-armed with its old id
    EXPECT_EQ(RecordIds(engine()), std::vector<UINT>{id});
    engine().KillTimer(&c);
    EXPECT_TRUE(engine().m_timers.empty());
}

// ---- multimedia tick ----

DWORD g_fakeNow = 0;
DWORD FakeClock()
{
    return g_fakeNow;
}

TEST_F(PaintTest, TicksCloserThan3msAreDropped)
{
    Open(50, 50);
    SolidControl running(host_, 1, CRect(0, 0, 10, 10), 1, 0);
    SolidControl idle(host_, 2, CRect(0, 0, 10, 10), 1, 0);
    running.SetRunTimer(1);
    engine().AddMTimer(&running);
    engine().AddMTimer(&idle);  // its run-timer flag is clear
    engine().SetTickClock(&FakeClock);
    engine().m_uMTimerID = 77;

    const struct
    {
        DWORD now;
        UINT id;
        int ticked;
    } steps[] = {
        {1000, 77, 1}, {1002, 77, 0},  // 2 ms after the last: dropped
        {1003, 77, 1}, {1005, 77, 0},
        {1006, 77, 1}, {1010, 12, 0},  // another timer's tick is ignored...
        {1011, 77, 0},                 // ...but counts as the last tick
        {1013, 77, 1},
    };
    int expected = 0;
    for (const auto& s : steps) {
        g_fakeNow = s.now;
        engine().OnMTimer(s.id);
        expected += s.ticked;
        EXPECT_EQ(running.ticks, expected) << "at " << s.now;
    }
    EXPECT_EQ(idle.ticks, 0);
    EXPECT_EQ(engine().DeleteFSTimer(&running), 1);
    EXPECT_EQ(engine().DeleteFSTimer(&running), 0);
    engine().DeleteFSTimer(&idle);
    engine().SetTickClock(nullptr);
    engine().m_uMTimerID = 0;
}

TEST_F(PaintTest, TeardownStopsTheTickBeforeControlsGo)
{
    // A real 1 ms multimedia timer ticks a slow control while the window goes:
    // the timer is stopped (synchronously) before the control is deleted, and
    // the engine's locks still work afterwards.
    Open(50, 50);
    auto* c = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 1, CRect(0, 0, 10, 10), L"", 1, 1));
    ASSERT_NE(c, nullptr);
    c->SetRunTimer(1);
    c->tickWork = 2;
    c->AddMTimer();
    host_->SetMTimer(1);
    ASSERT_TRUE(testutil::PumpUntil([&] { return c->ticks.load() >= 3; }, 2000));
    host_->DestroyWindow();  // DestroyData deletes the control
    EXPECT_FALSE(engine().IsInit());
    EXPECT_TRUE(engine().m_tickReceivers.empty());
    SolidControl late(host_, 5, CRect(0, 0, 1, 1), 1, 0);
    EXPECT_EQ(engine().AddMTimer(&late), 1);
    EXPECT_EQ(engine().DeleteFSTimer(&late), 1);
}

// ---- overlay ----

std::vector<std::pair<UINT, UINT>> g_started;
void RecordTimer(WEXA::PaintManager*, UINT id, UINT ms)
{
    g_started.emplace_back(id, ms);
}

class OverlayTest : public PaintTest
{
protected:
    void SetUp() override
    {
        PaintTest::SetUp();
        g_started.clear();
        WEXA::SetEngineTimerObserver(&RecordTimer);
        Open(300, 200);
    }
    void TearDown() override
    {
        WEXA::SetEngineTimerObserver(nullptr);
        PaintTest::TearDown();
    }
    bool Started(UINT id, UINT ms) const
    {
        for (auto& s : g_started)
            if (s.first == id && s.second == ms) return true;
        return false;
    }
};

TEST_F(OverlayTest, MessageShowsThreeSecondsThenFadesIn24Steps)
{
    engine().SetMessage(CString(L"Saved"), CRect(50, 120, 250, 180), WEXA::MSG_LEVEL_INFO);
    EXPECT_EQ(engine().m_nOverlayAlpha, 255);
    EXPECT_TRUE(Started(66, 3000));
    engine().OnTimer(66);
    EXPECT_TRUE(Started(88, 50));
    int steps = 0;
    while (engine().m_nOverlayAlpha > 0 && steps < 100) {
        engine().OnTimer(88);
        ++steps;
    }
    EXPECT_EQ(steps, 24);
    EXPECT_EQ(engine().m_nShownProgress, 0);
}

TEST_F(OverlayTest, MessageReplacesAFadingProgressAtOnce)
{
    engine().SetProgress(100, CString(L"Done"), CRect(0, 140, 300, 198));
    EXPECT_EQ(engine().m_nShownProgress, 0);
    while (engine().m_nShownProgress < 100) engine().OnTimer(99);
    engine().OnTimer(88);
    ASSERT_LT(engine().m_nOverlayAlpha, 255);
    engine().SetMessage(CString(L"Saved"), CRect(50, 120, 250, 180), WEXA::MSG_LEVEL_WARNING);
    EXPECT_EQ(engine().m_nOverlayAlpha, 255);
    EXPECT_EQ(engine().m_nShownProgress, 0);
    EXPECT_EQ(engine().m_overlayLevel, WEXA::MSG_LEVEL_WARNING);
}

TEST_F(OverlayTest, ProgressStepsStopAtTheTargetEvenForOddDistances)
{
    struct Case
    {
        int from, to, steps;
    };
    const Case cases[] = {{0, 100, 50}, {0, 33, 17}, {51, 100, 25}, {20, 27, 4}};
    for (const Case& c : cases) {
        engine().m_nShownProgress = c.from;
        engine().m_nTargetProgress = c.from;
        g_started.clear();
        engine().SetProgress(c.to, CString(L"Downloading"), CRect());
        ASSERT_TRUE(Started(99, 10)) << c.to;
        int steps = 0;
        int last = engine().m_nShownProgress;
        while (engine().m_nShownProgress != c.to && steps < 200) {
            engine().OnTimer(99);
            ++steps;
            ASSERT_LE(engine().m_nShownProgress, c.to);
            ASSERT_GE(engine().m_nShownProgress, last);
            last = engine().m_nShownProgress;
        }
        EXPECT_EQ(steps, c.steps) << c.from << " to " << c.to;
        // Reaching 100 starts the fade.
        EXPECT_EQ(Started(88, 50), c.to >= 100) << c.to;
    }
    // A small step shows the target at once; the same target again changes nothing.
    engine().m_nShownProgress = engine().m_nTargetProgress = 40;
    g_started.clear();
    engine().SetProgress(44, CString(L"x"), CRect());
    EXPECT_EQ(engine().m_nShownProgress, 44);
    EXPECT_TRUE(g_started.empty());
    engine().m_nOverlayAlpha = 7;
    engine().SetProgress(44, CString(L"y"), CRect());
    EXPECT_EQ(engine().m_nOverlayAlpha, 7);
    // An empty rectangle spans the client width, 60 to 2 pixels above the bottom.
    EXPECT_EQ(engine().m_rcOverlay, CRect(0, 140, 300, 198));
}

TEST_F(OverlayTest, OverlayIsPaintedOverTheWindow)
{
    engine().SetProgress(50, CString(L""), CRect(20, 100, 220, 160));
    engine().m_nShownProgress = 50;
    engine().m_strOverlayText = L"Half";
    PixelBuffer s = PaintNow();
    EXPECT_EQ(s.At(20, 100), 0xFFE6E6E6u);  // the outer ring
    EXPECT_EQ(s.At(25, 150), 0xFFFEFEFEu);  // the inner box
    // The bar, 3 pixels high and half of 180 pixels wide, over the grey line.
    UINT32 bar = s.At(40, 145);
    EXPECT_NEAR(static_cast<int>((bar >> 16) & 0xFF), 0xFF, 2);
    EXPECT_NEAR(static_cast<int>((bar >> 8) & 0xFF), 0xE1, 2);
    EXPECT_NEAR(static_cast<int>(bar & 0xFF), 0x00, 2);
    EXPECT_EQ(s.At(125, 144), 0xFFFEFEFEu);  // beyond the shown half, above the line
    EXPECT_NE(s.At(150, 145), 0xFFFEFEFEu);  // the line itself
    // Faded out: nothing is drawn.
    engine().m_nOverlayAlpha = 10;
    host_->Invalidate();
    s = PaintNow();
    EXPECT_EQ(s.At(25, 150) >> 24, 0xFEu);
}

// ---- caret ----

TEST_F(OverlayTest, CaretBlinksAndIsDrawnForTheFocusedOwner)
{
    SolidControl* owner = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 8, CRect(0, 0, 100, 40), L"", 1, 1));
    auto* asRichEdit = reinterpret_cast<WEXA::MRichEdit*>(static_cast<WEXA::MControl*>(owner));
    EXPECT_EQ(engine().CreateCaret(nullptr, 2, 14), 1);
    EXPECT_EQ(engine().SetCaretPos(asRichEdit, 10, 10), 1);
    EXPECT_EQ(engine().GetCurrentCaretObject(), asRichEdit);
    EXPECT_EQ(engine().m_rcCaret, CRect(10, 10, 12, 24));
    host_->SetFocusControl(owner);
    SetForegroundWindow(hwnd());
    SetFocus(hwnd());
    EXPECT_EQ(engine().ShowCaret(1), 1);
    EXPECT_TRUE(Started(6553, GetCaretBlinkTime()));
    host_->Invalidate();
    PixelBuffer s = PaintNow();
    ASSERT_EQ(GetFocus(), hwnd());
    // Black at alpha 0xFE over the owner's grey.
    auto caret = [](UINT32 p) {
        return (p >> 24) >= 0xFE && ((p >> 16) & 0xFF) <= 2 && ((p >> 8) & 0xFF) <= 2 &&
               (p & 0xFF) <= 2;
    };
    EXPECT_TRUE(caret(s.At(10, 10)));
    EXPECT_TRUE(caret(s.At(11, 23)));
    EXPECT_FALSE(caret(s.At(12, 10)));

    // The blink timer toggles the drawn phase.
    engine().OnTimer(6553);
    EXPECT_EQ(engine().m_bCaretDrawn, 0);
    engine().OnTimer(6553);
    EXPECT_EQ(engine().m_bCaretDrawn, 1);

    // Without the focus the caret stops.
    host_->SetFocusControl(nullptr);
    host_->Invalidate();
    s = PaintNow();
    EXPECT_FALSE(caret(s.At(10, 10)));
    EXPECT_EQ(engine().m_bCaretDrawn, 0);
    EXPECT_EQ(engine().ShowCaret(0), 1);
    DestroyCaret();
}

// ---- tooltip ----

TEST_F(OverlayTest, TooltipIsCreatedOnFirstTextOnly)
{
    engine().SetTooltip(L"", CRect());
    engine().SetTooltip(nullptr, CRect());
    EXPECT_EQ(engine().m_hWndTooltip, nullptr);
    engine().SetTooltip(L"Key colour", CRect());
    HWND tip = engine().m_hWndTooltip;
    ASSERT_NE(tip, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(cls, L"tooltips_class32");
    EXPECT_EQ(GetWindow(tip, GW_OWNER), hwnd());
    EXPECT_EQ(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0), 0xF5F5F5);
    EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 256);
    wchar_t text[64] = {};
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd();
    ti.uId = 1313;
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"Key colour");
    engine().SetTooltipCtrlID(12);
    engine().ClearTooltip();
    EXPECT_EQ(engine().GetTooltipCtrlID(), 0);
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"");
}

// ---- balloon ----

TEST_F(OverlayTest, BalloonOwnershipOfShowAndHide)
{
    EXPECT_EQ(engine().ShowAirBladder(1, 3), 0);  // no balloon yet
    std::wstring folder = testutil::UseTestSkinFolder(L"paint_test");
    testutil::WriteSkinPng(folder, L"img_tip_bk.png", 16, 16,
                           [](Gdiplus::Graphics& g) { g.Clear(Gdiplus::Color(220, 30, 30, 36)); });
    EXPECT_EQ(engine().SetAirBladderMsg(L"Profile saved", POINT{400, 300},
                                        WEXA::AIRBLADDER_TYPE_BUTTON, WEXA::AIRBLADDER_MODE_RIGHT),
              1);
    WEXA::MAirBladder* balloon = engine().m_pAirBladder;
    ASSERT_NE(balloon, nullptr);
    HWND bw = balloon->GetSafeHwnd();
    // Made hidden, so the window keeps the activation and the keyboard.
    EXPECT_FALSE(IsWindowVisible(bw));
    EXPECT_NE(GetForegroundWindow(), bw);
    EXPECT_NE(GetFocus(), bw);
    wchar_t title[64] = {};
    GetWindowTextW(bw, title, 64);
    EXPECT_STREQ(title, L"AirBladder Window");
    EXPECT_TRUE(balloon->HasBKImage());
    EXPECT_EQ(engine().SetAirBladderMsg(nullptr, POINT{1, 1}, WEXA::AIRBLADDER_TYPE_BUTTON,
                                        WEXA::AIRBLADDER_MODE_RIGHT),
              0);

    engine().ShowAirBladder(1, 3);
    EXPECT_TRUE(IsWindowVisible(bw));
    EXPECT_NE(GetFocus(), bw);
    EXPECT_EQ(engine().ShowAirBladder(0, 7), 0);  // another control's key
    EXPECT_TRUE(IsWindowVisible(bw));
    engine().ShowAirBladder(0, 0);
    EXPECT_FALSE(IsWindowVisible(bw));
}

TEST_F(OverlayTest, GdiplusObjectsGoWithTheWindow)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"paint_test");
    testutil::WriteSkinPng(folder, L"img_tip_bk.png", 16, 16,
                           [](Gdiplus::Graphics& g) { g.Clear(Gdiplus::Color(220, 30, 30, 36)); });
    testutil::WriteSkinPng(folder, L"bk.png", 8, 8,
                           [](Gdiplus::Graphics& g) { g.Clear(Gdiplus::Color(255, 9, 9, 9)); });
    ASSERT_EQ(engine().LoadBKImage(CString(L"bk.png")), 1);
    engine().SetAirBladderMsg(L"Tip", POINT{400, 300}, WEXA::AIRBLADDER_TYPE_BUTTON,
                              WEXA::AIRBLADDER_MODE_RIGHT);
    WEXA::MAirBladder* balloon = engine().m_pAirBladder;
    ASSERT_TRUE(balloon->HasFont());
    engine().FindTempFont(L"Roboto-Medium");
    host_->DestroyWindow();
    // Everything that holds GDI+ objects let them go with the window, so a
    // program that shuts GDI+ down before deleting its dialog objects is safe.
    EXPECT_EQ(engine().m_pBkImage, nullptr);
    EXPECT_FALSE(balloon->HasFont());
    EXPECT_FALSE(balloon->HasBKImage());
    EXPECT_TRUE(engine().m_fonts.empty());
}

// ---- calls from other threads ----

struct PostJob
{
    WEXA::PaintManager* engine;
    LRESULT result;
};

DWORD WINAPI PostFromWorker(void* param)
{
    auto* job = static_cast<PostJob*>(param);
    job->result = job->engine->PostMessageW(WM_APP + 5, 1, 2);
    return 0;
}

class AnsweringHost : public PaintHost
{
public:
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == WM_APP + 5) {
            ++received;
            return 42;
        }
        return PaintHost::OnWindowMessage(msg, wparam, lparam);
    }
    int received = 0;
};

TEST(EngineThreads, PostFromAnotherThreadDoesNotWaitForTheUiThread)
{
    AnsweringHost host;
    ASSERT_NE(host.Create(nullptr, L"threads", WS_POPUP, 0, CRect(0, 0, 50, 50)), nullptr);
    WEXA::PaintManager& engine = *host.GetPaintManager();
    // On the window's own thread the answer comes back at once.
    EXPECT_EQ(engine.PostMessageW(WM_APP + 5, 0, 0), 42);
    EXPECT_EQ(host.received, 1);

    // The UI thread waits for the worker without pumping messages: a send
    // from the worker would never return.
    PostJob job{&engine, 0};
    HANDLE worker = CreateThread(nullptr, 0, &PostFromWorker, &job, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(worker, 3000), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_NE(job.result, 0);
    EXPECT_EQ(host.received, 1);
    testutil::PumpPending();
    EXPECT_EQ(host.received, 2);
    host.DestroyWindow();
}

}  // namespace
