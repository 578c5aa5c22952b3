// The LCD frame strip, the animation list with its picture utilities (GIF
// split, PNG writer, RGB565), the GIF export, and the slot thumbnail grid.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <memory>

#include "ControlProbe.h"
#include "ControlRegistry.h"
#include "EngineFixture.h"
#include "GifWriter.h"
#include "ImageViewList.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "LEDFrameTips.h"
#include "LcdFiles.h"
#include "MPanel.h"
#include "WindowTestHelpers.h"

namespace {

using lcdtest::FileExists;

void Paint(WEXA::MControl& c)
{
    testutil::MemoryCanvas canvas(1200, 800);
    HDC dc = canvas.dc();
    c.SetUpdate(0, 0);
    c.DrawControl(dc, CRect(0, 0, 1200, 800));
}

class ListsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = lcdtest::ScratchFolder(L"lists");
        red = folder + L"red.png";
        green = folder + L"green.png";
        blue = folder + L"blue.png";
        ASSERT_TRUE(lcdtest::WriteSolidPng(red, 240, 135, 0xFFFF0000));
        ASSERT_TRUE(lcdtest::WriteSolidPng(green, 120, 60, 0xFF00FF00));
        ASSERT_TRUE(lcdtest::WriteSolidPng(blue, 60, 60, 0xFF0000FF));
    }
    void TearDown() override { lcdtest::RemoveFolder(folder); }
    int Count(UINT code) const
    {
        int n = 0;
        for (const probe::Event& e : owner.events) n += e.code == code;
        return n;
    }

    std::wstring folder, red, green, blue;
    probe::RecordingOwner owner;
};

TEST_F(ListsTest, EveryClassIsMadeByThePanelFactory)
{
    WEXA::MPanel panel(&owner, 1, CRect(0, 0, 800, 600), 1);
    const wchar_t* names[] = {L"ImageView",  L"ImageViewList", L"LCDViewList", L"LCDViewCtrl",
                              L"LCDPalette", L"LCDPalette2",   L"LCDPalette3"};
    for (const wchar_t* name : names) {
        WEXA::MControl* c = panel.CreateControl(name, 10, CRect(0, 0, 100, 100), L"", 1, 1);
        EXPECT_NE(c, nullptr) << static_cast<const void*>(name);
    }
}

TEST_F(ListsTest, FrameStripVisibleCardsAndScrolling)
{
    WEXA::ImageViewList list(&owner, 381, CRect(0, 0, 600, 140), 1);
    for (int i = 0; i < 5; ++i) list.AddString(CString(red.c_str()), 50, i, L"f");
    WEXA::MScroll* bar = list.m_pScrollHorizontal;
    EXPECT_TRUE(bar->m_bVisible);
    EXPECT_EQ(bar->GetScrollMaxRange(), 1025);
    Paint(list);
    EXPECT_EQ(list.GetFirstVisible(), 0);
    EXPECT_EQ(list.GetLastVisible(), 2);
    EXPECT_EQ(list.GetStripOffset(), 0);
    bar->SetScrollCurrentPos(1025);
    Paint(list);
    EXPECT_EQ(list.GetFirstVisible(), 2);
    EXPECT_EQ(list.GetLastVisible(), 4);
    EXPECT_EQ(list.GetStripOffset(), 15);

    // Insertion, selection and the accessors outside the rows.
    EXPECT_EQ(list.AddString(1, CString(blue.c_str()), 30, 77, L"new"), 5);
    EXPECT_EQ(list.GetFrameID(2), 77);
    EXPECT_EQ(list.GetItemEditImageFile(2), CString(blue.c_str()));
    EXPECT_EQ(list.AddString(-1, CString(green.c_str()), 30, 78, L"front"), 6);
    EXPECT_EQ(list.GetFrameItemName(0), CString(L"front"));
    EXPECT_EQ(list.SetCurSel(-1), 1);
    EXPECT_EQ(list.SetCurSel(-2), 0);
    EXPECT_EQ(list.SetCurSel(7), 0);
    EXPECT_EQ(list.GetItemImageFile(7), CString());
    EXPECT_EQ(list.GetItemDelayTime(-1), 0);
    EXPECT_FALSE(list.SetItemDelayTime(9, 100));
    EXPECT_TRUE(list.SetDelayTime(120));
    EXPECT_EQ(list.GetItemDelayTime(3), 120);
    list.UpdateItemImageFile(1, CString(green.c_str()));
    EXPECT_EQ(list.GetItemEditImageFile(1), CString(green.c_str()));
    EXPECT_EQ(list.GetItemImageFile(1), CString(red.c_str()));
    list.UpdateItemImageFile(1, CString((folder + L"none.png").c_str()));  // keeps the old one
    EXPECT_EQ(list.GetItemEditImageFile(1), CString(green.c_str()));
    EXPECT_EQ(list.GetImageViewItems().size(), 7u);

    EXPECT_EQ(list.DeleteItem(7), 0);
    EXPECT_EQ(list.DeleteItem(0), 1);
    EXPECT_EQ(list.GetFirstVisible(), -1);
    EXPECT_EQ(list.OnControlMouseMove(0, CPoint(10, 50)), 0);  // before the next paint
    list.DeleteAllItems();
    EXPECT_FALSE(bar->m_bVisible);
    EXPECT_EQ(bar->GetScrollMaxRange(), 0);
    Paint(list);  // no rows: nothing to draw
    EXPECT_EQ(list.GetFirstVisible(), -1);
}

