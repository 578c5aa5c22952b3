// The visualiser's angle and ring schemes, made cheaper, give the very frames
// the straightforward per-pixel drawing gives. The straightforward drawing is
// kept here as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "services/audio/Visualizer.h"

namespace {

const double kDegreesPerRadian = 57.295827908797776;
const int kWidth = Visualizer::kWidth, kHeight = Visualizer::kHeight;

void ReferenceAngles(COLORREF* layer, int cy, int c, float hue)
{
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double deg = std::atan2(double(y - cy), double(x - 128)) * kDegreesPerRadian;
            int h = int(float(int(deg + 180.0) % 360) + hue);
            layer[y * kWidth + x] = Visualizer::HsvToColor(h, 255, c);
        }
}

// rotation: the ring rotation before the fill.
void ReferenceRings(COLORREF* layer, int c, const float* display, float rotation)
{
    float bass = 0.0f, mid = 0.0f, high = 0.0f;
    for (int i = 0; i < 32; ++i) bass += display[i];
    for (int i = 32; i < 96; ++i) mid += display[i];
    for (int i = 96; i < 128; ++i) high += display[i];
    bass /= 32.0f;
    mid /= 64.0f;
    high /= 32.0f;
    const float overall = (bass + mid + high) / 3.0f;
    if (!(overall > 0.01f)) {
        std::fill(layer, layer + Visualizer::kPixels, COLORREF(0));
        return;
    }
    rotation += 0.05f;
    if (rotation >= 360.0f) rotation = 0.0f;
    const float T = rotation;
    const float toRad = 3.14159f / 180.0f;
    const float maxRadius = std::sqrt(17408.0f);
    const float exponent = 2.0f * overall + 1.0f;
    const int saturation = int(std::min(1.0f, 0.3f * overall + 0.7f) * 255.0f);
    float hueShift = T;
    if (bass > 0.05f) hueShift += bass * 60.0f;
    if (mid > 0.05f) hueShift += mid * 180.0f;
    if (high > 0.05f) hueShift += high * 300.0f;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float dx = float(x - 128), dy = float(y - 32);
            float r = std::sqrt(dx * dx + dy * dy) / maxRadius;
            float wave =
                0.5f * (std::sin((240.0f * r + 4.0f * T) * toRad) + 1.0f) * 6.0f * mid * 0.8f +
                0.5f * (std::sin((120.0f * r + 2.0f * T) * toRad) + 1.0f) * 4.0f * bass +
                0.5f * (std::sin((480.0f * r + 8.0f * T) * toRad) + 1.0f) * 8.0f * high * 0.6f;
            float value = wave * std::pow(1.0f - r, exponent) *
                          std::max(0.0f, 1.0f - (1.0f - 0.6f * overall) * r);
            value = std::min(1.0f, std::max(0.0f, value));
            float angle = float(std::atan2(double(dy), double(dx)) * kDegreesPerRadian);
            if (angle < 0.0f) angle += 360.0f;
            float hue = std::fmod(angle + hueShift, 360.0f);
            if (hue < 0.0f) hue += 360.0f;
            layer[y * kWidth + x] = Visualizer::HsvToColor(int(hue), saturation,
                                                           int(value * float(c) / 255.0f * 255.0f));
        }
    }
    int centreHue = (bass > mid && bass > high) ? 0 : (mid > high ? 120 : 240);
    layer[32 * kWidth + 128] = Visualizer::HsvToColor(int(float(centreHue) + T), 255, c);
}

}  // namespace

// Frames of music of rising and falling loudness (silence included), at
// three brightnesses: every pixel of schemes 4, 19 and 21 is the same.
TEST(VisualizerSchemes, CheaperSchemesDrawTheSameFrames)
{
    Visualizer v;
    v.Reset();
    std::vector<float> wave(512);
    std::vector<COLORREF> fast(Visualizer::kPixels), slow(Visualizer::kPixels);
    float display[Visualizer::kWidth];
    int compared = 0, lit = 0;
    for (int frame = 0; frame < 40; ++frame) {
        const float loud =
            frame < 30 ? 40.0f * (1.0f + std::sin(frame * 0.4f)) * (frame % 10) : 0.0f;
        for (int i = 0; i < 512; ++i)
            wave[i] = loud * (std::sin(i * (0.02f + 0.01f * (frame % 7))) +
                              0.5f * std::sin(i * 0.7f) + 0.3f * std::sin(i * 1.9f + frame));
        v.PushSamples(wave.data(), 512);
        v.RenderFrame();
        v.CopyDisplay(display);
        for (int brightness : {100, 37, 0}) {
            const int c = Visualizer::BrightnessFactor(brightness);
            const float hue = v.GetHue();
            for (int cy : {32, 64}) {
                v.FillLayer(fast.data(), cy == 32 ? 4 : 19, brightness);
                ReferenceAngles(slow.data(), cy, c, hue);
                ASSERT_EQ(fast, slow) << "scheme " << (cy == 32 ? 4 : 19) << " frame " << frame;
            }
            const float rotation = v.GetRingRotation();
            v.FillLayer(fast.data(), 21, brightness);
            ReferenceRings(slow.data(), c, display, rotation);
            for (int i = 0; i < Visualizer::kPixels; ++i)
                ASSERT_EQ(fast[i], slow[i]) << "scheme 21 frame " << frame << " pixel " << i;
            for (COLORREF p : fast) lit += p != 0;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 120);
    EXPECT_GT(lit, 100000);  // the rings were really drawn
}
