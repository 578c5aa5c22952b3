#pragma once
// Comparing what the screen shows with a committed reference picture.
//
// Usage (GDI+ must be running; a test program comparing the screen runs alone,
// `set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)` in its
// test.cmake):
//
//     RECT area = {left, top, right, bottom};             // screen pixels
//     testutil::PixelBuffer actual = testutil::CaptureScreen(area);
//     testutil::ScreenshotCompare compare;
//     compare.AddControls(dlg.GetPaintManager(), dlg.GetSafeHwnd(), area);  // every control
//     compare.AddRegion("balloon text", textRect);        // rectangle in the picture
//     EXPECT_TRUE(compare.MatchesReference(
//         actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "dialog_reference.png")));
//
// Text is placed a fraction of a pixel differently by 32-bit and 64-bit Wine
// (and Windows), so a pixel is compared with the other picture's neighbourhood:
// it differs when one of its channels lies more than `channelTolerance` outside
// the range the other picture shows within `shiftReach` pixels around it (in
// either direction: a pixel of the reference the screen cannot explain counts
// as well as one of the screen). A lost or new text, a changed colour or a
// control moved by two pixels still differs; `shiftReach` 0 compares pixel by
// pixel. The picture passes when no more than `globalPermille` per mille of
// all its pixels differ AND, for every region, no more than the region's own
// budget (by default `regionPercent` percent of the region's pixels, at least
// `regionMinimum`). The global budget absorbs anti-aliasing noise; the region
// budgets see what it would hide: a lost text, a control drawn in the wrong
// colour or place. Give each control and each text its region.
//
// Writing the reference: run the test with KESTROVA_UPDATE_REFERENCE=1; the
// current picture is written to the reference path (look at it, then commit
// it) and the comparison passes. A failing comparison leaves what it saw as
// "<reference name>_actual.png" in the working folder (the build folder) and
// names the regions over budget.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "WindowTestHelpers.h"

namespace WEXA {
class PaintManager;
class MControl;
}  // namespace WEXA

namespace testutil {

struct CompareRegion
{
    std::string name;
    RECT rect;        // in the picture's pixels
    int budget = -1;  // differing pixels allowed; -1: the comparison's default for its size
};

class ScreenshotCompare
{
public:
    int channelTolerance = 40;
    int shiftReach = 1;
    int globalPermille = 15;
    int regionPercent = 2;
    int regionMinimum = 4;

    // A rectangle of the picture with its own budget.
    void AddRegion(const std::string& name, const RECT& rect, int budget = -1);
    // Every visible area and control of an engine (children of containers
    // too), as the window shows them; `area` is the captured screen rectangle.
    void AddControls(WEXA::PaintManager* engine, HWND window, const RECT& area);
    // A window's client rectangle, as the captured screen rectangle shows it.
    void AddWindow(const std::string& name, HWND window, const RECT& area, int inset = 0);

    const std::vector<CompareRegion>& Regions() const { return regions_; }

    // Compares two pictures of the same size; the failure message names the
    // global count and every region over its budget.
    ::testing::AssertionResult Compare(const PixelBuffer& expected,
                                       const PixelBuffer& actual) const;
    // Compares with the PNG at referencePath (or writes it, see above).
    ::testing::AssertionResult MatchesReference(const PixelBuffer& actual,
                                                const std::wstring& referencePath) const;

private:
    void AddControlTree(WEXA::MControl* control, POINT offset);
    std::vector<CompareRegion> regions_;
};

// The screen's pixels of a rectangle (screen coordinates).
PixelBuffer CaptureScreen(const RECT& area);
// PNG files through GDI+ (opaque pixels).
bool SavePng(const PixelBuffer& picture, const std::wstring& path);
bool LoadPng(const std::wstring& path, PixelBuffer& out);
// A file beside the test's sources as a Windows path: TestSourceFile(TEST_SOURCE_DIR, "x.png").
std::wstring TestSourceFile(const char* sourceDir, const char* name);

}  // namespace testutil
