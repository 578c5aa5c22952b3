#pragma once
// MatrixScreen: the preview of the keyboard's 7 x 7 matrix screen.
//
// 49 cells (row-major, id = row x 7 + column), each with a colour, drawn as
// rounded squares. The user paints cells in paint mode (1); in modes 2-27
// every step of the window's multimedia tick computes the next frame of an
// animation from the control's own state, the audio the program pushes in and
// the colour, brightness, speed and amplitude settings. The program's worker
// reads the cell colours (GetKeyItems) to stream them to the keyboard and
// writes them when it reads the keyboard's stored picture.
//
// Modes: 0 static, 1 paint, 2-21 patterns, 11-14/16/18 particles and Life,
// 22-27 music, 28-34 set up but never stepped; any other number runs nothing.
//
// Threads: the tick (winmm's timer thread) runs the steps; the UI thread
// draws, paints with the mouse and calls the setters and SetPresetMode; the
// worker reads and writes cell colours; the audio thread calls SetAudioData,
// SetMasterVolume and SetInputWave.
// Locks: the cell lock (m_itemLock) guards the cell list, every colour write of
// the animations, drawing, painting, and the animations' own state: a mode's
// set-up (SetPresetMode) and a whole step (UpdatePresetAnimation) each run
// under it, so a step never sees a half-built particle list. In the engine's
// lock order (see PaintManager.h) it sits below everything else, and it is
// never held while the control asks its owner for a repaint or notifies it.
// Under it only two further locks of the control's own are taken, one at a
// time and each a leaf: the lock of the statics the animations share between
// all MatrixScreen objects (the hue offset, the music spectrum, the phases),
// and the audio lock (m_audioLock), through which a music step copies the
// audio inputs (ReadAudio). SetAudioData and SetInputWave write those inputs
// under the audio lock alone. The settings (brightness, speed, amplitude,
// master volume) are atomics and take no lock. GetKeyItems copies the cell
// list and AddItem appends to it without the cell lock: the list is made once
// (Initialize) before the tick and the worker use it and is not changed while
// they do; a cell's colour is read or written whole.
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

// One cell of the matrix screen.
struct MATRIXITEM_INFO
{
    int row;         // 0-6, top to bottom
    int column;      // 0-6, left to right
    int id;          // row x 7 + column: index into the keyboard's 49-entry colour tables
    RECT rect;       // inside the control (origin at its top-left), set by every drawing pass
    int reserved;    // always 0
    COLORREF color;  // 0x00BBGGRR; 0 is off
};

// Where the animations take time, local time and random numbers from. The
// defaults are GetTickCount, GetLocalTime and the C library's rand; tests
// replace them to run animations frame by frame.
struct MatrixScreenSources
{
    DWORD (*tickCount)();
    void (*localTime)(SYSTEMTIME* time);
    int (*random)();  // 0..RAND_MAX, like rand
};

class WEXA_API MatrixScreen : public MPanel
{
public:
    MatrixScreen(MObject* owner, UINT id, CRect rect, int visible);
    ~MatrixScreen() override;

    // ---- overrides ----
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonDown(UINT flags, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;

    // ---- cells ----
    // Appends m_rows x m_columns cells (row outer), ids from 0, all off; does
    // not empty the list first.
    void Initialize();
    // Appends one cell (colour 0) without the lock; the new cell count.
    int AddItem(int row, int column, int id);
    void ClearItem();
    // A copy of the pointer list (the records stay the control's).
    std::vector<MATRIXITEM_INFO*> GetKeyItems();

    // ---- settings ----
    void SetMatrixScreenColorful(bool colorful);
    void SetMatrixScreenColor(COLORREF color);
    COLORREF GetSingleColor() const { return m_singleColor; }
    void SetBrightness(float brightness);     // 0..1
    void SetAnimationSpeed(float speed);      // 0..9; divider = int(9 - speed)
    void SetAudioAmplitude(float amplitude);  // 0..100
    void SetMasterVolume(float volume);       // 0..2
    float GetBrightness() const { return m_brightness; }
    float GetAnimationSpeed() const { return m_animationSpeed; }
    float GetAudioAmplitude() const { return m_audioAmplitude; }

    // ---- audio inputs (audio thread) ----
    void SetAudioData(float* levels, int count);
    void SetInputWave(float* samples, int count);

    // ---- modes ----
    void SetPresetMode(int mode);
    void UpdatePresetAnimation();
    int GetPresetMode() const { return m_presetMode; }

    // The off-screen drawing pass used while the window is hidden or minimised.
    void DrawHideControl();

    // ---- colour functions used by every animation ----
    COLORREF ApplyBrightness(COLORREF color);
    void SetPixelColor(int x, int y, COLORREF color);
    void DisplayNumber(int digit, COLORREF color);
    COLORREF HSVtoRGB(int hue, int saturation, int value);
    COLORREF GetCyclicColor(float position);
    HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, void** bits);

