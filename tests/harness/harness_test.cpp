// Checks the test environment itself: a visible window on the virtual display can be
// painted and read back, and the program's modules load beside the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "ScreenshotCompare.h"
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
