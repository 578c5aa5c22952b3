#include "services/hid/HidDeviceManager.h"

#include <cstring>

#include "services/hid/HidApiPlatform.h"
#include "services/TraceLog.h"

namespace {

const wchar_t* OrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

}  // namespace

namespace {
HidPlatform* g_processPlatform = nullptr;
}  // namespace

void HidDeviceManager::UseProcessPlatform(HidPlatform* platform)
{
    g_processPlatform = platform;
}

HidDeviceManager& HidDeviceManager::Instance()
{
    static HidDeviceManager manager(g_processPlatform
                                        ? *g_processPlatform
                                        : static_cast<HidPlatform&>(HidApiPlatform::Shared()));
    return manager;
}

HidDeviceManager::HidDeviceManager() : HidDeviceManager(HidApiPlatform::Shared()) {}

HidDeviceManager::HidDeviceManager(HidPlatform& platform) : m_platform(platform)
{
    m_platform.Init();
}

HidDeviceManager::~HidDeviceManager()
{
    // Close whatever is open, also when no rescan has set the opened flag.
    m_opened = 1;
    CloseAll();
    m_platform.Exit();
    m_products.clear();
}

// ---- product table ------------------------------------------------------------------

void HidDeviceManager::AddProduct(int vendorId, int productId, const wchar_t* productString,
                                  int deviceType, int connectionMode)
{
    SupportedProduct product;
    product.vendorId = vendorId;
    product.productId = productId;
    product.productString = OrEmpty(productString);
    product.deviceType = deviceType;
    product.connectionMode = connectionMode;
    m_products.push_back(product);
}

bool HidDeviceManager::ProductMatch(const SupportedProduct& p, int vendorId, int productId,
                                    const wchar_t* productString) const
{
    if (p.vendorId != vendorId || p.productId != productId) return false;
    return p.productString.empty() || p.productString == OrEmpty(productString);
}

bool HidDeviceManager::IsProduct(int vendorId, int productId, const wchar_t* productString) const
{
    for (const SupportedProduct& p : m_products)
        if (ProductMatch(p, vendorId, productId, productString)) return true;
    return false;
}

int HidDeviceManager::GetProductMode(int vendorId, int productId,
                                     const wchar_t* productString) const
{
    for (const SupportedProduct& p : m_products)
        if (ProductMatch(p, vendorId, productId, productString)) return p.connectionMode;
    return 0;
}

int HidDeviceManager::GetProductType(int vendorId, int productId,
                                     const wchar_t* productString) const
{
    for (const SupportedProduct& p : m_products)
        if (ProductMatch(p, vendorId, productId, productString)) return p.deviceType;
    return 0;
}

// ---- open interfaces ----------------------------------------------------------------

void HidDeviceManager::EnumerateDevice()
{
    TraceLog(2, "EnumerateDevice!");
    std::vector<HidInterfaceInfo> list = m_platform.Enumerate(0, 0);
    for (const HidInterfaceInfo& info : list) {
        TraceLog(2, "EnumerateDevice: vendor_id: %x - product_id: %x", info.vendorId,
                 info.productId);
        if (!IsProduct(info.vendorId, info.productId, info.productString.c_str()) ||
            info.usagePage != 0xFF60 || info.usage != 0x61)
            continue;
        TraceLog(2, "IsProduct: vendor_id: %x - product_id: %x", info.vendorId, info.productId);

        m_platform.Sleep(200);
        hid_device* handle = m_platform.OpenPath(info.path.c_str());
        if (!handle) continue;
        TraceLog(2, "hid_open_path: vendor_id: %x - product_id: %x", info.vendorId, info.productId);

        ConnectedDevice* entry = new ConnectedDevice;
        entry->vendorId = info.vendorId;
        entry->productId = info.productId;
        entry->productString = info.productString;
        entry->handle = handle;
        entry->deviceType = GetProductType(info.vendorId, info.productId, L"");
        entry->connectionMode = GetProductMode(info.vendorId, info.productId, L"");
        entry->online = 1;
        entry->battery = 100;
        entry->charge = 0;
        int inputLength = 0, outputLength = 0;
        if (m_platform.GetReportLengths(info.path.c_str(), &inputLength, &outputLength)) {
            if (inputLength > 1)
                entry->inputReportLength = inputLength < kMaxReport ? inputLength : kMaxReport;
            if (outputLength > 1)
                entry->outputReportLength = outputLength < kMaxReport ? outputLength : kMaxReport;
        }
        m_enumerating = entry;
        TraceLog(2, "hid_open_path: vendor_id 222: %x - product_id: %x", info.vendorId,
                 info.productId);

        if (entry->connectionMode != 0) {
            int vendorId = 0, productId = 0;
            QueryReceiver(handle, &vendorId, &productId, &entry->online, 0);
            if (productId == 0 && entry->online)
                QueryReceiver(handle, &vendorId, &productId, &entry->online, 1);
            entry->deviceType = GetProductType(vendorId, productId, L"");
            TraceLog(2, "hid_open_path: vendor_id 333: %x - product_id: %x", vendorId, productId);
        }
        if (entry->online == 1) QueryBattery(handle, &entry->battery, &entry->charge);

        m_devices.push_back(entry);
        m_enumerating = nullptr;
        TraceLog(2, "hid_open_path: vendor_id 555: %x - product_id: %x", info.vendorId,
                 info.productId);
    }
    TraceLog(2, "hid_free_enumeration!");
}

