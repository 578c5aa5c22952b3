// The file a new model gets, checked with the sqlite3 shell: tables, columns,
// indexes and the default configuration rows.

#include <gtest/gtest.h>

#include <sstream>

#include "DbFixture.h"

using dbtest::Lines;

namespace {

// Tables in creation order; columns after the row id, INTEGER unless " TEXT".
struct TableLayout
{
    const char* table;
    const char* columns;  // row id first
    const char* index;    // index on the row id column (or its named column), or null
    const char* indexColumn;
};

const TableLayout kTables[] = {
    {"t_config_data", "config_id,profile,key TEXT,value TEXT", nullptr, nullptr},
    {"t_profile_data", "profile,name TEXT,status,app TEXT,icon_image TEXT,bkg_image TEXT,type",
     "profileindex", "profile"},
    {"t_key_macro_data",
     "key_id,profile,fn_layer,key_code,layout_value,layout_desc TEXT,macro_type,macro_value,"
     "macro_value2,macro_value3,macro_desc TEXT",
     "keyindex", "key_id"},
    {"t_key_otherdata", "macro_value,macro_desc TEXT,param TEXT,type", "otheridindex",
     "macro_value"},
    {"t_magnetic_key_data",
     "macro_id,profile,fn_layer,macro_type,key1_value,key2_value,key1_name TEXT,key2_name TEXT,"
     "reserved",
     "magnetic_keyindex", "macro_id"},
    {"t_key_item_data",
     "keyitem_id,macro_id,trigger_state1,trigger_state2,trigger_state3,trigger_state4,key_value,"
     "key_name TEXT",
     "key_itemindex", "macro_id"},
    {"t_macro_data", "macro_id,name TEXT,play_type,play_times,delay_type,delay_time",
     "macroidindex", "macro_id"},
    {"t_macrorecord", "record_id,macro_id,type,record_index,desc TEXT,value,delay_time",
     "macrorecordindex", "record_id"},
    {"t_light_data",
     "light_id,profile,name TEXT,type,mode,brightness,speed,direction,colorful,colorindex,"
     "color_value,config_func,reserved,status",
     "lightindex", "light_id"},
    {"t_userlight_data", "userlight_id,profile,name TEXT,speed,brightness,status", "userlightindex",
     "userlight_id"},
    {"t_userlightrgb_data", "userlightrgb_id,profile,userlight_id,key_code,key_rgb",
     "userlightrgbindex", "userlightrgb_id"},
    {"t_customlight_data", "customlight_id,profile,name TEXT,speed,brightness,status",
     "customlightindex", "customlight_id"},
    {"t_customrgb_data",
     "customrgb_id,customlight_id,keycode,rgbvalue,light_mode,colortype,light_type",
     "customrgbindex", "customrgb_id"},
    {"t_musiclayer_data",
     "layer_id,profile,name TEXT,deviceindex,foremode,fore_amplitude,backmode,backb_right,"
     "light_right,sel",
     "musiclayerindex", "layer_id"},
    {"t_nimbrellayer_data",
     "layer_id,profile,name TEXT,layer_mode,layer_scale,colorful,colorvalue,rect_x,rect_y,"
     "rect_width,rect_height",
     "nimbrellayerindex", "layer_id"},
    {"t_ledlayer_data", "led_id,profile,type,name TEXT,frame_size,file_dir TEXT,first_file TEXT",
     nullptr, nullptr},
    {"t_ledframe_data", "frame_id,led_id,name TEXT,delay_time,frame_index,file_name TEXT", nullptr,
     nullptr},
    {"t_tftscreen_data", "tft_id,profile,frame_size,file_name TEXT", nullptr, nullptr},
};

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::stringstream ss(s);
    std::string part;
    while (std::getline(ss, part, sep)) parts.push_back(part);
    return parts;
}

const char* const kDefaultRows[] = {
    "version|1.0.1",
    "keyboard_layout|1",
    "fn_layer|0",
    "fn_switch|0",
    "lightmode|1",
    "nimbrel_mode|1",
    "matrixlight_mode|1",
    "matrixlight_preset_mode|1",
    "matrixlight_amplitude|50",
    "enable_light|1",
    "enable_customlight|1",
    "userlight|0",
    "customlight|0",
    "customlight_run|0",
    "customlight_open|1",
    "mac_mode|0",
    "wasd_mode|0",
    "game_mode|0",
    "lock_alttab|0",
    "lock_altf4|0",
    "lock_win|0",
    "sleep_time|2",
    "key_keyresponse|2",
    "default_color1|8331093",
    "default_color2|4114939",
    "default_color3|65280",
    "default_color4|16776960",
    "default_color5|255",
    "default_color6|14237951",
    "default_color7|14237951",
    "default_color8|16777215",
    "reporte_rate|4",
};

}  // namespace

using Schema = DbFixture;

