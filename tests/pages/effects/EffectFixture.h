#pragma once
// The real main window against a simulated keyboard of one model, with the
// model's database emptied and its default profiles loaded, for the effect page
// (with its music controls and the worker's effect frames) and the
// matrix-screen page.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MainWindowHarness.h"
#include "SimKeyboardModels.h"
#include "services/db/DeviceDataDB.h"

namespace effecttest {

class PageTest : public ::testing::Test
{
protected:
    explicit PageTest(const char* modelName) : model(&sim::Model(modelName)) {}
    void SetUp() override;
    void TearDown() override;

    KeyboardDlg& Dlg() { return h.Dlg(); }
    DeviceDataDB& Db() { return *DeviceDataDB::Instance(); }
    int Profile() { return Dlg().m_currentProfile; }

    // Opens the main tab's page at that position (as a click on the tab does).
    void OpenTab(int position);
    // A left click at a point of the window's client area.
    void ClickAt(int x, int y);
    // A click on the tab item of a vertical tab control (43 pixels per item).
    void ClickTabItem(UINT id, int index);
    // The worker stands still while `read` runs (the bus and the keyboard's
    // memory are not read while it writes).
    template <class F>
    void WithWorkerPaused(F read)
    {
        Dlg().m_workerPaused = 1;
        h.Pump(60);
        read();
        Dlg().m_workerPaused = 0;
    }
    // Effect frames (first report of a 0x2E block write) and matrix frames
    // (0x3C) the keyboard received so far.
    int EffectFrames();
    int MatrixFrames();
    // The keyboard's last effect frame (RGB565 per LED, little-endian).
    std::vector<uint8_t> LastEffectFrame();
    uint16_t LedValue(const std::vector<uint8_t>& frame, int led);
    // Waits (pumping) until the worker has taken the code `count` times in all.
    size_t TaskCount(int code) const;
    bool WaitForTaskCount(int code, size_t count, DWORD timeoutMs = 5000);
    // Compares the window's client area with the reference picture beside the tests.
    void ExpectScreen(const char* reference);

    testutil::MainWindowHarness h;
    const sim::SimModel* model;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    int port = -1;
    std::wstring modelName;
};

}  // namespace effecttest
