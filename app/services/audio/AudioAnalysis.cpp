#include "services/audio/AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <new>

// ---- AudioSpectrum ----

AudioSpectrum::AudioSpectrum(int size) : m_size(size), m_log2(0), m_window(size), m_work(size)
{
    while ((1 << m_log2) < size) ++m_log2;
    for (int i = 0; i < size; ++i)
        m_window[i] = float(0.5 * (1.0 - std::cos(2.0 * M_PI * i / (size - 1))));
}

void AudioSpectrum::Compute(const float* samples, float* magnitudes)
{
    const int n = m_size;
    for (int i = 0; i < n; ++i) m_work[i] = std::complex<float>(samples[i] * m_window[i], 0.0f);

    // Bit-reversal permutation.
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(m_work[i], m_work[j]);
    }
    // Butterflies, twiddles by repeated multiplication.
    for (int len = 2; len <= n; len <<= 1) {
        double angle = -2.0 * M_PI / len;
        std::complex<float> step(float(std::cos(angle)), float(std::sin(angle)));
        int half = len >> 1;
        for (int start = 0; start < n; start += len) {
            std::complex<float> w(1.0f, 0.0f);
            for (int k = 0; k < half; ++k) {
                std::complex<float> u = m_work[start + k];
                std::complex<float> v = m_work[start + k + half] * w;
                m_work[start + k] = u + v;
                m_work[start + k + half] = u - v;
                w *= step;
            }
        }
    }
    const float scale = float(n);
    for (int i = 0; i < n / 2; ++i) {
        float re = m_work[i].real(), im = m_work[i].imag();
        magnitudes[i] = std::sqrt(re * re + im * im) / scale;
    }
}

// ---- AudioAutoGain ----

AudioAutoGain::AudioAutoGain(float sampleRate, float targetLevelDb)
    : m_sampleRate(sampleRate),
      m_targetLevel(targetLevelDb)
{
    for (int i = 0; i < kBins; ++i) {
        float f = float(i) * sampleRate / 2048.0f;
        float w = f < 100.0f ? (f / 100.0f) * (f / 100.0f) : 1.0f;
        if (f >= 1000.0f && f <= 4000.0f)
            w *= 1.0f + 0.5f * std::exp(-3.0f * std::fabs(std::log(f / 2000.0f)));
        if (f > 10000.0f) {
            float r = 10000.0f / f;
            w *= r * r;
        }
        m_weights[i] = w;
    }
}

float AudioAutoGain::WeightedLevel(const float* spectrum, int count) const
{
    int bins = std::min(count, int(kBins));
    float sumSquares = 0.0f, sumWeights = 0.0f;
    for (int i = 0; i < bins; ++i) {
        float v = spectrum[i] * m_weights[i];
        sumSquares += v * v;
        sumWeights += m_weights[i];
    }
    float r = sumWeights > 0.0f ? std::sqrt(sumSquares / sumWeights) : 0.0f;
    if (r > 1e-10f) return 10.0f * std::log10(r * r + 1e-10f) - 0.691f;
    return -70.0f;
}

void AudioAutoGain::Process(float* spectrum, int count)
{
    if (count <= 0) return;
    float level = WeightedLevel(spectrum, count);
    float wanted = m_gain;
    if (!(level < m_gateLevel)) {
        wanted = std::pow(10.0f, (m_targetLevel - level) / 20.0f);
        wanted = std::min(100.0f, std::max(0.1f, wanted));
    }
    m_gain = 0.95f * m_gain + (1.0f - 0.95f) * wanted;
    for (int i = 0; i < count; ++i) {
        float c = spectrum[i] * m_gain;
        if (c > 0.7f) {
            float over = c - 0.7f;
            c = 0.7f + over / (2.0f * over + 1.0f);
        }
        // The compression leaves up to 1.2: the loudest bins saturate at full scale.
        if (c > 1.0f) c = 1.0f;
        spectrum[i] = c;
    }
}

// ---- AudioAnalysis ----

