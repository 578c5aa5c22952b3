// Drawing toolkit on memory DIBs: nine-slice frames, fills and gradients, rounded
// rectangles, transitions, alignment, text measurement, bitmap files and loaders.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "MRender.h"
#include "WindowTestHelpers.h"

using testutil::MemoryCanvas;
using WEXA::MRender;

namespace {

std::wstring TempPath(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"wexa_render_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           name;
}

std::vector<unsigned char> ReadWholeFile(const std::wstring& path)
{
    std::vector<unsigned char> data;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return data;
    DWORD size = GetFileSize(f, nullptr), got = 0;
    data.resize(size);
    if (size) ::ReadFile(f, data.data(), size, &got, nullptr);
    CloseHandle(f);
    return data;
}

uint32_t U32(const std::vector<unsigned char>& d, size_t at)
{
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (uint32_t(d[at + 3]) << 24);
}
uint16_t U16(const std::vector<unsigned char>& d, size_t at)
{
    return uint16_t(d[at] | (d[at + 1] << 8));
}

int Red(uint32_t p)
{
    return (p >> 16) & 0xFF;
}
int Green(uint32_t p)
{
    return (p >> 8) & 0xFF;
}
int Blue(uint32_t p)
{
    return p & 0xFF;
}

// A source image whose nine regions (corner 3, cell 9 x 9 at x offset 9) have
// distinct colours; the first 9 columns are a decoy cell in black.
const uint32_t kRegion[3][3] = {
    {0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
    {0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF},
    {0xFF800000, 0xFF008000, 0xFF000080},
};

Gdiplus::Bitmap* MakeNineSliceSource(int l, int t, int r, int b, int w, int h)
{
    auto* bmp = new Gdiplus::Bitmap(9 + w, h, PixelFormat32bppARGB);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < 9 + w; ++x) {
            if (x < 9) {
                bmp->SetPixel(x, y, Gdiplus::Color(0xFF000000));
                continue;
            }
            int cx = x - 9;
            int col = cx < l ? 0 : cx >= w - r ? 2 : 1;
            int row = y < t ? 0 : y >= h - b ? 2 : 1;
            bmp->SetPixel(x, y, Gdiplus::Color(kRegion[row][col]));
        }
    }
    return bmp;
}

// Checks every pixel of the canvas against the nine-slice layout of target.
void ExpectNineSlice(const testutil::PixelBuffer& px, RECT target, int l, int t, int r, int b,
                     uint32_t background)
{
    int mismatches = 0;
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            uint32_t expected = background;
            if (x >= target.left && x < target.right && y >= target.top && y < target.bottom) {
                int col = x < target.left + l ? 0 : x >= target.right - r ? 2 : 1;
                int row = y < target.top + t ? 0 : y >= target.bottom - b ? 2 : 1;
                expected = kRegion[row][col];
            }
            if ((px.At(x, y) & 0xFFFFFF) != (expected & 0xFFFFFF) && ++mismatches <= 5)
                ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << px.At(x, y)
                              << " expected " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

Gdiplus::Graphics* ExactGraphics(HDC dc)
{
    auto* g = new Gdiplus::Graphics(dc);
    g->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    return g;
}

}  // namespace

// ---- nine-slice ----

TEST(MRenderFrame, NineSliceIsPixelExact)
{
    Gdiplus::Bitmap* src = MakeNineSliceSource(3, 3, 3, 3, 9, 9);
    MemoryCanvas canvas(40, 30);
    canvas.Fill(0xFF101010);
    {
        Gdiplus::Graphics* g = ExactGraphics(canvas.dc());
        MRender::DrawImageFrame(*g, src, CRect(4, 5, 34, 25), 9, 0, 9, 9, 3);
        delete g;
    }
    ExpectNineSlice(canvas.Read(), RECT{4, 5, 34, 25}, 3, 3, 3, 3, 0xFF101010);
    delete src;
}

