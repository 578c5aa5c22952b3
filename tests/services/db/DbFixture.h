#pragma once

#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "services/db/DeviceDataDB.h"

// A profile database of model "K1" opened in a private data folder.
class DbFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.OpenDevice(dir.Folder(), L"K1"));
        file = dir.DbFile(L"K1");
    }
    void TearDown() override { db.CloseDevice(); }

    // What the sqlite3 shell reads from the file.
    std::string Shell(const std::string& sql) { return dbtest::RunSqliteShell(file, sql); }

    dbtest::TempDataFolder dir;
    DeviceDataDB db;
    CString file;
};

// Makes every insert into a table fail at its step, as a full disk or a broken
// constraint would, while the connection stays open.
inline void FailInsertsInto(DeviceDataDB& db, const char* table)
{
    std::string sql = std::string("CREATE TEMP TRIGGER fail_") + table + " BEFORE INSERT ON " +
                      table + " BEGIN SELECT RAISE(ABORT, 'injected'); END;";
    ASSERT_EQ(db.m_db.Exec(sql.c_str()), 0);
}

inline void AllowInsertsInto(DeviceDataDB& db, const char* table)
{
    std::string sql = std::string("DROP TRIGGER temp.fail_") + table + ";";
    ASSERT_EQ(db.m_db.Exec(sql.c_str()), 0);
}
