// Selecting a keyboard model: its layout file on the keyboard picture and the
// effect preview (compared with references, picture_<layout>.png and
// preview_<layout>.png beside this file; KESTROVA_UPDATE_REFERENCE=1 writes
// them), its key maps and light bars, the main tab's items, the database, and
// layout values that do not fit their tables.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "KeyboardCtrl.h"
#include "MPicture.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "MainWindowHarness.h"
#include "NimbrelEffect.h"
#include "ScreenshotCompare.h"
#include "SimKeyboardModels.h"
#include "mainwnd/KeyboardLayout.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace {

using testutil::MainWindowHarness;

std::wstring Wide(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

size_t PictureKeys(KeyboardDlg& dlg)
{
    auto* picture = dlg.CtlAs<WEXA::KeyboardCtrl>(58);
    return picture ? picture->GetKeyItems().size() : 0;
}

size_t PreviewItems(KeyboardDlg& dlg)
{
    auto* preview = dlg.CtlAs<WEXA::NimbrelEffect>(59);
    return preview ? preview->GetKeyItems().size() : 0;
}

// A layout file beside the program for a model the test adds.
class ScratchLayout
{
public:
    ScratchLayout(const std::wstring& name, const std::string& xml)
        : path_(GetExeFolder() + L"layouts\\" + name + L".xml")
    {
        std::ofstream out(std::string(path_.begin(), path_.end()), std::ios::binary);
        out << xml;
    }
    ~ScratchLayout() { DeleteFileW(path_.c_str()); }

private:
    std::wstring path_;
};

TEST(LayoutValues, RowAndColumnPairs)
{
    struct Row
    {
        const wchar_t* text;
        int row, column;
    };
    const Row rows[] = {{L"5,3", 5, 3}, {L"5,13", 5, 13}, {L"12,3", 1, 0},
                        {L"", 0, 0},    {L"7", 7, 7},     {L"0,24", 0, 24}};
    for (const Row& r : rows) {
        int row = -1, column = -1;
        ParseNumberPair(r.text, row, column);
        EXPECT_EQ(row, r.row) << std::string(r.text, r.text + wcslen(r.text));
        EXPECT_EQ(column, r.column) << std::string(r.text, r.text + wcslen(r.text));
    }
}

TEST(LayoutValues, OutOfTableValuesAreRefusedOrClamped)
{
    ScratchLayout file(L"scratch_values", R"(<?xml version="1.0" encoding="UTF-8"?>
<device.info>
  <Keyboard bk_color="102030" xpos="10" ypos="20" width="300" height="-40" image="k.png" row_count="99" col_count="-4">
    <KeyItems>
      <key code="4" name="A" desc="A" key_index="127" light_index="0" rect_left="1" rect_top="2" rect_width="30" rect_height="-5" row_col="9,99"/>
      <key code="5" name="B" desc="B" key_index="128" light_index="3" rect_left="1" rect_top="2" rect_width="30" rect_height="30" row_col="2,-1"/>
      <key code="6" name="C" desc="C" key_index="-1" light_index="3" rect_left="1" rect_top="2" rect_width="30" rect_height="30" row_col="2,2"/>
      <key code="7" name="D" desc="D" key_index="3" light_index="500" rect_left="1" rect_top="2" rect_width="30" rect_height="30" row_col="2,2"/>
      <key code="8" name="E" desc="E" key_index="4" light_index="-2" rect_left="1" rect_top="2" rect_width="30" rect_height="30" row_col="2,2"/>
    </KeyItems>
  </Keyboard>
</device.info>
)");
    KeyboardLayout layout = LoadKeyboardLayout(GetExeFolder() + L"layouts\\scratch_values.xml");
    ASSERT_TRUE(layout.loaded);
    EXPECT_EQ(layout.background, COLORREF(0x102030));
    EXPECT_EQ(layout.height, 0);
    EXPECT_EQ(layout.rowCount, kEffectGridRows);
    EXPECT_EQ(layout.columnCount, 0);
    EXPECT_EQ(layout.image, L"keyboard\\k.png");
    ASSERT_EQ(layout.keys.size(), 5u);
    EXPECT_TRUE(layout.keys[0].indexesValid);
    EXPECT_EQ(layout.keys[0].rect.bottom, 2);
    EXPECT_EQ(layout.keys[0].gridRow, kEffectGridRows - 1);
    EXPECT_EQ(layout.keys[0].gridColumn, kEffectGridColumns - 1);
    EXPECT_EQ(layout.keys[1].gridColumn, 0);
    for (size_t i = 1; i < 5; ++i) EXPECT_FALSE(layout.keys[i].indexesValid) << i;

    // Selected as a model: every key on the picture, only the valid one in the maps.
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    DeviceEntry model;
    model.name = L"Scratch";
    model.deviceType = 177;
    model.layoutName = L"scratch_values";
    h.Dlg().m_keyboards.push_back(model);
    h.Dlg().SelectDevice(177);
    EXPECT_EQ(PictureKeys(h.Dlg()), 5u);
    EXPECT_EQ(PreviewItems(h.Dlg()), 5u);
    EXPECT_EQ(h.Dlg().m_keyMaps.keyCodeToIndex, (std::map<int, int>{{4, 127}}));
    EXPECT_EQ(h.Dlg().m_keyMaps.keyCodeToLed, (std::map<int, int>{{4, 0}}));
    EXPECT_EQ(h.Dlg().m_keyGridRows, kEffectGridRows);
    for (const auto& led : h.Dlg().m_keyMaps.ledToKeyCode) {
        EXPECT_GE(led.first, 0);
        EXPECT_LT(led.first, kLayoutTableSize);
    }
}

TEST(LayoutSelect, EachModelLoadsItsLayoutIntoThePictureAndThePreview)
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    MainWindowHarness h;
    ASSERT_TRUE(h.Start(SW_SHOW));
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    HWND window = h.Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    KeyboardDlg& dlg = h.Dlg();
    if (auto* gif = static_cast<WEXA::CGifPicture*>(dlg.Ctl(31))) gif->SetRunState(0, 0);
    dlg.ShowIds({31, 80, 81}, false);
    for (const sim::SimModel& model : sim::Models()) {
        SCOPED_TRACE(model.name);
        dlg.SelectDevice(model.deviceType);
        EXPECT_EQ(dlg.m_deviceType, model.deviceType);
        EXPECT_EQ(dlg.m_modelName, Wide(model.name));
        EXPECT_EQ(std::wstring(dlg.CtlAs<WEXA::MText>(38)->GetTitle()), Wide(model.name));
        const std::string db = DeviceDataDB::Instance()->GetPath();
        EXPECT_NE(db.find(std::string(model.name) + "_data_2.db"), std::string::npos) << db;
        // Keys and maps as the keyboard of that model has them.
        EXPECT_EQ(PictureKeys(dlg), model.keyCount);
        EXPECT_EQ(PreviewItems(dlg), model.keyCount + size_t(model.deviceType == 101   ? 42
                                                             : model.deviceType == 102 ? 27
                                                                                       : 0));
        for (size_t i = 0; i < model.keyCount; ++i) {
            const sim::SimModelKey& key = model.keys[i];
            EXPECT_EQ(dlg.m_keyMaps.keyCodeToIndex[key.usage], key.keyIndex) << key.usage;
            EXPECT_EQ(dlg.m_keyMaps.keyCodeToLed[key.usage], key.led) << key.usage;
        }
        // The main tab's lighting, matrix-screen and effect items.
        WEXA::MTabCtrl* tab = dlg.MainTab();
        EXPECT_EQ(tab->GetItemVisible(1), model.deviceType < 150 ? 1 : 0);
        EXPECT_EQ(tab->GetItemVisible(2), model.deviceType == 102 ? 1 : 0);
        EXPECT_EQ(tab->GetItemVisible(3), model.deviceType < 150 ? 1 : 0);
        // The LCD page's item (the last one) for the keyboard with the screen alone.
        EXPECT_EQ(tab->GetItemVisible(tab->GetItemCount() - 1), model.lcd ? 1 : 0);
        EXPECT_EQ(tab->GetItemID(tab->GetItemCount() - 1), 6);

        for (UINT shown : {58u, 59u}) {
            dlg.Show(58, shown == 58);
            dlg.Show(59, shown == 59);
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            h.Pump(150);
            RECT area = dlg.Ctl(shown)->GetRect();
            MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
            testutil::PixelBuffer actual = testutil::CaptureScreen(area);
            testutil::ScreenshotCompare compare;
            compare.AddControls(dlg.GetPaintManager(), window, area);
            std::string name =
                std::string(shown == 58 ? "picture_" : "preview_") + model.layout + ".png";
            EXPECT_TRUE(compare.MatchesReference(
                actual, testutil::TestSourceFile(TEST_SOURCE_DIR, name.c_str())))
                << name;
        }
    }
}

