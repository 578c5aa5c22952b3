// NimbrelEffect: construction, key items, settings, audio inputs, the GIF and
// the timer step.
#include "NimbrelEffect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(NimbrelEffect, new NimbrelEffect(a.owner, a.id, a.rect, a.visible));

namespace {

DWORD DefaultTick()
{
    return GetTickCount();
}
double DefaultMillis()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / frequency;
}
unsigned DefaultSeed()
{
    static std::random_device device;
    static CCriticalLock lock;
    CAutoLock hold(lock);
    return device();
}
int DefaultRandom()
{
    return rand();
}

const NimbrelEffectSources kDefaults = {DefaultTick, DefaultMillis, DefaultSeed, DefaultRandom};
NimbrelEffectSources g_sources = kDefaults;

}  // namespace

namespace nimbrel {
DWORD Tick()
{
    return g_sources.tickCount();
}
double Millis()
{
    return g_sources.milliseconds();
}
unsigned Seed()
{
    return g_sources.seed();
}
int Rand()
{
    return g_sources.random();
}
}  // namespace nimbrel

void NimbrelEffect::SetSources(const NimbrelEffectSources* sources)
{
    g_sources = sources ? *sources : kDefaults;
    if (!g_sources.tickCount) g_sources.tickCount = DefaultTick;
    if (!g_sources.milliseconds) g_sources.milliseconds = DefaultMillis;
    if (!g_sources.seed) g_sources.seed = DefaultSeed;
    if (!g_sources.random) g_sources.random = DefaultRandom;
}

DWORD NimbrelEffect::Now()
{
    return nimbrel::Tick();
}

// ---- construction ----

NimbrelEffect::NimbrelEffect(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_selectedLayer(-1),
      m_hoverLayer(-1),
      m_dragType(0),
      m_pointedKey(-1),
      m_rightKey(-1),
      m_keyboardImage(nullptr),
      m_offsetX(6),
      m_offsetY(6),
      m_pictureWidth(0),
      m_pictureHeight(0),
      m_musicMode(1),
      m_musicAmplitude(200),
      m_colorful(1),
      m_musicColor(0xFF9600),
      m_gif(nullptr),
      m_gifWidth(0),
      m_gifHeight(0),
      m_gifFrame(0),
      m_gifFrameCount(0),
      m_gifLastSwitch(0),
      m_gifDelay(30),
      m_gifX(10),
      m_gifY(10),
      m_gifScale(1.0f),
      m_gifDisplayWidth(0),
      m_gifDisplayHeight(0),
      m_captureWindow(nullptr),
      m_bandActive(0),
      m_mode(2),
      m_keyMap{},
      m_gridRows(8),
      m_gridColumns(19),
      m_lastCapture(0),
      m_format(nullptr),
      m_gamePhase(0),
      m_preset(2),
      m_presetPhase(0),
      m_countdown(10),
      m_flowText(L"HELLO WORLD"),
      m_flowPosition(0),
      m_heartPhase(0),
      m_clockHour(12),
      m_clockMinute(0),
      m_smoothedColor(0),
      m_history{},
      m_historyIndex(0),
      m_threshold(0.5f),
      m_triggered(false),
      m_triggerCount(0),
      m_frameSelect(1)
{
    for (auto& cell : m_colorMap) cell.store(0, std::memory_order_relaxed);
    m_captureInterval = 1000 / (m_screen.fpsChoice * 5 + 10);
    m_format = new Gdiplus::StringFormat();
    m_format->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_format->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                             Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    m_bRunTimer = 1;
}

NimbrelEffect::~NimbrelEffect()
{
    ClearItem();
    ClearLightLayer();
    CAutoLock paint(m_paintLock);
    delete m_keyboardImage;
    m_keyboardImage = nullptr;
    delete m_gif;
    m_gif = nullptr;
    delete m_format;
    m_format = nullptr;
}

void NimbrelEffect::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    SetControlRect(m_rcControl);
}

void NimbrelEffect::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (!rect.IsRectEmpty() && m_pictureWidth != 0 && m_pictureHeight != 0) {
        m_offsetX = (rect.Width() - m_pictureWidth) / 2;
        m_offsetY = 20;
    }
    m_bUpdate = 0;
    RequestRepaint();
}

