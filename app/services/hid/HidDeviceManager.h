#pragma once
// HidDeviceManager: the process-wide owner of the open keyboard and receiver
// interfaces, the table of supported products, and the report transport that
// carries every command to the current keyboard.
//
// Report framing on the vendor interface (usage page 0xFF60, usage 0x61): an output
// report is report id 0 followed by a 64-byte payload 0xAA, command, offset (16-bit
// little-endian), data length, three zero bytes, data; bytes past the payload are 0,
// and the report is as long as the interface's output report (33 or 65 bytes). A
// report carries at most 24 data bytes on a 32-byte interface and 56 on a 64-byte
// one. Answers (read without the report id) echo the command at byte 1 and the
// offset at bytes 2-3, carry the status at byte 7 (0x55 done, 0x0F failed) and
// data from byte 8. Reports beginning 0xAA 0xD0 are notifications the keyboard or
// receiver sends on its own: bytes 9-10 vendor id, 11-12 product id of the keyboard
// (little-endian), byte 13 link state (4 = online).
//
// Threads: the main window adds products and sets the notification window on its
// own thread before the worker starts; everything else runs on the worker thread,
// one call at a time. The only thing that leaves the worker is message 1715,
// posted to the notification window. The members the main window writes directly
// are atomics.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "services/hid/HidPlatform.h"

// One connection mode of one keyboard model, from "config.xml".
struct SupportedProduct
{
    int vendorId = 0;
    int productId = 0;
    std::wstring productString;  // empty matches any interface; else exact, case-sensitive
    int deviceType = 0;
    int connectionMode = 0;  // 0 direct, 1 receiver, 2 third mode
};

// One opened vendor interface. Owned by the manager; deleted by CloseAll.
struct ConnectedDevice
{
    unsigned short vendorId = 0;
    unsigned short productId = 0;
    std::wstring productString;
    hid_device* handle = nullptr;  // owned
    int deviceType = 0;
    int connectionMode = 0;  // 0 the keyboard itself, 1 a receiver, 2 the third mode
    int online = 1;          // 1 when the keyboard is reachable
    int battery = 100;       // 0-255 as the keyboard reports it
    int charge = 0;          // charge state as the keyboard reports it
    // Report lengths of the interface including the report-id byte (33 or 65).
    int inputReportLength = 65;
    int outputReportLength = 65;
};

class HidDeviceManager
{
public:
    // Posted to the notification window for every notification report read on the
    // command path: wParam 0, lParam 1 when the keyboard is online, else 0.
    static const UINT kDeviceNotifyMessage = 1715;

    // The process-wide manager over hidapi, created on first use and destroyed at
    // process exit.
    static HidDeviceManager& Instance();
    // The HID platform the process's manager (Instance) runs on; call before
    // the first Instance(). Tests install a simulated bus this way.
    static void UseProcessPlatform(HidPlatform* platform);

    // Over hidapi.
    HidDeviceManager();
    // Over any platform (tests use a simulated keyboard); not owned.
    explicit HidDeviceManager(HidPlatform& platform);
    ~HidDeviceManager();
    HidDeviceManager(const HidDeviceManager&) = delete;
    HidDeviceManager& operator=(const HidDeviceManager&) = delete;

    // ---- product table -----------------------------------------------------------
    void AddProduct(int vendorId, int productId, const wchar_t* productString, int deviceType,
                    int connectionMode);
    // The first matching record decides. A record without a product string matches on
    // the ids alone; one with a string also needs that exact string.
    bool IsProduct(int vendorId, int productId, const wchar_t* productString) const;
    int GetProductMode(int vendorId, int productId, const wchar_t* productString) const;  // 0: none
    int GetProductType(int vendorId, int productId, const wchar_t* productString) const;  // 0: none

