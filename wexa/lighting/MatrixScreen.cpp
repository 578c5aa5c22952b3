// MatrixScreen: cells, drawing, painting, the timer step, audio inputs, the
// colour helpers and the mode switch.
#include "MatrixScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ControlRegistry.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"
#include "lighting/MatrixScreenShared.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MatrixScreen, new MatrixScreen(a.owner, a.id, a.rect, a.visible));

namespace {

DWORD DefaultTick()
{
    return GetTickCount();
}
void DefaultLocalTime(SYSTEMTIME* time)
{
    GetLocalTime(time);
}
int DefaultRandom()
{
    return rand();
}

const MatrixScreenSources kDefaultSources = {DefaultTick, DefaultLocalTime, DefaultRandom};
MatrixScreenSources g_sources = kDefaultSources;

#define D(a, b, c, d, e) a, b, c, d, e
// Digits 0-9, 7 rows of 5.
}  // namespace

const bool MatrixScreen::s_numberPatterns[10][35] = {
    {D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 1), D(1, 0, 0, 0, 1), D(1, 0, 0, 0, 1), D(1, 0, 0, 0, 1),
     D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 0)},
    {D(0, 0, 1, 0, 0), D(0, 1, 1, 0, 0), D(0, 0, 1, 0, 0), D(0, 0, 1, 0, 0), D(0, 0, 1, 0, 0),
     D(0, 0, 1, 0, 0), D(0, 1, 1, 1, 0)},
    {D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 1), D(0, 0, 0, 0, 1), D(0, 0, 0, 1, 0), D(0, 0, 1, 0, 0),
     D(0, 1, 0, 0, 0), D(1, 1, 1, 1, 1)},
    {D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 1), D(0, 0, 0, 0, 1), D(0, 0, 1, 1, 0), D(0, 0, 0, 0, 1),
     D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 0)},
    {D(0, 0, 0, 1, 0), D(0, 0, 1, 1, 0), D(0, 1, 0, 1, 0), D(1, 0, 0, 1, 0), D(1, 1, 1, 1, 1),
     D(0, 0, 0, 1, 0), D(0, 0, 0, 1, 0)},
    {D(1, 1, 1, 1, 1), D(1, 0, 0, 0, 0), D(1, 1, 1, 1, 0), D(0, 0, 0, 0, 1), D(0, 0, 0, 0, 1),
     D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 0)},
    {D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 0), D(1, 0, 0, 0, 0), D(1, 1, 1, 1, 0), D(1, 0, 0, 0, 1),
     D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 0)},
    {D(1, 1, 1, 1, 1), D(0, 0, 0, 0, 1), D(0, 0, 0, 1, 0), D(0, 0, 1, 0, 0), D(0, 1, 0, 0, 0),
     D(0, 1, 0, 0, 0), D(0, 1, 0, 0, 0)},
    {D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 1), D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 1),
     D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 0)},
    {D(0, 1, 1, 1, 0), D(1, 0, 0, 0, 1), D(1, 0, 0, 0, 1), D(0, 1, 1, 1, 1), D(0, 0, 0, 0, 1),
     D(0, 0, 0, 0, 1), D(0, 1, 1, 1, 0)},
};
#undef D

namespace matrix_detail {

SharedState& Shared()
{
    static SharedState state;
    return state;
}

double NextHueOffset(SharedState& s)
{
    s.hueOffset += 2;
    if (s.hueOffset >= 360) s.hueOffset = 0;
    return s.hueOffset;
}

}  // namespace matrix_detail

void MatrixScreen::SetSources(const MatrixScreenSources* sources)
{
    g_sources = sources ? *sources : kDefaultSources;
    if (!g_sources.tickCount) g_sources.tickCount = DefaultTick;
    if (!g_sources.localTime) g_sources.localTime = DefaultLocalTime;
    if (!g_sources.random) g_sources.random = DefaultRandom;
}

