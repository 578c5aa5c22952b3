// Conditioning and publishing of the capture step, driven by synthetic packets
// through the same capture path that reads a real endpoint.
#include <gtest/gtest.h>

#include <cmath>

#include "AudioTestDoubles.h"
#include "services/audio/KeyboardAudio.h"
#include "services/audio/Visualizer.h"

using namespace audiotest;

namespace {

DWORD g_now = 0;
DWORD FakeTicks()
{
    return g_now;
}

class CaptureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_now = 1000;
        audio.SetTickSource(FakeTicks);
        audio.SetEffect(&effect);
        audio.SetMatrixScreen(&matrix);
        audio.SetWaveGain(1);
    }
    void Attach(const WAVEFORMATEX* format) { ASSERT_TRUE(audio.AttachStream(&client, format)); }
    void AttachMonoFloat()
    {
        WAVEFORMATEX f = PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 48000, 32);
        Attach(&f);
    }
    // One capture step after `ms` milliseconds.
    void Step(DWORD ms = 16)
    {
        g_now += ms;
        audio.CaptureStep();
    }
    std::vector<float> Wave()
    {
        std::lock_guard<std::mutex> l(matrix.lock);
        return matrix.wave;
    }

    CallLog log;
    RecordingEffect effect{&log};
    RecordingMatrix matrix{&log};
    FakeCaptureClient client;
    KeyboardAudio audio;
};

// Mean of four consecutive values, scaled by 2 x gain, written twice per wave pair.
TEST_F(CaptureTest, PacketOf1024FramesReplacesTheWholeWave)
{
    AttachMonoFloat();
    std::vector<float> values(1024);
    for (int i = 0; i < 1024; ++i)
        values[i] = float(i % 8) / 100.0f;  // pairs of fours: 0.015, 0.055
    client.Add(values, 1024);
    Step();

    std::vector<float> wave = Wave();
    ASSERT_EQ(512u, wave.size());
    for (int p = 0; p < 256; ++p) {
        float expected = 2.0f * (p % 2 == 0 ? 0.015f : 0.055f);
        EXPECT_NEAR(expected, wave[2 * p], 1e-6) << "pair " << p;
        EXPECT_EQ(wave[2 * p], wave[2 * p + 1]) << "pair " << p;
    }
}

TEST_F(CaptureTest, SmallPacketShiftsTheWaveAndWritesItsSamplesAtTheEnd)
{
    AttachMonoFloat();
    client.AddConstant(0.1f, 1024);
    client.AddConstant(0.2f, 40);  // k = 10: shift by 10 pairs, write pairs 246..255
    Step();
    std::vector<float> wave = Wave();
    for (int p = 0; p < 246; ++p) EXPECT_FLOAT_EQ(0.2f, wave[2 * p]) << "pair " << p;
    for (int p = 246; p < 256; ++p) EXPECT_FLOAT_EQ(0.4f, wave[2 * p]) << "pair " << p;
}

TEST_F(CaptureTest, TwoFramePacketFeedsTheLevelButNotTheWave)
{
    AttachMonoFloat();
    client.AddConstant(0.125f, 2);  // k = 0: no shift, writing would start at pair 256
    Step();
    for (float v : Wave()) EXPECT_EQ(0.0f, v);
    EXPECT_FLOAT_EQ(1.0f, effect.Last().volume);  // rms 0.25 -> sqrt(4 x 0.25)
    EXPECT_FLOAT_EQ(0.25f, effect.Last().rms);
}

TEST_F(CaptureTest, LevelFromRms)
{
    struct Case
    {
        float sample;  // with wave gain 1, v = 2 x sample = rms of a constant packet
        float level;
        int percent;  // level x 100 in single precision, truncated
    } cases[] = {
        {0.125f, 1.0f, 100},    // rms 0.25 -> 1.0
        {0.00495f, 0.0f, 0},    // rms 0.0099 -> below the floor
        {0.03125f, 0.5f, 50},   // rms 0.0625 -> sqrt(0.25)
        {0.5f, 1.0f, 100},      // limited to 1
        {-0.03125f, 0.5f, 50},  // sign does not matter
        // rms 0.021025 -> level 0.29f; 0.29f x 100 rounds to 29.0f in single
        // precision (carried at higher precision it would truncate to 28).
        {0.0105125f, 0.29f, 29},
        // rms 0.035344 -> level 0.376: 37.6 is truncated, not rounded.
        {0.017672f, 0.376f, 37},
    };
    AttachMonoFloat();
    for (const Case& c : cases) {
        client.AddConstant(c.sample, 64);
        Step();
        EXPECT_NEAR(c.level, effect.Last().volume, 1e-6) << "sample " << c.sample;
        EXPECT_EQ(c.percent, effect.Last().percent) << "sample " << c.sample;
    }
}

