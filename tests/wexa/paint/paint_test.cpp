// The window engine's painting: background, areas and controls from their
// cached looks, repaint requests, layered windows, background images and
// off-screen renders of one control.
#include <gtest/gtest.h>

#include <cstdlib>

#include "MDialog.h"
#include "PaintObservers.h"
#include "SkinFiles.h"
#include "WexaTestControls.h"
#include "WindowTestHelpers.h"
#include "paint_host.h"

using testutil::PixelBuffer;
using testutil::SolidControl;

namespace {

// A background pixel: alpha 0xFE and the colour premultiplied by it (each
// channel within one step of rounding).
::testing::AssertionResult IsBackground(UINT32 pixel, COLORREF c)
{
    auto within = [](UINT32 got, UINT32 channel) {
        int want = static_cast<int>(channel) * 0xFE / 255;
        return std::abs(static_cast<int>(got) - want) <= 1;
    };
    if ((pixel >> 24) == 0xFE && within((pixel >> 16) & 0xFF, GetRValue(c)) &&
        within((pixel >> 8) & 0xFF, GetGValue(c)) && within(pixel & 0xFF, GetBValue(c)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "pixel 0x" << pixel << " is not colour 0x" << c << " at alpha 0xFE";
}
constexpr UINT32 Opaque(COLORREF c)
{
    return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST_F(PaintTest, DefaultBackgroundEverywhere)
{
    Open(120, 80);
    PixelBuffer s = PaintNow();
    ASSERT_EQ(s.width, 120);
    ASSERT_EQ(s.height, 80);
    // 0xFCFCFC at alpha 0xFE on the off-screen surface (premultiplied there).
    for (int y = 0; y < 80; y += 7)
        for (int x = 0; x < 120; x += 7)
            ASSERT_TRUE(IsBackground(s.At(x, y), 0xFCFCFC)) << x << "," << y;
    EXPECT_TRUE(IsBackground(s.At(119, 79), 0xFCFCFC));
}

TEST_F(PaintTest, FrameColourRingsTheInnerColour)
{
    Open(60, 40);
    engine().SetBackColor(RGB(10, 20, 30), RGB(200, 100, 50));
    PixelBuffer s = PaintNow();
    EXPECT_TRUE(IsBackground(s.At(0, 0), RGB(200, 100, 50)));
    EXPECT_TRUE(IsBackground(s.At(59, 39), RGB(200, 100, 50)));
    EXPECT_TRUE(IsBackground(s.At(30, 0), RGB(200, 100, 50)));
    EXPECT_TRUE(IsBackground(s.At(1, 1), RGB(10, 20, 30)));
    EXPECT_TRUE(IsBackground(s.At(58, 38), RGB(10, 20, 30)));
}

TEST_F(PaintTest, AreasBeforeControlsEachFromItsCachedLook)
{
    Open(100, 60);
    // A red area over the whole window, a blue control on top of it.
    auto* area =
        static_cast<SolidControl*>(host_->CreateArea(L"CArea", 1, CRect(0, 0, 100, 60), L"", 1, 1));
    auto* control = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 3, CRect(20, 10, 50, 30), L"", 1, 1));
    ASSERT_NE(area, nullptr);
    ASSERT_NE(control, nullptr);
    PixelBuffer s = PaintNow();
    EXPECT_EQ(s.At(5, 5), Opaque(testutil::kTestRed) & 0x00FFFFFF);  // GDI leaves alpha 0
    EXPECT_EQ(s.At(25, 15), Opaque(testutil::kTestBlue) & 0x00FFFFFF);
    EXPECT_EQ(area->renders, 1);
    EXPECT_EQ(control->renders, 1);

    // A repaint without a stale mark copies the cached looks again.
    host_->Invalidate();
    s = PaintNow();
    EXPECT_EQ(s.At(25, 15), Opaque(testutil::kTestBlue) & 0x00FFFFFF);
    EXPECT_EQ(area->renders, 1);
    EXPECT_EQ(control->renders, 1);
}

TEST_F(PaintTest, SurfaceIsKeptBetweenPaintsAndStartsFromTheBackgroundEachTime)
{
    Open(100, 60);
    auto* control = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 3, CRect(20, 10, 50, 30), L"", 1, 1));
    PixelBuffer s = PaintNow();
    const HBITMAP surface = engine().GetPaintSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(s.At(25, 15), Opaque(testutil::kTestBlue) & 0x00FFFFFF);

    // Hidden, the control leaves nothing behind on the reused surface.
    control->SetVisible(0);
    s = PaintNow();
    EXPECT_EQ(engine().GetPaintSurface(), surface);
    EXPECT_TRUE(IsBackground(s.At(25, 15), 0xFCFCFC));