DWORD MatrixScreen::Now()
{
    return g_sources.tickCount();
}

int MatrixScreen::Random()
{
    return g_sources.random();
}

void MatrixScreen::LocalTime(SYSTEMTIME* time)
{
    g_sources.localTime(time);
}

// ---- construction ----

MatrixScreen::MatrixScreen(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_rows(7),
      m_columns(7),
      m_nextId(-1),
      m_singleColor(RGB(255, 0, 0)),
      m_colorful(true),
      m_presetMode(0),
      m_elapsed(0),
      m_lastTick(Now()),
      m_tickCounter(0),
      m_tickDivider(4),
      m_lastMousePoint{0, 0},
      m_brightness(0.8f),
      m_animationSpeed(5.0f),
      m_audioAmplitude(50.0f),
      m_masterVolume(1.0f),
      m_audioGain(2.0f),
      m_bandLevels{},
      m_waveSamples{},
      m_countdownValue(0),
      m_clockHour(0),
      m_clockMinute(0),
      m_textPosition(0),
      m_heartbeatPhase(0),
      m_breathLevel(0),
      m_rippleCenterX(3.0),
      m_rippleCenterY(3.0),
      m_rippleRadius(0),
      m_spiralPhase(0),
      m_plasmaPhase(0),
      m_mandelbrotZoom(1.0f),
      m_mandelbrotCenterX(0),
      m_mandelbrotCenterY(0),
      m_waveAmplitude(1.0),
      m_wavePhase(1.0),
      m_tunnelDepth(0),
      m_tunnelTwist(0),
      m_kaleidoscopeRotation(0),
      m_kaleidoscopeSegments(6),
      m_musicRainHeights{},
      m_musicCircleRadius(0),
      m_lastDropTime(0),
      m_snakeDirection{0, 0},
      m_lastSnakeMove(0),
      m_lastBurstTime(0),
      m_lifeGrid{},
      m_lastGeneration(0),
      m_heartPhase(0),
      m_scanPosition(0),
      m_lastScanTime(0),
      m_typingText(L"ABC123"),
      m_typingIndex(0),
      m_lastTypingTime(0),
      m_lastMatrixDropTime(0),
      m_terminalText(L"CMD"),
      m_terminalIndex(0),
      m_lastTerminalTime(0),
      m_radiantPhase(0),
      m_radiantLength(0),
      m_lastRadiantTime(0)
{
    m_bRunTimer = 1;
    m_bRunning = 1;
}

MatrixScreen::~MatrixScreen()
{
    ClearItem();
}

void MatrixScreen::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    SetControlRect(m_rcControl);
}

void MatrixScreen::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    m_bUpdate = 0;
    RequestRepaint();
}

void MatrixScreen::RequestRepaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

// ---- cells ----

void MatrixScreen::Initialize()
{
    CAutoLock lock(m_itemLock);
    m_nextId = 0;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            MATRIXITEM_INFO* item = new MATRIXITEM_INFO();
            item->row = r;
            item->column = c;
            item->id = m_nextId++;
            m_items.push_back(item);
        }
    }
}

int MatrixScreen::AddItem(int row, int column, int id)
{
    MATRIXITEM_INFO* item = new MATRIXITEM_INFO();
    item->row = row;
    item->column = column;
    item->id = id;
    m_items.push_back(item);
    ++m_nextId;
    return static_cast<int>(m_items.size());
}