TEST_F(CaptureTest, PeakAndAveragePublishedOneStepLateAndPeakDecays)
{
    AttachMonoFloat();
    client.AddConstant(0.125f, 64);  // level 1, largest |v| 0.25 -> peak 1
    Step();
    EXPECT_EQ(0.0f, effect.Last().peak);
    EXPECT_EQ(0.0f, effect.Last().average);

    float expectedPeak = 1.0f;
    for (int i = 0; i < 4; ++i) {
        client.AddConstant(0.0f, 64);  // silence being played: level 0
        Step();
        EXPECT_NEAR(expectedPeak, effect.Last().peak, 1e-6) << "step " << i;
        EXPECT_NEAR(1.0f / 64.0f, effect.Last().average, 1e-7);
        EXPECT_EQ(0.0f, effect.Last().volume);
        expectedPeak *= 0.95f;
    }
    EXPECT_NEAR(0.95f * 0.95f * 0.95f * 0.95f, audio.GetPeak(), 1e-6);  // stored for the next step
}

TEST_F(CaptureTest, StepWithoutPacketsPublishesNothing)
{
    AttachMonoFloat();
    client.AddConstant(0.125f, 64);
    Step();
    log.Take();
    Step();
    Step();
    EXPECT_TRUE(log.Take().empty());
    EXPECT_FLOAT_EQ(1.0f, audio.GetLevel());  // keeps the last value
}

TEST_F(CaptureTest, PublishesToEveryConsumerInOrder)
{
    Visualizer visualizer;
    audio.SetVisualizer(&visualizer);
    AttachMonoFloat();
    client.AddConstant(0.03125f, 64);  // level 0.5
    Step(0);                           // first publish: dt = the tick count, 1.0 s

    std::vector<std::string> expected = {"matrix.SetAudioData",   "matrix.SetMasterVolume",
                                         "matrix.SetInputWave",   "effect.SetExternalAudioData",
                                         "effect.SetFFTSpectrum", "effect.SetBeatData"};
    EXPECT_EQ(expected, log.Take());
    EXPECT_TRUE(visualizer.IsDataReady());
    EXPECT_EQ(1.0f, matrix.masterVolume);

    // Band i: phase starts at 0.5 i and advances by dt x (2 + 0.5 i); weights 1.2, 1.0, 0.8.
    const float weights[7] = {1.2f, 1.2f, 1.2f, 1.0f, 1.0f, 0.8f, 0.8f};
    ASSERT_EQ(7u, matrix.bands.size());
    for (int i = 0; i < 7; ++i) {
        double phase = 0.5 * i + 1.0 * (2.0 + 0.5 * i);
        double band = std::min(1.0, (1.0 + 0.3 * std::sin(phase)) * weights[i] * 0.5);
        EXPECT_NEAR(band, matrix.bands[i], 1e-5) << "band " << i;
    }

    // The next publish 250 ms later advances each phase by 0.25 x (2 + 0.5 i).
    client.AddConstant(0.03125f, 64);
    Step(250);
    for (int i = 0; i < 7; ++i) {
        double phase = 0.5 * i + 1.25 * (2.0 + 0.5 * i);
        double band = std::min(1.0, (1.0 + 0.3 * std::sin(phase)) * weights[i] * 0.5);
        EXPECT_NEAR(band, matrix.bands[i], 1e-5) << "band " << i;
    }

    // Without consumers nothing is called.
    log.Take();
    audio.SetEffect(nullptr);
    audio.SetMatrixScreen(nullptr);
    audio.SetVisualizer(nullptr);
    client.AddConstant(0.03125f, 64);
    Step();
    EXPECT_TRUE(log.Take().empty());
}

