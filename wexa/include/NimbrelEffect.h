#pragma once
// NimbrelEffect: the lighting effect panel.
//
// A windowless panel showing the keyboard picture with one item per key. It
// previews the effect modes on the keys and holds the colour of every key for
// the program's worker to stream to the keyboard:
//   1 colour map (SetColorMap), 2 music light layers (sampled from the painted
//   picture), 3 screen colour sync, 4 window capture, 5 animated GIF (sampled
//   from the painted frame), 6 game keys, 7 preset animations.
// It also owns the music light layers (twenty drawer types), the audio and
// beat values the audio thread pushes in, and the light-strip and matrix
// colour outputs.
//
// Threads: the UI thread builds the panel, paints it and edits the layers with
// the mouse; the multimedia-timer thread steps it (OnControlTimer) and, while
// the window is hidden, renders it off screen; the worker writes colour-map
// cells, steps it, renders it off screen and reads the key colours; the audio
// thread pushes audio, spectrum and beat values.
//
// Locks (all leaves below the engine's locks, see PaintManager.h):
//   paint lock      one drawing at a time (DrawControl, DrawHideControl), the
//                   keyboard picture and GIF swaps, the GIF clock;
//   step lock       one mode step at a time (modes 3, 4, 6, 7 and their state);
//   layer lock      the light-layer list;
//   key-item lock   the key-item list and every write of key colours
//                   (EnterCriSec/LeaveCriSec let callers hold it while they
//                   read the records GetKeyItems handed out);
//   audio lock      the audio thread's values (copied whole by readers).
// Order: paint lock, then step lock, then layer lock or key-item lock (never
// both), then audio lock. No repaint request or notification is made while
// the layer, key-item or audio lock is held.
#include <windows.h>

#include <atomic>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

// One key of the panel. The program reads these records (GetKeyItems), so the
// field order and widths stay as they are.
struct KEYITEM_INFO
{
    int column;      // grid column (0 based)
    int row;         // grid row (0 based, 0 at the top)
    UINT32 keyCode;  // USB HID usage; 300 and up for light-bar LEDs
    CString name;    // drawn on the key; empty for LED items
    CRect rect;      // in picture coordinates (the picture offset is added)
    int selected;    // 1: drawn in the selection colour
    COLORREF color;  // current colour, written by the mode rules
};

// One music light layer.
struct LIGHTLAYER_INFO
{
    int type;        // 1..20
    float scale;     // about the rectangle's centre, 0.01..5.0
    int colorful;    // 1: rainbow colours, 0: the layer's colour
    COLORREF color;  // the layer's own colour
    CRect rect;      // unscaled, panel coordinates
};

enum SCREEN_CAPTURE_TYPE {
    SCREEN_CAPTURE_MONITOR = 0,
    SCREEN_CAPTURE_COORDINATES = 1,
    SCREEN_CAPTURE_FOREGROUND = 2,
    SCREEN_CAPTURE_PROCESS = 3,
};

enum SCREEN_EFFECT_TYPE {
    SCREEN_EFFECT_PER_CELL = 0,
    SCREEN_EFFECT_AVERAGE = 1,
};

typedef int SCREEN_FPS_CHOICE;  // capture interval 1000 / (choice x 5 + 10) ms

// Settings of screen colour sync (mode 3).
struct WEXA_API ScreenCaptureConfig
{
    SCREEN_CAPTURE_TYPE captureType = SCREEN_CAPTURE_MONITOR;
    SCREEN_EFFECT_TYPE effectType = SCREEN_EFFECT_PER_CELL;
    SCREEN_FPS_CHOICE fpsChoice = 3;
    int monitor = 0;  // 0 primary, n > 0 the n-th monitor
    RECT coordinates = {0, 0, 0, 0};
    CString processName;  // stored; the foreground window is captured
    bool brightnessOn = true;
    float brightnessFactor = 1.2f;
    bool saturationOn = true;
    float saturationFactor = 1.5f;
    bool hueShiftOn = false;
    float hueShift = 0.0f;
    bool flipVertical = false;  // the grab lands upside down on the key grid
};

// Where the panel takes time and random numbers from. Defaults: GetTickCount,
// the performance counter in milliseconds, std::random_device and rand.
// Tests replace them to run animations frame by frame.
struct NimbrelEffectSources
{
    DWORD (*tickCount)();
    double (*milliseconds)();  // the GIF clock
    unsigned (*seed)();        // seeds one mt19937 per preset frame
    int (*random)();           // 0..RAND_MAX, like rand (sound-wave drift)
};

