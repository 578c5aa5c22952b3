// The multimedia-timer thread ticks controls while the UI thread adds and
// removes them: no crash, no deadlock, and no tick reaches a control that is
// being destroyed.
#include <atomic>
#include <mutex>
#include <random>
#include <set>

#include "EngineFixture.h"

using enginetest::EngineTest;

namespace {

std::mutex g_liveMutex;
std::set<const void*> g_live;
std::atomic<int> g_ticks{0};
std::atomic<int> g_violations{0};

// A control that knows whether it is alive when a tick reaches it. Its
// destructor lingers a little so that a late tick would be caught.
class Ticker : public probe::Probe
{
public:
    Ticker(WEXA::MObject* owner, UINT id, CRect rect) : Probe(owner, id, rect)
    {
        m_bRunTimer = 1;
        std::lock_guard<std::mutex> lock(g_liveMutex);
        g_live.insert(this);
    }
    ~Ticker() override
    {
        {
            std::lock_guard<std::mutex> lock(g_liveMutex);
            g_live.erase(this);
        }
        Sleep(0);
    }
    int OnControlTimer() override
    {
        {
            std::lock_guard<std::mutex> lock(g_liveMutex);
            if (!g_live.count(this)) ++g_violations;
        }
        ++g_ticks;
        // Repaint requests from the timer thread take the engine's list locks.
        UpdateControl(0, 0);
        return 1;
    }

    Ticker* AddTicker(UINT id, CRect rect)
    {
        Ticker* child = new Ticker(this, id, rect);
        child->m_pManager = m_pManager;
        CAutoLock lock(m_childLock);
        m_controls.push_back(child);
        return child;
    }
};

}  // namespace

TEST_F(EngineTest, TicksNeverReachRemovedControls)
{
    g_ticks = 0;
    g_violations = 0;
    engine->SetMTimer(1);
    ASSERT_NE(engine->m_uMTimerID.load(), 0u);

    std::mt19937 random(7);
    std::vector<Ticker*> tops;
    UINT nextId = 100;
    const DWORD start = GetTickCount();
    int removals = 0;
    while (GetTickCount() - start < 2000) {
        // Add a top-level ticker with children; some children tick on their own too.
        auto* top = new Ticker(&host, nextId++, CRect(0, 0, 100, 100));
        top->SetManager(engine);
        for (int i = 0; i < 3; ++i) {
            Ticker* child = top->AddTicker(nextId++, CRect(i * 10, 0, i * 10 + 10, 10));
            if (random() % 2) child->AddMTimer();
        }
        {
            CAutoLock lock(engine->m_controlsLock);
            engine->m_controls.push_back(top);
        }
        top->AddMTimer();
        tops.push_back(top);

        // Remove something, in one of the ways controls go away.
        if (tops.size() > 8) {
            const size_t pick = random() % tops.size();
            Ticker* victim = tops[pick];
            switch (random() % 4) {
                case 0:
                    engine->RemoveControl(victim);
                    tops.erase(tops.begin() + pick);
                    break;
                case 1:
                    if (!victim->m_controls.empty())
                        victim->RemoveControl(victim->m_controls.front());
                    break;
                case 2: victim->RemoveAllControl(); break;
                default:
                    engine->ClearControls();
                    tops.clear();
                    break;
            }
            ++removals;
        }
        // Let the timer thread in now and then.
        if (random() % 4 == 0) Sleep(1);
    }
    engine->KillMTimer();
    engine->ClearControls();

    EXPECT_EQ(g_violations.load(), 0);
    EXPECT_GT(g_ticks.load(), 50);
    EXPECT_GT(removals, 100);
    EXPECT_TRUE(engine->m_tickReceivers.empty());
}
