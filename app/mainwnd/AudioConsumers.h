#pragma once
// The audio capture's two widget consumers: the effect panel (music light
// layers) and the matrix-screen preview (its music animations). Each adapter
// forwards the capture thread's calls to its widget, which copies the values
// under its own audio lock (a leaf) and asks for no repaint: the widgets' ticks
// draw from those values. The widget pointer is an atomic so that the window
// can hand a widget over while the capture runs; the capture stops before the
// window deletes its widgets.
#include <atomic>

#include "services/audio/AudioSinks.h"

namespace WEXA {
class MatrixScreen;
class NimbrelEffect;
}  // namespace WEXA

class EffectAudioConsumer : public IAudioEffectSink
{
public:
    void Attach(WEXA::NimbrelEffect* panel) { m_panel.store(panel); }
    WEXA::NimbrelEffect* Panel() const { return m_panel.load(); }

    void SetExternalAudioData(float volume, float peak, float average, int amplitudePercent,
                              float rms) override;
    void SetFFTSpectrum(const float* bands32, const float* bands64) override;
    void SetBeatData(bool beat, float strength, float tempo, float bass, float mid,
                     float high) override;

private:
    std::atomic<WEXA::NimbrelEffect*> m_panel{nullptr};
};

class MatrixAudioConsumer : public IAudioMatrixSink
{
public:
    void Attach(WEXA::MatrixScreen* screen) { m_screen.store(screen); }
    WEXA::MatrixScreen* Screen() const { return m_screen.load(); }

    void SetAudioData(const float* levels, int count) override;
    void SetMasterVolume(float volume) override;
    void SetInputWave(const float* samples, int count) override;

private:
    static const int kBands = 7;
    static const int kWave = 512;
    std::atomic<WEXA::MatrixScreen*> m_screen{nullptr};
    float m_wave[kWave] = {};  // capture thread only
};
