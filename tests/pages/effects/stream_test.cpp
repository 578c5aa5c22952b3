// The worker's effect frames, byte for byte against the simulated keyboard: in
// the visualiser mode each key carries the canvas pixel of its grid cell, the
// light bars follow the brightness slider, the key items are read under the
// panel's lock, and a key grid the colour map cannot hold is sampled within it.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "EffectFixture.h"
#include "MSlider.h"
#include "TonePlayer.h"
#include "NimbrelEffect.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceCommands.h"

namespace effecttest {
namespace {

const int kEffectTab = 3;

using testutil::TonePlayer;

class StreamTest : public PageTest
{
protected:
    StreamTest() : PageTest("Kestrova-K87") {}

    WEXA::NimbrelEffect* Panel() { return Dlg().CtlAs<WEXA::NimbrelEffect>(59); }
    bool WaitForFrames(int more, DWORD timeoutMs = 3000)
    {
        const int until = EffectFrames() + more;
        return h.PumpUntil([&] { return EffectFrames() >= until; }, timeoutMs);
    }
    // The visualiser draws one still picture of a tone and stops drawing.
    void StillToneCanvas()
    {
        Visualizer& v = Dlg().m_visualizer;
        v.SetActive(false);
        h.Pump(40);
        std::vector<float> wave(Visualizer::kInputSize);
        for (int frame = 0; frame < 12; ++frame) {
            for (size_t i = 0; i < wave.size(); ++i)
                wave[i] = float(20000.0 * std::sin(2.0 * M_PI * 24.0 * double(i) / 512.0));
            v.PushSamples(wave.data(), int(wave.size()));
            v.RenderFrame();
        }
    }
    struct KeyCell
    {
        int keyCode, column, row;
    };
    std::vector<KeyCell> Keys()
    {
        std::vector<KeyCell> keys;
        Panel()->EnterCriSec();
        for (const WEXA::KEYITEM_INFO* item : Panel()->GetKeyItems())
            keys.push_back({int(item->keyCode), item->column, item->row});
        Panel()->LeaveCriSec();
        return keys;
    }
    int Led(int keyCode)
    {
        auto it = Dlg().m_keyMaps.keyCodeToLed.find(keyCode);
        return it == Dlg().m_keyMaps.keyCodeToLed.end() ? -1 : it->second;
    }
};

TEST_F(StreamTest, VisualiserKeysCarryTheirCanvasPixel)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    ASSERT_EQ(1, Dlg().m_effectMode);
    StillToneCanvas();
    ASSERT_TRUE(WaitForFrames(3));
    std::vector<COLORREF> canvas(Visualizer::kPixels);
    Dlg().m_visualizer.CopyFrontCanvas(canvas.data());
    const std::vector<uint8_t> frame = LastEffectFrame();
    const int rows = Dlg().m_keyGridRows, columns = Dlg().m_keyGridColumns;
    ASSERT_GT(rows, 0);
    ASSERT_GT(columns, 0);
    int checked = 0, lit = 0;
    for (const KeyCell& key : Keys()) {
        // Row 0 and columns 0 and 24 are the light bars' cells.
        if (key.keyCode >= 300 || key.row < 1 || key.row >= rows || key.column < 1 ||
            key.column > 23 || key.column >= columns)
            continue;
        const int led = Led(key.keyCode);
        if (led < 0) continue;
        // R and K of this layout: rows 2 + r x (62 / R) + (62 / R) / 2, columns c x (255 / K).
        const int step = 62 / rows;
        const int y = int(2 + key.row * step + 0.5 * step);
        const int x = key.column * (255 / columns);
        const COLORREF pixel = canvas[size_t(y * Visualizer::kWidth + x)];
        EXPECT_EQ(Rgb565(pixel), LedValue(frame, led))
            << "key " << key.keyCode << " at (" << key.column << ", " << key.row << ")";
        ++checked;
        if (pixel) ++lit;
    }
    EXPECT_GT(checked, 40);
    EXPECT_GT(lit, 0) << "the tone's bars reach no key";
}

TEST_F(StreamTest, KeysFollowAToneThroughTheSoundServer)
{
    if (GetEnvironmentVariableW(L"PULSE_SERVER", nullptr, 0) == 0)
        GTEST_SKIP() << "No sound server in this run: the capture of a played tone is not tested";
    // This host has no loopback: the capture records the sound server's
    // recording device, the monitor of the sink the tone is played into.
    Dlg().SetCaptureSource(KeyboardAudio::CaptureSource::DefaultRecording);
    Dlg().StartCapture();
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    // Keys lit in the frames over a while (the light bars left out).
    auto litKeys = [&](DWORD milliseconds) {
        int most = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            const std::vector<uint8_t> frame = LastEffectFrame();
            int lit = 0;
            for (const KeyCell& key : Keys()) {
                const int led = Led(key.keyCode);
                if (key.keyCode < 300 && key.row >= 1 && led >= 0 && LedValue(frame, led) != 0)
                    ++lit;
            }
            most = std::max(most, lit);
            h.Pump(50);
        }
        return most;
    };
    const int silent = litKeys(800);
    TonePlayer tone;
    ASSERT_TRUE(tone.Start(440.0, 6.0)) << "cannot play into the sound server";
    const int playing = litKeys(2500);
    tone.Stop();
    RecordProperty("keys_lit_silent", silent);
    RecordProperty("keys_lit_tone", playing);
    EXPECT_GT(playing, silent) << "the tone's bars do not reach the keyboard";
}

