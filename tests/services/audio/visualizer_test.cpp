// Colour schemes, frame composition, bar analysis and the render thread of the
// music visualiser.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <vector>

#include "services/audio/Visualizer.h"

namespace {

const int W = Visualizer::kWidth;
const int H = Visualizer::kHeight;

struct Layer
{
    std::vector<COLORREF> px = std::vector<COLORREF>(Visualizer::kPixels, 0xDEADBEEF);
    COLORREF At(int x, int y) const { return px[y * W + x]; }
};

Layer Fill(Visualizer& v, int scheme, int brightness)
{
    Layer layer;
    v.FillLayer(layer.px.data(), scheme, brightness);
    return layer;
}

TEST(VisualizerColours, HsvToColor)
{
    struct Case
    {
        int h, s, v;
        COLORREF colour;
    } cases[] = {
        {0, 255, 254, 0x0000FE},    // red at value 254
        {120, 255, 255, 0x00FF00},  // green
        {60, 255, 255, 0x00FFFF},   // yellow
        {240, 255, 255, 0xFF0000},  // blue
        {30, 255, 255, 0x007FFF},   // rising green in sector 0
        {0, 0, 200, 0xC8C8C8},      // no saturation: grey
        {400, 255, 255, 0x00AAFF},  // 400 mod 360 = 40: sector 0
        {-90, 255, 255, 0},         // negative sector: black
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.colour, Visualizer::HsvToColor(c.h, c.s, c.v))
            << c.h << "," << c.s << "," << c.v;
}

TEST(VisualizerColours, BrightnessFactorInDouble)
{
    EXPECT_EQ(254, Visualizer::BrightnessFactor(100));
    EXPECT_EQ(127, Visualizer::BrightnessFactor(50));
    EXPECT_EQ(0, Visualizer::BrightnessFactor(0));
}

TEST(VisualizerSchemes, UniformSchemes)
{
    Visualizer v;
    v.Reset();
    struct Case
    {
        int scheme, brightness;
        COLORREF colour;
    } cases[] = {
        {0, 100, 0x000000},  {5, 100, 0x0000FE},  {6, 100, 0xFDFDFD},  {6, 50, 0x7E7E7E},
        {7, 100, 0x0000FD},  {8, 100, 0x003FFD},  {9, 100, 0x00FDFD},  {10, 100, 0x00FD00},
        {11, 100, 0xFD0000}, {12, 100, 0xFDFD00}, {13, 100, 0xFD003F}, {20, 100, 0xE90E7F},
    };
    for (const Case& c : cases) {
        Layer layer = Fill(v, c.scheme, c.brightness);
        for (COLORREF p : layer.px) ASSERT_EQ(c.colour, p) << "scheme " << c.scheme;
    }
    // An unknown scheme leaves the layer as it was.
    Layer layer = Fill(v, 22, 100);
    EXPECT_EQ(0xDEADBEEFu, layer.At(10, 10));
}

TEST(VisualizerSchemes, PaletteRows)
{
    Visualizer v;
    v.Reset();
    const COLORREF green = 0x00FD00, yellow = 0x00FDFD, red = 0x0000FD;
    Layer l = Fill(v, 1, 100);      // green, yellow, red
    EXPECT_EQ(green, l.At(7, 63));  // bottom row: the first colour
    EXPECT_EQ(green, l.At(7, 43));
    EXPECT_EQ(yellow, l.At(7, 42));  // 3 - 3 x 42 / 63 = 1
    EXPECT_EQ(yellow, l.At(7, 22));
    EXPECT_EQ(red, l.At(7, 21));   // 3 - 1 = 2
    EXPECT_EQ(red, l.At(200, 1));  // top rows: the last colour
    // Row 0: the first colour in the middle, the last at both ends.
    EXPECT_EQ(red, l.At(0, 0));
    EXPECT_EQ(green, l.At(127, 0));
    EXPECT_EQ(green, l.At(128, 0));
    EXPECT_EQ(red, l.At(255, 0));
    EXPECT_EQ(yellow, l.At(50, 0));   // 3 - 3 x 50 / 128 = 1.83
    EXPECT_EQ(red, l.At(42, 0));      // 3 - 3 x 42 / 128 = 2.02
    EXPECT_EQ(green, l.At(170, 0));   // 3 x 42 / 128 = 0.98
    EXPECT_EQ(yellow, l.At(171, 0));  // 3 x 43 / 128 = 1.01
}

TEST(VisualizerSchemes, ColumnAndAngleSchemes)
{
    Visualizer v;
    v.Reset();
    Layer rainbow = Fill(v, 17, 100);
    EXPECT_EQ(0xEB0F7Eu, rainbow.At(0, 0));
    EXPECT_EQ(0xEB0F7Eu, rainbow.At(0, 63));
    EXPECT_EQ(0xE90E7Fu, rainbow.At(1, 30));
    EXPECT_EQ(0x00AACDu, rainbow.At(100, 5));

    Layer hue = Fill(v, 18, 100);          // HSV((256 - x) mod 360)
    EXPECT_EQ(0x00FE00u, hue.At(136, 9));  // 120: green
    EXPECT_EQ(0xFE0000u, hue.At(16, 40));  // 240: blue

    Layer angle = Fill(v, 4, 100);
    EXPECT_EQ(0xFEFE00u, angle.At(129, 32));  // 0 degrees + 180: cyan
    EXPECT_EQ(0x0000FEu, angle.At(127, 32));  // 180.0005 degrees + 180 -> 360 -> 0: red
    EXPECT_EQ(0x00FE83u, angle.At(128, 0));   // -90.0002 + 180 -> 89
    Layer lower = Fill(v, 19, 100);           // centred on (128, 64)
    EXPECT_EQ(0x00FE83u, lower.At(128, 32));
}

TEST(VisualizerSchemes, AudioRingsBlackWhenSilent)
{
    Visualizer v;
    v.Reset();
    Layer l = Fill(v, 21, 100);
    for (COLORREF p : l.px) ASSERT_EQ(0u, p);
}

// Pushing a wave whose spectrum saturates every bar: an impulse inside the window.
std::vector<float> Impulse(float amplitude)
{
    std::vector<float> s(512, 0.0f);
    s[100] = amplitude;
    return s;
}

TEST(VisualizerFrame, IdleFrameShowsTheBackground)
{
    Visualizer v;
    v.Reset();
    v.SetBackgroundScheme(7);
    v.SetForegroundScheme(6);
    v.RenderFrame();
    std::vector<COLORREF> canvas(Visualizer::kPixels);
    v.CopyFrontCanvas(canvas.data());
    for (COLORREF p : canvas) ASSERT_EQ(0x0000FDu, p);
    EXPECT_EQ(0x0000FDu, v.GetBackgroundPixel(5, 5));
    EXPECT_EQ(1u, v.FrameCount());
}

TEST(VisualizerFrame, SaturatedBarsLightEverythingThenDecayByEightyPercent)
{
    Visualizer v;
    v.Reset();
    v.SetBackgroundScheme(0);
    v.SetForegroundScheme(6);
    std::vector<float> impulse = Impulse(1e6f);
    v.PushSamples(impulse.data(), 512);
    v.RenderFrame();

    float display[W];
    v.CopyDisplay(display);
    for (int i = 0; i < W; ++i) ASSERT_EQ(1.0f, display[i]) << i;
    std::vector<COLORREF> canvas(Visualizer::kPixels);
    v.CopyFrontCanvas(canvas.data());
    // Rows 1..63 (1 > (64 - y) / 64) show the foreground; the meter in row 0
    // (m = 0.95) reaches from column 6 to 249.
    for (int i = W; i < Visualizer::kPixels; ++i) ASSERT_EQ(0xFDFDFDu, canvas[i]) << i;
    for (int x = 0; x < W; ++x)
        EXPECT_EQ(x >= 6 && x <= 249 ? 0xFDFDFDu : 0u, canvas[x]) << "meter " << x;

    v.PushSamples(nullptr, 0);
    EXPECT_FALSE(v.IsDataReady());
    float expected = 1.0f;
    for (int frame = 0; frame < 3; ++frame) {
        v.RenderFrame();
        expected *= 0.8f;
        v.CopyDisplay(display);
        for (int i = 0; i < W; ++i) ASSERT_NEAR(expected, display[i], 1e-6) << "frame " << frame;
    }
}

// Bars of one frame worked out by hand from the analysis steps (Hann on the
// first 256 samples, transform / 512, first value replaced by the third, tilt,
// level curve, bars in fours, centred moving average of 17): a sine of amplitude
// 20 on bin 20 of the 512-point transform.
TEST(VisualizerFrame, BarsOfOneFrameFromAKnownWave)
{
    Visualizer v;
    v.Reset();
    std::vector<float> tone(512);
    for (int i = 0; i < 512; ++i) tone[i] = float(20.0 * std::sin(2.0 * M_PI * 20.0 * i / 512.0));
    v.PushSamples(tone.data(), 512);
    v.RenderFrame();
    float display[W];
    v.CopyDisplay(display);
    struct Case
    {
        int bar;
        float value;
    } cases[] = {
        {60, 0.0f},       {72, 0.0475580f}, {76, 0.2199019f}, {80, 0.2763907f},
        {83, 0.1587290f}, {88, 0.0746890f}, {96, 0.0208767f}, {100, 0.0110735f},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.value, display[c.bar], 2e-5) << "bar " << c.bar;
    EXPECT_EQ(80, int(std::max_element(display, display + W) - display));
}

// Audio rings drawn from the display of that frame: bass 0, mid 0.0483, high
// 0.0045 (overall 0.0176: saturation 179, no hue shifts below 0.05), rotation
// 0.05 after its first step; pixel values worked out from the ring formula.
TEST(VisualizerFrame, AudioRingsFromAKnownDisplay)
{
    Visualizer v;
    v.Reset();
    std::vector<float> tone(512);
    for (int i = 0; i < 512; ++i) tone[i] = float(20.0 * std::sin(2.0 * M_PI * 20.0 * i / 512.0));
    v.PushSamples(tone.data(), 512);
    v.RenderFrame();  // schemes 17 over 0: the rotation does not move
    Layer rings = Fill(v, 21, 100);
    struct Case
    {
        int x, y;
        COLORREF colour;
    } cases[] = {
        {130, 32, 0x090921},  // hue 0.05, value 33.4
        {140, 30, 0x0F0B25},  // hue 350.6, value 37.2
        {100, 40, 0x1C230A},  // hue 164.1, value 35.2
        {128, 10, 0x250B18},  // hue 270.05, value 37.2
        {60, 50, 0x090B03},   // hue 165.2, value 11.3
        {128, 33, 0x092014},  // hue 90.05, value 32.9
        {128, 32, 0x00FE00},  // the middle: mid leads, 120 + 0.05 at full value
    };
    for (const Case& c : cases) EXPECT_EQ(c.colour, rings.At(c.x, c.y)) << c.x << "," << c.y;

    // The middle takes the hue of the leading band: bass (bars 0-31) red, mid
    // (32-95) green, high (96-127) blue, turned by the rotation.
    struct Lead
    {
        double bin;  // of the 512-point transform: bar 4 x bin
        double amplitude;
        COLORREF middle;
    } leads[] = {{4.0, 200.0, 0x0000FE}, {20.0, 20.0, 0x00FE00}, {28.0, 20.0, 0xFE0000}};
    for (const Lead& lead : leads) {
        SCOPED_TRACE(lead.bin);
        Visualizer w;
        w.Reset();
        for (int i = 0; i < 512; ++i)
            tone[i] = float(lead.amplitude * std::sin(2.0 * M_PI * lead.bin * i / 512.0));
        w.PushSamples(tone.data(), 512);
        w.RenderFrame();
        EXPECT_EQ(lead.middle, Fill(w, 21, 100).At(128, 32));
    }
}

TEST(VisualizerFrame, CompositionFollowsTheDisplay)
{
    Visualizer v;
    v.Reset();
    v.SetBackgroundScheme(11);  // blue
    v.SetForegroundScheme(6);   // white
    // A tone on bin 20 of the 512-point transform.
    std::vector<float> tone(512);
    for (int i = 0; i < 512; ++i)
        tone[i] = float(300.0 * std::sin(2.0 * M_PI * 20.0 * i / 512.0) * 20.0 / 300.0);
    v.PushSamples(tone.data(), 512);
    v.RenderFrame();

    float display[W];
    v.CopyDisplay(display);
    int peak = int(std::max_element(display, display + W) - display);
    EXPECT_GE(peak, 76);
    EXPECT_LE(peak, 88);
    EXPECT_GT(display[peak], 0.1f);
    EXPECT_LT(display[peak], 1.0f);

    std::vector<COLORREF> canvas(Visualizer::kPixels);
    v.CopyFrontCanvas(canvas.data());
    const COLORREF fg = 0xFDFDFD, bg = 0xFD0000;
    int lit = 0;
    for (int y = 1; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            COLORREF want = display[x] > float(64 - y) / 64.0f ? fg : bg;
            ASSERT_EQ(want, canvas[y * W + x]) << x << "," << y;
            lit += want == fg;
        }
    EXPECT_GT(lit, 0);
    auto meterOf = [&](float level) {
        std::vector<COLORREF> row(W);
        const float m = level - 0.05f;
        for (int x = 0; x < W; ++x) {
            bool on = x < 128 ? m > float(127 - x) / 128.0f : m > float(x - 128) / 128.0f;
            row[x] = on ? fg : bg;
        }
        return row;
    };
    EXPECT_TRUE(meterOf(display[5]) == std::vector<COLORREF>(canvas.begin(), canvas.begin() + W));

    // The meter in row 0 shows bar 5: a low tone (bin 1) whose bars 4, 5 and 6
    // would each draw another meter.
    for (int i = 0; i < 512; ++i) tone[i] = float(20.0 * std::sin(2.0 * M_PI * 1.0 * i / 512.0));
    v.PushSamples(tone.data(), 512);
    v.RenderFrame();
    v.CopyDisplay(display);
    v.CopyFrontCanvas(canvas.data());
    const std::vector<COLORREF> meter(canvas.begin(), canvas.begin() + W);
    ASSERT_TRUE(meterOf(display[4]) != meterOf(display[5]));
    ASSERT_TRUE(meterOf(display[6]) != meterOf(display[5]));
    EXPECT_TRUE(meterOf(display[5]) == meter)
        << display[4] << " " << display[5] << " " << display[6];
}

TEST(VisualizerFrame, SwapsCanvasesAndAdvancesTheHue)
{
    Visualizer v;
    v.Reset();
    v.SetBackgroundScheme(5);  // one colour at the current hue
    v.RenderFrame();           // hue 0
    EXPECT_EQ(Visualizer::HsvToColor(0, 255, 254), v.GetFrontPixel(3, 3));
    v.RenderFrame();  // hue 5
    EXPECT_EQ(Visualizer::HsvToColor(5, 255, 254), v.GetFrontPixel(3, 3));
    for (int i = 0; i < 70; ++i) v.RenderFrame();
    v.RenderFrame();  // the 73rd frame: hue 360 wraps to 0 before drawing
    EXPECT_EQ(Visualizer::HsvToColor(0, 255, 254), v.GetFrontPixel(3, 3));
}

TEST(VisualizerInput, PushSamples)
{
    Visualizer v;
    v.Reset();
    EXPECT_FALSE(v.IsDataReady());
    std::vector<float> hundred(100, 0.5f);
    v.PushSamples(hundred.data(), 100);
    EXPECT_TRUE(v.IsDataReady());
    v.PushSamples(hundred.data(), -1);
    EXPECT_FALSE(v.IsDataReady());
    ASSERT_EQ(1u, v.GetSources().size());
    EXPECT_EQ(L"External Audio Source (KeyboardAudio)", v.GetSources()[0]);
}

// The render thread: 500 ms waits while inactive, a frame and a 15 ms wait while active.
TEST(VisualizerThread, IdleAndActiveRhythm)
{
    Visualizer v;
    v.Reset();
    std::mutex lock;
    std::vector<DWORD> waits;
    std::vector<unsigned> framesAtWait;
    v.SetSleepFunction([&](DWORD ms) {
        {
            std::lock_guard<std::mutex> l(lock);
            waits.push_back(ms);
            framesAtWait.push_back(v.FrameCount());
        }
        Sleep(1);
    });
    auto waitCount = [&] {
        std::lock_guard<std::mutex> l(lock);
        return waits.size();
    };
    v.Start();
    DWORD start = GetTickCount();
    while (waitCount() < 5 && GetTickCount() - start < 5000) Sleep(1);
    {
        std::lock_guard<std::mutex> l(lock);
        ASSERT_GE(waits.size(), 5u);
        for (DWORD ms : waits) EXPECT_EQ(500u, ms);
        waits.clear();
        framesAtWait.clear();
    }
    EXPECT_EQ(0u, v.FrameCount());

    v.SetActive(true);
    start = GetTickCount();
    while (v.FrameCount() < 5 && GetTickCount() - start < 5000) Sleep(1);
    v.Stop();
    EXPECT_FALSE(v.IsRunning());
    std::lock_guard<std::mutex> l(lock);
    ASSERT_GE(v.FrameCount(), 5u);
    // Once active, every wait is 15 ms and follows a frame.
    int fifteen = 0;
    for (size_t i = 0; i < waits.size(); ++i) {
        if (waits[i] == 15) {
            ++fifteen;
            EXPECT_GE(framesAtWait[i], unsigned(fifteen));
        } else {
            EXPECT_EQ(500u, waits[i]);
            EXPECT_EQ(0, fifteen) << "a 500 ms wait after frames began";
        }
    }
    EXPECT_GE(fifteen, 4);
}

TEST(VisualizerThread, StopAndDestructionJoinPromptly)
{
    auto t0 = std::chrono::steady_clock::now();
    {
        Visualizer v;
        v.Reset();
        v.Start();  // inactive: waiting 500 ms at a time
        Sleep(20);
        v.Stop();
        EXPECT_FALSE(v.IsRunning());
        v.SetActive(true);  // active before the thread starts: no 500 ms idle wait to sit out
        v.Start();
        for (int i = 0; i < 30 && v.FrameCount() == 0; ++i) Sleep(10);
        EXPECT_GT(v.FrameCount(), 0u);
    }  // destroyed while drawing: the destructor joins the thread
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - t0);
    EXPECT_LT(ms.count(), 450);  // a 500 ms wait is cut short
}

}  // namespace
