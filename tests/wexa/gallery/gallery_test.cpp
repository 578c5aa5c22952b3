// What the list, menu, value, colour, combo and picture controls look like on
// the screen, with the combo box's drop-down open, compared with a stored
// reference picture.
//
// The test program runs alone (test.cmake). The reference,
// gallery_reference.png beside this file, changes only on purpose: run with
// KESTROVA_UPDATE_REFERENCE=1 to write the current picture there, look at it,
// and commit it. Every control and the drop-down are compared as regions of
// their own.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "CColorPalette.h"
#include "CirclePalette.h"
#include "ColorModel.h"
#include "ColorView.h"
#include "GifWriter.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MDialog.h"
#include "MLevelCtrl.h"
#include "MListBoxEx.h"
#include "MPalette.h"
#include "MPicture.h"
#include "MenuItem.h"
#include "ScreenshotCompare.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

namespace {

const int kLeft = 1100, kTop = 200, kWidth = 660, kHeight = 760;

using Gdiplus::Color;

void RoundRect(Gdiplus::Graphics& g, int x, int y, int w, int h, int r, Color fill, Color edge)
{
    Gdiplus::GraphicsPath path;
    path.AddArc(x, y, 2 * r, 2 * r, 180, 90);
    path.AddArc(x + w - 2 * r - 1, y, 2 * r, 2 * r, 270, 90);
    path.AddArc(x + w - 2 * r - 1, y + h - 2 * r - 1, 2 * r, 2 * r, 0, 90);
    path.AddArc(x, y + h - 2 * r - 1, 2 * r, 2 * r, 90, 90);
    path.CloseFigure();
    Gdiplus::SolidBrush brush(fill);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.FillPath(&brush, &path);
    Gdiplus::Pen pen(edge);
    g.DrawPath(&pen, &path);
}

// The skin images the gallery's controls use, drawn here.
void WriteSkins(const std::wstring& folder)
{
    // Combo face: four 60 x 30 frames (normal, hover, pressed, disabled) with a chevron.
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"combo_face.png", 240, 30, [](Gdiplus::Graphics& g) {
            const Color fills[4] = {Color(255, 255, 255, 255), Color(255, 240, 245, 255),
                                    Color(255, 226, 234, 252), Color(255, 236, 236, 236)};
            const Color edges[4] = {Color(255, 170, 178, 190), Color(255, 73, 119, 229),
                                    Color(255, 73, 119, 229), Color(255, 200, 200, 200)};
            for (int i = 0; i < 4; ++i) {
                RoundRect(g, i * 60, 0, 60, 30, 5, fills[i], edges[i]);
                Gdiplus::Pen arrow(i == 3 ? Color(255, 170, 170, 170) : Color(255, 80, 90, 110),
                                   2.0f);
                g.DrawLine(&arrow, i * 60 + 38, 12, i * 60 + 43, 17);
                g.DrawLine(&arrow, i * 60 + 43, 17, i * 60 + 48, 12);
            }
        }));
    // List cells, one cell large: normal, hover, selected.
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"list_cell.png", 390, 50, [](Gdiplus::Graphics& g) {
        RoundRect(g, 0, 0, 130, 50, 8, Color(255, 236, 239, 244), Color(255, 200, 206, 216));
        RoundRect(g, 130, 0, 130, 50, 8, Color(255, 222, 231, 250), Color(255, 150, 175, 235));
        RoundRect(g, 260, 0, 130, 50, 8, Color(255, 73, 119, 229), Color(255, 50, 90, 200));
    }));
    // Progress bar track and fill.
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"progress_bg.png", 40, 14, [](Gdiplus::Graphics& g) {
            RoundRect(g, 0, 0, 40, 14, 6, Color(255, 225, 229, 236), Color(255, 205, 210, 220));
        }));
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"progress_fg.png", 40, 14, [](Gdiplus::Graphics& g) {
            RoundRect(g, 0, 0, 40, 14, 6, Color(255, 73, 119, 229), Color(255, 60, 100, 210));
        }));
    // Saturation thumb: four 8 x 12 frames, a small arrow pointing left.
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"img_palette_thumb.png", 32, 12, [](Gdiplus::Graphics& g) {
            for (int i = 0; i < 4; ++i) {
                Gdiplus::Point pts[3] = {Gdiplus::Point(i * 8, 6), Gdiplus::Point(i * 8 + 7, 0),
                                         Gdiplus::Point(i * 8 + 7, 11)};
                Gdiplus::SolidBrush b(Color(255, 60, 66, 80));
                g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
                g.FillPolygon(&b, pts, 3);
            }
        }));
    // Colour wheel: hue around, white at the centre.
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"color_wheel.png", 100, 100, [](Gdiplus::Graphics& g) {
            Gdiplus::Bitmap wheel(100, 100, PixelFormat32bppARGB);
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x) {
                    const double dx = x - 49.5, dy = y - 49.5;
                    const double r = std::sqrt(dx * dx + dy * dy) / 49.5;
                    if (r > 1.0) {
                        wheel.SetPixel(x, y, Color(0, 0, 0, 0));
                        continue;
                    }
                    double hue = std::atan2(dy, dx) / (2 * M_PI);
                    if (hue < 0) hue += 1;
                    const COLORREF c = WEXA::HslToRgb(static_cast<float>(hue), 1.0f,
                                                      static_cast<float>(1.0 - 0.5 * r));
                    const BYTE a = r > 0.98 ? static_cast<BYTE>(255 * (1.0 - r) / 0.02) : 255;
                    wheel.SetPixel(x, y, Color(a, GetRValue(c), GetGValue(c), GetBValue(c)));
                }
            g.DrawImage(&wheel, 0, 0, 100, 100);
        }));
    // A landscape for the pictures: sky, sun, hills.
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"landscape.png", 120, 80, [](Gdiplus::Graphics& g) {
        Gdiplus::LinearGradientBrush sky(Gdiplus::Point(0, 0), Gdiplus::Point(0, 80),
                                         Color(255, 96, 150, 230), Color(255, 200, 225, 250));
        g.FillRectangle(&sky, 0, 0, 120, 80);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush sun(Color(255, 255, 205, 60));
        g.FillEllipse(&sun, 78, 12, 22, 22);
        Gdiplus::SolidBrush farHill(Color(255, 92, 160, 100));
        g.FillEllipse(&farHill, -30, 48, 110, 70);
        Gdiplus::SolidBrush nearHill(Color(255, 58, 128, 72));
        g.FillEllipse(&nearHill, 40, 56, 120, 60);
    }));
    // Photo frame: a rounded border with a transparent middle.
    ASSERT_TRUE(
        testutil::WriteSkinPng(folder, L"photo_frame.png", 40, 40, [](Gdiplus::Graphics& g) {
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            Gdiplus::Pen pen(Color(255, 250, 250, 250), 5.0f);
            g.DrawRectangle(&pen, 2, 2, 35, 35);
            Gdiplus::Pen edge(Color(255, 150, 158, 170), 1.0f);
            g.DrawRectangle(&edge, 0, 0, 39, 39);
        }));
}

