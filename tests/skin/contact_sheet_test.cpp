// A contact sheet of every picture the build makes for the skin: each image's
// frames side by side at their frame size, on the surface the program shows them
// on, under the file's name; the device card pictures and the stock LCD
// animations below. The sheet is saved as skin_contact_sheet.png in the build
// folder (look at it) and compared with contact_sheet_reference.png beside this
// file, each picture with its own budget. The reference changes only on
// purpose: run the test with KESTROVA_UPDATE_REFERENCE=1 to write the current
// sheet there, look at it, and commit it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MRender.h"
#include "ScreenshotCompare.h"
#include "SkinList.h"
#include "WexaGdiplus.h"

namespace {

using skintest::BesideExe;

const int kSheetWidth = 1480;
const int kMargin = 16;
const int kGap = 6;
const int kLabel = 18;

// Pictures that sit on the dark title bar or the dark stage; the rest sit on
// light surfaces.
bool OnDark(const std::string& file)
{
    static const char* const dark[] = {"main_sysbtn_", "logo/logo.png", "icon/icon_file.png",
                                       "img_area", "gif/"};
    for (const char* d : dark)
        if (file.find(d) != std::string::npos) return true;
    return false;
}

struct Cell
{
    std::string file;
    std::string label;
    std::unique_ptr<Gdiplus::Image> image;
    HICON icon = nullptr;
    int frameWidth = 0, frameHeight = 0, frames = 1;
    bool gif = false;
    int x = 0, y = 0, width = 0, height = 0;
};

std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

std::vector<Cell> Cells()
{
    std::vector<Cell> cells;
    auto add = [&](const std::string& file, int fw, int fh, int frames) {
        Cell c;
        c.file = file;
        c.label = file.rfind("skins/theme1/", 0) == 0 ? file.substr(13) : file;
        c.frameWidth = fw;
        c.frameHeight = fh;
        c.frames = frames;
        const std::wstring path = BesideExe(file);
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".ico") == 0) {
            c.icon = static_cast<HICON>(
                LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
            c.frameWidth = c.frameHeight = 32;
        } else {
            c.image = std::make_unique<Gdiplus::Image>(path.c_str());
            if (c.image->GetLastStatus() != Gdiplus::Ok) c.image.reset();
            c.gif = file.size() > 4 && file.compare(file.size() - 4, 4, ".gif") == 0;
            if (c.image && fw == 0) {
                c.frameWidth = static_cast<int>(c.image->GetWidth());
                c.frameHeight = static_cast<int>(c.image->GetHeight());
            }
        }
        // A long animation shows its first frames only.
        if (c.gif && c.frameWidth * c.frames > kSheetWidth - 2 * kMargin)
            c.frames = std::max(1, (kSheetWidth - 2 * kMargin) / (c.frameWidth + kGap));
        c.width = std::max(c.frames * (c.frameWidth + kGap) - kGap, 150);
        c.height = c.frameHeight + kLabel;
        cells.push_back(std::move(c));
    };
    for (const auto& im : skintest::SkinImages())
        add(im.file, im.frameWidth, im.frameHeight, im.frames);
    for (const auto& file : skintest::DevicePictures()) add(file, 0, 0, 1);
    for (const auto& model : skintest::LcdModels())
        for (int n = 0; n < model.slots; ++n)
            add("gif/" + model.name + "/" + std::to_string(n) + ".gif", model.width, model.height,
                8);
    return cells;
}

// Places the cells in rows, left to right; returns the sheet's height.
int Layout(std::vector<Cell>& cells)
{
    int x = kMargin, y = kMargin, rowHeight = 0;
    for (auto& c : cells) {
        if (x > kMargin && x + c.width > kSheetWidth - kMargin) {
            x = kMargin;
            y += rowHeight + 2 * kGap;
            rowHeight = 0;
        }
        c.x = x;
        c.y = y;
        x += c.width + 3 * kGap;
        rowHeight = std::max(rowHeight, c.height);
    }
    return y + rowHeight + kMargin;
}

