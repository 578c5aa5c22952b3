// DeviceDataDB: the object, the database file, its schema and the
// configuration rows.

#include "services/db/DeviceDataDB.h"

#include <windows.h>

#include "services/SafePaths.h"
#include "services/db/DeviceDataDBInternal.h"

using namespace devicedb;

namespace {

// The schema, in the order it is created: each index right after its table.
// Names, column order and types are what existing files hold; never change
// them.
const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS t_config_data(config_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, key TEXT, value TEXT)",

    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, "
    "name TEXT, status INTEGER, app TEXT, icon_image TEXT, bkg_image TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",

    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, "
    "macro_type INTEGER, macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, "
    "macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",

    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_desc TEXT, param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",

    "CREATE TABLE IF NOT EXISTS t_magnetic_key_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, fn_layer INTEGER, macro_type INTEGER, key1_value INTEGER, key2_value "
    "INTEGER, "
    "key1_name TEXT, key2_name TEXT, reserved INTEGER)",
    "CREATE INDEX IF NOT EXISTS magnetic_keyindex ON t_magnetic_key_data(macro_id)",

    "CREATE TABLE IF NOT EXISTS t_key_item_data(keyitem_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_id INTEGER, trigger_state1 INTEGER, trigger_state2 INTEGER, trigger_state3 INTEGER, "
    "trigger_state4 INTEGER, key_value INTEGER, key_name TEXT)",
    "CREATE INDEX IF NOT EXISTS key_itemindex ON t_key_item_data(macro_id)",

    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "name TEXT, play_type INTEGER, play_times INTEGER, delay_type INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",

    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, "
    "delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",

    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, type INTEGER, mode INTEGER, brightness INTEGER, speed INTEGER, "
    "direction INTEGER, colorful INTEGER, colorindex INTEGER, color_value INTEGER, "
    "config_func INTEGER, reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",

    "CREATE TABLE IF NOT EXISTS t_userlight_data(userlight_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, speed INTEGER, brightness INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS userlightindex ON t_userlight_data(userlight_id)",

    "CREATE TABLE IF NOT EXISTS t_userlightrgb_data(userlightrgb_id INTEGER PRIMARY KEY "
    "AUTOINCREMENT, profile INTEGER, userlight_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS userlightrgbindex ON t_userlightrgb_data(userlightrgb_id)",

    "CREATE TABLE IF NOT EXISTS t_customlight_data(customlight_id INTEGER PRIMARY KEY "
    "AUTOINCREMENT, profile INTEGER, name TEXT, speed INTEGER, brightness INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS customlightindex ON t_customlight_data(customlight_id)",

    "CREATE TABLE IF NOT EXISTS t_customrgb_data(customrgb_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "customlight_id INTEGER, keycode INTEGER, rgbvalue INTEGER, light_mode INTEGER, "
    "colortype INTEGER, light_type INTEGER)",
    "CREATE INDEX IF NOT EXISTS customrgbindex ON t_customrgb_data(customrgb_id)",

    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER, "
    "backmode INTEGER, backb_right INTEGER, light_right INTEGER, sel INTEGER)",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)",

    "CREATE TABLE IF NOT EXISTS t_nimbrellayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, layer_mode INTEGER, layer_scale INTEGER, colorful INTEGER, "
    "colorvalue INTEGER, rect_x INTEGER, rect_y INTEGER, rect_width INTEGER, rect_height INTEGER)",
    "CREATE INDEX IF NOT EXISTS nimbrellayerindex ON t_nimbrellayer_data(layer_id)",

    "CREATE TABLE IF NOT EXISTS t_ledlayer_data(led_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, type INTEGER, name TEXT, frame_size INTEGER, file_dir TEXT, first_file TEXT)",

    "CREATE TABLE IF NOT EXISTS t_ledframe_data(frame_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "led_id INTEGER, name TEXT, delay_time INTEGER, frame_index INTEGER, file_name TEXT)",

    "CREATE TABLE IF NOT EXISTS t_tftscreen_data(tft_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, frame_size INTEGER, file_name TEXT)",
};

