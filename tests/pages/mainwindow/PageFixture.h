#pragma once
// The real main window with a keyboard of one model connected on the simulated
// bus, its profile database in a private folder, profile 1 read from the
// keyboard (capability block, key tables, LED map, key functions) and the
// keyboard picture holding the model's keys. Tests then drive a page as the
// user does: control events, clicks, the worker's tasks; and check what the
// keyboard received and what the database keeps.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboard.h"
#include "SimKeyboardModels.h"
#include "services/db/DeviceDataDB.h"

namespace pagetest {

class PageFixture : public ::testing::Test
{
protected:
    void TearDown() override;

    // Starts the window with a keyboard of the model, picks its card, opens a
    // fresh database and loads profile 1 from the keyboard.
    void Start(const char* modelName, int showCommand = SW_SHOWNOACTIVATE);
    // Selects the main tab position (as a click on it does) and lets it paint.
    void OpenTab(int position);
    // Runs the worker until the queue is empty and every task taken has run.
    void RunQueuedTasks();
    // The keyboard's requests since the last ClearLog, without AA 10 / AA 11.
    std::vector<sim::Request> DataRequests() const;
    void ClearLog();
    // A left click in the middle of a key of the keyboard picture (its code).
    bool ClickKey(int keyCode);
    // Answers the next message box with the button (1 first, 2 second) while
    // `act` runs; the box's text is returned (empty when none came up).
    std::wstring AnswerMessageBox(int button, const std::function<void()>& act);

    DeviceDataDB& Db() { return *DeviceDataDB::Instance(); }
    KeyboardDlg& Dlg() { return harness->Dlg(); }
    template <class T>
    T* Control(UINT id)
    {
        return Dlg().CtlAs<T>(id);
    }

    std::unique_ptr<testutil::MainWindowHarness> harness;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    const sim::SimModel* model = nullptr;
    std::wstring folder;
};

// Bytes as "AA 1B 00".
std::string Hex(const std::vector<uint8_t>& bytes);
// The value of text id `id` in the language file of `language` beside the test.
std::wstring LanguageText(int language, int id);

}  // namespace pagetest
