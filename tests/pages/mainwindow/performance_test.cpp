// The performance page, driven through the real main window: each switch and
// list stores its configuration value and reaches the keyboard's settings
// block with task 16.
#include "CSwitchButton.h"
#include "MComboBox.h"
#include "PageFixture.h"

namespace pagetest {
namespace {

const int kPerformanceTab = 6;

class PerformancePage : public PageFixture
{
protected:
    void SetUp() override
    {
        Start("Kestrova-K87");
        OpenTab(kPerformanceTab);
    }

    CString Config(const wchar_t* key)
    {
        CString value;
        Db().GetConfigValue(1, key, value);
        return value;
    }

    // The entry of the list carrying `value` is chosen, as the drop-down does.
    void Choose(UINT list, int value)
    {
        auto* combo = Control<WEXA::MComboBox>(list);
        ASSERT_NE(combo, nullptr);
        ASSERT_GE(combo->SelectData(value), 0) << "no entry " << value;
        harness->SendControlEvent(list, 2);
    }

    // The tasks the worker took since `before` (a count of Tasks()), once it
    // is done. The worker takes a task the moment it is queued, so what a
    // change queued is read here, not from the queue.
    std::vector<int> TasksSince(size_t before)
    {
        EXPECT_TRUE(harness->Settle(150));
        std::vector<int> codes;
        const std::vector<testutil::MainWindowHarness::TaskRecord> tasks = harness->Tasks();
        for (size_t i = before; i < tasks.size(); ++i) codes.push_back(tasks[i].code);
        return codes;
    }
};

TEST_F(PerformancePage, ListsCarryTheValuesTheirLabelsName)
{
    struct Entry
    {
        UINT list;
        std::vector<std::pair<std::wstring, int>> entries;
    };
    const Entry lists[] = {
        {350,
         {{L"1 min", 1},
          {L"2 min", 2},
          {L"3 min", 3},
          {L"5 min", 5},
          {L"10 min", 10},
          {L"15 min", 15},
          {L"20 min", 20},
          {L"25 min", 25},
          {L"30 min", 30},
          {L"60 min", 60}}},
        {353, {{L"1", 1}, {L"2", 2}, {L"4", 4}, {L"8", 8}, {L"16", 16}, {L"20", 20}}},
    };
    for (const Entry& e : lists) {
        auto* combo = Control<WEXA::MComboBox>(e.list);
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->GetCount(), int(e.entries.size()));
        for (int i = 0; i < combo->GetCount(); ++i) {
            EXPECT_EQ(std::wstring(combo->GetItemText(i)), e.entries[size_t(i)].first);
            EXPECT_EQ(combo->GetItemData(i), e.entries[size_t(i)].second);
        }
    }
}

TEST_F(PerformancePage, EachChangeReachesTheSettingsBlock)
{
    // Generation 1 keeps game mode, Mac mode, Windows lock, WASD swap and key
    // response at 29-33 and the sleep time in seconds at 35-37.
    ASSERT_LT(model->generation, 2);
    struct Case
    {
        const char* what;
        UINT control;
        int choice;  // list value; -1 a click on the switch
        const wchar_t* key;
        const wchar_t* stored;
        int offset;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"Mac mode on", 338, -1, L"mac_mode", L"1", 30, {1}},
        {"game mode on", 341, -1, L"game_mode", L"1", 29, {1}},
        {"Windows key locked", 344, -1, L"lock_win", L"1", 31, {1}},
        {"WASD swapped", 347, -1, L"wasd_mode", L"1", 32, {1}},
        {"Mac mode off again", 338, -1, L"mac_mode", L"0", 30, {0}},
        {"sleep after 5 Min", 350, 5, L"sleep_time", L"5", 35, {0x2C, 0x01, 0x00}},
        {"sleep after 60 Min", 350, 60, L"sleep_time", L"60", 35, {0x10, 0x0E, 0x00}},
        {"key response 4", 353, 4, L"key_keyresponse", L"4", 33, {4}},
        {"key response 20", 353, 20, L"key_keyresponse", L"20", 33, {20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = harness->Tasks().size();
        if (c.choice < 0) {
            // Apart from the last click by more than a double click's time.
            harness->Pump(GetDoubleClickTime() + 50);
            ASSERT_TRUE(harness->Click(c.control));
        } else
            Choose(c.control, c.choice);
        EXPECT_EQ(std::wstring(Config(c.key)), c.stored);
        EXPECT_EQ(TasksSince(before), std::vector<int>{TASK_WRITE_PERFORMANCE});
        const sim::Bytes& block = keyboard->Block(0x14);
        EXPECT_EQ(Hex(std::vector<uint8_t>(block.begin() + c.offset,
                                           block.begin() + c.offset + int(c.bytes.size()))),
                  Hex(c.bytes));
    }
    // Choosing the same entry again still writes once more.
    const size_t before = harness->Tasks().size();
    Choose(353, 20);
    EXPECT_EQ(TasksSince(before), std::vector<int>{TASK_WRITE_PERFORMANCE});
}

TEST_F(PerformancePage, LoaderShowsTheStoredValues)
{
    struct Case
    {
        const wchar_t *mac, *sleep, *response;
        int macShown, sleepShown, responseShown;
    };
    const Case cases[] = {
        {L"0", L"2", L"2", 0, 2, 2},
        {L"1", L"5", L"4", 1, 5, 4},
        // Values no entry carries leave the lists as they were.
        {L"1", L"7", L"3", 1, 5, 4},
    };
    for (const Case& c : cases) {
        Db().SetConfigValue(1, L"mac_mode", c.mac);
        Db().SetConfigValue(1, L"sleep_time", c.sleep);
        Db().SetConfigValue(1, L"key_keyresponse", c.response);
        Dlg().LoadPerformanceSettings();
        EXPECT_EQ(Control<WEXA::CSwitchButton>(338)->GetCheck(), c.macShown);
        EXPECT_EQ(Control<WEXA::MComboBox>(350)->GetCurData(), c.sleepShown);
        EXPECT_EQ(Control<WEXA::MComboBox>(353)->GetCurData(), c.responseShown);
    }
    EXPECT_TRUE(Dlg().m_taskQueue.IsEmpty()) << "loading writes nothing";
}

}  // namespace
}  // namespace pagetest
