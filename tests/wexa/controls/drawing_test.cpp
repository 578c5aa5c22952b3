// What areas and buttons draw, read back from a memory canvas, and the frame
// counts of image strips.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CArea.h"
#include "CCheckButton.h"
#include "CIconButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "ControlsTestSupport.h"
#include "MButton.h"
#include "MEdit.h"
#include "WindowTestHelpers.h"

using namespace WEXA;
using ctltest::RecordingOwner;
using testutil::MemoryCanvas;

namespace {

const uint32_t kBlue = 0xFF2040C0;

void Draw(MControl& c, MemoryCanvas& canvas)
{
    HDC dc = canvas.dc();
    c.DrawControl(dc, CRect(0, 0, canvas.width(), canvas.height()));
    GdiFlush();
}

}  // namespace

TEST(CArea, CornersByHeightAndFrame)
{
    RecordingOwner owner;
    MemoryCanvas canvas(120, 80);
    canvas.Fill(kBlue);
    CArea low(&owner, 1, CRect(10, 10, 60, 19), 1, 1);   // 9 high: square
    CArea high(&owner, 2, CRect(10, 30, 60, 40), 1, 1);  // 10 high: rounded
    low.SetTransparent(0, 0, 0xE6E6E6);
    high.SetTransparent(0, 0, 0xE6E6E6);
    Draw(low, canvas);
    Draw(high, canvas);
    auto px = canvas.Read();
    EXPECT_EQ(px.ColorAt(10, 10), RGB(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(px.ColorAt(35, 14), RGB(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(px.ColorAt(10, 30), RGB(0x20, 0x40, 0xC0));  // corner keeps the background
    EXPECT_EQ(px.ColorAt(35, 35), RGB(0xE6, 0xE6, 0xE6));

    // Frame on: square at any height; the inside opaque under a translucent frame.
    CArea framed(&owner, 3, CRect(70, 10, 110, 60), 1, 1);
    framed.SetTransparent(0, 0, 0xFFFFFF);
    framed.SetFrame(1, Gdiplus::Color(0x80FF0000), 0);
    Draw(framed, canvas);
    px = canvas.Read();
    EXPECT_EQ(px.ColorAt(90, 35), RGB(255, 255, 255));
    const COLORREF corner = px.ColorAt(70, 10);
    EXPECT_GT(GetRValue(corner), 0x80);  // red blended over the blue
    EXPECT_GT(GetBValue(corner), 0x30);
    EXPECT_LT(GetBValue(corner), 0xC0);
    // Every setter asks for a repaint, changed or not.
    EXPECT_EQ(owner.updates.size(), 4u);
}

TEST(CRoundArea, TranslucentFillAndRoundSwitch)
{
    RecordingOwner owner;
    MemoryCanvas canvas(120, 80);
    canvas.Fill(kBlue);
    CRoundArea area(&owner, 1, CRect(10, 10, 110, 70), 1, 1);
    Draw(area, canvas);
    auto px = canvas.Read();
    const COLORREF centre = px.ColorAt(60, 40);
    // 0xC82B2B2B over the blue: mostly grey, some blue through.
    EXPECT_NE(centre, RGB(0x2B, 0x2B, 0x2B));
    EXPECT_GT(GetBValue(centre), 0x2B + 20);
    EXPECT_EQ(px.ColorAt(10, 10), RGB(0x20, 0x40, 0xC0));
    // SetRound(0) requests nothing; the next repaint draws square corners.
    owner.Clear();
    area.SetRound(0);
    EXPECT_TRUE(owner.updates.empty());
    area.m_bUpdate = 0;
    canvas.Fill(kBlue);
    Draw(area, canvas);
    EXPECT_EQ(canvas.Read().ColorAt(10, 10), centre);
    // Any non-zero value switches the rounding back on with the same radius:
    // the corners match the default ones whatever the value.
    auto corner = [&](int round) {
        area.SetRound(round);
        area.m_bUpdate = 0;
        canvas.Fill(kBlue);
        Draw(area, canvas);
        auto read = canvas.Read();
        std::vector<COLORREF> band;
        for (int y = 10; y < 32; ++y)
            for (int x = 10; x < 32; ++x) band.push_back(read.ColorAt(x, y));
        return band;
    };
    const std::vector<COLORREF> byDefault = corner(1);
    EXPECT_EQ(byDefault[0], RGB(0x20, 0x40, 0xC0));
    EXPECT_EQ(corner(3), byDefault);
    EXPECT_EQ(corner(40), byDefault);
    EXPECT_EQ(corner(-7), byDefault);
    EXPECT_NE(corner(0), byDefault);
    EXPECT_TRUE(owner.updates.empty());
    // Round on but narrower than 10: square.
    CRoundArea narrow(&owner, 2, CRect(0, 0, 8, 40), 1, 1);
    narrow.SetColor(Gdiplus::Color(0xFFFF0000));
    canvas.Fill(kBlue);
    Draw(narrow, canvas);
    EXPECT_EQ(canvas.Read().ColorAt(0, 0), RGB(255, 0, 0));
}

TEST(Buttons, LookFollowsStateAndCheck)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"looks", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    // face4.png: four 40 x 20 frames of distinct colours (frame i red 40 + 50 i).
    auto* button3 = static_cast<MButton3*>(dialog.GetPaintManager()->CreateControl(
        2, &dialog, L"MButton3", 1, CRect(0, 0, 40, 20), L"", 1, 1));
    ASSERT_EQ(button3, nullptr);  // the dialog's factory does not know MButton3
    MButton3 b3(&dialog, 1, CRect(0, 0, 40, 20), L"", 1, 1);
    b3.SetManager(dialog.GetPaintManager());
    ASSERT_EQ(b3.SetImage(L"face4.png", 4), 1);
    MemoryCanvas canvas(40, 20);
    auto redAt = [&](MControl& c) {
        canvas.Fill(0xFF000000);
        Draw(c, canvas);
        return GetRValue(canvas.Read().ColorAt(20, 10));
    };
    EXPECT_EQ(redAt(b3), 40);
    b3.SetCheck(1);
    EXPECT_EQ(redAt(b3), 140);  // checked: the pressed frame whatever the state
    b3.OnControlMouseMove(0, CPoint(5, 5));
    EXPECT_EQ(b3.m_nState, 1);
    EXPECT_EQ(redAt(b3), 140);

    CIconButton icon(&dialog, 2, CRect(0, 0, 40, 20), L"", 1, 1);
    icon.SetManager(dialog.GetPaintManager());
    ASSERT_EQ(icon.SetImage(L"face4.png", 4), 1);
    icon.SetControlCheck(1);  // down only: frame 1
    EXPECT_EQ(redAt(icon), 90);
    icon.SetCheck(1);  // checked: frame 3 in every state
    EXPECT_EQ(redAt(icon), 190);
    dialog.DestroyWindow();
}

// The upgrade button's red badge in its top-right corner while an upgrade is
// waiting; the download button's progress: the pressed face over the share
// done, the plain face over the rest. Setting the same value again repaints
// nothing.
TEST(UpgradeAndDownload, BadgeAndProgressAreDrawn)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"upgrade", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    RecordingOwner owner;
    MemoryCanvas canvas(40, 20);
    auto draw = [&](MControl& c) {
        c.m_bUpdate = 0;
        canvas.Fill(0xFF000000);
        Draw(c, canvas);
        return canvas.Read();
    };
    // face4.png: frame i has red 40 + 50 i.
    UpgradeButton upgrade(&owner, 1, CRect(0, 0, 40, 20), L"", 1, 1);
    upgrade.SetManager(dialog.GetPaintManager());
    ASSERT_EQ(upgrade.SetImage(L"face4.png", 4), 1);
    EXPECT_EQ(GetRValue(draw(upgrade).ColorAt(37, 8)), 40);
    owner.Clear();
    upgrade.SetUpgradeStatus(1);
    upgrade.SetUpgradeStatus(1);
    EXPECT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(upgrade.GetUpgradeStatus(), 1);
    const testutil::PixelBuffer badge = draw(upgrade);
    EXPECT_EQ(badge.ColorAt(37, 8), RGB(255, 0, 0));  // inside the dot, beside its "1"
    EXPECT_EQ(GetRValue(badge.ColorAt(10, 10)), 40);
    EXPECT_EQ(GetRValue(badge.ColorAt(20, 18)), 40);  // below the dot

    DownloadButton download(&owner, 2, CRect(0, 0, 40, 20), L"", 1, 1);
    download.SetManager(dialog.GetPaintManager());
    ASSERT_EQ(download.SetImage(L"face4.png", 4), 1);
    owner.Clear();
    download.SetDownloadProcess(25);
    download.SetDownloadProcess(25);
    EXPECT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].erase, 1);
    const testutil::PixelBuffer quarter = draw(download);
    EXPECT_EQ(GetRValue(quarter.ColorAt(4, 10)), 90);   // done: 0 to 10
    EXPECT_EQ(GetRValue(quarter.ColorAt(35, 10)), 40);  // still to come
    download.SetDownloadProcess(100);
    EXPECT_EQ(GetRValue(draw(download).ColorAt(35, 10)), 90);
    dialog.DestroyWindow();
}

