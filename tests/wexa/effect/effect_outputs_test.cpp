// The side, top and matrix light outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EffectFixture.h"

namespace effecttest {

namespace {
const DWORD kUntouched = 0xDEADBEEF;
int Lit(const std::vector<DWORD>& v, int n)
{
    int lit = 0;
    for (int i = 0; i < n; ++i) lit += v[i] != 0;
    return lit;
}
}  // namespace

class OutputTest : public EffectTest
{
protected:
    void Rms(float rms, bool beat = false, float strength = 0)
    {
        panel->SetExternalAudioData(0.5f, 0.5f, 0.5f, 50, rms);
        panel->SetBeatData(beat, strength, 120, 0, 0, 0);
    }
    std::vector<DWORD> Side(int count, bool colorful = true, DWORD colour = 0x0000FF)
    {
        std::vector<DWORD> v(32, kUntouched);
        panel->GetSideLightsColors(v.data(), count, colorful, colour);
        return v;
    }
    std::vector<DWORD> Top(int count, bool colorful = true, DWORD colour = 0x0000FF)
    {
        std::vector<DWORD> v(32, kUntouched);
        panel->GetTopLightsColors(v.data(), count, colorful, colour);
        return v;
    }
    std::vector<DWORD> Matrix(int rows, int columns, bool colorful = true, DWORD colour = 0x0000FF)
    {
        std::vector<DWORD> v(32 * 32 + 8, kUntouched);
        panel->GetMatrixLightsColors(v.data(), rows, columns, colorful, colour);
        return v;
    }
};

TEST_F(OutputTest, DarkAtRmsTwo)
{
    Rms(2);
    std::vector<DWORD> side = Side(10), top = Top(27), matrix = Matrix(7, 19);
    EXPECT_EQ(Lit(side, 10), 0);
    EXPECT_EQ(side[10], kUntouched);
    EXPECT_EQ(Lit(top, 27), 0);
    EXPECT_EQ(Lit(matrix, 133), 0);
    EXPECT_EQ(matrix[133], kUntouched);
    // Null arrays and counts of 0 write nothing.
    panel->GetSideLightsColors(nullptr, 10, true, 0);
    std::vector<DWORD> none = Side(0);
    EXPECT_EQ(none[0], kUntouched);
}

TEST_F(OutputTest, SideLightsFollowTheLevel)
{
    Rms(300);
    std::vector<DWORD> side = Side(10);
    EXPECT_EQ(Lit(side, 10), 9);
    EXPECT_EQ(side[9], 0u);
    // Colour of LED 0: hue 360 - rot(3), saturation 1, value 1.
    const float rot =
        static_cast<float>(std::fmod(static_cast<float>(FakeSources::tick) * 3 * 0.0625f, 360.0f));
    EXPECT_EQ(side[0], WEXA::NimbrelEffect::HSVtoRGB(std::fmod(0 + 360 - rot, 360.0f), 1, 1));
    Rms(300, true, 1.0f);  // a beat: fill level 0.95, flash x 1.6
    side = Side(10);
    EXPECT_EQ(Lit(side, 10), 10);
    // Fifteen wanted: ten filled.
    Rms(300);
    side = Side(15);
    EXPECT_EQ(side[10], kUntouched);
    // Single colour: the colour scaled by e x 0.5 + 0.5 = 1.
    side = Side(10, false, 0x0000FF);
    EXPECT_EQ(side[0], 0x0000FFu);
    // Quiet: at least one LED.
    Rms(3);
    side = Side(10);
    EXPECT_EQ(Lit(side, 10), 2);  // g = 0.05 x 0.75 + 0.15 = 0.1875: 2 of 10
}

TEST_F(OutputTest, TopLightsGrowFromTheMiddle)
{
    Rms(300);
    std::vector<DWORD> top = Top(24);
    EXPECT_EQ(top[0], 0u);  // d = 12 never lights
    EXPECT_NE(top[23], 0u);
    EXPECT_NE(top[12], 0u);
    EXPECT_EQ(top[24], kUntouched);
    top = Top(30);
    EXPECT_EQ(top[0], 0u);
    EXPECT_EQ(top[26], 0u);
    EXPECT_NE(top[25], 0u);
    EXPECT_EQ(top[27], kUntouched);
}

TEST_F(OutputTest, MatrixSizesAndCentre)
{
    Rms(300);
    std::vector<DWORD> m = Matrix(8, 20, false, 0x0000FF);
    EXPECT_EQ(m[133], kUntouched);
    EXPECT_NE(m[3 * 19 + 9], 0u);  // centre
    for (int i = 0; i < 133; ++i) {
        EXPECT_EQ(GetGValue(m[i]), 0);
        EXPECT_EQ(GetBValue(m[i]), 0);
    }
    m = Matrix(40, 40);
    EXPECT_EQ(m[31 * 31], kUntouched);
    EXPECT_NE(m[15 * 31 + 15], 0u);
    m = Matrix(1, 1);
    EXPECT_NE(m[0], 0u);
    EXPECT_EQ(m[1], kUntouched);
}

}  // namespace effecttest
