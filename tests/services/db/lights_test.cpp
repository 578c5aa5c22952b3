// Lighting rows: modes of a light type, the active mode, per-key colours and
// custom-light rows.

#include <gtest/gtest.h>

#include "DbFixture.h"

using dbtest::Free;

namespace {

LightData Light(int profile, int type, int mode, int seed)
{
    LightData l;
    l.profile = profile;
    l.name = dbtest::kChineseName;
    l.type = type;
    l.mode = mode;
    l.brightness = seed + 1;
    l.speed = seed + 2;
    l.direction = seed + 3;
    l.colorful = seed + 4;
    l.colorindex = seed + 5;
    l.color_value = 0x00FFEEDD - seed;
    l.config_func = -seed - 7;
    l.reserved = seed + 8;
    l.status = seed % 2;
    return l;
}

void ExpectSame(const LightData& a, const LightData& b)
{
    EXPECT_EQ(a.profile, b.profile);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.brightness, b.brightness);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(a.direction, b.direction);
    EXPECT_EQ(a.colorful, b.colorful);
    EXPECT_EQ(a.colorindex, b.colorindex);
    EXPECT_EQ(a.color_value, b.color_value);
    EXPECT_EQ(a.config_func, b.config_func);
    EXPECT_EQ(a.reserved, b.reserved);
    EXPECT_EQ(a.status, b.status);
}

std::vector<UserLightRgbData> Colours(int profile, int set, int count, int base)
{
    std::vector<UserLightRgbData> v(count);
    for (int i = 0; i < count; ++i) {
        v[i].profile = profile;
        v[i].userlight_id = set;
        v[i].key_code = i + 4;
        v[i].key_rgb = base + i;
    }
    return v;
}

}  // namespace

using Lights = DbFixture;

TEST_F(Lights, ModesRoundTripAndUpdate)
{
    EXPECT_EQ(db.CountLights(3), 0);
    LightData a = Light(3, 1, 0, 10), b = Light(3, 1, 1, 20), c = Light(3, 2, 0, 30);
    a.name = dbtest::kSqlName;
    int idA = db.AddLight(a);
    int idB = db.AddLight(b);
    EXPECT_GT(idA, 0);
    EXPECT_EQ(idB, idA + 1);
    db.AddLight(c);
    db.AddLight(Light(4, 1, 0, 40));
    EXPECT_EQ(db.CountLights(3), 3);

    LightData read;
    ASSERT_TRUE(db.GetLight(3, 1, 0, read));
    EXPECT_EQ(read.light_id, idA);
    ExpectSame(read, a);
    LightData untouched = Light(9, 9, 9, 9);
    EXPECT_FALSE(db.GetLight(3, 1, 7, untouched));
    ExpectSame(untouched, Light(9, 9, 9, 9));

    std::vector<LightData*> list(2, nullptr);
    list[0] = new LightData;
    list[1] = new LightData;
    ASSERT_EQ(db.GetLights(3, 1, list), 2);
    ExpectSame(*list[0], a);
    ExpectSame(*list[1], b);
    Free(list);

    // The row is found by the record's profile (3), not the first argument (5);
    // name, type, mode and status stay.
    LightData u = Light(3, 7, 7, 100);
    u.name = L"not written";
    u.status = 1;
    EXPECT_TRUE(db.UpdateLight(5, 1, 1, u));
    ASSERT_TRUE(db.GetLight(3, 1, 1, read));
    LightData expected = u;
    expected.name = b.name;
    expected.type = 1;
    expected.mode = 1;
    expected.status = b.status;
    ExpectSame(read, expected);
    ASSERT_TRUE(db.GetLight(3, 1, 0, read));
    ExpectSame(read, a);
    EXPECT_TRUE(db.UpdateLight(3, 1, 9, u));  // no such row: runs, changes nothing
}

