// Pictures: show-mode layout, the sliding picture and the animated GIF.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>

#include "GifWriter.h"
#include "MPicture.h"
#include "Recorder.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

using stdtest::Recorder;
using WEXA::PICTURE_BLIT;

namespace {

std::string Describe(const std::vector<CRect>& rects)
{
    std::string out;
    for (const CRect& r : rects)
        out += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
    return out;
}

TEST(Picture, ShowModeLayouts)
{
    struct Case
    {
        const char* name;
        int mode, fw, ih, w, h;
        UINT ha, va;
        std::vector<CRect> dst;
    };
    const Case cases[] = {
        {"natural, top left", 0, 40, 20, 100, 50, 0, 0, {CRect(0, 0, 40, 20)}},
        {"natural, centred", 0, 40, 20, 100, 50, 1, 4, {CRect(30, 15, 70, 35)}},
        {"natural, bottom right", 0, 40, 20, 100, 50, 2, 8, {CRect(60, 30, 100, 50)}},
        {"natural, wider than the control", 0, 150, 20, 100, 50, 2, 0, {CRect(-50, 0, 100, 20)}},
        {"tiled",
         1,
         20,
         20,
         50,
         20,
         0,
         0,
         {CRect(0, 0, 20, 20), CRect(20, 0, 40, 20), CRect(40, 0, 50, 20)}},
        {"stretched", 2, 40, 20, 100, 50, 0, 0, {CRect(0, 0, 100, 50)}},
        {"nine-slice corner", 3, 40, 20, 100, 50, 0, 0, {}},
        {"nine-slice margins", 4, 40, 20, 100, 50, 0, 0, {}},
        {"custom rectangle", 5, 40, 20, 100, 50, 0, 0, {CRect(0, 0, 100, 50)}},
        {"unknown mode", 7, 40, 20, 100, 50, 0, 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<PICTURE_BLIT> blits =
            WEXA::LayoutShowMode(c.mode, c.fw, c.ih, c.w, c.h, c.ha, c.va, CRect(5, 5, 25, 15));
        ASSERT_EQ(blits.size(), c.dst.size()) << c.name;
        for (size_t i = 0; i < blits.size(); ++i) EXPECT_EQ(blits[i].dst, c.dst[i]) << c.name;
    }
    // The last tile shows the left part of the frame; the custom mode its rectangle.
    EXPECT_EQ(WEXA::LayoutShowMode(1, 20, 20, 50, 20, 0, 0, CRect())[2].src, CRect(0, 0, 10, 20));
    EXPECT_EQ(WEXA::LayoutShowMode(5, 40, 20, 100, 50, 0, 0, CRect(5, 5, 25, 15))[0].src,
              CRect(5, 5, 25, 15));
    // A frame without width (frame count larger than the image) draws nothing.
    EXPECT_TRUE(WEXA::LayoutShowMode(2, 0, 20, 100, 50, 0, 0, CRect()).empty());
}

TEST(Picture, SetShowModeReportsChanges)
{
    Recorder owner;
    WEXA::MPicture picture(&owner, 5, CRect(0, 0, 100, 50), 1, 1);
    EXPECT_EQ(picture.SetShowMode(WEXA::SHOW_MODE_STRETCH, 4), 1);
    EXPECT_EQ(picture.SetShowMode(WEXA::SHOW_MODE_STRETCH, 7), 0);
    EXPECT_EQ(picture.GetShowParam(), 4);
    EXPECT_EQ(picture.SetShowMode(WEXA::SHOW_MODE_FRAME, 6), 1);
    EXPECT_EQ(picture.SetShowMode(WEXA::SHOW_MODE_FRAME, 7), 1);
    EXPECT_EQ(picture.SetImageFile(L"Z:\\no\\such\\file.png", 0, 0), 0);
}

std::wstring Skins()
{
    static std::wstring folder = testutil::UseTestSkinFolder(L"pictures_test");
    return folder;
}

// 200 x 40: left half red, right half blue.
void WriteSplitPng(const wchar_t* name)
{
    ASSERT_TRUE(testutil::WriteSkinPng(Skins(), name, 200, 40, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush red(Gdiplus::Color(255, 255, 0, 0));
        Gdiplus::SolidBrush blue(Gdiplus::Color(255, 0, 0, 255));
        g.FillRectangle(&red, 0, 0, 100, 40);
        g.FillRectangle(&blue, 100, 0, 100, 40);
    }));
}

TEST(SliderPicture, SlidesInAndHidesItselfAfterwards)
{
    WriteSplitPng(L"slide.png");
    Recorder owner;
    WEXA::CSliderPicture slider(&owner, 6, CRect(0, 0, 200, 40), 1, 1);
    ASSERT_EQ(slider.SetImage(L"slide.png", 1), 1);
    slider.SetShowMode(WEXA::SHOW_MODE_STRETCH, 0);
    EXPECT_EQ(slider.SetRun(1, WEXA::SLIDER_MODE_LEFT), 1);
    EXPECT_EQ(slider.GetEndPosition(), 200);
    for (int i = 0; i < 25; ++i) slider.OnControlTimer();
    EXPECT_EQ(slider.GetPosition(), 50);

    testutil::MemoryCanvas canvas(200, 40);
    HDC dc = canvas.dc();
    slider.DrawControl(dc, CRect(0, 0, 200, 40));
    testutil::PixelBuffer px = canvas.Read();
    EXPECT_EQ(px.ColorAt(10, 20), RGB(0, 0, 255));  // the picture's rightmost 50 columns
    EXPECT_EQ(px.ColorAt(100, 20), RGB(0xF2, 0xF2, 0xF2));
    EXPECT_EQ(slider.IsVisible(), 1);

    for (int i = 0; i < 100 && slider.IsRun(); ++i) slider.OnControlTimer();
    EXPECT_EQ(slider.IsRun(), 0);
    EXPECT_EQ(slider.GetPosition(), 200);
    slider.DrawControl(dc, CRect(0, 0, 200, 40));
    EXPECT_EQ(slider.IsVisible(), 0);  // the slide is over: hidden
    EXPECT_EQ(slider.OnControlTimer(), 0);

    // Narrower than 100 pixels: the step is 0 and the slide never ends.
    WEXA::CSliderPicture small(&owner, 7, CRect(0, 0, 80, 40), 1, 1);
    small.SetRun(1, WEXA::SLIDER_MODE_LEFT);
    for (int i = 0; i < 300; ++i) small.OnControlTimer();
    EXPECT_EQ(small.GetPosition(), 0);
    EXPECT_EQ(small.IsRun(), 1);
    EXPECT_EQ(small.SetRun(0, WEXA::SLIDER_MODE_LEFT), 0);
}

TEST(Picture, FrameCountsBelowOneCountAsOne)
{
    // A count of 0 or less takes the whole image as its one frame: the
    // frame width is never divided by it and the picture still shows.
    WriteSplitPng(L"frames.png");
    Recorder owner;
    for (int frames : {0, -1, -3, INT_MIN}) {
        SCOPED_TRACE(testing::Message() << frames << " frames");
        WEXA::MPicture picture(&owner, 5, CRect(0, 0, 200, 40), 1, 1);
        ASSERT_EQ(picture.SetImage(L"frames.png", frames), 1);
        EXPECT_EQ(picture.m_nFrameCount, 1);
        EXPECT_EQ(picture.GetImageSize(), CSize(200, 40));
        picture.SetShowMode(WEXA::SHOW_MODE_STRETCH, 0);
        testutil::MemoryCanvas canvas(200, 40);
        HDC dc = canvas.dc();
        picture.DrawControl(dc, CRect(0, 0, 200, 40));
        testutil::PixelBuffer px = canvas.Read();
        EXPECT_EQ(px.ColorAt(10, 20), RGB(255, 0, 0));
        EXPECT_EQ(px.ColorAt(190, 20), RGB(0, 0, 255));

        WEXA::CPhotoFrame photo(&owner, 6, CRect(0, 0, 200, 40), 1, 1);
        ASSERT_EQ(photo.SetPhotoFrame(L"frames.png", frames), 1);
        EXPECT_EQ(photo.m_nPhotoWidth, 200);
        EXPECT_EQ(photo.m_nPhotoHeight, 40);
        testutil::MemoryCanvas photoCanvas(200, 40);
        HDC photoDc = photoCanvas.dc();
        photo.DrawControl(photoDc, CRect(0, 0, 200, 40));
        testutil::PixelBuffer shown = photoCanvas.Read();
        EXPECT_EQ(shown.ColorAt(10, 20), RGB(255, 0, 0));
        EXPECT_EQ(shown.ColorAt(190, 20), RGB(0, 0, 255));
        ASSERT_EQ(photo.SetImage(L"frames.png", frames), 1);
        EXPECT_EQ(photo.m_nFrameCount, 1);
        EXPECT_EQ(photo.GetImageSize(), CSize(200, 40));
        photo.SetUpdate(0, 0);
        photo.DrawControl(photoDc, CRect(0, 0, 200, 40));

        WEXA::CSliderPicture slider(&owner, 7, CRect(0, 0, 200, 40), 1, 1);
        ASSERT_EQ(slider.SetImage(L"frames.png", frames), 1);
        EXPECT_EQ(slider.m_nFrameCount, 1);
        EXPECT_EQ(slider.GetImageSize(), CSize(200, 40));
    }
}

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

COLORREF ShownColour(WEXA::CGifPicture& gif)
{
    testutil::MemoryCanvas canvas(40, 30);
    HDC dc = canvas.dc();
    gif.SetUpdate(0, 0);
    gif.DrawControl(dc, CRect(0, 0, 40, 30));
    return canvas.Read().ColorAt(20, 15);
}

TEST(GifPicture, FramesAdvanceByTheirDelaysOnTheInjectedClock)
{
    const std::wstring path = Skins() + L"three.gif";
    // 100 ms, 0 (counts as 100 ms), 250 ms.
    ASSERT_TRUE(testutil::WriteGif(path, 8, 6, {{1, 10}, {2, 0}, {3, 25}}));
    Recorder owner;
    WEXA::CGifPicture gif(&owner, 8, CRect(0, 0, 40, 30), 1, 1);
    gif.SetTickClock(FakeClock);
    g_now = 1000;
    ASSERT_EQ(gif.SetImageFile(path.c_str()), 1);
    ASSERT_EQ(gif.GetFrameCount(), 3);
    EXPECT_EQ(gif.GetFrameDelay(0), 100u);
    EXPECT_EQ(gif.GetFrameDelay(1), 100u);
    EXPECT_EQ(gif.GetFrameDelay(2), 250u);
    EXPECT_EQ(gif.SetRunState(1, 0), 1);
    EXPECT_EQ(ShownColour(gif), RGB(255, 0, 0));

    struct Step
    {
        DWORD at;
        int frame;
        COLORREF colour;
    };
    const Step steps[] = {
        {1099, 0, RGB(255, 0, 0)}, {1100, 1, RGB(0, 255, 0)}, {1150, 1, RGB(0, 255, 0)},
        {1200, 2, RGB(0, 0, 255)}, {1449, 2, RGB(0, 0, 255)}, {1450, 0, RGB(255, 0, 0)},
    };
    for (const Step& s : steps) {
        g_now = s.at;
        gif.OnControlTimer();
        EXPECT_EQ(gif.GetShownFrame(), s.frame) << s.at;
        EXPECT_EQ(ShownColour(gif), s.colour) << s.at;
    }
    gif.SetRunState(0, 0);
    g_now += 10000;
    gif.OnControlTimer();
    EXPECT_EQ(gif.GetShownFrame(), 0);
}

// The clock of the race below: on the ticking thread, the first reading
// lets the UI thread replace the image, and waits (at most 300 ms) until it
// has done so.
std::atomic<DWORD> g_tickThread{0};
HANDLE g_replaceAsked = nullptr, g_replaceDone = nullptr;
DWORD RacingClock()
{
    if (GetCurrentThreadId() == g_tickThread.load()) {
        g_tickThread = 0;
        SetEvent(g_replaceAsked);
        WaitForSingleObject(g_replaceDone, 300);
    }
    return g_now;
}

TEST(GifPicture, ReplacingTheImageWhileTheTickStepsItNeverBreaksTheTick)
{
    // The home background is changed (here to a file that is no picture:
    // no frames) while the multimedia tick is half-way through its step.
    const std::wstring path = Skins() + L"race.gif";
    ASSERT_TRUE(testutil::WriteGif(path, 8, 6, {{1, 10}, {2, 10}, {3, 10}}));
    Recorder owner;
    WEXA::CGifPicture gif(&owner, 8, CRect(0, 0, 40, 30), 1, 1);
    gif.SetTickClock(RacingClock);
    g_now = 1000;
    ASSERT_EQ(gif.SetImageFile(path.c_str()), 1);
    ASSERT_EQ(gif.SetRunState(1, 0), 1);
    g_now = 5000;  // the next tick steps a frame
    g_replaceAsked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_replaceDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread tick([&] {
        g_tickThread = GetCurrentThreadId();
        gif.OnControlTimer();
    });
    ASSERT_EQ(WaitForSingleObject(g_replaceAsked, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(gif.SetImageFile((Skins() + L"no such picture.gif").c_str()), 0);
    SetEvent(g_replaceDone);
    tick.join();
    EXPECT_EQ(gif.GetFrameCount(), 0);
    gif.OnControlTimer();  // nothing to step
    CloseHandle(g_replaceAsked);
    CloseHandle(g_replaceDone);
}

TEST(GifPicture, MissingDelaysCountAsATenthOfASecond)
{
    const std::wstring path = Skins() + L"nodelay.gif";
    ASSERT_TRUE(testutil::WriteGif(path, 4, 4, {{1, -1}, {2, -1}}));
    Recorder owner;
    WEXA::CGifPicture gif(&owner, 8, CRect(0, 0, 40, 30), 1, 1);
    ASSERT_EQ(gif.SetImageFile(path.c_str()), 1);
    ASSERT_EQ(gif.GetFrameCount(), 2);
    EXPECT_EQ(gif.GetFrameDelay(0), 100u);
    EXPECT_EQ(gif.GetFrameDelay(1), 100u);

    // A still image does not start.
    ASSERT_TRUE(testutil::WriteGif(Skins() + L"still.gif", 4, 4, {{1, 10}}));
    ASSERT_EQ(gif.SetImageFile((Skins() + L"still.gif").c_str()), 1);
    EXPECT_EQ(gif.SetRunState(1, 0), 0);
    EXPECT_EQ(gif.IsRun(), 0);
}

// Three 16 x 12 frames: the second differs from the first in a 4 x 3 block at
// (4, 3) only, the third is the second again.
std::vector<testutil::GifFrame> BlockFrames()
{
    std::vector<unsigned char> plain(16 * 12, 1), block = plain;
    for (int y = 3; y < 6; ++y)
        for (int x = 4; x < 8; ++x) block[y * 16 + x] = 2;
    for (int i = 0; i < 16; ++i) plain[i] = block[i] = 3;  // a blue top row in all
    return {{0, 10, plain}, {0, 10, block}, {0, 10, block}};
}

TEST(GifPicture, EachFrameIsDecodedOnceAndCopiedAfterwardsWithTheSamePixels)
{
    const std::wstring path = Skins() + L"blocks.gif";
    ASSERT_TRUE(testutil::WriteGif(path, 16, 12, BlockFrames()));
    // At the image's own size and stretched: both draw the same pixels from
    // their copies as they did the first time.
    for (CRect rect : {CRect(5, 4, 21, 16), CRect(2, 3, 50, 39)}) {
        Recorder owner;
        WEXA::CGifPicture gif(&owner, 8, rect, 1, 1);
        ASSERT_EQ(gif.SetImageFile(path.c_str()), 1);
        ASSERT_EQ(gif.GetFrameCount(), 3);
        std::vector<testutil::PixelBuffer> first;
        for (int round = 0; round < 3; ++round) {
            for (int frame = 0; frame < 3; ++frame) {
                gif.SetRunState(0, frame);
                testutil::MemoryCanvas canvas(60, 44);
                canvas.Fill(0xFF203040);
                HDC dc = canvas.dc();
                gif.DrawControl(dc, CRect(0, 0, 60, 44));
                testutil::PixelBuffer shown = canvas.Read();
                if (round == 0) {
                    first.push_back(shown);
                    continue;
                }
                size_t differ = 0;
                while (differ < shown.pixels.size() &&
                       shown.pixels[differ] == first[frame].pixels[differ])
                    ++differ;
                EXPECT_EQ(differ, shown.pixels.size())
                    << std::hex << (differ < shown.pixels.size() ? shown.pixels[differ] : 0)
                    << " drawn first as "
                    << (differ < shown.pixels.size() ? first[frame].pixels[differ] : 0) << std::dec
                    << ", frame " << frame << " round " << round << " at " << rect.Width();
            }
        }
        // Drawn at its own size every frame is opaque and kept; stretched,
        // its edges blend with what lies behind, and it is drawn anew.
        if (rect.Width() == 16) {
            EXPECT_EQ(gif.GetFrameRenders(), 3);
        }
    }
}

TEST(GifPicture, ATickAsksToRepaintOnlyWhatTheNextFrameChanges)
{
    const std::wstring path = Skins() + L"blocks.gif";
    ASSERT_TRUE(testutil::WriteGif(path, 16, 12, BlockFrames()));
    Recorder owner;
    WEXA::CGifPicture gif(&owner, 8, CRect(100, 50, 116, 62), 1, 1);
    gif.SetTickClock(FakeClock);
    g_now = 1000;
    ASSERT_EQ(gif.SetImageFile(path.c_str()), 1);
    ASSERT_EQ(gif.SetRunState(1, 0), 1);
    testutil::MemoryCanvas canvas(200, 100);
    HDC dc = canvas.dc();
    auto step = [&] {
        owner.rects.clear();
        g_now += 100;
        gif.OnControlTimer();
        gif.DrawControl(dc, CRect(0, 0, 200, 100));
    };
    // The first round draws frames whole until the one before is known.
    gif.DrawControl(dc, CRect(0, 0, 200, 100));
    for (const char* asked : {"(100,50,116,62)", "(100,50,116,62)", "(104,53,108,56)"}) {
        step();
        EXPECT_EQ(Describe(owner.rects), asked);
    }
    ASSERT_EQ(gif.GetShownFrame(), 0);
    // Then: frame 1 changes the block, frame 2 nothing, frame 0 the block back.
    const struct
    {
        int frame;
        const char* asked;
    } rounds[] = {{1, "(104,53,108,56)"}, {2, ""}, {0, "(104,53,108,56)"}};
    for (const auto& r : rounds) {
        step();
        EXPECT_EQ(gif.GetShownFrame(), r.frame);
        EXPECT_EQ(Describe(owner.rects), r.asked) << "frame " << r.frame;
    }
}

TEST(GifPicture, DelayPropertyIsReadOnlyWithinItsLength)
{
    // The property says 8 bytes (two delays) while the image has four frames,
    // and a third value lies in the buffer just past the stated length.
    std::vector<BYTE> buffer(sizeof(Gdiplus::PropertyItem) + 12, 0);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    BYTE* values = buffer.data() + sizeof(Gdiplus::PropertyItem);
    item->id = 0x5100;
    item->length = 8;
    item->type = 4;
    item->value = values;
    const UINT32 delays[3] = {5, 0, 40};
    memcpy(values, delays, sizeof(delays));
    std::vector<DWORD> out(4, 100);
    WEXA::CGifPicture::ReadFrameDelays(buffer.data(), buffer.size(), out);
    EXPECT_EQ(out, (std::vector<DWORD>{50, 100, 100, 100}));

    // A stated length past the end of the buffer stops at the buffer's end.
    item->length = 4000;
    std::vector<DWORD> out2(4, 100);
    WEXA::CGifPicture::ReadFrameDelays(buffer.data(), buffer.size(), out2);
    EXPECT_EQ(out2, (std::vector<DWORD>{50, 100, 400, 100}));
    // A value pointer outside the buffer reads nothing.
    item->value = buffer.data() + buffer.size() + 64;
    std::vector<DWORD> out3(2, 100);
    WEXA::CGifPicture::ReadFrameDelays(buffer.data(), buffer.size(), out3);
    EXPECT_EQ(out3, (std::vector<DWORD>{100, 100}));
}

}  // namespace
