#pragma once
// The macro table (command 0x2D): every macro of the model, numbered by its
// position in DeviceDataDB::GetMacros, with its events as 4-byte actions.
//
//   0  AA 55 (00 00 without macros)    2  L, the bytes sent     4  N, macros
//   6  00 00                           8  2 x N event-block positions (0: none)
//   8 + 2N  the event blocks: n (2 bytes), 00 00, n actions
// Action: pause after the event in ms (low 16 bits), then by event type:
//   key pressed <usage> 81, released <usage> 01; modifier pressed <bit> 82,
//   released <bit> 02; mouse button pressed <bit> 83, released <bit> 03; wheel
//   44 07 pressed, 44 01 (up) / 44 FF (down) released; a pause 00 00 00 00.
#include <cstdint>
#include <vector>

class HidDeviceManager;
class DeviceDataDB;

// The table for a keyboard with `storageSize` bytes of macro memory. A macro
// whose event block does not fit whole behind the ones before it gets position 0
// (it is not sent), so the table never holds cut events. Empty without macros.
std::vector<uint8_t> BuildMacroTable(DeviceDataDB& db, int storageSize);

// How many event records the macro `macroId` may hold so that the whole table,
// with every other macro's events as stored and the header and per-macro block
// heads counted, still fits in `storageSize` bytes; 0 when nothing fits.
int MacroRecordRoom(DeviceDataDB& db, int storageSize, int macroId);

// Task 10: AA 10, the table in chunks of the interface's size (24 data bytes on
// a 32-byte interface, 56 on a 64-byte one; the last chunk holds the rest, empty
// when the length is a multiple), each with a 1 ms pause, then AA 11. True when
// the keyboard confirmed every chunk (its answer echoes command and offset with
// the acknowledge status); a chunk not confirmed within the fast wait is sent
// once more as an ordinary command, and one not confirmed then ends the upload
// (false) before the next chunk.
bool UploadMacros(HidDeviceManager& hid, DeviceDataDB& db, int storageSize);