class Gallery : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(246, 247, 250), RGB(180, 186, 196));

        view = new WEXA::ColorView(this, 10, CRect(10, 10, 250, 192), 1, 1);
        Adopt(view);
        view->InitColorView();

        palette = dynamic_cast<WEXA::MPalette*>(
            CreateControl(L"MPalette", 11, CRect(262, 16, 495, 166), L"", 1, 1));
        palette->SetThumbImage(L"img_palette_thumb.png");
        palette->SetSelectColor(RGB(230, 90, 40));

        wheel = dynamic_cast<WEXA::CirclePalette*>(
            CreateControl(L"CirclePalette", 12, CRect(520, 16, 620, 116), L"", 1, 1));
        wheel->SetImage(L"color_wheel.png", 1);
        wheel->SetControlRect(CRect(520, 16, 620, 116));

        auto* swatch = new WEXA::CColorCombo(this, 13, CRect(520, 130, 560, 156), 1, 1);
        Adopt(swatch);
        swatch->SetAreaColor(Color(0xFE4977E5));
        auto* off = new WEXA::CColorCombo(this, 14, CRect(575, 130, 615, 156), 1, 1);
        Adopt(off);
        off->SetAreaColor(Color(0xFEE0E0E0));
        off->SetControlEnabled(0);

        list = new WEXA::MListBoxEx(this, 20, CRect(10, 205, 280, 320), 1, 1);
        Adopt(list);
        list->SetImage(L"list_cell.png", 3);
        list->SetTextColor(Color(0xFF333333));
        const wchar_t* names[] = {L"Profile 1", L"Gaming", L"Office", L"Music"};
        for (int i = 0; i < 4; ++i) list->AddItem(CString(names[i]), i + 1, CString());
        list->SetAllItemHeight(105);
        list->SetSelectItem(1);

        const wchar_t* entries[] = {L"Import profile", L"Export profile", L"Delete profile"};
        for (int i = 0; i < 3; ++i) {
            auto* item = dynamic_cast<WEXA::MenuItem*>(
                CreateControl(L"MenuItem", 30 + i, CRect(290, 205 + 32 * i, 450, 235 + 32 * i),
                              entries[i], 1, 1));
            items[i] = item;
        }
        items[2]->SetControlEnabled(0);

        level = dynamic_cast<WEXA::MLevelCtrl*>(
            CreateControl(L"MLevelCtrl", 40, CRect(462, 205, 650, 245), L"", 1, 1));
        level->SetTitle(L"Level ");
        level->SetTextColor(Color(0xFF333333));
        level->SetLevelValue(9);

        line = dynamic_cast<WEXA::MProgress*>(
            CreateControl(L"MProgress", 41, CRect(462, 252, 650, 274), L"", 1, 1));
        line->EnableShowText(1);
        line->SetTextColor(Color(0xFF333333));
        line->SetProgress(60);
        imaged = dynamic_cast<WEXA::MProgress*>(
            CreateControl(L"MProgress", 42, CRect(462, 284, 650, 298), L"", 1, 1));
        imaged->SetBackGroundImage(CString(L"progress_bg.png"));
        imaged->SetForeGroundImage(CString(L"progress_fg.png"));
        imaged->SetProgress(35);

        combo = dynamic_cast<WEXA::MComboBox*>(
            CreateControl(L"MComboBox", 50, CRect(462, 312, 650, 342), L"", 1, 1));
        combo->SetImage(L"combo_face.png", 4);
        combo->SetTextColor(Color(0xFF333333));
        const wchar_t* modes[] = {L"Static", L"Breathing", L"Wave",
                                  L"Ripple", L"Reactive",  L"Spectrum"};
        for (int i = 0; i < 6; ++i) combo->AddItem(modes[i], i);
        combo->SetCurSel(1);

        auto* picture = dynamic_cast<WEXA::MPicture*>(
            CreateControl(L"MPicture", 60, CRect(10, 335, 130, 415), L"", 1, 1));
        picture->SetImage(L"landscape.png", 1);
        picture->SetShowMode(WEXA::SHOW_MODE_STRETCH, 0);
        auto* tiled = dynamic_cast<WEXA::MPicture*>(
            CreateControl(L"MPicture", 61, CRect(10, 425, 280, 545), L"", 1, 1));
        tiled->SetImage(L"landscape.png", 1);
        tiled->SetShowMode(WEXA::SHOW_MODE_TILE, 0);

        auto* photo = dynamic_cast<WEXA::CPhotoFrame*>(
            CreateControl(L"CPhotoFrame", 62, CRect(140, 335, 260, 415), L"", 1, 1));
        photo->SetPhotoFrame(L"landscape.png", 1);
        photo->SetShowMode(WEXA::SHOW_MODE_STRETCH, 0);
        photo->SetImage(L"photo_frame.png", 1);

        slider = dynamic_cast<WEXA::CSliderPicture*>(
            CreateControl(L"CSliderPicture", 63, CRect(290, 335, 410, 415), L"", 1, 1));
        slider->SetImage(L"landscape.png", 1);
        slider->SetShowMode(WEXA::SHOW_MODE_STRETCH, 0);
        slider->SetRun(1, WEXA::SLIDER_MODE_LEFT);
        for (int i = 0; i < 60; ++i) slider->OnControlTimer();

        gif = dynamic_cast<WEXA::CGifPicture*>(
            CreateControl(L"CGifPicture", 64, CRect(310, 445, 390, 525), L"", 1, 1));
        gif->SetImageFile(gifPath.c_str());
        gif->SetRunState(0, 2);

        picker = dynamic_cast<WEXA::CColorPalette*>(
            CreateControl(L"CColorPalette", 70, CRect(12, 565, 342, 745), L"", 1, 1));
        picker->SetTextColor(Color(0xFF333333));
        // A colour typed into the hex field reaches every part of the picker.
        picker->m_pHex->SetEditText(L"4977E5");
        picker->OnMessage(657, 26, 0, 0);
        column = dynamic_cast<WEXA::CColorSelect*>(
            CreateControl(L"CColorSelect", 71, CRect(360, 565, 390, 745), L"", 1, 1));
        column->SetColorIndex(2);
    }

    void Adopt(WEXA::MControl* control)
    {
        m_pm.m_controls.push_back(control);
        control->SetManager(&m_pm);
    }

    std::wstring gifPath;
    WEXA::ColorView* view = nullptr;
    WEXA::MPalette* palette = nullptr;
    WEXA::CirclePalette* wheel = nullptr;
    WEXA::MListBoxEx* list = nullptr;
    WEXA::MenuItem* items[3] = {};
    WEXA::MLevelCtrl* level = nullptr;
    WEXA::MProgress* line = nullptr;
    WEXA::MProgress* imaged = nullptr;
    WEXA::MComboBox* combo = nullptr;
    WEXA::CSliderPicture* slider = nullptr;
    WEXA::CGifPicture* gif = nullptr;
    WEXA::CColorPalette* picker = nullptr;
    WEXA::CColorSelect* column = nullptr;
};