TEST(Buttons, TranslucentFacesAreBlendedOnceWhereTheirPartsMeet)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"glass", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    // A 40 x 20 frame stretched to 100 x 30 in nine parts: every pixel of the
    // face is the same half grey over white, at the joins too.
    MButton button(&dialog, 1, CRect(0, 0, 100, 30), L"", 1, 1);
    button.SetManager(dialog.GetPaintManager());
    ASSERT_EQ(button.SetImage(L"glass4.png", 4), 1);
    MemoryCanvas canvas(100, 30);
    canvas.Fill(0xFFFFFFFF);
    Draw(button, canvas);
    auto px = canvas.Read();
    const COLORREF centre = px.ColorAt(50, 15);
    EXPECT_NEAR(GetRValue(centre), 127, 2);
    int uneven = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) uneven += px.ColorAt(x, y) != centre;
    EXPECT_EQ(uneven, 0);
    dialog.DestroyWindow();
}

TEST(Buttons, FrameCountsBelowOneCountAsOne)
{
    RecordingOwner owner;
    MButton button(&owner, 1, CRect(0, 0, 80, 30), L"", 1, 1);
    ASSERT_EQ(button.SetIconImage(L"icon3.png", 0), 1);
    EXPECT_EQ(button.m_nIconWidth, 72);
    EXPECT_EQ(button.m_nIconFrames, 1);
    ASSERT_EQ(button.SetIconImage(L"icon3.png", -4), 1);
    EXPECT_EQ(button.m_nIconWidth, 72);

    CIconButton icon(&owner, 2, CRect(0, 0, 80, 30), L"", 1, 1);
    ASSERT_EQ(icon.SetIconImage(L"icon3.png", 0), 1);
    EXPECT_EQ(icon.m_nIconWidth, 72);
    DownloadButton download(&owner, 3, CRect(0, 0, 80, 30), L"", 1, 1);
    ASSERT_EQ(download.SetIconImage(L"icon3.png", -1), 1);
    EXPECT_EQ(download.m_nIconWidth, 72);
    MEdit edit(&owner, 4, CRect(0, 0, 80, 30), L"", 1, 1);
    ASSERT_EQ(edit.SetIconImage(L"icon3.png", 0), 1);
    EXPECT_EQ(edit.m_nIconWidth, 72);

    CSwitchButton sw(&owner, 5, CRect(0, 0, 80, 30), 1, 1);
    EXPECT_EQ(sw.SetImage(L"icon3.png", L"icon3.png", 0), 1);
    EXPECT_EQ(sw.m_nOnWidth, 72);
    EXPECT_EQ(sw.m_nOffWidth, 72);
    EXPECT_EQ(sw.m_nFrameCount, 1);
    // A missing image still answers 1; that position draws nothing.
    EXPECT_EQ(sw.SetImage(L"missing.png", L"icon3.png", 3), 1);
    EXPECT_EQ(sw.m_pOnImage, nullptr);
    EXPECT_EQ(sw.m_nOffWidth, 24);
    EXPECT_EQ(button.SetIconImage(L"missing.png", 2), 0);
    EXPECT_EQ(button.m_pIconImage, nullptr);

    // The grouped buttons' faces (loaded through the window's engine).
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"frames", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    struct
    {
        const char* name;
        std::unique_ptr<MControlFont> button;
        std::function<int(MControlFont*, int)> setImage;
    } grouped[] = {
        {"CCheckButton", std::make_unique<CCheckButton>(&dialog, 6, CRect(0, 0, 80, 30), L"", 1, 1),
         [](MControlFont* b, int n) {
             return static_cast<CCheckButton*>(b)->SetImage(L"icon3.png", n);
         }},
        {"CRadioButton", std::make_unique<CRadioButton>(&dialog, 7, CRect(0, 0, 80, 30), L"", 1, 1),
         [](MControlFont* b, int n) {
             return static_cast<CRadioButton*>(b)->SetImage(L"icon3.png", n);
         }},
        {"KeyLayerButton",
         std::make_unique<KeyLayerButton>(&dialog, 8, CRect(0, 0, 80, 30), L"", 1, 1),
         [](MControlFont* b, int n) {
             return static_cast<KeyLayerButton*>(b)->SetImage(L"icon3.png", n);
         }},
        {"CSelectButton",
         std::make_unique<CSelectButton>(&dialog, 9, CRect(0, 0, 80, 30), L"", 1, 1),
         [](MControlFont* b, int n) {
             return static_cast<CSelectButton*>(b)->SetImage(L"icon3.png", n);
         }},
    };
    for (auto& g : grouped) {
        g.button->SetManager(dialog.GetPaintManager());
        for (int frames : {0, -3}) {
            SCOPED_TRACE(std::string(g.name) + " " + std::to_string(frames));
            ASSERT_EQ(g.setImage(g.button.get(), frames), 1);
            EXPECT_EQ(g.button->m_nFrameCount, 1);
            EXPECT_EQ(g.button->m_nFrameWidth, 72);
            EXPECT_EQ(g.button->m_nImageHeight, 24);
        }
    }
    for (auto& g : grouped) g.button.reset();
    dialog.DestroyWindow();
}
