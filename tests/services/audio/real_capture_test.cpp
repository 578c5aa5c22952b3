// Real capture: the test run's private sound server has a null sink whose monitor
// is the default recording device. A 440 Hz tone is played into the sink and the
// capture thread records it back through the same conditioning and publishing as
// the loopback capture; only the endpoint differs (this host has no loopback).
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "AudioTestDoubles.h"
#include "services/audio/AudioAnalysis.h"
#include "services/audio/KeyboardAudio.h"

using namespace audiotest;

namespace {

// Plays a sine on the default playback device with waveOut.
class TonePlayer
{
public:
    ~TonePlayer() { Stop(); }
    bool Start(double frequency, double amplitude, DWORD rate, double seconds)
    {
        WAVEFORMATEX f = PlainFormat(WAVE_FORMAT_PCM, 1, rate, 16);
        if (waveOutOpen(&m_out, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            m_out = nullptr;
            return false;
        }
        m_samples.resize(size_t(rate * seconds));
        for (size_t i = 0; i < m_samples.size(); ++i)
            m_samples[i] = INT16(
                std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * frequency * i / rate)));
        m_header = WAVEHDR();
        m_header.lpData = reinterpret_cast<LPSTR>(m_samples.data());
        m_header.dwBufferLength = DWORD(m_samples.size() * sizeof(INT16));
        if (waveOutPrepareHeader(m_out, &m_header, sizeof(m_header)) != MMSYSERR_NOERROR)
            return false;
        return waveOutWrite(m_out, &m_header, sizeof(m_header)) == MMSYSERR_NOERROR;
    }
    void Stop()
    {
        if (!m_out) return;
        waveOutReset(m_out);
        waveOutUnprepareHeader(m_out, &m_header, sizeof(m_header));
        waveOutClose(m_out);
        m_out = nullptr;
    }

private:
    HWAVEOUT m_out = nullptr;
    WAVEHDR m_header = {};
    std::vector<INT16> m_samples;
};

bool HaveSoundServer()
{
    return GetEnvironmentVariableW(L"PULSE_SERVER", nullptr, 0) > 0;
}

float Median(std::vector<float> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1.0f : v[v.size() / 2];
}

// Waits until `count` publishes after `from` have arrived; returns them.
std::vector<EffectRecord> WaitForPublishes(RecordingEffect& effect, size_t from, size_t count,
                                           DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<EffectRecord> h = effect.History();
        if (h.size() >= from + count || GetTickCount() - start > timeoutMs)
            return std::vector<EffectRecord>(h.begin() + std::min(from, h.size()), h.end());
        Sleep(20);
    }
}

TEST(RealCapture, ToneThroughTheNullSinkShowsItsLevelAndBand)
{
    if (!HaveSoundServer())
        GTEST_SKIP() << "No PulseAudio server in this run (pulseaudio missing or not started by "
                        "scripts/test-env.d/pulseaudio.sh): real capture not tested";

    const double amplitude = 0.1;
    TonePlayer tone;
    ASSERT_TRUE(tone.Start(440.0, amplitude, 48000, 8.0)) << "cannot play into the null sink";

    RecordingEffect effect;
    RecordingMatrix matrix;
    KeyboardAudio audio;
    audio.SetCaptureSource(KeyboardAudio::CaptureSource::DefaultRecording);
    audio.SetWaveGain(1);
    audio.SetEffect(&effect);
    audio.SetMatrixScreen(&matrix);
    audio.StartCapture();
    ASSERT_TRUE(audio.HasClient()) << "the monitor of the null sink could not be opened";
    ASSERT_EQ(std::vector<std::wstring>{L"Default Loopback Device"}, audio.GetEndpointLabels());
    WAVEFORMATEX format = {};
    ASSERT_TRUE(audio.GetStreamFormat(&format));

    // The first packet comes about 1.1 s after the start; then every step publishes.
    std::vector<EffectRecord> got = WaitForPublishes(effect, 0, 60, 6000);
    ASSERT_GE(got.size(), 60u) << "too few publishes from the capture thread";

    // With wave gain 1, v = 2 x the mean of four values: rms 2 A / sqrt 2, level sqrt(4 rms).
    const float expectedLevel = float(std::sqrt(4.0 * 2.0 * amplitude / std::sqrt(2.0)));
    std::vector<float> levels;
    for (size_t i = got.size() - 30; i < got.size(); ++i) levels.push_back(got[i].volume);
    EXPECT_NEAR(expectedLevel, Median(levels), 0.03f);

    // Each spectrum sample is the mean of four values, so the analysed rate is
    // rate x channels / 4; the tone's bin is 440 x 2048 / that rate.
    const double analysedRate = format.nSamplesPerSec * double(format.nChannels) / 4.0;
    const double bin = 440.0 * 2048.0 / analysedRate;
    const EffectRecord& last = got.back();
    int expectedBand = -1;
    for (int b = 0; b < 32; ++b) {
        int lo = 0, hi = 0;
        AudioAnalysis::BandRange(b, 32, 1024, &lo, &hi);
        if (int(bin + 0.5) >= lo && int(bin + 0.5) < hi) expectedBand = b;
    }
    ASSERT_EQ(32u, last.bands32.size());
    int loudest =
        int(std::max_element(last.bands32.begin(), last.bands32.end()) - last.bands32.begin());
    EXPECT_EQ(expectedBand, loudest) << "tone bin " << bin << " of a " << format.nChannels
                                     << "-channel " << format.nSamplesPerSec << " Hz stream";
    EXPECT_GT(last.bands32[loudest], 0.0f);
    {
        std::lock_guard<std::mutex> l(matrix.lock);
        EXPECT_EQ(512u, matrix.wave.size());
        EXPECT_GT(matrix.waves, 50);
        float biggest = 0;
        for (float v : matrix.wave) biggest = std::max(biggest, std::fabs(v));
        EXPECT_NEAR(2.0 * amplitude, biggest, 0.02);
    }

    // A change of the default recording device is handed to the capture thread,
    // which re-opens the client and goes on publishing.
    size_t before = effect.History().size();
    audio.OnDefaultDeviceChanged(eCapture, eConsole, L"");
    std::vector<EffectRecord> after = WaitForPublishes(effect, before, 30, 6000);
    EXPECT_GE(after.size(), 30u);
    EXPECT_TRUE(audio.HasClient());
    if (!after.empty()) {
        EXPECT_NEAR(expectedLevel, after.back().volume, 0.05f);
    }

    audio.StopCapture();
    EXPECT_FALSE(audio.HasClient());
    size_t stopped = effect.History().size();
    Sleep(50);
    EXPECT_EQ(stopped, effect.History().size());
}

}  // namespace
