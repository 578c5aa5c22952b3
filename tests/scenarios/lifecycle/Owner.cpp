#include "Owner.h"

#include <set>

#include "MComboBox.h"
#include "MControlFont.h"
#include "MEdit.h"
#include "MTabCtrl.h"
#include "SqliteShell.h"
#include "TabCtrlEx.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace lifecycle {

namespace {

std::wstring Wide(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

}  // namespace

Owner::Owner(const sim::SimModel& m) : model(m), modelName(Wide(m.name))
{
    keyboard_.reset(new sim::SimKeyboard(model));
}

Owner::~Owner()
{
    harness_.reset();
    // No other program finds this owner's settings or data.
    RegDeleteTreeW(HKEY_CURRENT_USER, SoftwareRegistryKey().c_str());
    DeviceDataDB::Instance()->CloseDevice();
    DeleteFolder(GetDataFolder());
}

bool Owner::Start(bool firstStart)
{
    harness_.reset();  // a window still open is closed first
    harness_.reset(new testutil::MainWindowHarness);
    if (firstStart) {
        DeviceDataDB::Instance()->CloseDevice();
        const std::wstring data = GetDataFolder();
        if (GetFileAttributesW(data.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFolder(data))
            return false;
        settings_.clear();
    } else {
        // The same user's settings, as the program left them.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SoftwareRegistryKey().c_str(), 0, KEY_SET_VALUE,
                          &key) != ERROR_SUCCESS)
            return false;
        for (const auto& value : settings_)
            RegSetValueExW(key, value.first.c_str(), 0, settingTypes_[value.first],
                           value.second.data(), DWORD(value.second.size()));
        RegCloseKey(key);
    }
    // What the program does before its window: the language (an English
    // system's on a first start) and the database folder.
    SetSupportedLanguageIds({2052, 1033, 1028});
    ChooseLanguageWith(1033);
    CreateDirectoryTree(GetDataFolder() + L"db");
    harness_->Bus().AddModel(*keyboard_);
    if (!harness_->Start(SW_SHOW)) return false;
    HWND window = harness_->Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Dlg().SetMessageBoxFunction(&Owner::OnBox, this);
    Dlg().SetLcdFileChooser(&Owner::OnChoose, this);
    return harness_->WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}) && Settle();
}

void Owner::Quit()
{
    // What the program keeps in the registry outlives it.
    settings_.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SoftwareRegistryKey().c_str(), 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256, type = 0, size = 0;
            if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                break;
            std::vector<BYTE> data(size);
            nameLength = 256;
            RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
            settings_[name] = data;
            settingTypes_[name] = type;
        }
        RegCloseKey(key);
    }
    EXPECT_TRUE(Click(39)) << "no close button";
    EXPECT_EQ(1, harness_->Exits()) << "the close button did not end the program";
    harness_->Stop();
}

void Owner::Paint()
{
    HWND window = harness_->Window();
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    Pump(50);
}

size_t Owner::TaskCount(int code) const
{
    size_t n = 0;
    for (const auto& task : harness_->Tasks()) n += task.code == code;
    return n;
}

bool Owner::WaitForTaskCount(int code, size_t count, DWORD timeoutMs)
{
    return harness_->PumpUntil([&] { return TaskCount(code) >= count; }, timeoutMs);
}

void Owner::ClickAt(int x, int y)
{
    const LPARAM at = MAKELPARAM(x, y);
    HWND window = harness_->Window();
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    // The pointer leaves again, so that no hover stays behind.
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 780));
}

bool Owner::Click(UINT id)
{
    return harness_->Click(id);
}

bool Owner::ClickMainTab(int itemId)
{
    WEXA::MTabCtrl* tab = Dlg().MainTab();
    for (int i = 0; tab && i < tab->GetItemCount(); ++i) {
        if (tab->GetItemID(i) != itemId) continue;
        const WEXA::TabItemInfo* item = tab->GetItemInfo(i);
        if (!item || !item->visible) return false;
        ClickAt((item->rect.left + item->rect.right) / 2, (item->rect.top + item->rect.bottom) / 2);
        return tab->GetSelectItem() == i;
    }
    return false;
}

bool Owner::ClickStripItem(UINT id, int index)
{
    WEXA::MControl* strip = Dlg().Ctl(id);
    if (!strip || !strip->IsVisible()) return false;
    const RECT rect = strip->GetRect();
    const int rowHeight = WEXA::TabCtrlEx::TAB_HEIGHT;
    ClickAt((rect.left + rect.right) / 2, rect.top + rowHeight * index + rowHeight / 2);
    return true;
}

