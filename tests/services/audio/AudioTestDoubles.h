#pragma once
// Test doubles for the audio capture: a scripted IAudioCaptureClient that hands
// out synthetic packets, consumers that record what the capture publishes, and
// builders for stream formats and packets.
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmreg.h>

#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "services/audio/AudioSinks.h"

namespace audiotest {

// Formats ------------------------------------------------------------------

inline WAVEFORMATEX PlainFormat(WORD tag, WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = tag;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = WORD(channels * bits / 8);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    return f;
}

inline GUID Subtype(DWORD tag)
{
    GUID g = {tag, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    return g;
}

inline WAVEFORMATEXTENSIBLE ExtensibleFormat(DWORD subtype, WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEXTENSIBLE f = {};
    f.Format = PlainFormat(WAVE_FORMAT_EXTENSIBLE, channels, rate, bits);
    f.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
    f.Samples.wValidBitsPerSample = bits;
    f.dwChannelMask =
        channels == 1 ? SPEAKER_FRONT_CENTER : (SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT);
    f.SubFormat = Subtype(subtype);
    return f;
}

// Encodes values (one per channel slot, interleaved) in a sample layout.
enum class Encoding { Float32, Pcm16, Pcm24, Pcm32 };

inline std::vector<BYTE> Encode(const std::vector<float>& values, Encoding encoding)
{
    std::vector<BYTE> out;
    for (float v : values) {
        switch (encoding) {
            case Encoding::Float32: {
                BYTE b[4];
                std::memcpy(b, &v, 4);
                out.insert(out.end(), b, b + 4);
                break;
            }
            case Encoding::Pcm16: {
                INT16 s = INT16(v * 32768.0f);
                BYTE b[2];
                std::memcpy(b, &s, 2);
                out.insert(out.end(), b, b + 2);
                break;
            }
            case Encoding::Pcm24: {
                INT32 s = INT32(v * 8388608.0f);
                out.push_back(BYTE(s & 0xFF));
                out.push_back(BYTE((s >> 8) & 0xFF));
                out.push_back(BYTE((s >> 16) & 0xFF));
                break;
            }
            case Encoding::Pcm32: {
                INT32 s = INT32(double(v) * 2147483648.0);
                BYTE b[4];
                std::memcpy(b, &s, 4);
                out.insert(out.end(), b, b + 4);
                break;
            }
        }
    }
    return out;
}

// Endpoint doubles ---------------------------------------------------------------
// An enumerator whose default endpoint is one device, whose audio client offers a
// given mix format and an always-empty capture client. They live on the test's
// stack: reference counts are kept but never delete. Counters are atomics, as the
// capture thread calls them.

class EmptyCaptureClient : public IAudioCaptureClient
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64*,
                                        UINT64*) override
    {
        ++getBufferCalls;
        *data = nullptr;
        *frames = 0;
        *flags = 0;
        return AUDCLNT_S_BUFFER_EMPTY;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetNextPacketSize(UINT32* frames) override
    {
        *frames = 0;
        return S_OK;
    }

    std::atomic<long> refs{1};
    std::atomic<int> getBufferCalls{0};
};

class FakeAudioClient : public IAudioClient
{
public:
    // The mix format GetMixFormat answers with (a plain or an extensible one).
    void SetMixFormat(const WAVEFORMATEX* format)
    {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(format);
        mix.assign(bytes, bytes + sizeof(WAVEFORMATEX) + format->cbSize);
    }
    // The format the capture initialised the stream with.
    WAVEFORMATEX Initialized()
    {
        std::lock_guard<std::mutex> l(lock);
        return initialized;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE Initialize(AUDCLNT_SHAREMODE, DWORD flags, REFERENCE_TIME,
                                         REFERENCE_TIME, const WAVEFORMATEX* format,
                                         LPCGUID) override
    {
        std::lock_guard<std::mutex> l(lock);
        initialized = *format;
        streamFlags = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBufferSize(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamLatency(REFERENCE_TIME*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPadding(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsFormatSupported(AUDCLNT_SHAREMODE, const WAVEFORMATEX*,
                                                WAVEFORMATEX**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMixFormat(WAVEFORMATEX** format) override
    {
        *format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(mix.size()));
        if (!*format) return E_OUTOFMEMORY;
        std::memcpy(*format, mix.data(), mix.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevicePeriod(REFERENCE_TIME*, REFERENCE_TIME*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Start() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetEventHandle(HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetService(REFIID riid, void** object) override
    {
        if (!IsEqualIID(riid, __uuidof(IAudioCaptureClient))) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        capture.AddRef();
        *object = static_cast<IAudioCaptureClient*>(&capture);
        return S_OK;
    }

    std::vector<BYTE> mix;
    std::mutex lock;
    WAVEFORMATEX initialized = {};
    DWORD streamFlags = 0;
    EmptyCaptureClient capture;
    std::atomic<long> refs{1};
};

class FakeDevice : public IMMDevice
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE Activate(REFIID riid, DWORD, PROPVARIANT*, void** object) override
    {
        if (!IsEqualIID(riid, __uuidof(IAudioClient))) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        client.AddRef();
        *object = static_cast<IAudioClient*>(&client);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override
    {
        *state = DEVICE_STATE_ACTIVE;
        return S_OK;
    }

    FakeAudioClient client;
    std::atomic<long> refs{1};
};

class FakeEnumerator : public IMMDeviceEnumerator
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role,
                                                      IMMDevice** endpoint) override
    {
        lastFlow = flow;
        lastRole = role;
        ++defaultRequests;
        device.AddRef();
        *endpoint = &device;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    UnregisterEndpointNotificationCallback(IMMNotificationClient*) override
    {
        return S_OK;
    }
    // As KeyboardAudio::SetEnumeratorSource wants it: one more reference.
    IMMDeviceEnumerator* Hand()
    {
        AddRef();
        return this;
    }

    FakeDevice device;
    std::atomic<int> defaultRequests{0};
    std::atomic<int> lastFlow{-1};
    std::atomic<int> lastRole{-1};
    std::atomic<long> refs{1};
};

// Scripted capture client ------------------------------------------------------

class FakeCaptureClient : public IAudioCaptureClient
{
public:
    struct Packet
    {
        std::vector<BYTE> bytes;
        UINT32 frames = 0;
        DWORD flags = 0;
        HRESULT result = S_OK;
    };

    // A packet of `frames` frames whose values (frames x channels, interleaved) are given.
    void Add(const std::vector<float>& values, UINT32 frames, Encoding encoding = Encoding::Float32,
             DWORD flags = 0)
    {
        Packet p;
        p.bytes = Encode(values, encoding);
        p.frames = frames;
        p.flags = flags;
        packets.push_back(p);
    }
    // A mono float packet of `frames` frames, all of one value.
    void AddConstant(float value, UINT32 frames, DWORD flags = 0)
    {
        Add(std::vector<float>(frames, value), frames, Encoding::Float32, flags);
    }
    void AddFailure(HRESULT result, UINT32 frames)
    {
        Packet p;
        p.result = result;
        p.frames = frames;
        packets.push_back(p);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, __uuidof(IUnknown)) ||
            IsEqualIID(riid, __uuidof(IAudioCaptureClient))) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }

    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64*,
                                        UINT64*) override
    {
        ++getBufferCalls;
        if (packets.empty()) {
            *data = nullptr;
            *frames = 0;
            *flags = 0;
            return AUDCLNT_S_BUFFER_EMPTY;
        }
        Packet& p = packets.front();
        if (FAILED(p.result)) {
            *data = nullptr;
            *frames = p.frames;
            HRESULT r = p.result;
            packets.pop_front();
            return r;
        }
        *data = p.bytes.empty() ? nullptr : p.bytes.data();
        *frames = p.frames;
        *flags = p.flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32 frames) override
    {
        released.push_back(frames);
        if (!packets.empty()) packets.pop_front();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetNextPacketSize(UINT32* frames) override
    {
        *frames = packets.empty() ? 0 : packets.front().frames;
        return S_OK;
    }

    std::deque<Packet> packets;
    std::vector<UINT32> released;
    int getBufferCalls = 0;
    long refs = 1;
};

// Recording consumers ----------------------------------------------------------

// Shared call log, so the order of calls across consumers can be checked.
struct CallLog
{
    std::mutex lock;
    std::vector<std::string> calls;
    void Add(const char* name)
    {
        std::lock_guard<std::mutex> l(lock);
        calls.push_back(name);
    }
    std::vector<std::string> Take()
    {
        std::lock_guard<std::mutex> l(lock);
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }
};

struct EffectRecord
{
    float volume = -1, peak = -1, average = -1, rms = -1;
    int percent = -1;
    std::vector<float> bands32, bands64;
    bool beat = false;
    float strength = 0, tempo = 0, bass = 0, mid = 0, high = 0;
};

class RecordingEffect : public IAudioEffectSink
{
public:
    explicit RecordingEffect(CallLog* log = nullptr) : m_log(log) {}
    void SetExternalAudioData(float volume, float peak, float average, int percent,
                              float rms) override
    {
        std::lock_guard<std::mutex> l(lock);
        if (m_log) m_log->Add("effect.SetExternalAudioData");
        current.volume = volume;
        current.peak = peak;
        current.average = average;
        current.percent = percent;
        current.rms = rms;
    }
    void SetFFTSpectrum(const float* bands32, const float* bands64) override
    {
        std::lock_guard<std::mutex> l(lock);
        if (m_log) m_log->Add("effect.SetFFTSpectrum");
        current.bands32.assign(bands32, bands32 + 32);
        current.bands64.assign(bands64, bands64 + 64);
    }
    void SetBeatData(bool beat, float strength, float tempo, float bass, float mid,
                     float high) override
    {
        std::lock_guard<std::mutex> l(lock);
        if (m_log) m_log->Add("effect.SetBeatData");
        current.beat = beat;
        current.strength = strength;
        current.tempo = tempo;
        current.bass = bass;
        current.mid = mid;
        current.high = high;
        history.push_back(current);
    }
    EffectRecord Last()
    {
        std::lock_guard<std::mutex> l(lock);
        return history.empty() ? EffectRecord() : history.back();
    }
    std::vector<EffectRecord> History()
    {
        std::lock_guard<std::mutex> l(lock);
        return history;
    }

    std::mutex lock;
    EffectRecord current;
    std::vector<EffectRecord> history;

private:
    CallLog* m_log;
};

class RecordingMatrix : public IAudioMatrixSink
{
public:
    explicit RecordingMatrix(CallLog* log = nullptr) : m_log(log) {}
    void SetAudioData(const float* levels, int count) override
    {
        std::lock_guard<std::mutex> l(lock);
        if (m_log) m_log->Add("matrix.SetAudioData");
        bands.assign(levels, levels + count);
    }
    void SetMasterVolume(float volume) override
    {
        std::lock_guard<std::mutex> l(lock);
        if (m_log) m_log->Add("matrix.SetMasterVolume");
        masterVolume = volume;
    }
    void SetInputWave(const float* samples, int count) override
    {
        std::lock_guard<std::mutex> l(lock);
        if (m_log) m_log->Add("matrix.SetInputWave");
        wave.assign(samples, samples + count);
        ++waves;
    }

    std::mutex lock;
    std::vector<float> bands;
    float masterVolume = -1;
    std::vector<float> wave;
    int waves = 0;

private:
    CallLog* m_log;
};

}  // namespace audiotest