void MatrixScreen::ClearItem()
{
    CAutoLock lock(m_itemLock);
    for (MATRIXITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

std::vector<MATRIXITEM_INFO*> MatrixScreen::GetKeyItems()
{
    return m_items;
}

void MatrixScreen::ClearCells()
{
    for (MATRIXITEM_INFO* item : m_items) item->color = 0;
}

// ---- settings ----

void MatrixScreen::SetMatrixScreenColorful(bool colorful)
{
    m_colorful = colorful;
    RequestRepaint();
}

void MatrixScreen::SetMatrixScreenColor(COLORREF color)
{
    m_singleColor = color;
    RequestRepaint();
}

void MatrixScreen::SetBrightness(float brightness)
{
    m_brightness = std::min(1.0f, std::max(0.0f, brightness));
}

void MatrixScreen::SetAnimationSpeed(float speed)
{
    m_animationSpeed = std::min(9.0f, std::max(0.0f, speed));
    m_tickDivider = static_cast<int>(9.0f - m_animationSpeed);
}

void MatrixScreen::SetAudioAmplitude(float amplitude)
{
    m_audioAmplitude = std::min(100.0f, std::max(0.0f, amplitude));
}

void MatrixScreen::SetMasterVolume(float volume)
{
    m_masterVolume = std::min(2.0f, std::max(0.0f, volume));
}

// ---- audio inputs ----

void MatrixScreen::SetAudioData(float* levels, int count)
{
    if (!levels || count <= 0) return;
    const int given = std::min(count, 7);
    CAutoLock lock(m_audioLock);
    for (int i = 0; i < given; ++i) {
        const float v = levels[i] * m_masterVolume * m_audioGain;
        m_bandLevels[i] = std::min(1.0f, std::max(0.0f, v));
    }
    for (int i = given; i < 7; ++i) m_bandLevels[i] = 0;
}

void MatrixScreen::SetInputWave(float* samples, int count)
{
    CAutoLock lock(m_audioLock);
    if (!samples || count <= 0) {
        std::fill(std::begin(m_waveSamples), std::end(m_waveSamples), 0.0f);
        return;
    }
    const int n = std::min(count, 512);
    std::copy(samples, samples + n, m_waveSamples);
    std::fill(m_waveSamples + n, std::end(m_waveSamples), 0.0f);
}

void MatrixScreen::ReadAudio(float bands[7], float* wave)
{
    CAutoLock lock(m_audioLock);
    std::copy(std::begin(m_bandLevels), std::end(m_bandLevels), bands);
    if (wave) std::copy(std::begin(m_waveSamples), std::end(m_waveSamples), wave);
}

// ---- colour helpers ----

COLORREF MatrixScreen::ApplyBrightness(COLORREF color)
{
    const float b = m_brightness;
    if (b >= 1.0f) return color;
    auto scale = [b](int channel) {
        const int v = static_cast<int>(channel * b);
        return std::min(255, std::max(0, v));
    };
    return RGB(scale(GetRValue(color)), scale(GetGValue(color)), scale(GetBValue(color)));
}

void MatrixScreen::SetPixelColor(int x, int y, COLORREF color)
{
    if (x < 0 || x > 6 || y < 0 || y > 6) return;
    const size_t index = static_cast<size_t>(y * 7 + x);
    if (index < m_items.size()) m_items[index]->color = ApplyBrightness(color);
}

void MatrixScreen::SetCellRaw(int x, int y, COLORREF color)
{
    if (x < 0 || x > 6 || y < 0 || y > 6) return;
    const size_t index = static_cast<size_t>(y * 7 + x);
    if (index < m_items.size()) m_items[index]->color = color;
}

void MatrixScreen::DisplayNumber(int digit, COLORREF color)
{
    if (digit < 0 || digit > 9) return;
    for (int r = 0; r < 7; ++r) {
        for (int j = 0; j < 5; ++j) {
            if (s_numberPatterns[digit][r * 5 + j]) SetPixelColor(j + 1, r, color);
        }
    }
}

COLORREF MatrixScreen::HSVtoRGB(int h, int s, int v)
{
    if (h < 0 || h >= 360) return 0;
    const int sector = h / 60;
    const int f = h % 60;
    const int p = (255 - s) * v / 255;
    const int q = (255 - s * f / 60) * v / 255;
    const int t = (255 - s * (60 - f) / 60) * v / 255;
    int r = 0, g = 0, b = 0;
    switch (sector) {
        case 0: r = v, g = t, b = p; break;
        case 1: r = q, g = v, b = p; break;
        case 2: r = p, g = v, b = t; break;
        case 3: r = p, g = q, b = v; break;
        case 4: r = t, g = p, b = v; break;
        default: r = v, g = p, b = q; break;
    }
    return RGB(r & 0xFF, g & 0xFF, b & 0xFF);
}

COLORREF MatrixScreen::GetCyclicColor(float position)
{
    matrix_detail::SharedState& s = matrix_detail::Shared();
    double offset;
    {
        CAutoLock lock(s.lock);
        offset = matrix_detail::NextHueOffset(s);
    }
    return HSVtoRGB(static_cast<int>(position * 360.0 + offset) % 360, 255, 255);
}

COLORREF MatrixScreen::SingleAtLevel(double level) const
{
    return matrix_detail::ScaleColor(m_singleColor, level);
}

HBITMAP MatrixScreen::CreateARGB32Bitmap(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

// ---- drawing ----

void MatrixScreen::DrawRoundRectange(Gdiplus::Graphics& graphics, CRect rect, Gdiplus::Color color)
{
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    int rx = w / 4, ry = h / 4;
    if (std::abs(rx - ry) > 10) rx = ry = std::min(rx, ry);
    const float l = static_cast<float>(rect.left), t = static_cast<float>(rect.top);
    const float r = static_cast<float>(rect.right), b = static_cast<float>(rect.bottom);
    const float fx = static_cast<float>(rx), fy = static_cast<float>(ry);
    Gdiplus::GraphicsPath path;
    path.AddLine(l + fx, t, r - fx, t);
    if (rx > 0 && ry > 0) path.AddArc(r - 2 * fx, t, 2 * fx, 2 * fy, 270, 90);
    path.AddLine(r, t + fy, r, b - fy);
    if (rx > 0 && ry > 0) path.AddArc(r - 2 * fx, b - 2 * fy, 2 * fx, 2 * fy, 0, 90);
    path.AddLine(r - fx, b, l + fx, b);
    if (rx > 0 && ry > 0) path.AddArc(l, b - 2 * fy, 2 * fx, 2 * fy, 90, 90);
    path.AddLine(l, b - fy, l, t + fy);
    if (rx > 0 && ry > 0) path.AddArc(l, t, 2 * fx, 2 * fy, 180, 90);
    path.CloseFigure();
    Gdiplus::SolidBrush brush(color);
    Gdiplus::Pen pen(color, 1.0f);
    graphics.FillPath(&brush, &path);
    graphics.DrawPath(&pen, &path);
}

void MatrixScreen::DrawCells(Gdiplus::Graphics& graphics, int width)
{
    CAutoLock lock(m_itemLock);
    if (m_rows <= 0) return;
    const int side = (width - (m_rows + 1) * 10) / m_rows;
    int x = 10, y = 10;
    for (MATRIXITEM_INFO* item : m_items) {
        item->rect = RECT{x, y, x + side, y + side};
        const COLORREF c = item->color;
        DrawRoundRectange(graphics, CRect(x, y, x + side, y + side),
                          Gdiplus::Color(0xFF, GetRValue(c), GetGValue(c), GetBValue(c)));
        x += side + 10;
        if (x + side > width) {
            x = 10;
            y += side + 10;
        }
    }
}

void MatrixScreen::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (m_bUpdate && m_hMemDC) {
        BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
        return;
    }
    Sleep(1);
    UpdateMemDC(dc, w, h);
    if (!m_hMemDC) return;
    BitBlt(m_hMemDC, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
    {
        Gdiplus::Graphics graphics(m_hMemDC);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        DrawCells(graphics, w);
    }
    BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
}

void MatrixScreen::DrawHideControl()
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    gdi::WindowDC windowDc(wnd);
    if (!windowDc) return;
    gdi::MemoryDC memDc(windowDc);
    if (!memDc) return;
    void* bits = nullptr;
    gdi::Bitmap bitmap(CreateARGB32Bitmap(windowDc, w, h, &bits));
    if (!bitmap) return;
    gdi::Selection select(memDc, bitmap);
    Gdiplus::Graphics graphics(memDc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    DrawCells(graphics, w);
}

// ---- timer step ----

int MatrixScreen::OnControlTimer()
{
    if (!m_bRunning) return 0;
    const int c = m_tickCounter;
    m_tickCounter = c + 1;
    if (c <= m_tickDivider) return 1;
    m_tickCounter = 0;
    UpdatePresetAnimation();
    HWND wnd = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    if (!wnd || !IsWindowVisible(wnd) || IsIconic(wnd)) {
        DrawHideControl();
        return 0;
    }
    RequestRepaint();
    return 1;
}

// ---- mouse ----

namespace {
bool CellAt(const std::vector<MATRIXITEM_INFO*>& items, const CRect& control, CPoint point,
            MATRIXITEM_INFO** hit)
{
    for (MATRIXITEM_INFO* item : items) {
        RECT r = item->rect;
        OffsetRect(&r, control.left, control.top);
        if (::PtInRect(&r, POINT{point.x, point.y})) {
            *hit = item;
            return true;
        }
    }
    return false;
}
}  // namespace

int MatrixScreen::OnControlLButtonDown(UINT, CPoint point)
{
    m_lastMousePoint = POINT{point.x, point.y};
    return 1;
}

int MatrixScreen::OnControlMouseMove(UINT flags, CPoint point)
{
    if (!m_bEnabled || m_presetMode != 1) return 0;
    if (!(flags & (MK_LBUTTON | MK_RBUTTON))) return 0;
    if (!m_rcControl.PtInRect(point)) return 0;
    if (std::abs(point.x - m_lastMousePoint.x) <= 20 &&
        std::abs(point.y - m_lastMousePoint.y) <= 20)
        return 0;
    {
        CAutoLock lock(m_itemLock);
        MATRIXITEM_INFO* hit = nullptr;
        if (CellAt(m_items, m_rcControl, point, &hit)) hit->color = m_singleColor;
        m_lastMousePoint = POINT{point.x, point.y};
    }
    RequestRepaint();
    return 1;
}

int MatrixScreen::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled || m_presetMode != 1) return 0;
    {
        CAutoLock lock(m_itemLock);
        MATRIXITEM_INFO* hit = nullptr;
        if (CellAt(m_items, m_rcControl, point, &hit))
            hit->color = hit->color == m_singleColor ? COLORREF(0) : COLORREF(m_singleColor);
    }
    if (m_pParent) m_pParent->OnBaseMessage(m_nID, 2, 0, 0);
    return 1;
}

int MatrixScreen::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}
int MatrixScreen::OnControlRButtonDown(UINT, CPoint)
{
    return 1;
}
int MatrixScreen::OnControlRButtonUp(UINT, CPoint)
{
    return 1;
}
LONG MatrixScreen::OnMessage(UINT, UINT, UINT_PTR, LONG_PTR)
{
    return 1;
}

