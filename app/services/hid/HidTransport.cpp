// The report transport of HidDeviceManager: short commands, chunked transfers and
// the notification poll, all on the worker thread.
#include <cstdio>
#include <cstring>
#include <vector>

#include "services/hid/HidDeviceManager.h"

namespace {

// Notifications skipped while one chunk's answer is awaited, at most.
const int kMaxNotificationsPerAnswer = 4;

bool IsNotification(const unsigned char* report, int count)
{
    return count >= 2 && report[0] == 0xAA && report[1] == 0xD0;
}

}  // namespace

void HidDeviceManager::PostNotify(const unsigned char* report, int count, const char* prefix)
{
    // Bytes past what was read count as 0.
    auto at = [&](int i) { return i < count ? report[i] : 0; };
    char line[128];
    snprintf(line, sizeof line, "%s%02X %02X %02X %02X %02X %02X \n", prefix, at(0), at(1), at(8),
             at(9), at(10), at(13));
    OutputDebugStringA(line);
}

int HidDeviceManager::HIDReadTimeout(hid_device* handle, unsigned char* destination, size_t count,
                                     int timeoutMs)
{
    int got = m_platform.ReadTimeout(handle, destination, count, timeoutMs);
    if (got > 0 && IsNotification(destination, got)) {
        PostNotify(destination, got, "HIDReadTimeout: ");
        const bool online = got > 13 && destination[13] == 4;
        HWND window = m_hNotifyWnd;
        if (window) PostMessageW(window, kDeviceNotifyMessage, 0, online ? 1 : 0);
    }
    return got;
}

void HidDeviceManager::Drain(hid_device* handle, int count)
{
    unsigned char scratch[kMaxReport] = {};
    HIDReadTimeout(handle, scratch, static_cast<size_t>(count), 1);
}

bool HidDeviceManager::ShortCommand(unsigned char* command, bool fast)
{
    m_busy = 1;
    hid_device* handle = GetCurrentDevice();
    if (!handle) return false;  // the busy flag stays set; the next rescan clears it
    int inputLength, outputLength;
    ReportLengths(handle, &inputLength, &outputLength);
    // Buffers hold at least id + 64 payload bytes, and the whole report either way.
    int bufferSize = inputLength > outputLength ? inputLength : outputLength;
    if (bufferSize < 65) bufferSize = 65;

    if (!fast) m_platform.Sleep(m_commandDelay);
    Drain(handle, fast ? 65 : inputLength);
    if (!fast) {
        const int chunk = ChunkSize(outputLength);
        if (command[4] > chunk) command[4] = static_cast<unsigned char>(chunk);
    }

    // The report as written: id 0, the 64 payload bytes, cut or zero-padded to the
    // interface's output report length.
    unsigned char report[kMaxReport] = {};
    memcpy(report + 1, command, outputLength - 1 < 64 ? outputLength - 1 : 64);
    if (m_platform.Write(handle, report, static_cast<size_t>(outputLength)) > 0) {
        const int got =
            HIDReadTimeout(handle, report, static_cast<size_t>(bufferSize), fast ? 2 : 200);
        if (got > 0) memset(report + got, 0, static_cast<size_t>(bufferSize - got));
        // The answer, or, when none came, the report as sent.
        memcpy(command, report, 64);
    }
    m_busy = 0;
    return true;
}

bool HidDeviceManager::SendCommand(unsigned char* command)
{
    return ShortCommand(command, false);
}

bool HidDeviceManager::SendCommandFast(unsigned char* command)
{
    return ShortCommand(command, true);
}

