// MatrixScreen: the animations that modes 28-34 set up but the step never
// runs (heart, scan, typing, drop matrix, terminal, radiant). A client may call
// them directly.
#include <algorithm>
#include <cmath>

#include "MatrixScreen.h"
#include "lighting/MatrixScreenShared.h"

namespace WEXA {

using matrix_detail::Clamp;

namespace {

#define G(a, b, c, d, e) a, b, c, d, e
const bool kGlyphA[35] = {G(0, 1, 1, 1, 0), G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 1, 1, 1, 1),
                          G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1)};
const bool kGlyphB[35] = {G(1, 1, 1, 1, 0), G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 1, 1, 1, 0),
                          G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 1, 1, 1, 0)};
const bool kGlyphC[35] = {G(0, 1, 1, 1, 1), G(1, 0, 0, 0, 0), G(1, 0, 0, 0, 0), G(1, 0, 0, 0, 0),
                          G(1, 0, 0, 0, 0), G(1, 0, 0, 0, 0), G(0, 1, 1, 1, 1)};
const bool kGlyphM[35] = {G(1, 0, 0, 0, 1), G(1, 1, 0, 1, 1), G(1, 0, 1, 0, 1), G(1, 0, 0, 0, 1),
                          G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1)};
const bool kGlyphD[35] = {G(1, 1, 1, 1, 0), G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1),
                          G(1, 0, 0, 0, 1), G(1, 0, 0, 0, 1), G(1, 1, 1, 1, 0)};
#undef G

const bool* TypingGlyph(wchar_t ch)
{
    switch (ch) {
        case L'1': return MatrixScreen::s_numberPatterns[1];
        case L'2': return MatrixScreen::s_numberPatterns[2];
        case L'3': return MatrixScreen::s_numberPatterns[3];
        case L'B': return kGlyphB;
        case L'C': return kGlyphC;
        default: return kGlyphA;
    }
}

const bool* TerminalGlyph(wchar_t ch)
{
    switch (ch) {
        case L'M': return kGlyphM;
        case L'D': return kGlyphD;
        default: return kGlyphC;
    }
}

}  // namespace

void MatrixScreen::ApplyHeartEffect()
{
    m_heartPhase += 0.1;
    if (m_heartPhase >= 6.28) m_heartPhase = 0;
    const double phase = m_heartPhase;
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (int i = 0; i < 49; ++i) {
        if (!matrix_detail::kHeartMask[i]) continue;
        SetPixelColor(i % 7, i / 7,
                      m_colorful
                          ? HSVtoRGB(static_cast<int>(std::fmod(phase * 100, 360.0)), 255, 255)
                          : SingleAtLevel(std::sin(phase * 2) * 0.2 + 0.8));
    }
}

void MatrixScreen::ApplyScanEffect()
{
    const DWORD now = Now();
    if (now - m_lastScanTime > 200) {
        if (++m_scanPosition >= 20) m_scanPosition = 0;
        m_lastScanTime = now;
    }
    const int p = m_scanPosition;
    int bx, by;
    if (p < 5) {
        bx = p, by = 0;
    } else if (p < 10) {
        bx = 5, by = p - 5;
    } else if (p < 15) {
        bx = 14 - p, by = 5;
    } else {
        bx = 0, by = 19 - p;
    }
    CAutoLock lock(m_itemLock);
    ClearCells();
    const COLORREF c =
        m_colorful ? HSVtoRGB(static_cast<int>(std::fmod(p * 18 + now * 0.1, 360.0)), 255, 255)
                   : COLORREF(m_singleColor);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) SetPixelColor(bx + i, by + j, c);
}

void MatrixScreen::ApplyTypingEffect()
{
    const DWORD now = Now();
    const int length = m_typingText.GetLength();
    if (now - m_lastTypingTime > 800) {
        if (++m_typingIndex >= length) m_typingIndex = 0;
        m_lastTypingTime = now;
    }
    const wchar_t ch = (m_typingIndex >= 0 && m_typingIndex < length)
                           ? static_cast<const wchar_t*>(m_typingText)[m_typingIndex]
                           : L'A';
    const bool* glyph = TypingGlyph(ch);
    const double w = std::sin(static_cast<float>(now) * 0.01f) * 0.3 + 0.7;
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (int r = 0; r < 7; ++r)
        for (int g = 0; g < 5; ++g)
            if (glyph[r * 5 + g])
                SetPixelColor(g + 1, r,
                              m_colorful
                                  ? HSVtoRGB(m_typingIndex * 60, 255, static_cast<int>(w * 255))
                                  : SingleAtLevel(w));
}

