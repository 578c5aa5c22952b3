// The panel over a keyboard picture that carries the key caps, their legends
// and the light strips: a dark key or strip light leaves the picture as it is
// (no second legend, no outline, no black dot), a lit one tints its place
// without drawing a legend of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EffectFixture.h"
#include "WindowTestHelpers.h"

namespace effecttest {

namespace {

class PictureTest : public EffectTest
{
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        panel->SetKeyboardImage(L"keyboard\\kestrova_k87.png");
        ASSERT_NE(panel->m_keyboardImage, nullptr);
        for (int c = 0; c < 8; ++c) AddKey(static_cast<UINT32>(4 + c), c + 1, 1, L"Key");
        // Strip lights, 6 x 6, on the picture's top edge.
        for (int i = 0; i < 8; ++i)
            panel->AddKeyItem(L"", 310 + i, CRect(1 + 36 * i, 2, 7 + 36 * i, 8), i, 0);
        panel->m_clrText = Gdiplus::Color(0xFFFFFFFF);
        panel->SetWidthAndHeight(882, 310);
        panel->SetNimbrelMode(1);
        panel->SetControlRect(CRect(0, 0, 1000, 400));
    }
    testutil::PixelBuffer Draw()
    {
        testutil::MemoryCanvas canvas(1000, 400);
        canvas.Fill(0xFF1B1E24);
        HDC dc = canvas.dc();
        panel->m_bUpdate = 0;
        panel->DrawControl(dc, CRect(0, 0, 1000, 400));
        return canvas.Read();
    }
    void SetAll(COLORREF colour)
    {
        for (WEXA::KEYITEM_INFO* item : panel->m_keyItems) item->color = colour;
    }
    RECT Place(int index)
    {
        RECT r = panel->m_keyItems[size_t(index)]->rect;
        const POINT offset = panel->GetPictureOffset();
        OffsetRect(&r, offset.x, offset.y);
        return r;
    }
};

int Level(uint32_t p, int shift)
{
    return int((p >> shift) & 0xFF);
}

}  // namespace

int Differing(const testutil::PixelBuffer& a, const testutil::PixelBuffer& b)
{
    int differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        differing += (a.pixels[i] & 0xFFFFFF) != (b.pixels[i] & 0xFFFFFF);
    return differing;
}

// In every mode, the music layers (2) too: these are drawn on black to be
// sampled, but the user sees the keyboard, not a black panel.
TEST_F(PictureTest, DarkKeysAndLightsLeaveThePictureAsItIs)
{
    std::vector<testutil::PixelBuffer> pictures;
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        panel->SetNimbrelMode(mode);
        std::vector<CRect> places;
        for (WEXA::KEYITEM_INFO* item : panel->m_keyItems) places.push_back(item->rect);
        SetAll(0);
        const testutil::PixelBuffer withKeys = Draw();
        for (WEXA::KEYITEM_INFO* item : panel->m_keyItems) item->rect = CRect();  // nowhere
        pictures.push_back(Draw());
        for (size_t i = 0; i < places.size(); ++i) panel->m_keyItems[i]->rect = places[i];
        EXPECT_EQ(Differing(withKeys, pictures.back()), 0)
            << "pixels the dark keys and lights drew over the picture";
    }
    EXPECT_EQ(Differing(pictures[0], pictures[1]), 0);
}

TEST_F(PictureTest, ALitKeyTintsItsCapWithoutALegendOfItsOwn)
{
    SetAll(0);
    const testutil::PixelBuffer dark = Draw();
    SetAll(RGB(255, 0, 0));
    const testutil::PixelBuffer red = Draw();
    for (int index : {0, 3, 8, 12}) {
        SCOPED_TRACE(index);
        const RECT r = Place(index);
        long redder = 0, whiter = 0, pixels = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t before = dark.At(x, y), after = red.At(x, y);
                ++pixels;
                redder += Level(after, 16) > Level(before, 16) + 20;
                // A legend of the panel's own: white drawn where the cap was dark.
                whiter += Level(after, 8) > Level(before, 8) + 60 &&
                          Level(after, 0) > Level(before, 0) + 60;
            }
        EXPECT_GT(redder, pixels / 3);
        EXPECT_EQ(whiter, 0);
    }
}

}  // namespace effecttest
