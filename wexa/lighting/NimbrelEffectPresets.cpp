// NimbrelEffect: the fourteen preset animations of mode 7. One call is one
// frame; the speed follows the number of calls. A whole frame runs under the
// step lock, its key writes under the key-item lock as well.
#include <algorithm>
#include <cmath>
#include <random>

#include "NimbrelEffect.h"
#include "lighting/NimbrelEffectShared.h"

namespace WEXA {

namespace {

using nimbrel::Scale;

// One frame's random numbers: a fresh generator from one seed.
class Draws
{
public:
    Draws() : m_engine(nimbrel::Seed()) {}
    double Next() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }
    double Jitter() { return std::uniform_real_distribution<double>(-0.05, 0.05)(m_engine); }
    int Index(int last) { return std::uniform_int_distribution<int>(0, last)(m_engine); }

private:
    std::mt19937 m_engine;
};

// Advances a phase: + step, back to 0 once it reaches the wrap value.
bool Advance(float& phase, float step, float wrap)
{
    phase += step;
    if (phase >= wrap) {
        phase = 0;
        return true;
    }
    return false;
}

const UINT32 kHeartKeys[] = {37, 38, 45, 46, 24, 12, 18, 19, 47, 48, 14, 15, 51, 54, 55, 230};

bool IsHeartKey(UINT32 code)
{
    return std::find(std::begin(kHeartKeys), std::end(kHeartKeys), code) != std::end(kHeartKeys);
}

int KeyPosition(const UINT32* table, int count, UINT32 code)
{
    for (int i = 0; i < count; ++i)
        if (table[i] == code) return i;
    return -1;
}

// The key of a flow-text character; 0 for none.
UINT32 CharacterKey(wchar_t ch)
{
    if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
    if (ch >= L'A' && ch <= L'Z') return 4 + (ch - L'A');
    if (ch >= L'1' && ch <= L'9') return 30 + (ch - L'1');
    switch (ch) {
        case L'0': return 39;
        case L' ': return 44;
        case L'-': return 45;
        case L'=': return 46;
        case L'[': return 47;
        case L']': return 48;
        case L';': return 51;
        case L'\'': return 52;
        case L',': return 54;
        case L'.': return 55;
        default: return 0;
    }
}

const COLORREF kFire[6] = {0x0000FF, 0x0033FF, 0x0066FF, 0x0099FF, 0x00CCFF, 0x00FFFF};
const COLORREF kBlueFire[6] = {0x660000, 0xCC3300, 0xFF6600, 0xFF9933, 0xFFCC66, 0xFFDD99};
const COLORREF kStarPalette[18] = {0xFFFFFF, 0xDCF8FF, 0xB4E5FF, 0x69C4FF, 0x508FFF, 0x4A6DFF,
                                   0xFFD8AD, 0xFFCE87, 0xFFC4B0, 0xC1B6FF, 0xDDA0DD, 0xEEEEAF,
                                   0xD30093, 0x9314FF, 0x7FFF00, 0x00D7FF, 0xE22B8A, 0x0045FF};
const COLORREF kSpectrumPalette[10] = {0x440000, 0xFF6600, 0xFFFF00, 0x66FF00, 0x00FF66,
                                       0x00FFFF, 0x0066FF, 0x0000FF, 0x6600FF, 0xFFFFFF};

// t = row / (rows - 1); a grid of one row has every key at t = 0.
float RowFraction(int row, int rows)
{
    return rows > 1 ? static_cast<float>(row) / static_cast<float>(rows - 1) : 0.0f;
}

}  // namespace

