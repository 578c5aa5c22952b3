// Drop shadows: setter ranges, the computed picture, and the shadow window
// following its parent.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GdiplusEnvironment.h"
#include "MShadow.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

static const bool g_shadowClass =
    testutil::AtTestStart([] { WEXA::MShadow::Initialize(GetModuleHandleW(nullptr), false); });

using WEXA::MShadow;

namespace {

// ---- settings ----

TEST(ShadowSettings, DefaultsAndRanges)
{
    MShadow shadow;
    EXPECT_EQ(shadow.GetSize(), 0);
    EXPECT_EQ(shadow.GetSharpness(), 5u);
    EXPECT_EQ(shadow.GetDarkness(), 150u);
    EXPECT_EQ(shadow.GetxOffset(), 5);
    EXPECT_EQ(shadow.GetyOffset(), 5);
    EXPECT_EQ(shadow.GetColor(), 0u);
    EXPECT_EQ(shadow.IsShowShadow(), 0);
    EXPECT_EQ(shadow.IsImageMode(), 0);

    struct Case
    {
        const char* what;
        int ok;
        std::function<int(MShadow&)> call;
    };
    const Case cases[] = {
        {"size 35", 1, [](MShadow& s) { return s.SetSize(35); }},
        {"size -35", 1, [](MShadow& s) { return s.SetSize(-35); }},
        {"size 36", 0, [](MShadow& s) { return s.SetSize(36); }},
        {"size -36", 0, [](MShadow& s) { return s.SetSize(-36); }},
        {"sharpness 35", 1, [](MShadow& s) { return s.SetSharpness(35); }},
        {"sharpness 36", 0, [](MShadow& s) { return s.SetSharpness(36); }},
        {"darkness 255", 1, [](MShadow& s) { return s.SetDarkness(255); }},
        {"darkness 256", 0, [](MShadow& s) { return s.SetDarkness(256); }},
        {"position -35,35", 1, [](MShadow& s) { return s.SetPosition(-35, 35); }},
        {"position 36,0", 0, [](MShadow& s) { return s.SetPosition(36, 0); }},
        {"position 0,36", 0, [](MShadow& s) { return s.SetPosition(0, 36); }},
        {"position 0,-36", 0, [](MShadow& s) { return s.SetPosition(0, -36); }},
        {"corner 0,1,2,3", 1, [](MShadow& s) { return s.SetShadowCorner(CRect(0, 1, 2, 3)); }},
        {"corner -1", 0, [](MShadow& s) { return s.SetShadowCorner(CRect(-1, 0, 0, 0)); }},
        {"colour", 1, [](MShadow& s) { return s.SetColor(0x123456); }},
    };
    for (const Case& c : cases) {
        MShadow s;
        EXPECT_EQ(c.call(s), c.ok) << c.what;
        if (!c.ok) {
            // A refused value changes nothing.
            EXPECT_EQ(s.GetSize(), 0) << c.what;
            EXPECT_EQ(s.GetSharpness(), 5u) << c.what;
            EXPECT_EQ(s.GetDarkness(), 150u) << c.what;
            EXPECT_EQ(s.GetxOffset(), 5) << c.what;
            EXPECT_EQ(s.GetyOffset(), 5) << c.what;
            EXPECT_TRUE(s.GetShadowCorner().IsRectNull()) << c.what;
        }
    }
    MShadow s;
    s.SetPosition(-7, 9);
    EXPECT_EQ(s.GetxOffset(), -7);
    EXPECT_EQ(s.GetyOffset(), 9);
}

TEST(ShadowSettings, ImagesAndCopy)
{
    MShadow source;
    EXPECT_EQ(source.SetImage(CString()), 0);
    EXPECT_EQ(source.IsImageMode(), 0);
    // A resource id always answers 0, loaded or not.
    EXPECT_EQ(source.SetImage(4242u), 0);
    EXPECT_EQ(source.IsImageMode(), 1);

    MShadow computed, target;
    computed.SetSize(9);
    computed.SetSharpness(3);
    computed.SetDarkness(90);
    computed.SetColor(0x102030);
    computed.SetPosition(-2, 4);
    computed.ShowShadow(1);
    EXPECT_EQ(computed.CopyShadow(&target), 1);
    EXPECT_EQ(target.GetSize(), 9);
    EXPECT_EQ(target.GetSharpness(), 3u);
    EXPECT_EQ(target.GetDarkness(), 90u);
    EXPECT_EQ(target.GetColor(), 0x102030u);
    EXPECT_EQ(target.GetxOffset(), -2);
    EXPECT_EQ(target.GetyOffset(), 4);
    EXPECT_EQ(target.IsShowShadow(), 1);
}

TEST(ShadowPicture, PreMultiply)
{
    EXPECT_EQ(MShadow::PreMultiply(0xFF80FF, 255), 0xFF80FFu);
    EXPECT_EQ(MShadow::PreMultiply(0xFF80FF, 0), 0u);
    EXPECT_EQ(MShadow::PreMultiply(0xFFFF8040, 128), 0x00804020u);  // top byte dropped
}

// ---- the computed picture ----

// A hidden popup of the given size, optionally with a rectangular region.
HWND MakeParent(int w, int h, bool withRegion)
{
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 100, w, h, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (withRegion) SetWindowRgn(hwnd, CreateRectRgn(0, 0, w, h), FALSE);
    return hwnd;
}

// Alpha of shadow pixel (x, row k counted from the top) in a bottom-up DIB.
int AlphaAt(const std::vector<UINT32>& px, int wd, int hd, int x, int k)
{
    return static_cast<int>(px[static_cast<size_t>(hd - 1 - k) * wd + x] >> 24);
}

TEST(ShadowPicture, AlphaSpansAlongARow)
{
    const int W = 40, H = 30;
    HWND parent = MakeParent(W, H, true);
    MShadow shadow;
    shadow.SetSize(8);  // sharpness 5, darkness 150, offsets 5, 5 by default
    const int S = 8, Wd = W + 2 * S, Hd = H + 2 * S;
    std::vector<UINT32> px(static_cast<size_t>(Wd) * Hd, 0);
    RECT pr = {100, 100, 100 + W, 100 + H};
    shadow.MakeShadow(px.data(), parent, &pr);

    // Row 20 lies beside the parent. The parent, shifted by the offset, covers
    // x 3..42 and is cut out; the shadow body runs to x 47; the soft edge is
    // solid for 3 pixels and then falls off over 6.
    const int k = 20;
    for (int x = 3; x <= 42; ++x) EXPECT_EQ(AlphaAt(px, Wd, Hd, x, k), 0) << "x " << x;
    for (int x = 43; x <= 50; ++x) EXPECT_EQ(AlphaAt(px, Wd, Hd, x, k), 150) << "x " << x;
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 51, k), 125);
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 52, k), 100);
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 53, k), 75);
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 54, k), 50);
    EXPECT_NEAR(AlphaAt(px, Wd, Hd, 55, k), 25, 1);
    // The left edge, outside the parent's cut-out.
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 2, k), 75);
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 1, k), 50);

    // Below the parent (row 40 maps to parent row 37: outside) the body is solid.
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 20, 40), 150);
    // The far corner lies beyond the kernel's reach.
    EXPECT_EQ(AlphaAt(px, Wd, Hd, 0, 0), 0);
    EXPECT_EQ(AlphaAt(px, Wd, Hd, Wd - 1, Hd - 1), 0);
    // Black shadow: colour bytes stay 0 (premultiplied).
    EXPECT_EQ(px[static_cast<size_t>(Hd - 1 - 40) * Wd + 20], 0x96000000u);
    DestroyWindow(parent);
}

