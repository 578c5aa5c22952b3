// Multimedia timers: tick rate, records, handler order, synchronous kill and the
// counted raise of the system timer resolution.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "MTimer.h"

using WEXA::MTimer;

namespace {

class RecordingTimer : public MTimer
{
public:
    ~RecordingTimer() override { KillTimer(); }

    void OnMTimer(UINT id) override
    {
        ++ticks;
        std::lock_guard<std::mutex> g(lock);
        if (events.size() < 200) events.push_back("id:" + std::to_string(id));
        times.push_back(GetTickCount());
    }
    void OnMTimer(UINT id, CString name) override
    {
        std::lock_guard<std::mutex> g(lock);
        if (events.size() < 200)
            events.push_back("app:" + std::to_string(id) + ":" + name.ToUtf8());
    }

    std::atomic<int> ticks{0};
    std::mutex lock;
    std::vector<std::string> events;
    std::vector<DWORD> times;
};

// A handler that takes its time, to catch ticks that outlive a kill.
class SlowTimer : public MTimer
{
public:
    ~SlowTimer() override { KillTimer(); }
    void OnMTimer(UINT) override
    {
        inside = 1;
        Sleep(40);
        ++finished;
        inside = 0;
    }
    std::atomic<int> inside{0};
    std::atomic<int> finished{0};
};

bool WaitFor(const std::atomic<int>& value, int atLeast, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (value.load() < atLeast) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(2);
    }
    return true;
}

// Counting stand-ins for the system calls that query, raise and end the resolution.
std::atomic<int> g_begins{0}, g_ends{0};
std::atomic<UINT> g_lastBegin{0}, g_lastEnd{0};
std::atomic<bool> g_capsFail{false};
std::atomic<UINT> g_capsMin{1}, g_capsMax{1000000};

MMRESULT WINAPI FakeDevCaps(LPTIMECAPS caps, UINT)
{
    if (g_capsFail) return TIMERR_NOCANDO;
    caps->wPeriodMin = g_capsMin;
    caps->wPeriodMax = g_capsMax;
    return TIMERR_NOERROR;
}
MMRESULT WINAPI FakeBegin(UINT period)
{
    ++g_begins;
    g_lastBegin = period;
    return TIMERR_NOERROR;
}
MMRESULT WINAPI FakeEnd(UINT period)
{
    ++g_ends;
    g_lastEnd = period;
    return TIMERR_NOERROR;
}

class ResolutionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_begins = g_ends = 0;
        g_capsFail = false;
        g_capsMin = 1;
        g_capsMax = 1000000;
        MTimer::SetResolutionHooks(&FakeDevCaps, &FakeBegin, &FakeEnd);
    }
    void TearDown() override
    {
        MTimer::SetResolutionHooks(nullptr, nullptr, nullptr);
        MTimer::m_uAccuracy = 1;
    }
};

}  // namespace

TEST(MTimer, SixteenMillisecondTimerTicksAtItsRate)
{
    // The rate is judged against the time that really passed between the
    // start and the kill, so a loaded machine that oversleeps does not count
    // as extra ticks; a timer that fires twice as often, or half, still fails.
    RecordingTimer timer;
    const DWORD start = GetTickCount();
    int id = timer.SetTimer(16, L"", 0);
    ASSERT_NE(id, 0);
    Sleep(520);
    timer.KillTimer(static_cast<UINT>(id));
    const DWORD elapsed = GetTickCount() - start;
    const int ticks = timer.ticks.load();
    const double expected = elapsed / 16.0;
    EXPECT_GE(ticks, static_cast<int>(expected * 0.6)) << elapsed << " ms";
    EXPECT_LE(ticks, static_cast<int>(expected * 1.15) + 2) << elapsed << " ms";
    std::lock_guard<std::mutex> g(timer.lock);
    ASSERT_GE(timer.times.size(), 10u);
    // Over the whole run the ticks keep a 16 ms pace on average.
    double mean = double(timer.times.back() - timer.times.front()) / (timer.times.size() - 1);
    EXPECT_GT(mean, 16.0 * 0.7);
    EXPECT_LT(mean, 16.0 * 1.6);
}

