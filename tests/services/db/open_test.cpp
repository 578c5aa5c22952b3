// Opening, closing, creating and deleting model files; damaged files; the
// failure values of every operation without a connection.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <functional>

#include "DbFixture.h"
#include "services/TextConvert.h"

using dbtest::Free;

namespace {

ProfileData Named(const wchar_t* name)
{
    ProfileData p;
    p.name = name;
    return p;
}

// Every operation's answer without an open database.
void ExpectAllOperationsFail(DeviceDataDB& db)
{
    ProfileData profile = Named(L"p");
    EXPECT_EQ(db.AddProfile(profile), 0);
    EXPECT_FALSE(db.DeleteProfile(1));
    EXPECT_FALSE(db.RenameProfile(1, L"n"));
    CString text = L"old";
    EXPECT_FALSE(db.GetProfileName(1, text));
    EXPECT_TRUE(text.IsEmpty());
    std::vector<ProfileData*> profiles(1, new ProfileData);
    EXPECT_EQ(db.GetProfiles(profiles), 0);
    EXPECT_TRUE(profiles.empty());
    EXPECT_FALSE(db.SetActiveProfile(1));
    EXPECT_EQ(db.GetActiveProfile(), 0);
    EXPECT_EQ(db.AddMusicLayer(1, L"m"), 0);
    MusicLayerData layer;
    layer.foremode = 42;
    EXPECT_FALSE(db.GetMusicLayer(1, layer));
    EXPECT_EQ(layer.foremode, 42);
    EXPECT_FALSE(db.UpdateMusicLayer(1, layer));
    EXPECT_EQ(db.AddCustomLight(1, L"c"), 0);

    text = L"old";
    EXPECT_FALSE(db.SetConfigValue(1, L"lightmode", L"2"));
    EXPECT_FALSE(db.GetConfigValue(1, L"lightmode", text));
    EXPECT_TRUE(text.IsEmpty());
    db.InsertDefaultConfig(1);

    KeyMacroData key;
    key.key_code = 4;
    key.macro_value = 1;
    EXPECT_EQ(db.CountKeyMacros(1), 0);
    EXPECT_EQ(db.ReplaceKeyMacro(key), 0);
    db.InsertKeyMacros({key});
    db.UpdateKeyMacro(key);
    db.UpdateKeyMacros({key});
    key.layout_value = 77;
    EXPECT_FALSE(db.GetKeyMacro(0, 0, 4, key));
    EXPECT_EQ(key.layout_value, 77);
    std::vector<KeyMacroData*> keys(1, new KeyMacroData);
    EXPECT_EQ(db.GetLayerKeyMacros(0, 0, keys), 0);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(db.GetProfileKeyMacros(0, keys), 0);
    EXPECT_EQ(db.GetAllKeyMacros(keys), 0);

    // Lighting.
    LightData light;
    light.speed = 3;
    EXPECT_EQ(db.CountLights(1), 0);
    EXPECT_EQ(db.AddLight(light), 0);
    EXPECT_FALSE(db.UpdateLight(1, 0, 0, light));
    EXPECT_FALSE(db.SetActiveLightMode(1, 0, 0));
    EXPECT_EQ(db.GetActiveLightMode(1, 0), 0);
    EXPECT_FALSE(db.GetLight(0, 0, 0, light));
    EXPECT_EQ(light.speed, 3);
    std::vector<LightData*> lights(1, new LightData);
    EXPECT_EQ(db.GetLights(0, 0, lights), 0);
    EXPECT_TRUE(lights.empty());
    std::vector<UserLightRgbData> rgb(3);
    EXPECT_EQ(db.InsertUserLightRgb(rgb), 3);  // the number given, as always
    EXPECT_FALSE(db.DeleteUserLightRgb(0, 0));
    EXPECT_FALSE(db.ReplaceUserLightRgb(0, 0, rgb));
    std::vector<UserLightRgbData*> rgbList(1, new UserLightRgbData);
    EXPECT_EQ(db.GetUserLightRgb(0, 0, rgbList), 0);
    EXPECT_TRUE(rgbList.empty());

    // Macros.
    EXPECT_EQ(db.AddMacro(L"m"), 0);
    EXPECT_FALSE(db.RenameMacro(1, L"m"));
    EXPECT_FALSE(db.DeleteMacro(1));
    MacroData macro;
    macro.play_times = 4;
    EXPECT_FALSE(db.GetMacro(1, macro));
    EXPECT_EQ(macro.play_times, 4);
    EXPECT_FALSE(db.UpdateMacro(1, macro));
    std::vector<MacroData*> macros(1, new MacroData);
    EXPECT_EQ(db.GetMacros(macros), 0);
    EXPECT_TRUE(macros.empty());
    std::vector<MacroRecordData> events(2);
    db.InsertMacroRecords(events);
    EXPECT_FALSE(db.ReplaceMacroRecords(1, events));
    std::vector<MacroRecordData*> eventList(1, new MacroRecordData);
    EXPECT_EQ(db.GetMacroRecords(0, eventList), 0);
    EXPECT_TRUE(eventList.empty());
    EXPECT_FALSE(db.DeleteMacroRecords(0));
    EXPECT_EQ(db.CountMacroRecords(0), 0);
    EXPECT_EQ(db.CountAllMacroRecords(), 0);

    // LCD rows.
    EXPECT_EQ(db.AddTftScreen(1, 2, L"f.png"), 0);
    std::vector<TftScreenData*> screens(1, new TftScreenData);
    EXPECT_EQ(db.GetTftScreens(1, screens), 0);
    EXPECT_TRUE(screens.empty());
    EXPECT_EQ(db.AddLedLayer(1, L"layer"), 0);
    EXPECT_FALSE(db.SetLedLayerFrameSize(1, 4));
    EXPECT_FALSE(db.SetLedLayerFirstFile(1, L"a.png"));
    EXPECT_FALSE(db.DeleteLedLayer(1));
    LedLayerData layerRow;
    layerRow.frame_size = 9;
    EXPECT_FALSE(db.GetLedLayer(1, layerRow));
    EXPECT_EQ(layerRow.frame_size, 9);
    std::vector<LedLayerData*> layers(1, new LedLayerData);
    EXPECT_EQ(db.GetLedLayers(1, layers), 0);
    EXPECT_TRUE(layers.empty());
    std::vector<LedFrameData> frames(4);
    EXPECT_EQ(db.InsertLedFrames(frames), 4);
    EXPECT_FALSE(db.ReplaceLedFrames(1, frames));
    EXPECT_FALSE(db.DeleteLedFrames(1));
    std::vector<LedFrameData*> frameList(1, new LedFrameData);
    EXPECT_EQ(db.GetLedFrames(1, frameList), 0);
    EXPECT_TRUE(frameList.empty());
    EXPECT_EQ(db.CountLedFrames(1), 0);
    db.DeleteAllLedLayers();

    EXPECT_EQ(db.m_db.LastInsertRowId(), -1);
}

}  // namespace

