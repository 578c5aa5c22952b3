// The HSL conversions and the hue / lightness palette.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ColorModel.h"
#include "MPalette.h"
#include "Recorder.h"
#include "WindowTestHelpers.h"

using stdtest::Recorder;

namespace {

TEST(ColorModel, HslExamplesConvertToTheUnit)
{
    struct Case
    {
        float h, s, l;
        COLORREF rgb;
    };
    const Case cases[] = {
        {180.0f / 360.0f, 200.0f / 200.0f, 120.0f / 200.0f, RGB(51, 255, 254)},
        {0.0f, 1.0f, 0.5f, 0x000000FF},
        {0.0f, 0.0f, 1.0f, 0x00FFFFFF},
        {0.0f, 0.0f, 0.5f, RGB(127, 127, 127)},
        {0.5f, 0.0f, 0.0f, 0x00000000},
        {120.0f / 360.0f, 1.0f, 0.5f, RGB(0, 255, 0)},
        {240.0f / 360.0f, 1.0f, 0.5f, RGB(0, 0, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WEXA::HslToRgb(c.h, c.s, c.l), c.rgb) << c.h << " " << c.s << " " << c.l;
}

TEST(ColorModel, RgbToHslKnownColours)
{
    float h = -1, s = -1, l = -1;
    WEXA::RgbToHsl(0x00FFFFFF, h, s, l);
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 0.0f);
    EXPECT_FLOAT_EQ(l, 1.0f);
    WEXA::RgbToHsl(0x000000FF, h, s, l);  // red
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(l, 0.5f);
    WEXA::RgbToHsl(RGB(0, 0, 255), h, s, l);
    EXPECT_NEAR(h, 2.0f / 3.0f, 1e-6);
}

TEST(ColorModel, RoundTripOverAGridStaysWithinOneUnit)
{
    int worst = 0;
    for (int r = 0; r <= 255; r += 15)
        for (int g = 0; g <= 255; g += 15)
            for (int b = 0; b <= 255; b += 15) {
                float h, s, l;
                WEXA::RgbToHsl(RGB(r, g, b), h, s, l);
                const COLORREF back = WEXA::HslToRgb(h, s, l);
                const int d =
                    std::max({std::abs(GetRValue(back) - r), std::abs(GetGValue(back) - g),
                              std::abs(GetBValue(back) - b)});
                if (d > worst) worst = d;
                EXPECT_LE(d, 1) << r << "," << g << "," << b;
            }
    EXPECT_LE(worst, 1);
}

// Default rectangle: field 0..(233 - 38), bar beside it, palette 150 high.
const CRect kPaletteRect(10, 20, 243, 200);

TEST(Palette, DefaultsAndSetSelectColorPlaceTheMarker)
{
    Recorder owner;
    WEXA::MPalette palette(&owner, 620, kPaletteRect, 1);
    EXPECT_EQ(palette.GetSelectColor(), RGB(51, 255, 254));
    EXPECT_EQ(palette.GetPaletteRect(), CRect(10, 20, 205, 170));
    EXPECT_EQ(palette.GetBarRect(), CRect(211, 20, 243, 170));

    palette.SetSelectColor(0x00FFFFFF);
    EXPECT_EQ(palette.GetH(), 0);
    EXPECT_EQ(palette.GetS(), 0);
    EXPECT_EQ(palette.GetL(), 200);
    EXPECT_EQ(palette.GetMarker(), CPoint(10, 170));  // bottom-left corner of the field

    palette.SetSelectColor(0);
    EXPECT_EQ(palette.GetL(), 0);
    EXPECT_EQ(palette.GetMarker().y, 20);  // the top edge, not above it
    EXPECT_TRUE(owner.events.empty());     // setting the colour reports nothing
}

TEST(Palette, PressReportsAChangeOnceAndDragReportsEveryMove)
{
    Recorder owner;
    WEXA::MPalette palette(&owner, 620, kPaletteRect, 1);
    palette.OnControlLButtonDown(MK_LBUTTON, CPoint(10, 95));  // left edge of the field
    EXPECT_EQ(palette.GetH(), 0);
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(owner.events[0].code, 27u);
    EXPECT_EQ(owner.events[0].wparam, palette.GetSelectColor());
    palette.OnControlLButtonUp(0, CPoint(10, 95));

    palette.OnControlLButtonDown(MK_LBUTTON, CPoint(10, 95));  // the same point: no change
    EXPECT_EQ(owner.events.size(), 1u);
    palette.OnControlMouseMove(MK_LBUTTON, CPoint(50, 100));
    palette.OnControlMouseMove(MK_LBUTTON, CPoint(60, 110));
    ASSERT_EQ(owner.events.size(), 3u);
    EXPECT_EQ(owner.events[2].code, 27u);
    EXPECT_EQ(owner.events[2].wparam, 0u);
    EXPECT_EQ(owner.events[2].lparam, 0);
    EXPECT_EQ(palette.GetMarker(), CPoint(60, 110));
    palette.OnControlLButtonUp(0, CPoint(60, 110));

    // The bar sets the saturation.
    palette.OnControlLButtonDown(MK_LBUTTON, CPoint(220, 20 + 75));
    EXPECT_EQ(palette.GetS(), 100);
    EXPECT_EQ(palette.OnControlScroll(1, 1, CPoint(50, 50)), 1);
}

TEST(Palette, PressesAtTheFieldsEdgesReachTheEndsOfTheScale)
{
    // Field 10..205 across, 20..170 down (palette height 150). The marker of
    // L 200 sits on the field's bottom edge, so a press there reaches it.
    struct Case
    {
        const char* name;
        CPoint at;
        int h, l;
        bool reported;
    };
    const Case cases[] = {
        {"left edge", CPoint(10, 95), 0, 110, true},
        {"last column", CPoint(204, 95), 358, 110, true},
        {"top edge", CPoint(100, 20), 166, 20, true},
        {"last row above the edge", CPoint(100, 169), 166, 198, true},
        {"bottom edge", CPoint(100, 170), 166, 200, true},
        {"below the field", CPoint(100, 171), 180, 120, false},
        {"right of the field", CPoint(205, 95), 180, 120, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder owner;
        WEXA::MPalette palette(&owner, 620, kPaletteRect, 1);
        EXPECT_EQ(palette.OnControlLButtonDown(MK_LBUTTON, c.at), 1);
        EXPECT_EQ(palette.GetH(), c.h);
        EXPECT_EQ(palette.GetL(), c.l);
        EXPECT_EQ(owner.events.size(), c.reported ? 1u : 0u);
        // A drag onto the same edge follows it as well.
        palette.OnControlLButtonUp(0, c.at);
        palette.OnControlLButtonDown(MK_LBUTTON, CPoint(100, 95));
        palette.OnControlMouseMove(MK_LBUTTON, c.at);
        if (c.reported) {
            EXPECT_EQ(palette.GetL(), c.l);
        }
    }
}

TEST(Palette, NoAreaMeansNoDivision)
{
    // Narrower than the bar and its gap: the field has no width.
    Recorder owner;
    WEXA::MPalette narrow(&owner, 620, CRect(0, 0, 30, 160), 1);
    narrow.InitControl(nullptr);
    EXPECT_LE(narrow.GetPaletteRect().Width(), 0);
    EXPECT_EQ(narrow.OnControlLButtonDown(MK_LBUTTON, CPoint(5, 50)), 1);
    narrow.OnControlMouseMove(MK_LBUTTON, CPoint(6, 60));
    testutil::MemoryCanvas canvas(40, 170);
    HDC dc = canvas.dc();
    narrow.DrawControl(dc, CRect(0, 0, 40, 170));

    WEXA::MPalette flat(&owner, 620, CRect(0, 0, 233, 160), 1);
    flat.SetPalletHeight(0);
    flat.SetControlRect(CRect(0, 0, 233, 160));
    EXPECT_EQ(flat.OnControlLButtonDown(MK_LBUTTON, CPoint(220, 0)), 1);
    flat.OnControlMouseMove(MK_LBUTTON, CPoint(220, 5));
    flat.DrawControl(dc, CRect(0, 0, 40, 170));
}

TEST(Palette, FieldShowsHueAcrossAndLightnessDown)
{
    Recorder owner;
    WEXA::MPalette palette(&owner, 620, CRect(0, 0, 398, 180), 1);
    palette.SetPalletHeight(180);
    palette.InitControl(nullptr);
    palette.SetControlRect(CRect(0, 0, 398, 180));  // field 360 x 180: one column per degree
    testutil::MemoryCanvas canvas(398, 180);
    canvas.Fill(0xFF000000);
    HDC dc = canvas.dc();
    palette.DrawControl(dc, CRect(0, 0, 398, 180));
    testutil::PixelBuffer px = canvas.Read();
    // Row 80 is lightness (80 + 20) / 200 = 0.5: pure hues.
    EXPECT_EQ(px.ColorAt(0, 80), RGB(255, 0, 0));
    EXPECT_EQ(px.ColorAt(120, 80), RGB(0, 255, 0));
    EXPECT_EQ(px.ColorAt(240, 80), RGB(0, 0, 255));
}

}  // namespace

namespace {

TEST(ColorModel, HexTextParsesToColorref)
{
    struct Case
    {
        const wchar_t* text;
        bool ok;
        COLORREF color;
    };
    const Case cases[] = {
        {L"FF8000", true, 0x0080FF}, {L"ff8000", true, 0x0080FF}, {L"00E1FF", true, 0xFFE100},
        {L"G18000", true, 0x008000}, {L"FF80", false, 0x123456},  {L"FF80001", false, 0x123456},
    };
    for (const Case& c : cases) {
        COLORREF color = 0x123456;
        EXPECT_EQ(WEXA::ParseHexColor(c.text, color), c.ok) << c.text;
        EXPECT_EQ(color, c.color) << c.text;
    }
}

}  // namespace