TEST(MTimer, RecordsLookupsAndKillResults)
{
    RecordingTimer timer;
    int first = timer.SetTimer(50, L"first", 0);
    int second = timer.SetTimer(60, L"second", 1);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);

    EXPECT_EQ(timer.GetTimerIsRun(UINT(first)), 1);
    EXPECT_EQ(timer.GetTimerIsRun(CString(L"second")), 1);
    EXPECT_EQ(timer.GetTimerIsRun(CString(L"third")), 0);
    EXPECT_EQ(timer.GetTimerName(UINT(second)), CString(L"second"));
    EXPECT_EQ(timer.GetTimerName(0xFFFF0u), CString(L""));
    EXPECT_EQ(timer.IsAppTimer(UINT(first)), 0);
    EXPECT_EQ(timer.IsAppTimer(UINT(second)), 1);
    EXPECT_EQ(MTimer::GetMTimer(UINT(second)), &timer);

    EXPECT_EQ(timer.KillTimer(0xFFFF0u), 2);  // unknown id: nothing stops, count returned
    EXPECT_EQ(timer.KillTimer(UINT(first)), 1);
    EXPECT_EQ(timer.GetTimerIsRun(UINT(first)), 0);
    EXPECT_EQ(timer.KillTimer(CString(L"second")), 0);
    EXPECT_EQ(MTimer::GetMTimer(UINT(second)), nullptr);
}

TEST(MTimer, RefusedTimerKeepsARecordWithIdZero)
{
    RecordingTimer timer;
    EXPECT_EQ(timer.SetTimer(70000, L"too long", 0), 0);  // beyond winmm's longest period
    EXPECT_EQ(timer.GetTimerIsRun(0u), 1);
    EXPECT_EQ(timer.KillTimer(0u), 0);
}

TEST(MTimer, GetMTimerFindsTheOwnerAmongSeveralObjects)
{
    RecordingTimer a, b;
    int idA = a.SetTimer(100, L"", 0);
    int idB = b.SetTimer(100, L"", 0);
    EXPECT_EQ(MTimer::GetMTimer(UINT(idA)), &a);
    EXPECT_EQ(MTimer::GetMTimer(UINT(idB)), &b);
    {
        RecordingTimer c;
        int idC = c.SetTimer(100, L"", 0);
        EXPECT_EQ(MTimer::GetMTimer(UINT(idC)), &c);
    }
    EXPECT_EQ(MTimer::GetMTimer(0xFFFF0u), nullptr);
}

TEST(MTimer, AppTimerCallsBothHandlersIdFirst)
{
    RecordingTimer plain;
    int plainId = plain.SetTimer(10, L"plain", 0);
    RecordingTimer app;
    int appId = app.SetTimer(10, L"tick", 1);
    ASSERT_TRUE(WaitFor(plain.ticks, 5, 2000));
    ASSERT_TRUE(WaitFor(app.ticks, 5, 2000));
    plain.KillTimer();
    app.KillTimer();

    for (const std::string& e : plain.events) EXPECT_EQ(e.rfind("app:", 0), std::string::npos) << e;

    std::string idEvent = "id:" + std::to_string(appId);
    std::string appEvent = "app:" + std::to_string(appId) + ":tick";
    ASSERT_GE(app.events.size(), 10u);
    // Strict alternation: id handler, then the named one, tick after tick.
    for (size_t i = 0; i + 1 < app.events.size(); i += 2) {
        EXPECT_EQ(app.events[i], idEvent) << i;
        EXPECT_EQ(app.events[i + 1], appEvent) << i;
    }
    (void)plainId;
}

TEST(MTimer, NoTickRunsAfterKillReturns)
{
    SlowTimer timer;
    int id = timer.SetTimer(5, L"", 0);
    ASSERT_NE(id, 0);
    // Kill while a tick is in its handler.
    ASSERT_TRUE(WaitFor(timer.inside, 1, 2000));
    timer.KillTimer(UINT(id));
    EXPECT_EQ(timer.inside.load(), 0);
    int after = timer.finished.load();
    Sleep(120);
    EXPECT_EQ(timer.finished.load(), after);
}

