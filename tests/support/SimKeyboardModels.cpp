#include "SimKeyboardModels.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sim {

namespace {

#include "SimKeyboardModelKeys.inc"

template <size_t N>
constexpr size_t Count(const SimModelKey (&)[N])
{
    return N;
}

std::vector<SimModel> MakeModels()
{
    // name, layout, type, vid, pid, product, receiver vid, pid, product, report bytes,
    // generation, battery, lcd, matrix, light bars, keys, macro units
    return {
        {"Kestrova-K87", "kestrova_k87", 101, 0x3A7E, 0x8701, L"Kestrova K87", 0, 0, L"", 64, 1,
         false, false, false, 42, kKestrovaK87Keys, Count(kKestrovaK87Keys), 16},
        {"Kestrova-K75-Air", "kestrova_k75_air", 103, 0x3A7E, 0x7501, L"Kestrova K75 Air", 0x3A7E,
         0x75A1, L"Kestrova 2.4G Receiver", 32, 1, true, false, false, 0, kKestrovaK75AirKeys,
         Count(kKestrovaK75AirKeys), 8},
        {"Kestrova-K75-LCD", "kestrova_k75_lcd", 104, 0x3A7E, 0x7521, L"Kestrova K75 LCD", 0x3A7E,
         0x75A2, L"Kestrova 2.4G Receiver", 64, 2, true, true, false, 0, kKestrovaK75LcdKeys,
         Count(kKestrovaK75LcdKeys), 16},
        {"Kestrova-K80-Matrix", "kestrova_k80_matrix", 102, 0x3A7E, 0x8001, L"Kestrova K80 Matrix",
         0, 0, L"", 64, 2, false, false, true, 27, kKestrovaK80MatrixKeys,
         Count(kKestrovaK80MatrixKeys), 16},
        {"Kestrova-K104", "kestrova_k104", 150, 0x3A7E, 0x1041, L"Kestrova K104", 0, 0, L"", 32, 1,
         false, false, false, 0, kKestrovaK104Keys, Count(kKestrovaK104Keys), 4},
    };
}

void Put24(Bytes& block, size_t at, int value)
{
    block[at] = uint8_t(value & 0xFF);
    block[at + 1] = uint8_t((value >> 8) & 0xFF);
    block[at + 2] = uint8_t((value >> 16) & 0xFF);
}

}  // namespace

const std::vector<SimModel>& Models()
{
    static const std::vector<SimModel> models = MakeModels();
    return models;
}

const SimModel& Model(const char* name)
{
    for (const SimModel& model : Models())
        if (std::strcmp(model.name, name) == 0) return model;
    std::fprintf(stderr, "no simulated keyboard model named %s\n", name);
    std::abort();
}

Bytes CapabilityBlock(const SimModel& model)
{
    Bytes block(56, 0);
    block[0] = 0x01;
    block[2] = 0x01;  // version words, not interpreted by the program
    block[4] = 0x02;
    block[6] = 0x03;
    block[8] = uint8_t(model.generation);
    block[13] = uint8_t(model.macroUnits);
    block[16] = kBrightnessLimit;
    block[17] = kSpeedLimit;
    // Zone 2: the light strips (device type 101) or the light bar (102); zone 1: the
    // side lights of device type 101.
    const bool zone2 = model.lightBars > 0;
    const bool zone1 = model.deviceType == 101;
    block[19] = zone2 ? 1 : 0;
    block[25] = zone1 ? 1 : 0;
    if (model.generation < 2) {
        if (zone2) block[21] = kBrightnessLimit, block[22] = kSpeedLimit;
        if (zone1) block[27] = kBrightnessLimit, block[28] = kSpeedLimit;
    } else {
        if (zone2) block[22] = kBrightnessLimit, block[23] = kSpeedLimit;
        if (zone1) block[28] = kBrightnessLimit, block[29] = kSpeedLimit;
        if (model.matrix) {
            block[31] = 1;
            block[35] = kBrightnessLimit;
            block[36] = kSpeedLimit;
        }
    }
    return block;
}

Bytes SettingsBlock(const SimModel& model)
{
    // Bytes no writer owns hold a filler, so a writer that clears them shows.
    Bytes block(64, 0xA5);
    for (int i = 1; i < 42; ++i) block[i] = 0;
    // Keys: static accent blue, brightness 80, speed 3 (stored inverted).
    block[2] = 1;
    block[3] = 80;
    block[4] = uint8_t(kSpeedLimit - 3);
    block[5] = 0;
    block[7] = 0x49, block[8] = 0x77, block[9] = 0xE5;
    if (model.lightBars > 0) {  // zone 2: rainbow
        block[12] = 2, block[13] = 80, block[14] = uint8_t(kSpeedLimit - 3), block[15] = 1;
    }
    if (model.deviceType == 101) {  // zone 1: breathing
        block[21] = 3, block[22] = 80, block[23] = uint8_t(kSpeedLimit - 3), block[24] = 1;
    }
    if (model.generation < 2) {
        block[33] = 1;              // key response
        Put24(block, 35, 10 * 60);  // sleep after 10 minutes
    } else {
        if (model.matrix) {
            block[30] = 1, block[31] = 80, block[32] = uint8_t(kSpeedLimit - 3), block[33] = 1;
            block[35] = 0xFF;
        }
        block[42] = 1;
        Put24(block, 46, 10 * 60);
    }
    return block;
}

Bytes DefaultKeyTable(const SimModel& model)
{
    Bytes table(384, 0);
    for (size_t i = 0; i < model.keyCount; ++i) {
        const SimModelKey& key = model.keys[i];
        uint8_t* record = &table[size_t(key.keyIndex) * 3];
        if (key.usage >= 224 && key.usage <= 231) {
            record[0] = 0x10;
            record[1] = uint8_t(1u << (key.usage - 224));
        } else if (key.usage == 240) {
            record[0] = 0x50;
            record[1] = 0x02;
        } else {
            record[0] = 0x10;
            record[2] = uint8_t(key.usage);
        }
    }
    return table;
}

Bytes LedTable(const SimModel& model)
{
    Bytes table(128, 0xFF);
    for (size_t i = 0; i < model.keyCount; ++i) table[model.keys[i].keyIndex] = model.keys[i].led;
    return table;
}

}  // namespace sim