    // New background colours and a background image are painted at once.
    engine().SetBackColor(RGB(10, 20, 30), RGB(200, 100, 50));
    host_->Invalidate();
    s = PaintNow();
    EXPECT_EQ(engine().GetPaintSurface(), surface);
    EXPECT_TRUE(IsBackground(s.At(0, 0), RGB(200, 100, 50)));
    EXPECT_TRUE(IsBackground(s.At(25, 15), RGB(10, 20, 30)));
    std::wstring folder = testutil::UseTestSkinFolder(L"paint_test");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"plain.png", 8, 8, [](Gdiplus::Graphics& g) {
        g.Clear(Gdiplus::Color(255, 0, 0, 255));
    }));
    ASSERT_EQ(engine().LoadBKImage(CString(L"plain.png")), 1);
    engine().SetBackMode(static_cast<WEXA::enumBackMode>(0), 0);
    host_->Invalidate();
    s = PaintNow();
    EXPECT_EQ(s.At(3, 3), 0xFF0000FFu);
    EXPECT_EQ(s.At(25, 15), 0u);

    // Another client size: a surface of that size, the background over all of it.
    SetWindowPos(hwnd(), nullptr, 0, 0, 140, 70, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    engine().SetBackMode(static_cast<WEXA::enumBackMode>(5), 0);  // the image is not drawn
    control->SetVisible(1);
    host_->Invalidate();
    s = PaintNow();
    ASSERT_EQ(s.width, 140);
    ASSERT_EQ(s.height, 70);
    EXPECT_EQ(s.At(3, 3), 0u);
    EXPECT_EQ(s.At(139, 69), 0u);
    EXPECT_EQ(s.At(25, 15), Opaque(testutil::kTestBlue) & 0x00FFFFFF);

    host_->DestroyWindow();
    EXPECT_EQ(engine().GetPaintSurface(), nullptr);
}

TEST_F(PaintTest, RepaintRequestsUniteOverlappingLaterControls)
{
    Open(200, 120);
    auto* area = static_cast<SolidControl*>(
        host_->CreateArea(L"CArea", 4, CRect(0, 0, 200, 120), L"", 1, 1));
    auto* first = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 1, CRect(10, 10, 60, 60), L"", 1, 1));
    auto* second = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 2, CRect(40, 40, 120, 90), L"", 1, 1));
    auto* apart = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 3, CRect(150, 10, 190, 30), L"", 1, 1));
    PaintNow();
    auto stale = [](SolidControl* c) { return c->GetUpdate() == 0; };

    // From the first control with erase: itself and the later overlapping one.
    ValidateRect(hwnd(), nullptr);
    engine().OnControlUpdate(first->GetRect(), 1, first);
    EXPECT_TRUE(stale(first));
    EXPECT_TRUE(stale(second));
    EXPECT_FALSE(stale(apart));
    EXPECT_FALSE(stale(area));
    EXPECT_EQ(UpdateBox(), CRect(10, 10, 120, 90));
    PaintNow();

    // From the later control: nothing after it overlaps, the earlier one stays.
    ValidateRect(hwnd(), nullptr);
    engine().OnControlUpdate(second->GetRect(), 0, second);
    EXPECT_FALSE(stale(first));
    EXPECT_FALSE(stale(second));  // without erase its cached look is reused
    EXPECT_EQ(UpdateBox(), CRect(40, 40, 120, 90));

    // From the area: every overlapping visible control.
    PaintNow();
    engine().OnControlUpdate(CRect(0, 0, 70, 70), 1, area);
    EXPECT_TRUE(stale(first));
    EXPECT_TRUE(stale(second));
    EXPECT_FALSE(stale(apart));
    PaintNow();

    // A control in neither list refreshes exactly the requested rectangle.
    SolidControl child(host_, 9, CRect(150, 50, 170, 70), 1, RGB(1, 2, 3));
    ValidateRect(hwnd(), nullptr);
    engine().OnControlUpdate(CRect(150, 50, 170, 70), 1, &child);
    EXPECT_EQ(UpdateBox(), CRect(150, 50, 170, 70));
    EXPECT_FALSE(stale(apart));
}

TEST_F(PaintTest, LayeredSurfaceIsOpaqueWhereGdiDrewAndClearElsewhere)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"paint_test");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"bk.png", 8, 8, [](Gdiplus::Graphics& g) {
        g.Clear(Gdiplus::Color(255, 0, 0, 255));
    }));
    Open(80, 50);
    ASSERT_EQ(engine().LoadBKImage(CString(L"bk.png")), 1);
    engine().SetBackMode(static_cast<WEXA::enumBackMode>(5), 0);  // draws no background at all
    engine().SetLayeredWindow(1);
    host_->CreateControl(L"CArea", 2, CRect(10, 10, 30, 20), L"", 1, 1);
    host_->Invalidate();
    PixelBuffer s = PaintNow();
    EXPECT_EQ(s.At(15, 15), Opaque(testutil::kTestGreen));
    EXPECT_EQ(s.At(29, 19), Opaque(testutil::kTestGreen));
    EXPECT_EQ(s.At(5, 5), 0u);
    EXPECT_EQ(s.At(30, 20), 0u);
    EXPECT_EQ(s.At(79, 49), 0u);
    EXPECT_TRUE(GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

    // A layered window always repaints the whole window, even for a small request.
    ValidateRect(hwnd(), nullptr);
    engine().InvalidateRect(CRect(1, 1, 3, 3), 0);
    EXPECT_EQ(UpdateBox(), CRect(0, 0, 80, 50));
}

