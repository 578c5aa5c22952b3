#pragma once
// A keyboard owner's first session with the program, against the simulated
// keyboard of one model: the real main window started on an empty data folder
// and driven only as a person drives it (mouse presses at the controls'
// places, keys, menu choices). Helpers here do what the person does and read
// back what the keyboard holds, what the database file holds (through the
// sqlite3 shell) and what the window shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EveryTick.h"
#include "MainWindowHarness.h"
#include "SimKeyboard.h"
#include "SimKeyboardModels.h"

namespace WEXA {
class MControl;
class PaintManager;
class ProfileList;
}  // namespace WEXA

namespace scenario {

// Runs `step` every 15 ms in whatever message loop runs (a modal menu's or
// dialog's) until it returns true or the object goes.
using EveryTick = testutil::EveryTick;

// A left click at a point of a library window's client area (the main
// window, a dialog, a menu). The pointer first moves there; the press only
// follows when the control under it is `expected` or a panel holding it. A
// press with nothing hovered goes to the window itself, which starts moving
// the window (WM_NCLBUTTONDOWN on the caption); Wine's move loop then waits
// for a real button release that a sent WM_LBUTTONUP never gives. That is
// how a press on the Fn-layer selector once hung a test: it came straight
// after the first move the shown window got, which hovers nothing. False,
// with a test failure, when nothing was pressed.
bool ClickIn(HWND window, WEXA::PaintManager* manager, POINT at, WEXA::MControl* expected);
// The same at the middle of a control of that window.
bool ClickControlIn(HWND window, WEXA::PaintManager* manager, WEXA::MControl* control);
// The row of a profile list (main window or profile manager) in that
// window's client coordinates; on its row button with `onButton`.
POINT ProfileRowPoint(WEXA::ProfileList* list, int index, bool onButton);

class Scenario : public ::testing::TestWithParam<sim::SimModel>
{
protected:
    void SetUp() override;
    void TearDown() override;

    KeyboardDlg& Dlg() { return harness->Dlg(); }
    const sim::SimModel& Model() const { return GetParam(); }
    template <class T>
    T* Control(UINT id)
    {
        return Dlg().CtlAs<T>(id);
    }
    // The control and every panel holding it are visible.
    bool Shown(UINT id);

    // ---- what the person does ----
    // A left click at a point of the main window over the control (see ClickIn).
    void ClickAt(POINT at, WEXA::MControl* expected);
    void ClickControl(UINT id);
    // The card of the model on the home page.
    void ClickModelCard();
    // The main tab at the position (the tab must be shown).
    void OpenTab(int position);
    // The key of the keyboard picture that carries `code`.
    void ClickKey(int code);
    // Opens the drop-down of the combo box and clicks the entry carrying
    // `data`, turning the wheel over the list until the entry shows.
    void ChooseFromCombo(UINT id, long data);
    // A click on the category tab of the key-function area.
    void ChooseCategory(int category);
    // A click on the function tile carrying `value`.
    void PickTile(int value);
    // Picks the profile of the row in the profile manager and confirms; with
    // `expectSwitched` the window, the list and the database then name it.
    void SwitchTo(int row, bool expectSwitched = true);
    // Waits until the worker has done what the window asked of it.
    void Settle();
    // Times the worker has taken the task so far.
    size_t TaskCount(int code) const;
    // The cable comes out or goes back in: the bus changes and Windows
    // broadcasts the keyboard's vendor interface.
    void Unplug();
    void PlugBack();

    // The path Windows broadcasts for the keyboard's vendor interface.
    std::wstring VendorPath();

    // ---- what is held ----
    // The model's database file in the data folder.
    std::wstring DbFile() const;
    // Rows the sqlite3 shell prints for the query ('|' between columns).
    std::vector<std::string> Sql(const std::string& query);
    std::string SqlValue(const std::string& query);
    // The 3-byte record of a key in a key table block of the keyboard.
    std::string KeyRecord(uint8_t block, int keyCode);
    int KeyIndex(int keyCode) const;
    int KeyLed(int keyCode) const;
    // The label and colour the keyboard picture shows on a key.
    std::wstring KeyLabel(int keyCode);

    std::unique_ptr<testutil::MainWindowHarness> harness;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    int port = -1;  // the keyboard's vendor interface on the bus
};

// A key as the real keyboard gives it: through the system's input, where the
// macro recording's low-level hook sees it.
void TypeKey(WORD vk, bool up);
// The clock the macro recording reads (the time of each event): `context`
// points at a DWORD the test moves on.
DWORD Tick(void* context);

// A scenario's name for the model it runs on: the model's name without dashes.
std::string ModelTestName(const ::testing::TestParamInfo<sim::SimModel>& info);

// Bytes as "AA 1B 00".
std::string Hex(const uint8_t* bytes, size_t count);
std::string Narrow(const std::wstring& text);

}  // namespace scenario