COLORREF NimbrelEffect::PresetHslToRgb(float h, float s, float l)
{
    const double s1 = s / 100.0, l1 = l / 100.0, h1 = h / 360.0;
    double r, g, b;
    if (s1 == 0) {
        r = g = b = l1;
    } else {
        const double q = l1 < 0.5 ? l1 * (1 + s1) : l1 + s1 - l1 * s1;
        const double p = 2 * l1 - q;
        auto channel = [p, q](double t) {
            if (t < 0) t += 1;
            if (t > 1) t -= 1;
            if (t < 1.0 / 6) return p + (q - p) * 6 * t;
            if (t < 1.0 / 2) return q;
            if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
            return p;
        };
        r = channel(h1 + 1.0 / 3);
        g = channel(h1);
        b = channel(h1 - 1.0 / 3);
    }
    const int R = static_cast<int>(r * 255) & 0xFF, G = static_cast<int>(g * 255) & 0xFF,
              B = static_cast<int>(b * 255) & 0xFF;
    return static_cast<COLORREF>(R | G << 8 | B << 16);
}

void NimbrelEffect::UpdateCustomEffect()
{
    CAutoLock step(m_stepLock);
    switch (m_preset) {
        case 0: UpdateCountdownEffect(); break;
        case 1: UpdateClockEffect(); break;
        case 2: UpdateHeartbeatEffect(); break;
        case 3: UpdateHeartPierceEffect(); break;
        case 4: UpdateBreathingEffect(); break;
        case 5: UpdateLightningEffect(); break;
        case 6: UpdateRainbowWaveEffect(); break;
        case 7: UpdateFireEffect(); break;
        case 8: UpdateBlueFireEffect(); break;
        case 9: UpdateSOSEffect(); break;
        case 10: UpdateRippleEffect(); break;
        case 11: UpdateStarryEffect(); break;
        case 12: UpdateTextFlowEffect(); break;
        case 13: UpdateAudioSpectrumEffect(); break;
        default: {
            Advance(m_presetPhase, 0.1f, 6.28f);
            const float c = std::sin(m_presetPhase) * 0.5f + 0.5f;
            SetAllKeys(RGB(static_cast<int>(c * 100), static_cast<int>(c * 150),
                           static_cast<int>(c * 255)));
            break;
        }
    }
}

void NimbrelEffect::UpdateCountdownEffect()
{
    static const UINT32 digits[10] = {39, 30, 31, 32, 33, 34, 35, 36, 37, 38};
    if (Advance(m_presetPhase, 0.1f, 6.28f) && m_countdown > 0) --m_countdown;
    const COLORREF pulse =
        RGB(255, static_cast<int>((std::sin(m_presetPhase) * 0.5f + 0.5f) * 100), 0);
    const int value = m_countdown;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        const bool lit = value >= 0 && value <= 9 && item->keyCode == digits[value];
        item->color = lit ? pulse : RGB(30, 30, 30);
    }
}

void NimbrelEffect::UpdateClockEffect()
{
    static const UINT32 keys[12] = {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 45, 46};
    Advance(m_presetPhase, 0.05f, 6.28f);
    const int second = static_cast<int>(m_presetPhase * 60 / 6.28f) / 5;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        const int j = KeyPosition(keys, 12, item->keyCode);
        COLORREF color = RGB(20, 20, 20);
        if (j >= 0) {
            if (j == m_clockHour % 12)
                color = 0x6464FF;
            else if (j == m_clockMinute / 5)
                color = 0x64FF64;
            else if (j == second)
                color = 0xFF6464;
            else
                color = RGB(50, 50, 50);
        }
        item->color = color;
    }
}

void NimbrelEffect::UpdateHeartbeatEffect()
{
    Advance(m_heartPhase, 0.08f, 6.28f);
    float e = std::max(std::sin(3 * m_heartPhase + 1), 0.0f) * 0.4f +
              std::max(std::sin(1.5f * m_heartPhase), 0.0f) * 0.8f;
    e = std::min(1.0f, std::max(0.2f, e));
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        const UINT32 code = item->keyCode;
        if (!IsHeartKey(code)) {
            item->color = RGB(15, 15, 15);
            continue;
        }
        float g = e;
        if (code == 15 || code == 51 || code == 54 || code == 55)
            g = std::min(1.0f, 1.3f * e);
        else if (code == 37 || code == 38 || code == 45 || code == 46)
            g = 0.7f * e;
        else if (code == 230)
            g = std::min(1.0f, 1.5f * e);
        const int r = static_cast<int>(g * 255) & 0xFF, gb = static_cast<int>(g * 20) & 0xFF;
        item->color = RGB(r, gb, gb);
    }
}

