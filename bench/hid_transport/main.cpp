// Times a full key-table write (four Fn layers of 384 bytes) through the device
// manager against the simulated keyboard, on a 64-byte and a 32-byte interface, with
// real waits. The yardstick is the protocol's own floor: the pre-command delay and
// the drain of every transfer, plus one millisecond per report.
#include <windows.h>

#include <cstdio>

#include "SimKeyboard.h"
#include "services/hid/HidDeviceManager.h"
#include "../BenchClock.h"

namespace {

const unsigned char kLayerWrites[4] = {0x1B, 0x1D, 0x1F, 0x21};
const int kTableBytes = 384;
const int kRounds = 10;

void Run(int reportBytes)
{
    sim::SimHidBus bus;
    sim::SimKeyboard keyboard(0x4D2E, 0x1001);
    for (unsigned char command : kLayerWrites) keyboard.DefineBlock(command, kTableBytes, true);
    bus.AddKeyboard(keyboard, reportBytes);
    HidDeviceManager manager(bus);
    manager.AddProduct(0x4D2E, 0x1001, L"", 7, 0);
    manager.EnumerateDevice();
    manager.m_opened = 1;
    bus.ClearLog();
    bus.SetRealTime(true);

    unsigned char table[kTableBytes];
    for (int i = 0; i < kTableBytes; ++i) table[i] = static_cast<unsigned char>(i * 13);

    const double start = bench::Milliseconds();
    int failures = 0;
    for (int round = 0; round < kRounds; ++round)
        for (unsigned char command : kLayerWrites)
            if (!manager.TransferData(command, table, kTableBytes)) ++failures;
    const double wallMs = (bench::Milliseconds() - start) / kRounds;
    const double reports = double(bus.Writes().size()) / kRounds;
    const double delayMs = 4 * (2 + 1);  // per transfer: pre-command delay 2 ms, drain 1 ms
    const double floorMs = delayMs + reports * 1.0;
    printf(
        "%d-byte interface: 4 x %d bytes, %.0f reports, wall %.2f ms, floor %.0f ms "
        "(delays %.0f + %.0f reports x 1 ms), ratio %.2f%s\n",
        reportBytes, kTableBytes, reports, wallMs, floorMs, delayMs, reports, wallMs / floorMs,
        failures ? " (transfers failed!)" : "");
}

}  // namespace

int main()
{
    printf("Key-table write (4 Fn layers) against the simulated keyboard, mean of %d runs\n",
           kRounds);
    Run(64);
    Run(32);
    return 0;
}
