// What the panel shows in modes 1, 2, 5 and 7, compared with references.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "EffectFixture.h"
#include "GifWriter.h"
#include "ScreenshotCompare.h"
#include "WindowTestHelpers.h"

namespace effecttest {

namespace {
const wchar_t* kNames[6][19] = {
    {L"Esc", L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12",
     L"Prt", L"Scr", L"Pau", L"Ins", L"Hom", L"PgU"},
    {L"`", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"0", L"-", L"=", L"Bk", L"Del",
     L"End", L"PgD", L"Num", L"/"},
    {L"Tab", L"Q", L"W", L"E", L"R", L"T", L"Y", L"U", L"I", L"O", L"P", L"[", L"]", L"\\", L"7",
     L"8", L"9", L"*", L"-"},
    {L"Caps", L"A", L"S", L"D", L"F", L"G", L"H", L"J", L"K", L"L", L";", L"'", L"Ent", L"4", L"5",
     L"6", L"+", L"", L""},
    {L"Shift", L"Z", L"X", L"C", L"V", L"B", L"N", L"M", L",", L".", L"/", L"Sh", L"Up", L"1", L"2",
     L"3", L"Ent", L"", L""},
    {L"Ctrl", L"Win", L"Alt", L"Space", L"", L"", L"", L"Alt", L"Fn", L"Menu", L"Ctl", L"Lt", L"Dn",
     L"Rt", L"0", L".", L"", L"", L""},
};
}  // namespace

class ScreenshotTest : public EffectTest
{
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 19; ++c)
                if (kNames[r][c][0])
                    AddKey(static_cast<UINT32>(4 + r * 19 + c), c, r, kNames[r][c]);
        // Two light-bar LEDs under the keys.
        for (int i = 0; i < 19; ++i)
            panel->AddKeyItem(L"", 300 + i, CRect(i * 45 + 16, 278, i * 45 + 24, 286), i, 7);
        panel->m_clrText = Gdiplus::Color(0xFF, 0xF0, 0xF0, 0xF0);
        panel->SetWidthAndHeight(860, 290);
    }
    void Place(int mode)
    {
        panel->SetNimbrelMode(mode);
        panel->SetControlRect(CRect(0, 0, 1000, 400));  // centres the picture: (70, 20)
    }
    void Shoot(const char* reference)
    {
        testutil::MemoryCanvas canvas(1000, 400);
        canvas.Fill(0xFF1B1E24);
        HDC dc = canvas.dc();
        panel->m_bUpdate = 0;
        panel->DrawControl(dc, CRect(0, 0, 1000, 400));
        testutil::ScreenshotCompare compare;
        const POINT offset = panel->GetPictureOffset();
        for (size_t i = 0; i < panel->m_keyItems.size(); ++i) {
            RECT r = panel->m_keyItems[i]->rect;
            OffsetRect(&r, offset.x, offset.y);
            compare.AddRegion("key " + std::to_string(i), r);
        }
        compare.AddRegion("panel", RECT{0, 0, 1000, 400});
        EXPECT_TRUE(compare.MatchesReference(canvas.Read(),
                                             testutil::TestSourceFile(TEST_SOURCE_DIR, reference)))
            << reference;
    }
    void Music()
    {
        float s32[32], s64[64];
        for (int i = 0; i < 32; ++i) s32[i] = 0.5f * std::exp(-i / 20.0f) + 0.1f;
        for (int i = 0; i < 64; ++i)
            s64[i] = 0.45f * std::exp(-i / 30.0f) + 0.15f * std::sin(i * 0.4f) + 0.15f;
        panel->SetExternalAudioData(0.7f, 0.8f, 0.6f, 70, 120.0f);
        panel->SetFFTSpectrum(s32, s64);
        panel->SetBeatData(false, 0.2f, 120, 0.6f, 0.4f, 0.3f);
    }
};

TEST_F(ScreenshotTest, ColourMap)
{
    Place(1);
    for (int c = 0; c < 19; ++c)
        for (int r = 0; r < 8; ++r)
            panel->SetColorMap(c, r, WEXA::NimbrelEffect::HSVtoRGB(c * 19.0f, 1, 1 - r * 0.08f));
    Shoot("effect_mode1.png");
}

TEST_F(ScreenshotTest, MusicLayers)
{
    Place(2);
    Music();
    panel->AddLightLayer(1, CRect(0, 0, 500, 400));
    panel->AddLightLayer(8, CRect(520, 10, 760, 200));
    panel->AddLightLayer(9, CRect(760, 10, 1000, 200));
    panel->AddLightLayer(6, CRect(520, 210, 1000, 400));
    panel->m_layers[3]->colorful = 0;
    panel->m_layers[3]->color = RGB(0x49, 0x77, 0xE5);
    panel->m_selectedLayer = 2;
    Shoot("effect_mode2.png");
}

TEST_F(ScreenshotTest, AnimatedGif)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"fx_screenshot.gif";
    testutil::GifFrame frame{0, 10};
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            frame.pixels.push_back(static_cast<unsigned char>(1 + (x / 50 + y / 20) % 3));
    ASSERT_TRUE(testutil::WriteGif(path, 200, 60, {frame, {2, 10}}));
    panel->SetGIFImage(CString(path.c_str()));
    Place(5);
    panel->SetGIFDisplayParams(40, 10, 4.5f);
    panel->DrawHideControl();  // the keys take the frame's colours
    Shoot("effect_mode5.png");
}

TEST_F(ScreenshotTest, PresetRainbowWave)
{
    Place(7);
    panel->SetPresetMode(6);
    Frames(12);
    Shoot("effect_mode7.png");
}

}  // namespace effecttest
