#pragma once
// Shared set-up of the device manager tests: a manager over the simulated HID stack
// and a message-only window of our own standing in for the main window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "SimKeyboard.h"
#include "services/hid/HidDeviceManager.h"

namespace hidtest {

const uint16_t kVendor = 0x4D2E;
const uint16_t kKeyboardPid = 0x1001;
const uint16_t kReceiverPid = 0x2001;
const int kType = 7;

class HidFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
        ASSERT_TRUE(window != nullptr);
        manager.reset(new HidDeviceManager(bus));
        manager->m_hNotifyWnd = window;
    }

    void TearDown() override
    {
        manager.reset();
        DestroyWindow(window);
    }

    // What the main window does for a rescan; the log starts afresh afterwards.
    void Rescan()
    {
        manager->m_currentDevice = nullptr;
        manager->CloseAll();
        manager->EnumerateDevice();
        manager->m_opened = 1;
        manager->m_busy = 0;
        manager->m_selectedDeviceType = 0;
        manager->m_currentDevice = nullptr;
        bus.ClearLog();
    }

    // lParam of every message 1715 posted to the window so far (and removes them).
    std::vector<LPARAM> TakeNotifications()
    {
        std::vector<LPARAM> result;
        MSG msg;
        while (PeekMessageW(&msg, window, HidDeviceManager::kDeviceNotifyMessage,
                            HidDeviceManager::kDeviceNotifyMessage, PM_REMOVE)) {
            EXPECT_EQ(0u, msg.wParam);
            result.push_back(msg.lParam);
        }
        return result;
    }

    std::vector<ConnectedDevice*> Devices()
    {
        std::vector<ConnectedDevice*> list;
        manager->GetDevices(list);
        return list;
    }

    // Timeouts of the reads on one interface, in order.
    std::vector<int> ReadWaits(int index) const
    {
        std::vector<int> waits;
        for (const sim::ReadRecord& r : bus.Reads())
            if (r.interfaceIndex == index) waits.push_back(r.timeoutMs);
        return waits;
    }

    sim::SimHidBus bus;
    std::unique_ptr<HidDeviceManager> manager;
    HWND window = nullptr;
};

// A connected keyboard (direct, mode 0) whose vendor interface has `reportBytes`.
class KeyboardFixture : public HidFixture
{
protected:
    void Connect(int reportBytes)
    {
        port = bus.AddKeyboard(keyboard, reportBytes);
        manager->AddProduct(kVendor, kKeyboardPid, L"", kType, 0);
        Rescan();
        keyboard.ClearLog();
    }

    void TearDown() override
    {
        EXPECT_THAT(keyboard.Verify(), ::testing::IsEmpty());
        HidFixture::TearDown();
    }

    sim::SimKeyboard keyboard{kVendor, kKeyboardPid};
    int port = -1;
};

}  // namespace hidtest
