// A keyboard owner's whole life with the program, for each model: the first
// start on an empty data folder, music on the keys, the matrix screen and an
// LCD drawing on the models that have them, another language, an update check
// against the local server, a factory reset, and a quit and a new start on the
// same data. After each step the keyboard's memory and the database (read with
// the sqlite3 shell) agree with what the window shows.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "LCDViewList.h"
#include "ImageView.h"
#include "ImageViewList.h"
#include "MComboBox.h"
#include "MSlider.h"
#include "MatrixScreen.h"
#include "NimbrelEffect.h"
#include "MWindow.h"
#include "Owner.h"
#include "dialogs/CUIMessageBox.h"
#include "ProfileList.h"
#include "ScreenshotCompare.h"
#include "UpdateTestServer.h"
#include "pages/EffectSampling.h"
#include "services/LanguageText.h"
#include "pages/LcdNames.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/AppEnvironment.h"

namespace lifecycle {
namespace {

const COLORREF kFixtureColour = RGB(0x30, 0x80, 0xF0);  // the LCD picture

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (c < 128) {
            out += char(c);
        } else {
            char code[12];
            snprintf(code, sizeof code, "\\u%04x", unsigned(c));
            out += code;
        }
    }
    return out;
}

int Int(const std::string& text)
{
    return atoi(text.c_str());
}

// Titles of the program's own message boxes, each answered yes by AnswerYes
// (a timer while the box's loop runs).
std::vector<std::wstring>& Questions()
{
    static std::vector<std::wstring> questions;
    return questions;
}

void CALLBACK AnswerYes(HWND, UINT, UINT_PTR, DWORD)
{
    HWND window = FindWindowW(nullptr, kMessageBoxWindowName);
    auto* box = dynamic_cast<CUIMessageBox*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    if (!window || !box || !IsWindowVisible(window)) return;
    Questions().push_back(static_cast<const wchar_t*>(box->m_title));
    box->DoOK();
}

class Lifecycle : public ::testing::TestWithParam<const char*>
{
protected:
    Lifecycle() : owner(sim::Model(GetParam())) {}
    static void TearDownTestSuite() { updatetest::StopServer(); }

    KeyboardDlg& Dlg() { return owner.Dlg(); }

    // What the profile list shows: "id|name" per row, as the shell prints them.
    std::vector<std::string> ShownProfiles()
    {
        std::vector<std::string> rows;
        WEXA::ProfileList* list = Dlg().ProfileListCtl();
        for (int i = 0; list && i < list->GetItemCount(); ++i)
            rows.push_back(std::to_string(list->GetItemData(i)) + "|" +
                           Narrow(static_cast<const wchar_t*>(list->GetItemText(i))));
        return rows;
    }
    std::vector<std::string> StoredProfiles()
    {
        std::vector<std::string> rows;
        for (const std::string& row : owner.Sql("SELECT profile, name FROM t_profile_data "
                                                "ORDER BY profile")) {
            const size_t bar = row.find('|');
            const std::string utf8 = row.substr(bar + 1);
            std::wstring name(utf8.size(), L'\0');
            name.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()),
                                                   &name[0], int(name.size()))));
            rows.push_back(row.substr(0, bar) + "|" + Narrow(name));
        }
        return rows;
    }
    int StoredActiveProfile()
    {
        const auto rows = owner.Sql("SELECT profile FROM t_profile_data WHERE status = 1");
        return rows.size() == 1 ? Int(rows[0]) : -1;
    }
    // The four current key tables of the keyboard.
    std::vector<sim::Bytes> KeyTables()
    {
        std::vector<sim::Bytes> tables;
        for (uint8_t command : {0x1A, 0x1C, 0x1E, 0x20}) tables.push_back(owner.Memory(command));
        return tables;
    }
    void ExpectProfilesAgree()
    {
        EXPECT_EQ(StoredProfiles(), ShownProfiles());
        EXPECT_EQ(StoredActiveProfile(), Dlg().m_currentProfile);
        EXPECT_EQ(Dlg().ProfileListCtl()->GetCurData(), Dlg().m_currentProfile);
    }

    void FirstStart();
    void StreamMusic();
    void SetMatrixScreen();
    void DrawLcdFrame();
    void ChangeLanguage();
    void CheckForUpdate();
    void FactoryReset();
    void QuitAndStartAgain();

    Owner owner;
    std::map<std::string, std::wstring> textsAfterSwitch;
};

