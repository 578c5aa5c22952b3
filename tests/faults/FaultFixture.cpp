#include "FaultFixture.h"

#include <cstdio>

#include "KeyFuncValue.h"
#include "KeyboardCtrl.h"
#include "MTabCtrl.h"
#include "SqliteShell.h"
#include "TabCtrlEx.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"

namespace faulttest {

std::wstring Wide(const char* text)
{
    std::wstring wide;
    while (*text) wide += wchar_t(*text++);
    return wide;
}

std::wstring English(int id)
{
    wchar_t key[16], text[512];
    swprintf(key, 16, L"%d", id);
    GetPrivateProfileStringW(L"KB.DIALOG", key, L"", text, 512,
                             (GetExeFolder() + L"language\\1033.lan").c_str());
    return text;
}

int FaultFixture::OnBox(void* self, HWND, const wchar_t* message, const wchar_t* title, int)
{
    static_cast<FaultFixture*>(self)->shown.push_back(
        {message ? message : L"", title ? title : L""});
    return 1;
}

void FaultFixture::Start(const char* modelName, bool viaReceiver, bool removeDatabase)
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    model = &sim::Model(modelName);
    harness.reset();  // a window of an earlier start goes first, with its devices
    harness.reset(new testutil::MainWindowHarness);
    if (!keyboard) keyboard.reset(new sim::SimKeyboard(*model));
    CreateDirectoryTree(GetDataFolder() + L"db");  // as the program's start does
    if (removeDatabase) {
        DeviceDataDB::Instance()->DeleteDeviceFile(GetDataFolder().c_str(),
                                                   Wide(model->name).c_str());
        DeleteFolder(GetDataFolder() + L"led\\");
        DeleteFolder(GetDataFolder() + L"default_led\\");
    }
    if (viaReceiver) {
        if (!receiver) receiver.reset(new sim::SimReceiver(*keyboard));
        port = harness->Bus().AddModelReceiver(*receiver);
    } else {
        port = harness->Bus().AddModel(*keyboard);
    }
    WriteDeviceTypeSetting(model->deviceType);
    harness->Dlg().SetMessageBoxFunction(&FaultFixture::OnBox, this);
    ASSERT_TRUE(harness->Start(SW_SHOW));
    SetForegroundWindow(harness->Window());
    ASSERT_TRUE(harness->WaitForTasks({TASK_INIT}));
    harness->SendControlEvent(81, 2);
    ASSERT_TRUE(harness->WaitForTasks({TASK_DEVICE_SELECTED}));
    Settle();
}

void FaultFixture::TearDown()
{
    harness.reset();
    receiver.reset();
    keyboard.reset();
    DeviceDataDB::Instance()->CloseDevice();
    if (model) {
        const std::wstring file = DatabaseFile();
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeviceDataDB::Instance()->DeleteDeviceFile(GetDataFolder().c_str(),
                                                   Wide(model->name).c_str());
    }
    DeleteFolder(GetDataFolder() + L"led\\");
    DeleteFolder(GetDataFolder() + L"default_led\\");
}

bool FaultFixture::Responds()
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(harness->Window(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
}

void FaultFixture::Settle()
{
    ASSERT_TRUE(harness->Settle(200, 20000)) << "the worker never came to rest";
}

void FaultFixture::OpenTab(int position)
{
    WEXA::MTabCtrl* tab = Dlg().MainTab();
    ASSERT_NE(tab, nullptr);
    tab->SetSelectItem(position);
    harness->Pump(30);
}

bool FaultFixture::ClickKey(int keyCode)
{
    auto* picture = Dlg().CtlAs<WEXA::KeyboardCtrl>(58);
    if (!picture) return false;
    for (const WEXA::KEY_INFO* key : picture->GetKeyItems()) {
        if (key->nKeyCode != keyCode) continue;
        CRect r = picture->GetRealRect(CRect(key->rcKey));
        r.OffsetRect(picture->GetRect().left, picture->GetRect().top);
        const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
        HWND window = harness->Window();
        SendMessageW(window, WM_MOUSEMOVE, 0, at);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
        return Dlg().m_selectedKey == keyCode;
    }
    return false;
}

void FaultFixture::ChooseCategory(int category)
{
    auto* tabs = Dlg().CtlAs<WEXA::TabCtrlEx>(88);
    ASSERT_NE(tabs, nullptr);
    int index = -1;
    for (int i = 0; i < tabs->GetItemCount(); ++i)
        if (tabs->GetItemData(i) == category) index = i;
    ASSERT_GE(index, 0);
    const CRect r = tabs->GetRect();
    const LPARAM at = MAKELPARAM(r.left + 20, r.top + 43 * index + 21);
    SendMessageW(harness->Window(), WM_MOUSEMOVE, 0, at);
    SendMessageW(harness->Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(harness->Window(), WM_LBUTTONUP, 0, at);
    harness->Pump(20);
    ASSERT_EQ(tabs->GetCurData(), category);
}

void FaultFixture::PickTile(int value)
{
    auto* grid = Dlg().CtlAs<WEXA::KeyFuncValue>(89);
    ASSERT_NE(grid, nullptr);
    int index = -1;
    for (int i = 0; i < grid->GetItemCount(); ++i)
        if (grid->GetItemData(i) == value && index < 0) index = i;
    ASSERT_GE(index, 0) << "no tile " << value;
    grid->SetSelectItem(index);
    harness->SendControlEvent(89, 2, 0, index);
}

void FaultFixture::AssignKey(int keyCode, int newKey)
{
    OpenTab(4);
    if (model->HasReceiver()) {
        // A press on the picture of the K75 layouts keeps the window painting for
        // minutes under Wine's GDI+; the key is chosen as that press would.
        Dlg().m_selectedKey = keyCode;
    } else {
        ASSERT_TRUE(ClickKey(keyCode)) << "key " << keyCode << " is not on the picture";
    }
    ChooseCategory(2);
    PickTile(newKey);
}

std::wstring FaultFixture::DatabaseFile() const
{
    return GetDataFolder() + L"db\\" + Wide(model->name) + L"_data_2.db";
}

std::string FaultFixture::Sql(const std::string& statement) const
{
    return testutil::RunSqliteShell(DatabaseFile().c_str(), statement);
}

std::string FaultFixture::StoredKey(int keyCode) const
{
    char sql[256];
    snprintf(sql, sizeof sql,
             "SELECT macro_type || '|' || macro_value FROM t_key_macro_data WHERE profile = "
             "(SELECT profile FROM t_profile_data WHERE status = 1) AND fn_layer = 0 AND "
             "key_code = %d;",
             keyCode);
    std::string text = Sql(sql);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

int FaultFixture::KeyIndex(int keyCode) const
{
    for (size_t i = 0; i < model->keyCount; ++i)
        if (model->keys[i].usage == keyCode) return model->keys[i].keyIndex;
    return -1;
}

std::vector<uint8_t> FaultFixture::KeyboardKey(int keyCode) const
{
    const std::vector<uint8_t>& table = keyboard->Block(0x1A);
    const size_t at = size_t(3 * KeyIndex(keyCode));
    return std::vector<uint8_t>(table.begin() + long(at), table.begin() + long(at) + 3);
}

size_t FaultFixture::CountShown(int id) const
{
    const std::wstring text = English(id);
    size_t n = 0;
    for (const Shown& s : shown)
        if (s.message == text) ++n;
    return n;
}

}  // namespace faulttest
