// What the LCD page's widgets look like on the screen: the frame editor with
// a picture, a text and a stroke, the frame strip, the animation list, the
// slot grid and the three colour palettes, compared with a stored reference.
//
// The test program runs alone (test.cmake). The reference,
// lcd_reference.png beside this file, changes only on purpose: run with
// KESTROVA_UPDATE_REFERENCE=1 to write the current picture there, look at it,
// and commit it. Every control is compared as a region of its own.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "ImageView.h"
#include "ImageViewList.h"
#include "LCDPalette.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "MDialog.h"
#include "Manager.h"
#include "ScreenshotCompare.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

namespace {

const int kLeft = 900, kTop = 120, kWidth = 960, kHeight = 640;

using Gdiplus::Color;

// A small LCD picture: a night sky over hills with a moon, and a label band.
void DrawFrame(Gdiplus::Graphics& g, int w, int h, int variant)
{
    const Color skies[3][2] = {{Color(255, 20, 30, 80), Color(255, 90, 60, 160)},
                               {Color(255, 240, 120, 60), Color(255, 250, 210, 120)},
                               {Color(255, 20, 110, 160), Color(255, 150, 220, 240)}};
    Gdiplus::LinearGradientBrush sky(Gdiplus::Point(0, 0), Gdiplus::Point(0, h), skies[variant][0],
                                     skies[variant][1]);
    g.FillRectangle(&sky, 0, 0, w, h);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::SolidBrush moon(Color(255, 255, 236, 160));
    g.FillEllipse(&moon, w * 7 / 10, h / 8, h / 4, h / 4);
    Gdiplus::SolidBrush farHill(Color(255, 40, 90, 70));
    g.FillEllipse(&farHill, -w / 4, h / 2, w * 3 / 4, h);
    Gdiplus::SolidBrush nearHill(Color(255, 25, 60, 50));
    g.FillEllipse(&nearHill, w / 3, h * 3 / 5, w, h);
}

std::wstring Scratch()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"lcd screens \u5e27\\";
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

class LcdPage : public WEXA::MDialog
{
public:
    std::wstring folder;
    WEXA::ImageView* editor = nullptr;
    WEXA::ImageViewList* strip = nullptr;
    WEXA::LCDViewList* layers = nullptr;
    WEXA::LCDViewCtrl* slots = nullptr;
    WEXA::LCDPalette* bar = nullptr;
    WEXA::LCDPalette2* hue = nullptr;
    WEXA::LCDPalette3* shade = nullptr;

    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(243, 245, 249), RGB(180, 186, 196));
        const std::wstring frames[3] = {folder + L"0.png", folder + L"1.png", folder + L"2.png"};

        editor = new WEXA::ImageView(this, 377, CRect(20, 20, 500, 290), 1, 1);
        Adopt(editor);
        editor->SetFont(L"Roboto", 28, Gdiplus::FontStyleBold);
        editor->SetImage(frames[0].c_str());
        editor->SetColorValue(RGB(255, 255, 255));
        editor->AddText(L"Kestrova");
        editor->SetColorValue(RGB(255, 200, 40));
        editor->SetPenSize(4);
        editor->OnControlLButtonDown(MK_LBUTTON, CPoint(120, 230));
        editor->OnControlMouseMove(MK_LBUTTON, CPoint(170, 210));
        editor->OnControlMouseMove(MK_LBUTTON, CPoint(230, 240));
        editor->OnControlMouseMove(MK_LBUTTON, CPoint(290, 215));
        editor->OnControlLButtonUp(0, CPoint(290, 215));
        editor->SetShowGridLine(1);

        strip = new WEXA::ImageViewList(this, 381, CRect(20, 310, 640, 450), 1);
        Adopt(strip);
        strip->SetFont(L"Roboto", 15, Gdiplus::FontStyleRegular);
        const int delays[3] = {50, 120, 300};
        for (int i = 0; i < 3; ++i)
            strip->AddString(CString(frames[i].c_str()), delays[i], i, L"frame");
        strip->SetCurSel(1);

        layers = new WEXA::LCDViewList(this, 380, CRect(520, 20, 725, 290), 1);
        Adopt(layers);
        layers->SetFont(L"Roboto", 14, Gdiplus::FontStyleRegular);
        layers->SetTextColor(Color(0xFFFFFFFF));
        layers->SetTitle(L"Frames");
        layers->AddString(L"a", CString(frames[1].c_str()), 12, 1);
        layers->AddString(L"b", CString(frames[2].c_str()), 3, 2);
        layers->SetCurSel(0);

        slots = new WEXA::LCDViewCtrl(this, 390, CRect(745, 20, 947, 340), 1);
        Adopt(slots);
        slots->SetFont(L"Roboto", 12, Gdiplus::FontStyleBold);
        for (int i = 0; i < 5; ++i)
            slots->AddItem(CString(frames[i % 3].c_str()), L"Slot", L"Frames: 3");
        slots->SetCurSel(2);

        bar = new WEXA::LCDPalette(this, 398, CRect(20, 470, 400, 530), 1);
        Adopt(bar);
        bar->OnControlLButtonDown(MK_LBUTTON, CPoint(20 + 10 + 210, 475));
        bar->OnControlLButtonUp(0, CPoint(20 + 10 + 210, 475));

        hue = new WEXA::LCDPalette2(this, 397, CRect(420, 470, 790, 520), 1);
        Adopt(hue);
        hue->SetImage(L"icon/icon_palette_bar1.png", 1);
        hue->SetHuePos(240);

        shade = new WEXA::LCDPalette3(this, 396, CRect(420, 540, 790, 600), 1);
        Adopt(shade);
        shade->SetImage(L"icon/icon_palette_bar2.png", 1);
        shade->SetSelectColor(hue->GetSelectColor());
        shade->OnControlLButtonUp(0, CPoint(420 + 120, 570));
    }

    void Adopt(WEXA::MControl* control)
    {
        m_pm.m_controls.push_back(control);
        control->SetManager(&m_pm);
    }
};

void Settle(DWORD ms)
{
    const DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > ms; }, ms + 500);
}

TEST(LcdScreens, EditorListsAndPalettes)
{
    WEXA::Manager::SetDeviceName(L"LcdScreens");
    LcdPage page;
    page.folder = Scratch();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(testutil::WriteSkinPng(
            page.folder, (std::to_wstring(i) + L".png").c_str(), i == 0 ? 480 : 240,
            i == 0 ? 270 : 135, [i](Gdiplus::Graphics& g) {
                DrawFrame(g, i == 0 ? 480 : 240, i == 0 ? 270 : 135, i);
            }));
    ASSERT_NE(page.Create(nullptr, L"lcd", WS_POPUP | WS_VISIBLE, 0,
                          CRect(kLeft, kTop, kLeft + kWidth, kTop + kHeight), nullptr),
              nullptr);
    HWND hwnd = page.GetSafeHwnd();
    UpdateWindow(hwnd);
    Settle(200);
    // Hover the second animation and the strip's first card.
    page.layers->OnControlMouseMove(0, CPoint(600, 200));
    page.strip->OnControlMouseMove(0, CPoint(60, 360));
    UpdateWindow(hwnd);
    Settle(300);

    RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(page.GetPaintManager(), hwnd, area);
    page.DestroyWindow();
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "lcd_reference.png")));
}

}  // namespace
