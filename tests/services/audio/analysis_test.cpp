// Spectrum, automatic gain, bands and beat detection of the audio analysis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "services/audio/AudioAnalysis.h"

namespace {

const int kBlock = AudioAnalysis::kBlockSize;

std::vector<float> Tone(double frequency, double amplitude, double rate = 48000.0)
{
    std::vector<float> block(kBlock);
    for (int i = 0; i < kBlock; ++i)
        block[i] = float(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
    return block;
}

std::vector<float> Constant(float value)
{
    return std::vector<float>(kBlock, value);
}

int ArgMax(const float* values, int count)
{
    return int(std::max_element(values, values + count) - values);
}

TEST(AudioAnalysisTest, SilenceGivesMinus70DbAndMovesTheGainTowardItsLimit)
{
    AudioAnalysis analysis;
    ASSERT_TRUE(analysis.IsAvailable());
    std::vector<float> silence = Constant(0.0f);

    EXPECT_EQ(-70.0f,
              analysis.AutoGain()->WeightedLevel(std::vector<float>(1024, 0.0f).data(), 1024));
    analysis.Analyse(silence.data(), 5000);
    // gain = 0.95 x 1 + 0.050000012 x 100, every step rounded to single precision.
    EXPECT_EQ(5.9500008f, analysis.AutoGain()->Gain());
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(0.0f, analysis.Spectrum()[i]);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(0.0f, analysis.Bands32()[i]);
    EXPECT_FALSE(analysis.Beat());

    analysis.Analyse(silence.data(), 5050);
    EXPECT_EQ(10.652502f, analysis.AutoGain()->Gain());  // 0.95 x 5.9500008 + 5.0000012
}

// Magnitudes of the windowed transform, each divided by 2048. The Hann window
// spans 2047 intervals, so it sums to 1023.5 over the block: a constant 1 gives
// 1023.5 / 2048 in bin 0.
TEST(AudioSpectrumTest, HannWindowedMagnitudesOverTheBlockSize)
{
    AudioSpectrum spectrum;
    ASSERT_EQ(2048, spectrum.Size());
    std::vector<float> magnitudes(1024, -1.0f);
    std::vector<float> dc = Constant(1.0f);
    spectrum.Compute(dc.data(), magnitudes.data());
    EXPECT_NEAR(1023.5 / 2048.0, magnitudes[0], 2e-6);
    EXPECT_NEAR(0.25006095, magnitudes[1], 2e-6);
    EXPECT_NEAR(8.1486e-5, magnitudes[2], 2e-6);

    std::vector<float> tone = Tone(64 * 48000.0 / 2048.0, 1.0);  // a full-scale sine on bin 64
    spectrum.Compute(tone.data(), magnitudes.data());
    EXPECT_NEAR(0.24987792, magnitudes[64], 2e-6);
    EXPECT_NEAR(0.12503048, magnitudes[63], 2e-6);
    EXPECT_NEAR(0.12503048, magnitudes[65], 2e-6);
    EXPECT_NEAR(4.0736e-5, magnitudes[66], 2e-6);
}

// The gain rule on a full-scale sine on bin 64 (weighted level -37.75 dB: wanted
// gain 10^((-18 + 37.75) / 20) = 9.72, gain 0.95 + 0.05 x 9.72 = 1.436) and on the
// same sine at 1 % (-77.73 dB, below the gate: the gain stays 1). Values worked
// out from the window, weighting and gain formulas.
TEST(AudioAnalysisTest, GainRuleOnAKnownTone)
{
    struct Case
    {
        double amplitude;
        float level, gain, bin64, bin63;
    } cases[] = {
        {1.0, -37.752889f, 1.4359757f, 0.35881862f, 0.17954073f},
        {0.01, -77.730868f, 1.0f, 0.0024987792f, 0.0012503048f},
    };
    for (const Case& c : cases) {
        std::vector<float> tone = Tone(64 * 48000.0 / 2048.0, c.amplitude);
        AudioSpectrum spectrum;
        std::vector<float> raw(1024);
        spectrum.Compute(tone.data(), raw.data());
        AudioAnalysis analysis;
        EXPECT_NEAR(c.level, analysis.AutoGain()->WeightedLevel(raw.data(), 1024), 1e-3)
            << c.amplitude;
        analysis.Analyse(tone.data(), 5000);
        EXPECT_NEAR(c.gain, analysis.AutoGain()->Gain(), 2e-5) << c.amplitude;
        EXPECT_NEAR(c.bin64, analysis.Spectrum()[64], 2e-5) << c.amplitude;
        EXPECT_NEAR(c.bin63, analysis.Spectrum()[63], 2e-5) << c.amplitude;
    }
}

TEST(AudioAnalysisTest, SilenceKeepsBassMidAndHigh)
{
    AudioAnalysis analysis;
    std::vector<float> tone = Tone(48000.0 / 2048.0, 0.5);  // bin 1
    analysis.Analyse(tone.data(), 5000);
    float bass = analysis.Bass();
    EXPECT_GT(bass, 0.0f);
    std::vector<float> silence = Constant(0.0f);
    analysis.Analyse(silence.data(), 5100);
    EXPECT_EQ(bass, analysis.Bass());
}

// A tone on an exact bin: the spectrum peaks in that bin and the band that holds it
// (band i covers bins trunc((i/n)^3 x 1024) up to trunc(((i+1)/n)^3 x 1024), exclusive).
TEST(AudioAnalysisTest, PureToneLandsInItsBinAndBand)
{
    struct Case
    {
        int bin;
        int band32;
        int band64;
    } cases[] = {
        {4, 5, 10},      // band32 5: bins 3-5; band64 10: bins 3-4
        {26, 9, 19},     // band32 9: bins 22-30; band64 19: bins 26-30
        {64, 12, 25},    // band32 12: bins 54-67; band64 25: bins 61-67
        {300, 21, 42},   // band32 21: bins 289-331; band64 42: bins 289-309
        {1000, 31, 63},  // band32 31: bins 930-1023; band64 63: bins 976-1023
    };
    for (const Case& c : cases) {
        AudioAnalysis analysis;
        std::vector<float> tone = Tone(c.bin * 48000.0 / 2048.0, 0.5);
        analysis.Analyse(tone.data(), 5000);
        EXPECT_EQ(c.bin, ArgMax(analysis.Spectrum(), 1024)) << "bin " << c.bin;
        EXPECT_EQ(c.band32, ArgMax(analysis.Bands32(), 32)) << "bin " << c.bin;
        EXPECT_EQ(c.band64, ArgMax(analysis.Bands64(), 64)) << "bin " << c.bin;
    }
}

TEST(AudioAnalysisTest, BandEdges)
{
    struct Case
    {
        int band, count, lo, hi;
    } cases[] = {
        {0, 32, 0, 1},      {1, 32, 0, 1},       {2, 32, 0, 1}, {3, 32, 0, 2}, {9, 32, 22, 31},
        {21, 32, 289, 332}, {31, 32, 930, 1024}, {6, 64, 0, 1}, {7, 64, 1, 2}, {63, 64, 976, 1024},
    };
    for (const Case& c : cases) {
        int lo = -1, hi = -1;
        AudioAnalysis::BandRange(c.band, c.count, 1024, &lo, &hi);
        EXPECT_EQ(c.lo, lo) << c.band << "/" << c.count;
        EXPECT_EQ(c.hi, hi) << c.band << "/" << c.count;
    }
}

TEST(AudioAnalysisTest, ConstantBlockShowsInTheLowestBinsAndBands)
{
    AudioAnalysis analysis;
    std::vector<float> dc = Constant(0.5f);
    analysis.Analyse(dc.data(), 5000);
    const float* s = analysis.Spectrum();
    EXPECT_GT(s[0], 0.0f);
    EXPECT_GT(s[1], 0.0f);
    for (int i = 2; i < 1024; ++i) ASSERT_LT(s[i], s[0] * 1e-3f) << "bin " << i;
    for (int i = 0; i < 4; ++i) EXPECT_GT(analysis.Bands32()[i], 0.0f) << i;
    EXPECT_LT(analysis.Bands32()[4], analysis.Bands32()[0] * 1e-3f);
    for (int i = 0; i < 8; ++i) EXPECT_GT(analysis.Bands64()[i], 0.0f) << i;
    EXPECT_LT(analysis.Bands64()[8], analysis.Bands64()[0] * 1e-3f);
}

// After a quiet stretch the gain is high: a loud tone saturates its bins at 1
// instead of dropping them toward 0.
TEST(AudioAnalysisTest, LoudestBinsSaturateAtOne)
{
    AudioAnalysis analysis;
    std::vector<float> silence = Constant(0.0f);
    DWORD now = 5000;
    for (int i = 0; i < 40; ++i) analysis.Analyse(silence.data(), now += 43);
    ASSERT_GT(analysis.AutoGain()->Gain(), 50.0f);
    std::vector<float> tone = Tone(64 * 48000.0 / 2048.0, 1.0);
    analysis.Analyse(tone.data(), now += 43);
    EXPECT_EQ(1.0f, analysis.Spectrum()[64]);
    EXPECT_EQ(1.0f, analysis.Spectrum()[63]);
    for (int i = 0; i < 1024; ++i) ASSERT_LE(analysis.Spectrum()[i], 1.0f);
}

TEST(AudioAnalysisTest, CompressionAboveSevenTenths)
{
    AudioAutoGain gain(48000.0f);
    std::vector<float> spectrum(1024, 0.0f);
    spectrum[100] = 0.8f;
    spectrum[200] = 0.5f;
    gain.Process(spectrum.data(), 1024);
    auto compress = [](float c) {
        if (c > 0.7f) c = 0.7f + (c - 0.7f) / (2.0f * (c - 0.7f) + 1.0f);
        return std::min(1.0f, c);
    };
    const float g = gain.Gain();
    EXPECT_NEAR(compress(0.8f * g), spectrum[100], 1e-6);
    EXPECT_NEAR(compress(0.5f * g), spectrum[200], 1e-6);
    EXPECT_EQ(0.0f, spectrum[300]);
    // 0.7 + d / (2d + 1) tends to 1.2: values that pass 1 are held at 1.
    std::vector<float> loud(1024, 0.0f);
    loud[100] = 100.0f;
    gain.Process(loud.data(), 1024);
    EXPECT_EQ(1.0f, loud[100]);
}

TEST(AudioAnalysisTest, WeightingTable)
{
    AudioAutoGain gain(48000.0f);
    const float* w = gain.Weights();
    EXPECT_EQ(0.0f, w[0]);
    float f2 = 2 * 48000.0f / 2048.0f;  // 46.875 Hz
    EXPECT_NEAR((f2 / 100.0f) * (f2 / 100.0f), w[2], 1e-6);
    EXPECT_EQ(1.0f, w[10]);               // 234 Hz
    float f85 = 85 * 48000.0f / 2048.0f;  // 1992 Hz: the presence boost
    EXPECT_NEAR(1.0f + 0.5f * std::exp(-3.0f * std::fabs(std::log(f85 / 2000.0f))), w[85], 1e-5);
    float f1000 = 1000 * 48000.0f / 2048.0f;
    EXPECT_NEAR((10000.0f / f1000) * (10000.0f / f1000), w[1000], 1e-6);
}

// Beats: a click (a constant block) after silence; quiet blocks every 50 ms between.
class BeatTest : public ::testing::Test
{
protected:
    void Quiet(DWORD at) { analysis.Analyse(silence.data(), at); }
    void Click(DWORD at) { analysis.Analyse(click.data(), at); }

    AudioAnalysis analysis;
    std::vector<float> silence = Constant(0.0f);
    std::vector<float> click = Constant(0.5f);
};

TEST_F(BeatTest, LockOutOf150MsAndFlagClearedAfter100Ms)
{
    for (DWORD t = 9000; t < 10000; t += 50) Quiet(t);
    Click(10000);
    EXPECT_TRUE(analysis.Beat());
    EXPECT_GT(analysis.BeatStrength(), 0.0f);
    EXPECT_EQ(10000u, analysis.LastBeatTime());
    EXPECT_EQ(0.0f, analysis.Tempo());  // one beat: no tempo yet

    Quiet(10050);  // within 100 ms nothing changes
    EXPECT_TRUE(analysis.Beat());

    float strength = analysis.BeatStrength();
    Click(10120);  // 120 ms: locked out, and the flag is already cleared
    EXPECT_FALSE(analysis.Beat());
    EXPECT_EQ(10000u, analysis.LastBeatTime());
    EXPECT_FLOAT_EQ(strength * 0.9f, analysis.BeatStrength());

    Click(10160);  // 160 ms: fires; instant tempo 60000 / 160 = 375
    EXPECT_TRUE(analysis.Beat());
    EXPECT_FLOAT_EQ(375.0f, analysis.Tempo());
}

TEST_F(BeatTest, ClickTrackAt120BeatsPerMinute)
{
    DWORD t = 20000;
    for (int i = 0; i < 20; ++i) Quiet(t += 50);
    std::vector<DWORD> beats;
    for (int click = 0; click < 6; ++click) {
        t += 50;
        Click(t);
        if (analysis.Beat() && analysis.LastBeatTime() == t) beats.push_back(t);
        for (int q = 0; q < 9; ++q) Quiet(t += 50);  // 500 ms per click
    }
    EXPECT_EQ(6u, beats.size());
    EXPECT_NEAR(120.0f, analysis.Tempo(), 1e-3);

    // An interval of 2000 ms or more fires a beat but leaves the tempo.
    t += 2000;
    Click(t);
    EXPECT_TRUE(analysis.Beat());
    EXPECT_NEAR(120.0f, analysis.Tempo(), 1e-3);
}

TEST_F(BeatTest, StrengthDecaysToZero)
{
    for (DWORD t = 9000; t < 10000; t += 50) Quiet(t);
    Click(10000);
    DWORD t = 10000;
    for (int i = 0; i < 100 && analysis.BeatStrength() > 0.0f; ++i) Quiet(t += 50);
    EXPECT_EQ(0.0f, analysis.BeatStrength());
    EXPECT_FALSE(analysis.Beat());
}

TEST(AudioAnalysisTest, TempoBlendsIntervals)
{
    AudioAnalysis analysis;
    std::vector<float> silence = Constant(0.0f), click = Constant(0.5f);
    DWORD t = 30000;
    for (int i = 0; i < 20; ++i) analysis.Analyse(silence.data(), t += 50);
    analysis.Analyse(click.data(), t += 50);
    for (int q = 0; q < 9; ++q) analysis.Analyse(silence.data(), t += 50);
    analysis.Analyse(click.data(), t += 50);  // 500 ms: tempo 120
    EXPECT_FLOAT_EQ(120.0f, analysis.Tempo());
    for (int q = 0; q < 5; ++q) analysis.Analyse(silence.data(), t += 50);
    analysis.Analyse(click.data(), t += 50);  // 300 ms: instant 200
    EXPECT_NEAR(0.8f * 120.0f + 0.2f * 200.0f, analysis.Tempo(), 1e-3);
}

}  // namespace