void Owner::Drag(POINT from, POINT to)
{
    HWND window = harness_->Window();
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        const int x = from.x + (to.x - from.x) * i / steps;
        const int y = from.y + (to.y - from.y) * i / steps;
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    }
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    Pump(30);
}

sim::Bytes Owner::Memory(uint8_t command)
{
    sim::Bytes bytes;
    Dlg().m_workerPaused = 1;
    Pump(60);
    bytes = keyboard_->Block(command);
    Dlg().m_workerPaused = 0;
    return bytes;
}

std::vector<sim::Request> Owner::Received()
{
    Dlg().m_workerPaused = 1;
    Pump(60);
    std::vector<sim::Request> received = keyboard_->Received();
    Dlg().m_workerPaused = 0;
    return received;
}

std::wstring Owner::DbFile() const
{
    return GetDataFolder() + L"db\\" + modelName + L"_data_2.db";
}

std::vector<std::string> Owner::Sql(const std::string& query) const
{
    int exitCode = -1;
    const std::string out = testutil::RunSqliteShell(DbFile().c_str(), query + ";\n", &exitCode);
    EXPECT_EQ(0, exitCode) << query << "\n" << out;
    return testutil::Lines(out);
}

std::string Owner::DbDump() const
{
    // One run of the shell: a heading and the rows of every table.
    std::string script;
    for (const std::string& table :
         Sql("SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 't\\_%' "
             "ESCAPE '\\' ORDER BY name"))
        script += "SELECT '[" + table + "]';\nSELECT * FROM " + table + ";\n";
    int exitCode = -1;
    const std::string dump = testutil::RunSqliteShell(DbFile().c_str(), script, &exitCode);
    EXPECT_EQ(0, exitCode) << dump;
    return dump;
}

std::string ChangedLines(const std::string& before, const std::string& after)
{
    const std::vector<std::string> a = testutil::Lines(before), b = testutil::Lines(after);
    const std::multiset<std::string> inA(a.begin(), a.end()), inB(b.begin(), b.end());
    std::string out;
    for (const std::string& line : a)
        if (!inB.count(line)) out += "- " + line + "\n";
    for (const std::string& line : b)
        if (!inA.count(line)) out += "+ " + line + "\n";
    return out;
}

int Owner::OnBox(void* self, HWND, const wchar_t* message, const wchar_t* title, int)
{
    auto* owner = static_cast<Owner*>(self);
    owner->boxes.push_back({message ? message : L"", title ? title : L""});
    return owner->answer;
}

bool Owner::OnChoose(void* self, HWND, int kind, std::vector<std::wstring>& paths)
{
    auto* owner = static_cast<Owner*>(self);
    if (kind == 0) paths = owner->pictures;
    return !paths.empty();
}

std::map<std::string, std::wstring> ShownTexts(KeyboardDlg& dlg)
{
    std::map<std::string, std::wstring> texts;
    for (UINT id = 1; id <= KeyboardDlg::kMaxControlId; ++id) {
        WEXA::MControl* control = dlg.Ctl(id);
        if (!control) continue;
        const std::string key = std::to_string(id);
        if (auto* tab = dynamic_cast<WEXA::MTabCtrl*>(control)) {
            for (int i = 0; i < tab->GetItemCount(); ++i)
                texts[key + "#" + std::to_string(i)] =
                    static_cast<const wchar_t*>(tab->GetItemInfo(i)->text);
        } else if (auto* strip = dynamic_cast<WEXA::TabCtrlEx*>(control)) {
            for (int i = 0; i < strip->GetItemCount(); ++i) {
                WEXA::TABITEM_INFO item;
                if (strip->GetItemInfo(i, item))
                    texts[key + "#" + std::to_string(i)] = static_cast<const wchar_t*>(item.text);
            }
        } else if (auto* combo = dynamic_cast<WEXA::MComboBox*>(control)) {
            for (int i = 0; i < combo->GetCount(); ++i)
                texts[key + "#" + std::to_string(i)] =
                    static_cast<const wchar_t*>(combo->GetItemText(i));
        } else if (dynamic_cast<WEXA::MEdit*>(control)) {
            continue;  // a value, not a text of the language
        } else if (auto* titled = dynamic_cast<WEXA::MControlFont*>(control)) {
            const CString title = titled->GetTitle();
            if (!title.IsEmpty()) texts[key] = static_cast<const wchar_t*>(title);
        }
    }
    return texts;
}

}  // namespace lifecycle