TEST(LayoutSelect, SelectingAgainRebuildsAndAMissingFileKeepsThePreviousKeys)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    dlg.SelectDevice(101);
    dlg.SelectDevice(101);
    EXPECT_EQ(PreviewItems(dlg), 87u + 42u);  // the light bars once
    EXPECT_EQ(dlg.m_keyMaps.keyCodeToLed[300], 87);
    EXPECT_EQ(dlg.m_keyMaps.keyCodeToLed[332], 120);  // the right strip wins
    EXPECT_EQ(dlg.m_keyMaps.keyCodeToLed[340], 128);
    // A model whose layout file is missing: title, database and tabs change,
    // the keys stay.
    DeviceEntry model;
    model.name = L"No layout";
    model.deviceType = 160;
    model.layoutName = L"no_such_layout";
    dlg.m_keyboards.push_back(model);
    dlg.SelectDevice(160);
    EXPECT_EQ(std::wstring(dlg.CtlAs<WEXA::MText>(38)->GetTitle()), L"No layout");
    EXPECT_EQ(PictureKeys(dlg), 87u);
    EXPECT_EQ(PreviewItems(dlg), 87u + 42u);
    EXPECT_EQ(dlg.MainTab()->GetItemVisible(1), 0);
    // An unknown type: empty title.
    dlg.SelectDevice(999);
    EXPECT_EQ(std::wstring(dlg.CtlAs<WEXA::MText>(38)->GetTitle()), L"");
}