void Lifecycle::FirstStart()
{
    ASSERT_TRUE(owner.Start(true));
    // The home page offers the plugged keyboard's card; the owner picks it.
    EXPECT_TRUE(Dlg().Ctl(81)->IsVisible());
    const size_t selected = owner.TaskCount(TASK_DEVICE_SELECTED);
    ASSERT_TRUE(owner.Click(81));
    ASSERT_TRUE(owner.WaitForTaskCount(TASK_DEVICE_SELECTED, selected + 1));
    ASSERT_TRUE(owner.Settle());
    ASSERT_TRUE(Dlg().m_deviceConnected);
    EXPECT_EQ(owner.modelName, Dlg().m_modelName);
    EXPECT_EQ(owner.model.deviceType, Dlg().m_deviceType);
    EXPECT_EQ(owner.model.deviceType, ReadDeviceTypeSetting());
    // The new database holds the default profiles the list shows; the keyboard
    // keeps the key tables it came with.
    ASSERT_NE(GetFileAttributesW(owner.DbFile().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(3u, StoredProfiles().size());
    ExpectProfilesAgree();
    const sim::Bytes defaults = sim::DefaultKeyTable(owner.model);
    for (const sim::Bytes& table : KeyTables()) EXPECT_EQ(defaults, table);
    EXPECT_TRUE(owner.Keyboard().Violations().empty());
}

void Lifecycle::StreamMusic()
{
    ASSERT_TRUE(owner.ClickMainTab(2));
    ASSERT_TRUE(owner.ClickStripItem(242, 0));
    ASSERT_EQ(1, Dlg().m_effectMode) << "the first effect tab is the music visualiser";
    // Sound arrives where the capture hands it on: the visualiser's input.
    Visualizer& visualiser = Dlg().m_visualizer;
    visualiser.SetActive(false);
    owner.Pump(40);
    std::vector<float> wave(Visualizer::kInputSize);
    for (int frame = 0; frame < 12; ++frame) {
        for (size_t i = 0; i < wave.size(); ++i)
            wave[i] = float(20000.0 * std::sin(2.0 * M_PI * 24.0 * double(i) / 512.0));
        visualiser.PushSamples(wave.data(), int(wave.size()));
        visualiser.RenderFrame();
    }
    auto frames = [&] {
        int n = 0;
        for (const sim::Request& r : owner.Received())
            n += r.Command() == DeviceCommand::kEffectFrame && r.Offset() == 0;
        return n;
    };
    const int before = frames();
    ASSERT_TRUE(owner.H().PumpUntil([&] { return frames() >= before + 3; }, 5000))
        << "no effect frames reach the keyboard";
    // Each key's LED carries the canvas pixel of its grid cell.
    std::vector<COLORREF> canvas(Visualizer::kPixels);
    visualiser.CopyFrontCanvas(canvas.data());
    const sim::Bytes frame = owner.Memory(DeviceCommand::kEffectFrame);
    const int rows = Dlg().m_keyGridRows, columns = Dlg().m_keyGridColumns;
    ASSERT_GT(rows, 0);
    ASSERT_GT(columns, 0);
    auto* panel = Dlg().CtlAs<WEXA::NimbrelEffect>(59);
    std::vector<WEXA::KEYITEM_INFO> keys;
    panel->EnterCriSec();
    for (const WEXA::KEYITEM_INFO* item : panel->GetKeyItems()) keys.push_back(*item);
    panel->LeaveCriSec();
    int checked = 0, lit = 0;
    for (const WEXA::KEYITEM_INFO& key : keys) {
        if (key.keyCode >= 300 || key.row < 1 || key.row >= std::min(rows, kEffectGridRows) ||
            key.column < 1 || key.column > 23 || key.column >= columns)
            continue;
        auto led = Dlg().m_keyMaps.keyCodeToLed.find(int(key.keyCode));
        if (led == Dlg().m_keyMaps.keyCodeToLed.end()) continue;
        const int step = 62 / rows;
        const int y = int(2 + key.row * step + 0.5 * step);
        const int x = key.column * (255 / columns);
        const COLORREF pixel = canvas[size_t(y * Visualizer::kWidth + x)];
        const size_t at = size_t(2 * led->second);
        ASSERT_LT(at + 1, frame.size());
        EXPECT_EQ(Rgb565(pixel), uint16_t(frame[at] | frame[at + 1] << 8)) << "key " << key.keyCode;
        ++checked;
        lit += pixel != 0;
    }
    EXPECT_GT(checked, 30);
    EXPECT_GT(lit, 0) << "the tone lights no key";
    // The visualiser's settings on the page are the profile's music row.
    const auto row = owner.Sql(
        "SELECT foremode, fore_amplitude, backmode FROM t_musiclayer_data "
        "WHERE profile = " +
        std::to_string(Dlg().m_currentProfile));
    ASSERT_EQ(1u, row.size());
    EXPECT_EQ(row[0], std::to_string(Dlg().CtlAs<WEXA::MComboBox>(194)->GetCurData()) + "|" +
                          std::to_string(10 * Dlg().CtlAs<WEXA::MSlider>(196)->GetProgress()) +
                          "|" + std::to_string(Dlg().CtlAs<WEXA::MComboBox>(200)->GetCurData()));
    EXPECT_TRUE(owner.Keyboard().Violations().empty());
}

void Lifecycle::SetMatrixScreen()
{
    ASSERT_TRUE(owner.ClickMainTab(3));
    ASSERT_TRUE(owner.Settle());
    // The paint mode, a colour, and a click on the screen's picture.
    auto* modes = Dlg().CtlAs<WEXA::MComboBox>(289);
    ASSERT_GE(modes->FindData(5), 0);
    const size_t read = owner.TaskCount(TASK_READ_MATRIX_COLORS);
    modes->SelectData(5);
    owner.H().SendControlEvent(289, 2);
    ASSERT_TRUE(owner.WaitForTaskCount(TASK_READ_MATRIX_COLORS, read + 1));
    owner.Pump(50);
    ASSERT_TRUE(owner.Click(313));
    const size_t written = owner.TaskCount(TASK_WRITE_MATRIX_COLORS);
    ASSERT_TRUE(owner.Click(277));
    ASSERT_TRUE(owner.WaitForTaskCount(TASK_WRITE_MATRIX_COLORS, written + 1));
    ASSERT_TRUE(owner.Settle());
    // The keyboard's picture is the one the screen shows.
    const sim::Bytes picture = owner.Memory(DeviceCommand::kReadMatrix);
    ASSERT_GE(picture.size(), size_t(kMatrixPictureLength));
    int painted = 0;
    for (const WEXA::MATRIXITEM_INFO* cell : Dlg().CtlAs<WEXA::MatrixScreen>(277)->GetKeyItems()) {
        const size_t at = size_t(3 * cell->id);
        EXPECT_EQ(GetRValue(cell->color), picture[at]) << "cell " << cell->id;
        EXPECT_EQ(GetGValue(cell->color), picture[at + 1]) << "cell " << cell->id;
        EXPECT_EQ(GetBValue(cell->color), picture[at + 2]) << "cell " << cell->id;
        painted += cell->color != 0;
    }
    EXPECT_GT(painted, 0);
    // The mode the list shows is the profile's active matrix mode.
    EXPECT_EQ(std::vector<std::string>{"5"},
              owner.Sql("SELECT mode FROM t_light_data WHERE type = 16 AND status = 1 AND "
                        "profile = " +
                        std::to_string(Dlg().m_currentProfile)));
    EXPECT_EQ(5, modes->GetCurData());
    EXPECT_TRUE(owner.Keyboard().Violations().empty());
}

void Lifecycle::DrawLcdFrame()
{
    // The LCD page from its tab (item 6).
    ASSERT_TRUE(owner.ClickMainTab(6));
    owner.Pump(50);
    // A new animation below the screen's, one picture, a stroke of the pen
    // across it, saved.
    auto* layers = Dlg().CtlAs<WEXA::LCDViewList>(368);
    ASSERT_TRUE(owner.Click(369));
    ASSERT_EQ(2, layers->GetItemCount());
    const int ledId = Dlg().m_lcdCurrentLedId;
    ASSERT_GT(ledId, 0);
    // The picture: 160 x 90 pixels of the fixture colour, written for the test.
    testutil::PixelBuffer fixture;
    fixture.width = 160;
    fixture.height = 90;
    fixture.pixels.assign(160 * 90, 0xFF000000u | (GetRValue(kFixtureColour) << 16) |
                                        (GetGValue(kFixtureColour) << 8) |
                                        GetBValue(kFixtureColour));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring picture = std::wstring(temp) + L"kestrova-lifecycle-frame.png";
    ASSERT_TRUE(testutil::SavePng(fixture, picture));
    owner.pictures = {picture};
    owner.Paint();  // the new row is on the screen before the owner clicks it
    const RECT list = layers->GetRect();
    owner.ClickAt((list.left + list.right) / 2, list.top + 150 + 70);
    auto* strip = Dlg().CtlAs<WEXA::ImageViewList>(381);
    ASSERT_EQ(1, strip->GetItemCount()) << "the picture did not become a frame";
    ASSERT_TRUE(owner.Click(391));  // pen
    ASSERT_TRUE(owner.Click(404));  // the first colour
    auto* canvas = Dlg().CtlAs<WEXA::ImageView>(377);
    const COLORREF pen = canvas->GetColorValue();
    ASSERT_NE(pen, kFixtureColour);
    const RECT area = canvas->GetRect();
    const int middleY = (area.top + area.bottom) / 2;
    owner.Drag({area.left + (area.right - area.left) / 4, middleY},
               {area.right - (area.right - area.left) / 4, middleY});
    ASSERT_TRUE(owner.Click(411));  // save
    EXPECT_EQ(0, Dlg().m_lcdDirty);
    // The database's frame is the strip's, and its file shows the stroke.
    const auto frames = owner.Sql(
        "SELECT file_name, frame_index FROM t_ledframe_data WHERE "
        "led_id = " +
        std::to_string(ledId));
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(frames[0], Narrow(static_cast<const wchar_t*>(strip->GetFrameItemName(0))) + "|0");
    const auto layer = owner.Sql(
        "SELECT file_dir, frame_size FROM t_ledlayer_data WHERE led_id = " + std::to_string(ledId));
    ASSERT_EQ(1u, layer.size());
    EXPECT_EQ("1", layer[0].substr(layer[0].find('|') + 1));
    const std::string folder = layer[0].substr(0, layer[0].find('|'));
    const std::wstring file = GetDataFolder() + L"led\\" + owner.modelName + L"\\" +
                              std::wstring(folder.begin(), folder.end()) + L"\\" +
                              std::wstring(frames[0].begin(), frames[0].end() - 2);
    EXPECT_EQ(file, std::wstring(static_cast<const wchar_t*>(strip->GetItemImageFile(0))));
    testutil::PixelBuffer saved;
    ASSERT_TRUE(testutil::LoadPng(file, saved)) << Narrow(file);
    EXPECT_EQ(pen, saved.ColorAt(saved.width / 2, saved.height / 2)) << "the stroke is not saved";
    EXPECT_EQ(kFixtureColour, saved.ColorAt(2, 2));
    EXPECT_EQ(1, layers->GetItemFrameSize(1));
    // Leaving the page by another tab: its panel goes.
    ASSERT_TRUE(owner.ClickMainTab(1));
    EXPECT_FALSE(Dlg().Ctl(77)->IsVisible());
}

void Lifecycle::ChangeLanguage()
{
    const auto english = ShownTexts(Dlg());
    const std::string dumpBefore = owner.DbDump();
    ASSERT_TRUE(owner.Click(42));  // settings
    ASSERT_TRUE(Dlg().Ctl(79)->IsVisible());
    ASSERT_TRUE(owner.Click(418));  // simplified Chinese
    owner.Pump(50);
    EXPECT_EQ(2052, GetCurrentLanguageId());
    EXPECT_EQ(2052, LoadLanguageId());
    textsAfterSwitch = ShownTexts(Dlg());
    // Every list and tab strip of every page has its items in the new
    // language (a list whose items are no language texts keeps them).
    std::map<std::string, std::pair<int, int>> lists;  // id: items, items changed
    for (const auto& text : english) {
        const size_t hash = text.first.find('#');
        if (hash == std::string::npos || text.second.empty()) continue;
        auto& counts = lists[text.first.substr(0, hash)];
        ++counts.first;
        counts.second += textsAfterSwitch[text.first] != text.second;
    }
    // Games, sleep times and key responses are named the same in every language.
    const std::set<std::string> notLanguageTexts = {"276", "350", "353"};
    for (const auto& list : lists) {
        if (notLanguageTexts.count(list.first)) continue;
        EXPECT_GT(list.second.second, 0) << "control " << list.first << ": items still in English";
    }
    EXPECT_GT(lists.size(), 8u);
    // A language is a setting: the database stays as it was.
    EXPECT_EQ("", ChangedLines(dumpBefore, owner.DbDump()));
}

void Lifecycle::CheckForUpdate()
{
    std::string error;
    ASSERT_NE(nullptr, updatetest::Server(&error)) << error;
    Dlg().m_upgradeUrl = updatetest::HttpsUrl(L"/kestrova/same/software-upgrade/", true);
    const std::string dumpBefore = owner.DbDump();
    owner.boxes.clear();
    ASSERT_TRUE(Dlg().Ctl(79)->IsVisible());
    ASSERT_TRUE(owner.Settle());
    const size_t checks = owner.TaskCount(TASK_CHECK_VERSION);
    ASSERT_TRUE(owner.Click(434));
    ASSERT_TRUE(owner.WaitForTaskCount(TASK_CHECK_VERSION, checks + 1, 15000));
    ASSERT_TRUE(owner.H().PumpUntil([&] { return !owner.boxes.empty(); }, 15000))
        << "check result " << Dlg().m_updateCheckResult.load() << ", server version "
        << Narrow(Dlg().m_serverVersion);
    EXPECT_EQ(2, Dlg().m_updateCheckResult.load());
    ASSERT_EQ(1u, owner.boxes.size());
    EXPECT_EQ(std::wstring(GetLanguageText(531)), owner.boxes[0].message);
    EXPECT_EQ(owner.boxes[0].message, std::wstring(Dlg().LangText(531)));
    EXPECT_EQ(0u, owner.TaskCount(TASK_DOWNLOAD_UPDATE));
    EXPECT_EQ("", ChangedLines(dumpBefore, owner.DbDump()));
    ASSERT_TRUE(owner.Click(415));  // back from the settings
}

void Lifecycle::FactoryReset()
{
    ASSERT_TRUE(owner.ClickMainTab(8));
    owner.boxes.clear();
    const size_t resets = owner.TaskCount(TASK_FACTORY_RESET);
    // The question is the program's own box; the owner answers yes.
    Questions().clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 15, &AnswerYes);
    ASSERT_TRUE(owner.Click(333));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(owner.WaitForTaskCount(TASK_FACTORY_RESET, resets + 1));
    ASSERT_EQ(1u, Questions().size()) << "no question before the reset";
    EXPECT_EQ(std::wstring(GetLanguageText(550)), Questions()[0]);

    ASSERT_TRUE(owner.Settle());
    EXPECT_TRUE(Dlg().IsWindowEnabled());
    // The keyboard's memory is the factory's again.
    sim::SimKeyboard factory(owner.model);
    const sim::Bytes defaults = sim::DefaultKeyTable(owner.model);
    for (const sim::Bytes& table : KeyTables()) EXPECT_EQ(defaults, table);
    if (owner.model.matrix) {
        EXPECT_EQ(factory.Block(DeviceCommand::kReadMatrix),
                  owner.Memory(DeviceCommand::kReadMatrix));
    }
    // The database: the three default profiles, shown in the list.
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}),
              owner.Sql("SELECT profile FROM t_profile_data ORDER BY profile"));
    ExpectProfilesAgree();
    EXPECT_EQ(1, Dlg().m_currentProfile);
    if (owner.model.lcd) {
        // The drawing is gone; the stock animation's layers are left: the
        // default one and the screen's animation, listed.
        EXPECT_EQ(1, Dlg().CtlAs<WEXA::LCDViewList>(368)->GetItemCount());
        EXPECT_EQ(std::vector<std::string>{"1"},
                  owner.Sql("SELECT count(*) FROM t_ledlayer_data WHERE type != " +
                            std::to_string(kLcdDefaultLayerType)));
    }
    EXPECT_TRUE(owner.Keyboard().Violations().empty());
}

