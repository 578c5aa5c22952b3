#include "mainwnd/device/ColourTransfer.h"

#include <cstring>

#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/KeyTables.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

namespace {

bool IsUserMode(int lightMode)
{
    return lightMode >= 128 && lightMode <= 132;
}

COLORREF FromBytes(const uint8_t* rgb)
{
    return RGB(rgb[0], rgb[1], rgb[2]);
}

void PutRgb(uint8_t* at, COLORREF colour)
{
    at[0] = GetRValue(colour);
    at[1] = GetGValue(colour);
    at[2] = GetBValue(colour);
}

void Put565(uint8_t* at, COLORREF colour)
{
    const uint16_t value = Rgb565(colour);
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t(value >> 8);
}

int Brighten(int value, double factor)
{
    const double scaled = value * factor;
    return scaled > 255.0 ? 255 : static_cast<int>(scaled);
}

}  // namespace

uint16_t Rgb565(COLORREF colour)
{
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    return uint16_t(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

int BuildEffectFrame(const std::vector<KeyColour>& items, const std::map<int, int>& keyCodeToLed,
                     int deviceType, uint8_t* frame)
{
    memset(frame, 0, kEffectFrameBuffer);
    long long length = deviceType == 102 ? kMatrixModelFrameLength : 2LL * items.size();
    for (const KeyColour& item : items) {
        auto led = keyCodeToLed.find(item.keyCode);
        if (led == keyCodeToLed.end() || led->second < 0) continue;
        const long long at = 2LL * led->second;
        if (at + 2 > kEffectFrameBuffer) continue;
        Put565(frame + at, item.colour);
        if (at + 2 > length) length = at + 2;
    }
    return static_cast<int>(length > kEffectFrameBuffer ? kEffectFrameBuffer : length);
}

void ColourTransfer::ReopenIfNeeded()
{
    if (!m_reopenSession.exchange(0)) return;
    BeginDeviceSession(m_hid);
}

bool ColourTransfer::ReadUserKeyColors(int lightMode, std::map<int, COLORREF>& colours)
{
    uint8_t block[kKeyTableLength] = {};
    bool ok = false;
    {
        DeviceSession session(m_hid);
        if (IsUserMode(lightMode))
            ok =
                m_hid.TransferData(uint8_t(DeviceCommand::kReadUserColours + 2 * (lightMode - 128)),
                                   block, kKeyTableLength);
    }
    if (!ok) return false;
    colours.clear();
    for (const auto& entry : m_maps.ledToKeyCode) {
        const int led = entry.first;
        if (led < 0 || led >= kKeyCount || entry.second <= 0) continue;
        colours[entry.second] = FromBytes(&block[3 * led]);
    }
    return true;
}

bool ColourTransfer::WriteUserKeyColors(int profile, int lightMode)
{
    DeviceSession session(m_hid);
    uint8_t block[kKeyTableLength] = {};
    std::vector<UserLightRgbData*> rows;
    m_db.GetUserLightRgb(profile, lightMode, rows);
    for (const UserLightRgbData* row : rows) {
        auto led = m_maps.keyCodeToLed.find(row->key_code);
        if (led == m_maps.keyCodeToLed.end() || led->second < 0 || led->second >= kKeyCount)
            continue;
        PutRgb(&block[3 * led->second], static_cast<COLORREF>(row->key_rgb));
    }
    FreeRecordList(rows);
    if (!IsUserMode(lightMode)) return false;
    return m_hid.TransferData(uint8_t(DeviceCommand::kWriteUserColours + 2 * (lightMode - 128)),
                              block, kKeyTableLength);
}

bool ColourTransfer::ReadMatrixColors(std::vector<COLORREF>& cells)
{
    uint8_t block[kMatrixPictureLength] = {};
    bool ok;
    {
        DeviceSession session(m_hid);
        ok = m_hid.TransferDataChecked(DeviceCommand::kReadMatrix, block, kMatrixPictureLength);
    }
    if (!ok) return false;
    cells.assign(kMatrixCells, 0);
    for (int id = 0; id < kMatrixCells; ++id) cells[size_t(id)] = FromBytes(&block[3 * id]);
    return true;
}

bool ColourTransfer::WriteMatrixColors(const std::vector<CellColour>& cells)
{
    DeviceSession session(m_hid);
    uint8_t block[kMatrixPictureLength] = {};
    for (const CellColour& cell : cells)
        if (cell.id >= 0 && cell.id < kMatrixCells) PutRgb(&block[3 * cell.id], cell.colour);
    return m_hid.TransferDataChecked(DeviceCommand::kWriteMatrix, block, kMatrixPictureLength);
}

bool ColourTransfer::ReadLiveKeyColors(int lightMode, int generation,
                                       std::map<int, COLORREF>& colours)
{
    if (lightMode >= 128) return false;
    ReopenIfNeeded();
    uint8_t block[kKeyTableLength] = {};
    const uint8_t command =
        generation >= 2 ? DeviceCommand::kLiveColours : DeviceCommand::kLiveColoursGen1;
    if (!m_hid.TransferDataChecked(command, block, kKeyTableLength)) return false;
    colours.clear();
    for (const auto& entry : m_maps.ledToKeyCode) {
        const int led = entry.first;
        if (led < 0 || led >= kKeyCount || entry.second <= 0) continue;
        const uint8_t* rgb = &block[3 * led];
        colours[entry.second] =
            RGB(Brighten(rgb[0], 1.5), Brighten(rgb[1], 1.3), Brighten(rgb[2], 1.2));
    }
    return true;
}

void ColourTransfer::StartEffectStream()
{
    if (m_effectStreamStarted.exchange(true)) return;
    BeginDeviceSession(m_hid);
    SendShortCommand(m_hid, DeviceCommand::kEffectStart, 56);
}

bool ColourTransfer::SendEffectFrame(int deviceType, const std::vector<KeyColour>& items)
{
    ReopenIfNeeded();
    uint8_t frame[kEffectFrameBuffer];
    const int length = BuildEffectFrame(items, m_maps.keyCodeToLed, deviceType, frame);
    if (length <= 0) return true;
    const bool ok = m_hid.TransferDataChecked(DeviceCommand::kEffectFrame, frame, length);
    if (!ok) m_reopenSession = 1;
    return ok;
}

bool ColourTransfer::SendMatrixFrame(int deviceType, const std::vector<CellColour>& cells)
{
    if (deviceType != 102) return false;
    ReopenIfNeeded();
    uint8_t frame[kMatrixFrameLength] = {};
    for (const CellColour& cell : cells)
        if (cell.id >= 0 && cell.id < kMatrixCells) Put565(&frame[2 * cell.id], cell.colour);
    const bool ok =
        m_hid.TransferDataChecked(DeviceCommand::kMatrixFrame, frame, kMatrixFrameLength);
    if (!ok) m_reopenSession = 1;
    return ok;
}
