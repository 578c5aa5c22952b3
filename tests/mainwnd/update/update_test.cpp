// The software update of the real main window against the local update
// server: the version check, the question, the download with its progress
// dialog, unpacking and the start of the installer, and everything that must
// end in "no update" with nothing left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "MLevelCtrl.h"
#include "MText.h"
#include "EveryTick.h"
#include "MainWindowHarness.h"
#include "UpdateTestServer.h"
#include "services/LanguageText.h"
#include "dialogs/UpdateProcessDlg.h"
#include "services/AppEnvironment.h"

namespace {

using testutil::MainWindowHarness;

using Prompt = MainWindowHarness::MessageBoxRecord;

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void EmptyFolder(const std::wstring& folder)
{
    for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + name).c_str());
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

const UINT kCheckButton = 434;  // "Check for updates" on the settings page

class UpdateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ports_ = updatetest::Server(&error);
        ASSERT_NE(ports_, nullptr) << error;
        SetCurrentLanguageId(1033);
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
        h.Pump(50);
        h.RecordMessageBoxes([this](const Prompt&) { return answer_.load(); });
        h.Dlg().SetOpenFileFunction(&UpdateTest::OnOpen, this);
        temp_ = GetDataFolder() + L"temp\\";
        EmptyFolder(temp_);
        DeleteFileW((GetDataFolder() + L"escaped.txt").c_str());
    }

    void TearDown() override { EmptyFolder(temp_); }

    static INT_PTR OnOpen(void* self, const wchar_t* path)
    {
        auto* test = static_cast<UpdateTest*>(self);
        test->opened_.push_back(path);
        return test->openResult_;
    }

    int Taken(int code) const
    {
        int n = 0;
        for (const auto& task : h.Tasks()) n += task.code == code;
        return n;
    }

    // Queues one task and waits until the worker took it and the window
    // handled what it posted. With a button, the task is queued by a real click
    // on it, as the user asks for it.
    void RunTask(int code, UINT button = 0)
    {
        const int before = Taken(code);
        if (button)
            ASSERT_TRUE(h.Click(button));
        else
            h.Dlg().AppendTask(code);
        ASSERT_TRUE(h.PumpUntil([&] { return Taken(code) > before; }, 15000));
        h.Pump(150);
    }

    // The version check against one case of the server.
    // asked: the user pressed "Check for updates" on the settings page.
    void Check(const std::wstring& kase, bool trusted = true, bool asked = false)
    {
        h.Dlg().m_upgradeUrl =
            updatetest::HttpsUrl(L"/kestrova/" + kase + L"/software-upgrade/", trusted);
        RunTask(TASK_CHECK_VERSION, asked ? kCheckButton : 0);
        // An accepted update runs its download from the question's handler.
        if (Taken(TASK_DOWNLOAD_UPDATE) > 0) {
            ASSERT_TRUE(h.PumpUntil(
                [&] {
                    UpdateProcessDlg* dialog = h.Dlg().UpdateDialog();
                    return dialog && !IsWindow(dialog->GetSafeHwnd());
                },
                15000));
        }
        h.Pump(150);
    }

    std::wstring Installer() const { return temp_ + L"Kestrova-1.0.3.0.exe"; }

    MainWindowHarness h;
    const updatetest::ServerPorts* ports_ = nullptr;
    std::wstring temp_;
    std::vector<std::wstring> opened_;
    std::atomic<int> answer_{1};
    INT_PTR openResult_ = 42;
};

std::wstring DevicePageText(MainWindowHarness& h)
{
    auto* text = h.Dlg().CtlAs<WEXA::MText>(325);
    return text ? std::wstring(static_cast<const wchar_t*>(text->GetTitle())) : L"";
}

const wchar_t kNotReached[] = L"The update server could not be reached. Please try again later.";