void HidDeviceManager::CloseAll()
{
    if (m_opened != 1) return;
    m_opened = 0;
    // The cached command handle dies with its entry; never leave it dangling.
    m_currentDevice = nullptr;
    for (ConnectedDevice* entry : m_devices) {
        m_platform.Close(entry->handle);
        delete entry;
    }
    m_devices.clear();
}

bool HidDeviceManager::OfSelectedType(const ConnectedDevice& d) const
{
    int selected = m_selectedDeviceType;
    return selected == 0 || d.deviceType == selected;
}

bool HidDeviceManager::GetDevices(std::vector<ConnectedDevice*>& list) const
{
    if (m_devices.empty()) return false;
    if (m_selectedDeviceType == 0) {
        list = m_devices;
    } else {
        for (ConnectedDevice* d : m_devices)
            if (d->deviceType == m_selectedDeviceType) list.push_back(d);
    }
    return true;
}

int HidDeviceManager::GetConnectionMode() const
{
    for (int mode = 0; mode <= 2; ++mode)
        for (const ConnectedDevice* d : m_devices)
            if (OfSelectedType(*d) && d->connectionMode == mode) return mode;
    return -1;
}

int HidDeviceManager::GetOnlineState(int deviceType, int connectionMode) const
{
    for (const ConnectedDevice* d : m_devices)
        if (d->deviceType == deviceType && d->connectionMode == connectionMode) return d->online;
    return -1;
}

int HidDeviceManager::GetOnlineStateById(int vendorId, int productId, const wchar_t* productString,
                                         int connectionMode) const
{
    for (const ConnectedDevice* d : m_devices) {
        if (d->vendorId != vendorId || d->productId != productId ||
            d->connectionMode != connectionMode)
            continue;
        const wchar_t* wanted = OrEmpty(productString);
        if (!*wanted || d->productString == wanted) return d->online;
        return -1;
    }
    return -1;
}

bool HidDeviceManager::GetBattery(int deviceType, int, int* battery, int* charge) const
{
    for (const ConnectedDevice* d : m_devices) {
        if (d->deviceType == deviceType && d->connectionMode == 0) {
            if (battery) *battery = d->battery;
            if (charge) *charge = d->charge;
            return true;
        }
    }
    return false;
}

hid_device* HidDeviceManager::GetCurrentDevice()
{
    hid_device* cached = m_currentDevice;
    if (cached) return cached;
    // Commands prefer the keyboard's own interface, then the third mode, then a
    // receiver whose keyboard is online.
    for (int mode : {0, 2}) {
        for (const ConnectedDevice* d : m_devices) {
            if (OfSelectedType(*d) && d->connectionMode == mode) {
                m_currentDevice = d->handle;
                m_commandDelay = 2;
                return d->handle;
            }
        }
    }
    for (const ConnectedDevice* d : m_devices) {
        if (OfSelectedType(*d) && d->connectionMode == 1 && d->online == 1) {
            m_currentDevice = d->handle;
            m_commandDelay = 6;
            return d->handle;
        }
    }
    return nullptr;
}