void Settle(DWORD ms)
{
    const DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > ms; }, ms + 500);
}

TEST(Gallery, EveryControlWithTheDropDownOpen)
{
    const std::wstring folder = testutil::UseTestSkinFolder(L"gallery_test");
    WriteSkins(folder);
    Gallery dlg;
    dlg.gifPath = folder + L"gallery.gif";
    // A loading spinner: a ring of eight dots, one of them lit per frame.
    {
        const int size = 40;
        testutil::GifPalette palette;
        const unsigned char colours[12] = {246, 247, 250, 200, 206, 216,
                                           73,  119, 229, 246, 247, 250};
        std::copy(colours, colours + 12, palette.rgb);
        std::vector<testutil::GifFrame> frames;
        for (int f = 0; f < 8; ++f) {
            testutil::GifFrame frame{0, 8};
            frame.pixels.assign(size * size, 0);
            for (int d = 0; d < 8; ++d) {
                const double a = d * M_PI / 4;
                const double cx = 20 + 13 * std::cos(a), cy = 20 + 13 * std::sin(a);
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x)
                        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 12.0)
                            frame.pixels[y * size + x] = d == f ? 2 : 1;
            }
            frames.push_back(frame);
        }
        ASSERT_TRUE(testutil::WriteGif(dlg.gifPath, size, size, frames, palette));
    }
    // The real pointer rests off the window, wherever an earlier program left
    // it: the hovers below are the only ones.
    SetCursorPos(kLeft + kWidth + 50, kTop + kHeight + 50);
    ASSERT_NE(dlg.Create(nullptr, L"gallery", WS_POPUP | WS_VISIBLE, 0,
                         CRect(kLeft, kTop, kLeft + kWidth, kTop + kHeight), nullptr),
              nullptr);
    HWND hwnd = dlg.GetSafeHwnd();
    UpdateWindow(hwnd);
    // The pointer rests on the second menu entry and the third list cell.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(320, 252));
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 280));
    // A click on the combo box opens its drop-down.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(500, 325));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(500, 325));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(500, 325));
    ASSERT_NE(dlg.combo->GetDropDown(), nullptr);
    HWND drop = dlg.combo->GetDropDown()->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(drop));
    // The pointer over the drop-down's third row, once the rows have their places.
    UpdateWindow(drop);
    SendMessageW(drop, WM_MOUSEMOVE, 0, MAKELPARAM(40, 3 + 72 + 18));
    UpdateWindow(drop);
    // And, as the pointer left them, a menu entry and a list cell show their hover look.
    dlg.items[1]->OnControlMouseMove(0, CPoint(320, 252));
    dlg.list->OnControlMouseMove(0, CPoint(40, 280));
    UpdateWindow(hwnd);
    Settle(300);

    RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(dlg.GetPaintManager(), hwnd, area);
    compare.AddWindow("drop-down", drop, area);
    dlg.DestroyWindow();
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "gallery_reference.png")));
}

}  // namespace