// ---- modes ----

void MatrixScreen::SetPresetMode(int mode)
{
    // The whole set-up runs under the cell lock, as every step does: a step
    // on the timer thread never sees a particle list half refilled.
    CAutoLock lock(m_itemLock);
    ClearCells();
    m_presetMode = mode;
    m_elapsed = 0;
    const DWORD now = Now();
    m_lastTick = now;
    switch (mode) {
        case 2: m_countdownValue = 10; break;
        case 3: {
            SYSTEMTIME t = {};
            LocalTime(&t);
            m_clockHour = t.wHour;
            m_clockMinute = t.wMinute;
            break;
        }
        case 5: m_textPosition = -7; break;
        case 8:
            m_rippleRadius = 0;
            m_rippleCenterX = 3.0;
            m_rippleCenterY = 3.0;
            break;
        case 11:
            m_rainDrops.clear();
            m_lastDropTime = now;
            break;
        case 12: {
            m_snake.clear();
            const int x = Random() % 5 + 1;
            const int y = Random() % 5 + 1;
            m_snake.push_back(SnakeSegment{x, y});
            m_snakeDirection = RandomDirection();
            m_lastSnakeMove = now;
            break;
        }
        case 13:
            m_particles.clear();
            m_lastBurstTime = now;
            break;
        case 14:
            m_matrixColumns.clear();
            for (int c = 0; c < 7; ++c) {
                const int head = -(Random() % 10);
                const int length = Random() % 4 + 3;
                m_matrixColumns.push_back(MatrixColumn{c, head, length});
            }
            break;
        case 16:
            m_stars.clear();
            for (int i = 0; i < 20; ++i) {
                Star s;
                s.x = static_cast<float>(Random() % 7);
                s.y = static_cast<float>(Random() % 7);
                s.z = static_cast<float>(Random() % 10 + 1);
                s.speed = static_cast<float>(Random() % 5) * 0.1f + 0.1f;
                m_stars.push_back(s);
            }
            break;
        case 18:
            for (bool& alive : m_lifeGrid) alive = Random() % 3 == 0;
            m_lastGeneration = now;
            break;
        case 28: m_heartPhase = 0; break;
        case 29:
            m_scanPosition = 0;
            m_lastScanTime = now;
            break;
        case 30:
            m_typingIndex = 0;
            m_lastTypingTime = now;
            break;
        case 31:
            m_matrixDrops.clear();
            m_lastMatrixDropTime = now;
            break;
        case 32:
            m_terminalIndex = 0;
            m_lastTerminalTime = now;
            break;
        case 34:
            m_radiantPhase = 0;
            m_radiantLength = 0;
            m_lastRadiantTime = now;
            break;
        default: break;
    }
}

