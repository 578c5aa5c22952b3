// The effect page as the user drives it: the mode tab, the picture file, the
// capture mode's window list and the preset list; what the database stores and
// what the effect panel and the visualiser are told.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "EffectFixture.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "NimbrelEffect.h"
#include "TabCtrlEx.h"
#include "services/AppEnvironment.h"

namespace effecttest {
namespace {

const int kEffectTab = 3;  // main-tab position of the effect page

class EffectPageTest : public PageTest
{
protected:
    EffectPageTest() : PageTest("Kestrova-K87") {}

    CString StoredMode()
    {
        CString mode;
        Db().GetConfigValue(Profile(), L"nimbrel_mode", mode);
        return mode;
    }
    bool Shown(UINT id) { return Dlg().Ctl(id) && Dlg().Ctl(id)->IsVisible(); }
    WEXA::NimbrelEffect* Panel() { return Dlg().CtlAs<WEXA::NimbrelEffect>(59); }
};

TEST_F(EffectPageTest, EachModeItemStoresItsModeAndShowsItsControls)
{
    OpenTab(kEffectTab);
    const struct
    {
        int item;
        int mode;
        std::set<UINT> shown;  // among the mode-specific controls
        bool render;           // the visualiser draws
    } cases[] = {
        {0, 1, {160, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202}, true},
        {1, 2, {161, 166, 172, 173, 174, 177, 181, 184, 190}, false},
        {2, 3, {}, false},
        {3, 5, {270, 271, 272}, false},
        {0, 1, {160, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202}, true},
    };
    const UINT modeControls[] = {160, 161, 166, 172, 173, 174, 177, 181, 184, 190, 193,
                                 194, 195, 196, 197, 198, 199, 200, 201, 202, 244, 249,
                                 259, 268, 269, 270, 271, 272, 273, 274, 275, 276};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tab item " << c.item);
        ClickTabItem(242, c.item);
        EXPECT_EQ(c.mode, Dlg().m_effectMode);
        EXPECT_EQ(c.mode, Panel()->GetNimbrelMode());
        EXPECT_EQ(std::to_wstring(c.mode), std::wstring(StoredMode()));
        EXPECT_EQ(c.render, Dlg().m_visualizer.IsActive());
        for (UINT id : modeControls)
            EXPECT_EQ(c.shown.count(id) == 1, Shown(id)) << "control " << id;
    }
}

TEST_F(EffectPageTest, ReopeningThePageStoresTheModeAgain)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 3);
    ASSERT_EQ(L"5", std::wstring(StoredMode()));
    Db().SetConfigValue(Profile(), L"nimbrel_mode", L"9");
    OpenTab(1);
    OpenTab(kEffectTab);
    EXPECT_EQ(L"5", std::wstring(StoredMode()));
    EXPECT_TRUE(Shown(271));
}

bool ChooseGiven(void* context, std::wstring& path)
{
    const auto* chosen = static_cast<const std::wstring*>(context);
    if (chosen->empty()) return false;  // cancelled
    path = *chosen;
    return true;
}

TEST_F(EffectPageTest, PictureFileReachesThePanelOnlyWhenItExists)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 3);
    auto* field = Dlg().CtlAs<WEXA::MEdit>(271);
    const std::wstring existing = GetDataFolder() + L"effect picture.gif";
    {
        std::ofstream file(existing.c_str(), std::ios::binary);
        file << "GIF89a";
    }
    std::wstring chosen;
    Dlg().SetPictureChooser(ChooseGiven, &chosen);
    const struct
    {
        std::wstring path;
        LONG result;
        std::wstring field;
    } cases[] = {
        {L"", 0, L""},                            // cancelled
        {GetDataFolder() + L"gone.gif", 0, L""},  // no such file
        {existing, 1, existing},
    };
    for (const auto& c : cases) {
        chosen = c.path;
        EXPECT_EQ(c.result, h.SendControlEvent(272, 2))
            << std::string(c.path.begin(), c.path.end());
        EXPECT_EQ(c.field, std::wstring(field->GetEditText()));
    }
    ASSERT_TRUE(h.Click(272));
    EXPECT_EQ(existing, std::wstring(field->GetEditText()));
    Dlg().SetPictureChooser(nullptr, nullptr);
    DeleteFileW(existing.c_str());
}

HWND TopWindow(const wchar_t* title, int width, int height, bool visible)
{
    HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED | WS_CAPTION, 0, 0, width,
                                  height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window && visible) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

TEST_F(EffectPageTest, CaptureListTakesVisibleTitledLargeWindows)
{
    HWND target = TopWindow(L"Effect capture target", 400, 300, true);
    HWND small = TopWindow(L"Effect capture small", 90, 90, true);
    HWND hidden = TopWindow(L"Effect capture hidden", 400, 300, false);
    HWND untitled = TopWindow(L"", 400, 300, true);
    OpenTab(kEffectTab);
    // Mode 4 has no tab item: the list is filled as its mode switch does.
    auto* list = Dlg().CtlAs<WEXA::MComboBox>(269);
    list->DelAllItems();
    for (HWND w : {target, small, hidden, untitled, h.Window()}) Dlg().AddCaptureWindowItem(w);
    std::set<HWND> listed;
    for (int i = 0; i < list->GetCount(); ++i)
        listed.insert(reinterpret_cast<HWND>(LONG_PTR(list->GetItemData(i))));
    EXPECT_EQ((std::set<HWND>{target, h.Window()}), listed);
    EXPECT_EQ(L"Effect capture target", std::wstring(list->GetItemText(0)));
    // A window that is gone by the time it is picked is not handed on.
    list->SetCurSel(0);
    DestroyWindow(target);
    EXPECT_EQ(1, h.SendControlEvent(269, 2));
    for (HWND w : {small, hidden, untitled}) DestroyWindow(w);
}

TEST_F(EffectPageTest, PresetListSetsThePanelsPreset)
{
    OpenTab(kEffectTab);
    auto* presets = Dlg().CtlAs<WEXA::MComboBox>(274);
    ASSERT_EQ(10, presets->GetCount());
    for (const auto& item : {std::make_pair(0, 2), std::make_pair(5, 8), std::make_pair(9, 13)}) {
        presets->SetCurSel(item.first);
        EXPECT_EQ(1, h.SendControlEvent(274, 2));
        EXPECT_EQ(item.second, Panel()->GetPresetMode());
    }
}

TEST_F(EffectPageTest, ScreenshotOfEachMode)
{
    OpenTab(kEffectTab);
    const char* references[] = {"effect_mode_1.png", "effect_mode_2.png", "effect_mode_3.png",
                                "effect_mode_5.png"};
    for (int item = 0; item < 4; ++item) {
        ClickTabItem(242, item);
        // The visualiser and the panel animate; the picture shows them still.
        Dlg().m_visualizer.SetActive(false);
        Dlg().m_workerPaused = 1;
        h.Pump(50);
        ExpectScreen(references[item]);
        Dlg().m_workerPaused = 0;
    }
}

}  // namespace
}  // namespace effecttest