TEST_F(Schema, NewFileHasExactlyTheTablesIndexesAndColumns)
{
    EXPECT_EQ(dbtest::FileSizeOf(file) > 0, true);

    // Objects in creation order, each index right after its table.
    std::vector<std::string> expectedObjects;
    std::vector<std::string> expectedColumns;
    for (const TableLayout& t : kTables) {
        expectedObjects.push_back(std::string("table|") + t.table + "|" + t.table);
        if (t.index) expectedObjects.push_back(std::string("index|") + t.index + "|" + t.table);
        std::vector<std::string> cols = Split(t.columns, ',');
        for (size_t i = 0; i < cols.size(); ++i) {
            std::string name = cols[i], type = "INTEGER";
            size_t space = name.find(' ');
            if (space != std::string::npos) {
                type = name.substr(space + 1);
                name = name.substr(0, space);
            }
            // table|cid|name|type|notnull|default|pk
            expectedColumns.push_back(std::string(t.table) + "|" + std::to_string(i) + "|" + name +
                                      "|" + type + "|0||" + (i == 0 ? "1" : "0"));
        }
    }
    std::vector<std::string> objects =
        Lines(Shell("SELECT type, name, tbl_name FROM sqlite_master WHERE name NOT LIKE 'sqlite%' "
                    "ORDER BY rowid;"));
    EXPECT_EQ(objects, expectedObjects);
    EXPECT_EQ(objects.size(), 18u + 14u);

    std::vector<std::string> columns = Lines(
        Shell("SELECT m.name, p.cid, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk "
              "FROM sqlite_master m JOIN pragma_table_info(m.name) p "
              "WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite%' ORDER BY m.rowid, p.cid;"));
    EXPECT_EQ(columns, expectedColumns);

    // Every row id is an autoincrement key; every index covers its one column.
    EXPECT_EQ(Shell("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                    "sql LIKE '%INTEGER PRIMARY KEY AUTOINCREMENT%';"),
              "18\n");
    std::vector<std::string> expectedIndexCols;
    for (const TableLayout& t : kTables)
        if (t.index) expectedIndexCols.push_back(std::string(t.index) + "|" + t.indexColumn);
    EXPECT_EQ(
        Lines(Shell("SELECT m.name, i.name FROM sqlite_master m JOIN pragma_index_info(m.name) i "
                    "WHERE m.type = 'index' ORDER BY m.rowid;")),
        expectedIndexCols);

    // A new file holds no rows at all.
    std::string counts;
    for (const TableLayout& t : kTables)
        counts += std::string("SELECT '") + t.table + "', count(*) FROM " + t.table + ";\n";
    for (const std::string& line : Lines(Shell(counts)))
        EXPECT_EQ(line.substr(line.find('|')), "|0") << line;

    // Integrity as SQLite sees it; UTF-8 text encoding.
    EXPECT_EQ(Shell("PRAGMA integrity_check; PRAGMA encoding;"), "ok\nUTF-8\n");
}

TEST_F(Schema, DefaultConfigurationRowsInOrder)
{
    db.InsertDefaultConfig(7);
    std::vector<std::string> expected;
    for (const char* row : kDefaultRows) expected.push_back(std::string("7|") + row);
    EXPECT_EQ(Lines(Shell("SELECT profile, key, value FROM t_config_data ORDER BY config_id;")),
              expected);
    EXPECT_EQ(Shell("SELECT typeof(value), count(*) FROM t_config_data GROUP BY 1;"), "text|32\n");

    // Called again, it adds the rows again.
    db.InsertDefaultConfig(7);
    EXPECT_EQ(Shell("SELECT count(*) FROM t_config_data WHERE profile = 7;"), "64\n");
}

TEST_F(Schema, ConfigValuesReadAndUpdateOnlyExistingRows)
{
    db.InsertDefaultConfig(2);
    CString value = L"stale";
    EXPECT_TRUE(db.GetConfigValue(2, L"nimbrel_mode", value));
    EXPECT_EQ(value, L"1");
    EXPECT_TRUE(db.GetConfigValue(2, L"default_color1", value));
    EXPECT_EQ(value, L"8331093");

    EXPECT_TRUE(db.SetConfigValue(2, L"sleep_time", L"5"));
    EXPECT_TRUE(db.GetConfigValue(2, L"sleep_time", value));
    EXPECT_EQ(value, L"5");
    // Another profile's row is not touched.
    db.InsertDefaultConfig(3);
    EXPECT_TRUE(db.GetConfigValue(3, L"sleep_time", value));
    EXPECT_EQ(value, L"2");

    // A key the profile lacks: the update "runs" but stores nothing.
    EXPECT_TRUE(db.SetConfigValue(2, L"no_such_key", L"9"));
    EXPECT_FALSE(db.GetConfigValue(2, L"no_such_key", value));
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_EQ(Shell("SELECT count(*) FROM t_config_data WHERE key = 'no_such_key';"), "0\n");

    // Non-ASCII values are stored as UTF-8.
    EXPECT_TRUE(db.SetConfigValue(2, L"version", dbtest::kEmojiName));
    EXPECT_TRUE(db.GetConfigValue(2, L"version", value));
    EXPECT_EQ(value, dbtest::kEmojiName);
    EXPECT_EQ(Shell("SELECT hex(value) FROM t_config_data WHERE profile = 2 AND key = 'version';"),
              dbtest::Utf8Hex(dbtest::kEmojiName) + "\n");
}
