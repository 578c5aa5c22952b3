// Where the worker samples the visualiser's canvas, how the light bars are
// scaled, and the matrix preview's brightness against the keyboard's limit.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pages/EffectSampling.h"

namespace {

struct SampleCase
{
    int rows, columns;
    std::vector<int> rowY;  // expected first entries (the rest 0)
    int columnStep;         // expected column c = c x step
    int columnsSet;         // how many column entries are set
};

std::vector<int> Steps(int count, int first, int step)
{
    std::vector<int> v;
    for (int i = 0; i < count; ++i) v.push_back(first + i * step);
    return v;
}

TEST(SpectrumSamples, RowsAndColumnsOfTheCanvas)
{
    const SampleCase cases[] = {
        {6, 19, {7, 17, 27, 37, 47, 57}, 13, 19},
        // A layout file with more rows or columns than the colour map holds
        // is sampled over the map's 8 rows and 32 columns, never past them.
        {12, 19, Steps(8, 5, 7), 13, 19},
        {6, 40, {7, 17, 27, 37, 47, 57}, 7, 32},
        {8, 32, Steps(8, 5, 7), 7, 32},
        {1, 1, {33}, 255, 1},
    };
    for (const SampleCase& c : cases) {
        // Guards around the tables catch a write past their ends.
        struct
        {
            int before = -7;
            int rowY[kEffectGridRows];
            int columnX[kEffectGridColumns];
            int after = -7;
        } t;
        for (int& v : t.rowY) v = -1;
        for (int& v : t.columnX) v = -1;
        ComputeSpectrumSamples(c.rows, c.columns, t.rowY, t.columnX);
        SCOPED_TRACE(testing::Message() << "R=" << c.rows << " K=" << c.columns);
        EXPECT_EQ(-7, t.before);
        EXPECT_EQ(-7, t.after);
        for (int r = 0; r < kEffectGridRows; ++r)
            EXPECT_EQ(r < int(c.rowY.size()) ? c.rowY[size_t(r)] : 0, t.rowY[r]) << "row " << r;
        for (int col = 0; col < kEffectGridColumns; ++col)
            EXPECT_EQ(col < c.columnsSet ? col * c.columnStep : 0, t.columnX[col])
                << "column " << col;
        // Every sample lies on the 256 x 64 canvas.
        for (int r = 0; r < kEffectGridRows; ++r) EXPECT_LT(t.rowY[r], 64);
        for (int col = 0; col < kEffectGridColumns; ++col) EXPECT_LT(t.columnX[col], 256);
    }
}

TEST(SpectrumSamples, EmptyGridLeavesTheTables)
{
    for (const auto& counts :
         {std::make_pair(0, 19), std::make_pair(6, 0), std::make_pair(-3, 5)}) {
        int rowY[kEffectGridRows] = {9, 9, 9, 9, 9, 9, 9, 9};
        int columnX[kEffectGridColumns];
        for (int& v : columnX) v = 9;
        ComputeSpectrumSamples(counts.first, counts.second, rowY, columnX);
        for (int v : rowY) EXPECT_EQ(9, v);
        for (int v : columnX) EXPECT_EQ(9, v);
    }
}

TEST(LightBars, SliderScalesEachByte)
{
    const struct
    {
        int slider;
        COLORREF in, out;
    } cases[] = {
        {0, RGB(255, 255, 255), RGB(0, 0, 0)},  // slider at 0: black bars
        {0, RGB(12, 200, 90), RGB(0, 0, 0)},
        {100, RGB(255, 255, 255), RGB(254, 254, 254)},  // 255/256 of the colour
        {100, RGB(0, 128, 1), RGB(0, 127, 0)},
        {50, RGB(255, 0, 100), RGB(126, 0, 49)},  // scale trunc(127.5) = 127
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.out, ScaleColour(c.in, LightBarScale(c.slider)))
            << "slider " << c.slider << " colour " << std::hex << c.in;
    }
    EXPECT_EQ(0, LightBarScale(0));
    EXPECT_EQ(255, LightBarScale(100));
}

TEST(MatrixBrightness, FractionOfTheLimit)
{
    EXPECT_FLOAT_EQ(0.8f, MatrixBrightness(80, 100));
    EXPECT_FLOAT_EQ(1.0f, MatrixBrightness(64, 64));
    // A keyboard that reports no limit does not make the preview's brightness
    // infinite or undefined.
    for (int limit : {0, -5}) {
        const float b = MatrixBrightness(80, limit);
        EXPECT_TRUE(std::isfinite(b));
        EXPECT_FLOAT_EQ(0.8f, b);
    }
}

}  // namespace
