#pragma once
// HidPlatform over the real hidapi.dll and the system HID library.
#include "services/hid/HidPlatform.h"

class HidApiPlatform : public HidPlatform
{
public:
    // The one instance the process uses.
    static HidApiPlatform& Shared();

    int Init() override;
    int Exit() override;
    std::vector<HidInterfaceInfo> Enumerate(unsigned short vendorId,
                                            unsigned short productId) override;
    hid_device* OpenPath(const char* path) override;
    int Write(hid_device* device, const unsigned char* data, size_t length) override;
    int ReadTimeout(hid_device* device, unsigned char* data, size_t length,
                    int milliseconds) override;
    void Close(hid_device* device) override;
    bool GetReportLengths(const char* path, int* inputLength, int* outputLength) override;
    void Sleep(int milliseconds) override;
    bool IsConfigInterface(const wchar_t* devicePath) override;
};