    // ---- open interfaces -----------------------------------------------------------
    // Opens every vendor interface of a listed product (waits 200 ms before each open)
    // and appends an entry for it; receivers are asked which keyboard they serve and
    // every reachable keyboard for its battery.
    void EnumerateDevice();
    // Only while the opened flag is 1: clears it, closes and deletes every entry.
    void CloseAll();
    // False (list untouched) when nothing is open. Selected type 0: the list becomes a
    // copy of all entries; otherwise the entries of that type are appended.
    bool GetDevices(std::vector<ConnectedDevice*>& list) const;
    // Among the entries of the selected type: 0, else 1, else 2 when an entry of that
    // mode exists; -1 when none.
    int GetConnectionMode() const;
    // Online flag of the first entry of that type and mode; -1 when none.
    int GetOnlineState(int deviceType, int connectionMode) const;
    // The first entry with these ids and mode: its online flag when productString is
    // empty or equals the entry's; -1 otherwise or when there is none.
    int GetOnlineStateById(int vendorId, int productId, const wchar_t* productString,
                           int connectionMode) const;
    // Battery and charge of the first direct (mode 0) entry of that type.
    bool GetBattery(int deviceType, int unused, int* battery, int* charge) const;
    // The handle commands go to: the cached one, else the first entry of the selected
    // type in mode 0, then mode 2 (pre-command delay 2 ms), then an online receiver
    // (6 ms); null when none.
    hid_device* GetCurrentDevice();
    // Asks a receiver which keyboard it serves (probe = 1 tries the 0xAA 0x10 probe
    // first). False when the handle is null or the status request cannot be written.
    bool QueryReceiver(hid_device* handle, int* vendorId, int* productId, int* online, int probe);
    // Reads battery and charge (commands 0x10, 0x30, 0x11). False only for a null handle.
    bool QueryBattery(hid_device* handle, int* battery, int* charge);

    // ---- report transport (worker thread) --------------------------------------------
    // hid_read_timeout that also posts every notification report it sees (1715).
    int HIDReadTimeout(hid_device* handle, unsigned char* destination, size_t count, int timeoutMs);
    // One short command: `command` is a 64-byte payload; byte 4 is lowered to the chunk
    // size; the buffer receives the answer (or the report as sent when none came).
    // False only when there is no current device.
    bool SendCommand(unsigned char* command);
    // As SendCommand without the pre-command delay and the clamp, waiting 2 ms for the
    // answer.
    bool SendCommandFast(unsigned char* command);
    // A chunked transfer of `length` bytes with the command byte; every chunk must be
    // acknowledged (0x55) within six tries. On true the buffer holds the answer data;
    // on false it is unchanged.
    bool TransferData(unsigned char command, unsigned char* data, int length);
    // As TransferData without the pre-command delay, waiting 36 ms per answer and
    // accepting only answers that echo the command and the chunk's offset.
    bool TransferDataChecked(unsigned char command, unsigned char* data, int length);
    // Polls each receiver for one input report (5 ms) into `buffer` (65 bytes). True
    // when one delivered a report; for a notification the receiver's entry is updated
    // and *deviceType set to the type of the keyboard it names.
    bool GetDeviceNotify(unsigned char* buffer, int* deviceType);
    // Whether a broadcast device path names a configuration interface.
    bool IsConfigInterface(const wchar_t* devicePath)
    {
        return m_platform.IsConfigInterface(devicePath);
    }

    // ---- members the main window writes directly ---------------------------------------
    std::atomic<HWND> m_hNotifyWnd{nullptr};            // receives 1715
    std::atomic<int> m_opened{0};                       // 1 after a rescan has enumerated
    std::atomic<int> m_busy{0};                         // 1 during a short command
    std::atomic<int> m_selectedDeviceType{0};           // 0 = all types
    std::atomic<hid_device*> m_currentDevice{nullptr};  // null = choose again

private:
    static constexpr int kMaxReport = 1025;

    bool ProductMatch(const SupportedProduct& p, int vendorId, int productId,
                      const wchar_t* productString) const;
    bool OfSelectedType(const ConnectedDevice& d) const;
    // Report lengths of an open handle (65/65 when it is not known).
    void ReportLengths(hid_device* handle, int* inputLength, int* outputLength) const;
    static int ChunkSize(int outputLength) { return outputLength < 64 ? 24 : 56; }
    void Drain(hid_device* handle, int count);
    void PostNotify(const unsigned char* report, int count, const char* prefix);
    bool Transfer(unsigned char command, unsigned char* data, int length, bool checked);
    bool ShortCommand(unsigned char* command, bool fast);
    int ExchangeDirect(hid_device* handle, int outputLength, const unsigned char* payload,
                       int payloadLength, unsigned char* answer, int answerSize, int timeoutMs,
                       bool* written);

    HidPlatform& m_platform;
    std::vector<ConnectedDevice*> m_devices;
    std::vector<SupportedProduct> m_products;
    const ConnectedDevice* m_enumerating = nullptr;  // entry being built by EnumerateDevice
    std::atomic<int> m_commandDelay{6};              // ms before a command
};
