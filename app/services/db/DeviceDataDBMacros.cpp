// DeviceDataDB: macros (t_macro_data) and their recorded events
// (t_macrorecord). Macros belong to the keyboard model, not to a profile.

#include "services/db/DeviceDataDB.h"

#include "services/db/DeviceDataDBInternal.h"

using namespace devicedb;

namespace {

const char kInsertMacroRecord[] =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, "
    "?, "
    "?, ?, ?, ?);";

bool BindMacroRecord(SQLiteStatement& stmt, const MacroRecordData& r)
{
    return stmt.BindInt(1, r.macro_id) == SQLITE_OK && stmt.BindInt(2, r.type) == SQLITE_OK &&
           stmt.BindInt(3, r.record_index) == SQLITE_OK && BindWide(stmt, 4, r.desc) == SQLITE_OK &&
           stmt.BindInt(5, r.value) == SQLITE_OK && stmt.BindInt(6, r.delay_time) == SQLITE_OK;
}

// Columns 0..5: macro_id, name, play_type, play_times, delay_type, delay_time.
void ReadMacro(SQLiteStatement& stmt, MacroData& r)
{
    r.macro_id = stmt.GetInt(0);
    r.name = ColumnText(stmt, 1);
    r.play_type = stmt.GetInt(2);
    r.play_times = stmt.GetInt(3);
    r.delay_type = stmt.GetInt(4);
    r.delay_time = stmt.GetInt(5);
}

}  // namespace

int DeviceDataDB::AddMacro(const wchar_t* name)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_macro_data(name, play_type, play_times, delay_type, "
                     "delay_time) VALUES (?, ?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    BindWide(stmt, 1, name);
    stmt.BindInt(2, 0);
    stmt.BindInt(3, 1);
    stmt.BindInt(4, 1);
    stmt.BindInt(5, 0);
    return InsertAndGetId(stmt);
}

bool DeviceDataDB::RenameMacro(int macroId, const wchar_t* name)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?") != SQLITE_OK)
        return false;
    BindWide(stmt, 1, name);
    stmt.BindInt(2, macroId);
    return RunChange(stmt);
}

bool DeviceDataDB::DeleteMacro(int macroId)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_macro_data WHERE macro_id = ?", macroId) ||
        !RunChange(stmt))
        return false;  // the events stay with their macro
    if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_macrorecord WHERE macro_id = ?", macroId))
        return false;
    return RunChange(stmt);
}

bool DeviceDataDB::GetMacro(int macroId, MacroData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_macro_data WHERE macro_id = ?", macroId))
        return false;
    if (stmt.Step() != SQLITE_ROW) return false;
    ReadMacro(stmt, record);
    return true;
}

bool DeviceDataDB::UpdateMacro(int macroId, MacroData record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "UPDATE t_macro_data SET name = ?, play_type = ?, play_times = ?, "
                     "delay_type = ?,delay_time = ? WHERE macro_id = ?") != SQLITE_OK)
        return false;
    BindWide(stmt, 1, record.name);
    stmt.BindInt(2, record.play_type);
    stmt.BindInt(3, record.play_times);
    stmt.BindInt(4, record.delay_type);
    stmt.BindInt(5, record.delay_time);
    stmt.BindInt(6, macroId);
    return RunChange(stmt);
}

bool DeviceDataDB::UpdateMacro(const MacroData& record)
{
    return UpdateMacro(record.macro_id, record);
}

int DeviceDataDB::GetMacros(std::vector<MacroData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "SELECT * FROM t_macro_data") != SQLITE_OK) return 0;
    while (stmt.Step() == SQLITE_ROW) {
        MacroData* r = new MacroData;
        ReadMacro(stmt, *r);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

void DeviceDataDB::InsertMacroRecords(std::vector<MacroRecordData> records)
{
    CAutoLock lock(m_lock);
    RunForEachInOneTransaction(
        m_db, kInsertMacroRecord, records,
        [](SQLiteStatement& stmt, const MacroRecordData& r) { BindMacroRecord(stmt, r); });
}

bool DeviceDataDB::ReplaceMacroRecords(int macroId, std::vector<MacroRecordData> records)
{
    CAutoLock lock(m_lock);
    RowSetReplace replace(m_db);
    if (!replace.IsActive()) return false;
    {
        SQLiteStatement stmt;
        if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_macrorecord WHERE macro_id = ?", macroId) ||
            !RunChange(stmt))
            return false;
        for (MacroRecordData& r : records) {
            r.macro_id = macroId;
            if (m_db.Prepare(stmt, kInsertMacroRecord) != SQLITE_OK || !BindMacroRecord(stmt, r) ||
                !RunChange(stmt))
                return false;  // rolled back: the previous events stay
        }
    }
    return replace.Commit();
}

bool DeviceDataDB::RestoreMacro(const MacroData& macro, std::vector<MacroRecordData> records)
{
    CAutoLock lock(m_lock);
    RowSetReplace replace(m_db);
    if (!replace.IsActive() || macro.macro_id <= 0) return false;
    {
        SQLiteStatement stmt;
        if (m_db.Prepare(stmt,
                         "INSERT OR REPLACE INTO t_macro_data(macro_id, name, play_type, "
                         "play_times, delay_type, delay_time) VALUES (?, ?, ?, ?, ?, ?);") !=
                SQLITE_OK ||
            stmt.BindInt(1, macro.macro_id) != SQLITE_OK ||
            BindWide(stmt, 2, macro.name) != SQLITE_OK ||
            stmt.BindInt(3, macro.play_type) != SQLITE_OK ||
            stmt.BindInt(4, macro.play_times) != SQLITE_OK ||
            stmt.BindInt(5, macro.delay_type) != SQLITE_OK ||
            stmt.BindInt(6, macro.delay_time) != SQLITE_OK || !RunChange(stmt))
            return false;
        if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_macrorecord WHERE macro_id = ?",
                             macro.macro_id) ||
            !RunChange(stmt))
            return false;
        for (MacroRecordData& r : records) {
            r.macro_id = macro.macro_id;
            if (m_db.Prepare(stmt, kInsertMacroRecord) != SQLITE_OK || !BindMacroRecord(stmt, r) ||
                !RunChange(stmt))
                return false;
        }
    }
    return replace.Commit();
}

int DeviceDataDB::GetMacroRecords(int macroId, std::vector<MacroRecordData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC",
                         macroId))
        return 0;
    while (stmt.Step() == SQLITE_ROW) {
        // Table order: record_id, macro_id, type, record_index, desc, value, delay_time.
        MacroRecordData* r = new MacroRecordData;
        r->record_id = stmt.GetInt(0);
        r->macro_id = stmt.GetInt(1);
        r->type = stmt.GetInt(2);
        r->record_index = stmt.GetInt(3);
        r->desc = ColumnText(stmt, 4);
        r->value = stmt.GetInt(5);
        r->delay_time = stmt.GetInt(6);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

bool DeviceDataDB::DeleteMacroRecords(int macroId)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_macrorecord WHERE macro_id = ?", macroId))
        return false;
    return RunChange(stmt);
}

int DeviceDataDB::CountMacroRecords(int macroId)
{
    return Count("select count(*) FROM t_macrorecord WHERE macro_id = ?", macroId, true);
}

int DeviceDataDB::CountAllMacroRecords()
{
    return Count("select count(*) FROM t_macrorecord", 0, false);
}