TEST(OpenDevice, WithoutConnectionEveryOperationFailsQuietly)
{
    DeviceDataDB db;
    EXPECT_FALSE(db.IsOpened());
    ExpectAllOperationsFail(db);

    // A folder without "db\" cannot hold the file: a clean failure.
    dbtest::TempDataFolder dir;
    RemoveDirectoryW(dir.Folder() + L"db");
    EXPECT_FALSE(db.OpenDevice(dir.Folder(), L"K1"));
    EXPECT_FALSE(db.IsOpened());
    EXPECT_FALSE(db.m_db.IsOpen());
    ExpectAllOperationsFail(db);
}

TEST(OpenDevice, CreatesThenReopensTheSameFile)
{
    dbtest::TempDataFolder dir;
    DeviceDataDB db;
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"Model X"));
    EXPECT_TRUE(db.IsOpened());
    CString file = dir.DbFile(L"Model X");
    EXPECT_EQ(file, dir.Folder() + L"db\\Model X_data_2.db");
    EXPECT_EQ(db.GetPath(), Utf16ToUtf8(file));
    EXPECT_EQ(db.AddProfile(Named(dbtest::kChineseName)), 1);
    // Opening the same model again keeps the connection.
    sqlite3* handle = db.m_db.Handle();
    EXPECT_TRUE(db.OpenDevice(dir.Folder(), L"Model X"));
    EXPECT_EQ(db.m_db.Handle(), handle);

    db.CloseDevice();
    EXPECT_FALSE(db.IsOpened());
    EXPECT_FALSE(db.m_db.IsOpen());
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"Model X"));
    CString name;
    EXPECT_TRUE(db.GetProfileName(1, name));
    EXPECT_EQ(name, dbtest::kChineseName);
}

