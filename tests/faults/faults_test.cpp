// Faults while the program is in use, in the real main window against the
// simulated keyboard: a keyboard unplugged in the middle of a write, one that
// stops answering or refuses a chunk, a receiver whose keyboard goes off line,
// a damaged database at start, a data folder that cannot be written and an
// LCD folder that takes no more files. Each time the window goes on
// answering, the user is told, and the database and the keyboard hold only
// what was confirmed.
#include <windows.h>

#include <algorithm>

#include "FaultFixture.h"
#include "CSwitchButton.h"
#include "ImageViewList.h"
#include "LCDViewList.h"
#include "MSlider.h"
#include "ProfileList.h"
#include "ScreenshotCompare.h"
#include "SqliteShell.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"

namespace faulttest {
namespace {

const int kKeyF1 = 0x3A, kKeyA = 0x04;
// The message of a change the keyboard did not confirm, and its title.
const int kNotConfirmedText = 71, kDeviceTitle = 533;
// The message of a database that cannot be read, and of one that cannot be written.
const int kUnreadableDatabaseText = 72, kNotSavedText = 73;

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

// ---- the keyboard fails while a key's new function is written ----------------------

enum class Break {
    Unplug,           // the cable is pulled as the record goes out
    StopsAnswering,   // the keyboard takes reports but never answers
    Refuses,          // it answers every try with a refusal
    ReceiverOffline,  // the receiver's keyboard goes off line (2.4G)
};

struct WriteFault
{
    const char* name;
    const char* model;
    Break kind;
};

void PrintTo(const WriteFault& c, std::ostream* out)
{
    *out << c.name;
}

class KeyWriteFault : public FaultFixture, public ::testing::WithParamInterface<WriteFault>
{};

TEST_P(KeyWriteFault, TheUserIsToldAndTheKeyKeepsItsConfirmedFunction)
{
    const WriteFault& c = GetParam();
    Start(c.model, c.kind == Break::ReceiverOffline);
    const std::string storedBefore = StoredKey(kKeyF1);
    const std::vector<uint8_t> keyboardBefore = KeyboardKey(kKeyF1);
    ASSERT_EQ(storedBefore, "2|58");
    switch (c.kind) {
        case Break::Unplug: keyboard->AddFault(sim::Fault::Unplug, 0x1B); break;
        case Break::StopsAnswering: keyboard->AddFault(sim::Fault::NoAnswer, -1, -1, 1000); break;
        case Break::Refuses: keyboard->AddFault(sim::Fault::Refuse, 0x1B, -1, 1000); break;
        case Break::ReceiverOffline: receiver->SetKeyboardOnline(false, false); break;
    }
    shown.clear();

    AssignKey(kKeyF1, kKeyA);
    Settle();
    if (c.kind == Break::Unplug)
        harness->SendDeviceChange(false,
                                  testutil::DevicePathOf(model->vendorId, model->productId, 1));
    if (c.kind == Break::ReceiverOffline) receiver->PushNotification();
    Settle();

    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kNotConfirmedText), 1u) << "the user is told once";
    for (const Shown& s : shown) {
        if (s.message == English(kNotConfirmedText)) {
            EXPECT_EQ(s.title, English(kDeviceTitle));
        }
    }
    EXPECT_EQ(StoredKey(kKeyF1), storedBefore) << "the database keeps what the keyboard holds";
    EXPECT_EQ(Hex(KeyboardKey(kKeyF1)), Hex(keyboardBefore));
}

const WriteFault kWriteFaults[] = {
    {"K87_unplugged_mid_write", "Kestrova-K87", Break::Unplug},
    {"K87_stops_answering", "Kestrova-K87", Break::StopsAnswering},
    {"K104_refuses_the_record", "Kestrova-K104", Break::Refuses},
    {"K75Air_receiver_offline", "Kestrova-K75-Air", Break::ReceiverOffline},
};

INSTANTIATE_TEST_SUITE_P(Faults, KeyWriteFault, ::testing::ValuesIn(kWriteFaults),
                         [](const ::testing::TestParamInfo<WriteFault>& info) {
                             return std::string(info.param.name);
                         });

// Once the keyboard answers again, the same change goes through: nothing of
// the failed one is left queued or half applied.
TEST_F(FaultFixture, AfterARefusalTheNextChangeGoesThrough)
{
    Start("Kestrova-K87");
    keyboard->AddFault(sim::Fault::Refuse, 0x1B, -1, 1);
    AssignKey(kKeyF1, kKeyA);
    Settle();
    ASSERT_EQ(CountShown(kNotConfirmedText), 1u);
    ASSERT_EQ(StoredKey(kKeyF1), "2|58");
    shown.clear();
    PickTile(kKeyA);
    Settle();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(StoredKey(kKeyF1), "2|4");
    EXPECT_EQ(Hex(KeyboardKey(kKeyF1)), "10 00 04");
    EXPECT_TRUE(keyboard->Violations().empty());
}

