#include "ScreenshotCompare.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "MControl.h"
#include "PaintManager.h"
#include "WexaGdiplus.h"

namespace testutil {

namespace {

bool Differs(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) return true;
    }
    return false;
}

// Per channel, the smallest and largest value of each pixel's neighbourhood
// (the pixels at most `reach` away, the picture's edge clamped).
struct ChannelRange
{
    std::vector<uint32_t> low, high;
};

ChannelRange NeighbourhoodRange(const PixelBuffer& picture, int reach)
{
    const int w = picture.width, h = picture.height;
    auto lowOf = [](uint32_t a, uint32_t b) {
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8)
            out |= std::min((a >> shift) & 0xFF, (b >> shift) & 0xFF) << shift;
        return out;
    };
    auto highOf = [](uint32_t a, uint32_t b) {
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8)
            out |= std::max((a >> shift) & 0xFF, (b >> shift) & 0xFF) << shift;
        return out;
    };
    // Rows first, then columns: the square neighbourhood in two passes.
    std::vector<uint32_t> rowLow(picture.pixels.size()), rowHigh(picture.pixels.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t lo = 0xFFFFFF, hi = 0;
            for (int dx = -reach; dx <= reach; ++dx) {
                const int nx = std::min(std::max(x + dx, 0), w - 1);
                const uint32_t v = picture.pixels[static_cast<size_t>(y) * w + nx] & 0xFFFFFF;
                lo = lowOf(lo, v);
                hi = highOf(hi, v);
            }
            rowLow[static_cast<size_t>(y) * w + x] = lo;
            rowHigh[static_cast<size_t>(y) * w + x] = hi;
        }
    ChannelRange range;
    range.low.resize(picture.pixels.size());
    range.high.resize(picture.pixels.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t lo = 0xFFFFFF, hi = 0;
            for (int dy = -reach; dy <= reach; ++dy) {
                const int ny = std::min(std::max(y + dy, 0), h - 1);
                lo = lowOf(lo, rowLow[static_cast<size_t>(ny) * w + x]);
                hi = highOf(hi, rowHigh[static_cast<size_t>(ny) * w + x]);
            }
            range.low[static_cast<size_t>(y) * w + x] = lo;
            range.high[static_cast<size_t>(y) * w + x] = hi;
        }
    return range;
}

// Whether every channel of `v` lies within [low - tolerance, high + tolerance].
bool OutsideRange(uint32_t v, uint32_t low, uint32_t high, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = static_cast<int>((v >> shift) & 0xFF);
        if (c < static_cast<int>((low >> shift) & 0xFF) - tolerance ||
            c > static_cast<int>((high >> shift) & 0xFF) + tolerance)
            return true;
    }
    return false;
}

POINT ClientOrigin(HWND window, const RECT& area)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return POINT{origin.x - area.left, origin.y - area.top};
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t ch : text) out += ch < 128 ? static_cast<char>(ch) : '?';
    return out;
}

}  // namespace

void ScreenshotCompare::AddRegion(const std::string& name, const RECT& rect, int budget)
{
    regions_.push_back({name, rect, budget});
}

void ScreenshotCompare::AddControlTree(WEXA::MControl* control, POINT offset)
{
    if (!control || !control->IsVisible()) return;
    CRect r = control->GetRect();
    std::ostringstream name;
    name << Narrow(control->GetClassNameW()) << " " << control->GetControlID();
    AddRegion(name.str(),
              RECT{r.left + offset.x, r.top + offset.y, r.right + offset.x, r.bottom + offset.y});
    for (WEXA::MControl* child : control->m_areas) AddControlTree(child, offset);
    for (WEXA::MControl* child : control->m_controls) AddControlTree(child, offset);
}

void ScreenshotCompare::AddControls(WEXA::PaintManager* engine, HWND window, const RECT& area)
{
    POINT offset = ClientOrigin(window, area);
    for (WEXA::MControl* control : engine->GetAreaControls()) AddControlTree(control, offset);
    for (WEXA::MControl* control : engine->GetControls()) AddControlTree(control, offset);
}

void ScreenshotCompare::AddWindow(const std::string& name, HWND window, const RECT& area, int inset)
{
    RECT client;
    GetClientRect(window, &client);
    POINT offset = ClientOrigin(window, area);
    AddRegion(name, RECT{offset.x + inset, offset.y + inset, offset.x + client.right - inset,
                         offset.y + client.bottom - inset});
}

