// Mouse editing of light layers, panning, the wheel and the notifications;
// the four threads together.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

#include "EffectFixture.h"
#include "GifWriter.h"
#include "Manager.h"
#include "WindowTestHelpers.h"

namespace effecttest {

class EditTest : public EffectTest
{
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        panel->SetControlRect(CRect(100, 50, 1100, 450));  // in the window at (100, 50)
        panel->SetNimbrelMode(2);
    }
    void Move(int x, int y, UINT flags = 0) { panel->OnControlMouseMove(flags, CPoint(x, y)); }
    void Down(int x, int y) { panel->OnControlLButtonDown(MK_LBUTTON, CPoint(x, y)); }
    void Up(int x, int y) { panel->OnControlLButtonUp(0, CPoint(x, y)); }
};

TEST_F(EditTest, DragTypesAroundARectangle)
{
    const CRect r(100, 100, 300, 200);
    struct Row
    {
        int x, y, type;
    } rows[] = {{95, 95, 6},   {107, 107, 6}, {300, 100, 7}, {100, 200, 8}, {307, 207, 9},
                {108, 150, 1}, {104, 150, 2}, {296, 150, 4}, {200, 104, 3}, {200, 196, 5},
                {150, 150, 1}, {350, 150, 0}, {92, 150, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(WEXA::NimbrelEffect::GetDragType(CPoint(row.x, row.y), r), row.type)
            << row.x << "," << row.y;
    EXPECT_EQ(WEXA::NimbrelEffect::GetDragCursor(1), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_EQ(WEXA::NimbrelEffect::GetDragCursor(7), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_EQ(WEXA::NimbrelEffect::GetDragCursor(0), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(EditTest, HoverSelectsMovesAndResizes)
{
    panel->AddLightLayer(1, CRect(0, 0, 400, 200));
    panel->AddLightLayer(2, CRect(300, 100, 500, 300));
    Move(450, 250);  // over layer 2 only (window 450 = panel 350)
    EXPECT_EQ(panel->m_hoverLayer.load(), 1);
    Down(450, 250);
    EXPECT_EQ(panel->m_selectedLayer.load(), 1);
    Move(480, 270, MK_LBUTTON);  // moves by (30, 20), measured from the press
    Move(490, 280, MK_LBUTTON);
    EXPECT_EQ(panel->GetLightLayers()[1].rect, CRect(340, 130, 540, 330));
    Up(490, 280);
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(owner.events[0].code, 2u);

    // Bottom-right corner of the selected layer (window 640, 380): shrinking
    // below 50 pixels leaves the layer as it is.
    Move(640, 380);
    Down(640, 380);
    Move(480, 380, MK_LBUTTON);
    EXPECT_EQ(panel->GetLightLayers()[1].rect, CRect(340, 130, 540, 330));
    Move(600, 350, MK_LBUTTON);
    EXPECT_EQ(panel->GetLightLayers()[1].rect, CRect(340, 130, 500, 300));
    Up(2000, 2000);  // outside: no notification
    EXPECT_EQ(owner.events.size(), 1u);

    // The wheel scales the selected layer within 0.01 .. 5.0.
    for (int i = 0; i < 40; ++i) panel->OnControlScroll(1, 0, CPoint(0, 0));
    EXPECT_FLOAT_EQ(panel->GetLightLayers()[1].scale, 5.0f);
    for (int i = 0; i < 40; ++i) panel->OnControlScroll(1, 1, CPoint(0, 0));
    EXPECT_FLOAT_EQ(panel->GetLightLayers()[1].scale, 0.01f);
    EXPECT_FLOAT_EQ(panel->GetLightLayers()[0].scale, 1.0f);
}

TEST_F(EditTest, PressOnNothingPansAfterThreePixels)
{
    panel->SetNimbrelMode(1);
    const POINT start = panel->GetPictureOffset();
    Down(500, 200);
    Move(502, 202, MK_LBUTTON);
    EXPECT_EQ(panel->GetPictureOffset().x, start.x);
    Move(503, 200, MK_LBUTTON);
    EXPECT_EQ(panel->GetPictureOffset().x, start.x + 3);
    Up(503, 200);
    EXPECT_EQ(owner.events.back().code, 2u);
}

TEST_F(EditTest, RightClickReportsNoKey)
{
    AddKey(4, 0, 0, L"A");
    panel->OnControlRButtonDown(0, CPoint(500, 200));
    panel->OnControlRButtonUp(0, CPoint(500, 200));
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(owner.events[0].code, 5u);
    EXPECT_EQ(static_cast<int>(owner.events[0].wparam), -1);
    EXPECT_EQ(owner.events[0].lparam, 0);
    panel->m_pointedKey = 0;
    panel->OnControlRButtonUp(0, CPoint(500, 200));
    EXPECT_EQ(owner.events[1].wparam, 0u);
    EXPECT_EQ(owner.events[1].lparam, 4);
    panel->SetEnabled(0);
    EXPECT_EQ(panel->OnControlRButtonUp(0, CPoint(500, 200)), 0);
}

TEST_F(EditTest, WheelScalesTheGif)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"fx_wheel.gif";
    ASSERT_TRUE(testutil::WriteGif(path, 40, 20, {{1, 10}, {2, 10}}));
    panel->SetGIFImage(CString(path.c_str()));
    panel->SetNimbrelMode(5);
    panel->OnControlScroll(1, 0, CPoint(0, 0));  // away from the user
    EXPECT_FLOAT_EQ(panel->GetGIFScaleValue(), 0.15f);
    EXPECT_EQ(panel->GetGIFDisplaySize().cx, 6);
    panel->SetGIFScale(0.0f);
    panel->OnControlScroll(1, 1, CPoint(0, 0));
    EXPECT_FLOAT_EQ(panel->GetGIFScaleValue(), 0.01f);
}

// The four threads at once: the audio thread pushes, the timer steps and
// renders off screen, the worker writes the colour map, steps, renders and
// reads the keys, the UI thread paints, swaps the GIF and the keyboard
// picture and edits layers and keys; a fixed number of UI rounds (about
// three seconds here). No crash, and every colour read is a whole COLORREF.
const int kStressRounds = 14;

TEST_F(EffectTest, FourThreadsTogether)
{
    AddGrid(19, 6);
    panel->AddLightLayer(1, CRect());
    panel->AddLightLayer(12, CRect(100, 50, 600, 350));
    std::atomic<bool> stop(false);
    std::atomic<int> torn(0), reads(0);
    std::thread audio([&] {
        float s32[32], s64[64];
        for (int frame = 0; !stop; ++frame) {
            for (int i = 0; i < 32; ++i) s32[i] = 0.5f + 0.4f * std::sin(frame * 0.3f + i);
            for (int i = 0; i < 64; ++i) s64[i] = 0.5f + 0.4f * std::sin(frame * 0.2f + i);
            panel->SetExternalAudioData(0.6f, 0.7f, 0.5f, 60, 80.0f + frame % 50);
            panel->SetFFTSpectrum(s32, s64);
            panel->SetBeatData(frame % 7 == 0, 0.8f, 120, 0.5f, 0.4f, 0.3f);
            Sleep(1);
        }
    });
    std::thread timer([&] {
        while (!stop) {
            panel->OnControlTimer();
            Sleep(2);
        }
    });
    std::thread worker([&] {
        DWORD side[10], matrix[133];
        for (int step = 0; !stop; ++step) {
            for (int c = 0; c < 19; ++c)
                panel->SetColorMap(c, step % 8, RGB(c * 10, step % 256, 7));
            panel->OnControlTimer();
            panel->GetSideLightsColors(side, 10, true, 0xFF);
            panel->GetMatrixLightsColors(matrix, 7, 19, step % 2 == 0, 0xFF);
            for (DWORD c : side) torn += (c & 0xFF000000) != 0;
            panel->EnterCriSec();
            for (WEXA::KEYITEM_INFO* item : panel->GetKeyItems()) {
                torn += (item->color & 0xFF000000) != 0;
                ++reads;
            }
            panel->LeaveCriSec();
        }
    });
    // Two GIFs the UI thread swaps while the timer and the worker draw them.
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring gifs[2] = {std::wstring(dir) + L"fx_stress_a.gif",
                                  std::wstring(dir) + L"fx_stress_b.gif"};
    ASSERT_TRUE(testutil::WriteGif(gifs[0], 120, 60, {{1, 2}, {2, 2}, {3, 2}}));
    ASSERT_TRUE(testutil::WriteGif(gifs[1], 60, 30, {{3, -1}, {1, -1}}));
    // Two keyboard pictures in the skin folder, where the panel loads them.
    const CString skins = WEXA::GetSkinsPath();
    CreateDirectoryW(WEXA::GetAppPath() + L"skins", nullptr);
    CreateDirectoryW(skins, nullptr);
    const wchar_t* pictures[2] = {L"fx_stress_keyboard_a.gif", L"fx_stress_keyboard_b.gif"};
    ASSERT_TRUE(testutil::WriteGif(std::wstring(skins + pictures[0]), 120, 48, {{2, 1}}));
    ASSERT_TRUE(testutil::WriteGif(std::wstring(skins + pictures[1]), 60, 24, {{1, 1}}));
    panel->SetKeyboardImage(pictures[0]);
    ASSERT_NE(panel->m_keyboardImage, nullptr);
    testutil::MemoryCanvas canvas(1000, 400);
    const int modes[] = {2, 7, 5, 6, 1, 5};
    const DWORD start = GetTickCount();
    for (int round = 0; round < kStressRounds; ++round) {
        panel->SetNimbrelMode(modes[round % 6]);
        panel->SetPresetMode(round % 15);
        HDC dc = canvas.dc();
        panel->m_bUpdate = 0;
        panel->DrawControl(dc, CRect(0, 0, 1000, 400));
        panel->AddLightLayer(3 + round % 18, CRect(0, 0, 300, 200));
        panel->m_selectedLayer = round % 3;
        panel->SetMusicColor(RGB(round % 256, 0, 0));
        panel->OnControlScroll(1, round % 2, CPoint(0, 0));
        if (round % 5 == 0) panel->DeleteLightLayer(3 + (round / 5) % 18);
        if (round % 2 == 0) panel->SetGIFImage(CString(gifs[(round / 2) % 2].c_str()));
        panel->SetKeyboardImage(pictures[round % 2]);
        if (round % 7 == 0) {
            panel->ClearItem();
            AddGrid(19, 6);
        }
    }
    std::printf("%d UI rounds in %lu ms\n", kStressRounds,
                static_cast<unsigned long>(GetTickCount() - start));
    stop = true;
    audio.join();
    timer.join();
    worker.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(reads.load(), 0);
    for (const wchar_t* picture : pictures) DeleteFileW(skins + picture);
}

}  // namespace effecttest