void NimbrelEffect::UpdateHeartPierceEffect()
{
    static const UINT32 arrow[13] = {57, 4, 22, 7, 9, 10, 11, 13, 14, 15, 51, 52, 40};
    Advance(m_presetPhase, 0.05f, 20.0f);
    const float phase = m_presetPhase;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        COLORREF color = 0;
        const bool heart = IsHeartKey(item->keyCode);
        if (phase < 6) {
            if (heart) {
                const float c = std::sin(2 * phase) * 0.5f + 0.5f;
                color = RGB(static_cast<int>(c * 255), static_cast<int>(c * 50),
                            static_cast<int>(c * 50));
            }
        } else if (phase < 12) {
            if (heart) color = 0x000064;
            const int n = static_cast<int>((phase - 6) / 6 * 13);
            const int j = KeyPosition(arrow, 13, item->keyCode);
            if (j >= 0 && j <= n && j <= 12) {
                if (j == n)
                    color = 0xFFFFFF;
                else if (j == n - 1)
                    color = 0x00FFFF;
                else if (j == n - 2)
                    color = 0x00C8FF;
                else
                    color = 0x0096C8;
            }
        } else if (heart) {
            color = RGB(static_cast<int>(std::max(0.0f, 1 - (phase - 12) * 0.125f) * 255), 0, 0);
        }
        item->color = color;
    }
}

void NimbrelEffect::UpdateBreathingEffect()
{
    Advance(m_presetPhase, 0.05f, 6.28f);
    const COLORREF base = PresetHslToRgb(std::fmod(m_presetPhase * 57.3f, 360.0f), 100, 50);
    SetAllKeys(Scale(base, (std::sin(m_presetPhase) + 1) * 0.5f));
}

void NimbrelEffect::UpdateLightningEffect()
{
    Advance(m_presetPhase, 0.1f, 8.0f);
    COLORREF color = 0;
    if (m_presetPhase > 1 && m_presetPhase < 4) {
        const float f = std::fmod(m_presetPhase - 1, 1.0f);
        if (f < 0.1f)
            color = 0xFFFFFF;
        else if (f < 0.2f)
            color = 0xFFDCC8;
    }
    SetAllKeys(color);
}

void NimbrelEffect::UpdateRainbowWaveEffect()
{
    Advance(m_presetPhase, 0.1f, 6.28f);
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        const float hue =
            (std::sin(item->column * 0.3f + m_presetPhase + item->row * 0.5f) + 1) * 180;
        item->color = PresetHslToRgb(hue, 100, 50);
    }
}

namespace {
void Fire(std::vector<KEYITEM_INFO*>& keys, int rows, float phase, float speed,
          const COLORREF palette[6])
{
    Draws draws;
    for (KEYITEM_INFO* item : keys) {
        const float t = RowFraction(item->row, rows);
        const float r = static_cast<float>(draws.Next() * 0.3);
        float h = std::sin(2 * t + speed * phase) * 0.15f + r + t;
        h = std::min(1.0f, std::max(0.0f, h));
        if (t > 0.7f)
            h = std::max(h, r + 0.6f);
        else if (t < 0.3f)
            h = h * (t + 0.2f);
        const int index = std::min(5, std::max(0, static_cast<int>(h * 5)));
        item->color = palette[index];
    }
}
}  // namespace

void NimbrelEffect::UpdateFireEffect()
{
    Advance(m_presetPhase, 0.1f, 6.28f);
    CAutoLock lock(m_keyLock);
    Fire(m_keyItems, m_gridRows, m_presetPhase, 1.0f, kFire);
}

