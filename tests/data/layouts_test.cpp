// Layout files: they parse cleanly, their keys lie inside the keyboard picture
// without overlapping each other or the light bars, key and LED indexes are in
// range and unique, the grid cells read back as written, and the simulated
// keyboard of each model has the same keys.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "DataFiles.h"
#include "SimKeyboardModels.h"

namespace datatest {
namespace {

// Where the program draws the keys inside the picture (the keyboard picture's and
// the effect preview's picture offset after a model is selected).
const int kOffsetX = 20, kOffsetY = 25;

struct Key
{
    int code, keyIndex, led, row, column;
    RECT rect;
    std::wstring name, rowCol;
};

struct Layout
{
    int xpos = 0, ypos = 0, width = 0, height = 0, rows = 0, columns = 0;
    std::wstring image;
    std::vector<Key> keys;
};

// The row and column of a "row,column" text as the program reads them: the first
// character is the row; the column is the last character of a three-character
// text, else the last two characters.
void ParsePair(const std::wstring& text, int& row, int& column)
{
    row = _wtoi(text.substr(0, 1).c_str());
    column = _wtoi((text.size() == 3 ? text.substr(2) : text.substr(text.size() - 2)).c_str());
}

Layout ReadLayout(const sim::SimModel& model)
{
    Layout layout;
    XmlDocument doc;
    std::wstring file(model.layout, model.layout + strlen(model.layout));
    if (!LoadXml(ExeFolder() + L"layouts\\" + file + L".xml", doc)) return layout;
    EXPECT_TRUE(doc.FindElement(L"device.info"));
    doc.EnterElement();
    EXPECT_TRUE(doc.FindElement(L"Keyboard"));
    layout.xpos = Decimal(doc.GetAttribute(L"xpos"));
    layout.ypos = Decimal(doc.GetAttribute(L"ypos"));
    layout.width = Decimal(doc.GetAttribute(L"width"));
    layout.height = Decimal(doc.GetAttribute(L"height"));
    layout.rows = Decimal(doc.GetAttribute(L"row_count"));
    layout.columns = Decimal(doc.GetAttribute(L"col_count"));
    layout.image = doc.GetAttribute(L"image");
    EXPECT_FALSE(doc.GetAttribute(L"bk_color").empty());
    doc.EnterElement();
    EXPECT_TRUE(doc.FindElement(L"KeyItems"));
    doc.EnterElement();
    while (doc.FindElement(L"key")) {
        Key k;
        k.code = Hex(doc.GetAttribute(L"code"));
        k.name = doc.GetAttribute(L"name");
        k.keyIndex = Decimal(doc.GetAttribute(L"key_index"));
        k.led = Decimal(doc.GetAttribute(L"light_index"));
        const int left = Decimal(doc.GetAttribute(L"rect_left"));
        const int top = Decimal(doc.GetAttribute(L"rect_top"));
        k.rect = {left, top, left + Decimal(doc.GetAttribute(L"rect_width")),
                  top + Decimal(doc.GetAttribute(L"rect_height"))};
        k.rowCol = doc.GetAttribute(L"row_col");
        ParsePair(k.rowCol, k.row, k.column);
        EXPECT_FALSE(doc.GetAttribute(L"desc").empty());
        layout.keys.push_back(k);
    }
    return layout;
}

// The light-bar items the program adds for device types 101 and 102.
std::vector<RECT> LightBarItems(int deviceType)
{
    std::vector<RECT> items;
    auto add = [&](int x, int y) { items.push_back({x, y, x + 6, y + 6}); };
    if (deviceType == 101) {
        for (int i = 0; i < 9; ++i) add(1, 2 + 30 * i);
        for (int k = 0; k < 24; ++k) add(1 + (809 * k + 11) / 23, 2);
        for (int i = 0; i < 9; ++i) add(810, 2 + 30 * i);
    } else if (deviceType == 102) {
        for (int i = 0; i < 27; ++i) add(20 + 29 * i, 312);
    }
    return items;
}

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool InsidePicture(const RECT& r, const Layout& layout)
{
    return r.left + kOffsetX >= 0 && r.top + kOffsetY >= 0 && r.right + kOffsetX <= layout.width &&
           r.bottom + kOffsetY <= layout.height && r.right > r.left && r.bottom > r.top;
}

class LayoutFile : public ::testing::TestWithParam<sim::SimModel>
{};

TEST_P(LayoutFile, KeysLieInsideThePictureWithoutOverlapping)
{
    const sim::SimModel& model = GetParam();
    const Layout layout = ReadLayout(model);
    ASSERT_EQ(model.keyCount, layout.keys.size());
    const std::vector<RECT> bars = LightBarItems(model.deviceType);
    ASSERT_EQ(size_t(model.lightBars), bars.size());
    for (size_t i = 0; i < layout.keys.size(); ++i) {
        const Key& k = layout.keys[i];
        SCOPED_TRACE(Narrow(k.name) + " " + std::to_string(k.code));
        EXPECT_TRUE(InsidePicture(k.rect, layout));
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(Overlap(k.rect, layout.keys[j].rect)) << Narrow(layout.keys[j].name);
        for (const RECT& bar : bars) EXPECT_FALSE(Overlap(k.rect, bar)) << "covers a light";
    }
    for (const RECT& bar : bars) EXPECT_TRUE(InsidePicture(bar, layout));
}

TEST_P(LayoutFile, IndexesAreInRangeAndUnique)
{
    const sim::SimModel& model = GetParam();
    const Layout layout = ReadLayout(model);
    // The light bars take the LEDs after the keys: 87 and up on type 101, 80 on 102.
    const int ledLimit = model.deviceType == 101 ? 87 : model.deviceType == 102 ? 80 : 128;
    std::set<int> codes, indexes, leds;
    for (const Key& k : layout.keys) {
        SCOPED_TRACE(Narrow(k.name) + " " + std::to_string(k.code));
        EXPECT_TRUE(k.code > 0 && k.code < 300);
        EXPECT_TRUE(codes.insert(k.code).second) << "code used twice";
        EXPECT_TRUE(k.keyIndex >= 0 && k.keyIndex <= 127);
        EXPECT_TRUE(indexes.insert(k.keyIndex).second) << "key index used twice";
        EXPECT_TRUE(k.led >= 0 && k.led < ledLimit);
        EXPECT_TRUE(leds.insert(k.led).second) << "LED used twice";
    }
}

TEST_P(LayoutFile, GridCellsFitTheEffectGrid)
{
    const sim::SimModel& model = GetParam();
    const Layout layout = ReadLayout(model);
    // The effect preview's colour map has 8 rows and 32 columns.
    EXPECT_TRUE(layout.rows > 0 && layout.rows <= 8);
    EXPECT_TRUE(layout.columns > 0 && layout.columns <= 32);
    for (const Key& k : layout.keys) {
        SCOPED_TRACE(Narrow(k.rowCol));
        wchar_t written[16];
        swprintf(written, 16, L"%d,%d", k.row, k.column);
        EXPECT_EQ(std::wstring(written), k.rowCol) << "does not read back as written";
        EXPECT_LT(k.row, layout.rows);
        EXPECT_LT(k.column, layout.columns);
        // The light strips of type 101 take row 0 and columns 0 and 24; the bar of 102 row 7.
        if (model.deviceType == 101) {
            EXPECT_TRUE(k.row >= 1 && k.column >= 1 && k.column <= 23);
        }
        if (model.deviceType == 102) {
            EXPECT_LT(k.row, 7);
        }
    }
}

TEST_P(LayoutFile, PictureFitsTheWindowAndHasItsDrawing)
{
    const sim::SimModel& model = GetParam();
    const Layout layout = ReadLayout(model);
    // Right of the left column (x 285), left of the custom-key buttons (x 1220),
    // below the top bar (y 72) and above the custom-key page's key test (y 428).
    EXPECT_GE(layout.xpos, 285);
    EXPECT_LE(layout.xpos + layout.width, 1220);
    EXPECT_GE(layout.ypos, 72);
    EXPECT_LE(layout.ypos + layout.height, 428);
    EXPECT_EQ(std::string(model.layout) + ".png", Narrow(layout.image));
    // The drawing is made at the picture's size.
    std::ifstream svg(std::string(PROJECT_SOURCE_DIR) + "/data/skins/theme1/keyboard/" +
                      model.layout + ".svg");
    ASSERT_TRUE(svg.good());
    std::stringstream text;
    text << svg.rdbuf();
    char size[64];
    snprintf(size, sizeof size, "width=\"%d\" height=\"%d\"", layout.width, layout.height);
    EXPECT_NE(std::string::npos, text.str().find(size)) << size;
    // ... and rendered beside the program, where the picture is loaded from (the
    // skin folder's "keyboard" folder).
    int width = 0, height = 0;
    ASSERT_TRUE(PngSize(ExeFolder() + L"skins\\theme1\\keyboard\\" + layout.image, width, height));
    EXPECT_EQ(layout.width, width);
    EXPECT_EQ(layout.height, height);
}

TEST_P(LayoutFile, SimulatedKeyboardHasTheSameKeys)
{
    const sim::SimModel& model = GetParam();
    const Layout layout = ReadLayout(model);
    ASSERT_EQ(model.keyCount, layout.keys.size());
    // Each key's record in the default key table names the key's code, and the
    // key-to-LED table gives its LED, as the profile load reads them.
    const sim::Bytes table = sim::DefaultKeyTable(model);
    const sim::Bytes ledTable = sim::LedTable(model);
    for (size_t i = 0; i < layout.keys.size(); ++i) {
        const Key& k = layout.keys[i];
        SCOPED_TRACE(Narrow(k.name));
        EXPECT_EQ(model.keys[i].usage, k.code);
        EXPECT_EQ(model.keys[i].keyIndex, k.keyIndex);
        const uint8_t* r = &table[size_t(k.keyIndex) * 3];
        int named = 0;
        if (r[0] == 0x10) {
            const uint8_t bits = r[1];
            if (bits && !(bits & (bits - 1))) {
                named = 224;
                while (!(bits & (1 << (named - 224)))) ++named;
            } else {
                named = r[2];
            }
        } else if (r[0] == 0x50 && r[1] == 2) {
            named = 240;
        }
        EXPECT_EQ(k.code, named);
        EXPECT_EQ(k.led, ledTable[size_t(k.keyIndex)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Models, LayoutFile, ::testing::ValuesIn(sim::Models()),
                         [](const ::testing::TestParamInfo<sim::SimModel>& info) {
                             return std::string(info.param.layout);
                         });

}  // namespace
}  // namespace datatest
