// Matrix-screen animations frame by frame on the fake clock, local time and
// random numbers: the frames are what the worker streams to the keyboard.
#include <cmath>

#include "MatrixFixture.h"

namespace matrixtest {

TEST_F(MatrixTest, UnsteppedModesStayDarkWhileTimeGoes)
{
    for (int mode : {28, 29, 30, 31, 32, 33, 34, 40, -1}) {
        screen->SetPresetMode(mode);
        for (int i = 0; i < 5; ++i) Step();
        EXPECT_EQ(LitCount(), 0) << mode;
        EXPECT_NEAR(screen->m_elapsed, 0.48, 1e-9) << mode;
    }
    // Mode 0 does not even advance the time.
    screen->SetPresetMode(0);
    Step();
    EXPECT_EQ(screen->m_elapsed, 0.0);
    // Called directly, typing shows its first letter in columns 1-5.
    screen->SetPresetMode(30);
    screen->ApplyTypingEffect();
    EXPECT_EQ(Cell(0, 0), 0u);
    EXPECT_NE(Cell(2, 0), 0u);  // A: 01110
    EXPECT_NE(Cell(1, 3), 0u);  // A: 11111
    EXPECT_EQ(Cell(1, 0), 0u);
}

TEST_F(MatrixTest, TextFlowDotCrossesTheMiddleRow)
{
    screen->SetPresetMode(5);
    std::vector<int> columnOfStep;
    for (int step = 1; step <= 30; ++step) {
        Step();
        int column = -1;
        for (int x = 0; x < 7; ++x)
            if (Cell(x, 3) == RGB(0, 255, 255)) column = x;
        EXPECT_EQ(LitCount(), column >= 0 ? 1 : 0);
        columnOfStep.push_back(column);
    }
    EXPECT_EQ(columnOfStep[5], -1);  // steps 1-6 dark
    EXPECT_EQ(columnOfStep[6], 0);   // seventh step
    EXPECT_EQ(columnOfStep[12], 6);  // thirteenth
    EXPECT_EQ(columnOfStep[13], -1);
    EXPECT_EQ(columnOfStep[6 + 22], 0);  // back 22 steps later
}

TEST_F(MatrixTest, RippleRingWrapsAfterFiftyOneSteps)
{
    screen->SetPresetMode(8);
    for (int i = 0; i < 50; ++i) Step();
    EXPECT_NEAR(screen->m_rippleRadius, 10.0, 1e-9);
    Step();
    EXPECT_EQ(screen->m_rippleRadius, 0.0);
    // At radius 0.2 the centre lies on the ring: cyan at full strength minus 0.2.
    Step();
    const int e = static_cast<int>((1 - 0.2) * 255);
    EXPECT_EQ(Cell(3, 3), RGB(0, e, e));
    EXPECT_EQ(Cell(0, 0), 0u);
}

TEST_F(MatrixTest, CountdownShowsOneDigitPerSecond)
{
    screen->SetMatrixScreenColorful(false);
    screen->SetMatrixScreenColor(RGB(255, 0, 0));
    screen->SetPresetMode(2);
    FakeSources::now += 5000;  // well past any earlier decrement
    const auto digitShown = [&]() {
        for (int d = 0; d <= 9; ++d) {
            bool match = true;
            for (int r = 0; r < 7 && match; ++r)
                for (int j = 0; j < 5 && match; ++j)
                    match =
                        (Cell(j + 1, r) != 0) == WEXA::MatrixScreen::s_numberPatterns[d][r * 5 + j];
            if (match && LitCount() > 0) return d;
        }
        return LitCount() == 0 ? 10 : -1;
    };
    Step(0);
    EXPECT_EQ(digitShown(), 9);
    EXPECT_EQ(Cell(3, 0), RGB(255, 0, 0));
    Step(500);
    EXPECT_EQ(digitShown(), 9);  // not a second yet
    std::vector<int> sequence;
    for (int i = 0; i < 11; ++i) {
        Step(1001);
        sequence.push_back(digitShown());
    }
    EXPECT_EQ(sequence, (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0, 10, 9}));
}

