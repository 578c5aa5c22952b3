// Profiles of the main window against the simulated keyboard: the load of a new
// database, the apply of task 6 (byte-checked), the frame's profile list with
// its add button and menu, and the profile manager dialog.
#include <algorithm>

#include "KeyboardCtrl.h"
#include "MControlFont.h"
#include "MScroll.h"
#include "MTabCtrl.h"
#include "MenuWnd.h"
#include "ProfileFixture.h"
#include "ProfileList.h"
#include "ScreenshotCompare.h"
#include "mainwnd/device/DeviceCommands.h"
#include "pages/ProfileDlg.h"
#include "services/AppEnvironment.h"

namespace proftest {
namespace {

WEXA::ProfileList* FrameList(KeyboardDlg& dlg)
{
    return dlg.CtlAs<WEXA::ProfileList>(53);
}

std::vector<std::wstring> RowTexts(WEXA::ProfileList* list)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < list->GetItemCount(); ++i)
        texts.push_back(static_cast<const wchar_t*>(list->GetItemText(i)));
    return texts;
}

std::string Hex3(const uint8_t* bytes)
{
    char text[16];
    snprintf(text, sizeof text, "%02X %02X %02X", bytes[0], bytes[1], bytes[2]);
    return text;
}

// The path of the model's cable interface, as its hot-plug notice names it.
std::wstring VendorPath(KeyboardDlg& dlg, const sim::SimModel& model)
{
    for (const DeviceEntry& mode : dlg.m_deviceModes) {
        const size_t at = mode.hidInterface.find(L"&MI_");
        if (mode.vendorId == model.vendorId && mode.productId == model.productId &&
            at != std::wstring::npos)
            return testutil::DevicePathOf(
                model.vendorId, model.productId,
                int(wcstol(mode.hidInterface.c_str() + at + 4, nullptr, 16)));
    }
    return L"";
}

int IndexOf(const sim::SimModel& model, int usage)
{
    for (size_t i = 0; i < model.keyCount; ++i)
        if (model.keys[i].usage == usage) return model.keys[i].keyIndex;
    return -1;
}

TEST_F(ProfileTest, EmptyDatabaseGivesThreeProfilesTheFirstActive)
{
    LoadProfiles();
    std::vector<ProfileData*> rows;
    ASSERT_EQ(Db().GetProfiles(rows), 3);
    const wchar_t* names[] = {L"Profile 1", L"Profile 2", L"Profile 3"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(rows[size_t(i)]->name, names[i]);
        EXPECT_STREQ(rows[size_t(i)]->icon_image, L"icon\\icon_profile.png");
        EXPECT_EQ(rows[size_t(i)]->status, i == 0 ? 1 : 0);
        EXPECT_EQ(Db().CountKeyMacros(rows[size_t(i)]->profile), 4 * KeyCount()) << i;
        CString mode;
        EXPECT_TRUE(Db().GetConfigValue(rows[size_t(i)]->profile, L"nimbrel_mode", mode)) << i;
    }
    const int first = rows[0]->profile;
    FreeRecordList(rows);
    EXPECT_EQ(Dlg().m_currentProfile, first);
    WEXA::ProfileList* list = FrameList(Dlg());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(RowTexts(list), (std::vector<std::wstring>{names[0], names[1], names[2]}));
    EXPECT_EQ(list->GetCurData(), first);
    // The load read the keyboard in one sequence.
    const auto& received = keyboard->Received();
    ASSERT_FALSE(received.empty());
    EXPECT_TRUE(keyboard->Violations().empty());
}