// A chunk of the profile switch's key tables is refused: the user is told, the
// profile the keyboard held stays the active one and is written again over
// what of the other got through.
TEST_F(FaultFixture, ARefusedChunkOfAProfileSwitchFallsBackToTheConfirmedProfile)
{
    Start("Kestrova-K87");
    ASSERT_EQ(Sql("SELECT profile FROM t_profile_data WHERE status = 1;"), "1\n");
    // Profile 2 gives F1 (in the first chunk of layer 0) another function.
    KeyMacroData row;
    ASSERT_TRUE(DeviceDataDB::Instance()->GetKeyMacro(2, 0, kKeyF1, row));
    row.macro_value = kKeyA;
    row.macro_desc = L"A";
    ASSERT_TRUE(DeviceDataDB::Instance()->UpdateKeyMacro(row));
    keyboard->AddFault(sim::Fault::Refuse, 0x1B, 56, 6);  // every try of the second chunk
    shown.clear();

    auto* list = Dlg().ProfileListCtl();
    ASSERT_NE(list, nullptr);
    list->SetSelectItem(1);
    EXPECT_EQ(harness->SendControlEvent(53, 2), 1);
    Settle();

    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kNotConfirmedText), 1u);
    EXPECT_EQ(Sql("SELECT profile FROM t_profile_data WHERE status = 1;"), "1\n");
    EXPECT_EQ(Dlg().m_currentProfile, 1);
    EXPECT_EQ(list->GetCurData(), 1) << "the list shows the profile in use";
    EXPECT_EQ(Hex(KeyboardKey(kKeyF1)), "10 00 3A") << "profile 1's keys are on the keyboard again";
    EXPECT_EQ(StoredKey(kKeyF1), "2|58");
    EXPECT_EQ(Sql("SELECT macro_value FROM t_key_macro_data WHERE profile = 2 AND fn_layer = 0 "
                  "AND key_code = 58;"),
              "4\n")
        << "profile 2 itself is kept as the user made it";
}

// ---- the keyboard fails while a stored setting is written --------------------------

enum class Setting {
    MacMode,          // performance page: the Mac-mode switch (task 16)
    LightBrightness,  // lighting page: the brightness of the current mode (task 12)
    MatrixBrightness  // matrix-screen page: the brightness of the current mode (task 13)
};

struct SettingFault
{
    const char* name;
    const char* model;
    Setting setting;
    Break kind;
};

void PrintTo(const SettingFault& c, std::ostream* out)
{
    *out << c.name;
}

class SettingWriteFault : public FaultFixture, public ::testing::WithParamInterface<SettingFault>
{
protected:
    // What the database holds of the setting, and what the page shows of it.
    std::string Stored()
    {
        switch (GetParam().setting) {
            case Setting::MacMode:
                return Sql(
                    "SELECT value FROM t_config_data WHERE profile = 1 AND key = "
                    "'mac_mode';");
            case Setting::LightBrightness:
                return Sql(
                    "SELECT brightness FROM t_light_data WHERE profile = 1 AND type = 0 "
                    "AND status = 1;");
            case Setting::MatrixBrightness:
                return Sql(
                    "SELECT brightness FROM t_light_data WHERE profile = 1 AND type = 16 "
                    "AND status = 1;");
        }
        return "";
    }
    int Shown()
    {
        switch (GetParam().setting) {
            case Setting::MacMode: return Dlg().CtlAs<WEXA::CSwitchButton>(338)->GetCheck();
            case Setting::LightBrightness: return Dlg().CtlAs<WEXA::MSlider>(129)->GetProgress();
            case Setting::MatrixBrightness: return Dlg().CtlAs<WEXA::MSlider>(292)->GetProgress();
        }
        return -1;
    }
    // A stored value as the page's control shows it (a slider stops at its maximum).
    int AsShown(int stored)
    {
        const UINT slider = GetParam().setting == Setting::LightBrightness    ? 129
                            : GetParam().setting == Setting::MatrixBrightness ? 292
                                                                              : 0;
        if (!slider) return stored;
        return std::min(stored, Dlg().CtlAs<WEXA::MSlider>(slider)->GetMaxProgress());
    }
    void Change()
    {
        switch (GetParam().setting) {
            case Setting::MacMode:
                OpenTab(6);
                ASSERT_TRUE(harness->Click(338));
                break;
            case Setting::LightBrightness:
            case Setting::MatrixBrightness: {
                const bool light = GetParam().setting == Setting::LightBrightness;
                OpenTab(light ? 1 : 2);
                const UINT id = light ? 129 : 292;
                auto* slider = Dlg().CtlAs<WEXA::MSlider>(id);
                ASSERT_NE(slider, nullptr);
                slider->SetProgress(slider->GetProgress() == 1 ? 2 : 1);
                harness->SendControlEvent(id, 2);  // the thumb let go
                break;
            }
        }
        harness->Pump(30);
    }
};