// The visualiser is fed last: when the effect engine gets its last call of the
// step, the visualiser has not been given the wave yet.
TEST_F(CaptureTest, VisualiserIsFedAfterTheOtherConsumers)
{
    struct ProbeEffect : RecordingEffect
    {
        explicit ProbeEffect(const Visualizer* v) : visualizer(v) {}
        void SetBeatData(bool beat, float strength, float tempo, float bass, float mid,
                         float high) override
        {
            readyAtLastCall = visualizer->IsDataReady();
            RecordingEffect::SetBeatData(beat, strength, tempo, bass, mid, high);
        }
        const Visualizer* visualizer;
        bool readyAtLastCall = true;
    };
    Visualizer visualizer;
    visualizer.Reset();
    ProbeEffect probe(&visualizer);
    audio.SetEffect(&probe);
    audio.SetVisualizer(&visualizer);
    AttachMonoFloat();
    client.AddConstant(0.03125f, 64);
    Step();
    ASSERT_EQ(1u, probe.History().size());
    EXPECT_FALSE(probe.readyAtLastCall);
    EXPECT_TRUE(visualizer.IsDataReady());
}

TEST_F(CaptureTest, SilentFlagTreatsThePacketAsZeros)
{
    AttachMonoFloat();
    client.AddConstant(0.5f, 1024, AUDCLNT_BUFFERFLAGS_SILENT);  // stale bytes behind the flag
    Step();
    EXPECT_EQ(0.0f, effect.Last().volume);
    EXPECT_EQ(0.0f, effect.Last().rms);
    for (float v : Wave()) EXPECT_EQ(0.0f, v);

    // A silent packet may come without a buffer at all.
    FakeCaptureClient::Packet p;
    p.frames = 8;
    p.flags = AUDCLNT_BUFFERFLAGS_SILENT;
    client.packets.push_back(p);
    client.AddConstant(0.125f, 8);
    Step();
    EXPECT_NEAR(std::sqrt(4.0f * std::sqrt(0.0625f / 2.0f)), effect.Last().volume, 1e-6);
}

// Every stream layout is read by what it is: 0.125 gives v = 0.25, level 1.
TEST_F(CaptureTest, StreamsAreReadByTheirSampleFormat)
{
    struct Case
    {
        const char* name;
        WAVEFORMATEXTENSIBLE format;
        Encoding encoding;
    } cases[] = {
        {"float tag", {PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32)}, Encoding::Float32},
        {"extensible float", ExtensibleFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32),
         Encoding::Float32},
        {"extensible pcm16", ExtensibleFormat(WAVE_FORMAT_PCM, 2, 48000, 16), Encoding::Pcm16},
        {"extensible pcm24", ExtensibleFormat(WAVE_FORMAT_PCM, 2, 44100, 24), Encoding::Pcm24},
        {"extensible pcm32", ExtensibleFormat(WAVE_FORMAT_PCM, 2, 48000, 32), Encoding::Pcm32},
        {"pcm16 tag", {PlainFormat(WAVE_FORMAT_PCM, 2, 48000, 16)}, Encoding::Pcm16},
    };
    for (const Case& c : cases) {
        FakeCaptureClient source;
        KeyboardAudio capture;
        RecordingEffect sink;
        capture.SetEffect(&sink);
        capture.SetWaveGain(1);
        ASSERT_TRUE(capture.AttachStream(&source, &c.format.Format)) << c.name;
        // 64 stereo frames; only the first 64 values are read (the frame count is the bound).
        std::vector<float> values(128, 0.125f);
        for (int i = 64; i < 128; ++i) values[i] = 0.9f;
        source.Add(values, 64, c.encoding);
        capture.CaptureStep();
        EXPECT_NEAR(1.0f, sink.Last().volume, 1e-4) << c.name;
        EXPECT_NEAR(0.25f, sink.Last().rms, 1e-4) << c.name;
        EXPECT_EQ(1, int(source.released.size())) << c.name;
    }
}

TEST_F(CaptureTest, UnknownSubformatIsNeverReadAsFloat)
{
    WAVEFORMATEXTENSIBLE f = ExtensibleFormat(0x1234, 2, 48000, 32);
    ASSERT_TRUE(audio.AttachStream(&client, &f.Format));
    client.AddConstant(0.125f, 64);
    Step();
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(1u, client.released.size());  // the packet is still released
}

TEST_F(CaptureTest, FailedReadReopensTheClientAndKeepsCollectedSamples)
{
    AttachMonoFloat();
    client.AddConstant(0.125f, 64);
    client.AddFailure(AUDCLNT_E_DEVICE_INVALIDATED, 32);
    client.AddConstant(0.5f, 64);  // not read: the client was closed
    Step();
    EXPECT_FLOAT_EQ(1.0f, effect.Last().volume);
    EXPECT_FALSE(audio.HasClient());  // no endpoint to re-open: the capture has no client
    EXPECT_EQ(1, client.refs);        // and released the one it had
    log.Take();
    Step();
    EXPECT_TRUE(log.Take().empty());
}

