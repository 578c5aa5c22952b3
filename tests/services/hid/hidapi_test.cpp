// The manager over the real hidapi.dll and the system's HID stack.
#include <gtest/gtest.h>

#include "services/hid/HidApiPlatform.h"
#include "services/hid/HidDeviceManager.h"

namespace {

TEST(HidApiTest, EnumeratesThroughTheRealLibraryWithoutError)
{
    HidApiPlatform& platform = HidApiPlatform::Shared();
    // Whatever the machine has, listing must work and return sane entries.
    for (const HidInterfaceInfo& info : platform.Enumerate(0, 0)) EXPECT_FALSE(info.path.empty());

    HidDeviceManager& manager = HidDeviceManager::Instance();
    EXPECT_EQ(&manager, &HidDeviceManager::Instance());
    manager.AddProduct(0x4D2E, 0x1001, L"", 7, 0);
    manager.EnumerateDevice();
    manager.m_opened = 1;
    std::vector<ConnectedDevice*> list;
    EXPECT_FALSE(manager.GetDevices(list));
    EXPECT_EQ(nullptr, manager.GetCurrentDevice());
    unsigned char command[64] = {0xAA, 0x10};
    EXPECT_FALSE(manager.SendCommand(command));
    manager.CloseAll();
}

TEST(HidApiTest, ReportLengthsOfAMissingInterfaceAreUnknown)
{
    int in = -1, out = -1;
    EXPECT_FALSE(HidApiPlatform::Shared().GetReportLengths("\\\\?\\hid#none#0", &in, &out));
    EXPECT_FALSE(HidApiPlatform::Shared().GetReportLengths("", &in, &out));
    EXPECT_EQ(-1, in);
    EXPECT_EQ(-1, out);
    EXPECT_EQ(nullptr, HidApiPlatform::Shared().OpenPath("\\\\?\\hid#none#0"));
}

}  // namespace