// The K87's top light strip runs from the left strip to the right one: its
// last light sits over the right strip's top light, not past it.
TEST(LayoutSelect, TheTopStripEndsAtTheSideStrips)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    dlg.SelectDevice(101);
    std::vector<CRect> top;  // grid row 0 along the top edge, left to right
    CRect leftTop, rightTop;
    for (WEXA::KEYITEM_INFO* item : dlg.CtlAs<WEXA::NimbrelEffect>(59)->GetKeyItems()) {
        if (item->keyCode < 300 || item->rect.top != 2) continue;
        if (item->column == 0 && item->row == 8)
            leftTop = item->rect;
        else if (item->column == 24 && item->row == 8)
            rightTop = item->rect;
        else if (item->row == 0)
            top.push_back(item->rect);
    }
    ASSERT_EQ(top.size(), 24u);
    EXPECT_EQ(top.front(), leftTop);
    EXPECT_EQ(top.back(), rightTop);
    for (size_t k = 1; k < top.size(); ++k) {
        const int step = top[k].left - top[k - 1].left;
        EXPECT_TRUE(step == 35 || step == 36) << k << ": " << step;
    }
}

TEST(LayoutSelect, ASelectionWaitsForTheWorkersDeviceState)
{
    MainWindowHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT}));
    KeyboardDlg& dlg = h.Dlg();
    dlg.SelectDevice(101);
    const std::map<int, int> k87Leds = dlg.m_keyMaps.keyCodeToLed;
    // A worker task holds the device state ...
    std::atomic<bool> held{false}, release{false}, selected{false};
    std::thread task([&] {
        CAutoLock hold(dlg.DeviceStateLock());
        held = true;
        while (!release) Sleep(1);
    });
    while (!held) Sleep(1);
    // ... while another model is picked.
    std::thread pick([&] {
        dlg.SelectDevice(102);
        selected = true;
    });
    h.Pump(200);
    EXPECT_FALSE(selected);
    EXPECT_EQ(dlg.m_deviceType, 101);
    EXPECT_EQ(dlg.m_keyMaps.keyCodeToLed, k87Leds);
    EXPECT_EQ(PictureKeys(dlg), 87u);
    release = true;
    EXPECT_TRUE(h.PumpUntil([&] { return selected.load(); }));
    task.join();
    pick.join();
    EXPECT_EQ(dlg.m_deviceType, 102);
    EXPECT_EQ(PictureKeys(dlg), 80u);
}

}  // namespace
