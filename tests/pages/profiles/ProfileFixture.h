#pragma once
// The real main window against a simulated keyboard, with the model's profile
// database emptied and the keys of the model on the keyboard picture, and
// helpers that answer the modal boxes the handlers open.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"
#include "services/db/DeviceDataDB.h"
#include "EveryTick.h"

namespace WEXA {
class MDialog;
}

namespace proftest {

// The library dialog that owns a window, null for any other window.
WEXA::MDialog* DialogOf(HWND window);

// Runs every 15 ms in whatever message loop runs, until it returns true.
using EveryTick = testutil::EveryTick;

// Answers every message box that comes up with its first (true) or second
// button and keeps its title and text.
class MessageBoxAnswer
{
public:
    explicit MessageBoxAnswer(bool first);
    std::vector<std::wstring> titles, messages;

private:
    EveryTick tick_;
};

class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    KeyboardDlg& Dlg() { return h.Dlg(); }
    DeviceDataDB& Db() { return *DeviceDataDB::Instance(); }
    // Empties the model's database (ids from 1 again).
    void EmptyDatabase();
    // Runs the profile load on the worker (task 5) and waits for it.
    void LoadProfiles();
    // Waits until the worker has taken `code` `count` times in all.
    bool WaitForTaskCount(int code, size_t count, DWORD timeoutMs = 5000);
    size_t TaskCount(int code) const;
    std::vector<int> ProfileIds();
    int KeyCount() const { return int(model->keyCount); }

    testutil::MainWindowHarness h;
    const sim::SimModel* model = &sim::Model("Kestrova-K87");
    std::unique_ptr<sim::SimKeyboard> keyboard;
    int port = -1;
    std::wstring modelName;
};

}  // namespace proftest
