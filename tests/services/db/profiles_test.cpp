// Profiles and music layers.

#include <gtest/gtest.h>

#include "DbFixture.h"

using dbtest::Free;

namespace {

ProfileData MakeProfile(const wchar_t* name)
{
    ProfileData p;
    p.name = name;
    p.app = L"C:\\Games\\\u6E38\u620F.exe";
    p.icon_image = L"icon \U0001F3AE.png";
    p.bkg_image = L"bkg's.png";
    p.type = 5;
    p.status = 1;
    return p;
}

}  // namespace

using Profiles = DbFixture;

TEST_F(Profiles, AddStoresTheRowWithItsLayerAndCustomLight)
{
    EXPECT_EQ(db.AddProfile(MakeProfile(dbtest::kChineseName)), 1);
    // type and status are stored as 0 whatever the record says.
    EXPECT_EQ(Shell("SELECT profile, hex(name), status, type FROM t_profile_data;"),
              "1|" + dbtest::Utf8Hex(dbtest::kChineseName) + "|0|0\n");
    EXPECT_EQ(Shell("SELECT * FROM t_musiclayer_data;"), "1|1|Profile|0|4|300|0|100|100|0\n");
    EXPECT_EQ(Shell("SELECT * FROM t_customlight_data;"), "1|1|Profile|15|15|\n");

    EXPECT_EQ(db.AddProfile(MakeProfile(dbtest::kEmojiName)), 2);
    EXPECT_EQ(db.AddProfile(MakeProfile(dbtest::kSqlName)), 3);
    std::vector<ProfileData*> list(1, new ProfileData);  // stale record, freed by the read
    ASSERT_EQ(db.GetProfiles(list), 3);
    const wchar_t* names[] = {dbtest::kChineseName, dbtest::kEmojiName, dbtest::kSqlName};
    ProfileData expected = MakeProfile(L"");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i]->profile, i + 1);
        EXPECT_EQ(list[i]->name, names[i]);
        EXPECT_EQ(list[i]->app, expected.app);
        EXPECT_EQ(list[i]->icon_image, expected.icon_image);
        EXPECT_EQ(list[i]->bkg_image, expected.bkg_image);
        EXPECT_EQ(list[i]->type, 0);
        EXPECT_EQ(list[i]->status, 0);
    }
    Free(list);

    CString name;
    EXPECT_TRUE(db.GetProfileName(2, name));
    EXPECT_EQ(name, dbtest::kEmojiName);
    EXPECT_TRUE(db.RenameProfile(2, L"\u65B0\u540D\u5B57 \U0001F600"));
    EXPECT_TRUE(db.GetProfileName(2, name));
    EXPECT_EQ(name, L"\u65B0\u540D\u5B57 \U0001F600");

    // Deleting removes the profile row only.
    EXPECT_TRUE(db.DeleteProfile(2));
    EXPECT_FALSE(db.GetProfileName(2, name));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_EQ(Shell("SELECT count(*) FROM t_musiclayer_data WHERE profile = 2;"), "1\n");
    EXPECT_EQ(db.GetProfiles(list), 2);
    Free(list);
}

TEST_F(Profiles, ActiveProfile)
{
    EXPECT_EQ(db.GetActiveProfile(), 0);
    for (int i = 0; i < 3; ++i) db.AddProfile(MakeProfile(L"p"));
    EXPECT_TRUE(db.SetActiveProfile(2));
    EXPECT_EQ(db.GetActiveProfile(), 2);
    EXPECT_EQ(Shell("SELECT profile, status FROM t_profile_data;"), "1|0\n2|1\n3|0\n");
    EXPECT_TRUE(db.SetActiveProfile(3));
    EXPECT_EQ(db.GetActiveProfile(), 3);

    // An id that does not exist leaves no profile active.
    EXPECT_TRUE(db.SetActiveProfile(99));
    EXPECT_EQ(db.GetActiveProfile(), 0);

    // Two active rows (written by an older file): the first in table order wins.
    ASSERT_EQ(db.m_db.Exec("UPDATE t_profile_data SET status = 1 WHERE profile IN (2, 3)"), 0);
    EXPECT_EQ(db.GetActiveProfile(), 2);
}

TEST_F(Profiles, MusicLayers)
{
    MusicLayerData fresh;
    EXPECT_EQ(fresh.light_right, 100);
    MusicLayerData record = fresh;
    EXPECT_FALSE(db.GetMusicLayer(1, record));
    EXPECT_EQ(record.light_right, 100);
    EXPECT_EQ(record.layer_id, 0);

    int id = db.AddMusicLayer(4, dbtest::kEmojiName);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(db.GetMusicLayer(id, record));
    EXPECT_EQ(record.layer_id, id);
    EXPECT_EQ(record.profile, 4);
    EXPECT_EQ(record.name, dbtest::kEmojiName);
    EXPECT_EQ(record.deviceindex, 0);
    EXPECT_EQ(record.foremode, 4);
    EXPECT_EQ(record.fore_amplitude, 300);
    EXPECT_EQ(record.backmode, 0);
    EXPECT_EQ(record.backb_right, 100);
    EXPECT_EQ(record.light_right, 100);

    MusicLayerData changed;
    changed.layer_id = 77;  // not used: the argument picks the row
    changed.profile = 9;    // not written
    changed.name = L"ignored";
    changed.deviceindex = 1;
    changed.foremode = 2;
    changed.fore_amplitude = 3;
    changed.backmode = 4;
    changed.backb_right = 5;
    changed.light_right = 6;
    EXPECT_TRUE(db.UpdateMusicLayer(id, changed));
    ASSERT_TRUE(db.GetMusicLayer(id, record));
    EXPECT_EQ(record.layer_id, id);
    EXPECT_EQ(record.profile, 4);
    EXPECT_EQ(record.name, dbtest::kEmojiName);
    EXPECT_EQ(record.deviceindex, 1);
    EXPECT_EQ(record.foremode, 2);
    EXPECT_EQ(record.fore_amplitude, 3);
    EXPECT_EQ(record.backmode, 4);
    EXPECT_EQ(record.backb_right, 5);
    EXPECT_EQ(record.light_right, 6);
    EXPECT_EQ(Shell("SELECT sel FROM t_musiclayer_data;"), "0\n");
    // Updating a missing layer changes nothing.
    EXPECT_TRUE(db.UpdateMusicLayer(id + 10, changed));
    EXPECT_EQ(Shell("SELECT count(*) FROM t_musiclayer_data;"), "1\n");
}

// A failed insert must give 0, never SQLite's result code, which would look
// like a row id.
TEST_F(Profiles, FailedInsertsReturnZero)
{
    FailInsertsInto(db, "t_profile_data");
    EXPECT_EQ(db.AddProfile(MakeProfile(L"x")), 0);
    EXPECT_EQ(Shell("SELECT count(*) FROM t_musiclayer_data;"), "0\n");
    AllowInsertsInto(db, "t_profile_data");

    FailInsertsInto(db, "t_musiclayer_data");
    EXPECT_EQ(db.AddMusicLayer(1, L"x"), 0);
    FailInsertsInto(db, "t_customlight_data");
    EXPECT_EQ(db.AddCustomLight(1, L"x"), 0);
    // The profile itself is stored even when its companions fail.
    EXPECT_EQ(db.AddProfile(MakeProfile(L"y")), 1);

    db.CloseDevice();
    EXPECT_EQ(db.AddProfile(MakeProfile(L"z")), 0);
    EXPECT_EQ(db.AddMusicLayer(1, L"z"), 0);
    EXPECT_EQ(db.AddCustomLight(1, L"z"), 0);
}