LONG NimbrelEffect::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

void NimbrelEffect::RequestRepaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

// ---- keyboard picture and key items ----

void NimbrelEffect::SetKeyboardImage(CStringW file)
{
    CString path = GetSkinsPath();
    path.Append(file);
    Gdiplus::Image* image = MRender::LoadImageFromFile(path);
    CAutoLock paint(m_paintLock);
    delete m_keyboardImage;
    m_keyboardImage = image;
}

void NimbrelEffect::SetWidthAndHeight(int width, int height)
{
    m_pictureWidth = width;
    m_pictureHeight = height;
    if (!m_rcControl.IsRectEmpty()) {
        m_offsetX = 20;
        m_offsetY = 25;
    }
}

int NimbrelEffect::AddKeyItem(const wchar_t* name, DWORD keyCode, CRect rect, int column, int row)
{
    KEYITEM_INFO* item = new KEYITEM_INFO();
    item->column = column;
    item->row = row;
    item->keyCode = keyCode;
    item->name = name ? name : L"";
    item->rect = rect;
    item->selected = 0;
    item->color = 0;
    CAutoLock lock(m_keyLock);
    m_keyItems.push_back(item);
    return static_cast<int>(m_keyItems.size()) - 1;
}

void NimbrelEffect::ClearItem()
{
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) delete item;
    m_keyItems.clear();
}

void NimbrelEffect::SetKeyMap(unsigned char* map, int rows, int columns)
{
    if (map) std::copy(map, map + 256, m_keyMap);
    m_gridRows = rows;
    m_gridColumns = columns;
}

void NimbrelEffect::SetColorMap(int column, int row, COLORREF color)
{
    if (column < 0 || row < 0) return;
    const long long index = static_cast<long long>(column) * 8 + row;
    if (index >= 256) return;
    m_colorMap[index].store(color, std::memory_order_relaxed);
    if (m_mode != 1) return;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        if (item->column == column && item->row == row) {
            item->color = color;
            break;
        }
    }
}

COLORREF NimbrelEffect::GetColorMap(int column, int row) const
{
    if (column < 0 || row < 0) return 0;
    const long long index = static_cast<long long>(column) * 8 + row;
    return index < 256 ? m_colorMap[index].load(std::memory_order_relaxed) : 0;
}

void NimbrelEffect::SetAllKeys(COLORREF color)
{
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) item->color = color;
}

void NimbrelEffect::SetKeysFromColorMap()
{
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) item->color = GetColorMap(item->column, item->row);
}

// ---- modes and settings ----

void NimbrelEffect::SetNimbrelMode(int mode)
{
    m_offsetX = 20;
    m_offsetY = 25;
    m_mode = mode;
    RequestRepaint();
}

void NimbrelEffect::SetCaptureWindow(HWND& window)
{
    m_captureWindow = window;
    RequestRepaint();
}

void NimbrelEffect::SetDisplaySize()
{
    if (!m_gif) return;
    m_gifDisplayWidth = static_cast<int>(m_gifWidth * m_gifScale);
    m_gifDisplayHeight = static_cast<int>(m_gifHeight * m_gifScale);
}

