#pragma once

// Thin wrappers over the SQLite C interface: one connection (SQLiteDB), one
// prepared statement (SQLiteStatement) and a transaction bound to a scope
// (SQLiteAutoTransaction).
//
// The wrappers add no caching and no error texts. They hand SQLite's result
// codes back unchanged and answer SQLITE_MISUSE (21) when there is no handle to
// work on, so a caller never has to check for a handle first. None of the
// classes locks anything: a statement or transaction object belongs to one
// thread at a time, and the owner of a connection serialises its own users.

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class SQLiteStatement;

class SQLiteDB
{
public:
    // Open flags used by the profile database.
    static const int kOpenReadWrite = 0x00000002 | 0x00010000;            // read-write, full mutex
    static const int kOpenCreate = 0x00000002 | 0x00000004 | 0x00010000;  // + create

    SQLiteDB();
    virtual ~SQLiteDB();

    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Closes any open connection, then opens the file (UTF-8 path). A non-empty
    // key asks for an encrypted database; this SQLite build has no encryption,
    // so a key leaves the connection open but reports false.
    bool Open(const char* path, const std::string& key, int flags);
    // True when no connection is open afterwards. A connection that still has
    // unfinalized statements stays open and the result is false.
    bool Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Finalizes whatever the statement object held, then prepares sql into it.
    // length < 0 measures the text. 21 without a connection or without sql.
    int Prepare(SQLiteStatement& stmt, const char* sql, int length = -1);
    // sqlite3_exec; 21 without a connection or without sql.
    int Exec(const char* sql, int (*callback)(void*, int, char**, char**) = nullptr,
             void* argument = nullptr);
    // Row id of the last successful insert on this connection; -1 when closed.
    int64_t LastInsertRowId() const;

    // The raw handle (null when closed), for callers that need SQLite directly.
    sqlite3* Handle() const { return m_db; }

private:
    sqlite3* m_db;
};

class SQLiteStatement
{
public:
    SQLiteStatement();
    virtual ~SQLiteStatement();

    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    // Parameter indexes count from 1. Results are SQLite's codes; 21 without a
    // statement.
    int BindInt(int index, int value);
    // The bytes are copied by SQLite (bound transient), so the caller's buffer
    // may go away before the statement runs.
    int BindText(int index, const char* utf8, int byteLength);
    int BindText(int index, const std::string& utf8);

    // 100 a row is ready, 101 no more rows (also sets the done flag); 21 without
    // a statement.
    int Step();

    // Column indexes count from 0. Without a statement, outside the current row's
    // columns or for NULL: 0 and null.
    int GetInt(int column);
    const char* GetText(int column);  // owned by SQLite, valid until the next step

    // Finalizes the statement; true when none is held afterwards.
    bool Finalize();

    bool IsDone() const { return m_done; }
    sqlite3_stmt* Handle() const { return m_stmt; }

private:
    friend class SQLiteDB;
    bool ColumnInRange(int column) const;

    bool m_done;
    sqlite3_stmt* m_stmt;
};

// Begins a transaction when constructed on an open connection and ends (commits)
// it when it goes out of scope, unless End was called first. Nothing is ever
// rolled back by this class.
class SQLiteAutoTransaction
{
public:
    explicit SQLiteAutoTransaction(SQLiteDB* db);
    virtual ~SQLiteAutoTransaction();

    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // True when this call began a transaction.
    bool Begin();
    // True when this call ended (committed) the transaction.
    bool End();

    bool IsBegun() const { return m_begun; }

private:
    SQLiteDB* m_db;
    bool m_begun;
};