// The rows of the parent's region are read from its rectangles; the picture is
// the one a test of every pixel gives, whatever the region's shape.
TEST(ShadowPicture, RegionRowsFromRectanglesGiveThePixelTestsPicture)
{
    const int W = 220, H = 150;
    struct Case
    {
        const char* name;
        HRGN (*make)();
        bool empty;
    };
    const Case cases[] = {
        {"round corners", [] { return CreateRoundRectRgn(0, 0, W + 1, H + 1, 18, 18); }, false},
        {"ellipse", [] { return CreateEllipticRgn(10, 5, W - 20, H - 3); }, false},
        {"two islands on a row, a hole",
         [] {
             HRGN r = CreateRectRgn(0, 20, 60, 120);
             HRGN b = CreateEllipticRgn(90, 0, 200, 140);
             HRGN hole = CreateRectRgn(120, 40, 170, 90);
             CombineRgn(r, r, b, RGN_OR);
             CombineRgn(r, r, hole, RGN_DIFF);
             DeleteObject(b);
             DeleteObject(hole);
             return r;
         },
         false},
        {"larger than the window", [] { return CreateRectRgn(-30, -10, W + 40, H + 5); }, false},
        {"outside the window", [] { return CreateRectRgn(W + 5, 0, W + 50, H); }, true},
    };
    for (const Case& c : cases) {
        for (int size : {8, 3}) {
            SCOPED_TRACE(std::string(c.name) + ", size " + std::to_string(size));
            HWND parent = MakeParent(W, H, false);
            SetWindowRgn(parent, c.make(), FALSE);
            MShadow shadow;
            shadow.SetSize(size);
            shadow.SetSharpness(7);
            const int Wd = W + 2 * size, Hd = H + 2 * size;
            RECT pr = {100, 100, 100 + W, 100 + H};
            std::vector<UINT32> spans(static_cast<size_t>(Wd) * Hd, 0);
            std::vector<UINT32> pixels(spans.size(), 0);
            shadow.MakeShadow(spans.data(), parent, &pr);
            MShadow::SetHitTestRows(true);
            shadow.MakeShadow(pixels.data(), parent, &pr);
            MShadow::SetHitTestRows(false);
            EXPECT_TRUE(spans == pixels);
            EXPECT_EQ(std::count(spans.begin(), spans.end(), 0u) == static_cast<long>(spans.size()),
                      c.empty);
            DestroyWindow(parent);
        }
    }
}

