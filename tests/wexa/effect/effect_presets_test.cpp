// The fourteen presets of mode 7, frame by frame on a fixed seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "EffectFixture.h"

namespace effecttest {

namespace {
COLORREF Scaled(COLORREF c, double q)
{
    auto ch = [q](int v) { return std::min(255, std::max(0, static_cast<int>(v * q))); };
    return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}
}  // namespace

class PresetTest : public EffectTest
{
protected:
    void Preset(int n)
    {
        panel->SetNimbrelMode(7);
        panel->SetPresetMode(n);
    }
};

TEST_F(PresetTest, HslOfThePresets)
{
    EXPECT_EQ(WEXA::NimbrelEffect::PresetHslToRgb(0, 100, 50), 0x0000FFu);
    EXPECT_EQ(WEXA::NimbrelEffect::PresetHslToRgb(120, 100, 50), 0x00FF00u);
    EXPECT_EQ(WEXA::NimbrelEffect::PresetHslToRgb(240, 100, 50), 0xFF0000u);
    EXPECT_EQ(WEXA::NimbrelEffect::PresetHslToRgb(0, 0, 50), RGB(127, 127, 127));
    EXPECT_EQ(WEXA::NimbrelEffect::PresetHslToRgb(60, 100, 25), RGB(127, 127, 0));
}

TEST_F(PresetTest, CountdownShowsNoDigitUntilTheFirstWrap)
{
    for (UINT32 code = 30; code <= 39; ++code) AddKey(code, code - 30, 1);
    AddKey(4, 0, 2);
    Preset(0);
    for (int frame = 1; frame <= 62; ++frame) {
        Frame();
        for (int i = 0; i < 11; ++i) ASSERT_EQ(KeyColor(i), RGB(30, 30, 30)) << frame;
    }
    Frame();  // the 63rd wraps: 9 pulses from phase 0
    EXPECT_EQ(ColorOf(38), RGB(255, 50, 0));
    EXPECT_EQ(ColorOf(37), RGB(30, 30, 30));
    Frame();
    EXPECT_EQ(ColorOf(38), RGB(255, static_cast<int>((std::sin(0.1f) * 0.5f + 0.5f) * 100), 0));
    panel->SetCountdownValue(0);
    Frame();
    EXPECT_EQ(GetRValue(ColorOf(39)), 255);
}

TEST_F(PresetTest, ClockHourComesBeforeMinute)
{
    const UINT32 keys[12] = {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 45, 46};
    for (int j = 0; j < 12; ++j) AddKey(keys[j], j, 1);
    AddKey(4, 0, 2);
    Preset(1);
    Frame();                            // the second hand at position 0 as well
    EXPECT_EQ(ColorOf(30), 0x6464FFu);  // 12:00: hour wins over minute and second
    EXPECT_EQ(ColorOf(31), RGB(50, 50, 50));
    EXPECT_EQ(ColorOf(4), RGB(20, 20, 20));
    panel->SetClockTime(3, 25);
    Frame();
    EXPECT_EQ(ColorOf(33), 0x6464FFu);
    EXPECT_EQ(ColorOf(35), 0x64FF64u);
    EXPECT_EQ(ColorOf(30), 0xFF6464u);  // second hand
}

// At phase 0.08 the beat is max(sin 1.24, 0) x 0.4 + max(sin 0.12, 0) x 0.8
// = 0.4741; each heart key scales it (red x 255, green and blue x 20).
TEST_F(PresetTest, HeartbeatLevels)
{
    const UINT32 codes[] = {15, 37, 230, 24, 4};
    for (int i = 0; i < 5; ++i) AddKey(codes[i], i, 0);
    Preset(2);
    Frame();
    EXPECT_EQ(ColorOf(15), RGB(157, 12, 12));   // x 1.3 = 0.6163
    EXPECT_EQ(ColorOf(37), RGB(84, 6, 6));      // x 0.7 = 0.3319
    EXPECT_EQ(ColorOf(230), RGB(181, 14, 14));  // x 1.5 = 0.7111
    EXPECT_EQ(ColorOf(24), RGB(120, 9, 9));     // x 1
    EXPECT_EQ(ColorOf(4), RGB(15, 15, 15));     // not part of the heart
}

TEST_F(PresetTest, HeartPierceArrowAtPhaseNine)
{
    const UINT32 arrow[13] = {57, 4, 22, 7, 9, 10, 11, 13, 14, 15, 51, 52, 40};
    for (int j = 0; j < 13; ++j) AddKey(arrow[j], j, 3);
    AddKey(37, 0, 0);  // heart
    AddKey(29, 1, 0);  // neither
    Preset(3);
    panel->m_presetPhase = 8.95f;
    Frame();
    EXPECT_EQ(ColorOf(11), 0xFFFFFFu);  // H
    EXPECT_EQ(ColorOf(10), 0x00FFFFu);  // G
    EXPECT_EQ(ColorOf(9), 0x00C8FFu);   // F
    for (UINT32 code : {57u, 4u, 22u, 7u}) EXPECT_EQ(ColorOf(code), 0x0096C8u);
    EXPECT_EQ(ColorOf(13), 0u);
    EXPECT_EQ(ColorOf(37), 0x000064u);
    EXPECT_EQ(ColorOf(29), 0u);
    panel->m_presetPhase = 13.95f;  // fading heart
    Frame();
    EXPECT_EQ(ColorOf(37), RGB(static_cast<int>((1 - (14.0f - 12) * 0.125f) * 255), 0, 0));
}

TEST_F(PresetTest, BreathingRainbowAndBlueDefault)
{
    AddKey(4, 2, 1);
    Preset(4);
    Frame();
    const float p = 0.05f;
    EXPECT_EQ(KeyColor(0),
              Scaled(WEXA::NimbrelEffect::PresetHslToRgb(std::fmod(p * 57.3f, 360.0f), 100, 50),
                     (std::sin(p) + 1) * 0.5f));
    Preset(6);
    Frame();
    EXPECT_EQ(KeyColor(0), WEXA::NimbrelEffect::PresetHslToRgb(
                               (std::sin(2 * 0.3f + 0.1f + 1 * 0.5f) + 1) * 180, 100, 50));
    for (int preset : {14, -1}) {
        Preset(preset);
        Frame();
        const float c = std::sin(0.1f) * 0.5f + 0.5f;
        EXPECT_EQ(KeyColor(0), RGB(static_cast<int>(c * 100), static_cast<int>(c * 150),
                                   static_cast<int>(c * 255)));
    }
}

TEST_F(PresetTest, LightningHasThreeFlashesPerCycle)
{
    AddKey(4, 0, 0);
    Preset(5);
    int white = 0, blue = 0, dark = 0;
    for (int frame = 0; frame < 81; ++frame) {
        Frame();
        const COLORREF c = KeyColor(0);
        if (c == 0xFFFFFF)
            ++white;
        else if (c == 0xFFDCC8)
            ++blue;
        else if (c == 0)
            ++dark;
    }
    EXPECT_EQ(white, 3);
    EXPECT_EQ(blue, 3);
    EXPECT_EQ(dark, 75);
}

// Four columns by eight rows at phase 0.1. A key's heat is
// sin(2t + 0.1) x 0.15 + r + t for its row t = row / 7 and its own draw
// r = 0.3 x the seeded draw (draws 0.4977, 0.8178, 0.6121, 0.7714, ... of
// std::mt19937(1234)); damped by t + 0.2 below t = 0.3, at least r + 0.6 above
// t = 0.7; the colour is the fifth it falls in.
TEST_F(PresetTest, FireFollowsTheSeededDraws)
{
    AddGrid(4, 8);
    Preset(7);
    Frame();
    const COLORREF red = 0x0000FF, orange = 0x0033FF, amber = 0x0066FF, gold = 0x0099FF,
                   yellow = 0x00CCFF, white = 0x00FFFF;
    const COLORREF expected[8][4] = {
        {red, red, red, red},           // damped: at most 0.06
        {red, red, red, red},           // damped: 0.08 to 0.16
        {orange, orange, red, orange},  // 0.207, 0.201, 0.186, 0.255
        {gold, gold, amber, amber},     // 0.651, 0.792, 0.581, 0.568
        {yellow, gold, yellow, gold},   // 0.846, 0.720, 0.801, 0.787
        {white, white, white, yellow},  // 1, 1, 1, 0.899
        {white, white, white, white},   // the top: always full
        {white, white, white, white},
    };
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(KeyColor(row * 4 + column), expected[row][column]) << column << "," << row;
}

// A grid of one row: fire and the spectrum divide by nothing.
TEST_F(PresetTest, OneRowGridDividesByNothing)
{
    unsigned char map[256] = {};
    AddGrid(6, 1);
    panel->SetKeyMap(map, 1, 19);
    static const COLORREF fire[6] = {0x0000FF, 0x0033FF, 0x0066FF, 0x0099FF, 0x00CCFF, 0x00FFFF};
    static const COLORREF blue[6] = {0x660000, 0xCC3300, 0xFF6600, 0xFF9933, 0xFFCC66, 0xFFDD99};
    for (int preset : {7, 8}) {
        Preset(preset);
        Frames(5);
        for (size_t i = 0; i < 6; ++i) {
            const COLORREF* palette = preset == 7 ? fire : blue;
            EXPECT_NE(std::find(palette, palette + 6, KeyColor(i)), palette + 6) << preset;
        }
    }
    Preset(13);
    Frame();
    // Row 0 is the bottom row: lit whenever v > 0, in the first colour.
    for (size_t i = 0; i < 6; ++i) {
        const COLORREF c = KeyColor(i);
        EXPECT_TRUE(c == 0x111111 || (GetRValue(c) == 0 && GetGValue(c) == 0 && GetBValue(c) > 0))
            << c;
    }
}

TEST_F(PresetTest, SosPattern)
{
    AddKey(4, 0, 0);
    Preset(9);
    struct Row
    {
        float before;
        COLORREF expected;
    } rows[] = {{0.0f, 0x0000FF},   {3.05f, 0},  {6.05f, 0x0000FF}, {9.05f, 0}, {23.95f, 0x0000FF},
                {32.85f, 0x0000FF}, {33.05f, 0}, {44.95f, 0},       {49.85f, 0}};
    for (const Row& r : rows) {
        panel->m_presetPhase = r.before;
        Frame();
        EXPECT_EQ(KeyColor(0), r.expected) << r.before;
    }
}

TEST_F(PresetTest, RippleAndItsDropOnItem72)
{
    AddKey(4, 8, 4);  // at the centre
    Preset(10);
    Frame();  // fewer than 73 keys: no drop, no write past the list
    const float e = std::fabs(0 - 0.8f * 0.1f);
    EXPECT_EQ(KeyColor(0), Scaled(WEXA::NimbrelEffect::PresetHslToRgb(
                                      std::fmod(8 * 25 + 0.1f * 50, 360.0f), 100, 50),
                                  1 - e / 1.5f));
    for (int i = 1; i <= 80; ++i) AddKey(2000 + i, 0, 7);
    panel->SetPresetMode(10);
    Frame();
    EXPECT_EQ(KeyColor(72), RGB(242, 242, 255));
    panel->m_presetPhase = 2.0f;
    Frame();
    EXPECT_EQ(KeyColor(72), 0u);
}

TEST_F(PresetTest, StarryBackgroundAndTrimming)
{
    AddGrid(3, 1);  // a quarter of 3 keys is no star
    Preset(11);
    Frame();
    std::mt19937 engine(1234);
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    static const COLORREF background[4] = {0x0F0505, 0x14050A, 0x190808, 0x050A0F};
    for (int i = 0; i < 3; ++i) {
        const double d = draw(engine);
        EXPECT_EQ(KeyColor(i), d < 0.15 ? background[static_cast<int>(d * 4)] : 0u) << i;
    }
    EXPECT_TRUE(panel->m_stars.empty());

    // At the wrap a list of more than 15 stars loses its 5 oldest.
    for (int i = 0; i < 20; ++i) panel->m_stars.push_back({i % 3, 0xFFFFFF, 0.0f, 100.0f, 1.0f});
    panel->m_presetPhase = 29.95f;
    Frame();
    EXPECT_EQ(panel->m_stars.size(), 15u);
    // Stars of keys that were cleared write nothing: with only keys 1 and 2
    // starred, the one key left shows the background alone and the stars stay.
    panel->m_stars.clear();
    for (int i = 0; i < 10; ++i)
        panel->m_stars.push_back({1 + i % 2, 0xFFFFFF, 0.0f, 100.0f, 1.0f});
    panel->ClearItem();
    AddKey(4, 0, 0);
    for (int f = 0; f < 3; ++f) {
        Frame();
        const COLORREF c = KeyColor(0);
        EXPECT_TRUE(c == 0 || std::find(background, background + 4, c) != background + 4) << c;
    }
    EXPECT_EQ(panel->m_stars.size(), 10u);
}

TEST_F(PresetTest, StarsAreBornOnFreeKeys)
{
    AddGrid(19, 6);
    Preset(11);
    Frames(200);
    std::vector<int> keys;
    for (const auto& s : panel->m_stars) {
        EXPECT_GE(s.key, 0);
        EXPECT_LT(s.key, 114);
        EXPECT_EQ(std::count(keys.begin(), keys.end(), s.key), 0);
        keys.push_back(s.key);
    }
    EXPECT_LE(panel->m_stars.size(), 28u);
    EXPECT_FALSE(panel->m_stars.empty());
}

TEST_F(PresetTest, TextFlowShowsEachLetterFiveFrames)
{
    AddKey(4, 0, 0);   // A
    AddKey(44, 1, 0);  // space
    AddKey(5, 2, 0);   // B
    Preset(12);
    panel->SetFlowText(L"a B");
    for (int f = 0; f < 4; ++f) {
        Frame();
        EXPECT_EQ(ColorOf(4), 0xFFC864u);
        EXPECT_EQ(ColorOf(44), RGB(20, 20, 20));
    }
    Frame();
    EXPECT_EQ(ColorOf(44), 0xFFC864u);
    EXPECT_EQ(ColorOf(4), 0x966432u);
    Frames(5);
    EXPECT_EQ(ColorOf(5), 0xFFC864u);
    EXPECT_EQ(ColorOf(44), 0x966432u);
    EXPECT_EQ(ColorOf(4), RGB(20, 20, 20));
    Frames(5);
    EXPECT_EQ(ColorOf(4), 0xFFC864u);
    panel->SetFlowText(L"");
    Frames(7);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(KeyColor(i), RGB(20, 20, 20));
}

// Five columns by eight rows at phase 0.1: a column's level is the mean of its
// waves (0.5786 at column 0 with its key's jitter, 0.9469 at column 3, ...); a
// key u rows above the bottom is lit when 8 x level > u, in the colour of its
// height scaled by 0.7 + 0.3 x level; an unlit key is 0x111111.
TEST_F(PresetTest, SpectrumColumnsFromTheSeededJitter)
{
    AddGrid(5, 8);
    Preset(13);
    Frame();
    struct Key
    {
        int column, row;
        COLORREF expected;
    };
    const Key keys[] = {
        {0, 0, 0x111111},  // top row, level 0.5786: 4.63 < 7
        {3, 0, 0xFAFAFA},  // top row, level 0.9469: white x 0.9841
        {2, 1, 0x0000F5},  // level 0.8819: red x 0.9646
        {0, 2, 0x111111},  // level 0.5302: 4.24 < 5
        {1, 2, 0x005DEA},  // level 0.7302: 0x0066FF x 0.9191
        {0, 3, 0x00DBDB},  // level 0.5345: 4.28 > 4, 0x00FFFF x 0.8603
        {4, 6, 0xF96300},  // level 0.9297: 0xFF6600 x 0.9789
        {0, 7, 0x3B0000},  // the bottom row, level 0.5665: 0x440000 x 0.87
    };
    for (const Key& k : keys)
        EXPECT_EQ(KeyColor(k.row * 5 + k.column), k.expected) << k.column << "," << k.row;
}

}  // namespace effecttest