// The configuration rows every new profile gets, in this order.
const char* const kDefaultConfig[][2] = {
    {"version", "1.0.1"},
    {"keyboard_layout", "1"},
    {"fn_layer", "0"},
    {"fn_switch", "0"},
    {"lightmode", "1"},
    {"nimbrel_mode", "1"},
    {"matrixlight_mode", "1"},
    {"matrixlight_preset_mode", "1"},
    {"matrixlight_amplitude", "50"},
    {"enable_light", "1"},
    {"enable_customlight", "1"},
    {"userlight", "0"},
    {"customlight", "0"},
    {"customlight_run", "0"},
    {"customlight_open", "1"},
    {"mac_mode", "0"},
    {"wasd_mode", "0"},
    {"game_mode", "0"},
    {"lock_alttab", "0"},
    {"lock_altf4", "0"},
    {"lock_win", "0"},
    {"sleep_time", "2"},
    {"key_keyresponse", "2"},
    {"default_color1", "8331093"},
    {"default_color2", "4114939"},
    {"default_color3", "65280"},
    {"default_color4", "16776960"},
    {"default_color5", "255"},
    {"default_color6", "14237951"},
    {"default_color7", "14237951"},
    {"default_color8", "16777215"},
    {"reporte_rate", "4"},
};

// -1 when the file does not exist (or is a folder), else its size.
long long FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

DeviceDataDB* DeviceDataDB::Instance()
{
    static DeviceDataDB instance;
    return &instance;
}

DeviceDataDB::DeviceDataDB() : m_opened(false) {}

DeviceDataDB::~DeviceDataDB()
{
    CloseDevice();
}

CString DeviceDataDB::MakeFilePath(const wchar_t* folder, const wchar_t* name)
{
    CString path(folder);
    path.AppendFormat(L"db\\%s_data_2.db", name ? name : L"");
    return path;
}

bool DeviceDataDB::IsOpened()
{
    CAutoLock lock(m_lock);
    return m_opened;
}

std::string DeviceDataDB::GetPath()
{
    CAutoLock lock(m_lock);
    return m_path;
}

void DeviceDataDB::CloseConnection()
{
    m_db.Close();
}

bool DeviceDataDB::OpenDevice(const wchar_t* folder, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    // The model name becomes the file name: one that could name another
    // folder, a drive or a device opens nothing; the file open before is
    // closed all the same, as for any other model.
    if (!IsPlainFileName(name)) {
        CloseConnection();
        m_opened = false;
        m_path.clear();
        return false;
    }
    CString path = MakeFilePath(folder, name);
    std::string path8 = Utf16ToUtf8(path);

    if (m_db.IsOpen()) {
        // The same file stays open; any other file (another model, or a
        // connection left over from a failed open) is closed first, so one
        // model's settings never land in another model's file.
        if (m_opened && path8 == m_path) return true;
        CloseConnection();
        m_opened = false;
    }
    m_path = path8;

    long long size = FileSize(path);
    bool ok;
    if (size > 0)
        ok = OpenExisting();
    else
        ok = CreateTables();  // missing, or zero bytes left by an interrupted creation
    m_opened = ok && m_db.IsOpen();
    return m_opened;
}

bool DeviceDataDB::OpenExisting()
{
    if (!m_db.Open(m_path.c_str(), m_key, SQLiteDB::kOpenReadWrite)) return false;
    if (!CheckReadable()) {
        CloseConnection();
        return false;
    }
    return true;
}

// An existing file counts as a profile database when SQLite can read it
// through (not garbage, not damaged) and it holds the profile table.
bool DeviceDataDB::CheckReadable()
{
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "PRAGMA quick_check(1)") != SQLITE_OK || stmt.Step() != SQLITE_ROW)
        return false;
    const char* verdict = stmt.GetText(0);
    if (!verdict || std::string(verdict) != "ok") return false;
    if (m_db.Prepare(stmt,
                     "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                     "name = 't_profile_data'") != SQLITE_OK ||
        stmt.Step() != SQLITE_ROW)
        return false;
    return stmt.GetInt(0) == 1;
}