TEST_F(Lights, ActiveMode)
{
    for (int mode = 0; mode < 3; ++mode) {
        db.AddLight(Light(1, 5, mode, 0));
        db.AddLight(Light(1, 6, mode, 0));
    }
    EXPECT_EQ(db.GetActiveLightMode(1, 5), 0);
    EXPECT_TRUE(db.SetActiveLightMode(1, 5, 2));
    EXPECT_EQ(db.GetActiveLightMode(1, 5), 2);
    EXPECT_TRUE(db.SetActiveLightMode(1, 6, 1));
    EXPECT_TRUE(db.SetActiveLightMode(1, 5, 1));
    EXPECT_EQ(db.GetActiveLightMode(1, 5), 1);
    EXPECT_EQ(db.GetActiveLightMode(1, 6), 1);
    EXPECT_EQ(Shell("SELECT type, mode FROM t_light_data WHERE status = 1 ORDER BY type;"),
              "5|1\n6|1\n");
    // A mode without a row clears the type's mark and still reports true.
    EXPECT_TRUE(db.SetActiveLightMode(1, 5, 42));
    EXPECT_EQ(db.GetActiveLightMode(1, 5), 0);
    EXPECT_EQ(db.GetActiveLightMode(1, 6), 1);
}

TEST_F(Lights, PerKeyColours)
{
    EXPECT_EQ(db.InsertUserLightRgb({}), 0);
    EXPECT_EQ(Shell("SELECT count(*) FROM t_userlightrgb_data;"), "0\n");

    std::vector<UserLightRgbData> set1 = Colours(2, 1, 126, 0x100);
    set1[0].userlightrgb_id = 999;  // ignored: the database assigns ids
    EXPECT_EQ(db.InsertUserLightRgb(set1), 126);
    db.InsertUserLightRgb(Colours(2, 2, 5, 0x900));
    std::vector<UserLightRgbData*> list;
    ASSERT_EQ(db.GetUserLightRgb(2, 1, list), 126);
    for (int i = 0; i < 126; ++i) {
        EXPECT_NE(list[i]->userlightrgb_id, 999);
        EXPECT_EQ(list[i]->profile, 2);
        EXPECT_EQ(list[i]->userlight_id, 1);
        EXPECT_EQ(list[i]->key_code, i + 4);
        EXPECT_EQ(list[i]->key_rgb, 0x100 + i);
    }
    EXPECT_TRUE(db.DeleteUserLightRgb(2, 1));
    EXPECT_EQ(db.GetUserLightRgb(2, 1, list), 0);
    EXPECT_EQ(db.GetUserLightRgb(2, 2, list), 5);
    Free(list);
}

// Replacing a set of colours is one unit: a failure keeps the old set.
TEST_F(Lights, ReplacingColoursKeepsTheOldSetOnFailure)
{
    db.InsertUserLightRgb(Colours(1, 1, 10, 0x10));
    EXPECT_TRUE(db.ReplaceUserLightRgb(1, 1, Colours(7, 7, 12, 0x20)));  // ids taken from the call
    std::vector<UserLightRgbData*> list;
    ASSERT_EQ(db.GetUserLightRgb(1, 1, list), 12);
    EXPECT_EQ(list[11]->key_rgb, 0x20 + 11);

    // A row in the middle is refused.
    ASSERT_EQ(db.m_db.Exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON t_userlightrgb_data "
                           "WHEN NEW.key_code = 9 BEGIN SELECT RAISE(ABORT, 'no'); END;"),
              0);
    EXPECT_FALSE(db.ReplaceUserLightRgb(1, 1, Colours(1, 1, 20, 0x30)));
    ASSERT_EQ(db.GetUserLightRgb(1, 1, list), 12);
    EXPECT_EQ(list[0]->key_rgb, 0x20);
    ASSERT_EQ(db.m_db.Exec("DROP TRIGGER temp.refuse"), 0);

    // An empty set clears the colours.
    EXPECT_TRUE(db.ReplaceUserLightRgb(1, 1, {}));
    EXPECT_EQ(db.GetUserLightRgb(1, 1, list), 0);
    Free(list);
}

TEST_F(Lights, FailedInsertsReturnZero)
{
    FailInsertsInto(db, "t_light_data");
    EXPECT_EQ(db.AddLight(Light(1, 1, 1, 1)), 0);
    FailInsertsInto(db, "t_customlight_data");
    EXPECT_EQ(db.AddCustomLight(1, L"c"), 0);
    AllowInsertsInto(db, "t_customlight_data");
    EXPECT_EQ(db.AddCustomLight(1, dbtest::kEmojiName), 1);
    EXPECT_EQ(Shell("SELECT customlight_id, profile, hex(name), speed, brightness, status "
                    "FROM t_customlight_data;"),
              "1|1|" + dbtest::Utf8Hex(dbtest::kEmojiName) + "|15|15|\n");
}
