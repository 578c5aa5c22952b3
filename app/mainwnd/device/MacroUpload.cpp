#include "mainwnd/device/MacroUpload.h"

#include <windows.h>

#include <cstring>

#include "mainwnd/device/DeviceCommands.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"
#include "services/keys/KeyCodeTable.h"

namespace {

void Put16(std::vector<uint8_t>& table, size_t at, int value)
{
    table[at] = uint8_t(value & 0xFF);
    table[at + 1] = uint8_t((value >> 8) & 0xFF);
}

bool IsModifierKey(int virtualKey)
{
    return (virtualKey >= 0xA0 && virtualKey <= 0xA5) || virtualKey == 0x5B || virtualKey == 0x5C;
}

void Action(const MacroRecordData& event, uint8_t* action)
{
    action[0] = uint8_t(event.delay_time & 0xFF);
    action[1] = uint8_t((event.delay_time >> 8) & 0xFF);
    const bool scrollUp = event.desc.Find(L"Scroll Up") >= 0;
    const bool scrollDown = event.desc.Find(L"Scroll Down") >= 0;
    switch (event.type) {
        case 2:
        case 3: {
            const bool pressed = event.type == 2;
            const unsigned int usage = KeyCodeTable::VirtualKeyToHidUsage(event.value);
            if (IsModifierKey(event.value)) {
                action[2] = uint8_t(KeyCodeTable::ModifierUsageToBit(usage) & 0xFF);
                action[3] = pressed ? 0x82 : 0x02;
            } else {
                action[2] = uint8_t(usage & 0xFF);
                action[3] = pressed ? 0x81 : 0x01;
            }
            break;
        }
        case 4:
            if (scrollUp || scrollDown) {
                action[2] = 0x44;
                action[3] = 0x07;
            } else {
                action[2] = uint8_t(event.value & 0xFF);
                action[3] = 0x83;
            }
            break;
        case 5:
            if (scrollUp) {
                action[2] = 0x44;
                action[3] = 0x01;
            } else if (scrollDown) {
                action[2] = 0x44;
                action[3] = 0xFF;
            } else {
                action[2] = uint8_t(event.value & 0xFF);
                action[3] = 0x03;
            }
            break;
        default: action[0] = action[1] = action[2] = action[3] = 0; break;
    }
}

}  // namespace

std::vector<uint8_t> BuildMacroTable(DeviceDataDB& db, int storageSize)
{
    std::vector<MacroData*> macros;
    db.GetMacros(macros);
    const size_t limit = storageSize > 0 ? size_t(storageSize) : 0;
    const size_t count = macros.size();
    std::vector<uint8_t> table;
    if (count > 0) {
        table.assign(8 + 2 * count, 0);
        table[0] = 0xAA;
        table[1] = 0x55;
        Put16(table, 4, static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            std::vector<MacroRecordData*> events;
            db.GetMacroRecords(macros[i]->macro_id, events);
            const size_t blockSize = 4 + 4 * events.size();
            // Positions are 16-bit; a block that would end past the storage (or
            // past what a position can name) is not sent.
            if (!events.empty() && table.size() + blockSize <= limit && table.size() <= 0xFFFF &&
                events.size() <= 0xFFFF) {
                const size_t at = table.size();
                Put16(table, 8 + 2 * i, static_cast<int>(at));
                table.resize(at + blockSize, 0);
                Put16(table, at, static_cast<int>(events.size()));
                for (size_t e = 0; e < events.size(); ++e)
                    Action(*events[e], &table[at + 4 + 4 * e]);
            }
            FreeRecordList(events);
        }
    }
    FreeRecordList(macros);
    // The header alone may be longer than the storage: it is sent cut, as the
    // length says.
    if (table.size() > limit) table.resize(limit);
    if (table.size() >= 4) Put16(table, 2, static_cast<int>(table.size()));
    return table;
}

int MacroRecordRoom(DeviceDataDB& db, int storageSize, int macroId)
{
    std::vector<MacroData*> macros;
    db.GetMacros(macros);
    long long free =
        static_cast<long long>(storageSize) - 8 - 2 * static_cast<long long>(macros.size());
    for (const MacroData* macro : macros) {
        if (macro->macro_id == macroId) continue;
        const int events = db.CountMacroRecords(macro->macro_id);
        if (events > 0) free -= 4 + 4 * static_cast<long long>(events);
    }
    FreeRecordList(macros);
    free -= 4;  // the head of this macro's own block
    if (free < 4) return 0;
    const long long room = free / 4;
    return room > 0xFFFF ? 0xFFFF : static_cast<int>(room);
}

namespace {

// The keyboard's answer to one chunk confirms it: the command echoed with the
// acknowledge status. A buffer that still holds the request (no answer came)
// carries status byte 0.
bool ChunkConfirmed(const uint8_t* answer, int offset)
{
    return answer[0] == 0xAA && answer[1] == DeviceCommand::kMacroTable &&
           (answer[2] | (answer[3] << 8)) == offset && answer[7] == 0x55;
}

}  // namespace

bool UploadMacros(HidDeviceManager& hid, DeviceDataDB& db, int storageSize)
{
    const std::vector<uint8_t> table = BuildMacroTable(db, storageSize);
    const int length = static_cast<int>(table.size());
    DeviceSession session(hid);
    int chunk = CurrentChunkSize(hid);
    if (chunk <= 0) chunk = 56;
    for (int k = 0; k <= length / chunk; ++k) {
        const int offset = k * chunk;
        const int n = length - offset < chunk ? length - offset : chunk;
        uint8_t request[64];
        BuildCommand(request, DeviceCommand::kMacroTable, offset, n,
                     n > 0 ? table.data() + offset : nullptr, n);
        uint8_t command[64];
        memcpy(command, request, sizeof command);
        bool sent = hid.SendCommandFast(command);
        Sleep(1);
        // A fast chunk waits only 2 ms for its answer: one that was not
        // confirmed in that time goes once more as an ordinary command, which
        // waits as long as any other. Writing the same bytes at the same
        // offset twice leaves the table as once.
        if (sent && !ChunkConfirmed(command, offset)) {
            memcpy(command, request, sizeof command);
            sent = hid.SendCommand(command);
        }
        // Nothing more goes to a keyboard that did not take a chunk.
        if (!sent || !ChunkConfirmed(command, offset)) return false;
    }
    return true;
}
