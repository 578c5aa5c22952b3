#pragma once
// The real main window on its macro page against the simulated Kestrova K87,
// with a fresh model database, and real global input injected with SendInput
// (the process's low-level hooks see it).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "CRecordList.h"
#include "MacroList.h"
#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"
#include "services/db/DeviceDataDB.h"

namespace macrotest {

// Events that the tests inject carry this mark.
constexpr ULONG_PTR kInjectMark = 0x4D61636F;

void SendKey(WORD vk, bool up, WORD scan = 0, DWORD flags = 0);
void SendMouse(DWORD flags, DWORD mouseData = 0);

struct Record
{
    int type;
    int value;
    int delay;
    std::wstring text;
    bool operator==(const Record& o) const
    {
        return type == o.type && value == o.value && delay == o.delay && text == o.text;
    }
};
std::ostream& operator<<(std::ostream& out, const Record& r);

class MacroPageTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the window (shown topmost), picks the keyboard's card and loads the
    // keyboard's capability block and default tables, then shows the macro page.
    void StartWindow(int languageId = 1033);

    KeyboardDlg& Dlg() { return h->Dlg(); }
    DeviceDataDB& Db() { return *DeviceDataDB::Instance(); }
    WEXA::MacroList* Macros() { return Dlg().CtlAs<WEXA::MacroList>(209); }
    WEXA::CRecordList* Events() { return Dlg().CtlAs<WEXA::CRecordList>(220); }
    // Clicks a macro row as a user does.
    void SelectMacro(int row);
    int SelectedMacroId() { return Macros()->GetCurData(); }
    std::vector<Record> ListedRecords();
    std::vector<Record> StoredRecords(int macroId, std::vector<int>* indexes = nullptr);
    // The screen point in the middle of a control.
    POINT CentreOf(UINT id);
    // A point on the screen that nothing reacts to.
    POINT QuietPoint();
    void PressKey(WORD vk, WORD scan = 0, DWORD flags = 0);
    void ReleaseKey(WORD vk, WORD scan = 0, DWORD flags = 0);
    void Settle() { h->Pump(80); }
    // Task codes taken after the mark.
    size_t MarkTasks() { return h->Tasks().size(); }
    std::vector<int> TasksSince(size_t mark);
    // The macro table the keyboard holds, cut to its stated length.
    std::vector<uint8_t> KeyboardMacroTable();

    // Message boxes the page shows are answered at once (closed) and kept
    // here as title and message.
    struct SeenBox
    {
        std::wstring title, message;
    };
    std::vector<SeenBox> boxes;
    static void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR boxTimer = 0;

    std::unique_ptr<testutil::MainWindowHarness> h;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    DWORD clock = 5000;  // the recording's clock
    std::wstring folder;
};

}  // namespace macrotest