void NimbrelEffect::UpdateBlueFireEffect()
{
    Advance(m_presetPhase, 0.1f, 6.28f);
    CAutoLock lock(m_keyLock);
    Fire(m_keyItems, m_gridRows, m_presetPhase, 1.2f, kBlueFire);
}

void NimbrelEffect::UpdateSOSEffect()
{
    Advance(m_presetPhase, 0.1f, 50.0f);
    const float p = m_presetPhase;
    const bool on = (p >= 0 && p < 3) || (p >= 6 && p < 9) || (p >= 12 && p < 15) ||
                    (p >= 24 && p < 33) || (p >= 36 && p < 45);
    SetAllKeys(on ? 0x0000FF : 0);
}

void NimbrelEffect::UpdateRippleEffect()
{
    Advance(m_presetPhase, 0.1f, 15.0f);
    const float phase = m_presetPhase;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        const float dr = static_cast<float>(item->row - 4),
                    dc = static_cast<float>(item->column - 8);
        const float d = std::sqrt(dr * dr + dc * dc);
        const float e = std::fabs(d - 0.8f * phase);
        if (e < 1.5f)
            item->color =
                Scale(PresetHslToRgb(std::fmod(item->column * 25 + phase * 50, 360.0f), 100, 50),
                      1 - e / 1.5f);
        else
            item->color = 0;
    }
    // The drop at the start lands on key item 72, when there is one.
    if (m_keyItems.size() > 72) {
        if (phase < 2) {
            const int v = static_cast<int>((1 - 0.5f * phase) * 255);
            m_keyItems[72]->color = RGB(v, v, 255);
        } else {
            m_keyItems[72]->color = 0;
        }
    }
}

void NimbrelEffect::UpdateStarryEffect()
{
    Draws draws;
    CAutoLock lock(m_keyLock);
    // The star list is trimmed under the key-item lock, with the births and
    // the walk, so no other frame sees it half trimmed.
    if (Advance(m_presetPhase, 0.08f, 30.0f) && m_stars.size() > 15)
        m_stars.erase(m_stars.begin(), m_stars.begin() + 5);
    const float phase = m_presetPhase;
    const int keyCount = static_cast<int>(m_keyItems.size());

    static const COLORREF background[4] = {0x0F0505, 0x14050A, 0x190808, 0x050A0F};
    for (KEYITEM_INFO* item : m_keyItems) {
        const double d = draws.Next();
        item->color = d < 0.15 ? background[std::min(3, static_cast<int>(d * 4))] : 0;
    }

    const int target = std::min(static_cast<int>(keyCount * 0.25), 30);
    while (static_cast<int>(m_stars.size()) < target) {
        if (draws.Next() >= 0.6) break;
        std::vector<int> free;
        for (int k = 0; k < keyCount; ++k) {
            bool used = false;
            for (const Star& s : m_stars) used = used || s.key == k;
            if (!used) free.push_back(k);
        }
        if (free.empty()) break;
        Star star;
        star.key = free[std::min(free.size() - 1, static_cast<size_t>(free.size() * draws.Next()))];
        star.color = kStarPalette[draws.Index(17)];
        star.birth = phase;
        const double u = draws.Next();
        if (u < 0.3) {
            star.lifetime = static_cast<float>(draws.Next() * 2 + 1);
            star.brightness = static_cast<float>(draws.Next() * 0.1 + 0.9);
        } else if (u < 0.7) {
            star.lifetime = static_cast<float>(draws.Next() * 10 + 5);
            star.brightness = static_cast<float>(draws.Next() * 0.3 + 0.6);
        } else {
            star.lifetime = static_cast<float>(draws.Next() * 15 + 8);
            star.brightness = static_cast<float>(draws.Next() * 0.4 + 0.3);
        }
        m_stars.push_back(star);
    }

    for (size_t i = 0; i < m_stars.size();) {
        const Star& s = m_stars[i];
        const float age = phase - s.birth;
        if (age > s.lifetime) {
            m_stars.erase(m_stars.begin() + static_cast<long>(i));
            continue;
        }
        const float p = age / s.lifetime;
        const float lum = (GetRValue(s.color) + GetGValue(s.color) + GetBValue(s.color)) / 765.0f;
        float twinkle;
        if (lum > 0.8f)
            twinkle = std::sin(p * 6.28f * 3) * 0.2f + 0.8f;
        else if (lum > 0.5f)
            twinkle = std::sin(p * 6.28f) * 0.3f + 0.7f;
        else
            twinkle = std::sin(p * 6.28f * 0.5f) * 0.1f + 0.9f;
        const float v = static_cast<float>(draws.Next() * 0.15 + 0.85) * twinkle *
                        std::sin(p * 3.14159f) * s.brightness;
        if (v > 0.05f && s.key < keyCount) m_keyItems[s.key]->color = Scale(s.color, v);
        ++i;
    }

    float& timer = nimbrel::State().shootingTimer;
    timer += 0.08f;
    if (timer > 8 && draws.Next() < 0.1) {
        timer = 0;
        const int columns = m_gridColumns, rows = m_gridRows;
        const bool right = draws.Next() < 0.5;
        const int startRow = static_cast<int>(rows * draws.Next());
        const COLORREF color = draws.Next() < 0.3 ? 0xFFD8AD : 0xFFFFFF;
        for (int k = 0; k < 5 && k < columns; ++k) {
            const int column = right ? k : columns - 1 - k;
            const int row = draws.Next() < 0.5 ? startRow + k / 2 : startRow - k / 2;
            if (column < 0 || column >= columns || row < 0 || row >= rows) continue;
            for (KEYITEM_INFO* item : m_keyItems) {
                if (item->column == column && item->row == row) {
                    item->color = Scale(color, (5 - k) * 0.2);
                    break;
                }
            }
        }
    }
}