TEST_F(UpdateTest, NoAnswerOrABadVersionTextOffersNothingAndSaysTheServerWasNotReached)
{
    // With the settings page open: the user asked, and is told.
    h.Dlg().Show(79, true);
    struct Row
    {
        const wchar_t* what;
        std::wstring url;
    };
    const Row rows[] = {
        {L"bad certificate", updatetest::HttpsUrl(L"/kestrova/newer/software-upgrade/", false)},
        {L"server down", L"https://127.0.0.1:" + std::to_wstring(updatetest::ClosedPort()) +
                             L"/kestrova/newer/software-upgrade/"},
        {L"HTTP error", updatetest::HttpsUrl(L"/kestrova/error/software-upgrade/", true)},
        {L"no version file", updatetest::HttpsUrl(L"/kestrova/unknown/software-upgrade/", true)},
        {L"the excluded 1.0.2.0",
         updatetest::HttpsUrl(L"/kestrova/excluded/software-upgrade/", true)},
        {L"11 characters", updatetest::HttpsUrl(L"/kestrova/long/software-upgrade/", true)},
        {L"a path", updatetest::HttpsUrl(L"/kestrova/path/software-upgrade/", true)},
        {L"letters", updatetest::HttpsUrl(L"/kestrova/letters/software-upgrade/", true)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.what));
        h.Dlg().m_updateCheckResult = 0;
        h.Dlg().m_upgradeUrl = row.url;
        RunTask(TASK_CHECK_VERSION, kCheckButton);
        EXPECT_TRUE(h.Dlg().m_serverVersion.empty());
        EXPECT_EQ(h.Dlg().m_updateCheckResult.load(), 3);
        ASSERT_EQ(h.MessageBoxRecords().size(), 1u);
        EXPECT_EQ(h.MessageBoxRecords()[0].message, kNotReached);
        EXPECT_EQ(h.MessageBoxRecords()[0].title, std::wstring(GetLanguageText(516)));
        EXPECT_EQ(DevicePageText(h), kNotReached);
        EXPECT_EQ(Taken(TASK_DOWNLOAD_UPDATE), 0);
        EXPECT_TRUE(FilesIn(temp_).empty());
        h.ClearMessageBoxes();
    }
}

TEST_F(UpdateTest, AVersionTextThatIsNoVersionNeverNamesAFile)
{
    // Whatever set it, a download with an unchecked version fetches and writes nothing.
    h.Dlg().m_upgradeUrl = updatetest::HttpsUrl(L"/kestrova/newer/software-upgrade/", true);
    for (const wchar_t* text : {L"..\\..\\evil", L"1.0.3.0\\x", L"", L"1..3", L"12345678901"}) {
        h.Dlg().m_serverVersion = text;
        RunTask(TASK_DOWNLOAD_UPDATE);
        EXPECT_TRUE(FilesIn(temp_).empty()) << Narrow(text);
        EXPECT_TRUE(opened_.empty());
        EXPECT_EQ(h.Exits(), 0);
    }
    EXPECT_TRUE(IsVersionText(L"1.0.3.0"));
    EXPECT_TRUE(IsVersionText(L"10"));
    EXPECT_FALSE(IsVersionText(L".1"));
    EXPECT_FALSE(IsVersionText(L"1."));
}

TEST_F(UpdateTest, SameOrOlderIsUpToDateAndSaidSoOnlyOnTheSettingsPage)
{
    for (const wchar_t* kase : {L"same", L"older"}) {
        SCOPED_TRACE(Narrow(kase));
        h.Dlg().Show(79, false);
        Check(kase);
        EXPECT_EQ(h.Dlg().m_updateCheckResult.load(), 2);
        EXPECT_TRUE(h.MessageBoxRecords().empty());  // the start-up check stays silent
        EXPECT_EQ(DevicePageText(h), std::wstring(GetLanguageText(531)));
        h.Dlg().Show(79, true);
        Check(kase);  // the page is shown, but the check is not the user's
        EXPECT_TRUE(h.MessageBoxRecords().empty());
        Check(kase, true, true);
        ASSERT_EQ(h.MessageBoxRecords().size(), 1u);
        EXPECT_EQ(h.MessageBoxRecords()[0].message, std::wstring(GetLanguageText(531)));
        EXPECT_EQ(h.MessageBoxRecords()[0].title, std::wstring(GetLanguageText(516)));
        EXPECT_EQ(h.MessageBoxRecords()[0].mode, 0);
        EXPECT_EQ(Taken(TASK_DOWNLOAD_UPDATE), 0);
        h.ClearMessageBoxes();
    }
}