void NimbrelEffect::SetGIFImage(CStringW path)
{
    Gdiplus::Image* image = MRender::LoadImageFromFile(path);
    CAutoLock paint(m_paintLock);
    m_gifLastSwitch = 0;
    m_gifFrame = 0;
    m_gifFrameCount = 0;
    m_gifDelay = 0;
    m_offsetX = 20;
    m_offsetY = 25;
    delete m_gif;
    m_gif = nullptr;
    if (!image) return;
    if (image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return;
    }
    m_gif = image;
    m_gifScale = 0.0f;
    m_gifWidth = static_cast<int>(image->GetWidth());
    m_gifHeight = static_cast<int>(image->GetHeight());
    SetDisplaySize();
    const UINT dimensions = image->GetFrameDimensionsCount();
    if (dimensions == 0) {
        delete m_gif;
        m_gif = nullptr;
        return;
    }
    std::vector<GUID> ids(dimensions);
    image->GetFrameDimensionsList(ids.data(), dimensions);
    const int count = static_cast<int>(image->GetFrameCount(&ids[0]));
    m_gifFrameCount = count;
    if (count > 1) {
        // A GIF without a delay (no property, or 0, which is how GDI+
        // reports frames without one) gets 100 ms per frame.
        m_gifDelay = 100;
        const UINT size = image->GetPropertyItemSize(PropertyTagFrameDelay);
        if (size >= sizeof(Gdiplus::PropertyItem)) {
            std::vector<unsigned char> buffer(size);
            Gdiplus::PropertyItem* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
            if (image->GetPropertyItem(PropertyTagFrameDelay, size, item) == Gdiplus::Ok &&
                item->value && item->length >= 4) {
                UINT32 first = 0;
                memcpy(&first, item->value, 4);
                if (first != 0) m_gifDelay = first * 10.0;
            }
        }
    }
}

void NimbrelEffect::SetGIFDisplayParams(int x, int y, float scale)
{
    m_gifX = x;
    m_gifY = y;
    m_gifScale = scale;
    {
        CAutoLock paint(m_paintLock);
        SetDisplaySize();
    }
    RequestRepaint();
}

void NimbrelEffect::SetGIFPosition(int x, int y)
{
    m_gifX = x;
    m_gifY = y;
    RequestRepaint();
}

void NimbrelEffect::SetGIFScale(float scale)
{
    m_gifScale = scale;
    {
        CAutoLock paint(m_paintLock);
        SetDisplaySize();
    }
    RequestRepaint();
}

void NimbrelEffect::SetPresetMode(int preset)
{
    {
        CAutoLock step(m_stepLock);
        m_preset = preset;
        m_presetPhase = 0;
        m_flowPosition = 0;
        m_heartPhase = 0;
    }
    RequestRepaint();
}

void NimbrelEffect::SetCountdownValue(int value)
{
    {
        CAutoLock step(m_stepLock);
        m_countdown = value;
    }
    RequestRepaint();
}

void NimbrelEffect::SetFlowText(const wchar_t* text)
{
    {
        CAutoLock step(m_stepLock);
        m_flowText = text ? text : L"";
        m_flowPosition = 0;
    }
    RequestRepaint();
}

void NimbrelEffect::SetClockTime(int hour, int minute)
{
    {
        CAutoLock step(m_stepLock);
        m_clockHour = hour;
        m_clockMinute = minute;
    }
    RequestRepaint();
}

void NimbrelEffect::SetMusicMode(int mode)
{
    m_musicMode = mode;
    RequestRepaint();
}

void NimbrelEffect::SetMusicAmplitude(int amplitude)
{
    m_musicAmplitude = amplitude;
}

void NimbrelEffect::SetMusicScale(float scale)
{
    CAutoLock lock(m_audioLock);
    m_audio.scale = scale;
}

LIGHTLAYER_INFO* NimbrelEffect::SelectedLayer()
{
    CAutoLock lock(m_layerLock);
    const int selected = m_selectedLayer;
    if (selected < 0 || selected >= static_cast<int>(m_layers.size())) return nullptr;
    return m_layers[selected];
}

void NimbrelEffect::SetMusicColorful(bool on)
{
    m_colorful = on ? 1 : 0;
    bool changed = false;
    {
        CAutoLock lock(m_layerLock);
        const int selected = m_selectedLayer;
        if (selected >= 0 && selected < static_cast<int>(m_layers.size())) {
            m_layers[selected]->colorful = on ? 1 : 0;
            changed = true;
        }
    }
    if (changed) RequestRepaint();
}

void NimbrelEffect::SetMusicColor(COLORREF color)
{
    m_musicColor = color;
    bool changed = false;
    {
        CAutoLock lock(m_layerLock);
        const int selected = m_selectedLayer;
        if (selected >= 0 && selected < static_cast<int>(m_layers.size())) {
            m_layers[selected]->color = color;
            changed = true;
        }
    }
    if (changed) RequestRepaint();
}

