// Key colours of modes 3, 4, 5 and 6: real screen and window capture of
// windows filled with known colours, GIF sampling and the game-key table.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EffectFixture.h"
#include "GifWriter.h"
#include "WindowTestHelpers.h"

namespace effecttest {

namespace {

// A top-level window painted in two colours: the left `split` of its width
// in `left`, the rest in `right`.
class ColourWindow
{
public:
    ColourWindow(RECT area, COLORREF left, COLORREF right, double split)
        : left_(left),
          right_(right),
          split_(split)
    {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"FxColourWindow";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"FxColourWindow", L"", WS_POPUP,
                                area.left, area.top, area.right - area.left, area.bottom - area.top,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        UpdateWindow(hwnd_);
        Pump();
    }
    ~ColourWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    static void Pump()
    {
        for (int round = 0; round < 20; ++round) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
    {
        ColourWindow* self =
            reinterpret_cast<ColourWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_PAINT && self) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            RECT a = client, b = client;
            a.right = b.left = static_cast<LONG>(client.right * self->split_);
            HBRUSH ba = CreateSolidBrush(self->left_), bb = CreateSolidBrush(self->right_);
            FillRect(dc, &a, ba);
            FillRect(dc, &b, bb);
            DeleteObject(ba);
            DeleteObject(bb);
            EndPaint(hwnd, &ps);
            return 0;
        }
        if (msg == WM_ERASEBKGND) return 1;
        return DefWindowProcW(hwnd, msg, w, l);
    }
    HWND hwnd_;
    COLORREF left_, right_;
    double split_;
};

RECT Screen()
{
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

TEST_F(EffectTest, GameKeysMatchNamesIgnoringCase)
{
    AddKey(4, 0, 0, L"w");
    AddKey(41, 1, 0, L"Esc");
    AddKey(44, 2, 0, L"Space");
    AddKey(300, 3, 0, L"");
    panel->SetNimbrelMode(6);
    panel->m_gamePhase = 6.25f;  // the next step wraps to phase 0: factor 0.65
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(0), RGB(0, 65, 165));
    EXPECT_EQ(KeyColor(1), RGB(30, 30, 30));
    EXPECT_EQ(KeyColor(2), RGB(165, 0, 130));
    EXPECT_EQ(KeyColor(3), RGB(30, 30, 30));
    panel->OnControlTimer();
    const float f = std::sin(0.1f) * 0.35f + 0.65f;
    EXPECT_EQ(KeyColor(0), RGB(0, static_cast<int>(100 * f), static_cast<int>(255 * f)));
}

TEST_F(EffectTest, ImageAdjustmentsStrengthenColours)
{
    struct Row
    {
        COLORREF in, out;
    } rows[] = {
        {RGB(128, 128, 128), RGB(153, 153, 153)},  // grey: value x 1.2
        {RGB(200, 0, 0), RGB(240, 0, 0)},
        {RGB(200, 100, 100), RGB(240, 60, 60)},    // saturation 0.5 x 1.5
        {RGB(250, 250, 250), RGB(255, 255, 255)},  // value capped at 1
        {0, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(panel->ApplyImageAdjustments(r.in), r.out) << std::hex << r.in;
    WEXA::ScreenCaptureConfig c;
    c.brightnessOn = c.saturationOn = false;
    c.hueShiftOn = true;
    c.hueShift = 120;
    panel->SetScreenConfig(c);
    EXPECT_EQ(panel->ApplyImageAdjustments(RGB(255, 0, 0)), RGB(0, 255, 0));
}

TEST_F(EffectTest, ScreenSyncCapturesTheScreen)
{
    ColourWindow cover(Screen(), RGB(200, 0, 0), RGB(200, 0, 0), 1.0);
    AddGrid(19, 8);
    panel->SetNimbrelMode(3);
    WEXA::ScreenCaptureConfig c;
    c.effectType = WEXA::SCREEN_EFFECT_AVERAGE;
    panel->SetScreenConfig(c);
    panel->OnControlTimer();
    for (size_t i = 0; i < panel->m_keyItems.size(); ++i)
        ASSERT_EQ(KeyColor(i), RGB(240, 0, 0)) << i;

    // Per cell: saturated red gets k = (1 - 0.299 x 240 / 255) x 0.5 + 1.5.
    c.effectType = WEXA::SCREEN_EFFECT_PER_CELL;
    panel->SetScreenConfig(c);
    FakeSources::tick += 39;  // within the capture interval: nothing
    panel->SetColorMap(2, 2, 0x123456);
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(2 * 19 + 2), RGB(240, 0, 0));
    FakeSources::tick += 1;
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(2 * 19 + 2), RGB(255, 0, 0));
    EXPECT_EQ(KeyColor(7 * 19 + 18), RGB(255, 0, 0));

    // A grey screen: each channel x 1.3 after the adjustments.
    ColourWindow grey(Screen(), RGB(100, 100, 100), RGB(100, 100, 100), 1.0);
    FakeSources::tick += 40;
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(0), RGB(156, 156, 156));  // 100 x 1.2 = 120, x 1.3
}