AudioAnalysis::AudioAnalysis()
    : m_spectrumObject(new (std::nothrow) AudioSpectrum(kBlockSize)),
      m_autoGain(new (std::nothrow) AudioAutoGain(48000.0f, -18.0f))
{
    if (!m_spectrumObject || !m_autoGain) {
        m_spectrumObject.reset();
        m_autoGain.reset();
    }
}

AudioAnalysis::~AudioAnalysis() = default;

void AudioAnalysis::RebuildAutoGain(float sampleRate)
{
    m_autoGain.reset(new (std::nothrow) AudioAutoGain(sampleRate, -18.0f));
}

void AudioAnalysis::BandRange(int band, int count, int bins, int* lo, int* hi)
{
    float a = float(band) / float(count);
    float b = float(band + 1) / float(count);
    int l = int(a * a * a * float(bins));
    int h = int(b * b * b * float(bins));
    l = std::min(l, bins - 1);
    h = std::min(h, bins);
    h = std::max(h, l + 1);
    *lo = l;
    *hi = h;
}

void AudioAnalysis::ComputeBands(const float* spectrum, int bins, float* bands, int count)
{
    for (int i = 0; i < count; ++i) {
        int lo, hi;
        BandRange(i, count, bins, &lo, &hi);
        float sum = 0.0f;
        for (int k = lo; k < hi; ++k) sum += spectrum[k];
        float mean = sum / float(hi - lo);
        bands[i] = std::min(1.0f, std::max(0.0f, mean));
    }
}

void AudioAnalysis::Analyse(const float* block, DWORD now)
{
    if (!IsAvailable()) return;
    try {
        m_spectrumObject->Compute(block, m_spectrum);
        m_autoGain->Process(m_spectrum, kBins);
        ComputeBands(m_spectrum, kBins, m_bands32, 32);
        ComputeBands(m_spectrum, kBins, m_bands64, 64);
        if (m_bands32[0] != 0.0f || m_bands32[1] != 0.0f) {
            float sum = 0.0f;
            for (int i = 0; i <= 8; ++i) sum += m_bands32[i];
            m_bass = sum / 9.0f;
            sum = 0.0f;
            for (int i = 9; i <= 20; ++i) sum += m_bands32[i];
            m_mid = sum / 12.0f;
            sum = 0.0f;
            for (int i = 21; i <= 31; ++i) sum += m_bands32[i];
            m_high = sum / 11.0f;
        }
        DetectBeat(now);
    } catch (...) {
        // A failed analysis leaves the previous results in place.
    }
}

void AudioAnalysis::DetectBeat(DWORD now)
{
    const float* b = m_bands32;
    float e = (0.5f * b[0] * b[0] + b[1] * b[1] + b[2] * b[2] + b[3] * b[3] +
               0.3f * (b[4] * b[4] + b[5] * b[5])) /
              6.0f;
    m_energyHistory[m_energyIndex] = e;
    m_energyIndex = (m_energyIndex + 1) % kEnergyHistory;

    float sum = 0.0f;
    for (float v : m_energyHistory) sum += v;
    float mean = sum / float(kEnergyHistory);
    float var = 0.0f;
    for (float v : m_energyHistory) var += (v - mean) * (v - mean);
    float sd = std::sqrt(var / float(kEnergyHistory));
    float threshold = mean + 1.5f * sd;
    if (!(threshold > 0.01f)) threshold = 0.01f;

    DWORD sinceLast = now - m_lastBeatTime;
    if (e > threshold && sinceLast > 150) {
        m_beat = true;
        m_beatStrength = std::min(1.0f, (e - threshold) / (threshold + 0.01f));
        if (m_lastBeatTime != 0 && sinceLast >= 1 && sinceLast <= 1999) {
            float instant = 60000.0f / float(sinceLast);
            if (m_tempo == 0.0f)
                m_tempo = instant;
            else
                m_tempo = 0.8f * m_tempo + (1.0f - 0.8f) * instant;
            m_tempo = std::min(400.0f, std::max(30.0f, m_tempo));
        }
        m_lastBeatTime = now;
    } else if (sinceLast > 100) {
        m_beat = false;
        m_beatStrength *= 0.9f;
        if (m_beatStrength < 0.05f) m_beatStrength = 0.0f;
    }
}