TEST(ShadowPicture, ColourIsAColorrefPremultipliedIntoThePixels)
{
    // The shadow colour is an ordinary COLORREF: red stays red in the
    // 0xAARRGGBB pixels, each channel premultiplied by the darkness.
    HWND parent = MakeParent(20, 20, true);
    struct Case
    {
        COLORREF colour;
        unsigned darkness;
        UINT32 pixel;
    };
    const Case cases[] = {
        {RGB(255, 0, 0), 255, 0xFFFF0000u},
        {RGB(0, 0, 255), 255, 0xFF0000FFu},
        {RGB(0x40, 0x80, 0xFF), 128, 0x80204080u},
        {0, 150, 0x96000000u},  // the default black
    };
    for (const Case& c : cases) {
        MShadow shadow;
        shadow.SetSize(4);
        shadow.SetDarkness(c.darkness);
        shadow.SetColor(c.colour);
        EXPECT_EQ(shadow.GetColor(), c.colour);
        std::vector<UINT32> px(28 * 28, 0);
        RECT pr = {0, 0, 20, 20};
        shadow.MakeShadow(px.data(), parent, &pr);
        // Row 21 from the top maps below the parent: solid body.
        EXPECT_EQ(px[static_cast<size_t>(28 - 1 - 21) * 28 + 10], c.pixel) << std::hex << c.colour;
    }
    DestroyWindow(parent);
}

TEST(ShadowPicture, NoRegionGivesATransparentShadow)
{
    HWND parent = MakeParent(30, 20, false);
    MShadow shadow;
    shadow.SetSize(6);
    std::vector<UINT32> px(42 * 32, 0);
    RECT pr = {0, 0, 30, 20};
    shadow.MakeShadow(px.data(), parent, &pr);
    for (UINT32 p : px) ASSERT_EQ(p, 0u);
    DestroyWindow(parent);
}

TEST(ShadowPicture, SizeZeroOrLessWritesNothing)
{
    // Without a positive size there is no computed shadow; a negative size must
    // not write beyond a bitmap that is smaller than the parent.
    HWND parent = MakeParent(30, 20, true);
    for (int size : {0, -1, -20}) {
        MShadow shadow;
        shadow.SetSize(size);
        shadow.SetSharpness(35);
        std::vector<UINT32> px(30 * 20 * 4, 0xABABABABu);
        RECT pr = {0, 0, 30, 20};
        shadow.MakeShadow(px.data(), parent, &pr);
        for (UINT32 p : px) ASSERT_EQ(p, 0xABABABABu) << "size " << size;
    }
    DestroyWindow(parent);
}