TEST_F(PaintTest, BackgroundImageModes)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"paint_test");
    // 12 x 12: a 4-pixel red border around a green centre.
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"frame.png", 12, 12, [](Gdiplus::Graphics& g) {
        g.Clear(Gdiplus::Color(255, 255, 0, 0));
        Gdiplus::SolidBrush green(Gdiplus::Color(255, 0, 255, 0));
        g.FillRectangle(&green, 4, 4, 4, 4);
    }));
    Open(60, 40);
    ASSERT_EQ(engine().LoadBKImage(CString(L"frame.png")), 1);
    EXPECT_EQ(engine().LoadBKImage(CString(L"nothing_here.png")), 0);
    ASSERT_EQ(engine().LoadBKImage(CString(L"frame.png")), 1);

    // Mode 0: once at its own size from the top-left corner; nothing else.
    engine().SetBackMode(static_cast<WEXA::enumBackMode>(0), 4);
    PixelBuffer s = PaintNow();
    EXPECT_EQ(s.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(s.At(6, 6), 0xFF00FF00u);
    EXPECT_EQ(s.At(30, 30), 0u);

    // Mode 1: nine-slice over the whole client area with corner 4.
    engine().SetBackMode(static_cast<WEXA::enumBackMode>(1), 4);
    host_->Invalidate();
    s = PaintNow();
    EXPECT_EQ(s.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(s.At(58, 38), 0xFFFF0000u);
    EXPECT_EQ(s.At(30, 20), 0xFF00FF00u);
}

TEST_F(PaintTest, MinimisedWindowValidatesItsUpdateRegion)
{
    // Wine gives a minimised window no client area and so no WM_PAINT; the
    // minimised state is therefore set on the style of a window that keeps
    // its client area, which is what the handler tests.
    Open(200, 100);
    SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) | WS_MINIMIZE);
    ASSERT_TRUE(IsIconic(hwnd()));

    // One paint, sent at once, leaves nothing to paint behind it.
    InvalidateRect(hwnd(), nullptr, FALSE);
    int before = host_->paints;
    UpdateWindow(hwnd());
    EXPECT_EQ(host_->paints - before, 1);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(hwnd(), &r, FALSE));

    // Through the queue: every WM_PAINT validates the window, so the queue runs
    // dry instead of handing out WM_PAINT again and again. (The display may
    // expose the window once more meanwhile; that paint is validated too.)
    InvalidateRect(hwnd(), nullptr, FALSE);
    MSG msg;
    int dispatched = 0, paints = 0;
    while (dispatched < 200 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++dispatched;
        bool paint = msg.message == WM_PAINT && msg.hwnd == hwnd();
        DispatchMessageW(&msg);
        if (!paint) continue;
        ++paints;
        if (GetUpdateRect(hwnd(), &r, FALSE)) {
            ADD_FAILURE() << "paint " << paints << " left the window invalid";
            break;
        }
    }
    EXPECT_LT(dispatched, 200);
    EXPECT_GE(paints, 1);
    SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) & ~WS_MINIMIZE);
}

TEST_F(PaintTest, GenerateBitmapRendersOneControl)
{
    Open(100, 60);
    auto* control = static_cast<SolidControl*>(
        host_->CreateControl(L"CArea", 3, CRect(20, 10, 50, 30), L"", 1, 1));
    HBITMAP bmp = engine().GenerateBitmap(control, control->GetRect(), 0);
    ASSERT_NE(bmp, nullptr);
    BITMAP info;
    GetObjectW(bmp, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 30);
    EXPECT_EQ(info.bmHeight, 20);
    EXPECT_EQ(info.bmBitsPixel, 32);
    const UINT32* px = static_cast<const UINT32*>(info.bmBits);
    EXPECT_EQ(px[0] & 0x00FFFFFF, Opaque(testutil::kTestBlue) & 0x00FFFFFF);
    DeleteObject(bmp);

    // A tint with an alpha byte is laid over the whole picture.
    bmp = engine().GenerateBitmap(control, control->GetRect(), 0xFF00FF00);
    GetObjectW(bmp, sizeof(info), &info);
    px = static_cast<const UINT32*>(info.bmBits);
    EXPECT_EQ(px[5] & 0x00FFFFFF, 0x0000FF00u);
    DeleteObject(bmp);

    // The drag image: a part of the control, relative to its corner.
    bmp = engine().GetDropBitmap(control, CRect(0, 0, 10, 5), 0);
    GetObjectW(bmp, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 10);
    EXPECT_EQ(info.bmHeight, 5);
    px = static_cast<const UINT32*>(info.bmBits);
    EXPECT_EQ(px[0] & 0x00FFFFFF, Opaque(testutil::kTestBlue) & 0x00FFFFFF);
    DeleteObject(bmp);
    EXPECT_EQ(engine().GenerateBitmap(nullptr, CRect(0, 0, 5, 5), 0), nullptr);
}

}  // namespace
