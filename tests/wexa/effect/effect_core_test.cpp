// The effect panel's records, setters, audio inputs, GIF clock and accessors.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "ControlRegistry.h"
#include "EffectFixture.h"
#include "GifWriter.h"

namespace effecttest {

DWORD FakeSources::tick = 0;
double FakeSources::millis = 0;
unsigned FakeSources::seed = 0;
std::deque<int> FakeSources::randoms;

TEST_F(EffectTest, RegisteredByNameWithItsDefaults)
{
    WEXA::ControlCreator create = WEXA::FindControlClass(L"NimbrelEffect");
    ASSERT_NE(create, nullptr);
    WEXA::ControlArgs args = {&owner, 59, CRect(0, 0, 200, 100), L"", 1, 1};
    std::unique_ptr<WEXA::MControl> made(create(args));
    EXPECT_NE(dynamic_cast<WEXA::NimbrelEffect*>(made.get()), nullptr);

    EXPECT_EQ(panel->GetNimbrelMode(), 2);
    EXPECT_EQ(panel->GetPresetMode(), 2);
    EXPECT_EQ(panel->GetMusicMode(), 1);
    EXPECT_EQ(panel->GetMusicAmplitude(), 200);
    EXPECT_FLOAT_EQ(panel->GetMusicScale(), 1.0f);
    EXPECT_TRUE(panel->GetMusicColorful());
    EXPECT_EQ(panel->GetMusicColor(), 0xFF9600u);
    EXPECT_FLOAT_EQ(panel->GetVolumeThreshold(), 0.5f);
    EXPECT_EQ(panel->GetCaptureInterval(), 40u);
    EXPECT_EQ(panel->GetScreenCaptureType(), 0);
    EXPECT_EQ(panel->GetScreenEffectType(), 0);
    EXPECT_EQ(panel->GetScreenFps(), 3);
    EXPECT_EQ(panel->GetScreenMonitor(), 0);
    const WEXA::ScreenCaptureConfig& c = panel->GetScreenConfig();
    EXPECT_TRUE(c.brightnessOn && c.saturationOn && !c.hueShiftOn && !c.flipVertical);
    EXPECT_FLOAT_EQ(c.brightnessFactor, 1.2f);
    EXPECT_FLOAT_EQ(c.saturationFactor, 1.5f);
    EXPECT_EQ(panel->GetPictureOffset().x, 6);
}

TEST_F(EffectTest, ScreenConfigIsCopiedWhole)
{
    panel->SetScreenProcess(nullptr);
    EXPECT_TRUE(panel->GetScreenProcess().IsEmpty());
    WEXA::ScreenCaptureConfig config;
    config.captureType = WEXA::SCREEN_CAPTURE_COORDINATES;
    config.fpsChoice = 9;
    config.processName = L"game.exe";
    config.flipVertical = true;
    panel->SetScreenConfig(config);
    config.processName = L"other.exe";
    EXPECT_STREQ(panel->GetScreenProcess(), L"game.exe");
    EXPECT_EQ(panel->GetScreenCaptureType(), 1);
    EXPECT_TRUE(panel->GetScreenConfig().flipVertical);
    EXPECT_EQ(panel->GetCaptureInterval(), 40u);  // not recomputed
    panel->SetScreenCoordinates(RECT{1, 2, 3, 4});
    EXPECT_EQ(panel->GetScreenCoordinates().bottom, 4);
    panel->SetScreenMonitor(2);
    EXPECT_EQ(panel->GetScreenMonitor(), 2);
}

TEST_F(EffectTest, LightLayersOnePerType)
{
    EXPECT_EQ(panel->AddLightLayer(1, CRect()), 0);
    EXPECT_EQ(panel->AddLightLayer(1, CRect(0, 0, 10, 10)), -1);
    EXPECT_EQ(panel->AddLightLayer(4, CRect(10, 20, 110, 220)), 1);
    std::vector<WEXA::LIGHTLAYER_INFO> layers = panel->GetLightLayers();
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0].rect, CRect(0, 0, 1000, 400));
    EXPECT_FLOAT_EQ(layers[0].scale, 1.0f);
    EXPECT_EQ(layers[0].colorful, 1);
    EXPECT_EQ(layers[0].color, 0xE57749u);
    EXPECT_EQ(layers[1].rect, CRect(10, 20, 110, 220));

    owner.updates.clear();
    panel->DeleteLightLayer(7);
    EXPECT_TRUE(owner.updates.empty());
    EXPECT_EQ(panel->GetLightLayers().size(), 2u);

    panel->SetMusicColor(0x123456);  // no selected layer
    EXPECT_TRUE(owner.updates.empty());
    EXPECT_EQ(panel->GetMusicColor(), 0x123456u);
    panel->m_selectedLayer = 1;
    panel->SetMusicColor(0x00FF00);
    panel->SetMusicColorful(false);
    EXPECT_EQ(owner.updates.size(), 2u);
    EXPECT_EQ(panel->GetLightLayers()[1].color, 0x00FF00u);
    EXPECT_EQ(panel->GetLightLayers()[1].colorful, 0);
    EXPECT_EQ(panel->GetLightLayers()[0].color, 0xE57749u);

    panel->DeleteLightLayer(1);
    EXPECT_EQ(owner.updates.size(), 3u);
    EXPECT_EQ(panel->GetLightLayers().size(), 1u);
    // The selected index now lies outside the list and selects nothing.
    panel->SetMusicColor(0x0000FF);
    EXPECT_EQ(panel->GetLightLayers()[0].color, 0x00FF00u);
}

