#include "services/audio/KeyboardAudio.h"

#include <mmreg.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "services/audio/Visualizer.h"

namespace {

const wchar_t kDefaultLabel[] = L"Default Loopback Device";
const wchar_t kFallbackLabel[] = L"Fallback Loopback Device";
const DWORD kStepMs = 16;

// The media subtypes of WAVE_FORMAT_EXTENSIBLE share one GUID suffix.
bool IsSubtype(const GUID& guid, DWORD tag)
{
    static const BYTE suffix[8] = {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
    return guid.Data1 == tag && guid.Data2 == 0x0000 && guid.Data3 == 0x0010 &&
           std::memcmp(guid.Data4, suffix, 8) == 0;
}

template <typename T>
inline T ReadAt(const BYTE* p)
{
    T v;
    std::memcpy(&v, p, sizeof(T));
    return v;
}

}  // namespace

KeyboardAudio::KeyboardAudio() = default;

KeyboardAudio::~KeyboardAudio()
{
    StopCapture();
}

// ---- IUnknown / IMMNotificationClient ----

HRESULT STDMETHODCALLTYPE KeyboardAudio::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IMMNotificationClient))) {
        *object = static_cast<IMMNotificationClient*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The object lives as long as its owner: reference counting is a no-op.
ULONG STDMETHODCALLTYPE KeyboardAudio::AddRef()
{
    return 1;
}
ULONG STDMETHODCALLTYPE KeyboardAudio::Release()
{
    return 1;
}

HRESULT STDMETHODCALLTYPE KeyboardAudio::OnDeviceStateChanged(LPCWSTR, DWORD)
{
    return S_OK;
}
HRESULT STDMETHODCALLTYPE KeyboardAudio::OnDeviceAdded(LPCWSTR)
{
    return S_OK;
}
HRESULT STDMETHODCALLTYPE KeyboardAudio::OnDeviceRemoved(LPCWSTR)
{
    return S_OK;
}
HRESULT STDMETHODCALLTYPE KeyboardAudio::OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KeyboardAudio::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR)
{
    // Arrives on an audio-system thread while the capture thread may be reading
    // the old client: the capture thread re-opens at its next step.
    if (flow == Flow() && role == eConsole) m_deviceChanged.store(true);
    return S_OK;
}

// ---- Start and stop ----

void KeyboardAudio::StartCapture()
{
    if (m_thread.joinable() || m_running.load()) StopCapture();

    ReleaseEndpoints();
    m_currentEndpoint = 0;
    CloseClient();
    m_deviceChanged.store(false);

    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HRESULT hr = S_OK;
    if (m_enumeratorSource) {
        m_enumerator = m_enumeratorSource();
        if (!m_enumerator) hr = E_FAIL;
    } else {
        hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                              __uuidof(IMMDeviceEnumerator),
                              reinterpret_cast<void**>(&m_enumerator));
    }
    if (SUCCEEDED(hr) && m_enumerator) {
        m_registered = SUCCEEDED(m_enumerator->RegisterEndpointNotificationCallback(this));
        IMMDevice* device = nullptr;
        if (SUCCEEDED(m_enumerator->GetDefaultAudioEndpoint(Flow(), eConsole, &device)) && device) {
            m_endpoints.push_back(device);
            std::lock_guard<std::mutex> lock(m_labelsLock);
            m_labels.push_back(kDefaultLabel);
        } else {
            IMMDeviceCollection* collection = nullptr;
            UINT count = 0;
            if (SUCCEEDED(
                    m_enumerator->EnumAudioEndpoints(Flow(), DEVICE_STATE_ACTIVE, &collection)) &&
                collection) {
                if (SUCCEEDED(collection->GetCount(&count)) && count > 0 &&
                    SUCCEEDED(collection->Item(0, &device)) && device) {
                    m_endpoints.push_back(device);
                    std::lock_guard<std::mutex> lock(m_labelsLock);
                    m_labels.push_back(kFallbackLabel);
                }
                collection->Release();
            }
        }
        OpenClient();
    } else {
        m_enumerator = nullptr;
    }

    m_running.store(true);
    m_thread = std::thread(&KeyboardAudio::CaptureLoop, this);
}

