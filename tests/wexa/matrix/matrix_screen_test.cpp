// The matrix-screen preview: cells, colour helpers, audio inputs, the timer
// step's schedule, painting with the mouse, and its drawing.
#include <atomic>
#include <thread>

#include "ControlRegistry.h"
#include "MatrixFixture.h"
#include "ScreenshotCompare.h"
#include "WindowTestHelpers.h"

namespace matrixtest {

DWORD FakeSources::now = 0;
SYSTEMTIME FakeSources::local = {};
std::deque<int> FakeSources::randoms;

using WEXA::MatrixScreen;

TEST_F(MatrixTest, CellsAreRowMajorWithTheirIds)
{
    ASSERT_EQ(screen->GetKeyItems().size(), 49u);
    for (int i = 0; i < 49; ++i) {
        const WEXA::MATRIXITEM_INFO* item = screen->GetKeyItems()[i];
        EXPECT_EQ(item->row, i / 7);
        EXPECT_EQ(item->column, i % 7);
        EXPECT_EQ(item->id, i);
        EXPECT_EQ(item->reserved, 0);
        EXPECT_EQ(item->color, 0u);
    }
    EXPECT_EQ(screen->AddItem(7, 0, 49), 50);
    screen->ClearItem();
    EXPECT_TRUE(screen->GetKeyItems().empty());
    EXPECT_STREQ(screen->GetClassNameW(), L"MControl");
    EXPECT_NE(WEXA::FindControlClass(L"MatrixScreen"), nullptr);
}

TEST_F(MatrixTest, ColourHelpers)
{
    struct Hsv
    {
        int h, s, v;
        COLORREF expected;
    } cases[] = {
        {360, 255, 255, 0},
        {-30, 255, 255, 0},
        {0, 0, 255, RGB(255, 255, 255)},
        {120, 255, 255, RGB(0, 255, 0)},
        {51, 255, 255, RGB(255, 217, 0)},
        {180, 255, 255, RGB(0, 255, 255)},
        {306, 255, 255, RGB(255, 0, 230)},
    };
    for (const Hsv& c : cases)
        EXPECT_EQ(screen->HSVtoRGB(c.h, c.s, c.v), c.expected) << c.h << "," << c.s << "," << c.v;

    screen->SetBrightness(1.0f);
    EXPECT_EQ(screen->ApplyBrightness(0xAB123456), 0xAB123456u);  // untouched, top byte too
    screen->SetBrightness(0.0f);
    EXPECT_EQ(screen->ApplyBrightness(RGB(255, 255, 255)), 0u);
    screen->SetBrightness(0.5f);
    EXPECT_EQ(screen->ApplyBrightness(RGB(255, 101, 3)), RGB(127, 50, 1));

    screen->SetBrightness(1.0f);
    screen->DisplayNumber(10, RGB(255, 0, 0));
    screen->DisplayNumber(-1, RGB(255, 0, 0));
    EXPECT_EQ(LitCount(), 0);
    screen->DisplayNumber(1, RGB(255, 0, 0));  // 00100 01100 00100 x4 01110
    EXPECT_EQ(LitCount(), 10);
    EXPECT_EQ(Cell(3, 0), RGB(255, 0, 0));
    EXPECT_EQ(Cell(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(Cell(2, 6), RGB(255, 0, 0));
    EXPECT_EQ(Cell(0, 0), 0u);
    screen->SetPixelColor(7, 0, RGB(1, 1, 1));
    screen->SetPixelColor(-1, 3, RGB(1, 1, 1));
    EXPECT_EQ(LitCount(), 10);

    EXPECT_EQ(screen->GetCyclicColor(-2.0f), 0u);  // negative hue: black
}

TEST_F(MatrixTest, SettingsAreClamped)
{
    screen->SetBrightness(1.5f);
    EXPECT_EQ(screen->GetBrightness(), 1.0f);
    screen->SetAnimationSpeed(4.5f);
    EXPECT_EQ(screen->m_tickDivider.load(), 4);
    screen->SetAnimationSpeed(12.0f);
    EXPECT_EQ(screen->GetAnimationSpeed(), 9.0f);
    EXPECT_EQ(screen->m_tickDivider.load(), 0);
    screen->SetAudioAmplitude(-5.0f);
    EXPECT_EQ(screen->GetAudioAmplitude(), 0.0f);
    screen->SetMasterVolume(3.0f);
    EXPECT_EQ(screen->m_masterVolume.load(), 2.0f);
}

TEST_F(MatrixTest, AudioInputs)
{
    float levels[3] = {0.2f, -0.4f, 0.9f};
    screen->SetAudioData(levels, 3);
    EXPECT_FLOAT_EQ(screen->m_bandLevels[0], 0.4f);  // x master volume 1 x gain 2
    EXPECT_EQ(screen->m_bandLevels[1], 0.0f);
    EXPECT_EQ(screen->m_bandLevels[2], 1.0f);
    for (int i = 3; i < 7; ++i) EXPECT_EQ(screen->m_bandLevels[i], 0.0f);
    screen->SetAudioData(nullptr, 3);
    EXPECT_FLOAT_EQ(screen->m_bandLevels[0], 0.4f);  // ignored

    std::vector<float> wave(600, 0.5f);
    screen->SetInputWave(wave.data(), 600);
    EXPECT_EQ(screen->m_waveSamples[511], 0.5f);
    screen->SetInputWave(wave.data(), 100);
    EXPECT_EQ(screen->m_waveSamples[99], 0.5f);
    EXPECT_EQ(screen->m_waveSamples[100], 0.0f);
    screen->SetInputWave(nullptr, 100);
    EXPECT_EQ(screen->m_waveSamples[0], 0.0f);
}

TEST_F(MatrixTest, StepScheduleFollowsTheSpeed)
{
    screen->SetPresetMode(1);  // nothing drawn, but the step runs and time advances
    struct Case
    {
        float speed;
        int ticksPerStep;
    } cases[] = {{9.0f, 2}, {0.0f, 11}, {5.0f, 6}, {4.5f, 6}};
    for (const Case& c : cases) {
        screen->SetAnimationSpeed(c.speed);
        screen->m_tickCounter = 0;
        std::vector<int> stepTicks;
        for (int tick = 1; tick <= 3 * c.ticksPerStep; ++tick) {
            const DWORD before = screen->m_lastTick;
            FakeSources::now += 16;
            screen->OnControlTimer();
            if (screen->m_lastTick != before) stepTicks.push_back(tick);
        }
        ASSERT_EQ(stepTicks.size(), 3u) << c.speed;
        EXPECT_EQ(stepTicks[0], c.ticksPerStep) << c.speed;
        EXPECT_EQ(stepTicks[1] - stepTicks[0], c.ticksPerStep) << c.speed;
    }
    screen->m_bRunning = 0;
    EXPECT_EQ(screen->OnControlTimer(), 0);
}

TEST_F(MatrixTest, PaintModeThresholdToggleAndNotification)
{
    screen->DrawHideControl();  // lays the cells out: side (360 - 80) / 7 = 40
    EXPECT_EQ(screen->m_items[0]->rect.left, 10);
    EXPECT_EQ(screen->m_items[1]->rect.left, 60);
    EXPECT_EQ(screen->m_items[7]->rect.top, 60);
    EXPECT_EQ(screen->m_items[48]->rect.right, 350);
    screen->SetMatrixScreenColor(RGB(0, 0, 255));
    screen->SetMatrixScreenColorful(false);

    // Outside paint mode nothing is painted.
    screen->OnControlLButtonDown(MK_LBUTTON, CPoint(15, 15));
    EXPECT_EQ(screen->OnControlMouseMove(MK_LBUTTON, CPoint(75, 15)), 0);
    EXPECT_EQ(LitCount(), 0);

    screen->SetPresetMode(1);
    screen->OnControlLButtonDown(MK_LBUTTON, CPoint(15, 15));
    screen->OnControlMouseMove(MK_LBUTTON, CPoint(35, 35));  // 20 px in both: ignored
    EXPECT_EQ(LitCount(), 0);
    screen->OnControlMouseMove(MK_LBUTTON, CPoint(36, 15));  // 21 px in x: paints
    EXPECT_EQ(Cell(0, 0), RGB(0, 0, 255));
    screen->OnControlMouseMove(0, CPoint(115, 115));  // no button held
    EXPECT_EQ(LitCount(), 1);

    owner.events.clear();
    screen->OnControlLButtonUp(0, CPoint(20, 20));  // on a painted cell: off
    EXPECT_EQ(Cell(0, 0), 0u);
    screen->OnControlLButtonUp(0, CPoint(70, 20));  // on an off cell: painted
    EXPECT_EQ(Cell(1, 0), RGB(0, 0, 255));
    screen->OnControlLButtonUp(0, CPoint(355, 355));  // no cell: still notified
    ASSERT_EQ(owner.events.size(), 3u);
    for (const probe::Event& e : owner.events) EXPECT_EQ(e, (probe::Event{277, 2, 0, 0}));

    screen->SetControlEnabled(0);
    EXPECT_EQ(screen->OnControlLButtonUp(0, CPoint(70, 20)), 0);
    EXPECT_EQ(Cell(1, 0), RGB(0, 0, 255));
}

// Mode changes on one thread while another steps and a third reads the
// cells: the particle lists are rebuilt under the cell lock, so no step sees
// half of them. The steps ran meanwhile, the reader always saw the 49 cells,
// and afterwards the screen steps as a screen that never changed modes does.
TEST_F(MatrixTest, ModeChangesWhileStepping)
{
    FakeSources::randoms.clear();
    screen->SetAnimationSpeed(9.0f);
    std::atomic<bool> stop{false};
    std::atomic<int> steps{0}, snapshots{0}, shortSnapshots{0};
    std::thread stepper([&] {
        while (!stop)
            if (screen->OnControlTimer() == 0) ++steps;  // a step, no window to repaint
    });
    std::thread reader([&] {
        while (!stop) {
            const std::vector<WEXA::MATRIXITEM_INFO*> cells = screen->GetKeyItems();
            ++snapshots;
            if (cells.size() != 49) ++shortSnapshots;
            for (WEXA::MATRIXITEM_INFO* item : cells) (void)item->color;
        }
    });
    static const int kModes[] = {11, 12, 13, 14, 16, 18, 22, 25, 31, 2, 8};
    for (int round = 0; round < 300; ++round) {
        screen->SetPresetMode(kModes[round % 11]);
        if (round % 30 == 0) std::this_thread::yield();
    }
    while (steps < 10) std::this_thread::yield();
    stop = true;
    stepper.join();
    reader.join();
    EXPECT_GT(snapshots, 0);
    EXPECT_EQ(shortSnapshots, 0);

    MatrixScreen fresh(&owner, 278, CRect(0, 0, 360, 360), 1);
    fresh.Initialize();
    fresh.SetBrightness(1.0f);
    fresh.SetAnimationSpeed(9.0f);
    for (MatrixScreen* s : {screen.get(), &fresh}) {
        s->SetPresetMode(13);
        for (int i = 0; i < 20; ++i) {
            FakeSources::now += 96;
            s->UpdatePresetAnimation();
        }
    }
    for (int i = 0; i < 49; ++i)
        EXPECT_EQ(screen->GetKeyItems()[i]->color, fresh.GetKeyItems()[i]->color) << i;
}

// What the control draws: three modes, each compared with its reference.
TEST_F(MatrixTest, DrawsRoundedCellsInThreeModes)
{
    // Colours that depend on nothing shared between tests: the countdown in
    // the single colour, heartbeat and spiral from their own phases.
    struct Shot
    {
        const char* reference;
        int mode;
        int steps;
        bool colorful;
    } shots[] = {
        {"matrix_countdown.png", 2, 1, false},
        {"matrix_heartbeat.png", 4, 5, true},
        {"matrix_spiral.png", 9, 7, true},
    };
    screen->SetMatrixScreenColor(RGB(0x49, 0x77, 0xE5));
    for (const Shot& shot : shots) {
        screen->SetMatrixScreenColorful(shot.colorful);
        screen->SetPresetMode(shot.mode);
        for (int i = 0; i < shot.steps; ++i) Step(1100);
        testutil::MemoryCanvas canvas(360, 360);
        HBRUSH background = CreateSolidBrush(RGB(0x1B, 0x1E, 0x24));
        RECT all = {0, 0, 360, 360};
        FillRect(canvas.dc(), &all, background);
        DeleteObject(background);
        screen->m_bUpdate = 0;
        HDC dc = canvas.dc();
        screen->DrawControl(dc, CRect(0, 0, 360, 360));
        testutil::ScreenshotCompare compare;
        for (int i = 0; i < 49; ++i) {
            const RECT r = screen->m_items[i]->rect;
            compare.AddRegion("cell " + std::to_string(i), r);
        }
        EXPECT_TRUE(compare.MatchesReference(
            canvas.Read(), testutil::TestSourceFile(TEST_SOURCE_DIR, shot.reference)))
            << shot.reference;
    }
}

}  // namespace matrixtest