TEST_F(ProfileTest, DefaultProfilesUseTheIdsTheDatabaseGave)
{
    // A table emptied by other means: the next ids are 4, 5 and 6.
    for (int i = 0; i < 3; ++i) Db().AddProfile(ProfileData());
    for (int id : ProfileIds()) Db().DeleteProfile(id);
    ASSERT_TRUE(ProfileIds().empty());
    LoadProfiles();
    EXPECT_EQ(ProfileIds(), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(Db().GetActiveProfile(), 4);
    EXPECT_EQ(Dlg().m_currentProfile, 4);
    for (int id : {4, 5, 6}) EXPECT_EQ(Db().CountKeyMacros(id), 4 * KeyCount()) << id;
}

TEST_F(ProfileTest, ApplyWritesTheFourLayerTablesColoursAndSettings)
{
    LoadProfiles();
    const int profile = Dlg().m_currentProfile;
    // Layer 1 of key A (usage 4) does nothing, layer 2 does B; layer 3 of key A
    // is left without a row.
    KeyMacroData row;
    ASSERT_TRUE(Db().GetKeyMacro(profile, 1, 4, row));
    row.macro_value = 0;
    Db().UpdateKeyMacro(row);
    ASSERT_TRUE(Db().GetKeyMacro(profile, 2, 4, row));
    row.macro_value = 5;
    Db().UpdateKeyMacro(row);
    Db().m_db.Exec("DELETE FROM t_key_macro_data WHERE fn_layer = 3 AND key_code = 4");
    // A user mode: the settings block names it, its key colours go out.
    // The apply reloads the lighting page, which takes the mode from the database.
    ASSERT_TRUE(Db().SetActiveLightMode(profile, 0, 129));
    Dlg().m_lightMode = 129;
    UserLightRgbData colour;
    colour.profile = profile;
    colour.userlight_id = 129;
    colour.key_code = 4;
    colour.key_rgb = int(RGB(0x12, 0x34, 0x56));
    Db().InsertUserLightRgb({colour});
    keyboard->ClearLog();
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    Dlg().AppendTask(TASK_APPLY_PROFILE);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, before + 1));

    // Each layer's table went out whole (384 bytes in chunks at rising offsets).
    std::map<int, int> written;
    bool settings = false, colours = false;
    for (const sim::Request& r : keyboard->Received()) {
        if (r.Command() >= 0x1B && r.Command() <= 0x21 && (r.Command() & 1))
            written[r.Command()] += r.Length();
        if (r.Command() == 0x15) settings = true;
        if (r.Command() == 0x25) colours = true;
    }
    EXPECT_EQ(written, (std::map<int, int>{{0x1B, 384}, {0x1D, 384}, {0x1F, 384}, {0x21, 384}}));
    EXPECT_TRUE(settings);
    EXPECT_TRUE(colours);
    const int a = IndexOf(*model, 4);
    ASSERT_GE(a, 0);
    const sim::Bytes defaults = sim::DefaultKeyTable(*model);
    EXPECT_EQ(Hex3(&keyboard->Block(0x1A)[size_t(3 * a)]), "10 00 04");  // A
    EXPECT_EQ(Hex3(&keyboard->Block(0x1C)[size_t(3 * a)]), "10 00 00");  // empty function
    EXPECT_EQ(Hex3(&keyboard->Block(0x1E)[size_t(3 * a)]), "10 00 05");  // B
    EXPECT_EQ(Hex3(&keyboard->Block(0x20)[size_t(3 * a)]), Hex3(&defaults[size_t(3 * a)]));
    // Settings: zone 0 in the user mode (0xFD), slot 1.
    EXPECT_EQ(keyboard->Block(0x14)[2], 0xFD);
    EXPECT_EQ(keyboard->Block(0x14)[10], 1);
    // Colours: 3 bytes at 3 x the key's LED in slot 1's table.
    int led = -1;
    for (size_t i = 0; i < model->keyCount; ++i)
        if (model->keys[i].usage == 4) led = model->keys[i].led;
    ASSERT_GE(led, 0);
    EXPECT_EQ(Hex3(&keyboard->Block(0x24)[size_t(3 * led)]), "12 34 56");
    EXPECT_TRUE(keyboard->Violations().empty());
}

// An apply that an unplug cuts short: where the cable comes out, what the case
// prepares before the switch to the second profile, what the keyboard holds
// while it is out, and what the keyboard and the database hold once it is back
// and picked.
class CutApplyTest;
struct CutApply
{
    const char* name;
    int cutAt;  // the block whose write the unplug fails
    void (CutApplyTest::*prepare)(int first, int second);
    void (CutApplyTest::*whileOut)();
    void (CutApplyTest::*afterwards)(int first, int second, int current);
};

