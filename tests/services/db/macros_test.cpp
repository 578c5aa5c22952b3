// Macros and their recorded events.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "DbFixture.h"

using dbtest::Free;

namespace {

MacroRecordData Event(int macro, int index, int seed)
{
    MacroRecordData r;
    r.macro_id = macro;
    r.type = 2 + seed % 4;
    r.record_index = index;
    r.value = 0x41 + seed;
    r.delay_time = seed * 3;
    r.desc.Format(L"Key %d \u6309\u4E0B '\"; --", seed);
    return r;
}

std::vector<MacroRecordData> Events(int macro, int count, int seedBase)
{
    std::vector<MacroRecordData> v;
    for (int i = 0; i < count; ++i) v.push_back(Event(macro, i, seedBase + i));
    return v;
}

void ExpectSame(const MacroRecordData& a, const MacroRecordData& b)
{
    EXPECT_EQ(a.macro_id, b.macro_id);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.record_index, b.record_index);
    EXPECT_EQ(a.value, b.value);
    EXPECT_EQ(a.delay_time, b.delay_time);
    EXPECT_EQ(a.desc, b.desc);
}

int CountCommits(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

}  // namespace

using Macros = DbFixture;

TEST_F(Macros, AddRenameUpdateAndList)
{
    const wchar_t* names[] = {dbtest::kSqlName, dbtest::kChineseName, dbtest::kEmojiName, L""};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(db.AddMacro(names[i]), i + 1);

    MacroData m;
    ASSERT_TRUE(db.GetMacro(1, m));
    EXPECT_EQ(m.macro_id, 1);
    EXPECT_EQ(m.name, dbtest::kSqlName);
    EXPECT_EQ(m.play_type, 0);
    EXPECT_EQ(m.play_times, 1);
    EXPECT_EQ(m.delay_type, 1);
    EXPECT_EQ(m.delay_time, 0);
    MacroData untouched;
    untouched.play_times = 8;
    EXPECT_FALSE(db.GetMacro(50, untouched));
    EXPECT_EQ(untouched.play_times, 8);

    EXPECT_TRUE(db.RenameMacro(2, L"\u81EA\u5B9A\u4E49 1 \U0001F3B9"));
    ASSERT_TRUE(db.GetMacro(2, m));
    EXPECT_EQ(m.name, L"\u81EA\u5B9A\u4E49 1 \U0001F3B9");

    // The row is chosen by the argument, not by the record's macro_id.
    MacroData u;
    u.macro_id = 4;
    u.name = L"updated";
    u.play_type = 2;
    u.play_times = 3;
    u.delay_type = 4;
    u.delay_time = 500;
    EXPECT_TRUE(db.UpdateMacro(3, u));
    ASSERT_TRUE(db.GetMacro(3, m));
    EXPECT_EQ(m.macro_id, 3);
    EXPECT_EQ(m.name, L"updated");
    EXPECT_EQ(m.play_type, 2);
    EXPECT_EQ(m.play_times, 3);
    EXPECT_EQ(m.delay_type, 4);
    EXPECT_EQ(m.delay_time, 500);
    ASSERT_TRUE(db.GetMacro(4, m));
    EXPECT_EQ(m.name, L"");
    // The record form updates the record's own row.
    u.name = L"by record";
    EXPECT_TRUE(db.UpdateMacro(u));
    ASSERT_TRUE(db.GetMacro(4, m));
    EXPECT_EQ(m.name, L"by record");

    std::vector<MacroData*> list(1, new MacroData);
    ASSERT_EQ(db.GetMacros(list), 4);
    EXPECT_EQ(list[2]->macro_id, 3);
    // Deleting the second macro moves the third from position 2 to 1.
    EXPECT_TRUE(db.DeleteMacro(2));
    ASSERT_EQ(db.GetMacros(list), 3);
    EXPECT_EQ(list[1]->macro_id, 3);
    Free(list);
}