TEST_F(ListsTest, FrameStripClicksBadgesAndWheel)
{
    WEXA::ImageViewList list(&owner, 381, CRect(100, 50, 700, 190), 1);
    list.AddString(CString(red.c_str()), 50, 1, L"a");
    list.AddString(CString(green.c_str()), 0, 2, L"b");
    Paint(list);
    EXPECT_EQ(list.OnControlScroll(1, 1, CPoint(150, 100)), 0);  // everything fits

    const CRect card = list.GetCardRect(1);
    ASSERT_EQ(card, CRect(305, 50, 487, 190));
    list.OnControlMouseMove(0, CPoint(card.left + 20, card.top + 40));
    EXPECT_EQ(list.GetHoverItem(), 1);
    list.OnControlLButtonDown(MK_LBUTTON, CPoint(card.left + 20, card.top + 40));
    EXPECT_EQ(list.GetCurSel(), 1);
    list.OnControlLButtonUp(0, CPoint(card.left + 20, card.top + 40));
    // The badge of the selected card answers even with a delay of 0 (no badge drawn).
    list.OnControlLButtonUp(0, CPoint(card.right - 20, card.bottom - 30));
    list.OnControlLButtonDblClk(0, CPoint(card.left + 20, card.top + 40));
    list.OnControlMouseMove(0, CPoint(650, 100));  // between the cards: no hover
    list.OnControlRButtonUp(0, CPoint(650, 100));
    const std::vector<probe::Event> expected = {
        {381, 2, 1, 0}, {381, 9, 1, 0}, {381, 3, 1, 0}, {381, 5, UINT_PTR(-1), 0}};
    EXPECT_EQ(owner.events, expected);
    EXPECT_EQ(list.GetCurSel(), -1);
}

TEST_F(ListsTest, GifExportWritesEveryFrameWithItsDelay)
{
    WEXA::ImageViewList list(&owner, 381, CRect(0, 0, 600, 140), 1);
    list.AddString(CString(red.c_str()), 50, 1, L"a");
    list.AddString(CString(green.c_str()), 120, 2, L"b");
    list.AddString(CString(blue.c_str()), 5, 3, L"c");
    const std::wstring gif = folder + L"\u52a8\u753b.gif";
    EXPECT_EQ(list.SaveGIFImageFile(CString(gif.c_str()), 0, 100), 1);

    std::unique_ptr<Gdiplus::Image> image(new Gdiplus::Image(gif.c_str()));
    ASSERT_EQ(image->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(image->GetWidth(), 320u);
    EXPECT_EQ(image->GetHeight(), 100u);
    GUID time = Gdiplus::FrameDimensionTime;
    ASSERT_EQ(image->GetFrameCount(&time), 3u);
    const UINT size = image->GetPropertyItemSize(PropertyTagFrameDelay);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    ASSERT_EQ(image->GetPropertyItem(PropertyTagFrameDelay, size, item), Gdiplus::Ok);
    ASSERT_GE(item->length, 12u);
    const UINT32* delays = static_cast<const UINT32*>(item->value);
    EXPECT_EQ(delays[0], 5u);
    EXPECT_EQ(delays[1], 12u);
    EXPECT_EQ(delays[2], 0u);
    // The last frame is in the file: blue, 60 x 60 in the middle.
    image->SelectActiveFrame(&time, 2);
    Gdiplus::Bitmap frame(320, 100, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&frame);
        g.DrawImage(image.get(), 0, 0, 320, 100);
    }
    Gdiplus::Color c;
    frame.GetPixel(160, 50, &c);
    EXPECT_EQ(c.GetValue() & 0xFFFFFF, 0x0000FFu);
    image.reset();

    // A canvas without height is refused: nothing is written.
    const std::wstring flat = folder + L"flat.gif";
    EXPECT_EQ(list.SaveGIFImageFile(CString(flat.c_str()), 320, 0), 1);
    EXPECT_FALSE(FileExists(flat));
}

