#pragma once
// A keyboard owner at the real main window: starts the program on the
// simulated bus, clicks, drags and answers its questions the way a person
// does, and reads back what the keyboard holds (its memory, as the simulated
// keyboard keeps it) and what the database holds (read with the sqlite3
// shell). The program can be quit and started again on the same data folder
// and settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"

namespace lifecycle {

struct Box
{
    std::wstring message, title;
};

class Owner
{
public:
    explicit Owner(const sim::SimModel& model);
    ~Owner();

    // ---- the program ----
    // Starts the window with the keyboard plugged in. A first start runs on an
    // empty data folder with no settings; a later one keeps both.
    bool Start(bool firstStart);
    // The close button, as a user quits; then the window is gone.
    void Quit();
    KeyboardDlg& Dlg() { return harness_->Dlg(); }
    testutil::MainWindowHarness& H() { return *harness_; }
    bool Settle() { return harness_->Settle(); }
    void Pump(DWORD ms) { harness_->Pump(ms); }
    // The window paints what changed (as it does before a person sees it).
    void Paint();
    size_t TaskCount(int code) const;
    bool WaitForTaskCount(int code, size_t count, DWORD timeoutMs = 10000);

    // ---- what a user does ----
    void ClickAt(int x, int y);
    bool Click(UINT id);
    // The main tab's item with that id.
    bool ClickMainTab(int itemId);
    // Item `index` of a vertical strip of tabs (TabCtrlEx, 43 pixels a row).
    bool ClickStripItem(UINT id, int index);
    // A left-button drag between two points of the client area.
    void Drag(POINT from, POINT to);
    // Message boxes are answered with `yes` and recorded.
    std::vector<Box> boxes;
    int answer = 1;
    // Pictures the LCD page's file dialog returns.
    std::vector<std::wstring> pictures;

    // ---- what the keyboard and the database hold ----
    sim::SimKeyboard& Keyboard() { return *keyboard_; }
    // A memory block of the keyboard, read while the worker stands still.
    sim::Bytes Memory(uint8_t command);
    // Requests the keyboard received (a copy, taken while the worker stands still).
    std::vector<sim::Request> Received();
    std::wstring DbFile() const;
    // Rows the sqlite3 shell prints for the query ('|' between columns).
    std::vector<std::string> Sql(const std::string& query) const;
    // Every table's rows, as the shell dumps them.
    std::string DbDump() const;

    const sim::SimModel& model;
    const std::wstring modelName;

private:
    static int OnBox(void* self, HWND, const wchar_t* message, const wchar_t* title, int mode);
    static bool OnChoose(void* self, HWND, int kind, std::vector<std::wstring>& paths);

    std::unique_ptr<sim::SimKeyboard> keyboard_;
    std::unique_ptr<testutil::MainWindowHarness> harness_;
    // The settings the program wrote, kept across a quit.
    std::map<std::wstring, std::vector<BYTE>> settings_;
    std::map<std::wstring, DWORD> settingTypes_;
};

// The lines of one text that the other lacks ("- " before, "+ " after).
std::string ChangedLines(const std::string& before, const std::string& after);

// The texts the window shows, by control id: titles, and the items of tab
// strips and combo boxes ("id#index").
std::map<std::string, std::wstring> ShownTexts(KeyboardDlg& dlg);

}  // namespace lifecycle
