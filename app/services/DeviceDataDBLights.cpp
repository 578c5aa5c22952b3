// DeviceDataDB: lighting rows (t_light_data, t_userlightrgb_data,
// t_customlight_data).

#include "services/DeviceDataDB.h"

#include "services/DeviceDataDBInternal.h"

using namespace devicedb;

int DeviceDataDB::AddCustomLight(int profile, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "INSERT INTO t_customlight_data(profile, name, speed, brightness) "
                           "VALUES (?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    stmt.BindInt(1, profile);
    BindWide(stmt, 2, name);
    stmt.BindInt(3, 15);
    stmt.BindInt(4, 15);
    return InsertAndGetId(stmt);
}