class CutApplyTest : public ProfileTest, public ::testing::WithParamInterface<CutApply>
{
public:
    // The second profile has key A as B on layers 0 and 2; the first keeps A.
    // The keyboard goes while the second profile's layer 2 is written: layers
    // 0 and 1 already hold the second profile, 2 and 3 the first.
    void PrepareKeys(int first, int second)
    {
        for (int layer : {0, 2}) {
            KeyMacroData row;
            ASSERT_TRUE(Db().GetKeyMacro(second, layer, 4, row));
            row.macro_type = 2;
            row.macro_value = 5;
            row.macro_desc = L"B";
            Db().UpdateKeyMacro(row);
        }
        firstA0_ = StoredA(first, 0);
        firstA2_ = StoredA(first, 2);
        ASSERT_NE(firstA0_, 5);
        // What the keyboard holds of the first profile.
        keyboardA0_ = KeyboardA(0x1A);
        keyboardA2_ = KeyboardA(0x1E);
    }
    void KeysWhileOut() { EXPECT_EQ(KeyboardA(0x1A), "10 00 05") << "layer 0 went out"; }
    void KeysAfterwards(int first, int second, int current)
    {
        EXPECT_EQ(StoredA(first, 0), firstA0_);
        EXPECT_EQ(StoredA(first, 2), firstA2_);
        EXPECT_EQ(StoredA(second, 0), 5);
        EXPECT_EQ(StoredA(second, 2), 5);
        // The keyboard holds the current profile on every layer.
        EXPECT_EQ(KeyboardA(0x1A), current == second ? std::string("10 00 05") : keyboardA0_);
        EXPECT_EQ(KeyboardA(0x1E), current == second ? std::string("10 00 05") : keyboardA2_);
    }

    // The keyboard runs the first profile's rainbow; the second profile is
    // static. Its keys go out; the cable comes out at its lighting.
    void PrepareLighting(int first, int second)
    {
        ASSERT_TRUE(Db().SetActiveLightMode(first, 0, kRainbow));
        ASSERT_TRUE(Db().SetActiveLightMode(second, 0, kStatic));
        Dlg().m_lightMode = kRainbow;
        const size_t applies = TaskCount(TASK_APPLY_PROFILE);
        Dlg().AppendTask(TASK_APPLY_PROFILE);
        ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, applies + 1));
        ASSERT_EQ(keyboard->Block(0x14)[2], kRainbow);
    }
    void LightingWhileOut()
    {
        EXPECT_EQ(keyboard->Block(0x14)[2], kRainbow)
            << "the keyboard still runs the first profile's";
    }
    // The stored lighting is what the keyboard gets, and the keyboard's stale
    // settings are not stored over it.
    void LightingAfterwards(int first, int second, int current)
    {
        EXPECT_EQ(Db().GetActiveLightMode(first, 0), kRainbow);
        EXPECT_EQ(Db().GetActiveLightMode(second, 0), kStatic);
        EXPECT_EQ(keyboard->Block(0x14)[2], current == second ? kStatic : kRainbow);
    }

private:
    static constexpr int kRainbow = 2, kStatic = 1;

    int StoredA(int profile, int layer)
    {
        KeyMacroData row;
        EXPECT_TRUE(Db().GetKeyMacro(profile, layer, 4, row));
        return row.macro_value;
    }
    std::string KeyboardA(int table)
    {
        const int a = IndexOf(*model, 4);
        EXPECT_GE(a, 0);
        return Hex3(&keyboard->Block(table)[size_t(3 * a)]);
    }

    int firstA0_ = 0, firstA2_ = 0;
    std::string keyboardA0_, keyboardA2_;
};

TEST_P(CutApplyTest, AnApplyCutByAnUnplugIsAppliedAgainAndNeverReadBack)
{
    const CutApply& c = GetParam();
    LoadProfiles();
    const int first = Dlg().m_currentProfile;
    WEXA::ProfileList* list = FrameList(Dlg());
    ASSERT_GE(list->GetItemCount(), 2);
    const int second = list->GetItemData(1);
    ASSERT_NE(second, first);
    (this->*c.prepare)(first, second);
    if (HasFatalFailure()) return;

    keyboard->AddFault(sim::Fault::Unplug, c.cutAt);
    list->SetSelectItem(1);
    const size_t applies = TaskCount(TASK_APPLY_PROFILE);
    h.RecordMessageBoxes();
    h.SendControlEvent(53, 2);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, applies + 1));
    const size_t removals = TaskCount(TASK_DEVICE_REMOVED);
    h.SendDeviceChange(false, VendorPath(Dlg(), *model));
    ASSERT_TRUE(WaitForTaskCount(TASK_DEVICE_REMOVED, removals + 1));
    (this->*c.whileOut)();

    // Plugged in again and picked: the profile now current is written whole,
    // and nothing of the keyboard's half-written state reaches the database.
    const size_t arrivals = TaskCount(TASK_DEVICE_ARRIVED);
    h.Bus().Plug(port);
    h.SendDeviceChange(true, VendorPath(Dlg(), *model));
    ASSERT_TRUE(WaitForTaskCount(TASK_DEVICE_ARRIVED, arrivals + 1));
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    h.SendControlEvent(81, 2);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, before + 1, 10000))
        << "the unfinished apply is done again";
    h.Pump(100);
    (this->*c.afterwards)(first, second, Dlg().m_currentProfile);
}