TEST_F(UpdateTest, DecliningTheNewVersionQueuesNothing)
{
    answer_ = 2;
    Check(L"parts");  // 1.0.0 against 1.0.0.1: another number of parts counts as newer
    ASSERT_EQ(h.MessageBoxRecords().size(), 1u);
    EXPECT_EQ(h.MessageBoxRecords()[0].message, L"New version: v1.0.0\nUpdate now?");
    EXPECT_EQ(h.MessageBoxRecords()[0].mode, 4);
    EXPECT_EQ(h.Dlg().m_updateCheckResult.load(), 1);
    EXPECT_EQ(DevicePageText(h), L"New version: v1.0.0");
    h.Pump(100);
    EXPECT_EQ(Taken(TASK_DOWNLOAD_UPDATE), 0);
    EXPECT_EQ(h.Dlg().UpdateDialog(), nullptr);
    // Progress without an update dialog goes nowhere.
    EXPECT_EQ(SendMessageW(h.Window(), KBM_DOWNLOAD_PROGRESS, 0, 50), 1);
}

// The program ends for the installer, and with it the worker: each server
// case runs in a window of its own.
class UpdateDownloadTest : public UpdateTest, public ::testing::WithParamInterface<const wchar_t*>
{};

TEST_P(UpdateDownloadTest, ANewerVersionIsDownloadedWithProgressUnpackedAndStarted)
{
    const wchar_t* kase = GetParam();
    SCOPED_TRACE(Narrow(kase));
    EmptyFolder(temp_);
    const int exits = h.Exits();
    Check(kase);
    ASSERT_EQ(h.MessageBoxRecords().size(), 1u);
    EXPECT_EQ(h.MessageBoxRecords()[0].message, L"New version: v1.0.3.0\nUpdate now?");
    EXPECT_EQ(h.MessageBoxRecords()[0].title, L"Check for updates");
    EXPECT_EQ(h.MessageBoxRecords()[0].mode, 4);
    UpdateProcessDlg* dialog = h.Dlg().UpdateDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->ShownPercent(), 100);  // 1684 reached the dialog
    EXPECT_FALSE(IsWindow(dialog->GetSafeHwnd()));
    // Unpacked, the package deleted, the installer started, the program ended.
    EXPECT_EQ(FilesIn(temp_), (std::vector<std::wstring>{L"Kestrova-1.0.3.0.exe", L"readme.txt"}));
    EXPECT_EQ(updatetest::ReadFileBytes(Installer()).substr(0, 2), "MZ");
    EXPECT_EQ(updatetest::ReadFileBytes(Installer()).size(), 70002u);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], Installer());
    EXPECT_EQ(h.Exits(), exits + 1);
    h.ClearMessageBoxes();
    opened_.clear();
}

INSTANTIATE_TEST_SUITE_P(ServerCases, UpdateDownloadTest, ::testing::Values(L"newer", L"padded"));

TEST_F(UpdateTest, TwoResultsCloseTogetherAskOnce)
{
    // Two checks answered before the user replied: one question, one download.
    h.Dlg().m_upgradeUrl = updatetest::HttpsUrl(L"/kestrova/newer/software-upgrade/", true);
    h.Dlg().m_workerPaused = 1;
    h.Dlg().AppendTask(TASK_CHECK_VERSION);
    h.Dlg().AppendTask(TASK_CHECK_VERSION);
    const int before = Taken(TASK_CHECK_VERSION);
    h.Dlg().m_workerPaused = 0;
    ASSERT_TRUE(h.PumpUntil([&] { return Taken(TASK_CHECK_VERSION) == before + 2; }, 15000));
    ASSERT_TRUE(h.PumpUntil(
        [&] {
            UpdateProcessDlg* dialog = h.Dlg().UpdateDialog();
            return dialog && !IsWindow(dialog->GetSafeHwnd());
        },
        15000));
    h.Pump(300);
    EXPECT_EQ(h.MessageBoxRecords().size(), 1u);
    EXPECT_EQ(Taken(TASK_DOWNLOAD_UPDATE), 1);
    EXPECT_EQ(h.Exits(), 1);
}

