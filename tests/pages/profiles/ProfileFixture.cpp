#include "ProfileFixture.h"

#include <map>

#include "KeyboardCtrl.h"
#include "MDialog.h"
#include "dialogs/CUIMessageBox.h"
#include "services/AppEnvironment.h"

namespace proftest {

namespace {}  // namespace

WEXA::MDialog* DialogOf(HWND window)
{
    if (!window) return nullptr;
    return dynamic_cast<WEXA::MDialog*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
}

MessageBoxAnswer::MessageBoxAnswer(bool first)
    : tick_([this, first] {
          HWND window = FindWindowW(L"PavexWindow", kMessageBoxWindowName);
          auto* box = dynamic_cast<CUIMessageBox*>(DialogOf(window));
          if (!box || !IsWindowVisible(window)) return false;
          titles.push_back(static_cast<const wchar_t*>(box->m_title));
          messages.push_back(static_cast<const wchar_t*>(box->m_message));
          if (first)
              box->DoOK();
          else
              box->DoCancel();
          return false;
      })
{}

void ProfileTest::SetUp()
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    keyboard.reset(new sim::SimKeyboard(*model));
    port = h.Bus().AddModel(*keyboard);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    ASSERT_TRUE(Dlg().m_deviceConnected);
    modelName = Dlg().m_modelName.empty() ? L"Kestrova-K87" : Dlg().m_modelName;
    EmptyDatabase();
    if (auto* picture = Dlg().CtlAs<WEXA::KeyboardCtrl>(58)) {
        picture->ClearItem();
        for (size_t i = 0; i < model->keyCount; ++i) {
            wchar_t name[16];
            swprintf(name, 16, L"K%d", model->keys[i].usage);
            const int x = int(i % 20) * 40, y = int(i / 20) * 40;
            picture->AddKeyItem(name, name, model->keys[i].usage, CRect(x, y, x + 38, y + 38), L"",
                                0xFFFFFF);
        }
    }
}

void ProfileTest::TearDown()
{
    h.Stop();
    Db().DeleteDeviceFile(GetDataFolder().c_str(), modelName.c_str());
}

void ProfileTest::EmptyDatabase()
{
    CAutoLock hold(Dlg().DeviceStateLock());
    const std::wstring folder = GetDataFolder();
    CreateDirectoryTree(folder + L"db");
    Db().DeleteDeviceFile(folder.c_str(), modelName.c_str());
    ASSERT_TRUE(Db().OpenDevice(folder.c_str(), modelName.c_str()));
    Db().m_db.Exec("PRAGMA synchronous = OFF;");
}

bool ProfileTest::WaitForTaskCount(int code, size_t count, DWORD timeoutMs)
{
    return h.PumpUntil([&] { return TaskCount(code) >= count; }, timeoutMs);
}

size_t ProfileTest::TaskCount(int code) const
{
    size_t n = 0;
    for (const auto& task : h.Tasks())
        if (task.code == code) ++n;
    return n;
}

void ProfileTest::LoadProfiles()
{
    const size_t before = TaskCount(TASK_RELOAD_PROFILES);
    Dlg().AppendTask(TASK_RELOAD_PROFILES);
    ASSERT_TRUE(WaitForTaskCount(TASK_RELOAD_PROFILES, before + 1));
}

std::vector<int> ProfileTest::ProfileIds()
{
    std::vector<ProfileData*> rows;
    Db().GetProfiles(rows);
    std::vector<int> ids;
    for (const ProfileData* row : rows) ids.push_back(row->profile);
    FreeRecordList(rows);
    return ids;
}

}  // namespace proftest
