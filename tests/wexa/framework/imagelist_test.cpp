// Image lists: insertion rules, frame choice by state, missing files, and the
// list's lock under two threads.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "MImageList.h"
#include "MRender.h"
#include "WindowTestHelpers.h"

using WEXA::MImageList;

namespace {

const COLORREF kFrameColors[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

std::wstring TempPath(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"wexa_imagelist_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           name;
}

// A strip of three 10 x 8 frames: red, green, blue, written as a BMP file.
std::wstring WriteStrip()
{
    testutil::MemoryCanvas canvas(30, 8);
    for (int f = 0; f < 3; ++f) {
        RECT rc = {f * 10, 0, f * 10 + 10, 8};
        HBRUSH brush = CreateSolidBrush(kFrameColors[f]);
        FillRect(canvas.dc(), &rc, brush);
        DeleteObject(brush);
    }
    GdiFlush();
    std::wstring path = TempPath(L"strip.bmp");
    EXPECT_EQ(WEXA::MRender::SaveBitmapToFile(canvas.bitmap(), path.c_str()), 1);
    return path;
}

class ImageListTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { strip_ = new std::wstring(WriteStrip()); }
    static void TearDownTestSuite()
    {
        DeleteFileW(strip_->c_str());
        delete strip_;
    }

    // Draws item index with the state into a 20 x 16 canvas; returns the centre colour.
    COLORREF DrawnColor(MImageList& list, int index, int state, bool withState = true)
    {
        testutil::MemoryCanvas canvas(20, 16);
        canvas.Fill(0xFF808080);
        {
            Gdiplus::Graphics g(canvas.dc());
            g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
            if (withState)
                list.DrawItemIcon(g, CRect(0, 0, 20, 16), index, state);
            else
                list.DrawItemIcon(g, CRect(0, 0, 20, 16), index);
        }
        return canvas.Read().ColorAt(10, 8);
    }

    static std::wstring* strip_;
};

std::wstring* ImageListTest::strip_ = nullptr;

}  // namespace

TEST_F(ImageListTest, AppendAndInsertRules)
{
    MImageList list;
    EXPECT_EQ(list.AddImage(strip_->c_str(), 10, 3), 0);
    EXPECT_EQ(list.AddImage(strip_->c_str(), 11, 3), 1);
    // Insert before the first: result -1, new item first.
    EXPECT_EQ(list.InsertImage(0, strip_->c_str(), 12, 3), -1);
    ASSERT_EQ(list.GetImageCount(), 3);
    EXPECT_EQ(list.GetItemImageData(0)->id, 12);
    EXPECT_EQ(list.GetItemImageData(1)->id, 10);
    // Index equal to the count, or below -1, adds nothing.
    EXPECT_EQ(list.InsertImage(3, strip_->c_str(), 13, 3), -1);
    EXPECT_EQ(list.InsertImage(-2, strip_->c_str(), 13, 3), -1);
    EXPECT_EQ(list.AddImage(nullptr, 14, 3), -1);
    EXPECT_EQ(list.GetImageCount(), 3);

    EXPECT_EQ(list.GetItemImageData(-1), nullptr);
    EXPECT_EQ(list.GetItemImageData(3), nullptr);
    EXPECT_EQ(list.GetImageDataByID(11), list.GetItemImageData(2));
    EXPECT_EQ(list.GetImageDataByID(99), nullptr);
    EXPECT_EQ(list.GetImagePath(1), CString(strip_->c_str()));
    EXPECT_EQ(list.GetImagePath(7), CString(L""));
    EXPECT_EQ(list.GetImagePathByID(11), CString(strip_->c_str()));
    EXPECT_EQ(list.GetImagePathByID(99), CString(L""));

    const WEXA::_M_IAMGELIST* item = list.GetItemImageData(0);
    EXPECT_EQ(item->frameWidth, 10);
    EXPECT_EQ(item->height, 8);
    EXPECT_EQ(item->frames, 3);

    EXPECT_EQ(list.SetDrawImgSize(24, 18), 1);
    EXPECT_EQ(list.GetIconSize().cx, 24);
    EXPECT_EQ(list.GetIconSize().cy, 18);

    EXPECT_EQ(list.DelAllImages(), 1);
    EXPECT_EQ(list.GetImageCount(), 0);
}

