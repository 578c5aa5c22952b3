#include "mainwnd/AudioConsumers.h"

#include <cstring>

#include "MatrixScreen.h"
#include "NimbrelEffect.h"

void EffectAudioConsumer::SetExternalAudioData(float volume, float peak, float average,
                                               int amplitudePercent, float rms)
{
    if (WEXA::NimbrelEffect* panel = m_panel.load())
        panel->SetExternalAudioData(volume, peak, average, amplitudePercent, rms);
}

void EffectAudioConsumer::SetFFTSpectrum(const float* bands32, const float* bands64)
{
    if (WEXA::NimbrelEffect* panel = m_panel.load()) panel->SetFFTSpectrum(bands32, bands64);
}

void EffectAudioConsumer::SetBeatData(bool beat, float strength, float tempo, float bass, float mid,
                                      float high)
{
    if (WEXA::NimbrelEffect* panel = m_panel.load())
        panel->SetBeatData(beat, strength, tempo, bass, mid, high);
}

// The preview takes its inputs as writable arrays: it is given copies, so the
// capture's own buffers stay untouched.
void MatrixAudioConsumer::SetAudioData(const float* levels, int count)
{
    WEXA::MatrixScreen* screen = m_screen.load();
    if (!screen || !levels || count <= 0) return;
    float copy[kBands] = {};
    const int n = count < kBands ? count : kBands;
    std::memcpy(copy, levels, sizeof(float) * size_t(n));
    screen->SetAudioData(copy, n);
}

void MatrixAudioConsumer::SetMasterVolume(float volume)
{
    if (WEXA::MatrixScreen* screen = m_screen.load()) screen->SetMasterVolume(volume);
}

void MatrixAudioConsumer::SetInputWave(const float* samples, int count)
{
    WEXA::MatrixScreen* screen = m_screen.load();
    if (!screen) return;
    if (!samples || count <= 0) {
        screen->SetInputWave(nullptr, 0);
        return;
    }
    const int n = count < kWave ? count : kWave;
    std::memcpy(m_wave, samples, sizeof(float) * size_t(n));
    screen->SetInputWave(m_wave, n);
}
