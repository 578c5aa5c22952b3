// The matrix-screen page as the user drives it, against the simulated keyboard
// with the matrix screen: the default modes of a new profile, the stream flag
// of the preset mode, the preset list, the painted picture, and the limits the
// keyboard reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <functional>
#include <vector>

#include "CCheckButton.h"
#include "CSwitchButton.h"
#include "CirclePalette.h"
#include "EffectFixture.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MSlider.h"
#include "MatrixScreen.h"

namespace effecttest {
namespace {

const int kMatrixTab = 2;  // main-tab position of the matrix-screen page

class MatrixPageTest : public PageTest
{
protected:
    MatrixPageTest() : PageTest("Kestrova-K80-Matrix") {}

    WEXA::MatrixScreen* Screen() { return Dlg().CtlAs<WEXA::MatrixScreen>(277); }
    WEXA::MComboBox* Modes() { return Dlg().CtlAs<WEXA::MComboBox>(289); }
    WEXA::MComboBox* Presets() { return Dlg().CtlAs<WEXA::MComboBox>(279); }
    bool Shown(UINT id) { return Dlg().Ctl(id) && Dlg().Ctl(id)->IsVisible(); }
    // The worker stands still, so that the queued tasks can be read.
    std::vector<int> QueuedDuring(std::function<void()> action)
    {
        Dlg().m_workerPaused = 1;
        h.Pump(40);
        Dlg().m_taskQueue.Clear();
        action();
        std::vector<int> queued = Dlg().m_taskQueue.Clear();
        Dlg().m_workerPaused = 0;
        return queued;
    }
    void SelectMode(int mode)
    {
        ASSERT_GE(Modes()->FindData(mode), 0) << "mode " << mode;
        Modes()->SelectData(mode);
        h.SendControlEvent(289, 2);
    }
    void Reload()
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        Dlg().LoadMatrixModes();
    }
};

TEST_F(MatrixPageTest, NewProfileGetsTheEightDefaultModes)
{
    OpenTab(kMatrixTab);
    Reload();
    std::vector<LightData*> rows;
    Db().GetLights(Profile(), 16, rows);
    const int modes[] = {0, 1, 2, 3, 4, 5, 6, 128};
    const int caps[] = {0x13, 0x33, 0x33, 0x33, 0x33, 0x131, 0x131, 0x433};
    ASSERT_EQ(8u, rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(modes[i], rows[i]->mode);
        EXPECT_EQ(std::to_wstring(900 + i), std::wstring(rows[i]->name));
        EXPECT_EQ(caps[i], rows[i]->config_func);
        EXPECT_EQ(80, rows[i]->brightness);
        EXPECT_EQ(3, rows[i]->speed);
        EXPECT_EQ(1, rows[i]->colorful);
        EXPECT_EQ(0x0000FF, rows[i]->color_value);
        EXPECT_EQ(modes[i] == 1 ? 1 : 0, rows[i]->status);
    }
    FreeRecordList(rows);
    EXPECT_EQ(8, Modes()->GetCount());
    EXPECT_EQ(1, Modes()->GetCurData());
    EXPECT_EQ(L"Breathing", std::wstring(Modes()->GetItemText(1)));
    EXPECT_EQ(1, Dlg().m_matrixMode);
    EXPECT_EQ(80, Dlg().CtlAs<WEXA::MSlider>(292)->GetProgress());
    EXPECT_EQ(sim::kBrightnessLimit, Dlg().CtlAs<WEXA::MSlider>(292)->GetMaxProgress());
    EXPECT_EQ(3, Dlg().CtlAs<WEXA::MSlider>(294)->GetProgress());
    EXPECT_EQ(1, Dlg().CtlAs<WEXA::CCheckButton>(301)->GetCheck());
    EXPECT_FLOAT_EQ(0.8f, Screen()->GetBrightness());
    EXPECT_EQ(0, Dlg().m_matrixStreaming.load());
}

TEST_F(MatrixPageTest, OnlyThePresetModeStreams)
{
    OpenTab(kMatrixTab);
    Reload();
    const struct
    {
        int mode;
        int streaming;
        int preset;  // the preview's mode
        std::vector<int> tasks;
    } cases[] = {
        {128, 1, 4, {}},
        {2, 0, 6, {TASK_WRITE_MATRIX_MODE}},  // the preview's rainbow
        {128, 1, 4, {}},
        {5, 0, 1, {TASK_WRITE_MATRIX_MODE, TASK_READ_MATRIX_COLORS}},
        {0, 0, 0, {TASK_WRITE_MATRIX_MODE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        const std::vector<int> queued = QueuedDuring([&] { SelectMode(c.mode); });
        EXPECT_EQ(c.streaming, Dlg().m_matrixStreaming.load());
        EXPECT_EQ(c.preset, Screen()->GetPresetMode());
        EXPECT_EQ(c.tasks, queued);
        EXPECT_EQ(c.mode, Db().GetActiveLightMode(Profile(), 16));
        EXPECT_EQ(1, Dlg().CtlAs<WEXA::CSwitchButton>(286)->GetCheck());
    }
    // The preset mode's frames reach the keyboard; the others' do not.
    SelectMode(128);
    int before = MatrixFrames();
    ASSERT_TRUE(h.PumpUntil([&] { return MatrixFrames() >= before + 3; }, 3000));
    SelectMode(3);
    h.Pump(40);
    before = MatrixFrames();
    h.Pump(200);
    EXPECT_EQ(before, MatrixFrames());
}

TEST_F(MatrixPageTest, MusicPresetsSwapSpeedForAmplitude)
{
    OpenTab(kMatrixTab);
    Reload();
    SelectMode(128);
    Db().SetConfigValue(Profile(), L"matrixlight_amplitude", L"35");
    const struct
    {
        int preset;
        bool amplitude;
    } cases[] = {{22, true}, {4, false}, {27, true}, {21, false}, {24, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "preset " << c.preset);
        Presets()->SelectData(c.preset);
        EXPECT_EQ(1, h.SendControlEvent(279, 2));
        EXPECT_EQ(c.preset, Screen()->GetPresetMode());
        CString stored;
        Db().GetConfigValue(Profile(), L"matrixlight_preset_mode", stored);
        EXPECT_EQ(std::to_wstring(c.preset), std::wstring(stored));
        EXPECT_EQ(c.amplitude, Shown(320));
        EXPECT_EQ(c.amplitude, Shown(321));
        EXPECT_EQ(!c.amplitude, Shown(293));
        EXPECT_EQ(!c.amplitude, Shown(294));
        if (c.amplitude) {
            EXPECT_EQ(35, Dlg().CtlAs<WEXA::MSlider>(321)->GetProgress());
        }
    }
    Dlg().CtlAs<WEXA::MSlider>(321)->SetProgress(70);
    h.SendControlEvent(321, 2);
    EXPECT_FLOAT_EQ(70.0f, Screen()->GetAudioAmplitude());
    CString amplitude;
    Db().GetConfigValue(Profile(), L"matrixlight_amplitude", amplitude);
    EXPECT_EQ(L"70", std::wstring(amplitude));
}

TEST_F(MatrixPageTest, DefaultPresetOneIsTheListsFirstItemNotThePaintMode)
{
    OpenTab(kMatrixTab);
    Reload();
    SelectMode(128);
    Presets()->SelectData(13);
    Db().SetConfigValue(Profile(), L"matrixlight_preset_mode", L"1");
    Reload();
    EXPECT_EQ(128, Dlg().m_matrixMode);
    EXPECT_EQ(0, Presets()->GetCurSel());
    EXPECT_EQ(4, Screen()->GetPresetMode());
    EXPECT_EQ(1, Dlg().m_matrixStreaming.load());
}

TEST_F(MatrixPageTest, PaintedPictureIsWrittenOncePerRelease)
{
    OpenTab(kMatrixTab);
    Reload();
    SelectMode(5);
    ASSERT_TRUE(WaitForTaskCount(TASK_READ_MATRIX_COLORS, 1));
    h.Pump(50);
    // A colour is picked, then the preview is painted with it.
    ASSERT_TRUE(h.Click(313));
    EXPECT_EQ(COLORREF(0x00FFFF), Screen()->GetSingleColor());
    std::vector<int> queued = QueuedDuring([&] {
        ASSERT_TRUE(h.Click(277));
        ASSERT_TRUE(h.Click(277));
    });
    EXPECT_EQ((std::vector<int>{TASK_WRITE_MATRIX_COLORS, TASK_WRITE_MATRIX_COLORS}), queued);
    // A click toggles its cell: a third one leaves it painted, and the painted
    // cells reach the keyboard's picture (0x3B writes, read by 0x3A).
    const size_t written = TaskCount(TASK_WRITE_MATRIX_COLORS);
    ASSERT_TRUE(h.Click(277));
    ASSERT_TRUE(WaitForTaskCount(TASK_WRITE_MATRIX_COLORS, written + 1));
    std::vector<uint8_t> picture;
    WithWorkerPaused([&] { picture = keyboard->Block(0x3A); });
    ASSERT_GE(picture.size(), 147u);
    int painted = 0;
    for (const WEXA::MATRIXITEM_INFO* cell : Screen()->GetKeyItems()) {
        EXPECT_EQ(GetRValue(cell->color), picture[size_t(3 * cell->id)]) << "cell " << cell->id;
        EXPECT_EQ(GetGValue(cell->color), picture[size_t(3 * cell->id + 1)]);
        EXPECT_EQ(GetBValue(cell->color), picture[size_t(3 * cell->id + 2)]);
        if (cell->color) ++painted;
    }
    EXPECT_GT(painted, 0);
    SelectMode(2);
    queued = QueuedDuring([&] { ASSERT_TRUE(h.Click(277)); });
    EXPECT_TRUE(queued.empty());
}

// The keyboard's own modes are shown in the preview too, never as a dark
// screen: breathing red at half brightness breathes in red, steady red lights
// every cell red, and a colour picked afterwards is followed.
TEST_F(MatrixPageTest, OwnModesLightThePreview)
{
    OpenTab(kMatrixTab);
    Reload();
    auto cells = [&] {
        std::vector<COLORREF> colours;
        for (const WEXA::MATRIXITEM_INFO* cell : Screen()->GetKeyItems())
            colours.push_back(cell->color);
        return colours;
    };
    auto allRed = [&] {
        const std::vector<COLORREF> c = cells();
        if (c.size() != 49u) return false;
        for (COLORREF colour : c)
            if (colour != c[0] || GetRValue(colour) < 40 || GetGValue(colour) || GetBValue(colour))
                return false;
        return true;
    };
    auto* brightness = Dlg().CtlAs<WEXA::MSlider>(292);
    for (int mode : {1, 0, 4}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        SelectMode(mode);
        ASSERT_TRUE(h.Click(311));  // red
        brightness->SetProgress(brightness->GetMaxProgress() / 2);
        h.SendControlEvent(292, 2);
        EXPECT_TRUE(h.PumpUntil(allRed, 3000))
            << std::hex << cells()[0] << " preview mode " << Screen()->GetPresetMode();
    }
    // A colour picked in a steady mode reaches the cells.
    ASSERT_TRUE(h.Click(314));  // green
    EXPECT_TRUE(h.PumpUntil(
        [&] {
            const std::vector<COLORREF> c = cells();
            return !c.empty() && GetGValue(c[0]) > 40 && GetRValue(c[0]) == 0;
        },
        1000));
    // The rainbow modes light the cells in more than one colour.
    SelectMode(2);
    EXPECT_TRUE(h.PumpUntil(
        [&] {
            const std::vector<COLORREF> c = cells();
            return !c.empty() && std::count(c.begin(), c.end(), c[0]) < 49;
        },
        3000));
}

// The mode list opened and wheeled down shows its last mode ("Animations")
// whole at its bottom.
TEST_F(MatrixPageTest, ModeListScrollsToItsLastEntry)
{
    OpenTab(kMatrixTab);
    Reload();
    ASSERT_TRUE(h.Click(289));
    WEXA::CComboBoxWnd* popup = Modes()->GetDropDown();
    ASSERT_NE(popup, nullptr);
    WEXA::CComboBoxList* list = popup->GetList();
    ASSERT_NE(list, nullptr);
    const int n = list->GetItemCount();
    ASSERT_EQ(n, 8);
    HWND wnd = popup->GetSafeHwnd();
    RECT placed;
    GetWindowRect(wnd, &placed);
    for (int i = 0; i < 10; ++i) {
        SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                     MAKELPARAM(placed.left + 40, placed.top + 40));
        h.Pump(10);
    }
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
    h.Pump(50);
    const CRect area = list->GetRect();
    const CRect last = list->GetItemRect(n - 1);
    EXPECT_EQ(last.bottom, area.bottom)
        << last.top << "-" << last.bottom << " in " << area.top << "-" << area.bottom;
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_LE(area.bottom, client.bottom);
    EXPECT_TRUE(IsWindowVisible(wnd));
}

TEST_F(MatrixPageTest, BrightnessAndSpeedFollowTheMode)
{
    OpenTab(kMatrixTab);
    Reload();
    auto* brightness = Dlg().CtlAs<WEXA::MSlider>(292);
    SelectMode(2);
    brightness->SetProgress(40);
    std::vector<int> queued = QueuedDuring([&] { h.SendControlEvent(292, 2); });
    EXPECT_EQ(std::vector<int>{TASK_WRITE_MATRIX_MODE}, queued);
    LightData row;
    ASSERT_TRUE(Db().GetLight(Profile(), 16, 2, row));
    EXPECT_EQ(40, row.brightness);
    SelectMode(128);
    brightness->SetProgress(25);
    queued = QueuedDuring([&] { h.SendControlEvent(292, 2); });
    EXPECT_TRUE(queued.empty());
    EXPECT_FLOAT_EQ(0.25f, Screen()->GetBrightness());
}

TEST_F(MatrixPageTest, KeyboardWithoutLimitsKeepsTheSliders)
{
    OpenTab(kMatrixTab);
    Reload();
    auto* brightness = Dlg().CtlAs<WEXA::MSlider>(292);
    auto* speed = Dlg().CtlAs<WEXA::MSlider>(294);
    const int brightnessMax = brightness->GetMaxProgress();
    const int speedMax = speed->GetMaxProgress();
    ASSERT_GT(brightnessMax, 0);
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        Dlg().m_deviceInfo.matrixBrightnessLimit = 0;
        Dlg().m_deviceInfo.matrixSpeedLimit = 0;
    }
    Reload();
    EXPECT_EQ(brightnessMax, brightness->GetMaxProgress());
    EXPECT_EQ(speedMax, speed->GetMaxProgress());
    SelectMode(128);
    brightness->SetProgress(50);
    h.SendControlEvent(292, 2);
    const float shown = Screen()->GetBrightness();
    EXPECT_TRUE(std::isfinite(shown));
    EXPECT_FLOAT_EQ(50.0f / float(brightnessMax), shown);
}

TEST_F(MatrixPageTest, ColourFieldsClampAndColourPicksAreNeverLostBehindOtherTasks)
{
    OpenTab(kMatrixTab);
    Reload();
    SelectMode(3);
    auto* red = Dlg().CtlAs<WEXA::MEdit>(308);
    const struct
    {
        const wchar_t* typed;
        const wchar_t* shown;
    } cases[] = {{L"300", L"255"}, {L"-4", L"0"}, {L"17", L"17"}};
    for (const auto& c : cases) {
        red->SetEditText(c.typed);
        h.SendControlEvent(308, 26);
        EXPECT_EQ(c.shown, std::wstring(red->GetEditText()));
    }
    LightData row;
    ASSERT_TRUE(Db().GetLight(Profile(), 16, 3, row));
    EXPECT_EQ(17, GetRValue(row.color_value));
    EXPECT_EQ(0, Dlg().CtlAs<WEXA::CCheckButton>(301)->GetCheck());
    // A colour button with another task queued still sends the colour; quick
    // repeats while its write waits add no second one.
    std::vector<int> queued = QueuedDuring([&] {
        Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
        ASSERT_TRUE(h.Click(313));
        ASSERT_TRUE(h.Click(312));
    });
    EXPECT_EQ((std::vector<int>{TASK_WRITE_PERFORMANCE, TASK_WRITE_MATRIX_MODE}), queued);
    queued = QueuedDuring([&] { ASSERT_TRUE(h.Click(314)); });
    EXPECT_EQ(std::vector<int>{TASK_WRITE_MATRIX_MODE}, queued);
    ASSERT_TRUE(Db().GetLight(Profile(), 16, 3, row));
    EXPECT_EQ(0x00FF00, row.color_value);

    // What the keyboard ends with: the colour picked behind the other task.
    Dlg().m_workerPaused = 1;
    h.Pump(40);
    Dlg().m_taskQueue.Clear();
    Dlg().AppendTask(TASK_WRITE_PERFORMANCE);
    ASSERT_TRUE(h.Click(312));  // 0x0080FF
    Dlg().m_workerPaused = 0;
    ASSERT_TRUE(h.PumpUntil([&] { return Dlg().m_taskQueue.IsEmpty(); }));
    h.Pump(100);
    ASSERT_TRUE(Db().GetLight(Profile(), 16, 3, row));
    EXPECT_EQ(0x0080FF, row.color_value);
    if (Dlg().m_deviceInfo.generation >= 2) {
        // The matrix zone's R, G, B in the settings block.
        const sim::Bytes& block = keyboard->Block(0x14);
        EXPECT_EQ(0xFF, block[35]);
        EXPECT_EQ(0x80, block[36]);
        EXPECT_EQ(0x00, block[37]);
    }
}

TEST_F(MatrixPageTest, Screenshot)
{
    OpenTab(kMatrixTab);
    Reload();
    h.Pump(50);
    ExpectScreen("matrix_page.png");
}

// The wheel's marker stands on the colour the fields show: on arrival, and
// after a default colour is clicked.
TEST_F(MatrixPageTest, WheelMarkerFollowsTheFieldsColour)
{
    OpenTab(kMatrixTab);
    Reload();
    h.Pump(60);  // the wheel is drawn, its colours known
    auto* wheel = Dlg().CtlAs<WEXA::CirclePalette>(304);
    auto fields = [&] {
        std::wstring text;
        for (UINT id : {308u, 309u, 310u})
            text += std::wstring(Dlg().CtlAs<WEXA::MEdit>(id)->GetEditText()) + L" ";
        return text;
    };
    auto markerNear = [&](COLORREF expected) {
        const CRect rect = wheel->GetRect();
        const CPoint at = wheel->GetThumbRect().CenterPoint();
        const COLORREF got = wheel->GetTableColor(at.x - rect.left, at.y - rect.top);
        return std::abs(GetRValue(got) - GetRValue(expected)) <= 60 &&
               std::abs(GetGValue(got) - GetGValue(expected)) <= 60 &&
               std::abs(GetBValue(got) - GetBValue(expected)) <= 60;
    };
    EXPECT_EQ(L"255 0 0 ", fields());
    EXPECT_TRUE(markerNear(0x0000FF)) << "the marker is not on the fields' red";
    ASSERT_TRUE(h.Click(314));  // 0x00FF00: green
    h.Pump(30);
    EXPECT_EQ(L"0 255 0 ", fields());
    EXPECT_EQ(COLORREF(0x00FF00), wheel->GetSelectColor());
    EXPECT_TRUE(markerNear(0x00FF00)) << "the marker did not follow the green swatch";
}

}  // namespace
}  // namespace effecttest