POINT MatrixScreen::RandomDirection()
{
    switch (Random() % 4) {
        case 0: return POINT{1, 0};
        case 1: return POINT{-1, 0};
        case 2: return POINT{0, 1};
        default: return POINT{0, -1};
    }
}

void MatrixScreen::UpdatePresetAnimation()
{
    if (m_presetMode == 0) return;
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    const DWORD previous = m_lastTick;
    m_lastTick = now;
    switch (m_presetMode) {
        case 2: ApplyCountdownEffect(); break;
        case 3: ApplyClockEffect(); break;
        case 4: ApplyHeartbeatEffect(); break;
        case 5: ApplyTextFlowEffect(); break;
        case 6: ApplyRainbowWaveEffect(); break;
        case 7: ApplyBreathingEffect(); break;
        case 8: ApplyRippleEffect(); break;
        case 9: ApplySpiralEffect(); break;
        case 10: ApplyCrossFadeEffect(); break;
        case 11: ApplyRainDropEffect(); break;
        case 12: ApplySnakeEffect(); break;
        case 13: ApplyFireworksEffect(); break;
        case 14: ApplyMatrixRainEffect(); break;
        case 15: ApplyPlasmaEffect(); break;
        case 16: ApplyStarfieldEffect(); break;
        case 17: ApplyMandelbrotEffect(); break;
        case 18: ApplyGameOfLifeEffect(); break;
        case 19: ApplyWaveformEffect(); break;
        case 20: ApplyTunnelEffect(); break;
        case 21: ApplyKaleidoscopeEffect(); break;
        case 22: ApplyMusicSpectrumEffect(); break;
        case 23: ApplyMusicWaveEffect(); break;
        case 24: ApplyMusicPulseEffect(); break;
        case 25: ApplyMusicRainEffect(); break;
        case 26: ApplyMusicCircleEffect(); break;
        case 27: ApplyMusicHeartbeatEffect(); break;
        default: break;
    }
    m_elapsed += static_cast<double>(now - previous) / 1000.0;
}

}  // namespace WEXA
