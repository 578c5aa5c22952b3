#include "PageFixture.h"

#include <cstdio>

#include "KeyboardCtrl.h"
#include "MTabCtrl.h"
#include "mainwnd/device/DeviceCommands.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/DialogTestSupport.h"
#include "services/AppEnvironment.h"
#include "services/hid/HidDeviceManager.h"
#include "services/xml/XmlDocument.h"

namespace pagetest {

namespace {

std::wstring Widen(const char* text)
{
    std::wstring wide;
    while (*text) wide += wchar_t(*text++);
    return wide;
}

// Deletes the files of the folder's "db" folder and both folders.
void RemoveFolder(const std::wstring& path)
{
    const std::wstring db = path + L"db\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((db + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((db + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(db.c_str());
    RemoveDirectoryW(path.c_str());
}

// The model's keys on the keyboard picture, from its layout file, when the
// picture has none yet.
void FillPicture(KeyboardDlg& dlg, const sim::SimModel& model)
{
    auto* picture = dlg.CtlAs<WEXA::KeyboardCtrl>(58);
    ASSERT_NE(picture, nullptr);
    if (picture->GetKeyCount() > 0) return;
    XmlDocument doc;
    const std::wstring file = GetExeFolder() + L"layouts\\" + Widen(model.layout) + L".xml";
    ASSERT_TRUE(doc.Load(file.c_str()));
    ASSERT_TRUE(doc.FindElement(L"device.info") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"Keyboard"));
    const int x = _wtoi(doc.GetAttribute(L"xpos").c_str());
    const int y = _wtoi(doc.GetAttribute(L"ypos").c_str());
    const int w = _wtoi(doc.GetAttribute(L"width").c_str());
    const int h = _wtoi(doc.GetAttribute(L"height").c_str());
    picture->SetRect(CRect(x, y, x + w, y + h));
    picture->SetKeyboardImage((L"keyboard\\" + doc.GetAttribute(L"image")).c_str());
    picture->SetWidthAndHeight(w, h);
    ASSERT_TRUE(doc.EnterElement() && doc.FindElement(L"KeyItems") && doc.EnterElement());
    while (doc.FindElement(L"key")) {
        const int code = int(wcstol(doc.GetAttribute(L"code").c_str(), nullptr, 16));
        const int left = _wtoi(doc.GetAttribute(L"rect_left").c_str());
        const int top = _wtoi(doc.GetAttribute(L"rect_top").c_str());
        const CRect rect(left, top, left + _wtoi(doc.GetAttribute(L"rect_width").c_str()),
                         top + _wtoi(doc.GetAttribute(L"rect_height").c_str()));
        picture->AddKeyItem(doc.GetAttribute(L"name").c_str(), doc.GetAttribute(L"desc").c_str(),
                            code, rect, L"", dlg.m_keyColor);
    }
}

}  // namespace

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char part[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text;
}

std::wstring LanguageText(int language, int id)
{
    wchar_t file[32], key[16], text[512];
    swprintf(file, 32, L"language\\%d.lan", language);
    swprintf(key, 16, L"%d", id);
    GetPrivateProfileStringW(L"KB.DIALOG", key, L"", text, 512, (GetExeFolder() + file).c_str());
    return text;
}