TEST_F(EffectTest, AudioInputsAreClamped)
{
    panel->SetExternalAudioData(1.5f, -1.0f, 0.5f, 150, -3.0f);
    WEXA::NimbrelAudio a = panel->GetAudio();
    EXPECT_FLOAT_EQ(a.volume, 1.0f);
    EXPECT_FLOAT_EQ(a.peak, 0.0f);
    EXPECT_FLOAT_EQ(a.average, 0.5f);
    EXPECT_FLOAT_EQ(a.rms, 0.0f);
    EXPECT_EQ(panel->GetMusicAmplitude(), 100);
    EXPECT_TRUE(panel->IsVolumeTriggered());
    EXPECT_EQ(panel->GetTriggerCount(), 1);
    panel->SetExternalAudioData(0.9f, 0, 0, 90, 1);  // still above: no new trigger
    EXPECT_EQ(panel->GetTriggerCount(), 1);
    panel->SetExternalAudioData(0.5f, 0, 0, 50, 1);  // equal to the threshold clears it
    EXPECT_FALSE(panel->IsVolumeTriggered());
    panel->SetVolumeThreshold(7);
    EXPECT_FLOAT_EQ(panel->GetVolumeThreshold(), 1.0f);

    float s32[32], s64[64];
    for (int i = 0; i < 32; ++i) s32[i] = 0.25f;
    for (int i = 0; i < 64; ++i) s64[i] = i / 64.0f;
    panel->SetFFTSpectrum(s32, s64);
    EXPECT_TRUE(panel->HasFFTData());
    for (int i = 0; i < 64; ++i) s64[i] = 0.5f;
    panel->SetFFTSpectrum(nullptr, s64);
    a = panel->GetAudio();
    EXPECT_FALSE(a.hasSpectrum);
    EXPECT_FLOAT_EQ(a.spectrum32[3], 0.25f);
    EXPECT_FLOAT_EQ(a.spectrum64[3], 0.5f);
    EXPECT_FLOAT_EQ(panel->GetFFTSpectrum64(64), 0.0f);
    EXPECT_FLOAT_EQ(panel->GetFFTSpectrum64(-1), 0.0f);

    panel->SetBeatData(true, 2.0f, 900, 2, -1, 0.5f);
    a = panel->GetAudio();
    EXPECT_FLOAT_EQ(a.strength, 1.0f);
    EXPECT_FLOAT_EQ(a.boost, 2.0f);
    EXPECT_FLOAT_EQ(a.tempo, 400.0f);
    EXPECT_FLOAT_EQ(a.bass, 1.0f);
    EXPECT_FLOAT_EQ(a.mid, 0.0f);
    panel->SetBeatData(false, 0, 0, 0, 0, 0);
    panel->SetBeatData(false, 0, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(panel->GetAudio().boost, 2.0f * 0.85f * 0.85f);

    panel->Initialize();
    EXPECT_FLOAT_EQ(panel->GetCurrentVolume(), 0.0f);
    EXPECT_FLOAT_EQ(panel->GetVolumeThreshold(), 0.1f);
    EXPECT_EQ(panel->GetTriggerCount(), 0);
}

TEST_F(EffectTest, ColourMapCellsOutsideTheMapAreIgnored)
{
    panel->SetNimbrelMode(1);
    AddKey(4, 3, 2);
    AddKey(5, 3, 2);
    panel->SetColorMap(3, 2, 0x0000FF);
    EXPECT_EQ(KeyColor(0), 0x0000FFu);  // the first key at the cell only
    EXPECT_EQ(KeyColor(1), 0u);
    panel->SetColorMap(3, 9, 0x00FF00);  // row 9 is cell (4, 1)
    EXPECT_EQ(panel->GetColorMap(4, 1), 0x00FF00u);
    panel->SetColorMap(32, 0, 0x123456);
    panel->SetColorMap(31, 8, 0x123456);
    panel->SetColorMap(-1, 3, 0x123456);
    panel->SetColorMap(0, -1, 0x123456);
    for (int c = 0; c < 32; ++c)
        for (int r = 0; r < 8; ++r) EXPECT_NE(panel->GetColorMap(c, r), 0x123456u);
    panel->SetNimbrelMode(3);
    panel->SetColorMap(3, 2, 0xFFFFFF);  // only the cell
    EXPECT_EQ(KeyColor(0), 0x0000FFu);
    EXPECT_EQ(panel->GetColorMap(3, 2), 0xFFFFFFu);
}

TEST_F(EffectTest, ImageRectFitsAndCentres)
{
    struct Row
    {
        int w, h;
        CRect expected;
    } rows[] = {
        {50, 20, CRect(25, 40, 75, 60)},    // fits
        {200, 50, CRect(0, 37, 100, 62)},   // too wide
        {50, 200, CRect(37, 0, 62, 100)},   // too high
        {400, 200, CRect(0, 25, 100, 75)},  // both, wide
        {200, 400, CRect(25, 0, 75, 100)},  // both, high
    };
    for (const Row& r : rows)
        EXPECT_EQ(WEXA::NimbrelEffect::GetImageRect(r.w, r.h, CRect(0, 0, 100, 100)), r.expected)
            << r.w << "x" << r.h;
    GUID clsid;
    EXPECT_GE(WEXA::NimbrelEffect::GetEncoderClsid(L"image/png", &clsid), 0);
    EXPECT_EQ(WEXA::NimbrelEffect::GetEncoderClsid(L"image/none", &clsid), -1);
}

class GifTest : public EffectTest
{
protected:
    CString Write(const std::vector<testutil::GifFrame>& frames, const wchar_t* name)
    {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        std::wstring path = std::wstring(dir) + name;
        EXPECT_TRUE(testutil::WriteGif(path, 8, 8, frames));
        return CString(path.c_str());
    }
    void Tick(double ms)
    {
        FakeSources::millis += ms;
        panel->OnControlTimer();
    }
};

TEST_F(GifTest, ClockCatchesUpAndCarriesTheRemainder)
{
    panel->SetNimbrelMode(5);
    panel->SetGIFImage(Write({{1, 10}, {2, 10}, {3, 10}, {1, 10}, {2, 10}}, L"fx_five.gif"));
    ASSERT_EQ(panel->GetGIFFrameCount(), 5);
    EXPECT_DOUBLE_EQ(panel->GetGIFDelay(), 100.0);
    EXPECT_FLOAT_EQ(panel->GetGIFScaleValue(), 0.0f);
    Tick(0);  // starts the clock
    EXPECT_EQ(panel->GetGIFFrame(), 0);
    Tick(350);
    EXPECT_EQ(panel->GetGIFFrame(), 3);
    Tick(49);
    EXPECT_EQ(panel->GetGIFFrame(), 3);
    Tick(1);  // 50 ms after the catch-up
    EXPECT_EQ(panel->GetGIFFrame(), 4);
    Tick(100);
    EXPECT_EQ(panel->GetGIFFrame(), 0);
    // A tick hours late lands within the animation at once.
    Tick(3.6e9 + 250);
    EXPECT_GE(panel->GetGIFFrame(), 0);
    EXPECT_LT(panel->GetGIFFrame(), 5);
}

TEST_F(GifTest, MissingOrZeroDelayMeansOneHundredMilliseconds)
{
    panel->SetNimbrelMode(5);
    panel->SetGIFImage(Write({{1, -1}, {2, -1}, {3, -1}}, L"fx_nodelay.gif"));
    ASSERT_EQ(panel->GetGIFFrameCount(), 3);
    EXPECT_DOUBLE_EQ(panel->GetGIFDelay(), 100.0);
    Tick(0);
    Tick(99);
    EXPECT_EQ(panel->GetGIFFrame(), 0);
    Tick(1);
    EXPECT_EQ(panel->GetGIFFrame(), 1);

    panel->SetGIFImage(Write({{2, 10}}, L"fx_one.gif"));
    EXPECT_EQ(panel->GetGIFFrameCount(), 1);
    Tick(0);
    Tick(5000);
    EXPECT_EQ(panel->GetGIFFrame(), 0);

    panel->SetGIFImage(L"C:\\no\\such.gif");
    EXPECT_EQ(panel->GetGIFFrameCount(), 0);
    Tick(500);
    EXPECT_EQ(panel->GetGIFFrame(), 0);
}

TEST_F(GifTest, DisplaySizeFollowsTheScale)
{
    panel->SetGIFImage(Write({{1, 10}, {2, 10}}, L"fx_scale.gif"));
    panel->SetGIFDisplayParams(5, 6, 2.5f);
    EXPECT_EQ(panel->GetGIFDisplaySize().cx, 20);
    panel->SetGIFScale(0.5f);
    EXPECT_EQ(panel->GetGIFDisplaySize().cy, 4);
}

// A UI-thread ClearItem never frees records a worker is reading: the worker
// holds the key-item lock while it reads what GetKeyItems handed out.
TEST_F(EffectTest, KeyItemsSurviveAClearWhileTheWorkerReads)
{
    AddGrid(19, 6);
    std::atomic<bool> stop(false);
    std::atomic<long> reads(0);
    std::thread worker([&] {
        while (!stop) {
            panel->EnterCriSec();
            std::vector<WEXA::KEYITEM_INFO*> items = panel->GetKeyItems();
            unsigned long sum = 0;
            for (WEXA::KEYITEM_INFO* item : items)
                sum += item->keyCode + item->color + item->name.GetLength();
            panel->LeaveCriSec();
            reads += sum ? 1 : 1;
        }
    });
    while (reads == 0) Sleep(1);
    for (int round = 0; round < 300; ++round) {
        if (round % 10 == 0) Sleep(1);
        panel->ClearItem();
        for (int k = 0; k < 40; ++k)
            panel->AddKeyItem(L"K", 1000 + k, CRect(0, 0, 40, 40), k % 19, k / 19);
    }
    stop = true;
    worker.join();
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(panel->GetKeyItems().size(), 40u);
}

TEST_F(EffectTest, APanelResizedWhileItPaintsPaintsIntoThePictureItMade)
{
    // The worker lays a new model out (a hot-plug) while the panel paints its
    // key colours: layouts differ in size, and each paint must stay inside
    // the picture it made for the size it read.
    AddGrid(19, 6);
    panel->SetNimbrelMode(2);  // drawn on black: every pixel of the picture is written
    std::atomic<bool> stop(false);
    std::atomic<long> resizes(0);
    std::thread hotplug([&] {
        for (bool big = false; !stop; big = !big, ++resizes)
            panel->SetRect(big ? CRect(0, 0, 1000, 400) : CRect(0, 0, 8, 4));
    });
    while (resizes == 0) Sleep(1);
    for (int paint = 0; paint < 400; ++paint) panel->DrawHideControl();
    stop = true;
    hotplug.join();
    // Still whole: the full size paints and samples as before.
    panel->SetRect(CRect(0, 0, 1000, 400));
    panel->DrawHideControl();
    EXPECT_EQ(panel->GetKeyItems().size(), 19u * 6u);
}

}  // namespace effecttest
