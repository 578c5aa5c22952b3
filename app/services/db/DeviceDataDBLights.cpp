// DeviceDataDB: lighting rows (t_light_data, t_userlightrgb_data,
// t_customlight_data).

#include "services/db/DeviceDataDB.h"

#include "services/db/DeviceDataDBInternal.h"

using namespace devicedb;

namespace {

const char kInsertUserLightRgb[] =
    "INSERT INTO t_userlightrgb_data(profile, userlight_id, key_code, key_rgb) VALUES (?, ?, ?, "
    "?);";

// Columns 0..13 of "SELECT *" in table order (the record's order).
void ReadLight(SQLiteStatement& stmt, LightData& r)
{
    r.light_id = stmt.GetInt(0);
    r.profile = stmt.GetInt(1);
    r.name = ColumnText(stmt, 2);
    r.type = stmt.GetInt(3);
    r.mode = stmt.GetInt(4);
    r.brightness = stmt.GetInt(5);
    r.speed = stmt.GetInt(6);
    r.direction = stmt.GetInt(7);
    r.colorful = stmt.GetInt(8);
    r.colorindex = stmt.GetInt(9);
    r.color_value = stmt.GetInt(10);
    r.config_func = stmt.GetInt(11);
    r.reserved = stmt.GetInt(12);
    r.status = stmt.GetInt(13);
}

bool BindUserLightRgb(SQLiteStatement& stmt, const UserLightRgbData& r)
{
    return stmt.BindInt(1, r.profile) == SQLITE_OK &&
           stmt.BindInt(2, r.userlight_id) == SQLITE_OK &&
           stmt.BindInt(3, r.key_code) == SQLITE_OK && stmt.BindInt(4, r.key_rgb) == SQLITE_OK;
}

}  // namespace

int DeviceDataDB::CountLights(int profile)
{
    return Count("select count(*) FROM t_light_data WHERE profile = ?", profile, true);
}

int DeviceDataDB::AddLight(const LightData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_light_data(profile, name, type, mode, brightness, speed, "
                     "direction, colorful, colorindex, color_value, config_func, reserved, "
                     "status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    stmt.BindInt(1, record.profile);
    BindWide(stmt, 2, record.name);
    const int values[] = {record.type,       record.mode,        record.brightness,
                          record.speed,      record.direction,   record.colorful,
                          record.colorindex, record.color_value, record.config_func,
                          record.reserved,   record.status};
    for (int i = 0; i < 11; ++i) stmt.BindInt(3 + i, values[i]);
    return InsertAndGetId(stmt);
}

bool DeviceDataDB::UpdateLight(int /*profile*/, int type, int mode, const LightData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    // The row is found by the record's own profile; the first argument is not used.
    if (!PrepareWithInts(m_db, stmt,
                         "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, "
                         "colorful = ?, colorindex = ?, color_value = ?, config_func = ?, reserved "
                         "= ? WHERE profile = ? AND type = ? AND mode = ?",
                         record.brightness, record.speed, record.direction, record.colorful,
                         record.colorindex, record.color_value, record.config_func, record.reserved,
                         record.profile, type, mode))
        return false;
    return RunChange(stmt);
}

bool DeviceDataDB::SetActiveLightMode(int profile, int type, int mode)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (PrepareWithInts(m_db, stmt,
                        "UPDATE t_light_data SET status = ? WHERE profile = ? AND type = ?", 0,
                        profile, type))
        stmt.Step();
    if (!PrepareWithInts(m_db, stmt,
                         "UPDATE t_light_data SET status = ? WHERE profile = ? AND type = ? AND "
                         "mode = ?",
                         1, profile, type, mode))
        return false;
    return RunChange(stmt);
}

int DeviceDataDB::GetActiveLightMode(int profile, int type)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(
            m_db, stmt,
            "SELECT mode FROM t_light_data WHERE profile = ? AND type = ? and status = ?", profile,
            type, 1))
        return 0;
    if (stmt.Step() != SQLITE_ROW) return 0;
    return stmt.GetInt(0);
}

bool DeviceDataDB::GetLight(int profile, int type, int mode, LightData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "SELECT * FROM t_light_data WHERE profile = ? AND type = ? AND mode = ?",
                         profile, type, mode))
        return false;
    if (stmt.Step() != SQLITE_ROW) return false;
    ReadLight(stmt, record);
    return true;
}

int DeviceDataDB::GetLights(int profile, int type, std::vector<LightData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_light_data WHERE profile = ? AND type = ?",
                         profile, type))
        return 0;
    while (stmt.Step() == SQLITE_ROW) {
        LightData* r = new LightData;
        ReadLight(stmt, *r);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

int DeviceDataDB::InsertUserLightRgb(std::vector<UserLightRgbData> records)
{
    CAutoLock lock(m_lock);
    RunForEachInOneTransaction(
        m_db, kInsertUserLightRgb, records,
        [](SQLiteStatement& stmt, const UserLightRgbData& r) { BindUserLightRgb(stmt, r); });
    return static_cast<int>(records.size());
}

bool DeviceDataDB::DeleteUserLightRgb(int profile, int userlightId)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "DELETE FROM t_userlightrgb_data WHERE profile = ? AND userlight_id = ?",
                         profile, userlightId))
        return false;
    return RunChange(stmt);
}

bool DeviceDataDB::ReplaceUserLightRgb(int profile, int userlightId,
                                       std::vector<UserLightRgbData> records)
{
    CAutoLock lock(m_lock);
    RowSetReplace replace(m_db);
    if (!replace.IsActive()) return false;
    {
        SQLiteStatement stmt;
        if (!PrepareWithInts(
                m_db, stmt,
                "DELETE FROM t_userlightrgb_data WHERE profile = ? AND userlight_id = ?", profile,
                userlightId) ||
            !RunChange(stmt))
            return false;
        for (UserLightRgbData& r : records) {
            r.profile = profile;
            r.userlight_id = userlightId;
            if (m_db.Prepare(stmt, kInsertUserLightRgb) != SQLITE_OK ||
                !BindUserLightRgb(stmt, r) || !RunChange(stmt))
                return false;  // rolled back: the previous colours stay
        }
    }
    return replace.Commit();
}

int DeviceDataDB::GetUserLightRgb(int profile, int userlightId,
                                  std::vector<UserLightRgbData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "SELECT * FROM t_userlightrgb_data WHERE profile = ? AND userlight_id = ?",
                         profile, userlightId))
        return 0;
    while (stmt.Step() == SQLITE_ROW) {
        UserLightRgbData* r = new UserLightRgbData;
        r->userlightrgb_id = stmt.GetInt(0);
        r->profile = stmt.GetInt(1);
        r->userlight_id = stmt.GetInt(2);
        r->key_code = stmt.GetInt(3);
        r->key_rgb = stmt.GetInt(4);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

int DeviceDataDB::AddCustomLight(int profile, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_customlight_data(profile, name, speed, brightness) "
                     "VALUES (?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    stmt.BindInt(1, profile);
    BindWide(stmt, 2, name);
    stmt.BindInt(3, 15);
    stmt.BindInt(4, 15);
    return InsertAndGetId(stmt);
}
