// The face a text is drawn in: character maps read from font tables, the
// choice among faces that hold or lack a text's characters (a face list
// without them included), and the pixels drawn for arrows and Chinese in the
// library's Latin-only face, which must not be empty boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "GlyphFaces.h"

using WEXA::GlyphFaces;

namespace {

// ---- a small cmap table builder ----

void Put16(std::vector<BYTE>& b, UINT32 v)
{
    b.push_back(BYTE(v >> 8));
    b.push_back(BYTE(v));
}
void Put32(std::vector<BYTE>& b, UINT32 v)
{
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}

struct Segment
{
    UINT16 start, end;
    INT16 delta;
    std::vector<UINT16> glyphs;  // when not empty: glyphs through idRangeOffset
};

// A format-4 subtable of the given segments (the closing 0xFFFF one added).
std::vector<BYTE> Format4(std::vector<Segment> segments)
{
    segments.push_back({0xFFFF, 0xFFFF, 1, {}});
    const UINT32 n = static_cast<UINT32>(segments.size());
    std::vector<UINT16> glyphArray;
    std::vector<UINT32> rangeOffsets(n, 0);
    for (UINT32 i = 0; i < n; ++i) {
        if (segments[i].glyphs.empty()) continue;
        // From the idRangeOffset word of segment i to its first glyph.
        rangeOffsets[i] = 2 * (n - i) + 2 * static_cast<UINT32>(glyphArray.size());
        glyphArray.insert(glyphArray.end(), segments[i].glyphs.begin(), segments[i].glyphs.end());
    }
    std::vector<BYTE> b;
    Put16(b, 4);
    Put16(b, 16 + 8 * n + 2 * static_cast<UINT32>(glyphArray.size()));
    Put16(b, 0);
    Put16(b, 2 * n);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, 0);
    for (const Segment& s : segments) Put16(b, s.end);
    Put16(b, 0);
    for (const Segment& s : segments) Put16(b, s.start);
    for (const Segment& s : segments) Put16(b, UINT16(s.delta));
    for (UINT32 o : rangeOffsets) Put16(b, o);
    for (UINT16 g : glyphArray) Put16(b, g);
    return b;
}

std::vector<BYTE> Format12(const std::vector<std::vector<UINT32>>& groups)
{
    std::vector<BYTE> b;
    Put16(b, 12);
    Put16(b, 0);
    Put32(b, 16 + 12 * static_cast<UINT32>(groups.size()));
    Put32(b, 0);
    Put32(b, static_cast<UINT32>(groups.size()));
    for (const auto& g : groups) {
        Put32(b, g[0]);
        Put32(b, g[1]);
        Put32(b, g[2]);
    }
    return b;
}

// A cmap table of (platform, encoding, subtable) records.
std::vector<BYTE> Cmap(
    const std::vector<std::pair<std::pair<UINT16, UINT16>, std::vector<BYTE>>>& subs)
{
    std::vector<BYTE> b;
    Put16(b, 0);
    Put16(b, static_cast<UINT32>(subs.size()));
    UINT32 offset = 4 + 8 * static_cast<UINT32>(subs.size());
    for (const auto& s : subs) {
        Put16(b, s.first.first);
        Put16(b, s.first.second);
        Put32(b, offset);
        offset += static_cast<UINT32>(s.second.size());
    }
    for (const auto& s : subs) b.insert(b.end(), s.second.begin(), s.second.end());
    return b;
}

typedef GlyphFaces::Ranges Ranges;