void NimbrelEffect::SetVolumeThreshold(float threshold)
{
    m_threshold = std::min(1.0f, std::max(0.0f, threshold));
}

int NimbrelEffect::AddLightLayer(int type, CRect rect)
{
    CAutoLock lock(m_layerLock);
    for (LIGHTLAYER_INFO* layer : m_layers)
        if (layer->type == type) return -1;
    LIGHTLAYER_INFO* layer = new LIGHTLAYER_INFO();
    layer->type = type;
    layer->scale = 1.0f;
    layer->colorful = 1;
    layer->color = 0xE57749;
    layer->rect =
        rect.IsRectEmpty() ? CRect(0, 0, m_rcControl.Width(), m_rcControl.Height()) : rect;
    m_layers.push_back(layer);
    return static_cast<int>(m_layers.size()) - 1;
}

void NimbrelEffect::DeleteLightLayer(int type)
{
    bool removed = false;
    {
        CAutoLock lock(m_layerLock);
        for (size_t i = 0; i < m_layers.size(); ++i) {
            if (m_layers[i]->type == type) {
                delete m_layers[i];
                m_layers.erase(m_layers.begin() + static_cast<long>(i));
                removed = true;
                break;
            }
        }
    }
    if (removed) RequestRepaint();
}

void NimbrelEffect::ClearLightLayer()
{
    CAutoLock lock(m_layerLock);
    for (LIGHTLAYER_INFO* layer : m_layers) delete layer;
    m_layers.clear();
}

std::vector<LIGHTLAYER_INFO> NimbrelEffect::GetLightLayers()
{
    CAutoLock lock(m_layerLock);
    std::vector<LIGHTLAYER_INFO> copy;
    for (LIGHTLAYER_INFO* layer : m_layers) copy.push_back(*layer);
    return copy;
}

// ---- audio inputs ----

void NimbrelEffect::SetExternalAudioData(float volume, float peak, float average, int percent,
                                         float rms)
{
    const float v = nimbrel::Clamp01(volume);
    {
        CAutoLock lock(m_audioLock);
        m_audio.volume = v;
        m_audio.peak = nimbrel::Clamp01(peak);
        m_audio.average = nimbrel::Clamp01(average);
        m_audio.rms = std::max(0.0f, rms);
        m_history[m_historyIndex] = v;
        m_historyIndex = (m_historyIndex + 1) % 64;
    }
    m_musicAmplitude = std::min(100, std::max(0, percent));
    if (v > m_threshold) {
        if (!m_triggered) {
            m_triggered = true;
            ++m_triggerCount;
        }
    } else {
        m_triggered = false;
    }
}

void NimbrelEffect::SetFFTSpectrum(const float* spectrum32, const float* spectrum64)
{
    CAutoLock lock(m_audioLock);
    if (spectrum32) {
        float sum = 0;
        for (int i = 0; i < 32; ++i) {
            m_audio.spectrum32[i] = spectrum32[i];
            sum += spectrum32[i];
        }
        m_audio.hasSpectrum = sum > 0.0001f;
    } else {
        m_audio.hasSpectrum = false;
    }
    if (spectrum64) std::copy(spectrum64, spectrum64 + 64, m_audio.spectrum64);
}

void NimbrelEffect::SetBeatData(bool beat, float strength, float tempo, float bass, float mid,
                                float high)
{
    CAutoLock lock(m_audioLock);
    m_audio.beat = beat;
    m_audio.strength = nimbrel::Clamp01(strength);
    m_audio.tempo = std::min(400.0f, std::max(0.0f, tempo));
    m_audio.bass = nimbrel::Clamp01(bass);
    m_audio.mid = nimbrel::Clamp01(mid);
    m_audio.high = nimbrel::Clamp01(high);
    m_audio.boost = beat ? strength : m_audio.boost * 0.85f;
}

void NimbrelEffect::SetExternalVolumeData(float volume)
{
    CAutoLock lock(m_audioLock);
    m_audio.volume = nimbrel::Clamp01(volume);
}

void NimbrelEffect::SetCurrentVolume(float volume)
{
    SetExternalVolumeData(volume);
}