TEST(MRenderFrame, FourMarginsArePixelExact)
{
    // Margins left 2, top 3, right 4, bottom 1 on a 10 x 8 cell.
    Gdiplus::Bitmap* src = MakeNineSliceSource(2, 3, 4, 1, 10, 8);
    MemoryCanvas canvas(40, 30);
    canvas.Fill(0xFF101010);
    {
        Gdiplus::Graphics* g = ExactGraphics(canvas.dc());
        MRender::DrawImageFrameMID(*g, src, CRect(1, 2, 31, 28), 9, 0, 10, 8, 2, 3, 4, 1);
        delete g;
    }
    ExpectNineSlice(canvas.Read(), RECT{1, 2, 31, 28}, 2, 3, 4, 1, 0xFF101010);
    delete src;
}

TEST(MRenderFrame, StretchedPartsLeaveNoSeamWithTheDefaultSettings)
{
    // A panel picture of one opaque colour, drawn as the pages draw it: a
    // plain Graphics (smooth resampling) and parts stretched far beyond
    // their source. Every pixel of the target is that colour: a seam where
    // a stretched part fades into what lies outside its source would show
    // the background through as a line.
    struct Case
    {
        int imageSize, corner;
        RECT target;
    };
    const Case cases[] = {
        {96, 36, {10, 10, 410, 310}},
        {96, 9, {5, 20, 500, 340}},
        {48, 12, {3, 3, 250, 120}},
    };
    for (const Case& c : cases) {
        Gdiplus::Bitmap src(c.imageSize, c.imageSize, PixelFormat32bppARGB);
        for (int y = 0; y < c.imageSize; ++y)
            for (int x = 0; x < c.imageSize; ++x) src.SetPixel(x, y, Gdiplus::Color(0xFFF0F4FA));
        MemoryCanvas canvas(520, 360);
        canvas.Fill(0xFF101010);
        {
            Gdiplus::Graphics g(canvas.dc());
            MRender::DrawImageFrame(g, &src, CRect(c.target), 0, 0, c.imageSize, c.imageSize,
                                    c.corner);
        }
        testutil::PixelBuffer px = canvas.Read();
        int wrong = 0;
        for (int y = c.target.top; y < c.target.bottom; ++y)
            for (int x = c.target.left; x < c.target.right; ++x)
                if ((px.At(x, y) & 0xFFFFFF) != 0xF0F4FA && ++wrong <= 3)
                    ADD_FAILURE() << "corner " << c.corner << ": pixel (" << x << "," << y
                                  << ") is " << std::hex << px.At(x, y);
        EXPECT_EQ(wrong, 0) << "corner " << c.corner;
    }
}

TEST(MRenderFrame, TargetSmallerThanCornersDrawsNothingOutsideIt)
{
    Gdiplus::Bitmap* src = MakeNineSliceSource(3, 3, 3, 3, 9, 9);
    MemoryCanvas canvas(30, 30);
    canvas.Fill(0xFF101010);
    {
        Gdiplus::Graphics* g = ExactGraphics(canvas.dc());
        MRender::DrawImageFrame(*g, src, CRect(10, 10, 14, 14), 9, 0, 9, 9, 3);
        MRender::DrawImageFrame(*g, nullptr, CRect(0, 0, 30, 30), 0, 0, 9, 9,
                                3);  // null image: nothing
        delete g;
    }
    testutil::PixelBuffer px = canvas.Read();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            if (x < 10 || x >= 14 || y < 10 || y >= 14) {
                ASSERT_EQ(px.At(x, y) & 0xFFFFFF, 0x101010u) << x << "," << y;
            }
    delete src;
}

// ---- fills and gradients ----

TEST(MRenderFill, SolidRectAndAlphaColour)
{
    MemoryCanvas canvas(20, 20);
    canvas.Fill(0xFF000000);
    HDC dc = canvas.dc();
    MRender::FillSolidRect(dc, CRect(2, 2, 6, 6), RGB(10, 20, 30));
    MRender::FillSolidRect(dc, 10, 10, 3, 2, RGB(200, 100, 50));
    EXPECT_EQ(GetBkColor(dc), RGB(200, 100, 50));              // left changed
    MRender::DrawColor(dc, CRect(0, 14, 20, 20), 0x00FFFFFF);  // fully transparent: nothing
    MRender::DrawColor(dc, CRect(14, 0, 20, 6), 0x80FF0000);   // half red over black
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(2, 2), RGB(10, 20, 30));
    EXPECT_EQ(px.ColorAt(5, 5), RGB(10, 20, 30));
    EXPECT_EQ(px.ColorAt(6, 6), RGB(0, 0, 0));
    EXPECT_EQ(px.ColorAt(12, 11), RGB(200, 100, 50));
    EXPECT_EQ(px.ColorAt(13, 11), RGB(0, 0, 0));
    EXPECT_EQ(px.ColorAt(10, 17), RGB(0, 0, 0));
    EXPECT_NEAR(Red(px.At(16, 3)), 128, 2);
    EXPECT_EQ(Green(px.At(16, 3)), 0);
}