void Lifecycle::QuitAndStartAgain()
{
    const std::string dump = owner.DbDump();
    const std::vector<std::string> profiles = ShownProfiles();
    const int profile = Dlg().m_currentProfile;
    const std::vector<sim::Bytes> tables = KeyTables();
    owner.Quit();
    ASSERT_TRUE(owner.Start(false));
    // The chosen model is the one shown; its pages come back with its card.
    EXPECT_EQ(owner.model.deviceType, Dlg().m_deviceType);
    if (Dlg().Ctl(81)->IsVisible()) {
        const size_t selected = owner.TaskCount(TASK_DEVICE_SELECTED);
        ASSERT_TRUE(owner.Click(81));
        ASSERT_TRUE(owner.WaitForTaskCount(TASK_DEVICE_SELECTED, selected + 1));
        ASSERT_TRUE(owner.Settle());
    }
    ASSERT_TRUE(Dlg().m_deviceConnected);
    EXPECT_EQ(textsAfterSwitch.empty() ? 1033 : 2052, GetCurrentLanguageId());
    EXPECT_EQ(profiles, ShownProfiles());
    EXPECT_EQ(profile, Dlg().m_currentProfile);
    ExpectProfilesAgree();
    EXPECT_EQ("", ChangedLines(dump, owner.DbDump()));
    EXPECT_EQ(tables, KeyTables());
    // A window built in the language shows what the switch showed; the frame's
    // caption and title keep what they got when the window was built.
    const auto built = ShownTexts(Dlg());
    for (const auto& text : textsAfterSwitch) {
        if (text.first == "37" || text.first == "67") continue;
        auto found = built.find(text.first);
        if (found == built.end()) continue;
        EXPECT_EQ(Narrow(found->second), Narrow(text.second)) << "control " << text.first;
    }
    EXPECT_TRUE(owner.Keyboard().Violations().empty());
}

