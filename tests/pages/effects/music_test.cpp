// The effect page's music controls as the user drives them: the visualiser's
// settings reach the visualiser and the profile's music row without the window
// waiting, the light-layer checks and the single colour reach the effect panel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "CCheckButton.h"
#include "CColorButton.h"
#include "CirclePalette.h"
#include "EffectFixture.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MSlider.h"
#include "NimbrelEffect.h"

namespace effecttest {
namespace {

const int kEffectTab = 3;

class MusicTest : public PageTest
{
protected:
    MusicTest() : PageTest("Kestrova-K87") {}

    MusicLayerData Row()
    {
        MusicLayerData row;
        EXPECT_TRUE(Db().GetMusicLayer(Profile(), row));
        return row;
    }
    WEXA::NimbrelEffect* Panel() { return Dlg().CtlAs<WEXA::NimbrelEffect>(59); }
    bool HasLayer(int type)
    {
        for (const WEXA::LIGHTLAYER_INFO& layer : Panel()->GetLightLayers())
            if (layer.type == type) return true;
        return false;
    }
};

TEST_F(MusicTest, NewProfileRowShowsOnTheControls)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    const MusicLayerData row = Row();
    EXPECT_EQ(4, row.foremode);
    EXPECT_EQ(300, row.fore_amplitude);
    EXPECT_EQ(4, Dlg().CtlAs<WEXA::MComboBox>(194)->GetCurData());
    EXPECT_EQ(30, Dlg().CtlAs<WEXA::MSlider>(196)->GetProgress());
    EXPECT_EQ(0, Dlg().CtlAs<WEXA::MComboBox>(200)->GetCurData());
    EXPECT_EQ(100, Dlg().CtlAs<WEXA::MSlider>(202)->GetProgress());
    EXPECT_EQ(100, Dlg().CtlAs<WEXA::MSlider>(198)->GetProgress());
    EXPECT_EQ(300, Dlg().m_visualizer.GetAmplitude());
    EXPECT_EQ(300, Dlg().GetWaveGain());
    EXPECT_EQ(4, Dlg().m_visualizer.GetForegroundScheme());
    EXPECT_EQ(4, Dlg().m_musicForeMode.load());
    // Layer type 1 is set up again with its check.
    EXPECT_TRUE(HasLayer(1));
    EXPECT_EQ(1, Dlg().CtlAs<WEXA::CCheckButton>(161)->GetCheck());
}

TEST_F(MusicTest, VisualiserControlsReachTheVisualiserAndTheRowAtOnce)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 0);
    KeyboardDlg& dlg = Dlg();
    Visualizer& v = dlg.m_visualizer;
    const struct
    {
        UINT id;
        int value;  // combo data or slider position
        int (*setting)(KeyboardDlg&);
        int expectedSetting;
        int MusicLayerData::*field;
        int expectedField;
    } cases[] = {
        {194, 7, [](KeyboardDlg& d) { return d.m_visualizer.GetForegroundScheme(); }, 7,
         &MusicLayerData::foremode, 7},
        {194, 22, [](KeyboardDlg& d) { return d.m_musicForeMode.load(); }, 22,
         &MusicLayerData::foremode, 22},
        {196, 45, [](KeyboardDlg& d) { return d.m_visualizer.GetAmplitude(); }, 450,
         &MusicLayerData::fore_amplitude, 450},
        {196, 45, [](KeyboardDlg& d) { return d.GetWaveGain(); }, 450,
         &MusicLayerData::fore_amplitude, 450},
        {200, 11, [](KeyboardDlg& d) { return d.m_visualizer.GetBackgroundScheme(); }, 11,
         &MusicLayerData::backmode, 11},
        {202, 35, [](KeyboardDlg& d) { return d.m_visualizer.GetBackgroundBrightness(); }, 35,
         &MusicLayerData::backb_right, 35},
        {198, 0, [](KeyboardDlg& d) { return d.m_visualizer.GetForegroundBrightness(); }, 0,
         &MusicLayerData::light_right, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.id << " value " << c.value);
        if (c.id == 194 || c.id == 200)
            dlg.CtlAs<WEXA::MComboBox>(c.id)->SelectData(c.value);
        else
            dlg.CtlAs<WEXA::MSlider>(c.id)->SetProgress(c.value);
        v.SetActive(false);
        const DWORD start = GetTickCount();
        EXPECT_EQ(1, h.SendControlEvent(c.id, 2));
        // The window does not wait for the render thread (it used to sleep
        // 150 ms per change).
        EXPECT_LT(GetTickCount() - start, 100u);
        EXPECT_EQ(c.expectedSetting, c.setting(dlg));
        EXPECT_TRUE(v.IsActive());
        EXPECT_EQ(c.expectedField, Row().*c.field);
    }
}