bool HidDeviceManager::Transfer(unsigned char command, unsigned char* data, int length,
                                bool checked)
{
    hid_device* handle = GetCurrentDevice();
    if (!handle) return false;
    int inputLength, outputLength;
    ReportLengths(handle, &inputLength, &outputLength);
    const int chunk = ChunkSize(outputLength);
    int bufferSize = inputLength > outputLength ? inputLength : outputLength;
    if (bufferSize < 65) bufferSize = 65;

    if (!checked) m_platform.Sleep(m_commandDelay);
    std::vector<unsigned char> collected(length > 0 ? static_cast<size_t>(length) : 0);
    Drain(handle, inputLength);
    // Nothing to send, or more than a 16-bit offset can address: fail, send nothing.
    if (length <= 0 || !data || (length - 1) / chunk * chunk > 0xFFFF) return false;

    const int timeoutMs = checked ? 36 : 200;
    unsigned char report[kMaxReport];
    for (int offset = 0; offset < length; offset += chunk) {
        const int n = length - offset < chunk ? length - offset : chunk;
        bool done = false;
        for (int attempt = 0; attempt < 6 && !done; ++attempt) {
            memset(report, 0, static_cast<size_t>(bufferSize));
            report[1] = 0xAA;
            report[2] = command;
            report[3] = static_cast<unsigned char>(offset & 0xFF);
            report[4] = static_cast<unsigned char>(offset >> 8);
            report[5] = static_cast<unsigned char>(n);
            memcpy(report + 9, data + offset, static_cast<size_t>(n));
            if (m_platform.Write(handle, report, static_cast<size_t>(outputLength)) <= 0) continue;

            // A notification is never the answer to a chunk (unless the chunk's own
            // command is the status request): it is posted, and the answer is awaited
            // further. Taking it as a failed try would leave the real answer queued for
            // the next try, and every later chunk would read its predecessor's answer.
            int got = 0;
            for (int extra = 0; extra <= kMaxNotificationsPerAnswer; ++extra) {
                memset(report, 0, static_cast<size_t>(bufferSize));
                got = HIDReadTimeout(handle, report, static_cast<size_t>(bufferSize), timeoutMs);
                if (got <= 0 || command == 0xD0 || !IsNotification(report, got)) break;
                got = 0;
            }
            if (got <= 0) continue;
            if (checked && (report[1] != command || report[2] != (offset & 0xFF) ||
                            report[3] != (offset >> 8)))
                continue;
            if (report[7] == 0x55) {
                memcpy(collected.data() + offset, report + 8, static_cast<size_t>(n));
                done = true;
            }
            // 0x0F (refused) and any other status: the try failed.
        }
        // A chunk that was never acknowledged fails the whole transfer: going on would
        // hand the caller data that is with a gap or shifted.
        if (!done) return false;
    }
    memcpy(data, collected.data(), static_cast<size_t>(length));
    return true;
}

bool HidDeviceManager::TransferData(unsigned char command, unsigned char* data, int length)
{
    return Transfer(command, data, length, false);
}

bool HidDeviceManager::TransferDataChecked(unsigned char command, unsigned char* data, int length)
{
    return Transfer(command, data, length, true);
}

bool HidDeviceManager::GetDeviceNotify(unsigned char* buffer, int* deviceType)
{
    for (ConnectedDevice* receiver : m_devices) {
        if (receiver->connectionMode != 1) continue;
        const int got = m_platform.ReadTimeout(receiver->handle, buffer, 65, 5);
        if (got <= 0) continue;
        if (got < 65) memset(buffer + got, 0, static_cast<size_t>(65 - got));
        if (IsNotification(buffer, got)) {
            PostNotify(buffer, got, "GetDeviceNotify 11 device notify data: ");
            int vendorId = buffer[9] | (buffer[10] << 8);
            int productId = buffer[11] | (buffer[12] << 8);
            int online = buffer[13] == 4 ? 1 : 0;
            receiver->online = online;
            if (productId == 0 && online) {
                QueryReceiver(receiver->handle, &vendorId, &productId, &online, 1);
                receiver->online = online;
                QueryBattery(receiver->handle, &receiver->battery, &receiver->charge);
            }
            const int type = GetProductType(vendorId, productId, L"");
            receiver->deviceType = type;
            if (deviceType) *deviceType = type;
        }
        return true;
    }
    return false;
}