void HidDeviceManager::ReportLengths(hid_device* handle, int* inputLength, int* outputLength) const
{
    *inputLength = 65;
    *outputLength = 65;
    const ConnectedDevice* found = nullptr;
    if (m_enumerating && m_enumerating->handle == handle) found = m_enumerating;
    for (size_t i = 0; !found && i < m_devices.size(); ++i)
        if (m_devices[i]->handle == handle) found = m_devices[i];
    if (found) {
        *inputLength = found->inputReportLength;
        *outputLength = found->outputReportLength;
    }
}

int HidDeviceManager::ExchangeDirect(hid_device* handle, int outputLength,
                                     const unsigned char* payload, int payloadLength,
                                     unsigned char* answer, int answerSize, int timeoutMs,
                                     bool* written)
{
    unsigned char report[kMaxReport] = {};
    int n = payloadLength < outputLength - 1 ? payloadLength : outputLength - 1;
    if (n > 0) memcpy(report + 1, payload, static_cast<size_t>(n));
    *written = m_platform.Write(handle, report, static_cast<size_t>(outputLength)) > 0;
    if (!*written) return -1;
    memset(answer, 0, static_cast<size_t>(answerSize));
    return m_platform.ReadTimeout(handle, answer, static_cast<size_t>(answerSize), timeoutMs);
}

bool HidDeviceManager::QueryReceiver(hid_device* handle, int* vendorId, int* productId, int* online,
                                     int probe)
{
    m_platform.Sleep(10);
    *vendorId = 0;
    *productId = 0;
    if (!handle) return false;
    int inputLength, outputLength;
    ReportLengths(handle, &inputLength, &outputLength);
    const int chunk = ChunkSize(outputLength);
    unsigned char answer[kMaxReport];
    const int answerSize = inputLength > 65 ? inputLength : 65;
    bool written = false;

    if (probe) {
        const unsigned char request[] = {0xAA, 0x10, 0, 0, static_cast<unsigned char>(chunk)};
        int got = ExchangeDirect(handle, outputLength, request, sizeof request, answer, answerSize,
                                 200, &written);
        if (got > 0 && answer[9] == 0x2E && answer[10] == 0x4D) {
            *vendorId = 0x4D2E;
            *productId = answer[11] | (answer[12] << 8);
            *online = 1;
            return true;
        }
    }

    // Status request. Reads here go straight to the stack: a notification seen while
    // a receiver is being asked is its answer, not news for the main window.
    memset(answer, 0, sizeof answer);
    m_platform.ReadTimeout(handle, answer, static_cast<size_t>(inputLength), 1);
    const unsigned char request[] = {0xAA, 0xD0, 0, 0, static_cast<unsigned char>(chunk)};
    int got = ExchangeDirect(handle, outputLength, request, sizeof request, answer, answerSize, 200,
                             &written);
    if (!written) return false;
    if (got > 0 && answer[0] == 0xAA && answer[1] == 0xD0) {
        *vendorId = answer[9] | (answer[10] << 8);
        *productId = answer[11] | (answer[12] << 8);
        *online = answer[13] == 4 ? 1 : 0;
    }
    return true;
}

bool HidDeviceManager::QueryBattery(hid_device* handle, int* battery, int* charge)
{
    if (!handle) return false;
    int inputLength, outputLength;
    ReportLengths(handle, &inputLength, &outputLength);
    const unsigned char chunk = static_cast<unsigned char>(ChunkSize(outputLength));
    unsigned char answer[kMaxReport];
    const int answerSize = inputLength > 65 ? inputLength : 65;
    for (unsigned char command : {0x10, 0x30, 0x11}) {
        const unsigned char request[] = {0xAA, command, 0, 0, chunk};
        bool written = false;
        int got = ExchangeDirect(handle, outputLength, request, sizeof request, answer, answerSize,
                                 200, &written);
        // A notification that happens to arrive here is not the battery answer.
        if (command == 0x30 && got > 0 && !(answer[0] == 0xAA && answer[1] == 0xD0)) {
            *battery = answer[8];
            *charge = answer[9];
        }
    }
    return true;
}