TEST_F(UpdateTest, APackageThatDoesNotUnpackCompletelyIsNotStarted)
{
    for (const wchar_t* kase : {L"hostile", L"corrupt"}) {
        SCOPED_TRACE(Narrow(kase));
        EmptyFolder(temp_);
        Check(kase);
        EXPECT_TRUE(opened_.empty());
        EXPECT_EQ(h.Exits(), 0);
        EXPECT_FALSE(updatetest::FileExists(Installer()));
        EXPECT_FALSE(updatetest::FileExists(GetDataFolder() + L"escaped.txt"));
        EXPECT_FALSE(updatetest::FileExists(temp_ + L"Kestrova-1.0.3.0.zip"));
        // The question, then the report that the update could not be installed.
        ASSERT_EQ(h.MessageBoxRecords().size(), 2u);
        EXPECT_EQ(h.MessageBoxRecords()[1].message, std::wstring(GetLanguageText(522)));
        EXPECT_EQ(h.MessageBoxRecords()[1].mode, 0);
        h.ClearMessageBoxes();
    }
}

TEST_F(UpdateTest, AnInstallerThatDoesNotStartLeavesTheProgramRunningAndSaysSo)
{
    openResult_ = 2;  // the shell's "file not found"
    Check(L"newer");
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(h.Exits(), 0);
    ASSERT_EQ(h.MessageBoxRecords().size(), 2u);
    EXPECT_EQ(h.MessageBoxRecords()[1].message, std::wstring(GetLanguageText(522)));
    EXPECT_TRUE(IsWindow(h.Window()));
}

TEST_F(UpdateTest, NoPackageOrNoInstallerEndsQuietly)
{
    for (const wchar_t* kase : {L"nopackage", L"noinstaller"}) {
        SCOPED_TRACE(Narrow(kase));
        EmptyFolder(temp_);
        Check(kase);
        EXPECT_TRUE(opened_.empty());
        EXPECT_EQ(h.Exits(), 0);
        EXPECT_EQ(h.MessageBoxRecords().size(), 1u);  // the question only
        EXPECT_FALSE(updatetest::FileExists(temp_ + L"Kestrova-1.0.3.0.zip"));
        EXPECT_FALSE(updatetest::FileExists(Installer()));
        UpdateProcessDlg* dialog = h.Dlg().UpdateDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(IsWindow(dialog->GetSafeHwnd()));
        h.ClearMessageBoxes();
    }
}

// The update's progress dialog never stays open for ever: a download task
// that a device change flushes from the queue closes it (and the user hears
// that the update did not happen), and the user can close it at any time.
class UpdateDialogEnd : public UpdateTest
{
protected:
    // Runs the check of a newer version; `whileOpen` runs on every tick of the
    // dialog's modal loop until it returns true. Returns false when the dialog
    // was still open after five seconds (it is then closed by the test).
    bool RunWithDialog(const std::function<bool(UpdateProcessDlg&)>& whileOpen)
    {
        // The question is answered with "yes" and the worker held, so that
        // the download task waits in the queue while its dialog opens.
        h.RecordMessageBoxes([this](const Prompt& box) {
            if (box.mode == 4) h.Dlg().m_workerPaused = 1;
            return answer_.load();
        });
        h.Dlg().m_upgradeUrl = updatetest::HttpsUrl(L"/kestrova/newer/software-upgrade/", true);
        bool stuck = false;
        DWORD opened = 0;
        bool done = false;
        testutil::EveryTick tick([&] {
            UpdateProcessDlg* dialog = h.Dlg().UpdateDialog();
            if (!dialog || !IsWindow(dialog->GetSafeHwnd())) return false;
            if (!opened) opened = GetTickCount();
            if (!done) done = whileOpen(*dialog);
            if (GetTickCount() - opened > 5000) {
                stuck = true;
                dialog->RequestClose(IDABORT);
                return true;
            }
            return false;
        });
        const int before = Taken(TASK_CHECK_VERSION);
        h.Dlg().AppendTask(TASK_CHECK_VERSION);
        EXPECT_TRUE(h.PumpUntil([&] { return Taken(TASK_CHECK_VERSION) > before; }, 15000));
        EXPECT_TRUE(h.PumpUntil(
            [&] {
                UpdateProcessDlg* dialog = h.Dlg().UpdateDialog();
                return dialog && !IsWindow(dialog->GetSafeHwnd());
            },
            15000));
        h.Dlg().m_workerPaused = 0;
        h.Pump(300);
        return !stuck;
    }
};