INSTANTIATE_TEST_SUITE_P(
    CutAt, CutApplyTest,
    ::testing::Values(CutApply{"Keys", 0x1F, &CutApplyTest::PrepareKeys,
                               &CutApplyTest::KeysWhileOut, &CutApplyTest::KeysAfterwards},
                      CutApply{"Lighting", 0x15, &CutApplyTest::PrepareLighting,
                               &CutApplyTest::LightingWhileOut, &CutApplyTest::LightingAfterwards}),
    [](const ::testing::TestParamInfo<CutApply>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, ApplyWritesAllLayersWhateverKeyWritesAreQueued)
{
    LoadProfiles();
    // A single-key write still waiting for its task 8 is not taken by the apply.
    Dlg().m_keyWrites.Push(1, 4);
    keyboard->ClearLog();
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    Dlg().AppendTask(TASK_APPLY_PROFILE);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, before + 1));
    std::map<int, int> written;
    for (const sim::Request& r : keyboard->Received())
        if (r.Command() >= 0x1B && r.Command() <= 0x21 && (r.Command() & 1))
            written[r.Command()] += r.Length();
    EXPECT_EQ(written, (std::map<int, int>{{0x1B, 384}, {0x1D, 384}, {0x1F, 384}, {0x21, 384}}));
    KeyWriteRequest left{0, 0};
    EXPECT_TRUE(Dlg().m_keyWrites.Pop(left));
    EXPECT_EQ(left.fnLayer, 1);
    EXPECT_EQ(left.key, 4);
}

TEST_F(ProfileTest, ApplyWithoutAProfileWritesNothing)
{
    LoadProfiles();
    Dlg().m_currentProfile = 0;
    keyboard->ClearLog();
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    Dlg().AppendTask(TASK_APPLY_PROFILE);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, before + 1));
    for (const sim::Request& r : keyboard->Received()) {
        EXPECT_FALSE(r.Command() >= 0x1B && r.Command() <= 0x23) << int(r.Command());
        EXPECT_NE(r.Command(), 0x15);
    }
}

TEST_F(ProfileTest, RowClickWithoutAProfileChangesNothing)
{
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    const int current = Dlg().m_currentProfile;
    list->SetSelectItem(-1);
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    EXPECT_EQ(h.SendControlEvent(53, 2), 0);
    h.Pump(100);
    EXPECT_EQ(Dlg().m_currentProfile, current);
    EXPECT_EQ(Db().GetActiveProfile(), current);
    EXPECT_EQ(TaskCount(TASK_APPLY_PROFILE), before);
    EXPECT_EQ(Dlg().m_taskQueue.Size(), 0u);
}

TEST_F(ProfileTest, RowClickMakesTheProfileCurrentAndWaitsForTheApply)
{
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    const int third = list->GetItemData(2);
    list->SetSelectItem(2);
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    EXPECT_EQ(h.SendControlEvent(53, 2), 1);  // returns once the worker closed the wait
    EXPECT_EQ(TaskCount(TASK_APPLY_PROFILE), before + 1);
    EXPECT_EQ(Dlg().m_currentProfile, third);
    EXPECT_EQ(Db().GetActiveProfile(), third);
}

TEST_F(ProfileTest, AddFillsTheFirstGapAndStopsAtTen)
{
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    // Shown: Profile 1, Profile 3 (after the second is deleted).
    list->SetSelectItem(1);
    Dlg().DeleteSelectedProfile();
    ASSERT_EQ(RowTexts(list), (std::vector<std::wstring>{L"Profile 1", L"Profile 3"}));
    EXPECT_EQ(h.SendControlEvent(54, 2), 1);
    EXPECT_EQ(RowTexts(list).back(), L"Profile 2");
    const int added = list->GetItemData(2);
    EXPECT_EQ(Dlg().m_currentProfile, added);
    EXPECT_EQ(Db().GetActiveProfile(), added);
    EXPECT_EQ(Db().CountKeyMacros(added), 4 * KeyCount());
    while (list->GetItemCount() < 10) ASSERT_EQ(h.SendControlEvent(54, 2), 1);
    const std::vector<int> ten = ProfileIds();
    MessageBoxAnswer answer(true);
    EXPECT_EQ(h.SendControlEvent(54, 2), 0);
    ASSERT_EQ(answer.titles.size(), 1u);
    EXPECT_EQ(answer.titles[0], L"\x6DFB\x52A0\x914D\x7F6E\x6587\x4EF6");
    EXPECT_EQ(ProfileIds(), ten);
}