TEST_F(MusicTest, LayerChecksAddAndRemoveTheirType)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 1);
    auto* check = Dlg().CtlAs<WEXA::CCheckButton>(165);
    ASSERT_EQ(0, check->GetCheck());
    ASSERT_TRUE(h.Click(165));
    EXPECT_EQ(1, check->GetCheck());
    EXPECT_TRUE(HasLayer(5));
    ASSERT_TRUE(h.Click(165));
    EXPECT_EQ(0, check->GetCheck());
    EXPECT_FALSE(HasLayer(5));
    ASSERT_TRUE(h.Click(165));
    EXPECT_TRUE(HasLayer(5));
}

TEST_F(MusicTest, ColourFieldsClampAndEndTheRainbow)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 1);
    ASSERT_TRUE(h.Click(174));
    ASSERT_TRUE(Panel()->GetMusicColorful());
    auto* red = Dlg().CtlAs<WEXA::MEdit>(181);
    auto* green = Dlg().CtlAs<WEXA::MEdit>(182);
    auto* blue = Dlg().CtlAs<WEXA::MEdit>(183);
    red->SetEditText(L"0");
    green->SetEditText(L"x");
    blue->SetEditText(L"300");
    EXPECT_EQ(1, h.SendControlEvent(183, 26));
    EXPECT_EQ(L"255", std::wstring(blue->GetEditText()));
    EXPECT_EQ(RGB(0, 0, 255), Panel()->GetMusicColor());
    EXPECT_FALSE(Panel()->GetMusicColorful());
    EXPECT_EQ(0, Dlg().CtlAs<WEXA::CCheckButton>(174)->GetCheck());
    // Other events of the field change nothing.
    blue->SetEditText(L"12");
    h.SendControlEvent(183, 2);
    EXPECT_EQ(RGB(0, 0, 255), Panel()->GetMusicColor());
    // A default colour button fills the fields.
    ASSERT_TRUE(h.Click(188));  // 0xFF0000: blue
    EXPECT_EQ(COLORREF(0xFF0000), Panel()->GetMusicColor());
    EXPECT_EQ(L"0", std::wstring(red->GetEditText()));
    EXPECT_EQ(L"255", std::wstring(blue->GetEditText()));
}

// The colour area shows one colour in every part: on arrival the fields read
// the red the swatch and the panel start with and the wheel's marker sits on
// red; a default colour moves the marker, the fields and the swatch with it.
TEST_F(MusicTest, FieldsSwatchAndWheelShowOneColour)
{
    OpenTab(kEffectTab);
    ClickTabItem(242, 1);
    h.Pump(60);  // the wheel is drawn, its colours known
    auto* wheel = Dlg().CtlAs<WEXA::CirclePalette>(177);
    auto fields = [&] {
        std::wstring text;
        for (UINT id : {181u, 182u, 183u})
            text += std::wstring(Dlg().CtlAs<WEXA::MEdit>(id)->GetEditText()) + L" ";
        return text;
    };
    auto markerColour = [&] {
        const CRect rect = wheel->GetRect();
        const CPoint at = wheel->GetThumbRect().CenterPoint();
        return wheel->GetTableColor(at.x - rect.left, at.y - rect.top);
    };
    auto similar = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 60 &&
               std::abs(GetGValue(a) - GetGValue(b)) <= 60 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 60;
    };
    EXPECT_EQ(COLORREF(0x0000FF), Panel()->GetMusicColor());
    EXPECT_EQ(COLORREF(0x0000FF), Dlg().CtlAs<WEXA::CColorButton>(173)->GetColor());
    EXPECT_EQ(L"255 0 0 ", fields());
    EXPECT_TRUE(similar(markerColour(), 0x0000FF))
        << "the marker sits on 0x" << std::hex << markerColour() << ", not on red";

    ASSERT_TRUE(h.Click(187));  // 0x00FF00: green
    h.Pump(30);
    EXPECT_EQ(L"0 255 0 ", fields());
    EXPECT_EQ(COLORREF(0x00FF00), wheel->GetSelectColor());
    EXPECT_EQ(COLORREF(0x00FF00), Dlg().CtlAs<WEXA::CColorButton>(173)->GetColor());
    EXPECT_TRUE(similar(markerColour(), 0x00FF00))
        << "the marker sits on 0x" << std::hex << markerColour() << ", not on green";
}

}  // namespace
}  // namespace effecttest