TEST_F(ImageListTest, StateSelectsFrameAndIsCappedAtTheLast)
{
    MImageList list;
    ASSERT_EQ(list.AddImage(strip_->c_str(), 1, 3), 0);
    struct Case
    {
        int state;
        COLORREF expected;
    } cases[] = {
        {0, kFrameColors[0]}, {1, kFrameColors[1]},  {2, kFrameColors[2]},
        {7, kFrameColors[2]}, {-3, kFrameColors[0]},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrawnColor(list, 0, c.state), c.expected) << "state " << c.state;
    EXPECT_EQ(DrawnColor(list, 0, 0, false), kFrameColors[0]);
    // An invalid index draws nothing.
    EXPECT_EQ(DrawnColor(list, 5, 0), RGB(128, 128, 128));
}

TEST_F(ImageListTest, FrameCountBelowOneCountsAsOne)
{
    MImageList list;
    ASSERT_EQ(list.AddImage(strip_->c_str(), 1, 0), 0);
    ASSERT_EQ(list.AddImage(strip_->c_str(), 2, -4), 1);
    for (int i = 0; i < 2; ++i) {
        const WEXA::_M_IAMGELIST* item = list.GetItemImageData(i);
        EXPECT_EQ(item->frames, 1);
        EXPECT_EQ(item->frameWidth, 30);
        // The whole strip is one frame: its middle (green) lands in the centre.
        EXPECT_EQ(DrawnColor(list, i, 5), kFrameColors[1]);
    }
}

TEST_F(ImageListTest, MissingFileGivesAnItemThatDrawsNothing)
{
    MImageList list;
    std::wstring missing = TempPath(L"does_not_exist.png");
    ASSERT_EQ(list.AddImage(missing.c_str(), 5, 2), 0);
    const WEXA::_M_IAMGELIST* item = list.GetItemImageData(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->image, nullptr);
    EXPECT_EQ(item->frameWidth, 0);
    EXPECT_EQ(item->height, 0);
    EXPECT_EQ(DrawnColor(list, 0, 1), RGB(128, 128, 128));
}

TEST_F(ImageListTest, TwoThreadsShareTheListSafely)
{
    MImageList list;
    std::wstring missing = TempPath(L"none.png");
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    const int kAdds = 150;

    std::thread writer([&] {
        for (int i = 0; i < kAdds; ++i) {
            const std::wstring& path = (i % 10 == 0) ? *strip_ : missing;
            if (i % 3 == 0 && list.GetImageCount() > 0)
                list.InsertImage(0, path.c_str(), i, 3);
            else
                list.AddImage(path.c_str(), i, 3);
        }
        done = true;
    });
    std::thread reader([&] {
        testutil::MemoryCanvas canvas(8, 8);
        Gdiplus::Graphics g(canvas.dc());
        while (!done) {
            int count = list.GetImageCount();
            for (int i = 0; i < count; i += 7) {
                if (const WEXA::_M_IAMGELIST* item = list.GetItemImageData(i)) {
                    EXPECT_EQ(item->frames, 3);
                }
                list.DrawItemIcon(g, CRect(0, 0, 8, 8), i, 2);
                CString path = list.GetImagePath(i);
                EXPECT_FALSE(path.IsEmpty());
                ++reads;
            }
            list.GetImageDataByID(count / 2);
        }
    });
    writer.join();
    reader.join();
    EXPECT_EQ(list.GetImageCount(), kAdds);
    // Every id is present exactly once.
    for (int i = 0; i < kAdds; ++i) ASSERT_NE(list.GetImageDataByID(i), nullptr) << i;
    EXPECT_GT(reads.load(), 0);
}