void KeyboardAudio::StopCapture()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_running.store(false);
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();

    CloseClient();
    UseFormat(nullptr);
    if (m_enumerator) {
        if (m_registered) m_enumerator->UnregisterEndpointNotificationCallback(this);
        m_enumerator->Release();
        m_enumerator = nullptr;
    }
    m_registered = false;
    ReleaseEndpoints();
    m_currentEndpoint = 0;
    m_deviceChanged.store(false);

    std::fill(std::begin(m_bandValues), std::end(m_bandValues), 0.0f);
    std::fill(std::begin(m_history), std::end(m_history), 0.0f);
    m_historyIndex = 0;
    m_peak.store(0.0f);
    m_average.store(0.0f);
    m_level.store(0.0f);
}

void KeyboardAudio::CaptureLoop()
{
    HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    while (m_running.load()) {
        CaptureStep();
        std::unique_lock<std::mutex> lock(m_wakeLock);
        m_wake.wait_for(lock, std::chrono::milliseconds(kStepMs),
                        [this] { return !m_running.load(); });
    }
    if (SUCCEEDED(init)) CoUninitialize();
}

// ---- Endpoint and client ----

void KeyboardAudio::ReleaseEndpoints()
{
    for (IMMDevice* device : m_endpoints)
        if (device) device->Release();
    m_endpoints.clear();
    std::lock_guard<std::mutex> lock(m_labelsLock);
    m_labels.clear();
}

std::vector<std::wstring> KeyboardAudio::GetEndpointLabels() const
{
    std::lock_guard<std::mutex> lock(m_labelsLock);
    return m_labels;
}

void KeyboardAudio::CloseClient()
{
    if (m_audioClient) {
        m_audioClient->Stop();
        m_audioClient->Release();
        m_audioClient = nullptr;
    }
    if (m_captureClient) {
        m_captureClient->Release();
        m_captureClient = nullptr;
    }
    m_hasClient.store(false);
}

KeyboardAudio::SampleKind KeyboardAudio::SampleKindOf(const WAVEFORMATEX* format)
{
    if (!format) return SampleKind::Unsupported;
    const WORD bits = format->wBitsPerSample;
    bool isFloat = false, isPcm = false;
    if (format->wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        if (format->cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX))
            return SampleKind::Unsupported;
        const GUID& sub = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(format)->SubFormat;
        isFloat = IsSubtype(sub, WAVE_FORMAT_IEEE_FLOAT);
        isPcm = IsSubtype(sub, WAVE_FORMAT_PCM);
    } else {
        isFloat = format->wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
        isPcm = format->wFormatTag == WAVE_FORMAT_PCM;
    }
    if (isFloat) {
        if (bits == 32) return SampleKind::Float32;
        if (bits == 64) return SampleKind::Float64;
    } else if (isPcm) {
        switch (bits) {
            case 8: return SampleKind::Pcm8;
            case 16: return SampleKind::Pcm16;
            case 24: return SampleKind::Pcm24;
            case 32: return SampleKind::Pcm32;
            default: break;
        }
    }
    return SampleKind::Unsupported;
}

void KeyboardAudio::UseFormat(WAVEFORMATEX* format)
{
    std::lock_guard<std::mutex> lock(m_formatLock);
    if (m_format) CoTaskMemFree(m_format);
    m_format = format;
    m_sampleKind = SampleKindOf(format);
    m_bytesPerValue = format ? format->wBitsPerSample / 8 : 0;
}

bool KeyboardAudio::GetStreamFormat(WAVEFORMATEX* format) const
{
    std::lock_guard<std::mutex> lock(m_formatLock);
    if (!m_format || !format) return false;
    *format = *m_format;
    return true;
}

