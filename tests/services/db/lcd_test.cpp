// LCD rows: animation layers, their frames and prepared screens.

#include <gtest/gtest.h>

#include "DbFixture.h"

using dbtest::Free;

namespace {

LedFrameData Frame(int led, int index, int delay)
{
    LedFrameData f;
    f.led_id = led;
    f.name.Format(L"\u5E27 %d", index);
    f.delay_time = delay;
    f.frame_index = index;
    f.file_name.Format(L"20240101120000%03d \U0001F5BC.png", index);
    return f;
}

}  // namespace

using Lcd = DbFixture;

TEST_F(Lcd, LayersAlwaysBelongToProfileOne)
{
    const wchar_t* text = L"20240102030405006 '\u56FE\u5C42'";
    int led = db.AddLedLayer(5, text);
    ASSERT_EQ(led, 1);
    EXPECT_EQ(Shell("SELECT led_id, profile, type, frame_size FROM t_ledlayer_data;"), "1|1|0|0\n");
    LedLayerData layer;
    ASSERT_TRUE(db.GetLedLayer(led, layer));
    EXPECT_EQ(layer.led_id, led);
    EXPECT_EQ(layer.profile, 1);
    EXPECT_EQ(layer.type, 0);
    EXPECT_EQ(layer.name, text);
    EXPECT_EQ(layer.frame_size, 0);
    EXPECT_EQ(layer.file_dir, text);
    EXPECT_EQ(layer.first_file, text);

    EXPECT_TRUE(db.SetLedLayerFrameSize(led, 12));
    EXPECT_TRUE(db.SetLedLayerFirstFile(led, dbtest::kEmojiName));
    ASSERT_TRUE(db.GetLedLayer(led, layer));
    EXPECT_EQ(layer.frame_size, 12);
    EXPECT_EQ(layer.first_file, dbtest::kEmojiName);
    EXPECT_EQ(layer.name, text);
    LedLayerData untouched;
    untouched.frame_size = 3;
    EXPECT_FALSE(db.GetLedLayer(99, untouched));
    EXPECT_EQ(untouched.frame_size, 3);

    // A row of another profile (from an older file) is never listed.
    ASSERT_EQ(db.m_db.Exec("INSERT INTO t_ledlayer_data(profile, name) VALUES (2, 'other')"), 0);
    db.AddLedLayer(9, L"second");
    std::vector<LedLayerData*> list(1, new LedLayerData);
    for (int profile : {0, 1, 2, 7}) {
        ASSERT_EQ(db.GetLedLayers(profile, list), 2);
        EXPECT_EQ(list[0]->name, text);
        EXPECT_EQ(list[1]->name, L"second");
    }
    Free(list);
}

TEST_F(Lcd, FramesInFrameIndexOrder)
{
    int led = db.AddLedLayer(1, L"layer");
    EXPECT_EQ(db.CountLedFrames(led), 0);
    EXPECT_EQ(db.InsertLedFrames({Frame(led, 3, 30), Frame(led, 1, 10), Frame(led, 2, 20)}), 3);
    EXPECT_EQ(db.InsertLedFrames({}), 0);
    db.InsertLedFrames({Frame(led + 1, 0, 5)});
    std::vector<LedFrameData*> list;
    ASSERT_EQ(db.GetLedFrames(led, list), 3);
    for (int i = 0; i < 3; ++i) {
        LedFrameData expected = Frame(led, i + 1, (i + 1) * 10);
        EXPECT_GT(list[i]->frame_id, 0);
        EXPECT_EQ(list[i]->led_id, led);
        EXPECT_EQ(list[i]->name, expected.name);
        EXPECT_EQ(list[i]->delay_time, expected.delay_time);
        EXPECT_EQ(list[i]->frame_index, expected.frame_index);
        EXPECT_EQ(list[i]->file_name, expected.file_name);
    }
    EXPECT_EQ(db.CountLedFrames(led), 3);

    // Deleting the layer takes its frames; a missing layer deletes "successfully".
    EXPECT_TRUE(db.DeleteLedLayer(led));
    EXPECT_EQ(db.CountLedFrames(led), 0);
    EXPECT_EQ(db.CountLedFrames(led + 1), 1);
    EXPECT_TRUE(db.DeleteLedLayer(led));
    EXPECT_TRUE(db.DeleteLedFrames(led + 1));
    EXPECT_EQ(db.CountLedFrames(led + 1), 0);
    Free(list);
}

TEST_F(Lcd, ReplacingFramesKeepsTheOldSetOnFailure)
{
    int led = db.AddLedLayer(1, L"layer");
    db.InsertLedFrames({Frame(led, 0, 1), Frame(led, 1, 2)});
    ASSERT_TRUE(
        db.ReplaceLedFrames(led, {Frame(77, 0, 100), Frame(77, 1, 200), Frame(77, 2, 300)}));
    std::vector<LedFrameData*> list;
    ASSERT_EQ(db.GetLedFrames(led, list), 3);
    EXPECT_EQ(list[2]->delay_time, 300);
    EXPECT_EQ(list[2]->led_id, led);

    FailInsertsInto(db, "t_ledframe_data");
    EXPECT_FALSE(db.ReplaceLedFrames(led, {Frame(led, 0, 5)}));
    ASSERT_EQ(db.GetLedFrames(led, list), 3);
    EXPECT_EQ(list[0]->delay_time, 100);
    Free(list);
}

TEST_F(Lcd, ScreensAndClearingLayers)
{
    EXPECT_EQ(db.AddTftScreen(6, 24, dbtest::kChineseName), 1);
    EXPECT_EQ(db.AddTftScreen(2, 1, L"b.png"), 2);
    EXPECT_EQ(Shell("SELECT tft_id, profile, frame_size FROM t_tftscreen_data;"),
              "1|1|24\n2|1|1\n");
    std::vector<TftScreenData*> screens(1, new TftScreenData);
    ASSERT_EQ(db.GetTftScreens(3, screens), 2);
    EXPECT_EQ(screens[0]->tft_id, 1);
    EXPECT_EQ(screens[0]->profile, 1);
    EXPECT_EQ(screens[0]->frame_size, 24);
    EXPECT_EQ(screens[0]->file_name, dbtest::kChineseName);
    Free(screens);

    int led = db.AddLedLayer(1, L"a");
    db.InsertLedFrames({Frame(led, 0, 1)});
    db.DeleteAllLedLayers();
    EXPECT_EQ(Shell("SELECT count(*) FROM t_ledlayer_data; SELECT count(*) FROM t_ledframe_data; "
                    "SELECT count(*) FROM t_tftscreen_data;"),
              "0\n0\n2\n");
}

TEST_F(Lcd, FailedInsertsReturnZero)
{
    FailInsertsInto(db, "t_ledlayer_data");
    EXPECT_EQ(db.AddLedLayer(1, L"x"), 0);
    FailInsertsInto(db, "t_tftscreen_data");
    EXPECT_EQ(db.AddTftScreen(1, 1, L"x"), 0);
    db.CloseDevice();
    EXPECT_EQ(db.AddLedLayer(1, L"x"), 0);
    EXPECT_EQ(db.AddTftScreen(1, 1, L"x"), 0);
}
