#pragma once
// An effect panel of 1000 x 400 on fake clocks and seeds, owned by a
// recording owner, with helpers to lay keys out on its grid.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <memory>

#include "ControlProbe.h"
#include "NimbrelEffect.h"

namespace effecttest {

struct FakeSources
{
    static DWORD tick;
    static double millis;
    static unsigned seed;            // the next seed handed out
    static std::deque<int> randoms;  // handed out in order; 0 once empty

    static DWORD Tick() { return tick; }
    static double Millis() { return millis; }
    static unsigned Seed() { return seed++; }  // a new seed per frame, from 1234
    static int Random()
    {
        if (randoms.empty()) return 0;
        const int v = randoms.front();
        randoms.pop_front();
        return v;
    }
};

class EffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeSources::tick = 100000;
        FakeSources::millis = 5000.0;
        FakeSources::seed = 1234;
        FakeSources::randoms.clear();
        static const WEXA::NimbrelEffectSources sources = {FakeSources::Tick, FakeSources::Millis,
                                                           FakeSources::Seed, FakeSources::Random};
        WEXA::NimbrelEffect::SetSources(&sources);
        WEXA::NimbrelEffect::ResetSharedState();
        panel.reset(new WEXA::NimbrelEffect(&owner, 59, CRect(0, 0, 1000, 400), 1));
    }
    void TearDown() override
    {
        panel.reset();
        WEXA::NimbrelEffect::SetSources(nullptr);
        WEXA::NimbrelEffect::ResetSharedState();
    }

    // A 40 x 40 key at its grid place (45 pixels per cell).
    int AddKey(UINT32 code, int column, int row, const wchar_t* name = L"")
    {
        return panel->AddKeyItem(
            name, code, CRect(column * 45, row * 45, column * 45 + 40, row * 45 + 40), column, row);
    }
    // Keys at every cell of a columns x rows grid, codes 1000 + index.
    void AddGrid(int columns, int rows)
    {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) AddKey(1000 + r * columns + c, c, r);
    }
    COLORREF KeyColor(int index) { return panel->m_keyItems[index]->color; }
    COLORREF ColorOf(UINT32 code)
    {
        for (WEXA::KEYITEM_INFO* item : panel->m_keyItems)
            if (item->keyCode == code) return item->color;
        return 0xFFFFFFFF;
    }
    // One preset frame.
    void Frame() { panel->UpdateCustomEffect(); }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) Frame();
    }

    probe::RecordingOwner owner;
    std::unique_ptr<WEXA::NimbrelEffect> panel;
};

}  // namespace effecttest
