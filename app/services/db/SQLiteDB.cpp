#include "services/db/SQLiteDB.h"

#include <sqlite3.h>

#include <cstring>

// ---------------------------------------------------------------------------
// SQLiteDB

SQLiteDB::SQLiteDB() : m_db(nullptr) {}

SQLiteDB::~SQLiteDB()
{
    if (m_db) {
        sqlite3_interrupt(m_db);
        if (sqlite3_close(m_db) != SQLITE_OK) {
            // Statements are still alive somewhere: let SQLite close the
            // connection when the last of them is finalized instead of leaking it.
            sqlite3_close_v2(m_db);
        }
        m_db = nullptr;
    }
}

bool SQLiteDB::Open(const char* path, const std::string& key, int flags)
{
    if (m_db) {
        sqlite3_interrupt(m_db);
        if (sqlite3_close(m_db) != SQLITE_OK) {
            // Unfinalized statements keep the old connection busy. Hand it to
            // SQLite to close once they are gone, rather than losing the handle
            // with the file still open.
            sqlite3_close_v2(m_db);
        }
        m_db = nullptr;
    }
    if (!path) return false;

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path, &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (db) sqlite3_close(db);
        return false;
    }
    m_db = db;
    sqlite3_exec(m_db, "PRAGMA synchronous = OFF; ", nullptr, nullptr, nullptr);
    if (key.empty()) return true;
    // This SQLite build offers no encryption (no sqlite3_key / sqlite3_rekey):
    // a key cannot be applied. The connection stays open, as after a failed key.
    return false;
}

bool SQLiteDB::Close()
{
    if (!m_db) return true;
    if (sqlite3_close(m_db) != SQLITE_OK) return false;
    m_db = nullptr;
    return true;
}

int SQLiteDB::Prepare(SQLiteStatement& stmt, const char* sql, int length)
{
    // sqlite3_finalize destroys the statement whatever it returns (a non-zero
    // result only repeats the error of the last step), so the handle is dropped
    // in every case; keeping it would finalize freed memory later.
    stmt.Finalize();
    if (!m_db || !sql) return SQLITE_MISUSE;
    if (length < 0) length = static_cast<int>(std::strlen(sql)) + 1;
    return sqlite3_prepare_v2(m_db, sql, length, &stmt.m_stmt, nullptr);
}

int SQLiteDB::Exec(const char* sql, int (*callback)(void*, int, char**, char**), void* argument)
{
    if (!m_db || !sql) return SQLITE_MISUSE;
    return sqlite3_exec(m_db, sql, callback, argument, nullptr);
}

int64_t SQLiteDB::LastInsertRowId() const
{
    if (!m_db) return -1;
    return sqlite3_last_insert_rowid(m_db);
}

// ---------------------------------------------------------------------------
// SQLiteStatement

SQLiteStatement::SQLiteStatement() : m_done(true), m_stmt(nullptr) {}

SQLiteStatement::~SQLiteStatement()
{
    Finalize();
}

bool SQLiteStatement::Finalize()
{
    if (m_stmt) {
        // The statement is destroyed whatever finalize reports.
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_done = true;
    }
    return true;
}

int SQLiteStatement::BindInt(int index, int value)
{
    if (!m_stmt) return SQLITE_MISUSE;
    return sqlite3_bind_int(m_stmt, index, value);
}

int SQLiteStatement::BindText(int index, const char* utf8, int byteLength)
{
    if (!m_stmt) return SQLITE_MISUSE;
    if (!utf8) {
        utf8 = "";
        byteLength = 0;
    }
    return sqlite3_bind_text(m_stmt, index, utf8, byteLength, SQLITE_TRANSIENT);
}

int SQLiteStatement::BindText(int index, const std::string& utf8)
{
    return BindText(index, utf8.data(), static_cast<int>(utf8.size()));
}

int SQLiteStatement::Step()
{
    if (!m_stmt) return SQLITE_MISUSE;
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_DONE)
        m_done = true;
    else if (rc == SQLITE_ROW)
        m_done = false;
    return rc;
}

bool SQLiteStatement::ColumnInRange(int column) const
{
    return m_stmt && column >= 0 && column < sqlite3_data_count(m_stmt);
}

int SQLiteStatement::GetInt(int column)
{
    if (!ColumnInRange(column)) return 0;
    return sqlite3_column_int(m_stmt, column);
}

const char* SQLiteStatement::GetText(int column)
{
    if (!ColumnInRange(column)) return nullptr;
    return reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
}

// ---------------------------------------------------------------------------
// SQLiteAutoTransaction

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* db) : m_db(db), m_begun(false)
{
    if (!m_db) return;
    if (m_db->IsOpen()) m_db->Exec("BEGIN");
    m_begun = true;
}

SQLiteAutoTransaction::~SQLiteAutoTransaction()
{
    if (m_begun && m_db && m_db->IsOpen()) {
        m_db->Exec("END");
        m_begun = false;
    }
}

bool SQLiteAutoTransaction::Begin()
{
    if (!m_db || m_begun) return false;
    if (!m_db->IsOpen()) {
        m_begun = true;
        return false;
    }
    int rc = m_db->Exec("BEGIN");
    m_begun = true;
    return rc == SQLITE_OK;
}

bool SQLiteAutoTransaction::End()
{
    if (!m_db) return false;
    if (!m_db->IsOpen()) {
        m_begun = false;
        return false;
    }
    int rc = m_db->Exec("END");
    m_begun = false;
    return rc == SQLITE_OK;
}