void DrawSheet(Gdiplus::Bitmap& sheet, std::vector<Cell>& cells)
{
    Gdiplus::Graphics g(&sheet);
    g.Clear(Gdiplus::Color(255, 200, 205, 214));
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    Gdiplus::PrivateFontCollection fonts;
    fonts.AddFontFile(BesideExe("fonts/Roboto-Regular.ttf").c_str());
    Gdiplus::FontFamily family;
    int found = 0;
    fonts.GetFamilies(1, &family, &found);
    Gdiplus::Font font(found ? &family : Gdiplus::FontFamily::GenericSansSerif(), 11,
                       Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush ink(Gdiplus::Color(255, 45, 51, 71));
    Gdiplus::SolidBrush missing(Gdiplus::Color(255, 229, 72, 77));
    Gdiplus::SolidBrush light(Gdiplus::Color(255, 244, 246, 250));
    Gdiplus::SolidBrush dark(Gdiplus::Color(255, 28, 33, 48));
    for (auto& c : cells) {
        std::wstring label = Widen(c.label);
        if (c.frames > 1) label += L"  \u00d7" + std::to_wstring(c.frames);
        g.DrawString(label.c_str(), -1, &font,
                     Gdiplus::PointF(static_cast<float>(c.x), static_cast<float>(c.y)),
                     c.image || c.icon ? &ink : &missing);
        const int top = c.y + kLabel;
        g.FillRectangle(OnDark(c.file) ? &dark : &light, c.x - 3, top - 3, c.width + 6,
                        c.frameHeight + 6);
        if (c.icon) {
            HDC dc = g.GetHDC();
            DrawIconEx(dc, c.x, top, c.icon, 32, 32, 0, nullptr, DI_NORMAL);
            DrawIconEx(dc, c.x + 44, top + 8, c.icon, 16, 16, 0, nullptr, DI_NORMAL);
            g.ReleaseHDC(dc);
            continue;
        }
        if (!c.image) continue;
        GUID time = Gdiplus::FrameDimensionTime;
        for (int i = 0; i < c.frames; ++i) {
            const int x = c.x + i * (c.frameWidth + kGap);
            if (c.gif) {
                c.image->SelectActiveFrame(&time, static_cast<UINT>(i));
                g.DrawImage(c.image.get(), Gdiplus::Rect(x, top, c.frameWidth, c.frameHeight), 0, 0,
                            c.frameWidth, c.frameHeight, Gdiplus::UnitPixel);
            } else {
                g.DrawImage(c.image.get(), Gdiplus::Rect(x, top, c.frameWidth, c.frameHeight),
                            i * c.frameWidth, 0, c.frameWidth, c.frameHeight, Gdiplus::UnitPixel);
            }
        }
    }
    for (auto& c : cells)
        if (c.icon) DestroyIcon(c.icon);
}

// The sheet's pixels, as the screenshot comparison takes them.
testutil::PixelBuffer Pixels(Gdiplus::Bitmap& bitmap)
{
    testutil::PixelBuffer out;
    out.width = static_cast<int>(bitmap.GetWidth());
    out.height = static_cast<int>(bitmap.GetHeight());
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    Gdiplus::BitmapData data;
    Gdiplus::Rect all(0, 0, out.width, out.height);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return {};
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) +
                                                            static_cast<size_t>(y) * data.Stride);
        for (int x = 0; x < out.width; ++x)
            out.pixels[static_cast<size_t>(y) * out.width + x] = row[x] | 0xFF000000;
    }
    bitmap.UnlockBits(&data);
    return out;
}

TEST(ContactSheet, EverySkinPictureMatchesTheReference)
{
    std::vector<Cell> cells = Cells();
    for (const auto& c : cells) EXPECT_TRUE(c.image || c.icon) << c.file << " does not load";

    const int height = Layout(cells);
    Gdiplus::Bitmap bitmap(kSheetWidth, height, PixelFormat32bppARGB);
    DrawSheet(bitmap, cells);
    const testutil::PixelBuffer sheet = Pixels(bitmap);
    ASSERT_EQ(sheet.height, height);
    ASSERT_TRUE(testutil::SavePng(sheet, BesideExe("skin_contact_sheet.png")));

    // Each picture is a region of its own, so one changed picture fails the
    // comparison even where the whole sheet's budget would hide it.
    testutil::ScreenshotCompare compare;
    for (const auto& c : cells)
        compare.AddRegion(c.file, RECT{c.x - 3, c.y + kLabel - 3, c.x + c.width + 3,
                                       c.y + kLabel + c.frameHeight + 3});
    EXPECT_TRUE(compare.MatchesReference(
        sheet, testutil::TestSourceFile(TEST_SOURCE_DIR, "contact_sheet_reference.png")))
        << "see skin_contact_sheet.png in the build folder";
}

}  // namespace
