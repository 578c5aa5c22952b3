#pragma once
// System-audio capture for the music lighting. KeyboardAudio records what the
// computer plays (the default playback endpoint in shared loopback mode) on a
// thread of its own, conditions the samples every 16 ms into a 512-value wave,
// a level with peak and average and 2048-sample blocks for the spectrum
// analysis, and pushes the results into the effect engine, the matrix-screen
// preview and the visualiser. It follows a change of the default device.
//
// Threads: StartCapture / StopCapture and the consumer and gain setters run on
// the main window's threads; the capture step, the analysis and the pushes run
// on the capture thread; OnDefaultDeviceChanged arrives on an audio-system
// thread and only raises a flag that the capture thread acts on, so the client
// objects are touched by one thread at a time. Consumers, the wave gain and the
// published level values are atomics; StopCapture joins the thread before it
// releases anything the thread uses.
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "services/audio/AudioAnalysis.h"
#include "services/audio/AudioSinks.h"

class Visualizer;

class KeyboardAudio : public IMMNotificationClient
{
public:
    static const int kWavePairs = 256;
    static const int kWaveLength = 512;
    static const int kHistory = 64;
    static const int kBands = 7;

    // Which endpoint the capture opens. The program records the default playback
    // device in loopback; a host without loopback support (a test rig) can record
    // the default recording device instead, through the same capture path.
    enum class CaptureSource { PlaybackLoopback, DefaultRecording };

    KeyboardAudio();
    virtual ~KeyboardAudio();
    KeyboardAudio(const KeyboardAudio&) = delete;
    KeyboardAudio& operator=(const KeyboardAudio&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IMMNotificationClient
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR deviceId, DWORD newState) override;
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR deviceId) override;
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR deviceId) override;
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                     LPCWSTR deviceId) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR deviceId,
                                                     const PROPERTYKEY key) override;

    // Opens the endpoint and starts the capture thread (which runs even when no
    // endpoint could be opened). A running capture is stopped first.
    void StartCapture();
    // Stops and joins the capture thread, then releases the client, the format,
    // the notification registration, the enumerator and the endpoints, and zeroes
    // the band values, level history, peak, average and level.
    void StopCapture();
    bool IsCapturing() const { return m_running.load(); }

    // Consumers (not owned; null = not fed).
    void SetMatrixScreen(IAudioMatrixSink* sink) { m_matrixScreen.store(sink); }
    void SetEffect(IAudioEffectSink* sink) { m_effect.store(sink); }
    void SetVisualizer(Visualizer* visualizer) { m_visualizer.store(visualizer); }

    // Multiplier of the wave handed on (270; the music page sets its amplitude).
    void SetWaveGain(int gain) { m_waveGain.store(gain); }
    int GetWaveGain() const { return m_waveGain.load(); }
    float GetMasterVolume() const { return m_masterVolume; }

    // Where StartCapture gets its device enumerator: a function returning one
    // reference, which the capture then owns (null: no enumerator). Unset, the
    // system's MMDeviceEnumerator. Only while the capture thread is not running.
    void SetEnumeratorSource(std::function<IMMDeviceEnumerator*()> source)
    {
        m_enumeratorSource = std::move(source);
    }

    void SetCaptureSource(CaptureSource source) { m_source = source; }
    CaptureSource GetCaptureSource() const { return m_source; }

    // Published values of the last capture step.
    float GetLevel() const { return m_level.load(); }
    float GetPeak() const { return m_peak.load(); }
    float GetAverage() const { return m_average.load(); }
    float GetRms() const { return m_rms.load(); }

    // Endpoint labels ("Default Loopback Device" / "Fallback Loopback Device").
    std::vector<std::wstring> GetEndpointLabels() const;
    // Whether a capture client is open, and a copy of its stream format.
    bool HasClient() const { return m_hasClient.load(); }
    bool GetStreamFormat(WAVEFORMATEX* format) const;

    // One capture step: drains every pending packet, then publishes when samples
    // arrived. The capture thread runs it every 16 ms.
    void CaptureStep();
    // Feeds the capture from this client and format instead of an opened
    // endpoint (synthetic streams); the same capture step reads it. Only while
    // the capture thread is not running.
    bool AttachStream(IAudioCaptureClient* client, const WAVEFORMATEX* format);
    // Millisecond clock of the publish timing and the beat detector
    // (GetTickCount by default).
    void SetTickSource(std::function<DWORD()> ticks) { m_ticks = std::move(ticks); }

    const AudioAnalysis& Analysis() const { return m_analysis; }

protected:
    // How the values of a packet are read.
    enum class SampleKind { Unsupported, Float32, Float64, Pcm8, Pcm16, Pcm24, Pcm32 };
    static SampleKind SampleKindOf(const WAVEFORMATEX* format);

private:
    HRESULT OpenClient();
    void CloseClient();
    void ReleaseEndpoints();
    void UseFormat(WAVEFORMATEX* format);
    void HandleDefaultDeviceChange();
    void CaptureLoop();
    void ProcessPacket(const BYTE* data, UINT32 frames, bool silent);
    void PublishAnalysis(float level);
    DWORD Now() const { return m_ticks ? m_ticks() : GetTickCount(); }
    EDataFlow Flow() const
    {
        return m_source == CaptureSource::PlaybackLoopback ? eRender : eCapture;
    }

    // Capture thread.
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::mutex m_wakeLock;
    std::condition_variable m_wake;

    // Consumers and settings written by other threads.
    std::atomic<IAudioMatrixSink*> m_matrixScreen{nullptr};
    std::atomic<IAudioEffectSink*> m_effect{nullptr};
    std::atomic<Visualizer*> m_visualizer{nullptr};
    std::atomic<int> m_waveGain{270};
    std::atomic<bool> m_deviceChanged{false};
    CaptureSource m_source = CaptureSource::PlaybackLoopback;
    std::function<DWORD()> m_ticks;
    std::function<IMMDeviceEnumerator*()> m_enumeratorSource;

    // Endpoint and client: StartCapture sets them up before the thread starts,
    // then only the capture thread touches them until StopCapture has joined it.
    IMMDeviceEnumerator* m_enumerator = nullptr;
    bool m_registered = false;
    std::vector<IMMDevice*> m_endpoints;
    std::vector<std::wstring> m_labels;
    mutable std::mutex m_labelsLock;
    unsigned m_currentEndpoint = 0;
    IAudioClient* m_audioClient = nullptr;
    IAudioCaptureClient* m_captureClient = nullptr;
    WAVEFORMATEX* m_format = nullptr;
    mutable std::mutex m_formatLock;  // guards m_format for GetStreamFormat
    SampleKind m_sampleKind = SampleKind::Unsupported;
    int m_bytesPerValue = 0;
    std::atomic<bool> m_hasClient{false};

    // Conditioning state (capture thread).
    float m_bandValues[kBands] = {};
    float m_bandPhases[kBands] = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f};
    DWORD m_lastPublish = 0;
    float m_masterVolume = 1.0f;
    float m_history[kHistory] = {};
    int m_historyIndex = 0;
    std::atomic<float> m_peak{0.0f};
    std::atomic<float> m_average{0.0f};
    std::atomic<float> m_level{0.0f};
    std::atomic<float> m_rms{0.0f};
    float m_wave[kWaveLength] = {};
    float m_spectrumInput[AudioAnalysis::kBlockSize] = {};
    int m_spectrumFill = 0;
    // Per-step accumulators.
    double m_stepSumSquares = 0.0;
    float m_stepMaxAbs = 0.0f;
    int m_stepCount = 0;

    AudioAnalysis m_analysis;
};
