// Key assignments: replace rules, batches, lists.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "DbFixture.h"

using dbtest::Free;

namespace {

KeyMacroData Key(int profile, int layer, int code, int value, int value2 = 0)
{
    KeyMacroData k;
    k.profile = profile;
    k.fn_layer = layer;
    k.key_code = code;
    k.layout_value = code + 1000;
    k.layout_desc = L"\u952E " + CString(std::to_wstring(code).c_str());
    k.macro_type = 2;
    k.macro_value = value;
    k.macro_value2 = value2;
    k.macro_value3 = value + value2;
    k.macro_desc = dbtest::kEmojiName;
    return k;
}

void ExpectSame(const KeyMacroData& a, const KeyMacroData& b)
{
    EXPECT_EQ(a.profile, b.profile);
    EXPECT_EQ(a.fn_layer, b.fn_layer);
    EXPECT_EQ(a.key_code, b.key_code);
    EXPECT_EQ(a.layout_value, b.layout_value);
    EXPECT_EQ(a.layout_desc, b.layout_desc);
    EXPECT_EQ(a.macro_type, b.macro_type);
    EXPECT_EQ(a.macro_value, b.macro_value);
    EXPECT_EQ(a.macro_value2, b.macro_value2);
    EXPECT_EQ(a.macro_value3, b.macro_value3);
    EXPECT_EQ(a.macro_desc, b.macro_desc);
}

int CountCommits(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

}  // namespace

using KeyMacros = DbFixture;

TEST_F(KeyMacros, ReplaceRules)
{
    // Key code 0: nothing happens.
    EXPECT_EQ(db.ReplaceKeyMacro(Key(1, 0, 0, 5)), 0);
    EXPECT_EQ(db.CountKeyMacros(1), 0);

    KeyMacroData a = Key(1, 2, 0x04, 7);
    int first = db.ReplaceKeyMacro(a);
    EXPECT_GT(first, 0);
    KeyMacroData read;
    ASSERT_TRUE(db.GetKeyMacro(1, 2, 0x04, read));
    EXPECT_EQ(read.key_id, first);
    ExpectSame(read, a);

    // Replacing the same key leaves one row with a new id.
    a.macro_value = 8;
    a.macro_desc = dbtest::kSqlName;
    int second = db.ReplaceKeyMacro(a);
    EXPECT_GT(second, first);
    EXPECT_EQ(db.CountKeyMacros(1), 1);
    ASSERT_TRUE(db.GetKeyMacro(1, 2, 0x04, read));
    EXPECT_EQ(read.key_id, second);
    ExpectSame(read, a);

    // Only macro_value2 set: stored.
    EXPECT_GT(db.ReplaceKeyMacro(Key(1, 2, 0x05, 0, 3)), 0);
    // Both values 0 (even with macro_value3 set): the row goes, the key is default.
    KeyMacroData cleared = Key(1, 2, 0x04, 0, 0);
    cleared.macro_value3 = 9;
    EXPECT_EQ(db.ReplaceKeyMacro(cleared), 0);
    KeyMacroData untouched = Key(5, 5, 5, 5);
    EXPECT_FALSE(db.GetKeyMacro(1, 2, 0x04, untouched));
    EXPECT_EQ(untouched.profile, 5);  // record left as it was
    EXPECT_EQ(db.CountKeyMacros(1), 1);
}

TEST_F(KeyMacros, FailedReplaceKeepsTheOldRow)
{
    KeyMacroData a = Key(1, 0, 0x10, 1);
    ASSERT_GT(db.ReplaceKeyMacro(a), 0);
    FailInsertsInto(db, "t_key_macro_data");
    KeyMacroData b = Key(1, 0, 0x10, 2);
    EXPECT_EQ(db.ReplaceKeyMacro(b), 0);  // 0, not SQLite's code
    KeyMacroData read;
    ASSERT_TRUE(db.GetKeyMacro(1, 0, 0x10, read));
    EXPECT_EQ(read.macro_value, 1);
    AllowInsertsInto(db, "t_key_macro_data");

    db.CloseDevice();
    EXPECT_EQ(db.ReplaceKeyMacro(b), 0);
}

TEST_F(KeyMacros, BatchOfFourLayersRunsInOneTransaction)
{
    std::vector<KeyMacroData> batch;
    for (int layer = 0; layer < 4; ++layer)
        for (int code = 1; code <= 126; ++code)
            batch.push_back(Key(3, layer, code, code * 10 + layer));
    batch[5].key_code = 0;     // not filtered
    batch[6].macro_value = 0;  // not filtered

    int commits = 0;
    sqlite3_commit_hook(db.m_db.Handle(), CountCommits, &commits);
    db.InsertKeyMacros(batch);
    EXPECT_EQ(commits, 1);
    sqlite3_commit_hook(db.m_db.Handle(), nullptr, nullptr);
    EXPECT_EQ(db.CountKeyMacros(3), 504);

    std::vector<KeyMacroData*> list;
    ASSERT_EQ(db.GetProfileKeyMacros(3, list), 504);
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(list[i]->key_id, 0);
        ExpectSame(*list[i], batch[i]);  // insertion order
    }
    ASSERT_EQ(db.GetLayerKeyMacros(3, 2, list), 126);
    for (KeyMacroData* k : list) EXPECT_EQ(k->fn_layer, 2);
    db.InsertKeyMacros({Key(4, 0, 9, 9)});
    EXPECT_EQ(db.GetAllKeyMacros(list), 505);
    EXPECT_EQ(db.GetLayerKeyMacros(9, 0, list), 0);
    EXPECT_TRUE(list.empty());