TEST_F(UpdateDialogEnd, ADownloadDroppedByADeviceChangeClosesItsDialog)
{
    EmptyFolder(temp_);
    const bool closed = RunWithDialog([&](UpdateProcessDlg&) {
        // A keyboard arrives: its task, ahead of the download in the queue,
        // empties the queue.
        h.Dlg().m_taskQueue.Clear();
        h.Dlg().AppendTask(TASK_DEVICE_ARRIVED);
        h.Dlg().AppendTask(TASK_DOWNLOAD_UPDATE);
        h.Dlg().m_workerPaused = 0;
        return true;
    });
    EXPECT_TRUE(closed) << "the dialog stayed open";
    int performed = 0;
    for (const auto& task : h.Tasks())
        performed += task.code == TASK_DOWNLOAD_UPDATE && task.performed;
    EXPECT_EQ(performed, 0);
    ASSERT_EQ(h.MessageBoxRecords().size(), 2u);
    EXPECT_EQ(h.MessageBoxRecords()[1].message, std::wstring(GetLanguageText(522)));
    EXPECT_TRUE(FilesIn(temp_).empty());
    EXPECT_EQ(h.Exits(), 0);
}

TEST_F(UpdateDialogEnd, TheUserClosesTheDialogAndNothingIsInstalled)
{
    EmptyFolder(temp_);
    const bool closed = RunWithDialog([&](UpdateProcessDlg& dialog) {
        // A real click on the dialog's Cancel button.
        WEXA::MControl* cancel = dialog.GetControl(UpdateProcessDlg::kCancelId);
        if (!cancel) return false;
        const CPoint at = CRect(cancel->GetRect()).CenterPoint();
        const LPARAM point = MAKELPARAM(at.x, at.y);
        SendMessageW(dialog.GetSafeHwnd(), WM_MOUSEMOVE, 0, point);
        SendMessageW(dialog.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(dialog.GetSafeHwnd(), WM_LBUTTONUP, 0, point);
        return true;
    });
    EXPECT_TRUE(closed) << "the dialog has no way out";
    // The download task runs after the dialog closed: it fetches nothing.
    ASSERT_TRUE(h.PumpUntil([&] { return Taken(TASK_DOWNLOAD_UPDATE) > 0; }, 15000));
    h.Pump(300);
    EXPECT_TRUE(opened_.empty());
    EXPECT_EQ(h.Exits(), 0);
    EXPECT_TRUE(FilesIn(temp_).empty());
}

TEST(UpdateProcessDialog, CaptionAndBarFollowThePercentage)
{
    SetCurrentLanguageId(1033);
    UpdateProcessDlg dialog;
    ASSERT_NE(dialog.Create(nullptr, kUpdateDlgWindowName, 0x96020000, 0x80, CRect(0, 0, 360, 140)),
              nullptr);
    ASSERT_NE(dialog.m_captionText, nullptr);
    ASSERT_NE(dialog.m_progress, nullptr);
    EXPECT_EQ(CRect(dialog.m_captionText->GetRect()), CRect(10, 30, 340, 50));
    EXPECT_EQ(CRect(dialog.m_progress->GetRect()), CRect(10, 60, 340, 80));
    EXPECT_EQ(dialog.m_progress->GetMaxProgress(), 100);
    struct Row
    {
        int percent, bar;
        const wchar_t* caption;
    };
    const Row rows[] = {{45, 45, L"Downloading: 45%"},
                        {120, 100, L"Downloading: 120%"},
                        {-5, 100, L"Downloading: -5%"},
                        {0, 0, L"Downloading: 0%"}};
    for (const Row& row : rows) {
        dialog.SetProgress(row.percent);
        EXPECT_EQ(dialog.m_progress->GetProgress(), row.bar) << row.percent;
        EXPECT_EQ(std::wstring(dialog.m_captionText->GetTitle()), row.caption);
    }
    // A close request made before the modal run is kept and ends it.
    dialog.RequestClose(IDOK);
    EXPECT_EQ(dialog.ShowModal(SW_SHOWNOACTIVATE), UINT(IDOK));
    EXPECT_FALSE(IsWindow(dialog.GetSafeHwnd()));
    EXPECT_EQ(dialog.m_progress, nullptr);
}

}  // namespace