void MatrixScreen::ApplyRaindropMatrixEffect()
{
    CAutoLock lock(m_itemLock);
    const DWORD now = Now();
    if (now - m_lastMatrixDropTime > 100) {
        if (Random() % 3 == 0) {
            MatrixDrop d;
            d.x = Random() % 7;
            d.y = 0;
            d.speed = Random() % 2 + 1;
            d.life = Random() % 5 + 7;
            if (m_colorful) {
                const int hue = Random() % 60 + 180;
                d.color = HSVtoRGB(hue, 255, Random() % 56 + 200);
            } else {
                d.color = m_singleColor;
            }
            m_matrixDrops.push_back(d);
        }
        for (size_t i = 0; i < m_matrixDrops.size();) {
            MatrixDrop& d = m_matrixDrops[i];
            d.y += d.speed;
            d.life -= 1;
            if (d.y > 6 || d.life <= 0) {
                m_matrixDrops.erase(m_matrixDrops.begin() + static_cast<long>(i));
                continue;
            }
            ++i;
        }
        m_lastMatrixDropTime = now;
    }
    ClearCells();
    for (const MatrixDrop& d : m_matrixDrops) {
        if (d.x < 0 || d.x > 6 || d.y < 0 || d.y > 6) continue;
        const double l = std::min(1.0, std::max(0.2, d.life / 11.0));
        SetPixelColor(d.x, d.y,
                      m_colorful ? matrix_detail::ScaleColor(d.color, l) : SingleAtLevel(l));
    }
}

void MatrixScreen::ApplyTerminalEffect()
{
    const DWORD now = Now();
    const int length = m_terminalText.GetLength();
    if (now - m_lastTerminalTime > 1000) {
        if (++m_terminalIndex >= length) m_terminalIndex = 0;
        m_lastTerminalTime = now;
    }
    const wchar_t ch = (m_terminalIndex >= 0 && m_terminalIndex < length)
                           ? static_cast<const wchar_t*>(m_terminalText)[m_terminalIndex]
                           : L'C';
    const bool* glyph = TerminalGlyph(ch);
    const float nowf = static_cast<float>(now);
    const double w = std::sin(nowf * 0.008f) * 0.2 + 0.8;
    CAutoLock lock(m_itemLock);
    ClearCells();
    for (int r = 0; r < 7; ++r) {
        for (int g = 0; g < 5; ++g) {
            if (!glyph[r * 5 + g]) continue;
            COLORREF c;
            if (m_colorful) {
                int hue =
                    static_cast<int>(std::fmod(std::sin(nowf * 0.003f + g + r) * 30 + 120, 360.0));
                if (hue < 0) hue += 360;
                c = HSVtoRGB(hue, 200, static_cast<int>(w * 255));
            } else {
                c = SingleAtLevel(w);
            }
            SetPixelColor(g + 1, r, c);
        }
    }
    if ((now / 500) % 2 == 0)
        SetPixelColor(6, 6, m_colorful ? RGB(0, 255, 0) : COLORREF(m_singleColor));
}

void MatrixScreen::ApplyRadiantEffect()
{
    const DWORD now = Now();
    if (now - m_lastRadiantTime > 50) {
        m_radiantPhase += 0.15;
        if (m_radiantPhase >= 6.28) m_radiantPhase = 0;
        m_radiantLength = std::sin(m_radiantPhase) * 1.5 + 1.5;
        m_lastRadiantTime = now;
    }
    const double phase = m_radiantPhase, length = m_radiantLength;
    CAutoLock lock(m_itemLock);
    ClearCells();
    SetPixelColor(3, 3,
                  m_colorful ? HSVtoRGB(static_cast<int>(std::fmod(phase * 100, 360.0)), 100, 255)
                             : COLORREF(m_singleColor));
    struct Ray
    {
        int dx, dy, offset;
    };
    auto hueOf = [](double value) {
        int h = static_cast<int>(value);
        return h < 0 ? h + 360 : h;
    };
    static const Ray kStraight[4] = {{0, -1, 0}, {0, 1, 90}, {-1, 0, 180}, {1, 0, 270}};
    static const Ray kDiagonal[4] = {{-1, -1, 180}, {1, -1, 225}, {-1, 1, 270}, {1, 1, 315}};
    for (const Ray& ray : kStraight) {
        const int h = hueOf(std::fmod(phase * 50 + ray.offset, 360.0));
        for (int i = 1; i <= static_cast<int>(length); ++i)
            SetPixelColor(3 + i * ray.dx, 3 + i * ray.dy,
                          m_colorful ? HSVtoRGB(h, 255, 255) : COLORREF(m_singleColor));
    }
    for (const Ray& ray : kDiagonal) {
        const int h = hueOf(std::fmod(phase * 30 + ray.offset, 360.0));
        for (int i = 1; i <= static_cast<int>(length * 0.7); ++i)
            SetPixelColor(3 + i * ray.dx, 3 + i * ray.dy,
                          m_colorful ? HSVtoRGB(h, 255, 255) : COLORREF(m_singleColor));
    }
}

}  // namespace WEXA
