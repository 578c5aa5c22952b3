#pragma once
// The real main window with the LCD model connected, its database emptied and
// its LCD folders removed, and the page's file dialogs and message boxes
// answered by the test. The data folder's name comes from the software name
// the test runs under (one with non-ASCII characters as well).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"
#include "WindowTestHelpers.h"
#include "services/db/DeviceDataDB.h"
#include "EveryTick.h"

namespace WEXA {
class MDialog;
}

namespace lcdtest {

bool Exists(const std::wstring& path);
// Every file below the folder (paths relative to it) with its bytes.
std::map<std::wstring, std::vector<unsigned char>> FilesBelow(const std::wstring& folder);
// A solid picture of the size and colour (COLORREF) as a PNG file.
bool WriteSolidPng(const std::wstring& path, int width, int height, COLORREF colour);
// The colour of a PNG file's middle pixel (COLORREF); 0xFFFFFFFF when it does not load.
COLORREF MiddleColour(const std::wstring& path);
int GifFrameCount(const std::wstring& path);
WEXA::MDialog* DialogOf(HWND window);

// Runs every 15 ms in whatever message loop runs, until it returns true.
using EveryTick = testutil::EveryTick;

struct BoxRecord
{
    std::wstring message, title;
    int mode;
};

class LcdPageTest : public ::testing::TestWithParam<const wchar_t*>
{
protected:
    void SetUp() override;
    void TearDown() override;

    KeyboardDlg& Dlg() { return h.Dlg(); }
    DeviceDataDB& Db() { return *DeviceDataDB::Instance(); }
    // The profile load on the worker (task 5), which loads the LCD page too.
    void LoadProfiles();
    bool WaitForTaskCount(int code, size_t count, DWORD timeoutMs = 5000);
    size_t TaskCount(int code) const;
    void RemoveLcdFolders();

    std::wstring Data() const { return data; }
    std::wstring ModelFolder() const { return data + L"led\\" + modelName + L"\\"; }
    std::vector<LedLayerData> Layers();
    std::vector<LedFrameData> Frames(int ledId);
    // Pictures the next picture dialog returns (in its order).
    std::wstring SourcePicture(const std::wstring& name, COLORREF colour, int width = 120,
                               int height = 90);

    testutil::MainWindowHarness h;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    std::wstring modelName;
    std::wstring data;
    std::wstring sources;

    // The page's file dialogs: what they return (empty: cancelled).
    std::vector<std::wstring> chosenPictures;
    std::wstring chosenGif;
    std::vector<int> dialogKinds;
    // Message boxes: answered with the front of `answers` (1 when empty).
    std::vector<int> answers;
    std::vector<BoxRecord> boxes;

private:
    static bool Choose(void* self, HWND, int kind, std::vector<std::wstring>& paths);
    static int Box(void* self, HWND, const wchar_t* message, const wchar_t* title, int mode);
};

}  // namespace lcdtest
