#pragma once
// A keyboard of one of config.xml's models on the simulated HID stack, a device
// manager over it, a profile database in a private folder, and the codec with
// the English language texts the build places beside the test programs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "SimKeyboard.h"
#include "TempDatabase.h"
#include "mainwnd/device/DeviceInfo.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "mainwnd/device/KeyTables.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

namespace devtest {

using sim::Bytes;

// Text `id` of section "KB.DIALOG" of language\1033.lan beside the test program.
CString EnglishText(int id);

using testutil::EmptyDatabase;
using testutil::TempFolder;

// Everything a test changes in the database, as text (key rows, configuration
// values, light rows), to compare before and after.
std::string DatabaseSnapshot(DeviceDataDB& db);

// Bytes of a block as "AA 55 16 00".
std::string Hex(const uint8_t* bytes, size_t count);
inline std::string Hex(const Bytes& bytes)
{
    return Hex(bytes.data(), bytes.size());
}

class DeviceFixture : public ::testing::Test
{
protected:
    void TearDown() override;

    // Plugs in a keyboard of `model` (its own report size), opens the database
    // and adds profiles 1-3.
    void Connect(const sim::SimModel& model);
    // As the profile load: AA 10, capability, default tables, LED map, key
    // functions of profile 1, AA 11. Everything must succeed.
    void LoadFromKeyboard();
    // Four rows per key of the model (as a new profile gets them): layer 0 the key
    // itself, layers 1-3 empty key rows.
    void AddDefaultKeyRows(int profile);
    // The requests the keyboard got since the last ClearLog, without AA 10 / AA 11.
    std::vector<sim::Request> DataRequests() const;
    std::vector<uint8_t> Commands() const;

    sim::SimHidBus bus;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    std::unique_ptr<HidDeviceManager> manager;
    DeviceDataDB& db = EmptyDatabase();
    std::unique_ptr<KeyFuncCodec> codec;
    KeyMaps maps;
    DeviceInfo info;
    const sim::SimModel* model = nullptr;
    int port = -1;
};

}  // namespace devtest
