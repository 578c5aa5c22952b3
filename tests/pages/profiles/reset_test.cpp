// The factory reset and the device page: the keyboard's reset commands, the
// fresh database with its three profiles, the theme and the model's LCD folder,
// the model lookup, a keyboard that goes away meanwhile; the page's controls.
#include "CDeviceList.h"
#include "MButton.h"
#include "MControlFont.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "OutsideSnapshot.h"
#include "ProfileFixture.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"

namespace proftest {
namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(file);
}

class ResetTest : public ProfileTest
{
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        LoadProfiles();
        // More than the defaults, so that the reset shows.
        Dlg().OnProfileAdd();
        ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, 1));
        led = GetDataFolder() + L"led\\";
        CreateDirectoryTree(led + modelName + L"\\20240101\\");
        MakeFile(led + modelName + L"\\20240101\\0.png");
        CreateDirectoryTree(led + L"Other Model\\");
        MakeFile(led + L"Other Model\\keep.png");
        Dlg().m_hasLcdPage = true;
        Dlg().RegWriteString(L"theme_bkg", L"C:\\pictures\\mine.png");
        Dlg().RegWriteString(L"theme_bkg_gif", L"C:\\pictures\\mine.gif");
    }
    void TearDown() override
    {
        DeleteFolder(led);
        ProfileTest::TearDown();
    }
    std::wstring led;
};

TEST_F(ResetTest, DecliningChangesNothing)
{
    MessageBoxAnswer answer(false);
    const std::vector<int> ids = ProfileIds();
    keyboard->ClearLog();
    EXPECT_EQ(h.SendControlEvent(333, 2), 0);
    ASSERT_EQ(answer.titles.size(), 1u);
    EXPECT_EQ(answer.titles[0], L"Factory reset");
    EXPECT_EQ(ProfileIds(), ids);
    EXPECT_EQ(Dlg().RegString(L"theme_bkg"), L"C:\\pictures\\mine.png");
    EXPECT_TRUE(Exists(led + modelName + L"\\20240101\\0.png"));
    for (const sim::Request& r : keyboard->Received()) EXPECT_NE(r.Command(), 0x31);
}

TEST_F(ResetTest, ResetsKeyboardDatabaseThemeAndThisModelsLcdFolder)
{
    MessageBoxAnswer answer(true);
    keyboard->ClearLog();
    EXPECT_EQ(h.SendControlEvent(333, 2), 1);  // returns once the worker closed the wait
    ASSERT_TRUE(WaitForTaskCount(TASK_FACTORY_RESET, 1));
    // The first three requests: AA 10, AA 31 with length 56, AA 11.
    const auto& received = keyboard->Received();
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[0].Command(), 0x10);
    EXPECT_EQ(received[1].Command(), 0x31);
    EXPECT_EQ(received[1].Offset(), 0);
    EXPECT_EQ(received[1].Length(), 56);
    EXPECT_EQ(received[2].Command(), 0x11);
    for (const sim::Request& r : received) EXPECT_EQ(r.Payload(0), 0xAA);
    EXPECT_EQ(ProfileIds(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Db().GetActiveProfile(), 1);
    EXPECT_EQ(Dlg().m_currentProfile, 1);
    EXPECT_EQ(Dlg().RegString(L"theme_bkg"), L"");
    EXPECT_EQ(Dlg().RegString(L"theme_bkg_gif"), L"");
    EXPECT_FALSE(Exists(led + modelName));
    EXPECT_TRUE(Exists(led + L"Other Model\\keep.png"));
    EXPECT_TRUE(Dlg().IsWindowEnabled());
    EXPECT_TRUE(keyboard->Violations().empty());
}

TEST_F(ResetTest, AModelWithoutANameIsRefusedBeforeAnythingIsDeleted)
{
    for (DeviceEntry& entry : Dlg().m_keyboards)
        if (entry.deviceType == Dlg().m_deviceType) entry.name.clear();
    const std::vector<int> ids = ProfileIds();
    MessageBoxAnswer answer(true);
    EXPECT_EQ(h.SendControlEvent(333, 2), 0);
    h.Pump(100);
    EXPECT_EQ(ProfileIds(), ids);
    EXPECT_TRUE(Exists(led + modelName + L"\\20240101\\0.png"));
    EXPECT_TRUE(Exists(led + L"Other Model\\keep.png"));
    EXPECT_EQ(TaskCount(TASK_FACTORY_RESET), 0u);
    EXPECT_TRUE(Dlg().IsWindowEnabled());
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 2] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return full;
}

