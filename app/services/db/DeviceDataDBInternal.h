#pragma once

// Helpers shared by the source files of DeviceDataDB (not for other users).

#include <sqlite3.h>

#include <vector>

#include "services/db/DeviceDataDB.h"
#include "services/TextConvert.h"

namespace devicedb {

// A statement that changes rows has run when its step gives one of these.
inline bool StepDone(int rc)
{
    return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE;
}

// Binds a wide text as UTF-8 (SQLite keeps its own copy).
inline int BindWide(SQLiteStatement& stmt, int index, const wchar_t* text)
{
    return stmt.BindText(index, Utf16ToUtf8(text));
}

// A column as wide text; NULL reads as empty.
inline CString ColumnText(SQLiteStatement& stmt, int column)
{
    return Utf8ToUtf16(stmt.GetText(column));
}

// Prepares sql and binds the given integers to parameters 1..n; true when
// every call succeeded.
template <class... Ints>
bool PrepareWithInts(SQLiteDB& db, SQLiteStatement& stmt, const char* sql, Ints... values)
{
    if (db.Prepare(stmt, sql) != SQLITE_OK) return false;
    int index = 0;
    bool ok = true;
    int list[] = {0, values...};
    for (size_t i = 1; i < sizeof(list) / sizeof(list[0]); ++i)
        ok = (stmt.BindInt(++index, list[i]) == SQLITE_OK) && ok;
    return ok;
}

// Runs a prepared statement that changes rows; true when it ran.
inline bool RunChange(SQLiteStatement& stmt)
{
    return StepDone(stmt.Step());
}

// Deleting and re-inserting a set of rows as one unit. A savepoint serves as
// the transaction: it begins one when none is open and nests inside a caller's
// transaction otherwise. Unless Commit succeeds, the destructor rolls every
// change back, so a failure leaves the previous rows in place.
class RowSetReplace
{
public:
    explicit RowSetReplace(SQLiteDB& db) : m_db(db)
    {
        m_active = m_db.Exec("SAVEPOINT replace_rows") == SQLITE_OK;
    }
    ~RowSetReplace()
    {
        if (m_active) Rollback();
    }
    RowSetReplace(const RowSetReplace&) = delete;
    RowSetReplace& operator=(const RowSetReplace&) = delete;

    bool IsActive() const { return m_active; }

    bool Commit()
    {
        if (!m_active) return false;
        if (m_db.Exec("RELEASE replace_rows") != SQLITE_OK) {
            Rollback();
            return false;
        }
        m_active = false;
        return true;
    }

private:
    void Rollback()
    {
        m_db.Exec("ROLLBACK TO replace_rows");
        m_db.Exec("RELEASE replace_rows");
        m_active = false;
    }

    SQLiteDB& m_db;
    bool m_active;
};

// Runs the statement `sql` once per record, bound by bind(statement, record),
// all inside one transaction; a record whose statement cannot be prepared is
// skipped. The caller holds the database lock.
template <class Record, class Bind>
void RunForEachInOneTransaction(SQLiteDB& db, const char* sql, const std::vector<Record>& records,
                                Bind bind)
{
    SQLiteAutoTransaction transaction(&db);
    transaction.Begin();
    SQLiteStatement stmt;
    for (const Record& r : records) {
        if (db.Prepare(stmt, sql) != SQLITE_OK) continue;
        bind(stmt, r);
        stmt.Step();
    }
    stmt.Finalize();
    transaction.End();
}

}  // namespace devicedb
