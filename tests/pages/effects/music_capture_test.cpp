// Music the lights hear, through the real capture path: a tone played into the
// test run's sound server reaches the main window's audio capture (the
// monitor of the sink it is played into, this host having no loopback), and
// from there the music light layer of the effect page and the matrix screen's
// music animation, as the window itself wires them at start-up. What they draw
// and what the worker streams to the keyboard follow the tone; in silence they
// rest.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "EffectFixture.h"
#include "MComboBox.h"
#include "MatrixScreen.h"
#include "NimbrelEffect.h"
#include "TonePlayer.h"
#include "mainwnd/device/DeviceCommands.h"

namespace effecttest {
namespace {

using testutil::TonePlayer;

const int kEffectTab = 3;
const int kMatrixTab = 2;

bool HaveSoundServer()
{
    return GetEnvironmentVariableW(L"PULSE_SERVER", nullptr, 0) > 0;
}

// An RGB565 value that is clearly lit (not the unlit cells' dark grey).
bool Bright(uint16_t v)
{
    return ((v >> 11) & 31) >= 8 || ((v >> 5) & 63) >= 16 || (v & 31) >= 8;
}

bool Bright(COLORREF c)
{
    return GetRValue(c) >= 64 || GetGValue(c) >= 64 || GetBValue(c) >= 64;
}

class MusicCapture : public PageTest
{
protected:
    explicit MusicCapture(const char* model) : PageTest(model) {}

    // The capture records the sound server's recording device: the monitor of
    // the sink the tone goes into. The consumers stay as the window set them.
    void ListenToTheSoundServer()
    {
        Dlg().SetCaptureSource(KeyboardAudio::CaptureSource::DefaultRecording);
        Dlg().StartCapture();
        ASSERT_TRUE(Dlg().HasClient()) << "the sound server's monitor could not be opened";
    }

    // The most lit items seen over a while, pumping the window meanwhile.
    int MostLit(DWORD milliseconds, const std::function<int()>& count)
    {
        int most = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            most = std::max(most, count());
            h.Pump(50);
        }
        return most;
    }
    // Waits (pumping) until count() drops to at most `limit`.
    bool RestsAtMost(int limit, const std::function<int()>& count, DWORD timeoutMs)
    {
        return h.PumpUntil([&] { return count() <= limit; }, timeoutMs);
    }

    // A combo's choice as the page takes it (the drop-down's own clicks are
    // the combo tests' concern).
    void ChooseFromCombo(UINT id, long data)
    {
        auto* combo = Dlg().CtlAs<WEXA::MComboBox>(id);
        ASSERT_NE(nullptr, combo);
        ASSERT_GE(combo->FindData(data), 0) << "combo " << id << " lists no " << data;
        combo->SelectData(data);
        h.SendControlEvent(id, 2);
        h.Pump(30);
    }
};

class MusicLayerCapture : public MusicCapture
{
protected:
    MusicLayerCapture() : MusicCapture("Kestrova-K87") {}

