#pragma once
// The two consumers that the audio capture feeds besides the visualiser: the
// lighting effect engine and the matrix-screen preview. Both live in the UI
// library; the main window connects each to its widget through a small adapter
// that forwards these calls. Every call arrives on the capture thread; an
// implementation copies what it is given and keeps no pointer.

// Receives level, spectrum and beat data (the lighting effect engine).
class IAudioEffectSink
{
public:
    virtual ~IAudioEffectSink() = default;
    // volume, peak and average 0..1, amplitude percent 0..100, rms >= 0.
    virtual void SetExternalAudioData(float volume, float peak, float average, int amplitudePercent,
                                      float rms) = 0;
    // 32 and 64 band energies (0..1); either pointer may be null.
    virtual void SetFFTSpectrum(const float* bands32, const float* bands64) = 0;
    // Beat flag and strength, tempo in beats per minute, bass, mid and high energy.
    virtual void SetBeatData(bool beat, float strength, float tempo, float bass, float mid,
                             float high) = 0;
};

// Receives band levels, a volume factor and the wave block (the matrix-screen preview).
class IAudioMatrixSink
{
public:
    virtual ~IAudioMatrixSink() = default;
    virtual void SetAudioData(const float* levels, int count) = 0;
    virtual void SetMasterVolume(float volume) = 0;
    virtual void SetInputWave(const float* samples, int count) = 0;
};
