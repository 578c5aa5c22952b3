#pragma once
// Spectrum analysis of the captured system audio: a 2048-point magnitude
// spectrum, an automatic gain driven by a weighted loudness measure, 32 and 64
// band energies, bass / mid / high energies and a beat detector with a tempo
// estimate. Everything here runs on the capture thread.
#include <windows.h>

#include <complex>
#include <memory>
#include <vector>

// Windowed FFT of one block of mono samples.
class AudioSpectrum
{
public:
    explicit AudioSpectrum(int size = 2048);
    int Size() const { return m_size; }
    // Weights the block with a Hann window, transforms it and writes the
    // magnitudes of bins 0..size/2-1, each divided by the size.
    void Compute(const float* samples, float* magnitudes);

private:
    int m_size;
    int m_log2;
    std::vector<float> m_window;
    std::vector<std::complex<float>> m_work;
};

// Normalises a magnitude spectrum toward a target loudness.
class AudioAutoGain
{
public:
    static const int kBins = 1024;
    explicit AudioAutoGain(float sampleRate, float targetLevelDb = -18.0f);

    float SampleRate() const { return m_sampleRate; }
    float TargetLevel() const { return m_targetLevel; }
    float GateLevel() const { return m_gateLevel; }
    float Gain() const { return m_gain; }
    const float* Weights() const { return m_weights; }

    // Loudness of a spectrum in dB (-70 for silence).
    float WeightedLevel(const float* spectrum, int count) const;
    // Moves the gain toward the wanted gain and applies it, with compression
    // above 0.7 and a ceiling of 1, to every bin in place.
    void Process(float* spectrum, int count);

private:
    float m_sampleRate;
    float m_targetLevel;
    float m_gain = 1.0f;
    float m_gateLevel = -70.0f;
    float m_weights[kBins];
};

// The analysis state that the capture keeps and publishes.
class AudioAnalysis
{
public:
    static const int kBlockSize = 2048;
    static const int kBins = 1024;
    static const int kEnergyHistory = 43;

    AudioAnalysis();
    ~AudioAnalysis();

    // False when the spectrum or gain object could not be created; then
    // Analyse does nothing.
    bool IsAvailable() const { return m_spectrumObject && m_autoGain; }
    // Replaces the automatic gain by a fresh one for this sample rate (target -18 dB).
    void RebuildAutoGain(float sampleRate);
    const AudioAutoGain* AutoGain() const { return m_autoGain.get(); }

    // Analyses one block of kBlockSize mono samples; `now` is the tick count in ms.
    void Analyse(const float* block, DWORD now);

    const float* Spectrum() const { return m_spectrum; }
    const float* Bands32() const { return m_bands32; }
    const float* Bands64() const { return m_bands64; }
    float Bass() const { return m_bass; }
    float Mid() const { return m_mid; }
    float High() const { return m_high; }
    bool Beat() const { return m_beat; }
    float BeatStrength() const { return m_beatStrength; }
    float Tempo() const { return m_tempo; }
    DWORD LastBeatTime() const { return m_lastBeatTime; }

    // Band energies: band i is the mean of bins [lo, hi) with
    // lo = trunc((i / count)^3 x bins) and hi = trunc(((i + 1) / count)^3 x bins).
    static void ComputeBands(const float* spectrum, int bins, float* bands, int count);
    // The bin range [lo, hi) that band i of `count` bands reads.
    static void BandRange(int band, int count, int bins, int* lo, int* hi);

private:
    void DetectBeat(DWORD now);

    std::unique_ptr<AudioSpectrum> m_spectrumObject;
    std::unique_ptr<AudioAutoGain> m_autoGain;
    float m_spectrum[kBins] = {};
    float m_bands32[32] = {};
    float m_bands64[64] = {};
    float m_bass = 0, m_mid = 0, m_high = 0;
    float m_energyHistory[kEnergyHistory] = {};
    int m_energyIndex = 0;
    bool m_beat = false;
    float m_beatStrength = 0;
    float m_tempo = 0;
    DWORD m_lastBeatTime = 0;
};