// The audio values of one moment, copied whole under the audio lock.
struct NimbrelAudio
{
    float volume = 0, peak = 0, average = 0, rms = 0;
    float scale = 1.0f;  // music scale
    float spectrum32[32] = {};
    float spectrum64[64] = {};
    bool hasSpectrum = false;
    bool beat = false;
    float strength = 0, tempo = 0, bass = 0, mid = 0, high = 0, boost = 0;
};

class WEXA_API NimbrelEffect : public MPanel
{
public:
    NimbrelEffect(MObject* owner, UINT id, CRect rect, int visible);
    ~NimbrelEffect() override;

    // ---- overrides ----
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT direction, CPoint point) override;
    int OnControlRButtonDown(UINT flags, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;

    // ---- keyboard picture and key items ----
    void SetKeyboardImage(CStringW file);
    void SetWidthAndHeight(int width, int height);
    // Appends a key (null name: empty) under the key-item lock; its index.
    int AddKeyItem(const wchar_t* name, DWORD keyCode, CRect rect, int column, int row);
    void ClearItem();
    void SetKeyMap(unsigned char* map, int rows, int columns);
    // Cell (column, row) of the 32 x 8 colour map (index column x 8 + row;
    // indexes outside the map are ignored); in mode 1 also the first key there.
    void SetColorMap(int column, int row, COLORREF color);
    COLORREF GetColorMap(int column, int row) const;
    // A copy of the key-item pointer list, taken under the key-item lock. The
    // records stay the panel's: hold EnterCriSec while reading them if another
    // thread may clear the keys.
    std::vector<KEYITEM_INFO*> GetKeyItems()
    {
        CAutoLock lock(m_keyLock);
        return m_keyItems;
    }
    void EnterCriSec() { m_keyLock.Lock(); }
    void LeaveCriSec() { m_keyLock.Unlock(); }

    // ---- modes and settings ----
    void SetNimbrelMode(int mode);
    int GetNimbrelMode() const { return m_mode; }
    void SetCaptureWindow(HWND& window);
    void SetGIFImage(CStringW path);
    void SetGIFDisplayParams(int x, int y, float scale);
    void SetGIFPosition(int x, int y);
    void SetGIFScale(float scale);
    void SetPresetMode(int preset);
    int GetPresetMode() const { return m_preset; }
    void SetCountdownValue(int value);
    void SetFlowText(const wchar_t* text);
    void SetClockTime(int hour, int minute);
    void SetMusicMode(int mode);
    void SetMusicAmplitude(int amplitude);
    void SetMusicScale(float scale);
    void SetMusicColorful(bool on);
    void SetMusicColor(COLORREF color);
    void SetVolumeThreshold(float threshold);
    int AddLightLayer(int type, CRect rect);
    void DeleteLightLayer(int type);
    void ClearLightLayer();
    // A copy of the layer records (for the pages and tests).
    std::vector<LIGHTLAYER_INFO> GetLightLayers();

    // ---- audio inputs (audio thread) ----
    void SetExternalAudioData(float volume, float peak, float average, int percent, float rms);
    void SetFFTSpectrum(const float* spectrum32, const float* spectrum64);
    void SetBeatData(bool beat, float strength, float tempo, float bass, float mid, float high);
    void SetExternalVolumeData(float volume);
    void SetCurrentVolume(float volume);
    void Initialize();
    NimbrelAudio GetAudio() const;

    // ---- outputs and stepping ----
    void DrawHideControl();
    void GetSideLightsColors(DWORD* colors, int count, bool colorful, DWORD color);
    void GetTopLightsColors(DWORD* colors, int count, bool colorful, DWORD color);
    void GetMatrixLightsColors(DWORD* colors, int rows, int columns, bool colorful, DWORD color);

    // ---- accessors ----
    int GetMusicMode() const { return m_musicMode; }
    int GetMusicAmplitude() const { return m_musicAmplitude; }
    float GetMusicScale() const { return GetAudio().scale; }
    bool GetMusicColorful() const { return m_colorful == 1; }
    COLORREF GetMusicColor() const { return m_musicColor; }
    float GetVolumeThreshold() const { return m_threshold; }
    float GetPeakVolume() const { return GetAudio().peak; }
    float GetAverageVolume() const { return GetAudio().average; }
    bool IsVolumeTriggered() const { return m_triggered; }
    float GetCurrentVolume() const { return GetAudio().volume; }
    int GetTriggerCount() const { return m_triggerCount; }
    int GetScreenCaptureType() const { return m_screen.captureType; }
    int GetScreenEffectType() const { return m_screen.effectType; }
    int GetScreenFps() const { return m_screen.fpsChoice; }
    void SetScreenMonitor(int index)
    {
        CAutoLock lock(m_stepLock);
        m_screen.monitor = index;
    }
    int GetScreenMonitor() const { return m_screen.monitor; }
    void SetScreenCoordinates(RECT rect)
    {
        CAutoLock lock(m_stepLock);
        m_screen.coordinates = rect;
    }
    RECT GetScreenCoordinates() const { return m_screen.coordinates; }
    void SetScreenProcess(const wchar_t* name)
    {
        CAutoLock lock(m_stepLock);
        m_screen.processName = name ? name : L"";
    }
    CString GetScreenProcess()
    {
        CAutoLock lock(m_stepLock);
        return m_screen.processName;
    }
    const ScreenCaptureConfig& GetScreenConfig() const { return m_screen; }
    // Copies every field; the capture interval stays as it was computed at
    // construction.
    void SetScreenConfig(const ScreenCaptureConfig& config)
    {
        CAutoLock lock(m_stepLock);
        m_screen = config;
    }
    void EnableFrameSelect(int flag) { m_frameSelect = flag; }
    DWORD GetCaptureInterval() const { return m_captureInterval; }
    int GetGIFFrame() const { return m_gifFrame; }
    int GetGIFFrameCount() const { return m_gifFrameCount; }
    double GetGIFDelay() const { return m_gifDelay; }
    float GetGIFScaleValue() const { return m_gifScale; }
    SIZE GetGIFDisplaySize() const { return SIZE{m_gifDisplayWidth, m_gifDisplayHeight}; }
    POINT GetPictureOffset() const { return POINT{m_offsetX, m_offsetY}; }

    // ---- colour helpers ----
    static COLORREF HSVtoRGB(float hue, float saturation, float value);
    static COLORREF GetRainbowColorFromHue(float hue);
    static COLORREF GetFlowingRainbowColor(float position, float rate, float spread);
    static COLORREF GetMusicResponsiveColor(float bass, float mid, float high);
    COLORREF ApplyBeatBoost(COLORREF color, float factor) const;
    float GetRainbowTime(float speed) const;
    float GetBassEnergy() const { return GetAudio().bass; }
    float GetMidEnergy() const { return GetAudio().mid; }
    float GetHighEnergy() const { return GetAudio().high; }
    float GetBeatStrength() const { return GetAudio().strength; }
    bool IsBeat() const { return GetAudio().beat; }
    float GetFFTSpectrum64(int index) const;
    bool HasFFTData() const { return GetAudio().hasSpectrum; }
    // HSL (hue in degrees, saturation and lightness in percent) of the presets.
    static COLORREF PresetHslToRgb(float hue, float saturation, float lightness);
    COLORREF ApplyImageAdjustments(COLORREF color) const;
    static COLORREF CalculateAverageColor(Gdiplus::Bitmap* bitmap);
    static Gdiplus::Bitmap* ConvertSaturation(Gdiplus::Bitmap* bitmap, float saturation);
    static CRect GetImageRect(int width, int height, CRect box);
    static HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, unsigned char** bits);
    static int GetEncoderClsid(const wchar_t* mimeType, GUID* clsid);
    static int GetDragType(CPoint point, CRect rect);
    static HICON GetDragCursor(int type);
    CRect GetRealRect(CRect rect) const;
    // The rectangle a layer is drawn in (scaled about its centre).
    static CRect ScaledLayerRect(const CRect& rect, float scale);

    // Replaces the time and random sources of every panel (null restores the
    // defaults). Not for use while panels are stepping.
    static void SetSources(const NimbrelEffectSources* sources);
    // Zeroes the drawers' state shared by every panel (smoothing, drift, the
    // shooting-star timer).
    static void ResetSharedState();
    // Smoothed values kept by the spectrum drawers (type 1: 64, type 5: 32,
    // type 3: 128, type 4: 64); null for other types.
    static const float* GetLayerState(int type);

    // ---- mode steps ----
    void UpdateScreenEffect();
    void UpdateWindowEffect();
    void UpdateGameEffect();
    void UpdateGIFEffect();
    void UpdateCustomEffect();
    void DrawMusicEffect(Gdiplus::Graphics& graphics);
    // Calls the drawer of a layer type with a given audio state (tests, bench).
    void DrawLayer(Gdiplus::Graphics& graphics, int type, CRect rect, bool colorful, COLORREF color,
                   const NimbrelAudio& audio);

    static const int SPECTRUM_SIZE = 32;