TEST(ShadowPicture, SharpnessAboveSizeErodesAndStaysInBounds)
{
    // Sharpness 20 with size 2 erodes the outline by 18 pixels; every stamp of the
    // 41 x 41 kernel must stay inside the 44 x 34 bitmap.
    const int W = 40, H = 30, S = 2, Wd = W + 2 * S, Hd = H + 2 * S;
    HWND parent = MakeParent(W, H, true);
    MShadow shadow;
    shadow.SetSize(S);
    shadow.SetSharpness(20);
    std::vector<UINT32> px(static_cast<size_t>(Wd) * Hd + 64, 0xABABABABu);
    for (size_t i = 0; i < static_cast<size_t>(Wd) * Hd; ++i) px[i] = 0;
    RECT pr = {0, 0, W, H};
    shadow.MakeShadow(px.data(), parent, &pr);
    for (size_t i = static_cast<size_t>(Wd) * Hd; i < px.size(); ++i) ASSERT_EQ(px[i], 0xABABABABu);
    DestroyWindow(parent);
}

// ---- the shadow window ----

class ShadowWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE, 200, 150, 300,
                                  200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        SetWindowRgn(parent_, CreateRectRgn(0, 0, 300, 200), FALSE);
        testutil::PumpPending();
    }
    void TearDown() override
    {
        if (IsWindow(parent_)) DestroyWindow(parent_);
        testutil::PumpPending();
    }
    RECT ShadowRect() const
    {
        RECT r = {};
        GetWindowRect(shadow_.GetHwnd(), &r);
        return r;
    }

    HWND parent_ = nullptr;
    MShadow shadow_;
};

TEST_F(ShadowWindow, NothingWithoutTheShowSetting)
{
    shadow_.Create(parent_);
    EXPECT_EQ(shadow_.GetHwnd(), nullptr);
    EXPECT_EQ(MShadow::GetShadowMap().count(parent_), 0u);
}