TEST(GlyphFacesCmap, ReadsTheUnicodeSubtables)
{
    struct Case
    {
        const char* what;
        std::vector<BYTE> table;
        Ranges expected;
    } cases[] = {
        {"format 4 by delta",
         Cmap({{{3, 1}, Format4({{0x20, 0x7E, -29, {}}, {0x2190, 0x2193, 100, {}}})}}),
         {{0x20, 0x7E}, {0x2190, 0x2193}}},
        {"format 4 glyph array with a hole",
         Cmap({{{3, 1}, Format4({{0x41, 0x45, 0, {5, 6, 0, 8, 9}}})}}),
         {{0x41, 0x42}, {0x44, 0x45}}},
        {"format 4 delta landing on glyph 0",
         Cmap({{{3, 1}, Format4({{0x30, 0x39, -0x35, {}}})}}),
         {{0x30, 0x34}, {0x36, 0x39}}},
        {"format 12 beyond the BMP",
         Cmap({{{3, 10}, Format12({{0x4E00, 0x9FFF, 10}, {0x1F600, 0x1F64F, 30000}})}}),
         {{0x4E00, 0x9FFF}, {0x1F600, 0x1F64F}}},
        {"both subtables merged",
         Cmap({{{0, 3}, Format4({{0x41, 0x5A, 1, {}}})},
               {{3, 10}, Format12({{0x5B, 0x60, 40}, {0x3000, 0x303F, 50}})}}),
         {{0x41, 0x60}, {0x3000, 0x303F}}},
        {"a symbol subtable is not Unicode",
         Cmap({{{3, 0}, Format4({{0xF020, 0xF0FF, 1, {}}})}}),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Ranges ranges;
        const bool read = GlyphFaces::ParseCmap(c.table.data(), c.table.size(), ranges);
        EXPECT_EQ(read, !c.expected.empty());
        EXPECT_EQ(ranges, c.expected);
    }
    // Cut short: nothing read past the end, no crash.
    const std::vector<BYTE> whole = Cmap({{{3, 1}, Format4({{0x20, 0x7E, 1, {}}})}});
    for (size_t size = 0; size < whole.size(); ++size) {
        Ranges ranges;
        GlyphFaces::ParseCmap(whole.data(), size, ranges);
    }
}

// ---- the choice of a face ----

TEST(GlyphFacesChoice, TakesTheFirstFaceHoldingEveryDrawnCharacter)
{
    const Ranges latin = {{0x20, 0x17F}};
    const Ranges symbols = {{0x20, 0x7E}, {0x2190, 0x21FF}};
    const Ranges chinese = {{0x20, 0x7E}, {0x2190, 0x2193}, {0x4E00, 0x9FFF}};
    struct Case
    {
        const wchar_t* text;
        std::vector<const Ranges*> faces;
        int expected;
    } cases[] = {
        {L"Backspace", {&latin, &symbols}, 0},
        {L"\x2191", {&latin, nullptr, &symbols, &chinese}, 2},           // arrow
        {L"\x2193  Left click", {&latin, &symbols}, 1},                  // event list
        {L"\x7B80\x4F53\x4E2D\x6587", {&latin, &symbols, &chinese}, 2},  // 简体中文
        {L"\x7E41\x9AD4 \x2190", {&latin, &symbols, &chinese}, 2},       // both kinds
        {L"A\x200D\xFE0F\x00A0 B\r\n", {&latin}, 0},                     // need no glyph
        {L"\x2191\x4E2D", {&latin, &symbols}, 1},                        // none holds all
        {L"\x4E2D", {nullptr, nullptr}, -1},                             // none known
        {L"\xD83D\xDE00", {&latin, &chinese, &symbols}, 0},              // all lack it
        {L"\x2191", {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(GlyphFaces::Choose(c.text, -1, c.faces), c.expected);
    }
    EXPECT_EQ(GlyphFaces::Missing(latin, L"\x2191 A \x2193", -1), 2);
}

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::vector<BYTE> ReadFile(const std::wstring& path)
{
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The library's face, loaded privately as the engine loads it.
class LibraryFace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bytes_ = ReadFile(ExeFolder() + L"fonts\\Roboto-Medium.ttf");
        ASSERT_FALSE(bytes_.empty());
        ASSERT_EQ(fonts_.AddMemoryFont(bytes_.data(), static_cast<INT>(bytes_.size())),
                  Gdiplus::Ok);
        int found = 0;
        ASSERT_EQ(fonts_.GetFamilies(1, &family_, &found), Gdiplus::Ok);
        ASSERT_EQ(found, 1);
        GlyphFaces::RegisterFace(&family_, bytes_.data(), bytes_.size());
    }
    void TearDown() override { GlyphFaces::SetFallbackFaces({}); }

    std::vector<BYTE> bytes_;
    Gdiplus::PrivateFontCollection fonts_;
    Gdiplus::FontFamily family_;
};

TEST_F(LibraryFace, ItsMapHoldsLatinButNeitherArrowsNorChinese)
{
    Ranges ranges;
    ASSERT_TRUE(GlyphFaces::ParseFontFile(bytes_.data(), bytes_.size(), ranges));
    EXPECT_TRUE(GlyphFaces::Covers(ranges, L"Backspace ~!@#$%^&*()", -1));
    EXPECT_FALSE(GlyphFaces::Covers(ranges, L"\x2191", -1));
    EXPECT_FALSE(GlyphFaces::Covers(ranges, L"\x7B80", -1));
    wchar_t name[LF_FACESIZE] = {};
    family_.GetFamilyName(name);
    const Ranges* registered = GlyphFaces::FaceRanges(name);
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ(*registered, ranges);
    EXPECT_EQ(GlyphFaces::FaceRanges(L"No Such Face Kestrova"), nullptr);
}

TEST_F(LibraryFace, TextItLacksGoesToAFaceOfTheListThatHoldsIt)
{
    Gdiplus::Font font(&family_, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    // Its own characters stay in its own face.
    EXPECT_EQ(GlyphFaces::FaceFor(&font, L"Backspace", -1), L"");
    // A list whose faces are not installed or lack the characters: the
    // library's face stays (nothing better exists), never a face that is not there.
    GlyphFaces::SetFallbackFaces({L"No Such Face Kestrova", L"Another Missing Face"});
    EXPECT_EQ(GlyphFaces::FaceFor(&font, L"\x2191", -1), L"");
    EXPECT_EQ(GlyphFaces::FaceFor(&font, L"\x7B80\x4F53\x4E2D\x6587", -1), L"");
    // The standard list: a face installed here that holds them all.
    GlyphFaces::SetFallbackFaces({});
    for (const wchar_t* text : {L"\x2191", L"\x2193  Left click", L"\x7B80\x4F53\x4E2D\x6587",
                                L"\x7E41\x9AD4\x4E2D\x6587"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        const std::wstring face = GlyphFaces::FaceFor(&font, text, -1);
        ASSERT_NE(face, L"");
        const Ranges* ranges = GlyphFaces::FaceRanges(face.c_str());
        ASSERT_NE(ranges, nullptr);
        EXPECT_TRUE(GlyphFaces::Covers(*ranges, text, -1));
    }
}

// ---- pixels ----

// The text drawn in black on white, as one row-major grey buffer.
std::vector<BYTE> Render(const wchar_t* text, Gdiplus::Font& font, bool fallback)
{
    const int w = 160, h = 40;
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(0xFFFFFFFF));
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
        Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
        const Gdiplus::RectF box(4, 4, w - 8.0f, h - 8.0f);
        if (fallback)
            GlyphFaces::DrawString(g, text, -1, &font, box, nullptr, &black);
        else
            g.DrawString(text, -1, &font, box, nullptr, &black);
    }
    std::vector<BYTE> grey;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Gdiplus::Color c;
            bitmap.GetPixel(x, y, &c);
            grey.push_back(c.GetG());
        }
    return grey;
}

int Ink(const std::vector<BYTE>& grey)
{
    int ink = 0;
    for (BYTE v : grey) ink += v < 128;
    return ink;
}

TEST_F(LibraryFace, ArrowsAndChineseAreDrawnAsGlyphsNotEmptyBoxes)
{
    Gdiplus::Font font(&family_, 16.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    // What the face draws for characters it has not: the same box for each
    // (U+0378 is assigned to nothing, so no face has it).
    struct Case
    {
        const wchar_t* text;
        const wchar_t* boxes;
    } cases[] = {
        {L"\x2191\x2193\x2190\x2192", L"\x0378\x0378\x0378\x0378"},
        {L"\x7B80\x4F53\x4E2D\x6587", L"\x0378\x0378\x0378\x0378"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        const std::vector<BYTE> drawn = Render(c.text, font, true);
        const std::vector<BYTE> boxes = Render(c.boxes, font, false);
        EXPECT_GT(Ink(drawn), 20);
        EXPECT_NE(drawn, boxes) << "the text came out as empty boxes";
    }
    // Latin is drawn in the face itself, exactly as without the fallback.
    EXPECT_EQ(Render(L"Ctrl Shift", font, true), Render(L"Ctrl Shift", font, false));
}

}  // namespace