TEST_F(EffectTest, ScreenSyncFallsBackToThePrimaryDisplay)
{
    ColourWindow cover(Screen(), RGB(0, 0, 200), RGB(0, 0, 200), 1.0);
    AddGrid(2, 2);
    panel->SetNimbrelMode(3);
    WEXA::ScreenCaptureConfig c;
    c.effectType = WEXA::SCREEN_EFFECT_AVERAGE;
    c.monitor = 5;  // no such monitor
    panel->SetScreenConfig(c);
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(0), RGB(0, 0, 240));
    c.captureType = WEXA::SCREEN_CAPTURE_COORDINATES;
    c.coordinates = RECT{10, 10, 5, 5};  // empty: the primary display
    panel->SetScreenConfig(c);
    panel->SetColorMap(0, 0, 0);
    FakeSources::tick += 40;
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(0), RGB(0, 0, 240));
}

// Per cell, red (200, 0, 0) ends at (255, 0, 0) and blue (0, 0, 200) at
// (0, 0, 255). The top half of the screen red, the bottom half blue, a grid
// of four rows: rows 0 and 1 red, 2 and 3 blue; flipped, the other way round
// (every row lit, none shifted).
TEST_F(EffectTest, ScreenSyncFlipsTheGrabUpsideDown)
{
    const RECT screen = Screen();
    const LONG half = screen.bottom / 2;
    ColourWindow top(RECT{0, 0, screen.right, half}, RGB(200, 0, 0), RGB(200, 0, 0), 1.0);
    ColourWindow bottom(RECT{0, half, screen.right, screen.bottom}, RGB(0, 0, 200), RGB(0, 0, 200),
                        1.0);
    AddGrid(2, 4);
    panel->SetKeyMap(nullptr, 4, 2);
    panel->SetNimbrelMode(3);
    WEXA::ScreenCaptureConfig c;
    c.effectType = WEXA::SCREEN_EFFECT_PER_CELL;
    struct Row
    {
        bool flip;
        COLORREF topRow, bottomRow;
    } rows[] = {
        {false, RGB(255, 0, 0), RGB(0, 0, 255)},
        {true, RGB(0, 0, 255), RGB(255, 0, 0)},
        {false, RGB(255, 0, 0), RGB(0, 0, 255)},
    };
    for (const Row& r : rows) {
        c.flipVertical = r.flip;
        panel->SetScreenConfig(c);
        FakeSources::tick += 40;
        panel->OnControlTimer();
        for (int column = 0; column < 2; ++column) {
            for (int row = 0; row < 4; ++row)
                EXPECT_EQ(KeyColor(row * 2 + column), row < 2 ? r.topRow : r.bottomRow)
                    << "flip " << r.flip << ", column " << column << ", row " << row;
        }
    }
}

// Capture types 1 (a screen rectangle), 2 (the foreground window) and 3 (a
// process: its window is not looked up, the foreground window is taken).
// Average colours after the adjustments: 200 -> 240 in the lit channel.
TEST_F(EffectTest, ScreenSyncCaptureTypes)
{
    const RECT screen = Screen();
    const LONG middle = screen.right / 2;
    ColourWindow cover(screen, RGB(200, 0, 0), RGB(0, 200, 0), 0.5);  // red | green
    ColourWindow front(RECT{100, 100, 420, 280}, RGB(0, 0, 200), RGB(0, 0, 200), 1.0);
    ASSERT_EQ(GetForegroundWindow(), front.hwnd());
    AddGrid(2, 2);
    panel->SetNimbrelMode(3);
    WEXA::ScreenCaptureConfig c;
    c.effectType = WEXA::SCREEN_EFFECT_AVERAGE;
    struct Row
    {
        WEXA::SCREEN_CAPTURE_TYPE type;
        RECT area;
        COLORREF expected;
    } rows[] = {
        {WEXA::SCREEN_CAPTURE_COORDINATES, RECT{middle + 10, 300, screen.right, screen.bottom},
         RGB(0, 240, 0)},
        {WEXA::SCREEN_CAPTURE_COORDINATES, RECT{0, 300, middle - 10, screen.bottom},
         RGB(240, 0, 0)},
        {WEXA::SCREEN_CAPTURE_FOREGROUND, RECT{0, 0, 0, 0}, RGB(0, 0, 240)},
        {WEXA::SCREEN_CAPTURE_PROCESS, RECT{0, 0, 0, 0}, RGB(0, 0, 240)},
    };
    for (const Row& r : rows) {
        c.captureType = r.type;
        c.coordinates = r.area;
        c.processName = L"someone-else.exe";
        panel->SetScreenConfig(c);
        panel->SetColorMap(0, 0, 0);
        FakeSources::tick += 40;
        panel->OnControlTimer();
        EXPECT_EQ(KeyColor(0), r.expected) << "capture type " << r.type;
        EXPECT_EQ(KeyColor(3), r.expected) << "capture type " << r.type;
    }
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}
}  // namespace

