// DeviceDataDB: profiles (t_profile_data) and music layers (t_musiclayer_data).

#include "services/db/DeviceDataDB.h"

#include "services/db/DeviceDataDBInternal.h"

using namespace devicedb;

int DeviceDataDB::AddProfile(const ProfileData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_profile_data(name, status, app, icon_image, bkg_image, "
                     "type) VALUES (?, ?, ?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    BindWide(stmt, 1, record.name);
    stmt.BindInt(2, 0);
    BindWide(stmt, 3, record.app);
    BindWide(stmt, 4, record.icon_image);
    BindWide(stmt, 5, record.bkg_image);
    stmt.BindInt(6, 0);
    int profile = InsertAndGetId(stmt);
    stmt.Finalize();
    if (profile < 1) return 0;
    // Every profile starts with one music layer and one custom-light row.
    AddMusicLayer(profile, L"Profile");
    AddCustomLight(profile, L"Profile");
    return profile;
}

bool DeviceDataDB::DeleteProfile(int profile)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_profile_data WHERE profile = ?", profile))
        return false;
    return RunChange(stmt);
}

bool DeviceDataDB::RenameProfile(int profile, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "UPDATE t_profile_data SET name = ? WHERE profile = ?") != SQLITE_OK)
        return false;
    BindWide(stmt, 1, name);
    stmt.BindInt(2, profile);
    return RunChange(stmt);
}

bool DeviceDataDB::GetProfileName(int profile, CString& name)
{
    CAutoLock lock(m_lock);
    name.Empty();
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT name FROM t_profile_data WHERE profile = ?", profile))
        return false;
    if (stmt.Step() != SQLITE_ROW) return false;
    name = ColumnText(stmt, 0);
    return true;
}

int DeviceDataDB::GetProfiles(std::vector<ProfileData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "SELECT * FROM t_profile_data") != SQLITE_OK) return 0;
    while (stmt.Step() == SQLITE_ROW) {
        // Table order: profile, name, status, app, icon_image, bkg_image, type.
        ProfileData* p = new ProfileData;
        p->profile = stmt.GetInt(0);
        p->name = ColumnText(stmt, 1);
        p->status = stmt.GetInt(2);
        p->app = ColumnText(stmt, 3);
        p->icon_image = ColumnText(stmt, 4);
        p->bkg_image = ColumnText(stmt, 5);
        p->type = stmt.GetInt(6);
        list.push_back(p);
    }
    return static_cast<int>(list.size());
}

bool DeviceDataDB::SetActiveProfile(int profile)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (PrepareWithInts(m_db, stmt, "UPDATE t_profile_data SET status = ?", 0)) stmt.Step();
    if (!PrepareWithInts(m_db, stmt, "UPDATE t_profile_data SET status = ? WHERE profile = ?", 1,
                         profile))
        return false;
    return RunChange(stmt);
}

int DeviceDataDB::GetActiveProfile()
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT profile FROM t_profile_data WHERE status = ?", 1))
        return 0;
    if (stmt.Step() != SQLITE_ROW) return 0;
    return stmt.GetInt(0);
}

// ---------------------------------------------------------------------------
// Music layers

int DeviceDataDB::AddMusicLayer(int profile, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, "
                     "fore_amplitude, backmode, backb_right, light_right, sel) VALUES (?, ?, "
                     "?, ?, ?, ?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    stmt.BindInt(1, profile);
    BindWide(stmt, 2, name);
    const int defaults[] = {0, 4, 300, 0, 100, 100, 0};
    for (int i = 0; i < 7; ++i) stmt.BindInt(3 + i, defaults[i]);
    return InsertAndGetId(stmt);
}

bool DeviceDataDB::GetMusicLayer(int layerId, MusicLayerData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?", layerId))
        return false;
    if (stmt.Step() != SQLITE_ROW) return false;
    record.layer_id = stmt.GetInt(0);
    record.profile = stmt.GetInt(1);
    record.name = ColumnText(stmt, 2);
    record.deviceindex = stmt.GetInt(3);
    record.foremode = stmt.GetInt(4);
    record.fore_amplitude = stmt.GetInt(5);
    record.backmode = stmt.GetInt(6);
    record.backb_right = stmt.GetInt(7);
    record.light_right = stmt.GetInt(8);
    return true;
}

bool DeviceDataDB::UpdateMusicLayer(int layerId, const MusicLayerData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude "
                         "= ?, backmode= ?, backb_right= ?, light_right= ? WHERE layer_id = ?",
                         record.deviceindex, record.foremode, record.fore_amplitude,
                         record.backmode, record.backb_right, record.light_right, layerId))
        return false;
    return RunChange(stmt);
}