HRESULT KeyboardAudio::OpenClient()
{
    for (;;) {
        CloseClient();
        if (m_currentEndpoint < m_endpoints.size()) break;
        if (m_endpoints.empty()) return E_FAIL;
        m_currentEndpoint = 0;
    }

    IAudioClient* client = nullptr;
    HRESULT hr = m_endpoints[m_currentEndpoint]->Activate(
        __uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client));
    if (FAILED(hr) || !client) return FAILED(hr) ? hr : E_FAIL;

    WAVEFORMATEX* format = nullptr;
    hr = client->GetMixFormat(&format);
    if (FAILED(hr) || !format) {
        client->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    if (format->wFormatTag != WAVE_FORMAT_IEEE_FLOAT &&
        format->wFormatTag != WAVE_FORMAT_EXTENSIBLE) {
        CoTaskMemFree(format);
        format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
        if (!format) {
            client->Release();
            return E_OUTOFMEMORY;
        }
        format->wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
        format->nChannels = 2;
        format->nSamplesPerSec = 44100;
        format->wBitsPerSample = 32;
        format->nBlockAlign = 8;
        format->nAvgBytesPerSec = 8 * 44100;
        format->cbSize = 0;
    }
    UseFormat(format);

    const DWORD flags =
        m_source == CaptureSource::PlaybackLoopback ? AUDCLNT_STREAMFLAGS_LOOPBACK : 0;
    hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, 0, 0, format, nullptr);
    IAudioCaptureClient* capture = nullptr;
    if (SUCCEEDED(hr))
        hr = client->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture));
    if (SUCCEEDED(hr) && !capture) hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = client->Start();
    if (FAILED(hr)) {
        if (capture) capture->Release();
        client->Release();
        return hr;
    }
    m_audioClient = client;
    m_captureClient = capture;
    m_hasClient.store(true);

    // The weighting of the automatic gain depends on the stream's rate.
    const float rate = float(format->nSamplesPerSec);
    const AudioAutoGain* gain = m_analysis.AutoGain();
    if (m_analysis.IsAvailable() && (rate != 48000.0f || gain->SampleRate() != rate))
        m_analysis.RebuildAutoGain(rate);
    return S_OK;
}

bool KeyboardAudio::AttachStream(IAudioCaptureClient* client, const WAVEFORMATEX* format)
{
    if (m_running.load() || !client || !format) return false;
    size_t size =
        sizeof(WAVEFORMATEX) + (format->wFormatTag == WAVE_FORMAT_PCM ? 0 : format->cbSize);
    auto* copy = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(size));
    if (!copy) return false;
    std::memcpy(copy, format, size);
    if (format->wFormatTag == WAVE_FORMAT_PCM) copy->cbSize = 0;
    CloseClient();
    UseFormat(copy);
    client->AddRef();
    m_captureClient = client;
    m_hasClient.store(true);
    const float rate = float(format->nSamplesPerSec);
    const AudioAutoGain* gain = m_analysis.AutoGain();
    if (m_analysis.IsAvailable() && (rate != 48000.0f || gain->SampleRate() != rate))
        m_analysis.RebuildAutoGain(rate);
    return true;
}

void KeyboardAudio::HandleDefaultDeviceChange()
{
    if (!m_enumerator) return;
    ReleaseEndpoints();
    IMMDevice* device = nullptr;
    if (SUCCEEDED(m_enumerator->GetDefaultAudioEndpoint(Flow(), eConsole, &device)) && device) {
        m_endpoints.push_back(device);
        {
            std::lock_guard<std::mutex> lock(m_labelsLock);
            m_labels.push_back(kDefaultLabel);
        }
        OpenClient();
    }
}

// ---- Capture step ----

void KeyboardAudio::CaptureStep()
{
    if (m_deviceChanged.exchange(false)) HandleDefaultDeviceChange();
    if (!m_captureClient || !m_format) return;

    m_stepSumSquares = 0.0;
    m_stepMaxAbs = 0.0f;
    m_stepCount = 0;
    for (;;) {
        BYTE* data = nullptr;
        UINT32 frames = 0;
        DWORD flags = 0;
        HRESULT hr = m_captureClient->GetBuffer(&data, &frames, &flags, nullptr, nullptr);
        const bool silent = SUCCEEDED(hr) && (flags & AUDCLNT_BUFFERFLAGS_SILENT);
        if (FAILED(hr) || frames == 0 || (!data && !silent)) {
            if (SUCCEEDED(hr) && frames) m_captureClient->ReleaseBuffer(frames);
            if (frames != 0) OpenClient();
            break;
        }
        ProcessPacket(data, frames, silent);
        m_captureClient->ReleaseBuffer(frames);
    }
    if (m_stepCount == 0) return;

    const float rms = float(std::sqrt(m_stepSumSquares / m_stepCount));
    float level = 0.0f;
    if (!(rms < 0.01f)) level = std::min(1.0f, std::max(0.0f, std::sqrt(4.0f * rms)));
    m_rms.store(rms);
    m_level.store(level);

    PublishAnalysis(level);

    m_history[m_historyIndex] = level;
    m_historyIndex = (m_historyIndex + 1) % kHistory;
    float sum = 0.0f;
    for (float v : m_history) sum += v;
    m_average.store(sum * (1.0f / 64.0f));

    float newPeak = std::min(1.0f, std::max(0.0f, 4.0f * m_stepMaxAbs));
    float peak = m_peak.load();
    m_peak.store(newPeak > peak ? newPeak : peak * 0.95f);
}