TEST_F(ProfileTest, DeleteKeepsTheLastProfileAndSelectsTheRowBefore)
{
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    const std::vector<int> ids = ProfileIds();
    // The first of three: the new first row becomes current.
    list->SetSelectItem(0);
    Dlg().OnProfileMenuCommand(601);
    EXPECT_EQ(ProfileIds(), (std::vector<int>{ids[1], ids[2]}));
    EXPECT_EQ(list->GetSelectItem(), 0);
    EXPECT_EQ(Dlg().m_currentProfile, ids[1]);
    EXPECT_EQ(Db().GetActiveProfile(), ids[1]);
    // The second of two: the first is selected.
    list->SetSelectItem(1);
    Dlg().OnProfileMenuCommand(601);
    EXPECT_EQ(ProfileIds(), (std::vector<int>{ids[1]}));
    EXPECT_EQ(Dlg().m_currentProfile, ids[1]);
    // The last one stays.
    list->SetSelectItem(0);
    Dlg().OnProfileMenuCommand(601);
    EXPECT_EQ(ProfileIds(), (std::vector<int>{ids[1]}));
}

TEST_F(ProfileTest, RowMenuOffersDeleteExportRename)
{
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    const std::vector<int> ids = ProfileIds();
    std::vector<UINT> entries;
    std::vector<std::wstring> titles;
    EveryTick choose([&] {
        HWND window = FindWindowW(L"PavexWindow", L"Menu Window");
        auto* menu = dynamic_cast<WEXA::MenuWnd*>(
            reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        if (!menu || !IsWindowVisible(window)) return false;
        for (UINT id : {601u, 602u, 605u})
            if (menu->GetControl(id)) {
                entries.push_back(id);
                if (auto* entry = dynamic_cast<WEXA::MControlFont*>(menu->GetControl(id)))
                    titles.push_back(static_cast<const wchar_t*>(entry->GetTitle()));
            }
        const CRect rect = menu->GetControl(601)->GetRect();
        const CPoint at((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        return true;
    });
    list->SetSelectItem(2);
    EXPECT_EQ(h.SendControlEvent(53, 9), 1);
    ASSERT_TRUE(h.PumpUntil([&] { return ProfileIds().size() == 2; }));
    EXPECT_EQ(entries, (std::vector<UINT>{601, 602, 605}));
    // In the window's language.
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Delete", L"Export", L"Rename"}));
    EXPECT_EQ(ProfileIds(), (std::vector<int>{ids[0], ids[1]}));
    EXPECT_EQ(Dlg().m_currentProfile, ids[1]);
}

TEST_F(ProfileTest, TheCurrentProfilesRowIsInViewAfterALoad)
{
    // The frame's card shows a few rows; a current profile further down is
    // scrolled into view, and one among the first rows leaves the list at
    // its top.
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    while (list->GetItemCount() < 7) h.SendControlEvent(54, 2);
    const std::vector<int> ids = ProfileIds();
    ASSERT_EQ(ids.size(), 7u);
    const int height = list->GetItemHeight(), view = list->GetRect().Height();
    ASSERT_GT(7 * height, view);
    for (int row : {0, 1, 4, 6}) {
        Db().SetActiveProfile(ids[size_t(row)]);
        LoadProfiles();
        ASSERT_EQ(list->GetSelectItem(), row);
        auto* bar = dynamic_cast<WEXA::MScroll*>(list->GetScrollVertical());
        ASSERT_NE(bar, nullptr);
        const int max = bar->GetScrollMaxRange();
        const int offset =
            max > 0 ? int((long long)(7 * height - view) * bar->GetScrollCurrentPos() / max) : 0;
        EXPECT_LE(offset, row * height) << "row " << row;
        EXPECT_GE(offset + view, (row + 1) * height) << "row " << row;
        if ((row + 1) * height <= view) {
            EXPECT_EQ(offset, 0) << "row " << row;
        }
    }
}

TEST_F(ProfileTest, RenameToEmptyPutsTheStoredNameBack)
{
    LoadProfiles();
    WEXA::ProfileList* list = FrameList(Dlg());
    const int id = list->GetItemData(1);
    list->SetSelectItem(1);
    list->SetItemText(1, L"");
    EXPECT_EQ(Dlg().OnProfileListEvent(29, 0, 1), 0);
    EXPECT_STREQ(list->GetItemText(1), L"Profile 2");
    list->SetItemText(1, L"Profile 1");  // another profile's name is accepted
    EXPECT_EQ(Dlg().OnProfileListEvent(29, 0, 1), 1);
    CString stored;
    ASSERT_TRUE(Db().GetProfileName(id, stored));
    EXPECT_STREQ(stored, L"Profile 1");
}

// ---- the profile manager ----

// Acts in the open profile manager (from its modal loop) once it is shown.
class InManager
{
public:
    explicit InManager(std::function<void(ProfileDlg&)> act)
        : tick_([this, act] {
              HWND window = FindWindowW(L"PavexWindow", kProfileDlgWindowName);
              auto* dialog = dynamic_cast<ProfileDlg*>(DialogOf(window));
              if (!dialog || !IsWindowVisible(window)) return false;
              act(*dialog);
              ran = true;
              return true;
          })
    {}
    bool ran = false;

private:
    EveryTick tick_;
};

TEST_F(ProfileTest, ManagerConfirmWithoutSelectionChangesNothing)
{
    LoadProfiles();
    const int current = Dlg().m_currentProfile;
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    InManager act([](ProfileDlg& dialog) {
        dialog.List()->SetSelectItem(-1);
        dialog.OnMessage(ProfileDlg::kConfirmId, 2, 0, 0);
    });
    EXPECT_EQ(h.SendControlEvent(50, 2), 1);
    EXPECT_TRUE(act.ran);
    h.Pump(100);
    EXPECT_EQ(Dlg().m_currentProfile, current);
    EXPECT_EQ(Db().GetActiveProfile(), current);
    EXPECT_EQ(TaskCount(TASK_APPLY_PROFILE), before);
    EXPECT_EQ(Dlg().m_taskQueue.Size(), 0u);
}

TEST_F(ProfileTest, ManagerRowClickWithoutAProfileChangesNothing)
{
    LoadProfiles();
    const int active = Db().GetActiveProfile();
    int chosen = -1;
    LONG result = -1;
    InManager act([&](ProfileDlg& dialog) {
        dialog.List()->SetSelectItem(-1);
        result = dialog.OnMessage(ProfileDlg::kListId, 2, 0, 0);
        chosen = dialog.ChosenProfile();
        dialog.OnMessage(ProfileDlg::kCancelId, 2, 0, 0);
    });
    h.SendControlEvent(50, 2);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(Db().GetActiveProfile(), active);
    EXPECT_EQ(Dlg().m_currentProfile, active);
}

TEST_F(ProfileTest, ManagerConfirmWithAnotherProfileAppliesItOnce)
{
    LoadProfiles();
    const std::vector<int> ids = ProfileIds();
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    InManager act([](ProfileDlg& dialog) {
        dialog.List()->SetSelectItem(1);
        dialog.OnMessage(ProfileDlg::kListId, 2, 0, 1);
        dialog.OnMessage(ProfileDlg::kConfirmId, 2, 0, 0);
    });
    h.SendControlEvent(50, 2);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, before + 1));
    h.Pump(100);
    EXPECT_EQ(TaskCount(TASK_APPLY_PROFILE), before + 1);
    EXPECT_EQ(Dlg().m_currentProfile, ids[1]);
    EXPECT_EQ(FrameList(Dlg())->GetCurData(), ids[1]);
}

TEST_F(ProfileTest, ManagerClickThenCancelKeepsTheCurrentProfile)
{
    LoadProfiles();
    const std::vector<int> ids = ProfileIds();
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    InManager act([](ProfileDlg& dialog) {
        dialog.List()->SetSelectItem(2);
        dialog.OnMessage(ProfileDlg::kListId, 2, 0, 2);
        dialog.OnMessage(ProfileDlg::kCloseId, 2, 0, 0);
    });
    h.SendControlEvent(50, 2);
    h.Pump(100);
    EXPECT_EQ(Dlg().m_currentProfile, ids[0]);
    EXPECT_EQ(Db().GetActiveProfile(), ids[2]);  // the dialog's click stays in the database
    EXPECT_EQ(TaskCount(TASK_APPLY_PROFILE), before);
}

TEST_F(ProfileTest, ManagerDeletingTheCurrentProfileThenCancelling)
{
    LoadProfiles();
    const std::vector<int> ids = ProfileIds();
    const size_t before = TaskCount(TASK_APPLY_PROFILE);
    InManager act([](ProfileDlg& dialog) {
        dialog.List()->SetSelectItem(0);
        dialog.OnMessage(ProfileDlg::kListId, 9, 0, 0);
        dialog.OnMessage(ProfileDlg::kCancelId, 2, 0, 0);
    });
    h.SendControlEvent(50, 2);
    ASSERT_TRUE(WaitForTaskCount(TASK_APPLY_PROFILE, before + 1));
    EXPECT_EQ(ProfileIds(), (std::vector<int>{ids[1], ids[2]}));
    EXPECT_EQ(Dlg().m_currentProfile, ids[1]);
    EXPECT_EQ(RowTexts(FrameList(Dlg())), (std::vector<std::wstring>{L"Profile 2", L"Profile 3"}));
    EXPECT_EQ(FrameList(Dlg())->GetCurData(), ids[1]);
}

TEST_F(ProfileTest, ManagerOnAnEmptyDatabaseAndItsLimit)
{
    // The dialog's own defaults: three profiles with key rows, the first chosen.
    std::vector<std::wstring> shown;
    int chosen = -1, added = 0;
    MessageBoxAnswer answer(true);
    InManager act([&](ProfileDlg& dialog) {
        shown = RowTexts(dialog.List());
        chosen = dialog.ChosenProfile();
        while (dialog.List()->GetItemCount() < 10)
            if (dialog.OnMessage(ProfileDlg::kAddId, 2, 0, 0) == 1) ++added;
        dialog.OnMessage(ProfileDlg::kAddId, 2, 0, 0);  // the eleventh: refused
        dialog.OnMessage(ProfileDlg::kCancelId, 2, 0, 0);
    });
    h.SendControlEvent(50, 2);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Profile 1", L"Profile 2", L"Profile 3"}));
    const std::vector<int> ids = ProfileIds();
    ASSERT_EQ(ids.size(), 10u);
    EXPECT_EQ(chosen, ids[0]);
    EXPECT_EQ(added, 7);
    for (int id : ids) EXPECT_EQ(Db().CountKeyMacros(id), 4 * KeyCount()) << id;
    ASSERT_EQ(answer.titles.size(), 1u);
    EXPECT_EQ(answer.titles[0], L"New profile");
    EXPECT_EQ(answer.messages[0], L"You can keep up to 10 profiles.");
    EXPECT_EQ(Db().GetActiveProfile(), ids[9]);
}

TEST_F(ProfileTest, ManagerLooksAsDesigned)
{
    LoadProfiles();
    Db().RenameProfile(ProfileIds()[2],
                       L"\x6211\x7684\x5C08\x5C6C\x914D\x5BD8"
                       L"A");
    bool compared = false;
    DWORD shownAt = 0;
    EveryTick capture([&] {
        HWND window = FindWindowW(L"PavexWindow", kProfileDlgWindowName);
        auto* dialog = dynamic_cast<ProfileDlg*>(DialogOf(window));
        if (!dialog || !IsWindowVisible(window)) return false;
        if (!shownAt) {
            RECT placed;
            GetWindowRect(window, &placed);
            SetCursorPos(placed.right + 50, placed.bottom + 50);
            shownAt = GetTickCount();
            return false;
        }
        if (GetTickCount() - shownAt < 400) return false;
        EXPECT_EQ(RowTexts(dialog->List()),
                  (std::vector<std::wstring>{L"Profile 1", L"Profile 2", L"ProfileA"}));
        RECT area;
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
        testutil::PixelBuffer actual = testutil::CaptureScreen(area);
        testutil::ScreenshotCompare compare;
        compare.AddControls(dialog->GetPaintManager(), window, area);
        EXPECT_TRUE(compare.MatchesReference(
            actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "profile_manager.png")));
        compared = true;
        dialog->OnMessage(ProfileDlg::kCancelId, 2, 0, 0);
        return true;
    });
    h.SendControlEvent(50, 2);
    EXPECT_TRUE(compared);
}

}  // namespace
}  // namespace proftest