TEST(MRenderFill, OpaqueGradientRunsFromStartToEnd)
{
    MemoryCanvas canvas(64, 64);
    canvas.Fill(0xFF000000);
    MRender::DrawGradient(canvas.dc(), CRect(0, 0, 64, 64), 0xFFFF0000, 0xFF0000FF, TRUE, 8);
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_GE(Red(px.At(10, 0)), 250);
    EXPECT_LE(Blue(px.At(10, 0)), 5);
    EXPECT_GE(Blue(px.At(10, 63)), 250);
    EXPECT_LE(Red(px.At(10, 63)), 5);
    for (int y = 1; y < 64; ++y) {
        EXPECT_LE(Red(px.At(30, y)), Red(px.At(30, y - 1))) << y;
        EXPECT_EQ(px.At(0, y), px.At(63, y)) << "rows are uniform";
    }

    // Horizontal: left to right.
    canvas.Fill(0xFF000000);
    MRender::DrawGradient(canvas.dc(), CRect(0, 0, 64, 10), 0xFF00FF00, 0xFF000000, FALSE, 8);
    px = canvas.Read();
    EXPECT_GE(Green(px.At(0, 5)), 250);
    EXPECT_LE(Green(px.At(63, 5)), 5);
    EXPECT_EQ(px.At(32, 0), px.At(32, 9));
    EXPECT_EQ(px.At(32, 12), 0xFF000000u);  // below the rectangle untouched
}

TEST(MRenderFill, GradientUsesTheMeanAlpha)
{
    MemoryCanvas canvas(32, 32);
    canvas.Fill(0xFF000000);
    // Both transparent: nothing at all.
    MRender::DrawGradient(canvas.dc(), CRect(0, 0, 32, 32), 0x00FFFFFF, 0x00FFFFFF, TRUE, 4);
    EXPECT_EQ(canvas.Read().At(16, 16), 0xFF000000u);

    // Alphas 255 and 0: white drawn at alpha 127 through a memory surface.
    MRender::DrawGradient(canvas.dc(), CRect(4, 4, 28, 28), 0xFFFFFFFF, 0x00FFFFFF, TRUE, 4);
    testutil::PixelBuffer px = canvas.Read();
    for (int y : {4, 16, 27}) {
        EXPECT_NEAR(Red(px.At(16, y)), 127, 2) << y;
        EXPECT_NEAR(Blue(px.At(16, y)), 127, 2) << y;
    }
    EXPECT_EQ(px.At(2, 2) & 0xFFFFFF, 0u);
}

TEST(MRenderFill, CheckAlphaColorAvoidsPureBlack)
{
    struct Case
    {
        Gdiplus::ARGB in, out;
    } cases[] = {
        {0xFF000000, 0xFF000001}, {0x00000000, 0x00000001}, {0x80000000, 0x80000001},
        {0xFF000100, 0xFF000100}, {0x00000005, 0x00000005}, {0xFFFFFFFF, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        Gdiplus::ARGB v = c.in;
        MRender::CheckAlphaColor(v);
        EXPECT_EQ(v, c.out) << std::hex << c.in;
    }
}

// ---- rounded rectangles ----

TEST(MRenderRound, FilledAndBorderedShapes)
{
    MemoryCanvas canvas(120, 60);
    canvas.Fill(0xFF000000);
    {
        Gdiplus::Graphics g(canvas.dc());
        // Radius 10 filled red, no border.
        MRender::DrawRoundRectange(g, 5.0f, 5.0f, 50.0f, 40.0f, 10.0f, 0xFFFF0000);
        // Radius 8, green fill with a 2-pixel blue border.
        MRender::DrawRoundRectange(g, 65.0f, 5.0f, 50.0f, 40.0f, 8.0f, 0xFF0000FF, 2.0f,
                                   0xFF00FF00);
    }
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(30, 25), RGB(255, 0, 0));  // centre
    EXPECT_EQ(px.ColorAt(30, 6), RGB(255, 0, 0));   // straight top edge
    EXPECT_EQ(px.ColorAt(6, 25), RGB(255, 0, 0));   // straight left edge
    EXPECT_EQ(px.ColorAt(6, 6), RGB(0, 0, 0));      // cut corner
    EXPECT_EQ(px.ColorAt(53, 43), RGB(0, 0, 0));    // cut corner
    EXPECT_EQ(px.ColorAt(90, 25), RGB(0, 255, 0));  // fill
    EXPECT_EQ(px.ColorAt(90, 5), RGB(0, 0, 255));   // border on the top edge
    EXPECT_EQ(px.ColorAt(66, 6), RGB(0, 0, 0));     // cut corner
}