void PageFixture::Start(const char* modelName, int showCommand)
{
    model = &sim::Model(modelName);
    harness.reset(new testutil::MainWindowHarness);
    keyboard.reset(new sim::SimKeyboard(*model));
    harness->Bus().AddModel(*keyboard);
    WriteDeviceTypeSetting(model->deviceType);
    ASSERT_TRUE(harness->Start(showCommand));
    ASSERT_TRUE(harness->WaitForTasks({TASK_INIT}));
    harness->SendControlEvent(81, 2);
    ASSERT_TRUE(harness->WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(harness->PumpUntil([&] { return Dlg().m_taskQueue.IsEmpty(); }));
    ASSERT_TRUE(Dlg().m_devicePresent && Dlg().m_deviceConnected);

    wchar_t base[MAX_PATH], name[64];
    GetTempPathW(MAX_PATH, base);
    static int serial = 0;
    swprintf(name, 64, L"kestrova-pages-%lu-%d\\", GetCurrentProcessId(), ++serial);
    folder = std::wstring(base) + name;
    RemoveFolder(folder);  // left by a run that was stopped
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"db").c_str(), nullptr);

    CAutoLock hold(Dlg().DeviceStateLock());
    DeviceDataDB& db = Db();
    ASSERT_TRUE(db.OpenDevice(folder.c_str(), Widen(model->name).c_str()));
    db.m_db.Exec("PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY;");
    ProfileData profile;
    profile.name = L"Profile 1";
    ASSERT_EQ(db.AddProfile(profile), 1);
    db.InsertDefaultConfig(1);
    db.SetActiveProfile(1);
    // Every key has its rows, as a new profile gets them: layer 0 the key itself,
    // layers 1-3 nothing assigned.
    std::vector<KeyMacroData> rows;
    for (size_t i = 0; i < model->keyCount; ++i) {
        for (int layer = 0; layer < 4; ++layer) {
            KeyMacroData row;
            row.profile = 1;
            row.fn_layer = layer;
            row.key_code = model->keys[i].usage;
            if (layer == 0) {
                row.macro_type = 2;
                row.macro_value = model->keys[i].usage;
            }
            rows.push_back(row);
        }
    }
    db.InsertKeyMacros(rows);
    Dlg().m_currentProfile = 1;
    // The profile card lists this database's profile, not what the program's
    // own data folder held when the card was picked.
    Dlg().FillProfileList();
    Dlg().m_currentFnLayer = 0;
    HidDeviceManager& hid = HidDeviceManager::Instance();
    ASSERT_TRUE(BeginDeviceSession(hid));
    ASSERT_TRUE(Dlg().ReadDeviceInfo());
    ASSERT_TRUE(Dlg().ReadDefaultKeyTables());
    ASSERT_TRUE(Dlg().ReadLedMap());
    ASSERT_TRUE(Dlg().ReadKeyFunctions());
    EndDeviceSession(hid);
    FillPicture(Dlg(), *model);
    Dlg().LoadKeyAssignments(1);
    ClearLog();
}

void PageFixture::TearDown()
{
    if (keyboard) {
        EXPECT_TRUE(keyboard->Verify().empty());
    }
    harness.reset();
    keyboard.reset();
    Db().CloseDevice();
    if (!folder.empty()) RemoveFolder(folder);
}

void PageFixture::OpenTab(int position)
{
    WEXA::MTabCtrl* tab = Dlg().MainTab();
    ASSERT_NE(tab, nullptr);
    tab->SetSelectItem(position);
    harness->Pump(30);
}

void PageFixture::RunQueuedTasks()
{
    const size_t before = harness->Tasks().size();
    const size_t queued = Dlg().m_taskQueue.Size();
    ASSERT_TRUE(harness->PumpUntil(
        [&] { return Dlg().m_taskQueue.IsEmpty() && harness->Tasks().size() >= before + queued; }));
    harness->Pump(20);
}

std::vector<sim::Request> PageFixture::DataRequests() const
{
    std::vector<sim::Request> requests;
    for (const sim::Request& r : keyboard->Received())
        if (r.Command() != 0x10 && r.Command() != 0x11) requests.push_back(r);
    return requests;
}

void PageFixture::ClearLog()
{
    keyboard->ClearLog();
    harness->Bus().ClearLog();
}

bool PageFixture::ClickKey(int keyCode)
{
    auto* picture = Control<WEXA::KeyboardCtrl>(58);
    if (!picture) return false;
    for (const WEXA::KEY_INFO* key : picture->GetKeyItems()) {
        if (key->nKeyCode != keyCode) continue;
        CRect r = picture->GetRealRect(CRect(key->rcKey));
        r.OffsetRect(picture->GetRect().left, picture->GetRect().top);
        const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
        if (picture->GetKeyCodeByPoint(r.CenterPoint()) != keyCode) return false;
        HWND window = harness->Window();
        SendMessageW(window, WM_MOUSEMOVE, 0, at);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
        return true;
    }
    return false;
}

std::wstring PageFixture::AnswerMessageBox(int button, const std::function<void()>& act)
{
    std::wstring text;
    dialogtest::EveryTick tick([&] {
        HWND box = dialogtest::FindDialog(kMessageBoxWindowName);
        if (!box || !IsWindowVisible(box)) return false;
        auto* dialog = dynamic_cast<CUIMessageBox*>(
            reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(box, GWLP_USERDATA)));
        if (dialog) text = static_cast<const wchar_t*>(dialog->m_message);
        PostMessageW(box, WEXA::WM_USER_CLOSE_WINDOW, WPARAM(button), 0);
        return true;
    });
    act();
    return text;
}

}  // namespace pagetest
