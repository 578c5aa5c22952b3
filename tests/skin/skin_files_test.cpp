// Every picture the build makes from data/skins/ is beside the executable with the
// size and frame count its list gives: the skin theme's images (state strips are
// frame width x frames wide), the device card pictures, the stock LCD animations,
// and the tray icon that the program loads as an icon.
#include <gtest/gtest.h>

#include <memory>

#include "MRender.h"
#include "Manager.h"
#include "SkinList.h"
#include "WexaGdiplus.h"

namespace {

using skintest::BesideExe;

bool EndsWith(const std::string& s, const char* tail)
{
    std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

int GifFrameCount(Gdiplus::Image& image)
{
    GUID time = Gdiplus::FrameDimensionTime;
    return static_cast<int>(image.GetFrameCount(&time));
}

TEST(SkinFiles, ListIsWellFormed)
{
    auto images = skintest::SkinImages();
    ASSERT_GT(images.size(), 0u);
    for (const auto& im : images) {
        EXPECT_GT(im.frameWidth, 0) << im.file;
        EXPECT_GT(im.frameHeight, 0) << im.file;
        EXPECT_GT(im.frames, 0) << im.file;
        EXPECT_EQ(im.file.find('\\'), std::string::npos) << im.file << ": use '/'";
    }
}

TEST(SkinFiles, EveryListedImageHasItsSizeAndFrames)
{
    for (const auto& im : skintest::SkinImages()) {
        SCOPED_TRACE(im.file);
        const std::wstring path = BesideExe(im.file);
        ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "missing";
        if (EndsWith(im.file, ".ico")) {
            HICON icon = WEXA::MRender::LoadIconFromFile(path.c_str());
            EXPECT_NE(icon, nullptr) << "not an icon";
            if (icon) DestroyIcon(icon);
            continue;
        }
        Gdiplus::Image image(path.c_str());
        ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok) << "does not load";
        if (EndsWith(im.file, ".gif")) {
            EXPECT_EQ(static_cast<int>(image.GetWidth()), im.frameWidth);
            EXPECT_EQ(static_cast<int>(image.GetHeight()), im.frameHeight);
            EXPECT_EQ(GifFrameCount(image), im.frames);
        } else {
            EXPECT_EQ(static_cast<int>(image.GetWidth()), im.frameWidth * im.frames);
            EXPECT_EQ(static_cast<int>(image.GetHeight()), im.frameHeight);
        }
    }
}

TEST(SkinFiles, DevicePicturesLoad)
{
    auto pictures = skintest::DevicePictures();
    ASSERT_GT(pictures.size(), 0u);
    for (const auto& file : pictures) {
        SCOPED_TRACE(file);
        Gdiplus::Image image(BesideExe(file).c_str());
        ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok);
        // Wider than high, and larger than the card's 10-pixel stretch threshold.
        EXPECT_GT(image.GetWidth(), image.GetHeight());
        EXPECT_GT(image.GetHeight(), 10u);
    }
}

TEST(SkinFiles, StockLcdAnimationsPerSlot)
{
    for (const auto& model : skintest::LcdModels()) {
        for (int n = 0; n < model.slots; ++n) {
            std::string file = "gif/" + model.name + "/" + std::to_string(n) + ".gif";
            SCOPED_TRACE(file);
            Gdiplus::Image image(BesideExe(file).c_str());
            ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok);
            EXPECT_EQ(static_cast<int>(image.GetWidth()), model.width);
            EXPECT_EQ(static_cast<int>(image.GetHeight()), model.height);
            EXPECT_GT(GifFrameCount(image), 1);
        }
    }
}

TEST(SkinFiles, SourcesStayOutOfTheProgramFolder)
{
    for (const char* file :
         {"skins/generate_skin.py", "skins/skin_art.py", "skins/skinlib.py",
          "skins/theme1_images.txt", "skins/DEVICE_PICTURES.txt", "skins/lcd_models.txt"})
        EXPECT_EQ(GetFileAttributesW(BesideExe(file).c_str()), INVALID_FILE_ATTRIBUTES) << file;
}

TEST(SkinFiles, ProgramCarriesItsIcon)
{
    HMODULE exe =
        LoadLibraryExW(BesideExe("Kestrova.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HICON icon = static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    FreeLibrary(exe);
}

}  // namespace

namespace {

// The backgrounds of the layered dialogs (message box, update progress, wait
// spinner) cover their whole window, and no pixel is half transparent: shown
// without a compositor such a pixel goes to the screen as stored, so a soft
// shadow or a smoothed rounding turns into a black fringe, and a transparent
// margin shows the window behind. Only the rounded corners may be cut away.
TEST(SkinFiles, LayeredDialogBackgroundsFillTheWindowWithoutHalfTransparency)
{
    struct Case
    {
        const char* file;
        int corner;  // size of the corner squares the rounding lies in
    };
    const Case cases[] = {{"skins/theme1/bk_msgbox.png", 12}, {"skins/theme1/loading.png", 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Gdiplus::Bitmap bitmap(BesideExe(c.file).c_str());
        ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
        const int w = int(bitmap.GetWidth()), h = int(bitmap.GetHeight());
        int halfTransparent = 0, cutOutsideCorners = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Gdiplus::Color pixel;
                bitmap.GetPixel(x, y, &pixel);
                const int alpha = pixel.GetAlpha();
                if (alpha != 0 && alpha != 255 && ++halfTransparent <= 3)
                    ADD_FAILURE() << "alpha " << alpha << " at " << x << "," << y;
                const bool inCorner =
                    (x < c.corner || x >= w - c.corner) && (y < c.corner || y >= h - c.corner);
                if (alpha != 255 && !inCorner && ++cutOutsideCorners <= 3)
                    ADD_FAILURE() << "not covered at " << x << "," << y;
            }
        EXPECT_EQ(halfTransparent, 0);
        EXPECT_EQ(cutOutsideCorners, 0);
    }
}

// The program writes skin names with backslashes, with single and doubled
// forward slashes; each form reaches the built file through the library's skin
// folder and loader.
TEST(SkinFiles, NamesAsTheProgramWritesThemLoadFromTheSkinFolder)
{
    const CString previous = WEXA::Manager::GetThemeSkins();
    WEXA::Manager::SetThemeSkins(L"theme1\\");
    const wchar_t* const names[] = {
        L"img_button.png",         L"icon\\icon_devicestatus.png",
        L"icon//icon_pc.png",      L"icon/icon_palette_bar1.png",
        L"logo\\logo.png",         L"loading\\loading.gif",
        L"logo\\logo_loading.png", L"home_bg.gif",
        L"DeviceDriver.ico",
    };
    for (const wchar_t* name : names) {
        const CString path = WEXA::GetSkinsPath() + name;
        SCOPED_TRACE(testing::Message() << "skins\\theme1\\" << static_cast<const wchar_t*>(path));
        if (wcsstr(name, L".ico")) {
            HICON icon = WEXA::MRender::LoadIconFromFile(path);
            EXPECT_NE(icon, nullptr);
            if (icon) DestroyIcon(icon);
            continue;
        }
        std::unique_ptr<Gdiplus::Image> image(WEXA::MRender::LoadImageFromFile(path));
        ASSERT_NE(image, nullptr);
        EXPECT_GT(image->GetWidth(), 0u);
    }
    WEXA::Manager::SetThemeSkins(previous);
}

}  // namespace