TEST_F(CaptureTest, EmptyReadWithZeroFramesKeepsTheClient)
{
    AttachMonoFloat();
    client.AddFailure(E_FAIL, 0);
    Step();
    EXPECT_TRUE(audio.HasClient());
}

// The spectrum analysis runs on every 2048 collected samples, without overlap.
TEST_F(CaptureTest, AnalysisRunsPerBlockOf2048Samples)
{
    AttachMonoFloat();
    client.AddConstant(0.5f, 4 * 2047);  // 2047 samples: no analysis yet
    Step();
    EXPECT_EQ(0.0f, effect.Last().bands32[0]);
    client.AddConstant(0.5f, 4);  // the 2048th sample
    Step();
    EXPECT_GT(effect.Last().bands32[0], 0.0f);  // a constant block shows in the lowest bands
    EXPECT_GT(effect.Last().bands32[3], 0.0f);
    EXPECT_NEAR(0.0f, effect.Last().bands32[10], 1e-3);
}

TEST_F(CaptureTest, RateOfTheStreamRebuildsTheAutomaticGain)
{
    EXPECT_EQ(48000.0f, audio.Analysis().AutoGain()->SampleRate());
    WAVEFORMATEX f = PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 44100, 32);
    Attach(&f);
    EXPECT_EQ(44100.0f, audio.Analysis().AutoGain()->SampleRate());
    // Back at 48000 Hz the weighting follows the stream again.
    WAVEFORMATEX g = PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32);
    Attach(&g);
    EXPECT_EQ(48000.0f, audio.Analysis().AutoGain()->SampleRate());
}

TEST(KeyboardAudioCom, AnswersOnlyItsInterfaces)
{
    KeyboardAudio audio;
    void* p = nullptr;
    EXPECT_EQ(S_OK, audio.QueryInterface(__uuidof(IMMNotificationClient), &p));
    EXPECT_EQ(static_cast<IMMNotificationClient*>(&audio), p);
    EXPECT_EQ(S_OK, audio.QueryInterface(__uuidof(IUnknown), &p));
    EXPECT_EQ(E_NOINTERFACE, audio.QueryInterface(__uuidof(IAudioClient), &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(1u, audio.AddRef());
    EXPECT_EQ(1u, audio.Release());
    EXPECT_EQ(S_OK, audio.OnDefaultDeviceChanged(eRender, eMultimedia, L"x"));
}

// Waits until the capture thread has begun `steps` more steps (each step of an
// empty stream reads the client once).
bool WaitForSteps(EmptyCaptureClient& capture, int steps)
{
    const int target = capture.getBufferCalls.load() + steps;
    for (int i = 0; i < 2000 && capture.getBufferCalls.load() < target; ++i) Sleep(1);
    return capture.getBufferCalls.load() >= target;
}

// The endpoint's mix format is used when it is float or extensible; any other
// mix format is replaced by 32-bit float stereo at 44100 Hz, which the stream
// is then initialised with.
TEST(KeyboardAudioLifecycle, MixFormatOrTheFallbackFormat)
{
    const WAVEFORMATEXTENSIBLE extensible = ExtensibleFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 96000, 32);
    const WAVEFORMATEX fallback = PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 44100, 32);
    struct Row
    {
        const char* name;
        WAVEFORMATEX mix;
        const WAVEFORMATEX* mixBytes;  // null: mix
        WAVEFORMATEX expected;
    } rows[] = {
        {"16-bit PCM mix", PlainFormat(WAVE_FORMAT_PCM, 2, 48000, 16), nullptr, fallback},
        {"8-bit mono PCM mix", PlainFormat(WAVE_FORMAT_PCM, 1, 22050, 8), nullptr, fallback},
        {"float mix", PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 48000, 32), nullptr,
         PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 48000, 32)},
        {"extensible mix", {}, &extensible.Format, extensible.Format},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeEnumerator enumerator;
        enumerator.device.client.SetMixFormat(row.mixBytes ? row.mixBytes : &row.mix);
        KeyboardAudio audio;
        audio.SetEnumeratorSource([&] { return enumerator.Hand(); });
        audio.StartCapture();
        ASSERT_TRUE(audio.HasClient());
        WAVEFORMATEX used = {};
        ASSERT_TRUE(audio.GetStreamFormat(&used));
        WAVEFORMATEX initialized = enumerator.device.client.Initialized();
        for (const WAVEFORMATEX* f : {&used, &initialized}) {
            EXPECT_EQ(row.expected.wFormatTag, f->wFormatTag);
            EXPECT_EQ(row.expected.nChannels, f->nChannels);
            EXPECT_EQ(row.expected.nSamplesPerSec, f->nSamplesPerSec);
            EXPECT_EQ(row.expected.wBitsPerSample, f->wBitsPerSample);
            EXPECT_EQ(row.expected.nBlockAlign, f->nBlockAlign);
            EXPECT_EQ(row.expected.nAvgBytesPerSec, f->nAvgBytesPerSec);
            EXPECT_EQ(row.expected.cbSize, f->cbSize);
        }
        EXPECT_EQ(DWORD(AUDCLNT_STREAMFLAGS_LOOPBACK), enumerator.device.client.streamFlags);
        EXPECT_EQ(float(row.expected.nSamplesPerSec), audio.Analysis().AutoGain()->SampleRate());
        audio.StopCapture();
        EXPECT_EQ(1, enumerator.refs.load());
        EXPECT_EQ(1, enumerator.device.refs.load());
        EXPECT_EQ(1, enumerator.device.client.refs.load());
    }
}