// Selecting another model must move every later write to that model's file.
TEST(OpenDevice, AnotherModelClosesTheOpenFile)
{
    dbtest::TempDataFolder dir;
    DeviceDataDB db;
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"A"));
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"B"));  // B is created
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"A"));  // A exists: reopened, not kept
    EXPECT_EQ(db.AddProfile(Named(L"for A")), 1);
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"B"));  // B exists now
    EXPECT_EQ(db.AddProfile(Named(L"for B")), 1);
    db.CloseDevice();
    EXPECT_EQ(dbtest::RunSqliteShell(dir.DbFile(L"A"), "SELECT name FROM t_profile_data;"),
              "for A\n");
    EXPECT_EQ(dbtest::RunSqliteShell(dir.DbFile(L"B"), "SELECT name FROM t_profile_data;"),
              "for B\n");
}

// A schema that cannot be written (the file is locked by another program)
// leaves nothing open, not even the model that was open before.
TEST(OpenDevice, FailedSchemaCreationLeavesNothingOpen)
{
    dbtest::TempDataFolder dir;
    DeviceDataDB db;
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"A"));

    sqlite3* other = nullptr;
    std::string lockedPath = Utf16ToUtf8(dir.DbFile(L"B"));
    ASSERT_EQ(sqlite3_open_v2(lockedPath.c_str(), &other,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; CREATE TABLE x(a);", nullptr, nullptr, nullptr),
              SQLITE_OK);

    EXPECT_FALSE(db.OpenDevice(dir.Folder(), L"B"));
    EXPECT_FALSE(db.IsOpened());
    EXPECT_FALSE(db.m_db.IsOpen());
    EXPECT_EQ(db.AddProfile(Named(L"lost?")), 0);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(dbtest::RunSqliteShell(dir.DbFile(L"A"), "SELECT count(*) FROM t_profile_data;"),
              "0\n");
    // Once the other program lets go, the model opens with its schema.
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"B"));
    EXPECT_EQ(db.AddProfile(Named(L"b")), 1);
}

TEST(OpenDevice, FactoryResetRecreatesAnEmptyFile)
{
    dbtest::TempDataFolder dir;
    DeviceDataDB db;
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"K"));
    db.AddProfile(Named(L"p"));
    db.InsertDefaultConfig(1);
    // Deleting the file of the open model closes it first instead of failing
    // (or leaving a connection on a file that is gone).
    EXPECT_TRUE(db.DeleteDeviceFile(dir.Folder(), L"K"));
    EXPECT_FALSE(db.m_db.IsOpen());
    EXPECT_EQ(dbtest::FileSizeOf(dir.DbFile(L"K")), -1);
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"K"));
    std::vector<ProfileData*> list;
    EXPECT_EQ(db.GetProfiles(list), 0);
    CString value;
    EXPECT_FALSE(db.GetConfigValue(1, L"lightmode", value));
    // Deleting another model's file leaves the open one alone.
    EXPECT_TRUE(db.DeleteDeviceFile(dir.Folder(), L"Other"));
    EXPECT_TRUE(db.m_db.IsOpen());
}

