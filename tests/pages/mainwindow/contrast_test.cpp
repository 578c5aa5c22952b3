// Texts on the window's dark frame are readable: between the background of a
// text's rectangle (its most frequent colour) and the text's own strokes (the
// pixel that stands out most from it) the contrast ratio is at least 4.5:1, as
// the captured screen shows them.
#include <cmath>
#include <map>
#include <string>

#include "KeyLayerCtrl.h"
#include "MTabCtrl.h"
#include "PageFixture.h"
#include "ScreenshotCompare.h"

namespace pagetest {
namespace {

double Channel(uint32_t value)
{
    const double c = double(value & 0xFF) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t p)
{
    return 0.2126 * Channel(p >> 16) + 0.7152 * Channel(p >> 8) + 0.0722 * Channel(p);
}

double Contrast(uint32_t a, uint32_t b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Contrast of the strongest stroke against the background of `area` (client
// coordinates of the captured picture).
double TextContrast(const testutil::PixelBuffer& picture, const RECT& area)
{
    std::map<uint32_t, int> counts;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) ++counts[picture.At(x, y) & 0xFFFFFF];
    uint32_t background = 0;
    int most = 0;
    for (const auto& c : counts)
        if (c.second > most) {
            most = c.second;
            background = c.first;
        }
    double best = 1.0;
    for (const auto& c : counts) best = std::max(best, Contrast(background, c.first));
    return best;
}

class FrameTextContrast : public PageFixture
{
protected:
    testutil::PixelBuffer Capture()
    {
        HWND window = harness->Window();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        harness->Pump(150);
        RECT area;
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
        return testutil::CaptureScreen(area);
    }
    RECT RectOf(UINT id) { return Dlg().Ctl(id)->GetRect(); }
};

TEST_F(FrameTextContrast, CaptionsOnTheDarkFrameAreReadable)
{
    Start("Kestrova-K87", SW_SHOW);
    HWND window = harness->Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    OpenTab(4);
    const testutil::PixelBuffer picture = Capture();

    // A tab that is not chosen: its caption, right of the icon.
    auto* tabs = Dlg().MainTab();
    ASSERT_NE(tabs, nullptr);
    RECT tab = tabs->GetItemInfo(0)->rect;
    tab.left += 70;
    // The layer list's caption above its entries.
    RECT layers = RectOf(56);
    layers.bottom = layers.top + WEXA::KeyLayerCtrl::FIRST_TOP - 3;
    const struct
    {
        const char* what;
        RECT area;
    } texts[] = {
        {"wordmark", RectOf(37)},
        {"device name", RectOf(38)},
        {"tab caption", tab},
        {"layer list caption", layers},
        {"profile manager button", RectOf(50)},
    };
    for (const auto& t : texts) EXPECT_GE(TextContrast(picture, t.area), 4.5) << t.what;

    // The settings page's caption and links below its card.
    harness->Click(42);
    ASSERT_TRUE(harness->PumpUntil([&] { return Dlg().Ctl(79)->IsVisible() != 0; }));
    const testutil::PixelBuffer settings = Capture();
    for (UINT id : {435u, 436u, 437u, 438u})
        EXPECT_GE(TextContrast(settings, RectOf(id)), 4.5) << "settings text " << id;
}

}  // namespace
}  // namespace pagetest