TEST_F(MatrixTest, ClockAtFifteenFortyTwo)
{
    FakeSources::local.wHour = 15;
    FakeSources::local.wMinute = 42;
    FakeSources::local.wSecond = 10;
    screen->SetPresetMode(3);
    Step();
    EXPECT_EQ(screen->m_clockHour, 3);
    EXPECT_EQ(screen->m_clockMinute, 42);
    EXPECT_EQ(Cell(3, 3), RGB(255, 255, 255));  // even second: white centre
    EXPECT_EQ(Cell(0, 0), 0u);                  // outside the clock mask
    EXPECT_EQ(Cell(1, 0), 0u);
    FakeSources::local.wSecond = 11;
    Step();
    EXPECT_NE(Cell(3, 3), RGB(255, 255, 255));
}

TEST_F(MatrixTest, HandComputedFrames)
{
    // Waveform, colourful, first step: phase 1.1, amplitude 1.
    screen->SetPresetMode(19);
    screen->m_wavePhase = 1.0;
    Step();
    const int rows[7] = {3, 3, 3, 3, 3, 2, 2};
    const COLORREF hues[7] = {RGB(255, 0, 0),   RGB(255, 217, 0), RGB(77, 255, 0), RGB(0, 255, 141),
                              RGB(0, 153, 255), RGB(64, 0, 255),  RGB(255, 0, 230)};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            EXPECT_EQ(Cell(x, y), y == rows[x] ? hues[x] : 0u) << x << "," << y;

    // Heartbeat in the single colour: phase 0.1, level (sin 0.3 + 1) / 2.
    screen->SetMatrixScreenColorful(false);
    screen->SetMatrixScreenColor(RGB(255, 0, 0));
    screen->m_heartbeatPhase = 0;
    screen->SetPresetMode(4);
    Step();
    const bool heart[49] = {0, 1, 1, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                            1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1,
                            0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 49; ++i) EXPECT_EQ(Cell(i % 7, i / 7), heart[i] ? RGB(165, 0, 0) : 0u) << i;

    // Breathing ignores the brightness: the same colours at 0.2 and 1.0.
    screen->SetMatrixScreenColorful(true);
    screen->SetPresetMode(7);
    screen->SetBrightness(0.2f);
    Step(250);
    Step(250);  // elapsed 0.25 s when the second step computes
    const int level = static_cast<int>((std::sin(0.5) + 1) * 0.5 * 255);
    EXPECT_EQ(Cell(4, 4), RGB(level, level, 255));
}

TEST_F(MatrixTest, MusicRainInSilenceAndAtFullLevel)
{
    screen->SetPresetMode(25);
    float full[7] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};  // x gain 2 = 1.0
    screen->SetAudioData(full, 7);
    FakeSources::now = 1000000;  // tick mod 200 below 100: the marker shows
    screen->UpdatePresetAnimation();
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(Cell(x, 0), RGB(255, 255, 255)) << x;  // peak marker above the bar
        for (int y = 1; y < 7; ++y) EXPECT_EQ(Cell(x, y), screen->HSVtoRGB(180 + 20 * x, 255, 255));
    }
    float silence[7] = {};
    screen->SetAudioData(silence, 7);
    for (int fall = 5; fall >= 0; --fall) {
        Step(100);  // tick mod 200 = 100: no marker
        EXPECT_EQ(LitCount(), 7 * fall) << fall;
    }
}

TEST_F(MatrixTest, MusicModesInSilence)
{
    float silence[7] = {};
    screen->SetAudioData(silence, 7);
    screen->SetInputWave(nullptr, 0);
    for (int mode : {22, 24}) {
        screen->SetPresetMode(mode);
        for (int i = 0; i < 3; ++i) Step();
        EXPECT_EQ(LitCount(), 0) << mode;
    }
    // The heartbeat shows a steady dim heart.
    screen->SetPresetMode(27);
    Step();
    EXPECT_EQ(LitCount(), 34);
}