TEST_F(StreamTest, LightBarsFollowTheBrightnessSlider)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    // A loud beat lights the bars at full brightness.
    auto* slider = Dlg().CtlAs<WEXA::MSlider>(198);
    auto barsLit = [&] {
        const std::vector<uint8_t> frame = LastEffectFrame();
        int lit = 0;
        for (int code = 300; code <= 340; ++code) {
            const int led = Led(code);
            if (led >= 0 && LedValue(frame, led) != 0) ++lit;
        }
        return lit;
    };
    for (int pass = 0; pass < 40; ++pass) {
        Panel()->SetExternalAudioData(0.9f, 1.0f, 0.5f, 90, 0.8f);
        Panel()->SetBeatData(true, 1.0f, 120.0f, 0.9f, 0.8f, 0.7f);
        h.Pump(16);
    }
    slider->SetProgress(100);
    h.SendControlEvent(198, 2);
    ASSERT_TRUE(WaitForFrames(3));
    const int litAtFull = barsLit();
    slider->SetProgress(0);
    h.SendControlEvent(198, 2);
    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_EQ(0, barsLit()) << "slider 198 at 0 leaves the light bars black";
    RecordProperty("bars_lit_at_full", litAtFull);
}

TEST_F(StreamTest, KeyItemsAreReadUnderThePanelsLock)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 1);
    ASSERT_TRUE(WaitForFrames(2));
    // While another thread holds the key items, no frame goes out.
    Panel()->EnterCriSec();
    Sleep(60);
    const int before = EffectFrames();
    Sleep(200);
    const int during = EffectFrames();
    Panel()->LeaveCriSec();
    EXPECT_EQ(before, during);
    EXPECT_TRUE(WaitForFrames(2));
}

TEST_F(StreamTest, GridCountsOutsideTheMapAreSampledWithinIt)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    const struct
    {
        int rows, columns;
        bool frames;
    } cases[] = {{0, 19, false}, {6, 0, false}, {12, 40, true}, {300, 900, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "R=" << c.rows << " K=" << c.columns);
        {
            CAutoLock hold(Dlg().DeviceStateLock());
            Dlg().m_keyGridRows = c.rows;
            Dlg().m_keyGridColumns = c.columns;
            Dlg().ComputeSpectrumSamples();
        }
        h.Pump(40);
        const int before = EffectFrames();
        h.Pump(200);
        EXPECT_EQ(c.frames, EffectFrames() > before);
        for (int y : Dlg().m_spectrumRowY) EXPECT_LT(y, 64);
        for (int x : Dlg().m_spectrumColumnX) EXPECT_LT(x, 256);
    }
}

TEST_F(StreamTest, FramesEveryTickWithAPacedKeyboard)
{
    h.Bus().SetRealTime(true);
    h.Bus().SetReportPace(1);
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    ASSERT_TRUE(WaitForFrames(3));
    h.Bus().ClearLog();
    const DWORD start = GetTickCount();
    // The panel repaints on the window's thread meanwhile, as it does on screen.
    h.Pump(1000);
    const double seconds = (GetTickCount() - start) / 1000.0;
    std::vector<double> frames;
    for (const sim::Request& request : h.Bus().WritesTo(port))
        if (request.Command() == DeviceCommand::kEffectFrame && request.Offset() == 0)
            frames.push_back(request.atMs);
    h.Bus().SetReportPace(0);
    h.Bus().SetRealTime(false);
    int late = 0;
    for (size_t i = 1; i < frames.size(); ++i)
        if (frames[i] - frames[i - 1] > 24.0) ++late;
    const double fps = frames.size() / seconds;
    RecordProperty("frames_per_second", int(fps));
    // A 16 ms tick gives 62.5 frames a second; a frame that waits for the
    // panel's repaint misses the next tick.
    EXPECT_GT(fps, 55.0);
    EXPECT_LE(late, 3) << "frames more than 1.5 ticks apart";
}

}  // namespace
}  // namespace effecttest
