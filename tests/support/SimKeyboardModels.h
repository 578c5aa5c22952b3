#pragma once
// The keyboard models of config.xml as the simulated keyboard plays them: ids,
// interfaces and features of each model, and the memory a keyboard of that model
// answers with (capability block, settings block, default key tables, key-to-LED
// table, colour and macro memory). Key indexes and LED indexes are those of the
// model's layout file (both come from scripts/generate-keyboards).
//
//   sim::SimKeyboard keyboard(sim::Model("Kestrova-K75-Air"));
//   bus.AddModel(keyboard);                   // its cable interface
//   sim::SimReceiver receiver(keyboard);
//   bus.AddModelReceiver(receiver);           // its 2.4 GHz receiver
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

namespace sim {

using Bytes = std::vector<uint8_t>;

struct SimModelKey
{
    uint16_t usage;    // key code: USB usage, 224-231 modifiers, 240 Fn
    uint8_t keyIndex;  // index in the keyboard's key tables
    uint8_t led;       // LED index
};

struct SimModel
{
    const char* name;    // the model's name in config.xml
    const char* layout;  // its layout file, layouts\<layout>.xml
    int deviceType;
    uint16_t vendorId, productId;  // the keyboard itself (connection mode 0)
    const wchar_t* productString;
    uint16_t receiverVendorId, receiverProductId;  // 0, 0: no receiver
    const wchar_t* receiverProductString;
    int reportBytes;  // 32 or 64, keyboard and receiver alike
    int generation;   // protocol generation in the capability block
    bool battery;     // reports a battery level
    bool lcd;         // has the LCD screen
    bool matrix;      // has the 7 x 7 matrix screen
    int lightBars;    // light-bar LEDs (device types 101 and 102)
    const SimModelKey* keys;
    size_t keyCount;
    int macroUnits;  // macro memory in units of 256 bytes (capability byte 13)

    bool HasReceiver() const { return receiverProductId != 0; }
};

// Test output names a model by its name.
inline void PrintTo(const SimModel& model, std::ostream* out)
{
    *out << model.name;
}

// Every model, in config.xml order.
const std::vector<SimModel>& Models();
// The model of that name; aborts the test program for an unknown name.
const SimModel& Model(const char* name);

// Limits the capability block reports.
const int kBrightnessLimit = 100;
const int kSpeedLimit = 5;

// The blocks a keyboard of the model answers with.
Bytes CapabilityBlock(const SimModel& model);  // command 0x12, 56 bytes
Bytes SettingsBlock(const SimModel& model);    // command 0x14, 64 bytes
Bytes DefaultKeyTable(const SimModel& model);  // commands 0x16-0x19, 384 bytes
Bytes LedTable(const SimModel& model);         // command 0x32, 128 bytes

}  // namespace sim