void NimbrelEffect::UpdateTextFlowEffect()
{
    if (Advance(m_presetPhase, 0.2f, 1.0f)) {
        ++m_flowPosition;
        if (m_flowPosition >= m_flowText.GetLength()) m_flowPosition = 0;
    }
    UINT32 current = 0, previous = 0;
    if (m_flowPosition < m_flowText.GetLength()) {
        current = CharacterKey(m_flowText.GetAt(m_flowPosition));
        if (m_flowPosition > 0) previous = CharacterKey(m_flowText.GetAt(m_flowPosition - 1));
    }
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        if (current && item->keyCode == current)
            item->color = 0xFFC864;
        else if (previous && item->keyCode == previous)
            item->color = 0x966432;
        else
            item->color = RGB(20, 20, 20);
    }
}

void NimbrelEffect::UpdateAudioSpectrumEffect()
{
    Advance(m_presetPhase, 0.1f, 62.8f);
    const float ph = m_presetPhase;
    const int R = m_gridRows;
    Draws draws;
    CAutoLock lock(m_keyLock);
    for (KEYITEM_INFO* item : m_keyItems) {
        const float x = static_cast<float>(item->column);
        const float s4 = std::sin(0.8f * ph);
        float v = (std::sin(0.3f * x + 1.5f * ph) * 0.4f + std::sin(0.2f * x + ph) * 0.3f +
                   std::sin(0.5f * x + 2.2f * ph) * 0.3f + s4 * s4 * 0.4f + 1) *
                      0.5f +
                  static_cast<float>(draws.Jitter());
        v = nimbrel::Clamp01(v);
        const int u = R - item->row - 1;
        if (R * v > u) {
            // A grid of one row uses the first colour.
            const float place = R > 1 ? static_cast<float>(u) / static_cast<float>(R - 1) : 0.0f;
            const int index = std::min(9, std::max(0, static_cast<int>(place * 9)));
            item->color = Scale(kSpectrumPalette[index], v * 0.3f + 0.7f);
        } else {
            item->color = 0x111111;
        }
    }
}

}  // namespace WEXA