TEST_F(ListsTest, GifExportReplacesAFileOnlyWithAWholeGif)
{
    WEXA::ImageViewList list(&owner, 381, CRect(0, 0, 600, 140), 1);
    WEXA::ImageViewList empty(&owner, 382, CRect(0, 0, 600, 140), 1);
    list.AddString(CString(red.c_str()), 50, 1, L"a");
    list.AddString(CString(blue.c_str()), 120, 2, L"b");
    // An earlier export in a Cyrillic/CJK folder, to be replaced.
    const std::wstring gif =
        folder + L"\u0430\u043d\u0438\u043c\u0430\u0446\u0438\u044f \u52a8\u753b.gif";
    const std::wstring temp = gif + L".tmp~";
    const std::vector<unsigned char> old = {'G', 'I', 'F', '8', '9', 'a', 'o', 'l', 'd'};
    ASSERT_TRUE(lcdtest::WriteBytes(gif, old));
    HANDLE held = INVALID_HANDLE_VALUE;

    // Each way the export can fail leaves the old file as it was, and no
    // temporary file behind.
    const struct
    {
        const char* what;
        WEXA::ImageViewList* from;
        int height;
        std::function<void()> inject, undo;
    } failures[] = {
        {"nothing to export", &empty, 100, [] {}, [] {}},
        {"no height", &list, 0, [] {}, [] {}},
        {"encoder cannot write", &list, 100,
         [&] { ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr)); },
         [&] { RemoveDirectoryW(temp.c_str()); }},
        {"target open in another program", &list, 100,
         [&] {
             held = CreateFileW(gif.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
         },
         [&] { CloseHandle(held); }},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.what);
        failure.inject();
        failure.from->SaveGIFImageFile(CString(gif.c_str()), 320, failure.height);
        failure.undo();
        EXPECT_EQ(lcdtest::ReadBytes(gif), old);
        EXPECT_FALSE(FileExists(temp));
    }

    // A folder where the file should go is not replaced either.
    const std::wstring taken = folder + L"taken.gif";
    ASSERT_TRUE(CreateDirectoryW(taken.c_str(), nullptr));
    list.SaveGIFImageFile(CString(taken.c_str()), 320, 100);
    EXPECT_TRUE(GetFileAttributesW(taken.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(FileExists(taken + L".tmp~"));

    // Replaced: a whole GIF with both frames and their delays.
    list.SaveGIFImageFile(CString(gif.c_str()), 320, 100);
    EXPECT_FALSE(FileExists(temp));
    std::unique_ptr<Gdiplus::Image> image(new Gdiplus::Image(gif.c_str()));
    ASSERT_EQ(image->GetLastStatus(), Gdiplus::Ok);
    GUID time = Gdiplus::FrameDimensionTime;
    EXPECT_EQ(image->GetFrameCount(&time), 2u);
    const std::vector<unsigned char> bytes = lcdtest::ReadBytes(gif);
    ASSERT_GT(bytes.size(), 6u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_EQ(bytes.back(), 0x3B);
}

TEST_F(ListsTest, GifSplitWritesNumberedPngsWithTheirDelays)
{
    WEXA::LCDViewList list(&owner, 380, CRect(0, 0, 205, 400), 1);
    const std::wstring out = lcdtest::ScratchFolder(L"split \u0441\u043b\u043e\u0439");
    const std::wstring gif = out + L"three.gif";
    testutil::GifPalette palette;  // black, red, green, blue
    ASSERT_TRUE(testutil::WriteGif(gif, 8, 6, {{1, 0}, {2, 5}, {3, 12}}, palette));
    EXPECT_EQ(
        list.LoadGIFImageFile(CString(gif.c_str()), CString(out.substr(0, out.size() - 1).c_str())),
        3);
    const std::vector<unsigned long> delays = list.GetDelayTimes();
    EXPECT_EQ(delays, (std::vector<unsigned long>{10, 50, 120}));
    const uint32_t colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 3; ++i) {
        lcdtest::Png png;
        ASSERT_TRUE(lcdtest::ReadPng(out + std::to_wstring(i) + L".png", png)) << i;
        EXPECT_EQ(png.width, 8u);
        EXPECT_EQ(png.height, 6u);
        EXPECT_EQ(png.Rgb(3, 3), colours[i]);
        EXPECT_EQ(png.Alpha(3, 3), 255);
    }

    const std::wstring one = out + L"one.gif";
    ASSERT_TRUE(testutil::WriteGif(one, 4, 4, {{2, 7}}, palette));
    const std::wstring single = lcdtest::ScratchFolder(L"single");
    EXPECT_EQ(list.LoadGIFImageFile(CString(one.c_str()),
                                    CString(single.substr(0, single.size() - 1).c_str())),
              1);
    EXPECT_TRUE(list.GetDelayTimes().empty());
    EXPECT_TRUE(FileExists(single + L"0.png"));
    EXPECT_FALSE(FileExists(single + L"1.png"));
    EXPECT_EQ(list.LoadGIFImageFile(CString((out + L"none.gif").c_str()), CString(single.c_str())),
              0);
    lcdtest::RemoveFolder(out);
    lcdtest::RemoveFolder(single);
}

TEST_F(ListsTest, FrameDelaysAreReadWithinThePropertysLength)
{
    // A property that claims two delays in a buffer holding three, for four frames.
    std::vector<BYTE> buffer(sizeof(Gdiplus::PropertyItem) + 12);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    item->id = PropertyTagFrameDelay;
    item->type = PropertyTagTypeLong;
    item->length = 8;
    item->value = buffer.data() + sizeof(Gdiplus::PropertyItem);
    const UINT32 values[3] = {0, 7, 99};
    memcpy(item->value, values, sizeof(values));
    EXPECT_EQ(WEXA::LCDViewList::ReadFrameDelays(buffer.data(), buffer.size(), 4),
              (std::vector<unsigned long>{10, 70, 100, 100}));
    // A length past the buffer's end reads only what the buffer holds.
    item->length = 400;
    EXPECT_EQ(WEXA::LCDViewList::ReadFrameDelays(buffer.data(), buffer.size(), 4),
              (std::vector<unsigned long>{10, 70, 990, 100}));
    EXPECT_TRUE(WEXA::LCDViewList::ReadFrameDelays(buffer.data(), 8, 4).empty());
}

TEST_F(ListsTest, Rgb565AndPngOfKnownColours)
{
    WEXA::LCDViewList list(&owner, 380, CRect(0, 0, 205, 400), 1);
    const struct
    {
        Gdiplus::ARGB colour;
        unsigned char lo, hi;
    } cases[] = {{0xFFFFFFFF, 0xFF, 0xFF},
                 {0xFFFF0000, 0x00, 0xF8},
                 {0xFF00FF00, 0xE0, 0x07},
                 {0xFF0000FF, 0x1F, 0x00},
                 {0x00FFFFFF, 0x00, 0x00}};  // transparent comes out black
    for (const auto& c : cases) {
        const std::wstring path = folder + L"c.png";
        ASSERT_TRUE(lcdtest::WriteSolidPng(path, 8, 8, c.colour));
        std::vector<unsigned char> buffer(2 * 8 * 8, 0xAA);
        ASSERT_TRUE(list.GetImageRGB565Data(CString(path.c_str()), buffer.data(), 8, 8));
        for (size_t i = 0; i < buffer.size(); i += 2) {
            ASSERT_EQ(buffer[i], c.lo) << std::hex << c.colour;
            ASSERT_EQ(buffer[i + 1], c.hi) << std::hex << c.colour;
        }
    }
    std::vector<unsigned char> buffer(8);
    EXPECT_FALSE(
        list.GetImageRGB565Data(CString((folder + L"none.png").c_str()), buffer.data(), 2, 2));

    // A picture with transparent pixels is written opaque black there.
    Gdiplus::Bitmap picture(4, 2, PixelFormat32bppARGB);
    for (int x = 0; x < 4; ++x) {
        picture.SetPixel(x, 0, Gdiplus::Color(0, 255, 255, 255));
        picture.SetPixel(x, 1, Gdiplus::Color(255, 10, 20, 30));
    }
    const std::wstring png = folder + L"\u900f\u660e.png";
    EXPECT_EQ(list.SavePNGImageFile(&picture, CString(png.c_str())), 1);
    lcdtest::Png read;
    ASSERT_TRUE(lcdtest::ReadPng(png, read));
    EXPECT_EQ(read.Rgb(1, 0), 0u);
    EXPECT_EQ(read.Alpha(1, 0), 255);
    EXPECT_EQ(read.Rgb(1, 1), 0x0A141Eu);
}

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

TEST_F(ListsTest, AnimationListRowsHoverAndPreview)
{
    WEXA::LCDViewList list(&owner, 380, CRect(10, 10, 215, 310), 1);
    list.SetTickClock(FakeClock);
    Paint(list);  // no rows: nothing drawn, no visible range
    EXPECT_EQ(list.GetFirstVisible(), -1);
    list.SetTitle(L"Frames");
    EXPECT_EQ(list.AddString(L"one", CString(blue.c_str()), 3, 11), 0);
    EXPECT_EQ(list.AddString(L"two", CString(green.c_str()), 0, 12), 1);
    EXPECT_EQ(list.AddString(L"three", CString(red.c_str()), 2, 13), 2);
    EXPECT_TRUE(list.GetScrollVertical()->m_bVisible);
    Paint(list);
    EXPECT_EQ(list.GetFirstVisible(), 0);
    EXPECT_EQ(list.GetLastVisible(), 2);
    EXPECT_EQ(list.GetImageRect(400, 100, CRect(3, 5, 172, 105)), CRect(3, 34, 172, 76));
    EXPECT_EQ(list.GetImageRect(100, 50, CRect(3, 5, 172, 105)), CRect(37, 30, 137, 80));
    EXPECT_EQ(list.GetImageRect(300, 200, CRect(3, 5, 172, 105)).Width(), 150);

    g_now = 5000;
    list.OnControlMouseMove(0, CPoint(60, 60));
    EXPECT_EQ(list.GetHoverRow(), 0);
    EXPECT_EQ(list.OnControlMouseMove(0, CPoint(61, 60)), 1);
    list.OnControlLButtonUp(0, CPoint(61, 60));
    EXPECT_EQ(list.GetCurSel(), 0);
    list.SetItemLEDIdSelect(13);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.GetCurImageFrameSize(), 2);
    EXPECT_EQ(list.GetItemText(5), CString());
    EXPECT_FALSE(list.SetFrameData(3, CString(red.c_str()), 1));

    // Preview frames, then replaced while one of them is shown.
    WEXA::VIEW_INFO a = {CString(red.c_str()), 0, 0, 0, 50, 0};
    WEXA::VIEW_INFO b = {CString(green.c_str()), 0, 0, 0, 50, 0};
    list.AddFrameData({a, b});
    EXPECT_EQ(list.GetPreviewFrameCount(), 2);
    g_now += 60;
    EXPECT_EQ(list.OnControlTimer(), 1);
    list.AddFrameData({b, b, b});
    EXPECT_EQ(list.GetPreviewFrameCount(), 3);
    testutil::MemoryCanvas canvas(300, 400);
    HDC dc = canvas.dc();
    list.SetUpdate(0, 0);
    list.DrawControl(dc, CRect(0, 0, 300, 400));
    // The hovered row shows its own thumbnail (blue) until the next step.
    EXPECT_EQ(canvas.Read().ColorAt(10 + 15 + 87, 10 + 10 + 56), RGB(0, 0, 255));

    const std::vector<probe::Event> expected = {{380, 11, 11, 0}, {380, 2, 0, 0}};
    EXPECT_EQ(owner.events, expected);
    EXPECT_EQ(list.DeleteItem(3), 0);
    EXPECT_EQ(list.DeleteAllItems(), 1);
    EXPECT_EQ(list.GetCurSel(), -1);
}