::testing::AssertionResult ScreenshotCompare::Compare(const PixelBuffer& expected,
                                                      const PixelBuffer& actual) const
{
    if (expected.width != actual.width || expected.height != actual.height) {
        return ::testing::AssertionFailure()
               << "picture is " << actual.width << "x" << actual.height << ", reference "
               << expected.width << "x" << expected.height;
    }
    std::vector<unsigned char> diff(actual.pixels.size());
    int differing = 0;
    if (shiftReach <= 0) {
        for (size_t i = 0; i < diff.size(); ++i) {
            diff[i] = Differs(actual.pixels[i], expected.pixels[i], channelTolerance);
            differing += diff[i];
        }
    } else {
        // Each picture's pixel must lie within what the other shows around the
        // same place: a glyph drawn a fraction of a pixel (or one pixel) aside
        // blends into its neighbours' values and passes; a text that is gone or
        // new, a colour that changed, or an edge moved further than the reach
        // leaves pixels that no neighbour explains, in both directions.
        const ChannelRange aroundExpected = NeighbourhoodRange(expected, shiftReach);
        const ChannelRange aroundActual = NeighbourhoodRange(actual, shiftReach);
        for (size_t i = 0; i < diff.size(); ++i) {
            diff[i] = OutsideRange(actual.pixels[i], aroundExpected.low[i], aroundExpected.high[i],
                                   channelTolerance) ||
                      OutsideRange(expected.pixels[i], aroundActual.low[i], aroundActual.high[i],
                                   channelTolerance);
            differing += diff[i];
        }
    }
    const int allowed = static_cast<int>(static_cast<long long>(actual.width) * actual.height *
                                         globalPermille / 1000);
    std::ostringstream failures;
    if (differing > allowed)
        failures << "\n  whole picture: " << differing << " pixels differ, " << allowed
                 << " allowed";
    for (const CompareRegion& region : regions_) {
        const int left = std::max<int>(region.rect.left, 0);
        const int top = std::max<int>(region.rect.top, 0);
        const int right = std::min<int>(region.rect.right, actual.width);
        const int bottom = std::min<int>(region.rect.bottom, actual.height);
        if (right <= left || bottom <= top) continue;
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += diff[static_cast<size_t>(y) * actual.width + x];
        int budget = region.budget;
        if (budget < 0)
            budget = std::max(regionMinimum, (right - left) * (bottom - top) * regionPercent / 100);
        if (count > budget)
            failures << "\n  " << region.name << " (" << left << "," << top << ")-(" << right << ","
                     << bottom << "): " << count << " pixels differ, " << budget << " allowed";
    }
    if (failures.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the picture differs from the reference:" << failures.str();
}

::testing::AssertionResult ScreenshotCompare::MatchesReference(
    const PixelBuffer& actual, const std::wstring& referencePath) const
{
    const char* update = std::getenv("KESTROVA_UPDATE_REFERENCE");
    if (update && *update == '1') {
        if (!SavePng(actual, referencePath))
            return ::testing::AssertionFailure() << "could not write " << Narrow(referencePath);
        std::printf("reference picture written: %s\n", Narrow(referencePath).c_str());
        return ::testing::AssertionSuccess();
    }
    PixelBuffer expected;
    if (!LoadPng(referencePath, expected))
        return ::testing::AssertionFailure() << "no reference picture " << Narrow(referencePath)
                                             << "; run with KESTROVA_UPDATE_REFERENCE=1";
    ::testing::AssertionResult result = Compare(expected, actual);
    if (!result) {
        std::wstring name = referencePath.substr(referencePath.find_last_of(L"\\/") + 1);
        name = name.substr(0, name.rfind(L'.')) + L"_actual.png";
        SavePng(actual, name);
        result << "\n  (what the screen showed: " << Narrow(name) << " in the build folder)";
    }
    return result;
}

PixelBuffer CaptureScreen(const RECT& area)
{
    MemoryCanvas canvas(area.right - area.left, area.bottom - area.top);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), screen, area.left, area.top,
           SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas.Read();
}

bool SavePng(const PixelBuffer& picture, const std::wstring& path)
{
    Gdiplus::Bitmap bitmap(picture.width, picture.height, PixelFormat32bppARGB);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(0xFF000000 | picture.At(x, y)));
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool LoadPng(const std::wstring& path, PixelBuffer& out)
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

std::wstring TestSourceFile(const char* sourceDir, const char* name)
{
    std::string path = std::string("Z:") + sourceDir + "/" + name;
    for (char& ch : path)
        if (ch == '/') ch = '\\';
    return std::wstring(path.begin(), path.end());
}

}  // namespace testutil