TEST(MTimer, HandlerMayKillItsOwnTimer)
{
    struct SelfKilling : MTimer
    {
        ~SelfKilling() override { KillTimer(); }
        void OnMTimer(UINT id) override
        {
            left = KillTimer(id);
            ++ticks;
        }
        std::atomic<int> ticks{0};
        std::atomic<int> left{-1};
    } timer;
    ASSERT_NE(timer.SetTimer(5, L"", 0), 0);
    ASSERT_TRUE(WaitFor(timer.ticks, 1, 2000));
    Sleep(50);
    EXPECT_EQ(timer.ticks.load(), 1);
    EXPECT_EQ(timer.left.load(), 0);
}

TEST(MTimer, DestroyingAnObjectDuringATickIsSafe)
{
    for (int round = 0; round < 3; ++round) {
        auto* timer = new SlowTimer();
        timer->SetTimer(5, L"", 0);
        ASSERT_TRUE(WaitFor(timer->inside, 1, 2000));
        delete timer;  // waits for the running tick; nothing runs on freed memory
    }
    Sleep(60);
}

TEST_F(ResolutionTest, RaisedOnceAndEndedByTheLastRunningTimer)
{
    auto* a = new RecordingTimer();
    auto* b = new RecordingTimer();
    ASSERT_NE(a->SetTimer(100, L"", 0), 0);
    EXPECT_EQ(g_begins.load(), 1);
    EXPECT_EQ(g_lastBegin.load(), 1u);
    EXPECT_EQ(MTimer::m_bIsTmierOK, 1);
    ASSERT_NE(b->SetTimer(100, L"", 0), 0);
    ASSERT_NE(a->SetTimer(100, L"", 0), 0);
    EXPECT_EQ(g_begins.load(), 1);

    // One object's destruction does not end what the other still needs.
    delete a;
    EXPECT_EQ(g_ends.load(), 0);
    EXPECT_EQ(MTimer::m_bIsTmierOK, 1);

    delete b;
    EXPECT_EQ(g_ends.load(), 1);
    EXPECT_EQ(g_lastEnd.load(), 1u);
    EXPECT_EQ(MTimer::m_bIsTmierOK, 0);

    // The next timer raises it again.
    RecordingTimer c;
    ASSERT_NE(c.SetTimer(100, L"", 0), 0);
    EXPECT_EQ(g_begins.load(), 2);
    c.KillTimer();
    EXPECT_EQ(g_ends.load(), 2);
}

TEST_F(ResolutionTest, RefusedTimerHoldsNoRaise)
{
    RecordingTimer timer;
    EXPECT_EQ(timer.SetTimer(70000, L"", 0), 0);
    EXPECT_EQ(g_begins.load(), g_ends.load());
    EXPECT_EQ(MTimer::m_bIsTmierOK, 0);
}

TEST_F(ResolutionTest, FailedCapsQueryLeavesResolutionAloneAndRetries)
{
    g_capsFail = true;
    RecordingTimer timer;
    UINT accuracy = MTimer::m_uAccuracy;
    ASSERT_NE(timer.SetTimer(100, L"", 0), 0);  // the timer still runs
    EXPECT_EQ(g_begins.load(), 0);
    EXPECT_EQ(MTimer::m_bIsTmierOK, 0);
    EXPECT_EQ(MTimer::m_uAccuracy, accuracy);

    g_capsFail = false;
    ASSERT_NE(timer.SetTimer(100, L"", 0), 0);
    EXPECT_EQ(g_begins.load(), 1);
    timer.KillTimer();
    EXPECT_EQ(g_ends.load(), 1);  // only the timer that raised it ends it
}

TEST_F(ResolutionTest, AccuracyIsTheDeviceMinimumKeptWithinOneAndTheMaximum)
{
    struct Case
    {
        UINT min, max, accuracy;
    } cases[] = {{1, 1000000, 1}, {0, 1000000, 1}, {5, 1000, 5}, {20, 10, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max);
        g_capsMin = c.min;
        g_capsMax = c.max;
        RecordingTimer timer;
        ASSERT_NE(timer.SetTimer(100, L"", 0), 0);
        EXPECT_EQ(MTimer::m_uAccuracy, c.accuracy);
        EXPECT_EQ(g_lastBegin.load(), c.accuracy);
        timer.KillTimer();
        EXPECT_EQ(g_lastEnd.load(), c.accuracy);  // the raise is ended with the same value
    }
}