TEST_F(MatrixTest, SnakeTurnsAtTheEdge)
{
    screen->SetPresetMode(12);
    // Three segments moving right along row 3: down, then (a tie) up is not taken.
    screen->m_snake = {{6, 3}, {5, 3}, {4, 3}};
    screen->m_snakeDirection = POINT{1, 0};
    Step(121);
    EXPECT_EQ(screen->m_snake.front().x, 6);
    EXPECT_EQ(screen->m_snake.front().y, 4);
    EXPECT_EQ(Cell(6, 4), RGB(255, 255, 100));  // pale yellow head

    // Two segments: turning back onto the tail's cell is allowed and farther from the edge.
    screen->m_snake = {{6, 3}, {5, 3}};
    screen->m_snakeDirection = POINT{1, 0};
    Step(121);
    EXPECT_EQ(screen->m_snake.front().x, 5);
    EXPECT_EQ(screen->m_snake.front().y, 3);

    // Moves only after 120 ms.
    const WEXA::MatrixScreen::SnakeSegment head = screen->m_snake.front();
    Step(100);
    EXPECT_EQ(screen->m_snake.front().x, head.x);
}

TEST_F(MatrixTest, GameOfLifeBlinkerAndBlock)
{
    screen->SetPresetMode(18);
    std::fill(std::begin(screen->m_lifeGrid), std::end(screen->m_lifeGrid), false);
    for (int x = 1; x <= 3; ++x) screen->m_lifeGrid[1 * 7 + x] = true;     // blinker, row 1
    screen->m_lifeGrid[5 * 7 + 4] = screen->m_lifeGrid[5 * 7 + 5] = true;  // block
    screen->m_lifeGrid[6 * 7 + 4] = screen->m_lifeGrid[6 * 7 + 5] = true;
    Step(400);  // no generation within 500 ms
    EXPECT_EQ(Cell(1, 1), RGB(0, 255, 0));
    Step(200);
    EXPECT_EQ(Cell(1, 1), 0u);
    EXPECT_EQ(Cell(2, 0), RGB(0, 255, 0));
    EXPECT_EQ(Cell(2, 2), RGB(0, 255, 0));
    Step(501);
    EXPECT_EQ(Cell(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(Cell(2, 0), 0u);
    for (int y = 5; y <= 6; ++y)
        for (int x = 4; x <= 5; ++x) EXPECT_EQ(Cell(x, y), RGB(0, 255, 0));
    EXPECT_EQ(LitCount(), 7);
}

TEST_F(MatrixTest, RandomSetUpsDrawInOrder)
{
    // Snake: x then y, then the direction; fireworks: x then y, one hue per particle.
    FakeSources::randoms = {2, 3, 2};
    screen->SetPresetMode(12);
    ASSERT_EQ(screen->m_snake.size(), 1u);
    EXPECT_EQ(screen->m_snake[0].x, 3);
    EXPECT_EQ(screen->m_snake[0].y, 4);
    EXPECT_EQ(screen->m_snakeDirection.y, 1);

    FakeSources::randoms = {0, 0};
    screen->SetMatrixScreenColorful(false);
    screen->SetPresetMode(13);
    Step(1001);
    // A burst on a corner: only the particles heading right, down or between survive.
    EXPECT_EQ(screen->m_particles.size(), 3u);

    FakeSources::randoms.clear();
    screen->SetPresetMode(16);
    EXPECT_EQ(screen->m_stars.size(), 20u);
    EXPECT_FLOAT_EQ(screen->m_stars[0].z, 1.0f);
    EXPECT_FLOAT_EQ(screen->m_stars[0].speed, 0.1f);
}

TEST_F(MatrixTest, ElapsedTimeKeepsItsFractionAfterHours)
{
    screen->SetPresetMode(6);
    screen->m_elapsed = 10 * 3600.0;  // ten hours
    Step(16);
    EXPECT_NEAR(screen->m_elapsed - 10 * 3600.0, 0.016, 1e-9);
}

}  // namespace matrixtest
