#pragma once
// The music visualiser: turns the wave that the audio capture pushes into a
// 256 x 64 picture (a spectrum of 256 bars in a foreground colour scheme over a
// background scheme, with a level meter in the top row), drawn on a thread of
// its own into two canvases that are swapped after every frame. The main
// window's music lighting samples the front canvas per key.
//
// Threads: the capture thread calls PushSamples, the render thread draws, the
// window and worker threads change settings and read the front canvas. The
// input block is copied under its own lock, the settings are atomics, the
// canvas swap and every read of the front canvas share one lock, and a frame
// and Reset are serialised by the frame lock. Lock order: frame lock, then
// input lock or canvas lock (never both of the latter).
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Visualizer
{
public:
    static const int kWidth = 256;
    static const int kHeight = 64;
    static const int kPixels = kWidth * kHeight;
    static const int kInputSize = 512;

    Visualizer();
    // Stops and joins the render thread before anything it uses goes away.
    ~Visualizer();
    Visualizer(const Visualizer&) = delete;
    Visualizer& operator=(const Visualizer&) = delete;

    // Default settings, the one audio source, window and tilt tables rebuilt,
    // bars and input zeroed, canvas A back and B front.
    void Reset();
    void ResetSources();
    // Sets running and starts the render thread (once).
    void Start();
    // Clears running, wakes the render thread and joins it.
    void Stop();
    bool IsRunning() const { return m_running.load(); }

    // Copies up to 512 samples (the rest zero) and marks the input ready; a null
    // pointer or a count of 0 or less zeroes the input and clears the ready flag.
    void PushSamples(const float* samples, int count);
    bool IsDataReady() const;

    // The render flag: frames are drawn only while it is set.
    void SetActive(bool active) { m_active.store(active); }
    bool IsActive() const { return m_active.load(); }

    void SetForegroundScheme(int scheme) { m_foreScheme.store(scheme); }
    int GetForegroundScheme() const { return m_foreScheme.load(); }
    void SetForegroundBrightness(int percent) { m_foreBrightness.store(percent); }
    int GetForegroundBrightness() const { return m_foreBrightness.load(); }
    void SetBackgroundScheme(int scheme) { m_backScheme.store(scheme); }
    int GetBackgroundScheme() const { return m_backScheme.load(); }
    void SetBackgroundBrightness(int percent) { m_backBrightness.store(percent); }
    int GetBackgroundBrightness() const { return m_backBrightness.load(); }
    // Stored for the music page; the drawing does not read it.
    void SetAmplitude(int amplitude) { m_amplitude.store(amplitude); }
    int GetAmplitude() const { return m_amplitude.load(); }
    void SetSourceIndex(int index) { m_sourceIndex.store(index); }
    int GetSourceIndex() const { return m_sourceIndex.load(); }
    std::vector<std::wstring> GetSources() const;

    // Draws one frame synchronously (what the render thread does every 15 ms).
    void RenderFrame();
    // Number of frames drawn so far.
    unsigned FrameCount() const { return m_frameCount.load(); }

    // Copies the front canvas (kPixels colours 0x00BBGGRR, row-major, row 0 on top).
    void CopyFrontCanvas(COLORREF* out) const;
    COLORREF GetFrontPixel(int x, int y) const;
    // The background layer of the last finished frame.
    void CopyBackgroundLayer(COLORREF* out) const;
    COLORREF GetBackgroundPixel(int x, int y) const;
    // Copies the eased bar heights the last frame was drawn from.
    void CopyDisplay(float* out) const;

    // Fills a 256 x 64 layer with a colour scheme at a brightness percent, with
    // the current hue (scheme 21 also advances its rotation).
    void FillLayer(COLORREF* layer, int scheme, int brightnessPercent);

    // The hue the next fill starts from, and the rotation of the audio rings.
    float GetHue() const;
    float GetRingRotation() const;

    // HSV (hue in degrees, saturation and value 0..255) to 0x00BBGGRR.
    static COLORREF HsvToColor(int hue, int saturation, int value);
    // trunc(percent x 2.55), computed in double.
    static int BrightnessFactor(int percent);

    // Replaces the render thread's waits (tests). Called with 15 or 500 ms.
    void SetSleepFunction(std::function<void(DWORD)> sleep);

private:
    void RenderLoop();
    void Wait(DWORD ms);
    void Analyse();
    void FillLayerLocked(COLORREF* layer, int scheme, int brightnessPercent);
    void FillPalette(COLORREF* layer, const COLORREF* colours, int n, int c);
    void FillAngles(COLORREF* layer, int cy, int c);
    void FillAudioRings(COLORREF* layer, int c);
    void ResetLocked();

    // Settings written by other threads.
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_active{false};
    std::atomic<int> m_foreScheme{17};
    std::atomic<int> m_foreBrightness{100};
    std::atomic<int> m_backScheme{0};
    std::atomic<int> m_backBrightness{100};
    std::atomic<int> m_amplitude{270};
    std::atomic<int> m_sourceIndex{0};
    std::atomic<unsigned> m_frameCount{0};

    mutable std::mutex m_sourcesLock;
    std::vector<std::wstring> m_sources;

    // Input block, written by PushSamples.
    mutable std::mutex m_inputLock;
    float m_input[kInputSize] = {};
    bool m_dataReady = false;

    // Frame state, guarded by m_frameLock.
    mutable std::mutex m_frameLock;
    float m_bars[kWidth] = {};
    float m_display[kWidth] = {};
    int m_decayPercent = 80;
    int m_groupingMode = 1;
    int m_groupWidth = 8;
    int m_window = 1;
    float m_hann[256] = {};
    float m_hamming[256] = {};
    float m_blackman[256] = {};
    float m_tilt[256] = {};
    float m_tiltOffset = 0.04f;
    float m_tiltSlope = 0.5f;
    float m_easing = 1.0f;
    float m_hue = 0.0f;
    float m_hueSpeed = 500.0f;
    float m_ringRotation = 0.0f;
    float m_fft[kInputSize] = {};
    std::vector<COLORREF> m_foregroundLayer;

    // Canvases: drawing goes into the back one; the swap and every reader of the
    // front one hold m_canvasLock.
    mutable std::mutex m_canvasLock;
    // The background layers are paired the same way, so that the layer of the
    // finished frame can be read while the next one is drawn.
    std::vector<COLORREF> m_canvasA;
    std::vector<COLORREF> m_canvasB;
    COLORREF* m_back;
    COLORREF* m_front;
    std::vector<COLORREF> m_layerA;
    std::vector<COLORREF> m_layerB;
    COLORREF* m_backLayer;
    COLORREF* m_frontLayer;

    std::thread m_thread;
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    std::function<void(DWORD)> m_sleep;
};