// Names the step in failures and prints how long the one before took.
#define Step(name)      \
    SCOPED_TRACE(name); \
    Elapsed(name)

void Elapsed(const char* next)
{
    static DWORD last = GetTickCount();
    const DWORD now = GetTickCount();
    printf("[ %5lu ms ] then %s\n", static_cast<unsigned long>(now - last), next);
    last = now;
}

TEST_P(Lifecycle, FromTheFirstStartToAStartAgain)
{
    const sim::SimModel& model = owner.model;
    {
        Step("first start");
        FirstStart();
        if (HasFatalFailure()) return;
    }
    // Models from device type 150 on have no lighting pages.
    if (model.deviceType < 150) {
        Step("music");
        StreamMusic();
        if (HasFatalFailure()) return;
    }
    if (model.matrix) {
        Step("matrix screen");
        SetMatrixScreen();
        if (HasFatalFailure()) return;
    }
    if (model.lcd) {
        Step("LCD drawing");
        DrawLcdFrame();
        if (HasFatalFailure()) return;
    }
    // On a keyboard without lighting pages the window opens on the custom-key
    // page, and there a click on the settings button never comes back: the
    // steps behind the settings page wait until that is found.
    if (model.deviceType < 150) {
        Step("language");
        ChangeLanguage();
        if (HasFatalFailure()) return;
    }
    if (model.deviceType < 150) {
        Step("update check");
        CheckForUpdate();
        if (HasFatalFailure()) return;
    }
    {
        Step("factory reset");
        FactoryReset();
        if (HasFatalFailure()) return;
    }
    {
        Step("quit and start again");
        QuitAndStartAgain();
    }
    Elapsed("the end");
}

INSTANTIATE_TEST_SUITE_P(Models, Lifecycle,
                         ::testing::Values("Kestrova-K87", "Kestrova-K75-Air", "Kestrova-K75-LCD",
                                           "Kestrova-K80-Matrix", "Kestrova-K104"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!isalnum((unsigned char)c)) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace lifecycle