bool DeviceDataDB::CreateTables()
{
    CAutoLock lock(m_lock);
    if (m_db.IsOpen()) return true;
    if (m_path.empty()) return false;

    CString path = Utf8ToUtf16(m_path.c_str());
    bool hadContent = FileSize(path) > 0;
    if (!m_db.Open(m_path.c_str(), m_key, SQLiteDB::kOpenCreate)) return false;

    bool ok = true;
    for (const char* sql : kSchema) {
        if (m_db.Exec(sql) != SQLITE_OK) ok = false;
    }
    if (!ok) {
        // A half-made schema would be opened unchanged next time, with tables
        // missing for good: close it, and remove the file when this call made it.
        CloseConnection();
        if (!hadContent) DeleteFileW(path);
    }
    return ok;
}

void DeviceDataDB::CloseDevice()
{
    CAutoLock lock(m_lock);
    CloseConnection();
    m_opened = false;
}

bool DeviceDataDB::DeleteDeviceFile(const wchar_t* folder, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    // Only a model's own file: never a file another name would lead to.
    if (!IsPlainFileName(name)) return false;
    CString path = MakeFilePath(folder, name);
    if (m_db.IsOpen() && Utf16ToUtf8(path) == m_path) {
        // Deleting the file under an open connection would leave the
        // connection writing to a file that is gone (or fail on a locked file).
        CloseConnection();
        m_opened = false;
    }
    DeleteFileW(path);
    return FileSize(path) < 0;
}

// ---------------------------------------------------------------------------
// Configuration rows

void DeviceDataDB::InsertDefaultConfig(int profile)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    for (const auto& row : kDefaultConfig) {
        if (m_db.Prepare(stmt,
                         "INSERT INTO t_config_data(profile, key, value) VALUES (?, ?, ?);") !=
            SQLITE_OK)
            continue;
        stmt.BindInt(1, profile);
        stmt.BindText(2, row[0], -1);
        stmt.BindText(3, row[1], -1);
        stmt.Step();
    }
}

bool DeviceDataDB::SetConfigValue(int profile, const wchar_t* key, const wchar_t* value)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "UPDATE t_config_data SET value = ? WHERE profile = ? and key = ?") !=
        SQLITE_OK)
        return false;
    BindWide(stmt, 1, value);
    stmt.BindInt(2, profile);
    BindWide(stmt, 3, key);
    return RunChange(stmt);
}

bool DeviceDataDB::StoreConfigValue(int profile, const wchar_t* key, const wchar_t* value)
{
    CAutoLock lock(m_lock);
    CString stored;
    if (GetConfigValue(profile, key, stored)) return SetConfigValue(profile, key, value);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "INSERT INTO t_config_data(profile, key, value) VALUES (?, ?, ?);") !=
        SQLITE_OK)
        return false;
    stmt.BindInt(1, profile);
    BindWide(stmt, 2, key);
    BindWide(stmt, 3, value);
    return RunChange(stmt);
}

bool DeviceDataDB::GetConfigValue(int profile, const wchar_t* key, CString& value)
{
    CAutoLock lock(m_lock);
    value.Empty();
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "SELECT value FROM t_config_data WHERE profile = ? and key = ?") !=
        SQLITE_OK)
        return false;
    stmt.BindInt(1, profile);
    BindWide(stmt, 2, key);
    if (stmt.Step() != SQLITE_ROW) return false;
    value = ColumnText(stmt, 0);
    return true;
}

// ---------------------------------------------------------------------------
// Shared helpers

int DeviceDataDB::Count(const char* sql, int value, bool bindValue)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, sql) != SQLITE_OK) return 0;
    if (bindValue) stmt.BindInt(1, value);
    if (stmt.Step() != SQLITE_ROW) return 0;
    return stmt.GetInt(0);
}

int DeviceDataDB::InsertAndGetId(SQLiteStatement& stmt)
{
    if (!RunChange(stmt)) return 0;
    long long id = m_db.LastInsertRowId();
    return id > 0 ? static_cast<int>(id) : 0;
}