TEST(MRenderRound, RoundnessGivesRadiiAndTheSmallerWhenFarApart)
{
    MemoryCanvas canvas(120, 40);
    canvas.Fill(0xFF000000);
    {
        Gdiplus::Graphics g(canvas.dc());
        // 100 x 20 with roundness 2: radii 25 and 5 differ by more than 10, so both are 5.
        MRender::DrawRoundRectange(g, 10.0f, 10.0f, 100.0f, 20.0f, 2.0f, 0xFFFFFFFF, 1.0f, TRUE,
                                   0xFFFF0000);
        // Roundness 0 draws a plain rectangle rather than failing.
        MRender::DrawRoundRectange(g, 0.0f, 0.0f, 4.0f, 4.0f, 0.0f, 0xFF00FF00, 1.0f, TRUE,
                                   0xFF00FF00);
    }
    testutil::PixelBuffer px = canvas.Read();
    // (16, 11) is inside a 5-pixel corner but outside a 25 x 5 elliptic one.
    EXPECT_EQ(px.ColorAt(16, 11), RGB(255, 0, 0));
    EXPECT_EQ(px.ColorAt(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(px.ColorAt(60, 10), RGB(255, 255, 255));  // outline drawn after the fill
    EXPECT_EQ(px.ColorAt(2, 2), RGB(0, 255, 0));
}

// ---- transitions ----

class TransitionTest : public ::testing::Test
{
protected:
    TransitionTest() : dst_(100, 100), src_(100, 100)
    {
        dst_.Fill(0xFF000000);
        src_.Fill(0xFFFFFFFF);
    }
    MemoryCanvas dst_, src_;
};

TEST_F(TransitionTest, VerticalFadesRowByRow)
{
    HDC d = dst_.dc(), s = src_.dc();
    EXPECT_EQ(
        MRender::DrawVerticalTransition(d, s, CRect(0, 0, 100, 100), CRect(0, 0, 100, 100), 0, 100),
        2);
    testutil::PixelBuffer px = dst_.Read();
    EXPECT_EQ(Red(px.At(50, 0)), 255);
    EXPECT_NEAR(Red(px.At(50, 50)), 127, 1);
    EXPECT_NEAR(Red(px.At(50, 99)), 2, 1);
    for (int y = 1; y < 100; ++y) EXPECT_LE(Red(px.At(10, y)), Red(px.At(10, y - 1)));
}

TEST_F(TransitionTest, EqualPercentagesGiveOneAlphaAndEmptyRectDrawsNothing)
{
    HDC d = dst_.dc(), s = src_.dc();
    EXPECT_EQ(
        MRender::DrawVerticalTransition(d, s, CRect(0, 0, 100, 50), CRect(0, 0, 100, 50), 60, 60),
        102);
    EXPECT_EQ(
        MRender::DrawVerticalTransition(d, s, CRect(0, 60, 100, 60), CRect(0, 60, 100, 60), 0, 100),
        255);
    testutil::PixelBuffer px = dst_.Read();
    for (int y = 0; y < 50; ++y) EXPECT_NEAR(Red(px.At(20, y)), 102, 1) << y;
    EXPECT_EQ(px.At(20, 60) & 0xFFFFFF, 0u);
}

TEST_F(TransitionTest, HorizontalFadesColumnByColumn)
{
    HDC d = dst_.dc(), s = src_.dc();
    EXPECT_EQ(
        MRender::DrawHorizontalTransition(d, s, CRect(0, 0, 100, 10), CRect(0, 0, 100, 10), 100, 0),
        252);
    testutil::PixelBuffer px = dst_.Read();
    EXPECT_EQ(Red(px.At(0, 5)), 0);
    EXPECT_NEAR(Red(px.At(50, 5)), 127, 1);
    EXPECT_EQ(px.At(50, 20) & 0xFFFFFF, 0u);
}

TEST_F(TransitionTest, CornerFadesWithDistance)
{
    HDC d = dst_.dc(), s = src_.dc();
    // Rectangle 40 x 30 at (10, 10), corner 10: the square starts at (30, 20) in the
    // rectangle's own coordinates.
    MRender::DrawRightBottomTransition(d, s, CRect(10, 10, 50, 40), 10, 0);
    testutil::PixelBuffer px = dst_.Read();
    EXPECT_EQ(Red(px.At(30, 20)), 255);             // distance 0
    EXPECT_NEAR(Red(px.At(35, 20)), 255 - 127, 1);  // distance 5
    EXPECT_EQ(Red(px.At(39, 29)), 0);               // beyond the corner size
    EXPECT_EQ(Red(px.At(29, 20)), 0);               // outside the square
}

// ---- alignment ----

TEST(MRenderAlign, OriginPoints)
{
    struct Case
    {
        int h, v;
        int x, y;
    } cases[] = {
        {DT_CENTER, DT_VCENTER, 25, 20},
        {DT_RIGHT, DT_BOTTOM, 51, 40},
        {0, 0, 0, 0},
        {7, 3, 0, 0},
    };
    for (const Case& c : cases) {
        CPoint p = MRender::GetOriginPoint(101, 60, 50, 20, c.h, c.v);
        EXPECT_EQ(p.x, c.x) << c.h;
        EXPECT_EQ(p.y, c.y) << c.v;
    }
    CPoint r = MRender::GetOriginPoint(CRect(10, 20, 111, 80), 50, 20, DT_CENTER, DT_VCENTER);
    EXPECT_EQ(r.x, 35);
    EXPECT_EQ(r.y, 42);
}

// ---- text ----

class TextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Read by the test and added from memory: GDI+'s file loader holds the
        // file without sharing and fails while another test program loads it.
        std::ifstream file("fonts\\Roboto-Regular.ttf", std::ios::binary);
        fontBytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        ASSERT_FALSE(fontBytes_.empty());
        ASSERT_EQ(fonts_.AddMemoryFont(fontBytes_.data(), static_cast<INT>(fontBytes_.size())),
                  Gdiplus::Ok);
        family_ = new Gdiplus::FontFamily(L"Roboto", &fonts_);
        ASSERT_EQ(family_->GetLastStatus(), Gdiplus::Ok);
        font_ = new Gdiplus::Font(family_, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        ASSERT_EQ(font_->GetLastStatus(), Gdiplus::Ok);
    }
    void TearDown() override
    {
        delete font_;
        delete family_;
    }
    Gdiplus::RectF OutlineBounds(const wchar_t* text, float width,
                                 const Gdiplus::StringFormat& format)
    {
        Gdiplus::GraphicsPath path;
        path.AddString(text, -1, family_, Gdiplus::FontStyleRegular, 14.0f,
                       Gdiplus::RectF(0, 0, width, 0), &format);
        Gdiplus::RectF bounds;
        path.GetBounds(&bounds);
        return bounds;
    }
    std::vector<char> fontBytes_;
    Gdiplus::PrivateFontCollection fonts_;
    Gdiplus::FontFamily* family_ = nullptr;
    Gdiplus::Font* font_ = nullptr;
};

TEST_F(TextTest, MeasurementIsConsistent)
{
    Gdiplus::StringFormat format;
    Gdiplus::Size one = MRender::GetTextBounds(font_, &format, L"W");
    Gdiplus::Size two = MRender::GetTextBounds(font_, &format, L"WW");
    Gdiplus::Size word = MRender::GetTextBounds(font_, L"Keyboard");
    EXPECT_GT(one.Width, 5);
    EXPECT_LT(one.Width, 20);
    EXPECT_GT(two.Width, one.Width);
    EXPECT_LE(two.Width, 2 * one.Width + 3);
    EXPECT_GT(word.Width, two.Width);

    // Height from the line height: + 1 when whole, else + 4 and truncated.
    float h = font_->GetHeight(0.0f);
    int expected = (h == float(int(h))) ? int(h) + 1 : int(h + 4.0f);
    EXPECT_EQ(one.Height, expected);
    EXPECT_EQ(word.Height, expected);

    // Width rounded up from the outline's bounds.
    Gdiplus::RectF bounds = OutlineBounds(L"Keyboard", 0.0f, format);
    EXPECT_EQ(word.Width, int(std::ceil(bounds.Width)));
    // A null format measures as the default one.
    EXPECT_EQ(MRender::GetTextBounds(font_, nullptr, L"Keyboard").Width,
              MRender::GetTextBounds(font_, &format, L"Keyboard").Width);

    EXPECT_EQ(MRender::GetTextBounds(font_, &format, L"").Width, 0);
    Gdiplus::Size none = MRender::GetTextBounds(nullptr, L"x");
    EXPECT_EQ(none.Width, 0);
    EXPECT_EQ(none.Height, 0);
}

TEST_F(TextTest, LayoutWidthWrapsIntoTallerText)
{
    Gdiplus::StringFormat format;
    const wchar_t* text = L"the quick brown fox jumps over the lazy dog";
    Gdiplus::Size wide = MRender::GetTextBounds(font_, &format, 2000, text);
    Gdiplus::Size narrow = MRender::GetTextBounds(font_, &format, 80, text);
    EXPECT_LE(narrow.Width, 80);
    EXPECT_GT(wide.Width, 200);
    EXPECT_EQ(wide.Width, MRender::GetTextBounds(font_, &format, text).Width);

    // Height: the taller of the line height and the laid-out outline's height.
    auto expectedHeight = [&](float layoutWidth) {
        float h = font_->GetHeight(0.0f);
        float bh = OutlineBounds(text, layoutWidth, format).Height;
        int l1 = (h == float(int(h))) ? int(h + 1) : int(h + 2);
        int l2 = (bh == float(int(bh))) ? int(bh + 1) : int(bh + 2);
        return l2 > l1 ? l2 + 5 : l1 + 1;
    };
    EXPECT_EQ(narrow.Height, expectedHeight(80.0f));
    EXPECT_EQ(wide.Height, expectedHeight(2000.0f));
    EXPECT_GE(narrow.Height, int(font_->GetHeight(0.0f)) + 1);
}

TEST(MRenderText, DrawTextUsesColourAndFontAndRestoresThem)
{
    MemoryCanvas canvas(80, 30);
    canvas.Fill(0xFF000000);
    HDC dc = canvas.dc();
    SetTextColor(dc, RGB(1, 2, 3));
    HFONT font = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, L"Roboto");
    HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);
    CRect rc(0, 0, 80, 30);
    MRender::DrawTextW(dc, rc, L"WWW", RGB(0, 255, 0), font, DT_LEFT | DT_TOP | DT_SINGLELINE);
    MRender::DrawTextW(dc, rc, nullptr, RGB(255, 0, 0), font, 0);  // null text: nothing
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), before);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    testutil::PixelBuffer px = canvas.Read();
    int green = 0, other = 0;
    for (uint32_t p : px.pixels) {
        if ((p & 0xFFFFFF) == 0) continue;
        if (Green(p) > 0 && Red(p) == 0 && Blue(p) == 0)
            ++green;
        else
            ++other;
    }
    EXPECT_GT(green, 20);
    EXPECT_EQ(other, 0);
    DeleteObject(font);
}