// Paints the animation list onto a grey canvas, as the window would, and
// reads the pixels back.
testutil::PixelBuffer PaintOnGrey(WEXA::LCDViewList& list)
{
    testutil::MemoryCanvas canvas(300, 400);
    canvas.Fill(0xFF808080);
    HDC dc = canvas.dc();
    list.SetUpdate(0, 0);
    list.DrawControl(dc, CRect(0, 0, 300, 400));
    return canvas.Read();
}

// Pixels of the canvas, other than grey, with their place (at most a few).
std::string NonGrey(const testutil::PixelBuffer& pixels)
{
    std::string out;
    int found = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.ColorAt(x, y) != RGB(128, 128, 128) && found++ < 3)
                out += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
    return out;
}

TEST_F(ListsTest, AnimationListPaintsOnlyTheRowsInViewAfterScrollingAndDeleting)
{
    // Six rows in a list with room for two; each row's thumbnail has its own colour.
    const std::wstring yellow = folder + L"yellow.png", cyan = folder + L"cyan.png",
                       magenta = folder + L"magenta.png";
    ASSERT_TRUE(lcdtest::WriteSolidPng(yellow, 60, 60, 0xFFFFFF00));
    ASSERT_TRUE(lcdtest::WriteSolidPng(cyan, 60, 60, 0xFF00FFFF));
    ASSERT_TRUE(lcdtest::WriteSolidPng(magenta, 60, 60, 0xFFFF00FF));
    const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kYellow = RGB(255, 255, 0), kCyan = RGB(0, 255, 255),
                   kMagenta = RGB(255, 0, 255), kGrey = RGB(128, 128, 128);

    WEXA::LCDViewList list(&owner, 380, CRect(10, 10, 215, 310), 1);
    // Without rows the list draws nothing at all.
    EXPECT_EQ(NonGrey(PaintOnGrey(list)), "");
    EXPECT_EQ(list.GetFirstVisible(), -1);
    EXPECT_EQ(list.GetLastVisible(), -1);

    const std::wstring paths[] = {red, green, blue, yellow, cyan, magenta};
    for (int i = 0; i < 6; ++i) list.AddString(L"row", CString(paths[i].c_str()), 1, 20 + i);
    WEXA::MScroll* bar = list.m_pScrollVertical;
    ASSERT_TRUE(bar->m_bVisible);

    // A row is 150 px; its thumbnail's middle is 66 px below the row's top and
    // 102 px right of the control's left edge.
    const int x = 10 + 15 + 87;
    auto thumb = [](int rowTop) { return 10 + rowTop + 66; };
    struct Step
    {
        const char* what;
        std::function<void()> act;
        int first, last;
        std::vector<std::pair<int, COLORREF>> seen;  // y, colour at the thumbnails' x
    };
    const Step steps[] = {
        {"top", [] {}, 0, 2, {{thumb(0), kRed}, {thumb(150), kGreen}}},
        {"scrolled 80 px",
         [&] { bar->SetScrollCurrentPos(bar->GetScrollMaxRange() * 80 / 600); },
         0,
         2,
         {{thumb(150 - 80), kGreen}, {thumb(300 - 80), kBlue}, {5, kGrey}, {315, kGrey}}},
        {"at the end",
         [&] { bar->SetScrollCurrentPos(bar->GetScrollMaxRange()); },
         4,
         5,
         {{thumb(0), kCyan}, {thumb(150), kMagenta}}},
        // The last row goes while the list is at its end: the rows before it
        // move into view, and no row index runs past the list.
        {"last row deleted",
         [&] { list.DeleteItem(5); },
         3,
         4,
         {{thumb(0), kYellow}, {thumb(150), kCyan}}},
        {"three first rows deleted",
         [&] {
             for (int i = 0; i < 3; ++i) list.DeleteItem(0);
         },
         0,
         1,
         {{thumb(0), kYellow}, {thumb(150), kCyan}}},
        {"one row left",
         [&] { list.DeleteItem(1); },
         0,
         0,
         {{thumb(0), kYellow}, {thumb(150), kGrey}, {10 + 299, kGrey}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const testutil::PixelBuffer pixels = PaintOnGrey(list);
        EXPECT_EQ(list.GetFirstVisible(), step.first);
        EXPECT_EQ(list.GetLastVisible(), step.last);
        for (const auto& seen : step.seen)
            EXPECT_EQ(pixels.ColorAt(x, seen.first), seen.second) << "y " << seen.first;
    }
    EXPECT_FALSE(bar->m_bVisible);

    // Emptied, the list again draws nothing, not the rows it last showed.
    list.DeleteAllItems();
    EXPECT_EQ(NonGrey(PaintOnGrey(list)), "");
    EXPECT_EQ(list.GetFirstVisible(), -1);
}

TEST(ThumbnailGrid, CellsFitAndTips)
{
    enginetest::HostWindow host;
    ASSERT_NE(host.Create(nullptr, L"grid", WS_POPUP | WS_VISIBLE, 0, CRect(50, 50, 450, 450)),
              nullptr);
    const std::wstring folder = lcdtest::ScratchFolder(L"grid");
    const std::wstring wide = folder + L"wide.png";
    ASSERT_TRUE(lcdtest::WriteSolidPng(wide, 200, 100, 0xFFFF0000));
    auto* grid = new WEXA::LCDViewCtrl(&host, 390, CRect(20, 10, 340, 340), 1);
    grid->SetManager(&host.engine);
    {
        CAutoLock lock(host.engine.m_controlsLock);
        host.engine.m_controls.push_back(grid);
    }
    const CPoint cells[6] = {{0, 0}, {106, 0}, {0, 106}, {106, 106}, {0, 212}, {106, 212}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(WEXA::LCDViewCtrl::CellRect(i),
                  CRect(cells[i].x, cells[i].y, cells[i].x + 96, cells[i].y + 96));
        grid->AddItem(CString(wide.c_str()), i == 5 ? L"" : L"Slot", i == 5 ? L"" : L"Frames: 4");
    }
    EXPECT_EQ(grid->GetItemCount(), 6);
    Paint(*grid);
    testutil::MemoryCanvas canvas(400, 400);
    HDC dc = canvas.dc();
    grid->SetUpdate(0, 0);
    grid->DrawControl(dc, CRect(0, 0, 400, 400));
    const testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(20 + 48, 10 + 24 + 1 + 10), RGB(255, 0, 0));  // fitted 96 x 48 at (0, 24)
    EXPECT_EQ(px.ColorAt(20 + 48, 10 + 12), RGB(0, 0, 0));             // black above it

    // Item 5 has no texts: hovering it makes no tip window. A click selects it.
    grid->OnControlMouseMove(0, CPoint(20 + 110, 10 + 215));
    EXPECT_EQ(grid->GetHoverItem(), 5);
    EXPECT_EQ(grid->OnControlMouseMove(0, CPoint(20 + 111, 10 + 215)), 1);
    EXPECT_EQ(grid->GetTipsWindow(), nullptr);
    grid->OnControlLButtonUp(0, CPoint(20 + 111, 10 + 215));
    EXPECT_EQ(grid->GetCurSel(), 5);
    EXPECT_EQ(host.events.back().code, 2u);
    EXPECT_EQ(host.events.back().wparam, 5u);

    // Leaving item 5, then item 0 hovered, then its tip on the next move inside it.
    grid->OnControlMouseMove(0, CPoint(59, 60));
    EXPECT_EQ(grid->GetHoverItem(), -1);
    grid->OnControlMouseMove(0, CPoint(60, 60));
    EXPECT_EQ(grid->GetHoverItem(), 0);
    EXPECT_EQ(grid->GetTipsWindow(), nullptr);
    EXPECT_EQ(grid->OnControlMouseMove(0, CPoint(61, 60)), 1);
    WEXA::LEDFrameTips* tips = grid->GetTipsWindow();
    ASSERT_NE(tips, nullptr);
    EXPECT_TRUE(IsWindowVisible(tips->GetSafeHwnd()));
    EXPECT_EQ(tips->GetText2(), CString(L"Frames: 4"));
    POINT anchor = {20, 10};
    ClientToScreen(host.GetSafeHwnd(), &anchor);
    EXPECT_EQ(tips->GetAnchor().x, anchor.x);
    // To item 1: the first tip hides, the second shows on the next move.
    grid->OnControlMouseMove(0, CPoint(20 + 110, 40));
    EXPECT_FALSE(IsWindowVisible(tips->GetSafeHwnd()));
    grid->OnControlMouseMove(0, CPoint(20 + 111, 40));
    EXPECT_EQ(grid->GetHoverItem(), 1);
    grid->OnControlMouseMove(0, CPoint(20 + 112, 40));
    EXPECT_TRUE(IsWindowVisible(tips->GetSafeHwnd()));
    anchor = {20 + 106, 10};
    ClientToScreen(host.GetSafeHwnd(), &anchor);
    EXPECT_EQ(tips->GetAnchor().x, anchor.x);
    EXPECT_EQ(grid->SetCurSel(6), 0);
    EXPECT_EQ(grid->SetCurSel(-1), 1);
    host.DestroyWindow();
    lcdtest::RemoveFolder(folder);
}

}  // namespace