TEST_P(SettingWriteFault, TheUserIsToldAndTheSettingIsPutBack)
{
    const SettingFault& c = GetParam();
    Start(c.model, c.kind == Break::ReceiverOffline);
    // The page is shown once before, so that its controls hold the stored values.
    switch (c.setting) {
        case Setting::MacMode: OpenTab(6); break;
        case Setting::LightBrightness: OpenTab(1); break;
        case Setting::MatrixBrightness: OpenTab(2); break;
    }
    Settle();
    const std::string storedBefore = Stored();
    const std::vector<uint8_t> keyboardBefore = keyboard->Block(0x14);
    switch (c.kind) {
        case Break::Unplug: keyboard->AddFault(sim::Fault::Unplug, 0x15); break;
        case Break::StopsAnswering: keyboard->AddFault(sim::Fault::NoAnswer, 0x15, -1, 1000); break;
        case Break::Refuses: keyboard->AddFault(sim::Fault::Refuse, 0x15, -1, 1000); break;
        case Break::ReceiverOffline: receiver->SetKeyboardOnline(false, false); break;
    }
    shown.clear();

    // The worker waits until the change is stored, so that it is seen stored.
    Dlg().m_workerPaused = 1;
    Change();
    const std::string storedChange = Stored();
    Dlg().m_workerPaused = 0;
    ASSERT_NE(storedChange, storedBefore) << "the change was not stored";
    Settle();
    if (c.kind == Break::Unplug)
        harness->SendDeviceChange(false,
                                  testutil::DevicePathOf(model->vendorId, model->productId, 1));
    Settle();
    harness->Pump(100);

    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kNotConfirmedText), 1u) << "the user is told once";
    EXPECT_EQ(Stored(), storedBefore) << "the database keeps what the keyboard holds";
    EXPECT_EQ(Shown(), AsShown(atoi(storedBefore.c_str())))
        << "the page shows what the keyboard holds";
    EXPECT_EQ(Hex(keyboard->Block(0x14)), Hex(keyboardBefore));
}

const SettingFault kSettingFaults[] = {
    {"K87_mac_mode_refused", "Kestrova-K87", Setting::MacMode, Break::Refuses},
    {"K87_mac_mode_no_answer", "Kestrova-K87", Setting::MacMode, Break::StopsAnswering},
    {"K104_mac_mode_unplugged", "Kestrova-K104", Setting::MacMode, Break::Unplug},
    {"K87_brightness_refused", "Kestrova-K87", Setting::LightBrightness, Break::Refuses},
    {"K104_brightness_no_answer", "Kestrova-K104", Setting::LightBrightness, Break::StopsAnswering},
    {"K87_brightness_unplugged", "Kestrova-K87", Setting::LightBrightness, Break::Unplug},
    {"K80Matrix_matrix_brightness_refused", "Kestrova-K80-Matrix", Setting::MatrixBrightness,
     Break::Refuses},
    {"K80Matrix_matrix_brightness_no_answer", "Kestrova-K80-Matrix", Setting::MatrixBrightness,
     Break::StopsAnswering},
    {"K80Matrix_matrix_brightness_unplugged", "Kestrova-K80-Matrix", Setting::MatrixBrightness,
     Break::Unplug},
};

INSTANTIATE_TEST_SUITE_P(Faults, SettingWriteFault, ::testing::ValuesIn(kSettingFaults),
                         [](const ::testing::TestParamInfo<SettingFault>& info) {
                             return std::string(info.param.name);
                         });

// ---- the data folder fails --------------------------------------------------------

std::string FileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Commands that change the keyboard's memory.
bool IsWrite(uint8_t command)
{
    return command == 0x15 || (command >= 0x1B && command <= 0x21 && command % 2) ||
           (command >= 0x23 && command <= 0x2B && command % 2) || command == 0x2D ||
           command == 0x31 || command == 0x3B;
}

