#pragma once
// The keyboard's commands as the program sends them, and the command sequence
// that wraps every device routine.
//
// Every command is a 64-byte buffer: 0xAA, the command byte, a 16-bit
// little-endian offset, a data length, three zero bytes, then up to 56 data
// bytes. HidDeviceManager frames it as a report and carries it in one of four
// ways: a short command (one report, SendCommand), a block transfer
// (TransferData: chunks of 24 or 56 data bytes, each acknowledged), an echo
// block transfer (TransferDataChecked: the answer must echo command and offset)
// and fast chunks the caller builds itself (SendCommandFast, the macro upload).
//
// A routine opens its sequence with AA 10 and closes it with AA 11 whatever
// happened in between; the live-colour read and the streamed frames open one
// only after another routine ran and never close it.
#include <cstdint>

class HidDeviceManager;

namespace DeviceCommand {
enum : uint8_t {
    kOpen = 0x10,              // short: opens a command sequence
    kClose = 0x11,             // short: closes it
    kCapability = 0x12,        // block read, 56 bytes
    kReadSettings = 0x14,      // block read, 64 bytes
    kWriteSettings = 0x15,     // block write, 64 bytes
    kReadDefaultKeys = 0x16,   // + Fn layer: block read, 384 bytes
    kReadKeys = 0x1A,          // + 2 x Fn layer: block read, 384 bytes
    kWriteKeys = 0x1B,         // + 2 x Fn layer: block write, 384 bytes, or short at 3 x index
    kReadUserColours = 0x22,   // + 2 x slot (user mode 128 + slot): block read, 384 bytes
    kWriteUserColours = 0x23,  // + 2 x slot: block write, 384 bytes
    kMacroTable = 0x2D,        // fast chunks
    kEffectFrame = 0x2E,       // echo block write, RGB565 per LED
    kEffectStart = 0x2F,       // short, length byte 56
    kBattery = 0x30,           // block read, 24 bytes
    kFactoryReset = 0x31,      // short, length byte 56
    kLedMap = 0x32,            // block read, 128 bytes: LED of each key index, 0xFF none
    kLiveColours = 0x34,       // echo block read, 384 bytes (generation 2 and later)
    kLiveColoursGen1 = 0x36,   // echo block read, 384 bytes (generation below 2)
    kReadMatrix = 0x3A,        // echo block read, 147 bytes
    kWriteMatrix = 0x3B,       // echo block write, 147 bytes
    kMatrixFrame = 0x3C,       // echo block write, 98 bytes RGB565
    kMatrixModeLead = 0x3D,    // short, length byte 56, ahead of the matrix-mode write
};
}  // namespace DeviceCommand

// Block lengths.
const int kCapabilityLength = 56;
const int kSettingsLength = 64;
const int kKeyTableLength = 384;  // 128 key indexes x 3 bytes
const int kKeyCount = 128;
const int kLedMapLength = 128;
const int kBatteryLength = 24;
const int kMatrixPictureLength = 147;  // 49 cells x R, G, B
const int kMatrixFrameLength = 98;     // 49 cells x RGB565
const int kMatrixCells = 49;

// Fills a 64-byte command buffer: 0xAA, command, offset, length, zeros, then
// `dataLength` bytes of `data` (at most 56).
void BuildCommand(uint8_t* buffer, uint8_t command, int offset = 0, int length = 0,
                  const uint8_t* data = nullptr, int dataLength = 0);

// Sends AA <command> with the length byte as a short command. False when there
// is no keyboard.
bool SendShortCommand(HidDeviceManager& hid, uint8_t command, int length = 0);

// AA 10.
bool BeginDeviceSession(HidDeviceManager& hid);
// AA 11; true.
bool EndDeviceSession(HidDeviceManager& hid);
// AA 11 to the process-wide device manager.
bool EndDeviceSession();

// One command sequence: AA 10 now, AA 11 when the scope ends.
class DeviceSession
{
public:
    explicit DeviceSession(HidDeviceManager& hid) : m_hid(hid) { BeginDeviceSession(hid); }
    ~DeviceSession() { EndDeviceSession(m_hid); }
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

private:
    HidDeviceManager& m_hid;
};

// Data bytes per report of the keyboard commands go to: 24 on a 32-byte
// interface, 56 on a 64-byte one; 0 when there is no keyboard.
int CurrentChunkSize(HidDeviceManager& hid);