    // ---- pattern animations (modes 2-10, 15, 17, 19-21) ----
    void ApplyCountdownEffect();
    void ApplyClockEffect();
    void ApplyHeartbeatEffect();
    void ApplyTextFlowEffect();
    void ApplyRainbowWaveEffect();
    void ApplyBreathingEffect();
    void ApplyRippleEffect();
    void ApplySpiralEffect();
    void ApplyCrossFadeEffect();
    void ApplyPlasmaEffect();
    void ApplyMandelbrotEffect();
    void ApplyWaveformEffect();
    void ApplyTunnelEffect();
    void ApplyKaleidoscopeEffect();
    // ---- particles and simulations (11-14, 16, 18) ----
    void ApplyRainDropEffect();
    void ApplySnakeEffect();
    void ApplyFireworksEffect();
    void ApplyMatrixRainEffect();
    void ApplyStarfieldEffect();
    void ApplyGameOfLifeEffect();
    // ---- music (22-27) ----
    void ApplyMusicSpectrumEffect();
    void ApplyMusicWaveEffect();
    void ApplyMusicPulseEffect();
    void ApplyMusicRainEffect();
    void ApplyMusicCircleEffect();
    void ApplyMusicHeartbeatEffect();
    // ---- set up but never stepped (28-32, 34) ----
    void ApplyHeartEffect();
    void ApplyScanEffect();
    void ApplyTypingEffect();
    void ApplyRaindropMatrixEffect();
    void ApplyTerminalEffect();
    void ApplyRadiantEffect();

    // Replaces the time, local-time and random sources of every MatrixScreen
    // (null restores the defaults). Not for use while steps are running.
    static void SetSources(const MatrixScreenSources* sources);

    // Digits 0-9, 7 rows of 5 columns each, row-major, true = lit.
    static const bool s_numberPatterns[10][35];

    // ---- particle records ----
    struct RainDrop
    {
        int column;
        int row;
    };
    struct SnakeSegment
    {
        int x;
        int y;
    };
    struct Particle
    {
        float x, y, vx, vy;
        int life;
        COLORREF color;
    };
    struct MatrixColumn
    {
        int column;
        int head;
        int length;
    };
    struct Star
    {
        float x, y, z, speed;
    };
    struct MatrixDrop
    {
        int x, y, speed, life;
        COLORREF color;
    };

    // ---- data ----
    std::vector<MATRIXITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_rows;
    int m_columns;
    int m_nextId;
    std::atomic<COLORREF> m_singleColor;
    std::atomic<bool> m_colorful;
    std::atomic<int> m_presetMode;
    double m_elapsed;  // seconds since the mode was set
    DWORD m_lastTick;
    int m_tickCounter;
    std::atomic<int> m_tickDivider;
    POINT m_lastMousePoint;
    std::atomic<float> m_brightness;
    std::atomic<float> m_animationSpeed;
    std::atomic<float> m_audioAmplitude;
    std::atomic<float> m_masterVolume;
    float m_audioGain;
    // The audio thread's inputs, under the audio lock (a leaf: nothing is
    // taken under it); a step reads them through ReadAudio.
    CCriticalLock m_audioLock;
    float m_bandLevels[7];
    float m_waveSamples[512];

    // Pattern state. Phases are doubles: they grow for as long as the program
    // runs, and a float loses its fraction after a few hours.
    int m_countdownValue;
    int m_clockHour;
    int m_clockMinute;
    int m_textPosition;
    double m_heartbeatPhase;
    double m_breathLevel;
    double m_rippleCenterX;
    double m_rippleCenterY;
    double m_rippleRadius;
    double m_spiralPhase;
    double m_plasmaPhase;
    float m_mandelbrotZoom;
    float m_mandelbrotCenterX;
    float m_mandelbrotCenterY;
    double m_waveAmplitude;
    double m_wavePhase;
    double m_tunnelDepth;
    double m_tunnelTwist;
    double m_kaleidoscopeRotation;
    int m_kaleidoscopeSegments;

    // Music state.
    int m_musicRainHeights[7];
    double m_musicCircleRadius;

    // Particles and Life.
    std::vector<RainDrop> m_rainDrops;
    DWORD m_lastDropTime;
    std::vector<SnakeSegment> m_snake;
    POINT m_snakeDirection;
    DWORD m_lastSnakeMove;
    std::vector<Particle> m_particles;
    DWORD m_lastBurstTime;
    std::vector<MatrixColumn> m_matrixColumns;
    std::vector<Star> m_stars;
    bool m_lifeGrid[49];
    DWORD m_lastGeneration;

    // Set-up-only animations.
    double m_heartPhase;
    int m_scanPosition;
    DWORD m_lastScanTime;
    CString m_typingText;
    int m_typingIndex;
    DWORD m_lastTypingTime;
    std::vector<MatrixDrop> m_matrixDrops;
    DWORD m_lastMatrixDropTime;
    CString m_terminalText;
    int m_terminalIndex;
    DWORD m_lastTerminalTime;
    double m_radiantPhase;
    double m_radiantLength;
    DWORD m_lastRadiantTime;

protected:
    void DrawRoundRectange(Gdiplus::Graphics& graphics, CRect rect, Gdiplus::Color color);

private:
    // Lays the cells out for a width and draws them (cell lock taken).
    void DrawCells(Gdiplus::Graphics& graphics, int width);
    void RequestRepaint();
    // The cell at (x, y) set to the colour as it is (no brightness).
    void SetCellRaw(int x, int y, COLORREF color);
    void ClearCells();  // every cell 0; caller holds the cell lock
    COLORREF SingleAtLevel(double level) const;
    // Copies the band levels (and, when wave is not null, the 512 samples).
    void ReadAudio(float bands[7], float* wave);
    static POINT RandomDirection();
    static DWORD Now();
    static void LocalTime(SYSTEMTIME* time);
    static int Random();
};

}  // namespace WEXA