TEST_F(Macros, EventsComeBackInRecordIndexOrder)
{
    int macro = db.AddMacro(L"m");
    int commits = 0;
    sqlite3_commit_hook(db.m_db.Handle(), CountCommits, &commits);
    db.InsertMacroRecords({Event(macro, 2, 2), Event(macro, 0, 0), Event(macro, 1, 1)});
    sqlite3_commit_hook(db.m_db.Handle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);

    std::vector<MacroRecordData*> list;
    ASSERT_EQ(db.GetMacroRecords(macro, list), 3);
    for (int i = 0; i < 3; ++i) {
        ExpectSame(*list[i], Event(macro, i, i));
        EXPECT_GT(list[i]->record_id, 0);
    }
    // desc is stored in its own column, between record_index and value.
    EXPECT_EQ(
        Shell("SELECT record_index, hex(desc), value FROM t_macrorecord WHERE record_index = 1;"),
        "1|" + dbtest::Utf8Hex(Event(macro, 1, 1).desc) + "|66\n");

    int other = db.AddMacro(L"other");
    db.InsertMacroRecords(Events(other, 4, 10));
    EXPECT_EQ(db.CountMacroRecords(macro), 3);
    EXPECT_EQ(db.CountMacroRecords(other), 4);
    EXPECT_EQ(db.CountAllMacroRecords(), 7);
    db.InsertMacroRecords({});
    EXPECT_EQ(db.CountAllMacroRecords(), 7);

    // Deleting a macro takes its events; other macros keep theirs.
    EXPECT_TRUE(db.DeleteMacro(macro));
    EXPECT_EQ(db.CountMacroRecords(macro), 0);
    EXPECT_EQ(db.CountMacroRecords(other), 4);
    EXPECT_TRUE(db.DeleteMacroRecords(other));
    EXPECT_EQ(db.CountAllMacroRecords(), 0);
    // A macro without events, and a missing id, delete "successfully".
    EXPECT_TRUE(db.DeleteMacro(other));
    EXPECT_TRUE(db.DeleteMacro(999));
    Free(list);
}

TEST_F(Macros, ReplacingTenThousandEventsAndFailingHalfway)
{
    int macro = db.AddMacro(L"long");
    std::vector<MacroRecordData> first = Events(macro, 10000, 0);
    ASSERT_TRUE(db.ReplaceMacroRecords(macro, first));
    std::vector<MacroRecordData*> list;
    ASSERT_EQ(db.GetMacroRecords(macro, list), 10000);
    for (int i = 0; i < 10000; i += 997) ExpectSame(*list[i], first[i]);
    ExpectSame(*list[9999], first[9999]);

    // The new set replaces the old one whole; the records' own macro ids are
    // replaced by the macro's.
    std::vector<MacroRecordData> second = Events(12345, 5, 50);
    ASSERT_TRUE(db.ReplaceMacroRecords(macro, second));
    ASSERT_EQ(db.GetMacroRecords(macro, list), 5);
    EXPECT_EQ(list[0]->macro_id, macro);
    EXPECT_EQ(list[4]->value, second[4].value);
    EXPECT_EQ(db.CountAllMacroRecords(), 5);

    // A failure in the middle of the new set leaves the previous events.
    ASSERT_EQ(db.m_db.Exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON t_macrorecord "
                           "WHEN NEW.record_index = 5000 BEGIN SELECT RAISE(ABORT, 'no'); END;"),
              0);
    EXPECT_FALSE(db.ReplaceMacroRecords(macro, first));
    ASSERT_EQ(db.GetMacroRecords(macro, list), 5);
    ExpectSame(*list[2], [&] {
        MacroRecordData e = second[2];
        e.macro_id = macro;
        return e;
    }());
    EXPECT_EQ(db.CountAllMacroRecords(), 5);
    ASSERT_EQ(db.m_db.Exec("DROP TRIGGER temp.refuse"), 0);

    // With the connection gone the replace fails and the file keeps its rows.
    db.CloseDevice();
    EXPECT_FALSE(db.ReplaceMacroRecords(macro, first));
    EXPECT_EQ(Shell("SELECT count(*) FROM t_macrorecord;"), "5\n");
    Free(list);
}

TEST_F(Macros, FailedAddReturnsZero)
{
    FailInsertsInto(db, "t_macro_data");
    EXPECT_EQ(db.AddMacro(L"x"), 0);
    std::vector<MacroData*> list;
    EXPECT_EQ(db.GetMacros(list), 0);
    db.CloseDevice();
    EXPECT_EQ(db.AddMacro(L"x"), 0);
}
