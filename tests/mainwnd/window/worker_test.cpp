// The worker thread: one step per interval, on an injected clock, and joined
// when stopped.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "mainwnd/TaskQueue.h"
#include "mainwnd/ThreadBasic.h"

namespace {

// A clock that only moves when the thread sleeps or a step "takes" time.
struct FakeTime
{
    std::atomic<uint64_t> now{1000};
    std::vector<DWORD> sleeps;
    static uint64_t Clock(void* self) { return static_cast<FakeTime*>(self)->now.load(); }
    static void Sleep(void* self, DWORD ms)
    {
        auto* time = static_cast<FakeTime*>(self);
        time->sleeps.push_back(ms);
        time->now += ms;
    }
};

class CountingThread : public CThreadBasic
{
public:
    explicit CountingThread(FakeTime& time, int stepCost, int stopAfter)
        : time_(time),
          cost_(stepCost),
          stopAfter_(stopAfter)
    {}
    void Run() override
    {
        time_.now += uint64_t(cost_);
        if (++steps >= stopAfter_) m_running = 0;
    }
    int steps = 0;

private:
    FakeTime& time_;
    int cost_, stopAfter_;
};

TEST(WorkerThread, SleepsTheRestOfEachInterval)
{
    struct Row
    {
        int cost;
        DWORD expectedSleep;  // 0: none
    };
    for (Row r : {Row{0, 16}, Row{5, 11}, Row{15, 1}, Row{16, 0}, Row{40, 0}}) {
        FakeTime time;
        CountingThread thread(time, r.cost, 10);
        thread.SetClock(&FakeTime::Clock, &FakeTime::Sleep, &time);
        ASSERT_TRUE(thread.Start(16, 1));
        ASSERT_TRUE(thread.Join(5000));
        EXPECT_EQ(thread.steps, 10);
        // The last step cleared the running flag: no sleep after it.
        if (r.expectedSleep) {
            ASSERT_EQ(time.sleeps.size(), 9u) << "cost " << r.cost;
            for (DWORD s : time.sleeps) EXPECT_EQ(s, r.expectedSleep);
        } else {
            EXPECT_TRUE(time.sleeps.empty()) << "cost " << r.cost;
        }
    }
}

TEST(WorkerThread, StopJoinsAndRepeatZeroRunsOnce)
{
    FakeTime time;
    CountingThread once(time, 0, 1000);
    once.SetClock(&FakeTime::Clock, &FakeTime::Sleep, &time);
    ASSERT_TRUE(once.Start(16, 0));
    ASSERT_TRUE(once.Join(5000));
    EXPECT_EQ(once.steps, 1);
    EXPECT_FALSE(once.IsRunning());
    EXPECT_TRUE(once.Stop());  // stopping again is harmless

    CountingThread forever(time, 0, 1 << 30);
    forever.SetClock(&FakeTime::Clock, &FakeTime::Sleep, &time);
    ASSERT_TRUE(forever.Start(16, 1));
    ASSERT_FALSE(forever.Start(16, 1));  // already running
    EXPECT_TRUE(forever.Stop(5000));
    EXPECT_EQ(forever.GetThreadId(), 0u);
}

// A worker whose queue is empty: it waits for the queue, not for the interval.
class QueueThread : public CThreadBasic
{
public:
    void Run() override
    {
        int code = 0;
        if (queue.TakeFront(code)) taken.push_back(code);
        ++steps;
    }
    DWORD IdleWaitMs() override { return queue.IsEmpty() ? 1000 : 0; }
    TaskQueue queue;
    std::atomic<int> steps{0};
    std::vector<int> taken;
};

TEST(WorkerThread, WithNothingToDoItWaitsForTheNextTask)
{
    QueueThread thread;
    thread.queue.SetWake([](void* self) { static_cast<QueueThread*>(self)->Wake(); }, &thread);
    ASSERT_TRUE(thread.Start(16, 1));
    Sleep(400);
    // Stepping every 16 ms would have made about 25 steps by now.
    EXPECT_LE(thread.steps.load(), 2);
    // A task wakes it at once, and it goes on waiting afterwards.
    const int before = thread.steps.load();
    const DWORD asked = GetTickCount();
    thread.queue.Append(7);
    while (thread.steps.load() == before && GetTickCount() - asked < 900) Sleep(1);
    EXPECT_LT(GetTickCount() - asked, 500u);
    Sleep(300);
    EXPECT_LE(thread.steps.load(), before + 2);
    // Stopping does not wait out the idle wait.
    const DWORD stopping = GetTickCount();
    EXPECT_TRUE(thread.Stop(5000));
    EXPECT_LT(GetTickCount() - stopping, 500u);
    EXPECT_EQ(thread.taken, std::vector<int>{7});
}

TEST(TaskQueueTest, FifoEmptyChecksAndClearFromManyThreads)
{
    TaskQueue queue;
    EXPECT_TRUE(queue.AppendIfEmpty(8));
    EXPECT_FALSE(queue.AppendIfEmpty(10));
    queue.Append(6);
    EXPECT_EQ(queue.Snapshot(), (std::vector<int>{8, 6}));
    EXPECT_EQ(queue.Clear(), (std::vector<int>{8, 6}));
    EXPECT_TRUE(queue.IsEmpty());

    // Four appenders and a taker: every code arrives exactly once.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&queue, t] {
            for (int i = 0; i < 5000; ++i) queue.Append(t * 10000 + i);
        });
    std::vector<int> seen;
    while (seen.size() < 20000) {
        int code;
        if (queue.TakeFront(code)) seen.push_back(code);
    }
    for (std::thread& thread : threads) thread.join();
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    EXPECT_TRUE(queue.IsEmpty());
}

}  // namespace