// Monitor n > 0 is the n-th monitor (from 0) in enumeration order. Under a
// single-screen display there is no second monitor to capture.
TEST_F(EffectTest, ScreenSyncCapturesTheSecondMonitor)
{
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.size() < 2) GTEST_SKIP() << monitors.size() << " monitor(s) on this display";
    ColourWindow first(monitors[0], RGB(200, 0, 0), RGB(200, 0, 0), 1.0);
    ColourWindow second(monitors[1], RGB(0, 200, 0), RGB(0, 200, 0), 1.0);
    AddGrid(2, 2);
    panel->SetNimbrelMode(3);
    WEXA::ScreenCaptureConfig c;
    c.effectType = WEXA::SCREEN_EFFECT_AVERAGE;
    c.monitor = 1;
    panel->SetScreenConfig(c);
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(0), RGB(0, 240, 0));
}

TEST_F(EffectTest, WindowCaptureMapsTheLeftNineteenThirtieths)
{
    // Left 60 % red, the rest blue: columns 0-17 cover the red part.
    ColourWindow window(RECT{100, 100, 580, 370}, RGB(255, 0, 0), RGB(0, 0, 255), 0.6);
    AddGrid(19, 2);
    panel->SetNimbrelMode(4);
    HWND hwnd = window.hwnd();
    panel->SetCaptureWindow(hwnd);
    panel->OnControlTimer();
    EXPECT_EQ(KeyColor(0), RGB(255, 0, 0));
    EXPECT_EQ(KeyColor(10), RGB(255, 0, 0));
    EXPECT_EQ(KeyColor(18), RGB(0, 0, 255));
    EXPECT_EQ(KeyColor(19 + 5), RGB(255, 0, 0));
    HWND none = nullptr;
    panel->SetCaptureWindow(none);
    panel->SetColorMap(0, 0, 0);
    panel->OnControlTimer();  // no window: colours stay
    EXPECT_EQ(KeyColor(0), RGB(255, 0, 0));
}

TEST_F(EffectTest, GifKeysAreSampledFromTheFrame)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"fx_sample.gif";
    testutil::GifFrame frame{1, 10};
    frame.pixels.assign(64 * 32, 1);
    ASSERT_TRUE(testutil::WriteGif(path, 64, 32, {frame}));
    panel->SetGIFImage(CString(path.c_str()));
    panel->SetNimbrelMode(5);
    panel->SetGIFPosition(0, 0);
    // The picture offset is (20, 25): a key at (0, 0) samples (20, 35),
    // inside the 64 x 32 frame only with its narrow LED sample point.
    panel->AddKeyItem(L"", 300, CRect(0, 0, 9, 6), 0, 0);       // LED: (23, 28) red
    panel->AddKeyItem(L"X", 255, CRect(0, -20, 40, 20), 1, 0);  // (20, 15) red, code 255
    panel->AddKeyItem(L"Y", 4, CRect(100, 0, 140, 40), 2, 0);   // outside the frame: black
    panel->DrawHideControl();
    EXPECT_EQ(KeyColor(0), RGB(255, 0, 0));
    EXPECT_EQ(KeyColor(1), RGB(255, 0, 0));
    EXPECT_EQ(KeyColor(2), 0u);

    // On screen, the key of code 255 is skipped and keeps its colour.
    panel->m_keyItems[1]->color = 0x00FF00;
    testutil::MemoryCanvas canvas(1000, 400);
    HDC dc = canvas.dc();
    panel->m_bUpdate = 0;
    panel->DrawControl(dc, CRect(0, 0, 1000, 400));
    EXPECT_EQ(KeyColor(1), 0x00FF00u);
    EXPECT_EQ(KeyColor(0), RGB(255, 0, 0));

    panel->UpdateGIFEffect();
    EXPECT_EQ(KeyColor(0), RGB(255, 0, 0));
}

// A key whose sample point lies outside the picture counts as black, never
// as CLR_INVALID.
TEST_F(EffectTest, KeySampledOutsideThePictureIsBlack)
{
    panel->SetNimbrelMode(2);
    panel->AddKeyItem(L"A", 4, CRect(975, 0, 1015, 40), 0, 0);
    panel->AddKeyItem(L"", 300, CRect(990, 390, 999, 399), 1, 0);
    testutil::MemoryCanvas canvas(1000, 400);
    HDC dc = canvas.dc();
    panel->m_bUpdate = 0;
    panel->DrawControl(dc, CRect(0, 0, 1000, 400));
    EXPECT_EQ(KeyColor(0), 0u);
    EXPECT_EQ(KeyColor(1), 0u);
    panel->DrawHideControl();
    EXPECT_EQ(KeyColor(0), 0u);
    EXPECT_EQ(KeyColor(1), 0u);
}

}  // namespace effecttest
