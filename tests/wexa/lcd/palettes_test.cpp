// The LCD colour palettes on the HSL model: the conversion table, the hue
// slider's colour, the lightness strip's colour from its gradient, and the
// swatches of the hue bar.
#include <gtest/gtest.h>

#include "ColorModel.h"
#include "ControlProbe.h"
#include "LCDPalette.h"
#include "WindowTestHelpers.h"

namespace {

using WEXA::HslToRgb;

void Paint(WEXA::MControl& c, testutil::MemoryCanvas& canvas)
{
    HDC dc = canvas.dc();
    c.SetUpdate(0, 0);
    c.DrawControl(dc, CRect(0, 0, canvas.width(), canvas.height()));
}

TEST(LcdColourModel, HslTable)
{
    const struct
    {
        float h, s, l;
        COLORREF rgb;
    } cases[] = {
        {0.0f, 1.0f, 0.5f, 0x0000FF},         {1.0f / 3, 1.0f, 0.5f, 0x00FF00},
        {2.0f / 3, 1.0f, 0.5f, 0xFF0000},     {0.3f, 0.0f, 0.5f, 0x7F7F7F},
        {180.0f / 360, 1.0f, 0.5f, 0xFEFF00}, {0.0f, 1.0f, 0.75f, RGB(255, 127, 127)},
    };
    for (const auto& c : cases) EXPECT_EQ(HslToRgb(c.h, c.s, c.l), c.rgb) << c.h << "," << c.l;
    float h, s, l;
    WEXA::RgbToHsl(0x0000FF, h, s, l);
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(l, 0.5f);
    WEXA::RgbToHsl(0x808080, h, s, l);
    EXPECT_FLOAT_EQ(s, 0.0f);
    EXPECT_NEAR(l, 0.502f, 0.0005f);
}

TEST(LcdPalettes, HueSliderColourAndZeroWidth)
{
    probe::RecordingOwner owner;
    WEXA::LCDPalette2 slider(&owner, 397, CRect(10, 10, 380, 50), 1);
    slider.SetHuePos(185);
    EXPECT_EQ(slider.GetSelectColor(), 0xFEFF00u);
    testutil::MemoryCanvas canvas(400, 60);
    Paint(slider, canvas);
    EXPECT_EQ(slider.GetSelectColor(), 0xFEFF00u);
    EXPECT_EQ(canvas.Read().ColorAt(10 + 10, 45), RGB(255, 0, 0));  // hue 0 at the bar's start

    // Pressing on the bar moves the marker and reports the choice on release.
    slider.OnControlLButtonDown(MK_LBUTTON, CPoint(10 + 5 + 100, 40));
    EXPECT_EQ(slider.GetHuePos(), 100);
    slider.OnControlLButtonUp(0, CPoint(10 + 5 + 100, 40));
    EXPECT_EQ(slider.GetSelectColor(), HslToRgb(float((100 * 360) / 370) / 360.0f, 1.0f, 0.5f));
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(owner.events[0].code, 2u);

    // No width: no division, nothing drawn.
    WEXA::LCDPalette2 flat(&owner, 1, CRect(10, 10, 10, 40), 1);
    flat.SetHuePos(20);
    Paint(flat, canvas);
    EXPECT_EQ(flat.GetSelectColor(), 0x0000FFu);
    WEXA::LCDPalette3 empty(&owner, 2, CRect(10, 10, 10, 40), 1);
    empty.OnControlLButtonUp(0, CPoint(10, 20));
    EXPECT_EQ(empty.GetSelectColor(), 0x0000FFu);
}

TEST(LcdPalettes, LightnessStripPicksFromTheGradient)
{
    probe::RecordingOwner owner;
    WEXA::LCDPalette3 strip(&owner, 396, CRect(20, 10, 180, 40), 1);
    // Before the control joins a window the gradient is made on first use.
    // Green's hue is 119 degrees: the model's single-precision hue of green is
    // 0.3333333, just below a third.
    strip.SetSelectColor(0x00FF00);
    EXPECT_EQ(strip.GetHue(), 119);
    EXPECT_EQ(strip.GetSaturation(), 200);
    EXPECT_EQ(strip.m_bitmapInfo.bmBitsPixel, 32);
    EXPECT_EQ(strip.m_bitmapInfo.bmWidth, 400);
    EXPECT_EQ(strip.m_bitmapInfo.bmHeight, 360);
    testutil::MemoryCanvas canvas(200, 60);
    Paint(strip, canvas);
    const testutil::PixelBuffer px = canvas.Read();
    const COLORREF left = px.ColorAt(21, 25);  // white at the left
    EXPECT_GE(GetRValue(left), 240);
    EXPECT_GE(GetGValue(left), 240);
    EXPECT_GE(GetBValue(left), 240);
    const COLORREF middle = px.ColorAt(100, 25);
    EXPECT_LT(GetRValue(middle), 100);
    EXPECT_GT(GetGValue(middle), 200);

    // The colour is the gradient's at the click (160 columns over 160 pixels),
    // the same however often the marker is drawn over the point.
    for (int i = 0; i < 2; ++i) {
        strip.OnControlLButtonUp(0, CPoint(20 + 80, 25));
        EXPECT_EQ(strip.GetSelectColor(), HslToRgb(119.0f / 360, 1.0f, 120.0f / 200)) << i;
        Paint(strip, canvas);
    }
    strip.OnControlLButtonUp(0, CPoint(20, 25));
    EXPECT_EQ(strip.GetSelectColor(), 0xFFFFFFu);
    strip.OnControlMouseMove(MK_LBUTTON, CPoint(60, 30));
    EXPECT_EQ(strip.GetMarkerPoint(), CPoint(40, 20));
    EXPECT_EQ(strip.GetSelectColor(), 0xFFFFFFu);  // a drag does not choose
    std::vector<UINT> codes;
    for (const probe::Event& e : owner.events) codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<UINT>{2, 2, 2, 27}));

    // A dark hue never gives pure black.
    strip.SetSelectColor(0x000000);
    strip.OnControlLButtonUp(0, CPoint(179, 25));
    EXPECT_NE(strip.GetSelectColor(), 0u);
}

