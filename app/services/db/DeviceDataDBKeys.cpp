// DeviceDataDB: key assignments (t_key_macro_data).

#include "services/db/DeviceDataDB.h"

#include "services/db/DeviceDataDBInternal.h"

using namespace devicedb;

namespace {

const char kInsertKeyMacro[] =
    "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
    "macro_type, macro_value, macro_value2, macro_value3, macro_desc) VALUES (?, ?, ?, ?, ?, ?, ?, "
    "?, ?, ?);";

const char kUpdateKeyMacro[] =
    "UPDATE t_key_macro_data SET macro_type = ?, macro_value = ?, macro_value2 = ?, macro_value3 "
    "= ?, macro_desc = ? WHERE profile = ? AND fn_layer = ? AND key_code = ?;";

void BindInsert(SQLiteStatement& stmt, const KeyMacroData& r)
{
    stmt.BindInt(1, r.profile);
    stmt.BindInt(2, r.fn_layer);
    stmt.BindInt(3, r.key_code);
    stmt.BindInt(4, r.layout_value);
    BindWide(stmt, 5, r.layout_desc);
    stmt.BindInt(6, r.macro_type);
    stmt.BindInt(7, r.macro_value);
    stmt.BindInt(8, r.macro_value2);
    stmt.BindInt(9, r.macro_value3);
    BindWide(stmt, 10, r.macro_desc);
}

void BindUpdate(SQLiteStatement& stmt, const KeyMacroData& r)
{
    stmt.BindInt(1, r.macro_type);
    stmt.BindInt(2, r.macro_value);
    stmt.BindInt(3, r.macro_value2);
    stmt.BindInt(4, r.macro_value3);
    BindWide(stmt, 5, r.macro_desc);
    stmt.BindInt(6, r.profile);
    stmt.BindInt(7, r.fn_layer);
    stmt.BindInt(8, r.key_code);
}

// Columns 0..10 of "SELECT *" in table order.
void ReadRow(SQLiteStatement& stmt, KeyMacroData& r)
{
    r.key_id = stmt.GetInt(0);
    r.profile = stmt.GetInt(1);
    r.fn_layer = stmt.GetInt(2);
    r.key_code = stmt.GetInt(3);
    r.layout_value = stmt.GetInt(4);
    r.layout_desc = ColumnText(stmt, 5);
    r.macro_type = stmt.GetInt(6);
    r.macro_value = stmt.GetInt(7);
    r.macro_value2 = stmt.GetInt(8);
    r.macro_value3 = stmt.GetInt(9);
    r.macro_desc = ColumnText(stmt, 10);
}

int ReadList(SQLiteStatement& stmt, std::vector<KeyMacroData*>& list)
{
    while (stmt.Step() == SQLITE_ROW) {
        KeyMacroData* r = new KeyMacroData;
        ReadRow(stmt, *r);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

}  // namespace

int DeviceDataDB::CountKeyMacros(int profile)
{
    return Count("select count(*) FROM t_key_macro_data WHERE profile = ?", profile, true);
}

int DeviceDataDB::ReplaceKeyMacro(const KeyMacroData& record)
{
    CAutoLock lock(m_lock);
    if (record.key_code == 0) return 0;
    // The delete and the insert are one unit: when the insert fails the key
    // keeps its previous row rather than silently falling back to its default.
    RowSetReplace replace(m_db);
    SQLiteStatement stmt;
    if (PrepareWithInts(m_db, stmt,
                        "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and "
                        "key_code = ?",
                        record.profile, record.fn_layer, record.key_code))
        stmt.Step();
    if (record.macro_value == 0 && record.macro_value2 == 0) {
        // No function: the key is left without a row, that is with its default.
        stmt.Finalize();
        replace.Commit();
        return 0;
    }
    if (m_db.Prepare(stmt, kInsertKeyMacro) != SQLITE_OK) return 0;
    BindInsert(stmt, record);
    int id = InsertAndGetId(stmt);
    stmt.Finalize();
    if (id == 0) return 0;
    if (replace.IsActive() && !replace.Commit()) return 0;
    return id;
}

void DeviceDataDB::InsertKeyMacros(std::vector<KeyMacroData> records)
{
    CAutoLock lock(m_lock);
    RunForEachInOneTransaction(
        m_db, kInsertKeyMacro, records,
        [](SQLiteStatement& stmt, const KeyMacroData& r) { BindInsert(stmt, r); });
}

bool DeviceDataDB::UpdateKeyMacro(const KeyMacroData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, kUpdateKeyMacro) != SQLITE_OK) return false;
    BindUpdate(stmt, record);
    return RunChange(stmt);
}

void DeviceDataDB::UpdateKeyMacros(std::vector<KeyMacroData> records)
{
    CAutoLock lock(m_lock);
    RunForEachInOneTransaction(
        m_db, kUpdateKeyMacro, records,
        [](SQLiteStatement& stmt, const KeyMacroData& r) { BindUpdate(stmt, r); });
}

bool DeviceDataDB::GetKeyMacro(int profile, int fnLayer, int keyCode, KeyMacroData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and "
                         "key_code = ?",
                         profile, fnLayer, keyCode))
        return false;
    if (stmt.Step() != SQLITE_ROW) return false;
    ReadRow(stmt, record);
    return true;
}

int DeviceDataDB::GetLayerKeyMacros(int profile, int fnLayer, std::vector<KeyMacroData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?",
                         profile, fnLayer))
        return 0;
    return ReadList(stmt, list);
}

int DeviceDataDB::GetProfileKeyMacros(int profile, std::vector<KeyMacroData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_key_macro_data WHERE profile = ?", profile))
        return 0;
    return ReadList(stmt, list);
}

int DeviceDataDB::GetAllKeyMacros(std::vector<KeyMacroData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "SELECT * FROM t_key_macro_data") != SQLITE_OK) return 0;
    return ReadList(stmt, list);
}