void KeyboardAudio::ProcessPacket(const BYTE* data, UINT32 frames, bool silent)
{
    if (m_sampleKind == SampleKind::Unsupported) return;  // never read bytes of an unknown layout

    const int k = int(frames / 4);
    if (k > 0 && k < kWavePairs)
        std::memmove(m_wave, m_wave + 2 * k, sizeof(float) * (kWaveLength - 2 * k));
    int pos = k >= kWavePairs ? 0 : kWavePairs - k;
    const float gain = float(m_waveGain.load());
    const int stride = m_bytesPerValue;

    auto value = [&](UINT32 index) -> float {
        const BYTE* p = data + size_t(index) * stride;
        switch (m_sampleKind) {
            case SampleKind::Float32: return ReadAt<float>(p);
            case SampleKind::Float64: return float(ReadAt<double>(p));
            case SampleKind::Pcm8: return (float(p[0]) - 128.0f) / 128.0f;
            case SampleKind::Pcm16: return float(ReadAt<INT16>(p)) / 32768.0f;
            case SampleKind::Pcm24: {
                INT32 v = INT32(UINT32(p[0]) << 8 | UINT32(p[1]) << 16 | UINT32(p[2]) << 24) >> 8;
                return float(v) / 8388608.0f;
            }
            case SampleKind::Pcm32: return float(ReadAt<INT32>(p)) / 2147483648.0f;
            default: return 0.0f;
        }
    };

    for (UINT32 i = 0; i < frames; i += 4) {
        const UINT32 count = std::min<UINT32>(4, frames - i);
        float sum = 0.0f;
        if (!silent)
            for (UINT32 j = 0; j < count; ++j) sum += value(i + j);
        const float s = sum / float(count);
        const float v = 2.0f * s * gain;
        if (pos < kWavePairs) {
            m_wave[2 * pos] = v;
            m_wave[2 * pos + 1] = v;
            ++pos;
        }
        m_spectrumInput[m_spectrumFill++] = s;
        if (m_spectrumFill == AudioAnalysis::kBlockSize) {
            m_analysis.Analyse(m_spectrumInput, Now());
            m_spectrumFill = 0;
        }
        m_stepMaxAbs = std::max(m_stepMaxAbs, std::fabs(v));
        m_stepSumSquares += double(v) * double(v);
        ++m_stepCount;
    }
}

void KeyboardAudio::PublishAnalysis(float level)
{
    const DWORD now = Now();
    const float dt = float(now - m_lastPublish) / 1000.0f;
    m_lastPublish = now;
    for (int i = 0; i < kBands; ++i) {
        const float weight = i < 3 ? 1.2f : (i < 5 ? 1.0f : 0.8f);
        m_bandPhases[i] += dt * (2.0f + 0.5f * float(i));
        // Keep the phase small so that its sine stays precise over long runs.
        m_bandPhases[i] = std::fmod(m_bandPhases[i], float(2.0 * M_PI));
        float band = (1.0f + 0.3f * std::sin(m_bandPhases[i])) * weight * level;
        m_bandValues[i] = std::min(1.0f, std::max(0.0f, band));
    }

    if (IAudioMatrixSink* matrix = m_matrixScreen.load()) {
        matrix->SetAudioData(m_bandValues, kBands);
        matrix->SetMasterVolume(m_masterVolume);
        matrix->SetInputWave(m_wave, kWaveLength);
    }
    if (IAudioEffectSink* effect = m_effect.load()) {
        int percent = std::min(100, std::max(0, int(level * 100.0f)));
        effect->SetExternalAudioData(level, m_peak.load(), m_average.load(), percent, m_rms.load());
        effect->SetFFTSpectrum(m_analysis.Bands32(), m_analysis.Bands64());
        effect->SetBeatData(m_analysis.Beat(), m_analysis.BeatStrength(), m_analysis.Tempo(),
                            m_analysis.Bass(), m_analysis.Mid(), m_analysis.High());
    }
    if (Visualizer* visualizer = m_visualizer.load()) visualizer->PushSamples(m_wave, kWaveLength);
}
