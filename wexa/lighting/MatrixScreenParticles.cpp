// MatrixScreen: particles and simulations (rain drops, snake, fireworks,
// matrix rain, starfield, Game of Life). Their lists change only under the
// cell lock, which the step and the mode set-up both hold.
#include <algorithm>
#include <cmath>

#include "MatrixScreen.h"
#include "lighting/MatrixScreenShared.h"

namespace WEXA {

using matrix_detail::Clamp;
using matrix_detail::ScaleColor;

namespace {
bool Inside(int x, int y)
{
    return x >= 0 && x <= 6 && y >= 0 && y <= 6;
}
}  // namespace

void MatrixScreen::ApplyRainDropEffect()
{
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    if (now - m_lastDropTime > 150) {
        const int attempts = Random() % 3 + 1;
        for (int a = 0; a < attempts; ++a) {
            const int c = Random() % 7;
            bool blocked = false;
            for (const RainDrop& d : m_rainDrops)
                if (d.column == c && d.row <= 1) blocked = true;
            if (!blocked) m_rainDrops.push_back(RainDrop{c, 0});
        }
        m_lastDropTime = now;
    }
    ClearCells();
    const double time = static_cast<float>(now) * 0.01f * 100.0f;  // single precision
    for (size_t i = 0; i < m_rainDrops.size();) {
        RainDrop& d = m_rainDrops[i];
        if (++d.row >= 7) {
            m_rainDrops.erase(m_rainDrops.begin() + static_cast<long>(i));
            continue;
        }
        const int x = d.column, y = d.row;
        const double headLevel = std::max(0.3, 1 - y / 7.0);
        if (m_colorful) {
            const int h = static_cast<int>(std::fmod(y * 30 + x * 50 + time, 360.0)) % 120 + 180;
            SetPixelColor(x, y, HSVtoRGB(h, 255, static_cast<int>(headLevel * 255)));
        } else {
            SetPixelColor(x, y, SingleAtLevel(headLevel));
        }
        if (y > 0) {
            const double trailLevel = std::max(0.1, 0.3 - y / 14.0);
            if (m_colorful) {
                const int h =
                    static_cast<int>(std::fmod(x * 50 + (y - 1) * 30 + time, 360.0)) % 120 + 180;
                SetPixelColor(x, y - 1, HSVtoRGB(h, 200, static_cast<int>(trailLevel * 255)));
            } else {
                SetPixelColor(x, y - 1, SingleAtLevel(trailLevel));
            }
        }
        ++i;
    }
}

void MatrixScreen::ApplySnakeEffect()
{
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    if (now - m_lastSnakeMove > 120) {
        if (m_snake.empty()) {
            m_snake.push_back(SnakeSegment{3, 3});
            m_snakeDirection = POINT{1, 0};
        }
        const SnakeSegment head = m_snake.front();
        SnakeSegment next{head.x + m_snakeDirection.x, head.y + m_snakeDirection.y};
        if (!Inside(next.x, next.y)) {
            static const POINT kDirections[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            bool found = false;
            POINT best = {0, 0};
            int bestRoom = -1;
            for (const POINT& d : kDirections) {
                const int x = head.x + d.x, y = head.y + d.y;
                if (!Inside(x, y)) continue;
                bool onBody = false;
                for (size_t i = 0; i + 1 < m_snake.size(); ++i)
                    if (m_snake[i].x == x && m_snake[i].y == y) onBody = true;
                if (onBody) continue;
                const int room = std::min(std::min(x, 6 - x), std::min(y, 6 - y));
                if (!found || room > bestRoom) {
                    found = true;
                    best = d;
                    bestRoom = room;
                }
            }
            if (!found) {
                const int y = Random() % 7;
                const int x = Random() % 7;
                m_snake.assign(1, SnakeSegment{x, y});
                m_snakeDirection = RandomDirection();
            } else {
                m_snakeDirection = best;
            }
            next = SnakeSegment{head.x + m_snakeDirection.x, head.y + m_snakeDirection.y};
        }
        m_snake.insert(m_snake.begin(), next);
        matrix_detail::SharedState& s = matrix_detail::Shared();
        size_t target;
        {
            CAutoLock shared(s.lock);
            if (!s.snakeGrowthSet) {
                s.snakeGrowthSet = true;
                s.snakeGrowth = now;
            }
            if (now - s.snakeGrowth > 3000 && s.snakeTarget < 8) {
                s.snakeGrowth = now;
                ++s.snakeTarget;
            }
            target = static_cast<size_t>(s.snakeTarget);
        }
        while (m_snake.size() > target) m_snake.pop_back();
        m_lastSnakeMove = now;
    }
    ClearCells();
    const double n = static_cast<double>(m_snake.size());
    for (size_t i = 0; i < m_snake.size(); ++i) {
        const SnakeSegment& seg = m_snake[i];
        if (!Inside(seg.x, seg.y)) continue;
        COLORREF c;
        if (i == 0) {
            c = m_colorful ? RGB(255, 255, 100) : COLORREF(m_singleColor);
        } else if (m_colorful) {
            const int hue = static_cast<int>(std::fmod(now * 0.01 * 100 + i * 60.0, 360.0));
            c = HSVtoRGB(hue, 255, static_cast<int>(std::max(0.3, 1 - i / n) * 255));
        } else {
            c = SingleAtLevel(std::max(0.2, 1 - i / n));
        }
        SetPixelColor(seg.x, seg.y, c);
    }
}

void MatrixScreen::ApplyFireworksEffect()
{
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    if (now - m_lastBurstTime > 1000) {
        const float bx = static_cast<float>(Random() % 7);
        const float by = static_cast<float>(Random() % 7);
        for (int i = 0; i < 8; ++i) {
            const double angle = i * 45 * 3.14159 / 180;
            Particle p;
            p.x = bx;
            p.y = by;
            p.vx = static_cast<float>(std::cos(angle) * 0.3);
            p.vy = static_cast<float>(std::sin(angle) * 0.3);
            p.life = 15;
            p.color = m_colorful ? HSVtoRGB(Random() % 360, 255, 255) : COLORREF(m_singleColor);
            m_particles.push_back(p);
        }
        m_lastBurstTime = now;
    }
    ClearCells();
    for (size_t i = 0; i < m_particles.size();) {
        Particle& p = m_particles[i];
        p.x += p.vx;
        p.y += p.vy;
        p.life -= 1;
        if (p.life <= 0 || p.x < 0 || p.x >= 7 || p.y < 0 || p.y >= 7) {
            m_particles.erase(m_particles.begin() + static_cast<long>(i));
            continue;
        }
        auto fade = [&p](int channel) { return channel * p.life / 15; };
        SetPixelColor(
            static_cast<int>(p.x), static_cast<int>(p.y),
            RGB(fade(GetRValue(p.color)), fade(GetGValue(p.color)), fade(GetBValue(p.color))));
        ++i;
    }
}

void MatrixScreen::ApplyMatrixRainEffect()
{
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    ClearCells();
    for (MatrixColumn& streak : m_matrixColumns) {
        for (int i = 0; i < streak.length; ++i) {
            const int row = streak.head - i;
            if (row < 0 || row > 6) continue;
            const double level = 1 - double(i) / streak.length;
            COLORREF c;
            if (m_colorful) {
                const int base =
                    static_cast<int>(std::fmod(streak.column * 45 + now * 0.003 * 60, 360.0));
                int hue = static_cast<int>(std::fmod(base + i * 10.0, 360.0));
                if (hue < 0) hue += 360;
                hue = Clamp(hue, 0, 359);
                c = HSVtoRGB(hue, 255, Clamp(static_cast<int>(level * 255), 20, 255));
            } else {
                c = SingleAtLevel(level);
            }
            SetPixelColor(streak.column, row, c);
        }
        if (++streak.head > streak.length + 7) streak.head = -(Random() % 5);
    }
}

void MatrixScreen::ApplyStarfieldEffect()
{
    CAutoLock lock(m_itemLock);
    const float now = static_cast<float>(Now());  // single precision
    ClearCells();
    for (size_t i = 0; i < m_stars.size(); ++i) {
        Star& star = m_stars[i];
        star.z -= star.speed;
        if (star.z <= 0) {
            star.x = static_cast<float>(Random() % 7);
            star.y = static_cast<float>(Random() % 7);
            star.z = static_cast<float>(Random() % 10 + 8);
            star.speed = static_cast<float>(Random() % 10) * 0.01f + 0.05f;
        }
        const double d = 1 - star.z / 15.0;
        const double twinkle =
            std::sin(now * 0.01f + static_cast<float>(i) * 0.5f + star.x + star.y) * 0.3 + 0.7;
        const double h = std::max(0.1, std::min(1.0, d)) * twinkle;
        COLORREF c;
        if (m_colorful) {
            const double m =
                std::fmod(star.y * 73 + star.x * 47 + i * 23.0 + now * 0.005f * 50.0f, 360.0);
            int hue;
            if (star.z > 10)
                hue = static_cast<int>(m) % 60 + 200;
            else if (star.z > 5)
                hue = static_cast<int>(m) % 360;
            else
                hue = static_cast<int>(m) % 90 + 30;
            const int saturation = Clamp(static_cast<int>(d * 105 + 150), 100, 255);
            const int value = Clamp(static_cast<int>(h * 255), 30, 255);
            c = HSVtoRGB(hue, saturation, value);
        } else {
            c = ScaleColor(m_singleColor, h);
        }
        SetPixelColor(static_cast<int>(star.x), static_cast<int>(star.y), c);
    }
}

void MatrixScreen::ApplyGameOfLifeEffect()
{
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    if (now - m_lastGeneration > 500) {
        bool next[49];
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                int neighbours = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if ((dx || dy) && Inside(x + dx, y + dy) &&
                            m_lifeGrid[(y + dy) * 7 + x + dx])
                            ++neighbours;
                const bool alive = m_lifeGrid[y * 7 + x];
                next[y * 7 + x] = neighbours == 3 || (alive && neighbours == 2);
            }
        }
        std::copy(std::begin(next), std::end(next), m_lifeGrid);
        m_lastGeneration = now;
    }
    ClearCells();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (m_lifeGrid[y * 7 + x])
                SetPixelColor(x, y, m_colorful ? RGB(0, 255, 0) : COLORREF(m_singleColor));
}

}  // namespace WEXA
