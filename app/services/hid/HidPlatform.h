#pragma once
// The thin layer between HidDeviceManager and the machine's HID stack: hidapi's
// own calls, one query for the interface's report lengths, and the pause the
// manager takes between steps. HidApiPlatform is the real one; tests put a
// simulated keyboard behind the same interface.
#include <hidapi.h>

#include <cstddef>
#include <string>
#include <vector>

// One HID interface as enumeration lists it.
struct HidInterfaceInfo
{
    std::string path;  // as hid_open_path takes it
    unsigned short vendorId = 0;
    unsigned short productId = 0;
    std::wstring productString;  // empty when the interface has none
    unsigned short usagePage = 0;
    unsigned short usage = 0;
    int interfaceNumber = -1;
};

class HidPlatform
{
public:
    virtual ~HidPlatform() = default;

    // hid_init / hid_exit: 0 on success, -1 on error.
    virtual int Init() = 0;
    virtual int Exit() = 0;

    // hid_enumerate followed by hid_free_enumeration: every interface with these
    // ids (0 = any), in the stack's order. No devices (or a failed listing) gives an
    // empty list.
    virtual std::vector<HidInterfaceInfo> Enumerate(unsigned short vendorId,
                                                    unsigned short productId) = 0;

    // hid_open_path: null on failure.
    virtual hid_device* OpenPath(const char* path) = 0;
    // hid_write: bytes written, -1 on error. data[0] is the report id.
    virtual int Write(hid_device* device, const unsigned char* data, size_t length) = 0;
    // hid_read_timeout: bytes read without the report id, 0 on time-out, -1 on error.
    virtual int ReadTimeout(hid_device* device, unsigned char* data, size_t length,
                            int milliseconds) = 0;
    // hid_close.
    virtual void Close(hid_device* device) = 0;

    // The interface's input and output report lengths as the HID stack reports
    // them, each including the report-id byte (65 for 64-byte reports, 33 for
    // 32-byte reports). False when the stack cannot tell.
    virtual bool GetReportLengths(const char* path, int* inputLength, int* outputLength) = 0;

    // Pauses the calling thread.
    virtual void Sleep(int milliseconds) = 0;

    // Whether the device interface named by a device-change path (as Windows
    // broadcasts it) is a keyboard's configuration interface (usage page 0xFF60,
    // usage 0x61). None by default.
    virtual bool IsConfigInterface(const wchar_t* devicePath) { return false; }
};
