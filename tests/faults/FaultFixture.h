#pragma once
// The real main window with a keyboard of one model on the simulated bus, its
// profile database in the data folder as the program makes it at first start,
// and the message boxes the program shows recorded (and answered with their
// first button). Tests break something on the way (the keyboard, the receiver,
// the data folder) and check that the window still answers, that the user was
// told, and that the database (read by the sqlite3 shell) and the keyboard's
// memory hold only what the keyboard and the disk confirmed.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboard.h"
#include "SimKeyboardModels.h"
#include "services/db/DeviceDataDB.h"

namespace faulttest {

struct Shown
{
    std::wstring message, title;
};

// A model's name as the program spells it.
std::wstring Wide(const char* text);
// The value of text id `id` of section KB.DIALOG in the English language file.
std::wstring English(int id);

class FaultFixture : public ::testing::Test
{
protected:
    void TearDown() override;

    // Removes the model's database and LCD folder from the data folder, plugs in
    // the keyboard (through its receiver with `viaReceiver`) and starts the
    // window with the model picked; waits until its profiles are loaded.
    void Start(const char* modelName, bool viaReceiver = false, bool removeDatabase = true);
    // The window handles a message within a second.
    bool Responds();
    // Waits until the worker has nothing left to do.
    void Settle();

    // ---- driving the custom-key page ----
    void OpenTab(int position);
    bool ClickKey(int keyCode);
    void ChooseCategory(int category);
    void PickTile(int value);
    // The user gives `keyCode` on Fn layer 0 the plain key `newKey`.
    void AssignKey(int keyCode, int newKey);

    // ---- what is stored ----
    std::wstring DatabaseFile() const;
    // The sqlite3 shell's output for the statement on the model's database.
    std::string Sql(const std::string& statement) const;
    // "type|value" of the key's row on layer 0 of the current profile.
    std::string StoredKey(int keyCode) const;
    // The key's 3-byte record in the keyboard's current table of layer 0.
    std::vector<uint8_t> KeyboardKey(int keyCode) const;
    int KeyIndex(int keyCode) const;
    // Messages shown since the start, and the number of them with text `id`.
    size_t CountShown(int id) const;

    KeyboardDlg& Dlg() { return harness->Dlg(); }

    std::unique_ptr<testutil::MainWindowHarness> harness;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    std::unique_ptr<sim::SimReceiver> receiver;
    const sim::SimModel* model = nullptr;
    int port = -1;
    std::vector<Shown> shown;

private:
    static int OnBox(void* self, HWND, const wchar_t* message, const wchar_t* title, int);
};

}  // namespace faulttest