protected:
    // ---- presets (mode 7) ----
    void UpdateCountdownEffect();
    void UpdateClockEffect();
    void UpdateHeartbeatEffect();
    void UpdateHeartPierceEffect();
    void UpdateBreathingEffect();
    void UpdateLightningEffect();
    void UpdateRainbowWaveEffect();
    void UpdateFireEffect();
    void UpdateBlueFireEffect();
    void UpdateSOSEffect();
    void UpdateRippleEffect();
    void UpdateStarryEffect();
    void UpdateTextFlowEffect();
    void UpdateAudioSpectrumEffect();

    // ---- painting ----
    void DrawRoundRectange(Gdiplus::Graphics& graphics, float x, float y, float w, float h, float r,
                           Gdiplus::Color fill, float penWidth, Gdiplus::Color pen);
    void CalFrameSelect();

public:
    // Star of preset 11.
    struct Star
    {
        int key;
        COLORREF color;
        float birth;
        float lifetime;
        float brightness;
    };

    // ---- state (public for the program's pages and the tests) ----
    std::vector<KEYITEM_INFO*> m_keyItems;
    CCriticalLock m_keyLock;
    std::vector<LIGHTLAYER_INFO*> m_layers;
    CCriticalLock m_layerLock;
    CCriticalLock m_paintLock;
    CCriticalLock m_stepLock;
    mutable CCriticalLock m_audioLock;

    std::atomic<int> m_selectedLayer;
    std::atomic<int> m_hoverLayer;
    int m_dragType;
    CRect m_dragStartRect;
    CPoint m_dragStart;
    std::atomic<int> m_pointedKey;
    std::atomic<int> m_rightKey;

    Gdiplus::Image* m_keyboardImage;
    std::atomic<int> m_offsetX, m_offsetY;
    int m_pictureWidth, m_pictureHeight;

    std::atomic<int> m_musicMode;
    std::atomic<int> m_musicAmplitude;
    std::atomic<int> m_colorful;
    std::atomic<COLORREF> m_musicColor;

    Gdiplus::Image* m_gif;
    int m_gifWidth, m_gifHeight;
    std::atomic<int> m_gifFrame;
    std::atomic<int> m_gifFrameCount;
    double m_gifLastSwitch;
    double m_gifDelay;
    std::atomic<int> m_gifX, m_gifY;
    std::atomic<float> m_gifScale;
    std::atomic<int> m_gifDisplayWidth, m_gifDisplayHeight;

    HWND m_captureWindow;
    int m_bandActive;
    CPoint m_bandStart, m_bandEnd;
    std::atomic<int> m_mode;

    std::atomic<COLORREF> m_colorMap[256];
    unsigned char m_keyMap[256];
    std::atomic<int> m_gridRows, m_gridColumns;

    ScreenCaptureConfig m_screen;
    DWORD m_lastCapture;
    DWORD m_captureInterval;
    Gdiplus::StringFormat* m_format;

    float m_gamePhase;
    std::atomic<int> m_preset;
    float m_presetPhase;
    int m_countdown;
    CString m_flowText;
    int m_flowPosition;
    float m_heartPhase;
    int m_clockHour, m_clockMinute;
    std::vector<Star> m_stars;
    COLORREF m_smoothedColor;  // dominant screen colour (nothing reads it)

    // Audio (under the audio lock).
    NimbrelAudio m_audio;
    float m_history[64];
    int m_historyIndex;
    std::atomic<float> m_threshold;
    std::atomic<bool> m_triggered;
    std::atomic<int> m_triggerCount;
    int m_frameSelect;

private:
    void RequestRepaint();
    // Steps 2 to 5 of painting into a bottom-up 32-bit picture of the panel's size.
    // Paints into a w x h picture (sized by the caller from one read of the
    // panel's rectangle: another thread may resize the panel meanwhile).
    void PaintInto(unsigned char* bits, int w, int h, bool onScreen);
    void DrawSelectionFrame(Gdiplus::Graphics& graphics);
    void AdvanceGIF();
    void SetKeysFromColorMap();
    void SetAllKeys(COLORREF color);
    LIGHTLAYER_INFO* SelectedLayer();
    bool ScreenCaptureRect(RECT* rect);
    void SetDisplaySize();
    static DWORD Now();
};

}  // namespace WEXA
