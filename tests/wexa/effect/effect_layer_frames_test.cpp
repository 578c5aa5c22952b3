// One frame of each stateless layer type on a fixed clock: the colour at
// chosen pixels of a 320 x 200 layer, worked out from the drawing rules
// (bar heights, ring radii, gradient ends, hues at the given tick).
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "EffectFixture.h"
#include "WindowTestHelpers.h"

namespace effecttest {

using WEXA::NimbrelAudio;

namespace {

const COLORREF kColour = RGB(200, 100, 50);
const COLORREF kRed = RGB(255, 0, 0);

struct Probe
{
    int x, y;
    COLORREF expected;
    int tolerance;  // per channel; 0 inside opaque solid fills
};

struct LayerFrame
{
    const char* what;
    int type;
    DWORD tick;
    float volume;
    float band;      // every band of both spectra; below 0: no spectrum
    float strength;  // beat strength and boost; 0: no beat
    bool colorful;
    COLORREF colour;
    std::vector<Probe> probes;
    void (*tweak)(NimbrelAudio&);
};

NimbrelAudio MakeAudio(const LayerFrame& row)
{
    NimbrelAudio a;
    a.volume = row.volume;
    if (row.band >= 0) {
        a.hasSpectrum = true;
        for (float& v : a.spectrum64) v = row.band;
        for (float& v : a.spectrum32) v = row.band;
    }
    if (row.strength > 0) {
        a.beat = true;
        a.strength = row.strength;
        a.boost = row.strength;
    }
    if (row.tweak) row.tweak(a);
    return a;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

void FullBass(NimbrelAudio& a)
{
    for (int i = 0; i < 64; ++i) a.spectrum64[i] = i < 32 ? 1.0f : 0.0f;
}

// Flame columns 0..15 from bands of 0.02, columns 16..31 too quiet to draw.
void QuietTreble(NimbrelAudio& a)
{
    for (int i = 32; i < 64; ++i) a.spectrum64[i] = 0.00001f;
}

// Probes by type. Bars: heights v x (H or H/2) from the idle pattern
// 3 L exp(-1.5 p)(0.5 + 0.5 sin 0.2 i) or the spectrum rule; rings and
// discs: radii and alphas from the level, the tick and the bass; hues:
// rainbow phase R(k) = t k / 16 at the given tick.
const std::vector<LayerFrame>& LayerFrames()
{
    static const std::vector<LayerFrame> frames = {
        // Type 2: band 0 at the centre (v 0.75, 75 px up and down), band 20
        // at 11.4 px, the left bars 2.5 px further out.
        {"mirror rhythm idle",
         2,
         1000,
         0.5f,
         -1,
         0,
         false,
         kColour,
         {{160, 30, kColour, 0},
          {161, 170, kColour, 0},
          {158, 30, kColour, 0},
          {160, 20, 0, 0},
          {210, 95, kColour, 0},
          {210, 85, 0, 0},
          {108, 105, kColour, 0}},
         nullptr},
        {"mirror rhythm hues",
         2,
         1000,
         0.5f,
         -1,
         0,
         true,
         0,
         {{160, 30, RGB(19, 255, 226), 0}, {185, 50, RGB(19, 60, 255), 0}},
         nullptr},
        // Bands of 0.04 at full level: v 0.652, bars 0..7 lifted by 1.45 on
        // the beat (0.946); every colour boosted by 1 + 0.4.
        {"mirror rhythm beat",
         2,
         1000,
         1.0f,
         0.04f,
         1.0f,
         false,
         kColour,
         {{160, 8, RGB(255, 140, 70), 0},
          {160, 3, 0, 0},
          {180, 40, RGB(255, 140, 70), 0},
          {180, 30, 0, 0}},
         nullptr},
        // Type 7: 64 bars of 4 px every 5 px, mirrored about y = 100.
        {"centre mirror idle",
         7,
         1000,
         0.5f,
         -1,
         0,
         false,
         kColour,
         {{2, 30, kColour, 0},
          {2, 170, kColour, 0},
          {2, 20, 0, 0},
          {4, 50, 0, 0},
          {102, 92, kColour, 0},
          {102, 108, kColour, 0},
          {102, 85, 0, 0}},
         nullptr},
        {"centre mirror hues",
         7,
         1000,
         0.5f,
         -1,
         0,
         true,
         0,
         {{2, 30, RGB(19, 255, 226), 0}, {52, 5, RGB(19, 60, 255), 0}},
         nullptr},
        // Type 8 at f 0.2: disc of radius 30, centre 1.3 x colour; no halo.
        {"gradient disc",
         8,
         1000,
         0.2f,
         -1,
         0,
         false,
         kColour,
         {{160, 100, RGB(255, 130, 65), 4}, {194, 100, 0, 0}},
         nullptr},
        // At f 1 the halo (alpha 175, the layer colour) covers the centre.
        {"gradient disc with halo",
         8,
         1000,
         1.0f,
         -1,
         0,
         false,
         kColour,
         {{160, 100, RGB(217, 109, 54), 4}},
         nullptr},
        // Type 9 at f 0.2: size 33.6; the 3 px outline in 1.4 x colour at
        // the widest point (193.6, 91.6) and at the tip (160, 135.7).
        {"heart",
         9,
         1000,
         0.2f,
         -1,
         0,
         false,
         kColour,
         {{193, 91, RGB(255, 140, 70), 0},
          {194, 91, RGB(255, 140, 70), 0},
          {197, 91, 0, 0},
          {160, 134, RGB(255, 140, 70), 2},
          {160, 139, 0, 0}},
         nullptr},
        {"heart hue", 9, 1000, 0.2f, -1, 0, true, 0, {{193, 91, RGB(255, 85, 51), 0}}, nullptr},
        // Type 10 without spectrum at f 0.5, tick 771: the sine peaks at the
        // middle, y = 120; glow 30 px wide at alpha 36 in 1.3 x colour.
        {"linear wave idle",
         10,
         771,
         0.5f,
         -1,
         0,
         false,
         kColour,
         {{160, 120, kColour, 0}, {160, 110, RGB(36, 18, 9), 1}, {160, 100, 0, 0}},
         nullptr},
        // Every band 1: v clamps to 1, the line runs flat at 200 - 160.
        {"linear wave full",
         10,
         771,
         1.0f,
         1.0f,
         0,
         false,
         kColour,
         {{160, 40, kColour, 0}, {160, 52, RGB(120, 61, 31), 1}, {160, 58, 0, 0}},
         nullptr},
        // Type 11 without spectrum at f 0.5: rays of v 0.25 (0.7 x colour),
        // 29.25 px, turned by 90 degrees at tick 1125; core of radius 10.
        {"rotating rays",
         11,
         1125,
         0.5f,
         -1,
         0,
         false,
         kColour,
         {{160, 100, kColour, 0},
          {160, 120, RGB(140, 70, 35), 0},
          {180, 100, RGB(140, 70, 35), 0},
          {160, 80, RGB(140, 70, 35), 0},
          {150, 123, 0, 0},
          {160, 137, 0, 0}},
         nullptr},
        {"rotating ray hues",
         11,
         1125,
         0.5f,
         -1,
         0,
         true,
         0,
         {{160, 120, RGB(154, 16, 217), 0}, {180, 100, RGB(16, 179, 217), 0}},
         nullptr},
        // Type 12 at f 0.5, tick 100, beat 1 (no boost left): intensity
        // 1.45, so pure red stays 255; outer disc of radius 109.2.
        {"breathing",
         12,
         100,
         0.5f,
         -1,
         1.0f,
         false,
         kRed,
         {{160, 100, kRed, 8}, {265, 100, RGB(130, 0, 0), 6}, {273, 100, 0, 0}},
         [](NimbrelAudio& a) { a.boost = 0; }},
        // Type 13 with bands of 0.05: levels 0.324, 0.379, 0.527; apexes at
        // y 117.3, 109.4, 88.2; fills (0.3 x + 0.7) x colour.
        {"triangles",
         13,
         1000,
         1.0f,
         0.05f,
         0,
         false,
         kColour,
         {{53, 130, RGB(159, 79, 39), 0},
          {53, 113, 0, 0},
          {53, 195, RGB(159, 79, 39), 0},
          {160, 122, RGB(162, 81, 40), 0},
          {160, 105, 0, 0},
          {266, 100, RGB(171, 85, 42), 0},
          {266, 84, 0, 0}},
         nullptr},
        {"triangle hues",
         13,
         1000,
         1.0f,
         0.05f,
         0,
         true,
         0,
         {{53, 130, RGB(221, 28, 0), 0},
          {160, 122, RGB(0, 195, 223), 0},
          {266, 100, RGB(144, 231, 0), 0}},
         nullptr},
        // Type 14 at f 0.6, tick 1000: band 0 spans radii 57..72 at alpha
        // 204, band 1 75..93 at alpha 186, colour x (0.3 u + 0.62).
        {"tidal resonance",
         14,
         1000,
         0.6f,
         -1,
         0,
         false,
         kColour,
         {{45, 45, RGB(99, 50, 25), 1}, {59, 59, RGB(96, 47, 23), 1}},
         nullptr},
        // Colourful band 0 (u 0): hue R(2) + 200 = 325, value 0.7.
        {"tidal resonance hue",
         14,
         1000,
         0.6f,
         -1,
         0,
         true,
         0,
         {{45, 45, RGB(143, 11, 88), 1}},
         nullptr},
        // Type 15 in silence: centre 0.7 x colour, corners 0.5 x colour.
        {"afternoon sun",
         15,
         1021,
         0,
         -1,
         0,
         false,
         kColour,
         {{160, 100, RGB(140, 70, 35), 2},
          {0, 0, RGB(100, 50, 25), 2},
          {319, 199, RGB(100, 50, 25), 2}},
         nullptr},
        // Colourful at tick 1021 (R(1) 63.8): centre hue 18.8, corners from
        // the top left clockwise R(1) + 0, 30, 60, 120.
        {"afternoon sun hues",
         15,
         1021,
         0,
         -1,
         0,
         true,
         0,
         {{160, 100, RGB(217, 127, 87), 3},
          {0, 0, RGB(183, 191, 57), 4},
          {319, 0, RGB(116, 191, 57), 4},
          {319, 199, RGB(57, 191, 66), 4},
          {0, 199, RGB(57, 183, 191), 4}},
         nullptr},
        // Type 16 in silence at tick 1000: bodies of radius 12 at
        // (120.4, 105.6), (190.9, 74.6), (146.9, 137.8); each probe 10 px below
        // or right of its centre (0.8 of the radius, where the gradient from
        // colour + 80 to the colour has come 0.8 of the way).
        {"three bodies",
         16,
         1000,
         0,
         -1,
         0,
         false,
         kColour,
         {{120, 115, RGB(114, 64, 39), 3},
          {190, 84, RGB(134, 74, 44), 3},
          {156, 137, RGB(156, 86, 51), 3}},
         nullptr},
        {"three body colours",
         16,
         1000,
         0,
         -1,
         0,
         true,
         0,
         {{120, 115, RGB(14, 114, 255), 3},
          {190, 84, RGB(14, 255, 64), 3},
          {156, 137, RGB(255, 66, 16), 3}},
         nullptr},
        // Type 17 in silence: pillars 60 px wide, 112 px either side of the
        // centre, in 0.6 x colour, + 60 at their middle; nothing between them.
        {"gravity field",
         17,
         1000,
         0,
         -1,
         0,
         false,
         kColour,
         {{48, 100, RGB(180, 120, 90), 3}, {272, 100, RGB(180, 120, 90), 3}, {160, 100, 0, 0}},
         nullptr},
        // Full bass: the left pillar 160 px wide, 16 px left of the centre,
        // in the full colour (+ 60 at its middle, the colour at its edge).
        {"gravity field bass",
         17,
         1000,
         0,
         0,
         0,
         false,
         kColour,
         {{144, 100, RGB(255, 160, 110), 3}, {66, 100, RGB(202, 102, 52), 3}},
         FullBass},
        // Colourful at tick 1000 (R(2) 125): left hue 5, right hue 125; the
        // beam at y 50 blends them at alpha 80.
        {"gravity field hues",
         17,
         1000,
         0,
         -1,
         0,
         true,
         0,
         {{48, 100, RGB(239, 108, 96), 3},
          {272, 100, RGB(96, 239, 108), 3},
          {140, 50, RGB(39, 31, 13), 3}},
         nullptr},
        // Type 18 at tick 0: column 8 (v 0.318) rises to y 130.5 with the
        // gradient 0.7 x colour .. 1.3 x colour; the quiet columns are skipped.
        {"flames",
         18,
         0,
         1.0f,
         0.02f,
         0,
         false,
         kColour,
         {{85, 165, RGB(197, 100, 50), 3}, {85, 125, 0, 0}, {205, 199, 0, 0}},
         QuietTreble},
        // Colourful: half way up the flame between the stops 0xFF5000 and
        // 0xFFB400, under the two glows (alpha 7 and 15) of a column above 0.3.
        {"flame colours",
         18,
         0,
         1.0f,
         0.02f,
         0,
         true,
         0,
         {{85, 165, RGB(255, 180, 4), 4}, {205, 199, 0, 0}},
         QuietTreble},
        // Type 20 at f 0.6, tick 1000: ring 0 has radius 0 and is skipped;
        // ring 1 (radius 40, band 28.3..51.7) at alpha 163, ring 2 (radius 80,
        // 64.2..95.8) at 122, 0.6 x colour. Both circles of a ring wind the
        // same way, so under the winding rule each ring fills its whole outer
        // disc: inside ring 1 both alphas add up.
        {"energy ripples",
         20,
         1000,
         0.6f,
         -1,
         0,
         false,
         kColour,
         {{180, 100, RGB(97, 48, 24), 1},
          {200, 100, RGB(97, 48, 24), 1},
          {240, 100, RGB(57, 29, 14), 1},
          {260, 100, 0, 0}},
         nullptr},
        // At f 0.2 there is no core and ring 0 stays skipped: alphas 122 and
        // 91 only, at the centre too.
        {"energy ripples quiet",
         20,
         1000,
         0.2f,
         -1,
         0,
         false,
         kColour,
         {{160, 100, RGB(79, 39, 19), 1},
          {200, 100, RGB(79, 39, 19), 1},
          {240, 100, RGB(43, 21, 11), 1}},
         nullptr},
    };
    return frames;
}

class LayerFrameTest : public EffectTest
{
protected:
    testutil::PixelBuffer Draw(const LayerFrame& row)
    {
        FakeSources::tick = row.tick;
        testutil::MemoryCanvas canvas(320, 200);
        canvas.Fill(0xFF000000);
        {
            Gdiplus::Bitmap surface(320, 200, 320 * 4, PixelFormat32bppRGB,
                                    reinterpret_cast<BYTE*>(canvas.bits()));
            Gdiplus::Graphics g(&surface);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            panel->DrawLayer(g, row.type, CRect(0, 0, 320, 200), row.colorful, row.colour,
                             MakeAudio(row));
        }
        return canvas.Read();
    }
};

}  // namespace

TEST_F(LayerFrameTest, StatelessLayersFrameByFrame)
{
    for (const LayerFrame& row : LayerFrames()) {
        const testutil::PixelBuffer p = Draw(row);
        for (const Probe& probe : row.probes) {
            const COLORREF got = p.ColorAt(probe.x, probe.y);
            EXPECT_TRUE(Near(got, probe.expected, probe.tolerance))
                << row.what << " (type " << row.type << ") at (" << probe.x << ", " << probe.y
                << "): got 0x" << std::hex << got << ", expected 0x" << probe.expected;
        }
    }
}

// Mode 2 keys take the colour of the picture 20 px right and 10 px down of
// their drawn corner: a lit bar, the dark above a bar, a gap between bars.
TEST_F(EffectTest, ModeTwoKeysSampleTheLitLayer)
{
    panel->SetNimbrelMode(2);
    panel->SetExternalAudioData(0.5f, 0, 0, 50, 10);
    panel->AddLightLayer(7, CRect(0, 0, 1000, 400));
    panel->m_selectedLayer = -1;
    panel->m_layers[0]->colorful = 0;
    panel->m_layers[0]->color = kColour;
    // Keys are drawn 20 px right and 25 px down of their place. Bars of
    // 12.5 px every 15.625 px: bar 20 (v 0.114) spans y 177.2..222.8, bars 2
    // and 3 are 3.1 px apart, bar 7 (v 1) spans the full height.
    panel->AddKeyItem(L"lit", 1, CRect(278, 165, 318, 205), 0, 0);    // (318, 200) bar 20
    panel->AddKeyItem(L"above", 2, CRect(278, 135, 318, 175), 1, 0);  // (318, 170) over it
    panel->AddKeyItem(L"gap", 3, CRect(5, 165, 45, 205), 2, 0);       // (45, 200) between bars
    panel->AddKeyItem(L"low", 4, CRect(80, 355, 120, 395), 3, 0);     // (120, 390) bar 7
    const COLORREF expected[4] = {kColour, 0, 0, kColour};

    testutil::MemoryCanvas canvas(1000, 400);
    HDC dc = canvas.dc();
    panel->m_bUpdate = 0;
    panel->DrawControl(dc, CRect(0, 0, 1000, 400));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(KeyColor(i), expected[i]) << "on screen, key " << i;
    for (int i = 0; i < 4; ++i) panel->m_keyItems[i]->color = 0x123456;
    panel->DrawHideControl();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(KeyColor(i), expected[i]) << "off screen, key " << i;

    // Colourful at tick 1000: bar 7's hue 7/63 x 360 + 360 - R(3).
    FakeSources::tick = 1000;
    panel->m_layers[0]->colorful = 1;
    panel->DrawHideControl();
    EXPECT_EQ(KeyColor(3), WEXA::NimbrelEffect::HSVtoRGB(40.0f + 360 - 187.5f, 0.925f, 1));
    EXPECT_EQ(KeyColor(3), RGB(19, 127, 255));
    EXPECT_EQ(KeyColor(1), 0u);
}

// The LED layers draw each lit cell's glow right after the cell, so the cells
// drawn later lie over it: where the last lit cell's glow reaches into the
// unlit cell after it, that cell keeps its own dark grey. Pixel edges fall on
// whole pixels here (half-pixel offset), so the probes lie fully inside the
// unlit cell and fully under the glow.
TEST_F(EffectTest, LedLayersDrawEachGlowUnderTheNextCell)
{
    const struct
    {
        const char* what;
        int type;
        CRect rect;
        int x, y;  // in the first unlit cell (j = 2), under lit cell 1's glow
    } cases[] = {
        // Columns 8 px apart, cells 4 px apart (3.4 px high): column 10's cell 2
        // spans y 116..119.4, cell 1's glow reaches up to y 118.
        {"LED spectrum", 1, CRect(0, 0, 512, 128), 83, 118},
        // Rows 20 px apart, cells 4 px apart (3.4 px wide): row 10's cell 2
        // spans x 8..11.4, cell 1's glow reaches right to x 9.4.
        {"horizontal bars", 5, CRect(0, 0, 128, 640), 8, 208},
    };
    NimbrelAudio audio;
    audio.volume = 0.5f;  // sound without a spectrum: two lit cells per bar
    for (const auto& c : cases) {
        WEXA::NimbrelEffect::ResetSharedState();
        const int w = c.rect.Width(), h = c.rect.Height();
        testutil::MemoryCanvas canvas(w, h);
        canvas.Fill(0xFF000000);
        {
            Gdiplus::Bitmap surface(w, h, w * 4, PixelFormat32bppRGB,
                                    reinterpret_cast<BYTE*>(canvas.bits()));
            Gdiplus::Graphics g(&surface);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            panel->DrawLayer(g, c.type, c.rect, false, kRed, audio);
        }
        const testutil::PixelBuffer p = canvas.Read();
        EXPECT_EQ(RGB(20, 20, 20), p.ColorAt(c.x, c.y))
            << c.what << ": the glow of the lit cell lies over the unlit one";
        // The lit cell below or left of it shows the colour (the probe's sanity).
        const COLORREF lit = c.type == 1 ? p.ColorAt(c.x, c.y + 4) : p.ColorAt(c.x - 3, c.y);
        EXPECT_GE(GetRValue(lit), 178) << c.what;
    }
}

}  // namespace effecttest