// The capture re-opens its endpoint when the default device of its own flow
// changes for the console role; other roles and the other flow are ignored.
// The endpoint asked for is always the console one.
TEST(KeyboardAudioLifecycle, DefaultDeviceChangeReopensForTheConsoleRoleOnly)
{
    using Source = KeyboardAudio::CaptureSource;
    struct Row
    {
        const char* name;
        Source source;
        EDataFlow flow;
        ERole role;
        bool reopens;
    } rows[] = {
        {"playback, console", Source::PlaybackLoopback, eRender, eConsole, true},
        {"playback, multimedia", Source::PlaybackLoopback, eRender, eMultimedia, false},
        {"playback, communications", Source::PlaybackLoopback, eRender, eCommunications, false},
        {"recording flow while playing back", Source::PlaybackLoopback, eCapture, eConsole, false},
        {"recording, console", Source::DefaultRecording, eCapture, eConsole, true},
        {"recording, multimedia", Source::DefaultRecording, eCapture, eMultimedia, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeEnumerator enumerator;
        const WAVEFORMATEX mix = PlainFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32);
        enumerator.device.client.SetMixFormat(&mix);
        KeyboardAudio audio;
        audio.SetCaptureSource(row.source);
        audio.SetEnumeratorSource([&] { return enumerator.Hand(); });
        audio.StartCapture();
        EmptyCaptureClient& capture = enumerator.device.client.capture;
        ASSERT_TRUE(WaitForSteps(capture, 1));
        const int before = enumerator.defaultRequests.load();
        EXPECT_EQ(1, before);
        EXPECT_EQ(audio.OnDefaultDeviceChanged(row.flow, row.role, L"{new}"), S_OK);
        // Two more steps: the second began after the notification.
        ASSERT_TRUE(WaitForSteps(capture, 2));
        EXPECT_EQ(before + (row.reopens ? 1 : 0), enumerator.defaultRequests.load());
        EXPECT_EQ(int(eConsole), enumerator.lastRole.load());
        EXPECT_EQ(int(row.source == Source::PlaybackLoopback ? eRender : eCapture),
                  enumerator.lastFlow.load());
        audio.StopCapture();
    }
}

// Loopback is not available under this host, so StartCapture finds no usable
// client; the thread still runs, and StopCapture / the destructor join it.
TEST(KeyboardAudioLifecycle, StartStopAndDestroyWhileRunning)
{
    RecordingEffect effect;
    {
        KeyboardAudio audio;
        audio.SetEffect(&effect);
        audio.StartCapture();
        EXPECT_TRUE(audio.IsCapturing());
        audio.StartCapture();  // a second start replaces the first thread
        EXPECT_TRUE(audio.IsCapturing());
        audio.StopCapture();
        EXPECT_FALSE(audio.IsCapturing());
        EXPECT_EQ(0.0f, audio.GetLevel());
        audio.StartCapture();
        Sleep(40);
        // Destroyed while capturing: the destructor joins the thread first.
    }
    SUCCEED();
}

}  // namespace