    WEXA::NimbrelEffect* Panel() { return Dlg().CtlAs<WEXA::NimbrelEffect>(59); }
    // Keys the panel drew lit (their colour is sampled from its picture).
    int DrawnLit()
    {
        int lit = 0;
        Panel()->EnterCriSec();
        for (const WEXA::KEYITEM_INFO* item : Panel()->GetKeyItems())
            if (item->keyCode < 300 && Bright(item->color)) ++lit;
        Panel()->LeaveCriSec();
        return lit;
    }
    // Keys the keyboard's last effect frame shows lit.
    int StreamedLit()
    {
        std::vector<int> leds;
        Panel()->EnterCriSec();
        for (const WEXA::KEYITEM_INFO* item : Panel()->GetKeyItems()) {
            auto it = Dlg().m_keyMaps.keyCodeToLed.find(int(item->keyCode));
            if (item->keyCode < 300 && it != Dlg().m_keyMaps.keyCodeToLed.end())
                leds.push_back(it->second);
        }
        Panel()->LeaveCriSec();
        const std::vector<uint8_t> frame = LastEffectFrame();
        int lit = 0;
        for (int led : leds)
            if (Bright(LedValue(frame, led))) ++lit;
        return lit;
    }
};

TEST_F(MusicLayerCapture, LayerDrawsAndStreamsATone)
{
    if (!HaveSoundServer())
        GTEST_SKIP() << "No sound server in this run: the capture of a played tone is not tested";
    ASSERT_NO_FATAL_FAILURE(ListenToTheSoundServer());
    OpenTab(kEffectTab);
    ClickTabItem(242, 1);  // music light layers, the LED spectrum layer on
    ASSERT_EQ(2, Dlg().m_effectMode);
    ASSERT_TRUE(h.PumpUntil([&] { return EffectFrames() > 3; }, 3000));

    auto both = [&] { return std::min(DrawnLit(), StreamedLit()); };
    const int silentDrawn = MostLit(1000, [&] { return DrawnLit(); });
    const int silentStreamed = MostLit(300, [&] { return StreamedLit(); });
    EXPECT_FLOAT_EQ(0.0f, Panel()->GetCurrentVolume()) << "silence heard as sound";

    // A chord over several octaves: a single sine fills one or two of the
    // spectrum's bars, too few keys to tell from noise.
    TonePlayer tone;
    ASSERT_TRUE(tone.Start({110.0, 220.0, 440.0, 880.0, 1760.0, 3520.0, 7040.0}, 6.0))
        << "cannot play into the sound server";
    float loudest = 0;
    const int playing = MostLit(3000, [&] {
        loudest = std::max(loudest, Panel()->GetCurrentVolume());
        return both();
    });
    tone.Stop();
    RecordProperty("keys_lit_silent", silentStreamed);
    RecordProperty("keys_lit_tone", playing);
    EXPECT_GT(loudest, 0.1f) << "the panel never heard the tone";
    EXPECT_GT(playing, std::max(silentDrawn, silentStreamed) + 5)
        << "the tone neither lights the drawn layer nor reaches the keyboard";

    // Silence again: the layer sinks back to rest, on the panel and the keyboard.
    EXPECT_TRUE(RestsAtMost(
        silentDrawn, [&] { return DrawnLit(); }, 5000));
    EXPECT_TRUE(RestsAtMost(
        silentStreamed, [&] { return StreamedLit(); }, 3000));
}

class MatrixMusicCapture : public MusicCapture
{
protected:
    MatrixMusicCapture() : MusicCapture("Kestrova-K80-Matrix") {}

    WEXA::MatrixScreen* Screen() { return Dlg().CtlAs<WEXA::MatrixScreen>(277); }
    int DrawnLit()
    {
        int lit = 0;
        for (const WEXA::MATRIXITEM_INFO* cell : Screen()->GetKeyItems())
            if (Bright(cell->color)) ++lit;
        return lit;
    }
    int StreamedLit()
    {
        std::vector<uint8_t> frame;
        WithWorkerPaused([&] { frame = keyboard->Block(DeviceCommand::kMatrixFrame); });
        int lit = 0;
        for (size_t i = 0; i + 1 < frame.size() && i < 98; i += 2)
            if (Bright(uint16_t(frame[i] | frame[i + 1] << 8))) ++lit;
        return lit;
    }
};

TEST_F(MatrixMusicCapture, PulseAnimationDrawsAndStreamsATone)
{
    if (!HaveSoundServer())
        GTEST_SKIP() << "No sound server in this run: the capture of a played tone is not tested";
    ASSERT_NO_FATAL_FAILURE(ListenToTheSoundServer());
    OpenTab(kMatrixTab);
    // The preset mode with the pulse animation.
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(289, 128));
    ASSERT_NO_FATAL_FAILURE(ChooseFromCombo(279, 24));
    ASSERT_EQ(24, Screen()->GetPresetMode());
    const int frames = MatrixFrames();
    ASSERT_TRUE(h.PumpUntil([&] { return MatrixFrames() > frames + 3; }, 3000));

    // In silence the pulse stands still on a dark grid.
    const int silentDrawn = MostLit(1000, [&] { return DrawnLit(); });
    const int silentStreamed = MostLit(300, [&] { return StreamedLit(); });
    EXPECT_EQ(0, silentDrawn);
    EXPECT_EQ(0, silentStreamed);

    TonePlayer tone;
    ASSERT_TRUE(tone.Start(440.0, 6.0)) << "cannot play into the sound server";
    const int drawn = MostLit(2500, [&] { return DrawnLit(); });
    const int streamed = MostLit(500, [&] { return StreamedLit(); });
    tone.Stop();
    RecordProperty("cells_lit_tone", streamed);
    EXPECT_GT(drawn, 3) << "the preview's pulse does not follow the tone";
    EXPECT_GT(streamed, 3) << "the tone's pulse does not reach the keyboard";

    EXPECT_TRUE(RestsAtMost(
        0, [&] { return DrawnLit(); }, 4000));
    EXPECT_TRUE(RestsAtMost(
        0, [&] { return StreamedLit(); }, 3000));
}

}  // namespace
}  // namespace effecttest
