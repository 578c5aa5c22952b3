// What a dialog with a few areas and a balloon tip looks like on the screen,
// compared with a stored reference picture.
//
// The test program runs alone (test.cmake): windows of other programs taking
// the activation would restack or cover the windows on the screen.
//
// The reference, dialog_reference.png beside this file, changes only on
// purpose: run the test with KESTROVA_UPDATE_REFERENCE=1 to write the current
// picture there, look at it, and commit it. A failing run leaves the picture
// it saw as dialog_actual.png in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "MAirBladder.h"
#include "MDialog.h"
#include "SkinFiles.h"
#include "WexaTestControls.h"
#include "WindowTestHelpers.h"

namespace {

// Far from where the other tests put their windows (the screen is 1920 x 1080).
const int kLeft = 1560, kTop = 860, kWidth = 240, kHeight = 140;

class SampleDialog : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(246, 247, 250), RGB(180, 186, 196));
        CreateArea(L"CArea", 4, CRect(10, 10, 230, 40), L"", 1, 1);       // grey header
        CreateControl(L"CArea", 1, CRect(20, 60, 60, 100), L"", 1, 1);    // red swatch
        CreateControl(L"CArea", 2, CRect(70, 60, 110, 100), L"", 1, 1);   // green swatch
        CreateControl(L"CArea", 3, CRect(120, 60, 160, 100), L"", 1, 1);  // blue swatch
    }
};

std::wstring SourcePath(const char* name)
{
    std::string path = std::string("Z:") + TEST_SOURCE_DIR + "/" + name;
    for (char& ch : path)
        if (ch == '/') ch = '\\';
    return std::wstring(path.begin(), path.end());
}

// The screen's pixels of a rectangle.
testutil::PixelBuffer CaptureScreen(const RECT& r)
{
    testutil::MemoryCanvas canvas(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas.Read();
}

bool SavePng(const testutil::PixelBuffer& buf, const std::wstring& path)
{
    Gdiplus::Bitmap bitmap(buf.width, buf.height, PixelFormat32bppARGB);
    for (int y = 0; y < buf.height; ++y)
        for (int x = 0; x < buf.width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(0xFF000000 | buf.At(x, y)));
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool LoadPng(const std::wstring& path, testutil::PixelBuffer& out)
{
    Gdiplus::Bitmap bitmap(path.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok || bitmap.GetWidth() == 0) return false;
    out.width = static_cast<int>(bitmap.GetWidth());
    out.height = static_cast<int>(bitmap.GetHeight());
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            Gdiplus::Color c;
            bitmap.GetPixel(x, y, &c);
            out.pixels[static_cast<size_t>(y) * out.width + x] = c.GetValue() & 0x00FFFFFF;
        }
    return true;
}

TEST(Screenshot, DialogWithAreasAndBalloon)
{
    std::wstring folder = testutil::UseTestSkinFolder(L"screenshot_test");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"img_tip_bk.png", 24, 24, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush fill(Gdiplus::Color(255, 52, 58, 70));
        g.FillRectangle(&fill, 0, 0, 24, 24);
        Gdiplus::SolidBrush edge(Gdiplus::Color(255, 90, 140, 230));
        g.FillRectangle(&edge, 0, 22, 24, 2);
    }));

    SampleDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"screenshot", WS_POPUP | WS_VISIBLE, 0,
                         CRect(kLeft, kTop, kLeft + kWidth, kTop + kHeight), nullptr),
              nullptr);
    WEXA::PaintManager& engine = *dlg.GetPaintManager();
    ASSERT_EQ(engine.SetAirBladderMsg(L"Profile saved", POINT{kLeft + 96, kTop + 92},
                                      WEXA::AIRBLADDER_TYPE_STICKY, WEXA::AIRBLADDER_MODE_RIGHT),
              1);
    engine.ShowAirBladder(1, 0);
    UpdateWindow(dlg.GetSafeHwnd());
    // Let the display catch up with both windows.
    DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > 300; }, 1000);

    RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    testutil::PixelBuffer actual = CaptureScreen(area);
    dlg.DestroyWindow();

    const std::wstring reference = SourcePath("dialog_reference.png");
    const char* update = std::getenv("KESTROVA_UPDATE_REFERENCE");
    if (update && *update == '1') {
        ASSERT_TRUE(SavePng(actual, reference));
        GTEST_SKIP() << "reference picture written";
    }

    testutil::PixelBuffer expected;
    ASSERT_TRUE(LoadPng(reference, expected))
        << "no reference picture; run with KESTROVA_UPDATE_REFERENCE=1";
    ASSERT_EQ(expected.width, actual.width);
    ASSERT_EQ(expected.height, actual.height);
    // A pixel differs when a channel is more than 40 apart; up to 1.5 % may
    // (anti-aliased text edges).
    int differing = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            UINT32 a = actual.At(x, y), e = expected.At(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                             static_cast<int>((e >> shift) & 0xFF)) > 40) {
                    ++differing;
                    break;
                }
            }
        }
    const int allowed = actual.width * actual.height * 15 / 1000;
    if (differing > allowed) SavePng(actual, L"dialog_actual.png");
    EXPECT_LE(differing, allowed) << "see dialog_actual.png in the build folder";
}

}  // namespace