// ---- memory surfaces and bitmap files ----

TEST(MRenderSurface, ArgbBitmapIsBottomUpAndZeroed)
{
    void* bits = nullptr;
    HBITMAP bmp = MRender::CreateARGB32Bitmap(nullptr, 4, 3, &bits);
    ASSERT_NE(bmp, nullptr);
    ASSERT_NE(bits, nullptr);
    auto* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(p[i], 0u);
    DIBSECTION ds = {};
    ASSERT_EQ(GetObjectW(bmp, sizeof(ds), &ds), int(sizeof(ds)));
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    EXPECT_GT(ds.dsBmih.biHeight, 0);
    // The first row in memory is the bottom row.
    p[0] = 0x00ABCDEF;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_EQ(GetPixel(dc, 0, 2), RGB(0xAB, 0xCD, 0xEF));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);

    EXPECT_EQ(MRender::CreateARGB32Bitmap(nullptr, 0, 3, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
}

namespace {

// A 5 x 3 bitmap of the given depth with known colours: pixel (x, y) is red for
// x < 2, blue otherwise, and row 0 is white.
HBITMAP MakeBitmap(int bpp)
{
    struct
    {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } bi = {};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 5;
    bi.h.biHeight = 3;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = WORD(bpp);
    bi.h.biCompression = BI_RGB;
    if (bpp <= 8) {
        bi.colors[0] = {0, 0, 255, 0};  // red
        bi.colors[1] = {255, 0, 0, 0};  // blue
        if (bpp > 1) bi.colors[2] = {255, 255, 255, 0};
    }
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            COLORREF c = x < 2 ? RGB(255, 0, 0) : RGB(0, 0, 255);
            if (y == 0 && bpp != 1) c = RGB(255, 255, 255);
            SetPixel(dc, x, y, c);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

}  // namespace

TEST(MRenderBmp, EveryDepthIsWrittenAs24BitWithCorrectHeaderAndPixels)
{
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        HBITMAP bmp = MakeBitmap(bpp);
        ASSERT_NE(bmp, nullptr);
        std::wstring path = TempPath(L"depth.bmp");
        ASSERT_EQ(MRender::SaveBitmapToFile(bmp, path.c_str()), 1);
        DeleteObject(bmp);
        std::vector<unsigned char> d = ReadWholeFile(path);
        DeleteFileW(path.c_str());
        const uint32_t rowSize = 16;  // 5 pixels x 3 bytes, padded to 4
        ASSERT_EQ(d.size(), 54u + rowSize * 3);
        EXPECT_EQ(d[0], 'B');
        EXPECT_EQ(d[1], 'M');
        EXPECT_EQ(U32(d, 2), 54u + rowSize * 3);
        EXPECT_EQ(U32(d, 6), 0u);
        EXPECT_EQ(U32(d, 10), 54u);
        EXPECT_EQ(U32(d, 14), 40u);
        EXPECT_EQ(U32(d, 18), 5u);
        EXPECT_EQ(U32(d, 22), 3u);
        EXPECT_EQ(U16(d, 26), 1);
        EXPECT_EQ(U16(d, 28), 24);
        EXPECT_EQ(U32(d, 30), 0u);  // BI_RGB
        // Bottom-up rows of B, G, R: the last row in the file is the top row.
        auto pixel = [&](int x, int y) {
            size_t at = 54 + size_t(2 - y) * rowSize + size_t(x) * 3;
            return RGB(d[at + 2], d[at + 1], d[at]);
        };
        EXPECT_EQ(pixel(0, 2), RGB(255, 0, 0));
        EXPECT_EQ(pixel(4, 2), RGB(0, 0, 255));
        EXPECT_EQ(pixel(1, 1), RGB(255, 0, 0));
        EXPECT_EQ(pixel(3, 0), bpp == 1 ? RGB(0, 0, 255) : RGB(255, 255, 255));
        // Padding bytes are zero.
        EXPECT_EQ(d[54 + 15], 0);
    }
}

TEST(MRenderBmp, WrittenFileLoadsBackAndFailuresAreReported)
{
    HBITMAP bmp = MakeBitmap(32);
    std::wstring path = TempPath(L"load.bmp");
    ASSERT_EQ(MRender::SaveBitmapToFile(bmp, path.c_str()), 1);
    Gdiplus::Bitmap loaded(path.c_str());
    ASSERT_EQ(loaded.GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(loaded.GetWidth(), 5u);
    Gdiplus::Color c;
    loaded.GetPixel(0, 2, &c);
    EXPECT_EQ(c.GetValue() & 0xFFFFFF, 0xFF0000u);

    // A folder that does not exist, and a handle that is not a bitmap.
    std::wstring bad = TempPath(L"no_such_dir\\x.bmp");
    EXPECT_EQ(MRender::SaveBitmapToFile(bmp, bad.c_str()), 0);
    std::wstring other = TempPath(L"invalid.bmp");
    EXPECT_EQ(MRender::SaveBitmapToFile(reinterpret_cast<HBITMAP>(0x1234), other.c_str()), 0);
    EXPECT_EQ(GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteObject(bmp);
    DeleteFileW(path.c_str());
}

// ---- loaders ----

TEST(MRenderLoad, FileLoadersAndCopies)
{
    HBITMAP bmp = MakeBitmap(32);
    std::wstring path = TempPath(L"copy.bmp");
    ASSERT_EQ(MRender::SaveBitmapToFile(bmp, path.c_str()), 1);
    DeleteObject(bmp);

    EXPECT_EQ(MRender::LoadImageFromFile(TempPath(L"missing.png").c_str()), nullptr);
    EXPECT_EQ(MRender::LoadImageFromFile(nullptr), nullptr);

    Gdiplus::Image* image = MRender::LoadImageFromFile(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 5u);
    Gdiplus::Color pixel;
    static_cast<Gdiplus::Bitmap*>(image)->GetPixel(0, 2, &pixel);
    EXPECT_EQ(pixel.GetValue(), 0xFFFF0000u);
    // The file is in use while the image lives: it may be read, not deleted.
    Gdiplus::Image* second = MRender::LoadImageFromFile(path.c_str());
    EXPECT_NE(second, nullptr);
    delete second;
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    delete image;
    const std::wstring moved = TempPath(L"moved.bmp");
    EXPECT_TRUE(MoveFileExW(path.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(MoveFileExW(moved.c_str(), path.c_str(), 0));

    // Own size: an exact copy that does not hold the file.
    Gdiplus::Image* copy = MRender::LoadImageFromFileEx(path.c_str(), 0, 0);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_EQ(copy->GetWidth(), 5u);
    ASSERT_EQ(copy->GetHeight(), 3u);
    Gdiplus::Color c;
    static_cast<Gdiplus::Bitmap*>(copy)->GetPixel(0, 2, &c);
    EXPECT_EQ(c.GetValue(), 0xFFFF0000u);
    static_cast<Gdiplus::Bitmap*>(copy)->GetPixel(4, 0, &c);
    EXPECT_EQ(c.GetValue(), 0xFFFFFFFFu);
    delete copy;

    ASSERT_EQ(MRender::SaveBitmapToFile(bmp = MakeBitmap(32), path.c_str()), 1);
    DeleteObject(bmp);
    Gdiplus::Image* scaled = MRender::LoadImageFromFileEx(path.c_str(), 10, 6);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->GetWidth(), 10u);
    EXPECT_EQ(scaled->GetHeight(), 6u);
    delete scaled;
    EXPECT_EQ(MRender::LoadImageFromFileEx(TempPath(L"missing.png").c_str(), 0, 0), nullptr);
    DeleteFileW(path.c_str());
}

TEST(MRenderLoad, ResourceImageAndIcons)
{
    HMODULE self = GetModuleHandleW(nullptr);
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(101, L"PNG", self);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(image->GetWidth(), 4u);
    EXPECT_EQ(image->GetHeight(), 2u);
    Gdiplus::Color c;
    static_cast<Gdiplus::Bitmap*>(image)->GetPixel(0, 0, &c);
    EXPECT_EQ(c.GetValue(), 0xFFFF0000u);
    static_cast<Gdiplus::Bitmap*>(image)->GetPixel(3, 1, &c);
    EXPECT_EQ(c.GetBlue(), 255);
    EXPECT_NEAR(c.GetAlpha(), 128, 1);
    delete image;

    EXPECT_EQ(MRender::LoadImageFromIDResource(999, L"PNG", self), nullptr);
    EXPECT_EQ(MRender::LoadImageFromIDResource(101, L"JPG", self), nullptr);

    wchar_t exe[MAX_PATH];
    GetWindowsDirectoryW(exe, MAX_PATH);
    lstrcatW(exe, L"\\notepad.exe");
    HICON icon = MRender::LoadIconFromFile(exe);
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    EXPECT_EQ(MRender::LoadIconFromFile(TempPath(L"missing.exe").c_str()), nullptr);
}
