// The key test strip, the battery badge, the DPI stage tiles and the text
// box: countdown on an injected clock and on another thread, frames and
// texts, the group rule, and what the boxes paint.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "BatteryCtrl.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CKeyTestCtrl.h"
#include "CTextArea.h"
#include "DPIControl.h"
#include "EngineFixture.h"
#include "MPanel.h"
#include "Manager.h"
#include "PickersTestSupport.h"

using namespace WEXA;
using namespace pickertest;

namespace {

// ---- key test strip ----

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

class KeyTest : public ::testing::Test
{
protected:
    Owner owner;
    CKeyTestCtrl strip{&owner, 57, CRect(0, 0, 400, 32), 1, 1};
    void SetUp() override
    {
        g_now = 100000;
        strip.SetTickClock(FakeClock);
    }
    // One countdown step (every sixth tick), 96 ms apart on the main window's tick.
    void Step()
    {
        for (int i = 0; i < 6; ++i) strip.OnControlTimer();
        g_now += 96;
    }
    CRect TileOf(int index)
    {
        KEYTESTITEM_INFO info;
        EXPECT_TRUE(strip.GetKeyInfo(index, info));
        return info.rect;
    }
};

TEST_F(KeyTest, NewestKeyIsDrawnAtTheLeft)
{
    strip.AddKey(L"J", 13);
    strip.AddKey(L"K", 14);
    strip.AddKey(L"L", 15);
    DrawOnce(strip);
    EXPECT_EQ(TileOf(2), CRect(5, 1, 85, 31));  // L
    EXPECT_EQ(TileOf(1), CRect(85, 1, 165, 31));
    EXPECT_EQ(TileOf(0), CRect(165, 1, 245, 31));  // J

    // 200 pixels wide: two tiles (the stop test follows the second tile).
    strip.SetRect(CRect(0, 0, 200, 32));
    strip.ClearList();
    strip.AddKey(L"A", 4);
    strip.AddKey(L"B", 5);
    strip.AddKey(L"C", 6);
    DrawOnce(strip);
    EXPECT_EQ(TileOf(2).left, 5);
    EXPECT_EQ(TileOf(1).left, 85);
    EXPECT_TRUE(TileOf(0).IsRectEmpty());
}

TEST_F(KeyTest, ReleasedKeyFadesOutOnStep41)
{
    strip.AddKey(L"A", 4);
    strip.AddKey(L"A", 4);
    strip.RemoveKey(4);   // the older one only
    strip.RemoveKey(99);  // no held entry: nothing
    KEYTESTITEM_INFO older, newer;
    strip.GetKeyInfo(0, older);
    strip.GetKeyInfo(1, newer);
    EXPECT_EQ(older.level, 251);
    EXPECT_EQ(newer.level, 255);

    for (int step = 1; step <= 40; ++step) Step();
    ASSERT_EQ(strip.GetKeyCount(), 2);
    strip.GetKeyInfo(0, older);
    EXPECT_EQ(older.level, 51);
    Step();  // 41: 46 falls below 50
    ASSERT_EQ(strip.GetKeyCount(), 1);
    strip.GetKeyInfo(0, newer);
    EXPECT_EQ(newer.level, 255);  // held keys stay
}

TEST_F(KeyTest, TenSecondsIdleClearsTheStripAlsoWhileKeysAreHeld)
{
    strip.AddKey(L"A", 4);
    g_now += 10000;
    for (int i = 0; i < 6; ++i) strip.OnControlTimer();
    EXPECT_EQ(strip.GetKeyCount(), 1);  // 10000 ms: not yet
    g_now += 1;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(strip.OnControlTimer(), 0);
    EXPECT_EQ(strip.OnControlTimer(), 1);
    EXPECT_EQ(strip.GetKeyCount(), 0);
}

TEST_F(KeyTest, HiddenStripCountsNoTicks)
{
    strip.AddKey(L"A", 4);
    strip.RemoveKey(4);
    strip.SetVisible(0);
    for (int i = 0; i < 600; ++i) EXPECT_EQ(strip.OnControlTimer(), 0);
    strip.SetVisible(1);
    Step();
    KEYTESTITEM_INFO info;
    strip.GetKeyInfo(0, info);
    EXPECT_EQ(info.level, 246);
}

// The countdown on another thread while the UI thread presses and releases
// keys: the list stays whole, and the repaints the countdown asks for are
// completed by the window's thread.
class KeyTestOnTheTimerThread : public enginetest::EngineTest
{};

// Counts the renders of its look and remembers the thread of the last one.
class CountingStrip : public CKeyTestCtrl
{
public:
    using CKeyTestCtrl::CKeyTestCtrl;
    void DrawControl(HDC& dc, CRect clip) override
    {
        if (!m_bUpdate) {
            ++renders;
            renderThread = GetCurrentThreadId();
        }
        CKeyTestCtrl::DrawControl(dc, clip);
    }
    std::atomic<int> renders{0};
    std::atomic<DWORD> renderThread{0};
};

TEST_F(KeyTestOnTheTimerThread, ListIsGuardedAndRepaintsReachTheWindowThread)
{
    auto* strip = new CountingStrip(&host, 57, CRect(10, 10, 330, 42), 1, 1);
    strip->SetManager(engine);
    {
        CAutoLock lock(engine->m_controlsLock);
        engine->m_controls.push_back(strip);
    }
    g_now = 5000;
    strip->SetTickClock(FakeClock);
    UpdateWindow(hwnd);
    testutil::PumpPending();

    // 300 countdown steps on the other thread while the window's thread
    // presses and releases keys.
    std::atomic<int> steps{0};
    std::thread timer([&] {
        for (int i = 0; i < 6 * 300; ++i) {
            if (strip->OnControlTimer()) ++steps;
            if (i % 6 == 0) std::this_thread::yield();
        }
    });
    for (int i = 0; i < 600; ++i) {
        strip->AddKey(L"K", i % 7);
        strip->RemoveKey(i % 7);
        if (i % 100 == 0) {
            UpdateWindow(hwnd);
            testutil::PumpPending();
        }
    }
    timer.join();
    EXPECT_EQ(steps, 300);
    // Released keys fade out one per step; what is left is all released.
    for (int i = 0; i < strip->GetKeyCount(); ++i) {
        KEYTESTITEM_INFO info;
        ASSERT_TRUE(strip->GetKeyInfo(i, info));
        EXPECT_LT(info.level, 255);
    }

    // A step on another thread marks nothing there: the window's thread
    // renders the strip again at its next paint.
    UpdateWindow(hwnd);
    testutil::PumpPending();
    ASSERT_EQ(strip->GetUpdate(), 1);
    strip->AddKey(L"Q", 20);
    UpdateWindow(hwnd);
    testutil::PumpPending();
    const int before = strip->renders;
    g_now += 20000;  // idle: the next step clears the strip and asks for a repaint
    std::thread idle([&] {
        for (int i = 0; i < 6; ++i) strip->OnControlTimer();
    });
    idle.join();
    EXPECT_EQ(strip->GetKeyCount(), 0);
    EXPECT_EQ(strip->GetUpdate(), 1);  // not marked on the timer thread
    EXPECT_EQ(strip->renders, before);
    // The window's thread picks the request up on its own timer, then paints.
    const unsigned pickups = engine->GetRepaintPickups();
    EXPECT_TRUE(testutil::PumpUntil([&] { return engine->GetRepaintPickups() != pickups; }, 2000));
    UpdateWindow(hwnd);
    testutil::PumpPending();
    EXPECT_EQ(strip->renders, before + 1);
    EXPECT_EQ(strip->renderThread, GetCurrentThreadId());
}

// ---- battery badge ----

// The icon strip's first four frames are a battery a quarter full (red), a
// half full (amber), full (green) and charging (a green bolt, no bar). The
// badge draws the frame at (15, 5): the bar's left end is the badge's pixel
// (21, 17), the bolt's middle (25, 17).
const COLORREF kRed = RGB(0xE5, 0x48, 0x4D), kAmber = RGB(0xF0, 0xA5, 0x3A),
               kGreen = RGB(0x2F, 0xB6, 0x7C);

struct BatteryCase
{
    int level, charging;
    COLORREF barEnd, boltMiddle;  // 0: neither colour of a bar
    const wchar_t* text;
};

const BatteryCase kBatteryCases[] = {
    {0, 0, 0, 0, L""},  // no battery: nothing drawn, no text
    {0, 1, 0, 0, L""},
    {19, 0, kRed, 0, L"25%"},
    {20, 0, kAmber, kAmber, L"25%"},
    {30, 0, kAmber, kAmber, L"25%"},
    {31, 0, kAmber, kAmber, L"50%"},
    {74, 0, kAmber, kAmber, L"75%"},
    {75, 0, kGreen, kGreen, L"75%"},
    {81, 0, kGreen, kGreen, L"90%"},
    {95, 0, kGreen, kGreen, L"90%"},
    {96, 0, kGreen, kGreen, L"96%"},
    {100, 0, kGreen, kGreen, L"100%"},
    {50, 1, 0, kGreen, L"50%"},
};

TEST(Battery, FramesAndSteppedTexts)
{
    Manager::SetThemeSkins(L"theme1\\");
    Owner owner;
    BatteryCtrl badge(&owner, 46, CRect(0, 0, 100, 34), 1, 1);
    ASSERT_EQ(badge.SetImage(L"icon\\icon_devicestatus.png", 6), 1);
    // Nothing is known before the first read: no badge, no "100%".
    EXPECT_EQ(badge.GetBatteryLevel(), 0);
    EXPECT_EQ(badge.GetShownFrame(), -1);
    EXPECT_EQ(badge.GetFontWidth(), 14);
    testutil::MemoryCanvas canvas(120, 54);
    auto isBar = [](COLORREF c) { return c == kRed || c == kAmber || c == kGreen; };
    for (const BatteryCase& c : kBatteryCases) {
        SCOPED_TRACE(std::to_string(c.level) + "/" + std::to_string(c.charging));
        badge.SetBatteryInfo(c.level, c.charging);
        badge.m_strTitle = L"";
        canvas.Fill(0xFFFFFFFF);
        DrawOnce(badge, canvas);
        const testutil::PixelBuffer shown = canvas.Read();
        if (c.barEnd)
            EXPECT_EQ(shown.ColorAt(21, 17), c.barEnd);
        else
            EXPECT_FALSE(isBar(shown.ColorAt(21, 17)));
        if (c.boltMiddle)
            EXPECT_EQ(shown.ColorAt(25, 17), c.boltMiddle);
        else
            EXPECT_FALSE(isBar(shown.ColorAt(25, 17)));
        EXPECT_EQ(badge.m_strTitle, CString(c.text));
    }
    // The same values again: no repaint.
    const size_t repaints = owner.updates.size();
    badge.SetBatteryInfo(50, 1);
    EXPECT_EQ(owner.updates.size(), repaints);
    badge.SetBatteryInfo(50, 0);
    EXPECT_EQ(owner.updates.size(), repaints + 1);
}

TEST(Battery, FrameCountsBelowOneCountAsOne)
{
    Manager::SetThemeSkins(L"theme1\\");
    BatteryCtrl badge(nullptr, 46, CRect(0, 0, 100, 34), 1, 1);
    EXPECT_EQ(badge.SetImage(L"missing.png", 6), 0);
    for (int frames : {0, -3}) {
        ASSERT_EQ(badge.SetImage(L"icon\\icon_devicestatus.png", frames), 1);
        EXPECT_EQ(badge.GetImageSize().cx, 0);  // the badge keeps its own strip
        DrawOnce(badge);
    }
}

// ---- text box ----

TEST(TextBox, FrameLeavesTheBoxInsideIt)
{
    Owner owner;
    CTextArea box(&owner, 3, CRect(10, 10, 110, 40), L"", 1, 1);
    testutil::MemoryCanvas canvas(130, 60);
    canvas.Fill(0xFF808080);
    DrawOnce(box, canvas);
    testutil::PixelBuffer plain = canvas.Read();
    EXPECT_EQ(plain.ColorAt(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(plain.ColorAt(109, 39), RGB(255, 255, 255));

    box.SetFrame(1, Gdiplus::Color(0xFF050505), 0);
    DrawOnce(box, canvas);
    testutil::PixelBuffer framed = canvas.Read();
    int inside = 0;
    for (int y = 10; y < 40; ++y)
        for (int x = 10; x < 110; ++x) {
            const bool edge = x == 10 || x == 109 || y == 10 || y == 39;
            const COLORREF c = framed.ColorAt(x, y);
            if (edge)
                EXPECT_EQ(c, RGB(5, 5, 5)) << x << "," << y;
            else if (c == RGB(255, 255, 255))
                ++inside;
        }
    EXPECT_EQ(inside, 98 * 28);

    box.SetTransparent(0, 0, 0x0000FF);
    box.SetFrame(0, Gdiplus::Color(0xFF050505), 0);
    DrawOnce(box, canvas);
    EXPECT_EQ(canvas.Read().ColorAt(60, 25), RGB(255, 0, 0));
}

// ---- DPI stage tiles ----

class DpiGroup : public enginetest::EngineTest
{
protected:
    MPanel* panel = nullptr;
    DPIControl* tiles[4] = {};
    void SetUp() override
    {
        enginetest::EngineTest::SetUp();
        Manager::SetThemeSkins(L"theme1\\");
        panel = new MPanel(&host, 50, CRect(0, 0, 400, 120), 1);
        panel->SetManager(engine);
        {
            CAutoLock lock(engine->m_controlsLock);
            engine->m_controls.push_back(panel);
        }
        for (int i = 0; i < 4; ++i) {
            tiles[i] = new DPIControl(panel, 60 + i, CRect(10 + 95 * i, 10, 95 + 95 * i, 100), 1);
            {
                CAutoLock lock(panel->m_childLock);
                panel->m_controls.push_back(tiles[i]);
            }
            tiles[i]->SetManager(engine);
            tiles[i]->SetCheck(1);
        }
        tiles[3]->SetGroupName(L"other");
        panel->SetControlRect(CRect(0, 0, 400, 120));
        UpdateWindow(hwnd);
        testutil::PumpPending();
    }
};

TEST_F(DpiGroup, PressChecksTheTileAndClearsItsGroupOnly)
{
    const CPoint inside(10 + 95 + 40, 20);
    EXPECT_EQ(tiles[1]->OnControlLButtonDown(MK_LBUTTON, inside), 0);
    EXPECT_EQ(tiles[0]->GetCheck(), 0);
    EXPECT_EQ(tiles[1]->GetCheck(), 1);
    EXPECT_EQ(tiles[2]->GetCheck(), 0);
    EXPECT_EQ(tiles[3]->GetCheck(), 1);  // another group
    EXPECT_EQ(tiles[1]->GetClassNameW(), std::wstring(L"DPIControl"));

    // SetColor reaches the swatch; the defaults.
    EXPECT_EQ(tiles[0]->GetDPIValue(), 500);
    EXPECT_EQ(tiles[0]->GetColor(), 0x0000FFu);
    tiles[0]->SetColor(0x00FF00);
    ASSERT_NE(tiles[0]->GetColorButton(), nullptr);
    EXPECT_EQ(tiles[0]->GetColorButton()->GetColor(), 0x00FF00u);
}

TEST_F(DpiGroup, CheckButtonClickIsReportedTaggedAndUnchanged)
{
    CCheckButton* check = tiles[2]->GetCheckButton();
    ASSERT_NE(check, nullptr);
    const CPoint at = check->GetRect().CenterPoint();
    host.events.clear();
    Mouse(WM_MOUSEMOVE, at.x, at.y);
    Mouse(WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, at.x, at.y);
    ASSERT_GE(host.events.size(), 2u);
    EXPECT_EQ(host.events[0].id, 62u);
    EXPECT_EQ(host.events[0].wparam, 0u);
    EXPECT_EQ(host.events[0].lparam, 1);
    EXPECT_EQ(host.events[1].id, 30u);
    EXPECT_EQ(host.events[1].code, host.events[0].code);
}

}  // namespace