TEST_F(ShadowWindow, FollowsItsParent)
{
    shadow_.ShowShadow(1);
    shadow_.SetSize(8);
    shadow_.Create(parent_);
    HWND sw = shadow_.GetHwnd();
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(GetWindow(sw, GW_OWNER), parent_);
    EXPECT_TRUE(GetWindowLongW(sw, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongW(sw, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(shadow_.GetStatus(),
              MShadow::SS_ENABLED | MShadow::SS_VISABLE | MShadow::SS_PARENTVISIBLE);
    EXPECT_TRUE(IsWindowVisible(sw));

    // Size 8 with offsets 5: 16 pixels larger, at (left - 3, top - 3).
    RECT r = ShadowRect();
    EXPECT_EQ(r.left, 197);
    EXPECT_EQ(r.top, 147);
    EXPECT_EQ(r.right - r.left, 316);
    EXPECT_EQ(r.bottom - r.top, 216);

    // A move of the parent moves the shadow.
    SetWindowPos(parent_, nullptr, 400, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    testutil::PumpPending();
    r = ShadowRect();
    EXPECT_EQ(r.left, 397);
    EXPECT_EQ(r.top, 257);

    // Growing defers the rebuild to the parent's next paint; shrinking rebuilds at once.
    SetWindowPos(parent_, nullptr, 0, 0, 340, 230, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = ShadowRect();
    EXPECT_EQ(r.right - r.left, 316);
    InvalidateRect(parent_, nullptr, FALSE);
    UpdateWindow(parent_);
    r = ShadowRect();
    EXPECT_EQ(r.right - r.left, 356);
    EXPECT_EQ(r.bottom - r.top, 246);
    SetWindowPos(parent_, nullptr, 0, 0, 250, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = ShadowRect();
    EXPECT_EQ(r.right - r.left, 266);
    EXPECT_EQ(r.bottom - r.top, 166);

    // Hidden with the parent, shown again with it.
    ShowWindow(parent_, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(sw));
    ShowWindow(parent_, SW_SHOWNA);
    testutil::PumpPending();
    EXPECT_TRUE(IsWindowVisible(sw));

    // Destroying the parent takes the shadow window and the map entry with it.
    DestroyWindow(parent_);
    EXPECT_FALSE(IsWindow(sw));
    EXPECT_EQ(MShadow::GetShadowMap().count(parent_), 0u);
}

TEST_F(ShadowWindow, MinimiseHidesAndRestoreShows)
{
    shadow_.ShowShadow(1);
    shadow_.SetSize(6);
    shadow_.Create(parent_);
    HWND sw = shadow_.GetHwnd();
    ASSERT_TRUE(IsWindowVisible(sw));
    ShowWindow(parent_, SW_MINIMIZE);
    testutil::PumpPending();
    EXPECT_FALSE(IsWindowVisible(sw));
    EXPECT_FALSE(shadow_.GetStatus() & MShadow::SS_VISABLE);
    ShowWindow(parent_, SW_RESTORE);
    testutil::PumpPending();
    EXPECT_TRUE(IsWindowVisible(sw));
    EXPECT_TRUE(shadow_.GetStatus() & MShadow::SS_VISABLE);
    RECT pr, r = ShadowRect();
    GetWindowRect(parent_, &pr);
    EXPECT_EQ(r.left, pr.left + 5 - 6);
    EXPECT_EQ(r.right - r.left, (pr.right - pr.left) + 12);
}

TEST_F(ShadowWindow, DisabledShadowDoesNotFollow)
{
    shadow_.ShowShadow(1);
    shadow_.SetSize(8);
    shadow_.Create(parent_);
    HWND sw = shadow_.GetHwnd();
    shadow_.DisableShadow(1);
    EXPECT_FALSE(IsWindowVisible(sw));
    RECT before = ShadowRect();
    SetWindowPos(parent_, nullptr, 500, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    testutil::PumpPending();
    RECT after = ShadowRect();
    EXPECT_EQ(after.left, before.left);
    // Enabled again: shown and placed beside the parent.
    shadow_.DisableShadow(0);
    EXPECT_TRUE(IsWindowVisible(sw));
    EXPECT_EQ(ShadowRect().left, 497);
}

TEST_F(ShadowWindow, ShadowGoingFirstLeavesTheParentWorking)
{
    {
        MShadow early;
        early.ShowShadow(1);
        early.SetSize(4);
        early.Create(parent_);
        ASSERT_EQ(MShadow::GetShadowMap().count(parent_), 1u);
    }
    EXPECT_EQ(MShadow::GetShadowMap().count(parent_), 0u);
    // The parent still handles its messages.
    SetWindowPos(parent_, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    testutil::PumpPending();
    RECT pr;
    GetWindowRect(parent_, &pr);
    EXPECT_EQ(pr.left, 10);
}

TEST_F(ShadowWindow, ImageShadowIsPlacedByItsMarginsAndReleasedWithTheParent)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"shadow_test");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"shadow.png", 30, 30, [](Gdiplus::Graphics& g) {
        g.Clear(Gdiplus::Color(120, 0, 0, 0));
    }));
    shadow_.ShowShadow(1);
    ASSERT_EQ(shadow_.SetImage(CString(L"shadow.png")), 1);
    ASSERT_EQ(shadow_.SetShadowCorner(CRect(4, 3, 6, 9)), 1);
    ASSERT_TRUE(shadow_.HasImage());
    shadow_.Create(parent_);
    RECT r = ShadowRect();
    EXPECT_EQ(r.left, 200 - 4);
    EXPECT_EQ(r.top, 150 - 3);
    EXPECT_EQ(r.right - r.left, 300 + 4 + 6);
    EXPECT_EQ(r.bottom - r.top, 200 + 3 + 9);
    // The image goes with the parent window, while GDI+ still runs.
    DestroyWindow(parent_);
    EXPECT_FALSE(shadow_.HasImage());
    EXPECT_EQ(shadow_.GetHwnd(), nullptr);
}

}  // namespace
