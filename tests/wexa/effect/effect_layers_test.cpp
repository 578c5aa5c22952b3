// The layer walk, the colour helpers and the twenty layer drawers, drawn
// into a memory picture on a fixed clock.
#include <gtest/gtest.h>

#include <cmath>

#include "EffectFixture.h"
#include "WindowTestHelpers.h"

namespace effecttest {

using WEXA::NimbrelAudio;
using WEXA::NimbrelEffect;

// Values do not depend on the size: a small picture draws fast.
const CRect kSmall(0, 0, 64, 32);

class LayerTest : public EffectTest
{
protected:
    // Draws one layer type over black into a picture of the rectangle's size.
    testutil::PixelBuffer Draw(int type, const NimbrelAudio& a, bool colorful = true,
                               COLORREF colour = 0xE57749, CRect rect = CRect(0, 0, 200, 150))
    {
        testutil::MemoryCanvas canvas(rect.right, rect.bottom);
        canvas.Fill(0xFF000000);
        {
            Gdiplus::Bitmap surface(rect.right, rect.bottom, rect.right * 4, PixelFormat32bppRGB,
                                    reinterpret_cast<BYTE*>(canvas.bits()));
            Gdiplus::Graphics g(&surface);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            panel->DrawLayer(g, type, rect, colorful, colour, a);
        }
        return canvas.Read();
    }
    static int Drawn(const testutil::PixelBuffer& p)
    {
        int n = 0;
        for (uint32_t v : p.pixels) n += (v & 0xFFFFFF) != 0;
        return n;
    }
    static NimbrelAudio Audio(float volume, float band = -1)
    {
        NimbrelAudio a;
        a.volume = volume;
        if (band >= 0) {
            a.hasSpectrum = true;
            for (float& v : a.spectrum64) v = band;
            for (float& v : a.spectrum32) v = band;
        }
        return a;
    }
};

TEST_F(LayerTest, HsvToRgbTable)
{
    struct Row
    {
        float h, s, v;
        COLORREF expected;
    } rows[] = {
        {-30, 1, 1, RGB(255, 0, 128)},    {360, 1, 1, RGB(255, 0, 0)},
        {30, 1, 1, RGB(255, 128, 0)},     {200, 0.5f, 0.8f, RGB(102, 170, 204)},
        {0, 0, 0.5f, RGB(127, 127, 127)}, {120, 2, 2, RGB(0, 255, 0)},
        {240, 1, -1, RGB(0, 0, 0)},       {720 + 60, 1, 1, RGB(255, 255, 0)},
    };
    for (const Row& r : rows) EXPECT_EQ(NimbrelEffect::HSVtoRGB(r.h, r.s, r.v), r.expected) << r.h;
    EXPECT_EQ(NimbrelEffect::GetMusicResponsiveColor(0, 0, 0), 0u);
    EXPECT_EQ(NimbrelEffect::GetMusicResponsiveColor(0, 1, 0), 0x00FF00u);
    EXPECT_EQ(NimbrelEffect::GetRainbowColorFromHue(0), 0x0000FFu);
    panel->SetBeatData(true, 1.0f, 120, 0, 0, 0);
    EXPECT_EQ(panel->ApplyBeatBoost(0x808080, 1.0f), 0xFFFFFFu);
    panel->SetBeatData(false, 0, 0, 0, 0, 0);
    EXPECT_EQ(panel->ApplyBeatBoost(0x808080, 1.0f), 0x808080u);
}

TEST_F(LayerTest, ScaledRectangles)
{
    EXPECT_EQ(NimbrelEffect::ScaledLayerRect(CRect(0, 0, 100, 60), 0.5f), CRect(25, 15, 75, 45));
    EXPECT_EQ(NimbrelEffect::ScaledLayerRect(CRect(0, 0, 101, 60), 0.5f), CRect(25, 15, 75, 45));
    EXPECT_TRUE(NimbrelEffect::ScaledLayerRect(CRect(0, 0, 100, 60), 0.001f).IsRectEmpty());
}

// Silence (f below 0.05): gated types draw nothing; the scenes always draw.
TEST_F(LayerTest, SilenceGateByType)
{
    const NimbrelAudio quiet = Audio(0.04f);
    for (int type : {8, 9, 10, 11, 12, 13, 14, 18, 19, 20})
        EXPECT_EQ(Drawn(Draw(type, quiet)), 0) << "type " << type;
    for (int type : {15, 16, 17}) EXPECT_GT(Drawn(Draw(type, quiet)), 0) << "type " << type;
    // Types 2, 6 and 7 in silence without spectrum: bars of height 0.
    const NimbrelAudio silent = Audio(0);
    for (int type : {2, 3, 6, 7}) EXPECT_EQ(Drawn(Draw(type, silent)), 0) << "type " << type;
    // Type 1 and 5 show their unlit cells, type 4 its faint circle.
    for (int type : {1, 4, 5}) EXPECT_GT(Drawn(Draw(type, silent)), 0) << "type " << type;
    // With sound every type draws.
    const NimbrelAudio loud = Audio(0.8f, 0.6f);
    for (int type = 1; type <= 20; ++type) EXPECT_GT(Drawn(Draw(type, loud)), 0) << "type " << type;
}

// Types 1 and 5: a rising value moves 70 % of the way up; a falling one
// keeps at least 0.616 of the stored value.
TEST_F(LayerTest, LedBarsRiseFastAndFallSlowly)
{
    const NimbrelAudio loud = Audio(1.0f, 1.0f);
    Draw(1, loud, true, 0, kSmall);
    Draw(5, loud, true, 0, kSmall);
    const float* led = NimbrelEffect::GetLayerState(1);
    const float* rows = NimbrelEffect::GetLayerState(5);
    // Full spectrum clamps every value to 1: 0.7 after one frame.
    EXPECT_FLOAT_EQ(led[0], 0.7f);
    EXPECT_FLOAT_EQ(led[63], 0.7f);
    EXPECT_FLOAT_EQ(rows[31], 0.7f);
    NimbrelAudio low = Audio(1.0f, 0.0f);
    low.spectrum64[0] = 1e-9f;  // spectrum present, values near 0
    low.spectrum32[0] = 1.0f;
    Draw(1, low, true, 0, kSmall);
    EXPECT_NEAR(led[10], 0.7f * 0.616f, 1e-5f);
    // Without spectrum: x 0.88 per frame.
    Draw(1, Audio(1.0f), true, 0, kSmall);
    EXPECT_NEAR(led[10], 0.7f * 0.616f * 0.88f, 1e-5f);
    // Type 3 falls to no less than 0.56.
    Draw(3, loud, true, 0, kSmall);
    const float* classic = NimbrelEffect::GetLayerState(3);
    const float before = classic[100];
    Draw(3, low, true, 0, kSmall);
    EXPECT_NEAR(classic[100], before * 0.56f, 1e-4f);
}

// Type 1 cells: lit from the bottom, 22 cells after one frame at 0.7, the
// single colour shaded from 70 % to 100 %, the top lit cell 1.2 times
// brighter, unlit cells (20, 20, 20).
TEST_F(LayerTest, LedCellsLightFromTheBottom)
{
    const NimbrelAudio loud = Audio(1.0f, 1.0f);
    const COLORREF colour = RGB(100, 50, 200);
    testutil::PixelBuffer p = Draw(1, loud, false, colour, CRect(0, 0, 384, 288));
    const float cw = 384 / 64.0f, ch = 288 / 32.0f;  // cells of 5 x 7 pixels
    auto cell = [&](int i, int j) {
        const int x = static_cast<int>(i * cw + 0.85f * cw / 2);
        const int y = static_cast<int>(288 - (j + 1) * ch + 0.85f * ch / 2);
        return p.ColorAt(x, y);
    };
    auto shade = [&](int j, double extra) {
        const double q = j / 31.0f * 0.3f + 0.7f;
        auto ch8 = [&](int v) {
            return std::min(255, static_cast<int>(static_cast<int>(v * q) * extra));
        };
        return RGB(ch8(100), ch8(50), ch8(200));
    };
    EXPECT_EQ(cell(5, 0), shade(0, 1.0));
    EXPECT_EQ(cell(5, 10), shade(10, 1.0));
    EXPECT_EQ(cell(5, 21), shade(21, 1.2));
    EXPECT_EQ(cell(5, 22), RGB(20, 20, 20));
    EXPECT_EQ(cell(5, 31), RGB(20, 20, 20));
}

TEST_F(LayerTest, IdleBarsFollowTheLevel)
{
    // Type 6 without spectrum at L = 0.5: bar 0 is 0.75 of the height.
    testutil::PixelBuffer p = Draw(6, Audio(0.5f), false, RGB(0, 255, 0), CRect(0, 0, 320, 300));
    EXPECT_EQ(p.ColorAt(3, 299), RGB(0, 255, 0));
    EXPECT_EQ(p.ColorAt(3, 300 - 224), RGB(0, 255, 0));
    EXPECT_EQ(p.ColorAt(3, 300 - 227), 0u);
}

TEST_F(LayerTest, RadialPulseWithoutSpectrumIsAFaintCircle)
{
    testutil::PixelBuffer p = Draw(4, Audio(1.0f), true, 0, CRect(0, 0, 400, 300));
    // Circle of radius 0.25 x 150 about (200, 150).
    int lit = 0, bright = 0;
    for (uint32_t v : p.pixels) {
        const int g = (v >> 8) & 0xFF;
        lit += g > 0;
        bright += g > 60;
    }
    EXPECT_GT(lit, 100);
    EXPECT_EQ(bright, 0);
    EXPECT_EQ(p.ColorAt(200, 150), 0u);
}

// Type 19 at level 1: one source, five rings.
TEST_F(LayerTest, SoundWaveSourceAtFullLevelDrawsFiveRings)
{
    NimbrelAudio a = Audio(1.0f, 0.0f);
    for (int i = 0; i < 8; ++i) a.spectrum64[i] = 1.0f;  // source 0 only
    a.spectrum32[0] = 1.0f;
    FakeSources::tick = 700;  // phase fmod(2.1, 1) = 0.1
    testutil::PixelBuffer p = Draw(19, a, false, RGB(0, 255, 0), CRect(0, 0, 400, 300));
    // Source 0 at (0.2 W, 0.2 H) = (80, 60); rings at 90 x 1.5 x (0.1, 0.3, ...).
    const float rmax = 0.3f * 300;
    int found = 0;
    for (int j = 0; j < 5; ++j) {
        const float r = std::fmod(j / 5.0f + 0.1f, 1.0f);
        const int rho = static_cast<int>(rmax * r * 1.5f);
        const int x = 80 + rho;
        if (x < 400 && GetGValue(p.ColorAt(x, 60)) > 20) ++found;
    }
    EXPECT_EQ(found, 5);
    // Level below 0.1: nothing from the sources.
    NimbrelAudio weak = Audio(1.0f, 0.0f);
    weak.spectrum64[0] = 0.001f;
    weak.spectrum32[0] = 1.0f;
    EXPECT_EQ(Drawn(Draw(19, weak, true, 0, CRect(0, 0, 400, 300))), 0);
}

// The walk: layers in the order they were added, later ones on top; a layer
// without area is skipped; no layers leaves the black picture.
TEST_F(LayerTest, WalkDrawsLaterLayersOnTop)
{
    panel->SetNimbrelMode(2);
    panel->SetExternalAudioData(0.5f, 0, 0, 50, 10);
    testutil::MemoryCanvas canvas(1000, 400);
    HDC dc = canvas.dc();
    panel->m_bUpdate = 0;
    panel->DrawControl(dc, CRect(0, 0, 1000, 400));
    EXPECT_EQ(canvas.Read().ColorAt(500, 200), 0u);

    panel->AddLightLayer(15, CRect(0, 0, 1000, 400));
    panel->AddLightLayer(6, CRect(0, 0, 1000, 400));
    panel->AddLightLayer(7, CRect(10, 10, 10, 50));  // no area
    panel->m_selectedLayer = -1;
    {
        std::vector<WEXA::LIGHTLAYER_INFO*>& layers = panel->m_layers;
        layers[1]->colorful = 0;
        layers[1]->color = RGB(0, 0, 255);
    }
    panel->m_bUpdate = 0;
    panel->DrawControl(dc, CRect(0, 0, 1000, 400));
    const testutil::PixelBuffer p = canvas.Read();
    EXPECT_EQ(p.ColorAt(5, 390), RGB(0, 0, 255));  // bar 0 over the backdrop
    EXPECT_NE(p.ColorAt(500, 20), RGB(0, 0, 255));
    EXPECT_NE(p.ColorAt(500, 20), 0u);
}

}  // namespace effecttest