// Damaged files give a clean failure and stay as they are on disk.
TEST(OpenDevice, DamagedFilesAreRefusedAndLeftUntouched)
{
    dbtest::TempDataFolder dir;

    // A real file with enough rows to span many pages, cut in half.
    std::string fullFile;
    {
        DeviceDataDB db;
        ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"Good"));
        std::vector<KeyMacroData> keys(3000);
        for (size_t i = 0; i < keys.size(); ++i) {
            keys[i].profile = 1;
            keys[i].key_code = static_cast<int>(i) + 1;
            keys[i].macro_value = 1;
            keys[i].macro_desc = L"a fairly long description to fill the pages";
        }
        db.InsertKeyMacros(keys);
        db.CloseDevice();
        fullFile = dbtest::ReadFileBytes(dir.DbFile(L"Good"));
        ASSERT_GT(fullFile.size(), 65536u);
    }
    std::string garbage;
    for (int i = 0; i < 8192; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    // A whole file whose header and schema page are fine, with one page in the
    // middle overwritten: only SQLite's own check of the pages sees it.
    std::string damagedPage = fullFile;
    const size_t pageSize =
        (static_cast<unsigned char>(fullFile[16]) << 8) | static_cast<unsigned char>(fullFile[17]);
    ASSERT_GE(pageSize, 512u);
    damagedPage.replace(fullFile.size() / pageSize / 2 * pageSize, pageSize,
                        garbage.substr(0, pageSize));

    struct Case
    {
        const wchar_t* model;
        std::string bytes;
        const char* foreignSql;  // or a schema written by the shell
    };
    const Case cases[] = {
        {L"Garbage", garbage, nullptr},
        {L"Text", "this is not a database\r\n", nullptr},
        {L"Truncated", fullFile.substr(0, fullFile.size() / 2), nullptr},
        {L"HeaderOnly", fullFile.substr(0, 100), nullptr},
        {L"DamagedPage", damagedPage, nullptr},
        {L"Foreign", "", "CREATE TABLE other(a, b); INSERT INTO other VALUES (1, 2);"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(dbtest::Narrow(c.model));
        CString file = dir.DbFile(c.model);
        if (c.foreignSql)
            dbtest::RunSqliteShell(file, c.foreignSql);
        else
            ASSERT_TRUE(dbtest::WriteFileBytes(file, c.bytes));
        std::string before = dbtest::ReadFileBytes(file);
        ASSERT_FALSE(before.empty());

        DeviceDataDB db;
        EXPECT_FALSE(db.OpenDevice(dir.Folder(), c.model));
        EXPECT_FALSE(db.IsOpened());
        EXPECT_FALSE(db.m_db.IsOpen());
        ExpectAllOperationsFail(db);
        db.CloseDevice();
        EXPECT_EQ(dbtest::ReadFileBytes(file), before);
    }
}

// A zero-length file holds nothing (a creation that was cut short): it gets
// the schema like a new file.
TEST(OpenDevice, ZeroLengthFileGetsTheSchema)
{
    dbtest::TempDataFolder dir;
    ASSERT_TRUE(dbtest::WriteFileBytes(dir.DbFile(L"Z"), ""));
    DeviceDataDB db;
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"Z"));
    EXPECT_EQ(db.AddProfile(Named(L"z")), 1);
    db.CloseDevice();
    EXPECT_EQ(dbtest::RunSqliteShell(dir.DbFile(L"Z"),
                                     "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                     "AND name LIKE 't\\_%' ESCAPE '\\';"),
              "18\n");
}

// A file of an older version that lacks some tables still opens; the
// operations on the missing tables fail cleanly.
TEST(OpenDevice, OlderFileWithMissingTablesOpens)
{
    dbtest::TempDataFolder dir;
    CString file = dir.DbFile(L"Old");
    dbtest::RunSqliteShell(file,
                           "CREATE TABLE t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "name TEXT, status INTEGER, app TEXT, icon_image TEXT, bkg_image TEXT, "
                           "type INTEGER); INSERT INTO t_profile_data(name, status) VALUES "
                           "('old', 1);");
    DeviceDataDB db;
    ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"Old"));
    EXPECT_EQ(db.GetActiveProfile(), 1);
    // The profile lands; its layer and custom light have no table.
    EXPECT_EQ(db.AddProfile(Named(L"new")), 2);
    EXPECT_EQ(db.AddMusicLayer(2, L"x"), 0);
    EXPECT_EQ(db.CountKeyMacros(1), 0);
    KeyMacroData key;
    key.key_code = 4;
    key.macro_value = 1;
    EXPECT_EQ(db.ReplaceKeyMacro(key), 0);
    std::vector<KeyMacroData*> list;
    EXPECT_EQ(db.GetAllKeyMacros(list), 0);
}
