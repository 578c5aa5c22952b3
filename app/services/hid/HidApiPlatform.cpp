#include "services/hid/HidApiPlatform.h"

#include <windows.h>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

HidApiPlatform& HidApiPlatform::Shared()
{
    static HidApiPlatform platform;
    return platform;
}

int HidApiPlatform::Init()
{
    return hid_init();
}

int HidApiPlatform::Exit()
{
    return hid_exit();
}

std::vector<HidInterfaceInfo> HidApiPlatform::Enumerate(unsigned short vendorId,
                                                        unsigned short productId)
{
    std::vector<HidInterfaceInfo> result;
    // hidapi returns null both for "no devices" and for a listing that failed.
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* it = list; it; it = it->next) {
        HidInterfaceInfo info;
        if (it->path) info.path = it->path;
        info.vendorId = it->vendor_id;
        info.productId = it->product_id;
        if (it->product_string) info.productString = it->product_string;
        info.usagePage = it->usage_page;
        info.usage = it->usage;
        info.interfaceNumber = it->interface_number;
        result.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return result;
}

hid_device* HidApiPlatform::OpenPath(const char* path)
{
    return path ? hid_open_path(path) : nullptr;
}

int HidApiPlatform::Write(hid_device* device, const unsigned char* data, size_t length)
{
    return device ? hid_write(device, data, length) : -1;
}

int HidApiPlatform::ReadTimeout(hid_device* device, unsigned char* data, size_t length,
                                int milliseconds)
{
    return device ? hid_read_timeout(device, data, length, milliseconds) : -1;
}

void HidApiPlatform::Close(hid_device* device)
{
    if (device) hid_close(device);
}

bool HidApiPlatform::GetReportLengths(const char* path, int* inputLength, int* outputLength)
{
    if (!path || !*path) return false;
    // hidapi takes interface paths as UTF-8.
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    if (wideLength <= 0) return false;
    std::wstring widePath(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, &widePath[0], wideLength);

    // No access rights are needed to read the capabilities, and asking for none
    // also works for interfaces another program holds open.
    HANDLE file = CreateFileW(widePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (HidD_GetPreparsedData(file, &preparsed)) {
        HIDP_CAPS caps = {};
        if (HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS) {
            if (inputLength) *inputLength = caps.InputReportByteLength;
            if (outputLength) *outputLength = caps.OutputReportByteLength;
            ok = true;
        }
        HidD_FreePreparsedData(preparsed);
    }
    CloseHandle(file);
    return ok;
}

void HidApiPlatform::Sleep(int milliseconds)
{
    if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

bool HidApiPlatform::IsConfigInterface(const wchar_t* devicePath)
{
    if (!devicePath || !*devicePath) return false;
    HANDLE file =
        CreateFileW(devicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof(attributes);
    HidD_GetAttributes(file, &attributes);
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (HidD_GetPreparsedData(file, &preparsed)) {
        HIDP_CAPS caps = {};
        ok = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS && caps.UsagePage == 0xFF60 &&
             caps.Usage == 0x61;
        HidD_FreePreparsedData(preparsed);
    }
    CloseHandle(file);
    return ok;
}
