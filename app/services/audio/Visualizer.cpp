#include "services/audio/Visualizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

const wchar_t kExternalSource[] = L"External Audio Source (KeyboardAudio)";
const double kDegreesPerRadian = 57.295827908797776;

const COLORREF kGreen = 0x00FF00, kYellow = 0x00FFFF, kRed = 0x0000FF, kCyan = 0xFFFF00,
               kBlue = 0xFF0000, kMagenta = 0xFF00FF, kWhite = 0xFFFFFF;

inline COLORREF Pack(int r, int g, int b)
{
    return COLORREF((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Scales each channel of a colour by c / 256.
inline COLORREF Scale(COLORREF colour, int c)
{
    int r = int(colour & 0xFF), g = int((colour >> 8) & 0xFF), b = int((colour >> 16) & 0xFF);
    return Pack(r * c / 256, g * c / 256, b * c / 256);
}

// Geometry of the angle and ring schemes: fixed by the canvas, computed once.
struct SchemeTables
{
    static const int kPixels = Visualizer::kPixels;
    unsigned short angle32[kPixels];    // int(angle + 180) % 360 about (128, 32)
    unsigned short angle64[kPixels];    // the same about (128, 64)
    float ringAngle[kPixels];           // degrees 0..360 about (128, 32)
    unsigned short ringIndex[kPixels];  // the pixel's distance from (128, 32)
    std::vector<float> ringRadius;      // r of each distance, 0..1
};

const SchemeTables& Tables()
{
    static const SchemeTables* tables = [] {
        SchemeTables* t = new SchemeTables();
        const float maxRadius = std::sqrt(17408.0f);
        std::vector<int> indexOfSquare(128 * 128 + 64 * 64 + 1, -1);
        for (int y = 0; y < Visualizer::kHeight; ++y) {
            for (int x = 0; x < Visualizer::kWidth; ++x) {
                const int i = y * Visualizer::kWidth + x;
                for (int cy : {32, 64}) {
                    double deg = std::atan2(double(y - cy), double(x - 128)) * kDegreesPerRadian;
                    (cy == 32 ? t->angle32 : t->angle64)[i] =
                        static_cast<unsigned short>(int(deg + 180.0) % 360);
                }
                const float dx = float(x - 128), dy = float(y - 32);
                const int square = (x - 128) * (x - 128) + (y - 32) * (y - 32);
                if (indexOfSquare[square] < 0) {
                    indexOfSquare[square] = int(t->ringRadius.size());
                    t->ringRadius.push_back(std::sqrt(dx * dx + dy * dy) / maxRadius);
                }
                t->ringIndex[i] = static_cast<unsigned short>(indexOfSquare[square]);
                float angle = float(std::atan2(double(dy), double(dx)) * kDegreesPerRadian);
                if (angle < 0.0f) angle += 360.0f;
                t->ringAngle[i] = angle;
            }
        }
        return t;
    }();
    return *tables;
}

// fmod(x, 360) for the hues of the ring scheme. For 0 <= x < 2^24 each
// subtraction of 360 is exact, so the result equals fmod's.
inline float WrapHue(float x)
{
    if (x >= 0.0f && x < 1440.0f) {
        while (x >= 360.0f) x -= 360.0f;
        return x;
    }
    float hue = std::fmod(x, 360.0f);
    if (hue < 0.0f) hue += 360.0f;
    return hue;
}

// Forward complex FFT of nn points held as interleaved (re, im) floats, in place;
// twiddle factors by trigonometric recurrence.
void ComplexFft(float* data, int nn)
{
    const int n = nn * 2;
    for (int i = 0, j = 0; i < n; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = nn;
        while (m >= 2 && j >= m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    for (int mmax = 2; n > mmax;) {
        int istep = mmax * 2;
        double theta = 2.0 * M_PI / mmax;
        double wtemp = std::sin(0.5 * theta);
        double wpr = -2.0 * wtemp * wtemp, wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int m = 0; m < mmax; m += 2) {
            for (int i = m; i < n; i += istep) {
                int j = i + mmax;
                float tempr = float(wr * data[j] - wi * data[j + 1]);
                float tempi = float(wr * data[j + 1] + wi * data[j]);
                data[j] = data[i] - tempr;
                data[j + 1] = data[i + 1] - tempi;
                data[i] += tempr;
                data[i + 1] += tempi;
            }
            wtemp = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
        mmax = istep;
    }
}

// Spectrum of n real samples in place: n/2 (re, im) pairs, the zero-frequency and
// Nyquist real parts in the first pair.
void RealFft(float* data, int n)
{
    ComplexFft(data, n / 2);
    double theta = M_PI / double(n / 2);
    double wtemp = std::sin(0.5 * theta);
    double wpr = -2.0 * wtemp * wtemp, wpi = std::sin(theta);
    double wr = 1.0 + wpr, wi = wpi;
    const float c1 = 0.5f, c2 = -0.5f;
    for (int i = 1; i < n / 4; ++i) {
        int i1 = 2 * i, i2 = i1 + 1, i3 = n - i1, i4 = i3 + 1;
        float h1r = c1 * (data[i1] + data[i3]);
        float h1i = c1 * (data[i2] - data[i4]);
        float h2r = -c2 * (data[i2] + data[i4]);
        float h2i = c2 * (data[i1] - data[i3]);
        data[i1] = float(h1r + wr * h2r - wi * h2i);
        data[i2] = float(h1i + wr * h2i + wi * h2r);
        data[i3] = float(h1r - wr * h2r + wi * h2i);
        data[i4] = float(-h1i + wr * h2i + wi * h2r);
        wtemp = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + wtemp * wpi + wi;
    }
    float h1r = data[0];
    data[0] = h1r + data[1];
    data[1] = h1r - data[1];
}

}  // namespace

Visualizer::Visualizer()
    : m_foregroundLayer(kPixels, 0),
      m_canvasA(kPixels, 0),
      m_canvasB(kPixels, 0),
      m_back(m_canvasA.data()),
      m_front(m_canvasB.data()),
      m_layerA(kPixels, 0),
      m_layerB(kPixels, 0),
      m_backLayer(m_layerA.data()),
      m_frontLayer(m_layerB.data())
{}

Visualizer::~Visualizer()
{
    Stop();
}

void Visualizer::ResetSources()
{
    std::lock_guard<std::mutex> lock(m_sourcesLock);
    m_sources.clear();
    m_sources.push_back(kExternalSource);
    m_sourceIndex.store(0);
}

std::vector<std::wstring> Visualizer::GetSources() const
{
    std::lock_guard<std::mutex> lock(m_sourcesLock);
    return m_sources;
}

void Visualizer::Reset()
{
    std::lock_guard<std::mutex> lock(m_frameLock);
    ResetLocked();
}

void Visualizer::ResetLocked()
{
    m_decayPercent = 80;
    m_groupingMode = 1;
    m_groupWidth = 8;
    m_window = 1;
    m_tiltOffset = 0.04f;
    m_tiltSlope = 0.5f;
    m_easing = 1.0f;
    m_hue = 0.0f;
    m_hueSpeed = 500.0f;
    m_foreScheme.store(17);
    m_foreBrightness.store(100);
    m_backScheme.store(0);
    m_backBrightness.store(100);
    m_amplitude.store(270);
    m_active.store(false);
    ResetSources();
    for (int i = 0; i < 256; ++i) {
        double t = 2.0 * M_PI * i / 256.0;
        m_hann[i] = float(0.5 * (1.0 - std::cos(t)));
        m_hamming[i] = float(0.54 - 0.46 * std::cos(t));
        m_blackman[i] = float(0.42 - 0.5 * std::cos(t) + 0.08 * std::cos(2.0 * t));
        m_tilt[i] = m_tiltOffset + m_tiltSlope * float(i) / 256.0f;
    }
    std::fill(std::begin(m_bars), std::end(m_bars), 0.0f);
    {
        std::lock_guard<std::mutex> input(m_inputLock);
        std::fill(std::begin(m_input), std::end(m_input), 0.0f);
        m_dataReady = false;
    }
    std::lock_guard<std::mutex> canvas(m_canvasLock);
    m_back = m_canvasA.data();
    m_front = m_canvasB.data();
    m_backLayer = m_layerA.data();
    m_frontLayer = m_layerB.data();
}

void Visualizer::Start()
{
    if (m_thread.joinable()) return;
    m_running.store(true);
    m_thread = std::thread(&Visualizer::RenderLoop, this);
}

void Visualizer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_running.store(false);
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void Visualizer::SetSleepFunction(std::function<void(DWORD)> sleep)
{
    m_sleep = std::move(sleep);
}

void Visualizer::Wait(DWORD ms)
{
    if (m_sleep) {
        m_sleep(ms);
        return;
    }
    std::unique_lock<std::mutex> lock(m_wakeLock);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !m_running.load(); });
}

void Visualizer::RenderLoop()
{
    while (m_running.load()) {
        if (!m_active.load()) {
            Wait(500);
            continue;
        }
        RenderFrame();
        Wait(15);
    }
}

void Visualizer::PushSamples(const float* samples, int count)
{
    std::lock_guard<std::mutex> lock(m_inputLock);
    if (!samples || count <= 0) {
        std::fill(std::begin(m_input), std::end(m_input), 0.0f);
        m_dataReady = false;
        return;
    }
    int n = std::min(count, int(kInputSize));
    std::memcpy(m_input, samples, sizeof(float) * n);
    std::fill(m_input + n, m_input + kInputSize, 0.0f);
    m_dataReady = true;
}

bool Visualizer::IsDataReady() const
{
    std::lock_guard<std::mutex> lock(m_inputLock);
    return m_dataReady;
}

void Visualizer::Analyse()
{
    const float decay = float(m_decayPercent) / 100.0f;
    for (float& bar : m_bars) bar *= decay;

    {
        std::lock_guard<std::mutex> lock(m_inputLock);
        if (m_dataReady)
            std::memcpy(m_fft, m_input, sizeof(m_fft));
        else
            std::fill(std::begin(m_fft), std::end(m_fft), 0.0f);
    }
    const float* window = m_window == 1   ? m_hann
                          : m_window == 2 ? m_hamming
                          : m_window == 3 ? m_blackman
                                          : nullptr;
    if (window)
        for (int i = 0; i < 256; ++i) m_fft[i] *= window[i];

    RealFft(m_fft, kInputSize);
    const float scale = 1.0f / float(kInputSize);
    for (float& v : m_fft) v *= scale;
    m_fft[0] = m_fft[2];
    for (int i = 0; i < 256; ++i) m_fft[i] *= m_tilt[i];

    for (int k = 0; k < 64; ++k) {
        float re = m_fft[2 * k], im = m_fft[2 * k + 1];
        float mag = std::sqrt(re * re + im * im);
        float level = 0.5f * std::log10(1.1f * mag) + 0.9f * mag;
        if (level > 1.0f) level = 1.0f;
        float& bar = m_bars[4 * k];
        if (level > bar) bar = level;
        if (bar < 0.0f) bar = 0.0f;
        m_bars[4 * k + 1] = m_bars[4 * k + 2] = m_bars[4 * k + 3] = bar;
    }

    const int w = m_groupWidth;
    if (w > 0 && w < kWidth / 2) {
        if (m_groupingMode == 0) {
            float first = 0.0f, last = 0.0f;
            for (int i = 0; i < w; ++i) {
                first += m_bars[i];
                last += m_bars[kWidth - 1 - i];
            }
            std::fill(m_bars, m_bars + w, first / float(w));
            std::fill(m_bars + kWidth - w, m_bars + kWidth, last / float(w));
            for (int start = 0; start < kWidth - w; start += w) {
                float sum = 0.0f;
                for (int i = start; i < start + w; ++i) sum += m_bars[i];
                std::fill(m_bars + start, m_bars + start + w, sum / float(w));
            }
        } else if (m_groupingMode == 1) {
            for (int j = 0; j < w; ++j) {
                float sum = 0.0f;
                for (int i = 0; i <= j + w; ++i) sum += m_bars[i];
                m_bars[j] = sum / float(j + w + 1);
                sum = 0.0f;
                for (int i = kWidth - 1; i >= kWidth - 1 - (j + w); --i) sum += m_bars[i];
                m_bars[kWidth - 1 - j] = sum / float(j + w + 1);
            }
            for (int i = w; i <= kWidth - 1 - w; ++i) {
                float sum = m_bars[i];
                for (int k = 1; k <= w; ++k) sum += m_bars[i - k] + m_bars[i + k];
                m_bars[i] = sum / float(2 * w + 1);
            }
        }
    }

    for (int i = 0; i < kWidth; ++i)
        m_display[i] = m_display[i] + (m_bars[i] - m_display[i]) * m_easing;
}

void Visualizer::RenderFrame()
{
    std::lock_guard<std::mutex> lock(m_frameLock);
    Analyse();
    if (m_hue >= 360.0f)
        m_hue = 0.0f;
    else if (m_hue < 0.0f)
        m_hue = 360.0f;

    FillLayerLocked(m_backLayer, m_backScheme.load(), m_backBrightness.load());
    FillLayerLocked(m_foregroundLayer.data(), m_foreScheme.load(), m_foreBrightness.load());

    const COLORREF* fg = m_foregroundLayer.data();
    const COLORREF* bg = m_backLayer;
    for (int y = 0; y < kHeight; ++y) {
        float threshold = float(64 - y) / 64.0f;
        for (int x = 0; x < kWidth; ++x) {
            int i = y * kWidth + x;
            m_back[i] = m_display[x] > threshold ? fg[i] : bg[i];
        }
    }
    // Row 0: a level meter growing from the middle outwards.
    float m = m_display[5] - 0.05f;
    for (int x = 0; x < kWidth; ++x) {
        bool lit = x < 128 ? m > float(127 - x) / 128.0f : m > float(x - 128) / 128.0f;
        m_back[x] = lit ? fg[x] : bg[x];
    }

    {
        std::lock_guard<std::mutex> canvas(m_canvasLock);
        std::swap(m_back, m_front);
        std::swap(m_backLayer, m_frontLayer);
    }
    m_hue = m_hue + m_hueSpeed / 100.0f;
    m_frameCount.fetch_add(1);
}

void Visualizer::CopyFrontCanvas(COLORREF* out) const
{
    std::lock_guard<std::mutex> lock(m_canvasLock);
    std::memcpy(out, m_front, sizeof(COLORREF) * kPixels);
}

COLORREF Visualizer::GetFrontPixel(int x, int y) const
{
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return 0;
    std::lock_guard<std::mutex> lock(m_canvasLock);
    return m_front[y * kWidth + x];
}

void Visualizer::CopyBackgroundLayer(COLORREF* out) const
{
    std::lock_guard<std::mutex> lock(m_canvasLock);
    std::memcpy(out, m_frontLayer, sizeof(COLORREF) * kPixels);
}

COLORREF Visualizer::GetBackgroundPixel(int x, int y) const
{
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return 0;
    std::lock_guard<std::mutex> lock(m_canvasLock);
    return m_frontLayer[y * kWidth + x];
}

void Visualizer::CopyDisplay(float* out) const
{
    std::lock_guard<std::mutex> lock(m_frameLock);
    std::memcpy(out, m_display, sizeof(m_display));
}

int Visualizer::BrightnessFactor(int percent)
{
    return int(double(percent) * 2.55);
}

COLORREF Visualizer::HsvToColor(int hue, int saturation, int value)
{
    const int s = saturation, v = value;
    if (s == 0) return Pack(v, v, v);
    int e = hue % 360;
    int f = e / 60;
    int low = ((256 - s) * v) >> 8;
    int rise = v * (s * (e - 60 * f - 60) + 15360) / 15360;
    int fall = v * (s * (60 * f - e) + 15360) / 15360;
    switch (f) {
        case 0: return Pack(v, rise, low);
        case 1: return Pack(fall, v, low);
        case 2: return Pack(low, v, rise);
        case 3: return Pack(low, fall, v);
        case 4: return Pack(rise, low, v);
        case 5: return Pack(v, low, fall);
        default: return 0;
    }
}

void Visualizer::FillLayer(COLORREF* layer, int scheme, int brightnessPercent)
{
    std::lock_guard<std::mutex> lock(m_frameLock);
    FillLayerLocked(layer, scheme, brightnessPercent);
}

void Visualizer::FillPalette(COLORREF* layer, const COLORREF* colours, int n, int c)
{
    COLORREF scaled[8];
    for (int i = 0; i < n; ++i) scaled[i] = Scale(colours[i], c);
    for (int y = 1; y < kHeight; ++y) {
        int idx = int(float(n) - float(n * y) / 63.0f);
        idx = std::min(n - 1, std::max(0, idx));
        std::fill(layer + y * kWidth, layer + (y + 1) * kWidth, scaled[idx]);
    }
    for (int x = 0; x < kWidth; ++x) {
        int idx =
            x < 128 ? int(float(n) - float(n * x) / 128.0f) : int(float((x - 128) * n) / 128.0f);
        idx = std::min(n - 1, std::max(0, idx));
        layer[x] = scaled[idx];
    }
}

void Visualizer::FillLayerLocked(COLORREF* layer, int scheme, int brightnessPercent)
{
    const int c = BrightnessFactor(brightnessPercent);
    auto fillAll = [&](COLORREF colour) { std::fill(layer, layer + kPixels, colour); };
    auto rainbowColumn = [&](int x) {
        int t = int(float(x) * 1.4117647f - m_hue);
        float a = float(t % 360) / 360.0f * 2.0f * 3.14f;
        int r = int((std::sin(a) + 1.0f) * 127.0f);
        int g = int((std::sin(a - 2.0933335f) + 1.0f) * 127.0f);
        int b = int((std::sin(a + 2.0933335f) + 1.0f) * 127.0f);
        return Pack(r * c / 256, g * c / 256, b * c / 256);
    };
    switch (scheme) {
        case 0: fillAll(0); break;
        case 1: {
            const COLORREF p[] = {kGreen, kYellow, kRed};
            FillPalette(layer, p, 3, c);
            break;
        }
        case 2: {
            const COLORREF p[] = {kRed, kYellow, kGreen, kCyan, kBlue, kMagenta};
            FillPalette(layer, p, 6, c);
            break;
        }
        case 3: {
            const COLORREF p[] = {kMagenta, kBlue, kCyan, kGreen, kYellow, kRed};
            FillPalette(layer, p, 6, c);
            break;
        }
        case 4: FillAngles(layer, 32, c); break;
        case 5: fillAll(HsvToColor(int(m_hue), 255, c)); break;
        case 6: fillAll(Scale(kWhite, c)); break;
        case 7: fillAll(Scale(kRed, c)); break;
        case 8: fillAll(Scale(0x0040FF, c)); break;
        case 9: fillAll(Scale(kYellow, c)); break;
        case 10: fillAll(Scale(kGreen, c)); break;
        case 11: fillAll(Scale(kBlue, c)); break;
        case 12: fillAll(Scale(kCyan, c)); break;
        case 13: fillAll(Scale(0xFF0040, c)); break;
        case 14: {
            const COLORREF p[] = {kGreen, kWhite, kRed};
            FillPalette(layer, p, 3, c);
            break;
        }
        case 15: {
            const COLORREF p[] = {kBlue, kCyan, kWhite};
            FillPalette(layer, p, 3, c);
            break;
        }
        case 16: {
            const COLORREF p[] = {kRed, kWhite, kBlue};
            FillPalette(layer, p, 3, c);
            break;
        }
        case 17:
            for (int x = 0; x < kWidth; ++x) {
                COLORREF colour = rainbowColumn(x);
                for (int y = 0; y < kHeight; ++y) layer[y * kWidth + x] = colour;
            }
            break;
        case 18:
            for (int x = 0; x < kWidth; ++x) {
                COLORREF colour = HsvToColor(int(float(256 - x) + m_hue) % 360, 255, c);
                for (int y = 0; y < kHeight; ++y) layer[y * kWidth + x] = colour;
            }
            break;
        case 19: FillAngles(layer, 64, c); break;
        case 20: fillAll(rainbowColumn(1)); break;
        case 21: FillAudioRings(layer, c); break;
        default: break;
    }
}

float Visualizer::GetHue() const
{
    std::lock_guard<std::mutex> lock(m_frameLock);
    return m_hue;
}

float Visualizer::GetRingRotation() const
{
    std::lock_guard<std::mutex> lock(m_frameLock);
    return m_ringRotation;
}

// Hue by the angle about (128, cy): the 360 colours of the frame are made
// once, then looked up per pixel.
void Visualizer::FillAngles(COLORREF* layer, int cy, int c)
{
    const SchemeTables& t = Tables();
    COLORREF colours[360];
    for (int a = 0; a < 360; ++a) colours[a] = HsvToColor(int(float(a) + m_hue), 255, c);
    const unsigned short* angles = cy == 32 ? t.angle32 : t.angle64;
    for (int i = 0; i < kPixels; ++i) layer[i] = colours[angles[i]];
}

void Visualizer::FillAudioRings(COLORREF* layer, int c)
{
    float bass = 0.0f, mid = 0.0f, high = 0.0f;
    for (int i = 0; i < 32; ++i) bass += m_display[i];
    for (int i = 32; i < 96; ++i) mid += m_display[i];
    for (int i = 96; i < 128; ++i) high += m_display[i];
    bass /= 32.0f;
    mid /= 64.0f;
    high /= 32.0f;
    const float overall = (bass + mid + high) / 3.0f;
    if (!(overall > 0.01f)) {
        std::fill(layer, layer + kPixels, COLORREF(0));
        return;
    }
    m_ringRotation += 0.05f;
    if (m_ringRotation >= 360.0f) m_ringRotation = 0.0f;
    const float T = m_ringRotation;
    const float toRad = 3.14159f / 180.0f;
    const float exponent = 2.0f * overall + 1.0f;
    const int saturation = int(std::min(1.0f, 0.3f * overall + 0.7f) * 255.0f);
    float hueShift = T;
    if (bass > 0.05f) hueShift += bass * 60.0f;
    if (mid > 0.05f) hueShift += mid * 180.0f;
    if (high > 0.05f) hueShift += high * 300.0f;

    // The brightness depends on the distance only: once per distance.
    const SchemeTables& t = Tables();
    const size_t distances = t.ringRadius.size();
    std::vector<int> values(distances);
    for (size_t k = 0; k < distances; ++k) {
        const float r = t.ringRadius[k];
        float wave = 0.5f * (std::sin((240.0f * r + 4.0f * T) * toRad) + 1.0f) * 6.0f * mid * 0.8f +
                     0.5f * (std::sin((120.0f * r + 2.0f * T) * toRad) + 1.0f) * 4.0f * bass +
                     0.5f * (std::sin((480.0f * r + 8.0f * T) * toRad) + 1.0f) * 8.0f * high * 0.6f;
        float value = wave * std::pow(1.0f - r, exponent) *
                      std::max(0.0f, 1.0f - (1.0f - 0.6f * overall) * r);
        value = std::min(1.0f, std::max(0.0f, value));
        values[k] = int(value * float(c) / 255.0f * 255.0f);
    }
    for (int i = 0; i < kPixels; ++i) {
        const int v = values[t.ringIndex[i]];
        // HsvToColor of value 0 is black whatever the hue.
        layer[i] = v == 0 ? COLORREF(0)
                          : HsvToColor(int(WrapHue(t.ringAngle[i] + hueShift)), saturation, v);
    }
    int centreHue = (bass > mid && bass > high) ? 0 : (mid > high ? 120 : 240);
    layer[32 * kWidth + 128] = HsvToColor(int(float(centreHue) + T), 255, c);
}