    // An empty batch changes nothing.
    db.InsertKeyMacros({});
    EXPECT_EQ(db.GetAllKeyMacros(list), 505);
    Free(list);
}

TEST_F(KeyMacros, BatchGoesOnPastAFailingRow)
{
    // A trigger that refuses one key code only.
    ASSERT_EQ(db.m_db.Exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON t_key_macro_data "
                           "WHEN NEW.key_code = 2 BEGIN SELECT RAISE(ABORT, 'no'); END;"),
              0);
    db.InsertKeyMacros({Key(1, 0, 1, 1), Key(1, 0, 2, 2), Key(1, 0, 3, 3)});
    std::vector<KeyMacroData*> list;
    ASSERT_EQ(db.GetProfileKeyMacros(1, list), 2);
    EXPECT_EQ(list[0]->key_code, 1);
    EXPECT_EQ(list[1]->key_code, 3);
    Free(list);
}

TEST_F(KeyMacros, UpdatesChangeOnlyTheFunctionFields)
{
    db.InsertKeyMacros({Key(1, 0, 4, 1), Key(1, 1, 4, 1), Key(1, 0, 5, 1)});
    KeyMacroData u = Key(1, 0, 4, 50, 51);
    u.layout_value = -1;
    u.layout_desc = L"not written";
    u.macro_type = 6;
    u.macro_desc = dbtest::kChineseName;
    db.UpdateKeyMacro(u);
    KeyMacroData read;
    ASSERT_TRUE(db.GetKeyMacro(1, 0, 4, read));
    EXPECT_EQ(read.macro_type, 6);
    EXPECT_EQ(read.macro_value, 50);
    EXPECT_EQ(read.macro_value2, 51);
    EXPECT_EQ(read.macro_value3, 101);
    EXPECT_EQ(read.macro_desc, dbtest::kChineseName);
    EXPECT_EQ(read.layout_value, 1004);
    EXPECT_EQ(read.layout_desc, Key(1, 0, 4, 1).layout_desc);
    ASSERT_TRUE(db.GetKeyMacro(1, 1, 4, read));  // other layer untouched
    EXPECT_EQ(read.macro_value, 1);

    // A key without a row gets none.
    db.UpdateKeyMacro(Key(1, 3, 99, 1));
    EXPECT_EQ(db.CountKeyMacros(1), 3);

    int commits = 0;
    sqlite3_commit_hook(db.m_db.Handle(), CountCommits, &commits);
    db.UpdateKeyMacros({Key(1, 1, 4, 70), Key(1, 0, 5, 71), Key(1, 2, 77, 72)});
    sqlite3_commit_hook(db.m_db.Handle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);
    ASSERT_TRUE(db.GetKeyMacro(1, 1, 4, read));
    EXPECT_EQ(read.macro_value, 70);
    ASSERT_TRUE(db.GetKeyMacro(1, 0, 5, read));
    EXPECT_EQ(read.macro_value, 71);
    EXPECT_EQ(db.CountKeyMacros(1), 3);
}