void NimbrelEffect::Initialize()
{
    {
        CAutoLock lock(m_audioLock);
        m_audio.volume = m_audio.rms = m_audio.peak = m_audio.average = 0;
        std::fill(std::begin(m_history), std::end(m_history), 0.0f);
        m_historyIndex = 0;
    }
    m_musicAmplitude = 0;
    m_triggerCount = 0;
    m_triggered = false;
    m_threshold = 0.1f;
}

NimbrelAudio NimbrelEffect::GetAudio() const
{
    CAutoLock lock(m_audioLock);
    return m_audio;
}

float NimbrelEffect::GetFFTSpectrum64(int index) const
{
    if (index < 0 || index > 63) return 0.0f;
    CAutoLock lock(m_audioLock);
    return m_audio.spectrum64[index];
}

// ---- timer step ----

void NimbrelEffect::AdvanceGIF()
{
    CAutoLock paint(m_paintLock);
    const int count = m_gifFrameCount;
    if (count < 2) {
        m_gifFrame = 0;
        return;
    }
    const double now = nimbrel::Millis();
    if (m_gifLastSwitch <= 0) m_gifLastSwitch = now;
    const double elapsed = now - m_gifLastSwitch;
    const double delay = m_gifDelay > 0 ? m_gifDelay : 100.0;
    if (elapsed < delay) return;
    const double steps = std::floor(elapsed / delay);
    // The frame advances modulo the animation, however late the tick.
    const double advanced = std::fmod(static_cast<double>(m_gifFrame) + steps, count);
    int frame = static_cast<int>(advanced);
    if (frame < 0 || frame >= count) frame = 0;
    m_gifFrame = frame;
    m_gifLastSwitch = now - (elapsed - delay * steps);
}

int NimbrelEffect::OnControlTimer()
{
    switch (m_mode) {
        case 3: UpdateScreenEffect(); break;
        case 4: UpdateWindowEffect(); break;
        case 5: AdvanceGIF(); break;
        case 6: UpdateGameEffect(); break;
        case 7: UpdateCustomEffect(); break;
        default: break;
    }
    HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    if (!wnd || !IsWindowVisible(wnd) || IsIconic(wnd)) {
        DrawHideControl();
        return 0;
    }
    RequestRepaint();
    return 1;
}

// ---- small helpers ----

CRect NimbrelEffect::GetRealRect(CRect rect) const
{
    rect.OffsetRect(m_offsetX, m_offsetY);
    return rect;
}

CRect NimbrelEffect::ScaledLayerRect(const CRect& rect, float scale)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int sw = static_cast<int>(static_cast<float>(w) * scale);
    const int sh = static_cast<int>(static_cast<float>(h) * scale);
    const int left = rect.left + w / 2 - sw / 2;
    const int top = rect.top + h / 2 - sh / 2;
    return CRect(left, top, left + sw, top + sh);
}

CRect NimbrelEffect::GetImageRect(int w, int h, CRect box)
{
    const int W = box.Width(), H = box.Height();
    int width = w, height = h;
    if (w <= W && h <= H) {
    } else if (w > W && h <= H) {
        width = W;
        height = w ? h * W / w : 0;
    } else if (w <= W && h > H) {
        width = h ? w * H / h : 0;
        height = H;
    } else if (h != 0 && static_cast<double>(w) / static_cast<double>(h) > 1.0) {
        width = W;
        height = h * W / w;
    } else {
        width = h ? w * H / h : 0;
        height = H;
    }
    const int left = box.left + (W - width) / 2, top = box.top + (H - height) / 2;
    return CRect(left, top, left + width, top + height);
}

HBITMAP NimbrelEffect::CreateARGB32Bitmap(HDC dc, int width, int height, unsigned char** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? static_cast<unsigned char*>(pixels) : nullptr;
    return bitmap;
}

int NimbrelEffect::GetEncoderClsid(const wchar_t* mimeType, GUID* clsid)
{
    UINT count = 0, size = 0;
    if (!mimeType || Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return -1;
    std::vector<unsigned char> buffer(size);
    Gdiplus::ImageCodecInfo* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            if (clsid) *clsid = codecs[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace WEXA
