// Checks the test environment itself: a visible window on the virtual display can be
// painted and read back, and the program's modules load beside the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "ScreenshotCompare.h"
#include "WexaGdiplus.h"
#include "WindowTestHelpers.h"

namespace {

LRESULT CALLBACK PaintRedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH brush = CreateSolidBrush(RGB(200, 30, 40));
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TEST(Harness, WindowPaintsAndReadsBack)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PaintRedProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HarnessTestWindow";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"harness", WS_POPUP | WS_VISIBLE, 50, 50, 120,
                                80, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    UpdateWindow(hwnd);
    testutil::PumpPending();
    testutil::PixelBuffer shot = testutil::CaptureClient(hwnd);
    ASSERT_EQ(shot.width, 120);
    EXPECT_EQ(shot.ColorAt(60, 40), RGB(200, 30, 40));
    DestroyWindow(hwnd);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST(Harness, MemoryCanvasHoldsGdiDrawing)
{
    testutil::MemoryCanvas canvas(16, 8);
    canvas.Fill(0xFF000000);
    RECT rc = {4, 2, 8, 6};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(canvas.dc(), &rc, brush);
    DeleteObject(brush);
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(5, 3), RGB(1, 2, 3));
    EXPECT_EQ(px.ColorAt(0, 0), RGB(0, 0, 0));
}

TEST(Harness, RuntimeAndDependencyDllsLoad)
{
    for (const wchar_t* dll : {L"hidapi.dll", L"libstdc++-6.dll",
                               sizeof(void*) == 8 ? L"libgcc_s_seh-1.dll" : L"libgcc_s_dw2-1.dll",
                               L"libwinpthread-1.dll", L"Wexa.dll"}) {
        HMODULE m = LoadLibraryW(dll);
        EXPECT_NE(m, nullptr) << "cannot load " << std::string(dll, dll + wcslen(dll));
        if (m) FreeLibrary(m);
    }
}

TEST(Harness, ExceptionsCrossTheSharedRuntime)
{
    // One libstdc++ for every module: a throw and a catch in different frames and
    // translation units must meet.
    EXPECT_THROW(throw std::runtime_error("x"), std::runtime_error);
}

namespace {

// A dark label with (or without) a white text, on a light picture.
testutil::PixelBuffer LabelPicture(bool withText)
{
    testutil::MemoryCanvas canvas(240, 140);
    canvas.Fill(0xFFF6F7FA);
    RECT label = {100, 96, 220, 128};
    HBRUSH dark = CreateSolidBrush(RGB(52, 58, 70));
    FillRect(canvas.dc(), &label, dark);
    DeleteObject(dark);
    if (withText) {
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), RGB(255, 255, 255));
        DrawTextW(canvas.dc(), L"Profile saved", -1, &label,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    return canvas.Read();
}

}  // namespace

TEST(Harness, ScreenshotRegionSeesALostTextTheGlobalBudgetHides)
{
    const testutil::PixelBuffer expected = LabelPicture(true);
    const testutil::PixelBuffer lost = LabelPicture(false);

    testutil::ScreenshotCompare global;
    EXPECT_TRUE(global.Compare(expected, lost)) << "the text is within the global budget";

    testutil::ScreenshotCompare regions;
    regions.AddRegion("label text", RECT{100, 96, 220, 128});
    EXPECT_TRUE(regions.Compare(expected, expected));
    ::testing::AssertionResult result = regions.Compare(expected, lost);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("label text"), std::string::npos);
}

namespace {

// A 140 x 36 button at (left, top) with a caption, drawn by GDI+ with grey
// anti-aliasing as the library draws its captions; `captionDx` moves the text
// alone by a fraction of a pixel (as one Wine places glyphs against another).
testutil::PixelBuffer ButtonPicture(float left, float top, float captionDx, bool withCaption,
                                    Gdiplus::Color captionColour = Gdiplus::Color(255, 51, 51, 51))
{
    Gdiplus::Bitmap bitmap(240, 100, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(255, 246, 247, 250));
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        Gdiplus::SolidBrush face(Gdiplus::Color(255, 73, 119, 229));
        g.FillRectangle(&face, left, top, 140.0f, 36.0f);
        Gdiplus::SolidBrush inner(Gdiplus::Color(255, 255, 255, 255));
        g.FillRectangle(&inner, left + 2, top + 2, 136.0f, 32.0f);
        if (withCaption) {
            // The face the library draws its captions in, from the build's fonts folder.
            Gdiplus::PrivateFontCollection fonts;
            fonts.AddFontFile(L"fonts\\Roboto-Regular.ttf");
            Gdiplus::FontFamily family;
            int found = 0;
            fonts.GetFamilies(1, &family, &found);
            Gdiplus::Font font(&family, 16.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
            Gdiplus::SolidBrush ink(captionColour);
            g.DrawString(L"Manage", -1, &font, Gdiplus::PointF(left + 36 + captionDx, top + 8),
                         &ink);
        }
    }
    testutil::PixelBuffer picture;
    picture.width = 240;
    picture.height = 100;
    picture.pixels.resize(240 * 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 240; ++x) {
            Gdiplus::Color c;
            bitmap.GetPixel(x, y, &c);
            picture.pixels[static_cast<size_t>(y) * 240 + x] = c.GetValue() & 0xFFFFFF;
        }
    return picture;
}

}  // namespace

// Text placed a fraction of a pixel, or one pixel, aside (as 64-bit Wine's
// GDI+ places glyphs against 32-bit Wine's) passes; a lost caption, a caption
// in another colour and a control moved by two pixels still fail, and so does
// the sub-pixel shift when pixels are compared one by one.
TEST(Harness, ScreenshotComparisonToleratesGlyphPlacementNotChanges)
{
    const testutil::PixelBuffer reference = ButtonPicture(50, 32, 0, true);
    const RECT button = {50, 32, 190, 68};
    int ink = 0;
    const testutil::PixelBuffer bare = ButtonPicture(50, 32, 0, false);
    for (size_t i = 0; i < reference.pixels.size(); ++i)
        ink += reference.pixels[i] != bare.pixels[i];
    ASSERT_GT(ink, 150) << "the caption is drawn";
    struct Case
    {
        const char* what;
        testutil::PixelBuffer picture;
        int reach;
        bool passes;
    };
    const Case cases[] = {
        {"the same picture", reference, 1, true},
        {"caption 0.4 px aside", ButtonPicture(50, 32, 0.4f, true), 1, true},
        {"caption 0.6 px aside", ButtonPicture(50, 32, 0.6f, true), 1, true},
        {"caption 1 px aside", ButtonPicture(50, 32, 1.0f, true), 1, true},
        {"caption 1 px aside, pixel by pixel", ButtonPicture(50, 32, 1.0f, true), 0, false},
        {"caption lost", ButtonPicture(50, 32, 0, false), 1, false},
        {"caption in another colour",
         ButtonPicture(50, 32, 0, true, Gdiplus::Color(255, 229, 57, 53)), 1, false},
        {"button 2 px to the right", ButtonPicture(52, 32, 0, true), 1, false},
        {"button 2 px lower", ButtonPicture(50, 34, 0, true), 1, false},
    };
    for (const Case& c : cases) {
        testutil::ScreenshotCompare compare;
        compare.shiftReach = c.reach;
        compare.AddRegion("button", button);
        EXPECT_EQ(c.passes, static_cast<bool>(compare.Compare(reference, c.picture))) << c.what;
    }
}