TEST(LcdPalettes, HueBarSwatches)
{
    probe::RecordingOwner owner;
    WEXA::LCDPalette bar(&owner, 398, CRect(0, 0, 380, 60), 1);
    EXPECT_EQ(bar.GetHuePos(), 180);
    EXPECT_EQ(bar.GetSwatch(), 4);
    bar.OnControlLButtonDown(MK_LBUTTON, CPoint(10, 10));  // the marker to hue 0
    EXPECT_EQ(bar.GetHuePos(), 0);
    bar.OnControlLButtonUp(0, CPoint(10, 10));
    bar.OnControlLButtonDown(MK_LBUTTON, CPoint(10 + 80 + 5, 40));  // third swatch
    EXPECT_EQ(bar.GetSwatch(), 2);
    bar.OnControlLButtonUp(0, CPoint(10 + 80 + 5, 40));
    EXPECT_EQ(bar.GetSelectColor(), RGB(255, 127, 127));
    testutil::MemoryCanvas canvas(400, 60);
    Paint(bar, canvas);
    EXPECT_EQ(bar.GetSelectColor(), RGB(255, 127, 127));
    EXPECT_EQ(canvas.Read().ColorAt(10 + 80 + 20, 53), RGB(255, 127, 127));  // enlarged swatch
    EXPECT_EQ(owner.events.size(), 2u);
    // The wheel moves the marker by 2 degrees within 0 .. 360.
    bar.OnControlScroll(1, 1, CPoint(20, 20));
    EXPECT_EQ(bar.GetHuePos(), 0);
    bar.OnControlScroll(1, 0, CPoint(20, 20));
    EXPECT_EQ(bar.GetHuePos(), 2);
    EXPECT_EQ(bar.GetSwatch(), 4);
}

}  // namespace