TEST_F(ResetTest, AModelNameThatIsNoPlainFileNameDeletesNothingAnywhere)
{
    const std::wstring data = GetDataFolder();
    const std::wstring database = data + L"db\\" + modelName + L"_data_2.db";
    const wchar_t* const names[] = {L"..\\..\\..\\Escape",
                                    L"..\\..\\Escape",
                                    L"..",
                                    L"C:\\Escape",
                                    L"CON",
                                    L"a/b",
                                    L"*",
                                    L"Escape.",
                                    L"Escape "};
    const std::wstring shipped = modelName;
    for (const wchar_t* name : names) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        // Something to lose where the name leads: a database file and an LCD folder.
        const std::wstring canaryDb = FullPath(data + L"db\\" + name + L"_data_2.db");
        const std::wstring canaryFolder = FullPath(data + L"led\\" + name + L"\\");
        // The folders about to be made for it, deepest first.
        std::vector<std::wstring> made;
        for (std::wstring folder = canaryFolder;;) {
            while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
            if (folder.size() <= 3 || GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
                break;
            made.push_back(folder);
            folder.resize(
                folder.find_last_of(L'\\') == std::wstring::npos ? 0 : folder.find_last_of(L'\\'));
        }
        CreateDirectoryTree(canaryFolder);
        MakeFile(canaryDb);
        MakeFile(canaryFolder + L"\\keep.png");
        const bool dbMade = Exists(canaryDb), folderMade = Exists(canaryFolder + L"\\keep.png");
        const testutil::OutsideSnapshot before;

        for (DeviceEntry& entry : Dlg().m_keyboards)
            if (entry.deviceType == Dlg().m_deviceType) entry.name = name;
        Dlg().m_modelName = name;
        const size_t resets = TaskCount(TASK_FACTORY_RESET);
        MessageBoxAnswer answer(true);
        EXPECT_EQ(h.SendControlEvent(333, 2), 0);
        h.Pump(100);
        EXPECT_EQ(TaskCount(TASK_FACTORY_RESET), resets);
        EXPECT_TRUE(Dlg().IsWindowEnabled());
        // The worker's part, should it run with such a name all the same (once:
        // the reload after it reads the whole keyboard).
        if (std::wstring(name) == L"..") {
            Dlg().m_modelName = name;
            Dlg().AppendTask(TASK_FACTORY_RESET);
            ASSERT_TRUE(WaitForTaskCount(TASK_FACTORY_RESET, resets + 1, 60000));
            h.Settle();
        }
        // The folder delete itself refuses what the name leads to.
        if (canaryFolder.find(FullPath(data)) != 0) {
            EXPECT_FALSE(DeleteDataFolder(data + L"led\\" + name + L"\\"));
        }

        EXPECT_EQ(Exists(canaryDb), dbMade);
        EXPECT_EQ(Exists(canaryFolder + L"\\keep.png"), folderMade);
        EXPECT_TRUE(Exists(led + modelName + L"\\20240101\\0.png"));
        EXPECT_TRUE(Exists(led + L"Other Model\\keep.png"));
        EXPECT_TRUE(Exists(database));
        EXPECT_EQ(before.ChangesSince(), std::vector<std::wstring>{});

        for (DeviceEntry& entry : Dlg().m_keyboards)
            if (entry.deviceType == Dlg().m_deviceType) entry.name = shipped;
        Dlg().m_modelName = shipped;
        // The canaries go again, and every folder made for them: left behind,
        // folders named "C:" or "CON" (Wine lets a test make them) send a later
        // recursive delete of the data folder round in circles.
        DeleteFileW(canaryDb.c_str());
        DeleteFileW((canaryFolder + L"\\keep.png").c_str());
        // A name the path functions rewrite ("CON", a trailing space) is
        // reached as written through a literal path.
        const std::wstring literal = L"\\\\?\\" + FullPath(data + L"led") + L"\\" + name;
        if (std::wstring(name).find_first_of(L"\\/*") == std::wstring::npos) {
            DeleteFileW((literal + L"\\keep.png").c_str());
            RemoveDirectoryW(literal.c_str());
        }
        for (const std::wstring& folder : made) {
            RemoveDirectoryW(folder.c_str());
            EXPECT_EQ(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
        }
    }
}

TEST_F(ResetTest, TheModelIsFoundByDeviceTypeNotByCardIndex)
{
    Dlg().m_selectedCardIndex = -1;
    MessageBoxAnswer answer(true);
    EXPECT_EQ(h.SendControlEvent(333, 2), 1);
    EXPECT_EQ(ProfileIds(), (std::vector<int>{1, 2, 3}));
}

TEST_F(ResetTest, AKeyboardGoneMeanwhileStillGivesTheWindowBack)
{
    // The worker waits; the keyboard goes before it takes the reset.
    Dlg().m_workerPaused = 1;
    MessageBoxAnswer answer(true);
    bool unplugged = false;
    EveryTick gone([&] {
        if (!FindWindowW(L"PavexWindow", L"WaitDlg")) return false;
        Dlg().m_deviceConnected = false;
        Dlg().m_workerPaused = 0;
        unplugged = true;
        return true;
    });
    EXPECT_EQ(h.SendControlEvent(333, 2), 1);
    EXPECT_TRUE(unplugged);
    ASSERT_TRUE(WaitForTaskCount(TASK_FACTORY_RESET, 1));
    EXPECT_TRUE(Dlg().IsWindowEnabled());
    EXPECT_FALSE(FindWindowW(L"PavexWindow", L"WaitDlg") &&
                 IsWindowVisible(FindWindowW(L"PavexWindow", L"WaitDlg")));
}

TEST_F(ProfileTest, WithoutAKeyboardTheResetOnlyResetsTheTheme)
{
    LoadProfiles();
    const std::vector<int> ids = ProfileIds();
    Dlg().RegWriteString(L"theme_bkg", L"C:\\pictures\\mine.png");
    Dlg().m_devicePresent = false;
    MessageBoxAnswer answer(true);
    EXPECT_EQ(h.SendControlEvent(333, 2), 0);
    EXPECT_EQ(Dlg().RegString(L"theme_bkg"), L"");
    EXPECT_EQ(ProfileIds(), ids);
    Dlg().m_devicePresent = true;
}

TEST_F(ProfileTest, DevicePageControlsAndTheirPlaces)
{
    Dlg().LayoutDevicePage(CRect(0, 0, 1400, 700));
    struct Place
    {
        UINT id;
        CRect rect;
    };
    const Place places[] = {
        {322, CRect(280, 440, 1350, 698)},
        {323, CRect(330, 520, 790, 620)},
        {324, CRect(350, 540, 570, 570)},
        {325, CRect(350, 572, 604, 616)},  // two lines: the check's answer may be long
        {326, CRect(620, 560, 740, 590)},
        {331, CRect(830, 520, 1290, 620)},
        {332, CRect(850, 555, 1120, 585)},
        {333, CRect(1120, 555, 1240, 585)},
        {327, CRect()},
        {328, CRect()},
        {329, CRect()},
        {330, CRect()},
    };
    for (const Place& p : places) {
        WEXA::MControl* control = Dlg().Ctl(p.id);
        ASSERT_NE(control, nullptr) << p.id;
        EXPECT_EQ(control->GetRect(), p.rect) << p.id;
    }
    struct Text
    {
        UINT id;
        const wchar_t* text;
    };
    // The start-up check cannot reach the update server of config.xml here:
    // the page says so, not that the software is up to date.
    ASSERT_TRUE(h.PumpUntil([&] { return Dlg().m_updateCheckResult.load() != 0; }, 15000));
    h.Pump(50);
    const wchar_t* notReached = L"The update server could not be reached. Please try again later.";
    const Text texts[] = {{324, L"Software"},      {325, notReached}, {326, L"Details"},
                          {332, L"Factory reset"}, {333, L"Reset"},   {328, L""}};
    for (const Text& t : texts)
        EXPECT_STREQ(Dlg().CtlAs<WEXA::MControlFont>(t.id)->GetTitle(), t.text) << t.id;

    MessageBoxAnswer answer(false);
    EXPECT_EQ(h.SendControlEvent(326, 2), 1);  // whatever the box answered
    ASSERT_EQ(answer.titles.size(), 1u);
    EXPECT_EQ(answer.titles[0], L"Device");
    EXPECT_EQ(answer.messages[0], notReached);
    EXPECT_EQ(h.SendControlEvent(326, 5), 0);  // only clicks
}

}  // namespace
}  // namespace proftest