TEST_F(FaultFixture, ADamagedDatabaseAtStartIsReportedAndLeftAsItIs)
{
    model = &sim::Model("Kestrova-K87");
    CreateDirectoryTree(GetDataFolder() + L"db");
    std::string garbage;
    for (int i = 0; i < 256; ++i) garbage += "not a database; ";
    ASSERT_TRUE(WriteBytes(DatabaseFile(), garbage));
    Start("Kestrova-K87", false, false);

    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kUnreadableDatabaseText), 1u) << "told once, not at every device pick";
    EXPECT_TRUE(FileBytes(DatabaseFile()) == garbage) << "the damaged file is not overwritten";
    for (const sim::Request& r : keyboard->Received())
        EXPECT_FALSE(IsWrite(r.Command())) << "nothing is sent from a database never read";

    // The user's changes meanwhile are neither kept nor sent.
    shown.clear();
    AssignKey(kKeyF1, kKeyA);
    Settle();
    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kNotSavedText), 1u);
    EXPECT_TRUE(FileBytes(DatabaseFile()) == garbage);
    for (const sim::Request& r : keyboard->Received()) EXPECT_FALSE(IsWrite(r.Command()));
}

// A data folder that takes no writes. Wine, run as root, lets a program write
// into a read-only folder and file; what such a folder does to the program is
// made here with the lock SQLite writers take (the reserved byte) held by
// another handle: every write is refused, reads go on.
class WriteLock
{
public:
    explicit WriteLock(const std::wstring& path)
    {
        file_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
        OVERLAPPED at = {};
        at.Offset = 0x40000001;  // SQLite's reserved byte, past the pending byte
        locked_ =
            file_ != INVALID_HANDLE_VALUE &&
            LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
    }
    ~WriteLock()
    {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    bool Locked() const { return locked_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool locked_ = false;
};

TEST_F(FaultFixture, ADataFolderThatTakesNoWritesKeepsTheKeyAsItWas)
{
    Start("Kestrova-K87");
    const std::vector<uint8_t> keyboardBefore = KeyboardKey(kKeyF1);
    WriteLock lock(DatabaseFile());
    ASSERT_TRUE(lock.Locked());
    shown.clear();
    AssignKey(kKeyF1, kKeyA);
    Settle();

    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kNotSavedText), 1u);
    EXPECT_EQ(StoredKey(kKeyF1), "2|58");
    EXPECT_EQ(Hex(KeyboardKey(kKeyF1)), Hex(keyboardBefore)) << "what is not kept is not sent";
}

// The LCD folder takes no more files. A small quota folder needs a mount the
// test program cannot make under Wine; the layer's folder is replaced by a
// plain file of the same name instead, so no picture can be written into it.
bool ChoosePictures(void* self, HWND, int kind, std::vector<std::wstring>& paths)
{
    if (kind == 0) paths = *static_cast<std::vector<std::wstring>*>(self);
    return !paths.empty();
}

TEST_F(FaultFixture, AnLcdFolderThatTakesNoFilesStoresNoFrames)
{
    Start("Kestrova-K75-LCD");
    std::vector<std::wstring> pictures;
    for (COLORREF colour : {0x0000FFu, 0x00FF00u}) {
        testutil::PixelBuffer picture;
        picture.width = picture.height = 8;
        picture.pixels.assign(64, 0xFF000000u | colour);
        pictures.push_back(GetDataFolder() + L"pick" + std::to_wstring(pictures.size()) + L".png");
        ASSERT_TRUE(testutil::SavePng(picture, pictures.back()));
    }
    Dlg().SetLcdFileChooser(&ChoosePictures, &pictures);
    auto* layers = Dlg().CtlAs<WEXA::LCDViewList>(368);
    auto* strip = Dlg().CtlAs<WEXA::ImageViewList>(381);
    ASSERT_TRUE(layers && strip);
    ASSERT_EQ(harness->SendControlEvent(369, 2), 1);  // a new animation
    const int ledId = Dlg().m_lcdCurrentLedId;
    ASSERT_GT(ledId, 0);
    const std::string folder =
        Sql("SELECT file_dir FROM t_ledlayer_data WHERE led_id = " + std::to_string(ledId) + ";");
    const std::wstring layerFolder = GetDataFolder() + L"led\\" + Wide(model->name) + L"\\" +
                                     Wide(folder.substr(0, folder.size() - 1).c_str());
    ASSERT_TRUE(DeleteFolder(layerFolder));
    ASSERT_TRUE(WriteBytes(layerFolder, "full"));
    shown.clear();

    const int row = layers->GetItemCount() - 1;
    layers->SetCurSel(row);
    harness->SendControlEvent(368, 2, row);  // an empty animation starts with pictures
    harness->SendControlEvent(411, 2);       // save
    Settle();
    DeleteFileW(layerFolder.c_str());
    for (const std::wstring& path : pictures) DeleteFileW(path.c_str());

    EXPECT_TRUE(Responds());
    EXPECT_EQ(CountShown(kNotSavedText), 1u);
    EXPECT_EQ(strip->GetItemCount(), 0) << "no frame stands for a picture that was not written";
    EXPECT_EQ(
        Sql("SELECT COUNT(*) FROM t_ledframe_data WHERE led_id = " + std::to_string(ledId) + ";"),
        "0\n");
}

}  // namespace
}  // namespace faulttest
