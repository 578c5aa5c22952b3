// The main window's frame layout: every rectangle for the 1400 x 788 client
// area, the caption beside a logo of another size, and the placement on a
// dialog's controls (nothing before the frame exists).
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "MDialog.h"
#include "MPicture.h"
#include "SkinFiles.h"
#include "mainwnd/UISize.h"

namespace {

struct Expected
{
    UINT id;
    CRect rect;
};

// The main window's 1400 x 788 client area with the theme's 160 x 48 logo.
const Expected kMainWindow[] = {
    {30, CRect(0, 0, 1400, 788)},      {31, CRect(0, 0, 1400, 788)},
    {65, CRect(0, 0, 1400, 788)},      {36, CRect(10, 10, 170, 58)},
    {37, CRect(170, 10, 270, 58)},     {39, CRect(1340, 10, 1368, 38)},
    {40, CRect(1300, 10, 1328, 38)},   {42, CRect(1260, 10, 1288, 38)},
    {43, CRect(1220, 10, 1248, 38)},   {45, CRect(1180, 10, 1208, 38)},
    {33, CRect(1, 70, 1399, 71)},      {32, CRect(281, 71, 282, 787)},
    {46, CRect(90, 80, 190, 116)},     {38, CRect(10, 130, 270, 166)},
    {68, CRect(20, 180, 261, 588)},    {64, CRect(30, 668, 249, 753)},
    {48, CRect(150, 20, 290, 56)},     {49, CRect(160, 26, 184, 50)},
    {50, CRect(186, 25, 280, 56)},     {56, CRect(1240, 120, 1300, 270)},
    {57, CRect(400, 428, 1220, 464)},  {60, CRect(1220, 320, 1380, 356)},
    {61, CRect(1220, 370, 1380, 406)}, {80, CRect(100, 150, 1300, 200)},
    {81, CRect(100, 150, 1340, 738)},  {70, CRect(285, 438, 1399, 787)},
    {71, CRect(285, 438, 1399, 787)},  {74, CRect(285, 438, 1399, 787)},
    {75, CRect(285, 438, 1399, 787)},  {73, CRect(285, 438, 1399, 787)},
    {72, CRect(285, 80, 1399, 787)},   {77, CRect(285, 80, 1399, 787)},
    {76, CRect(285, 80, 1399, 787)},   {78, CRect(285, 80, 1399, 787)},
    {69, CRect(1, 80, 1399, 787)},     {79, CRect(0, 0, 1400, 788)},
    {51, CRect(20, 589, 261, 664)},    {53, CRect(24, 592, 221, 661)},
    {54, CRect(225, 592, 257, 624)},   {55, CRect(225, 628, 257, 660)},
};

TEST(FrameLayout, RectanglesOfTheMainWindow)
{
    const std::vector<ControlPlacement> placed =
        FrameLayout(CRect(0, 0, 1400, 788), CSize(160, 48));
    std::map<UINT, CRect> byId;
    for (const ControlPlacement& p : placed) {
        EXPECT_TRUE(byId.emplace(p.id, p.rect).second) << "control " << p.id << " placed twice";
    }
    EXPECT_EQ(placed.size(), sizeof kMainWindow / sizeof kMainWindow[0]);
    for (const Expected& e : kMainWindow) {
        ASSERT_TRUE(byId.count(e.id)) << "control " << e.id << " not placed";
        EXPECT_EQ(byId[e.id], e.rect) << "control " << e.id;
    }
    // Controls that keep their empty rectangles.
    for (UINT id : {35u, 47u, 52u, 58u, 59u, 66u, 67u})
        EXPECT_EQ(byId.count(id), 0u) << "control " << id;
}

TEST(FrameLayout, ProfileCardOverlapsNothingOnADevicePage)
{
    // The list, the add and import buttons lie inside their card, apart from
    // each other, and touch no other control a device page shows (the
    // backgrounds, the home panel with its caption and device list, and the
    // settings page are never shown beside them).
    std::map<UINT, CRect> byId;
    for (const ControlPlacement& p : FrameLayout(CRect(0, 0, 1400, 788), CSize(160, 48)))
        byId[p.id] = p.rect;
    // Below the main tab's items: a model shows at most eight (50 pixels
    // high, 1 apart, from the tab's top).
    EXPECT_GE(byId[51].top, byId[68].top + 8 * 51);
    const UINT card[] = {53, 54, 55};
    for (UINT id : card) {
        CRect inside;
        EXPECT_TRUE(inside.IntersectRect(&byId[id], &byId[51]) && inside == byId[id]) << id;
        for (UINT other : card) {
            CRect overlap;
            if (other != id) {
                EXPECT_FALSE(overlap.IntersectRect(&byId[id], &byId[other])) << id;
            }
        }
    }
    for (const auto& placed : byId) {
        const UINT other = placed.first;
        if (other == 51 || other == 53 || other == 54 || other == 55 || other == 30 ||
            other == 31 || other == 65 || other == 69 || other == 80 || other == 81 || other == 79)
            continue;
        CRect overlap;
        EXPECT_FALSE(overlap.IntersectRect(&byId[51], &placed.second))
            << "the profile card covers control " << other;
    }
}

TEST(FrameLayout, CaptionStandsBesideTheLogo)
{
    struct Case
    {
        CSize logo;
        CRect logoRect, caption;
    };
    const Case cases[] = {
        {CSize(120, 40), CRect(10, 10, 130, 50), CRect(130, 10, 230, 50)},
        {CSize(0, 0), CRect(10, 10, 10, 10), CRect(10, 10, 110, 10)},
    };
    for (const Case& c : cases) {
        std::map<UINT, CRect> byId;
        for (const ControlPlacement& p : FrameLayout(CRect(0, 0, 1400, 788), c.logo))
            byId[p.id] = p.rect;
        EXPECT_EQ(byId[36], c.logoRect) << c.logo.cx;
        EXPECT_EQ(byId[37], c.caption) << c.logo.cx;
    }
}

// A dialog with a few frame controls, the logo a picture of 120 x 40.
class FrameDialog : public WEXA::MDialog
{
public:
    bool withFrame = true;
    void InitUI(CRect) override
    {
        if (auto* logo =
                dynamic_cast<WEXA::MPicture*>(CreateArea(L"MPicture", 36, CRect(), L"", 1, 0)))
            logo->SetImage(L"layout_logo.png", 1);
        CreateArea(L"MText", 37, CRect(), L"", 1, 1);
        CreateControl(L"CImageButton", 57, CRect(), L"", 1, 1);
        CreateArea(L"MPicture", 35, CRect(), L"", 1, 0);
        if (withFrame) CreateControl(L"CImageButton", 39, CRect(), L"", 1, 1);
    }
};

TEST(FrameLayout, PlacesTheDialogsControlsOnceTheFrameExists)
{
    const std::wstring folder = testutil::UseTestSkinFolder(L"layout_test");
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"layout_logo.png", 120, 40, [](Gdiplus::Graphics& g) {
            Gdiplus::SolidBrush fill(Gdiplus::Color(255, 73, 119, 229));
            g.FillRectangle(&fill, 0, 0, 120, 40);
        }));
    for (bool withFrame : {false, true}) {
        FrameDialog dlg;
        dlg.withFrame = withFrame;
        ASSERT_NE(dlg.Create(nullptr, L"layout", WS_POPUP, 0, CRect(0, 0, 1400, 788)), nullptr);
        EXPECT_EQ(UISize(dlg, CRect(0, 0, 1400, 788)), withFrame);
        const CRect none;
        EXPECT_EQ(dlg.GetControl(36)->GetRect(), withFrame ? CRect(10, 10, 130, 50) : none);
        EXPECT_EQ(dlg.GetControl(37)->GetRect(), withFrame ? CRect(130, 10, 230, 50) : none);
        EXPECT_EQ(dlg.GetControl(57)->GetRect(), withFrame ? CRect(400, 428, 1220, 464) : none);
        EXPECT_EQ(dlg.GetControl(35)->GetRect(), none);
        if (withFrame) {
            EXPECT_EQ(dlg.GetControl(39)->GetRect(), CRect(1340, 10, 1368, 38));
        }
        dlg.DestroyWindow();
    }
}

}  // namespace
