// The small skin the control tests draw with (GDI+ runs for the whole program).
#include "ControlsTestSupport.h"
#include "GdiplusEnvironment.h"
#include "SkinFiles.h"

namespace ctltest {

namespace {

std::wstring g_folder;

void MakeStrip(const wchar_t* name, int frameWidth, int height, int frames)
{
    testutil::WriteSkinPng(g_folder, name, frameWidth * frames, height, [&](Gdiplus::Graphics& g) {
        for (int i = 0; i < frames; ++i) {
            Gdiplus::SolidBrush b(Gdiplus::Color(255, 40 + 50 * i, 90, 200 - 20 * i));
            g.FillRectangle(&b, i * frameWidth, 0, frameWidth, height);
        }
    });
}

void MakeSkin()
{
    g_folder = testutil::UseTestSkinFolder(L"controls_test");
    MakeStrip(L"face4.png", 40, 20, 4);
    MakeStrip(L"box8.png", 16, 16, 8);
    MakeStrip(L"icon1.png", 16, 16, 1);
    MakeStrip(L"icon3.png", 24, 24, 3);
    // Half-transparent black in every frame.
    testutil::WriteSkinPng(g_folder, L"glass4.png", 160, 20, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush b(Gdiplus::Color(128, 0, 0, 0));
        g.FillRectangle(&b, 0, 0, 160, 20);
    });
}

}  // namespace

const std::wstring& TestSkinFolder()
{
    return g_folder;
}

}  // namespace ctltest

namespace {
const bool g_skin = testutil::AtTestStart([] { ctltest::MakeSkin(); });
}  // namespace
