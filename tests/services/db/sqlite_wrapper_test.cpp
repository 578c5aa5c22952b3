// The SQLite wrappers: result codes without handles, statement reuse,
// transactions, closing with live statements, and bound text lifetime.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstring>

#include "DbTestSupport.h"
#include "services/db/SQLiteDB.h"
#include "services/TextConvert.h"

namespace {

std::string PathOf(const dbtest::TempDataFolder& dir, const wchar_t* name)
{
    return Utf16ToUtf8(dir.Folder() + name);
}

}  // namespace

TEST(SQLiteWrappers, WithoutHandlesEverythingIsMisuse)
{
    SQLiteDB db;
    SQLiteStatement stmt;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.Prepare(stmt, "SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(stmt.Handle(), nullptr);
    EXPECT_TRUE(stmt.IsDone());
    EXPECT_EQ(stmt.Step(), SQLITE_MISUSE);
    EXPECT_EQ(stmt.BindInt(1, 5), SQLITE_MISUSE);
    EXPECT_EQ(stmt.BindText(1, "x", 1), SQLITE_MISUSE);
    EXPECT_EQ(stmt.GetInt(0), 0);
    EXPECT_EQ(stmt.GetText(0), nullptr);
    EXPECT_EQ(db.Exec("SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_FALSE(db.Open(nullptr, "", SQLiteDB::kOpenCreate));
}

TEST(SQLiteWrappers, TransactionFlagsOnClosedOrMissingConnection)
{
    SQLiteDB closed;
    {
        SQLiteAutoTransaction t(&closed);
        EXPECT_TRUE(t.IsBegun());
        EXPECT_FALSE(t.Begin());  // begun already
        EXPECT_FALSE(t.End());
        EXPECT_FALSE(t.IsBegun());
    }
    {
        SQLiteAutoTransaction t(nullptr);
        EXPECT_FALSE(t.IsBegun());
        EXPECT_FALSE(t.Begin());
        EXPECT_FALSE(t.End());
    }
}

TEST(SQLiteWrappers, StatementsTransactionsAndClose)
{
    dbtest::TempDataFolder dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open(PathOf(dir, L"w.db").c_str(), "", SQLiteDB::kOpenCreate));
    ASSERT_EQ(db.Exec("CREATE TABLE t(id INTEGER PRIMARY KEY AUTOINCREMENT, v INTEGER, s TEXT)"),
              SQLITE_OK);
    EXPECT_NE(db.Exec("NOT SQL"), SQLITE_OK);

    // One statement object serves a sequence of statements.
    SQLiteStatement stmt;
    ASSERT_EQ(db.Prepare(stmt, "INSERT INTO t(v, s) VALUES (?, ?)"), SQLITE_OK);
    EXPECT_EQ(stmt.BindInt(1, 42), SQLITE_OK);
    EXPECT_EQ(stmt.BindText(2, "abc", 3), SQLITE_OK);
    EXPECT_EQ(stmt.BindInt(3, 1), SQLITE_RANGE);
    EXPECT_EQ(stmt.Step(), SQLITE_DONE);
    EXPECT_TRUE(stmt.IsDone());
    EXPECT_EQ(db.LastInsertRowId(), 1);
    ASSERT_EQ(db.Prepare(stmt, "SELECT v, s, NULL FROM t"), SQLITE_OK);
    EXPECT_EQ(stmt.Step(), SQLITE_ROW);
    EXPECT_FALSE(stmt.IsDone());
    EXPECT_EQ(stmt.GetInt(0), 42);
    EXPECT_STREQ(stmt.GetText(1), "abc");
    EXPECT_EQ(stmt.GetText(2), nullptr);
    EXPECT_EQ(stmt.GetText(7), nullptr);  // no such column
    EXPECT_EQ(stmt.GetInt(-1), 0);
    EXPECT_EQ(stmt.Step(), SQLITE_DONE);
    EXPECT_TRUE(stmt.IsDone());

    // Closing while a statement is alive fails and keeps the connection.
    ASSERT_EQ(db.Prepare(stmt, "SELECT 1"), SQLITE_OK);
    EXPECT_FALSE(db.Close());
    EXPECT_TRUE(db.IsOpen());
    stmt.Finalize();

    // The transaction: constructor begins, End commits; nothing is rolled back.
    {
        SQLiteAutoTransaction t(&db);
        EXPECT_FALSE(t.Begin());
        EXPECT_EQ(sqlite3_get_autocommit(db.Handle()), 0);
        db.Exec("INSERT INTO t(v) VALUES (2)");
        db.Exec("INSERT INTO missing(v) VALUES (3)");
        db.Exec("INSERT INTO t(v) VALUES (4)");
        EXPECT_TRUE(t.End());
        EXPECT_FALSE(t.IsBegun());
    }
    EXPECT_NE(sqlite3_get_autocommit(db.Handle()), 0);
    ASSERT_EQ(db.Prepare(stmt, "SELECT count(*) FROM t"), SQLITE_OK);
    ASSERT_EQ(stmt.Step(), SQLITE_ROW);
    EXPECT_EQ(stmt.GetInt(0), 3);
    // The destructor ends a transaction that is still open.
    {
        SQLiteAutoTransaction t(&db);
        db.Exec("INSERT INTO t(v) VALUES (5)");
    }
    EXPECT_NE(sqlite3_get_autocommit(db.Handle()), 0);
    stmt.Finalize();
    EXPECT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST(SQLiteWrappers, BoundTextNeedNotOutliveTheBindCall)
{
    dbtest::TempDataFolder dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open(PathOf(dir, L"b.db").c_str(), "", SQLiteDB::kOpenCreate));
    ASSERT_EQ(db.Exec("CREATE TABLE t(s TEXT)"), SQLITE_OK);
    SQLiteStatement stmt;
    ASSERT_EQ(db.Prepare(stmt, "INSERT INTO t(s) VALUES (?)"), SQLITE_OK);
    {
        std::string temporary = Utf16ToUtf8(dbtest::kChineseName);
        ASSERT_EQ(stmt.BindText(1, temporary), SQLITE_OK);
        std::memset(&temporary[0], 'X', temporary.size());  // the caller's buffer changes and goes
    }
    ASSERT_EQ(stmt.Step(), SQLITE_DONE);
    ASSERT_EQ(db.Prepare(stmt, "SELECT s FROM t"), SQLITE_OK);
    ASSERT_EQ(stmt.Step(), SQLITE_ROW);
    EXPECT_EQ(Utf8ToUtf16(stmt.GetText(0)), dbtest::kChineseName);
}

TEST(SQLiteWrappers, OpenReplacesTheConnectionAndKeysAreRefused)
{
    dbtest::TempDataFolder dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open(PathOf(dir, L"a.db").c_str(), "", SQLiteDB::kOpenCreate));
    ASSERT_EQ(db.Exec("CREATE TABLE a(x)"), SQLITE_OK);
    // A statement still alive on the old connection does not keep it from
    // being replaced.
    SQLiteStatement pending;
    ASSERT_EQ(db.Prepare(pending, "SELECT * FROM a"), SQLITE_OK);
    ASSERT_TRUE(db.Open(PathOf(dir, L"b.db").c_str(), "", SQLiteDB::kOpenCreate));
    EXPECT_NE(db.Exec("SELECT * FROM a"), SQLITE_OK);  // the new file has no table a
    pending.Finalize();

    // Opening a missing file without the create flag fails and leaves nothing open.
    EXPECT_FALSE(db.Open(PathOf(dir, L"none.db").c_str(), "", SQLiteDB::kOpenReadWrite));
    EXPECT_FALSE(db.IsOpen());

    // This build has no encryption: a key is refused, the connection stays.
    EXPECT_FALSE(db.Open(PathOf(dir, L"k.db").c_str(), "secret", SQLiteDB::kOpenCreate));
    EXPECT_TRUE(db.IsOpen());
}

TEST(TextConvert, RoundTripsAndEdges)
{
    for (const wchar_t* text :
         {L"", L"plain", dbtest::kChineseName, dbtest::kEmojiName, dbtest::kSqlName}) {
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text).c_str()), text);
    }
    EXPECT_EQ(Utf16ToUtf8(nullptr), "");
    EXPECT_TRUE(Utf8ToUtf16(nullptr).IsEmpty());
    EXPECT_EQ(Utf16ToUtf8(L"\u00E9\u4E2D"), "\xC3\xA9\xE4\xB8\xAD");
    EXPECT_EQ(Utf16ToUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
    // A malformed byte becomes U+FFFD rather than truncating the text.
    CString bad = Utf8ToUtf16(
        "a\xFF"
        "b");
    EXPECT_EQ(bad.GetLength(), 3);
    EXPECT_EQ(bad[0], L'a');
    EXPECT_EQ(bad[2], L'b');
}
