#pragma once
// A MatrixScreen with 49 cells, brightness 1, on a fake clock, local time and
// random source, owned by a recording owner.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <memory>

#include "ControlProbe.h"
#include "MatrixScreen.h"

namespace matrixtest {

struct FakeSources
{
    static DWORD now;
    static SYSTEMTIME local;
    static std::deque<int> randoms;  // handed out in order; 0 once empty

    static DWORD Tick() { return now; }
    static void Local(SYSTEMTIME* t) { *t = local; }
    static int Random()
    {
        if (randoms.empty()) return 0;
        const int v = randoms.front();
        randoms.pop_front();
        return v;
    }
};

class MatrixTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeSources::now = 100000;
        FakeSources::local = SYSTEMTIME{};
        FakeSources::randoms.clear();
        static const WEXA::MatrixScreenSources sources = {FakeSources::Tick, FakeSources::Local,
                                                          FakeSources::Random};
        WEXA::MatrixScreen::SetSources(&sources);
        screen.reset(new WEXA::MatrixScreen(&owner, 277, CRect(0, 0, 360, 360), 1));
        screen->Initialize();
        screen->SetBrightness(1.0f);
    }
    void TearDown() override
    {
        screen.reset();
        WEXA::MatrixScreen::SetSources(nullptr);
    }

    COLORREF Cell(int x, int y) { return screen->m_items[y * 7 + x]->color; }
    int LitCount()
    {
        int n = 0;
        for (WEXA::MATRIXITEM_INFO* item : screen->m_items) n += item->color != 0;
        return n;
    }
    // One animation step, `ms` after the last one.
    void Step(DWORD ms = 96)
    {
        FakeSources::now += ms;
        screen->UpdatePresetAnimation();
    }

    probe::RecordingOwner owner;
    std::unique_ptr<WEXA::MatrixScreen> screen;
};

}  // namespace matrixtest
